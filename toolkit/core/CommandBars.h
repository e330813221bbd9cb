#pragma once
// Building blocks for windows that carry out their own commands (the text
// editor and grid windows): menus built from a list of lines, toolbars from
// named icons, and accelerator tables. Where they go in the window's frame
// is Menus.h's (SetWindowOwnMenu, SetWindowAccelerators) and Windows.h's
// (SetWindowBands).
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
