// The event loop, the one current event, the held exposes and resizes, and
// the conversion of event positions into window and graphics units.
#include "toolkit/core/Events.h"

#include <cmath>

#include "platform/backend/Backend.h"
#include "platform/window/VirtualKeys.h"
#include "platform/window/Window.h"
#include "toolkit/core/ToolkitState.h"
#include "toolkit/core/WindowUnits.h"
#include "toolkit/core/Windows.h"

namespace tk {

namespace {

/// One event: positions still in client pixels.
struct HeldEvent {
  int type = 0;
  int window = -1;
  int value1 = -1;
  int value2 = -1;
  int value3 = -1;
  int value4 = -1;
  int x = -1;
  int y = -1;
  std::int32_t time = 0;
};

enum class StoreState { Waiting, Stored };

struct EventState {
  std::array<bool, kEventTypeCount> enabled{};
  HeldEvent current{};
  StoreState store = StoreState::Stored;
  bool insideWait = false;
  bool waitDispatching = false;  // the wait itself is dispatching a paint or size
  std::array<HeldEvent, kWindowSlots> deferred{};
  HeldEvent heldFieldChange{};
  DialogEventLink dialogs{};
  EventMessageFilter filter{};
};

EventState& Ev() {
  static EventState s = [] {
    EventState e;
    return e;
  }();
  return s;
}

constexpr bool kStartSwitches[kEventTypeCount] = {
    true, true,  true,  true,  false, false, true,  true,
    true, false, false, false, true,  true,  false, false,
};

bool SwitchOn(int type) {
  return type >= 1 && type <= kEventTypeCount && Ev().enabled[static_cast<std::size_t>(type - 1)];
}

std::int32_t MessageTime() {
  return static_cast<std::int32_t>(plat::GetMessageTime() & 0x7FFFFFFF);
}

/// A 16-bit client coordinate as the mouse messages carry it.
int Coordinate(int word) {
  return static_cast<std::int16_t>(word & 0xFFFF);
}

void CopyOut(const HeldEvent& e, int& type, EventRecord& r) {
  type = e.type;
  r.window = e.window;
  r.value1 = e.value1;
  r.value2 = e.value2;
  r.value3 = e.value3;
  r.value4 = e.value4;
  r.x = e.x;
  r.y = e.y;
  r.time = e.time;
}

/// Steps 2-3 of a wait: held exposes and resizes, then a held field change.
bool TakeHeld(int& type, EventRecord& r) {
  EventState& s = Ev();
  for (int n = 0; n <= kMaxWindowNumber; ++n) {
    HeldEvent& d = s.deferred[static_cast<std::size_t>(n)];
    if (d.type == 0) continue;
    if (!WindowSlotInUse(n)) {
      d = HeldEvent{};
      continue;
    }
    HeldEvent e = d;
    e.window = n;
    if (e.type == kEventExpose) {
      const plat::Size c = WindowClientSize(n);
      e.x = 0;
      e.y = 0;
      e.value1 = c.width;
      e.value2 = c.height;
      e.value3 = 0;
    }
    d = HeldEvent{};
    CopyOut(e, type, r);
    return true;
  }
  if (s.heldFieldChange.type != 0) {
    CopyOut(s.heldFieldChange, type, r);
    s.heldFieldChange = HeldEvent{};
    return true;
  }
  return false;
}

/// Step 5 of a wait: the event taken from the message loop.
void TakeCurrent(int& type, EventRecord& r) {
  EventState& s = Ev();
  HeldEvent e = s.current;
  if ((e.type == kEventResize || e.type == kEventExpose) && e.value3 == 0 && e.window >= 0 &&
      e.window <= kMaxWindowNumber) {
    HeldEvent& d = s.deferred[static_cast<std::size_t>(e.window)];
    if (d.type == kEventExpose && e.type == kEventExpose) {
      const plat::Size c = WindowClientSize(e.window);
      e.x = 0;
      e.y = 0;
      e.value1 = c.width;
      e.value2 = c.height;
    }
    d = HeldEvent{};
  }
  CopyOut(e, type, r);
}

/// Dispatches one message, noting when the wait itself dispatches a paint.
void Dispatch(const plat::Message& m) {
  EventState& s = Ev();
  const bool paint = m.msg == plat::Msg::Paint || m.msg == plat::Msg::Size;
  const bool was = s.waitDispatching;
  if (paint) s.waitDispatching = true;
  plat::TranslateMessage(m);
  plat::DispatchMessage(m);
  s.waitDispatching = was;
}

/// Runs the message loop until a procedure stores an event. BLOCK false:
/// returns false when the queue runs dry first. A wait that can never be
/// answered, or the end of the window system, gives a close request of the
/// main window so the application's loop ends.
bool RunLoop(bool block) {
  EventState& s = Ev();
  s.store = StoreState::Waiting;
  while (s.store == StoreState::Waiting) {
    plat::Message m;
    // Taking input in may store an event (a resize from the window manager
    // is applied as it is read), so look before taking a message.
    s.waitDispatching = true;
    const bool any = plat::PeekMessage(m, plat::kNoWindow, plat::Msg::Null, plat::Msg::Null,
                                       plat::PeekMode::Keep);
    s.waitDispatching = false;
    if (s.store != StoreState::Waiting) break;
    if (!any) {
      if (!block) {
        s.store = StoreState::Stored;
        return false;
      }
      s.waitDispatching = true;
      const bool ok = plat::WaitMessage();
      s.waitDispatching = false;
      if (!ok) break;
      continue;
    }
    if (!plat::PeekMessage(m, plat::kNoWindow, plat::Msg::Null, plat::Msg::Null,
                           plat::PeekMode::Remove))
      continue;
    if (m.msg == plat::Msg::Quit) {
      plat::PostQuitMessage(static_cast<int>(m.wParam));
      break;
    }
    if (s.filter && s.filter(m)) continue;
    Dispatch(m);
  }
  if (s.store == StoreState::Waiting) {
    s.store = StoreState::Stored;
    s.current = HeldEvent{kEventClose, WindowSlotInUse(kMainWindow) ? kMainWindow : -1};
    s.current.time = MessageTime();
  }
  return true;
}

/// WEventWait and WEventPeek without the unit conversion.
bool EventLoop(bool block, int& type, EventRecord& r) {
  EventState& s = Ev();
  // A wait run by a procedure that an outer wait dispatched (a grid
  // window's command with its dialog): the outer wait goes on afterwards
  // with the event it had, or none, not with what this one took.
  const bool nested = s.insideWait;
  const HeldEvent outer = s.current;
  const StoreState outerStore = s.store;
  s.insideWait = true;
  s.current.type = 0;
  bool got = TakeHeld(type, r);
  if (!got && plat::IsInitialized() && RunLoop(block)) {
    TakeCurrent(type, r);
    got = true;
  }
  s.current.type = 0;
  s.insideWait = nested;
  if (nested) {
    s.current = outer;
    s.store = outerStore;
  }
  return got;
}

void DeliverSurfaceResize(int n, plat::Size size) {
  if (n == CurrentWindow()) SetCurrentDrawable(CurrentDrawableKind(), size);
  if (n == CurrentWindow()) TextCellToPixels();
  if (GetGraphicsLink().windowSurfaceResized) GetGraphicsLink().windowSurfaceResized(n, size);
}

}  // namespace

void ResetEventState() {
  EventState& s = Ev();
  for (int i = 0; i < kEventTypeCount; ++i)
    s.enabled[static_cast<std::size_t>(i)] = kStartSwitches[i];
  s.current = HeldEvent{};
  s.store = StoreState::Stored;
  s.deferred.fill(HeldEvent{});
  s.heldFieldChange = HeldEvent{};
}

void WEventTypeSwitch(int type, int value) {
  if (type >= 1 && type <= kEventTypeCount)
    Ev().enabled[static_cast<std::size_t>(type - 1)] = value != 0;
}

void EventTypeEnabled(int type, int& result) {
  result = SwitchOn(type) ? 1 : 0;
}

void SetDialogEventLink(DialogEventLink link) {
  Ev().dialogs = std::move(link);
}

const DialogEventLink& GetDialogEventLink() {
  return Ev().dialogs;
}

bool EventWaitRunning() {
  return Ev().insideWait;
}

void SetEventMessageFilter(EventMessageFilter filter) {
  Ev().filter = std::move(filter);
}

int KeyCode(int vk, int modifierClass) {
  const int cls = modifierClass == 40 ? 40 : modifierClass == 20 ? 20 : 0;
  switch (vk) {
    case plat::kVkUp:
      return 258 + cls / 5;
    case plat::kVkDown:
      return 259 + cls / 5;
    case plat::kVkRight:
      return 260 + cls / 5;
    case plat::kVkLeft:
      return 261 + cls / 5;
    case plat::kVkPrior:
      return 262;
    case plat::kVkNext:
      return 263;
    case plat::kVkHome:
      return 270;
    case plat::kVkEnd:
    case plat::kVkSelect:
      return 271;
    case plat::kVkInsert:
      return 272;
    case plat::kVkDelete:
      return 273;
    case plat::kVkClear:
      return 285;
    case plat::kVkSubtract:
      return 290;
    case plat::kVkDecimal:
      return 291;
    case plat::kVkAdd:
    case plat::kVkSeparator:
      return 292;
    case plat::kVkDivide:
      return 293;
    case plat::kVkMultiply:
      return 294;
    case plat::kVkSnapshot:
      return 300;
    default:
      break;
  }
  if (vk == plat::kVkTab && cls == 20) return 274;
  if (vk >= plat::kVkNumpad0 && vk <= plat::kVkNumpad9) return 280 + (vk - plat::kVkNumpad0);
  if (vk >= plat::kVkF1 && vk < plat::kVkF1 + 20) return 301 + (vk - plat::kVkF1) + cls;
  return vk;
}

int MouseKeyState(plat::WParam keyState) {
  int v = 0;
  if (keyState & plat::kMkControl) v += 1;
  if (keyState & plat::kMkShift) v += 2;
  if (keyState & plat::kMkLButton) v += 4;
  if (keyState & plat::kMkMButton) v += 8;
  if (keyState & plat::kMkRButton) v += 16;
  return v;
}

void StoreMadeFieldEvent(const EventRecord& r, bool yield) {
  EventState& s = Ev();
  if (!SwitchOn(kEventFieldChanged)) return;
  const bool stored = s.insideWait && s.store == StoreState::Stored &&
                      s.current.type == kEventFieldChanged;
  if (yield && (stored || s.heldFieldChange.type != 0)) return;
  const HeldEvent e{kEventFieldChanged, r.window, r.value1, r.value2, r.value3, r.value4,
                    r.x,                r.y,      MessageTime()};
  if (stored) {
    s.heldFieldChange = e;
    return;
  }
  s.current = e;
  s.store = StoreState::Stored;
}

void StoreEvent(int type, int k, plat::WParam w, plat::LParam l, plat::Hwnd h) {
  EventState& s = Ev();
  const int plain = type > kFieldEventOffset ? type - kFieldEventOffset : type;
  if (!SwitchOn(plain)) return;
  if (plain == kEventExpose && s.store == StoreState::Stored && s.current.type == kEventResize)
    return;
  const int window = WindowNumberFromHandle(h);
  const bool visible = plat::IsWindowVisible(h);
  const bool bitmapView = window >= 0 && WindowBitmapView(window) == h;
  const int source = bitmapView ? kSourceBitmapView : kSourceClient;
  HeldEvent& e = s.current;
  const bool fieldEvent = type > kFieldEventOffset;

  if (type == kEventPushButton || type == kEventFieldChanged || type == kEventTabChanged ||
      fieldEvent) {
    // Dialog and field events: the dialog manager fills them.
    if (!s.dialogs.fill) return;
    EventRecord r{};
    if (!s.dialogs.fill(type, w, l, h, r)) return;
    if (type == kEventFieldChanged && s.insideWait && s.store == StoreState::Stored &&
        e.type != 0) {
      // A second field change from the message that stored this wait's event
      // is kept for the next wait instead of replacing the first.
      s.heldFieldChange = HeldEvent{kEventFieldChanged,
                                    r.window,
                                    r.value1,
                                    r.value2,
                                    0,
                                    -1,
                                    r.x,
                                    r.y,
                                    static_cast<std::int32_t>(plat::NowMs() & 0x7FFFFFFF)};
      return;
    }
    e = HeldEvent{plain, r.window, r.value1, r.value2, r.value3, r.value4, r.x, r.y, MessageTime()};
    s.store = StoreState::Stored;
    return;
  }
  if (!(type == kEventResize && !visible)) {
    e.type = type;
    e.window = window;
    // Sizes and paints are sent, not queued: their time is now.
    e.time = (type == kEventResize || type == kEventExpose)
                 ? static_cast<std::int32_t>(plat::NowMs() & 0x7FFFFFFF)
                 : MessageTime();
  }
  const auto u = static_cast<std::uintptr_t>(l);
  switch (type) {
    case kEventKey: {
      const plat::Point p = plat::ScreenToClient(h, plat::CursorPos());
      e.x = p.x;
      e.y = p.y;
      if (k == 1) {
        const int word = static_cast<int>(w);
        const int cls = word > 8192 ? 40 : word > 4096 ? 20 : 0;
        e.value1 = KeyCode(word & 0xFFF, cls);
      } else {
        e.value1 = static_cast<int>(w);
      }
      e.value2 = -1;
      e.value3 = source;
      e.value4 = -1;
      break;
    }
    case kEventMenu:
      e.value1 = plat::LowWord(w);
      e.value2 = e.value3 = e.value4 = e.x = e.y = -1;
      break;
    case kEventButtonDown:
    case kEventButtonUp:
    case kEventDoubleClick:
    case kEventMouseMove:
      e.value1 = type == kEventMouseMove ? -1 : k;
      e.value2 = MouseKeyState(w);
      e.value3 = source;
      e.value4 = -1;
      e.x = Coordinate(plat::LowWord(u));
      e.y = Coordinate(plat::HighWord(u));
      break;
    case kEventExpose: {
      const plat::Rect r = plat::GetUpdateRect(h);
      e.value1 = r.Width();
      e.value2 = r.Height();
      e.value3 = 0;
      e.value4 = -1;
      e.x = r.left;
      e.y = r.top;
      break;
    }
    case kEventResize: {
      if (w == plat::kSizeMinimized) return;
      const plat::Size size{plat::LowWord(u), plat::HighWord(u)};
      if (!visible) {
        if (window >= 0) DeliverSurfaceResize(window, size);
        return;
      }
      e.value1 = size.width;
      e.value2 = size.height;
      e.value3 = 0;
      e.value4 = -1;
      e.x = e.y = -1;
      break;
    }
    case kEventViewScrolled:
      e.value1 = plat::LowWord(u);
      e.value2 = plat::HighWord(u);
      e.value3 = kSourceBitmapView;
      e.value4 = -1;
      e.x = e.y = 0;
      break;
    default:  // close, frame button, timer, toolbar Enter
      e.value1 = (type == kEventFrameButton) ? k : (type == kEventTimer) ? static_cast<int>(w) : -1;
      e.value2 = e.value3 = e.value4 = e.x = e.y = -1;
      break;
  }
  s.store = StoreState::Stored;
}

void DeferEvent(plat::Hwnd h, plat::Msg m) {
  EventState& s = Ev();
  if (s.store != StoreState::Stored || s.waitDispatching || s.current.type <= 0) return;
  if (m == plat::Msg::Size && !plat::IsWindowVisible(h)) return;
  const int n = WindowNumberFromHandle(h);
  if (n < 0) return;
  HeldEvent& d = s.deferred[static_cast<std::size_t>(n)];
  const bool size = m == plat::Msg::Size;
  if (!size && d.type == kEventResize) return;  // a held resize is never replaced by an expose
  d = s.current;
  d.type = size ? kEventResize : kEventExpose;
  d.window = n;
}

void ViewerPixelToUnits(double px, double py, int window, float& gx, float& gy) {
  std::array<double, 4> area{0, 0, 1, 1};
  std::array<double, 4> units{0, 0, 1, 1};
  if (GetGraphicsLink().plotMapping) GetGraphicsLink().plotMapping(area, units);
  const auto& info = GetGraphicsLink().bitmapViewerInfo;
  auto item = [&](int i) { return info ? static_cast<double>(info(window, i)) : 0.0; };
  const double w = item(101);
  const double hgt = item(102);
  const double sx = item(4);
  const double sb = item(103);
  // A bitmap without pixels (no viewer) maps every pixel to the units' origin.
  const double xs = w * (area[2] - area[0]) / (units[2] - units[0]);
  const double ys = hgt * (area[3] - area[1]) / (units[3] - units[1]);
  gx = static_cast<float>(xs != 0 ? (sx + px - w * area[0]) / xs + units[0] : units[0]);
  gy = static_cast<float>(ys != 0 ? ((hgt - sb) + py - hgt * area[1]) / ys + units[1] : units[1]);
}

void EventRecordFinish(int type, EventRecord& r) {
  if (type == kEventViewScrolled) {
    const int maxY = WindowClientSize(r.window).height - 1;
    ViewerPixelToUnits(r.x + 0.5, (maxY - r.y) + 0.5, r.window, r.graphicsX, r.graphicsY);
    return;
  }
  if (type != kEventKey && type != kEventButtonDown && type != kEventButtonUp &&
      type != kEventMouseMove && type != kEventExpose && type != kEventResize &&
      type != kEventDoubleClick)
    return;
  if (r.value3 == kSourceField) return;  // dialog fields: the dialog manager's conversion
  const int n = r.window;
  const plat::Size ext = WindowClientSize(n);
  if (type == kEventResize) {
    if (n == CurrentWindow() && WindowSlotInUse(n)) DeliverSurfaceResize(n, {r.value1, r.value2});
    return;
  }
  // The graphics layer's plot area and user units over the target's client area.
  std::array<double, 4> area{0, 0, 1, 1};
  std::array<double, 4> units{0, 0, 1, 1};
  if (GetGraphicsLink().plotMapping) GetGraphicsLink().plotMapping(area, units);
  const double w = ext.width;
  const double hgt = ext.height;
  const double left = (w - 0.01) * area[0];
  const double bottom = (hgt - 0.01) * area[1];
  const double xs = ((w - 0.01) * area[2] - left) / (units[2] - units[0]);
  const double ys = ((hgt - 0.01) * area[3] - bottom) / (units[3] - units[1]);
  auto toUser = [&](double px, double py, float& gx, float& gy) {
    gx = static_cast<float>((px - left) / xs + units[0]);
    gy = static_cast<float>((py - bottom) / ys + units[1]);
  };
  const int maxY = ext.height - 1;
  if (r.value3 == kSourceBitmapView)
    ViewerPixelToUnits(r.x + 0.5, (maxY - r.y) + 0.5, n, r.graphicsX, r.graphicsY);
  else
    toUser(r.x + 0.5, (maxY - r.y) + 0.5, r.graphicsX, r.graphicsY);
  if (type == kEventExpose) {
    toUser(r.value1 + 0.5, r.value2 + 0.5, r.exposedWidth, r.exposedHeight);
    const int x2 = PixelToUnit(r.x + r.value1 - 1, ext.width);
    const int y2 = PixelToUnit(r.y + r.value2 - 1, ext.height);
    const int x1 = PixelToUnit(r.x, ext.width);
    const int y1 = PixelToUnit(r.y, ext.height);
    r.value1 = x2 - x1;
    r.value2 = y2 - y1;
    r.x = x1;
    r.y = y1;
    return;
  }
  r.x = PixelToUnit(r.x, ext.width);
  r.y = PixelToUnit(r.y, ext.height);
}

void WEventWait(int& type, EventRecord& record) {
  if (!EventLoop(true, type, record)) {
    type = kEventClose;
    record.window = record.value1 = record.value2 = record.value3 = record.value4 = -1;
    record.x = record.y = -1;
    return;
  }
  EventRecordFinish(type, record);
}

void WEventPeek(int& type, EventRecord& record) {
  if (!EventLoop(false, type, record)) {
    type = kEventNone;
    record.window = record.value1 = record.value2 = record.value3 = record.value4 = -1;
    record.x = record.y = record.time = -1;
    return;
  }
  EventRecordFinish(type, record);
}

void WEventTimerSet(int intervalMs, int id, int target) {
  if (!WindowSlotInUse(kMainWindow)) return;
  const plat::Hwnd client = WindowClientHandle(kMainWindow);
  const plat::Hwnd frame = WindowFrameHandle(kMainWindow);
  const auto tid = static_cast<std::uintptr_t>(static_cast<std::uint32_t>(id));
  if (intervalMs > 0) {
    plat::SetTimer(target == 1 ? client : frame, tid, static_cast<std::uint32_t>(intervalMs));
  } else {
    plat::KillTimer(client, tid);
    plat::KillTimer(frame, tid);
  }
}

namespace {
// Part of the one reset for tests.
[[maybe_unused]] const bool kResetRegistered = RegisterToolkitReset(ToolkitLayer::Core, ResetEventState);
}  // namespace

}  // namespace tk
