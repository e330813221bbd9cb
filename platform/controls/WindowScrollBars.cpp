// A window's own scroll bars: scroll bar children that stand in for the bars
// a window's frame would carry, sending their messages to the window as its
// own (lParam 0).
#include <algorithm>

#include "platform/controls/Controls_p.h"

namespace plat {

namespace {

bool WantsBar(Hwnd h, bool vertical) {
  return (GetStyle(h) & (vertical ? kWsVScroll : kWsHScroll)) != 0;
}

Rect BarRect(Hwnd h, bool vertical) {
  const Rect c = GetClientRect(h);
  const int s = kWindowScrollBarSize;
  const bool both = WantsBar(h, true) && WantsBar(h, false);
  if (vertical) return {c.right - s, c.top, c.right, c.bottom - (both ? s : 0)};
  return {c.left, c.bottom - s, c.right - (both ? s : 0), c.bottom};
}

/// Disabled while nothing can scroll.
void UpdateEnabled(Hwnd bar) {
  const auto [min, max] = ScrollBarGetRange(bar);
  const WindowScrollInfo i = GetWindowScrollInfo(GetParent(bar), (GetStyle(bar) & kSbsVert) != 0);
  const long long span = static_cast<long long>(max) - min + 1;
  const bool canScroll = span > 1 && (i.page <= 0 || i.page < span);
  if (IsWindowEnabled(bar) != canScroll) EnableWindow(bar, canScroll);
}

}  // namespace

Hwnd WindowScrollBar(Hwnd h, bool vertical) {
  for (Hwnd c : GetChildren(h)) {
    const unsigned style = GetStyle(c);
    if ((style & kSbsWindowBar) && ((style & kSbsVert) != 0) == vertical &&
        GetClassName(c) == kScrollBarClass)
      return c;
  }
  return kNoWindow;
}

void PlaceWindowScrollBars(Hwnd h) {
  (void)RegisterControls();
  for (bool vertical : {true, false}) {
    if (!WantsBar(h, vertical)) continue;
    Hwnd bar = WindowScrollBar(h, vertical);
    if (bar == kNoWindow) {
      CreateParams p;
      p.className = kScrollBarClass;
      p.style = kStyleChild | kStyleVisible | kSbsWindowBar | (vertical ? kSbsVert : 0u);
      p.rect = BarRect(h, vertical);
      p.parent = h;
      p.id = -1;
      bar = CreateWindow(p);
      if (bar == kNoWindow) continue;
      ScrollBarSetRange(bar, 0, 0, 0);
      UpdateEnabled(bar);
    } else {
      MoveWindow(bar, BarRect(h, vertical));
    }
    BringToTop(bar);
  }
}

Rect ClientInsideScrollBars(Hwnd h) {
  Rect c = GetClientRect(h);
  if (WantsBar(h, true)) c.right = std::max(c.left, c.right - kWindowScrollBarSize);
  if (WantsBar(h, false)) c.bottom = std::max(c.top, c.bottom - kWindowScrollBarSize);
  return c;
}

void SetWindowScrollInfo(Hwnd h, bool vertical, int min, int max, int page, int pos) {
  const Hwnd bar = WindowScrollBar(h, vertical);
  if (bar == kNoWindow) return;
  ScrollBarSetRange(bar, min, max, page);
  ScrollBarSetPos(bar, pos);
  UpdateEnabled(bar);
}

void SetWindowScrollPos(Hwnd h, bool vertical, int pos) {
  if (const Hwnd bar = WindowScrollBar(h, vertical); bar != kNoWindow) ScrollBarSetPos(bar, pos);
}

int GetWindowScrollPos(Hwnd h, bool vertical) {
  const Hwnd bar = WindowScrollBar(h, vertical);
  return bar == kNoWindow ? 0 : ScrollBarGetPos(bar);
}

WindowScrollInfo GetWindowScrollInfo(Hwnd h, bool vertical) {
  WindowScrollInfo i;
  const Hwnd bar = WindowScrollBar(h, vertical);
  if (bar == kNoWindow) return i;
  std::tie(i.min, i.max) = ScrollBarGetRange(bar);
  i.page = ScrollBarGetPage(bar);
  i.pos = ScrollBarGetPos(bar);
  return i;
}

}  // namespace plat
