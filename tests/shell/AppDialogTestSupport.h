#pragma once
// A headless main window for the application's dialogs, with the program's
// own dialog templates, and helpers to look at and click their fields.
#include <gtest/gtest.h>

#include <string>

#include "platform/controls/Controls.h"
#include "platform/dialog/Dialog.h"
#include "platform/window/Window.h"
#include "tests/toolkit/core/WindowTestSupport.h"
#include "toolkit/core/ToolkitState.h"
#include "toolkit/dialogs/DialogManager_p.h"

namespace app_dialog_test {

class AppDialogTest : public tk::testing::ToolkitWindowTest {
 protected:
  void TearDown() override {
    tk::ResetToolkitForTesting();
    ToolkitWindowTest::TearDown();
  }

  /// Field ID of the current dialog.
  static plat::Hwnd Field(int id) {
    tk::LoadedDialog* d = tk::CurrentDialog();
    return d != nullptr ? plat::DialogItem(d->hwnd, id) : plat::kNoWindow;
  }
  static std::string Text(int id) { return plat::GetWindowText(Field(id)); }
  static bool Checked(int id) { return plat::ButtonGetCheck(Field(id)) != 0; }
  static bool Enabled(int id) { return plat::IsWindowEnabled(Field(id)); }

  /// A moment later, when the dialog shown waits for the user: the user
  /// clicks its button ID. The mouse move after the click ends the step, so
  /// that the waiting loop takes the click's event before the next step.
  void ClickLater(int id) {
    harness.Pause(10).Call([id] { plat::ButtonClick(Field(id)); });
    harness.MouseMove(Client(0), {1, 1});
  }
  /// A moment later: FN looks at the dialog shown.
  void LookLater(std::function<void()> fn) { harness.Pause(10).Call(std::move(fn)); }
};

}  // namespace app_dialog_test
