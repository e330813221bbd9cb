#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <cerrno>

#include "platform/system/Process.h"

namespace {

using plat::SplitCommandWords;

TEST(CommandWords, SplitsAtBlanksAndKeepsQuotedBlanks) {
  struct Case {
    const char* line;
    std::vector<std::string> words;
  };
  const Case cases[] = {
      {"", {}},
      {"   ", {}},
      {"prog a  b", {"prog", "a", "b"}},
      {"xdg-open \"/tmp/my help.hlp\"", {"xdg-open", "/tmp/my help.hlp"}},
      {"a \"\" b", {"a", "", "b"}},
      {"a \"b c", {"a", "b c"}},
      {"pre\"fix d\"post", {"prefix dpost"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    EXPECT_EQ(SplitCommandWords(c.line), c.words);
  }
}

TEST(SpawnProgram, RunsAndWaits) {
  pid_t pid = -1;
  ASSERT_EQ(plat::SpawnProgram({"/bin/sh", "-c", "exit 3"}, pid), 0);
  int error = 0, status = 0;
  ASSERT_EQ(plat::WaitForProgram(pid, 10000, error, status), plat::WaitResult::Ended);
  EXPECT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 3);
}

TEST(SpawnProgram, MissingProgramGivesTheSystemError) {
  pid_t pid = 123;
  EXPECT_EQ(plat::SpawnProgram({"velloran-no-such-program-xyz"}, pid), ENOENT);
  EXPECT_EQ(pid, -1);
  EXPECT_EQ(plat::SpawnProgram({}, pid), ENOENT);
}

TEST(SpawnProgram, TimesOutAndLeavesTheProgramRunning) {
  pid_t pid = -1;
  ASSERT_EQ(plat::SpawnProgram({"sleep", "30"}, pid), 0);
  int error = 0, status = 0;
  EXPECT_EQ(plat::WaitForProgram(pid, 50, error, status), plat::WaitResult::TimedOut);
  EXPECT_EQ(kill(pid, 0), 0);  // still there
  kill(pid, SIGKILL);
  EXPECT_EQ(plat::WaitForProgram(pid, 10000, error, status), plat::WaitResult::Ended);
  EXPECT_TRUE(WIFSIGNALED(status));
}

int g_idleCalls = 0;
void CountIdle() {
  ++g_idleCalls;
}

TEST(SpawnProgram, UnlimitedWaitCallsTheIdleFunction) {
  pid_t pid = -1;
  ASSERT_EQ(plat::SpawnProgram({"sleep", "0.3"}, pid), 0);
  int error = 0, status = 0;
  g_idleCalls = 0;
  EXPECT_EQ(plat::WaitForProgram(pid, -1, error, status, CountIdle), plat::WaitResult::Ended);
  EXPECT_GT(g_idleCalls, 0);
}

TEST(SpawnProgram, WaitOnAStrangerFails) {
  int error = 0, status = 0;
  EXPECT_EQ(plat::WaitForProgram(1, 0, error, status), plat::WaitResult::Failed);
  EXPECT_EQ(error, ECHILD);
}

}  // namespace
