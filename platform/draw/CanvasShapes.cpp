// Filled and outlined shapes: polygons, rectangles, the ellipse family,
// flood fill and gradients.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "platform/draw/Canvas.h"
#include "platform/draw/Raster_p.h"

namespace plat {

namespace raster {

void EllipseRows(const Rect& box, int rowLo, int rowHi, std::vector<std::pair<int, int>>& rows) {
  rows.clear();
  const double cx = (static_cast<double>(box.left) + box.right) / 2.0;
  const double cy = (static_cast<double>(box.top) + box.bottom) / 2.0;
  const double a = box.Width() / 2.0, b = box.Height() / 2.0;
  for (int y = rowLo; y < rowHi; ++y) {
    const double dy = (y + 0.5 - cy) / b;
    const double hw = a * std::sqrt(std::max(0.0, 1.0 - dy * dy));
    int x0 = static_cast<int>(std::ceil(cx - hw - 0.5 - 1e-9));
    int x1 = static_cast<int>(std::floor(cx + hw - 0.5 + 1e-9)) + 1;
    if (x0 >= x1) {  // a row near the top or bottom: its middle pixel(s)
      x0 = static_cast<int>(std::floor(cx - 0.5));
      x1 = static_cast<int>(std::ceil(cx - 0.5)) + 1;
    }
    rows.emplace_back(std::max(x0, box.left), std::min(x1, box.right));
  }
}

}  // namespace raster

namespace {

Rect Normalised(const Rect& r) {
  return {std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right),
          std::max(r.top, r.bottom)};
}

Rect Inflated(const Rect& r, int d) { return {r.left - d, r.top - d, r.right + d, r.bottom + d}; }

enum ShapeKind { kEllipse = 1, kPie = 2, kChord = 3, kArc = 4 };

}  // namespace

void Canvas::ApplyMask(const Mask& mask, const Paint* fill, const Paint* gap, const Paint* pen) {
  const Rect b = mask.Box();
  const Paint* paints[4] = {nullptr, fill, gap, pen};
  for (int y = b.top; y < b.bottom; ++y) {
    const std::uint8_t* row = mask.Row(y);
    const int w = b.Width();
    for (int i = 0; i < w;) {
      const std::uint8_t v = row[i];
      int j = i + 1;
      while (j < w && row[j] == v) ++j;
      if (v != Mask::kNone && v < 4 && paints[v]) Span(y, b.left + i, b.left + j, *paints[v]);
      i = j;
    }
  }
}

// The pen along the path CANVASPOINTS (back to its start when CLOSED) into
// MASK; the dash pattern continues from the canvas's style position.
void Canvas::OutlineInto(Mask& mask, std::span<const Point> canvasPoints, bool closed) {
  if (pen_.style == PenStyle::Null || canvasPoints.empty()) return;
  if (pen_.width > 1) {
    StrokePolyline(canvasPoints, closed, &mask);
    return;
  }
  const bool opaque = bkMode_ == BkMode::Opaque;
  long long distance = styleDistance_;
  const std::size_t n = canvasPoints.size();
  for (std::size_t i = 0; i < (closed ? n : n - 1); ++i) {
    const Point a{canvasPoints[i].x + origin_.x, canvasPoints[i].y + origin_.y};
    const Point b{canvasPoints[(i + 1) % n].x + origin_.x, canvasPoints[(i + 1) % n].y + origin_.y};
    if (n == 1) {
      mask.Mark(a.x, a.y, Mask::kPen);
      break;
    }
    raster::WalkLine(a, b, mask.Box(), [&](int x, int y, long long k) {
      if (DashOn(distance + k))
        mask.Mark(x, y, Mask::kPen);
      else if (opaque)
        mask.Mark(x, y, Mask::kGap);
    });
    distance += std::max(std::llabs(static_cast<long long>(b.x) - a.x),
                         std::llabs(static_cast<long long>(b.y) - a.y));
  }
  styleDistance_ = distance;
}

void Canvas::Polygon(std::span<const Point> points) {
  if (points.size() < 2) return;
  const bool hasPen = pen_.style != PenStyle::Null;
  const bool hasBrush = brush_.kind != Brush::Kind::Null;
  if (!hasPen && !hasBrush) return;
  scratch_.clear();
  Rect box;
  for (const Point& p : points) {
    const Point s{raster::ClampCoord(p.x + origin_.x), raster::ClampCoord(p.y + origin_.y)};
    scratch_.push_back(s);
    box = box.Union({s.x, s.y, s.x + 1, s.y + 1});
  }
  const bool winding = fillMode_ == FillMode::Winding;
  const Paint fill = BrushPaint(brush_);
  if (!hasPen) {
    raster::ScanPolygon(scratch_, winding, clipBounds_.top, clipBounds_.bottom,
                        [&](int y, int x0, int x1) { Span(y, x0, x1, fill); });
    return;
  }
  Mask mask(Inflated(box, pen_.width + 1).Intersect(clipBounds_));
  if (mask.Box().Empty()) return;
  if (hasBrush)
    raster::ScanPolygon(scratch_, winding, mask.Box().top, mask.Box().bottom,
                        [&](int y, int x0, int x1) { mask.MarkSpan(y, x0, x1, Mask::kFill); });
  const std::vector<Point> outline(points.begin(), points.end());
  styleDistance_ = 0;
  OutlineInto(mask, outline, true);
  Paint gap = PenPaint(), pen = PenPaint();
  gap.fg = Resolve(bkColour_);
  ApplyMask(mask, hasBrush ? &fill : nullptr, &gap, &pen);
}

void Canvas::Rectangle(const Rect& boxIn) {
  const Rect box = Normalised(boxIn).Offset(origin_.x, origin_.y);
  const bool hasBrush = brush_.kind != Brush::Kind::Null;
  const Paint fill = BrushPaint(brush_);
  if (pen_.style == PenStyle::Null) {
    if (!hasBrush) return;
    const Rect r = Rect{box.left, box.top, box.right - 1, box.bottom - 1}.Intersect(clipBounds_);
    for (int y = r.top; y < r.bottom; ++y) Span(y, r.left, r.right, fill);
    return;
  }
  if (box.Empty()) return;
  const Paint pen = PenPaint();
  if (pen_.style == PenStyle::Solid) {
    // The outline lies inside the box, PEN pixels thick.
    const int w = pen_.width;
    const Rect r = box.Intersect(clipBounds_);
    for (int y = r.top; y < r.bottom; ++y) {
      if (y < box.top + w || y >= box.bottom - w || box.Width() <= 2 * w) {
        Span(y, box.left, box.right, pen);
        continue;
      }
      Span(y, box.left, box.left + w, pen);
      if (hasBrush) Span(y, box.left + w, box.right - w, fill);
      Span(y, box.right - w, box.right, pen);
    }
    return;
  }
  // Styled pen: dashes along the one-pixel border path.
  Mask mask(Inflated(box, pen_.width + 1).Intersect(clipBounds_));
  if (mask.Box().Empty()) return;
  if (hasBrush)
    for (int y = box.top + 1; y < box.bottom - 1; ++y)
      mask.MarkSpan(y, box.left + 1, box.right - 1, Mask::kFill);
  const Rect c = boxIn.Offset(0, 0);
  const Rect n = Normalised(c);
  const Point path[4] = {{n.left, n.top}, {n.right - 1, n.top}, {n.right - 1, n.bottom - 1},
                         {n.left, n.bottom - 1}};
  styleDistance_ = 0;
  OutlineInto(mask, path, true);
  Paint gap = pen;
  gap.fg = Resolve(bkColour_);
  ApplyMask(mask, hasBrush ? &fill : nullptr, &gap, &pen);
}

void Canvas::Ellipse(const Rect& box) { EllipticShape(box, kEllipse, {}, {}); }
void Canvas::Arc(const Rect& box, Point start, Point end) { EllipticShape(box, kArc, start, end); }
void Canvas::Pie(const Rect& box, Point start, Point end) { EllipticShape(box, kPie, start, end); }
void Canvas::Chord(const Rect& box, Point start, Point end) {
  EllipticShape(box, kChord, start, end);
}

// Ellipses, arcs, pies and chords. The shape is the set S of pixels whose
// centres lie in the ellipse (cut by the sector or the chord); the outline is
// the part of S within the pen width of its edge (4-neighbour erosion), the
// fill the rest. Styled pens draw these outlines solid.
void Canvas::EllipticShape(const Rect& boxIn, int kind, Point start, Point end) {
  const bool hasPen = pen_.style != PenStyle::Null;
  const bool hasBrush = brush_.kind != Brush::Kind::Null && kind != kArc;
  if (!hasPen && (kind == kArc || !hasBrush)) return;
  Rect box = Normalised(boxIn).Offset(origin_.x, origin_.y);
  if (!hasPen) {
    box.right -= 1;
    box.bottom -= 1;
  }
  if (box.Empty()) return;
  const int w = hasPen ? pen_.width : 0;
  Mask mask(box.Intersect(Inflated(clipBounds_, w + 1)));
  const Rect mb = mask.Box();
  if (mb.Empty()) return;

  const double cx = (static_cast<double>(box.left) + box.right) / 2.0;
  const double cy = (static_cast<double>(box.top) + box.bottom) / 2.0;
  const double ra = box.Width() / 2.0, rb = box.Height() / 2.0;
  // Radials in y-up coordinates relative to the centre.
  const double sx = start.x + origin_.x + 0.5 - cx, sy = -(start.y + origin_.y + 0.5 - cy);
  const double ex = end.x + origin_.x + 0.5 - cx, ey = -(end.y + origin_.y + 0.5 - cy);
  constexpr double kTwoPi = 2 * std::numbers::pi;
  const double a0 = std::atan2(sy, sx);
  double sweep = std::atan2(ey, ex) - a0;
  while (sweep <= 1e-12) sweep += kTwoPi;
  const bool full = std::abs(sweep - kTwoPi) < 1e-12 || (sx == ex && sy == ey);
  auto inSector = [&](double px, double py) {
    if (full || (px == 0 && py == 0)) return true;
    double d = std::atan2(py, px) - a0;
    while (d < 0) d += kTwoPi;
    while (d >= kTwoPi) d -= kTwoPi;
    return d <= sweep + 1e-12;
  };
  // Chord ends: where the radials meet the ellipse.
  auto onEllipse = [&](double vx, double vy) {
    const double q = std::hypot(vx / ra, vy / rb);
    return q > 0 ? raster::PointF{vx / q, vy / q} : raster::PointF{ra, 0};
  };
  const raster::PointF ps = onEllipse(sx, sy), pe = onEllipse(ex, ey);
  auto onArcSide = [&](double px, double py) {
    if (full) return true;
    const double cross = (pe.x - ps.x) * (py - ps.y) - (pe.y - ps.y) * (px - ps.x);
    return cross <= 1e-9;
  };

  std::vector<std::pair<int, int>> rows;
  raster::EllipseRows(box, mb.top, mb.bottom, rows);
  for (int y = mb.top; y < mb.bottom; ++y) {
    const auto [x0, x1] = rows[static_cast<std::size_t>(y - mb.top)];
    const double py = -(y + 0.5 - cy);
    for (int x = std::max(x0, mb.left); x < std::min(x1, mb.right); ++x) {
      const double px = x + 0.5 - cx;
      const bool in = kind == kPie ? inSector(px, py) : kind == kChord ? onArcSide(px, py) : true;
      if (in) mask.Ref(x, y) = Mask::kFill;
    }
  }
  // Erode W times; each pass turns the fill pixels touching the outside
  // (or the outline of earlier passes) into outline.
  constexpr std::uint8_t kNew = 5;
  for (int pass = 0; pass < w; ++pass) {
    for (int y = mb.top; y < mb.bottom; ++y)
      for (int x = mb.left; x < mb.right; ++x) {
        if (mask.At(x, y) != Mask::kFill) continue;
        auto outside = [&](int nx, int ny) {
          if (!mask.Inside(nx, ny)) return true;
          const std::uint8_t v = mask.At(nx, ny);
          return v == Mask::kNone || v == Mask::kPen;
        };
        if (outside(x - 1, y) || outside(x + 1, y) || outside(x, y - 1) || outside(x, y + 1))
          mask.Ref(x, y) = kNew;
      }
    for (int y = mb.top; y < mb.bottom; ++y)
      for (int x = mb.left; x < mb.right; ++x)
        if (mask.At(x, y) == kNew) mask.Ref(x, y) = Mask::kPen;
  }
  if (kind == kArc) {
    for (int y = mb.top; y < mb.bottom; ++y)
      for (int x = mb.left; x < mb.right; ++x) {
        std::uint8_t& v = mask.Ref(x, y);
        if (v == Mask::kPen && !inSector(x + 0.5 - cx, -(y + 0.5 - cy))) v = Mask::kNone;
        if (v == Mask::kFill) v = Mask::kNone;
      }
  }
  const Paint fill = BrushPaint(brush_), pen = PenPaint();
  ApplyMask(mask, hasBrush ? &fill : nullptr, nullptr, hasPen ? &pen : nullptr);
}

bool Canvas::FloodFill(Point p, Pixel colourIn, FloodFillType type) {
  const int sx = p.x + origin_.x, sy = p.y + origin_.y;
  if (!InClip(sx, sy) || brush_.kind == Brush::Kind::Null) return false;
  const Pixel colour = Resolve(colourIn);
  auto fillable = [&](int x, int y) {
    const Pixel c = surface_->Row(y)[x];
    return type == FloodFillType::Border ? c != colour : c == colour;
  };
  if (!fillable(sx, sy)) return false;
  Mask mask(clipBounds_);
  std::vector<Point> stack{{sx, sy}};
  while (!stack.empty()) {
    const Point q = stack.back();
    stack.pop_back();
    if (mask.At(q.x, q.y) != Mask::kNone) continue;
    // Extend along the row, then queue the rows above and below.
    int l = q.x, r = q.x;
    while (l - 1 >= clipBounds_.left && mask.At(l - 1, q.y) == Mask::kNone &&
           InClip(l - 1, q.y) && fillable(l - 1, q.y))
      --l;
    while (r + 1 < clipBounds_.right && mask.At(r + 1, q.y) == Mask::kNone &&
           InClip(r + 1, q.y) && fillable(r + 1, q.y))
      ++r;
    mask.MarkSpan(q.y, l, r + 1, Mask::kFill);
    for (int ny : {q.y - 1, q.y + 1}) {
      if (ny < clipBounds_.top || ny >= clipBounds_.bottom) continue;
      bool inRun = false;
      for (int x = l; x <= r; ++x) {
        const bool ok = mask.At(x, ny) == Mask::kNone && InClip(x, ny) && fillable(x, ny);
        if (ok && !inRun) stack.push_back({x, ny});
        inRun = ok;
      }
    }
  }
  const Paint fill = BrushPaint(brush_);
  ApplyMask(mask, &fill, nullptr, nullptr);
  return true;
}

namespace {

Pixel Lerp(Pixel a, Pixel b, long long num, long long den) {
  auto ch = [&](int ca, int cb) {
    return static_cast<int>(ca + (static_cast<long long>(cb - ca) * num) / den);
  };
  return Rgb(ch(RedOf(a), RedOf(b)), ch(GreenOf(a), GreenOf(b)), ch(BlueOf(a), BlueOf(b)));
}

}  // namespace

void Canvas::GradientFillRect(const Rect& rIn, Pixel c0In, Pixel c1In, GradientDirection dir) {
  const Rect r = Normalised(rIn).Offset(origin_.x, origin_.y);
  const Pixel c0 = Resolve(c0In), c1 = Resolve(c1In);
  const Rect s = r.Intersect(clipBounds_);
  const long long den = std::max((dir == GradientDirection::Horizontal ? r.Width() : r.Height()) - 1, 1);
  Paint p;
  for (int y = s.top; y < s.bottom; ++y)
    for (int x = s.left; x < s.right; ++x) {
      if (!InClip(x, y)) continue;
      const long long i = dir == GradientDirection::Horizontal ? x - r.left : y - r.top;
      surface_->Row(y)[x] = Lerp(c0, c1, i, den);
    }
}

bool Canvas::GradientFillTriangles(std::span<const GradientVertex> vertices,
                                   std::span<const std::array<int, 3>> triangles) {
  for (const auto& t : triangles)
    for (int v : t)
      if (v < 0 || static_cast<std::size_t>(v) >= vertices.size()) return false;
  for (const auto& t : triangles) {
    Point pts[3];
    double px[3], py[3];
    int rgb[3][3];
    for (int k = 0; k < 3; ++k) {
      const GradientVertex& v = vertices[static_cast<std::size_t>(t[static_cast<std::size_t>(k)])];
      pts[k] = {v.x + origin_.x, v.y + origin_.y};
      px[k] = pts[k].x;
      py[k] = pts[k].y;
      const Pixel c = Resolve(v.colour);
      rgb[k][0] = RedOf(c);
      rgb[k][1] = GreenOf(c);
      rgb[k][2] = BlueOf(c);
    }
    const double det = (py[1] - py[2]) * (px[0] - px[2]) + (px[2] - px[1]) * (py[0] - py[2]);
    if (det == 0) continue;
    raster::ScanPolygon(pts, false, clipBounds_.top, clipBounds_.bottom, [&](int y, int x0, int x1) {
      for (int x = x0; x < x1; ++x) {
        if (!InClip(x, y)) continue;
        const double cxp = x + 0.5, cyp = y + 0.5;
        const double w0 = ((py[1] - py[2]) * (cxp - px[2]) + (px[2] - px[1]) * (cyp - py[2])) / det;
        const double w1 = ((py[2] - py[0]) * (cxp - px[2]) + (px[0] - px[2]) * (cyp - py[2])) / det;
        const double w2 = 1 - w0 - w1;
        int c[3];
        for (int k = 0; k < 3; ++k)
          c[k] = std::clamp(static_cast<int>(std::lround(w0 * rgb[0][k] + w1 * rgb[1][k] + w2 * rgb[2][k])), 0, 255);
        surface_->Row(y)[x] = Rgb(c[0], c[1], c[2]);
      }
    });
  }
  return true;
}

}  // namespace plat
