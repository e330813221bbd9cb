// Text attributes of the graphics state, the character width table and the
// measurement of strings.
#include <algorithm>
#include <cmath>

#include "platform/FixedText.h"
#include "toolkit/core/Errors.h"
#include "toolkit/graphics/Drivers.h"
#include "toolkit/graphics/Graphics.h"
#include "toolkit/graphics/Text.h"

namespace tk {
namespace {

constexpr float kResetCharWidth = 0.01333333f;
constexpr float kResetCharHeight = 0.04f;
constexpr float kItalicSlant = 0.4663f;

// Widths of characters 32-127 and 161-255 in nominal cell widths.
constexpr float kWidths32[96] = {
    0.70f, 0.56f, 0.69f, 0.84f, 0.84f, 1.39f, 1.30f, 0.56f, 0.56f, 0.56f, 0.84f, 0.94f,
    0.42f, 0.56f, 0.42f, 0.47f, 0.84f, 0.84f, 0.84f, 0.84f, 0.84f, 0.84f, 0.84f, 0.84f,
    0.84f, 0.84f, 0.47f, 0.47f, 0.94f, 0.94f, 0.94f, 0.74f, 1.54f, 1.11f, 1.11f, 1.11f,
    1.20f, 1.02f, 0.93f, 1.20f, 1.05f, 0.56f, 0.65f, 1.20f, 0.98f, 1.30f, 1.20f, 1.20f,
    0.93f, 1.20f, 1.11f, 0.93f, 1.02f, 1.11f, 1.02f, 1.50f, 1.20f, 1.20f, 1.02f, 0.56f,
    0.47f, 0.56f, 0.78f, 0.84f, 0.56f, 0.74f, 0.84f, 0.74f, 0.84f, 0.74f, 0.56f, 0.84f,
    0.84f, 0.46f, 0.46f, 0.84f, 0.46f, 1.30f, 0.84f, 0.84f, 0.84f, 0.84f, 0.56f, 0.65f,
    0.50f, 0.84f, 0.84f, 1.20f, 0.84f, 0.84f, 0.74f, 0.80f, 0.33f, 0.80f, 0.90f, 0.74f};
constexpr float kWidths161[95] = {
    0.55f, 0.83f, 0.83f, 0.83f, 0.83f, 0.33f, 0.83f, 0.55f, 1.27f, 0.46f, 0.83f, 0.94f,
    0.55f, 1.27f, 0.55f, 0.67f, 0.94f, 0.50f, 0.50f, 0.55f, 0.83f, 0.75f, 0.42f, 0.55f,
    0.50f, 0.52f, 0.83f, 1.25f, 1.25f, 1.25f, 0.74f, 1.20f, 1.20f, 1.20f, 1.20f, 1.20f,
    1.20f, 1.49f, 1.11f, 1.02f, 1.02f, 1.02f, 1.02f, 0.55f, 0.55f, 0.55f, 0.55f, 1.20f,
    1.20f, 1.20f, 1.20f, 1.20f, 1.20f, 1.20f, 0.94f, 1.20f, 1.20f, 1.20f, 1.20f, 1.20f,
    1.20f, 0.93f, 0.83f, 0.74f, 0.74f, 0.74f, 0.74f, 0.74f, 0.74f, 1.11f, 0.74f, 0.74f,
    0.74f, 0.74f, 0.74f, 0.46f, 0.46f, 0.46f, 0.46f, 0.83f, 0.83f, 0.83f, 0.83f, 0.83f,
    0.83f, 0.83f, 0.94f, 0.83f, 0.83f, 0.83f, 0.83f, 0.83f, 0.83f, 0.83f, 0.83f};

constexpr std::array<float, 256> MakeWidthTable() {
  std::array<float, 256> t{};
  for (int c = 32; c <= 127; ++c) t[c] = kWidths32[c - 32];
  for (int c = 161; c <= 255; ++c) t[c] = kWidths161[c - 161];
  return t;
}
constexpr std::array<float, 256> kWidthTable = MakeWidthTable();

// The spacing mode a family falls back to when no spacing is asked for.
int NaturalSpacing(const GraphicsState& gs) {
  if (gs.text.strokeFamily) return gs.fonts.current.defaultSpacing;
  return gs.text.deviceFace == 1 ? 0 : 2;
}

bool UserFaceBlank(const TextAttributes& t) {
  return t.userFace.find_first_not_of(' ') == std::string::npos;
}

}  // namespace

const std::array<float, 256>& CharacterWidthTable() {
  return kWidthTable;
}

float TextAspectFactor() {
  const GraphicsState& gs = Gs();
  const TextAttributes& t = gs.text;
  if (gs.areaFracHeight <= 0 || t.areaWidthPixels <= 0 || t.areaHeightPixels <= 0) return 1.0f;
  const float q = (gs.areaFracWidth / gs.areaFracHeight) *
                  (t.areaHeightPixels / t.areaWidthPixels) * gs.aspectRatio;
  return std::isfinite(q) && q > 0 ? q : 1.0f;
}

void TextSizeApply() {
  GraphicsState& gs = Gs();
  TextAttributes& t = gs.text;
  if (t.deviceFace >= 1 && t.deviceFace <= 4)
    t.substituteFace = t.deviceFace;
  else
    t.substituteFace = t.spacingMode != 0 ? 2 : 1;
  HardcopyDriverCall(DriverOperation::CharacterSize);
  if (!gs.screenOn) {
    const float wc = t.areaWidthPixels * t.charWidth;
    const float hc = t.areaHeightPixels * t.charHeight;
    t.columns = wc > 0 ? gs.extentX / wc : 0;
    t.rows = hc > 0 ? gs.extentY / hc : 0;
  } else if (!t.strokeFamily) {
    ScreenDriverCall(DriverOperation::CharacterSize);
  }
}

void TextAngleSet(float ANGLE) {
  GraphicsState& gs = Gs();
  TextAttributes& t = gs.text;
  double a = std::isfinite(ANGLE) ? std::fmod(static_cast<double>(ANGLE), 360.0) : 0.0;
  if (a < 0) a += 360.0;
  if (a >= 360.0) a = 0.0;
  t.angle = static_cast<float>(a);
  if (t.angle >= 360.0f) t.angle = 0.0f;
  const double r = a * 0.017453292;
  const double c = std::cos(r), s = std::sin(r);
  const float q = TextAspectFactor();
  t.cosA = static_cast<float>(c);
  t.qSinA = static_cast<float>(q * s);
  t.sinAOverQ = static_cast<float>(s / q);
  ScreenDriverCall(DriverOperation::TextAngle);
  HardcopyDriverCall(DriverOperation::TextAngle);
}

void WGrTextFont(std::optional<int> FAMILY, std::optional<int> STYLE, std::optional<float> WIDTH,
                 std::optional<float> HEIGHT, std::optional<std::string_view> FACENAME,
                 std::optional<int> SPACING) {
  GraphicsState& gs = Gs();
  TextAttributes& t = gs.text;
  bool apply = false;
  if (FAMILY) {
    const int f = *FAMILY;
    if (f == 1) {
      t.strokeFamily = 1;
      t.spacingMode = gs.fonts.current.defaultSpacing;
    } else if (f == 2) {
      t.strokeFamily = 0;
      t.spacingMode = t.deviceFace == 1 ? 0 : 2;
    } else if (f >= 100 && f <= 104) {
      t.strokeFamily = 0;
      t.deviceFace = f - 100;
      t.spacingMode = f == 101 ? 0 : 2;
      apply = true;
    }
  }
  if (STYLE) {
    if (!t.strokeFamily && (*STYLE & 7) != (t.styleBits & 7)) apply = true;
    t.styleBits = *STYLE;
  }
  if (WIDTH) {
    if (*WIDTH > 0) t.charWidth = *WIDTH;
    apply = true;
  }
  if (HEIGHT) {
    if (*HEIGHT > 0) t.charHeight = *HEIGHT;
    apply = true;
  }
  if (FACENAME && t.deviceFace == 0) {
    t.userFace = plat::Padded(*FACENAME, 100);
    apply = true;
  }
  if (SPACING) {
    const int before = t.spacingMode;
    const bool deviceFace1 = !t.strokeFamily && t.deviceFace == 1;
    if (*SPACING == 0)
      t.spacingMode = NaturalSpacing(gs);
    else if (*SPACING == 1 && (t.strokeFamily || t.deviceFace == 0))
      t.spacingMode = 0;
    else if (*SPACING == 2 && !deviceFace1)
      t.spacingMode = 1;
    if (!t.strokeFamily && t.spacingMode != before) apply = true;
  }
  if (t.strokeFamily) StrokeFontBoldSwitch(gs.fonts, t.styleBits);
  if ((FAMILY || STYLE) && t.strokeFamily)
    t.slant = (t.styleBits & kStyleItalic) ? kItalicSlant : 0;
  if (!t.strokeFamily && t.deviceFace == 0 && UserFaceBlank(t)) {
    ReportLibraryError(1058, "WGrTextFont");
    t.substituteFace = t.spacingMode != 0 ? 2 : 1;
  }
  if (apply) TextSizeApply();
}

void IGrTextStyle(int STYLE) {
  TextAttributes& t = Gs().text;
  if (t.spacingMode == 0)
    t.deviceFace = 1;
  else if (STYLE >= 1 && STYLE <= 4)
    t.deviceFace = 2;
  else if (STYLE >= 5 && STYLE <= 8)
    t.deviceFace = 3;
  else if (STYLE >= 9 && STYLE <= 12)
    t.deviceFace = 4;
  int bits = t.styleBits & kStyleUnderline;
  if (((STYLE + 1) / 2) % 2 == 0) bits |= kStyleBold;
  if (STYLE % 2 == 0) bits |= kStyleItalic;
  t.styleBits = bits;
  TextSizeApply();
}

void IGrTextMode(std::string_view MODE) {
  TextAttributes& t = Gs().text;
  const char c = MODE.empty() ? ' ' : MODE.front();
  if (c == 'H' || c == 'h' || c == 'P' || c == 'p') {
    t.spacingMode = (c == 'H' || c == 'h') ? 2 : 1;
    if (t.deviceFace == 1) t.deviceFace = 2;
  } else {
    t.spacingMode = 0;
    t.deviceFace = 1;
  }
  TextSizeApply();
}

void IGrTextSize(float WIDTH, float HEIGHT) {
  TextAttributes& t = Gs().text;
  t.charWidth = WIDTH > 0 ? WIDTH : kResetCharWidth;
  t.charHeight = HEIGHT > 0 ? HEIGHT : kResetCharHeight;
  TextSizeApply();
}

void WGrTextLayout(std::optional<int> HJUST, std::optional<float> ANGLE,
                   std::optional<int> VERTICAL, std::optional<int> VJUST) {
  TextAttributes& t = Gs().text;
  if (HJUST && *HJUST >= 0 && *HJUST <= 2) t.hJustify = *HJUST;
  if (ANGLE) TextAngleSet(*ANGLE);
  if (VERTICAL) t.vertical = *VERTICAL;
  if (VJUST && *VJUST >= 0 && *VJUST <= 2) t.vJustify = *VJUST;
}

float TextWidthCells(std::string_view TEXT, int N, int NODEVICE) {
  GraphicsState& gs = Gs();
  const TextAttributes& t = gs.text;
  const int n = std::clamp(N, 0, static_cast<int>(TEXT.size()));
  if (NODEVICE == 0 && t.spacingMode != 1 && !t.strokeFamily) {
    DriverParameters& dp = DriverParams();
    const int len = std::min(n, kDriverTextLength);
    dp.text.assign(TEXT.substr(0, static_cast<std::size_t>(len)));
    dp.text.resize(kDriverTextLength, ' ');
    dp.P2 = len;
    dp.P1 = 0;
    if (gs.screenOn)
      ScreenDriverCall(DriverOperation::TextWidth);
    else
      HardcopyDriverCall(DriverOperation::TextWidth);
    if (dp.P1 != 0 && gs.extentX > 0) return t.columns * dp.X[0] / gs.extentX;
  }
  if (t.spacingMode == 0) return static_cast<float>(n);
  float sum = 0;
  for (int i = 0; i < n; ++i)
    sum += t.charWidths[static_cast<std::size_t>(
        StrokeCharacterMap(gs.fonts.current, static_cast<unsigned char>(TEXT[i])))];
  return sum;
}

void YYCHSPACE(int CODE) {
  auto& w = Gs().text.charWidths;
  if (CODE == 0) {
    w = kWidthTable;
  } else if ((CODE >= 32 && CODE <= 126) || (CODE >= 161 && CODE <= 255)) {
    w[CODE] = kWidthTable[CODE];
  } else if (CODE == 128) {
    w[127] = kWidthTable[127];
  } else {
    ReportLibraryError(66, "YYCHSPACE");
  }
}

}  // namespace tk
