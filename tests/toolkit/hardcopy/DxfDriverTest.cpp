// The DXF driver: header and tables, entities through the factors, the
// colour search and maps, the fills it leaves to the core's lines, and
// pages that share one entities section.
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/toolkit/hardcopy/FileDriverTestSupport.h"
#include "toolkit/graphics/Colours.h"
#include "toolkit/graphics/Graphics.h"
#include "toolkit/hardcopy/DxfDriver.h"

namespace tk::testing {
namespace {

using O = DriverOperation;

class DxfDriverTest : public FileDriverTest {
 protected:
  void SetUp() override { StandAndSelect(driver, kDriverDxf, 500, 400); }
  // The records of the entities section, without its end.
  std::vector<std::string> Entities() {
    std::vector<std::string> r = After(End(), "ENTITIES");
    if (r.size() >= 4) r.resize(r.size() - 4);
    return r;
  }
  // The value following group code CODE at or after FROM.
  static std::string Value(const std::vector<std::string>& r, const std::string& code, std::size_t from = 0) {
    for (std::size_t i = from; i + 1 < r.size(); i += 2)
      if (r[i] == code) return r[i + 1];
    return "<none>";
  }
  static int Entities(const std::vector<std::string>& r, const std::string& name) {
    int n = 0;
    for (std::size_t i = 0; i + 1 < r.size(); i += 2) n += r[i] == "0" && r[i + 1] == name;
    return n;
  }
  DxfDriver driver;
};

TEST_F(DxfDriverTest, HeaderAndTables) {
  EXPECT_EQ(DriverParams().driverNumber, 8);
  EXPECT_EQ(DriverParams().capabilities[1][26], '0');
  EXPECT_EQ(HardcopyOption(23), 8);
  Begin("out.dxf");
  const std::vector<std::string> r = End();
  const std::vector<std::string> header(r.begin(), r.begin() + 44);
  EXPECT_EQ(header, (std::vector<std::string>{
                        "0",  "SECTION",  "2",  "HEADER",    "9",  "$EXTMIN",  "10", "0.000000",
                        "20", "0.000000", "9",  "$EXTMAX",   "10", "10.500000", "20", "7.500000",
                        "9",  "$CECOLOR", "62", "7",         "9",  "$CELTYPE", "6",  "DASHDOT",
                        "9",  "$VIEWCTR", "10", "5.250000",  "20", "3.750000", "9",  "$LIMMIN",
                        "10", "0",        "20", "0",         "9",  "$LIMMAX",  "10", "10.500000",
                        "20", "7.500000", "0",  "ENDSEC"}));
  EXPECT_EQ(Value(r, "3", 44), std::string(46, '.'));
  const auto hidden = IndexOf(r, "HIDDEN");
  ASSERT_GT(hidden, 0);
  std::string dashes;
  for (int i = 0; i < 23; ++i) dashes += "_ ";
  EXPECT_EQ(r[hidden + 4], dashes);
  EXPECT_EQ(Value(r, "40", static_cast<std::size_t>(hidden) + 1), "0.25");
  const auto divide = IndexOf(r, "DIVIDE");
  EXPECT_EQ(r[divide + 4].substr(35), "__ . . __  ");
  EXPECT_EQ(r[divide + 4].size(), 46u);
  EXPECT_EQ(CountOf(r, "CONTINUOUS"), 9);
  EXPECT_EQ(CountOf(r, "STANDARD"), 1);
  EXPECT_EQ(std::vector<std::string>(r.end() - 6, r.end()),
            (std::vector<std::string>{"2", "ENTITIES", "0", "ENDSEC", "0", "EOF"}));
}

TEST_F(DxfDriverTest, LineAcrossTheDrawable) {
  Begin("out.dxf");
  Line(0, 0, 500, 400);
  Gs().lineType = 2;
  Line(0, 0, 250, 200);
  Gs().fillRequestHardcopy = 2;  // a fill line of the core: no line type
  Line(0, 0, 250, 200);
  Gs().fillRequestHardcopy = 0;
  const std::vector<std::string> e = Entities();
  ASSERT_GE(e.size(), 16u);
  EXPECT_EQ(std::vector<std::string>(e.begin(), e.begin() + 4), (std::vector<std::string>{"0", "LINE", "8", "1"}));
  EXPECT_EQ(e[4], "62");
  EXPECT_EQ(std::vector<std::string>(e.begin() + 6, e.begin() + 16),
            (std::vector<std::string>{"39", "0.006944", "10", "0.", "20", "0.", "11", "10.5", "21", "7.5"}));
  EXPECT_EQ(std::vector<std::string>(e.begin() + 22, e.begin() + 26),
            (std::vector<std::string>{"6", "DASHED", "39", "0.006944"}));
  EXPECT_EQ(CountOf(e, "DASHED"), 1);
  EXPECT_EQ(DxfReal(-0.25f), "-0.25");
  EXPECT_EQ(DxfReal(2.0f), "2.");
  EXPECT_EQ(DxfReal(1.0e9f), std::string(15, '*'));
}

TEST_F(DxfDriverTest, ColourSearchMapsAndCache) {
  EXPECT_EQ(DxfNearestColour(255), 1);            // pure red: the first exact match
  EXPECT_EQ(DxfNearestColour(0x808080), 251);     // nearest 767676
  EXPECT_EQ(DxfNearestColour(0xffffff), 7);
  ColourModeSet(24);
  Begin("out.dxf");
  for (int rgb : {255, 255, 0x808080}) {
    Gs().current = {-1, rgb, 0};
    Send(O::Colour);
    EXPECT_EQ(DxfColourNumber(), rgb == 255 ? 1 : 251);
  }
  ColourModeSet(8);
  struct Case {
    int option, number, expected;
  } cases[] = {{4, 70, 2}, {4, 0, 8}, {4, 255, 8}, {3, 250, 7}, {3, 20, 1}, {0, 0, 7}, {3, 48, 2}};
  for (const Case& c : cases) {
    HardcopyOptionStore(23, c.option);
    Gs().current = {c.number, PaletteGetRgb(c.number), 0};
    Send(O::Colour);
    EXPECT_EQ(DxfColourNumber(), c.expected) << c.option << " " << c.number;
  }
  Line(0, 0, 1, 1);
  EXPECT_EQ(Value(Entities(), "62"), "2");
}

TEST_F(DxfDriverTest, SolidsInCornerOrderAndCutToTheClip) {
  Begin("out.dxf");
  const float f = 500.0f * 72.0f / 756.0f;  // one inch across in device units
  Gs().fillStyle = kFillSolid;
  DriverParameters& dp = DriverParams();
  const std::array<float, 4> xs{1, 5, 4, 2}, ys{1, 1, 3, 3};
  for (int i = 0; i < 4; ++i) dp.X[i] = xs[i] * f, dp.Y[i] = ys[i] * f * 400.0f / 500.0f * 756.0f / 540.0f;
  dp.P2 = 1;
  Send(O::TrapeziumHalftone);
  ClipRectangleSet(100, 100, 200, 150);
  dp.X[0] = 50, dp.Y[0] = 120, dp.X[1] = 300, dp.Y[1] = 140, dp.P2 = 0;
  Send(O::RectangleHalftone);
  Gs().fillStyle = kFillHatch;
  Send(O::RectangleHalftone);  // hatched: nothing of its own
  const std::vector<std::string> e = Entities();
  EXPECT_EQ(Entities(e, "SOLID"), 2);
  auto corners = [&](std::size_t from) {
    std::vector<std::string> c;
    for (const char* code : {"10", "20", "11", "21", "12", "22", "13", "23"}) c.push_back(Value(e, code, from));
    return c;
  };
  EXPECT_EQ(corners(0), (std::vector<std::string>{"1.", "1.", "5.", "1.", "2.", "3.", "4.", "3."}));
  const auto second = IndexOf(e, "SOLID", 2);
  ASSERT_GT(second, 0);
  const DriverParameters& d = DriverParams();
  auto in = [&](float v, float factor) { return DxfReal(factor * v); };
  const float l = Gs().clipX0, r = Gs().clipX1;
  EXPECT_EQ(corners(static_cast<std::size_t>(second) + 1),
            (std::vector<std::string>{in(l, d.factorX), in(120, d.factorY), in(l, d.factorX),
                                      in(140, d.factorY), in(r, d.factorX), in(120, d.factorY),
                                      in(r, d.factorX), in(140, d.factorY)}));
}

TEST_F(DxfDriverTest, SolidPolygonArrivesAsLines) {
  Begin("out.dxf");
  Gs().lineType = 3;
  IGrFillStyle(4);
  Gs().screenOn = 0;
  const std::array<float, 4> x{0.1f, 0.5f, 0.5f, 0.1f}, y{0.1f, 0.1f, 0.5f, 0.5f};
  YYPLYGON(x, y, 4, 0);
  EXPECT_EQ(Gs().fillRequestHardcopy, 0);
  const std::vector<std::string> e = Entities();
  EXPECT_GT(Entities(e, "LINE"), 5);
  EXPECT_EQ(Entities(e, "SOLID"), 0);
  EXPECT_EQ(Entities(e, "POLYLINE"), 0);
  EXPECT_EQ(CountOf(e, "DASHDOT"), 0);  // fill lines carry no line type
  // The spacing is option 12 in device units.
  EXPECT_FLOAT_EQ(DriverParams().fillLineSpacing, 0.8f * 400.0f / 540.0f);
}

TEST_F(DxfDriverTest, TextAnglesArcsAndCircles) {
  StandAndSelect(driver, kDriverDxf, 400, 400);  // a square plot area
  Begin("out.dxf");
  SetText("abc");
  for (float a : {45.7f, -30.2f}) {
    Gs().text.angle = a;
    Send(O::Text);
  }
  DriverParameters& dp = DriverParams();
  dp.X[0] = 200, dp.Y[0] = 200, dp.X[1] = 50, dp.X[3] = 30, dp.Y[3] = -60;
  Send(O::Arc);
  EXPECT_EQ(dp.P2, 1);
  dp.X[2] = 1.0f, dp.P2 = 0;
  Gs().fillStyle = kFillOutline;
  Send(O::EllipseHalftone);
  const std::vector<std::string> e = Entities();
  EXPECT_EQ(Entities(e, "TEXT"), 2);
  const auto first = IndexOf(e, "TEXT");
  EXPECT_EQ(Value(e, "50", static_cast<std::size_t>(first) + 1), "45");
  EXPECT_EQ(Value(e, "1", static_cast<std::size_t>(first) + 1), "abc");
  const auto second = IndexOf(e, "TEXT", static_cast<std::size_t>(first) + 1);
  EXPECT_EQ(Value(e, "50", static_cast<std::size_t>(second) + 1), "-30");
  const auto arc = IndexOf(e, "ARC");
  ASSERT_GT(arc, 0);
  EXPECT_EQ(Value(e, "50", static_cast<std::size_t>(arc) + 1), "-30.");
  EXPECT_EQ(Value(e, "51", static_cast<std::size_t>(arc) + 1), "30.");
  EXPECT_EQ(Entities(e, "CIRCLE"), 1);
}

TEST_F(DxfDriverTest, ArcOnAnOblongAreaIsLeftToTheCore) {
  Begin("out.dxf");
  DriverParams().P2 = 0;
  Send(O::Arc);
  EXPECT_EQ(DriverParams().P2, 2);
  Gs().fillStyle = kFillOutline;
  DriverParams().X[2] = 1.0f;
  Send(O::EllipseHalftone);
  EXPECT_EQ(DriverParams().P2, -1);
  EXPECT_TRUE(Entities().empty());
}

TEST_F(DxfDriverTest, PolylineVerticesAndPagesInOneSection) {
  Begin("out.dxf");
  DriverParameters& dp = DriverParams();
  for (int page = 0; page < 3; ++page) {
    dp.P1 = 7;
    for (int i = 0; i < 7; ++i) dp.pointX[i] = static_cast<float>(i * 10), dp.pointY[i] = 5;
    Send(O::Polyline);
    dp.P1 = page < 2 ? 0 : 1;
    Send(O::EndPage);
  }
  dp.P1 = 0;
  Send(O::Polyline);
  const std::vector<std::string> r = End();
  EXPECT_EQ(CountOf(r, "ENTITIES"), 1);
  EXPECT_EQ(CountOf(r, "ENDSEC"), 3);
  EXPECT_EQ(CountOf(r, "POLYLINE"), 4);
  EXPECT_EQ(CountOf(r, "VERTEX"), 21);
  EXPECT_EQ(CountOf(r, "SEQEND"), 4);
  if (std::system("/usr/bin/python3 -c 'import ezdxf' > /dev/null 2>&1") != 0) GTEST_SKIP() << "ezdxf not installed";
  const std::string check =
      "/usr/bin/python3 -c 'import sys, ezdxf; d = ezdxf.readfile(sys.argv[1]); a = d.audit(); "
      "sys.exit(1 if a.has_errors else 0)' " + path;
  EXPECT_EQ(std::system(check.c_str()), 0);
}

TEST_F(DxfDriverTest, TextWithLineEndsStaysOneGroup) {
  Begin("out.dxf");
  SetText("a\r\nb");
  Send(O::Text);
  const std::vector<std::string> e = Entities();
  EXPECT_EQ(Value(e, "1"), "a  b");
  EXPECT_EQ(Value(e, "7"), "STANDARD");
}

}  // namespace
}  // namespace tk::testing
