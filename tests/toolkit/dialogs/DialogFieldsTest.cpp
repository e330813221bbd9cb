// Field access by type on the hidden test dialog.
#include <gtest/gtest.h>

#include "platform/controls/Controls.h"
#include "tests/toolkit/dialogs/DialogTestSupport.h"

namespace tk {
namespace {

using testing::DialogTest;

class DialogFieldsTest : public DialogTest {
 protected:
  void SetUp() override {
    DialogTest::SetUp();
    WDialogLoad(901);
    ASSERT_EQ(LastError(), 0);
  }
  /// What the user would type: the text counts as edited.
  void Type(int id, const std::string& text) {
    plat::SetWindowText(Field(id), text);
    plat::EditSetModify(Field(id), true);
  }
};

TEST_F(DialogFieldsTest, IntegersAreWrittenLeftJustifiedAndReadBack) {
  for (const std::int32_t v : {42, 2147483647, -2147483647, 0}) {
    SCOPED_TRACE(v);
    WDialogPutInteger(1002, v);
    EXPECT_EQ(Text(1002), std::to_string(v));
    std::int32_t got = 7;
    WDialogGetInteger(1002, got);
    EXPECT_EQ(got, v);
    EXPECT_EQ(LastError(), 0);
  }
}

TEST_F(DialogFieldsTest, RealsUseTheirDescriptorAndComeBackExactly) {
  WDialogPutReal(1003, 0.1f);
  EXPECT_EQ(Text(1003), "0.10000");  // G: in the F range
  float got = 0;
  WDialogGetReal(1003, got);
  EXPECT_EQ(got, 0.1f);  // the stored value, not the shown text

  WDialogPutReal(1003, 3.14159f, "(F8.2)");
  EXPECT_EQ(Text(1003), "3.14");
  WDialogPutReal(1003, 3.14159f, "(F8.4)");
  EXPECT_EQ(Text(1003), "3.1416");
  WDialogPutReal(1003, 2.5f);  // the last descriptor stays the field's format
  EXPECT_EQ(Text(1003), "2.5000");
  WDialogPutReal(1003, 1e20f, "(F4.1)");  // does not fit
  EXPECT_EQ(Text(1003), "**********");
  EXPECT_EQ(LastError(), kErrNumberToString);
}

TEST_F(DialogFieldsTest, StringsAndUserEditsReadAsNumbers) {
  struct Case {
    const char* text;
    bool typed;
    float real;
    std::int32_t integer;
    int error;
  };
  const Case cases[] = {
      {"12.5", false, 12.5f, 12, 0},
      {"abc", false, 0.0f, 0, 0},
      {"   ", false, -999.0f, -999, 1010},
      {"", false, -999.0f, -999, 1010},
      {"7.9", true, 7.9f, 7, 0},
      {"-7.9", true, -7.9f, -7, 0},
      {"1e30", true, 1e30f, 2147483647, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    if (c.typed)
      Type(1003, c.text);
    else
      WDialogPutString(1003, c.text);
    float real = 1;
    WDialogGetReal(1003, real);
    EXPECT_FLOAT_EQ(real, c.real);
    EXPECT_EQ(LastError(), c.error);
    std::int32_t integer = 1;
    WDialogGetInteger(1003, integer);
    EXPECT_EQ(integer, c.integer);
    EXPECT_EQ(LastError(), c.error);
  }
}

TEST_F(DialogFieldsTest, RangesAreInclusiveAndRefusedPutsChangeNothing) {
  WDialogRangeInteger(1002, 1, 4);
  WDialogPutInteger(1002, 3);
  WDialogPutInteger(1002, 5);
  EXPECT_EQ(LastError(), kErrOutOfRange);
  EXPECT_EQ(Text(1002), "3");
  WDialogPutInteger(1002, 4);
  EXPECT_EQ(LastError(), 0);
  EXPECT_EQ(Text(1002), "4");
  WDialogPutReal(1002, 0.5f);
  EXPECT_EQ(LastError(), kErrOutOfRange);

  WDialogRangeInteger(1002, std::nullopt, 4);  // only a maximum
  WDialogPutInteger(1002, -2000000000);
  EXPECT_EQ(LastError(), 0);
  WDialogRangeInteger(1002, 10, 4);  // minimum above maximum: no range
  WDialogPutInteger(1002, 99);
  EXPECT_EQ(LastError(), 0);
  WDialogRangeInteger(1002);
  WDialogPutInteger(1002, 99);
  EXPECT_EQ(LastError(), 0);
}

TEST_F(DialogFieldsTest, StringGetsCutOrPadToTheOutput) {
  WDialogPutString(1001, "Geophones   ");
  EXPECT_EQ(Text(1001), "Geophones");
  std::string out(5, '?');
  WDialogGetString(1001, out);
  EXPECT_EQ(out, "Geoph");
  WDialogPutString(1001, "ab");
  WDialogGetString(1001, out);
  EXPECT_EQ(out, "ab   ");
  std::int32_t length = 0;
  WDialogGetStringLength(1001, length);
  EXPECT_EQ(length, 2);
  WDialogGetString(4242, out);
  EXPECT_EQ(out, "     ");
  EXPECT_EQ(LastError(), kErrBadField);
  WDialogPutString(3, "Apply now");  // a button caption
  EXPECT_EQ(Text(3), "Apply now");
}

TEST_F(DialogFieldsTest, CheckBoxesAndRadioGroups) {
  std::int32_t v = -5;
  WDialogPutCheckBox(1004, 1);  // a plain check box became an automatic one
  WDialogGetCheckBox(1004, v);
  EXPECT_EQ(v, 1);
  WDialogPutCheckBox(1, 1);
  EXPECT_EQ(LastError(), kErrBadField);
  WDialogPutCheckBox(1008, 1);
  EXPECT_EQ(LastError(), kErrBadField);

  WDialogGetRadioButton(1006, v);
  EXPECT_EQ(v, -999);
  EXPECT_EQ(LastError(), kErrUndefined);
  WDialogPutRadioButton(1005);
  WDialogPutRadioButton(1007);
  for (int id : {1005, 1006, 1007}) {
    WDialogGetRadioButton(id, v);
    EXPECT_EQ(v, 3);
  }
  WDialogGetCheckBox(1005, v);
  EXPECT_EQ(v, 0);
  WDialogGetRadioButton(1004, v);
  EXPECT_EQ(v, 0);
  EXPECT_EQ(LastError(), kErrBadField);
}

TEST_F(DialogFieldsTest, FieldInfoAndStates) {
  EXPECT_EQ(WDialogFieldInfo(1008, 5), kFieldOtherStatic);
  EXPECT_EQ(WDialogFieldInfo(1009, 5), kFieldGroupBox);
  EXPECT_EQ(WDialogFieldInfo(1001, 5), kFieldString);
  EXPECT_EQ(WDialogFieldInfo(1002, 5), kFieldInteger);
  EXPECT_EQ(WDialogFieldInfo(1003, 5), kFieldReal);
  EXPECT_EQ(WDialogFieldInfo(1004, 5), kFieldCheckBox);
  EXPECT_EQ(WDialogFieldInfo(1006, 5), kFieldRadioButton);
  EXPECT_EQ(WDialogFieldInfo(2, 5), kFieldPushButton);
  EXPECT_EQ(WDialogFieldInfo(1001, 6), kFieldEnabled);
  EXPECT_EQ(WDialogFieldInfo(1001, 1), 70 * 6 / 4);
  EXPECT_EQ(WDialogFieldInfo(1001, 3), 100 * 6 / 4);
  EXPECT_EQ(WDialogFieldInfo(4242, 5), 0);
  EXPECT_EQ(WDialogFieldInfo(1001, 9), 0);

  WDialogFieldState(1001, kFieldReadOnly);
  EXPECT_EQ(WDialogFieldInfo(1001, 6), kFieldReadOnly);
  EXPECT_TRUE(plat::IsWindowEnabled(Field(1001)));
  WDialogFieldState(1004, kFieldReadOnly);  // read-only greys a check box
  EXPECT_EQ(WDialogFieldInfo(1004, 6), kFieldDisabled);
  WDialogFieldState(1003, kFieldHidden);
  EXPECT_EQ(WDialogFieldInfo(1003, 6), kFieldHidden);
  WDialogFieldState(1003, kFieldEnabled);
  EXPECT_EQ(WDialogFieldInfo(1003, 6), kFieldEnabled);
  EXPECT_EQ(LastError(), 0);
}

TEST_F(DialogFieldsTest, WithoutACurrentDialogEveryCallReports1005AndChangesNothing) {
  WDialogPutString(1001, "kept");
  WDialogUnload();
  ASSERT_EQ(WDialogStatusQuery(3), 0);
  std::int32_t i = 5;
  float r = 5;
  std::string s = "keep";
  WDialogPutInteger(1002, 1);
  EXPECT_EQ(LastError(), kErrNoDialog);
  WDialogPutReal(1003, 1);
  EXPECT_EQ(LastError(), kErrNoDialog);
  WDialogGetInteger(1002, i);
  EXPECT_EQ(LastError(), kErrNoDialog);
  WDialogGetReal(1003, r);
  EXPECT_EQ(LastError(), kErrNoDialog);
  WDialogGetString(1001, s);
  EXPECT_EQ(LastError(), kErrNoDialog);
  WDialogGetCheckBox(1004, i);
  EXPECT_EQ(LastError(), kErrNoDialog);
  WDialogGetRadioButton(1005, i);
  EXPECT_EQ(LastError(), kErrNoDialog);
  WDialogFieldState(1001, 0);
  EXPECT_EQ(LastError(), kErrNoDialog);
  WDialogShow();
  EXPECT_EQ(LastError(), kErrNoDialog);
  WDialogHide();
  EXPECT_EQ(LastError(), 0);
  EXPECT_EQ(WDialogFieldInfo(1001, 5), 0);
  EXPECT_EQ(i, 5);
  EXPECT_EQ(r, 5);
  EXPECT_EQ(s, "keep");
}

}  // namespace
}  // namespace tk
