// The whole-number and real-number prompts.
#include "shell/PromptDialogs.h"
#include "tests/shell/AppDialogTestSupport.h"

namespace {

using app_dialog_test::AppDialogTest;
using PromptDialogTest = AppDialogTest;

TEST_F(PromptDialogTest, CancelKeepsTheDefaultAndOkTakesTheNumber) {
  std::int32_t value = 12;
  std::int32_t error = 5;
  harness.Answer("dialog 136", "1167=7\npress 2");
  vel::INUMINDLG("NUMBER OF TRACES MUST BE POSITIVE:", value, error);
  EXPECT_EQ(error, -1);
  EXPECT_EQ(value, 12);
  EXPECT_EQ(Text(1117), "NUMBER OF TRACES MUST BE POSITIVE:");

  harness.Answer("dialog 136", "press 1");
  vel::INUMINDLG("Enter new number of samples:", value, error);
  EXPECT_EQ(Text(1167), "12");  // the default, confirmed as it stands
  EXPECT_EQ(error, 0);
  EXPECT_EQ(value, 12);

  harness.Answer("dialog 136", "1167=96\npress 1");
  vel::INUMINDLG("Enter new number of samples:", value, error);
  EXPECT_EQ(error, 0);
  EXPECT_EQ(value, 96);
}

TEST_F(PromptDialogTest, RealPromptCancelKeepsTheDefaultAndOkTakesTheNumber) {
  float value = 1.5f;
  std::int32_t error = 5;
  harness.Answer("dialog 148", "1062=7\npress 2");
  vel::FNUMINDLG("Enter multiplier for trace values:", value, error);
  EXPECT_EQ(error, -1);
  EXPECT_EQ(value, 1.5f);
  EXPECT_EQ(Text(1117), "Enter multiplier for trace values:");

  harness.Answer("dialog 148", "press 1");
  vel::FNUMINDLG("Enter multiplier for trace values:", value, error);
  EXPECT_EQ(error, 0);
  EXPECT_EQ(value, 1.5f);

  harness.Answer("dialog 148", "1062=-0.25\npress 1");
  vel::FNUMINDLG("Enter multiplier for trace values:", value, error);
  EXPECT_EQ(error, 0);
  EXPECT_EQ(value, -0.25f);
}

}  // namespace
