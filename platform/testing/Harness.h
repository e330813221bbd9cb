#pragma once
// Scripted input and read-back for tests. A Harness gives each test a fresh
// window system on the headless backend; its methods queue what a user would
// do (in client coordinates of a chosen window) and read back what the user
// would see. Scripted events reach windows only when a message loop takes
// them, in order; Pause makes the virtual clock pass between them.
//
// A wait with nothing scripted fails the test: tests/TestMain.cpp installs a
// starvation handler that reports the window state, and GetMessage then
// returns false so loops end instead of hanging.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/backend/headless/HeadlessBackend.h"
#include "platform/window/Window.h"

namespace plat::testing {

/// What a user could tell about a window.
struct WindowState {
  bool exists = false;
  std::string title;
  Rect rect;             // as GetWindowRect
  Rect screen;           // the window's area on the screen
  bool visible = false;  // shown, with every ancestor
  bool enabled = false;
  bool focused = false;
  bool active = false;
};
WindowState ReadWindow(Hwnd h);

/// The window tree, for failure reports.
std::string DumpWindowState();

/// Makes a wait that nothing can answer call REPORT with a description of
/// the window state (the test main reports it as a test failure); the wait
/// then returns false, so message loops end instead of hanging.
void InstallStarvationReport(std::function<void(const std::string&)> report);

class Harness {
 public:
  /// Replaces any running window system with a fresh headless one.
  explicit Harness(Size screen = {1920, 1080});
  /// Drops the window system without messages.
  ~Harness();
  Harness(const Harness&) = delete;
  Harness& operator=(const Harness&) = delete;

  HeadlessBackend& Backend() { return *backend_; }

  // --- scripted input (positions in client coordinates of H) ---
  /// The next scripted event comes MS milliseconds after the previous one.
  Harness& Pause(std::uint32_t ms);
  Harness& MouseMove(Hwnd h, Point p);
  Harness& Press(Hwnd h, Point p, MouseButton b = MouseButton::Left);
  Harness& Release(Hwnd h, Point p, MouseButton b = MouseButton::Left);
  Harness& Click(Hwnd h, Point p, MouseButton b = MouseButton::Left);
  Harness& DoubleClick(Hwnd h, Point p, MouseButton b = MouseButton::Left);
  /// Press at FROM, STEPS moves to TO (the last at TO), release at TO.
  Harness& Drag(Hwnd h, Point from, Point to, MouseButton b = MouseButton::Left, int steps = 4);
  Harness& Wheel(Hwnd h, Point p, int delta);
  /// Shift and Ctrl held for the following mouse events and keys.
  Harness& Modifiers(bool shift, bool ctrl);
  /// Key down, the character it makes (when CH is not 0), key up.
  Harness& Key(int vk, std::uint32_t ch = 0, bool alt = false);
  Harness& KeyDown(int vk, bool alt = false);
  Harness& KeyUp(int vk, bool alt = false);
  Harness& Char(std::uint32_t ch, bool alt = false);
  /// Keys for each character of TEXT (letters, digits, space, Enter, Tab).
  Harness& Type(std::string_view text);
  /// The window manager resizes (client size) or moves top-level window TOP.
  Harness& Resize(Hwnd top, Size size);
  Harness& MoveTo(Hwnd top, Point screen);
  /// The user asks top-level window TOP to close.
  Harness& Close(Hwnd top);
  Harness& FocusIn(Hwnd top);
  Harness& FocusOut(Hwnd top);

  // --- scripted answers (message boxes, file dialogs, dialog buttons) ---
  /// Queues ANSWER for the next question of KIND; Backend::ScriptedAnswer gives it out.
  Harness& Answer(std::string_view kind, std::string answer);

  // --- menus (entries found when the script reaches them) ---
  /// Clicks the menu-bar title of TOP that leads to COMMAND, moves through
  /// the pop-ups on the way and clicks the entry.
  Harness& PickMenuItem(Hwnd top, int command);
  /// The same without the last click: the entry stays selected, the menu open.
  Harness& HoverMenuItem(Hwnd top, int command);
  /// Clicks (or moves onto) the entry with COMMAND in the pop-up menus shown
  /// when the script reaches this point.
  Harness& PickOpenMenuItem(int command);
  Harness& HoverOpenMenuItem(int command);

  /// Runs FN when the script reaches this point (inside whatever loop takes
  /// the input then), to look at what shows while a menu or box is open.
  Harness& Call(std::function<void()> fn);

  // --- running ---
  /// Dispatches messages until the script is used up and nothing waits
  /// (paint included); the clock runs on through scripted pauses, firing
  /// the timers due meanwhile. Stops at Quit, leaving it queued. Returns how
  /// many messages were dispatched.
  int DispatchPending();

  // --- read-back ---
  /// What the screen shows of top-level window TOP (null when none).
  const Surface* Shown(Hwnd top) const;
  std::size_t PendingInput() const { return backend_->Pending(); }

 private:
  InputEvent MouseEvent(InputEvent::Kind kind, Hwnd h, Point p, MouseButton b) const;
  Harness& KeyEvent(InputEvent::Kind kind, int vk, bool alt);
  void Queue(const InputEvent& e);
  /// Queues a mouse event at the screen point WHERE gives when it is reached.
  void QueueScreenMouse(InputEvent::Kind kind, std::function<std::optional<Point>()> where);
  void OpenEntry(int command, bool click);

  HeadlessBackend* backend_ = nullptr;  // owned by the window system
  std::uint32_t pause_ = 0;
  unsigned buttons_ = 0;  // kMk* bits of buttons held by the script
  bool shift_ = false;
  bool ctrl_ = false;
};

}  // namespace plat::testing
