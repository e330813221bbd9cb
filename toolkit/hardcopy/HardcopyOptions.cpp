// The hardcopy option table and its acceptance rules.
#include "toolkit/hardcopy/HardcopyOptions.h"

#include <algorithm>
#include <array>
#include <string>
#include <string_view>

#include "toolkit/graphics/Drivers.h"
#include "toolkit/graphics/GraphicsState.h"

namespace tk {
namespace {

struct OptionTable {
  std::array<std::int32_t, kHardcopyOptionCount + 1> main{};  // 1-29
  std::array<std::int32_t, kHardcopyStoredLast - kHardcopyStoredFirst + 1> stored{80, 60, 1, 999999,
                                                                                  1,  0,  0, 8};
};

OptionTable& Table() {
  static OptionTable t;
  return t;
}

std::int32_t* Slot(int code) {
  if (code >= 1 && code <= kHardcopyOptionCount) return &Table().main[code];
  if (code >= kHardcopyStoredFirst && code <= kHardcopyStoredLast)
    return &Table().stored[code - kHardcopyStoredFirst];
  return nullptr;
}

bool InRange(int v, int lo, int hi) {
  return v >= lo && v <= hi;
}

}  // namespace

std::string_view HardcopyOptionExtension(int code, int value) {
  if (code == 22) return value != 0 ? ".eps" : ".ps";
  if (code == 26) return value == 1 || value == 2 ? ".bmp" : value == 3 ? ".png" : ".pcx";
  return {};
}

bool ReplaceNameExtension(std::string& name, std::string_view extension) {
  const std::size_t end = name.find_last_not_of(' ');
  if (end == std::string::npos) return false;
  const std::size_t dot = name.rfind('.', end);
  const std::size_t sep = name.find_last_of("/\\", end);
  std::size_t at = end + 1;
  if (dot != std::string::npos && (sep == std::string::npos || dot > sep)) at = dot;
  std::string result = name.substr(0, at);
  result += extension;
  if (result.size() > name.size()) return false;  // would not fit
  result.resize(name.size(), ' ');
  name = std::move(result);
  return true;
}

bool HardcopyOptionCodeValid(int code) {
  return Slot(code) != nullptr;
}

std::int32_t HardcopyOption(int code) {
  const std::int32_t* s = Slot(code);
  return s ? *s : 0;
}

void HardcopyOptionStore(int code, std::int32_t value) {
  if (std::int32_t* s = Slot(code)) *s = value;
  if (code == 9) Gs().hardcopyLineWidth = value;
}

RasterModelLimits& CurrentRasterModelLimits() {
  static RasterModelLimits limits;
  return limits;
}

void HardcopyOptionSet(int code, int value) {
  if (!HardcopyOptionCodeValid(code)) return;
  const int driver = DriverParams().driverNumber;
  switch (code) {
    case 1:
    case 2:
      if (value >= 1) HardcopyOptionStore(code, value);
      return;
    case 5: {
      if (!InRange(value, 0, 3)) return;
      HardcopyOptionStore(5, value % 2);
      const std::int32_t a = HardcopyOption(1), b = HardcopyOption(2);
      if (value == 2) {
        HardcopyOptionStore(1, std::min(a, b));
        HardcopyOptionStore(2, std::max(a, b));
      } else if (value == 3) {
        HardcopyOptionStore(1, std::max(a, b));
        HardcopyOptionStore(2, std::min(a, b));
      }
      return;
    }
    case 6:
      if (InRange(value, 0, 2)) HardcopyOptionStore(code, value);
      return;
    case 8:
    case 9:
      HardcopyOptionStore(code, std::max(value, 1));
      if (code == 9) HardcopyDriverCall(DriverOperation::LineWidth);
      return;
    case 10:
    case 11:
      if (!InRange(value, 0, 2)) return;
      HardcopyOptionStore(code, value);
      HardcopyDriverCall(code == 10 ? DriverOperation::LineJoin : DriverOperation::LineCap);
      return;
    case 12:
      HardcopyOptionStore(code, std::max(value, 100));
      return;
    case 13:
      if (InRange(value, 1, CurrentRasterModelLimits().qualities)) {
        HardcopyOptionStore(code, value);
        DriverParams().rasterQuality = value;
      }
      return;
    case 14:
      return;
    case 16:
      if (InRange(value, 10, 255)) HardcopyOptionStore(code, value);
      return;
    case 21:
      if (InRange(value, 1, 127)) HardcopyOptionStore(code, value);
      return;
    case 22:
      HardcopyOptionStore(code, value);
      if (driver == kDriverPostScript)
        (void)ReplaceNameExtension(HardcopyFileName(), HardcopyOptionExtension(22, value));
      return;
    case 23: {
      const bool ok =
          (driver == kDriverBitImage && (value == 1 || value == 4 || value == 8 || value == 24)) ||
          (driver == kDriverDxf && (value == 3 || value == 4 || value == 8));
      if (ok) HardcopyOptionStore(code, value);
      return;
    }
    case 24:
      if (InRange(value, 0, CurrentRasterModelLimits().option24Limit))
        HardcopyOptionStore(code, value);
      return;
    case 26:
      HardcopyOptionStore(code, value);
      if (driver == kDriverBitImage)
        (void)ReplaceNameExtension(HardcopyFileName(), HardcopyOptionExtension(26, value));
      return;
    case 101:
    case 102:
    case 103:
    case 104:
    case 108:
      if (value >= 1) HardcopyOptionStore(code, value);
      return;
    case 105:
      if (InRange(value, 1, 4)) HardcopyOptionStore(code, value);
      return;
    default:  // 3, 4, 7, 15, 17-20, 25, 27-29, 106, 107: any value
      HardcopyOptionStore(code, value);
      return;
  }
}

void HardcopyOptionsReset() {
  static constexpr std::array<std::array<std::int32_t, 2>, 15> kSelect{{{6, 0},
                                                                        {7, 0},
                                                                        {8, 1},
                                                                        {9, 5},
                                                                        {10, 0},
                                                                        {11, 0},
                                                                        {17, 0},
                                                                        {101, 80},
                                                                        {102, 60},
                                                                        {103, 1},
                                                                        {104, 999999},
                                                                        {105, 1},
                                                                        {106, 0},
                                                                        {107, 0},
                                                                        {108, 8}}};
  for (const auto& [code, value] : kSelect) HardcopyOptionStore(code, value);
}

void HardcopySelectForReset(bool keep) {
  DriverParameters& dp = DriverParams();
  std::array<std::int32_t, kHardcopyOptionCount + 1> kept{};
  std::array<std::int32_t, kHardcopyStoredLast - kHardcopyStoredFirst + 1> keptStored{};
  std::string keptName;
  if (keep) {
    kept = Table().main;
    keptStored = Table().stored;
    keptName = HardcopyFileName();
  }
  // The table only: the line width the graphics state draws with stays until
  // a driver sets option 9.
  Table().main.fill(0);
  dp.P1 = 0;
  dp.P2 = keep ? -998 : 0;
  HardcopyDriverSwitch(DriverOperation::Select);
  dp.P2 = 0;
  if (!keep) return;
  HardcopyFileName() = keptName;
  for (int code = 1; code <= kHardcopyOptionCount; ++code) HardcopyOptionSet(code, kept[code]);
  for (int code = kHardcopyStoredFirst; code <= kHardcopyStoredLast; ++code)
    HardcopyOptionSet(code, keptStored[code - kHardcopyStoredFirst]);
}

}  // namespace tk
