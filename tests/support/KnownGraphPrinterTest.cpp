// The known graph printed on the system printer through a fake lp:
// ghostscript renders the document handed over, and the picture lies where
// the driver's page set-up puts it, in portrait and landscape.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "../toolkit/graphics/GraphicsTestSupport.h"
#include "support/GraphDraw.h"
#include "support/PenPlot.h"
#include "tests/FakePrintSystem.h"
#include "tests/RenderBack.h"
#include "tests/support/KnownGraph.h"
#include "toolkit/hardcopy/HardcopyDrivers.h"
#include "toolkit/hardcopy/HardcopyOptions.h"
#include "toolkit/hardcopy/HardcopySwitch.h"
#include "toolkit/hardcopy/PrinterAccess.h"
#include "toolkit/hardcopy/WinPrinterDriver.h"

namespace sup::testing {
namespace {

using O = tk::DriverOperation;
using velloran::testing::GreyImage;

class KnownGraphPrinter : public tk::testing::GraphicsTest,
                          public ::testing::WithParamInterface<bool> {
 protected:
  void SetUp() override {
    Open(kKnownGraphWidth, kKnownGraphHeight);
    PenPlotReset();
    PCLIPOFF();
    SetPenTextOutput({});
    tk::CurrentPrinterJob() = tk::PrinterJobSettings{};
    tk::WinPrinterReset();
    tk::StandHardcopyDrivers();
  }
  void TearDown() override {
    tk::WHardcopySwitch("S");
    tk::WinPrinterReset();
    tk::CurrentPrinterJob() = tk::PrinterJobSettings{};
    GraphicsTest::TearDown();
  }
};

TEST_P(KnownGraphPrinter, GhostscriptRendersThePictureInPlace) {
  if (!testing_support::GhostscriptPresent()) GTEST_SKIP() << "ghostscript not installed";
  const bool landscape = GetParam();
  testing_support::FakePrintSystem print;
  tk::DriverParams().P2 = 0;
  tk::HardcopyDriverSelect(O::Select, tk::kDriverWindowsPrinter);
  ASSERT_EQ(tk::WindowsPrinterAvailable(), 1);
  tk::HardcopyOptionSet(5, landscape ? 3 : 2);  // with the picture's sides to match
  tk::HardcopyOptionSet(8, 2);
  GraphAxes none;
  PLOTXY(1, 1, kPenStartPage, none);
  ASSERT_GT(tk::Gs().hardcopyOn, 0);
  const float factorX = tk::DriverParams().factorX, factorY = tk::DriverParams().factorY;
  DrawKnownGraph();
  tk::WHardcopySwitch("S");
  EXPECT_EQ(tk::ErrorState().lastError, 0);

  const std::string args = print.LpArguments();
  EXPECT_EQ(args.rfind("-d office -n 2 -t Parvendrite graphic ", 0), 0u) << args;
  EXPECT_EQ(print.Job(1), "");  // one document
  ASSERT_NE(print.Job(0).find("%%Pages: 1\n"), std::string::npos);

  GreyImage image;
  ASSERT_TRUE(print.RenderJob(0, 300, image));
  EXPECT_EQ(image.width > image.height, landscape);
  // Printer pixel (trunc(fx X), trunc((H - Y) fy)) lies an inch of margin in
  // from the paper's corner; the checks count y upwards from the bottom row.
  PageSetup setup{.factorX = factorX, .factorY = factorY, .truncate = false};
  setup.offsetX = 300;
  setup.offsetY = image.height - 1 - 300 - (kKnownGraphHeight - 0.01) * factorY;
  ExpectPicture(image, setup, 2);
}

INSTANTIATE_TEST_SUITE_P(Orientations, KnownGraphPrinter, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& i) {
                           return std::string(i.param ? "Landscape" : "Portrait");
                         });

}  // namespace
}  // namespace sup::testing
