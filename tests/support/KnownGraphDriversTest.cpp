// The known graph written by the PostScript, EPS, SVG and DXF drivers in
// portrait and landscape, read back by independent tools: ghostscript
// renders the PostScript, xmllint and rsvg-convert the SVG, ezdxf the DXF;
// the rasters and the DXF lines hold the picture where the page set-up puts
// it. Texts no file may choke on follow.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "../toolkit/graphics/GraphicsTestSupport.h"
#include "support/GraphDraw.h"
#include "support/PenPlot.h"
#include "tests/RenderBack.h"
#include "tests/TestSupport.h"
#include "tests/support/KnownGraph.h"
#include "toolkit/graphics/Text.h"
#include "toolkit/hardcopy/HardcopyDrivers.h"
#include "toolkit/hardcopy/HardcopyOptions.h"
#include "toolkit/hardcopy/HardcopySwitch.h"

namespace sup::testing {
namespace {

using velloran::testing::GreyImage;
using O = tk::DriverOperation;

bool ToolPresent(const std::string& tool) {
  return std::system(("command -v " + tool + " > /dev/null 2>&1").c_str()) == 0;
}

bool EzdxfPresent() {
  return std::system("/usr/bin/python3 -c 'import ezdxf' > /dev/null 2>&1") == 0;
}

int RunTool(const std::string& command) {
  return std::system((command + " > /dev/null 2>&1").c_str());
}

std::string Output(const std::string& command) {
  std::string out;
  if (FILE* p = popen((command + " 2>&1").c_str(), "r")) {
    char buffer[4096];
    std::size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, p)) > 0) out.append(buffer, n);
    pclose(p);
  }
  return out;
}

std::string Gs(const std::string& device, const std::string& more, const std::string& file) {
  return "gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=" + device + " " + more + " " + file;
}

struct DriverCase {
  const char* name;
  int driver;
  bool eps;
  bool landscape;
  const char* extension;
};

void PrintTo(const DriverCase& c, std::ostream* os) {
  *os << c.name << (c.landscape ? " landscape" : " portrait");
}

std::string CaseName(const ::testing::TestParamInfo<DriverCase>& info) {
  return std::string(info.param.name) + (info.param.landscape ? "Landscape" : "Portrait");
}

class KnownGraphDrivers : public tk::testing::GraphicsTest,
                          public ::testing::WithParamInterface<DriverCase> {
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
  // Selects the case's driver and starts a page to FILE as the pen plotter does.
  void StartPage(const DriverCase& c) {
    tk::HardcopyDriverSelect(O::Select, c.driver);
    if (c.eps) tk::HardcopyOptionSet(22, 1);
    tk::HardcopyOptionSet(5, c.landscape ? 1 : 0);
    file = (dir / (std::string("graph") + c.extension)).string();
    std::string name = file;
    name.resize(tk::kHardcopyNameLength, ' ');
    tk::HardcopyFileName() = name;
    GraphAxes none;
    PLOTXY(1, 1, kPenStartPage, none);  // the page and the pen colours
    ASSERT_GT(tk::Gs().hardcopyOn, 0);
  }
  void Write(const DriverCase& c) {
    StartPage(c);
    DrawKnownGraph();
    tk::WHardcopySwitch("S");
  }
  ::testing_support::TempDir dir;
  std::string file;
};

// Where the PostScript driver puts a device point: the factors, then the
// page's turn and the translation of its header.
PageSetup PostScriptSetup(const DriverCase& c) {
  PageSetup s{.factorX = 756.0 / kKnownGraphWidth, .factorY = 540.0 / kKnownGraphHeight, .truncate = false};
  s.landscape = c.landscape;
  if (c.eps) {
    s.offsetX = c.landscape ? 540 : 0;
  } else if (c.landscape) {
    s.offsetX = 560, s.offsetY = 42;
  } else {
    s.offsetX = 42, s.offsetY = -20;
  }
  return s;
}

TEST_P(KnownGraphDrivers, ToolsReadThePicture) {
  const DriverCase c = GetParam();
  Write(c);
  ASSERT_FALSE(::testing_support::ReadFile(file).empty());
  if (c.driver == tk::kDriverPostScript) {
    if (!ToolPresent("gs")) GTEST_SKIP() << "ghostscript not installed";
    EXPECT_EQ(RunTool(Gs("nullpage", "", file)), 0);
    const std::string pgm = (dir / "page.pgm").string();
    ASSERT_EQ(RunTool(Gs("pgmraw", "-r72 -g900x900 -sOutputFile=" + pgm, file)), 0);
    GreyImage image;
    ASSERT_TRUE(velloran::testing::ReadRasterFile(pgm, image));
    ExpectPicture(image, PostScriptSetup(c), 2);
    if (c.eps) {
      // The drawn box lies inside the declared one, allowing half the line width.
      const std::string bbox = Output(Gs("bbox", "", file));
      const auto at = bbox.find("%%HiResBoundingBox:");
      ASSERT_NE(at, std::string::npos) << bbox;
      std::istringstream in(bbox.substr(at + 19));
      double x0, y0, x1, y1;
      ASSERT_TRUE(in >> x0 >> y0 >> x1 >> y1);
      const double w = c.landscape ? 540 : 756, h = c.landscape ? 756 : 540, half = 0.25;
      EXPECT_GE(x0, -half);
      EXPECT_GE(y0, -half);
      EXPECT_LE(x1, w + half);
      EXPECT_LE(y1, h + half);
    }
  } else if (c.driver == tk::kDriverSvg) {
    if (!ToolPresent("xmllint")) GTEST_SKIP() << "xmllint not installed";
    EXPECT_EQ(RunTool("xmllint --noout " + file), 0);
    if (!ToolPresent("rsvg-convert")) GTEST_SKIP() << "rsvg-convert not installed";
    const std::string png = (dir / "page.png").string();
    ASSERT_EQ(RunTool("rsvg-convert -b white -o " + png + " " + file), 0);
    GreyImage image;
    if (!velloran::testing::ReadRasterFile(png, image)) GTEST_SKIP() << "ImageMagick not installed";
    const PageSetup s{.factorX = 640.0 / (kKnownGraphWidth - 0.01),
                      .factorY = 480.0 / (kKnownGraphHeight - 0.01),
                      .truncate = false,
                      .offsetY = -1};
    ExpectPicture(image, s, 2);
  } else {
    if (!EzdxfPresent()) GTEST_SKIP() << "ezdxf not installed";
    // ezdxf reads the file and its audit finds no error; then the lines.
    const std::string lines = Output(
        "/usr/bin/python3 -c 'import sys, ezdxf\n"
        "d = ezdxf.readfile(sys.argv[1])\n"
        "a = d.audit()\n"
        "print(\"errors\", len(a.errors))\n"
        "for e in d.modelspace().query(\"LINE\"):\n"
        "    print(e.dxf.start.x, e.dxf.start.y, e.dxf.end.x, e.dxf.end.y)' " + file);
    std::istringstream in(lines);
    std::string word;
    int errors = -1;
    ASSERT_TRUE(in >> word >> errors) << lines;
    EXPECT_EQ(word, "errors");
    EXPECT_EQ(errors, 0);
    std::vector<std::array<double, 4>> found;
    std::array<double, 4> l;
    while (in >> l[0] >> l[1] >> l[2] >> l[3]) found.push_back(l);
    ASSERT_FALSE(found.empty()) << lines;
    const double fx = 756.0 / (kKnownGraphWidth * 72.0), fy = 540.0 / (kKnownGraphHeight * 72.0);
    auto near = [](double a, double b) { return std::abs(a - b) <= 0.01; };
    auto expectLine = [&](const DeviceSegment& s) {
      const double ax = fx * s.a.x, ay = fy * s.a.y, bx = fx * s.b.x, by = fy * s.b.y;
      bool hit = false;
      for (const auto& f : found)
        hit = hit || (near(f[0], ax) && near(f[1], ay) && near(f[2], bx) && near(f[3], by)) ||
              (near(f[0], bx) && near(f[1], by) && near(f[2], ax) && near(f[3], ay));
      EXPECT_TRUE(hit) << s.what << " " << ax << "," << ay << " " << bx << "," << by;
    };
    const KnownGraph& g = KnownGraphGeometry();
    for (const DeviceSegment& s : g.frame) expectLine(s);
    expectLine(g.series);
  }
}

INSTANTIATE_TEST_SUITE_P(
    AllDrivers, KnownGraphDrivers,
    ::testing::Values(DriverCase{"PostScript", tk::kDriverPostScript, false, false, ".ps"},
                      DriverCase{"PostScript", tk::kDriverPostScript, false, true, ".ps"},
                      DriverCase{"Eps", tk::kDriverPostScript, true, false, ".eps"},
                      DriverCase{"Eps", tk::kDriverPostScript, true, true, ".eps"},
                      DriverCase{"Svg", tk::kDriverSvg, false, false, ".svg"},
                      DriverCase{"Svg", tk::kDriverSvg, false, true, ".svg"},
                      DriverCase{"Dxf", tk::kDriverDxf, false, false, ".dxf"},
                      DriverCase{"Dxf", tk::kDriverDxf, false, true, ".dxf"}),
    CaseName);

// Labels of 260 escaping characters and texts of every control and upper
// code, written as device text: the files still read.
class HostileTexts : public KnownGraphDrivers {};

TEST_P(HostileTexts, KeepTheFileReadable) {
  const DriverCase c = GetParam();
  StartPage(c);
  std::string controls, upper;
  for (int i = 1; i < 32; ++i) controls.push_back(static_cast<char>(i));
  for (int i = 128; i < 256; ++i) upper.push_back(static_cast<char>(i));
  float y = 0.5f;
  for (const std::string& t : {std::string(260, '('), std::string(260, ')'), std::string(260, '\\'),
                               std::string(130, '\\') + std::string(130, '('), controls, upper}) {
    tk::WGrTextDraw(0.5f, y, t);
    y += 0.9f;
  }
  tk::WHardcopySwitch("S");
  if (c.driver == tk::kDriverPostScript) {
    if (!ToolPresent("gs")) GTEST_SKIP() << "ghostscript not installed";
    EXPECT_EQ(RunTool(Gs("nullpage", "", file)), 0);
  } else {
    if (!ToolPresent("xmllint")) GTEST_SKIP() << "xmllint not installed";
    EXPECT_EQ(RunTool("xmllint --noout " + file), 0);
    if (!ToolPresent("rsvg-convert")) GTEST_SKIP() << "rsvg-convert not installed";
    EXPECT_EQ(RunTool("rsvg-convert -o " + (dir / "page.png").string() + " " + file), 0);
  }
}

INSTANTIATE_TEST_SUITE_P(DeviceTextDrivers, HostileTexts,
                         ::testing::Values(DriverCase{"PostScript", tk::kDriverPostScript, false, false, ".ps"},
                                           DriverCase{"Eps", tk::kDriverPostScript, true, true, ".eps"},
                                           DriverCase{"Svg", tk::kDriverSvg, false, false, ".svg"}),
                         CaseName);

}  // namespace
}  // namespace sup::testing
