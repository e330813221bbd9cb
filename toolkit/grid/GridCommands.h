#pragma once
// The ready-made commands of a grid window (a toolkit window showing a
// grid): go to a cell, find, delete and insert a row, sort, print, save as
// HTML, save and load a CSV file. Each names the grid window by its number,
// makes it current for the command and the former current window current
// again afterwards, and works on its grid (field 0). Text arguments are
// buffers holding a NUL-terminated text, read and written back that way.
//
// A command with a dialog keeps the current dialog and the last error code
// of before (the saves leave a failure's code); when its dialog cannot be
// loaded it says "Unable to load required dialog" and does nothing else.
#include <cstdint>
#include <string>

namespace tk {

/// MODE 1 asks for a column and a row, 2 for a row, 3 for a column.
void GridWindowGoto(int window, int mode);
/// ASK 1 shows the find dialog first; MATCHCASE and NUMBERS are 0/1
/// settings read and written back; TEXT the search text.
void GridWindowFind(int window, int ask, std::int32_t& matchCase, std::int32_t& numbers,
                    std::string& text);
/// LABELS 1 moves the row labels with the rows; SHRINK 1 takes the row off
/// the rows in use (the only row is emptied instead).
void GridWindowDeleteRow(int window, int labels, int shrink);
/// GROW 1 adds the row to the rows in use; AFTER 1 inserts after the
/// current row, 0 before it.
void GridWindowInsertRow(int window, int labels, int grow, int after);
/// SORTED 1 when the user confirmed a sort.
void GridWindowSort(int window, int labels, std::int32_t& sorted);
/// PRINTED 1 when the grid was printed.
void GridWindowPrint(int window, int firstColumn, int lastColumn, int firstRow, int lastRow,
                     std::int32_t& printed);
/// The selection counted from 0 (FIRSTROW -1: none); SAVED 1 after a save;
/// BACKUP 1 keeps a copy (".bak" appended) of a file being replaced;
/// FILENAME the grid's own file, whose name the HTML file's is made from.
void GridWindowSaveHTML(int window, int firstRow, int lastRow, int firstColumn, int lastColumn,
                        std::int32_t& saved, int backup, const std::string& fileName);
/// SAVEAS 1 always asks for the file; FILTERINDEX the file dialog's filter
/// choice in and out; FILTER empty for CSV files.
void GridWindowSaveCSV(int window, int saveAs, std::int32_t& saved, std::int32_t& filterIndex,
                       int backup, std::string& fileName, const std::string& filter = {});
/// ASK 1 asks for the file; GROW 1 lets the grid gain rows; LOADED 1 when
/// the grid's cells changed (the name is then written back).
void GridWindowLoadCSV(int window, int ask, int grow, std::int32_t& loaded,
                       std::int32_t& filterIndex, std::string& fileName,
                       const std::string& filter = {});

/// The settings the sort and HTML dialogs keep for the run.
struct GridCommandSettings {
  std::int32_t sortDescending = 0;
  std::int32_t sortMatchCase = 0;
  std::int32_t htmlTableOnly = 0;
  std::int32_t htmlLetters = 0;
  std::int32_t htmlCentre = 0;
  std::int32_t htmlColours = 1;
  std::string htmlTitle;
  std::int32_t htmlBorder = 1;
};
GridCommandSettings& GridCommandsKept();

}  // namespace tk
