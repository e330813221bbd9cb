// The PostScript and EPS driver.
#include "toolkit/hardcopy/PostScriptDriver.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "toolkit/core/Errors.h"
#include "toolkit/graphics/Colours.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/ImageLoad.h"
#include "toolkit/hardcopy/HardcopyOptions.h"
#include "toolkit/hardcopy/HpglRecords.h"
#include "toolkit/hardcopy/PlotFile.h"
#include "toolkit/hardcopy/TextFileOutput.h"

namespace tk {
namespace {

using Rgb = std::array<float, 3>;

struct PsState {
  int pathCount = 0;
  Rgb current{0, 0, 0};
  Rgb written{-1, -1, -1};
  Rgb lineColour{0, 0, 0};  // the PostScript colour of the last colour operation
  int writtenLineType = 0;
  int writtenLineWidth = 0;
  bool fontPending = true;
  int page = 1;
};

PsState& St() {
  static PsState s;
  return s;
}

constexpr std::array<std::string_view, 8> kDashes{
    "[] 0",          "[1 5] 4", "[6 6] 3",         "[1 3 4 4] 0", "[1 2 1 2 4 2] 0",
    "[5 2 3 2] 2", "[3 3] 1", "[5 2 3 2 3 2] 0"};
constexpr std::array<std::string_view, 3> kFamilies{"/Courier", "/Helvetica", "/Times"};
constexpr std::array<std::array<std::string_view, 4>, 3> kFontSources{{
    {"/Courier", "/Courier-Bold", "/Courier-Oblique", "/Courier-BoldOblique"},
    {"/Helvetica", "/Helvetica-Bold", "/Helvetica-Oblique", "/Helvetica-BoldOblique"},
    {"/Times-Roman", "/Times-Bold", "/Times-Italic", "/Times-BoldItalic"},
}};
constexpr std::array<float, 3> kWidthFactor{1.65f, 1.33f, 1.72f};
constexpr std::array<float, 3> kHeightFactor{1.0f, 0.82f, 0.82f};

bool Eps() {
  return HardcopyOption(22) != 0;
}

const FixedField& F92() {
  static const FixedField f("(F9.2)");
  return f;
}

// A numeric field that ends ".00" loses its last zero ("90.0", "1.0").
void TidyField(std::string& field) {
  if (field.size() >= 3 && field.compare(field.size() - 3, 3, ".00") == 0) field.back() = ' ';
}

void WriteRecord(std::string_view record) {
  if (DriverParams().recordLeadIn == 1) PlotFileWrite(2, " ", 1);
  PlotFileWriteLine(2, record, static_cast<int>(record.size()));
}

void WriteNumbers(std::initializer_list<float> values, std::string_view text) {
  std::string record;
  record.reserve(64);
  for (float v : values) {
    std::string f = F92()(v);
    TidyField(f);
    record += f;
  }
  record += ' ';
  record += text;
  WriteRecord(SqueezeBlanks(record));
}

Rgb PsColourOf(int colour) {
  Rgb c;
  YYPSRGB(colour, c[0], c[1], c[2]);
  return c;
}

Rgb InvertPs(Rgb c) {
  const int mode = HardcopyOption(6);
  const bool dark = c[0] < 0.04f && c[1] < 0.04f && c[2] < 0.04f;
  const bool light = c[0] > 0.96f && c[1] > 0.96f && c[2] > 0.96f;
  if (mode == 1 || (mode == 2 && (dark || light)))
    for (float& v : c) v = 1.0f - v;
  return c;
}

// The colour of the state's foreground or background, -1 (black) for the
// foreground under option 7 when it is not colour 0.
Rgb StatePsColour(bool foreground) {
  if (foreground && HardcopyOption(7) != 0 && Gs().current.number != 0) return PsColourOf(-1);
  int r, g, b;
  StateColourRgb(foreground, r, g, b);
  return InvertPs({r / 255.0f, g / 255.0f, b / 255.0f});
}

void WriteColour() {
  const Rgb& c = St().current;
  YYPSNUM3(c[0], c[1], c[2], "g");
}

int PathLimit() {
  return HardcopyOption(16);
}

void Move(float x, float y) {
  YYPSXY(x, y, "m");
}
void LineTo(float x, float y) {
  YYPSXY(x, y, "l");
}

// One line element of a lazy path.
void Segment(float x1, float y1, float x2, float y2) {
  PsState& s = St();
  DriverParameters& dp = DriverParams();
  if (s.pathCount >= PathLimit()) YYPSFLUSH(1);
  if (s.pathCount == 0 || dp.penLastX != x1 || dp.penLastY != y1) Move(x1, y1);
  LineTo(x2, y2);
  ++s.pathCount;
  dp.penLastX = x2;
  dp.penLastY = y2;
}

void Polyline() {
  PsState& s = St();
  DriverParameters& dp = DriverParams();
  const int n = std::clamp(dp.P1, 0, kDriverMaxPoints);
  if (n == 0) return;
  dp.pageDirty = -1;
  if (s.pathCount >= PathLimit()) YYPSFLUSH(1);
  if (s.pathCount == 0 || dp.penLastX != dp.pointX[0] || dp.penLastY != dp.pointY[0])
    Move(dp.pointX[0], dp.pointY[0]);
  for (int i = 1; i < n; ++i) {
    if (s.pathCount >= PathLimit()) {
      YYPSFLUSH(1);
      Move(dp.pointX[i - 1], dp.pointY[i - 1]);
    }
    LineTo(dp.pointX[i], dp.pointY[i]);
    ++s.pathCount;
  }
  dp.penLastX = dp.pointX[n - 1];
  dp.penLastY = dp.pointY[n - 1];
}

// A closed path through the points, filled.
void FillPath(std::initializer_list<std::pair<float, float>> points) {
  bool first = true;
  for (const auto& [x, y] : points) {
    if (first)
      Move(x, y);
    else
      LineTo(x, y);
    first = false;
  }
  St().pathCount = static_cast<int>(points.size());
  YYPSFLUSH(2);
}

// "r g b g" inside a gsave group: grestore brings the written colour back.
void ColourInsideGroup() {
  const PsState& s = St();
  if (s.current != s.written) WriteColour();
}

float AreaRatio() {
  const GraphicsState& gs = Gs();
  return gs.areaWidth != 0 ? gs.areaHeight / gs.areaWidth : 1.0f;
}

void ScaleGroup(float r) {
  static const FixedField f84("(F8.4)");
  YYPSREC("gsave 1.0" + f84(r) + " scale newpath");
}

void Ellipse() {
  const DriverParameters& dp = DriverParams();
  const float r = AreaRatio();
  ScaleGroup(r);
  YYPSNUM3(dp.factorX * dp.X[0], dp.factorY * dp.Y[0] / r, dp.factorX * dp.X[1], "90. 450. arc");
  ColourInsideGroup();
  const int style = Gs().fillStyle;
  YYPSREC(style == kFillHalftone || style == kFillSolid ? "cf" : "s");
  YYPSREC("grestore");
}

void Arc(DriverOperation op) {
  const DriverParameters& dp = DriverParams();
  const GraphicsState& gs = Gs();
  const float r = AreaRatio();
  const bool sector = op == DriverOperation::PieHalftone || gs.fillStyle != 0 || gs.hatchDensity <= 2;
  ScaleGroup(r);
  if (sector) YYPSXY(dp.X[0], dp.Y[0] / r, "m");
  static const FixedField f81("(F8.1)");
  const std::string angles =
      f81(dp.X[2] / 0.017453292f) + f81(dp.Y[2] / 0.017453292f) + " arc";
  YYPSNUM3(dp.factorX * dp.X[0], dp.factorY * dp.Y[0] / r, dp.factorX * dp.X[1], angles);
  ColourInsideGroup();
  YYPSREC(op == DriverOperation::PieHalftone ? "cf" : (sector ? "cs" : "s"));
  YYPSREC("grestore");
}

void Fill(DriverOperation op) {
  PsState& s = St();
  DriverParameters& dp = DriverParams();
  const GraphicsState& gs = Gs();
  const int style = gs.fillStyle;
  if (dp.P2 == -1) {
    if (style > 0) YYPSFLUSH(1);
    s.current = s.lineColour;
    return;
  }
  dp.pageDirty = -1;
  if (style > 2 || (style > 0 && HardcopyOption(7) != 0)) {
    YYPSFLUSH(1);
    if (style == kFillHalftone) {
      const Rgb fg = StatePsColour(true), bg = StatePsColour(false);
      for (int i = 0; i < 3; ++i) s.current[static_cast<std::size_t>(i)] = (fg[i] + bg[i]) / 2;
    } else {
      s.current = StatePsColour(true);
    }
  }
  if (style <= 2 && op != DriverOperation::EllipseHalftone) return;
  const auto& X = dp.X;
  const auto& Y = dp.Y;
  switch (op) {
    case DriverOperation::EllipseHalftone:
      Ellipse();
      break;
    case DriverOperation::TrapeziumHalftone:
      FillPath({{X[0], Y[0]}, {X[1], Y[1]}, {X[2], Y[2]}, {X[3], Y[3]}});
      break;
    case DriverOperation::RectangleHalftone: {
      float x1 = X[0], y1 = Y[0], x2 = X[1], y2 = Y[1];
      if (Eps()) {
        x1 = std::max(x1, gs.clipX0);
        y1 = std::max(y1, gs.clipY0);
        x2 = std::min(x2, gs.clipX1);
        y2 = std::min(y2, gs.clipY1);
      }
      FillPath({{x1, y1}, {x2, y1}, {x2, y2}, {x1, y2}});
      break;
    }
    case DriverOperation::TriangleHalftone:
      FillPath({{X[0], Y[0]}, {X[1], Y[1]}, {X[2], Y[2]}});
      break;
    case DriverOperation::PieHalftone:
      Arc(op);
      break;
    case DriverOperation::PolygonHalftone: {
      const int n = std::clamp(dp.P1, 0, kDriverMaxPoints);
      if (n == 0) break;
      Move(dp.pointX[0], dp.pointY[0]);
      for (int i = 1; i < n; ++i) LineTo(dp.pointX[i], dp.pointY[i]);
      s.pathCount = n;
      YYPSFLUSH(2);
      break;
    }
    default:
      break;
  }
}

void WriteHeader() {
  const bool eps = Eps();
  const bool landscape = HardcopyOption(5) != 0;
  const int w = HardcopyOption(1), h = HardcopyOption(2);
  YYPSREC(eps ? "%!PS-Adobe-3.0 EPSF-3.0" : "%!PS-Adobe-3.0");
  if (eps) {
    static const FixedField i5("(I5)");
    YYPSREC("%%BoundingBox:" + i5.Integer(0) + i5.Integer(0) + i5.Integer(landscape ? h : w) +
            i5.Integer(landscape ? w : h));
  }
  if (DriverParams().KX[0] != 0) {
    std::string title = HardcopyTitle();
    while (!title.empty() && title.back() == ' ') title.pop_back();
    // A line end inside the title would end the comment and run the rest.
    for (char& c : title)
      if (static_cast<unsigned char>(c) < 32) c = ' ';
    YYPSREC("%%Title: " + title);
  }
  YYPSREC("%%Creator: J.Q.X. PostScript driver");
  YYPSREC("%%EndComments");
  YYPSREC("/l {lineto} def/m {moveto} def/g {setrgbcolor} def/w {setlinewidth} def");
  YYPSREC("/d {setdash} def/cf {closepath fill} def/s {stroke} def/ff {findfont} def");
  YYPSREC("/ms {makefont setfont} def/ro {rotate} def/cs {closepath stroke} def");
  YYPSREC("/lsh {show} def/rsh {dup stringwidth pop 0 exch sub 0 rmoveto show} def");
  YYPSREC("/csh {dup stringwidth pop 2 div 0 exch sub 0 rmoveto show} def");
  YYPSREC("%%EndProlog");
  for (std::size_t f = 0; f < kFamilies.size(); ++f)
    for (std::size_t v = 0; v < 4; ++v) {
      YYPSREC(std::string(kFontSources[f][v]) + " ff");
      YYPSREC("dup length dict begin");
      YYPSREC("{1 index /FID ne {def} {pop pop} ifelse} forall");
      YYPSREC("/Encoding ISOLatin1Encoding def");
      YYPSREC("currentdict end " + std::string(kFamilies[f]) + "-" + std::to_string(v + 1) +
              " exch definefont pop");
    }
  YYPSREC("/Symbol ff");
  YYPSREC("dup length dict begin");
  YYPSREC("{1 index /FID ne {def} {pop pop} ifelse} forall");
  YYPSREC("currentdict end /Symbol exch definefont pop");
  if (landscape) YYPSNUM1(90.0f, "ro");
  float x = 0, y = 0;
  if (eps) {
    y = landscape ? -static_cast<float>(h) : 0.0f;
  } else {
    x = static_cast<float>(HardcopyOption(3));
    y = static_cast<float>(HardcopyOption(4) - (landscape ? 540 : 0));
  }
  static const FixedField f81("(F8.1)");
  YYPSREC(f81(x) + f81(y) + " translate");
  YYPSREC("newpath");
  YYPSREC("%%Page: 1 1");
}

void Begin() {
  DriverParameters& dp = DriverParams();
  dp.factorX = static_cast<float>(HardcopyOption(1)) / DrawableWidth();
  dp.factorY = static_cast<float>(HardcopyOption(2)) / DrawableHeight();
  if (dp.P2 <= 0) return;
  if (!OpenPlotOutput()) return;
  PsState& s = St();
  dp.recordLeadIn = HardcopyOption(17) != 0 ? 1 : 2;
  s = PsState{};
  WriteHeader();
}

void EndPage() {
  DriverParameters& dp = DriverParams();
  dp.pageDirty = 0;
  YYPSFLUSH(1);
  if (!Eps()) {
    static const FixedField i3("(I3)");
    YYPSREC("/#copies" + i3.Integer(std::min(HardcopyOption(8), 999)) + " def");
    YYPSREC("gsave showpage grestore");
  }
  if (dp.P1 == 0) {
    static const FixedField i4("(I4)");
    const int n = ++St().page;
    YYPSREC("%%Page:" + i4.Integer(n) + i4.Integer(n));
  }
}

void EndOutput() {
  YYPSREC("%%EOF");
  if (!Eps()) {
    YYPSREC("initgraphics");
    if (HardcopyOption(15) != 0) PlotFileWrite(2, std::string_view(" \x04", 2), 2);
  }
  PlotFileClose(2);
}

void Clip() {
  if (Eps()) return;
  const GraphicsState& gs = Gs();
  YYPSFLUSH(1);
  YYPSREC("initclip");
  const float l = std::trunc(gs.clipX0), b = std::trunc(gs.clipY0);
  const float r = std::trunc(gs.clipX1 + 0.99f), t = std::trunc(gs.clipY1 + 0.99f);
  Move(l, b);
  LineTo(r, b);
  LineTo(r, t);
  LineTo(l, t);
  YYPSREC("clip");
  YYPSREC("newpath");
}

void ShowText() {
  PsState& s = St();
  DriverParameters& dp = DriverParams();
  const GraphicsState& gs = Gs();
  const TextAttributes& t = gs.text;
  dp.pageDirty = -1;
  YYPSFLUSH(3);
  const std::size_t mode = static_cast<std::size_t>(std::clamp(t.spacingMode, 0, 2));
  const float cellW = t.areaWidthPixels * t.charWidth;
  const float cellH = t.areaHeightPixels * t.charHeight;
  if (s.fontPending) {
    const float width = std::clamp(cellW * dp.factorX, 1.0f, 999.0f);
    const float height = std::clamp(cellH * dp.factorY, 1.0f, 999.0f);
    static const FixedField f51("(F5.1)");
    // Held within the field: asterisks there would be names the printer
    // cannot find, and the job would stop.
    auto fits = [](float v) { return std::min(v, 999.9f); };
    const std::string size = " [" + f51(fits(width * kWidthFactor[mode])) + " 0 0 " +
                             f51(fits(height * kHeightFactor[mode])) + " 0 0] ms";
    const int variant = (t.styleBits % 4) + 1;
    switch (t.deviceFace) {
      case 1:
      case 2:
      case 3:
        YYPSREC(std::string(kFamilies[static_cast<std::size_t>(t.deviceFace - 1)]) + "-" +
                std::to_string(variant) + " ff" + size);
        break;
      case 4:
        YYPSREC("/Symbol ff" + size);
        break;
      default:
        break;
    }
    s.fontPending = false;
  }
  const float ux = cellH * t.sinAOverQ, uy = cellH * t.cosA;
  float x = dp.X[0] + 0.27f * ux, y = dp.Y[0] - 0.27f * uy;
  std::string_view show = "lsh";
  if (t.spacingMode != 1 && t.hJustify != 0) {
    const float mx = x + (dp.X[2] - dp.X[0]), my = y + (dp.Y[2] - dp.Y[0]);
    if (t.hJustify == 1) {
      show = "csh";
      x = (x + mx) / 2;
      y = (y + my) / 2;
    } else {
      show = "rsh";
      x = mx;
      y = my;
    }
  }
  YYPSXY(x, y, "m");
  const float a = std::trunc(t.angle);
  if (t.angle != 0) YYPSNUM1(a, "ro");
  const int n = std::clamp(dp.KX[0], 0, static_cast<int>(dp.text.size()));
  YYPSRAW("(" + PostScriptString(std::string_view(dp.text).substr(0, static_cast<std::size_t>(n))) +
          ") " + std::string(show));
  if (t.angle != 0) YYPSNUM1(360.0f - a, "ro");
  dp.penLastX = dp.penLastY = -9999.0f;
}

// The image file named in the text buffer, KX(2) x KY(2) pixels, drawn into
// the clip rectangle as a colour image with hexadecimal data.
void Image() {
  DriverParameters& dp = DriverParams();
  const GraphicsState& gs = Gs();
  YYPSFLUSH(1);
  const std::int64_t w = dp.KX[1], h = dp.KY[1];
  // Sizes that cannot be an image here are refused before any memory is taken.
  if (w <= 0 || h <= 0 || w * h > (std::int64_t{1} << 26)) {
    dp.P1 = 0;
    dp.P2 = kImageUnsupported;
    return;
  }
  std::vector<std::int32_t> px(static_cast<std::size_t>(w * h));
  const ToolkitErrorState kept = ErrorState();
  ErrorState().lastError = 0;
  ErrorReportModeSet(kReportSilent);
  IGrLoadImageData(dp.text, static_cast<int>(dp.text.size()), px);
  ErrorReportModeSet(kept.reportMode);
  if (ErrorState().lastError != 0) {
    dp.P2 = ErrorState().lastError;
    dp.P1 = ErrorState().systemError;
    return;
  }
  ErrorState().lastError = kept.lastError;
  dp.pageDirty = -1;
  dp.P2 = 0;
  YYPSREC("gsave");
  YYPSREC("/picstr " + std::to_string(3 * w) + " string def");
  YYPSXY(std::trunc(gs.clipX0), std::trunc(gs.clipY0), "translate");
  YYPSXY(gs.clipX1 - gs.clipX0, gs.clipY1 - gs.clipY0, "scale");
  const std::string ws = std::to_string(w), hs = std::to_string(h);
  YYPSREC(ws + " " + hs + " 8 [" + ws + " 0 0 -" + hs + " 0 " + hs + "]");
  YYPSREC("{currentfile picstr readhexstring pop}");
  YYPSREC("false 3");
  YYPSREC("colorimage");
  std::string record, hex;
  for (const std::int32_t rgb : px) {
    int r = 0, g = 0, b = 0;
    RgbSplit(rgb, r, g, b);
    YYHEXRGB(r, g, b, hex);
    record += hex;
    if (record.size() == 240) {
      YYPSRAW(record);
      record.clear();
    }
  }
  if (!record.empty()) YYPSRAW(record);
  YYPSREC("grestore");
}

PostScriptDriver& TheDriver() {
  static PostScriptDriver d;
  return d;
}

}  // namespace

void YYPSNUM3(float a, float b, float c, std::string_view text) {
  WriteNumbers({a, b, c}, text);
}

void YYPSXY(float x, float y, std::string_view text) {
  const DriverParameters& dp = DriverParams();
  WriteNumbers({x * dp.factorX, y * dp.factorY}, text);
}

void YYPSNUM1(float a, std::string_view text) {
  WriteNumbers({a}, text);
}

void YYPSREC(std::string_view text) {
  WriteRecord(SqueezeBlanks(text.substr(0, std::min<std::size_t>(text.size(), 255))));
}

void YYPSRAW(std::string_view text) {
  WriteRecord(text.substr(0, std::min<std::size_t>(text.size(), 255)));
}

void YYPSFLUSH(int mode) {
  PsState& s = St();
  if (s.pathCount == 0 && mode != 3) return;
  if (s.current != s.written) {
    s.written = s.current;
    WriteColour();
  }
  if (mode == 3) return;
  YYPSREC(mode == 1 ? "s" : "cf");
  s.pathCount = 0;
}

void YYPSRGB(int colour, float& red, float& green, float& blue) {
  Rgb c{0, 0, 0};
  if (colour != -1) {
    int r, g, b;
    ColourToRgb(colour, r, g, b);
    c = {r / 255.0f, g / 255.0f, b / 255.0f};
  }
  c = InvertPs(c);
  red = c[0];
  green = c[1];
  blue = c[2];
}

void YYHEXRGB(int red, int green, int blue, std::string& out) {
  static constexpr char kDigits[] = "0123456789abcdef";
  out.resize(6);
  int i = 0;
  for (int v : {red, green, blue}) {
    v = std::clamp(v, 0, 255);
    out[static_cast<std::size_t>(i++)] = kDigits[v / 16];
    out[static_cast<std::size_t>(i++)] = kDigits[v % 16];
  }
}

std::string PostScriptString(std::string_view text, std::size_t limit) {
  std::string out;
  out.reserve(std::min(limit, 2 * text.size()));
  for (char c : text) {
    const bool escape = c == '(' || c == ')' || c == '\\';
    if (out.size() + (escape ? 2 : 1) > limit) break;
    if (escape) out.push_back('\\');
    out.push_back(c);
  }
  return out;
}

void PostScriptDriver::Select() {
  DriverParameters& dp = DriverParams();
  if (dp.P1 == -999) {
    dp.P1 = kDriverPostScript;
    return;
  }
  HardcopyOptionsReset();
  HardcopyOptionStore(22, 0);
  HardcopyOptionStore(1, 756);
  HardcopyOptionStore(2, 540);
  HardcopyOptionStore(3, 42);
  HardcopyOptionStore(4, -20);
  HardcopyOptionStore(5, 1);
  HardcopyOptionStore(15, 1);
  HardcopyOptionStore(16, 255);
  dp.deviceColours = 256;
  dp.spoolCapable = 1;
  dp.resolutionX = dp.resolutionY = 600;
  dp.deviceTextMaximum[1] = 1.7e38f;
  DescribeTextFileDriver(kDriverPostScript, "00000111111111100010011011110", "parvplot.ps");
}

void PostScriptDriver::Output(DriverOperation op) {
  switch (op) {
    case DriverOperation::BeginPicture:
      Begin();
      break;
    case DriverOperation::EndOutput:
      EndOutput();
      break;
    case DriverOperation::EndPage:
      EndPage();
      break;
    default:
      break;
  }
}

void PostScriptDriver::Draw(DriverOperation op) {
  DriverParameters& dp = DriverParams();
  if (IsHalftoneFill(op)) {
    Fill(op);
    return;
  }
  switch (op) {
    case DriverOperation::Line:
      dp.pageDirty = -1;
      Segment(dp.X[0], dp.Y[0], dp.X[1], dp.Y[1]);
      break;
    case DriverOperation::Point:
      dp.pageDirty = -1;
      Segment(dp.X[0], dp.Y[0], dp.X[0], dp.Y[0]);
      break;
    case DriverOperation::Polyline:
      Polyline();
      break;
    case DriverOperation::Arc:
      dp.pageDirty = -1;
      Arc(op);
      break;
    case DriverOperation::Image:
      Image();
      break;
    default:
      break;
  }
}

void PostScriptDriver::Attribute(DriverOperation op) {
  PsState& s = St();
  switch (op) {
    case DriverOperation::Colour:
    case DriverOperation::PaletteReload: {
      const Rgb c = StatePsColour(true);
      s.lineColour = c;
      if (c != s.current) {
        YYPSFLUSH(1);
        s.current = c;
      }
      break;
    }
    case DriverOperation::ClipRectangle:
      Clip();
      break;
    case DriverOperation::LineType: {
      const int type = Gs().lineType;
      if (type != s.writtenLineType) {
        YYPSFLUSH(1);
        YYPSREC(std::string(kDashes[static_cast<std::size_t>(type >= 0 && type <= 7 ? type : 0)]) + " d");
        s.writtenLineType = type;
      }
      break;
    }
    case DriverOperation::LineWidth: {
      const int width = HardcopyOption(9);
      if (width != s.writtenLineWidth) {
        YYPSFLUSH(1);
        YYPSNUM1(static_cast<float>(width) / 10.0f, "w");
        s.writtenLineWidth = width;
      }
      break;
    }
    case DriverOperation::LineJoin:
      YYPSFLUSH(1);
      YYPSREC(std::to_string(HardcopyOption(10)) + " setlinejoin");
      if (HardcopyOption(10) == 0) YYPSNUM1(5.0f, "setmiterlimit");
      break;
    case DriverOperation::LineCap:
      YYPSFLUSH(1);
      YYPSREC(std::to_string(HardcopyOption(11)) + " setlinecap");
      break;
    default:
      break;
  }
}

void PostScriptDriver::Text(DriverOperation op) {
  if (op == DriverOperation::CharacterSize) St().fontPending = true;
  if (op == DriverOperation::Text) ShowText();
}

void XXPSCR(DriverOperation& op) {
  DispatchDriverOperation(TheDriver(), op);
}

}  // namespace tk
