// The header control, a window's own scroll bars, scrolling a window's
// contents, painting a control into a surface, and named messages.
#include "tests/platform/controls/ControlFixture.h"

namespace plat::testing {
namespace {

using HeaderTest = ControlTest;

TEST_F(HeaderTest, ItemsClickLikeButtonsAndTheParentMayRefuseADividerDrag) {
  const Hwnd h = Make(kHeaderClass, "", kHdsButtons, {0, 0, 300, 20}, 7);
  EXPECT_EQ(HeaderInsertItem(h, 0, {"Number", 60, HeaderAlign::Centre}), 0);
  EXPECT_EQ(HeaderInsertItem(h, 5, {"Easting", 80, HeaderAlign::Left}), 1);
  EXPECT_EQ(HeaderInsertItem(h, 0, {"", 10, HeaderAlign::Left}), 0);
  ASSERT_EQ(HeaderItemCount(h), 3);
  EXPECT_EQ(HeaderGetItem(h, 1)->text, "Number");
  EXPECT_FALSE(HeaderGetItem(h, 3).has_value());
  EXPECT_GT(Count(h, {10, 0, 70, 20}, kColourText), 5);  // the caption shows
  // A click inside an item.
  harness.Click(h, {40, 10});
  harness.DispatchPending();
  EXPECT_EQ(Take(), (std::vector<Note>{{Msg::Notify, 7, kHdnItemClick}}));
  // A refused drag of the divider at the right of item 1 changes nothing.
  onNotify = [](NotifyHeader* n) -> LResult { return n->code == kHdnBeginTrack ? 1 : 0; };
  harness.Drag(h, {70, 10}, {110, 10});
  harness.DispatchPending();
  EXPECT_EQ(HeaderGetItem(h, 1)->width, 60);
  EXPECT_EQ(Take(), (std::vector<Note>{{Msg::Notify, 7, kHdnBeginTrack}}));
  // An accepted one follows the pointer.
  onNotify = nullptr;
  harness.Drag(h, {70, 10}, {110, 10});
  harness.DispatchPending();
  EXPECT_EQ(HeaderGetItem(h, 1)->width, 100);
  EXPECT_EQ(Take().back(), (Note{Msg::Notify, 7, kHdnEndTrack}));
  EXPECT_TRUE(HeaderSetItem(h, 2, {"East", 30, HeaderAlign::Right}));
  EXPECT_EQ(HeaderGetItem(h, 2)->width, 30);
}

TEST_F(HeaderTest, AWindowsOwnScrollBarsAreDisabledWhenNothingScrolls) {
  const Hwnd w = Make(kStaticClass, "", kWsVScroll | kWsHScroll, {0, 0, 200, 100}, 3);
  PlaceWindowScrollBars(w);
  const Hwnd v = WindowScrollBar(w, true);
  ASSERT_NE(v, kNoWindow);
  ASSERT_NE(WindowScrollBar(w, false), kNoWindow);
  EXPECT_EQ(ClientInsideScrollBars(w), (Rect{0, 0, 200 - kWindowScrollBarSize, 100 - kWindowScrollBarSize}));
  EXPECT_FALSE(IsWindowEnabled(v));
  SetWindowScrollInfo(w, true, 0, 99, 10, 95);
  EXPECT_TRUE(IsWindowEnabled(v));
  const WindowScrollInfo i = GetWindowScrollInfo(w, true);
  EXPECT_EQ(i.max, 99);
  EXPECT_EQ(i.page, 10);
  EXPECT_EQ(i.pos, 90);  // a page still fits
  SetWindowScrollInfo(w, true, 0, 9, 10, 0);
  EXPECT_FALSE(IsWindowEnabled(v));
  EXPECT_TRUE(IsShown(v));
  // Its messages come as the window's own: no control with them.
  std::vector<LParam> controls;
  SetWindowProc(w, [&](Hwnd h, Msg m, WParam wp, LParam l) {
    if (m == Msg::VScroll) controls.push_back(l);
    return DefWindowProc(h, m, wp, l);
  });
  SetWindowScrollInfo(w, true, 0, 99, 10, 0);
  harness.Click(v, {8, 90 - kWindowScrollBarSize - 2});
  harness.DispatchPending();
  ASSERT_FALSE(controls.empty());
  for (LParam l : controls) EXPECT_EQ(l, 0);
}

TEST_F(HeaderTest, ScrollingContentsMovesPixelsAndChildrenAndInvalidatesTheStrip) {
  const Hwnd w = Make(kStaticClass, "", 0, {0, 0, 100, 100}, 3);
  const Hwnd child = Make(kStaticClass, "", 0, {0, 0, 10, 10}, 4);
  SetParent(child, w);
  MoveWindow(child, {5, 50, 15, 60});
  harness.DispatchPending();
  Surface* s = GetSurface(w);
  const Point o = GetDrawContext(w).origin;
  s->Set(o.x + 30, o.y + 40, Rgb(1, 2, 3));
  ValidateRect(w);
  ScrollWindowContents(w, 0, -20);
  EXPECT_EQ(s->Get(o.x + 30, o.y + 20), Rgb(1, 2, 3));
  EXPECT_EQ(GetWindowRect(child), (Rect{5, 30, 15, 40}));
  EXPECT_EQ(GetUpdateRect(w), (Rect{0, 80, 100, 100}));
}

TEST_F(HeaderTest, AControlPaintsIntoASurfaceAndNamedMessagesKeepTheirNumber) {
  const Hwnd box = Make(kButtonClass, "", kBsAutoCheckBox, {0, 0, 40, 20}, 5);
  ShowWindow(box, ShowCmd::Hide);
  Surface off, on;
  ASSERT_TRUE(PaintInto(box, off));
  ButtonSetCheck(box, kChecked);
  ASSERT_TRUE(PaintInto(box, on));
  EXPECT_EQ(off.Width(), 40);
  EXPECT_EQ(off.Height(), 20);
  EXPECT_NE(off, on);
  const Msg a = RegisterWindowMessage("GM_CELLCHANGE");
  EXPECT_GE(ToInt(a), 0xC000u);
  EXPECT_EQ(RegisterWindowMessage("gm_cellchange"), a);
  EXPECT_NE(RegisterWindowMessage("GM_OTHER"), a);
}

}  // namespace
}  // namespace plat::testing
