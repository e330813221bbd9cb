// Message order of creation, showing, resizing and destruction.
#include <gtest/gtest.h>

#include "tests/platform/window/Recorder.h"

namespace plat::testing {
namespace {

class MessageOrderTest : public ::testing::Test {
 protected:
  Harness harness;
  Recorder rec;
};

TEST_F(MessageOrderTest, CreationSendsCreateThenSizeThenMove) {
  const Hwnd top = rec.Top("top", {10, 20, 310, 220});
  ASSERT_NE(top, kNoWindow);
  const Hwnd child = rec.Child(top, "child", {5, 6, 55, 46}, 0);
  EXPECT_EQ(rec.log, (Log{"top Create", "top Size", "top Move", "child Create", "child Size",
                          "child Move"}));
  EXPECT_EQ(rec.entries[1].l, MakeLParam(300, 200));
  EXPECT_EQ(rec.entries[2].l, MakeLParam(10, 20));
  EXPECT_EQ(rec.entries[4].l, MakeLParam(50, 40));
  EXPECT_EQ(GetWindowRect(child), (Rect{5, 6, 55, 46}));
  EXPECT_EQ(ClientToScreen(child, {1, 2}), (Point{16, 28}));
  EXPECT_FALSE(IsWindowVisible(top));
}

TEST_F(MessageOrderTest, ClassesAreFoundWithoutRegardToCaseAndProceduresCanBeReplaced) {
  EXPECT_FALSE(RegisterWindowClass({"RECORDER", DefWindowProc, 0, std::nullopt}));
  EXPECT_EQ(CreateWindow({.className = "NoSuchClass"}), kNoWindow);
  const Hwnd top = CreateWindow({.className = "recorder", .title = "top"});
  ASSERT_NE(top, kNoWindow);
  EXPECT_EQ(GetClassName(top), "Recorder");
  std::vector<Msg> seen;
  WindowProc old;
  old = SetWindowProc(top, [&](Hwnd h, Msg m, WParam w, LParam l) -> LResult {
    seen.push_back(m);
    return m == UserMessage(1) ? 7 : old(h, m, w, l);
  });
  rec.Clear();
  EXPECT_EQ(SendMessage(top, UserMessage(1)), 7);
  EXPECT_EQ(SendMessage(top, UserMessage(2)), 0);
  EXPECT_EQ(seen, (std::vector<Msg>{UserMessage(1), UserMessage(2)}));
  EXPECT_EQ(rec.log, (Log{"top User+2"}));
  EXPECT_TRUE(UnregisterWindowClass("RECORDER"));
  EXPECT_EQ(SendMessage(top, UserMessage(2)), 0);  // existing windows keep working
  EXPECT_EQ(CreateWindow({.className = "Recorder"}), kNoWindow);
}

TEST_F(MessageOrderTest, CreateHandlerCanRefuseTheWindow) {
  rec.on[Msg::Create] = [](Hwnd, WParam, LParam) -> LResult { return -1; };
  EXPECT_EQ(rec.Top("refused"), kNoWindow);
  EXPECT_EQ(rec.log, (Log{"refused Create", "refused Destroy"}));
  EXPECT_TRUE(GetTopLevelWindows().empty());
}

TEST_F(MessageOrderTest, ShowingActivatesFocusesAndPaintsLater) {
  const Hwnd top = rec.Top("top");
  rec.Clear();
  ShowWindow(top, ShowCmd::Show);
  EXPECT_EQ(rec.log, (Log{"top ShowWindow", "top Activate", "top SetFocus"}));
  EXPECT_EQ(GetFocus(), top);
  EXPECT_EQ(GetActiveWindow(), top);
  rec.Clear();
  harness.DispatchPending();
  EXPECT_EQ(rec.log, (Log{"top Paint", "top EraseBackground"}));

  rec.Clear();
  const Hwnd visibleAtCreation = rec.Top("second", {0, 0, 50, 50}, kStyleVisible);
  EXPECT_EQ(rec.log, (Log{"second Create", "second Size", "second Move", "second ShowWindow",
                          "top Activate", "second Activate", "top KillFocus", "second SetFocus"}));
  EXPECT_EQ(GetFocus(), visibleAtCreation);
}

// Two windows that each take the focus back when they lose it: the handing
// back and forth ends (a bounded depth) instead of overflowing the stack, and
// the focus rests on one of them.
TEST_F(MessageOrderTest, WindowsThatTakeTheFocusBackDoNotRecurseForEver) {
  const Hwnd a = rec.Top("a", {0, 0, 50, 50}, kStyleVisible);
  const Hwnd b = rec.Top("b", {60, 0, 110, 50}, kStyleVisible);
  int losses = 0;
  rec.on[Msg::KillFocus] = [&](Hwnd h, WParam, LParam) -> LResult {
    ++losses;
    SetFocus(h);
    return 0;
  };
  SetFocus(a);
  EXPECT_GT(losses, 1);
  EXPECT_LT(losses, 100);
  const Hwnd focus = GetFocus();
  EXPECT_TRUE(focus == a || focus == b);
  EXPECT_EQ(GetActiveWindow(), focus);
  rec.on.erase(Msg::KillFocus);
  // Focus changes work as before once the windows let go.
  SetFocus(a);
  EXPECT_EQ(GetFocus(), a);
  SetFocus(b);
  EXPECT_EQ(GetFocus(), b);
  EXPECT_EQ(GetActiveWindow(), b);
}

TEST_F(MessageOrderTest, MoveWindowSendsSizeThenMoveOnlyForWhatChanged) {
  const Hwnd top = rec.Top("top", {0, 0, 100, 100}, kStyleVisible);
  harness.DispatchPending();
  struct Case {
    Rect to;
    Log expected;
  } cases[] = {
      {{0, 0, 200, 150}, {"top Size"}},
      {{10, 10, 210, 160}, {"top Move"}},
      {{0, 0, 50, 50}, {"top Size", "top Move"}},
      {{0, 0, 50, 50}, {}},
  };
  for (const Case& c : cases) {
    rec.Clear();
    MoveWindow(top, c.to);
    EXPECT_EQ(rec.log, c.expected) << c.to.right;
    EXPECT_EQ(GetWindowRect(top), c.to);
    EXPECT_EQ(GetSurface(top)->Width(), c.to.Width());
  }
  EXPECT_EQ(harness.Backend().Window(GetNativeWindow(top))->area, (Rect{0, 0, 50, 50}));
}

TEST_F(MessageOrderTest, WindowManagerResizeSendsSizeAndRepaintsGrownPart) {
  const Hwnd top = rec.Top("top", {100, 100, 300, 200}, kStyleVisible);
  harness.DispatchPending();
  rec.Clear();
  harness.Resize(top, {250, 120});
  harness.DispatchPending();
  EXPECT_EQ(rec.log, (Log{"top Size", "top Paint", "top EraseBackground"}));
  EXPECT_EQ(rec.entries[0].l, MakeLParam(250, 120));
  EXPECT_EQ(GetWindowRect(top), (Rect{100, 100, 350, 220}));
  EXPECT_EQ(GetSurface(top)->Width(), 250);
}

TEST_F(MessageOrderTest, DestroyGoesToTheWindowFirstThenToChildrenWhileTheyExist) {
  const Hwnd top = rec.Top("top", {0, 0, 200, 200}, kStyleVisible);
  const Hwnd a = rec.Child(top, "a", {0, 0, 100, 100});
  const Hwnd a1 = rec.Child(a, "a1", {0, 0, 10, 10});
  const Hwnd b = rec.Child(top, "b", {100, 0, 200, 100});
  const Hwnd owned = CreateWindow(
      {.className = "Recorder", .title = "owned", .rect = {0, 0, 10, 10}, .owner = a1});
  std::vector<bool> allAlive;
  rec.on[Msg::Destroy] = [&](Hwnd, WParam, LParam) -> LResult {
    allAlive.push_back(IsWindow(top) && IsWindow(a) && IsWindow(a1) && IsWindow(b));
    return 0;
  };
  rec.Clear();
  EXPECT_TRUE(DestroyWindow(top));
  EXPECT_EQ(rec.Only(Msg::Destroy),
            (Log{"owned Destroy", "top Destroy", "a Destroy", "a1 Destroy", "b Destroy"}));
  EXPECT_EQ(allAlive, (std::vector<bool>{true, true, true, true, true}));
  for (Hwnd h : {top, a, a1, b, owned}) EXPECT_FALSE(IsWindow(h));
  EXPECT_EQ(GetFocus(), kNoWindow);
  EXPECT_FALSE(DestroyWindow(top));
}

TEST_F(MessageOrderTest, CloseDestroysByDefaultAndEndsTheLoop) {
  const Hwnd top = rec.Top("top", {0, 0, 100, 100}, kStyleVisible);
  rec.on[Msg::Destroy] = [](Hwnd, WParam, LParam) -> LResult {
    PostQuitMessage(3);
    return 0;
  };
  harness.Close(top);
  Message m;
  while (GetMessage(m)) DispatchMessage(m);
  EXPECT_EQ(m.msg, Msg::Quit);
  EXPECT_EQ(m.wParam, 3u);
  EXPECT_FALSE(IsWindow(top));
  EXPECT_EQ(harness.Backend().Window(1), nullptr);
}

}  // namespace
}  // namespace plat::testing
