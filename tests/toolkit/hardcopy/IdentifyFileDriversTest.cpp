// Identification of the files our PostScript/EPS, SVG and DXF drivers write:
// the EPS box, the SVG size and the DXF extents.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "tests/toolkit/hardcopy/FileDriverTestSupport.h"
#include "toolkit/graphics/GraphicsFileType.h"
#include "toolkit/hardcopy/DxfDriver.h"
#include "toolkit/hardcopy/HardcopyOptions.h"
#include "toolkit/hardcopy/PostScriptDriver.h"
#include "toolkit/hardcopy/SvgDriver.h"

namespace tk::testing {
namespace {

using Info = std::array<std::int32_t, 6>;

class IdentifyFileDriversTest : public FileDriverTest {
 protected:
  // Draws a line into NAME and identifies the file written.
  Info Written(const std::string& name) {
    Begin(name);
    Line(10, 10, 100, 80);
    DriverParams().P1 = 0;
    Send(DriverOperation::EndPage);
    EndBytes();
    Info info{};
    GraphicsFileType(path, static_cast<int>(path.size()), info, 6);
    return info;
  }
  PostScriptDriver ps;
  SvgDriver svg;
  DxfDriver dxf;
};

TEST_F(IdentifyFileDriversTest, EpsBoxAndPlainPostScript) {
  StandAndSelect(ps, kDriverPostScript, 500, 400);
  HardcopyOptionStore(22, 1);  // EPS
  Info info = Written("plot.eps");
  EXPECT_EQ(info[0], kGfPostScript);
  EXPECT_EQ(info[3], 1);
  // Landscape by default: the box is option 2 wide and option 1 high.
  EXPECT_EQ(std::make_pair(info[1], info[2]),
            (HardcopyOption(5) == 0 ? std::make_pair(HardcopyOption(1), HardcopyOption(2))
                                    : std::make_pair(HardcopyOption(2), HardcopyOption(1))));
  HardcopyOptionStore(22, 0);
  info = Written("plot.ps");
  EXPECT_EQ(info, (Info{kGfPostScript, -1, -1, 0, -1, -1}));
}

TEST_F(IdentifyFileDriversTest, SvgSize) {
  StandAndSelect(svg, kDriverSvg, 641, 481);
  const Info info = Written("plot.svg");
  EXPECT_EQ(info[0], kGfSvg);
  EXPECT_EQ(info[1], HardcopyOption(1));
  EXPECT_EQ(info[2], HardcopyOption(2));
}

TEST_F(IdentifyFileDriversTest, DxfExtents) {
  StandAndSelect(dxf, kDriverDxf, 500, 400);
  const Info info = Written("plot.dxf");
  EXPECT_EQ(info[0], kGfDxf);
  EXPECT_GT(info[1], 0);
  EXPECT_GT(info[2], 0);
  const auto r = Records(::testing_support::ReadFile(path));
  ASSERT_GE(r.size(), 16u);
  EXPECT_EQ(info[1], static_cast<std::int32_t>(std::stod(r[13]) * 72.0));
  EXPECT_EQ(info[2], static_cast<std::int32_t>(std::stod(r[15]) * 72.0));
}

}  // namespace
}  // namespace tk::testing
