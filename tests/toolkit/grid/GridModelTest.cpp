// The grid's records as its "[Grids]" entry and column template build them:
// columns, cell storage and flags, row labels, cell texts, clearing.
#include <gtest/gtest.h>

#include "platform/controls/Controls.h"
#include "tests/toolkit/grid/GridTestSupport.h"
#include "toolkit/dialogs/DialogLists.h"
#include "toolkit/dialogs/GridLink.h"

namespace tk::testing {
namespace {

class GridModelTest : public GridTest {};

TEST_F(GridModelTest, TheShotHeaderGridBuildsFourColumnsOfTenThousandRows) {
  WDialogLoad(950);
  ASSERT_EQ(LastError(), 0);
  GridRecord& g = Grid(1107);
  EXPECT_EQ(g.built, 1);
  EXPECT_EQ(g.columnCount, 4);
  EXPECT_EQ(g.rowCount, 10000);
  EXPECT_EQ(g.rowCapacity, 10000);
  EXPECT_EQ(g.builtColumnCount, 4);
  EXPECT_EQ(g.columnDialogId, 951);
  ASSERT_EQ(g.columns.size(), 4u);
  EXPECT_EQ(g.columns[0].type, kColumnInteger);
  EXPECT_EQ(g.columns[0].textLength, 11);
  for (int c = 1; c < 4; ++c) {
    SCOPED_TRACE(c);
    EXPECT_EQ(g.columns[c].type, kColumnReal);
    EXPECT_EQ(g.columns[c].settings.format.value_or(""), "(f11.1)");
    EXPECT_EQ(g.columns[c].reals.size(), 10000u);
  }
  // The read-only "Number" column: every cell locked; no cell holds a value.
  for (int row = 0; row < 10000; ++row) {
    ASSERT_EQ(g.columns[0].cellFlags[row], kCellLocked) << row;
    for (int c = 0; c < 4; ++c) ASSERT_EQ(GridCellText(g, c, row, 0), "") << c << "," << row;
  }
  for (int c = 1; c < 4; ++c) EXPECT_EQ(g.columns[c].cellFlags[9999], 0);
  // The captions head the columns after the corner item.
  ASSERT_NE(g.columnHeader, plat::kNoWindow);
  EXPECT_EQ(plat::HeaderItemCount(g.columnHeader), 5);
  EXPECT_EQ(plat::HeaderGetItem(g.columnHeader, 1)->text, "Number");
  EXPECT_EQ(plat::HeaderGetItem(g.columnHeader, 4)->text, "Elevation");
  EXPECT_EQ(plat::HeaderGetItem(g.columnHeader, 2)->width, g.columns[1].width - 1);
}

TEST_F(GridModelTest, EveryColumnTypeTakesItsStorageAndSettings) {
  WDialogLoad(954);
  GridRecord& g = Grid(1300);
  ASSERT_EQ(g.columns.size(), 6u);
  struct Case {
    int column;
    int type;
    int textLength;
  };
  const Case cases[] = {
      {0, kColumnString, 1024},  // no "[Lengths]": 1024 characters
      {1, kColumnString, 20},    // "[Lengths]" 20
      {2, kColumnOption, 0},    {3, kColumnCheckBox, 0},
      {4, kColumnDouble, 0},    {5, kColumnReal, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.column);
    EXPECT_EQ(g.columns[c.column].type, c.type);
    EXPECT_EQ(g.columns[c.column].textLength, c.textLength);
  }
  EXPECT_EQ(g.columns[0].texts.size(), 5u);
  EXPECT_EQ(g.columns[4].doubles.size(), 5u);
  // The option list in order; a column template's list starts at its first
  // option whatever the extras say.
  EXPECT_EQ(GridColumnOptions(g.columns[2]),
            (std::vector<std::string>{"Geophone", "Hydrophone", "Accelerometer"}));
  EXPECT_EQ(plat::ComboBoxGetCurSel(g.columns[2].prototype), 0);
  // The range of the "Gain" column comes with its prototype.
  EXPECT_DOUBLE_EQ(g.columns[5].settings.rangeLow, 0.0);
  EXPECT_DOUBLE_EQ(g.columns[5].settings.rangeHigh, 2.0);
  EXPECT_EQ(g.columns[5].settings.textColour, -1);
  EXPECT_EQ(g.columns[5].settings.backgroundColour, -1);
  // The cell texts of each type.
  EXPECT_EQ(GridCellText(g, 3, 0, 0), "No");
  EXPECT_EQ(GridCellText(g, 3, 0, 1), std::string(1, static_cast<char>(0xFB)));
  g.columns[3].ints[0] = 1;
  EXPECT_EQ(GridCellText(g, 3, 0, 0), "Yes");
  EXPECT_EQ(GridCellText(g, 3, 0, 1), std::string(1, static_cast<char>(0xFC)));
  EXPECT_EQ(GridCellText(g, 2, 0, 0), "");  // no option
  g.columns[2].ints[1] = 2;
  EXPECT_EQ(GridCellText(g, 2, 1, 0), "Accelerometer");
  g.columns[2].ints[1] = 7;  // beyond the list: shown as no option
  EXPECT_EQ(GridCellText(g, 2, 1, 0), "");
}

TEST_F(GridModelTest, OptionListIsCopiedInOrderWithItsSelection) {
  // A column template whose combo box has its second option chosen.
  std::unique_ptr<LoadedDialog> columns = LoadColumnDialog(955, plat::kNoWindow);
  ASSERT_NE(columns, nullptr);
  plat::ComboBoxSetCurSel(columns->fields[2].hwnd, 1);
  WDialogLoad(954);
  GridRecord& g = Grid(1300);
  ASSERT_EQ(GridBuildColumns(g, *columns, nullptr), 1);
  EXPECT_EQ(GridColumnOptions(g.columns[2]),
            (std::vector<std::string>{"Geophone", "Hydrophone", "Accelerometer"}));
  EXPECT_EQ(plat::ComboBoxGetCurSel(g.columns[2].prototype), 1);
  plat::DestroyWindow(columns->hwnd);
}

TEST_F(GridModelTest, RowLabelsComeFromTheLabelLines) {
  WDialogLoad(952);
  GridRecord& g = Grid(1214);
  EXPECT_EQ(g.rowCount, 60);
  ASSERT_EQ(g.rowLabels.size(), 60u);
  for (int i = 0; i < 60; ++i) EXPECT_EQ(g.rowLabels[i], std::to_string(i + 1));  // trailing blank gone
  EXPECT_GT(g.labelWidth, 0);
  ASSERT_FALSE(g.labelWindows.empty());
  EXPECT_EQ(plat::HeaderGetItem(g.labelWindows[0], 0)->text, "1");
  EXPECT_EQ(plat::HeaderGetItem(g.labelWindows[0], 0)->width, g.labelWidth + 1);
}

TEST_F(GridModelTest, LabelLinesAreCutTrimmedAndEndWithTheText) {
  WDialogLoad(952);
  GridRecord& g = Grid(1214);
  struct Case {
    std::vector<std::string> lines;
    std::vector<std::string> labels;  // the first rows' labels
  };
  const std::string longLine(60, 'x');
  const Case cases[] = {
      {{"1 ", "2  "}, {"1", "2", ""}},                 // trailing blanks; the text ends early
      {{longLine}, {std::string(50, 'x'), ""}},        // the first 50 characters
      {{std::string(49, 'y') + "  z"}, {std::string(49, 'y')}},  // cut, then trimmed
  };
  for (const Case& c : cases) {
    ASSERT_GE(GridReadLabels(g, 20, c.lines), 0);
    for (std::size_t i = 0; i < c.labels.size(); ++i) EXPECT_EQ(g.rowLabels[i], c.labels[i]) << i;
  }
}

TEST_F(GridModelTest, AGridWhoseLabelsStartEmptyStillTakesItsLabelWidthLine) {
  WDialogLoad(957);
  ASSERT_EQ(LastError(), 0);
  GridRecord& g = Grid(1500);
  EXPECT_EQ(g.built, 1);
  EXPECT_EQ(g.labelWidth, DialogUnitsToPixels(g.font.get(), {0, 0, 30, 0}).right);
  for (const std::string& label : g.rowLabels) EXPECT_EQ(label, "");
  // The line after it is read as the next section, not as a label.
  EXPECT_EQ(FindField(*CurrentDialog(), 1501)->rec.maxLength, 7);
}

TEST_F(GridModelTest, AGridNamingAMissingColumnTemplateIsNotInTheDialog) {
  WDialogLoad(956);
  ASSERT_EQ(LastError(), 0);
  EXPECT_EQ(FindGrid(1400), nullptr);
  std::int32_t rows = 0;
  int field = 1400;
  GridQuery(field, 3, rows);
  EXPECT_EQ(field, -1);
  WGridPutCellInteger(1400, 1, 1, 5);
  EXPECT_EQ(LastError(), kErrBadField);
}

TEST_F(GridModelTest, ASecondEntryForABuiltGridChangesOnlyTheRowsInUse) {
  WDialogLoad(954);
  GridRecord& g = Grid(1300);
  ExtrasEntry e;
  e.section = ExtrasSection::Grids;
  e.field = 1300;
  e.ints = {9, 3, 955};
  GridBuildFromExtras(g, e);
  EXPECT_EQ(g.columnCount, 6);
  EXPECT_EQ(g.rowCapacity, 5);
  EXPECT_EQ(g.rowCount, 3);
  e.ints = {6, 50, 955};  // more rows than the storage holds: refused
  GridBuildFromExtras(g, e);
  EXPECT_EQ(g.rowCount, 3);
  EXPECT_EQ(g.columns[0].texts.size(), 5u);
}

TEST_F(GridModelTest, ClearingAllCellsLeavesNumericCellsUndefined) {
  WDialogLoad(954);
  GridRecord& g = Grid(1300);
  WGridPutCellDouble(1300, 5, 2, 12.5);
  WGridPutCellCheckBox(1300, 4, 2, 1);
  WGridPutCellOption(1300, 3, 2, 2);
  ASSERT_EQ(LastError(), 0);
  ASSERT_EQ(g.columns[4].cellFlags[1], kCellPresent | kCellEntered);
  GridClearAllCells(g, 0);
  double d = 0.0;
  WGridGetCellDouble(1300, 5, 2, d);
  EXPECT_EQ(LastError(), kErrUndefined);
  EXPECT_DOUBLE_EQ(d, -999.0);
  EXPECT_EQ(GridCellText(g, 4, 1, 0), "");
  EXPECT_EQ(g.columns[4].cellFlags[1], 0);  // Entered too: may be left blank again
  EXPECT_EQ(GridCellText(g, 3, 1, 0), "No");
  EXPECT_EQ(GridCellText(g, 2, 1, 0), "");
  EXPECT_EQ(GridColumnOptions(g.columns[2]).size(), 3u);
  // The dialog's field clearing empties the option lists as well.
  ClearFieldContents(*FindField(*CurrentDialog(), 1300));
  EXPECT_TRUE(GridColumnOptions(g.columns[2]).empty());
}

TEST_F(GridModelTest, ReadOnlyTemplateControlsLockTheirColumnsOnly) {
  WDialogLoad(950);
  GridRecord& g = Grid(1107);
  EXPECT_TRUE(plat::GetStyle(g.columns[0].prototype) & plat::kEsMultiline);
  EXPECT_FALSE(plat::IsShown(g.columns[0].prototype));
  EXPECT_EQ(g.columns[1].cellFlags[0] & kCellLocked, 0);
}

TEST_F(GridModelTest, FieldOptionsSwitchTheGridsEnterAndTabStyles) {
  WDialogLoad(954);
  GridRecord& g = Grid(1300);
  WDialogFieldOptions(1300, 1, 1);
  WDialogFieldOptions(1300, 2, 1);
  EXPECT_EQ(plat::GetStyle(g.window) & (kGridEnterMovesDown | kGridTabMoves),
            kGridEnterMovesDown | kGridTabMoves);
  WDialogFieldOptions(1300, 1, 0);
  EXPECT_EQ(plat::GetStyle(g.window) & (kGridEnterMovesDown | kGridTabMoves), kGridTabMoves);
  EXPECT_EQ(LastError(), 0);
  // Field 0 names a grid window's grid; the main window is none.
  WDialogFieldOptions(0, 1, 1);
  EXPECT_EQ(LastError(), kErrBadField);
  SetWindowGridField(0, g.window);
  WDialogFieldOptions(0, 1, 1);
  EXPECT_EQ(LastError(), 0);
  EXPECT_TRUE(plat::GetStyle(g.window) & kGridEnterMovesDown);
  SetWindowGridField(0, plat::kNoWindow);
}

TEST_F(GridModelTest, DialogUnitsBecomePixelsWithTheFontsCell) {
  const auto font = plat::DefaultControlFont();
  const int cx = font->Metrics().averageCharWidth, cy = font->Metrics().height;
  EXPECT_EQ(DialogUnitsToPixels(font.get(), {4, 8, 40, 16}),
            (plat::Rect{cx, cy, 10 * cx, 2 * cy}));
}

}  // namespace
}  // namespace tk::testing
