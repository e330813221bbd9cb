// The test harness: scripted keys and pauses, read-back, scripted answers and
// the failure of a wait that nothing scripted.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include "platform/testing/Harness.h"
#include "platform/window/VirtualKeys.h"

namespace plat::testing {
namespace {

class HarnessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterWindowClass({"Logger",
                         [this](Hwnd h, Msg m, WParam w, LParam l) -> LResult {
                           if (m == Msg::Char) chars += static_cast<char>(w);
                           if (m == Msg::Timer) ++ticks;
                           if (m == Msg::LButtonDown) clickTimes.push_back(GetMessageTime());
                           return DefWindowProc(h, m, w, l);
                         },
                         0, std::nullopt});
    top = CreateWindow({.className = "Logger",
                        .title = "Main",
                        .style = kStyleVisible,
                        .rect = {10, 20, 110, 70}});
  }
  Harness harness{{800, 600}};
  Hwnd top = kNoWindow;
  std::string chars;
  int ticks = 0;
  std::vector<std::uint64_t> clickTimes;
};

TEST_F(HarnessTest, ReadsBackWhatTheUserSees) {
  const WindowState s = ReadWindow(top);
  EXPECT_TRUE(s.exists);
  EXPECT_EQ(s.title, "Main");
  EXPECT_EQ(s.screen, (Rect{10, 20, 110, 70}));
  EXPECT_TRUE(s.visible);
  EXPECT_TRUE(s.enabled);
  EXPECT_TRUE(s.focused);
  EXPECT_TRUE(s.active);
  EXPECT_EQ(ScreenSize(), (Size{800, 600}));
  SetWindowText(top, "Renamed");
  EXPECT_EQ(harness.Backend().Window(GetNativeWindow(top))->title, "Renamed");
  EXPECT_FALSE(ReadWindow(kNoWindow).exists);
  EXPECT_NE(DumpWindowState().find("\"Renamed\" (10,20)-(110,70) shown focus active"),
            std::string::npos);
}

TEST_F(HarnessTest, TypedTextArrivesAsCharactersWithShiftForCapitals) {
  harness.Type("Ab1\n");
  harness.DispatchPending();
  EXPECT_EQ(chars, "Ab1\r");
  EXPECT_FALSE(IsKeyDown(kVkShift));
}

TEST_F(HarnessTest, PausesLetTheClockRunAndTimersFire) {
  SetTimer(top, 1, 100);
  harness.Click(top, {1, 1}).Pause(250).Click(top, {1, 1});
  harness.DispatchPending();
  EXPECT_EQ(clickTimes, (std::vector<std::uint64_t>{0, 250}));
  EXPECT_EQ(ticks, 2);
}

TEST_F(HarnessTest, ScriptedAnswersAreGivenOutByKindInOrder) {
  harness.Answer("messagebox", "Yes").Answer("file", "/tmp/a.sg2").Answer("messagebox", "No");
  Backend* b = GetBackend();
  EXPECT_EQ(b->ScriptedAnswer("messagebox"), "Yes");
  EXPECT_EQ(b->ScriptedAnswer("messagebox"), "No");
  EXPECT_EQ(b->ScriptedAnswer("messagebox"), std::nullopt);
  EXPECT_EQ(b->ScriptedAnswer("file"), "/tmp/a.sg2");
}

void WaitWithNothingScripted() {
  Message m;
  EXPECT_FALSE(GetMessage(m));
}

TEST_F(HarnessTest, AWaitWithNothingScriptedFailsTheTestWithTheWindowState) {
  harness.DispatchPending();
  EXPECT_NONFATAL_FAILURE(WaitWithNothingScripted(), "\"Main\" (10,20)-(110,70) shown");
}

}  // namespace
}  // namespace plat::testing
