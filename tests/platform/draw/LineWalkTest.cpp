// Lines against a plain Bresenham reference: the canvas skips the parts of a
// line outside the clip without walking them, and must still light exactly
// the pixels (and dash positions) the full walk would.
#include <gtest/gtest.h>

#include <random>

#include "platform/draw/Canvas.h"

namespace plat {
namespace {

// Every pixel of the line A-B, B excluded, in order; ties step the minor axis late.
std::vector<Point> Reference(Point a, Point b) {
  std::vector<Point> out;
  const int dx = b.x - a.x, dy = b.y - a.y;
  const int adx = std::abs(dx), ady = std::abs(dy);
  const int n = std::max(adx, ady);
  for (int i = 0; i < n; ++i) {
    // Minor offset: the nearest to i * minor / major, halves rounded down.
    const long long major = n, minor = adx >= ady ? ady : adx;
    const long long m = (2 * minor * i + major - 1) / (2 * major);
    const int mx = adx >= ady ? i : static_cast<int>(m), my = adx >= ady ? static_cast<int>(m) : i;
    out.push_back({a.x + (dx < 0 ? -mx : mx), a.y + (dy < 0 ? -my : my)});
  }
  return out;
}

TEST(LineWalk, ClippedLinesLightTheReferencePixels) {
  std::mt19937 rng(2024);
  std::uniform_int_distribution<int> far(-400, 460), near(-5, 70), size(0, 64);
  for (int round = 0; round < 2000; ++round) {
    const bool longLine = round % 2 == 0;
    const Point a{longLine ? far(rng) : near(rng), longLine ? far(rng) : near(rng)};
    const Point b{longLine ? far(rng) : near(rng), longLine ? far(rng) : near(rng)};
    const int l = size(rng) - 4, t = size(rng) - 4;
    const Rect clip{l, t, l + size(rng), t + size(rng)};
    const bool dotted = round % 3 == 0;
    Surface s(64, 64, 0);
    Canvas c(s, {}, clip);
    c.SetPen(dotted ? Pen::Styled(PenStyle::Dot, 0xFFFFFF) : Pen::Solid(0xFFFFFF));
    c.SetBkMode(BkMode::Transparent);
    c.MoveTo(a);
    c.LineTo(b);
    Surface want(64, 64, 0);
    const std::vector<Point> pixels = Reference(a, b);
    for (std::size_t i = 0; i < pixels.size(); ++i) {
      const Point p = pixels[i];
      if (dotted && (i % 6) >= 3) continue;  // dots: 3 on, 3 off
      if (clip.Contains(p)) want.Set(p.x, p.y, 0xFFFFFF);
    }
    ASSERT_TRUE(s == want) << "round " << round << ": (" << a.x << "," << a.y << ")-(" << b.x << ","
                           << b.y << ")";
  }
}

}  // namespace
}  // namespace plat
