// Graph drawing on a headless window: the frame, ticks, labels and a series
// with a missing value; rubber bands; labels and clipping.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "../toolkit/graphics/GraphicsTestSupport.h"
#include "support/GraphDraw.h"
#include "support/PenPlot.h"
#include "toolkit/graphics/Colours.h"

namespace sup {
namespace {

using tk::testing::kWhitePixel;

class GraphDrawTest : public tk::testing::GraphicsTest {
 protected:
  void SetUp() override {
    Open(500, 400);  // 50 pixels per page unit both ways
    PenPlotReset();
    PCLIPOFF();
    SetPenTextOutput({});
    GraphAxes none;
    PLOTXY(1, 0, kPenStartPage, none);
    SET_PEN(0);
  }
  void TearDown() override {
    SetPenTextOutput({});
    PCLIPOFF();
    GraphicsTest::TearDown();
  }
  std::vector<plat::Pixel> Pixels() const {
    const auto p = surface.Pixels();
    return {p.begin(), p.end()};
  }
  /// Any drawn pixel within R pixels of the page point (X, Y).
  bool InkNear(float x, float y, int r = 1) const {
    const int px = static_cast<int>(x * 50), py = static_cast<int>(y * 50);
    for (int dx = -r; dx <= r; ++dx)
      for (int dy = -r; dy <= r; ++dy) {
        const int cx = px + dx, cy = py + dy;
        if (cx < 0 || cy < 0 || cx >= surface.Width() || cy >= surface.Height()) continue;
        if (At(cx, cy) != kWhitePixel) return true;
      }
    return false;
  }
};

TEST_F(GraphDrawTest, FramedGraphWithLabelledAxesAndAGapAtAMissingValue) {
  std::vector<std::string> labels;
  SetPenTextOutput({{}, {}, {}, [&](float, float, std::string_view t) { labels.emplace_back(t); }});
  GraphAxes a;
  a.XORIGIN = 1.5f;
  a.YORIGIN = 1.5f;
  a.XCELL = 1.5f;
  a.YCELL = 1.25f;
  a.NXDIV = 5;
  a.NYDIV = 4;
  LINNX(0, 10, a.XSTART, a.XSTEP, a.NXDIV, a.NXMINOR);  // 0, 5, 2 divisions
  a.XCELL = 7.5f / static_cast<float>(a.NXDIV);
  a.YSTART = 0;
  a.YSTEP = 0.5f;
  a.NYMINOR = 5;
  a.LBOTTOM = a.LLEFT = true;
  FINDASX(a);
  FINDASY(a);
  PLOTXY(a.XORIGIN, a.YORIGIN, -3, a);
  GNGRID(a);

  // Frame corners.
  const float w = static_cast<float>(a.NXDIV) * a.XCELL, h = static_cast<float>(a.NYDIV) * a.YCELL;
  for (auto [cx, cy] : {std::pair{0.0f, 0.0f}, {w, 0.0f}, {0.0f, h}, {w, h}})
    EXPECT_TRUE(InkNear(a.XORIGIN + cx, a.YORIGIN + cy)) << cx << "," << cy;
  // Bottom ticks hang below the frame at the positions PLOFX gives.
  for (float x : {0.0f, 5.0f, 10.0f}) {
    const float px = a.XORIGIN + PLOFX(x, a);
    EXPECT_TRUE(InkNear(px, a.YORIGIN - 0.08f)) << x;
  }
  EXPECT_FALSE(
      InkNear(a.XORIGIN + PLOFX(2.5f, a), a.YORIGIN - 0.1f, 0));  // minor ticks are shorter
  EXPECT_EQ(labels, (std::vector<std::string>{"0", "5", "10", "0", "0.5", "1", "1.5", "2"}));
  EXPECT_LT(a.LABELBOTTOM, 0);
  EXPECT_LT(a.XDRAWNMIN, 0);

  // A series with a missing value: the segments beside it are not drawn.
  SET_PEN(4);
  const std::vector<float> x = {1, 3, 5, 7, 9};
  const std::vector<float> y = {1, 1, kMissingValue, 1, 1};
  GNPLOT(x, y, 5, false, a);
  EXPECT_TRUE(PClipOn());
  const float yy = a.YORIGIN + PLOFY(1, a);
  auto at = [&](float dx) { return a.XORIGIN + PLOFX(dx, a); };
  EXPECT_TRUE(InkNear(at(2), yy));
  EXPECT_TRUE(InkNear(at(8), yy));
  EXPECT_FALSE(InkNear(at(4), yy, 1));
  EXPECT_FALSE(InkNear(at(6), yy, 1));
}

TEST_F(GraphDrawTest, RubberBandDrawnTwiceLeavesTheSurfaceUnchanged) {
  GraphAxes a;
  PLOTXY(2, 2, kPenMove, a);
  PLOTXY(8, 6, kPenDraw, a);
  const std::vector<plat::Pixel> before = Pixels();
  const PenPlotState pen = PenState();
  SET_PEN(11);
  RUBBERBOX(1000, 2000, 7000, 9000);
  EXPECT_NE(Pixels(), before);
  RUBBERBOX(1000, 2000, 7000, 9000);
  EXPECT_EQ(Pixels(), before);
  RUBBERLINE(500, 500, 9500, 9500);
  RUBBERLINE(500, 500, 9500, 9500);
  EXPECT_EQ(Pixels(), before);
  EXPECT_EQ(PenState().lastX, pen.lastX);
  EXPECT_EQ(PenState().lastY, pen.lastY);
  EXPECT_FALSE(PenState().exclusiveOr);
}

TEST_F(GraphDrawTest, OriginAndPenCodes) {
  GraphAxes a;
  PLOTXY(2, 1, -3, a);
  EXPECT_EQ(a.XORIGIN, 2);
  EXPECT_EQ(a.YORIGIN, 1);
  EXPECT_EQ(PenState().lastX, 2);
  PLOTXY(1, 1, kPenDraw, a);
  EXPECT_EQ(PenState().lastX, 3);
  EXPECT_EQ(PenState().lastY, 2);
  EXPECT_TRUE(InkNear(2.5f, 1.5f));
  const int drawn = CountSet();
  PLOTXY(5, 5, 5, a);
  PLOTXY(5, 5, 0, a);
  EXPECT_EQ(PenState().lastX, 3);
  EXPECT_EQ(CountSet(), drawn);
  SET_PEN(16);
  SET_PEN(-1);
  int c = -1;
  GET_PEN(c);
  EXPECT_EQ(c, 0);
}

TEST_F(GraphDrawTest, PaletteDefinedOnceWithEntry14Kept) {
  PenPlotReset();
  tk::IGrPaletteSetRGB(14, 0x123456);
  tk::IGrPaletteSetRGB(3, 0x654321);
  GraphAxes a;
  PLOTXY(1, 0, kPenStartPage, a);
  EXPECT_FALSE(PenState().palettePending);
  EXPECT_EQ(tk::IGrHLSValue(60, 50, 100), tk::PaletteGetRgb(3));
  EXPECT_EQ(tk::PaletteGetRgb(14), 0x123456);
  tk::IGrPaletteSetRGB(3, 0x654321);
  PLOTXY(1, 0, kPenStartPage, a);  // the palette is not defined again
  EXPECT_EQ(tk::PaletteGetRgb(3), 0x654321);
  EXPECT_EQ(CountSet(), 0);
}

TEST_F(GraphDrawTest, TextReachesTheWindowThroughTheToolkit) {
  SYMBOL(2, 2, 0.3f, "12", 0, 0);
  EXPECT_EQ(CountSet(), 0);
  SYMBOL(2, 2, 0.3f, "12", 0, 2);
  EXPECT_GT(CountSet(), 0);
  EXPECT_TRUE(InkNear(2.2f, 2.2f, 8));
}

TEST_F(GraphDrawTest, LabelsNumbersAndDecimals) {
  struct Case {
    float v;
    int ndec;
    const char* text;
    int n;
  };
  for (const Case& c : {Case{12.4f, -1, "12", 2}, Case{12.5f, 2, "12.50", 5},
                        Case{-3.25f, 1, "-3.2", 4}, Case{0, 0, "0.", 2}}) {
    std::string s;
    int n = c.ndec;
    MAKNUM(c.v, s, 20, n);
    EXPECT_EQ(s, c.text);
    EXPECT_EQ(n, c.n);
  }
  std::string s;
  int n = 12;
  MAKNUM(1.5f, s, 20, n);
  EXPECT_EQ(s, "1.500000000");
  EXPECT_EQ(JSIG(0), -1);
  EXPECT_EQ(JSIG(250), -1);
  EXPECT_EQ(JSIG(150.5f), 0);
  EXPECT_EQ(JSIG(0.5f), 3);

  std::vector<std::string> labels;
  SetPenTextOutput({{}, {}, {}, [&](float, float, std::string_view t) { labels.emplace_back(t); }});
  GraphAxes a;
  LNHAX(0, 0, 0.1f, 0, 0.005f, 2, 0.1f, 5, 2, a);
  EXPECT_EQ(labels, (std::vector<std::string>{"0", "5m", "0.01"}));
  labels.clear();
  LNHAX(0, 0, 0.1f, 1, 0.5f, 2, 0.1f, 5, 2, a);
  EXPECT_EQ(labels, (std::vector<std::string>{"1", "1.5", "2"}));
  labels.clear();
  LNHAX(0, 0, 0.1f, 100000, 100000, 0.5f, 0.1f, 5, 4, a);  // long labels: every second
  EXPECT_EQ(labels, (std::vector<std::string>{"100000", "300000", "500000"}));
}

TEST_F(GraphDrawTest, ClippedLinesAndSeriesBreaks) {
  float x1 = -1, y1 = 0.5f, x2 = 2, y2 = 0.5f;
  bool l = false;
  CLIPLN(x1, y1, x2, y2, 0, 1, 0, 1, l);
  EXPECT_TRUE(l);
  EXPECT_EQ(x1, 0);
  EXPECT_EQ(x2, 1);
  float a1 = -1, b1 = 2, a2 = -0.5f, b2 = 3;
  CLIPLN(a1, b1, a2, b2, 0, 1, 0, 1, l);
  EXPECT_FALSE(l);
  EXPECT_EQ(a1, -1);

  // A series that turns back in x is split where it turns.
  GraphAxes g;
  g.XCELL = g.YCELL = 1;
  g.NXDIV = g.NYDIV = 8;
  g.XSTEP = g.YSTEP = 1;
  g.NXMINOR = g.NYMINOR = 5;
  FINDASX(g);
  FINDASY(g);
  const std::vector<float> x = {1, 2, 3, 2.5f, 1.5f};
  const std::vector<float> y = {1, 2, 3, 4, 5};
  GNPLOT(x, y, 5, false, g);
  EXPECT_TRUE(InkNear(2.5f, 2.5f));
  EXPECT_FALSE(InkNear(2.75f, 3.5f, 1));  // no line from the third point to the fourth
  EXPECT_TRUE(InkNear(2.0f, 4.5f));
}

TEST_F(GraphDrawTest, DashedLineEndsAtRepeatedPointAndIgnoresVertices) {
  GraphAxes g;
  g.XCLIPMIN = g.YCLIPMIN = -1;
  g.XCLIPMAX = g.YCLIPMAX = 100;
  std::vector<float> x, y;
  for (int i = 0; i <= 40; ++i) {
    x.push_back(1 + 0.2f * static_cast<float>(i));
    y.push_back(4);
  }
  DS_PLOTPL(x, y, static_cast<int>(x.size()), 1.0f, 0.5f, g);
  // dashes 1-2, 2.5-3.5, 4-5 ...; gaps 2-2.5, 3.5-4 ...
  EXPECT_TRUE(InkNear(1.5f, 4));
  EXPECT_FALSE(InkNear(2.25f, 4, 0));
  EXPECT_TRUE(InkNear(3.0f, 4));
  EXPECT_FALSE(InkNear(3.75f, 4, 0));
  const int before = CountSet();
  const std::vector<float> sx = {1, 1, 9}, sy = {2, 2, 2};
  DS_PLOTPL(sx, sy, 3, 1, 0.5f, g);  // two equal points end the line
  EXPECT_EQ(CountSet(), before);
  DS_PLOTPL(std::vector<float>{1, 9}, std::vector<float>{6, 6}, 2, 0, 0, g);  // ends
}

}  // namespace
}  // namespace sup
