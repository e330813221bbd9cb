// Device text of the screen driver: the screen font made from the text
// attributes (operations 21 and 33, forgotten by 18), text runs (22) and
// measurement (25), drawn with the platform's fonts.
#include "toolkit/graphics/ScreenText.h"

#include <cmath>
#include <memory>

#include "platform/FixedText.h"
#include "platform/text/TextDraw.h"
#include "toolkit/graphics/ScreenDriver.h"

namespace tk {
namespace {

constexpr std::string_view kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

struct FontKey {
  int width = -1, height = -1, angle = -1, face = -1, style = -1;
  std::string userFace;
  friend bool operator==(const FontKey&, const FontKey&) = default;
};

struct ScreenFontState {
  std::shared_ptr<const plat::Font> font;
  FontKey key;
  int alphabetWidth = 0;
  int fontHeight = 0;
  int fontAscent = 0;
  int fontsMade = 0;
};

ScreenFontState& F() {
  static ScreenFontState f;
  return f;
}

int TruncInt(double v) {
  if (!std::isfinite(v)) return 0;
  if (v >= 2147483647.0) return 2147483647;
  if (v <= -2147483648.0) return -2147483647 - 1;
  return static_cast<int>(v);
}

// Makes the font of the key: unrotated for its metrics, then with the angle.
void GdiFontSelect(int width, int height, int angle, int face, int style,
                   const std::string& userFace) {
  ScreenFontState& f = F();
  plat::FontSpec spec;
  switch (face) {
    case 1:
      spec.face = "Courier New", spec.family = plat::FontFamily::Modern;
      break;
    case 2:
      spec.face = "Arial", spec.family = plat::FontFamily::Swiss;
      break;
    case 3:
      spec.face = "Times New Roman", spec.family = plat::FontFamily::Roman;
      break;
    case 4:
      spec.face = "Symbol", spec.family = plat::FontFamily::Roman;
      spec.charset = plat::Charset::Symbol;
      break;
    default: {
      spec.face = plat::TrimRight(userFace);
      spec.charset = plat::Charset::Default;
      break;
    }
  }
  spec.height = -std::max(height, 1);
  spec.width = std::max(width, 0);
  spec.weight = (style & 1) ? plat::kFontWeightBold : plat::kFontWeightNormal;
  spec.italic = (style & 2) != 0;
  spec.underline = (style & 4) != 0;
  const std::shared_ptr<const plat::Font> upright = plat::OpenFont(spec);
  f.fontHeight = upright ? upright->Metrics().height : 0;
  f.fontAscent = upright ? upright->Metrics().ascent : 0;
  spec.angle = angle * 10;
  f.font = spec.angle == 0 ? upright : plat::OpenFont(spec);
  f.alphabetWidth = f.font ? f.font->TextWidth(kAlphabet) : 0;
  ++f.fontsMade;
}

void CharacterSizeOperation() {
  GraphicsState& gs = Gs();
  TextAttributes& t = gs.text;
  ScreenFontState& f = F();
  const float wc = t.charWidth * t.areaWidthPixels;
  const float hc = t.charHeight * t.areaHeightPixels;
  if (!(wc > 0) || !(hc > 0)) return;  // no plot area yet: nothing to size
  t.columns = gs.extentX / wc;
  t.rows = gs.extentY / hc;
  int w = TruncInt(gs.extentX / t.columns);
  int h = TruncInt(gs.extentY / t.rows);
  const int angle = TruncInt(t.angle);
  int style = t.styleBits;
  if (t.spacingMode != 0) {
    float factor = t.spacingMode == 1 ? 0.607f : 0.78f;
    if (t.deviceFace == 4) factor *= 1.38f;
    w = TruncInt(static_cast<float>(w) * factor);
    h = TruncInt(static_cast<float>(h) * 0.821f);
    if (t.spacingMode == 1) style &= ~4;
  }
  FontKey key{
      w, h, angle, t.deviceFace, style, t.deviceFace == 0 ? t.userFace : std::string(100, ' ')};
  if (!(key == f.key) || !f.font) {
    f.key = key;
    GdiFontSelect(w, h, angle, t.deviceFace, style, t.userFace);
  }
  if (t.spacingMode == 0 && f.alphabetWidth > 0)
    t.columns =
        gs.extentX * static_cast<float>(kAlphabet.size()) / static_cast<float>(f.alphabetWidth);
}

// Draws one string between two points (rows from the top).
void GdiTextOut(plat::Canvas& canvas, int x1, int y1, int x2, int y2, int justification,
                bool opaque, std::string_view text) {
  const ScreenFontState& f = F();
  if (!f.font || justification < 0 || justification > 2 || text.empty()) return;
  plat::TextStyle style;
  style.colour = ScreenDeviceColour(false);
  style.background = ScreenDeviceColour(true);
  style.opaque = opaque;
  style.vAlign = plat::TextVAlign::Baseline;
  plat::Point at{x1, y1};
  if (justification == 1) {
    style.hAlign = plat::TextHAlign::Centre;
    at = {(x1 + x2) / 2, (y1 + y2) / 2};
  } else if (justification == 2) {
    style.hAlign = plat::TextHAlign::Right;
    at = {x2, y2};
  }
  const plat::Point origin = canvas.Origin();
  const plat::Rect clip = canvas.ClipRegion().Bounds().Offset(origin.x, origin.y);
  plat::DrawText(canvas.Target(), *f.font, {at.x + origin.x, at.y + origin.y}, text, style, clip);
}

void TextOperation(plat::Canvas* canvas) {
  const GraphicsState& gs = Gs();
  const TextAttributes& t = gs.text;
  DriverParameters& dp = DriverParams();
  const ScreenFontState& f = F();
  const int count = std::clamp(dp.KX[0], 0, kDriverTextLength);
  const std::string_view run = std::string_view(dp.text).substr(0, static_cast<std::size_t>(count));
  const double d = f.fontAscent - 0.5 * f.fontHeight;
  const double dx = d * t.sinAOverQ, dy = d * t.cosA;
  const double bx = dp.X[0] + dx, by = dp.Y[0] - dy;
  if (!t.vertical) {
    if (canvas) {
      const int justification = t.spacingMode == 1 ? 0 : t.hJustify;
      const bool opaque = t.spacingMode != 1 && (t.styleBits & 8) != 0;
      GdiTextOut(*canvas, TruncInt(bx), gs.maxY - TruncInt(by), TruncInt(dp.X[2] + dx),
                 gs.maxY - TruncInt(dp.Y[2] - dy), justification, opaque, run);
    }
    dp.KX[3] = 0;
    return;
  }
  if (!canvas) return;
  for (int i = 0; i < count; ++i) {
    const double px = bx + i * t.passHSinQ, py = by - i * t.passHCos;
    GdiTextOut(*canvas, TruncInt(px), gs.maxY - TruncInt(py), TruncInt(px + t.passWCos),
               gs.maxY - TruncInt(py + t.passWQSin), 1, false, run.substr(i, 1));
  }
}

void TextWidthOperation() {
  DriverParameters& dp = DriverParams();
  const int n = std::clamp(dp.P2, 0, kDriverTextLength);
  const ScreenFontState& f = F();
  dp.X[0] = f.font && n > 0
                ? static_cast<float>(f.font->TextWidth(std::string_view(dp.text).substr(0, n)))
                : 0.0f;
  dp.P1 = 1;
}

}  // namespace

void ScreenTextOperation(DriverOperation op, plat::Canvas* canvas) {
  switch (op) {
    case DriverOperation::BeginPicture:
      F().key = FontKey{};
      F().key.userFace = std::string(100, ' ');
      return;
    case DriverOperation::CharacterSize:
    case DriverOperation::TextAngle:
      CharacterSizeOperation();
      return;
    case DriverOperation::Text:
      TextOperation(canvas);
      return;
    case DriverOperation::TextWidth:
      TextWidthOperation();
      return;
    default:
      return;
  }
}

ScreenFontInfo ScreenFontCurrent() {
  const ScreenFontState& f = F();
  return {f.font,          f.key.width,  f.key.height, f.key.angle,
          f.alphabetWidth, f.fontHeight, f.fontAscent, f.fontsMade};
}

}  // namespace tk
