#pragma once
// Menus, toolbars and the status bar of the toolkit's windows. They come from
// the program's resources and are addressed by resource identifier: menu N
// goes with the help texts N; toolbar T with its bitmap T. A command chosen
// from a menu, a pop-up menu or a toolbar reaches the application as a
// menu-command event (type 2) carrying its command identifier; a menu item
// and the toolbar buttons of one command show the same enabled and checked
// state.
#include <array>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "platform/draw/Surface.h"
#include "platform/menu/Accelerators.h"
#include "platform/menu/Menu.h"
#include "platform/window/Messages.h"

namespace res {
struct ResourceSet;
}  // namespace res

namespace tk {

/// Replaces window 0's menu (0 removes it). Errors 1002, 1003 under "WMenu".
void WMenu(int menuId);
/// Replaces window W's menu (0-50; a window inside a parent or a special
/// window has none: 1003). Errors reported under "WMenu".
void WMenuWindow(int menuId, int window = 0);
/// KIND 1 enables (VALUE 1) or greys (0), KIND 2 checks (1) or unchecks (0)
/// the item and every toolbar button with command ID, in the current window
/// when it has a menu or a toolbar, else in window 0. Other kinds or values
/// do nothing; 1001 when neither an item nor a button has the identifier.
void WMenuSetState(int id, int kind, int value);
/// Shows menu resource ID as a pop-up at X, Y (window units of the current
/// drawable; OPTION bit 0 set: screen pixels) and returns when it closes. A
/// chosen entry becomes a menu-command event. Error 1002.
void WMenuFloating(int id, int x, int y, int option = 0);
/// Creates, replaces or removes (ID 0) the toolbar at POSITION (1 top,
/// 2 left, 3 right, 4 bottom; other values 1) of window W. Errors 1003, 1002.
void WMenuToolbar(int id, int window = 0, int position = 1);
/// Divides the current window's status bar into N (1-255) parts: part i is
/// WIDTHS[i] x (drawable width - 1) / 9999 pixels wide; -1 gives a part the
/// rest of the bar and ends the list. STYLES: 0 no border, 1 sunken (the
/// default, also for other values), 2 raised.
void WindowStatusParts(int n, std::span<const int> widths, std::span<const int> styles = {});
/// Sets the text of part PART (1-255) of the current window's status bar,
/// trailing blanks removed.
void WindowStatusText(int part, std::string_view text);

/// Item states: 1 enabled, 2 checked; the item's state, or a toolbar
/// button's when the menu has no such item; -1 (1001 reported) when neither
/// exists.
int WMenuGetState(int id, int kind);
/// Changes the text of the current window's menu item ID (1001 when none).
void WMenuSetString(int id, std::string_view text);
/// Attaches help text TEXT to the current window's menu item ID: shown in
/// the status bar before the help-text resource's entry (1001 when none).
void WMenuItemHelp(int id, std::string_view text);
/// Sets the tooltip of the current window's toolbar button ID (at most 79
/// characters; a text of length 1 clears the entry).
void WMenuTooltip(int id, std::string_view text);

// ---------------------------------------------------------------------------
// For the rest of the toolkit and for tests

/// Loads menu resource ID with its pop-up identifiers (kNoMenu when there
/// is none); the caller destroys it.
plat::HMenu LoadMenuResource(int id);
/// Makes a platform accelerator table of accelerator resource ID of SET (the
/// program's resources without one); kNoAccel when there is none. The
/// caller destroys it.
plat::HAccel LoadAcceleratorResource(int id, const res::ResourceSet* set = nullptr);
/// The bitmap resource ID (the program's bitmap resources are its toolbars'
/// button strips) as a fresh surface; null when there is none.
std::shared_ptr<plat::Surface> LoadBitmapResource(int id);
/// Window N's menu, status bar and toolbar at POSITION 1-4 (none: 0).
/// Takes window N's menu and toolbars away for good (a modal bitmap viewer
/// covers the window); its client area grows into their room.
void RemoveMenuAndToolbars(int n);
/// Takes window N's toolbars away for good, keeping its menu.
void RemoveWindowToolbars(int n);
plat::HMenu WindowMenuHandle(int n);
plat::Hwnd WindowStatusBarHandle(int n);
plat::Hwnd WindowToolbarHandle(int n, int position);
/// The menu help text window N's status bar shows while a menu is open
/// (empty when none shows).
std::string WindowMenuHelpText(int n);

// ---------------------------------------------------------------------------
// Windows that handle their own commands (text editors, grid windows)

/// Gives window N the menu bar MENU that its own code built (kNoMenu: none;
/// a window inside a parent keeps it in its table only). Destroys the menu
/// the window had, its attached help strings and its accelerator tables.
/// HELP_ID: the help-text resource for the caller's items (0 none).
void SetWindowOwnMenu(int n, plat::HMenu menu, int helpId);
/// Window N's accelerator tables, its own first, then its caller's (either
/// may be kNoAccel); the window owns them from now on. The event loop's
/// message filter translates keys for the frame and everything inside it.
void SetWindowAccelerators(int n, plat::HAccel own, plat::HAccel user);
/// The status-bar help texts of window N's own commands, asked after the
/// attached texts and the help-text resources.
void SetWindowCommandHelp(int n, std::function<std::string(int id)> help);

namespace detail {
/// Translates a key through the accelerator tables of the innermost
/// toolkit window around its target that has some; true when used up.
bool TranslateWindowAccelerators(const plat::Message& m);
/// Builds the menu, the status bar and the toolbars of a window being
/// opened and grows its frame by them (a centred frame moves up and left by
/// half the growth).
void AttachBars(int n, int menuId, bool statusBar, bool sizeGrip, std::array<int, 4> toolbars,
                bool centredX, bool centredY);
/// Forgets window N's bars (it is closing); destroys its menu.
void ReleaseBars(int n);
/// Places the menu bar, toolbars and status bar of window N in its frame.
void PlaceBars(int n);
/// Menu-loop notifications and tooltip requests reaching a frame or client
/// area of window N; true when handled (RESULT set).
bool BarMessage(int n, plat::Msg m, plat::WParam w, plat::LParam l, plat::LResult& result);
/// The error reporter's status-bar delivery.
void ReportToStatusBar(const std::string& report);
}  // namespace detail

}  // namespace tk
