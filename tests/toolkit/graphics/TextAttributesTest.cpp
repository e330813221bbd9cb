// Text attributes: fonts, styles, modes, angles, the width table and measurement.
#include <gtest/gtest.h>

#include "tests/toolkit/graphics/GraphicsTestSupport.h"
#include "toolkit/graphics/ScreenText.h"
#include "toolkit/graphics/Text.h"

namespace tk {
namespace {

using testing::GraphicsTest;

class TextAttributesTest : public GraphicsTest {
 protected:
  void SetUp() override { Open(400, 300); }
  TextAttributes& T() { return Gs().text; }
};

TEST_F(TextAttributesTest, ResetGivesTheDocumentedAttributes) {
  EXPECT_FLOAT_EQ(T().charWidth, 0.01333333f);
  EXPECT_FLOAT_EQ(T().charHeight, 0.04f);
  EXPECT_EQ(T().deviceFace, 1);
  EXPECT_EQ(T().spacingMode, 0);
  EXPECT_EQ(T().hJustify, 1);
  EXPECT_EQ(T().vJustify, 2);
  EXPECT_FLOAT_EQ(T().charWidths['W'], 1.50f);
  EXPECT_FLOAT_EQ(T().charWidths[127], 0.74f);
  EXPECT_FLOAT_EQ(T().charWidths[255], 0.83f);
  EXPECT_EQ(IGrStateQuery(39), 8);
  EXPECT_GT(T().columns, 0);
  EXPECT_GT(T().rows, 0);
}

TEST_F(TextAttributesTest, TextModeAndStyleChooseFaceAndBits) {
  IGrTextMode("F");
  EXPECT_EQ(T().spacingMode, 0);
  EXPECT_EQ(T().deviceFace, 1);
  IGrTextStyle(6);
  EXPECT_EQ(T().deviceFace, 1);
  EXPECT_EQ(T().styleBits, kStyleItalic);

  IGrTextMode("p");
  EXPECT_EQ(T().spacingMode, 1);
  EXPECT_EQ(T().deviceFace, 2);
  struct Case {
    int style, face, bits;
  } cases[] = {{1, 2, 0}, {2, 2, 2}, {3, 2, 1}, {4, 2, 3},
               {5, 3, 0}, {8, 3, 3}, {9, 4, 0}, {12, 4, 3}};
  for (const Case& c : cases) {
    IGrTextStyle(c.style);
    EXPECT_EQ(T().deviceFace, c.face) << c.style;
    EXPECT_EQ(T().styleBits, c.bits) << c.style;
  }
  IGrTextMode("H");
  EXPECT_EQ(T().spacingMode, 2);
}

TEST_F(TextAttributesTest, StyleKeepsTheUnderlineBit) {
  WGrTextFont(std::nullopt, kStyleUnderline | kStyleOpaque);
  IGrTextStyle(3);
  EXPECT_EQ(T().styleBits, kStyleUnderline | kStyleBold);
}

TEST_F(TextAttributesTest, AnglesAreNormalised) {
  struct Case {
    float in, out;
  } cases[] = {{-30, 330}, {720, 0}, {90, 90}, {-720, 0}, {359.5f, 359.5f}, {1e30f, 0}};
  for (const Case& c : cases) {
    WGrTextLayout(std::nullopt, c.in);
    EXPECT_GE(T().angle, 0.0f) << c.in;
    EXPECT_LT(T().angle, 360.0f) << c.in;
    if (c.in != 1e30f) {
      EXPECT_NEAR(T().angle, c.out, 1e-3) << c.in;
    }
  }
  WGrTextLayout(std::nullopt, 90.0f);
  EXPECT_NEAR(T().cosA, 0, 1e-6);
  EXPECT_NEAR(T().qSinA, TextAspectFactor(), 1e-5);
  WGrTextLayout(std::nullopt, std::numeric_limits<float>::quiet_NaN());
  EXPECT_EQ(T().angle, 0.0f);
  WGrTextLayout(5);
  EXPECT_EQ(T().hJustify, 1);
  WGrTextLayout(0);
  EXPECT_EQ(T().hJustify, 0);
}

TEST_F(TextAttributesTest, FamilySelection) {
  WGrTextFont(1);
  EXPECT_EQ(T().strokeFamily, 1);
  EXPECT_EQ(T().spacingMode, 0);  // the standard font's default
  EXPECT_EQ(Gs().fonts.current.TrimmedName(), "standard.chr");

  WGrTextFont(103);
  EXPECT_EQ(T().strokeFamily, 0);
  EXPECT_EQ(T().deviceFace, 3);
  EXPECT_EQ(T().spacingMode, 2);
  WGrTextFont(101);
  EXPECT_EQ(T().deviceFace, 1);
  EXPECT_EQ(T().spacingMode, 0);
  WGrTextFont(std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt, 2);
  EXPECT_EQ(T().spacingMode, 0) << "face 1 stays fixed pitch";
  WGrTextFont(102);
  WGrTextFont(std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt, 2);
  EXPECT_EQ(T().spacingMode, 1);
  WGrTextFont(std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt, 1);
  EXPECT_EQ(T().spacingMode, 1) << "fixed pitch is only for face 0 or strokes";
  WGrTextFont(std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt, 0);
  EXPECT_EQ(T().spacingMode, 2);
  WGrTextFont(999);
  EXPECT_EQ(T().deviceFace, 2);
}

TEST_F(TextAttributesTest, UserFaceWithoutANameIsAnError) {
  WGrTextFont(100);
  EXPECT_EQ(ErrorState().lastError, 1058);
  EXPECT_EQ(T().deviceFace, 0);
  EXPECT_EQ(T().substituteFace, 2);
  ResetErrorState();
  WGrTextFont(std::nullopt, std::nullopt, std::nullopt, std::nullopt, "Arial");
  EXPECT_EQ(ErrorState().lastError, 0);
  EXPECT_EQ(T().userFace.substr(0, 6), "Arial ");
  EXPECT_EQ(T().userFace.size(), 100u);
}

TEST_F(TextAttributesTest, SizeNotAboveZeroKeepsOrResets) {
  WGrTextFont(std::nullopt, std::nullopt, 0.02f, -1.0f);
  EXPECT_FLOAT_EQ(T().charWidth, 0.02f);
  EXPECT_FLOAT_EQ(T().charHeight, 0.04f);
  IGrTextSize(0, 0.05f);
  EXPECT_FLOAT_EQ(T().charWidth, 0.01333333f);
  EXPECT_FLOAT_EQ(T().charHeight, 0.05f);
}

TEST_F(TextAttributesTest, FilledStrokeBoldLoadsTheBoldFont) {
  WGrTextFont(1);
  StrokeFontSwiss();
  WGrTextFont(std::nullopt, kStyleBold);
  EXPECT_EQ(Gs().fonts.current.TrimmedName(), "swissbld.chr");
  WGrTextFont(std::nullopt, kStyleItalic);
  EXPECT_EQ(Gs().fonts.current.TrimmedName(), "swiss.chr");
  EXPECT_FLOAT_EQ(T().slant, 0.4663f);
}

TEST_F(TextAttributesTest, WidthTableMeasurement) {
  IGrTextMode("P");
  EXPECT_NEAR(TextWidthCells("Wi", 2), 1.96f, 1e-5);
  IGrTextMode("F");
  EXPECT_FLOAT_EQ(TextWidthCells("Wi", 2, 1), 2.0f);
  EXPECT_FLOAT_EQ(TextWidthCells("Wi", 99, 1), 2.0f) << "count clamped to the text";
  EXPECT_FLOAT_EQ(TextWidthCells("Wi", -3, 1), 0.0f);
  IGrTextMode("P");
  EXPECT_NEAR(TextWidthCells("\x01\x7f", 2), 1.40f, 1e-5) << "unmapped codes are spaces";
}

TEST_F(TextAttributesTest, YYCHSPACEResetsEntries) {
  T().charWidths['A'] = 5;
  T().charWidths[127] = 5;
  YYCHSPACE('A');
  EXPECT_FLOAT_EQ(T().charWidths['A'], 1.11f);
  YYCHSPACE(128);
  EXPECT_FLOAT_EQ(T().charWidths[127], 0.74f);
  for (int bad : {127, 5, 150, 256, -1}) {
    ResetErrorState();
    YYCHSPACE(bad);
    EXPECT_EQ(ErrorState().lastError, 66) << bad;
  }
}

TEST_F(TextAttributesTest, DeviceMeasurementFollowsTheFontAdvances) {
  IGrTextMode("H");
  const ScreenFontInfo info = ScreenFontCurrent();
  ASSERT_TRUE(info.font);
  const float cellWidth = Gs().extentX / T().columns;
  const float w = TextWidthCells("Velloran", 8);
  EXPECT_NEAR(w * cellWidth, info.font->TextWidth("Velloran"), 0.01);
  EXPECT_LT(TextWidthCells("Vel", 3), w) << "grows with the string";
  EXPECT_LT(TextWidthCells("iii", 3), TextWidthCells("WWW", 3)) << "proportional";
  const float small = w * cellWidth;
  IGrTextSize(0.03f, 0.08f);
  const float large = TextWidthCells("Velloran", 8) * Gs().extentX / T().columns;
  EXPECT_GT(large, small * 1.5f) << "grows with the size";
}

}  // namespace
}  // namespace tk
