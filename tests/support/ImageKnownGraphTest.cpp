// The image-file driver: the known graph written at every image type and
// depth, read back by our own loader and by ImageMagick to the same pixels,
// the picture in place on white paper, and identified with its size and
// depth; the driver's defaults, an empty page, pages after the first in
// files of their own, an output that cannot open.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "../toolkit/graphics/GraphicsTestSupport.h"
#include "support/GraphDraw.h"
#include "support/PenPlot.h"
#include "tests/RenderBack.h"
#include "tests/TestSupport.h"
#include "tests/support/KnownGraph.h"
#include "tests/toolkit/ImageTools.h"
#include "toolkit/core/Errors.h"
#include "toolkit/graphics/GraphicsFileType.h"
#include "toolkit/graphics/ImageLoad.h"
#include "toolkit/hardcopy/HardcopyDrivers.h"
#include "toolkit/hardcopy/HardcopyOptions.h"
#include "toolkit/hardcopy/HardcopySwitch.h"

namespace sup::testing {
namespace {

using O = tk::DriverOperation;
using velloran::testing::GreyImage;

constexpr int kPageWidth = 750, kPageHeight = 600;

struct Decoded {
  std::int32_t width = 0, height = 0;
  std::vector<std::int32_t> rgb;  // rows from the top
};

Decoded OurDecode(const std::string& file) {
  Decoded d;
  const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(file.data()), file.size());
  if (!tk::ImageDataSize(bytes, d.width, d.height)) return {};
  d.rgb.assign(static_cast<std::size_t>(d.width) * static_cast<std::size_t>(d.height), -1);
  if (tk::DecodeImageData(bytes, d.rgb) != 0) return {};
  return d;
}

GreyImage Grey(const Decoded& d) {
  GreyImage g;
  g.width = d.width;
  g.height = d.height;
  for (const std::int32_t c : d.rgb)
    g.grey.push_back(static_cast<std::uint8_t>((299 * (c & 255) + 587 * ((c >> 8) & 255) + 114 * ((c >> 16) & 255)) / 1000));
  return g;
}

std::string Trimmed(std::string s) {
  s.erase(s.find_last_not_of(' ') + 1);
  return s;
}

class ImageDriverTest : public tk::testing::GraphicsTest {
 protected:
  void SetUp() override {
    Open(kKnownGraphWidth, kKnownGraphHeight);
    PenPlotReset();
    PCLIPOFF();
    SetPenTextOutput({});
    tk::StandHardcopyDrivers();
  }
  void TearDown() override {
    tk::WHardcopySwitch("S");
    tk::HardcopyDriverSelect(O::Select, tk::kDefaultHardcopyDriver);
    GraphicsTest::TearDown();
  }
  // Selects the image driver at BITS and TYPE, a page of kPageWidth x
  // kPageHeight, output to NAME in the fixture's folder; starts the page.
  void StartPage(int bits, int type, const std::string& name) {
    tk::HardcopyDriverSelect(O::Select, tk::kDriverBitImage);
    tk::HardcopyOptionSet(1, kPageWidth);
    tk::HardcopyOptionSet(2, kPageHeight);
    tk::HardcopyOptionSet(23, bits);
    tk::HardcopyOptionSet(26, type);
    file = (dir / name).string();
    std::string padded = file;
    padded.resize(tk::kHardcopyNameLength, ' ');
    tk::HardcopyFileName() = padded;
    GraphAxes none;
    PLOTXY(1, 1, kPenStartPage, none);
    ASSERT_GT(tk::Gs().hardcopyOn, 0);
  }
  ::testing_support::TempDir dir;
  std::string file;
};

TEST_F(ImageDriverTest, SelectSetsTheDefaults) {
  tk::DriverParams().P1 = -999;
  tk::HardcopyDriverSelect(O::Select, tk::kDriverBitImage);
  EXPECT_EQ(tk::DriverParams().P1, tk::kDriverBitImage);
  tk::HardcopyDriverSelect(O::Select, tk::kDriverBitImage);
  EXPECT_EQ(tk::HardcopyOption(1), 640);
  EXPECT_EQ(tk::HardcopyOption(2), 480);
  EXPECT_EQ(tk::HardcopyOption(23), 8);
  EXPECT_EQ(tk::HardcopyOption(26), 0);
  EXPECT_EQ(tk::DriverParams().driverNumber, tk::kDriverBitImage);
  EXPECT_EQ(tk::DriverParams().deviceColours, 256);
  EXPECT_EQ(tk::DriverParams().spoolCapable, 0);
  EXPECT_EQ(tk::DriverParams().capabilities[1], "00000111111111110010011111000");
  EXPECT_EQ(Trimmed(tk::HardcopyFileName()), "parvplot.pcx");
  // The image type renames the output.
  tk::HardcopyOptionSet(26, 3);
  EXPECT_EQ(Trimmed(tk::HardcopyFileName()), "parvplot.png");
}

TEST_F(ImageDriverTest, KnownGraphAtEveryTypeAndDepth) {
  const bool tool = image_tools::Have("convert");
  const PageSetup setup{.factorX = double(kPageWidth) / kKnownGraphWidth,
                        .factorY = double(kPageHeight) / kKnownGraphHeight};
  for (const int bits : {1, 4, 8, 24}) {
    std::vector<std::int32_t> first;
    for (const int type : {0, 1, 2, 3}) {
      SCOPED_TRACE("type " + std::to_string(type) + " at " + std::to_string(bits) + " bits");
      const char* ext = type == 0 ? ".pcx" : type == 3 ? ".png" : ".bmp";
      StartPage(bits, type, "graph" + std::to_string(bits) + "-" + std::to_string(type) + ext);
      DrawKnownGraph();
      tk::WHardcopySwitch("S");
      const std::string bytes = ::testing_support::ReadFile(file);
      const Decoded ours = OurDecode(bytes);
      ASSERT_EQ(ours.width, kPageWidth);
      ASSERT_EQ(ours.height, kPageHeight);
      const bool pcx1 = type == 0 && bits == 1;
      const std::vector<std::int32_t>& shown = ours.rgb;
      if (first.empty()) first = shown;
      EXPECT_EQ(shown, first) << "every type holds the same pixels";
      // No text: the pen plotter draws none here.
      ExpectPicture(Grey(Decoded{ours.width, ours.height, shown}), setup, 1, false);
      if (type == 2 && (bits == 4 || bits == 8)) {
        // The sizes patched at the end of output.
        const auto u32 = [&](std::size_t at) {
          return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at]) |
                                            static_cast<unsigned char>(bytes[at + 1]) << 8 |
                                            static_cast<unsigned char>(bytes[at + 2]) << 16 |
                                            static_cast<unsigned char>(bytes[at + 3]) << 24);
        };
        EXPECT_EQ(u32(2), bytes.size());
        EXPECT_EQ(u32(34), bytes.size() - 54 - 4 * (1u << bits));
      }
      if (!tool) continue;
      int w = 0, h = 0;
      if (pcx1) {
        // The traces on white in netpbm and PIL, the common readers of a
        // 1-bit PCX (ImageMagick alone reads its set bits as black).
        const std::string ppm = file + ".ppm", png = file + ".png";
        if (image_tools::Have("pcxtoppm") &&
            std::system(("pcxtoppm '" + file + "' > '" + ppm + "' 2>/dev/null").c_str()) == 0) {
          EXPECT_EQ(image_tools::ToolPixels(ppm, w, h), shown) << "netpbm";
        }
        if (std::system(("/usr/bin/python3 -c \"import sys; from PIL import Image; "
                         "Image.open(sys.argv[1]).convert('RGB').save(sys.argv[2])\" '" +
                         file + "' '" + png + "' 2>/dev/null")
                            .c_str()) == 0) {
          EXPECT_EQ(image_tools::ToolPixels(png, w, h), shown) << "PIL";
        }
        continue;
      }
      EXPECT_EQ(image_tools::ToolPixels(file, w, h), shown);
      if (type == 3 && image_tools::Have("pngcheck")) {
        EXPECT_EQ(std::system(("pngcheck -q '" + file + "' >/dev/null").c_str()), 0);
      }
    }
  }
}

// What identification reports of the files the driver writes: type, the
// page's size, colours, the kind (BMP compressed, PCX version, PNG
// interlace) and the bits per pixel.
TEST_F(ImageDriverTest, IdentificationOfEveryTypeAndDepth) {
  using Info = std::array<std::int32_t, 6>;
  constexpr std::int32_t kTrue = 16777216;
  struct Case {
    int bits, type;
    Info want;
  };
  const Case cases[] = {
      // PCX version 3 (2.8 without palette) for black and white, else 5.
      {1, 0, {tk::kGfPcx, kPageWidth, kPageHeight, 2, 3, 1}},
      {4, 0, {tk::kGfPcx, kPageWidth, kPageHeight, 16, 5, 4}},
      {8, 0, {tk::kGfPcx, kPageWidth, kPageHeight, 256, 5, 8}},
      {24, 0, {tk::kGfPcx, kPageWidth, kPageHeight, kTrue, 5, 24}},
      {1, 1, {tk::kGfBmp, kPageWidth, kPageHeight, 2, 0, 1}},
      {4, 1, {tk::kGfBmp, kPageWidth, kPageHeight, 16, 0, 4}},
      {8, 1, {tk::kGfBmp, kPageWidth, kPageHeight, 256, 0, 8}},
      {24, 1, {tk::kGfBmp, kPageWidth, kPageHeight, kTrue, 0, 24}},
      // Run-length BMP exists at 4 and 8 bits only.
      {1, 2, {tk::kGfBmp, kPageWidth, kPageHeight, 2, 0, 1}},
      {4, 2, {tk::kGfBmp, kPageWidth, kPageHeight, 16, 1, 4}},
      {8, 2, {tk::kGfBmp, kPageWidth, kPageHeight, 256, 1, 8}},
      {24, 2, {tk::kGfBmp, kPageWidth, kPageHeight, kTrue, 0, 24}},
      {1, 3, {tk::kGfPng, kPageWidth, kPageHeight, 2, 0, 1}},
      {4, 3, {tk::kGfPng, kPageWidth, kPageHeight, 16, 0, 4}},
      {8, 3, {tk::kGfPng, kPageWidth, kPageHeight, 256, 0, 8}},
      {24, 3, {tk::kGfPng, kPageWidth, kPageHeight, kTrue, 0, 24}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("type " + std::to_string(c.type) + " at " + std::to_string(c.bits) + " bits");
    // No extension: identification goes by the contents alone.
    StartPage(c.bits, c.type, "ident" + std::to_string(c.bits) + "-" + std::to_string(c.type));
    DrawKnownGraph();
    tk::WHardcopySwitch("S");
    Info info{};
    tk::GraphicsFileType(file, static_cast<int>(file.size()), info, 6);
    EXPECT_EQ(info, c.want);
  }
}

TEST_F(ImageDriverTest, PenColoursKeepTheirColoursAtFourBits) {
  StartPage(4, 3, "pens.png");
  DrawKnownGraph();
  tk::WHardcopySwitch("S");
  const Decoded d = OurDecode(::testing_support::ReadFile(file));
  ASSERT_EQ(d.width, kPageWidth);
  const KnownGraph& g = KnownGraphGeometry();
  const PageSetup setup{.factorX = double(kPageWidth) / kKnownGraphWidth,
                        .factorY = double(kPageHeight) / kKnownGraphHeight};
  const DeviceSegment red = PageOf(setup, g.redLine);
  const int x = static_cast<int>((red.a.x + red.b.x) / 2);
  int reddest = 0;
  for (int dy = -1; dy <= 1; ++dy) {
    const int row = kPageHeight - 1 - static_cast<int>(red.a.y) + dy;
    const std::int32_t c = d.rgb[static_cast<std::size_t>(row * kPageWidth + x)];
    if ((c & 255) >= 128 && ((c >> 8) & 255) < 64 && ((c >> 16) & 255) < 64) ++reddest;
  }
  EXPECT_GT(reddest, 0) << "the red line is red";
  EXPECT_EQ(d.rgb[0], 0xFFFFFF) << "white paper";
}

TEST_F(ImageDriverTest, EmptyPageWritesNothing) {
  StartPage(8, 0, "empty.pcx");
  tk::WHardcopySwitch("S");
  EXPECT_TRUE(std::filesystem::exists(file));
  EXPECT_EQ(std::filesystem::file_size(file), 0u);
  EXPECT_FALSE(std::filesystem::exists(dir / "empty-2.pcx"));
}

TEST_F(ImageDriverTest, LaterPagesGoToNumberedFiles) {
  StartPage(8, 2, "pages.bmp");
  DrawKnownGraph();
  tk::HardcopyDriverCall(O::EndPage);
  GraphAxes none;
  PLOTXY(2, 2, 3, none);
  PLOTXY(5, 5, 2, none);
  tk::HardcopyDriverCall(O::EndPage);
  DrawKnownGraph();
  tk::WHardcopySwitch("S");
  for (const char* name : {"pages.bmp", "pages-2.bmp", "pages-3.bmp"}) {
    SCOPED_TRACE(name);
    const std::string bytes = ::testing_support::ReadFile((dir / name).string());
    ASSERT_GT(bytes.size(), 54u);
    EXPECT_EQ(static_cast<unsigned char>(bytes[2]) | static_cast<unsigned char>(bytes[3]) << 8 |
                  static_cast<unsigned char>(bytes[4]) << 16,
              static_cast<int>(bytes.size()));
    EXPECT_EQ(OurDecode(bytes).width, kPageWidth);
  }
  EXPECT_FALSE(std::filesystem::exists(dir / "pages-4.bmp"));
  EXPECT_EQ(::testing_support::ReadFile((dir / "pages.bmp").string()),
            ::testing_support::ReadFile((dir / "pages-3.bmp").string()));
}

TEST_F(ImageDriverTest, OutputThatCannotOpenTurnsHardcopyOff) {
  tk::ErrorReportModeSet(tk::kReportSilent);
  tk::HardcopyDriverSelect(O::Select, tk::kDriverBitImage);
  std::string padded = (dir / "missing" / "x.pcx").string();
  padded.resize(tk::kHardcopyNameLength, ' ');
  tk::HardcopyFileName() = padded;
  GraphAxes none;
  PLOTXY(1, 1, kPenStartPage, none);
  EXPECT_EQ(tk::Gs().hardcopyOn, 0);
  DrawKnownGraph();
  tk::WHardcopySwitch("S");
  EXPECT_FALSE(std::filesystem::exists(dir / "missing"));
}

}  // namespace
}  // namespace sup::testing
