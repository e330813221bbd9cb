// The scroll bar control (class SCROLLBAR) and the scroll bar drawing that
// list boxes share with it.
#include <algorithm>

#include "platform/controls/Controls_p.h"

namespace plat {
namespace controls {

ScrollParts MeasureScroll(const Rect& bar, bool vertical, const ScrollRange& r) {
  ScrollParts parts;
  const int across = vertical ? bar.Width() : bar.Height();
  const int along = vertical ? bar.Height() : bar.Width();
  const int arrow = std::min(across, along / 2);
  auto span = [&](int a, int b) {
    return vertical ? Rect{bar.left, bar.top + a, bar.right, bar.top + b}
                    : Rect{bar.left + a, bar.top, bar.left + b, bar.bottom};
  };
  parts.less = span(0, arrow);
  parts.more = span(along - arrow, along);
  parts.track = span(arrow, along - arrow);
  const int track = along - 2 * arrow;
  const long long range = static_cast<long long>(r.max) - r.min + 1;
  if (range <= 1 || track < 8 || (r.page > 0 && r.page >= range)) return parts;  // no thumb
  int thumb =
      r.page > 0 ? static_cast<int>(track * std::min<long long>(r.page, range) / range) : across;
  thumb = std::clamp(thumb, 8, track);
  const long long last = r.max - std::max(r.page - 1, 0) - r.min;
  const long long at =
      std::clamp<long long>(static_cast<long long>(r.pos) - r.min, 0, std::max(last, 0LL));
  const int offset = last > 0 ? static_cast<int>((track - thumb) * at / last) : 0;
  parts.thumb = span(arrow + offset, arrow + offset + thumb);
  return parts;
}

int ScrollPosAt(const ScrollParts& parts, bool vertical, const ScrollRange& r, int along) {
  const int track = vertical ? parts.track.Height() : parts.track.Width();
  const int thumb = vertical ? parts.thumb.Height() : parts.thumb.Width();
  const int start = vertical ? parts.track.top : parts.track.left;
  const long long last = r.max - std::max(r.page - 1, 0) - r.min;
  if (track <= thumb || last <= 0) return r.min;
  const long long off = std::clamp(along - start - thumb / 2, 0, track - thumb);
  return r.min + static_cast<int>((off * last + (track - thumb) / 2) / (track - thumb));
}

void PaintScroll(Painter& p, const Rect& bar, bool vertical, const ScrollRange& r, bool enabled,
                 int pressed) {
  const ScrollParts parts = MeasureScroll(bar, vertical, r);
  p.GetCanvas().FillRect(parts.track, Brush::Halftone(kColourHighlight3d, kColourFace));
  const bool active = enabled && !parts.thumb.Empty();
  int dir = vertical ? 0 : 2;
  for (const Rect& a : {parts.less, parts.more}) {
    const bool down = pressed == (dir % 2 == 0 ? -1 : 1);
    p.Fill(a, kColourFace);
    p.DrawBevel(a, down ? Bevel::Pushed : Bevel::Raised);
    p.Arrow(down ? a.Offset(1, 1) : a, dir, active ? kColourText : kColourGreyText);
    ++dir;
  }
  if (!active) return;
  p.Fill(parts.thumb, kColourFace);
  p.DrawBevel(parts.thumb, Bevel::Raised);
}

namespace {

struct ScrollState : ControlState {
  ScrollRange range;
  int pressed = 0;  // -1 the less arrow, +1 the more arrow, 0 none
  bool dragging = false;
  int dragPos = 0;  // the thumb's position while dragged
};

bool Vertical(Hwnd h) {
  return (GetStyle(h) & kSbsVert) != 0;
}

bool Grip(Hwnd h) {
  return (GetStyle(h) & (kSbsSizeGrip | kSbsSizeBox)) != 0;
}

ScrollRange Shown(const ScrollState& s) {
  ScrollRange r = s.range;
  if (s.dragging) r.pos = s.dragPos;
  return r;
}

void PaintGrip(Painter& p) {
  const Rect c = p.Client();
  p.Fill(c, kColourFace);
  const int size = std::min(c.Width(), c.Height());
  for (int k = 0; k < 3; ++k)
    for (int i = 0; i < size - 4 * k - 1; ++i) {
      const int x = c.right - 1 - i, y = c.bottom - size + 4 * k + 1 + i;
      p.Fill({x, y, x + 1, y + 1}, kColourHighlight3d);
      p.Fill({x, y + 1, x + 1, y + 3}, kColourShadow);
    }
}

void PaintScrollBar(Hwnd h, const ScrollState& s) {
  Painter p(h);
  if (!p.Ok()) return;
  if (Grip(h))
    PaintGrip(p);
  else
    PaintScroll(p, p.Client(), Vertical(h), Shown(s), IsWindowEnabled(h), s.pressed);
}

}  // namespace

LResult ScrollBarProc(Hwnd h, Msg m, WParam w, LParam l) {
  const auto handle = [&](ScrollState* s) -> std::optional<LResult> {
    const bool vert = Vertical(h);
    switch (m) {
      case Msg::LButtonDown:
      case Msg::LButtonDblClk: {
        if (Grip(h)) return 0;
        const Point pt = LParamToPoint(l);
        const ScrollParts parts = MeasureScroll(GetClientRect(h), vert, s->range);
        if (parts.thumb.Empty()) return 0;
        SetCapture(h);
        if (parts.less.Contains(pt) || parts.more.Contains(pt)) {
          s->pressed = parts.less.Contains(pt) ? -1 : 1;
          Repaint(h);
          NotifyScroll(h, vert, s->pressed < 0 ? kSbLineUp : kSbLineDown, 0);
        } else if (parts.thumb.Contains(pt)) {
          s->dragging = true;
          s->dragPos = s->range.pos;
        } else {
          const int along = vert ? pt.y : pt.x;
          const int thumbStart = vert ? parts.thumb.top : parts.thumb.left;
          NotifyScroll(h, vert, along < thumbStart ? kSbPageUp : kSbPageDown, 0);
        }
        return 0;
      }
      case Msg::MouseMove:
        if (s->dragging) {
          const Point pt = LParamToPoint(l);
          const ScrollParts parts = MeasureScroll(GetClientRect(h), vert, Shown(*s));
          const int pos = ScrollPosAt(parts, vert, s->range, vert ? pt.y : pt.x);
          if (pos != s->dragPos) {
            s->dragPos = pos;
            Repaint(h);
            NotifyScroll(h, vert, kSbThumbTrack, pos);
          }
        }
        return 0;
      case Msg::LButtonUp: {
        if (GetCapture() != h) return 0;
        const bool dragged = s->dragging;
        const int pos = s->dragPos;
        s->dragging = false;
        s->pressed = 0;
        ReleaseCapture();
        Repaint(h);
        if (dragged) NotifyScroll(h, vert, kSbThumbPosition, pos);
        NotifyScroll(h, vert, kSbEndScroll, 0);
        return 0;
      }
      case Msg::CaptureChanged:
        if (static_cast<Hwnd>(l) != h && (s->dragging || s->pressed != 0)) {
          s->dragging = false;
          s->pressed = 0;
          Repaint(h);
        }
        return 0;
      default:
        return std::nullopt;
    }
  };
  return ControlProc<ScrollState>(h, m, w, l, kRepaintOnEnable | kRepaintOnSize, PaintScrollBar,
                                  handle);
}

ScrollState* Scroll(Hwnd h) {
  return StateOf<ScrollState>(h);
}

}  // namespace controls

using controls::Scroll;
using controls::ScrollState;

void ScrollBarSetRange(Hwnd h, int min, int max, int page) {
  if (ScrollState* s = Scroll(h)) {
    s->range.min = min;
    s->range.max = std::max(min, max);
    s->range.page = std::max(page, 0);
    ScrollBarSetPos(h, s->range.pos);
  }
}

int ScrollBarGetPage(Hwnd h) {
  const ScrollState* s = Scroll(h);
  return s ? s->range.page : 0;
}

int ScrollBarSetPos(Hwnd h, int pos) {
  ScrollState* s = Scroll(h);
  if (s == nullptr) return 0;
  const int old = s->range.pos;
  const int last = s->range.max - std::max(s->range.page - 1, 0);
  s->range.pos = std::clamp(pos, s->range.min, std::max(s->range.min, last));
  controls::Repaint(h);
  return old;
}

int ScrollBarGetPos(Hwnd h) {
  const ScrollState* s = Scroll(h);
  return s ? s->range.pos : 0;
}

std::pair<int, int> ScrollBarGetRange(Hwnd h) {
  const ScrollState* s = Scroll(h);
  return s ? std::pair{s->range.min, s->range.max} : std::pair{0, 0};
}

}  // namespace plat
