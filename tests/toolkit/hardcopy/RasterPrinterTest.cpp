// The raster printer driver: page starts and ends of every language byte
// for byte, the row compressions, the band walk of the dot-matrix printers,
// the quality fall-back, pictures printed and decoded back to the pixels
// the page holds, and each language's stream as file identification sees it.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <random>

#include "tests/TestSupport.h"
#include "tests/toolkit/hardcopy/RasterPrinterDecoders.h"
#include "tests/toolkit/hardcopy/RasterTestSupport.h"
#include "toolkit/core/Errors.h"
#include "toolkit/graphics/Fills.h"
#include "toolkit/graphics/GraphicsFileType.h"
#include "toolkit/hardcopy/HardcopyOptions.h"
#include "toolkit/hardcopy/HardcopySwitch.h"
#include "toolkit/hardcopy/ModelTables.h"
#include "toolkit/hardcopy/RasterPrinter.h"

namespace tk::testing {
namespace {

std::string B(std::initializer_list<int> bytes) {
  std::string s;
  for (int b : bytes) s.push_back(static_cast<char>(b));
  return s;
}
const std::string ESC = "\x1b";

class RasterPrinterTest : public GraphicsTest {
 protected:
  void SetUp() override {
    Open(500, 400);
    IGrUnits(0, 0, 499.99f, 399.99f);
    StandHardcopyDriver(kDriverRasterPrinter, &printer);
    cwd = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
  }
  void TearDown() override {
    WHardcopySwitch("S");
    std::filesystem::current_path(cwd);
    CurrentDeviceModels() = DeviceModelState{};
    HardcopyDriverSelect(DriverOperation::Select, kDefaultHardcopyDriver);
    GraphicsTest::TearDown();
  }
  void SelectModel(int model) {
    RasterPrinterModelSet(model);
    HardcopyDriverSelect(DriverOperation::Select, kDriverRasterPrinter);
  }
  void Begin() { WHardcopySwitch("out.prn"); }
  std::string End() {
    WHardcopySwitch("S");
    return ::testing_support::ReadFile(dir.path() / "out.prn");
  }
  /// A few marks: a diagonal, a box outline, a filled triangle, in colour.
  void Draw() {
    IGrColourN(223);
    IGrPenMoveTo(20, 20);
    IGrDrawLineTo(480, 380);
    IGrPenMoveTo(30, 350);
    IGrDrawLineTo(200, 350);
    IGrDrawLineTo(200, 250);
    IGrColourN(11);
    IGrFillStyle(4);
    IGrTriangle(300, 50, 450, 60, 380, 200);
    IGrColourN(223);
  }
  /// What the pixel tests read from the page, per plane (PCL planes 0..n-1,
  /// ESC/P colours 2, 1, 0 and 4 for black), before the page is cleared.
  PrintedBitmap Expected(bool colourPasses) {
    PrintedBitmap bm;
    PrinterCommandBlock& block = CurrentPrinterCommands();
    const int w = block.printedWidth, h = block.printedHeight;
    const RasterPixelTest test = ChooseRasterPixelTest();
    std::vector<int> planes;
    if (colourPasses) {
      planes = {2, 1, 0, -1};
    } else {
      for (int p = 0; p < DriverParams().rasterPlanes; ++p) planes.push_back(p);
    }
    for (int p : planes) {
      block.currentPlane = p;
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
          if (test(x, y)) bm.Set(Key(p, colourPasses), x, y);
    }
    return bm;
  }
  /// The decoders' plane of current plane PLANE: PCL planes as they are;
  /// ESC/P colour passes by their selection ESC r [n] (yellow 4, magenta 1,
  /// cyan 2, black 0).
  static int Key(int plane, bool colourPasses) {
    if (!colourPasses) return plane;
    static constexpr int kSelection[] = {0, 2, 1, 4};  // planes -1, 0, 1, 2
    return ColourKey(kSelection[plane + 1]);
  }
  static void ExpectSame(const PrintedBitmap& decoded, const PrintedBitmap& expected,
                         const std::string& what) {
    ASSERT_TRUE(decoded.error.empty()) << what << ": " << decoded.error;
    int checked = 0;
    for (const auto& [plane, rows] : expected.planes)
      for (const auto& [y, row] : rows)
        for (std::size_t x = 0; x < row.size(); ++x)
          if (row[x]) {
            ++checked;
            ASSERT_TRUE(decoded.Get(plane, static_cast<int>(x), y)) << what << " plane " << plane << " " << x << "," << y;
          }
    for (const auto& [plane, rows] : decoded.planes)
      for (const auto& [y, row] : rows)
        for (std::size_t x = 0; x < row.size(); ++x)
          if (row[x]) {
            ASSERT_TRUE(expected.Get(plane, static_cast<int>(x), y)) << what << " extra ink, plane " << plane << " " << x << "," << y;
          }
    EXPECT_GT(checked, 100) << what;
  }

  XXRAST printer;
  ::testing_support::TempDir dir;
  std::filesystem::path cwd;
};

TEST_F(RasterPrinterTest, CompressionEdgeCases) {
  EXPECT_EQ(PclRunLength(std::string(300, 'b')), B({255, 'b', 43, 'b'}));
  std::string distinct129;
  for (int i = 0; i < 130; ++i) distinct129.push_back(static_cast<char>(i % 2 ? i : 200 - i));
  const std::string p129 = PackBits(distinct129.substr(0, 129));
  ASSERT_EQ(p129.size(), 1u + 127 + 1 + 2);
  EXPECT_EQ(p129[0], 126);
  EXPECT_EQ(p129[128], 1);
  const std::string p130 = PackBits(distinct129);
  ASSERT_EQ(p130.size(), 1u + 127 + 1 + 3);
  EXPECT_EQ(p130[128], 2);
  EXPECT_EQ(PackBits("xyyz"), B({3, 'x', 'y', 'y', 'z'}));
  EXPECT_EQ(PackBits("xyyyz"), B({0, 'x', 254, 'y', 0, 'z'}));
  EXPECT_EQ(PackBits(std::string(128, 'a')), B({129, 'a'}));
  EXPECT_EQ(EscP2RunLength("q"), B({0, 'q'}));
  EXPECT_EQ(EscP2RunLength(std::string(129, 'a')), B({130, 'a', 255, 'a'}));
}

TEST_F(RasterPrinterTest, CompressionRoundTrips) {
  std::mt19937 rng(1234);
  for (int length : {1, 2, 127, 128, 129, 130, 999}) {
    for (int kind = 0; kind < 3; ++kind) {
      std::string row;
      std::uniform_int_distribution<int> run(1, kind == 0 ? 1 : kind == 1 ? 4 : 200);
      std::uniform_int_distribution<int> value(0, kind == 2 ? 3 : 255);
      while (static_cast<int>(row.size()) < length)
        row.append(static_cast<std::size_t>(run(rng)), static_cast<char>(value(rng)));
      row.resize(static_cast<std::size_t>(length));
      EXPECT_EQ(UnPackBits(PackBits(row)), row) << length << " " << kind;
      EXPECT_EQ(UnRunLength(PclRunLength(row)), row) << length << " " << kind;
      EXPECT_EQ(UnPackBits(EscP2RunLength(row)), row) << length << " " << kind;  // same encoding
      EXPECT_LE(PackBits(row).size(), row.size() + row.size() / 128 + 1);
    }
  }
}

TEST_F(RasterPrinterTest, NothingDrawnWritesNothing) {
  SelectModel(28);
  Begin();
  EXPECT_EQ(End(), "");
}

TEST_F(RasterPrinterTest, LaserJetPageStartRowsAndEnd) {
  SelectModel(28);
  HardcopyOptionSet(13, 2);
  Begin();
  EXPECT_EQ(CurrentRasterPage().width, 1200);
  EXPECT_EQ(CurrentRasterPage().height, 900);
  Draw();
  const std::string s = End();
  const std::string start = ESC + "E" + ESC + "&a0700h1000V" + ESC + "*t150R" + ESC + "*r0904s1A" + ESC + "*b2M";
  ASSERT_EQ(s.substr(0, start.size()), start);
  const std::string end = ESC + "&l01X" + ESC + "*rB" + ESC + "E";
  ASSERT_GE(s.size(), end.size());
  EXPECT_EQ(s.substr(s.size() - end.size()), end);
  // Each row: ESC * b, the compressed length without leading zeros, W.
  std::size_t at = start.size(), rows = 0;
  while (at < s.size() - end.size()) {
    ASSERT_EQ(s.substr(at, 3), ESC + "*b") << at;
    std::size_t j = at + 3;
    ASSERT_NE(s[j], '0');
    while (std::isdigit(static_cast<unsigned char>(s[j]))) ++j;
    ASSERT_EQ(s[j], 'W');
    at = j + 1 + std::stoul(s.substr(at + 3, j - at - 3));
    ++rows;
  }
  EXPECT_EQ(rows, 1200u);
}

TEST_F(RasterPrinterTest, PageControlVariants) {
  struct Case {
    int option19;
    bool resetAtStart, resetAtEnd;
  };
  for (const Case& c : {Case{1, false, true}, Case{2, true, false}, Case{0, false, false}}) {
    SelectModel(28);
    HardcopyOptionSet(19, c.option19);
    HardcopyOptionStore(19, c.option19);
    Begin();
    Draw();
    const std::string s = End();
    EXPECT_EQ(s.rfind(ESC + "E", 0) == 0, c.resetAtStart) << c.option19;
    EXPECT_EQ(s.size() >= 2 && s.substr(s.size() - 2) == ESC + "E", c.resetAtEnd) << c.option19;
  }
}

TEST_F(RasterPrinterTest, StylusColourRowsAndBlankRows) {
  SelectModel(37);  // class 6, colour kind "C"
  HardcopyOptionStore(1, 40);
  HardcopyOptionStore(2, 20);
  HardcopyOptionSet(13, 3);  // 180 dots per inch
  Begin();
  Draw();
  const std::string s = End();
  const std::string start = ESC + "@" + ESC + "(G" + B({1, 0, 1}) + ESC + "(U" + B({1, 0, 20}) +
                            ESC + "(V" + B({2, 0, 250, 0});
  ASSERT_EQ(s.substr(0, start.size()), start);
  // The first printed rows are blank: four colour selections, each with a
  // header of dot count 0 and compression 0, no data and CR; then ESC ( v.
  const std::string header = ESC + "\\" + B({175, 0}) + ESC + "." + B({0, 20, 20, 1, 0, 0});
  const std::string blankRow = ESC + "r" + B({4}) + header + "\r" + ESC + "r" + B({1}) + header + "\r" +
                               ESC + "r" + B({2}) + header + "\r" + ESC + "r" + B({0}) + header + "\r" +
                               ESC + "(v" + B({2, 0, 1, 0});
  EXPECT_EQ(s.substr(start.size(), blankRow.size()), blankRow);
  EXPECT_EQ(s.substr(s.size() - 3), ESC + "@\f");
}

TEST_F(RasterPrinterTest, ClassOneTwoPassBands) {
  SelectModel(2);  // class 1, line step 23
  HardcopyOptionStore(13, 2);
  HardcopyOptionSet(13, 2);
  HardcopyOptionStore(1, 60);
  HardcopyOptionStore(2, 20);
  Begin();
  Draw();
  const std::string s = End();
  EXPECT_EQ(s.substr(0, 3), ESC + "U" + B({1}));
  const std::size_t first = s.find(ESC + "3" + B({1}));
  ASSERT_NE(first, std::string::npos);
  const std::size_t second = s.find(ESC + "3" + B({22}), first);
  ASSERT_NE(second, std::string::npos);
  EXPECT_EQ(s.substr(second - 2, 2), "\r\n");
  EXPECT_EQ(s.substr(first + 3, 2), ESC + "L");  // 120 dots per inch
  EXPECT_EQ(s.substr(s.size() - 3), ESC + "2\f");
}

TEST_F(RasterPrinterTest, RowsOfFortyThousandBytes) {
  for (int offset : {0, 2}) {
    SelectModel(2);
    HardcopyOptionStore(13, 3);  // 60 dots per inch
    HardcopyOptionSet(13, 3);
    HardcopyOptionStore(1, 48000);  // 40000 dots
    HardcopyOptionStore(2, 8);
    HardcopyOptionStore(3, offset);  // 2 points: a lead of 1
    Begin();
    IGrColourN(223);
    IGrPenMoveTo(0, 200);
    IGrDrawLineTo(499.99f, 200);
    const std::string s = End();
    const std::size_t k = s.find(ESC + "K");
    ASSERT_NE(k, std::string::npos);
    if (offset == 0) {
      // Fits: the header follows the gathered row and counts its trimmed bytes.
      const int n = static_cast<std::uint8_t>(s[k + 2]) + 256 * static_cast<std::uint8_t>(s[k + 3]);
      EXPECT_LE(n, 40000);
      EXPECT_EQ(s.substr(k + 4 + static_cast<std::size_t>(n), 2), "\r\n");
    } else {
      // Does not fit: the full count first, then 40000 bytes and 1.
      EXPECT_EQ(s.substr(k + 2, 2), B({40001 & 0xFF, 40001 >> 8}));
      EXPECT_EQ(s.substr(k + 4 + 40001, 2), "\r\n");
    }
  }
}

TEST_F(RasterPrinterTest, DotRowLengths) {
  CurrentDeviceModels().printerClass = 5;
  CurrentDeviceModels().pins = 24;
  CurrentPrinterCommands().rowHeader = ESC + "*" + B({39, 0, 0});
  int n = 7;  // the last inked byte starts a column: whole columns
  DotRowLength(n);
  EXPECT_EQ(n, 9);
  EXPECT_EQ(CurrentPrinterCommands().rowHeader.substr(3), B({3, 0}));
  CurrentDeviceModels().printerClass = 4;
  CurrentPrinterCommands().rowHeader = ESC + "[g" + B({0, 0, 12});
  n = 7;
  DotRowLength(n);
  EXPECT_EQ(n, 7);
  EXPECT_EQ(CurrentPrinterCommands().rowHeader, ESC + "[g" + B({8, 0, 12}));
  CurrentDeviceModels() = DeviceModelState{};
}

TEST_F(RasterPrinterTest, QualityFallsBackAndStays) {
  SelectModel(28);
  HardcopyOptionStore(2, 4500);  // 18750 and 9375 dots across: over 999 bytes
  Begin();
  EXPECT_EQ(DriverParams().rasterQuality, 3);
  EXPECT_EQ(Gs().hardcopyOn, 1);
  End();
  Begin();
  EXPECT_EQ(DriverParams().rasterQuality, 3);
  End();
  // Too large at every quality: error 34, output off, nothing opened.
  SelectModel(28);
  HardcopyOptionStore(2, 100000);
  ResetErrorState();
  Begin();
  EXPECT_EQ(ErrorState().lastError, 34);
  EXPECT_EQ(Gs().hardcopyOn, 0);
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "out.prn") &&
               std::filesystem::file_size(dir.path() / "out.prn") > 0);
}

TEST_F(RasterPrinterTest, HugePicturesDoNotWrap) {
  SelectModel(2);
  HardcopyOptionStore(1, 2000000000);
  HardcopyOptionStore(2, 2000000000);
  ResetErrorState();
  Begin();
  EXPECT_EQ(ErrorState().lastError, 34);
  EXPECT_EQ(Gs().hardcopyOn, 0);
}

TEST_F(RasterPrinterTest, EveryClassDecodesToThePagePixels) {
  struct Case {
    int model;
    bool landscape;
    bool mono;  // option 6 = 1
  };
  // Classes 1 (2), 2 (5, 23 colour), 3 (9), 4 (19), 5 (17, 25 colour),
  // 6 (36, 37 colour), 7 (28), 8 (14, 21 colour), 9 (13), 10 (30).
  const Case cases[] = {{2, false, false},  {5, true, false},  {23, false, false}, {9, false, false},
                        {19, false, false}, {19, true, false}, {17, false, false}, {25, true, false},
                        {36, false, false}, {37, true, false}, {37, false, true},  {28, false, false},
                        {28, true, false},  {14, false, false}, {21, true, false}, {13, false, false},
                        {30, true, false},  {35, false, false}};
  for (const Case& c : cases) {
    const std::string what = "model " + std::to_string(c.model) + (c.landscape ? " landscape" : "") +
                             (c.mono ? " mono" : "");
    SelectModel(c.model);
    HardcopyOptionStore(1, 144);
    HardcopyOptionStore(2, 100);
    HardcopyOptionStore(3, 0);
    HardcopyOptionStore(4, 0);
    HardcopyOptionStore(5, c.landscape ? 1 : 0);
    HardcopyOptionStore(6, c.mono ? 1 : 0);
    const DeviceModelState& m = CurrentDeviceModels();
    HardcopyOptionStore(13, std::min(m.qualities, 3));
    HardcopyOptionSet(13, std::min(m.qualities, 3));
    Begin();
    ASSERT_EQ(Gs().hardcopyOn, 1) << what;
    Draw();
    DriverParams().pageDirty = -1;
    const int cls = m.printerClass;
    const bool colourPasses = cls <= 6 && DriverParams().rasterPlanes > 1;
    const PrintedBitmap expected = Expected(colourPasses);
    const int width = CurrentPrinterCommands().printedWidth;
    const std::string s = End();
    PrintedBitmap decoded;
    if (cls >= 7) {
      decoded = DecodePcl(s, width);
    } else if (cls == 6) {
      decoded = DecodeEscP2(s);
    } else {
      const int bytesPerColumn = m.pins == 24 ? 3 : 1;
      const int r = m.resolutions[static_cast<std::size_t>(DriverParams().rasterQuality - 1)];
      const int passes = cls <= 4 && r > 100 ? 2 : 1;
      decoded = DecodeEscP(s, bytesPerColumn, 0, passes, m.lineStep);
    }
    ExpectSame(decoded, expected, what);
  }
}

// What identification reports of the streams every printer language writes:
// PCL (with or without the reset that starts a page) as type 11 with its
// colours and resolution, ESC/P2 as 12 with its colours and resolution, and
// ESC/P and the IBM X24 language, which start with ESC U 1, as 13 with their
// colours.
TEST_F(RasterPrinterTest, IdentificationOfEveryLanguage) {
  using Info = std::array<std::int32_t, 6>;
  struct Case {
    int model, quality;
    bool mono;    // option 6 = 1: a colour printer printing black only
    int option19;  // 3: reset at the start of the page; 1: none
    Info want;
  };
  const Case cases[] = {
      {28, 2, false, 3, {kGfPcl, -1, -1, 2, 150, -1}},       // LaserJet III, class 7
      {28, 4, false, 1, {kGfPcl, -1, -1, 2, 75, -1}},        // starts with ESC & a
      {29, 1, false, 3, {kGfPcl, -1, -1, 2, 600, -1}},       // LaserJet 4/5, class 11
      {14, 3, false, 3, {kGfPcl, -1, -1, 2, 100, -1}},       // DeskJet, class 8
      {21, 2, false, 3, {kGfPcl, -1, -1, 8, 150, -1}},       // DeskJet colour, "R"
      {31, 2, false, 3, {kGfPcl, -1, -1, 8, 150, -1}},       // DeskJet 550C, "C"
      {31, 2, true, 3, {kGfPcl, -1, -1, 2, 150, -1}},
      {13, 2, false, 3, {kGfPcl, -1, -1, 8, 90, -1}},        // PaintJet, class 9
      {30, 2, false, 3, {kGfPcl, -1, -1, 8, 150, -1}},       // PaintJet XL 300, class 10
      {33, 2, false, 3, {kGfPcl, -1, -1, 8, 150, -1}},       // DeskJet 540, class 12
      {38, 2, false, 1, {kGfPcl, -1, -1, 8, 300, -1}},       // Color LaserJet 4500
      {36, 2, false, 3, {kGfEscP, -1, -1, 0, 360, -1}},      // Stylus, class 6
      {37, 3, false, 3, {kGfEscP, -1, -1, 8, 180, -1}},      // Stylus colour
      {37, 3, true, 3, {kGfEscP, -1, -1, 0, 180, -1}},
      {2, 2, false, 3, {kGfEpsonEscU, -1, -1, 0, -1, -1}},   // IBM Graphics, class 1
      {5, 3, false, 3, {kGfEpsonEscU, -1, -1, 0, -1, -1}},   // Epson FX, class 2
      {23, 3, false, 3, {kGfEpsonEscU, -1, -1, 8, -1, -1}},  // Epson JX colour
      {9, 1, false, 3, {kGfEpsonEscU, -1, -1, 0, -1, -1}},   // Shinwa, class 3
      {19, 2, false, 3, {kGfEpsonEscU, -1, -1, 0, -1, -1}},  // IBM Proprinter X24, class 4
      {17, 2, false, 3, {kGfEpsonEscU, -1, -1, 0, -1, -1}},  // Epson LQ, class 5
      {25, 2, false, 3, {kGfEpsonEscU, -1, -1, 8, -1, -1}},  // Epson LQ colour
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("model " + std::to_string(c.model) + " quality " + std::to_string(c.quality) +
                 (c.mono ? " mono" : "") + " option 19 = " + std::to_string(c.option19));
    SelectModel(c.model);
    HardcopyOptionStore(1, 144);
    HardcopyOptionStore(2, 100);
    HardcopyOptionStore(6, c.mono ? 1 : 0);
    HardcopyOptionStore(19, c.option19);
    HardcopyOptionSet(19, c.option19);
    HardcopyOptionStore(13, c.quality);
    HardcopyOptionSet(13, c.quality);
    Begin();
    ASSERT_EQ(Gs().hardcopyOn, 1);
    Draw();
    End();
    const std::string path = (dir.path() / "out.prn").string();
    Info info{};
    GraphicsFileType(path, static_cast<int>(path.size()), info, 6);
    EXPECT_EQ(info, c.want);
  }
}

}  // namespace
}  // namespace tk::testing
