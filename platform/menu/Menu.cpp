// Menus, the menu bar, pop-up menu windows and the menu loop: see Menu.h.
#include "platform/menu/Menu.h"

#include <algorithm>
#include <cctype>
#include <map>

#include "platform/controls/Controls_p.h"
#include "platform/window/VirtualKeys.h"

namespace plat {
namespace {

using controls::Align;
using controls::Bevel;
using controls::Painter;

std::map<HMenu, std::vector<MenuEntry>>& Menus() {
  static std::map<HMenu, std::vector<MenuEntry>> menus;
  return menus;
}
HMenu g_nextMenu = 1;

std::vector<MenuEntry>* Entries(HMenu m) {
  auto it = Menus().find(m);
  return it == Menus().end() ? nullptr : &it->second;
}

const MenuEntry* EntryAt(HMenu m, int pos) {
  const std::vector<MenuEntry>* e = Entries(m);
  if (e == nullptr || pos < 0 || pos >= static_cast<int>(e->size())) return nullptr;
  return &(*e)[static_cast<std::size_t>(pos)];
}

// --- layout ------------------------------------------------------------------

constexpr int kPopupBorder = 3;
constexpr int kCheckColumn = 18;
constexpr int kArrowColumn = 18;
constexpr int kSeparatorHeight = 8;
constexpr int kBarPadding = 7;

int LineHeight() {
  const auto font = DefaultControlFont();
  return font ? font->Metrics().height : 13;
}

int TextWidth(std::string_view text) {
  const auto font = DefaultControlFont();
  return font ? font->TextWidth(text) : static_cast<int>(text.size()) * 6;
}

int EntryHeight(const MenuEntry& e) {
  return e.kind == MenuEntry::Kind::Separator ? kSeparatorHeight : LineHeight() + 6;
}

/// The label and the accelerator text of an entry.
std::pair<std::string, std::string> SplitText(const std::string& text) {
  const auto tab = text.find('\t');
  if (tab == std::string::npos) return {text, {}};
  return {text.substr(0, tab), text.substr(tab + 1)};
}

Size PopupSize(HMenu m) {
  const std::vector<MenuEntry>* entries = Entries(m);
  int label = 0;
  int accel = 0;
  int height = 2 * kPopupBorder;
  if (entries != nullptr) {
    for (const MenuEntry& e : *entries) {
      height += EntryHeight(e);
      if (e.kind == MenuEntry::Kind::Separator) continue;
      const auto [l, a] = SplitText(e.text);
      label = std::max(label, TextWidth(controls::StripMnemonic(l, true).text));
      if (!a.empty()) accel = std::max(accel, TextWidth(a) + 16);
    }
  }
  return {2 * kPopupBorder + kCheckColumn + label + accel + kArrowColumn, height};
}

/// Entry POS's rectangle in the client area of the pop-up showing M.
Rect PopupEntryRect(HMenu m, Size size, int pos) {
  const std::vector<MenuEntry>* entries = Entries(m);
  if (entries == nullptr || pos < 0 || pos >= static_cast<int>(entries->size())) return {};
  int y = kPopupBorder;
  for (int i = 0; i < pos; ++i) y += EntryHeight((*entries)[static_cast<std::size_t>(i)]);
  return {kPopupBorder, y, size.width - kPopupBorder,
          y + EntryHeight((*entries)[static_cast<std::size_t>(pos)])};
}

int BarHeight() {
  return LineHeight() + 6;
}

/// Title POS's rectangle in the bar window.
Rect BarItemRect(HMenu m, int pos) {
  const std::vector<MenuEntry>* entries = Entries(m);
  if (entries == nullptr || pos < 0 || pos >= static_cast<int>(entries->size())) return {};
  int x = 2;
  for (int i = 0;; ++i) {
    const MenuEntry& e = (*entries)[static_cast<std::size_t>(i)];
    const int w =
        TextWidth(controls::StripMnemonic(SplitText(e.text).first, true).text) + 2 * kBarPadding;
    if (i == pos) return {x, 1, x + w, BarHeight() - 1};
    x += w;
  }
}

int Mnemonic(const MenuEntry& e) {
  const controls::Mnemonic mn = controls::StripMnemonic(SplitText(e.text).first, true);
  if (mn.underline < 0 || mn.underline >= static_cast<int>(mn.text.size())) return -1;
  return std::toupper(static_cast<unsigned char>(mn.text[static_cast<std::size_t>(mn.underline)]));
}

// --- window state ------------------------------------------------------------

struct BarState : WindowExtra {
  HMenu menu = kNoMenu;
  int sel = -1;
  bool open = false;
};

struct PopupState : WindowExtra {
  HMenu menu = kNoMenu;
  int sel = -1;
};

template <typename T>
T* StateOf(Hwnd h) {
  return dynamic_cast<T*>(GetWindowExtra(h));
}

void DrawLabel(Painter& p, const Rect& box, const std::string& text, bool greyed, Pixel colour) {
  const controls::Mnemonic mn = controls::StripMnemonic(text, true);
  if (greyed && colour == kColourText)
    p.GreyText(box, mn.text, Align::Left, mn.underline);
  else
    p.Text(box, mn.text, Align::Left, greyed ? kColourGreyText : colour, mn.underline);
}

void PaintBar(Hwnd h, const BarState& s) {
  Painter p(h);
  if (!p.Ok()) return;
  p.Fill(p.Client(), kColourFace);
  const std::vector<MenuEntry>* entries = Entries(s.menu);
  if (entries == nullptr) return;
  for (int i = 0; i < static_cast<int>(entries->size()); ++i) {
    const MenuEntry& e = (*entries)[static_cast<std::size_t>(i)];
    const Rect r = BarItemRect(s.menu, i);
    if (i == s.sel) p.DrawBevel(r, s.open ? Bevel::ThinSunken : Bevel::ThinRaised);
    const int shift = i == s.sel && s.open ? 1 : 0;
    DrawLabel(p, {r.left + kBarPadding + shift, r.top + shift, r.right, r.bottom},
              SplitText(e.text).first, e.greyed, kColourText);
  }
}

void PaintCheck(Painter& p, const Rect& r, Pixel colour) {
  const int cx = r.left + kCheckColumn / 2 - 3;
  const int cy = r.top + r.Height() / 2;
  for (int i = 0; i < 3; ++i) p.Fill({cx + i, cy - 1 + i, cx + i + 1, cy + 2 + i}, colour);
  for (int i = 0; i < 4; ++i) p.Fill({cx + 3 + i, cy + 1 - i, cx + 4 + i, cy + 4 - i}, colour);
}

void PaintPopup(Hwnd h, const PopupState& s) {
  Painter p(h);
  if (!p.Ok()) return;
  const Rect c = p.Client();
  p.Fill(c, kColourFace);
  p.DrawBevel(c, Bevel::Raised);
  const std::vector<MenuEntry>* entries = Entries(s.menu);
  if (entries == nullptr) return;
  const Size size{c.Width(), c.Height()};
  for (int i = 0; i < static_cast<int>(entries->size()); ++i) {
    const MenuEntry& e = (*entries)[static_cast<std::size_t>(i)];
    const Rect r = PopupEntryRect(s.menu, size, i);
    if (e.kind == MenuEntry::Kind::Separator) {
      const int y = r.top + r.Height() / 2 - 1;
      p.DrawBevel({r.left + 1, y, r.right - 1, y + 2}, Bevel::ThinSunken);
      continue;
    }
    const bool selected = i == s.sel;
    if (selected) p.Fill(r, kColourSelection);
    const Pixel ink = selected ? kColourSelectionText : kColourText;
    const auto [label, accel] = SplitText(e.text);
    DrawLabel(p, {r.left + kCheckColumn, r.top, r.right - kArrowColumn, r.bottom}, label, e.greyed,
              ink);
    if (!accel.empty()) {
      const int w = TextWidth(accel);
      const Rect box{r.right - kArrowColumn - w, r.top, r.right - kArrowColumn, r.bottom};
      if (e.greyed && !selected)
        p.GreyText(box, accel, Align::Left);
      else
        p.Text(box, accel, Align::Left, e.greyed ? kColourGreyText : ink);
    }
    const Pixel mark = e.greyed ? kColourGreyText : ink;
    if (e.checked) PaintCheck(p, r, mark);
    if (e.kind == MenuEntry::Kind::Popup)
      p.Arrow({r.right - kArrowColumn, r.top, r.right, r.bottom}, 3, mark);
  }
}

class MenuLoop;
MenuLoop* g_loop = nullptr;

LResult BarProc(Hwnd h, Msg m, WParam w, LParam l);

LResult PopupProc(Hwnd h, Msg m, WParam w, LParam l) {
  if (m == Msg::Create) {
    SetWindowExtra(h, std::make_unique<PopupState>());
    return 0;
  }
  PopupState* s = StateOf<PopupState>(h);
  if (s == nullptr) return DefWindowProc(h, m, w, l);
  switch (m) {
    case Msg::Paint:
      PaintPopup(h, *s);
      return 0;
    case Msg::EraseBackground:
      return 1;
    default:
      return DefWindowProc(h, m, w, l);
  }
}

// --- the menu loop -------------------------------------------------------------

class MenuLoop {
 public:
  /// A loop for the bar of TOP (BAR its window), or for a pop-up (BAR none).
  MenuLoop(Hwnd owner, Hwnd bar) : owner_(owner), bar_(bar) {}

  int RunBar(int pos, bool open, bool keyboard) {
    Enter(false);
    SelectBar(pos);
    if (open) OpenBarPopup(keyboard);
    SetCapture(bar_);
    Loop();
    const int chosen = result_;
    Finish(false);
    if (BarState* s = StateOf<BarState>(bar_)) {
      s->sel = -1;
      s->open = false;
      InvalidateRect(bar_, std::nullopt, true);
    }
    if (chosen != 0 && IsWindow(owner_))
      PostMessage(owner_, Msg::Command, MakeWParam(chosen, 0), 0);
    return chosen;
  }

  int RunPopup(HMenu menu, Point at) {
    Enter(true);
    Open(menu, at, false);
    if (!levels_.empty()) SetCapture(levels_.front().window);
    Loop();
    Finish(true);
    return result_;
  }

  Rect EntryRect(HMenu menu, int pos) const {
    for (const Level& lv : levels_) {
      if (lv.menu != menu) continue;
      const Rect wr = GetWindowRect(lv.window);
      return PopupEntryRect(menu, {wr.Width(), wr.Height()}, pos).Offset(wr.left, wr.top);
    }
    return {};
  }

  std::vector<HMenu> Shown() const {
    std::vector<HMenu> out;
    for (const Level& lv : levels_) out.push_back(lv.menu);
    return out;
  }

  Hwnd WindowOf(HMenu menu) const {
    for (const Level& lv : levels_)
      if (lv.menu == menu) return lv.window;
    return kNoWindow;
  }

 private:
  struct Level {
    HMenu menu = kNoMenu;
    Hwnd window = kNoWindow;
    int sel = -1;
  };

  void Enter(bool popup) {
    g_loop = this;
    SendMessage(owner_, Msg::EnterMenuLoop, popup ? 1 : 0, 0);
  }

  void Finish(bool popup) {
    while (!levels_.empty()) Close();
    if (GetCapture() != kNoWindow) ReleaseCapture();
    g_loop = nullptr;
    if (IsWindow(owner_)) {
      SendMessage(owner_, Msg::MenuSelect, 0, 0);
      SendMessage(owner_, Msg::ExitMenuLoop, popup ? 1 : 0, 0);
    }
  }

  void Notify(HMenu menu, int pos) {
    const MenuEntry* e = EntryAt(menu, pos);
    if (e == nullptr || !IsWindow(owner_)) return;
    const MenuSelection sel{menu, pos, e->kind == MenuEntry::Kind::Popup};
    SendMessage(owner_, Msg::MenuSelect, static_cast<WParam>(e->id),
                reinterpret_cast<LParam>(&sel));
  }

  HMenu BarMenu() const {
    const BarState* s = StateOf<BarState>(bar_);
    return s ? s->menu : kNoMenu;
  }

  void SelectBar(int pos) {
    BarState* s = StateOf<BarState>(bar_);
    if (s == nullptr || s->sel == pos) return;
    s->sel = pos;
    InvalidateRect(bar_, std::nullopt, true);
    Notify(s->menu, pos);
  }

  void SetBarOpen(bool open) {
    if (BarState* s = StateOf<BarState>(bar_); s != nullptr && s->open != open) {
      s->open = open;
      InvalidateRect(bar_, std::nullopt, true);
    }
  }

  /// Opens the pop-up of the selected bar title.
  void OpenBarPopup(bool keyboard) {
    const BarState* s = StateOf<BarState>(bar_);
    if (s == nullptr) return;
    const MenuEntry* e = EntryAt(s->menu, s->sel);
    while (!levels_.empty()) Close();
    SetBarOpen(true);
    if (e == nullptr || e->kind != MenuEntry::Kind::Popup || e->greyed) return;
    const Rect r = BarItemRect(s->menu, s->sel);
    const Point at = ClientToScreen(bar_, {r.left, GetClientRect(bar_).bottom});
    Open(e->submenu, at, keyboard);
  }

  void Open(HMenu menu, Point at, bool selectFirst) {
    if (!IsMenu(menu)) return;
    const Size size = PopupSize(menu);
    const Size screen = ScreenSize();
    if (at.x + size.width > screen.width) at.x = std::max(0, screen.width - size.width);
    if (at.y + size.height > screen.height) at.y = std::max(0, screen.height - size.height);
    CreateParams cp;
    cp.className = kPopupMenuClass;
    cp.style = kStylePopup;
    cp.rect = {at.x, at.y, at.x + size.width, at.y + size.height};
    cp.owner = GetTopLevel(owner_);
    const Hwnd w = CreateWindow(cp);
    if (w == kNoWindow) return;
    if (Backend* b = GetBackend()) b->SetOverlay(GetNativeWindow(w));
    if (PopupState* ps = StateOf<PopupState>(w)) ps->menu = menu;
    levels_.push_back({menu, w, -1});
    ShowWindow(w, ShowCmd::ShowNoActivate);
    BringToTop(w);
    if (selectFirst) Move(levels_.size() - 1, +1);
  }

  void Close() {
    const Hwnd w = levels_.back().window;
    levels_.pop_back();
    const bool hadCapture = GetCapture() == w;
    DestroyWindow(w);
    if (hadCapture && !levels_.empty()) SetCapture(levels_.front().window);
  }

  void Select(std::size_t level, int pos) {
    Level& lv = levels_[level];
    while (levels_.size() > level + 1) Close();
    if (lv.sel == pos) return;
    lv.sel = pos;
    if (PopupState* ps = StateOf<PopupState>(lv.window)) ps->sel = pos;
    InvalidateRect(lv.window, std::nullopt, true);
    if (pos >= 0) Notify(lv.menu, pos);
  }

  /// Moves the selection of LEVEL by STEP, skipping separators.
  void Move(std::size_t level, int step) {
    const std::vector<MenuEntry>* entries = Entries(levels_[level].menu);
    if (entries == nullptr || entries->empty()) return;
    const int n = static_cast<int>(entries->size());
    int pos = levels_[level].sel;
    for (int tries = 0; tries < n; ++tries) {
      pos = pos < 0 ? (step > 0 ? 0 : n - 1) : (pos + step + n) % n;
      if ((*entries)[static_cast<std::size_t>(pos)].kind != MenuEntry::Kind::Separator) {
        Select(level, pos);
        return;
      }
    }
  }

  /// Opens the submenu of the selected pop-up entry of LEVEL.
  void OpenSub(std::size_t level, bool selectFirst) {
    const Level& lv = levels_[level];
    const MenuEntry* e = EntryAt(lv.menu, lv.sel);
    if (e == nullptr || e->kind != MenuEntry::Kind::Popup || e->greyed) return;
    if (levels_.size() > level + 1) return;
    const Rect r = EntryRect(lv.menu, lv.sel);
    const Rect wr = GetWindowRect(lv.window);
    Open(e->submenu, {wr.right - kPopupBorder, r.top - kPopupBorder}, selectFirst);
  }

  /// Chooses entry POS of LEVEL: a command ends the loop, a pop-up opens.
  void Choose(std::size_t level, int pos, bool keyboard) {
    const MenuEntry* e = EntryAt(levels_[level].menu, pos);
    if (e == nullptr || e->greyed) return;
    if (e->kind == MenuEntry::Kind::Command) {
      result_ = e->id;
      done_ = true;
    } else if (e->kind == MenuEntry::Kind::Popup) {
      Select(level, pos);
      OpenSub(level, keyboard);
    }
  }

  /// The level and entry under screen point P; level -1 for the bar, -2 none.
  std::pair<int, int> HitTest(Point p) const {
    for (int i = static_cast<int>(levels_.size()) - 1; i >= 0; --i) {
      const Level& lv = levels_[static_cast<std::size_t>(i)];
      const Rect wr = GetWindowRect(lv.window);
      if (!wr.Contains(p)) continue;
      const Size size{wr.Width(), wr.Height()};
      for (int k = 0; k < MenuEntryCount(lv.menu); ++k)
        if (PopupEntryRect(lv.menu, size, k).Offset(wr.left, wr.top).Contains(p)) return {i, k};
      return {i, -1};
    }
    if (bar_ != kNoWindow) {
      const Point c = ScreenToClient(bar_, p);
      if (GetClientRect(bar_).Contains(c)) {
        for (int k = 0; k < MenuEntryCount(BarMenu()); ++k)
          if (BarItemRect(BarMenu(), k).Contains(c)) return {-1, k};
        return {-1, -1};
      }
    }
    return {-2, -1};
  }

  void Mouse(const Message& m) {
    const auto [level, pos] = HitTest(m.pt);
    const BarState* bs = StateOf<BarState>(bar_);
    switch (m.msg) {
      case Msg::MouseMove:
        if (level >= 0 && pos >= 0) {
          Select(static_cast<std::size_t>(level), pos);
          OpenSub(static_cast<std::size_t>(level), false);
        } else if (level == -1 && pos >= 0 && bs != nullptr && bs->open && pos != bs->sel) {
          SelectBar(pos);
          OpenBarPopup(false);
        }
        break;
      case Msg::LButtonDown:
      case Msg::RButtonDown:
      case Msg::MButtonDown:
      case Msg::LButtonDblClk:
      case Msg::RButtonDblClk:
      case Msg::NcLButtonDown:
      case Msg::NcRButtonDown:
        if (level == -2 || (level == -1 && pos < 0)) {
          done_ = true;
        } else if (level == -1 && bs != nullptr) {
          if (pos == bs->sel && bs->open) {
            done_ = true;
          } else {
            SelectBar(pos);
            OpenBarPopup(false);
          }
        }
        break;
      case Msg::LButtonUp:
      case Msg::RButtonUp:
        if (level >= 0 && pos >= 0) Choose(static_cast<std::size_t>(level), pos, false);
        break;
      default:
        break;
    }
  }

  void Key(int vk) {
    const BarState* bs = StateOf<BarState>(bar_);
    const bool barMode = bs != nullptr;
    const std::size_t minLevels = barMode ? 0 : 1;
    switch (vk) {
      case kVkEscape:
        if (levels_.size() > minLevels) {
          Close();
          if (barMode && levels_.empty()) SetBarOpen(false);
        } else {
          done_ = true;
        }
        return;
      case kVkMenu:
      case (kVkF1 + 9):
        done_ = true;
        return;
      case kVkUp:
      case kVkDown:
        if (!levels_.empty())
          Move(levels_.size() - 1, vk == kVkDown ? +1 : -1);
        else if (barMode)
          OpenBarPopup(true);
        return;
      case kVkLeft:
      case kVkRight: {
        if (vk == kVkRight && !levels_.empty()) {
          const std::size_t before = levels_.size();
          OpenSub(levels_.size() - 1, true);
          if (levels_.size() > before) return;
        }
        if (vk == kVkLeft && levels_.size() > std::max<std::size_t>(minLevels, 1)) {
          Close();
          return;
        }
        if (!barMode) return;
        const int n = MenuEntryCount(BarMenu());
        if (n <= 0) return;
        const bool wasOpen = bs->open;
        SelectBar((bs->sel + (vk == kVkRight ? 1 : n - 1)) % n);
        if (wasOpen) OpenBarPopup(true);
        return;
      }
      case kVkReturn:
        if (!levels_.empty()) {
          const std::size_t lv = levels_.size() - 1;
          if (levels_[lv].sel >= 0) Choose(lv, levels_[lv].sel, true);
        } else if (barMode) {
          OpenBarPopup(true);
        }
        return;
      default:
        return;
    }
  }

  void Letter(std::uint32_t ch) {
    const int want = std::toupper(static_cast<int>(ch & 0xFF));
    if (levels_.empty()) {
      const int n = MenuEntryCount(BarMenu());
      for (int k = 0; k < n; ++k) {
        if (Mnemonic(*EntryAt(BarMenu(), k)) == want) {
          SelectBar(k);
          OpenBarPopup(true);
          return;
        }
      }
      return;
    }
    const std::size_t lv = levels_.size() - 1;
    const int n = MenuEntryCount(levels_[lv].menu);
    for (int k = 0; k < n; ++k) {
      const MenuEntry* e = EntryAt(levels_[lv].menu, k);
      if (e->kind != MenuEntry::Kind::Separator && Mnemonic(*e) == want) {
        Select(lv, k);
        Choose(lv, k, true);
        return;
      }
    }
  }

  void Loop() {
    while (!done_) {
      if (!IsWindow(owner_) || (bar_ != kNoWindow && !IsWindow(bar_))) break;
      if (bar_ == kNoWindow && levels_.empty()) break;
      Message m;
      if (!GetMessage(m)) {
        if (m.msg == Msg::Quit) PostQuitMessage(static_cast<int>(m.wParam));
        break;
      }
      const Msg k = m.msg;
      if (k >= kMouseFirst && k <= kMouseLast) {
        Mouse(m);
      } else if (k >= Msg::NcLButtonDown && k <= Msg::NcMButtonUp) {
        Mouse(m);
      } else if (k == Msg::KeyDown || k == Msg::SysKeyDown) {
        Key(static_cast<int>(m.wParam));
        if (done_) DropCharacterOfKey();
      } else if (k == Msg::Char || k == Msg::SysChar) {
        Letter(static_cast<std::uint32_t>(m.wParam));
      } else if (k == Msg::KeyUp || k == Msg::SysKeyUp) {
        // used up
      } else {
        DispatchMessage(m);
      }
    }
  }

  /// The key that ended the loop (Enter on an entry, Escape) also typed a
  /// character, queued right behind it. It belongs to the menu: left in the
  /// queue it would reach whatever the chosen command opens, and Enter would
  /// at once press the default button of the dialog it shows.
  static void DropCharacterOfKey() {
    Message next;
    if (!PeekMessage(next, kNoWindow, Msg::KeyDown, Msg::SysChar, PeekMode::Keep)) return;
    if (next.msg == Msg::Char || next.msg == Msg::SysChar)
      PeekMessage(next, kNoWindow, next.msg, next.msg, PeekMode::Remove);
  }

  Hwnd owner_;
  Hwnd bar_;
  std::vector<Level> levels_;
  int result_ = 0;
  bool done_ = false;
};

LResult BarProc(Hwnd h, Msg m, WParam w, LParam l) {
  if (m == Msg::Create) {
    SetWindowExtra(h, std::make_unique<BarState>());
    return 0;
  }
  BarState* s = StateOf<BarState>(h);
  if (s == nullptr) return DefWindowProc(h, m, w, l);
  switch (m) {
    case Msg::Paint:
      PaintBar(h, *s);
      return 0;
    case Msg::EraseBackground:
      return 1;
    case Msg::LButtonDown:
    case Msg::LButtonDblClk: {
      if (g_loop != nullptr) return 0;
      const Point p = LParamToPoint(l);
      for (int k = 0; k < MenuEntryCount(s->menu); ++k) {
        if (BarItemRect(s->menu, k).Contains(p)) {
          MenuLoop loop(GetParent(h), h);
          loop.RunBar(k, true, false);
          break;
        }
      }
      return 0;
    }
    default:
      return DefWindowProc(h, m, w, l);
  }
}

Hwnd FindBar(Hwnd top) {
  if (!IsWindow(top)) return kNoWindow;
  for (Hwnd c : GetChildren(top))
    if (StateOf<BarState>(c) != nullptr) return c;
  return kNoWindow;
}

}  // namespace

bool RegisterMenuClasses() {
  if (!IsClassRegistered(kMenuBarClass) &&
      !RegisterWindowClass({std::string(kMenuBarClass), BarProc, 0, std::nullopt}))
    return false;
  if (!IsClassRegistered(kPopupMenuClass) &&
      !RegisterWindowClass({std::string(kPopupMenuClass), PopupProc, 0, std::nullopt}))
    return false;
  return RegisterControls() || IsClassRegistered(kButtonClass);
}

HMenu CreateMenu() {
  const HMenu m = g_nextMenu++;
  Menus()[m];
  return m;
}

bool DestroyMenu(HMenu m) {
  auto it = Menus().find(m);
  if (it == Menus().end()) return false;
  std::vector<MenuEntry> entries = std::move(it->second);
  Menus().erase(it);
  for (const MenuEntry& e : entries)
    if (e.kind == MenuEntry::Kind::Popup) DestroyMenu(e.submenu);
  return true;
}

bool IsMenu(HMenu m) {
  return Entries(m) != nullptr;
}

int MenuEntryCount(HMenu m) {
  const std::vector<MenuEntry>* e = Entries(m);
  return e ? static_cast<int>(e->size()) : 0;
}

bool InsertMenuEntry(HMenu m, int pos, const MenuEntry& entry) {
  std::vector<MenuEntry>* e = Entries(m);
  if (e == nullptr || (entry.kind == MenuEntry::Kind::Popup && !IsMenu(entry.submenu)) ||
      entry.submenu == m)
    return false;
  MenuEntry copy = entry;
  if (copy.kind != MenuEntry::Kind::Popup) copy.submenu = kNoMenu;
  if (pos < 0 || pos > static_cast<int>(e->size())) pos = static_cast<int>(e->size());
  e->insert(e->begin() + pos, std::move(copy));
  return true;
}

bool DeleteMenuEntry(HMenu m, int pos) {
  std::vector<MenuEntry>* e = Entries(m);
  if (e == nullptr || pos < 0 || pos >= static_cast<int>(e->size())) return false;
  const HMenu sub = (*e)[static_cast<std::size_t>(pos)].submenu;
  e->erase(e->begin() + pos);
  if (sub != kNoMenu) DestroyMenu(sub);
  return true;
}

std::optional<MenuEntry> GetMenuEntry(HMenu m, int pos) {
  const MenuEntry* e = EntryAt(m, pos);
  if (e == nullptr) return std::nullopt;
  return *e;
}

bool SetMenuEntry(HMenu m, int pos, const MenuEntry& entry) {
  std::vector<MenuEntry>* e = Entries(m);
  if (e == nullptr || pos < 0 || pos >= static_cast<int>(e->size())) return false;
  MenuEntry& target = (*e)[static_cast<std::size_t>(pos)];
  target.id = entry.id;
  target.text = entry.text;
  target.greyed = entry.greyed;
  target.checked = entry.checked;
  return true;
}

MenuPlace FindMenuEntry(HMenu root, int id) {
  const std::vector<MenuEntry>* e = Entries(root);
  if (e == nullptr) return {};
  for (int i = 0; i < static_cast<int>(e->size()); ++i) {
    const MenuEntry& entry = (*e)[static_cast<std::size_t>(i)];
    if (entry.kind == MenuEntry::Kind::Separator) continue;
    if (entry.id == id && id != 0) return {root, i};
    if (entry.kind == MenuEntry::Kind::Popup) {
      const MenuPlace inner = FindMenuEntry(entry.submenu, id);
      if (inner.Found()) return inner;
    }
  }
  return {};
}

std::vector<int> MenuPathTo(HMenu root, int id) {
  const std::vector<MenuEntry>* e = Entries(root);
  if (e == nullptr || id == 0) return {};
  for (int i = 0; i < static_cast<int>(e->size()); ++i) {
    const MenuEntry& entry = (*e)[static_cast<std::size_t>(i)];
    if (entry.kind == MenuEntry::Kind::Separator) continue;
    if (entry.id == id) return {i};
    if (entry.kind == MenuEntry::Kind::Popup) {
      std::vector<int> inner = MenuPathTo(entry.submenu, id);
      if (!inner.empty()) {
        inner.insert(inner.begin(), i);
        return inner;
      }
    }
  }
  return {};
}

bool SetMenu(Hwnd top, HMenu menu) {
  if (!IsWindow(top) || GetParent(top) != kNoWindow) return false;
  if (menu != kNoMenu && !IsMenu(menu)) return false;
  Hwnd bar = FindBar(top);
  if (menu == kNoMenu) {
    if (bar != kNoWindow) DestroyWindow(bar);
    return true;
  }
  if (bar == kNoWindow) {
    if (!RegisterMenuClasses()) return false;
    CreateParams cp;
    cp.className = kMenuBarClass;
    cp.style = kStyleChild | kStyleVisible;
    cp.rect = {0, 0, GetClientRect(top).Width(), BarHeight()};
    cp.parent = top;
    bar = CreateWindow(cp);
    if (bar == kNoWindow) return false;
  }
  if (BarState* s = StateOf<BarState>(bar)) {
    s->menu = menu;
    s->sel = -1;
    s->open = false;
  }
  InvalidateRect(bar, std::nullopt, true);
  return true;
}

HMenu GetMenu(Hwnd top) {
  const BarState* s = StateOf<BarState>(FindBar(top));
  return s ? s->menu : kNoMenu;
}

Hwnd GetMenuBarWindow(Hwnd top) {
  return FindBar(top);
}

int MenuBarHeight(Hwnd top) {
  return FindBar(top) != kNoWindow ? BarHeight() : 0;
}

void DrawMenuBar(Hwnd top) {
  if (const Hwnd bar = FindBar(top); bar != kNoWindow) InvalidateRect(bar, std::nullopt, true);
}

Rect MenuBarItemRect(Hwnd top, int pos) {
  const Hwnd bar = FindBar(top);
  const BarState* s = StateOf<BarState>(bar);
  if (s == nullptr) return {};
  const Rect r = BarItemRect(s->menu, pos);
  if (r.Empty()) return {};
  const Point o = ClientToScreen(bar, {0, 0});
  return r.Offset(o.x, o.y);
}

int TrackPopupMenu(HMenu menu, Point screen, Hwnd owner) {
  if (g_loop != nullptr || !IsMenu(menu) || !IsWindow(owner) || !RegisterMenuClasses()) return 0;
  MenuLoop loop(owner, kNoWindow);
  return loop.RunPopup(menu, screen);
}

bool MenuLoopActive() {
  return g_loop != nullptr;
}

Rect OpenMenuEntryRect(HMenu menu, int pos) {
  return g_loop ? g_loop->EntryRect(menu, pos) : Rect{};
}

Hwnd OpenMenuWindow(HMenu menu) {
  return g_loop ? g_loop->WindowOf(menu) : kNoWindow;
}

std::vector<HMenu> OpenMenus() {
  return g_loop ? g_loop->Shown() : std::vector<HMenu>{};
}

bool TranslateMenuKey(const Message& m) {
  if (g_loop != nullptr) return false;
  const bool f10 = (m.msg == Msg::KeyDown || m.msg == Msg::SysKeyDown) && m.wParam == (kVkF1 + 9);
  const bool altLetter = m.msg == Msg::SysChar;
  if (!f10 && !altLetter) return false;
  const Hwnd top = GetTopLevel(m.hwnd);
  const Hwnd bar = FindBar(top);
  const BarState* s = StateOf<BarState>(bar);
  if (s == nullptr || !IsWindowEnabled(top)) return false;
  if (f10) {
    MenuLoop loop(top, bar);
    loop.RunBar(0, false, true);
    return true;
  }
  const int want = std::toupper(static_cast<int>(m.wParam & 0xFF));
  for (int k = 0; k < MenuEntryCount(s->menu); ++k) {
    if (Mnemonic(*EntryAt(s->menu, k)) == want) {
      MenuLoop loop(top, bar);
      loop.RunBar(k, true, true);
      return true;
    }
  }
  return false;
}

}  // namespace plat
