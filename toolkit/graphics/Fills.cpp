// Fill style, trapezia, triangles and polygons.
#include "toolkit/graphics/Fills.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

#include "toolkit/core/Errors.h"
#include "toolkit/core/Rounding.h"
#include "toolkit/graphics/Colours.h"
#include "toolkit/graphics/Drivers.h"
#include "toolkit/graphics/Graphics.h"
#include "toolkit/graphics/Lines.h"
#include "toolkit/graphics/ScreenDriver.h"

namespace tk {
namespace {

constexpr int kErrSide = 21;
constexpr int kErrFlat = 22;
constexpr int kErrComplex = 49;
constexpr int kMaxActiveEdges = 99;
// Slanted hatch lines reach the area from anywhere along their run.
constexpr std::pair<float, float> kNoLimit{-3.0e38f, 3.0e38f};

struct P {
  float x = 0, y = 0;
};

PolygonDecomposer& Decomposer() {
  static PolygonDecomposer d;
  return d;
}

std::int32_t Trunc(float v) {
  return TruncateInt(v);
}

struct Box {
  float x0, y0, x1, y1;
};

Box BoxOf(std::span<const P> pts) {
  Box b{pts[0].x, pts[0].y, pts[0].x, pts[0].y};
  for (const P& p : pts) {
    b.x0 = std::min(b.x0, p.x), b.y0 = std::min(b.y0, p.y);
    b.x1 = std::max(b.x1, p.x), b.y1 = std::max(b.y1, p.y);
  }
  return b;
}

bool OutsideArea(const Box& b) {
  const GraphicsState& gs = Gs();
  return b.x1 < gs.areaX0 || b.x0 > gs.areaX1 || b.y1 < gs.areaY0 || b.y0 > gs.areaY1;
}

// The span of a convex shape along a line of constant coordinate S (axis 0:
// horizontal line y = S gives x range; axis 1: vertical line x = S gives y range).
bool ConvexSpan(std::span<const P> pts, int axis, float s, float& lo, float& hi) {
  bool any = false;
  const std::size_t n = pts.size();
  for (std::size_t i = 0; i < n; ++i) {
    const P a = pts[i], b = pts[(i + 1) % n];
    const float as = axis == 0 ? a.y : a.x, bs = axis == 0 ? b.y : b.x;
    const float ao = axis == 0 ? a.x : a.y, bo = axis == 0 ? b.x : b.y;
    if (as == bs) {
      if (s != as) continue;
      for (float o : {ao, bo}) {
        lo = any ? std::min(lo, o) : o;
        hi = any ? std::max(hi, o) : o;
        any = true;
      }
      continue;
    }
    if (s < std::min(as, bs) || s > std::max(as, bs)) continue;
    const float o = ao + (s - as) * (bo - ao) / (bs - as);
    lo = any ? std::min(lo, o) : o;
    hi = any ? std::max(hi, o) : o;
    any = true;
  }
  return any;
}

// One line of a pass, from the lower to the higher end unless REVERSE.
void PassLine(int axis, float s, float lo, float hi, float inset, bool reverse) {
  lo += inset;
  hi -= inset;
  if (lo > hi) return;
  if (reverse) std::swap(lo, hi);
  if (axis == 0)
    LineDevice(lo, s, hi, s);
  else
    LineDevice(s, lo, s, hi);
}

// Grid positions: the multiple of the integer step at or below the truncated
// start, then one real step above it and every real step after it. Lines
// wholly below VISIBLE_LO or above VISIBLE_HI (beyond the plot area) are
// skipped without being walked, so a huge shape costs only its visible part.
template <typename F>
void GridLines(float start, float end, float step, int intStep, float minimum, float phase,
               float visibleLo, float visibleHi, F&& line) {
  if (!(step > 0) || intStep <= 0 || !std::isfinite(start) || !std::isfinite(end)) return;
  const long long t = Trunc(start);
  const double base = static_cast<double>(t - (((t % intStep) + intStep) % intStep));
  long long k = 1;
  const double lo = std::max<double>(minimum, visibleLo) - step;
  if (base + step < lo) k = std::max(1LL, static_cast<long long>((lo - base) / step));
  const double hi = std::min<double>(end, visibleHi + step);
  for (int guard = 0; guard < 4000000; ++guard, ++k) {
    const float s = static_cast<float>(base + static_cast<double>(k) * step + phase);
    if (s > hi) break;
    if (s < minimum) continue;
    line(s);
  }
}

// Convex passes along one axis (trapezium, triangle).
void ConvexPass(std::span<const P> pts, int axis, const Box& box, float step, int intStep,
                const HatchSteps& hs, float screenReverse) {
  const float mn = axis == 0 ? box.y0 : box.x0, mx = axis == 0 ? box.y1 : box.x1;
  bool up = true;
  const GraphicsState& gs = Gs();
  const float visLo = axis == 0 ? gs.areaY0 : gs.areaX0, visHi = axis == 0 ? gs.areaY1 : gs.areaX1;
  GridLines(mn, mx, step, intStep, mn, hs.phase, visLo, visHi, [&](float s) {
    float lo, hi;
    if (!ConvexSpan(pts, axis, s, lo, hi)) return;
    const float blo = axis == 0 ? box.x0 : box.y0, bhi = axis == 0 ? box.x1 : box.y1;
    lo = std::max(lo, blo), hi = std::min(hi, bhi);
    const bool reverse = hs.serpentine ? !up : screenReverse != 0;
    PassLine(axis, s, lo, hi, hs.inset, reverse);
    up = !up;
  });
}

void OutlineDevice(std::span<const P> pts) {
  for (std::size_t i = 0; i < pts.size(); ++i) {
    const P a = pts[i], b = pts[(i + 1) % pts.size()];
    LineDevice(a.x, a.y, b.x, b.y);
  }
}

// What one shape contributes to the fill model.
struct FillShape {
  DriverOperation halftone, solid;
  int hardcopyP2 = 1;
  std::span<const P> corners;
  bool drawOutline = true;
  /// Draws the passes for one output with the style, angle and steps given.
  std::function<void(int style, int angle, const HatchSteps& hs, float vStep, int vInt, float hStep,
                     int hInt)>
      passes;
  std::function<void()> beforeScreenOp;  // fills the operands of the device fill
  /// When set, a solid screen fill goes as the driver's rectangle with these
  /// pixel corners (left, bottom, right, top) instead of the shape.
  std::optional<std::array<std::int32_t, 4>> screenBox;
};

DriverOperation HalftoneToSolid(DriverOperation solid, DriverOperation op) {
  const GraphicsState& gs = Gs();
  if (gs.fillStyle != kFillHalftone) return op;
  if (gs.paletteSize > 2) {
    if (gs.previous.slot == gs.current.slot) return solid;
  } else {
    const bool same = gs.colourMode == 1 ? gs.previous.number == gs.current.number
                                         : gs.previous.rgb == gs.current.rgb;
    if (same) return solid;
  }
  return op;
}

void RunFillModel(const FillShape& shape) {
  GraphicsState& gs = Gs();
  DriverParameters& dp = DriverParams();
  const Box box = BoxOf(shape.corners);
  if (OutsideArea(box)) return;
  const int style = gs.fillStyle;
  const bool device = style == kFillHalftone || style == kFillSolid;
  int lineStyle = style, angle = gs.hatchAngle;
  if (device) {
    const DriverOperation op =
        HalftoneToSolid(shape.solid, style == kFillHalftone ? shape.halftone : shape.solid);
    if (shape.screenBox && op == shape.solid) {
      // The rectangle needs its two corners only; the hardcopy below fills
      // the shape's own operands again.
      const auto& b = *shape.screenBox;
      dp.KX[0] = b[0], dp.KY[0] = b[1], dp.KX[1] = b[2], dp.KY[1] = b[3];
      ScreenDriverCall(DriverOperation::RectangleSolid);
    } else {
      if (shape.beforeScreenOp) shape.beforeScreenOp();
      ScreenDriverCall(op);
    }
    if (!gs.fillRequestScreen && !gs.hardcopyOn) return;
    lineStyle = kFillHatch;
    angle = 3;
  }
  if (gs.hardcopyOn) {
    if (shape.beforeScreenOp) shape.beforeScreenOp();
    dp.P2 = shape.hardcopyP2;
    HardcopyDriverCall(shape.halftone);
  }
  const int screenOn = gs.screenOn, hardcopyOn = gs.hardcopyOn;
  for (int output = 0; output < 2; ++output) {
    int& request = output == 0 ? gs.fillRequestScreen : gs.fillRequestHardcopy;
    if (device && request == 0) continue;
    if (output == 0 ? !screenOn : !hardcopyOn) continue;
    gs.screenOn = output == 0 ? screenOn : 0;
    gs.hardcopyOn = output == 1 ? hardcopyOn : 0;
    if (!device && gs.outlineFlag && shape.drawOutline) OutlineDevice(shape.corners);
    if (lineStyle != kFillOutline) {
      HatchSteps hs = HatchSpacing(output, gs.hatchDensity);
      if (device) {
        if (output == 0) {
          hs.verticalInt = (request == 2 && style == kFillHalftone) ? 2 : 1;
        } else {
          hs.verticalInt = Trunc(std::max(1.0f, dp.fillLineSpacing));
        }
        hs.vertical = static_cast<float>(hs.verticalInt);
      }
      shape.passes(lineStyle, angle, hs, hs.vertical, hs.verticalInt, hs.horizontal,
                   hs.horizontalInt);
      if (device && style == kFillHalftone && request == 2) {
        const int colours = output == 0 ? gs.paletteSize : dp.deviceColours;
        if (colours > 1) {
          const StateColour prev = gs.previous, cur = gs.current;
          if (colours == 2 && cur.number != 0)
            ColourDirectSet(0, 0, 0, output + 1);
          else
            ColourDirectSet(prev.number, prev.rgb, prev.slot, output + 1);
          // The second pass starts half a step later.
          hs.phase = hs.vertical / 2;
          shape.passes(lineStyle, angle, hs, hs.vertical, hs.verticalInt, hs.horizontal,
                       hs.horizontalInt);
          gs.previous = prev;
          gs.current = cur;
          ColourDirectSet(cur.number, cur.rgb, cur.slot, output + 1);
          gs.previous = prev;
        }
      }
    }
    request = 0;
  }
  gs.screenOn = screenOn;
  gs.hardcopyOn = hardcopyOn;
  if (gs.hardcopyOn) {
    dp.P2 = -1;
    HardcopyDriverCall(shape.halftone);
  }
}

// The pixel box of four device corners that go round an upright rectangle
// (as the driver truncates them) when a solid fill of it may go to the
// screen as the driver's rectangle: that paints exactly the pixels the
// four-point polygon with its one-pixel outline paints, without the clip
// region and the polygon's set-up. Only in copy, or and and modes (in
// exclusive-or the polygon has no outline), only on a window or bitmap (the
// recorder and metafiles keep the shape), and only wholly inside the
// driver's clip, which the rectangle operation does not apply.
std::optional<std::array<std::int32_t, 4>> UprightPixelBox(std::span<const P, 4> c) {
  const GraphicsState& gs = Gs();
  if (gs.plotMode == kPlotXor || gs.memoryRecorderOn || gs.drawableKind == kDrawMetafile)
    return std::nullopt;
  std::array<std::int32_t, 4> kx, ky;
  for (std::size_t i = 0; i < 4; ++i) {
    // Within this range (never NaN) the plain conversion truncates as Trunc does.
    if (!(std::fabs(c[i].x) < 1e8f) || !(std::fabs(c[i].y) < 1e8f)) return std::nullopt;
    kx[i] = static_cast<std::int32_t>(c[i].x), ky[i] = static_cast<std::int32_t>(c[i].y);
  }
  const bool levelFirst = ky[0] == ky[1] && kx[1] == kx[2] && ky[2] == ky[3] && kx[3] == kx[0];
  const bool uprightFirst = kx[0] == kx[1] && ky[1] == ky[2] && kx[2] == kx[3] && ky[3] == ky[0];
  // A box one pixel wide or high is still a box: the polygon's outline then
  // paints that row or column alone, as the rectangle does. All four corners
  // on one pixel are not (the polygon paints no pixel there).
  if (!(levelFirst || uprightFirst) || (kx[0] == kx[2] && ky[0] == ky[2])) return std::nullopt;
  const std::int32_t left = std::min(kx[0], kx[2]), right = std::max(kx[0], kx[2]);
  const std::int32_t bottom = std::min(ky[0], ky[2]), top = std::max(ky[0], ky[2]);
  if (!ScreenClipHolds(left, bottom, right, top)) return std::nullopt;
  return std::array<std::int32_t, 4>{left, bottom, right, top};
}

void StoreCorners(std::span<const P> pts) {
  DriverParameters& dp = DriverParams();
  for (std::size_t i = 0; i < pts.size() && i < 4; ++i) {
    dp.X[i] = pts[i].x, dp.Y[i] = pts[i].y;
    dp.KX[i] = Trunc(pts[i].x), dp.KY[i] = Trunc(pts[i].y);
  }
}

}  // namespace

void SetPolygonDecomposer(PolygonDecomposer decomposer) {
  Decomposer() = std::move(decomposer);
}

HatchSteps HatchSpacing(int output, int density) {
  const GraphicsState& gs = Gs();
  HatchSteps hs;
  const int d = std::clamp(density, 1, 5);
  const int vDiv = 10 * (1 << (d - 1)) + 20, hDiv = 10 * (1 << d) + 10;
  if (output == 0) {
    hs.verticalInt = std::max(2, gs.height / vDiv);
    hs.horizontalInt = std::max(2, gs.width / hDiv);
    hs.vertical = static_cast<float>(hs.verticalInt);
    hs.horizontal = static_cast<float>(hs.horizontalInt);
    hs.inset = gs.plotMode != kPlotCopy ? 1.0f : 0.0f;
  } else {
    hs.vertical = (static_cast<float>(gs.height) - 0.01f) / static_cast<float>(vDiv);
    hs.horizontal = (static_cast<float>(gs.width) - 0.01f) / static_cast<float>(hDiv);
    hs.verticalInt = Trunc(std::max(1.0f, hs.vertical));
    hs.horizontalInt = Trunc(std::max(1.0f, hs.horizontal));
    hs.serpentine = true;
  }
  return hs;
}

void IGrFillStyle(int STYLE, std::optional<int> DENSITY, std::optional<int> ANGLE) {
  GraphicsState& gs = Gs();
  gs.outlineFlag = 1;
  if (STYLE >= -2 && STYLE <= 4) {
    gs.fillStyle = std::abs(STYLE);
    gs.outlineFlag = STYLE >= 0 ? 1 : 0;
  } else {
    gs.fillStyle = kFillOutline;
  }
  gs.hatchDensity = (DENSITY && *DENSITY >= 1 && *DENSITY <= 5) ? *DENSITY : 2;
  gs.hatchAngle = (ANGLE && *ANGLE >= 1 && *ANGLE <= 4) ? *ANGLE : 3;
}

void IGrTrapezium(float X1, float Y1, float X2, float Y2, float W, int ORIENTATION) {
  GraphicsState& gs = Gs();
  if ((ORIENTATION == 1 && X2 < X1) || (ORIENTATION == 2 && Y2 < Y1)) {
    std::swap(X1, X2);
    std::swap(Y1, Y2);
  }
  if (W <= 0) {
    ReportLibraryError(kErrSide, "IGrTrapezium");
    return;
  }
  if ((ORIENTATION == 1 && X1 == X2) || (ORIENTATION != 1 && Y1 == Y2)) {
    ReportLibraryError(kErrFlat, "IGrTrapezium");
    return;
  }
  const bool vertical = ORIENTATION == 1;
  std::array<P, 4> u{P{X1, Y1}, vertical ? P{X2, Y2 - W} : P{X1 + W, Y1}, P{X2, Y2},
                     vertical ? P{X1, Y1 + W} : P{X2 - W, Y2}};
  std::array<P, 4> c;
  for (int i = 0; i < 4; ++i) UserToDevice(u[i].x, u[i].y, c[i].x, c[i].y);
  FillShape shape{DriverOperation::TrapeziumHalftone,
                  DriverOperation::TrapeziumSolid,
                  vertical ? 1 : 2,
                  c,
                  true,
                  {},
                  {},
                  {}};
  shape.beforeScreenOp = [&] {
    StoreCorners(c);
    DriverParams().P2 = vertical ? 1 : 2;
  };
  if (gs.fillStyle == kFillSolid || gs.fillStyle == kFillHalftone) shape.screenBox = UprightPixelBox(c);
  shape.passes = [&](int style, int angle, const HatchSteps& hs, float vStep, int vInt, float hStep,
                     int hInt) {
    const Box box = BoxOf(c);
    const bool slanted = angle == 1 || angle == 2;
    if (slanted) {
      if (vertical) {
        GridLines(c[0].y, c[3].y, vStep, vInt, box.y0, hs.phase, kNoLimit.first, kNoLimit.second,
                  [&](float y) {
                    LineDevice(c[0].x + hs.inset, y, c[1].x - hs.inset, y + (c[2].y - c[3].y));
                  });
      } else {
        GridLines(c[0].x, c[1].x, hStep, hInt, box.x0, hs.phase, kNoLimit.first, kNoLimit.second,
                  [&](float x) {
                    LineDevice(x, c[0].y + hs.inset, x + (c[2].x - c[1].x), c[3].y - hs.inset);
                  });
      }
    }
    const bool horizontal = (angle == 3 || style == kFillCrossHatch) && !(vertical && slanted);
    const bool verticalLines = (angle == 4 || style == kFillCrossHatch) && !(!vertical && slanted);
    if (horizontal) ConvexPass(c, 0, box, vStep, vInt, hs, 0);
    if (verticalLines) ConvexPass(c, 1, box, hStep, hInt, hs, 0);
  };
  RunFillModel(shape);
  gs.penX = X1;
  gs.penY = Y1;
}

void IGrTriangle(float X1, float Y1, float X2, float Y2, float X3, float Y3) {
  GraphicsState& gs = Gs();
  if ((X1 == X2 && X2 == X3) || (Y1 == Y2 && Y2 == Y3)) {
    if (gs.outlineFlag) ReportLibraryError(kErrFlat, "IGrTriangle");
    return;
  }
  std::array<P, 3> c;
  UserToDevice(X1, Y1, c[0].x, c[0].y);
  UserToDevice(X2, Y2, c[1].x, c[1].y);
  UserToDevice(X3, Y3, c[2].x, c[2].y);
  std::array<P, 3> sorted = c;
  std::sort(sorted.begin(), sorted.end(), [](const P& a, const P& b) { return a.y < b.y; });
  FillShape shape{DriverOperation::TriangleHalftone,
                  DriverOperation::TriangleSolid,
                  1,
                  c,
                  gs.outlineFlag > 0,
                  {},
                  {},
                  {}};
  shape.beforeScreenOp = [&] { StoreCorners(sorted); };
  shape.passes = [&](int style, int angle, const HatchSteps& hs, float vStep, int vInt, float hStep,
                     int hInt) {
    const Box box = BoxOf(c);
    // On the screen lines run from the higher to the lower coordinate.
    if (angle != 4 || style == kFillCrossHatch) ConvexPass(c, 0, box, vStep, vInt, hs, 1);
    if (angle == 4 || style == kFillCrossHatch) ConvexPass(c, 1, box, hStep, hInt, hs, 1);
  };
  RunFillModel(shape);
  gs.penX = X1;
  gs.penY = Y1;
}

void YYPLYGON(std::span<const float> X, std::span<const float> Y, int N, int DEVICE) {
  GraphicsState& gs = Gs();
  DriverParameters& dp = DriverParams();
  N = std::min({N, static_cast<int>(X.size()), static_cast<int>(Y.size()), kDriverMaxPoints});
  if (N < 2) return;
  const float firstX = X[0], firstY = Y[0];
  if (X[N - 1] == X[0] && Y[N - 1] == Y[0]) --N;
  std::vector<P> pts(static_cast<std::size_t>(N));
  for (int i = 0; i < N; ++i) {
    if (DEVICE)
      pts[i] = {X[i], Y[i]};
    else
      UserToDevice(X[i], Y[i], pts[i].x, pts[i].y);
  }
  auto movePen = [&] {
    if (!DEVICE) gs.penX = firstX, gs.penY = firstY;
  };
  const Box box = BoxOf(pts);
  bool tooComplex = false;
  FillShape shape{
      DriverOperation::PolygonHalftone, DriverOperation::PolygonSolid, 1, pts, true, {}, {}, {}};
  shape.beforeScreenOp = [&] {
    for (int i = 0; i < N; ++i) dp.pointX[i] = pts[i].x, dp.pointY[i] = pts[i].y;
    dp.P1 = N;
    dp.KX[0] = Trunc(pts[0].x), dp.KY[0] = Trunc(pts[0].y);
    dp.KX[1] = Trunc(box.x0), dp.KY[1] = Trunc(box.y0);
    dp.KX[2] = Trunc(box.x1), dp.KY[2] = Trunc(box.y1);
  };
  shape.passes = [&](int style, int angle, const HatchSteps& hs, float vStep, int, float hStep,
                     int) {
    const bool screen = gs.screenOn != 0;
    auto pass = [&](int axis, float step) {
      if (tooComplex || !(step > 0)) return;
      struct Edge {
        float lo, hi, other, inverse;
      };
      std::vector<Edge> edges;
      edges.reserve(pts.size());
      for (std::size_t i = 0; i < pts.size(); ++i) {
        P a = pts[i], b = pts[(i + 1) % pts.size()];
        float as = axis == 0 ? a.y : a.x, bs = axis == 0 ? b.y : b.x;
        float ao = axis == 0 ? a.x : a.y, bo = axis == 0 ? b.x : b.y;
        if (as == bs) continue;
        if (bs < as) std::swap(as, bs), std::swap(ao, bo);
        edges.push_back({as, bs, ao, (bo - ao) / (bs - as)});
      }
      const float mn = axis == 0 ? box.y0 : box.x0, mx = axis == 0 ? box.y1 : box.x1;
      if (edges.empty()) {
        // All points on one line: one line through the first point across the box.
        if (axis == 0)
          LineDevice(box.x0, pts[0].y, box.x1, pts[0].y);
        else
          LineDevice(pts[0].x, box.y0, pts[0].x, box.y1);
        return;
      }
      std::sort(edges.begin(), edges.end(),
                [](const Edge& a, const Edge& b) { return a.lo < b.lo; });
      double s0 = mn;
      if (screen) s0 = static_cast<double>(Trunc(mn)) + (mn < 0 ? -0.5 : 0.5);
      s0 += hs.phase;
      // Scan lines outside the plot area draw nothing: start and stop at its edges.
      const double visLo = (axis == 0 ? gs.areaY0 : gs.areaX0) - step;
      const double visHi = std::min<double>(mx, (axis == 0 ? gs.areaY1 : gs.areaX1) + step);
      long long k = s0 < visLo ? static_cast<long long>((visLo - s0) / step) : 0;
      std::array<float, kMaxActiveEdges> crossings;
      for (int guard = 0; guard < 4000000; ++guard, ++k) {
        const float s = static_cast<float>(s0 + static_cast<double>(k) * step);
        if (s > visHi) break;
        int count = 0;
        for (const Edge& e : edges) {
          if (e.lo > s) break;
          if (s >= e.hi) continue;
          if (count == kMaxActiveEdges) {
            tooComplex = true;
            return;
          }
          crossings[count++] = (s - e.lo) * e.inverse + e.other;
        }
        if (count % 2 != 0 || count == 0) continue;
        std::sort(crossings.begin(), crossings.begin() + count);
        int i = 0;
        while (i < count) {
          float lo = crossings[i], hi = crossings[i + 1];
          i += 2;
          // Neighbouring spans that meet are drawn as one line.
          while (axis == 0 && i < count &&
                 (screen ? Trunc(crossings[i]) <= Trunc(hi) : crossings[i] <= hi)) {
            hi = std::max(hi, crossings[i + 1]);
            i += 2;
          }
          PassLine(axis, s, lo, hi, hs.inset, false);
        }
      }
    };
    const bool vertical = style == kFillHatch && angle == 4;
    if (!vertical) pass(0, vStep);
    if (vertical || style == kFillCrossHatch) pass(1, hStep);
  };
  RunFillModel(shape);
  if (tooComplex) ReportLibraryError(kErrComplex, "YYPLYGON");
  movePen();
}

void IGrPolygonComplex(std::span<const float> X, std::span<const float> Y, int N) {
  GraphicsState& gs = Gs();
  N = std::min({N, static_cast<int>(X.size()), static_cast<int>(Y.size())});
  if (N < 1) return;
  const float firstX = X[0], firstY = Y[0];
  if (N <= 2) {
    gs.penX = firstX, gs.penY = firstY;
    return;
  }
  int drawn = 0;
  if (gs.fillStyle >= 1 && gs.fillStyle <= 4 && Decomposer()) {
    const auto triangles = Decomposer()(X, Y, N);
    const int outline = gs.outlineFlag;
    gs.outlineFlag = 0;
    for (const auto& t : triangles) {
      if (t[0] < 1 || t[0] > N || t[1] < 1 || t[1] > N || t[2] < 1 || t[2] > N) continue;
      IGrTriangle(X[t[0] - 1], Y[t[0] - 1], X[t[1] - 1], Y[t[1] - 1], X[t[2] - 1], Y[t[2] - 1]);
      ++drawn;
    }
    gs.outlineFlag = outline;
  }
  if (gs.outlineFlag && (gs.fillStyle == 0 || (gs.fillStyle <= 2 && drawn > 0))) {
    IGrPenMoveTo(X[0], Y[0]);
    for (int i = 1; i < N; ++i) IGrDrawLineTo(X[i], Y[i]);
    if (!(X[N - 1] == X[0] && Y[N - 1] == Y[0])) IGrDrawLineTo(X[0], Y[0]);
  }
  gs.penX = firstX, gs.penY = firstY;
}

}  // namespace tk
