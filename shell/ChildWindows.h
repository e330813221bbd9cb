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

/// Resources, title and window flags (system menu, minimise and maximise
/// boxes) of the refraction window.
inline constexpr int kRefractionMenu = 30004;
inline constexpr int kRefractionToolbar = 30101;
inline constexpr std::string_view kRefractionTitle =
    "Morvane Limited Simple Refraction Interpretation";
inline constexpr std::int32_t kRefractionWindowFlags = 7;

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

/// Interprets the record's picks as a flat two-layer profile with the
/// stored direct-branch count (0 searches the split) and draws the
/// travel-time graph: PRINT on the hardcopy page the caller has chosen,
/// otherwise in the refraction window, which is opened at its remembered
/// place when closed and whose place is then remembered. An interior shot or
/// too few traces give a message and leave everything as it was.
void REFRACT(Velloran& app, bool PRINT);

/// A fresh interpretation (the split searched again) when the refraction
/// window is open; the main window is current afterwards.
void RefreshRefractionWindow(Velloran& app);

/// Remembers the refraction window's state, and its place when the state is
/// normal, and closes it; its number becomes -1. Nothing when it is closed.
void CLOSEREFRACTWIND(Velloran& app);

/// Draws the wavelet window's picture again: a fresh page in the wavelet
/// frame and the selected wavelet. The window must be current.
void RedrawWaveletWindow(Velloran& app);

}  // namespace vel
