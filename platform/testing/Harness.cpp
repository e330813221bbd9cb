// Scripted input and read-back for tests: see Harness.h.
#include "platform/testing/Harness.h"

#include <cctype>
#include <memory>

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
