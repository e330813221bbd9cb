// The grid as a window on the headless backend: height snapping, layout,
// scroll ranges and scrolling, the header's refused divider drag, and the
// pixels the cells are painted with.
#include <gtest/gtest.h>

#include "platform/controls/Controls.h"
#include "platform/dialog/Dialog.h"
#include "tests/toolkit/grid/GridTestSupport.h"
#include "toolkit/dialogs/GridLink.h"

namespace tk::testing {
namespace {

class GridWindowTest : public GridTest {
 protected:
  static void Scroll(GridRecord& g, int code, int pos = 0) {
    plat::SendMessage(g.window, plat::Msg::VScroll, plat::MakeWParam(code, pos), 0);
  }
  /// Resizes the grid so that its cell area holds ROWS whole rows.
  static void HoldRows(GridRecord& g, int rows) {
    const plat::Rect r = plat::GetWindowRect(g.window);
    plat::MoveWindow(g.window, {r.left, r.top, r.right, r.top + (rows + 1) * (g.rowHeight - 1) + 3});
  }
  /// Shows the current dialog and lets every paint happen.
  void ShowAndPaint() {
    WDialogShow(0, 0, 0, kShowModeless);
    harness.DispatchPending();
  }
  /// Pixel (X, Y) of the cell area of G.
  static plat::Pixel CellAreaPixel(const GridRecord& g, int x, int y) {
    const plat::PaintContext ctx = plat::GetDrawContext(g.cellArea);
    return ctx.surface->Get(ctx.origin.x + x, ctx.origin.y + y);
  }
  /// Pixels of cell (COLUMN, ROW)'s interior that are not BACKGROUND.
  static std::vector<plat::Point> Ink(const GridRecord& g, int column, int row, plat::Pixel background) {
    std::vector<plat::Point> ink;
    const int x0 = GridColumnLine(g, column) + 1;
    const int x1 = x0 + g.columns[column].width - 2;
    const int y0 = (row - g.topRow) * (g.rowHeight - 1) + 1;
    for (int y = y0; y < y0 + g.rowHeight - 2; ++y)
      for (int x = x0; x < x1; ++x)
        if (CellAreaPixel(g, x, y) != background) ink.push_back({x, y});
    return ink;
  }
};

TEST_F(GridWindowTest, HeightSnapsToWholeRowsBelowTheHeader) {
  WDialogLoad(950);
  GridRecord& g = Grid(1107);
  const int step = g.rowHeight - 1;
  const int n = (g.initialClientHeight - 1) / step;
  ASSERT_GT(n, 2);
  EXPECT_EQ(plat::GetClientRect(g.window).Height(), n * step + 3);
  EXPECT_EQ(plat::GetWindowRect(g.columnHeader).Height(), g.rowHeight + 1);
  EXPECT_EQ(g.headerHeight, g.rowHeight + 1);
  EXPECT_EQ(g.visibleRows, n - 1);
  // The row height is the drop-down list's height less one.
  plat::CreateParams p;
  p.className = plat::kComboBoxClass;
  p.style = plat::kStyleChild | plat::kCbsDropDownList;
  p.rect = {0, 0, 50, 100};
  p.parent = g.window;
  const plat::Hwnd combo = plat::CreateWindow(p);
  EXPECT_EQ(g.rowHeight, plat::GetWindowRect(combo).Height() - 1);
  plat::DestroyWindow(combo);
}

TEST_F(GridWindowTest, KeepHeightStyleKeepsTheTemplateHeight) {
  WDialogLoad(958);
  GridRecord& g = Grid(1800);
  EXPECT_EQ(plat::GetWindowRect(g.window).Height(),
            plat::DialogUnitsToPixels({0, 0, 0, 101}).bottom);
}

TEST_F(GridWindowTest, ManyRowsAreScaledOntoTheScrollBar) {
  WDialogLoad(959);
  GridRecord& g = Grid(1600);
  EXPECT_EQ(g.scrollScale, 2);
  const plat::WindowScrollInfo bar = plat::GetWindowScrollInfo(g.window, true);
  EXPECT_EQ(bar.min, 0);
  EXPECT_EQ(bar.max, 49999);
  EXPECT_EQ(bar.page, g.visibleRows / 2);
  // A released thumb at p shows row 2p at the top; the end is clamped.
  Scroll(g, plat::kSbThumbPosition, 1234);
  EXPECT_EQ(g.topRow, 2468);
  EXPECT_EQ(plat::GetWindowScrollPos(g.window, true), 1234);
  Scroll(g, plat::kSbThumbTrack, 40000);  // dragging does not scroll
  EXPECT_EQ(g.topRow, 2468);
  Scroll(g, plat::kSbThumbPosition, 49999);
  EXPECT_EQ(g.topRow, std::min(99998, 100000 - g.visibleRows));
  Scroll(g, plat::kSbThumbPosition, 49999 - g.visibleRows);
  EXPECT_EQ(g.topRow, 2 * (49999 - g.visibleRows));
  Scroll(g, plat::kSbThumbPosition, 49999);
  ASSERT_EQ(g.topRow, 100000 - g.visibleRows);
  // On its last page the grid still scrolls up.
  Scroll(g, plat::kSbLineUp);
  EXPECT_EQ(g.topRow, 100000 - g.visibleRows - 1);
  Scroll(g, plat::kSbLineDown);
  Scroll(g, plat::kSbLineDown);
  EXPECT_EQ(g.topRow, 100000 - g.visibleRows);
}

TEST_F(GridWindowTest, PagingAndTheWheelMoveByRows) {
  WDialogLoad(950);
  GridRecord& g = Grid(1107);
  HoldRows(g, 9);
  ASSERT_EQ(g.visibleRows, 9);
  g.modified = 0;
  Scroll(g, plat::kSbPageDown);
  EXPECT_EQ(g.topRow, 9);  // rows 10 to 18 from 1
  EXPECT_EQ(g.currentRow, 9);
  EXPECT_EQ(g.modified, 0);
  Scroll(g, plat::kSbPageUp);
  EXPECT_EQ(g.topRow, 0);
  EXPECT_EQ(g.currentRow, 8);  // kept inside the rows shown
  struct Case {
    std::vector<int> deltas;
    int rows;
  };
  const Case cases[] = {{{-480}, 4}, {{-60, -60}, 1}, {{-60}, 0}, {{240}, -2}};
  for (const Case& c : cases) {
    g.wheelDelta = 0;
    const int before = g.topRow;
    for (int d : c.deltas)
      plat::SendMessage(g.window, plat::Msg::MouseWheel, plat::MakeWParam(0, d), 0);
    EXPECT_EQ(g.topRow - before, c.rows) << c.deltas.size() << " notches from " << c.deltas[0];
  }
}

TEST_F(GridWindowTest, AColumnWiderThanTheCellAreaIsCut) {
  WDialogLoad(960);
  GridRecord& g = Grid(1900);
  const int area = GridCellAreaWidth(g);
  bool cut = false;
  for (const GridColumn& c : g.columns) {
    EXPECT_LE(c.width, area);
    cut = cut || c.width == area;
  }
  EXPECT_TRUE(cut);
  // One column at a time fits: scrolling right moves column by column.
  EXPECT_EQ(g.rightColumn, 0);
  plat::SendMessage(g.window, plat::Msg::HScroll, plat::MakeWParam(plat::kSbLineDown, 0), 0);
  EXPECT_EQ(g.leftColumn, 1);
  EXPECT_EQ(plat::HeaderGetItem(g.columnHeader, 1)->width, 0);
}

TEST_F(GridWindowTest, ADividerDragChangesNoWidth) {
  WDialogLoad(954);
  GridRecord& g = Grid(1300);
  ShowAndPaint();
  const int before = plat::HeaderGetItem(g.columnHeader, 1)->width;
  const int divider = plat::HeaderGetItem(g.columnHeader, 0)->width + before - 1;
  harness.Drag(g.columnHeader, {divider, 5}, {divider + 40, 5});
  harness.DispatchPending();
  EXPECT_EQ(plat::HeaderGetItem(g.columnHeader, 1)->width, before);
  EXPECT_EQ(g.columns[0].width - 1, before);
  EXPECT_EQ(plat::CursorShownOver(g.columnHeader), plat::CursorShape::Arrow);
}

TEST_F(GridWindowTest, ResizingTheCellAreaKeepsTheLabelsAndNeverScrollsAboveTheTop) {
  WDialogLoad(952);
  GridRecord& g = Grid(1214);
  const int labels = g.labelWindowCount;
  HoldRows(g, g.visibleRows + 3);
  EXPECT_EQ(g.labelWindowCount, g.visibleRows + 1);
  EXPECT_GT(g.labelWindowCount, labels);
  EXPECT_EQ(g.topRow, 0);
  EXPECT_EQ(plat::HeaderGetItem(g.labelWindows.back(), 0)->text, std::to_string(g.labelWindowCount));
  EXPECT_EQ(GridResizing(), 0);
  // Taller than all rows: the top stays at the first row.
  HoldRows(g, 80);
  EXPECT_EQ(g.topRow, 0);
  EXPECT_EQ(g.labelWindowCount, 60);
}

TEST_F(GridWindowTest, CellsArePaintedWithGridLinesAlignmentAndColours) {
  WDialogLoad(950);
  GridRecord& g = Grid(1107);
  WGridPutCellInteger(1107, 1, 1, 42);      // a locked cell
  WGridPutCellReal(1107, 2, 1, 1.5f);       // a right-aligned column
  // The current cell's editor covers its cell: keep it off the cells looked at.
  GridSetCurrentCell(g, 0, 5, false, false);
  ShowAndPaint();
  const int step = g.rowHeight - 1;
  // Grid lines at the column and row lines.
  const int line1 = GridColumnLine(g, 1);
  EXPECT_EQ(CellAreaPixel(g, 0, step / 2), plat::kColourText);
  EXPECT_EQ(CellAreaPixel(g, line1, step / 2), plat::kColourText);
  EXPECT_EQ(CellAreaPixel(g, line1 + 5, step), plat::kColourText);
  EXPECT_EQ(CellAreaPixel(g, line1 + 5, 0), plat::kColourText);
  // The locked cell: window text on button face.
  EXPECT_EQ(CellAreaPixel(g, 2, 2), plat::kColourFace);
  const std::vector<plat::Point> locked = Ink(g, 0, 0, plat::kColourFace);
  ASSERT_FALSE(locked.empty());
  for (const plat::Point& p : locked) EXPECT_EQ(CellAreaPixel(g, p.x, p.y), plat::kColourText);
  // The writable cell: black on white, its text at the right.
  EXPECT_EQ(CellAreaPixel(g, line1 + 2, 2), plat::kColourWindow);
  const std::vector<plat::Point> right = Ink(g, 1, 0, plat::kColourWindow);
  ASSERT_FALSE(right.empty());
  int minX = 1 << 20, maxX = 0;
  for (const plat::Point& p : right) {
    minX = std::min(minX, p.x);
    maxX = std::max(maxX, p.x);
  }
  const int interiorRight = GridColumnLine(g, 2) - 1;
  EXPECT_GE(maxX, interiorRight - 6);
  EXPECT_GT(minX, line1 + (interiorRight - line1) / 2);
}

TEST_F(GridWindowTest, CheckBoxCellsShowTheirPictures) {
  WDialogLoad(954);
  GridRecord& g = Grid(1300);
  WGridPutCellCheckBox(1300, 4, 1, 1);
  ShowAndPaint();
  // The tick is drawn in window text inside the box; the unchecked box has none.
  const auto dark = [&](int row) {
    int n = 0;
    for (const plat::Point& p : Ink(g, 3, row, plat::kColourFace))
      n += CellAreaPixel(g, p.x, p.y) == plat::kColourText;
    return n;
  };
  EXPECT_GT(dark(0), dark(1) + 10);
  // The selected look turns the button face into the highlight.
  plat::Surface pic(4, 1, plat::kColourFace), result, scratch;
  pic.Set(1, 0, plat::kColourText);
  MakeHighlightBitmap(pic, result, scratch);
  EXPECT_EQ(result.Get(0, 0), plat::kColourSelection);
  EXPECT_EQ(result.Get(1, 0), plat::kColourText);
}

TEST_F(GridWindowTest, TextCellsTakeTheGridFieldsOwnColours) {
  struct Case {
    int dialog, field;
    plat::Pixel text, background;
  };
  const Case cases[] = {
      {961, 1700, plat::Rgb(255, 0, 0), plat::Rgb(0, 0, 255)},
      {954, 1300, plat::kColourText, plat::kColourWindow},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.dialog);
    WDialogLoad(c.dialog);
    GridRecord& g = Grid(c.field);
    WGridPutCellDouble(c.field, 5, 2, 8.25);
    ShowAndPaint();
    const int x = GridColumnLine(g, 4) + 2;
    EXPECT_EQ(CellAreaPixel(g, x, (g.rowHeight - 1) + 2), c.background);
    const std::vector<plat::Point> ink = Ink(g, 4, 1, c.background);
    ASSERT_FALSE(ink.empty());
    int text = 0;
    for (const plat::Point& p : ink) text += CellAreaPixel(g, p.x, p.y) == c.text;
    EXPECT_EQ(text, static_cast<int>(ink.size()));
    WDialogHide();
  }
}

TEST_F(GridWindowTest, RepaintsWaitWhileSuspended) {
  WDialogLoad(954);
  GridRecord& g = Grid(1300);
  ShowAndPaint();
  GridSuspendRepaint();
  WGridPutCellDouble(1300, 5, 1, 3.0);
  EXPECT_FALSE(plat::GetUpdateRect(g.cellArea).Empty());
  GridResumeRepaint(1300);
  EXPECT_TRUE(plat::GetUpdateRect(g.cellArea).Empty());
  EXPECT_EQ(RepaintCellsAtOnce(), 1);
}

}  // namespace
}  // namespace tk::testing
