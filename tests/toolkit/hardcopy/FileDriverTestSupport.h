#pragma once
// A fixture for the drivers that write text files: stands one driver, sends
// it operations as the graphics core would with hardcopy output on, and reads
// the file back as records (CR LF ended).
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/TestSupport.h"
#include "tests/toolkit/graphics/GraphicsTestSupport.h"
#include "toolkit/graphics/Drivers.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/hardcopy/HardcopyOptions.h"

namespace tk::testing {

class FileDriverTest : public GraphicsTest {
 protected:
  /// Opens a WIDTH x HEIGHT drawable, stands DRIVER at NUMBER and selects it.
  void StandAndSelect(HardcopyDriver& driver, int number, int width, int height) {
    Open(width, height);
    number_ = number;
    StandHardcopyDriver(number, &driver);
    DriverParams().P1 = 0;
    DriverParams().P2 = 0;
    HardcopyDriverSelect(DriverOperation::Select, number);
  }
  void TearDown() override {
    if (Gs().hardcopyOn) Send(DriverOperation::EndOutput);
    StandHardcopyDriver(number_, nullptr);
    HardcopyDriverSelect(DriverOperation::Select, kDefaultHardcopyDriver);
    GraphicsTest::TearDown();
  }
  /// Operation 18 with the output named NAME in the temporary folder.
  void Begin(const std::string& name = "out.txt") {
    path = (dir / name).string();
    std::string text = path;
    text.resize(kDriverTextLength, ' ');
    DriverParams().text = text;
    DriverParams().P2 = 1;
    DriverParams().KX[0] = 0;
    Gs().hardcopyOn = 1;
    Send(DriverOperation::BeginPicture);
  }
  void Send(DriverOperation op) { HardcopyDriverCall(op); }
  /// Operation 19, then the whole file.
  std::string EndBytes() {
    Send(DriverOperation::EndOutput);
    Gs().hardcopyOn = 0;
    return ::testing_support::ReadFile(path);
  }
  /// Operation 19, then the records without their CR LF.
  std::vector<std::string> End() { return Records(EndBytes()); }
  static std::vector<std::string> Records(const std::string& bytes) {
    std::vector<std::string> out;
    std::size_t at = 0;
    while (at < bytes.size()) {
      const std::size_t end = bytes.find("\r\n", at);
      if (end == std::string::npos) {
        out.push_back(bytes.substr(at));
        break;
      }
      out.push_back(bytes.substr(at, end - at));
      at = end + 2;
    }
    return out;
  }
  static int CountOf(const std::vector<std::string>& records, const std::string& r) {
    return static_cast<int>(std::count(records.begin(), records.end(), r));
  }
  static std::ptrdiff_t IndexOf(const std::vector<std::string>& records, const std::string& r,
                                std::size_t from = 0) {
    for (std::size_t i = from; i < records.size(); ++i)
      if (records[i] == r) return static_cast<std::ptrdiff_t>(i);
    return -1;
  }
  /// The records after the first one equal to MARK.
  static std::vector<std::string> After(const std::vector<std::string>& records, const std::string& mark) {
    const auto i = IndexOf(records, mark);
    if (i < 0) return {};
    return {records.begin() + i + 1, records.end()};
  }
  void Line(float x1, float y1, float x2, float y2) {
    DriverParameters& dp = DriverParams();
    dp.X[0] = x1, dp.Y[0] = y1, dp.X[1] = x2, dp.Y[1] = y2;
    Send(DriverOperation::Line);
  }
  void SetText(const std::string& s) {
    DriverParameters& dp = DriverParams();
    dp.text = s;
    dp.text.resize(kDriverTextLength, ' ');
    dp.KX[0] = static_cast<int>(std::min<std::size_t>(s.size(), kDriverTextLength));
  }

  ::testing_support::TempDir dir;
  std::string path;
  int number_ = 0;
};

}  // namespace tk::testing
