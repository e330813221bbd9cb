// The driver block and the dispatch of operations to the drivers.
#include "toolkit/graphics/Drivers.h"

#include <array>

#include "toolkit/core/ToolkitState.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/ScreenDriver.h"

namespace tk {
namespace {

struct Dispatch {
  int number = kDefaultHardcopyDriver;
  std::array<DriverEntry, 13> drivers;  // 1-12
  DriverEntry recorder;
};

Dispatch& TheDispatch() {
  static Dispatch d;
  return d;
}

}  // namespace

std::string_view ToString(DriverOperation op) {
  static constexpr std::array<std::string_view, 41> kNames{"?",
                                                           "Select",
                                                           "Line",
                                                           "Colour",
                                                           "EllipseOutline",
                                                           "EllipseHalftone",
                                                           "EllipseSolid",
                                                           "TrapeziumHalftone",
                                                           "TrapeziumSolid",
                                                           "RectangleHalftone",
                                                           "RectangleSolid",
                                                           "TriangleHalftone",
                                                           "TriangleSolid",
                                                           "PieHalftone",
                                                           "PieSolid",
                                                           "PolygonHalftone",
                                                           "PolygonSolid",
                                                           "Clear",
                                                           "BeginPicture",
                                                           "EndOutput",
                                                           "EndPage",
                                                           "CharacterSize",
                                                           "Text",
                                                           "AreaCopy",
                                                           "ClipRectangle",
                                                           "TextWidth",
                                                           "Point",
                                                           "PlotMode",
                                                           "PaletteEntry",
                                                           "LineType",
                                                           "LineWidth",
                                                           "ReadPixel",
                                                           "Polyline",
                                                           "TextAngle",
                                                           "Arc",
                                                           "PaletteReload",
                                                           "LineJoin",
                                                           "LineCap",
                                                           "Image",
                                                           "MetafileHeader",
                                                           "SoftwareFill"};
  const int i = static_cast<int>(op);
  return (i >= 1 && i <= 40) ? kNames[i] : kNames[0];
}

DriverParameters& DriverParams() {
  static DriverParameters p;
  return p;
}

std::uint8_t* RasterRowBuffer() {
  return reinterpret_cast<std::uint8_t*>(DriverParams().pointX.data());
}

std::string& DriverText() {
  return DriverParams().text;
}

std::string& HardcopyFileName() {
  static std::string name(kHardcopyNameLength, ' ');
  return name;
}

std::string& HardcopyTitle() {
  static std::string title(kHardcopyTitleLength, ' ');
  return title;
}

void DispatchDriverOperation(HardcopyDriver& driver, DriverOperation op) {
  using O = DriverOperation;
  switch (op) {
    case O::Select:
      driver.Select();
      break;
    case O::BeginPicture:
    case O::EndOutput:
    case O::EndPage:
      driver.Output(op);
      break;
    case O::Line:
    case O::EllipseOutline:
    case O::EllipseHalftone:
    case O::EllipseSolid:
    case O::TrapeziumHalftone:
    case O::TrapeziumSolid:
    case O::RectangleHalftone:
    case O::RectangleSolid:
    case O::TriangleHalftone:
    case O::TriangleSolid:
    case O::PieHalftone:
    case O::PieSolid:
    case O::PolygonHalftone:
    case O::PolygonSolid:
    case O::Clear:
    case O::Point:
    case O::ReadPixel:
    case O::Polyline:
    case O::Arc:
    case O::Image:
    case O::SoftwareFill:
      driver.Draw(op);
      break;
    case O::Colour:
    case O::ClipRectangle:
    case O::PlotMode:
    case O::PaletteEntry:
    case O::LineType:
    case O::LineWidth:
    case O::TextAngle:
    case O::PaletteReload:
    case O::LineJoin:
    case O::LineCap:
      driver.Attribute(op);
      break;
    case O::CharacterSize:
    case O::Text:
    case O::TextWidth:
      driver.Text(op);
      break;
    case O::AreaCopy:
    case O::MetafileHeader:
      break;
  }
}

void ScreenDriverCall(DriverOperation op) {
  if (Gs().memoryRecorderOn) {
    if (const DriverEntry& r = TheDispatch().recorder) r(op);
    return;
  }
  YYGAPI(op);
}

void HardcopyDriverCall(DriverOperation op) {
  if (Gs().hardcopyOn > 0) HardcopyDriverSwitch(op);
}

void HardcopyOutputEnd() {
  DriverParameters& dp = DriverParams();
  if (dp.pageDirty) {
    dp.P1 = 1;
    dp.P2 = 32;
    HardcopyDriverCall(DriverOperation::EndPage);
  }
  HardcopyDriverCall(DriverOperation::EndOutput);
  Gs().hardcopyOn = 0;
}

void HardcopyDriverSwitch(DriverOperation op) {
  const Dispatch& d = TheDispatch();
  if (d.number < 1 || d.number > 12 || d.number == 5 || d.number == 7) return;
  if (const DriverEntry& e = d.drivers[d.number]) e(op);
}

void HardcopyDriverSelect(DriverOperation op, int n) {
  if (op != DriverOperation::Select) return;
  TheDispatch().number = n;
  HardcopyDriverSwitch(op);
}

int HardcopyDispatchNumber() {
  return TheDispatch().number;
}

void RegisterHardcopyDriver(int number, DriverEntry entry) {
  if (number >= 1 && number <= 12) TheDispatch().drivers[number] = std::move(entry);
}

void StandHardcopyDriver(int number, HardcopyDriver* driver) {
  if (driver == nullptr) {
    RegisterHardcopyDriver(number, DriverEntry{});
    return;
  }
  RegisterHardcopyDriver(number,
                         [driver](DriverOperation& op) { DispatchDriverOperation(*driver, op); });
}

void RegisterMemoryRecorder(DriverEntry entry) {
  TheDispatch().recorder = std::move(entry);
}

void ResetDriverDispatch() {
  TheDispatch().number = kDefaultHardcopyDriver;
  DriverParams().driverNumber = 0;
}

namespace {
// Part of the one reset for tests.
[[maybe_unused]] const bool kResetRegistered = RegisterToolkitReset(ToolkitLayer::Graphics, ResetDriverDispatch);
}  // namespace

}  // namespace tk
