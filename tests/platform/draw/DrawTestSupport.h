#pragma once
// Helpers for the drawing tests: noise surfaces and a point-in-polygon
// reference that decides at pixel centres with exact integer arithmetic.
#include <random>
#include <span>

#include "platform/draw/Surface.h"

namespace plat::testing_draw {

inline Surface Noise(int w, int h, unsigned seed) {
  Surface s(w, h);
  std::mt19937 rng(seed);
  for (Pixel& p : s.Pixels()) p = rng() & 0xFFFFFF;
  return s;
}

/// Winding number of the polygon around the centre of pixel (x, y), counting
/// each edge whose crossing with the centre's row lies at or left of the
/// centre (edges half-open at their lower end).
inline int WindingAtCentre(std::span<const Point> poly, int x, int y) {
  const long long xc2 = 2LL * x + 1, yc2 = 2LL * y + 1;
  int winding = 0;
  for (std::size_t i = 0; i < poly.size(); ++i) {
    Point a = poly[i], b = poly[(i + 1) % poly.size()];
    if (a.y == b.y) continue;
    int dir = 1;
    if (a.y > b.y) {
      std::swap(a, b);
      dir = -1;
    }
    if (yc2 < 2LL * a.y || yc2 >= 2LL * b.y) continue;
    const long long dy = b.y - a.y, dx = b.x - a.x;
    // crossing x <= centre x, both sides times 2 * dy > 0
    if (2LL * a.x * dy + (yc2 - 2LL * a.y) * dx <= xc2 * dy) winding += dir;
  }
  return winding;
}

inline bool InsideAlternate(std::span<const Point> poly, int x, int y) {
  // Parity of the crossings equals parity of the winding number.
  return WindingAtCentre(poly, x, y) % 2 != 0;
}

}  // namespace plat::testing_draw
