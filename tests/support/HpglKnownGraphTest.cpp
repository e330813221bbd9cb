// The known graph through the HP-GL plotter and HP-GL/2 printer drivers,
// read by an independent program (hp2xx): every file parses, nothing but
// the HP-GL/2 instructions hp2xx does not implement is ignored, and the
// rendering puts the picture where the page set-up says.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "../toolkit/graphics/GraphicsTestSupport.h"
#include "support/GraphDraw.h"
#include "support/PenPlot.h"
#include "tests/RenderBack.h"
#include "tests/TestSupport.h"
#include "tests/support/KnownGraph.h"
#include "tests/toolkit/hardcopy/Hpgl2Decoder.h"
#include "tests/toolkit/hardcopy/HpglTestSupport.h"
#include "toolkit/graphics/Colours.h"
#include "toolkit/graphics/Graphics.h"
#include "toolkit/hardcopy/HpglRecords.h"

namespace sup::testing {
namespace {

using O = tk::DriverOperation;
using velloran::testing::GreyImage;

bool Hp2xxAvailable() {
  return std::system("command -v hp2xx >/dev/null 2>&1") == 0;
}

constexpr int kDpi = 75;
constexpr double kDotsPerUnit = kDpi / 1016.0;  // hp2xx's true size: 40 units per mm

struct Hp2xxRun {
  int status = -1;
  std::string messages;
  GreyImage image;
  double xMin = 0, yMin = 0;  // the coordinate range's lower corner, plotter units
};

// Renders PLOT with hp2xx at true size into an image of kind MODE ("pbm" or
// "png"), with the extra hp2xx OPTIONS.
Hp2xxRun RunHp2xx(const std::filesystem::path& plot, const std::string& mode,
                  const std::string& options = {}) {
  const std::filesystem::path out = plot.string() + "." + mode, log = plot.string() + ".log";
  const std::string command = "hp2xx -m " + mode + " -t -d " + std::to_string(kDpi) + " " +
                              options + " -f '" + out.string() + "' '" + plot.string() + "' >'" +
                              log.string() + "' 2>&1 </dev/null";
  Hp2xxRun run;
  const int raw = std::system(command.c_str());
  run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  run.messages = ::testing_support::ReadFile(log);
  static const std::regex kRange(R"(Coordinate range: \(([-0-9.e+]+), ([-0-9.e+]+)\))");
  std::smatch m;
  if (std::regex_search(run.messages, m, kRange)) {
    run.xMin = std::stod(m[1].str());
    run.yMin = std::stod(m[2].str());
  }
  EXPECT_TRUE(velloran::testing::ReadRasterFile(out.string(), run.image)) << run.messages;
  return run;
}

// The instructions hp2xx reports it ignored ("  TR: ignored").
std::set<std::string> Ignored(const std::string& messages) {
  std::set<std::string> out;
  static const std::regex kIgnored(R"(([A-Z][A-Z]): ignored)");
  for (std::sregex_iterator i(messages.begin(), messages.end(), kIgnored), end; i != end; ++i)
    out.insert((*i)[1].str());
  return out;
}

// The records of BYTES without those for which DROP is true (a lead-in
// blank is not part of what DROP sees).
std::string Without(const std::string& bytes, const std::function<bool(const std::string&)>& drop) {
  std::string out;
  for (const std::string& r : tk::testing::Records(bytes)) {
    const std::string body = !r.empty() && r[0] == ' ' ? r.substr(1) : r;
    if (!drop(body)) out += r + "\r\n";
  }
  return out;
}

// The scaling points of the "IN; IP" record.
std::array<double, 4> ScalingPoints(const std::string& bytes) {
  std::array<double, 4> p{};
  static const std::regex kIp(R"(IN; IP (-?\d+) (-?\d+) (-?\d+) (-?\d+))");
  std::smatch m;
  if (std::regex_search(bytes, m, kIp))
    for (int i = 0; i < 4; ++i) p[static_cast<std::size_t>(i)] = std::stod(m[i + 1].str());
  return p;
}

// Where hp2xx puts a core device point: the drawable spans the user range
// 0..32760 between the scaling points, "RO90" turns the plotter's axes a
// quarter turn counter-clockwise, and the picture starts one dot in from
// the lower corner of the coordinate range.
PageSetup Hp2xxPage(const std::string& bytes, const Hp2xxRun& run) {
  const std::array<double, 4> ip = ScalingPoints(bytes);
  const bool turned = bytes.find("RO90; IP") != std::string::npos;
  PageSetup s;
  s.truncate = false;
  s.factorX = 32760.0 / kKnownGraphWidth * (ip[2] - ip[0]) / 32760.0 * kDotsPerUnit;
  s.factorY = 32760.0 / kKnownGraphHeight * (ip[3] - ip[1]) / 32760.0 * kDotsPerUnit;
  s.landscape = turned;
  if (turned) {
    s.offsetX = 1 + (-ip[1] - run.xMin) * kDotsPerUnit;
    s.offsetY = 1 + (ip[0] - run.yMin) * kDotsPerUnit;
  } else {
    s.offsetX = 1 + (ip[0] - run.xMin) * kDotsPerUnit;
    s.offsetY = 1 + (ip[1] - run.yMin) * kDotsPerUnit;
  }
  return s;
}

// The HP-GL/2 printer driver, keeping the plotter points of every polyline
// it is sent.
class RecordingHpgl2 : public tk::XXHPGL2 {
 public:
  std::vector<std::vector<tk::testing::PlotterPoint>> polylines;
  void Draw(O op) override {
    const tk::DriverParameters& dp = tk::DriverParams();
    if (op == O::Polyline && dp.P1 > 1) {
      std::vector<tk::testing::PlotterPoint> line;
      for (int i = 0; i < dp.P1; ++i)
        line.push_back({tk::PlotterUnitX(dp.pointX[i]), tk::PlotterUnitY(dp.pointY[i])});
      polylines.push_back(line);
    }
    tk::XXHPGL2::Draw(op);
  }
};

class HpglKnownGraphTest : public tk::testing::GraphicsTest {
 protected:
  void SetUp() override {
    Open(kKnownGraphWidth, kKnownGraphHeight);
    PenPlotReset();
    PCLIPOFF();
    SetPenTextOutput({});
    tk::StandHardcopyDriver(tk::kDriverHpgl, &plotter);
    tk::StandHardcopyDriver(tk::kDriverHpgl2, &printer);
    cwd = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
  }
  void TearDown() override {
    tk::WHardcopySwitch("S");
    std::filesystem::current_path(cwd);
    tk::CurrentDeviceModels() = tk::DeviceModelState{};
    tk::HardcopyDriverSelect(O::Select, tk::kDefaultHardcopyDriver);
    GraphicsTest::TearDown();
  }
  /// Draws the known graph (and EXTRA) on a page of the selected driver
  /// with OPTIONS and returns the file's bytes.
  std::string Plot(std::initializer_list<std::pair<int, int>> options,
                   const std::function<void()>& extra = {}) {
    for (auto [code, value] : options) tk::HardcopyOptionStore(code, value);
    GraphAxes none;
    // With the pen colours loaded: pen colour 0 black, 11 red.
    PLOTXY(1, 1, kPenStartPage, none);
    EXPECT_GT(tk::Gs().hardcopyOn, 0);
    DrawKnownGraph();
    if (extra) extra();
    tk::WHardcopySwitch("S");
    return ::testing_support::ReadFile(dir.path() / "parvplot.plt");
  }
  std::filesystem::path Save(const std::string& name, const std::string& bytes) {
    const std::filesystem::path p = dir.path() / name;
    std::ofstream(p, std::ios::binary) << bytes;
    return p;
  }

  tk::XXHPGL plotter;
  RecordingHpgl2 printer;
  ::testing_support::TempDir dir;
  std::filesystem::path cwd;
};

// Plotter models of the classes "UEFH".
constexpr std::array<int, 4> kClassModels{1, 4, 5, 2};

TEST_F(HpglKnownGraphTest, PlotterFilesParseAndPlaceThePicture) {
  if (!Hp2xxAvailable()) GTEST_SKIP() << "hp2xx not installed";
  for (int c = 1; c <= 4; ++c) {
    for (int option25 : {0, 1}) {
      SCOPED_TRACE("class " + std::to_string(c) + ", option 25 " + std::to_string(option25));
      tk::PlotterModelSet(kClassModels[static_cast<std::size_t>(c - 1)]);
      tk::HardcopyDriverSelect(O::Select, tk::kDriverHpgl);
      const std::string bytes = Plot({{25, option25}});
      const Hp2xxRun run = RunHp2xx(Save("plotter.plt", bytes), "pbm");
      EXPECT_EQ(run.status, 0) << run.messages;
      EXPECT_TRUE(Ignored(run.messages).empty()) << run.messages;
      EXPECT_NE(run.messages.find("HPGL command(s) ignored: 0"), std::string::npos);
      ExpectPicture(run.image, Hp2xxPage(bytes, run), 2);

      // The annotation records move nothing: without them (option 18 off,
      // which also leaves out the line widths hp2xx would draw) the
      // rendering is the same.
      tk::HardcopyDriverSelect(O::Select, tk::kDriverHpgl);
      const std::string plain = Plot({{25, option25}, {18, 0}});
      EXPECT_EQ(plain.find("SC-"), std::string::npos);
      const Hp2xxRun without = RunHp2xx(Save("plain.plt", plain), "pbm");
      const Hp2xxRun with =
          RunHp2xx(Save("noted.plt",
                        Without(bytes, [](const std::string& r) { return r.rfind("PW", 0) == 0; })),
                   "pbm");
      EXPECT_EQ(with.image.width, without.image.width);
      EXPECT_EQ(with.image.height, without.image.height);
      EXPECT_TRUE(with.image.grey == without.image.grey);
    }
  }
}

// White is the paper on a plotter: a solid white fill laid over the whole
// picture (as the trace plot's frame fill is) is not inked, so the picture
// stays, where the pen rule would hatch it black.
TEST_F(HpglKnownGraphTest, AWhiteFillLeavesThePaperWhite) {
  if (!Hp2xxAvailable()) GTEST_SKIP() << "hp2xx not installed";
  tk::PlotterModelSet(kClassModels[0]);
  tk::HardcopyDriverSelect(O::Select, tk::kDriverHpgl);
  const std::string bytes = Plot({}, [] {
    tk::IGrArea(0, 0, 1, 1);
    tk::IGrUnits(0, 0, 1, 1);
    tk::IGrColourN(tk::PaletteNearestColour(0xFFFFFF));
    tk::IGrFillStyle(4, 1, 1);
    tk::IGrTriangle(0, 0, 1, 0, 1, 1);
    tk::IGrTriangle(0, 0, 1, 1, 0, 1);
  });
  EXPECT_NE(bytes.find("SP0"), std::string::npos);
  const Hp2xxRun run = RunHp2xx(Save("white.plt", bytes), "pbm");
  EXPECT_EQ(run.status, 0) << run.messages;
  ExpectPicture(run.image, Hp2xxPage(bytes, run), 2);
}

TEST_F(HpglKnownGraphTest, PrinterFilesParseAndPlaceThePicture) {
  if (!Hp2xxAvailable()) GTEST_SKIP() << "hp2xx not installed";
  if (!velloran::testing::ImageMagickAvailable()) GTEST_SKIP() << "ImageMagick not installed";
  // A polyline beside the graph, right of the x axis's last label.
  const auto polyline = [] {
    const std::array<float, 5> x{9.3f, 9.5f, 9.6f, 9.8f, 9.9f}, y{0.2f, 1.1f, 0.3f, 1.0f, 0.4f};
    tk::PolylineClipped(x, y, 5, 0);
  };
  for (int device = 1; device <= 5; ++device) {
    SCOPED_TRACE("device " + std::to_string(device));
    tk::Hpgl2DeviceSet(device);
    tk::HardcopyDriverSelect(O::Select, tk::kDriverHpgl2);
    printer.polylines.clear();
    const std::string bytes = Plot({}, polyline);
    const bool colour = device == 2 || device == 4 || device == 5;

    // The file as it is.
    const tk::testing::Hpgl2File f = tk::testing::DecodeHpgl2(bytes);
    EXPECT_TRUE(f.problems.empty());
    EXPECT_EQ(f.pages, 1);
    if (device == 4) {
      EXPECT_FALSE(f.escapes);
    } else {
      EXPECT_TRUE(f.entersHpgl2);
      EXPECT_TRUE(f.returnsToPcl);
      EXPECT_EQ(f.copies, std::vector<std::string>{"01"});
    }
    EXPECT_EQ(tk::testing::PenProblems(bytes, colour), std::vector<std::string>{});
    ASSERT_FALSE(printer.polylines.empty());
    EXPECT_EQ(f.encoded, printer.polylines);

    // hp2xx misreads a comment without ";" after it, and takes pen 0 for the
    // background: its copy has no comments and no definition of pen 0, and
    // pen 0 draws as pen 1.
    const std::string copy = Without(bytes, [](const std::string& r) {
      return r.rfind("CO", 0) == 0 || r.rfind("PC0 ", 0) == 0;
    });
    const Hp2xxRun run = RunHp2xx(Save("printer.plt", copy), "png", "-M 1");
    EXPECT_EQ(run.status, 0) << run.messages;
    for (const std::string& m : Ignored(run.messages))
      EXPECT_TRUE(m == "TR" || m == "RF") << m << " ignored\n" << run.messages;
    ExpectPicture(run.image, Hp2xxPage(bytes, run), 2);
  }
}

}  // namespace
}  // namespace sup::testing
