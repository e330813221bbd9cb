// The PostScript and EPS driver: header, pages, lazy paths, colours, text
// strings and the record tidying, read back from the file it writes.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <tuple>
#include <vector>

#include "tests/toolkit/hardcopy/FileDriverTestSupport.h"
#include "toolkit/core/Errors.h"
#include "toolkit/graphics/Colours.h"
#include "toolkit/graphics/PngHelpers.h"
#include "toolkit/graphics/Text.h"
#include "toolkit/hardcopy/PostScriptDriver.h"
#include "toolkit/hardcopy/TextFileOutput.h"

namespace tk::testing {
namespace {

using O = DriverOperation;

// The record "r g b g" for a colour.
std::string YYPSNUM3Text(float r, float g, float b) {
  auto field = [](float v) {
    std::string f = FormatRealField(v, "(F9.2)");
    if (f.substr(f.size() - 3) == ".00") f.pop_back();
    return std::string(TrimBlanks(f));
  };
  return field(r) + " " + field(g) + " " + field(b) + " g";
}

class PostScriptDriverTest : public FileDriverTest {
 protected:
  void SetUp() override { StandAndSelect(driver, kDriverPostScript, 756, 540); }
  // Records written after the header's "%%Page: 1 1", up to the end of the job.
  std::vector<std::string> Body(const std::string& lead = "") {
    std::vector<std::string> r = After(End(), lead + "%%Page: 1 1");
    const auto eof = IndexOf(r, lead + "%%EOF");
    if (eof >= 0) r.resize(static_cast<std::size_t>(eof));
    return r;
  }
  void PageEnd() {
    DriverParams().P1 = 1;
    Send(O::EndPage);
  }
  void Colour(int number) {
    Gs().current = {number, PaletteGetRgb(number), 0};
    Send(O::Colour);
  }
  PostScriptDriver driver;
};

TEST_F(PostScriptDriverTest, SelectDescribesTheDevice) {
  DriverParameters& dp = DriverParams();
  EXPECT_EQ(dp.driverNumber, 2);
  EXPECT_EQ(dp.capabilities[1], "00000111111111100010011011110");
  EXPECT_EQ(HardcopyFileName().substr(0, 12), "parvplot.ps ");
  EXPECT_EQ(HardcopyOption(1), 756);
  EXPECT_EQ(HardcopyOption(2), 540);
  EXPECT_EQ(HardcopyOption(5), 1);
  EXPECT_EQ(HardcopyOption(16), 255);
  EXPECT_EQ(dp.spoolCapable, 1);
  dp.P1 = -999;
  HardcopyDriverSwitch(O::Select);
  EXPECT_EQ(DriverParams().P1, 2);
}

TEST_F(PostScriptDriverTest, HeaderPageEndAndEndOfJob) {
  Begin();
  DriverParams().P1 = 1;
  Send(O::EndPage);
  const std::string bytes = EndBytes();
  const std::vector<std::string> r = Records(bytes);
  ASSERT_GT(r.size(), 20u);
  EXPECT_EQ(r[0], "%!PS-Adobe-3.0");
  EXPECT_EQ(r[1], "%%Creator: J.Q.X. PostScript driver");
  EXPECT_EQ(r[2], "%%EndComments");
  EXPECT_EQ(r[3], "/l {lineto} def/m {moveto} def/g {setrgbcolor} def/w {setlinewidth} def");
  EXPECT_EQ(CountOf(r, "/Encoding ISOLatin1Encoding def"), 12);
  EXPECT_EQ(CountOf(r, "currentdict end /Courier-2 exch definefont pop"), 1);
  EXPECT_EQ(CountOf(r, "currentdict end /Times-4 exch definefont pop"), 1);
  EXPECT_EQ(CountOf(r, "/Times-BoldItalic ff"), 1);
  EXPECT_EQ(CountOf(r, "currentdict end /Symbol exch definefont pop"), 1);
  const auto ro = IndexOf(r, "90.0 ro");
  ASSERT_GT(ro, 0);
  EXPECT_EQ(r[ro + 1], "42.0 -560.0 translate");
  EXPECT_EQ(r[ro + 2], "newpath");
  EXPECT_EQ(r[ro + 3], "%%Page: 1 1");
  // The page end without a following page, then the end of the job.
  const std::vector<std::string> tail(r.begin() + ro + 4, r.end());
  EXPECT_EQ(tail, (std::vector<std::string>{"/#copies 1 def", "gsave showpage grestore", "%%EOF",
                                            "initgraphics", " \x04"}));
  EXPECT_EQ(bytes.substr(bytes.size() - 4), "\r\n \x04");
}

TEST_F(PostScriptDriverTest, EpsLeavesOutThePrinterRecords) {
  HardcopyOptionStore(22, 1);
  Begin();
  ClipRectangleSet(100, 100, 200, 150);
  Send(O::ClipRectangle);
  Gs().fillStyle = kFillSolid;
  DriverParameters& dp = DriverParams();
  dp.X[0] = 50, dp.Y[0] = 120, dp.X[1] = 300, dp.Y[1] = 140, dp.P2 = 0;
  Send(O::RectangleHalftone);
  dp.P1 = 0;
  Send(O::EndPage);
  const std::vector<std::string> r = End();
  EXPECT_EQ(r[0], "%!PS-Adobe-3.0 EPSF-3.0");
  EXPECT_EQ(r[1], "%%BoundingBox: 0 0 540 756");  // landscape: the page turned
  EXPECT_GE(IndexOf(r, "0.0 -540.0 translate"), 0);
  for (const char* absent : {"/#copies 1 def", "gsave showpage grestore", "initgraphics", "initclip", "clip"})
    EXPECT_EQ(IndexOf(r, absent), -1) << absent;
  EXPECT_EQ(r.back(), "%%EOF");
  EXPECT_GE(IndexOf(r, "%%Page: 2 2"), 0);
  // The rectangle is held inside the clip rectangle.
  const std::string left = "100.0";
  const auto m = IndexOf(r, left + " 120.0 m");
  ASSERT_GE(m, 0);
  EXPECT_EQ(r[m + 1], "200.0 120.0 l");
  EXPECT_EQ(r[m + 2], "200.0 140.0 l");
  EXPECT_EQ(r[m + 3], left + " 140.0 l");
}

TEST_F(PostScriptDriverTest, BoundingBoxInPortrait) {
  HardcopyOptionStore(22, 1);
  HardcopyOptionStore(5, 0);
  Begin();
  const std::vector<std::string> r = End();
  EXPECT_EQ(r[1], "%%BoundingBox: 0 0 756 540");
  EXPECT_GE(IndexOf(r, "0.0 0.0 translate"), 0);
  EXPECT_EQ(IndexOf(r, "90.0 ro"), -1);
}

TEST_F(PostScriptDriverTest, JoinedLinesShareOnePath) {
  Begin();
  Line(10, 20, 30, 40);
  Line(30, 40, 50, 20);
  Line(60, 20, 70, 20);  // not joined: a new move in the same path
  DriverParams().P1 = 1;
  Send(O::EndPage);
  const std::vector<std::string> body = Body();
  const std::vector<std::string> expected{"0.0 0.0 0.0 g", "10.0 20.0 m", "30.0 40.0 l", "50.0 20.0 l",
                                          "60.0 20.0 m",    "70.0 20.0 l"};
  ASSERT_GE(body.size(), 7u);
  // The colour is written by the flush at the page end, after the path.
  EXPECT_EQ(std::vector<std::string>(body.begin(), body.begin() + 5),
            std::vector<std::string>(expected.begin() + 1, expected.end()));
  EXPECT_EQ(body[5], "0.0 0.0 0.0 g");
  EXPECT_EQ(body[6], "s");
}

TEST_F(PostScriptDriverTest, PathLimitStartsANewPath) {
  Begin();
  for (int i = 0; i < 256; ++i) Line(static_cast<float>(i), 0, static_cast<float>(i + 1), 0);
  const std::vector<std::string> body = Body();
  ASSERT_EQ(CountOf(body, "s"), 1);
  const auto s = IndexOf(body, "s");
  EXPECT_EQ(body[s + 1], "255.0 0.0 m");
  EXPECT_EQ(body[s + 2], "256.0 0.0 l");
  EXPECT_EQ(CountOf(body, "0.0 0.0 m"), 1);
}

TEST_F(PostScriptDriverTest, PolylinePathLimitMovesBackOnePoint) {
  HardcopyOptionStore(16, 10);
  Begin();
  DriverParameters& dp = DriverParams();
  dp.P1 = 12;
  for (int i = 0; i < 12; ++i) dp.pointX[i] = static_cast<float>(i), dp.pointY[i] = 5;
  Send(O::Polyline);
  const std::vector<std::string> body = Body();
  const auto s = IndexOf(body, "s");
  ASSERT_GE(s, 0);
  EXPECT_EQ(body[s - 2], "10.0 5.0 l");
  EXPECT_EQ(body[s + 1], "10.0 5.0 m");
  EXPECT_EQ(body[s + 2], "11.0 5.0 l");
}

TEST_F(PostScriptDriverTest, ColourWrittenOnlyWhenItChanges) {
  Begin();
  Colour(kRed);
  Colour(kRed);
  Line(0, 0, 1, 1);
  Colour(kRed);
  Line(1, 1, 2, 2);
  Colour(kBlack);  // strokes the red path; black is written by the next flush
  Colour(kBlack);
  PageEnd();
  float r, g, b;
  YYPSRGB(kRed, r, g, b);
  const std::string red = YYPSNUM3Text(r, g, b);
  const std::vector<std::string> body = Body();
  EXPECT_EQ(std::vector<std::string>(body.begin(), body.begin() + 5),
            (std::vector<std::string>{"0.0 0.0 m", "1.0 1.0 l", "2.0 2.0 l", red, "s"}));
  EXPECT_EQ(body[5], "/#copies 1 def");  // no path pending: black is not written
}

TEST_F(PostScriptDriverTest, OptionSixInvertsNearBlackAndWhiteOnly) {
  struct Case {
    int option, rgb;
    float expected;
  } cases[] = {{2, 0x000000, 1.0f}, {2, 0xffffff, 0.0f}, {2, 0x808080, 128 / 255.0f},
               {1, 0x000000, 1.0f}, {0, 0x000000, 0.0f}};
  ColourModeSet(24);
  for (const Case& c : cases) {
    HardcopyOptionStore(6, c.option);
    float r, g, b;
    YYPSRGB(c.rgb, r, g, b);
    EXPECT_FLOAT_EQ(r, c.expected) << c.option << " " << c.rgb;
    EXPECT_FLOAT_EQ(b, c.expected);
  }
  HardcopyOptionStore(6, 2);
  Begin();
  Gs().current = {-1, 0, 0};
  Send(O::Colour);
  Line(0, 0, 5, 5);
  PageEnd();
  EXPECT_EQ(Body().at(2), "1.0 1.0 1.0 g");
}

TEST_F(PostScriptDriverTest, TextStringsAndRotation) {
  Begin();
  SetText("a(b)");
  Gs().text.hJustify = 0;
  Send(O::Text);
  SetText("x  y");
  Send(O::Text);
  TextAngleSet(90);
  SetText("up");
  Send(O::Text);
  const std::vector<std::string> body = Body();
  EXPECT_EQ(CountOf(body, "(a\\(b\\)) lsh"), 1);
  EXPECT_EQ(CountOf(body, "(x  y) lsh"), 1);
  const auto up = IndexOf(body, "(up) lsh");
  ASSERT_GE(up, 1);
  EXPECT_EQ(body[up - 1], "90.0 ro");
  EXPECT_EQ(body[up + 1], "270.0 ro");
  // One font record, before the first text only.
  int fonts = 0;
  for (const std::string& rec : body) fonts += rec.find(" ms") != std::string::npos;
  EXPECT_EQ(fonts, 1);
  EXPECT_EQ(body[0], "0.0 0.0 0.0 g");  // text writes the colour, keeping the path
  EXPECT_EQ(body[1].substr(0, 15), "/Courier-1 ff [");
}

TEST_F(PostScriptDriverTest, JustifiedTextUsesTheShowWords) {
  Begin();
  for (int j : {1, 2}) {
    Gs().text.hJustify = j;
    SetText("c");
    Send(O::Text);
  }
  const std::vector<std::string> body = Body();
  EXPECT_EQ(CountOf(body, "(c) csh"), 1);
  EXPECT_EQ(CountOf(body, "(c) rsh"), 1);
}

TEST_F(PostScriptDriverTest, LongEscapedTextNeverSplitsAnEscape) {
  Begin();
  for (const std::string& text :
       {std::string(260, '('), std::string(260, '\\'), std::string(248, 'a') + std::string(12, ')')}) {
    SetText(text);
    Send(O::Text);
  }
  for (const std::string& rec : Body()) {
    if (rec.empty() || rec[0] != '(') continue;
    EXPECT_LE(rec.size(), 255u);
    const auto close = rec.rfind(") ");
    ASSERT_NE(close, std::string::npos);
    // Every "(", ")" and "\" inside is escaped: the string ends where it should.
    for (std::size_t i = 1; i < close; ++i) {
      if (rec[i] == '\\') {
        ++i;
        continue;
      }
      EXPECT_TRUE(rec[i] != '(' && rec[i] != ')') << rec;
    }
  }
  EXPECT_EQ(PostScriptString(std::string(248, 'a') + "(("), std::string(248, 'a'));
  EXPECT_EQ(PostScriptString(std::string(247, 'a') + "(("), std::string(247, 'a') + "\\(");
}

TEST_F(PostScriptDriverTest, RecordTidyingAndLeadIn) {
  HardcopyOptionStore(17, 1);
  Begin();
  YYPSNUM3(0.5f, 90.0f, 1.0f, "g");
  YYPSNUM1(1.0e9f, "w");
  YYPSRAW("keep   blanks  ");
  const std::vector<std::string> body = Body(" ");
  EXPECT_EQ(body.at(0), " 0.50 90.0 1.0 g");
  EXPECT_EQ(body.at(1), " ********* w");
  EXPECT_EQ(body.at(2), " keep   blanks  ");
}

TEST_F(PostScriptDriverTest, AttributesWrittenOnChange) {
  Begin();
  Gs().lineType = 1;
  Send(O::LineType);
  Send(O::LineType);
  Send(O::LineWidth);  // option 9 = 5
  Send(O::LineWidth);
  Send(O::LineJoin);
  Send(O::LineCap);
  const std::vector<std::string> body = Body();
  EXPECT_EQ(body, (std::vector<std::string>{"[1 5] 4 d", "0.50 w", "0 setlinejoin", "5.0 setmiterlimit",
                                            "0 setlinecap"}));
}

TEST_F(PostScriptDriverTest, ClipAndHexColours) {
  Begin();
  ClipRectangleSet(10.5f, 20.2f, 100.3f, 200.0f);
  Send(O::ClipRectangle);
  const std::vector<std::string> body = Body();
  ASSERT_EQ(body.size(), 7u);
  EXPECT_EQ(body[0], "initclip");
  EXPECT_EQ(body[1], "10.0 20.0 m");
  EXPECT_EQ(body[3], "101.0 200.0 l");
  EXPECT_EQ(body[6], "newpath");
  std::string hex;
  YYHEXRGB(255, 128, 0, hex);
  EXPECT_EQ(hex, "ff8000");
}

TEST_F(PostScriptDriverTest, HugeFontSizeStaysANumber) {
  Begin();
  Gs().text.charWidth = 5.0f;
  Gs().text.charHeight = 5.0f;
  SetText("x");
  Send(O::Text);
  const std::vector<std::string> body = Body();
  ASSERT_GE(body.size(), 2u);
  EXPECT_EQ(body[1], "/Courier-1 ff [999.9 0 0 999.0 0 0] ms");
}

TEST_F(PostScriptDriverTest, ImagesBecomeColourImagesInTheClipRectangle) {
  // A PNG of 41 x 1 pixels: one record of 240 digits (40 pixels) and one of 6.
  std::string raw(1, '\0');
  for (int x = 0; x < 41; ++x) raw += {static_cast<char>(x), static_cast<char>(2 * x), static_cast<char>(255 - x)};
  const std::vector<std::uint8_t> rawBytes(raw.begin(), raw.end());
  std::vector<std::uint8_t> packed(256);
  std::int32_t n = 256;
  WCompress(rawBytes, packed, static_cast<std::int32_t>(rawBytes.size()), n);
  ASSERT_GT(n, 0);
  const auto chunk = [](const std::string& type, const std::string& data) {
    std::string s;
    std::array<std::uint8_t, 4> b{};
    StoreUInt32BE(static_cast<std::uint32_t>(data.size()), b);
    s.append(reinterpret_cast<const char*>(b.data()), 4);
    const std::string td = type + data;
    StoreUInt32BE(PngCrc32({reinterpret_cast<const std::uint8_t*>(td.data()), td.size()},
                           static_cast<std::int64_t>(td.size())),
                  b);
    return s + td + std::string(reinterpret_cast<const char*>(b.data()), 4);
  };
  std::string ihdr = std::string("\0\0\0\x29\0\0\0\x01", 8) + std::string("\x08\x02\0\0\0", 5);
  const std::string png = "\x89PNG\r\n\x1A\n" + chunk("IHDR", ihdr) +
                          chunk("IDAT", std::string(reinterpret_cast<const char*>(packed.data()),
                                                    static_cast<std::size_t>(n))) +
                          chunk("IEND", "");
  ::testing_support::WriteFile(dir / "row.png", png);
  Begin();
  std::string name = (dir / "row.png").string();
  name.resize(kDriverTextLength, ' ');
  DriverParams().text = name;
  DriverParams().KX[1] = 41;
  DriverParams().KY[1] = 1;
  DriverParams().P2 = -1;
  ErrorState().lastError = 77;
  Send(O::Image);
  EXPECT_EQ(DriverParams().P2, 0);
  EXPECT_EQ(ErrorState().lastError, 77);  // the kept code is restored
  const std::vector<std::string> body = Body();
  const auto at = IndexOf(body, "colorimage");
  ASSERT_GE(at, 7);
  EXPECT_EQ(body[static_cast<std::size_t>(at) - 7], "gsave");
  EXPECT_EQ(body[static_cast<std::size_t>(at) - 6], "/picstr 123 string def");
  EXPECT_EQ(body[static_cast<std::size_t>(at) - 3], "41 1 8 [41 0 0 -1 0 1]");
  ASSERT_GE(body.size(), static_cast<std::size_t>(at) + 4);
  EXPECT_EQ(body[static_cast<std::size_t>(at) + 1].size(), 240u);
  EXPECT_EQ(body[static_cast<std::size_t>(at) + 1].substr(0, 12), "0000ff0102fe");
  EXPECT_EQ(body[static_cast<std::size_t>(at) + 2], "2850d7");
  EXPECT_EQ(body[static_cast<std::size_t>(at) + 3], "grestore");
}

TEST_F(PostScriptDriverTest, ImagesThatCannotBeReadWriteNothing) {
  ::testing_support::WriteFile(dir / "a.gif", "GIF89a and more bytes");
  Begin();
  for (const auto& [file, w, want] : std::vector<std::tuple<std::string, int, int>>{
           {"a.gif", 2, 27}, {"none.png", 2, 27}, {"a.gif", 0, 27}}) {
    std::string name = (dir / file).string();
    name.resize(kDriverTextLength, ' ');
    DriverParams().text = name;
    DriverParams().KX[1] = w;
    DriverParams().KY[1] = 2;
    DriverParams().P2 = 0;
    Send(O::Image);
    EXPECT_EQ(DriverParams().P2, want) << file;
  }
  EXPECT_TRUE(Body().empty());
}

}  // namespace
}  // namespace tk::testing
