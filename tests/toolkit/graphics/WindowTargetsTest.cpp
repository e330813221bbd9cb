// Drawing into the toolkit's numbered windows.
#include <gtest/gtest.h>

#include "platform/testing/Harness.h"
#include "toolkit/core/Errors.h"
#include "toolkit/core/Windows.h"
#include "toolkit/graphics/Colours.h"
#include "toolkit/graphics/Graphics.h"
#include "toolkit/graphics/WindowTargets.h"

namespace tk::testing {
namespace {

class WindowTargetsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WindowStyleRecord style;
    style.width = 200;
    style.height = 100;
    WindowOpen(style);
    GraphicsConnectWindows();
    GraphicsStart();
    PaletteLoadDefault();
    IGrStateReset();
  }
  void TearDown() override {
    WindowShutdown();
    SetGraphicsTargets({});
    SetGraphicsLink({});
  }
  // The pixel at client (x, y) of window N.
  plat::Pixel Client(int n, int x, int y) {
    const plat::PaintContext ctx = plat::GetDrawContext(WindowClientHandle(n));
    return ctx.surface->Get(ctx.origin.x + x, ctx.origin.y + y);
  }
  plat::testing::Harness harness{{1920, 1080}};
};

TEST_F(WindowTargetsTest, DrawsIntoTheCurrentWindow) {
  EXPECT_EQ(Gs().width, 200);
  EXPECT_EQ(Gs().height, 100);
  IGrUnits(0, 0, 10, 8);
  IGrPenMoveTo(0, 0);
  IGrDrawLineTo(10, 8);
  EXPECT_EQ(Client(0, 0, 99), plat::Rgb(0, 0, 0));
  EXPECT_EQ(Client(0, 199, 0), plat::Rgb(0, 0, 0));
}

TEST_F(WindowTargetsTest, ChildWindowsAndBadNumbers) {
  int child = 0;
  WindowOpenChild(child, kDefaultWindowFlags, 10, 10, 120, 60);
  ASSERT_GT(child, 0);
  IGrSelect(1, child);
  EXPECT_EQ(IGrStateQuery(44), child);
  EXPECT_EQ(Gs().width, 120);
  IGrUnits(0, 0, 1, 1);
  IGrPenMoveTo(0, 0.5f);
  IGrDrawLineTo(1, 0.5f);
  EXPECT_EQ(Client(child, 60, 30), plat::Rgb(0, 0, 0));
  ResetErrorState();
  IGrSelect(1, 60);
  EXPECT_EQ(WErrorStatusQuery(1), 1019);
  EXPECT_EQ(IGrStateQuery(44), child);
  WindowMakeCurrent(0);
  EXPECT_EQ(IGrStateQuery(44), 0);
  EXPECT_EQ(Gs().width, 200);
  IGrBlankArea();
  EXPECT_EQ(Client(0, 5, 5), plat::Rgb(255, 255, 255));
}

TEST_F(WindowTargetsTest, ResizeReachesTheGraphicsState) {
  // The window procedures report a new client size through the link.
  GetGraphicsLink().windowSurfaceResized(0, {300, 150});
  EXPECT_EQ(Gs().width, 300);
  EXPECT_EQ(Gs().height, 150);
  GetGraphicsLink().windowSurfaceResized(1, {10, 10});  // not the current window
  EXPECT_EQ(Gs().width, 300);
  WindowReposition(240, 120);
  EXPECT_EQ(Gs().width, 240);
  EXPECT_EQ(Gs().height, 120);
  IGrUnits(0, 0, 1, 1);
  IGrPenMoveTo(0, 0);
  IGrDrawLineTo(1, 1);
  EXPECT_EQ(Client(0, 239, 0), plat::Rgb(0, 0, 0));
}

}  // namespace
}  // namespace tk::testing
