#pragma once
// Binary CGM (ISO 8632-3) elements, shared by the CGM file driver and the
// in-memory CGM recorder: the element builder with its header words, long
// form and partitions, and the picture writer that turns the drawing
// operations into elements with the attributes written only when they change.
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tk {

/// CGM line types of the graphics state's line types 0-7.
inline constexpr int kCgmLineTypes[8] = {1, 3, 2, 4, 5, 10, 12, 13};

/// One element at a time: the header comes first, then its parameters; the
/// finished element (header word, long-form partition words, parameters and
/// any padding byte) goes to the sink whole, when the next element starts or
/// on Flush. Parameters above 30 bytes, or any element begun with LONG, use
/// the long form; parameter lists above 32766 bytes are split into
/// partitions.
class CgmEncoder {
 public:
  using Sink = std::function<void(std::string_view element)>;
  explicit CgmEncoder(Sink sink) : sink_(std::move(sink)) {}

  /// Starts element CLASS/ID (the previous one is finished first).
  void YYCGMHDR(int cls, int id, bool longForm = false);
  /// A 16-bit value, most significant byte first, two's complement.
  void YYCGMWORD(int value);
  void YYCGMPAIR(int a, int b);
  /// A point in device units, each coordinate times its factor and truncated.
  void YYCGMPT(float x, float y, float factorX, float factorY);
  /// A whole colour attribute element: red, green, blue and a zero byte.
  void YYCGMCOLR(int cls, int id, int r, int g, int b);
  /// TEXT(1:N) as a string followed by a zero byte when the string's byte
  /// count is odd (the byte is not counted in the length): the string ends
  /// its element. N above 254 uses the long string form.
  void YYCGMSTRP(std::string_view text, int n);
  /// The same string without padding.
  void YYCGMSTR(std::string_view text, int n);
  void Byte(int value);
  /// A 32-bit fixed-point real (16-bit whole, 16-bit fraction).
  void Real(double value);
  /// Finishes the current element and hands it to the sink.
  void Flush();
  /// Bytes of the current element's parameters so far.
  std::size_t ParameterBytes() const { return params_.size(); }

  /// Encodes class/id with PARAMS as a whole element (header word(s),
  /// partitions, parameters, padding byte when PAD).
  static std::string Encode(int cls, int id, std::string_view params, bool longForm, bool pad);

 private:
  void String(std::string_view text, int n);
  Sink sink_;
  bool open_ = false, long_ = false, pad_ = false;
  int cls_ = 0, id_ = 0;
  std::string params_;
};

/// The colour rule of option 6: 1 inverts every component, 2 inverts a
/// colour whose components are all above 245 or all below 10.
void YYCGMINV(int& r, int& g, int& b);

/// The attribute values last written, -1 (none) or 0 (join, cap) when
/// forgotten. Colours are packed red + 256 green + 65536 blue.
struct CgmRemembered {
  std::int32_t lineColour = -1, textColour = -1, fillColour = -1, edgeColour = -1,
               auxiliaryColour = -1, fontIndex = -1, characterHeight = -1, alignment = -1,
               edgeWidth = -1, edgeType = -1;
  std::int32_t join = 0, cap = 0;
};

/// The metafile and picture headers both writers share.
struct CgmHeader {
  std::string title = "JQX CGM File";
  int version = 3;
  int fontList = 2;  // option 28: 0, 1 or 2 (others write 2's list)
  int vdcWidth = 0, vdcHeight = 0;
};
/// BEGIN METAFILE up to COLOUR VALUE EXTENT.
void WriteCgmMetafileHeader(CgmEncoder& e, const CgmHeader& h);
/// BEGIN PICTURE up to BEGIN PICTURE BODY and the text alignment that follows.
void WriteCgmPictureHeader(CgmEncoder& e, const CgmHeader& h);
/// The bytes of the font list of option LIST (0, 1, 2; others as 2).
std::string CgmFontListParameters(int list);
/// The VDC extent of a page of WIDTH x HEIGHT points at RESOLUTION dots per
/// inch, scaled down so that neither side exceeds 32767.
void CgmVdcExtent(int resolution, int width, int height, int& w, int& h);

/// Operation 38's image: the file named in DriverText read quietly into
/// KX(2) x KY(2) packed RGB pixels. On failure P2 := the error code and P1
/// := the system code, false; otherwise the toolkit's last error code is
/// restored, P2 := 0.
bool LoadOperationImage(std::vector<std::int32_t>& pixels, int& nx, int& ny);

/// How the picture writer maps and judges: the file driver scales device
/// units by FactorX/FactorY and applies the colour rule; the recorder draws
/// in the drawable's own units.
struct CgmPictureRules {
  float factorX = 1, factorY = 1;
  bool colourRule = false;
  /// Integer clip rectangle (recorder) instead of the real one (file driver).
  bool integerClip = false;
  /// Width / height of the page in points.
  float pageAspect = 1;
};

/// Turns drawing operations (operands in DriverParams) into elements.
class CgmPictureWriter {
 public:
  CgmPictureWriter(CgmEncoder& e, CgmRemembered& r, const CgmPictureRules& rules)
      : e_(e), r_(r), rules_(rules) {}

  /// The pending colour from the graphics state's current colour.
  static void PendingColour(bool colourRule, int& r, int& g, int& b);
  void LineColour(int rgb);
  void Polyline(const std::vector<std::pair<float, float>>& points, bool longForm);
  void LineType();
  void LineWidth(int width);
  void Clip();
  void CharacterSize();
  void TextAngle();
  void Text(int pending);
  void FillColour(int pending);
  void Ellipse(bool outline);
  /// The edge attributes of an ellipse outline, EDGE_WIDTH the value written.
  void EdgeAttributes(int pending, int edgeWidth);
  void Polygon(const std::vector<std::pair<float, float>>& points, bool longForm);
  void Rectangle();
  void Pie(int drawableWidth);
  /// The cell array's header word and first partition (the clip
  /// rectangle's corners, NX, NY, colour precision 8, run-length mode),
  /// continued by one partition per row.
  std::string CellArrayHead(int nx, int ny) const;
  /// ROW's bytes as partitions (a partition word, then up to 32766 bytes),
  /// the last one continued unless LAST_ROW.
  static std::vector<std::string> RowPartitions(const std::string& row, bool lastRow);
  /// One row of packed RGB pixels as run-length bytes, padded to even length.
  static std::string CellArrayRow(const std::int32_t* pixels, int nx);
  /// The triangles of a gradient polygon, vertex numbers from 1 into
  /// VERTICES: for each its fill reference point, interpolated interior
  /// between the vertices' own colours (no colour rule), interior style 6
  /// (interpolated) and the polygon.
  struct Vertex {
    float x = 0, y = 0;
    std::int32_t rgb = 0;
  };
  void Triangles(const std::vector<Vertex>& vertices, const std::vector<std::array<int, 3>>& list);
  /// The gradient polygon of the first COUNT points of PointX/PointY with
  /// the colours already in GradientPolygon(): cleaned and cut into
  /// triangles by PolygonFill, each written as above; never a pixel pass.
  void GradientPolygonFill(int count);
  std::pair<int, int> Vdc(float x, float y) const;

 private:
  CgmEncoder& e_;
  CgmRemembered& r_;
  CgmPictureRules rules_;
};

}  // namespace tk
