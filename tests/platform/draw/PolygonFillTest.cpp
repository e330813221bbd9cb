// Polygon filling against a point-in-polygon reference at pixel centres, and
// tiling: polygons sharing edges cover every pixel once.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "platform/draw/Canvas.h"
#include "tests/platform/draw/DrawTestSupport.h"

namespace plat {
namespace {

using testing_draw::WindingAtCentre;

constexpr Pixel kInk = 0xFFFFFF;

Surface Fill(std::span<const Point> poly, FillMode mode, int w, int h) {
  Surface s(w, h, 0);
  Canvas c(s);
  c.SetPen(Pen::None());
  c.SetBrush(Brush::Solid(kInk));
  c.SetFillMode(mode);
  c.Polygon(poly);
  return s;
}

TEST(PolygonFill, RandomPolygonsMatchTheReferenceInBothModes) {
  std::mt19937 rng(1234);
  for (int round = 0; round < 300; ++round) {
    std::uniform_int_distribution<int> count(3, 11), coord(-6, 46);
    std::vector<Point> poly(static_cast<std::size_t>(count(rng)));
    for (Point& p : poly) p = {coord(rng), coord(rng)};
    for (FillMode mode : {FillMode::Alternate, FillMode::Winding}) {
      const Surface s = Fill(poly, mode, 40, 40);
      for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x) {
          const int wn = WindingAtCentre(poly, x, y);
          const bool in = mode == FillMode::Alternate ? wn % 2 != 0 : wn != 0;
          ASSERT_EQ(s.Get(x, y) == kInk, in)
              << "round " << round << " mode " << static_cast<int>(mode) << " at " << x << "," << y;
        }
    }
  }
}

TEST(PolygonFill, NeighbouringPolygonsTileWithoutGapOrOverlap) {
  // A jittered grid cut into quadrilaterals, and the same cells cut into triangles.
  constexpr int kN = 7, kSize = 90;
  std::mt19937 rng(99);
  std::uniform_int_distribution<int> jitter(-5, 5);
  Point grid[kN][kN];
  for (int j = 0; j < kN; ++j)
    for (int i = 0; i < kN; ++i) {
      const bool border = i == 0 || j == 0 || i == kN - 1 || j == kN - 1;
      grid[j][i] = {5 + i * 13 + (border ? 0 : jitter(rng)),
                    5 + j * 13 + (border ? 0 : jitter(rng))};
    }
  std::vector<std::vector<Point>> quads, triangles;
  for (int j = 0; j + 1 < kN; ++j)
    for (int i = 0; i + 1 < kN; ++i) {
      const Point a = grid[j][i], b = grid[j][i + 1], c = grid[j + 1][i + 1], d = grid[j + 1][i];
      quads.push_back({a, b, c, d});
      triangles.push_back({a, b, c});
      triangles.push_back({a, c, d});
    }
  const Rect hull{5, 5, 5 + (kN - 1) * 13, 5 + (kN - 1) * 13};
  for (const auto* set : {&quads, &triangles}) {
    std::vector<int> hits(kSize * kSize, 0);
    for (const auto& poly : *set) {
      const Surface s = Fill(poly, FillMode::Alternate, kSize, kSize);
      for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x)
          if (s.Get(x, y) == kInk) ++hits[static_cast<std::size_t>(y * kSize + x)];
    }
    for (int y = 0; y < kSize; ++y)
      for (int x = 0; x < kSize; ++x)
        ASSERT_EQ(hits[static_cast<std::size_t>(y * kSize + x)], (hull.Contains({x, y}) ? 1 : 0))
            << "at " << x << "," << y;
  }
}

TEST(PolygonFill, GradientTrianglesTileAndHitTheirCornerColours) {
  Surface s(30, 30, 0x123456);
  Canvas c(s);
  const GradientVertex v[] = {
      {2, 2, 0xFF0000}, {22, 2, 0x00FF00}, {22, 22, 0x0000FF}, {2, 22, 0xFFFFFF}};
  const std::array<int, 3> t[] = {{0, 1, 2}, {0, 2, 3}};
  ASSERT_TRUE(c.GradientFillTriangles(v, t));
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 30; ++x)
      ASSERT_EQ(s.Get(x, y) != 0x123456, (Rect{2, 2, 22, 22}.Contains({x, y}))) << x << "," << y;
  EXPECT_GT(RedOf(s.Get(2, 2)), 230);
  EXPECT_GT(BlueOf(s.Get(21, 21)), 200);
  const std::array<int, 3> bad[] = {{0, 1, 4}};
  EXPECT_FALSE(c.GradientFillTriangles(v, bad));
}

}  // namespace
}  // namespace plat
