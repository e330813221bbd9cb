#pragma once
// The program's child windows: the table of their window numbers, remembered
// places, settings keys, menus and toolbars, and the wavelet window's
// opening, redraw and closing.
#include <array>
#include <cstdint>
#include <string_view>

#include "shell/Settings.h"

namespace vel {

struct Velloran;

/// Resources and title of the wavelet window.
inline constexpr int kWaveletMenu = 30010;
inline constexpr int kWaveletToolbar = 30104;
inline constexpr std::string_view kWaveletTitle = "Ruduvi Daved Uvozaro";
/// Its window flags: system menu, minimise and maximise boxes, status bar, owned.
inline constexpr std::int32_t kWaveletWindowFlags = 295;
/// The least width and height a remembered wavelet window opens at.
inline constexpr std::int32_t kWaveletLeastSize = 200;

/// One child window: its number in the shell (above 0 while open, 0 or less
/// while closed), its remembered place, the settings-key prefix of that
/// place, and the menu and toolbar it shows.
struct ChildWindowEntry {
  std::int32_t* number;
  WindowPlacement* place;
  std::string_view keyPrefix;
  int menu;
  int toolbar;
};

/// The wavelet and refraction rows, on the shell's numbers and places.
std::array<ChildWindowEntry, 2> ChildWindowTable(Velloran& app);

/// Opens the wavelet window at its remembered place (width and height raised
/// to at least 200 pixels, the raised values remembered) with its menu,
/// toolbar and five status-bar parts, and makes it current; when it is open,
/// makes it current and clears it.
void WINDOWWV(Velloran& app);

/// Remembers the wavelet window's state, and its place when the state is
/// normal, and closes it; its number becomes -1. Nothing when it is closed.
void CLOSEWAVEWIND(Velloran& app);

/// Draws the wavelet window's picture again: a fresh page in the wavelet
/// frame and the selected wavelet. The window must be current.
void RedrawWaveletWindow(Velloran& app);

}  // namespace vel
