// Option lists of option-menu columns (one list per column, held by the
// column's prototype and shared by its cells; the editor keeps a copy while
// it serves a cell of the column), the selection operations the grid files
// and commands use, and the Shift+click procedure for spin arrows.
#include <algorithm>
#include <memory>

#include "platform/controls/Controls.h"
#include "platform/window/VirtualKeys.h"
#include "toolkit/core/Errors.h"
#include "toolkit/grid/Grid.h"
#include "toolkit/grid/GridModel_p.h"
#include "toolkit/grid/GridValues_p.h"

namespace tk {

namespace {

/// The grid of FIELD when COLUMN is one of its option-menu columns; else
/// null with FIELD set to -1.
GridRecord* OptionColumnGrid(int& field, int column) {
  GridRecord* g = FindGrid(field);
  if (g == nullptr || column < 0 || column >= g->columnCount ||
      g->columns[static_cast<std::size_t>(column)].type != kColumnOption) {
    field = -1;
    return nullptr;
  }
  return g;
}

/// The editor holds column COLUMN's list while it serves a cell of it.
bool EditorShowsColumn(const GridRecord& g, int column) {
  return g.editor != plat::kNoWindow && g.currentColumn == column;
}

}  // namespace

void GridClearOptionList(int& field, int column, int row) {
  GridRecord* g = OptionColumnGrid(field, column);
  if (g == nullptr) return;
  (void)row;
  plat::ComboBoxResetContent(g->columns[static_cast<std::size_t>(column)].prototype);
  // The editor's copy follows whatever row it serves, so that it never
  // offers options the column no longer has.
  if (EditorShowsColumn(*g, column)) plat::ComboBoxResetContent(g->editor);
}

void GridAddOption(int& field, int column, int row, std::string_view text) {
  GridRecord* g = OptionColumnGrid(field, column);
  if (g == nullptr) return;
  (void)row;
  plat::ComboBoxAddString(g->columns[static_cast<std::size_t>(column)].prototype, text);
  if (EditorShowsColumn(*g, column)) plat::ComboBoxAddString(g->editor, text);
}

void GridOptionText(int& field, int column, int option, std::string& text) {
  text.clear();
  GridRecord* g = OptionColumnGrid(field, column);
  if (g == nullptr) return;
  text = plat::ComboBoxGetText(g->columns[static_cast<std::size_t>(column)].prototype, option - 1)
             .value_or("");
}

int GridDeselectField(int field) {
  GridRecord* g = FindGrid(field);
  if (g == nullptr) return -1;
  GridDeselect(*g);
  return 0;
}

void GridSelectBlock(int& field, int firstColumn, int firstRow, int lastColumn, int lastRow) {
  GridRecord* g = FindGrid(field);
  if (g == nullptr) {
    field = -1;
    return;
  }
  const auto columnOk = [g](int c) { return c >= 0 && c < g->columnCount; };
  const auto rowOk = [g](int r) { return r >= 0 && r < g->rowCount; };
  if (!columnOk(firstColumn) || !columnOk(lastColumn) || !rowOk(firstRow) || !rowOk(lastRow)) {
    field = -2;
    return;
  }
  // A block given with its corners swapped is the same block.
  GridSetSelection(*g, std::min(firstRow, lastRow), std::max(firstRow, lastRow),
                   std::min(firstColumn, lastColumn), std::max(firstColumn, lastColumn));
}

void WGridPutMenu(int field, int column, std::span<const std::string> options, int count,
                  std::span<const std::int32_t> numbers, int n) {
  constexpr std::string_view kName = "WGridPutMenu";
  int f = field;
  std::int32_t shown = 0;
  GridQuery(f, 101, shown);
  if (f != field) {
    ReportLibraryError(kErrBadField, kName);
    return;
  }
  const int m = std::clamp(count, 0, static_cast<int>(options.size()));
  GridSuspendRepaint();
  // Every shown row names the same list: it is emptied and filled once.
  if (shown > 0) {
    int status = field;
    GridClearOptionList(status, column - 1, 0);
    for (int i = 0; i < m && status == field; ++i) {
      const std::string& o = options[static_cast<std::size_t>(i)];
      GridAddOption(status, column - 1, 0, std::string_view(o).substr(0, o.find_last_not_of(' ') + 1));
    }
    if (status != field) {
      GridResumeRepaint(field);
      ReportLibraryError(kErrBadField, kName);
      return;
    }
  }
  GridResumeRepaint(field);
  WGridPutOption(field, column, numbers, n);
}

// ---------------------------------------------------------------------------
// Spin arrows

plat::LResult SpinShiftClickProc(const plat::WindowProc& own, plat::Hwnd h, plat::Msg m,
                                 plat::WParam w, plat::LParam l) {
  if (m == plat::Msg::LButtonDown && (w & plat::kMkShift)) {
    const plat::Hwnd buddy = plat::UpDownGetBuddy(h);
    if (buddy != plat::kNoWindow) return plat::SendMessage(buddy, m, w, l);
  }
  return own ? own(h, m, w, l) : plat::DefWindowProc(h, m, w, l);
}

void InstallSpinShiftClick(plat::Hwnd upDown) {
  auto own = std::make_shared<plat::WindowProc>();
  *own = plat::SetWindowProc(upDown, [own](plat::Hwnd h, plat::Msg m, plat::WParam w, plat::LParam l) {
    const plat::WindowProc previous = *own;
    return SpinShiftClickProc(previous, h, m, w, l);
  });
}

}  // namespace tk
