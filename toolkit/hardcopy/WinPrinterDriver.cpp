// The system printer driver.
#include "toolkit/hardcopy/WinPrinterDriver.h"

#include "toolkit/hardcopy/GdiDrawing_p.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <memory>
#include <span>
#include <vector>

#include "platform/FixedText.h"
#include "platform/text/Font.h"
#include "toolkit/core/Errors.h"
#include "toolkit/graphics/Colours.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/ImageDevice.h"
#include "toolkit/graphics/ScreenDriver.h"
#include "toolkit/graphics/StrokeFont.h"
#include "toolkit/hardcopy/HardcopyOptions.h"
#include "toolkit/hardcopy/MetafileDriver.h"
#include "toolkit/hardcopy/PolygonFill.h"
#include "toolkit/hardcopy/PrintHandOver.h"
#include "toolkit/hardcopy/PrinterAccess.h"
#include "toolkit/hardcopy/TextFileOutput.h"

namespace tk {
namespace {

constexpr std::string_view kRoutine = "XXWIN";
constexpr std::string_view kCapabilities = "00000111111111100010011011110";

// On/off lengths in screen pixels of line types 1-7.
const std::array<std::vector<int>, 8> kScreenDashes{{{},
                                                     {1, 4},
                                                     {8, 6},
                                                     {1, 4, 8, 4},
                                                     {1, 4, 1, 4, 8, 4},
                                                     {8, 4, 4, 4},
                                                     {4, 4},
                                                     {8, 4, 4, 4, 4, 4}}};
// The cosmetic style of each line type.
constexpr std::array<plat::PenStyle, 8> kStyles{
    plat::PenStyle::Solid,   plat::PenStyle::Dot,        plat::PenStyle::Dash,
    plat::PenStyle::DashDot, plat::PenStyle::DashDotDot, plat::PenStyle::DashDot,
    plat::PenStyle::Dash,    plat::PenStyle::DashDotDot};

struct WinState {
  std::unique_ptr<PrinterContext> dc;
  bool documentOpen = false;
  bool pagePending = false;
  plat::Point origin{};
  int pageWidth = 0, pageHeight = 0;  // pixels
  int resolutionX = 300, resolutionY = 300;
  int current = 0, previous = 0;  // packed RGB, red in the low byte
  std::array<int, 3> foreground{255, 255, 255};
  std::array<int, 3> background{255, 255, 255};
  int lineWidth = 1;
  int lineType = 0;
  int penColour = -1, penType = -1, penWidth = -1;
  std::array<std::vector<int>, 8> dashes = kScreenDashes;
  std::shared_ptr<const plat::Font> font;
  int ascent = 0, cellHeight = 0;
  std::optional<plat::Rect> clip;  // logical pixels
  int status = 0;  // page information status of the last select
  std::string keptFile;
  // The metafile driver's drawing: no pages, a recording context, and the
  // rules where a metafile differs from a printer page.
  bool metafile = false;
  bool enhanced = false;
  plat::DrawContext* target = nullptr;
  double pixelsPer720 = 1.0;
};

WinState& PrinterState() {
  static WinState s;
  return s;
}
WinState& MetafileState() {
  static WinState s = [] {
    WinState m;
    m.metafile = true;
    m.resolutionX = m.resolutionY = 720;
    return m;
  }();
  return s;
}
WinState* active = nullptr;

WinState& W() {
  return active ? *active : PrinterState();
}

int Trunc(double v) {
  if (!std::isfinite(v)) return 0;
  if (v >= 2147483647.0) return 2147483647;
  if (v <= -2147483648.0) return -2147483647 - 1;
  return static_cast<int>(v);
}

float AreaHeight() {
  return Gs().extentY;
}
float AreaWidth() {
  return Gs().extentX;
}

int PxX(float x) {
  return Trunc(static_cast<double>(DriverParams().factorX) * x);
}
int PxY(float y) {
  return Trunc((static_cast<double>(AreaHeight()) - y) * DriverParams().factorY);
}
plat::Point Px(float x, float y) {
  return {PxX(x), PxY(y)};
}

plat::Pixel PixelOf(int packed) {
  return plat::Rgb(packed & 0xFF, (packed >> 8) & 0xFF, (packed >> 16) & 0xFF);
}
int Packed(const std::array<int, 3>& c) {
  return c[0] + 256 * c[1] + 65536 * c[2];
}

void SetCurrent(const std::array<int, 3>& c) {
  WinState& w = W();
  w.previous = w.current;
  w.current = Packed(c);
}

// Option 6: 1 inverts every colour, 2 only the near-black and near-white ones.
void Invert(std::array<int, 3>& c) {
  const int mode = HardcopyOption(6);
  const bool dark = c[0] < 10 && c[1] < 10 && c[2] < 10;
  const bool light = c[0] > 245 && c[1] > 245 && c[2] > 245;
  if (mode == 1 || (mode == 2 && (dark || light)))
    for (int& v : c) v = 255 - v;
}

bool Monochrome() {
  return !W().metafile && HardcopyOption(7) != 0;
}

void RescaleDashes() {
  WinState& w = W();
  const int screen = std::max(ScreenPixelsPerInch(), 1);
  for (std::size_t t = 0; t < kScreenDashes.size(); ++t) {
    std::vector<int>& d = w.dashes[t];
    d = kScreenDashes[t];
    for (std::size_t i = 0; i < d.size(); ++i) {
      d[i] = w.resolutionX * d[i] / screen;
      if (i % 2 == 1 && w.lineWidth >= 2) d[i] += w.lineWidth - 1;
    }
  }
}

plat::DrawContext* Ctx() {
  WinState& w = W();
  if (w.metafile) return w.target;
  return w.dc ? w.dc->Draw() : nullptr;
}

void SelectFont() {
  // Fonts are objects of the drawing calls here: nothing to select.
}

void StartPage() {
  WinState& w = W();
  if (!w.dc) return;
  w.dc->SetWindowOrigin(w.origin);
  w.dc->StartPage();
  SelectFont();
  w.pagePending = false;
}

// The drawing that follows an end of page starts the next page first.
plat::DrawContext* PageForDrawing() {
  WinState& w = W();
  if (w.metafile) return w.target;
  if (!w.documentOpen) return nullptr;
  if (w.pagePending) StartPage();
  return Ctx();
}

void FitPen(plat::DrawContext& ctx) {
  WinState& w = W();
  if (w.penColour == w.current && w.penType == w.lineType && w.penWidth == w.lineWidth) return;
  w.penColour = w.current;
  w.penType = w.lineType;
  w.penWidth = w.lineWidth;
  const int type = std::clamp(w.lineType, 0, 7);
  if (w.metafile && (!w.enhanced || HardcopyOption(29) != 0))
    ctx.SetPen(plat::Pen::Styled(kStyles[static_cast<std::size_t>(type)], PixelOf(w.current),
                                 w.lineWidth));
  else if (type != 0)
    ctx.SetPen(plat::Pen::User(w.dashes[static_cast<std::size_t>(type)], PixelOf(w.current),
                               w.lineWidth));
  else
    ctx.SetPen(plat::Pen::Styled(kStyles[0], PixelOf(w.current), w.lineWidth));
}

// Pens other than the fitted one leave the cache invalid.
void OtherPen(plat::DrawContext& ctx, const plat::Pen& pen) {
  ctx.SetPen(pen);
  W().penColour = -1;
}

void ColourOperation() {
  WinState& w = W();
  const GraphicsState& gs = Gs();
  w.background = w.foreground;
  if (!Monochrome()) {
    StateColourRgb(true, w.foreground[0], w.foreground[1], w.foreground[2]);
    Invert(w.foreground);
  } else {
    bool white;
    if (gs.colourMode == 1)
      white = gs.current.number == 0;
    else
      white = gs.current.rgb == 16777215;
    w.foreground = white ? std::array<int, 3>{255, 255, 255} : std::array<int, 3>{0, 0, 0};
  }
  SetCurrent(w.foreground);
}

void Begin() {
  WinState& w = W();
  DriverParameters& dp = DriverParams();
  GraphicsState& gs = Gs();
  if (dp.P2 > 0) {
    int failure = w.status;
    if (failure == 0) {
      if (dp.KX[0] == 0) HardcopyTitle() = plat::Padded(kDefaultDocumentName, kHardcopyTitleLength);
      const std::string name(plat::TrimRight(HardcopyTitle()));
      if (!w.documentOpen) {
        w.dc = PrinterDC(HardcopyOption(5), HardcopyOption(8));
        if (!w.dc) {
          failure = ENODEV;
        } else {
          w.dc->StartDoc(name);
          w.documentOpen = true;
        }
      }
      if (failure == 0) {
        const int colours = w.dc->Colours();
        w.resolutionX = w.dc->ResolutionX();
        w.resolutionY = w.dc->ResolutionY();
        dp.resolutionX = w.resolutionX;
        dp.resolutionY = w.resolutionY;
        RescaleDashes();
        w.origin = {w.dc->OffsetX() - HardcopyOption(3) * w.resolutionX / 72,
                    w.dc->OffsetY() - HardcopyOption(4) * w.resolutionY / 72};
        w.pageWidth = w.resolutionX * HardcopyOption(1) / 72;
        w.pageHeight = w.resolutionY * HardcopyOption(2) / 72;
        StartPage();
        w.clip.reset();
        if (plat::DrawContext* ctx = Ctx()) ctx->SetClip(std::nullopt);
        w.penColour = w.penType = w.penWidth = -1;
        dp.deviceColours = std::min(colours, 256);
        w.foreground = {255, 255, 255};
      }
    }
    if (failure != 0) {
      ReportFileError(kErrOpen, failure, kRoutine);
      gs.hardcopyOn = 0;
      return;
    }
  }
  dp.factorX = gs.width > 0 ? static_cast<float>(w.pageWidth) / static_cast<float>(gs.width) : 1.0f;
  dp.factorY =
      gs.height > 0 ? static_cast<float>(w.pageHeight) / static_cast<float>(gs.height) : 1.0f;
}

void EndPage() {
  WinState& w = W();
  DriverParams().pageDirty = 0;
  if (w.dc && w.dc->PageOpen()) w.dc->EndPage();
  w.pagePending = true;
}

void EndOutput() {
  WinState& w = W();
  if (!w.documentOpen) return;
  w.clip.reset();
  if (plat::DrawContext* ctx = Ctx()) ctx->SetClip(std::nullopt);
  w.font.reset();
  const plat::PrintJobResult result = w.dc->EndDoc();
  w.dc.reset();
  w.documentOpen = false;
  w.pagePending = false;
  w.keptFile = result.keptFile;
  if (result.error != 0) {
    // A refused job is no printed one: say so, and where the document is.
    ErrorState().secondaryStatus = result.exitStatus != 0 ? result.exitStatus : result.error;
    std::string routine(kRoutine);
    if (!result.keptFile.empty()) routine += " " + result.keptFile;
    ReportLibraryError(kErrOperatingSystem, routine);
    // The error reporter may be silent; the user is told all the same.
    PrintHandOverFailed(result.timedOut, result.cancelled, result.exitStatus, result.answer,
                        result.keptFile, result.error);
  }
}

void LineOperation() {
  DriverParameters& dp = DriverParams();
  WinState& w = W();
  dp.pageDirty = -1;
  const plat::Point a = Px(dp.X[0], dp.Y[0]), b = Px(dp.X[1], dp.Y[1]);
  plat::DrawContext* ctx = PageForDrawing();
  if (!ctx) return;
  FitPen(*ctx);
  ctx->MoveTo(a);
  ctx->LineTo(b);
  if (w.lineType == 0) ctx->SetPixel(b, PixelOf(w.current));
}

void PointOperation() {
  DriverParameters& dp = DriverParams();
  WinState& w = W();
  dp.pageDirty = -1;
  plat::DrawContext* ctx = PageForDrawing();
  if (!ctx) return;
  const plat::Point p = Px(dp.X[0], dp.Y[0]);
  if (w.metafile) {
    ctx->SetPixel(p, PixelOf(w.current));
    return;
  }
  const int lw = w.lineWidth;
  OtherPen(*ctx, plat::Pen::None());
  ctx->SetBrush(plat::Brush::Solid(PixelOf(w.current)));
  ctx->Rectangle({p.x - lw / 2, p.y - lw / 2, p.x + lw - lw / 2 + 1, p.y + lw - lw / 2 + 1});
}

std::vector<plat::Point> PointList(int count) {
  const DriverParameters& dp = DriverParams();
  const int n = std::clamp(count, 0, kDriverMaxPoints);
  std::vector<plat::Point> points(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) points[static_cast<std::size_t>(i)] = Px(dp.pointX[i], dp.pointY[i]);
  return points;
}

void PolylineOperation() {
  DriverParameters& dp = DriverParams();
  WinState& w = W();
  dp.pageDirty = -1;
  const std::vector<plat::Point> points = PointList(dp.P1);
  plat::DrawContext* ctx = PageForDrawing();
  if (!ctx || points.empty()) return;
  FitPen(*ctx);
  ctx->Polyline(points);
  if (w.lineType == 0 && !(points.back() == points.front()))
    ctx->SetPixel(points.back(), PixelOf(w.current));
}

// Start and end points of an arc or pie, with the nudge that keeps a
// vanishing arc from becoming a whole ellipse.
void ArcPoints(float radiusY, plat::Point& centre, plat::Point& start, plat::Point& end, int& rx,
               int& ry) {
  const DriverParameters& dp = DriverParams();
  const auto polar = [&](float angle, float& c, float& s) {
    c = std::cos(angle);
    s = std::sin(angle);
    if (!std::isfinite(c) || !std::isfinite(s)) c = s = 0;
  };
  float c0, s0, c1, s1;
  polar(dp.X[2], c0, s0);
  polar(dp.Y[2], c1, s1);
  centre = Px(dp.X[0], dp.Y[0]);
  start = Px(dp.X[0] + dp.X[1] * c0, dp.Y[0] + radiusY * s0);
  end = Px(dp.X[0] + dp.X[1] * c1, dp.Y[0] + radiusY * s1);
  if (start == end && std::fabs(dp.Y[3]) < 10.0f) {
    int a = Trunc(dp.X[3]) % 360;
    if (a < 0) a += 360;
    if (a < 90)
      end = {end.x - 1, end.y - 1};
    else if (a < 180)
      end = {end.x - 1, end.y + 1};
    else if (a < 270)
      end = {end.x + 1, end.y + 1};
    else
      end = {end.x + 1, end.y - 1};
  }
  rx = Trunc(static_cast<double>(dp.factorX) * dp.X[1]);
  ry = Trunc(static_cast<double>(dp.factorY) * radiusY);
}

plat::Rect EllipseBox(plat::Point c, int rx, int ry) {
  return {c.x - rx - 1, c.y - ry - 1, c.x + rx + 2, c.y + ry + 2};
}

void ArcOperation() {
  DriverParameters& dp = DriverParams();
  WinState& w = W();
  dp.pageDirty = -1;
  plat::Point c, s, e;
  int rx, ry;
  ArcPoints(dp.Y[1], c, s, e, rx, ry);
  plat::DrawContext* ctx = PageForDrawing();
  if (!ctx) return;
  ctx->SetBrush(plat::Brush::None());
  FitPen(*ctx);
  (void)w;
  if (Gs().hatchDensity > 2)
    ctx->Arc(EllipseBox(c, rx, ry), s, e);
  else
    ctx->Pie(EllipseBox(c, rx, ry), s, e);
}

void FillOperation(DriverOperation op) {
  DriverParameters& dp = DriverParams();
  WinState& w = W();
  const GraphicsState& gs = Gs();
  const int style = gs.fillStyle;
  const bool deviceFill = style > 2 || (style > 0 && Monochrome());
  if (dp.P2 == -1) {
    if (deviceFill) {
      SetCurrent(w.background);
      SetCurrent(w.foreground);
    }
    return;
  }
  dp.pageDirty = -1;
  if (deviceFill) {
    std::array<int, 3> fill{};
    StateColourRgb(true, fill[0], fill[1], fill[2]);
    if (style == kFillHalftone) {
      std::array<int, 3> back{};
      StateColourRgb(false, back[0], back[1], back[2]);
      for (int i = 0; i < 3; ++i) fill[i] = (fill[i] + back[i]) / 2;
    }
    Invert(fill);
    SetCurrent(fill);
  }
  if (op != DriverOperation::EllipseHalftone && style < 3) return;
  plat::DrawContext* ctx = PageForDrawing();
  if (!ctx) return;
  const plat::Pixel colour = PixelOf(w.current);
  const auto& X = dp.X;
  const auto& Y = dp.Y;
  switch (op) {
    case DriverOperation::EllipseHalftone: {
      const plat::Point c = Px(X[0], Y[0]);
      const int rx = Trunc(static_cast<double>(dp.factorX) * X[1]);
      const double o1 = HardcopyOption(1), o2 = std::max(HardcopyOption(2), 1);
      const double hw = AreaWidth() != 0 ? AreaHeight() / AreaWidth() : 1.0;
      const int ry = Trunc(static_cast<double>(dp.factorY) * X[1] * X[2] * (o1 / o2) * hw);
      if (style < 3) {
        ctx->SetBrush(plat::Brush::None());
        FitPen(*ctx);
      } else {
        ctx->SetBrush(plat::Brush::Solid(colour));
        OtherPen(*ctx, plat::Pen::Solid(colour, 1));
      }
      ctx->Ellipse(EllipseBox(c, rx, ry));
      break;
    }
    case DriverOperation::TrapeziumHalftone:
    case DriverOperation::TriangleHalftone: {
      const int n = op == DriverOperation::TrapeziumHalftone ? 4 : 3;
      std::vector<plat::Point> points;
      for (int i = 0; i < n; ++i) points.push_back(Px(X[i], Y[i]));
      ctx->SetBrush(plat::Brush::Solid(colour));
      OtherPen(*ctx, plat::Pen::None());
      ctx->Polygon(points);
      break;
    }
    case DriverOperation::RectangleHalftone: {
      const float left = std::max(std::min(X[0], X[1]), gs.clipX0);
      const float right = std::min(std::max(X[0], X[1]), gs.clipX1);
      const float bottom = std::max(std::min(Y[0], Y[1]), gs.clipY0);
      const float top = std::min(std::max(Y[0], Y[1]), gs.clipY1);
      ctx->SetBrush(plat::Brush::Solid(colour));
      OtherPen(*ctx, plat::Pen::None());
      ctx->Rectangle({PxX(left), PxY(top), PxX(right) + 2, PxY(bottom) + 2});
      break;
    }
    case DriverOperation::PieHalftone: {
      const double o1 = HardcopyOption(1), o2 = std::max(HardcopyOption(2), 1);
      const double aspect = AreaHeight() != 0 ? AreaWidth() / AreaHeight() : 1.0;
      dp.Y[1] = static_cast<float>(dp.Y[1] * (o1 / o2) / aspect);
      plat::Point c, s, e;
      int rx, ry;
      ArcPoints(dp.Y[1], c, s, e, rx, ry);
      ctx->SetBrush(plat::Brush::Solid(colour));
      OtherPen(*ctx, plat::Pen::Solid(colour, 1));
      ctx->Pie(EllipseBox(c, rx, ry), s, e);
      break;
    }
    case DriverOperation::PolygonHalftone: {
      const std::vector<plat::Point> points = PointList(dp.P1);
      ctx->SetBrush(plat::Brush::Solid(colour));
      OtherPen(*ctx, gs.outlineFlag && !w.metafile ? plat::Pen::Solid(colour, 1) : plat::Pen::None());
      ctx->Polygon(points);
      break;
    }
    default:
      break;
  }
}

void ImageOperation() {
  DriverParameters& dp = DriverParams();
  const GraphicsState& gs = Gs();
  dp.pageDirty = -1;
  const double h = AreaHeight();
  const int left = Trunc(dp.factorX * static_cast<double>(gs.clipX0));
  const int top = Trunc((h - gs.clipY1) * dp.factorY);
  const int right = Trunc(gs.clipX1 * static_cast<double>(dp.factorX));
  const int bottom = Trunc((h - gs.clipY0) * dp.factorY);
  const std::string name(plat::TrimRight(dp.text.substr(0, kDriverTextLength)));
  int status = 0, systemError = 0;
  if (W().metafile)
    MetafileImage(dp.KX[0], left, top, right, bottom, name, status, systemError);
  else
    ImageToDevice(dp.KX[0], kDriverWindowsPrinter, left, top, right, bottom, 1, status, systemError,
                  name);
  dp.P2 = status;
  dp.P1 = systemError;
}

// The gradient polygon of PointX/PointY with the sender's colours: cut into
// triangles and drawn by the context's gradient fill in mode 2, pixel by
// pixel when that fails or in mode 1.
void SoftwareFillOperation() {
  DriverParameters& dp = DriverParams();
  const GraphicsState& gs = Gs();
  dp.pageDirty = -1;
  GradientPolygonBuffer& buf = GradientPolygon();
  const int n = std::clamp(dp.softwareFillCount, 0, kDriverMaxPoints);
  buf.Resize(n);  // the sender's colours stay
  for (int i = 0; i < n; ++i) {
    const plat::Point p = Px(dp.pointX[i], dp.pointY[i]);
    buf.x[i] = p.x;
    buf.y[i] = p.y;
    buf.realX[i] = dp.pointX[i];
    buf.realY[i] = dp.pointY[i];
  }
  const double h = AreaHeight();
  const int left = Trunc(dp.factorX * static_cast<double>(gs.clipX0));
  const int top = Trunc((h - gs.clipY1) * dp.factorY);
  const int right = Trunc(gs.clipX1 * static_cast<double>(dp.factorX));
  const int bottom = Trunc((h - gs.clipY0) * dp.factorY);
  plat::DrawContext* ctx = PageForDrawing();
  if (!ctx) return;
  const auto pixel = [ctx](int x, int y, int colour) { ctx->SetPixel({x, y}, PixelOf(colour)); };
  const auto triangles = [ctx](std::span<const std::int32_t> x, std::span<const std::int32_t> y,
                               std::span<const std::int32_t> colour,
                               std::span<const std::array<std::int32_t, 3>> list, int vertexCount,
                               int triangleCount, int& pixelPass) {
    std::vector<plat::GradientVertex> vertices;
    for (std::size_t i = 0; i < static_cast<std::size_t>(vertexCount); ++i)
      vertices.push_back({x[i], y[i], PixelOf(colour[i])});
    std::vector<std::array<int, 3>> zeroBased;
    for (std::size_t t = 0; t < static_cast<std::size_t>(triangleCount); ++t)
      zeroBased.push_back({list[t][0] - 1, list[t][1] - 1, list[t][2] - 1});
    pixelPass = ctx->GradientTriangles(vertices, zeroBased) ? 0 : 1;
  };
  // A Windows metafile has no gradient record: pixel by pixel.
  const int mode = W().metafile && !W().enhanced ? 1 : dp.gradientFill[1];
  PolygonFill(mode, left, top, right, bottom, pixel, triangles);
}

void ClipOperation() {
  WinState& w = W();
  if (w.metafile && !w.enhanced) return;
  const GraphicsState& gs = Gs();
  const DriverParameters& dp = DriverParams();
  const double h = AreaHeight();
  const plat::Rect clip{Trunc(dp.factorX * static_cast<double>(gs.clipX0)),
                        Trunc((h - gs.clipY1) * dp.factorY),
                        Trunc(gs.clipX1 * static_cast<double>(dp.factorX) + 0.99),
                        Trunc((h - gs.clipY0) * dp.factorY + 0.99)};
  w.clip = clip;
  if (plat::DrawContext* ctx = Ctx()) ctx->SetClip(clip);
}

void FontOperation() {
  WinState& w = W();
  const GraphicsState& gs = Gs();
  const TextAttributes& t = gs.text;
  const DriverParameters& dp = DriverParams();
  double width = t.charWidth * t.areaWidthPixels * dp.factorX;
  double height = t.charHeight * t.areaHeightPixels * dp.factorY;
  int style = t.styleBits;
  if (t.spacingMode == 1) {
    width *= 0.607;
    style &= ~4;
  } else if (t.spacingMode == 2) {
    width *= 0.725;
    if (t.deviceFace == 4) width *= 1.38;
  }
  if (t.spacingMode == 1 || t.spacingMode == 2) height *= 0.821;
  plat::FontSpec spec;
  switch (t.deviceFace) {
    case 1: spec.face = "Courier New", spec.family = plat::FontFamily::Modern; break;
    case 2: spec.face = "Arial", spec.family = plat::FontFamily::Swiss; break;
    case 3: spec.face = "Times New Roman", spec.family = plat::FontFamily::Roman; break;
    case 4:
      spec.face = "Symbol", spec.family = plat::FontFamily::Roman;
      spec.charset = plat::Charset::Symbol;
      break;
    default:
      spec.face = std::string(plat::TrimRight(t.userFace.substr(0, 100)));
      spec.charset = plat::Charset::Default;
      break;
  }
  spec.height = -std::max(Trunc(height), 1);
  spec.width = std::max(Trunc(width), 0);
  spec.weight = (style & 1) ? plat::kFontWeightBold : plat::kFontWeightNormal;
  spec.italic = (style & 2) != 0;
  spec.underline = (style & 4) != 0;
  if (w.metafile) {
    // One font, at the character height itself.
    spec.angle = Trunc(t.angle) * 10;
    w.font = plat::OpenFont(spec);
    w.cellHeight = w.font ? w.font->Metrics().height : 0;
    w.ascent = w.font ? w.font->Metrics().ascent : 0;
    return;
  }
  // Made once for its metrics, then again at the cell height with the angle.
  const std::shared_ptr<const plat::Font> probe = plat::OpenFont(spec);
  w.cellHeight = probe ? probe->Metrics().height : 0;
  w.ascent = probe ? probe->Metrics().ascent : 0;
  spec.height = -std::max(w.cellHeight, 1);
  spec.angle = Trunc(t.angle) * 10;
  w.font = plat::OpenFont(spec);
}

void TextOperation() {
  WinState& w = W();
  DriverParameters& dp = DriverParams();
  const TextAttributes& t = Gs().text;
  dp.pageDirty = -1;
  const int count = std::clamp(dp.KX[0], 0, kDriverTextLength);
  const std::string_view run = std::string_view(dp.text).substr(0, static_cast<std::size_t>(count));
  const double d = w.ascent - w.cellHeight / 2.0;
  double sx = dp.factorX != 0 ? d * t.sinAOverQ / dp.factorX : 0;
  double sy = dp.factorY != 0 ? d * t.cosA / dp.factorY : 0;
  if (w.metafile) {
    // A quarter of the character height down across the text.
    sx = 0.25 * t.passHSinQ;
    sy = 0.25 * t.passHCos;
  }
  const plat::Point start = Px(static_cast<float>(dp.X[0] + sx), static_cast<float>(dp.Y[0] - sy));
  const plat::Point end = Px(static_cast<float>(dp.X[2] + sx), static_cast<float>(dp.Y[2] - sy));
  const int justification = t.spacingMode == 1 ? 0 : std::clamp(t.hJustify, 0, 2);
  const bool opaque = t.spacingMode != 1 && t.vertical == 0 && (t.styleBits & kStyleOpaque) != 0;
  plat::DrawContext* ctx = PageForDrawing();
  if (!ctx || !w.font || run.empty()) return;
  plat::TextStyle style;
  style.colour = PixelOf(w.current);
  style.background = PixelOf(w.previous);
  style.opaque = opaque;
  style.vAlign = plat::TextVAlign::Baseline;
  plat::Point at = start;
  if (justification == 1) {
    style.hAlign = plat::TextHAlign::Centre;
    at = {(start.x + end.x) / 2, (start.y + end.y) / 2};
  } else if (justification == 2) {
    style.hAlign = plat::TextHAlign::Right;
    at = end;
  }
  ctx->Text(*w.font, at, run, style);
}

void TextWidthOperation() {
  const WinState& w = W();
  DriverParameters& dp = DriverParams();
  if (w.metafile && !w.enhanced) return;
  const int n = std::clamp(dp.P2, 0, kDriverTextLength);
  const int width = w.font && n > 0 ? w.font->TextWidth(std::string_view(dp.text).substr(0, n)) : 0;
  dp.P1 = 1;
  dp.X[0] = dp.factorX != 0 ? static_cast<float>(width) / dp.factorX : 0.0f;
}

}  // namespace

void XXWIN::Select() {
  gdi::UsePrinterDrawing();
  DriverParameters& dp = DriverParams();
  WinState& w = W();
  if (dp.P1 == -999) {
    dp.P1 = kDriverWindowsPrinter;
    return;
  }
  HardcopyOptionsReset();
  if (dp.P2 != -998) {
    int o1, o2, o3, o4, o5, o8, colours, status;
    FpuGuardBegin();
    PrinterPageInfo(PaperWidth(), PaperHeight(), o1, o2, o3, o4, o5, o8, colours, status);
    FpuGuardEnd();
    HardcopyOptionStore(1, o1);
    HardcopyOptionStore(2, o2);
    HardcopyOptionStore(3, o3);
    HardcopyOptionStore(4, o4);
    HardcopyOptionStore(5, o5);
    HardcopyOptionStore(8, o8);
    w.status = status;
    dp.deviceColours = colours;
    WindowsPrinterAvailable() = status == 0 ? 1 : 0;
    PrinterInstalled() = WindowsPrinterAvailable();
    HardcopyOptionStore(7, colours <= 2 ? 1 : 0);
  }
  dp.spoolCapable = 0;
  dp.deviceUnderline = 1;
  dp.deviceStringText = 1;
  dp.gradientFill[1] = dp.gradientFill[0];
  dp.trueColour[1] = 1;
  // The platform printer belongs to the NT family of systems.
  dp.platformLevel[1] = 2;
  dp.textAngles[1] = 360;
  dp.deviceTextMaximum[1] = 1.7e38f;
  dp.capabilities[1] = std::string(kCapabilities);
  dp.driverNumber = kDriverWindowsPrinter;
}

void XXWIN::Output(DriverOperation op) {
  gdi::UsePrinterDrawing();
  switch (op) {
    case DriverOperation::BeginPicture: Begin(); break;
    case DriverOperation::EndOutput: EndOutput(); break;
    case DriverOperation::EndPage: EndPage(); break;
    default: break;
  }
}

namespace gdi {

void UsePrinterDrawing() {
  active = &PrinterState();
}

void UseMetafileDrawing() {
  active = &MetafileState();
}

void MetafileDrawingBegin(plat::DrawContext* target, bool enhanced, int referenceResolution,
                          double pixelsPer720) {
  UseMetafileDrawing();
  WinState& w = W();
  w.target = target;
  w.enhanced = enhanced;
  w.resolutionX = w.resolutionY = std::max(referenceResolution, 1);
  w.pixelsPer720 = pixelsPer720;
  w.clip.reset();
  w.font.reset();
  w.penColour = w.penType = w.penWidth = -1;
  w.foreground = {255, 255, 255};
  RescaleDashes();
}

void MetafileDrawingEnd() {
  UseMetafileDrawing();
  WinState& w = W();
  if (w.target && w.enhanced && w.clip) w.target->SetClip(std::nullopt);
  w.clip.reset();
  w.font.reset();
  w.target = nullptr;
}

int MetafileLineWidth() {
  return MetafileState().lineWidth;
}

void DrawOperations(DriverOperation op) {
  if (IsHalftoneFill(op)) {
    FillOperation(op);
    return;
  }
  switch (op) {
    case DriverOperation::Line: LineOperation(); break;
    case DriverOperation::Point: PointOperation(); break;
    case DriverOperation::Polyline: PolylineOperation(); break;
    case DriverOperation::Arc: ArcOperation(); break;
    case DriverOperation::Image: ImageOperation(); break;
    case DriverOperation::SoftwareFill: SoftwareFillOperation(); break;
    default: break;
  }
}

void AttributeOperations(DriverOperation op) {
  WinState& w = W();
  switch (op) {
    case DriverOperation::Colour:
    case DriverOperation::PaletteReload: ColourOperation(); break;
    case DriverOperation::ClipRectangle: ClipOperation(); break;
    case DriverOperation::LineType: w.lineType = std::clamp(Gs().lineType, 0, 7); break;
    case DriverOperation::LineWidth: {
      if (w.metafile) {
        w.lineWidth = w.enhanced ? Trunc(HardcopyOption(9) * w.pixelsPer720) : HardcopyOption(9);
        RescaleDashes();
        break;
      }
      const int wx = std::max(1, Trunc(HardcopyOption(9) * static_cast<double>(w.resolutionX) / 720.0 + 0.5));
      const int wy = std::max(1, Trunc(HardcopyOption(9) * static_cast<double>(w.resolutionY) / 720.0 + 0.5));
      w.lineWidth = (wx + wy - 2) / 2;
      RescaleDashes();
      break;
    }
    case DriverOperation::TextAngle: FontOperation(); break;
    default: break;
  }
}

void TextOperations(DriverOperation op) {
  switch (op) {
    case DriverOperation::CharacterSize: FontOperation(); break;
    case DriverOperation::Text: TextOperation(); break;
    case DriverOperation::TextWidth: TextWidthOperation(); break;
    default: break;
  }
}

}  // namespace gdi

void XXWIN::Draw(DriverOperation op) {
  gdi::UsePrinterDrawing();
  gdi::DrawOperations(op);
}

void XXWIN::Attribute(DriverOperation op) {
  gdi::UsePrinterDrawing();
  gdi::AttributeOperations(op);
}

void XXWIN::Text(DriverOperation op) {
  gdi::UsePrinterDrawing();
  gdi::TextOperations(op);
}

plat::Canvas* WinPrinterImageTarget(int target, std::optional<plat::Rect>& clip) {
  gdi::UsePrinterDrawing();
  WinState& w = W();
  if (target != kDriverWindowsPrinter || !PageForDrawing() || !w.dc) return nullptr;
  clip = w.clip;
  return w.dc->PageCanvas();
}

int WinPrinterLineWidth() {
  return PrinterState().lineWidth;
}

std::span<const int> WinPrinterDashes(int lineType) {
  return PrinterState().dashes[static_cast<std::size_t>(std::clamp(lineType, 0, 7))];
}

const std::string& WinPrinterKeptFile() {
  return PrinterState().keptFile;
}

void WinPrinterResolutionSet(int dpiX, int dpiY) {
  gdi::UsePrinterDrawing();
  W().resolutionX = dpiX;
  W().resolutionY = dpiY;
  RescaleDashes();
}

void WinPrinterReset() {
  PrinterState() = WinState{};
}

}  // namespace tk
