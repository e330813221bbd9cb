// Palette, colour selection and the colour conversions.
#include "toolkit/graphics/Colours.h"

#include <cctype>
#include <cmath>
#include <string>

#include "toolkit/core/Errors.h"
#include "toolkit/graphics/Drivers.h"
#include "toolkit/graphics/Graphics.h"

namespace tk {
namespace {

constexpr int kErrColour = 42;

struct PaletteStore {
  std::array<int, 256> rgb{};
  std::array<float, 256> value{};
  std::array<float, 256> coneX{};
  std::array<float, 256> coneY{};
  std::array<int, 8> slot8{};
  std::array<int, 16> slot16{};
  std::array<int, 256> slotSized{};
};

PaletteStore& Store() {
  static PaletteStore s;
  return s;
}

// Device slot order of the eight hue blocks (light, red, yellow, green,
// cyan, blue, magenta, dark).
constexpr std::array<int, 8> kColourOrder{0, 4, 6, 2, 3, 1, 5, 7};
constexpr std::array<int, 16> kSixteen{0,   175, 111, 143, 47, 207, 79, 239,
                                       240, 159, 95,  127, 31, 191, 63, 223};
constexpr std::array<int, 8> kEight{0, 159, 95, 127, 31, 191, 63, 223};

int Pack(int r, int g, int b) {
  return r + 256 * g + 65536 * b;
}

int HueBlock(int n) {
  return ((n + 16) / 32) % 8;
}

void UpdateCone(int n) {
  PaletteStore& s = Store();
  float h, sat, v;
  RgbToHsv(s.rgb[n], h, sat, v);
  s.value[n] = v;
  s.coneX[n] = sat * v * std::cos(h);
  s.coneY[n] = sat * v * std::sin(h);
}

bool InRange(int i, std::size_t n) {
  return i >= 0 && static_cast<std::size_t>(i) < n;
}

}  // namespace

void PaletteLoadDefault() {
  PaletteStore& s = Store();
  for (int b = 0; b < 16; ++b) {
    for (int k = 0; k < 16; ++k) {
      const int up = 195 + 4 * k, dark = 131 + 4 * k;
      int r = 0, g = 0, bl = 0;
      switch (b) {
        case 0:
          r = g = bl = 255 - 4 * k;
          break;
        case 1:
          r = up;
          break;
        case 2:
          r = dark;
          break;
        case 3:
          r = g = up;
          break;
        case 4:
          r = g = dark;
          break;
        case 5:
          g = up;
          break;
        case 6:
          g = dark;
          break;
        case 7:
          g = bl = up;
          break;
        case 8:
          g = bl = dark;
          break;
        case 9:
          bl = up;
          break;
        case 10:
          bl = dark;
          break;
        case 11:
          r = bl = up;
          break;
        case 12:
          r = bl = dark;
          break;
        case 13:
          r = g = bl = 60 - 4 * k;
          break;
        case 14:
          r = g = bl = 124 - 4 * k;
          break;
        default:
          r = g = bl = 191 - 4 * k;
          break;
      }
      s.rgb[16 * b + k] = Pack(r, g, bl);
    }
  }
  for (int i = 0; i < 8; ++i) s.slot8[i] = s.rgb[kEight[i]];
  for (int i = 0; i < 16; ++i) s.slot16[i] = s.rgb[kSixteen[i]];
  const int size = Gs().paletteSize;
  if (size >= 32 && size <= 128) {
    const int step = 256 / size;
    for (int i = 0; i < size; ++i) {
      const int j = i * step;
      s.slotSized[i] = s.rgb[(j < 16 || j >= 240) ? j : j + step - 1];
    }
  }
  for (int n = 0; n < 256; ++n) UpdateCone(n);
}

int PaletteGetRgb(int n) {
  return InRange(n, 256) ? Store().rgb[n] : 0;
}
int PaletteSlot8(int i) {
  return InRange(i, 8) ? Store().slot8[i] : 0;
}
int PaletteSlot16(int i) {
  return InRange(i, 16) ? Store().slot16[i] : 0;
}
int PaletteSlot256(int i) {
  return InRange(i, 256) ? Store().slotSized[i] : 0;
}

void PaletteEntryStore(int n, int rgb) {
  if (!InRange(n, 256)) return;
  PaletteStore& s = Store();
  s.rgb[n] = rgb;
  const int slot = kColourOrder[HueBlock(n)];
  s.slot8[slot] = rgb;
  s.slot16[slot + (((n / 16) % 2) ? 8 : 0)] = rgb;
  const int size = Gs().paletteSize;
  if (size >= 32 && size <= 128) s.slotSized[n * size / 256] = rgb;
  UpdateCone(n);
}

void RgbSplit(int rgb, int& r, int& g, int& b) {
  r = rgb & 0xFF;
  g = (rgb >> 8) & 0xFF;
  b = (rgb >> 16) & 0xFF;
}

void RgbToHsv(int rgb, float& hue, float& saturation, float& value) {
  int ri, gi, bi;
  RgbSplit(rgb, ri, gi, bi);
  const float r = ri / 255.0f, g = gi / 255.0f, b = bi / 255.0f;
  const float mx = std::max({r, g, b}), mn = std::min({r, g, b});
  value = std::max({ri, gi, bi}) / 255.0f;
  if (mx == mn) {
    hue = 0;
    saturation = 0;
    return;
  }
  const float d = mx - mn;
  constexpr float kTol = 0.039f;
  auto near = [](float a, float c) { return std::fabs(a - c) <= kTol; };
  float sextant;
  if (near(r, mx))
    sextant = near(g, mn) ? 5 + (mx - b) / d : 1 - (mx - g) / d;
  else if (near(g, mx))
    sextant = near(b, mn) ? 1 + (mx - r) / d : 3 - (mx - b) / d;
  else
    sextant = near(r, mn) ? 3 + (mx - g) / d : 5 - (mx - r) / d;
  hue = sextant * 60.0f * 0.017453292f;
  saturation = d / value;
}

int PaletteNearestColour(int rgb) {
  const PaletteStore& s = Store();
  for (int n = 0; n < 256; ++n)
    if (s.rgb[n] == rgb) return n;
  float h, sat, v;
  RgbToHsv(rgb, h, sat, v);
  const float x = sat * v * std::cos(h), y = sat * v * std::sin(h);
  int best = 0;
  float bestDistance = 9999999.0f;
  for (int n = 0; n < 256; ++n) {
    const float dv = s.value[n] - v, dx = s.coneX[n] - x, dy = s.coneY[n] - y;
    const float dist = dv * dv + dx * dx + dy * dy;
    if (dist < bestDistance) {
      bestDistance = dist;
      best = n;
    }
  }
  return best;
}

int ColourToSlot(int n) {
  if (n == -1) return -1;
  if (n == 0) return 0;
  const int size = Gs().paletteSize;
  switch (size) {
    case 2:
      return 1;
    case 8:
      return kColourOrder[HueBlock(n)];
    case 16:
      return kColourOrder[HueBlock(n)] + (((n / 16) % 2) ? 8 : 0);
    case 32:
    case 64:
    case 128:
      return n * size / 256;
    default:
      return n;
  }
}

void ColourToRgb(int colour, int& r, int& g, int& b) {
  RgbSplit(Gs().colourMode == 1 ? PaletteGetRgb(colour) : colour, r, g, b);
}

void ColourDirectSet(int number, int rgb, int slot, int target) {
  GraphicsState& gs = Gs();
  gs.previous = gs.current;
  gs.current = {number, rgb, slot};
  if (target != 2) ScreenDriverCall(DriverOperation::Colour);
  if (target != 1) HardcopyDriverCall(DriverOperation::Colour);
}

void ColourModeSet(int bits) {
  GraphicsState& gs = Gs();
  gs.colourMode = bits == 24 ? 2 : 1;
  if (gs.colourMode == 1) {
    for (StateColour* c : {&gs.previous, &gs.current})
      if (c->number == -1) {
        c->number = PaletteNearestColour(c->rgb);
        c->slot = ColourToSlot(c->number);
      }
  }
}

void IGrColourN(int COLOUR) {
  GraphicsState& gs = Gs();
  const DriverParameters& dp = DriverParams();
  int number, rgb;
  if (gs.colourMode == 1) {
    if (COLOUR < 0 || COLOUR > 255) {
      ReportLibraryError(kErrColour, "IGrColourN");
      return;
    }
    number = COLOUR;
    rgb = PaletteGetRgb(COLOUR);
  } else {
    rgb = COLOUR;
    const bool needNumber =
        (gs.screenOn && !dp.trueColour[0]) || (gs.hardcopyOn && !dp.trueColour[1]);
    number = needNumber ? PaletteNearestColour(COLOUR) : -1;
  }
  ColourDirectSet(number, rgb, ColourToSlot(number), 0);
}

void IGrColour(std::string_view NAME) {
  std::size_t first = NAME.find_first_not_of(' ');
  std::string word;
  if (first != std::string_view::npos) {
    const std::size_t end = NAME.find(' ', first);
    word = std::string(NAME.substr(first, end == std::string_view::npos ? end : end - first));
  }
  word.resize(4, ' ');
  word.resize(4);
  for (char& c : word) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  std::string_view w = word;
  if (w[0] == 'B' && w[1] != 'L') w.remove_prefix(1);
  static constexpr std::array<int, 8> kNumbers{kBlack, kBlue,    kGreen,  kCyan,
                                               kRed,   kMagenta, kYellow, kWhite};
  static constexpr std::array<int, 8> kRgb{0,   16711680, 65280, 16776960,
                                           255, 16711935, 65535, 16777215};
  int index = -1;
  if (w.substr(0, 3) == "BLA") {
    index = 0;
  } else if (w.substr(0, 3) == "BLU") {
    index = 1;
  } else {
    const std::size_t p = std::string_view("GCRMYW").find(w[0]);
    if (p != std::string_view::npos && w[0] != ' ') index = 2 + static_cast<int>(p);
  }
  if (index < 0) {
    ReportLibraryError(kErrColour, "IGrColour");
    return;
  }
  IGrColourN(Gs().colourMode == 1 ? kNumbers[index] : kRgb[index]);
}

void IGrPaletteSetRGB(int N, int RGB, int FLAG) {
  if (N < 0 || N > 255) return;  // callers guarantee a palette number
  DriverParameters& dp = DriverParams();
  dp.KX[0] = RGB;
  dp.KX[3] = FLAG;
  dp.P2 = ColourToSlot(N);
  dp.P1 = N;
  ScreenDriverCall(DriverOperation::PaletteEntry);
  HardcopyDriverCall(DriverOperation::PaletteEntry);
  PaletteEntryStore(N, RGB);
}

int IGrHLSValue(int HUE, int LIGHTNESS, int SATURATION) {
  const int h = std::clamp(HUE, 0, 359), l = std::clamp(LIGHTNESS, 0, 100),
            s = std::clamp(SATURATION, 0, 100);
  if (s == 0) {
    const int c = l * 255 / 100;
    return Pack(c, c, c);
  }
  const float L = l / 100.0f, S = s / 100.0f;
  float m1, m2;
  if (l < 50) {
    m1 = (1 - S) * L;
    m2 = (1 + S) * L;
  } else {
    m1 = (1 + S) * L - S;
    m2 = (1 - S) * L + S;
  }
  auto channel = [&](float x) {
    const float xp = std::fmod(x + 360.0f, 360.0f);
    float v;
    if (xp < 60)
      v = m1 + (m2 - m1) * xp / 60;
    else if (xp < 180)
      v = m2;
    else if (xp < 240)
      v = m1 + (m2 - m1) * (240 - xp) / 60;
    else
      v = m1;
    return std::clamp(static_cast<int>(v * 255.0f), 0, 255);
  };
  return Pack(channel(static_cast<float>(h)), channel(h - 120.0f), channel(h + 120.0f));
}

void IGrPaletteSetHLS(int N, int HUE, int LIGHTNESS, int SATURATION, int FLAG) {
  IGrPaletteSetRGB(N, IGrHLSValue(HUE, LIGHTNESS, SATURATION), FLAG);
}

}  // namespace tk
