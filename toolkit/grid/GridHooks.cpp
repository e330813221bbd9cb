// What the grid's data model and window ask of the selection and the
// in-place editor of the current cell. These are the places where the
// selection (block, anchor, clipboard) and the editor (a copy of the
// current column's prototype laid over the current cell) take over; until
// then a grid has no editor and no selected block, and the current cell
// only moves.
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

void GridStoreEditor(GridRecord&) {
  // The editor stores its text into the current cell here.
}

void GridMoveCurrentCell(GridRecord& g, int column, int row, bool takeFocus) {
  g.currentColumn = column;
  g.currentRow = row;
  if (takeFocus && g.editor != plat::kNoWindow) plat::SetFocus(g.editor);
}

void GridCreateEditor(GridRecord&) {
  // The editor of the current cell is made here from its column's prototype.
}

void GridDestroyEditor(GridRecord& g) {
  GridStoreEditor(g);
  if (g.editor != plat::kNoWindow) plat::DestroyWindow(g.editor);
  g.editor = plat::kNoWindow;
}

bool GridEditorRefusesScroll(GridRecord& g) {
  // An editor holding a number its field refuses keeps the grid where it is
  // (ValidateNumericField with force, which tells the user).
  (void)g;
  return false;
}

bool GridEditorServes(const GridRecord& g, int column, int row) {
  return g.editor != plat::kNoWindow && column == g.currentColumn && row == g.currentRow;
}

}  // namespace tk
