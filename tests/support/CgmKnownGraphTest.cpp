// The known graph through the CGM file driver, read back by the tests' own
// CGM reader: the file is a well-formed metafile and its rendering puts the
// frame, ticks, series and red line where the drawing put them.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "../toolkit/graphics/GraphicsTestSupport.h"
#include "support/GraphDraw.h"
#include "support/PenPlot.h"
#include "tests/TestSupport.h"
#include "tests/support/KnownGraph.h"
#include "tests/toolkit/hardcopy/CgmDecoder.h"
#include "toolkit/hardcopy/Cgm.h"
#include "toolkit/hardcopy/HardcopyOptions.h"
#include "toolkit/hardcopy/HardcopySwitch.h"

namespace sup::testing {
namespace {

using O = tk::DriverOperation;

class CgmKnownGraphTest : public tk::testing::GraphicsTest {
 protected:
  void SetUp() override {
    Open(kKnownGraphWidth, kKnownGraphHeight);
    PenPlotReset();
    PCLIPOFF();
    SetPenTextOutput({});
    tk::StandHardcopyDriver(tk::kDriverCgm, &driver);
    cwd = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
  }
  void TearDown() override {
    tk::WHardcopySwitch("S");
    std::filesystem::current_path(cwd);
    tk::HardcopyDriverSelect(O::Select, tk::kDefaultHardcopyDriver);
    GraphicsTest::TearDown();
  }

  tk::XXCGM driver;
  ::testing_support::TempDir dir;
  std::filesystem::path cwd;
};

TEST_F(CgmKnownGraphTest, FileIsWellFormedAndPlacesThePicture) {
  tk::HardcopyDriverSelect(O::Select, tk::kDriverCgm);
  GraphAxes none;
  PLOTXY(1, 1, kPenStartPage, none);
  ASSERT_GT(tk::Gs().hardcopyOn, 0);
  DrawKnownGraph();
  const float fx = tk::DriverParams().factorX, fy = tk::DriverParams().factorY;
  tk::WHardcopySwitch("S");
  const std::string bytes = ::testing_support::ReadFile(dir.path() / "parvplot.cgm");
  const tk::testing::CgmRead r = tk::testing::DecodeCgm(bytes);
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(r.pictures, 1);
  EXPECT_EQ(r.vdcWidth, 6300);
  EXPECT_EQ(r.vdcHeight, 4500);
  EXPECT_GT(r.Count(4, 1), 10);
  EXPECT_GE(r.Count(4, 5) + r.Count(4, 4), 1);
  const velloran::testing::GreyImage image =
      tk::testing::RenderCgm(r, kKnownGraphWidth, kKnownGraphHeight, fx, fy);
  PageSetup setup;
  setup.truncate = false;
  ExpectPicture(image, setup, 1, false);
}

}  // namespace
}  // namespace sup::testing
