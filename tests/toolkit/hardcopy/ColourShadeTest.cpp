// Colour to dither words: dot counts, placement, row spreading, channels
// and the colour-handling option.
#include <gtest/gtest.h>

#include <bit>

#include "tests/toolkit/graphics/GraphicsTestSupport.h"
#include "toolkit/hardcopy/ColourShade.h"
#include "toolkit/hardcopy/HardcopyOptions.h"

namespace tk::testing {
namespace {

class ColourShadeTest : public GraphicsTest {
 protected:
  struct Words {
    std::uint32_t w1, w2, w3;
  };
  /// The words of RGB at MODE on a device of COLOURS with option 6 OPTION6.
  static Words Shade(int rgb, int colours, int option6, int mode = 1) {
    Gs().colourMode = 2;
    Gs().current = {-1, rgb, 0};
    DriverParams().deviceColours = colours;
    HardcopyOptionStore(6, option6);
    std::int32_t a = 0, b = 0, c = 0;
    ColourToShade(mode, a, b, c);
    return {static_cast<std::uint32_t>(a), static_cast<std::uint32_t>(b),
            static_cast<std::uint32_t>(c)};
  }
  static int Dots(std::uint32_t w) { return std::popcount(w); }
};

TEST_F(ColourShadeTest, TableOfColours) {
  struct Case {
    const char* name;
    int rgb, colours, option6, mode;
    int dots1, dots2, dots3;
  };
  const Case cases[] = {
      {"black, monochrome", 0x000000, 2, 0, 1, 0, 0, 0},
      {"white, monochrome", 0xFFFFFF, 2, 0, 1, 32, 32, 32},
      // Weights 0.35 + 0.59 + 0.11 = 1.05: 128 gives 17 dots, not 16.
      {"mid grey, monochrome", 0x808080, 2, 0, 1, 17, 17, 17},
      {"mid grey inverted and complemented", 0x808080, 2, 1, 1, 15, 15, 15},
      {"black with option 2 becomes white, complemented", 0x000000, 2, 2, 1, 0, 0, 0},
      {"pure red, colour", 0x0000FF, 256, 0, 1, 32, 0, 0},
      {"pure blue, colour", 0xFF0000, 256, 0, 1, 0, 0, 32},
      {"red in mode 2 is cyan", 0x0000FF, 256, 0, 2, 0, 32, 32},
      {"near white with option 2, colour", 0xFAFAFA, 256, 2, 1, 1, 1, 1},
      {"near white with option 2, mode 2", 0xFAFAFA, 256, 2, 2, 32, 32, 32},
      {"option 1 inverts every colour", 0x0000FF, 256, 1, 1, 0, 32, 32},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Words w = Shade(c.rgb, c.colours, c.option6, c.mode);
    EXPECT_EQ(Dots(w.w1), c.dots1);
    EXPECT_EQ(Dots(w.w2), c.dots2);
    EXPECT_EQ(Dots(w.w3), c.dots3);
  }
}

TEST_F(ColourShadeTest, MidGreyIsACheckerboardWithOneMoreDot) {
  // Placement from bit 24 every other bit, the last dot at bit 31, then the
  // second and third rows turned away from the first.
  EXPECT_EQ(Shade(0x808080, 2, 0).w1, 0xD555AA55u);
}

TEST_F(ColourShadeTest, NearGreysTakeTheRedWord) {
  const Words grey = Shade(0x656664, 256, 0);  // r 100, g 102, b 101
  EXPECT_EQ(grey.w2, grey.w1);
  EXPECT_EQ(grey.w3, grey.w1);
  EXPECT_EQ(grey.w1, DitherWord(100 / 255.0f, 2));
  const Words tinted = Shade(0x686664, 256, 0);  // r 100, b 104: not a grey
  EXPECT_EQ(tinted.w1, DitherWord(100 / 255.0f, 2));
  EXPECT_EQ(tinted.w2, DitherWord(102 / 255.0f, 3));
  EXPECT_EQ(tinted.w3, DitherWord(104 / 255.0f, 4));
}

TEST_F(ColourShadeTest, EveryLevelLightsItsDotCount) {
  for (int seed : {2, 3, 4}) {
    for (int n = 0; n <= 32; ++n) {
      SCOPED_TRACE(std::to_string(seed) + "/" + std::to_string(n));
      const float level = static_cast<float>(n) / 32.0f;
      EXPECT_EQ(Dots(DitherWord(level, seed)), level > 0.975f ? 32 : n);
    }
  }
}

}  // namespace
}  // namespace tk::testing
