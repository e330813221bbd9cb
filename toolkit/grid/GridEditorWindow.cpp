// The stand-alone grid editor window: conversion of a toolkit child window,
// its bars, layout and size, the read-outs and events of the current cell,
// closing and destruction.
#include "toolkit/grid/GridEditorWindow.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <memory>

#include "platform/controls/Controls.h"
#include "platform/window/VirtualKeys.h"
#include "toolkit/core/CommandBars.h"
#include "toolkit/core/Events.h"
#include "toolkit/core/Menus.h"
#include "toolkit/core/MessageBox.h"
#include "toolkit/core/ModalState.h"
#include "toolkit/core/Windows.h"
#include "toolkit/grid/Grid.h"
#include "toolkit/grid/GridAttributes.h"
#include "toolkit/grid/GridCommands.h"
#include "toolkit/grid/GridModel_p.h"

namespace tk {
namespace {

constexpr int kGridControlId = 1002;
/// The largest cell area the fitting counts, each way.
constexpr std::int64_t kMaxCellArea = 10000;

struct GridWindowSlot {
  std::unique_ptr<GridWindowRecord> record;
  plat::WindowProc previousProc = nullptr;
  plat::Hwnd client = plat::kNoWindow;  // the client area, whose procedure the window wraps
  plat::WindowProc previousClientProc = nullptr;
};

std::array<GridWindowSlot, kWindowSlots>& Slots() {
  static std::array<GridWindowSlot, kWindowSlots> slots;
  return slots;
}

/// Semi-modeless grid windows open.
int g_semiModeless = 0;

/// The caller's filter with its separator (its last character) made "|".
std::string CallerFilter(std::string_view filter) {
  std::string f(filter.substr(0, 1001));
  if (f.empty()) return f;
  const char separator = f.back();
  for (char& c : f)
    if (c == separator) c = '|';
  return f;
}

void DecodeFlags(GridWindowRecord& rec, std::uint32_t flags, bool readOnlyGrid) {
  const auto off = [flags](std::uint32_t bit) { return (flags & bit) == 0; };
  rec.readOnly = readOnlyGrid;
  rec.allowNew = off(kGridWinNoNewOpen) && !readOnlyGrid;
  rec.allowOpen = off(kGridWinNoNewOpen);
  rec.allowSave = off(kGridWinNoSave) && !readOnlyGrid;
  rec.allowSaveAs = off(kGridWinNoSaveAs) && rec.allowSave;
  rec.allowSaveHtml = off(kGridWinNoSaveHtml) && rec.allowSave;
  rec.allowPrint = off(kGridWinNoPrint);
  rec.allowFind = off(kGridWinNoFind);
  rec.allowRows = off(kGridWinNoRows) && !readOnlyGrid;
  rec.ignoreLocks = !off(kGridWinIgnoreLocks);
  rec.keepBackup = !off(kGridWinKeepBackup);
  rec.rowLabelFlag = off(kGridWinRowLabels) ? 0 : 1;
  rec.appendRowFlag = off(kGridWinAppendRow) ? 0 : 1;
}

// ---------------------------------------------------------------------------
// Commands: texts, keys, presence

constexpr unsigned kCtrl = plat::kAccelControl;
constexpr unsigned kShift = plat::kAccelShift;

// In the order of the accelerator table.
constexpr WindowCommand kCommands[] = {
    {kGwNew, "&New", kCtrl, 'N', "Ctrl+N", "Clears the grid", "New"},
    {kGwOpen, "&Open", kCtrl, 'O', "Ctrl+O", "Loads an existing grid", "Open"},
    {kGwSave, "&Save", kCtrl, 'S', "Ctrl+S", "Saves the grid", "Save"},
    {kGwSaveAs, "Save &As", 0, plat::kVkF1 + 11, "F12", "Saves the grid with a new name", ""},
    {kGwPrint, "&Print", kCtrl, 'P', "Ctrl+P", "Prints the grid", "Print"},
    {kGwFind, "&Find", kCtrl, 'F', "Ctrl+F", "Finds the specified string value", "Find"},
    {kGwFindNext, "Find &Next", 0, plat::kVkF1 + 2, "F3", "Repeats the last find", ""},
    {kGwInsertBefore, "&Insert Row Before Current", kCtrl, 'I', "Ctrl+I",
     "Inserts a row into the grid, before the current row", ""},
    {kGwInsertAfter, "&Insert Row After Current", kCtrl | kShift, 'I', "Ctrl+Shift+I",
     "Inserts a row into the grid, after the current row", ""},
    {kGwDeleteRow, "D&elete Row", kCtrl, 'E', "Ctrl+E", "Deletes a row from the grid", ""},
    // Keys of the grid and its cell editors: shown in the menus only.
    {kGwSaveHtml, "Save As &HTML", 0, 0, "", "Saves the grid as an HTML document", ""},
    {kGwPrintSelection, "Prin&t Selection", 0, 0, "", "Prints the selected cells", ""},
    {kGwExit, "E&xit", 0, 0, "", "Closes the grid; prompts you to save changes", ""},
    {kGwCut, "Cu&t", 0, 0, "Ctrl+X", "Cuts the selected cells and places them on the clipboard",
     "Cut"},
    {kGwCopy, "&Copy", 0, 0, "Ctrl+C", "Copies the selected cells and places them on the clipboard",
     "Copy"},
    {kGwPaste, "&Paste", 0, 0, "Ctrl+V", "Inserts clipboard contents", "Paste"},
    {kGwDelete, "&Delete", 0, 0, "Del", "Clears the selected cells", ""},
    {kGwSelectAll, "Select &All", 0, 0, "", "Selects the entire grid", ""},
    {kGwSort, "&Sort", 0, 0, "", "Sorts the rows of the grid", ""},
    {kGwGotoCell, "&Goto Cell", 0, 0, "", "Moves to the specified cell", ""},
    {kGwGotoRow, "Goto Ro&w", 0, 0, "", "Moves to the specified row", ""},
    {kGwGotoColumn, "Goto &Column", 0, 0, "", "Moves to the specified column", ""},
    {kGwFilePopup, "&File", 0, 0, "", "Commands to Load and Save files", ""},
    {kGwEditPopup, "&Edit", 0, 0, "", "Commands for Editing and Sorting cells", ""},
    {kGwSearchPopup, "&Search", 0, 0, "", "Commands for Searching and Navigation", ""},
};

const WindowCommand* Info(int id) {
  return FindWindowCommand(kCommands, id);
}

/// Whether the window carries command ID at all.
bool Present(const GridWindowRecord& rec, int id) {
  switch (id) {
    case kGwNew: return rec.allowNew;
    case kGwOpen: return rec.allowOpen;
    case kGwSave: return rec.allowSave;
    case kGwSaveAs: return rec.allowSaveAs;
    case kGwSaveHtml: return rec.allowSaveHtml;
    case kGwPrint:
    case kGwPrintSelection: return rec.allowPrint;
    case kGwFind:
    case kGwFindNext: return rec.allowFind;
    case kGwCut:
    case kGwPaste:
    case kGwDelete:
    case kGwSort: return !rec.readOnly;
    case kGwInsertBefore:
    case kGwInsertAfter:
    case kGwDeleteRow: return rec.allowRows;
    default: return true;
  }
}

CommandMenuLine Item(int id) {
  return CommandItem(kCommands, id);
}

CommandMenuLine Popup(int id, std::vector<CommandMenuLine> items) {
  return CommandPopup(kCommands, id, std::move(items));
}

/// ITEMS with every present command of IDS.
void AddPresent(const GridWindowRecord& rec, std::vector<CommandMenuLine>& items,
                std::initializer_list<int> ids) {
  for (int id : ids)
    if (Present(rec, id)) items.push_back(Item(id));
}

std::vector<CommandMenuLine> FileItems(const GridWindowRecord& rec) {
  std::vector<CommandMenuLine> items;
  AddPresent(rec, items, {kGwNew, kGwOpen, kGwSave, kGwSaveAs, kGwSaveHtml});
  if (!items.empty()) items.push_back({});
  if (rec.allowPrint) {
    AddPresent(rec, items, {kGwPrint, kGwPrintSelection});
    items.push_back({});
  }
  items.push_back(Item(kGwExit));
  return items;
}

std::vector<CommandMenuLine> EditItems(const GridWindowRecord& rec) {
  std::vector<CommandMenuLine> items;
  AddPresent(rec, items, {kGwCut, kGwCopy, kGwPaste, kGwDelete});
  items.push_back({});
  items.push_back(Item(kGwSelectAll));
  if (!rec.readOnly) {
    items.push_back({});
    items.push_back(Item(kGwSort));
  }
  AddPresent(rec, items, {kGwInsertBefore, kGwInsertAfter, kGwDeleteRow});
  return items;
}

std::vector<CommandMenuLine> SearchItems(const GridWindowRecord& rec) {
  std::vector<CommandMenuLine> items;
  if (rec.allowFind) {
    AddPresent(rec, items, {kGwFind, kGwFindNext});
    items.push_back({});
  }
  AddPresent(rec, items, {kGwGotoCell, kGwGotoRow, kGwGotoColumn});
  return items;
}

plat::HAccel BuildAccelerators(const GridWindowRecord& rec) {
  return CommandAccelerators(kCommands, [&rec](int id) { return Present(rec, id); });
}

void BuildMenus(GridWindowRecord& rec, int menuId, int& status) {
  plat::HMenu bar = plat::kNoMenu;
  if (menuId != 0 && rec.mode != kGridWindowModal) {
    bar = LoadMenuResource(menuId);
    if (bar == plat::kNoMenu) status = kGridOpenMenuNotFound;
  }
  if (bar == plat::kNoMenu) bar = plat::CreateMenu();
  const std::vector<CommandMenuLine> own{Popup(kGwFilePopup, FileItems(rec)),
                                         Popup(kGwEditPopup, EditItems(rec)),
                                         Popup(kGwSearchPopup, SearchItems(rec))};
  InsertCommandPopups(bar, own, rec.accelerators != plat::kNoAccel);
  rec.menuBar = bar;
  rec.fileMenu = CommandPopupOf(bar, kGwFilePopup);
  rec.editMenu = CommandPopupOf(bar, kGwEditPopup);
  rec.searchMenu = CommandPopupOf(bar, kGwSearchPopup);
}

void BuildToolbar(GridWindowRecord& rec) {
  std::vector<std::string_view> icons;
  std::vector<plat::ToolbarButton> buttons;
  const auto add = [&](int command, const char* icon) {
    buttons.push_back({.image = static_cast<int>(icons.size()), .command = command});
    icons.push_back(icon);
  };
  const auto separator = [&] { buttons.push_back({}); };
  if (rec.allowNew) add(kGwNew, "new");
  if (rec.allowOpen) add(kGwOpen, "open");
  if (rec.allowSave) add(kGwSave, "save");
  if (rec.allowNew || rec.allowOpen || rec.allowSave) separator();
  if (rec.allowPrint) {
    add(kGwPrint, "print");
    separator();
  }
  if (rec.allowFind) {
    add(kGwFind, "find");
    separator();
  }
  if (!rec.readOnly) add(kGwCut, "cut");
  add(kGwCopy, "copy");
  if (!rec.readOnly) add(kGwPaste, "paste");
  constexpr plat::Size kImageSize{16, 15};
  rec.toolbar = MakeCommandToolbar(rec.window, 1001, IconStrip(icons, kImageSize), kImageSize,
                                   buttons);
}

// ---------------------------------------------------------------------------
// Status bar and layout

void ShowCell(GridWindowRecord& rec, std::int32_t packed) {
  if (rec.statusBar == plat::kNoWindow) return;
  std::int32_t column = 0, row = 0;
  WGridCellUnpack(packed, column, row);
  char text[32];
  std::snprintf(text, sizeof text, "\t\t%u", static_cast<unsigned>(row));
  plat::StatusBarSetText(rec.statusBar, 1, text);
  std::snprintf(text, sizeof text, "\t\t%u", static_cast<unsigned>(column));
  plat::StatusBarSetText(rec.statusBar, 3, text);
}

// Row and column read-outs. Every toolkit window has a caption, which shows
// the file name, so the bar has four parts, the last reaching the right edge.
void SetUpStatusBar(GridWindowRecord& rec) {
  if (rec.statusBar == plat::kNoWindow) return;
  static constexpr int kEdges[] = {30, 90, 140, -1};
  plat::StatusBarSetParts(rec.statusBar, kEdges);
  plat::StatusBarSetText(rec.statusBar, 0, "Row", plat::PartBorder::None);
  plat::StatusBarSetText(rec.statusBar, 2, "\tColumn", plat::PartBorder::None);
  ShowCell(rec, rec.lastCell);
}

/// Lays the grid over the window's client area.
void LayoutGrid(GridWindowRecord& rec) {
  if (rec.grid == plat::kNoWindow) return;
  const plat::Hwnd client = WindowClientHandle(rec.windowNumber);
  if (client == plat::kNoWindow) return;
  plat::MoveWindow(rec.grid, plat::GetClientRect(client), true);
}

void PlaceBands(int n, plat::Rect top) {
  GridWindowRecord* rec = GridWindowOf(n);
  if (rec != nullptr && rec->toolbar != plat::kNoWindow) plat::MoveWindow(rec->toolbar, top);
}

void PlaceBars(GridWindowRecord& rec) {
  const int n = rec.windowNumber;
  const int toolbarHeight =
      rec.toolbar != plat::kNoWindow ? plat::ToolbarButtonSize(rec.toolbar).height : 0;
  SetWindowBands(n, toolbarHeight, 0, [n](plat::Rect top, plat::Rect) { PlaceBands(n, top); });
  LayoutGrid(rec);
}

/// The frame's size less its client area's: frames, menu, bars and bands.
plat::Size FrameExtra(const GridWindowRecord& rec) {
  const plat::Rect frame = plat::GetWindowRect(rec.window);
  const plat::Rect client = plat::GetClientRect(WindowClientHandle(rec.windowNumber));
  return {frame.Width() - client.Width(), frame.Height() - client.Height()};
}

/// What the grid adds to its cell area: labels, header, its frame and
/// scroll bars.
plat::Size GridExtra(const GridRecord& g) {
  const plat::Rect outer = plat::GetWindowRect(g.window);
  const plat::Rect inner = plat::GetClientRect(g.window);
  int width = g.labelWidth + outer.Width() - inner.Width();
  int height = g.headerHeight + outer.Height() - inner.Height();
  const unsigned style = plat::GetStyle(g.window);
  if (style & plat::kWsVScroll) width += plat::kWindowScrollBarSize;
  if (style & plat::kWsHScroll) height += plat::kWindowScrollBarSize;
  return {width, height};
}

// ---------------------------------------------------------------------------
// The current cell

/// The grid reports a change of its cell or of its current cell.
void CellChanged(GridWindowRecord& rec, std::int32_t packed) {
  if (packed == rec.lastCell) return;
  ShowCell(rec, packed);
  if (rec.mode != kGridWindowModal) {
    EventRecord e;
    e.window = rec.windowNumber;
    e.value1 = rec.lastCell;
    e.value2 = packed;
    e.value3 = 0;
    e.value4 = -1;
    e.x = e.y = -1;
    StoreMadeFieldEvent(e, false);
  }
  rec.lastCell = packed;
}

/// The grid's notifications reach the client area: the window answers the
/// change of the current cell and leaves the rest to the client's own
/// procedure.
plat::LResult GridWindowClientProc(plat::Hwnd h, plat::Msg m, plat::WParam w, plat::LParam l) {
  const int n = WindowNumberFromHandle(h);
  GridWindowSlot* slot = n >= 0 && n < kWindowSlots ? &Slots()[static_cast<std::size_t>(n)] : nullptr;
  const plat::WindowProc previous = slot != nullptr ? slot->previousClientProc : nullptr;
  GridWindowRecord* rec = slot != nullptr ? slot->record.get() : nullptr;
  if (rec != nullptr && m != plat::Msg::Null && m == GridCellChangeMessage() &&
      static_cast<int>(w) == kGridControlId) {
    CellChanged(*rec, static_cast<std::int32_t>(l));
    return 0;
  }
  return previous != nullptr ? previous(h, m, w, l) : plat::DefWindowProc(h, m, w, l);
}

void ReleaseSlot(GridWindowSlot& slot) {
  slot.record.reset();
  slot.previousProc = nullptr;
  slot.previousClientProc = nullptr;
  slot.client = plat::kNoWindow;
}

/// Makes the grid window's grid: a copy of dialog grid S inside the client
/// area. False when it cannot be made.
bool MakeGrid(GridWindowRecord& rec, const GridRecord& s) {
  const plat::Hwnd client = WindowClientHandle(rec.windowNumber);
  const unsigned style = (plat::GetStyle(s.window) | plat::kStyleChild | plat::kStyleVisible |
                          kGridKeepHeight | kGridEnterMovesDown | kGridTabMoves);
  plat::CreateParams p;
  p.className = kGridClass;
  p.style = style;
  p.rect = plat::GetClientRect(client);
  p.parent = client;
  p.id = kGridControlId;
  rec.grid = plat::CreateWindow(p);
  GridRecord* g = GridOf(rec.grid);
  if (g == nullptr) return false;
  GridSetFont(*g, s.font);
  if (!GridCopyFrom(*g, s)) return false;
  GridUpdateScroll(*g);
  return true;
}

}  // namespace

// ---------------------------------------------------------------------------

GridWindowRecord* GridWindowOf(int n) {
  if (n < 0 || n >= kWindowSlots) return nullptr;
  return Slots()[static_cast<std::size_t>(n)].record.get();
}

GridWindowRecord* GridWindowOfHandle(plat::Hwnd h) {
  if (h == plat::kNoWindow) return nullptr;
  for (GridWindowSlot& s : Slots())
    if (s.record && s.record->window == h) return s.record.get();
  return nullptr;
}

GridRecord* GridWindowGrid(const GridWindowRecord& rec) {
  return GridOf(rec.grid);
}

std::string GridWindowHelpText(int id) {
  const WindowCommand* c = Info(id);
  return c != nullptr ? c->help : "";
}

std::string GridWindowTooltip(int id) {
  const WindowCommand* c = Info(id);
  return c != nullptr ? c->tooltip : "";
}

void GridWindowCaptionUpdate(GridWindowRecord& rec) {
  const std::string& file = GridWindowTextsOf(rec.windowNumber).file;
  std::string caption = rec.windowTitle;
  if (!file.empty()) caption = caption.empty() ? file : caption + " - [" + file + "]";
  plat::SetWindowText(rec.window, caption);
}

GridWindowClosedFlags& GridWindowClosedLastFlags() {
  static GridWindowClosedFlags flags;
  return flags;
}

void GridWindowClosedLast(int n) {
  GridWindowRecord* rec = GridWindowOf(n);
  if (rec == nullptr) return;
  if (const GridRecord* g = GridWindowGrid(*rec))
    GridWindowClosedLastFlags() = {g->modified, g->changed};
  GridWindowTextsClosed(n);
}

// ---------------------------------------------------------------------------
// Size

plat::Size GridFitCellArea(const GridRecord& g) {
  std::int64_t width = 1;
  for (int j = 0; j < g.columnCount && static_cast<std::size_t>(j) < g.columns.size(); ++j)
    width += g.columns[static_cast<std::size_t>(j)].width - 1;
  std::int64_t height = std::int64_t{g.rowHeight - 1} * g.rowCount;
  height = height >= kMaxCellArea - 1 ? kMaxCellArea : height + 1;
  return {static_cast<int>(std::clamp<std::int64_t>(width, 0, kMaxCellArea)),
          static_cast<int>(std::clamp<std::int64_t>(height, 0, kMaxCellArea))};
}

plat::Size GridWindowNeededSize(const GridWindowRecord& rec) {
  const GridRecord* g = GridWindowGrid(rec);
  if (g == nullptr) return {};
  const plat::Size cells = GridFitCellArea(*g);
  const plat::Size grid = GridExtra(*g);
  const plat::Size frame = FrameExtra(rec);
  return {cells.width + grid.width + frame.width, cells.height + grid.height + frame.height};
}

void GridWindowFitSize(GridWindowRecord& rec) {
  if (GridWindowGrid(rec) == nullptr) return;
  const plat::Size need = GridWindowNeededSize(rec);
  rec.fitWidth = rec.fitHeight = -999;
  const plat::Rect r = plat::GetWindowRect(rec.window);
  if (need.width >= r.Width() && need.height >= r.Height()) return;
  const int width = std::min(r.Width(), need.width);
  const int height = std::min(r.Height(), need.height);
  plat::MoveWindow(rec.window, {r.left, r.top, r.left + width, r.top + height}, true);
}

void GridWindowFitCurrent() {
  if (GridWindowRecord* rec = GridWindowOf(CurrentWindow())) GridWindowFitSize(*rec);
}

void GridWindowSizeLimits(GridWindowRecord& rec, plat::Size& largest, plat::Size& smallest) {
  // The work area is the whole screen here: no panels take part of it.
  largest = plat::ScreenSize();
  smallest = {0, 0};
  rec.fitWidth = rec.fitHeight = -999;
  const GridRecord* g = GridWindowGrid(rec);
  if (g == nullptr) return;
  const plat::Size need = GridWindowNeededSize(rec);
  if (need.width < largest.width) largest.width = rec.fitWidth = need.width;
  if (need.height < largest.height) largest.height = rec.fitHeight = need.height;
  int widest = 0;
  for (const GridColumn& c : g->columns) widest = std::max(widest, c.width);
  const plat::Size grid = GridExtra(*g);
  const plat::Size frame = FrameExtra(rec);
  smallest = {std::min(largest.width, widest + grid.width + frame.width),
              std::min(largest.height, g->rowHeight + grid.height + frame.height)};
}

// ---------------------------------------------------------------------------
// Menu states

GridRowCommandStates GridWindowRowStates(const GridRecord& g, bool ignoreLocks, bool appendRow) {
  GridRowCommandStates s;
  const bool readOnly = (GridStyleOf(g) & kGridReadOnly) != 0;
  // Whether a cell of rows FROM on (rows in use) is locked.
  const auto lockedFrom = [&](int from) {
    if (ignoreLocks) return false;
    for (const GridColumn& c : g.columns)
      for (int r = std::max(0, from); r < g.rowCount && static_cast<std::size_t>(r) < c.cellFlags.size(); ++r)
        if (c.cellFlags[static_cast<std::size_t>(r)] & kCellLocked) return true;
    return false;
  };
  const bool lastRow = g.currentRow >= g.rowCount - 1;
  s.sort = !readOnly && !lockedFrom(0);
  s.insertAfter = !readOnly && !lockedFrom(g.currentRow + 1) && g.currentRow + 1 < g.rowCapacity &&
                  (!lastRow || appendRow);
  s.insertBefore = s.deleteRow = !readOnly && !lockedFrom(g.currentRow);
  return s;
}

namespace {

bool EditEditor(const GridRecord& g) {
  if (g.editor == plat::kNoWindow || g.currentColumn < 0 ||
      static_cast<std::size_t>(g.currentColumn) >= g.columns.size())
    return false;
  const int type = g.columns[static_cast<std::size_t>(g.currentColumn)].type;
  return type >= kColumnString && type <= kColumnDouble;
}

/// The open cell editor has a non-empty text selection.
bool EditorSelection(const GridRecord& g) {
  if (!EditEditor(g)) return false;
  const auto [from, to] = plat::EditGetSel(g.editor);
  return to > from;
}

bool EditorWritable(const GridRecord& g) {
  return EditEditor(g) && !(plat::GetStyle(g.editor) & plat::kEsReadOnly) &&
         !(GridStyleOf(g) & kGridReadOnly);
}

}  // namespace

void GridWindowMenuStates(GridWindowRecord& rec) {
  GridRecord* g = GridWindowGrid(rec);
  if (g == nullptr) return;
  const bool block = g->selFirstRow != -1;
  SetCommandItemEnabled(rec.fileMenu, kGwPrintSelection, block);
  const bool cut = block ? GridSelectionWritable(*g) : EditorSelection(*g) && EditorWritable(*g);
  SetCommandItemEnabled(rec.editMenu, kGwCut, cut);
  SetCommandItemEnabled(rec.editMenu, kGwDelete, cut);
  SetCommandItemEnabled(rec.editMenu, kGwCopy, block || EditorSelection(*g));
  const int kind = GridClipboardKind();
  SetCommandItemEnabled(rec.editMenu, kGwPaste,
          kind == 2 ? GridPasteTargetWritable(*g) : kind == 1 && EditorWritable(*g));
  const GridRowCommandStates rows =
      GridWindowRowStates(*g, rec.ignoreLocks, rec.appendRowFlag != 0);
  SetCommandItemEnabled(rec.editMenu, kGwSort, rows.sort);
  SetCommandItemEnabled(rec.editMenu, kGwInsertBefore, rows.insertBefore);
  SetCommandItemEnabled(rec.editMenu, kGwInsertAfter, rows.insertAfter);
  SetCommandItemEnabled(rec.editMenu, kGwDeleteRow, rows.deleteRow);
  SetCommandItemEnabled(rec.searchMenu, kGwFindNext, !GridWindowTextsOf(rec.windowNumber).search.empty());
}

// ---------------------------------------------------------------------------
// Commands

namespace {

/// A NUL-terminated buffer holding TEXT, as the grid commands take texts.
std::string Buffer(const std::string& text, std::size_t size) {
  std::string b(text);
  b.resize(std::max(size, text.size() + 1), '\0');
  return b;
}

std::string FromBuffer(const std::string& b) {
  return b.substr(0, std::min(b.find('\0'), b.size()));
}

/// The save prompt of REC's grid; 1 go on.
int SavePrompt(GridWindowRecord& rec) {
  GridRecord* g = GridWindowGrid(rec);
  if (g == nullptr || !rec.allowSave) return 1;
  std::int32_t answer = 1;
  std::string& file = GridWindowTextsOf(rec.windowNumber).file;
  GridWindowSavePrompt(rec.windowNumber, g->modified, answer, rec.fileType,
                       rec.keepBackup ? 1 : 0, file, rec.userFilter);
  GridWindowCaptionUpdate(rec);
  return answer;
}

/// Cut, Copy, Paste and Delete: on the selected block, else on the text of
/// the cell editor (Paste brings a block from the clipboard into the grid).
void ClipboardCommand(GridRecord& g, int id) {
  const bool block = g.selFirstRow != -1;
  if (!block) {
    if (!EditEditor(g)) return;
    const EditorClipCommand c = id == kGwCut    ? EditorClipCommand::Cut
                                : id == kGwCopy ? EditorClipCommand::Copy
                                : id == kGwPaste ? EditorClipCommand::Paste
                                                 : EditorClipCommand::Clear;
    if (c == EditorClipCommand::Paste && GridClipboardKind() == 2) {
      GridPasteClipboard(g);
      return;
    }
    EditorClipboardCommand(g, g.editor, c);
    return;
  }
  switch (id) {
    case kGwCut:
      if (GridSelectionWritable(g)) GridCutSelection(g);
      break;
    case kGwCopy:
      GridCopySelection(g);
      break;
    case kGwPaste:
      if (GridClipboardKind() == 2 && GridPasteTargetWritable(g)) GridPasteClipboard(g);
      break;
    default:
      if (GridSelectionWritable(g)) GridClearSelection(g);
      break;
  }
}

}  // namespace

bool GridWindowCommand(GridWindowRecord& rec, int id) {
  GridRecord* g = GridWindowGrid(rec);
  if (g == nullptr) return false;
  const int n = rec.windowNumber;
  GridWindowTexts& texts = GridWindowTextsOf(n);
  if (!Present(rec, id)) return false;
  switch (id) {
    case kGwNew:
      if (SavePrompt(rec) != 1) return false;
      GridClearAllCells(*g, 0);
      texts.file.clear();
      GridWindowCaptionUpdate(rec);
      g->modified = g->changed = 0;
      return true;
    case kGwOpen: {
      if (SavePrompt(rec) != 1) return false;
      std::int32_t loaded = 0;
      std::string name = Buffer(texts.file, 260);
      GridWindowLoadCSV(n, 1, 1, loaded, rec.fileType, name, rec.userFilter);
      if (loaded != 1) return false;
      texts.file = FromBuffer(name);
      g->modified = g->changed = 0;
      GridWindowCaptionUpdate(rec);
      return true;
    }
    case kGwSave:
    case kGwSaveAs: {
      std::int32_t saved = 0;
      std::string name = Buffer(texts.file, 260);
      GridWindowSaveCSV(n, id == kGwSaveAs ? 1 : 0, saved, rec.fileType, rec.keepBackup ? 1 : 0,
                        name, rec.userFilter);
      if (saved != 1) return false;
      texts.file = FromBuffer(name);
      g->modified = 0;
      GridWindowCaptionUpdate(rec);
      return true;
    }
    case kGwPrint:
    case kGwPrintSelection: {
      if (g->columnCount < 1 || g->rowCount < 1) return false;
      std::int32_t printed = 0;
      if (id == kGwPrint)
        GridWindowPrint(n, 0, g->columnCount - 1, 0, g->rowCount - 1, printed);
      else if (g->selFirstRow != -1)
        GridWindowPrint(n, g->selFirstColumn, g->selLastColumn, g->selFirstRow, g->selLastRow,
                        printed);
      return printed == 1;
    }
    case kGwSaveHtml: {
      std::int32_t saved = 0;
      GridWindowSaveHTML(n, g->selFirstRow, g->selLastRow, g->selFirstColumn, g->selLastColumn,
                         saved, rec.keepBackup ? 1 : 0, texts.file);
      return saved == 1;
    }
    case kGwExit:
      plat::SendMessage(rec.window, plat::Msg::Close, 0, 0);
      return false;
    case kGwCut:
    case kGwCopy:
    case kGwPaste:
    case kGwDelete:
      ClipboardCommand(*g, id);
      return false;
    case kGwSelectAll:
      if (g->columnCount > 0 && g->rowCount > 0)
        GridSetSelection(*g, 0, g->rowCount - 1, 0, g->columnCount - 1);
      return false;
    case kGwSort: {
      if (!GridWindowRowStates(*g, rec.ignoreLocks, rec.appendRowFlag != 0).sort) return false;
      std::int32_t sorted = 0;
      GridWindowSort(n, rec.rowLabelFlag, sorted);
      return sorted == 1;
    }
    case kGwInsertBefore:
    case kGwInsertAfter:
    case kGwDeleteRow: {
      const GridRowCommandStates s = GridWindowRowStates(*g, rec.ignoreLocks, rec.appendRowFlag != 0);
      if (id == kGwInsertBefore ? !s.insertBefore : id == kGwInsertAfter ? !s.insertAfter : !s.deleteRow)
        return false;
      if (id == kGwDeleteRow)
        GridWindowDeleteRow(n, rec.rowLabelFlag, rec.appendRowFlag);
      else
        GridWindowInsertRow(n, rec.rowLabelFlag, rec.appendRowFlag, id == kGwInsertAfter ? 1 : 0);
      if (GridRecord* now = GridWindowGrid(rec)) now->modified = now->changed = 1;
      return true;
    }
    case kGwFind:
    case kGwFindNext: {
      if (id == kGwFindNext && texts.search.empty()) return false;
      std::string text = Buffer(texts.search, 1024);
      GridWindowFind(n, id == kGwFind ? 1 : 0, rec.findOptions[0], rec.findOptions[1], text);
      texts.search = FromBuffer(text);
      return false;
    }
    case kGwGotoCell:
    case kGwGotoRow:
    case kGwGotoColumn:
      GridWindowGoto(n, id == kGwGotoCell ? 1 : id == kGwGotoRow ? 2 : 3);
      return false;
    default:
      return true;
  }
}

// ---------------------------------------------------------------------------
// Save prompt, opening and the modal loop

void GridWindowSavePrompt(int window, int modified, std::int32_t& answer, std::int32_t& fileType,
                          int keepBackup, std::string& fileName, const std::string& filter) {
  answer = 1;
  if (modified != 1) return;
  const std::string name = FromBuffer(fileName);
  const std::string question = name.empty() ? "Do you want to save changes?"
                                            : "Do you want to save changes to " + name + "?";
  const int reply = MessageBoxAnswer(4, 3, 1, question, "Parvendrite Grid Editor");
  if (reply == 1) {
    std::int32_t saved = 0;
    std::string buffer = Buffer(name, 260);
    GridWindowSaveCSV(window, 0, saved, fileType, keepBackup, buffer, filter);
    if (saved == 1) {
      fileName = FromBuffer(buffer);
      // Saved: no further question until the next change.
      if (GridWindowRecord* rec = GridWindowOf(window))
        if (GridRecord* g = GridWindowGrid(*rec)) g->modified = 0;
    }
    answer = saved;
    return;
  }
  answer = reply == 2 ? 1 : 0;
}

void GridWindowOpen(int& status, int field, int& mode, int menuId, std::uint32_t flags,
                    int fileType, std::string_view fileName, std::string_view filter) {
  status = 0;
  const int n = CurrentWindow();
  if (n == kMainWindow || !WindowSlotInUse(n)) {
    status = kGridOpenMainWindow;
    return;
  }
  if (WindowSpecialKind(n) != 0) {
    status = kGridOpenOtherSpecial;
    return;
  }
  if (WindowHoldsWindows(n)) {
    status = kGridOpenInsideChildren;
    return;
  }
  const bool inside = WindowInsideParent(n);
  // No window can be a pane of a split window: an inside child gets no menus.
  if (inside && mode != kGridWindowModeless) {
    mode = kGridWindowModeless;
    status = kGridOpenModeForced;
  } else if (inside && (flags & kGridWinNoMenu) == 0) {
    status = kGridOpenMenuInsideParent;
  }
  if (mode != kGridWindowModal && mode != kGridWindowSemiModeless) mode = kGridWindowModeless;
  const GridRecord* source = field != 0 ? FindGrid(field) : nullptr;
  if (source == nullptr || !source->built) {
    status = kGridOpenNoGridField;
    return;
  }
  if (mode == kGridWindowModal && menuId != 0 && status == 0) status = kGridOpenMenuForModal;

  GridWindowSlot& slot = Slots()[static_cast<std::size_t>(n)];
  slot.record = std::make_unique<GridWindowRecord>();
  GridWindowRecord& rec = *slot.record;
  rec.window = WindowFrameHandle(n);
  rec.windowNumber = n;
  rec.mode = mode;
  DecodeFlags(rec, flags, (GridStyleOf(*source) & kGridReadOnly) != 0);
  rec.userFilter = CallerFilter(filter);
  rec.fileType = fileType == -1 ? 1 : fileType;
  GridWindowTextsOf(n) = GridWindowTexts{};

  rec.accelerators = BuildAccelerators(rec);
  plat::ShowWindow(rec.window, plat::ShowCmd::Hide);
  // A modal grid window keeps no toolbars of its own.
  if (mode == kGridWindowModal) RemoveMenuAndToolbars(n);
  const bool withMenu = !inside && (flags & kGridWinNoMenu) == 0;
  int barStatus = 0;
  if (withMenu) BuildMenus(rec, menuId, barStatus);
  if (barStatus != 0 && status == 0) status = barStatus;
  SetWindowOwnMenu(n, rec.menuBar, withMenu && mode != kGridWindowModal ? menuId : 0);
  SetWindowAccelerators(n, rec.accelerators, plat::kNoAccel);
  SetWindowCommandHelp(n, [](int id) { return GridWindowHelpText(id); });
  if ((flags & kGridWinNoToolbar) == 0) BuildToolbar(rec);
  rec.statusBar = WindowStatusBarHandle(n);
  SetUpStatusBar(rec);

  if (!MakeGrid(rec, *source)) {
    if (rec.grid != plat::kNoWindow) plat::DestroyWindow(rec.grid);
    if (rec.toolbar != plat::kNoWindow) plat::DestroyWindow(rec.toolbar);
    SetWindowOwnMenu(n, plat::kNoMenu, 0);
    SetWindowCommandHelp(n, {});
    ReleaseSlot(slot);
    plat::ShowWindow(WindowFrameHandle(n), plat::ShowCmd::Show);
    status = kGridOpenNoMemory;
    return;
  }
  SetWindowGridField(n, rec.grid);
  PlaceBars(rec);
  slot.previousProc = plat::SetWindowProc(rec.window, GridWindowProc);
  slot.client = WindowClientHandle(n);
  slot.previousClientProc = plat::SetWindowProc(slot.client, GridWindowClientProc);

  GridRecord& g = *GridWindowGrid(rec);
  GridWindowFitSize(rec);
  GridRefreshRowLabels(g);
  rec.windowTitle = plat::GetWindowText(rec.window);
  if (!fileName.empty()) {
    std::int32_t loaded = 0;
    std::string name = Buffer(std::string(fileName.substr(0, 260)), 260);
    GridWindowLoadCSV(n, 0, 1, loaded, rec.fileType, name, rec.userFilter);
    if (loaded == 1) GridWindowTextsOf(n).file = FromBuffer(name);
  }
  GridWindowCaptionUpdate(rec);

  if (plat::IsWindowEnabled(g.window)) GridCreateCellEditor(g);
  if (mode == kGridWindowSemiModeless) ++g_semiModeless;
  plat::EnableWindow(rec.window, true);
  plat::ShowWindow(rec.window, plat::ShowCmd::Show);
  plat::SetFocus(g.window);
  if (mode != kGridWindowModeless) DisableOwnerWindows(rec.window, true);
}

void GridWindowModalLoop() {
  const int n = CurrentWindow();
  GridWindowRecord* rec = GridWindowOf(n);
  if (rec == nullptr) return;
  if (GridRecord* g = GridWindowGrid(*rec)) g->modified = g->changed = 0;
  if (rec->mode != kGridWindowModal) return;
  const plat::HAccel keys = rec->accelerators;
  const plat::Hwnd frame = rec->window;
  plat::Message msg;
  while (GridWindowOf(n) == rec && !rec->modalDone && plat::GetMessage(msg)) {
    if (plat::TranslateAccelerator(frame, keys, msg)) continue;
    plat::DispatchMessage(msg);
  }
  if (GridWindowOf(n) == rec) {
    EnableOwnerWindows(frame, true);
    WindowCloseChild(n);
  }
}

// ---------------------------------------------------------------------------
// The frame procedure

plat::LResult GridWindowProc(plat::Hwnd h, plat::Msg m, plat::WParam w, plat::LParam l) {
  GridWindowRecord* rec = GridWindowOfHandle(h);
  if (rec == nullptr) return plat::DefWindowProc(h, m, w, l);
  GridWindowSlot& slot = Slots()[static_cast<std::size_t>(rec->windowNumber)];
  const plat::WindowProc previous = slot.previousProc;
  const auto chain = [&] {
    return previous != nullptr ? previous(h, m, w, l) : plat::DefWindowProc(h, m, w, l);
  };
  switch (m) {
    case plat::Msg::Size: {
      const plat::LResult r = chain();
      if (w != plat::kSizeMinimized) LayoutGrid(*rec);
      if (w == plat::kSizeRestored && plat::IsWindowVisible(h)) {
        // The size limits: never beyond what shows the whole grid.
        plat::Size largest, smallest;
        GridWindowSizeLimits(*rec, largest, smallest);
        const plat::Rect f = plat::GetWindowRect(h);
        const int width = std::clamp(f.Width(), smallest.width, std::max(smallest.width, largest.width));
        const int height =
            std::clamp(f.Height(), smallest.height, std::max(smallest.height, largest.height));
        if (width != f.Width() || height != f.Height())
          plat::MoveWindow(h, {f.left, f.top, f.left + width, f.top + height}, true);
      }
      return r;
    }
    case plat::Msg::SetFocus:
      if (rec->grid != plat::kNoWindow) plat::SetFocus(rec->grid);
      return 0;
    case plat::Msg::Command: {
      const int id = plat::LowWord(w);
      const int code = plat::HighWord(w);
      if (code != 0 && code != 1) return chain();
      if (id >= kGwFilePopup && id <= kGwLast) {
        if (GridWindowCommand(*rec, id) && GridWindowOfHandle(h) != nullptr)
          StoreEvent(kEventMenu, 0, plat::MakeWParam(id, 0), 0, h);
        return 0;
      }
      return chain();
    }
    case plat::Msg::EnterMenuLoop:
      GridWindowMenuStates(*rec);
      return chain();
    case plat::Msg::Notify: {
      auto* hdr = reinterpret_cast<plat::NotifyHeader*>(l);
      if (hdr != nullptr && hdr->code == plat::kTtnGetDispInfo && rec->toolbar != plat::kNoWindow &&
          plat::ToolbarHasButton(rec->toolbar, hdr->id)) {
        if (std::string tip = GridWindowTooltip(hdr->id); !tip.empty()) {
          reinterpret_cast<plat::TooltipTextNotify*>(hdr)->text = tip;
          return 0;
        }
      }
      return chain();
    }
    case plat::Msg::Close:
      if (rec->allowSave && SavePrompt(*rec) != 1) return 0;
      if (rec->mode == kGridWindowModal) {
        rec->modalDone = true;
        return 0;
      }
      // The application decides: the close request event, and the window stays.
      return chain();
    case plat::Msg::Destroy: {
      const int n = rec->windowNumber;
      if (rec->mode == kGridWindowSemiModeless) {
        g_semiModeless = std::max(0, g_semiModeless - 1);
        EnableOwnerWindows(h, true);
      }
      GridWindowClosedLast(n);
      plat::SetWindowProc(h, previous);
      if (slot.client != plat::kNoWindow && plat::IsWindow(slot.client))
        plat::SetWindowProc(slot.client, slot.previousClientProc);
      SetWindowBands(n, 0, 0, {});
      SetWindowCommandHelp(n, {});
      SetWindowGridField(n, plat::kNoWindow);
      ReleaseSlot(slot);
      return previous != nullptr ? previous(h, m, w, l) : plat::DefWindowProc(h, m, w, l);
    }
    default:
      return chain();
  }
}

}  // namespace tk
