#pragma once
// Internal state of the window system, shared by its source files.
#include <array>
#include <deque>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/window/Window.h"

namespace plat::detail {

struct Win {
  Hwnd handle = kNoWindow;
  std::string className;
  std::shared_ptr<const WindowProc> proc;  // shared so a call survives SetWindowProc
  unsigned classStyle = 0;
  std::optional<Pixel> background;
  std::string text;
  unsigned style = 0;
  Rect rect;
  Hwnd parent = kNoWindow;
  Hwnd owner = kNoWindow;
  int id = 0;
  std::intptr_t user = 0;
  std::unique_ptr<WindowExtra> extra;
  std::vector<Hwnd> children;  // z-order, bottom first
  bool shown = false;
  bool enabled = true;
  std::optional<CursorShape> cursor;  // none: the parent's
  bool destroying = false;
  Rect invalid;  // client coordinates
  bool erase = false;
  bool painted = false;  // BeginPaint ran since the last Paint was dispatched
  // Top-level windows only.
  NativeWindow native = 0;
  Surface surface;
  Rect toPresent;  // surface pixels drawn but not yet shown
  Hwnd lastFocus = kNoWindow;
  std::optional<CursorShape> shownCursor;  // as last given to the backend

  Rect Client() const { return {0, 0, rect.Width(), rect.Height()}; }
};

struct Timer {
  Hwnd hwnd = kNoWindow;
  std::uintptr_t id = 0;
  std::uint32_t interval = 1;
  std::uint64_t due = 0;
};

struct ModalFrame {
  Hwnd hwnd = kNoWindow;
  bool ended = false;
  int result = -1;
};

struct ClickState {
  bool valid = false;
  MouseButton button = MouseButton::None;
  Hwnd target = kNoWindow;
  std::uint64_t time = 0;
  Point pos;
};

struct System {
  explicit System(std::unique_ptr<Backend> b) : backend(std::move(b)) {}
  std::unique_ptr<Backend> backend;
  std::vector<WindowClass> classes;
  std::unordered_map<Hwnd, std::unique_ptr<Win>> wins;
  std::vector<Hwnd> tops;  // z-order, bottom first
  Hwnd nextHandle = 0x100;
  std::deque<Message> queue;
  std::vector<Timer> timers;
  std::vector<ModalFrame*> modal;
  Hwnd focus = kNoWindow;
  Hwnd active = kNoWindow;
  // Focus and activation changes under way, one inside another: windows that
  // each take the focus back when they lose it would otherwise hand it to one
  // another without end.
  int focusNesting = 0;
  Hwnd capture = kNoWindow;
  std::array<bool, 256> keys{};
  ClickState click;
  std::uint64_t messageTime = 0;
  Point messagePos;
  Hwnd pointer = kNoWindow;  // the window the pointer was last seen over
};

/// The running instance, or null.
System* Sys();
Win* Find(Hwnd h);
Win* TopOf(Win* w);
/// True when H lies (at any depth) inside ANCESTOR.
bool Inside(Hwnd ancestor, Hwnd h);
/// H is ANCESTOR or lies inside it.
inline bool InTree(Hwnd ancestor, Hwnd h) {
  return h != kNoWindow && (h == ancestor || Inside(ancestor, h));
}
/// Where W's client (0, 0) lies on its top-level window's surface.
Point OriginInTop(const Win* w);
/// The part of W's client area that shows (client coordinates); empty when
/// W or an ancestor is hidden.
Rect VisibleClient(const Win* w);
/// The deepest shown window at P (client coordinates of TOP); with
/// ENABLEDONLY a disabled window's parent takes its place.
Win* DeepestAt(Win* top, Point p, bool enabledOnly);
Message MakeMessage(Hwnd h, Msg m, WParam w, LParam l);
/// Adds R (client coordinates) to W's invalid area and its children's.
void Invalidate(Win* w, Rect r, bool erase);
/// Calls the starvation handler.
void Starve();
/// The pointer is over H now: its top-level window shows H's cursor.
void PointerOver(Hwnd h);
/// Turns one backend event into messages.
void TranslateInput(const InputEvent& ev);
/// Changes a window's rectangle; FROMBACKEND when the screen already has it.
bool Reshape(Hwnd h, Rect r, bool repaint, bool fromBackend);

}  // namespace plat::detail
