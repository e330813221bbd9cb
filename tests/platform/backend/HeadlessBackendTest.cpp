// The headless backend: screen size, virtual clock, scripted input, presenting.
#include <gtest/gtest.h>

#include "platform/backend/headless/HeadlessBackend.h"

namespace plat {
namespace {

TEST(HeadlessBackendTest, ScreenIsConfigurableAndDefaultsToFullHd) {
  const auto made = MakeHeadlessBackend();
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(made->Name(), "headless");
  EXPECT_EQ(made->ScreenSize(), (Size{1920, 1080}));
  HeadlessBackend small({640, 480});
  EXPECT_EQ(small.ScreenSize(), (Size{640, 480}));
}

TEST(HeadlessBackendTest, ClockMovesOnlyWhenAWaitFindsNothingDue) {
  HeadlessBackend b;
  InputEvent ev;
  EXPECT_FALSE(b.CanWait());
  EXPECT_FALSE(b.NextEvent(ev, -1));  // never blocks
  EXPECT_EQ(b.NowMs(), 0u);
  EXPECT_FALSE(b.NextEvent(ev, 50));
  EXPECT_EQ(b.NowMs(), 50u);

  const NativeWindow w = b.CreateWindow({100, 100, 200, 200}, "w");
  InputEvent move;
  move.kind = InputEvent::Kind::MouseMove;
  move.window = w;
  move.pos = {3, 4};
  b.Push(move, 30);  // due at 80
  b.Push(move);      // due with it
  EXPECT_TRUE(b.CanWait());
  EXPECT_FALSE(b.NextEvent(ev, 0));
  EXPECT_FALSE(b.NextEvent(ev, 10));
  EXPECT_EQ(b.NowMs(), 60u);
  ASSERT_TRUE(b.NextEvent(ev, 100));
  EXPECT_EQ(b.NowMs(), 80u);
  EXPECT_EQ(b.CursorPos(), (Point{103, 104}));
  ASSERT_TRUE(b.NextEvent(ev, 0));
  EXPECT_FALSE(b.CanWait());
}

TEST(HeadlessBackendTest, PresentCopiesOnlyTheGivenArea) {
  HeadlessBackend b;
  const NativeWindow w = b.CreateWindow({0, 0, 4, 3}, "w");
  Surface s(4, 3, Rgb(1, 2, 3));
  b.Present(w, s, {1, 1, 3, 2});
  const HeadlessBackend::NativeState* st = b.Window(w);
  ASSERT_NE(st, nullptr);
  EXPECT_EQ(st->shown.Get(1, 1), Rgb(1, 2, 3));
  EXPECT_EQ(st->shown.Get(2, 1), Rgb(1, 2, 3));
  EXPECT_EQ(st->shown.Get(0, 1), Rgb(255, 255, 255));
  EXPECT_EQ(st->shown.Get(1, 2), Rgb(255, 255, 255));
  EXPECT_EQ(st->presents, 1);
  b.DestroyWindow(w);
  EXPECT_EQ(b.Window(w), nullptr);
}

}  // namespace
}  // namespace plat
