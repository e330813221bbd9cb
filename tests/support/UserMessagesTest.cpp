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

namespace {

struct FieldLog {
  std::string log;
  bool readFails = false;
  int state = 0;
  sup::DialogFieldAccess Access() {
    return {[this](int f, std::string_view t) {
              log += std::to_string(f) + "=[" + std::string(t) + "];";
            },
            [this](int f, float v, std::string_view fmt) {
              log +=
                  std::to_string(f) + "=" + std::to_string(v).substr(0, 3) + std::string(fmt) + ";";
            },
            [this](int f, int s) { log += std::to_string(f) + "=cb" + std::to_string(s) + ";"; },
            [this](int, int& s) {
              if (readFails) return false;
              s = state;
              return true;
            }};
  }
};

TEST(DialogHelpersTest, MissingValueFormats) {
  struct Case {
    float x;
    const char* format;
  };
  for (const Case& c : {Case{1.0e10f, "(F8.0)"}, Case{-2.0e10f, "(F8.0)"}, Case{10000, "(F8.0)"},
                        Case{9999, "(F8.1)"}, Case{-100, "(F8.2)"}, Case{10, "(F8.3)"},
                        Case{1, "(F8.4)"}, Case{0.1f, "(F8.5)"}, Case{0.05f, "(1PE8.1)"}}) {
    EXPECT_EQ(sup::MissingValueFormat(c.x), c.format) << c.x;
  }
  FieldLog f;
  sup::SetDialogFieldAccess(f.Access());
  sup::MVPUTREAL(7, 2.0e10f);
  sup::PUTDLGSTRING(8, "ABCDEF", 3);
  sup::PUTDLGSTRING(9, "ABCDEF", 0);
  sup::WDIALOGPUTCHECKBOXL(5, true);
  EXPECT_EQ(f.log, "7=[Unknown];8=[ABC];9=[ ];5=cb1;");
  sup::SetDialogFieldAccess({});
}

TEST(DialogHelpersTest, FailedCheckBoxReadGivesFalse) {
  FieldLog f;
  sup::SetDialogFieldAccess(f.Access());
  bool l = false;
  f.state = 1;
  EXPECT_TRUE(sup::WDIALOGGETCHECKBOXL(3, l));
  EXPECT_TRUE(l);
  f.readFails = true;  // not the previous call's true
  EXPECT_FALSE(sup::WDIALOGGETCHECKBOXL(3, l));
  EXPECT_FALSE(l);
  sup::SetDialogFieldAccess({});
}

}  // namespace
