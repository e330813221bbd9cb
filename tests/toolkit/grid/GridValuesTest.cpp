// Cell values: puts and gets of one cell and of one column, their errors
// under the routine's own name, and cell and grid information.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <regex>

#include "tests/toolkit/grid/GridTestSupport.h"
#include "toolkit/core/Errors.h"
#include "toolkit/grid/GridValues_p.h"

namespace tk::testing {
namespace {

class GridValuesTest : public GridTest {
 protected:
  void SetUp() override {
    GridTest::SetUp();
    ErrorState().reportMode = kReportStatusBar;
    SetErrorDeliveryHook([](int, const std::string&) {});
  }
  void TearDown() override {
    SetErrorDeliveryHook(nullptr);
    GridTest::TearDown();
  }
  /// Every report made while F runs, as "routine code".
  template <typename F>
  static std::vector<std::string> Reports(F f) {
    std::vector<std::string> seen;
    SetErrorDeliveryHook([&](int, const std::string& report) {
      std::smatch m;
      static const std::regex kReport(R"(Routine:\s*(\S+)\s+Error=\s*(\d+))");
      seen.push_back(std::regex_search(report, m, kReport) ? m[1].str() + " " + m[2].str() : report);
    });
    f();
    SetErrorDeliveryHook([](int, const std::string&) {});
    return seen;
  }
  static std::string CellString(int field, int column, int row, std::size_t width = 12) {
    std::string text(width, '#');
    WGridGetCellString(field, column, row, text);
    return text;
  }
};

TEST_F(GridValuesTest, PutsAndGetsOfSingleCells) {
  WDialogLoad(950);
  GridRecord& g = Grid(1107);
  struct Case {
    const char* what;
    std::function<void()> put;
    int error;
    std::function<void()> check;
  };
  const Case cases[] = {
      {"a put with the template's format keeps it",
       [] { WGridPutCellReal(1107, 2, 1, 12345678.0f); }, 0,
       [&] { EXPECT_EQ(CellString(1107, 2, 1), "12345678.0  "); }},
      {"a put with a new format stores the value and formats the whole column",
       [] { WGridPutCellReal(1107, 2, 5, 7.46f, "(F9.1)"); }, 0,
       [&] {
         EXPECT_EQ(GridCellText(g, 1, 0, 0), "*********");  // the other cells take it too
         float v = 0;
         WGridGetCellReal(1107, 2, 5, v);
         EXPECT_FLOAT_EQ(v, 7.46f);
         EXPECT_EQ(g.columns[1].cellFlags[4], kCellPresent | kCellEntered);
         EXPECT_EQ(g.columns[1].settings.format.value_or(""), "(F9.1)");
         EXPECT_EQ(CellString(1107, 2, 5), "7.5         ");
       }},
      {"a later put without a format keeps it",
       [] { WGridPutCellReal(1107, 2, 6, 3.25f); }, 0,
       [&] {
         EXPECT_EQ(g.columns[1].settings.format.value_or(""), "(F9.1)");
         EXPECT_EQ(CellString(1107, 2, 6), "3.2         ");
       }},
      {"a real put into an integer column truncates toward zero",
       [] {
         WGridPutCellReal(1107, 1, 1, 2.7f);
         WGridPutCellReal(1107, 1, 2, -2.7f);
       },
       0,
       [&] {
         EXPECT_EQ(g.columns[0].ints[0], 2);
         EXPECT_EQ(g.columns[0].ints[1], -2);
         EXPECT_EQ(CellString(1107, 1, 2), "-2          ");
       }},
      {"an integer put keeps a real column's format",
       [] { WGridPutCellInteger(1107, 3, 1, 7); }, 0,
       [&] {
         EXPECT_FLOAT_EQ(g.columns[2].reals[0], 7.0f);
         EXPECT_EQ(g.columns[2].settings.format.value_or(""), "(f11.1)");
         EXPECT_EQ(CellString(1107, 3, 1), "7.0         ");
       }},
      {"row 0 is outside", [] { WGridPutCellInteger(1107, 3, 0, 7); }, kErrCellOutside, [] {}},
      {"a row past the rows in use is outside",
       [] { WGridPutCellInteger(1107, 3, 10001, 7); }, kErrCellOutside, [] {}},
      {"a column past the last is outside",
       [] { WGridPutCellReal(1107, 5, 1, 1.0f, "(F5.1)"); }, kErrCellOutside, [] {}},
      {"a double put of infinity into an integer column is refused",
       [] { WGridPutCellDouble(1107, 1, 3, std::numeric_limits<double>::infinity()); },
       kErrOutOfRange, [&] { EXPECT_EQ(g.columns[0].cellFlags[2] & kCellPresent, 0); }},
      {"a value beyond 32 bits into an integer column is refused",
       [] { WGridPutCellDouble(1107, 1, 3, 3e9); }, kErrOutOfRange, [] {}},
      {"a cell never put reads undefined",
       [] {}, 0,
       [&] {
         float v = 1;
         WGridGetCellReal(1107, 4, 9, v);
         EXPECT_EQ(LastError(), kErrUndefined);
         EXPECT_FLOAT_EQ(v, -999.0f);
         std::int32_t i = 1;
         WGridGetCellInteger(1107, 4, 9, i);
         EXPECT_EQ(LastError(), kErrUndefined);
         EXPECT_EQ(i, -999);
         EXPECT_EQ(CellString(1107, 4, 9), "            ");
         EXPECT_EQ(LastError(), 0);
       }},
      {"an integer get of a real cell truncates",
       [] { WGridPutCellReal(1107, 4, 2, -3.9f); }, 0,
       [] {
         std::int32_t i = 0;
         WGridGetCellInteger(1107, 4, 2, i);
         EXPECT_EQ(i, -3);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    LastError();
    c.put();
    EXPECT_EQ(LastError(), c.error);
    c.check();
  }
}

TEST_F(GridValuesTest, RangesCheckTypesAndStringCells) {
  WDialogLoad(954);
  GridRecord& g = Grid(1300);
  struct Case {
    const char* what;
    std::function<void()> call;
    int error;
  };
  const Case cases[] = {
      {"5.0 into the range 0..2", [] { WGridPutCellReal(1300, 6, 1, 5.0f); }, kErrOutOfRange},
      {"NaN into the range 0..2",
       [] { WGridPutCellDouble(1300, 6, 1, std::nan("")); }, kErrOutOfRange},
      {"1.5 into the range 0..2", [] { WGridPutCellReal(1300, 6, 1, 1.5f); }, 0},
      {"any value without a range", [] { WGridPutCellDouble(1300, 5, 1, 1e30); }, 0},
      {"a number into a check-box column", [] { WGridPutCellInteger(1300, 4, 1, 1); },
       kErrCellOutside},
      {"a number into an option column", [] { WGridPutCellReal(1300, 3, 1, 1.0f); },
       kErrCellOutside},
      {"a number get of a check box",
       [] {
         double d = 0;
         WGridGetCellDouble(1300, 4, 1, d);
       },
       kErrCellOutside},
      {"a string get of an option cell",
       [] {
         std::string t(5, ' ');
         WGridGetCellString(1300, 3, 1, t);
       },
       kErrCellOutside},
      {"a check put into a string column", [] { WGridPutCellCheckBox(1300, 1, 1, 1); },
       kErrCellOutside},
      {"an option put past the rows", [] { WGridPutCellOption(1300, 3, 6, 1); }, kErrCellOutside},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    LastError();
    c.call();
    EXPECT_EQ(LastError(), c.error);
  }
  EXPECT_FLOAT_EQ(g.columns[5].reals[0], 1.5f);
  // String cells read as numbers.
  struct Text {
    const char* text;
    int error;
    float value;
  };
  const Text texts[] = {{" 12.5 ", 0, 12.5f}, {"abc", 0, 0.0f}, {"   ", kErrUndefined, -999.0f},
                        {"", kErrUndefined, -999.0f}};
  for (const Text& t : texts) {
    SCOPED_TRACE(t.text);
    g.columns[0].texts[2] = t.text;
    float v = 1.0f;
    WGridGetCellReal(1300, 1, 3, v);
    EXPECT_EQ(LastError(), t.error);
    EXPECT_FLOAT_EQ(v, t.value);
  }
  // A string put is cut to the column's length.
  WGridPutCellDouble(1300, 2, 1, 1.0 / 3.0, "(F30.25)");
  EXPECT_EQ(g.columns[1].texts[0].size(), 20u);
}

TEST_F(GridValuesTest, RowsOffScreenKeepTheirValueNotTheirText) {
  WDialogLoad(950);
  GridRecord& g = Grid(1107);
  ASSERT_LT(g.shownRows, 9000);
  WGridPutCellReal(1107, 3, 9000, 12.34f);
  EXPECT_FLOAT_EQ(g.columns[2].reals[8999], 12.34f);
  EXPECT_EQ(g.columns[2].cellFlags[8999], kCellPresent | kCellEntered);
  EXPECT_EQ(CellString(1107, 3, 9000), "12.3        ");
  // A zero put takes its number from the text it writes.
  WGridPutCellReal(1107, 3, 1, 0.0f);
  EXPECT_FLOAT_EQ(g.columns[2].reals[0], 0.0f);
  EXPECT_EQ(g.columns[2].cellFlags[0], kCellPresent | kCellEntered);
}

TEST_F(GridValuesTest, ColumnPutsReportTooManyRowsOnceAndEmptyTheRest) {
  WDialogLoad(952);
  GridRecord& g = Grid(1214);
  g.rowCount = 12;
  std::vector<std::int32_t> values(20);
  for (int i = 0; i < 20; ++i) values[i] = 100 + i;
  std::vector<std::string> seen = Reports([&] { WGridPutInteger(1214, 1, values, 20); });
  EXPECT_EQ(seen, (std::vector<std::string>{"WGridPutInteger 1018"}));
  for (int row = 0; row < 12; ++row) EXPECT_EQ(g.columns[0].ints[row], 100 + row);
  EXPECT_EQ(g.columns[0].cellFlags[12] & kCellPresent, 0);
  seen = Reports([&] { WGridPutInteger(1214, 1, values, 5); });
  EXPECT_TRUE(seen.empty());
  for (int row = 0; row < 5; ++row) EXPECT_NE(g.columns[0].cellFlags[row] & kCellPresent, 0);
  for (int row = 5; row < 12; ++row) {
    EXPECT_EQ(g.columns[0].cellFlags[row] & (kCellPresent | kCellEntered), 0) << row;
    EXPECT_EQ(g.columns[0].ints[row], 0);
  }
  // Each failing cell is told by the cell routine, once per cell.
  std::vector<float> reals = {1.0f, 50.0f, 2.0f};
  GridColumn& c = g.columns[1];
  c.settings.rangeLow = 0.0;
  c.settings.rangeHigh = 10.0;
  seen = Reports([&] { WGridPutReal(1214, 2, reals, 3); });
  EXPECT_EQ(seen, (std::vector<std::string>{"WGridPutCellReal 1009"}));
  EXPECT_FLOAT_EQ(c.reals[2], 2.0f);
  EXPECT_EQ(RepaintCellsAtOnce(), 1);
}

TEST_F(GridValuesTest, ColumnReadsAreCutToTheRowsInUse) {
  WDialogLoad(952);
  GridRecord& g = Grid(1214);
  g.rowCount = 24;
  std::vector<float> values(100, 5.0f);
  std::vector<float> put(24);
  for (int i = 0; i < 24; ++i) put[i] = i * 0.5f;
  WGridPutReal(1214, 2, put, 24);
  int n = 100;
  EXPECT_TRUE(Reports([&] { WGridReadColumnReal(1214, 2, values, n); }).empty());
  EXPECT_EQ(n, 24);
  for (int i = 0; i < 24; ++i) EXPECT_FLOAT_EQ(values[i], i * 0.5f);
  EXPECT_FLOAT_EQ(values[24], 5.0f);
  // Cells without value come back undefined, each with its own report.
  std::vector<std::int32_t> ints(30, 0);
  n = 3;
  const auto seen = Reports([&] { WGridReadColumnInteger(1214, 1, ints, n); });
  EXPECT_EQ(seen.size(), 3u);
  EXPECT_EQ(ints[0], -999);
}

TEST_F(GridValuesTest, OptionColumnsAndCellInformation) {
  WDialogLoad(954);
  const std::vector<std::int32_t> options = {2, 0, 3};
  WGridPutOption(1300, 3, options, 3);
  EXPECT_EQ(LastError(), 0);
  const std::int32_t expected[] = {2, 0, 3, 0, 0};
  for (int row = 1; row <= 5; ++row) {
    std::int32_t o = -1;
    WGridGetCellMenu(1300, 3, row, o);
    EXPECT_EQ(o, expected[row - 1]) << row;
  }
  std::vector<std::int32_t> read(5, -1);
  int n = 9;
  WGridReadColumnMenu(1300, 3, read, n);
  EXPECT_EQ(n, 5);
  EXPECT_EQ(read, (std::vector<std::int32_t>{2, 0, 3, 0, 0}));
  WGridPutCellCheckBox(1300, 4, 1, 1);
  WGridPutCellDouble(1300, 5, 1, 2.5);
  struct Info {
    int column, row, item, result;
  };
  const Info infos[] = {
      {5, 1, 1, 1}, {5, 2, 1, 0},  // a numeric cell with and without value
      {4, 1, 1, 1}, {4, 2, 1, 0},  // a checked and an unchecked box
      {3, 1, 1, 1}, {3, 2, 1, 0},  // an option cell with and without option
      {1, 1, 2, kFieldString}, {3, 1, 2, kFieldComboBox}, {4, 1, 2, kFieldCheckBox},
      {5, 1, 2, kFieldDouble}, {6, 1, 2, kFieldReal},
  };
  for (const Info& i : infos) {
    SCOPED_TRACE(std::to_string(i.column) + "," + std::to_string(i.row) + " item " +
                 std::to_string(i.item));
    EXPECT_EQ(WInfoGridCell(1300, i.column, i.row, i.item), i.result);
  }
  EXPECT_EQ(WInfoGridCell(1300, 7, 1, 2), 0);
  EXPECT_EQ(LastError(), kErrCellOutside);
  // An option beyond the list is stored, and reads as no option's text.
  WGridPutCellOption(1300, 3, 4, 9);
  EXPECT_EQ(LastError(), 0);
  EXPECT_EQ(GridCellText(Grid(1300), 2, 3, 0), "");
}

TEST_F(GridValuesTest, UnpackingAndQueries) {
  std::int32_t column = 0, row = 0;
  WGridCellUnpack(786437, column, row);
  EXPECT_EQ(column, 3);
  EXPECT_EQ(row, 5);
  // The last cell fills all 32 bits: 14 of column, 18 of row.
  WGridCellUnpack(static_cast<std::int32_t>(16383u * 262144u + 262143u), column, row);
  EXPECT_EQ(column, 16383);
  EXPECT_EQ(row, 262143);
  WGridCellUnpack(-1, column, row);
  EXPECT_EQ(column, 16383);
  EXPECT_EQ(row, 262143);

  WDialogLoad(954);
  struct Query {
    int item, result;
  };
  const Query queries[] = {{1, 6}, {2, 5}, {3, 5}, {4, 1}, {5, 1}, {6, 1}, {7, 0}, {8, 1},
                           {9, 1}, {10, 0}, {11, 0}, {12, 0}, {13, 0}, {102, 6}};
  for (const Query& q : queries) {
    int field = 1300;
    std::int32_t result = -7;
    GridQuery(field, q.item, result);
    EXPECT_EQ(field, 1300);
    EXPECT_EQ(result, q.result) << "item " << q.item;
  }
  WGridPutCellDouble(1300, 5, 1, 1.0);
  int field = 1300;
  std::int32_t result = -7;
  GridQuery(field, 6, result);
  EXPECT_EQ(result, 0);  // modified
  GridQuery(field, 99, result);
  EXPECT_EQ(result, 0);  // an unknown item leaves it
}

TEST_F(GridValuesTest, RoutinesNeedACurrentDialogAndAGrid) {
  std::int32_t v = 5;
  WGridGetCellInteger(1107, 1, 1, v);
  EXPECT_EQ(LastError(), kErrNoDialog);
  EXPECT_EQ(v, 5);
  WGridPutCellInteger(0, 1, 1, 5);  // the main window is no grid window
  EXPECT_EQ(LastError(), kErrBadField);
  WDialogLoad(901);
  WGridPutCellInteger(1001, 1, 1, 5);  // an edit field is no grid
  EXPECT_EQ(LastError(), kErrBadField);
  // Field 0: the grid of the current window when it is a grid window.
  WDialogLoad(954);
  SetWindowGridField(0, Grid(1300).window);
  WGridPutCellDouble(0, 5, 2, 4.0);
  EXPECT_EQ(LastError(), 0);
  double d = 0;
  WGridGetCellDouble(1300, 5, 2, d);
  EXPECT_DOUBLE_EQ(d, 4.0);
  SetWindowGridField(0, plat::kNoWindow);
}

}  // namespace
}  // namespace tk::testing
