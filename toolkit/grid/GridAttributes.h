#pragma once
// Presentation and input attributes of a grid's columns and cells: colours,
// alignment, captions, ranges and spin steps, locking, text length; the
// rebuilding of a grid's columns; the texts a grid window keeps; and the
// line output of the grid's text files.
//
// Every routine with a field argument takes it by reference, as the cell
// operations do: 0 names the grid of the current window when that is a grid
// window, any other value a field of the current dialog. The field becomes
// -1 when it names no grid, -2 when the column or row lies outside the grid
// or the column is of the wrong type, -3 when storage cannot be had. None of
// them reports through the error reporter. Columns and rows count from 0
// unless said otherwise.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tk {

/// The colours cell (COLUMN, ROW) is painted with: its own, else its
/// column's, else the grid field's; each triple -1 when that colour is the
/// default. All six -1 when FIELD names no grid. Trusts the cell to exist.
void GridCellColours(int& field, int column, int row, std::int32_t& textRed,
                     std::int32_t& textGreen, std::int32_t& textBlue,
                     std::int32_t& backRed, std::int32_t& backGreen, std::int32_t& backBlue);
/// A red of 256 resets a colour to the default, -1 leaves it unchanged.
void GridSetCellColours(int& field, int column, int row, std::int32_t textRed,
                        std::int32_t textGreen, std::int32_t textBlue, std::int32_t backRed,
                        std::int32_t backGreen, std::int32_t backBlue);
/// Forgets the column's cell colours and gives the column these.
void GridSetColumnColours(int& field, int column, std::int32_t textRed, std::int32_t textGreen,
                          std::int32_t textBlue, std::int32_t backRed, std::int32_t backGreen,
                          std::int32_t backBlue);
/// HASHEADERS 1 with column headers; LABELWIDTH the row-label width in
/// pixels (0 without labels). Both 0 when FIELD names no grid.
void GridHeaderLayout(int& field, std::int32_t& hasHeaders, std::int32_t& labelWidth);
/// 0 left, 1 centre, 2 right.
void GridColumnAlignment(int& field, int column, std::int32_t& alignment);
/// Caption of COLUMN counted from 1 (the header's item of that number).
void GridSetColumnCaption(int& field, int column, std::string_view text);
/// At most SIZE - 1 characters; empty without column headers.
void GridColumnCaption(int& field, int column, std::string& text, std::size_t size);
/// LOWER above UPPER means no range; a spin column's arrows are limited to
/// -31073..31073.
void GridSetColumnRange(int& field, int column, double lower, double upper);
/// A PAGESTEP of 0 means STEP.
void GridSetIntegerSpin(int& field, int column, std::int32_t step, std::int32_t pageStep,
                        std::int32_t origin);
void GridSetRealSpin(int& field, int column, float step, float pageStep);
void GridSetDoubleSpin(int& field, int column, double step, double pageStep);
/// STATE 1 unlocks the cell, any other value locks it.
void GridLockCell(int& field, int column, int row, int state);
/// The text length + 1 of a string column.
void GridColumnTextLength(int& field, int column, std::int32_t& length);
/// Builds the columns anew from the grid's column template, NEWCOUNT of
/// them, in template order or at the 1-based POSITIONS given. Every cell's
/// contents, flags and colours are lost; the rows and labels stay.
void GridRebuildColumns(int& field, int newCount, const std::vector<int>* positions = nullptr);

/// Text ITEM of grid window WINDOW (-1: the grid window closed last):
/// 1 the search text, 2 the second text, 3 the file name. At most SIZE - 1
/// characters; nothing for another item or a window that is no grid window.
void GridWindowText(int window, int item, std::string& text, std::size_t size);

/// The texts a grid window keeps with it.
struct GridWindowTexts {
  std::string search;  // up to 1023 characters
  std::string second;  // up to 1023 characters
  std::string file;    // up to 259 characters
};
/// The texts of grid window WINDOW (-1: those kept from the grid window
/// closed last); created empty on first use.
GridWindowTexts& GridWindowTextsOf(int window);
/// Keeps the texts of WINDOW as those of the grid window closed last and
/// forgets the window's own.
void GridWindowTextsClosed(int window);

/// The grid file lines are written to (-1: none open).
int& GridFileHandle();
/// Writes the first LENGTH characters of TEXT and CR LF to the grid file
/// when STATUS is 0, and sets STATUS to the write's system status (0 when
/// it succeeded); writes nothing while STATUS is not 0.
void GridFileWriteLine(std::string_view text, int length, int& status);

}  // namespace tk
