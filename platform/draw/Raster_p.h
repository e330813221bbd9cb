#pragma once
// Internals shared by the canvas source files: paints, coverage masks, the
// line walker and the polygon scan converters.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <span>
#include <vector>

#include "platform/draw/Canvas.h"

namespace plat {

/// What a span is painted with: a solid colour or an 8x8 pattern, through a ROP2.
struct Canvas::Paint {
  bool pattern = false;
  bool transparentBg = false;  // pattern: clear bits leave the destination
  Pixel fg = 0;
  Pixel bg = 0;
  std::array<std::uint8_t, 8> bits{};
  int ox = 0, oy = 0;  // surface position of pattern pixel (0, 0)
  Rop2 rop = Rop2::CopyPen;
};

/// Paints surface pixels [x0, x1) of ROW (row number Y), no clipping.
inline void PaintRow(Pixel* row, int y, int x0, int x1, const Canvas::Paint& p) {
  if (!p.pattern) {
    const Pixel c = p.fg;
    switch (p.rop) {
      case Rop2::CopyPen:
        std::fill(row + x0, row + x1, c);
        return;
      case Rop2::XorPen:
        for (int x = x0; x < x1; ++x) row[x] ^= c;
        return;
      case Rop2::Nop:
        return;
      default:
        for (int x = x0; x < x1; ++x) row[x] = ApplyRop2(p.rop, c, row[x]);
        return;
    }
  }
  const unsigned bits = p.bits[static_cast<unsigned>(y - p.oy) & 7u];
  for (int x = x0; x < x1; ++x) {
    const bool on = bits & (0x80u >> (static_cast<unsigned>(x - p.ox) & 7u));
    if (!on && p.transparentBg) continue;
    row[x] = ApplyRop2(p.rop, on ? p.fg : p.bg, row[x]);
  }
}

/// Coverage of one primitive over a rectangle of the surface, one byte a
/// pixel: 0 untouched, 1 brush, 2 pen gap (background colour), 3 pen. Marks
/// keep the highest value, so each pixel gets exactly one paint.
class Canvas::Mask {
 public:
  enum : std::uint8_t { kNone = 0, kFill = 1, kGap = 2, kPen = 3 };
  explicit Mask(const Rect& box) : box_(box.Empty() ? Rect{} : box) {
    v_.assign(static_cast<std::size_t>(box_.Width()) * static_cast<std::size_t>(box_.Height()),
              kNone);
  }
  const Rect& Box() const { return box_; }
  bool Inside(int x, int y) const { return box_.Contains({x, y}); }
  std::uint8_t At(int x, int y) const { return v_[Index(x, y)]; }
  std::uint8_t& Ref(int x, int y) { return v_[Index(x, y)]; }
  const std::uint8_t* Row(int y) const { return v_.data() + Index(box_.left, y); }
  void Mark(int x, int y, std::uint8_t val) {
    if (!Inside(x, y)) return;
    std::uint8_t& m = Ref(x, y);
    m = std::max(m, val);
  }
  void MarkSpan(int y, int x0, int x1, std::uint8_t val) {
    if (y < box_.top || y >= box_.bottom) return;
    x0 = std::max(x0, box_.left);
    x1 = std::min(x1, box_.right);
    for (int x = x0; x < x1; ++x) {
      std::uint8_t& m = Ref(x, y);
      m = std::max(m, val);
    }
  }

 private:
  std::size_t Index(int x, int y) const {
    return static_cast<std::size_t>(y - box_.top) * static_cast<std::size_t>(box_.Width()) +
           static_cast<std::size_t>(x - box_.left);
  }
  Rect box_;
  std::vector<std::uint8_t> v_;
};

namespace raster {

/// Visits the pixels of the line from A to B, B excluded: visit(x, y, i)
/// with i the pixel's step number from A. Bresenham; on a tie the minor axis
/// steps late. Steps whose pixel cannot lie inside BOUNDS are skipped without
/// being walked, so a long line costs only its part near BOUNDS; the pixels
/// visited may still fall outside BOUNDS and the caller tests them.
template <typename Visit>
inline void WalkLine(Point a, Point b, const Rect& bounds, Visit&& visit) {
  const long long dx = static_cast<long long>(b.x) - a.x, dy = static_cast<long long>(b.y) - a.y;
  const long long adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
  const bool xMajor = adx >= ady;
  const long long major = xMajor ? adx : ady, minor = xMajor ? ady : adx;
  const int smaj = (xMajor ? dx : dy) < 0 ? -1 : 1, smin = (xMajor ? dy : dx) < 0 ? -1 : 1;
  const long long amaj = xMajor ? a.x : a.y, amin = xMajor ? a.y : a.x;
  const long long lo = xMajor ? bounds.left : bounds.top,
                  hi = (xMajor ? bounds.right : bounds.bottom) - 1;
  const long long mlo = xMajor ? bounds.top : bounds.left,
                  mhi = (xMajor ? bounds.bottom : bounds.right) - 1;
  if (major == 0 || bounds.Empty()) return;
  // Steps whose major coordinate is inside.
  long long i0 = smaj > 0 ? lo - amaj : amaj - hi;
  long long i1 = (smaj > 0 ? hi - amaj : amaj - lo) + 1;
  // Steps whose minor coordinate can be inside (with a margin of two steps).
  long long m0 = smin > 0 ? mlo - amin : amin - mhi, m1 = smin > 0 ? mhi - amin : amin - mlo;
  m0 = std::max(m0, 0LL);
  m1 = std::min(m1, minor);
  if (m0 > m1) return;
  if (minor > 0) {
    const double scale = static_cast<double>(major) / static_cast<double>(minor);
    i0 = std::max(i0, static_cast<long long>(std::floor((m0 - 0.5) * scale)) - 2);
    i1 = std::min(i1, static_cast<long long>(std::ceil((m1 + 0.5) * scale)) + 2);
  }
  i0 = std::max(i0, 0LL);
  i1 = std::min(i1, major);
  if (i0 >= i1) return;
  // Minor offset and error term at step i0, exactly.
  const __int128 num = static_cast<__int128>(2 * minor) * i0 - major;
  __int128 m = num <= 0 ? 0 : (num + 2 * major - 1) / (2 * major);
  __int128 e =
      static_cast<__int128>(2 * minor) * (i0 + 1) - major - static_cast<__int128>(2 * major) * m;
  long long pmaj = amaj + smaj * i0, pmin = amin + smin * static_cast<long long>(m);
  for (long long i = i0; i < i1; ++i) {
    if (xMajor)
      visit(static_cast<int>(pmaj), static_cast<int>(pmin), i);
    else
      visit(static_cast<int>(pmin), static_cast<int>(pmaj), i);
    if (e > 0) {
      pmin += smin;
      e -= 2 * major;
    }
    e += 2 * minor;
    pmaj += smaj;
  }
}

/// Largest coordinate magnitude the polygon scan accepts; beyond it points
/// are clamped (keeps every product inside 64 bits).
inline constexpr int kCoordLimit = 1 << 28;
inline int ClampCoord(int v) {
  return std::clamp(v, -kCoordLimit, kCoordLimit);
}

inline long long FloorDiv(long long a, long long b) {
  long long q = a / b;
  if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
  return q;
}

struct Edge {
  int x0, y0, x1, y1;  // y0 < y1
  int dir;             // +1 downwards in the original order, -1 upwards
};

/// Scan-converts the closed polygon PTS over rows [yLo, yHi): a pixel is
/// inside when its centre is (alternate or winding rule), edges half-open
/// to the right and bottom. span(y, x0, x1) receives [x0, x1) runs in
/// increasing x. Exact integer arithmetic, so polygons sharing an edge tile.
template <typename SpanFn>
void ScanPolygon(std::span<const Point> pts, bool winding, int yLo, int yHi, SpanFn&& span) {
  const std::size_t n = pts.size();
  if (n < 3) return;
  std::vector<Edge> edges;
  edges.reserve(n);
  int minY = kCoordLimit, maxY = -kCoordLimit;
  for (std::size_t i = 0; i < n; ++i) {
    Point a{ClampCoord(pts[i].x), ClampCoord(pts[i].y)};
    Point b{ClampCoord(pts[(i + 1) % n].x), ClampCoord(pts[(i + 1) % n].y)};
    if (a.y == b.y) continue;
    if (a.y < b.y)
      edges.push_back({a.x, a.y, b.x, b.y, 1});
    else
      edges.push_back({b.x, b.y, a.x, a.y, -1});
    minY = std::min({minY, a.y, b.y});
    maxY = std::max({maxY, a.y, b.y});
  }
  if (edges.empty()) return;
  yLo = std::max(yLo, minY);
  yHi = std::min(yHi, maxY);
  if (yLo >= yHi) return;
  std::sort(edges.begin(), edges.end(), [](const Edge& l, const Edge& r) { return l.y0 < r.y0; });
  std::vector<const Edge*> active;
  std::vector<std::pair<int, int>> xs;  // (pixel x of the crossing, direction)
  std::size_t next = 0;
  for (int y = yLo; y < yHi; ++y) {
    while (next < edges.size() && edges[next].y0 <= y) active.push_back(&edges[next++]);
    std::erase_if(active, [y](const Edge* e) { return e->y1 <= y; });
    xs.clear();
    for (const Edge* e : active) {
      // First pixel whose centre lies at or right of the edge's crossing with row centre y + 0.5.
      const long long d = e->y1 - e->y0;
      const long long num = (2LL * (y - e->y0) + 1) * (e->x1 - e->x0) + (2LL * e->x0 - 1) * d;
      const long long x = -FloorDiv(-num, 2 * d);
      xs.emplace_back(static_cast<int>(x), e->dir);
    }
    std::sort(xs.begin(), xs.end());
    if (!winding) {
      for (std::size_t i = 0; i + 1 < xs.size(); i += 2)
        if (xs[i].first < xs[i + 1].first) span(y, xs[i].first, xs[i + 1].first);
    } else {
      int count = 0;
      int start = 0;
      for (const auto& [x, dir] : xs) {
        const int before = count;
        count += dir;
        if (before == 0 && count != 0) start = x;
        if (before != 0 && count == 0 && start < x) span(y, start, x);
      }
    }
  }
}

struct PointF {
  double x, y;
};

/// Nonzero-winding scan of a polygon with real vertices over rows
/// [yLo, yHi); pixel centres decide, as ScanPolygon.
template <typename SpanFn>
void ScanPolygonF(std::span<const PointF> pts, int yLo, int yHi, SpanFn&& span) {
  const std::size_t n = pts.size();
  if (n < 3) return;
  double minY = pts[0].y, maxY = pts[0].y;
  for (const PointF& p : pts) {
    minY = std::min(minY, p.y);
    maxY = std::max(maxY, p.y);
  }
  yLo = std::max(yLo, static_cast<int>(std::floor(std::max(minY, -1e9))) - 1);
  yHi = std::min(yHi, static_cast<int>(std::ceil(std::min(maxY, 1e9))) + 1);
  std::vector<std::pair<int, int>> xs;
  for (int y = yLo; y < yHi; ++y) {
    const double yc = y + 0.5;
    xs.clear();
    for (std::size_t i = 0; i < n; ++i) {
      const PointF& a = pts[i];
      const PointF& b = pts[(i + 1) % n];
      if (a.y == b.y) continue;
      const bool down = a.y < b.y;
      const double y0 = down ? a.y : b.y, y1 = down ? b.y : a.y;
      if (yc < y0 || yc >= y1) continue;
      const double xc = a.x + (yc - a.y) * (b.x - a.x) / (b.y - a.y);
      xs.emplace_back(static_cast<int>(std::ceil(xc - 0.5)), down ? 1 : -1);
    }
    std::sort(xs.begin(), xs.end());
    int count = 0, start = 0;
    for (const auto& [x, dir] : xs) {
      const int before = count;
      count += dir;
      if (before == 0 && count != 0) start = x;
      if (before != 0 && count == 0 && start < x) span(y, start, x);
    }
  }
}

/// Pixel rows of the ellipse inscribed in BOX (pixel centres inside it;
/// every row of the box holds at least its middle pixel or two).
/// Only rows [rowLo, rowHi) (inside the box) are computed: rows[i] is the
/// [x0, x1) run of row rowLo + i.
void EllipseRows(const Rect& box, int rowLo, int rowHi, std::vector<std::pair<int, int>>& rows);

}  // namespace raster
}  // namespace plat
