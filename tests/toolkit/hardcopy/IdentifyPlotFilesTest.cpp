// Identification of the plot files our HP-GL and HP-GL/2 drivers write:
// the type, plotter model or device, its pens or colours, the plot size and
// the number of pages.
#include <gtest/gtest.h>

#include <array>
#include <sstream>

#include "tests/toolkit/hardcopy/HpglTestSupport.h"
#include "toolkit/graphics/GraphicsFileType.h"

namespace tk::testing {
namespace {

using O = DriverOperation;

class IdentifyPlotFilesTest : public HpglDriverTest {
 protected:
  // Two pages of lines to "out.plt"; the file's information items.
  std::array<std::int32_t, 6> TwoPages() {
    Begin();
    DriverParams().factorX = DriverParams().factorY = 1.0f;
    Line(1, 1, 200, 100);
    Send(O::EndPage, 1);
    Line(3, 3, 40, 40);
    End();
    std::array<std::int32_t, 6> info{};
    const std::string name = (dir.path() / "out.plt").string();
    GraphicsFileType(name, static_cast<int>(name.size()), info, 6);
    return info;
  }
};

TEST_F(IdentifyPlotFilesTest, PlotterModelsPensAndPages) {
  constexpr std::array<int, 10> kPens = {4, 6, 6, 4, 6, 8, 8, 8, 6, 6};
  for (int model = 1; model <= 10; ++model) {
    SCOPED_TRACE(model);
    SelectPlotter(model);
    const auto info = TwoPages();
    EXPECT_EQ(info[0], kGfHpgl);
    EXPECT_EQ(info[4], model);
    EXPECT_EQ(info[3], kPens[static_cast<std::size_t>(model - 1)]);
    EXPECT_GT(info[1], 0);
    EXPECT_GT(info[2], 0);
    EXPECT_EQ(info[5], 2);
    // The size in points from the IP record and the model's units per inch.
    const std::size_t ip = bytes.find("IP ");
    ASSERT_NE(ip, std::string::npos);
    std::istringstream in(bytes.substr(ip + 3));
    long x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    in >> x1 >> y1 >> x2 >> y2;
    const long upi = (model == 2 || model == 3) ? 1021 : 1016;
    EXPECT_EQ(info[1], (x2 - x1 + 1) * 72 / upi);
    EXPECT_EQ(info[2], (y2 - y1 + 1) * 72 / upi);
  }
}

TEST_F(IdentifyPlotFilesTest, Hpgl2DevicesAndPages) {
  constexpr std::array<int, 5> kColours = {2, 256, 2, 256, 256};
  for (int device : {1, 2, 3, 4, 5}) {
    SCOPED_TRACE(device);
    SelectPrinter(device);
    const auto info = TwoPages();
    if (device == 4) {
      // Plain HP-GL/2 without PCL framing or "SC -13" reads as HP-GL of no
      // known model, so without size; its pages are still counted.
      EXPECT_EQ(info, (std::array<std::int32_t, 6>{kGfHpgl, -1, -1, -1, -1, 2}));
      continue;
    }
    EXPECT_EQ(info[0], kGfHpgl2);
    EXPECT_EQ(info[4], device);
    EXPECT_EQ(info[3], kColours[static_cast<std::size_t>(device - 1)]);
    EXPECT_GT(info[1], 0);
    EXPECT_EQ(info[5], 2);
  }
}

}  // namespace
}  // namespace tk::testing
