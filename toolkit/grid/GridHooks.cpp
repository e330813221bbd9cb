// What the grid's data model and window ask of the selection and the
// in-place editor of the current cell, and the selected block itself.
#include <algorithm>

#include "platform/controls/Controls.h"
#include "toolkit/grid/GridModel_p.h"

namespace tk {

void GridDeselect(GridRecord& g) {
  if (g.selFirstRow == -1) return;
  g.selFirstRow = g.selLastRow = g.selFirstColumn = g.selLastColumn = -1;
  g.anchorColumn = g.anchorRow = -1;
  if (g.cellArea != plat::kNoWindow) plat::InvalidateRect(g.cellArea, std::nullopt, false);
}

bool GridCellInSelection(const GridRecord& g, int column, int row) {
  if (g.selFirstRow == -1) return false;
  return row >= g.selFirstRow && row <= g.selLastRow && column >= g.selFirstColumn &&
         column <= g.selLastColumn;
}

void GridStoreEditor(GridRecord& g) {
  GridSaveCellEditor(g);
}

void GridMoveCurrentCell(GridRecord& g, int column, int row, bool takeFocus) {
  GridSetCurrentCell(g, column, row, takeFocus, false);
}

void GridCreateEditor(GridRecord& g) {
  GridCreateCellEditor(g);
}

void GridDestroyEditor(GridRecord& g) {
  GridDestroyCellEditor(g);
}

bool GridEditorRefusesScroll(GridRecord& g) {
  return GridEditorRefusesMove(g);
}

void GridSelectBlock(GridRecord& g, int column1, int row1, int column2, int row2) {
  GridRepaintSelection(g);
  g.selFirstColumn = std::min(column1, column2);
  g.selLastColumn = std::max(column1, column2);
  g.selFirstRow = std::min(row1, row2);
  g.selLastRow = std::max(row1, row2);
  g.anchorColumn = g.anchorRow = -1;
  GridRepaintSelection(g);
}

void GridRepaintSelection(GridRecord& g) {
  if (g.selFirstRow == -1 || g.cellArea == plat::kNoWindow) return;
  for (int row = std::max(g.selFirstRow, g.topRow);
       row <= g.selLastRow && row < g.topRow + g.shownRows; ++row)
    for (int column = std::max(g.selFirstColumn, g.leftColumn);
         column <= g.selLastColumn && column <= g.rightColumn + 1; ++column)
      GridInvalidateCell(g, column, row, 0);
  if (g.editor != plat::kNoWindow && GridCellInSelection(g, g.currentColumn, g.currentRow))
    plat::InvalidateRect(g.editor, std::nullopt, true);
}

bool GridEditorServes(const GridRecord& g, int column, int row) {
  return g.editor != plat::kNoWindow && column == g.currentColumn && row == g.currentRow;
}

}  // namespace tk
