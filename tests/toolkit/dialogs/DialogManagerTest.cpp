// The dialog table, modal, modeless and semi-modeless shows, keyboard
// navigation and the events dialogs raise.
#include <gtest/gtest.h>

#include "platform/controls/Controls.h"
#include "platform/window/VirtualKeys.h"
#include "tests/toolkit/dialogs/DialogTestSupport.h"

namespace tk {
namespace {

using testing::DialogTest;

TEST_F(DialogTest, LoadingTwiceMakesOneDialogThatKeepsItsFields) {
  WDialogLoad(901);
  const plat::Hwnd first = DialogWindow();
  WDialogPutString(1001, "kept");
  WDialogLoad(902, std::nullopt, 0);
  EXPECT_EQ(WDialogStatusQuery(3), 902);
  WDialogLoad(901);
  EXPECT_EQ(DialogWindow(), first);
  EXPECT_EQ(Text(1001), "kept");
  EXPECT_EQ(WDialogStatusQuery(3), 901);
  EXPECT_FALSE(plat::IsWindowVisible(first));
  EXPECT_EQ(LastError(), 0);

  WDialogLoad(999);
  EXPECT_EQ(LastError(), kErrNoTemplate);
  WDialogSelect(555);
  EXPECT_EQ(LastError(), kErrNotLoaded);
  EXPECT_EQ(WDialogStatusQuery(3), 901);  // failures leave the current dialog
}

TEST_F(DialogTest, UnloadingCloseTheGapAndTheTableHoldsAHundred) {
  for (int i = 1; i <= kMaxDialogs; ++i) WDialogLoad(902, i);
  EXPECT_EQ(LastError(), 0);
  WDialogLoad(902, 101);
  EXPECT_EQ(LastError(), kErrTooManyDialogs);
  EXPECT_EQ(WDialogStatusQuery(3), 100);

  WDialogSelect(3);
  WDialogPutString(1101, "three");
  WDialogSelect(2);
  WDialogUnload();
  EXPECT_EQ(WDialogStatusQuery(3), 0);
  EXPECT_EQ(Dm().loadedCount, 99);
  WDialogSelect(3);
  EXPECT_EQ(Dm().currentNumber, 2);  // moved down one slot
  EXPECT_EQ(Text(1101), "three");
  WDialogLoad(902, 101);
  EXPECT_EQ(LastError(), 0);
  WDialogUnload();
  EXPECT_EQ(LastError(), 0);
  WDialogUnload();
  EXPECT_EQ(LastError(), kErrNoDialog);
}

TEST_F(DialogTest, ModalShowClosedByScriptedOk) {
  WDialogLoad(901);
  WDialogPutReal(1003, 1.5f);
  harness.Answer("dialog 901", "1001=Geophones\n1003=2.5\n1004=1\n1006=1\npress 1");
  WDialogShow(-1, -1, 1002, kShowModal);
  EXPECT_EQ(LastError(), 0);
  EXPECT_EQ(WDialogStatusQuery(1), 1);
  EXPECT_EQ(WDialogStatusQuery(2), 1002);  // the focused field
  EXPECT_EQ(WDialogStatusQuery(5), 901);
  EXPECT_FALSE(plat::IsWindowVisible(DialogWindow()));
  std::string name(9, ' ');
  WDialogGetString(1001, name);
  EXPECT_EQ(name, "Geophones");
  float real = 0;
  WDialogGetReal(1003, real);
  EXPECT_EQ(real, 2.5f);
  std::int32_t v = 0;
  WDialogGetCheckBox(1004, v);
  EXPECT_EQ(v, 1);
  WDialogGetRadioButton(1005, v);
  EXPECT_EQ(v, 2);
}

TEST_F(DialogTest, ModalCancelKeepsTheInputAndRaisesNoEvents) {
  WEventTypeSwitch(kEventFieldChanged, 1);
  WDialogLoad(901);
  WDialogPutInteger(1002, 3);
  // A click on the main window while the dialog runs reaches nothing.
  harness.Click(Client(0), {10, 10}).Type("17").Key(plat::kVkEscape, 0x1B);
  WDialogShow(-1, -1, 1002, kShowModal);
  EXPECT_EQ(WDialogStatusQuery(1), 2);
  std::int32_t v = 0;
  WDialogGetInteger(1002, v);
  EXPECT_EQ(v, 17);
  int type = 0;
  EventRecord r;
  WEventPeek(type, r);
  EXPECT_EQ(type, kEventNone);
  // The main window was disabled while the dialog ran and is enabled again.
  EXPECT_TRUE(plat::IsWindowEnabled(Frame(0)));
}

TEST_F(DialogTest, ModalShowWithNothingToAnswerIsCancelled) {
  WDialogLoad(901);
  WDialogShow(-1, -1, 1001, kShowModal);
  EXPECT_EQ(WDialogStatusQuery(1), 2);
  EXPECT_EQ(WDialogStatusQuery(5), 901);
}

TEST_F(DialogTest, ModalKeyboardTabOrderAndDefaultButton) {
  WDialogLoad(901);
  // The first tab stop has the focus; Tab goes on in template order, Enter
  // presses the default button.
  harness.Type("abc").Key(plat::kVkTab, '\t').Type("5").Key(plat::kVkTab, '\t');
  harness.KeyDown(plat::kVkShift).Key(plat::kVkTab, '\t').KeyUp(plat::kVkShift);
  harness.Type("6").Key(plat::kVkReturn, '\r');
  WDialogShow(-1, -1, 0, kShowModal);
  EXPECT_EQ(WDialogStatusQuery(1), 1);
  EXPECT_EQ(Text(1001), "abc");
  EXPECT_EQ(Text(1002), "6");  // tabbing into a field selects its text
  EXPECT_EQ(WDialogStatusQuery(2), 1002);

  // Escape is Cancel.
  harness.Key(plat::kVkEscape, 0x1B);
  WDialogShow(-1, -1, 1003, kShowModal);
  EXPECT_EQ(WDialogStatusQuery(1), 2);
  EXPECT_EQ(WDialogStatusQuery(2), 1003);
}

TEST_F(DialogTest, ModelessEventsArriveThroughTheWait) {
  WEventTypeSwitch(kEventFieldChanged, 1);
  WDialogLoad(901);
  WDialogShow(10, 20, 1001, kShowModeless);
  const plat::Hwnd dlg = DialogWindow();
  EXPECT_TRUE(plat::IsWindowVisible(dlg));
  EXPECT_EQ(plat::GetWindowRect(dlg).left, 10);
  EXPECT_EQ(plat::GetWindowRect(dlg).top, 20);
  EXPECT_TRUE(plat::IsWindowEnabled(Frame(0)));

  // Tab to the next edit: one field change from 1001 to 1002.
  harness.Key(plat::kVkTab, '\t');
  auto [type, r] = Wait();
  EXPECT_EQ(type, kEventFieldChanged);
  EXPECT_EQ(r.window, 901);
  EXPECT_EQ(r.value1, 1001);
  EXPECT_EQ(r.value2, 1002);
  EXPECT_EQ(r.value3, 0);
  EXPECT_EQ(r.value4, -1);
  EXPECT_EQ(r.x, 262145);
  const int firstValue = r.y;

  // A check box click changes the field; x carries the previous change's value.
  harness.Click(Field(1004), {3, 3});
  std::tie(type, r) = Wait();
  ASSERT_EQ(plat::GetFocus(), Field(1004)) << plat::DescribeWindows();
  EXPECT_EQ(type, kEventFieldChanged);
  EXPECT_EQ(r.value1, 1002);
  EXPECT_EQ(r.value2, 1004);
  EXPECT_EQ(r.x, firstValue);

  // A push button raises event 3 with the field current before it.
  harness.Click(Field(3), {5, 5});
  std::tie(type, r) = Wait();
  EXPECT_EQ(type, kEventPushButton);
  EXPECT_EQ(r.window, 901);
  EXPECT_EQ(r.value1, 3);
  EXPECT_EQ(r.value2, 1004);

  // Arrow keys move within the radio group and check the button reached.
  WEventTypeSwitch(kEventFieldChanged, 0);
  WDialogPutRadioButton(1005);
  WDialogSetField(1005);
  harness.Key(plat::kVkDown).Key(plat::kVkEscape, 0x1B);
  std::tie(type, r) = Wait();
  EXPECT_EQ(type, kEventPushButton);
  EXPECT_EQ(r.value1, 2);
  std::int32_t pos = 0;
  WDialogGetRadioButton(1005, pos);
  EXPECT_EQ(pos, 2);

  // A second show only raises it, whatever mode is asked.
  WDialogShow(-1, -1, 0, kShowModal);
  EXPECT_EQ(LastError(), 0);
  EXPECT_TRUE(plat::IsWindowVisible(dlg));
  WDialogHide();
  EXPECT_FALSE(plat::IsWindowVisible(dlg));
}

// F1 in a modeless dialog is a press of button 9, the help button, with
// the field current before it; in a modal show it does nothing.
TEST_F(DialogTest, F1InAModelessDialogIsTheHelpButton) {
  WDialogLoad(901);
  WDialogShow(-1, -1, 1002, kShowModeless);
  harness.Click(Field(1003), {3, 3}).Key(plat::kVkF1);
  auto [type, r] = Wait();
  EXPECT_EQ(type, kEventPushButton);
  EXPECT_EQ(r.window, 901);
  EXPECT_EQ(r.value1, 9);
  EXPECT_EQ(r.value2, 1003);
  EXPECT_TRUE(plat::IsWindowVisible(DialogWindow()));
  WDialogHide();
  bool pressed = false;
  harness.Key(plat::kVkF1).Call([&] {
    pressed = true;
    EXPECT_TRUE(plat::IsWindowVisible(DialogWindow()));
  });
  harness.Key(plat::kVkEscape, 0x1B);
  WDialogShow(-1, -1, 1001, kShowModal);
  EXPECT_TRUE(pressed);
  EXPECT_EQ(WDialogStatusQuery(1), 2);
  int t = 0;
  EventRecord none;
  WEventPeek(t, none);
  EXPECT_NE(t, kEventPushButton);
}

TEST_F(DialogTest, ScriptedModelessShowPressesItsButton) {
  WDialogLoad(901);
  harness.Answer("dialog 901", "1001=typed\npress 3");
  WDialogShow(-1, -1, 0, kShowModeless);
  auto [type, r] = Wait();
  EXPECT_EQ(type, kEventPushButton);
  EXPECT_EQ(r.value1, 3);
  EXPECT_EQ(Text(1001), "typed");
}

TEST_F(DialogTest, SemiModelessDisablesOtherWindowsUntilHidden) {
  WDialogLoad(902, 7, 0);
  WDialogShow(-1, -1, 0, kShowModeless);  // inside the main window
  const plat::Hwnd inside = DialogWindow();
  EXPECT_EQ(WDialogStatusQuery(10), 2);
  WDialogLoad(901);
  const plat::Rect r = plat::GetWindowRect(DialogWindow());
  WDialogShow(-1, -1, 0, kShowSemiModeless);
  EXPECT_EQ(WDialogStatusQuery(10), 1);
  EXPECT_EQ(plat::GetWindowRect(DialogWindow()).left, (1920 - r.Width()) / 2);  // centred
  EXPECT_FALSE(plat::IsWindowEnabled(Frame(0)));
  EXPECT_FALSE(plat::IsWindowEnabled(inside));
  EXPECT_TRUE(plat::IsWindowEnabled(DialogWindow()));

  // A modeless show while it is up becomes semi-modeless, with 1014.
  WDialogLoad(901, 5);
  WDialogShow(-1, -1, 0, kShowModeless);
  EXPECT_EQ(LastError(), kErrBadMode);
  EXPECT_EQ(Dm().semiModelessCount, 2);
  WDialogHide();
  EXPECT_FALSE(plat::IsWindowEnabled(Frame(0)));
  WDialogSelect(901);
  WDialogHide();
  EXPECT_TRUE(plat::IsWindowEnabled(Frame(0)));
  EXPECT_TRUE(plat::IsWindowEnabled(inside));

  // A child-style dialog asked to show modal is shown modeless, with 1014.
  WDialogSelect(7);
  WDialogHide();
  WDialogShow(-1, -1, 0, kShowModal);
  EXPECT_EQ(LastError(), kErrBadMode);
  EXPECT_TRUE(plat::IsWindowVisible(inside));
}

}  // namespace
}  // namespace tk

namespace tk::testing {
namespace {

// Button identifiers run to 65535: one above 32767 reaches the program as
// itself, not as a negative 16-bit number.
TEST_F(DialogTest, PushButtonAbove32767KeepsItsIdentifier) {
  res::ResourceSet set;
  res::ResourceError error;
  ASSERT_TRUE(res::ParseResourceText("high-button", R"(dialog 903 popup
  rect 0 0 120 40
  control BUTTON 40040 10 10 80 14 "Filter" WS_VISIBLE | WS_TABSTOP
end
)", set, error)) << error.Text();
  AddDialogTemplate(set.dialogs.front());
  WDialogLoad(903);
  WDialogShow(-1, -1, 0, kShowModeless);
  harness.Click(Field(40040), {5, 5});
  auto [type, r] = Wait();
  EXPECT_EQ(type, kEventPushButton);
  EXPECT_EQ(r.window, 903);
  EXPECT_EQ(r.value1, 40040);
}

}  // namespace
}  // namespace tk::testing
