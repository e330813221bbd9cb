#pragma once
// The built-in tables of the device families the raster printer, HP-GL
// plotter and HP-GL/2 printer drivers serve, the current model of each
// family, the names shown to the user and the screen-dump defaults.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace tk {

struct HardcopyDeviceModels;

/// One raster printer model: a 27-character name and a five-character code
/// (class letter, colour planes digit, colour kind letter, option-24 limit
/// digit, "2" when the printer also understands HP-GL/2).
struct RasterPrinterModel {
  std::string_view name;
  std::string_view code;
};
inline constexpr int kRasterModelFirst = 2;
inline constexpr int kRasterModelLast = 38;
inline constexpr int kRasterModelNone = 27;  // a gap in the table, not a model
inline constexpr int kRasterModelDefault = 28;
/// Indexed by model number 0-38 (0, 1 and 27 are empty).
extern const std::array<RasterPrinterModel, 39> kRasterPrinterModels;

/// One printer class: print qualities, resolutions, pins and line step.
struct PrinterClass {
  char letter;
  std::int32_t qualities;
  std::array<std::int32_t, 4> resolutions;
  std::int32_t pins;
  std::int32_t lineStep;  // 1/216 inch per pass; 0 for non dot-matrix classes
};
inline constexpr std::string_view kPrinterClassLetters = "MFSXQ2LDP345";
/// Indexed by class 1-12 (0 is empty).
extern const std::array<PrinterClass, 13> kPrinterClasses;

/// One pen plotter model (lengths in plotter units).
struct PlotterModel {
  std::string_view name;
  char type;  // position in "UEFH" selects the driver's capability variant
  std::int32_t xMin, xMax, yMax, unitsPerInch, pens;
};
inline constexpr std::string_view kPlotterTypeLetters = "UEFH";
/// Indexed by model number 1-10 (0 is empty).
extern const std::array<PlotterModel, 11> kPlotterModels;

/// One HP-GL/2 device (plot area in units of 1016 per inch).
struct Hpgl2Device {
  std::string_view name;
  std::int32_t resolution;
  std::int32_t plotLong, plotShort;
  std::int32_t colours;  // 2: black and white
};
/// Indexed by device number 1-5 (0 is empty).
extern const std::array<Hpgl2Device, 6> kHpgl2Devices;

/// Order of the entries in the device option dialog's lists.
extern const std::array<std::int32_t, 10> kPlotterListOrder;
extern const std::array<std::int32_t, 36> kRasterPrinterListOrder;
extern const std::array<std::int32_t, 5> kHpgl2ListOrder;

inline constexpr std::size_t kRasterNameLength = 27;
inline constexpr std::size_t kPlotterNameLength = 27;
inline constexpr std::size_t kHpgl2NameLength = 31;

/// The current device state of the three families.
struct DeviceModelState {
  std::int32_t rasterModel = kRasterModelDefault;
  std::int32_t plotterModel = 1;
  std::int32_t hpgl2Device = 0;  // 0 until derived or chosen
  bool rasterChosen = false;
  bool plotterChosen = false;
  bool hpgl2Chosen = false;
  std::int32_t printerClass = 7;  // 11 and 12 are stored as 7 and 8
  std::int32_t colourPlanes = 1;
  std::int32_t colourKind = 0;  // 0 none, 1 "R", 2 "C"
  std::int32_t option24Limit = 2;
  std::array<std::int32_t, 4> resolutions{300, 150, 100, 75};
  std::int32_t qualities = 4;
  std::int32_t pins = 1;
  std::int32_t lineStep = 23;
};
DeviceModelState& CurrentDeviceModels();

/// Chooses the raster printer model; anything but 2-38 other than 27 gives 28.
void RasterPrinterModelSet(int model);
/// Chooses the plotter model 1-10; 11-15 choose HP-GL/2 device model-10 and
/// plotter 1; anything else gives plotter 1.
void PlotterModelSet(int model);
/// Chooses HP-GL/2 device 1-5; any other value derives it from the raster model.
void Hpgl2DeviceSet(int device);

/// Applies the configured PRINTER, PLOTTER and HPGL2 values in start-up order:
/// the HP-GL/2 device is cleared, the raster and plotter models are set, then
/// HPGL2 unless it is 0 and a device has already been set; then the
/// screen-dump defaults for driver 0.
void ApplyConfiguredDeviceModels(const HardcopyDeviceModels& models);

/// Settings used when the screen image is printed: a driver and options 1-24.
struct ScreenDumpSettings {
  std::int32_t driver = 10;
  std::array<std::int32_t, 25> options{};  // [1]..[24]
  std::int32_t paperWidth = 0;
  std::int32_t paperHeight = 0;
  std::int32_t windowsPrinterAvailable = 0;
  std::string fileName;  // the dump file name
};
ScreenDumpSettings& CurrentScreenDump();
/// Fills the screen-dump settings: PostScript when DRIVER is 2, else the
/// Windows printer.
void ScreenDumpDefaults(int driver = 0);

/// NAME (its size is its declared length) := the name of the current model of
/// family KIND (1 raster printer, 2 plotter, 3 HP-GL/2 device; else blank),
/// blank-padded or cut. A NAME shorter than the family's name length reports
/// 1023 under "InfoDeviceName".
void InfoDeviceName(std::int32_t kind, std::string& name);

}  // namespace tk
