// The real event loop on the headless window system: scripted input in,
// event records out.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "platform/window/VirtualKeys.h"
#include "platform/controls/Controls.h"
#include "platform/window/Window.h"
#include "tests/toolkit/core/WindowTestSupport.h"
#include "toolkit/core/WindowUnits.h"

namespace tk {
namespace {

using testing::ToolkitWindowTest;

/// Window units of client pixel P across 800 x 600 (the test window).
int Ux(int p) {
  return PixelToUnit(p, 800);
}
int Uy(int p) {
  return PixelToUnit(p, 600);
}

class EventLoopTest : public ToolkitWindowTest {};

TEST_F(EventLoopTest, AWaitInsideAProcedureLeavesTheOuterWaitItsOwnEvent) {
  // A procedure reached from a poll runs a wait of its own (a command with a
  // dialog) that takes the menu event posted for it.
  static int inner = 0;
  inner = 0;
  plat::RegisterWindowClass({"NestedWaitHost",
                             [](plat::Hwnd h, plat::Msg m, plat::WParam w, plat::LParam l) {
                               if (m == plat::UserMessage(7)) {
                                 int type = 0;
                                 EventRecord r;
                                 WEventPeek(type, r);
                                 inner = type;
                                 return plat::LResult{0};
                               }
                               return plat::DefWindowProc(h, m, w, l);
                             },
                             0, plat::kColourFace});
  const plat::Hwnd host =
      plat::CreateWindow({.className = "NestedWaitHost", .rect = {0, 0, 10, 10}});
  plat::PostMessage(host, plat::UserMessage(7), 0, 0);
  plat::PostMessage(Frame(0), plat::Msg::Command, plat::MakeWParam(40050, 0), 0);
  int type = 0;
  EventRecord r;
  WEventPeek(type, r);
  EXPECT_EQ(inner, kEventMenu);
  // Nothing more: before, the outer poll reported an event of type 0.
  EXPECT_EQ(type, kEventNone);
  plat::DestroyWindow(host);
}

TEST_F(EventLoopTest, ClickKeyAndResizeGiveTheirRecords) {
  const std::uint64_t start = plat::NowMs();
  harness.Pause(5).Click(Client(0), {400, 300});
  harness.Pause(7).MouseMove(Client(0), {100, 50}).Key('A', 'a');
  harness.Pause(9).Resize(Frame(0), {640, 480});

  auto [type, r] = Wait();
  EXPECT_EQ(type, kEventButtonDown);
  EXPECT_EQ(r.window, 0);
  EXPECT_EQ(r.value1, 1);
  EXPECT_EQ(r.value2, 4);  // the left button is held
  EXPECT_EQ(r.value3, kSourceClient);
  EXPECT_EQ(r.value4, -1);
  EXPECT_EQ(r.x, 5005);
  EXPECT_EQ(r.y, 5007);
  EXPECT_FLOAT_EQ(r.graphicsX, static_cast<float>(400.5 / 799.99));
  EXPECT_FLOAT_EQ(r.graphicsY, static_cast<float>((599 - 300 + 0.5) / 599.99));
  EXPECT_EQ(r.time, static_cast<std::int32_t>(start + 5));

  // The button release and the mouse move are switched off by default.
  std::tie(type, r) = Wait();
  EXPECT_EQ(type, kEventKey);
  EXPECT_EQ(r.window, 0);
  EXPECT_EQ(r.value1, 'a');
  EXPECT_EQ(r.value2, -1);
  EXPECT_EQ(r.value3, kSourceClient);
  EXPECT_EQ(r.value4, -1);
  EXPECT_EQ(r.x, Ux(100));  // where the mouse was at the key
  EXPECT_EQ(r.y, Uy(50));
  EXPECT_FLOAT_EQ(r.graphicsX, static_cast<float>(100.5 / 799.99));
  EXPECT_EQ(r.time, static_cast<std::int32_t>(start + 12));

  std::tie(type, r) = Wait();
  EXPECT_EQ(type, kEventResize);
  EXPECT_EQ(r.window, 0);
  EXPECT_EQ(r.value1, 640);
  EXPECT_EQ(r.value2, 480);
  EXPECT_EQ(r.value3, 0);
  EXPECT_EQ(r.value4, -1);
  EXPECT_EQ(r.x, -1);
  EXPECT_EQ(r.y, -1);
  EXPECT_EQ(r.time, static_cast<std::int32_t>(start + 21));
  EXPECT_EQ(WindowQuery(1), 640);  // the drawable follows the current window
  EXPECT_EQ(WindowQuery(2), 480);
}

TEST_F(EventLoopTest, SwitchedOffTypesAreNeverDelivered) {
  harness.MouseMove(Client(0), {10, 10}).Click(Client(0), {20, 20}).Close(Frame(0));
  auto [type, r] = Wait();
  EXPECT_EQ(type, kEventButtonDown);
  std::tie(type, r) = Wait();
  EXPECT_EQ(type, kEventClose);
  EXPECT_EQ(r.window, 0);
  EXPECT_EQ(r.value1, -1);
  EXPECT_TRUE(WindowSlotInUse(0));  // closing is the application's decision

  WEventTypeSwitch(kEventMouseMove, 1);
  WEventTypeSwitch(kEventButtonUp, 1);
  WEventTypeSwitch(kEventButtonDown, 0);
  harness.MouseMove(Client(0), {10, 10}).Click(Client(0), {20, 20});
  std::tie(type, r) = Wait();
  EXPECT_EQ(type, kEventMouseMove);
  EXPECT_EQ(r.value1, -1);
  std::tie(type, r) = Wait();
  EXPECT_EQ(type, kEventButtonUp);
  EXPECT_EQ(r.value1, 1);

  int on = 5;
  EventTypeEnabled(kEventButtonDown, on);
  EXPECT_EQ(on, 0);
  EventTypeEnabled(17, on);
  EXPECT_EQ(on, 0);
  WEventTypeSwitch(0, 1);  // ignored
}

TEST_F(EventLoopTest, EventsHeldWhileNotWaitingComeFirst) {
  // The application resizes its window between waits: the resize is held.
  WindowReposition(400, 300);
  harness.Click(Client(0), {10, 10});
  // A later expose of the same window does not replace the held resize.
  plat::InvalidateRect(Client(0), plat::Rect{0, 0, 5, 5}, true);
  plat::UpdateWindow(Client(0));
  auto [type, r] = Wait();
  EXPECT_EQ(type, kEventResize);
  EXPECT_EQ(r.value1, 400);
  EXPECT_EQ(r.value2, 300);
  std::tie(type, r) = Wait();
  EXPECT_EQ(type, kEventButtonDown);

  // A held expose is the whole client area.
  plat::InvalidateRect(Client(0), plat::Rect{10, 10, 20, 30}, true);
  plat::UpdateWindow(Client(0));
  harness.Click(Client(0), {10, 10});
  std::tie(type, r) = Wait();
  EXPECT_EQ(type, kEventExpose);
  EXPECT_EQ(r.window, 0);
  EXPECT_EQ(r.x, PixelToUnit(0, 400));
  EXPECT_EQ(r.y, PixelToUnit(0, 300));
  EXPECT_EQ(r.value1, PixelToUnit(399, 400) - PixelToUnit(0, 400));
  EXPECT_EQ(r.value2, PixelToUnit(299, 300) - PixelToUnit(0, 300));
  EXPECT_FLOAT_EQ(r.exposedWidth, static_cast<float>(400.5 / 399.99));
  std::tie(type, r) = Wait();
  EXPECT_EQ(type, kEventButtonDown);

  // A later resize replaces a held one; a minimised window gives none.
  WindowReposition(300, 200);
  WindowReposition(320, 240);
  WindowReposition(std::nullopt, std::nullopt, std::nullopt, std::nullopt, kShowMinimised);
  EXPECT_EQ(WindowQuery(9), kShowMinimised);
  EXPECT_EQ(WindowQuery(11), 320);
  harness.Click(Client(0), {10, 10});
  std::tie(type, r) = Wait();
  EXPECT_EQ(type, kEventResize);
  EXPECT_EQ(r.value1, 320);
  EXPECT_EQ(r.value2, 240);
}

TEST_F(EventLoopTest, AnExposeInsideTheWaitGivesItsOwnRectangle) {
  plat::InvalidateRect(Client(0), plat::Rect{100, 60, 300, 160}, false);
  auto [type, r] = Wait();
  EXPECT_EQ(type, kEventExpose);
  EXPECT_EQ(r.x, Ux(100));
  EXPECT_EQ(r.y, Uy(60));
  EXPECT_EQ(r.value1, Ux(299) - Ux(100));
  EXPECT_EQ(r.value2, Uy(159) - Uy(60));
}

TEST_F(EventLoopTest, AToolLoopInsideAHandlerTakesItsOwnEventsAndLeavesTheRestInOrder) {
  harness.Click(Client(0), {1, 1});
  auto [type, r] = Wait();
  ASSERT_EQ(type, kEventButtonDown);

  // The handler opens a tool window and runs its own loop of waits.
  int tool = 0;
  WindowOpenChild(tool, 7, 50, 50, 200, 100, 0, {}, 0, "Tool");
  ASSERT_EQ(tool, 1);
  harness.Click(Client(1), {10, 10}).Close(Frame(1));
  harness.Click(Client(0), {2, 2}).Click(Client(0), {3, 3});
  std::vector<int> toolTypes;
  for (;;) {
    int t = 0;
    EventRecord e;
    WEventWait(t, e);
    if (e.window != tool) continue;
    toolTypes.push_back(t);
    if (t == kEventClose) break;
  }
  WindowCloseChild(tool);
  EXPECT_EQ(toolTypes, (std::vector<int>{kEventButtonDown, kEventClose}));

  // Back in the main loop: what came after the tool loop, in order.
  std::tie(type, r) = Wait();
  EXPECT_EQ(type, kEventButtonDown);
  EXPECT_EQ(r.window, 0);
  EXPECT_EQ(r.x, Ux(2));
  std::tie(type, r) = Wait();
  EXPECT_EQ(type, kEventButtonDown);
  EXPECT_EQ(r.x, Ux(3));
}

TEST_F(EventLoopTest, WheelPositionsAreClientPositions) {
  harness.Wheel(Client(0), {200, 100}, 120).Wheel(Client(0), {20, 10}, -120);
  auto [type, r] = Wait();
  EXPECT_EQ(type, kEventButtonDown);
  EXPECT_EQ(r.value1, 4);
  EXPECT_EQ(r.x, Ux(200));
  EXPECT_EQ(r.y, Uy(100));
  std::tie(type, r) = Wait();
  EXPECT_EQ(r.value1, 5);
  EXPECT_EQ(r.x, Ux(20));
  EXPECT_EQ(r.y, Uy(10));
}

TEST_F(EventLoopTest, DoubleClickIsASecondPressUnlessSwitchedOn) {
  harness.DoubleClick(Client(0), {5, 5});
  auto [type, r] = Wait();
  EXPECT_EQ(type, kEventButtonDown);
  std::tie(type, r) = Wait();
  EXPECT_EQ(type, kEventButtonDown);

  WEventTypeSwitch(kEventDoubleClick, 1);
  harness.Pause(2000).DoubleClick(Client(0), {5, 5}, plat::MouseButton::Right);
  std::tie(type, r) = Wait();
  EXPECT_EQ(type, kEventButtonDown);
  EXPECT_EQ(r.value1, 3);
  std::tie(type, r) = Wait();
  EXPECT_EQ(type, kEventDoubleClick);
  EXPECT_EQ(r.value1, 3);
}

TEST_F(EventLoopTest, KeysWithoutCharactersUseTheKeyCodeTable) {
  struct Case {
    bool shift;
    bool ctrl;
    int vk;
    std::uint32_t ch;
    int code;
  };
  const Case cases[] = {
      {false, false, plat::kVkUp, 0, 258},
      {true, false, plat::kVkUp, 0, 262},
      {false, true, plat::kVkUp, 0, 266},
      {false, true, plat::kVkHome, 0, 270},
      {true, false, plat::kVkF1, 0, 321},
      {false, true, plat::kVkF1, 0, 341},
      {false, false, plat::kVkNumpad0 + 7, '7', 287},
      {false, false, plat::kVkNumpad0 + 7, 0, 287},
      {true, false, plat::kVkTab, 9, 274},
      {false, true, 'A', 1, 1},
      {false, false, plat::kVkReturn, 13, 13},
      {false, false, plat::kVkDelete, 0, 273},
  };
  for (const Case& c : cases) {
    harness.Modifiers(c.shift, c.ctrl).Key(c.vk, c.ch);
    harness.Modifiers(false, false).Key(plat::kVkShift);  // gives nothing
    auto [type, r] = Wait();
    EXPECT_EQ(type, kEventKey);
    EXPECT_EQ(r.value1, c.code) << "virtual key " << c.vk;
  }
}

TEST_F(EventLoopTest, PeekOnAnEmptyQueueLeavesTheGraphicsItems) {
  harness.DispatchPending();
  int type = 0;
  EventRecord r;
  r.graphicsX = 3.5f;
  r.exposedWidth = 2.5f;
  WEventPeek(type, r);
  EXPECT_EQ(type, kEventNone);
  EXPECT_EQ(r.window, -1);
  EXPECT_EQ(r.value1, -1);
  EXPECT_EQ(r.value4, -1);
  EXPECT_EQ(r.x, -1);
  EXPECT_EQ(r.y, -1);
  EXPECT_EQ(r.time, -1);
  EXPECT_EQ(r.graphicsX, 3.5f);
  EXPECT_EQ(r.exposedWidth, 2.5f);

  harness.Click(Client(0), {1, 1});
  WEventPeek(type, r);
  EXPECT_EQ(type, kEventButtonDown);
}

TEST_F(EventLoopTest, TimersOnTheClientRepeatAndOnTheFrameFireOnce) {
  WEventTimerSet(10, 5, 1);
  auto [type, r] = Wait();
  EXPECT_EQ(type, kEventTimer);
  EXPECT_EQ(r.value1, 5);
  EXPECT_EQ(r.window, 0);
  std::tie(type, r) = Wait();
  EXPECT_EQ(type, kEventTimer);
  WEventTimerSet(0, 5);
  WEventTimerSet(10, 6);
  std::tie(type, r) = Wait();
  EXPECT_EQ(type, kEventTimer);
  EXPECT_EQ(r.value1, 6);
  harness.Pause(100).Click(Client(0), {1, 1});
  std::tie(type, r) = Wait();
  EXPECT_EQ(type, kEventButtonDown);  // the frame timer did not fire again
}

TEST_F(EventLoopTest, ChildWindowEventsCarryTheirNumberAndUnits) {
  int a = 0;
  int b = 0;
  WindowOpenChild(a, 7, 0, 0, 200, 100);
  WindowOpenChild(b, 7, 300, 0, 400, 300);
  ASSERT_EQ(b, 2);
  harness.Click(Client(1), {199, 99}).Click(Client(2), {0, 0});
  auto [type, r] = Wait();
  EXPECT_EQ(r.window, 1);
  EXPECT_EQ(r.x, PixelToUnit(199, 200));
  EXPECT_EQ(r.y, PixelToUnit(99, 100));
  std::tie(type, r) = Wait();
  EXPECT_EQ(r.window, 2);
  EXPECT_EQ(r.x, PixelToUnit(0, 400));
  EXPECT_TRUE(CaptionActive(2));
  EXPECT_FALSE(CaptionActive(1));
}

TEST_F(EventLoopTest, AMessageFilterTakesMessagesBeforeTheirWindows) {
  int seen = 0;
  SetEventMessageFilter([&](plat::Message& m) {
    if (m.msg != plat::Msg::KeyDown && m.msg != plat::Msg::Char) return false;
    EXPECT_TRUE(EventWaitRunning());
    ++seen;
    return true;
  });
  harness.Key('Q', 'q').Click(Client(0), {1, 1});
  auto [type, r] = Wait();
  SetEventMessageFilter({});
  EXPECT_EQ(type, kEventButtonDown);
  EXPECT_EQ(seen, 2);
  EXPECT_FALSE(EventWaitRunning());
}

TEST_F(EventLoopTest, ASecondFieldChangeFromOneMessageComesWithTheNextWait) {
  // A stand-in dialog manager: the field change's items come from W and L,
  // with the last reported value carried from one change to the next.
  const DialogEventLink saved = GetDialogEventLink();
  int lastReported = 0;
  SetDialogEventLink(
      DialogEventLink{[&](int type, plat::WParam w, plat::LParam l, plat::Hwnd, EventRecord& out) {
        out = EventRecord{};
        out.window = 77;
        out.value1 = static_cast<int>(w);
        out.value2 = static_cast<int>(w) + 1;
        out.value3 = 0;
        out.value4 = -1;
        out.x = lastReported;
        out.y = static_cast<int>(l);
        lastReported = out.y;
        return type == kEventFieldChanged;
      }});
  // One key press changes two fields.
  SetEventMessageFilter([&](plat::Message& m) {
    if (m.msg == plat::Msg::Char) return true;
    if (m.msg != plat::Msg::KeyDown) return false;
    StoreEvent(kEventFieldChanged, 0, 11, 5, m.hwnd);
    StoreEvent(kEventFieldChanged, 0, 21, 6, m.hwnd);
    return true;
  });
  WEventTypeSwitch(kEventFieldChanged, 1);
  harness.Key('Q', 'q').Click(Client(0), {1, 1});

  // The held change comes before anything the queue still holds.
  struct Expected {
    int type, window, value1, value2, value3, value4, x, y;
  };
  const Expected expected[] = {
      {kEventFieldChanged, 77, 11, 12, 0, -1, 0, 5},
      {kEventFieldChanged, 77, 21, 22, 0, -1, 5, 6},
      {kEventButtonDown, 0, 1, 4, kSourceClient, -1, PixelToUnit(1, 800), PixelToUnit(1, 600)},
  };
  for (const Expected& x : expected) {
    auto [type, r] = Wait();
    EXPECT_EQ(type, x.type);
    EXPECT_EQ(r.window, x.window) << "type " << x.type;
    EXPECT_EQ(r.value1, x.value1) << "type " << x.type;
    EXPECT_EQ(r.value2, x.value2) << "type " << x.type;
    EXPECT_EQ(r.value3, x.value3) << "type " << x.type;
    EXPECT_EQ(r.value4, x.value4) << "type " << x.type;
    EXPECT_EQ(r.x, x.x) << "type " << x.type;
    EXPECT_EQ(r.y, x.y) << "type " << x.type;
  }
  SetEventMessageFilter({});
  SetDialogEventLink(saved);
}

TEST(KeyCodeTable, ModifierClassesKeypadAndFunctionKeys) {
  struct Case {
    int vk;
    int cls;
    int code;
  };
  const Case cases[] = {
      {plat::kVkUp, 0, 258},
      {plat::kVkDown, 0, 259},
      {plat::kVkRight, 0, 260},
      {plat::kVkLeft, 0, 261},
      {plat::kVkUp, 20, 262},
      {plat::kVkLeft, 20, 265},
      {plat::kVkUp, 40, 266},
      {plat::kVkLeft, 40, 269},
      {plat::kVkPrior, 0, 262},
      {plat::kVkNext, 40, 263},
      {plat::kVkHome, 40, 270},
      {plat::kVkEnd, 20, 271},
      {plat::kVkSelect, 0, 271},
      {plat::kVkInsert, 0, 272},
      {plat::kVkDelete, 40, 273},
      {plat::kVkTab, 20, 274},
      {plat::kVkNumpad0, 0, 280},
      {plat::kVkNumpad9, 0, 289},
      {plat::kVkNumpad0 + 5, 0, 285},
      {plat::kVkClear, 0, 285},
      {plat::kVkSubtract, 0, 290},
      {plat::kVkDecimal, 0, 291},
      {plat::kVkAdd, 0, 292},
      {plat::kVkSeparator, 0, 292},
      {plat::kVkDivide, 0, 293},
      {plat::kVkMultiply, 0, 294},
      {plat::kVkSnapshot, 0, 300},
      {plat::kVkF1, 0, 301},
      {plat::kVkF1 + 19, 0, 320},
      {plat::kVkF1, 20, 321},
      {plat::kVkF1, 40, 341},
      {plat::kVkF1 + 19, 40, 360},
      {plat::kVkF1 + 20, 0, 0x84},
      {plat::kVkEscape, 40, 27},
      {0x5B, 20, 0x5B},
  };
  for (const Case& c : cases) EXPECT_EQ(KeyCode(c.vk, c.cls), c.code) << c.vk << " class " << c.cls;
}

TEST(MouseKeyStateTest, SumsTheHeldKeysAndButtons) {
  EXPECT_EQ(MouseKeyState(0), 0);
  EXPECT_EQ(MouseKeyState(plat::kMkControl), 1);
  EXPECT_EQ(MouseKeyState(plat::kMkShift), 2);
  EXPECT_EQ(MouseKeyState(plat::kMkLButton), 4);
  EXPECT_EQ(MouseKeyState(plat::kMkMButton), 8);
  EXPECT_EQ(MouseKeyState(plat::kMkRButton), 16);
  EXPECT_EQ(MouseKeyState(plat::kMkControl | plat::kMkShift | plat::kMkRButton), 19);
}

}  // namespace
}  // namespace tk
