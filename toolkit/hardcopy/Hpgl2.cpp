// Hardcopy driver 12: HP-GL/2 printers.
#include "toolkit/hardcopy/Hpgl2.h"

#include <algorithm>
#include <cmath>

#include "toolkit/core/Conversion.h"
#include "toolkit/graphics/Colours.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/hardcopy/ColourShade.h"
#include "toolkit/hardcopy/HardcopyOptions.h"
#include "toolkit/hardcopy/HpglRecords.h"
#include "toolkit/hardcopy/ModelTables.h"
#include "toolkit/hardcopy/PlotFile.h"

namespace tk {
namespace {

constexpr double kUnitsPerPoint = 1016.0 / 72.0;
constexpr int kPlainDevice = 4;
// Beyond this length a polyline-encoded record is closed before the next point.
constexpr std::size_t kEncodedRecordLimit = 246;

// The key by which fills remember a colour: its number, or in RGB colour
// mode its RGB value.
std::int64_t ColourKey(const StateColour& c) {
  return Gs().colourMode == 1 ? c.number : 0x1000000LL + c.rgb;
}

// The pen (palette number 0-255) of a colour; an RGB colour without a
// number takes the nearest palette entry.
int PenNumber(const StateColour& c) {
  if (c.number >= 0 && c.number <= 255) return c.number;
  return std::clamp(PaletteNearestColour(c.rgb), 0, 255);
}

void AppendEncoded(std::string& buffer, std::int32_t d) {
  std::int64_t v = d >= 0 ? 2LL * d : 2LL * -static_cast<std::int64_t>(d) + 1;
  while (v >= 32) {
    buffer += static_cast<char>(63 + v % 32);
    v /= 32;
  }
  buffer += static_cast<char>(95 + v);
}

std::string FillFields(int kind, bool withKindField) {
  const GraphicsState& gs = Gs();
  std::string text = withKindField ? IntegerField(kind, 2) : std::to_string(kind);
  for (int v : {gs.fillStyle, gs.hatchDensity, gs.hatchAngle, gs.outlineFlag})
    text += " " + IntegerField(v, 1);
  return text;
}

}  // namespace

const std::array<std::uint8_t, 95> kHpgl2CharacterTable{
    184, 191, 175, 186, 188, 124, 189, 171, 99,  249, 251, 32,  246, 82,  176, 179, 254, 50,  51,
    168, 243, 244, 242, 44,  49,  250, 253, 247, 248, 245, 185, 161, 224, 162, 225, 216, 208, 211,
    180, 163, 220, 164, 165, 230, 229, 166, 167, 227, 182, 232, 231, 223, 233, 218, 120, 210, 173,
    237, 174, 219, 177, 240, 222, 200, 196, 192, 226, 204, 212, 215, 181, 201, 197, 193, 205, 217,
    213, 209, 221, 228, 183, 202, 198, 194, 234, 206, 32,  214, 203, 199, 195, 207, 178, 241, 239};

void YYHP2PC(int n, int r, int g, int b) {
  const int option6 = HardcopyOption(6);
  const bool extreme = (r > 245 && g > 245 && b > 245) || (r < 10 && g < 10 && b < 10);
  if (option6 == 1 || (option6 == 2 && extreme)) r = 255 - r, g = 255 - g, b = 255 - b;
  CommandRecordSet("PC");
  CommandRecordPut(3, FormatIntegerField(n, "(I4)"));
  CommandRecordPut(8, FormatIntegerField(r, "(I3)"));
  CommandRecordPut(12, FormatIntegerField(g, "(I3)"));
  CommandRecordPut(16, FormatIntegerField(b, "(I3)"));
  YYHPREC();
}

void YYHP2RF(std::int32_t w) {
  const std::uint32_t bits = static_cast<std::uint32_t>(w);
  for (int half = 0; half < 2; ++half) {
    std::string record;
    for (int i = 16 * half; i < 16 * half + 16; ++i) record += (bits & (1u << i)) ? "0," : "1,";
    if (half == 1) record.back() = ';';
    WriteCommand(record);
  }
}

void YYHP2PE() {
  const DriverParameters& dp = DriverParams();
  const int n = std::clamp(dp.P1, 0, kDriverMaxPoints);
  std::string buffer = "PE7";
  for (int i = 1; i < n; ++i) {
    if (buffer.size() > kEncodedRecordLimit) {
      buffer += ';';
      YYHPRAW(buffer, static_cast<int>(buffer.size()));
      buffer = "PE7";
    }
    AppendEncoded(buffer, PlotterUnitX(dp.pointX[i]) - PlotterUnitX(dp.pointX[i - 1]));
    AppendEncoded(buffer, PlotterUnitY(dp.pointY[i]) - PlotterUnitY(dp.pointY[i - 1]));
  }
  buffer += ';';
  YYHPRAW(buffer, static_cast<int>(buffer.size()));
}

int XXHPGL2::Device() const {
  const int d = CurrentDeviceModels().hpgl2Device;
  return d >= 1 && d <= 5 ? d : 1;
}

bool XXHPGL2::ColourDevice() const {
  return DriverParams().penCount > 2;
}

void XXHPGL2::Comment(std::string_view text) {
  WriteCommand("CO\"" + std::string(text) + "\"");
}

void XXHPGL2::Select() {
  DriverParameters& dp = DriverParams();
  if (dp.P1 == -999) {
    dp.P1 = kDriverHpgl2;
    return;
  }
  HardcopyOptionsReset();
  if (CurrentDeviceModels().hpgl2Device < 1 || CurrentDeviceModels().hpgl2Device > 5)
    Hpgl2DeviceSet(0);
  const int device = Device();
  const Hpgl2Device& row = kHpgl2Devices[static_cast<std::size_t>(device)];
  // The table gives the plot area only: the picture starts at its left edge.
  constexpr double kOffset = 0;
  HardcopyOptionStore(18, 0);
  HardcopyOptionStore(5, 1);
  HardcopyOptionStore(21, 4);
  HardcopyOptionStore(3, static_cast<std::int32_t>(std::trunc(kOffset / kUnitsPerPoint)));
  HardcopyOptionStore(4, 0);
  HardcopyOptionStore(
      1, static_cast<std::int32_t>(std::trunc(row.plotLong / kUnitsPerPoint - HardcopyOption(3))));
  HardcopyOptionStore(2, static_cast<std::int32_t>(std::trunc(row.plotShort / kUnitsPerPoint)));
  dp.penCount = row.colours;
  lineTypes_[1] = "1 .3";
  k_ = 1.5f;
  letter_ = 'S';
  dp.resolutionX = dp.resolutionY = row.resolution;
  DescribePlotFileDriver(1);
  if (row.colours == 2) {
    dp.capabilities[1] = "00000100000011100010001001110";
    dp.deviceColours = 2;
    if (device == 3) k_ = 1.2f, letter_ = 'A';
  } else {
    dp.capabilities[1] = "00000100011111100010011011110";
    dp.deviceColours = 256;
    k_ = 1.2f;
    letter_ = 'A';
  }
  dp.driverNumber = kDriverHpgl2;
  sizeChanged_ = true;
}

void XXHPGL2::Output(DriverOperation op) {
  DriverParameters& dp = DriverParams();
  const GraphicsState& gs = Gs();
  const int device = Device();
  switch (op) {
    case DriverOperation::BeginPicture: {
      dp.factorX = 32760.0f / static_cast<float>(std::max(1, gs.width));
      dp.factorY = 32760.0f / static_cast<float>(std::max(1, gs.height));
      if (dp.P2 > 0) {
        if (!OpenPlotOutput()) return;
        dp.recordLeadIn = HardcopyOption(17) != 0 ? 1 : 2;
        terminator_ = static_cast<char>(HardcopyOption(21));
        pen_ = "   ";
        savedPen_ = "   ";
        fillType_ = -1;
        patternColour_ = -1;
        halftonePair_ = {-1, -1};
        defined_.fill(false);
        kindCache_ = styleCache_ = -1;
        fontCache_ = 0;
        originCache_ = -1;
        if (device != kPlainDevice) WriteCommand("\x1b%0B");
        if (dp.KX[0] != 0) {
          // The title as a quoted comment: a device reads nothing of it as
          // instructions, and a reader of annotations takes nothing from it.
          std::string title = HardcopyTitle();
          title.erase(std::remove(title.begin(), title.end(), '"'), title.end());
          const std::size_t end = title.find_last_not_of(' ');
          title.resize(end == std::string::npos ? 0 : end + 1);
          const std::string record =
              CollapseBlanks("CO\":" + title + "\"", static_cast<int>(title.size()) + 5);
          YYHPRAW(record, static_cast<int>(record.size()));
        }
        points_ = PlotScalingPoints(kUnitsPerPoint);
        const bool rotate =
            device == kPlainDevice ? HardcopyOption(5) == 0 : HardcopyOption(5) != 0;
        WriteInitialisation(rotate, points_);
        WriteCommand(std::string("DT") + terminator_);
        WriteCommand("DI1. 0.");
        WriteCommand("TR0");
        if (device != 1) WriteCommand("AD1,14;SA");
        if (ColourDevice()) WriteCommand("NP256");
        Comment("13" + IntegerField(device, 2) + " " + RealField(k_, "(F3.1)") + " 9");
        Comment("2 " + IntegerField(HardcopyOption(6), 1));
      }
      WriteCommand(kWorkingScaling);
      break;
    }
    case DriverOperation::EndPage: {
      dp.pageDirty = 0;
      Comment("3 " + IntegerField(dp.P2, 3));
      if (device != kPlainDevice) {
        // Copies go in a two-digit field: the count is kept to 1-99.
        const int copies = std::clamp(HardcopyOption(8), 1, 99);
        WriteCommand("\x1b%1A\x1b&l" + FormatIntegerField(copies, "(I2.2)") + "X\f\x1b%0B");
      } else {
        WriteCommand("PG");
      }
      break;
    }
    case DriverOperation::EndOutput:
      if (device != kPlainDevice) WriteCommand("\x1b%0A");
      PlotFileClose(2);
      break;
    default:
      break;
  }
}

void XXHPGL2::SelectPen(const std::string& pen) {
  WriteCommand("PU;SP" + pen);
}

void XXHPGL2::Colour() {
  const GraphicsState& gs = Gs();
  std::string pen;
  if (ColourDevice()) {
    const int n = PenNumber(gs.current);
    pen = IntegerField(n, 3);
    if (!defined_[static_cast<std::size_t>(n)]) {
      int r = 0, g = 0, b = 0;
      RgbSplit(PaletteGetRgb(n), r, g, b);
      YYHP2PC(n, r, g, b);
      defined_[static_cast<std::size_t>(n)] = true;
    }
  } else {
    const int n = gs.current.number;
    const bool white = HardcopyOption(6) != 0 ? n == kBlack : n == kWhite;
    pen = white ? "0  " : "1  ";
  }
  if (pen != pen_) {
    pen_ = pen;
    SelectPen(pen_);
  }
  if (gs.fillRequestHardcopy == 0) {
    int r = 0, g = 0, b = 0;
    ColourToRgb(gs.colourMode == 1 ? gs.current.number : gs.current.rgb, r, g, b);
    Comment("1 " + IntegerField(r + 256 * g + 65536 * b, 8));
  }
}

void XXHPGL2::Attribute(DriverOperation op) {
  DriverParameters& dp = DriverParams();
  switch (op) {
    case DriverOperation::Colour:
    case DriverOperation::PaletteReload:
      Colour();
      break;
    case DriverOperation::PaletteEntry: {
      // A monochrome device keeps its white pen 0 and black pen 1: a palette
      // entry must not recolour them.
      if (!ColourDevice() || dp.P1 < 0 || dp.P1 > 255) break;
      int r = 0, g = 0, b = 0;
      RgbSplit(dp.KX[0], r, g, b);
      YYHP2PC(dp.P1, r, g, b);
      defined_[static_cast<std::size_t>(dp.P1)] = true;
      break;
    }
    case DriverOperation::ClipRectangle:
      WriteClipWindow(kUnitsPerPoint, points_);
      break;
    case DriverOperation::LineType:
      WriteLineType(lineTypes_);
      break;
    case DriverOperation::LineWidth: {
      const float w =
          std::clamp(static_cast<float>(HardcopyOption(9) * 0.4 / kUnitsPerPoint), 0.0284f, 5.0f);
      CommandRecordSet("PW");
      CommandRecordPut(3, RealField(w, "(F5.3)"));
      YYHPREC();
      break;
    }
    case DriverOperation::TextAngle:
      WriteTextDirection();
      break;
    case DriverOperation::LineJoin: {
      static constexpr std::array<std::string_view, 3> kJoins{"LA2 1", "LA2 4", "LA2 5"};
      const int j = HardcopyOption(10);
      if (j >= 0 && j <= 2) WriteCommand(kJoins[static_cast<std::size_t>(j)]);
      break;
    }
    case DriverOperation::LineCap: {
      static constexpr std::array<std::string_view, 3> kCaps{"LA1 1", "LA1 4", "LA1 2"};
      const int c = HardcopyOption(11);
      if (c >= 0 && c <= 2) WriteCommand(kCaps[static_cast<std::size_t>(c)]);
      break;
    }
    default:
      break;
  }
}

void XXHPGL2::Draw(DriverOperation op) {
  DriverParameters& dp = DriverParams();
  if (IsHalftoneFill(op)) {
    Fill(op);
    return;
  }
  switch (op) {
    case DriverOperation::Line:
    case DriverOperation::Point:
      dp.pageDirty = -1;
      WriteLineOperation(op);
      break;
    case DriverOperation::Polyline: {
      const int n = std::clamp(dp.P1, 0, kDriverMaxPoints);
      if (n < 1) return;
      dp.pageDirty = -1;
      PenUpUnlessAt(dp.pointX[0], dp.pointY[0]);
      YYHP2PE();
      dp.penLastX = dp.pointX[n - 1];
      dp.penLastY = dp.pointY[n - 1];
      break;
    }
    case DriverOperation::Arc:
      dp.pageDirty = -1;
      YYHPARC(34, {.penDown = "PD;", .afterPenUp = ArcComment});
      break;
    default:
      break;
  }
}

void XXHPGL2::EllipseComment() {
  Comment(FillFields(5, false));
}

void XXHPGL2::ArcComment() {
  const int style = Gs().fillStyle;
  if (style == kFillHatch || style == kFillCrossHatch) Comment(FillFields(4, false));
}

void XXHPGL2::MonochromeFill() {
  GraphicsState& gs = Gs();
  if (gs.glyphFill) {
    WriteCommand("FT2");
    fillType_ = -1;
    return;
  }
  const bool solid = gs.fillStyle == kFillSolid || ColourKey(gs.previous) == ColourKey(gs.current);
  std::int32_t w = 0, unused2 = 0, unused3 = 0;
  if (solid) {
    if (ColourKey(gs.current) != patternColour_) {
      ColourToShade(1, w, unused2, unused3);
      WriteCommand("RF1,8,4,");
      YYHP2RF(w);
      patternColour_ = ColourKey(gs.current);
    }
    if (fillType_ != 1) {
      WriteCommand("FT11 1");
      fillType_ = 1;
    }
    return;
  }
  const std::array<std::int64_t, 2> pair{ColourKey(gs.previous), ColourKey(gs.current)};
  if (pair != halftonePair_) {
    std::int32_t a = 0, b = 0;
    const StateColour current = gs.current;
    gs.current = gs.previous;
    ColourToShade(1, a, unused2, unused3);
    gs.current = current;
    ColourToShade(1, b, unused2, unused3);
    w = static_cast<std::int32_t>((static_cast<std::uint32_t>(b) & 0x55AA55AAu) +
                                  (static_cast<std::uint32_t>(a) & 0xAA55AA55u));
    WriteCommand("RF2,8,4,");
    YYHP2RF(w);
    halftonePair_ = pair;
  }
  if (fillType_ != 2) {
    WriteCommand("FT11 2");
    fillType_ = 2;
  }
}

void XXHPGL2::Fill(DriverOperation operation) {
  DriverParameters& dp = DriverParams();
  GraphicsState& gs = Gs();
  const int op = static_cast<int>(operation);
  const int k = FillAnnotationKind(op);
  const bool device = gs.fillStyle == kFillHalftone || gs.fillStyle == kFillSolid;
  if (dp.P2 == -1) {
    if (device || k == 5 || k == 4) Comment(IntegerField(k, 2) + " -1");
    if (savedPen_ != pen_) SelectPen(pen_);
    return;
  }
  dp.pageDirty = -1;
  savedPen_ = "   ";
  if (!device && op != 5) return;
  if (device) {
    if (!ColourDevice()) {
      MonochromeFill();
    } else if (gs.fillStyle == kFillHalftone && ColourKey(gs.previous) != ColourKey(gs.current)) {
      const int n = 255 - PenNumber(gs.current);
      int r1 = 0, g1 = 0, b1 = 0, r2 = 0, g2 = 0, b2 = 0;
      const auto value = [&](const StateColour& c) {
        return gs.colourMode == 1 ? c.number : c.rgb;
      };
      ColourToRgb(value(gs.previous), r1, g1, b1);
      ColourToRgb(value(gs.current), r2, g2, b2);
      YYHP2PC(n, (r1 + r2) / 2, (g1 + g2) / 2, (b1 + b2) / 2);
      savedPen_ = IntegerField(n, 3);
      SelectPen(savedPen_);
      defined_[static_cast<std::size_t>(n)] = false;
    }
    Comment(FillFields(k, true));
  }
  switch (op) {
    case 5:
      WriteCircle(device, device ? nullptr : EllipseComment);
      break;
    case 7:
    case 9:
    case 11:
      WriteDeviceFilledShape(op);
      break;
    case 13:
      YYHPARC(13, {.penDown = "PD;", .afterPenUp = ArcComment});
      break;
    case 15:
      if (dp.P1 < 1) break;
      YYHPXY("PU", dp.pointX[0], dp.pointY[0]);
      WriteCommand("PM0");
      YYHP2PE();
      WriteCommand("PM2;FP");
      dp.penLastX = dp.pointX[0];
      dp.penLastY = dp.pointY[0];
      break;
    default:
      break;
  }
}

void XXHPGL2::Text(DriverOperation op) {
  if (op == DriverOperation::CharacterSize) {
    sizeChanged_ = true;
    return;
  }
  if (op == DriverOperation::Text) Label();
}

void XXHPGL2::Label() {
  const GraphicsState& gs = Gs();
  DriverParameters& dp = DriverParams();
  const TextAttributes& t = gs.text;
  dp.pageDirty = -1;
  const int font = t.spacingMode, kind = t.deviceFace, style = t.styleBits;
  if (sizeChanged_) {
    static constexpr std::array<float, 3> kWidth{1.0f, 0.932f, 1.06f};
    static constexpr std::array<float, 3> kHeight{1.0f, 1.211f, 1.211f};
    const std::size_t f = static_cast<std::size_t>(std::clamp(font, 0, 2));
    const float w = t.charWidth * kWidth[f] * gs.areaWidth * 100.0f /
                    (k_ * static_cast<float>(std::max(1, gs.width)));
    const float h = t.charHeight * kHeight[f] * gs.areaHeight * 100.0f /
                    (static_cast<float>(std::max(1, gs.height)) * 2.0f);
    if (font != fontCache_) Comment("10 " + IntegerField(font, 1));
    CommandRecordSet("SR");
    CommandRecordPut(3, RealField(w, "(F8.2)"));
    CommandRecordPut(11, RealField(h, "(F8.2)"));
    YYHPREC();
    sizeChanged_ = false;
  }
  if (kind != kindCache_ || style != styleCache_ || font != fontCache_) {
    CommandRecordSet((style & 2) ? "SL.2" : "SL0.");
    CommandRecordPut(5, std::string(";") + letter_ + "D 2");
    const bool bold = (style & 1) != 0;
    switch (kind) {
      case 1:
        CommandRecordPut(11, std::string("0 6 ") + (bold ? '5' : '0'));
        break;
      case 2:
      case 3:
      case 4: {
        static constexpr std::array<std::string_view, 3> kFaces{" 7 4148", " 7 4101",
                                                                " 7 4101 1 173"};
        CommandRecordPut(11, std::string("1 6 ") + (bold ? '3' : '0') +
                                 std::string(kFaces[static_cast<std::size_t>(kind - 2)]));
        break;
      }
      default:
        break;
    }
    YYHPREC();
    kindCache_ = kind;
    styleCache_ = style;
    fontCache_ = font;
  }
  const int n = std::clamp(dp.KX[0], 0, kDriverTextLength);
  std::string label = DriverText().substr(0, static_cast<std::size_t>(n));
  if (Device() == 1 && !(kind == 4 && font != 0)) {
    for (char& c : label) {
      const unsigned code = static_cast<unsigned char>(c);
      if (code >= 161) c = static_cast<char>(kHpgl2CharacterTable[code - 161]);
    }
  }
  float x = 0, y = 0;
  LabelAnchor(x, y);
  const int j = font == 1 ? 0 : std::clamp(t.hJustify, 0, 2);
  const float x2 = x + (dp.X[2] - dp.X[0]), y2 = y + (dp.Y[2] - dp.Y[0]);
  if (j == 1) x = (x + x2) / 2, y = (y + y2) / 2;
  if (j == 2) x = x2, y = y2;
  if (j != originCache_) {
    static constexpr std::array<std::string_view, 3> kOrigins{"LO1", "LO4", "LO7"};
    WriteCommand(kOrigins[static_cast<std::size_t>(j)]);
    originCache_ = j;
  }
  YYHPXY("PU", x, y);
  label += terminator_;
  YYHPLB(label, static_cast<int>(label.size()));
  dp.penLastX = dp.penLastY = -9999.0f;
}

}  // namespace tk
