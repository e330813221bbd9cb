// Up-down, trackbar, progress bar and tab control.
#include "tests/platform/controls/ControlFixture.h"

namespace plat::testing {
namespace {

using CommonControlsTest = ControlTest;

TEST_F(CommonControlsTest, UpDownStepsWithinItsRangeAndUpdatesTheBuddy) {
  const Hwnd edit = Make(kEditClass, "", kWsBorder, {10, 10, 80, 31}, 11);
  const Hwnd spin =
      Make(kUpDownClass, "", kUdsAutoBuddy | kUdsAlignRight | kUdsSetBuddyInt, {0, 0, 16, 10}, 12);
  EXPECT_EQ(UpDownGetBuddy(spin), edit);
  EXPECT_EQ(GetWindowRect(spin), (Rect{80, 10, 96, 31}));
  UpDownSetRange(spin, 0, 2);
  UpDownSetPos(spin, 1);
  EXPECT_EQ(GetWindowText(edit), "1");
  Take();
  harness.Click(spin, {8, 3}).Click(spin, {8, 3}).Click(spin, {8, 18});
  harness.DispatchPending();
  EXPECT_EQ(UpDownGetPos(spin), 1);
  EXPECT_EQ(GetWindowText(edit), "1");
  std::vector<Note> want = {
      {Msg::Notify, 12, kUdnDeltaPos},     {Msg::VScroll, kSbThumbPosition, 2},
      {Msg::VScroll, kSbEndScroll, 2},     {Msg::Notify, 12, kUdnDeltaPos},
      {Msg::VScroll, kSbEndScroll, 2},     {Msg::Notify, 12, kUdnDeltaPos},
      {Msg::VScroll, kSbThumbPosition, 1}, {Msg::VScroll, kSbEndScroll, 1}};
  std::vector<Note> got = Take();
  std::erase_if(got, [](const Note& n) { return n.msg == Msg::Command; });  // the edit's EN_CHANGE
  EXPECT_EQ(got, want);
  // The parent may refuse a step.
  onNotify = [](NotifyHeader* hdr) -> LResult { return hdr->code == kUdnDeltaPos ? 1 : 0; };
  harness.Click(spin, {8, 3});
  harness.DispatchPending();
  EXPECT_EQ(UpDownGetPos(spin), 1);
}

TEST_F(CommonControlsTest, TrackbarKeysMouseAndNotifications) {
  const Hwnd tb =
      Make(kTrackbarClass, "", kTbsAutoTicks, {10, 10, 227, 40}, 13);  // a channel of 200 pixels
  TrackbarSetRange(tb, 0, 200);
  TrackbarSetPageSize(tb, 50);
  TrackbarSetPos(tb, 300);
  EXPECT_EQ(TrackbarGetPos(tb), 200);  // kept in range
  TrackbarSetPos(tb, 100);
  SetFocus(tb);
  harness.Key(kVkRight).Key(kVkPrior).Key(kVkEnd);
  harness.DispatchPending();
  EXPECT_EQ(TrackbarGetPos(tb), 200);
  EXPECT_EQ(Take(), (std::vector<Note>{{Msg::HScroll, kSbLineDown, 101},
                                       {Msg::HScroll, kSbEndScroll, 101},
                                       {Msg::HScroll, kSbPageUp, 51},
                                       {Msg::HScroll, kSbEndScroll, 51},
                                       {Msg::HScroll, kSbBottom, 200},
                                       {Msg::HScroll, kSbEndScroll, 200}}));
  // Dragging the thumb to the channel's middle.
  harness.Drag(tb, {208, 15}, {108, 15});
  harness.DispatchPending();
  EXPECT_EQ(TrackbarGetPos(tb), 100);
  const std::vector<Note> n = Take();
  ASSERT_GE(n.size(), 3u);
  EXPECT_EQ(n[0].id, kSbThumbTrack);
  EXPECT_EQ(n[n.size() - 2], (Note{Msg::HScroll, kSbThumbPosition, 100}));
  EXPECT_EQ(n.back(), (Note{Msg::HScroll, kSbEndScroll, 100}));
  TrackbarSetSel(tb, 150, 20);
  EXPECT_FALSE(TrackbarGetSel(tb).has_value());
  TrackbarSetSel(tb, 20, 150);
  EXPECT_EQ(TrackbarGetSel(tb), (std::pair{20, 150}));
}

TEST_F(CommonControlsTest, ProgressBarFillsInProportion) {
  const Hwnd pb = Make(kProgressClass, "", kPbsSmooth, {10, 10, 114, 30}, 14);
  EXPECT_EQ(ProgressGetRange(pb), (std::pair{0, 100}));
  EXPECT_EQ(ProgressSetPos(pb, 50), 0);
  EXPECT_EQ(Count(pb, {2, 2, 102, 18}, kColourSelection), 50 * 16);
  EXPECT_EQ(ProgressDeltaPos(pb, 100), 50);
  EXPECT_EQ(ProgressGetPos(pb), 100);
  EXPECT_EQ(Count(pb, {2, 2, 102, 18}, kColourSelection), 100 * 16);
  ProgressSetStep(pb, 30);
  ProgressStepIt(pb);  // past the end wraps round
  EXPECT_EQ(ProgressGetPos(pb), 30);
  ProgressSetRange(pb, 10, 20);
  EXPECT_EQ(ProgressGetPos(pb), 20);
}

TEST_F(CommonControlsTest, TabClicksAskTheParentAndTellIt) {
  const Hwnd tab = Make(kTabClass, "", 0, {10, 10, 300, 200}, 15);
  EXPECT_EQ(TabInsertItem(tab, 0, "Display", 101), 0);
  EXPECT_EQ(TabInsertItem(tab, 5, "Scaling", 102), 1);
  EXPECT_EQ(TabInsertItem(tab, 2, "Axes", 103), 2);
  EXPECT_EQ(TabGetCurSel(tab), 0);
  const Rect second = TabGetItemRect(tab, 1);
  const Point inSecond{(second.left + second.right) / 2, (second.top + second.bottom) / 2};
  EXPECT_EQ(TabHitTest(tab, inSecond), 1);
  harness.Click(tab, inSecond);
  harness.DispatchPending();
  EXPECT_EQ(TabGetCurSel(tab), 1);
  EXPECT_EQ(Take(), (std::vector<Note>{{Msg::Notify, 15, kTcnSelChanging},
                                       {Msg::Notify, 15, kTcnSelChange}}));
  onNotify = [](NotifyHeader* hdr) -> LResult { return hdr->code == kTcnSelChanging ? 1 : 0; };
  harness.Key(kVkRight);
  harness.DispatchPending();
  EXPECT_EQ(TabGetCurSel(tab), 1);  // refused
  EXPECT_EQ(TabSetCurSel(tab, 2), 1);
  EXPECT_EQ(TabGetItemData(tab, 2), 103);
  EXPECT_TRUE(TabDeleteItem(tab, 0));
  EXPECT_EQ(TabGetCurSel(tab), 1);
  const Rect page = TabAdjustRect(tab, false, GetClientRect(tab));
  EXPECT_EQ(TabAdjustRect(tab, true, page), GetClientRect(tab));
  EXPECT_GT(page.top, second.bottom);
}

TEST_F(CommonControlsTest, ScrollBarTellsTheParentAndDragsItsThumb) {
  const Hwnd sb = Make(kScrollBarClass, "", kSbsVert, {10, 10, 26, 226}, 16);
  ScrollBarSetRange(sb, 0, 109, 10);  // 100 positions for a page of 10
  EXPECT_EQ(ScrollBarSetPos(sb, 500), 0);
  EXPECT_EQ(ScrollBarGetPos(sb), 100);
  ScrollBarSetPos(sb, 0);
  harness.Click(sb, {8, 5}).Click(sb, {8, 210}).Click(sb, {8, 150});
  harness.DispatchPending();
  EXPECT_EQ(Take(), (std::vector<Note>{{Msg::VScroll, kSbLineUp, 0},
                                       {Msg::VScroll, kSbEndScroll, 0},
                                       {Msg::VScroll, kSbLineDown, 0},
                                       {Msg::VScroll, kSbEndScroll, 0},
                                       {Msg::VScroll, kSbPageDown, 0},
                                       {Msg::VScroll, kSbEndScroll, 0}}));
  EXPECT_EQ(ScrollBarGetPos(sb), 0);  // the parent moves it
  // The thumb (18 pixels at the top of the track) dragged to the far end.
  harness.Drag(sb, {8, 24}, {8, 300});
  harness.DispatchPending();
  const std::vector<Note> n = Take();
  ASSERT_GE(n.size(), 3u);
  EXPECT_EQ(n[0].id, kSbThumbTrack);
  EXPECT_EQ(n[n.size() - 2], (Note{Msg::VScroll, kSbThumbPosition, 100}));
  EXPECT_EQ(n.back(), (Note{Msg::VScroll, kSbEndScroll, 0}));
}

TEST_F(CommonControlsTest, ListBoxScrollBarArrowsScroll) {
  const Hwnd l = Make(kListBoxClass, "", kWsBorder | kWsVScroll, {10, 10, 150, 80}, 17);
  for (int i = 0; i < 20; ++i) ListBoxAddString(l, "item " + std::to_string(i));
  const Rect c = GetClientRect(l);
  harness.Click(l, {c.right - 8, c.bottom - 6}).Click(l, {c.right - 8, c.bottom - 6});
  harness.DispatchPending();
  EXPECT_EQ(ListBoxGetTopIndex(l), 2);
  harness.Click(l, {c.right - 8, 6});
  harness.DispatchPending();
  EXPECT_EQ(ListBoxGetTopIndex(l), 1);
  EXPECT_EQ(ListBoxGetCurSel(l), kListError);  // scrolling selects nothing
}

}  // namespace
}  // namespace plat::testing
