#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <functional>
#include <string>

#include "platform/text/Font.h"

namespace {

using plat::Charset;
using plat::FontSpec;
using plat::OpenFont;

bool HaveStandardFonts() {
  return std::filesystem::exists("/usr/share/fonts/truetype/liberation2") &&
         (std::filesystem::exists("/usr/share/fonts/opentype/urw-base35") ||
          std::filesystem::exists("/usr/share/fonts/type1/urw-base35"));
}

#define SKIP_WITHOUT_STANDARD_FONTS() \
  if (!HaveStandardFonts()) GTEST_SKIP() << "Liberation or URW fonts not installed"

std::string FileName(const std::string& path) {
  return std::filesystem::path(path).filename().string();
}

TEST(Font, TheFourFacesResolveToTheirMetricCompatibleFiles) {
  SKIP_WITHOUT_STANDARD_FONTS();
  struct Case {
    const char* face;
    int weight;
    bool italic;
    const char* file;  // file name, or its start for the symbol font (.otf or .t1)
  };
  const Case cases[] = {
      {"Courier New", 400, false, "LiberationMono-Regular.ttf"},
      {"Arial", 400, false, "LiberationSans-Regular.ttf"},
      {"Times New Roman", 400, false, "LiberationSerif-Regular.ttf"},
      {"Symbol", 400, false, "StandardSymbolsPS."},
      {"Courier New", 700, false, "LiberationMono-Bold.ttf"},
      {"Arial", 400, true, "LiberationSans-Italic.ttf"},
      {"Times New Roman", 700, true, "LiberationSerif-BoldItalic.ttf"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.face) + " " + std::to_string(c.weight) +
                 (c.italic ? " italic" : ""));
    auto font = OpenFont({.face = c.face, .height = -16, .weight = c.weight, .italic = c.italic});
    ASSERT_TRUE(font);
    EXPECT_EQ(FileName(font->FilePath()).rfind(c.file, 0), 0u) << font->FilePath();
  }
}

TEST(Font, MissingOrOddFacesFallBackToAUsableFont) {
  const FontSpec specs[] = {
      {.face = "NoSuchFontXyz", .height = -16},
      {.face = "", .height = -16},
      {.face = std::string(5000, 'Q'), .height = -16},
      {.face = std::string("Ari\0al", 6), .height = -16},
      {.face = "NoSuchFontXyz", .height = -16, .charset = Charset::Symbol},
  };
  for (const FontSpec& spec : specs) {
    SCOPED_TRACE(spec.face.substr(0, 20));
    auto font = OpenFont(spec);
    ASSERT_TRUE(font);
    EXPECT_FALSE(font->FilePath().empty());
    EXPECT_GT(font->Metrics().height, 0);
    EXPECT_GT(font->TextWidth("Hello"), 0);
  }
}

TEST(Font, AMissingFixedPitchFaceFallsBackToAFixedPitchFont) {
  auto font =
      OpenFont({.face = "NoSuchFontXyz", .height = -16, .family = plat::FontFamily::Modern});
  ASSERT_TRUE(font);
  EXPECT_EQ(font->Advance('i'), font->Advance('W')) << font->FilePath();
}

TEST(Font, ExtremeSizesAndAnglesAreClampedNotTrusted) {
  const FontSpec specs[] = {
      {.face = "Arial", .height = INT_MIN},
      {.face = "Arial", .height = INT_MAX},
      {.face = "Arial", .height = -16, .width = INT_MAX},
      {.face = "Arial", .height = -16, .width = INT_MIN},
      {.face = "Arial", .height = -16, .angle = INT_MIN},
      {.face = "Arial", .height = -16, .angle = INT_MAX},
      {.face = "Arial", .height = -16, .weight = INT_MIN},
  };
  for (const FontSpec& spec : specs) {
    SCOPED_TRACE(std::to_string(spec.height) + " " + std::to_string(spec.width) + " " +
                 std::to_string(spec.angle));
    auto font = OpenFont(spec);
    ASSERT_TRUE(font);
    const auto& m = font->Metrics();
    EXPECT_GT(m.height, 0);
    EXPECT_LE(m.height, 2 * plat::kMaxFontPixels);
    EXPECT_LE(m.maxCharWidth, 4 * plat::kMaxFontPixels);
    EXPECT_GE(font->AngleTenths(), 0);
    EXPECT_LT(font->AngleTenths(), 3600);
  }
}

TEST(Font, HeightFollowsTheEmAndCellConventions) {
  SKIP_WITHOUT_STANDARD_FONTS();
  for (const char* face : {"Courier New", "Arial", "Times New Roman", "Symbol"}) {
    for (int h : {8, 13, 20, 37}) {
      SCOPED_TRACE(std::string(face) + " " + std::to_string(h));
      const auto em = OpenFont({.face = face, .height = -h})->Metrics();
      EXPECT_EQ(em.height, em.ascent + em.descent);
      EXPECT_NEAR(em.height - em.internalLeading, h, 1);
      const auto cell = OpenFont({.face = face, .height = h})->Metrics();
      EXPECT_EQ(cell.height, h);
      EXPECT_EQ(cell.ascent + cell.descent, h);
    }
  }
  EXPECT_EQ(OpenFont({.face = "Arial", .height = 0})->Metrics(),
            OpenFont({.face = "Arial", .height = -plat::kDefaultFontEmHeight})->Metrics());
}

TEST(Font, WidthsAreTheSumOfTheAdvancesAndGrowWithSizeAndLength) {
  const std::string text = "Shot 12, trace 48";
  int previous = 0;
  for (int h : {8, 12, 20, 40, 80}) {
    SCOPED_TRACE(h);
    auto font = OpenFont({.face = "Arial", .height = -h});
    int sum = 0;
    for (char c : text) sum += font->Advance(static_cast<unsigned char>(c));
    EXPECT_EQ(font->TextWidth(text), sum);
    EXPECT_EQ(font->TextExtent(text), (plat::Size{sum, font->Metrics().height}));
    EXPECT_GT(sum, previous);
    previous = sum;
    int shorter = 0;
    for (std::size_t n = 1; n <= text.size(); ++n) {
      const int w = font->TextWidth(std::string_view(text).substr(0, n));
      EXPECT_GE(w, shorter);
      shorter = w;
    }
  }
  EXPECT_EQ(OpenFont({.face = "Arial", .height = -12})->TextWidth(""), 0);
}

TEST(Font, FixedPitchFaceHasOneAdvanceForEveryLetter) {
  SKIP_WITHOUT_STANDARD_FONTS();
  auto font = OpenFont({.face = "Courier New", .height = -14});
  const int adv = font->Advance('M');
  for (char c : std::string("ilW.@ ")) EXPECT_EQ(font->Advance(static_cast<unsigned char>(c)), adv);
  EXPECT_EQ(font->Metrics().averageCharWidth, adv);
  EXPECT_EQ(font->TextWidth("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"), 52 * adv);
}

TEST(Font, AverageWidthScalesWidthsAndLeavesHeights) {
  const std::string text = "The quick brown fox jumps over the lazy dog";
  for (const char* face : {"Arial", "Times New Roman", "Courier New", "Symbol"}) {
    SCOPED_TRACE(face);
    auto natural = OpenFont({.face = face, .height = -20});
    const int avg = natural->Metrics().averageCharWidth;
    for (int factor : {2, 3}) {
      auto wide = OpenFont({.face = face, .height = -20, .width = factor * avg});
      EXPECT_NEAR(wide->Metrics().averageCharWidth, factor * avg, 1);
      EXPECT_EQ(wide->Metrics().height, natural->Metrics().height);
      EXPECT_EQ(wide->Metrics().ascent, natural->Metrics().ascent);
      const double ratio = double(wide->TextWidth(text)) / natural->TextWidth(text);
      EXPECT_NEAR(ratio, factor, 0.12 * factor);
    }
    auto narrow = OpenFont({.face = face, .height = -20, .width = avg / 2});
    EXPECT_LT(narrow->TextWidth(text), natural->TextWidth(text) * 3 / 4);
  }
}

TEST(Font, BoldIsWiderAndSynthesisedWhereTheFaceHasNoBold) {
  const std::string text = "Velloran";
  for (const char* face : {"Arial", "Times New Roman", "Symbol"}) {
    SCOPED_TRACE(face);
    auto regular = OpenFont({.face = face, .height = -20});
    auto bold = OpenFont({.face = face, .height = -20, .weight = plat::kFontWeightBold});
    EXPECT_GT(bold->TextWidth(text), regular->TextWidth(text));
  }
}

TEST(Font, SymbolCharsetMapsLatinCodesToSymbolGlyphs) {
  SKIP_WITHOUT_STANDARD_FONTS();
  struct Case {
    unsigned char code;
    const char* glyph;
  };
  const Case symbolCases[] = {{'a', "alpha"},           {'p', "pi"},        {'W', "Omega"},
                              {'D', "Delta"},           {'1', "one"},       {0xB0, "degree"},
                              {0xA5, "infinity"},       {0xB4, "multiply"}, {0xD7, "dotmath"},
                              {0xD3, "copyrightserif"}, {0xF2, "integral"}};
  auto symbol = OpenFont({.face = "Symbol", .height = -16, .charset = Charset::Symbol});
  for (const Case& c : symbolCases) {
    SCOPED_TRACE(c.glyph);
    EXPECT_EQ(symbol->GlyphName(symbol->GlyphIndex(c.code)), c.glyph);
  }
  // Times has both a Latin a and a Greek alpha: the charset decides which is drawn.
  const Case textCases[] = {{'a', "alpha"},   {'p', "pi"},        {'1', "one"},
                            {0xB0, "degree"}, {0xA5, "infinity"}, {0xB4, "multiply"}};
  auto timesSymbol =
      OpenFont({.face = "Times New Roman", .height = -16, .charset = Charset::Symbol});
  auto timesLatin = OpenFont({.face = "Times New Roman", .height = -16});
  for (const Case& c : textCases) {
    SCOPED_TRACE(c.glyph);
    EXPECT_EQ(timesSymbol->GlyphName(timesSymbol->GlyphIndex(c.code)), c.glyph);
  }
  EXPECT_EQ(timesLatin->GlyphName(timesLatin->GlyphIndex('a')), "a");
  EXPECT_NE(timesSymbol->GlyphIndex('a'), timesLatin->GlyphIndex('a'));
  // Codes the Symbol encoding leaves empty draw the missing-glyph box.
  EXPECT_EQ(symbol->GlyphIndex(0x05), 0u);
  EXPECT_EQ(symbol->GlyphIndex(0x90), 0u);
}

TEST(Font, AnsiTextIsWindows1252) {
  SKIP_WITHOUT_STANDARD_FONTS();
  auto font = OpenFont({.face = "Arial", .height = -16});
  EXPECT_EQ(font->GlyphName(font->GlyphIndex(0x80)), "Euro");
  EXPECT_EQ(font->GlyphName(font->GlyphIndex(0xB0)), "degree");
  EXPECT_EQ(font->GlyphName(font->GlyphIndex(0xE9)), "eacute");
  EXPECT_EQ(font->GlyphName(font->GlyphIndex(0x97)), "emdash");
}

TEST(Font, CacheReturnsTheSameFontOnlyForTheSameDescription) {
  const FontSpec base{.face = "Arial", .height = -15};
  auto a = OpenFont(base);
  EXPECT_EQ(OpenFont(base), a);
  const std::function<void(FontSpec&)> changes[] = {
      [](FontSpec& s) { s.face = "Times New Roman"; },
      [](FontSpec& s) { s.height = 15; },
      [](FontSpec& s) { s.width = 9; },
      [](FontSpec& s) { s.angle = 900; },
      [](FontSpec& s) { s.weight = plat::kFontWeightBold; },
      [](FontSpec& s) { s.italic = true; },
      [](FontSpec& s) { s.underline = true; },
      [](FontSpec& s) { s.charset = Charset::Symbol; },
      [](FontSpec& s) { s.family = plat::FontFamily::Swiss; },
      [](FontSpec& s) { s.antialias = true; },
  };
  for (const auto& change : changes) {
    FontSpec other = base;
    change(other);
    auto b = OpenFont(other);
    ASSERT_TRUE(b);
    EXPECT_NE(b, a);
    EXPECT_EQ(b->Spec(), other);
    EXPECT_EQ(OpenFont(other), b);
  }
}

TEST(Font, CacheKeepsOnlyTheMostRecentFonts) {
  auto kept = OpenFont({.face = "Arial", .height = -11});
  for (int h = 1; h <= 2 * static_cast<int>(plat::kFontCacheCapacity); ++h) {
    OpenFont({.face = "Arial", .height = -11, .width = h});
    EXPECT_LE(plat::FontCacheSize(), plat::kFontCacheCapacity);
  }
  // An evicted font stays valid for whoever holds it.
  EXPECT_GT(kept->TextWidth("still here"), 0);
  EXPECT_GT(kept->Glyph('x').width, 0);
}

}  // namespace
