#pragma once
// Plays Windows metafiles and enhanced metafiles onto a drawing context,
// scaled into a rectangle: the records our writer makes (objects, lines,
// shapes, text, clipping, bitmaps, gradient triangles), other records
// skipped. Every size, count and offset is checked against the bytes
// present; a record that does not fit ends the play as bad data.
#include <cstdint>
#include <optional>
#include <span>

#include "platform/draw/DrawContext.h"

namespace tk {

/// Plays the enhanced metafile BYTES so that its frame fills DEST (right and
/// bottom inclusive). CLIP, when given, confines the drawing throughout.
/// False for bad data (nothing more is played) or an empty DEST.
[[nodiscard]] bool PlayEnhancedMetafile(std::span<const std::uint8_t> bytes, plat::DrawContext& ctx,
                                        const plat::Rect& dest,
                                        std::optional<plat::Rect> clip = std::nullopt);

/// Plays the Windows metafile BYTES (from its 18-byte header; no placeable
/// header) with its window mapped onto DEST (right and bottom inclusive).
[[nodiscard]] bool PlayWindowsMetafile(std::span<const std::uint8_t> bytes, plat::DrawContext& ctx,
                                       const plat::Rect& dest,
                                       std::optional<plat::Rect> clip = std::nullopt);

/// A drawing context over an existing canvas (the screen driver's, a page's).
class CanvasContext : public plat::DrawContext {
 public:
  /// Clips set later stay within the canvas's clip of now, restored at the end.
  explicit CanvasContext(plat::Canvas& canvas);
  ~CanvasContext() override;
  CanvasContext(const CanvasContext&) = delete;
  CanvasContext& operator=(const CanvasContext&) = delete;
  void SetPen(const plat::Pen& pen) override { canvas_.SetPen(pen); }
  void SetBrush(const plat::Brush& brush) override { canvas_.SetBrush(brush); }
  void MoveTo(plat::Point p) override { canvas_.MoveTo(p); }
  void LineTo(plat::Point p) override { canvas_.LineTo(p); }
  void SetPixel(plat::Point p, plat::Pixel colour) override { canvas_.SetPixel(p, colour); }
  void Polyline(std::span<const plat::Point> points) override { canvas_.Polyline(points); }
  void Polygon(std::span<const plat::Point> points) override { canvas_.Polygon(points); }
  void Rectangle(const plat::Rect& box) override { canvas_.Rectangle(box); }
  void Ellipse(const plat::Rect& box) override { canvas_.Ellipse(box); }
  void Arc(const plat::Rect& box, plat::Point s, plat::Point e) override { canvas_.Arc(box, s, e); }
  void Pie(const plat::Rect& box, plat::Point s, plat::Point e) override { canvas_.Pie(box, s, e); }
  void SetClip(std::optional<plat::Rect> clip) override;
  void Text(const plat::Font& font, plat::Point at, std::string_view text,
            const plat::TextStyle& style) override;
  bool GradientTriangles(std::span<const plat::GradientVertex> vertices,
                         std::span<const std::array<int, 3>> triangles) override {
    return canvas_.GradientFillTriangles(vertices, triangles);
  }
  void Bitmap(const plat::Surface& source, const plat::Rect& dest) override {
    canvas_.StretchBlt(dest.left, dest.top, dest.Width(), dest.Height(), source, 0, 0,
                       source.Width(), source.Height(), plat::kSrcCopy);
  }

 private:
  plat::Canvas& canvas_;
  plat::Region base_;
};

}  // namespace tk
