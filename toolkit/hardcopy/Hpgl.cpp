// Hardcopy driver 1: HP-GL pen plotters.
#include "toolkit/hardcopy/Hpgl.h"

#include <algorithm>
#include <cmath>

#include "toolkit/core/Conversion.h"
#include "toolkit/graphics/Colours.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/hardcopy/HardcopyOptions.h"
#include "toolkit/hardcopy/HpglRecords.h"
#include "toolkit/hardcopy/ModelTables.h"
#include "toolkit/hardcopy/PlotFile.h"

namespace tk {
namespace {

// The fill annotation of an ellipse the core fills, between its pen-up and
// its scaling.
void EllipseNote() {
  const GraphicsState& gs = Gs();
  YYHPNOTE(5, false, gs.fillStyle, gs.hatchDensity, gs.hatchAngle);
}

// Pen of each block of 32 colour numbers (block 0 holds 0-15 and 240-255).
constexpr std::array<int, 8> kPenBlocks{0, 2, 4, 1, 5, 3, 6, 7};

const PlotterModel& CurrentPlotter() {
  const int m = CurrentDeviceModels().plotterModel;
  return kPlotterModels[static_cast<std::size_t>(m >= 1 && m <= 10 ? m : 1)];
}

}  // namespace

const std::array<std::string_view, 5> kPlotterCapabilities{
    "", "00000100000000000010000000010", "00000100000000000010000000000",
    "00000100000010000010000000010", "00000100000011100010001001010"};

void XXHPGL::Select() {
  DriverParameters& dp = DriverParams();
  if (dp.P1 == -999) {
    dp.P1 = kDriverHpgl;
    return;
  }
  HardcopyOptionsReset();
  const PlotterModel& model = CurrentPlotter();
  u_ = model.unitsPerInch / 72.0;
  const std::size_t letter = kPlotterTypeLetters.find(model.type);
  class_ = letter == std::string_view::npos ? 1 : static_cast<int>(letter) + 1;
  HardcopyOptionStore(5, 1);
  HardcopyOptionStore(12, 80);
  HardcopyOptionStore(18, 1);
  HardcopyOptionStore(21, 4);
  HardcopyOptionStore(3, static_cast<std::int32_t>(std::trunc(model.xMin / u_)));
  HardcopyOptionStore(4, 0);
  HardcopyOptionStore(19, 0);
  HardcopyOptionStore(25, 0);
  HardcopyOptionStore(1,
                      static_cast<std::int32_t>(std::trunc(model.xMax / u_ - HardcopyOption(3))));
  HardcopyOptionStore(2, static_cast<std::int32_t>(std::trunc(model.yMax / u_)));
  dp.deviceColours = dp.penCount = model.pens;
  dp.resolutionX = dp.resolutionY = 90;
  DescribePlotFileDriver(0);
  lineTypes_[1] = class_ == 3 ? "1 1 " : "1 .3";
  dp.capabilities[1] = std::string(kPlotterCapabilities[static_cast<std::size_t>(class_)]);
  dp.driverNumber = kDriverHpgl;
  sizeChanged_ = true;
}

void XXHPGL::Output(DriverOperation op) {
  DriverParameters& dp = DriverParams();
  const GraphicsState& gs = Gs();
  switch (op) {
    case DriverOperation::BeginPicture: {
      dp.factorX = 32760.0f / static_cast<float>(std::max(1, gs.width));
      dp.factorY = 32760.0f / static_cast<float>(std::max(1, gs.height));
      if (dp.P2 > 0) {
        if (!OpenPlotOutput()) return;
        dp.recordLeadIn = HardcopyOption(17) != 0 ? 1 : 2;
        terminator_ = static_cast<char>(HardcopyOption(21));
        pen_ = ' ';
        fillThickness_ = -1.0f;
        parked_ = false;
        slantFont_ = 0;
        slantStyle_ = -1;
        if (HardcopyOption(19) != 0) WriteCommand("\x1b.Y");
        points_ = PlotScalingPoints(u_);
        WriteInitialisation(HardcopyOption(5) == 0, points_);
        WriteCommand(std::string("DT") + terminator_);
        WriteCommand("DI1. 0.");
        YYHPNOTE(2, false, 9, 0, 0);
        YYHPNOTE(13, false, CurrentDeviceModels().plotterModel, 0, 0);
      }
      WriteCommand(kWorkingScaling);
      break;
    }
    case DriverOperation::EndPage: {
      dp.pageDirty = 0;
      YYHPNOTE(3, true, dp.P2, 0, 0);
      const int model = CurrentDeviceModels().plotterModel;
      WriteCommand(model == 7 || model == 8 ? "PU;SP0 ;PG;" : "PU;SP0 ;");
      parked_ = true;
      break;
    }
    case DriverOperation::EndOutput:
      if (HardcopyOption(19) != 0) WriteCommand("\x1b.Z");
      PlotFileClose(2);
      break;
    default:
      break;
  }
}

void XXHPGL::PageStart() {
  DriverParameters& dp = DriverParams();
  if (dp.pageDirty) return;
  dp.pageDirty = -1;
  if (parked_) {
    WriteCommand(std::string("SP") + pen_);
    parked_ = false;
  }
}

void XXHPGL::Draw(DriverOperation op) {
  DriverParameters& dp = DriverParams();
  // The pen is away while the colour is white: nothing is drawn, not even
  // moves with the pen down, which some plotters and readers would ink.
  if (pen_ == '0') return;
  if (IsHalftoneFill(op)) {
    Fill(op);
    return;
  }
  switch (op) {
    case DriverOperation::Line:
    case DriverOperation::Point:
      PageStart();
      WriteLineOperation(op);
      break;
    case DriverOperation::Polyline: {
      const int n = std::clamp(dp.P1, 0, kDriverMaxPoints);
      if (n < 1) return;
      PageStart();
      PenUpUnlessAt(dp.pointX[0], dp.pointY[0]);
      for (int i = 1; i < n; ++i) YYHPXY("PD", dp.pointX[i], dp.pointY[i]);
      dp.penLastX = dp.pointX[n - 1];
      dp.penLastY = dp.pointY[n - 1];
      break;
    }
    case DriverOperation::Arc:
      YYHPARC(static_cast<int>(op));
      break;
    default:
      break;
  }
}

bool XXHPGL::ClassFills(int op) const {
  if (class_ == 3) return op == 9 || op == 13;
  if (class_ == 4) return op == 5 || op == 7 || op == 9 || op == 11 || op == 13 || op == 15;
  return false;
}

void XXHPGL::Fill(DriverOperation operation) {
  DriverParameters& dp = DriverParams();
  GraphicsState& gs = Gs();
  const int op = static_cast<int>(operation);
  const int k = FillAnnotationKind(op);
  if (dp.P2 == -1) {
    if (!native_) YYHPNOTE(k, true, -1, 0, 0);
    return;
  }
  PageStart();
  const bool solid = gs.fillStyle == kFillSolid ||
                     (gs.fillStyle == kFillHalftone && gs.previous.number == gs.current.number);
  native_ = ClassFills(op) && HardcopyOption(25) != 0 && solid;
  const int vertices = std::clamp(dp.P1, 0, kDriverMaxPoints);
  if (op == 15 && class_ == 4 && vertices > 127) native_ = false;
  if (native_) {
    const float t = std::clamp(static_cast<float>(HardcopyOption(12) * 25.4 / 7200.0), 0.1f, 5.0f);
    if (t != fillThickness_) {
      CommandRecordSet("FT2;PT");
      CommandRecordPut(8, RealField(t, "(F4.2)"));
      YYHPREC();
      fillThickness_ = t;
    }
  } else {
    const int plotHeight = HardcopyOption(2);
    dp.fillLineSpacing = plotHeight != 0
                             ? (HardcopyOption(12) / 100.0f) * static_cast<float>(gs.height) /
                                   static_cast<float>(plotHeight)
                             : 1.0f;
    if (gs.fillStyle == kFillHalftone) dp.fillLineSpacing *= 2.0f;
    gs.fillRequestHardcopy = 2;
    if (op != 5)
      YYHPNOTE(k, false, gs.fillStyle, gs.hatchDensity, 10 * gs.outlineFlag + gs.hatchAngle);
  }
  const bool notes = HardcopyOption(18) != 0;
  const auto closeGroup = [&] {
    if (notes) WriteCommand(kWorkingScaling);
  };
  switch (op) {
    case 5:
      WriteCircle(native_, native_ ? nullptr : EllipseNote);
      break;
    case 7:
      if (native_) {
        WriteDeviceFilledShape(op);
      } else if (notes) {
        YYHPVTX(dp.X[0], dp.Y[0]);
        YYHPVTX(dp.X[2], dp.Y[2]);
        int a = 0, b = 0;
        if (dp.P2 == 1) {
          a = static_cast<int>(std::trunc((dp.Y[3] - dp.Y[0]) * dp.factorY));
          b = static_cast<int>(std::trunc((dp.Y[2] - dp.Y[1]) * dp.factorY));
        } else {
          a = static_cast<int>(std::trunc((dp.X[2] - dp.X[3]) * dp.factorX));
          b = static_cast<int>(std::trunc((dp.X[1] - dp.X[0]) * dp.factorX));
        }
        YYHPNOTE(9, false, a, b, 0);
        YYHPNOTE(9, true, dp.P2, 0, 0);
      }
      break;
    case 9:
    case 11:
      if (native_) {
        WriteDeviceFilledShape(op);
      } else if (notes) {
        for (std::size_t i = 0; i < (op == 9 ? 2u : 3u); ++i) YYHPVTX(dp.X[i], dp.Y[i]);
        closeGroup();
      }
      break;
    case 13:
      if (native_) {
        YYHPARC(13);
      } else if (notes) {
        YYHPVTX(dp.X[0], dp.Y[0]);
        YYHPVTX(dp.X[1], dp.Y[1]);
        YYHPVTXR(dp.X[2], dp.Y[2]);
        closeGroup();
      }
      break;
    case 15:
      if (vertices < 1) break;
      if (native_) {
        YYHPXY("PU", dp.pointX[0], dp.pointY[0]);
        WriteCommand("PM0");
        for (int i = 1; i < vertices; ++i) YYHPXY("PD", dp.pointX[i], dp.pointY[i]);
        WriteCommand("PM2;FP");
        dp.penLastX = dp.pointX[0];
        dp.penLastY = dp.pointY[0];
      } else if (notes) {
        YYHPNOTE(12, false, vertices, 0, 0);
        for (int i = 0; i < vertices; ++i) YYHPVTX(dp.pointX[i], dp.pointY[i]);
        closeGroup();
      }
      break;
    default:
      break;
  }
}

void XXHPGL::Colour() {
  const GraphicsState& gs = Gs();
  const DriverParameters& dp = DriverParams();
  const int n = gs.current.number;
  int r = 0, g = 0, b = 0;
  ColourToRgb(gs.colourMode == 1 ? gs.current.number : gs.current.rgb, r, g, b);
  const int block = (((n + 16) / 32) % 8 + 8) % 8;
  char pen = static_cast<char>('1' + kPenBlocks[static_cast<std::size_t>(block)] %
                                         std::max(1, dp.penCount));
  // White is the paper: a white line or fill is not inked (pen 0 puts the
  // pen away), where the pen rule would give it a pen of ink and a white
  // frame fill would cover the picture.
  if (r > 245 && g > 245 && b > 245) pen = '0';
  if (pen != pen_) {
    pen_ = pen;
    WriteCommand(std::string("PU;SP") + pen_);
    parked_ = false;
  }
  if (gs.fillRequestHardcopy == 0) YYHPNOTE(1, true, r + 256 * g + 65536 * b, 0, 0);
}

void XXHPGL::Attribute(DriverOperation op) {
  switch (op) {
    case DriverOperation::Colour:
      Colour();
      break;
    case DriverOperation::ClipRectangle:
      WriteClipWindow(u_, points_);
      break;
    case DriverOperation::LineType:
      WriteLineType(lineTypes_);
      break;
    case DriverOperation::LineWidth: {
      if (HardcopyOption(18) == 0) break;
      const float w = std::clamp(static_cast<float>(HardcopyOption(9) * 0.4 / u_), 0.1f, 5.0f);
      CommandRecordSet("PW");
      CommandRecordPut(3, RealField(w, "(F5.3)"));
      YYHPREC();
      break;
    }
    case DriverOperation::TextAngle:
      WriteTextDirection();
      break;
    default:
      break;
  }
}

void XXHPGL::Text(DriverOperation op) {
  const GraphicsState& gs = Gs();
  if (op == DriverOperation::CharacterSize) {
    YYHPNOTE(10, true, gs.text.deviceFace, gs.text.styleBits, gs.text.spacingMode);
    sizeChanged_ = true;
    return;
  }
  if (op == DriverOperation::Text && pen_ != '0') Label();
}

void XXHPGL::Label() {
  const GraphicsState& gs = Gs();
  DriverParameters& dp = DriverParams();
  const TextAttributes& t = gs.text;
  PageStart();
  const int font = t.spacingMode;
  if (sizeChanged_) {
    const float wf = font == 0 ? 1.0f : 1.007f, hf = font == 0 ? 1.0f : 1.211f;
    const float w = t.charWidth * wf * gs.areaWidth * 100.0f /
                    (static_cast<float>(std::max(1, gs.width)) * 1.5f);
    const float h = t.charHeight * hf * gs.areaHeight * 100.0f /
                    (static_cast<float>(std::max(1, gs.height)) * 2.0f);
    CommandRecordSet("SR");
    CommandRecordPut(3, RealField(w, "(F8.2)"));
    CommandRecordPut(11, RealField(h, "(F8.2)"));
    YYHPREC();
    sizeChanged_ = false;
  }
  if (font != slantFont_ || t.styleBits != slantStyle_) {
    WriteCommand((t.styleBits & 2) ? "SL.2" : "SL0.");
    slantFont_ = font;
    slantStyle_ = t.styleBits;
  }
  float x = 0, y = 0;
  LabelAnchor(x, y);
  YYHPXY("PU", x, y);
  const int n = std::clamp(dp.KX[0], 0, kDriverTextLength);
  std::string label = DriverText().substr(0, static_cast<std::size_t>(n));
  label += terminator_;
  YYHPLB(label, static_cast<int>(label.size()));
  dp.penLastX = dp.penLastY = -9999.0f;
}

}  // namespace tk
