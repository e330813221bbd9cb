#pragma once
// The program's resources as plain data: dialog templates with their extras,
// menus, pop-up identifiers, toolbars with their button bitmaps, menu help
// texts, the string table and the list of command identifiers.
//
// Every file below resources/data is written in one line-based text format
// (resources/FORMAT.md). ParseResourceText reads one file into a
// ResourceSet; FinishResourceSet joins the files (icons into toolbar bitmaps,
// identifiers checked for uniqueness); ValidateResourceSet checks that every
// identifier one resource names exists in another.
//
// Nothing here throws; malformed text yields a ResourceError naming the file
// and line.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace res {

/// Where a resource's text came from, for messages.
struct SourcePlace {
  std::string file;
  int line = 0;
};

/// The first error met while reading resources.
struct ResourceError {
  std::string file;
  int line = 0;  // 0 when the error concerns the whole set
  std::string message;

  /// "file:line: message" (or "file: message" without a line).
  std::string Text() const;
};

// ---------------------------------------------------------------------------
// Dialog templates

enum class DialogKind : int {
  Popup = 1,  // a top-level dialog
  Child = 2,  // a child-style dialog: a tab page or a dialog inside a window
};

/// One control of a dialog template. The rectangle is in dialog units.
struct DialogControl {
  std::string className;  // "BUTTON", "STATIC", "EDIT", "REALSPIN", ...
  int id = 0;             // its field identifier; -1 for fields nothing addresses
  int x = 0, y = 0, width = 0, height = 0;
  std::uint32_t style = 0;  // window and control style bits
  std::string text;
  SourcePlace place;

  bool operator==(const DialogControl& o) const {
    return className == o.className && id == o.id && x == o.x && y == o.y && width == o.width &&
           height == o.height && style == o.style && text == o.text;
  }
};

struct DialogTemplate {
  int id = 0;
  DialogKind kind = DialogKind::Popup;
  std::string caption;
  int x = 0, y = 0, width = 0, height = 0;  // dialog units
  int fontPoints = 0;                       // 0: the system's dialog font
  std::string fontFace;
  std::uint32_t style = 0;  // window and dialog style bits (the kind's bit not included)
  std::vector<DialogControl> controls;  // in template (tab) order
  std::string extras;                   // the dialog-extras text, verbatim, lines ending in "\n"
  bool hasExtras = false;
  SourcePlace place;

  bool operator==(const DialogTemplate& o) const {
    return id == o.id && kind == o.kind && caption == o.caption && x == o.x && y == o.y &&
           width == o.width && height == o.height && fontPoints == o.fontPoints &&
           fontFace == o.fontFace && style == o.style && controls == o.controls &&
           extras == o.extras && hasExtras == o.hasExtras;
  }
};

/// The value of a style name such as "WS_TABSTOP" or "BS_AUTOCHECKBOX";
/// false when the name is unknown.
bool StyleValue(std::string_view name, std::uint32_t& value);

/// The dialog template as resource text; parsing it gives the template back.
std::string FormatDialog(const DialogTemplate& dialog);

// ---------------------------------------------------------------------------
// Menus

struct MenuItem {
  enum class Kind : int { Command, Separator, Popup };
  Kind kind = Kind::Command;
  int id = 0;        // the command identifier of a command item; 0 otherwise
  std::string text;  // with "&" mnemonics and a "\t" before accelerator text
  bool greyed = false;
  bool checked = false;
  std::vector<MenuItem> items;  // the entries of a pop-up
  SourcePlace place;
};

struct Menu {
  int id = 0;
  std::vector<MenuItem> items;  // the menu bar's entries, or a pop-up menu's entries
  SourcePlace place;

  /// The command item with the identifier, searched depth first; nullptr when none.
  const MenuItem* FindItem(int commandId) const;
};

/// Names a pop-up entry of a menu with a command identifier.
struct PopupIdRecord {
  int commandId = 0;
  std::vector<int> path;  // 1-based positions: in the menu bar, then in each pop-up
  SourcePlace place;
};

/// The `MenuPopupIds` resource of one menu.
struct MenuPopupIds {
  int menuId = 0;
  std::vector<PopupIdRecord> records;
  SourcePlace place;

  /// The pop-up entry the record's path leads to in MENU; nullptr when the
  /// path leaves the menu or ends on an entry that is no pop-up.
  static const MenuItem* Resolve(const Menu& menu, const std::vector<int>& path);
};

/// The status-bar help texts of one menu ("JQXMENUSTRING"), by command identifier.
struct HelpText {
  int commandId = 0;
  std::string text;
  SourcePlace place;
};

struct HelpTexts {
  int menuId = 0;
  std::vector<HelpText> entries;
  SourcePlace place;

  const std::string* Find(int commandId) const;
};

// ---------------------------------------------------------------------------
// Accelerator tables

/// One key of an accelerator table: modifiers, a virtual-key code (letters
/// and digits their upper-case character, F1 0x70, and so on) and the
/// command it stands for.
struct AcceleratorEntry {
  int commandId = 0;
  bool control = false, shift = false, alt = false;
  int key = 0;
  SourcePlace place;
};

/// The accelerators of a caller's menu, named by the menu's identifier.
struct AcceleratorTable {
  int id = 0;
  std::vector<AcceleratorEntry> entries;  // in order: the first match wins
  SourcePlace place;
};

/// The virtual-key code of a key name ("A", "7", "F12", "Del", "PgUp", ...,
/// any letter case); false when the name is unknown.
bool AcceleratorKeyValue(std::string_view name, int& key);

// ---------------------------------------------------------------------------
// Toolbars

/// An image as 0xRRGGBB pixels, rows from the top.
struct Bitmap {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;

  std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
  bool operator==(const Bitmap&) const = default;
};

/// The colour of an icon's background; the toolbar shows the button face there.
constexpr std::uint32_t kButtonFace = 0xC0C0C0;

struct Icon {
  std::string name;
  Bitmap image;
  SourcePlace place;
};

struct ToolbarButton {
  int commandId = 0;  // 0 for a separator
  std::string icon;   // the icon's name; empty for a separator
  SourcePlace place;
};

struct Toolbar {
  int id = 0;
  int imageWidth = 0;
  int imageHeight = 0;
  std::vector<ToolbarButton> buttons;  // in order, separators included
  Bitmap bitmap;                       // the buttons' images side by side, separators not counted
  SourcePlace place;
};

// ---------------------------------------------------------------------------
// Strings and commands

struct StringEntry {
  int id = 0;
  std::string text;
  SourcePlace place;
};

/// What the program does with a command identifier that resources carry.
enum class CommandUse : int {
  Command = 1,  // a menu item (often also a toolbar button) with a handler
  Popup = 2,    // names a pop-up entry of a menu, for its help text
  Button = 3,   // a toolbar button that no menu carries
  Inert = 4,    // a menu item that nothing handles
};

struct CommandEntry {
  int id = 0;
  CommandUse use = CommandUse::Command;
  std::string name;
  SourcePlace place;
};

// ---------------------------------------------------------------------------
// The whole set

struct ResourceSet {
  std::vector<DialogTemplate> dialogs;
  std::vector<Menu> menus;
  std::vector<MenuPopupIds> popupIds;
  std::vector<HelpTexts> helpTexts;
  std::vector<AcceleratorTable> accelerators;
  std::vector<Toolbar> toolbars;
  std::vector<Icon> icons;
  std::vector<StringEntry> strings;
  std::vector<CommandEntry> commands;

  // Palette of the icon pixel maps: one character per colour.
  struct PaletteEntry {
    char key = 0;
    std::uint32_t rgb = 0;
    SourcePlace place;
  };
  std::vector<PaletteEntry> palette;

  // Icons as written, turned into bitmaps by FinishResourceSet.
  struct IconRows {
    std::string name;
    std::vector<std::string> rows;
    std::vector<int> rowLines;  // the line of each row
    SourcePlace place;
  };
  std::vector<IconRows> pendingIcons;

  const DialogTemplate* FindDialog(int id) const;
  const Menu* FindMenu(int id) const;
  const MenuPopupIds* FindPopupIds(int menuId) const;
  const HelpTexts* FindHelpTexts(int menuId) const;
  const AcceleratorTable* FindAccelerators(int id) const;
  const Toolbar* FindToolbar(int id) const;
  const Icon* FindIcon(std::string_view name) const;
  const std::string* FindString(int id) const;
  const CommandEntry* FindCommand(int id) const;
};

/// Reads one resource file's TEXT into SET. FILE names it in messages.
/// On malformed text returns false with ERROR set; SET then holds what was
/// read before the error.
[[nodiscard]] bool ParseResourceText(std::string_view file, std::string_view text, ResourceSet& set,
                                     ResourceError& error);

/// After every file is read: turns the icons into bitmaps, builds each
/// toolbar's bitmap and checks that identifiers are unique within each kind
/// of resource. Returns false with ERROR set on the first problem.
[[nodiscard]] bool FinishResourceSet(ResourceSet& set, ResourceError& error);

/// Checks that every identifier a resource refers to exists: menu items and
/// toolbar buttons in the command list, pop-up identifiers on pop-up entries
/// of their menu, help texts on items of their menu, strings on commands,
/// a tooltip for every toolbar button, unique field identifiers in a dialog.
/// Returns one message per problem ("file:line: ..."), none when all is well.
std::vector<std::string> ValidateResourceSet(const ResourceSet& set);

/// Reads every embedded resource file and finishes the set.
[[nodiscard]] bool LoadEmbeddedResources(ResourceSet& set, ResourceError& error);

/// The program's resources, read from the embedded files on first use.
/// Should they fail to read (a build that let a broken file through), the
/// error is written to standard error once and the set is empty.
const ResourceSet& ProgramResources();

}  // namespace res
