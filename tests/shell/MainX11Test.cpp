// The real program on a real X server: it opens its main window and ends
// cleanly, with status 0, when the window manager asks the window to close.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <optional>
#include <set>
#include <thread>

#include <unistd.h>

#include "platform/backend/x11/X11TestHooks.h"
#include "tests/TestSupport.h"
#include "tests/XvfbSupport.h"

namespace {

using testing_support::Child;
using testing_support::FindProgram;
using testing_support::Screenshot;
using testing_support::Xvfb;

TEST(MainX11, OpensItsWindowAndClosesOnADeleteRequest) {
  const std::string xvfb = FindProgram("Xvfb");
  if (xvfb.empty()) GTEST_SKIP() << "Xvfb is not on PATH: the real X11 window test is skipped";
  Xvfb server;
  std::string why;
  ASSERT_TRUE(server.Start(xvfb, 24, why, "1280x800", false)) << why;

  // The settings the run leaves at exit go to a folder of the test's own.
  testing_support::TempDir home;
  Child program;
  ASSERT_TRUE(program.Start({VELLORAN_EXE}, {"DISPLAY=" + server.Display(), "VELLORAN_HEADLESS",
                                             "HOME=" + home.path().string(), "XDG_CONFIG_HOME"}));
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
  EXPECT_FALSE(program.Wait(500).has_value()) << "the program ended by itself";

  // The window shows its menu bar at the top, the toolbar below it and the
  // status bar at the bottom: each band holds drawn detail (text, icons,
  // part separators), not one flat colour.
  const std::string xwd = FindProgram("xwd");
  if (!xwd.empty()) {
    const plat::Rect place = plat::x11test::WindowScreenRect(server.Display(), window);
    ASSERT_FALSE(place.Empty());
    Screenshot shot;
    std::string failure;
    const auto detail = [&](int top, int bottom) {
      std::set<plat::Pixel> colours;
      for (int y = place.top + top; y < place.top + bottom; ++y)
        for (int x = place.left; x < place.right; ++x) colours.insert(shot.At(x, y) & 0xFFFFFFu);
      return colours.size();
    };
    const int height = place.bottom - place.top;
    // A slow build (sanitizers) may map the window before it has drawn it:
    // look again until the status bar shows, for a few seconds at most.
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    do {
      ASSERT_TRUE(testing_support::TakeScreenshot(xwd, server.Display(), shot, failure)) << failure;
    } while (detail(height - 18, height) < 3u && std::chrono::steady_clock::now() < until);
    EXPECT_GE(detail(0, 18), 2u) << "menu bar";
    EXPECT_GE(detail(20, 38), 5u) << "toolbar";     // coloured icons
    EXPECT_GE(detail(height - 18, height), 3u) << "status bar";
    EXPECT_EQ(detail(height / 2, height / 2 + 1), 1u) << "the empty record area";
  }

  ASSERT_TRUE(plat::x11test::SendDeleteRequest(server.Display(), window));
  EXPECT_EQ(program.Wait(10000), 0);
}

// A start a moment before its X server takes clients (the race of a script
// that starts both): the program waits for the display and opens its
// window there, instead of saying that it has none.
TEST(MainX11, WaitsForADisplayThatComesUpJustAfterItsStart) {
  const std::string xvfb = FindProgram("Xvfb");
  if (xvfb.empty()) GTEST_SKIP() << "Xvfb is not on PATH: the real X11 window test is skipped";
  // A display number no server holds: neither its lock file nor its socket.
  int number = 700 + static_cast<int>(getpid() % 200);
  const auto taken = [](int n) {
    return std::filesystem::exists("/tmp/.X" + std::to_string(n) + "-lock") ||
           std::filesystem::exists("/tmp/.X11-unix/X" + std::to_string(n));
  };
  while (taken(number)) ++number;
  const std::string display = ":" + std::to_string(number);
  testing_support::TempDir dir;
  const std::string errors = (dir.path() / "errors.txt").string();
  Child program;
  ASSERT_TRUE(program.Start({VELLORAN_EXE},
                            {"DISPLAY=" + display, "VELLORAN_HEADLESS",
                             "HOME=" + dir.path().string(),
                             "XDG_CONFIG_HOME=" + (dir.path() / "config").string()},
                            dir.path().string(), errors));
  std::this_thread::sleep_for(std::chrono::milliseconds(600));
  Child server;
  ASSERT_TRUE(server.Start({xvfb, display, "-screen", "0", "1024x768x24", "-nolisten", "tcp",
                            "-noreset"}));
  plat::NativeWindow window = 0;
  std::optional<int> ended;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (window == 0 && !ended && std::chrono::steady_clock::now() < deadline) {
    window = plat::x11test::FindWindowByTitle(display, "Morvane Limited Seismic Shot Conversion");
    if (window == 0) ended = program.Wait(50);
  }
  ASSERT_FALSE(ended.has_value()) << "the program ended with status " << *ended << ": "
                                  << testing_support::ReadFile(errors);
  ASSERT_NE(window, 0u) << "the program's window did not appear";
  ASSERT_TRUE(plat::x11test::SendDeleteRequest(display, window));
  EXPECT_EQ(program.Wait(10000), 0);
}

}  // namespace
