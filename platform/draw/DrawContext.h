#pragma once
// A small drawing-context interface: what a printer or metafile driver draws
// with. The page canvas implements it (CanvasDrawContext); tests and the
// metafile recorder stand in with their own recording implementations.
// Coordinates are logical pixels, y downwards; rectangles exclude their right
// and bottom edges, as on the canvas.
#include <array>
#include <memory>
#include <optional>
#include <span>
#include <string_view>

#include "platform/draw/Canvas.h"
#include "platform/text/TextDraw.h"

namespace plat {

class DrawContext {
 public:
  virtual ~DrawContext() = default;
  virtual void SetPen(const Pen& pen) = 0;
  virtual void SetBrush(const Brush& brush) = 0;
  virtual void MoveTo(Point p) = 0;
  virtual void LineTo(Point p) = 0;
  virtual void SetPixel(Point p, Pixel colour) = 0;
  virtual void Polyline(std::span<const Point> points) = 0;
  virtual void Polygon(std::span<const Point> points) = 0;
  virtual void Rectangle(const Rect& box) = 0;
  virtual void Ellipse(const Rect& box) = 0;
  virtual void Arc(const Rect& box, Point start, Point end) = 0;
  virtual void Pie(const Rect& box, Point start, Point end) = 0;
  /// Confines drawing to CLIP (logical pixels), or lifts the confinement.
  virtual void SetClip(std::optional<Rect> clip) = 0;
  /// Draws TEXT with FONT anchored at AT as STYLE says.
  virtual void Text(const Font& font, Point at, std::string_view text, const TextStyle& style) = 0;
  /// Triangles with colours interpolated between their vertices; false when
  /// the context cannot draw them.
  virtual bool GradientTriangles(std::span<const GradientVertex> vertices,
                                 std::span<const std::array<int, 3>> triangles) = 0;
  /// Stretches the pixels of SOURCE over DEST; contexts without bitmaps
  /// draw nothing.
  virtual void Bitmap(const Surface& source, const Rect& dest) {
    (void)source;
    (void)dest;
  }
};

/// The drawing context of a surface: logical (0, 0) lies at surface pixel ORIGIN.
class CanvasDrawContext : public DrawContext {
 public:
  CanvasDrawContext(Surface& surface, Point origin) : canvas_(surface, origin), origin_(origin) {}
  Canvas& GetCanvas() { return canvas_; }

  void SetPen(const Pen& pen) override { canvas_.SetPen(pen); }
  void SetBrush(const Brush& brush) override { canvas_.SetBrush(brush); }
  void MoveTo(Point p) override { canvas_.MoveTo(p); }
  void LineTo(Point p) override { canvas_.LineTo(p); }
  void SetPixel(Point p, Pixel colour) override { canvas_.SetPixel(p, colour); }
  void Polyline(std::span<const Point> points) override { canvas_.Polyline(points); }
  void Polygon(std::span<const Point> points) override { canvas_.Polygon(points); }
  void Rectangle(const Rect& box) override { canvas_.Rectangle(box); }
  void Ellipse(const Rect& box) override { canvas_.Ellipse(box); }
  void Arc(const Rect& box, Point start, Point end) override { canvas_.Arc(box, start, end); }
  void Pie(const Rect& box, Point start, Point end) override { canvas_.Pie(box, start, end); }
  void SetClip(std::optional<Rect> clip) override {
    if (clip)
      canvas_.SetClipRegion(Region(*clip));
    else
      canvas_.ClearClipRegion();
  }
  void Text(const Font& font, Point at, std::string_view text, const TextStyle& style) override {
    const Rect clip = canvas_.ClipRegion().Bounds().Offset(origin_.x, origin_.y);
    DrawText(canvas_.Target(), font, {at.x + origin_.x, at.y + origin_.y}, text, style, clip);
  }
  bool GradientTriangles(std::span<const GradientVertex> vertices,
                         std::span<const std::array<int, 3>> triangles) override {
    return canvas_.GradientFillTriangles(vertices, triangles);
  }
  void Bitmap(const Surface& source, const Rect& dest) override {
    canvas_.StretchBlt(dest.left, dest.top, dest.Width(), dest.Height(), source, 0, 0,
                       source.Width(), source.Height(), kSrcCopy);
  }

 private:
  Canvas canvas_;
  Point origin_;
};

}  // namespace plat
