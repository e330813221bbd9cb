#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "platform/text/TextDraw.h"

namespace {

using plat::DrawText;
using plat::OpenFont;
using plat::Pixel;
using plat::Point;
using plat::Rect;
using plat::Rgb;
using plat::Surface;
using plat::TextHAlign;
using plat::TextStyle;
using plat::TextVAlign;

constexpr Pixel kPaper = Rgb(255, 255, 255);
constexpr Pixel kInk = Rgb(0, 0, 128);
constexpr Pixel kBox = Rgb(200, 255, 200);

// Bounds of the pixels of colour C (or of every pixel not C when NOT is set).
Rect BoundsOf(const Surface& s, Pixel c, bool invert = false) {
  Rect r{};
  for (int y = 0; y < s.Height(); ++y)
    for (int x = 0; x < s.Width(); ++x)
      if ((s.Get(x, y) == c) != invert) r = r.Union({x, y, x + 1, y + 1});
  return r;
}
Rect InkBounds(const Surface& s) {
  return BoundsOf(s, kPaper, true);
}

TEST(TextDraw, OpaqueBoxSitsWhereTheAlignmentSays) {
  auto font = OpenFont({.face = "Arial", .height = -20});
  const auto& m = font->Metrics();
  const std::string text = "Hello";
  const int w = font->TextWidth(text);
  const Point at{100, 60};
  struct Case {
    TextHAlign h;
    TextVAlign v;
    int left, top;  // of the box, relative to the anchor
  };
  const Case cases[] = {
      {TextHAlign::Left, TextVAlign::Top, 0, 0},
      {TextHAlign::Centre, TextVAlign::Top, -(w / 2), 0},
      {TextHAlign::Right, TextVAlign::Top, -w, 0},
      {TextHAlign::Left, TextVAlign::Baseline, 0, -m.ascent},
      {TextHAlign::Right, TextVAlign::Baseline, -w, -m.ascent},
      {TextHAlign::Left, TextVAlign::Bottom, 0, -m.height},
      {TextHAlign::Centre, TextVAlign::Bottom, -(w / 2), -m.height},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(int(c.h) * 10 + int(c.v));
    Surface s(200, 120, kPaper);
    const TextStyle style{
        .colour = kInk, .opaque = true, .background = kBox, .hAlign = c.h, .vAlign = c.v};
    const Rect touched = DrawText(s, *font, at, text, style, s.Bounds());
    const Rect box{at.x + c.left, at.y + c.top, at.x + c.left + w, at.y + c.top + m.height};
    EXPECT_EQ(InkBounds(s), box);
    EXPECT_EQ(touched, box);
  }
}

TEST(TextDraw, BaselineAlignmentPutsTheFootOfTheLettersOnTheAnchorRow) {
  auto font = OpenFont({.face = "Times New Roman", .height = -24});
  Surface s(200, 100, kPaper);
  const Point at{20, 60};
  DrawText(s, *font, at, "HELLO", {.colour = kInk, .vAlign = TextVAlign::Baseline}, s.Bounds());
  const Rect ink = InkBounds(s);
  EXPECT_EQ(ink.bottom, at.y);         // the last inked row is the one above the base line
  EXPECT_NEAR(ink.top, at.y - 16, 2);  // capitals are about 0.66 em tall
  EXPECT_GE(ink.left, at.x);
  EXPECT_LE(ink.right, at.x + font->TextWidth("HELLO"));
}

TEST(TextDraw, QuarterTurnsSwapTheExtents) {
  const std::string text = "Trace 48";
  const TextStyle opaque{
      .colour = kInk, .opaque = true, .background = kBox, .vAlign = TextVAlign::Baseline};
  auto flat = OpenFont({.face = "Arial", .height = -18});
  Surface s0(200, 200, kPaper);
  DrawText(s0, *flat, {100, 100}, text, opaque, s0.Bounds());
  const Rect box0 = InkBounds(s0);
  Surface i0(200, 200, kPaper);
  DrawText(i0, *flat, {100, 100}, text, {.colour = kInk, .vAlign = TextVAlign::Baseline},
           i0.Bounds());
  const Rect ink0 = BoundsOf(i0, kInk);
  for (int angle : {900, 1800, 2700, -900}) {
    SCOPED_TRACE(angle);
    auto turned = OpenFont({.face = "Arial", .height = -18, .angle = angle});
    Surface s(200, 200, kPaper);
    DrawText(s, *turned, {100, 100}, text, opaque, s.Bounds());
    const Rect box = InkBounds(s);
    const bool quarter = angle % 1800 != 0;
    EXPECT_EQ(box.Width(), quarter ? box0.Height() : box0.Width());
    EXPECT_EQ(box.Height(), quarter ? box0.Width() : box0.Height());
    Surface i(200, 200, kPaper);
    DrawText(i, *turned, {100, 100}, text, {.colour = kInk, .vAlign = TextVAlign::Baseline},
             i.Bounds());
    const Rect ink = BoundsOf(i, kInk);
    EXPECT_NEAR(ink.Width(), quarter ? ink0.Height() : ink0.Width(), 1);
    EXPECT_NEAR(ink.Height(), quarter ? ink0.Width() : ink0.Height(), 1);
  }
  // At 90 degrees the text runs upwards from the anchor, its top to the left.
  auto up = OpenFont({.face = "Arial", .height = -18, .angle = 900});
  Surface s(200, 200, kPaper);
  DrawText(s, *up, {100, 100}, text, opaque, s.Bounds());
  EXPECT_EQ(InkBounds(s), (Rect{100 - up->Metrics().ascent, 100 - up->TextWidth(text),
                                100 + up->Metrics().descent, 100}));
}

TEST(TextDraw, ObliqueAnglesTurnTheRun) {
  auto font = OpenFont({.face = "Arial", .height = -16, .angle = 450});
  Surface s(300, 300, kPaper);
  const std::string text = "MMMMMMMMMM";
  const int w = font->TextWidth(text);
  DrawText(s, *font, {50, 250}, text, {.colour = kInk, .vAlign = TextVAlign::Baseline}, s.Bounds());
  const Rect ink = InkBounds(s);
  // A run of length w at 45 degrees spans about w / sqrt 2 each way, plus the letter height.
  EXPECT_NEAR(ink.Width(), w * 0.7071 + 12 * 0.7071, 6);
  EXPECT_NEAR(ink.Height(), w * 0.7071 + 12 * 0.7071, 6);
  EXPECT_LT(ink.top, 250 - w / 2);
  EXPECT_GT(ink.right, 50 + w / 2);
}

TEST(TextDraw, ClipConfinesEveryChangedPixel) {
  auto font = OpenFont({.face = "Courier New", .height = -20, .underline = true});
  const std::string text = "Clipped label";
  const TextStyle style{.colour = kInk, .opaque = true, .background = kBox};
  Surface whole(240, 60, kPaper);
  DrawText(whole, *font, {10, 10}, text, style, whole.Bounds());
  const Rect clips[] = {{50, 15, 120, 25},  {0, 0, 12, 60}, {200, 0, 240, 60},
                        {-50, -50, 30, 20}, {5, 5, 5, 40},  {300, 0, 400, 60}};
  for (const Rect& clip : clips) {
    SCOPED_TRACE(std::to_string(clip.left) + "," + std::to_string(clip.top));
    Surface s(240, 60, kPaper);
    const Rect touched = DrawText(s, *font, {10, 10}, text, style, clip);
    const Rect visible = clip.Intersect(s.Bounds());
    for (int y = 0; y < s.Height(); ++y)
      for (int x = 0; x < s.Width(); ++x) {
        const bool in = visible.Contains({x, y});
        ASSERT_EQ(s.Get(x, y), in ? whole.Get(x, y) : kPaper) << x << "," << y;
        if (s.Get(x, y) != kPaper) {
          ASSERT_TRUE(touched.Contains({x, y})) << x << "," << y;
        }
      }
    EXPECT_EQ(touched.Intersect(visible), touched);
  }
}

TEST(TextDraw, TransparentTextLeavesTheBackgroundAndMonochromeHasNoGreys) {
  auto font = OpenFont({.face = "Times New Roman", .height = -22, .italic = true});
  Surface s(200, 60, Rgb(10, 200, 30));
  DrawText(s, *font, {5, 5}, "Amplitude", {.colour = kInk}, s.Bounds());
  int inked = 0;
  for (Pixel p : s.Pixels()) {
    ASSERT_TRUE(p == kInk || p == Rgb(10, 200, 30));
    inked += p == kInk;
  }
  EXPECT_GT(inked, 50);
}

TEST(TextDraw, AntialiasedTextBlendsItsEdges) {
  auto font = OpenFont({.face = "Arial", .height = -22, .antialias = true});
  Surface s(200, 60, kPaper);
  DrawText(s, *font, {5, 5}, "Amplitude", {.colour = Rgb(0, 0, 0)}, s.Bounds());
  int greys = 0;
  for (Pixel p : s.Pixels()) greys += p != kPaper && p != Rgb(0, 0, 0);
  EXPECT_GT(greys, 20);
}

TEST(TextDraw, UnderlineRunsTheWidthOfTheTextBelowTheBaseLine) {
  for (int angle : {0, 900}) {
    SCOPED_TRACE(angle);
    auto font = OpenFont({.face = "Arial", .height = -20, .angle = angle, .underline = true});
    const std::string text = "a b";
    const int w = font->TextWidth(text);
    Surface s(100, 100, kPaper);
    const Point at{50, 50};
    DrawText(s, *font, at, text, {.colour = kInk, .vAlign = TextVAlign::Baseline}, s.Bounds());
    const int off = font->UnderlineOffset();
    ASSERT_GE(off, 1);
    for (int i = 0; i < w; ++i) {
      const Point p = angle == 0 ? Point{at.x + i, at.y + off} : Point{at.x + off, at.y - 1 - i};
      EXPECT_EQ(s.Get(p.x, p.y), kInk) << i;
    }
    // Nothing beyond the ends of the run.
    const Point before = angle == 0 ? Point{at.x - 1, at.y + off} : Point{at.x + off, at.y};
    const Point after = angle == 0 ? Point{at.x + w, at.y + off} : Point{at.x + off, at.y - 1 - w};
    EXPECT_EQ(s.Get(before.x, before.y), kPaper);
    EXPECT_EQ(s.Get(after.x, after.y), kPaper);
  }
}

TEST(TextDraw, SymbolTextDrawsTheSymbolGlyphs) {
  auto symbol = OpenFont({.face = "Symbol", .height = -24, .charset = plat::Charset::Symbol});
  auto latin = OpenFont({.face = "Times New Roman", .height = -24});
  Surface a(60, 40, kPaper), b(60, 40, kPaper);
  DrawText(a, *symbol, {5, 5}, "a", {.colour = kInk}, a.Bounds());
  DrawText(b, *latin, {5, 5}, "a", {.colour = kInk}, b.Bounds());
  EXPECT_FALSE(InkBounds(a).Empty());
  EXPECT_FALSE(a == b);
}

TEST(TextDraw, NothingToDrawChangesNothing) {
  auto font = OpenFont({.face = "Arial", .height = -12});
  Surface s(50, 30, kPaper);
  const Surface before = s;
  const TextStyle opaque{.colour = kInk, .opaque = true, .background = kBox};
  EXPECT_TRUE(DrawText(s, *font, {5, 5}, "", opaque, s.Bounds()).Empty());
  EXPECT_TRUE(DrawText(s, *font, {5, 5}, "text", opaque, Rect{}).Empty());
  EXPECT_TRUE(DrawText(s, *font, {-1000, -1000}, "text", opaque, s.Bounds()).Empty());
  EXPECT_TRUE(DrawText(s, *font, {INT_MAX, INT_MIN}, "text", opaque, s.Bounds()).Empty());
  Surface empty;
  EXPECT_TRUE(DrawText(empty, *font, {0, 0}, "text", opaque, Rect{0, 0, 10, 10}).Empty());
  EXPECT_EQ(s, before);
}

}  // namespace

namespace {

TEST(TextDraw, ItalicIsShearedEvenWhereTheFaceHasNoItalic) {
  for (const char* face : {"Arial", "Symbol"}) {
    SCOPED_TRACE(face);
    auto upright = OpenFont({.face = face, .height = -40});
    auto slanted = OpenFont({.face = face, .height = -40, .italic = true});
    // A capital I (Iota in the symbol font): its top leans right of its foot when slanted.
    auto topAndFootShift = [](const plat::Font& font) {
      Surface s(80, 80, kPaper);
      DrawText(s, font, {20, 10}, "I", {.colour = kInk}, s.Bounds());
      const Rect ink = BoundsOf(s, kInk);
      auto firstInk = [&](int y) {
        for (int x = 0; x < s.Width(); ++x)
          if (s.Get(x, y) == kInk) return x;
        return -1;
      };
      return firstInk(ink.top) - firstInk(ink.bottom - 1);
    };
    EXPECT_LE(topAndFootShift(*upright), 0);
    EXPECT_GE(topAndFootShift(*slanted), 4);
  }
}

}  // namespace
