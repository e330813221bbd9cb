// The known graph through the CGM file driver, read back by the tests' own
// CGM reader: the file is a well-formed metafile and its rendering puts the
// frame, ticks, series and red line where the drawing put them; file
// identification counts its pictures and reads its shape.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <string>

#include "../toolkit/graphics/GraphicsTestSupport.h"
#include "support/GraphDraw.h"
#include "support/PenPlot.h"
#include "tests/TestSupport.h"
#include "tests/support/KnownGraph.h"
#include "tests/toolkit/hardcopy/CgmDecoder.h"
#include "toolkit/graphics/GraphicsFileType.h"
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

// What identification reports of the metafiles the driver writes: a CGM,
// 1000 wide and as high as the picture's VDC extent makes it, with one
// picture per page. Pages of a few sizes, one beyond the largest VDC
// extent, which keeps its shape.
TEST_F(CgmKnownGraphTest, IdentificationCountsPicturesAndKeepsTheShape) {
  struct Case {
    int pages, width, height;  // option 0: the driver's default
  };
  for (const Case c : {Case{1, 0, 0}, Case{3, 0, 0}, Case{2, 500, 400}, Case{1, 400, 600},
                       Case{3, 4000, 3000}}) {
    SCOPED_TRACE(std::to_string(c.pages) + " pages of " + std::to_string(c.width) + " x " +
                 std::to_string(c.height));
    tk::HardcopyDriverSelect(O::Select, tk::kDriverCgm);
    if (c.width > 0) {
      tk::HardcopyOptionSet(1, c.width);
      tk::HardcopyOptionSet(2, c.height);
    }
    GraphAxes none;
    PLOTXY(1, 1, kPenStartPage, none);
    ASSERT_GT(tk::Gs().hardcopyOn, 0);
    for (int page = 1; page <= c.pages; ++page) {
      if (page > 1) tk::HardcopyDriverCall(O::EndPage);
      DrawKnownGraph();
    }
    tk::WHardcopySwitch("S");
    const std::string path = (dir.path() / "parvplot.cgm").string();
    const tk::testing::CgmRead r = tk::testing::DecodeCgm(::testing_support::ReadFile(path));
    ASSERT_TRUE(r.ok) << r.error;
    ASSERT_EQ(r.pictures, c.pages);
    if (c.width > 0) {
      // 600 units an inch, the longer side at most 32767.
      EXPECT_EQ(r.vdcWidth, c.width <= 3900 ? c.width * 600 / 72 : 32767);
    }
    std::array<std::int32_t, 6> info{};
    tk::GraphicsFileType(path, static_cast<int>(path.size()), info, 6);
    EXPECT_EQ(info, (std::array<std::int32_t, 6>{tk::kGfCgm, 1000, 1000 * r.vdcHeight / r.vdcWidth,
                                                 c.pages, -1, -1}));
  }
}

}  // namespace
}  // namespace sup::testing
