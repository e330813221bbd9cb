// Strings drawn on a window surface: justification, rotation, clipping,
// current point, underline, stroke fonts through the real primitives.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/toolkit/graphics/GraphicsTestSupport.h"
#include "toolkit/graphics/ScreenText.h"
#include "toolkit/graphics/Text.h"

namespace tk {
namespace {

using testing::GraphicsTest;

struct InkBox {
  int x0 = 1 << 30, y0 = 1 << 30, x1 = -1, y1 = -1;  // device columns, rows from the bottom
  int count = 0;
  bool Empty() const { return count == 0; }
  int Width() const { return x1 - x0 + 1; }
  int Height() const { return y1 - y0 + 1; }
  float CentreX() const { return 0.5f * (x0 + x1 + 1); }
};

class TextDrawTest : public GraphicsTest {
 protected:
  void SetUp() override {
    Open(400, 300);
    IGrUnits(0, 0, 400, 300);
  }
  void Clear() { surface.Fill(testing::kWhitePixel); }
  InkBox Ink() const {
    InkBox b;
    for (int y = 0; y < surface.Height(); ++y)
      for (int x = 0; x < surface.Width(); ++x)
        if (At(x, y) != testing::kWhitePixel) {
          b.x0 = std::min(b.x0, x), b.x1 = std::max(b.x1, x);
          b.y0 = std::min(b.y0, y), b.y1 = std::max(b.y1, y);
          ++b.count;
        }
    return b;
  }
  // Realised cell width in device units.
  float CellWidth() const { return Gs().extentX / Gs().text.columns; }
};

TEST_F(TextDrawTest, JustificationPlacesTheMeasuredWidth) {
  IGrTextMode("H");
  const std::string text = "HHHHHH";
  const float width = TextWidthCells(text, 6) * CellWidth();
  ASSERT_GT(width, 20);
  const float anchor = 200;
  struct Case {
    int just;
    float expectedLeft;
  } cases[] = {{0, anchor}, {1, anchor - width / 2}, {2, anchor - width}};
  for (const Case& c : cases) {
    Clear();
    WGrTextLayout(c.just);
    WGrTextDraw(anchor, 150.0f, text);
    const InkBox ink = Ink();
    ASSERT_FALSE(ink.Empty()) << c.just;
    // The H stems sit a side bearing inside the advance box.
    EXPECT_NEAR(ink.x0, c.expectedLeft, 4) << c.just;
    EXPECT_NEAR(ink.x1 + 1, c.expectedLeft + width, 4) << c.just;
    // The ink is vertically centred on the anchor's line (capitals sit a
    // little above the cell centre).
    EXPECT_LE(ink.y0, 150 + 2) << c.just;
    EXPECT_GE(ink.y1, 150 - 2) << c.just;
  }
}

TEST_F(TextDrawTest, CurrentPointAfterJustifiedText) {
  IGrTextMode("F");
  const float wc = Gs().text.areaWidthPixels * Gs().text.charWidth;
  WGrTextLayout(0);
  WGrTextDraw(100.0f, 100.0f, "abcd");
  EXPECT_NEAR(Gs().penX, 100 + 4 * wc, 1e-3);
  EXPECT_NEAR(Gs().penY, 100, 1e-3);
  WGrTextLayout(2);
  WGrTextDraw(100.0f, 100.0f, "abcd");
  EXPECT_NEAR(Gs().penX, 100 + wc, 1e-3) << "one nominal cell past the anchor";
  WGrTextLayout(1);
  Clear();
  WGrTextDraw(100.0f, 100.0f, "");
  EXPECT_NEAR(Gs().penX, 100 + 0.5f * wc, 1e-3);
  EXPECT_EQ(CountSet(), 0);
  WGrTextDraw(std::nullopt, std::nullopt, "x");
  EXPECT_GT(CountSet(), 0) << "absent coordinates take the current point";
}

TEST_F(TextDrawTest, RotatedByNinetyDegreesSwapsTheExtents) {
  IGrTextMode("H");
  WGrTextLayout(1, 0.0f);
  WGrTextDraw(200.0f, 150.0f, "WWWWW");
  const InkBox upright = Ink();
  Clear();
  WGrTextLayout(1, 90.0f);
  WGrTextDraw(200.0f, 150.0f, "WWWWW");
  const InkBox turned = Ink();
  ASSERT_FALSE(upright.Empty());
  ASSERT_FALSE(turned.Empty());
  EXPECT_GT(upright.Width(), upright.Height());
  EXPECT_NEAR(turned.Width(), upright.Height(), 2);
  EXPECT_NEAR(turned.Height(), upright.Width(), 2);
  // Centred on the anchor along the base line, which now runs upward.
  EXPECT_NEAR(0.5f * (turned.y0 + turned.y1 + 1), 150, 3);
}

TEST_F(TextDrawTest, ScreenFontIsKeptUntilSomethingShapesItOrBeginForgetsIt) {
  IGrTextMode("H");
  const int made = ScreenFontCurrent().fontsMade;
  TextSizeApply();
  EXPECT_EQ(ScreenFontCurrent().fontsMade, made);
  WGrTextLayout(std::nullopt, 45.0f);
  EXPECT_EQ(ScreenFontCurrent().fontsMade, made + 1);
  EXPECT_EQ(ScreenFontCurrent().angle, 45);
  DriverOperation begin = DriverOperation::BeginPicture;
  YYGAPI(begin);
  TextSizeApply();
  EXPECT_EQ(ScreenFontCurrent().fontsMade, made + 2);
}

TEST_F(TextDrawTest, FixedPitchColumnsFollowTheAlphabetWidth) {
  IGrTextMode("F");
  const ScreenFontInfo info = ScreenFontCurrent();
  ASSERT_GT(info.alphabetWidth, 0);
  EXPECT_NEAR(Gs().text.columns, Gs().extentX * 52 / info.alphabetWidth, 1e-3);
  // The cell asked for was the nominal cell; the font's height is its em height.
  EXPECT_EQ(info.cellHeight, static_cast<int>(Gs().extentY / Gs().text.rows));
}

TEST_F(TextDrawTest, ProportionalModesNarrowTheCell) {
  struct Case {
    const char* mode;
    int face;
    float factor;
  } cases[] = {{"P", 2, 0.607f}, {"H", 2, 0.78f}, {"H", 4, 0.78f * 1.38f}};
  for (const Case& c : cases) {
    IGrTextMode(c.mode);
    WGrTextFont(100 + c.face);
    IGrTextMode(c.mode);
    const int nominal = static_cast<int>(Gs().extentX / Gs().text.columns);
    EXPECT_EQ(ScreenFontCurrent().cellWidth, static_cast<int>(nominal * c.factor)) << c.mode;
  }
}

TEST_F(TextDrawTest, DeviceTextIsClippedByWholeCharacters) {
  IGrTextMode("F");
  IGrArea(0.25f, 0.0f, 1.0f, 1.0f);
  IGrUnits(0, 0, 300, 300);
  IGrTextSize(0.05f, 0.08f);
  WGrTextLayout(0);
  // The anchor lies left of the plot area: the first characters are dropped.
  const float w = CellWidth();
  ASSERT_GT(w, 6);
  WGrTextDraw(-2.5f * w, 150.0f, "MMMMMMMMMM");
  const InkBox ink = Ink();
  ASSERT_FALSE(ink.Empty());
  EXPECT_GE(ink.x0, 100);
  EXPECT_LE(ink.x0, 100 + w) << "the first whole character inside is drawn";
  EXPECT_NEAR(ink.x1, 100 + 7.5f * w, w);
  // Wholly outside: nothing, but the current point moves.
  Clear();
  WGrTextDraw(-200.0f, 150.0f, "MM");
  EXPECT_EQ(CountSet(), 0);
  EXPECT_LT(Gs().penX, -100.0f);
}

TEST_F(TextDrawTest, UnderlineOfTableSpacedTextIsDrawnBelowTheLine) {
  IGrTextMode("P");
  WGrTextLayout(0);
  WGrTextDraw(100.0f, 150.0f, "mmmm");
  const InkBox plain = Ink();
  Clear();
  WGrTextFont(std::nullopt, kStyleUnderline);
  WGrTextDraw(100.0f, 150.0f, "mmmm");
  const InkBox underlined = Ink();
  const float h = Gs().extentY / Gs().text.rows;
  EXPECT_LT(underlined.y0, plain.y0);
  EXPECT_NEAR(underlined.y0, 150 - 0.45f * h, 1.5f);
}

TEST_F(TextDrawTest, OpaqueBoxFillsBehindTableSpacedText) {
  IGrTextMode("P");
  WGrTextLayout(0);
  IGrColourN(kRed);   // previous becomes black ...
  IGrColourN(kBlue);  // ... then red: the box colour
  WGrTextFont(std::nullopt, kStyleOpaque);
  WGrTextDraw(100.0f, 150.0f, "ii");
  const float h = Gs().extentY / Gs().text.rows;
  EXPECT_EQ(At(101, static_cast<int>(150 + 0.4f * h)), plat::Rgb(255, 0, 0));
  EXPECT_EQ(Gs().current.number, kBlue) << "the caller's colour is back";
  EXPECT_EQ(Gs().fillStyle, kFillOutline);
}

// The cells of an upright left-justified string from the anchor (x, y).
bool InsideCells(int px, int py, float x, float y, int n, float w, float h) {
  // One pixel of slack for the rasterisation of lines on the cell edges.
  return px >= x - 1.5f && px <= x + n * w + 1.5f && py >= y - 0.5f * h - 1.5f &&
         py <= y + 0.5f * h + 1.5f;
}

TEST_F(TextDrawTest, StandardStrokeFontDrawsOnlyInsideItsCells) {
  WGrTextFont(1);
  WGrTextLayout(0);
  const std::string text = "A!gW#8";
  WGrTextDraw(50.0f, 150.0f, text);
  const float w = Gs().text.areaWidthPixels * Gs().text.charWidth;
  const float h = Gs().text.areaHeightPixels * Gs().text.charHeight;
  ASSERT_GT(CountSet(), 20);
  for (int y = 0; y < surface.Height(); ++y) {
    for (int x = 0; x < surface.Width(); ++x) {
      if (At(x, y) != testing::kWhitePixel) {
        ASSERT_TRUE(InsideCells(x, y, 50, 150, static_cast<int>(text.size()), w, h))
            << x << "," << y;
      }
    }
  }
  // Each character lands in its own cell.
  for (int i = 0; i < static_cast<int>(text.size()); ++i) {
    int inCell = 0;
    for (int y = 0; y < surface.Height(); ++y)
      for (int x = static_cast<int>(50 + i * w); x < static_cast<int>(50 + (i + 1) * w); ++x)
        inCell += At(x, y) != testing::kWhitePixel;
    EXPECT_GT(inCell, 0) << text[i];
  }
}

TEST_F(TextDrawTest, StrokedBoldDoublesTheLineWidthAndKeepsTheAdvance) {
  WGrTextFont(1);
  WGrTextLayout(0);
  std::vector<int> widths;
  RegisterHardcopyDriver(10, [&](DriverOperation& op) {
    if (op == DriverOperation::LineWidth) widths.push_back(Gs().hardcopyLineWidth);
  });
  Gs().hardcopyOn = 1;
  WGrTextDraw(50.0f, 150.0f, "HIL");
  const int thin = CountSet();
  const float penThin = Gs().penX;
  EXPECT_TRUE(widths.empty());
  Clear();
  WGrTextFont(std::nullopt, kStyleBold);
  WGrTextDraw(50.0f, 150.0f, "HIL");
  EXPECT_GT(CountSet(), thin * 3 / 2);
  EXPECT_FLOAT_EQ(Gs().penX, penThin);
  EXPECT_EQ(widths, (std::vector<int>{10, 5}));
  EXPECT_EQ(Gs().screenLineWidth, 1);
}

TEST_F(TextDrawTest, FilledBoldLoadsTheBoldFontAndKeepsTheAdvance) {
  WGrTextFont(1);
  StrokeFontSwiss();
  WGrTextFont(std::nullopt, 0, std::nullopt, 0.08f);
  WGrTextLayout(0);
  WGrTextDraw(50.0f, 150.0f, "HIL");
  const int regular = CountSet();
  const float penRegular = Gs().penX;
  EXPECT_EQ(Gs().fillStyle, kFillOutline);
  EXPECT_EQ(Gs().glyphFill, 0);
  Clear();
  WGrTextFont(std::nullopt, kStyleBold);
  EXPECT_EQ(Gs().fonts.current.TrimmedName(), "swissbld.chr");
  WGrTextDraw(50.0f, 150.0f, "HIL");
  EXPECT_GT(CountSet(), regular);
  EXPECT_FLOAT_EQ(Gs().penX, penRegular);
}

TEST_F(TextDrawTest, RasterTargetSubstitutesAStrokeFontForOneCall) {
  IGrTextMode("H");
  WGrTextFont(std::nullopt, kStyleItalic);
  DriverParams().deviceTextMaximum[0] = 0.0f;
  DriverParams().textAngles[0] = 0;
  EXPECT_TRUE(TextUseStrokeFont(0, 10, 10));
  WGrTextLayout(0);
  WGrTextDraw(50.0f, 150.0f, "Wave");
  EXPECT_GT(CountSet(), 0);
  EXPECT_EQ(Gs().fonts.current.TrimmedName(), "standard.chr");
  EXPECT_EQ(Gs().text.strokeFamily, 0);
  EXPECT_EQ(Gs().text.slant, 0.0f);
  DriverParams().deviceTextMaximum[0] = 1.7e38f;
  DriverParams().textAngles[0] = 360;
}

TEST_F(TextDrawTest, DashedCallerLineTypeIsRestored) {
  WGrTextFont(1);
  IGrLineType(3);
  WGrTextDraw(50.0f, 150.0f, "H");
  EXPECT_EQ(Gs().lineType, 3);
}

TEST_F(TextDrawTest, VerticalDeviceTextStacksDownward) {
  IGrTextMode("F");
  WGrTextLayout(0, 0.0f, 1);
  WGrTextDraw(200.0f, 250.0f, "MMM");
  const InkBox ink = Ink();
  Gs().text.vertical = 0;
  ASSERT_FALSE(ink.Empty());
  EXPECT_GT(ink.Height(), 2 * ink.Width());
  EXPECT_LE(ink.y1, 250 + 4) << "the first cell hangs below the anchor";
}

}  // namespace
}  // namespace tk

namespace tk {
namespace {

class ScreenTextOpsTest : public testing::GraphicsTest {
 protected:
  void SetUp() override { Open(400, 300); }
};

TEST_F(ScreenTextOpsTest, WidthOperationMeasuresThePrefix) {
  IGrTextMode("H");
  DriverParameters& dp = DriverParams();
  struct Case {
    int length;
    std::string_view expectPrefix;
  } cases[] = {{-4, ""}, {0, ""}, {3, "Vel"}, {500, ""}};
  for (const Case& c : cases) {
    dp.text = std::string("Velloran").append(kDriverTextLength - 8, ' ');
    dp.P2 = c.length;
    dp.P1 = 0;
    DriverOperation op = DriverOperation::TextWidth;
    YYGAPI(op);
    EXPECT_EQ(dp.P1, 1) << c.length;
    if (c.length <= 3)
      EXPECT_EQ(dp.X[0], static_cast<float>(ScreenFontCurrent().font->TextWidth(c.expectPrefix)))
          << c.length;
    else
      EXPECT_GT(dp.X[0], 0) << "clamped to the buffer";
  }
}

TEST_F(ScreenTextOpsTest, TableSpacingDropsTheFontUnderline) {
  IGrTextMode("P");
  WGrTextFont(std::nullopt, kStyleUnderline);
  ASSERT_TRUE(ScreenFontCurrent().font);
  EXPECT_FALSE(ScreenFontCurrent().font->Spec().underline);
  IGrTextMode("H");
  WGrTextFont(std::nullopt, kStyleUnderline);
  EXPECT_TRUE(ScreenFontCurrent().font->Spec().underline);
}

TEST_F(ScreenTextOpsTest, BadJustificationDrawsNothingButReportsTheRun) {
  IGrTextMode("H");
  DriverParameters& dp = DriverParams();
  Gs().text.hJustify = 7;
  dp.text = std::string("Wave").append(kDriverTextLength - 4, ' ');
  dp.KX[0] = 4;
  dp.KX[3] = 1;
  dp.X[0] = dp.X[2] = 100;
  dp.Y[0] = dp.Y[2] = 100;
  DriverOperation op = DriverOperation::Text;
  YYGAPI(op);
  EXPECT_EQ(dp.KX[3], 0);
  EXPECT_EQ(CountSet(), 0);
  Gs().text.hJustify = 0;
  dp.KX[0] = -5;
  YYGAPI(op);
  EXPECT_EQ(CountSet(), 0) << "a negative count draws nothing";
}

}  // namespace
}  // namespace tk
