#pragma once
// Windows metafiles written from drawing calls: a drawing context that turns
// pens, brushes, fonts, shapes, text, clipping and bitmaps into the records
// of a Windows metafile (16-bit records, optionally behind the 22-byte
// placeable header) or of an enhanced metafile (32-bit records), and the
// placeable header itself. Little-endian throughout, as the formats are.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/draw/DrawContext.h"

namespace tk {

/// The placeable header's key and the size of the header.
inline constexpr std::uint32_t kPlaceableKey = 0x9AC6CDD7u;
inline constexpr int kPlaceableHeaderSize = 22;
/// The enhanced metafile's signature (" EMF").
inline constexpr std::uint32_t kEmfSignature = 0x464D4520u;

/// The 22-byte placeable header of a picture RIGHT x BOTTOM units of
/// 1/UNITS_PER_INCH inch, with its checksum.
std::vector<std::uint8_t> PlaceableHeader(int right, int bottom, int unitsPerInch = 1000);
/// The checksum of the placeable header: the XOR of its first ten words.
std::uint16_t PlaceableChecksum(int right, int bottom, int unitsPerInch = 1000);

/// The reference device of an enhanced metafile: its pixels and millimetres.
struct EmfReference {
  int horzRes = 0, vertRes = 0;    // pixels
  int horzSize = 0, vertSize = 0;  // millimetres
  int logPixelsX = 96;
};

/// Records drawing as a Windows or enhanced metafile. Coordinates are the
/// metafile's logical units (y downwards).
class MetafileRecorder : public plat::DrawContext {
 public:
  /// A Windows metafile of WIDTH x HEIGHT logical units (anisotropic mapping,
  /// window extent WIDTH + 1 x HEIGHT + 1).
  static std::unique_ptr<MetafileRecorder> Windows(int width, int height);
  /// An enhanced metafile on REFERENCE with FRAME (0.01 mm) and DESCRIPTION
  /// ("" none; otherwise its parts separated by NULs, ended by two NULs).
  /// WINDOW_WIDTH/HEIGHT: the window extent recorded (0: none).
  static std::unique_ptr<MetafileRecorder> Enhanced(const EmfReference& reference,
                                                    const plat::Rect& frame,
                                                    std::string_view description,
                                                    int windowWidth, int windowHeight);

  bool IsEnhanced() const { return enhanced_; }
  /// The picture's bytes; the recording ends (records after it are ignored).
  const std::vector<std::uint8_t>& Close();
  bool Closed() const { return closed_; }
  /// Records of each type so far (for the tests and the benchmark).
  int RecordCount() const { return records_; }

  void SetPen(const plat::Pen& pen) override;
  void SetBrush(const plat::Brush& brush) override;
  void MoveTo(plat::Point p) override;
  void LineTo(plat::Point p) override;
  void SetPixel(plat::Point p, plat::Pixel colour) override;
  void Polyline(std::span<const plat::Point> points) override;
  void Polygon(std::span<const plat::Point> points) override;
  void Rectangle(const plat::Rect& box) override;
  void Ellipse(const plat::Rect& box) override;
  void Arc(const plat::Rect& box, plat::Point start, plat::Point end) override;
  void Pie(const plat::Rect& box, plat::Point start, plat::Point end) override;
  void SetClip(std::optional<plat::Rect> clip) override;
  void Text(const plat::Font& font, plat::Point at, std::string_view text,
            const plat::TextStyle& style) override;
  bool GradientTriangles(std::span<const plat::GradientVertex> vertices,
                         std::span<const std::array<int, 3>> triangles) override;
  /// A device-independent bitmap (24 bits) of PIXELS stretched over DEST.
  void Bitmap(const plat::Surface& pixels, const plat::Rect& dest) override;
  /// The raster operation of the drawing calls (R2_ codes, 13 copy pen).
  void SetRop2(int rop2);
  /// Whether pens other than hairlines are geometric (enhanced metafiles).
  void SetGeometricPens(bool on) { geometric_ = on; }

 private:
  MetafileRecorder() = default;
  // Record assembly: a record starts with Begin and ends with End, which
  // writes its size.
  void Begin(std::uint32_t type);
  void ArcLike(std::uint32_t emfType, std::uint32_t wmfType, const plat::Rect& box,
               plat::Point start, plat::Point end);
  void End();
  void U8(int v) { bytes_.push_back(static_cast<std::uint8_t>(v)); }
  void U16(int v);
  void U32(std::uint32_t v);
  void I32(int v) { U32(static_cast<std::uint32_t>(v)); }
  void Colour(plat::Pixel p);
  void Point(plat::Point p);
  void Box(const plat::Rect& r);
  void Simple16(int function, std::initializer_list<int> words);
  void Simple32(std::uint32_t type, std::initializer_list<int> values);
  void SelectStock(int stock);
  int NewObject();
  void DeleteObject(int& index);
  void FitFont(const plat::Font& font);
  void FitTextState(const plat::TextStyle& style);
  void Points(std::uint32_t emfType, int wmfFunction, std::span<const plat::Point> points);
  void Dib(const plat::Surface& pixels, std::vector<std::uint8_t>& info,
           std::vector<std::uint8_t>& bits) const;

  bool enhanced_ = false;
  bool closed_ = false;
  bool geometric_ = false;
  std::vector<std::uint8_t> bytes_;
  std::size_t recordStart_ = 0;
  int records_ = 0;
  std::size_t maxRecordWords_ = 0;
  std::vector<bool> objects_;  // object table slots in use
  int maxObjects_ = 0;
  int penObject_ = -1, brushObject_ = -1, fontObject_ = -1;
  plat::Pen pen_;
  plat::Brush brush_;
  bool penKnown_ = false, brushKnown_ = false;
  plat::FontSpec font_;
  bool fontKnown_ = false;
  int textAlign_ = -1, bkMode_ = -1;
  plat::Pixel textColour_ = 0xFFFFFFFFu, bkColour_ = 0xFFFFFFFFu;
  plat::Rect bounds_{};
  int width_ = 0, height_ = 0;
  EmfReference reference_;
  plat::Rect frame_{};
};

}  // namespace tk
