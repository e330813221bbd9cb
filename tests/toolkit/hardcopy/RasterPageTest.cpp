// The software raster page: pixel layouts, lines with widths and dash
// patterns, span fills, colour pixels, clear and the page's size limits.
#include <gtest/gtest.h>

#include <bit>
#include <fstream>

#include "tests/TestSupport.h"

#include "tests/toolkit/hardcopy/RasterTestSupport.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/hardcopy/HardcopyOptions.h"
#include "toolkit/hardcopy/PolygonFill.h"

namespace tk::testing {
namespace {

class RasterPageTest : public GraphicsTest {
 protected:
  static void Send(DriverOperation op) { RasterDriver(op); }
  static void LineOp(float x1, float y1, float x2, float y2) {
    DriverParameters& dp = DriverParams();
    dp.X[0] = x1, dp.Y[0] = y1, dp.X[1] = x2, dp.Y[1] = y2;
    Send(DriverOperation::Line);
  }
  static void Width(int tenths) {
    HardcopyOptionStore(9, tenths);
    Send(DriverOperation::LineWidth);
  }
  static void Type(int type) {
    Gs().lineType = type;
    Send(DriverOperation::LineType);
  }
  /// Inked rows of column X on a 1-bit page.
  static int RowsInColumn(const RasterPage& page, int x) {
    int n = 0;
    for (int y = 0; y < page.height; ++y) n += page.Get(x, y) != 0;
    return n;
  }
};

TEST_F(RasterPageTest, PixelLayoutsOfEveryDepth) {
  struct Case {
    int bits, planes;
    std::uint32_t value;
    int word;  // word index of pixel (37, 2) in a 100-wide page
    std::uint32_t bits_in_word;
  };
  const Case cases[] = {
      {1, 1, 1, 1 + 2 * 4, 1u << 5},
      {3, 3, 5, 1 + 2 * 4, 1u << 5},  // planes 0 and 2
      {4, 4, 9, 1 + 2 * 4, 1u << 5},  // planes 0 and 3
      {8, 1, 0xAB, 9 + 2 * 25, 0xABu << 8},
      {24, 1, 0x123456, 37 + 2 * 100, 0x123456u},
  };
  for (const Case& c : cases) {
    RasterPage& page = SetUpRasterPage(c.bits, 100, 80, 300, 300, c.planes);
    if (c.bits == 24) std::fill(page.words.begin(), page.words.end(), 0u);
    RasterPixelSet(c.value, 37, 2);
    EXPECT_EQ(page.words[c.word], c.bits_in_word) << c.bits;
    if (c.bits == 3 || c.bits == 4) {
      for (int p = 0; p < c.planes; ++p)
        EXPECT_EQ(page.words[c.word + p * page.wordsPerPlane] != 0, ((c.value >> p) & 1u) != 0)
            << c.bits << " plane " << p;
    }
    RasterPixelSet(c.value, -1, 2);  // off the page: nothing
    RasterPixelSet(c.value, 100, 80);
  }
}

TEST_F(RasterPageTest, ClearSetsEveryWordToTheBackground) {
  RasterPage& page = SetUpRasterPage(24, 100, 80);
  RasterPixelSet(0x123456, 5, 5);
  Send(DriverOperation::Clear);
  for (std::uint32_t w : page.words) ASSERT_EQ(w, 0xFFFFFFFFu);
}

TEST_F(RasterPageTest, HorizontalLineAsThickAsOneThatRises) {
  // x at 150, y at 300 dots per inch: a 1-point line is 2 columns, 4 rows.
  RasterPage& page = SetUpRasterPage(1, 100, 80, 150, 300);
  Send(DriverOperation::Colour);
  Width(10);
  Type(0);
  EXPECT_EQ(page.rowThickness, 3);
  EXPECT_EQ(page.columnThickness, 1);
  LineOp(10, 20, 60, 20);
  LineOp(10, 50, 60, 51);
  for (int x = 12; x < 58; ++x) {
    int flat = 0, rising = 0;
    for (int y = 0; y < 40; ++y) flat += page.Get(x, y) != 0;
    for (int y = 40; y < 80; ++y) rising += page.Get(x, y) != 0;
    EXPECT_EQ(flat, 4) << x;
    EXPECT_EQ(rising, 4) << x;
  }
}

TEST_F(RasterPageTest, DashPatternContinuesAcrossVertices) {
  // 72 dots per inch: one pixel per pattern bit. Type 1 is 0x104 over 12.
  RasterPage& page = SetUpRasterPage(1, 100, 80, 72, 72);
  Send(DriverOperation::Colour);
  Width(1);
  Type(1);
  DriverParameters& dp = DriverParams();
  dp.pointX[0] = 0, dp.pointY[0] = 10;
  dp.pointX[1] = 7, dp.pointY[1] = 10;
  dp.pointX[2] = 30, dp.pointY[2] = 10;
  dp.P1 = 3;
  Send(DriverOperation::Polyline);
  // One polyline of 31 pixels: ink where bit (x mod 12) of 0x104 is set.
  for (int x = 0; x <= 30; ++x)
    EXPECT_EQ(page.Get(x, 10), (0x104u >> (x % 12)) & 1u) << x;
  // The next line goes on with the pattern where this one left it.
  LineOp(30, 10, 40, 10);
  for (int x = 31; x <= 40; ++x) EXPECT_EQ(page.Get(x, 10), (0x104u >> (x % 12)) & 1u) << x;
  // A line type resets the pattern and the line's first pixel is drawn.
  Type(1);
  LineOp(40, 20, 52, 20);
  for (int x = 40; x <= 52; ++x) EXPECT_EQ(page.Get(x, 20), (0x104u >> ((x - 40) % 12)) & 1u) << x;
}

TEST_F(RasterPageTest, ThickDashedStrokesStayInPhase) {
  RasterPage& page = SetUpRasterPage(1, 100, 80, 72, 72);
  Send(DriverOperation::Colour);
  HardcopyOptionStore(9, 50);  // 5 points: 5 strokes
  Send(DriverOperation::LineWidth);
  Type(2);  // 0xE07
  LineOp(0, 40, 60, 43);
  for (int x = 0; x <= 60; ++x) {
    const bool on = (0xE07u >> (x % 12)) & 1u;
    EXPECT_EQ(RowsInColumn(page, x) == 5, on) << x;
    EXPECT_EQ(RowsInColumn(page, x) == 0, !on) << x;
  }
}

TEST_F(RasterPageTest, HalftoneFillsAndTheirEqualColourCase) {
  RasterPage& page = SetUpRasterPage(24, 100, 80);
  DriverParameters& dp = DriverParams();
  Gs().colourMode = 1;
  Gs().current = {5, 0, 5};
  Send(DriverOperation::Colour);
  const std::uint32_t first = page.pixel;
  Gs().current = {9, 0, 9};
  Send(DriverOperation::Colour);
  const std::uint32_t second = page.pixel;
  ASSERT_NE(first, second);
  IGrFillStyle(3);
  dp.P2 = 0;
  dp.X[0] = 10, dp.Y[0] = 10, dp.X[1] = 19, dp.Y[1] = 19;
  Send(DriverOperation::RectangleHalftone);
  EXPECT_EQ(page.Get(10, 10), first);  // (x + y) even: the previous colour
  EXPECT_EQ(page.Get(11, 10), second);
  EXPECT_EQ(page.Get(19, 19), first);
  EXPECT_EQ(page.Get(20, 20), 0xFFFFFFFFu);
  // Previous and current colour numbers equal: solid.
  Send(DriverOperation::Colour);
  dp.P2 = 0;
  dp.X[0] = 30, dp.Y[0] = 30, dp.X[1] = 39, dp.Y[1] = 39;
  Send(DriverOperation::RectangleHalftone);
  for (int x = 30; x < 40; ++x) EXPECT_EQ(page.Get(x, 30), second) << x;
  // A polygon asks the core for one line per page row.
  dp.P2 = 0;
  Send(DriverOperation::PolygonHalftone);
  EXPECT_EQ(Gs().fillRequestHardcopy, 1);
  EXPECT_FLOAT_EQ(dp.fillLineSpacing, 1.0f);
  Gs().fillRequestHardcopy = 0;
}

TEST_F(RasterPageTest, SolidBlackFillInksAOneBitPage) {
  RasterPage& page = SetUpRasterPage(1, 100, 80);
  Send(DriverOperation::Colour);  // colour 223, black
  IGrFillStyle(4);
  DriverParameters& dp = DriverParams();
  dp.P2 = 0;
  dp.X[0] = 10, dp.Y[0] = 10, dp.X[1] = 20, dp.X[2] = 10, dp.Y[1] = 10, dp.Y[2] = 20;
  Send(DriverOperation::TriangleHalftone);
  EXPECT_EQ(page.Get(11, 11), 1u);
  EXPECT_EQ(page.Get(12, 15), 1u);
  EXPECT_EQ(page.Get(19, 19), 0u);
  EXPECT_EQ(RasterEdgeX(0, 0, 10, 10, 5), 5);
  EXPECT_EQ(RasterEdgeX(10, 10, 0, 0, 5), 5);
  EXPECT_EQ(RasterEdgeX(0, 3, 10, 3, 3), 32767);
}

TEST_F(RasterPageTest, OneBitPaperIsTheWhiteColour) {
  RasterPage& page = SetUpRasterPage(1, 100, 80);
  IGrPaletteSetRGB(0, 0x000000);  // a pen palette's black pen 0
  IGrPaletteSetRGB(15, 0xFFFFFF);
  for (const auto& [number, pixel] : {std::pair{0, 1u}, {15, 0u}, {223, 1u}}) {
    Gs().colourMode = 1;
    Gs().current = {number, 0, number};
    Send(DriverOperation::Colour);
    EXPECT_EQ(page.pixel, pixel) << number;
  }
}

TEST_F(RasterPageTest, OneBitColourPixelsReadTheWholeDitherCell) {
  // Pure red: every red cell bit is set, green and blue none, and red is at
  // least 192: value 9, the cell ECEC3776 read bit (x mod 8) + 8 (y mod 4).
  RasterPage& page = SetUpRasterPage(1, 100, 80);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 16; ++x) RasterColourPixel(x, y, 0x0000FF);
  int ink = 0;
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 8; ++x) {
      EXPECT_EQ(page.Get(x, y), (0xECEC3776u >> (x + 8 * y)) & 1u) << x << "," << y;
      ink += static_cast<int>(page.Get(x, y));
    }
  EXPECT_EQ(ink, std::popcount(0xECEC3776u));
  EXPECT_EQ(page.Get(9, 5), page.Get(1, 1));
  RasterColourPixel(50, 50, 0);
  EXPECT_EQ(page.Get(50, 50), 1u);  // black inks
  RasterColourPixel(51, 50, 0xFFFFFF);
  EXPECT_EQ(page.Get(51, 50), 0u);  // white does not
}

TEST_F(RasterPageTest, GradientFillThroughOperation40) {
  RasterPage& page = SetUpRasterPage(24, 100, 80);
  DriverParameters& dp = DriverParams();
  const float px[] = {10, 60, 10}, py[] = {10, 10, 60};
  for (int i = 0; i < 3; ++i) dp.pointX[i] = px[i], dp.pointY[i] = py[i];
  dp.softwareFillCount = 3;
  GradientPolygon().Resize(3);
  GradientPolygon().colour = {0xFF0000, 0xFF0000, 0xFF0000};
  Send(DriverOperation::SoftwareFill);
  EXPECT_EQ(page.Get(20, 20), 0xFF0000u);
  EXPECT_EQ(page.Get(59, 59), 0xFFFFFFFFu);
}

TEST_F(RasterPageTest, ImagesFillTheClipRectangle) {
  // A 2 x 2 BMP, 24 bits, rows stored from the bottom: red green / blue white.
  std::string bmp = "BM";
  const auto u32 = [&bmp](std::uint32_t v) {
    for (int i = 0; i < 4; ++i) bmp.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
  };
  const auto u16 = [&bmp](std::uint32_t v) {
    for (int i = 0; i < 2; ++i) bmp.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
  };
  u32(54 + 16), u32(0), u32(54), u32(40), u32(2), u32(2), u16(1), u16(24), u32(0), u32(16);
  u32(2835), u32(2835), u32(0), u32(0);
  bmp += std::string("\xFF\x00\x00\xFF\xFF\xFF\x00\x00", 8);  // bottom: blue, white (B G R)
  bmp += std::string("\x00\x00\xFF\x00\xFF\x00\x00\x00", 8);  // top: red, green
  ::testing_support::TempDir dir;
  const std::string file = (dir.path() / "tiny.bmp").string();
  { std::ofstream(file, std::ios::binary) << bmp; }
  RasterPage& page = SetUpRasterPage(24, 100, 80);
  page.clipX0 = 10, page.clipX1 = 13, page.clipY0 = 20, page.clipY1 = 23;
  DriverParameters& dp = DriverParams();
  DriverText() = file;
  DriverText().resize(kDriverTextLength, ' ');
  dp.KX[1] = 2, dp.KY[1] = 2;
  ResetErrorState();
  Send(DriverOperation::Image);
  ASSERT_EQ(dp.P2, 0);
  const std::uint32_t red = 0x0000FF, green = 0x00FF00, blue = 0xFF0000, white = 0xFFFFFF;
  const std::uint32_t expected[4][4] = {{red, red, green, green}, {red, red, green, green},
                                        {blue, blue, white, white}, {blue, blue, white, white}};
  for (int row = 0; row < 4; ++row)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(page.Get(10 + x, 23 - row), expected[row][x]) << x << "," << row;
  EXPECT_EQ(page.Get(14, 23), 0xFFFFFFFFu);
  // A file that is not there: its codes come back, nothing is drawn or reported.
  RasterPage& fresh = SetUpRasterPage(24, 100, 80);
  DriverText() = (dir.path() / "missing.bmp").string();
  DriverText().resize(kDriverTextLength, ' ');
  dp.KX[1] = 2, dp.KY[1] = 2;
  Send(DriverOperation::Image);
  EXPECT_NE(dp.P2, 0);
  EXPECT_EQ(ErrorState().lastError, 0);
  for (std::uint32_t w : fresh.words) ASSERT_EQ(w, 0xFFFFFFFFu);
}

TEST_F(RasterPageTest, SizesAreCheckedIn64Bits) {
  RasterPage page;
  page.bitsPerPixel = 24;
  page.width = 70000;
  page.height = 70000;  // 4.9e9 words: wraps in 32 bits
  EXPECT_FALSE(page.Size());
  EXPECT_FALSE(page.Allocate());
  EXPECT_TRUE(page.words.empty());
  EXPECT_EQ(page.totalWords, std::int64_t{70000} * 70000);
  page.width = 0;
  EXPECT_FALSE(page.Size());
  page.bitsPerPixel = 3;
  page.planes = 3;
  page.width = 33;
  page.height = 2;
  ASSERT_TRUE(page.Allocate());
  EXPECT_EQ(page.wordsPerRow, 2);
  EXPECT_EQ(page.totalWords, 12);
  EXPECT_EQ(page.words.size(), 13u);
}

}  // namespace
}  // namespace tk::testing
