// The SVG driver: the prolog and root, style groups, fills and texts, point
// lists split over records, arcs and the escaping of text.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "tests/toolkit/hardcopy/FileDriverTestSupport.h"
#include "toolkit/graphics/Colours.h"
#include "toolkit/hardcopy/SvgDriver.h"

namespace tk::testing {
namespace {

using O = DriverOperation;

class SvgDriverTest : public FileDriverTest {
 protected:
  void SetUp() override { StandAndSelect(driver, kDriverSvg, 641, 481); }
  // Begin with FactorX = FactorY = 1 and a y extent of 480.
  void BeginUnit() {
    Begin("out.svg");
    DriverParams().factorX = DriverParams().factorY = 1.0f;
    Gs().extentY = 480.0f;
  }
  // The records after the root element, without the closing records.
  std::vector<std::string> Body() {
    std::vector<std::string> r = End();
    if (r.size() < 3) return {};
    return {r.begin() + 3, r.end() - 1};
  }
  void ColourRgb(int rgb) {
    ColourModeSet(24);
    Gs().current = {-1, rgb, 0};
    Send(O::Colour);
  }
  SvgDriver driver;
};

TEST_F(SvgDriverTest, PrologRootAndEnd) {
  EXPECT_EQ(DriverParams().driverNumber, 3);
  EXPECT_EQ(DriverParams().spoolCapable, 0);
  EXPECT_EQ(HardcopyFileName().substr(0, 13), "parvplot.svg ");
  Begin("out.svg");
  Send(O::Colour);
  const std::vector<std::string> r = End();
  ASSERT_EQ(r.size(), 5u);
  EXPECT_EQ(r[0], "<?xml version=\"1.0\"?>");
  EXPECT_EQ(r[1], "<!DOCTYPE svg SYSTEM \"\">");
  EXPECT_EQ(r[2], "<svg width=\"640\" height=\"480\" xmlns=\"http://www.w3.org/2000/svg\">");
  EXPECT_EQ(r[3],
            "<g style=\"fill:none;stroke:#000000;stroke-dasharray:none;stroke-width:1;"
            "stroke-linejoin:miter;stroke-linecap:butt\">");
  EXPECT_EQ(r[4], "</g></svg>");
}

TEST_F(SvgDriverTest, NumbersAndLines) {
  struct Case {
    float value;
    const char* text;
  } cases[] = {{12.0f, "12."}, {12.5f, "12.5"}, {-3.1f, "-3.1"}, {0.0f, "0."}, {0.25f, "0.25"},
               {1.0e8f, "********"}};
  for (const Case& c : cases) EXPECT_EQ(SvgNumber(c.value), c.text) << c.value;
  std::string text;
  int first = 0, last = 0;
  YYSVGNUM(12.0f, text, first, last);
  EXPECT_EQ(text, "   12.00");
  EXPECT_EQ(first, 4);
  EXPECT_EQ(last, 6);

  BeginUnit();
  Line(0, 0, 10, 20.5f);
  DriverParameters& dp = DriverParams();
  dp.X[0] = 3, dp.Y[0] = 4;
  Send(O::Point);
  EXPECT_EQ(Body(), (std::vector<std::string>{
                        "<line x1=\"0.\" y1=\"480.\" x2=\"10.\" y2=\"459.5\"/>",
                        "<line x1=\"3.\" y1=\"476.\" x2=\"3.\" y2=\"476.\" />"}));
}

TEST_F(SvgDriverTest, OneGroupForEqualStyles) {
  BeginUnit();
  ColourRgb(0xff8000);
  Send(O::LineType);
  Send(O::LineWidth);
  Send(O::LineJoin);
  Send(O::LineCap);
  Gs().lineType = 2;
  HardcopyOptionStore(9, 30);
  Send(O::LineType);
  const std::vector<std::string> body = Body();
  ASSERT_EQ(body.size(), 3u);
  EXPECT_EQ(body[0],
            "<g style=\"fill:none;stroke:#0080ff;stroke-dasharray:none;stroke-width:1;"
            "stroke-linejoin:miter;stroke-linecap:butt\">");
  EXPECT_EQ(body[1], "</g>");
  EXPECT_EQ(body[2],
            "<g style=\"fill:none;stroke:#0080ff;stroke-dasharray:6 6;stroke-width:6;"
            "stroke-linejoin:miter;stroke-linecap:butt\">");
}

TEST_F(SvgDriverTest, OptionSixOnTheStyleColour) {
  HardcopyOptionStore(6, 2);
  BeginUnit();
  ColourRgb(0xffffff);
  ColourRgb(0x808080);
  const std::vector<std::string> body = Body();
  ASSERT_EQ(body.size(), 3u);
  EXPECT_NE(body[0].find("stroke:#000000;"), std::string::npos);
  EXPECT_NE(body[2].find("stroke:#808080;"), std::string::npos);
}

TEST_F(SvgDriverTest, TextEscapes) {
  struct Case {
    std::string in, out;
  } cases[] = {
      {"a<b&c", "a&#60;b&#38;c"},
      {"\xe9", "&#233;"},
      {"\x80\x81\x9f\xa0", "&#8364;&#129;&#376;&#160;"},
      {"a\tb\x01\x1f\nc", "a\tbc"},
      {"> \"'", "> \"'"},
  };
  for (const Case& c : cases) EXPECT_EQ(SvgEscapedText(c.in), c.out) << c.in;
  // Cut before escaping: no reference is split.
  const std::string cut = SvgEscapedText(std::string(260, '\xe9'));
  EXPECT_EQ(cut.size(), 173u * 6);
  EXPECT_EQ(SvgEscapedText(std::string(1039, 'a') + "&"), std::string(1039, 'a'));
  EXPECT_EQ(SvgEscapedText(std::string(1035, 'a') + "&").size(), 1040u);
}

TEST_F(SvgDriverTest, TextSentOneCharacterAtATime) {
  BeginUnit();
  Send(O::Colour);
  Gs().text.deviceFace = 2;
  Gs().text.styleBits = 1;
  Gs().text.hJustify = 0;
  DriverParameters& dp = DriverParams();
  const std::string word = "abc";
  for (std::size_t i = 0; i < word.size(); ++i) {
    SetText(word.substr(i, 1));
    dp.KX[1] = i == 0 ? 1 : (i + 1 == word.size() ? 2 : 0);
    dp.X[0] = 10.0f * static_cast<float>(i);
    dp.Y[0] = 100;
    Send(O::Text);
  }
  const std::vector<std::string> body = Body();
  ASSERT_EQ(body.size(), 6u);
  EXPECT_EQ(body[1].substr(0, 71),
            "<g style=\"fill:#000000;stroke:none;font-family:Arial,Helvetica;font-wei");
  EXPECT_NE(body[1].find("font-weight:bold;font-size:"), std::string::npos);
  EXPECT_EQ(body[2].substr(0, 27), "<text transform=\"translate(");
  EXPECT_EQ(body[4].substr(body[4].size() - 10), "\">c</text>");
  EXPECT_EQ(body[5], "</g>");
}

TEST_F(SvgDriverTest, RotatedTextAndWholeStrings) {
  BeginUnit();
  Gs().text.angle = 30;
  Gs().text.hJustify = 2;
  SetText("x");
  DriverParams().KX[1] = 3;
  Send(O::Text);
  const std::vector<std::string> body = Body();
  ASSERT_EQ(body.size(), 3u);
  EXPECT_NE(body[0].find("text-anchor:end;"), std::string::npos);
  EXPECT_NE(body[1].find(")rotate(-30)\">x</text>"), std::string::npos);
  EXPECT_EQ(body[2], "</g>");
}

TEST_F(SvgDriverTest, PolylineOfAHundredPointsSplitsIntoShortRecords) {
  BeginUnit();
  DriverParameters& dp = DriverParams();
  dp.P1 = 100;
  for (int i = 0; i < 100; ++i) dp.pointX[i] = 100.25f + i, dp.pointY[i] = 200.5f + i;
  Send(O::Polyline);
  const std::vector<std::string> body = Body();
  ASSERT_GT(body.size(), 1u);
  std::string joined;
  for (const std::string& rec : body) {
    EXPECT_LE(rec.size(), 256u);
    EXPECT_NE(rec.back(), ' ');
    joined += rec + " ";
  }
  EXPECT_EQ(body.front().substr(0, 19), "<polyline points=\"1");
  EXPECT_EQ(body.back().substr(body.back().size() - 3), "\"/>");
  EXPECT_NE(joined.find("100.25,279.5 101.25,278.5 "), std::string::npos);
  EXPECT_NE(joined.find("199.25,180.5\"/>"), std::string::npos);
}

TEST_F(SvgDriverTest, ArcsAndPies) {
  BeginUnit();
  DriverParameters& dp = DriverParams();
  Gs().fillStyle = kFillSolid;
  for (float end : {4.0f, 1.0f}) {
    dp.X[0] = 100, dp.Y[0] = 100, dp.X[1] = 10, dp.Y[1] = 10, dp.X[2] = 0, dp.Y[2] = end, dp.P2 = 0;
    Send(O::PieHalftone);
    dp.P2 = -1;
    Send(O::PieHalftone);
  }
  const std::vector<std::string> body = Body();
  ASSERT_EQ(body.size(), 6u);
  EXPECT_EQ(body[0], "<g style=\"stroke:none;fill:#000000\">");
  EXPECT_NE(body[1].find(" A 10.,10. 0 1 0 "), std::string::npos) << body[1];
  EXPECT_EQ(body[1].substr(0, 18), "<path d=\"M 110.,38");
  EXPECT_NE(body[1].find(" L 100.,380. L 110.,380.\"/>"), std::string::npos) << body[1];
  EXPECT_EQ(body[2], "</g>");
  EXPECT_NE(body[4].find(" A 10.,10. 0 0 0 "), std::string::npos) << body[4];
}

TEST_F(SvgDriverTest, FillsWithAClipPath) {
  BeginUnit();
  IGrArea(0.1f, 0.1f, 0.9f, 0.9f);  // sends the clip rectangle
  Gs().fillStyle = kFillSolid;
  DriverParameters& dp = DriverParams();
  dp.X[0] = 10, dp.Y[0] = 20, dp.X[1] = 30, dp.Y[1] = 40, dp.P2 = 0;
  Send(O::RectangleHalftone);
  dp.P2 = -1;
  Send(O::RectangleHalftone);
  Gs().fillStyle = kFillHatch;
  dp.P2 = 0;
  Send(O::RectangleHalftone);  // drawn by the core's lines
  const std::vector<std::string> body = Body();
  ASSERT_EQ(body.size(), 4u);
  EXPECT_EQ(body[0].substr(0, 39), "<defs><clipPath id=\"clip1\"><rect width=");
  EXPECT_EQ(body[0].substr(body[0].size() - 21), "\"/></clipPath></defs>");
  EXPECT_EQ(body[1], "<g style=\"stroke:none;fill:#000000;clip-path:url(#clip1)\">");
  EXPECT_EQ(body[2], "<polygon points=\"10,460 30,460 30,440 10,440\"/>");
  EXPECT_EQ(body[3], "</g>");
}

TEST_F(SvgDriverTest, XmlToolAcceptsHostileText) {
  Begin("hostile.svg");
  Send(O::Colour);
  std::string all;
  for (int c = 1; c < 256; ++c) all.push_back(static_cast<char>(c));
  for (const std::string& t : {std::string(260, '<'), std::string(260, '&'), std::string(260, '\xe9'), all}) {
    SetText(t.substr(0, 260));
    DriverParams().KX[1] = 3;
    Send(O::Text);
  }
  End();
  if (std::system("which xmllint > /dev/null 2>&1") != 0) GTEST_SKIP() << "xmllint not installed";
  EXPECT_EQ(std::system(("xmllint --noout " + path).c_str()), 0);
}

}  // namespace
}  // namespace tk::testing
