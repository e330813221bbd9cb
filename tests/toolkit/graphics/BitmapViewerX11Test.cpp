// The bitmap viewer on a real X server (a private Xvfb): the screen shows the
// bitmap from its scroll position, and the X wheel scrolls it with event 15.
// Skipped when Xvfb is absent. VELLORAN_VIEWER_SHOT names a file the screen
// is also written to (XWD), to look at.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "platform/backend/Backend.h"
#include "platform/backend/x11/X11TestHooks.h"
#include "platform/window/Window.h"
#include "tests/TestSupport.h"
#include "tests/XvfbSupport.h"
#include "toolkit/core/Events.h"
#include "toolkit/core/Windows.h"
#include "toolkit/graphics/BitmapStore.h"
#include "toolkit/graphics/Colours.h"
#include "toolkit/graphics/Graphics.h"
#include "toolkit/graphics/WindowTargets.h"

namespace tk {
namespace {

/// Paints whatever waits to be painted (the view and its scroll bars) and
/// shows it on the server.
void PaintAll(plat::Backend& x11) {
  plat::Message m;
  while (plat::PeekMessage(m, plat::kNoWindow, plat::Msg::Null, plat::Msg::Null,
                           plat::PeekMode::Remove))
    plat::DispatchMessage(m);
  plat::FlushDrawing();
  ASSERT_TRUE(plat::x11test::Sync(x11));
}

TEST(BitmapViewerX11, ShowsTheBitmapFromItsScrollPositionAndTheWheelScrollsIt) {
  const std::string xvfb = testing_support::FindProgram("Xvfb");
  const std::string xwd = testing_support::FindProgram("xwd");
  if (xvfb.empty() || xwd.empty()) GTEST_SKIP() << "Xvfb or xwd is not on PATH";
  testing_support::Xvfb server;
  std::string why;
  ASSERT_TRUE(server.Start(xvfb, 24, why)) << why;
  std::unique_ptr<plat::Backend> backend = plat::MakeX11Backend(server.Display());
  ASSERT_NE(backend, nullptr);
  plat::Backend* x11 = backend.get();
  plat::Init(std::move(backend));

  WindowStyleRecord style;
  style.x = 40;
  style.y = 30;
  style.width = 320;
  style.height = 240;
  style.title = "Velloran";
  WindowOpen(style);
  GraphicsConnectWindows();
  GraphicsStart();
  PaletteLoadDefault();
  IGrStateReset();
  BitmapStoreClear();
  // Red x, green y, blue 128: every pixel says where it came from.
  constexpr int kW = 600, kH = 500;
  int slot = 0;
  BitmapCreate(slot, kW, kH, 0);
  ASSERT_EQ(slot, 1);
  std::vector<std::int32_t> px(kW * kH);
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x)
      px[static_cast<std::size_t>(y * kW + x)] = (x & 0xFF) | (y & 0xFF) << 8 | 128 << 16;
  int status = -1;
  BitmapPutPixels(0, px, 0, 0, kW - 1, kH - 1, status);
  ASSERT_EQ(status, 0);
  BitmapViewerOpen(0, 30, 20, 2, 1, status);
  ASSERT_EQ(status, 0);
  WEventTypeSwitch(kEventViewScrolled, 1);

  const plat::NativeWindow native = plat::GetNativeWindow(WindowFrameHandle(0));
  PaintAll(*x11);
  const plat::Point origin = plat::ClientToScreen(WindowBitmapView(0), {0, 0});
  testing_support::Screenshot shot;
  ASSERT_TRUE(testing_support::TakeScreenshot(xwd, server.Display(), shot, why)) << why;
  EXPECT_EQ(shot.At(origin.x, origin.y), plat::Rgb(30, 20, 128));
  EXPECT_EQ(shot.At(origin.x + 100, origin.y + 50), plat::Rgb(130, 70, 128));

  // The wheel turned towards the user (X button 5) scrolls down.
  ASSERT_TRUE(plat::x11test::SendButton(server.Display(), native, 5,
                                        {origin.x - 40 + 60, origin.y - 30 + 60}, true));
  ASSERT_TRUE(plat::x11test::SendButton(server.Display(), native, 5,
                                        {origin.x - 40 + 60, origin.y - 30 + 60}, false));
  WEventTimerSet(5000, 77, 1);  // a guard: the test fails instead of hanging
  int type = 0;
  EventRecord r;
  do {
    WEventWait(type, r);
  } while (type != kEventViewScrolled && type != kEventTimer);
  WEventTimerSet(0, 77);
  ASSERT_EQ(type, kEventViewScrolled);
  EXPECT_EQ(r.value1, 30);
  EXPECT_GT(r.value2, 20);
  PaintAll(*x11);
  ASSERT_TRUE(testing_support::TakeScreenshot(xwd, server.Display(), shot, why)) << why;
  EXPECT_EQ(shot.At(origin.x, origin.y), plat::Rgb(30, r.value2 & 0xFF, 128));
  if (const char* out = std::getenv("VELLORAN_VIEWER_SHOT")) {
    const std::string cmd = xwd + " -root -display " + server.Display() + " -out " + out;
    EXPECT_EQ(std::system(cmd.c_str()), 0);
  }

  WindowShutdown();
  BitmapStoreClear();
  SetGraphicsTargets({});
  SetGraphicsLink({});
  plat::Discard();
  server.Stop();
}

}  // namespace
}  // namespace tk
