#pragma once
// Menus: menu bars drawn along the top of a top-level window, pop-up menus
// shown as unframed top-level windows, and the menu loop that lets the user
// move through them with the mouse or the keyboard.
//
// A menu is a list of entries (commands, separators and pop-up entries that
// open a submenu), known by a handle. While a menu loop runs, its owner
// window is told what happens:
//  - Msg::EnterMenuLoop when it starts (wParam 1 for a pop-up menu, 0 for
//    the menu bar);
//  - Msg::MenuSelect each time another entry is selected (wParam the entry's
//    identifier, lParam a const MenuSelection*), and once with wParam 0 and
//    lParam 0 when the loop closes;
//  - Msg::ExitMenuLoop when it ends.
// A command chosen from a menu bar is posted to the bar's window as
// Msg::Command with wParam = MakeWParam(id, 0) and lParam 0; TrackPopupMenu
// returns the command chosen instead.
//
// Keys in the loop: Up and Down move within a pop-up, Left and Right move
// along the bar (or close and open submenus), Enter chooses, Escape closes
// one level, a letter chooses the entry whose mnemonic ("&") it is. F10 or
// Alt with a letter enter the menu bar (TranslateMenuKey).
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/window/Window.h"

namespace plat {

using HMenu = std::uint32_t;
constexpr HMenu kNoMenu = 0;

inline constexpr std::string_view kMenuBarClass = "#MenuBar";
inline constexpr std::string_view kPopupMenuClass = "#PopupMenu";

struct MenuEntry {
  enum class Kind { Command, Separator, Popup };
  Kind kind = Kind::Command;
  int id = 0;        // the command; for a pop-up entry the identifier it is known by (0: none)
  std::string text;  // "&" marks the mnemonic; "\t" starts right-aligned accelerator text
  bool greyed = false;
  bool checked = false;
  HMenu submenu = kNoMenu;  // a pop-up entry's menu, owned by the menu holding the entry
};

/// What Msg::MenuSelect's lParam points at.
struct MenuSelection {
  HMenu menu = kNoMenu;
  int pos = 0;  // 0-based position of the entry in MENU
  bool popup = false;
};

/// A new, empty menu.
HMenu CreateMenu();
/// Destroys M and the submenus of its pop-up entries. False when M is no menu.
bool DestroyMenu(HMenu m);
bool IsMenu(HMenu m);
int MenuEntryCount(HMenu m);
/// Inserts ENTRY before POS (-1 or past the end: appends). False when M is
/// no menu, or a pop-up entry's submenu is no menu.
bool InsertMenuEntry(HMenu m, int pos, const MenuEntry& entry);
/// Removes entry POS, destroying its submenu.
bool DeleteMenuEntry(HMenu m, int pos);
std::optional<MenuEntry> GetMenuEntry(HMenu m, int pos);
/// Replaces entry POS's identifier, text, greyed and checked state (its
/// kind and submenu stay).
bool SetMenuEntry(HMenu m, int pos, const MenuEntry& entry);

/// Where an entry lies.
struct MenuPlace {
  HMenu menu = kNoMenu;
  int pos = -1;
  bool Found() const { return menu != kNoMenu; }
};
/// The first entry (not a separator) with identifier ID, depth first from ROOT.
MenuPlace FindMenuEntry(HMenu root, int id);
/// The 0-based positions leading from ROOT to the entry with ID (empty when none).
std::vector<int> MenuPathTo(HMenu root, int id);

/// Gives top-level window TOP the menu bar MENU (kNoMenu removes it). The
/// bar is a child window along TOP's top edge, MenuBarHeight high; the
/// caller keeps the menu (it is not destroyed with the bar).
bool SetMenu(Hwnd top, HMenu menu);
HMenu GetMenu(Hwnd top);
Hwnd GetMenuBarWindow(Hwnd top);
/// The bar's height (0 when TOP has no menu bar).
int MenuBarHeight(Hwnd top);
/// Redraws TOP's menu bar after its entries changed.
void DrawMenuBar(Hwnd top);
/// Screen rectangle of menu-bar title POS (empty when none).
Rect MenuBarItemRect(Hwnd top, int pos);

/// Shows MENU with its top-left at SCREEN and runs the menu loop, owned by
/// OWNER; returns the command chosen, 0 when none (also when a loop runs).
int TrackPopupMenu(HMenu menu, Point screen, Hwnd owner);
/// Whether a menu loop runs.
bool MenuLoopActive();
/// Screen rectangle of entry POS of MENU while MENU is shown (empty otherwise).
Rect OpenMenuEntryRect(HMenu menu, int pos);
/// The window showing pop-up MENU (kNoWindow when not shown).
Hwnd OpenMenuWindow(HMenu menu);
/// The pop-up menus shown by the running loop, outermost first.
std::vector<HMenu> OpenMenus();

/// F10, or Alt with a letter of a menu-bar title, on a window whose
/// top-level window has a menu bar: runs the bar's menu loop and returns
/// true (the message is used up); false for every other message.
bool TranslateMenuKey(const Message& m);

/// Registers the menu window classes (done by SetMenu and TrackPopupMenu
/// when needed).
bool RegisterMenuClasses();

}  // namespace plat
