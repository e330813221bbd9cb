// The frame and client-area procedures: they turn window messages into
// toolkit events, keep the frame's bars laid out and keep the focus and the
// captions in line with the toolkit's active window.
#include "platform/window/VirtualKeys.h"
#include "platform/window/Window.h"
#include "toolkit/core/Events.h"
#include "toolkit/core/WindowUnits.h"
#include "toolkit/core/Menus.h"
#include "toolkit/core/ModalState.h"
#include "toolkit/core/Windows_p.h"

namespace tk::detail {

namespace {

using plat::Msg;

void BringFrameToTop(plat::Hwnd frame) {
  plat::BringToTop(frame);
  SyncFocusAndCaptions(frame);
}

/// Re-maximises the maximised windows lying inside window N's client area.
void RefitMaximisedChildren(int n) {
  const plat::Size area = WindowClientSize(n);
  for (int i = 1; i <= kMaxWindowNumber; ++i) {
    const WindowSlot& s = Slot(i);
    if (s.frame != plat::kNoWindow && s.inside && s.parent == n && s.showState == kShowMaximised)
      plat::MoveWindow(s.frame, {0, 0, area.width, area.height}, true);
  }
}

bool IsModifierOrLock(int vk) {
  switch (vk) {
    case plat::kVkShift:
    case plat::kVkControl:
    case plat::kVkMenu:
    case plat::kVkPause:
    case plat::kVkCapital:
    case plat::kVkNumLock:
    case plat::kVkScroll:
      return true;
    default:
      return false;
  }
}

void HandleKeyDown(plat::Hwnd h, plat::WParam vkWord, plat::LParam l) {
  const int vk = static_cast<int>(vkWord & 0xFF);
  plat::Message next;
  if (plat::PeekMessage(next, h, Msg::Null, Msg::Null, plat::PeekMode::Keep) && next.hwnd == h &&
      next.msg == Msg::Char) {
    plat::PeekMessage(next, h, Msg::Char, Msg::Char, plat::PeekMode::Remove);
    if (vk >= plat::kVkNumpad0 && vk <= plat::kVkDivide)
      StoreEvent(kEventKey, 1, static_cast<plat::WParam>(vk), l, h);
    else if (next.wParam == 9 && plat::IsKeyDown(plat::kVkShift))
      StoreEvent(kEventKey, 0, static_cast<plat::WParam>(KeyCode(plat::kVkTab, 20)), l, h);
    else
      StoreEvent(kEventKey, 0, next.wParam, l, h);
    return;
  }
  if (IsModifierOrLock(vk)) return;
  const int cls = plat::IsKeyDown(plat::kVkControl) ? 8192
                  : plat::IsKeyDown(plat::kVkShift) ? 4096
                                                    : 0;
  StoreEvent(kEventKey, 1, static_cast<plat::WParam>(vk + cls), l, h);
}

int ButtonOf(Msg m) {
  switch (m) {
    case Msg::RButtonDown:
    case Msg::RButtonUp:
    case Msg::RButtonDblClk:
    case Msg::NcRButtonDown:
      return 3;
    case Msg::MButtonDown:
    case Msg::MButtonUp:
    case Msg::MButtonDblClk:
    case Msg::NcMButtonDown:
      return 2;
    default:
      return 1;
  }
}

}  // namespace

plat::LResult FrameWndProc(plat::Hwnd h, plat::Msg m, plat::WParam w, plat::LParam l) {
  const int n = WindowNumberFromHandle(h);
  if (plat::LResult r = 0; BarMessage(n, m, w, l, r)) return r;
  switch (m) {
    case Msg::Size:
      if (n >= 0 && w != plat::kSizeMinimized) LayoutFrame(n);
      return 0;
    case Msg::Close:
      StoreEvent(kEventClose, 0, w, l, h);
      return 0;  // closing is the application's decision
    case Msg::Activate:
      if (w != plat::kInactive) SyncFocusAndCaptions(h);
      plat::DefWindowProc(h, m, w, l);
      return 0;
    case Msg::SetFocus:
      if (n >= 0) plat::SetFocus(Slot(n).client);
      return 0;
    case Msg::SysChar:
      if (n >= 0 && Slot(n).inside && w != '-' && WindowSlotInUse(Slot(n).parent))
        return plat::SendMessage(Slot(Slot(n).parent).frame, m, w, l);
      return plat::DefWindowProc(h, m, w, l);
    case Msg::NcLButtonDown:
    case Msg::NcRButtonDown:
    case Msg::NcMButtonDown:
      if (m == Msg::NcLButtonDown) FramePressWindow() = h;
      if (static_cast<plat::LResult>(w) != plat::kHtMinButton)
        StoreEvent(kEventFrameButton, ButtonOf(m), w, l, h);
      BringFrameToTop(h);
      plat::DefWindowProc(h, m, w, l);
      return 0;
    case Msg::NcLButtonUp:
      FramePressWindow() = plat::kNoWindow;
      return 0;
    case Msg::Command: {
      const int notification = plat::HighWord(w);
      if (notification != 0 && notification != 1) {
        plat::DefWindowProc(h, m, w, l);
        return 0;
      }
      StoreEvent(kEventMenu, 0, w, l, h);
      return 0;
    }
    case Msg::Timer:
      plat::KillTimer(h, w);  // frame timers fire once
      StoreEvent(kEventTimer, 0, w, l, h);
      return plat::DefWindowProc(h, m, w, l);
    case Msg::LButtonDown:
    case Msg::RButtonDown:
    case Msg::MButtonDown:
      BringFrameToTop(h);
      return 0;
    default:
      return plat::DefWindowProc(h, m, w, l);
  }
}

plat::LResult ClientWndProc(plat::Hwnd h, plat::Msg m, plat::WParam w, plat::LParam l) {
  const int n = WindowNumberFromHandle(h);
  const plat::Hwnd frame = n >= 0 ? Slot(n).frame : plat::GetParent(h);
  if (plat::LResult r = 0; BarMessage(n, m, w, l, r)) return r;
  switch (m) {
    case Msg::Paint: {
      if (n >= 0 && PaintFromSnapshot(n)) return 0;
      if (n < 0 || (Slot(n).specialKind != 3 && Slot(n).specialKind != 5))
        StoreEvent(kEventExpose, 0, w, l, h);
      const plat::PaintContext ctx = plat::BeginPaint(h);  // erases to white
      plat::EndPaint(h, ctx);
      DeferEvent(h, m);
      return 0;
    }
    case Msg::Size:
      if (w != plat::kSizeMinimized && plat::IsWindowVisible(h)) {
        // Repainted at once, so the drag's own repaints give no exposes.
        plat::InvalidateRect(h, std::nullopt, true);
        plat::UpdateWindow(h);
      }
      StoreEvent(kEventResize, 0, w, l, h);
      if (n >= 0) RefitMaximisedChildren(n);
      DeferEvent(h, m);
      return 0;
    case Msg::Activate:
      if (w != plat::kInactive) SyncFocusAndCaptions(frame);
      return 0;
    case Msg::SetFocus:
      if (n >= 0 && !(n == kMainWindow && MainHidden())) plat::BringToTop(frame);
      return 0;
    case Msg::SysChar:
      return plat::SendMessage(frame, m, w, l);
    case Msg::KeyDown:
      HandleKeyDown(h, w, l);
      return 0;
    case Msg::Char:
      StoreEvent(kEventKey, 0, w, l, h);
      return 0;
    case Msg::Command: {
      const int notification = plat::HighWord(w);
      if (notification != 0 && notification != 1) return plat::DefWindowProc(h, m, w, l);
      StoreEvent(kEventMenu, 0, w, l, h);
      return 0;
    }
    case Msg::Timer:
      StoreEvent(kEventTimer, 0, w, l, h);  // client timers keep running
      return 0;
    case Msg::MouseMove:
      StoreEvent(kEventMouseMove, 0, w, l, h);
      return 0;
    case Msg::LButtonDown:
    case Msg::RButtonDown:
    case Msg::MButtonDown:
    case Msg::LButtonDblClk:
    case Msg::RButtonDblClk:
    case Msg::MButtonDblClk: {
      const bool dbl =
          m == Msg::LButtonDblClk || m == Msg::RButtonDblClk || m == Msg::MButtonDblClk;
      int on = 0;
      EventTypeEnabled(kEventDoubleClick, on);
      plat::SetCapture(h);
      StoreEvent(dbl && on != 0 ? kEventDoubleClick : kEventButtonDown, ButtonOf(m), w, l, h);
      BringFrameToTop(frame);
      return 0;
    }
    case Msg::LButtonUp:
    case Msg::RButtonUp:
    case Msg::MButtonUp:
      plat::ReleaseCapture();
      StoreEvent(kEventButtonUp, ButtonOf(m), w, l, h);
      return 0;
    case Msg::MouseWheel: {
      // The wheel message carries a screen position: the event wants the
      // client position, like every other mouse event.
      const plat::Point client = plat::ScreenToClient(h, plat::LParamToPoint(l));
      const int delta = plat::SignedHigh(w);
      StoreEvent(kEventButtonDown, delta > 0 ? 4 : 5, static_cast<plat::WParam>(plat::LowWord(w)),
                 plat::PointToLParam(client), h);
      return 0;
    }
    case Msg::NcLButtonDown:
    case Msg::NcRButtonDown:
    case Msg::NcMButtonDown:
      StoreEvent(kEventFrameButton, ButtonOf(m), w, l, h);
      BringFrameToTop(frame);
      return plat::DefWindowProc(h, m, w, l);
    default:
      return plat::DefWindowProc(h, m, w, l);
  }
}

plat::LResult SplitterWndProc(plat::Hwnd h, plat::Msg m, plat::WParam w, plat::LParam l) {
  // No split window is ever made: the classes exist for the names only.
  return plat::DefWindowProc(h, m, w, l);
}

}  // namespace tk::detail

namespace tk {

plat::Hwnd& FramePressWindow() {
  static plat::Hwnd frame = plat::kNoWindow;
  return frame;
}

}  // namespace tk
