#pragma once
// Grid files: the cells of a grid field saved as comma-separated text and
// loaded back, and saved as an HTML table. Like every grid routine they name
// the grid by its field in the current dialog (0: the grid of the current
// window when that is a grid window); bounds count from 1.
//
// Reports go through the error reporter: 1005 and 1006 under the routine's
// own name, file errors under the file routine that failed (HTML files:
// under "WGridSaveHTML"), 1054 for a file holding more rows or columns than
// the grid and 1055 for an option that matches none of its column's list.
// Numbers that do not convert are reported by the conversion routine.
#include <cstdint>
#include <optional>
#include <string_view>

namespace tk {

enum GridFileErrorCode : std::int32_t {
  kErrGridFileTooBig = 1054,    // "Data file contains more row or columns than grid field"
  kErrGridMenuNoMatch = 1055,   // "Unable to match value from file with menu cell option"
};

/// Writes the cells of columns FIRSTCOLUMN..LASTCOLUMN and rows
/// FIRSTROW..LASTROW (absent or outside: the whole grid that way) as one
/// line per row, cells separated by "," and each line ended by CR LF.
void WGridSave(int field, std::string_view fileName, std::optional<int> firstColumn = std::nullopt,
               std::optional<int> lastColumn = std::nullopt,
               std::optional<int> firstRow = std::nullopt,
               std::optional<int> lastRow = std::nullopt);

/// Reads a file written by WGridSave (or any comma-separated file) into the
/// grid from its first cell on; GROW 1 lets the grid gain rows up to its
/// capacity. Cells the file does not reach are emptied.
void WGridLoad(int field, std::string_view fileName, std::optional<int> grow = std::nullopt);

/// Options of WGridSaveHTML.
enum HtmlSaveFlags : std::int32_t {
  kHtmlTableOnly = 1,
  kHtmlCentre = 2,
  kHtmlCheckLetters = 4,
  kHtmlNoColours = 8,
};

/// Writes the cells of the range as an HTML table (a whole document unless
/// kHtmlTableOnly), with headers, row labels, alignments and colours.
void WGridSaveHTML(int field, std::string_view fileName,
                   std::optional<int> firstColumn = std::nullopt,
                   std::optional<int> lastColumn = std::nullopt,
                   std::optional<int> firstRow = std::nullopt,
                   std::optional<int> lastRow = std::nullopt, std::optional<int> flags = std::nullopt,
                   std::optional<std::string_view> title = std::nullopt,
                   std::optional<int> border = std::nullopt,
                   std::optional<std::int32_t> background = std::nullopt);

}  // namespace tk
