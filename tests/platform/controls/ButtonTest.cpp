// Push buttons, check boxes, radio buttons, group boxes and statics.
#include "tests/platform/controls/ControlFixture.h"

namespace plat::testing {
namespace {

using ButtonTest = ControlTest;

TEST_F(ButtonTest, ClickNotifiesOnlyWhenReleasedInside) {
  const Hwnd ok = Make(kButtonClass, "OK", kBsDefPushButton | kWsTabStop, {10, 10, 85, 33}, 1);
  harness.Click(ok, {20, 10});
  harness.DispatchPending();
  EXPECT_EQ(Take(), std::vector<Note>{Cmd(1, kBnClicked)});
  EXPECT_EQ(GetFocus(), ok);
  // Pressed, dragged off and released outside: no click.
  harness.Press(ok, {20, 10}).MouseMove(ok, {200, 100}).Release(ok, {200, 100});
  harness.DispatchPending();
  EXPECT_TRUE(Take().empty());
  // Space clicks the focused button.
  harness.Key(kVkSpace, ' ');
  harness.DispatchPending();
  EXPECT_EQ(Take(), std::vector<Note>{Cmd(1, kBnClicked)});
}

TEST_F(ButtonTest, DisabledControlsIgnoreInput) {
  const Hwnd b = Make(kButtonClass, "Go", kStyleDisabled, {10, 10, 85, 33}, 2);
  const Hwnd c =
      Make(kButtonClass, "Check", kBsAutoCheckBox | kStyleDisabled, {10, 40, 120, 56}, 3);
  const Hwnd e = Make(kEditClass, "", kWsBorder | kStyleDisabled, {10, 60, 120, 80}, 4);
  harness.Click(b, {5, 5}).Click(c, {5, 5}).Click(e, {5, 5}).Type("x");
  harness.DispatchPending();
  EXPECT_TRUE(Take().empty());
  EXPECT_EQ(ButtonGetCheck(c), kUnchecked);
  EXPECT_EQ(GetWindowText(e), "");
  EXPECT_NE(GetFocus(), e);
}

TEST_F(ButtonTest, AutoCheckBoxesToggleAndThreeStateCycles) {
  const Hwnd two = Make(kButtonClass, "Two", kBsAutoCheckBox, {10, 10, 120, 26}, 1);
  const Hwnd three = Make(kButtonClass, "Three", kBsAuto3State, {10, 30, 120, 46}, 2);
  const Hwnd manual = Make(kButtonClass, "Manual", kBsCheckBox, {10, 50, 120, 66}, 3);
  std::vector<int> seen;
  for (int i = 0; i < 3; ++i) {
    harness.Click(two, {5, 8}).Click(three, {5, 8}).Click(manual, {5, 8});
    harness.DispatchPending();
    seen.insert(seen.end(), {ButtonGetCheck(two), ButtonGetCheck(three), ButtonGetCheck(manual)});
  }
  EXPECT_EQ(seen, (std::vector<int>{1, 1, 0, 0, 2, 0, 1, 0, 0}));
  EXPECT_EQ(Take().size(), 9u);         // every click notifies, the manual one too
  ButtonSetCheck(two, kIndeterminate);  // a two-state box takes it as checked
  EXPECT_EQ(ButtonGetCheck(two), kChecked);
}

TEST_F(ButtonTest, AutoRadioButtonsClearTheirGroupOnly) {
  const Hwnd a = Make(kButtonClass, "A", kBsAutoRadioButton | kWsGroup, {10, 10, 100, 26}, 1);
  const Hwnd b = Make(kButtonClass, "B", kBsAutoRadioButton, {10, 30, 100, 46}, 2);
  const Hwnd c = Make(kButtonClass, "C", kBsAutoRadioButton, {10, 50, 100, 66}, 3);
  const Hwnd d = Make(kButtonClass, "D", kBsAutoRadioButton | kWsGroup, {10, 70, 100, 86}, 4);
  ButtonSetCheck(a, kChecked);
  ButtonSetCheck(d, kChecked);
  harness.Click(c, {5, 8});
  harness.DispatchPending();
  EXPECT_EQ(ButtonGetCheck(a), kUnchecked);
  EXPECT_EQ(ButtonGetCheck(b), kUnchecked);
  EXPECT_EQ(ButtonGetCheck(c), kChecked);
  EXPECT_EQ(ButtonGetCheck(d), kChecked);  // another group
  EXPECT_EQ(Take(), std::vector<Note>{Cmd(3, kBnClicked)});
}

TEST_F(ButtonTest, NotifyStyleAddsFocusNotifications) {
  const Hwnd a = Make(kButtonClass, "A", kBsNotify, {10, 10, 80, 30}, 1);
  const Hwnd b = Make(kButtonClass, "B", 0, {10, 40, 80, 60}, 2);
  SetFocus(a);
  SetFocus(b);
  EXPECT_EQ(Take(), (std::vector<Note>{Cmd(1, kBnSetFocus), Cmd(1, kBnKillFocus)}));
}

TEST_F(ButtonTest, DefaultButtonDrawsAThickerFrame) {
  const Hwnd plain = Make(kButtonClass, "A", kBsPushButton, {10, 10, 80, 33}, 1);
  const Hwnd def = Make(kButtonClass, "B", kBsDefPushButton, {100, 10, 170, 33}, 2);
  // The outer ring: white and black on a plain button, black all round on a default one.
  EXPECT_EQ(Shown(plain, {0, 0}), kColourHighlight3d);
  EXPECT_EQ(Shown(def, {0, 0}), kColourDarkShadow);
  EXPECT_EQ(Shown(def, {1, 1}), kColourHighlight3d);
  EXPECT_EQ(Shown(plain, {69, 22}), kColourDarkShadow);
  EXPECT_EQ(Shown(def, {68, 21}), kColourDarkShadow);
  EXPECT_EQ(Shown(plain, {68, 21}), kColourShadow);
  ButtonSetStyle(def, kBsPushButton);
  EXPECT_EQ(Shown(def, {0, 0}), kColourHighlight3d);
}

TEST_F(ButtonTest, DisabledTextIsGrey) {
  const Hwnd b = Make(kButtonClass, "Disabled", 0, {10, 10, 100, 33}, 1);
  const Hwnd s = Make(kStaticClass, "Label text", kSsLeft, {10, 40, 150, 56}, 2);
  EXPECT_GT(Count(b, {2, 2, 88, 21}, kColourText), 10);
  EXPECT_EQ(Count(b, {2, 2, 88, 21}, kColourGreyText), 0);
  EnableWindow(b, false);
  EnableWindow(s, false);
  EXPECT_EQ(Count(b, {2, 2, 88, 21}, kColourText), 0);
  EXPECT_GT(Count(b, {2, 2, 88, 21}, kColourGreyText), 10);
  EXPECT_EQ(Count(s, {0, 0, 140, 16}, kColourText), 0);
  EXPECT_GT(Count(s, {0, 0, 140, 16}, kColourGreyText), 10);
}

TEST_F(ButtonTest, StaticAlignsTextAndWrapsWords) {
  const Hwnd left = Make(kStaticClass, "Hi", kSsLeft, {10, 10, 110, 26}, 1);
  const Hwnd right = Make(kStaticClass, "Hi", kSsRight, {10, 30, 110, 46}, 2);
  const Hwnd centre = Make(kStaticClass, "Hi", kSsCenter, {10, 50, 110, 66}, 3);
  const Hwnd wrap =
      Make(kStaticClass, "one two three four five six", kSsLeft, {10, 70, 70, 130}, 4);
  EXPECT_GT(Count(left, {0, 0, 20, 16}, kColourText), 0);
  EXPECT_EQ(Count(left, {80, 0, 100, 16}, kColourText), 0);
  EXPECT_GT(Count(right, {80, 0, 100, 16}, kColourText), 0);
  EXPECT_EQ(Count(right, {0, 0, 20, 16}, kColourText), 0);
  EXPECT_GT(Count(centre, {40, 0, 60, 16}, kColourText), 0);
  EXPECT_EQ(Count(centre, {0, 0, 20, 16}, kColourText), 0);
  // Three lines at least, none wider than the control.
  EXPECT_GT(Count(wrap, {0, 26, 60, 39}, kColourText), 0);
  SetWindowText(left, "");
  EXPECT_EQ(Count(left, {0, 0, 100, 16}, kColourText), 0);
}

TEST_F(ButtonTest, GroupBoxAndStaticsLetClicksThrough) {
  const Hwnd frame = Make(kButtonClass, "Group", kBsGroupBox, {5, 5, 200, 100}, 1);
  const Hwnd label = Make(kStaticClass, "Label", kSsLeft, {10, 110, 100, 126}, 2);
  const Hwnd notify = Make(kStaticClass, "Link", kSsLeft | kSsNotify, {10, 130, 100, 146}, 3);
  harness.Click(frame, {50, 50}).Click(label, {5, 5}).Click(notify, {5, 5});
  harness.DispatchPending();
  EXPECT_EQ(Take(), std::vector<Note>{Cmd(3, kStnClicked)});
}

}  // namespace
}  // namespace plat::testing
