// Sorting a grid's rows by a column and finding texts in its cells.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "tests/toolkit/grid/GridPeripheryTestSupport.h"
#include "toolkit/grid/GridSortFind.h"

namespace tk::testing {
namespace {

using Texts = std::vector<std::string>;

class GridSortFindTest : public GridPeripheryTest {
 protected:
  /// Column COLUMN of rows 1..N.
  static Texts ColumnTexts(int field, int column, int n) {
    Texts t;
    for (int r = 1; r <= n; ++r) t.push_back(Cell(field, column, r));
    return t;
  }
  static std::pair<int, int> Current(int field) {
    const GridRecord* g = FindGrid(field);
    return {g->currentColumn + 1, g->currentRow + 1};
  }
};

TEST_F(GridSortFindTest, TextKeysCompareAsBytesWithEmptyCellsLast) {
  WDialogLoad(970);
  WGridRows(2000, 4);
  const Texts texts = {"b", "A", "", "a"};
  const auto fill = [&] {
    for (int r = 1; r <= 4; ++r) PutText(2000, 1, r, texts[r - 1]);
  };
  fill();
  WGridSort(2000, 1);
  EXPECT_EQ(ColumnTexts(2000, 1, 4), (Texts{"A", "a", "b", ""}));
  fill();
  WGridSort(2000, 1, kSortDescending);
  EXPECT_EQ(ColumnTexts(2000, 1, 4), (Texts{"b", "a", "A", ""}));
  fill();
  WGridSort(2000, 1, kSortFoldCase);
  Texts got = ColumnTexts(2000, 1, 4);
  std::sort(got.begin(), got.begin() + 2);
  EXPECT_EQ(got, (Texts{"A", "a", "b", ""}));
  // Trailing blanks never matter, and bytes above 127 sort after letters.
  const Texts more = {"ab ", "\xE9t\xE9", "ab", "Z"};
  for (int r = 1; r <= 4; ++r) PutText(2000, 1, r, more[r - 1]);
  WGridSort(2000, 1);
  got = ColumnTexts(2000, 1, 4);
  EXPECT_EQ(got[0], "Z");
  EXPECT_EQ(got[3], "\xE9t\xE9");
  EXPECT_TRUE(TakeReports().empty());
}

TEST_F(GridSortFindTest, NumbersWithoutValueGoLastEitherWay) {
  WDialogLoad(970);
  WGridRows(2000, 5);
  const int values[] = {5, -3, 0, 99, 7};
  for (int r = 1; r <= 5; ++r) {
    if (r != 3) WGridPutCellInteger(2000, 2, r, values[r - 1]);
    PutText(2000, 1, r, "r" + std::to_string(r));
  }
  WGridSort(2000, 2, kSortDescending);
  EXPECT_EQ(ColumnTexts(2000, 2, 5), (Texts{"99", "7", "5", "-3", ""}));
  EXPECT_EQ(ColumnTexts(2000, 1, 5), (Texts{"r4", "r5", "r1", "r2", "r3"}));
  WGridSort(2000, 2);
  EXPECT_EQ(ColumnTexts(2000, 2, 5), (Texts{"-3", "5", "7", "99", ""}));
  // Check boxes and options sort by state and option number.
  for (int r = 1; r <= 5; ++r) {
    WGridPutCellCheckBox(2000, 3, r, r % 2);
    WGridPutCellOption(2000, 4, r, (r * 2) % 4);
  }
  WGridSort(2000, 3);
  EXPECT_EQ(ColumnTexts(2000, 3, 5), (Texts{"No", "No", "Yes", "Yes", "Yes"}));
  WGridSort(2000, 4, kSortDescending);
  EXPECT_EQ(ColumnTexts(2000, 4, 5),
            (Texts{"Hydrophone", "Hydrophone", "Hydrophone", "", ""}));
}

TEST_F(GridSortFindTest, ExchangeSortAndPartitionOrderEveryRangeSize) {
  WDialogLoad(974);
  std::mt19937 random(7);
  for (int n = 2; n <= 8; ++n) {
    for (int trial = 0; trial < 20; ++trial) {
      std::vector<float> values;
      for (int r = 1; r <= 8; ++r) {
        const float v = static_cast<float>(random() % 5);
        values.push_back(v);
        WGridPutCellReal(2200, 2, r, v, "(F4.1)");
      }
      WGridSort(2200, 2, kSortDescending, 1, n);
      std::vector<float> expected(values);
      std::sort(expected.begin(), expected.begin() + n, std::greater<>());
      EXPECT_EQ(std::vector<float>(FindGrid(2200)->columns[1].reals.begin(),
                                   FindGrid(2200)->columns[1].reals.begin() + 8),
                expected)
          << n << " rows";
    }
  }
}

TEST_F(GridSortFindTest, LabelsMoveOnlyWhenAskedAndFlagsOnlyWithNumbers) {
  WDialogLoad(974);
  GridRecord& g = Grid(2200);
  for (int r = 1; r <= 3; ++r) {
    PutText(2200, 1, r, std::string(1, static_cast<char>('d' - r)));  // c, b, a
    WGridPutCellReal(2200, 2, r, static_cast<float>(10 - r));          // 9, 8, 7
  }
  int f = 2200;
  g.columns[1].cellFlags[0] |= kCellLocked;  // the real 9 in row 1
  g.columns[0].cellFlags[0] |= kCellLocked;  // the text c in row 1
  WGridSort(2200, 1, 0, 1, 3);
  EXPECT_EQ(ColumnTexts(2200, 1, 3), (Texts{"a", "b", "c"}));
  EXPECT_EQ(g.rowLabels[0], "r1");
  // The locked real went with its value to row 3; the string lock stayed.
  EXPECT_TRUE(g.columns[1].cellFlags[2] & kCellLocked);
  EXPECT_FALSE(g.columns[1].cellFlags[0] & kCellLocked);
  EXPECT_TRUE(g.columns[0].cellFlags[0] & kCellLocked);
  WGridSort(2200, 2, kSortMoveLabels | kSortDescending, 1, 3);
  EXPECT_EQ(ColumnTexts(2200, 1, 3), (Texts{"c", "b", "a"}));
  EXPECT_EQ((Texts{g.rowLabels[0], g.rowLabels[1], g.rowLabels[2]}), (Texts{"r3", "r2", "r1"}));
  std::string label;
  GridRowLabel(f, 0, label, 51);
  EXPECT_EQ(label, "r3");
  EXPECT_EQ(g.modified, 1);
}

TEST_F(GridSortFindTest, TenThousandRandomRealsSortAsAReferenceSortDoes) {
  WDialogLoad(959);
  GridRecord& g = Grid(1600);
  WGridRows(1600, 10000);
  std::mt19937 random(20261211);
  std::uniform_real_distribution<float> dist(-1e6f, 1e6f);
  std::vector<float> values;
  for (int r = 1; r <= 10000; ++r) {
    values.push_back(dist(random));
    WGridPutCellReal(1600, 2, r, values.back());
  }
  WGridSort(1600, 2);
  std::sort(values.begin(), values.end());
  EXPECT_EQ(std::vector<float>(g.columns[1].reals.begin(), g.columns[1].reals.begin() + 10000),
            values);
  // Already in order, and all equal: no deep recursion either way.
  WGridSort(1600, 2, kSortDescending);
  std::reverse(values.begin(), values.end());
  EXPECT_EQ(std::vector<float>(g.columns[1].reals.begin(), g.columns[1].reals.begin() + 10000),
            values);
}

TEST_F(GridSortFindTest, SortErrorsAndRanges) {
  WDialogLoad(970);
  WGridRows(2000, 3);
  for (int r = 1; r <= 3; ++r) PutText(2000, 1, r, std::to_string(4 - r));
  WGridSort(2000, 5);
  WGridSort(2000, 0);
  WGridSort(4242, 1);
  EXPECT_EQ(TakeReports(), (Texts{"WGridSort 1017", "WGridSort 1017", "WGridSort 1006"}));
  EXPECT_EQ(ColumnTexts(2000, 1, 3), (Texts{"3", "2", "1"}));
  // Rows beyond the grid are limited to it; a single row does nothing.
  WGridSort(2000, 1, 0, 3, 3);
  EXPECT_EQ(ColumnTexts(2000, 1, 3), (Texts{"3", "2", "1"}));
  WGridSort(2000, 1, 0, -5, 400);
  EXPECT_EQ(ColumnTexts(2000, 1, 3), (Texts{"1", "2", "3"}));
  WDialogUnload();
  WGridSort(0, 1);
  EXPECT_EQ(TakeReports(), (Texts{"WGridSort 1005"}));
}

TEST_F(GridSortFindTest, FindGoesDownEachColumnBeforeTheNext) {
  WDialogLoad(970);
  WGridRows(2000, 4);
  WGridPutCellInteger(2000, 2, 1, 12);
  PutText(2000, 1, 3, "x12");
  PutText(2000, 1, 4, "Ab");
  struct Case {
    const char* what;
    std::string text;
    int flags;
    std::pair<int, int> start, found;  // current cell before and after; {0,0} none
  };
  const Case cases[] = {
      {"12 in a string column, not in the integer column", "12", 0, {1, 1}, {1, 3}},
      {"numbers searched too", "12", kFindNumbers, {1, 4}, {1, 3}},
      {"continuing after the match goes on in the next column", "12",
       kFindNumbers | kFindContinue, {1, 3}, {2, 1}},
      {"from the last row the search goes on at the top of the next column", "",
       kFindContinue | kFindNumbers, {1, 4}, {2, 1}},
      {"without numbers no later column is searched", "", kFindContinue, {1, 4}, {0, 0}},
      {"an empty text matches the first cell searched", "", 0, {3, 2}, {1, 1}},
      {"the padding counts", "Ab  ", 0, {1, 1}, {1, 4}},
      {"letter case counts unless folded", "AB", 0, {1, 1}, {0, 0}},
      {"folded", "aB", kFindFoldCase, {1, 1}, {1, 4}},
      {"a text longer than the cell never matches", std::string(1026, ' '), 0, {1, 1}, {0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WGridSetCell(2000, c.start.first, c.start.second);
    std::int32_t found = 5;
    WGridFind(2000, c.text, c.flags, &found);
    const bool hit = c.found.first != 0;
    EXPECT_EQ(found, hit ? -1 : 0);
    EXPECT_EQ(Current(2000), hit ? c.found : c.start);
  }
  // Continuing with numbers from the integer column's last row finds the
  // empty text in the next searched column: none, so nothing.
  WGridSetCell(2000, 2, 4);
  std::int32_t found = 5;
  WGridFind(2000, "", kFindContinue | kFindNumbers, &found);
  EXPECT_EQ(found, 0);
  // Bounds: the search keeps within them.
  WGridFind(2000, "12", 0, &found, 1, 1, 1, 2);
  EXPECT_EQ(found, 0);
  EXPECT_TRUE(TakeReports().empty());
  WGridFind(4242, "x");
  EXPECT_EQ(TakeReports(), (Texts{"WGridFind 1006"}));
}

TEST_F(GridSortFindTest, FindInATwentyCharacterColumn) {
  WDialogLoad(976);
  PutText(2300, 1, 2, "short");
  std::int32_t found = 0;
  WGridFind(2300, std::string(21, ' '), 0, &found);  // the column's length plus one
  EXPECT_EQ(found, -1);
  WGridFind(2300, std::string(22, ' '), 0, &found);
  EXPECT_EQ(found, 0);
  WGridFind(2300, "short" + std::string(16, ' '), 0, &found);
  EXPECT_EQ(found, -1);
  EXPECT_EQ(Current(2300), (std::pair<int, int>{1, 2}));
}

}  // namespace
}  // namespace tk::testing
