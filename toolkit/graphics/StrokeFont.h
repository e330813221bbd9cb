#pragma once
// Built-in vector fonts: the font format, the current font and its saved copy,
// the loaders of the eight built-in fonts, and the layout of a string's glyphs
// as lines and filled polygons in device units.
//
// A font is a stream of coordinate characters plus two tables of 1-based
// stream positions where the glyphs of characters 33-126 (and 128) and
// 161-255 start. A coordinate is one character of kGlyphCoordinateAlphabet
// (value 0-55); a point is two coordinates, x then y (y upward); a stroke is
// two or more points; any character outside the alphabet ends a stroke.
// Stroked fonts draw each stroke as a line or polyline; outline fonts fill
// each stroke alone as a polygon (even-odd), so a glyph with holes carries
// its outer contour and holes joined into one stroke.
#include <array>
#include <span>
#include <string>
#include <string_view>

namespace tk {

inline constexpr std::string_view kGlyphCoordinateAlphabet =
    "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrst";
inline constexpr int kStrokeFontNameLength = 260;    // blank-padded name
inline constexpr int kStrokeStreamCapacity = 17000;  // characters of one stream
inline constexpr int kStrokeLowerEntries = 96;       // 33-126, 128 (or 127), sentinel
inline constexpr int kStrokeUpperEntries = 96;       // 161-255, sentinel
inline constexpr int kStrokeMaxPoints = 150;         // points of one stroke while drawn

/// Font flag bits.
enum StrokeFontFlag : int {
  kStrokeFontStroked = 1,     // strokes are lines; clear: filled outlines
  kStrokeFontHasGlyph128 = 2  // the lower table has a 96th entry: the glyph of 128
};

/// Text style bits (shared with the text attributes).
enum StrokeStyleBit : int {
  kStyleBold = 1,
  kStyleItalic = 2,
  kStyleUnderline = 4,
  kStyleOpaque = 8
};

/// A font as its loader receives it (the built-in tables are of this type).
struct StrokeFontSource {
  std::string_view name;
  float advanceUnits = 0;  // glyph units per nominal cell width
  float heightUnits = 0;   // glyph units per cell height
  float boxWidth = 0;      // glyph coordinate box, centred in the cell
  float boxHeight = 0;
  int charsetBits = 8;     // 8: 161-255 have glyphs; 7: they are spaces
  int flags = 0;           // StrokeFontFlag bits
  int defaultSpacing = 0;  // 0 fixed pitch, 1 proportional
  std::string_view stream;
  std::span<const int> lower;  // 95 entries, or 96 with kStrokeFontHasGlyph128
  std::span<const int> upper;  // 96 entries
};

/// One loaded font.
struct StrokeFont {
  std::string name = std::string(kStrokeFontNameLength, ' ');  // blank-padded
  float advanceUnits = 1;
  float heightUnits = 1;
  float boxWidth = 0;
  float boxHeight = 0;
  int charsetBits = 8;
  int flags = 0;
  int defaultSpacing = 0;
  std::string stream;
  std::array<int, kStrokeLowerEntries> lower{};
  std::array<int, kStrokeUpperEntries> upper{};

  bool Stroked() const { return (flags & kStrokeFontStroked) != 0; }
  bool HasGlyph128() const { return (flags & kStrokeFontHasGlyph128) != 0; }
  /// The name without its padding.
  std::string_view TrimmedName() const;
};

/// The font store of the graphics state: the current font, whether it is the
/// bold member of its family, and one saved copy (with the stroke family flag).
struct StrokeFontStore {
  StrokeFont current;
  int boldVariant = 0;
  StrokeFont saved;
  int savedStrokeFamily = 0;
};

/// Why a font definition was refused.
enum class StrokeFontFault : int {
  None = 0,
  BadMetrics,       // advance, height or box not finite and positive
  BadCharset,       // character-set bits not 7 or 8
  BadFlags,         // flags outside 0-3, default spacing not 0/1
  StreamTooLong,    // more than kStrokeStreamCapacity characters
  TableTooShort,    // fewer entries than the flags call for
  TableOutOfRange,  // a start position outside 1 .. stream length + 1, or decreasing
  StrokeTooLong,    // a stroke of more than kStrokeMaxPoints points
};

/// The message shown for a refused definition ("" for None).
std::string_view ToString(StrokeFontFault fault);

/// Checks a font against every limit of the format; the built-in fonts pass.
[[nodiscard]] StrokeFontFault CheckStrokeFont(const StrokeFontSource& font);

/// Makes the font current: stores the metrics, bits, flags and default
/// spacing, the name blank-padded to 260 characters, the stream, 96 lower
/// entries with flag value 2 (else 95) and 96 upper entries; clears the
/// bold-variant flag. A font that fails CheckStrokeFont is refused: the
/// current font stays and IERR = -1 (CheckStrokeFont names the fault);
/// IERR = 0 when the font was loaded.
void StrokeFontDefine(StrokeFontStore& fonts, const float& ADVANCE, const float& HEIGHT,
                      const float& BOXW, const float& BOXH, const int& NBITS, const int& IFLAGS,
                      const int& ISPACE, std::string_view NAME, std::string_view STREAM,
                      std::span<const int> LOWER, std::span<const int> UPPER, int& IERR);
/// The same from a source record.
void StrokeFontDefine(StrokeFontStore& fonts, const StrokeFontSource& font, int& IERR);

/// Loaders of the built-in fonts.
void StrokeFontStandard(StrokeFontStore& fonts);   // "standard.chr"
void StrokeFontFixed(StrokeFontStore& fonts);      // "fixed.chr"
void StrokeFontFixedBold(StrokeFontStore& fonts);  // "fixedbld.chr"
void StrokeFontRoman(StrokeFontStore& fonts);      // "roman.chr"
void StrokeFontRomanBold(StrokeFontStore& fonts);  // "romanbld.chr"
void StrokeFontSwiss(StrokeFontStore& fonts);      // "swiss.chr"
void StrokeFontSwissBold(StrokeFontStore& fonts);  // "swissbld.chr"
void StrokeFontSymbol(StrokeFontStore& fonts);     // "symbol.chr"

/// Family selectors: load the bold member when style bit 1 is set, else the
/// regular one, then set the bold-variant flag to that bit.
void StrokeFamilyFixed(StrokeFontStore& fonts, int styleBits);
void StrokeFamilyRoman(StrokeFontStore& fonts, int styleBits);
void StrokeFamilySwiss(StrokeFontStore& fonts, int styleBits);

/// The bold-variant switch of the text-font setter: when the current font is
/// an outline font whose bold-variant flag differs from style bit 1, reloads
/// it through the selector named by the first five letters of its name
/// ("fixed", "swiss", "roman"); any other font, and stroked fonts, stay.
/// The caller calls this only while the stroke family is selected.
void StrokeFontBoldSwitch(StrokeFontStore& fonts, int styleBits);

/// SAVE true: saves the current font and STROKEFAMILY into the saved copy;
/// false: restores both from it.
void StrokeFontSaveRestore(StrokeFontStore& fonts, int& STROKEFAMILY, bool SAVE);

/// Character mapping for measuring and stroke text: 32-126 are themselves;
/// 128 is 127 when the font has a glyph for it, else 32; 161-255 are
/// themselves when the font covers 8 bits, else 32; every other code is 32.
int StrokeCharacterMap(const StrokeFont& font, int code);

/// The stream text of the glyph of a mapped code (33-127, 161-255); empty
/// when the code has no glyph.
std::string_view StrokeGlyph(const StrokeFont& font, int mappedCode);

/// A point in device units.
struct StrokePoint {
  double x = 0;
  double y = 0;
  friend bool operator==(const StrokePoint&, const StrokePoint&) = default;
};

/// Where StrokeTextDraw puts its output. The graphics layer implements it
/// with its device primitives; tests record the calls.
class StrokeSink {
 public:
  virtual ~StrokeSink() = default;
  /// Before the glyphs. filled: outline font (solid fill style, glyph-fill
  /// flag on). doubleLineWidth: stroked font in bold (line widths doubled).
  virtual void BeginStrokeText(bool filled, bool doubleLineWidth) = 0;
  /// A two-point stroke of a stroked font, and the underline.
  virtual void Line(StrokePoint from, StrokePoint to) = 0;
  /// A stroke of three or more points of a stroked font.
  virtual void Polyline(std::span<const StrokePoint> points) = 0;
  /// One stroke of an outline font, filled alone (even-odd).
  virtual void FillPolygon(std::span<const StrokePoint> points) = 0;
  /// After the glyphs and the underline: undo what BeginStrokeText set.
  virtual void EndStrokeText() = 0;
};

/// The text attributes StrokeTextDraw reads.
struct StrokeTextAttributes {
  int spacingMode = 0;  // 0 fixed pitch, else proportional from charWidths
  int styleBits = 0;    // StrokeStyleBit
  float slant = 0;      // shear per unit of height (0.4663 for italic)
  int vertical = 0;     // nonzero: characters stacked downward
  float cosA = 1;       // cos a
  float qSinA = 0;      // q sin a
  float sinAOverQ = 0;  // sin a / q
  /// Widths in nominal cell widths by mapped code (256 entries, 127 holding
  /// the width of 128). Needed only in proportional spacing; when it has
  /// fewer than 256 entries every width counts as 1.
  std::span<const float> charWidths;
};

/// Draws the first n characters of TEXT with the current font from the start
/// point (X, Y) in device units with the realised cell width W and height H,
/// handing lines and polygons to SINK.
void StrokeTextDraw(const StrokeFontStore& fonts, const StrokeTextAttributes& text,
                    StrokeSink& sink, double X, double Y, std::string_view TEXT, int n, double W,
                    double H);

}  // namespace tk
