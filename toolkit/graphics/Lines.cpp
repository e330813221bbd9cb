// Pen moves, clipped lines and polylines, plot mode, line type and widths.
#include "toolkit/graphics/Lines.h"

#include <algorithm>
#include <cmath>
#include <string_view>
#include <vector>

#include "platform/window/Window.h"
#include "toolkit/core/Rounding.h"
#include "toolkit/graphics/Drivers.h"
#include "toolkit/graphics/Graphics.h"
#include "toolkit/graphics/ScreenDriver.h"

namespace tk {
namespace {

std::int32_t Trunc(float v) {
  return TruncateInt(v);
}

struct Point2 {
  float x, y;
};

void SendPolylineRun(int count) {
  DriverParameters& dp = DriverParams();
  dp.P1 = count;
  if (Gs().screenOn) ScreenDriverCall(DriverOperation::Polyline);
  HardcopyDriverCall(DriverOperation::Polyline);
}

}  // namespace

bool PointInClip(float x, float y) {
  const GraphicsState& gs = Gs();
  return x >= gs.clipX0 && x <= gs.clipX1 && y >= gs.clipY0 && y <= gs.clipY1;
}

bool SegmentEdgeHit(float px, float py, float x1, float y1, float x2, float y2) {
  return PointInClip(px, py) && px >= std::min(x1, x2) && px <= std::max(x1, x2) &&
         py >= std::min(y1, y2) && py <= std::max(y1, y2);
}

bool ClipSegment(float& x1, float& y1, float& x2, float& y2) {
  const GraphicsState& gs = Gs();
  const float L = gs.areaX0, B = gs.areaY0, R = gs.areaX1, T = gs.areaY1;
  // An area with no room (a window of no height or width) shows nothing.
  if (!(L <= R && B <= T)) return false;
  if (PointInClip(x1, y1) && PointInClip(x2, y2)) return true;
  if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2))
    return false;
  if (Trunc(x1) == Trunc(x2)) {
    if (std::min(y1, y2) <= T && std::max(y1, y2) >= B) {
      y1 = std::clamp(y1, B, T);
      y2 = std::clamp(y2, B, T);
      return PointInClip(x1, y1);
    }
    return false;
  }
  if (Trunc(y1) == Trunc(y2)) {
    if (std::min(x1, x2) <= R && std::max(x1, x2) >= L) {
      x1 = std::clamp(x1, L, R);
      x2 = std::clamp(x2, L, R);
      return PointInClip(x1, y1);
    }
    return false;
  }
  const float m = (y2 - y1) / (x2 - x1);
  const float b = y1 - m * x1;
  // Top.
  {
    const float cx = (T - b) / m, cy = T;
    if (SegmentEdgeHit(cx, cy, x1, y1, x2, y2)) {
      if (PointInClip(x1, y1) && y1 < y2) {
        x2 = cx, y2 = cy;
        return true;
      }
      if (PointInClip(x2, y2) && y2 < y1) {
        x1 = cx, y1 = cy;
        return true;
      }
      if (y2 <= y1)
        x1 = cx, y1 = cy;
      else
        x2 = cx, y2 = cy;
    }
  }
  // Bottom.
  {
    const float cx = (B - b) / m, cy = B;
    if (SegmentEdgeHit(cx, cy, x1, y1, x2, y2)) {
      if (PointInClip(x1, y1) && y2 < y1) {
        x2 = cx, y2 = cy;
        return true;
      }
      if (PointInClip(x2, y2) && y1 < y2) {
        x1 = cx, y1 = cy;
        return true;
      }
      if (y1 <= y2)
        x1 = cx, y1 = cy;
      else
        x2 = cx, y2 = cy;
    }
  }
  // Right.
  {
    const float cx = R, cy = m * R + b;
    if (SegmentEdgeHit(cx, cy, x1, y1, x2, y2)) {
      if (PointInClip(x1, y1) && x1 < x2) {
        x2 = cx, y2 = cy;
        return true;
      }
      if (PointInClip(x2, y2) && x2 < x1) {
        x1 = cx, y1 = cy;
        return true;
      }
      if (x2 <= x1)
        x1 = cx, y1 = cy;
      else
        x2 = cx, y2 = cy;
    }
  }
  // Left.
  {
    const float cx = L, cy = m * L + b;
    if (SegmentEdgeHit(cx, cy, x1, y1, x2, y2)) {
      if (PointInClip(x1, y1)) {
        x2 = cx, y2 = cy;
        return true;
      }
      if (PointInClip(x2, y2)) {
        x1 = cx, y1 = cy;
        return true;
      }
    }
  }
  return false;
}

void LineDevice(float x1, float y1, float x2, float y2) {
  DriverParameters& dp = DriverParams();
  if (!ClipSegment(x1, y1, x2, y2)) return;
  dp.X[0] = x1, dp.Y[0] = y1, dp.X[1] = x2, dp.Y[1] = y2;
  if (Gs().screenOn) {
    dp.KX[0] = Trunc(x1), dp.KY[0] = Trunc(y1);
    dp.KX[1] = Trunc(x2), dp.KY[1] = Trunc(y2);
    ScreenDriverCall(DriverOperation::Line);
  }
  HardcopyDriverCall(DriverOperation::Line);
}

void LineUserUnits(float x1, float y1, float x2, float y2) {
  float dx1, dy1, dx2, dy2;
  UserToDevice(x1, y1, dx1, dy1);
  UserToDevice(x2, y2, dx2, dy2);
  LineDevice(dx1, dy1, dx2, dy2);
}

void PolylineClipped(std::span<const float> x, std::span<const float> y, int n, int device) {
  n = std::min({n, static_cast<int>(x.size()), static_cast<int>(y.size()), kDriverMaxPoints});
  if (n < 2) return;
  DriverParameters& dp = DriverParams();
  auto point = [&](int i) {
    Point2 p{x[i], y[i]};
    if (!device) UserToDevice(x[i], y[i], p.x, p.y);
    return p;
  };
  int run = 0;
  Point2 q = point(0);
  if (PointInClip(q.x, q.y)) {
    dp.pointX[0] = q.x;
    dp.pointY[0] = q.y;
    run = 1;
  }
  for (int i = 1; i < n; ++i) {
    const Point2 p = point(i);
    const bool inside = PointInClip(p.x, p.y);
    if (run == 0) {
      float ax = q.x, ay = q.y, bx = p.x, by = p.y;
      if (!inside) {
        if (ClipSegment(ax, ay, bx, by)) LineDevice(ax, ay, bx, by);
      } else if (ClipSegment(ax, ay, bx, by)) {
        dp.pointX[0] = ax, dp.pointY[0] = ay;
        dp.pointX[1] = bx, dp.pointY[1] = by;
        run = 2;
      }
    } else if (!inside) {
      float ax = dp.pointX[run - 1], ay = dp.pointY[run - 1], bx = p.x, by = p.y;
      if (ClipSegment(ax, ay, bx, by)) {
        dp.pointX[run] = bx, dp.pointY[run] = by;
        ++run;
      }
      if (run > 1) SendPolylineRun(run);
      run = 0;
    } else {
      dp.pointX[run] = p.x, dp.pointY[run] = p.y;
      ++run;
    }
    q = p;
  }
  if (run > 1) SendPolylineRun(run);
  if (!device) {
    Gs().penX = x[n - 1];
    Gs().penY = y[n - 1];
  }
}

void IGrPenMoveTo(float X, float Y) {
  Gs().penX = X;
  Gs().penY = Y;
}

void IGrDrawLineTo(float X, float Y) {
  GraphicsState& gs = Gs();
  LineUserUnits(gs.penX, gs.penY, X, Y);
  gs.penX = X;
  gs.penY = Y;
}

void DrawLinesTo(std::span<const float> X, std::span<const float> Y) {
  const std::size_t n = std::min(X.size(), Y.size());
  if (n == 0) return;
  GraphicsState& gs = Gs();
  if (!gs.screenOn || gs.hardcopyOn > 0 || gs.memoryRecorderOn) {
    for (std::size_t i = 0; i < n; ++i) IGrDrawLineTo(X[i], Y[i]);
    return;
  }
  // Segments wholly inside the clip bounds go to the screen in runs; any
  // other segment is clipped and drawn alone, in its turn.
  thread_local std::vector<float> runX, runY;
  runX.clear();
  runY.clear();
  auto flush = [&] {
    if (runX.size() >= 2) {
      DriverParameters& dp = DriverParams();
      const std::size_t last = runX.size() - 1;
      dp.X[0] = runX[last - 1], dp.Y[0] = runY[last - 1];
      dp.X[1] = runX[last], dp.Y[1] = runY[last];
      dp.KX[0] = Trunc(dp.X[0]), dp.KY[0] = Trunc(dp.Y[0]);
      dp.KX[1] = Trunc(dp.X[1]), dp.KY[1] = Trunc(dp.Y[1]);
      ScreenLineStrip(runX, runY);
    }
    runX.clear();
    runY.clear();
  };
  // UserToDevice and PointInClip for every point, with the mapping and the
  // clip bounds read once: drawing changes neither.
  const float userX0 = gs.userX0, userY0 = gs.userY0, scaleX = gs.scaleX, scaleY = gs.scaleY;
  const float areaX0 = gs.areaX0, areaY0 = gs.areaY0;
  const float clipX0 = gs.clipX0, clipX1 = gs.clipX1, clipY0 = gs.clipY0, clipY1 = gs.clipY1;
  auto inClip = [&](float x, float y) {
    return x >= clipX0 && x <= clipX1 && y >= clipY0 && y <= clipY1;
  };
  float px, py;
  UserToDevice(gs.penX, gs.penY, px, py);
  bool previousInside = inClip(px, py);
  for (std::size_t i = 0; i < n; ++i) {
    const float qx = (X[i] - userX0) * scaleX + areaX0, qy = (Y[i] - userY0) * scaleY + areaY0;
    const bool inside = inClip(qx, qy);
    if (previousInside && inside) {
      if (runX.empty()) {
        runX.push_back(px);
        runY.push_back(py);
      }
      runX.push_back(qx);
      runY.push_back(qy);
    } else {
      flush();
      LineDevice(px, py, qx, qy);
    }
    px = qx, py = qy;
    previousInside = inside;
  }
  flush();
  gs.penX = X[n - 1];
  gs.penY = Y[n - 1];
}

void IGrPenMoveToRel(float DX, float DY) {
  IGrPenMoveTo(Gs().penX + DX, Gs().penY + DY);
}
void IGrDrawLineToRel(float DX, float DY) {
  IGrDrawLineTo(Gs().penX + DX, Gs().penY + DY);
}

void IGrDrawMode(std::optional<std::string_view> LETTER) {
  int mode = 0;
  if (LETTER && !LETTER->empty()) {
    const std::size_t pos = std::string_view("NOoAaEe").find((*LETTER)[0]);
    mode = pos == std::string_view::npos ? 0 : (static_cast<int>(pos) + 1) / 2;
  }
  Gs().plotMode = mode;
  ScreenDriverCall(DriverOperation::PlotMode);
}

void IGrLineWidths(std::optional<int> SCREEN, std::optional<int> HARDCOPY,
                   std::optional<int> METAFILE) {
  GraphicsState& gs = Gs();
  if (SCREEN && *SCREEN > 0) {
    gs.screenLineWidth = *SCREEN;
    if (gs.drawableKind != kDrawMetafile) ScreenDriverCall(DriverOperation::LineWidth);
  }
  if (HARDCOPY && *HARDCOPY > 0) {
    gs.hardcopyLineWidth = *HARDCOPY;
    HardcopyDriverCall(DriverOperation::LineWidth);
  }
  if (METAFILE && *METAFILE > 0) {
    gs.metafileLineWidth = *METAFILE;
    if (gs.drawableKind == kDrawMetafile) ScreenDriverCall(DriverOperation::LineWidth);
  }
}

void IGrLineType(std::optional<int> TYPE) {
  Gs().lineType = (TYPE && *TYPE >= 0 && *TYPE <= 7) ? *TYPE : 0;
  ScreenDriverCall(DriverOperation::LineType);
  HardcopyDriverCall(DriverOperation::LineType);
}

void IGrBlankArea(std::optional<int> X1, std::optional<int> Y1, std::optional<int> X2,
                  std::optional<int> Y2, std::optional<int> COLOUR) {
  GraphicsTargets& t = Targets();
  const int window = t.currentWindow ? t.currentWindow() : 0;
  // The window's own surface, without disturbing the current drawing target.
  const std::optional<SurfaceBinding> b = t.peekWindow ? t.peekWindow(window) : std::nullopt;
  if (!b || !b->surface) return;
  const int x1 = X1.value_or(0), y1 = Y1.value_or(0);
  const int x2 = X2.value_or(b->size.width - 1), y2 = Y2.value_or(b->size.height - 1);
  const int colour = COLOUR.value_or(-1);
  const plat::Pixel fill =
      colour == -1 ? (t.systemColour ? RgbToPixel(t.systemColour(46)) : plat::Rgb(255, 255, 255))
                   : RgbToPixel(colour);
  plat::Canvas canvas(*b->surface, b->origin, plat::Rect{0, 0, b->size.width, b->size.height});
  // Both corners' pixels are filled.
  canvas.FillRect({x1, y1, x2 + 1, y2 + 1}, plat::Brush::Solid(fill));
  if (b->window != plat::kNoWindow) plat::MarkDrawn(b->window);
}

}  // namespace tk
