#pragma once
// The commands of a text editor window: its menus, accelerators and
// toolbar, what each command does, the states of items and buttons, the
// status-bar read-outs, tooltips and help texts, and the find dialogs.
#include <string>

#include "platform/window/Messages.h"
#include "toolkit/editor/EditorRecord.h"

namespace tk {

/// The identifiers of the editor's menus, accelerators and toolbar buttons.
enum EditorCommandId : int {
  kEdFilePopup = 32100,
  kEdNew = 32101,
  kEdOpen = 32102,
  kEdSave = 32103,
  kEdSaveAs = 32104,
  kEdPrint = 32105,
  kEdPrintSelection = 32106,
  kEdClose = 32107,
  kEdExit = 32108,
  kEdEditPopup = 32120,
  kEdUndo = 32121,
  kEdCut = 32122,
  kEdCopy = 32123,
  kEdPaste = 32124,
  kEdDelete = 32125,
  kEdSelectAll = 32126,
  kEdRedo = 32127,
  kEdSearchPopup = 32140,
  kEdFind = 32141,
  kEdFindNext = 32142,
  kEdReplace = 32143,
  kEdSetBookmark = 32147,
  kEdGotoBookmark = 32148,
  kEdFormatPopup = 32160,
  kEdFont = 32161,
  kEdBullet = 32162,
  kEdAlignLeft = 32163,
  kEdCentre = 32164,
  kEdAlignRight = 32165,
  kEdBold = 32166,
  kEdItalic = 32167,
  kEdUnderline = 32168,
  kEdViewPopup = 32180,
  kEdViewFirst = 32181,  // document n is kEdViewFirst + n - 1
  kEdViewLast = 32200,
};

/// Makes the editor's accelerator table, menus and toolbar for window
/// REC.windowNumber; MENU_ID is the caller's menu (0 none). STATUS becomes 3
/// when that menu does not exist. WITH_MENU false: no menus are made.
void EditorBuildBars(EditorRecord& rec, int menuId, bool withMenu, int& status);

/// Carries out command ID; true when the menu-command event is to follow.
bool EditorCommand(EditorRecord& rec, int id);

/// Enables, greys and checks the menu items for the state of the text.
void EditorMenuStates(EditorRecord& rec);
/// The toolbar's Cut, Copy, Undo and Redo after a change or a move of the
/// selection.
void EditorUpdateEditButtons(EditorRecord& rec);
/// The formatting buttons and the Bullet Style check from the selection.
void EditorUpdateFormatButtons(EditorRecord& rec);
/// Part 0 of the status bar: the line and column of the selection's end.
void EditorShowPosition(EditorRecord& rec);

/// A change of the text: undo buttons, changedFlag, position cache,
/// caption and bookmark.
void EditorTextChanged(EditorRecord& rec);
/// A key reaching the text control (its message filter); true when the
/// editor used it up.
bool EditorTextKey(EditorRecord& rec, plat::Msg m, plat::WParam w);

/// The status-bar help text and the tooltip of command ID (empty when none).
std::string EditorHelpText(const EditorRecord& rec, int id);
std::string EditorTooltip(int id);

/// The text of View item N: "&n" + tab + the name ("Untitled" when none);
/// N above 9 shows as a letter (10 is "A").
std::string EditorViewItemText(int n, const std::string& name);
/// Sets View item N's text and check; appends it when it is the next one.
void EditorSetViewItem(EditorRecord& rec, int n, const std::string& name, bool checked);
void EditorCheckViewItem(EditorRecord& rec, int n, bool checked);

/// A report of the find or replace dialog.
void EditorFindReport(EditorRecord& rec, const plat::FindReplace& fr);
/// Closes an open find or replace dialog.
void EditorCloseFindDialog(EditorRecord& rec);

}  // namespace tk
