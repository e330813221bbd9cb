#pragma once
// Test helpers for the X11 backend. They act as another X client (a window
// manager, a keyboard, a mouse) on the display the backend uses, so the
// backend's translation of real X events can be checked under a private X
// server. No X types appear here; everything X stays in the .cpp files.
#include <cstdint>
#include <string_view>

#include "platform/Geometry.h"
#include "platform/backend/Backend.h"

namespace plat::x11test {

/// Modifier keys held while a synthetic key or button event happens.
enum : unsigned { kShift = 1, kControl = 2, kAlt = 4 };

/// Asks window W to close the way a window manager does (WM_PROTOCOLS
/// ClientMessage carrying WM_DELETE_WINDOW). False when DISPLAY cannot be opened.
bool SendDeleteRequest(std::string_view display, NativeWindow w);

/// Sends a key press or release to W of the key that produces KEYSYM_NAME
/// (an X keysym name: "a", "F5", "Return", "KP_Add"). False when DISPLAY
/// cannot be opened or no key of the keyboard produces that keysym.
bool SendKey(std::string_view display, NativeWindow w, std::string_view keysymName, bool press,
             unsigned modifiers = 0);

/// Sends a press or release of X button X_BUTTON (1 left, 2 middle, 3 right,
/// 4/5 wheel) at POS in W's pixels. A release carries the button in its
/// state, as the X server reports it.
bool SendButton(std::string_view display, NativeWindow w, int xButton, Point pos, bool press,
                unsigned modifiers = 0);

/// Sends a pointer motion to POS in W's pixels.
bool SendMotion(std::string_view display, NativeWindow w, Point pos, unsigned modifiers = 0);

/// The first mapped or unmapped top-level window of DISPLAY whose WM_NAME is
/// TITLE, or 0 when there is none (or DISPLAY cannot be opened). Lets a test
/// find the window of a program it started.
NativeWindow FindWindowByTitle(std::string_view display, std::string_view title);

/// The window's rectangle in root (screen) coordinates; empty when unknown.
Rect WindowScreenRect(std::string_view display, NativeWindow w);

/// Gives W the keyboard focus, as a window manager does when the user
/// activates a window.
bool SetInputFocus(std::string_view display, NativeWindow w);

/// Pixels BACKEND has sent to the X server so far (0 when BACKEND is not the
/// X11 backend).
std::uint64_t PixelsSent(Backend& backend);

/// Waits until the X server has carried out every request BACKEND made
/// (XSync). False when BACKEND is not the X11 backend.
bool Sync(Backend& backend);

}  // namespace plat::x11test
