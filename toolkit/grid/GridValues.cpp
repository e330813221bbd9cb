// Cell values: the application's puts and gets of one cell and of one
// column, cell and grid information, and the cell operations behind them
// that the row, file, sort and find routines share.
//
// The cell operations take the field by reference and leave it unchanged on
// success; it becomes -1 when it names no grid, -2 when the column or row
// lies outside the grid or the column is of a type the operation does not
// serve, -3 for the outcome the operation names. Columns and rows count
// from 0 there and from 1 in the application's routines.
#include <algorithm>
#include <cmath>
#include <limits>

#include "platform/FixedText.h"
#include "platform/controls/Controls.h"
#include "toolkit/core/Conversion.h"
#include "toolkit/core/Errors.h"
#include "toolkit/dialogs/Dialogs.h"
#include "toolkit/grid/Grid.h"
#include "toolkit/grid/GridEditorWindow.h"
#include "toolkit/grid/GridValues_p.h"

namespace tk {

namespace {

constexpr double kUndefinedDouble = -999.0;
/// The longest text a numeric put writes.
constexpr std::size_t kPutTextLength = 100;
/// The longest text read from the editor as a number.
constexpr std::size_t kEditorReadLength = 254;
/// Status of the cell operations.
constexpr int kNoGrid = -1;
constexpr int kOutside = -2;
constexpr int kOutcome = -3;

bool IsNumeric(int type) {
  return type == kColumnInteger || type == kColumnReal || type == kColumnDouble;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
  return SameClass(a, b);
}

/// The grid of FIELD with column C (and row R, within ROWS) checked; null
/// with FIELD set to -1 or -2 otherwise.
GridRecord* CellGrid(int& field, int c, int r, int rows) {
  GridRecord* g = FindGrid(field);
  if (g == nullptr) {
    field = kNoGrid;
    return nullptr;
  }
  if (c < 0 || c >= g->columnCount || r < 0 || r >= rows) {
    field = kOutside;
    return nullptr;
  }
  return g;
}

GridRecord* CellGrid(int& field, int c, int r) {
  GridRecord* g = FindGrid(field);
  if (g == nullptr) {
    field = kNoGrid;
    return nullptr;
  }
  return CellGrid(field, c, r, g->rowCount);
}

/// The grid of FIELD with column C checked (any row).
GridRecord* ColumnGrid(int& field, int c) {
  return CellGrid(field, c, 0, 1);
}

GridColumn& ColumnOf(GridRecord& g, int c) {
  return g.columns[static_cast<std::size_t>(c)];
}

/// The current dialog test of every application routine: 1005 for a field
/// other than 0 while no dialog is current.
bool NeedsDialog(int field, std::string_view name) {
  if (field != 0 && CurrentDialog() == nullptr) {
    ReportLibraryError(kErrNoDialog, name);
    return true;
  }
  return false;
}

/// The error a cell operation's status gives: 1006 for no grid, else 1017.
int StatusError(int status) {
  return status == kNoGrid ? static_cast<int>(kErrBadField) : static_cast<int>(kErrCellOutside);
}

/// A whole number as an integer cell holds it: toward zero, within 32 bits.
std::int32_t ToCellInteger(double d) {
  if (!std::isfinite(d)) return 0;
  const double t = std::trunc(d);
  if (t <= std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
  if (t >= std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(t);
}

bool FitsIntegerCell(double d) {
  if (!std::isfinite(d)) return false;
  const double t = std::trunc(d);
  return t >= std::numeric_limits<std::int32_t>::min() && t <= std::numeric_limits<std::int32_t>::max();
}

/// A format handed to a put: at most 50 characters, ending at a NUL; a
/// blank one counts as absent.
std::optional<std::string> GivenFormat(std::optional<std::string_view> format) {
  if (!format) return std::nullopt;
  std::string_view f = *format;
  if (const std::size_t nul = f.find('\0'); nul != std::string_view::npos) f = f.substr(0, nul);
  if (f.size() > kNumberTextLength) f = f.substr(0, kNumberTextLength);
  if (FirstNonBlank(f) == 0) return std::nullopt;
  return std::string(f);
}

enum class PutEntry { Integer, Real, Double };

std::string_view PutName(PutEntry e) {
  return e == PutEntry::Integer ? "WGridPutCellInteger"
         : e == PutEntry::Real  ? "WGridPutCellReal"
                                : "WGridPutCellDouble";
}

/// The one body of the three numeric puts.
void NumericPut(PutEntry entry, int field, int column, int row, double value, float realValue,
                std::optional<std::string_view> formatArg) {
  const std::string_view name = PutName(entry);
  if (NeedsDialog(field, name)) return;
  int f = field;
  std::int32_t topRow = 0, shownRows = 0;
  GridQuery(f, 9, topRow);
  GridQuery(f, 101, shownRows);
  if (f == kNoGrid) {
    ReportLibraryError(kErrBadField, name);
    return;
  }
  GridRecord& g = *FindGrid(field);
  std::optional<std::string> format;
  if (entry != PutEntry::Integer) format = GivenFormat(formatArg);
  if (!format) {
    std::string columnFormat;
    GridColumnFormat(f, column - 1, columnFormat, kNumberTextLength);
    if (f != field) {
      ReportLibraryError(StatusError(f), name);
      return;
    }
    format = std::move(columnFormat);
  }
  // The text: written for a string column and for the rows shown; the rows
  // off screen keep only the value (their text serves the cell's flags).
  const bool stringColumn =
      column >= 1 && column <= g.columnCount && ColumnOf(g, column - 1).type == kColumnString;
  const bool shown = row - 1 >= topRow - 1 && row - 1 < topRow - 1 + shownRows;
  std::string text;
  if (stringColumn || shown) {
    text.assign(kPutTextLength, ' ');
    if (entry == PutEntry::Integer)
      IntegerToString(static_cast<std::int32_t>(value), text, "(I100)");
    else if (entry == PutEntry::Real)
      IRealToString(realValue, text, *format);
    else
      IDoubleToString(value, text, *format);
    JustifyString(text, "L");
    text = std::string(plat::TrimRight(text, plat::kBlankOrNul));
  } else {
    text = entry == PutEntry::Integer ? "0" : "0.0";
  }
  GridCheckColumnRange(f, column - 1, value);
  if (f == kOutcome) {
    ReportLibraryError(kErrOutOfRange, name);
    return;
  }
  if (f != field) {
    ReportLibraryError(StatusError(f), name);
    return;
  }
  // An integer cell takes only what a 32-bit integer can hold.
  if (ColumnOf(g, column - 1).type == kColumnInteger && !FitsIntegerCell(value)) {
    ReportLibraryError(kErrOutOfRange, name);
    return;
  }
  GridStoreCellValue(f, column - 1, row - 1, value, text, *format);
  if (f != field) ReportLibraryError(StatusError(f), name);
}

/// The one body of the three numeric gets: the cell's number, or nullopt
/// after the report (VALUE then undefined for 1010, else unchanged).
std::optional<double> NumericGet(std::string_view name, int field, int column, int row,
                                 bool& undefined) {
  undefined = false;
  if (NeedsDialog(field, name)) return std::nullopt;
  int f = field;
  double d = 0.0;
  GridReadCellNumber(f, column - 1, row - 1, d);
  if (f == kOutcome) {
    ReportLibraryError(kErrUndefined, name);
    undefined = true;
    return std::nullopt;
  }
  if (f != field) {
    ReportLibraryError(StatusError(f), name);
    return std::nullopt;
  }
  return d;
}

/// The rows in use of FIELD, or nullopt when it names no grid.
std::optional<int> RowsInUse(int field) {
  std::int32_t rows = 0;
  int f = field;
  GridQuery(f, 3, rows);
  if (f == kNoGrid) return std::nullopt;
  return rows;
}

}  // namespace

bool GridNeedsDialog(int field, std::string_view name) {
  return NeedsDialog(field, name);
}

int GridStatusError(int status) {
  return StatusError(status);
}

// ---------------------------------------------------------------------------
// Cell operations

void GridStoreCellValue(int& field, int column, int row, double value, std::string_view text,
                        std::string_view format) {
  GridRecord* g = CellGrid(field, column, row);
  if (g == nullptr) return;
  GridColumn& c = ColumnOf(*g, column);
  if (c.type == kColumnCheckBox || c.type == kColumnOption) {
    field = kOutside;
    return;
  }
  const bool nonBlank = FirstNonBlank(text) > 0;
  GridDeselect(*g);
  double d = value;
  int valid = 0;
  if (value == 0.0) ParseDoubleChecked(d, valid, text);
  if (GridEditorServes(*g, column, row)) {
    plat::SetWindowText(g->editor, text);
    g->editorField.rec.value = value == 0.0 && valid ? d : value;
    g->editorField.rec.hasValue = nonBlank ? 1 : 0;
    plat::EditSetModify(g->editor, false);
  }
  if (!c.settings.format || !EqualNoCase(*c.settings.format, format)) {
    c.settings.format = std::string(format);
    if (GridEditorServes(*g, column, row)) g->editorField.rec.format = c.settings.format;
    if (c.type == kColumnReal || c.type == kColumnDouble) GridRepaintColumn(*g, column);
  }
  const auto r = static_cast<std::size_t>(row);
  switch (c.type) {
    case kColumnString:
      c.texts[r] = std::string(text.substr(0, static_cast<std::size_t>(std::max(0, c.textLength))));
      break;
    case kColumnInteger:
      c.ints[r] = ToCellInteger(d);
      break;
    case kColumnReal:
      c.reals[r] = static_cast<float>(d);
      break;
    default:
      c.doubles[r] = d;
      break;
  }
  std::uint8_t& flags = c.cellFlags[r];
  flags = static_cast<std::uint8_t>(flags & ~(kCellPresent | kCellEntered));
  if (!text.empty()) flags |= kCellPresent;
  if (nonBlank) flags |= kCellEntered;
  g->modified = g->changed = 1;
  GridInvalidateCell(*g, column, row, RepaintCellsAtOnce());
}

void GridCheckColumnRange(int& field, int column, double value) {
  GridRecord* g = ColumnGrid(field, column);
  if (g == nullptr) return;
  const ControlRecord& s = ColumnOf(*g, column).settings;
  if (s.rangeLow <= s.rangeHigh && (std::isnan(value) || value < s.rangeLow || value > s.rangeHigh))
    field = kOutcome;
}

void GridColumnFormat(int& field, int column, std::string& text, std::size_t length) {
  GridRecord* g = ColumnGrid(field, column);
  if (g == nullptr) return;
  const GridColumn& c = ColumnOf(*g, column);
  text = (c.type == kColumnReal || c.type == kColumnDouble) && c.settings.format
             ? *c.settings.format
             : std::string(kDefaultGridFormat);
  if (length > 0 && text.size() > length - 1) text.resize(length - 1);
}

void GridReadCellText(int& field, int column, int row, std::string& text, std::size_t size) {
  GridRecord* g = CellGrid(field, column, row);
  if (g == nullptr) return;
  const int type = ColumnOf(*g, column).type;
  if (type == kColumnCheckBox || type == kColumnOption) {
    field = kOutside;
    return;
  }
  text = GridCellText(*g, column, row, 0);
  if (size > 0 && text.size() > size - 1) text.resize(size - 1);
}

void GridReadCellNumber(int& field, int column, int row, double& result) {
  GridRecord* g = CellGrid(field, column, row);
  if (g == nullptr) return;
  const GridColumn& c = ColumnOf(*g, column);
  if (c.type == kColumnCheckBox || c.type == kColumnOption) {
    field = kOutside;
    return;
  }
  const auto r = static_cast<std::size_t>(row);
  const bool served = GridEditorServes(*g, column, row);
  if (IsNumeric(c.type)) {
    if (served) {
      std::string t = plat::GetWindowText(g->editor);
      if (t.size() > kEditorReadLength) t.resize(kEditorReadLength);
      if (FirstNonBlank(t) == 0) {
        field = kOutcome;
        return;
      }
      if (plat::EditGetModify(g->editor))
        ParseDoubleQuiet(result, t);
      else
        result = g->editorField.rec.value;
      return;
    }
    if (!(c.cellFlags[r] & kCellPresent)) {
      field = kOutcome;
      return;
    }
    result = c.type == kColumnInteger ? c.ints[r] : c.type == kColumnReal ? c.reals[r] : c.doubles[r];
    return;
  }
  const std::string t = served ? plat::GetWindowText(g->editor) : c.texts[r];
  if (FirstNonBlank(t) == 0) {
    field = kOutcome;
    return;
  }
  ParseDoubleQuiet(result, t);
}

void GridCellCheckState(int& field, int column, int row, std::int32_t& result) {
  GridRecord* g = CellGrid(field, column, row);
  if (g == nullptr) return;
  const GridColumn& c = ColumnOf(*g, column);
  if (c.type != kColumnCheckBox) return;
  result = GridEditorServes(*g, column, row) ? plat::ButtonGetCheck(g->editor)
                                             : c.ints[static_cast<std::size_t>(row)];
}

void GridCellOption(int& field, int column, int row, std::int32_t& result) {
  GridRecord* g = CellGrid(field, column, row);
  if (g == nullptr) return;
  const GridColumn& c = ColumnOf(*g, column);
  if (c.type != kColumnOption) return;
  const int index = GridEditorServes(*g, column, row) ? plat::ComboBoxGetCurSel(g->editor)
                                                      : c.ints[static_cast<std::size_t>(row)];
  result = index < 0 ? 0 : index + 1;
}

namespace {

/// Stores VALUE into a check-box or option cell (the column of TYPE):
/// SHOWINEDITOR puts it into the editor when that serves the cell, else the
/// cell is repainted; the grid is marked modified.
template <typename ShowFn>
void StoreIntCell(int& field, int column, int row, int type, std::int32_t value,
                  ShowFn showInEditor) {
  GridRecord* g = CellGrid(field, column, row);
  if (g == nullptr) return;
  GridColumn& c = ColumnOf(*g, column);
  if (c.type != type) {
    field = kOutside;
    return;
  }
  GridDeselect(*g);
  c.ints[static_cast<std::size_t>(row)] = value;
  if (GridEditorServes(*g, column, row))
    showInEditor(g->editor);
  else
    GridInvalidateCell(*g, column, row, RepaintCellsAtOnce());
  g->modified = g->changed = 1;
}

}  // namespace

void GridStoreCheckState(int& field, int column, int row, std::int32_t state) {
  StoreIntCell(field, column, row, kColumnCheckBox, state, [state](plat::Hwnd editor) {
    plat::ButtonSetCheck(editor, state != 0 ? plat::kChecked : plat::kUnchecked);
  });
}

void GridStoreOption(int& field, int column, int row, std::int32_t option) {
  // Stored as given, even beyond the list: such a cell shows no option.
  const std::int32_t index = option <= 0 ? -1 : option - 1;
  StoreIntCell(field, column, row, kColumnOption, index, [index](plat::Hwnd editor) {
    plat::ComboBoxSetCurSel(editor, index < plat::ComboBoxGetCount(editor) ? index : -1);
  });
}

void GridStoreOptionByText(int& field, int column, int row, int& notFound, std::string_view text) {
  GridRecord* g = CellGrid(field, column, row);
  if (g == nullptr) return;
  GridColumn& c = ColumnOf(*g, column);
  if (c.type != kColumnOption) {
    field = kOutside;
    return;
  }
  const std::vector<std::string> options = GridColumnOptions(c);
  int index = 0;
  notFound = 1;
  for (std::size_t i = 0; i < options.size(); ++i)
    if (EqualNoCase(options[i], text)) {
      index = static_cast<int>(i);
      notFound = 0;
      break;
    }
  c.ints[static_cast<std::size_t>(row)] = index;
  if (GridEditorServes(*g, column, row)) plat::ComboBoxSetCurSel(g->editor, index);
  GridInvalidateCell(*g, column, row, RepaintCellsAtOnce());
}

void GridResetCell(int& field, int column, int row, int mode) {
  GridRecord* g = FindGrid(field);
  if (g == nullptr) {
    field = kNoGrid;
    return;
  }
  g = CellGrid(field, column, row, mode == 0 ? g->rowCount : g->rowCapacity);
  if (g == nullptr) return;
  GridColumn& c = ColumnOf(*g, column);
  GridDeselect(*g);
  if (GridEditorServes(*g, column, row)) {
    if (c.type == kColumnCheckBox) {
      plat::ButtonSetCheck(g->editor, plat::kUnchecked);
    } else if (c.type == kColumnOption) {
      if (mode == 2) plat::ComboBoxSetCurSel(g->editor, 0);
    } else {
      plat::SetWindowText(g->editor, "");
      plat::EditSetModify(g->editor, false);
      g->editorField.rec.value = 0.0;
      g->editorField.rec.hasValue = 0;
    }
  }
  const auto r = static_cast<std::size_t>(row);
  switch (c.type) {
    case kColumnString:
      c.texts[r].clear();
      break;
    case kColumnReal:
      c.reals[r] = 0.0f;
      break;
    case kColumnDouble:
      c.doubles[r] = 0.0;
      break;
    case kColumnOption:
      if (mode != 2) {
        field = kOutside;
        return;
      }
      c.ints[r] = 0;
      break;
    default:
      c.ints[r] = 0;
      break;
  }
  if (c.type != kColumnOption)
    c.cellFlags[r] = static_cast<std::uint8_t>(c.cellFlags[r] & ~(kCellPresent | kCellEntered));
  GridInvalidateCell(*g, column, row, RepaintCellsAtOnce());
}

void GridColumnFieldType(int& field, int column, std::int32_t& result) {
  GridRecord* g = ColumnGrid(field, column);
  if (g == nullptr) return;
  static constexpr std::int32_t kCodes[] = {kFieldString, kFieldInteger, kFieldReal,
                                            kFieldDouble, kFieldCheckBox, kFieldComboBox};
  result = kCodes[std::clamp(ColumnOf(*g, column).type, 0, 5)];
}

void GridQuery(int& field, int item, std::int32_t& result) {
  if (field == -2) {
    // The grid window closed last.
    const GridWindowClosedFlags& kept = GridWindowClosedLastFlags();
    if (item == 6) result = 1 - kept.modified;
    if (item == 7) result = kept.changed;
    return;
  }
  GridRecord* g = FindGrid(field);
  if (g == nullptr) {
    field = kNoGrid;
    return;
  }
  const bool selection = g->selFirstRow != -1;
  switch (item) {
    case 1: result = g->columnCount; break;
    case 2: result = g->rowCapacity; break;
    case 3: result = g->rowCount; break;
    case 4: result = g->currentColumn + 1; break;
    case 5: result = g->currentRow + 1; break;
    case 6: result = 1 - g->modified; break;
    case 7: result = g->changed; break;
    case 8: result = g->leftColumn + 1; break;
    case 9: result = g->topRow + 1; break;
    case 10: result = selection ? g->selFirstColumn + 1 : 0; break;
    case 11: result = selection ? g->selFirstRow + 1 : 0; break;
    case 12: result = selection ? g->selLastColumn + 1 : 0; break;
    case 13: result = selection ? g->selLastRow + 1 : 0; break;
    case 101: result = g->shownRows; break;
    case 102: result = g->builtColumnCount; break;
    default: break;
  }
}

// ---------------------------------------------------------------------------
// One cell at a time

void WGridPutCellInteger(int field, int column, int row, std::int32_t value) {
  NumericPut(PutEntry::Integer, field, column, row, value, static_cast<float>(value), std::nullopt);
}

void WGridPutCellReal(int field, int column, int row, float value,
                      std::optional<std::string_view> format) {
  NumericPut(PutEntry::Real, field, column, row, value, value, format);
}

void WGridPutCellDouble(int field, int column, int row, double value,
                        std::optional<std::string_view> format) {
  NumericPut(PutEntry::Double, field, column, row, value, static_cast<float>(value), format);
}

void WGridPutCellCheckBox(int field, int column, int row, std::int32_t state) {
  constexpr std::string_view kName = "WGridPutCellCheckBox";
  if (NeedsDialog(field, kName)) return;
  int f = field;
  GridStoreCheckState(f, column - 1, row - 1, state);
  if (f != field) ReportLibraryError(StatusError(f), kName);
}

void WGridPutCellOption(int field, int column, int row, std::int32_t option) {
  constexpr std::string_view kName = "WGridPutCellOption";
  if (NeedsDialog(field, kName)) return;
  int f = field;
  GridStoreOption(f, column - 1, row - 1, option);
  if (f != field) ReportLibraryError(StatusError(f), kName);
}

void WGridGetCellInteger(int field, int column, int row, std::int32_t& value) {
  bool undefined = false;
  if (const std::optional<double> d = NumericGet("WGridGetCellInteger", field, column, row, undefined))
    value = ToCellInteger(*d);
  else if (undefined)
    value = kUndefinedInteger;
}

void WGridGetCellReal(int field, int column, int row, float& value) {
  bool undefined = false;
  if (const std::optional<double> d = NumericGet("WGridGetCellReal", field, column, row, undefined))
    value = static_cast<float>(*d);
  else if (undefined)
    value = kUndefinedReal;
}

void WGridGetCellDouble(int field, int column, int row, double& value) {
  bool undefined = false;
  if (const std::optional<double> d = NumericGet("WGridGetCellDouble", field, column, row, undefined))
    value = *d;
  else if (undefined)
    value = kUndefinedDouble;
}

void WGridGetCellString(int field, int column, int row, std::string& text) {
  constexpr std::string_view kName = "WGridGetCellString";
  if (NeedsDialog(field, kName)) return;
  int f = field;
  std::string work;
  GridReadCellText(f, column - 1, row - 1, work, text.size() + 1);
  if (f != field) {
    ReportLibraryError(StatusError(f), kName);
    return;
  }
  if (const std::size_t nul = work.find('\0'); nul != std::string::npos) work.resize(nul);
  work.resize(text.size(), ' ');
  text = std::move(work);
}

void WGridGetCellCheckBox(int field, int column, int row, std::int32_t& state) {
  constexpr std::string_view kName = "WGridGetCellCheckBox";
  if (NeedsDialog(field, kName)) return;
  int f = field;
  GridCellCheckState(f, column - 1, row - 1, state);
  if (f != field) ReportLibraryError(StatusError(f), kName);
}

void WGridGetCellMenu(int field, int column, int row, std::int32_t& option) {
  constexpr std::string_view kName = "WGridGetCellMenu";
  if (NeedsDialog(field, kName)) return;
  int f = field;
  GridCellOption(f, column - 1, row - 1, option);
  if (f != field) ReportLibraryError(StatusError(f), kName);
}

// ---------------------------------------------------------------------------
// One column at a time

namespace {

/// Rows 1 to N with PUT(row, i), then the rows below with REST(row); N is
/// cut to the rows in use with 1018 under NAME.
template <typename PutFn, typename RestFn>
void PutColumn(std::string_view name, int field, int n, std::size_t available, PutFn put,
               RestFn rest) {
  const std::optional<int> rows = RowsInUse(field);
  if (!rows) {
    // No grid: the cell routine says why, once.
    if (n > 0 && available > 0) put(1, 0);
    return;
  }
  if (n > *rows) {
    ReportLibraryError(kErrTooManyRows, name);
    n = *rows;
  }
  n = std::clamp(n, 0, static_cast<int>(std::min<std::size_t>(available, kMaxGridRows)));
  GridSuspendRepaint();
  for (int i = 0; i < n; ++i) put(i + 1, static_cast<std::size_t>(i));
  for (int row = n + 1; row <= *rows; ++row) rest(row);
  GridResumeRepaint(field);
}

/// N cut to the rows in use and to the array; nothing is reported.
int ColumnReadCount(int field, int n, std::size_t available) {
  const std::optional<int> rows = RowsInUse(field);
  if (rows) n = std::min(n, *rows);
  return std::clamp(n, 0, static_cast<int>(std::min<std::size_t>(available, kMaxGridRows)));
}

}  // namespace

void WGridPutInteger(int field, int column, std::span<const std::int32_t> values, int n) {
  PutColumn(
      "WGridPutInteger", field, n, values.size(),
      [&](int row, std::size_t i) { WGridPutCellInteger(field, column, row, values[i]); },
      [&](int row) {
        int f = field;
        GridResetCell(f, column - 1, row - 1, 1);
      });
}

void WGridPutReal(int field, int column, std::span<const float> values, int n,
                  std::optional<std::string_view> format) {
  PutColumn(
      "WGridPutReal", field, n, values.size(),
      [&](int row, std::size_t i) { WGridPutCellReal(field, column, row, values[i], format); },
      [&](int row) {
        int f = field;
        GridResetCell(f, column - 1, row - 1, 1);
      });
}

void WGridPutOption(int field, int column, std::span<const std::int32_t> options, int n) {
  PutColumn(
      "WGridPutOption", field, n, options.size(),
      [&](int row, std::size_t i) { WGridPutCellOption(field, column, row, options[i]); },
      [&](int row) { WGridPutCellOption(field, column, row, 0); });
}

void WGridReadColumnInteger(int field, int column, std::span<std::int32_t> values, int& n) {
  n = ColumnReadCount(field, n, values.size());
  for (int i = 0; i < n; ++i)
    WGridGetCellInteger(field, column, i + 1, values[static_cast<std::size_t>(i)]);
}

void WGridReadColumnReal(int field, int column, std::span<float> values, int& n) {
  n = ColumnReadCount(field, n, values.size());
  for (int i = 0; i < n; ++i)
    WGridGetCellReal(field, column, i + 1, values[static_cast<std::size_t>(i)]);
}

void WGridReadColumnMenu(int field, int column, std::span<std::int32_t> options, int& n) {
  n = ColumnReadCount(field, n, options.size());
  for (int i = 0; i < n; ++i)
    WGridGetCellMenu(field, column, i + 1, options[static_cast<std::size_t>(i)]);
}

// ---------------------------------------------------------------------------
// Information

std::int32_t WInfoGridCell(int field, int column, int row, int item) {
  constexpr std::string_view kName = "WInfoGridCell";
  if (NeedsDialog(field, kName)) return 0;
  int f = field;
  std::int32_t code = 0;
  GridColumnFieldType(f, column - 1, code);
  if (f != field) {
    ReportLibraryError(StatusError(f), kName);
    return 0;
  }
  if (item == 2) return code;
  if (item != 1) return 0;
  if (code == kFieldCheckBox) {
    std::int32_t state = 0;
    WGridGetCellCheckBox(field, column, row, state);
    return state;
  }
  if (code == kFieldComboBox) {
    std::int32_t option = 0;
    WGridGetCellMenu(field, column, row, option);
    return option > 0 ? 1 : 0;
  }
  std::string text(kPutTextLength, ' ');
  WGridGetCellString(field, column, row, text);
  return FirstNonBlank(text) > 0 ? 1 : 0;
}

void WGridCellUnpack(std::int32_t packed, std::int32_t& column, std::int32_t& row) {
  const auto bits = static_cast<std::uint32_t>(packed);
  column = static_cast<std::int32_t>((bits >> 18) & 16383u);
  row = static_cast<std::int32_t>(bits & 262143u);
}

}  // namespace tk
