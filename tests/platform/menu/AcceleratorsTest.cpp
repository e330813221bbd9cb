#include <gtest/gtest.h>

#include <vector>

#include "platform/controls/Controls.h"
#include "platform/menu/Accelerators.h"
#include "platform/testing/Harness.h"
#include "platform/window/VirtualKeys.h"

namespace plat::testing {
namespace {

TEST(AcceleratorsTest, KeysWithTheirModifiersBecomeCommandsForTheTarget) {
  Harness harness;
  std::vector<int> commands;
  RegisterWindowClass({"AccelTarget",
                       [&](Hwnd h, Msg m, WParam w, LParam l) {
                         if (m == Msg::Command) commands.push_back(LowWord(w));
                         return DefWindowProc(h, m, w, l);
                       },
                       0, kColourFace});
  const Hwnd target = CreateWindow({.className = "AccelTarget", .style = kStyleVisible,
                                    .rect = {0, 0, 100, 100}});
  const Accelerator entries[] = {{kAccelControl, 'N', 101},
                                 {kAccelShift, kVkF1 + 1, 102},
                                 {0, kVkF1 + 1, 103}};
  const HAccel a = CreateAcceleratorTable(entries);
  ASSERT_TRUE(IsAcceleratorTable(a));
  EXPECT_EQ(AcceleratorEntries(a).size(), 3u);

  struct Case {
    bool shift, ctrl;
    int key;
    Msg msg;
    int command;
  };
  const Case cases[] = {
      {false, true, 'N', Msg::KeyDown, 101},   {false, false, 'N', Msg::KeyDown, 0},
      {true, true, 'N', Msg::KeyDown, 0},      {true, false, kVkF1 + 1, Msg::KeyDown, 102},
      {false, false, kVkF1 + 1, Msg::KeyDown, 103}, {false, true, 'N', Msg::KeyUp, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key * 10 + c.shift * 2 + c.ctrl);
    harness.Modifiers(c.shift, c.ctrl).KeyDown(c.key);
    harness.DispatchPending();
    Message m;
    m.hwnd = target;
    m.msg = c.msg;
    m.wParam = static_cast<WParam>(c.key);
    commands.clear();
    EXPECT_EQ(TranslateAccelerator(target, a, m), c.command != 0);
    EXPECT_EQ(commands, c.command != 0 ? std::vector<int>{c.command} : std::vector<int>{});
    harness.KeyUp(c.key).Modifiers(false, false);
    harness.DispatchPending();
  }
  // A disabled target takes no commands; a destroyed table matches nothing.
  EnableWindow(target, false);
  Message m{.hwnd = target, .msg = Msg::KeyDown, .wParam = kVkF1 + 1, .lParam = 0, .time = 0, .pt = {}};
  EXPECT_FALSE(TranslateAccelerator(target, a, m));
  EXPECT_TRUE(DestroyAcceleratorTable(a));
  EXPECT_FALSE(DestroyAcceleratorTable(a));
  EXPECT_EQ(AcceleratorCommand(a, m), 0);
}

}  // namespace
}  // namespace plat::testing
