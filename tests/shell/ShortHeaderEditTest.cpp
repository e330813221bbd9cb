// The Shot Header Editor for non-compliant SEG-Y input.
#include <string>

#include "shell/ShortHeaderEdit.h"
#include "tests/shell/AppDialogTestSupport.h"
#include "toolkit/dialogs/Dialogs.h"

namespace {

using app_dialog_test::AppDialogTest;

class ShortHeaderEditTest : public AppDialogTest {
 protected:
  ShortHeaderEditTest() {
    rec.SAMPINT = 0.25f;
    rec.TDELAY = -10.0f;
    rec.TUPHOLE = 3.5f;
    rec.SHOTDEPTH = 1.5f;
    rec.ISHOT = 17;
    rec.SHOTX = 1234.5f;
    rec.SHOTY = 5678.5f;
    rec.SHOTELEV = 99.0f;
    rec.NTRACE = 26;
    rec.NSAMP = 1000;
    rec.NAUX = 2;
  }
  std::int32_t Run(const std::string& script) {
    harness.Answer("dialog 126", script);
    std::int32_t error = 7;
    vel::SHORTHEADEDIT(rec, first, format, error);
    return error;
  }
  static float Number(int id) { return std::stof(Text(id)); }

  vel::ShotRecord rec;
  std::int32_t first = 3;
  std::int32_t format = 2;
};

TEST_F(ShortHeaderEditTest, FieldsShowTheHeaderAndCancelChangesNothing) {
  EXPECT_EQ(Run("1099=2\n1105=5\n1181=9\n1171=1\npress 2"), -1);
  EXPECT_EQ(first, 3);
  EXPECT_EQ(format, 2);
  EXPECT_EQ(rec.SAMPINT, 0.25f);
  EXPECT_EQ(rec.NTRACE, 26);

  EXPECT_EQ(Run("press 2"), -1);
  EXPECT_EQ(Text(1181), "3");
  EXPECT_EQ(Text(1106), "1000");
  EXPECT_EQ(Text(1105), "26");
  EXPECT_EQ(Text(1227), "2");
  EXPECT_EQ(Text(1102), "17");
  const std::pair<int, float> reals[] = {{1099, 0.25f}, {1100, -10.0f},  {1101, 3.5f},
                                         {1111, 1.5f},  {1103, 1234.5f}, {1208, 5678.5f},
                                         {1104, 99.0f}};
  for (const auto& [field, value] : reals) EXPECT_FLOAT_EQ(Number(field), value) << field;
  EXPECT_TRUE(Checked(1170));
}

TEST_F(ShortHeaderEditTest, TraceFormatButtons) {
  // In: a SEG-Y sample code. IEEE floating point (5) is the float button.
  const std::pair<std::int32_t, int> cases[] = {{-3, 1169}, {0, 1169}, {1, 1169}, {2, 1170},
                                                {3, 1171},  {5, 1169}, {9, 1171}};
  for (const auto& [code, button] : cases) {
    format = code;
    EXPECT_EQ(Run("press 1"), 0);
    EXPECT_TRUE(Checked(button)) << code;
    EXPECT_EQ(format, button - 1168) << code;
  }
}

TEST_F(ShortHeaderEditTest, OkStoresEveryField) {
  EXPECT_EQ(Run("1099=0.5\n1100=20\n1101=4\n1111=2.5\n1102=42\n1103=10\n1208=20\n1104=30\n"
                "1105=48\n1106=500\n1227=0\n1181=2\n1171=1\npress 1"),
            0);
  EXPECT_FLOAT_EQ(rec.SAMPINT, 0.5f);
  EXPECT_FLOAT_EQ(rec.TDELAY, 20.0f);
  EXPECT_FLOAT_EQ(rec.TUPHOLE, 4.0f);
  EXPECT_FLOAT_EQ(rec.SHOTDEPTH, 2.5f);
  EXPECT_EQ(rec.ISHOT, 42);
  EXPECT_FLOAT_EQ(rec.SHOTX, 10.0f);
  EXPECT_FLOAT_EQ(rec.SHOTY, 20.0f);
  EXPECT_FLOAT_EQ(rec.SHOTELEV, 30.0f);
  EXPECT_EQ(rec.NTRACE, 48);
  EXPECT_EQ(rec.NSAMP, 500);
  EXPECT_EQ(rec.NAUX, 0);
  EXPECT_EQ(first, 2);
  EXPECT_EQ(format, 3);
}

TEST_F(ShortHeaderEditTest, OkWithoutEditsKeepsTheValues) {
  rec.SHOTY = 5678.123f;  // more digits than the field shows
  const vel::ShotRecord before = rec;
  EXPECT_EQ(Run("press 1"), 0);
  EXPECT_EQ(rec.SHOTY, before.SHOTY);
  EXPECT_EQ(rec.SAMPINT, before.SAMPINT);
  EXPECT_EQ(rec.NTRACE, before.NTRACE);
  EXPECT_EQ(first, 3);
  EXPECT_EQ(format, 2);
}

TEST_F(ShortHeaderEditTest, BlankFieldsKeepTheirValues) {
  EXPECT_EQ(Run("1100=\n1105=\n1181=\npress 1"), 0);
  EXPECT_EQ(rec.TDELAY, -10.0f);
  EXPECT_EQ(rec.NTRACE, 26);
  EXPECT_EQ(first, 3);
}

TEST_F(ShortHeaderEditTest, ValuesOutsideTheRangesShowButOkRefusesThem) {
  // A first trace of 0 comes up in its field; OK cannot confirm it.
  first = 0;
  rec.NSAMP = 1;
  std::int32_t error = 7;
  std::string shown;
  LookLater([&] {
    shown = Text(1181) + " " + Text(1106);
    tk::WDialogSetField(1181);
  });
  ClickLater(1);
  LookLater([] { EXPECT_TRUE(plat::IsWindowVisible(tk::CurrentDialog()->hwnd)) << "still up"; });
  ClickLater(2);
  vel::SHORTHEADEDIT(rec, first, format, error);
  EXPECT_EQ(shown, "0 1");
  EXPECT_EQ(error, -1);
  EXPECT_EQ(first, 0);
}

TEST_F(ShortHeaderEditTest, OtherButtonsAreIgnored) {
  // Only OK and Cancel end the dialog; the window system ending counts as Cancel.
  harness.Answer("dialog 126", "press 77");
  std::int32_t error = 7;
  LookLater([] { plat::ButtonClick(Field(2)); });
  vel::SHORTHEADEDIT(rec, first, format, error);
  EXPECT_EQ(error, -1);
}

}  // namespace
