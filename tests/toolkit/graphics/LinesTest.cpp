// Lines: user units to pixels, clipping, polylines, modes and widths.
#include <gtest/gtest.h>

#include <random>

#include "GraphicsTestSupport.h"
#include "toolkit/graphics/Lines.h"

namespace tk::testing {
namespace {

class LinesTest : public GraphicsTest {};

TEST_F(LinesTest, PageDiagonalLandsOnTheCornerPixels) {
  // A 10 by 8 page over a 100 by 80 window.
  IGrUnits(0, 0, 10, 8);
  IGrPenMoveTo(0, 0);
  IGrDrawLineTo(10, 8);
  EXPECT_EQ(At(0, 0), kBlackPixel);
  EXPECT_EQ(At(99, 79), kBlackPixel);
  EXPECT_EQ(surface.Get(0, 79), kBlackPixel);
  EXPECT_EQ(surface.Get(99, 0), kBlackPixel);
  EXPECT_EQ(CountSet(), 100);
  EXPECT_FLOAT_EQ(Gs().penX, 10);
  EXPECT_FLOAT_EQ(Gs().penY, 8);
}

TEST_F(LinesTest, ClippedAtEachEdge) {
  Open(100, 100);
  IGrArea(0.2f, 0.3f, 0.8f, 0.7f);
  IGrUnits(0, 0, 10, 10);
  const GraphicsState& gs = Gs();
  struct Case {
    const char* name;
    float x1, y1, x2, y2;
    int col, row;  // a pixel the clipped line ends on (device, from the bottom)
  };
  const int L = static_cast<int>(gs.areaX0), R = static_cast<int>(gs.areaX1);
  const int B = static_cast<int>(gs.areaY0), T = static_cast<int>(gs.areaY1);
  int mid, midRow;
  IGrUserToPixel(5, 5, mid, midRow);
  const Case cases[] = {
      {"left", -5, 5, 5, 5, L, midRow},  {"right", 5, 5, 15, 5, R, midRow},
      {"bottom", 5, -5, 5, 5, mid, B},   {"top", 5, 5, 5, 15, mid, T},
      {"through", -5, -5, 15, 15, L, B},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    surface.Fill(kWhitePixel);
    LineUserUnits(c.x1, c.y1, c.x2, c.y2);
    EXPECT_EQ(At(c.col, c.row), kBlackPixel);
    for (int y = 0; y < 100; ++y)
      for (int x = 0; x < 100; ++x)
        if (x < L || x > R || y < B || y > T) {
          ASSERT_EQ(At(x, y), kWhitePixel) << x << "," << y;
        }
  }
}

TEST_F(LinesTest, ClipSegmentCases) {
  Open(100, 100);
  IGrArea(0.2f, 0.2f, 0.8f, 0.8f);
  const GraphicsState& gs = Gs();
  // Vertical through: cut to B and T exactly.
  float x1 = 50, y1 = 0, x2 = 50, y2 = 99;
  ASSERT_TRUE(ClipSegment(x1, y1, x2, y2));
  EXPECT_FLOAT_EQ(y1, gs.areaY0);
  EXPECT_FLOAT_EQ(y2, gs.areaY1);
  // Same column left of the area: invisible.
  x1 = 5, y1 = 0, x2 = 5.5f, y2 = 99;
  EXPECT_FALSE(ClipSegment(x1, y1, x2, y2));
  // Entirely outside on one side.
  x1 = 0, y1 = 0, x2 = 10, y2 = 15;
  EXPECT_FALSE(ClipSegment(x1, y1, x2, y2));
  // Inside: unchanged.
  x1 = 30, y1 = 31, x2 = 60, y2 = 62;
  ASSERT_TRUE(ClipSegment(x1, y1, x2, y2));
  EXPECT_FLOAT_EQ(x1, 30);
  EXPECT_FLOAT_EQ(y2, 62);
  // Corner to corner: ends satisfy PointInClip.
  x1 = 0, y1 = 0, x2 = 99, y2 = 99;
  ASSERT_TRUE(ClipSegment(x1, y1, x2, y2));
  EXPECT_TRUE(PointInClip(x1, y1));
  EXPECT_TRUE(PointInClip(x2, y2));
}

TEST_F(LinesTest, AreaWithNoRoomDrawsNothing) {
  // A window squeezed to no height leaves the clip rectangle upside down.
  Open(100, 100);
  ClipRectangleSet(10, 60, 90, 40);
  struct Case {
    float x1, y1, x2, y2;
  } cases[] = {{50, 0, 50, 99}, {0, 50, 99, 50}, {0, 0, 99, 99}, {50, 50, 50.5f, 50}};
  for (const Case& c : cases) {
    float x1 = c.x1, y1 = c.y1, x2 = c.x2, y2 = c.y2;
    EXPECT_FALSE(ClipSegment(x1, y1, x2, y2)) << c.x1 << "," << c.y1;
  }
  EXPECT_EQ(CountSet(), 0);
}

TEST_F(LinesTest, RandomSegmentsNeverLeaveTheClip) {
  Open(120, 90);
  IGrArea(0.25f, 0.1f, 0.7f, 0.85f);
  const GraphicsState& gs = Gs();
  std::mt19937 rng(7);
  std::uniform_real_distribution<float> d(-60, 180);
  for (int i = 0; i < 400; ++i) {
    float x1 = d(rng), y1 = d(rng), x2 = d(rng), y2 = d(rng);
    if (ClipSegment(x1, y1, x2, y2)) {
      EXPECT_TRUE(PointInClip(x1, y1)) << i;
      EXPECT_TRUE(PointInClip(x2, y2)) << i;
    }
    LineDevice(d(rng), d(rng), d(rng), d(rng));
  }
  for (int y = 0; y < 90; ++y)
    for (int x = 0; x < 120; ++x)
      if (x < gs.clipPixX0 || x > gs.clipPixX1 || y < gs.clipPixY0 || y > gs.clipPixY1) {
        ASSERT_EQ(At(x, y), kWhitePixel) << x << "," << y;
      }
}

TEST_F(LinesTest, PenMovesToTheUnclippedEnd) {
  IGrUnits(0, 0, 10, 8);
  IGrArea(0.1f, 0.1f, 0.9f, 0.9f);
  IGrPenMoveTo(5, 4);
  IGrDrawLineTo(20, 4);
  EXPECT_FLOAT_EQ(Gs().penX, 20);
  IGrDrawLineTo(5, 5);  // starts at the outside point, clipped
  EXPECT_GT(CountSet(), 0);
}

TEST_F(LinesTest, PolylineRunsAndPointLimit) {
  Open(200, 100);
  IGrArea(0.0f, 0.0f, 0.5f, 1.0f);  // x up to 99.995
  IGrUnits(0, 0, 99.995f, 99.99f);
  std::vector<DriverOperation> ops;
  std::vector<int> counts;
  RegisterMemoryRecorder([&](DriverOperation& op) {
    ops.push_back(op);
    if (op == DriverOperation::Polyline) counts.push_back(DriverParams().P1);
  });
  Gs().memoryRecorderOn = 1;
  const std::vector<float> x{10, 50, 150, 150, 60, 20}, y{10, 20, 20, 50, 50, 60};
  PolylineClipped(x, y, 6, 0);
  EXPECT_EQ(counts, (std::vector<int>{3, 3}));
  EXPECT_FLOAT_EQ(Gs().penX, 20);
  counts.clear();
  std::vector<float> lx(6000), ly(6000);
  for (int i = 0; i < 6000; ++i) lx[i] = 10 + (i % 50), ly[i] = 10 + (i % 7);
  PolylineClipped(lx, ly, 6000, 0);
  EXPECT_EQ(counts, std::vector<int>{5000});
  EXPECT_FLOAT_EQ(Gs().penX, lx[4999]);
  Gs().memoryRecorderOn = 0;
}

TEST_F(LinesTest, DrawModeLetters) {
  const std::pair<std::optional<std::string_view>, int> cases[] = {
      {"N", 0}, {"o", 1}, {"O", 1}, {"a", 2}, {"e", 3}, {"E", 3}, {"X", 0}, {std::nullopt, 0}};
  for (const auto& [letter, mode] : cases) {
    IGrDrawMode(letter);
    EXPECT_EQ(IGrStateQuery(37), mode);
  }
}

TEST_F(LinesTest, LineWidthsAndTypes) {
  IGrLineWidths(0);
  EXPECT_EQ(Gs().screenLineWidth, 1);
  IGrLineWidths(-3);
  EXPECT_EQ(Gs().screenLineWidth, 1);
  IGrLineWidths(3);
  EXPECT_EQ(Gs().screenLineWidth, 3);
  IGrUnits(0, 0, 99.99f, 79.99f);
  LineUserUnits(10, 40, 90, 40);
  EXPECT_EQ(At(50, 39), kBlackPixel);
  EXPECT_EQ(At(50, 41), kBlackPixel);
  IGrLineType(9);
  EXPECT_EQ(IGrStateQuery(36), 0);
  IGrLineType(2);
  EXPECT_EQ(IGrStateQuery(36), 2);
  // Wide pens widen the gaps so square caps leave them open.
  const std::vector<int> widened{8, 8};
  EXPECT_EQ(std::vector<int>(DashTable(2).begin(), DashTable(2).end()), widened);
}

TEST_F(LinesTest, DashedLineHasGaps) {
  IGrUnits(0, 0, 99.99f, 79.99f);
  IGrLineType(2);  // 8 on, 6 off
  LineUserUnits(0, 10, 99, 10);
  EXPECT_EQ(At(0, 10), kBlackPixel);
  EXPECT_EQ(At(7, 10), kBlackPixel);
  EXPECT_EQ(At(8, 10), kWhitePixel);
  EXPECT_EQ(At(13, 10), kWhitePixel);
  EXPECT_EQ(At(14, 10), kBlackPixel);
}

TEST_F(LinesTest, BlankAreaClearsTheWindow) {
  IGrUnits(0, 0, 10, 8);
  IGrPenMoveTo(0, 0);
  IGrDrawLineTo(10, 8);
  IGrBlankArea(10, 10, 19, 14, 255);
  EXPECT_EQ(surface.Get(10, 10), plat::Rgb(255, 0, 0));
  EXPECT_EQ(surface.Get(19, 14), plat::Rgb(255, 0, 0));
  EXPECT_EQ(surface.Get(20, 15), kWhitePixel);
  IGrBlankArea();
  EXPECT_EQ(CountSet(), 0);
}

}  // namespace
}  // namespace tk::testing
