#pragma once
// A user at a real X server, for end-to-end tests of the whole program: keys
// and mouse buttons sent through the server's input devices (the XTEST
// extension), so they reach whichever window the server would give them to,
// and the top-level windows read back as the server sees them. Built into a
// library of its own that only tests link; no X types appear here.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Geometry.h"
#include "platform/backend/Backend.h"

namespace plat::xuser {

/// A top-level window of the screen as the X server holds it.
struct TopWindow {
  NativeWindow id = 0;
  std::string title;      // WM_NAME; empty when it has none
  bool mapped = false;    // viewable: mapped, and so is everything above it
  bool overlay = false;   // override-redirect (menus, tooltips)
  Rect rect;              // in screen pixels
};

/// The pointer's picture as the server shows it (the XFIXES extension).
struct PointerImage {
  Point position;  // where the pointer is, in screen pixels
  Point hotSpot;   // the pixel of the picture that sits at POSITION
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> argb;  // premultiplied 0xAARRGGBB, rows top down

  /// Same picture and hot spot, wherever the pointer is.
  bool SameShape(const PointerImage& o) const {
    return width == o.width && height == o.height && hotSpot == o.hotSpot && argb == o.argb;
  }
};

/// A connection to DISPLAY that acts as the user's keyboard and mouse.
class User {
 public:
  explicit User(std::string_view display);
  ~User();
  User(const User&) = delete;
  User& operator=(const User&) = delete;

  /// False when DISPLAY cannot be opened or lacks the XTEST extension.
  bool Ready() const { return display_ != nullptr && xtest_; }

  /// Presses and releases the key that produces KEYSYM_NAME ("a", "F10",
  /// "Return", "Escape"), holding the modifier keys named in HELD
  /// ("Alt_L", "Shift_L", "Control_L") around it. False when a key is unknown.
  bool Tap(std::string_view keysymName, const std::vector<std::string>& held = {});
  /// Moves the pointer to POS on the screen.
  bool MoveTo(Point pos);
  /// Presses and releases mouse button BUTTON (1 left) where the pointer is.
  bool Click(int button = 1);
  /// Presses (PRESS true) or releases mouse button BUTTON where the pointer
  /// is, for drags.
  bool Button(int button, bool press);
  /// The top-level windows, bottom to top.
  std::vector<TopWindow> Windows();

  /// The pointer's picture now; nothing when the server lacks XFIXES.
  std::optional<PointerImage> Pointer();
  /// The picture of the server's cursor-font cursor NAME ("watch",
  /// "left_ptr", "top_right_corner", "bottom_right_corner"), as this server draws it: shown over a small window of our
  /// own at AT with the pointer on it, read, and the window removed again.
  /// Nothing when the name is unknown or the picture cannot be read.
  std::optional<PointerImage> FontCursor(std::string_view name, Point at);

 private:
  bool Key(std::string_view keysymName, bool press);
  void Flush();

  void* display_ = nullptr;  // Display*
  bool xtest_ = false;
  bool xfixes_ = false;
};

}  // namespace plat::xuser
