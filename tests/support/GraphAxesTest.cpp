// Graph axes: scaling words, the mapping and its inverse, tidy ranges, zoom.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "support/GraphAxes.h"

namespace sup {
namespace {

TEST(GraphAxesTest, LinnxCases) {
  struct Case {
    float a, b, start, step;
    int ndiv;
  };
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  const Case cases[] = {
      {0, 10, 0, 5, 2},   {0, 7, 0, 2, 4},      {1, 9, 1, 2, 4},      {5, 5, -5, 5, 4},
      {3, 1, 0, 0.5f, 2}, {nan, 1, 0, 0.5f, 2}, {0, inf, 0, 0.5f, 2}, {-inf, 0, 0, 0.5f, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.a << " .. " << c.b);
    float start = -1, step = -1;
    int ndiv = -1, nminor = -1;
    LINNX(c.a, c.b, start, step, ndiv, nminor);
    EXPECT_EQ(start, c.start);
    EXPECT_EQ(step, c.step);
    EXPECT_EQ(ndiv, c.ndiv);
    EXPECT_EQ(nminor, 5);
  }
}

TEST(GraphAxesTest, LinnxEndsAndCoversNarrowRangesOfLargeValues) {
  // Half a metre of eastings near 5e6, and other ranges narrow against their values.
  const float ranges[][2] = {{5e6f, 5e6f + 0.5f},
                             {-5e6f - 0.5f, -5e6f},
                             {1e30f, 1.0000001e30f},
                             {3.4e38f, 3.4e38f},
                             {1e-40f, 2e-40f}};
  for (const auto& r : ranges) {
    SCOPED_TRACE(::testing::Message() << r[0] << " .. " << r[1]);
    float start = 0, step = 0;
    int ndiv = 0, nminor = 0;
    LINNX(r[0], r[1], start, step, ndiv, nminor);
    EXPECT_GE(ndiv, 1);
    EXPECT_LE(ndiv, 5);
    EXPECT_GT(step, 0);
    if (r[0] != r[1]) {
      EXPECT_LE(start, r[0] + std::fabs(r[0]) * 1e-6f);
      EXPECT_GE(static_cast<double>(start) + ndiv * static_cast<double>(step),
                r[1] - std::fabs(r[1]) * 1e-6);
    }
  }
}

TEST(GraphAxesTest, LognxCases) {
  int e1 = 0, e2 = 0;
  LOGNX(0.05f, 200, e1, e2);
  EXPECT_EQ(e1, -2);
  EXPECT_EQ(e2, 3);
  LOGNX(1, 1, e1, e2);
  EXPECT_EQ(e1, 0);
  EXPECT_EQ(e2, 1);
  LOGNX(-100, -0.5f, e1, e2);  // magnitudes
  EXPECT_EQ(e1, 2);
  EXPECT_EQ(e2, 3);
  LOGNX(std::numeric_limits<float>::infinity(), std::numeric_limits<float>::quiet_NaN(), e1, e2);
  EXPECT_LT(e1, e2);
}

TEST(GraphAxesTest, FindasxCases) {
  GraphAxes a;
  a.XCELL = 2;
  a.NXDIV = 5;
  a.XSTART = 100;
  a.XSTEP = 10;
  FINDASX(a);
  EXPECT_FLOAT_EQ(a.XSCALE, 0.2f);
  EXPECT_FLOAT_EQ(a.XOFFSET, -20);
  EXPECT_FLOAT_EQ(a.XCLIPMIN, -0.001f);
  EXPECT_FLOAT_EQ(a.XCLIPMAX, 10.001f);
  a.XCELL = -2;
  FINDASX(a);
  EXPECT_FLOAT_EQ(a.XCLIPMIN, -10.101f);
  EXPECT_FLOAT_EQ(a.XCLIPMAX, -0.051f);
  // y with a downward axis keeps the narrow margin
  a.YCELL = -1.5f;
  a.NYDIV = 4;
  a.YSTEP = 1;
  FINDASY(a);
  EXPECT_FLOAT_EQ(a.YCLIPMIN, -5.999f);
  EXPECT_FLOAT_EQ(a.YCLIPMAX, -0.001f);
}

GraphAxes Frame(bool xlog) {
  GraphAxes a;
  a.XORIGIN = 1.2f;
  a.YORIGIN = 0.8f;
  a.XCELL = 1.5f;
  a.YCELL = -1.2f;
  a.NXDIV = 5;
  a.NYDIV = 5;
  a.XSTART = -20;
  a.XSTEP = 10;
  a.YSTART = 0;
  a.YSTEP = 0.25f;
  a.LXLOG = xlog;
  a.NXMINOR = xlog ? -1 : 5;
  FINDASX(a);
  FINDASY(a);
  return a;
}

TEST(GraphAxesTest, PageToDataRoundTrip) {
  const GraphAxes lin = Frame(false);
  for (float x : {-20.0f, -3.5f, 0.0f, 7.25f, 30.0f}) {
    EXPECT_NEAR(XOFPL(PLOFX(x, lin) + lin.XORIGIN, lin), x, 1e-4f);
  }
  for (float y : {0.0f, 0.3f, 1.25f}) {
    EXPECT_NEAR(YOFPL(PLOFY(y, lin) + lin.YORIGIN, lin), y, 1e-5f);
  }
  const GraphAxes lg = Frame(true);
  for (float x : {0.5f, 3.0f, -250.0f, 1e3f}) {
    EXPECT_NEAR(XOFPL(PLOFX(x, lg) + lg.XORIGIN, lg), std::fabs(x), std::fabs(x) * 1e-5f);
  }
  EXPECT_EQ(PLOFX(-100, lg), PLOFX(100, lg));
  EXPECT_EQ(PLOFX(std::numeric_limits<float>::quiet_NaN(), lin), 0.0f);
}

TEST(GraphAxesTest, LingraphAcceptsReversedAxes) {
  GraphAxes a = Frame(false);
  a.YSTART = 2;
  a.YSTEP = -0.5f;  // 2 down to -0.5
  EXPECT_TRUE(LINGRAPH(0, -0.5f, a));
  EXPECT_TRUE(LINGRAPH(30, 2, a));
  EXPECT_FALSE(LINGRAPH(0, 2.1f, a));
  EXPECT_FALSE(LINGRAPH(31, 0, a));
}

TEST(GraphAxesTest, ZoomboxIsTheSameWithCornersSwappedAndKeepsTheFrame) {
  GraphAxes a = Frame(false);
  GraphAxes b = a;
  ZOOMBOX(2000, 3000, 6000, 7000, a);
  ZOOMBOX(6000, 7000, 2000, 3000, b);
  EXPECT_EQ(GraphAxesToWords(a), GraphAxesToWords(b));
  EXPECT_FLOAT_EQ(a.NXDIV * a.XCELL, 7.5f);
  EXPECT_FLOAT_EQ(a.NYDIV * a.YCELL, -6.0f);
  EXPECT_GT(a.XSTEP, 0);
}

TEST(GraphAxesTest, WordsRoundTrip) {
  GraphAxes a = Frame(true);
  a.LBOTTOM = a.LLEFT = true;
  a.ISPARE2 = -7;
  const auto w = GraphAxesToWords(a);
  EXPECT_EQ(w[27], 0xFFFFFFFFu);  // LXLOG stored as -1
  EXPECT_EQ(GraphAxesToWords(GraphAxesFromWords(w)), w);
}

}  // namespace
}  // namespace sup
