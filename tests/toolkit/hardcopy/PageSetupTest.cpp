// The printer's options through the page set-up, scripted: lengths in
// hundredths of a millimetre going out and coming back as points, Cancel,
// another printer's colour count, and the printer the driver then prints on.
#include "toolkit/hardcopy/PageSetup.h"

#include <gtest/gtest.h>

#include "platform/dialog/PageSetupDialog.h"
#include "tests/FakePrintSystem.h"
#include "tests/toolkit/core/WindowTestSupport.h"
#include "toolkit/dialogs/Dialogs.h"
#include "toolkit/core/Errors.h"
#include "toolkit/graphics/Drivers.h"
#include "toolkit/hardcopy/HardcopyDialogs.h"
#include "toolkit/hardcopy/HardcopyDrivers.h"
#include "toolkit/hardcopy/HardcopyOptions.h"
#include "toolkit/hardcopy/HardcopySwitch.h"
#include "toolkit/hardcopy/PrinterAccess.h"
#include "toolkit/hardcopy/WinPrinterDriver.h"

namespace tk::testing {
namespace {

class PageSetupTest : public ToolkitWindowTest {
 protected:
  void SetUp() override {
    ToolkitWindowTest::SetUp();
    CurrentPrinterJob() = PrinterJobSettings{};
    PageSetupReset();
    WinPrinterReset();
    StandHardcopyDrivers();
    // "lab" is a grey printer, "office" a colour one.
    print.Script("lpoptions", "case \"$*\" in *lab*-l*) ;; *lab*) echo ColorModel=Gray;; esac\n");
    DriverParams().P1 = 0;
    DriverParams().P2 = 0;
    HardcopyDriverSelect(DriverOperation::Select, kDriverWindowsPrinter);
    ASSERT_EQ(WindowsPrinterAvailable(), 1);
  }
  void TearDown() override {
    PageSetupReset();
    CurrentPrinterJob() = PrinterJobSettings{};
    ToolkitWindowTest::TearDown();
  }
  std::vector<int> Options() const {
    return {HardcopyOption(1), HardcopyOption(2), HardcopyOption(3),
            HardcopyOption(4), HardcopyOption(5), HardcopyOption(8)};
  }
  testing_support::FakePrintSystem print;
};

TEST_F(PageSetupTest, CentimetresRoundTripTheOptions) {
  harness.Answer("dialog 1540",
                 "1002=Letter\n1004=1\n1005=2000\n1006=1500\n1007=2000\n1008=1500\n1009=3\npress 1");
  WHardcopyOptions(2);
  ASSERT_EQ(WDialogStatusQuery(4), 1);
  // Letter landscape, 279.4 x 215.9 mm, less the margins, in points.
  EXPECT_EQ(Options(), (std::vector<int>{679, 527, 57, 43, 1, 3}));
  EXPECT_EQ(PaperWidth(), 792);
  EXPECT_EQ(PaperHeight(), 612);
  EXPECT_EQ(CurrentPrinterJob().paperSize, kPaperLetter);
  EXPECT_TRUE(CurrentPrinterJob().pageSetupDone);

  // Confirmed unchanged, the options come back as they were.
  harness.Answer("dialog 1540", "press 1");
  WHardcopyOptions(2);
  ASSERT_EQ(WDialogStatusQuery(4), 1);
  EXPECT_EQ(Options(), (std::vector<int>{679, 527, 57, 43, 1, 3}));

  // Cancel changes nothing.
  harness.Answer("dialog 1540", "1005=9999\npress 2");
  WHardcopyOptions(2);
  EXPECT_EQ(WDialogStatusQuery(4), 0);
  EXPECT_EQ(Options(), (std::vector<int>{679, 527, 57, 43, 1, 3}));

  // The job goes to lp on Letter paper with three copies.
  WHardcopySwitch(std::string_view(""));
  DriverParameters& dp = DriverParams();
  dp.X[0] = 10, dp.Y[0] = 10, dp.X[1] = 50, dp.Y[1] = 50;
  HardcopyDriverCall(DriverOperation::Line);
  WHardcopySwitch("S");
  EXPECT_EQ(print.LpArguments().rfind("-d office -n 3 -t Parvendrite graphic -o media=Letter ", 0),
            0u)
      << print.LpArguments();
}

TEST_F(PageSetupTest, AnotherPrintersColoursTurnMonochromeOnAndOff) {
  ASSERT_EQ(HardcopyOption(7), 0);
  harness.Answer("dialog 1540", "1001=lab\npress 1");
  WHardcopyOptions(2);
  ASSERT_EQ(WDialogStatusQuery(4), 1);
  EXPECT_EQ(HardcopyOption(7), 1);
  EXPECT_EQ(DriverParams().deviceColours, 2);
  EXPECT_EQ(CurrentPrinterJob().deviceName, "lab");
  harness.Answer("dialog 1540", "1001=office\npress 1");
  WHardcopyOptions(2);
  EXPECT_EQ(HardcopyOption(7), 0);
  EXPECT_EQ(DriverParams().deviceColours, 256);
}

TEST_F(PageSetupTest, UnreadableNumbersKeepTheirValues) {
  harness.Answer("dialog 1540", "1005=abc\n1009=\npress 1");
  const std::vector<int> before = Options();
  WHardcopyOptions(0);
  ASSERT_EQ(WDialogStatusQuery(4), 1);
  EXPECT_EQ(HardcopyOption(3), before[2]);
  EXPECT_EQ(HardcopyOption(8), before[5]);
}

}  // namespace
}  // namespace tk::testing
