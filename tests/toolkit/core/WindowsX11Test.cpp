// The main window on a real X server (a private Xvfb): where it opens, the
// screen it reports, and a window manager's delete request as a close event.
// Skipped when Xvfb is absent.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/backend/Backend.h"
#include "platform/backend/x11/X11TestHooks.h"
#include "platform/window/Window.h"
#include "tests/TestSupport.h"
#include "tests/XvfbServer.h"
#include "toolkit/core/Events.h"
#include "toolkit/core/Windows.h"

namespace tk {
namespace {

/// What xwininfo says of window ID: "Absolute upper-left X:" and the like.
int XwininfoField(const std::string& output, const std::string& label) {
  const auto at = output.find(label);
  if (at == std::string::npos) return -1;
  return std::stoi(output.substr(at + label.size()));
}

TEST(WindowsX11, MainWindowOpensWhereAskedAndADeleteRequestIsACloseEvent) {
  const std::string xvfb = testing_support::FindProgram("Xvfb");
  if (xvfb.empty()) GTEST_SKIP() << "Xvfb is not on PATH: the real X11 window test is skipped";
  testing_support::Xvfb server;
  std::string why;
  ASSERT_TRUE(server.Start(xvfb, 24, why)) << why;
  std::unique_ptr<plat::Backend> backend = plat::MakeX11Backend(server.Display());
  ASSERT_NE(backend, nullptr);
  plat::Backend* x11 = backend.get();
  plat::Init(std::move(backend));

  WindowStyleRecord style;
  style.x = 70;
  style.y = 40;
  style.width = 320;
  style.height = 200;
  style.title = "Velloran";
  WindowOpen(style);
  ASSERT_TRUE(MainWindowOpen());
  EXPECT_EQ(WDisplayQuery(1), 800);  // the Xvfb screen, not a made-up one
  EXPECT_EQ(WDisplayQuery(2), 600);
  const plat::NativeWindow native = plat::GetNativeWindow(WindowFrameHandle(0));
  ASSERT_NE(native, 0u);
  plat::FlushDrawing();
  ASSERT_TRUE(plat::x11test::Sync(*x11));

  // Ask the X server itself where the window is (no window manager runs).
  const std::string xwininfo = testing_support::FindProgram("xwininfo");
  if (!xwininfo.empty()) {
    testing_support::TempDir dir;
    const std::filesystem::path out = dir / "info.txt";
    const std::string command = xwininfo + " -display " + server.Display() + " -id " +
                                std::to_string(native) + " > " + out.string() + " 2>/dev/null";
    const int status = std::system(command.c_str());
    EXPECT_EQ(status, 0) << command;
    if (status == 0) {
      const std::string info = testing_support::ReadFile(out);
      EXPECT_EQ(XwininfoField(info, "Absolute upper-left X:"), 70) << info;
      EXPECT_EQ(XwininfoField(info, "Absolute upper-left Y:"), 40) << info;
      EXPECT_EQ(XwininfoField(info, "Width:"), 320) << info;
      EXPECT_EQ(XwininfoField(info, "Height:"), 200) << info;
    }
  }

  ASSERT_TRUE(plat::x11test::SendDeleteRequest(server.Display(), native));
  WEventTimerSet(5000, 77, 1);  // a guard: the test fails instead of hanging
  int type = 0;
  EventRecord r;
  do {
    WEventWait(type, r);
  } while (type != kEventClose && type != kEventTimer);
  EXPECT_EQ(type, kEventClose);
  EXPECT_EQ(r.window, 0);
  EXPECT_TRUE(WindowSlotInUse(0));

  WindowShutdown();
  plat::Discard();
  server.Stop();
}

}  // namespace
}  // namespace tk
