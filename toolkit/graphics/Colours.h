#pragma once
// The 256-entry palette, the device-slot tables of small display palettes
// and the conversions between colour numbers, RGB and slots.
#include <array>
#include <cstdint>

namespace tk {

/// Colours of the default palette by name.
enum PaletteNumber : int {
  kWhite = 0,
  kRed = 31,
  kYellow = 63,
  kGreen = 95,
  kCyan = 127,
  kBlue = 159,
  kMagenta = 191,
  kBlack = 223,
};

/// Fills the palette with its default contents, the slot tables and the cone points.
void PaletteLoadDefault();
/// The RGB of palette entry N (0-255).
int PaletteGetRgb(int n);
/// The RGB held for device slot I of the 8-slot, 16-slot and sized tables.
int PaletteSlot8(int i);
int PaletteSlot16(int i);
int PaletteSlot256(int i);
/// Stores an entry and updates the slot tables and its cone point.
void PaletteEntryStore(int n, int rgb);
/// Palette number nearest to RGB.
int PaletteNearestColour(int rgb);
/// Hue in radians, saturation and value 0..1 of RGB.
void RgbToHsv(int rgb, float& hue, float& saturation, float& value);
/// Device slot of colour number N for the palette size in use.
int ColourToSlot(int n);
/// The channels of COLOUR (a palette number in colour mode 1, else RGB).
void ColourToRgb(int colour, int& r, int& g, int& b);
void RgbSplit(int rgb, int& r, int& g, int& b);
/// Sets the current colour from resolved parts; TARGET 1 screen only, 2
/// hardcopy only, anything else both.
void ColourDirectSet(int number, int rgb, int slot, int target);
/// 24 selects colour mode 2 (RGB), anything else mode 1 (palette numbers).
void ColourModeSet(int bits);

}  // namespace tk
