// The real program on a real X server: it opens its main window and ends
// cleanly, with status 0, when the window manager asks the window to close.
#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <thread>

#include "platform/backend/x11/X11TestHooks.h"
#include "tests/XvfbSupport.h"

namespace {

using testing_support::Child;
using testing_support::FindProgram;
using testing_support::Xvfb;

TEST(MainX11, OpensItsWindowAndClosesOnADeleteRequest) {
  const std::string xvfb = FindProgram("Xvfb");
  if (xvfb.empty()) GTEST_SKIP() << "Xvfb is not on PATH: the real X11 window test is skipped";
  Xvfb server;
  std::string why;
  ASSERT_TRUE(server.Start(xvfb, 24, why, "1280x800", false)) << why;

  Child program;
  ASSERT_TRUE(program.Start({VELLORAN_EXE}, {"DISPLAY=" + server.Display(), "VELLORAN_HEADLESS"}));
  // Wait for the window; give up early when the program ends on its own.
  plat::NativeWindow window = 0;
  std::optional<int> ended;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (window == 0 && !ended && std::chrono::steady_clock::now() < deadline) {
    window = plat::x11test::FindWindowByTitle(server.Display(),
                                              "Morvane Limited Seismic Shot Conversion");
    if (window == 0) ended = program.Wait(50);
  }
  ASSERT_FALSE(ended.has_value()) << "the program ended with status " << *ended
                                  << " before its window appeared";
  ASSERT_NE(window, 0u) << "the program's window did not appear";
  EXPECT_FALSE(program.Wait(200).has_value()) << "the program ended by itself";

  ASSERT_TRUE(plat::x11test::SendDeleteRequest(server.Display(), window));
  EXPECT_EQ(program.Wait(10000), 0);
}

}  // namespace
