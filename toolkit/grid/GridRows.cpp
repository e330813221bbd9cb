// The routines that change a grid's shape rather than single values: the
// number of rows in use, inserting and deleting rows, row labels, emptying
// a cell and moving the current cell. Rows beyond the count in use keep
// their contents; only inserting and deleting move cells, through the cell
// routines, so that a value outside its column's range is refused there.
#include <algorithm>
#include <cstdint>

#include "platform/controls/Controls.h"
#include "toolkit/core/Errors.h"
#include "toolkit/dialogs/Dialogs.h"
#include "toolkit/grid/Grid.h"
#include "toolkit/grid/GridEditorWindow.h"
#include "toolkit/grid/GridModel_p.h"
#include "toolkit/grid/GridValues_p.h"

namespace tk {

namespace {

/// A moved label or string cell is read into a text of this size.
constexpr std::size_t kMoveTextLength = 32768;
/// A number cell's text is looked at in this many characters.
constexpr std::size_t kNumberTextCheck = 50;

void ShowLabel(GridRecord& g, int index, bool show) {
  if (index < 0 || index >= static_cast<int>(g.labelWindows.size())) return;
  const plat::Hwnd h = g.labelWindows[static_cast<std::size_t>(index)];
  if (h != plat::kNoWindow) plat::ShowWindow(h, show ? plat::ShowCmd::ShowNoActivate : plat::ShowCmd::Hide);
}

/// Moves the cell of column C (from 1) from row FROM to row TO (from 1).
void MoveCell(int field, const GridColumn& column, int c, int from, int to) {
  switch (column.type) {
    case kColumnString: {
      int f = field;
      std::string text;
      GridReadCellText(f, c - 1, from - 1, text, kMoveTextLength);
      if (f != field) {
        ReportLibraryError(GridStatusError(f), "WGridGetCellString");
        return;
      }
      GridStoreCellValue(f, c - 1, to - 1, 0.0, text, "");
      if (f != field) ReportLibraryError(GridStatusError(f), "WGridPutCellString");
      return;
    }
    case kColumnInteger:
    case kColumnReal:
    case kColumnDouble: {
      std::string text(kNumberTextCheck, ' ');
      WGridGetCellString(field, c, from, text);
      if (text.find_first_not_of(' ') == std::string::npos) {
        WGridClearCell(field, c, to);
      } else if (column.type == kColumnInteger) {
        std::int32_t v = 0;
        WGridGetCellInteger(field, c, from, v);
        WGridPutCellInteger(field, c, to, v);
      } else if (column.type == kColumnReal) {
        float v = 0.0f;
        WGridGetCellReal(field, c, from, v);
        WGridPutCellReal(field, c, to, v);
      } else {
        double v = 0.0;
        WGridGetCellDouble(field, c, from, v);
        WGridPutCellDouble(field, c, to, v);
      }
      return;
    }
    case kColumnCheckBox: {
      std::int32_t state = 0;
      WGridGetCellCheckBox(field, c, from, state);
      WGridPutCellCheckBox(field, c, to, state);
      return;
    }
    case kColumnOption: {
      std::int32_t option = 0;
      WGridGetCellMenu(field, c, from, option);
      WGridPutCellOption(field, c, to, option);
      return;
    }
    default:
      return;
  }
}

/// Empties the cell as the insert and delete routines do: an option cell
/// gets its first option.
void EmptyCell(int field, const GridColumn& column, int c, int row) {
  if (column.type == kColumnOption)
    WGridPutCellOption(field, c, row, 1);
  else
    WGridClearCell(field, c, row);
}

void MoveLabel(int field, int from, int to) {
  int f = field;
  std::string label;
  GridRowLabel(f, from - 1, label, kMoveTextLength);
  WGridLabelRow(field, to, label);
}

/// The checks the insert and delete routines share: the grid, with row R
/// (from 1) in use. Null after reporting under NAME.
GridRecord* RowRoutineGrid(int field, int r, std::string_view name) {
  if (GridNeedsDialog(field, name)) return nullptr;
  GridRecord* g = FindGrid(field);
  if (g == nullptr) {
    ReportLibraryError(kErrBadField, name);
    return nullptr;
  }
  if (r < 1 || r > g->rowCount) {
    ReportLibraryError(kErrCellOutside, name);
    return nullptr;
  }
  return g;
}

}  // namespace

// ---------------------------------------------------------------------------
// Operations

void GridApplyRowCount(GridRecord& g, int field, int n) {
  GridDeselect(g);
  GridSaveCellEditor(g);
  const bool labels = (GridStyleOf(g) & kGridRowLabels) != 0;
  if (labels && n > g.rowCount && g.rowCount <= g.visibleRows) {
    const int end = std::min({n, g.visibleRows + 1, g.rowCapacity});
    for (int i = g.rowCount; i < end; ++i) ShowLabel(g, i, true);
  }
  g.rowCount = n;
  const int m = std::min(g.shownRows, g.rowCapacity);
  if (labels && g.rowCount < m)
    for (int i = g.rowCount; i < m; ++i) ShowLabel(g, i, false);
  if (g.currentRow >= g.rowCount || g.topRow + g.visibleRows - 1 >= g.rowCount) {
    const plat::Hwnd focus = plat::GetFocus();
    const bool inEditor = g.editor != plat::kNoWindow && focus == g.editor;
    GridDestroyCellEditor(g);
    if (g.currentRow >= g.rowCount) {
      g.currentRow = g.rowCount - 1;
      if (field != 0) {
        LoadedDialog* d = CurrentDialog();
        if (d != nullptr && d->rec.currentField == plat::GetWindowId(g.window))
          d->rec.lastCell = GridPackedCell(g.currentColumn, g.currentRow);
      }
    }
    g.topRow = std::max(0, g.currentRow - g.visibleRows + 1);
    GridRefreshRowLabels(g);
    GridCreateCellEditor(g);
    if (inEditor && g.editor != plat::kNoWindow) plat::SetFocus(g.editor);
    LoadedDialog* d = CurrentDialog();
    const plat::Hwnd now = plat::GetFocus();
    if (d != nullptr && plat::IsWindowVisible(d->hwnd) && plat::IsWindowEnabled(d->hwnd) &&
        now != plat::kNoWindow && (now == g.window || plat::IsChild(g.window, now)))
      plat::SetFocus(g.window);
  }
  GridUpdateScroll(g);
  if (g.cellArea != plat::kNoWindow) {
    plat::InvalidateRect(g.cellArea, std::nullopt, true);
    plat::UpdateWindow(g.cellArea);
  }
  if (field == 0) GridWindowFitCurrent();
}

void GridStoreRowLabel(int& field, int row, std::string_view text, std::size_t size) {
  GridRecord* g = FindGrid(field);
  if (g == nullptr || !(GridStyleOf(*g) & kGridRowLabels) || row < 0 ||
      row >= static_cast<int>(g->rowLabels.size()))
    return;
  const std::size_t n = std::min({text.size(), std::min(size, kRowLabelLength + 1) - 1});
  g->rowLabels[static_cast<std::size_t>(row)] = std::string(text.substr(0, n));
  if (row >= g->topRow && row < g->topRow + g->shownRows) {
    const int index = row - g->topRow;
    if (index < static_cast<int>(g->labelWindows.size())) {
      const plat::Hwnd h = g->labelWindows[static_cast<std::size_t>(index)];
      if (std::optional<plat::HeaderItem> item = plat::HeaderGetItem(h, 0)) {
        item->text = g->rowLabels[static_cast<std::size_t>(row)];
        plat::HeaderSetItem(h, 0, *item);
        plat::UpdateWindow(h);
      }
    }
  }
}

void GridRowLabel(int& field, int row, std::string& text, std::size_t size) {
  text.clear();
  GridRecord* g = FindGrid(field);
  if (g == nullptr || !(GridStyleOf(*g) & kGridRowLabels) || row < 0 ||
      row >= static_cast<int>(g->rowLabels.size()))
    return;
  const std::string& label = g->rowLabels[static_cast<std::size_t>(row)];
  text = label.substr(0, std::min(label.size(), std::min(size, kRowLabelLength + 1) - 1));
}

void GridMoveToCell(int& field, int column, int row, int position) {
  GridRecord* g = FindGrid(field);
  if (g == nullptr) {
    field = -1;
    return;
  }
  if (column < 0 || column >= g->columnCount || row < 0 || row >= g->rowCount) {
    field = -2;
    return;
  }
  GridDeselect(*g);
  const plat::Hwnd dlg = plat::GetParent(g->window);
  const bool focus = dlg != plat::kNoWindow && plat::IsWindowVisible(dlg) && plat::IsWindowEnabled(dlg);
  if (focus) plat::SetFocus(dlg);
  GridSetCurrentCell(*g, column, row, focus, false);
  if (!focus) return;
  plat::SetFocus(g->window);
  const plat::Hwnd now = plat::GetFocus();
  if (position >= 0 && now != plat::kNoWindow &&
      (SameClass(plat::GetClassName(now), plat::kEditClass) || IsNumericClass(plat::GetClassName(now)))) {
    plat::EditSetSel(now, position, position);
    plat::EditScrollCaret(now);
  }
}

bool GridSelectionRect(const GridRecord& g, plat::Rect& rect) {
  if (g.selFirstRow == -1) return false;
  if (g.selLastRow < g.topRow || g.selFirstRow >= g.topRow + g.shownRows ||
      g.selLastColumn < g.leftColumn || g.selFirstColumn > g.rightColumn + 1)
    return false;
  const int step = g.rowHeight - 1;
  const int height = g.cellArea != plat::kNoWindow ? plat::GetClientRect(g.cellArea).Height() : 0;
  const int top = std::max(0, (g.selFirstRow - g.topRow) * step);
  const int bottom = std::min(height, (g.selLastRow + 1 - g.topRow) * step);
  int left = 0, right = 0;
  for (int i = g.leftColumn; i < std::min(g.rightColumn + 1, g.columnCount); ++i) {
    const int w = g.columns[static_cast<std::size_t>(i)].width - 1;
    if (i < g.selFirstColumn) left += w;
    if (i <= g.selLastColumn) right += w;
  }
  rect = {left, top, right, bottom};
  return right > left && bottom > top;
}

// ---------------------------------------------------------------------------
// The application's routines

void WGridRows(int field, int n) {
  constexpr std::string_view kName = "WGridRows";
  if (GridNeedsDialog(field, kName)) return;
  GridRecord* g = FindGrid(field);
  if (g == nullptr) {
    ReportLibraryError(kErrBadField, kName);
    return;
  }
  if (n < 1) {
    ReportLibraryError(kErrTooManyRows, kName);
    return;
  }
  GridApplyRowCount(*g, field, std::min(n, g->rowCapacity));
  if (n > g->rowCapacity) ReportLibraryError(kErrTooManyRows, kName);
}

void WGridInsertRows(int field, int row, int count, int grow, int labels) {
  GridRecord* g = RowRoutineGrid(field, row, "WGridInsertRows");
  if (g == nullptr || count < 1) return;
  if (grow == 1) {
    const std::int64_t wanted = std::min<std::int64_t>(std::int64_t{g->rowCount} + count, g->rowCapacity);
    WGridRows(field, static_cast<int>(wanted));
  }
  GridSuspendRepaint();
  const int rows = g->rowCount;
  const std::int64_t firstMoved = std::int64_t{row} + count;  // the first destination row
  for (int c = 1; c <= g->columnCount; ++c) {
    const GridColumn& column = g->columns[static_cast<std::size_t>(c - 1)];
    for (std::int64_t j = rows; j >= firstMoved; --j)
      MoveCell(field, column, c, static_cast<int>(j - count), static_cast<int>(j));
  }
  if (labels == 1)
    for (std::int64_t j = rows; j >= firstMoved; --j)
      MoveLabel(field, static_cast<int>(j - count), static_cast<int>(j));
  // The inserted block is emptied up to the capacity: rows beyond the count
  // in use report 1017 for each cell, rows beyond the capacity are none.
  const int lastEmptied = static_cast<int>(std::min<std::int64_t>(firstMoved - 1, g->rowCapacity));
  for (int c = 1; c <= g->columnCount; ++c) {
    const GridColumn& column = g->columns[static_cast<std::size_t>(c - 1)];
    for (int j = row; j <= lastEmptied; ++j) EmptyCell(field, column, c, j);
  }
  if (labels == 1)
    for (int j = row; j <= lastEmptied; ++j) WGridLabelRow(field, j, "");
  GridResumeRepaint(field);
}

void WGridDeleteRows(int field, int row, int count, int shrink, int labels) {
  GridRecord* g = RowRoutineGrid(field, row, "WGridDeleteRows");
  if (g == nullptr || count < 1) return;
  const int rows = g->rowCount;
  const int k = static_cast<int>(std::min<std::int64_t>(count, std::int64_t{rows} - row + 1));
  GridSuspendRepaint();
  for (int c = 1; c <= g->columnCount; ++c) {
    const GridColumn& column = g->columns[static_cast<std::size_t>(c - 1)];
    for (int j = row; j <= rows - k; ++j) MoveCell(field, column, c, j + k, j);
  }
  if (labels == 1)
    for (int j = row; j <= rows - k; ++j) MoveLabel(field, j + k, j);
  if (shrink == 1) {
    WGridRows(field, rows - k);
  } else {
    for (int c = 1; c <= g->columnCount; ++c) {
      const GridColumn& column = g->columns[static_cast<std::size_t>(c - 1)];
      for (int j = rows - k + 1; j <= rows; ++j) EmptyCell(field, column, c, j);
    }
    if (labels == 1)
      for (int j = rows - k + 1; j <= rows; ++j) WGridLabelRow(field, j, "");
  }
  GridResumeRepaint(field);
}

void WGridLabelRow(int field, int row, std::string_view label) {
  constexpr std::string_view kName = "WGridLabelRow";
  if (GridNeedsDialog(field, kName)) return;
  GridRecord* g = FindGrid(field);
  if (g == nullptr) {
    ReportLibraryError(kErrBadField, kName);
    return;
  }
  if (row < 1 || row > g->rowCapacity) {
    ReportLibraryError(kErrCellOutside, kName);
    return;
  }
  const std::size_t end = label.find_last_not_of(' ');
  const std::string_view text = end == std::string_view::npos ? std::string_view{} : label.substr(0, end + 1);
  int f = field;
  GridStoreRowLabel(f, row - 1, text, text.size() + 1);
}

void WGridClearCell(int field, int column, int row) {
  constexpr std::string_view kName = "WGridClearCell";
  if (GridNeedsDialog(field, kName)) return;
  int f = field;
  GridResetCell(f, column - 1, row - 1, 0);
  if (f != field) ReportLibraryError(GridStatusError(f), kName);
}

void WGridSetCell(int field, int column, int row, std::optional<int> position) {
  constexpr std::string_view kName = "WGridSetCell";
  if (GridNeedsDialog(field, kName)) return;
  int f = field;
  GridMoveToCell(f, column - 1, row - 1, position ? *position - 1 : -1);
  if (f != field) ReportLibraryError(GridStatusError(f), kName);
}

}  // namespace tk
