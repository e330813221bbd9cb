// File > Print in the running program: the printer chosen at start-up is the
// system printer, so Print asks its page set-up and, confirmed, hands one
// PostScript job to the print command, whose page ghostscript renders with
// the traces on it. A print system that never answers does not hold up the
// start-up.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "shell/FileCommands.h"
#include "shell/WindowCommands.h"
#include "tests/FakePrintSystem.h"
#include "tests/shell/ProgramTestSupport.h"
#include "toolkit/graphics/Drivers.h"
#include "toolkit/hardcopy/PrinterAccess.h"
#include "tools/sample/SampleShot.h"

namespace {

using program_test::ProgramTest;

class PrintCommandTest : public ProgramTest {};

TEST_F(PrintCommandTest, PrintAsksThePageSetupAndPrintsThroughTheSystemPrinter) {
  const auto shot = dir_ / "shot.sg2";
  std::string why;
  ASSERT_TRUE(sample_shot::Write(shot.string(), why)) << why;
  testing_support::FakePrintSystem print;
  Choose(shot);
  harness_.Answer("dialog 1540", "press 2");  // cancelled: nothing printed
  harness_.Answer("dialog 1540", "press 1");
  int driver = -1;
  std::string afterCancel = "unset";
  Run({[] { Post(vel::kCommandImport); },
       [&] {
         driver = tk::DriverParams().driverNumber;
         Post(vel::kCommandPrint);
       },
       [&] {
         afterCancel = print.LpArguments();
         Post(vel::kCommandPrint);
       }});
  EXPECT_EQ(driver, tk::kDefaultHardcopyDriver);
  EXPECT_EQ(afterCancel, "");
  EXPECT_NE(print.LpArguments().find("-d office"), std::string::npos) << print.LpArguments();
  EXPECT_EQ(print.Job(0).rfind("%!PS-Adobe-3.0", 0), 0u);
  EXPECT_NE(print.Job(0).find("%%Pages: 1"), std::string::npos);
  EXPECT_EQ(print.Job(1), "");
  EXPECT_TRUE(messages_.empty()) << messages_.front();

  // The page as the printer would print it: the traces across the middle of
  // the paper, nothing in the margins round it.
  if (!testing_support::GhostscriptPresent()) GTEST_SKIP() << "ghostscript not installed";
  velloran::testing::GreyImage page;
  ASSERT_TRUE(print.RenderJob(0, 100, page));
  const int w = page.width, h = page.height;
  ASSERT_GT(w, 500);
  ASSERT_GT(h, 500);
  using velloran::testing::RegionBlank;
  const int mx = w / 12, my = h / 12;
  EXPECT_TRUE(RegionBlank(page, 0, 0, w - 1, my));
  EXPECT_TRUE(RegionBlank(page, 0, h - 1 - my, w - 1, h - 1));
  EXPECT_TRUE(RegionBlank(page, 0, 0, mx, h - 1));
  EXPECT_TRUE(RegionBlank(page, w - 1 - mx, 0, w - 1, h - 1));
  // The trace area, cut into upright strips: traces run down every strip,
  // dark in many of its rows (a line across, or the axes, would not be).
  const int left = w / 4, right = w * 80 / 100, top = h / 4, bottom = h * 3 / 4;
  constexpr int kStrips = 8;
  for (int i = 0; i < kStrips; ++i) {
    const int x0 = left + (right - left) * i / kStrips, x1 = left + (right - left) * (i + 1) / kStrips;
    int rows = 0;
    for (int y = top; y <= bottom; ++y) rows += !RegionBlank(page, x0, y, x1, y);
    EXPECT_GT(rows, (bottom - top) / 3) << "strip " << i << " of the trace area";
  }
}

TEST_F(PrintCommandTest, APrintServerThatNeverAnswersDoesNotHoldUpTheStart) {
  testing_support::FakePrintSystem print;
  print.Hang("lpstat");
  print.Hang("lp");
  const auto start = std::chrono::steady_clock::now();
  std::chrono::steady_clock::duration took{};
  bool open = false;
  int installed = -1;
  Run({[&] {
    took = std::chrono::steady_clock::now() - start;
    open = plat::IsWindowVisible(tk::WindowFrameHandle(tk::kMainWindow));
    installed = tk::PrinterInstalled();
  }});
  EXPECT_TRUE(open);
  // One query cut off after its time limit, and the silent server not asked
  // again; the limit here is generous for a loaded machine.
  EXPECT_LT(took, std::chrono::seconds(15));
  EXPECT_EQ(installed, 0);
  EXPECT_EQ(print.HungStarts().size(), 1u);
  EXPECT_TRUE(print.HungRunning().empty()) << "a query left running";
}

}  // namespace
