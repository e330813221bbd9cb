// Tree view: items, expansion, selection, notifications, keys and looks.
#include "tests/platform/controls/ControlFixture.h"

namespace plat::testing {
namespace {

class TreeViewTest : public ControlTest {
 protected:
  void SetUp() override {
    ControlTest::SetUp();
    tree = Make(kTreeViewClass, "",
                kTvsHasButtons | kTvsHasLines | kTvsLinesAtRoot | kTvsShowSelAlways | kWsBorder,
                {10, 10, 210, 210}, 40);
    a = TreeViewInsertItem(tree, kTreeNone, kTreeLast, "Alpha", 100);
    b = TreeViewInsertItem(tree, kTreeNone, kTreeLast, "Beta", 200);
    a1 = TreeViewInsertItem(tree, a, kTreeLast, "One", 101);
    a2 = TreeViewInsertItem(tree, a, kTreeLast, "Two", 102);
    onNotify = [this](NotifyHeader* hdr) -> LResult {
      const auto* n = reinterpret_cast<TreeViewNotify*>(hdr);
      told.push_back({hdr->code, n->newItem, n->action});
      return 0;
    };
  }
  Point RowPoint(TreeItem item, int dx = 40) {
    const Rect r = TreeViewGetItemRect(tree, item);
    return {r.left + dx, (r.top + r.bottom) / 2};
  }
  struct Told {
    int code;
    TreeItem item;
    int action;
    friend bool operator==(const Told&, const Told&) = default;
  };
  Hwnd tree = kNoWindow;
  TreeItem a = 0, b = 0, a1 = 0, a2 = 0;
  std::vector<Told> told;
};

TEST_F(TreeViewTest, InsertWalkAndDelete) {
  EXPECT_EQ(TreeViewGetCount(tree), 4);
  EXPECT_EQ(TreeViewGetNextItem(tree, kTreeNone, TreeRelation::Root), a);
  EXPECT_EQ(TreeViewGetNextItem(tree, a, TreeRelation::Next), b);
  EXPECT_EQ(TreeViewGetNextItem(tree, b, TreeRelation::Previous), a);
  EXPECT_EQ(TreeViewGetNextItem(tree, a, TreeRelation::Child), a1);
  EXPECT_EQ(TreeViewGetNextItem(tree, a2, TreeRelation::Parent), a);
  EXPECT_EQ(TreeViewGetNextItem(tree, a2, TreeRelation::Next), kTreeNone);
  // First, after a sibling, and refusals.
  const TreeItem first = TreeViewInsertItem(tree, a, kTreeFirst, "Zero");
  const TreeItem mid = TreeViewInsertItem(tree, a, a1, "Half");
  EXPECT_EQ(TreeViewGetNextItem(tree, a, TreeRelation::Child), first);
  EXPECT_EQ(TreeViewGetNextItem(tree, a1, TreeRelation::Next), mid);
  EXPECT_EQ(TreeViewInsertItem(tree, 999, kTreeLast, "x"), kTreeNone);
  EXPECT_EQ(TreeViewInsertItem(tree, b, a1, "x"), kTreeNone);
  EXPECT_EQ(TreeViewGetItemText(tree, mid), "Half");
  EXPECT_TRUE(TreeViewSetItemText(tree, mid, "Middle"));
  EXPECT_EQ(TreeViewGetItemText(tree, mid), "Middle");
  EXPECT_EQ(TreeViewGetItemData(tree, a2), 102);
  EXPECT_TRUE(TreeViewSetItemData(tree, a2, 7));
  EXPECT_EQ(TreeViewGetItemData(tree, a2), 7);
  // Deleting a branch takes its children and a selection inside it.
  ASSERT_TRUE(TreeViewSelectItem(tree, a2));
  EXPECT_TRUE(TreeViewDeleteItem(tree, a));
  EXPECT_EQ(TreeViewGetCount(tree), 1);
  EXPECT_EQ(TreeViewGetNextItem(tree, kTreeNone, TreeRelation::Selection), kTreeNone);
  EXPECT_FALSE(TreeViewGetItemText(tree, a1).has_value());
  EXPECT_FALSE(TreeViewDeleteItem(tree, a));
  EXPECT_TRUE(TreeViewDeleteItem(tree, kTreeNone));
  EXPECT_EQ(TreeViewGetCount(tree), 0);
  EXPECT_TRUE(Take().empty());  // the program's calls tell nothing
}

TEST_F(TreeViewTest, ExpandCollapseAndSelectByProgram) {
  EXPECT_FALSE(TreeViewIsExpanded(tree, a));
  EXPECT_TRUE(TreeViewGetItemRect(tree, a1).Empty());         // hidden in the closed branch
  EXPECT_FALSE(TreeViewExpand(tree, b, TreeExpand::Expand));  // no children
  EXPECT_TRUE(TreeViewExpand(tree, a, TreeExpand::Expand));
  EXPECT_TRUE(TreeViewIsExpanded(tree, a));
  EXPECT_FALSE(TreeViewGetItemRect(tree, a2).Empty());
  EXPECT_EQ(TreeViewGetNextItem(tree, a, TreeRelation::NextVisible), a1);
  EXPECT_EQ(TreeViewGetNextItem(tree, a2, TreeRelation::NextVisible), b);
  EXPECT_EQ(TreeViewHitTest(tree, RowPoint(a2)), a2);
  EXPECT_TRUE(TreeViewExpand(tree, a, TreeExpand::Toggle));
  EXPECT_FALSE(TreeViewIsExpanded(tree, a));
  // Selecting an item inside a closed branch opens the way to it.
  EXPECT_TRUE(TreeViewSelectItem(tree, a2));
  EXPECT_TRUE(TreeViewIsExpanded(tree, a));
  EXPECT_EQ(TreeViewGetNextItem(tree, kTreeNone, TreeRelation::Selection), a2);
  // Collapsing moves the selection up to the branch.
  TreeViewExpand(tree, a, TreeExpand::Collapse);
  EXPECT_EQ(TreeViewGetNextItem(tree, kTreeNone, TreeRelation::Selection), a);
  EXPECT_FALSE(TreeViewSelectItem(tree, 999));
  EXPECT_TRUE(told.empty());
}

TEST_F(TreeViewTest, MouseAndKeysNotifyTheParent) {
  SetFocus(tree);
  EXPECT_EQ(told, (std::vector<Told>{{kNmSetFocus, kTreeNone, 0}}));
  told.clear();
  harness.Click(tree, RowPoint(b));
  harness.DispatchPending();
  EXPECT_EQ(GetFocus(), tree);
  EXPECT_EQ(told, (std::vector<Told>{{kTvnSelChanged, b, 0}}));
  told.clear();
  // The box before Alpha opens it; the row is not selected by that.
  harness.Click(tree, RowPoint(a, 2 + kTreeIndent / 2));
  harness.DispatchPending();
  EXPECT_TRUE(TreeViewIsExpanded(tree, a));
  EXPECT_EQ(told, (std::vector<Told>{{kTvnItemExpanded, a, 2}}));
  told.clear();
  harness.Key(kVkUp).Key(kVkUp).Key(kVkLeft);  // Beta -> Two -> One -> parent Alpha
  harness.DispatchPending();
  EXPECT_EQ(TreeViewGetNextItem(tree, kTreeNone, TreeRelation::Selection), a);
  EXPECT_EQ(told, (std::vector<Told>{
                      {kTvnSelChanged, a2, 0}, {kTvnSelChanged, a1, 0}, {kTvnSelChanged, a, 0}}));
  told.clear();
  harness.Key(kVkLeft).Key(kVkRight).Key(kVkRight).Key(kVkSubtract);
  harness.DispatchPending();
  EXPECT_EQ(told,
            (std::vector<Told>{
                {kTvnItemExpanded, a, 1}, {kTvnItemExpanded, a, 2}, {kTvnSelChanged, a1, 0}}));
  EXPECT_EQ(TreeViewGetNextItem(tree, kTreeNone, TreeRelation::Selection), a1);
  told.clear();
  // A double click tells NM_DBLCLK and toggles the branch.
  harness.DoubleClick(tree, RowPoint(a));
  harness.DispatchPending();
  EXPECT_FALSE(TreeViewIsExpanded(tree, a));
  ASSERT_GE(told.size(), 2u);
  EXPECT_TRUE((std::find(told.begin(), told.end(), Told{kNmDblClk, a, 0}) != told.end()));
  EXPECT_EQ(told.back(), (Told{kTvnItemExpanded, a, 1}));
}

TEST_F(TreeViewTest, DrawsRowsBoxesAndSelection) {
  TreeViewSelectItem(tree, b);
  // Unfocused with show-selection-always: the selected label on the face colour.
  EXPECT_GT(Count(tree, TreeViewGetItemRect(tree, b), kColourFace), 10);
  SetFocus(tree);
  EXPECT_GT(Count(tree, TreeViewGetItemRect(tree, b), kColourSelection), 10);
  EXPECT_GT(Count(tree, TreeViewGetItemRect(tree, b), kColourSelectionText), 3);
  EXPECT_EQ(Count(tree, TreeViewGetItemRect(tree, a), kColourSelection), 0);
  EXPECT_GT(Count(tree, TreeViewGetItemRect(tree, a), kColourText), 10);
  // The closed branch shows a "+" box: its vertical bar goes when it opens.
  const Rect ra = TreeViewGetItemRect(tree, a);
  const int cx = ra.left + 2 + kTreeIndent / 2;
  const int cy = (ra.top + ra.bottom) / 2;
  EXPECT_EQ(Shown(tree, {cx, cy - 2}), kColourText);
  TreeViewExpand(tree, a, TreeExpand::Expand);
  EXPECT_EQ(Shown(tree, {cx, cy - 2}), kColourWindow);
  EXPECT_EQ(Shown(tree, {cx - 2, cy}), kColourText);
}

}  // namespace
}  // namespace plat::testing
