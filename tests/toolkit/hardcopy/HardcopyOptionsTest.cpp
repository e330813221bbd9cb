// The acceptance rules of HardcopyOptionSet.
#include <gtest/gtest.h>

#include <string>

#include "toolkit/graphics/Drivers.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/hardcopy/HardcopyOptions.h"

namespace tk::testing {
namespace {

std::string Padded(std::string s) {
  s.resize(kHardcopyNameLength, ' ');
  return s;
}

class HardcopyOptionsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved = DriverParams().driverNumber;
    savedLimits = CurrentRasterModelLimits();
    CurrentRasterModelLimits() = {};  // whatever model an earlier test chose
    Gs().hardcopyOn = 0;
  }
  void TearDown() override {
    DriverParams().driverNumber = saved;
    CurrentRasterModelLimits() = savedLimits;
  }
  int saved = 0;
  RasterModelLimits savedLimits;
};

TEST_F(HardcopyOptionsTest, AcceptanceTable) {
  struct Case {
    int driver, code, before, value, after;
  };
  const Case cases[] = {
      {2, 1, 100, 0, 100},  {2, 1, 100, 7, 7},    {2, 6, 1, 3, 1},      {2, 6, 1, 2, 2},
      {2, 8, 4, -2, 1},     {2, 9, 5, 0, 1},      {2, 10, 1, 3, 1},     {2, 11, 0, 2, 2},
      {2, 12, 0, 80, 100},  {2, 12, 0, 180, 180}, {2, 14, 0, 5, 0},     {2, 16, 255, 9, 255},
      {2, 16, 255, 10, 10}, {2, 21, 4, 128, 4},   {2, 21, 4, 127, 127}, {8, 23, 8, 24, 8},
      {8, 23, 8, 3, 3},     {6, 23, 8, 24, 24},   {6, 23, 8, 3, 8},     {2, 23, 8, 4, 8},
      {2, 101, 80, 0, 80},  {2, 105, 1, 5, 1},    {2, 105, 1, 4, 4},    {2, 106, 0, -3, -3},
      {2, 3, 0, -40, -40},  {2, 13, 1, 2, 1},     {2, 30, 0, 1, 0},     {2, 100, 0, 1, 0},
  };
  for (const Case& c : cases) {
    DriverParams().driverNumber = c.driver;
    HardcopyOptionStore(c.code, c.before);
    HardcopyOptionSet(c.code, c.value);
    EXPECT_EQ(HardcopyOption(c.code), c.after) << "option " << c.code << " = " << c.value;
  }
}

TEST_F(HardcopyOptionsTest, OrientationForcesTheShape) {
  struct Case {
    int value, orientation, width, height;
  };
  for (const Case& c :
       {Case{3, 1, 756, 540}, Case{2, 0, 540, 756}, Case{1, 1, 540, 756}, Case{4, 9, 540, 756}}) {
    HardcopyOptionStore(1, 540);
    HardcopyOptionStore(2, 756);
    HardcopyOptionStore(5, 9);
    HardcopyOptionSet(5, c.value);
    EXPECT_EQ(HardcopyOption(5), c.orientation) << c.value;
    EXPECT_EQ(HardcopyOption(1), c.width) << c.value;
    EXPECT_EQ(HardcopyOption(2), c.height) << c.value;
  }
}

TEST_F(HardcopyOptionsTest, ExtensionFollowsFormat) {
  struct Case {
    int driver, code, value;
    std::string before, after;
  };
  const Case cases[] = {
      {2, 22, 1, "out.ps", "out.eps"},
      {2, 22, 0, "out.eps", "out.ps"},
      {2, 22, 1, "dir.d/out", "dir.d/out.eps"},
      {2, 22, 1, "dir.d\\out", "dir.d\\out.eps"},
      {6, 26, 3, "pic.bmp", "pic.png"},
      {6, 26, 2, "pic.png", "pic.bmp"},
      {6, 26, 7, "pic", "pic.pcx"},
      {3, 22, 1, "pic.svg", "pic.svg"},  // not the PostScript driver
      {2, 22, 1, "", ""},                // blank name stays blank
  };
  for (const Case& c : cases) {
    DriverParams().driverNumber = c.driver;
    HardcopyFileName() = Padded(c.before);
    HardcopyOptionSet(c.code, c.value);
    EXPECT_EQ(HardcopyFileName(), Padded(c.after)) << c.before;
    EXPECT_EQ(HardcopyOption(c.code), c.value);
  }
}

TEST_F(HardcopyOptionsTest, ResetSetsOnlyTheSelectTimeOptions) {
  HardcopyOptionStore(1, 77);
  HardcopyOptionStore(9, 40);
  HardcopyOptionStore(104, 3);
  HardcopyOptionsReset();
  EXPECT_EQ(HardcopyOption(1), 77);
  EXPECT_EQ(HardcopyOption(9), 5);
  EXPECT_EQ(HardcopyOption(104), 999999);
  EXPECT_EQ(HardcopyOption(108), 8);
}

}  // namespace
}  // namespace tk::testing
