// Image-file writers: BMP (plain and run-length), PCX and PNG files of a
// raster page, checked field by field, decoded by ImageMagick and by our own
// image loader back to the page's pixels; page geometry and page names.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "tests/TestSupport.h"
#include "tests/toolkit/ImageTools.h"
#include "toolkit/core/Errors.h"
#include "toolkit/graphics/Colours.h"
#include "toolkit/graphics/Drivers.h"
#include "toolkit/graphics/ImageLoad.h"
#include "toolkit/hardcopy/ImageFiles.h"
#include "toolkit/hardcopy/PlotFile.h"

namespace tk::testing {
namespace {

using namespace ::testing_support;

// A page of W x H pixels at BITS with its words, filled by a known picture.
struct Page {
  ImagePageGeometry g;
  std::vector<std::uint32_t> words;
  RasterPageView View() const {
    return {g.width, g.height, g.bitsPerPixel, g.wordsPerRow, g.wordsPerPlane, words};
  }
  // Pixel value at (x, y), y counted up from the bottom row 0.
  void Set(int x, int y, std::uint32_t v) {
    const std::int64_t rw = y * g.wordsPerRow;
    switch (g.bitsPerPixel) {
      case 1:
      case 4:
        for (int p = 0; p < g.planes; ++p) {
          std::uint32_t& w = words[static_cast<std::size_t>(rw + p * g.wordsPerPlane + x / 32)];
          const bool on = g.bitsPerPixel == 1 ? v != 0 : ((v >> p) & 1) != 0;
          w = on ? (w | (1u << (x % 32))) : (w & ~(1u << (x % 32)));
        }
        break;
      case 8: {
        std::uint32_t& w = words[static_cast<std::size_t>(rw + x / 4)];
        w = (w & ~(0xFFu << (8 * (x % 4)))) | (v << (8 * (x % 4)));
        break;
      }
      default:
        words[static_cast<std::size_t>(rw + x)] = v;
    }
  }
};

// The known picture: a frame of ink round the page and a diagonal series.
std::uint32_t Picture(int bits, int x, int y, int w, int h) {
  const bool frame = x == 0 || y == 0 || x == w - 1 || y == h - 1;
  const bool series = (x * h) / w == y;
  if (bits == 1) return (frame || series) ? 1 : 0;
  if (bits == 4) return frame ? 15 : series ? 5 : static_cast<std::uint32_t>((x / 3 + y) % 16);
  if (bits == 8) return frame ? 223 : series ? 31 : static_cast<std::uint32_t>((x + 7 * y) % 256);
  return frame ? 0 : series ? 0x0000FF : static_cast<std::uint32_t>((x * 5) | ((y * 9) << 8) | (((x + y) & 255) << 16));
}

Page MakePage(int w, int h, int bits) {
  Page p;
  p.g = ImagePageLayout(w, h, bits);
  p.words.assign(static_cast<std::size_t>(p.g.totalWords + 1), 0);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) p.Set(x, y, Picture(bits, x, y, w, h));
  return p;
}

// The page's pixels as packed RGB, rows from the top. A 4-bit pixel's planes
// (0-based 0..3) carry weights 4, 2, 1, 8 of its colour number.
std::vector<std::int32_t> Expected(int w, int h, int bits) {
  std::vector<std::int32_t> px;
  for (int y = h - 1; y >= 0; --y)
    for (int x = 0; x < w; ++x) {
      const std::uint32_t v = Picture(bits, x, y, w, h);
      if (bits == 1) px.push_back(v ? 0 : 0xFFFFFF);
      else if (bits == 4) {
        const int n = static_cast<int>(((v & 1) ? 4 : 0) + ((v & 2) ? 2 : 0) + ((v & 4) ? 1 : 0) + ((v & 8) ? 8 : 0));
        px.push_back(PaletteSlot16(n));
      } else if (bits == 8) px.push_back(PaletteGetRgb(static_cast<int>(v)));
      else px.push_back(static_cast<std::int32_t>(v));
    }
  return px;
}

std::vector<std::int32_t> OurDecode(const std::string& file) {
  std::int32_t w = 0, h = 0;
  const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(file.data()), file.size());
  if (!ImageDataSize(bytes, w, h)) return {};
  std::vector<std::int32_t> px(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), -1);
  if (DecodeImageData(bytes, px) != 0) return {};
  return px;
}

using image_tools::Have;

std::vector<std::int32_t> ToolDecode(const std::filesystem::path& path) {
  int w = 0, h = 0;
  return image_tools::ToolPixels(path, w, h);
}

class ImageFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetErrorState();
    PaletteLoadDefault();
  }
  void TearDown() override { PlotFileClose(2); }
  TempDir dir;
};

std::uint32_t U16(const std::string& s, std::size_t at) {
  return static_cast<unsigned char>(s[at]) | (static_cast<unsigned char>(s[at + 1]) << 8);
}
std::uint32_t U32(const std::string& s, std::size_t at) { return U16(s, at) | (U16(s, at + 2) << 16); }

TEST_F(ImageFilesTest, HeaderFieldsOfTheEdgeCases) {
  // Defaults: 640 x 480 at 8 bits as PCX.
  const Page p = MakePage(640, 480, 8);
  const std::string pcx = PcxImageBytes(p.View());
  EXPECT_EQ(pcx[0], 10);
  EXPECT_EQ(pcx[1], 5);
  EXPECT_EQ(pcx[2], 1);
  EXPECT_EQ(pcx[3], 8);
  EXPECT_EQ(U16(pcx, 8), 639u);
  EXPECT_EQ(U16(pcx, 10), 479u);
  EXPECT_EQ(U16(pcx, 12), 75u);
  EXPECT_EQ(pcx[65], 1);
  EXPECT_EQ(U16(pcx, 66), 640u);
  EXPECT_EQ(pcx[pcx.size() - 769], 12);
  const int c5 = PaletteGetRgb(5);
  EXPECT_EQ(static_cast<unsigned char>(pcx[pcx.size() - 768 + 15]), c5 & 255);

  // Width 641: PCX lines of 642 bytes, BMP rows of 644.
  const Page odd = MakePage(641, 3, 8);
  EXPECT_EQ(U16(PcxImageBytes(odd.View()), 66), 642u);
  const std::string bmp = BmpImageBytes(odd.View(), 1);
  EXPECT_EQ(bmp.size(), 54u + 1024 + 3 * 644);
  EXPECT_EQ(U32(bmp, 2), bmp.size());
  EXPECT_EQ(U32(bmp, 10), 54u + 1024);

  // 1-bit BMP: table white then black; PCX version 3, one plane of 1 bit.
  const Page mono = MakePage(10, 4, 1);
  const std::string b1 = BmpImageBytes(mono.View(), 1);
  EXPECT_EQ(b1.substr(54, 8), std::string("\xFF\xFF\xFF\x00\x00\x00\x00\x00", 8));
  const std::string p1 = PcxImageBytes(mono.View());
  EXPECT_EQ(p1[1], 3);
  EXPECT_EQ(p1[3], 1);
  EXPECT_EQ(p1[65], 1);
  EXPECT_EQ(U16(p1, 66), 2u);
  // 4 bits: four planes, the 16 colours in the header; 24 bits: three planes.
  const std::string p4 = PcxImageBytes(MakePage(9, 2, 4).View());
  EXPECT_EQ(p4[65], 4);
  EXPECT_EQ(U16(p4, 66), 2u);
  EXPECT_EQ(static_cast<unsigned char>(p4[16 + 3 * 7 + 1]), (PaletteSlot16(7) >> 8) & 255);
  const std::string p24 = PcxImageBytes(MakePage(9, 2, 24).View());
  EXPECT_EQ(p24[65], 3);
  EXPECT_EQ(U16(p24, 66), 10u);

  // 24-bit PNG: colour type 2, no PLTE, one IDAT.
  const std::string png = PngImageBytes(MakePage(7, 5, 24).View());
  EXPECT_EQ(png[25], 2);
  EXPECT_EQ(png.find("PLTE"), std::string::npos);
  EXPECT_NE(png.find("IDAT"), std::string::npos);
  EXPECT_EQ(png.find("IDAT", png.find("IDAT") + 1), std::string::npos);
  const std::string png1 = PngImageBytes(mono.View());
  EXPECT_EQ(png1[24], 1);
  EXPECT_EQ(png1[25], 3);
  EXPECT_NE(png1.find(std::string("PLTE\xFF\xFF\xFF\x00\x00\x00", 10)), std::string::npos);
}

TEST_F(ImageFilesTest, RunLengthRows) {
  // 640 equal bytes at 8 bits: runs of 252, 252 and 136, then the end of line.
  Page p = MakePage(640, 1, 8);
  for (int x = 0; x < 640; ++x) p.Set(x, 0, 9);
  std::string b = BmpImageBytes(p.View(), 2);
  EXPECT_EQ(U32(b, 30), 1u);
  EXPECT_EQ(b.substr(54 + 1024), std::string("\xFC\x09\xFC\x09\x88\x09\x00\x00\x00\x01", 10));
  // Mixed groups become absolute runs of 4; the last two bytes of a width of
  // 6 are runs of one pixel each.
  Page q = MakePage(6, 1, 8);
  for (int x = 0; x < 6; ++x) q.Set(x, 0, static_cast<std::uint32_t>(x + 1));
  b = BmpImageBytes(q.View(), 2);
  EXPECT_EQ(b.substr(54 + 1024),
            std::string("\x00\x04\x01\x02\x03\x04\x01\x05\x01\x06\x00\x00\x00\x01", 14));
  // 4 bits, width 11: 6 bytes; one group of 8 pixels, then 2 pixels, then 1.
  Page r = MakePage(11, 1, 4);
  for (int x = 0; x < 11; ++x) r.Set(x, 0, 0);
  b = BmpImageBytes(r.View(), 2);
  EXPECT_EQ(U32(b, 30), 2u);
  EXPECT_EQ(b.substr(54 + 64), std::string("\x08\x00\x02\x00\x01\x00\x00\x00\x00\x01", 10));
  // Type 2 at 1 and 24 bits stays uncompressed.
  EXPECT_EQ(U32(BmpImageBytes(MakePage(3, 1, 24).View(), 2), 30), 0u);
}

TEST_F(ImageFilesTest, EveryTypeAndDepthDecodesToThePage) {
  const bool tool = Have("convert");
  for (const int w : {37, 64}) {
    const int h = 23;
    for (const int bits : {1, 4, 8, 24}) {
      const Page p = MakePage(w, h, bits);
      const std::vector<std::pair<std::string, std::string>> files = {
          {"bmp", BmpImageBytes(p.View(), 1)},
          {"rle.bmp", BmpImageBytes(p.View(), 2)},
          {"pcx", PcxImageBytes(p.View())},
          {"png", PngImageBytes(p.View())},
      };
      for (const auto& [ext, bytes] : files) {
        SCOPED_TRACE(ext + " at " + std::to_string(bits) + " bits, width " + std::to_string(w));
        const bool pcx1 = ext == "pcx" && bits == 1;
        EXPECT_EQ(OurDecode(bytes), Expected(w, h, bits));
        const auto path = dir / ("page." + ext);
        WriteFile(path, bytes);
        if (pcx1) {
          // A 1-bit PCX is read with 0 as black by netpbm and PIL (and most
          // readers); ImageMagick alone takes set bits as black, so it is not
          // asked. Each reader's picture is looked at through a PPM or PNG.
          const std::string in = path.string(), ppm = in + ".ppm", png = in + ".png";
          if (Have("pcxtoppm") && tool &&
              std::system(("pcxtoppm '" + in + "' > '" + ppm + "' 2>/dev/null").c_str()) == 0) {
            EXPECT_EQ(ToolDecode(ppm), Expected(w, h, bits)) << "netpbm";
          }
          if (tool && std::system(("/usr/bin/python3 -c \"import sys; from PIL import Image; "
                                   "Image.open(sys.argv[1]).convert('RGB').save(sys.argv[2])\" '" +
                                   in + "' '" + png + "' 2>/dev/null")
                                      .c_str()) == 0) {
            EXPECT_EQ(ToolDecode(png), Expected(w, h, bits)) << "PIL";
          }
          continue;
        }
        if (!tool) continue;
        // The run-length file's sizes are patched as at the end of output.
        if (ext == "rle.bmp" && (bits == 4 || bits == 8))
          YYBMP2(path.string(), static_cast<int>(path.string().size()), bits);
        // ImageMagick shows a 1-bit PCX without a table with set bits black.
        EXPECT_EQ(ToolDecode(path), Expected(w, h, bits));
        if (ext == "png" && Have("pngcheck")) {
          EXPECT_EQ(std::system(("pngcheck -q '" + path.string() + "' >/dev/null").c_str()), 0);
        }
      }
    }
  }
}

TEST_F(ImageFilesTest, StreamWritersAndSizePatch) {
  const Page p = MakePage(21, 9, 8);
  const auto path = dir / "plot.bmp";
  std::string name = path.string();
  name.resize(kDriverTextLength, ' ');
  DriverText() = name;
  PlotFileOpen(2);
  BmpFileWrite(p.View(), 2);
  PlotFileClose(2);
  ASSERT_EQ(PlotFileStatus(), 0);
  const std::string before = ReadFile(path);
  EXPECT_EQ(before, BmpImageBytes(p.View(), 2));
  YYBMP2(path.string(), static_cast<int>(path.string().size()), 8);
  const std::string after = ReadFile(path);
  EXPECT_EQ(U32(after, 2), after.size());
  EXPECT_EQ(U32(after, 34), after.size() - 54 - 1024);
  EXPECT_EQ(after.substr(54), before.substr(54));

  for (const auto& [ext, write] :
       std::vector<std::pair<std::string, void (*)(const RasterPageView&)>>{
           {"pcx", PcxFileWrite}, {"png", PngFileWrite}}) {
    const auto file = dir / ("plot." + ext);
    name = file.string();
    name.resize(kDriverTextLength, ' ');
    DriverText() = name;
    PlotFileOpen(2);
    write(p.View());
    PlotFileClose(2);
    EXPECT_EQ(ReadFile(file), ext == "pcx" ? PcxImageBytes(p.View()) : PngImageBytes(p.View()));
  }
  // A file that cannot be opened is left alone, reporting nothing.
  ResetErrorState();
  YYBMP2("/nonexistent/x.bmp", 18, 8);
  EXPECT_EQ(WErrorStatusQuery(1), 0);
}

TEST_F(ImageFilesTest, PageGeometryAndShrinkLoop) {
  ImagePageGeometry g = ImagePageLayout(641, 3, 8);
  EXPECT_EQ(g.wordsPerRow, 161);
  EXPECT_EQ(g.totalWords, 161 * 3);
  g = ImagePageLayout(33, 2, 4);
  EXPECT_EQ(g.planes, 4);
  EXPECT_EQ(g.wordsPerRow, 2);
  EXPECT_EQ(g.totalWords, 16);

  // Each refused allocation reports 34 and shrinks both sides.
  int refusals = 2;
  ResetErrorState();
  g = ImagePageFit(1000, 800, 24, 1LL << 40, [&](std::int64_t) { return refusals-- <= 0; });
  EXPECT_EQ(WErrorStatusQuery(1), 34);
  EXPECT_LT(g.width, 1000);
  EXPECT_GT(g.width, 800);
  EXPECT_NEAR(static_cast<double>(g.width) / g.height, 1000.0 / 800.0, 0.01);

  // Sizes whose words overflow 32 bits are taken in 64 bits and shrunk at once
  // below the cap, with a single report.
  int reports = 0;
  ErrorReportModeSet(kReportSilent);
  ResetErrorState();
  std::int64_t asked = 0;
  g = ImagePageFit(2000000000, 2000000000, 24, 1LL << 24, [&](std::int64_t words) {
    asked = words;
    ++reports;
    return true;
  });
  EXPECT_EQ(WErrorStatusQuery(1), 34);
  EXPECT_LE(asked, 1LL << 24);
  EXPECT_EQ(asked, g.totalWords + 1);
  EXPECT_EQ(reports, 1);
  EXPECT_GT(g.width, 1000);
}

TEST(ImagePageNameTest, LaterPagesTakeTheirNumberBeforeTheExtension) {
  const std::vector<std::tuple<const char*, int, const char*>> cases = {
      {"plot.png", 1, "plot.png"},        {"plot.png", 2, "plot-2.png"},
      {"dir.x/plot", 3, "dir.x/plot-3"},  {"dir\\a.b\\pic.bmp", 12, "dir\\a.b\\pic-12.bmp"},
      {"a.tar.pcx", 2, "a.tar-2.pcx"},    {"noext", 2, "noext-2"},
  };
  for (const auto& [name, page, want] : cases) EXPECT_EQ(ImagePageFileName(name, page), want);
}

}  // namespace
}  // namespace tk::testing
