// Printer access: the default printer's answer, the page of the printer, the
// overrides that reach lp, the screen's bitmap and its colour table, and the
// screen image printed as one page.
#include "toolkit/hardcopy/PrinterAccess.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <cstdlib>
#include <string>

#include "tests/FakePrintSystem.h"
#include "tests/RenderBack.h"
#include "tests/toolkit/graphics/GraphicsTestSupport.h"
#include "toolkit/core/Errors.h"
#include "toolkit/graphics/Graphics.h"
#include "toolkit/hardcopy/HardcopyDrivers.h"
#include "toolkit/hardcopy/ModelTables.h"

namespace tk::testing {
namespace {

using testing_support::FakePrintSystem;

class PrinterAccessTest : public ::testing::Test {
 protected:
  void SetUp() override { CurrentPrinterJob() = PrinterJobSettings{}; }
  void TearDown() override { CurrentPrinterJob() = PrinterJobSettings{}; }
};

TEST_F(PrinterAccessTest, DefaultPrinterEntrySplitsIntoThreeNames) {
  struct Case {
    const char* entry;
    const char* device;
    const char* driver;
    const char* port;
  };
  const Case cases[] = {
      {"office,lp,office", "office", "lp", "office"},
      {"HP LaserJet,  winspool,   Ne01:", "HP LaserJet", "winspool", "Ne01:"},
      {"a, b, c, d", "a", "b", "c, d"},
      {"only", "only", "old driver", "old port"},
  };
  for (const Case& c : cases) {
    PrinterJobSettings s;
    s.driverName = "old driver";
    s.portName = "old port";
    ASSERT_TRUE(DefaultPrinterParse(c.entry, s)) << c.entry;
    EXPECT_EQ(s.deviceName, c.device) << c.entry;
    EXPECT_EQ(s.driverName, c.driver) << c.entry;
    EXPECT_EQ(s.portName, c.port) << c.entry;
    EXPECT_TRUE(s.namesKnown);
  }
  PrinterJobSettings s;
  EXPECT_FALSE(DefaultPrinterParse("", s));
  EXPECT_FALSE(s.namesKnown);
}

TEST_F(PrinterAccessTest, DefaultPrinterAnswersDestinationLpDestination) {
  FakePrintSystem print;
  EXPECT_EQ(DefaultPrinterEntry(), "office,lp,office");
  ASSERT_EQ(DefaultPrinter(), 1);
  EXPECT_EQ(CurrentPrinterJob().deviceName, "office");
  EXPECT_EQ(CurrentPrinterJob().driverName, "lp");
}

TEST_F(PrinterAccessTest, LetterPaperAtAnyResolution) {
  FakePrintSystem print;
  print.Options("media=Letter");
  CurrentPrinterJob().duplex = 2;
  CurrentPrinterJob().pageSetupDone = true;
  int l, s, w, h, left, top, orientation, copies, colours, error = -1;
  PrinterPageInfo(l, s, w, h, left, top, orientation, copies, colours, error);
  EXPECT_EQ(error, 0);
  EXPECT_EQ(l, 792);
  EXPECT_EQ(s, 612);
  EXPECT_EQ(w, 648);
  EXPECT_EQ(h, 468);
  EXPECT_EQ(left, 72);
  EXPECT_EQ(top, 72);
  EXPECT_EQ(orientation, 1);
  EXPECT_EQ(copies, 1);
  EXPECT_EQ(colours, 256);
  // The query forgets the page set-up's overrides.
  EXPECT_EQ(CurrentPrinterJob().duplex, -1);
  EXPECT_FALSE(CurrentPrinterJob().pageSetupDone);
}

TEST_F(PrinterAccessTest, NoPrinterLeavesEveryOutputZero) {
  testing_support::TempDir empty;
  testing_support::ScopedEnv path("PATH", empty.path().string());
  int l = 5, s = 5, w = 5, h = 5, left = 5, top = 5, orientation = 5, copies = 5, colours = 5,
      error = 0;
  PrinterPageInfo(l, s, w, h, left, top, orientation, copies, colours, error);
  EXPECT_NE(error, 0);
  for (int v : {l, s, w, h, left, top, orientation, copies, colours}) EXPECT_EQ(v, 0);
  EXPECT_EQ(PrinterDC(1, 1), nullptr);
}

TEST_F(PrinterAccessTest, OnlySetOverridesBecomeLpOptions) {
  PrinterJobSettings s;
  std::string media;
  EXPECT_TRUE(PrinterOverrideOptions(s, media).empty());
  EXPECT_TRUE(media.empty());
  // Set fields without a print-system counterpart are dropped too.
  s.scale = 50;
  s.printQuality = 600;
  s.mediaType = 3;
  EXPECT_TRUE(PrinterOverrideOptions(s, media).empty());
  s.paperSize = kPaperA3;
  s.duplex = 3;
  s.collate = 1;
  s.colour = 1;
  EXPECT_EQ(PrinterOverrideOptions(s, media),
            (std::vector<std::string>{"print-color-mode=monochrome", "sides=two-sided-short-edge",
                                      "collate=true"}));
  EXPECT_EQ(media, "A3");
}

TEST_F(PrinterAccessTest, OverridesReachLpAndShapeThePage) {
  FakePrintSystem print;
  ASSERT_EQ(DefaultPrinter(), 1);
  CurrentPrinterJob().paperSize = kPaperLetter;
  CurrentPrinterJob().duplex = 2;
  std::unique_ptr<PrinterContext> dc = PrinterDC(0, 2);
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(dc->PhysicalWidth(), 2550);
  EXPECT_EQ(dc->PhysicalHeight(), 3300);
  dc->StartDoc("Letter job");
  dc->StartPage();
  EXPECT_EQ(dc->EndDoc().error, 0);
  EXPECT_EQ(print.LpArguments(),
            "-d office -n 2 -t Letter job -o media=Letter -o sides=two-sided-long-edge " +
                print.LpArguments().substr(print.LpArguments().rfind(' ') + 1));
}

TEST_F(PrinterAccessTest, ColourTableSizes) {
  auto header = [](int size, int bits, int used) {
    std::vector<std::uint8_t> h(static_cast<std::size_t>(size), 0);
    h[0] = static_cast<std::uint8_t>(size);
    h[size == 40 ? 14 : 10] = static_cast<std::uint8_t>(bits);
    if (size == 40) h[32] = static_cast<std::uint8_t>(used);
    return h;
  };
  struct Case {
    int size, bits, used, bytes;
  };
  for (const Case c : {Case{40, 1, 0, 8}, Case{40, 4, 0, 64}, Case{40, 8, 0, 1024},
                       Case{40, 24, 0, 0}, Case{40, 24, 3, 12}, Case{40, 16, 0, 0},
                       Case{12, 1, 0, 6}, Case{12, 4, 0, 48}, Case{12, 8, 0, 768},
                       Case{12, 24, 0, 0}, Case{20, 8, 0, 0}}) {
    EXPECT_EQ(printing::DibColourTableSize(header(c.size, c.bits, c.used)), c.bytes)
        << c.size << "/" << c.bits << "/" << c.used;
  }
  EXPECT_EQ(printing::DibColourTableSize(std::vector<std::uint8_t>{40, 0, 0}), 0);  // cut short
}

TEST_F(PrinterAccessTest, OurSurfacesDumpAsTwentyFourBitBitmaps) {
  plat::Surface screen(5, 3);
  screen.Set(1, 0, plat::Rgb(10, 20, 30));
  screen.Set(4, 2, plat::Rgb(200, 100, 50));
  const std::vector<std::uint8_t> dib = ScreenDib(screen, {1, 0, 5, 3});
  ASSERT_EQ(dib.size(), 40u + 12u * 3u);  // 4 pixels of 3 bytes: rows of 12
  EXPECT_EQ(dib[14], 24);
  EXPECT_EQ(dib[4], 4);
  EXPECT_EQ(dib[8], 3);
  EXPECT_EQ(printing::DibColourTableSize(dib), 0);
  // Rows bottom-up, blue first.
  EXPECT_EQ(dib[40 + 24 + 0], 30);
  EXPECT_EQ(dib[40 + 24 + 2], 10);
  EXPECT_EQ(dib[40 + 9], 50);
  EXPECT_EQ(dib[40 + 11], 200);
}

TEST_F(PrinterAccessTest, FloatingPointModeComesBack) {
  const int before = std::fegetround();
  FpuGuardBegin();
  std::fesetround(FE_UPWARD);
  FpuGuardEnd();
  EXPECT_EQ(std::fegetround(), before);
}

// The screen driver's end of page prints the plot area as one page.
class ScreenDumpTest : public GraphicsTest {
 protected:
  void SetUp() override {
    Open(500, 400);
    CurrentPrinterJob() = PrinterJobSettings{};
    StandHardcopyDrivers();
  }
  void TearDown() override {
    CurrentPrinterJob() = PrinterJobSettings{};
    GraphicsTest::TearDown();
  }
};

TEST_F(ScreenDumpTest, ThePlotAreaBecomesOnePage) {
  if (!testing_support::GhostscriptPresent()) GTEST_SKIP() << "ghostscript not installed";
  FakePrintSystem print;
  ScreenDumpDefaults(0);
  ASSERT_EQ(CurrentScreenDump().windowsPrinterAvailable, 1);
  // The left half of the drawable black.
  for (int y = 0; y < 400; ++y)
    for (int x = 0; x < 250; ++x) surface.Set(x, y, plat::Rgb(0, 0, 0));
  DriverText() = "Screen";
  DriverText().resize(kDriverTextLength, ' ');
  ScreenDriverCall(DriverOperation::EndPage);
  EXPECT_EQ(ErrorState().lastError, 0);
  const std::string ps = print.Job(0);
  ASSERT_NE(ps.find("%%Pages: 1\n"), std::string::npos);
  EXPECT_NE(print.LpArguments().find("-t Screen "), std::string::npos);
  velloran::testing::GreyImage image;
  ASSERT_TRUE(print.RenderJob(0, 75, image));
  // A4 landscape at 75 dpi, margins of 75 pixels; the picture 726 x 470.
  EXPECT_GT(image.width, image.height);
  auto grey = [&](int x, int y) { return image.At(x, y); };
  EXPECT_LT(grey(75 + 100, 75 + 200), 64);   // left half: black
  EXPECT_GT(grey(75 + 600, 75 + 200), 192);  // right half: white
  EXPECT_GT(grey(30, 30), 192);              // the margin: white
}

}  // namespace
}  // namespace tk::testing
