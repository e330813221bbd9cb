#pragma once
// The grid control: a dialog field (class JQXGRID) showing a table of cells
// whose columns come from a second, hidden dialog template. The application
// exchanges values with its cells through the routines below; they name the
// grid by its field in the current dialog (field 0: the grid of the current
// window when that is a grid window) and count columns and rows from 1.
//
// Every routine reports its failures through the error reporter under its
// own name: 1005 no current dialog, 1006 no such grid field, 1009 a value
// outside its column's range, 1010 a cell without value (the result is then
// -999 or -999.0), 1017 a cell outside the grid or of a column type the
// routine does not serve, 1018 more values than the grid has rows. The
// column routines report only 1018 under their own name; a failing cell is
// reported by the cell routine they call, once per cell.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/window/Messages.h"

namespace tk {

/// Error codes of the grid's routines beside those of the dialog manager.
enum GridErrorCode : std::int32_t {
  kErrCellOutside = 1017,  // "Cell co-ordinates out of range"
  kErrTooManyRows = 1018,  // "Too many rows for grid field to hold"
};

/// Registers the JQXGRID and JQXGRIDCLIENT classes and the message
/// "GM_CELLCHANGE", and connects the grid to the dialog manager; nothing
/// when JQXGRID exists already. Done at toolkit start, before any dialog
/// holding a grid loads.
void RegisterGridClasses();
/// The number "GM_CELLCHANGE" was registered under.
plat::Msg GridCellChangeMessage();

// ---------------------------------------------------------------------------
// One cell at a time

void WGridPutCellInteger(int field, int column, int row, std::int32_t value);
void WGridPutCellReal(int field, int column, int row, float value,
                      std::optional<std::string_view> format = std::nullopt);
void WGridPutCellDouble(int field, int column, int row, double value,
                        std::optional<std::string_view> format = std::nullopt);
/// STATE is stored as passed (1 shows a check mark, 0 none).
void WGridPutCellCheckBox(int field, int column, int row, std::int32_t state);
/// Option OPTION from 1; 0 selects none.
void WGridPutCellOption(int field, int column, int row, std::int32_t option);
void WGridGetCellInteger(int field, int column, int row, std::int32_t& value);
void WGridGetCellReal(int field, int column, int row, float& value);
void WGridGetCellDouble(int field, int column, int row, double& value);
/// TEXT keeps its size: the cell's text blank-padded or cut to it.
void WGridGetCellString(int field, int column, int row, std::string& text);
void WGridGetCellCheckBox(int field, int column, int row, std::int32_t& state);
/// The selected option from 1; 0 none.
void WGridGetCellMenu(int field, int column, int row, std::int32_t& option);

// ---------------------------------------------------------------------------
// One column at a time: rows 1 to N (cut to the rows in use)

/// Puts VALUES[0..N) into rows 1 to N and empties the rows below.
void WGridPutInteger(int field, int column, std::span<const std::int32_t> values, int n);
void WGridPutReal(int field, int column, std::span<const float> values, int n,
                  std::optional<std::string_view> format = std::nullopt);
/// Selects the options of rows 1 to N; the rows below get none.
void WGridPutOption(int field, int column, std::span<const std::int32_t> options, int n);
/// Reads rows 1 to N into VALUES; N is cut to the rows in use.
void WGridReadColumnInteger(int field, int column, std::span<std::int32_t> values, int& n);
void WGridReadColumnReal(int field, int column, std::span<float> values, int& n);
void WGridReadColumnMenu(int field, int column, std::span<std::int32_t> options, int& n);

// ---------------------------------------------------------------------------
// Rows, labels and the current cell

/// Rows 1 to N in use (N within 1 and the capacity; more gives the
/// capacity and 1018, fewer than 1 gives 1018 and changes nothing). Rows
/// beyond N keep their contents.
void WGridRows(int field, int n);
/// Inserts COUNT empty rows before ROW; GROW 1 adds them to the rows in use
/// (within the capacity), LABELS 1 moves the row labels too. Rows pushed
/// past the rows in use are lost. A COUNT below 1 changes nothing.
void WGridInsertRows(int field, int row, int count = 1, int grow = 0, int labels = 0);
/// Deletes COUNT rows from ROW on; SHRINK 1 takes them off the rows in use,
/// else the last rows are emptied; LABELS 1 moves the row labels too.
void WGridDeleteRows(int field, int row, int count = 1, int shrink = 0, int labels = 0);
/// The label of ROW (1 to the capacity), without its trailing blanks, at
/// most 50 characters.
void WGridLabelRow(int field, int row, std::string_view label);
/// Empties a cell in use (an option-menu cell gives 1017).
void WGridClearCell(int field, int column, int row);
/// Replaces the option list of option-menu COLUMN with the first COUNT
/// OPTIONS (without trailing blanks) and selects the options of rows 1 to
/// N from NUMBERS, the rows below none.
void WGridPutMenu(int field, int column, std::span<const std::string> options, int count,
                  std::span<const std::int32_t> numbers, int n);
/// Makes a cell current; POSITION (from 1) puts an edit editor's caret
/// before that character.
void WGridSetCell(int field, int column, int row, std::optional<int> position = std::nullopt);

// ---------------------------------------------------------------------------
// Information

/// ITEM 1: 1 when the cell holds a value (a checked box, a chosen option);
/// ITEM 2: the FieldType code of its column. 0 after an error.
std::int32_t WInfoGridCell(int field, int column, int row, int item);
/// Splits a packed cell (column x 262144 + row).
void WGridCellUnpack(std::int32_t packed, std::int32_t& column, std::int32_t& row);
/// Grid information ITEM into RESULT (left unchanged for an unknown item);
/// FIELD becomes -1 when it names no grid.
void GridQuery(int& field, int item, std::int32_t& result);

// ---------------------------------------------------------------------------
// Repainting many cells at once

/// Changed cells are only marked from now on.
void GridSuspendRepaint();
/// Repaints the marked cells of grid FIELD together.
void GridResumeRepaint(int field);

}  // namespace tk
