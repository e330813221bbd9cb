// The known graph painted on the software raster page at every depth and
// dumped as a PBM or PPM: the frame, the ticks and the series lie where the
// page's factors put them.
#include <gtest/gtest.h>

#include "../toolkit/hardcopy/RasterTestSupport.h"
#include "support/GraphDraw.h"
#include "support/PenPlot.h"
#include "tests/RenderBack.h"
#include "tests/support/KnownGraph.h"
#include "toolkit/graphics/Drivers.h"
#include "toolkit/hardcopy/HardcopySwitch.h"
#include "toolkit/hardcopy/RasterPage.h"

namespace sup::testing {
namespace {

using O = tk::DriverOperation;

/// A page-configuring driver standing where an image writer would: it sizes
/// the page at begin, passes the drawing to the raster driver and keeps the
/// page after the output ends so that the test can read it.
class PageDriver : public tk::HardcopyDriver {
 public:
  int bits = 1;
  void Select() override {
    if (tk::DriverParams().P1 == -999) {
      tk::DriverParams().P1 = tk::kDriverBitImage;
      return;
    }
    tk::RasterDriver(O::Select);
    tk::DriverParams().driverNumber = tk::kDriverBitImage;
  }
  void Output(O op) override {
    if (op != O::BeginPicture) return;
    tk::DriverParameters& dp = tk::DriverParams();
    if (dp.P2 > 0) {
      tk::RasterPage& page = tk::CurrentRasterPage();
      page = tk::RasterPage{};
      page.bitsPerPixel = bits;
      page.planes = bits == 3 ? 3 : bits == 4 ? 4 : 1;
      page.width = 750;
      page.height = 600;
      page.resolutionX = page.resolutionY = 72;
      // White paper: the pen palette's white is colour 15, and colour 0 of
      // the 16-colour table at 4 bits; a 3-bit page prints inks (colour
      // kind "C"), so no ink is white.
      page.background = bits == 24 ? 0xFFFFFFFFu : bits == 8 ? 0x0F0F0F0Fu : 0u;
      page.colourKind = bits == 3 ? 2 : 0;
      ASSERT_TRUE(page.Allocate());
      page.usableWords = page.totalWords;
      tk::RasterDitherTables();
      dp.deviceColours = bits >= 8 ? 256 : 1 << bits;
    }
    dp.P2 = 0;  // no file: the page is the result
    tk::RasterDriver(O::BeginPicture);
    tk::RasterDriver(O::Clear);
  }
  void Draw(O op) override { tk::RasterDriver(op); }
  void Attribute(O op) override { tk::RasterDriver(op); }
  void Text(O op) override { tk::RasterDriver(op); }
};

class RasterKnownGraph : public tk::testing::GraphicsTest, public ::testing::WithParamInterface<int> {
 protected:
  void SetUp() override {
    Open(kKnownGraphWidth, kKnownGraphHeight);
    PenPlotReset();
    PCLIPOFF();
    SetPenTextOutput({});
    tk::StandHardcopyDriver(tk::kDriverBitImage, &driver);
  }
  void TearDown() override {
    tk::WHardcopySwitch("S");
    tk::StandHardcopyDriver(tk::kDriverBitImage, nullptr);
    tk::HardcopyDriverSelect(O::Select, tk::kDefaultHardcopyDriver);
    GraphicsTest::TearDown();
  }
  PageDriver driver;
};

TEST_P(RasterKnownGraph, FrameAndSeriesInPlace) {
  driver.bits = GetParam();
  tk::HardcopyDriverSelect(O::Select, tk::kDriverBitImage);
  std::string name = "unused";
  name.resize(tk::kHardcopyNameLength, ' ');
  tk::HardcopyFileName() = name;
  GraphAxes none;
  PLOTXY(1, 1, kPenStartPage, none);
  ASSERT_GT(tk::Gs().hardcopyOn, 0);
  DrawKnownGraph();
  tk::WHardcopySwitch("S");
  const tk::RasterPage& page = tk::CurrentRasterPage();
  const velloran::testing::GreyImage image = tk::testing::RasterPageImage(page);
  ASSERT_EQ(image.width, 750);
  const PageSetup setup{.factorX = 750.0 / kKnownGraphWidth, .factorY = 600.0 / kKnownGraphHeight};
  const KnownGraph& g = KnownGraphGeometry();
  const auto along = [&](const DeviceSegment& device) {
    const DeviceSegment s = PageOf(setup, device);
    EXPECT_TRUE(velloran::testing::DarkAlongSegment(image, s.a.x, image.height - 1 - s.a.y, s.b.x,
                                                    image.height - 1 - s.b.y, 1))
        << s.what;
  };
  for (const DeviceSegment& s : g.frame) along(s);
  for (const DeviceSegment& s : g.ticks) along(s);
  along(g.series);
  for (const DeviceBox& b : g.blank) {
    const DeviceBox p = PageOf(setup, b);
    EXPECT_TRUE(velloran::testing::RegionBlank(
        image, static_cast<int>(p.lowerLeft.x), static_cast<int>(image.height - 1 - p.lowerLeft.y),
        static_cast<int>(p.upperRight.x), static_cast<int>(image.height - 1 - p.upperRight.y)));
  }
}

INSTANTIATE_TEST_SUITE_P(Depths, RasterKnownGraph, ::testing::Values(1, 3, 4, 8, 24));

}  // namespace
}  // namespace sup::testing
