// The known graph: drawing and expected geometry.
#include "tests/support/KnownGraph.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "support/GraphDraw.h"
#include "support/PenPlot.h"
#include "toolkit/graphics/Graphics.h"

namespace sup::testing {
namespace {

// Page layout of the picture (page units).
constexpr float kOriginX = 1.5f, kOriginY = 1.5f;
constexpr float kGraphWidth = 7.5f, kGraphHeight = 5.0f;
constexpr float kBoxX0 = 9.2f, kBoxY0 = 6.9f, kBoxX1 = 9.8f, kBoxY1 = 7.6f;
constexpr float kRedY = 7.8f, kRedX0 = 0.5f, kRedX1 = 5.0f;
constexpr float kLabelX = 6.0f, kLabelY = 7.5f, kLabelHeight = 0.2f;
constexpr int kRed = 11;
// Every tick reaches at least this far outside the frame.
constexpr float kTickReach = 0.08f;

DevicePoint Device(double px, double py) {
  // User units 0..10 by 0..8 span the whole drawable, whose real extents
  // are its size less 0.01.
  return {px * (kKnownGraphWidth - 0.01) / 10.0, py * (kKnownGraphHeight - 0.01) / 8.0};
}

DeviceSegment Segment(double x0, double y0, double x1, double y1, std::string what) {
  return {Device(x0, y0), Device(x1, y1), std::move(what)};
}

KnownGraph Geometry() {
  KnownGraph g;
  const double l = kOriginX, b = kOriginY, r = kOriginX + kGraphWidth, t = kOriginY + kGraphHeight;
  g.frame = {Segment(l, b, r, b, "frame bottom"), Segment(r, b, r, t, "frame right"),
             Segment(r, t, l, t, "frame top"), Segment(l, t, l, b, "frame left")};
  for (int j = 0; j <= 2; ++j) {
    const double x = l + j * kGraphWidth / 2;
    g.ticks.push_back(Segment(x, b, x, b - kTickReach, "bottom tick " + std::to_string(j)));
  }
  for (int j = 0; j <= 4; ++j) {
    const double y = b + j * kGraphHeight / 4;
    g.ticks.push_back(Segment(l, y, l - kTickReach, y, "left tick " + std::to_string(j)));
  }
  g.series = Segment(l, b, r, t, "series");
  g.filledBox = {Device(kBoxX0, kBoxY0), Device(kBoxX1, kBoxY1)};
  g.redLine = Segment(kRedX0, kRedY, kRedX1, kRedY, "red line");
  g.labelBox = {Device(kLabelX - 0.05, kLabelY - 0.1), Device(kLabelX + 0.6, kLabelY + 0.3)};
  // Below the x-axis labels at the left, and inside the frame under the diagonal.
  g.blank = {{Device(0.1, 0.1), Device(1.0, 0.5)}, {Device(6.5, 2.0), Device(8.5, 3.0)}};
  g.label = "KNOWN";
  return g;
}

}  // namespace

const KnownGraph& KnownGraphGeometry() {
  static const KnownGraph g = Geometry();
  return g;
}

void DrawKnownGraph() {
  GraphAxes a;
  a.XORIGIN = kOriginX;
  a.YORIGIN = kOriginY;
  a.NXDIV = 5;
  a.NYDIV = 4;
  LINNX(0, 10, a.XSTART, a.XSTEP, a.NXDIV, a.NXMINOR);  // 0 and 5, 2 divisions
  a.XCELL = kGraphWidth / static_cast<float>(a.NXDIV);
  a.YCELL = kGraphHeight / static_cast<float>(a.NYDIV);
  a.YSTART = 0;
  a.YSTEP = 0.5f;
  a.NYMINOR = 5;
  a.LBOTTOM = a.LLEFT = true;
  FINDASX(a);
  FINDASY(a);
  SET_PEN(0);
  PLOTXY(a.XORIGIN, a.YORIGIN, -3, a);
  GNGRID(a);
  const std::array<float, 2> xs{0, 10}, ys{0, 2};
  GNPLOT(xs, ys, 2, false, a);
  PCLIPOFF();

  GraphAxes page;
  PLOTXY(0, 0, -3, page);  // back to the page's own origin
  tk::IGrFillStyle(4);
  FILL_RECT(kBoxX0, kBoxY0, kBoxX1, kBoxY1, kBoxX1 - kBoxX0, 0);
  tk::IGrFillStyle(0);
  SET_PEN(kRed);
  PLOTXY(kRedX0, kRedY, kPenMove, page);
  PLOTXY(kRedX1, kRedY, kPenDraw, page);
  SET_PEN(0);
  const std::string& label = KnownGraphGeometry().label;
  SYMBOL(kLabelX, kLabelY, kLabelHeight, label, 0, static_cast<int>(label.size()));
}

DevicePoint PageOf(const PageSetup& setup, DevicePoint p) {
  double x = setup.factorX * p.x, y = setup.factorY * p.y;
  if (setup.truncate) {
    x = std::trunc(x);
    y = std::trunc(y);
  }
  if (setup.landscape) {
    const double turned = -y;
    y = x;
    x = turned;
  }
  x += setup.offsetX;
  y += setup.offsetY;
  if (setup.yDown) y = setup.pageHeight - y;
  return {x, y};
}

DeviceSegment PageOf(const PageSetup& setup, const DeviceSegment& s) {
  return {PageOf(setup, s.a), PageOf(setup, s.b), s.what};
}

DeviceBox PageOf(const PageSetup& setup, const DeviceBox& b) {
  const DevicePoint p = PageOf(setup, b.lowerLeft), q = PageOf(setup, b.upperRight);
  return {{std::min(p.x, q.x), std::min(p.y, q.y)}, {std::max(p.x, q.x), std::max(p.y, q.y)}};
}

}  // namespace sup::testing
