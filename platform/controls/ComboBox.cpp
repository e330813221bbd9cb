// Combo boxes (class COMBOBOX). The items live in a hidden pop-up list box
// (class ComboLBox) that the combo box shows below itself when dropped; a
// kCbsDropDown combo box has an edit child for the text.
#include <algorithm>

#include "platform/controls/Controls_p.h"
#include "platform/window/VirtualKeys.h"

namespace plat {
namespace controls {
namespace {

constexpr int kButtonWidth = 17;

struct ComboState : ControlState {
  Hwnd list = kNoWindow;
  Hwnd edit = kNoWindow;
  int dropHeight = 0;  // the height the window was created with
  bool dropped = false;
  int selBeforeDrop = -1;  // restored when the drop-down is cancelled
  bool syncing = false;    // the combo box is writing texts itself
};

bool HasEdit(Hwnd h) {
  return (GetStyle(h) & kCbsTypeMask) != kCbsDropDownList;
}

Rect ButtonRect(Hwnd h) {
  const Rect c = GetClientRect(h);
  return {c.right - 2 - kButtonWidth, c.top + 2, c.right - 2, c.bottom - 2};
}

/// Writes the window texts of the combo box (and of its edit) without the
/// echo of change notifications.
void SyncText(Hwnd h, ComboState& s, const std::string& text) {
  s.syncing = true;
  SetWindowText(h, text);
  if (s.edit != kNoWindow) {
    SetWindowText(s.edit, text);
    EditSetSel(s.edit, 0, -1);
  }
  if (ComboState* again = StateOf<ComboState>(h)) again->syncing = false;
}

void SelectIndex(Hwnd h, ComboState& s, int index) {
  ListBoxSetCurSel(s.list, index);
  SyncText(h, s, ListBoxGetText(s.list, index).value_or(std::string()));
  Repaint(h);
}

void Drop(Hwnd h, ComboState& s) {
  if (s.dropped || !IsWindowEnabled(h)) return;
  NotifyCommand(h, kCbnDropDown);
  if (StateOf<ComboState>(h) != &s) return;
  const Rect c = GetClientRect(h);
  const int lh = LineHeight(h);
  const int count = std::max(ListBoxGetCount(s.list), 1);
  const int room = std::max(s.dropHeight - c.Height(), lh + 2);
  const int height = std::min(room, count * lh + 2);
  const Point at = ClientToScreen(h, {0, c.bottom});
  MoveWindow(s.list, {at.x, at.y, at.x + c.Width(), at.y + height}, false);
  s.selBeforeDrop = ListBoxGetCurSel(s.list);
  ListBoxSetCurSel(s.list, s.selBeforeDrop);
  s.dropped = true;
  ShowWindow(s.list, ShowCmd::ShowNoActivate);
  BringToTop(s.list);
  SetCapture(s.list);
  Repaint(h);
}

void PaintCombo(Hwnd h, const ComboState& s) {
  Painter p(h);
  if (!p.Ok()) return;
  const Rect c = p.Client();
  const bool enabled = IsWindowEnabled(h);
  const bool focused = GetFocus() == h;
  p.Fill(c, enabled ? kColourWindow : kColourFace);
  p.DrawBevel(c, Bevel::Sunken);
  const Rect b = ButtonRect(h);
  p.Fill(b, kColourFace);
  p.DrawBevel(b, s.dropped ? Bevel::Pushed : Bevel::Raised);
  p.Arrow(s.dropped ? b.Offset(1, 1) : b, 1, enabled ? kColourText : kColourGreyText);
  if (HasEdit(h)) return;
  const Rect field{c.left + 3, c.top + 3, b.left - 1, c.bottom - 3};
  const std::string text = GetWindowText(h);
  if (focused && !s.dropped) {
    p.Fill(field, kColourSelection);
    p.Text({field.left + 1, field.top, field.right, field.bottom}, text, Align::Left,
           kColourSelectionText);
    p.FocusRect(field);
  } else {
    p.Text({field.left + 1, field.top, field.right, field.bottom}, text, Align::Left,
           enabled ? kColourText : kColourGreyText);
  }
}

/// Keys of the combo box (also those its edit passes on); true when used.
bool ComboKey(Hwnd h, ComboState& s, int vk, bool alt) {
  if (vk == kVkF1 + 3 || (alt && (vk == kVkDown || vk == kVkUp))) {
    if (s.dropped)
      ComboListDone(h, ListBoxGetCurSel(s.list), true);
    else
      Drop(h, s);
    return true;
  }
  if (s.dropped) {
    if (vk == kVkReturn) {
      ComboListDone(h, ListBoxGetCurSel(s.list), true);
      return true;
    }
    if (vk == kVkEscape) {
      ComboListDone(h, -1, false);
      return true;
    }
  }
  int delta = 0;
  if (vk == kVkUp) delta = -1;
  if (vk == kVkDown) delta = 1;
  if (vk == kVkHome) delta = -1000000;
  if (vk == kVkEnd) delta = 1000000;
  if (delta == 0 || (HasEdit(h) && (vk == kVkHome || vk == kVkEnd))) return false;
  const int n = ListBoxGetCount(s.list);
  if (n <= 0) return true;
  const int cur = ListBoxGetCurSel(s.list);
  const int next =
      std::clamp(cur < 0 ? (delta > 0 ? 0 : n - 1) : cur + std::clamp(delta, -n, n), 0, n - 1);
  if (s.dropped) {
    ListBoxSetCurSel(s.list, next);
  } else if (next != cur) {
    SelectIndex(h, s, next);
    NotifyCommand(h, kCbnSelChange);
  }
  return true;
}

/// The procedure of the edit inside a combo box: the list keys go to the combo box.
LResult ComboEditProc(Hwnd h, Msg m, WParam w, LParam l) {
  if (m == Msg::KeyDown || m == Msg::SysKeyDown) {
    const Hwnd combo = GetParent(h);
    if (ComboState* s = StateOf<ComboState>(combo))
      if (ComboKey(combo, *s, static_cast<int>(w), m == Msg::SysKeyDown)) return 0;
  }
  return EditProc(h, m, w, l);
}

LResult Create(Hwnd h, ComboState* s, const CreateParams* cp) {
  const Rect r = GetWindowRect(h);
  s->dropHeight = r.Height();
  const int closed = LineHeight(h) + 8;
  MoveWindow(h, {r.left, r.top, r.right, r.top + closed}, false);
  unsigned listStyle = kStylePopup;
  if ((cp->style & kCbsSort) != 0) listStyle |= kLbsSort;
  CreateParams lp;
  lp.className = kComboListClass;
  lp.style = listStyle;
  lp.rect = {0, 0, r.Width(), 10};
  lp.owner = h;
  s->list = CreateWindow(lp);
  if (s->list == kNoWindow) return -1;
  SetComboOfList(s->list, h);
  if (HasEdit(h)) {
    CreateParams ep;
    ep.className = kEditClass;
    ep.style = kStyleChild | kStyleVisible | kEsAutoHScroll |
               ((cp->style & kCbsUppercase) ? kEsUppercase : 0u) |
               ((cp->style & kCbsLowercase) ? kEsLowercase : 0u);
    ep.rect = {3, 3, r.Width() - 3 - kButtonWidth, closed - 3};
    ep.parent = h;
    ep.id = kComboEditId;
    ep.title = cp->title;
    s->edit = CreateWindow(ep);
    if (s->edit == kNoWindow) return -1;
    SetWindowProc(s->edit, ComboEditProc);
  }
  return 0;
}

}  // namespace

void ComboListDone(Hwnd combo, int index, bool accept) {
  ComboState* s = StateOf<ComboState>(combo);
  if (s == nullptr || !s->dropped) return;
  s->dropped = false;
  if (GetCapture() == s->list) ReleaseCapture();
  ShowWindow(s->list, ShowCmd::Hide);
  Repaint(combo);
  NotifyCommand(combo, accept ? kCbnSelEndOk : kCbnSelEndCancel);
  NotifyCommand(combo, kCbnCloseUp);
  s = StateOf<ComboState>(combo);
  if (s == nullptr) return;
  if (!accept) ListBoxSetCurSel(s->list, s->selBeforeDrop);
  if (!accept || index < 0) return;
  const bool changed = GetWindowText(combo) != ListBoxGetText(s->list, index).value_or("") ||
                       ListBoxGetCurSel(s->list) != index;
  SelectIndex(combo, *s, index);
  if (changed) NotifyCommand(combo, kCbnSelChange);
}

LResult ComboBoxProc(Hwnd h, Msg m, WParam w, LParam l) {
  const auto handle = [&](ComboState* s) -> std::optional<LResult> {
    switch (m) {
      case Msg::Create:
        return Create(h, s, reinterpret_cast<const CreateParams*>(l));
      case Msg::CtlColourEdit:
      case Msg::CtlColourStatic:
        // The edit part asks the combo box's parent, as the combo box would.
        return SendMessage(GetParent(h), m, w, l);
      case Msg::Destroy:
        if (s->list != kNoWindow) DestroyWindow(s->list);
        return 0;
      case Msg::LButtonDown:
      case Msg::LButtonDblClk:
        if (!HasEdit(h) || ButtonRect(h).Contains(LParamToPoint(l))) {
          if (GetFocus() != h && GetFocus() != s->edit) SetFocus(h);
          s = StateOf<ComboState>(h);
          if (s == nullptr) return 0;
          if (s->dropped)
            ComboListDone(h, -1, false);
          else
            Drop(h, *s);
        }
        return 0;
      case Msg::KeyDown:
      case Msg::SysKeyDown:
        if (!ComboKey(h, *s, static_cast<int>(w), m == Msg::SysKeyDown))
          return DefWindowProc(h, m, w, l);
        return 0;
      case Msg::Char:
        if (!HasEdit(h) && w >= 0x20 && w <= 0xFF) {
          const int i = ListBoxFindString(s->list, ListBoxGetCurSel(s->list),
                                          std::string(1, static_cast<char>(w)));
          if (i >= 0 && i != ListBoxGetCurSel(s->list)) {
            SelectIndex(h, *s, i);
            NotifyCommand(h, kCbnSelChange);
          }
        }
        return 0;
      case Msg::SetFocus:
        if (s->edit != kNoWindow) {
          SetFocus(s->edit);
          return 0;
        }
        Repaint(h);
        NotifyCommand(h, kCbnSetFocus);
        return 0;
      case Msg::KillFocus:
        if (s->edit != kNoWindow && static_cast<Hwnd>(w) == s->edit) return 0;
        if (s->dropped) ComboListDone(h, -1, false);
        Repaint(h);
        if (s->edit == kNoWindow) NotifyCommand(h, kCbnKillFocus);
        return 0;
      case Msg::Command:
        if (static_cast<Hwnd>(l) == s->edit && s->edit != kNoWindow) {
          const int code = HighWord(w);
          if (code == kEnChange && !s->syncing) {
            s->syncing = true;
            SetWindowText(h, GetWindowText(s->edit));
            if (ComboState* again = StateOf<ComboState>(h)) again->syncing = false;
            NotifyCommand(h, kCbnEditChange);
          } else if (code == kEnSetFocus) {
            NotifyCommand(h, kCbnSetFocus);
          } else if (code == kEnKillFocus) {
            if (s->dropped) ComboListDone(h, -1, false);
            NotifyCommand(h, kCbnKillFocus);
          }
        }
        return 0;
      case Msg::SetText:
        if (!s->syncing) {
          const std::string text = GetWindowText(h);
          if (HasEdit(h)) {
            SyncText(h, *s, text);
          } else {
            const int i = ListBoxFindStringExact(s->list, -1, text);
            ListBoxSetCurSel(s->list, i);
            SyncText(h, *s, ListBoxGetText(s->list, i).value_or(std::string()));
          }
          Repaint(h);
        }
        return 0;
      case Msg::Enable:
        if (s->edit != kNoWindow) EnableWindow(s->edit, w != 0);
        if (w == 0 && s->dropped) ComboListDone(h, -1, false);
        Repaint(h);
        return 0;
      default:
        return std::nullopt;
    }
  };
  return ControlProc<ComboState>(h, m, w, l, 0, PaintCombo, handle);
}

ComboState* Combo(Hwnd h) {
  return StateOf<ComboState>(h);
}

}  // namespace controls

using controls::Combo;
using controls::ComboState;

int ComboBoxAddString(Hwnd h, std::string_view text) {
  const ComboState* s = Combo(h);
  return s ? ListBoxAddString(s->list, text) : kListError;
}

int ComboBoxInsertString(Hwnd h, int index, std::string_view text) {
  const ComboState* s = Combo(h);
  return s ? ListBoxInsertString(s->list, index, text) : kListError;
}

int ComboBoxDeleteString(Hwnd h, int index) {
  const ComboState* s = Combo(h);
  if (s == nullptr) return kListError;
  const bool wasCurrent = ListBoxGetCurSel(s->list) == index;
  const int left = ListBoxDeleteString(s->list, index);
  if (wasCurrent && left >= 0 && !controls::HasEdit(h)) ComboBoxSetCurSel(h, -1);
  return left;
}

void ComboBoxResetContent(Hwnd h) {
  if (ComboState* s = Combo(h)) {
    ListBoxResetContent(s->list);
    controls::SyncText(h, *s, {});
    controls::Repaint(h);
  }
}

int ComboBoxGetCount(Hwnd h) {
  const ComboState* s = Combo(h);
  return s ? ListBoxGetCount(s->list) : kListError;
}

std::optional<std::string> ComboBoxGetText(Hwnd h, int index) {
  const ComboState* s = Combo(h);
  return s ? ListBoxGetText(s->list, index) : std::nullopt;
}

int ComboBoxFindString(Hwnd h, int start, std::string_view prefix) {
  const ComboState* s = Combo(h);
  return s ? ListBoxFindString(s->list, start, prefix) : kListError;
}

int ComboBoxFindStringExact(Hwnd h, int start, std::string_view text) {
  const ComboState* s = Combo(h);
  return s ? ListBoxFindStringExact(s->list, start, text) : kListError;
}

int ComboBoxGetCurSel(Hwnd h) {
  const ComboState* s = Combo(h);
  return s ? ListBoxGetCurSel(s->list) : kListError;
}

int ComboBoxSetCurSel(Hwnd h, int index) {
  ComboState* s = Combo(h);
  if (s == nullptr) return kListError;
  if (index < 0 || index >= ListBoxGetCount(s->list)) index = -1;
  controls::SelectIndex(h, *s, index);
  return index;
}

bool ComboBoxSetItemData(Hwnd h, int index, std::intptr_t data) {
  const ComboState* s = Combo(h);
  return s != nullptr && ListBoxSetItemData(s->list, index, data);
}

std::intptr_t ComboBoxGetItemData(Hwnd h, int index) {
  const ComboState* s = Combo(h);
  return s ? ListBoxGetItemData(s->list, index) : kListError;
}

void ComboBoxLimitText(Hwnd h, int limit) {
  if (const ComboState* s = Combo(h); s != nullptr && s->edit != kNoWindow)
    EditSetLimit(s->edit, limit);
}

void ComboBoxShowDropDown(Hwnd h, bool show) {
  ComboState* s = Combo(h);
  if (s == nullptr) return;
  if (show)
    controls::Drop(h, *s);
  else
    controls::ComboListDone(h, -1, false);
}

bool ComboBoxGetDroppedState(Hwnd h) {
  const ComboState* s = Combo(h);
  return s != nullptr && s->dropped;
}

Hwnd ComboBoxGetListWindow(Hwnd h) {
  const ComboState* s = Combo(h);
  return s != nullptr && s->dropped ? s->list : kNoWindow;
}

Hwnd ComboBoxGetEdit(Hwnd h) {
  const ComboState* s = Combo(h);
  return s ? s->edit : kNoWindow;
}

}  // namespace plat
