// The message queue: paint generation, filters, message time and position,
// timers, modal loops and starvation.
#include <gtest/gtest.h>

#include "platform/window/VirtualKeys.h"
#include "tests/platform/window/Recorder.h"

namespace plat::testing {
namespace {

class QueueTest : public ::testing::Test {
 protected:
  Harness harness;
  Recorder rec;
};

TEST_F(QueueTest, NoPaintAfterValidatingRightAfterShowing) {
  const Hwnd top = rec.Top("top", {0, 0, 100, 100}, kStyleVisible);
  const Hwnd child = rec.Child(top, "child", {10, 10, 30, 30});
  ValidateRect(top);
  ValidateRect(child);
  rec.Clear();
  EXPECT_EQ(harness.DispatchPending(), 0);
  EXPECT_TRUE(rec.log.empty());
}

TEST_F(QueueTest, PaintIsMadeOnlyWhenNothingElseWaitsAndParentsComeFirst) {
  const Hwnd top = rec.Top("top", {0, 0, 100, 100}, kStyleVisible);
  const Hwnd child = rec.Child(top, "child", {10, 10, 30, 30});
  PostMessage(child, UserMessage(1));
  Message m;
  ASSERT_TRUE(GetMessage(m));
  EXPECT_EQ(m.msg, UserMessage(1));
  // Paint is not removed by taking it: it stays until validated.
  ASSERT_TRUE(PeekMessage(m, kNoWindow, Msg::Null, Msg::Null, PeekMode::Remove));
  EXPECT_EQ(m.hwnd, top);
  EXPECT_EQ(m.msg, Msg::Paint);
  ASSERT_TRUE(GetMessage(m));
  EXPECT_EQ(m.hwnd, top);
  DispatchMessage(m);
  ASSERT_TRUE(GetMessage(m));
  EXPECT_EQ(m.hwnd, child);
  EXPECT_EQ(m.msg, Msg::Paint);
  DispatchMessage(m);
  EXPECT_FALSE(PeekMessage(m, kNoWindow, Msg::Null, Msg::Null, PeekMode::Keep));
}

TEST_F(QueueTest, InvalidatingAParentInvalidatesTheChildrenItCovers) {
  const Hwnd top = rec.Top("top", {0, 0, 100, 100}, kStyleVisible);
  const Hwnd child = rec.Child(top, "child", {10, 10, 30, 30});
  harness.DispatchPending();
  InvalidateRect(top, Rect{0, 0, 15, 15}, false);
  EXPECT_EQ(GetUpdateRect(top), (Rect{0, 0, 15, 15}));
  EXPECT_EQ(GetUpdateRect(child), (Rect{0, 0, 5, 5}));
  ValidateRect(top, Rect{0, 0, 15, 5});  // a full-width strip comes off
  EXPECT_EQ(GetUpdateRect(top), (Rect{0, 5, 15, 15}));
  rec.Clear();
  UpdateWindow(child);
  EXPECT_EQ(rec.log, (Log{"child Paint"}));
  EXPECT_TRUE(GetUpdateRect(child).Empty());
}

TEST_F(QueueTest, PaintDrawsIntoTheTopLevelSurfaceClippedAndIsPresented) {
  const Hwnd top = rec.Top("top", {0, 0, 100, 100}, kStyleVisible);
  // The child pokes out of the top-level window on the right.
  const Hwnd child = rec.Child(top, "child", {90, 10, 130, 30});
  rec.on[Msg::Paint] = [&](Hwnd h, WParam, LParam) -> LResult {
    const PaintContext ctx = BeginPaint(h);
    if (h == child) {
      EXPECT_EQ(ctx.origin, (Point{90, 10}));
      EXPECT_EQ(ctx.clip, (Rect{0, 0, 10, 20}));
      for (int y = ctx.clip.top; y < ctx.clip.bottom; ++y)
        for (int x = ctx.clip.left; x < ctx.clip.right; ++x)
          ctx.surface->Set(ctx.origin.x + x, ctx.origin.y + y, Rgb(255, 0, 0));
    }
    EndPaint(h, ctx);
    return 0;
  };
  harness.DispatchPending();
  const Surface* shown = harness.Shown(top);
  ASSERT_NE(shown, nullptr);
  EXPECT_EQ(shown->Get(95, 15), Rgb(255, 0, 0));
  EXPECT_EQ(shown->Get(85, 15), Rgb(255, 255, 255));
  EXPECT_EQ(*shown, *GetSurface(top));
}

TEST_F(QueueTest, HiddenWindowsArePaintedWhenShownAndExposuresNeedNoPaint) {
  const Hwnd top = rec.Top("top", {0, 0, 100, 100});
  InvalidateRect(top, std::nullopt, true);
  EXPECT_EQ(harness.DispatchPending(), 0);
  ShowWindow(top, ShowCmd::ShowNoActivate);
  EXPECT_EQ(GetActiveWindow(), kNoWindow);
  harness.DispatchPending();
  EXPECT_EQ(rec.Only(Msg::Paint), (Log{"top Paint"}));
  // The window manager shows part of the window again: the backing surface
  // has the picture, so it is presented without a paint message.
  const int presents = harness.Backend().Window(GetNativeWindow(top))->presents;
  InputEvent expose;
  expose.kind = InputEvent::Kind::Expose;
  expose.window = GetNativeWindow(top);
  expose.rect = {0, 0, 10, 10};
  harness.Backend().Push(expose);
  rec.Clear();
  harness.DispatchPending();
  EXPECT_TRUE(rec.log.empty());
  EXPECT_EQ(harness.Backend().Window(GetNativeWindow(top))->presents, presents + 1);
}

TEST_F(QueueTest, PeekFiltersByWindowAndRangeWithAndWithoutRemoving) {
  const Hwnd top = rec.Top("top", {0, 0, 100, 100});
  const Hwnd a = rec.Child(top, "a", {0, 0, 10, 10});
  const Hwnd b = rec.Child(top, "b", {10, 0, 20, 10});
  PostMessage(a, UserMessage(1), 11);
  PostMessage(b, UserMessage(2), 22);
  PostMessage(a, UserMessage(3), 33);
  PostQuitMessage(0);
  Message m;
  struct Case {
    Hwnd filter;
    Msg first, last;
    PeekMode mode;
    bool found;
    WParam w;
  } cases[] = {
      {b, Msg::Null, Msg::Null, PeekMode::Keep, true, 22},
      {a, UserMessage(2), UserMessage(3), PeekMode::Keep, true, 33},
      {a, UserMessage(3), UserMessage(3), PeekMode::Remove, true, 33},
      {a, UserMessage(3), UserMessage(3), PeekMode::Remove, false, 0},
      {top, Msg::Null, Msg::Null, PeekMode::Remove, true, 11},  // descendants count
      {a, Msg::Null, Msg::Null, PeekMode::Keep, true, 0},       // Quit ends every full read
      {a, Msg::Null, Msg::Quit, PeekMode::Keep, false, 0},
      {kNoWindow, Msg::Null, Msg::Null, PeekMode::Remove, true, 22},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.w);
    ASSERT_EQ(PeekMessage(m, c.filter, c.first, c.last, c.mode), c.found);
    if (c.found) {
      EXPECT_EQ(m.wParam, c.w);
    }
  }
  EXPECT_FALSE(GetMessage(m));
  EXPECT_EQ(m.msg, Msg::Quit);
}

TEST_F(QueueTest, MessagesCarryTheirPostingTimeAndCursorPosition) {
  const Hwnd top = rec.Top("top", {100, 50, 300, 250}, kStyleVisible);
  harness.MouseMove(top, {7, 9});
  harness.DispatchPending();
  harness.Backend().Advance(250);
  PostMessage(top, UserMessage(1));
  harness.Backend().Advance(100);
  Message m;
  ASSERT_TRUE(GetMessage(m));
  EXPECT_EQ(m.msg, UserMessage(1));
  EXPECT_EQ(m.time, 250u);
  EXPECT_EQ(m.pt, (Point{107, 59}));
  EXPECT_EQ(GetMessageTime(), 250u);
  EXPECT_EQ(GetMessagePos(), (Point{107, 59}));
  EXPECT_EQ(NowMs(), 350u);
}

TEST_F(QueueTest, TimerKilledAfterItsFirstTickFiresOnce) {
  const Hwnd top = rec.Top("top", {0, 0, 100, 100});
  int ticks = 0, repeats = 0;
  rec.on[Msg::Timer] = [&](Hwnd h, WParam id, LParam) -> LResult {
    if (id == 1) {
      ++ticks;
      KillTimer(h, 1);
    } else if (id == 2) {
      ++repeats;
    } else {
      PostQuitMessage(0);
    }
    return 0;
  };
  ASSERT_TRUE(SetTimer(top, 1, 10));
  ASSERT_TRUE(SetTimer(top, 2, 30));
  ASSERT_TRUE(SetTimer(top, 3, 100));
  Message m;
  while (GetMessage(m)) DispatchMessage(m);
  EXPECT_EQ(ticks, 1);
  EXPECT_EQ(repeats, 3);
  EXPECT_EQ(NowMs(), 100u);
  EXPECT_FALSE(KillTimer(top, 1));
}

TEST_F(QueueTest, NestedModalLoopsEndInnerFirst) {
  const Hwnd outer = rec.Top("outer", {0, 0, 100, 100});
  const Hwnd inner = rec.Top("inner", {0, 0, 50, 50});
  std::vector<std::string> ended;
  rec.on[UserMessage(1)] = [&](Hwnd, WParam, LParam) -> LResult {
    PostMessage(inner, UserMessage(2));
    const int r = RunModalLoop(inner);
    ended.push_back("inner " + std::to_string(r));
    return 0;
  };
  rec.on[UserMessage(2)] = [&](Hwnd, WParam, LParam) -> LResult {
    EXPECT_EQ(ModalDepth(), 2);
    EXPECT_TRUE(EndModalLoop(outer, 1));  // the outer loop is asked to end first
    PostMessage(inner, UserMessage(3));
    return 0;
  };
  rec.on[UserMessage(3)] = [&](Hwnd, WParam, LParam) -> LResult {
    EXPECT_TRUE(EndModalLoop(inner, 2));
    return 0;
  };
  PostMessage(outer, UserMessage(1));
  const int r = RunModalLoop(outer);
  ended.push_back("outer " + std::to_string(r));
  EXPECT_EQ(ended, (std::vector<std::string>{"inner 2", "outer 1"}));
  EXPECT_EQ(ModalDepth(), 0);
  EXPECT_FALSE(EndModalLoop(outer, 0));
}

TEST_F(QueueTest, QuitOrDestructionEndsModalLoops) {
  const Hwnd outer = rec.Top("outer", {0, 0, 100, 100});
  const Hwnd inner = rec.Top("inner", {0, 0, 50, 50});
  rec.on[UserMessage(1)] = [&](Hwnd, WParam, LParam) -> LResult {
    PostQuitMessage(4);
    EXPECT_EQ(RunModalLoop(inner), -1);
    return 0;
  };
  PostMessage(outer, UserMessage(1));
  EXPECT_EQ(RunModalLoop(outer), -1);
  Message m;
  EXPECT_FALSE(GetMessage(m));  // the Quit is passed on to the main loop
  EXPECT_EQ(m.wParam, 4u);

  PostMessage(inner, UserMessage(5));
  rec.on[UserMessage(5)] = [&](Hwnd h, WParam, LParam) -> LResult {
    DestroyWindow(h);
    return 0;
  };
  EXPECT_EQ(RunModalLoop(inner), -1);
}

TEST_F(QueueTest, StarvedWaitCallsTheHandlerAndReturnsFalse) {
  int calls = 0;
  StarvationHandler previous = SetStarvationHandler([&] { ++calls; });
  const Hwnd top = rec.Top("top", {0, 0, 100, 100}, kStyleVisible);
  harness.DispatchPending();
  Message m;
  EXPECT_FALSE(GetMessage(m));
  EXPECT_EQ(m.msg, Msg::Quit);
  EXPECT_EQ(m.wParam, 1u);
  EXPECT_EQ(calls, 1);
  // A running timer is something to wait for: no starvation.
  SetTimer(top, 7, 40);
  ASSERT_TRUE(GetMessage(m));
  EXPECT_EQ(m.msg, Msg::Timer);
  EXPECT_EQ(calls, 1);
  // A modal loop that starves ends, and so does the loop around it.
  KillTimer(top, 7);
  EXPECT_EQ(RunModalLoop(top), -1);
  EXPECT_EQ(calls, 2);
  EXPECT_FALSE(GetMessage(m));
  EXPECT_EQ(calls, 2);
  SetStarvationHandler(std::move(previous));
}

}  // namespace
}  // namespace plat::testing
