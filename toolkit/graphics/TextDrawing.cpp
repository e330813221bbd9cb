// Strings at user-unit positions: layout by justification and angle, device
// text clipped by whole characters, stroke-font substitution where a device
// cannot draw the string, underlines and opaque background boxes.
#include <algorithm>
#include <array>
#include <vector>

#include "toolkit/graphics/Colours.h"
#include "toolkit/graphics/Drivers.h"
#include "toolkit/graphics/Graphics.h"
#include "toolkit/graphics/Lines.h"
#include "toolkit/graphics/ScreenDriver.h"
#include "toolkit/graphics/ScreenText.h"
#include "toolkit/graphics/Text.h"

namespace tk {
namespace {

constexpr float kNoLimit = 1.7e38f;
constexpr float kItalicSlant = 0.4663f;

struct Vec {
  float x = 0, y = 0;
};
Vec operator+(Vec a, Vec b) {
  return {a.x + b.x, a.y + b.y};
}
Vec operator-(Vec a, Vec b) {
  return {a.x - b.x, a.y - b.y};
}
Vec operator*(float s, Vec a) {
  return {s * a.x, s * a.y};
}

// Base-line direction per cell width unit and "down" direction per cell height unit.
Vec Along() {
  const TextAttributes& t = Gs().text;
  return {t.cosA, t.qSinA};
}
Vec Down() {
  const TextAttributes& t = Gs().text;
  return {t.sinAOverQ, -t.cosA};
}

// Switches outputs off for part of a call and puts them back.
class OutputSwitch {
 public:
  OutputSwitch(bool screen, bool hardcopy) : screen_(Gs().screenOn), hardcopy_(Gs().hardcopyOn) {
    if (!screen) Gs().screenOn = 0;
    if (!hardcopy) Gs().hardcopyOn = 0;
  }
  ~OutputSwitch() {
    Gs().screenOn = screen_;
    Gs().hardcopyOn = hardcopy_;
  }
  OutputSwitch(const OutputSwitch&) = delete;
  OutputSwitch& operator=(const OutputSwitch&) = delete;

 private:
  int screen_, hardcopy_;
};

// Widths of each character in nominal cell widths, as the pass measures them.
std::vector<float> CharacterWidths(std::string_view text) {
  const GraphicsState& gs = Gs();
  const int mode = gs.text.spacingMode;
  std::vector<float> widths(text.size(), 1.0f);
  if (mode == 0) return widths;
  for (std::size_t i = 0; i < text.size(); ++i)
    widths[i] = mode == 1 ? gs.text.charWidths[static_cast<std::size_t>(StrokeCharacterMap(
                                gs.fonts.current, static_cast<unsigned char>(text[i])))]
                          : TextWidthCells(text.substr(i, 1), 1, 0);
  return widths;
}

void SendText(int k) {
  if (k == 0)
    ScreenDriverCall(DriverOperation::Text);
  else
    HardcopyDriverCall(DriverOperation::Text);
}

void LoadRun(std::string_view run) {
  DriverParameters& dp = DriverParams();
  const int len = std::min(static_cast<int>(run.size()), kDriverTextLength);
  dp.text.assign(run.substr(0, static_cast<std::size_t>(len)));
  dp.text.resize(kDriverTextLength, ' ');
  dp.KX[0] = len;
}

void SelectSubstitute() {
  switch (Gs().text.substituteFace) {
    case 2:
      StrokeFamilySwiss();
      break;
    case 3:
      StrokeFamilyRoman();
      break;
    case 4:
      StrokeFontSymbol();
      break;
    default:
      StrokeFamilyFixed();
      break;
  }
}

// The device-text part of one pass: clip by whole characters, box, hand the
// visible run to the driver, underline.
void DeviceTextPass(int k, std::string_view text, Vec S, Vec E1, Vec E2, float w, float h,
                    float Wc) {
  GraphicsState& gs = Gs();
  TextAttributes& t = gs.text;
  DriverParameters& dp = DriverParams();
  const int n = static_cast<int>(text.size());
  const Vec along = Along(), down = Down();
  const std::vector<float> cw = CharacterWidths(text);
  int first = -1, last = -1;
  Vec runStart = S;
  if (!t.vertical) {
    std::vector<float> lead(static_cast<std::size_t>(n) + 1, 0.0f);
    for (int i = 0; i < n; ++i) lead[i + 1] = lead[i] + cw[i] * w;
    const float insetFactor = t.spacingMode == 0 ? 0.14f : 0.0f;
    auto edgeInside = [&](float distance) {
      const Vec p = S + distance * along;
      const Vec up = (-0.5f * h) * down, lo = (0.5f * h) * down;
      return PointInClip((p + up).x, (p + up).y) && PointInClip((p + lo).x, (p + lo).y);
    };
    for (int i = 0; i < n && first < 0; ++i)
      if (edgeInside(lead[i] + insetFactor * cw[i] * w)) first = i;
    for (int i = n - 1; i >= first && first >= 0 && last < 0; --i)
      if (edgeInside(lead[i + 1] - insetFactor * cw[i] * w)) last = i;
    if (first < 0 || last < first) return;
    runStart = S + lead[first] * along;
    float droppedCells = 0;
    for (int i = last + 1; i < n; ++i) droppedCells += cw[i];
    E1 = E1 - (droppedCells * Wc) * along;
    E2 = E2 - (lead[n] - lead[last + 1]) * along;
  } else {
    auto edgeInside = [&](Vec centre) {
      const Vec a = centre - (0.5f * w) * along, b = centre + (0.5f * w) * along;
      return PointInClip(a.x, a.y) && PointInClip(b.x, b.y);
    };
    for (int i = 0; i < n && first < 0; ++i)
      if (edgeInside(S + (i * h) * down)) first = i;
    for (int i = n - 1; i >= first && first >= 0 && last < 0; --i)
      if (edgeInside(S + ((i + 1) * h) * down)) last = i;
    if (first < 0 || last < first) return;
    runStart = S + (first * h) * down;
  }
  const std::string_view run =
      text.substr(static_cast<std::size_t>(first), static_cast<std::size_t>(last - first + 1));
  const bool opaque = (t.styleBits & kStyleOpaque) != 0;
  if (opaque && (t.vertical || t.spacingMode == 1 || k == 1))
    TextBackgroundBox(runStart.x, runStart.y, run, static_cast<int>(run.size()), 0,
                      k == 0 ? gs.screenOn : 0, k == 1 ? gs.hardcopyOn : 0);
  dp.X[1] = w, dp.Y[1] = h;
  if (!t.vertical) dp.X[2] = E1.x, dp.Y[2] = E1.y, dp.X[3] = E2.x, dp.Y[3] = E2.y;
  dp.KX[3] = 1;
  bool oneAtATime = false;
  const bool proportionalTable = t.spacingMode == 1;
  if ((proportionalTable || (k == 1 && t.vertical)) && run.size() > 0) {
    // One character per operation, each at the start of its own cell.
    oneAtATime = true;
    Vec p = runStart;
    for (std::size_t i = 0; i < run.size(); ++i) {
      const float cell = t.vertical ? 1.0f : cw[first + i];
      dp.X[0] = p.x, dp.Y[0] = p.y;
      dp.X[1] = w, dp.Y[1] = h;
      const Vec end = p + (cell * w) * along;
      dp.X[2] = end.x, dp.Y[2] = end.y, dp.X[3] = end.x, dp.Y[3] = end.y;
      dp.KX[1] = i == 0 ? 1 : (i + 1 == run.size() ? 2 : 0);
      LoadRun(run.substr(i, 1));
      SendText(k);
      p = t.vertical ? p + h * down : end;
    }
  } else {
    dp.X[0] = runStart.x, dp.Y[0] = runStart.y;
    dp.KX[1] = 3;
    LoadRun(run);
    SendText(k);
  }
  if ((t.styleBits & kStyleUnderline) && !t.vertical && (oneAtATime || dp.KX[3] == 1)) {
    float runWidth = 0;
    for (int i = first; i <= last; ++i) runWidth += cw[i] * w;
    const float inset = t.spacingMode == 0 ? 0.14f * w : 0.0f;
    const Vec startEdge = runStart + inset * along;
    Vec from = startEdge;
    if (t.hJustify == 2) from = E1 - runWidth * along;
    if (t.hJustify == 1) {
      const Vec mid{0.5f * (startEdge.x + E1.x), 0.5f * (startEdge.y + E1.y)};
      from = mid - (0.5f * runWidth) * along;
    }
    from = from + (0.45f * h) * down;
    const Vec to = from + runWidth * along;
    OutputSwitch only(k == 0, k == 1);
    LineDevice(from.x, from.y, to.x, to.y);
  }
}

}  // namespace

bool TextUseStrokeFont(int K, float CW, float CH) {
  const GraphicsState& gs = Gs();
  const TextAttributes& t = gs.text;
  const DriverParameters& dp = DriverParams();
  const int k = K == 1 ? 1 : 0;
  float sx = CW, sy = CH, A = 1.0f, B = 1.0f;
  if (k == 0) {
    B = t.columns * t.charWidth * gs.areaFracWidth;
    A = t.rows * t.charHeight * gs.areaFracHeight;
  }
  const int textFlag = k == 0 ? t.screenScaleTest : t.hardcopyScaleTest;
  const bool scaleFails = textFlag && (A > 1.3f || A < 0.8f || B > 1.3f || B < 0.8f);
  bool stroke;
  if (t.spacingMode != 0) {
    const std::string& caps = dp.capabilities[k];
    stroke = (caps.size() > 26 && caps[26] == '0') || scaleFails;
  } else {
    const float V = dp.deviceTextMaximum[k];
    stroke = V >= 0 ? (textFlag && sx > V && sy > V) : scaleFails;
  }
  const int angleCapability = dp.textAngles[k];
  if (angleCapability == 0) stroke = true;
  if (angleCapability == 1 && t.angle > 1.0f) stroke = true;
  return stroke;
}

void TextBackgroundBox(float X, float Y, std::string_view TEXT, int N, int NODEVICE, int SCREEN,
                       int HARDCOPY) {
  GraphicsState& gs = Gs();
  const TextAttributes& t = gs.text;
  const int n = std::clamp(N, 0, static_cast<int>(TEXT.size()));
  if (n == 0 || (!SCREEN && !HARDCOPY)) return;
  const int target = !SCREEN ? 2 : (!HARDCOPY ? 1 : 0);
  const float w = t.passCellWidth, h = t.passCellHeight;
  const Vec along = Along(), down = Down(), S{X, Y};
  std::array<Vec, 4> c;
  if (!t.vertical) {
    const float length = TextWidthCells(TEXT, n, NODEVICE) * w;
    c[0] = S + (0.5f * h) * down;
    c[1] = c[0] + length * along;
    c[2] = c[1] - h * down;
    c[3] = c[0] - h * down;
  } else {
    float widest = 1.0f;
    if (t.spacingMode != 0) {
      widest = 0;
      for (int i = 0; i < n; ++i)
        widest = std::max(widest, t.charWidths[static_cast<std::size_t>(StrokeCharacterMap(
                                      gs.fonts.current, static_cast<unsigned char>(TEXT[i])))]);
    }
    const Vec half = (0.5f * widest * w) * along;
    c[0] = S - half;
    c[1] = S + half;
    c[2] = c[1] + (n * h) * down;
    c[3] = c[0] + (n * h) * down;
  }
  const StateColour saved = gs.current;
  const int fillStyle = gs.fillStyle;
  ColourDirectSet(gs.previous.number, gs.previous.rgb, gs.previous.slot, target);
  gs.fillStyle = kFillSolid;
  const std::array<float, 5> xs{c[0].x, c[1].x, c[2].x, c[3].x, c[0].x};
  const std::array<float, 5> ys{c[0].y, c[1].y, c[2].y, c[3].y, c[0].y};
  {
    OutputSwitch only(SCREEN != 0, HARDCOPY != 0);
    YYPLYGON(xs, ys, 5, 1);
  }
  ColourDirectSet(saved.number, saved.rgb, saved.slot, target);
  gs.fillStyle = fillStyle;
}

void WGrTextDraw(std::optional<float> X, std::optional<float> Y, std::string_view TEXT) {
  GraphicsState& gs = Gs();
  TextAttributes& t = gs.text;
  const float ux = X.value_or(gs.penX), uy = Y.value_or(gs.penY);
  Vec D;
  UserToDevice(ux, uy, D.x, D.y);
  const float j = static_cast<float>(t.hJustify) * 0.5f;
  const int callerLineType = gs.lineType;
  bool lineTypeChanged = false;
  const int screenOn = gs.screenOn, hardcopyOn = gs.hardcopyOn;
  if (!screenOn && !hardcopyOn) return;
  int k = screenOn ? 0 : 1;
  int s = 0;
  bool firstPass = true;
  const int n = static_cast<int>(TEXT.size());
  for (int guard = 0; guard < 6; ++guard) {  // at most two passes, each once substituted
    // A pass on the hardcopy treats screen output as off.
    OutputSwitch passOutputs(k == 0, true);
    const bool stroke = t.strokeFamily != 0 || s != 0;
    const float Wc = t.areaWidthPixels * t.charWidth;
    const float Hc = t.areaHeightPixels * t.charHeight;
    float w = Wc, h = Hc;
    if (!stroke && k != 1 && t.columns > 0 && t.rows > 0) {
      w = gs.extentX / t.columns;
      h = gs.extentY / t.rows;
    }
    t.passCellWidth = w, t.passCellHeight = h;
    t.passWCos = w * t.cosA, t.passWQSin = w * t.qSinA;
    t.passHCos = h * t.cosA, t.passHSinQ = h * t.sinAOverQ;
    const Vec along = Along(), down = Down();
    Vec S = D, E1 = D, E2 = D, P = D;
    if (!t.vertical) {
      const float m = t.spacingMode == 0 ? static_cast<float>(n) : TextWidthCells(TEXT, n, 0);
      const float Ld = m * w, Ln = m * Wc;
      S = D - (j * Ld) * along;
      E1 = D + ((1 - j) * Ln) * along;
      E2 = S + Ld * along;
      P = D + (j * Wc + (1 - j) * Ln) * along;
    } else {
      S = D - (j * n * h) * down;
      P = S + (n * h) * down;
    }
    if (gs.lineType != 0 && (stroke || (!t.vertical && (t.styleBits & kStyleUnderline)))) {
      IGrLineType(0);
      lineTypeChanged = true;
    }
    if (firstPass) {
      firstPass = false;
      float px, py;
      DeviceToUserUnits(P.x, P.y, px, py);
      IGrPenMoveTo(px, py);
    }
    if (stroke) {
      const float slant = t.slant;
      if (s != 0) t.slant = (t.styleBits & kStyleItalic) ? kItalicSlant : 0.0f;
      {
        OutputSwitch outputs(s != 2, s != 1);
        if (t.styleBits & kStyleOpaque)
          TextBackgroundBox(S.x, S.y, TEXT, n, 1, gs.screenOn, gs.hardcopyOn);
        StrokeTextDraw(S.x, S.y, TEXT, n, w, h);
      }
      if (s != 0) {
        StrokeFontSaveRestore(false);
        t.slant = slant;
      }
      if (s == 1 && hardcopyOn) {
        k = 1, s = 0;
        continue;
      }
      break;
    }
    if (DriverParams().deviceTextMaximum[k] < kNoLimit && TextUseStrokeFont(k, w, h)) {
      StrokeFontSaveRestore(true);
      SelectSubstitute();
      t.strokeFamily = 1;
      s = k == 0 ? 1 : 2;
      continue;
    }
    if (n > 0) DeviceTextPass(k, TEXT, S, E1, E2, w, h, Wc);
    if (k == 0 && hardcopyOn) {
      k = 1;
      continue;
    }
    break;
  }
  if (lineTypeChanged) IGrLineType(callerLineType);
}

namespace {
void AreaChanged() {
  TextAngleSet(Gs().text.angle);
  TextSizeApply();
}
void StateReset() {
  TextSizeApply();
  YYCHSPACE(0);
}
}  // namespace

void TextLayerInstall() {
  TextHooks().areaChanged = AreaChanged;
  TextHooks().reset = StateReset;
  ScreenSeams().text = ScreenTextOperation;
}

}  // namespace tk
