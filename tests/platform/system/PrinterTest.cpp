// The system printer over a fake print system: the default destination, the
// page a destination offers, and jobs handed to lp as PostScript.
#include "platform/system/Printer.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>

#include "tests/FakePrintSystem.h"
#include "tests/ScopedEnv.h"

namespace plat {
namespace {

using testing_support::FakePrintSystem;
using testing_support::ScopedEnv;

TEST(PrinterDestination, FromEnvironmentThenLpstat) {
  FakePrintSystem print;
  std::string dest;
  ASSERT_TRUE(PrinterDefaultDestination(dest));
  EXPECT_EQ(dest, "office");
  {
    ScopedEnv lpdest("LPDEST", "plotroom");
    ASSERT_TRUE(PrinterDefaultDestination(dest));
    EXPECT_EQ(dest, "plotroom");
    ScopedEnv printer("PRINTER", "colour");
    ASSERT_TRUE(PrinterDefaultDestination(dest));
    EXPECT_EQ(dest, "colour");
  }
  EXPECT_EQ(PrinterDestinations(), (std::vector<std::string>{"office", "lab"}));
  print.Script("lpstat", "echo 'no system default destination'\n");
  EXPECT_FALSE(PrinterDefaultDestination(dest));
  EXPECT_TRUE(dest.empty());
}

TEST(PrinterDestination, NoLpMeansNoPrinterWhateverTheEnvironment) {
  testing_support::TempDir empty;
  ScopedEnv path("PATH", empty.path().string());
  ScopedEnv printer("PRINTER", "office");
  std::string dest;
  EXPECT_FALSE(PrintCommandPresent());
  EXPECT_FALSE(PrinterDefaultDestination(dest));
  EXPECT_TRUE(PrinterDestinations().empty());
}

TEST(PrinterDestination, AHangingLpstatIsCutOff) {
  FakePrintSystem print;
  print.Hang("lpstat");
  const auto start = std::chrono::steady_clock::now();
  std::string dest;
  EXPECT_FALSE(PrinterDefaultDestination(dest));
  const auto took = std::chrono::steady_clock::now() - start;
  EXPECT_LT(took, std::chrono::milliseconds(kPrinterQueryTimeoutMs + 2000));
  // The silent server is not asked again straight away.
  const auto again = std::chrono::steady_clock::now();
  EXPECT_FALSE(PrinterDefaultDestination(dest));
  EXPECT_EQ(PrinterPageOf("office").media, "A4");
  EXPECT_LT(std::chrono::steady_clock::now() - again, std::chrono::milliseconds(1000));
  EXPECT_EQ(print.HungStarts().size(), 1u);
  EXPECT_TRUE(print.HungRunning().empty()) << "the query cut off is still running";
}

TEST(PrinterPage, MediaAndColourModelFromLpoptions) {
  struct Case {
    const char* options;
    const char* listing;
    const char* media;
    int width, height, colours;
  };
  const Case cases[] = {
      {"", "", "A4", 2480, 3508, 256},
      {"copies=1 media=na_letter_8.5x11in", "", "Letter", 2550, 3300, 256},
      {"media=Legal ColorModel=Gray", "", "Legal", 2550, 4200, 2},
      {"", "PageSize/Media Size: Letter *A3 A4\nColorModel/Color Mode: RGB *Gray", "A3", 3508, 4961, 2},
      {"media=Tabloid print-color-mode=color", "", "A4", 2480, 3508, 256},
  };
  FakePrintSystem print;
  for (const Case& c : cases) {
    print.Options(c.options, c.listing);
    const PrinterPage page = PrinterPageOf("office");
    EXPECT_EQ(page.media, c.media) << c.options << c.listing;
    EXPECT_EQ(page.paperWidth, c.width) << c.options;
    EXPECT_EQ(page.paperHeight, c.height) << c.options;
    EXPECT_EQ(page.colours, c.colours) << c.options << c.listing;
    EXPECT_EQ(page.dpiX, 300);
    EXPECT_EQ(page.offsetX, 0);
  }
}

TEST(PrintJobs, PagesBecomeOnePostScriptDocumentForLp) {
  FakePrintSystem print;
  PrintJobSettings settings;
  settings.destination = "office";
  settings.title = "Shot 12";
  settings.copies = 3;
  settings.media = "A4";
  settings.options = {"sides=two-sided-long-edge"};
  PrintJob job(PrinterPageOf("office"), settings, true);
  EXPECT_GT(job.PageWidth(), job.PageHeight());
  job.StartPage().Set(10, 10, Rgb(0, 0, 0));
  job.StartPage();
  const PrintJobResult r = job.Submit();
  EXPECT_EQ(r.error, 0);
  EXPECT_TRUE(r.keptFile.empty());
  const std::string args = print.LpArguments();
  EXPECT_NE(args.find("-d office -n 3 -t Shot 12 -o media=A4 -o sides=two-sided-long-edge "),
            std::string::npos)
      << args;
  // The page is already landscape: lp is not asked to turn it.
  EXPECT_EQ(args.find("landscape"), std::string::npos);
  const std::string ps = print.Job(0);
  EXPECT_EQ(ps.rfind("%!PS-Adobe-3.0\n", 0), 0u);
  EXPECT_NE(ps.find("%%Pages: 2\n"), std::string::npos);
  EXPECT_NE(ps.find("%%BoundingBox: 0 0 842 596\n"), std::string::npos) << ps.substr(0, 300);
  EXPECT_NE(ps.find("%%Page: 2 2\n"), std::string::npos);
  EXPECT_NE(ps.find("/FlateDecode"), std::string::npos);
  EXPECT_NE(ps.find("%%EOF"), std::string::npos);
}

TEST(PrintJobs, NoPagesNothingHandedOver) {
  FakePrintSystem print;
  PrintJob job(PrinterPage{}, {"office", "empty", 1, "", {}}, false);
  EXPECT_EQ(job.Submit().error, 0);
  EXPECT_EQ(print.LpArguments(), "");
}

TEST(PrintJobs, ARefusedJobIsReportedAndItsFileKept) {
  FakePrintSystem print(5);
  PrintJob job(PrinterPage{}, {"office", "refused", 1, "", {}}, false);
  job.StartPage();
  const PrintJobResult r = job.Submit();
  EXPECT_EQ(r.error, 5);
  EXPECT_EQ(r.exitStatus, 5);
  ASSERT_FALSE(r.keptFile.empty());
  EXPECT_EQ(testing_support::ReadFile(r.keptFile), print.Job(0));
  std::filesystem::remove(r.keptFile);
}

TEST(PrintJobs, AnLpThatNeverReturnsIsStoppedAndItsJobKept) {
  FakePrintSystem print;
  print.Hang("lp");
  const int kept = PrintJobHandOverLimitMs();
  PrintJobHandOverLimitMs() = 300;
  PrintJob job(PrinterPage{}, {"office", "stuck", 1, "", {}}, false);
  job.StartPage();
  const PrintJobResult r = job.Submit();
  PrintJobHandOverLimitMs() = kept;
  EXPECT_EQ(r.error, ETIMEDOUT);
  ASSERT_FALSE(r.keptFile.empty());
  EXPECT_NE(testing_support::ReadFile(r.keptFile).find("%%Pages: 1\n"), std::string::npos);
  std::filesystem::remove(r.keptFile);
  EXPECT_EQ(print.HungStarts().size(), 1u);
  EXPECT_TRUE(print.HungRunning().empty());
}

TEST(PrintJobs, TheRefusalCarriesLpsAnswer) {
  FakePrintSystem print;
  print.Script("lp", "echo 'lp: The printer or class does not exist.' >&2\nexit 1\n");
  PrintJob job(PrinterPage{}, {"office", "refused", 1, "", {}}, false);
  job.StartPage();
  const PrintJobResult r = job.Submit();
  EXPECT_EQ(r.exitStatus, 1);
  EXPECT_EQ(r.answer, "lp: The printer or class does not exist.");
  EXPECT_FALSE(r.timedOut);
  ASSERT_FALSE(r.keptFile.empty());
  std::filesystem::remove(r.keptFile);
}

// The wait hook runs while lp runs, ends the wait when it answers true (the
// box's Cancel), and hears the end once whatever happened.
TEST(PrintJobs, TheWaitHookSeesTheWaitAndCanGiveTheJobUp) {
  FakePrintSystem print;
  print.Hang("lp");
  int waits = 0, ends = 0;
  PrintCommandWaitHook() = [&](bool done) {
    if (done) {
      ++ends;
      return false;
    }
    return ++waits >= 3;
  };
  PrintJob job(PrinterPage{}, {"office", "cancelled", 1, "", {}}, false);
  job.StartPage();
  const auto start = std::chrono::steady_clock::now();
  const PrintJobResult r = job.Submit();
  PrintCommandWaitHook() = nullptr;
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
  EXPECT_TRUE(r.cancelled);
  EXPECT_EQ(r.error, ECANCELED);
  EXPECT_EQ(waits, 3);
  EXPECT_EQ(ends, 1);
  ASSERT_FALSE(r.keptFile.empty());
  std::filesystem::remove(r.keptFile);
  EXPECT_TRUE(print.HungRunning().empty());
}

}  // namespace
}  // namespace plat
