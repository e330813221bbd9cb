// The known graph on the screen (read back as an image file) and on a
// hardcopy page started by the pen plotter's page start; the page start's
// font.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "../toolkit/graphics/GraphicsTestSupport.h"
#include "platform/draw/Png.h"
#include "support/GraphDraw.h"
#include "support/PenPlot.h"
#include "tests/RenderBack.h"
#include "tests/TestSupport.h"
#include "tests/support/KnownGraph.h"
#include "toolkit/graphics/Text.h"
#include "toolkit/hardcopy/HardcopyOptions.h"
#include "toolkit/hardcopy/HardcopySwitch.h"

namespace sup::testing {
namespace {

using tk::DriverOperation;
using tk::DriverParams;
using velloran::testing::GreyImage;
using O = tk::DriverOperation;

class KnownGraphTest : public tk::testing::GraphicsTest {
 protected:
  void SetUp() override {
    Open(kKnownGraphWidth, kKnownGraphHeight);
    PenPlotReset();
    PCLIPOFF();
    SetPenTextOutput({});
  }
  void TearDown() override {
    tk::WHardcopySwitch("S");
    tk::StandHardcopyDriver(kDriver, nullptr);
    tk::HardcopyDriverSelect(O::Select, tk::kDefaultHardcopyDriver);
    GraphicsTest::TearDown();
  }
  static constexpr int kDriver = 3;
};

TEST_F(KnownGraphTest, ScreenPictureReadsBackFromImageFiles) {
  GraphAxes none;
  PLOTXY(1, 0, kPenStartPage, none);
  DrawKnownGraph();
  const KnownGraph& g = KnownGraphGeometry();
  // The filled box is solid on the surface itself.
  const int midX = static_cast<int>((g.filledBox.lowerLeft.x + g.filledBox.upperRight.x) / 2);
  const int midY = static_cast<int>((g.filledBox.lowerLeft.y + g.filledBox.upperRight.y) / 2);
  EXPECT_EQ(At(midX, midY), tk::testing::kBlackPixel);

  // As a PGM written from the surface.
  ::testing_support::TempDir dir;
  GreyImage image;
  image.width = surface.Width();
  image.height = surface.Height();
  for (plat::Pixel p : surface.Pixels()) {
    const double y = 0.299 * ((p >> 16) & 255) + 0.587 * ((p >> 8) & 255) + 0.114 * (p & 255);
    image.grey.push_back(static_cast<std::uint8_t>(std::lround(y)));
  }
  const std::string pgm = (dir / "screen.pgm").string();
  ASSERT_TRUE(velloran::testing::WritePgm(pgm, image));
  GreyImage back;
  ASSERT_TRUE(velloran::testing::ReadRasterFile(pgm, back));
  ExpectPicture(back, PageSetup{}, 1);

  // As a PNG, through ImageMagick.
  if (!velloran::testing::ImageMagickAvailable()) GTEST_SKIP() << "ImageMagick not installed";
  const std::string png = (dir / "screen.png").string();
  ASSERT_TRUE(plat::SavePng(surface, png));
  GreyImage fromPng;
  ASSERT_TRUE(velloran::testing::ReadRasterFile(png, fromPng));
  ExpectPicture(fromPng, PageSetup{}, 1);
}

// A driver that paints its lines and polylines at FactorX, FactorY into a
// page raster, and keeps the corners of the trapezium fills it is sent.
class PageDriver : public tk::HardcopyDriver {
 public:
  PageDriver(int number, double factor) : number_(number), factor_(factor) {}
  GreyImage page;
  std::vector<std::array<float, 8>> trapezia;
  std::vector<O> ops;

  void Select() override {
    tk::DriverParameters& dp = DriverParams();
    if (dp.P1 == -999) {
      dp.P1 = number_;
      return;
    }
    tk::HardcopyOptionsReset();
    dp.driverNumber = number_;
  }
  void Output(O op) override {
    ops.push_back(op);
    if (op != O::BeginPicture) return;
    tk::DriverParameters& dp = DriverParams();
    dp.factorX = dp.factorY = static_cast<float>(factor_);
    page.width = static_cast<int>(kKnownGraphWidth * factor_);
    page.height = static_cast<int>(kKnownGraphHeight * factor_);
    page.grey.assign(static_cast<std::size_t>(page.width * page.height), 255);
  }
  void Draw(O op) override {
    ops.push_back(op);
    const tk::DriverParameters& dp = DriverParams();
    if (op == O::Line) Paint(dp.X[0], dp.Y[0], dp.X[1], dp.Y[1]);
    if (op == O::Polyline)
      for (int i = 1; i < dp.P1; ++i)
        Paint(dp.pointX[i - 1], dp.pointY[i - 1], dp.pointX[i], dp.pointY[i]);
    if (op == O::TrapeziumHalftone && dp.P2 != -1)
      trapezia.push_back({dp.X[0], dp.Y[0], dp.X[1], dp.Y[1], dp.X[2], dp.Y[2], dp.X[3], dp.Y[3]});
  }
  void Attribute(O op) override { ops.push_back(op); }
  void Text(O op) override { ops.push_back(op); }

 private:
  void Paint(double x0, double y0, double x1, double y1) {
    if (page.width == 0) return;
    const double ax = std::trunc(factor_ * x0), ay = std::trunc(factor_ * y0);
    const double bx = std::trunc(factor_ * x1), by = std::trunc(factor_ * y1);
    const int steps = std::max(1, static_cast<int>(std::ceil(std::hypot(bx - ax, by - ay))));
    for (int i = 0; i <= steps; ++i) {
      const int x = static_cast<int>(std::lround(ax + (bx - ax) * i / steps));
      const int y = page.height - 1 - static_cast<int>(std::lround(ay + (by - ay) * i / steps));
      if (page.Inside(x, y)) page.grey[static_cast<std::size_t>(y * page.width + x)] = 0;
    }
  }
  int number_;
  double factor_;
};

TEST_F(KnownGraphTest, HardcopyPageHoldsThePictureAtTheDriversFactors) {
  PageDriver driver(kDriver, 1.5);
  tk::StandHardcopyDriver(kDriver, &driver);
  tk::HardcopyDriverSelect(O::Select, kDriver);
  GraphAxes none;
  PLOTXY(0, 1, kPenStartPage, none);  // resets with "HP" and starts output
  ASSERT_GT(tk::Gs().hardcopyOn, 0);
  EXPECT_EQ(tk::Gs().screenOn, 0);
  EXPECT_EQ(DriverParams().P1, 1) << "the default name";
  DrawKnownGraph();
  tk::WHardcopySwitch("S");
  EXPECT_EQ(driver.ops.back(), O::EndOutput);

  const PageSetup setup{.factorX = 1.5, .factorY = 1.5};
  ExpectPicture(driver.page, setup, 2, false);  // text arrives as fills, not lines
  // The box reaches the driver as one trapezium fill of its corners.
  ASSERT_EQ(driver.trapezia.size(), 1u);
  const DeviceBox box = PageOf(setup, KnownGraphGeometry().filledBox);
  const auto& t = driver.trapezia[0];
  const float minX = std::min({t[0], t[2], t[4], t[6]}), maxX = std::max({t[0], t[2], t[4], t[6]});
  const float minY = std::min({t[1], t[3], t[5], t[7]}), maxY = std::max({t[1], t[3], t[5], t[7]});
  EXPECT_NEAR(std::trunc(1.5 * minX), box.lowerLeft.x, 1.0);
  EXPECT_NEAR(std::trunc(1.5 * maxX), box.upperRight.x, 1.0);
  EXPECT_NEAR(std::trunc(1.5 * minY), box.lowerLeft.y, 1.0);
  EXPECT_NEAR(std::trunc(1.5 * maxY), box.upperRight.y, 1.0);
  // Nothing reached the screen.
  EXPECT_EQ(CountSet(), 0);
}

TEST(KnownGraphPageOf, SetUpsMoveTurnAndFlip) {
  struct Case {
    const char* name;
    PageSetup setup;
    DevicePoint in, out;
  };
  const Case cases[] = {
      {"factors truncate", {.factorX = 2.5, .factorY = 0.5}, {10.3, 7.9}, {25, 3}},
      {"unrounded", {.factorX = 2.5, .factorY = 0.5, .truncate = false}, {10.2, 7.0}, {25.5, 3.5}},
      {"offsets", {.offsetX = 42, .offsetY = -20}, {1, 2}, {43, -18}},
      {"landscape", {.landscape = true, .offsetX = 400}, {10, 30}, {370, 10}},
      {"y down", {.yDown = true, .pageHeight = 100}, {5, 30}, {5, 70}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const DevicePoint p = PageOf(c.setup, c.in);
    EXPECT_DOUBLE_EQ(p.x, c.out.x);
    EXPECT_DOUBLE_EQ(p.y, c.out.y);
  }
}

TEST_F(KnownGraphTest, PageStartFontIsArialItalicAtThePageSize) {
  tk::WGrTextFont(1, 5, 0.05f, 0.05f);  // something else first
  GraphAxes none;
  PLOTXY(1, 0, kPenStartPage, none);
  const tk::TextAttributes& t = tk::Gs().text;
  EXPECT_EQ(t.strokeFamily, 0);
  EXPECT_EQ(t.deviceFace, 2);
  EXPECT_EQ(t.styleBits, kPageFontStyle);
  EXPECT_EQ(t.styleBits & 1, 0) << "not bold";
  EXPECT_FLOAT_EQ(t.charWidth, 0.012f);
  EXPECT_FLOAT_EQ(t.charHeight, 0.032f);
  // Text sizes of the pen plotter keep the style.
  SYMBOL(1, 1, 0.2f, "A", 0, 1);
  EXPECT_EQ(tk::Gs().text.styleBits, kPageFontStyle);
}

}  // namespace
}  // namespace sup::testing
