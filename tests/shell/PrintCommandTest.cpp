// File > Print in the running program: the printer chosen at start-up is the
// system printer, so Print asks its page set-up and, confirmed, hands one
// PostScript job to the print command.
#include <gtest/gtest.h>

#include <string>

#include "shell/FileCommands.h"
#include "shell/WindowCommands.h"
#include "tests/FakePrintSystem.h"
#include "tests/shell/ProgramTestSupport.h"
#include "toolkit/graphics/Drivers.h"
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
}

}  // namespace
