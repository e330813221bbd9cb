// Polygons cut into triangles and filled with colour gradients: the vertex
// merge, the ear clipping with its start vertices, the clip rectangle, the
// triangle-list routine, and gap-free shared edges.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <numbers>
#include <random>

#include "tests/toolkit/graphics/GraphicsTestSupport.h"
#include "toolkit/graphics/Fills.h"
#include "toolkit/hardcopy/PolygonFill.h"

namespace tk::testing {
namespace {

using Triangle = std::array<std::int32_t, 3>;

struct Vertex {
  int x, y, colour;
};

/// What one PolygonFill drew: pixels by position and the triangle list offered.
struct Drawn {
  std::map<std::pair<int, int>, int> pixels;
  std::vector<Triangle> offered;
  std::vector<std::int32_t> offeredColours;
  int offeredVertices = 0;
};

Drawn Fill(const std::vector<Vertex>& v, int mode = 1, int answer = 1,
           std::array<int, 4> clip = {-1000, -1000, 1000, 1000}) {
  GradientPolygonBuffer& buf = GradientPolygon();
  buf.Resize(static_cast<int>(v.size()));
  for (std::size_t i = 0; i < v.size(); ++i) {
    buf.x[i] = v[i].x, buf.y[i] = v[i].y, buf.colour[i] = v[i].colour;
    buf.realX[i] = static_cast<float>(v[i].x), buf.realY[i] = static_cast<float>(v[i].y);
  }
  Drawn d;
  PolygonFill(
      mode, clip[0], clip[1], clip[2], clip[3],
      [&d](int x, int y, int c) { d.pixels[{x, y}] = c; },
      [&d, answer](std::span<const std::int32_t>, std::span<const std::int32_t>,
                   std::span<const std::int32_t> colour, std::span<const Triangle> triangles,
                   int vertexCount, int, int& pixelPass) {
        d.offered.assign(triangles.begin(), triangles.end());
        d.offeredColours.assign(colour.begin(), colour.begin() + vertexCount);
        d.offeredVertices = vertexCount;
        pixelPass = answer;
      });
  return d;
}

struct Decomposed {
  std::vector<Triangle> triangles;
  int count = 0;
  int error = 0;
};

Decomposed Decompose(const std::vector<float>& x, const std::vector<float>& y) {
  ResetErrorState();
  Decomposed d;
  YYPolygonDecompose(x, y, static_cast<int>(x.size()), d.triangles, d.count);
  d.error = ErrorState().lastError;
  return d;
}

double Area(const std::vector<float>& x, const std::vector<float>& y, const Triangle& t) {
  const double ax = x[t[0] - 1], ay = y[t[0] - 1], bx = x[t[1] - 1], by = y[t[1] - 1];
  const double cx = x[t[2] - 1], cy = y[t[2] - 1];
  return std::fabs((bx - ax) * (cy - ay) - (cx - ax) * (by - ay)) / 2;
}

double PolygonArea(const std::vector<float>& x, const std::vector<float>& y) {
  double a = 0;
  for (std::size_t i = 0; i < x.size(); ++i) {
    const std::size_t j = (i + 1) % x.size();
    a += static_cast<double>(x[i]) * y[j] - static_cast<double>(x[j]) * y[i];
  }
  return std::fabs(a) / 2;
}

class PolygonFillTest : public GraphicsTest {};

TEST_F(PolygonFillTest, MergesAndScanConversionEdgeCases) {
  // A closing vertex: the triangle (1, 2, 3), vertex 1 with the mean colour.
  Drawn closing = Fill({{0, 0, 10}, {10, 0, 0}, {0, 10, 0}, {0, 0, 21}}, 2, 0);
  EXPECT_EQ(closing.offered, (std::vector<Triangle>{{1, 2, 3}}));
  EXPECT_EQ(closing.offeredColours, (std::vector<std::int32_t>{15, 0, 0}));
  EXPECT_TRUE(closing.pixels.empty());  // the routine answered 0

  // Two coincident vertices among three: nothing at all.
  Drawn pair = Fill({{0, 0, 1}, {0, 0, 2}, {10, 10, 3}}, 2, 1);
  EXPECT_TRUE(pair.pixels.empty());
  EXPECT_TRUE(pair.offered.empty());

  // Three coincident vertices at the start merge into one with red 3.
  Drawn five = Fill({{0, 0, 0}, {0, 0, 3}, {0, 0, 6}, {20, 0, 0}, {0, 20, 0}}, 2, 1);
  EXPECT_EQ(five.offeredVertices, 3);
  EXPECT_EQ(five.offered, (std::vector<Triangle>{{1, 2, 3}}));
  EXPECT_EQ(five.offeredColours[0], 3);
  EXPECT_FALSE(five.pixels.empty());  // answer 1: still scan-converted

  // Mode 1 never offers the list; mode 2 with answer 0 sets no pixel.
  const std::vector<Vertex> square{{0, 0, 0}, {10, 0, 0}, {10, 10, 0}, {0, 10, 0}};
  Drawn mode1 = Fill(square, 1, 0);
  EXPECT_TRUE(mode1.offered.empty());
  EXPECT_EQ(mode1.pixels.size(), 121u);
  Drawn mode2 = Fill(square, 2, 0);
  EXPECT_EQ(mode2.offered.size(), 2u);
  EXPECT_TRUE(mode2.pixels.empty());

  // Clipping above, below and across; a flat triangle; a one-pixel row.
  const std::vector<Vertex> tri{{0, 0, 0}, {20, 0, 0}, {10, 20, 0}};
  EXPECT_TRUE(Fill(tri, 1, 1, {0, 30, 100, 40}).pixels.empty());
  EXPECT_TRUE(Fill(tri, 1, 1, {0, -40, 100, -1}).pixels.empty());
  Drawn part = Fill(tri, 1, 1, {5, 5, 12, 8});
  ASSERT_FALSE(part.pixels.empty());
  for (const auto& [p, c] : part.pixels) {
    EXPECT_GE(p.first, 5);
    EXPECT_LE(p.first, 12);
    EXPECT_GE(p.second, 5);
    EXPECT_LE(p.second, 8);
  }
  EXPECT_TRUE(Fill({{0, 5, 0}, {10, 5, 0}, {20, 5, 0}}).pixels.empty());
  Drawn apex = Fill({{0, 0, 0xFF}, {20, 0, 0xFF}, {10, 10, 0xFF00}});
  int row10 = 0;
  for (const auto& [p, c] : apex.pixels)
    if (p.second == 10) {
      ++row10;
      EXPECT_EQ(p.first, 10);
      EXPECT_EQ(c, 0xFF00);  // the apex's own colour
    }
  EXPECT_EQ(row10, 1);
}

TEST_F(PolygonFillTest, ColoursInterpolateAlongRows) {
  Drawn d = Fill({{0, 0, 0}, {255, 0, 255}, {0, 255, 0}});
  EXPECT_EQ(d.pixels.at({0, 0}), 0);
  EXPECT_EQ(d.pixels.at({255, 0}), 255);
  const int mid = d.pixels.at({128, 0}) & 0xFF;
  EXPECT_NEAR(mid, 128, 1);
}

TEST_F(PolygonFillTest, DecompositionEdgeCases) {
  // A convex n-gon: n - 2 triangles, the first from the top vertex on.
  for (int n : {3, 5, 8, 13}) {
    std::vector<float> x, y;
    const int top = n / 2;  // 0-based index of the highest vertex
    for (int i = 0; i < n; ++i) {
      const double a = std::numbers::pi / 2 + 2 * std::numbers::pi * (i - top) / n;
      x.push_back(static_cast<float>(100 * std::cos(a)));
      y.push_back(static_cast<float>(100 * std::sin(a)));
    }
    const Decomposed d = Decompose(x, y);
    ASSERT_EQ(d.count, n - 2) << n;
    const int T = top + 1;
    const auto wrap = [n](int i) { return (i - 1) % n + 1; };
    EXPECT_EQ(d.triangles[0], (Triangle{T, wrap(T + 1), wrap(T + 2)})) << n;
    EXPECT_EQ(d.error, 0);
  }
  // The same square both ways round.
  for (const auto& [x, y] : {std::pair<std::vector<float>, std::vector<float>>{{0, 10, 10, 0}, {0, 0, 10, 10}},
                             {{0, 0, 10, 10}, {0, 10, 10, 0}}}) {
    const Decomposed d = Decompose(x, y);
    EXPECT_EQ(d.count, 2);
    EXPECT_DOUBLE_EQ(Area(x, y, d.triangles[0]) + Area(x, y, d.triangles[1]), 100);
  }
  // A bow-tie: error 28, and what the last attempt found stays.
  const std::vector<float> bx{0, 10, 10, 0}, by{0, 10, 0, 10};
  const Decomposed bow = Decompose(bx, by);
  EXPECT_EQ(bow.error, 28);
  EXPECT_LT(bow.count, 2);
  EXPECT_EQ(static_cast<int>(bow.triangles.size()), bow.count);
  // Fewer than three points, and all points coincident: nothing, no error.
  EXPECT_EQ(Decompose({1, 2}, {1, 2}).count, 0);
  const Decomposed same = Decompose({3, 3, 3, 3}, {4, 4, 4, 4});
  EXPECT_EQ(same.count, 0);
  EXPECT_EQ(same.error, 0);
  // A concave outline (an L) cuts into n - 2 triangles covering its area.
  const std::vector<float> lx{0, 20, 20, 10, 10, 0}, ly{0, 0, 10, 10, 20, 20};
  const Decomposed l = Decompose(lx, ly);
  ASSERT_EQ(l.count, 4);
  double sum = 0;
  for (const Triangle& t : l.triangles) sum += Area(lx, ly, t);
  EXPECT_DOUBLE_EQ(sum, 300);
}

TEST_F(PolygonFillTest, PointInEarRule) {
  // Box, axis-parallel edges through the point, general side test.
  EXPECT_TRUE(PointInEar(2, 2, 0, 0, 10, 0, 0, 10));
  EXPECT_FALSE(PointInEar(6, 6, 0, 0, 10, 0, 0, 10));
  EXPECT_FALSE(PointInEar(0, 5, 0, 0, 10, 0, 0, 10));  // on the box's unmoved 0 bound
  EXPECT_TRUE(PointInEar(1, 5, 1, 0, 11, 0, 1, 10));   // on the edge x = 1, box widened
  EXPECT_TRUE(PointInEar(5, 1, 1, 1, 11, 1, 1, 11));   // on the edge y = 1
  EXPECT_FALSE(PointInEar(11, 1, 0, 0, 10, 0, 0, 10));  // outside the box
}

TEST_F(PolygonFillTest, RandomStarPolygonsCutIntoTheirArea) {
  std::mt19937 rng(4207);
  std::uniform_real_distribution<double> radius(20, 100), jitter(0.1, 0.9);
  for (int n : {3, 4, 5, 7, 16, 31, 64, 127, 200}) {
    for (int round = 0; round < 6; ++round) {
      std::vector<float> x, y;
      for (int i = 0; i < n; ++i) {
        const double a = 2 * std::numbers::pi * (i + jitter(rng)) / n;
        const double r = radius(rng);
        x.push_back(static_cast<float>(500 + r * std::cos(a)));
        y.push_back(static_cast<float>(500 + r * std::sin(a)));
      }
      if (round % 2) {
        std::reverse(x.begin(), x.end());
        std::reverse(y.begin(), y.end());
      }
      const Decomposed d = Decompose(x, y);
      ASSERT_EQ(d.error, 0) << n << " round " << round;
      ASSERT_EQ(d.count, n - 2) << n << " round " << round;
      double sum = 0;
      for (const Triangle& t : d.triangles) sum += Area(x, y, t);
      EXPECT_NEAR(sum / PolygonArea(x, y), 1.0, 1e-6) << n << " round " << round;
    }
  }
}

TEST_F(PolygonFillTest, SharedEdgesLeaveNoGap) {
  std::mt19937 rng(77);
  std::uniform_int_distribution<int> coord(0, 60);
  const auto inside = [](double px, double py, const Vertex& a, const Vertex& b, const Vertex& c) {
    const auto cross = [](double ox, double oy, double ux, double uy, double vx, double vy) {
      return (ux - ox) * (vy - oy) - (uy - oy) * (vx - ox);
    };
    const double d1 = cross(a.x, a.y, b.x, b.y, px, py), d2 = cross(b.x, b.y, c.x, c.y, px, py),
                 d3 = cross(c.x, c.y, a.x, a.y, px, py);
    return (d1 > 0 && d2 > 0 && d3 > 0) || (d1 < 0 && d2 < 0 && d3 < 0);
  };
  for (int round = 0; round < 40; ++round) {
    const Vertex p{coord(rng), coord(rng), 0}, q{coord(rng), coord(rng), 0};
    const Vertex r{coord(rng), coord(rng), 0}, s{coord(rng), coord(rng), 0};
    std::map<std::pair<int, int>, int> set;
    for (const auto& tri : {std::array<Vertex, 3>{p, q, r}, std::array<Vertex, 3>{q, p, s}}) {
      const Drawn d = Fill({tri[0], tri[1], tri[2]});
      set.insert(d.pixels.begin(), d.pixels.end());
    }
    for (int py = 0; py <= 60; ++py)
      for (int px = 0; px <= 60; ++px)
        if (inside(px, py, p, q, r) || inside(px, py, q, p, s)) {
          EXPECT_TRUE(set.count({px, py})) << round << ": " << px << "," << py;
        }
  }
}

TEST_F(PolygonFillTest, ComplexPolygonsFillThroughTheDecomposer) {
  Open(100, 80);
  IGrUnits(0, 0, 99.99f, 79.99f);  // one unit a pixel
  InstallPolygonSeams();
  const std::vector<float> x{10, 60, 60, 30, 30, 10}, y{10, 10, 30, 30, 60, 60};
  IGrFillStyle(4);
  IGrPolygonComplex(x, y, 6);
  EXPECT_NE(At(20, 50), kWhitePixel);  // in the L's upright
  EXPECT_NE(At(50, 20), kWhitePixel);  // in its foot
  EXPECT_EQ(At(50, 50), kWhitePixel);  // in the notch
  SetPolygonDecomposer({});
}

TEST_F(PolygonFillTest, ScreenSoftwareFillShadesTheTriangle) {
  InstallPolygonSeams();
  DriverParameters& dp = DriverParams();
  const float px[] = {10, 60, 10}, py[] = {10, 10, 60};
  for (int i = 0; i < 3; ++i) dp.pointX[i] = px[i], dp.pointY[i] = py[i];
  dp.softwareFillCount = 3;
  GradientPolygonBuffer& buf = GradientPolygon();
  buf.Resize(3);
  buf.colour = {0x0000FF, 0x0000FF, 0x0000FF};
  ScreenDriverCall(DriverOperation::SoftwareFill);
  EXPECT_EQ(At(20, 20), plat::Rgb(255, 0, 0));
  EXPECT_EQ(At(55, 55), kWhitePixel);
  SetPolygonDecomposer({});
}

}  // namespace
}  // namespace tk::testing
