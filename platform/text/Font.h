#pragma once
// Fonts made from a logical description (face name, size, weight, angle,
// character set), found through fontconfig and rendered with FreeType.
//
// Sizes follow the usual logical-font convention:
//   height < 0  the em height in pixels (the character height without
//               internal leading), |height|;
//   height > 0  the cell height in pixels (ascent + descent);
//   height == 0 a default em height of kDefaultFontEmHeight pixels.
//   width == 0  natural proportions; width > 0 scales the font horizontally
//               so that its average character width (the OS/2 xAvgCharWidth
//               of the font) becomes width pixels; heights do not change.
//
// Text is a string of bytes. With Charset::Ansi and Charset::Default a byte
// is a Windows-1252 code. With Charset::Symbol a byte is a code of the
// Adobe Symbol encoding, the layout of the classic Symbol font: 'a' is the
// Greek alpha, 'p' pi, 0xB0 the degree sign and so on.
//
// Fonts are shared and cached: OpenFont returns the same object for the same
// description while it stays in the cache. A font and the text drawn with it
// are meant for one thread at a time (the GUI thread).
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Geometry.h"

namespace plat {

// Character sets, with the numeric values the toolkit's font records use.
enum class Charset : std::uint8_t { Ansi = 0, Default = 1, Symbol = 2 };

// Generic family; guides the choice of a replacement when the face is missing.
enum class FontFamily : std::uint8_t {
  DontCare = 0,
  Roman = 1,   // serif
  Swiss = 2,   // sans serif
  Modern = 3,  // fixed pitch
  Script = 4,
  Decorative = 5,
};

constexpr int kFontWeightNormal = 400;
constexpr int kFontWeightBold = 700;
constexpr int kDefaultFontEmHeight = 12;
// Larger sizes are clamped to this many pixels per em.
constexpr int kMaxFontPixels = 1500;

struct FontSpec {
  std::string face;  // "Courier New", "Arial", "Times New Roman", "Symbol", ...
  int height = 0;    // see the convention above
  int width = 0;     // average character width in pixels; 0 natural
  int angle = 0;     // escapement (= orientation), tenths of a degree counter-clockwise
  int weight = kFontWeightNormal;  // 100-900; 600 and above is bold
  bool italic = false;
  bool underline = false;
  Charset charset = Charset::Ansi;
  FontFamily family = FontFamily::DontCare;
  bool antialias = false;  // grey edges; the default is monochrome rendering

  friend bool operator==(const FontSpec&, const FontSpec&) = default;
};

// Metrics of the unrotated font, in pixels.
struct TextMetrics {
  int height = 0;           // ascent + descent
  int ascent = 0;           // above the base line
  int descent = 0;          // below the base line
  int internalLeading = 0;  // height - em height
  int averageCharWidth = 0;
  int maxCharWidth = 0;
  friend bool operator==(const TextMetrics&, const TextMetrics&) = default;
};

// The rendered image of one character. Coverage is 0-255 per pixel, row by
// row; monochrome fonts give only 0 and 255. The image is already rotated by
// the font's angle; (left, top) is the offset of its top-left pixel from the
// pen position on the base line, y downwards.
struct GlyphImage {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> coverage;
};

class Font {
 public:
  ~Font();
  Font(const Font&) = delete;
  Font& operator=(const Font&) = delete;

  const FontSpec& Spec() const { return spec_; }
  const TextMetrics& Metrics() const { return metrics_; }
  // The font file fontconfig chose, and its family name.
  const std::string& FilePath() const { return filePath_; }
  const std::string& FamilyName() const { return familyName_; }
  // The font's angle, normalised to 0-3599 tenths of a degree counter-clockwise,
  // and its cosine and sine (exact for quarter turns).
  int AngleTenths() const { return angleTenths_; }
  double AngleCos() const { return cos_; }
  double AngleSin() const { return sin_; }

  // Advance width of one character in pixels, along the base line.
  int Advance(unsigned char c) const;
  // Width (sum of the advances) of TEXT and the font height, unrotated.
  int TextWidth(std::string_view text) const;
  Size TextExtent(std::string_view text) const;

  // The glyph a character code draws (0 when the font has none).
  std::uint32_t GlyphIndex(unsigned char c) const { return glyphIndex_[c]; }
  // The name the font gives a glyph, "" when it has none.
  std::string GlyphName(std::uint32_t glyph) const;
  // The rendered, rotated image of a character, made on first use and kept.
  const GlyphImage& Glyph(unsigned char c) const;

  // Underline placement below the base line (pixels, y downwards) and thickness.
  int UnderlineOffset() const { return underlineOffset_; }
  int UnderlineThickness() const { return underlineThickness_; }

 private:
  struct Impl;  // the FreeType face and how its glyphs are loaded
  friend std::shared_ptr<const Font> OpenFont(const FontSpec& spec);
  Font() = default;
  void LoadGlyph(unsigned char c) const;

  FontSpec spec_;
  TextMetrics metrics_;
  std::string filePath_;
  std::string familyName_;
  int angleTenths_ = 0;
  double cos_ = 1.0;
  double sin_ = 0.0;
  int underlineOffset_ = 0;
  int underlineThickness_ = 1;
  std::unique_ptr<Impl> impl_;
  std::array<std::uint32_t, 256> glyphIndex_{};
  mutable std::array<int, 256> advance_{};
  mutable std::array<bool, 256> advanceKnown_{};
  mutable std::array<std::unique_ptr<GlyphImage>, 256> glyphs_;
};

// The font for SPEC, from the cache or made now. A face the system lacks is
// replaced by the closest font fontconfig offers (guided by the family and the
// character set). Null only when no usable font file exists at all.
std::shared_ptr<const Font> OpenFont(const FontSpec& spec);

// The face names a font can be asked for, sorted without regard to case:
// the four faces the program's pictures use (they map to metric-compatible
// free fonts) and the families of the installed scalable fonts
// (TRUE_TYPE_ONLY: TrueType fonts only).
std::vector<std::string> FontFaceNames(bool trueTypeOnly);

// How many fonts the cache holds (it keeps the most recently used ones).
std::size_t FontCacheSize();
constexpr std::size_t kFontCacheCapacity = 64;

}  // namespace plat
