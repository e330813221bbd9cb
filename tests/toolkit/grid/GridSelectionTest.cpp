// The selected block and the clipboard: choosing blocks with the mouse,
// headers, labels and keys, the selection, paste and clear events, the
// clipboard text of a block, pasting with the conversions per column type,
// clearing, locked cells and read-only grids, and option lists.
#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "platform/controls/Controls.h"
#include "platform/system/Clipboard.h"
#include "platform/window/VirtualKeys.h"
#include "tests/toolkit/grid/GridTestSupport.h"
#include "toolkit/core/Events.h"
#include "toolkit/core/WindowUnits.h"
#include "toolkit/grid/GridValues_p.h"

namespace tk::testing {
namespace {

/// 966: a grid with selection and paste events, column headers and row
/// labels over template 967: an integer, two reals "(f11.1)", a check box,
/// an option menu, a five-character text and a real ranged 0 to 2.
constexpr std::string_view kSelectionDialogs = R"(dialog 966 popup
  caption "Block"
  rect 0 0 400 220
  style WS_CAPTION | WS_SYSMENU | DS_MODALFRAME
  control JQXGRID 1107 5 5 380 150 "" WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | 0x0660
  control EDIT 1108 5 160 60 12 "" WS_VISIBLE | WS_TABSTOP | WS_BORDER
  extras
[Grids] 
 1107     7   12   967 
   20 
  end
end
dialog 967 popup
  rect 0 0 350 40
  control INTEGEREDIT 3401 0 0 40 12 "Count" WS_VISIBLE | WS_BORDER
  control REALEDIT 3402 40 0 50 12 "Easting" ES_RIGHT | WS_VISIBLE | WS_BORDER
  control REALEDIT 3403 90 0 50 12 "Northing" ES_RIGHT | WS_VISIBLE | WS_BORDER
  control BUTTON 3404 140 0 30 12 "On" BS_AUTOCHECKBOX | WS_VISIBLE
  control COMBOBOX 3405 170 0 60 60 "Kind" CBS_DROPDOWNLIST | WS_VISIBLE
  control EDIT 3406 230 0 40 12 "Name" WS_VISIBLE | WS_BORDER
  control REALEDIT 3407 270 0 40 12 "Gain" WS_VISIBLE | WS_BORDER
  extras
[Formats] 
 3402 (f11.1) 
 3403 (f11.1) 
[Lengths] 
 3406 5 
[Menus] 
 3405 3 1 
Geophone 
Hydrophone 
Accelerometer 
[Ranges] 
 3407 0 2 
  end
end
)";

enum Col { kCount = 0, kEasting, kNorthing, kOn, kKind, kName, kGain };

class GridSelectionTest : public GridTest {
 protected:
  void SetUp() override {
    GridTest::SetUp();
    res::ResourceSet set;
    res::ResourceError error;
    ASSERT_TRUE(res::ParseResourceText("selection-dialogs", kSelectionDialogs, set, error))
        << error.Text();
    for (const res::DialogTemplate& t : set.dialogs) AddDialogTemplate(t);
    WEventTypeSwitch(kEventFieldChanged, 1);
    plat::ClipboardEmpty();
  }

  GridRecord& Open(int dialog = 966, int field = 1107) { return GridTest::Open(dialog, field); }
  /// The events the queued input leads to, in order.
  std::vector<EventRecord> Events() {
    std::vector<EventRecord> out;
    int type = 0;
    EventRecord r;
    for (int i = 0; i < 50; ++i) {
      WEventPeek(type, r);
      if (type == kEventFieldChanged) out.push_back(r);
      if (type == kEventNone && harness.PendingInput() == 0) break;
    }
    return out;
  }
  /// The centre of cell (COLUMN, ROW) in cell-area pixels.
  static plat::Point CellPoint(const GridRecord& g, int column, int row) {
    return {GridColumnLine(g, column) + 5, (row - g.topRow) * (g.rowHeight - 1) + g.rowHeight / 2};
  }
  static std::optional<std::string> Clip() { return plat::ClipboardText(); }
  static std::string CellText(int column, int row) {
    std::string t(20, ' ');
    WGridGetCellString(1107, column + 1, row + 1, t);
    return t.substr(0, t.find_last_not_of(' ') + 1);
  }
  static std::int32_t Check(int row) {
    std::int32_t v = -1;
    WGridGetCellCheckBox(1107, kOn + 1, row + 1, v);
    return v;
  }
  static std::int32_t Option(int row) {
    std::int32_t v = -1;
    WGridGetCellMenu(1107, kKind + 1, row + 1, v);
    return v;
  }
  static std::uint8_t Flags(GridRecord& g, int column, int row) {
    return g.columns[static_cast<std::size_t>(column)].cellFlags[static_cast<std::size_t>(row)];
  }
  void Press(int vk, bool shift = false, bool ctrl = false) {
    harness.Modifiers(shift, ctrl).Key(vk).Modifiers(false, false);
    harness.DispatchPending();
  }
  /// Ctrl+LETTER; DISPATCH false leaves it queued for Events().
  void Ctrl(char letter, bool dispatch = true) {
    harness.Modifiers(false, true)
        .Key(letter, static_cast<std::uint32_t>(letter - 'A' + 1))
        .Modifiers(false, false);
    if (dispatch) harness.DispatchPending();
  }
};

TEST_F(GridSelectionTest, CopiedBlocksAreTabsBetweenCellsAndCrLfBetweenRows) {
  GridRecord& g = Open();
  WGridPutCellReal(1107, kEasting + 1, 1, 100.0f);
  WGridPutCellReal(1107, kNorthing + 1, 1, 200.0f);
  WGridPutCellReal(1107, kEasting + 1, 2, 300.0f);
  WGridPutCellReal(1107, kNorthing + 1, 2, 400.0f);
  GridSetSelection(g, 0, 1, kEasting, kNorthing);
  EXPECT_EQ(GridSelectionText(g), "100.0\t200.0\r\n300.0\t400.0");
  // An empty number cell is an empty field; check boxes and options read
  // as their texts.
  WGridPutCellCheckBox(1107, kOn + 1, 2, 1);
  WGridPutCellOption(1107, kKind + 1, 1, 2);
  GridSetSelection(g, 0, 2, kNorthing, kKind);
  EXPECT_EQ(GridSelectionText(g), "200.0\tNo\tHydrophone\r\n400.0\tYes\t\r\n\tNo\t");
  // Ctrl+C in the editor puts the block on the clipboard; the block stays.
  GridSetSelection(g, 0, 1, kEasting, kNorthing);
  Ctrl('C');
  EXPECT_EQ(Clip(), std::optional<std::string>("100.0\t200.0\r\n300.0\t400.0"));
  EXPECT_EQ(g.selFirstRow, 0);
  // The current cell is read from its editor.
  GridSetCurrentCell(g, kEasting, 0, true, false);
  harness.DispatchPending();
  plat::SetWindowText(g.editor, "7");
  GridSetSelection(g, 0, 0, kEasting, kEasting);
  EXPECT_EQ(GridSelectionText(g), "7");
}

TEST_F(GridSelectionTest, ASingleValueGoesThroughTheEditorsTextSelection) {
  GridRecord& g = Open();
  GridSetCurrentCell(g, kName, 0, true, false);
  harness.DispatchPending();
  harness.Type("abc");
  harness.DispatchPending();
  plat::EditSetSel(g.editor, 1, 3);
  Ctrl('C');
  EXPECT_EQ(Clip(), std::optional<std::string>("bc"));
  Ctrl('X');
  EXPECT_EQ(plat::GetWindowText(g.editor), "a");
  // A single value is pasted at the caret, within the column's length.
  plat::ClipboardSetText("wxyz1234");
  Ctrl('V');
  EXPECT_EQ(plat::GetWindowText(g.editor), "awxyz");
  Press(plat::kVkDown);
  EXPECT_EQ(CellText(kName, 0), "awxyz");
}

TEST_F(GridSelectionTest, ClipboardKindAndBlockSize) {
  struct Case {
    std::optional<std::string> text;
    int kind, rows, columns;
  };
  const Case cases[] = {
      {std::nullopt, 0, 1, 1},
      {"1\t2\r\n3\t4\r\n", 2, 2, 2},
      {"abc", 1, 1, 1},
      {"", 1, 1, 1},
      {"a\tb\tc\r\nd", 2, 2, 3},
      {"a\nb\nc", 2, 3, 1},  // lines of other programs end in a bare LF
      {"x\r\n\r\ny", 2, 3, 1},
      {std::string("a\0\tb", 4), 1, 1, 1},  // the text ends at a NUL
  };
  for (const Case& c : cases) {
    const std::string shown = c.text ? *c.text : "(none)";
    EXPECT_EQ(ClipboardTextKind(c.text), c.kind) << shown;
    int rows = 0, columns = 0;
    ClipboardTextBlockSize(c.text ? std::string_view(*c.text) : std::string_view(), rows, columns);
    EXPECT_EQ(rows, c.rows) << shown;
    EXPECT_EQ(columns, c.columns) << shown;
  }
  // Read from the clipboard: no text is kind 0, an empty text kind 1.
  plat::ClipboardEmpty();
  EXPECT_EQ(GridClipboardKind(), 0);
  plat::ClipboardSetText("");
  EXPECT_EQ(GridClipboardKind(), 1);
  plat::ClipboardSetText("1\t2\r\n3\t4\r\n");
  EXPECT_EQ(GridClipboardKind(), 2);
  int rows = 0, columns = 0;
  ClipboardBlockSize(rows, columns);
  EXPECT_EQ(rows, 2);
  EXPECT_EQ(columns, 2);
}

TEST_F(GridSelectionTest, APasteStopsAtTheGridsEdgesAndReportsWhatItReached) {
  GridRecord& g = Open();
  plat::ClipboardSetText("1\t2\r\n3\t4\r\n");
  // From the last row: the first line only.
  GridSetCurrentCell(g, kCount, 11, true, false);
  harness.DispatchPending();
  Drain();
  Ctrl('V', false);
  const std::vector<EventRecord> events = Events();
  EXPECT_EQ(CellText(kCount, 11), "1");
  EXPECT_EQ(CellText(kEasting, 11), "2.0");
  ASSERT_FALSE(events.empty());
  EXPECT_EQ(events.back().value3, 1);
  EXPECT_EQ(events.back().value1, 1107);
  EXPECT_EQ(events.back().window, 966);
  EXPECT_EQ(events.back().x, 1 * 262144 + 12);
  EXPECT_EQ(events.back().y, 2 * 262144 + 12);
  EXPECT_EQ(g.modified, 1);
  // From the last column: the first cell of both lines.
  GridSetCurrentCell(g, kGain, 3, true, false);
  harness.DispatchPending();
  Drain();
  Ctrl('V', false);
  const std::vector<EventRecord> last = Events();
  EXPECT_EQ(CellText(kGain, 3), "1.0000");
  EXPECT_EQ(CellText(kGain, 4), "");  // 3 lies outside 0 to 2
  ASSERT_FALSE(last.empty());
  EXPECT_EQ(last.back().x, 7 * 262144 + 4);
  EXPECT_EQ(last.back().y, 7 * 262144 + 5);
  // Pasted into the current cell, the editor shows it in the column's style.
  plat::ClipboardSetText("1.26\t\r\n");
  GridSetCurrentCell(g, kEasting, 0, true, false);
  harness.DispatchPending();
  Press(plat::kVkInsert, true);
  EXPECT_EQ(plat::GetWindowText(g.editor), "1.3");
  EXPECT_FALSE(plat::EditGetModify(g.editor));
}

TEST_F(GridSelectionTest, PastedFieldsAreConvertedByColumnType) {
  GridRecord& g = Open();
  WGridPutCellInteger(1107, kCount + 1, 1, 5);
  WGridPutCellOption(1107, kKind + 1, 1, 3);
  struct Case {
    int column;
    std::string field;
    std::string expected;  // the cell's text afterwards ("" for check and option columns)
    std::int32_t state;    // check state or option afterwards
  };
  const Case cases[] = {
      {kCount, "12.7", "12", 0},
      {kCount, "1E3", "12", 0},          // no exponent in an integer column
      {kCount, "1D3", "12", 0},
      {kCount, "x", "12", 0},
      {kCount, "99999999999", "12", 0},  // beyond 32 bits: skipped like an out-of-range field
      {kCount, "-7   ", "-7", 0},
      {kEasting, "1D3", "1000.0", 0},
      {kEasting, "2.5e1", "25.0", 0},
      {kGain, "5", "", 0},  // outside the column's range 0 to 2
      {kGain, "1.5", "1.5000", 0},
      {kName, "abcdefgh", "abcde", 0},  // cut to the column's length
      {kOn, "yes", "", 1},
      {kOn, "no", "", 0},
      {kOn, "YES", "", 1},
      {kOn, "1", "", 0},
      {kKind, "hyd", "", 2},  // the first option beginning with the field
      {kKind, "zzz", "", 2},  // no option begins so: the cell keeps its option
      {kKind, "ACC", "", 3},
  };
  GridSetCurrentCell(g, kCount, 5, false, false);  // away from the row pasted into
  for (const Case& c : cases) {
    g.currentColumn = c.column;
    g.currentRow = 0;
    GridPasteText(g, c.field);
    g.currentColumn = kCount;
    g.currentRow = 5;
    if (c.column == kOn)
      EXPECT_EQ(Check(0), c.state) << c.field;
    else if (c.column == kKind)
      EXPECT_EQ(Option(0), c.state) << c.field;
    else
      EXPECT_EQ(CellText(c.column, 0), c.expected) << c.column << " " << c.field;
  }
  // A blank field empties a number cell but keeps it entered.
  g.currentColumn = kEasting;
  g.currentRow = 0;
  GridPasteText(g, "  ");
  g.currentColumn = kCount;
  g.currentRow = 5;
  EXPECT_EQ(CellText(kEasting, 0), "");
  EXPECT_EQ(Flags(g, kEasting, 0) & (kCellPresent | kCellEntered), kCellEntered);
}

TEST_F(GridSelectionTest, ClearingEmptiesTheBlockAndTheEditorButKeepsCellsEntered) {
  GridRecord& g = Open();
  for (int r = 1; r <= 3; ++r) {
    WGridPutCellReal(1107, kEasting + 1, r, 1.0f * r);
    WGridPutCellCheckBox(1107, kOn + 1, r, 1);
  }
  GridSetCurrentCell(g, kEasting, 1, true, false);
  harness.DispatchPending();
  EXPECT_EQ(plat::GetWindowText(g.editor), "2.0");
  GridSetSelection(g, 0, 2, kEasting, kOn);
  Drain();
  harness.Key(plat::kVkDelete);
  const std::vector<EventRecord> events = Events();
  EXPECT_EQ(g.selFirstRow, -1);
  EXPECT_EQ(plat::GetWindowText(g.editor), "");
  EXPECT_EQ(CellText(kEasting, 0), "");
  EXPECT_EQ(Check(2), 0);
  EXPECT_EQ(Flags(g, kEasting, 0) & (kCellPresent | kCellEntered), kCellEntered);
  ASSERT_FALSE(events.empty());
  EXPECT_EQ(events.back().value3, 1);
  EXPECT_EQ(events.back().x, 2 * 262144 + 1);
  EXPECT_EQ(events.back().y, 4 * 262144 + 3);
  // Leaving the cleared current cell stores it empty.
  Press(plat::kVkDown);
  float v = 0.0f;
  WGridGetCellReal(1107, kEasting + 1, 2, v);
  EXPECT_EQ(LastError(), 1010);
  // Shift+Delete cuts: the block goes to the clipboard, then is cleared.
  WGridPutCellInteger(1107, kCount + 1, 5, 42);
  GridSetSelection(g, 4, 4, kCount, kCount);
  Press(plat::kVkDelete, true);
  EXPECT_EQ(Clip(), std::optional<std::string>("42"));
  EXPECT_EQ(CellText(kCount, 4), "");
}

TEST_F(GridSelectionTest, LockedCellsAndReadOnlyGridsRefusePasteAndClearWhole) {
  GridRecord& g = Open();
  for (int r = 1; r <= 3; ++r) WGridPutCellInteger(1107, kCount + 1, r, r);
  g.columns[kCount].cellFlags[1] |= kCellLocked;
  GridSetCurrentCell(g, kEasting, 5, true, false);
  harness.DispatchPending();
  // Clear and cut of a block holding a locked cell change nothing.
  GridSetSelection(g, 0, 2, kCount, kCount);
  Press(plat::kVkDelete);
  Ctrl('X');
  EXPECT_EQ(CellText(kCount, 0), "1");
  EXPECT_EQ(CellText(kCount, 2), "3");
  // A paste whose block would reach the locked cell is refused whole.
  plat::ClipboardSetText("7\r\n8\r\n9");
  GridSetCurrentCell(g, kCount, 0, true, false);
  harness.DispatchPending();
  EXPECT_FALSE(GridPasteTargetWritable(g));
  Ctrl('V');
  EXPECT_EQ(CellText(kCount, 0), "1");
  // Below the locked cell it goes in.
  GridSetCurrentCell(g, kCount, 2, true, false);
  harness.DispatchPending();
  EXPECT_TRUE(GridPasteTargetWritable(g));
  Ctrl('V');
  EXPECT_EQ(CellText(kCount, 2), "7");
  EXPECT_EQ(CellText(kCount, 4), "9");
  // A read-only grid takes neither.
  plat::SetStyle(g.window, plat::GetStyle(g.window) | kGridReadOnly);
  GridSetCurrentCell(g, kEasting, 0, true, false);
  harness.DispatchPending();
  GridSetSelection(g, 3, 4, kCount, kCount);
  EXPECT_FALSE(GridSelectionWritable(g));
  EXPECT_FALSE(GridPasteTargetWritable(g));
  Press(plat::kVkDelete);
  EXPECT_EQ(CellText(kCount, 3), "8");
}

TEST_F(GridSelectionTest, ShiftClicksSelectWithoutMovingAndTellTheCorners) {
  GridRecord& g = Open();
  GridSetCurrentCell(g, 1, 4, true, false);
  harness.DispatchPending();
  Drain();
  harness.Modifiers(true, false).Click(g.cellArea, CellPoint(g, 2, 8)).Modifiers(false, false);
  std::vector<EventRecord> events = Events();
  EXPECT_EQ(g.currentColumn, 1);
  EXPECT_EQ(g.currentRow, 4);
  EXPECT_EQ(g.selFirstColumn, 1);
  EXPECT_EQ(g.selLastColumn, 2);
  EXPECT_EQ(g.selFirstRow, 4);
  EXPECT_EQ(g.selLastRow, 8);
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].value3, 2);
  EXPECT_EQ(events[0].value1, 1107);
  EXPECT_EQ(events[0].value2, 1107);
  EXPECT_EQ(events[0].value4, -1);
  EXPECT_EQ(events[0].x, 2 * 262144 + 5);
  EXPECT_EQ(events[0].y, 3 * 262144 + 9);
  // Shift+click on the current cell removes the selection: x and y 0.
  harness.Modifiers(true, false).Click(g.cellArea, CellPoint(g, 1, 4)).Modifiers(false, false);
  events = Events();
  EXPECT_EQ(g.selFirstRow, -1);
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].value3, 2);
  EXPECT_EQ(events[0].x, 0);
  EXPECT_EQ(events[0].y, 0);
  // A keyboard extension moves the cell: the cell change is told, and the
  // selection event gives way to it.
  harness.Modifiers(true, false).Key(plat::kVkDown).Modifiers(false, false);
  events = Events();
  EXPECT_EQ(g.selLastRow, 5);
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].value3, 0);
}

TEST_F(GridSelectionTest, DraggingSelectsFromThePressedCell) {
  GridRecord& g = Open();
  harness.Drag(g.cellArea, CellPoint(g, 1, 1), CellPoint(g, 3, 3));
  harness.DispatchPending();
  EXPECT_EQ(g.currentColumn, 1);
  EXPECT_EQ(g.currentRow, 1);
  EXPECT_EQ(g.selFirstColumn, 1);
  EXPECT_EQ(g.selLastColumn, 3);
  EXPECT_EQ(g.selFirstRow, 1);
  EXPECT_EQ(g.selLastRow, 3);
  // Back onto the pressed cell removes the selection.
  harness.Drag(g.cellArea, CellPoint(g, 0, 2), CellPoint(g, 1, 3), plat::MouseButton::Left, 2);
  harness.DispatchPending();
  EXPECT_EQ(g.selLastColumn, 1);
  harness.Press(g.cellArea, CellPoint(g, 2, 2))
      .MouseMove(g.cellArea, CellPoint(g, 3, 2))
      .MouseMove(g.cellArea, CellPoint(g, 2, 2))
      .Release(g.cellArea, CellPoint(g, 2, 2));
  harness.DispatchPending();
  EXPECT_EQ(g.selFirstRow, -1);
}

TEST_F(GridSelectionTest, HeadersLabelsAndTheCornerSelectWholeColumnsAndRows) {
  GridRecord& g = Open();
  ASSERT_NE(g.columnHeader, plat::kNoWindow);
  const auto headerItem = [&](int item) {
    plat::HeaderNotify n;
    n.hdr = {g.columnHeader, 0, plat::kHdnItemClick};
    n.item = item;
    plat::SendMessage(g.window, plat::Msg::Notify, 0, reinterpret_cast<plat::LParam>(&n));
  };
  headerItem(3);  // column 2 (from 0)
  EXPECT_EQ(g.currentColumn, 2);
  EXPECT_EQ(g.currentRow, g.topRow);
  EXPECT_EQ(g.selFirstColumn, 2);
  EXPECT_EQ(g.selLastColumn, 2);
  EXPECT_EQ(g.selFirstRow, 0);
  EXPECT_EQ(g.selLastRow, 11);
  harness.Modifiers(true, false);
  harness.DispatchPending();
  headerItem(6);  // with Shift: columns 2 to 5, the current cell stays
  EXPECT_EQ(g.currentColumn, 2);
  EXPECT_EQ(g.selFirstColumn, 2);
  EXPECT_EQ(g.selLastColumn, 5);
  harness.Modifiers(false, false);
  harness.DispatchPending();
  headerItem(0);  // the corner: everything
  EXPECT_EQ(g.selFirstColumn, 0);
  EXPECT_EQ(g.selLastColumn, 6);
  EXPECT_EQ(g.selLastRow, 11);
  // A row label: the whole row, the current cell in the left column.
  ASSERT_GE(g.labelWindows.size(), 4u);
  plat::HeaderNotify n;
  n.hdr = {g.labelWindows[3], 3, plat::kHdnItemClick};
  n.item = 0;
  plat::SendMessage(g.window, plat::Msg::Notify, 0, reinterpret_cast<plat::LParam>(&n));
  EXPECT_EQ(g.currentRow, 3);
  EXPECT_EQ(g.currentColumn, g.leftColumn);
  EXPECT_EQ(g.selFirstRow, 3);
  EXPECT_EQ(g.selLastRow, 3);
  EXPECT_EQ(g.selFirstColumn, 0);
  EXPECT_EQ(g.selLastColumn, 6);
  EXPECT_EQ(plat::GetFocus(), g.editor);
  // A real click on a column header item goes the same way.
  GridDeselect(g);
  const plat::Rect hr = plat::GetClientRect(g.columnHeader);
  harness.Click(g.columnHeader, {g.labelWidth + 1 + g.columns[0].width / 2, hr.Height() / 2});
  harness.DispatchPending();
  EXPECT_EQ(g.selFirstColumn, 0);
  EXPECT_EQ(g.selLastColumn, 0);
}

TEST_F(GridSelectionTest, ASelectedCurrentCellShowsTheSelectedLook) {
  const auto pixel = [](plat::Hwnd h, int x, int y) {
    const plat::PaintContext ctx = plat::GetDrawContext(h);
    return ctx.surface->Get(ctx.origin.x + x, ctx.origin.y + y);
  };
  const auto count = [&](plat::Hwnd h, plat::Pixel colour) {
    const plat::Rect r = plat::GetClientRect(h);
    int n = 0;
    for (int y = 0; y < r.Height(); ++y)
      for (int x = 0; x < r.Width(); ++x) n += pixel(h, x, y) == colour;
    return n;
  };
  // A check box: its button-face pixels become the highlight.
  GridRecord& g = Open();
  GridSetCurrentCell(g, kOn, 0, true, false);
  harness.DispatchPending();
  ASSERT_GT(count(g.editor, plat::kColourFace), 0);
  GridSetSelection(g, 0, 1, kOn, kOn);
  harness.DispatchPending();
  EXPECT_EQ(count(g.editor, plat::kColourFace), 0);
  EXPECT_GT(count(g.editor, plat::kColourSelection), 0);
  // With the focus outside the grid it looks as before.
  plat::SetFocus(Field(1108));
  harness.DispatchPending();
  plat::InvalidateRect(g.editor, std::nullopt, true);
  harness.DispatchPending();
  EXPECT_GT(count(g.editor, plat::kColourFace), 0);
  // A read-only edit (the locked "Number" column): highlight inside a frame.
  WDialogUnload();
  GridRecord& s = GridTest::Open(950, 1107);
  WGridPutCellInteger(1107, 1, 1, 17);
  GridSetSelection(s, 0, 1, 0, 0);
  harness.DispatchPending();
  const plat::Rect r = plat::GetClientRect(s.editor);
  EXPECT_EQ(pixel(s.editor, 0, 0), plat::kColourText);
  EXPECT_EQ(pixel(s.editor, r.Width() - 1, r.Height() - 1), plat::kColourText);
  EXPECT_EQ(pixel(s.editor, 2, r.Height() / 2), plat::kColourSelection);
  EXPECT_GT(count(s.editor, plat::kColourSelectionText), 0);
}

TEST_F(GridSelectionTest, AFramePressAroundTheGridIsForgottenByTheEditor) {
  GridRecord& g = Open();
  GridSetSelection(g, 0, 1, 0, 1);
  // A press on the frame of a window holding the grid: the focus leaving
  // and coming back repaints nothing and forgets the press.
  FramePressWindow() = DialogWindow();
  harness.DispatchPending();
  plat::SetFocus(Field(1108));
  plat::SetFocus(g.window);
  EXPECT_EQ(plat::GetFocus(), g.editor);
  EXPECT_EQ(FramePressWindow(), plat::kNoWindow);
  // A press on some other frame is not the grid's business.
  FramePressWindow() = Frame(0);
  plat::SetFocus(Field(1108));
  plat::SetFocus(g.window);
  EXPECT_EQ(FramePressWindow(), Frame(0));
  FramePressWindow() = plat::kNoWindow;
}

TEST_F(GridSelectionTest, ContextMenuBlockCommands) {
  GridRecord& g = Open();
  WGridPutCellInteger(1107, 1, 1, 3);
  WGridPutCellInteger(1107, 1, 2, 4);
  GridSetSelection(g, 0, 1, 0, 0);
  const auto command = [&](int id) {
    plat::SendMessage(g.window, plat::Msg::Command, plat::MakeWParam(id, 0), 0);
  };
  command(32123);  // copy
  EXPECT_EQ(Clip(), std::optional<std::string>("3\r\n4"));
  GridSetCurrentCell(g, 0, 5, true, false);
  harness.DispatchPending();
  command(32124);  // paste
  EXPECT_EQ(CellText(0, 5), "3");
  EXPECT_EQ(CellText(0, 6), "4");
  GridSetSelection(g, 5, 6, 0, 0);
  command(32122);  // cut
  EXPECT_EQ(CellText(0, 6), "");
  GridSetSelection(g, 0, 0, 0, 0);
  command(32125);  // clear
  EXPECT_EQ(CellText(0, 0), "");
  EXPECT_EQ(CellText(0, 1), "4");
}

TEST_F(GridSelectionTest, ProgramSelectionsAreChecked) {
  GridRecord& g = Open();
  int f = 1107;
  GridSelectBlock(f, 0, 0, 7, 2);
  EXPECT_EQ(f, -2);
  EXPECT_EQ(g.selFirstRow, -1);
  f = 1107;
  GridSelectBlock(f, 2, 3, 1, 1);
  EXPECT_EQ(f, 1107);
  EXPECT_EQ(g.selFirstColumn, 1);
  EXPECT_EQ(g.selLastColumn, 2);
  EXPECT_EQ(g.selFirstRow, 1);
  EXPECT_EQ(g.selLastRow, 3);
  std::int32_t item = 0;
  GridQuery(f, 13, item);
  EXPECT_EQ(item, 4);
  EXPECT_EQ(GridDeselectField(1107), 0);
  EXPECT_EQ(g.selFirstRow, -1);
  EXPECT_EQ(GridDeselectField(1108), -1);
}

TEST_F(GridSelectionTest, PutMenuReplacesAColumnsOptionList) {
  GridRecord& g = Open();
  GridSetCurrentCell(g, kKind, 8, true, false);  // the editor serves a row below the others
  harness.DispatchPending();
  const std::vector<std::string> options = {"Near   ", "Far", "Unused"};
  const std::vector<std::int32_t> numbers = {2, 1, 0, 0, 0, 0, 0, 0, 2};
  WGridPutMenu(1107, kKind + 1, options, 2, numbers, 9);
  EXPECT_EQ(LastError(), 0);
  EXPECT_EQ(Option(0), 2);
  EXPECT_EQ(Option(1), 1);
  EXPECT_EQ(Option(2), 0);
  EXPECT_EQ(Option(10), 0);
  int f = 1107;
  std::string text;
  GridOptionText(f, kKind, 1, text);
  EXPECT_EQ(text, "Near");
  ASSERT_NE(g.editor, plat::kNoWindow);
  EXPECT_EQ(plat::ComboBoxGetCount(g.editor), 2);
  EXPECT_EQ(plat::ComboBoxGetCurSel(g.editor), 1);
  // Not an option-menu column: 1006, nothing changes.
  WGridPutMenu(1107, kName + 1, options, 2, numbers, 9);
  EXPECT_EQ(LastError(), 1006);
  WGridPutMenu(1199, kKind + 1, options, 2, numbers, 9);
  EXPECT_EQ(LastError(), 1006);
}

TEST_F(GridSelectionTest, ShiftPressOnSpinArrowsGoesToTheirEdit) {
  const std::string_view spinDialogs = R"(dialog 968 popup
  rect 0 0 200 150
  control JQXGRID 1107 5 5 150 100 "" WS_VISIBLE | WS_VSCROLL | 0x0200
  extras
[Grids] 
 1107     1    5   969 
  end
end
dialog 969 popup
  rect 0 0 100 40
  control INTEGERSPIN 3501 0 0 60 12 "Count" WS_VISIBLE | WS_BORDER
end
)";
  res::ResourceSet set;
  res::ResourceError error;
  ASSERT_TRUE(res::ParseResourceText("spin", spinDialogs, set, error)) << error.Text();
  for (const res::DialogTemplate& t : set.dialogs) AddDialogTemplate(t);
  GridRecord& g = Open(968, 1107);
  const plat::Hwnd arrows = g.editorField.rec.buddy;
  ASSERT_NE(arrows, plat::kNoWindow);
  InstallSpinShiftClick(arrows);
  const plat::Rect r = plat::GetClientRect(arrows);
  harness.Modifiers(true, false).Click(arrows, {r.Width() / 2, 2}).Modifiers(false, false);
  harness.DispatchPending();
  EXPECT_EQ(plat::GetWindowText(g.editor), "");  // no step
  harness.Click(arrows, {r.Width() / 2, 2});
  harness.DispatchPending();
  EXPECT_EQ(plat::GetWindowText(g.editor), "1");
}

}  // namespace
}  // namespace tk::testing

