#pragma once
// A device-context style canvas over a Surface: pens, brushes, raster
// operations, clip regions and the primitives a window's paint code uses.
//
// Conventions (those a screen driver written for a GDI-like system expects):
// - Coordinates are canvas pixels; canvas (0, 0) is surface pixel ORIGIN.
// - Rectangles, ellipses, pies and chords are given by a bounding box whose
//   right and bottom edges are excluded. Drawn without an outline (null pen)
//   the shape covers one pixel less to the right and to the bottom.
// - Lines exclude their last pixel; consecutive segments of a polyline share
//   no pixel at their common vertex.
// - Every primitive changes each pixel at most once per call, so a figure
//   drawn twice in exclusive-or mode leaves the surface as it was.
// - SetPixel ignores the raster operation; everything else applies it.
// - Polygons are filled where pixel centres lie inside (half-open on the
//   right and bottom), so polygons sharing an edge tile without gap or
//   overlap.
// - Wide pens (width > 1) have square caps and bevel joins and lie centred
//   on the line (and on a polygon's edges); the outlines of rectangles and
//   the ellipse family lie inside their bounding box. A dashed outline of
//   the ellipse family counts its pattern over the outline pixels taken
//   counter-clockwise from the start radial; wide pens draw it solid.
// - Work is bounded by the clip, not by the figure: a line or shape reaching
//   far outside costs only its visible part. Coordinates beyond +-2^28 are
//   clamped.
// - Cosmetic (width 1) dash styles, in pixels on/off: dash 18/6, dot 3/3,
//   dash-dot 9/6/3/6, dash-dot-dot 9/3/3/3/3/3. Wide pens use these
//   lengths times the width. A user style gives its own lengths (pixels).
//   The dash pattern continues along a polyline and across LineTo calls
//   until the next MoveTo or pen change.
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "platform/Geometry.h"
#include "platform/draw/Region.h"
#include "platform/draw/Rop.h"
#include "platform/draw/Surface.h"

namespace plat {

/// A colour that names a palette entry instead of an RGB value; it resolves
/// through the canvas palette (black when no palette is set).
constexpr Pixel PaletteIndex(int index) {
  return 0x01000000u | static_cast<Pixel>(index & 0xFF);
}
constexpr bool IsPaletteIndex(Pixel c) {
  return (c >> 24) == 1u;
}

/// A 256-entry logical palette kept in software.
struct Palette {
  std::array<Pixel, 256> entries{};
  /// The entry nearest to RGB (squared distance per channel, lowest index on ties).
  int NearestIndex(Pixel rgb) const;
};

enum class PenStyle { Solid, Dash, Dot, DashDot, DashDotDot, Null, User };

struct Pen {
  PenStyle style = PenStyle::Solid;
  int width = 1;
  Pixel colour = 0;
  /// On/off lengths in pixels for PenStyle::User (zero lengths count as 1).
  std::vector<int> dashes;

  static Pen Solid(Pixel c, int width = 1) { return {PenStyle::Solid, width, c, {}}; }
  static Pen Styled(PenStyle s, Pixel c, int width = 1) { return {s, width, c, {}}; }
  static Pen User(std::vector<int> d, Pixel c, int width = 1) {
    return {PenStyle::User, width, c, std::move(d)};
  }
  static Pen None() { return {PenStyle::Null, 1, 0, {}}; }
};

enum class HatchStyle {
  Horizontal,
  Vertical,
  ForwardDiagonal,
  BackwardDiagonal,
  Cross,
  DiagonalCross
};

struct Brush {
  enum class Kind { Null, Solid, Hatch, Pattern };
  Kind kind = Kind::Solid;
  Pixel colour = Rgb(255, 255, 255);
  /// Pattern: colour of the clear bits (hatches use the background colour).
  Pixel background = 0;
  HatchStyle hatch = HatchStyle::Horizontal;
  /// 8 rows of 8 pixels, bit 7 leftmost; a set bit takes COLOUR.
  std::array<std::uint8_t, 8> pattern{};

  static Brush None() { return {Kind::Null, 0, 0, HatchStyle::Horizontal, {}}; }
  static Brush Solid(Pixel c) { return {Kind::Solid, c, 0, HatchStyle::Horizontal, {}}; }
  static Brush Hatched(HatchStyle h, Pixel c) { return {Kind::Hatch, c, 0, h, {}}; }
  static Brush Pattern(const std::array<std::uint8_t, 8>& bits, Pixel fg, Pixel bg) {
    return {Kind::Pattern, fg, bg, HatchStyle::Horizontal, bits};
  }
  /// The halftone of two colours: A where x + y is even, B where it is odd.
  static Brush Halftone(Pixel a, Pixel b) {
    return Pattern({0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55}, a, b);
  }
};

/// The 8x8 bits of a hatch style (bit 7 leftmost).
std::array<std::uint8_t, 8> HatchBits(HatchStyle h);

enum class BkMode { Transparent, Opaque };
enum class FillMode { Alternate, Winding };
enum class FloodFillType {
  Border,   ///< fill outwards until pixels of the given colour
  Surface,  ///< fill the connected pixels having the given colour
};
enum class GradientDirection { Horizontal, Vertical };

struct GradientVertex {
  int x = 0;
  int y = 0;
  Pixel colour = 0;
};

/// A palette-indexed bitmap, 8 bits a pixel, rows top to bottom.
struct IndexedBitmap {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> indices;  ///< width * height entries
  std::array<Pixel, 256> palette{};
  bool Valid() const {
    return width >= 0 && height >= 0 &&
           indices.size() == static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  }
};

class Canvas {
 public:
  /// Draws on TARGET with canvas (0, 0) at surface pixel ORIGIN, confined
  /// to CLIP (canvas coordinates; by default the surface's size from the
  /// origin on). Nothing outside the surface is ever touched.
  explicit Canvas(Surface& target, Point origin = {});
  Canvas(Surface& target, Point origin, Rect clip);

  Surface& Target() { return *surface_; }
  Point Origin() const { return origin_; }

  // Drawing state.
  void SetPen(const Pen& pen);
  const Pen& GetPen() const { return pen_; }
  void SetBrush(const Brush& brush) { brush_ = brush; }
  const Brush& GetBrush() const { return brush_; }
  void SetRop2(Rop2 rop) { rop_ = rop; }
  Rop2 GetRop2() const { return rop_; }
  void SetBkMode(BkMode m) { bkMode_ = m; }
  BkMode GetBkMode() const { return bkMode_; }
  void SetBkColour(Pixel c) { bkColour_ = c; }
  Pixel GetBkColour() const { return bkColour_; }
  void SetFillMode(FillMode m) { fillMode_ = m; }
  FillMode GetFillMode() const { return fillMode_; }
  /// Palette through which PaletteIndex colours resolve; null for none.
  /// The palette must outlive its use by the canvas.
  void SetPalette(const Palette* palette) { palette_ = palette; }

  /// Confines drawing further to REGION (canvas coordinates), intersected
  /// with the clip rectangle given at construction.
  void SetClipRegion(const Region& region);
  void ClearClipRegion();
  /// The pixels drawing may change, in canvas coordinates.
  Region ClipRegion() const;

  // Primitives.
  void MoveTo(Point p);
  Point CurrentPosition() const { return pos_; }
  /// Line from the current position to P with the pen, P's pixel excluded;
  /// P becomes the current position.
  void LineTo(Point p);
  /// Connected segments through POINTS; the last point's pixel is excluded.
  void Polyline(std::span<const Point> points);
  /// Each segment of POINTS drawn on its own, as MoveTo and LineTo draw it,
  /// followed, when END is given, by SetPixel of its end point in END.
  void Segments(std::span<const Point> points, std::optional<Pixel> end);
  /// Closed polygon: filled with the brush by the fill mode, outlined with the pen.
  void Polygon(std::span<const Point> points);
  void Rectangle(const Rect& box);
  void Ellipse(const Rect& box);
  /// Elliptic arc counter-clockwise (as seen on screen) from the radial
  /// through START to the radial through END; equal radials give the whole ellipse.
  void Arc(const Rect& box, Point start, Point end);
  void Pie(const Rect& box, Point start, Point end);
  void Chord(const Rect& box, Point start, Point end);
  /// Fills R with BRUSH, whatever the pen and raster operation.
  void FillRect(const Rect& r, const Brush& brush);

  /// Sets one pixel to COLOUR, ignoring the raster operation.
  void SetPixel(Point p, Pixel colour);
  /// The pixel at P, or nothing when P lies outside the clip or the surface.
  std::optional<Pixel> GetPixel(Point p) const;

  /// Fills with the brush from P: up to pixels of COLOUR (Border) or over the
  /// 4-connected pixels of COLOUR (Surface). False when nothing can be filled.
  bool FloodFill(Point p, Pixel colour, FloodFillType type);
  /// Fills R with colours running from C0 in its left (top) column to C1 in
  /// its right (bottom) one. Gradients are copied, whatever the raster operation.
  void GradientFillRect(const Rect& r, Pixel c0, Pixel c1, GradientDirection dir);
  /// Fills triangles (three vertex numbers each) with colours interpolated
  /// between their vertices. False, drawing nothing, when a vertex number is out of range.
  bool GradientFillTriangles(std::span<const GradientVertex> vertices,
                             std::span<const std::array<int, 3>> triangles);

  /// Combines the brush pattern with the destination rectangle R.
  void PatBlt(const Rect& r, Rop3 rop);
  /// Copies the WIDTH x HEIGHT block of SOURCE at SRC to DEST through ROP.
  /// SOURCE may be this canvas's own surface; overlapping blocks are handled.
  void BitBlt(Point dest, int width, int height, const Surface& source, Point src, Rop3 rop);
  /// Scales the source rectangle (sx, sy, sw, sh) onto the destination
  /// rectangle (dx, dy, dw, dh) by nearest neighbour; a negative width or
  /// height mirrors the image along that axis.
  void StretchBlt(int dx, int dy, int dw, int dh, const Surface& source, int sx, int sy, int sw,
                  int sh, Rop3 rop);
  void StretchBlt(int dx, int dy, int dw, int dh, const IndexedBitmap& source, int sx, int sy,
                  int sw, int sh, Rop3 rop);

  // Implementation parts shared by the source files of the canvas.
  struct Paint;
  class Mask;

 private:
  void UpdateClip();
  /// Canvas to surface coordinates, clamped to +-2^28 so that arithmetic on
  /// the results cannot overflow.
  Point ToSurface(Point p) const;
  Rect ToSurface(const Rect& r) const;
  Pixel Resolve(Pixel c) const;
  Paint PenPaint() const;
  Paint BrushPaint(const Brush& b) const;
  bool InClip(int x, int y) const;
  bool DashOn(long long distance) const;
  void Span(int y, int x0, int x1, const Paint& paint);
  void Plot(int x, int y, const Paint& paint);
  void ApplyMask(const Mask& mask, const Paint* fill, const Paint* gap, const Paint* pen);
  void OutlineInto(Mask& mask, std::span<const Point> canvasPoints, bool closed);
  void ThinLine(Point a, Point b, const Paint& paint, const Paint* gap);
  void StrokePolyline(std::span<const Point> canvasPoints, bool closed, Mask* into);
  void EllipticShape(const Rect& box, int kind, Point start, Point end);
  template <typename Sample>
  void Stretch(int dx, int dy, int dw, int dh, int srcW, int srcH, int sx, int sy, int sw, int sh,
               Rop3 rop, Sample sample);

  Surface* surface_;
  Point origin_;
  Rect clip_;                     // canvas coordinates
  std::optional<Region> region_;  // canvas coordinates
  std::vector<Rect> clipRects_;   // surface coordinates, disjoint
  Rect clipBounds_;               // surface coordinates
  bool clipIsRect_ = true;

  Pen pen_;
  Brush brush_;
  Rop2 rop_ = Rop2::CopyPen;
  BkMode bkMode_ = BkMode::Opaque;
  Pixel bkColour_ = Rgb(255, 255, 255);
  FillMode fillMode_ = FillMode::Alternate;
  const Palette* palette_ = nullptr;
  Point pos_;
  std::vector<int> dash_;  // on/off lengths of the pen, empty when solid
  long long dashPeriod_ = 0;
  long long styleDistance_ = 0;  // position within the dash pattern
  std::vector<Point> scratch_;
};

}  // namespace plat
