// Rows in use, inserting and deleting rows, row labels, emptying a cell and
// moving the current cell from the program.
#include <gtest/gtest.h>

#include <climits>

#include "platform/controls/Controls.h"
#include "tests/toolkit/grid/GridTestSupport.h"
#include "toolkit/grid/GridValues_p.h"

namespace tk::testing {
namespace {

/// 964: every column type with 12 rows of capacity and row labels.
constexpr std::string_view kRowDialogs = R"(dialog 964 popup
  rect 0 0 300 200
  control JQXGRID 1300 5 5 280 150 "" WS_VISIBLE | WS_VSCROLL | 0x0600
  extras
[Grids] 
 1300     6   12   955 
   20 
  end
end
)";

class GridRowsTest : public GridTest {
 protected:
  void SetUp() override {
    GridTest::SetUp();
    res::ResourceSet set;
    res::ResourceError error;
    ASSERT_TRUE(res::ParseResourceText("row-dialogs", kRowDialogs, set, error)) << error.Text();
    for (const res::DialogTemplate& t : set.dialogs) AddDialogTemplate(t);
  }
  /// Grid 1300 with ROWS in use, column 5 (double) holding the row number
  /// and column 4 (check box) checked on odd rows.
  GridRecord& Numbered(int rows) {
    WDialogLoad(964);
    GridRecord& g = Grid(1300);
    for (int r = 1; r <= g.rowCapacity; ++r) {
      WGridPutCellDouble(1300, 5, r, r);
      WGridPutCellCheckBox(1300, 4, r, r % 2);
    }
    WGridRows(1300, rows);
    LastError();
    return g;
  }
  static double D(int row) {
    double v = 0.0;
    WGridGetCellDouble(1300, 5, row, v);
    return v;
  }
  static std::string Label(int row) {
    int f = 1300;
    std::string text;
    GridRowLabel(f, row - 1, text, 100);
    return text;
  }
};

TEST_F(GridRowsTest, TheRowCountHidesRowsWithoutClearingThem) {
  WDialogLoad(950);
  GridRecord& g = Grid(1107);
  for (int r = 1; r <= 10000; ++r) WGridPutCellReal(1107, 2, r, static_cast<float>(r));
  WGridRows(1107, 24);
  EXPECT_EQ(LastError(), 0);
  EXPECT_EQ(g.rowCount, 24);
  float v = 0.0f;
  WGridGetCellReal(1107, 2, 25, v);
  EXPECT_EQ(LastError(), kErrCellOutside);
  WGridRows(1107, 10000);
  WGridGetCellReal(1107, 2, 9999, v);
  EXPECT_EQ(v, 9999.0f);
  // Beyond the capacity: the capacity and 1018; below 1: 1018 and no change.
  WGridRows(1107, 20000);
  EXPECT_EQ(LastError(), kErrTooManyRows);
  EXPECT_EQ(g.rowCount, 10000);
  WGridRows(1107, 24);
  WGridRows(1107, 0);
  EXPECT_EQ(LastError(), kErrTooManyRows);
  EXPECT_EQ(g.rowCount, 24);
}

TEST_F(GridRowsTest, ACurrentCellBelowTheNewCountMovesUpAndTheDialogFollows) {
  WDialogLoad(950);
  GridRecord& g = Grid(1107);
  GridSetCurrentCell(g, 2, 29, false, false);
  CurrentDialog()->rec.currentField = 1107;
  WGridRows(1107, 24);
  EXPECT_EQ(g.currentRow, 23);
  EXPECT_EQ(g.currentColumn, 2);
  EXPECT_NE(g.editor, plat::kNoWindow);
  EXPECT_EQ(CurrentDialog()->rec.lastCell, 3 * 262144 + 24);
  EXPECT_LE(g.topRow, 23);
  EXPECT_GT(g.topRow + g.visibleRows, 23);
}

TEST_F(GridRowsTest, InsertingMovesCellsDownAndEmptiesTheBlock) {
  struct Case {
    int grow;
    int count;   // rows in use afterwards
    double r11;  // row 11's value afterwards (0 when not in use)
  };
  for (const Case c : {Case{0, 10, 0.0}, Case{1, 11, 9.0}}) {
    SCOPED_TRACE(c.grow);
    GridRecord& g = Numbered(10);
    g.rowCapacity = 11;  // the grow case fills the capacity
    WGridInsertRows(1300, 3, 2, c.grow);
    EXPECT_EQ(LastError(), 0);
    EXPECT_EQ(g.rowCount, c.count);
    for (int r = 5; r <= 10; ++r) EXPECT_EQ(D(r), r - 2) << r;
    std::int32_t option = 0, state = 0;
    for (int r : {3, 4}) {
      EXPECT_EQ(WInfoGridCell(1300, 5, r, 1), 0);
      WGridGetCellMenu(1300, 3, r, option);
      EXPECT_EQ(option, 1);
    }
    WGridGetCellCheckBox(1300, 4, 5, state);
    EXPECT_EQ(state, 1);  // old row 3
    if (c.grow) {
      EXPECT_EQ(D(11), c.r11);
    }
    WDialogUnload(964);
  }
}

TEST_F(GridRowsTest, InsertingAtTheLastRowReportsTheBlockBeyondTheCount) {
  GridRecord& g = Numbered(10);
  WGridInsertRows(1300, 10, 3);
  EXPECT_EQ(LastError(), kErrCellOutside);
  EXPECT_EQ(g.rowCount, 10);
  EXPECT_EQ(WInfoGridCell(1300, 5, 10, 1), 0);
  EXPECT_EQ(D(9), 9.0);
  // A huge count neither overflows nor walks past the capacity.
  WGridInsertRows(1300, 1, INT_MAX, 1);
  EXPECT_EQ(g.rowCount, 12);
  for (int r = 1; r <= 10; ++r) EXPECT_EQ(WInfoGridCell(1300, 5, r, 1), 0) << r;
  // A count below 1 changes nothing.
  WGridPutCellDouble(1300, 5, 2, 7.0);
  WGridInsertRows(1300, 1, 0);
  WGridInsertRows(1300, 1, -5);
  EXPECT_EQ(D(2), 7.0);
}

TEST_F(GridRowsTest, DeletingMovesCellsAndLabelsUp) {
  for (int shrink : {0, 1})
    for (int labels : {0, 1}) {
      SCOPED_TRACE(shrink * 10 + labels);
      GridRecord& g = Numbered(10);
      for (int r = 1; r <= 10; ++r) WGridLabelRow(1300, r, "L" + std::to_string(r));
      WGridDeleteRows(1300, 9, 5, shrink, labels);
      EXPECT_EQ(LastError(), 0);
      EXPECT_EQ(g.rowCount, shrink ? 8 : 10);
      EXPECT_EQ(D(8), 8.0);
      if (!shrink) {
        EXPECT_EQ(WInfoGridCell(1300, 5, 9, 1), 0);
      }
      // Rows beyond the count keep their contents.
      if (shrink) {
        EXPECT_EQ(g.columns[4].doubles[9], 10.0);
      }
      EXPECT_EQ(Label(9), labels && !shrink ? "" : "L9");
      WGridDeleteRows(1300, 1, 2, shrink, labels);
      EXPECT_EQ(D(1), 3.0);
      EXPECT_EQ(Label(1), labels ? "L3" : "L1");
      WDialogUnload(964);
    }
}

TEST_F(GridRowsTest, LabelsClearCellAndErrors) {
  GridRecord& g = Numbered(10);
  WGridLabelRow(1300, 2, std::string(60, 'x') + "   ");
  EXPECT_EQ(LastError(), 0);
  EXPECT_EQ(Label(2), std::string(50, 'x'));
  WGridLabelRow(1300, g.rowCapacity + 1, "no");
  EXPECT_EQ(LastError(), kErrCellOutside);
  WGridLabelRow(1301, 1, "no");
  EXPECT_EQ(LastError(), kErrBadField);
  WGridClearCell(1300, 3, 1);
  EXPECT_EQ(LastError(), kErrCellOutside);
  WGridClearCell(1300, 5, 1);
  EXPECT_EQ(LastError(), 0);
  EXPECT_EQ(WInfoGridCell(1300, 5, 1, 1), 0);
  WGridInsertRows(1300, 11);
  EXPECT_EQ(LastError(), kErrCellOutside);
  WGridDeleteRows(1300, 0);
  EXPECT_EQ(LastError(), kErrCellOutside);
}

TEST_F(GridRowsTest, SetCellPlacesTheCaretAndSelectionRectangles) {
  WDialogLoad(964);
  GridRecord& g = Grid(1300);
  WDialogShow(0, 0, 0, kShowModeless);
  harness.DispatchPending();
  int f = 1300;
  GridStoreCellValue(f, 1, 4, 0.0, "abcdef", "");
  WGridSetCell(1300, 2, 5, 3);
  EXPECT_EQ(LastError(), 0);
  EXPECT_EQ(g.currentColumn, 1);
  EXPECT_EQ(g.currentRow, 4);
  EXPECT_EQ(plat::GetFocus(), g.editor);
  EXPECT_EQ(plat::EditGetSel(g.editor), std::make_pair(2, 2));
  WGridSetCell(1300, 7, 1);
  EXPECT_EQ(LastError(), kErrCellOutside);
  // The rectangle of a selected block, and none once it is scrolled away.
  GridSelectBlock(g, 0, 0, 1, 1);
  plat::Rect r;
  ASSERT_TRUE(GridSelectionRect(g, r));
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.top, 0);
  EXPECT_EQ(r.right, g.columns[0].width - 1 + g.columns[1].width - 1);
  EXPECT_EQ(r.bottom, 2 * (g.rowHeight - 1));
  g.topRow = 5;
  EXPECT_FALSE(GridSelectionRect(g, r));
}

}  // namespace
}  // namespace tk::testing
