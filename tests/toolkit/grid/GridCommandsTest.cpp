// The grid-window commands with scripted dialogs, file selection and
// message boxes: what each does to the grid and its files, the messages it
// shows, and the frame it leaves behind (current window, current dialog,
// last error code).
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/dialog/Dialog.h"
#include "platform/dialog/MessageBox.h"
#include "tests/toolkit/grid/GridPeripheryTestSupport.h"
#include "tests/toolkit/grid/FakeGridPrinter.h"
#include "toolkit/core/OsServices.h"
#include "toolkit/core/Windows.h"
#include "toolkit/grid/GridAttributes.h"
#include "toolkit/grid/GridCommands.h"
#include "toolkit/grid/GridEditorWindow.h"
#include "toolkit/grid/GridPrinting.h"

namespace tk::testing {
namespace {

using testing_support::ReadFile;
using testing_support::WriteFile;
using Texts = std::vector<std::string>;

class GridCommandsTest : public GridPeripheryTest {
 protected:
  void SetUp() override {
    GridPeripheryTest::SetUp();
    UseGrid(970, 2000);
    WGridRows(field_, 5);
    plat::ClearMessageBoxLog();
    GridCommandsKept() = GridCommandSettings{};
    GridPrinting() = GridPrintHooks{};
    TakeReports();
  }
  void TearDown() override {
    GridPrinting() = GridPrintHooks{};
    GridPeripheryTest::TearDown();
  }
  /// Loads DIALOG and opens a grid window on its grid FIELD; the grid
  /// window stays current, so that field 0 names its grid.
  void UseGrid(int dialog, int field) {
    WDialogLoad(dialog);
    if (window_ > 0) WindowCloseChild(window_);
    WindowOpenChild(window_, 7, 10, 10, 700, 500, 0, {}, 0, "Grid");
    int status = -1, mode = kGridWindowModeless;
    GridWindowOpen(status, field, mode, 0, 0, -1, {}, {});
    ASSERT_EQ(status, 0);
    field_ = 0;
  }
  /// Clicks push button ID of the current dialog.
  static void Press(int id) { plat::PressDialogButton(DialogWindow(), id); }
  /// The message boxes shown since the last call, as "caption: text".
  static Texts Boxes() {
    Texts seen;
    for (const plat::MessageBoxRecord& r : plat::MessageBoxLog()) seen.push_back(r.caption + ": " + r.text);
    plat::ClearMessageBoxLog();
    return seen;
  }
  std::pair<int, int> Current() const {
    const GridRecord* g = FindGrid(field_);
    return {g->currentColumn + 1, g->currentRow + 1};
  }
  int window_ = -1;
  int field_ = 0;
};

TEST_F(GridCommandsTest, GotoTakesItsRangeFromTheGrid) {
  WGridSetCell(field_, 1, 2);
  harness.Answer("dialog 32108", "1002=9\npress 1\n1002=4\npress 1");
  GridWindowGoto(window_, 3);
  EXPECT_EQ(Current(), (std::pair<int, int>{4, 2}));
  harness.Answer("dialog 32108", "1002=5\npress 1");
  GridWindowGoto(window_, 2);
  EXPECT_EQ(Current(), (std::pair<int, int>{4, 5}));
  harness.Answer("dialog 32107", "1002=2\n1004=3\npress 1");
  GridWindowGoto(window_, 1);
  EXPECT_EQ(Current(), (std::pair<int, int>{2, 3}));
  harness.Answer("dialog 32107", "1002=1\n1004=1\npress 2");
  GridWindowGoto(window_, 1);
  EXPECT_EQ(Current(), (std::pair<int, int>{2, 3}));
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(GridCommandsTest, FindSearchesAfterTheCurrentCell) {
  PutText(field_, 1, 4, "Needle");
  std::int32_t matchCase = 0, numbers = 0;
  std::string text("\0xxxxxxxxxxxxxxx", 16);
  // No dialog and an empty text: the cell below the current one.
  WGridSetCell(field_, 1, 2);
  GridWindowFind(window_, 0, matchCase, numbers, text);
  EXPECT_EQ(Current(), (std::pair<int, int>{1, 3}));
  // With the dialog: an empty field beeps and waits, then the text is
  // searched with letter case folded.
  BeepSwitch(1);
  const int beeps = harness.Backend().Beeps();
  harness.Answer("dialog 32106", "press 1");
  harness.Call([] {
    plat::SetWindowText(Field(1002), "needle");
    Press(1);
  });
  GridWindowFind(window_, 1, matchCase, numbers, text);
  EXPECT_EQ(harness.Backend().Beeps(), beeps + 1);
  EXPECT_EQ(Current(), (std::pair<int, int>{1, 4}));
  EXPECT_EQ(text.substr(0, 7), std::string("needle\0", 7));
  EXPECT_EQ(text.size(), 16u);
  // Matching case finds nothing more: the end of the grid is reported.
  harness.Answer("dialog 32106", "1003=1\npress 1").Answer("messagebox", "OK");
  GridWindowFind(window_, 1, matchCase, numbers, text);
  EXPECT_EQ(matchCase, 1);
  EXPECT_EQ(Boxes(), (Texts{"Find: End of grid reached"}));
  // Cancel searches nothing.
  WGridSetCell(field_, 1, 1);
  harness.Answer("dialog 32106", "press 2");
  GridWindowFind(window_, 1, matchCase, numbers, text);
  EXPECT_EQ(Current(), (std::pair<int, int>{1, 1}));
}

TEST_F(GridCommandsTest, FindWithoutSearchableColumns) {
  int f = field_;
  const std::vector<int> positions = {3, 4};  // a check box and an option menu
  GridRebuildColumns(f, 2, &positions);
  ASSERT_EQ(f, field_);
  std::int32_t matchCase = 0, numbers = 0;
  std::string text = "x";
  harness.Answer("messagebox", "OK");
  GridWindowFind(window_, 1, matchCase, numbers, text);
  EXPECT_EQ(Boxes(), (Texts{"Find: Grid contains no searchable columns"}));
}

TEST_F(GridCommandsTest, DeleteAndInsertRows) {
  WGridRows(field_, 1);
  PutText(field_, 1, 1, "only");
  WGridPutCellOption(field_, 4, 1, 3);
  GridWindowDeleteRow(window_, 0, 1);
  EXPECT_EQ(FindGrid(field_)->rowCount, 1);
  EXPECT_EQ(Rows(field_, 1), (Texts{"||No|Geophone"}));
  // After the last row: nothing without growth, a fresh row with it.
  GridWindowInsertRow(window_, 0, 0, 1);
  EXPECT_EQ(FindGrid(field_)->rowCount, 1);
  GridWindowInsertRow(window_, 0, 1, 1);
  EXPECT_EQ(FindGrid(field_)->rowCount, 2);
  EXPECT_EQ(Rows(field_, 2)[1], "||No|Geophone");
  // Before the current row, and deleting it again.
  PutText(field_, 1, 1, "first");
  WGridSetCell(field_, 1, 1);
  GridWindowInsertRow(window_, 0, 1, 0);
  EXPECT_EQ(Rows(field_, 3), (Texts{"||No|Geophone", "first||No|Geophone", "||No|Geophone"}));
  GridWindowDeleteRow(window_, 0, 1);
  EXPECT_EQ(FindGrid(field_)->rowCount, 2);
  EXPECT_EQ(Cell(field_, 1, 1), "first");
}

TEST_F(GridCommandsTest, SortOffersColumnsWithoutHeaderByNumber) {
  UseGrid(974, 2200);
  const double depths[] = {3.0, 1.0, 2.0};
  for (int r = 1; r <= 3; ++r) {
    PutText(field_, 1, r, std::string(1, static_cast<char>('a' + r)));
    WGridPutCellDouble(field_, 3, r, depths[r - 1]);
  }
  WGridRows(field_, 3);
  WGridSetCell(field_, 1, 1);
  std::int32_t sorted = 0;
  harness.Answer("dialog 32109", "1002=Column 3\n1005=1\npress 1");
  GridWindowSort(window_, 1, sorted);
  EXPECT_EQ(sorted, 1);
  EXPECT_EQ((Texts{Cell(field_, 1, 1), Cell(field_, 1, 2), Cell(field_, 1, 3)}), (Texts{"b", "d", "c"}));
  // The labels went with their rows.
  EXPECT_EQ((Texts{FindGrid(field_)->rowLabels[0], FindGrid(field_)->rowLabels[1]}), (Texts{"r1", "r3"}));
  EXPECT_EQ(GridCommandsKept().sortDescending, 1);
  harness.Answer("dialog 32109", "press 2");
  GridWindowSort(window_, 0, sorted);
  EXPECT_EQ(sorted, 0);
}

TEST_F(GridCommandsTest, PrintNeedsAPrinterAndKeepsItsOptions) {
  std::int32_t printed = 9;
  harness.Answer("messagebox", "OK");
  GridWindowPrint(window_, 1, 4, 1, 5, printed);
  EXPECT_EQ(printed, 0);
  EXPECT_EQ(Boxes(), (Texts{"Error: No printer installed"}));
  FakeGridPrinter printer;
  printer.Install();
  // Page set-up (cancelled), then OK.
  harness.Answer("dialog 32112", "1002=1\n1003=0\n1006=1\n1010=1\n1012=150\npress 1014");
  harness.Answer("dialog 1540", "press 2");
  harness.Call([] { Press(1); });
  GridWindowPrint(window_, 0, 3, 0, 4, printed);
  EXPECT_EQ(printed, 1);
  EXPECT_EQ(printer.documents, (std::vector<std::string>{"Untitled Grid"}));
  EXPECT_EQ(printer.pages, 1);
  std::int32_t o[5], scale = 0;
  GridPrintOptionsGet(o[0], o[1], o[2], o[3], o[4], scale, 2);
  EXPECT_EQ((std::vector<int>{o[0], o[1], o[2], o[3], o[4], scale}),
            (std::vector<int>{1, 0, 1, 1, 1, 150}));
  // Cancel prints nothing.
  harness.Answer("dialog 32112", "press 2");
  GridWindowPrint(window_, 0, 3, 0, 4, printed);
  EXPECT_EQ(printed, 0);
  EXPECT_EQ(printer.documents.size(), 1u);
}

TEST_F(GridCommandsTest, SaveHtmlProposesTheGridFilesNameAndKeepsABackup) {
  PutText(field_, 1, 1, "cell");
  std::int32_t saved = 0;
  const std::string csv = (dir_ / "data.csv").string();
  harness.Answer("dialog 32114", "1006=1\n1013=Title\npress 1");
  GridWindowSaveHTML(window_, -1, -1, -1, -1, saved, 1, csv + std::string(5, '\0'));
  EXPECT_EQ(saved, 1);
  const std::string html = ReadFile(dir_ / "data.htm");
  EXPECT_EQ(html.substr(0, 13), "<h2>Title</h2");
  EXPECT_FALSE(std::filesystem::exists(dir_ / "data.htm.bak"));  // nothing to keep yet
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ(ErrorState().lastError, 0);
  // A name without a dot gets ".htm"; an existing file is kept as ".bak"
  // once the user agreed to replace it.
  harness.Answer("dialog 32114", "1002=" + (dir_ / "data.htm").string() + "\npress 1")
      .Answer("messagebox", "Yes");
  GridWindowSaveHTML(window_, 0, 0, 0, 0, saved, 1, (dir_ / "data").string());
  EXPECT_EQ(saved, 1);
  EXPECT_EQ(ReadFile(dir_ / "data.htm.bak"), html);
  EXPECT_EQ(Boxes().size(), 1u);
  // Refusing to replace, then cancelling, saves nothing.
  harness.Answer("dialog 32114", "press 1").Answer("messagebox", "No");
  harness.Call([] { Press(2); });
  GridWindowSaveHTML(window_, -1, -1, -1, -1, saved, 0, (dir_ / "data").string());
  EXPECT_EQ(saved, 0);
  EXPECT_EQ(Boxes(), (Texts{"Select File: " + (dir_ / "data.htm").string() +
                            " already exists\rDo you want to replace it?"}));
  // A blank name asks for one.
  harness.Answer("dialog 32114", "1002=\npress 1").Answer("messagebox", "OK");
  harness.Call([] { Press(2); });
  GridWindowSaveHTML(window_, -1, -1, -1, -1, saved, 0, "");
  EXPECT_EQ(Boxes(), (Texts{"Select File: You must enter a filename"}));
}

TEST_F(GridCommandsTest, SaveCsvKeepsABackupOrDoesNotReplaceTheFile) {
  const std::filesystem::path path = dir_ / "data.csv";
  WriteFile(path, "old\r\n");
  PutText(field_, 1, 1, "new");
  std::int32_t saved = 0, filterIndex = 1;
  std::string name = path.string();
  name.push_back('\0');
  GridWindowSaveCSV(window_, 0, saved, filterIndex, 1, name);
  EXPECT_EQ(saved, 1);
  EXPECT_EQ(ReadFile(dir_ / "data.csv.bak"), "old\r\n");
  EXPECT_EQ(ReadFile(path).substr(0, 6), "\"new\",");
  // A backup that cannot be made leaves the file alone.
  std::filesystem::remove(dir_ / "data.csv.bak");
  std::filesystem::create_directory(dir_ / "data.csv.bak");
  WriteFile(path, "keep\r\n");
  GridWindowSaveCSV(window_, 0, saved, filterIndex, 1, name);
  EXPECT_EQ(saved, 0);
  EXPECT_EQ(ReadFile(path), "keep\r\n");
  EXPECT_EQ(ErrorState().lastError, 13);
  // No name: the file dialog asks, and the name chosen is written back.
  const std::string chosen = (dir_ / "fresh.csv").string();
  std::string none(8, '\0');
  harness.Answer("filedialog", chosen);
  GridWindowSaveCSV(window_, 0, saved, filterIndex, 1, none);
  EXPECT_EQ(saved, 1);
  EXPECT_EQ(none.substr(0, none.find('\0')), chosen);
  EXPECT_TRUE(std::filesystem::exists(chosen));
  EXPECT_EQ(ErrorState().lastError, 13);  // the code of before, put back
  // A file that cannot be written.
  std::string bad = (dir_ / "no" / "x.csv").string();
  harness.Answer("messagebox", "OK");
  GridWindowSaveCSV(window_, 0, saved, filterIndex, 0, bad);
  EXPECT_EQ(saved, 0);
  EXPECT_EQ(Boxes(), (Texts{"File Error: Error opening file"}));
}

TEST_F(GridCommandsTest, LoadCsvJudgesTheLastCode) {
  struct Case {
    const char* what;
    std::string file;
    std::int32_t loaded;
    Texts boxes;
  };
  const Case cases[] = {
      {"an empty numeric field says nothing", "a,,yes,Geophone\n", 1, {}},
      {"a bad number", "a,1.5.2,yes,Geophone\n", 1,
       {"Data Error: Non-numeric data found for numeric cell"}},
      {"too many columns", "a,1,yes,Geophone,more\n", 1,
       {"Data Error: File contains too many rows/columns"}},
      {"an option matching nothing", "a,1,yes,Nothing\n", 1,
       {"Data Error: Non-matching data found for menu cell"}},
      {"a number too large", "a,99999999999,yes,Geophone\n", 1,
       {"Data Error: Out of range value found for numeric cell"}},
  };
  const std::filesystem::path path = dir_ / "in.csv";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WriteFile(path, c.file);
    std::int32_t loaded = 7, filterIndex = 1;
    std::string name = path.string() + std::string(4, '\0');
    for (std::size_t i = 0; i < c.boxes.size(); ++i) harness.Answer("messagebox", "OK");
    ErrorState().lastError = 55;
    GridWindowLoadCSV(window_, 0, 0, loaded, filterIndex, name);
    EXPECT_EQ(loaded, c.loaded);
    EXPECT_EQ(Boxes(), c.boxes);
    EXPECT_EQ(ErrorState().lastError, 55);
    EXPECT_EQ(Current(), (std::pair<int, int>{1, 1}));
  }
  std::int32_t loaded = 7, filterIndex = 1;
  std::string missing = (dir_ / "missing.csv").string();
  harness.Answer("messagebox", "OK");
  GridWindowLoadCSV(window_, 0, 0, loaded, filterIndex, missing);
  EXPECT_EQ(loaded, 0);
  EXPECT_EQ(Boxes(), (Texts{"File Error: Error opening file"}));
  // Asked for: the chosen file is loaded and its name written back.
  std::string name(300, '\0');
  harness.Answer("filedialog", path.string());
  GridWindowLoadCSV(window_, 1, 1, loaded, filterIndex, name);
  EXPECT_EQ(loaded, 1);
  EXPECT_EQ(name.substr(0, name.find('\0')), path.string());
}

TEST_F(GridCommandsTest, EachCommandLeavesWindowDialogAndCodeAsBefore) {
  WDialogLoad(972);  // another dialog is current when the commands run
  ErrorState().lastError = 42;
  std::int32_t flag = 0, matchCase = 0, numbers = 0, filterIndex = 1;
  std::string text = "x";
  std::string missing = (dir_ / "none.csv").string();
  const std::vector<std::pair<const char*, std::function<void()>>> commands = {
      {"goto", [&] {
         harness.Answer("dialog 32108", "press 2");
         GridWindowGoto(window_, 2);
       }},
      {"find", [&] {
         harness.Answer("dialog 32106", "press 2");
         GridWindowFind(window_, 1, matchCase, numbers, text);
       }},
      {"delete", [&] { GridWindowDeleteRow(window_, 0, 0); }},
      {"insert", [&] { GridWindowInsertRow(window_, 0, 0, 0); }},
      {"sort", [&] {
         harness.Answer("dialog 32109", "press 1");
         GridWindowSort(window_, 0, flag);
       }},
      {"print", [&] {
         harness.Answer("messagebox", "OK");
         GridWindowPrint(window_, 1, 1, 1, 1, flag);
       }},
      {"html", [&] {
         harness.Answer("dialog 32114", "press 2");
         GridWindowSaveHTML(window_, -1, -1, -1, -1, flag, 0, "");
       }},
      {"load", [&] {
         harness.Answer("messagebox", "OK");
         GridWindowLoadCSV(window_, 0, 0, flag, filterIndex, missing);
       }},
  };
  for (const auto& [what, run] : commands) {
    SCOPED_TRACE(what);
    WindowMakeCurrent(0);
    run();
    EXPECT_EQ(WDialogStatusQuery(3), 972);
    EXPECT_EQ(CurrentWindow(), 0);
    EXPECT_EQ(ErrorState().lastError, 42);
  }
}

TEST_F(GridCommandsTest, ADialogThatCannotLoadIsReported) {
  HideDialogTemplate(32108);
  WGridSetCell(field_, 2, 2);
  ErrorState().lastError = 42;
  harness.Answer("messagebox", "OK");
  GridWindowGoto(window_, 2);
  EXPECT_EQ(Boxes(), (Texts{"Error: Unable to load required dialog"}));
  EXPECT_EQ(Current(), (std::pair<int, int>{2, 2}));
  EXPECT_EQ(ErrorState().lastError, 42);
  EXPECT_EQ(WDialogStatusQuery(3), 970);
}

}  // namespace
}  // namespace tk::testing
