// The bitmap viewer over a numbered window: what it reports, how keys, the
// wheel and the scroll bars move it (event 15), mouse events from the view,
// the modal loop, and the bitmaps it keeps alive.
#include <gtest/gtest.h>

#include <vector>

#include "platform/controls/Controls.h"
#include "platform/testing/Harness.h"
#include "platform/window/VirtualKeys.h"
#include "toolkit/core/Errors.h"
#include "toolkit/core/Events.h"
#include "toolkit/core/Menus.h"
#include "toolkit/core/Windows.h"
#include "toolkit/graphics/BitmapStore.h"
#include "toolkit/graphics/Colours.h"
#include "toolkit/graphics/Graphics.h"
#include "toolkit/graphics/ScreenDriver.h"
#include "toolkit/graphics/WindowTargets.h"

namespace tk::testing {
namespace {

constexpr int kBitmapWidth = 300;
constexpr int kBitmapHeight = 200;
constexpr int kBar = plat::kWindowScrollBarSize;

class BitmapViewerTest : public ::testing::Test {
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
    BitmapStoreClear();
    // Pixel (x, y) has red x, green y: where a pixel came from shows in it.
    BitmapCreate(slot, kBitmapWidth, kBitmapHeight, 0);
    ASSERT_EQ(slot, 1);
    std::vector<std::int32_t> px(kBitmapWidth * kBitmapHeight);
    for (int y = 0; y < kBitmapHeight; ++y)
      for (int x = 0; x < kBitmapWidth; ++x)
        px[static_cast<std::size_t>(y * kBitmapWidth + x)] = (x & 0xFF) | (y & 0xFF) << 8;
    int status = -1;
    BitmapPutPixels(0, px, 0, 0, kBitmapWidth - 1, kBitmapHeight - 1, status);
    ASSERT_EQ(status, 0);
  }
  void TearDown() override {
    WindowShutdown();
    BitmapStoreClear();
    SetGraphicsTargets({});
    SetGraphicsLink({});
  }
  int Info(int window, int item) {
    int v = -1;
    BitmapViewerInfo(window, item, v);
    return v;
  }
  plat::Hwnd View() { return WindowBitmapView(0); }
  // Opens the viewer on window 0 (modeless) and gives the view the focus.
  void OpenModeless(int flags, int x = 0, int y = 0) {
    int status = -1;
    BitmapViewerOpen(0, x, y, 2, flags, status);
    ASSERT_EQ(status, 0);
    ASSERT_NE(View(), plat::kNoWindow);
    plat::SetFocus(View());
    harness.DispatchPending();
    WEventTypeSwitch(kEventButtonUp, 1);
    WEventTypeSwitch(kEventViewScrolled, 1);
  }
  // The next event the toolkit delivers (type -1 when none comes).
  int Next(EventRecord& r) {
    int type = kEventNone;
    for (int i = 0; i < 50 && type == kEventNone; ++i) WEventPeek(type, r);
    return type;
  }
  // The pixel the view shows at its client (x, y), as packed RGB.
  std::int32_t Shown(int x, int y) {
    plat::UpdateWindow(View());
    const plat::PaintContext ctx = plat::GetDrawContext(View());
    return PixelToRgb(ctx.surface->Get(ctx.origin.x + x, ctx.origin.y + y));
  }

  plat::testing::Harness harness{{1920, 1080}};
  int slot = 0;
};

TEST_F(BitmapViewerTest, ReportsItsBitmapAndPositions) {
  // Not a viewer yet: every item 0.
  for (int item : {3, 4, 5, 101, 102, 103}) EXPECT_EQ(Info(0, item), 0) << item;
  OpenModeless(0, 40, 30);
  EXPECT_EQ(WindowQuery(10), 2);  // the window is a bitmap-view window
  EXPECT_EQ(Info(0, 3), 1);
  EXPECT_EQ(Info(0, 4), 40);
  EXPECT_EQ(Info(0, 5), 30);
  EXPECT_EQ(Info(0, 101), kBitmapWidth);
  EXPECT_EQ(Info(0, 102), kBitmapHeight);
  const int vpage = 100 - kBar;  // the client less the horizontal bar
  EXPECT_EQ(Info(0, 103), 30 + vpage + kBar);  // the horizontal bar is shown
  EXPECT_EQ(Info(0, 7), 0);                    // no such item
  EXPECT_EQ(Info(1, 101), 0);                  // no such window
  EXPECT_EQ(Shown(0, 0), 40 | 30 << 8);
  EXPECT_EQ(Shown(5, 7), 45 | 37 << 8);

  // A viewer shows the bitmap: it cannot be destroyed, and the main window
  // is not among the windows 1-50 that Find looks at.
  int status = -1;
  BitmapDestroy(0, status);
  EXPECT_EQ(status, kBitmapInViewer);
  int w = 0, h = 0;
  BitmapSize(0, w, h);
  EXPECT_EQ(w, kBitmapWidth);
  EXPECT_EQ(BitmapViewerFind(0), 0);

  // Opening again switches the bitmap; a negative position keeps the old one.
  int second = 0;
  BitmapCreate(second, 250, 150, 0x00FF00);
  ASSERT_EQ(second, 2);
  BitmapViewerOpen(1, -1, 10, 2, 0, status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(Info(0, 3), 2);
  EXPECT_EQ(Info(0, 4), 40);
  EXPECT_EQ(Info(0, 5), 10);
  EXPECT_EQ(Info(0, 101), 250);
  BitmapDestroy(0, status);  // no longer shown
  EXPECT_EQ(status, 0);
}

TEST_F(BitmapViewerTest, OpenStatuses) {
  int status = -1;
  BitmapViewerOpen(5, 0, 0, 2, 0, status);  // a free slot
  EXPECT_EQ(status, 2);
  BitmapViewerOpen(-1, 0, 0, 2, 0, status);
  EXPECT_EQ(status, 2);
  // The bitmap is the drawing surface.
  GraphicsTargets t = Targets();
  t.selectBitmap = BitmapSurfaceBinding;
  SetGraphicsTargets(t);
  IGrSelect(kDrawBitmap, 1);
  ASSERT_EQ(Gs().drawableKind, kDrawBitmap);
  BitmapViewerOpen(0, 0, 0, 2, 0, status);
  EXPECT_EQ(status, 3);
  IGrSelect(kDrawWindow, 0);
  // A window holding a window of its own.
  int child = 0;
  WindowOpenChild(child, kDefaultWindowFlags | kWsInsideParent, 10, 10, 80, 40);
  ASSERT_GT(child, 0);
  WindowMakeCurrent(0);
  BitmapViewerOpen(0, 0, 0, 2, 0, status);
  EXPECT_EQ(status, 9);
  EXPECT_EQ(View(), plat::kNoWindow);
  // A window inside another is always modeless: asked for modal, it says so
  // and returns at once.
  WindowMakeCurrent(child);
  BitmapViewerOpen(0, 0, 0, 1, 0, status);
  EXPECT_EQ(status, 5);
  EXPECT_NE(WindowBitmapView(child), plat::kNoWindow);
  EXPECT_EQ(Info(child, 101), kBitmapWidth);
}

TEST_F(BitmapViewerTest, KeysWheelAndBarsScrollWithEventFifteen) {
  OpenModeless(1);
  const int vpage = 100 - kBar, hpage = 200 - kBar;
  struct Case {
    int vk;
    bool ctrl;
    int h, v;  // positions after the key
  };
  const Case cases[] = {
      {plat::kVkNext, false, 0, vpage},
      {plat::kVkDown, false, 0, vpage + 16},
      {plat::kVkNext, true, 0, kBitmapHeight - vpage},  // to the bottom, a page still fits
      {plat::kVkEnd, false, kBitmapWidth - hpage, kBitmapHeight - vpage},  // a page, up to the end
      {plat::kVkLeft, false, kBitmapWidth - hpage - 16, kBitmapHeight - vpage},
      {plat::kVkEnd, true, kBitmapWidth - hpage, kBitmapHeight - vpage},
      {plat::kVkHome, true, 0, kBitmapHeight - vpage},
      {plat::kVkPrior, true, 0, 0},
  };
  for (const Case& c : cases) {
    harness.Modifiers(false, c.ctrl).Key(c.vk);
    EventRecord r;
    ASSERT_EQ(Next(r), kEventViewScrolled) << c.vk;
    EXPECT_EQ(r.window, 0);
    EXPECT_EQ(r.value1, c.h) << c.vk << " " << c.ctrl;
    EXPECT_EQ(r.value2, c.v) << c.vk << " " << c.ctrl;
    EXPECT_EQ(r.value3, kSourceBitmapView);
    EXPECT_EQ(r.value4, -1);
    EXPECT_EQ(Info(0, 4), c.h);
    EXPECT_EQ(Info(0, 5), c.v);
  }
  harness.Modifiers(false, false);
  // Already at the top: nothing moves, nothing is reported.
  harness.Key(plat::kVkUp);
  EventRecord r;
  EXPECT_EQ(Next(r), kEventNone);

  // The wheel turned towards the user scrolls down three lines.
  harness.Wheel(View(), {20, 20}, -120);
  ASSERT_EQ(Next(r), kEventViewScrolled);
  EXPECT_EQ(r.value1, 0);
  EXPECT_EQ(r.value2, 48);
  EXPECT_EQ(Shown(0, 0), 0 | 48 << 8);

  // A scroll-bar thumb drop.
  plat::PostMessage(View(), plat::Msg::HScroll, plat::MakeWParam(plat::kSbThumbPosition, 70), 0);
  ASSERT_EQ(Next(r), kEventViewScrolled);
  EXPECT_EQ(r.value1, 70);
  EXPECT_EQ(r.value2, 48);
  EXPECT_EQ(Shown(3, 2), 73 | 50 << 8);
}

TEST_F(BitmapViewerTest, KeysWithoutTheKeyFlagGoToTheWindow) {
  OpenModeless(0);
  harness.Key(plat::kVkNext);
  EventRecord r;
  ASSERT_EQ(Next(r), kEventKey);
  EXPECT_EQ(r.window, 0);
  EXPECT_EQ(r.value3, kSourceClient);
  EXPECT_EQ(Info(0, 5), 0);
}

TEST_F(BitmapViewerTest, MouseEventsComeFromTheViewInBitmapUnits) {
  OpenModeless(0, 50, 20);
  IGrUnits(0, 0, 300, 200);  // one unit a bitmap pixel, y up from the bitmap's bottom
  harness.Click(View(), {10, 5});
  EventRecord r;
  ASSERT_EQ(Next(r), kEventButtonDown);
  EXPECT_EQ(r.window, 0);
  EXPECT_EQ(r.value1, 1);
  EXPECT_EQ(r.value3, kSourceBitmapView);
  // Column 60 of the bitmap; row 25 counted from the top, 174.5 from the bottom.
  EXPECT_NEAR(r.graphicsX, 60.5, 1e-3);
  EXPECT_NEAR(r.graphicsY, kBitmapHeight - 25 - 0.5, 1e-3);
  ASSERT_EQ(Next(r), kEventButtonUp);
  EXPECT_EQ(r.value3, kSourceBitmapView);

  // Double clicks are reported only with flag 2 (or modal).
  WEventTypeSwitch(kEventDoubleClick, 1);
  harness.DoubleClick(View(), {10, 5});
  int type = 0;
  bool sawDouble = false;
  while ((type = Next(r)) != kEventNone) sawDouble |= type == kEventDoubleClick;
  EXPECT_FALSE(sawDouble);
}

TEST_F(BitmapViewerTest, DoubleClicksWithTheirFlag) {
  OpenModeless(2);
  WEventTypeSwitch(kEventDoubleClick, 1);
  harness.DoubleClick(View(), {10, 5});
  EventRecord r;
  int type = 0;
  bool sawDouble = false;
  while ((type = Next(r)) != kEventNone)
    if (type == kEventDoubleClick) {
      sawDouble = true;
      EXPECT_EQ(r.value3, kSourceBitmapView);
    }
  EXPECT_TRUE(sawDouble);
}

TEST_F(BitmapViewerTest, ClosingAModelessViewerIsEventNine) {
  OpenModeless(0);
  harness.Close(WindowFrameHandle(0));
  EventRecord r;
  ASSERT_EQ(Next(r), kEventClose);
  EXPECT_EQ(r.window, 0);
  EXPECT_NE(View(), plat::kNoWindow);  // closing is the caller's decision
}

TEST_F(BitmapViewerTest, ModalViewerRunsUntilItsWindowIsClosed) {
  // The user pages down, then closes the window; the viewer returns.
  int seen = -1;
  harness.Key(plat::kVkNext).Call([&] { seen = Info(0, 5); }).Close(WindowFrameHandle(0));
  int status = -1;
  BitmapViewerOpen(0, 0, 0, 1, 0, status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(seen, 100 - kBar);  // modal viewers take the keys without flag 1
  // Taken off again: the window shows its own client area.
  EXPECT_EQ(View(), plat::kNoWindow);
  EXPECT_EQ(WindowQuery(10), 0);
  EXPECT_TRUE(plat::IsWindowVisible(WindowClientHandle(0)));
  EXPECT_EQ(Info(0, 101), 0);
  BitmapDestroy(0, status);
  EXPECT_EQ(status, 0);
}

TEST_F(BitmapViewerTest, ModelessViewerKeepsTheMenuAndToolbars) {
  WMenuWindow(30001, 0);
  WMenuToolbar(30102, 0, 1);
  int status = -1;
  BitmapViewerOpen(0, 0, 0, 2, 0, status);
  ASSERT_EQ(status, 0);
  EXPECT_NE(WindowMenuHandle(0), plat::kNoMenu);
  EXPECT_NE(WindowToolbarHandle(0, 1), plat::kNoWindow);
}

TEST_F(BitmapViewerTest, ModalViewerTakesTheMenuAndToolbarsAway) {
  WMenuWindow(30001, 0);
  WMenuToolbar(30102, 0, 1);
  const plat::Rect client = plat::GetWindowRect(WindowClientHandle(0));
  bool gone = false;
  int viewHeight = 0;
  harness
      .Call([&] {
        gone = WindowMenuHandle(0) == plat::kNoMenu && WindowToolbarHandle(0, 1) == plat::kNoWindow;
        const plat::Rect v = plat::GetWindowRect(View());
        viewHeight = v.bottom - v.top;
      })
      .Close(WindowFrameHandle(0));
  int status = -1;
  BitmapViewerOpen(0, 0, 0, 1, 0, status);
  EXPECT_EQ(status, 0);
  EXPECT_TRUE(gone);
  EXPECT_GT(viewHeight, client.bottom - client.top) << "the view takes the room of the bars";
  EXPECT_EQ(WindowMenuHandle(0), plat::kNoMenu);
}

TEST_F(BitmapViewerTest, AResizedOrRotatedBitmapStaysShown) {
  OpenModeless(0, 10, 10);
  int viewer = -1, status = -1;
  BitmapRotate(0, 90, viewer, status);
  ASSERT_EQ(status, 0);
  EXPECT_EQ(Info(0, 3), 1);
  EXPECT_EQ(Info(0, 101), kBitmapHeight);
  EXPECT_EQ(Info(0, 102), kBitmapWidth);
  BitmapResize(0, 40, 30, viewer, status);
  ASSERT_EQ(status, 0);
  EXPECT_EQ(Info(0, 101), 40);
  EXPECT_EQ(Info(0, 4), 0);  // the old position no longer fits
  BitmapDestroy(0, status);
  EXPECT_EQ(status, kBitmapInViewer);
}

}  // namespace
}  // namespace tk::testing
