// Dialog fields as drawing targets, their events, and field geometry.
#include <gtest/gtest.h>

#include "platform/controls/Controls.h"
#include "tests/toolkit/dialogs/DialogTestSupport.h"
#include "toolkit/dialogs/DialogExtras.h"
#include "toolkit/dialogs/DialogFieldGraphics.h"
#include "toolkit/graphics/Colours.h"
#include "toolkit/graphics/Graphics.h"
#include "toolkit/graphics/WindowTargets.h"

namespace tk {
namespace {

constexpr std::string_view kGraphicsDialogs = R"(dialog 921 popup
  caption "Picture"
  rect 0 0 200 160
  style WS_CAPTION | WS_SYSMENU | DS_MODALFRAME
  control STATIC 1401 10 10 120 80 "" SS_LEFT | SS_NOTIFY | WS_VISIBLE
  control BUTTON 1402 140 10 50 14 "Face" WS_VISIBLE | WS_TABSTOP
  control INTEGERSPIN 1403 10 100 40 12 "" WS_VISIBLE | WS_TABSTOP | WS_BORDER
  control msctls_updown32 1404 50 100 10 12 "" WS_VISIBLE
  control BUTTON 1 10 140 50 14 "OK" BS_DEFPUSHBUTTON | WS_VISIBLE | WS_TABSTOP
end
)";

class DialogFieldGraphicsTest : public testing::DialogTest {
 protected:
  void SetUp() override {
    DialogTest::SetUp();
    GraphicsConnectWindows();
    GraphicsStart();
    PaletteLoadDefault();
    IGrStateReset();
    res::ResourceSet set;
    res::ResourceError error;
    ASSERT_TRUE(res::ParseResourceText("graphics-dialogs", kGraphicsDialogs, set, error))
        << error.Text();
    for (const res::DialogTemplate& t : set.dialogs) AddDialogTemplate(t);
    WEventTypeSwitch(kEventButtonUp, 1);
    WDialogLoad(921);
    WDialogShow(-1, -1, 0, kShowModeless);
    harness.DispatchPending();
    Drain();
    ASSERT_EQ(LastError(), 0);
  }
  void TearDown() override {
    DialogTest::TearDown();
    SetGraphicsTargets({});
    SetGraphicsLink({});
  }
  void Drain() {
    int type = 0;
    EventRecord r;
    for (int i = 0; i < 50; ++i) {
      WEventPeek(type, r);
      if (type == kEventNone) return;
    }
  }
  /// The pixel at client (x, y) of field ID.
  static plat::Pixel At(int id, int x, int y) {
    const plat::PaintContext ctx = plat::GetDrawContext(Field(id));
    return ctx.surface->Get(ctx.origin.x + x, ctx.origin.y + y);
  }
};

TEST_F(DialogFieldGraphicsTest, DrawsIntoTheFieldAndReadsBack) {
  int left = 0, top = 0, width = 0, height = 0;
  ASSERT_EQ(FieldRectangle(1401, left, top, width, height, 1), 1401);
  IGrSelect(kDrawDialogField, 1401);
  EXPECT_EQ(LastError(), 0);
  EXPECT_EQ(Gs().width, width);
  EXPECT_EQ(Gs().height, height);
  EXPECT_EQ(Gs().drawableDialog, 921);
  IGrUnits(0, 0, 1, 1);
  IGrColour("red");
  IGrPenMoveTo(0, 0.5f);
  IGrDrawLineTo(1, 0.5f);
  const int row = height - 1 - static_cast<int>((height - 0.01f) * 0.5f);
  for (int x : {0, width / 2, width - 1}) EXPECT_EQ(At(1401, x, row), plat::Rgb(255, 0, 0)) << x;
  // Nothing outside the field: the dialog pixel just left of it is untouched.
  const plat::PaintContext d = plat::GetDrawContext(DialogWindow());
  EXPECT_NE(d.surface->Get(d.origin.x + left - 1, d.origin.y + top + row), plat::Rgb(255, 0, 0));
  // The dialog's own client area, and fields that are not there.
  IGrSelect(kDrawDialogField, 0);
  EXPECT_EQ(Gs().width, plat::GetClientRect(DialogWindow()).Width());
  IGrSelect(kDrawDialogField, 5555);
  EXPECT_EQ(LastError(), 1019);
  EXPECT_EQ(IGrStateQuery(44), 0);  // back on the current window
}

TEST_F(DialogFieldGraphicsTest, FieldEventsStartWithTheFirstSelection) {
  const plat::Hwnd pic = Field(1401);
  // Before: a click on the notifying static is a push of it, no mouse event.
  harness.Click(pic, {20, 15});
  auto [t0, click] = Wait();
  EXPECT_EQ(t0, kEventPushButton);
  EXPECT_EQ(click.value1, 1401);
  Drain();
  int type = 0;
  EventRecord r;
  IGrSelect(kDrawDialogField, 1401);
  harness.Click(pic, {20, 15}, plat::MouseButton::Right);
  auto [t1, down] = Wait();
  EXPECT_EQ(t1, kEventButtonDown);
  EXPECT_EQ(down.window, 921);
  EXPECT_EQ(down.value1, 3);
  EXPECT_EQ(down.value3, kSourceField);
  EXPECT_EQ(down.value4, 1401);
  EXPECT_EQ(down.x, 20);  // field pixels
  EXPECT_EQ(down.y, 15);
  auto [t2, up] = Wait();
  EXPECT_EQ(t2, kEventButtonUp);
  EXPECT_EQ(up.value4, 1401);
  // Uncovering: an expose for the field.
  Drain();
  plat::InvalidateRect(DialogWindow(), std::nullopt, true);
  bool exposed = false;
  for (int i = 0; i < 5 && !exposed; ++i) {
    WEventPeek(type, r);
    exposed = type == kEventExpose && r.value3 == kSourceField && r.value4 == 1401;
  }
  EXPECT_TRUE(exposed);
  // A new size (made while the program waits, as a layout change would be):
  // the graphics state follows and a resize event tells the size.
  Drain();
  const plat::Rect w = plat::GetWindowRect(pic);
  harness.Call([&] { plat::MoveWindow(pic, {w.left, w.top, w.left + 100, w.top + 60}); });
  bool resized = false;
  for (int i = 0; i < 5 && !resized; ++i) {
    WEventPeek(type, r);
    resized = type == kEventResize && r.value4 == 1401;
  }
  ASSERT_TRUE(resized);
  const plat::Rect c = plat::GetClientRect(pic);
  EXPECT_EQ(r.value1, c.Width());
  EXPECT_EQ(r.value2, c.Height());
  EXPECT_EQ(Gs().width, c.Width());
  EXPECT_EQ(Gs().height, c.Height());
}

TEST_F(DialogFieldGraphicsTest, GraphicsDialogsAreFound) {
  EXPECT_FALSE(DialogHasGraphicsField(DialogWindow()));
  IGrSelect(kDrawDialogField, 1402);
  EXPECT_TRUE(DialogHasGraphicsField(DialogWindow()));
  EXPECT_TRUE(FindField(*CurrentDialog(), 1402)->rec.graphicsTarget);
}

TEST_F(DialogFieldGraphicsTest, FieldGeometry) {
  int left = 0, top = 0, width = 0, height = 0;
  const plat::Rect w = plat::GetWindowRect(Field(1403));
  ASSERT_EQ(FieldRectangle(1403, left, top, width, height, 2), 1403);
  EXPECT_EQ(left, w.left);
  EXPECT_EQ(width, w.Width());
  FieldRectangle(1403, left, top, width, height, 1);
  EXPECT_EQ(width, plat::GetClientRect(Field(1403)).Width());
  EXPECT_EQ(WDialogFieldInfo(1403, 1), left);
  EXPECT_EQ(FieldRectangle(4444, left, top, width, height, 1), -1);

  // Placement against rectangles of the dialog's client area.
  FindField(*CurrentDialog(), 1403)->rec.buddy = Field(1404);
  const int right = plat::GetWindowRect(Field(1404)).right;
  struct Case {
    plat::Rect r;
    int expected;
  };
  const Case cases[] = {
      {{0, 0, 1000, 1000}, 1},
      {{w.left, w.top, right, w.bottom}, 1},
      {{0, 0, right - 1, 1000}, 2},  // the spin arrows stick out
      {{w.left + 5, w.top + 2, w.left + 8, w.top + 4}, 2},
      {{right + 1, 0, right + 50, 1000}, 0},
      {{0, 0, 1000, w.top - 1}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.r.left);
    EXPECT_EQ(FieldPlacement(Field(1403), c.r), c.expected);
  }
}

TEST(SectionPrefixCompareTest, PrefixesCompareEqual) {
  struct Case {
    std::string_view a, b;
    int expected;
  };
  const Case cases[] = {
      {"[Ranges]", "[Ranges] 1001 0 10", 0}, {"[Ranges]", "[Ranges]", 0},       {"[Ranges]", "", 0},
      {"[Ranges]", "[Menus]", 'R' - 'M'},    {"[Flags]", "[flags]", 'F' - 'f'},
  };
  for (const Case& c : cases) EXPECT_EQ(SectionPrefixCompare(c.a, c.b), c.expected) << c.b;
  // Lines are read blank-padded: one holding only part of the header differs.
  EXPECT_EQ(SectionPrefixCompare("[Ranges]", "[Ran            "), 'g' - ' ');
}

TEST_F(DialogFieldGraphicsTest, FocusIsRecordedThroughEnclosingDialogs) {
  RecordFocusField(Field(1402), 1402);
  EXPECT_EQ(CurrentDialog()->rec.focusField, 1402);
  int x = 0, y = 0;
  DialogUnitPixels(x, y);
  EXPECT_EQ(x, 6);
  EXPECT_EQ(y, 13);
}

}  // namespace
}  // namespace tk
