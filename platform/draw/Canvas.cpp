// Canvas state, clipping, spans, pixels and lines.
#include "platform/draw/Canvas.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "platform/Rounding.h"
#include "platform/draw/Raster_p.h"

namespace plat {

int Palette::NearestIndex(Pixel rgb) const {
  int best = 0;
  long long bestDistance = std::numeric_limits<long long>::max();
  for (int i = 0; i < 256; ++i) {
    const long long dr = RedOf(entries[i]) - RedOf(rgb), dg = GreenOf(entries[i]) - GreenOf(rgb),
                    db = BlueOf(entries[i]) - BlueOf(rgb);
    const long long d = dr * dr + dg * dg + db * db;
    if (d < bestDistance) {
      bestDistance = d;
      best = i;
    }
  }
  return best;
}

std::array<std::uint8_t, 8> HatchBits(HatchStyle h) {
  std::array<std::uint8_t, 8> b{};
  for (int r = 0; r < 8; ++r) {
    const std::uint8_t horizontal = r == 3 ? 0xFF : 0, vertical = 0x10;
    const std::uint8_t forward = static_cast<std::uint8_t>(0x80u >> r);
    const std::uint8_t backward = static_cast<std::uint8_t>(0x01u << r);
    switch (h) {
      case HatchStyle::Horizontal:
        b[r] = horizontal;
        break;
      case HatchStyle::Vertical:
        b[r] = vertical;
        break;
      case HatchStyle::ForwardDiagonal:
        b[r] = forward;
        break;
      case HatchStyle::BackwardDiagonal:
        b[r] = backward;
        break;
      case HatchStyle::Cross:
        b[r] = horizontal | vertical;
        break;
      case HatchStyle::DiagonalCross:
        b[r] = forward | backward;
        break;
    }
  }
  return b;
}

Canvas::Canvas(Surface& target, Point origin) : Canvas(target, origin, target.Bounds()) {}

Canvas::Canvas(Surface& target, Point origin, Rect clip)
    : surface_(&target), origin_(origin), clip_(clip) {
  SetPen(Pen{});
  UpdateClip();
}

void Canvas::SetClipRegion(const Region& region) {
  region_ = region;
  UpdateClip();
}

void Canvas::ClearClipRegion() {
  region_.reset();
  UpdateClip();
}

Region Canvas::ClipRegion() const {
  Region r;
  for (const Rect& c : clipRects_) r.Add(c.Offset(-origin_.x, -origin_.y));
  return r;
}

void Canvas::UpdateClip() {
  Rect base = clip_.Offset(origin_.x, origin_.y).Intersect(surface_->Bounds());
  Region effective(base);
  if (region_) {
    Region moved = *region_;
    moved.Offset(origin_.x, origin_.y);
    effective.Intersect(moved);
  }
  clipRects_ = effective.Rects();
  clipBounds_ = effective.Bounds();
  clipIsRect_ = clipRects_.size() <= 1;
}

Point Canvas::ToSurface(Point p) const {
  auto one = [](int v, int o) {
    const long long limit = raster::kCoordLimit;
    return static_cast<int>(std::clamp(static_cast<long long>(v) + o, -limit, limit));
  };
  return {one(p.x, origin_.x), one(p.y, origin_.y)};
}

Rect Canvas::ToSurface(const Rect& r) const {
  const Point a = ToSurface(Point{r.left, r.top}), b = ToSurface(Point{r.right, r.bottom});
  return {a.x, a.y, b.x, b.y};
}

bool Canvas::InClip(int x, int y) const {
  if (!clipBounds_.Contains({x, y})) return false;
  if (clipIsRect_) return true;
  for (const Rect& r : clipRects_) {
    if (r.top > y) break;
    if (r.Contains({x, y})) return true;
  }
  return false;
}

Pixel Canvas::Resolve(Pixel c) const {
  if (IsPaletteIndex(c)) return palette_ ? palette_->entries[c & 0xFF] & 0x00FFFFFFu : 0;
  return c & 0x00FFFFFFu;
}

void Canvas::SetPen(const Pen& pen) {
  pen_ = pen;
  pen_.width = std::clamp(pen_.width, 1, 1 << 20);  // wider is wider than any surface
  dash_.clear();
  const int unit = pen_.width;
  switch (pen_.style) {
    case PenStyle::Dash:
      dash_ = {18, 6};
      break;
    case PenStyle::Dot:
      dash_ = {3, 3};
      break;
    case PenStyle::DashDot:
      dash_ = {9, 6, 3, 6};
      break;
    case PenStyle::DashDotDot:
      dash_ = {9, 3, 3, 3, 3, 3};
      break;
    case PenStyle::User:
      for (int d : pen_.dashes) dash_.push_back(std::clamp(d, 1, 1 << 20));
      if (dash_.size() % 2) dash_.push_back(dash_.back());  // odd lists repeat as pairs
      break;
    default:
      break;
  }
  if (pen_.style != PenStyle::User)
    for (int& d : dash_) d *= unit;
  dashPeriod_ = 0;
  for (int d : dash_) dashPeriod_ += d;
  styleDistance_ = 0;
}

bool Canvas::DashOn(long long distance) const {
  if (dash_.empty()) return true;
  long long pos = distance % dashPeriod_;
  if (pos < 0) pos += dashPeriod_;
  for (std::size_t i = 0; i < dash_.size(); ++i) {
    if (pos < dash_[i]) return i % 2 == 0;
    pos -= dash_[i];
  }
  return true;
}

Canvas::Paint Canvas::PenPaint() const {
  Paint p;
  p.fg = Resolve(pen_.colour);
  p.rop = rop_;
  return p;
}

Canvas::Paint Canvas::BrushPaint(const Brush& b) const {
  Paint p;
  p.rop = rop_;
  p.fg = Resolve(b.colour);
  p.ox = origin_.x;
  p.oy = origin_.y;
  switch (b.kind) {
    case Brush::Kind::Null:
    case Brush::Kind::Solid:
      break;
    case Brush::Kind::Hatch:
      p.pattern = true;
      p.bits = HatchBits(b.hatch);
      p.bg = Resolve(bkColour_);
      p.transparentBg = bkMode_ == BkMode::Transparent;
      break;
    case Brush::Kind::Pattern:
      p.pattern = true;
      p.bits = b.pattern;
      p.bg = Resolve(b.background);
      break;
  }
  return p;
}

void Canvas::Span(int y, int x0, int x1, const Paint& paint) {
  if (y < clipBounds_.top || y >= clipBounds_.bottom) return;
  Pixel* row = surface_->Row(y);
  if (clipIsRect_) {
    x0 = std::max(x0, clipBounds_.left);
    x1 = std::min(x1, clipBounds_.right);
    if (x0 < x1) PaintRow(row, y, x0, x1, paint);
    return;
  }
  for (const Rect& r : clipRects_) {
    if (r.top > y) break;
    if (r.bottom <= y) continue;
    const int a = std::max(x0, r.left), b = std::min(x1, r.right);
    if (a < b) PaintRow(row, y, a, b, paint);
  }
}

void Canvas::Plot(int x, int y, const Paint& paint) {
  if (InClip(x, y)) PaintRow(surface_->Row(y), y, x, x + 1, paint);
}

void Canvas::SetPixel(Point p, Pixel colour) {
  const auto [x, y] = ToSurface(p);
  if (InClip(x, y)) surface_->Row(y)[x] = Resolve(colour);
}

std::optional<Pixel> Canvas::GetPixel(Point p) const {
  const auto [x, y] = ToSurface(p);
  if (!InClip(x, y)) return std::nullopt;
  return surface_->Row(y)[x];
}

void Canvas::FillRect(const Rect& r, const Brush& brush) {
  if (brush.kind == Brush::Kind::Null) return;
  Paint p = BrushPaint(brush);
  p.rop = Rop2::CopyPen;
  const Rect s = ToSurface(r).Intersect(clipBounds_);
  for (int y = s.top; y < s.bottom; ++y) Span(y, s.left, s.right, p);
}

// ---- Lines ----

namespace {

// Solid one-pixel line wholly inside the surface: row pointers, no tests.
template <typename Op>
void FastLine(Pixel* p, std::ptrdiff_t stepMajor, std::ptrdiff_t stepMinor, long long major,
              long long minor, Op op) {
  long long e = 2 * minor - major;
  for (long long i = 0; i < major; ++i) {
    op(*p);
    if (e > 0) {
      p += stepMinor;
      e -= 2 * major;
    }
    e += 2 * minor;
    p += stepMajor;
  }
}

}  // namespace

// A one-pixel line in surface coordinates, B excluded. PAINT draws the dash
// pixels, GAP (when given) the gaps between them.
void Canvas::ThinLine(Point a, Point b, const Paint& paint, const Paint* gap) {
  const long long steps = std::max(std::llabs(static_cast<long long>(b.x) - a.x),
                                   std::llabs(static_cast<long long>(b.y) - a.y));
  if (dash_.empty()) {
    const bool inside = clipIsRect_ && clipBounds_.Contains(a) && clipBounds_.Contains(b);
    if (inside && !paint.pattern) {
      const long long dx = static_cast<long long>(b.x) - a.x,
                      dy = static_cast<long long>(b.y) - a.y;
      const std::ptrdiff_t stride = surface_->Width();
      const std::ptrdiff_t sx = dx < 0 ? -1 : 1, sy = dy < 0 ? -stride : stride;
      const long long adx = std::llabs(dx), ady = std::llabs(dy);
      Pixel* start = surface_->Row(a.y) + a.x;
      const Pixel c = paint.fg;
      auto run = [&](auto op) {
        if (adx >= ady)
          FastLine(start, sx, sy, adx, ady, op);
        else
          FastLine(start, sy, sx, ady, adx, op);
      };
      switch (paint.rop) {
        case Rop2::CopyPen:
          run([c](Pixel& d) { d = c; });
          break;
        case Rop2::XorPen:
          run([c](Pixel& d) { d ^= c; });
          break;
        default: {
          const Rop2 rop = paint.rop;
          run([c, rop](Pixel& d) { d = ApplyRop2(rop, c, d); });
        }
      }
      return;
    }
    raster::WalkLine(a, b, clipBounds_, [&](int x, int y, long long) { Plot(x, y, paint); });
    return;
  }
  const long long base = styleDistance_;
  raster::WalkLine(a, b, clipBounds_, [&](int x, int y, long long i) {
    if (DashOn(base + i))
      Plot(x, y, paint);
    else if (gap)
      Plot(x, y, *gap);
  });
  styleDistance_ = base + steps;
}

void Canvas::MoveTo(Point p) {
  pos_ = p;
  styleDistance_ = 0;
}

void Canvas::LineTo(Point p) {
  const Point from = pos_;
  pos_ = p;
  if (pen_.style == PenStyle::Null) return;
  if (pen_.width <= 1) {
    const Paint paint = PenPaint();
    Paint gap = paint;
    gap.fg = Resolve(bkColour_);
    ThinLine(ToSurface(from), ToSurface(p), paint, bkMode_ == BkMode::Opaque ? &gap : nullptr);
    return;
  }
  const Point pts[2] = {from, p};
  StrokePolyline(pts, false, nullptr);
}

void Canvas::Segments(std::span<const Point> points, std::optional<Pixel> end) {
  if (points.empty()) return;
  if (pen_.style == PenStyle::Null || pen_.width > 1 || !dash_.empty()) {
    for (std::size_t i = 1; i < points.size(); ++i) {
      MoveTo(points[i - 1]);
      LineTo(points[i]);
      if (end) SetPixel(points[i], *end);
    }
    if (points.size() == 1) MoveTo(points[0]);
    return;
  }
  // A solid one-pixel pen: no dash position to carry, one paint for all.
  const Paint paint = PenPaint();
  const Pixel endPixel = end ? Resolve(*end) : 0;
  Point a = ToSurface(points[0]);
  for (std::size_t i = 1; i < points.size(); ++i) {
    const Point b = ToSurface(points[i]);
    ThinLine(a, b, paint, nullptr);
    if (end && InClip(b.x, b.y)) surface_->Row(b.y)[b.x] = endPixel;
    a = b;
  }
  pos_ = points.back();
  styleDistance_ = 0;
}

void Canvas::Polyline(std::span<const Point> points) {
  if (points.size() < 2 || pen_.style == PenStyle::Null) return;
  styleDistance_ = 0;
  if (pen_.width > 1) {
    StrokePolyline(points, false, nullptr);
    return;
  }
  const Paint paint = PenPaint();
  Paint gap = paint;
  gap.fg = Resolve(bkColour_);
  const Paint* gapPaint = bkMode_ == BkMode::Opaque ? &gap : nullptr;
  // Where segments cross or retrace, a pixel must still be changed once: with
  // an operation that differs when repeated (exclusive-or, invert), or with
  // gaps that a later dash would overwrite, the path goes through a mask.
  const bool repeatSafe = ApplyRop2(rop_, 0xF0F0F0, ApplyRop2(rop_, 0xF0F0F0, 0xCCCCCC)) ==
                          ApplyRop2(rop_, 0xF0F0F0, 0xCCCCCC);
  if (points.size() > 2 && (!repeatSafe || (gapPaint && !dash_.empty()))) {
    Rect box;
    for (const Point& p : points) {
      const auto [x, y] = ToSurface(p);
      box = box.Union({x, y, x + 1, y + 1});
    }
    Mask mask(box.Intersect(clipBounds_));
    if (mask.Box().Empty()) return;
    OutlineInto(mask, points, false);
    ApplyMask(mask, nullptr, gapPaint, &paint);
    return;
  }
  Point prev = ToSurface(points[0]);
  for (std::size_t i = 1; i < points.size(); ++i) {
    const Point next = ToSurface(points[i]);
    ThinLine(prev, next, paint, gapPaint);
    prev = next;
  }
}

// Strokes a wide pen along canvas points POINTS (closed: back to the first)
// with square caps at the ends of every dash and bevel joins inside it. The
// coverage goes into INTO when given, else it is painted here.
void Canvas::StrokePolyline(std::span<const Point> canvasPoints, bool closed, Mask* into) {
  using raster::PointF;
  std::vector<PointF> path;
  path.reserve(canvasPoints.size() + 1);
  for (const Point& p : canvasPoints) {
    const Point sp = ToSurface(p);
    const PointF q{sp.x + 0.5, sp.y + 0.5};
    if (path.empty() || q.x != path.back().x || q.y != path.back().y) path.push_back(q);
  }
  if (closed && path.size() > 2) path.push_back(path.front());
  const double half = pen_.width / 2.0;

  Rect box;
  for (const PointF& p : path) {
    const int x = static_cast<int>(std::floor(std::clamp(p.x, -1e9, 1e9)));
    const int y = static_cast<int>(std::floor(std::clamp(p.y, -1e9, 1e9)));
    box =
        box.Union({x - pen_.width - 1, y - pen_.width - 1, x + pen_.width + 2, y + pen_.width + 2});
  }
  std::optional<Mask> own;
  Mask* mask = into;
  if (!mask) {
    own.emplace(box.Intersect(clipBounds_));
    mask = &*own;
  }
  const Rect mb = mask->Box();
  if (mb.Empty()) return;

  auto fill = [&](std::span<const PointF> poly) {
    raster::ScanPolygonF(poly, mb.top, mb.bottom,
                         [&](int y, int x0, int x1) { mask->MarkSpan(y, x0, x1, Mask::kPen); });
  };
  // One stroked piece: a sub-path with caps (unless it closes on itself).
  auto piece = [&](const std::vector<PointF>& sub, bool capped) {
    if (sub.size() == 1 || (sub.size() == 2 && sub[0].x == sub[1].x && sub[0].y == sub[1].y)) {
      const PointF c = sub[0];
      const PointF sq[4] = {{c.x - half, c.y - half},
                            {c.x + half, c.y - half},
                            {c.x + half, c.y + half},
                            {c.x - half, c.y + half}};
      fill(sq);
      return;
    }
    for (std::size_t i = 0; i + 1 < sub.size(); ++i) {
      PointF a = sub[i], b = sub[i + 1];
      const double len = std::hypot(b.x - a.x, b.y - a.y);
      if (len == 0) continue;
      const double ux = (b.x - a.x) / len, uy = (b.y - a.y) / len;
      const double nx = -uy * half, ny = ux * half;
      if (capped && i == 0) a = {a.x - ux * half, a.y - uy * half};
      if (capped && i + 2 == sub.size()) b = {b.x + ux * half, b.y + uy * half};
      const PointF quad[4] = {
          {a.x + nx, a.y + ny}, {b.x + nx, b.y + ny}, {b.x - nx, b.y - ny}, {a.x - nx, a.y - ny}};
      fill(quad);
    }
    // Bevel joins: at the inner vertices of an open piece; at every vertex
    // of a closed one (its last point repeats the first).
    const std::size_t n = sub.size();
    const std::size_t first = capped ? 1 : 0, last = n - 1;  // joins at [first, last)
    for (std::size_t i = first; i < last; ++i) {
      const PointF v = sub[i], p = sub[i == 0 ? n - 2 : i - 1], q = sub[i + 1];
      const double l1 = std::hypot(v.x - p.x, v.y - p.y), l2 = std::hypot(q.x - v.x, q.y - v.y);
      if (l1 == 0 || l2 == 0) continue;
      const double n1x = -(v.y - p.y) / l1 * half, n1y = (v.x - p.x) / l1 * half;
      const double n2x = -(q.y - v.y) / l2 * half, n2y = (q.x - v.x) / l2 * half;
      const PointF t1[3] = {v, {v.x + n1x, v.y + n1y}, {v.x + n2x, v.y + n2y}};
      const PointF t2[3] = {v, {v.x - n2x, v.y - n2y}, {v.x - n1x, v.y - n1y}};
      fill(t1);
      fill(t2);
    }
  };

  if (dash_.empty()) {
    piece(path, !(closed && path.size() > 2));
  } else {
    // Walk the path, cutting it into dashes. Only the part of each segment
    // near the mask is cut; elsewhere the pattern position just advances.
    std::vector<PointF> sub;
    double distance = static_cast<double>(styleDistance_);
    const double margin = half + 2;
    const double bx0 = mb.left - margin, by0 = mb.top - margin, bx1 = mb.right + margin,
                 by1 = mb.bottom + margin;
    auto flush = [&] {
      if (!sub.empty()) piece(sub, true);
      sub.clear();
    };
    for (std::size_t i = 0; i + 1 < path.size(); ++i) {
      const PointF a = path[i], b = path[i + 1];
      const double len = std::hypot(b.x - a.x, b.y - a.y);
      if (len == 0) continue;
      // Liang-Barsky: the stretch [near, far] of the segment inside the widened mask box.
      double near = 0, far = len;
      const double ux = (b.x - a.x) / len, uy = (b.y - a.y) / len;
      auto limit = [&](double p, double q) {  // p * t <= q
        if (p == 0) {
          if (q < 0) far = -1;
          return;
        }
        const double r = q / p;
        if (p < 0)
          near = std::max(near, r);
        else
          far = std::min(far, r);
      };
      limit(-ux, a.x - bx0);
      limit(ux, bx1 - a.x);
      limit(-uy, a.y - by0);
      limit(uy, by1 - a.y);
      if (near >= far) {
        flush();
        distance += len;
        continue;
      }
      double t = 0;
      if (near > 0) {
        flush();
        t = near;
        distance += near;
      }
      while (t < far) {
        // Position within the pattern and the length left in the current entry.
        double pos = std::fmod(distance, static_cast<double>(dashPeriod_));
        std::size_t k = 0;
        while (k + 1 < dash_.size() && pos >= dash_[k]) pos -= dash_[k++];
        const double left = std::max(dash_[k] - pos, 1e-9);
        const double step = std::min(left, far - t);
        const PointF p0{a.x + ux * t, a.y + uy * t};
        const PointF p1{a.x + ux * (t + step), a.y + uy * (t + step)};
        if (k % 2 == 0) {
          if (sub.empty()) sub.push_back(p0);
          sub.push_back(p1);
        } else {
          flush();
        }
        t += step;
        distance += step;
      }
      if (far < len) {
        flush();
        distance += len - far;
      }
    }
    flush();
    styleDistance_ = NearestInt64(distance);
  }

  if (!into) {
    const Paint pen = PenPaint();
    ApplyMask(*mask, nullptr, nullptr, &pen);
  }
}

}  // namespace plat
