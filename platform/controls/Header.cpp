// The header control (class SysHeader32): a row of captions with widths,
// pressed like buttons, whose dividers may be dragged unless the parent
// refuses.
#include <algorithm>

#include "platform/controls/Controls_p.h"

namespace plat {
namespace controls {

namespace {

/// How far from an item's right edge a press counts as on the divider.
constexpr int kDividerReach = 3;

struct HeaderState : ControlState {
  std::vector<HeaderItem> items;
  int pressed = -1;   // the item held down like a button, -1 none
  int tracking = -1;  // the item whose divider is dragged, -1 none
  int trackFrom = 0;  // the pointer's x where the drag started
  int widthFrom = 0;  // the item's width then
};

/// The item under X and whether X lies on its right divider; -1 when none.
std::pair<int, bool> HitItem(const HeaderState& s, int x) {
  int left = 0;
  for (std::size_t i = 0; i < s.items.size(); ++i) {
    const int right = left + s.items[i].width;
    if (s.items[i].width > 0 && x >= right - kDividerReach && x < right + kDividerReach)
      return {static_cast<int>(i), true};
    if (x >= left && x < right) return {static_cast<int>(i), false};
    left = right;
  }
  return {-1, false};
}

LResult Notify(Hwnd h, int code, int item, int button) {
  HeaderNotify n;
  n.item = item;
  n.button = button;
  return NotifyParent(h, n.hdr, code);
}

void PaintHeader(Hwnd h, const HeaderState& s) {
  Painter p(h);
  if (!p.Ok()) return;
  const Rect c = p.Client();
  p.Fill(c, kColourFace);
  const bool enabled = IsWindowEnabled(h);
  int left = 0;
  for (std::size_t i = 0; i < s.items.size(); ++i) {
    const HeaderItem& item = s.items[i];
    if (item.width <= 0) continue;
    const Rect r{left, c.top, left + item.width, c.bottom};
    left += item.width;
    const bool down = static_cast<int>(i) == s.pressed;
    p.DrawBevel(r, down ? Bevel::Pushed : Bevel::Raised);
    const Rect text{r.left + 4, r.top, r.right - 4, r.bottom};
    const Align align = item.align == HeaderAlign::Right    ? Align::Right
                        : item.align == HeaderAlign::Centre ? Align::Centre
                                                            : Align::Left;
    if (enabled)
      p.Text(down ? text.Offset(1, 1) : text, item.text, align, kColourText);
    else
      p.GreyText(text, item.text, align);
  }
}

}  // namespace

LResult HeaderProc(Hwnd h, Msg m, WParam w, LParam l) {
  const auto handle = [&](HeaderState* s) -> std::optional<LResult> {
    switch (m) {
      case Msg::LButtonDown:
      case Msg::LButtonDblClk: {
        const auto [item, divider] = HitItem(*s, LParamToPoint(l).x);
        if (item < 0) return 0;
        if (divider) {
          // The parent may refuse the drag (widths fixed by the program).
          if (Notify(h, kHdnBeginTrack, item, 0) != 0) return 0;
          s->tracking = item;
          s->trackFrom = LParamToPoint(l).x;
          s->widthFrom = s->items[static_cast<std::size_t>(item)].width;
        } else if (GetStyle(h) & kHdsButtons) {
          s->pressed = item;
          Repaint(h);
        } else {
          return 0;
        }
        SetCapture(h);
        return 0;
      }
      case Msg::MouseMove:
        if (s->tracking >= 0 && s->tracking < static_cast<int>(s->items.size())) {
          const int width = std::max(0, s->widthFrom + LParamToPoint(l).x - s->trackFrom);
          s->items[static_cast<std::size_t>(s->tracking)].width = width;
          Repaint(h);
        }
        return 0;
      case Msg::LButtonUp: {
        if (GetCapture() != h) return 0;
        const int pressed = s->pressed, tracking = s->tracking;
        s->pressed = s->tracking = -1;
        ReleaseCapture();
        Repaint(h);
        if (tracking >= 0) {
          Notify(h, kHdnEndTrack, tracking, 0);
        } else if (pressed >= 0) {
          const auto [item, divider] = HitItem(*s, LParamToPoint(l).x);
          if (item == pressed && !divider) Notify(h, kHdnItemClick, item, 0);
        }
        return 0;
      }
      case Msg::CaptureChanged:
        if (static_cast<Hwnd>(l) != h && (s->pressed >= 0 || s->tracking >= 0)) {
          s->pressed = s->tracking = -1;
          Repaint(h);
        }
        return 0;
      default:
        return std::nullopt;
    }
  };
  return ControlProc<HeaderState>(h, m, w, l, kRepaintOnEnable | kRepaintOnSize, PaintHeader,
                                  handle);
}

}  // namespace controls

namespace {
controls::HeaderState* Header(Hwnd h) {
  return controls::StateOf<controls::HeaderState>(h);
}
}  // namespace

int HeaderInsertItem(Hwnd h, int index, const HeaderItem& item) {
  controls::HeaderState* s = Header(h);
  if (s == nullptr || index < 0) return -1;
  const int at = std::min(index, static_cast<int>(s->items.size()));
  s->items.insert(s->items.begin() + at, item);
  controls::Repaint(h);
  return at;
}

bool HeaderSetItem(Hwnd h, int index, const HeaderItem& item) {
  controls::HeaderState* s = Header(h);
  if (s == nullptr || index < 0 || index >= static_cast<int>(s->items.size())) return false;
  s->items[static_cast<std::size_t>(index)] = item;
  controls::Repaint(h);
  return true;
}

std::optional<HeaderItem> HeaderGetItem(Hwnd h, int index) {
  const controls::HeaderState* s = Header(h);
  if (s == nullptr || index < 0 || index >= static_cast<int>(s->items.size())) return std::nullopt;
  return s->items[static_cast<std::size_t>(index)];
}

bool HeaderDeleteItem(Hwnd h, int index) {
  controls::HeaderState* s = Header(h);
  if (s == nullptr || index < 0 || index >= static_cast<int>(s->items.size())) return false;
  s->items.erase(s->items.begin() + index);
  controls::Repaint(h);
  return true;
}

int HeaderItemCount(Hwnd h) {
  const controls::HeaderState* s = Header(h);
  return s ? static_cast<int>(s->items.size()) : 0;
}

}  // namespace plat
