// The CGM file driver (9): select, metafile and picture headers, attributes
// written on change, text forms, clipped rectangles, the colour rule, cell
// arrays, gradient triangles and the structure of multi-page files.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "tests/TestSupport.h"
#include "tests/toolkit/graphics/GraphicsTestSupport.h"
#include "tests/toolkit/hardcopy/CgmDecoder.h"
#include "toolkit/graphics/Colours.h"
#include "toolkit/hardcopy/Cgm.h"
#include "toolkit/hardcopy/HardcopyOptions.h"
#include "toolkit/hardcopy/HardcopySwitch.h"
#include "toolkit/hardcopy/PolygonFill.h"

namespace tk::testing {
namespace {

using O = DriverOperation;

class CgmDriverTest : public GraphicsTest {
 protected:
  void SetUp() override {
    GraphicsTest::SetUp();
    StandHardcopyDriver(kDriverCgm, &driver);
    cwd = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    HardcopyDriverSelect(O::Select, kDriverCgm);
  }
  void TearDown() override {
    WHardcopySwitch("S");
    std::filesystem::current_path(cwd);
    HardcopyDriverSelect(O::Select, kDefaultHardcopyDriver);
    GraphicsTest::TearDown();
  }
  void Begin(std::optional<std::string_view> title = std::nullopt) {
    WHardcopySwitch("out.cgm", title);
    ASSERT_GT(Gs().hardcopyOn, 0);
  }
  CgmRead End() {
    WHardcopySwitch("S");
    bytes = ::testing_support::ReadFile(dir.path() / "out.cgm");
    CgmRead r = DecodeCgm(bytes);
    EXPECT_TRUE(r.ok) << r.error;
    return r;
  }
  static void Send(O op, int P2 = 0) {
    DriverParams().P2 = P2;
    HardcopyDriverCall(op);
  }
  static void Corners(std::initializer_list<std::pair<float, float>> points) {
    DriverParameters& dp = DriverParams();
    std::size_t i = 0;
    for (auto [x, y] : points) dp.X[i] = x, dp.Y[i++] = y;
  }
  static void Line(float x0, float y0, float x1, float y1) {
    Corners({{x0, y0}, {x1, y1}});
    Send(O::Line);
  }
  static void Colour(int n) { ColourDirectSet(n, PaletteGetRgb(n), n, 2); }
  static void Text(const std::string& s, int font) {
    Gs().text.spacingMode = font;
    DriverText() = s + std::string(static_cast<std::size_t>(kDriverTextLength) - s.size(), ' ');
    DriverParams().KX[0] = static_cast<int>(s.size());
    Corners({{10, 10}, {10, 10}, {60, 10}});
    Send(O::Text);
  }
  // Parameters of the elements CLS/ID.
  static std::vector<std::string> Params(const CgmRead& r, int cls, int id) {
    std::vector<std::string> out;
    for (int i : r.Ids(cls, id)) out.push_back(r.elements[static_cast<std::size_t>(i)].params);
    return out;
  }

  XXCGM driver;
  ::testing_support::TempDir dir;
  std::filesystem::path cwd;
  std::string bytes;
};

TEST_F(CgmDriverTest, ProbeAnswersNineAndSelectSetsDefaults) {
  HardcopyOptionStore(1, 1234);
  DriverParams().P1 = -999;
  HardcopyDriverSwitch(O::Select);
  EXPECT_EQ(DriverParams().P1, 9);
  EXPECT_EQ(HardcopyOption(1), 1234);

  DriverParams().P1 = 0;
  HardcopyDriverSwitch(O::Select);
  EXPECT_EQ(HardcopyOption(1), 756);
  EXPECT_EQ(HardcopyOption(2), 540);
  EXPECT_EQ(HardcopyOption(28), 2);
  EXPECT_EQ(DriverParams().capabilities[1], "00000110111111100010011011100");
  EXPECT_EQ(DriverParams().driverNumber, 9);
  EXPECT_EQ(HardcopyFileName().substr(0, 13), "parvplot.cgm ");
}

TEST_F(CgmDriverTest, HeadersDeclareVersionThreeAndTheVdcExtent) {
  Begin();
  const CgmRead r = End();
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.version, 3);
  EXPECT_EQ(r.vdcWidth, 6300);
  EXPECT_EQ(r.vdcHeight, 4500);
  // Nothing drawn: the one picture is still closed before END METAFILE.
  EXPECT_EQ(r.pictures, 1);
  ASSERT_GE(r.elements.size(), 2u);
  EXPECT_EQ(r.elements[r.elements.size() - 2].cls, 0);
  EXPECT_EQ(r.elements[r.elements.size() - 2].id, 5);
  std::size_t at = 0;
  EXPECT_EQ(CgmString(Params(r, 0, 1)[0], at), "JQX CGM File");
  at = 0;
  EXPECT_EQ(CgmString(Params(r, 1, 2)[0], at), "JQX CGM driver v4");
  at = 0;
  EXPECT_EQ(CgmString(Params(r, 0, 3)[0], at), "JQX CGM Data");
}

TEST_F(CgmDriverTest, FontListFollowsOptionTwentyEight) {
  struct Case {
    int option;
    std::size_t length;
    const char* first;
    const char* last;
  };
  const Case cases[] = {{2, 260, "Courier New", "Symbol Bold Italic"},
                        {1, 204, "Courier", "Symbol"},
                        {0, 204, "COURIER", "SYMBOL"},
                        {7, 260, "Courier New", "Symbol Bold Italic"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.option);
    HardcopyOptionStore(28, c.option);
    Begin();
    const CgmRead r = End();
    ASSERT_EQ(r.Count(1, 13), 1);
    const CgmElementRead& e = r.elements[static_cast<std::size_t>(r.Ids(1, 13)[0])];
    EXPECT_TRUE(e.longForm);
    EXPECT_EQ(e.params.size(), c.length);
    std::size_t at = 0;
    std::vector<std::string> names;
    while (names.size() < 16) names.push_back(CgmString(e.params, at));
    EXPECT_EQ(names.front(), c.first);
    EXPECT_EQ(names.back(), c.last);
    EXPECT_EQ(at, c.option == 1 ? e.params.size() - 1 : e.params.size());
  }
}

TEST_F(CgmDriverTest, TitlePaddingFollowsItsLength) {
  // Options: KX(1) at begin says whether the title is used.
  struct Case {
    const char* title;
    bool padded;
  };
  for (const Case& c : {Case{"Odd", false}, Case{"Even", true}}) {
    SCOPED_TRACE(c.title);
    Begin(c.title);
    const CgmRead r = End();
    const std::string name = c.title;
    // Header word, count byte, the title, maybe the pad byte.
    EXPECT_EQ(static_cast<unsigned char>(bytes[1]) & 31, static_cast<int>(name.size()) + 1);
    EXPECT_EQ(bytes.substr(3, name.size()), name);
    const std::size_t next = 3 + name.size() + (c.padded ? 1 : 0);
    if (c.padded) {
      EXPECT_EQ(bytes[3 + name.size()], '\0');
    }
    EXPECT_EQ(r.elements[1].offset, next);
  }
}

TEST_F(CgmDriverTest, LineColourIsWrittenOnlyWhenItChanges) {
  Begin();
  Colour(11);
  Line(1, 1, 20, 20);
  Line(2, 2, 30, 30);
  Colour(12);  // changed but nothing drawn
  Colour(11);
  Line(3, 3, 40, 40);
  const CgmRead r = End();
  EXPECT_EQ(r.Count(5, 4), 1);
  EXPECT_EQ(r.Count(4, 1), 3);
}

TEST_F(CgmDriverTest, TextFormsAndLongStrings) {
  struct Case {
    int length;
    int font;
    int cls, id;
    bool longForm;
  };
  const Case cases[] = {{19, 0, 4, 5, false}, {20, 0, 4, 5, true}, {23, 1, 4, 4, false},
                        {24, 1, 4, 4, true},  {260, 0, 4, 5, true}, {255, 1, 4, 4, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.length);
    Begin();
    std::string s;
    for (int i = 0; i < c.length; ++i) s += static_cast<char>('A' + i % 26);
    Text(s, c.font);
    const CgmRead r = End();
    ASSERT_EQ(r.Count(c.cls, c.id), 1);
    const CgmElementRead& e = r.elements[static_cast<std::size_t>(r.Ids(c.cls, c.id)[0])];
    EXPECT_EQ(e.longForm, c.longForm);
    std::size_t at = c.id == 5 ? 10 : 6;
    EXPECT_EQ(CgmString(e.params, at), s);
    EXPECT_EQ(at, e.params.size());
  }
}

TEST_F(CgmDriverTest, RectangleIsCutToTheClipRectangle) {
  Begin();
  Gs().fillStyle = kFillSolid;
  Gs().clipX0 = 10, Gs().clipY0 = 10, Gs().clipX1 = 50, Gs().clipY1 = 40;
  Corners({{0, 20}, {80, 30}});
  Send(O::RectangleHalftone);
  const CgmRead r = End();
  ASSERT_EQ(r.Count(4, 11), 1);
  const std::string p = Params(r, 4, 11)[0];
  const float fx = DriverParams().factorX, fy = DriverParams().factorY;
  EXPECT_EQ(CgmWord(p, 0), static_cast<int>(10 * fx));
  EXPECT_EQ(CgmWord(p, 2), static_cast<int>(20 * fy));
  EXPECT_EQ(CgmWord(p, 4), static_cast<int>(50 * fx));
  EXPECT_EQ(CgmWord(p, 6), static_cast<int>(30 * fy));
}

TEST_F(CgmDriverTest, OptionSixTwoSwapsBlackAndWhite) {
  HardcopyOptionStore(6, 2);
  Gs().colourMode = 2;
  Begin();
  ColourDirectSet(-1, 0xFFFFFF, 0, 2);
  Line(1, 1, 2, 2);
  ColourDirectSet(-1, 0, 0, 2);
  Line(1, 1, 2, 2);
  ColourDirectSet(-1, 0x204080, 0, 2);
  Line(1, 1, 2, 2);
  const CgmRead r = End();
  const auto p = Params(r, 5, 4);
  ASSERT_EQ(p.size(), 3u);
  EXPECT_EQ(p[0], std::string("\0\0\0\0", 4));
  EXPECT_EQ(p[1], std::string("\xFF\xFF\xFF\0", 4));
  EXPECT_EQ(p[2], std::string("\x80\x40\x20\0", 4));
}

TEST_F(CgmDriverTest, CellArrayWritesOnePartitionPerRow) {
  Begin();
  Gs().clipX0 = 0, Gs().clipY0 = 0, Gs().clipX1 = 20, Gs().clipY1 = 20;
  const std::vector<std::int32_t> pixels(4, 0x0000FF);
  ASSERT_TRUE(driver.WriteCellArray(pixels, 2, 2));
  const CgmRead r = End();
  ASSERT_EQ(r.Count(4, 9), 1);
  const CgmElementRead& e = r.elements[static_cast<std::size_t>(r.Ids(4, 9)[0])];
  EXPECT_EQ(e.partitions, 3);
  // Each row: one run of count 2 in red, padded to 6 bytes.
  EXPECT_EQ(e.params.substr(20), std::string("\0\2\xFF\0\0\0\0\2\xFF\0\0\0", 12));
  EXPECT_EQ(CgmWord(e.params, 12), 2);
  EXPECT_EQ(CgmWord(e.params, 14), 2);
}

// A 2 x 2 24-bit BMP of one colour (blue, green, red bytes B, G, R).
std::string SolidBmp(unsigned char b, unsigned char g, unsigned char r) {
  std::string f = "BM";
  const auto le = [&f](std::uint32_t v, int n) {
    for (int i = 0; i < n; ++i) f += static_cast<char>((v >> (8 * i)) & 0xFF);
  };
  le(70, 4), le(0, 4), le(54, 4);
  le(40, 4), le(2, 4), le(2, 4), le(1, 2), le(24, 2), le(0, 4), le(16, 4);
  le(2835, 4), le(2835, 4), le(0, 4), le(0, 4);
  for (int row = 0; row < 2; ++row) {
    for (int x = 0; x < 2; ++x) f += {static_cast<char>(b), static_cast<char>(g), static_cast<char>(r)};
    f += std::string(2, '\0');
  }
  return f;
}

TEST_F(CgmDriverTest, ImageFileBecomesACellArrayAndAFailedReadWritesNothing) {
  ::testing_support::WriteFile(dir.path() / "red.bmp", SolidBmp(0, 0, 255));
  Begin();
  Gs().clipX0 = 0, Gs().clipY0 = 0, Gs().clipX1 = 20, Gs().clipY1 = 20;
  DriverParameters& dp = DriverParams();
  for (const char* name : {"red.bmp", "missing.bmp"}) {
    DriverText() = name + std::string(static_cast<std::size_t>(kDriverTextLength) - std::strlen(name), ' ');
    dp.KX[1] = 2, dp.KY[1] = 2;
    dp.P2 = -5;
    HardcopyDriverCall(O::Image);
    if (std::string(name) == "red.bmp")
      EXPECT_EQ(dp.P2, 0);
    else
      EXPECT_NE(dp.P2, 0);
  }
  const CgmRead r = End();
  ASSERT_EQ(r.Count(4, 9), 1);
  const CgmElementRead& e = r.elements[static_cast<std::size_t>(r.Ids(4, 9)[0])];
  EXPECT_EQ(e.partitions, 3);
  EXPECT_EQ(e.params.substr(20), std::string("\0\2\xFF\0\0\0\0\2\xFF\0\0\0", 12));
}

TEST_F(CgmDriverTest, TrianglesInterpolateTheirVertexColours) {
  Begin();
  driver.WriteTriangles({{0, 0, 0x0000FF}, {10, 0, 0x00FF00}, {0, 10, 0xFF0000}}, {{1, 2, 3}});
  const CgmRead r = End();
  ASSERT_TRUE(r.ok);
  ASSERT_EQ(r.Count(5, 43), 1);
  const std::string p = Params(r, 5, 43)[0];
  ASSERT_EQ(p.size(), 22u);
  EXPECT_EQ(CgmWord(p, 0), 3);
  EXPECT_EQ(p.substr(12), std::string("\xFF\0\0\0\xFF\0\0\0\xFF\0", 10));
  EXPECT_EQ(r.Count(5, 31), 1);
  EXPECT_EQ(r.Count(4, 7), 1);
}

TEST_F(CgmDriverTest, GradientPolygonsBecomeInterpolatedTriangles) {
  struct Case {
    const char* name;
    std::vector<std::pair<float, float>> points;
    std::vector<std::int32_t> colours;
    int triangles;
    std::string firstColours;  // the nine colour bytes and pad of the first
  };
  const std::vector<Case> cases = {
      {"triangle", {{10, 10}, {100, 10}, {10, 100}}, {0x0000FF, 0x00FF00, 0xFF0000}, 1,
       std::string("\xFF\0\0\0\xFF\0\0\0\xFF\0", 10)},
      {"square", {{10, 10}, {100, 10}, {100, 100}, {10, 100}}, {0x0000FF, 0x00FF00, 0xFF0000, 0x000000},
       2, ""},
      // The closing point merges into the first, their colours averaged.
      {"closed triangle", {{10, 10}, {100, 10}, {10, 100}, {10, 10}}, {0x0000FE, 0x00FF00, 0xFF0000, 0},
       1, ""},
      {"two points", {{10, 10}, {100, 10}}, {0x0000FF, 0x00FF00}, 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Begin();
    DriverParameters& dp = DriverParams();
    const int n = static_cast<int>(c.points.size());
    GradientPolygon().Resize(n);
    for (int i = 0; i < n; ++i) {
      dp.pointX[i] = c.points[static_cast<std::size_t>(i)].first;
      dp.pointY[i] = c.points[static_cast<std::size_t>(i)].second;
      GradientPolygon().colour[static_cast<std::size_t>(i)] = c.colours[static_cast<std::size_t>(i)];
    }
    dp.softwareFillCount = n;
    dp.pageDirty = 0;
    Send(O::SoftwareFill);
    EXPECT_EQ(dp.pageDirty, -1);
    const CgmRead r = End();
    EXPECT_EQ(r.Count(5, 43), c.triangles);
    EXPECT_EQ(r.Count(5, 31), c.triangles);
    EXPECT_EQ(r.Count(4, 7), c.triangles);
    if (c.triangles > 0) {
      const std::string p = Params(r, 5, 43)[0];
      ASSERT_EQ(p.size(), 22u);
      EXPECT_EQ(CgmWord(p, 0), 3);
      if (!c.firstColours.empty()) {
        EXPECT_EQ(p.substr(12), c.firstColours);
      }
    }
    if (std::string(c.name) == "closed triangle") {
      const std::string p = Params(r, 5, 43)[0];
      EXPECT_EQ(static_cast<unsigned char>(p[12]), 0x7F);  // (0xFE + 0) / 2 at the merged vertex
    }
  }
}

TEST_F(CgmDriverTest, EveryPageIsAPictureOfItsOwn) {
  Begin();
  for (int page = 0; page < 3; ++page) {
    Line(1, 1, 20, 20);
    DriverParams().P1 = 1;
    Send(O::EndPage, 32);
  }
  const CgmRead r = End();
  EXPECT_EQ(r.pictures, 3);
  EXPECT_EQ(r.Count(0, 5), 3);
  EXPECT_EQ(r.Count(4, 1), 3);
}

TEST_F(CgmDriverTest, AttributesForgottenAtBeginAndJoinCapOnChange) {
  Begin();
  const int lineTypes = End().Count(5, 2);  // those the start of output sends
  for (int run = 0; run < 2; ++run) {
    Begin();
    Line(1, 1, 2, 2);
    HardcopyOptionStore(10, 1);
    Send(O::LineJoin);
    Send(O::LineJoin);
    HardcopyOptionStore(11, 2);
    Send(O::LineCap);
    Send(O::LineType);
    Send(O::LineType);
    const CgmRead r = End();
    EXPECT_EQ(r.Count(5, 4), 1);
    EXPECT_EQ(r.Count(5, 38), 1);
    EXPECT_EQ(r.Count(5, 37), 1);
    EXPECT_EQ(r.Count(5, 2), lineTypes + 2);
    HardcopyOptionStore(10, 0);
    HardcopyOptionStore(11, 0);
  }
}

TEST_F(CgmDriverTest, FilledShapesBecomeCgmPrimitives) {
  Begin();
  Gs().fillStyle = kFillSolid;
  Corners({{10, 10}, {5, 0}, {1, 0}});
  Send(O::EllipseHalftone);
  Corners({{0, 0}, {10, 0}, {10, 10}, {0, 10}});
  Send(O::TrapeziumHalftone);
  Send(O::TriangleHalftone);
  Corners({{50, 40}, {20, 20}, {0, 0}});
  DriverParams().Y[2] = 1.5f;
  Send(O::PieHalftone);
  Send(O::PieHalftone, -1);  // end of a fill: nothing
  Gs().fillStyle = kFillHatch;
  Send(O::TrapeziumHalftone);  // not drawn by this driver
  Send(O::EllipseHalftone);    // an outline
  const CgmRead r = End();
  EXPECT_EQ(r.Count(4, 17), 2);
  EXPECT_EQ(r.Count(4, 7), 3);
  EXPECT_EQ(r.Count(5, 30), 2);
}

}  // namespace
}  // namespace tk::testing
