// Edit fields: typing, caret movement, selection, limits and notifications.
#include "tests/platform/controls/ControlFixture.h"

namespace plat::testing {
namespace {

int TextWidth(Hwnd h, std::string_view t) {
  return GetControlFont(h)->TextWidth(t);
}

class EditTest : public ControlTest {
 protected:
  Hwnd Edit(unsigned style = 0, std::string_view text = "") {
    const Hwnd e = Make(kEditClass, text, kWsBorder | kEsAutoHScroll | style, {10, 10, 200, 31}, 7);
    SetFocus(e);
    Take();
    return e;
  }
  int Changes() {
    int n = 0;
    for (const Note& note : Take()) n += note == Cmd(7, kEnChange);
    return n;
  }
};

TEST_F(EditTest, TypingInsertsAtTheCaretAndNotifiesEachChange) {
  const Hwnd e = Edit();
  harness.Type("abc");
  harness.Key(kVkLeft).Key(kVkLeft).Type("X");
  harness.Key(kVkEnd).Key(kVkBack, '\b');
  harness.Key(kVkHome).Key(kVkDelete);
  harness.DispatchPending();
  EXPECT_EQ(GetWindowText(e), "Xb");
  EXPECT_EQ(Changes(), 6);
  EXPECT_TRUE(EditGetModify(e));
  EXPECT_EQ(EditGetSel(e), (std::pair{0, 0}));
}

TEST_F(EditTest, ShiftArrowsSelectAndTypingReplacesTheSelection) {
  const Hwnd e = Edit(0, "hello world");
  EXPECT_FALSE(EditGetModify(e));
  harness.Key(kVkEnd).Modifiers(true, false).KeyDown(kVkShift);
  for (int i = 0; i < 5; ++i) harness.Key(kVkLeft);
  harness.KeyUp(kVkShift).Modifiers(false, false);
  harness.DispatchPending();
  EXPECT_EQ(EditGetSel(e), (std::pair{6, 11}));
  harness.Type("there");
  harness.DispatchPending();
  EXPECT_EQ(GetWindowText(e), "hello there");
  // Ctrl+A selects everything; Backspace clears it.
  harness.KeyDown(kVkControl).Key('A').KeyUp(kVkControl).Key(kVkBack, '\b');
  harness.DispatchPending();
  EXPECT_EQ(GetWindowText(e), "");
}

TEST_F(EditTest, ClickPlacesTheCaretAndDragSelects) {
  const Hwnd e = Edit(0, "abcdefgh");
  const int x = 3 + TextWidth(e, "abc");
  harness.Drag(e, {x, 10}, {3 + 1000, 10});
  harness.DispatchPending();
  EXPECT_EQ(EditGetSel(e), (std::pair{3, 8}));
  harness.Click(e, {2, 10});
  harness.DispatchPending();
  EXPECT_EQ(EditGetSel(e), (std::pair{0, 0}));
}

TEST_F(EditTest, LimitReadOnlyAndNumberRefuseTyping) {
  const Hwnd e = Edit();
  EditSetLimit(e, 3);
  harness.Type("12345");
  harness.DispatchPending();
  EXPECT_EQ(GetWindowText(e), "123");
  const std::vector<Note> notes = Take();
  EXPECT_NE(std::find(notes.begin(), notes.end(), Cmd(7, kEnMaxText)), notes.end());

  EditSetReadOnly(e, true);
  harness.Key(kVkBack, '\b').Type("z");
  harness.DispatchPending();
  EXPECT_EQ(GetWindowText(e), "123");
  EditSetReadOnly(e, false);

  const Hwnd n = Edit(kEsNumber);
  harness.Type("a1b2");
  harness.DispatchPending();
  EXPECT_EQ(GetWindowText(n), "12");
}

TEST_F(EditTest, SetTextResetsCaretNotifiesAndClearsModified) {
  const Hwnd e = Edit();
  harness.Type("abc");
  harness.DispatchPending();
  Take();
  SetWindowText(e, "new text");
  EXPECT_EQ(Changes(), 1);
  EXPECT_FALSE(EditGetModify(e));
  EXPECT_EQ(EditGetSel(e), (std::pair{0, 0}));
  EditSetSel(e, 0, -1);
  EXPECT_EQ(EditGetSel(e), (std::pair{0, 8}));
  EditSetSel(e, 2, 100);
  EXPECT_EQ(EditGetSel(e), (std::pair{2, 8}));
}

TEST_F(EditTest, FocusNotificationsAndSelectionDrawing) {
  const Hwnd e = Edit(0, "selected");
  const Hwnd other = Make(kButtonClass, "B", 0, {10, 50, 80, 70}, 9);
  EditSetSel(e, 0, -1);
  EXPECT_GT(Count(e, GetClientRect(e), kColourSelection), 50);
  SetFocus(other);
  EXPECT_EQ(Take(), std::vector<Note>{Cmd(7, kEnKillFocus)});
  EXPECT_EQ(Count(e, GetClientRect(e), kColourSelection), 0);  // hidden without the focus
  SetFocus(e);
  EXPECT_EQ(Take(), std::vector<Note>{Cmd(7, kEnSetFocus)});
}

TEST_F(EditTest, MultiLineEditsBreakLinesAndMoveBetweenThem) {
  const Hwnd e =
      Make(kEditClass, "", kWsBorder | kEsMultiline | kEsWantReturn, {10, 10, 200, 50}, 7);
  SetFocus(e);
  harness.Type("one\ntwo\nthree\nfour\nfive");
  harness.DispatchPending();
  EXPECT_EQ(GetWindowText(e), "one\r\ntwo\r\nthree\r\nfour\r\nfive");
  EXPECT_EQ(EditGetLineCount(e), 5);
  EXPECT_GT(EditGetFirstVisibleLine(e), 0);  // scrolled to keep the caret in view
  harness.Key(kVkUp).Key(kVkUp).Key(kVkHome).Key(kVkUp);
  harness.DispatchPending();
  EXPECT_EQ(EditGetSel(e).first, 5);        // start of "two"
  harness.Key(kVkLeft).Key(kVkBack, '\b');  // Left skips the whole line break
  harness.DispatchPending();
  EXPECT_EQ(GetWindowText(e), "on\r\ntwo\r\nthree\r\nfour\r\nfive");
  harness.Key(kVkRight).Key(kVkBack, '\b');  // Backspace joins lines
  harness.DispatchPending();
  EXPECT_EQ(GetWindowText(e), "ontwo\r\nthree\r\nfour\r\nfive");
}

}  // namespace
}  // namespace plat::testing
