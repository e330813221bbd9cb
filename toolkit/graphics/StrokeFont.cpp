#include "toolkit/graphics/StrokeFont.h"

#include <algorithm>
#include <cmath>

#include "platform/FixedText.h"
#include "toolkit/graphics/StrokeFontData.h"

namespace tk {
namespace {

// Value of a coordinate character, or -1 for a stroke separator.
constexpr std::array<signed char, 256> MakeCoordinateValues() {
  std::array<signed char, 256> values{};
  for (auto& v : values) v = -1;
  for (size_t i = 0; i < kGlyphCoordinateAlphabet.size(); ++i)
    values[static_cast<unsigned char>(kGlyphCoordinateAlphabet[i])] = static_cast<signed char>(i);
  return values;
}
constexpr std::array<signed char, 256> kCoordinateValue = MakeCoordinateValues();

int CoordinateValue(char c) {
  return kCoordinateValue[static_cast<unsigned char>(c)];
}

// Calls onStroke(points, count) for every stroke of GLYPH with two or more
// points; a coordinate left without its partner at a separator is dropped,
// and a stroke is cut at kStrokeMaxPoints points (the checked fonts never
// reach it).
template <typename OnStroke>
void ForEachGlyphStroke(std::string_view glyph, OnStroke&& onStroke) {
  std::array<std::array<int, 2>, kStrokeMaxPoints> points;
  int count = 0;
  int pendingX = -1;
  auto flush = [&] {
    if (count >= 2) onStroke(std::span<const std::array<int, 2>>(points.data(), count));
    count = 0;
    pendingX = -1;
  };
  for (char c : glyph) {
    int v = CoordinateValue(c);
    if (v < 0) {
      flush();
    } else if (pendingX < 0) {
      pendingX = v;
    } else {
      if (count < kStrokeMaxPoints) points[count++] = {pendingX, v};
      pendingX = -1;
    }
  }
  flush();
}

// Longest stroke of STREAM in points.
int LongestStroke(std::string_view stream) {
  int longest = 0;
  int coordinates = 0;
  for (char c : stream) {
    if (CoordinateValue(c) < 0) {
      coordinates = 0;
    } else {
      ++coordinates;
      longest = std::max(longest, coordinates / 2);
    }
  }
  return longest;
}

bool PositiveFinite(float v) {
  return std::isfinite(v) && v > 0;
}

// Every entry lies in 1 .. length + 1 and none is below its predecessor.
bool TableInRange(std::span<const int> table, size_t streamLength) {
  int previous = 1;
  for (int position : table) {
    if (position < previous || static_cast<size_t>(position) > streamLength + 1) return false;
    previous = position;
  }
  return true;
}

int LowerEntriesFor(int flags) {
  return (flags & kStrokeFontHasGlyph128) ? kStrokeLowerEntries : kStrokeLowerEntries - 1;
}

void LoadBuiltin(StrokeFontStore& fonts, BuiltinStrokeFont which) {
  int ierr = 0;
  StrokeFontDefine(fonts, BuiltinStrokeFontSource(which), ierr);
}

// Loads the regular or bold member of a family by style bit 1.
void SelectFamily(StrokeFontStore& fonts, int styleBits, BuiltinStrokeFont regular,
                  BuiltinStrokeFont bold) {
  const int boldBit = styleBits & kStyleBold;
  LoadBuiltin(fonts, boldBit ? bold : regular);
  fonts.boldVariant = boldBit;
}

}  // namespace

std::string_view StrokeFont::TrimmedName() const {
  return plat::TrimRight(name);
}

std::string_view ToString(StrokeFontFault fault) {
  switch (fault) {
    case StrokeFontFault::None:
      return "";
    case StrokeFontFault::BadMetrics:
      return "Stroke font metrics are not positive";
    case StrokeFontFault::BadCharset:
      return "Stroke font character set is not 7 or 8 bits";
    case StrokeFontFault::BadFlags:
      return "Stroke font flags or spacing out of range";
    case StrokeFontFault::StreamTooLong:
      return "Stroke font stream longer than 17000 characters";
    case StrokeFontFault::TableTooShort:
      return "Stroke font glyph table too short";
    case StrokeFontFault::TableOutOfRange:
      return "Stroke font glyph table points outside the stream";
    case StrokeFontFault::StrokeTooLong:
      return "Stroke font stroke longer than 150 points";
  }
  return "Stroke font invalid";
}

StrokeFontFault CheckStrokeFont(const StrokeFontSource& font) {
  if (!PositiveFinite(font.advanceUnits) || !PositiveFinite(font.heightUnits) ||
      !PositiveFinite(font.boxWidth) || !PositiveFinite(font.boxHeight))
    return StrokeFontFault::BadMetrics;
  if (font.charsetBits != 7 && font.charsetBits != 8) return StrokeFontFault::BadCharset;
  if (font.flags < 0 || font.flags > 3 || font.defaultSpacing < 0 || font.defaultSpacing > 1)
    return StrokeFontFault::BadFlags;
  if (font.stream.size() > static_cast<size_t>(kStrokeStreamCapacity))
    return StrokeFontFault::StreamTooLong;
  const size_t lowerCount = static_cast<size_t>(LowerEntriesFor(font.flags));
  if (font.lower.size() < lowerCount ||
      font.upper.size() < static_cast<size_t>(kStrokeUpperEntries))
    return StrokeFontFault::TableTooShort;
  if (!TableInRange(font.lower.first(lowerCount), font.stream.size()) ||
      !TableInRange(font.upper.first(kStrokeUpperEntries), font.stream.size()))
    return StrokeFontFault::TableOutOfRange;
  // Glyphs follow one another without a separator: measure strokes glyph by glyph.
  for (std::span<const int> table :
       {font.lower.first(lowerCount), font.upper.first(kStrokeUpperEntries)}) {
    for (size_t i = 0; i + 1 < table.size(); ++i) {
      const std::string_view glyph = font.stream.substr(
          static_cast<size_t>(table[i]) - 1, static_cast<size_t>(table[i + 1] - table[i]));
      if (LongestStroke(glyph) > kStrokeMaxPoints) return StrokeFontFault::StrokeTooLong;
    }
  }
  return StrokeFontFault::None;
}

void StrokeFontDefine(StrokeFontStore& fonts, const StrokeFontSource& font, int& IERR) {
  if (CheckStrokeFont(font) != StrokeFontFault::None) {
    IERR = -1;
    return;
  }
  StrokeFont& f = fonts.current;
  f.advanceUnits = font.advanceUnits;
  f.heightUnits = font.heightUnits;
  f.boxWidth = font.boxWidth;
  f.boxHeight = font.boxHeight;
  f.charsetBits = font.charsetBits;
  f.flags = font.flags;
  f.defaultSpacing = font.defaultSpacing;
  f.name = plat::Padded(font.name, kStrokeFontNameLength);
  f.stream.assign(font.stream);
  const size_t lowerCount = static_cast<size_t>(LowerEntriesFor(font.flags));
  f.lower.fill(0);
  std::copy_n(font.lower.begin(), lowerCount, f.lower.begin());
  std::copy_n(font.upper.begin(), kStrokeUpperEntries, f.upper.begin());
  fonts.boldVariant = 0;
  IERR = 0;
}

void StrokeFontDefine(StrokeFontStore& fonts, const float& ADVANCE, const float& HEIGHT,
                      const float& BOXW, const float& BOXH, const int& NBITS, const int& IFLAGS,
                      const int& ISPACE, std::string_view NAME, std::string_view STREAM,
                      std::span<const int> LOWER, std::span<const int> UPPER, int& IERR) {
  const StrokeFontSource source{.name = NAME,
                                .advanceUnits = ADVANCE,
                                .heightUnits = HEIGHT,
                                .boxWidth = BOXW,
                                .boxHeight = BOXH,
                                .charsetBits = NBITS,
                                .flags = IFLAGS,
                                .defaultSpacing = ISPACE,
                                .stream = STREAM,
                                .lower = LOWER,
                                .upper = UPPER};
  StrokeFontDefine(fonts, source, IERR);
}

void StrokeFontStandard(StrokeFontStore& fonts) {
  LoadBuiltin(fonts, BuiltinStrokeFont::Standard);
}
void StrokeFontFixed(StrokeFontStore& fonts) {
  LoadBuiltin(fonts, BuiltinStrokeFont::Fixed);
}
void StrokeFontFixedBold(StrokeFontStore& fonts) {
  LoadBuiltin(fonts, BuiltinStrokeFont::FixedBold);
}
void StrokeFontRoman(StrokeFontStore& fonts) {
  LoadBuiltin(fonts, BuiltinStrokeFont::Roman);
}
void StrokeFontRomanBold(StrokeFontStore& fonts) {
  LoadBuiltin(fonts, BuiltinStrokeFont::RomanBold);
}
void StrokeFontSwiss(StrokeFontStore& fonts) {
  LoadBuiltin(fonts, BuiltinStrokeFont::Swiss);
}
void StrokeFontSwissBold(StrokeFontStore& fonts) {
  LoadBuiltin(fonts, BuiltinStrokeFont::SwissBold);
}
void StrokeFontSymbol(StrokeFontStore& fonts) {
  LoadBuiltin(fonts, BuiltinStrokeFont::Symbol);
}

void StrokeFamilyFixed(StrokeFontStore& fonts, int styleBits) {
  SelectFamily(fonts, styleBits, BuiltinStrokeFont::Fixed, BuiltinStrokeFont::FixedBold);
}
void StrokeFamilyRoman(StrokeFontStore& fonts, int styleBits) {
  SelectFamily(fonts, styleBits, BuiltinStrokeFont::Roman, BuiltinStrokeFont::RomanBold);
}
void StrokeFamilySwiss(StrokeFontStore& fonts, int styleBits) {
  SelectFamily(fonts, styleBits, BuiltinStrokeFont::Swiss, BuiltinStrokeFont::SwissBold);
}

void StrokeFontBoldSwitch(StrokeFontStore& fonts, int styleBits) {
  const StrokeFont& f = fonts.current;
  if (f.Stroked() || fonts.boldVariant == (styleBits & kStyleBold)) return;
  const std::string_view family = std::string_view(f.name).substr(0, 5);
  if (family == "fixed") {
    StrokeFamilyFixed(fonts, styleBits);
  } else if (family == "swiss") {
    StrokeFamilySwiss(fonts, styleBits);
  } else if (family == "roman") {
    StrokeFamilyRoman(fonts, styleBits);
  }
}

void StrokeFontSaveRestore(StrokeFontStore& fonts, int& STROKEFAMILY, bool SAVE) {
  if (SAVE) {
    fonts.saved = fonts.current;
    fonts.savedStrokeFamily = STROKEFAMILY;
  } else {
    fonts.current = fonts.saved;
    STROKEFAMILY = fonts.savedStrokeFamily;
  }
}

int StrokeCharacterMap(const StrokeFont& font, int code) {
  if (code >= 32 && code <= 126) return code;
  if (code == 128) return font.HasGlyph128() ? 127 : 32;
  if (code >= 161 && code <= 255) return font.charsetBits == 8 ? code : 32;
  return 32;
}

std::string_view StrokeGlyph(const StrokeFont& font, int mappedCode) {
  int first = 0;
  int next = 0;
  if (mappedCode >= 33 && mappedCode <= 127) {
    if (mappedCode == 127 && !font.HasGlyph128()) return {};
    first = font.lower[mappedCode - 33];
    next = font.lower[mappedCode - 32];
  } else if (mappedCode >= 161 && mappedCode <= 255) {
    first = font.upper[mappedCode - 161];
    next = font.upper[mappedCode - 160];
  } else {
    return {};
  }
  // The loader checked the tables; stay inside the stream all the same.
  const int size = static_cast<int>(font.stream.size());
  if (first < 1 || next <= first || next > size + 1) return {};
  return std::string_view(font.stream).substr(first - 1, next - first);
}

void StrokeTextDraw(const StrokeFontStore& fonts, const StrokeTextAttributes& text,
                    StrokeSink& sink, double X, double Y, std::string_view TEXT, int n, double W,
                    double H) {
  const StrokeFont& font = fonts.current;
  const int count = std::clamp(n, 0, static_cast<int>(TEXT.size()));
  const bool proportional = text.spacingMode != 0;
  const bool haveWidths = text.charWidths.size() >= 256;
  auto widthOf = [&](int mapped) {
    return proportional && haveWidths ? static_cast<double>(text.charWidths[mapped]) : 1.0;
  };

  // Scales from glyph units to device units, and the italic shear.
  const double sy = H / font.heightUnits;
  double sx = W / font.advanceUnits;
  if (proportional && font.boxWidth < 8.0f) sx *= 0.75;
  const double shear = H != 0 ? text.slant * W / H : 0.0;

  // Unit vectors along the base line and "down" one unit of height.
  const double alongX = text.cosA, alongY = text.qSinA;
  const double downX = text.sinAOverQ, downY = -text.cosA;

  double totalCells = 0;
  for (int i = 0; i < count; ++i)
    totalCells += widthOf(StrokeCharacterMap(font, static_cast<unsigned char>(TEXT[i])));

  const bool filled = !font.Stroked();
  sink.BeginStrokeText(filled, !filled && (text.styleBits & kStyleBold) != 0);

  std::array<StrokePoint, kStrokeMaxPoints> device;
  auto drawGlyph = [&](std::string_view glyph, double ox, double oy) {
    ForEachGlyphStroke(glyph, [&](std::span<const std::array<int, 2>> points) {
      for (size_t k = 0; k < points.size(); ++k) {
        const double gx = points[k][0] * sx;
        const double gy = points[k][1] * sy;
        const double u = gx + shear * gy;
        device[k] = {ox + u * alongX - gy * downX, oy + u * alongY - gy * downY};
      }
      const std::span<const StrokePoint> stroke(device.data(), points.size());
      if (filled) {
        sink.FillPolygon(stroke);
      } else if (stroke.size() == 2) {
        sink.Line(stroke[0], stroke[1]);
      } else {
        sink.Polyline(stroke);
      }
    });
  };

  const double boxAlong = font.boxWidth * sx;
  if (text.vertical == 0) {
    double cellX = X, cellY = Y;
    for (int i = 0; i < count; ++i) {
      const int mapped = StrokeCharacterMap(font, static_cast<unsigned char>(TEXT[i]));
      const double advance = proportional ? widthOf(mapped) * W : W;
      if (mapped > 32) {
        const double lead = 0.5 * (advance - boxAlong);
        drawGlyph(StrokeGlyph(font, mapped), cellX + lead * alongX + 0.5 * H * downX,
                  cellY + lead * alongY + 0.5 * H * downY);
      }
      cellX += advance * alongX;
      cellY += advance * alongY;
    }
  } else {
    const double drop = 0.5 * (H + font.boxHeight * sy);
    double ox = X - 0.5 * boxAlong * alongX + drop * downX;
    double oy = Y - 0.5 * boxAlong * alongY + drop * downY;
    for (int i = 0; i < count; ++i) {
      const int mapped = StrokeCharacterMap(font, static_cast<unsigned char>(TEXT[i]));
      if (mapped > 32) drawGlyph(StrokeGlyph(font, mapped), ox, oy);
      ox += H * downX;
      oy += H * downY;
    }
  }

  if ((text.styleBits & kStyleUnderline) && text.vertical == 0) {
    const StrokePoint from{X + 0.45 * H * downX, Y + 0.45 * H * downY};
    const double length = totalCells * W;
    sink.Line(from, {from.x + length * alongX, from.y + length * alongY});
  }
  sink.EndStrokeText();
}

}  // namespace tk
