// Comma-separated grid files: what a save writes, what a load makes of
// well-formed and awkward files, and the codes a load leaves.
#include <gtest/gtest.h>

#include "tests/toolkit/grid/GridPeripheryTestSupport.h"
#include "toolkit/grid/GridFiles.h"

namespace tk::testing {
namespace {

using testing_support::ReadFile;
using testing_support::WriteFile;

class GridCsvTest : public GridPeripheryTest {
 protected:
  void SetUp() override {
    GridPeripheryTest::SetUp();
    WDialogLoad(970);
    WGridRows(kGrid, 5);
    TakeReports();
  }
  /// Fills the five rows with known values.
  static void Fill() {
    for (int r = 1; r <= 5; ++r) {
      PutText(kGrid, 1, r, "old" + std::to_string(r));
      WGridPutCellInteger(kGrid, 2, r, 100 + r);
      WGridPutCellCheckBox(kGrid, 3, r, 1);
      WGridPutCellOption(kGrid, 4, r, 3);
    }
  }
  std::string Path() const { return (dir_ / "grid.csv").string(); }
  static constexpr int kGrid = 2000;
};

TEST_F(GridCsvTest, SaveWritesQuotedTextsWordsAndNumbersAsShown) {
  PutText(kGrid, 1, 1, "a\"b,c");
  WGridPutCellInteger(kGrid, 2, 1, -42);
  WGridPutCellCheckBox(kGrid, 3, 1, 1);
  WGridPutCellOption(kGrid, 4, 1, 2);
  PutText(kGrid, 1, 2, " lead and trail  ");
  WGridSave(kGrid, Path(), 1, 4, 1, 3);
  EXPECT_EQ(ReadFile(Path()),
            "\"a\"\"b,c\",-42,Yes,\"Hydrophone\"\r\n"
            "\" lead and trail  \",,No,\r\n"
            "\"\",,No,\r\n");
  // The quoted text of eight characters alone, and the bounds clamped.
  WGridSave(kGrid, Path(), -3, 1, 0, 1);
  EXPECT_EQ(ReadFile(Path()), "\"a\"\"b,c\"\r\n");
  WGridSave(kGrid, Path(), 3, 99, 5, 99);
  EXPECT_EQ(ReadFile(Path()), "No,\r\n");
  EXPECT_TRUE(TakeReports().empty());
}

TEST_F(GridCsvTest, SaveAndLoadGiveBackWhatTheFileKeeps) {
  PutText(kGrid, 1, 1, "a\"b,c");
  PutText(kGrid, 1, 2, "  spaced   ");
  WGridPutCellInteger(kGrid, 2, 2, 7);
  WGridPutCellCheckBox(kGrid, 3, 2, 1);
  WGridPutCellOption(kGrid, 4, 2, 3);
  WGridPutCellOption(kGrid, 4, 1, 0);
  WGridSave(kGrid, Path());
  Fill();
  ErrorState().lastError = 0;
  WGridLoad(kGrid, Path());
  EXPECT_EQ(Rows(kGrid, 3), (std::vector<std::string>{"a\"b,c||No|Geophone",
                                                       "  spaced|7|Yes|Accelerometer",
                                                       "||No|Geophone"}));
  // The option cell without selection came back as the first option, and
  // the empty integer fields left code 10 beside the option's 1055.
  const std::vector<std::string> reports = TakeReports();
  EXPECT_NE(std::find(reports.begin(), reports.end(), "WGridLoad 1055"), reports.end());
  EXPECT_NE(std::find(reports.begin(), reports.end(), "IStringToInteger 10"), reports.end());
}

TEST_F(GridCsvTest, RealAndDoubleColumnsRoundTripAsTheirFormatWritesThem) {
  WDialogLoad(974);
  const int grid = 2200;
  WGridPutCellReal(grid, 2, 1, 1.5f, "(F8.3)");
  WGridPutCellDouble(grid, 3, 1, 2.25, "(F6.2)");
  WGridPutCellReal(grid, 2, 2, 123456.0f, "(F8.3)");
  WGridSave(grid, Path(), 1, 3, 1, 2);
  EXPECT_EQ(ReadFile(Path()), "\"\",1.500,2.25\r\n\"\",********,\r\n");
  WGridLoad(grid, Path());
  EXPECT_EQ(Cell(grid, 2, 1), "1.500");
  EXPECT_EQ(Cell(grid, 3, 1), "2.25");
  // A field of stars does not convert: the cell is cleared.
  EXPECT_EQ(Cell(grid, 2, 2), "");
}

TEST_F(GridCsvTest, AwkwardFilesLoadAsTheirFieldsSay) {
  struct Case {
    const char* what;
    std::string file;
    std::vector<std::string> rows;  // rows 1 to 3 after the load
  };
  const Case cases[] = {
      {"an empty file clears every row", "", {"||No|Geophone", "||No|Geophone", "||No|Geophone"}},
      {"a quoted separator stays in its field",
       "\"x,y\",5,yes,\"Hydrophone\"\n",
       {"x,y|5|Yes|Hydrophone", "||No|Geophone", "||No|Geophone"}},
      {"doubled quotes collapse, leading blanks stay, trailing go",
       "\"say \"\"hi\"\"\",1,No,geophone\n  lead  ,2,YES,ACCELEROMETER\n",
       {"say \"hi\"|1|No|Geophone", "  lead|2|Yes|Accelerometer", "||No|Geophone"}},
      {"a short row empties the rest but keeps its option",
       "abc\nd,4\n",
       {"abc||No|Accelerometer", "d|4|No|Accelerometer", "||No|Geophone"}},
      {"a last line without line end is not loaded",
       "a,1,yes,Geophone\nb,2,yes,Hydrophone",
       {"a|1|Yes|Geophone", "||No|Geophone", "||No|Geophone"}},
      {"CR LF and LF load alike",
       "a,1,yes,Hydrophone\r\nb,2,no,Geophone\r\n",
       {"a|1|Yes|Hydrophone", "b|2|No|Geophone", "||No|Geophone"}},
      {"an unbalanced quote keeps the separator inside until the line ends",
       "\"open,2,yes\nnext,3\n",
       {"open,2,ye||No|Accelerometer", "next|3|No|Accelerometer", "||No|Geophone"}},
      {"a lone quote and stray bytes do no harm",
       std::string("\"\n\0\x01\xff,9\n", 8),
       {"||No|Accelerometer", std::string("\0\x01\xff", 3) + "|9|No|Accelerometer",
        "||No|Geophone"}},
      {"a trailing separator gives an empty last field",
       "a,1,yes,\n",
       {"a|1|Yes|Geophone", "||No|Geophone", "||No|Geophone"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Fill();
    WriteFile(Path(), c.file);
    WGridLoad(kGrid, Path());
    EXPECT_EQ(Rows(kGrid, 3), c.rows);
    EXPECT_EQ(FindGrid(kGrid)->rowCount, 5);
    TakeReports();
  }
}

TEST_F(GridCsvTest, CheckBoxesLoadCheckedOnlyForYesInAnyCase) {
  const std::pair<const char*, int> cases[] = {{"yes", 1}, {"YES", 1}, {"yEs  ", 1}, {"\"Yes\"", 1},
                                               {"Y", 0},   {"1", 0},   {"TRUE", 0},   {"", 0},
                                               {" yes", 0}};
  for (const auto& [field, checked] : cases) {
    SCOPED_TRACE(field);
    WGridPutCellCheckBox(kGrid, 3, 1, 1 - checked);
    WriteFile(Path(), std::string("a,1,") + field + ",Geophone\n");
    WGridLoad(kGrid, Path());
    std::int32_t state = -1;
    WGridGetCellCheckBox(kGrid, 3, 1, state);
    EXPECT_EQ(state, checked);
  }
}

TEST_F(GridCsvTest, LoadCodes) {
  struct Case {
    const char* what;
    std::string file;
    int lastError;
    std::vector<std::string> reports;
  };
  const Case cases[] = {
      {"a clean load leaves the code of before", "a,1,yes,Geophone\n", 77, {}},
      {"an empty integer field leaves 10", "a,,yes,Geophone\n", 10, {"IStringToInteger 10"}},
      {"a bad integer leaves 12", "a,1x,yes,Geophone\n", 12, {"IStringToInteger 12"}},
      {"an option matching nothing leaves 1055", "a,1,yes,Seismometer\n", 1055,
       {"WGridLoad 1055"}},
      {"a cleanly stored number after a failure keeps the failure's code",
       "a,,yes,Geophone\nb,2,no,Geophone\n", 10, {"IStringToInteger 10"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WriteFile(Path(), c.file);
    ErrorState().lastError = 77;
    WGridLoad(kGrid, Path());
    EXPECT_EQ(ErrorState().lastError, c.lastError);
    EXPECT_EQ(TakeReports(), c.reports);
  }
}

TEST_F(GridCsvTest, ALongLineIsCutAtTheLastColumnAndTheRowsAfterItLoad) {
  Fill();
  WriteFile(Path(), "a,1,yes,Geophone,extra,\"more,\"\nb,2,no,Hydrophone\nc,3\n");
  WGridLoad(kGrid, Path());
  EXPECT_EQ(Rows(kGrid, 4), (std::vector<std::string>{"a|1|Yes|Geophone", "b|2|No|Hydrophone",
                                                       "c|3|No|Accelerometer", "||No|Geophone"}));
  // Reported once, as the load's last report.
  EXPECT_EQ(TakeReports(), (std::vector<std::string>{"WGridLoad 1054"}));
  EXPECT_EQ(ErrorState().lastError, 1054);
}

TEST_F(GridCsvTest, EightLinesGrowFiveRowsToEightOrStopAtTheSixth) {
  std::string file;
  for (int i = 1; i <= 8; ++i) file += "t" + std::to_string(i) + "," + std::to_string(i) + "\n";
  WriteFile(Path(), file);
  WGridLoad(kGrid, Path(), 1);
  EXPECT_EQ(FindGrid(kGrid)->rowCount, 8);
  EXPECT_EQ(Cell(kGrid, 1, 8), "t8");
  EXPECT_TRUE(TakeReports().empty());

  WGridRows(kGrid, 5);
  WGridLoad(kGrid, Path());
  EXPECT_EQ(FindGrid(kGrid)->rowCount, 5);
  EXPECT_EQ(Cell(kGrid, 1, 5), "t5");
  EXPECT_EQ(TakeReports(), (std::vector<std::string>{"WGridLoad 1054"}));

  // Growth stops at the capacity of 10.
  file.clear();
  for (int i = 1; i <= 12; ++i) file += std::to_string(i) + "\n";
  WriteFile(Path(), file);
  WGridLoad(kGrid, Path(), 1);
  EXPECT_EQ(FindGrid(kGrid)->rowCount, 10);
  EXPECT_EQ(Cell(kGrid, 1, 10), "10");
  EXPECT_EQ(TakeReports(), (std::vector<std::string>{"WGridLoad 1054"}));
}

TEST_F(GridCsvTest, AFieldSpanningTwoReadsLoadsWhole) {
  // The first line takes 64,993 characters, so the second line's text and
  // the third line's number straddle the end of the first read.
  const std::string spanning = "   before   and after  the seam  ";
  WriteFile(Path(), "\"" + std::string(64990, 'x') + "\"\n\"" + spanning + "\"\n");
  WGridLoad(kGrid, Path());
  EXPECT_EQ(Cell(kGrid, 1, 1), std::string(1024, 'x'));  // cut to the column's length
  EXPECT_EQ(Cell(kGrid, 1, 2), "   before   and after  the seam");
  WriteFile(Path(), std::string(64995, 'y') + ",123456789\n");
  WGridLoad(kGrid, Path());
  EXPECT_EQ(Cell(kGrid, 2, 1), "123456789");
  // A field longer than a read is gathered whole too.
  WriteFile(Path(), std::string(200000, 'z') + ",5\n");
  WGridLoad(kGrid, Path());
  EXPECT_EQ(Cell(kGrid, 1, 1), std::string(1024, 'z'));
  EXPECT_EQ(Cell(kGrid, 2, 1), "5");
  EXPECT_TRUE(TakeReports().empty());
}

TEST_F(GridCsvTest, FailuresTouchNothing) {
  Fill();
  WGridLoad(kGrid, (dir_ / "missing.csv").string());
  EXPECT_EQ(Cell(kGrid, 1, 1), "old1");
  WGridSave(kGrid, (dir_ / "no" / "such" / "folder.csv").string());
  WGridSave(4242, Path());
  WGridLoad(4242, Path());
  EXPECT_EQ(TakeReports(), (std::vector<std::string>{"IFileOpen 1", "IFileOpen 1",
                                                       "WGridSave 1006", "WGridLoad 1006"}));
  WDialogUnload();
  WGridSave(kGrid, Path());
  WGridLoad(kGrid, Path());
  EXPECT_EQ(TakeReports(), (std::vector<std::string>{"WGridSave 1005", "WGridLoad 1005"}));
}

}  // namespace
}  // namespace tk::testing
