// The grid as an HTML table: the exact lines written for the options,
// titles, colours, headers, labels and cell kinds, and the failures.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "tests/toolkit/grid/GridPeripheryTestSupport.h"
#include "toolkit/grid/GridAttributes.h"
#include "toolkit/grid/GridFiles.h"

namespace tk::testing {
namespace {

using testing_support::ReadFile;
using Lines = std::vector<std::string>;

class GridHtmlTest : public GridPeripheryTest {
 protected:
  std::string Path() const { return (dir_ / "grid.htm").string(); }
  /// The file's lines; every one must end with CR LF.
  Lines FileLines() const {
    const std::string bytes = ReadFile(Path());
    Lines lines;
    std::size_t at = 0;
    while (at < bytes.size()) {
      const std::size_t end = bytes.find("\r\n", at);
      EXPECT_NE(end, std::string::npos) << "a line without CR LF";
      if (end == std::string::npos) break;
      lines.push_back(bytes.substr(at, end - at));
      at = end + 2;
    }
    return lines;
  }
};

TEST_F(GridHtmlTest, OneCellGridLines) {
  WDialogLoad(972);
  PutText(2100, 1, 1, "abc");
  const Lines table = {"<table border=1 cellpadding=5>", "<tr>", "<td align=left>", "abc",
                       "</td>", "</tr>", "</table>"};
  const auto document = [&](Lines head, std::string body) {
    Lines all = {"<html>", "<head>"};
    all.insert(all.end(), head.begin(), head.end());
    all.push_back("</head>");
    all.push_back(body);
    all.insert(all.end(), table.begin(), table.end());
    all.push_back("</body>");
    all.push_back("</html>");
    return all;
  };
  WGridSaveHTML(2100, Path(), std::nullopt, std::nullopt, std::nullopt, std::nullopt, 0,
                std::nullopt, 1);
  EXPECT_EQ(FileLines(), document({}, "<body>"));
  WGridSaveHTML(2100, Path(), std::nullopt, std::nullopt, std::nullopt, std::nullopt, 1,
                std::nullopt, 1);
  EXPECT_EQ(FileLines(), table);
  // A blank title: the title element, no heading.
  WGridSaveHTML(2100, Path(), std::nullopt, std::nullopt, std::nullopt, std::nullopt, 0,
                "    ", 1);
  EXPECT_EQ(FileLines(), document({"<title></title>"}, "<body>"));
  WGridSaveHTML(2100, Path(), std::nullopt, std::nullopt, std::nullopt, std::nullopt, 0,
                std::nullopt, 1, 255);
  EXPECT_EQ(FileLines(), document({}, "<body bgcolor=#ff0000>"));
  // Centred with a title, a negative border written 0.
  WGridSaveHTML(2100, Path(), std::nullopt, std::nullopt, std::nullopt, std::nullopt, 3,
                "Shots  ", -1);
  EXPECT_EQ(FileLines(), (Lines{"<center>", "<h2>Shots</h2>", "<table border=0 cellpadding=5>",
                                "<tr>", "<td align=left>", "abc", "</td>", "</tr>", "</table>",
                                "</center>"}));
  // Markup in a cell passes through unchanged.
  PutText(2100, 1, 1, "a < b & <b>c</b>");
  WGridSaveHTML(2100, Path(), std::nullopt, std::nullopt, std::nullopt, std::nullopt, 1);
  EXPECT_EQ(FileLines()[3], "a < b & <b>c</b>");
  EXPECT_EQ(FileLines()[0], "<table border=0 cellpadding=5>");
}

TEST_F(GridHtmlTest, HeadersCheckBoxesOptionsAndColours) {
  WDialogLoad(970);
  PutText(2000, 1, 1, " x ");
  WGridPutCellInteger(2000, 2, 1, 12);
  WGridPutCellCheckBox(2000, 3, 1, 1);
  int f = 2000;
  GridSetCellColours(f, 0, 0, 0, 0, 255, 16, 32, 48);
  GridSetCellColours(f, 1, 0, 256, 0, 0, 255, 255, 255);
  WGridSaveHTML(2000, Path(), 1, 4, 1, 2, 1);
  const Lines header = {"<table border=0 cellpadding=5>",
                        "<tr>",
                        "<td align=center>", "Name", "</td>",
                        "<td align=center>", "Count", "</td>",
                        "<td align=center>", "On", "</td>",
                        // An option column's caption is its control's text.
                        "<td align=center>", "Geophone", "</td>",
                        "</tr>"};
  Lines expected = header;
  const Lines rows = {"<tr>",
                      "<td align=left bgcolor=#102030>", "<font color=#0000ff>", " x ", "</font>",
                      "</td>",
                      "<td align=left bgcolor=#ffffff>", "12", "</td>",
                      "<td align=center>", R"(<font face="Symbol">&middot;</font>)", "</td>",
                      "<td align=left>", " ", "</td>",
                      "</tr>",
                      "<tr>",
                      "<td align=left>", "", "</td>",
                      "<td align=left>", "", "</td>",
                      "<td align=center>", "&nbsp;", "</td>",
                      "<td align=left>", " ", "</td>",
                      "</tr>",
                      "</table>"};
  expected.insert(expected.end(), rows.begin(), rows.end());
  EXPECT_EQ(FileLines(), expected);
  // Letters for the boxes, no colours, one selected option.
  WGridPutCellOption(2000, 4, 2, 2);
  WGridSaveHTML(2000, Path(), 3, 4, 1, 2, 1 | 4 | 8);
  EXPECT_EQ(FileLines(), (Lines{"<table border=0 cellpadding=5>", "<tr>", "<td align=center>",
                                "On", "</td>", "<td align=center>", "Geophone", "</td>", "</tr>",
                                "<tr>", "<td align=center>", "Y", "</td>", "<td align=left>", " ",
                                "</td>", "</tr>", "<tr>", "<td align=center>", "N", "</td>",
                                "<td align=left>", "Hydrophone", "</td>", "</tr>", "</table>"}));
}

TEST_F(GridHtmlTest, RowLabelsAlignmentsAndLongTexts) {
  WDialogLoad(974);
  const std::string longText(3000, 'w');
  PutText(2200, 1, 2, longText);
  WGridPutCellReal(2200, 2, 2, 2.5f, "(F5.1)");
  WGridSaveHTML(2200, Path(), 1, 3, 2, 2, 1);
  EXPECT_EQ(FileLines(),
            (Lines{"<table border=0 cellpadding=5>", "<tr>", "<td></td>", "<td align=center>",
                   "Word", "</td>", "<td align=center>", "Value", "</td>", "<td align=center>", "",
                   "</td>", "</tr>", "<tr>", "<td align=left>", "r2", "</td>", "<td align=left>",
                   std::string(1024, 'w'), "</td>", "<td align=right>", "2.5", "</td>",
                   "<td align=left>", "", "</td>", "</tr>", "</table>"}));
}

TEST_F(GridHtmlTest, DocumentsParseAsHtml) {
  if (std::system("command -v xmllint >/dev/null 2>&1") != 0) GTEST_SKIP() << "no xmllint";
  WDialogLoad(970);
  for (int r = 1; r <= 10 && r <= FindGrid(2000)->rowCount; ++r) {
    PutText(2000, 1, r, "row " + std::to_string(r));
    WGridPutCellCheckBox(2000, 3, r, r % 2);
    WGridPutCellOption(2000, 4, r, r % 4);
  }
  int f = 2000;
  GridSetColumnColours(f, 1, 255, 0, 0, 0, 255, 0);
  for (int flags : {0, 2, 4, 8, 14}) {
    SCOPED_TRACE(flags);
    WGridSaveHTML(2000, Path(), std::nullopt, std::nullopt, std::nullopt, std::nullopt, flags,
                  "Receiver table", 2, 0xFFEECC);
    EXPECT_EQ(std::system(("xmllint --html --noout '" + Path() + "' 2>/dev/null").c_str()), 0);
  }
}

TEST_F(GridHtmlTest, Failures) {
  WDialogLoad(972);
  WGridSaveHTML(2100, (dir_ / "no" / "folder.htm").string());
  WGridSaveHTML(4242, Path());
  EXPECT_EQ(TakeReports(), (Lines{"WGridSaveHTML 1", "WGridSaveHTML 1006"}));
  EXPECT_EQ(ErrorState().systemError != 0, true);
  // A full device: the lines before the failure stay, nothing after.
  if (std::FILE* probe = std::fopen("/dev/full", "w")) {
    std::fclose(probe);
    WGridSaveHTML(2100, "/dev/full");
    EXPECT_EQ(TakeReports(), (Lines{"WGridSaveHTML 2"}));
  }
  // The line output writes nothing after a failure and keeps its status.
  int status = 5;
  GridFileWriteLine("text", 4, status);
  EXPECT_EQ(status, 5);
  WDialogUnload();
  WGridSaveHTML(2100, Path());
  EXPECT_EQ(TakeReports(), (Lines{"WGridSaveHTML 1005"}));
}

}  // namespace
}  // namespace tk::testing
