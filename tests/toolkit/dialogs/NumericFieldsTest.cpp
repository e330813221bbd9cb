// Numeric edit and spin fields: typing filtered by class, values refused
// when the focus leaves or OK is pressed, canonical texts, spin steps.
#include <gtest/gtest.h>

#include "platform/controls/Controls.h"
#include "platform/dialog/Dialog.h"
#include "platform/window/VirtualKeys.h"
#include "tests/toolkit/dialogs/DialogTestSupport.h"
#include "toolkit/core/Conversion.h"

namespace tk {
namespace {

constexpr std::string_view kNumericDialogs = R"(dialog 921 popup
  caption "Numbers"
  rect 0 0 200 150
  style WS_CAPTION | WS_SYSMENU | DS_MODALFRAME
  control REALEDIT 1101 5 5 60 12 "" WS_VISIBLE | WS_TABSTOP | WS_BORDER
  control INTEGEREDIT 1102 5 20 60 12 "" WS_VISIBLE | WS_TABSTOP | WS_BORDER
  control INTEGERSPIN 1103 5 35 60 12 "7" WS_VISIBLE | WS_TABSTOP | WS_BORDER
  control REALSPIN 1104 5 50 60 12 "0.5" WS_VISIBLE | WS_TABSTOP | WS_BORDER
  control DOUBLEEDIT 1105 5 65 60 12 "" WS_VISIBLE | WS_TABSTOP | WS_BORDER
  control BUTTON 1 10 130 50 14 "OK" BS_DEFPUSHBUTTON | WS_VISIBLE | WS_TABSTOP | WS_GROUP
  control BUTTON 2 70 130 50 14 "Cancel" WS_VISIBLE | WS_TABSTOP
  extras
[Ranges] 
 1101 0 100 
 1104 0 1 
[Formats] 
 1101 (F8.2) 
  end
end
dialog 922 popup
  caption "Pages"
  rect 0 0 220 160
  style WS_CAPTION | WS_SYSMENU | DS_MODALFRAME
  control SysTabControl32 1201 5 5 210 120 "" WS_VISIBLE | WS_TABSTOP
  control BUTTON 1 10 135 50 14 "OK" BS_DEFPUSHBUTTON | WS_VISIBLE | WS_TABSTOP | WS_GROUP
  control BUTTON 2 70 135 50 14 "Cancel" WS_VISIBLE | WS_TABSTOP
  extras
[Tabs] 
 1201 2 923 
 923 First 
 924 Second 
  end
end
dialog 923 child
  rect 0 0 200 100
  control REALEDIT 1301 5 5 60 12 "2.5" WS_VISIBLE | WS_TABSTOP | WS_BORDER
  control REALEDIT 1302 5 25 60 12 "" WS_VISIBLE | WS_TABSTOP | WS_BORDER
end
dialog 924 child
  rect 0 0 200 100
  control EDIT 1401 5 5 60 12 "" WS_VISIBLE | WS_TABSTOP | WS_BORDER
end
)";

class NumericFieldTest : public testing::DialogTest {
 protected:
  void SetUp() override {
    DialogTest::SetUp();
    res::ResourceSet set;
    res::ResourceError error;
    ASSERT_TRUE(res::ParseResourceText("numeric-dialogs", kNumericDialogs, set, error))
        << error.Text();
    for (const res::DialogTemplate& t : set.dialogs) AddDialogTemplate(t);
    WDialogLoad(921);
    ASSERT_EQ(LastError(), 0);
  }
  /// The window of field ID of loaded dialog DIALOG (a tab page included).
  static plat::Hwnd FieldOf(int dialog, int id) {
    DialogManagerState& s = Dm();
    for (int i = 1; i <= s.loadedCount; ++i) {
      LoadedDialog* d = s.table[static_cast<std::size_t>(i)].get();
      if (d != nullptr && d->rec.identifier == dialog)
        return id == 0 ? d->hwnd : (FindField(*d, id) ? FindField(*d, id)->hwnd : plat::kNoWindow);
    }
    return plat::kNoWindow;
  }
  /// A point inside the tab of index I of tab field TAB.
  static plat::Point TabPoint(plat::Hwnd tab, int i) {
    const plat::Rect r = plat::TabGetItemRect(tab, i);
    return {r.left + 4, r.top + 4};
  }
  static ControlRecord& Rec(int id) { return FindField(*CurrentDialog(), id)->rec; }
  int Beeps() { return harness.Backend().Beeps(); }
  /// A click on the upper (DIR > 0) or lower arrow of FIELD's spin control.
  void ClickArrow(int field, int dir) {
    const plat::Hwnd ud = Rec(field).buddy;
    const plat::Rect r = plat::GetClientRect(ud);
    harness.Click(ud, {r.Width() / 2, dir > 0 ? 2 : r.Height() - 3});
  }
  /// Sends the up-down change request of FIELD's spin control, as the
  /// control does for each step.
  void Step(int field, int delta) {
    plat::UpDownNotify n;
    n.hdr.from = Rec(field).buddy;
    n.hdr.id = -1;
    n.hdr.code = plat::kUdnDeltaPos;
    n.delta = delta;
    EXPECT_EQ(plat::SendMessage(DialogWindow(), plat::Msg::Notify, static_cast<plat::WParam>(-1),
                                reinterpret_cast<plat::LParam>(&n)),
              1);
  }
};

TEST_F(NumericFieldTest, TypingIsFilteredByTheFieldsClass) {
  WDialogShow(-1, -1, 1105, kShowModeless);
  // A double field takes digits, signs, the point and the exponent letters
  // (stored in upper case); x and the comma are refused with a beep.
  harness.Type("1x2").Char(',').Char('.').Type("5d1");
  harness.DispatchPending();
  EXPECT_EQ(Text(1105), "12.5D1");
  EXPECT_EQ(Beeps(), 2);
  // An integer field takes no point and no exponent; Ctrl+A selects all.
  WDialogSetField(1102);
  harness.Type("3").Char('.').Char('e').Char('-');
  harness.DispatchPending();
  EXPECT_EQ(Text(1102), "3-");
  EXPECT_EQ(Beeps(), 4);
  harness.Char(1).Type("9");
  harness.DispatchPending();
  EXPECT_EQ(Text(1102), "9");
  // The double field's text was rewritten when it was left.
  double d = 0;
  ParseDoubleQuiet(d, Text(1105));
  EXPECT_DOUBLE_EQ(d, 125.0);
  EXPECT_EQ(Text(1105).find('D'), std::string::npos);
}

TEST_F(NumericFieldTest, AnOutOfRangeValueBlocksOkAndCancelRestoresTheField) {
  WDialogPutReal(1101, 50.0f);
  bool checked = false;
  harness.Type("150").Key(plat::kVkReturn, '\r');
  harness.Call([&] {
    checked = true;
    EXPECT_TRUE(plat::IsWindowVisible(DialogWindow()));
    EXPECT_EQ(plat::GetFocus(), Field(1101));
    EXPECT_EQ(plat::EditGetSel(Field(1101)), (std::pair{0, 3}));
    EXPECT_EQ(Text(1101), "150");
    EXPECT_EQ(Beeps(), 1);
  });
  // Tab refuses to leave too, and beeps.
  harness.Key(plat::kVkTab, '\t');
  harness.Call([&] {
    EXPECT_EQ(plat::GetFocus(), Field(1101));
    EXPECT_EQ(Beeps(), 2);
  });
  harness.Key(plat::kVkEscape, 0x1B);
  WDialogShow(-1, -1, 1101, kShowModal);
  EXPECT_TRUE(checked);
  EXPECT_EQ(WDialogStatusQuery(1), 2);
  EXPECT_EQ(Text(1101), "50.00");
  float v = 0;
  WDialogGetReal(1101, v);
  EXPECT_EQ(v, 50.0f);
}

TEST_F(NumericFieldTest, TextThatIsNoNumberNeverReachesTheApplicationAsZero) {
  struct Case {
    int field;
    std::string text;
  };
  for (const Case& c : {Case{1101, "1-"}, Case{1102, "abc"}, Case{1105, "2.5.1"}}) {
    SCOPED_TRACE(c.text);
    WDialogPutInteger(1102, 4);
    WDialogPutReal(1101, 12.0f);
    WDialogPutReal(1105, 3.0f);
    const std::string before = Text(c.field);
    // Pasted text confirmed with OK: refused; Cancel then restores it.
    harness.Answer("dialog 921", std::to_string(c.field) + "=" + c.text + "\npress 1\npress 2");
    WDialogShow(-1, -1, c.field, kShowModal);
    EXPECT_EQ(WDialogStatusQuery(1), 2);
    EXPECT_EQ(Text(c.field), before);
  }
  // A lone sign or point is a number (0) as the parser reads it.
  harness.Answer("dialog 921", "1101=-\npress 1");
  WDialogShow(-1, -1, 1101, kShowModal);
  EXPECT_EQ(WDialogStatusQuery(1), 1);
  float v = 1;
  WDialogGetReal(1101, v);
  EXPECT_EQ(v, 0.0f);
}

TEST_F(NumericFieldTest, AcceptedTextsAreRewrittenInCanonicalForm) {
  WDialogShow(-1, -1, 1101, kShowModeless);
  harness.Type("50").Key(plat::kVkTab, '\t').Type("007").Key(plat::kVkTab, '\t');
  harness.DispatchPending();
  EXPECT_EQ(Text(1101), "50.00");
  EXPECT_EQ(Text(1102), "7");
  std::int32_t i = 0;
  WDialogGetInteger(1102, i);
  EXPECT_EQ(i, 7);
  // An empty field that once held a value cannot be left empty while a
  // range is in force; one that never held a value can.
  WDialogSetField(1101);
  harness.Key(plat::kVkDelete).Key(plat::kVkTab, '\t');
  harness.DispatchPending();
  EXPECT_EQ(plat::GetFocus(), Field(1101));
}

TEST_F(NumericFieldTest, SpinArrowsStepSnapAndClamp) {
  WDialogShow(-1, -1, 1103, kShowModeless);
  ClickArrow(1103, 1);
  harness.DispatchPending();
  EXPECT_EQ(Text(1103), "8");
  ClickArrow(1103, -1);
  ClickArrow(1103, -1);
  harness.DispatchPending();
  EXPECT_EQ(Text(1103), "6");
  std::int32_t i = 0;
  WDialogGetInteger(1103, i);
  EXPECT_EQ(i, 6);
  // The large step snaps to its grid: 7 + 5 shows 10, -3 + 5 shows 0.
  WDialogPutInteger(1103, 7);
  Step(1103, 5);
  EXPECT_EQ(Text(1103), "10");
  WDialogPutInteger(1103, -3);
  Step(1103, 5);
  EXPECT_EQ(Text(1103), "0");
  // Steps below 1 of an integer field step by 1.
  Rec(1103).spinStep = 0.0;
  Rec(1103).spinPageStep = 0.5;
  WDialogPutInteger(1103, 7);
  Step(1103, 1);
  EXPECT_EQ(Text(1103), "8");
  Step(1103, -5);
  EXPECT_EQ(Text(1103), "7");
  // A real spin field is clamped to its range: 0.5 - 1 gives 0.
  ClickArrow(1104, -1);
  harness.DispatchPending();
  EXPECT_EQ(plat::GetFocus(), Field(1104));  // the press focused the field first
  float v = 1;
  WDialogGetReal(1104, v);
  EXPECT_EQ(v, 0.0f);
  Step(1104, 1);
  WDialogGetReal(1104, v);
  EXPECT_EQ(v, 1.0f);
  // The user's text counts from where it stands.
  WDialogSetField(1103);
  harness.Type("20");
  harness.DispatchPending();
  ClickArrow(1103, 1);
  harness.DispatchPending();
  EXPECT_EQ(Text(1103), "21");
}

TEST_F(NumericFieldTest, TheSpinArrowsFollowTheFieldsState) {
  const plat::Hwnd ud = Rec(1103).buddy;
  ASSERT_NE(ud, plat::kNoWindow);
  EXPECT_EQ(plat::UpDownGetBuddy(ud), Field(1103));
  EXPECT_EQ(plat::GetWindowRect(ud).left, plat::GetWindowRect(Field(1103)).right);
  WDialogFieldState(1103, kFieldReadOnly);
  EXPECT_FALSE(plat::IsWindowEnabled(ud));
  EXPECT_TRUE(plat::IsShown(ud));
  WDialogFieldState(1103, kFieldHidden);
  EXPECT_FALSE(plat::IsShown(ud));
  WDialogFieldState(1103, kFieldEnabled);
  EXPECT_TRUE(plat::IsWindowEnabled(ud));
  EXPECT_TRUE(plat::IsShown(ud));
}

TEST_F(NumericFieldTest, ASpinStepOfAModelessDialogIsAFieldChange) {
  WEventTypeSwitch(kEventFieldChanged, 1);
  WDialogShow(-1, -1, 1103, kShowModeless);
  ClickArrow(1103, 1);
  int type = 0;
  EventRecord r;
  WEventWait(type, r);
  EXPECT_EQ(type, kEventFieldChanged);
  EXPECT_EQ(r.window, 921);
  EXPECT_EQ(r.value1, 1103);
  EXPECT_EQ(r.value2, 1103);
  EXPECT_EQ(r.y, -1);
  EXPECT_EQ(Text(1103), "8");
  WEventTypeSwitch(kEventFieldChanged, 0);
}

TEST_F(NumericFieldTest, HoldingAnArrowForTwoSecondsTakesTheLargeStep) {
  WDialogShow(-1, -1, 1103, kShowModeless);
  const plat::Hwnd ud = Rec(1103).buddy;
  harness.Press(ud, {2, 2}).Pause(2500).Release(ud, {2, 2});
  harness.DispatchPending();
  std::int32_t i = 0;
  WDialogGetInteger(1103, i);
  EXPECT_GT(i, 25);
  EXPECT_EQ(i % 5, 0);
}

// A refused text on one tab page holds the tabs: a click on another tab
// goes back to the page left with the focus in the field, no tab change is
// told, and OK stays refused from there; Cancel restores the field.
TEST_F(NumericFieldTest, ARefusedFieldHoldsTheTabPageAndOk) {
  WDialogLoad(922);
  ASSERT_EQ(LastError(), 0);
  WEventTypeSwitch(kEventTabChanged, 1);
  const plat::Hwnd tab = FieldOf(922, 1201);
  const plat::Hwnd field = FieldOf(923, 1301);
  ASSERT_NE(field, plat::kNoWindow);
  int checks = 0;
  // Typed, then the mouse on the second tab; then Shift+Tab from the field.
  harness.Click(field, {5, 5}).Char(1).Type("1..5").Click(tab, TabPoint(tab, 1));
  harness.Call([&] {
    ++checks;
    EXPECT_EQ(plat::TabGetCurSel(tab), 0);
    EXPECT_TRUE(plat::IsWindowVisible(FieldOf(923, 0)));
    EXPECT_FALSE(plat::IsWindowVisible(FieldOf(924, 0)));
    EXPECT_EQ(plat::GetFocus(), field);
    EXPECT_EQ(plat::GetWindowText(field), "1..5");
    EXPECT_GE(Beeps(), 1);
  });
  harness.Modifiers(true, false).Key(plat::kVkTab, '\t').Modifiers(false, false);
  harness.Key(plat::kVkRight).Call([&] {
    ++checks;
    EXPECT_EQ(plat::TabGetCurSel(tab), 0);
    EXPECT_EQ(plat::GetFocus(), field);
  });
  // OK (Enter) is refused with the page still up; a second click on the tab
  // changes nothing either.
  harness.Key(plat::kVkReturn, '\r').Click(tab, TabPoint(tab, 1));
  harness.Call([&] {
    ++checks;
    EXPECT_TRUE(plat::IsWindowVisible(FieldOf(922, 0)));
    EXPECT_EQ(plat::TabGetCurSel(tab), 0);
    EXPECT_EQ(plat::GetFocus(), field);
    EXPECT_EQ(plat::GetWindowText(field), "1..5");
  });
  harness.Key(plat::kVkEscape, 0x1B);
  WDialogSelect(922);
  WDialogShow(-1, -1, 0, kShowModal);
  EXPECT_EQ(checks, 3);
  EXPECT_EQ(WDialogStatusQuery(1), 2);
  EXPECT_EQ(plat::GetWindowText(field), "2.5");
  for (int type = 0; type != kEventNone;) {
    EventRecord r;
    WEventPeek(type, r);
    EXPECT_NE(type, kEventTabChanged);
  }

  // Corrected, the same click changes the page, and OK then closes.
  harness.Click(field, {5, 5}).Char(1).Type("7").Click(tab, TabPoint(tab, 1));
  harness.Call([&] {
    ++checks;
    EXPECT_EQ(plat::TabGetCurSel(tab), 1);
    EXPECT_TRUE(plat::IsWindowVisible(FieldOf(924, 0)));
  });
  harness.Click(FieldOf(922, 1), {5, 5});
  WDialogShow(-1, -1, 0, kShowModal);
  EXPECT_EQ(checks, 4);
  EXPECT_EQ(WDialogStatusQuery(1), 1);
  WDialogSelect(923);
  float v = 0;
  WDialogGetReal(1301, v);
  EXPECT_EQ(v, 7.0f);
}

// A press on Cancel lets the refused field go; released off the button (or
// the focus moved on from it) the field takes the focus back with its text
// as typed, so a later OK is refused instead of closing with the old value.
TEST_F(NumericFieldTest, APressOnCancelDraggedOffHandsTheFieldBack) {
  WDialogPutReal(1101, 50.0f);
  const plat::Hwnd cancel = Field(2);
  const plat::Hwnd ok = Field(1);
  int checks = 0;
  for (const bool byKey : {false, true}) {
    SCOPED_TRACE(byKey ? "focus moved on" : "released outside");
    harness.Char(1).Type("150").Press(cancel, {5, 5});
    harness.Call([&] { EXPECT_EQ(plat::GetFocus(), cancel); });
    if (byKey)
      harness.Key(plat::kVkTab, '\t').Release(cancel, {-30, -30});
    else
      harness.MouseMove(cancel, {-30, -30}).Release(cancel, {-30, -30});
    harness.Call([&] {
      ++checks;
      EXPECT_EQ(plat::GetFocus(), Field(1101));
      EXPECT_EQ(Text(1101), "150");
      EXPECT_EQ(plat::EditGetSel(Field(1101)), (std::pair{0, 3}));
      EXPECT_TRUE(plat::IsWindowVisible(DialogWindow()));
    });
    // OK: refused; the value typed is still there.
    harness.Click(ok, {5, 5}).Call([&] {
      ++checks;
      EXPECT_TRUE(plat::IsWindowVisible(DialogWindow()));
      EXPECT_EQ(Text(1101), "150");
    });
    harness.Click(cancel, {5, 5});
    WDialogShow(-1, -1, 1101, kShowModal);
    EXPECT_EQ(WDialogStatusQuery(1), 2);
    EXPECT_EQ(Text(1101), "50.00");
  }
  EXPECT_EQ(checks, 4);
  // The default look stays on OK.
  EXPECT_EQ(plat::DialogDefaultButton(DialogWindow()), ok);
}

}  // namespace
}  // namespace tk
