// The HP-GL plotter driver (1): select, header, pens, lines, native and core
// fills with their annotations, labels and page ends.
#include <gtest/gtest.h>

#include "tests/toolkit/hardcopy/HpglTestSupport.h"
#include "toolkit/hardcopy/HpglRecords.h"

namespace tk::testing {
namespace {

using O = DriverOperation;

class HpglPlotterTest : public HpglDriverTest {
 protected:
  /// Selects MODEL, applies OPTIONS (code, value) and starts output with
  /// plotter units equal to device units.
  void Start(int model, std::initializer_list<std::pair<int, int>> options = {}) {
    SelectPlotter(model);
    for (auto [code, value] : options) HardcopyOptionStore(code, value);
    Begin();
    DriverParams().factorX = DriverParams().factorY = 1.0f;
  }
  /// The records written after the last record equal to MARK, without the
  /// annotation records.
  static std::vector<std::string> After(const std::vector<std::string>& r,
                                        const std::string& mark) {
    int at = -1;
    for (int i = 0; i < static_cast<int>(r.size()); ++i)
      if (r[static_cast<std::size_t>(i)] == mark) at = i;
    std::vector<std::string> out;
    for (auto i = r.begin() + at + 1; i != r.end(); ++i)
      if (i->rfind("SC-", 0) != 0) out.push_back(*i);
    return out;
  }
};

TEST_F(HpglPlotterTest, ProbeAnswersOneAndChangesNothing) {
  HardcopyOptionStore(1, 1234);
  HardcopyDriverSelect(O::Select, kDriverHpgl);  // dispatch to 1 without selecting yet
  HardcopyOptionStore(1, 1234);
  DriverParams().P1 = -999;
  HardcopyDriverSwitch(O::Select);
  EXPECT_EQ(DriverParams().P1, 1);
  EXPECT_EQ(HardcopyOption(1), 1234);
}

TEST_F(HpglPlotterTest, SelectDescribesThePlotterClass) {
  struct Case {
    int model;
    const char* capabilities;
    int pens;
    const char* lineType1;
  };
  const Case cases[] = {
      {1, "00000100000000000010000000010", 4, "LT1 .3"},
      {4, "00000100000000000010000000000", 4, "LT1 .3"},
      {5, "00000100000010000010000000010", 6, "LT1 1"},
      {2, "00000100000011100010001001010", 6, "LT1 .3"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.model);
    SelectPlotter(c.model);
    const DriverParameters& dp = DriverParams();
    EXPECT_EQ(dp.capabilities[1], c.capabilities);
    EXPECT_EQ(dp.penCount, c.pens);
    EXPECT_EQ(dp.deviceColours, c.pens);
    EXPECT_EQ(dp.driverNumber, 1);
    EXPECT_EQ(HardcopyOption(18), 1);
    EXPECT_EQ(HardcopyOption(21), 4);
    EXPECT_EQ(HardcopyOption(25), 0);
    EXPECT_EQ(HardcopyOption(12), 80);
    EXPECT_EQ(HardcopyFileName().substr(0, 13), "parvplot.plt ");
    Gs().lineType = 0;
    Begin();
    Gs().lineType = 1;
    Send(O::LineType);
    const std::vector<std::string> r = End();
    EXPECT_EQ(CountRecords(r, c.lineType1), 1);
  }
  // The plot area of model 1 (1016 units per inch, x 400-10870, y to 7480).
  SelectPlotter(1);
  const double u = 1016.0 / 72.0;
  EXPECT_EQ(HardcopyOption(3), static_cast<int>(400 / u));
  EXPECT_EQ(HardcopyOption(1), static_cast<int>(10870 / u - HardcopyOption(3)));
  EXPECT_EQ(HardcopyOption(2), static_cast<int>(7480 / u));
}

TEST_F(HpglPlotterTest, HeaderAndPlotterSwitchBytes) {
  SelectPlotter(3);
  HardcopyOptionStore(19, 1);
  Begin();
  const std::vector<std::string> r = End();
  ASSERT_GE(r.size(), 8u);
  const double u = 1021.0 / 72.0;
  const int p1x = static_cast<int>(HardcopyOption(3) * u);
  const int p2x = static_cast<int>((HardcopyOption(3) + HardcopyOption(1)) * u);
  const int p2y = static_cast<int>(HardcopyOption(2) * u);
  const std::string points =
      std::to_string(p1x) + " 0 " + std::to_string(p2x) + " " + std::to_string(p2y);
  EXPECT_EQ(r[0], "\x1b.Y");
  EXPECT_EQ(r[1], "IN; IP " + points);
  EXPECT_EQ(r[2], "RO0; IP " + points);
  EXPECT_EQ(r[3], "DT\4");
  EXPECT_EQ(r[4], "DI1. 0.");
  EXPECT_EQ(r[5], "SC-2 9 0 32760");
  EXPECT_EQ(r[6], "SC-13 3 0 32760");
  EXPECT_EQ(r[7], "SC0 32760 0 32760");
  EXPECT_EQ(r.back(), "\x1b.Z");
}

TEST_F(HpglPlotterTest, RotationFollowsOptionFive) {
  for (auto [option5, expected] :
       {std::pair{0, "RO90; IP "}, std::pair{1, "RO0; IP "}, std::pair{2, "RO0; IP "}}) {
    SCOPED_TRACE(option5);
    Start(1, {{5, option5}});
    const std::vector<std::string> r = End();
    ASSERT_GE(r.size(), 2u);
    EXPECT_EQ(r[1].rfind(expected, 0), 0u) << r[1];
  }
}

TEST_F(HpglPlotterTest, PensComeFromColourBlocks) {
  // Four pens: blocks 0-7 give pens 1, 3, 1, 2, 2, 4, 3, 4; white (colour
  // 0) is the paper and takes no pen of ink.
  const std::pair<int, char> cases[] = {{0, '0'},   {15, '1'},  {240, '1'}, {16, '3'},  {47, '3'},
                                        {100, '2'}, {150, '4'}, {130, '2'}, {200, '3'}, {223, '4'}};
  for (auto [colour, pen] : cases) {
    SCOPED_TRACE(colour);
    Start(1);
    Colour(pen == '4' ? kWhite : kBlack);  // another pen first
    Colour(colour);
    const std::vector<std::string> r = End();
    std::string last;
    for (const std::string& s : r)
      if (s.rfind("PU;SP", 0) == 0) last = s;
    EXPECT_EQ(last, std::string("PU;SP") + pen);
  }
}

TEST_F(HpglPlotterTest, ColourAnnotationOnlyWithoutSoftwareFill) {
  Start(1);
  Colour(kRed);
  Gs().fillRequestHardcopy = 2;
  Colour(kBlue);
  Gs().fillRequestHardcopy = 0;
  const std::vector<std::string> r = End();
  EXPECT_EQ(CountRecords(r, "SC-1 255 0 32760 ;SC0 32760 0 32760"), 1);
  EXPECT_EQ(CountRecords(r, "SC-1 16711680 0 32760 ;SC0 32760 0 32760"), 0);
}

TEST_F(HpglPlotterTest, LinesLiftThePenOnlyWhenNeeded) {
  Start(1);
  Line(10, 20, 30, 40);
  Line(30, 40, 50, 20);  // joined: no pen-up
  Line(60, 60, 70, 70);
  Corners({{70, 70}});
  Send(O::Point);
  const std::vector<std::string> r = After(End(), "PU;SP4");
  const std::vector<std::string> expected = {"PU10 20", "PD30 40", "PD50 20", "PU60 60",
                                             "PD70 70", "PD70 70", "PU;SP0 ;"};
  ASSERT_GE(r.size(), expected.size());
  EXPECT_EQ(std::vector<std::string>(r.begin(), r.begin() + 7), expected);
}

TEST_F(HpglPlotterTest, PolylineSendsOnePenDownPerPoint) {
  Start(1);
  DriverParameters& dp = DriverParams();
  dp.P1 = 3;
  dp.pointX[0] = 1, dp.pointY[0] = 2, dp.pointX[1] = 3, dp.pointY[1] = 4;
  dp.pointX[2] = 5, dp.pointY[2] = 6;
  Send(O::Polyline);
  dp.P1 = 2;
  dp.pointX[0] = 5, dp.pointY[0] = 6, dp.pointX[1] = 7, dp.pointY[1] = 8;
  Send(O::Polyline);
  const std::vector<std::string> r = After(End(), "PU;SP4");
  const std::vector<std::string> expected = {"PU1 2", "PD3 4", "PD5 6", "PD7 8"};
  EXPECT_EQ(std::vector<std::string>(r.begin(), r.begin() + 4), expected);
}

TEST_F(HpglPlotterTest, PenIsSelectedAgainAfterAPageEnd) {
  Start(7);
  Colour(kRed);
  Line(1, 1, 2, 2);
  Send(O::EndPage, 1);
  Line(3, 3, 4, 4);
  Line(5, 5, 6, 6);
  const std::vector<std::string> r = End();
  const int end = IndexOf(r, "SC-3 1 0 32760 ;SC0 32760 0 32760");
  ASSERT_GE(end, 0);
  EXPECT_EQ(r[static_cast<std::size_t>(end + 1)], "PU;SP0 ;PG;") << "models 7 and 8 eject";
  EXPECT_EQ(r[static_cast<std::size_t>(end + 2)], "SP3");
  EXPECT_EQ(r[static_cast<std::size_t>(end + 3)], "PU3 3");
  EXPECT_EQ(CountRecords(r, "SP3"), 1) << "not before the second line";
  EXPECT_FALSE(DriverParams().pageDirty);
}

TEST_F(HpglPlotterTest, CoreFillsEveryShapeWithOptionTwentyFiveOff) {
  // Class 4 fills every shape itself, but option 25 is 0 after select.
  Start(2);
  DriverParameters& dp = DriverParams();
  Gs().fillStyle = kFillSolid;
  struct Case {
    O op;
    int kind;
  };
  for (const Case c :
       {Case{O::RectangleHalftone, 6}, Case{O::TriangleHalftone, 7}, Case{O::TrapeziumHalftone, 8},
        Case{O::PolygonHalftone, 11}, Case{O::PieHalftone, 4}}) {
    SCOPED_TRACE(ToString(c.op));
    Corners({{10, 10}, {20, 10}, {20, 20}, {10, 20}});
    dp.P1 = 3;
    dp.pointX[0] = 1, dp.pointX[1] = 2, dp.pointX[2] = 3;
    dp.pointY[0] = dp.pointY[1] = dp.pointY[2] = 0;
    Gs().fillRequestHardcopy = 0;
    Send(c.op, 1);
    EXPECT_EQ(Gs().fillRequestHardcopy, 2);
    EXPECT_FLOAT_EQ(dp.fillLineSpacing, 0.8f * 80.0f / static_cast<float>(HardcopyOption(2)));
    Send(c.op, -1);
  }
  const std::vector<std::string> r = End();
  for (const char* native : {"PM0", "PM2;FP", "RA10 10", "FT2;PT 0.28"})
    EXPECT_EQ(CountRecords(r, native), 0) << native;
  EXPECT_EQ(CountRecords(r, "SC-6 4 2 32773"), 1);
  EXPECT_EQ(CountRecords(r, "SC-6 -1 0 32760 ;SC0 32760 0 32760"), 1);
  EXPECT_EQ(CountRecords(r, "SC-11 4 2 32773"), 1);
  EXPECT_EQ(CountRecords(r, "SC-12 3 0 32760"), 1);
  EXPECT_EQ(CountRecords(r, "SC-4 4 2 32773"), 1);
  EXPECT_EQ(CountRecords(r, "SC-9 10 10 0"), 4);
  EXPECT_EQ(CountRecords(r, "SC-9 1 0 0"), 1) << "first polygon vertex";
  EXPECT_EQ(CountRecords(r, "SC-9 20.0000 20.0000 0"), 1) << "pie angles";
  EXPECT_EQ(CountRecords(r, "SC-9 10 10 32760"), 1) << "trapezium sides";
  EXPECT_EQ(CountRecords(r, "SC-9 1 0 32760 ;SC0 32760 0 32760"), 1) << "trapezium direction";
}

TEST_F(HpglPlotterTest, OptionEighteenOffLeavesNoAnnotation) {
  Start(2, {{18, 0}});
  Gs().fillStyle = kFillSolid;
  Colour(kRed);
  Corners({{10, 10}, {20, 20}});
  Send(O::RectangleHalftone, 1);
  Send(O::RectangleHalftone, -1);
  Gs().hardcopyLineWidth = 20;
  HardcopyOptionStore(9, 20);
  Send(O::LineWidth);
  Send(O::EndPage, 1);
  const std::vector<std::string> r = End();
  for (const std::string& s : r) {
    EXPECT_NE(s.rfind("SC-", 0), 0u) << s;
    EXPECT_NE(s.rfind("PW", 0), 0u) << s;
  }
  // Begin and clip keep their working scaling.
  EXPECT_EQ(CountRecords(r, "SC0 32760 0 32760"), 2);
}

TEST_F(HpglPlotterTest, ClassFourPolygonsUpTo127VerticesAreFilledByThePlotter) {
  for (int n : {127, 128}) {
    SCOPED_TRACE(n);
    Start(2, {{25, 1}});
    Gs().fillStyle = kFillSolid;
    DriverParameters& dp = DriverParams();
    dp.P1 = n;
    for (int i = 0; i < n; ++i) dp.pointX[i] = static_cast<float>(i), dp.pointY[i] = 5;
    Gs().fillRequestHardcopy = 0;
    Send(O::PolygonHalftone, 1);
    const int request = Gs().fillRequestHardcopy;
    Send(O::PolygonHalftone, -1);
    const std::vector<std::string> r = End();
    if (n == 127) {
      EXPECT_EQ(request, 0);
      const int pm = IndexOf(r, "PM0");
      ASSERT_GT(pm, 0);
      EXPECT_EQ(r[static_cast<std::size_t>(pm - 1)], "PU0 5");
      EXPECT_EQ(r[static_cast<std::size_t>(pm - 2)], "FT2;PT 0.28");
      EXPECT_EQ(r[static_cast<std::size_t>(pm + 126 + 1)], "PM2;FP");
      EXPECT_EQ(r[static_cast<std::size_t>(pm + 126)], "PD126 5");
      EXPECT_EQ(CountRecords(r, "SC-11 -1 0 32760 ;SC0 32760 0 32760"), 0);
    } else {
      EXPECT_EQ(request, 2);
      EXPECT_EQ(CountRecords(r, "PM0"), 0);
      EXPECT_EQ(CountRecords(r, "SC-12 128 0 32760"), 1);
      EXPECT_EQ(CountRecords(r, "SC-11 -1 0 32760 ;SC0 32760 0 32760"), 1);
    }
  }
}

TEST_F(HpglPlotterTest, HalftoneOfOneColourIsSolid) {
  struct Case {
    int previous, current;
    bool native;
  };
  for (const Case c : {Case{kRed, kRed, true}, Case{kBlue, kRed, false}}) {
    Start(5, {{25, 1}});  // class 3 fills rectangles
    Colour(c.previous);
    Colour(c.current);
    Gs().fillStyle = kFillHalftone;
    Corners({{10, 10}, {20, 30}});
    Send(O::RectangleHalftone, 1);
    Send(O::RectangleHalftone, -1);
    const std::vector<std::string> r = End();
    EXPECT_EQ(CountRecords(r, "RA20 30"), c.native ? 1 : 0);
    EXPECT_EQ(CountRecords(r, "SC-6 3 2 32773"), c.native ? 0 : 1);
  }
}

TEST_F(HpglPlotterTest, FillPenThicknessIsWrittenOnce) {
  Start(2, {{25, 1}});
  Gs().fillStyle = kFillSolid;
  for (int i = 0; i < 2; ++i) {
    Corners({{10, 10}, {20, 10}, {15, 20}});
    Send(O::TriangleHalftone, 1);
    Send(O::TriangleHalftone, -1);
  }
  const std::vector<std::string> r = End();
  EXPECT_EQ(CountRecords(r, "FT2;PT 0.28"), 1);
  EXPECT_EQ(CountRecords(r, "PM2;FP"), 2);
}

TEST_F(HpglPlotterTest, LabelsKeepBlanksAndEndWithTheTerminator) {
  Start(1);
  DriverParameters& dp = DriverParams();
  Gs().text.spacingMode = 1;
  Corners({{100, 200}});
  DriverText() = "A  B";
  DriverText().resize(kDriverTextLength, ' ');
  dp.KX[0] = 4;
  Send(O::Text);
  EXPECT_EQ(dp.penLastX, -9999.0f);
  Line(1, 1, 2, 2);
  const std::vector<std::string> r = End();
  const int lb = IndexOf(r, "LBA  B\4");
  ASSERT_GT(lb, 0);
  EXPECT_EQ(r[static_cast<std::size_t>(lb - 1)].substr(0, 2), "PU");
  EXPECT_EQ(r[static_cast<std::size_t>(lb + 1)], "PU1 1") << "the pen moves up after a label";
  EXPECT_EQ(CountRecords(r, "SL0."), 1);
  int sr = 0;
  for (const std::string& s : r) sr += s.rfind("SR", 0) == 0;
  EXPECT_EQ(sr, 1);
}

TEST_F(HpglPlotterTest, AttributeRecords) {
  Start(1);
  Gs().text.cosA = 0.5f;
  Gs().text.qSinA = 0.866f;
  Send(O::TextAngle);
  Gs().lineType = 0;
  Send(O::LineType);
  Gs().lineType = 3;
  Send(O::LineType);
  HardcopyOptionStore(9, 5);
  Send(O::LineWidth);
  const std::vector<std::string> r = End();
  EXPECT_EQ(CountRecords(r, "DI0.500 0.866"), 1);
  EXPECT_GE(CountRecords(r, "LT"), 1);
  EXPECT_EQ(CountRecords(r, "LT4 3"), 1);
  EXPECT_GE(CountRecords(r, "PW0.142"), 1);
}

TEST_F(HpglPlotterTest, ClipWindowOnThePlotArea) {
  Start(1);
  const std::vector<std::string> r = End();
  // The clip at begin is the whole drawable: the window is the plot area.
  const int iw = IndexOf(r, "SC");
  ASSERT_GT(iw, 0);
  const double u = 1016.0 / 72.0;
  const int p1x = static_cast<int>(HardcopyOption(3) * u);
  const int p2x = static_cast<int>((HardcopyOption(3) + HardcopyOption(1)) * u);
  const int p2y = static_cast<int>(HardcopyOption(2) * u);
  EXPECT_EQ(r[static_cast<std::size_t>(iw + 1)],
            "IW" + std::to_string(p1x) + " 0 " + std::to_string(p2x) + " " + std::to_string(p2y));
  EXPECT_EQ(r[static_cast<std::size_t>(iw + 2)], "SC0 32760 0 32760");
}

TEST_F(HpglPlotterTest, EllipsesAreCirclesUnderTheIsotropicScaling) {
  for (int option25 : {0, 1}) {
    SCOPED_TRACE(option25);
    Start(2, {{25, option25}});
    Gs().fillStyle = kFillSolid;
    Corners({{50, 40}, {10, 0}, {1, 0}});
    Send(O::EllipseHalftone, 1);
    Send(O::EllipseHalftone, -1);
    const std::vector<std::string> r = End();
    const int ci = IndexOf(r, "CI10 0");
    ASSERT_GT(ci, 0);
    EXPECT_EQ(r[static_cast<std::size_t>(ci - 1)] == "PM0", option25 == 1);
    EXPECT_EQ(CountRecords(r, "PM2;FP"), option25);
    EXPECT_EQ(CountRecords(r, "SC-5 4 2 32763"), 1 - option25) << "the core's fill is described";
    EXPECT_EQ(CountRecords(r, "SC-5 -1 0 32760 ;SC0 32760 0 32760"), 1 - option25);
    EXPECT_EQ(r[static_cast<std::size_t>(ci + 1 + option25)], "SC0 32760 0 32760");
  }
}

TEST_F(HpglPlotterTest, ArcsAndPiesUseTheIsotropicScaling) {
  Start(2, {{25, 1}});
  DriverParameters& dp = DriverParams();
  Corners({{50, 40}, {10, 10}, {0, 1.5708f}, {0, 90}});
  Gs().fillStyle = kFillSolid;
  Send(O::PieHalftone, 1);
  Send(O::PieHalftone, -1);
  Gs().fillStyle = kFillOutline;
  Gs().hatchDensity = 3;
  Send(O::Arc);
  const std::vector<std::string> r = End();
  // The y axis is compressed so that a circle stays round.
  const int q = static_cast<int>(32760.0 * HardcopyOption(2) / HardcopyOption(1));
  EXPECT_EQ(CountRecords(r, "SC0 32760 0 " + std::to_string(q)), 2);
  EXPECT_EQ(CountRecords(r, "WG10 0.0 90.0"), 1);
  EXPECT_EQ(CountRecords(r, "AA50 " + std::to_string(static_cast<int>(40.0 * q / 32760)) + " 90.0"),
            1);
  EXPECT_NEAR(dp.penLastX, 50.0f, 1e-4);
  EXPECT_NEAR(dp.penLastY, 50.0f, 1e-4);
}

}  // namespace
}  // namespace tk::testing
