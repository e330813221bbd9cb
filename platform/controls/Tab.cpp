// The tab control (class SysTabControl32): one row of tabs over a page area.
#include <algorithm>

#include "platform/controls/Controls_p.h"
#include "platform/window/VirtualKeys.h"

namespace plat {
namespace controls {
namespace {

struct TabItem {
  std::string text;
  std::intptr_t data = 0;
};

struct TabState : ControlState {
  std::vector<TabItem> items;
  int cur = -1;
  int focus = -1;
};

int TabHeight(Hwnd h) {
  return LineHeight(h) + 6;
}

Rect ItemRect(Hwnd h, const TabState& s, int index) {
  int x = 2;
  for (int i = 0; i < static_cast<int>(s.items.size()); ++i) {
    const int w =
        TextWidth(h, StripMnemonic(s.items[static_cast<std::size_t>(i)].text, true).text) + 12;
    if (i == index) return {x, 2, x + w, TabHeight(h)};
    x += w;
  }
  return {};
}

int Hit(Hwnd h, const TabState& s, Point p) {
  for (int i = 0; i < static_cast<int>(s.items.size()); ++i) {
    Rect r = ItemRect(h, s, i);
    if (i == s.cur) r = {r.left - 2, 0, r.right + 2, r.bottom};
    if (r.Contains(p)) return i;
  }
  return -1;
}

/// The user moves to tab I: the parent may refuse, then is told.
void UserSelect(Hwnd h, TabState& s, int i) {
  if (i < 0 || i >= static_cast<int>(s.items.size()) || i == s.cur) return;
  NotifyHeader hdr;
  if (NotifyParent(h, hdr, kTcnSelChanging) != 0) return;
  TabState* again = StateOf<TabState>(h);
  if (again != &s) return;
  s.cur = s.focus = i;
  Repaint(h);
  NotifyParent(h, hdr, kTcnSelChange);
}

void PaintTabs(Hwnd h, const TabState& s) {
  Painter p(h);
  if (!p.Ok()) return;
  const Rect c = p.Client();
  p.Fill(c, kColourFace);
  const int th = TabHeight(h);
  p.DrawBevel({c.left, th, c.right, c.bottom}, Bevel::Raised);
  const bool enabled = IsWindowEnabled(h);
  auto drawTab = [&](int i) {
    Rect r = ItemRect(h, s, i);
    const bool selected = i == s.cur;
    if (selected) r = {r.left - 2, 0, r.right + 2, th + 1};
    p.Fill(r, kColourFace);
    p.Fill({r.left, r.top + 2, r.left + 1, r.bottom}, kColourHighlight3d);
    p.Fill({r.left + 1, r.top + 1, r.left + 2, r.top + 2}, kColourHighlight3d);
    p.Fill({r.left + 2, r.top, r.right - 2, r.top + 1}, kColourHighlight3d);
    p.Fill({r.right - 2, r.top + 1, r.right - 1, r.top + 2}, kColourDarkShadow);
    p.Fill({r.right - 1, r.top + 2, r.right, r.bottom}, kColourDarkShadow);
    p.Fill({r.right - 2, r.top + 2, r.right - 1, r.bottom}, kColourShadow);
    const Mnemonic label = StripMnemonic(s.items[static_cast<std::size_t>(i)].text, true);
    const Rect text{r.left + 2, r.top + (selected ? 1 : 2), r.right - 2, r.top + th - 1};
    if (enabled)
      p.Text(text, label.text, Align::Centre, kColourText, label.underline);
    else
      p.GreyText(text, label.text, Align::Centre, label.underline);
    if (selected && GetFocus() == h)
      p.FocusRect({text.left + 1, text.top + 1, text.right - 1, text.bottom});
  };
  for (int i = 0; i < static_cast<int>(s.items.size()); ++i)
    if (i != s.cur) drawTab(i);
  if (s.cur >= 0 && s.cur < static_cast<int>(s.items.size())) drawTab(s.cur);
}

TabState* Tabs(Hwnd h) {
  return StateOf<TabState>(h);
}

}  // namespace

LResult TabProc(Hwnd h, Msg m, WParam w, LParam l) {
  const auto handle = [&](TabState* s) -> std::optional<LResult> {
    switch (m) {
      case Msg::LButtonDown: {
        const int i = Hit(h, *s, LParamToPoint(l));
        if (i < 0) return 0;
        if ((GetStyle(h) & kTcsFocusNever) == 0 && GetFocus() != h) SetFocus(h);
        if (TabState* again = Tabs(h)) UserSelect(h, *again, i);
        return 0;
      }
      case Msg::KeyDown:
        if (w == kVkLeft || w == kVkRight) {
          UserSelect(h, *s, s->cur + (w == kVkLeft ? -1 : 1));
          return 0;
        }
        return DefWindowProc(h, m, w, l);
      default:
        return std::nullopt;
    }
  };
  return ControlProc<TabState>(h, m, w, l, kRepaintOnFocus | kRepaintOnEnable | kRepaintOnSize,
                               PaintTabs, handle);
}

}  // namespace controls

using controls::Tabs;
using controls::TabState;

namespace {
bool ValidTab(const TabState& s, int i) {
  return i >= 0 && i < static_cast<int>(s.items.size());
}
}  // namespace

int TabInsertItem(Hwnd h, int index, std::string_view text, std::intptr_t data) {
  TabState* s = Tabs(h);
  if (s == nullptr || index < 0) return -1;
  index = std::min(index, static_cast<int>(s->items.size()));
  s->items.insert(s->items.begin() + index, controls::TabItem{std::string(text), data});
  if (s->cur < 0)
    s->cur = s->focus = 0;  // the first tab is selected
  else if (s->cur >= index)
    ++s->cur, ++s->focus;
  controls::Repaint(h);
  return index;
}

bool TabDeleteItem(Hwnd h, int index) {
  TabState* s = Tabs(h);
  if (s == nullptr || !ValidTab(*s, index)) return false;
  s->items.erase(s->items.begin() + index);
  if (s->cur == index)
    s->cur = -1;
  else if (s->cur > index)
    --s->cur;
  s->focus = s->cur;
  controls::Repaint(h);
  return true;
}

void TabDeleteAllItems(Hwnd h) {
  if (TabState* s = Tabs(h)) {
    s->items.clear();
    s->cur = s->focus = -1;
    controls::Repaint(h);
  }
}

int TabGetItemCount(Hwnd h) {
  const TabState* s = Tabs(h);
  return s ? static_cast<int>(s->items.size()) : 0;
}

std::optional<std::string> TabGetItemText(Hwnd h, int index) {
  const TabState* s = Tabs(h);
  if (s == nullptr || !ValidTab(*s, index)) return std::nullopt;
  return s->items[static_cast<std::size_t>(index)].text;
}

bool TabSetItemText(Hwnd h, int index, std::string_view text) {
  TabState* s = Tabs(h);
  if (s == nullptr || !ValidTab(*s, index)) return false;
  s->items[static_cast<std::size_t>(index)].text = std::string(text);
  controls::Repaint(h);
  return true;
}

std::intptr_t TabGetItemData(Hwnd h, int index) {
  const TabState* s = Tabs(h);
  return s != nullptr && ValidTab(*s, index) ? s->items[static_cast<std::size_t>(index)].data : 0;
}

int TabGetCurSel(Hwnd h) {
  const TabState* s = Tabs(h);
  return s ? s->cur : -1;
}

int TabSetCurSel(Hwnd h, int index) {
  TabState* s = Tabs(h);
  if (s == nullptr || !ValidTab(*s, index)) return -1;
  const int old = s->cur;
  s->cur = s->focus = index;
  controls::Repaint(h);
  return old;
}

int TabGetCurFocus(Hwnd h) {
  const TabState* s = Tabs(h);
  return s ? s->focus : -1;
}

void TabSetCurFocus(Hwnd h, int index) {
  if (TabState* s = Tabs(h); s != nullptr && ValidTab(*s, index)) {
    s->focus = index;
    controls::Repaint(h);
  }
}

Rect TabGetItemRect(Hwnd h, int index) {
  const TabState* s = Tabs(h);
  return s ? controls::ItemRect(h, *s, index) : Rect{};
}

int TabHitTest(Hwnd h, Point p) {
  const TabState* s = Tabs(h);
  return s ? controls::Hit(h, *s, p) : -1;
}

Rect TabAdjustRect(Hwnd h, bool larger, Rect r) {
  if (Tabs(h) == nullptr) return r;
  const int top = controls::TabHeight(h) + 2;
  if (larger) return {r.left - 2, r.top - top, r.right + 2, r.bottom + 2};
  return {r.left + 2, r.top + top, r.right - 2, r.bottom - 2};
}

}  // namespace plat
