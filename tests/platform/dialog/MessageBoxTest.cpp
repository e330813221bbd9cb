#include <gtest/gtest.h>

#include "platform/controls/Controls.h"
#include "platform/dialog/MessageBox.h"
#include "platform/testing/Harness.h"
#include "platform/window/VirtualKeys.h"

namespace plat::testing {
namespace {

using R = MessageBoxResult;
using B = MessageBoxButtons;

class MessageBoxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterWindowClass({"BoxOwner", DefWindowProc, 0, Rgb(255, 255, 255)});
    owner = CreateWindow({.className = "BoxOwner",
                          .title = "Owner",
                          .style = kStyleVisible,
                          .rect = {100, 100, 700, 500}});
  }
  MessageBoxResult Show(B buttons, int defaultButton = 0) {
    return MessageBox({.owner = owner,
                       .text = "Line one\rLine two",
                       .caption = "Caption",
                       .buttons = buttons,
                       .icon = MessageBoxIcon::Question,
                       .defaultButton = defaultButton});
  }
  Harness harness;
  Hwnd owner = kNoWindow;
};

TEST_F(MessageBoxTest, ScriptedAnswers) {
  struct Case {
    B buttons;
    int defaultButton;
    const char* answer;
    R expected;
  } cases[] = {
      {B::Ok, 0, "ok", R::Ok},
      {B::OkCancel, 1, "Enter", R::Cancel},
      {B::OkCancel, 0, "Escape", R::Cancel},
      {B::YesNo, 0, "Escape", R::Failed},  // Escape does nothing without Cancel
      {B::YesNoCancel, 1, "NO", R::No},
      {B::AbortRetryIgnore, 1, "Enter", R::Retry},
      {B::AbortRetryIgnore, 1, "Abort", R::Abort},
      {B::RetryCancel, 0, "Yes", R::Failed},  // no such button
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.answer);
    harness.Answer("messagebox", c.answer);
    EXPECT_EQ(Show(c.buttons, c.defaultButton), c.expected);
  }
  ASSERT_EQ(MessageBoxLog().size(), std::size(cases));
  EXPECT_EQ(MessageBoxLog()[0].caption, "Caption");
  EXPECT_EQ(MessageBoxLog()[0].text, "Line one\rLine two");
  EXPECT_EQ(MessageBoxLog()[5].defaultButton, 1);
}

TEST_F(MessageBoxTest, NobodyToAnswerWritesToStandardErrorAndTakesTheDefault) {
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(Show(B::YesNoCancel, 2), R::Cancel);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Caption: Line one\nLine two\n");
}

TEST_F(MessageBoxTest, WithoutAWindowSystemTheBoxWritesToStandardError) {
  Discard();
  MessageBoxParams p;
  p.text = "Text";
  p.caption = "Title";
  p.buttons = B::OkCancel;
  p.defaultButton = 1;
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(MessageBox(p), R::Cancel);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Title: Text\n");
}

TEST_F(MessageBoxTest, KeysMoveTheFocusAndPress) {
  bool ownerEnabled = true;
  std::string title;
  harness.Call([&] {
    ownerEnabled = IsWindowEnabled(owner);
    title = GetWindowText(GetActiveWindow());
  });
  harness.Key(kVkRight).Key(kVkReturn);  // Abort, Retry (default) -> Ignore
  EXPECT_EQ(Show(B::AbortRetryIgnore, 1), R::Ignore);
  EXPECT_FALSE(ownerEnabled);
  EXPECT_EQ(title, "Caption");
  EXPECT_TRUE(IsWindowEnabled(owner));

  harness.Key(kVkEscape).Char('n');  // Escape does nothing in Yes No; "N" presses No
  EXPECT_EQ(Show(B::YesNo, 0), R::No);
  harness.Key(kVkEscape);
  EXPECT_EQ(Show(B::Ok), R::Ok);
  harness.Key(kVkTab).Key(kVkLeft).Key(kVkLeft).Key(kVkReturn);  // wraps round
  EXPECT_EQ(Show(B::YesNoCancel, 0), R::Cancel);
}

TEST_F(MessageBoxTest, ClickingAButtonPressesIt) {
  harness.Call([&] {
    const Hwnd box = GetActiveWindow();
    for (Hwnd b : GetChildren(box))
      if (GetWindowText(b) == "No") harness.Click(b, {5, 5});
  });
  EXPECT_EQ(Show(B::YesNo), R::No);
  EXPECT_EQ(MessageBoxLog().back().answer, R::No);
}

}  // namespace
}  // namespace plat::testing
