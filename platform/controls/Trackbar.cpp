// The trackbar (class msctls_trackbar32) and the progress bar (class
// msctls_progress32): a position within a range along a channel.
#include <algorithm>

#include "platform/controls/Controls_p.h"
#include "platform/window/VirtualKeys.h"

namespace plat {
namespace controls {
namespace {

constexpr int kMargin = 8;     // from the ends of the control to the channel's ends
constexpr int kThumbHalf = 5;  // half the thumb's width along the channel

struct RangeState : ControlState {
  int min = 0;
  int max = 100;
  int pos = 0;
};

struct TrackState : RangeState {
  int page = 20;
  int line = 1;
  int ticFreq = 1;
  int selStart = -1;
  int selEnd = -1;
  bool dragging = false;
  bool keyMoved = false;
};

struct ProgressState : RangeState {
  int step = 10;
};

/// Sets the position inside the range; returns the old one.
int Place(RangeState& s, long long pos) {
  const int old = s.pos;
  s.pos = static_cast<int>(std::clamp<long long>(pos, s.min, std::max(s.min, s.max)));
  return old;
}

bool Vert(Hwnd h) {
  return (GetStyle(h) & kTbsVert) != 0;
}

/// The channel's extent along the control: first and last pixel of the thumb's centre.
std::pair<int, int> Channel(Hwnd h) {
  const Rect c = GetClientRect(h);
  const int len = Vert(h) ? c.Height() : c.Width();
  return {kMargin, std::max(kMargin, len - kMargin - 1)};
}

int PixelOf(Hwnd h, const TrackState& s, int pos) {
  const auto [a, b] = Channel(h);
  const long long span = std::max(s.max - s.min, 1);
  return a + static_cast<int>(static_cast<long long>(pos - s.min) * (b - a) / span);
}

int PosAt(Hwnd h, const TrackState& s, Point p) {
  const auto [a, b] = Channel(h);
  const int along = std::clamp(Vert(h) ? p.y : p.x, a, b);
  const long long span = std::max(b - a, 1);
  return s.min +
         static_cast<int>((static_cast<long long>(along - a) * (s.max - s.min) + span / 2) / span);
}

Rect ThumbRect(Hwnd h, const TrackState& s) {
  const Rect c = GetClientRect(h);
  const int at = PixelOf(h, s, s.pos);
  if (Vert(h)) return {c.left + 4, at - kThumbHalf, c.right - 4, at + kThumbHalf + 1};
  return {at - kThumbHalf, c.top + 4, at + kThumbHalf + 1, c.bottom - 4};
}

void Move(Hwnd h, TrackState& s, long long pos, int code) {
  Place(s, pos);
  Repaint(h);
  NotifyScroll(h, Vert(h), code, s.pos);
}

void PaintTrackbar(Hwnd h, const TrackState& s) {
  Painter p(h);
  if (!p.Ok()) return;
  const Rect c = p.Client();
  p.Fill(c, kColourFace);
  const auto [a, b] = Channel(h);
  const bool vert = Vert(h);
  const int mid = (vert ? c.Width() : c.Height()) / 2;
  const Rect channel = vert ? Rect{mid - 2, a, mid + 2, b + 1} : Rect{a, mid - 2, b + 1, mid + 2};
  p.DrawBevel(channel, Bevel::Sunken);
  const unsigned style = GetStyle(h);
  if ((style & kTbsEnableSelRange) != 0 && s.selStart >= 0 && s.selStart <= s.selEnd) {
    const int x0 = PixelOf(h, s, s.selStart), x1 = PixelOf(h, s, s.selEnd) + 1;
    p.Fill(vert ? Rect{mid - 1, x0, mid + 1, x1} : Rect{x0, mid - 1, x1, mid + 1},
           kColourSelection);
  }
  if ((style & kTbsNoTicks) == 0) {
    const int freq = std::max(s.ticFreq, 1);
    auto tick = [&](int pos, int len) {
      const int at = PixelOf(h, s, pos);
      const int edge = (vert ? c.right : c.bottom) - 3;
      p.Fill(vert ? Rect{edge - len, at, edge, at + 1} : Rect{at, edge - len, at + 1, edge},
             kColourText);
    };
    tick(s.min, 4);
    tick(s.max, 4);
    if ((style & kTbsAutoTicks) != 0)
      for (long long v = static_cast<long long>(s.min) + freq; v < s.max; v += freq)
        tick(static_cast<int>(v), 2);
  }
  if ((style & kTbsNoThumb) == 0) {
    const Rect t = ThumbRect(h, s);
    if (IsWindowEnabled(h))
      p.Fill(t, kColourFace);
    else
      p.GetCanvas().FillRect(t, Brush::Halftone(kColourHighlight3d, kColourFace));
    p.DrawBevel(t, Bevel::Raised);
  }
  if (GetFocus() == h) p.FocusRect(c);
}

bool TrackKey(Hwnd h, TrackState& s, int vk) {
  switch (vk) {
    case kVkLeft:
    case kVkUp:
      Move(h, s, static_cast<long long>(s.pos) - s.line, kSbLineUp);
      return true;
    case kVkRight:
    case kVkDown:
      Move(h, s, static_cast<long long>(s.pos) + s.line, kSbLineDown);
      return true;
    case kVkPrior:
      Move(h, s, static_cast<long long>(s.pos) - s.page, kSbPageUp);
      return true;
    case kVkNext:
      Move(h, s, static_cast<long long>(s.pos) + s.page, kSbPageDown);
      return true;
    case kVkHome:
      Move(h, s, s.min, kSbTop);
      return true;
    case kVkEnd:
      Move(h, s, s.max, kSbBottom);
      return true;
    default:
      return false;
  }
}

void PaintProgress(Hwnd h, const ProgressState& s) {
  Painter p(h);
  if (!p.Ok()) return;
  const Rect c = p.Client();
  p.Fill(c, kColourFace);
  p.DrawBevel(c, Bevel::ThinSunken);
  const Rect inner{c.left + 2, c.top + 2, c.right - 2, c.bottom - 2};
  const bool vert = (GetStyle(h) & kPbsVertical) != 0;
  const int len = vert ? inner.Height() : inner.Width();
  const long long span = std::max(s.max - s.min, 1);
  const int filled = static_cast<int>(static_cast<long long>(s.pos - s.min) * len / span);
  if ((GetStyle(h) & kPbsSmooth) != 0) {
    p.Fill(vert ? Rect{inner.left, inner.bottom - filled, inner.right, inner.bottom}
                : Rect{inner.left, inner.top, inner.left + filled, inner.bottom},
           kColourSelection);
    return;
  }
  // Blocks of two thirds of the bar's thickness with a gap of two pixels.
  const int block = std::max(2, (vert ? inner.Width() : inner.Height()) * 2 / 3);
  for (int at = 0; at < filled; at += block + 2) {
    const int end = std::min(at + block, len);
    p.Fill(vert ? Rect{inner.left, inner.bottom - end, inner.right, inner.bottom - at}
                : Rect{inner.left + at, inner.top, inner.left + end, inner.bottom},
           kColourSelection);
  }
}

}  // namespace

LResult TrackbarProc(Hwnd h, Msg m, WParam w, LParam l) {
  const auto handle = [&](TrackState* s) -> std::optional<LResult> {
    switch (m) {
      case Msg::LButtonDown: {
        if (GetFocus() != h) SetFocus(h);
        s = StateOf<TrackState>(h);
        if (s == nullptr) return 0;
        const Point p = LParamToPoint(l);
        SetCapture(h);
        if (ThumbRect(h, *s).Contains(p)) {
          s->dragging = true;
          return 0;
        }
        const int at = Vert(h) ? p.y : p.x;
        if (at < PixelOf(h, *s, s->pos))
          Move(h, *s, static_cast<long long>(s->pos) - s->page, kSbPageUp);
        else
          Move(h, *s, static_cast<long long>(s->pos) + s->page, kSbPageDown);
        return 0;
      }
      case Msg::MouseMove:
        if (s->dragging) {
          const int pos = PosAt(h, *s, LParamToPoint(l));
          if (pos != s->pos) Move(h, *s, pos, kSbThumbTrack);
        }
        return 0;
      case Msg::LButtonUp: {
        if (GetCapture() != h) return 0;
        const bool dragged = s->dragging;
        s->dragging = false;
        ReleaseCapture();
        s = StateOf<TrackState>(h);
        if (s == nullptr) return 0;
        if (dragged) NotifyScroll(h, Vert(h), kSbThumbPosition, s->pos);
        NotifyScroll(h, Vert(h), kSbEndScroll, s->pos);
        return 0;
      }
      case Msg::CaptureChanged:
        if (static_cast<Hwnd>(l) != h) s->dragging = false;
        return 0;
      case Msg::KeyDown:
        if (TrackKey(h, *s, static_cast<int>(w))) {
          if (TrackState* again = StateOf<TrackState>(h)) again->keyMoved = true;
          return 0;
        }
        return DefWindowProc(h, m, w, l);
      case Msg::KeyUp:
        if (s->keyMoved) {
          s->keyMoved = false;
          NotifyScroll(h, Vert(h), kSbEndScroll, s->pos);
        }
        return 0;
      default:
        return std::nullopt;
    }
  };
  return ControlProc<TrackState>(h, m, w, l, kRepaintOnFocus | kRepaintOnEnable | kRepaintOnSize,
                                 PaintTrackbar, handle);
}

LResult ProgressProc(Hwnd h, Msg m, WParam w, LParam l) {
  const auto handle = [&](ProgressState*) -> std::optional<LResult> {
    switch (m) {
      default:
        return std::nullopt;
    }
  };
  return ControlProc<ProgressState>(h, m, w, l, kRepaintOnSize, PaintProgress, handle);
}

}  // namespace controls

using controls::ProgressState;
using controls::StateOf;
using controls::TrackState;

namespace {
/// Sets a range (a reversed one keeps only its minimum) and keeps the position inside.
void SetRange(controls::RangeState& s, int min, int max) {
  s.min = min;
  s.max = std::max(min, max);
  controls::Place(s, s.pos);
}
}  // namespace

void TrackbarSetRange(Hwnd h, int min, int max) {
  if (TrackState* s = StateOf<TrackState>(h)) {
    SetRange(*s, min, max);
    controls::Repaint(h);
  }
}

int TrackbarGetRangeMin(Hwnd h) {
  const TrackState* s = StateOf<TrackState>(h);
  return s ? s->min : 0;
}

int TrackbarGetRangeMax(Hwnd h) {
  const TrackState* s = StateOf<TrackState>(h);
  return s ? s->max : 0;
}

void TrackbarSetPos(Hwnd h, int pos) {
  if (TrackState* s = StateOf<TrackState>(h)) {
    controls::Place(*s, pos);
    controls::Repaint(h);
  }
}

int TrackbarGetPos(Hwnd h) {
  const TrackState* s = StateOf<TrackState>(h);
  return s ? s->pos : 0;
}

void TrackbarSetPageSize(Hwnd h, int size) {
  if (TrackState* s = StateOf<TrackState>(h)) s->page = std::max(size, 1);
}

void TrackbarSetLineSize(Hwnd h, int size) {
  if (TrackState* s = StateOf<TrackState>(h)) s->line = std::max(size, 1);
}

void TrackbarSetTicFreq(Hwnd h, int freq) {
  if (TrackState* s = StateOf<TrackState>(h)) {
    s->ticFreq = std::max(freq, 1);
    controls::Repaint(h);
  }
}

void TrackbarSetSel(Hwnd h, int start, int end) {
  if (TrackState* s = StateOf<TrackState>(h)) {
    if (start > end) {
      s->selStart = s->selEnd = -1;
    } else {
      s->selStart = std::clamp(start, s->min, s->max);
      s->selEnd = std::clamp(end, s->min, s->max);
    }
    controls::Repaint(h);
  }
}

void TrackbarClearSel(Hwnd h) {
  TrackbarSetSel(h, 0, -1);
}

std::optional<std::pair<int, int>> TrackbarGetSel(Hwnd h) {
  const TrackState* s = StateOf<TrackState>(h);
  if (s == nullptr || s->selStart < 0 || s->selStart > s->selEnd) return std::nullopt;
  return std::pair{s->selStart, s->selEnd};
}

void ProgressSetRange(Hwnd h, int min, int max) {
  if (ProgressState* s = StateOf<ProgressState>(h)) {
    SetRange(*s, min, max);
    controls::Repaint(h);
  }
}

std::pair<int, int> ProgressGetRange(Hwnd h) {
  const ProgressState* s = StateOf<ProgressState>(h);
  return s ? std::pair{s->min, s->max} : std::pair{0, 0};
}

int ProgressSetPos(Hwnd h, int pos) {
  ProgressState* s = StateOf<ProgressState>(h);
  if (s == nullptr) return 0;
  const int old = controls::Place(*s, pos);
  controls::Repaint(h);
  return old;
}

int ProgressDeltaPos(Hwnd h, int delta) {
  const ProgressState* s = StateOf<ProgressState>(h);
  return s ? ProgressSetPos(h, static_cast<int>(std::clamp<long long>(
                                   static_cast<long long>(s->pos) + delta, s->min, s->max)))
           : 0;
}

int ProgressSetStep(Hwnd h, int step) {
  ProgressState* s = StateOf<ProgressState>(h);
  if (s == nullptr) return 0;
  const int old = s->step;
  s->step = step;
  return old;
}

int ProgressStepIt(Hwnd h) {
  const ProgressState* s = StateOf<ProgressState>(h);
  if (s == nullptr) return 0;
  long long next = static_cast<long long>(s->pos) + s->step;
  if (next > s->max) next = s->min + (next - s->max) % std::max(s->max - s->min, 1);
  if (next < s->min) next = s->min;
  return ProgressSetPos(h, static_cast<int>(next));
}

int ProgressGetPos(Hwnd h) {
  const ProgressState* s = StateOf<ProgressState>(h);
  return s ? s->pos : 0;
}

}  // namespace plat
