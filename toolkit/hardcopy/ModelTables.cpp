#include "toolkit/hardcopy/ModelTables.h"

#include <algorithm>

#include "toolkit/core/Errors.h"
#include "toolkit/core/Startup.h"
#include "toolkit/core/ToolkitState.h"
#include "toolkit/hardcopy/HardcopyOptions.h"
#include "toolkit/hardcopy/PrinterAccess.h"

namespace tk {

namespace {
constexpr int kErrTextTooSmall = 1023;  // "Variable too small to receive text"
}  // namespace

// Models 33 and 34 carry each other's codes in the original device list, so
// the "colour" model printed in mono and the "mono" one in colour; here each
// model has the code its name says.
const std::array<RasterPrinterModel, 39> kRasterPrinterModels{{
    {"", ""},
    {"", ""},
    {"IBM Graphics Printer", "M1M0 "},
    {"Panasonic KX-P1081", "F1M0 "},
    {"Amstrad DMP 3000", "F1M0 "},
    {"Epson EX/FX/LX/RX", "F1M0 "},
    {"Epson EX/FX/LX/RX   (wide)", "F1M0 "},
    {"Epson MX-80 II/III", "M1M0 "},
    {"Epson MX-100        (wide)", "M1M0 "},
    {"Shinwa CP80", "S1M0 "},
    {"HP LaserJet +", "L1M0 "},
    {"HP LaserJet II", "L1M0 "},
    {"IBM Graphics Printer(wide)", "M1M0 "},
    {"HP PaintJet", "P3R1 "},
    {"HP DeskJet/DeskJet +", "D1M2 "},
    {"IBM Proprinter", "M1M0 "},
    {"IBM Proprinter      (wide)", "M1M0 "},
    {"Epson LQ/SQ", "Q1M0 "},
    {"Epson LQ/SQ         (wide)", "Q1M0 "},
    {"IBM Proprinter X24", "X1M0 "},
    {"IBM Proprinter X24  (wide)", "X1M0 "},
    {"HP DeskJet 310/500 colour", "D3R2 "},
    {"HP DeskJet 310/500/510/520", "D1M2 "},
    {"Epson JX/LX colour", "F3C0 "},
    {"Epson JX/LX colour  (wide)", "F3C0 "},
    {"Epson LQ colour", "Q3C0 "},
    {"Epson LQ colour     (wide)", "Q3C0 "},
    {"", ""},
    {"HP LaserJet III/4L", "L1M22"},
    {"HP LaserJet 4/5 series", "41M22"},
    {"HP PaintJet XL 300", "33R1 "},
    {"HP DeskJet 550C/560C/660C", "D3C2 "},
    {"HP DeskJet 1200C/1600C", "D3C22"},
    {"HP DeskJet 540 colour", "53C2 "},
    {"HP DeskJet 540 mono", "51M2 "},
    {"HP Color LaserJet", "L3C22"},
    {"Epson Stylus", "21M1 "},
    {"Epson Stylus colour", "23C1 "},
    {"HP Color LaserJet 4500/8500", "43C22"},
}};

const std::array<PrinterClass, 13> kPrinterClasses{{
    {' ', 0, {0, 0, 0, 0}, 0, 0},
    {'M', 3, {240, 120, 60, 0}, 8, 23},
    {'F', 4, {240, 120, 90, 80}, 8, 23},
    {'S', 2, {160, 80, 0, 0}, 8, 22},
    {'X', 4, {360, 180, 120, 60}, 24, 29},
    {'Q', 4, {360, 180, 120, 90}, 24, 24},
    {'2', 3, {720, 360, 180, 0}, 1, 0},
    {'L', 4, {300, 150, 100, 75}, 1, 0},
    {'D', 4, {300, 150, 100, 75}, 1, 0},
    {'P', 2, {180, 90, 0, 0}, 1, 0},
    {'3', 4, {300, 150, 100, 75}, 1, 0},
    {'4', 4, {600, 300, 200, 150}, 1, 0},
    {'5', 3, {300, 150, 75, 0}, 1, 0},
}};

const std::array<PlotterModel, 11> kPlotterModels{{
    {"", ' ', 0, 0, 0, 0, 0},
    {"Generic HP-GL 4-pen plotter", 'U', 400, 10870, 7480, 1016, 4},
    {"HP 7475A A4 paper (6 pens)", 'H', 400, 11040, 7721, 1021, 6},
    {"HP 7475A A3 paper (6 pens)", 'H', 400, 16158, 11040, 1021, 6},
    {"Epson HI80/HP ROM (4 pens)", 'E', 400, 10900, 7650, 1016, 4},
    {"Facit 4550 A4     (6 pens)", 'F', 400, 10880, 7640, 1016, 6},
    {"HP 7440A A4 paper (8 pens)", 'H', 0, 10880, 7640, 1016, 8},
    {"HP 7550A A4 paper (8 pens)", 'H', 0, 10869, 7600, 1016, 8},
    {"HP 7550A A3 paper (8 pens)", 'H', 0, 15970, 10870, 1016, 8},
    {"Facit 4551 A4     (6 pens)", 'F', 400, 10960, 7480, 1016, 6},
    {"Facit 4551 A3     (6 pens)", 'F', 400, 15880, 10960, 1016, 6},
}};

const std::array<Hpgl2Device, 6> kHpgl2Devices{{
    {"", 0, 0, 0, 0},
    {"HP LaserJet III", 300, 10860, 7918, 2},
    {"HP DJet 1200C/1600C, Color LJet", 300, 10860, 7918, 256},
    {"HP LaserJet 4/5", 600, 10860, 7918, 2},
    {"HP DesignJet", 600, 15836, 10860, 256},
    {"HP Color LaserJet 4500/8500", 600, 10860, 7918, 256},
}};

const std::array<std::int32_t, 10> kPlotterListOrder{4, 5, 9, 10, 1, 6, 2, 3, 7, 8};
const std::array<std::int32_t, 36> kRasterPrinterListOrder{
    4,  5,  6,  23, 24, 25, 26, 17, 18, 7,  8,  36, 37, 35, 38, 14, 22, 21,
    34, 33, 31, 32, 10, 11, 28, 29, 13, 30, 2,  12, 15, 16, 19, 20, 3,  9};
const std::array<std::int32_t, 5> kHpgl2ListOrder{5, 4, 2, 1, 3};

DeviceModelState& CurrentDeviceModels() {
  static DeviceModelState state;
  return state;
}

namespace {

// The device models and the raster printer's limits as at start-up; part of
// the one reset for tests.
void ResetDeviceModels() {
  CurrentDeviceModels() = DeviceModelState{};
  CurrentRasterModelLimits() = RasterModelLimits{};
}
[[maybe_unused]] const bool kResetRegistered =
    RegisterToolkitReset(ToolkitLayer::Hardcopy, ResetDeviceModels);

}  // namespace

void RasterPrinterModelSet(int model) {
  DeviceModelState& s = CurrentDeviceModels();
  if (model >= kRasterModelFirst && model <= kRasterModelLast && model != kRasterModelNone) {
    s.rasterModel = model;
    s.rasterChosen = true;
  } else {
    s.rasterModel = kRasterModelDefault;
  }
  const std::string_view code = kRasterPrinterModels[static_cast<std::size_t>(s.rasterModel)].code;
  const std::size_t pos = kPrinterClassLetters.find(code[0]);
  const int cls = pos == std::string_view::npos ? 7 : static_cast<int>(pos) + 1;
  s.colourPlanes = code[1] - '0';
  const std::size_t kind = std::string_view("RC").find(code[2]);
  s.colourKind = kind == std::string_view::npos ? 0 : static_cast<int>(kind) + 1;
  s.option24Limit = code[3] - '0';
  if (!s.hpgl2Chosen && code[4] == '2') Hpgl2DeviceSet(0);

  const PrinterClass& pc = kPrinterClasses[static_cast<std::size_t>(cls)];
  s.pins = pc.pins;
  s.lineStep = cls <= 5 ? pc.lineStep : 23;
  s.resolutions = pc.resolutions;
  s.qualities = pc.qualities;
  s.printerClass = cls == 11 ? 7 : cls == 12 ? 8 : cls;

  RasterModelLimits& limits = CurrentRasterModelLimits();
  limits.qualities = s.qualities;
  limits.option24Limit = s.option24Limit;
}

void PlotterModelSet(int model) {
  DeviceModelState& s = CurrentDeviceModels();
  if (model >= 1 && model <= 10) {
    s.plotterModel = model;
    s.plotterChosen = true;
  } else if (model >= 11 && model <= 15) {
    s.hpgl2Device = model - 10;
    s.hpgl2Chosen = true;
    s.plotterModel = 1;
  } else {
    s.plotterModel = 1;
  }
}

void Hpgl2DeviceSet(int device) {
  DeviceModelState& s = CurrentDeviceModels();
  if (device >= 1 && device <= 5) {
    s.hpgl2Device = device;
    s.hpgl2Chosen = true;
    return;
  }
  switch (s.rasterModel) {
    case 32:
    case 35: s.hpgl2Device = 2; break;
    case 38: s.hpgl2Device = 5; break;
    case 29: s.hpgl2Device = 3; break;
    default: s.hpgl2Device = 1; break;
  }
}

void ApplyConfiguredDeviceModels(const HardcopyDeviceModels& models) {
  DeviceModelState& s = CurrentDeviceModels();
  s.hpgl2Device = 0;
  RasterPrinterModelSet(models.rasterPrinterModel);
  PlotterModelSet(models.plotterModel);
  if (!(models.hpgl2Device == 0 && s.hpgl2Device != 0)) Hpgl2DeviceSet(models.hpgl2Device);
  ScreenDumpDefaults(0);
}

ScreenDumpSettings& CurrentScreenDump() {
  static ScreenDumpSettings settings;
  return settings;
}

void ScreenDumpDefaults(int driver) {
  ScreenDumpSettings& d = CurrentScreenDump();
  d.driver = driver == 2 ? 2 : 10;
  if (d.driver == 2) {
    d.options[1] = 756;
    d.options[2] = 540;
    d.options[3] = 42;
    d.options[4] = -20;
    d.options[5] = 1;
    d.options[8] = 1;
    d.fileName = "parvdump.ps";
  } else {
    int colours = 0, status = 0;
    FpuGuardBegin();
    PrinterPageInfo(d.paperWidth, d.paperHeight, d.options[1], d.options[2], d.options[3],
                    d.options[4], d.options[5], d.options[8], colours, status);
    FpuGuardEnd();
    d.windowsPrinterAvailable = status == 0 ? 1 : 0;
    WindowsPrinterAvailable() = d.windowsPrinterAvailable;
    PrinterInstalled() = d.windowsPrinterAvailable;
  }
  d.options[7] = 1;
  d.options[6] = 0;
  d.options[13] = 0;
  d.options[20] = 0;
  d.options[19] = 3;
  d.options[24] = std::min(CurrentDeviceModels().option24Limit, 2);
}

void InfoDeviceName(std::int32_t kind, std::string& name) {
  const DeviceModelState& s = CurrentDeviceModels();
  std::string_view text;
  std::size_t need = 0;
  switch (kind) {
    case 1:
      text = kRasterPrinterModels[static_cast<std::size_t>(s.rasterModel)].name;
      need = kRasterNameLength;
      break;
    case 2:
      text = kPlotterModels[static_cast<std::size_t>(s.plotterModel)].name;
      need = kPlotterNameLength;
      break;
    case 3:
      if (s.hpgl2Device >= 1 && s.hpgl2Device <= 5)
        text = kHpgl2Devices[static_cast<std::size_t>(s.hpgl2Device)].name;
      need = kHpgl2NameLength;
      break;
    default: break;
  }
  const std::size_t size = name.size();
  name.assign(size, ' ');
  name.replace(0, std::min(size, text.size()), text.substr(0, std::min(size, text.size())));
  if (size < need) ReportLibraryError(kErrTextTooSmall, "InfoDeviceName");
}

}  // namespace tk
