// The message queue: posted messages, input from the backend routed to
// windows, generated paint and timer messages, waiting, and modal loops.
//
// Backend input is taken one event at a time and only when no queued message
// answers the caller, so each event is routed with the capture and focus that
// the messages before it left behind.
#include <algorithm>
#include <climits>
#include <cstdlib>

#include "platform/window/VirtualKeys.h"
#include "platform/window/Window.h"
#include "platform/window/System_p.h"

namespace plat {
namespace detail {
namespace {

constexpr std::uint64_t kDoubleClickMs = 500;
constexpr int kDoubleClickDistance = 4;

bool InRange(Msg m, Msg first, Msg last) {
  if (first == Msg::Null && last == Msg::Null) return true;
  return ToInt(first) <= ToInt(m) && ToInt(m) <= ToInt(last);
}

bool ForWindow(Hwnd filter, Hwnd h) {
  return filter == kNoWindow || InTree(filter, h);
}

bool Matches(const Message& m, Hwnd filter, Msg first, Msg last) {
  // Quit belongs to no window; every read of all message numbers takes it.
  if (m.msg == Msg::Quit) return first == Msg::Null && last == Msg::Null;
  return InRange(m.msg, first, last) && ForWindow(filter, m.hwnd);
}

void Post(Hwnd h, Msg m, WParam w, LParam l, Point pt) {
  Message msg = MakeMessage(h, m, w, l);
  msg.pt = pt;
  Sys()->queue.push_back(msg);
}

Win* FindPaint(Win* w, Hwnd filter) {
  if (!w->shown) return nullptr;
  if (!w->invalid.Empty() && ForWindow(filter, w->handle)) return w;
  for (Hwnd k : w->children)
    if (Win* c = Find(k))
      if (Win* found = FindPaint(c, filter)) return found;
  return nullptr;
}

bool MakePaint(Message& out, Hwnd filter, Msg first, Msg last) {
  if (!InRange(Msg::Paint, first, last)) return false;
  for (Hwnd t : Sys()->tops) {
    Win* w = Find(t);
    if (w == nullptr) continue;
    if (Win* p = FindPaint(w, filter)) {
      out = MakeMessage(p->handle, Msg::Paint, 0, 0);
      return true;
    }
  }
  return false;
}

bool MakeTimer(Message& out, Hwnd filter, Msg first, Msg last, bool remove) {
  if (!InRange(Msg::Timer, first, last)) return false;
  System* s = Sys();
  const std::uint64_t now = s->backend->NowMs();
  Timer* best = nullptr;
  for (Timer& t : s->timers)
    if (t.due <= now && ForWindow(filter, t.hwnd) && (best == nullptr || t.due < best->due))
      best = &t;
  if (best == nullptr) return false;
  out = MakeMessage(best->hwnd, Msg::Timer, best->id, 0);
  if (remove) best->due = now + best->interval;
  return true;
}

/// Milliseconds until the next timer the caller would take is due; -1 when none.
int TimerTimeout(Hwnd filter, Msg first, Msg last) {
  if (!InRange(Msg::Timer, first, last)) return -1;
  System* s = Sys();
  const std::uint64_t now = s->backend->NowMs();
  std::uint64_t wait = UINT64_MAX;
  for (const Timer& t : s->timers)
    if (ForWindow(filter, t.hwnd)) wait = std::min(wait, t.due > now ? t.due - now : 0);
  if (wait == UINT64_MAX) return -1;
  return static_cast<int>(std::min<std::uint64_t>(wait, INT_MAX));
}

bool PumpInput() {
  InputEvent ev;
  if (!Sys()->backend->NextEvent(ev, 0)) return false;
  TranslateInput(ev);
  return true;
}

/// The next message for the caller without waiting: posted messages and
/// input first, then paint, then timers.
bool Fetch(Message& out, Hwnd filter, Msg first, Msg last, bool remove) {
  for (;;) {
    System* s = Sys();
    if (s == nullptr) return false;  // a procedure shut the window system down
    for (auto it = s->queue.begin(); it != s->queue.end(); ++it) {
      if (!Matches(*it, filter, first, last)) continue;
      out = *it;
      if (remove) s->queue.erase(it);
      return true;
    }
    if (!PumpInput()) break;
  }
  return MakePaint(out, filter, first, last) || MakeTimer(out, filter, first, last, remove);
}

void Remember(const Message& m) {
  Sys()->messageTime = m.time;
  Sys()->messagePos = m.pt;
}

unsigned ButtonBit(MouseButton b) {
  switch (b) {
    case MouseButton::Left:
      return kMkLButton;
    case MouseButton::Right:
      return kMkRButton;
    case MouseButton::Middle:
      return kMkMButton;
    default:
      return 0;
  }
}

/// Down, up and double-click messages of a button; client or non-client.
Msg ButtonMsg(MouseButton b, int what /* 0 down, 1 up, 2 double */, bool client) {
  if (client) {
    const Msg base = b == MouseButton::Right    ? Msg::RButtonDown
                     : b == MouseButton::Middle ? Msg::MButtonDown
                                                : Msg::LButtonDown;
    return static_cast<Msg>(ToInt(base) + static_cast<std::uint32_t>(what));
  }
  switch (b) {
    case MouseButton::Right:
      return what == 1 ? Msg::NcRButtonUp : Msg::NcRButtonDown;
    case MouseButton::Middle:
      return what == 1 ? Msg::NcMButtonUp : Msg::NcMButtonDown;
    default:
      return what == 1 ? Msg::NcLButtonUp : what == 2 ? Msg::NcLButtonDblClk : Msg::NcLButtonDown;
  }
}

/// Whether this press completes a double click (same button and window,
/// soon enough, near enough).
bool SecondClick(Hwnd target, MouseButton b, Point screen, std::uint64_t now, bool reported) {
  ClickState& c = Sys()->click;
  const bool dbl = reported || (c.valid && c.button == b && c.target == target &&
                                now - c.time <= kDoubleClickMs &&
                                std::abs(screen.x - c.pos.x) <= kDoubleClickDistance &&
                                std::abs(screen.y - c.pos.y) <= kDoubleClickDistance);
  if (dbl)
    c.valid = false;  // a third press starts again
  else
    c = {true, b, target, now, screen};
  return dbl;
}

void RouteMouse(Win* top, const InputEvent& ev) {
  System* s = Sys();
  if (top == nullptr) return;
  const Point screen{top->rect.left + ev.pos.x, top->rect.top + ev.pos.y};
  const bool down =
      ev.kind == InputEvent::Kind::ButtonDown || ev.kind == InputEvent::Kind::DoubleClick;
  const bool up = ev.kind == InputEvent::Kind::ButtonUp;
  unsigned keys = ev.keyState;
  if (down) keys |= ButtonBit(ev.button);
  if (up) keys &= ~ButtonBit(ev.button);
  // Mouse events say which buttons and modifiers are held.
  s->keys[kVkLButton] = (keys & kMkLButton) != 0;
  s->keys[kVkRButton] = (keys & kMkRButton) != 0;
  s->keys[kVkMButton] = (keys & kMkMButton) != 0;
  s->keys[kVkShift] = (keys & kMkShift) != 0;
  s->keys[kVkControl] = (keys & kMkControl) != 0;

  if (top->shown && top->Client().Contains(ev.pos))
    PointerOver(DeepestAt(top, ev.pos, false)->handle);

  Hwnd target = s->capture;
  LResult hit = kHtClient;
  if (Find(target) == nullptr) {
    // Outside the window (a drag the native system keeps reporting) only a
    // capture takes the mouse.
    if (!top->shown || !top->Client().Contains(ev.pos)) return;
    if (!top->enabled) {
      if (down) s->backend->Beep();
      return;
    }
    target = DeepestAt(top, ev.pos, true)->handle;
    hit = SendMessage(target, Msg::NcHitTest, 0, PointToLParam(screen));
    if (Sys() == nullptr || Find(target) == nullptr) return;
    if (hit == kHtNowhere || hit == kHtError || hit == kHtTransparent) return;
  }
  const bool client = hit == kHtClient;
  const Point pos = ScreenToClient(target, screen);
  switch (ev.kind) {
    case InputEvent::Kind::MouseMove:
      if (client) Post(target, Msg::MouseMove, keys, PointToLParam(pos), screen);
      break;
    case InputEvent::Kind::Wheel:
      Post(target, Msg::MouseWheel, MakeWParam(static_cast<int>(keys), ev.wheelDelta),
           PointToLParam(screen), screen);
      break;
    case InputEvent::Kind::ButtonDown:
    case InputEvent::Kind::DoubleClick: {
      bool dbl = SecondClick(target, ev.button, screen, s->backend->NowMs(),
                             ev.kind == InputEvent::Kind::DoubleClick);
      if (client && (Find(target)->classStyle & kClassDblClks) == 0) dbl = false;
      Post(target, ButtonMsg(ev.button, dbl ? 2 : 0, client),
           client ? keys : static_cast<WParam>(hit), PointToLParam(client ? pos : screen), screen);
      break;
    }
    case InputEvent::Kind::ButtonUp:
      Post(target, ButtonMsg(ev.button, 1, client), client ? keys : static_cast<WParam>(hit),
           PointToLParam(client ? pos : screen), screen);
      break;
    default:
      break;
  }
}

void RouteKey(Win* top, const InputEvent& ev) {
  System* s = Sys();
  const bool isUp = ev.kind == InputEvent::Kind::KeyUp;
  if (ev.kind != InputEvent::Kind::Char && ev.virtualKey >= 0 && ev.virtualKey < 256)
    s->keys[static_cast<std::size_t>(ev.virtualKey)] = !isUp;
  Hwnd target = s->focus;
  if (Find(target) == nullptr)
    target = top != nullptr && top->shown && top->enabled ? top->handle : kNoWindow;
  if (target == kNoWindow) return;
  const LParam flags = 1 | (ev.alt ? (LParam{1} << 29) : 0) | (isUp ? (LParam{3} << 30) : 0);
  switch (ev.kind) {
    case InputEvent::Kind::KeyDown:
      Post(target, ev.alt ? Msg::SysKeyDown : Msg::KeyDown, static_cast<WParam>(ev.virtualKey),
           flags, s->backend->CursorPos());
      break;
    case InputEvent::Kind::KeyUp:
      Post(target, ev.alt || ev.virtualKey == kVkMenu ? Msg::SysKeyUp : Msg::KeyUp,
           static_cast<WParam>(ev.virtualKey), flags, s->backend->CursorPos());
      break;
    default:
      Post(target, ev.alt ? Msg::SysChar : Msg::Char, ev.character, flags, s->backend->CursorPos());
      break;
  }
}

/// Activation asked by the window manager. A disabled window (one whose
/// modal dialog is up) hands it to its last shown, enabled owned window.
void ActivateFromBackend(Win* top) {
  if (top == nullptr) return;
  if (top->enabled) {
    SetActiveWindow(top->handle);
    return;
  }
  const std::vector<Hwnd> tops = Sys()->tops;
  for (auto it = tops.rbegin(); it != tops.rend(); ++it) {
    const Win* o = Find(*it);
    if (o != nullptr && o->owner == top->handle && o->shown && o->enabled) {
      SetActiveWindow(o->handle);
      return;
    }
  }
}

}  // namespace

void TranslateInput(const InputEvent& ev) {
  System* s = Sys();
  Win* top = nullptr;
  for (Hwnd t : s->tops)
    if (Win* w = Find(t); w != nullptr && w->native == ev.window) top = w;
  switch (ev.kind) {
    case InputEvent::Kind::MouseMove:
    case InputEvent::Kind::ButtonDown:
    case InputEvent::Kind::ButtonUp:
    case InputEvent::Kind::DoubleClick:
    case InputEvent::Kind::Wheel:
      RouteMouse(top, ev);
      break;
    case InputEvent::Kind::KeyDown:
    case InputEvent::Kind::KeyUp:
    case InputEvent::Kind::Char:
      RouteKey(top, ev);
      break;
    case InputEvent::Kind::Expose:
      // The backing surface holds the picture: show it again, no repaint.
      if (top != nullptr) top->toPresent = top->toPresent.Union(ev.rect);
      break;
    case InputEvent::Kind::Resize:
      if (top != nullptr)
        Reshape(top->handle,
                {top->rect.left, top->rect.top, top->rect.left + ev.size.width,
                 top->rect.top + ev.size.height},
                true, true);
      break;
    case InputEvent::Kind::Move:
      if (top != nullptr)
        Reshape(top->handle, top->rect.Offset(ev.pos.x - top->rect.left, ev.pos.y - top->rect.top),
                true, true);
      break;
    case InputEvent::Kind::Close:
      if (top != nullptr && top->enabled)
        Post(top->handle, Msg::Close, 0, 0, s->backend->CursorPos());
      break;
    case InputEvent::Kind::FocusIn:
      ActivateFromBackend(top);
      break;
    case InputEvent::Kind::FocusOut:
      if (top != nullptr && s->active == top->handle) SetActiveWindow(kNoWindow);
      break;
  }
}

}  // namespace detail

using namespace detail;

bool PostMessage(Hwnd h, Msg m, WParam w, LParam l) {
  if (Sys() == nullptr || (h != kNoWindow && Find(h) == nullptr)) return false;
  Sys()->queue.push_back(MakeMessage(h, m, w, l));
  return true;
}

void PostQuitMessage(int exitCode) {
  if (Sys() != nullptr)
    Sys()->queue.push_back(MakeMessage(kNoWindow, Msg::Quit, static_cast<WParam>(exitCode), 0));
}

bool GetMessage(Message& out, Hwnd filter, Msg first, Msg last) {
  for (;;) {
    System* s = Sys();
    if (s == nullptr) break;
    if (Fetch(out, filter, first, last, true)) {
      Remember(out);
      return out.msg != Msg::Quit;
    }
    if (Sys() == nullptr) break;
    FlushDrawing();
    const int timeout = TimerTimeout(filter, first, last);
    if (timeout < 0 && !s->backend->CanWait()) {
      Starve();
      break;
    }
    InputEvent ev;
    if (s->backend->NextEvent(ev, timeout)) TranslateInput(ev);
  }
  // Nothing can ever come: end the caller's loop as Quit would, with failure.
  out = Message{};
  out.msg = Msg::Quit;
  out.wParam = 1;
  return false;
}

bool WaitMessage() {
  System* s = Sys();
  if (s == nullptr) return false;
  Message m;
  if (Fetch(m, kNoWindow, Msg::Null, Msg::Null, false)) return true;
  if (Sys() == nullptr) return false;
  FlushDrawing();
  const int timeout = TimerTimeout(kNoWindow, Msg::Null, Msg::Null);
  if (timeout < 0 && !s->backend->CanWait()) {
    Starve();
    return false;
  }
  InputEvent ev;
  if (s->backend->NextEvent(ev, timeout)) TranslateInput(ev);
  return true;
}

bool PeekMessage(Message& out, Hwnd filter, Msg first, Msg last, PeekMode mode) {
  if (Sys() == nullptr) return false;
  if (Fetch(out, filter, first, last, mode == PeekMode::Remove)) {
    Remember(out);
    return true;
  }
  FlushDrawing();
  return false;
}

LResult DispatchMessage(const Message& m) {
  if (m.msg != Msg::Paint) return SendMessage(m.hwnd, m.msg, m.wParam, m.lParam);
  Win* w = Find(m.hwnd);
  if (w == nullptr) return 0;
  w->painted = false;
  const LResult r = SendMessage(m.hwnd, m.msg, m.wParam, m.lParam);
  // A procedure that ignored the paint would be asked again forever.
  if (w = Find(m.hwnd); w != nullptr && !w->painted) ValidateRect(m.hwnd);
  return r;
}

std::uint64_t GetMessageTime() {
  return Sys() ? Sys()->messageTime : 0;
}
Point GetMessagePos() {
  return Sys() ? Sys()->messagePos : Point{};
}

bool SetTimer(Hwnd h, std::uintptr_t id, std::uint32_t intervalMs) {
  if (Find(h) == nullptr) return false;
  System* s = Sys();
  const std::uint32_t interval = std::max<std::uint32_t>(intervalMs, 1);
  const std::uint64_t due = s->backend->NowMs() + interval;
  for (Timer& t : s->timers) {
    if (t.hwnd == h && t.id == id) {
      t.interval = interval;
      t.due = due;
      return true;
    }
  }
  s->timers.push_back({h, id, interval, due});
  return true;
}

bool KillTimer(Hwnd h, std::uintptr_t id) {
  if (Sys() == nullptr) return false;
  return std::erase_if(Sys()->timers,
                       [h, id](const Timer& t) { return t.hwnd == h && t.id == id; }) > 0;
}

int RunModalLoop(Hwnd h, const MessageHook& hook) {
  if (Find(h) == nullptr) return -1;
  ModalFrame frame{h};
  Sys()->modal.push_back(&frame);
  Message m;
  while (!frame.ended) {
    if (!GetMessage(m)) {
      PostQuitMessage(static_cast<int>(m.wParam));  // the outer loops end too
      frame.result = -1;
      break;
    }
    if (hook && hook(m)) continue;
    DispatchMessage(m);
  }
  if (Sys() != nullptr) std::erase(Sys()->modal, &frame);
  return frame.result;
}

bool EndModalLoop(Hwnd h, int result) {
  if (Sys() == nullptr) return false;
  std::vector<ModalFrame*>& frames = Sys()->modal;
  for (auto it = frames.rbegin(); it != frames.rend(); ++it) {
    if ((*it)->hwnd == h && !(*it)->ended) {
      (*it)->ended = true;
      (*it)->result = result;
      return true;
    }
  }
  return false;
}

int ModalDepth() {
  return Sys() ? static_cast<int>(Sys()->modal.size()) : 0;
}

}  // namespace plat
