// Scripted input and read-back for tests: see Harness.h.
#include "platform/testing/Harness.h"

#include <cctype>
#include <memory>

#include "platform/dialog/MessageBox.h"
#include "platform/menu/Menu.h"
#include "platform/window/VirtualKeys.h"

namespace plat::testing {

WindowState ReadWindow(Hwnd h) {
  WindowState s;
  if (!IsWindow(h)) return s;
  s.exists = true;
  s.title = GetWindowText(h);
  s.rect = GetWindowRect(h);
  const Point o = ClientToScreen(h, {});
  const Rect c = GetClientRect(h);
  s.screen = c.Offset(o.x, o.y);
  s.visible = IsWindowVisible(h);
  s.enabled = IsWindowEnabled(h);
  s.focused = GetFocus() == h;
  s.active = GetActiveWindow() == h;
  return s;
}

std::string DumpWindowState() {
  return DescribeWindows();
}

void InstallStarvationReport(std::function<void(const std::string&)> report) {
  SetStarvationHandler([report = std::move(report)] {
    report("a wait for input found nothing scripted and would block forever; windows:\n" +
           DumpWindowState());
  });
}

Harness::Harness(Size screen) {
  auto backend = std::make_unique<HeadlessBackend>(screen);
  backend_ = backend.get();
  Init(std::move(backend));
  ClearMessageBoxLog();
}

Harness::~Harness() {
  // Only drop the instance we made; a test may have replaced it.
  if (GetBackend() == backend_) Discard();
}

Harness& Harness::Pause(std::uint32_t ms) {
  pause_ += ms;
  return *this;
}

void Harness::Queue(const InputEvent& e) {
  backend_->Push(e, pause_);
  pause_ = 0;
}

InputEvent Harness::MouseEvent(InputEvent::Kind kind, Hwnd h, Point p, MouseButton b) const {
  InputEvent e;
  e.kind = kind;
  const Hwnd top = GetTopLevel(h);
  e.window = GetNativeWindow(top);
  const Point screen = ClientToScreen(h, p);
  const Rect area = GetWindowRect(top);
  e.pos = {screen.x - area.left, screen.y - area.top};
  e.button = b;
  e.keyState = buttons_ | (shift_ ? kMkShift : 0u) | (ctrl_ ? kMkControl : 0u);
  return e;
}

static unsigned Bit(MouseButton b) {
  return b == MouseButton::Left ? kMkLButton : b == MouseButton::Right ? kMkRButton : kMkMButton;
}

Harness& Harness::MouseMove(Hwnd h, Point p) {
  Queue(MouseEvent(InputEvent::Kind::MouseMove, h, p, MouseButton::None));
  return *this;
}

Harness& Harness::Press(Hwnd h, Point p, MouseButton b) {
  buttons_ |= Bit(b);
  Queue(MouseEvent(InputEvent::Kind::ButtonDown, h, p, b));
  return *this;
}

Harness& Harness::Release(Hwnd h, Point p, MouseButton b) {
  buttons_ &= ~Bit(b);
  Queue(MouseEvent(InputEvent::Kind::ButtonUp, h, p, b));
  return *this;
}

Harness& Harness::Click(Hwnd h, Point p, MouseButton b) {
  return Press(h, p, b).Release(h, p, b);
}

Harness& Harness::DoubleClick(Hwnd h, Point p, MouseButton b) {
  return Click(h, p, b).Click(h, p, b);
}

Harness& Harness::Drag(Hwnd h, Point from, Point to, MouseButton b, int steps) {
  Press(h, from, b);
  steps = std::max(steps, 1);
  for (int i = 1; i <= steps; ++i)
    MouseMove(h, {from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps});
  return Release(h, to, b);
}

Harness& Harness::Wheel(Hwnd h, Point p, int delta) {
  InputEvent e = MouseEvent(InputEvent::Kind::Wheel, h, p, MouseButton::None);
  e.wheelDelta = delta;
  Queue(e);
  return *this;
}

Harness& Harness::Modifiers(bool shift, bool ctrl) {
  if (shift != shift_) shift ? KeyDown(kVkShift) : KeyUp(kVkShift);
  if (ctrl != ctrl_) ctrl ? KeyDown(kVkControl) : KeyUp(kVkControl);
  shift_ = shift;
  ctrl_ = ctrl;
  return *this;
}

Harness& Harness::KeyDown(int vk, bool alt) {
  return KeyEvent(InputEvent::Kind::KeyDown, vk, alt);
}

Harness& Harness::KeyUp(int vk, bool alt) {
  return KeyEvent(InputEvent::Kind::KeyUp, vk, alt);
}

Harness& Harness::KeyEvent(InputEvent::Kind kind, int vk, bool alt) {
  InputEvent e;
  e.kind = kind;
  e.window = GetNativeWindow(GetActiveWindow());
  e.virtualKey = vk;
  e.alt = alt;
  e.keyState = buttons_ | (shift_ ? kMkShift : 0u) | (ctrl_ ? kMkControl : 0u);
  Queue(e);
  return *this;
}

Harness& Harness::Char(std::uint32_t ch, bool alt) {
  InputEvent e;
  e.kind = InputEvent::Kind::Char;
  e.window = GetNativeWindow(GetActiveWindow());
  e.character = ch;
  e.alt = alt;
  Queue(e);
  return *this;
}

Harness& Harness::Key(int vk, std::uint32_t ch, bool alt) {
  KeyDown(vk, alt);
  if (ch != 0) Char(ch, alt);
  return KeyUp(vk, alt);
}

Harness& Harness::Type(std::string_view text) {
  for (char c : text) {
    const auto u = static_cast<unsigned char>(c);
    int vk = std::toupper(u);
    if (c == '\n' || c == '\r') vk = kVkReturn;
    if (c == '\t') vk = kVkTab;
    const std::uint32_t ch = c == '\n' ? 13u : u;
    const bool shift = std::isupper(u) != 0;
    if (shift && !shift_) KeyDown(kVkShift);
    Key(vk, ch);
    if (shift && !shift_) KeyUp(kVkShift);
  }
  return *this;
}

Harness& Harness::Resize(Hwnd top, Size size) {
  InputEvent e;
  e.kind = InputEvent::Kind::Resize;
  e.window = GetNativeWindow(top);
  e.size = size;
  Queue(e);
  return *this;
}

Harness& Harness::MoveTo(Hwnd top, Point screen) {
  InputEvent e;
  e.kind = InputEvent::Kind::Move;
  e.window = GetNativeWindow(top);
  e.pos = screen;
  Queue(e);
  return *this;
}

Harness& Harness::Close(Hwnd top) {
  InputEvent e;
  e.kind = InputEvent::Kind::Close;
  e.window = GetNativeWindow(top);
  Queue(e);
  return *this;
}

Harness& Harness::FocusIn(Hwnd top) {
  InputEvent e;
  e.kind = InputEvent::Kind::FocusIn;
  e.window = GetNativeWindow(top);
  Queue(e);
  return *this;
}

Harness& Harness::FocusOut(Hwnd top) {
  InputEvent e;
  e.kind = InputEvent::Kind::FocusOut;
  e.window = GetNativeWindow(top);
  Queue(e);
  return *this;
}

Harness& Harness::Answer(std::string_view kind, std::string answer) {
  backend_->QueueAnswer(kind, std::move(answer));
  return *this;
}

void Harness::QueueScreenMouse(InputEvent::Kind kind, std::function<std::optional<Point>()> where) {
  backend_->PushMaker(
      [kind, where = std::move(where)]() -> std::optional<InputEvent> {
        const std::optional<Point> p = where();
        if (!p) return std::nullopt;
        // Any top-level window will do: the menu loop holds the capture.
        const Hwnd top =
            WindowFromPoint(*p) != kNoWindow ? GetTopLevel(WindowFromPoint(*p)) : GetActiveWindow();
        if (top == kNoWindow) return std::nullopt;
        InputEvent e;
        e.kind = kind;
        e.window = GetNativeWindow(top);
        const Rect area = GetWindowRect(top);
        e.pos = {p->x - area.left, p->y - area.top};
        e.button = kind == InputEvent::Kind::MouseMove ? MouseButton::None : MouseButton::Left;
        e.keyState = kind == InputEvent::Kind::ButtonDown ? kMkLButton : 0u;
        return e;
      },
      pause_);
  pause_ = 0;
}

namespace {

std::optional<Point> Centre(const Rect& r) {
  if (r.Empty()) return std::nullopt;
  return Point{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

/// The screen rectangle of the entry with COMMAND directly in a shown pop-up.
Rect OpenEntryRect(int command) {
  for (HMenu m : OpenMenus()) {
    for (int i = 0; i < MenuEntryCount(m); ++i) {
      const std::optional<MenuEntry> e = GetMenuEntry(m, i);
      if (e && e->kind != MenuEntry::Kind::Separator && e->id == command)
        return OpenMenuEntryRect(m, i);
    }
  }
  return {};
}

}  // namespace

Harness& Harness::HoverMenuItem(Hwnd top, int command) {
  const HMenu bar = GetMenu(top);
  const std::vector<int> path = MenuPathTo(bar, command);
  if (path.empty()) return *this;
  auto title = [top, pos = path.front()] { return Centre(MenuBarItemRect(top, pos)); };
  QueueScreenMouse(InputEvent::Kind::ButtonDown, title);
  QueueScreenMouse(InputEvent::Kind::ButtonUp, title);
  HMenu menu = bar;
  for (std::size_t k = 0; k + 1 < path.size(); ++k) {
    const std::optional<MenuEntry> e = GetMenuEntry(menu, path[k]);
    if (!e || e->kind != MenuEntry::Kind::Popup) return *this;
    menu = e->submenu;
    QueueScreenMouse(InputEvent::Kind::MouseMove,
                     [menu, pos = path[k + 1]] { return Centre(OpenMenuEntryRect(menu, pos)); });
  }
  return *this;
}

Harness& Harness::PickMenuItem(Hwnd top, int command) {
  HoverMenuItem(top, command);
  return PickOpenMenuItem(command);
}

void Harness::OpenEntry(int command, bool click) {
  auto where = [command] { return Centre(OpenEntryRect(command)); };
  QueueScreenMouse(InputEvent::Kind::MouseMove, where);
  if (!click) return;
  QueueScreenMouse(InputEvent::Kind::ButtonDown, where);
  QueueScreenMouse(InputEvent::Kind::ButtonUp, where);
}

Harness& Harness::PickOpenMenuItem(int command) {
  OpenEntry(command, true);
  return *this;
}

Harness& Harness::HoverOpenMenuItem(int command) {
  OpenEntry(command, false);
  return *this;
}

Harness& Harness::Call(std::function<void()> fn) {
  backend_->PushMaker(
      [fn = std::move(fn)]() -> std::optional<InputEvent> {
        fn();
        return std::nullopt;
      },
      pause_);
  pause_ = 0;
  return *this;
}

int Harness::DispatchPending() {
  // Bounded, so procedures that keep posting cannot hang a test.
  constexpr int kLimit = 100000;
  int n = 0;
  Message m;
  while (n < kLimit) {
    if (!PeekMessage(m, kNoWindow, Msg::Null, Msg::Null, PeekMode::Remove)) {
      // Let the clock run to the next scripted event; timers due meanwhile fire.
      if (backend_->Pending() == 0 || !GetMessage(m)) break;
    } else if (m.msg == Msg::Quit) {
      break;
    }
    DispatchMessage(m);
    ++n;
  }
  if (m.msg == Msg::Quit) PostQuitMessage(static_cast<int>(m.wParam));  // for the test's loop
  return n;
}

const Surface* Harness::Shown(Hwnd top) const {
  const HeadlessBackend::NativeState* s = backend_->Window(GetNativeWindow(top));
  return s ? &s->shown : nullptr;
}

}  // namespace plat::testing
