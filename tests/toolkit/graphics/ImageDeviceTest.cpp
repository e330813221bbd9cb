// Images on the drawing surface: saved as BMP, PCX and PNG and read back,
// drawn stretched and at their own size, the screen's operation 38, the
// statuses of failures, and the bitmap-file and PCX-run helpers.
#include <gtest/gtest.h>

#include <array>
#include <cerrno>
#include <optional>
#include <string>
#include <vector>

#include "platform/system/Clipboard.h"
#include "tests/TestSupport.h"
#include "tests/toolkit/graphics/GraphicsTestSupport.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/ImageDevice.h"
#include "toolkit/graphics/ImageLoad.h"

namespace tk::testing {
namespace {

using namespace ::testing_support;

class ImageDeviceTest : public GraphicsTest {
 protected:
  void SetUp() override {
    GraphicsTest::SetUp();
    for (int y = 0; y < surface.Height(); ++y)
      for (int x = 0; x < surface.Width(); ++x)
        surface.Set(x, y, plat::Rgb((x * 7) & 255, (y * 11) & 255, (x + y) & 255));
  }
  // The surface's pixels X0..X1, Y0..Y1 as packed RGB, rows from the top.
  std::vector<std::int32_t> Region(int x0, int y0, int x1, int y1) const {
    std::vector<std::int32_t> px;
    for (int y = y0; y <= y1; ++y)
      for (int x = x0; x <= x1; ++x) px.push_back(PixelToRgb(surface.Get(x, y)));
    return px;
  }
  TempDir dir;
};

TEST_F(ImageDeviceTest, SavedRectanglesLoadBackEqual) {
  for (const int kind : {1, 2, 15}) {
    const std::string name = (dir / ("save" + std::to_string(kind))).string();
    int status = -1, syserr = -1;
    ImageFromDevice(kind, 3, 4, 21, 12, status, syserr, name + std::string(1, '\0') + "junk");
    ASSERT_EQ(status, 0) << kind;
    std::vector<std::int32_t> px(19 * 9, -1);
    IGrLoadImageData(name, static_cast<int>(name.size()), px);
    EXPECT_EQ(px, Region(3, 4, 21, 12)) << kind;
  }
  int status = 0, syserr = 0;
  ImageFromDevice(1, 0, 0, 3, 3, status, syserr, "/nonexistent/dir/x.bmp");
  EXPECT_EQ(status, 1);
  EXPECT_EQ(syserr, ENOENT);
  ImageFromDevice(1, 5, 5, 4, 5, status, syserr, (dir / "empty.bmp").string());
  EXPECT_EQ(status, 1072);
}

TEST_F(ImageDeviceTest, DrawnAtItsOwnSizeClippedAndStretchedNot) {
  const std::string name = (dir / "img.png").string();
  int status = -1, syserr = -1;
  ImageFromDevice(15, 0, 0, 9, 4, status, syserr, name);
  ASSERT_EQ(status, 0);
  const std::vector<std::int32_t> image = Region(0, 0, 9, 4);

  surface.Fill(kWhitePixel);
  ImageToDevice(15, 0, 50, 30, 0, 0, 0, status, syserr, name);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(Region(50, 30, 59, 34), image);
  EXPECT_EQ(PixelToRgb(surface.Get(60, 30)), 0xFFFFFF);

  // Stretched to twice the size: each image pixel covers 2 x 2.
  surface.Fill(kWhitePixel);
  ImageToDevice(15, 0, 10, 10, 29, 19, 1, status, syserr, name);
  EXPECT_EQ(status, 0);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 20; ++x)
      ASSERT_EQ(PixelToRgb(surface.Get(10 + x, 10 + y)), image[static_cast<std::size_t>((y / 2) * 10 + x / 2)]);

  // A clip rectangle of device x 0-54, y (up) 0-79: unstretched stops at column 54.
  ClipRectangleSet(0, 0, 54, 79);
  surface.Fill(kWhitePixel);
  ImageToDevice(15, 0, 50, 30, 0, 0, 0, status, syserr, name);
  EXPECT_NE(PixelToRgb(surface.Get(54, 30)), 0xFFFFFF);
  EXPECT_EQ(PixelToRgb(surface.Get(55, 30)), 0xFFFFFF);
  ImageToDevice(15, 0, 50, 30, 59, 34, 1, status, syserr, name);
  EXPECT_EQ(Region(50, 30, 59, 34), image);
}

TEST_F(ImageDeviceTest, ClipboardBitmapRoundTrip) {
  plat::ClipboardSetText("older text");
  int status = -1, syserr = -1;
  ImageFromDevice(0, 3, 4, 21, 12, status, syserr, "");
  ASSERT_EQ(status, 0);
  const std::vector<std::int32_t> image = Region(3, 4, 21, 12);
  // A device-independent bitmap alone on the clipboard: information header
  // of 40 bytes, 19 x 9 at 24 bits, the rows.
  EXPECT_FALSE(plat::ClipboardHasFormat(plat::kClipText));
  const std::optional<std::vector<std::uint8_t>> dib = plat::ClipboardData(plat::kClipBitmap);
  ASSERT_TRUE(dib);
  ASSERT_EQ(dib->size(), 40u + 9 * (19 * 3 + 3));
  EXPECT_EQ((*dib)[0], 40);
  EXPECT_EQ((*dib)[4], 19);
  EXPECT_EQ((*dib)[8], 9);
  EXPECT_EQ((*dib)[14], 24);

  // Drawn at its own size with no clip region applied, and stretched.
  ClipRectangleSet(0, 0, 54, 79);
  surface.Fill(kWhitePixel);
  ImageToDevice(0, 0, 50, 30, 0, 0, 0, status, syserr, "ignored");
  EXPECT_EQ(status, 0);
  EXPECT_EQ(Region(50, 30, 68, 38), image);
  surface.Fill(kWhitePixel);
  ImageToDevice(0, 0, 10, 10, 47, 27, 1, status, syserr, "");
  EXPECT_EQ(status, 0);
  for (int y = 0; y < 18; ++y)
    for (int x = 0; x < 38; ++x)
      ASSERT_EQ(PixelToRgb(surface.Get(10 + x, 10 + y)), image[static_cast<std::size_t>((y / 2) * 19 + x / 2)]);

  // A palette bitmap put there by another part of the program: 2 x 2 at 8
  // bits, two table entries, rows bottom-up padded to 4 bytes.
  std::vector<std::uint8_t> eight(40, 0);
  eight[0] = 40, eight[4] = 2, eight[8] = 2, eight[12] = 1, eight[14] = 8, eight[32] = 2;
  for (const std::uint8_t b : {0x00, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0x00, 0x00}) eight.push_back(b);
  for (const std::uint8_t b : {1, 0, 0, 0, 0, 1, 0, 0}) eight.push_back(b);
  plat::ClipboardEmpty();
  ASSERT_TRUE(plat::ClipboardSetData(plat::kClipBitmap, eight));
  surface.Fill(kWhitePixel);
  ImageToDevice(0, 0, 0, 0, 0, 0, 0, status, syserr, "");
  EXPECT_EQ(status, 0);
  EXPECT_EQ(Region(0, 0, 1, 1), (std::vector<std::int32_t>{0x0000FF, 0xFF0000, 0xFF0000, 0x0000FF}));

  // Nothing usable on the clipboard: nothing is drawn.
  const std::vector<std::int32_t> before = Region(0, 0, 99, 79);
  const std::vector<std::pair<std::vector<std::uint8_t>, int>> cases = {
      {std::vector<std::uint8_t>(12, 0), 1066},                    // shorter than a header
      {std::vector<std::uint8_t>(eight.begin(), eight.begin() + 44), 1066},  // table cut short
      {{}, 1095},                                                  // text only
  };
  for (const auto& [bytes, want] : cases) {
    plat::ClipboardEmpty();
    if (!bytes.empty()) plat::ClipboardSetData(plat::kClipBitmap, bytes);
    else plat::ClipboardSetText("text");
    ImageToDevice(0, 0, 0, 0, 9, 9, 1, status, syserr, "");
    EXPECT_EQ(status, want);
  }
  EXPECT_EQ(Region(0, 0, 99, 79), before);
  plat::ClipboardEmpty();
}

TEST_F(ImageDeviceTest, TopDownBitmapIsDrawnTheRightWayUp) {
  const std::string name = (dir / "up.bmp").string();
  int status = -1, syserr = -1;
  ImageFromDevice(1, 0, 0, 5, 3, status, syserr, name);
  ASSERT_EQ(status, 0);
  const std::vector<std::int32_t> image = Region(0, 0, 5, 3);
  // The same picture stored top row first: rows reversed, height negated.
  std::string bytes = ReadFile(name);
  const std::size_t row = 6 * 3 + 2, at = 54;
  std::string flipped = bytes.substr(0, at);
  for (int r = 3; r >= 0; --r) flipped += bytes.substr(at + static_cast<std::size_t>(r) * row, row);
  const std::int32_t minusFour = -4;
  for (int i = 0; i < 4; ++i) flipped[22 + static_cast<std::size_t>(i)] = static_cast<char>((minusFour >> (8 * i)) & 255);
  WriteFile(dir / "down.bmp", flipped);
  surface.Fill(kWhitePixel);
  ImageToDevice(1, 0, 30, 30, 0, 0, 0, status, syserr, (dir / "down.bmp").string());
  EXPECT_EQ(status, 0);
  EXPECT_EQ(Region(30, 30, 35, 33), image);
}

TEST_F(ImageDeviceTest, OperationThirtyEightFillsTheClipRectangle) {
  const std::string name = (dir / "op.bmp").string();
  int status = -1, syserr = -1;
  ImageFromDevice(1, 0, 0, 4, 3, status, syserr, name);
  ASSERT_EQ(status, 0);
  const std::vector<std::int32_t> image = Region(0, 0, 4, 3);
  surface.Fill(kWhitePixel);
  ClipRectangleSet(10, 20, 19, 27);  // 10 x 8 pixels, rows 52-59 from the top
  std::string text = name;
  text.resize(kDriverTextLength, ' ');
  DriverParams().text = text;
  DriverParams().P2 = -5;
  DriverOperation op = DriverOperation::Image;
  YYGAPI(op);
  EXPECT_EQ(DriverParams().P2, 0);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 10; ++x)
      ASSERT_EQ(PixelToRgb(surface.Get(10 + x, 52 + y)),
                image[static_cast<std::size_t>((y * 4 / 8) * 5 + x * 5 / 10)]);
  DriverParams().text = std::string(kDriverTextLength, ' ');
  YYGAPI(op);
  EXPECT_EQ(DriverParams().P2, 1);
}

TEST_F(ImageDeviceTest, FailureStatuses) {
  plat::ClipboardEmpty();
  WriteFile(dir / "a.gif", "GIF89a\x01\x00\x01\x00\x80\x00\x00");
  WriteFile(dir / "bad.pcx", std::string("\x0A\x05\x02", 3) + std::string(125, '\0'));
  WriteFile(dir / "short.pcx", std::string("\x0A\x05\x01", 3));
  WriteFile(dir / "core.bmp", "BM" + std::string(12, '\0') + std::string("\x0C\0\0\0", 4) + std::string(40, '\0'));
  {
    const std::string name = (dir / "whole.png").string();
    int status = -1, syserr = -1;
    ImageFromDevice(15, 0, 0, 9, 9, status, syserr, name);
    const std::string png = ReadFile(name);
    WriteFile(dir / "cut.png", png.substr(0, png.size() - 20));
  }
  const std::vector<std::tuple<int, int, std::string, int>> cases = {
      {15, 0, (dir / "cut.png").string(), 2},
      {15, 0, (dir / "a.gif").string(), 27},     {1, 0, (dir / "a.gif").string(), 27},
      {2, 0, (dir / "bad.pcx").string(), 27},    {2, 0, (dir / "short.pcx").string(), 2},
      {1, 0, (dir / "core.bmp").string(), 27},   {15, 0, (dir / "none.png").string(), 1},
      {0, 0, "", 1095},                          {15, 5, (dir / "a.gif").string(), 27},
      {7, 0, (dir / "a.gif").string(), 0},
  };
  ResetErrorState();
  const std::vector<std::int32_t> before = Region(0, 0, 99, 79);
  for (const auto& [kind, target, name, want] : cases) {
    int status = -1, syserr = -1;
    ImageToDevice(kind, target, 0, 0, 9, 9, 1, status, syserr, name);
    EXPECT_EQ(status, want) << kind << " " << name;
  }
  EXPECT_EQ(WErrorStatusQuery(1), 0);  // nothing reported
  EXPECT_EQ(Region(0, 0, 99, 79), before);  // nor drawn
}

TEST(ImageHelpersTest, ColourTablesRunsAndBitmapLoading) {
  const auto header = [](std::uint32_t size, int bits, std::uint32_t used) {
    std::vector<std::uint8_t> h(40, 0);
    h[0] = static_cast<std::uint8_t>(size);
    if (size == 12) h[10] = static_cast<std::uint8_t>(bits);
    else h[14] = static_cast<std::uint8_t>(bits);
    for (int i = 0; i < 4; ++i) h[32 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(used >> (8 * i));
    return h;
  };
  const std::vector<std::tuple<std::uint32_t, int, std::uint32_t, int>> tables = {
      {12, 1, 0, 6},  {12, 4, 0, 48},  {12, 8, 0, 768}, {40, 1, 0, 8},   {40, 4, 0, 64},
      {40, 8, 0, 1024}, {40, 8, 3, 12}, {40, 4, 2, 8},  {40, 24, 5, 0},  {40, 16, 0, 0},
  };
  for (const auto& [size, bits, used, want] : tables)
    EXPECT_EQ(DibColourTableSize(header(size, bits, used)), want) << size << " " << bits << " " << used;

  std::string runs;
  EXPECT_EQ(PcxRunWrite(7, 1, runs), 0);
  PcxRunWrite(200, 1, runs);
  PcxRunWrite(9, 63, runs);
  EXPECT_EQ(runs, std::string("\x07\xC1\xC8\xFF\x09", 5));
  const std::vector<std::uint8_t> bytes(runs.begin(), runs.end());
  std::size_t pos = 0;
  std::uint8_t v = 0;
  int n = 0;
  EXPECT_EQ(PcxRunRead(bytes, pos, v, n), 0);
  EXPECT_EQ(std::make_pair(int{v}, n), std::make_pair(7, 1));
  EXPECT_EQ(PcxRunRead(bytes, pos, v, n), 0);
  EXPECT_EQ(std::make_pair(int{v}, n), std::make_pair(200, 1));
  EXPECT_EQ(PcxRunRead(bytes, pos, v, n), 0);
  EXPECT_EQ(std::make_pair(int{v}, n), std::make_pair(9, 63));
  EXPECT_EQ(PcxRunRead(bytes, pos, v, n), 2);
  const std::vector<std::uint8_t> cut{0xC5};
  pos = 0;
  EXPECT_EQ(PcxRunRead(cut, pos, v, n), 2);

  TempDir dir;
  const auto bmp = [](std::uint32_t used, std::uint32_t imageSize, std::size_t rows) {
    std::string s = "BM";
    s += std::string("\0\0\0\0\0\0\0\0", 8);
    s += std::string("\x3E\0\0\0", 4);  // rows at 62
    std::string h(40, '\0');
    h[0] = 40;
    h[4] = 2;   // width 2
    h[8] = 2;   // height 2
    h[12] = 1;
    h[14] = 1;  // 1 bit
    for (int i = 0; i < 4; ++i) {
      h[20 + static_cast<std::size_t>(i)] = static_cast<char>(imageSize >> (8 * i));
      h[32 + static_cast<std::size_t>(i)] = static_cast<char>(used >> (8 * i));
    }
    return s + h + std::string("\xFF\xFF\xFF\0\0\0\0\0", 8) + std::string(rows, '\x40');
  };
  std::vector<std::uint8_t> block;
  std::int64_t offset = 0;
  WriteFile(dir / "ok.bmp", bmp(0, 0, 8));
  EXPECT_EQ(BitmapFileLoad((dir / "ok.bmp").string(), block, offset), 0);
  EXPECT_EQ(offset, 48);
  EXPECT_EQ(block.size(), 56u);
  EXPECT_EQ(block[32], 2);  // colours used filled in
  WriteFile(dir / "many.bmp", bmp(257, 0, 8));
  EXPECT_EQ(BitmapFileLoad((dir / "many.bmp").string(), block, offset), 27);
  WriteFile(dir / "short.bmp", bmp(0, 0, 7));
  EXPECT_EQ(BitmapFileLoad((dir / "short.bmp").string(), block, offset), 2);
  WriteFile(dir / "huge.bmp", bmp(0, 0xFFFFFFF0u, 8));
  EXPECT_EQ(BitmapFileLoad((dir / "huge.bmp").string(), block, offset), 2);
  EXPECT_EQ(BitmapFileLoad((dir / "none.bmp").string(), block, offset), 1);
  WriteFile(dir / "png.bmp", "\x89PNG\r\n\x1A\n" + std::string(60, '\0'));
  EXPECT_EQ(BitmapFileLoad((dir / "png.bmp").string(), block, offset), 27);
}

}  // namespace
}  // namespace tk::testing
