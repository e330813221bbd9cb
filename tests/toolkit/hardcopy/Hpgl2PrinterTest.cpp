// The HP-GL/2 printer driver (12): PCL framing, pens and dither patterns,
// polyline encoding, fonts and labels, and the title comment.
#include <gtest/gtest.h>

#include "tests/toolkit/hardcopy/Hpgl2Decoder.h"
#include "tests/toolkit/hardcopy/HpglTestSupport.h"
#include "toolkit/hardcopy/ColourShade.h"
#include "toolkit/hardcopy/HpglRecords.h"

namespace tk::testing {
namespace {

using O = DriverOperation;

class Hpgl2PrinterTest : public HpglDriverTest {
 protected:
  /// Selects DEVICE, applies OPTIONS and starts output with plotter units
  /// equal to device units.
  void Start(int device, std::initializer_list<std::pair<int, int>> options = {},
             std::optional<std::string_view> title = std::nullopt) {
    SelectPrinter(device);
    for (auto [code, value] : options) HardcopyOptionStore(code, value);
    Begin(title);
    DriverParams().factorX = DriverParams().factorY = 1.0f;
  }
  static void Polyline(const std::vector<std::pair<float, float>>& points) {
    DriverParameters& dp = DriverParams();
    dp.P1 = static_cast<int>(points.size());
    for (std::size_t i = 0; i < points.size(); ++i)
      dp.pointX[i] = points[i].first, dp.pointY[i] = points[i].second;
    Send(O::Polyline);
  }
  static void Rectangle(int style) {
    Gs().fillStyle = style;
    Corners({{10, 10}, {20, 20}});
    Send(O::RectangleHalftone, 1);
    Send(O::RectangleHalftone, -1);
  }
};

TEST_F(Hpgl2PrinterTest, ProbeAnswersTwelveAndChangesNothing) {
  HardcopyDriverSelect(O::Select, kDriverHpgl2);
  HardcopyOptionStore(1, 1234);
  DriverParams().P1 = -999;
  HardcopyDriverSwitch(O::Select);
  EXPECT_EQ(DriverParams().P1, 12);
  EXPECT_EQ(HardcopyOption(1), 1234);
}

TEST_F(Hpgl2PrinterTest, SelectDescribesTheDevice) {
  struct Case {
    int device;
    int colours;
    const char* capabilities;
    const char* fontSlot;  // of the font record
    const char* cell;      // k in the device comment
  };
  const Case cases[] = {
      {1, 2, "00000100000011100010001001110", ";SD", "1.5"},
      {2, 256, "00000100011111100010011011110", ";AD", "1.2"},
      {3, 2, "00000100000011100010001001110", ";AD", "1.2"},
      {4, 256, "00000100011111100010011011110", ";AD", "1.2"},
      {5, 256, "00000100011111100010011011110", ";AD", "1.2"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.device);
    Start(c.device);
    const DriverParameters& dp = DriverParams();
    EXPECT_EQ(dp.deviceColours, c.colours);
    EXPECT_EQ(dp.penCount, c.colours);
    EXPECT_EQ(dp.capabilities[1], c.capabilities);
    EXPECT_EQ(dp.driverNumber, 12);
    EXPECT_EQ(HardcopyOption(18), 0);
    Gs().text.deviceFace = 2;
    Corners({{10, 10}, {10, 10}, {20, 10}, {20, 10}});
    DriverText() = "X";
    DriverParams().KX[0] = 1;
    Send(O::Text);
    const std::vector<std::string> r = End();
    EXPECT_EQ(
        CountRecords(r, std::string("CO\"13 ") + std::to_string(c.device) + " " + c.cell + " 9\""),
        1);
    EXPECT_EQ(CountRecords(r, "CO\"2 0\""), 1);
    EXPECT_EQ(CountRecords(r, std::string("SL0.") + c.fontSlot + " 2 1 6 0 7 4148"), 1);
    EXPECT_EQ(CountRecords(r, "AD1,14;SA"), c.device == 1 ? 0 : 1);
    EXPECT_EQ(CountRecords(r, "NP256"), c.colours == 256 ? 1 : 0);
    EXPECT_EQ(CountRecords(r, "TR0"), 1);
  }
}

TEST_F(Hpgl2PrinterTest, PclFramingAndPlainDevice) {
  for (int device : {1, 2, 3, 4, 5}) {
    SCOPED_TRACE(device);
    Start(device, {{8, 3}});
    Line(1, 1, 2, 2);
    Send(O::EndPage, 1);
    Line(3, 3, 4, 4);
    End();
    const Hpgl2File f = DecodeHpgl2(bytes);
    EXPECT_TRUE(f.problems.empty());
    EXPECT_EQ(f.pages, 2);
    if (device == 4) {
      EXPECT_FALSE(f.escapes);
      EXPECT_TRUE(f.copies.empty());
    } else {
      EXPECT_TRUE(f.entersHpgl2);
      EXPECT_TRUE(f.returnsToPcl);
      EXPECT_EQ(f.copies, (std::vector<std::string>{"03", "03"}));
    }
  }
}

TEST_F(Hpgl2PrinterTest, CopiesStayInTheirTwoDigits) {
  for (auto [copies, text] :
       {std::pair{1, "01"}, std::pair{99, "99"}, std::pair{100, "99"}, std::pair{12345, "99"}}) {
    SCOPED_TRACE(copies);
    Start(1, {{8, copies}});
    Line(1, 1, 2, 2);
    End();
    EXPECT_EQ(DecodeHpgl2(bytes).copies, std::vector<std::string>{text});
  }
}

TEST_F(Hpgl2PrinterTest, RotationRuleOfPlainDeviceIsTheOpposite) {
  struct Case {
    int device, option5;
    const char* rotation;
  };
  for (const Case c : {Case{1, 1, "RO90; IP "}, Case{1, 0, "RO0; IP "}, Case{5, 1, "RO90; IP "},
                       Case{4, 1, "RO0; IP "}, Case{4, 0, "RO90; IP "}}) {
    SCOPED_TRACE(std::to_string(c.device) + "/" + std::to_string(c.option5));
    Start(c.device, {{5, c.option5}});
    const std::vector<std::string> r = End();
    int found = 0;
    for (const std::string& s : r) found += s.rfind(c.rotation, 0) == 0;
    EXPECT_EQ(found, 1);
  }
}

TEST_F(Hpgl2PrinterTest, TitleIsAQuotedComment) {
  Start(1, {}, std::string_view("say \"in\"  pg;IN"));
  const std::vector<std::string> r = End();
  EXPECT_EQ(r[1], "CO\":say in pg;IN\"");
}

TEST_F(Hpgl2PrinterTest, PensAreDefinedOnFirstUse) {
  Start(2);
  Colour(5);
  Colour(5);
  Colour(5);
  const std::vector<std::string> r = End();
  int r5 = 0, g5 = 0, b5 = 0;
  RgbSplit(PaletteGetRgb(5), r5, g5, b5);
  const std::string pc =
      "PC5 " + std::to_string(r5) + " " + std::to_string(g5) + " " + std::to_string(b5);
  EXPECT_EQ(CountRecords(r, pc), 1);
  EXPECT_EQ(CountRecords(r, "PU;SP 5"), 1);
  EXPECT_EQ(IndexOf(r, pc) + 1, IndexOf(r, "PU;SP 5"));
  EXPECT_TRUE(PenProblems(bytes, true).empty());
}

TEST_F(Hpgl2PrinterTest, RgbColoursTakeTheNearestPalettePen) {
  Start(2);
  Gs().colourMode = 2;
  const int rgb = PaletteGetRgb(kRed);
  ColourDirectSet(-1, rgb, 0, 2);
  Gs().colourMode = 1;
  const std::vector<std::string> r = End();
  const std::string pen = std::to_string(PaletteNearestColour(rgb));
  EXPECT_EQ(CountRecords(r, "PU;SP " + pen), 1);
  EXPECT_TRUE(PenProblems(bytes, true).empty());
}

TEST_F(Hpgl2PrinterTest, ColourModeRuleOfPenDefinitions) {
  struct Case {
    int option6, r, g, b;
    const char* record;
  };
  const Case cases[] = {
      {2, 255, 255, 255, "PC7 0 0 0"},       {2, 0, 0, 0, "PC7 255 255 255"},
      {2, 200, 255, 255, "PC7 200 255 255"}, {1, 200, 0, 10, "PC7 55 255 245"},
      {0, 255, 255, 255, "PC7 255 255 255"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.record);
    Start(2, {{6, c.option6}});
    YYHP2PC(7, c.r, c.g, c.b);
    const std::vector<std::string> r = End();
    EXPECT_EQ(CountRecords(r, c.record), 1);
  }
}

TEST_F(Hpgl2PrinterTest, MonochromePensAreBlackAndWhite) {
  Start(1);
  for (int n : {0, 5, 223, 100, 0}) Colour(n);
  End();
  const Hpgl2File f = DecodeHpgl2(bytes);
  EXPECT_TRUE(f.pensDefined.empty());
  EXPECT_TRUE(PenProblems(bytes, false).empty());
  EXPECT_NE(bytes.find("PU;SP0\r\n"), std::string::npos);
  EXPECT_NE(bytes.find("PU;SP1\r\n"), std::string::npos);
}

TEST_F(Hpgl2PrinterTest, PaletteEntriesDefinePensOnlyOnColourDevices) {
  for (int device : {1, 2}) {
    SCOPED_TRACE(device);
    Start(device);
    DriverParams().P1 = 1;
    DriverParams().KX[0] = 0x00FFFF00;  // cyan
    Send(O::PaletteEntry);
    const std::vector<std::string> r = End();
    // On a monochrome device pen 1 stays the black pen.
    EXPECT_EQ(CountRecords(r, "PC1 0 255 255"), device == 1 ? 0 : 1);
  }
}

TEST_F(Hpgl2PrinterTest, BeginThatCannotOpenLeavesOutputOff) {
  SelectPrinter(2);
  WHardcopySwitch((dir.path() / "missing" / "out.plt").string());
  EXPECT_EQ(Gs().hardcopyOn, 0);
  EXPECT_NE(ErrorState().lastError, 0);
}

TEST_F(Hpgl2PrinterTest, SolidMonochromeFillPatternIsWrittenOnce) {
  Start(1);
  Colour(kRed);
  Rectangle(kFillSolid);
  Rectangle(kFillSolid);
  const std::vector<std::string> r = End();
  EXPECT_EQ(CountRecords(r, "RF1,8,4,"), 1);
  EXPECT_EQ(CountRecords(r, "FT11 1"), 1);
  const int rf = IndexOf(r, "RF1,8,4,");
  ASSERT_GE(rf, 0);
  EXPECT_EQ(r[static_cast<std::size_t>(rf + 1)].size(), 32u);
  EXPECT_EQ(r[static_cast<std::size_t>(rf + 2)].back(), ';');
  EXPECT_EQ(CountRecords(r, "CO\" 6 4 2 3 1\""), 2);
  EXPECT_EQ(CountRecords(r, "CO\" 6 -1\""), 2);
  EXPECT_EQ(CountRecords(r, "RA20 20"), 2);
}

TEST_F(Hpgl2PrinterTest, MonochromeHalftoneMixesTheTwoPatterns) {
  Start(1);
  Colour(kWhite);
  Colour(kBlack);
  Rectangle(kFillHalftone);
  Rectangle(kFillHalftone);
  const std::vector<std::string> r = End();
  EXPECT_EQ(CountRecords(r, "RF2,8,4,"), 1);
  EXPECT_EQ(CountRecords(r, "FT11 2"), 1);
  // White (all dots lit) on the odd cells of the mask, black on the others.
  const int rf = IndexOf(r, "RF2,8,4,");
  ASSERT_GE(rf, 0);
  const std::uint32_t w = 0xAA55AA55u;
  std::string cells;
  for (int i = 0; i < 32; ++i) cells += (w & (1u << i)) ? "0," : "1,";
  cells.back() = ';';
  EXPECT_EQ(r[static_cast<std::size_t>(rf + 1)] + r[static_cast<std::size_t>(rf + 2)], cells);
}

TEST_F(Hpgl2PrinterTest, GlyphFillUsesSolidFillType) {
  Start(1);
  Gs().glyphFill = 1;
  Rectangle(kFillSolid);
  Gs().glyphFill = 0;
  const std::vector<std::string> r = End();
  EXPECT_EQ(CountRecords(r, "FT2"), 1);
  EXPECT_EQ(CountRecords(r, "RF1,8,4,"), 0);
}

TEST_F(Hpgl2PrinterTest, ColourHalftoneDefinesAMixedPenAndRestoresTheColour) {
  Start(2);
  Colour(3);
  Colour(5);
  Gs().fillStyle = kFillHalftone;
  Corners({{10, 10}, {20, 10}, {15, 20}});
  Send(O::TriangleHalftone, 1);
  Send(O::TriangleHalftone, -1);
  Colour(250);
  const std::vector<std::string> r = End();
  int r3, g3, b3, r5, g5, b5;
  RgbSplit(PaletteGetRgb(3), r3, g3, b3);
  RgbSplit(PaletteGetRgb(5), r5, g5, b5);
  const std::string mixed = "PC250 " + std::to_string((r3 + r5) / 2) + " " +
                            std::to_string((g3 + g5) / 2) + " " + std::to_string((b3 + b5) / 2);
  const int pc = IndexOf(r, mixed);
  ASSERT_GE(pc, 0);
  EXPECT_EQ(r[static_cast<std::size_t>(pc + 1)], "PU;SP250");
  const int end = IndexOf(r, "CO\" 7 -1\"", pc);
  ASSERT_GT(end, pc);
  EXPECT_EQ(r[static_cast<std::size_t>(end + 1)], "PU;SP 5");
  // Pen 250 held the mixture: used as a colour it is defined again.
  int r250, g250, b250;
  RgbSplit(PaletteGetRgb(250), r250, g250, b250);
  EXPECT_EQ(IndexOf(r,
                    "PC250 " + std::to_string(r250) + " " + std::to_string(g250) + " " +
                        std::to_string(b250),
                    end),
            end + 2);
  EXPECT_TRUE(PenProblems(bytes, true).empty());
}

TEST_F(Hpgl2PrinterTest, SolidColourFillsNeedNoPattern) {
  Start(5);
  Colour(kRed);
  Rectangle(kFillSolid);
  const std::vector<std::string> r = End();
  EXPECT_EQ(CountRecords(r, "RA20 20"), 1);
  for (const std::string& s : r) EXPECT_NE(s.rfind("RF", 0), 0u) << s;
}

TEST_F(Hpgl2PrinterTest, RelativeMovesAreEncodedInBase32) {
  Start(2);
  // Moves (0, 1), (-1, 16), (-16, -17) from (10, 10).
  Polyline({{10, 10}, {10, 11}, {9, 27}, {-7, 10}});
  const std::vector<std::string> r = End();
  const std::string expected = std::string("PE7") + char(95) + char(97) + char(98) + char(63) +
                               char(96) + char(64) + char(96) + char(66) + char(96) + ";";
  const int pe = IndexOf(r, expected);
  ASSERT_GT(pe, 0);
  EXPECT_EQ(r[static_cast<std::size_t>(pe - 1)], "PU10 10");
}

TEST_F(Hpgl2PrinterTest, LongPolylinesSplitAfter246Characters) {
  Start(2);
  DriverParams().factorX = DriverParams().factorY = 7.3f;
  std::vector<std::pair<float, float>> points;
  for (int i = 0; i < 400; ++i)
    points.push_back({static_cast<float>(i % 37) * 1.7f, static_cast<float>((i * 7) % 101) * 0.9f});
  Polyline(points);
  End();
  const std::vector<std::string> r = Records(bytes);
  int records = 0;
  for (const std::string& s : r) {
    if (s.rfind("PE7", 0) != 0) continue;
    ++records;
    EXPECT_EQ(s.back(), ';');
    // The length test comes before each point's x: at most 246 plus one
    // point (two values of at most four characters) plus ";".
    EXPECT_LE(s.size(), 246u + 8u + 1u);
  }
  EXPECT_GT(records, 2);
  for (std::size_t i = 0; i + 1 < r.size(); ++i) {
    if (r[i].rfind("PE7", 0) == 0 && r[i + 1].rfind("PE7", 0) == 0) {
      EXPECT_GT(r[i].size(), 247u);
    }
  }
  const Hpgl2File f = DecodeHpgl2(bytes);
  ASSERT_EQ(f.encoded.size(), 1u);
  std::vector<PlotterPoint> expected;
  for (auto [x, y] : points) expected.push_back({PlotterUnitX(x), PlotterUnitY(y)});
  EXPECT_EQ(f.encoded[0], expected);
}

TEST_F(Hpgl2PrinterTest, PolygonFillIsEncodedInPolygonMode) {
  Start(1);
  Gs().fillStyle = kFillSolid;
  DriverParameters& dp = DriverParams();
  dp.P1 = 3;
  dp.pointX[0] = 0, dp.pointY[0] = 0, dp.pointX[1] = 10, dp.pointY[1] = 0;
  dp.pointX[2] = 5, dp.pointY[2] = 8;
  Send(O::PolygonHalftone, 1);
  Send(O::PolygonHalftone, -1);
  const std::vector<std::string> r = End();
  const int pm = IndexOf(r, "PM0");
  ASSERT_GT(pm, 0);
  EXPECT_EQ(r[static_cast<std::size_t>(pm - 1)], "PU0 0");
  EXPECT_EQ(r[static_cast<std::size_t>(pm + 1)].rfind("PE7", 0), 0u);
  EXPECT_EQ(r[static_cast<std::size_t>(pm + 2)], "PM2;FP");
  EXPECT_EQ(CountRecords(r, "CO\"11 -1\""), 1);
}

TEST_F(Hpgl2PrinterTest, LinesLiftThePenOnlyWhenNeeded) {
  Start(1);
  Line(1, 2, 3, 4);
  Line(3, 4, 5, 6);
  const std::vector<std::string> r = End();
  EXPECT_EQ(CountRecords(r, "PU1 2"), 1);
  EXPECT_EQ(CountRecords(r, "PU3 4"), 0);
  EXPECT_EQ(IndexOf(r, "PD3 4") + 1, IndexOf(r, "PD5 6"));
}

TEST_F(Hpgl2PrinterTest, DeviceOneReplacesUpperCharacterCodes) {
  for (int device : {1, 2}) {
    SCOPED_TRACE(device);
    Start(device);
    Corners({{10, 10}, {10, 10}, {20, 10}, {20, 10}});
    DriverText() = std::string("a") + char(233) + char(161) + char(255);
    DriverParams().KX[0] = 4;
    Send(O::Text);
    const std::vector<std::string> r = End();
    const std::string expected =
        device == 1 ? std::string("LBa") + char(197) + char(184) + char(239) + "\4"
                    : std::string("LBa") + char(233) + char(161) + char(255) + "\4";
    EXPECT_EQ(CountRecords(r, expected), 1);
  }
}

TEST_F(Hpgl2PrinterTest, LabelOriginFollowsJustification) {
  Start(2);
  Gs().text.spacingMode = 2;
  Gs().text.passWCos = Gs().text.passWQSin = Gs().text.passHCos = Gs().text.passHSinQ = 0;
  Corners({{10, 10}, {1, 1}, {30, 10}, {30, 10}});
  DriverText() = "AB";
  DriverParams().KX[0] = 2;
  for (int j : {0, 1, 2, 2}) {
    Gs().text.hJustify = j;
    Send(O::Text);
  }
  const std::vector<std::string> r = End();
  const int lo1 = IndexOf(r, "LO1"), lo4 = IndexOf(r, "LO4"), lo7 = IndexOf(r, "LO7");
  ASSERT_TRUE(lo1 > 0 && lo4 > lo1 && lo7 > lo4);
  EXPECT_EQ(CountRecords(r, "LO7"), 1);
  EXPECT_EQ(r[static_cast<std::size_t>(lo4 + 1)].substr(0, 4), "PU20");
  EXPECT_EQ(r[static_cast<std::size_t>(lo7 + 1)].substr(0, 4), "PU30");
}

TEST_F(Hpgl2PrinterTest, LineJoinsCapsAndWidths) {
  Start(2);
  for (int j : {0, 1, 2}) {
    HardcopyOptionStore(10, j);
    Send(O::LineJoin);
    HardcopyOptionStore(11, j);
    Send(O::LineCap);
  }
  HardcopyOptionStore(9, 1);
  Send(O::LineWidth);
  HardcopyOptionStore(9, 500);
  Send(O::LineWidth);
  const std::vector<std::string> r = End();
  for (const char* s : {"LA2 1", "LA2 4", "LA2 5", "LA1 1", "LA1 4", "LA1 2", "PW0.028", "PW5.000"})
    EXPECT_GE(CountRecords(r, s), 1) << s;
}

}  // namespace
}  // namespace tk::testing
