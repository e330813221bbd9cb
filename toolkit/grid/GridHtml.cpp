// The grid saved as an HTML table: one item per line, every line ended by
// CR LF, markup in lower case, texts written as they are (markup in a cell
// passes through).
#include <cstdio>
#include <string>
#include <vector>

#include "platform/FixedText.h"
#include "platform/system/File.h"
#include "toolkit/core/Conversion.h"
#include "toolkit/grid/GridAttributes.h"
#include "toolkit/grid/GridFiles.h"
#include "toolkit/grid/GridFiles_p.h"

namespace tk {

namespace {

constexpr std::string_view kName = "WGridSaveHTML";
constexpr std::string_view kCheckMark = R"(<font face="Symbol">&middot;</font>)";

std::string Hex(std::int32_t r, std::int32_t g, std::int32_t b) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "%02x%02x%02x", static_cast<unsigned>(r & 0xFF),
                static_cast<unsigned>(g & 0xFF), static_cast<unsigned>(b & 0xFF));
  return buf;
}

std::string_view AlignmentWord(int alignment) {
  return alignment == 2 ? "right" : alignment == 1 ? "center" : "left";
}

/// The lines of one file, written through the grid file line output.
class HtmlWriter {
 public:
  void Line(std::string_view text) { GridFileWriteLine(text, static_cast<int>(text.size()), status_); }
  int Status() const { return status_; }

 private:
  int status_ = 0;
};

/// The content line of cell (COLUMN, ROW) (from 0).
std::string CellLine(const GridRecord& g, int field, int column, int row, bool letters) {
  const GridColumn& c = g.columns[static_cast<std::size_t>(column)];
  int f = field;
  if (c.type == kColumnCheckBox) {
    std::int32_t state = 0;
    GridCellCheckState(f, column, row, state);
    if (letters) return state == 1 ? "Y" : "N";
    return state == 1 ? std::string(kCheckMark) : std::string("&nbsp;");
  }
  if (c.type == kColumnOption) {
    std::int32_t option = 0;
    GridCellOption(f, column, row, option);
    return option > 0 ? GridCellText(g, column, row, 0) : std::string(" ");
  }
  std::string text;
  GridReadCellText(f, column, row, text, 0);
  return text;
}

}  // namespace

void WGridSaveHTML(int field, std::string_view fileName, std::optional<int> firstColumn,
                   std::optional<int> lastColumn, std::optional<int> firstRow,
                   std::optional<int> lastRow, std::optional<int> flagsArg,
                   std::optional<std::string_view> title, std::optional<int> border,
                   std::optional<std::int32_t> background) {
  GridRecord* g = RoutineGrid(field, kName);
  if (g == nullptr) return;
  const GridSpan columns = ClampSpan(firstColumn, lastColumn, g->columnCount);
  const GridSpan rows = ClampSpan(firstRow, lastRow, g->rowCount);
  const int flags = flagsArg.value_or(0);

  const std::string path(plat::Trim(fileName, plat::kBlankOrNul));
  int handle = -1;
  if (const int status = plat::FileOpen(path, plat::FileAccess::WriteCreate, handle); status != 0) {
    ReportFileError(kErrOpen, status, kName);
    return;
  }
  // The line output writes to the one grid file; a file written from
  // inside another (none does so) would see its own handle back after.
  const int outer = GridFileHandle();
  GridFileHandle() = handle;
  HtmlWriter w;
  const auto done = [&](bool reportFailure) {
    GridFileHandle() = outer;
    plat::FileClose(handle);
    if (reportFailure) ReportFileError(kErrReadWrite, w.Status(), kName);
  };

  std::string borderText(10, ' ');
  IntegerToString(std::max(0, border.value_or(0)), borderText, "(I10)");
  std::string digits;
  for (const char ch : borderText)
    if (ch != ' ') digits += ch;

  const bool hasTitle = title.has_value();
  const std::string shownTitle(hasTitle ? plat::TrimRight(*title, plat::kBlankOrNul) : std::string_view{});
  if (!(flags & kHtmlTableOnly)) {
    w.Line("<html>");
    w.Line("<head>");
    if (hasTitle) w.Line("<title>" + shownTitle + "</title>");
    w.Line("</head>");
    if (background && *background != -1)
      w.Line("<body bgcolor=#" + Hex(*background, *background >> 8, *background >> 16) + ">");
    else
      w.Line("<body>");
  }
  if (flags & kHtmlCentre) w.Line("<center>");
  if (!shownTitle.empty()) w.Line("<h2>" + shownTitle + "</h2>");
  w.Line("<table border=" + digits + " cellpadding=5>");

  int f = field;
  std::int32_t hasHeaders = 0, labelWidth = 0;
  GridHeaderLayout(f, hasHeaders, labelWidth);
  const bool labels = labelWidth > 0;
  std::vector<std::string> alignments;
  for (int c = columns.first; c <= columns.last; ++c) {
    std::int32_t a = 0;
    GridColumnAlignment(f, c - 1, a);
    alignments.emplace_back(AlignmentWord(a));
  }

  if (hasHeaders) {
    w.Line("<tr>");
    if (labels) w.Line("<td></td>");
    for (int c = columns.first; c <= columns.last; ++c) {
      std::string caption;
      GridColumnCaption(f, c, caption, std::string::npos);
      w.Line("<td align=center>");
      w.Line(caption);
      w.Line("</td>");
    }
    w.Line("</tr>");
    if (w.Status() != 0) return done(true);
  }
  const bool colours = !(flags & kHtmlNoColours);
  const bool letters = (flags & kHtmlCheckLetters) != 0;
  for (int r = rows.first; r <= rows.last; ++r) {
    w.Line("<tr>");
    if (labels) {
      std::string label;
      GridRowLabel(f, r - 1, label, kRowLabelLength + 1);
      w.Line("<td align=left>");
      w.Line(label);
      w.Line("</td>");
    }
    for (int c = columns.first; c <= columns.last; ++c) {
      std::int32_t tr = -1, tg = -1, tb = -1, br = -1, bg = -1, bb = -1;
      if (colours) GridCellColours(f, c - 1, r - 1, tr, tg, tb, br, bg, bb);
      const std::string& align = alignments[static_cast<std::size_t>(c - columns.first)];
      if (br != -1)
        w.Line("<td align=" + align + " bgcolor=#" + Hex(br, bg, bb) + ">");
      else
        w.Line("<td align=" + align + ">");
      if (tr != -1) w.Line("<font color=#" + Hex(tr, tg, tb) + ">");
      w.Line(CellLine(*g, field, c - 1, r - 1, letters));
      if (tr != -1) w.Line("</font>");
      w.Line("</td>");
    }
    w.Line("</tr>");
    if (w.Status() != 0) return done(true);
  }
  w.Line("</table>");
  if (flags & kHtmlCentre) w.Line("</center>");
  if (!(flags & kHtmlTableOnly)) {
    w.Line("</body>");
    w.Line("</html>");
  }
  done(w.Status() != 0);
}

}  // namespace tk
