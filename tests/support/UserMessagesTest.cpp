// Library message boxes and the abort latch, through their hooks.
#include <gtest/gtest.h>

#include <deque>
#include <string>

#include "support/Progress.h"
#include "support/UserMessages.h"

namespace {

struct HookGuard {
  ~HookGuard() {
    sup::SetUserMessageHook({});
    sup::SetAbortPollHook({});
    sup::SetProgressHook({});
    sup::ClearUserMessages();
    sup::LKILL(1);
  }
};

TEST(UserMessagesTest, MessagesReachTheHookWithTheLibraryTitle) {
  HookGuard guard;
  std::string seenTitle, seenText;
  sup::UserMessageKind seenKind{};
  sup::SetUserMessageHook(
      [&](sup::UserMessageKind k, std::string_view title, std::string_view text) {
        seenKind = k;
        seenTitle = title;
        seenText = text;
      });
  sup::ClearUserMessages();
  sup::WINMSG("PLEASE LOAD TRACES FIRST");
  EXPECT_EQ(seenTitle, "Morvane Library Message");
  EXPECT_EQ(seenText, "PLEASE LOAD TRACES FIRST");
  EXPECT_EQ(seenKind, sup::UserMessageKind::Information);
  sup::WINWRN("INPUT TERMINATED BY USER");
  EXPECT_EQ(seenKind, sup::UserMessageKind::Warning);
  EXPECT_EQ(sup::LastUserMessage().text, "INPUT TERMINATED BY USER");
  EXPECT_EQ(sup::LastUserMessage().kind, sup::UserMessageKind::Warning);
  EXPECT_EQ(sup::UserMessageCount(), 2);
}

TEST(UserMessagesTest, DefaultHookWritesToStandardError) {
  HookGuard guard;
  testing::internal::CaptureStderr();
  sup::WINMSG("HELLO");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Morvane Library Message: HELLO\n");
}

TEST(UserMessagesTest, AbortLatch) {
  HookGuard guard;
  // Events the poll takes: false = some other event or none, true = a push button.
  std::deque<bool> events;
  sup::SetAbortPollHook([&] {
    if (events.empty()) return false;
    const bool button = events.front();
    events.pop_front();
    return button;
  });
  // A reset followed by a poll with nothing pending: false twice.
  EXPECT_FALSE(sup::LKILL(1));
  EXPECT_FALSE(sup::LKILL(0));
  // A key or mouse event is consumed and does not abort.
  events = {false};
  EXPECT_FALSE(sup::LKILL(0));
  EXPECT_TRUE(events.empty());
  // A push button latches until a reset, whatever comes after.
  events = {true, false};
  EXPECT_TRUE(sup::LKILL(0));
  EXPECT_TRUE(sup::LKILL(0));
  EXPECT_TRUE(sup::LKILL(0));
  EXPECT_FALSE(sup::LKILL(-1));  // any non-zero argument resets
  EXPECT_FALSE(sup::LKILL(0));
}

TEST(UserMessagesTest, ProgressGoesToItsHook) {
  HookGuard guard;
  std::string log;
  sup::SetProgressHook({[&](std::string_view f) { log += "open " + std::string(f) + ";"; },
                        [&](int p) { log += "set " + std::to_string(p) + ";"; },
                        [&] { log += "close;"; }});
  sup::ProgressOpen("A.SG2");
  sup::ProgressSet(50);
  sup::ProgressSet(150);
  EXPECT_EQ(sup::CurrentProgress().percent, 100);
  EXPECT_TRUE(sup::CurrentProgress().open);
  sup::ProgressClose();
  EXPECT_FALSE(sup::CurrentProgress().open);
  EXPECT_EQ(log, "open A.SG2;set 50;set 100;close;");
}

}  // namespace
