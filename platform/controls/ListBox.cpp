// List boxes (class LISTBOX) and the drop-down list of combo boxes (class
// ComboLBox, the same code in a pop-up window).
#include <algorithm>
#include <cctype>

#include "platform/controls/Controls_p.h"
#include "platform/window/VirtualKeys.h"

namespace plat {
namespace controls {
namespace {

constexpr int kScrollWidth = 16;

struct ListState : ControlState {
  std::vector<ListItem> items;
  int top = 0;      // first item shown
  int caret = -1;   // the item with the focus rectangle
  int cur = -1;     // the selected item of a single-selection list
  int anchor = -1;  // start of a Shift range
  bool tracking = false;
  Hwnd combo = kNoWindow;  // the combo box this list drops down for
};

unsigned Style(Hwnd h) {
  return GetStyle(h);
}
bool MultiSel(Hwnd h) {
  return (Style(h) & (kLbsMultipleSel | kLbsExtendedSel)) != 0;
}
bool Notifies(Hwnd h, const ListState& s) {
  return s.combo == kNoWindow && (Style(h) & kLbsNotify) != 0;
}

Rect Inner(Hwnd h) {
  Rect r = GetClientRect(h);
  if ((Style(h) & kWsBorder) != 0)
    r = {r.left + 2, r.top + 2, r.right - 2, r.bottom - 2};
  else if (GetParent(h) == kNoWindow)
    r = {r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
  return r;
}

int Visible(Hwnd h) {
  return std::max(1, Inner(h).Height() / LineHeight(h));
}

bool HasScrollBar(Hwnd h, const ListState& s) {
  return ((Style(h) & kWsVScroll) != 0 || s.combo != kNoWindow) &&
         (static_cast<int>(s.items.size()) > Visible(h) || (Style(h) & kLbsDisableNoScroll) != 0);
}

Rect ItemArea(Hwnd h, const ListState& s) {
  Rect r = Inner(h);
  if (HasScrollBar(h, s)) r.right -= kScrollWidth;
  return r;
}

int Count(const ListState& s) {
  return static_cast<int>(s.items.size());
}

void ClampTop(Hwnd h, ListState& s) {
  s.top = std::clamp(s.top, 0, std::max(0, Count(s) - Visible(h)));
}

void ShowItem(Hwnd h, ListState& s, int i) {
  if (i < 0) return;
  if (i < s.top) s.top = i;
  if (i >= s.top + Visible(h)) s.top = i - Visible(h) + 1;
  ClampTop(h, s);
}

/// Item under client point P (may be past the end), or -1 above the items.
int ItemAt(Hwnd h, const ListState& s, Point p) {
  const Rect a = ItemArea(h, s);
  if (p.y < a.top) return s.top - 1;
  return s.top + (p.y - a.top) / LineHeight(h);
}

/// Makes I the one selected item (single selection, or extended without
/// modifiers). Returns whether anything changed.
bool SelectOnly(ListState& s, int i) {
  bool changed = s.cur != i;
  s.cur = i;
  for (int k = 0; k < Count(s); ++k) {
    const bool want = k == i;
    changed = changed || s.items[static_cast<std::size_t>(k)].selected != want;
    s.items[static_cast<std::size_t>(k)].selected = want;
  }
  return changed;
}

void Changed(Hwnd h, ListState& s, bool changed) {
  Repaint(h);
  if (changed && Notifies(h, s)) NotifyCommand(h, kLbnSelChange);
}

/// The user picks item I (click or key): single selection moves, extended
/// selection replaces or extends, multiple selection moves only the caret
/// unless TOGGLE.
void UserPick(Hwnd h, ListState& s, int i, bool toggle, bool keyboard) {
  if (Count(s) == 0 || (Style(h) & kLbsNoSel) != 0) return;
  i = std::clamp(i, 0, Count(s) - 1);
  s.caret = i;
  ShowItem(h, s, i);
  bool changed = false;
  const unsigned style = Style(h);
  if ((style & kLbsExtendedSel) != 0) {
    const bool shift = IsKeyDown(kVkShift), ctrl = IsKeyDown(kVkControl);
    if (shift && s.anchor >= 0) {
      const int a = std::min(s.anchor, i), b = std::max(s.anchor, i);
      for (int k = 0; k < Count(s); ++k) {
        const bool want = k >= a && k <= b;
        changed = changed || s.items[static_cast<std::size_t>(k)].selected != want;
        s.items[static_cast<std::size_t>(k)].selected = want;
      }
    } else if (ctrl && !keyboard) {
      s.items[static_cast<std::size_t>(i)].selected =
          !s.items[static_cast<std::size_t>(i)].selected;
      s.anchor = i;
      changed = true;
    } else {
      changed = SelectOnly(s, i);
      s.anchor = i;
    }
  } else if ((style & kLbsMultipleSel) != 0) {
    if (toggle) {
      s.items[static_cast<std::size_t>(i)].selected =
          !s.items[static_cast<std::size_t>(i)].selected;
      changed = true;
    }
  } else {
    changed = SelectOnly(s, i);
  }
  Changed(h, s, changed);
}

void Scroll(Hwnd h, ListState& s, int lines) {
  s.top += lines;
  ClampTop(h, s);
  Repaint(h);
}

ScrollRange RangeOf(Hwnd h, const ListState& s) {
  return {0, std::max(Count(s) - 1, 0), Visible(h), s.top};
}

Rect BarRect(Hwnd h) {
  const Rect a = Inner(h);
  return {a.right - kScrollWidth, a.top, a.right, a.bottom};
}

void ScrollBarClick(Hwnd h, ListState& s, Point p) {
  const ScrollParts parts = MeasureScroll(BarRect(h), true, RangeOf(h, s));
  if (parts.less.Contains(p))
    Scroll(h, s, -1);
  else if (parts.more.Contains(p))
    Scroll(h, s, 1);
  else if (!parts.thumb.Empty() && !parts.thumb.Contains(p))
    Scroll(h, s, p.y < parts.thumb.top ? -Visible(h) : Visible(h));
}

void PaintList(Hwnd h, const ListState& s) {
  Painter p(h);
  if (!p.Ok()) return;
  const Rect c = p.Client();
  const bool enabled = IsWindowEnabled(h);
  const ControlColours colours = AskColours(h, Msg::CtlColourListBox, kColourText, kColourWindow);
  p.Fill(c, colours.background);
  if ((Style(h) & kWsBorder) != 0)
    p.DrawBevel(c, Bevel::Sunken);
  else if (GetParent(h) == kNoWindow)
    p.Frame(c, kColourDarkShadow);
  const Rect area = ItemArea(h, s);
  const int lh = LineHeight(h);
  const bool focused = GetFocus() == h || (s.combo != kNoWindow);
  for (int i = s.top; i < Count(s); ++i) {
    const int y = area.top + (i - s.top) * lh;
    if (y >= area.bottom) break;
    const Rect row = Rect{area.left, y, area.right, y + lh}.Intersect(area);
    const ListItem& item = s.items[static_cast<std::size_t>(i)];
    const Rect textBox{row.left + 2, row.top, row.right, row.bottom};
    if (item.selected) {
      p.Fill(row, kColourSelection);
      p.Text(textBox, item.text, Align::Left, kColourSelectionText);
    } else {
      p.Text(textBox, item.text, Align::Left, enabled ? colours.text : kColourGreyText);
    }
    if (focused && i == s.caret && GetFocus() == h) p.FocusRect(row);
  }
  if (HasScrollBar(h, s)) PaintScroll(p, BarRect(h), true, RangeOf(h, s), IsWindowEnabled(h));
}

bool KeyDown(Hwnd h, ListState& s, int vk) {
  const int page = Visible(h);
  int target = s.caret < 0 ? 0 : s.caret;
  switch (vk) {
    case kVkUp:
      target = s.caret < 0 ? 0 : s.caret - 1;
      break;
    case kVkDown:
      target = s.caret + 1;
      break;
    case kVkPrior:
      target -= page - 1;
      break;
    case kVkNext:
      target += page - 1;
      break;
    case kVkHome:
      target = 0;
      break;
    case kVkEnd:
      target = Count(s) - 1;
      break;
    case kVkSpace:
      if ((Style(h) & kLbsMultipleSel) != 0 && s.caret >= 0) UserPick(h, s, s.caret, true, true);
      return true;
    default:
      return false;
  }
  UserPick(h, s, target, false, true);
  return true;
}

void CharKey(Hwnd h, ListState& s, std::uint32_t ch) {
  if (ch < 0x20 || ch > 0xFF) return;
  const int i = FindItem(s.items, s.caret, std::string(1, static_cast<char>(ch)), false);
  if (i >= 0) UserPick(h, s, i, false, true);
}

}  // namespace

void SetComboOfList(Hwnd list, Hwnd combo) {
  if (auto* s = StateOf<ListState>(list)) s->combo = combo;
}

Hwnd ComboOfList(Hwnd list) {
  const auto* s = StateOf<ListState>(list);
  return s ? s->combo : kNoWindow;
}

LResult ListBoxProc(Hwnd h, Msg m, WParam w, LParam l) {
  const auto handle = [&](ListState* s) -> std::optional<LResult> {
    switch (m) {
      case Msg::LButtonDown:
      case Msg::LButtonDblClk: {
        const Point pt = LParamToPoint(l);
        if (s->combo != kNoWindow && !GetClientRect(h).Contains(pt)) {
          ComboListDone(s->combo, -1, false);  // a click outside the dropped list
          return 0;
        }
        if (s->combo == kNoWindow && GetFocus() != h) SetFocus(h);
        s = StateOf<ListState>(h);
        if (s == nullptr) return 0;
        if (HasScrollBar(h, *s) && pt.x >= ItemArea(h, *s).right) {
          ScrollBarClick(h, *s, pt);
          return 0;
        }
        const int i = ItemAt(h, *s, pt);
        if (i < 0 || i >= Count(*s)) return 0;
        SetCapture(h);
        s->tracking = true;
        UserPick(h, *s, i, true, false);
        s = StateOf<ListState>(h);
        if (s != nullptr && m == Msg::LButtonDblClk && Notifies(h, *s))
          NotifyCommand(h, kLbnDblClk);
        return 0;
      }
      case Msg::MouseMove: {
        const Point pt = LParamToPoint(l);
        if (s->combo != kNoWindow) {
          // The dropped list follows the mouse.
          const int i = ItemAt(h, *s, pt);
          if (GetClientRect(h).Contains(pt) && i >= 0 && i < Count(*s) && i != s->cur) {
            SelectOnly(*s, i);
            s->caret = i;
            Repaint(h);
          }
          return 0;
        }
        if (s->tracking && !MultiSel(h)) {
          const int i = std::clamp(ItemAt(h, *s, pt), 0, std::max(Count(*s) - 1, 0));
          if (i != s->cur && Count(*s) > 0) UserPick(h, *s, i, false, false);
        }
        return 0;
      }
      case Msg::LButtonUp:
        if (s->combo != kNoWindow) {
          const Point pt = LParamToPoint(l);
          const int i = ItemAt(h, *s, pt);
          if (GetClientRect(h).Contains(pt) && i >= 0 && i < Count(*s))
            ComboListDone(s->combo, i, true);
          return 0;
        }
        if (s->tracking) {
          s->tracking = false;
          ReleaseCapture();
        }
        return 0;
      case Msg::CaptureChanged:
        if (static_cast<Hwnd>(l) != h) s->tracking = false;
        return 0;
      case Msg::MouseWheel:
        Scroll(h, *s, -SignedHigh(w) / 40);
        return 0;
      case Msg::KeyDown:
        if (!KeyDown(h, *s, static_cast<int>(w))) return DefWindowProc(h, m, w, l);
        return 0;
      case Msg::Char:
        CharKey(h, *s, static_cast<std::uint32_t>(w));
        return 0;
      case Msg::SetFocus:
      case Msg::KillFocus:
        Repaint(h);
        if (Notifies(h, *s)) NotifyCommand(h, m == Msg::SetFocus ? kLbnSetFocus : kLbnKillFocus);
        return 0;
      case Msg::Enable:
      case Msg::Size:
        ClampTop(h, *s);
        Repaint(h);
        return 0;
      default:
        return std::nullopt;
    }
  };
  return ControlProc<ListState>(h, m, w, l, 0, PaintList, handle);
}

/// The items of a list box, for the typed functions.
ListState* List(Hwnd h) {
  return StateOf<ListState>(h);
}

}  // namespace controls

using controls::Count;
using controls::List;
using controls::ListState;

namespace {
bool InRange(const ListState& s, int i) {
  return i >= 0 && i < Count(s);
}
}  // namespace

int ListBoxAddString(Hwnd h, std::string_view text) {
  ListState* s = List(h);
  if (s == nullptr) return kListError;
  const bool sorted = (GetStyle(h) & kLbsSort) != 0;
  return ListBoxInsertString(h, sorted ? controls::SortedPosition(s->items, text) : -1, text);
}

int ListBoxInsertString(Hwnd h, int index, std::string_view text) {
  ListState* s = List(h);
  if (s == nullptr || index > Count(*s) || index < -1) return kListError;
  if (index < 0) index = Count(*s);
  s->items.insert(s->items.begin() + index, controls::ListItem{std::string(text), 0, false});
  if (s->cur >= index) ++s->cur;
  if (s->caret >= index) ++s->caret;
  if (s->anchor >= index) ++s->anchor;
  controls::Repaint(h);
  return index;
}

int ListBoxDeleteString(Hwnd h, int index) {
  ListState* s = List(h);
  if (s == nullptr || !InRange(*s, index)) return kListError;
  s->items.erase(s->items.begin() + index);
  auto fix = [index](int& v) {
    if (v == index)
      v = -1;
    else if (v > index)
      --v;
  };
  fix(s->cur);
  fix(s->anchor);
  if (s->caret >= Count(*s)) s->caret = Count(*s) - 1;
  controls::ClampTop(h, *s);
  controls::Repaint(h);
  return Count(*s);
}

void ListBoxResetContent(Hwnd h) {
  if (ListState* s = List(h)) {
    s->items.clear();
    s->top = 0;
    s->cur = s->caret = s->anchor = -1;
    controls::Repaint(h);
  }
}

int ListBoxGetCount(Hwnd h) {
  const ListState* s = List(h);
  return s ? Count(*s) : kListError;
}

std::optional<std::string> ListBoxGetText(Hwnd h, int index) {
  const ListState* s = List(h);
  if (s == nullptr || !InRange(*s, index)) return std::nullopt;
  return s->items[static_cast<std::size_t>(index)].text;
}

int ListBoxGetTextLength(Hwnd h, int index) {
  const auto t = ListBoxGetText(h, index);
  return t ? static_cast<int>(t->size()) : kListError;
}

int ListBoxFindString(Hwnd h, int start, std::string_view prefix) {
  const ListState* s = List(h);
  return s ? controls::FindItem(s->items, start, prefix, false) : kListError;
}

int ListBoxFindStringExact(Hwnd h, int start, std::string_view text) {
  const ListState* s = List(h);
  return s ? controls::FindItem(s->items, start, text, true) : kListError;
}

int ListBoxGetCurSel(Hwnd h) {
  const ListState* s = List(h);
  if (s == nullptr) return kListError;
  return controls::MultiSel(h) ? s->caret : s->cur;
}

int ListBoxSetCurSel(Hwnd h, int index) {
  ListState* s = List(h);
  if (s == nullptr || controls::MultiSel(h)) return kListError;
  if (!InRange(*s, index)) {
    controls::SelectOnly(*s, -1);
    controls::Repaint(h);
    return kListError;
  }
  controls::SelectOnly(*s, index);
  s->caret = index;
  controls::ShowItem(h, *s, index);
  controls::Repaint(h);
  return index;
}

bool ListBoxGetSel(Hwnd h, int index) {
  const ListState* s = List(h);
  return s != nullptr && InRange(*s, index) && s->items[static_cast<std::size_t>(index)].selected;
}

bool ListBoxSetSel(Hwnd h, int index, bool select) {
  ListState* s = List(h);
  if (s == nullptr || !controls::MultiSel(h)) return false;
  if (index == -1) {
    for (auto& item : s->items) item.selected = select;
  } else if (InRange(*s, index)) {
    s->items[static_cast<std::size_t>(index)].selected = select;
    s->caret = index;
  } else {
    return false;
  }
  controls::Repaint(h);
  return true;
}

bool ListBoxSelItemRange(Hwnd h, int first, int last, bool select) {
  ListState* s = List(h);
  if (s == nullptr || !controls::MultiSel(h)) return false;
  if (first > last) std::swap(first, last);
  first = std::max(first, 0);
  last = std::min(last, Count(*s) - 1);
  for (int i = first; i <= last; ++i) s->items[static_cast<std::size_t>(i)].selected = select;
  controls::Repaint(h);
  return true;
}

int ListBoxGetSelCount(Hwnd h) {
  const ListState* s = List(h);
  if (s == nullptr) return kListError;
  return static_cast<int>(std::count_if(s->items.begin(), s->items.end(),
                                        [](const controls::ListItem& i) { return i.selected; }));
}

std::vector<int> ListBoxGetSelItems(Hwnd h) {
  std::vector<int> out;
  if (const ListState* s = List(h))
    for (int i = 0; i < Count(*s); ++i)
      if (s->items[static_cast<std::size_t>(i)].selected) out.push_back(i);
  return out;
}

int ListBoxGetTopIndex(Hwnd h) {
  const ListState* s = List(h);
  return s ? s->top : kListError;
}

void ListBoxSetTopIndex(Hwnd h, int index) {
  if (ListState* s = List(h)) {
    s->top = index;
    controls::ClampTop(h, *s);
    controls::Repaint(h);
  }
}

bool ListBoxSetItemData(Hwnd h, int index, std::intptr_t data) {
  ListState* s = List(h);
  if (s == nullptr || !InRange(*s, index)) return false;
  s->items[static_cast<std::size_t>(index)].data = data;
  return true;
}

std::intptr_t ListBoxGetItemData(Hwnd h, int index) {
  const ListState* s = List(h);
  if (s == nullptr || !InRange(*s, index)) return kListError;
  return s->items[static_cast<std::size_t>(index)].data;
}

int ListBoxGetItemHeight(Hwnd h) {
  return List(h) ? controls::LineHeight(h) : kListError;
}

}  // namespace plat
