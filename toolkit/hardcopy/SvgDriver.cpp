// The SVG driver.
#include "toolkit/hardcopy/SvgDriver.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

#include "toolkit/graphics/Colours.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/hardcopy/HardcopyOptions.h"
#include "toolkit/hardcopy/HpglRecords.h"
#include "toolkit/hardcopy/PlotFile.h"
#include "toolkit/hardcopy/PostScriptDriver.h"
#include "toolkit/hardcopy/TextFileOutput.h"

namespace tk {
namespace {

constexpr std::size_t kRecordLength = 256;

struct SvgStyle {
  int red = -1, green = -1, blue = -1;  // red -1: no style group open
  int width = -1, lineType = -1, join = -1, cap = -1;
  friend bool operator==(const SvgStyle&, const SvgStyle&) = default;
};

struct SvgState {
  SvgStyle style;
  std::string styleHex = "000000";
  int clipNumber = 0;
  bool clipActive = false;
};

SvgState& St() {
  static SvgState s;
  return s;
}

constexpr std::array<std::string_view, 8> kDashes{"none",    "1 5",     "6 6", "1 3 4 4",
                                                  "1 2 1 2 4 2", "5 2 3 2", "3 3", "5 2 3 2 3 2"};
constexpr std::array<std::string_view, 3> kJoins{"miter", "round", "bevel"};
constexpr std::array<std::string_view, 3> kCaps{"butt", "round", "square"};
constexpr std::array<std::string_view, 4> kFamilies{
    "'Courier New',Courier;", "Arial,Helvetica;", "'Times New Roman','Times Roman';", "Symbol;"};
constexpr std::array<float, 3> kSizeFactor{1.65f, 1.33f, 1.72f};

template <std::size_t N>
std::string_view Word(const std::array<std::string_view, N>& table, int i) {
  return table[static_cast<std::size_t>(i >= 0 && i < static_cast<int>(N) ? i : 0)];
}

void Write(std::string_view record) {
  PlotFileWriteLine(2, record, static_cast<int>(record.size()));
}

// Option 6 on a colour 0-255.
void Invert(int& r, int& g, int& b) {
  const int mode = HardcopyOption(6);
  const bool dark = r < 10 && g < 10 && b < 10;
  const bool light = r > 245 && g > 245 && b > 245;
  if (mode == 1 || (mode == 2 && (dark || light))) {
    r = 255 - r;
    g = 255 - g;
    b = 255 - b;
  }
}

std::string Hex(int r, int g, int b) {
  std::string h;
  YYHEXRGB(r, g, b, h);
  return h;
}

float Extent() {
  return std::max(1.0f, Gs().extentY);
}

std::string SvgX(float x) {
  return SvgNumber(DriverParams().factorX * x);
}
std::string SvgY(float y) {
  return SvgNumber((Extent() - y) * DriverParams().factorY);
}
std::string PointText(float x, float y) {
  return SvgX(x) + "," + SvgY(y);
}

// Point lists and transforms are read with the stricter number syntax of
// style sheets, where "12." is no number: a renderer drops the whole shape or
// text. There a whole number is written without its point.
std::string ListNumber(float value) {
  std::string n = SvgNumber(value);
  if (n.size() > 1 && n.back() == '.') n.pop_back();
  return n;
}
std::string ListPoint(float x, float y) {
  const DriverParameters& dp = DriverParams();
  return ListNumber(dp.factorX * x) + "," + ListNumber((Extent() - y) * dp.factorY);
}

// An element of many points ("<polyline points=" and the like), split over
// records of at most 256 characters between points.
void PointsElement(std::string_view head) {
  const DriverParameters& dp = DriverParams();
  const int n = std::clamp(dp.P1, 0, kDriverMaxPoints);
  std::string record(head);
  record += "points=\"";
  for (int i = 0; i < n; ++i) {
    const std::string p = ListPoint(dp.pointX[i], dp.pointY[i]);
    if (record.size() + p.size() > kRecordLength) {
      if (!record.empty() && record.back() == ' ') record.pop_back();
      Write(record);
      record.clear();
    }
    record += p;
    record += ' ';
  }
  if (!record.empty() && record.back() == ' ') record.pop_back();
  if (record.size() + 3 > kRecordLength) {
    Write(record);
    record.clear();
  }
  record += "\"/>";
  Write(record);
}

void Polygon(std::initializer_list<std::pair<float, float>> points) {
  std::string record = "<polygon points=\"";
  bool first = true;
  for (const auto& [x, y] : points) {
    if (!first) record += ' ';
    record += ListPoint(x, y);
    first = false;
  }
  Write(record + "\"/>");
}

void Style() {
  SvgState& s = St();
  SvgStyle next;
  StateColourRgb(true, next.red, next.green, next.blue);
  Invert(next.red, next.green, next.blue);
  next.width = std::max(1, static_cast<int>(std::trunc(HardcopyOption(9) * 150.0 / 720.0 + 0.5)));
  next.lineType = Gs().lineType;
  next.join = HardcopyOption(10);
  next.cap = HardcopyOption(11);
  if (next == s.style) return;
  if (s.style.red != -1) Write("</g>");
  s.style = next;
  s.styleHex = Hex(next.red, next.green, next.blue);
  Write("<g style=\"fill:none;stroke:#" + s.styleHex + ";stroke-dasharray:" +
        std::string(Word(kDashes, next.lineType)) + ";stroke-width:" + std::to_string(next.width) +
        ";stroke-linejoin:" + std::string(Word(kJoins, next.join)) +
        ";stroke-linecap:" + std::string(Word(kCaps, next.cap)) + "\">");
}

void Fill(DriverOperation op) {
  DriverParameters& dp = DriverParams();
  const GraphicsState& gs = Gs();
  const int style = gs.fillStyle;
  if (dp.P2 == -1) {
    if (style > 2) Write("</g>");
    return;
  }
  dp.pageDirty = -1;
  if (style <= 2) {
    if (op == DriverOperation::EllipseHalftone)
      Write("<ellipse cx=\"" + SvgX(dp.X[0]) + "\" cy=\"" + SvgY(dp.Y[0]) + "\" rx=\"" +
            SvgNumber(dp.factorX * dp.X[1]) + "\" ry=\"" + SvgNumber(dp.factorY * dp.Y[1]) + "\"/>");
    return;
  }
  int r, g, b;
  StateColourRgb(true, r, g, b);
  if (style == kFillHalftone) {
    int br, bg, bb;
    StateColourRgb(false, br, bg, bb);
    r = (r + br) / 2;
    g = (g + bg) / 2;
    b = (b + bb) / 2;
  }
  Invert(r, g, b);
  const SvgState& s = St();
  std::string group = "<g style=\"stroke:none;fill:#" + Hex(r, g, b);
  if (s.clipActive) group += ";clip-path:url(#clip" + std::to_string(s.clipNumber) + ")";
  Write(group + "\">");
  const auto& X = dp.X;
  const auto& Y = dp.Y;
  switch (op) {
    case DriverOperation::EllipseHalftone:
      Write("<ellipse cx=\"" + SvgX(X[0]) + "\" cy=\"" + SvgY(Y[0]) + "\" rx=\"" +
            SvgNumber(dp.factorX * X[1]) + "\" ry=\"" + SvgNumber(dp.factorY * Y[1]) + "\"/>");
      break;
    case DriverOperation::TrapeziumHalftone:
      Polygon({{X[0], Y[0]}, {X[1], Y[1]}, {X[2], Y[2]}, {X[3], Y[3]}});
      break;
    case DriverOperation::RectangleHalftone:
      Polygon({{X[0], Y[0]}, {X[1], Y[0]}, {X[1], Y[1]}, {X[0], Y[1]}});
      break;
    case DriverOperation::TriangleHalftone:
      Polygon({{X[0], Y[0]}, {X[1], Y[1]}, {X[2], Y[2]}});
      break;
    case DriverOperation::PieHalftone:
      YYSVGPATH(op);
      break;
    case DriverOperation::PolygonHalftone:
      PointsElement("<polygon ");
      break;
    default:
      break;
  }
}

void Clip() {
  SvgState& s = St();
  const GraphicsState& gs = Gs();
  const DriverParameters& dp = DriverParams();
  s.clipActive = gs.areaFracX0 != 0 || gs.areaFracX1 != 1 || gs.areaFracY0 != 0 || gs.areaFracY1 != 1;
  if (!s.clipActive) return;
  ++s.clipNumber;
  const float e = Extent();
  const float top = (e - gs.clipY1) * dp.factorY, bottom = (e - gs.clipY0) * dp.factorY;
  Write("<defs><clipPath id=\"clip" + std::to_string(s.clipNumber) + "\"><rect width=\"" +
        SvgNumber(dp.factorX * gs.clipX1 - dp.factorX * gs.clipX0) + "\" height=\"" +
        SvgNumber(bottom - top) + "\" x=\"" + SvgNumber(dp.factorX * gs.clipX0) + "\" y=\"" +
        SvgNumber(top) + "\"/></clipPath></defs>");
}

void TextElement() {
  DriverParameters& dp = DriverParams();
  const TextAttributes& t = Gs().text;
  const SvgState& s = St();
  dp.pageDirty = -1;
  if (dp.KX[1] & 1) {
    std::string group = "<g style=\"fill:#" + s.styleHex + ";stroke:none;";
    const int family = t.deviceFace;
    if (family >= 1 && family <= 4)
      group += "font-family:" + std::string(kFamilies[static_cast<std::size_t>(family - 1)]);
    if (family != 4) {
      if (t.styleBits & 1) group += "font-weight:bold;";
      if (t.styleBits & 2) group += "font-style:italic;";
    }
    if (t.spacingMode != 1 && t.hJustify == 1) group += "text-anchor:middle;";
    if (t.spacingMode != 1 && t.hJustify == 2) group += "text-anchor:end;";
    const std::size_t mode = static_cast<std::size_t>(std::clamp(t.spacingMode, 0, 2));
    group += "font-size:" +
             SvgNumber(t.charWidth * t.areaWidthPixels * kSizeFactor[mode] * dp.factorX) + "\">";
    Write(group);
  }
  float x = dp.X[0], y = dp.Y[0];
  if (t.spacingMode != 1 && t.hJustify == 1) {
    x = (dp.X[0] + dp.X[2]) / 2;
    y = (dp.Y[0] + dp.Y[2]) / 2;
  } else if (t.spacingMode != 1 && t.hJustify == 2) {
    x = dp.X[2];
    y = dp.Y[2];
  }
  const float h = t.charHeight * t.areaHeightPixels;
  x += 0.2f * h * t.sinAOverQ;
  y -= 0.2f * h * t.cosA;
  std::string record = "<text transform=\"translate(" + ListPoint(x, y) + ")";
  if (t.angle != 0) record += "rotate(" + ListNumber(-t.angle) + ")";
  const int n = std::clamp(dp.KX[0], 0, static_cast<int>(dp.text.size()));
  record += "\">" + SvgEscapedText(std::string_view(dp.text).substr(0, static_cast<std::size_t>(n))) +
            "</text>";
  Write(record);
  if (dp.KX[1] & 2) Write("</g>");
}

void Begin() {
  DriverParameters& dp = DriverParams();
  const GraphicsState& gs = Gs();
  dp.factorX = static_cast<float>(HardcopyOption(1)) / std::max(1.0f, gs.extentX);
  dp.factorY = static_cast<float>(HardcopyOption(2)) / Extent();
  if (dp.P2 <= 0) return;
  if (!OpenPlotOutput()) return;
  Write("<?xml version=\"1.0\"?>");
  Write("<!DOCTYPE svg SYSTEM \"\">");
  Write("<svg width=\"" + std::to_string(HardcopyOption(1)) + "\" height=\"" +
        std::to_string(HardcopyOption(2)) + "\" xmlns=\"http://www.w3.org/2000/svg\">");
  St() = SvgState{};
}

SvgDriver& TheDriver() {
  static SvgDriver d;
  return d;
}

// The Unicode points of Windows-1252 for 128-159; 0 where it defines none.
constexpr std::array<int, 32> kWindows1252{
    8364, 0,    8218, 402,  8222, 8230, 8224, 8225, 710,  8240, 352,  8249, 338,  0,    381,  0,
    0,    8216, 8217, 8220, 8221, 8226, 8211, 8212, 732,  8482, 353,  8250, 339,  0,    382,  376};

}  // namespace

void YYSVGNUM(float value, std::string& text, int& first, int& last) {
  static const FixedField f82("(F8.2)");
  text = f82(value);
  std::string_view v = TrimBlanks(text);
  if (v.empty()) {
    first = 1;
    last = 0;
    return;
  }
  first = static_cast<int>(v.data() - text.data()) + 1;
  last = first + static_cast<int>(v.size()) - 1;
  if (v.size() >= 3 && v.substr(v.size() - 3) == ".00")
    last -= 2;
  else if (v.back() == '0')
    last -= 1;
}

std::string SvgNumber(float value) {
  // The common case, a number that fits its eight characters, written
  // straight from its two-decimal digits (the same digits the "(F8.2)"
  // field holds); the rest (stars, a dropped leading zero) by the field.
  const double a = std::fabs(static_cast<double>(value));
  if (std::isfinite(a) && a < 1e5) {
    char buffer[32];
    const auto r = std::to_chars(buffer + 1, buffer + sizeof buffer, a, std::chars_format::fixed, 2);
    char* begin = buffer + 1;
    char* end = r.ptr;
    bool allZero = true;
    for (const char* c = begin; c < end; ++c) allZero = allZero && (*c == '0' || *c == '.');
    if (std::signbit(value) && !allZero) *--begin = '-';
    if (end - begin <= 8) {
      if (end[-1] == '0') end -= end[-2] == '0' ? 2 : 1;  // "12." for 12.00, "12.5" for 12.50
      return std::string(begin, end);
    }
  }
  std::string text;
  int first = 0, last = 0;
  YYSVGNUM(value, text, first, last);
  return text.substr(static_cast<std::size_t>(first - 1), static_cast<std::size_t>(last - first + 1));
}

std::string SvgEscapedText(std::string_view text, std::size_t limit) {
  std::string out;
  for (char ch : text) {
    const int c = static_cast<unsigned char>(ch);
    std::string piece;
    if (c == '&') {
      piece = "&#38;";
    } else if (c == '<') {
      piece = "&#60;";
    } else if (c < 32 && c != '\t') {
      continue;  // not allowed in an XML document
    } else if (c >= 128 && c <= 160) {
      const int code = c < 160 ? kWindows1252[static_cast<std::size_t>(c - 128)] : 160;
      piece = "&#" + std::to_string(code != 0 ? code : c) + ";";
    } else if (c >= 161) {
      piece = "&#" + std::to_string(c) + ";";
    } else {
      piece.assign(1, ch);
    }
    if (out.size() + piece.size() > limit) break;
    out += piece;
  }
  return out;
}

void YYSVGPATH(DriverOperation op) {
  DriverParameters& dp = DriverParams();
  const GraphicsState& gs = Gs();
  dp.pageDirty = -1;
  const float cx = dp.X[0], cy = dp.Y[0], rx = dp.X[1], ry = dp.Y[1];
  const float a = dp.X[2], b = dp.Y[2];
  const std::string start = PointText(cx + rx * std::cos(a), cy + ry * std::sin(a));
  const std::string end = PointText(cx + rx * std::cos(b), cy + ry * std::sin(b));
  std::string record = "<path d=\"M " + start + " A " + SvgNumber(dp.factorX * rx) + "," +
                       SvgNumber(dp.factorY * ry) + " 0 " + (b - a >= 3.1415927f ? "1" : "0") +
                       " 0 " + end;
  if (op == DriverOperation::PieHalftone || gs.fillStyle != 0 || gs.hatchDensity <= 2)
    record += " L " + PointText(cx, cy) + " L " + start;
  record += "\"/>";
  Write(record.substr(0, std::min(record.size(), kRecordLength - 1)));
}

void SvgDriver::Select() {
  DriverParameters& dp = DriverParams();
  if (dp.P1 == -999) {
    dp.P1 = kDriverSvg;
    return;
  }
  HardcopyOptionsReset();
  HardcopyOptionStore(1, 640);
  HardcopyOptionStore(2, 480);
  HardcopyOptionStore(3, 0);
  HardcopyOptionStore(4, 0);
  HardcopyOptionStore(5, 0);
  dp.deviceTextMaximum[1] = 1.7e38f;
  dp.spoolCapable = 0;
  dp.resolutionX = dp.resolutionY = 72;
  dp.deviceColours = 256;
  DescribeTextFileDriver(kDriverSvg, "00000111111111100010011011110", "parvplot.svg");
}

void SvgDriver::Output(DriverOperation op) {
  if (op == DriverOperation::BeginPicture) {
    Begin();
  } else if (op == DriverOperation::EndOutput) {
    // Closes the style group when one is open, then the root.
    Write(St().style.red != -1 ? "</g></svg>" : "</svg>");
    PlotFileClose(2);
  }
}

void SvgDriver::Draw(DriverOperation op) {
  DriverParameters& dp = DriverParams();
  if (IsHalftoneFill(op)) {
    Fill(op);
    return;
  }
  switch (op) {
    case DriverOperation::Line:
      dp.pageDirty = -1;
      Write("<line x1=\"" + SvgX(dp.X[0]) + "\" y1=\"" + SvgY(dp.Y[0]) + "\" x2=\"" + SvgX(dp.X[1]) +
            "\" y2=\"" + SvgY(dp.Y[1]) + "\"/>");
      break;
    case DriverOperation::Point: {
      dp.pageDirty = -1;
      const std::string x = SvgX(dp.X[0]), y = SvgY(dp.Y[0]);
      Write("<line x1=\"" + x + "\" y1=\"" + y + "\" x2=\"" + x + "\" y2=\"" + y + "\" />");
      break;
    }
    case DriverOperation::Polyline:
      dp.pageDirty = -1;
      PointsElement("<polyline ");
      break;
    case DriverOperation::Arc:
      YYSVGPATH(op);
      break;
    default:
      break;
  }
}

void SvgDriver::Attribute(DriverOperation op) {
  switch (op) {
    case DriverOperation::Colour:
    case DriverOperation::LineType:
    case DriverOperation::LineWidth:
    case DriverOperation::LineJoin:
    case DriverOperation::LineCap:
      Style();
      break;
    case DriverOperation::ClipRectangle:
      Clip();
      break;
    default:
      break;
  }
}

void SvgDriver::Text(DriverOperation op) {
  if (op == DriverOperation::Text) TextElement();
}

void XXSVG(DriverOperation& op) {
  DispatchDriverOperation(TheDriver(), op);
}

}  // namespace tk
