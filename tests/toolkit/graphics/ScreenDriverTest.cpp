// The screen driver's operations on a memory surface.
#include <gtest/gtest.h>

#include "GraphicsTestSupport.h"
#include "toolkit/graphics/ScreenDriver.h"

namespace tk::testing {
namespace {

class ScreenDriverTest : public GraphicsTest {
 protected:
  void Send(DriverOperation op) { YYGAPI(op); }
  void Points(std::initializer_list<std::pair<float, float>> pts) {
    DriverParameters& dp = DriverParams();
    int i = 0;
    for (auto [x, y] : pts) dp.pointX[i] = x, dp.pointY[i] = y, ++i;
    dp.P1 = i;
  }
  void K(int i, int x, int y) {
    DriverParams().KX[i] = x;
    DriverParams().KY[i] = y;
  }
};

TEST_F(ScreenDriverTest, LineWithEqualEndsDrawsOnePixel) {
  K(0, 10, 10);
  K(1, 10, 10);
  Send(DriverOperation::Line);
  EXPECT_EQ(CountSet(), 1);
  EXPECT_EQ(At(10, 10), kBlackPixel);
  IGrLineType(2);
  K(0, 20, 10);
  K(1, 20, 10);
  Send(DriverOperation::Line);
  EXPECT_EQ(CountSet(), 1);
}

TEST_F(ScreenDriverTest, ClosedPolylineDoesNotRewriteItsFirstPixel) {
  IGrDrawMode("O");
  IGrColourN(31);  // red over blue: the first pixel would turn magenta if drawn twice
  surface.Fill(plat::Rgb(0, 0, 255));
  Points({{10, 10}, {30, 10}, {30, 30}, {10, 30}, {10, 10}});
  Send(DriverOperation::Polyline);
  EXPECT_EQ(At(10, 10), plat::Rgb(255, 0, 255));
  IGrDrawMode("N");
  Points({{40, 10}, {60, 10}, {60, 30}, {40, 30}, {40, 10}});
  Send(DriverOperation::Polyline);
  EXPECT_EQ(At(40, 10), plat::Rgb(255, 0, 0));
  EXPECT_EQ(At(41, 30), plat::Rgb(255, 0, 0));
}

TEST_F(ScreenDriverTest, ReadPixel) {
  DriverParameters& dp = DriverParams();
  K(0, 5, 5);
  Send(DriverOperation::ReadPixel);
  EXPECT_EQ(dp.KX[0], 16777215);
  EXPECT_EQ(dp.KX[1], 255);
  EXPECT_EQ(dp.KX[2], 255);
  surface.Set(5, 79 - 6, plat::Rgb(1, 2, 3));
  K(0, 5, 6);
  Send(DriverOperation::ReadPixel);
  EXPECT_EQ(dp.KX[0], 1 + 2 * 256 + 3 * 65536);
  K(0, 500, 5);
  Send(DriverOperation::ReadPixel);
  EXPECT_EQ(dp.KX[0], -1);
}

TEST_F(ScreenDriverTest, PointsClearsAndRectangles) {
  IGrColourN(95);
  K(0, 3, 4);
  Send(DriverOperation::Point);
  EXPECT_EQ(At(3, 4), plat::Rgb(0, 255, 0));
  K(0, 10, 10);
  K(1, 19, 14);
  Send(DriverOperation::RectangleSolid);
  EXPECT_EQ(CountSet(), 1 + 10 * 5);
  EXPECT_EQ(At(19, 14), plat::Rgb(0, 255, 0));
  Send(DriverOperation::Clear);
  EXPECT_EQ(CountSet(), 0);
}

TEST_F(ScreenDriverTest, ClipRegionOnlyWhenSmallerThanTheWindow) {
  // The whole window: no region, so a polygon reaches the last column.
  IGrFillStyle(4);
  Points({{-5, -5}, {200, -5}, {200, 200}, {-5, 200}});
  Send(DriverOperation::PolygonSolid);
  EXPECT_EQ(CountSet(), 100 * 80);
  surface.Fill(kWhitePixel);
  IGrArea(0.5f, 0.5f, 1, 1);
  Send(DriverOperation::PolygonSolid);
  EXPECT_EQ(At(40, 70), kWhitePixel);
  EXPECT_EQ(At(60, 50), kBlackPixel);
  EXPECT_EQ(At(60, 20), kWhitePixel);
}

TEST_F(ScreenDriverTest, PieOfASmallSweepStaysThin) {
  DriverParameters& dp = DriverParams();
  K(0, 50, 40);
  dp.X[1] = dp.Y[1] = 30;
  dp.X[2] = dp.Y[2] = 0.0f;  // radials on the same pixel
  dp.X[3] = 0;
  dp.Y[3] = 5;
  Send(DriverOperation::PieSolid);
  const int thin = CountSet();
  EXPECT_GT(thin, 0);
  EXPECT_LT(thin, 200);
  surface.Fill(kWhitePixel);
  dp.Y[3] = 20;
  Send(DriverOperation::PieSolid);
  EXPECT_GT(CountSet(), 2500);  // the whole ellipse
}

TEST_F(ScreenDriverTest, EllipsesAndArcs) {
  DriverParameters& dp = DriverParams();
  K(0, 50, 40);
  K(1, 10, 8);
  Send(DriverOperation::EllipseSolid);
  EXPECT_EQ(At(50, 40), kBlackPixel);
  EXPECT_EQ(At(62, 40), kWhitePixel);
  surface.Fill(kWhitePixel);
  Send(DriverOperation::EllipseOutline);
  EXPECT_EQ(At(50, 40), kWhitePixel);
  EXPECT_GT(CountSet(), 40);
  surface.Fill(kWhitePixel);
  dp.X[1] = dp.Y[1] = 20;
  dp.X[2] = 0;
  dp.Y[2] = 1.5707963f;
  Send(DriverOperation::Arc);
  EXPECT_GT(CountSet(), 20);
}

TEST_F(ScreenDriverTest, AreaCopyWithClear) {
  DriverParameters& dp = DriverParams();
  IGrColourN(31);
  K(0, 10, 10);
  K(1, 19, 19);
  Send(DriverOperation::RectangleSolid);
  // Move the 10 x 10 block 5 pixels right, clearing what it leaves.
  K(2, 15, 10);
  dp.P2 = 1;
  Send(DriverOperation::AreaCopy);
  EXPECT_EQ(At(10, 15), kWhitePixel);
  EXPECT_EQ(At(14, 15), kWhitePixel);
  EXPECT_EQ(At(15, 15), plat::Rgb(255, 0, 0));
  EXPECT_EQ(At(24, 15), plat::Rgb(255, 0, 0));
  EXPECT_EQ(CountSet(), 100);
}

TEST_F(ScreenDriverTest, PaletteEntryBatchesOnAPaletteDisplay) {
  Open(100, 80, 256);
  DriverParameters& dp = DriverParams();
  IGrColourN(31);  // slot 12
  // A batch of two entries, the last closing it, redefines slot 12.
  IGrPaletteSetRGB(31, 65280, 1);
  IGrPaletteSetRGB(30, 65280, 0);
  K(0, 5, 5);
  Send(DriverOperation::Point);
  EXPECT_EQ(At(5, 5), plat::Rgb(0, 255, 0));
  dp.KX[3] = 0;
  Open(100, 80);
}

TEST_F(ScreenDriverTest, CapabilitiesAndMetafileHalftones) {
  EXPECT_EQ(DriverParams().capabilities[0], "11111111111111111110111011111");
  Gs().screenOn = 0;
  K(0, 10, 10);
  K(1, 10, 10);
  Send(DriverOperation::Line);
  EXPECT_EQ(CountSet(), 0);
  Gs().screenOn = 1;
  // A metafile surface draws halftones as the average of the two colours.
  ScreenSurfacePrepare(SurfaceBinding{&surface, {}, {100, 80}, plat::kNoWindow, false, true});
  IGrColourN(31);
  IGrColourN(159);
  for (int i = 0; i < 4; ++i) K(i, i == 1 || i == 2 ? 30 : 10, i >= 2 ? 30 : 10);
  Send(DriverOperation::TrapeziumHalftone);
  EXPECT_EQ(At(20, 20), plat::Rgb(127, 0, 127));
  EXPECT_EQ(At(21, 20), plat::Rgb(127, 0, 127));
  IGrSelect(1);
}

TEST_F(ScreenDriverTest, SoftwareFillSeam) {
  DriverParameters& dp = DriverParams();
  std::vector<int> seenX;
  ScreenSeams().softwareFill = [&](std::span<const int> xs, std::span<const int> ys,
                                   plat::Rect clip, int gradient,
                                   const ScreenDriverSeams::SetPixelFn& setPixel,
                                   const ScreenDriverSeams::GradientFn& triangles) {
    seenX.assign(xs.begin(), xs.end());
    EXPECT_EQ(clip, (plat::Rect{0, 0, 99, 79}));
    EXPECT_EQ(gradient, 2);
    setPixel(1, 1, 255);
    const std::array<int, 3> tri{1, 2, 3};
    const int colours[3] = {255, 255, 255};
    EXPECT_EQ(triangles(std::span<const int>(xs.data(), 3), std::span<const int>(ys.data(), 3),
                        colours, std::span<const std::array<int, 3>>(&tri, 1)),
              0);
  };
  Points({{-0.5f, 10}, {40, 10}, {20, 40}});
  dp.softwareFillCount = 3;
  Send(DriverOperation::SoftwareFill);
  EXPECT_EQ(seenX, (std::vector<int>{-1, 40, 20}));
  EXPECT_EQ(surface.Get(1, 1), plat::Rgb(255, 0, 0));
  EXPECT_EQ(At(20, 20), plat::Rgb(255, 0, 0));
}

TEST_F(ScreenDriverTest, HugeCoordinatesAreHarmless) {
  DriverParameters& dp = DriverParams();
  const int big = 2147483647, small = -2147483647 - 1;
  K(0, small, big);
  K(1, big, small);
  for (DriverOperation op :
       {DriverOperation::Line, DriverOperation::EllipseSolid, DriverOperation::RectangleSolid,
        DriverOperation::Point, DriverOperation::AreaCopy}) {
    K(0, small, big);
    K(1, big, small);
    Send(op);
  }
  dp.X[1] = dp.Y[1] = 3e38f;
  dp.X[2] = 1e30f;
  Send(DriverOperation::PieSolid);
  Points({{-3e38f, 3e38f}, {3e38f, -3e38f}, {0, 0}});
  Send(DriverOperation::PolygonSolid);
  Send(DriverOperation::Polyline);
  SUCCEED();
}

}  // namespace
}  // namespace tk::testing
