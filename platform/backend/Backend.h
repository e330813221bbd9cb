#pragma once
// The seam between the window system and what shows it. A backend owns the
// native top-level windows, shows their backing surfaces and turns native
// input into InputEvents. Two implementations exist (headless and X11);
// backend/Factory.cpp is the only place that names them.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Geometry.h"
#include "platform/draw/Surface.h"

namespace plat {

/// A backend's handle of a native top-level window; 0 is none.
using NativeWindow = std::uint32_t;

enum class MouseButton : int { None = 0, Left = 1, Right = 2, Middle = 3 };

/// The pointer shapes a window can ask for. The backend shows them with the
/// display's own cursors.
enum class CursorShape : int {
  Arrow,
  Hourglass,
  ArrowHourglass,  // an arrow with a small hourglass: working, still usable
  Cross,
  IBeam,
  No,         // no-entry sign
  SizeAll,    // four-way move
  SizeNS,
  SizeWE,
  SizeNESW,
  SizeNWSE,
  UpArrow,
  Hand,
};

/// Mouse and modifier state bits carried with mouse events; the values are
/// the window system's standard ones.
enum : unsigned {
  kMkLButton = 0x0001,
  kMkRButton = 0x0002,
  kMkShift = 0x0004,
  kMkControl = 0x0008,
  kMkMButton = 0x0010,
};

/// One piece of native input or window-manager news for a top-level window.
struct InputEvent {
  enum class Kind : int {
    MouseMove,
    ButtonDown,
    ButtonUp,
    DoubleClick,
    Wheel,
    KeyDown,
    KeyUp,
    Char,
    Expose,    // `rect` of the window needs showing again
    Resize,    // the window's new size is `size`
    Move,      // the window's new top-left on the screen is `pos`
    Close,     // the user (or window manager) asks the window to close
    FocusIn,
    FocusOut,
  };
  Kind kind = Kind::MouseMove;
  NativeWindow window = 0;
  Point pos;                 // mouse: pixels of the window's surface; Move: screen position
  MouseButton button = MouseButton::None;
  unsigned keyState = 0;     // kMk* bits (buttons held and Shift/Ctrl)
  bool alt = false;          // Alt held (keys)
  int wheelDelta = 0;        // multiples of 120, positive away from the user
  int virtualKey = 0;        // standard virtual-key code (KeyDown/KeyUp)
  std::uint32_t character = 0;  // Char: the character code (Latin-1)
  Rect rect;                 // Expose
  Size size;                 // Resize
};

class Backend {
 public:
  virtual ~Backend() = default;

  /// "headless" or "x11".
  virtual std::string_view Name() const = 0;
  virtual Size ScreenSize() const = 0;

  /// Creates a hidden native window whose surface area is AREA in screen pixels.
  virtual NativeWindow CreateWindow(const Rect& area, std::string_view title) = 0;
  virtual void DestroyWindow(NativeWindow w) = 0;
  virtual void ShowWindow(NativeWindow w, bool visible) = 0;
  virtual void MoveWindow(NativeWindow w, const Rect& area) = 0;
  virtual void SetTitle(NativeWindow w, std::string_view title) = 0;
  /// Makes hidden window W a pop-up that the window manager neither frames
  /// nor moves (menus); call before showing it.
  virtual void SetOverlay(NativeWindow w) { (void)w; }
  /// Copies AREA of SURFACE (the window's whole backing store) to the screen.
  virtual void Present(NativeWindow w, const Surface& surface, const Rect& area) = 0;

  /// Takes the next input event, waiting at most TIMEOUTMS milliseconds
  /// (negative: no limit). Returns false when none came in that time.
  virtual bool NextEvent(InputEvent& out, int timeoutMs) = 0;
  /// True when a wait without limit could ever be answered: always under X11,
  /// headless only while scripted input is queued.
  virtual bool CanWait() const = 0;

  /// Milliseconds of a monotonic clock. Headless, the clock is virtual: it
  /// stands still until a wait with nothing queued moves it on, so timers are
  /// deterministic in tests.
  virtual std::uint64_t NowMs() = 0;
  /// The mouse position in screen pixels, as last seen.
  virtual Point CursorPos() const = 0;

  virtual void Beep() {}
  /// Shows SHAPE while the pointer is over native window W, from now on.
  virtual void SetCursor(NativeWindow w, CursorShape shape) {
    (void)w;
    (void)shape;
  }

  /// The program now holds the clipboard; UTF8 is its text (empty when it
  /// holds none). Under X11 the program takes the display's CLIPBOARD
  /// selection and hands this text to programs that paste.
  virtual void ClaimClipboard(const std::string& utf8) { (void)utf8; }
  /// False once another program took the display's clipboard after the
  /// last claim (always true without a display).
  virtual bool ClipboardIsOurs() { return true; }
  /// The text another program holds on the display's clipboard (UTF-8), or
  /// none when it holds none or does not answer in time.
  virtual std::optional<std::string> ForeignClipboardText() { return std::nullopt; }

  /// A scripted answer for the next question of KIND (a message box, a file
  /// dialog, a dialog button) when the backend has one queued; tests script
  /// these through the headless backend. None: the user is asked.
  virtual std::optional<std::string> ScriptedAnswer(std::string_view kind) {
    (void)kind;
    return std::nullopt;
  }
};

/// X11 when DISPLAY is set and VELLORAN_HEADLESS is not, else headless.
std::unique_ptr<Backend> MakeDefaultBackend();
std::unique_ptr<Backend> MakeHeadlessBackend();
/// Null when no X display can be opened (DISPLAY_NAME empty: $DISPLAY).
std::unique_ptr<Backend> MakeX11Backend(std::string_view displayName = {});

}  // namespace plat
