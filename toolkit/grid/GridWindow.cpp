// The grid as a window: its two classes, measuring rows from the font,
// layout of header, row labels and cell area, scrolling, painting the cells
// and the context menu.
//
// Geometry: neighbouring columns and rows share one grid line. The line of
// column j lies at the sum of (width - 1) over the visible columns left of
// it; row lines lie (rowHeight - 1) apart from topRow down. A cell's
// interior runs from its line + 1 to the next line - 1.
#include <algorithm>
#include <cmath>

#include "platform/controls/Controls.h"
#include "platform/draw/Canvas.h"
#include "platform/menu/Menu.h"
#include "platform/text/TextDraw.h"
#include "toolkit/core/ToolkitState.h"
#include "toolkit/dialogs/GridLink.h"
#include "toolkit/grid/Grid.h"
#include "toolkit/grid/GridModel_p.h"
#include "toolkit/grid/GridPrinting.h"

namespace tk {

namespace {

/// Space between a cell's grid line and its text.
constexpr int kTextMargin = 2;
/// An option menu's text starts this far inside the cell's interior.
constexpr int kOptionTextInset = 3;
/// One notch of the mouse wheel.
constexpr int kWheelNotch = 120;
/// Rows a vertical scroll bar can count before a scale is needed.
constexpr int kMaxScrollUnits = 65536;

/// Context-menu commands: on the editor, and on a selected block.
enum : int {
  kCmdUndo = 32221,
  kCmdCut = 32222,
  kCmdCopy = 32223,
  kCmdPaste = 32224,
  kCmdDelete = 32225,
  kCmdSelectAll = 32226,
  kCmdBlockCut = 32122,
  kCmdBlockCopy = 32123,
  kCmdBlockPaste = 32124,
  kCmdBlockDelete = 32125,
};

plat::Msg& CellChangeMessage() {
  static plat::Msg m = plat::Msg::Null;
  return m;
}

plat::Pixel ColourOf(std::int32_t packed) {
  return plat::Rgb(packed & 0xFF, (packed >> 8) & 0xFF, (packed >> 16) & 0xFF);
}

/// The record of the grid whose cell area is H.
GridRecord* GridOfCellArea(plat::Hwnd h) {
  return GridOf(plat::GetParent(h));
}

// ---------------------------------------------------------------------------
// Measuring and snapping

/// The row height of FONT: a drop-down list's height less one.
int MeasureRowHeight(GridRecord& g) {
  plat::CreateParams p;
  p.className = plat::kComboBoxClass;
  p.style = plat::kStyleChild | plat::kCbsDropDownList;
  p.rect = {0, 0, 50, 100};
  p.parent = g.window;
  const plat::Hwnd combo = plat::CreateWindow(p);
  if (combo == plat::kNoWindow) return std::max(g.rowHeight, 2);
  if (g.font) plat::SetControlFont(combo, g.font);
  const int height = plat::GetWindowRect(combo).Height();
  plat::DestroyWindow(combo);
  return std::max(height - 1, 2);
}

/// The window height that holds visibleRows whole rows.
void SnapHeight(GridRecord& g) {
  const plat::Rect r = plat::GetWindowRect(g.window);
  int height = g.visibleRows * (g.rowHeight - 1) + 1 + g.frameHeight;
  if (GridStyleOf(g) & kGridColumnHeaders) height += 2;
  plat::MoveWindow(g.window, {r.left, r.top, r.right, r.top + height});
}

bool CreateRecord(plat::Hwnd h) {
  auto record = std::make_unique<GridRecord>();
  GridRecord& g = *record;
  g.window = h;
  g.font = plat::DefaultControlFont();
  plat::SetWindowExtra(h, std::move(record));
  plat::PlaceWindowScrollBars(h);
  g.rowHeight = MeasureRowHeight(g);
  const int clientHeight = plat::ClientInsideScrollBars(h).Height();
  g.visibleRows = std::max(0, (clientHeight - 1) / (g.rowHeight - 1));
  g.frameHeight = plat::GetWindowRect(h).Height() - clientHeight;
  g.initialClientHeight = clientHeight;
  if (!(GridStyleOf(g) & kGridKeepHeight)) SnapHeight(g);
  if (GridStyleOf(g) & kGridColumnHeaders) {
    plat::CreateParams p;
    p.className = plat::kHeaderClass;
    p.style = plat::kStyleChild | plat::kStyleVisible | plat::kHdsButtons;
    p.rect = {0, 0, plat::ClientInsideScrollBars(h).Width(), g.rowHeight};
    p.parent = h;
    g.columnHeader = plat::CreateWindow(p);
    if (g.columnHeader == plat::kNoWindow) return false;
    GridSubclassHeader(g.columnHeader);
    plat::SetControlFont(g.columnHeader, g.font);
    g.visibleRows = std::max(0, g.visibleRows - 1);
  }
  // A grid in a dialog takes the dialog's font at once; the layout follows it.
  GridSetFont(g, g.font);
  return true;
}

// ---------------------------------------------------------------------------
// Layout

/// The smallest k such that columns k to LAST fit into WIDTH.
int FirstFittingColumn(const GridRecord& g, int last, int width) {
  int total = 1;
  int k = last;
  for (int j = last; j >= 0; --j) {
    total += g.columns[static_cast<std::size_t>(j)].width - 1;
    if (total > width) break;
    k = j;
  }
  return k;
}

void SetColumnHeaderWidths(GridRecord& g) {
  if (g.columnHeader == plat::kNoWindow) return;
  for (int j = 0; j < g.columnCount && j <= g.rightColumn + 1; ++j) {
    std::optional<plat::HeaderItem> item = plat::HeaderGetItem(g.columnHeader, j + 1);
    if (!item) continue;
    item->width = j < g.leftColumn ? 0 : g.columns[static_cast<std::size_t>(j)].width - 1;
    plat::HeaderSetItem(g.columnHeader, j + 1, *item);
  }
}

void LayoutOnResize(GridRecord& g) {
  if (!g.built) return;
  int& resizing = GridResizing();
  resizing = 1;
  const plat::Rect client = plat::ClientInsideScrollBars(g.window);
  if (g.columnHeader != plat::kNoWindow) {
    const plat::Rect hr = plat::GetWindowRect(g.columnHeader);
    plat::MoveWindow(g.columnHeader, {0, 0, client.Width(), hr.Height()});
  }
  int widest = 0;
  for (const GridColumn& c : g.columns) widest = std::max(widest, c.width);
  const int width = std::max(client.Width() - g.labelWidth, widest);
  const int height = std::max(client.Height() - g.headerHeight, g.rowHeight);
  plat::MoveWindow(g.cellArea,
                   {g.labelWidth, g.headerHeight, g.labelWidth + width, g.headerHeight + height});
  const int rightBefore = g.rightColumn;
  GridUpdateScroll(g);
  if (g.rightColumn != rightBefore) plat::InvalidateRect(g.cellArea, std::nullopt, true);
  const int areaWidth = GridCellAreaWidth(g);
  if (g.currentColumn > g.rightColumn) {
    GridScrollColumns(g, FirstFittingColumn(g, g.currentColumn, areaWidth) - g.leftColumn);
  } else if (g.columnCount > 0) {
    const int k = FirstFittingColumn(g, g.columnCount - 1, areaWidth);
    if (k < g.leftColumn) GridScrollColumns(g, k - g.leftColumn);
  }
  resizing = 0;
}

/// The cell area got a new HEIGHT: whole rows that fit, and the row-label
/// controls for them.
void CellAreaResized(GridRecord& g, int height) {
  if (g.rowHeight < 2) return;
  int& resizing = GridResizing();
  resizing = 1;
  const int a = std::max(1, (height - g.rowHeight) / (g.rowHeight - 1) + 1);
  const int d = std::min(a + 1, g.rowCapacity);
  if (d == g.labelWindowCount) {
    g.visibleRows = a;
  } else if (d < g.labelWindowCount) {
    if (g.currentRow - g.topRow >= d - 1) GridScrollRows(g, (g.currentRow - a + 1) - g.topRow);
    for (int i = d; i < g.shownRows && i < static_cast<int>(g.labelWindows.size()); ++i) {
      plat::DestroyWindow(g.labelWindows[static_cast<std::size_t>(i)]);
      g.labelWindows[static_cast<std::size_t>(i)] = plat::kNoWindow;
    }
    if (static_cast<int>(g.labelWindows.size()) > d) g.labelWindows.resize(static_cast<std::size_t>(d));
    g.visibleRows = a;
    g.labelWindowCount = d;
    g.shownRows = std::min(d, g.shownRows);
    if (!g.displayOnly && plat::IsWindowVisible(g.window)) plat::SetFocus(g.window);
  } else if (g.labelWindowCount != g.shownRows) {
    g.visibleRows = a;
  } else {
    // Never above the first row: a short grid keeps its top.
    if (g.rowCount < g.topRow + d) GridScrollRows(g, std::max(0, g.rowCount - d) - g.topRow);
    int made = d;
    if (GridStyleOf(g) & kGridRowLabels) {
      if (static_cast<int>(g.labelWindows.size()) < d)
        g.labelWindows.resize(static_cast<std::size_t>(d), plat::kNoWindow);
      const int top = (g.headerHeight > 0 ? g.rowHeight + 2 : 1);
      for (int i = g.labelWindowCount; i < d; ++i) {
        plat::CreateParams p;
        p.className = plat::kHeaderClass;
        p.style = plat::kStyleChild | plat::kHdsButtons | (i < g.rowCount ? plat::kStyleVisible : 0u);
        const int y = (g.rowHeight - 1) * i + top;
        p.rect = {0, y, g.labelWidth, y + g.rowHeight - 1};
        p.parent = g.window;
        p.id = i;
        const plat::Hwnd h = plat::CreateWindow(p);
        if (h == plat::kNoWindow) {
          made = i;
          break;
        }
        plat::SetControlFont(h, g.font);
        GridSubclassHeader(h);
        const std::string label =
            i < static_cast<int>(g.rowLabels.size()) ? g.rowLabels[static_cast<std::size_t>(i)] : "";
        plat::HeaderInsertItem(h, 0, {label, g.labelWidth + 1, plat::HeaderAlign::Left});
        g.labelWindows[static_cast<std::size_t>(i)] = h;
      }
    }
    g.labelWindowCount = g.shownRows = d;
    g.visibleRows = a;
    if (made < d) g.shownRows = g.visibleRows = made;
    GridRefreshRowLabels(g);
    if (!g.displayOnly && plat::IsWindowVisible(g.window)) plat::SetFocus(g.window);
  }
  resizing = 0;
}

// ---------------------------------------------------------------------------
// Scrolling by the user

void VerticalScroll(GridRecord& g, int code, int position) {
  if (GridEditorRefusesScroll(g)) return;
  int t = 0;
  switch (code) {
    case plat::kSbLineUp:
      t = -1;
      break;
    case plat::kSbLineDown:
      t = 1;
      break;
    case plat::kSbPageUp:
      t = -g.visibleRows;
      break;
    case plat::kSbPageDown:
      t = g.visibleRows;
      break;
    case plat::kSbThumbPosition: {
      const int target = g.pendingTopRow != 0 ? g.pendingTopRow : position * g.scrollScale;
      g.pendingTopRow = 0;
      t = target - g.topRow;
      break;
    }
    default:
      return;
  }
  GridScrollRows(g, t);
}

void HorizontalScroll(GridRecord& g, int code, int position) {
  if (GridEditorRefusesScroll(g)) return;
  int t = 0;
  switch (code) {
    case plat::kSbLineUp:
      t = -1;
      break;
    case plat::kSbLineDown:
      t = 1;
      break;
    case plat::kSbPageUp: {
      // The columns before leftColumn that fit into the width come in.
      const int width = GridCellAreaWidth(g);
      int total = 1;
      for (int j = g.leftColumn - 1; j >= 0; --j) {
        total += g.columns[static_cast<std::size_t>(j)].width - 1;
        if (total > width) break;
        --t;
      }
      break;
    }
    case plat::kSbPageDown:
      t = g.rightColumn - g.leftColumn;
      break;
    case plat::kSbThumbPosition:
      t = position - g.leftColumn;
      break;
    default:
      return;
  }
  GridScrollColumns(g, t);
}

void Wheel(GridRecord& g, int delta) {
  g.wheelDelta += delta;
  while (g.wheelDelta < -(kWheelNotch - 1)) {
    GridScrollRows(g, 1);
    g.wheelDelta += kWheelNotch;
  }
  while (g.wheelDelta > kWheelNotch - 1) {
    GridScrollRows(g, -1);
    g.wheelDelta -= kWheelNotch;
  }
}

// ---------------------------------------------------------------------------
// Painting

struct CheckPictures {
  plat::Surface unchecked, checked, uncheckedSelected, checkedSelected;
};

/// The four pictures of a check-box column: an off-screen check box of the
/// prototype's style painted unchecked and checked, and their selected look.
CheckPictures MakeCheckPictures(const GridRecord& g, const GridColumn& c) {
  CheckPictures p;
  const std::string caption = plat::GetWindowText(c.prototype);
  plat::CreateParams cp;
  cp.className = plat::kButtonClass;
  cp.title = caption;
  cp.style = (plat::GetStyle(c.prototype) & ~(plat::kStyleVisible | plat::kWsBorder)) |
             plat::kStyleChild;
  cp.rect = {0, 0, std::max(1, c.width), std::max(1, g.rowHeight)};
  cp.parent = g.cellArea;
  const plat::Hwnd box = plat::CreateWindow(cp);
  if (box == plat::kNoWindow) return p;
  plat::SetControlFont(box, g.font);
  plat::ButtonSetCheck(box, plat::kUnchecked);
  plat::PaintInto(box, p.unchecked);
  plat::ButtonSetCheck(box, plat::kChecked);
  plat::PaintInto(box, p.checked);
  plat::DestroyWindow(box);
  plat::Surface scratch;
  MakeHighlightBitmap(p.unchecked, p.uncheckedSelected, scratch);
  MakeHighlightBitmap(p.checked, p.checkedSelected, scratch);
  return p;
}

struct CellColours {
  plat::Pixel text;
  plat::Pixel background;
};

/// The colours of a text cell, first rule that applies.
CellColours ColoursOf(const GridRecord& g, const GridColumn& c, int row, bool selected,
                      const DialogField* field) {
  if (!plat::IsWindowEnabled(g.window)) return {plat::kColourGreyText, plat::kColourFace};
  if (selected) return {plat::kColourSelectionText, plat::kColourSelection};
  if ((GridStyleOf(g) & kGridReadOnly) ||
      (c.cellFlags[static_cast<std::size_t>(row)] & kCellLocked))
    return {plat::kColourText, plat::kColourFace};
  std::int32_t text = c.settings.textColour;
  std::int32_t back = c.settings.backgroundColour;
  if (!c.cellColours.empty()) {
    const CellColour& cc = c.cellColours[static_cast<std::size_t>(row)];
    if (cc.flags & 1) text = cc.text[0] + 256 * cc.text[1] + 65536 * cc.text[2];
    if (cc.flags & 2) back = cc.background[0] + 256 * cc.background[1] + 65536 * cc.background[2];
  }
  if (text == -1 && field != nullptr) text = field->rec.textColour;
  if (back == -1 && field != nullptr) back = field->rec.backgroundColour;
  return {text == -1 ? plat::kColourText : ColourOf(text),
          back == -1 ? plat::kColourWindow : ColourOf(back)};
}

void PaintCellArea(plat::Hwnd h) {
  GridRecord* gp = GridOfCellArea(h);
  plat::PaintContext ctx = plat::BeginPaint(h);
  if (gp == nullptr || ctx.surface == nullptr || !gp->built) {
    if (ctx.surface != nullptr) {
      plat::Canvas cv(*ctx.surface, ctx.origin, ctx.clip);
      cv.FillRect(plat::GetClientRect(h), plat::Brush::Solid(plat::kColourFace));
    }
    plat::EndPaint(h, ctx);
    return;
  }
  GridRecord& g = *gp;
  plat::Canvas cv(*ctx.surface, ctx.origin, ctx.clip);
  const plat::Rect area = plat::GetClientRect(h);
  const int step = g.rowHeight - 1;
  const int rows = g.topRow + g.visibleRows < g.rowCount ? g.shownRows
                                                         : std::min(g.visibleRows, g.rowCount);
  const int lastColumn = std::min(g.rightColumn + 1, g.columnCount - 1);
  const int lineEnd = std::min(g.rightColumn + 1, g.columnCount);
  const int right = GridColumnLine(g, lineEnd);
  const int bottom = rows * step;
  // The background right of the last column and below the last row.
  cv.FillRect({right + 1, area.top, area.right, area.bottom}, plat::Brush::Solid(plat::kColourFace));
  cv.FillRect({area.left, bottom + 1, area.right, area.bottom}, plat::Brush::Solid(plat::kColourFace));
  // Grid lines with the default pen.
  cv.SetPen(plat::Pen::Solid(plat::kColourText));
  for (int j = g.leftColumn; j <= lineEnd; ++j) {
    const int x = GridColumnLine(g, j);
    cv.MoveTo({x, 0});
    cv.LineTo({x, bottom + 1});
  }
  for (int i = 0; i <= rows; ++i) {
    cv.MoveTo({0, i * step});
    cv.LineTo({right + 1, i * step});
  }
  const DialogField* field = GridField(g);
  const bool focusInside =
      plat::GetFocus() == g.window || plat::IsChild(g.window, plat::GetFocus());
  const bool enabled = plat::IsWindowEnabled(g.window);
  const plat::Font* font = g.font.get();
  for (int j = g.leftColumn; j <= lastColumn; ++j) {
    const GridColumn& c = g.columns[static_cast<std::size_t>(j)];
    const int x0 = GridColumnLine(g, j);
    const int x1 = x0 + c.width - 1;
    if (plat::Rect{x0, 0, x1 + 1, bottom + 1}.Intersect(ctx.clip).Empty()) continue;
    std::optional<CheckPictures> pictures;
    if (c.type == kColumnCheckBox) pictures = MakeCheckPictures(g, c);
    for (int i = 0; i < rows; ++i) {
      const int row = g.topRow + i;
      if (row >= g.rowCount) break;
      const plat::Rect interior{x0 + 1, i * step + 1, x1, (i + 1) * step};
      if (interior.Intersect(ctx.clip).Empty()) continue;
      const bool selected = enabled && focusInside && GridCellInSelection(g, j, row);
      if (c.type == kColumnCheckBox) {
        const bool checked = c.ints[static_cast<std::size_t>(row)] != 0;
        const plat::Surface& pic = checked ? (selected ? pictures->checkedSelected : pictures->checked)
                                           : (selected ? pictures->uncheckedSelected : pictures->unchecked);
        if (pic.Width() > 0)
          cv.BitBlt({interior.left, interior.top}, interior.Width(), interior.Height(), pic, {0, 0},
                    plat::kSrcCopy);
        continue;
      }
      const CellColours colours = ColoursOf(g, c, row, selected, field);
      cv.FillRect(interior, plat::Brush::Solid(colours.background));
      const std::string text = GridCellText(g, j, row, 1);
      if (text.empty() || font == nullptr) continue;
      plat::TextStyle style;
      style.colour = colours.text;
      const int textHeight = font->Metrics().height;
      plat::Point at{interior.left + kTextMargin, interior.top + (interior.Height() - textHeight) / 2};
      plat::Rect clip = interior;
      if (c.type == kColumnOption) {
        at = {interior.left + kOptionTextInset, interior.top + kOptionTextInset};
      } else {
        // Placed as the prototype places its text: by its alignment style.
        const unsigned align = plat::GetStyle(c.prototype) & (plat::kEsCenter | plat::kEsRight);
        const int width = font->TextExtent(text).width;
        if (align & plat::kEsRight)
          at.x = interior.right - kTextMargin - width;
        else if (align & plat::kEsCenter)
          at.x = interior.left + (interior.Width() - width) / 2;
        clip.left -= 1;
      }
      const plat::Rect surfaceClip = clip.Intersect(ctx.clip).Offset(ctx.origin.x, ctx.origin.y);
      plat::DrawText(*ctx.surface, *font, {at.x + ctx.origin.x, at.y + ctx.origin.y}, text, style,
                     surfaceClip);
    }
  }
  plat::EndPaint(h, ctx);
}

// ---------------------------------------------------------------------------
// Editor colours

plat::HMenu BuildContextMenu(GridRecord& g, plat::Hwnd target) {
  const plat::HMenu menu = plat::CreateMenu();
  const bool block = g.selFirstRow != -1;
  const bool readOnly = (GridStyleOf(g) & kGridReadOnly) != 0;
  const bool editEditor = target == g.editor && g.editor != plat::kNoWindow &&
                          SameClass(plat::GetClassName(g.editor), plat::kEditClass);
  const bool writableEditor =
      editEditor && !readOnly && !(plat::GetStyle(g.editor) & plat::kEsReadOnly);
  bool textSelected = false, allSelected = true, hasText = false;
  if (editEditor) {
    const auto [from, to] = plat::EditGetSel(g.editor);
    const int length = static_cast<int>(plat::GetWindowText(g.editor).size());
    textSelected = to > from;
    hasText = length > 0;
    allSelected = from == 0 && to >= length;
  }
  const auto add = [&](int id, std::string_view text, bool enabled) {
    plat::MenuEntry e;
    e.id = id;
    e.text = std::string(text);
    e.greyed = !enabled;
    plat::InsertMenuEntry(menu, -1, e);
  };
  const auto separator = [&] {
    plat::MenuEntry e;
    e.kind = plat::MenuEntry::Kind::Separator;
    plat::InsertMenuEntry(menu, -1, e);
  };
  // The edit editor keeps no undo history: Undo stays greyed.
  add(kCmdUndo, "&Undo", false);
  separator();
  const bool blockWritable = block && GridSelectionWritable(g);
  const int clipKind = GridClipboardKind();
  add(block ? kCmdBlockCut : kCmdCut, "Cu&t", block ? blockWritable : writableEditor && textSelected);
  add(block ? kCmdBlockCopy : kCmdCopy, "&Copy", block || (editEditor && textSelected));
  if (clipKind == 2)
    add(kCmdBlockPaste, "&Paste", GridPasteTargetWritable(g));
  else
    add(kCmdPaste, "&Paste", clipKind == 1 && writableEditor);
  add(block ? kCmdBlockDelete : kCmdDelete, "&Delete",
      block ? blockWritable : writableEditor && textSelected);
  separator();
  add(kCmdSelectAll, "Select &All", !block && editEditor && hasText && !allSelected);
  return menu;
}

void OpenContextMenu(GridRecord& g, plat::Hwnd target, plat::Point screen) {
  g.menuTarget = target;
  const plat::HMenu menu = BuildContextMenu(g, target);
  const int chosen = plat::TrackPopupMenu(menu, screen, g.window);
  plat::DestroyMenu(menu);
  if (chosen != 0) plat::SendMessage(g.window, plat::Msg::Command, plat::MakeWParam(chosen, 0), 0);
}

/// The context-menu commands the grid carries out.
void ContextCommand(GridRecord& g, int id) {
  switch (id) {
    case kCmdSelectAll:
      if (g.menuTarget != plat::kNoWindow &&
          SameClass(plat::GetClassName(g.menuTarget), plat::kEditClass)) {
        plat::EditSetSel(g.menuTarget, 0, -1);
        plat::EditScrollCaret(g.menuTarget);
      }
      break;
    case kCmdBlockCut:
      GridCutSelection(g);
      break;
    case kCmdBlockCopy:
      GridCopySelection(g);
      break;
    case kCmdBlockPaste:
      GridPasteClipboard(g);
      break;
    case kCmdBlockDelete:
      GridClearSelection(g);
      break;
    case kCmdCut:
    case kCmdCopy:
    case kCmdPaste:
    case kCmdDelete:
      if (g.menuTarget != plat::kNoWindow && g.menuTarget == g.editor &&
          SameClass(plat::GetClassName(g.menuTarget), plat::kEditClass))
        EditorClipboardCommand(g, g.menuTarget,
                               id == kCmdCut     ? EditorClipCommand::Cut
                               : id == kCmdCopy  ? EditorClipCommand::Copy
                               : id == kCmdPaste ? EditorClipCommand::Paste
                                                 : EditorClipCommand::Clear);
      break;
    default:
      break;
  }
}

/// The colours the editor asks for; false leaves the default.
bool EditorColours(GridRecord& g, plat::Msg m, plat::ControlColours& colours) {
  if (plat::GetParent(colours.control) != g.cellArea) return false;
  const bool focusInside =
      plat::GetFocus() == g.window || plat::IsChild(g.window, plat::GetFocus());
  if (focusInside && GridCellInSelection(g, g.currentColumn, g.currentRow)) {
    colours.text = plat::kColourSelectionText;
    colours.background = plat::kColourSelection;
    return true;
  }
  const DialogField* field = GridField(g);
  std::int32_t text = g.editorField.rec.textColour;
  std::int32_t back = g.editorField.rec.backgroundColour;
  if (text == -1 && field != nullptr) text = field->rec.textColour;
  if (back == -1 && field != nullptr) back = field->rec.backgroundColour;
  const bool checkBox = m == plat::Msg::CtlColourButton ||
                        (g.columns.size() > static_cast<std::size_t>(g.currentColumn) &&
                         g.columns[static_cast<std::size_t>(g.currentColumn)].type == kColumnCheckBox);
  if (text == -1 && back == -1) return false;
  if (back != -1) {
    colours.background = ColourOf(back);
    colours.text = text != -1 ? ColourOf(text) : plat::kColourText;
  } else {
    colours.text = ColourOf(text);
    colours.background = checkBox ? plat::kColourFace : plat::kColourWindow;
  }
  return true;
}

// ---------------------------------------------------------------------------
// Window procedures

plat::LResult GridWndProc(plat::Hwnd h, plat::Msg m, plat::WParam w, plat::LParam l) {
  if (m == plat::Msg::Create) return CreateRecord(h) ? 0 : -1;
  GridRecord* gp = GridOf(h);
  if (gp == nullptr) return plat::DefWindowProc(h, m, w, l);
  GridRecord& g = *gp;
  switch (m) {
    case plat::Msg::Size:
      plat::PlaceWindowScrollBars(h);
      LayoutOnResize(g);
      return 0;
    case plat::Msg::SetFocus:
      GridTakeFocus(g, static_cast<plat::Hwnd>(w));
      return 0;
    case plat::Msg::Enable:
      if (w != 0)
        GridCreateEditor(g);
      else
        GridDestroyEditor(g);
      for (GridColumn& c : g.columns) plat::EnableWindow(c.prototype, w != 0);
      if (g.cellArea != plat::kNoWindow) plat::InvalidateRect(g.cellArea, std::nullopt, true);
      return 0;
    case plat::Msg::VScroll:
      if (l != 0) return plat::DefWindowProc(h, m, w, l);
      VerticalScroll(g, plat::LowWord(w), plat::HighWord(w));
      return 0;
    case plat::Msg::HScroll:
      if (l != 0) return plat::DefWindowProc(h, m, w, l);
      HorizontalScroll(g, plat::LowWord(w), plat::HighWord(w));
      return 0;
    case plat::Msg::MouseWheel:
      Wheel(g, plat::SignedHigh(w));
      return 0;
    case plat::Msg::Notify: {
      if (l == 0) return 0;
      const auto& hdr = *reinterpret_cast<const plat::NotifyHeader*>(l);
      // Column widths are the template's: a divider drag is refused. A click
      // on a header item selects whole columns or rows (the selection).
      if (hdr.code == plat::kHdnBeginTrack) return 1;
      if (hdr.code == plat::kHdnItemClick)
        GridHeaderClick(g, hdr.from, reinterpret_cast<const plat::HeaderNotify*>(l)->item);
      return 0;
    }
    case plat::Msg::Command:
      if (l == 0) ContextCommand(g, plat::LowWord(w));
      return 0;
    case plat::Msg::Destroy:
      GridRelease(g);
      return 0;
    default:
      break;
  }
  if (m == kGmBuildColumns) {
    LoadedDialog* d = reinterpret_cast<LoadedDialog*>(w);
    return d ? GridBuildColumns(g, *d, reinterpret_cast<const std::vector<int>*>(l)) : 0;
  }
  if (m == kGmReadLabels)
    return GridReadLabels(g, static_cast<int>(w),
                          *reinterpret_cast<const std::vector<std::string>*>(l));
  if (m == kGmUpdateScroll) {
    GridUpdateScroll(g);
    return 0;
  }
  if (m == kGmSetSize) {
    GridSetSize(g, static_cast<int>(w), static_cast<int>(l));
    return 0;
  }
  if (m == kGmDisplayOnly) {
    g.built = 1;
    g.displayOnly = 1;
    return 0;
  }
  return plat::DefWindowProc(h, m, w, l);
}

plat::LResult GridClientWndProc(plat::Hwnd h, plat::Msg m, plat::WParam w, plat::LParam l) {
  GridRecord* g = GridOfCellArea(h);
  switch (m) {
    case plat::Msg::Paint:
      PaintCellArea(h);
      return 0;
    case plat::Msg::EraseBackground:
      return 1;  // the paint covers everything
    case plat::Msg::Size:
      if (g != nullptr && g->cellArea == h) CellAreaResized(*g, plat::HighWord(static_cast<std::uintptr_t>(l)));
      return 0;
    case plat::Msg::LButtonDown:
    case plat::Msg::RButtonDown:
      if (g != nullptr) GridCellAreaButton(*g, m, w, plat::LParamToPoint(l));
      return 0;
    case plat::Msg::MouseMove:
      if (g != nullptr && (w & plat::kMkLButton)) GridDragSelect(*g, plat::LParamToPoint(l));
      return 0;
    case plat::Msg::Command:
      if (g != nullptr && l != 0 && static_cast<plat::Hwnd>(l) == g->editor)
        GridEditorCommand(*g, plat::HighWord(w));
      return 0;
    case plat::Msg::Notify:
      if (g != nullptr && l != 0 &&
          GridEditorSpinNotify(*g, *reinterpret_cast<const plat::NotifyHeader*>(l)))
        return 1;
      return 0;
    case plat::Msg::RButtonUp:
      if (g != nullptr)
        OpenContextMenu(*g, h, plat::ClientToScreen(h, plat::LParamToPoint(l)));
      return 0;
    case plat::Msg::NcHitTest:
      if (g != nullptr && g->displayOnly) return plat::kHtTransparent;
      return plat::DefWindowProc(h, m, w, l);
    case plat::Msg::CtlColourEdit:
    case plat::Msg::CtlColourButton:
    case plat::Msg::CtlColourStatic:
    case plat::Msg::CtlColourListBox:
      if (g == nullptr || l == 0) return 0;
      return EditorColours(*g, m, *reinterpret_cast<plat::ControlColours*>(l)) ? 1 : 0;
    default:
      return plat::DefWindowProc(h, m, w, l);
  }
}

void ResetGridModule() {
  RepaintCellsAtOnce() = 1;
  GridResizing() = 0;
  ResetGridEditing();
}

[[maybe_unused]] const bool kResetRegistered =
    RegisterToolkitReset(ToolkitLayer::Dialogs, ResetGridModule);

}  // namespace

// ---------------------------------------------------------------------------
// Shared with the other grid files

void GridOpenContextMenu(GridRecord& g, plat::Hwnd target, plat::Point screen) {
  OpenContextMenu(g, target, screen);
}

int& RepaintCellsAtOnce() {
  static int now = 1;
  return now;
}

void GridSubclassHeader(plat::Hwnd h) {
  plat::SetWindowCursor(h, plat::CursorShape::Arrow);
  auto own = std::make_shared<plat::WindowProc>();
  *own = plat::SetWindowProc(
      h, [own](plat::Hwnd hw, plat::Msg m, plat::WParam w, plat::LParam l) -> plat::LResult {
        if (m == plat::Msg::NcHitTest) {
          const GridRecord* g = GridOf(plat::GetParent(hw));
          if (g != nullptr && g->displayOnly) return plat::kHtTransparent;
          return plat::DefWindowProc(hw, m, w, l);
        }
        const plat::WindowProc previous = *own;
        return previous(hw, m, w, l);
      });
}

int GridCellAreaWidth(const GridRecord& g) {
  return g.cellArea == plat::kNoWindow ? 0 : plat::GetClientRect(g.cellArea).Width();
}

int GridColumnLine(const GridRecord& g, int column) {
  int x = 0;
  for (int j = g.leftColumn; j < column && j < g.columnCount; ++j)
    x += g.columns[static_cast<std::size_t>(j)].width - 1;
  return x;
}

int GridLastFittingColumn(const GridRecord& g, int first, int width) {
  int total = 1;
  int last = first;
  for (int j = first; j < g.columnCount; ++j) {
    total += g.columns[static_cast<std::size_t>(j)].width - 1;
    if (total > width) break;
    last = j;
  }
  return std::min(last, std::max(0, g.columnCount - 1));
}

void GridUpdateScroll(GridRecord& g) {
  g.scrollScale = 1;
  int s = g.rowCount;
  while (s > kMaxScrollUnits) {
    s /= 2;
    g.scrollScale *= 2;
  }
  if (plat::GetStyle(g.window) & plat::kWsVScroll)
    plat::SetWindowScrollInfo(g.window, true, 0, std::max(0, s - 1), g.visibleRows / g.scrollScale,
                              g.topRow / g.scrollScale);
  const int width = GridCellAreaWidth(g);
  int total = 1;
  int firstFitting = g.columnCount;
  for (int j = g.columnCount - 1; j >= 0; --j) {
    total += g.columns.empty() ? 0 : g.columns[static_cast<std::size_t>(j)].width - 1;
    if (total > width) break;
    firstFitting = j;
  }
  const int fitting = g.columnCount - firstFitting;
  g.maxLeftColumn = firstFitting > 0 ? firstFitting : 0;
  if (plat::GetStyle(g.window) & plat::kWsHScroll)
    plat::SetWindowScrollInfo(g.window, false, 0, std::max(0, g.columnCount - 1), fitting,
                              g.leftColumn);
  if (!g.columns.empty()) g.rightColumn = GridLastFittingColumn(g, g.leftColumn, width);
}

void GridScrollRows(GridRecord& g, int t) {
  // A grid on its last page still scrolls up: only the lower bound of the
  // downward move may be 0.
  const int most = std::max(0, g.rowCount - g.visibleRows - g.topRow);
  t = std::clamp(t, -g.topRow, most);
  if (t == 0) return;
  const int modified = g.modified, changed = g.changed;
  GridDeselect(g);
  GridStoreEditor(g);
  g.topRow += t;
  plat::SetWindowScrollPos(g.window, true, g.topRow / g.scrollScale);
  const int dy = -t * (g.rowHeight - 1);
  const bool focusInside =
      plat::GetFocus() == g.window || plat::IsChild(g.window, plat::GetFocus());
  if (plat::IsWindowVisible(g.cellArea)) {
    plat::ScrollWindowContents(g.cellArea, 0, dy);
  } else if (g.editor != plat::kNoWindow) {
    plat::MoveWindow(g.editor, plat::GetWindowRect(g.editor).Offset(0, dy), false);
  }
  const int row = std::min(std::max(g.currentRow, g.topRow), g.topRow + g.visibleRows - 1);
  GridMoveCurrentCell(g, g.currentColumn, std::max(0, row), false);
  if (focusInside && g.editor != plat::kNoWindow) plat::SetFocus(g.editor);
  GridRefreshRowLabels(g);
  if (g.visibleRows < g.shownRows && !g.labelWindows.empty() &&
      static_cast<int>(g.labelWindows.size()) >= g.shownRows) {
    const plat::Hwnd last = g.labelWindows[static_cast<std::size_t>(g.shownRows - 1)];
    plat::ShowWindow(last, g.topRow + g.visibleRows < g.rowCount ? plat::ShowCmd::ShowNoActivate
                                                                 : plat::ShowCmd::Hide);
  }
  plat::UpdateWindow(g.cellArea);
  g.modified = modified;
  g.changed = changed;
}

void GridScrollColumns(GridRecord& g, int t) {
  t = std::clamp(t, -g.leftColumn, std::max(0, g.maxLeftColumn - g.leftColumn));
  if (t == 0) return;
  GridDeselect(g);
  const int from = g.leftColumn;
  g.leftColumn += t;
  plat::SetWindowScrollPos(g.window, false, g.leftColumn);
  g.rightColumn = GridLastFittingColumn(g, g.leftColumn, GridCellAreaWidth(g));
  int dx = 0;
  for (int j = std::min(from, g.leftColumn); j < std::max(from, g.leftColumn); ++j)
    dx += g.columns[static_cast<std::size_t>(j)].width - 1;
  dx = t < 0 ? dx : -dx;
  const bool focusInside =
      plat::GetFocus() == g.window || plat::IsChild(g.window, plat::GetFocus());
  if (plat::IsWindowVisible(g.cellArea)) {
    plat::ScrollWindowContents(g.cellArea, dx, 0);
  } else if (g.editor != plat::kNoWindow) {
    plat::MoveWindow(g.editor, plat::GetWindowRect(g.editor).Offset(dx, 0), false);
  }
  SetColumnHeaderWidths(g);
  const int column = std::min(std::max(g.currentColumn, g.leftColumn), g.rightColumn);
  GridMoveCurrentCell(g, column, g.currentRow, false);
  if (focusInside && g.editor != plat::kNoWindow) plat::SetFocus(g.editor);
  plat::UpdateWindow(g.cellArea);
  if (g.columnHeader != plat::kNoWindow) plat::UpdateWindow(g.columnHeader);
}

void GridRefreshRowLabels(GridRecord& g) {
  if (!(GridStyleOf(g) & kGridRowLabels)) return;
  const int n = g.topRow + g.visibleRows < g.rowCount ? g.shownRows
                                                      : std::min(g.visibleRows, g.rowCount);
  for (int i = 0; i < n && i < static_cast<int>(g.labelWindows.size()); ++i) {
    const plat::Hwnd h = g.labelWindows[static_cast<std::size_t>(i)];
    const int row = g.topRow + i;
    std::optional<plat::HeaderItem> item = plat::HeaderGetItem(h, 0);
    if (item) {
      item->text = row < static_cast<int>(g.rowLabels.size()) ? g.rowLabels[static_cast<std::size_t>(row)]
                                                               : std::string();
      plat::HeaderSetItem(h, 0, *item);
    }
    plat::ShowWindow(h, row < g.rowCount ? plat::ShowCmd::ShowNoActivate : plat::ShowCmd::Hide);
    plat::UpdateWindow(h);
  }
}

void GridInvalidateCell(GridRecord& g, int column, int row, int now) {
  if (g.cellArea == plat::kNoWindow) return;
  if (row < g.topRow || row >= g.topRow + g.shownRows) return;
  if (column < g.leftColumn || column > g.rightColumn + 1 || column >= g.columnCount) return;
  const int step = g.rowHeight - 1;
  const int x0 = GridColumnLine(g, column);
  const int x1 = x0 + g.columns[static_cast<std::size_t>(column)].width - 1;
  const int y0 = (row - g.topRow) * step;
  const int bottom = std::min(y0 + step, plat::GetClientRect(g.cellArea).bottom);
  plat::InvalidateRect(g.cellArea, plat::Rect{x0, y0, x1 + 1, bottom + 1}, false);
  if (now) plat::UpdateWindow(g.cellArea);
}

void GridRepaintColumn(GridRecord& g, int column) {
  if (g.cellArea == plat::kNoWindow || column < g.leftColumn || column > g.rightColumn + 1 ||
      column >= g.columnCount)
    return;
  const int x0 = GridColumnLine(g, column);
  const int x1 = x0 + g.columns[static_cast<std::size_t>(column)].width - 1;
  plat::InvalidateRect(g.cellArea, plat::Rect{x0, 0, x1 + 1, plat::GetClientRect(g.cellArea).bottom},
                       false);
  plat::UpdateWindow(g.cellArea);
}

void MakeHighlightBitmap(const plat::Surface& picture, plat::Surface& result,
                         plat::Surface& scratch) {
  // The mask of button-face pixels, then the highlight kept under it and
  // the picture everywhere else.
  scratch.Resize(picture.Width(), picture.Height(), 0);
  result.Resize(picture.Width(), picture.Height(), plat::kColourSelection);
  for (int y = 0; y < picture.Height(); ++y)
    for (int x = 0; x < picture.Width(); ++x) {
      const bool face = picture.Get(x, y) == plat::kColourFace;
      scratch.Set(x, y, face ? 0xFFFFFF : 0);
      result.Set(x, y, face ? plat::kColourSelection : picture.Get(x, y));
    }
}

void GridSetFont(GridRecord& g, std::shared_ptr<const plat::Font> font) {
  g.font = std::move(font);
  g.rowHeight = MeasureRowHeight(g);
  g.visibleRows = std::max(0, (g.initialClientHeight - 1) / (g.rowHeight - 1));
  if (!(GridStyleOf(g) & kGridKeepHeight) && !g.displayOnly) SnapHeight(g);
  if (g.columnHeader != plat::kNoWindow) {
    plat::SetControlFont(g.columnHeader, g.font);
    const plat::Rect r = plat::GetWindowRect(g.columnHeader);
    plat::MoveWindow(g.columnHeader, {r.left, r.top, r.right, r.top + g.rowHeight + 1});
    g.headerHeight = g.rowHeight + 1;
    g.visibleRows = std::max(0, g.visibleRows - 1);
  }
}

void RegisterGridClasses() {
  if (plat::IsClassRegistered(kGridClass)) return;
  // The grid-print settings are made afresh from the printer of this start.
  GridPageSetupForget();
  (void)plat::RegisterControls();
  plat::WindowClass grid;
  grid.name = std::string(kGridClass);
  grid.proc = GridWndProc;
  grid.background = plat::kColourFace;
  plat::RegisterWindowClass(grid);
  plat::WindowClass client;
  client.name = std::string(kGridClientClass);
  client.proc = GridClientWndProc;
  client.background = plat::kColourFace;
  plat::RegisterWindowClass(client);
  CellChangeMessage() = plat::RegisterWindowMessage("GM_CELLCHANGE");
  SetGridLink(GridLink{
      [](LoadedDialog&, DialogField& f, const ExtrasEntry& e) {
        if (GridRecord* g = GridOf(f.hwnd)) GridBuildFromExtras(*g, e);
      },
      [](plat::Hwnd grid, int emptyLists) {
        if (GridRecord* g = GridOf(grid)) GridClearAllCells(*g, emptyLists);
      },
      GridEditorField, CellChangeMessage(), [](plat::Hwnd grid) {
        if (GridRecord* g = GridOf(grid)) GridReadOnlyChanged(*g);
      }});
}

plat::Msg GridCellChangeMessage() {
  return CellChangeMessage();
}

void GridSuspendRepaint() {
  RepaintCellsAtOnce() = 0;
}

void GridResumeRepaint(int field) {
  RepaintCellsAtOnce() = 1;
  if (GridRecord* g = FindGrid(field); g != nullptr && g->cellArea != plat::kNoWindow)
    plat::UpdateWindow(g->cellArea);
}

}  // namespace tk
