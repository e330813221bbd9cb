// Binary CGM elements shared by the CGM file driver and the memory recorder.
#include "toolkit/hardcopy/CgmEncoding.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <span>

#include "toolkit/core/Errors.h"
#include "toolkit/graphics/Colours.h"
#include "toolkit/graphics/ImageLoad.h"
#include "toolkit/graphics/Drivers.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/hardcopy/HardcopyOptions.h"
#include "toolkit/hardcopy/PolygonFill.h"

namespace tk {
namespace {

constexpr int kShortLimit = 30;
// The largest partition: an even count below the 15-bit limit.
constexpr std::size_t kPartition = 32766;

void PutWord(std::string& out, int value) {
  const auto v = static_cast<std::uint16_t>(value & 0xFFFF);
  out += static_cast<char>(v >> 8);
  out += static_cast<char>(v & 0xFF);
}

int Trunc(double v) {
  // VDC values are 16-bit: anything beyond is held at the edge of the range.
  return static_cast<int>(std::trunc(std::clamp(v, -32768.0, 32767.0)));
}

int Pack(int r, int g, int b) {
  return r + 256 * g + 65536 * b;
}

}  // namespace

std::string CgmEncoder::Encode(int cls, int id, std::string_view params, bool longForm, bool pad) {
  std::string out;
  const int head = cls * 4096 + id * 32;
  if (!longForm && params.size() <= kShortLimit) {
    PutWord(out, head + static_cast<int>(params.size()));
    out += params;
  } else {
    PutWord(out, head + 31);
    std::size_t at = 0;
    do {
      const std::size_t n = std::min(kPartition, params.size() - at);
      const bool more = at + n < params.size();
      PutWord(out, static_cast<int>(n) + (more ? 32768 : 0));
      out += params.substr(at, n);
      at += n;
    } while (at < params.size());
  }
  if (pad) out += '\0';
  return out;
}

void CgmEncoder::Flush() {
  if (!open_) return;
  open_ = false;
  const std::string element = Encode(cls_, id_, params_, long_, pad_);
  params_.clear();
  if (sink_) sink_(element);
}

void CgmEncoder::YYCGMHDR(int cls, int id, bool longForm) {
  Flush();
  open_ = true;
  cls_ = cls;
  id_ = id;
  long_ = longForm;
  pad_ = false;
}

void CgmEncoder::YYCGMWORD(int value) {
  PutWord(params_, value);
}

void CgmEncoder::YYCGMPAIR(int a, int b) {
  YYCGMWORD(a);
  YYCGMWORD(b);
}

void CgmEncoder::YYCGMPT(float x, float y, float factorX, float factorY) {
  YYCGMPAIR(Trunc(static_cast<double>(factorX) * x), Trunc(static_cast<double>(factorY) * y));
}

void CgmEncoder::YYCGMCOLR(int cls, int id, int r, int g, int b) {
  YYCGMHDR(cls, id);
  Byte(r);
  Byte(g);
  Byte(b);
  Byte(0);
}

void CgmEncoder::String(std::string_view text, int n) {
  const std::size_t count = std::min(static_cast<std::size_t>(std::max(n, 0)), text.size());
  if (count <= 254) {
    Byte(static_cast<int>(count));
  } else {
    // The long string form: 255, then the count in a 15-bit word.
    Byte(255);
    YYCGMWORD(static_cast<int>(std::min<std::size_t>(count, 32767)));
  }
  params_ += text.substr(0, count);
}

void CgmEncoder::YYCGMSTRP(std::string_view text, int n) {
  String(text, n);
  pad_ = params_.size() % 2 != 0;
}

void CgmEncoder::YYCGMSTR(std::string_view text, int n) {
  String(text, n);
}

void CgmEncoder::Byte(int value) {
  params_ += static_cast<char>(value & 0xFF);
}

void CgmEncoder::Real(double value) {
  const auto whole = static_cast<int>(std::floor(value));
  const auto fraction = static_cast<int>(std::round((value - whole) * 65536.0)) & 0xFFFF;
  YYCGMPAIR(whole, fraction);
}

void YYCGMINV(int& r, int& g, int& b) {
  const int mode = HardcopyOption(6);
  const bool invert =
      mode == 1 || (mode == 2 && ((r > 245 && g > 245 && b > 245) || (r < 10 && g < 10 && b < 10)));
  if (!invert) return;
  r = 255 - r;
  g = 255 - g;
  b = 255 - b;
}

std::string CgmFontListParameters(int list) {
  static constexpr std::array<std::string_view, 16> kWindows{
      "Courier New",          "Courier New Bold",       "Courier New Italic",
      "Courier New Bold Italic", "Arial",               "Arial Bold",
      "Arial Italic",         "Arial Bold Italic",      "Times New Roman",
      "Times New Roman Bold", "Times New Roman Italic", "Times New Roman Bold Italic",
      "Symbol",               "Symbol Italic",          "Symbol Bold",
      "Symbol Bold Italic"};
  static constexpr std::array<std::string_view, 16> kPostScript{
      "Courier",     "Courier-Bold", "Courier-Oblique", "Courier-BoldOblique",
      "Helvetica",   "Helvetica-Bold", "Helvetica-Oblique", "Helvetica-BoldOblique",
      "Times-Roman", "Times-Bold",   "Times-Italic",    "Times-BoldItalic",
      "Symbol",      "Symbol",       "Symbol",          "Symbol"};
  static constexpr std::array<std::string_view, 16> kUpper{
      "COURIER",     "COURIER_BOLD", "COURIER_ITALIC",    "COURIER_BOLD_ITALIC",
      "HELVETICA",   "HELVETICA_BOLD", "HELVETICA_OBLIQUE", "HELVETICA_BOLD_OBLIQUE",
      "TIMES_ROMAN", "TIMES_BOLD",   "TIMES_ITALIC",      "TIMES_BOLD_ITALIC",
      "SYMBOL",      "SYMBOL",       "SYMBOL",            "SYMBOL"};
  const auto& names = list == 1 ? kPostScript : list == 0 ? kUpper : kWindows;
  std::string out;
  for (std::string_view name : names) {
    out += static_cast<char>(name.size());
    out += name;
  }
  // The PostScript list ends with a zero byte that its length counts.
  if (list == 1) out += '\0';
  return out;
}

void CgmVdcExtent(int resolution, int width, int height, int& w, int& h) {
  const std::int64_t w0 = static_cast<std::int64_t>(resolution) * width / 72;
  const std::int64_t h0 = static_cast<std::int64_t>(resolution) * height / 72;
  const std::int64_t m = std::max(w0, h0);
  w = static_cast<int>(m > 32767 ? w0 * 32767 / m : w0);
  h = static_cast<int>(m > 32767 ? h0 * 32767 / m : h0);
}

void WriteCgmMetafileHeader(CgmEncoder& e, const CgmHeader& h) {
  e.YYCGMHDR(0, 1);
  e.YYCGMSTRP(h.title, static_cast<int>(h.title.size()));
  e.YYCGMHDR(1, 1);
  e.YYCGMWORD(h.version);
  static constexpr std::string_view kDescription = "JQX CGM driver v4";
  e.YYCGMHDR(1, 2);
  e.YYCGMSTRP(kDescription, static_cast<int>(kDescription.size()));
  e.YYCGMHDR(1, 3);
  e.YYCGMWORD(0);
  e.YYCGMHDR(1, 4);
  e.YYCGMWORD(16);
  e.YYCGMHDR(1, 5);
  e.YYCGMWORD(1);
  e.YYCGMPAIR(16, 16);
  e.YYCGMHDR(1, 6);
  e.YYCGMWORD(16);
  e.YYCGMHDR(1, 13, true);
  for (char c : CgmFontListParameters(h.fontList)) e.Byte(static_cast<unsigned char>(c));
  e.YYCGMHDR(1, 7);
  e.YYCGMWORD(8);
  e.YYCGMHDR(1, 10);
  for (int v : {0, 0, 0, 255, 255, 255}) e.Byte(v);
  e.Flush();
}

void WriteCgmPictureHeader(CgmEncoder& e, const CgmHeader& h) {
  static constexpr std::string_view kPicture = "JQX CGM Data";
  e.YYCGMHDR(0, 3);
  e.YYCGMSTRP(kPicture, static_cast<int>(kPicture.size()));
  e.YYCGMHDR(2, 3);
  e.YYCGMWORD(0);
  e.YYCGMHDR(2, 5);
  e.YYCGMWORD(0);
  e.YYCGMHDR(2, 2);
  e.YYCGMWORD(1);
  e.YYCGMHDR(3, 1);
  e.YYCGMWORD(16);
  e.YYCGMHDR(2, 6);
  e.YYCGMPAIR(0, 0);
  e.YYCGMPAIR(h.vdcWidth, h.vdcHeight);
  e.YYCGMHDR(0, 4);
  e.YYCGMHDR(5, 18);
  e.YYCGMPAIR(1, 5);
  e.Real(0);
  e.Real(0);
  e.Flush();
}

// --- The picture writer ----------------------------------------------------

std::pair<int, int> CgmPictureWriter::Vdc(float x, float y) const {
  return {Trunc(static_cast<double>(rules_.factorX) * x),
          Trunc(static_cast<double>(rules_.factorY) * y)};
}

void CgmPictureWriter::PendingColour(bool colourRule, int& r, int& g, int& b) {
  const GraphicsState& gs = Gs();
  ColourToRgb(gs.colourMode == 1 ? gs.current.number : gs.current.rgb, r, g, b);
  if (colourRule) YYCGMINV(r, g, b);
}

namespace {
void PreviousColour(bool colourRule, int& r, int& g, int& b) {
  const GraphicsState& gs = Gs();
  ColourToRgb(gs.colourMode == 1 ? gs.previous.number : gs.previous.rgb, r, g, b);
  if (colourRule) YYCGMINV(r, g, b);
}

void Unpack(int rgb, int& r, int& g, int& b) {
  r = rgb & 0xFF;
  g = (rgb >> 8) & 0xFF;
  b = (rgb >> 16) & 0xFF;
}
}  // namespace

void CgmPictureWriter::LineColour(int rgb) {
  if (rgb == r_.lineColour) return;
  int r = 0, g = 0, b = 0;
  Unpack(rgb, r, g, b);
  e_.YYCGMCOLR(5, 4, r, g, b);
  r_.lineColour = rgb;
}

void CgmPictureWriter::Polyline(const std::vector<std::pair<float, float>>& points, bool longForm) {
  e_.YYCGMHDR(4, 1, longForm);
  for (auto [x, y] : points) {
    const auto [vx, vy] = Vdc(x, y);
    e_.YYCGMPAIR(vx, vy);
  }
  e_.Flush();
}

void CgmPictureWriter::Polygon(const std::vector<std::pair<float, float>>& points, bool longForm) {
  e_.YYCGMHDR(5, 22);
  e_.YYCGMWORD(1);
  e_.YYCGMHDR(4, 7, longForm);
  for (auto [x, y] : points) {
    const auto [vx, vy] = Vdc(x, y);
    e_.YYCGMPAIR(vx, vy);
  }
  e_.Flush();
}

void CgmPictureWriter::LineType() {
  e_.YYCGMHDR(5, 2);
  e_.YYCGMWORD(kCgmLineTypes[std::clamp(Gs().lineType, 0, 7)]);
  e_.Flush();
}

void CgmPictureWriter::LineWidth(int width) {
  e_.YYCGMHDR(5, 3);
  e_.YYCGMWORD(width);
  e_.Flush();
}

void CgmPictureWriter::Clip() {
  const GraphicsState& gs = Gs();
  e_.YYCGMHDR(3, 6);
  e_.YYCGMWORD(1);
  e_.YYCGMHDR(3, 5);
  if (rules_.integerClip) {
    e_.YYCGMPAIR(gs.clipPixX0, gs.clipPixY0);
    e_.YYCGMPAIR(gs.clipPixX1, gs.clipPixY1);
  } else {
    const auto [x0, y0] = Vdc(gs.clipX0, gs.clipY0);
    const auto [x1, y1] = Vdc(gs.clipX1, gs.clipY1);
    e_.YYCGMPAIR(x0, y0);
    e_.YYCGMPAIR(x1, y1);
  }
  e_.Flush();
}

void CgmPictureWriter::CharacterSize() {
  const GraphicsState& gs = Gs();
  // Font kinds 1-4 (a user-named face counts as the first) with the bold and
  // italic bits choose entries 1-16 of the font list.
  const int kind = std::clamp(gs.text.deviceFace, 1, 4);
  const int index = 4 * kind + (gs.text.styleBits & 3) - 3;
  if (index != r_.fontIndex) {
    e_.YYCGMHDR(5, 10);
    e_.YYCGMWORD(index);
    r_.fontIndex = index;
  }
  const int h = Trunc(static_cast<double>(gs.text.charHeight) * 0.55 * gs.areaHeight *
                      rules_.factorY);
  if (h != r_.characterHeight) {
    e_.YYCGMHDR(5, 15);
    e_.YYCGMWORD(h);
    r_.characterHeight = h;
  }
  e_.Flush();
}

void CgmPictureWriter::TextAngle() {
  const GraphicsState& gs = Gs();
  const double l = static_cast<double>(gs.text.charWidth) * gs.areaWidth * rules_.factorX;
  e_.YYCGMHDR(5, 16);
  e_.YYCGMPAIR(Trunc(-1.2 * l * gs.text.sinAOverQ), Trunc(1.2 * l * gs.text.cosA));
  e_.YYCGMPAIR(Trunc(l * gs.text.cosA), Trunc(l * gs.text.qSinA));
  e_.Flush();
}

void CgmPictureWriter::Text(int pending) {
  const GraphicsState& gs = Gs();
  const DriverParameters& dp = DriverParams();
  const TextAttributes& t = gs.text;
  const int font = t.spacingMode;
  const bool opaque = (t.styleBits & 8) != 0 && font != 1 && t.vertical == 0;
  if (opaque) {
    e_.YYCGMHDR(3, 4);
    e_.YYCGMWORD(0);
    int r = 0, g = 0, b = 0;
    PreviousColour(rules_.colourRule, r, g, b);
    if (Pack(r, g, b) != r_.auxiliaryColour) {
      e_.YYCGMCOLR(3, 3, r, g, b);
      r_.auxiliaryColour = Pack(r, g, b);
    }
  }
  if (pending != r_.textColour) {
    int r = 0, g = 0, b = 0;
    Unpack(pending, r, g, b);
    e_.YYCGMCOLR(5, 14, r, g, b);
    r_.textColour = pending;
  }
  const int justify = std::clamp(t.hJustify, 0, 2);
  const int a = font == 1 ? 1 : justify + 1;
  if (a != r_.alignment) {
    e_.YYCGMHDR(5, 18);
    e_.YYCGMPAIR(a, 5);
    e_.Real(0);
    e_.Real(0);
    r_.alignment = a;
  }
  float x = dp.X[0] + 0.38f * t.passHSinQ, y = dp.Y[0] - 0.38f * t.passHCos;
  const float dx = dp.X[2] - dp.X[0], dy = dp.Y[2] - dp.Y[0];
  if (font != 1) {
    if (justify == 1) x += dx / 2, y += dy / 2;
    if (justify == 2) x += dx, y += dy;
  }
  const int n = std::clamp(dp.KX[0], 0, kDriverTextLength);
  const std::string_view text = std::string_view(DriverText()).substr(0, static_cast<std::size_t>(n));
  const auto [ax, ay] = Vdc(x, y);
  if (font != 1) {
    e_.YYCGMHDR(4, 5);
    e_.YYCGMWORD(Trunc(std::sqrt(static_cast<double>(dx) * dx + static_cast<double>(dy) * dy) *
                       rules_.factorX));
    e_.YYCGMWORD(Trunc(r_.characterHeight * 1.25));
  } else {
    e_.YYCGMHDR(4, 4);
  }
  e_.YYCGMPAIR(ax, ay);
  e_.YYCGMWORD(1);
  e_.YYCGMSTRP(text, n);
  if (opaque) {
    e_.YYCGMHDR(3, 4);
    e_.YYCGMWORD(1);
  }
  e_.Flush();
}

void CgmPictureWriter::FillColour(int pending) {
  const GraphicsState& gs = Gs();
  int rgb = pending;
  if (gs.fillStyle == kFillHalftone) {
    int r0 = 0, g0 = 0, b0 = 0, r1 = 0, g1 = 0, b1 = 0;
    PreviousColour(rules_.colourRule, r0, g0, b0);
    Unpack(pending, r1, g1, b1);
    rgb = Pack((r0 + r1) / 2, (g0 + g1) / 2, (b0 + b1) / 2);
  }
  if (rgb == r_.fillColour) return;
  int r = 0, g = 0, b = 0;
  Unpack(rgb, r, g, b);
  e_.YYCGMCOLR(5, 23, r, g, b);
  r_.fillColour = rgb;
}

void CgmPictureWriter::EdgeAttributes(int pending, int edgeWidth) {
  const GraphicsState& gs = Gs();
  e_.YYCGMHDR(5, 30);
  e_.YYCGMWORD(1);
  if (pending != r_.edgeColour) {
    int r = 0, g = 0, b = 0;
    Unpack(pending, r, g, b);
    e_.YYCGMCOLR(5, 29, r, g, b);
    r_.edgeColour = pending;
  }
  if (gs.lineType != r_.edgeType) {
    e_.YYCGMHDR(5, 27);
    e_.YYCGMWORD(kCgmLineTypes[std::clamp(gs.lineType, 0, 7)]);
    r_.edgeType = gs.lineType;
  }
  if (gs.metafileLineWidth != r_.edgeWidth) {
    e_.YYCGMHDR(5, 28);
    e_.YYCGMWORD(edgeWidth);
    r_.edgeWidth = gs.metafileLineWidth;
  }
  e_.Flush();
}

void CgmPictureWriter::Ellipse(bool outline) {
  const GraphicsState& gs = Gs();
  const DriverParameters& dp = DriverParams();
  e_.YYCGMHDR(5, 22);
  e_.YYCGMWORD(outline ? 4 : 1);
  const double across = static_cast<double>(gs.width) * gs.areaFracWidth;
  const double ry = across != 0 ? static_cast<double>(dp.X[1]) * dp.X[2] * rules_.pageAspect *
                                      gs.height * gs.areaFracHeight / across
                                : 0.0;
  e_.YYCGMHDR(4, 17);
  const auto [cx, cy] = Vdc(dp.X[0], dp.Y[0]);
  const auto [px, py] = Vdc(dp.X[0] + dp.X[1], dp.Y[0]);
  const auto [qx, qy] = Vdc(dp.X[0], static_cast<float>(dp.Y[0] + ry));
  e_.YYCGMPAIR(cx, cy);
  e_.YYCGMPAIR(px, py);
  e_.YYCGMPAIR(qx, qy);
  if (outline) {
    e_.YYCGMHDR(5, 30);
    e_.YYCGMWORD(0);
  }
  e_.Flush();
}

void CgmPictureWriter::Rectangle() {
  const GraphicsState& gs = Gs();
  const DriverParameters& dp = DriverParams();
  e_.YYCGMHDR(5, 22);
  e_.YYCGMWORD(1);
  e_.YYCGMHDR(4, 11);
  if (rules_.integerClip) {
    e_.YYCGMPAIR(std::max(dp.KX[0], gs.clipPixX0), std::max(dp.KY[0], gs.clipPixY0));
    e_.YYCGMPAIR(std::min(dp.KX[1], gs.clipPixX1), std::min(dp.KY[1], gs.clipPixY1));
  } else {
    const auto [x0, y0] = Vdc(std::max(dp.X[0], gs.clipX0), std::max(dp.Y[0], gs.clipY0));
    const auto [x1, y1] = Vdc(std::min(dp.X[1], gs.clipX1), std::min(dp.Y[1], gs.clipY1));
    e_.YYCGMPAIR(x0, y0);
    e_.YYCGMPAIR(x1, y1);
  }
  e_.Flush();
}

void CgmPictureWriter::Pie(int drawableWidth) {
  const GraphicsState& gs = Gs();
  DriverParameters& dp = DriverParams();
  const int steps =
      75 * static_cast<int>(std::trunc(dp.X[1])) / std::max(1, drawableWidth) + 25;
  const double step = std::numbers::pi / std::max(1, steps);
  const double aspect = gs.aspectRatio != 0 ? gs.aspectRatio : 1.0;
  const double ry = dp.Y[1] / aspect * rules_.pageAspect;
  std::vector<std::pair<float, float>> points{{dp.X[0], dp.Y[0]}};
  const auto at = [&](double a) {
    points.emplace_back(static_cast<float>(dp.X[0] + dp.X[1] * std::cos(a)),
                        static_cast<float>(dp.Y[0] + ry * std::sin(a)));
  };
  // A sweep is at most a turn; the point list is bounded by the step count.
  const double end = std::min<double>(dp.Y[2], dp.X[2] + 2 * std::numbers::pi);
  for (int i = 0; dp.X[2] + i * step <= end && i <= 2 * steps + 1; ++i) at(dp.X[2] + i * step);
  at(dp.Y[2]);
  Polygon(points, true);
}

std::string CgmPictureWriter::CellArrayHead(int nx, int ny) const {
  const GraphicsState& gs = Gs();
  std::string p;
  const auto put = [&p](int a, int b) {
    PutWord(p, a);
    PutWord(p, b);
  };
  if (rules_.integerClip) {
    put(gs.clipPixX0, gs.clipPixY1);
    put(gs.clipPixX1, gs.clipPixY0);
    put(gs.clipPixX1, gs.clipPixY1);
  } else {
    const auto [l, t] = Vdc(gs.clipX0, gs.clipY1);
    const auto [r, b] = Vdc(gs.clipX1, gs.clipY0);
    put(l, t);
    put(r, b);
    put(r, t);
  }
  put(nx, ny);
  put(8, 0);
  // The long form's header word, then the first partition, continued.
  std::string head;
  PutWord(head, 4 * 4096 + 9 * 32 + 31);
  PutWord(head, 32768 + static_cast<int>(p.size()));
  return head + p;
}

std::string CgmPictureWriter::CellArrayRow(const std::int32_t* pixels, int nx) {
  std::string row;
  for (int i = 0; i < nx;) {
    int j = i + 1;
    while (j < nx && pixels[j] == pixels[i] && j - i < 32767) ++j;
    PutWord(row, j - i);
    int r = 0, g = 0, b = 0;
    Unpack(pixels[i], r, g, b);
    row += static_cast<char>(r);
    row += static_cast<char>(g);
    row += static_cast<char>(b);
    i = j;
  }
  if (row.size() % 2 != 0) row += '\0';
  return row;
}

std::vector<std::string> CgmPictureWriter::RowPartitions(const std::string& row, bool lastRow) {
  std::vector<std::string> out;
  std::size_t at = 0;
  do {
    const std::size_t n = std::min(kPartition, row.size() - at);
    const bool more = at + n < row.size() || !lastRow;
    std::string p;
    PutWord(p, static_cast<int>(n) + (more ? 32768 : 0));
    p += row.substr(at, n);
    out.push_back(std::move(p));
    at += n;
  } while (at < row.size());
  return out;
}

bool LoadOperationImage(std::vector<std::int32_t>& pixels, int& nx, int& ny) {
  DriverParameters& dp = DriverParams();
  nx = dp.KX[1];
  ny = dp.KY[1];
  // Sizes that cannot be an image here are refused before any memory is taken.
  if (nx <= 0 || ny <= 0 || static_cast<std::int64_t>(nx) * ny > (std::int64_t{1} << 26)) {
    dp.P1 = 0;
    dp.P2 = 27;
    return false;
  }
  pixels.assign(static_cast<std::size_t>(nx) * static_cast<std::size_t>(ny), 0);
  const ToolkitErrorState kept = ErrorState();
  ErrorState().lastError = 0;
  ErrorReportModeSet(kReportSilent);
  const std::string& name = DriverText();
  const std::size_t end = name.find_last_not_of(' ');
  IGrLoadImageData(name, end == std::string::npos ? 0 : static_cast<int>(end + 1), pixels);
  ErrorReportModeSet(kept.reportMode);
  if (ErrorState().lastError != 0) {
    dp.P2 = ErrorState().lastError;
    dp.P1 = ErrorState().systemError;
    pixels.clear();
    return false;
  }
  ErrorState().lastError = kept.lastError;
  dp.P2 = 0;
  return true;
}

void CgmPictureWriter::GradientPolygonFill(int count) {
  const DriverParameters& dp = DriverParams();
  GradientPolygonBuffer& buf = GradientPolygon();
  const int n = std::clamp(count, 0, kDriverMaxPoints);
  buf.Resize(n);  // the sender's colours stay
  for (int i = 0; i < n; ++i) {
    const auto [vx, vy] = Vdc(dp.pointX[i], dp.pointY[i]);
    buf.x[i] = vx;
    buf.y[i] = vy;
    buf.realX[i] = dp.pointX[i];
    buf.realY[i] = dp.pointY[i];
  }
  // The triangles go to the metafile as interpolated-interior polygons at
  // the vertices' real points; nothing is ever scan-converted here.
  const auto triangles = [this, &buf](std::span<const std::int32_t>, std::span<const std::int32_t>,
                                      std::span<const std::int32_t> colour,
                                      std::span<const std::array<std::int32_t, 3>> list, int vertexCount,
                                      int, int& pixelPass) {
    std::vector<Vertex> vertices;
    for (int i = 0; i < vertexCount; ++i)
      vertices.push_back({buf.realX[static_cast<std::size_t>(i)], buf.realY[static_cast<std::size_t>(i)],
                          colour[static_cast<std::size_t>(i)]});
    Triangles(vertices, {list.begin(), list.end()});
    pixelPass = 0;
  };
  PolygonFill(2, 0, 0, 0, 0, {}, triangles);
}

void CgmPictureWriter::Triangles(const std::vector<Vertex>& v,
                                 const std::vector<std::array<int, 3>>& list) {
  const auto valid = [&v](int k) { return k >= 1 && k <= static_cast<int>(v.size()); };
  for (const auto& t : list) {
    if (!valid(t[0]) || !valid(t[1]) || !valid(t[2])) continue;
    const Vertex& a = v[static_cast<std::size_t>(t[0] - 1)];
    const Vertex& b = v[static_cast<std::size_t>(t[1] - 1)];
    const Vertex& c = v[static_cast<std::size_t>(t[2] - 1)];
    const auto pa = Vdc(a.x, a.y), pb = Vdc(b.x, b.y), pc = Vdc(c.x, c.y);
    e_.YYCGMHDR(5, 31);
    e_.YYCGMPAIR(pa.first, pa.second);
    e_.YYCGMHDR(5, 43);
    e_.YYCGMWORD(3);
    e_.YYCGMPAIR(pb.first - pa.first, pb.second - pa.second);
    e_.YYCGMPAIR(pc.first - pa.first, pc.second - pa.second);
    e_.YYCGMWORD(0);
    for (const Vertex* p : {&a, &b, &c}) {
      int r = 0, g = 0, bl = 0;
      Unpack(p->rgb, r, g, bl);
      e_.Byte(r);
      e_.Byte(g);
      e_.Byte(bl);
    }
    e_.Byte(0);
    e_.YYCGMHDR(5, 22);
    e_.YYCGMWORD(6);
    e_.YYCGMHDR(4, 7);
    for (auto [x, y] : {pa, pb, pc}) e_.YYCGMPAIR(x, y);
  }
  e_.Flush();
}

}  // namespace tk
