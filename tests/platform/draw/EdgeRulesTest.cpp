// The pixel conventions of the canvas: which pixels a shape covers at its
// edges, line end points, dash patterns, sectors and pixel access.
#include <gtest/gtest.h>

#include <functional>

#include "platform/draw/Canvas.h"

namespace plat {
namespace {

constexpr Pixel kPaper = 0x000000;

// The smallest rectangle holding every pixel that differs from the paper.
Rect Changed(const Surface& s) {
  Rect r;
  for (int y = 0; y < s.Height(); ++y)
    for (int x = 0; x < s.Width(); ++x)
      if (s.Get(x, y) != kPaper) r = r.Union({x, y, x + 1, y + 1});
  return r;
}

int ChangedCount(const Surface& s) {
  int n = 0;
  for (Pixel p : s.Pixels()) n += p != kPaper;
  return n;
}

struct EdgeCase {
  const char* name;
  std::function<void(Canvas&)> draw;
  Rect bounds;
  bool solid;  // every pixel of the bounds is covered
};

TEST(EdgeRules, ShapesAndLinesCoverExactlyTheirPixels) {
  auto outlined = [](Canvas& c) {
    c.SetPen(Pen::Solid(0xFF0000));
    c.SetBrush(Brush::Solid(0x00FF00));
  };
  auto filledOnly = [](Canvas& c) {
    c.SetPen(Pen::None());
    c.SetBrush(Brush::Solid(0x00FF00));
  };
  const EdgeCase cases[] = {
      {"rectangle",
       [&](Canvas& c) {
         outlined(c);
         c.Rectangle({2, 3, 9, 8});
       },
       {2, 3, 9, 8},
       true},
      {"rectangle given right to left",
       [&](Canvas& c) {
         outlined(c);
         c.Rectangle({9, 8, 2, 3});
       },
       {2, 3, 9, 8},
       true},
      {"rectangle without outline",
       [&](Canvas& c) {
         filledOnly(c);
         c.Rectangle({2, 3, 9, 8});
       },
       {2, 3, 8, 7},
       true},
      {"ellipse",
       [&](Canvas& c) {
         outlined(c);
         c.Ellipse({2, 3, 19, 12});
       },
       {2, 3, 19, 12},
       false},
      {"even ellipse",
       [&](Canvas& c) {
         outlined(c);
         c.Ellipse({2, 3, 20, 13});
       },
       {2, 3, 20, 13},
       false},
      {"ellipse without outline",
       [&](Canvas& c) {
         filledOnly(c);
         c.Ellipse({2, 3, 19, 12});
       },
       {2, 3, 18, 11},
       false},
      {"full pie",
       [&](Canvas& c) {
         outlined(c);
         c.Pie({2, 3, 19, 12}, {0, 0}, {0, 0});
       },
       {2, 3, 19, 12},
       false},
      {"tiny ellipse",
       [&](Canvas& c) {
         outlined(c);
         c.Ellipse({4, 4, 6, 5});
       },
       {4, 4, 6, 5},
       true},
      {"polygon without outline",
       [&](Canvas& c) {
         filledOnly(c);
         const Point p[] = {{2, 3}, {9, 3}, {9, 8}, {2, 8}};
         c.Polygon(p);
       },
       {2, 3, 9, 8},
       true},
      {"polygon with outline",
       [&](Canvas& c) {
         outlined(c);
         const Point p[] = {{2, 3}, {9, 3}, {9, 8}, {2, 8}};
         c.Polygon(p);
       },
       {2, 3, 10, 9},
       true},
      {"line rightwards",
       [&](Canvas& c) {
         outlined(c);
         c.MoveTo({1, 1});
         c.LineTo({6, 1});
       },
       {1, 1, 6, 2},
       true},
      {"line leftwards",
       [&](Canvas& c) {
         outlined(c);
         c.MoveTo({6, 1});
         c.LineTo({1, 1});
       },
       {2, 1, 7, 2},
       true},
      {"line downwards",
       [&](Canvas& c) {
         outlined(c);
         c.MoveTo({3, 2});
         c.LineTo({3, 9});
       },
       {3, 2, 4, 9},
       true},
      {"diagonal line",
       [&](Canvas& c) {
         outlined(c);
         c.MoveTo({3, 2});
         c.LineTo({9, 8});
       },
       {3, 2, 9, 8},
       false},
      {"line of no length",
       [&](Canvas& c) {
         outlined(c);
         c.MoveTo({3, 2});
         c.LineTo({3, 2});
       },
       {},
       false},
      {"wide line, square caps",
       [&](Canvas& c) {
         c.SetPen(Pen::Solid(0xFF, 3));
         c.MoveTo({10, 10});
         c.LineTo({20, 10});
       },
       {9, 9, 22, 12},
       true},
      {"wide pen of even width",
       [&](Canvas& c) {
         c.SetPen(Pen::Solid(0xFF, 2));
         c.MoveTo({10, 10});
         c.LineTo({10, 20});
       },
       {9, 9, 11, 21},
       true},
  };
  for (const EdgeCase& c : cases) {
    SCOPED_TRACE(c.name);
    Surface s(30, 30, kPaper);
    Canvas canvas(s);
    c.draw(canvas);
    EXPECT_EQ(Changed(s), c.bounds);
    if (c.solid) {
      EXPECT_EQ(ChangedCount(s), c.bounds.Width() * c.bounds.Height());
    }
  }
}

TEST(EdgeRules, OutlinedShapeHasItsPenOnTheEdgeAndBrushInside) {
  Surface s(20, 20, kPaper);
  Canvas c(s);
  c.SetPen(Pen::Solid(0xFF0000, 2));
  c.SetBrush(Brush::Solid(0x00FF00));
  c.Rectangle({2, 2, 12, 10});
  EXPECT_EQ(s.Get(2, 2), 0xFF0000u);
  EXPECT_EQ(s.Get(3, 5), 0xFF0000u);
  EXPECT_EQ(s.Get(4, 4), 0x00FF00u);
  EXPECT_EQ(s.Get(10, 8), 0xFF0000u);
  EXPECT_EQ(s.Get(9, 7), 0x00FF00u);
  // The ellipse is symmetric in both axes.
  Surface e(30, 30, kPaper);
  Canvas ce(e);
  ce.SetPen(Pen::Solid(0xFF0000));
  ce.SetBrush(Brush::Solid(0x00FF00));
  ce.Ellipse({1, 2, 24, 17});
  for (int y = 2; y < 17; ++y)
    for (int x = 1; x < 24; ++x) {
      ASSERT_EQ(e.Get(x, y), e.Get(24 - 1 - (x - 1), y)) << x << "," << y;
      ASSERT_EQ(e.Get(x, y), e.Get(x, 17 - 1 - (y - 2))) << x << "," << y;
    }
}

TEST(EdgeRules, PolylineVerticesAndPixelAccess) {
  Surface s(12, 12, kPaper);
  Canvas c(s);
  c.SetRop2(Rop2::XorPen);
  c.SetPen(Pen::Solid(0xFFFFFF));
  const Point path[] = {{1, 1}, {5, 1}, {5, 5}, {1, 1}};
  c.Polyline(path);
  EXPECT_EQ(s.Get(5, 1), 0xFFFFFFu);  // the shared vertex is changed once
  EXPECT_EQ(s.Get(5, 5), 0xFFFFFFu);
  EXPECT_EQ(s.Get(1, 1), 0xFFFFFFu);  // the closing point is its first pixel, changed once
  c.SetPixel({8, 8}, 0x123456);       // ignores exclusive-or
  EXPECT_EQ(s.Get(8, 8), 0x123456u);
  EXPECT_EQ(c.GetPixel({8, 8}), std::optional<Pixel>(0x123456));
  EXPECT_FALSE(c.GetPixel({12, 0}).has_value());
  EXPECT_FALSE(c.GetPixel({-1, 3}).has_value());
}

TEST(EdgeRules, DashPatternsRunAlongThePathUntilMoveTo) {
  struct Style {
    PenStyle style;
    std::vector<int> runs;
  };
  const Style styles[] = {{PenStyle::Dash, {18, 6}},
                          {PenStyle::Dot, {3, 3}},
                          {PenStyle::DashDot, {9, 6, 3, 6}},
                          {PenStyle::DashDotDot, {9, 3, 3, 3, 3, 3}}};
  for (const Style& st : styles) {
    SCOPED_TRACE(static_cast<int>(st.style));
    int period = 0;
    for (int r : st.runs) period += r;
    auto on = [&](int k) {
      k %= period;
      for (std::size_t i = 0; i < st.runs.size(); ++i) {
        if (k < st.runs[i]) return i % 2 == 0;
        k -= st.runs[i];
      }
      return false;
    };
    Surface s(80, 80, kPaper);
    Canvas c(s);
    c.SetBkMode(BkMode::Opaque);
    c.SetBkColour(0x0000FF);
    c.SetPen(Pen::Styled(st.style, 0xFF0000));
    // A corner: 30 pixels right, then down; the pattern goes on around it
    // and on into the next LineTo.
    c.MoveTo({0, 0});
    c.LineTo({30, 0});
    c.LineTo({30, 70});
    for (int k = 0; k < 100; ++k) {
      const Point p = k < 30 ? Point{k, 0} : Point{30, k - 30};
      ASSERT_EQ(s.Get(p.x, p.y), on(k) ? 0xFF0000u : 0x0000FFu) << "pixel " << k;
    }
    c.MoveTo({0, 75});  // starts the pattern again
    c.LineTo({70, 75});
    for (int k = 0; k < 70; ++k) ASSERT_EQ(s.Get(k, 75), on(k) ? 0xFF0000u : 0x0000FFu) << k;
  }
}

TEST(EdgeRules, SectorsChordsArcsAndHatches) {
  auto draw = [](const std::function<void(Canvas&)>& f) {
    Surface s(41, 41, kPaper);
    Canvas c(s);
    c.SetPen(Pen::Solid(0xFF0000));
    c.SetBrush(Brush::Solid(0x00FF00));
    f(c);
    return s;
  };
  const Rect box{0, 0, 41, 41};
  // Counter-clockwise from the right radial to the top one: the upper right quarter.
  const Surface pie = draw([&](Canvas& c) { c.Pie(box, {40, 20}, {20, 0}); });
  EXPECT_EQ(pie.Get(30, 10), 0x00FF00u);
  EXPECT_EQ(pie.Get(10, 30), kPaper);
  EXPECT_EQ(pie.Get(10, 10), kPaper);
  EXPECT_EQ(pie.Get(30, 30), kPaper);
  EXPECT_EQ(pie.Get(20, 20), 0xFF0000u);  // the centre is on both radials
  const Surface chord = draw([&](Canvas& c) { c.Chord(box, {40, 20}, {20, 0}); });
  EXPECT_EQ(chord.Get(32, 8), 0x00FF00u);
  EXPECT_EQ(chord.Get(22, 18), kPaper);
  // An arc lies on the ellipse's outline, within its sector.
  const Surface ellipse = draw([&](Canvas& c) { c.Ellipse(box); });
  const Surface arc = draw([&](Canvas& c) { c.Arc(box, {40, 20}, {20, 0}); });
  int arcPixels = 0;
  for (int y = 0; y < 41; ++y)
    for (int x = 0; x < 41; ++x)
      if (arc.Get(x, y) != kPaper) {
        ++arcPixels;
        ASSERT_EQ(ellipse.Get(x, y), 0xFF0000u) << x << "," << y;
        ASSERT_TRUE(x >= 20 && y <= 20) << x << "," << y;
      }
  EXPECT_GT(arcPixels, 25);
  // A transparent horizontal hatch paints one row in eight, aligned to the canvas origin.
  Surface h(20, 20, kPaper);
  Canvas ch(h, {1, 2});
  ch.SetBkMode(BkMode::Transparent);
  ch.FillRect({0, 0, 16, 16}, Brush::Hatched(HatchStyle::Horizontal, 0xFFFFFF));
  for (int y = 2; y < 18; ++y) EXPECT_EQ(h.Get(5, y), (y - 2) % 8 == 3 ? 0xFFFFFFu : kPaper) << y;
}

TEST(EdgeRules, FloodFillStopsAtBordersAndColours) {
  Surface s(20, 20, 0xFFFFFF);
  Canvas c(s);
  c.SetPen(Pen::Solid(0));
  c.SetBrush(Brush::None());
  c.Rectangle({2, 2, 12, 12});
  c.SetBrush(Brush::Solid(0x00FF00));
  EXPECT_TRUE(c.FloodFill({5, 5}, 0, FloodFillType::Border));
  EXPECT_EQ(s.Get(3, 3), 0x00FF00u);
  EXPECT_EQ(s.Get(10, 10), 0x00FF00u);
  EXPECT_EQ(s.Get(2, 2), 0u);
  EXPECT_EQ(s.Get(13, 13), 0xFFFFFFu);
  EXPECT_FALSE(c.FloodFill({2, 2}, 0, FloodFillType::Border));  // starts on the border
  EXPECT_TRUE(c.FloodFill({15, 15}, 0xFFFFFF, FloodFillType::Surface));
  EXPECT_EQ(s.Get(0, 0), 0x00FF00u);
  EXPECT_EQ(s.Get(2, 2), 0u);
  // Gradients run from one colour to the other across the rectangle.
  c.GradientFillRect({0, 0, 11, 3}, 0x000000, 0x0000FF, GradientDirection::Horizontal);
  EXPECT_EQ(s.Get(0, 1), 0u);
  EXPECT_EQ(s.Get(10, 1), 0xFFu);
  EXPECT_EQ(s.Get(5, 1), 0x7Fu);
}

}  // namespace
}  // namespace plat

namespace plat {
namespace {

TEST(EdgeRules, FarAwayFiguresCostOnlyTheirVisiblePart) {
  // Each of these would take minutes if walked in full; the visible part is checked.
  Surface s(50, 50, kPaper);
  Canvas c(s);
  c.SetPen(Pen::Styled(PenStyle::Dash, 0xFF0000, 3));
  c.MoveTo({-200000000, 10});
  c.LineTo({200000000, 10});
  int red = 0;
  for (int x = 0; x < 50; ++x) red += s.Get(x, 10) == 0xFF0000u;
  EXPECT_GT(red, 20);
  EXPECT_LT(red, 50);
  c.SetPen(Pen::Styled(PenStyle::Dot, 0x00FF00));
  c.MoveTo({-2000000000, -2000000000});
  c.LineTo({2000000000, 2000000000});
  EXPECT_EQ(s.Get(20, 20), 0x00FF00u);
  c.SetPen(Pen::Solid(0x0000FF, 1000000));
  c.SetBrush(Brush::None());
  c.Ellipse({-100000, -100000, 100000, 100000});
  EXPECT_EQ(s.Get(25, 25), 0x0000FFu);
  const Surface src(3, 3, 0x777777);
  c.StretchBlt(-2000000000, 0, 2100000000, 40, src, 0, 0, 3, 3, kSrcCopy);
  EXPECT_EQ(s.Get(49, 39), 0x777777u);
  c.BitBlt({2000000000, 0}, 2000000000, 5, src, {0, 0}, kSrcCopy);
}

}  // namespace
}  // namespace plat

namespace plat {
namespace {

TEST(EdgeRules, WidePensHaveSquareCapsAndBevelJoins) {
  Surface s(40, 40, kPaper);
  Canvas c(s);
  c.SetPen(Pen::Solid(0xFFFFFF, 5));
  const Point corner[] = {{10, 10}, {30, 10}, {30, 30}};
  c.Polyline(corner);
  // The pen runs 2.5 pixels either side of the pixel centres.
  EXPECT_EQ(s.Get(8, 10), 0xFFFFFFu);  // the start cap reaches half the width back
  EXPECT_EQ(s.Get(7, 10), kPaper);
  EXPECT_EQ(s.Get(30, 32), 0xFFFFFFu);  // and so does the end cap
  EXPECT_EQ(s.Get(30, 33), kPaper);
  EXPECT_EQ(s.Get(31, 9), 0xFFFFFFu);  // inside the bevel
  EXPECT_EQ(s.Get(32, 8), kPaper);     // a mitre would cover this corner
  EXPECT_EQ(s.Get(29, 9), 0xFFFFFFu);
}

TEST(EdgeRules, PaletteColoursResolveThroughTheCanvasPalette) {
  Palette palette;
  palette.entries[5] = 0x336699;
  palette.entries[6] = 0x336698;
  EXPECT_EQ(palette.NearestIndex(0x336698), 6);
  EXPECT_EQ(palette.NearestIndex(0x000001), 0);
  Surface s(4, 1, kPaper);
  Canvas c(s);
  c.SetPixel({0, 0}, PaletteIndex(5));  // no palette yet: black
  EXPECT_EQ(s.Get(0, 0), 0u);
  c.SetPalette(&palette);
  c.SetPixel({1, 0}, PaletteIndex(5));
  c.FillRect({2, 0, 4, 1}, Brush::Solid(PaletteIndex(6)));
  EXPECT_EQ(s.Get(1, 0), 0x336699u);
  EXPECT_EQ(s.Get(3, 0), 0x336698u);
}

}  // namespace
}  // namespace plat

namespace plat {
namespace {

TEST(EdgeRules, DashedOutlinesOfEllipsesLeaveGapsOnTheOutline) {
  auto outline = [](const Pen& pen) {
    Surface s(60, 60, kPaper);
    Canvas c(s);
    c.SetPen(pen);
    c.SetBrush(Brush::None());
    c.SetBkMode(BkMode::Transparent);
    c.Ellipse({2, 2, 58, 50});
    return s;
  };
  const Surface solid = outline(Pen::Solid(0xFFFFFF));
  const Surface dashed = outline(Pen::Styled(PenStyle::Dash, 0xFFFFFF));
  const int all = ChangedCount(solid), drawn = ChangedCount(dashed);
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 60; ++x)
      if (dashed.Get(x, y) != kPaper) {
        ASSERT_EQ(solid.Get(x, y), 0xFFFFFFu) << x << "," << y;
      }
  // Dash 18 on, 6 off: three quarters of the outline, give or take one dash.
  EXPECT_NEAR(drawn, all * 3 / 4, 18);
}

}  // namespace
}  // namespace plat
