// Window units, cursor shapes, caption bookkeeping and geometry queries.
#include <gtest/gtest.h>

#include "platform/window/Window.h"
#include "tests/toolkit/core/WindowTestSupport.h"
#include "toolkit/core/Errors.h"
#include "toolkit/core/WindowUnits.h"

namespace tk {
namespace {

using testing::ToolkitWindowTest;

TEST(WindowUnits, PixelCentresAndTruncatingDivision) {
  struct Case {
    int pixel;
    int extent;
    int unit;
  };
  const Case toUnits[] = {
      {0, 800, 6}, {799, 800, 9992}, {400, 800, 5005}, {0, 1, 0},
      {5, 1, 0},   {0, 2, 2499},     {1, 2, 7499},
  };
  for (const Case& c : toUnits)
    EXPECT_EQ(PixelToUnit(c.pixel, c.extent), c.unit) << c.pixel << " of " << c.extent;
  EXPECT_EQ(UnitToPixel(9999, 800), 799);
  EXPECT_EQ(UnitToPixel(0, 800), 0);
  EXPECT_EQ(UnitToPixel(5000, 800), 399);
  // There and back is not always the same unit.
  EXPECT_NE(PixelToUnit(UnitToPixel(5000, 800), 800), 5000);
}

TEST_F(ToolkitWindowTest, RelativeConversionsUseTheCurrentDrawable) {
  int ux = 0;
  int uy = 0;
  PixelToRelative(799, 599, ux, uy);
  EXPECT_EQ(ux, 9992);
  EXPECT_EQ(uy, PixelToUnit(599, 600));
  int px = 0;
  int py = 0;
  RelativeToPixel(9999, 9999, px, py);
  EXPECT_EQ(px, 799);
  EXPECT_EQ(py, 599);

  WindowTextStyleRecord t;
  t.charWidth = 100;
  t.charHeight = 200;
  WindowTextStyle(t);
  EXPECT_EQ(TextCellPixels(), (plat::Size{7, 11}));
}

TEST_F(ToolkitWindowTest, CursorModes) {
  int child = 0;
  WindowOpenChild(child, 7, 0, 0, 100, 100);
  WCursorShape(kCursorCross, 1);
  EXPECT_EQ(WindowCursorShape(child), kCursorCross);
  EXPECT_EQ(EffectiveCursorShape(child), kCursorCross);
  EXPECT_EQ(EffectiveCursorShape(0), kCursorArrow);

  // Global only: the window's own cursor stays.
  WCursorShape(kCursorIBeam, 2);
  EXPECT_EQ(WindowCursorShape(child), kCursorCross);
  EXPECT_EQ(EffectiveCursorShape(0), kCursorIBeam);

  // The default mode clears every window's own cursor.
  WCursorShape(kCursorHourglass);
  EXPECT_EQ(WindowCursorShape(child), 0);
  EXPECT_EQ(EffectiveCursorShape(child), kCursorHourglass);
  WCursorShape(kCursorArrow, 2);
  EXPECT_EQ(GlobalCursorShape(), kCursorArrow);
  WCursorShape(-1);
  EXPECT_EQ(GlobalCursorShape(), kCursorArrow);

  // A memory bitmap cannot show a cursor.
  WErrorStatusQuery(1);
  SetCurrentDrawable(kDrawableBitmap, {10, 10});
  WCursorShape(kCursorCross, 1);
  EXPECT_EQ(WErrorStatusQuery(1), 1097);
  EXPECT_EQ(WindowCursorShape(child), 0);
}

// What the shapes above show on the screen: over each client area the
// window's own cursor, else the global one; a window opened later shows the
// global one from the start.
TEST_F(ToolkitWindowTest, CursorsShowOverTheClientAreas) {
  int child = 0;
  WindowOpenChild(child, 7, 0, 0, 100, 100);
  harness.MouseMove(Client(child), {10, 10});
  harness.DispatchPending();
  const plat::NativeWindow native = plat::GetNativeWindow(plat::GetTopLevel(Client(child)));
  const auto shownNow = [&] { return harness.Backend().Window(native)->cursor; };

  WCursorShape(kCursorCross, 1);
  EXPECT_EQ(plat::CursorShownOver(Client(child)), plat::CursorShape::Cross);
  EXPECT_EQ(plat::CursorShownOver(Client(0)), plat::CursorShape::Arrow);
  EXPECT_EQ(shownNow(), plat::CursorShape::Cross);  // at once, the pointer is there

  WCursorShape(kCursorHourglass);
  EXPECT_EQ(plat::CursorShownOver(Client(child)), plat::CursorShape::Hourglass);
  EXPECT_EQ(plat::CursorShownOver(Client(0)), plat::CursorShape::Hourglass);
  EXPECT_EQ(shownNow(), plat::CursorShape::Hourglass);
  int later = 0;
  WindowOpenChild(later, 7, 200, 0, 100, 100);
  EXPECT_EQ(plat::CursorShownOver(Client(later)), plat::CursorShape::Hourglass);

  WCursorShape(kCursorArrow, 2);
  EXPECT_EQ(shownNow(), plat::CursorShape::Arrow);

  WindowMakeCurrent(child);
  struct Case {
    int shape;
    plat::CursorShape shown;
  };
  const Case table[] = {
      {kCursorArrowHourglass, plat::CursorShape::ArrowHourglass},
      {kCursorIBeam, plat::CursorShape::IBeam},
      {kCursorNo, plat::CursorShape::No},
      {kCursorMove, plat::CursorShape::SizeAll},
      {kCursorSizeNS, plat::CursorShape::SizeNS},
      {kCursorSizeWE, plat::CursorShape::SizeWE},
      {kCursorSizeNESW, plat::CursorShape::SizeNESW},
      {kCursorSizeNWSE, plat::CursorShape::SizeNWSE},
      {kCursorUpArrow, plat::CursorShape::UpArrow},
      {12345, plat::CursorShape::Arrow},  // no cursor resource of that number
  };
  for (const Case& c : table) {
    WCursorShape(c.shape, 1);
    EXPECT_EQ(shownNow(), c.shown) << c.shape;
  }
}

TEST_F(ToolkitWindowTest, ActivatingAChildMarksOnlyItsCaptionActive) {
  int a = 0;
  int b = 0;
  WindowOpenChild(a, 7, 0, 0, 100, 100);
  WindowOpenChild(b, 7, 200, 0, 100, 100);
  EXPECT_TRUE(CaptionActive(b));
  EXPECT_FALSE(CaptionActive(a));
  WindowRaiseChild(a);
  EXPECT_EQ(CurrentWindow(), a);
  EXPECT_TRUE(CaptionActive(a));
  EXPECT_FALSE(CaptionActive(b));
  EXPECT_EQ(plat::GetFocus(), Client(a));
  SyncFocusAndCaptions(plat::kNoWindow);
  EXPECT_FALSE(CaptionActive(a));

  // A raise of a window that does not exist reports through the selection.
  WErrorStatusQuery(1);
  WindowRaiseChild(44);
  EXPECT_EQ(WErrorStatusQuery(1), 1003);
  EXPECT_EQ(CurrentWindow(), a);
}

TEST_F(ToolkitWindowTest, GeometryQueryOfAWindowInsideItsParent) {
  int outer = 0;
  WindowOpenChild(outer, 7, 10, 10, 400, 200);
  int inner = 0;
  WindowOpenChild(inner, kWsInsideParent | 7, 9999, 0, 5000, 5000, 0, {}, 0, "in", outer);
  int a = 0;
  int b = 0;
  int inside = 0;
  int parent = 0;
  WindowGeometryQuery(0, a, b, inside, parent);
  EXPECT_EQ(a, 399);
  EXPECT_EQ(b, 0);
  EXPECT_EQ(inside, 1);
  EXPECT_EQ(parent, outer);
  WindowGeometryQuery(1, a, b, inside, parent);
  EXPECT_EQ(a, 200);
  EXPECT_EQ(b, 100);
  int x = 0;
  int y = 0;
  ClientOriginOnScreen(inner, x, y);
  EXPECT_EQ(x, 10 + 399);
  EXPECT_EQ(y, 10);
}

TEST_F(ToolkitWindowTest, AMaximisedWindowInsideItsParentFollowsTheParentsResize) {
  int outer = 0;
  WindowOpenChild(outer, 7, 10, 10, 400, 200);
  int inner = 0;
  WindowOpenChild(inner, kWsInsideParent | kWsMaximised | 7, 0, 0, 2000, 2000, 0, {}, 0, "in",
                  outer);
  EXPECT_EQ(WindowClientSize(inner), (plat::Size{400, 200}));
  harness.Resize(Frame(outer), {500, 300});
  int type = 0;
  EventRecord r;
  WEventWait(type, r);
  EXPECT_EQ(type, kEventResize);
  EXPECT_EQ(WindowClientSize(inner), (plat::Size{500, 300}));
  WindowMakeCurrent(inner);
  EXPECT_EQ(WindowQuery(11), 2000 * 400 / 9999);  // its normal size
}

TEST_F(ToolkitWindowTest, AResizeOfAnInvisibleWindowTellsTheGraphicsLayerInstead) {
  std::vector<std::pair<int, plat::Size>> told;
  GraphicsLink link;
  link.windowSurfaceResized = [&](int n, plat::Size s) { told.emplace_back(n, s); };
  SetGraphicsLink(link);
  int hidden = 0;
  WindowOpenChild(hidden, 7 | kWsHidden, 0, 0, 100, 100);
  WindowReposition(150, 120);
  SetGraphicsLink({});
  ASSERT_FALSE(told.empty());
  EXPECT_EQ(told.back().first, hidden);
  EXPECT_EQ(told.back().second, (plat::Size{150, 120}));
  EXPECT_EQ(WindowQuery(1), 150);
  // Nothing is held for it: the next event is what the user does.
  harness.Click(Client(0), {1, 1});
  int type = 0;
  EventRecord r;
  WEventWait(type, r);
  EXPECT_EQ(type, kEventButtonDown);
  EXPECT_EQ(r.window, 0);
}

}  // namespace
}  // namespace tk
