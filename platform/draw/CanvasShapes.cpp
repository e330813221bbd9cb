// Filled and outlined shapes: polygons, rectangles, the ellipse family,
// flood fill and gradients.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "platform/Rounding.h"
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

Rect Inflated(const Rect& r, int d) {
  return {r.left - d, r.top - d, r.right + d, r.bottom + d};
}

enum ShapeKind { kEllipse = 1, kPie = 2, kChord = 3, kArc = 4 };

// Four points going round a box of some width and height, each edge level
// or upright.
bool AxisRectangle(std::span<const Point> p) {
  if (p.size() != 4 || p[0].x == p[2].x || p[0].y == p[2].y) return false;
  const bool levelFirst =
      p[0].y == p[1].y && p[1].x == p[2].x && p[2].y == p[3].y && p[3].x == p[0].x;
  const bool uprightFirst =
      p[0].x == p[1].x && p[1].y == p[2].y && p[2].x == p[3].x && p[3].y == p[0].y;
  return levelFirst || uprightFirst;
}

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
    const Point a = ToSurface(canvasPoints[i]), b = ToSurface(canvasPoints[(i + 1) % n]);
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
    const Point s = ToSurface(p);
    scratch_.push_back(s);
    box = box.Union({s.x, s.y, s.x + 1, s.y + 1});
  }
  if (pen_.style == PenStyle::Solid && pen_.width == 1 && AxisRectangle(points)) {
    // Four corners joined by level and upright edges with a one-pixel solid
    // pen: the outline covers the box's border and the fill its inside,
    // every pixel painted once, exactly as the rectangle paints them.
    const Rect r{std::min(points[0].x, points[2].x), std::min(points[0].y, points[2].y),
                 std::max(points[0].x, points[2].x) + 1, std::max(points[0].y, points[2].y) + 1};
    const Point far = ToSurface(Point{r.right, r.bottom});
    if (far.x == box.right && far.y == box.bottom) {
      Rectangle(r);
      // Where the closed outline leaves the dash position.
      styleDistance_ = 2LL * (box.Width() - 1) + 2LL * (box.Height() - 1);
      return;
    }
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
  const Rect box = ToSurface(Normalised(boxIn));
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
  const Rect n = Normalised(boxIn);
  const Point path[4] = {
      {n.left, n.top}, {n.right - 1, n.top}, {n.right - 1, n.bottom - 1}, {n.left, n.bottom - 1}};
  styleDistance_ = 0;
  OutlineInto(mask, path, true);
  Paint gap = pen;
  gap.fg = Resolve(bkColour_);
  ApplyMask(mask, hasBrush ? &fill : nullptr, &gap, &pen);
}

void Canvas::Ellipse(const Rect& box) {
  EllipticShape(box, kEllipse, {}, {});
}
void Canvas::Arc(const Rect& box, Point start, Point end) {
  EllipticShape(box, kArc, start, end);
}
void Canvas::Pie(const Rect& box, Point start, Point end) {
  EllipticShape(box, kPie, start, end);
}
void Canvas::Chord(const Rect& box, Point start, Point end) {
  EllipticShape(box, kChord, start, end);
}

// Ellipses, arcs, pies and chords. The shape is the set S of pixels whose
// centres lie in the ellipse (and in the sector, or on the arc's side of the
// chord). A one-pixel outline is the part of S with a 4-neighbour outside
// S; a wider one is the part of S outside the ellipse shrunk by the pen
// width, or nearer to a radial or the chord than the pen width. The fill is
// the rest of S. Every test is local to its pixel, so only the clipped part
// of the shape is visited.
void Canvas::EllipticShape(const Rect& boxIn, int kind, Point start, Point end) {
  const bool hasPen = pen_.style != PenStyle::Null;
  const bool hasBrush = brush_.kind != Brush::Kind::Null && kind != kArc;
  if (!hasPen && (kind == kArc || !hasBrush)) return;
  Rect box = ToSurface(Normalised(boxIn));
  if (!hasPen) {
    box.right -= 1;
    box.bottom -= 1;
  }
  if (box.Empty()) return;
  const int w = hasPen ? pen_.width : 0;
  const Rect visible = box.Intersect(clipBounds_);
  if (visible.Empty()) return;

  const double cx = (static_cast<double>(box.left) + box.right) / 2.0;
  const double cy = (static_cast<double>(box.top) + box.bottom) / 2.0;
  const double ra = box.Width() / 2.0, rb = box.Height() / 2.0;
  // Radials in y-up coordinates relative to the centre.
  const Point ss = ToSurface(start), se = ToSurface(end);
  const double sx = ss.x + 0.5 - cx, sy = -(ss.y + 0.5 - cy);
  const double ex = se.x + 0.5 - cx, ey = -(se.y + 0.5 - cy);
  constexpr double kTwoPi = 2 * std::numbers::pi;
  const double a0 = std::atan2(sy, sx);
  double sweep = std::atan2(ey, ex) - a0;
  while (sweep <= 1e-12) sweep += kTwoPi;
  const bool full = kind == kEllipse || std::abs(sweep - kTwoPi) < 1e-12 || (sx == ex && sy == ey);
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
  const double chordLength = std::hypot(pe.x - ps.x, pe.y - ps.y);
  // Signed distance from the chord, positive away from the arc.
  auto chordDistance = [&](double px, double py) {
    if (chordLength == 0) return -1e300;
    return ((pe.x - ps.x) * (py - ps.y) - (pe.y - ps.y) * (px - ps.x)) / chordLength;
  };
  // Distance from a radial ray (from the centre through V).
  auto rayDistance = [](double px, double py, double vx, double vy) {
    const double len = std::hypot(vx, vy);
    if (len == 0) return std::hypot(px, py);
    const double along = (px * vx + py * vy) / len;
    if (along <= 0) return std::hypot(px, py);
    return std::abs(px * vy - py * vx) / len;
  };

  // The coverage of AREA (part of the box).
  auto build = [&](const Rect& area) {
    Mask mask(area);
    const Rect mb = mask.Box();
    // Rows of the ellipse, one beyond the visited rows for the neighbour test.
    const int rowLo = std::max(mb.top - 1, box.top), rowHi = std::min(mb.bottom + 1, box.bottom);
    std::vector<std::pair<int, int>> rows, inner;
    raster::EllipseRows(box, rowLo, rowHi, rows);
    const Rect innerBox{box.left + w, box.top + w, box.right - w, box.bottom - w};
    if (w > 1 && !innerBox.Empty())
      raster::EllipseRows(innerBox, std::max(rowLo, innerBox.top), std::min(rowHi, innerBox.bottom),
                          inner);
    auto inEllipse = [&](int x, int y) {
      if (y < rowLo || y >= rowHi) return false;
      const auto& r = rows[static_cast<std::size_t>(y - rowLo)];
      return x >= r.first && x < r.second;
    };
    auto inInner = [&](int x, int y) {
      if (inner.empty() || y < std::max(rowLo, innerBox.top) ||
          y >= std::min(rowHi, innerBox.bottom))
        return false;
      const auto& r = inner[static_cast<std::size_t>(y - std::max(rowLo, innerBox.top))];
      return x >= r.first && x < r.second;
    };
    auto inShape = [&](int x, int y) {
      if (!inEllipse(x, y)) return false;
      const double px = x + 0.5 - cx, py = -(y + 0.5 - cy);
      if (kind == kPie) return inSector(px, py);
      if (kind == kChord) return full || chordDistance(px, py) <= 1e-9;
      return true;
    };
    auto onOutline = [&](int x, int y) {
      if (w <= 1)
        return !inShape(x - 1, y) || !inShape(x + 1, y) || !inShape(x, y - 1) || !inShape(x, y + 1);
      if (!inInner(x, y)) return true;
      const double px = x + 0.5 - cx, py = -(y + 0.5 - cy);
      if (kind == kPie && !full)
        return rayDistance(px, py, sx, sy) < w || rayDistance(px, py, ex, ey) < w;
      if (kind == kChord && !full) return -chordDistance(px, py) < w;
      return false;
    };

    if (full && kind != kArc) {
      // Whole ellipse: per row, the fill is what the rows around (or the
      // shrunk ellipse) also cover; the rest of the row is outline.
      auto rowOf = [&](int y) {
        return (y < rowLo || y >= rowHi) ? std::pair<int, int>{0, 0}
                                         : rows[static_cast<std::size_t>(y - rowLo)];
      };
      for (int y = mb.top; y < mb.bottom; ++y) {
        const auto r = rowOf(y);
        std::pair<int, int> f = r;
        if (hasPen && w <= 1) {
          const auto up = rowOf(y - 1), down = rowOf(y + 1);
          f = {std::max({r.first + 1, up.first, down.first}),
               std::min({r.second - 1, up.second, down.second})};
        } else if (hasPen) {
          f = {0, 0};
          const int innerLo = std::max(rowLo, innerBox.top),
                    innerHi = std::min(rowHi, innerBox.bottom);
          if (!inner.empty() && y >= innerLo && y < innerHi)
            f = inner[static_cast<std::size_t>(y - innerLo)];
        }
        if (f.first >= f.second) f = {r.first, r.first};
        mask.MarkSpan(y, r.first, f.first, Mask::kPen);
        mask.MarkSpan(y, f.first, f.second, Mask::kFill);
        mask.MarkSpan(y, f.second, r.second, Mask::kPen);
      }
    }
    for (int y = mb.top; y < mb.bottom && !(full && kind != kArc); ++y) {
      const auto& r = rows[static_cast<std::size_t>(y - rowLo)];
      for (int x = std::max(r.first, mb.left); x < std::min(r.second, mb.right); ++x) {
        const bool arcOnly = kind == kArc;
        if (!(arcOnly ? inEllipse(x, y) : inShape(x, y))) continue;
        const bool outline = hasPen && onOutline(x, y);
        if (arcOnly) {
          if (outline && inSector(x + 0.5 - cx, -(y + 0.5 - cy))) mask.Ref(x, y) = Mask::kPen;
        } else {
          mask.Ref(x, y) = outline ? Mask::kPen : Mask::kFill;
        }
      }
    }
    return mask;
  };
  // A dashed outline counts its pattern from the start, so it needs the
  // whole outline, not only the visible part (up to a sensible size; beyond
  // it the outline is drawn solid).
  const bool dashed = hasPen && w <= 1 && !dash_.empty() &&
                      static_cast<long long>(box.Width()) * box.Height() <= (1LL << 24);
  Mask mask = build(dashed ? box : visible);
  const Rect mb = mask.Box();

  // A dashed one-pixel outline: the outline pixels in order of their angle
  // counter-clockwise from the start radial take the pattern one by one.
  // Transparent gaps show the fill, opaque ones the background colour.
  if (dashed) {
    struct Step {
      double angle, radius;
      int x, y;
    };
    std::vector<Step> steps;
    const double from = kind == kEllipse ? 0.0 : a0;
    for (int y = mb.top; y < mb.bottom; ++y)
      for (int x = mb.left; x < mb.right; ++x) {
        if (mask.At(x, y) != Mask::kPen) continue;
        const double px = x + 0.5 - cx, py = -(y + 0.5 - cy);
        double d = std::atan2(py, px) - from;
        while (d < 0) d += kTwoPi;
        while (d >= kTwoPi) d -= kTwoPi;
        steps.push_back({d, std::hypot(px, py), x, y});
      }
    std::sort(steps.begin(), steps.end(), [](const Step& l, const Step& r) {
      return l.angle != r.angle ? l.angle < r.angle : l.radius < r.radius;
    });
    const std::uint8_t gapMark = bkMode_ == BkMode::Opaque ? Mask::kGap
                                 : hasBrush                ? Mask::kFill
                                                           : Mask::kNone;
    for (std::size_t k = 0; k < steps.size(); ++k)
      if (!DashOn(static_cast<long long>(k))) mask.Ref(steps[k].x, steps[k].y) = gapMark;
  }
  const Paint fill = BrushPaint(brush_), pen = PenPaint();
  Paint gap = pen;
  gap.fg = Resolve(bkColour_);
  ApplyMask(mask, hasBrush ? &fill : nullptr, &gap, hasPen ? &pen : nullptr);
}

bool Canvas::FloodFill(Point p, Pixel colourIn, FloodFillType type) {
  const auto [sx, sy] = ToSurface(p);
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
    while (l - 1 >= clipBounds_.left && mask.At(l - 1, q.y) == Mask::kNone && InClip(l - 1, q.y) &&
           fillable(l - 1, q.y))
      --l;
    while (r + 1 < clipBounds_.right && mask.At(r + 1, q.y) == Mask::kNone && InClip(r + 1, q.y) &&
           fillable(r + 1, q.y))
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
  const Rect r = ToSurface(Normalised(rIn));
  const Pixel c0 = Resolve(c0In), c1 = Resolve(c1In);
  const Rect s = r.Intersect(clipBounds_);
  const long long den =
      std::max((dir == GradientDirection::Horizontal ? r.Width() : r.Height()) - 1, 1);
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
      pts[k] = ToSurface(Point{v.x, v.y});
      px[k] = pts[k].x;
      py[k] = pts[k].y;
      const Pixel c = Resolve(v.colour);
      rgb[k][0] = RedOf(c);
      rgb[k][1] = GreenOf(c);
      rgb[k][2] = BlueOf(c);
    }
    const double det = (py[1] - py[2]) * (px[0] - px[2]) + (px[2] - px[1]) * (py[0] - py[2]);
    if (det == 0) continue;
    raster::ScanPolygon(
        pts, false, clipBounds_.top, clipBounds_.bottom, [&](int y, int x0, int x1) {
          for (int x = x0; x < x1; ++x) {
            if (!InClip(x, y)) continue;
            const double cxp = x + 0.5, cyp = y + 0.5;
            const double w0 =
                ((py[1] - py[2]) * (cxp - px[2]) + (px[2] - px[1]) * (cyp - py[2])) / det;
            const double w1 =
                ((py[2] - py[0]) * (cxp - px[2]) + (px[0] - px[2]) * (cyp - py[2])) / det;
            const double w2 = 1 - w0 - w1;
            int c[3];
            for (int k = 0; k < 3; ++k)
              c[k] = std::clamp(
                  NearestInt(w0 * rgb[0][k] + w1 * rgb[1][k] + w2 * rgb[2][k]),
                  0, 255);
            surface_->Row(y)[x] = Rgb(c[0], c[1], c[2]);
          }
        });
  }
  return true;
}

}  // namespace plat
