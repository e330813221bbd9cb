// Focus, activation, capture, enabled state and the routing of mouse and
// keyboard input.
#include <gtest/gtest.h>

#include "platform/window/VirtualKeys.h"
#include "tests/platform/window/Recorder.h"

namespace plat::testing {
namespace {

class InputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    top = rec.Top("top", {100, 100, 400, 300}, kStyleVisible);
    left = rec.Child(top, "left", {10, 10, 110, 110});
    right = rec.Child(top, "right", {150, 10, 250, 110});
    inner = rec.Child(left, "inner", {20, 20, 60, 60});
    harness.DispatchPending();
    rec.Clear();
    rec.quiet.push_back(Msg::Paint);
    rec.quiet.push_back(Msg::EraseBackground);
  }
  /// Entries of mouse and key messages, with positions: "left LButtonDown 5,6".
  Log Input() const {
    Log out;
    for (std::size_t i = 0; i < rec.entries.size(); ++i) {
      const Recorder::Entry& e = rec.entries[i];
      if (ToInt(e.msg) >= ToInt(kMouseFirst) && ToInt(e.msg) <= ToInt(kMouseLast)) {
        const Point p = LParamToPoint(e.l);
        out.push_back(rec.log[i] + " " + std::to_string(p.x) + "," + std::to_string(p.y));
      } else if (ToInt(e.msg) >= ToInt(kKeyFirst) && ToInt(e.msg) <= ToInt(kKeyLast)) {
        out.push_back(rec.log[i] + " " + std::to_string(e.w));
      }
    }
    return out;
  }

  Harness harness;
  Recorder rec;
  Hwnd top = kNoWindow, left = kNoWindow, right = kNoWindow, inner = kNoWindow;
};

TEST_F(InputTest, FocusMovesWithKillFocusBeforeSetFocusAndKeysFollowIt) {
  EXPECT_EQ(SetFocus(inner), top);
  EXPECT_EQ(rec.log, (Log{"top KillFocus", "inner SetFocus"}));
  EXPECT_EQ(rec.entries[0].w, inner);
  EXPECT_EQ(rec.entries[1].w, top);
  rec.Clear();
  harness.Key('A', 'a').Key(kVkF1, 0, true);
  harness.DispatchPending();
  EXPECT_EQ(Input(), (Log{"inner KeyDown 65", "inner Char 97", "inner KeyUp 65",
                          "inner SysKeyDown 112", "inner SysKeyUp 112"}));
  EXPECT_FALSE(IsKeyDown('A'));
}

TEST_F(InputTest, DisablingTakesFocusAndCaptureAndRefusesFocus) {
  SetFocus(left);
  SetCapture(left);
  rec.Clear();
  EXPECT_FALSE(EnableWindow(left, false));
  EXPECT_EQ(rec.log, (Log{"left KillFocus", "left CaptureChanged", "left Enable"}));
  EXPECT_EQ(GetFocus(), kNoWindow);
  EXPECT_EQ(GetCapture(), kNoWindow);
  EXPECT_EQ(SetFocus(left), kNoWindow);
  EXPECT_EQ(GetFocus(), kNoWindow);
  EXPECT_FALSE(IsWindowEnabled(left));
  EXPECT_EQ(GetStyle(left) & kStyleDisabled, kStyleDisabled);
  EXPECT_TRUE(EnableWindow(left, true));
  EXPECT_EQ(SetFocus(left), kNoWindow);
  EXPECT_EQ(GetFocus(), left);
}

TEST_F(InputTest, MouseGoesToTheDeepestEnabledChildInClientCoordinates) {
  harness
      .MouseMove(top, {5, 5})       // the top-level's own area
      .Click(top, {40, 40})         // inside inner (at 20,20 of left)
      .MouseMove(top, {200, 50})    // right
      .Wheel(top, {200, 50}, 120);  // wheel carries screen coordinates
  harness.DispatchPending();
  EXPECT_EQ(Input(), (Log{"top MouseMove 5,5", "inner LButtonDown 10,10", "inner LButtonUp 10,10",
                          "right MouseMove 50,40", "right MouseWheel 300,150",
                          "top MouseWheel 300,150"}));  // passed on by the default handling
  EXPECT_EQ(SignedHigh(rec.entries.back().w), 120);

  rec.Clear();
  EnableWindow(inner, false);
  harness.Click(top, {40, 40});
  harness.DispatchPending();
  EXPECT_EQ(Input(), (Log{"left LButtonDown 30,30", "left LButtonUp 30,30"}));
  EXPECT_EQ(rec.entries[1].w, WParam{kMkLButton});  // the down message holds the button
  EXPECT_EQ(rec.entries[2].w, WParam{0});

  harness.Modifiers(true, false).Press(top, {5, 5}).MouseMove(top, {6, 6});
  harness.DispatchPending();
  EXPECT_EQ(rec.entries.back().w, WParam{kMkLButton | kMkShift});
  EXPECT_TRUE(IsKeyDown(kVkShift));
  EXPECT_TRUE(IsKeyDown(kVkLButton));
  EXPECT_FALSE(IsKeyDown(kVkControl));
}

TEST_F(InputTest, CaptureTakesAllMouseInputUntilReleased) {
  rec.on[Msg::LButtonDown] = [](Hwnd h, WParam, LParam) -> LResult {
    SetCapture(h);
    return 0;
  };
  rec.on[Msg::LButtonUp] = [](Hwnd, WParam, LParam) -> LResult {
    ReleaseCapture();
    return 0;
  };
  harness.Drag(right, {10, 10}, {-160, 200}, MouseButton::Left, 2)
      .MouseMove(top, {5, 5})
      .MouseMove(top, {5, 500});  // outside every window, nobody captures
  harness.DispatchPending();
  EXPECT_EQ(Input(),
            (Log{"right LButtonDown 10,10", "right MouseMove -75,105", "right MouseMove -160,200",
                 "right LButtonUp -160,200", "top MouseMove 5,5"}));
  EXPECT_EQ(rec.Only(Msg::CaptureChanged), (Log{"right CaptureChanged"}));
  EXPECT_EQ(GetCapture(), kNoWindow);
}

TEST_F(InputTest, DoubleClicksNeedTheClassStyleTimeAndPlace) {
  Recorder plain("Plain", 0);
  const Hwnd noDbl = plain.Child(top, "plain", {260, 10, 290, 40});
  harness.DoubleClick(right, {5, 5})
      .DoubleClick(noDbl, {5, 5})
      .Click(right, {5, 5})
      .Pause(600)
      .Click(right, {5, 5})
      .Click(right, {50, 50});
  harness.DispatchPending();
  Log downs;
  for (const Recorder* r : {&rec, &plain})
    for (const std::string& s : r->log)
      if (s.find("Down") != std::string::npos || s.find("Dbl") != std::string::npos)
        downs.push_back(s);
  EXPECT_EQ(downs, (Log{"right LButtonDown", "right LButtonDblClk", "right LButtonDown",
                        "right LButtonDown", "right LButtonDown", "plain LButtonDown",
                        "plain LButtonDown"}));
}

TEST_F(InputTest, HiddenAndDisabledTopLevelWindowsTakeNoInput) {
  const Hwnd other = rec.Top("other", {0, 0, 50, 50}, kStyleVisible);
  EXPECT_EQ(GetActiveWindow(), other);
  harness.Close(top);
  EnableWindow(top, false);
  harness.Click(top, {5, 5});
  harness.DispatchPending();
  EXPECT_TRUE(IsWindow(top));
  EXPECT_EQ(harness.Backend().Beeps(), 1);
  EXPECT_TRUE(Input().empty());

  ShowWindow(other, ShowCmd::Hide);
  EXPECT_EQ(GetActiveWindow(), kNoWindow);
  EXPECT_EQ(GetFocus(), kNoWindow);
}

TEST_F(InputTest, ActivationFromTheWindowManagerRestoresTheFocusedChild) {
  SetFocus(inner);
  harness.FocusOut(top);
  harness.DispatchPending();
  EXPECT_EQ(GetActiveWindow(), kNoWindow);
  EXPECT_EQ(GetFocus(), kNoWindow);
  harness.FocusIn(top);
  harness.DispatchPending();
  EXPECT_EQ(GetActiveWindow(), top);
  EXPECT_EQ(GetFocus(), inner);
}

TEST_F(InputTest, HidingOrDestroyingTheFocusedChildHandsFocusToItsParent) {
  SetFocus(inner);
  ShowWindow(inner, ShowCmd::Hide);
  EXPECT_EQ(GetFocus(), left);
  EXPECT_FALSE(IsWindowVisible(inner));
  EXPECT_TRUE(IsShown(left));
  SetFocus(right);
  DestroyWindow(right);
  EXPECT_EQ(GetFocus(), top);
  EXPECT_EQ(GetChildren(top), (std::vector<Hwnd>{left}));
}

TEST_F(InputTest, ReparentingKeepsTheRectangleNumbers) {
  EXPECT_EQ(SetParent(inner, right), left);
  EXPECT_EQ(GetParent(inner), right);
  EXPECT_EQ(WindowFromPoint(ClientToScreen(right, {25, 25})), inner);
  EXPECT_EQ(SetParent(inner, kNoWindow), right);
  EXPECT_EQ(GetTopLevel(inner), inner);
  EXPECT_NE(GetNativeWindow(inner), 0u);
  EXPECT_EQ(GetSurface(inner)->Width(), 40);
  EXPECT_EQ(SetParent(top, inner), kNoWindow);  // top had no parent
  EXPECT_EQ(GetParent(top), inner);
  EXPECT_EQ(GetNativeWindow(top), 0u);
  EXPECT_EQ(SetParent(left, left), kNoWindow);  // refused: a window cannot hold itself
  EXPECT_EQ(GetParent(left), top);
}

// The pointer shows the shape of the window under it, or of the nearest
// window around it that has one; the top-level window's native window is
// told only when the shape changes.
TEST_F(InputTest, PointerShowsTheShapeOfTheWindowUnderItOrItsNearestAncestor) {
  const NativeWindow native = GetNativeWindow(top);
  const auto shown = [&] { return harness.Backend().Window(native)->cursor; };
  SetWindowCursor(left, CursorShape::Cross);
  SetWindowCursor(right, CursorShape::SizeWE);
  EXPECT_EQ(CursorShownOver(inner), CursorShape::Cross);
  EXPECT_EQ(CursorShownOver(top), CursorShape::Arrow);

  struct Case {
    Hwnd over;
    Point at;
    CursorShape expected;
  };
  const Case cases[] = {
      {inner, {5, 5}, CursorShape::Cross},    // inherits left's
      {right, {5, 5}, CursorShape::SizeWE},   // its own
      {top, {250, 150}, CursorShape::Arrow},  // none anywhere
      {left, {2, 2}, CursorShape::Cross},
  };
  for (const Case& c : cases) {
    harness.MouseMove(c.over, c.at);
    harness.DispatchPending();
    EXPECT_EQ(shown(), c.expected) << c.at.x << "," << c.at.y;
  }
  // A change to the window under the pointer shows at once; one elsewhere
  // does not reach the screen.
  SetWindowCursor(inner, CursorShape::Hourglass);
  EXPECT_EQ(shown(), CursorShape::Cross);  // the pointer is over left, not inner
  SetWindowCursor(left, CursorShape::IBeam);
  EXPECT_EQ(shown(), CursorShape::IBeam);
  SetWindowCursor(right, std::nullopt);
  EXPECT_EQ(CursorShownOver(right), CursorShape::Arrow);
  EXPECT_EQ(harness.Backend().Window(native)->cursorChanges,
            (std::vector<CursorShape>{CursorShape::Cross, CursorShape::SizeWE, CursorShape::Arrow,
                                      CursorShape::Cross, CursorShape::IBeam}));
  // Windows that are gone, and no window at all, are no fault.
  SetWindowCursor(kNoWindow, CursorShape::Cross);
  EXPECT_EQ(CursorShownOver(kNoWindow), CursorShape::Arrow);
  EXPECT_EQ(GetWindowCursor(kNoWindow), std::nullopt);
}

}  // namespace
}  // namespace plat::testing
