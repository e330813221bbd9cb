#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "toolkit/graphics/StrokeFont.h"
#include "toolkit/graphics/StrokeFontData.h"

namespace {

using tk::BuiltinStrokeFont;
using tk::StrokeFontFault;
using tk::StrokePoint;

// Records everything StrokeTextDraw hands over.
struct RecordingSink : tk::StrokeSink {
  struct Call {
    char kind;  // 'L' line, 'P' polyline, 'F' fill
    std::vector<StrokePoint> points;
  };
  std::vector<Call> calls;
  int begins = 0, ends = 0;
  bool filled = false, doubled = false;

  void BeginStrokeText(bool f, bool d) override {
    ++begins;
    filled = f;
    doubled = d;
  }
  void Line(StrokePoint a, StrokePoint b) override { calls.push_back({'L', {a, b}}); }
  void Polyline(std::span<const StrokePoint> p) override {
    calls.push_back({'P', {p.begin(), p.end()}});
  }
  void FillPolygon(std::span<const StrokePoint> p) override {
    calls.push_back({'F', {p.begin(), p.end()}});
  }
  void EndStrokeText() override { ++ends; }
};

struct FontCase {
  BuiltinStrokeFont id;
  const char* name;
  int maxCoordinate;
  int lowerEntries;
  bool stroked;
};
constexpr FontCase kFonts[] = {
    {BuiltinStrokeFont::Standard, "standard.chr", 11, 96, true},
    {BuiltinStrokeFont::Fixed, "fixed.chr", 55, 96, false},
    {BuiltinStrokeFont::FixedBold, "fixedbld.chr", 55, 96, false},
    {BuiltinStrokeFont::Roman, "roman.chr", 55, 96, false},
    {BuiltinStrokeFont::RomanBold, "romanbld.chr", 55, 96, false},
    {BuiltinStrokeFont::Swiss, "swiss.chr", 55, 96, false},
    {BuiltinStrokeFont::SwissBold, "swissbld.chr", 55, 96, false},
    {BuiltinStrokeFont::Symbol, "symbol.chr", 55, 95, false},
};

tk::StrokeFontStore Loaded(BuiltinStrokeFont id) {
  tk::StrokeFontStore store;
  int ierr = 1;
  tk::StrokeFontDefine(store, tk::BuiltinStrokeFontSource(id), ierr);
  EXPECT_EQ(ierr, 0);
  return store;
}

TEST(StrokeFontData, StandardExclamationIsTheDocumentedGlyph) {
  const auto store = Loaded(BuiltinStrokeFont::Standard);
  EXPECT_EQ(tk::StrokeGlyph(store.current, '!'), "3233u363B");
}

TEST(StrokeFontData, EveryFontMeetsTheFormatLimits) {
  for (const auto& c : kFonts) {
    SCOPED_TRACE(c.name);
    const tk::StrokeFontSource& src = tk::BuiltinStrokeFontSource(c.id);
    EXPECT_EQ(src.name, c.name);
    EXPECT_EQ(tk::CheckStrokeFont(src), StrokeFontFault::None);
    EXPECT_LE(src.stream.size(), 17000u);
    EXPECT_EQ(src.lower.size(), static_cast<size_t>(c.lowerEntries));
    EXPECT_EQ(src.upper.size(), 96u);
    EXPECT_EQ(src.charsetBits, 8);
    EXPECT_EQ((src.flags & tk::kStrokeFontStroked) != 0, c.stroked);
    const char separator = c.stroked ? 'u' : 'v';
    const auto store = Loaded(c.id);
    // Every glyph present: 33-126, 128 where the font has it, 161-255.
    std::vector<int> codes;
    for (int code = 33; code <= 126; ++code) codes.push_back(code);
    if (c.lowerEntries == 96) codes.push_back(127);
    for (int code = 161; code <= 255; ++code) codes.push_back(code);
    for (int code : codes) {
      SCOPED_TRACE(code);
      const std::string_view glyph = tk::StrokeGlyph(store.current, code);
      ASSERT_FALSE(glyph.empty());
      size_t start = 0;
      while (start <= glyph.size()) {
        size_t end = glyph.find(separator, start);
        if (end == std::string_view::npos) end = glyph.size();
        const std::string_view stroke = glyph.substr(start, end - start);
        EXPECT_EQ(stroke.size() % 2, 0u);
        EXPECT_GE(stroke.size(), 4u);
        EXPECT_LE(stroke.size() / 2, 100u);
        for (char ch : stroke) {
          const size_t v = tk::kGlyphCoordinateAlphabet.find(ch);
          ASSERT_NE(v, std::string_view::npos);
          EXPECT_LE(v, static_cast<size_t>(c.maxCoordinate));
        }
        start = end + 1;
      }
    }
  }
}

TEST(StrokeFontData, MetricsAndFlagsAsDocumented) {
  const auto& standard = tk::BuiltinStrokeFontSource(BuiltinStrokeFont::Standard);
  EXPECT_FLOAT_EQ(standard.advanceUnits, 7.68f);
  EXPECT_FLOAT_EQ(standard.heightUnits, 11.88f);
  EXPECT_FLOAT_EQ(standard.boxWidth, 6.0f);
  EXPECT_FLOAT_EQ(standard.boxHeight, 11.0f);
  EXPECT_EQ(standard.flags, 3);
  EXPECT_EQ(standard.defaultSpacing, 0);
  const auto& symbol = tk::BuiltinStrokeFontSource(BuiltinStrokeFont::Symbol);
  EXPECT_FLOAT_EQ(symbol.advanceUnits, 30.25f);
  EXPECT_EQ(symbol.flags, 0);
  EXPECT_EQ(symbol.defaultSpacing, 1);
  for (auto id :
       {BuiltinStrokeFont::Fixed, BuiltinStrokeFont::RomanBold, BuiltinStrokeFont::Swiss}) {
    const auto& f = tk::BuiltinStrokeFontSource(id);
    EXPECT_FLOAT_EQ(f.advanceUnits, 36.3f);
    EXPECT_FLOAT_EQ(f.heightUnits, 55.0f);
    EXPECT_EQ(f.flags, 2);
  }
  EXPECT_EQ(tk::BuiltinStrokeFontSource(BuiltinStrokeFont::Fixed).defaultSpacing, 0);
  EXPECT_EQ(tk::BuiltinStrokeFontSource(BuiltinStrokeFont::Roman).defaultSpacing, 1);
}

TEST(StrokeTextDraw, UprightStandardTextStaysInsideItsCells) {
  const auto store = Loaded(BuiltinStrokeFont::Standard);
  std::string text;
  for (int code = 33; code <= 126; ++code) text += static_cast<char>(code);
  text += static_cast<char>(128);
  for (int code = 161; code <= 255; ++code) text += static_cast<char>(code);
  const double w = 12.0, h = 20.0, x0 = 100.0, y0 = 50.0;
  RecordingSink sink;
  tk::StrokeTextDraw(store, {}, sink, x0, y0, text, static_cast<int>(text.size()), w, h);
  ASSERT_FALSE(sink.calls.empty());
  // A glyph's strokes follow each other; find its cell from the first point.
  for (const auto& call : sink.calls) {
    const int cell = static_cast<int>((call.points[0].x - x0) / w);
    for (const auto& p : call.points) {
      EXPECT_GE(p.x, x0 + cell * w);
      EXPECT_LE(p.x, x0 + (cell + 1) * w);
      EXPECT_GE(p.y, y0 - 0.5 * h);
      EXPECT_LE(p.y, y0 + 0.5 * h);
    }
  }
  // Each character's strokes land in its own cell: count cells reached.
  std::vector<bool> reached(text.size(), false);
  for (const auto& call : sink.calls)
    reached[static_cast<size_t>((call.points[0].x - x0) / w)] = true;
  for (size_t i = 0; i < text.size(); ++i) EXPECT_TRUE(reached[i]) << "cell " << i;
}

TEST(StrokeTextDraw, ExclamationDecodesToTwoLines) {
  const auto store = Loaded(BuiltinStrokeFont::Standard);
  RecordingSink sink;
  const double w = 7.68, h = 11.88;  // one device unit per glyph unit
  tk::StrokeTextDraw(store, {}, sink, 0, 0, "!", 1, w, h);
  ASSERT_EQ(sink.calls.size(), 2u);
  const double ox = 0.5 * (7.68 - 6.0), oy = -0.5 * 11.88;
  EXPECT_EQ(sink.calls[0].kind, 'L');
  EXPECT_NEAR(sink.calls[0].points[0].x, ox + 3, 1e-5);
  EXPECT_NEAR(sink.calls[0].points[0].y, oy + 2, 1e-5);
  EXPECT_NEAR(sink.calls[0].points[1].y, oy + 3, 1e-5);
  EXPECT_EQ(sink.calls[1].kind, 'L');
  EXPECT_NEAR(sink.calls[1].points[0].y, oy + 6, 1e-5);
  EXPECT_NEAR(sink.calls[1].points[1].y, oy + 11, 1e-5);
}

TEST(StrokeTextDraw, SwissHyphenIsOneFilledPolygon) {
  const auto store = Loaded(BuiltinStrokeFont::Swiss);
  RecordingSink sink;
  tk::StrokeTextDraw(store, {}, sink, 0, 0, "-", 1, 36.3, 55.0);
  EXPECT_TRUE(sink.filled);
  ASSERT_EQ(sink.calls.size(), 1u);
  EXPECT_EQ(sink.calls[0].kind, 'F');
  EXPECT_EQ(sink.calls[0].points.size(), 4u);
}

TEST(StrokeTextDraw, SpacesAndUnmappedCodesAdvanceWithoutDrawing) {
  const auto store = Loaded(BuiltinStrokeFont::Standard);
  RecordingSink sink;
  const std::string text = std::string(" \x01\x7f\x81\xa0") + "!";
  tk::StrokeTextDraw(store, {}, sink, 0, 0, text, static_cast<int>(text.size()), 10, 10);
  ASSERT_EQ(sink.calls.size(), 2u);  // only the "!"
  EXPECT_GE(sink.calls[0].points[0].x, 50.0);
  EXPECT_LE(sink.calls[0].points[0].x, 60.0);
}

TEST(StrokeTextDraw, Character128UsesItsGlyphOnlyWhereTheFontHasOne) {
  for (auto [id, draws] :
       {std::pair{BuiltinStrokeFont::Standard, true}, std::pair{BuiltinStrokeFont::Fixed, true},
        std::pair{BuiltinStrokeFont::Symbol, false}}) {
    const auto store = Loaded(id);
    RecordingSink sink;
    tk::StrokeTextDraw(store, {}, sink, 0, 0, "\x80", 1, 10, 10);
    EXPECT_EQ(!sink.calls.empty(), draws) << static_cast<int>(id);
  }
}

TEST(StrokeTextDraw, SevenBitFontDrawsUpperCodesAsSpaces) {
  auto store = Loaded(BuiltinStrokeFont::Standard);
  store.current.charsetBits = 7;
  EXPECT_EQ(tk::StrokeCharacterMap(store.current, 0xE9), 32);
  RecordingSink sink;
  tk::StrokeTextDraw(store, {}, sink, 0, 0, "\xe9", 1, 10, 10);
  EXPECT_TRUE(sink.calls.empty());
}

TEST(StrokeTextDraw, ItalicShearsByHeightAboveTheCellBottom) {
  const auto store = Loaded(BuiltinStrokeFont::Standard);
  RecordingSink upright, italic;
  tk::StrokeTextAttributes attrs;
  tk::StrokeTextDraw(store, attrs, upright, 0, 0, "!", 1, 8, 16);
  attrs.slant = 0.4663f;
  tk::StrokeTextDraw(store, attrs, italic, 0, 0, "!", 1, 8, 16);
  ASSERT_EQ(upright.calls.size(), italic.calls.size());
  for (size_t i = 0; i < upright.calls.size(); ++i) {
    for (size_t k = 0; k < upright.calls[i].points.size(); ++k) {
      const StrokePoint u = upright.calls[i].points[k], s = italic.calls[i].points[k];
      const double above = u.y - (-8.0);  // height above the cell's lower edge
      EXPECT_NEAR(s.x - u.x, 0.4663 * (8.0 / 16.0) * above, 1e-5);
      EXPECT_DOUBLE_EQ(s.y, u.y);
    }
  }
}

TEST(StrokeTextDraw, UnderlineRunsBelowTheCentreLine) {
  const auto store = Loaded(BuiltinStrokeFont::Standard);
  tk::StrokeTextAttributes attrs;
  attrs.styleBits = tk::kStyleUnderline;
  RecordingSink sink;
  tk::StrokeTextDraw(store, attrs, sink, 0, 0, "  ", 2, 10, 20);
  ASSERT_EQ(sink.calls.size(), 1u);
  EXPECT_EQ(sink.calls[0].points[0], (StrokePoint{0, -9}));
  EXPECT_EQ(sink.calls[0].points[1], (StrokePoint{20, -9}));
}

TEST(StrokeTextDraw, VerticalTextStacksCellsDownward) {
  const auto store = Loaded(BuiltinStrokeFont::Standard);
  tk::StrokeTextAttributes attrs;
  attrs.vertical = 1;
  RecordingSink sink;
  tk::StrokeTextDraw(store, attrs, sink, 0, 0, "!!", 2, 10, 20);
  ASSERT_EQ(sink.calls.size(), 4u);
  EXPECT_NEAR(sink.calls[2].points[0].y - sink.calls[0].points[0].y, -20.0, 1e-9);
  for (const auto& c : sink.calls)
    for (const auto& p : c.points) EXPECT_LE(p.y, 0.0);
}

// Bold: a stroked font doubles its line width, an outline font family loads
// its bold member; neither changes where the next character starts.
TEST(StrokeFontBold, StrokedDoublesWidthAndFilledLoadsBoldFont) {
  auto standard = Loaded(BuiltinStrokeFont::Standard);
  tk::StrokeTextAttributes bold;
  bold.styleBits = tk::kStyleBold;
  RecordingSink plainSink, boldSink;
  tk::StrokeTextDraw(standard, {}, plainSink, 0, 0, "ii!", 3, 10, 20);
  tk::StrokeTextDraw(standard, bold, boldSink, 0, 0, "ii!", 3, 10, 20);
  EXPECT_FALSE(plainSink.doubled);
  EXPECT_TRUE(boldSink.doubled);
  EXPECT_EQ(boldSink.begins, 1);
  EXPECT_EQ(boldSink.ends, 1);
  ASSERT_EQ(plainSink.calls.size(), boldSink.calls.size());
  for (size_t i = 0; i < plainSink.calls.size(); ++i)
    EXPECT_EQ(plainSink.calls[i].points, boldSink.calls[i].points);
  // The bold switch leaves stroked fonts alone.
  tk::StrokeFontBoldSwitch(standard, tk::kStyleBold);
  EXPECT_EQ(standard.current.TrimmedName(), "standard.chr");

  struct Family {
    void (*select)(tk::StrokeFontStore&, int);
    const char* regular;
    const char* bold;
  };
  for (const Family& f : {Family{tk::StrokeFamilyFixed, "fixed.chr", "fixedbld.chr"},
                          Family{tk::StrokeFamilyRoman, "roman.chr", "romanbld.chr"},
                          Family{tk::StrokeFamilySwiss, "swiss.chr", "swissbld.chr"}}) {
    tk::StrokeFontStore store;
    f.select(store, 0);
    EXPECT_EQ(store.current.TrimmedName(), f.regular);
    EXPECT_EQ(store.boldVariant, 0);
    tk::StrokeFontBoldSwitch(store, tk::kStyleBold);
    EXPECT_EQ(store.current.TrimmedName(), f.bold);
    EXPECT_EQ(store.boldVariant, 1);
    RecordingSink sink;
    tk::StrokeTextDraw(store, bold, sink, 0, 0, "ab", 2, 10, 20);
    EXPECT_FALSE(sink.doubled);  // bold comes from the font, not the line
    tk::StrokeFontBoldSwitch(store, 0);
    EXPECT_EQ(store.current.TrimmedName(), f.regular);
    f.select(store, tk::kStyleBold | tk::kStyleItalic);
    EXPECT_EQ(store.current.TrimmedName(), f.bold);
  }
  // Symbol has no bold member.
  tk::StrokeFontStore symbol;
  tk::StrokeFontSymbol(symbol);
  tk::StrokeFontBoldSwitch(symbol, tk::kStyleBold);
  EXPECT_EQ(symbol.current.TrimmedName(), "symbol.chr");
}

TEST(StrokeFontBold, AdvanceDoesNotDependOnBold) {
  // " -" puts the hyphen in the second cell whatever the font variant.
  for (auto id : {BuiltinStrokeFont::Fixed, BuiltinStrokeFont::FixedBold}) {
    const auto store = Loaded(id);
    RecordingSink sink;
    tk::StrokeTextDraw(store, {}, sink, 0, 0, " -", 2, 36.3, 55.0);
    ASSERT_EQ(sink.calls.size(), 1u);
    for (const auto& p : sink.calls[0].points) {
      EXPECT_GT(p.x, 36.3);
      EXPECT_LT(p.x, 72.6);
    }
  }
}

TEST(StrokeFontSaveRestore, RestoresTheFontAndTheFamilyFlag) {
  tk::StrokeFontStore store;
  tk::StrokeFontStandard(store);
  int family = 0;
  tk::StrokeFontSaveRestore(store, family, true);
  family = 1;
  tk::StrokeFontSymbol(store);
  EXPECT_EQ(store.current.TrimmedName(), "symbol.chr");
  tk::StrokeFontSaveRestore(store, family, false);
  EXPECT_EQ(family, 0);
  EXPECT_EQ(store.current.TrimmedName(), "standard.chr");
  EXPECT_EQ(store.current.name.size(), 260u);
  // The restored standard font still draws character 128 with its own glyph.
  RecordingSink sink;
  tk::StrokeTextDraw(store, {}, sink, 0, 0, "\x80", 1, 10, 10);
  EXPECT_FALSE(sink.calls.empty());
  EXPECT_EQ(tk::StrokeCharacterMap(store.current, 128), 127);
}

// Hostile definitions: every one refused, the current font left as it was.
TEST(StrokeFontDefine, RefusesDefinitionsOutsideTheFormat) {
  const tk::StrokeFontSource& good = tk::BuiltinStrokeFontSource(BuiltinStrokeFont::Standard);
  const std::string longStream(17001, 'u');
  std::string longStroke;
  for (int i = 0; i < 151; ++i) longStroke += "12";
  std::vector<int> longStrokeLower(96, 1);
  longStrokeLower.back() = static_cast<int>(longStroke.size()) + 1;
  std::vector<int> longStrokeUpper(96, static_cast<int>(longStroke.size()) + 1);
  std::vector<int> pastEnd(good.lower.begin(), good.lower.end());
  pastEnd.back() = static_cast<int>(good.stream.size()) + 2;
  std::vector<int> decreasing(good.upper.begin(), good.upper.end());
  std::swap(decreasing[3], decreasing[4]);
  std::vector<int> zero(good.lower.begin(), good.lower.end());
  zero[0] = 0;

  struct Case {
    const char* name;
    tk::StrokeFontSource font;
    StrokeFontFault fault;
  };
  auto with = [&](auto change) {
    tk::StrokeFontSource f = good;
    change(f);
    return f;
  };
  const Case cases[] = {
      {"zero height", with([](auto& f) { f.heightUnits = 0; }), StrokeFontFault::BadMetrics},
      {"NaN advance", with([](auto& f) { f.advanceUnits = std::nanf(""); }),
       StrokeFontFault::BadMetrics},
      {"charset 6", with([](auto& f) { f.charsetBits = 6; }), StrokeFontFault::BadCharset},
      {"flags 4", with([](auto& f) { f.flags = 4; }), StrokeFontFault::BadFlags},
      {"spacing 2", with([](auto& f) { f.defaultSpacing = 2; }), StrokeFontFault::BadFlags},
      {"stream too long", with([&](auto& f) { f.stream = longStream; }),
       StrokeFontFault::StreamTooLong},
      {"lower truncated", with([](auto& f) { f.lower = f.lower.first(95); }),
       StrokeFontFault::TableTooShort},
      {"upper truncated", with([](auto& f) { f.upper = f.upper.first(50); }),
       StrokeFontFault::TableTooShort},
      {"stream truncated", with([](auto& f) { f.stream = f.stream.substr(0, 100); }),
       StrokeFontFault::TableOutOfRange},
      {"entry past the end", with([&](auto& f) { f.lower = pastEnd; }),
       StrokeFontFault::TableOutOfRange},
      {"entry zero", with([&](auto& f) { f.lower = zero; }), StrokeFontFault::TableOutOfRange},
      {"entries decreasing", with([&](auto& f) { f.upper = decreasing; }),
       StrokeFontFault::TableOutOfRange},
      {"stroke of 151 points", with([&](auto& f) {
         f.stream = longStroke;
         f.lower = longStrokeLower;
         f.upper = longStrokeUpper;
       }),
       StrokeFontFault::StrokeTooLong},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(tk::CheckStrokeFont(c.font), c.fault);
    EXPECT_FALSE(tk::ToString(c.fault).empty());
    tk::StrokeFontStore store;
    tk::StrokeFontSwiss(store);
    store.boldVariant = 1;
    const std::string before = store.current.stream;
    int ierr = 0;
    tk::StrokeFontDefine(store, c.font, ierr);
    EXPECT_EQ(ierr, -1);
    EXPECT_EQ(store.current.TrimmedName(), "swiss.chr");
    EXPECT_EQ(store.current.stream, before);
    EXPECT_EQ(store.boldVariant, 1);
  }
}

TEST(StrokeFontDefine, LoadsAFontGivenFieldByField) {
  tk::StrokeFontStore store;
  store.boldVariant = 1;
  const std::string stream = "0011v2233445v66";  // one glyph for "!", the rest empty
  std::vector<int> lower(95, static_cast<int>(stream.size()) + 1);
  lower[0] = 1;
  const std::vector<int> upper(96, static_cast<int>(stream.size()) + 1);
  const float adv = 10, hgt = 20, bw = 10, bh = 20;
  const int bits = 8, flags = 0, spacing = 1;
  int ierr = 1;
  tk::StrokeFontDefine(store, adv, hgt, bw, bh, bits, flags, spacing, "mine.chr", stream, lower,
                       upper, ierr);
  ASSERT_EQ(ierr, 0);
  EXPECT_EQ(store.boldVariant, 0);
  EXPECT_EQ(store.current.TrimmedName(), "mine.chr");
  EXPECT_EQ(tk::StrokeGlyph(store.current, '!'), stream);
  EXPECT_TRUE(tk::StrokeGlyph(store.current, '"').empty());
  EXPECT_EQ(tk::StrokeCharacterMap(store.current, 128), 32);
  // A name longer than the store's 260 characters is cut, not overrun.
  const std::string longName(300, 'n');
  tk::StrokeFontDefine(store, adv, hgt, bw, bh, bits, flags, spacing, longName, stream, lower,
                       upper, ierr);
  ASSERT_EQ(ierr, 0);
  EXPECT_EQ(store.current.name, longName.substr(0, 260));
  // "0011" has only two points: a filled stroke still reaches the sink whole;
  // a dangling coordinate and a one-point stroke are dropped.
  RecordingSink sink;
  tk::StrokeTextDraw(store, {}, sink, 0, 0, "!\"", 2, 10, 20);
  ASSERT_EQ(sink.calls.size(), 2u);
  EXPECT_EQ(sink.calls[0].points.size(), 2u);
  EXPECT_EQ(sink.calls[1].points.size(), 3u);
}

}  // namespace

namespace {

// Before any font is loaded the store holds no glyphs: drawing is harmless.
TEST(StrokeTextDraw, EmptyStoreDrawsNothing) {
  const tk::StrokeFontStore store;
  RecordingSink sink;
  tk::StrokeTextDraw(store, {}, sink, 0, 0, "Ab\x80\xe9", 4, 10, 20);
  EXPECT_TRUE(sink.calls.empty());
  EXPECT_EQ(sink.begins, 1);
  EXPECT_EQ(sink.ends, 1);
}

// A count beyond the text, or negative, never reads outside it.
TEST(StrokeTextDraw, CountIsClampedToTheText) {
  const auto store = Loaded(BuiltinStrokeFont::Standard);
  RecordingSink all, none;
  tk::StrokeTextDraw(store, {}, all, 0, 0, "!", 50, 10, 20);
  tk::StrokeTextDraw(store, {}, none, 0, 0, "!", -3, 10, 20);
  EXPECT_EQ(all.calls.size(), 2u);
  EXPECT_TRUE(none.calls.empty());
}

}  // namespace
