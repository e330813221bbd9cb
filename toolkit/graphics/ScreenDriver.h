#pragma once
// The screen driver YYGAPI: carries out driver operations on the current
// drawing surface through a plat::Canvas, in integer device pixels. Rows are
// counted from the top as maximum y - KY.
#include <array>
#include <cstdint>
#include <functional>
#include <span>

#include "platform/draw/Canvas.h"
#include "toolkit/graphics/Drivers.h"
#include "toolkit/graphics/GraphicsState.h"

namespace tk {

/// Performs one operation; ignored while screen output is off.
void YYGAPI(DriverOperation& op);
/// Lines joining successive real device points (X, Y), each drawn as the line
/// operation draws it, with one notice of drawing for the whole run. Every
/// point must lie inside the clip bounds (no clipping is done here).
void ScreenLineStrip(std::span<const float> X, std::span<const float> Y);

/// What operation 1 records.
struct ScreenProperties {
  int item38 = 8;
};
const ScreenProperties& ScreenDriverProperties();

/// The display: its colour count (256 or fewer keeps a logical palette) and
/// horizontal pixels per inch.
void ScreenDisplaySet(int colours, int pixelsPerInch = 96);
/// The display's horizontal pixels per inch.
int ScreenPixelsPerInch();

/// Surface preparation: makes BINDING the drawing surface (new halftone
/// pattern, raster mode, pen, dash rescale, palette).
void ScreenSurfacePrepare(const SurfaceBinding& binding);
/// The canvas of the drawing surface (null when there is none).
plat::Canvas* ScreenDriverCanvas();
/// Whether the pixels of columns LEFT..RIGHT and device rows BOTTOM..TOP
/// (counted up, as KY) lie wholly inside the clip the driver applies to its
/// shapes, on a surface that is no metafile: then a rectangle there paints
/// the same pixels with or without that clip.
bool ScreenClipHolds(int left, int bottom, int right, int top);
/// Forgets the drawing surface (nothing is drawn until the next preparation).
void ScreenSurfaceRelease();
/// The drawing surface's drawable has a new size.
void ScreenSurfaceResized(int width, int height);

/// Scales the working dash tables to the surface's resolution and widens the
/// gaps of wide pens so square caps leave them open.
void DashPatternRescale();
/// The working dash table of line type 1-7 (empty for 0).
std::span<const int> DashTable(int lineType);

/// The operations that later parts of the toolkit carry out for the screen:
/// text (18's font part, 21, 22, 25, 33), printing the screen image (20),
/// images (38) and the software polygon fill (40). Hooks left empty do nothing.
struct ScreenDriverSeams {
  /// Operations 18, 21, 22, 25 and 33, with the canvas of the surface (null
  /// when there is none).
  std::function<void(DriverOperation op, plat::Canvas* canvas)> text;
  std::function<void(plat::Canvas* canvas)> endPage;
  std::function<void(plat::Canvas* canvas)> image;
  /// The software fill gets the pixel lists (x, row from the top), the clip
  /// rectangle (left, top, right, bottom), the gradient availability and the
  /// driver's two callbacks.
  using SetPixelFn = std::function<void(int x, int y, int rgb)>;
  using GradientFn = std::function<int(std::span<const int> xs, std::span<const int> ys,
                                       std::span<const int> colours,
                                       std::span<const std::array<int, 3>> triangles)>;
  std::function<void(std::span<const int> xs, std::span<const int> ys, plat::Rect clip,
                     int gradient, const SetPixelFn& setPixel, const GradientFn& gradientTriangles)>
      softwareFill;
};
ScreenDriverSeams& ScreenSeams();

/// The current (PREVIOUS false) or previous device colour as a concrete pixel,
/// for text drawn on the surface.
plat::Pixel ScreenDeviceColour(bool previous);

/// Packed toolkit RGB (R + 256 G + 65536 B) as a surface pixel and back.
constexpr plat::Pixel RgbToPixel(std::int32_t rgb) {
  return plat::Rgb(rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF);
}
constexpr std::int32_t PixelToRgb(plat::Pixel p) {
  return plat::RedOf(p) + 256 * plat::GreenOf(p) + 65536 * plat::BlueOf(p);
}

}  // namespace tk
