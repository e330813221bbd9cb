// The system printer driver on a recorded drawing context and on a fake
// print system: pens, dashes, lazy pages, the arc nudge, fill colours, the
// monochrome and inversion rules, and the error paths with and without lp.
#include "toolkit/hardcopy/WinPrinterDriver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/dialog/MessageBox.h"
#include "tests/FakePrintSystem.h"
#include "tests/toolkit/hardcopy/RecordedDrawContext.h"
#include "tests/toolkit/graphics/GraphicsTestSupport.h"
#include "toolkit/core/Errors.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/ScreenDriver.h"
#include "toolkit/hardcopy/HardcopyDialogs.h"
#include "toolkit/hardcopy/HardcopyDrivers.h"
#include "toolkit/hardcopy/HardcopyOptions.h"
#include "toolkit/hardcopy/HardcopySwitch.h"
#include "toolkit/hardcopy/ModelTables.h"
#include "toolkit/hardcopy/PolygonFill.h"
#include "toolkit/hardcopy/PrinterAccess.h"

namespace tk::testing {
namespace {

using O = DriverOperation;
using testing_support::FakePrintSystem;

class WinPrinterTest : public GraphicsTest {
 protected:
  void SetUp() override {
    Open(500, 400);
    ResetErrorState();
    CurrentPrinterJob() = PrinterJobSettings{};
    WinPrinterReset();
    StandHardcopyDrivers();
  }
  void TearDown() override {
    PrinterDrawStandIn(nullptr);
    WHardcopySwitch("S");
    WinPrinterReset();
    CurrentPrinterJob() = PrinterJobSettings{};
    GraphicsTest::TearDown();
  }
  void Select() {
    DriverParams().P1 = 0;
    DriverParams().P2 = 0;
    HardcopyDriverSelect(O::Select, kDriverWindowsPrinter);
  }
  // Selects the printer and starts a job drawn on the recorded context.
  void StartJob() {
    Select();
    ASSERT_EQ(WindowsPrinterAvailable(), 1);
    PrinterDrawStandIn(&recorded);
    WHardcopySwitch(std::string_view(""));
    ASSERT_EQ(Gs().hardcopyOn, 1);
    recorded.calls.clear();
  }
  void Send(O op) { HardcopyDriverCall(op); }
  void Line(float x1, float y1, float x2, float y2) {
    DriverParameters& dp = DriverParams();
    dp.X[0] = x1, dp.Y[0] = y1, dp.X[1] = x2, dp.Y[1] = y2;
    Send(O::Line);
  }
  void DirectColour(int rgb) {
    Gs().colourMode = 0;
    Gs().current.rgb = rgb;
    Send(O::Colour);
  }
  RecordedContext recorded;
  XXWIN driver;
};

TEST_F(WinPrinterTest, LineWidthFollowsThePrinterResolution) {
  struct Case {
    int dpi, option9, width;
  };
  for (const Case c : {Case{600, 5, 3}, Case{300, 5, 1}, Case{72, 5, 0}, Case{300, 0, 0}}) {
    WinPrinterResolutionSet(c.dpi, c.dpi);
    HardcopyOptionStore(9, c.option9);
    driver.Attribute(O::LineWidth);
    EXPECT_EQ(WinPrinterLineWidth(), c.width) << c.dpi << " dpi";
  }
}

TEST_F(WinPrinterTest, DashesRescaledAndGapsWidenedWithTheLine) {
  ScreenDisplaySet(1 << 24, 96);
  WinPrinterResolutionSet(300, 300);
  HardcopyOptionStore(9, 5);
  driver.Attribute(O::LineWidth);
  EXPECT_EQ(std::vector<int>(WinPrinterDashes(1).begin(), WinPrinterDashes(1).end()),
            (std::vector<int>{3, 12}));
  HardcopyOptionStore(9, 10);  // 4 pixels each way: line width 3
  driver.Attribute(O::LineWidth);
  ASSERT_EQ(WinPrinterLineWidth(), 3);
  EXPECT_EQ(std::vector<int>(WinPrinterDashes(1).begin(), WinPrinterDashes(1).end()),
            (std::vector<int>{3, 14}));
  EXPECT_EQ(std::vector<int>(WinPrinterDashes(3).begin(), WinPrinterDashes(3).end()),
            (std::vector<int>{3, 14, 25, 14}));
  EXPECT_TRUE(WinPrinterDashes(0).empty());
}

TEST_F(WinPrinterTest, SolidLinesPaintTheirLastPixelOnce) {
  FakePrintSystem print;
  StartJob();
  const DriverParameters& dp = DriverParams();
  Line(10, 20, 110, 20);
  ASSERT_EQ(recorded.calls.size(), 3u);
  EXPECT_EQ(recorded.calls[0].what, "move");
  EXPECT_EQ(recorded.calls[0].points[0],
            (plat::Point{static_cast<int>(dp.factorX * 10), static_cast<int>((399.99f - 20) * dp.factorY)}));
  EXPECT_EQ(recorded.calls[2].what, "pixel");
  EXPECT_EQ(recorded.calls[2].points[0], recorded.calls[1].points[0]);

  // An open polyline paints its end; a closed one does not paint it twice.
  DriverParameters& p = DriverParams();
  p.pointX[0] = 10, p.pointY[0] = 10, p.pointX[1] = 60, p.pointY[1] = 10, p.pointX[2] = 60,
  p.pointY[2] = 60;
  p.P1 = 3;
  recorded.calls.clear();
  Send(O::Polyline);
  ASSERT_EQ(recorded.calls.size(), 2u);
  EXPECT_EQ(recorded.calls[1].what, "pixel");
  p.pointX[3] = 10, p.pointY[3] = 10;
  p.P1 = 4;
  recorded.calls.clear();
  Send(O::Polyline);
  ASSERT_EQ(recorded.calls.size(), 1u);

  // A dashed line draws with a user pen and paints no extra pixel.
  Gs().lineType = 2;
  Send(O::LineType);
  recorded.calls.clear();
  Line(10, 30, 110, 30);
  ASSERT_EQ(recorded.calls.size(), 2u);
  EXPECT_EQ(recorded.calls[1].pen.style, plat::PenStyle::User);
}

TEST_F(WinPrinterTest, PagesStartOnlyWhenSomethingIsDrawn) {
  FakePrintSystem print;
  StartJob();
  Line(10, 20, 110, 20);
  Send(O::EndPage);
  Send(O::EndPage);
  WHardcopySwitch("S");
  EXPECT_NE(print.Job(0).find("%%Pages: 1\n"), std::string::npos);

  StartJob();
  Line(10, 20, 110, 20);
  Send(O::EndPage);
  Line(10, 20, 110, 20);
  WHardcopySwitch("S");
  EXPECT_NE(print.Job(1).find("%%Pages: 2\n"), std::string::npos);
  EXPECT_EQ(ErrorState().lastError, 0);
}

TEST_F(WinPrinterTest, ArcsAndPiesMeetingOnOnePixelAreNudged) {
  FakePrintSystem print;
  StartJob();
  DriverParameters& dp = DriverParams();
  struct Case {
    float direction;
    plat::Point nudge;
  };
  for (const Case c : {Case{45, {-1, -1}}, Case{100, {-1, 1}}, Case{200, {1, 1}}, Case{300, {1, -1}},
                       Case{-60, {1, -1}}}) {
    dp.X = {200, 50, 0.5f, c.direction};
    dp.Y = {200, 50, 0.5f, 0};
    recorded.calls.clear();
    Send(O::Arc);
    const Call* pie = recorded.Last("pie");
    ASSERT_NE(pie, nullptr);
    EXPECT_EQ(pie->points[1].x - pie->points[0].x, c.nudge.x) << c.direction;
    EXPECT_EQ(pie->points[1].y - pie->points[0].y, c.nudge.y) << c.direction;
  }
  // Ends apart, or a wide sweep: no nudge. A dense hatch draws an open arc.
  Gs().hatchDensity = 3;
  dp.X = {200, 50, 0.5f, 45};
  dp.Y = {200, 50, 0.5f, 360};
  Send(O::Arc);
  const Call* arc = recorded.Last("arc");
  ASSERT_NE(arc, nullptr);
  EXPECT_EQ(arc->points[0], arc->points[1]);
}

TEST_F(WinPrinterTest, HalftoneMixesForegroundWithBackground) {
  FakePrintSystem print;
  StartJob();
  Gs().colourMode = 0;
  Gs().previous.rgb = 16777215;
  DirectColour(255);
  Gs().fillStyle = kFillHalftone;
  DriverParameters& dp = DriverParams();
  dp.X = {10, 100, 0, 0};
  dp.Y = {10, 100, 0, 0};
  dp.P2 = 0;
  Send(O::RectangleHalftone);
  const Call* box = recorded.Last("rectangle");
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->brush.colour, plat::Rgb(255, 127, 127));
  EXPECT_EQ(box->pen.style, plat::PenStyle::Null);
  // A solid fill prints the colour itself.
  Gs().fillStyle = kFillSolid;
  Send(O::RectangleHalftone);
  EXPECT_EQ(recorded.Last("rectangle")->brush.colour, plat::Rgb(255, 0, 0));
}

TEST_F(WinPrinterTest, MonochromeAndInversionRules) {
  FakePrintSystem print;
  StartJob();
  // Monochrome in palette mode: colour 0 white, every other number black.
  HardcopyOptionStore(7, 1);
  Gs().colourMode = 1;
  for (const auto& [number, expected] : {std::pair{0, plat::Rgb(255, 255, 255)},
                                        std::pair{5, plat::Rgb(0, 0, 0)},
                                        std::pair{15, plat::Rgb(0, 0, 0)}}) {
    Gs().current.number = number;
    Send(O::Colour);
    Line(10, 20, 110, 20);
    EXPECT_EQ(recorded.Last("pixel")->colour, expected) << number;
  }
  // Colour printer, option 6 = 2: black and white swap, mid colours stay.
  HardcopyOptionStore(7, 0);
  HardcopyOptionStore(6, 2);
  for (const auto& [rgb, expected] : {std::pair{0, plat::Rgb(255, 255, 255)},
                                     std::pair{16777215, plat::Rgb(0, 0, 0)},
                                     std::pair{0x808080, plat::Rgb(128, 128, 128)}}) {
    DirectColour(rgb);
    Line(10, 20, 110, 20);
    EXPECT_EQ(recorded.Last("pixel")->colour, expected) << rgb;
  }
}

TEST_F(WinPrinterTest, ClipAddsMostOfAPixelOnItsFarEdges) {
  FakePrintSystem print;
  StartJob();
  GraphicsState& gs = Gs();
  gs.clipX0 = 10, gs.clipX1 = 100, gs.clipY0 = 20, gs.clipY1 = 200;
  Send(O::ClipRectangle);
  const DriverParameters& dp = DriverParams();
  ASSERT_TRUE(recorded.clip.has_value());
  EXPECT_EQ(recorded.clip->left, static_cast<int>(dp.factorX * 10.0));
  EXPECT_EQ(recorded.clip->right, static_cast<int>(100.0 * dp.factorX + 0.99));
  EXPECT_EQ(recorded.clip->top, static_cast<int>((399.99f - 200.0) * dp.factorY));
  EXPECT_EQ(recorded.clip->bottom, static_cast<int>((399.99f - 20.0) * dp.factorY + 0.99));
}

TEST_F(WinPrinterTest, GradientPolygonsUseTheGradientFillOrPixels) {
  struct Case {
    const char* name;
    int mode;
    bool accepted;
    int gradientCalls;
    bool pixels;
  };
  for (const Case& c : {Case{"gradient fill draws", 2, true, 1, false},
                        Case{"gradient fill fails", 2, false, 1, true},
                        Case{"no gradient fill", 1, true, 0, true}}) {
    SCOPED_TRACE(c.name);
    FakePrintSystem print;
    StartJob();
    recorded.acceptGradients = c.accepted;
    recorded.gradientColours.clear();
    recorded.gradientTriangles.clear();
    GraphicsState& gs = Gs();
    gs.clipX0 = 0, gs.clipX1 = 499, gs.clipY0 = 0, gs.clipY1 = 399;
    DriverParameters& dp = DriverParams();
    dp.gradientFill[1] = c.mode;
    const std::array<std::pair<float, float>, 3> points{{{10, 10}, {100, 10}, {10, 100}}};
    const std::array<std::int32_t, 3> colours{0x0000FF, 0x00FF00, 0xFF0000};
    GradientPolygon().Resize(3);
    for (std::size_t i = 0; i < 3; ++i) {
      dp.pointX[i] = points[i].first;
      dp.pointY[i] = points[i].second;
      GradientPolygon().colour[i] = colours[i];
    }
    dp.softwareFillCount = 3;
    dp.pageDirty = 0;
    Send(O::SoftwareFill);
    EXPECT_EQ(dp.pageDirty, -1);
    EXPECT_EQ(recorded.Count("gradient"), c.gradientCalls);
    if (c.gradientCalls > 0) {
      const Call* g = recorded.Last("gradient");
      ASSERT_EQ(g->points.size(), 3u);
      EXPECT_EQ(g->points[1].x, static_cast<int>(100.0 * dp.factorX));
      EXPECT_EQ(g->points[1].y, static_cast<int>((399.99f - 10.0) * dp.factorY));
      ASSERT_EQ(recorded.gradientColours.size(), 3u);
      EXPECT_EQ(recorded.gradientColours[0], plat::Rgb(255, 0, 0));
      EXPECT_EQ(recorded.gradientColours[2], plat::Rgb(0, 0, 255));
      ASSERT_EQ(recorded.gradientTriangles.size(), 1u);
      EXPECT_EQ(recorded.gradientTriangles[0], (std::array<int, 3>{0, 1, 2}));  // counted from 0
    }
    EXPECT_EQ(recorded.Count("pixel") > 0, c.pixels);
    PrinterDrawStandIn(nullptr);
    WHardcopySwitch("S");
    WinPrinterReset();
  }
}

TEST_F(WinPrinterTest, ImagesGoOnThePageOrReportWhyNot) {
  FakePrintSystem print;
  StartJob();
  PrinterDrawStandIn(nullptr);
  GraphicsState& gs = Gs();
  gs.clipX0 = 0, gs.clipX1 = 100, gs.clipY0 = 0, gs.clipY1 = 100;
  DriverParameters& dp = DriverParams();
  dp.KX[0] = 1;  // a BMP file
  dp.text = (print.Dir() / "missing.bmp").string();
  dp.text.resize(kDriverTextLength, ' ');
  dp.P2 = -5;
  Send(O::Image);
  EXPECT_EQ(dp.P2, 1);  // not opened
  EXPECT_EQ(dp.pageDirty, -1);
  std::optional<plat::Rect> clip;
  EXPECT_NE(WinPrinterImageTarget(kDriverWindowsPrinter, clip), nullptr);
  EXPECT_EQ(WinPrinterImageTarget(11, clip), nullptr);
}

TEST_F(WinPrinterTest, SelectDescribesThePrinterPage) {
  FakePrintSystem print;
  print.Options("media=Letter ColorModel=Gray");
  Select();
  EXPECT_EQ(WindowsPrinterAvailable(), 1);
  EXPECT_EQ(PaperWidth(), 792);
  EXPECT_EQ(PaperHeight(), 612);
  EXPECT_EQ(HardcopyOption(1), 648);
  EXPECT_EQ(HardcopyOption(2), 468);
  EXPECT_EQ(HardcopyOption(5), 1);
  EXPECT_EQ(HardcopyOption(7), 1);  // two colours: monochrome
  EXPECT_EQ(DriverParams().deviceColours, 2);
  EXPECT_EQ(DriverParams().driverNumber, kDriverWindowsPrinter);
  EXPECT_EQ(DriverParams().capabilities[1], "00000111111111100010011011110");
  // The option-keeping reset does not ask the printer again.
  print.Script("lpoptions", "echo asked >> \"" + (print.Dir() / "asked").string() + "\"\n");
  DriverParams().P1 = 0;
  DriverParams().P2 = -998;
  HardcopyDriverSelect(O::Select, kDriverWindowsPrinter);
  EXPECT_FALSE(std::filesystem::exists(print.Dir() / "asked"));
}

TEST_F(WinPrinterTest, TheTitleAndCopiesReachLp) {
  FakePrintSystem print;
  Select();
  HardcopyOptionSet(8, 2);
  WHardcopySwitch(std::string_view(""), std::string_view("Shot 7"));
  Line(10, 20, 110, 20);
  WHardcopySwitch("S");
  EXPECT_EQ(print.LpArguments().rfind("-d office -n 2 -t Shot 7 ", 0), 0u) << print.LpArguments();
  WHardcopySwitch(std::string_view(""));
  Line(10, 20, 110, 20);
  WHardcopySwitch("S");
  EXPECT_NE(print.LpArguments().find("-t Parvendrite graphic "), std::string::npos);
}

TEST_F(WinPrinterTest, ARefusedJobIsReportedAndKept) {
  FakePrintSystem print(3);
  Select();
  WHardcopySwitch(std::string_view(""));
  Line(10, 20, 110, 20);
  const std::size_t boxes = plat::MessageBoxLog().size();
  WHardcopySwitch("S");
  EXPECT_EQ(WErrorStatusQuery(1), kErrOperatingSystem);
  EXPECT_EQ(WErrorStatusQuery(3), 3);
  ASSERT_FALSE(WinPrinterKeptFile().empty());
  EXPECT_EQ(testing_support::ReadFile(WinPrinterKeptFile()), print.Job(0));
  // Whatever the error reporter does, the user sees it.
  ASSERT_EQ(plat::MessageBoxLog().size(), boxes + 1);
  EXPECT_EQ(plat::MessageBoxLog().back().text,
            "The printer refused the job (lp ended with status 3).\rThe job is kept in " +
                WinPrinterKeptFile());
  std::filesystem::remove(WinPrinterKeptFile());
}

// The printer's own words reach the user, and a print server that never
// answers is given up within the limit, the user told.
TEST_F(WinPrinterTest, TheUserHearsTheRefusalAndTheGivingUp) {
  FakePrintSystem print;
  print.Script("lp", "echo 'lp: Unable to print: printer is stopped' >&2\nexit 1\n");
  Select();
  for (const bool hang : {false, true}) {
    SCOPED_TRACE(hang);
    if (hang) print.Hang("lp");
    const int limit = plat::PrintJobHandOverLimitMs();
    plat::PrintJobHandOverLimitMs() = 400;
    WHardcopySwitch(std::string_view(""));
    Line(10, 20, 110, 20);
    const std::size_t boxes = plat::MessageBoxLog().size();
    const auto start = std::chrono::steady_clock::now();
    WHardcopySwitch("S");
    plat::PrintJobHandOverLimitMs() = limit;
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    ASSERT_EQ(plat::MessageBoxLog().size(), boxes + 1);
    const std::string text = plat::MessageBoxLog().back().text;
    EXPECT_EQ(plat::MessageBoxLog().back().caption, "Print");
    const std::string opening =
        hang ? "The printer did not answer within 1 seconds: the job was given up."
             : "The printer refused the job:\rlp: Unable to print: printer is stopped";
    EXPECT_EQ(text.rfind(opening, 0), 0u) << text;
    ASSERT_FALSE(WinPrinterKeptFile().empty());
    EXPECT_NE(text.find("The job is kept in " + WinPrinterKeptFile()), std::string::npos);
    std::filesystem::remove(WinPrinterKeptFile());
  }
  EXPECT_TRUE(print.HungRunning().empty());
}

TEST_F(WinPrinterTest, WithoutLpThePrinterIsUnavailable) {
  testing_support::TempDir empty;
  testing_support::ScopedEnv path("PATH", empty.path().string());
  std::string report;
  SetErrorDeliveryHook([&](int, const std::string& r) { report = r; });
  ErrorReportModeSet(kReportStatusBar);
  Select();
  EXPECT_EQ(WindowsPrinterAvailable(), 0);
  WHardcopyOptions();
  EXPECT_EQ(WErrorStatusQuery(1), 63);
  WHardcopySwitch(std::string_view(""));
  EXPECT_EQ(WErrorStatusQuery(1), kErrOpen);
  EXPECT_NE(report.find("XXWIN"), std::string::npos) << report;
  EXPECT_EQ(Gs().hardcopyOn, 0);
  // The screen goes on drawing.
  Gs().screenOn = 1;
  // And the screen image cannot be printed either.
  ScreenDumpDefaults(0);
  EXPECT_EQ(CurrentScreenDump().windowsPrinterAvailable, 0);
  ScreenDriverCall(O::EndPage);
  EXPECT_EQ(WErrorStatusQuery(1), kErrOpen);
  EXPECT_NE(report.find("YYGAPI"), std::string::npos) << report;
  SetErrorDeliveryHook({});
  ErrorReportModeSet(kReportSilent);
}

}  // namespace
}  // namespace tk::testing
