#pragma once
// The HP-GL plotter and HP-GL/2 printer drivers at their numbers, a plot
// file in a temporary folder, and the file read back as records.
#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "tests/TestSupport.h"
#include "tests/toolkit/graphics/GraphicsTestSupport.h"
#include "toolkit/hardcopy/HardcopyOptions.h"
#include "toolkit/hardcopy/HardcopySwitch.h"
#include "toolkit/hardcopy/Hpgl.h"
#include "toolkit/hardcopy/Hpgl2.h"
#include "toolkit/hardcopy/ModelTables.h"
#include "toolkit/hardcopy/PlotFile.h"

namespace tk::testing {

/// The records of a plot file: split at CR LF, the last (empty) piece dropped.
inline std::vector<std::string> Records(const std::string& file) {
  std::vector<std::string> out;
  std::size_t at = 0;
  while (at < file.size()) {
    const std::size_t end = file.find("\r\n", at);
    if (end == std::string::npos) {
      out.push_back(file.substr(at));
      break;
    }
    out.push_back(file.substr(at, end - at));
    at = end + 2;
  }
  return out;
}

inline int CountRecords(const std::vector<std::string>& records, const std::string& text) {
  return static_cast<int>(std::count(records.begin(), records.end(), text));
}

/// Position of the first record equal to TEXT from FROM on, or -1.
inline int IndexOf(const std::vector<std::string>& records, const std::string& text, int from = 0) {
  for (int i = std::max(0, from); i < static_cast<int>(records.size()); ++i)
    if (records[static_cast<std::size_t>(i)] == text) return i;
  return -1;
}

class HpglDriverTest : public GraphicsTest {
 protected:
  void SetUp() override {
    GraphicsTest::SetUp();
    StandHardcopyDriver(kDriverHpgl, &plotter);
    StandHardcopyDriver(kDriverHpgl2, &printer);
    cwd = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
  }
  void TearDown() override {
    WHardcopySwitch("S");
    std::filesystem::current_path(cwd);
    CurrentDeviceModels() = DeviceModelState{};
    HardcopyDriverSelect(DriverOperation::Select, kDefaultHardcopyDriver);
    GraphicsTest::TearDown();
  }
  /// Selects plotter MODEL (driver 1).
  void SelectPlotter(int model) {
    PlotterModelSet(model);
    HardcopyDriverSelect(DriverOperation::Select, kDriverHpgl);
  }
  /// Selects HP-GL/2 device DEVICE (driver 12).
  void SelectPrinter(int device) {
    Hpgl2DeviceSet(device);
    HardcopyDriverSelect(DriverOperation::Select, kDriverHpgl2);
  }
  /// Starts output to "out.plt".
  void Begin(std::optional<std::string_view> title = std::nullopt) {
    WHardcopySwitch("out.plt", title);
  }
  /// Ends the output and reads the file's records.
  std::vector<std::string> End() {
    WHardcopySwitch("S");
    bytes = ::testing_support::ReadFile(dir.path() / "out.plt");
    return Records(bytes);
  }
  /// Sends OP with P2 to the hardcopy driver.
  static void Send(DriverOperation op, int P2 = 0) {
    DriverParams().P2 = P2;
    HardcopyDriverCall(op);
  }
  static void Corners(std::initializer_list<std::pair<float, float>> points) {
    DriverParameters& dp = DriverParams();
    int i = 0;
    for (auto [x, y] : points)
      dp.X[static_cast<std::size_t>(i)] = x, dp.Y[static_cast<std::size_t>(i++)] = y;
  }
  static void Line(float x0, float y0, float x1, float y1) {
    Corners({{x0, y0}, {x1, y1}});
    Send(DriverOperation::Line);
  }
  /// Sets the current colour N (the previous one becomes what was current).
  static void Colour(int n) { ColourDirectSet(n, PaletteGetRgb(n), n, 2); }

  XXHPGL plotter;
  XXHPGL2 printer;
  ::testing_support::TempDir dir;
  std::filesystem::path cwd;
  std::string bytes;
};

}  // namespace tk::testing
