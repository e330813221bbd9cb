// Colour to dither words: dot placement by runs and skips, then the rows of
// the cell moved apart so that equal rows do not line up into stripes.
#include "toolkit/hardcopy/ColourShade.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "toolkit/graphics/Colours.h"
#include "toolkit/graphics/Drivers.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/hardcopy/HardcopyOptions.h"

namespace tk {
namespace {

std::uint8_t RotateLeft(std::uint8_t b, int bits) {
  bits %= 8;
  if (bits == 0) return b;
  return static_cast<std::uint8_t>((b << bits) | (b >> (8 - bits)));
}

// Rows that repeat the row above them are turned, and rows above that then
// repeat a turned row are turned back out of line.
std::uint32_t SpreadRows(std::uint32_t w, int seed) {
  std::array<std::uint8_t, 5> row{};  // rows 1-4
  for (int i = 1; i <= 4; ++i) row[i] = static_cast<std::uint8_t>(w >> (8 * (i - 1)));
  for (int j = 1; j <= 3; ++j) {
    if (row[j] == 0 || row[j] == 255) continue;
    for (int m = j + 1; m <= 4; ++m) {
      if (row[m] == row[j]) row[m] = RotateLeft(row[m], seed + 1);
      for (int t = m - 1; t >= 1; --t)
        if (row[t] == row[m]) row[t] = RotateLeft(row[t], seed);
    }
  }
  return row[1] | (static_cast<std::uint32_t>(row[2]) << 8) |
         (static_cast<std::uint32_t>(row[3]) << 16) | (static_cast<std::uint32_t>(row[4]) << 24);
}

}  // namespace

std::uint32_t DitherWord(float level, int seed) {
  int n = static_cast<int>(std::trunc(level * 32.0f + 0.5f));
  if (n <= 0) return 0;
  if (level > 0.975f) return 0xFFFFFFFFu;
  n = std::min(n, 32);
  const int run = std::max(1, n / std::max(1, 32 - n));
  const int skip = std::max(1, (32 - n) / std::max(1, n));
  std::uint32_t w = 0;
  const auto clear = [&](int bit) { return (w & (1u << bit)) == 0; };
  int p = ((n / seed) * (seed + 1)) % 32;
  int count = 0;
  for (int i = 0; i < 32; ++i) {
    if (clear(p) && n > 0 && count < run) {
      w |= 1u << p;
      ++count;
      --n;
      p = (p + 1) % 32;
    } else {
      p = (p + skip) % 32;
      count = 0;
    }
  }
  for (int i = 0; i < 32 && n > 0; ++i) {
    if (clear(i)) {
      w |= 1u << i;
      if (--n == 0) break;
    }
    if (clear(31 - i)) {
      w |= 1u << (31 - i);
      if (--n == 0) break;
    }
  }
  return SpreadRows(w, seed);
}

void ColourToShade(int mode, std::int32_t& w1, std::int32_t& w2, std::int32_t& w3) {
  const GraphicsState& gs = Gs();
  const std::int32_t colours = DriverParams().deviceColours;
  const int option6 = HardcopyOption(6);
  int r = 0, g = 0, b = 0;
  ColourToRgb(gs.colourMode == 1 ? gs.current.number : gs.current.rgb, r, g, b);
  const bool nearBlack = r < 10 && g < 10 && b < 10;
  const bool nearWhite = r > 245 && g > 245 && b > 245;
  const auto invert = [&] { r = 255 - r, g = 255 - g, b = 255 - b; };
  if (option6 == 1 || (option6 == 2 && (nearBlack || nearWhite))) invert();
  if (colours > 2 && mode == 2) invert();
  if (colours == 2) {
    const float level = (0.35f * r + 0.59f * g + 0.11f * b) / 255.0f;
    std::uint32_t w = DitherWord(level, 2);
    if (option6 > 0) w = ~w;
    w1 = w2 = w3 = static_cast<std::int32_t>(w);
    return;
  }
  const auto word = [](int component, int seed) {
    return static_cast<std::int32_t>(DitherWord(static_cast<float>(component) / 255.0f, seed));
  };
  w1 = word(r, 2);
  if (std::max({r, g, b}) - std::min({r, g, b}) < 4) {
    w2 = w3 = w1;
    return;
  }
  w2 = word(g, 3);
  w3 = word(b, 4);
}

}  // namespace tk
