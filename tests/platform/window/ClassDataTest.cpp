// What controls need of the window system: extra data per window, style
// changes after creation and the SetText message.
#include <gtest/gtest.h>

#include "platform/testing/Harness.h"

namespace plat::testing {
namespace {

struct Counter : WindowExtra {
  explicit Counter(int* alive) : alive(alive) { ++*alive; }
  ~Counter() override { --*alive; }
  int* alive;
};

TEST(ClassDataTest, ExtraDataLivesWithItsWindow) {
  Harness harness;
  int setTexts = 0;
  RegisterWindowClass({"Plain",
                       [&](Hwnd h, Msg m, WParam w, LParam l) -> LResult {
                         if (m == Msg::SetText) ++setTexts;
                         return DefWindowProc(h, m, w, l);
                       },
                       0, std::nullopt});
  const Hwnd top = CreateWindow({.className = "Plain", .rect = {0, 0, 50, 50}});
  const Hwnd kid = CreateWindow({.className = "Plain",
                                 .style = kStyleChild | 0x1234u,
                                 .rect = {0, 0, 10, 10},
                                 .parent = top});
  int alive = 0;
  SetWindowExtra(kid, std::make_unique<Counter>(&alive));
  EXPECT_EQ(alive, 1);
  EXPECT_NE(dynamic_cast<Counter*>(GetWindowExtra(kid)), nullptr);
  EXPECT_EQ(GetWindowExtra(top), nullptr);

  SetStyle(kid, 0x00020000u | 0x0005u | kStylePopup);  // child and pop-up bits stay
  EXPECT_EQ(GetStyle(kid) & 0xFFFFFFu, 0x00020005u);
  EXPECT_NE(GetStyle(kid) & kStyleChild, 0u);
  EXPECT_EQ(GetStyle(kid) & kStylePopup, 0u);

  SetWindowText(kid, "text");
  EXPECT_EQ(setTexts, 1);
  DestroyWindow(top);
  EXPECT_EQ(alive, 0);
}

}  // namespace
}  // namespace plat::testing
