// List boxes and combo boxes.
#include "tests/platform/controls/ControlFixture.h"

namespace plat::testing {
namespace {

class ListTest : public ControlTest {
 protected:
  Hwnd List(unsigned style) {
    const Hwnd l = Make(kListBoxClass, "", kWsBorder | kWsVScroll | kLbsNotify | style,
                        {10, 10, 150, 10 + 4 + 5 * ListRow()}, 5);
    for (const char* t : {"delta", "alpha", "Charlie", "bravo", "echo", "foxtrot", "golf"})
      ListBoxAddString(l, t);
    return l;
  }
  int ListRow() { return GetControlFont(host)->Metrics().height; }
  Point Row(int i) { return {20, 2 + i * ListRow() + ListRow() / 2}; }
};

TEST_F(ListTest, SortedInsertFindAndDelete) {
  const Hwnd l = List(kLbsSort);
  std::vector<std::string> texts;
  for (int i = 0; i < ListBoxGetCount(l); ++i) texts.push_back(*ListBoxGetText(l, i));
  EXPECT_EQ(texts, (std::vector<std::string>{"alpha", "bravo", "Charlie", "delta", "echo",
                                             "foxtrot", "golf"}));
  EXPECT_EQ(ListBoxInsertString(l, 0, "zulu"), 0);  // insert never sorts
  EXPECT_EQ(ListBoxFindString(l, -1, "CH"), 3);
  EXPECT_EQ(ListBoxFindString(l, 3, "ch"), 3);  // wraps round to itself
  EXPECT_EQ(ListBoxFindStringExact(l, -1, "ECHO"), 5);
  EXPECT_EQ(ListBoxFindStringExact(l, -1, "ech"), kListError);
  EXPECT_EQ(ListBoxSetCurSel(l, 5), 5);
  EXPECT_EQ(ListBoxDeleteString(l, 0), 7);
  EXPECT_EQ(ListBoxGetCurSel(l), 4);  // the selection moved with its item
  EXPECT_EQ(ListBoxDeleteString(l, 4), 6);
  EXPECT_EQ(ListBoxGetCurSel(l), kListError);
  EXPECT_EQ(ListBoxDeleteString(l, 6), kListError);
  EXPECT_FALSE(ListBoxGetText(l, 6).has_value());
  EXPECT_TRUE(Take().empty());  // the program's changes never notify
}

TEST_F(ListTest, ClickKeysAndDoubleClickNotify) {
  const Hwnd l = List(0);
  harness.Click(l, Row(2));
  harness.DispatchPending();
  EXPECT_EQ(ListBoxGetCurSel(l), 2);
  EXPECT_EQ(GetFocus(), l);
  EXPECT_EQ(Take(), (std::vector<Note>{Cmd(5, kLbnSetFocus), Cmd(5, kLbnSelChange)}));
  harness.Key(kVkDown).Key(kVkEnd);
  harness.DispatchPending();
  EXPECT_EQ(ListBoxGetCurSel(l), 6);
  EXPECT_GT(ListBoxGetTopIndex(l), 0);  // scrolled to show the last item
  EXPECT_EQ(Take(), (std::vector<Note>{Cmd(5, kLbnSelChange), Cmd(5, kLbnSelChange)}));
  harness.Key(kVkHome).Key('F', 'f');
  harness.DispatchPending();
  EXPECT_EQ(ListBoxGetCurSel(l), 5);
  Take();
  ListBoxSetTopIndex(l, 0);
  harness.DoubleClick(l, Row(1));
  harness.DispatchPending();
  EXPECT_EQ(ListBoxGetCurSel(l), 1);
  const std::vector<Note> n = Take();
  ASSERT_FALSE(n.empty());
  EXPECT_EQ(n.back(), Cmd(5, kLbnDblClk));
}

TEST_F(ListTest, MultipleAndExtendedSelection) {
  const Hwnd multi = List(kLbsMultipleSel);
  harness.Click(multi, Row(1)).Click(multi, Row(3)).Click(multi, Row(1));
  harness.DispatchPending();
  EXPECT_EQ(ListBoxGetSelItems(multi), std::vector<int>{3});
  EXPECT_TRUE(ListBoxSelItemRange(multi, 4, 6, true));
  EXPECT_EQ(ListBoxGetSelCount(multi), 4);
  EXPECT_EQ(ListBoxSetCurSel(multi, 1), kListError);  // single-selection only
  DestroyWindow(multi);

  const Hwnd ext = List(kLbsExtendedSel);
  harness.Click(ext, Row(1));
  harness.Modifiers(true, false).Click(ext, Row(3));
  harness.Modifiers(false, true).Click(ext, Row(0)).Modifiers(false, false);
  harness.DispatchPending();
  EXPECT_EQ(ListBoxGetSelItems(ext), (std::vector<int>{0, 1, 2, 3}));
  harness.Click(ext, Row(4));
  harness.DispatchPending();
  EXPECT_EQ(ListBoxGetSelItems(ext), std::vector<int>{4});
}

TEST_F(ListTest, ListWithoutNotifyStyleStaysQuiet) {
  const Hwnd l = Make(kListBoxClass, "", kWsBorder, {10, 10, 150, 100}, 6);
  ListBoxAddString(l, "one");
  harness.Click(l, {10, 5});
  harness.DispatchPending();
  EXPECT_EQ(ListBoxGetCurSel(l), 0);
  EXPECT_TRUE(Take().empty());
}

class ComboTest : public ControlTest {
 protected:
  Hwnd Combo(unsigned type) {
    const Hwnd c = Make(kComboBoxClass, "", type | kWsTabStop, {10, 10, 160, 150}, 8);
    for (const char* t : {"Metres", "Feet", "Yards"}) ComboBoxAddString(c, t);
    return c;
  }
};

TEST_F(ComboTest, DropDownListPicksWithTheMouse) {
  const Hwnd c = Combo(kCbsDropDownList);
  EXPECT_LT(GetClientRect(c).Height(), 30);  // the closed height, not the created one
  harness.Click(c, {10, 5});
  harness.DispatchPending();
  ASSERT_TRUE(ComboBoxGetDroppedState(c));
  const Hwnd list = ComboBoxGetListWindow(c);
  ASSERT_NE(list, kNoWindow);
  EXPECT_TRUE(IsWindowVisible(list));
  EXPECT_EQ(GetFocus(), c);  // the list never takes the focus
  const int row = ListBoxGetItemHeight(list);
  harness.Click(list, {10, 1 + row + row / 2});
  harness.DispatchPending();
  EXPECT_FALSE(ComboBoxGetDroppedState(c));
  EXPECT_FALSE(IsWindowVisible(list));
  EXPECT_EQ(ComboBoxGetCurSel(c), 1);
  EXPECT_EQ(GetWindowText(c), "Feet");
  EXPECT_EQ(Take(),
            (std::vector<Note>{Cmd(8, kCbnSetFocus), Cmd(8, kCbnDropDown), Cmd(8, kCbnSelEndOk),
                               Cmd(8, kCbnCloseUp), Cmd(8, kCbnSelChange)}));
}

TEST_F(ComboTest, ClickOutsideOrEscapeCancels) {
  const Hwnd c = Combo(kCbsDropDownList);
  ComboBoxSetCurSel(c, 2);
  ComboBoxShowDropDown(c, true);
  const Hwnd list = ComboBoxGetListWindow(c);
  harness.Click(list, {10, -40});
  harness.DispatchPending();
  EXPECT_FALSE(ComboBoxGetDroppedState(c));
  EXPECT_EQ(ComboBoxGetCurSel(c), 2);
  SetFocus(c);
  harness.KeyDown(kVkF1 + 3).Key(kVkUp).Key(kVkEscape);
  harness.DispatchPending();
  EXPECT_FALSE(ComboBoxGetDroppedState(c));
  EXPECT_EQ(GetWindowText(c), "Yards");
  harness.Key(kVkUp);  // closed: arrows change the selection at once
  harness.DispatchPending();
  EXPECT_EQ(GetWindowText(c), "Feet");
  EXPECT_EQ(Take().back(), Cmd(8, kCbnSelChange));
}

TEST_F(ComboTest, DropDownWithEditReportsEditChanges) {
  const Hwnd c = Combo(kCbsDropDown);
  const Hwnd edit = ComboBoxGetEdit(c);
  ASSERT_NE(edit, kNoWindow);
  SetFocus(c);
  EXPECT_EQ(GetFocus(), edit);
  harness.Type("12");
  harness.DispatchPending();
  EXPECT_EQ(GetWindowText(c), "12");
  EXPECT_EQ(Take(), (std::vector<Note>{Cmd(8, kCbnSetFocus), Cmd(8, kCbnEditChange),
                                       Cmd(8, kCbnEditChange)}));
  harness.Key(kVkDown);  // arrows in the edit pick from the list
  harness.DispatchPending();
  EXPECT_EQ(GetWindowText(c), "Metres");
  EXPECT_EQ(GetWindowText(edit), "Metres");
  SetWindowText(c, "3.5");
  EXPECT_EQ(GetWindowText(edit), "3.5");
  ComboBoxLimitText(c, 4);
  EXPECT_EQ(EditGetLimit(edit), 4);
}

}  // namespace
}  // namespace plat::testing
