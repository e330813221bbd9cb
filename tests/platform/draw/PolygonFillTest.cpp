// Polygon filling against a point-in-polygon reference at pixel centres, and
// tiling: polygons sharing edges cover every pixel once.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
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

// A box given as four corners with a one-pixel solid pen is drawn as the
// same box with a fifth point in the middle of an edge (a general polygon):
// every corner order, brush, raster operation, clip and origin.
TEST(PolygonFill, OutlinedBoxesDrawAsTheSameBoxWithAnEdgePoint) {
  struct Box {
    int x0, y0, x1, y1;
  };
  const Box boxes[] = {{4, 5, 30, 22}, {10, 3, 11, 30}, {-8, -4, 12, 9}, {20, 20, 50, 45}};
  const Brush brushes[] = {Brush::Solid(0x123456), Brush::Hatched(HatchStyle::Cross, 0xA0B0C0),
                           Brush::None()};
  const Rop2 rops[] = {Rop2::CopyPen, Rop2::XorPen, Rop2::Not, Rop2::MergePen};
  struct Setting {
    Point origin;
    bool clip;
  };
  const Setting settings[] = {{{0, 0}, false}, {{3, -2}, false}, {{0, 0}, true}};
  for (const Box& b : boxes) {
    const Point corners[4] = {{b.x0, b.y0}, {b.x1, b.y0}, {b.x1, b.y1}, {b.x0, b.y1}};
    for (int start = 0; start < 4; ++start)
      for (const bool backwards : {false, true}) {
        std::vector<Point> box;
        for (int k = 0; k < 4; ++k) box.push_back(corners[(start + (backwards ? 4 - k : k)) % 4]);
        // The fifth point halfway along the longer of the first two edges.
        std::vector<Point> withPoint = box;
        const auto len = [&](int i) {
          return std::abs(box[i + 1].x - box[i].x) + std::abs(box[i + 1].y - box[i].y);
        };
        const int e = len(0) >= len(1) ? 0 : 1;
        withPoint.insert(withPoint.begin() + e + 1,
                         Point{(box[e].x + box[e + 1].x) / 2, (box[e].y + box[e + 1].y) / 2});
        for (const Brush& brush : brushes)
          for (const Rop2 rop : rops)
            for (const Setting& setting : settings) {
              auto draw = [&](std::span<const Point> poly) {
                Surface s = testing_draw::Noise(48, 40, 7);
                Canvas c(s, setting.origin);
                if (setting.clip) {
                  Region r(Rect{0, 0, 20, 15});
                  r.Add(Rect{25, 12, 40, 40});
                  c.SetClipRegion(r);
                }
                c.SetPen(Pen::Solid(0xFF00FF));
                c.SetBrush(brush);
                c.SetRop2(rop);
                c.Polygon(poly);
                return s;
              };
              const Surface fast = draw(box), general = draw(withPoint);
              ASSERT_TRUE(
                  std::equal(fast.Pixels().begin(), fast.Pixels().end(), general.Pixels().begin()))
                  << "box " << b.x0 << "," << b.y0 << " start " << start << " backwards "
                  << backwards << " rop " << static_cast<int>(rop);
            }
      }
  }
}

}  // namespace
}  // namespace plat
