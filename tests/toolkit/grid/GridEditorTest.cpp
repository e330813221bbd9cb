// The current cell and its in-place editor, driven through the keyboard and
// the mouse on the headless backend: moves, edges, wrapping, locked cells,
// numeric validation, stored values, the dialog's own keys and the
// field-changed events of a moved current cell.
#include <gtest/gtest.h>

#include "platform/controls/Controls.h"
#include "platform/dialog/Dialog.h"
#include "platform/window/VirtualKeys.h"
#include "tests/toolkit/grid/GridTestSupport.h"
#include "toolkit/core/Events.h"

namespace tk::testing {
namespace {

/// 962 shaped like a dialog whose grid has neither the Enter nor the Tab
/// style: a real, a check-box and an integer spin column, a field after the
/// grid and a default OK button.
constexpr std::string_view kEditorDialogs = R"(dialog 962 popup
  caption "Picks"
  rect 0 0 300 220
  style WS_CAPTION | WS_SYSMENU | DS_MODALFRAME
  control JQXGRID 1107 5 5 260 150 "" WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | 0x0200
  control EDIT 1108 5 160 60 12 "" WS_VISIBLE | WS_TABSTOP | WS_BORDER
  control BUTTON 1 10 190 50 14 "OK" BS_DEFPUSHBUTTON | WS_VISIBLE | WS_TABSTOP
  extras
[Grids] 
 1107     3   20   963 
  end
end
dialog 963 popup
  rect 0 0 250 40
  control REALEDIT 3301 0 0 60 12 "Time" WS_VISIBLE | WS_BORDER
  control BUTTON 3302 60 0 30 12 "On" BS_AUTOCHECKBOX | WS_VISIBLE
  control INTEGERSPIN 3303 90 0 60 12 "Count" WS_VISIBLE | WS_BORDER
end
)";

class GridEditorTest : public GridTest {
 protected:
  void SetUp() override {
    GridTest::SetUp();
    res::ResourceSet set;
    res::ResourceError error;
    ASSERT_TRUE(res::ParseResourceText("editor-dialogs", kEditorDialogs, set, error)) << error.Text();
    for (const res::DialogTemplate& t : set.dialogs) AddDialogTemplate(t);
    WEventTypeSwitch(kEventFieldChanged, 1);
    WEventTypeSwitch(kEventPushButton, 1);
  }

  /// The next stored event (type kEventNone when none).
  std::pair<int, EventRecord> Next() {
    int type = 0;
    EventRecord r;
    WEventPeek(type, r);
    return {type, r};
  }
  /// The event the queued input leads to (type kEventNone when none).
  std::pair<int, EventRecord> Event() {
    std::pair<int, EventRecord> e = Next();
    for (int i = 0; i < 20 && e.first == kEventNone && harness.PendingInput() > 0; ++i) e = Next();
    return e;
  }
  int Beeps() { return harness.Backend().Beeps(); }
  void Press(int vk, bool shift = false, bool ctrl = false) {
    harness.Modifiers(shift, ctrl).Key(vk).Modifiers(false, false);
    harness.DispatchPending();
  }
  static std::pair<int, int> Cell(const GridRecord& g) { return {g.currentColumn, g.currentRow}; }
};

TEST_F(GridEditorTest, KeysMoveTheCurrentCellInAGridWithEnterAndTabStyles) {
  GridRecord& g = Open(950, 1107);
  ASSERT_NE(g.editor, plat::kNoWindow);
  EXPECT_EQ(plat::GetFocus(), g.editor);
  // Enter moves down.
  Press(plat::kVkReturn);
  EXPECT_EQ(Cell(g), std::make_pair(0, 1));
  // Tab in the last column of row 5 goes to "Number" of row 6.
  GridSetCurrentCell(g, 3, 4, true, false);
  harness.DispatchPending();
  Press(plat::kVkTab);
  EXPECT_EQ(Cell(g), std::make_pair(0, 5));
  EXPECT_EQ(plat::GetFocus(), g.editor);
  // Shift+Tab in "Number" of row 1 beeps and stays.
  GridSetCurrentCell(g, 0, 0, true, false);
  harness.DispatchPending();
  const int beeps = Beeps();
  Press(plat::kVkTab, true);
  EXPECT_EQ(Cell(g), std::make_pair(0, 0));
  EXPECT_EQ(Beeps(), beeps + 1);
  // Right at the end of the text in the last column wraps to the next row.
  WGridPutCellReal(1107, 4, 3, 12.5f);
  GridSetCurrentCell(g, 3, 2, true, false);
  harness.DispatchPending();
  EXPECT_EQ(plat::GetWindowText(g.editor), "12.5");
  plat::EditSetSel(g.editor, 4, 4);
  Press(plat::kVkRight);
  EXPECT_EQ(Cell(g), std::make_pair(0, 3));
  // Right inside the text moves the caret only.
  GridSetCurrentCell(g, 3, 2, true, false);
  harness.DispatchPending();
  plat::EditSetSel(g.editor, 1, 1);
  Press(plat::kVkRight);
  EXPECT_EQ(Cell(g), std::make_pair(3, 2));
  // Ctrl+End goes to the last column of the row, Ctrl+Home to the first.
  GridSetCurrentCell(g, 1, 6, true, false);
  harness.DispatchPending();
  Press(plat::kVkEnd, false, true);
  EXPECT_EQ(Cell(g), std::make_pair(3, 6));
  Press(plat::kVkHome, false, true);
  EXPECT_EQ(Cell(g), std::make_pair(0, 6));
  // Up on the first row beeps.
  GridSetCurrentCell(g, 1, 0, true, false);
  harness.DispatchPending();
  const int before = Beeps();
  Press(plat::kVkUp);
  EXPECT_EQ(Cell(g), std::make_pair(1, 0));
  EXPECT_EQ(Beeps(), before + 1);
}

TEST_F(GridEditorTest, TheLockedNumberColumnRefusesTyping) {
  GridRecord& g = Open(950, 1107);
  WGridPutCellInteger(1107, 1, 1, 17);
  GridSetCurrentCell(g, 0, 1, true, false);
  GridSetCurrentCell(g, 0, 0, true, false);
  harness.DispatchPending();
  EXPECT_EQ(plat::GetWindowText(g.editor), "17");
  EXPECT_TRUE(plat::GetStyle(g.editor) & plat::kEsReadOnly);
  harness.Type("5");
  harness.DispatchPending();
  EXPECT_EQ(plat::GetWindowText(g.editor), "17");
  Press(plat::kVkDown);
  std::int32_t v = 0;
  WGridGetCellInteger(1107, 1, 1, v);
  EXPECT_EQ(v, 17);
}

TEST_F(GridEditorTest, NumericCellsAreValidatedAndKeepTheirValueUnlessEdited) {
  GridRecord& g = Open(950, 1107);
  // An unchanged real cell stores back exactly the value it was loaded with.
  WGridPutCellReal(1107, 2, 1, 7.46f, "(f11.1)");
  GridSetCurrentCell(g, 1, 0, true, false);
  harness.DispatchPending();
  EXPECT_EQ(plat::GetWindowText(g.editor), "7.5");
  Press(plat::kVkDown);
  Press(plat::kVkUp);
  Press(plat::kVkDown);
  float f = 0.0f;
  WGridGetCellReal(1107, 2, 1, f);
  EXPECT_EQ(f, 7.46f);
  // "1-" is no number: Down is refused with a beep, the text selected.
  GridSetCurrentCell(g, 1, 2, true, false);
  harness.DispatchPending();
  harness.Type("1-");
  harness.DispatchPending();
  EXPECT_EQ(plat::GetWindowText(g.editor), "1-");
  const int beeps = Beeps();
  Press(plat::kVkDown);
  EXPECT_EQ(Cell(g), std::make_pair(1, 2));
  EXPECT_EQ(Beeps(), beeps + 1);
  EXPECT_EQ(plat::GetFocus(), g.editor);
  EXPECT_EQ(plat::EditGetSel(g.editor), std::make_pair(0, 2));
  // A number typed over it is stored when the cell is left.
  harness.Type("2.25");
  Press(plat::kVkDown);
  EXPECT_EQ(Cell(g), std::make_pair(1, 3));
  WGridGetCellReal(1107, 2, 3, f);
  EXPECT_EQ(f, 2.25f);
}

TEST_F(GridEditorTest, AnIntegerCellNeverTakesANumberBeyondThirtyTwoBits) {
  GridRecord& g = Open(952, 1214);
  GridSetCurrentCell(g, 0, 0, true, false);
  harness.DispatchPending();
  harness.Type("99999999999");
  harness.DispatchPending();
  EXPECT_EQ(plat::GetWindowText(g.editor), "99999999999");
  const int beeps = Beeps();
  Press(plat::kVkDown);
  EXPECT_EQ(Cell(g), std::make_pair(0, 0));
  EXPECT_EQ(Beeps(), beeps + 1);
  plat::SetWindowText(g.editor, "2147483647");
  plat::EditSetModify(g.editor, true);
  Press(plat::kVkDown);
  EXPECT_EQ(Cell(g), std::make_pair(0, 1));
  std::int32_t v = 0;
  WGridGetCellInteger(1214, 1, 1, v);
  EXPECT_EQ(v, 2147483647);
}

TEST_F(GridEditorTest, ShiftWithArrowsSelectsFromTheAnchor) {
  GridRecord& g = Open(950, 1107);
  GridSetCurrentCell(g, 1, 2, true, false);
  harness.DispatchPending();
  Press(plat::kVkDown, true);
  EXPECT_EQ(Cell(g), std::make_pair(1, 3));
  EXPECT_EQ(g.selFirstRow, 2);
  EXPECT_EQ(g.selLastRow, 3);
  EXPECT_EQ(g.selFirstColumn, 1);
  EXPECT_EQ(g.selLastColumn, 1);
  EXPECT_EQ(g.anchorRow, 2);
  Press(plat::kVkUp, true);
  EXPECT_EQ(Cell(g), std::make_pair(1, 2));
  EXPECT_EQ(g.selFirstRow, -1);
  EXPECT_EQ(g.anchorRow, -1);
  // A move without Shift forgets the selection.
  Press(plat::kVkDown, true);
  Press(plat::kVkDown);
  EXPECT_EQ(g.selFirstRow, -1);
}

TEST_F(GridEditorTest, WithoutEnterAndTabStylesTheDialogTakesThoseKeys) {
  GridRecord& g = Open(962, 1107);
  ASSERT_EQ(plat::GetFocus(), g.editor);
  // Enter presses the default button.
  harness.Key(plat::kVkReturn, '\r');
  auto [type, r] = Event();
  EXPECT_EQ(type, kEventPushButton);
  EXPECT_EQ(r.value1, 1);
  EXPECT_EQ(Cell(g), std::make_pair(0, 0));
  // Tab leaves the grid for the next field; the arrows still move.
  plat::SetFocus(g.window);
  harness.DispatchPending();
  Press(plat::kVkDown);
  EXPECT_EQ(Cell(g), std::make_pair(0, 1));
  harness.Key(plat::kVkTab, '\t');
  harness.DispatchPending();
  EXPECT_EQ(plat::GetFocus(), Field(1108));
  EXPECT_EQ(Cell(g), std::make_pair(0, 1));
}

TEST_F(GridEditorTest, ACheckBoxCellBecomesCurrentAndTogglesInOneClick) {
  GridRecord& g = Open(962, 1107);
  const int x = GridColumnLine(g, 1) + 5;
  const int y = 2 * (g.rowHeight - 1) + g.rowHeight / 2;
  harness.Click(g.cellArea, {x, y});
  harness.DispatchPending();
  EXPECT_EQ(Cell(g), std::make_pair(1, 2));
  ASSERT_NE(g.editor, plat::kNoWindow);
  EXPECT_EQ(plat::ButtonGetCheck(g.editor), plat::kChecked);
  Press(plat::kVkDown);
  std::int32_t state = 0;
  WGridGetCellCheckBox(1107, 2, 3, state);
  EXPECT_EQ(state, 1);
}

TEST_F(GridEditorTest, MovesAreFieldChangedEventsWithPackedCells) {
  GridRecord& g = Open(962, 1107);
  harness.Key(plat::kVkDown);
  auto [t1, r1] = Event();
  ASSERT_EQ(t1, kEventFieldChanged);
  EXPECT_EQ(r1.window, 962);
  EXPECT_EQ(r1.value2, 1107);
  EXPECT_EQ(r1.value3, 0);
  EXPECT_EQ(r1.y, 1 * 262144 + 2);
  EXPECT_EQ(Event().first, kEventNone);  // one event per move
  harness.Key(plat::kVkRight);
  auto [t2, r2] = Event();
  ASSERT_EQ(t2, kEventFieldChanged);
  EXPECT_EQ(r2.x, 1 * 262144 + 2);
  EXPECT_EQ(r2.y, 2 * 262144 + 2);
  // A move by the program without the focus in the grid tells nothing.
  plat::SetFocus(Field(1108));
  harness.DispatchPending();
  Drain();
  GridSetCurrentCell(g, 0, 5, false, false);
  EXPECT_EQ(Next().first, kEventNone);
  (void)g;
}

TEST_F(GridEditorTest, SpinArrowsReportOnlyOutsideAModalShow) {
  GridRecord& g = Open(962, 1107);
  GridSetCurrentCell(g, 2, 0, true, false);
  harness.DispatchPending();
  Drain();
  const plat::Hwnd arrows = g.editorField.rec.buddy;
  ASSERT_NE(arrows, plat::kNoWindow);
  const plat::Rect r = plat::GetClientRect(arrows);
  harness.Click(arrows, {r.Width() / 2, 2});
  auto [type, rec] = Event();
  EXPECT_EQ(type, kEventFieldChanged);
  EXPECT_EQ(rec.y, 3 * 262144 + 1);
  EXPECT_EQ(plat::GetWindowText(g.editor), "1");
  EXPECT_EQ(g.changed, 1);
  // The same dialog running modally: the step happens, no event.
  Drain();
  LoadedDialog* d = CurrentDialog();
  ASSERT_NE(d, nullptr);
  Dm().modalDialog = d->hwnd;
  harness.Click(arrows, {r.Width() / 2, 2});
  harness.DispatchPending();
  Dm().modalDialog = plat::kNoWindow;
  EXPECT_EQ(plat::GetWindowText(g.editor), "2");
  EXPECT_EQ(Next().first, kEventNone);
}

// A click on a number cell that is not current makes it current with its
// whole text selected, so what is typed replaces the value; this holds
// whether the focus was in the grid or outside it, and wherever in the cell
// the click lands. A click on the current cell places the caret.
TEST_F(GridEditorTest, AClickedNumberCellIsTypedOver) {
  GridRecord& g = Open(950, 1107);
  struct Case {
    const char* typed;
    float stored;
  };
  const Case cases[] = {{"7", 7.0f}, {"101.5", 101.5f}, {"-3.25", -3.25f}};
  int row = 1;
  for (const Case& c : cases) {
    for (const bool focusOutside : {false, true}) {
      for (const int across : {2, 50}) {
        SCOPED_TRACE(std::string(c.typed) + (focusOutside ? " focus outside" : " focus inside") +
                     " at " + std::to_string(across) + "%");
        WGridPutCellReal(1107, 2, row + 1, 0.0f, "(f11.1)");
        GridSetCurrentCell(g, 2, row, true, false);
        harness.DispatchPending();
        if (focusOutside) plat::SetFocus(Field(1));
        harness.DispatchPending();
        const int width = g.columns[1].width;
        const int x = GridColumnLine(g, 1) + 1 + (width - 3) * across / 100;
        const int y = (row - g.topRow) * (g.rowHeight - 1) + g.rowHeight / 2;
        harness.Click(g.cellArea, {x, y});
        harness.DispatchPending();
        ASSERT_EQ(Cell(g), std::make_pair(1, row));
        EXPECT_EQ(plat::GetFocus(), g.editor);
        EXPECT_EQ(plat::EditGetSel(g.editor),
                  std::make_pair(0, static_cast<int>(plat::GetWindowText(g.editor).size())));
        harness.Type(c.typed);
        harness.DispatchPending();
        EXPECT_EQ(plat::GetWindowText(g.editor), c.typed);
        Press(plat::kVkDown);
        float f = -1.0f;
        WGridGetCellReal(1107, 2, row + 1, f);
        EXPECT_EQ(f, c.stored);
        ++row;
      }
    }
  }
  // A second click on the current cell places the caret where it lands.
  WGridPutCellReal(1107, 2, 1, 12.5f, "(f11.1)");
  GridSetCurrentCell(g, 1, 0, true, false);
  harness.DispatchPending();
  ASSERT_EQ(plat::GetWindowText(g.editor), "12.5");
  const plat::Rect r = plat::GetClientRect(g.editor);
  harness.Click(g.editor, {r.right - 1, r.Height() / 2});
  harness.DispatchPending();
  EXPECT_EQ(plat::EditGetSel(g.editor), std::make_pair(4, 4));
}

// Field state 2 (read-only) on a grid keeps it enabled with an editor, so
// that it scrolls and shows its values in the normal look, while typing is
// refused; state 1 makes it writable again and state 0 greys it.
TEST_F(GridEditorTest, AReadOnlyGridStaysEnabledScrollsAndRefusesTyping) {
  GridRecord& g = Open(952, 1214);
  WGridPutCellInteger(1214, 1, 1, 4);
  WDialogFieldState(1214, 2);
  harness.DispatchPending();
  EXPECT_TRUE(plat::IsWindowEnabled(g.window));
  EXPECT_TRUE(plat::GetStyle(g.window) & kGridReadOnly);
  EXPECT_EQ(WDialogFieldInfo(1214, 6), 2);
  ASSERT_NE(g.editor, plat::kNoWindow);
  EXPECT_TRUE(plat::GetStyle(g.editor) & plat::kEsReadOnly);
  plat::SetFocus(g.window);
  harness.DispatchPending();
  harness.Type("9");
  harness.DispatchPending();
  EXPECT_EQ(plat::GetWindowText(g.editor), "4");
  const int top = g.topRow;
  plat::SendMessage(g.window, plat::Msg::VScroll, plat::MakeWParam(plat::kSbPageDown, 0), 0);
  harness.DispatchPending();
  EXPECT_GT(g.topRow, top);
  // Moving the current cell keeps the new editor read-only.
  GridSetCurrentCell(g, 1, g.topRow, true, false);
  harness.DispatchPending();
  EXPECT_TRUE(plat::GetStyle(g.editor) & plat::kEsReadOnly);
  // Writable again.
  WDialogFieldState(1214, 1);
  harness.DispatchPending();
  EXPECT_FALSE(plat::GetStyle(g.window) & kGridReadOnly);
  ASSERT_NE(g.editor, plat::kNoWindow);
  EXPECT_FALSE(plat::GetStyle(g.editor) & plat::kEsReadOnly);
  EXPECT_EQ(WDialogFieldInfo(1214, 6), 1);
  // Disabled: no editor.
  WDialogFieldState(1214, 0);
  harness.DispatchPending();
  EXPECT_FALSE(plat::IsWindowEnabled(g.window));
  EXPECT_EQ(g.editor, plat::kNoWindow);
}

}  // namespace
}  // namespace tk::testing
