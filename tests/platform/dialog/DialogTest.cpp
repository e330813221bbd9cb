// Dialogs from templates: placement in dialog units, creation failures and
// the keyboard's choice of buttons.
#include <gtest/gtest.h>

#include "platform/controls/Controls.h"
#include "platform/dialog/Dialog.h"
#include "platform/testing/Harness.h"
#include "platform/window/VirtualKeys.h"

namespace plat::testing {
namespace {

DialogSpec Spec() {
  DialogSpec s;
  s.id = 77;
  s.caption = "Spec";
  s.rect = {0, 0, 100, 80};
  s.controls = {
      {"EDIT", 10, {4, 4, 64, 16}, "", kStyleVisible | kWsTabStop},
      {"BUTTON", 3, {4, 40, 44, 54}, "Apply", kStyleVisible | kWsTabStop},
      {"BUTTON", 1, {50, 40, 90, 54}, "OK", kStyleVisible | kWsTabStop | kBsDefPushButton},
  };
  return s;
}

TEST(PlatformDialogTest, ControlsArePlacedInDialogUnitsInTemplateOrder) {
  Harness harness;
  const Hwnd dlg = CreateDialogFromSpec(Spec(), kNoWindow, {});
  ASSERT_NE(dlg, kNoWindow);
  EXPECT_FALSE(IsShown(dlg));
  EXPECT_EQ(GetWindowText(dlg), "Spec");
  EXPECT_EQ(GetClientRect(dlg), (Rect{0, 0, 150, 130}));
  EXPECT_EQ(DialogTemplateId(dlg), 77);
  const std::vector<Hwnd> controls = DialogControls(dlg);
  ASSERT_EQ(controls.size(), 3u);
  EXPECT_EQ(GetWindowRect(controls[1]), (Rect{6, 65, 66, 87}));
  EXPECT_EQ(DialogItem(dlg, 1), controls[2]);
  EXPECT_EQ(DialogDefaultButton(dlg), controls[2]);
  EXPECT_EQ(NextTabStop(dlg, controls[2], false), controls[0]);  // wraps round
  EXPECT_EQ(NextTabStop(dlg, controls[0], true), controls[2]);
  EnableWindow(controls[1], false);
  EXPECT_EQ(NextTabStop(dlg, controls[0], false), controls[2]);
}

TEST(PlatformDialogTest, AControlThatCannotBeMadeLeavesNoDialog) {
  Harness harness;
  DialogSpec s = Spec();
  s.controls.push_back({"NO_SUCH_CLASS", 5, {0, 0, 10, 10}, "", kStyleVisible});
  const std::size_t before = GetTopLevelWindows().size();
  EXPECT_EQ(CreateDialogFromSpec(s, kNoWindow, {}), kNoWindow);
  EXPECT_EQ(GetTopLevelWindows().size(), before);
  DialogSpec c = Spec();  // a child dialog needs a parent
  c.child = true;
  EXPECT_EQ(CreateDialogFromSpec(c, kNoWindow, {}), kNoWindow);
}

TEST(PlatformDialogTest, EnterPressesTheDefaultButtonAndEscapeCancels) {
  Harness harness;
  std::vector<int> commands;
  const Hwnd dlg = CreateDialogFromSpec(
      Spec(), kNoWindow, [&](Hwnd, Msg m, WParam w, LParam) -> std::optional<LResult> {
        if (m == Msg::Command) commands.push_back(LowWord(w));
        return std::nullopt;
      });
  ShowWindow(dlg, ShowCmd::Show);
  SetFocus(DialogItem(dlg, 10));
  harness.Type("x").Key(kVkReturn, '\r').Key(kVkEscape, 0x1B);
  harness.DispatchPending();
  EXPECT_EQ(GetWindowText(DialogItem(dlg, 10)), "x");
  // The edit's own change notes come first; then OK and Cancel.
  ASSERT_GE(commands.size(), 2u);
  EXPECT_EQ(commands[commands.size() - 2], kIdOk);
  EXPECT_EQ(commands.back(), kIdCancel);
}

}  // namespace
}  // namespace plat::testing
