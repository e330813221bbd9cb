// The abort poll on the toolkit's event queue: keys and mouse events are
// consumed without aborting, exposes and resizes wait for the next WEventWait.
#include <gtest/gtest.h>

#include <thread>

#include "../toolkit/core/WindowTestSupport.h"
#include "support/PollPacer.h"
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
  /// Polls until the scripted input is used up, and once more; true when
  /// any poll said abort. The toolkit is polled at most once per
  /// kPollInterval: each poll here waits that long first.
  bool PollAll() {
    bool any = false;
    for (int i = 0; i < 200; ++i) {
      std::this_thread::sleep_for(kPollInterval);
      any = LKILL(0) || any;
      if (harness.PendingInput() == 0) break;
    }
    std::this_thread::sleep_for(kPollInterval);
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

// A loop that polls at every step takes the toolkit's events only once per
// kPollInterval; a Cancel pressed is seen by the first poll after that, and
// a reset lets the next poll through at once.
TEST_F(AbortPollTest, ToolkitPollIsPacedByTime) {
  EXPECT_FALSE(LKILL(1));
  harness.Key('A', 'a').Key('B', 'b').Key('C', 'c');
  const std::size_t before = harness.PendingInput();
  for (int i = 0; i < 50; ++i) (void)LKILL(0);
  // At most the first call and one more, should the machine stall a while.
  EXPECT_GE(before - harness.PendingInput(), 1u);
  EXPECT_LE(before - harness.PendingInput(), 2u);
  EXPECT_FALSE(PollAll());
  EXPECT_FALSE(LKILL(1));
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
