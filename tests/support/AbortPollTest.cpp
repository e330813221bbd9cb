// The abort poll on the toolkit's event queue: keys and mouse events are
// consumed without aborting, exposes and resizes wait for the next WEventWait.
#include <gtest/gtest.h>

#include "../toolkit/core/WindowTestSupport.h"
#include "support/UserMessages.h"

namespace sup {
namespace {

class AbortPollTest : public tk::testing::ToolkitWindowTest {
 protected:
  void SetUp() override {
    ToolkitWindowTest::SetUp();
    SetAbortPollHook({});  // the toolkit's poll
    harness.DispatchPending();
    Drain();
  }
  void TearDown() override {
    LKILL(1);
    ToolkitWindowTest::TearDown();
  }
  /// Takes every event that is ready.
  void Drain() {
    int type = 0;
    tk::EventRecord r;
    for (int i = 0; i < 100; ++i) {
      tk::WEventPeek(type, r);
      if (type == tk::kEventNone) return;
    }
  }
  /// Polls until the scripted input is used up, and once more; true when any poll said abort.
  bool PollAll() {
    bool any = false;
    for (int i = 0; i < 200; ++i) {
      any = LKILL(0) || any;
      if (harness.PendingInput() == 0) break;
    }
    return LKILL(0) || any;
  }
};

TEST_F(AbortPollTest, KeysAndMouseDoNotAbortAndAreConsumed) {
  EXPECT_FALSE(LKILL(1));
  EXPECT_FALSE(LKILL(0));
  harness.Key('A', 'a').Click(Client(0), {40, 30}).MouseMove(Client(0), {50, 60}).Key('B', 'b');
  EXPECT_FALSE(PollAll());
  EXPECT_EQ(harness.PendingInput(), 0u);
  int type = 0;
  tk::EventRecord r;
  tk::WEventPeek(type, r);
  EXPECT_EQ(type, tk::kEventNone);  // nothing left for the application
}

TEST_F(AbortPollTest, ResizeDuringAPollReachesTheNextWait) {
  LKILL(1);
  harness.Resize(Frame(0), {640, 480});
  EXPECT_FALSE(PollAll());
  const auto [type, r] = Wait();
  EXPECT_EQ(type, tk::kEventResize);
  EXPECT_EQ(r.window, 0);
}

}  // namespace
}  // namespace sup
