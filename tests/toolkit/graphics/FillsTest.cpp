// Area fills: styles on trapezia and polygons, the fill model's operations.
#include <gtest/gtest.h>

#include <cmath>

#include "GraphicsTestSupport.h"
#include "toolkit/graphics/Fills.h"

namespace tk::testing {
namespace {

class FillsTest : public GraphicsTest {
 protected:
  void SetUp() override {
    Open(300, 300);
    IGrUnits(0, 0, 299.99f, 299.99f);  // one unit a pixel
  }
  // The square 50..150 by 50..150 (device units) both ways.
  void Square() { IGrTrapezium(50, 50, 150, 150, 100, 1); }
  void SquarePolygon() {
    const std::vector<float> x{50, 150, 150, 50}, y{50, 50, 150, 150};
    YYPLYGON(x, y, 4, 0);
  }
  // Pixel of device column X and device row Y (from the bottom) of the 300-high surface.
  bool Set(int x, int y) const { return At(x, y) != kWhitePixel; }
};

TEST_F(FillsTest, FillStyleArguments) {
  IGrFillStyle(-1);
  EXPECT_EQ(Gs().fillStyle, 1);
  EXPECT_EQ(Gs().outlineFlag, 0);
  IGrFillStyle(7);
  EXPECT_EQ(Gs().fillStyle, 0);
  EXPECT_EQ(Gs().outlineFlag, 1);
  IGrFillStyle(1, 9, 0);
  EXPECT_EQ(Gs().hatchDensity, 2);
  EXPECT_EQ(Gs().hatchAngle, 3);
}

TEST_F(FillsTest, EachStyleOnTheSquare) {
  struct Case {
    const char* name;
    int style;
    int count;
  };
  // Outline: 4 sides of 100 pixels. Hatch, density 1: lines every 10 pixels
  // (60..140 inside) of 99 inner pixels. Cross-hatch adds vertical lines
  // (81 crossings shared). Halftone: 100 x 100 pixel centres, half of them
  // black. Solid: the polygon with its one-pixel outline, 101 x 101.
  const Case cases[] = {{"outline", 0, 400},
                        {"hatch", 1, 400 + 9 * 99},
                        {"cross", 2, 400 + 18 * 99 - 81},
                        {"halftone", 3, 5000},
                        {"solid", 4, 101 * 101}};
  for (const Case& c : cases) {
    for (int shape = 0; shape < 2; ++shape) {
      SCOPED_TRACE(std::string(c.name) + (shape ? " polygon" : " trapezium"));
      surface.Fill(kWhitePixel);
      IGrFillStyle(c.style, 1, 3);
      shape ? SquarePolygon() : Square();
      EXPECT_EQ(CountSet(), c.count);
      EXPECT_EQ(Set(50, 50), c.style != 3);
      if (c.style == 1 || c.style == 2) {
        EXPECT_TRUE(Set(105, 60));
        EXPECT_FALSE(Set(105, 61));
        EXPECT_FALSE(Set(105, 59));
      }
      if (c.style == 2) {
        EXPECT_TRUE(Set(60, 100));
      }
      if (c.style == 3) {
        EXPECT_TRUE(Set(100, 100) != Set(101, 100));
        EXPECT_FALSE(Set(150, 100));
      }
    }
  }
}

TEST_F(FillsTest, HatchAnglesAndHalftoneOfOneSlotIsSolid) {
  IGrFillStyle(-1, 1, 4);  // vertical lines, no outline
  Square();
  EXPECT_TRUE(Set(60, 100));
  EXPECT_FALSE(Set(61, 100));
  EXPECT_FALSE(Set(50, 100));
  surface.Fill(kWhitePixel);
  IGrColourN(223);  // previous and current both black
  IGrFillStyle(3);
  Square();
  EXPECT_EQ(CountSet(), 101 * 101);
}

TEST_F(FillsTest, SlantedHatchFollowsTheSlantedSides) {
  IGrFillStyle(-1, 1, 1);
  IGrTrapezium(50, 50, 150, 100, 30, 1);  // bottom edge rises 20 over 100
  EXPECT_TRUE(Set(50, 60));
  EXPECT_TRUE(Set(100, 70));
  EXPECT_TRUE(Set(100, 80));
  EXPECT_FALSE(Set(100, 65));
  EXPECT_FALSE(Set(100, 60));
}

TEST_F(FillsTest, TrapeziumErrorsNeitherDrawNorMove) {
  IGrPenMoveTo(7, 7);
  IGrFillStyle(4);
  IGrTrapezium(50, 50, 150, 150, 0, 1);
  EXPECT_EQ(WErrorStatusQuery(1), 21);
  IGrTrapezium(50, 50, 50, 150, 10, 1);
  EXPECT_EQ(WErrorStatusQuery(1), 22);
  EXPECT_EQ(CountSet(), 0);
  EXPECT_FLOAT_EQ(Gs().penX, 7);
  Square();
  EXPECT_FLOAT_EQ(Gs().penX, 50);
}

TEST_F(FillsTest, Triangles) {
  IGrFillStyle(2, 1, 3);
  IGrTriangle(50, 50, 150, 50, 100, 150);
  EXPECT_TRUE(Set(100, 60));
  EXPECT_TRUE(Set(60, 55));
  EXPECT_TRUE(Set(100, 150));  // the outline's apex
  surface.Fill(kWhitePixel);
  IGrFillStyle(-1);
  IGrTriangle(50, 50, 100, 50, 150, 50);  // degenerate, no outline: silent
  EXPECT_EQ(WErrorStatusQuery(1), 0);
  IGrFillStyle(1);
  IGrTriangle(50, 50, 100, 50, 150, 50);
  EXPECT_EQ(WErrorStatusQuery(1), 22);
  EXPECT_EQ(CountSet(), 0);
  IGrFillStyle(4);
  IGrTriangle(50, 50, 150, 50, 100, 150);
  EXPECT_TRUE(Set(100, 100));
}

TEST_F(FillsTest, StarLeavesItsPentagonEmpty) {
  IGrFillStyle(-1, 5, 3);
  std::vector<float> x, y;
  for (int i = 0; i < 5; ++i) {
    const double a = 1.5707963 + i * 2 * 2.0 * 3.14159265 / 5;
    x.push_back(static_cast<float>(150 + 100 * std::cos(a)));
    y.push_back(static_cast<float>(150 + 100 * std::sin(a)));
  }
  YYPLYGON(x, y, 5, 0);
  EXPECT_FALSE(Set(150, 150));
  // The arms are hatched: some row through an arm has pixels.
  int arm = 0;
  for (int px = 140; px <= 160; ++px) arm += Set(px, 225);
  EXPECT_GT(arm, 0);
}

TEST_F(FillsTest, RepeatedLastPointAndOutsideFills) {
  IGrFillStyle(4);
  const std::vector<float> x{50, 150, 150, 50, 50}, y{50, 50, 150, 150, 50};
  YYPLYGON(x, y, 5, 0);
  EXPECT_EQ(CountSet(), 101 * 101);
  surface.Fill(kWhitePixel);
  IGrArea(0, 0, 0.1f, 0.1f);
  IGrUnits(0, 0, 29.999f, 29.999f);
  IGrPenMoveTo(1, 1);
  YYPLYGON(x, y, 5, 0);
  EXPECT_EQ(CountSet(), 0);
  EXPECT_FLOAT_EQ(Gs().penX, 50);
}

TEST_F(FillsTest, HardcopyFramesTheFill) {
  RecordHardcopy();
  IGrFillStyle(4);
  Square();
  // Opening and closing operation 7 to the hardcopy, orientation then -1.
  ASSERT_EQ(hardcopyOps.size(), 2u);
  EXPECT_EQ(hardcopyOps[0], DriverOperation::TrapeziumHalftone);
  EXPECT_EQ(hardcopyP2, (std::vector<int>{1, -1}));
  hardcopyOps.clear();
  hardcopyP2.clear();
  // A driver asking for emulation gets the fill as lines between the two.
  RegisterHardcopyDriver(10, [this](DriverOperation& op) {
    hardcopyOps.push_back(op);
    if (op == DriverOperation::TrapeziumHalftone && DriverParams().P2 != -1) {
      Gs().fillRequestHardcopy = 1;
      DriverParams().fillLineSpacing = 5;
    }
  });
  Square();
  EXPECT_EQ(hardcopyOps.front(), DriverOperation::TrapeziumHalftone);
  EXPECT_EQ(hardcopyOps.back(), DriverOperation::TrapeziumHalftone);
  EXPECT_EQ(Count(hardcopyOps, DriverOperation::Line), 20);
  EXPECT_EQ(Gs().fillRequestHardcopy, 0);
}

TEST_F(FillsTest, TwoPassHalftoneForAHardcopyDriver) {
  RecordHardcopy();
  DriverParams().deviceColours = 8;
  RegisterHardcopyDriver(10, [this](DriverOperation& op) {
    hardcopyOps.push_back(op);
    if (op == DriverOperation::TrapeziumHalftone && DriverParams().P2 != -1) {
      Gs().fillRequestHardcopy = 2;
      DriverParams().fillLineSpacing = 4;
    }
  });
  IGrColourN(31);
  IGrColourN(95);
  hardcopyOps.clear();
  IGrFillStyle(3);
  Square();
  // Lines at 52, 56 .. 148 in the current colour, then 54 .. 150 in the previous one.
  EXPECT_EQ(Count(hardcopyOps, DriverOperation::Line), 50);
  EXPECT_EQ(Count(hardcopyOps, DriverOperation::Colour), 2);
  EXPECT_EQ(Gs().current.number, 95);
  EXPECT_EQ(Gs().previous.number, 31);
  // The screen draws its own halftone.
  EXPECT_EQ(At(100, 100), plat::Rgb(255, 0, 0));
  EXPECT_EQ(At(101, 100), plat::Rgb(0, 255, 0));
}

TEST_F(FillsTest, ScreenSendsOneSolidFill) {
  std::vector<DriverOperation> ops;
  RegisterMemoryRecorder([&](DriverOperation& op) { ops.push_back(op); });
  Gs().memoryRecorderOn = 1;
  IGrFillStyle(4);
  Square();
  EXPECT_EQ(ops, std::vector<DriverOperation>{DriverOperation::TrapeziumSolid});
  ops.clear();
  IGrColourN(31);
  IGrColourN(31);
  ops.clear();
  IGrFillStyle(3);
  Square();
  EXPECT_EQ(ops, std::vector<DriverOperation>{DriverOperation::TrapeziumSolid});
  Gs().memoryRecorderOn = 0;
}

TEST_F(FillsTest, HugeShapesCostOnlyTheirVisiblePart) {
  IGrArea(0.1f, 0.1f, 0.9f, 0.9f);
  IGrUnits(0, 0, 1, 1);
  const std::vector<float> x{-1e7f, 1e7f, 1e7f, -1e7f}, y{-1e7f, -1e7f, 1e7f, 1e7f};
  for (int style : {1, 2, 4}) {
    IGrFillStyle(style, 5, 3);
    YYPLYGON(x, y, 4, 0);
    IGrTrapezium(-1e7f, -1e7f, 1e7f, 1e7f, 2e7f, 1);
    IGrTriangle(-1e7f, -1e7f, 1e7f, -1e7f, 0, 1e7f);
  }
  const GraphicsState& gs = Gs();
  EXPECT_TRUE(Set(150, 150));
  for (int py = 0; py < 300; ++py)
    for (int px = 0; px < 300; ++px)
      if (px < gs.clipPixX0 || px > gs.clipPixX1 || py < gs.clipPixY0 || py > gs.clipPixY1) {
        ASSERT_FALSE(Set(px, py)) << px << "," << py;
      }
}

TEST_F(FillsTest, ComplexPolygonUsesTheDecomposer) {
  const std::vector<float> x{50, 150, 150, 50}, y{50, 50, 150, 150};
  IGrFillStyle(4);
  SetPolygonDecomposer({});  // the toolkit's start installs the hardcopy layer's
  IGrPolygonComplex(x, y, 4);  // no decomposer: nothing filled
  EXPECT_EQ(CountSet(), 0);
  SetPolygonDecomposer([](std::span<const float>, std::span<const float>, int) {
    return std::vector<std::array<int, 3>>{{1, 2, 3}, {1, 3, 4}};
  });
  IGrPolygonComplex(x, y, 4);
  EXPECT_TRUE(Set(100, 100));
  EXPECT_TRUE(Set(60, 140));
  SetPolygonDecomposer({});
  surface.Fill(kWhitePixel);
  IGrFillStyle(0);
  IGrPolygonComplex(x, y, 4);
  EXPECT_EQ(CountSet(), 400);
}

// Upright solid rectangles go to the screen as the driver's rectangle; the
// pixels must be those of the four-point polygon with the same device
// corners, in every drawing mode, inside, across and outside the clip.
TEST_F(FillsTest, UprightTrapeziumPaintsWhatItsPolygonPaints) {
  struct Box {
    float x1, y1, x2, y2;
    int orientation;
  };
  const Box boxes[] = {{50.3f, 60.7f, 120.2f, 130.9f, 2}, {50.3f, 60.7f, 120.2f, 130.9f, 1},
                       {80.0f, 80.0f, 80.5f, 140.0f, 2},   {10.0f, 20.0f, 200.0f, 21.0f, 2},
                       {20.0f, 20.0f, 280.0f, 100.0f, 2},  {-40.0f, -10.0f, 60.0f, 299.0f, 2},
                       {260.0f, 260.0f, 290.0f, 290.0f, 2}, {0.0f, 0.0f, 299.99f, 299.99f, 1},
                       {80.0f, 80.2f, 140.0f, 80.7f, 2},   {80.2f, 80.0f, 80.6f, 140.0f, 2},
                       {80.1f, 80.1f, 80.4f, 80.4f, 2},    {80.1f, 80.1f, 80.4f, 80.4f, 1},
                       {28.5f, 44.2f, 29.3f, 44.9f, 2}};
  const char* modes[] = {"N", "O", "A", "E"};
  for (const bool clipped : {false, true}) {
    IGrArea(clipped ? 0.1f : 0.0f, clipped ? 0.15f : 0.0f, clipped ? 0.9f : 1.0f,
            clipped ? 0.8f : 1.0f);
    IGrUnits(0, 0, 299.99f, 299.99f);
    for (const char* mode : modes) {
      for (const int style : {4, 3}) {
        for (const int previous : {31, 95}) {
          if (style == 4 && previous != 31) continue;  // the second colour is the halftone's
          for (const Box& b : boxes) {
            SCOPED_TRACE(::testing::Message() << "clip " << clipped << " mode " << mode << " style "
                                            << style << " previous " << previous << " box " << b.x1
                                            << "," << b.y1 << " " << b.x2 << "," << b.y2 << " "
                                            << b.orientation);
            const bool vertical = b.orientation == 1;
            const float w = vertical ? b.y2 - b.y1 : b.x2 - b.x1;
            const float ux[4] = {b.x1, vertical ? b.x2 : b.x1 + w, b.x2, vertical ? b.x1 : b.x2 - w};
            const float uy[4] = {b.y1, vertical ? b.y2 - w : b.y1, b.y2, vertical ? b.y1 + w : b.y2};
            std::vector<float> dx(4), dy(4);
            for (int i = 0; i < 4; ++i) UserToDevice(ux[i], uy[i], dx[i], dy[i]);
            std::vector<plat::Pixel> drawn[2];
            for (int way = 0; way < 2; ++way) {
              surface.Fill(plat::Rgb(90, 160, 30));
              IGrDrawMode("N");
              IGrColourN(previous);
              IGrColourN(31);
              IGrFillStyle(style);
              IGrDrawMode(mode);
              if (way == 0)
                IGrTrapezium(b.x1, b.y1, b.x2, b.y2, w, b.orientation);
              else
                YYPLYGON(dx, dy, 4, 1);
              IGrDrawMode("N");
              drawn[way].assign(surface.Pixels().begin(), surface.Pixels().end());
            }
            ASSERT_TRUE(drawn[0] == drawn[1]);
          }
        }
      }
    }
  }
}

}  // namespace
}  // namespace tk::testing
