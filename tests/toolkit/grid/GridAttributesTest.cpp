// Column and cell attributes: colours and the order they are painted in,
// alignment, captions, ranges, spin steps, locking, text lengths, the
// rebuilt columns, and the texts of grid windows.
#include <gtest/gtest.h>

#include <array>

#include "platform/controls/Controls.h"
#include "tests/toolkit/grid/GridPeripheryTestSupport.h"
#include "toolkit/core/Windows.h"
#include "toolkit/grid/GridAttributes.h"

namespace tk::testing {
namespace {

using Colours = std::array<std::int32_t, 6>;

class GridAttributesTest : public GridPeripheryTest {
 protected:
  static Colours ColoursOf(int field, int column, int row) {
    Colours c{};
    int f = field;
    GridCellColours(f, column, row, c[0], c[1], c[2], c[3], c[4], c[5]);
    return c;
  }
  static plat::Pixel CellAreaPixel(const GridRecord& g, int x, int y) {
    const plat::PaintContext ctx = plat::GetDrawContext(g.cellArea);
    return ctx.surface->Get(ctx.origin.x + x, ctx.origin.y + y);
  }
};

TEST_F(GridAttributesTest, CellColoursStartFromThePrototypeAndColumnColoursForgetThem) {
  WDialogLoad(970);
  int f = 2000;
  const Colours none = {-1, -1, -1, -1, -1, -1};
  EXPECT_EQ(ColoursOf(2000, 1, 2), none);
  // A column background, then a cell text colour: the array is made from
  // the prototype, so the other cells keep the column's background.
  GridSetColumnColours(f, 1, -1, 0, 0, 0, 128, 0);
  GridSetCellColours(f, 1, 2, 255, 0, 0, -1, 0, 0);
  ASSERT_EQ(f, 2000);
  EXPECT_EQ(ColoursOf(2000, 1, 2), (Colours{255, 0, 0, 0, 128, 0}));
  EXPECT_EQ(ColoursOf(2000, 1, 3), (Colours{-1, -1, -1, 0, 128, 0}));
  EXPECT_EQ(FindGrid(2000)->columns[1].cellColours.size(), 10u);
  // Red -1 leaves a colour, 256 resets it to the default.
  GridSetCellColours(f, 1, 2, -1, 9, 9, 256, 0, 0);
  EXPECT_EQ(ColoursOf(2000, 1, 2), (Colours{255, 0, 0, -1, -1, -1}));
  GridSetCellColours(f, 1, 2, 256, 0, 0, -1, 0, 0);
  EXPECT_EQ(ColoursOf(2000, 1, 2), none);
  // Column colours forget every cell colour of the column.
  GridSetCellColours(f, 1, 4, 1, 2, 3, 4, 5, 6);
  GridSetColumnColours(f, 1, 10, 20, 30, 256, 0, 0);
  EXPECT_TRUE(FindGrid(2000)->columns[1].cellColours.empty());
  for (int row : {2, 4}) EXPECT_EQ(ColoursOf(2000, 1, row), (Colours{10, 20, 30, -1, -1, -1}));
  // Bad arguments report through the field only.
  const struct {
    int field, column, row, status;
  } bad[] = {{4242, 0, 0, -1}, {2000, 4, 0, -2}, {2000, -1, 0, -2}, {2000, 0, 10, -2}};
  for (const auto& b : bad) {
    int g = b.field;
    GridSetCellColours(g, b.column, b.row, 1, 1, 1, 1, 1, 1);
    EXPECT_EQ(g, b.status);
  }
  EXPECT_TRUE(TakeReports().empty());
}

TEST_F(GridAttributesTest, TextCellsArePaintedInCellThenColumnThenGridThenSystemColours) {
  WDialogLoad(961);  // a grid field whose own colours are red on blue
  GridRecord& g = Grid(1700);
  GridSetCurrentCell(g, 0, 4, false, false);
  int f = 1700;
  struct Case {
    const char* what;
    std::function<void()> set;
    plat::Pixel background;
  };
  const Case cases[] = {
      {"the grid field's", [] {}, plat::Rgb(0, 0, 255)},
      {"the column's", [&] { GridSetColumnColours(f, 4, 0, 0, 0, 0, 255, 0); }, plat::Rgb(0, 255, 0)},
      {"the cell's", [&] { GridSetCellColours(f, 4, 1, 0, 0, 0, 255, 255, 0); }, plat::Rgb(255, 255, 0)},
      {"the column's again for another cell", [] {}, plat::Rgb(0, 255, 0)},
  };
  WDialogShow(0, 0, 0, kShowModeless);
  int row = 1;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    c.set();
    if (std::string_view(c.what).find("another") != std::string_view::npos) row = 2;
    harness.DispatchPending();
    const int x = GridColumnLine(g, 4) + 2;
    EXPECT_EQ(CellAreaPixel(g, x, row * (g.rowHeight - 1) + 2), c.background);
  }
  WDialogHide();
  // Without any colours of its own a grid paints in the system's.
  WDialogLoad(954);
  GridRecord& plain = Grid(1300);
  GridSetCurrentCell(plain, 0, 4, false, false);
  WDialogShow(0, 0, 0, kShowModeless);
  harness.DispatchPending();
  EXPECT_EQ(CellAreaPixel(plain, GridColumnLine(plain, 4) + 2, (plain.rowHeight - 1) + 2),
            plat::kColourWindow);
}

TEST_F(GridAttributesTest, HeadersAlignmentsCaptionsAndTextLengths) {
  WDialogLoad(976);
  struct Case {
    int field, column;
    std::int32_t alignment, textLength;
  };
  std::int32_t a = -1, len = -1;
  int f = 2300;
  GridColumnAlignment(f, 0, a);
  EXPECT_EQ(a, 2);
  GridColumnTextLength(f, 0, len);
  EXPECT_EQ(len, 21);
  GridColumnTextLength(f, 1, len);
  EXPECT_EQ(f, -2);
  WDialogLoad(970);
  f = 2000;
  for (const auto& [column, alignment] : {std::pair{0, 0}, {1, 0}, {2, 1}, {3, 0}}) {
    GridColumnAlignment(f, column, a);
    EXPECT_EQ(a, alignment) << column;
  }
  std::int32_t headers = -1, width = -1;
  GridHeaderLayout(f, headers, width);
  EXPECT_EQ(headers, 1);
  EXPECT_EQ(width, 0);
  std::string caption;
  GridColumnCaption(f, 1, caption, 100);
  EXPECT_EQ(caption, "Name");
  GridColumnCaption(f, 2, caption, 3);
  EXPECT_EQ(caption, "Co");
  GridSetColumnCaption(f, 2, "Total");
  GridColumnCaption(f, 2, caption, 100);
  EXPECT_EQ(caption, "Total");
  WDialogLoad(974);
  f = 2200;
  GridHeaderLayout(f, headers, width);
  EXPECT_EQ(headers, 1);
  EXPECT_EQ(width, FindGrid(2200)->labelWidth);
  EXPECT_GT(width, 0);
  WDialogLoad(972);
  f = 2100;
  GridHeaderLayout(f, headers, width);
  EXPECT_EQ(headers + width, 0);
  caption = "x";
  GridColumnCaption(f, 1, caption, 100);
  EXPECT_EQ(caption, "");
  f = 4242;
  GridHeaderLayout(f, headers, width);
  EXPECT_EQ(f, -1);
}

TEST_F(GridAttributesTest, RangesAndSpinSteps) {
  WDialogLoad(976);
  GridRecord& g = Grid(2300);
  GridSetCurrentCell(g, 1, 0, false, false);  // the editor serves the spin column
  ASSERT_NE(g.editorField.rec.buddy, plat::kNoWindow);
  int f = 2300;
  GridSetColumnRange(f, 1, -40000.0, 40000.0);
  EXPECT_EQ(g.columns[1].settings.rangeLow, -40000.0);
  EXPECT_EQ(g.columns[1].settings.rangeHigh, 40000.0);
  EXPECT_EQ(g.editorField.rec.rangeLow, -40000.0);
  EXPECT_EQ(plat::UpDownGetRange(g.editorField.rec.buddy), (std::pair<int, int>{-31073, 31073}));
  GridSetIntegerSpin(f, 1, 2, 0, 7);
  EXPECT_EQ(g.columns[1].settings.spinStep, 2.0);
  EXPECT_EQ(g.columns[1].settings.spinPageStep, 2.0);
  EXPECT_EQ(g.columns[1].settings.spinOrigin, 7);
  EXPECT_EQ(g.editorField.rec.spinPageStep, 2.0);
  GridSetRealSpin(f, 2, 0.5f, 5.0f);
  EXPECT_EQ(g.columns[2].settings.spinPageStep, 5.0);
  GridSetDoubleSpin(f, 3, 0.25, 2.5);
  EXPECT_EQ(g.columns[3].settings.spinStep, 0.25);
  ASSERT_EQ(f, 2300);
  // A setter for another column class answers -2.
  for (int column : {0, 2}) {
    f = 2300;
    GridSetIntegerSpin(f, column, 1, 1, 0);
    EXPECT_EQ(f, -2);
  }
  f = 2300;
  GridSetColumnRange(f, 9, 0, 1);
  EXPECT_EQ(f, -2);
}

TEST_F(GridAttributesTest, LockedCellsRefuseTyping) {
  WDialogLoad(970);
  GridRecord& g = Grid(2000);
  int f = 2000;
  GridLockCell(f, 0, 2, 0);
  EXPECT_TRUE(g.columns[0].cellFlags[2] & kCellLocked);
  GridSetCurrentCell(g, 0, 2, false, false);
  EXPECT_TRUE(plat::GetStyle(g.editor) & plat::kEsReadOnly);
  GridLockCell(f, 0, 2, 1);
  EXPECT_FALSE(g.columns[0].cellFlags[2] & kCellLocked);
  EXPECT_FALSE(plat::GetStyle(g.editor) & plat::kEsReadOnly);
  GridLockCell(f, 0, 10, 0);
  EXPECT_EQ(f, -2);
}

TEST_F(GridAttributesTest, RebuiltColumnsLoseTheirCellsButKeepTheRows) {
  WDialogLoad(970);
  GridRecord& g = Grid(2000);
  WGridRows(2000, 3);
  PutText(2000, 1, 1, "gone");
  int f = 2000;
  GridSetCellColours(f, 0, 0, 1, 1, 1, 1, 1, 1);
  const std::vector<int> positions = {4, 1};
  GridRebuildColumns(f, 2, &positions);
  ASSERT_EQ(f, 2000);
  EXPECT_EQ(g.columnCount, 2);
  EXPECT_EQ(g.columns[0].type, kColumnOption);
  EXPECT_EQ(g.columns[1].type, kColumnString);
  EXPECT_EQ(g.rowCount, 3);
  EXPECT_EQ(g.rowCapacity, 10);
  EXPECT_EQ(Cell(2000, 2, 1), "");
  EXPECT_EQ(plat::HeaderItemCount(g.columnHeader), 3);
  std::string caption;
  GridColumnCaption(f, 2, caption, 100);
  EXPECT_EQ(caption, "Name");
  // Positions fewer than the count, or a template position that does not
  // exist, answer -1.
  f = 2000;
  GridRebuildColumns(f, 3, &positions);
  EXPECT_EQ(f, -1);
  f = 2000;
  const std::vector<int> beyond = {9};
  GridRebuildColumns(f, 1, &beyond);
  EXPECT_EQ(f, -1);
  EXPECT_EQ(g.columnCount, 0);
  f = 2000;
  GridRebuildColumns(f, 4);
  EXPECT_EQ(f, 2000);
  EXPECT_EQ(g.columnCount, 4);
  EXPECT_EQ(g.columns[3].type, kColumnOption);
}

TEST_F(GridAttributesTest, GridWindowTextsOfOpenAndClosedWindows) {
  WDialogLoad(970);
  const int window = 0;
  SetWindowGridField(window, Grid(2000).window);
  GridWindowTextsOf(window).search = "needle";
  GridWindowTextsOf(window).file = std::string(300, 'f');
  std::string text = "unchanged";
  GridWindowText(window, 1, text, 100);
  EXPECT_EQ(text, "needle");
  GridWindowText(window, 3, text, 1000);
  EXPECT_EQ(text.size(), 259u);
  GridWindowText(window, 1, text, 4);
  EXPECT_EQ(text, "nee");
  text = "unchanged";
  GridWindowText(window, 9, text, 100);
  EXPECT_EQ(text, "unchanged");
  GridWindowTextsClosed(window);
  SetWindowGridField(window, plat::kNoWindow);
  GridWindowText(window, 1, text, 100);  // no longer a grid window
  EXPECT_EQ(text, "unchanged");
  GridWindowText(-1, 1, text, 100);
  EXPECT_EQ(text, "needle");
}

}  // namespace
}  // namespace tk::testing
