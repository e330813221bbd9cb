// Sorting a grid's rows by one column and finding a text in its cells.
//
// The sort orders rows by the keys of the sort column: texts compare as
// unsigned bytes with the shorter padded by blanks, numbers by value, and
// cells without value take a key that puts them last in either direction.
// Rows are exchanged in place; numeric cells take their flag byte with
// them, other cells leave it at the row position, and colours never move.
#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <utility>

#include "platform/controls/Controls.h"
#include "toolkit/grid/Grid.h"
#include "toolkit/grid/GridFiles_p.h"
#include "toolkit/grid/GridSortFind.h"

namespace tk {

namespace {

bool IsNumeric(int type) {
  return type == kColumnInteger || type == kColumnReal || type == kColumnDouble;
}

char Upper(char ch) {
  return ch >= 'a' && ch <= 'z' ? static_cast<char>(ch - 'a' + 'A') : ch;
}

/// A sort key: a text or a number.
struct SortKey {
  std::string text;
  double number = 0.0;
};

/// Reads keys of the sort column and compares them.
class SortColumn {
 public:
  SortColumn(GridRecord& g, int column, int flags)
      : g_(g),
        c_(g.columns[static_cast<std::size_t>(column)]),
        descending_((flags & kSortDescending) != 0),
        fold_((flags & kSortFoldCase) != 0),
        labels_((flags & kSortMoveLabels) != 0 && (GridStyleOf(g) & kGridRowLabels) != 0) {}

  void Key(int row, SortKey& key) const {
    const auto r = static_cast<std::size_t>(row);
    switch (c_.type) {
      case kColumnString: {
        const std::string& t = c_.texts[r];
        if (t.empty()) {
          key.text.assign(1, descending_ ? ' ' : '\xFF');
          return;
        }
        key.text.assign(t, 0, std::min(t.size(), static_cast<std::size_t>(std::max(0, c_.textLength))));
        if (fold_)
          for (char& ch : key.text) ch = Upper(ch);
        return;
      }
      case kColumnInteger:
        key.number = (c_.cellFlags[r] & kCellPresent) ? c_.ints[r]
                     : descending_                    ? -2147483647.0
                                                      : 2147483647.0;
        return;
      case kColumnReal:
        key.number = (c_.cellFlags[r] & kCellPresent) && !std::isnan(c_.reals[r]) ? c_.reals[r]
                     : descending_ ? -static_cast<double>(FLT_MAX)
                                   : static_cast<double>(FLT_MAX);
        return;
      case kColumnDouble:
        key.number = (c_.cellFlags[r] & kCellPresent) && !std::isnan(c_.doubles[r]) ? c_.doubles[r]
                     : descending_ ? -DBL_MAX
                                   : DBL_MAX;
        return;
      case kColumnCheckBox:
        key.number = c_.ints[r] != 0 ? 1 : 0;
        return;
      default: {
        const int index = c_.ints[r];
        key.number = index < 0 ? 0 : index + 1;
        return;
      }
    }
  }

  /// Negative, zero or positive as A orders before, with or after B.
  int Compare(const SortKey& a, const SortKey& b) const {
    if (c_.type != kColumnString) return a.number < b.number ? -1 : a.number > b.number ? 1 : 0;
    const std::size_t n = std::max(a.text.size(), b.text.size());
    for (std::size_t i = 0; i < n; ++i) {
      const auto x = static_cast<unsigned char>(i < a.text.size() ? a.text[i] : ' ');
      const auto y = static_cast<unsigned char>(i < b.text.size() ? b.text[i] : ' ');
      if (x != y) return x < y ? -1 : 1;
    }
    return 0;
  }

  /// True when A must come after B in the order sought.
  bool After(const SortKey& a, const SortKey& b) const {
    const int d = Compare(a, b);
    return descending_ ? d < 0 : d > 0;
  }

  void Swap(int a, int b) {
    const auto x = static_cast<std::size_t>(a), y = static_cast<std::size_t>(b);
    for (std::size_t i = 0; i < g_.columns.size(); ++i) {
      GridColumn& c = g_.columns[i];
      switch (c.type) {
        case kColumnString: std::swap(c.texts[x], c.texts[y]); break;
        case kColumnReal: std::swap(c.reals[x], c.reals[y]); break;
        case kColumnDouble: std::swap(c.doubles[x], c.doubles[y]); break;
        default: std::swap(c.ints[x], c.ints[y]); break;
      }
      if (IsNumeric(c.type)) std::swap(c.cellFlags[x], c.cellFlags[y]);
    }
    if (labels_ && y < g_.rowLabels.size() && x < g_.rowLabels.size())
      std::swap(g_.rowLabels[x], g_.rowLabels[y]);
    MarkRow(a);
    MarkRow(b);
  }

  bool MovesLabels() const { return labels_; }

 private:
  void MarkRow(int row) {
    if (row < g_.topRow || row >= g_.topRow + g_.shownRows) return;
    for (int c = g_.leftColumn; c < g_.columnCount && c <= g_.rightColumn + 1; ++c)
      GridInvalidateCell(g_, c, row, 0);
  }

  GridRecord& g_;
  const GridColumn& c_;
  bool descending_;
  bool fold_;
  bool labels_;
};

/// Sorts rows LO..HI: an exchange sort for up to six rows, else a
/// partition around the first row's key. The smaller part is sorted by
/// recursion and the larger in the loop, so that the depth stays
/// logarithmic however the keys lie.
void SortRange(SortColumn& s, int lo, int hi) {
  SortKey ki, kj, pivot;
  while (lo < hi) {
    if (hi < lo + 6) {
      for (int i = lo; i < hi; ++i) {
        s.Key(i, ki);
        for (int j = i + 1; j <= hi; ++j) {
          s.Key(j, kj);
          if (s.After(ki, kj)) {
            s.Swap(i, j);
            s.Key(i, ki);
          }
        }
      }
      return;
    }
    s.Key(lo, pivot);
    int i = lo - 1, j = hi + 1;
    for (;;) {
      do {
        ++i;
        s.Key(i, ki);
      } while (s.After(pivot, ki));
      do {
        --j;
        s.Key(j, kj);
      } while (s.After(kj, pivot));
      if (i >= j) break;
      if (s.Compare(ki, kj) != 0) s.Swap(i, j);
    }
    if (i == j) ++i;
    // Parts LO..J and I..HI.
    const bool leftPart = lo < j, rightPart = i < hi;
    if (leftPart && rightPart) {
      if (j - lo < hi - i) {
        SortRange(s, lo, j);
        lo = i;
      } else {
        SortRange(s, i, hi);
        hi = j;
      }
    } else if (leftPart) {
      hi = j;
    } else if (rightPart) {
      lo = i;
    } else {
      return;
    }
  }
}

}  // namespace

void WGridSort(int field, int column, std::optional<int> flags, std::optional<int> firstRow,
               std::optional<int> lastRow) {
  constexpr std::string_view kName = "WGridSort";
  // The sort acts in the current dialog's context even on a grid window.
  if (CurrentDialog() == nullptr) {
    ReportLibraryError(kErrNoDialog, kName);
    return;
  }
  GridRecord* g = FindGrid(field);
  if (g == nullptr) {
    ReportLibraryError(kErrBadField, kName);
    return;
  }
  if (column < 1 || column > g->columnCount) {
    ReportLibraryError(kErrCellOutside, kName);
    return;
  }
  const GridSpan rows = ClampSpan(firstRow, lastRow, g->rowCount);
  if (rows.last - rows.first < 1) return;
  GridDeselect(*g);
  // The cell the editor serves takes the editor's content first, and the
  // editor shows what its cell holds afterwards.
  GridSaveCellEditor(*g);
  GridSuspendRepaint();
  SortColumn s(*g, column - 1, flags.value_or(0));
  SortRange(s, rows.first - 1, rows.last - 1);
  GridLoadCellEditor(*g);
  if (s.MovesLabels()) GridRefreshRowLabels(*g);
  g->modified = g->changed = 1;
  GridResumeRepaint(field);
}

void WGridFind(int field, std::string_view text, std::optional<int> flagsArg, std::int32_t* found,
               std::optional<int> firstColumn, std::optional<int> lastColumn,
               std::optional<int> firstRow, std::optional<int> lastRow) {
  constexpr std::string_view kName = "WGridFind";
  GridRecord* g = RoutineGrid(field, kName);
  if (g == nullptr) return;
  const int flags = flagsArg.value_or(0);
  const GridSpan columns = ClampSpan(firstColumn, lastColumn, g->columnCount);
  const GridSpan rows = ClampSpan(firstRow, lastRow, g->rowCount);
  std::string sought(text);
  const bool fold = (flags & kFindFoldCase) != 0;
  if (fold)
    for (char& ch : sought) ch = Upper(ch);
  int startColumn = columns.first;
  int startRow = rows.first;
  if ((flags & kFindContinue) && g->currentColumn + 1 >= columns.first) {
    startColumn = g->currentColumn + 1;
    startRow = std::max(g->currentRow + 2, rows.first);
  }
  if (found != nullptr) *found = 0;
  std::string cell;
  for (int c = startColumn; c <= columns.last; ++c) {
    const GridColumn& col = g->columns[static_cast<std::size_t>(c - 1)];
    std::size_t length = 0;
    if (col.type == kColumnString)
      length = static_cast<std::size_t>(std::max(0, col.textLength)) + 1;
    else if (IsNumeric(col.type) && (flags & kFindNumbers))
      length = col.type == kColumnInteger ? 11 : kNumberTextLength;
    else
      continue;
    if (sought.size() > length) continue;
    for (int r = c == startColumn ? startRow : rows.first; r <= rows.last; ++r) {
      int f = field;
      GridReadCellText(f, c - 1, r - 1, cell, length + 1);
      cell.resize(length, ' ');
      if (fold)
        for (char& ch : cell) ch = Upper(ch);
      if (cell.find(sought) != std::string::npos) {
        WGridSetCell(field, c, r);
        if (found != nullptr) *found = -1;
        return;
      }
    }
  }
}

}  // namespace tk
