// The program run without a display and without scripted input: the first
// wait for input ends it with the message and status 1 instead of hanging.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "tests/TestSupport.h"

namespace {

TEST(MainTest, HeadlessWithoutInputSaysItNeedsADisplay) {
  testing_support::TempDir dir;
  const std::string err = (dir / "stderr.txt").string();
  const std::string cmd = std::string("env -u DISPLAY VELLORAN_HEADLESS=1 '") + VELLORAN_EXE +
                          "' 2>'" + err + "' </dev/null";
  const int status = std::system(cmd.c_str());
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 1);
  EXPECT_EQ(testing_support::ReadFile(err), "velloran: this program needs a display\n");
}

}  // namespace
