// The selected block of a grid and what is done with it: choosing it with
// the mouse, the column headers, the row labels and the keyboard, the
// field-changed events that tell the dialog of a new block, a paste and a
// clear, the clipboard text of a block (TAB between cells, CR LF between
// rows), and the paste of such a text at the current cell with each field
// converted to its column's type.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>

#include "platform/controls/Controls.h"
#include "platform/window/VirtualKeys.h"
#include "toolkit/core/Conversion.h"
#include "toolkit/core/Events.h"
#include "toolkit/grid/Grid.h"
#include "toolkit/grid/GridModel_p.h"
#include "toolkit/grid/GridValues_p.h"

namespace tk {

namespace {

/// A pasted number is read from at most this many characters; a longer
/// field is no number the grid writes and is refused.
constexpr std::size_t kPastedNumberLength = 100;

bool IsLineEnd(char c) {
  return c == '\r' || c == '\n';
}

/// Characters a line end takes at I: CR LF two, a bare CR or LF one.
std::size_t LineEndLength(std::string_view text, std::size_t i) {
  return text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n' ? 2 : 1;
}

bool NoCaseEqual(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

/// Stores the grid's own field-changed event of KIND (2 selection, 1 paste
/// or clear) with the packed cells X and Y, when the grid's style asks for
/// it and a loaded dialog holds the grid. A selection event gives way to a
/// field-changed event already waiting.
void StoreBlockEvent(const GridRecord& g, int kind, std::int32_t x, std::int32_t y) {
  const unsigned wanted = kind == 2 ? kGridSelectionEvents : kGridPasteEvents;
  if (!(GridStyleOf(g) & wanted)) return;
  const LoadedDialog* d = FindLoaded(plat::GetParent(g.window));
  if (d == nullptr) return;
  EventRecord r;
  r.window = d->rec.identifier;
  r.value1 = r.value2 = plat::GetWindowId(g.window);
  r.value3 = kind;
  r.value4 = -1;
  r.x = x;
  r.y = y;
  StoreMadeFieldEvent(r, kind == 2);
}

/// Marks the visible part of the block and the editor, when it lies in the
/// block, for repainting.
void InvalidateSelection(GridRecord& g) {
  plat::Rect r;
  if (g.cellArea != plat::kNoWindow && GridSelectionRect(g, r))
    plat::InvalidateRect(g.cellArea, plat::Rect{r.left, r.top, r.right + 1, r.bottom + 1}, false);
  if (g.editor != plat::kNoWindow && GridCellInSelection(g, g.currentColumn, g.currentRow))
    plat::InvalidateRect(g.editor, std::nullopt, true);
}

void UpdateNow(GridRecord& g) {
  if (g.cellArea != plat::kNoWindow) plat::UpdateWindow(g.cellArea);
  if (g.editor != plat::kNoWindow) plat::UpdateWindow(g.editor);
}

bool AnyLocked(const GridRecord& g, int firstColumn, int lastColumn, int firstRow, int lastRow) {
  for (int c = std::max(0, firstColumn); c <= lastColumn && c < g.columnCount; ++c) {
    const GridColumn& col = g.columns[static_cast<std::size_t>(c)];
    for (int r = std::max(0, firstRow); r <= lastRow && r < g.rowCapacity; ++r)
      if (col.cellFlags[static_cast<std::size_t>(r)] & kCellLocked) return true;
  }
  return false;
}

// ---------------------------------------------------------------------------
// Converting a pasted field

/// The value a numeric field gives in a column of TYPE, or none when the
/// field is refused. BLANK tells a blank field, which has no value.
std::optional<double> PastedNumber(const GridColumn& c, std::string_view field, bool& blank) {
  // npos + 1 is 0: a blank field gives an empty text.
  std::string t(field.substr(0, field.find_last_not_of(' ') + 1));
  blank = FirstNonBlank(t) == 0;
  if (blank) return 0.0;
  if (t.size() > kPastedNumberLength) return std::nullopt;
  if (c.type == kColumnInteger || c.type == kColumnReal)
    for (char& ch : t)
      if (ch == 'D' || ch == 'd') ch = 'E';
  if (c.type == kColumnInteger) {
    if (t.find_first_of("Ee") != std::string::npos) return std::nullopt;
    if (const std::size_t dot = t.find('.'); dot != std::string::npos) t.resize(dot);
  }
  double d = 0.0;
  int valid = 0;
  ParseDoubleChecked(d, valid, t);
  if (!valid || !std::isfinite(d)) return std::nullopt;
  const ControlRecord& s = c.settings;
  if (s.rangeLow <= s.rangeHigh && (d < s.rangeLow || d > s.rangeHigh)) return std::nullopt;
  if (c.type == kColumnInteger) {
    // An integer cell holds 32 bits: a field beyond them is out of range.
    const double w = std::trunc(d);
    if (w < std::numeric_limits<std::int32_t>::min() || w > std::numeric_limits<std::int32_t>::max())
      return std::nullopt;
  }
  return d;
}

/// Converts FIELD and stores it into cell (COLUMN, ROW); the editor shows it
/// when it serves the cell. A refused field leaves the cell as it was.
void PasteField(GridRecord& g, int column, int row, std::string_view field) {
  GridColumn& c = g.columns[static_cast<std::size_t>(column)];
  const auto r = static_cast<std::size_t>(row);
  const bool served = GridEditorServes(g, column, row);
  switch (c.type) {
    case kColumnString: {
      const std::string text(field.substr(0, static_cast<std::size_t>(std::max(0, c.textLength))));
      c.texts[r] = text;
      if (served) GridSetEditorText(g, text);
      return;
    }
    case kColumnCheckBox: {
      const bool yes = NoCaseEqual(field, "Yes");
      c.ints[r] = yes ? 1 : 0;
      if (served) plat::ButtonSetCheck(g.editor, yes ? plat::kChecked : plat::kUnchecked);
      return;
    }
    case kColumnOption: {
      const int index = plat::ComboBoxFindString(c.prototype, -1, field);
      if (index < 0) return;
      c.ints[r] = index;
      if (served) plat::ComboBoxSetCurSel(g.editor, index);
      return;
    }
    default:
      break;
  }
  bool blank = false;
  const std::optional<double> value = PastedNumber(c, field, blank);
  if (!value) return;
  if (c.type == kColumnInteger)
    c.ints[r] = static_cast<std::int32_t>(std::trunc(*value));
  else if (c.type == kColumnReal)
    c.reals[r] = static_cast<float>(*value);
  else
    c.doubles[r] = *value;
  if (blank)
    c.cellFlags[r] &= static_cast<std::uint8_t>(~kCellPresent);
  else
    c.cellFlags[r] |= kCellPresent | kCellEntered;
  if (!served) return;
  ControlRecord& rec = g.editorField.rec;
  std::string text;
  if (!blank) {
    text = std::string(field);
    const std::string format = rec.format ? *rec.format : std::string(kDefaultGridFormat);
    if (c.type == kColumnInteger)
      NormaliseIntegerText(text);
    else if (c.type == kColumnReal)
      NormaliseRealText(text, format);
    else
      NormaliseDoubleText(text, format);
    rec.hasValue = 1;
  }
  GridSetEditorText(g, text);
  double shown = 0.0;
  if (!blank) ParseDoubleQuiet(shown, text);
  rec.value = shown;
  plat::EditSetModify(g.editor, false);
}

}  // namespace

// ---------------------------------------------------------------------------
// The block

bool GridCellInSelection(const GridRecord& g, int column, int row) {
  if (g.selFirstRow == -1) return false;
  return row >= g.selFirstRow && row <= g.selLastRow && column >= g.selFirstColumn &&
         column <= g.selLastColumn;
}

void GridRepaintSelection(GridRecord& g) {
  if (g.selFirstRow == -1) return;
  InvalidateSelection(g);
}

void GridSetSelection(GridRecord& g, int firstRow, int lastRow, int firstColumn, int lastColumn) {
  if (firstRow == g.selFirstRow && lastRow == g.selLastRow && firstColumn == g.selFirstColumn &&
      lastColumn == g.selLastColumn)
    return;
  // The block replaces any text selection of the focused edit.
  const plat::Hwnd focus = plat::GetFocus();
  if (focus != plat::kNoWindow && SameClass(plat::GetClassName(focus), plat::kEditClass))
    plat::EditSetSel(focus, -1, 0);
  GridRepaintSelection(g);
  g.selFirstRow = firstRow;
  g.selLastRow = lastRow;
  g.selFirstColumn = firstColumn;
  g.selLastColumn = lastColumn;
  GridRepaintSelection(g);
  UpdateNow(g);
  StoreBlockEvent(g, 2, GridPackedCell(firstColumn, firstRow), GridPackedCell(lastColumn, lastRow));
}

void GridSelectBlock(GridRecord& g, int column1, int row1, int column2, int row2) {
  GridSetSelection(g, std::min(row1, row2), std::max(row1, row2), std::min(column1, column2),
                   std::max(column1, column2));
}

void GridDeselect(GridRecord& g) {
  g.anchorColumn = g.anchorRow = -1;
  if (g.selFirstRow == -1) return;
  InvalidateSelection(g);
  if (g.editor != plat::kNoWindow) plat::InvalidateRect(g.editor, std::nullopt, true);
  g.selFirstRow = g.selLastRow = g.selFirstColumn = g.selLastColumn = -1;
  UpdateNow(g);
  StoreBlockEvent(g, 2, 0, 0);
}

void GridHeaderClick(GridRecord& g, plat::Hwnd from, int item) {
  if (g.columnCount <= 0 || g.rowCount <= 0) return;
  const bool shift = plat::IsKeyDown(plat::kVkShift);
  const int lastRow = g.rowCount - 1, lastColumn = g.columnCount - 1;
  if (from == g.columnHeader) {
    if (item == 0) {
      plat::SetFocus(g.window);
      GridSetSelection(g, 0, lastRow, 0, lastColumn);
      return;
    }
    const int c = item - 1;
    if (c < 0 || c > lastColumn) return;
    if (!shift) {
      GridSetCurrentCell(g, c, g.topRow, true, false);
      GridSetSelection(g, 0, lastRow, c, c);
    } else {
      GridSetSelection(g, 0, lastRow, std::min(c, g.currentColumn), std::max(c, g.currentColumn));
      plat::SetFocus(g.window);
    }
    return;
  }
  const auto it = std::find(g.labelWindows.begin(), g.labelWindows.end(), from);
  if (it == g.labelWindows.end() || from == plat::kNoWindow) return;
  const int r = g.topRow + static_cast<int>(it - g.labelWindows.begin());
  if (r > lastRow) return;
  if (!shift) {
    GridSetCurrentCell(g, g.leftColumn, r, true, false);
    GridSetSelection(g, r, r, 0, lastColumn);
  } else {
    GridSetSelection(g, std::min(r, g.currentRow), std::max(r, g.currentRow), 0, lastColumn);
    plat::SetFocus(g.window);
  }
}

bool GridSelectionWritable(const GridRecord& g) {
  if (GridStyleOf(g) & kGridReadOnly) return false;
  if (g.selFirstRow == -1) return true;
  return !AnyLocked(g, g.selFirstColumn, g.selLastColumn, g.selFirstRow, g.selLastRow);
}

bool GridPasteBlockWritable(const GridRecord& g, int rows, int columns) {
  if (GridStyleOf(g) & kGridReadOnly) return false;
  const std::int64_t lastColumn =
      std::min<std::int64_t>(std::int64_t{g.currentColumn} + columns, g.columnCount) - 1;
  const std::int64_t lastRow = std::min<std::int64_t>(std::int64_t{g.currentRow} + rows, g.rowCount) - 1;
  return !AnyLocked(g, g.currentColumn, static_cast<int>(lastColumn), g.currentRow,
                    static_cast<int>(lastRow));
}

// ---------------------------------------------------------------------------
// Clipboard texts

int ClipboardTextKind(const std::optional<std::string>& text) {
  if (!text) return 0;
  for (std::size_t i = 0; i < text->size(); ++i) {
    const char c = (*text)[i];
    if (c == '\0') return 1;
    if (c == '\t' || c == '\n') return 2;
    if (c == '\r' && i + 1 < text->size() && (*text)[i + 1] == '\n') return 2;
  }
  return 1;
}

void ClipboardTextBlockSize(std::string_view text, int& rows, int& columns) {
  rows = 1;
  columns = 1;
  int c = 1;
  for (std::size_t i = 0; i < text.size() && text[i] != '\0'; ++i) {
    if (text[i] == '\t') {
      ++c;
    } else if (IsLineEnd(text[i])) {
      columns = std::max(columns, c);
      c = 1;
      i += LineEndLength(text, i) - 1;
      if (i + 1 < text.size() && text[i + 1] != '\0') ++rows;
    }
  }
  columns = std::max(columns, c);
}

std::string GridSelectionText(const GridRecord& g) {
  std::string text;
  if (g.selFirstRow == -1) return text;
  for (int r = g.selFirstRow; r <= g.selLastRow; ++r) {
    if (r > g.selFirstRow) text += "\r\n";
    for (int c = g.selFirstColumn; c <= g.selLastColumn; ++c) {
      if (c > g.selFirstColumn) text += '\t';
      text += GridCellText(g, c, r, 0);
    }
  }
  return text;
}

void GridPasteText(GridRecord& g, std::string_view text) {
  if (g.columnCount <= 0 || g.rowCount <= 0) return;
  GridDeselect(g);
  const int r0 = g.currentRow, c0 = g.currentColumn;
  int r = r0, c = c0, lastRow = r0, lastColumn = c0;
  if (const std::size_t nul = text.find('\0'); nul != std::string_view::npos) text = text.substr(0, nul);
  std::size_t pos = 0;
  while (pos < text.size() && !(r >= g.rowCount && c >= g.columnCount)) {
    std::size_t end = pos;
    while (end < text.size() && text[end] != '\t' && !IsLineEnd(text[end])) ++end;
    if (r < g.rowCount && c < g.columnCount) {
      lastRow = std::max(lastRow, r);
      lastColumn = std::max(lastColumn, c);
      PasteField(g, c, r, text.substr(pos, end - pos));
      GridInvalidateCell(g, c, r, 0);
    }
    if (end >= text.size()) break;
    if (text[end] == '\t') {
      ++c;
      pos = end + 1;
    } else {
      c = c0;
      ++r;
      pos = end + LineEndLength(text, end);
    }
  }
  if (RepaintCellsAtOnce() && g.cellArea != plat::kNoWindow) plat::UpdateWindow(g.cellArea);
  StoreBlockEvent(g, 1, GridPackedCell(c0, r0), GridPackedCell(lastColumn, lastRow));
  g.modified = g.changed = 1;
}

void GridClearSelection(GridRecord& g) {
  if (g.selFirstRow == -1) return;
  const int firstRow = g.selFirstRow, lastRow = g.selLastRow;
  const int firstColumn = g.selFirstColumn, lastColumn = g.selLastColumn;
  for (int c = firstColumn; c <= lastColumn; ++c) {
    GridColumn& col = g.columns[static_cast<std::size_t>(c)];
    for (int r = firstRow; r <= lastRow; ++r) {
      const auto i = static_cast<std::size_t>(r);
      switch (col.type) {
        case kColumnString:
          col.texts[i].clear();
          break;
        case kColumnReal:
          col.reals[i] = 0.0f;
          break;
        case kColumnDouble:
          col.doubles[i] = 0.0;
          break;
        default:
          col.ints[i] = 0;
          break;
      }
      // Entered stays: a ranged number cell cleared so may not be left blank.
      col.cellFlags[i] &= static_cast<std::uint8_t>(~kCellPresent);
    }
  }
  const bool current = GridCellInSelection(g, g.currentColumn, g.currentRow);
  GridDeselect(g);
  if (g.editor != plat::kNoWindow && current) {
    switch (g.columns[static_cast<std::size_t>(g.currentColumn)].type) {
      case kColumnCheckBox:
        plat::ButtonSetCheck(g.editor, plat::kUnchecked);
        break;
      case kColumnOption:
        plat::ComboBoxSetCurSel(g.editor, 0);
        break;
      default:
        GridSetEditorText(g, "");
        plat::EditSetModify(g.editor, false);
        g.editorField.rec.value = 0.0;
        break;
    }
  }
  StoreBlockEvent(g, 1, GridPackedCell(firstColumn, firstRow), GridPackedCell(lastColumn, lastRow));
  g.modified = g.changed = 1;
}

}  // namespace tk
