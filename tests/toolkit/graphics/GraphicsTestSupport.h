#pragma once
// A headless drawing target for the graphics tests: window 0 is a memory
// surface, and every screen operation can be recorded on the way.
#include <gtest/gtest.h>

#include <vector>

#include "toolkit/core/Errors.h"
#include "toolkit/graphics/Colours.h"
#include "toolkit/graphics/Drivers.h"
#include "toolkit/graphics/Graphics.h"
#include "toolkit/graphics/Lines.h"
#include "toolkit/graphics/ScreenDriver.h"

#include "toolkit/graphics/WindowTargets.h"

namespace tk::testing {

inline constexpr plat::Pixel kWhitePixel = plat::Rgb(255, 255, 255);
inline constexpr plat::Pixel kBlackPixel = plat::Rgb(0, 0, 0);

class GraphicsTest : public ::testing::Test {
 protected:
  /// Makes window 0 a WIDTH x HEIGHT white surface and resets the state on it.
  void Open(int width, int height, int displayColours = 1 << 24) {
    surface.Resize(width, height);
    surface.Fill(kWhitePixel);
    GraphicsTargets t;
    t.currentWindow = [] { return 0; };
    t.selectWindow = [this](int n) -> std::optional<SurfaceBinding> {
      if (n != 0) {
        ReportLibraryError(1003, "YYWINSEL");
        return std::nullopt;
      }
      return SurfaceBinding{&surface, {}, {surface.Width(), surface.Height()}};
    };
    t.peekWindow = t.selectWindow;
    SetGraphicsTargets(t);
    ResetErrorState();
    RegisterMemoryRecorder({});
    for (int n = 1; n <= 12; ++n) RegisterHardcopyDriver(n, {});
    GraphicsStart(displayColours);
    PaletteLoadDefault();
    IGrStateReset();
  }
  void SetUp() override { Open(100, 80); }
  void TearDown() override {
    Gs().hardcopyOn = 0;
    Gs().memoryRecorderOn = 0;
    for (int n = 1; n <= 12; ++n) RegisterHardcopyDriver(n, {});
    RegisterMemoryRecorder({});
    ScreenSeams() = {};
    // Back to the window table's targets: ours point into this fixture.
    GraphicsConnectWindows();
  }

  /// Number of pixels that differ from white.
  int CountSet() const {
    int n = 0;
    for (plat::Pixel p : surface.Pixels()) n += p != kWhitePixel;
    return n;
  }
  /// Pixel at device column X and row Y counted from the bottom.
  plat::Pixel At(int x, int y) const { return surface.Get(x, surface.Height() - 1 - y); }

  /// Records the hardcopy operations (driver 10 with hardcopy output on).
  void RecordHardcopy() {
    RegisterHardcopyDriver(10, [this](DriverOperation& op) {
      hardcopyOps.push_back(op);
      hardcopyP2.push_back(DriverParams().P2);
    });
    Gs().hardcopyOn = 1;
  }
  /// Counts of one operation in a record.
  static int Count(const std::vector<DriverOperation>& ops, DriverOperation op) {
    return static_cast<int>(std::count(ops.begin(), ops.end(), op));
  }

  plat::Surface surface;
  std::vector<DriverOperation> hardcopyOps;
  std::vector<int> hardcopyP2;
};

}  // namespace tk::testing
