// The up-down control (class msctls_updown32): two arrow buttons that step
// a position, optionally shown in a buddy window's text.
#include <algorithm>
#include <string>

#include "platform/controls/Controls_p.h"

namespace plat {
namespace controls {
namespace {

constexpr std::uintptr_t kRepeatTimer = 1;
constexpr std::uint32_t kFirstRepeatMs = 400;
constexpr std::uint32_t kRepeatMs = 100;

struct UpDownState : ControlState {
  int min = 0;
  int max = 100;
  int pos = 0;
  Hwnd buddy = kNoWindow;
  int pressed = 0;  // +1 the up (right) arrow, -1 the down (left) arrow, 0 none
};

bool Horizontal(Hwnd h) {
  return (GetStyle(h) & kUdsHorz) != 0;
}

Rect ArrowRect(Hwnd h, int dir) {
  const Rect c = GetClientRect(h);
  if (Horizontal(h)) {
    const int mid = c.Width() / 2;
    return dir > 0 ? Rect{mid, 0, c.right, c.bottom} : Rect{0, 0, mid, c.bottom};
  }
  const int mid = c.Height() / 2;
  return dir > 0 ? Rect{0, 0, c.right, mid} : Rect{0, mid, c.right, c.bottom};
}

void ShowInBuddy(Hwnd h, const UpDownState& s) {
  if (s.buddy != kNoWindow && (GetStyle(h) & kUdsSetBuddyInt) != 0)
    SetWindowText(s.buddy, std::to_string(s.pos));
}

/// Places the control against its buddy's right (or left) edge.
void AlignToBuddy(Hwnd h, const UpDownState& s) {
  const unsigned style = GetStyle(h);
  if (s.buddy == kNoWindow || (style & (kUdsAlignRight | kUdsAlignLeft)) == 0) return;
  if (GetParent(s.buddy) != GetParent(h)) return;
  const Rect b = GetWindowRect(s.buddy);
  const int w = GetWindowRect(h).Width();
  if ((style & kUdsAlignRight) != 0)
    MoveWindow(h, {b.right, b.top, b.right + w, b.bottom});
  else
    MoveWindow(h, {b.left - w, b.top, b.left, b.bottom});
}

/// One step towards DIR (+1 up or right): asks the parent, moves, tells it.
void Step(Hwnd h, UpDownState& s, int dir) {
  const int lo = std::min(s.min, s.max), hi = std::max(s.min, s.max);
  const int delta = s.min <= s.max ? dir : -dir;
  UpDownNotify note;
  note.pos = s.pos;
  note.delta = delta;
  if (NotifyParent(h, note.hdr, kUdnDeltaPos) != 0) return;
  UpDownState* again = StateOf<UpDownState>(h);
  if (again != &s) return;
  long long next = static_cast<long long>(s.pos) + note.delta;
  if (next > hi) next = (GetStyle(h) & kUdsWrap) != 0 ? lo : hi;
  if (next < lo) next = (GetStyle(h) & kUdsWrap) != 0 ? hi : lo;
  if (next == s.pos) return;
  s.pos = static_cast<int>(next);
  ShowInBuddy(h, s);
  NotifyScroll(h, !Horizontal(h), kSbThumbPosition, s.pos);
}

void PaintUpDown(Hwnd h, const UpDownState& s) {
  Painter p(h);
  if (!p.Ok()) return;
  p.Fill(p.Client(), kColourFace);
  const bool enabled = IsWindowEnabled(h);
  for (int dir : {1, -1}) {
    const Rect r = ArrowRect(h, dir);
    const bool down = s.pressed == dir;
    p.DrawBevel(r, down ? Bevel::Pushed : Bevel::Raised);
    const int arrow = Horizontal(h) ? (dir > 0 ? 3 : 2) : (dir > 0 ? 0 : 1);
    p.Arrow(down ? r.Offset(1, 1) : r, arrow, enabled ? kColourText : kColourGreyText);
  }
}

}  // namespace

LResult UpDownProc(Hwnd h, Msg m, WParam w, LParam l) {
  const auto handle = [&](UpDownState* s) -> std::optional<LResult> {
    switch (m) {
      case Msg::Create:
        if ((GetStyle(h) & kUdsAutoBuddy) != 0) {
          // The control made just before it becomes its buddy.
          const std::vector<Hwnd> kids = GetChildren(GetParent(h));
          const auto self = std::find(kids.begin(), kids.end(), h);
          if (self != kids.begin() && self != kids.end()) s->buddy = *(self - 1);
          AlignToBuddy(h, *s);
        }
        return 0;
      case Msg::LButtonDown:
      case Msg::LButtonDblClk: {
        const int dir = ArrowRect(h, 1).Contains(LParamToPoint(l)) ? 1 : -1;
        s->pressed = dir;
        SetCapture(h);
        Repaint(h);
        SetTimer(h, kRepeatTimer, kFirstRepeatMs);
        Step(h, *s, dir);
        return 0;
      }
      case Msg::Timer:
        if (w == kRepeatTimer && s->pressed != 0) {
          SetTimer(h, kRepeatTimer, kRepeatMs);
          Step(h, *s, s->pressed);
        }
        return 0;
      case Msg::LButtonUp:
        if (s->pressed == 0) return 0;
        s->pressed = 0;
        KillTimer(h, kRepeatTimer);
        ReleaseCapture();
        Repaint(h);
        NotifyScroll(h, !Horizontal(h), kSbEndScroll, s->pos);
        return 0;
      case Msg::CaptureChanged:
        if (static_cast<Hwnd>(l) != h && s->pressed != 0) {
          s->pressed = 0;
          KillTimer(h, kRepeatTimer);
          Repaint(h);
        }
        return 0;
      default:
        return std::nullopt;
    }
  };
  return ControlProc<UpDownState>(h, m, w, l, kRepaintOnEnable | kRepaintOnSize, PaintUpDown,
                                  handle);
}

UpDownState* UpDown(Hwnd h) {
  return StateOf<UpDownState>(h);
}

}  // namespace controls

using controls::UpDown;
using controls::UpDownState;

void UpDownSetRange(Hwnd h, int min, int max) {
  if (UpDownState* s = UpDown(h)) {
    s->min = min;
    s->max = max;
    s->pos = std::clamp(s->pos, std::min(min, max), std::max(min, max));
  }
}

std::pair<int, int> UpDownGetRange(Hwnd h) {
  const UpDownState* s = UpDown(h);
  return s ? std::pair{s->min, s->max} : std::pair{0, 0};
}

int UpDownSetPos(Hwnd h, int pos) {
  UpDownState* s = UpDown(h);
  if (s == nullptr) return 0;
  const int old = s->pos;
  s->pos = std::clamp(pos, std::min(s->min, s->max), std::max(s->min, s->max));
  controls::ShowInBuddy(h, *s);
  return old;
}

int UpDownGetPos(Hwnd h) {
  const UpDownState* s = UpDown(h);
  return s ? s->pos : 0;
}

Hwnd UpDownSetBuddy(Hwnd h, Hwnd buddy) {
  UpDownState* s = UpDown(h);
  if (s == nullptr) return kNoWindow;
  const Hwnd old = s->buddy;
  s->buddy = buddy;
  controls::AlignToBuddy(h, *s);
  return old;
}

Hwnd UpDownGetBuddy(Hwnd h) {
  const UpDownState* s = UpDown(h);
  return s ? s->buddy : kNoWindow;
}

}  // namespace plat
