#pragma once
// The cell operations behind the value routines, shared with the row, file,
// sort and find routines. FIELD is passed by reference and left unchanged on
// success; -1: it names no grid; -2: the column or row lies outside the grid
// or the column is of a type the operation does not serve; -3: the outcome
// the operation names. Columns and rows count from 0.
#include <cstdint>
#include <string>
#include <string_view>

#include "toolkit/grid/GridModel_p.h"

namespace tk {

/// Stores VALUE and its TEXT into a string or numeric cell; a FORMAT that
/// differs from the column's (without regard to case) becomes the column's.
/// The number stored is VALUE, or the text read as a number when VALUE is 0.
void GridStoreCellValue(int& field, int column, int row, double value, std::string_view text,
                        std::string_view format);
/// -3 when the column has a range and VALUE (or NaN) lies outside it.
void GridCheckColumnRange(int& field, int column, double value);
/// The descriptor a put without a format uses: a real or double column's
/// format, else "(G15.5E2)"; at most LENGTH - 1 characters.
void GridColumnFormat(int& field, int column, std::string& text, std::size_t length);
/// The text of a string or numeric cell, at most SIZE - 1 characters.
void GridReadCellText(int& field, int column, int row, std::string& text, std::size_t size);
/// The number of a string or numeric cell; -3 when it has none.
void GridReadCellNumber(int& field, int column, int row, double& result);
/// A check-box cell's state / an option cell's option from 1 (0 none); a
/// cell of another type leaves RESULT unchanged.
void GridCellCheckState(int& field, int column, int row, std::int32_t& result);
void GridCellOption(int& field, int column, int row, std::int32_t& result);
void GridStoreCheckState(int& field, int column, int row, std::int32_t state);
/// OPTION from 1; 0 none.
void GridStoreOption(int& field, int column, int row, std::int32_t option);
/// Selects the option whose text equals TEXT (case ignored), else the first
/// with NOTFOUND 1. No checks of its own; does not mark the grid modified.
void GridStoreOptionByText(int& field, int column, int row, int& notFound, std::string_view text);
/// Empties a cell: MODE 0 rows in use, 1 and 2 rows of the capacity; an
/// option cell is set to its first option in mode 2 only (else -2).
void GridResetCell(int& field, int column, int row, int mode);
/// The row-count change proper (N trusted): the current cell and the
/// visible rows follow, the owner's last cell too.
void GridApplyRowCount(GridRecord& g, int field, int n);
/// Stores / reads the label of ROW (from 0), at most min(SIZE, 51) - 1
/// characters; nothing without row labels.
void GridStoreRowLabel(int& field, int row, std::string_view text, std::size_t size);
void GridRowLabel(int& field, int row, std::string& text, std::size_t size);
/// Makes (COLUMN, ROW) current with the focus when the dialog can take it;
/// POSITION 0 or more places an edit editor's caret.
void GridMoveToCell(int& field, int column, int row, int position);
/// The cell-area rectangle the shown part of the selected block covers;
/// false when it is empty.
bool GridSelectionRect(const GridRecord& g, plat::Rect& rect);
/// The current dialog test of the application's routines: true (with 1005
/// reported under NAME) for a field other than 0 while no dialog is current.
bool GridNeedsDialog(int field, std::string_view name);
/// The error code of a failed operation's status: -1 gives 1006, else 1017.
int GridStatusError(int status);
/// The FieldType code of a column (4, 5, 6, 7, 9, 11).
void GridColumnFieldType(int& field, int column, std::int32_t& result);

/// Empties / extends the option list of option-menu column COLUMN (and the
/// editor's copy while it serves the column); -1 for a column that is none.
/// ROW names the cell the request came for; the list is the column's.
void GridClearOptionList(int& field, int column, int row);
void GridAddOption(int& field, int column, int row, std::string_view text);
/// The text of OPTION (from 1) of the column's list; empty when none.
void GridOptionText(int& field, int column, int option, std::string& text);
/// Removes the selection of grid FIELD; -1 when FIELD names no grid.
int GridDeselectField(int field);
/// Selects the block after checking its corners against the grid (-2).
void GridSelectBlock(int& field, int firstColumn, int firstRow, int lastColumn, int lastRow);

}  // namespace tk
