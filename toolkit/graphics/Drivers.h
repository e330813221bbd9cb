#pragma once
// The driver interface of the graphics layer: the operation codes every
// output device understands, the one block through which their operands and
// results travel, and the dispatch of an operation to the screen driver and
// to the selected hardcopy driver.
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace tk {

/// The operations of a graphics driver.
enum class DriverOperation : int {
  Select = 1,
  Line = 2,
  Colour = 3,
  EllipseOutline = 4,
  EllipseHalftone = 5,
  EllipseSolid = 6,
  TrapeziumHalftone = 7,
  TrapeziumSolid = 8,
  RectangleHalftone = 9,
  RectangleSolid = 10,
  TriangleHalftone = 11,
  TriangleSolid = 12,
  PieHalftone = 13,
  PieSolid = 14,
  PolygonHalftone = 15,
  PolygonSolid = 16,
  Clear = 17,
  BeginPicture = 18,
  EndOutput = 19,
  EndPage = 20,
  CharacterSize = 21,
  Text = 22,
  AreaCopy = 23,
  ClipRectangle = 24,
  TextWidth = 25,
  Point = 26,
  PlotMode = 27,
  PaletteEntry = 28,
  LineType = 29,
  LineWidth = 30,
  ReadPixel = 31,
  Polyline = 32,
  TextAngle = 33,
  Arc = 34,
  PaletteReload = 35,
  LineJoin = 36,
  LineCap = 37,
  Image = 38,
  MetafileHeader = 39,
  SoftwareFill = 40,
};

/// True for the six halftone fills (ellipse, trapezium, rectangle, triangle,
/// pie, polygon), which the hardcopy drivers hand to one fill routine.
constexpr bool IsHalftoneFill(DriverOperation op) {
  switch (op) {
    case DriverOperation::EllipseHalftone:
    case DriverOperation::TrapeziumHalftone:
    case DriverOperation::RectangleHalftone:
    case DriverOperation::TriangleHalftone:
    case DriverOperation::PieHalftone:
    case DriverOperation::PolygonHalftone:
      return true;
    default:
      return false;
  }
}

/// The operation's name, for test failures and logs.
std::string_view ToString(DriverOperation op);

inline constexpr int kDriverMaxPoints = 5000;
inline constexpr int kDriverTextLength = 260;
inline constexpr int kCapabilityLength = 29;

/// The block shared by the graphics core and every driver. Coordinates are
/// device units of the current drawable, y up; KX/KY are the truncations of
/// X/Y or integer operands. Arrays are indexed 0-3 for the design's 1-4.
/// Per-output pairs are indexed 0 for the screen (current drawable) and 1
/// for the hardcopy device.
struct DriverParameters {
  /// True (-1) once a hardcopy driver has drawn on the page; cleared by
  /// operation 20 and by the graphics-state reset.
  std::int32_t pageDirty = 0;
  /// 1 when the driver's output file may be handed to a print command.
  std::int32_t spoolCapable = 0;
  std::int32_t recordLeadIn = 2;
  std::int32_t penCount = 0;
  std::int32_t rasterPlanes = 0;
  std::int32_t rasterQuality = 0;
  float factorX = 1.0f;
  float factorY = 1.0f;
  float penLastX = -9999.0f;
  float penLastY = -9999.0f;
  std::int32_t resolutionX = 0;
  std::int32_t resolutionY = 0;
  std::int32_t deviceUnderline = 0;
  std::int32_t deviceStringText = 0;
  std::int32_t P1 = 0;
  std::int32_t P2 = 0;
  std::array<float, 4> X{};
  std::array<float, 4> Y{};
  std::array<std::int32_t, 4> KX{};
  std::array<std::int32_t, 4> KY{};
  /// pointY follows pointX in storage: together they are the 40000-byte
  /// raster row buffer of the plot-file layer (RasterRowBuffer()).
  std::array<float, kDriverMaxPoints> pointX{};
  std::array<float, kDriverMaxPoints> pointY{};
  std::string text = std::string(kDriverTextLength, ' ');
  std::array<std::string, 2> capabilities{std::string(kCapabilityLength, '0'),
                                          std::string(kCapabilityLength, '0')};
  std::int32_t deviceColours = 2;
  std::int32_t driverNumber = 0;
  float fillLineSpacing = 1.0f;
  std::array<std::int32_t, 2> gradientFill{1, 1};
  std::array<std::int32_t, 2> trueColour{1, 0};
  std::array<std::int32_t, 2> platformLevel{2, 2};
  std::array<std::int32_t, 2> textAngles{360, 360};
  std::array<float, 2> deviceTextMaximum{1.7e38f, 1.7e38f};
  /// Vertex count of the software fill (operation 40).
  std::int32_t softwareFillCount = 0;
};

/// The one block of the process.
DriverParameters& DriverParams();

inline constexpr int kRasterRowBytes = 2 * kDriverMaxPoints * static_cast<int>(sizeof(float));
/// The storage of pointX followed by pointY, as one byte buffer.
std::uint8_t* RasterRowBuffer();

inline constexpr int kHardcopyNameLength = 260;
inline constexpr int kHardcopyTitleLength = 200;
/// The text operand of operations 22, 25, 18 and 38 (260 characters).
std::string& DriverText();
/// The driver's default or the chosen output name (260 characters).
std::string& HardcopyFileName();
/// The optional document title (200 characters).
std::string& HardcopyTitle();

/// Numbers of the hardcopy drivers (5 and 7 have none).
enum HardcopyDriverNumber : std::int32_t {
  kDriverNone = 0,
  kDriverHpgl = 1,
  kDriverPostScript = 2,
  kDriverSvg = 3,
  kDriverRasterPrinter = 4,
  kDriverBitImage = 6,
  kDriverDxf = 8,
  kDriverCgm = 9,
  kDriverWindowsPrinter = 10,
  kDriverWindowsMetafile = 11,
  kDriverHpgl2 = 12,
};

/// A hardcopy driver: one method per group of operations. The dispatcher
/// (DispatchDriverOperation) switches every code onto one of them; a driver
/// ignores the codes of a group it does not carry out.
class HardcopyDriver {
 public:
  virtual ~HardcopyDriver() = default;
  /// Operation 1: the probe (P1 = -999) or the full select.
  virtual void Select() = 0;
  /// Operations 18 (begin or resize), 19 (end output), 20 (end page).
  virtual void Output(DriverOperation op) = 0;
  /// Drawing: 2, 5-16, 17, 26, 31, 32, 34, 38, 40.
  virtual void Draw(DriverOperation op) = 0;
  /// Attributes: 3, 24, 27-30, 33, 35-37.
  virtual void Attribute(DriverOperation op) = 0;
  /// Text: 21, 22, 25.
  virtual void Text(DriverOperation op) = 0;
};

/// Switches OP onto the method of DRIVER that carries out its group; codes
/// outside 1-40 and codes for the screen only (23, 39) do nothing.
void DispatchDriverOperation(HardcopyDriver& driver, DriverOperation op);

/// A driver's entry: one operation code, operands in DriverParams().
using DriverEntry = std::function<void(DriverOperation& op)>;

inline constexpr int kDefaultHardcopyDriver = 10;

/// Sends OP to the memory-metafile recorder while it is the drawing target,
/// otherwise to the screen driver (which ignores it while screen output is off).
void ScreenDriverCall(DriverOperation op);
/// Sends OP to the selected hardcopy driver while hardcopy output is on.
void HardcopyDriverCall(DriverOperation op);
/// Ends hardcopy output: the page when one is drawn on, then the output;
/// hardcopy output is off afterwards.
void HardcopyOutputEnd();
/// Calls the driver whose number is the dispatch number (1-12; 5, 7 and
/// numbers without a registered driver do nothing).
void HardcopyDriverSwitch(DriverOperation op);
/// For OP select, makes N the dispatch number first; then as HardcopyDriverSwitch.
void HardcopyDriverSelect(DriverOperation op, int n);

/// The current dispatch number (10 at start-up).
int HardcopyDispatchNumber();
/// Installs (or with an empty entry removes) hardcopy driver NUMBER 1-12.
/// Until the hardcopy drivers register here, hardcopy dispatch does nothing.
void RegisterHardcopyDriver(int number, DriverEntry entry);
/// Stands DRIVER (not owned; null removes it) at NUMBER 1-12: the drivers
/// register themselves here, and tests stand a recording driver.
void StandHardcopyDriver(int number, HardcopyDriver* driver);
/// Installs the memory-metafile recorder that receives the screen
/// operations while a memory-CGM slot is the drawing target.
void RegisterMemoryRecorder(DriverEntry entry);
/// Resets the dispatch to its start-up state (number 10, no drivers kept
/// registered are removed).
void ResetDriverDispatch();

}  // namespace tk
