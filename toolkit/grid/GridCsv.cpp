// Comma-separated grid files: WGridSave writes a grid's cells, one line per
// row ended by CR LF; WGridLoad reads such a file back.
//
// Reading treats the file as hostile: fields of any length are gathered
// across reads, every count is checked against the grid, and a file with
// more columns or rows than the grid reports 1054 rather than storing
// anything outside it.
#include <cstdint>
#include <string>
#include <vector>

#include "toolkit/core/Conversion.h"
#include "toolkit/core/Files.h"
#include "toolkit/grid/Grid.h"
#include "toolkit/grid/GridFiles.h"
#include "toolkit/grid/GridFiles_p.h"

namespace tk {

namespace {

/// The file is read in blocks of this many characters.
constexpr int kLoadBlock = 65000;

/// TEXT in double quotes, every double quote inside doubled.
void AppendQuoted(std::string& out, std::string_view text) {
  out += '"';
  for (const char ch : text) {
    out += ch;
    if (ch == '"') out += '"';
  }
  out += '"';
}

std::string_view WithoutLeadingBlanks(std::string_view t) {
  const std::size_t first = t.find_first_not_of(' ');
  return first == std::string_view::npos ? std::string_view{} : t.substr(first);
}

/// Appends the field of cell (COLUMN, ROW) (from 0) as a file keeps it.
void AppendCellField(const GridRecord& g, int field, int column, int row, std::string& out) {
  const GridColumn& c = g.columns[static_cast<std::size_t>(column)];
  int f = field;
  switch (c.type) {
    case kColumnString: {
      std::string text;
      GridReadCellText(f, column, row, text, 0);
      AppendQuoted(out, text);
      return;
    }
    case kColumnCheckBox: {
      std::int32_t state = 0;
      GridCellCheckState(f, column, row, state);
      out += state == 1 ? "Yes" : "No";
      return;
    }
    case kColumnOption: {
      std::int32_t option = 0;
      GridCellOption(f, column, row, option);
      if (option > 0) AppendQuoted(out, GridCellText(g, column, row, 0));
      return;
    }
    default: {
      std::string text;
      GridReadCellText(f, column, row, text, 0);
      out += WithoutLeadingBlanks(text);
      return;
    }
  }
}

/// The text of a field as read: enclosing quotes and a line end's CR gone,
/// doubled quotes single, trailing blanks gone. RAW is the field without
/// its terminator.
std::string FieldText(std::string_view raw, bool quoted, bool sawCr) {
  std::string_view t = raw;
  if (quoted) {
    t = t.size() >= 2 ? t.substr(1, t.size() - 2) : std::string_view{};
  }
  if (sawCr && !t.empty()) t.remove_suffix(1);
  std::string out;
  out.reserve(t.size());
  for (std::size_t i = 0; i < t.size(); ++i) {
    out += t[i];
    if (t[i] == '"' && i + 1 < t.size() && t[i + 1] == '"') ++i;
  }
  const std::size_t end = out.find_last_not_of(' ');
  out.resize(end == std::string::npos ? 0 : end + 1);
  return out;
}

/// The load's state between fields.
class CsvLoader {
 public:
  CsvLoader(GridRecord& g, int field, bool grow) : g_(g), field_(field), grow_(grow) {
    for (int c = 0; c < g.columnCount; ++c) {
      int f = field;
      std::string format;
      GridColumnFormat(f, c, format, kNumberTextLength + 1);
      formats_.push_back(format);
    }
  }

  /// Takes one character of the file.
  void Take(char ch) {
    if (stopped_) return;
    if (ch == '\n' || (ch == ',' && quotes_ % 2 == 0)) {
      EndField(ch == '\n');
      return;
    }
    if (skipping_) return;
    if (ch == '"') ++quotes_;
    if (ch == '\r') sawCr_ = true;
    raw_ += ch;
  }

  bool Stopped() const { return stopped_; }

  /// Empties the cells the file did not reach and reports a file too wide.
  void Finish() {
    for (int r = row_; r < g_.rowCount; ++r)
      for (int c = 0; c < g_.columnCount; ++c) {
        int f = field_;
        GridResetCell(f, c, r, 2);
      }
    if (tooBig_) ReportLibraryError(kErrGridFileTooBig, "WGridLoad");
  }

 private:
  void EndField(bool lineEnd) {
    const bool quoted = quotes_ > 0;
    const bool sawCr = sawCr_;
    quotes_ = 0;
    sawCr_ = false;
    if (skipping_) {
      // The rest of a line longer than the grid is wide.
      raw_.clear();
      if (lineEnd) NextRow();
      return;
    }
    if (grow_ && row_ >= g_.rowCount && row_ < g_.rowCapacity) WGridRows(field_, row_ + 1);
    if (row_ >= g_.rowCount) {
      // A line beyond the last row of a grid that cannot take it: the load
      // ends here.
      tooBig_ = true;
      stopped_ = true;
      raw_.clear();
      return;
    }
    if (column_ >= g_.columnCount) {
      tooBig_ = true;
      raw_.clear();
      if (lineEnd)
        NextRow();
      else
        skipping_ = true;
      return;
    }
    Store(FieldText(raw_, quoted, sawCr));
    raw_.clear();
    if (lineEnd) {
      for (int c = column_ + 1; c < g_.columnCount; ++c) {
        int f = field_;
        GridResetCell(f, c, row_, 1);
      }
      NextRow();
    } else {
      ++column_;
    }
  }

  void NextRow() {
    skipping_ = false;
    column_ = 0;
    ++row_;
  }

  void Store(const std::string& text) {
    const GridColumn& c = g_.columns[static_cast<std::size_t>(column_)];
    const int column = column_ + 1, row = row_ + 1;
    int f = field_;
    switch (c.type) {
      case kColumnString: {
        const std::size_t n = std::min(text.size(), static_cast<std::size_t>(std::max(0, c.textLength)));
        GridStoreCellValue(f, column_, row_, 0.0, std::string_view(text).substr(0, n), "");
        return;
      }
      case kColumnCheckBox: {
        std::string upper = text;
        UpperCaseInPlace(upper);
        GridStoreCheckState(f, column_, row_, upper == "YES" ? 1 : 0);
        return;
      }
      case kColumnOption: {
        int notFound = 0;
        GridStoreOptionByText(f, column_, row_, notFound, text);
        if (notFound) ReportLibraryError(kErrGridMenuNoMatch, "WGridLoad");
        return;
      }
      default:
        break;
    }
    // A number: a conversion or range failure clears the cell and leaves
    // its code; a number stored cleanly puts the code of before back.
    ToolkitErrorState& e = ErrorState();
    const std::int32_t before = e.lastError;
    e.lastError = 0;
    const std::string& format = formats_[static_cast<std::size_t>(column_)];
    if (c.type == kColumnInteger) {
      std::int32_t v = 0;
      IStringToInteger(text, v);
      if (e.lastError == 0) WGridPutCellInteger(field_, column, row, v);
    } else if (c.type == kColumnReal) {
      float v = 0.0f;
      IStringToReal(text, v);
      if (e.lastError == 0) WGridPutCellReal(field_, column, row, v, format);
    } else {
      double v = 0.0;
      IStringToReal(text, v);
      if (e.lastError == 0) WGridPutCellDouble(field_, column, row, v, format);
    }
    if (e.lastError != 0)
      WGridClearCell(field_, column, row);
    else
      e.lastError = before;
  }

  GridRecord& g_;
  int field_;
  bool grow_;
  std::vector<std::string> formats_;
  std::string raw_;
  int quotes_ = 0;
  bool sawCr_ = false;
  bool skipping_ = false;
  bool stopped_ = false;
  bool tooBig_ = false;
  int column_ = 0;
  int row_ = 0;
};

}  // namespace

void WGridSave(int field, std::string_view fileName, std::optional<int> firstColumn,
               std::optional<int> lastColumn, std::optional<int> firstRow,
               std::optional<int> lastRow) {
  GridRecord* g = RoutineGrid(field, "WGridSave");
  if (g == nullptr) return;
  const GridSpan columns = ClampSpan(firstColumn, lastColumn, g->columnCount);
  const GridSpan rows = ClampSpan(firstRow, lastRow, g->rowCount);
  IFileHandle h = -1;
  IFileOpen(fileName, kFileWrite, h);
  if (h == -1) return;
  std::string line;
  for (int r = rows.first; r <= rows.last; ++r) {
    line.clear();
    for (int c = columns.first; c <= columns.last; ++c) {
      AppendCellField(*g, field, c - 1, r - 1, line);
      line += c == columns.last ? "\r\n" : ",";
    }
    if (line.empty()) continue;
    int moved = 0;
    IFileWriteChar(h, line, static_cast<int>(line.size()), moved);
    if (moved != static_cast<int>(line.size())) break;
  }
  IFileClose(h);
}

void WGridLoad(int field, std::string_view fileName, std::optional<int> grow) {
  GridRecord* g = RoutineGrid(field, "WGridLoad");
  if (g == nullptr) return;
  IFileHandle h = -1;
  IFileOpen(fileName, kFileRead, h);
  if (h == -1) return;
  GridSuspendRepaint();
  CsvLoader loader(*g, field, grow.value_or(0) == 1);
  std::string block(static_cast<std::size_t>(kLoadBlock), ' ');
  bool failed = false;
  while (!loader.Stopped()) {
    int moved = 0;
    IFileReadChar(h, block, kLoadBlock, moved);
    if (moved < 0) {
      failed = true;
      break;
    }
    if (moved == 0) break;
    for (int i = 0; i < moved && !loader.Stopped(); ++i) loader.Take(block[static_cast<std::size_t>(i)]);
  }
  // A read failure keeps the cells stored so far and clears nothing more.
  if (!failed) loader.Finish();
  IFileClose(h);
  GridResumeRepaint(field);
  if (g->cellArea != plat::kNoWindow) plat::InvalidateRect(g->cellArea, std::nullopt, false);
}

}  // namespace tk
