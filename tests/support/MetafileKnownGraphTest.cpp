// The known graph written by the metafile driver: outside converters
// (libwmf's wmf2svg, emf2svg) read our placeable and plain Windows
// metafiles and our enhanced metafile, rsvg-convert renders their SVG, and
// the frame and series lie within 2 pixels of their places in each; our own
// player draws the enhanced metafile within a pixel of them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "../toolkit/graphics/GraphicsTestSupport.h"
#include "platform/draw/DrawContext.h"
#include "support/GraphDraw.h"
#include "support/PenPlot.h"
#include "tests/RenderBack.h"
#include "tests/TestSupport.h"
#include "tests/support/KnownGraph.h"
#include "toolkit/hardcopy/HardcopyDrivers.h"
#include "toolkit/hardcopy/HardcopyOptions.h"
#include "toolkit/hardcopy/HardcopySwitch.h"
#include "toolkit/hardcopy/MetafileDriver.h"
#include "toolkit/hardcopy/MetafilePlayer.h"
#include "toolkit/hardcopy/PrinterAccess.h"

namespace sup::testing {
namespace {

using O = tk::DriverOperation;
using velloran::testing::GreyImage;

bool ToolPresent(const std::string& tool) {
  return std::system(("command -v " + tool + " > /dev/null 2>&1").c_str()) == 0;
}

class KnownGraphMetafile : public tk::testing::GraphicsTest {
 protected:
  void SetUp() override {
    Open(kKnownGraphWidth, kKnownGraphHeight);
    PenPlotReset();
    PCLIPOFF();
    SetPenTextOutput({});
    tk::CurrentPrinterJob() = tk::PrinterJobSettings{};
    tk::MetafileDriverReset();
    tk::StandHardcopyDrivers();
  }
  void TearDown() override {
    tk::WHardcopySwitch("S");
    tk::MetafileDriverReset();
    GraphicsTest::TearDown();
  }
  // Draws the known graph into a metafile of option 27 = TYPE; the bytes.
  // With CORNERS, short strokes mark the page's corners as well.
  std::string Write(int type, bool corners = false) {
    tk::DriverParams().P2 = 0;
    tk::HardcopyDriverSelect(O::Select, tk::kDriverWindowsMetafile);
    tk::HardcopyOptionSet(27, type);
    std::string name = (dir / ("graph" + std::to_string(type))).string();
    tk::HardcopyFileName() = name + std::string(tk::kHardcopyNameLength - name.size(), ' ');
    GraphAxes none;
    PLOTXY(1, 1, kPenStartPage, none);
    factorX = tk::DriverParams().factorX;
    factorY = tk::DriverParams().factorY;
    DrawKnownGraph();
    if (corners) {
      PLOTXY(0, 0, kPenMove, none);
      PLOTXY(0.02f, 0.02f, kPenDraw, none);
      PLOTXY(10, 8, kPenMove, none);
      PLOTXY(9.98f, 7.98f, kPenDraw, none);
    }
    tk::WHardcopySwitch("S");
    EXPECT_EQ(tk::ErrorState().lastError, 0);
    return name;
  }
  // The picture's logical units rendered at SCALE pixels each.
  PageSetup Setup(double scale, int imageHeight) const {
    PageSetup s{.factorX = factorX * scale, .factorY = factorY * scale, .truncate = false};
    s.offsetY = imageHeight - 1 - (kKnownGraphHeight - 0.01) * factorY * scale;
    return s;
  }
  // Converts the SVG to a picture WIDTH x HEIGHT pixels and reads it back.
  void Render(const std::string& svg, int width, int height, GreyImage& image) {
    const std::string png = svg + ".png";
    ASSERT_EQ(std::system(("rsvg-convert -b white -w " + std::to_string(width) + " -h " +
                           std::to_string(height) + " -o '" + png + "' '" + svg + "' 2>/dev/null")
                              .c_str()),
              0);
    ASSERT_TRUE(velloran::testing::ReadRasterFile(png, image));
    ASSERT_EQ(image.width, width);
  }
  testing_support::TempDir dir;
  float factorX = 1, factorY = 1;
};

// libwmf fits the bounds of what is drawn into its picture: strokes at the
// page's corners make those the whole page, 7560 x 5400 logical units. The
// plain metafile is the same records behind no header.
TEST_F(KnownGraphMetafile, Wmf2svgReadsPlaceableAndPlainMetafiles) {
  if (!ToolPresent("wmf2svg") || !ToolPresent("rsvg-convert")) GTEST_SKIP() << "libwmf or rsvg absent";
  const std::string placeable = Write(1, true), plain = Write(0, true);
  const std::string withHeader = testing_support::ReadFile(placeable);
  const std::string body = testing_support::ReadFile(plain);
  ASSERT_GT(withHeader.size(), 22u);
  EXPECT_EQ(body, withHeader.substr(22));

  // Each file's SVG (into TEXT) rendered at twice its size, the picture
  // checked in it.
  const auto check = [&](const std::string& wmf, std::string& text) {
    SCOPED_TRACE(wmf);
    const std::string svg = wmf + ".svg";
    ASSERT_EQ(std::system(("wmf2svg -o '" + svg + "' '" + wmf + "' > /dev/null 2>&1").c_str()), 0);
    text = testing_support::ReadFile(svg);
    const std::size_t at = text.find("<svg width=\"");
    ASSERT_NE(at, std::string::npos);
    const int width = std::atoi(text.c_str() + at + 12);
    ASSERT_GT(width, 100);
    GreyImage image;
    Render(svg, 2 * width, 2 * width * 5400 / 7560, image);
    ExpectPicture(image, Setup(2.0 * width / 7560, image.height), 2, false);
  };
  std::string text, plainText;
  check(placeable, text);
  check(plain, plainText);
  // The plain file is read with the same lines.
  const auto lines = [](const std::string& s) {
    std::size_t n = 0;
    for (std::size_t p = s.find("<line"); p != std::string::npos; p = s.find("<line", p + 1)) ++n;
    return n;
  };
  EXPECT_GT(lines(text), 20u);
  EXPECT_EQ(lines(plainText), lines(text));
}

TEST_F(KnownGraphMetafile, Emf2svgReadsTheEnhancedMetafile) {
  if (!ToolPresent("emf2svg-conv") || !ToolPresent("rsvg-convert")) GTEST_SKIP() << "emf2svg or rsvg absent";
  const std::string name = Write(2);
  const std::string svg = name + ".svg";
  ASSERT_EQ(std::system(("emf2svg-conv -i '" + name + "' -o '" + svg + "' > /dev/null 2>&1").c_str()), 0);
  // 1008 x 720 reference pixels (10.5 x 7.5 inches at 96 an inch).
  GreyImage image;
  Render(svg, 1008, 720, image);
  ExpectPicture(image, Setup(1.0, image.height), 2, false);
}

TEST_F(KnownGraphMetafile, OurPlayerDrawsTheEnhancedMetafileInPlace) {
  const std::string name = Write(2);
  const std::string bytes = testing_support::ReadFile(name);
  ASSERT_FALSE(bytes.empty());
  plat::Surface page(1008, 720);
  plat::CanvasDrawContext ctx(page, {});
  const std::vector<std::uint8_t> data(bytes.begin(), bytes.end());
  ASSERT_TRUE(tk::PlayEnhancedMetafile(data, ctx, {0, 0, 1008, 720}));
  GreyImage image;
  image.width = page.Width();
  image.height = page.Height();
  for (plat::Pixel p : page.Pixels())
    image.grey.push_back(velloran::testing::detail::Luminance(plat::RedOf(p), plat::GreenOf(p), plat::BlueOf(p), 255));
  ExpectPicture(image, Setup(1.0, image.height), 1);
}

}  // namespace
}  // namespace sup::testing
