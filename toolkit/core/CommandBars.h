#pragma once
// Building blocks for windows that carry out their own commands (the text
// editor and grid windows): menus built from a list of lines, toolbars from
// named icons, and accelerator tables. Where they go in the window's frame
// is Menus.h's (SetWindowOwnMenu, SetWindowAccelerators) and Windows.h's
// (SetWindowBands).
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/controls/Controls.h"
#include "platform/draw/Surface.h"
#include "platform/menu/Accelerators.h"
#include "platform/menu/Menu.h"

namespace tk {

/// One line of a built menu: a command (ID and TEXT), a separator (ID 0 and
/// no TEXT) or a pop-up (ITEMS, ID its help identifier). KEYS is shown after
/// a tab when key texts are wanted.
struct CommandMenuLine {
  int id = 0;
  std::string text;
  std::string keys;
  bool greyed = false;
  bool checked = false;
  bool popup = false;
  std::vector<CommandMenuLine> items;
};

/// One command of a window's own: its menu text, its key (KEY 0: none of
/// the window's own), the key text shown in the menu, its status-bar help
/// text and its tooltip.
struct WindowCommand {
  int id;
  const char* text;
  unsigned modifiers;
  int key;
  const char* keys;
  const char* help;
  const char* tooltip;
};

/// The entry of command ID in TABLE (null when none).
const WindowCommand* FindWindowCommand(std::span<const WindowCommand> table, int id);
/// The menu line of command ID of TABLE (which must hold it), and a pop-up
/// line holding ITEMS.
CommandMenuLine CommandItem(std::span<const WindowCommand> table, int id);
CommandMenuLine CommandPopup(std::span<const WindowCommand> table, int id,
                             std::vector<CommandMenuLine> items);
/// The accelerator table of the keys of TABLE, in its order, of the
/// commands for which PRESENT is true.
plat::HAccel CommandAccelerators(std::span<const WindowCommand> table,
                                 const std::function<bool(int id)>& present);
/// Greys (ENABLED false) or enables item ID of MENU or its pop-ups.
void SetCommandItemEnabled(plat::HMenu menu, int id, bool enabled);

/// A menu holding LINES (pop-ups with their own menus); KEY_TEXTS adds the
/// key texts.
plat::HMenu BuildCommandMenu(std::span<const CommandMenuLine> lines, bool keyTexts);
/// Puts POPUPS (pop-up lines) at the front of menu bar BAR, in order, each
/// with a menu of its own built from its items.
void InsertCommandPopups(plat::HMenu bar, std::span<const CommandMenuLine> popups, bool keyTexts);
/// The pop-up menu with help identifier ID in BAR (kNoMenu when none).
plat::HMenu CommandPopupOf(plat::HMenu bar, int id);

/// The icons NAMES of the program's resources side by side, each cut to
/// SIZE from its top-left corner; null when one is missing or too small.
std::shared_ptr<plat::Surface> IconStrip(std::span<const std::string_view> names, plat::Size size);

/// A toolbar with tooltips along the top of PARENT, identifier ID, images of
/// IMAGE size from STRIP, holding BUTTONS; kNoWindow when it cannot be made.
plat::Hwnd MakeCommandToolbar(plat::Hwnd parent, int id, std::shared_ptr<const plat::Surface> strip,
                              plat::Size image, std::span<const plat::ToolbarButton> buttons);

/// The text shown for an accelerator ("Ctrl+N", "Shift+F2", "F12").
std::string AcceleratorText(const plat::Accelerator& a);

}  // namespace tk
