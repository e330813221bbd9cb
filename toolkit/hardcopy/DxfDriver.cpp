// The DXF driver.
#include "toolkit/hardcopy/DxfDriver.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "toolkit/graphics/Colours.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/hardcopy/HardcopyOptions.h"
#include "toolkit/hardcopy/HpglRecords.h"
#include "toolkit/hardcopy/PlotFile.h"
#include "toolkit/hardcopy/TextFileOutput.h"

namespace tk {
namespace {

struct DxfState {
  int colourNumber = 0;  // kept across selects and begins
  int cachedRgb = -1;
  int cachedNumber = 7;
  bool white = false;  // the current colour is white: the paper's
};

DxfState& St() {
  static DxfState s;
  return s;
}

// The DXF colours 1-255 as red, green, blue hexadecimal digits.
constexpr std::array<int, 255> kColourTable{
    0xff0000, 0xffff00, 0x00ff00, 0x00ffff, 0x0000ff, 0xff00ff, 0xffffff, 0x4c4c4c,
    0xa5a5a5, 0xff0000, 0xff7f7f, 0xa50000, 0xa55252, 0x7f0000, 0x7f3f3f, 0x4c0000,
    0x4c2626, 0x260000, 0x261313, 0xff3f00, 0xff9f7f, 0xa52900, 0xa56752, 0x7f1f00,
    0x7f4f3f, 0x4c1300, 0x4c2f26, 0x260900, 0x261713, 0xff7f00, 0xffbf7f, 0xb95200,
    0xa57c52, 0x7f3f00, 0x7f5f3f, 0x4c2600, 0x4c3926, 0x261300, 0x261c13, 0xffbf00,
    0xffdf7f, 0xa57c00, 0xa59152, 0x7f5f00, 0x7f6f3f, 0x4c3900, 0x4c4226, 0x261c00,
    0x262113, 0xffff00, 0xffff7f, 0xa5a500, 0xa5a552, 0x7f7f00, 0x7f7f3f, 0x4c4c00,
    0x4c4c26, 0x262600, 0x262613, 0xbfff00, 0xdfff7f, 0x7ca500, 0x91a552, 0x5f7f00,
    0x6f7f3f, 0x394c00, 0x424c26, 0x1c2600, 0x212613, 0x7fff00, 0xbfff7f, 0x52a548,
    0x7ca552, 0x3f7f00, 0x5f7f3f, 0x264c00, 0x394c26, 0x132600, 0x1c2613, 0x3fff00,
    0x9fff7f, 0x29a500, 0x67a552, 0x1f7f00, 0x4f7f3f, 0x134c00, 0x2f4c26, 0x092600,
    0x172613, 0x00ff00, 0x7fff7f, 0x00a500, 0x52a552, 0x007f00, 0x3f7f3f, 0x004c00,
    0x264c26, 0x002600, 0x132613, 0x00ff3f, 0x7fff9f, 0x00a529, 0x52a567, 0x007f1f,
    0x3f7f4f, 0x004c13, 0x264c2f, 0x002609, 0x132617, 0x00ff7f, 0x7fffbf, 0x00a552,
    0x52a57c, 0x007f3f, 0x3f7f5f, 0x004c26, 0x264c39, 0x002613, 0x13261c, 0x00ffbf,
    0x7fffdf, 0x00a57c, 0x52a591, 0x007f5f, 0x3f7f6f, 0x004c39, 0x264c42, 0x00261c,
    0x132621, 0x00ffff, 0x7fffff, 0x00a5a5, 0x52a5a5, 0x007f7f, 0x3f7f7f, 0x004c4c,
    0x264c4c, 0x002626, 0x132626, 0x00bfff, 0x7fdfff, 0x007ca5, 0x5291a5, 0x005f7f,
    0x3f6f7f, 0x00394c, 0x26424c, 0x001c26, 0x132126, 0x007fff, 0x7fbfff, 0x0052a5,
    0x527ca5, 0x003f7f, 0x3f5f7f, 0x00264c, 0x26394c, 0x001326, 0x131c26, 0x003fff,
    0x7f9fff, 0x0029a5, 0x5267a5, 0x001f7f, 0x3f4f7f, 0x00134c, 0x262f4c, 0x000926,
    0x131726, 0x0000ff, 0x7f7fff, 0x0000a5, 0x5252a5, 0x00007f, 0x3f3f7f, 0x00004c,
    0x26264c, 0x000026, 0x131326, 0x3f00ff, 0x9f7fff, 0x2900a5, 0x6752a5, 0x1f007f,
    0x4f3f7f, 0x13004c, 0x2f264c, 0x090026, 0x171326, 0x7f00ff, 0xbf7fff, 0x5200a5,
    0x7c52a5, 0x3f007f, 0x5f3f7f, 0x26004c, 0x39264c, 0x130026, 0x1c1326, 0xbf00ff,
    0xdf7fff, 0x7c00a5, 0x9152a5, 0x5f007f, 0x6f3f7f, 0x39004c, 0x42264c, 0x1c0026,
    0x211326, 0xff00ff, 0xff7fff, 0xa500a5, 0xa552a5, 0x7f007f, 0x7f3f7f, 0x4c004c,
    0x4c264c, 0x260026, 0x261326, 0xff00bf, 0xff7fdf, 0xa5007c, 0xa55291, 0x7f005f,
    0x7f3f6f, 0x4c0039, 0x4c2642, 0x26001c, 0x261321, 0xff007f, 0xff7fbf, 0xa50052,
    0xa5527c, 0x7f003f, 0x7f3f5f, 0x4c0026, 0x4c2639, 0x260013, 0x26131c, 0xff003f,
    0xff7f9f, 0xa50029, 0xa55267, 0x7f001f, 0x7f3f4f, 0x4c0013, 0x4c262f, 0x260009,
    0x261317, 0x545454, 0x767676, 0x989898, 0xbababa, 0xdcdcdc, 0xffffff,};

// Colour numbers for option 23 = 4, by palette colour number div 16.
constexpr std::array<int, 16> kMap16{8, 1, 9, 2, 2, 3, 11, 4, 12, 5, 13, 6, 14, 7, 15, 8};
constexpr std::array<float, 3> kTextHeightFactor{0.52f, 0.63f, 0.63f};

struct LineTypeRow {
  std::string_view name;
  std::string_view pattern;
  int repeats;
  std::string_view tail;
  std::string_view total;
  std::array<std::string_view, 6> elements;
  int count;
};

const std::array<LineTypeRow, 7> kLineTypes{{
    {"DOT", ".", 46, "", "0.25", {"0", "-0.25"}, 2},
    {"DASHED", "__ ", 15, " ", "0.75", {"0.5", "-0.25"}, 2},
    {"DASHDOT", "__ . ", 9, " ", "1", {"0.5", "-0.25", "0", "-0.25"}, 4},
    {"DIVIDE", "__ . . ", 6, "__  ", "1.25", {"0.5", "-0.25", "0", "-0.25", "0", "-0.25"}, 6},
    {"CENTER", "____ _ ", 6, "____", "2", {"1.25", "-0.25", "0.25", "-0.25"}, 4},
    {"HIDDEN", "_ ", 23, "", "0.25", {"0.12", "-0.12"}, 2},
    {"PHANTOM", "____ _ _ ", 5, "_", "2.5", {"1.25", "-0.25", "0.25", "-0.25", "0.25", "-0.25"}, 6},
}};

std::string_view LineTypeName(int type) {
  return type >= 1 && type <= 7 ? kLineTypes[static_cast<std::size_t>(type - 1)].name
                                : std::string_view{};
}

int Packed(int hex) {
  return ((hex >> 16) & 255) + ((hex >> 8) & 255) * 256 + (hex & 255) * 65536;
}

struct ColourPoint {
  float v = 0, a = 0, b = 0;
};

ColourPoint PointOf(int rgb) {
  float h = 0, s = 0, v = 0;
  RgbToHsv(rgb, h, s, v);
  float c = std::cos(h), sn = std::sin(h);
  if (!std::isfinite(c) || !std::isfinite(sn)) c = 1, sn = 0;
  return {v, s * v * c, s * v * sn};
}

void Record(std::string_view text) {
  PlotFileWriteLine(2, text, static_cast<int>(text.size()));
}

// A pair of the fixed tables, written as it stands.
void Pair(std::string_view code, std::string_view value) {
  YYDXFPAIR(code, value);
}

std::string FixedInches(int points) {
  static const FixedField f156("(F15.6)");
  return std::string(TrimBlanks(f156(points / 72.0)));
}

bool SquareArea() {
  const GraphicsState& gs = Gs();
  return gs.areaWidth == gs.areaHeight;
}

void Thickness() {
  YYDXFREAL("39", static_cast<float>(HardcopyOption(9)) / 720.0f);
}

void WriteHeader() {
  const std::string w = FixedInches(HardcopyOption(1)), h = FixedInches(HardcopyOption(2));
  static const FixedField f156("(F15.6)");
  const std::string w2 = std::string(TrimBlanks(f156(HardcopyOption(1) / 72.0 / 2)));
  const std::string h2 = std::string(TrimBlanks(f156(HardcopyOption(2) / 72.0 / 2)));
  Pair("0", "SECTION");
  Pair("2", "HEADER");
  Pair("9", "$EXTMIN");
  Pair("10", "0.000000");
  Pair("20", "0.000000");
  Pair("9", "$EXTMAX");
  Pair("10", w);
  Pair("20", h);
  Pair("9", "$CECOLOR");
  Pair("62", "7");
  Pair("9", "$CELTYPE");
  Pair("6", "DASHDOT");
  Pair("9", "$VIEWCTR");
  Pair("10", w2);
  Pair("20", h2);
  Pair("9", "$LIMMIN");
  Pair("10", "0");
  Pair("20", "0");
  Pair("9", "$LIMMAX");
  Pair("10", w);
  Pair("20", h);
  Pair("0", "ENDSEC");

  Pair("0", "SECTION");
  Pair("2", "TABLES");
  Pair("0", "TABLE");
  Pair("2", "LTYPE");
  Pair("70", "9");
  for (const LineTypeRow& row : kLineTypes) {
    std::string description;
    for (int i = 0; i < row.repeats; ++i) description += row.pattern;
    description += row.tail;
    Pair("0", "LTYPE");
    Pair("2", row.name);
    Pair("70", "0");
    Pair("3", description);
    Pair("72", "65");
    Pair("73", std::to_string(row.count));
    Pair("40", row.total);
    for (int i = 0; i < row.count; ++i) Pair("49", row.elements[static_cast<std::size_t>(i)]);
  }
  Pair("0", "ENDTAB");

  Pair("0", "TABLE");
  Pair("2", "STYLE");
  Pair("70", "1");
  Pair("0", "STYLE");
  Pair("2", "STANDARD");
  Pair("70", "0");
  Pair("40", "0");
  Pair("41", "1");
  Pair("50", "0");
  Pair("71", "0");
  Pair("42", "0");
  Pair("3", "txt");
  Pair("0", "ENDTAB");

  Pair("0", "TABLE");
  Pair("2", "LAYER");
  Pair("70", "9");
  for (int layer = 1; layer <= 9; ++layer) {
    Pair("0", "LAYER");
    Pair("2", std::to_string(layer));
    Pair("70", "0");
    Pair("62", "7");
    Pair("6", "CONTINUOUS");
  }
  Pair("0", "ENDTAB");
  Pair("0", "ENDSEC");

  Pair("0", "SECTION");
  Pair("2", "ENTITIES");
}

void Begin() {
  DriverParameters& dp = DriverParams();
  dp.factorX = static_cast<float>(HardcopyOption(1)) / (DrawableWidth() * 72.0f);
  dp.factorY = static_cast<float>(HardcopyOption(2)) / (DrawableHeight() * 72.0f);
  if (dp.P2 <= 0) return;
  if (!OpenPlotOutput()) return;
  switch (HardcopyOption(23)) {
    case 8:
      dp.deviceColours = 255;
      dp.trueColour[1] = 1;
      break;
    case 4:
      dp.deviceColours = 14;
      dp.trueColour[1] = 0;
      break;
    default:
      dp.deviceColours = 7;
      dp.trueColour[1] = 0;
      break;
  }
  WriteHeader();
  St().cachedRgb = -1;
}

void Colour() {
  DxfState& s = St();
  const GraphicsState& gs = Gs();
  const int option = HardcopyOption(23);
  const int number = std::clamp(gs.current.number, 0, 255);
  {
    int r, g, b;
    StateColourRgb(true, r, g, b);
    s.white = r > 245 && g > 245 && b > 245;
  }
  if (option == 8) {
    int r, g, b;
    StateColourRgb(true, r, g, b);
    const int rgb = r + 256 * g + 65536 * b;
    if (rgb != s.cachedRgb) {
      s.cachedRgb = rgb;
      s.cachedNumber = DxfNearestColour(rgb);
    }
    s.colourNumber = s.cachedNumber;
  } else if (option == 4) {
    s.colourNumber = kMap16[static_cast<std::size_t>(number / 16)];
  } else {
    const int n = ((number + 16) / 32) % 8;
    s.colourNumber = n == 0 ? 7 : n;
  }
}

void Solid(std::initializer_list<std::pair<float, float>> corners) {
  DriverParams().pageDirty = -1;
  YYDXFENT("SOLID");
  static constexpr std::array<std::pair<std::string_view, std::string_view>, 4> kCodes{
      {{"10", "20"}, {"11", "21"}, {"12", "22"}, {"13", "23"}}};
  std::size_t i = 0;
  for (const auto& [x, y] : corners) {
    YYDXFXY(kCodes[i].first, kCodes[i].second, x, y);
    ++i;
  }
}

void Fill(DriverOperation op) {
  DriverParameters& dp = DriverParams();
  GraphicsState& gs = Gs();
  if (dp.P2 == -1) return;
  const int style = gs.fillStyle;
  const bool corners = op == DriverOperation::TrapeziumHalftone ||
                       op == DriverOperation::RectangleHalftone || op == DriverOperation::TriangleHalftone;
  const auto& X = dp.X;
  const auto& Y = dp.Y;
  if (corners && style != kFillHalftone) {
    if (style != kFillSolid) return;
    if (op == DriverOperation::TrapeziumHalftone) {
      Solid({{X[0], Y[0]}, {X[1], Y[1]}, {X[3], Y[3]}, {X[2], Y[2]}});
    } else if (op == DriverOperation::RectangleHalftone) {
      const float x1 = std::max(gs.clipX0, X[0]), y1 = std::max(gs.clipY0, Y[0]);
      const float x2 = std::min(gs.clipX1, X[1]), y2 = std::min(gs.clipY1, Y[1]);
      Solid({{x1, y1}, {x1, y2}, {x2, y1}, {x2, y2}});
    } else {
      Solid({{X[0], Y[0]}, {X[1], Y[1]}, {X[2], Y[2]}, {X[2], Y[2]}});
    }
    return;
  }
  // The core fills the shape with lines one pen width apart.
  gs.fillRequestHardcopy = 2;
  const int pageHeight = HardcopyOption(2);
  dp.fillLineSpacing = pageHeight != 0 ? (static_cast<float>(HardcopyOption(12)) / 100.0f) *
                                             DrawableHeight() / static_cast<float>(pageHeight)
                                       : 1.0f;
  if (style == kFillHalftone) dp.fillLineSpacing *= 2;
  if (style > 2) return;
  if (op == DriverOperation::EllipseHalftone && SquareArea() && X[2] == 1.0f) {
    dp.pageDirty = -1;
    YYDXFENT("CIRCLE");
    Thickness();
    YYDXFXY("10", "20", X[0], Y[0]);
    YYDXFREAL("40", dp.factorX * X[1]);
    return;
  }
  dp.P2 = -1;
}

void TextEntity() {
  DriverParameters& dp = DriverParams();
  const GraphicsState& gs = Gs();
  const TextAttributes& t = gs.text;
  dp.pageDirty = -1;
  YYDXFENT("TEXT");
  const std::size_t mode = static_cast<std::size_t>(std::clamp(t.spacingMode, 0, 2));
  const float cellW = t.charWidth * t.areaWidthPixels, cellH = t.charHeight * t.areaHeightPixels;
  YYDXFREAL("40", cellH * kTextHeightFactor[mode] * dp.factorY);
  YYDXFREAL("41", (cellW / DrawableWidth()) / (cellH / DrawableHeight()));
  YYDXFINT("50", static_cast<int>(std::trunc(t.angle)));
  const int n = std::clamp(dp.KX[0], 0, static_cast<int>(dp.text.size()));
  std::string value = dp.text.substr(0, static_cast<std::size_t>(n));
  // A line end inside the value would split it into groups of its own.
  std::replace_if(value.begin(), value.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
  YYDXFPAIR("1", value);
  YYDXFPAIR("7", "STANDARD");
  const float ux = cellH * t.sinAOverQ, uy = cellH * t.cosA;
  const float x = dp.X[0] + 0.22f * ux, y = dp.Y[0] - 0.22f * uy;
  if (t.vertical == 0) {
    YYDXFINT("72", 0);
    YYDXFXY("10", "20", x, y);
  } else {
    const float w = dp.X[1];
    YYDXFINT("72", 1);
    YYDXFXY("10", "20", x, y);
    YYDXFXY("11", "21", x + t.cosA * w / 2, y + t.sinAOverQ * w / 2);
  }
}

void Polyline() {
  DriverParameters& dp = DriverParams();
  dp.pageDirty = -1;
  YYDXFENT("POLYLINE");
  if (Gs().lineType > 0) YYDXFPAIR("6", LineTypeName(Gs().lineType));
  Thickness();
  YYDXFINT("66", 1);
  YYDXFINT("70", 0);
  const int n = std::clamp(dp.P1, 0, kDriverMaxPoints);
  for (int i = 0; i < n; ++i) {
    YYDXFPAIR("0", "VERTEX");
    YYDXFINT("8", 1);
    YYDXFXY("10", "20", dp.pointX[i], dp.pointY[i]);
  }
  YYDXFPAIR("0", "SEQEND");
}

void Arc() {
  DriverParameters& dp = DriverParams();
  dp.pageDirty = -1;
  if (!SquareArea()) {
    dp.P2 = 2;
    return;
  }
  YYDXFENT("ARC");
  if (Gs().lineType > 0) YYDXFPAIR("6", LineTypeName(Gs().lineType));
  Thickness();
  YYDXFXY("10", "20", dp.X[0], dp.Y[0]);
  YYDXFREAL("40", dp.factorX * dp.X[1]);
  const float a = dp.X[3], s = dp.Y[3];
  YYDXFREAL("50", std::min(a, a + s));
  YYDXFREAL("51", std::max(a, a + s));
  dp.P2 = 1;
}

DxfDriver& TheDriver() {
  static DxfDriver d;
  return d;
}

}  // namespace

void YYDXFREC(std::string_view text) {
  std::string_view t = text;
  while (t.size() > 1 && t.back() == ' ') t.remove_suffix(1);
  Record(t.empty() ? std::string_view(" ") : t);
}

void YYDXFPAIR(std::string_view code, std::string_view value) {
  Record(code);
  Record(value);
}

void YYDXFINT(std::string_view text, int value) {
  static const FixedField i3("(I3)");
  Record(text);
  Record(TrimBlanks(i3.Integer(value)));
}

std::string DxfReal(float value) {
  static const FixedField f156("(F15.6)");
  std::string v(TrimBlanks(f156(value)));
  if (v.find('.') != std::string::npos)
    while (!v.empty() && v.back() == '0') v.pop_back();
  return v;
}

void YYDXFREAL(std::string_view code, float value) {
  Record(code);
  Record(DxfReal(value));
}

void YYDXFXY(std::string_view xCode, std::string_view yCode, float x, float y) {
  const DriverParameters& dp = DriverParams();
  YYDXFREAL(xCode, dp.factorX * x);
  YYDXFREAL(yCode, dp.factorY * y);
}

void YYDXFENT(std::string_view name) {
  YYDXFPAIR("0", name);
  YYDXFINT("8", 1);
  YYDXFINT("62", St().colourNumber);
}

int DxfNearestColour(int rgb) {
  static const auto points = [] {
    std::array<ColourPoint, 255> p;
    for (std::size_t k = 0; k < p.size(); ++k) p[k] = PointOf(Packed(kColourTable[k]));
    return p;
  }();
  const ColourPoint c = PointOf(rgb);
  int number = 7;
  double best = 9999999.0;
  for (std::size_t k = 0; k < kColourTable.size(); ++k) {
    if (Packed(kColourTable[k]) == rgb) return static_cast<int>(k) + 1;
    const double dv = c.v - points[k].v, da = c.a - points[k].a, db = c.b - points[k].b;
    const double d = dv * dv + da * da + db * db;
    if (d < best) {
      best = d;
      number = static_cast<int>(k) + 1;
    }
  }
  return number;
}

int DxfColourNumber() {
  return St().colourNumber;
}

void DxfDriver::Select() {
  DriverParameters& dp = DriverParams();
  if (dp.P1 == -999) {
    dp.P1 = kDriverDxf;
    return;
  }
  HardcopyOptionsReset();
  HardcopyOptionStore(3, 0);
  HardcopyOptionStore(4, 0);
  HardcopyOptionStore(5, 0);
  dp.deviceTextMaximum[1] = 0.222f;
  dp.spoolCapable = 0;
  HardcopyOptionStore(1, 756);
  HardcopyOptionStore(2, 540);
  HardcopyOptionStore(12, 80);
  dp.resolutionX = dp.resolutionY = 90;
  HardcopyOptionStore(23, 8);
  dp.deviceColours = 255;
  DescribeTextFileDriver(kDriverDxf, "00000100000011000010000000010", "parvplot.dxf");
}

void DxfDriver::Output(DriverOperation op) {
  switch (op) {
    case DriverOperation::BeginPicture:
      Begin();
      break;
    case DriverOperation::EndOutput:
      Pair("0", "ENDSEC");
      Pair("0", "EOF");
      PlotFileClose(2);
      break;
    case DriverOperation::EndPage:
      DriverParams().pageDirty = 0;
      break;
    default:
      break;
  }
}

void DxfDriver::Draw(DriverOperation op) {
  // White is the paper. DXF has no white of its own (colour 7 is black on
  // white paper and white on a black screen), so white entities, the
  // picture's frame fill first of all, are left out; the fill then never
  // covers the traces.
  if (St().white && DriverParams().P2 != -1) return;
  DriverParameters& dp = DriverParams();
  if (IsHalftoneFill(op)) {
    Fill(op);
    return;
  }
  switch (op) {
    case DriverOperation::Line:
      dp.pageDirty = -1;
      YYDXFENT("LINE");
      if (Gs().fillRequestHardcopy == 0 && Gs().lineType > 0)
        YYDXFPAIR("6", LineTypeName(Gs().lineType));
      Thickness();
      YYDXFXY("10", "20", dp.X[0], dp.Y[0]);
      YYDXFXY("11", "21", dp.X[1], dp.Y[1]);
      break;
    case DriverOperation::Point:
      dp.pageDirty = -1;
      YYDXFENT("POINT");
      YYDXFXY("10", "20", dp.X[0], dp.Y[0]);
      break;
    case DriverOperation::Polyline:
      Polyline();
      break;
    case DriverOperation::Arc:
      Arc();
      break;
    default:
      break;
  }
}

void DxfDriver::Attribute(DriverOperation op) {
  if (op == DriverOperation::Colour) Colour();
}

void DxfDriver::Text(DriverOperation op) {
  if (op == DriverOperation::Text && !St().white) TextEntity();
}

void XXDXF(DriverOperation& op) {
  DispatchDriverOperation(TheDriver(), op);
}

}  // namespace tk
