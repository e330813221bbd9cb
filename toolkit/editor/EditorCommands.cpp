// The commands of a text editor window: menus, accelerators, toolbar, what
// the commands do, item and button states, read-outs and the find dialogs.
#include "toolkit/editor/EditorCommands.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "platform/controls/Controls.h"
#include "platform/controls/RichEdit.h"
#include "platform/window/VirtualKeys.h"
#include "toolkit/core/CommandBars.h"
#include "toolkit/core/Events.h"
#include "toolkit/core/FileSelect.h"
#include "toolkit/core/Menus.h"
#include "toolkit/core/Windows.h"
#include "toolkit/editor/EditorBuffers.h"
#include "toolkit/editor/EditorFiles.h"
#include "toolkit/editor/EditorPrint.h"
#include "toolkit/editor/EditorFormat.h"
#include "toolkit/editor/EditorSearch.h"
#include "toolkit/editor/EditorWindow.h"
#include "toolkit/dialogs/Dialogs.h"

namespace tk {
namespace {

constexpr int kToolbarId = 1001;
constexpr plat::Size kImageSize{16, 15};

/// One command: its menu text, its key, its help text and its tooltip.
using CommandInfo = WindowCommand;

constexpr unsigned kCtrl = plat::kAccelControl;
constexpr unsigned kShift = plat::kAccelShift;

// In the order of the editor's accelerator table.
constexpr CommandInfo kCommands[] = {
    {kEdNew, "&New", kCtrl, 'N', "Ctrl+N", "Creates a new document", "New"},
    {kEdOpen, "&Open", kCtrl, 'O', "Ctrl+O", "Opens an existing document", "Open"},
    {kEdSave, "&Save", kCtrl, 'S', "Ctrl+S", "Saves the active document", "Save"},
    {kEdSaveAs, "Save &As", 0, plat::kVkF1 + 11, "F12", "Saves the active document with a new name",
     ""},
    {kEdPrint, "&Print", kCtrl, 'P', "Ctrl+P", "Prints the active document", "Print"},
    {kEdFind, "&Find", kCtrl, 'F', "Ctrl+F", "Finds the specified text", "Find"},
    {kEdFindNext, "Find &Next", 0, plat::kVkF1 + 2, "F3", "Repeats the last find", ""},
    {kEdSetBookmark, "&Set Bookmark", kShift, plat::kVkF1 + 1, "Shift+F2",
     "Bookmarks the current cursor position", ""},
    {kEdGotoBookmark, "Goto &Bookmark", 0, plat::kVkF1 + 1, "F2",
     "Moves to a previously bookmarked position", ""},
    {kEdReplace, "&Replace", kCtrl, 'H', "Ctrl+H", "Replaces specific text with different text",
     ""},
    {kEdBold, "", kCtrl, 'B', "", "", "Bold"},
    {kEdItalic, "", kCtrl, 'I', "", "", "Italic"},
    {kEdUnderline, "", kCtrl, 'U', "", "", "Underline"},
    {kEdAlignLeft, "", kCtrl, 'L', "", "", "Align Left"},
    {kEdCentre, "", kCtrl, 'E', "", "", "Centre"},
    {kEdAlignRight, "", kCtrl, 'R', "", "", "Align Right"},
    // Keys of the control itself: shown in the menus only.
    {kEdPrintSelection, "Prin&t Selection", 0, 0, "", "Prints the selected text",
     "Print selected text"},
    {kEdClose, "&Close", 0, 0, "", "", ""},
    {kEdExit, "E&xit", 0, 0, "", "", ""},
    {kEdUndo, "&Undo", 0, 0, "Ctrl+Z", "Reverses the last action", "Undo"},
    {kEdRedo, "&Redo", 0, 0, "Ctrl+Y", "Redoes the last action that was undone", "Redo"},
    {kEdCut, "Cu&t", 0, 0, "Ctrl+X", "Cuts the selected text and places it on the clipboard", "Cut"},
    {kEdCopy, "&Copy", 0, 0, "Ctrl+C", "Copies the selected text and places it on the clipboard",
     "Copy"},
    {kEdPaste, "&Paste", 0, 0, "Ctrl+V", "Inserts clipboard contents", "Paste"},
    {kEdDelete, "&Delete", 0, 0, "Del", "Deletes the selected text", ""},
    {kEdSelectAll, "Select &All", 0, 0, "Ctrl+A", "Selects the entire document", ""},
    {kEdFont, "&Font", 0, 0, "", "Selects the font for the selected or new text", ""},
    {kEdBullet, "&Bullet Style", 0, 0, "", "Inserts a bullet on this line", "Bullets"},
    {kEdFilePopup, "&File", 0, 0, "", "Commands to Load, Save and Print files", ""},
    {kEdEditPopup, "&Edit", 0, 0, "", "Commands for editing text", ""},
    {kEdSearchPopup, "&Search", 0, 0, "", "Commands to locate and replace text", ""},
    {kEdFormatPopup, "F&ormat", 0, 0, "", "Commands to change the formatting of text", ""},
    {kEdViewPopup, "&View", 0, 0, "", "Commands to switch between files", ""},
};

const CommandInfo* Info(int id) {
  return FindWindowCommand(kCommands, id);
}

/// Whether the editor carries command ID at all.
bool Present(const EditorRecord& rec, int id) {
  switch (id) {
    case kEdNew:
      return rec.allowNew;
    case kEdOpen:
      return rec.allowOpen;
    case kEdSave:
      return rec.allowSave;
    case kEdSaveAs:
      return rec.allowSaveAs;
    case kEdPrint:
    case kEdPrintSelection:
      return rec.allowPrint;
    case kEdClose:
      return rec.allowClose;
    case kEdUndo:
    case kEdRedo:
    case kEdCut:
    case kEdPaste:
    case kEdDelete:
    case kEdReplace:
      return !rec.readOnly;
    case kEdFont:
    case kEdBullet:
    case kEdAlignLeft:
    case kEdCentre:
    case kEdAlignRight:
    case kEdBold:
    case kEdItalic:
    case kEdUnderline:
      return rec.formatting && !rec.readOnly;
    default:
      return true;
  }
}

CommandMenuLine Item(int id, bool greyed = false, bool checked = false) {
  CommandMenuLine line = CommandItem(kCommands, id);
  line.greyed = greyed;
  line.checked = checked;
  return line;
}

CommandMenuLine Separator() {
  return {};
}

CommandMenuLine Popup(int id, std::vector<CommandMenuLine> items) {
  return CommandPopup(kCommands, id, std::move(items));
}

std::vector<CommandMenuLine> FileItems(const EditorRecord& rec) {
  std::vector<CommandMenuLine> items;
  if (rec.allowNew) items.push_back(Item(kEdNew));
  if (rec.allowOpen) items.push_back(Item(kEdOpen));
  if (rec.allowClose) {
    items.push_back(Item(kEdClose));
    if (rec.allowSave || rec.allowSaveAs) items.push_back(Separator());
  }
  if (rec.allowSave) items.push_back(Item(kEdSave));
  if (rec.allowSaveAs) items.push_back(Item(kEdSaveAs));
  if (rec.allowNew || rec.allowOpen || rec.allowSave || rec.allowSaveAs)
    items.push_back(Separator());
  if (rec.allowPrint) {
    items.push_back(Item(kEdPrint));
    items.push_back(Item(kEdPrintSelection));
    items.push_back(Separator());
  }
  items.push_back(Item(kEdExit));
  return items;
}

std::vector<CommandMenuLine> EditItems(const EditorRecord& rec) {
  if (rec.readOnly) return {Item(kEdCopy), Separator(), Item(kEdSelectAll)};
  return {Item(kEdUndo),  Item(kEdRedo),   Separator(),       Item(kEdCut),
          Item(kEdCopy),  Item(kEdPaste),  Item(kEdDelete),   Separator(),
          Item(kEdSelectAll)};
}

std::vector<CommandMenuLine> SearchItems(const EditorRecord& rec) {
  std::vector<CommandMenuLine> items{Item(kEdFind), Item(kEdFindNext)};
  if (!rec.readOnly) items.push_back(Item(kEdReplace));
  items.push_back(Separator());
  items.push_back(Item(kEdSetBookmark));
  items.push_back(Item(kEdGotoBookmark, true));
  return items;
}

plat::HAccel BuildAccelerators(const EditorRecord& rec) {
  return CommandAccelerators(kCommands, [&rec](int id) { return Present(rec, id); });
}

void BuildMenus(EditorRecord& rec, int menuId, int& status) {
  plat::HMenu bar = plat::kNoMenu;
  if (menuId != 0 && rec.mode != EditorMode::Modal) {
    bar = LoadMenuResource(menuId);
    if (bar == plat::kNoMenu) status = 3;
  }
  if (bar == plat::kNoMenu) bar = plat::CreateMenu();
  const bool keys = rec.accelerators != plat::kNoAccel;
  std::vector<CommandMenuLine> own{Popup(kEdFilePopup, FileItems(rec)),
                                   Popup(kEdEditPopup, EditItems(rec)),
                                   Popup(kEdSearchPopup, SearchItems(rec))};
  if (rec.formatting && !rec.readOnly)
    own.push_back(Popup(kEdFormatPopup, {Item(kEdFont), Item(kEdBullet)}));
  if (rec.multiDocument) {
    CommandMenuLine first;
    first.id = kEdViewFirst;
    first.text = EditorViewItemText(1, rec.documentName);
    first.checked = true;
    own.push_back(Popup(kEdViewPopup, {first}));
  }
  InsertCommandPopups(bar, own, keys);
  rec.menuBar = bar;
  rec.fileMenu = CommandPopupOf(bar, kEdFilePopup);
  rec.editMenu = CommandPopupOf(bar, kEdEditPopup);
  rec.searchMenu = CommandPopupOf(bar, kEdSearchPopup);
  rec.formatMenu = CommandPopupOf(bar, kEdFormatPopup);
  rec.viewMenu = CommandPopupOf(bar, kEdViewPopup);
}

struct ButtonSpec {
  int command;
  const char* icon;
};

void BuildToolbar(EditorRecord& rec) {
  std::vector<std::string_view> icons;
  std::vector<plat::ToolbarButton> buttons;
  const auto add = [&](int command, const char* icon, bool enabled = true, bool checkable = false) {
    buttons.push_back({.image = static_cast<int>(icons.size()),
                       .command = command,
                       .enabled = enabled,
                       .checkable = checkable});
    icons.push_back(icon);
  };
  const auto separator = [&] { buttons.push_back({}); };
  if (rec.allowNew) add(kEdNew, "new");
  if (rec.allowOpen) add(kEdOpen, "open");
  if (rec.allowSave) add(kEdSave, "save");
  if (rec.allowNew || rec.allowOpen || rec.allowSave) separator();
  if (rec.allowPrint) {
    add(kEdPrint, "print");
    separator();
  }
  add(kEdFind, "find");
  separator();
  if (!rec.readOnly) add(kEdCut, "cut", false);
  add(kEdCopy, "copy", false);
  if (!rec.readOnly) {
    add(kEdPaste, "paste");
    add(kEdUndo, "undo", false);
    add(kEdRedo, "redo", false);
  }
  if (rec.formatting && !rec.readOnly) {
    // The formatting strip: all seven images or no formatting buttons.
    static constexpr std::string_view kFormatIcons[] = {
        "bold", "italic", "underline", "alignleft", "aligncentre", "alignright", "bullets"};
    if (IconStrip(kFormatIcons, kImageSize) != nullptr) {
      separator();
      add(kEdBold, "bold", true, true);
      add(kEdItalic, "italic", true, true);
      add(kEdUnderline, "underline", true, true);
      separator();
      add(kEdAlignLeft, "alignleft");
      buttons.back().checked = true;
      add(kEdCentre, "aligncentre");
      add(kEdAlignRight, "alignright");
      separator();
      add(kEdBullet, "bullets", true, true);
    }
  }
  rec.toolbar = MakeCommandToolbar(rec.window, kToolbarId, IconStrip(icons, kImageSize), kImageSize,
                                   buttons);
}

/// Whether the selection is all unprotected (the protection reported
/// uniform and off).
bool SelectionUnprotected(const EditorRecord& rec) {
  const auto [format, uniform] = plat::RichEditGetCharFormat(rec.textControl);
  return (uniform & plat::kCfmProtected) != 0 && !format.isProtected;
}

bool SelectionEmpty(const EditorRecord& rec) {
  const auto [a, b] = plat::RichEditGetSel(rec.textControl);
  return a == b;
}

void SetItem(plat::HMenu menu, int id, bool enabled, std::optional<bool> checked = std::nullopt) {
  const plat::MenuPlace place = plat::FindMenuEntry(menu, id);
  std::optional<plat::MenuEntry> e = plat::GetMenuEntry(place.menu, place.pos);
  if (!e) return;
  e->greyed = !enabled;
  if (checked) e->checked = *checked;
  plat::SetMenuEntry(place.menu, place.pos, *e);
}

void CheckItem(plat::HMenu menu, int id, bool checked) {
  const plat::MenuPlace place = plat::FindMenuEntry(menu, id);
  std::optional<plat::MenuEntry> e = plat::GetMenuEntry(place.menu, place.pos);
  if (!e) return;
  e->checked = checked;
  plat::SetMenuEntry(place.menu, place.pos, *e);
}

void SetButton(const EditorRecord& rec, int id, bool enabled) {
  if (rec.toolbar != plat::kNoWindow) plat::ToolbarEnableButton(rec.toolbar, id, enabled);
}

/// Keeps the position cache across a change that only formats.
template <typename Fn>
void Formatting(EditorRecord& rec, Fn fn) {
  if (!rec.formatting || rec.readOnly) return;
  const EditorPositionCache kept = rec.positionCache;
  fn();
  rec.positionCache = kept;
  EditorUpdateFormatButtons(rec);
}

/// New with several documents: a further, empty document.
void NewDocument(EditorRecord& rec) {
  if (rec.multiDocument) {
    if (rec.documentCount >= kEditorMaxDocuments) return;
    EditorCheckViewItem(rec, rec.currentDocument, false);
    EditorBufferSetName(rec.windowNumber, rec.currentDocument, rec.documentName);
    EditorBufferSave(rec, rec.currentDocument);
    EditorClearText(rec);
    plat::RichEditEmptyUndo(rec.textControl);
    plat::RichEditSetModify(rec.textControl, false);
    rec.changedFlag = 0;
    const int type = rec.fileType[static_cast<std::size_t>(rec.currentDocument)];
    rec.documentCount += 1;
    rec.currentDocument = rec.documentCount;
    const auto d = static_cast<std::size_t>(rec.currentDocument);
    rec.fileType[d] = type;
    rec.openFile[d] = 0;
    rec.bookmark[d] = -1;
    rec.bookmarkLength[d] = 0;
    rec.documentName.clear();
    EditorBufferSetName(rec.windowNumber, rec.currentDocument, "");
    EditorSetViewItem(rec, rec.currentDocument, "", true);
    EditorCaptionUpdate(rec);
    return;
  }
  if (EditorSavePrompt(rec) != 1) return;
  EditorReleaseFile(rec, rec.currentDocument);
  rec.documentName.clear();
  EditorClearText(rec);
  plat::RichEditEmptyUndo(rec.textControl);
  plat::RichEditSetModify(rec.textControl, false);
  rec.changedFlag = 0;
  rec.bookmark[static_cast<std::size_t>(rec.currentDocument)] = -1;
  EditorCaptionUpdate(rec);
}

/// Close with several documents; false when the prompt was cancelled.
bool CloseDocument(EditorRecord& rec) {
  if (EditorSavePrompt(rec) != 1) return false;
  const int n = rec.currentDocument;
  EditorReleaseFile(rec, n);
  if (rec.documentCount == 1) {
    rec.documentName.clear();
    EditorClearText(rec);
    plat::RichEditEmptyUndo(rec.textControl);
    plat::RichEditSetModify(rec.textControl, false);
    rec.changedFlag = 0;
    rec.bookmark[1] = -1;
    EditorSetViewItem(rec, 1, "", true);
    EditorCaptionUpdate(rec);
    return true;
  }
  EditorBufferRemove(rec.windowNumber, n);
  for (int k = n; k < rec.documentCount; ++k) {
    const auto to = static_cast<std::size_t>(k), from = to + 1;
    rec.openFile[to] = rec.openFile[from];
    rec.fileType[to] = rec.fileType[from];
    rec.bookmark[to] = rec.bookmark[from];
    rec.bookmarkLength[to] = rec.bookmarkLength[from];
    std::string name;
    EditorBufferName(rec.windowNumber, k, name);
    EditorSetViewItem(rec, k, name, false);
  }
  const auto last = static_cast<std::size_t>(rec.documentCount);
  rec.openFile[last] = 0;
  rec.bookmark[last] = -1;
  rec.bookmarkLength[last] = 0;
  if (rec.viewMenu != plat::kNoMenu)
    plat::DeleteMenuEntry(rec.viewMenu, plat::MenuEntryCount(rec.viewMenu) - 1);
  rec.documentCount -= 1;
  rec.currentDocument = std::min(rec.currentDocument, rec.documentCount);
  EditorCheckViewItem(rec, rec.currentDocument, true);
  EditorBufferLoad(rec, rec.currentDocument);
  std::string name;
  EditorBufferName(rec.windowNumber, rec.currentDocument, name);
  rec.documentName = name;
  EditorCaptionUpdate(rec);
  return true;
}

/// Open: asks for a file and opens it as a further document or in place of
/// the only one; true when a file was opened. An open document chosen again
/// is switched to: VIEW_EVENT becomes its View identifier.
bool OpenCommand(EditorRecord& rec, int& viewEvent) {
  if (rec.multiDocument ? rec.documentCount >= kEditorMaxDocuments : EditorSavePrompt(rec) != 1)
    return false;
  const auto current = static_cast<std::size_t>(rec.currentDocument);
  std::string name = rec.documentName;
  name.resize(std::max<std::size_t>(name.size(), 260), ' ');
  int index = std::max(1, rec.fileType[current]);
  WSelectFile(EditorFileFilter(rec), kSelectMustExist | kSelectDefaultExtension, name, {}, &index);
  if (WDialogStatusQuery(4) != 1) return false;
  while (!name.empty() && name.back() == ' ') name.pop_back();
  name = EditorFullPath(name);
  if (name.empty()) return false;
  const int previous = rec.currentDocument;
  const std::string previousName = rec.documentName;
  const bool pristine = EditorPristine(rec);
  bool appended = false;
  if (rec.multiDocument && !pristine) {
    EditorBufferSetName(rec.windowNumber, rec.currentDocument, rec.documentName);
    if (const int n = EditorFindDocument(rec, name); n > 0) {
      EditorSelectBuffer(rec, n);
      viewEvent = kEdViewFirst + n - 1;
      return false;
    }
    EditorCheckViewItem(rec, rec.currentDocument, false);
    EditorBufferSave(rec, rec.currentDocument);
    rec.documentCount += 1;
    rec.currentDocument = rec.documentCount;
    const auto d = static_cast<std::size_t>(rec.currentDocument);
    rec.openFile[d] = 0;
    rec.bookmark[d] = -1;
    rec.bookmarkLength[d] = 0;
    appended = true;
  } else {
    EditorReleaseFile(rec, rec.currentDocument);
  }
  rec.fileType[static_cast<std::size_t>(rec.currentDocument)] = index;
  rec.documentName = name;
  if (EditorLoadFile(rec, false) == 1) {
    EditorBufferSetName(rec.windowNumber, rec.currentDocument, name);
    if (appended || (rec.multiDocument && pristine))
      EditorSetViewItem(rec, rec.currentDocument, name, true);
    EditorCaptionUpdate(rec);
    return true;
  }
  if (appended) {
    rec.documentCount -= 1;
    rec.currentDocument = previous;
    EditorBufferLoad(rec, previous);
    std::string back;
    EditorBufferName(rec.windowNumber, previous, back);
    rec.documentName = back;
    EditorCheckViewItem(rec, previous, true);
  } else {
    rec.documentName = previousName;
  }
  EditorCaptionUpdate(rec);
  return false;
}

void OpenFindDialog(EditorRecord& rec, bool replace) {
  EditorCloseFindDialog(rec);
  plat::FindReplace& fr = rec.findRecord;
  fr.owner = rec.window;
  fr.findWhat = rec.findWhat;
  fr.replaceWith = rec.replaceWith;
  fr.flags = rec.findFlags & (plat::kFrDown | plat::kFrWholeWord | plat::kFrMatchCase);
  const plat::Hwnd owner = rec.window;
  // Cancel gives the focus back to the editor.
  fr.hook = [owner](plat::Hwnd, int button) {
    if (button == plat::kFindItemCancel && plat::IsWindow(owner)) plat::SetFocus(owner);
  };
  rec.findDialog = replace ? plat::ReplaceTextDialog(fr) : plat::FindTextDialog(fr);
}

}  // namespace

// ---------------------------------------------------------------------------

void EditorBuildBars(EditorRecord& rec, int menuId, bool withMenu, int& status) {
  rec.accelerators = BuildAccelerators(rec);
  if (withMenu) BuildMenus(rec, menuId, status);
  const int helpId = withMenu && rec.mode != EditorMode::Modal ? menuId : 0;
  SetWindowOwnMenu(rec.windowNumber, rec.menuBar, helpId);
  // The caller's own keys come with its menu (none for a modal editor).
  if (menuId != 0 && rec.mode != EditorMode::Modal)
    rec.userAccelerators = LoadAcceleratorResource(menuId);
  SetWindowAccelerators(rec.windowNumber, rec.accelerators, rec.userAccelerators);
  const int n = rec.windowNumber;
  SetWindowCommandHelp(n, [n](int id) {
    const EditorRecord* editor = EditorOfWindow(n);
    return editor != nullptr ? EditorHelpText(*editor, id) : std::string();
  });
  if (rec.toolbar == plat::kNoWindow && rec.wantToolbar) BuildToolbar(rec);
  EditorUpdateFormatButtons(rec);
}

std::string EditorHelpText(const EditorRecord& rec, int id) {
  if (id == kEdClose)
    return rec.readOnly || !rec.allowSave ? "Closes the current document"
                                          : "Closes the current document; prompts you to save changes";
  if (id == kEdExit) {
    if (rec.readOnly) return "Closes the browser";
    return rec.allowSave ? "Closes the editor; prompts you to save changes" : "Closes the editor";
  }
  const CommandInfo* c = Info(id);
  return c != nullptr ? c->help : "";
}

std::string EditorTooltip(int id) {
  const CommandInfo* c = Info(id);
  return c != nullptr ? c->tooltip : "";
}

std::string EditorViewItemText(int n, const std::string& name) {
  const char digit = n <= 9 ? static_cast<char>('0' + n) : static_cast<char>(n + 55);
  return std::string("&") + digit + "\t" + (name.empty() ? "Untitled" : name);
}

void EditorSetViewItem(EditorRecord& rec, int n, const std::string& name, bool checked) {
  if (rec.viewMenu == plat::kNoMenu || n < 1) return;
  plat::MenuEntry e{.id = kEdViewFirst + n - 1, .text = EditorViewItemText(n, name),
                    .checked = checked};
  if (n - 1 < plat::MenuEntryCount(rec.viewMenu)) {
    e.checked = checked || plat::GetMenuEntry(rec.viewMenu, n - 1)->checked;
    plat::SetMenuEntry(rec.viewMenu, n - 1, e);
  } else {
    plat::InsertMenuEntry(rec.viewMenu, -1, e);
  }
}

void EditorCheckViewItem(EditorRecord& rec, int n, bool checked) {
  if (rec.viewMenu == plat::kNoMenu) return;
  std::optional<plat::MenuEntry> e = plat::GetMenuEntry(rec.viewMenu, n - 1);
  if (!e) return;
  e->checked = checked;
  plat::SetMenuEntry(rec.viewMenu, n - 1, *e);
}

void EditorMenuStates(EditorRecord& rec) {
  const plat::Hwnd c = rec.textControl;
  const bool empty = SelectionEmpty(rec);
  const bool unprotected = SelectionUnprotected(rec);
  SetItem(rec.fileMenu, kEdPrintSelection, !empty);
  SetItem(rec.editMenu, kEdUndo, plat::RichEditCanUndo(c));
  SetItem(rec.editMenu, kEdRedo, plat::RichEditCanRedo(c));
  SetItem(rec.editMenu, kEdCut, !empty && unprotected);
  SetItem(rec.editMenu, kEdCopy, !empty);
  SetItem(rec.editMenu, kEdDelete, !empty && unprotected);
  SetItem(rec.editMenu, kEdPaste, unprotected && plat::RichEditCanPaste(!rec.formatting));
  SetItem(rec.searchMenu, kEdFindNext, !rec.findWhat.empty());
  SetItem(rec.searchMenu, kEdGotoBookmark,
          rec.bookmark[static_cast<std::size_t>(rec.currentDocument)] >= 0);
  // Font and Bullet Style unless the selection is wholly protected.
  const auto [format, uniform] = plat::RichEditGetCharFormat(c);
  const bool whollyProtected = (uniform & plat::kCfmProtected) != 0 && format.isProtected;
  SetItem(rec.formatMenu, kEdFont, !whollyProtected);
  SetItem(rec.formatMenu, kEdBullet, !whollyProtected);
}

void EditorUpdateEditButtons(EditorRecord& rec) {
  const bool empty = SelectionEmpty(rec);
  // Copy also on the window's own first toolbar.
  const plat::Hwnd own = rec.windowToolbars[0];
  if (own != plat::kNoWindow && plat::IsWindow(own) && plat::ToolbarHasButton(own, kEdCopy))
    plat::ToolbarEnableButton(own, kEdCopy, !empty);
  if (rec.toolbar == plat::kNoWindow) return;
  const plat::Hwnd c = rec.textControl;
  SetButton(rec, kEdCut, !empty && SelectionUnprotected(rec));
  SetButton(rec, kEdCopy, !empty);
  SetButton(rec, kEdUndo, plat::RichEditCanUndo(c));
  SetButton(rec, kEdRedo, plat::RichEditCanRedo(c));
}

void EditorUpdateFormatButtons(EditorRecord& rec) {
  if (!rec.formatting || rec.readOnly) return;
  const plat::Hwnd c = rec.textControl;
  const plat::RichText* t = plat::RichEditText(c);
  if (t == nullptr) return;
  const auto [format, uniform] = plat::RichEditGetCharFormat(c);
  const bool base = (uniform & plat::kCfmProtected) != 0 && !format.isProtected;
  const auto [a, b] = plat::RichEditGetSel(c);
  const int first = t->ParagraphOf(std::min(a, b)), last = t->ParagraphOf(std::max(a, b));
  bool allBullets = true, anyBullets = false, alignMixed = false;
  const plat::ParaAlign align = t->Paragraph(first).align;
  for (int p = first; p <= last; ++p) {
    allBullets = allBullets && t->Paragraph(p).bullet;
    anyBullets = anyBullets || t->Paragraph(p).bullet;
    alignMixed = alignMixed || t->Paragraph(p).align != align;
  }
  // A mixed attribute shows as not checked.
  const auto state = [&](int id, bool on, bool mixed) {
    if (rec.toolbar == plat::kNoWindow || !plat::ToolbarHasButton(rec.toolbar, id)) return;
    plat::ToolbarEnableButton(rec.toolbar, id, base);
    plat::ToolbarCheckButton(rec.toolbar, id, on && !mixed);
  };
  state(kEdBold, format.bold, (uniform & plat::kCfmBold) == 0);
  state(kEdItalic, format.italic, (uniform & plat::kCfmItalic) == 0);
  state(kEdUnderline, format.underline, (uniform & plat::kCfmUnderline) == 0);
  state(kEdBullet, allBullets, anyBullets && !allBullets);
  state(kEdAlignLeft, align == plat::ParaAlign::Left, alignMixed);
  state(kEdCentre, align == plat::ParaAlign::Centre, alignMixed);
  state(kEdAlignRight, align == plat::ParaAlign::Right, alignMixed);
  // Bullet Style is checked unless the bullets are plainly off.
  CheckItem(rec.formatMenu, kEdBullet, anyBullets);
}

void EditorShowPosition(EditorRecord& rec) {
  if (rec.statusBar == plat::kNoWindow) return;
  const plat::Hwnd c = rec.textControl;
  const int end = plat::RichEditGetSel(c).second;
  const int line = plat::RichEditLineFromChar(c, end);
  const int column = end - plat::RichEditLineIndex(c, line);
  char text[64];
  std::snprintf(text, sizeof text, "Line:%u   Col:%u", static_cast<unsigned>(line + 1),
                static_cast<unsigned>(column + 1));
  plat::StatusBarSetText(rec.statusBar, 0, text);
}

void EditorTextChanged(EditorRecord& rec) {
  SetButton(rec, kEdUndo, plat::RichEditCanUndo(rec.textControl));
  SetButton(rec, kEdRedo, plat::RichEditCanRedo(rec.textControl));
  rec.changedFlag = 1;
  rec.positionCache.Clear();
  if (rec.starModified) EditorCaptionUpdate(rec);
  EditorBookmarkAfterChange(rec);
}

bool EditorTextKey(EditorRecord& rec, plat::Msg m, plat::WParam w) {
  if (m != plat::Msg::KeyDown) return false;
  const bool shift = plat::IsKeyDown(plat::kVkShift);
  const bool ctrl = plat::IsKeyDown(plat::kVkControl);
  const bool alt = plat::IsKeyDown(plat::kVkMenu);
  static bool capsOn = false, numOn = false;
  switch (static_cast<int>(w)) {
    case plat::kVkCapital:
      capsOn = !capsOn;
      if (rec.statusBar != plat::kNoWindow)
        plat::StatusBarSetText(rec.statusBar, 1, capsOn ? "\tCAPS" : "");
      return false;
    case plat::kVkNumLock:
      numOn = !numOn;
      if (rec.statusBar != plat::kNoWindow)
        plat::StatusBarSetText(rec.statusBar, 2, numOn ? "\tNUM" : "");
      return false;
    case plat::kVkInsert:
      if (shift && !ctrl && !alt) {
        EditorCommand(rec, kEdPaste);
        return true;
      }
      if (!shift && !ctrl) {
        rec.insertMode = rec.insertMode != 0 ? 0 : 1;
        if (rec.statusBar != plat::kNoWindow)
          plat::StatusBarSetText(rec.statusBar, 3, rec.insertMode != 0 ? "\tINS" : "\tOVR");
      }
      return false;
    case 'V':
      if (ctrl && !shift && !alt) {
        EditorCommand(rec, kEdPaste);
        return true;
      }
      return false;
    case 0xBC:  // "," and "." with Ctrl and Shift: the control's font size keys
    case 0xBE:
      return ctrl && shift && !rec.formatting;
    default:
      return false;
  }
}

bool EditorCommand(EditorRecord& rec, int id) {
  const plat::Hwnd c = rec.textControl;
  if (id >= kEdViewFirst && id <= kEdViewLast) {
    const int n = id - kEdViewFirst + 1;
    if (n > rec.documentCount) return true;
    if (n != rec.currentDocument) EditorSelectBuffer(rec, n);
    return true;
  }
  // Printing that is not allowed does nothing, also from a caller's menu.
  if ((id == kEdPrint || id == kEdPrintSelection) && !rec.allowPrint) return false;
  if (id < kEdNew || id > kEdViewLast || !Present(rec, id)) return true;
  switch (id) {
    case kEdNew: {
      const int before = rec.documentCount;
      const std::string name = rec.documentName;
      NewDocument(rec);
      return rec.documentCount != before || rec.documentName != name || !rec.multiDocument;
    }
    case kEdOpen: {
      int viewEvent = 0;
      const bool opened = OpenCommand(rec, viewEvent);
      if (viewEvent != 0) StoreEvent(kEventMenu, 0, plat::MakeWParam(viewEvent, 0), 0, rec.window);
      return opened;
    }
    case kEdSave:
    case kEdSaveAs: {
      const std::string before = rec.documentName;
      if (EditorSaveFile(rec, id == kEdSaveAs) != 1) {
        if (rec.documentName != before) EditorSetViewItem(rec, rec.currentDocument, rec.documentName, false);
        EditorCaptionUpdate(rec);
        return false;
      }
      EditorBufferSetName(rec.windowNumber, rec.currentDocument, rec.documentName);
      EditorSetViewItem(rec, rec.currentDocument, rec.documentName, false);
      EditorCaptionUpdate(rec);
      return true;
    }
    case kEdPrint:
    case kEdPrintSelection:
      if (rec.printByApplication) return true;
      return EditorPrint(rec, id == kEdPrintSelection) == 1;
    case kEdClose:
      return CloseDocument(rec);
    case kEdExit:
      plat::PostMessage(rec.window, plat::Msg::Close);
      return false;
    case kEdUndo:
      plat::RichEditUndo(c);
      return false;
    case kEdRedo:
      plat::RichEditRedo(c);
      return false;
    case kEdCut:
      plat::RichEditCut(c);
      return false;
    case kEdCopy:
      plat::RichEditCopy(c);
      return false;
    case kEdPaste:
      // Without formatting only text comes in.
      plat::RichEditPaste(c, !rec.formatting);
      return false;
    case kEdDelete:
      plat::RichEditReplaceSel(c, "", true);
      return false;
    case kEdSelectAll:
      plat::RichEditSetSel(c, 0, -1);
      plat::RichEditScrollCaret(c);
      return false;
    case kEdFind:
    case kEdReplace:
      OpenFindDialog(rec, id == kEdReplace);
      return false;
    case kEdFindNext:
      if (!rec.findWhat.empty()) EditorFindNext(rec);
      return false;
    case kEdSetBookmark:
      EditorSetBookmark(rec);
      return false;
    case kEdGotoBookmark:
      EditorGotoBookmark(rec);
      return false;
    case kEdFont:
      Formatting(rec, [&] { EditorChooseFont(rec); });
      return false;
    case kEdBullet:
      Formatting(rec, [&] { EditorToggleBullet(rec); });
      return false;
    case kEdAlignLeft:
    case kEdCentre:
    case kEdAlignRight: {
      const plat::ParaAlign align = id == kEdAlignLeft ? plat::ParaAlign::Left
                                    : id == kEdCentre  ? plat::ParaAlign::Centre
                                                       : plat::ParaAlign::Right;
      Formatting(rec, [&] { EditorSetAlignment(rec, align); });
      return false;
    }
    case kEdBold:
    case kEdItalic:
    case kEdUnderline: {
      const std::uint32_t style = id == kEdBold     ? plat::kCfmBold
                                  : id == kEdItalic ? plat::kCfmItalic
                                                    : plat::kCfmUnderline;
      Formatting(rec, [&] { EditorToggleStyle(rec, style); });
      return false;
    }
    default:
      return true;
  }
}

void EditorFindReport(EditorRecord& rec, const plat::FindReplace& fr) {
  if ((fr.flags & plat::kFrDialogTerm) != 0) {
    rec.findDialog = plat::kNoWindow;
    return;
  }
  rec.findWhat = fr.findWhat;
  rec.replaceWith = fr.replaceWith;
  rec.findFlags = fr.flags & (plat::kFrDown | plat::kFrWholeWord | plat::kFrMatchCase);
  if ((fr.flags & plat::kFrFindNext) != 0) {
    EditorFindNext(rec);
  } else if ((fr.flags & plat::kFrReplace) != 0) {
    EditorReplaceNext(rec);
  } else if ((fr.flags & plat::kFrReplaceAll) != 0) {
    EditorReplaceAll(rec);
  }
  rec.findRecord.flags &= ~(plat::kFrFindNext | plat::kFrReplace | plat::kFrReplaceAll);
}

void EditorCloseFindDialog(EditorRecord& rec) {
  if (rec.findDialog != plat::kNoWindow && plat::IsWindow(rec.findDialog))
    plat::DestroyWindow(rec.findDialog);
  rec.findDialog = plat::kNoWindow;
}

}  // namespace tk
