// Palette, colour selection and conversions.
#include <gtest/gtest.h>

#include "GraphicsTestSupport.h"
#include "toolkit/graphics/Colours.h"

namespace tk::testing {
namespace {

class ColoursTest : public GraphicsTest {};

TEST_F(ColoursTest, DefaultPaletteBlocks) {
  EXPECT_EQ(PaletteGetRgb(0), 16777215);
  EXPECT_EQ(PaletteGetRgb(223), 0);
  EXPECT_EQ(PaletteGetRgb(31), 255);
  EXPECT_EQ(PaletteGetRgb(16), 195);
  EXPECT_EQ(PaletteGetRgb(47), 191);
  EXPECT_EQ(PaletteGetRgb(159), 255 * 65536);
  EXPECT_EQ(PaletteGetRgb(239), 64 * 65793);
  EXPECT_EQ(PaletteGetRgb(240), 191 * 65793);
  const int sixteen[16] = {0, 175, 111, 143, 47, 207, 79, 239, 240, 159, 95, 127, 31, 191, 63, 223};
  for (int i = 0; i < 16; ++i) EXPECT_EQ(PaletteSlot16(i), PaletteGetRgb(sixteen[i])) << i;
  const int eight[8] = {0, 159, 95, 127, 31, 191, 63, 223};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(PaletteSlot8(i), PaletteGetRgb(eight[i])) << i;
}

TEST_F(ColoursTest, SelectionByNumber) {
  IGrColourN(256);
  EXPECT_EQ(WErrorStatusQuery(1), 42);
  EXPECT_EQ(Gs().current.number, 223);
  IGrColourN(31);
  IGrColourN(223);
  EXPECT_EQ(Gs().previous.number, 31);
  EXPECT_EQ(Gs().previous.rgb, 255);
  EXPECT_EQ(Gs().current.number, 223);
}

TEST_F(ColoursTest, SelectionByName) {
  const std::pair<const char*, int> cases[] = {
      {"red", 31},    {"RED", 31},      {"bred", 31},   {"  Red light", 31},
      {"black", 223}, {"blue", 159},    {"white", 0},   {"green", 95},
      {"cyan", 127},  {"magenta", 191}, {"yellow", 63}, {"Bright red", 31}};
  for (const auto& [name, number] : cases) {
    IGrColourN(100);
    IGrColour(name);
    EXPECT_EQ(Gs().current.number, number) << name;
  }
  for (const char* bad : {"B", "orange", ""}) {
    IGrColourN(100);
    ResetErrorState();
    IGrColour(bad);
    EXPECT_EQ(WErrorStatusQuery(1), 42) << bad;
    EXPECT_EQ(Gs().current.number, 100) << bad;
  }
}

TEST_F(ColoursTest, NumberNameAndRgbDrawTheSamePixels) {
  IGrUnits(0, 0, 99.99f, 79.99f);
  auto draw = [&](auto select) {
    surface.Fill(kWhitePixel);
    select();
    LineUserUnits(5, 5, 60, 40);
    return surface;
  };
  const plat::Surface byNumber = draw([] { IGrColourN(31); });
  const plat::Surface byName = draw([] { IGrColour("red"); });
  const plat::Surface byRgb = draw([] {
    ColourModeSet(24);
    IGrColourN(255);
    ColourModeSet(8);
  });
  EXPECT_EQ(byNumber, byName);
  EXPECT_EQ(byNumber, byRgb);
  EXPECT_EQ(byNumber.Get(5, 74), plat::Rgb(255, 0, 0));
}

TEST_F(ColoursTest, PaletteDefinitionRedrawsInTheNewColour) {
  IGrUnits(0, 0, 99.99f, 79.99f);
  IGrPaletteSetRGB(100, 65280);  // green
  IGrColourN(100);
  LineUserUnits(5, 5, 60, 5);
  EXPECT_EQ(At(10, 5), plat::Rgb(0, 255, 0));
  IGrPaletteSetRGB(100, 255);  // the current colour follows its entry
  LineUserUnits(5, 6, 60, 6);
  EXPECT_EQ(At(10, 6), plat::Rgb(255, 0, 0));
}

TEST_F(ColoursTest, SlotsBySize) {
  struct Case {
    int size, n, slot;
  };
  const Case cases[] = {{8, 16, 4},  {8, 47, 4},   {8, 5, 0},     {8, 250, 0},  {8, 208, 7},
                        {8, 239, 7}, {16, 31, 12}, {16, 47, 4},   {16, 240, 8}, {64, 100, 25},
                        {2, 7, 1},   {2, 0, 0},    {256, 77, 77}, {16, -1, -1}};
  for (const Case& c : cases) {
    Gs().paletteSize = c.size;
    EXPECT_EQ(ColourToSlot(c.n), c.slot) << c.size << " " << c.n;
  }
}

TEST_F(ColoursTest, HlsValues) {
  EXPECT_EQ(IGrHLSValue(0, 50, 100), 16711680);
  EXPECT_EQ(IGrHLSValue(120, 50, 100), 255);
  EXPECT_EQ(IGrHLSValue(240, 50, 100), 65280);
  EXPECT_EQ(IGrHLSValue(60, 50, 100), 16711935);
  EXPECT_EQ(IGrHLSValue(0, 50, 0), 127 * 65793);
  EXPECT_EQ(IGrHLSValue(400, 150, -5), 16777215);
}

TEST_F(ColoursTest, NearestColourAndHsv) {
  EXPECT_EQ(PaletteNearestColour(16777215), 0);
  EXPECT_EQ(PaletteNearestColour(0), 223);
  IGrPaletteSetRGB(200, 255);  // now red twice: 31 and 200
  EXPECT_EQ(PaletteNearestColour(255), 31);
  EXPECT_EQ(PaletteNearestColour(250), 30);  // R 251 is nearest
  float h, s, v;
  RgbToHsv(128 * 65793, h, s, v);
  EXPECT_EQ(h, 0);
  EXPECT_EQ(s, 0);
  PaletteLoadDefault();
}

TEST_F(ColoursTest, PaletteDisplayResolvesThroughSlots) {
  Open(100, 80, 256);  // a palette display with 16 slots in use
  EXPECT_EQ(IGrStateQuery(30), 16);
  EXPECT_EQ(IGrStateQuery(42), 0);
  IGrUnits(0, 0, 99.99f, 79.99f);
  IGrColourN(31);
  LineUserUnits(5, 5, 60, 5);
  EXPECT_EQ(At(10, 5), plat::Rgb(255, 0, 0));
  // The clear fills with slot 0 whatever palette entry 0 holds.
  DriverOperation clear = DriverOperation::Clear;
  YYGAPI(clear);
  EXPECT_EQ(CountSet(), 0);
  Open(100, 80);
}

}  // namespace
}  // namespace tk::testing
