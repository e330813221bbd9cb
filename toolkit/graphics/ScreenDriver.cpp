// The screen driver: driver operations drawn on the current surface.
#include "toolkit/graphics/ScreenDriver.h"

#include <cmath>
#include <optional>
#include <vector>

#include "platform/window/Window.h"
#include "toolkit/core/Rounding.h"
#include "toolkit/graphics/Colours.h"

namespace tk {
namespace {

using plat::Pixel;
using plat::Point;
using plat::Rect;

enum PenStyleCode { kPenSolid = 0, kPenDash = 1, kPenDot = 2, kPenDashDot = 3, kPenDashDotDot = 4 };

// Master dash tables in pixels at the screen resolution: dash, gap, dash, gap ...
const std::array<std::vector<int>, 8> kMasterDashes{{
    {},
    {1, 4},
    {8, 6},
    {1, 4, 8, 4},
    {1, 4, 1, 4, 8, 4},
    {8, 4, 4, 4},
    {4, 4},
    {8, 4, 4, 4, 4, 4},
}};
constexpr std::array<int, 8> kStyleOfType{kPenSolid,      kPenDot,     kPenDash, kPenDashDot,
                                          kPenDashDotDot, kPenDashDot, kPenDash, kPenDashDotDot};
constexpr std::string_view kCapabilities = "11111111111111111110111011111";

struct Driver {
  SurfaceBinding binding;
  std::optional<plat::Canvas> canvas;
  int displayColours = 1 << 24;
  int screenPpi = 96;
  bool hasPalette = false;
  plat::Palette palette;
  Pixel currentDevice = 0;
  Pixel previousDevice = plat::Rgb(255, 255, 255);
  bool patternStale = true;
  plat::Brush halftone;
  int penStyle = kPenSolid;
  int lineType = 0;
  int lineWidth = 1;
  plat::Rop2 rop = plat::Rop2::CopyPen;
  std::optional<Rect> clip;
  std::array<std::vector<int>, 8> dashes = kMasterDashes;
  std::array<Point, kDriverMaxPoints> points;
  int singleBatch = 0;
  int reloadBatch = 0;
  ScreenProperties properties;
  ScreenDriverSeams seams;
};

Driver& D() {
  static Driver d;
  return d;
}

int MaxY() {
  return Gs().maxY;
}
int Row(int ky) {
  return MaxY() - ky;
}

// Coordinates beyond this are far outside any surface; keeping within it
// lets the arithmetic on rows and boxes never overflow.
constexpr int kCoordinateLimit = 1 << 28;

inline int Trunc(float v) {
  // Inside the limit (never NaN) truncation toward zero is the plain conversion.
  constexpr float kLimit = static_cast<float>(kCoordinateLimit);
  if (v > -kLimit && v < kLimit) return static_cast<int>(v);
  std::int32_t out;
  (void)TruncateIntChecked(v, out);
  return std::clamp(out, -kCoordinateLimit, kCoordinateLimit);
}

// Truncation of the driver's own real coordinates, kept inside the range the
// canvas accepts.
Point DevicePoint(float x, float y) {
  return {Trunc(x), MaxY() - Trunc(y)};
}

plat::Pen LinePen() {
  Driver& d = D();
  if (d.penStyle == kPenSolid || d.lineType == 0)
    return plat::Pen::Solid(d.currentDevice, d.lineWidth);
  return plat::Pen::User(d.dashes[d.lineType], d.currentDevice, d.lineWidth);
}

void GdiPenCreate() {
  Driver& d = D();
  if (d.canvas) d.canvas->SetPen(LinePen());
}

Pixel ResolveDevice(int slot, int rgb) {
  Driver& d = D();
  if (d.binding.metafile) return RgbToPixel(rgb);
  if (d.hasPalette) return plat::PaletteIndex(slot);
  return RgbToPixel(rgb);
}

void GdiColourResolve(int slot, int rgb) {
  Driver& d = D();
  d.previousDevice = d.currentDevice;
  d.currentDevice = ResolveDevice(slot, rgb);
  d.patternStale = true;
  GdiPenCreate();
}

Pixel Concrete(Pixel c) {
  const Driver& d = D();
  if (plat::IsPaletteIndex(c)) return d.hasPalette ? d.palette.entries[c & 0xFF] : 0;
  return c;
}

plat::Brush GdiHalftoneBrush() {
  Driver& d = D();
  if (d.binding.metafile) {
    const Pixel a = Concrete(d.currentDevice), b = Concrete(d.previousDevice);
    return plat::Brush::Solid(plat::Rgb((plat::RedOf(a) + plat::RedOf(b)) >> 1,
                                        (plat::GreenOf(a) + plat::GreenOf(b)) >> 1,
                                        (plat::BlueOf(a) + plat::BlueOf(b)) >> 1));
  }
  if (d.patternStale) {
    d.halftone = plat::Brush::Halftone(Concrete(d.currentDevice), Concrete(d.previousDevice));
    d.patternStale = false;
  }
  return d.halftone;
}

void SelectClip() {
  Driver& d = D();
  if (d.clip) d.canvas->SetClipRegion(plat::Region(*d.clip));
}

void RemoveClip() {
  Driver& d = D();
  if (d.clip) d.canvas->ClearClipRegion();
}

// Selects the brush and pen of a filled shape (fill 3 halftone, 4 solid).
void ShapeObjects(int fill) {
  Driver& d = D();
  if (fill == 3) {
    d.canvas->SetBrush(GdiHalftoneBrush());
    d.canvas->SetPen(plat::Pen::None());
  } else {
    d.canvas->SetBrush(plat::Brush::Solid(d.currentDevice));
    // In exclusive-or mode an outline would invert the edge pixels a second time.
    d.canvas->SetPen(d.rop == plat::Rop2::XorPen ? plat::Pen::None()
                                                 : plat::Pen::Solid(d.currentDevice));
  }
}

void ShapeDone() {
  D().canvas->SetBrush(plat::Brush::None());
  GdiPenCreate();
}

void GdiPolygon(int n, int fill) {
  Driver& d = D();
  SelectClip();
  ShapeObjects(fill);
  d.canvas->SetFillMode(plat::FillMode::Alternate);
  d.canvas->Polygon(std::span<const Point>(d.points.data(), static_cast<std::size_t>(n)));
  ShapeDone();
  RemoveClip();
}

void GdiVertexStore(int x, int y, int i) {
  D().points[i] = {x, y};
}

void GdiLine(int x1, int y1, int x2, int y2) {
  Driver& d = D();
  d.canvas->MoveTo({x1, y1});
  d.canvas->LineTo({x2, y2});
  // The platform's line leaves out its end pixel; a solid line gets it so
  // that a line whose ends coincide still shows. In exclusive-or mode the
  // fix-up would survive a second drawing, so it is left out there.
  if (d.penStyle == kPenSolid && d.rop != plat::Rop2::XorPen)
    d.canvas->SetPixel({x2, y2}, d.currentDevice);
}

int StoreArrayPoints(int n) {
  const DriverParameters& dp = DriverParams();
  n = std::clamp(n, 0, kDriverMaxPoints);
  for (int i = 0; i < n; ++i) {
    const Point p = DevicePoint(dp.pointX[i], dp.pointY[i]);
    GdiVertexStore(p.x, p.y, i);
  }
  return n;
}

void GdiPolyline(int n) {
  Driver& d = D();
  if (n < 1) return;
  d.canvas->Polyline(std::span<const Point>(d.points.data(), static_cast<std::size_t>(n)));
  const Point last = d.points[n - 1];
  if (d.penStyle == kPenSolid && d.rop != plat::Rop2::XorPen && !(last == d.points[0]))
    d.canvas->SetPixel(last, d.currentDevice);
}

void GdiEllipse(int cx, int cy, int rx, int ry, int kind, int fill) {
  Driver& d = D();
  const int c = (kind != 4 && fill == 3) ? 3 : 2;
  SelectClip();
  if (kind == 4) {
    d.canvas->SetBrush(plat::Brush::None());
  } else {
    ShapeObjects(fill);
  }
  d.canvas->Ellipse({cx - rx - 1, cy - ry - 1, cx + rx + c, cy + ry + c});
  ShapeDone();
  RemoveClip();
}

void GdiRectangle(int left, int top, int right, int bottom, int fill) {
  Driver& d = D();
  d.canvas->SetBrush(fill == 3 ? GdiHalftoneBrush() : plat::Brush::Solid(d.currentDevice));
  d.canvas->SetPen(plat::Pen::None());
  d.canvas->Rectangle({left, top, right + 2, bottom + 2});
  ShapeDone();
}

// Pie and arc: the points of the radials (shared computation).
struct PieGeometry {
  Point centre, start, end;
  int rx, ry;
};

PieGeometry PiePoints(bool pie) {
  const DriverParameters& dp = DriverParams();
  const int maxY = MaxY();
  auto radial = [&](float a) {
    float c = std::cos(a), s = std::sin(a);
    if (!std::isfinite(c) || !std::isfinite(s)) {
      c = 1;
      s = 0;
    }
    return Point{Trunc(static_cast<float>(dp.KX[0]) + c * dp.X[1]),
                 maxY - Trunc(static_cast<float>(dp.KY[0]) + dp.Y[1] * s)};
  };
  PieGeometry g;
  g.start = radial(dp.X[2]);
  g.end = radial(dp.Y[2]);
  if (pie && g.start == g.end && std::fabs(dp.Y[3]) <= 10.0f) {
    float a = std::fmod(dp.X[3], 360.0f);
    if (a < 0) a += 360.0f;
    if (a < 90) {
      g.end.x -= 1, g.end.y -= 1;
    } else if (a < 180) {
      g.end.x -= 1, g.end.y += 1;
    } else if (a < 270) {
      g.end.x += 1, g.end.y += 1;
    } else {
      g.end.x += 1, g.end.y -= 1;
    }
  }
  g.rx = Trunc(dp.X[1]);
  g.ry = Trunc(dp.Y[1]);
  g.centre = {dp.KX[0], Row(dp.KY[0])};
  return g;
}

void GdiPie(const PieGeometry& g, int fill) {
  Driver& d = D();
  SelectClip();
  ShapeObjects(fill);
  if (fill == 4) d.canvas->SetPen(plat::Pen::Solid(d.currentDevice));
  const int c = fill == 3 ? 3 : 2;
  d.canvas->Pie(
      {g.centre.x - g.rx - 1, g.centre.y - g.ry - 1, g.centre.x + g.rx + c, g.centre.y + g.ry + c},
      g.start, g.end);
  ShapeDone();
  RemoveClip();
}

void GdiArc(const PieGeometry& g) {
  Driver& d = D();
  const GraphicsState& gs = Gs();
  SelectClip();
  d.canvas->SetBrush(plat::Brush::None());
  const Rect box{g.centre.x - g.rx - 1, g.centre.y - g.ry - 1, g.centre.x + g.rx + 2,
                 g.centre.y + g.ry + 2};
  if (gs.hatchDensity < 3 || gs.fillStyle > 0)
    d.canvas->Pie(box, g.start, g.end);
  else
    d.canvas->Arc(box, g.start, g.end);
  RemoveClip();
}

void GdiClipRect() {
  Driver& d = D();
  const GraphicsState& gs = Gs();
  const int maxY = MaxY();
  if (!d.binding.dialogField && gs.clipPixX0 <= 0 && gs.clipPixY0 <= 0 && gs.clipPixX1 >= gs.maxX &&
      gs.clipPixY1 >= maxY)
    d.clip.reset();
  else
    d.clip = Rect{gs.clipPixX0, maxY - gs.clipPixY1, gs.clipPixX1, maxY - gs.clipPixY0};
}

void GdiAreaCopy() {
  Driver& d = D();
  const DriverParameters& dp = DriverParams();
  const int maxY = MaxY();
  const int sx = dp.KX[0], sy = Row(dp.KY[1]);
  const int w = dp.KX[1] - dp.KX[0] + 1, h = dp.KY[1] - dp.KY[0] + 1;
  const int dx = dp.KX[2], dy = maxY - (dp.KY[2] + dp.KY[1] - dp.KY[0]);
  if (w <= 0 || h <= 0) return;
  plat::Rop3 rop = plat::kSrcCopy;
  switch (d.rop) {
    case plat::Rop2::MergePen:
      rop = plat::kSrcPaint;
      break;
    case plat::Rop2::MaskPen:
      rop = plat::kSrcAnd;
      break;
    case plat::Rop2::XorPen:
      rop = plat::kSrcInvert;
      break;
    default:
      break;
  }
  SelectClip();
  const Point origin = d.binding.origin;
  d.canvas->BitBlt({dx, dy}, w, h, d.canvas->Target(), {sx + origin.x, sy + origin.y}, rop);
  if (dp.P2 != 0) {
    // Clear the part of the source the destination does not cover.
    const int sx0 = sx, sx1 = sx + w - 1, sy0 = sy, sy1 = sy + h - 1;
    const int dx0 = dx, dx1 = dx + w - 1, dy0 = dy, dy1 = dy + h - 1;
    std::vector<Point> poly{{sx0, sy0}, {sx1, sy0}, {sx1, sy1}, {sx0, sy1}};
    auto within = [](int v, int lo, int hi) { return v >= lo && v <= hi; };
    if (within(dx1, sx0, sx1) && within(sy1, dy0, dy1)) {
      if (dx1 == sx1)
        poly = {{sx0, sy0}, {sx1, sy0}, {sx1, dy0 - 1}, {sx0, dy0 - 1}};
      else if (dy0 == sy0)
        poly = {{dx1 + 1, sy0}, {sx1, sy0}, {sx1, sy1}, {dx1 + 1, sy1}};
      else
        poly = {{sx0, sy0},     {sx1, sy0},         {sx1, sy1},
                {dx1 + 1, sy1}, {dx1 + 1, dy0 - 1}, {sx0, dy0 - 1}};
    } else if (within(dx1, sx0, sx1) && within(sy0, dy0, dy1)) {
      if (dx1 == sx1)
        poly = {{sx0, dy1 + 1}, {sx1, dy1 + 1}, {sx1, sy1}, {sx0, sy1}};
      else
        poly = {{dx1 + 1, sy0}, {sx1, sy0},     {sx1, sy1},
                {sx0, sy1},     {sx0, dy1 + 1}, {dx1 + 1, dy1 + 1}};
    } else if (!within(dx1, sx0, sx1) && within(dx0, sx0, sx1)) {
      if (dy0 == sy0)
        poly = {{sx0, sy0}, {dx0 - 1, sy0}, {dx0 - 1, sy1}, {sx0, sy1}};
      else if (within(sy1, dy0, dy1))
        poly = {{sx0, sy0},         {sx1, sy0},     {sx1, dy0 - 1},
                {dx0 - 1, dy0 - 1}, {dx0 - 1, sy1}, {sx0, sy1}};
      else if (within(sy0, dy0, dy1))
        poly = {{sx0, sy0},     {dx0 - 1, sy0}, {dx0 - 1, dy1 + 1},
                {sx1, dy1 + 1}, {sx1, sy1},     {sx0, sy1}};
    }
    const Pixel clear = d.hasPalette ? plat::PaletteIndex(0) : RgbToPixel(PaletteGetRgb(0));
    d.canvas->SetRop2(plat::Rop2::CopyPen);
    d.canvas->SetBrush(plat::Brush::Solid(clear));
    d.canvas->SetPen(plat::Pen::Solid(clear));
    d.canvas->Polygon(poly);
    d.canvas->SetRop2(d.rop);
    ShapeDone();
  }
  RemoveClip();
}

// Writes a palette entry (steps: 0 lone, 1 first of a batch, 2 further, 3 last).
void GdiPaletteEntrySet(int slot, int rgb, int /*step*/) {
  Driver& d = D();
  if (d.binding.metafile || !d.hasPalette || slot < 0 || slot > 255) return;
  d.palette.entries[slot] = RgbToPixel(rgb);
  d.patternStale = true;
}

int SlotTableRgb(int slot) {
  return Gs().paletteSize == 16 ? PaletteSlot16(slot) : PaletteSlot256(slot);
}

void LoadLogicalPalette() {
  Driver& d = D();
  const int n = std::clamp(Gs().paletteSize, 0, 256);
  for (int i = 0; i < n; ++i) d.palette.entries[i] = RgbToPixel(SlotTableRgb(i));
  d.patternStale = true;
}

void ReResolveColours() {
  const GraphicsState& gs = Gs();
  GdiColourResolve(gs.previous.slot, gs.previous.rgb);
  GdiColourResolve(gs.current.slot, gs.current.rgb);
}

void PaletteEntryOperation() {
  Driver& d = D();
  DriverParameters& dp = DriverParams();
  GraphicsState& gs = Gs();
  if (d.hasPalette) {
    const int slot = dp.P2;
    const bool differs = SlotTableRgb(slot) != dp.KX[0];
    int step;
    const bool closeBatch = dp.KX[3] == 0 && d.singleBatch == 3;
    if (dp.KX[3] == 0) {
      step = d.singleBatch;
      d.singleBatch = 0;
    } else {
      step = d.singleBatch / 3 + 1;
      d.singleBatch = 3;
    }
    if (differs || closeBatch) GdiPaletteEntrySet(slot, dp.KX[0], step);
  }
  if (gs.colourMode == 1 && (dp.P2 == gs.previous.number || dp.P2 == gs.current.number)) {
    // The entry's new RGB reaches the state's colours first.
    if (dp.P2 == gs.previous.number) gs.previous.rgb = dp.KX[0];
    if (dp.P2 == gs.current.number) gs.current.rgb = dp.KX[0];
    ReResolveColours();
  }
}

void SoftwareFill() {
  Driver& d = D();
  DriverParameters& dp = DriverParams();
  if (!d.seams.softwareFill) return;
  const int n = std::clamp(dp.softwareFillCount, 0, kDriverMaxPoints);
  std::vector<int> xs(n), ys(n);
  auto pixel = [](float v) { return Trunc(v < 0 ? v - 0.999f : v); };
  for (int i = 0; i < n; ++i) {
    xs[i] = pixel(dp.pointX[i]);
    ys[i] = MaxY() - pixel(dp.pointY[i]);
  }
  const GraphicsState& gs = Gs();
  const Rect clip{gs.clipPixX0, MaxY() - gs.clipPixY1, gs.clipPixX1, MaxY() - gs.clipPixY0};
  ScreenDriverSeams::SetPixelFn setPixel = [&d](int x, int y, int rgb) {
    const Pixel p = RgbToPixel(rgb);
    d.canvas->SetPixel({x, y}, d.hasPalette ? plat::PaletteIndex(d.palette.NearestIndex(p)) : p);
  };
  ScreenDriverSeams::GradientFn gradient = [&d](std::span<const int> vx, std::span<const int> vy,
                                                std::span<const int> colours,
                                                std::span<const std::array<int, 3>> triangles) {
    const std::size_t count = std::min({vx.size(), vy.size(), colours.size()});
    std::vector<plat::GradientVertex> vertices(count);
    for (std::size_t i = 0; i < count; ++i) vertices[i] = {vx[i], vy[i], RgbToPixel(colours[i])};
    std::vector<std::array<int, 3>> tri(triangles.begin(), triangles.end());
    for (auto& t : tri)
      for (int& v : t) v -= 1;  // given from 1
    return d.canvas->GradientFillTriangles(vertices, tri) ? 0 : 1;
  };
  d.seams.softwareFill(xs, ys, clip, dp.gradientFill[0], setPixel, gradient);
}

}  // namespace

const ScreenProperties& ScreenDriverProperties() {
  return D().properties;
}
ScreenDriverSeams& ScreenSeams() {
  return D().seams;
}

Pixel ScreenDeviceColour(bool previous) {
  const Driver& d = D();
  return Concrete(previous ? d.previousDevice : d.currentDevice);
}

int ScreenPixelsPerInch() {
  return D().screenPpi;
}

void ScreenDisplaySet(int colours, int pixelsPerInch) {
  Driver& d = D();
  d.displayColours = colours;
  d.screenPpi = pixelsPerInch > 0 ? pixelsPerInch : 96;
  d.hasPalette = colours <= 256;
  if (d.hasPalette) LoadLogicalPalette();
  DashPatternRescale();
}

void DashPatternRescale() {
  Driver& d = D();
  // The metafile surface would scale by its own resolution; the screen's is the reference.
  for (int t = 1; t <= 7; ++t) {
    d.dashes[t] = kMasterDashes[t];
    if (d.lineWidth >= 2)
      for (std::size_t i = 1; i < d.dashes[t].size(); i += 2) d.dashes[t][i] += d.lineWidth - 1;
  }
}

std::span<const int> DashTable(int lineType) {
  if (lineType < 1 || lineType > 7) return {};
  return D().dashes[lineType];
}

void ScreenSurfacePrepare(const SurfaceBinding& binding) {
  Driver& d = D();
  d.binding = binding;
  d.canvas.reset();
  if (!binding.surface) return;
  d.canvas.emplace(*binding.surface, binding.origin,
                   Rect{0, 0, binding.size.width, binding.size.height});
  d.patternStale = true;
  d.canvas->SetRop2(d.rop);
  d.canvas->SetBkMode(plat::BkMode::Transparent);
  d.canvas->SetBrush(plat::Brush::None());
  DashPatternRescale();
  GdiPenCreate();
  if (d.hasPalette && !binding.metafile) d.canvas->SetPalette(&d.palette);
}

void ScreenSurfaceRelease() {
  Driver& d = D();
  d.canvas.reset();
  d.binding = SurfaceBinding{};
}

void ScreenSurfaceResized(int width, int height) {
  Driver& d = D();
  if (!d.binding.surface) return;
  SurfaceBinding b = d.binding;
  b.size = {width, height};
  ScreenSurfacePrepare(b);
}

void ScreenLineStrip(std::span<const float> X, std::span<const float> Y) {
  Driver& d = D();
  const std::size_t n = std::min(X.size(), Y.size());
  if (!Gs().screenOn || !d.canvas || n < 2) return;
  thread_local std::vector<Point> points;
  points.resize(n);
  // DevicePoint for every point, the row flip read once.
  const int maxY = MaxY();
  for (std::size_t i = 0; i < n; ++i) points[i] = {Trunc(X[i]), maxY - Trunc(Y[i])};
  // As GdiLine draws each segment, end pixel included.
  const bool endPixels = d.penStyle == kPenSolid && d.rop != plat::Rop2::XorPen;
  d.canvas->Segments(points, endPixels ? std::optional<Pixel>(d.currentDevice) : std::nullopt);
  if (d.binding.window != plat::kNoWindow) plat::MarkDrawn(d.binding.window);
}

void YYGAPI(DriverOperation& op) {
  Driver& d = D();
  GraphicsState& gs = Gs();
  DriverParameters& dp = DriverParams();
  if (!gs.screenOn) return;
  const int code = static_cast<int>(op);
  if (op != DriverOperation::PaletteEntry) {
    for (int i = 0; i < 4; ++i) {
      dp.KX[i] = std::clamp(dp.KX[i], -kCoordinateLimit, kCoordinateLimit);
      dp.KY[i] = std::clamp(dp.KY[i], -kCoordinateLimit, kCoordinateLimit);
    }
  }
  if (code == 1) {
    d.properties.item38 = 8;
    dp.textAngles[0] = 360;
    dp.platformLevel[0] = 2;
    dp.trueColour[0] = d.displayColours > 256 ? 1 : 0;
    dp.gradientFill[0] = 2;
    dp.deviceTextMaximum[0] = 1.7e38f;
    dp.capabilities[0] = std::string(kCapabilities);
    if (gs.drawableKind == kDrawMetafile) dp.capabilities[0][28] = '0';
    return;
  }
  // Operations that need no surface.
  switch (op) {
    case DriverOperation::Colour:
      GdiColourResolve(gs.current.slot, gs.current.rgb);
      return;
    case DriverOperation::PlotMode: {
      static constexpr std::array<plat::Rop2, 4> kRops{plat::Rop2::CopyPen, plat::Rop2::MergePen,
                                                       plat::Rop2::MaskPen, plat::Rop2::XorPen};
      d.rop = kRops[std::clamp(gs.plotMode, 0, 3)];
      if (d.canvas) d.canvas->SetRop2(d.rop);
      return;
    }
    case DriverOperation::LineType: {
      const int type = std::clamp(gs.lineType, 0, 7);
      d.penStyle = kStyleOfType[type];
      d.lineType = type;
      GdiPenCreate();
      return;
    }
    case DriverOperation::LineWidth: {
      int width = gs.screenLineWidth;
      if (gs.drawableKind == kDrawMetafile) {
        const MetafileSlot& slot = MetafileSlotAt(gs.drawableNumber);
        width = slot.first > 0 ? gs.hardcopyLineWidth * slot.width / (10 * slot.first) : 1;
      }
      d.lineWidth = std::max(width, 1);
      DashPatternRescale();
      GdiPenCreate();
      return;
    }
    case DriverOperation::ClipRectangle:
      GdiClipRect();
      return;
    case DriverOperation::BeginPicture:
      d.singleBatch = 0;
      if (d.seams.text) d.seams.text(op, d.canvas ? &*d.canvas : nullptr);
      return;
    case DriverOperation::PaletteEntry:
      PaletteEntryOperation();
      return;
    case DriverOperation::PaletteReload:
      if (d.hasPalette) LoadLogicalPalette();
      if (gs.colourMode == 1) {
        gs.previous.rgb = PaletteGetRgb(gs.previous.number);
        gs.current.rgb = PaletteGetRgb(gs.current.number);
      }
      ReResolveColours();
      return;
    case DriverOperation::CharacterSize:
    case DriverOperation::Text:
    case DriverOperation::TextWidth:
    case DriverOperation::TextAngle:
      if (d.seams.text) d.seams.text(op, d.canvas ? &*d.canvas : nullptr);
      return;
    case DriverOperation::EndPage:
      if (d.seams.endPage) d.seams.endPage(d.canvas ? &*d.canvas : nullptr);
      return;
    default:
      break;
  }
  if (op == DriverOperation::ReadPixel) {
    std::optional<Pixel> p;
    if (d.canvas && !d.binding.metafile) p = d.canvas->GetPixel({dp.KX[0], Row(dp.KY[0])});
    if (!p) {
      dp.KX[0] = -1;
      return;
    }
    dp.KX[0] = PixelToRgb(*p);
    dp.KX[1] = plat::GreenOf(*p);
    dp.KX[2] = plat::BlueOf(*p);
    return;
  }
  if (!d.canvas) return;
  switch (op) {
    case DriverOperation::Line:
      GdiLine(dp.KX[0], Row(dp.KY[0]), dp.KX[1], Row(dp.KY[1]));
      break;
    case DriverOperation::EllipseOutline:
    case DriverOperation::EllipseHalftone:
    case DriverOperation::EllipseSolid:
      GdiEllipse(dp.KX[0], Row(dp.KY[0]), dp.KX[1], dp.KY[1], code, code - 2);
      break;
    case DriverOperation::TrapeziumHalftone:
    case DriverOperation::TrapeziumSolid:
      for (int i = 0; i < 4; ++i) GdiVertexStore(dp.KX[i], Row(dp.KY[i]), i);
      GdiPolygon(4, code - 4);
      break;
    case DriverOperation::RectangleHalftone:
    case DriverOperation::RectangleSolid:
      GdiRectangle(dp.KX[0], Row(dp.KY[1]), dp.KX[1], Row(dp.KY[0]), code - 6);
      break;
    case DriverOperation::TriangleHalftone:
    case DriverOperation::TriangleSolid:
      for (int i = 0; i < 3; ++i) GdiVertexStore(dp.KX[i], Row(dp.KY[i]), i);
      GdiPolygon(3, code - 8);
      break;
    case DriverOperation::PieHalftone:
    case DriverOperation::PieSolid:
      GdiPie(PiePoints(true), code - 10);
      break;
    case DriverOperation::Arc:
      GdiArc(PiePoints(false));
      break;
    case DriverOperation::PolygonHalftone:
    case DriverOperation::PolygonSolid:
      GdiPolygon(StoreArrayPoints(dp.P1), code - 12);
      break;
    case DriverOperation::Clear: {
      const Pixel c = d.binding.metafile ? RgbToPixel(PaletteGetRgb(0))
                      : d.hasPalette     ? plat::PaletteIndex(0)
                                         : RgbToPixel(PaletteGetRgb(0));
      d.canvas->FillRect({0, 0, gs.width + 1, gs.height + 1}, plat::Brush::Solid(c));
      break;
    }
    case DriverOperation::AreaCopy:
      if (gs.drawableKind != kDrawMetafile) GdiAreaCopy();
      break;
    case DriverOperation::Point:
      d.canvas->SetPixel({dp.KX[0], Row(dp.KY[0])}, d.currentDevice);
      break;
    case DriverOperation::Polyline:
      GdiPolyline(StoreArrayPoints(dp.P1));
      break;
    case DriverOperation::Image:
      if (d.seams.image) d.seams.image(&*d.canvas);
      break;
    case DriverOperation::SoftwareFill:
      SoftwareFill();
      break;
    default:
      break;  // 19, 36, 37, 39 and unknown codes do nothing
  }
  if (d.binding.window != plat::kNoWindow) plat::MarkDrawn(d.binding.window);
}

bool ScreenClipHolds(int left, int bottom, int right, int top) {
  const Driver& d = D();
  if (!d.canvas || d.binding.metafile) return false;
  if (!d.clip) return true;
  const Rect& c = *d.clip;
  return left >= c.left && right < c.right && Row(top) >= c.top && Row(bottom) < c.bottom;
}

plat::Canvas* ScreenDriverCanvas() {
  Driver& d = D();
  return d.canvas ? &*d.canvas : nullptr;
}

}  // namespace tk
