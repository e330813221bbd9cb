// Option lists, tabs, progress bars, trackbars and tree views of dialog fields.
#include <gtest/gtest.h>

#include <array>

#include "platform/controls/Controls.h"
#include "platform/dialog/Dialog.h"
#include "platform/window/VirtualKeys.h"
#include "tests/toolkit/dialogs/DialogTestSupport.h"
#include "toolkit/dialogs/DialogLists.h"

namespace tk {
namespace {

constexpr std::string_view kListDialogs = R"(dialog 911 popup
  caption "Lists"
  rect 0 0 300 220
  style WS_CAPTION | WS_SYSMENU | DS_MODALFRAME
  control LISTBOX 1101 5 5 80 60 "" LBS_NOTIFY | WS_VISIBLE | WS_TABSTOP | WS_BORDER | WS_VSCROLL
  control LISTBOX 1102 90 5 60 40 "" LBS_MULTIPLESEL | WS_VISIBLE | WS_TABSTOP | WS_BORDER
  control COMBOBOX 1103 155 5 60 60 "" CBS_DROPDOWNLIST | WS_VISIBLE | WS_TABSTOP
  control COMBOBOX 1104 220 5 60 60 "" CBS_DROPDOWN | WS_VISIBLE | WS_TABSTOP
  control SYSTABCONTROL32 1105 5 70 140 80 "" WS_VISIBLE | WS_TABSTOP
  control msctls_progress32 1106 155 70 100 10 "" WS_VISIBLE | WS_BORDER
  control msctls_trackbar32 1107 155 85 100 20 "" TBS_ENABLESELRANGE | WS_VISIBLE | WS_TABSTOP
  control SysTreeView32 1108 155 110 120 70 "" TVS_HASBUTTONS | TVS_LINESATROOT | WS_VISIBLE | WS_TABSTOP | WS_BORDER
  control EDIT 1109 5 160 60 12 "" WS_VISIBLE | WS_TABSTOP | WS_BORDER
  control BUTTON 1 10 195 50 14 "OK" BS_DEFPUSHBUTTON | WS_VISIBLE | WS_TABSTOP
end
dialog 912 child
  rect 0 0 100 40
  control EDIT 1201 5 5 60 12 "" WS_VISIBLE | WS_TABSTOP | WS_BORDER
end
dialog 913 child
  rect 0 0 100 40
  control BUTTON 1301 5 5 60 12 "Auto" BS_AUTOCHECKBOX | WS_VISIBLE | WS_TABSTOP
end
)";

const std::array<std::string, 16> kColours = {
    "Black", "Blue",  "Green",   "Cyan",   "Red",      "Magenta",  "Brown",    "Light Grey",
    "Grey",  "LBlue", "LGreen ", "LCyan ", "LRed    ", "LMagenta", "Yellow  ", "White   "};

class DialogListsTest : public testing::DialogTest {
 protected:
  void SetUp() override {
    DialogTest::SetUp();
    res::ResourceSet set;
    res::ResourceError error;
    ASSERT_TRUE(res::ParseResourceText("list-dialogs", kListDialogs, set, error)) << error.Text();
    for (const res::DialogTemplate& t : set.dialogs) AddDialogTemplate(t);
    WDialogLoad(911);
    ASSERT_EQ(LastError(), 0);
    WEventTypeSwitch(kEventFieldChanged, 1);
    WEventTypeSwitch(kEventTabChanged, 1);
  }
  void Show() {
    WDialogShow(-1, -1, 0, kShowModeless);
    harness.DispatchPending();
    Drain();
  }
  void Drain() {
    int type = 0;
    EventRecord r;
    for (int i = 0; i < 50; ++i) {
      WEventPeek(type, r);
      if (type == kEventNone) return;
    }
  }
  DialogField& Rec(int id) { return *FindField(*CurrentDialog(), id); }
};

TEST_F(DialogListsTest, ListOptionsPutAndGet) {
  WDialogPutMenu(1101, kColours, 16, 3);
  EXPECT_EQ(LastError(), 0);
  EXPECT_EQ(plat::ListBoxGetCount(Field(1101)), 16);
  EXPECT_EQ(plat::ListBoxGetText(Field(1101), 10), "LGreen");  // trailing blanks dropped
  std::int32_t option = 0;
  std::string text(12, '?');
  WDialogGetMenu(1101, option, text);
  EXPECT_EQ(option, 3);
  EXPECT_EQ(text, "Green       ");
  // Option 0 leaves nothing selected and says so; reading it then is undefined.
  WDialogPutMenu(1101, kColours, 4, 0);
  EXPECT_EQ(LastError(), kErrBadOption);
  EXPECT_EQ(plat::ListBoxGetCount(Field(1101)), 4);
  WDialogGetMenu(1101, option, text);
  EXPECT_EQ(option, kUndefinedInteger);
  EXPECT_EQ(LastError(), kErrUndefined);
  EXPECT_EQ(text, "Green       ");  // untouched
  // A count beyond the texts given adds the texts there are.
  WDialogPutMenu(1101, std::span(kColours).first(2), 5, 2);
  EXPECT_EQ(plat::ListBoxGetCount(Field(1101)), 2);
  EXPECT_EQ(LastError(), 0);
  WDialogPutOption(1101, 1);
  WDialogGetMenu(1101, option);
  EXPECT_EQ(option, 1);
  WDialogPutOption(1101, 3);
  EXPECT_EQ(LastError(), kErrBadOption);
  EXPECT_EQ(plat::ListBoxGetCurSel(Field(1101)), -1);
  // Clearing empties it.
  WDialogPutOption(1101, 2);
  ASSERT_TRUE(ClearFieldContents(Rec(1101)));
  EXPECT_EQ(plat::ListBoxGetCount(Field(1101)), 0);
  WDialogGetMenu(1101, option);
  EXPECT_EQ(LastError(), kErrUndefined);
}

TEST_F(DialogListsTest, MultiSelectionListsAndOtherFieldsAreRefused) {
  plat::ListBoxAddString(Field(1102), "kept");
  for (int field : {1102, 1109, 9999}) {
    SCOPED_TRACE(field);
    WDialogPutMenu(field, kColours, 3, 1);
    EXPECT_EQ(LastError(), kErrBadField);
    std::int32_t option = 5;
    WDialogGetMenu(field, option);
    EXPECT_EQ(LastError(), kErrBadField);
    EXPECT_EQ(option, 5);
    WDialogPutOption(field, 1);
    EXPECT_EQ(LastError(), kErrBadField);
  }
  EXPECT_EQ(plat::ListBoxGetCount(Field(1102)), 1);
  // The item operations serve the multi-selection list.
  plat::ListBoxAddString(Field(1102), "two");
  plat::ListBoxAddString(Field(1102), "three");
  EXPECT_EQ(ListCount(1102), 3);
  EXPECT_EQ(ListSelectRange(1102, 2, 3, 1), 0);
  EXPECT_EQ(ListItemSelected(1102, 1), 0);
  EXPECT_EQ(ListItemSelected(1102, 3), 1);
  EXPECT_EQ(ListSelectItem(1102, 3, 0), 0);
  EXPECT_EQ(ListItemSelected(1102, 3), 0);
  EXPECT_EQ(ListCount(1103), kOpMissing);
  WDialogUnload();
  WDialogPutMenu(1101, kColours, 3, 1);
  EXPECT_EQ(LastError(), kErrNoDialog);
}

TEST_F(DialogListsTest, CombosWithTypedTextAndDropDownLists) {
  const std::array<std::string, 2> ab = {"A", "B"};
  // Drop-down list: options only.
  WDialogPutMenu(1103, ab, 2, 2);
  std::int32_t option = 0;
  std::string text(3, ' ');
  WDialogGetMenu(1103, option, text);
  EXPECT_EQ(option, 2);
  EXPECT_EQ(text, "B  ");
  // A combo with an edit part: a text put selects the option it names.
  WDialogPutMenu(1104, ab, 2, 0, "b  ");
  EXPECT_EQ(LastError(), 0);
  WDialogGetMenu(1104, option, text);
  EXPECT_EQ(option, 2);
  EXPECT_EQ(text, "B  ");
  WDialogPutMenu(1104, ab, 2, 0, "Other");
  WDialogGetMenu(1104, option, text);
  EXPECT_EQ(option, 0);
  EXPECT_EQ(text, "Oth");
  // What the user types.
  const plat::Hwnd edit = plat::ComboBoxGetEdit(Field(1104));
  ASSERT_NE(edit, plat::kNoWindow);
  plat::SetWindowText(edit, "B");
  WDialogGetMenu(1104, option, text);
  EXPECT_EQ(option, 2);
  EXPECT_EQ(text, "B  ");
  plat::SetWindowText(edit, "C");
  WDialogGetMenu(1104, option, text);
  EXPECT_EQ(option, 0);
  EXPECT_EQ(text, "C  ");
  EXPECT_EQ(LastError(), 0);
  // Empty with nothing selected.
  ClearFieldContents(Rec(1104));
  plat::SetWindowText(edit, "");
  WDialogGetMenu(1104, option, text);
  EXPECT_EQ(option, kUndefinedInteger);
  EXPECT_EQ(LastError(), kErrUndefined);
}

TEST_F(DialogListsTest, TabPagesFollowTheSelectedTab) {
  LoadedDialog& d = *CurrentDialog();
  ASSERT_TRUE(TabFieldAddPage(d, Rec(1105), 912, "First"));
  ASSERT_TRUE(TabFieldAddPage(*CurrentDialog(), Rec(1105), 913, "Second"));
  EXPECT_EQ(WDialogStatusQuery(3), 911);  // the dialog stays current
  Show();
  auto page = [](int id) {
    DialogManagerState& s = Dm();
    for (int i = 1; i <= s.loadedCount; ++i)
      if (s.table[static_cast<std::size_t>(i)]->rec.identifier == id)
        return s.table[static_cast<std::size_t>(i)]->hwnd;
    return plat::kNoWindow;
  };
  std::int32_t shown = 0;
  WDialogGetTab(1105, shown);
  EXPECT_EQ(shown, 912);
  EXPECT_TRUE(plat::IsWindowVisible(page(912)));
  EXPECT_FALSE(plat::IsWindowVisible(page(913)));
  // The page lies on the tab field's display area.
  const plat::Rect area = plat::TabAdjustRect(Field(1105), false, plat::GetWindowRect(Field(1105)));
  EXPECT_EQ(plat::GetWindowRect(page(912)), area);
  WDialogSetTab(1105, 913);
  EXPECT_EQ(LastError(), 0);
  EXPECT_FALSE(plat::IsWindowVisible(page(912)));
  EXPECT_TRUE(plat::IsWindowVisible(page(913)));
  WDialogSetTab(1105, 913);  // already shown: nothing
  EXPECT_EQ(LastError(), 0);
  WDialogSetTab(1105, 999);
  EXPECT_EQ(LastError(), kErrBadTab);
  WDialogGetTab(1105, shown);
  EXPECT_EQ(shown, 913);
  WDialogSetTab(1101, 912);
  EXPECT_EQ(LastError(), kErrBadField);
  // The user's click on the first tab raises a tab-changed event.
  Drain();
  const plat::Rect first = plat::TabGetItemRect(Field(1105), 0);
  harness.Click(Field(1105), {first.left + 3, first.top + 3});
  const auto [type, r] = Wait();
  EXPECT_EQ(type, kEventTabChanged);
  EXPECT_EQ(r.window, 911);
  EXPECT_EQ(r.value1, 913);
  EXPECT_EQ(r.value2, 912);
  EXPECT_TRUE(plat::IsWindowVisible(page(912)));
  // A disabled tab is not chosen by identifier.
  TabFieldSetDisabled(Rec(1105), 1, true);
  WDialogSetTab(1105, 913);
  EXPECT_EQ(LastError(), kErrBadTab);
  // A page comes and goes with its tab: it can be neither hidden nor
  // unloaded by itself, and stays loaded and shown.
  WDialogSelect(912);
  WDialogHide();
  EXPECT_EQ(LastError(), kErrSubDialog);
  WDialogUnload();
  EXPECT_EQ(LastError(), kErrSubDialog);
  EXPECT_NE(page(912), plat::kNoWindow);
  EXPECT_TRUE(plat::IsWindowVisible(page(912)));
  EXPECT_EQ(WDialogStatusQuery(3), 912);
}

TEST_F(DialogListsTest, ProgressBarsSetAndAdvance) {
  WDialogPutProgressBar(1106, 10);
  WDialogPutProgressBar(1106, 5, 1);
  EXPECT_EQ(plat::ProgressGetPos(Field(1106)), 15);
  WDialogPutProgressBar(1106, 5);
  EXPECT_EQ(plat::ProgressGetPos(Field(1106)), 5);
  WDialogPutProgressBar(1106, 500);  // kept within the range
  EXPECT_EQ(plat::ProgressGetPos(Field(1106)), 100);
  EXPECT_EQ(ProgressRange(1106, 20, 40), 0);
  ASSERT_TRUE(ClearFieldContents(Rec(1106)));
  EXPECT_EQ(plat::ProgressGetPos(Field(1106)), 20);
  EXPECT_EQ(ProgressRange(1107, 0, 10), kOpMissing);
  WDialogPutProgressBar(1107, 5);
  EXPECT_EQ(LastError(), kErrBadField);
}

TEST_F(DialogListsTest, ProgressLoopStaysResponsiveWhilePolling) {
  Show();
  const plat::Hwnd ok = Field(1);
  int buttonAt = -1;
  for (int i = 0; i <= 100; ++i) {
    WDialogPutProgressBar(1106, i);
    if (i == 40) harness.Click(ok, {5, 5});
    int type = 0;
    EventRecord r;
    WEventPeek(type, r);
    if (type == kEventPushButton && r.value1 == 1 && buttonAt < 0) buttonAt = i;
  }
  EXPECT_GE(buttonAt, 40);
  EXPECT_LT(buttonAt, 50);  // the click is answered within a few polls
  EXPECT_EQ(plat::ProgressGetPos(Field(1106)), 100);
  // The full bar is painted: near its right end it shows the bar, not the face.
  harness.DispatchPending();
  const plat::PaintContext ctx = plat::GetDrawContext(Field(1106));
  ASSERT_NE(ctx.surface, nullptr);
  const plat::Rect br = plat::GetClientRect(Field(1106));
  EXPECT_NE(ctx.surface->Get(ctx.origin.x + br.Width() - 6, ctx.origin.y + br.Height() / 2),
            plat::kColourFace);
}

TEST_F(DialogListsTest, TrackbarOperationsAndUserMoves) {
  EXPECT_EQ(TrackbarRange(1107, 0, 50, 5), 0);
  EXPECT_EQ(TrackbarSteps(1107, 2, 0), 0);
  EXPECT_EQ(TrackbarPosition(1107, 10, 5, 20, 0), 0);
  int pos = 0, a = -1, b = -1;
  EXPECT_EQ(TrackbarQuery(1107, pos, a, b), 0);
  EXPECT_EQ(pos, 10);
  EXPECT_EQ(a, 5);
  EXPECT_EQ(b, 20);
  EXPECT_EQ(WDialogFieldInfo(1107, 8), 50);
  ASSERT_TRUE(ClearFieldContents(Rec(1107)));
  TrackbarQuery(1107, pos, a, b);
  EXPECT_EQ(a, 0);
  EXPECT_EQ(b, 0);
  // Without a selection the ends read as the value set for that case.
  SetTrackbarNoSelectionValue(-1);
  TrackbarQuery(1107, pos, a, b);
  SetTrackbarNoSelectionValue(0);
  EXPECT_EQ(a, -1);
  EXPECT_EQ(b, -1);
  EXPECT_EQ(TrackbarQuery(1106, pos, a, b), kOpMissing);
  // The user moves it: the trackbar becomes the current field.
  Show();
  plat::SetFocus(Field(1107));
  Drain();
  harness.Key(plat::kVkRight);
  const auto [type, r] = Wait();
  EXPECT_EQ(type, kEventFieldChanged);
  EXPECT_EQ(r.value2, 1107);
  EXPECT_EQ(plat::TrackbarGetPos(Field(1107)), 12);
  // Shift and the arrows select from where Shift went down; Delete clears,
  // Ctrl+A selects the whole range, each a field change.
  harness.KeyDown(plat::kVkShift).Key(plat::kVkRight).Key(plat::kVkRight).KeyUp(plat::kVkShift);
  harness.DispatchPending();
  pos = a = b = 0;
  TrackbarQuery(1107, pos, a, b);
  EXPECT_EQ(pos, 16);
  EXPECT_EQ(a, 12);
  EXPECT_EQ(b, 16);
  Drain();
  harness.Key(plat::kVkDelete);
  auto [t2, r2] = Wait();
  EXPECT_EQ(t2, kEventFieldChanged);
  EXPECT_EQ(r2.value2, 1107);
  EXPECT_FALSE(plat::TrackbarGetSel(Field(1107)).has_value());
  harness.Modifiers(false, true).Key('A', 'a').Modifiers(false, false);
  harness.DispatchPending();
  TrackbarQuery(1107, pos, a, b);
  EXPECT_EQ(a, 0);
  EXPECT_EQ(b, 50);
}

TEST_F(DialogListsTest, TreeItemsByIdentifier) {
  std::int32_t id = 0;
  EXPECT_EQ(TreeItemSelected(1108, id), kOpNotFound);
  EXPECT_EQ(TreeInsertItem(1108, 0, 0, 10, "Root"), 0);  // empty: the first root
  EXPECT_EQ(TreeInsertItem(1108, 10, 3, 11, "Child B"), 0);
  EXPECT_EQ(TreeInsertItem(1108, 11, 1, 12, "Child A"), 0);  // before B
  EXPECT_EQ(TreeInsertItem(1108, 10, 2, 20, "Second root"), 0);
  EXPECT_EQ(TreeInsertItem(1108, 99, 3, 30, "x"), kOpNotFound);
  EXPECT_EQ(TreeInsertItem(1108, 12, 3, 11, "same id"), 0);  // duplicates allowed by default
  TreeUniqueIdentifiers(1);
  EXPECT_EQ(TreeInsertItem(1108, 10, 3, 20, "dup"), kOpNotBranch);
  TreeUniqueIdentifiers(0);
  const plat::Hwnd tree = Field(1108);
  const plat::TreeItem root = plat::TreeViewGetNextItem(tree, 0, plat::TreeRelation::Root);
  const plat::TreeItem first = plat::TreeViewGetNextItem(tree, root, plat::TreeRelation::Child);
  EXPECT_EQ(plat::TreeViewGetItemText(tree, first), "Child A");
  EXPECT_EQ(plat::TreeViewGetItemText(
                tree, plat::TreeViewGetNextItem(tree, root, plat::TreeRelation::Next)),
            "Second root");
  int state = 0;
  EXPECT_EQ(TreeBranchState(1108, 10, state), 0);
  EXPECT_EQ(state, 1);
  EXPECT_EQ(TreeExpandItem(1108, 10, 0), 0);
  TreeBranchState(1108, 10, state);
  EXPECT_EQ(state, 2);
  EXPECT_EQ(TreeBranchState(1108, 20, state), kOpNotBranch);
  EXPECT_EQ(TreeExpandItem(1108, 20, 0), kOpNotBranch);
  EXPECT_EQ(TreeBranchState(1108, 77, state), kOpNotFound);
  // Depth first: the 11 under Child A comes before Child B.
  EXPECT_EQ(TreeSelectItem(1108, 11), 0);
  std::string caption(9, '?');
  EXPECT_EQ(TreeItemSelected(1108, id, &caption), 0);
  EXPECT_EQ(id, 11);
  EXPECT_EQ(caption, "same id  ");
  EXPECT_EQ(TreeRenameItem(1108, 11, "Renamed"), 0);
  EXPECT_EQ(plat::TreeViewGetItemText(
                tree, plat::TreeViewGetNextItem(tree, 0, plat::TreeRelation::Selection)),
            "Renamed");
  EXPECT_EQ(TreeDeleteItem(1108, 12), 0);  // with its child
  EXPECT_EQ(plat::TreeViewGetCount(tree), 3);
  EXPECT_EQ(TreeSelectItem(1108, 11), 0);  // now Child B
  EXPECT_EQ(TreeItemSelected(1108, id, &caption), 0);
  EXPECT_EQ(caption, "Child B  ");
  EXPECT_EQ(TreeDeleteItem(1108, 12), kOpNotFound);
  EXPECT_EQ(TreeSelectItem(1101, 10), kOpMissing);
  ASSERT_TRUE(ClearFieldContents(Rec(1108)));
  EXPECT_EQ(plat::TreeViewGetCount(tree), 0);
}

TEST_F(DialogListsTest, TreeClicksMakeItTheCurrentField) {
  TreeInsertItem(1108, 0, 0, 10, "Root");
  TreeInsertItem(1108, 10, 2, 20, "Leaf");
  Show();
  WDialogSetField(1109);
  Drain();
  const plat::Hwnd tree = Field(1108);
  const plat::TreeItem leaf = plat::TreeViewGetNextItem(
      tree, plat::TreeViewGetNextItem(tree, 0, plat::TreeRelation::Root), plat::TreeRelation::Next);
  const plat::Rect row = plat::TreeViewGetItemRect(tree, leaf);
  harness.Click(tree, {row.left + 30, row.top + 3});
  auto [type, r] = Wait();
  EXPECT_EQ(type, kEventFieldChanged);
  EXPECT_EQ(r.value2, 1108);
  EXPECT_EQ(CurrentDialog()->rec.currentField, 1108);
  EXPECT_EQ(CurrentDialog()->rec.focusField, 1108);
  std::int32_t id = 0;
  TreeItemSelected(1108, id);
  EXPECT_EQ(id, 20);
  // A double click on a leaf presses the default button.
  harness.DoubleClick(tree, {row.left + 30, row.top + 3});
  bool pushed = false;
  for (int i = 0; i < 5 && !pushed; ++i) {
    std::tie(type, r) = Wait();
    pushed = type == kEventPushButton && r.value1 == 1;
  }
  EXPECT_TRUE(pushed);
}

}  // namespace
}  // namespace tk
