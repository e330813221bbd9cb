// What the grid's data model and window ask of the in-place editor of the
// current cell.
#include <algorithm>

#include "platform/controls/Controls.h"
#include "toolkit/grid/GridModel_p.h"

namespace tk {

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

bool GridEditorServes(const GridRecord& g, int column, int row) {
  return g.editor != plat::kNoWindow && column == g.currentColumn && row == g.currentRow;
}

}  // namespace tk
