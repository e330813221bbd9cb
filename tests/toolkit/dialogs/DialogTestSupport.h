#pragma once
// A headless main window, the test dialog 901 and helpers for the dialog
// manager's tests.
#include <gtest/gtest.h>

#include <string>

#include "resources/ResourceFormat.h"
#include "tests/toolkit/core/WindowTestSupport.h"
#include "toolkit/core/Errors.h"
#include "toolkit/core/ToolkitState.h"
#include "toolkit/dialogs/DialogManager_p.h"
#include "toolkit/dialogs/Dialogs.h"

namespace tk::testing {

/// Dialog 901: one field of every kind the field calls serve, in tab order.
inline constexpr std::string_view kTestDialogs = R"(dialog 901 popup
  caption "Test parameters"
  rect 0 0 200 150
  style WS_CAPTION | WS_SYSMENU | DS_MODALFRAME
  control STATIC -1 5 5 60 8 "Name" SS_LEFT | WS_VISIBLE
  control EDIT 1001 70 5 100 12 "" ES_AUTOHSCROLL | WS_VISIBLE | WS_TABSTOP | WS_BORDER
  control INTEGEREDIT 1002 70 20 50 12 "" WS_VISIBLE | WS_TABSTOP | WS_BORDER
  control REALEDIT 1003 70 35 50 12 "" WS_VISIBLE | WS_TABSTOP | WS_BORDER
  control BUTTON 1004 5 50 80 10 "Normalise" BS_CHECKBOX | WS_VISIBLE | WS_TABSTOP
  control BUTTON 1005 5 62 80 10 "Left" BS_AUTORADIOBUTTON | WS_VISIBLE | WS_TABSTOP | WS_GROUP
  control BUTTON 1006 5 72 80 10 "Middle" BS_RADIOBUTTON | WS_VISIBLE
  control BUTTON 1007 5 82 80 10 "Right" BS_AUTORADIOBUTTON | WS_VISIBLE
  control STATIC 1008 100 62 60 8 "Right-aligned" SS_RIGHT | WS_VISIBLE | WS_GROUP
  control BUTTON 1009 100 75 80 40 "Group" BS_GROUPBOX | WS_VISIBLE
  control BUTTON 1 10 130 50 14 "OK" BS_DEFPUSHBUTTON | WS_VISIBLE | WS_TABSTOP | WS_GROUP
  control BUTTON 2 70 130 50 14 "Cancel" WS_VISIBLE | WS_TABSTOP
  control BUTTON 3 130 130 50 14 "Apply" WS_VISIBLE | WS_TABSTOP
end
dialog 902 child
  rect 0 0 100 40
  control EDIT 1101 5 5 60 12 "" WS_VISIBLE | WS_TABSTOP | WS_BORDER
end
)";

class DialogTest : public ToolkitWindowTest {
 protected:
  void SetUp() override {
    ToolkitWindowTest::SetUp();
    res::ResourceSet set;
    res::ResourceError error;
    ASSERT_TRUE(res::ParseResourceText("test-dialogs", kTestDialogs, set, error)) << error.Text();
    for (const res::DialogTemplate& t : set.dialogs) AddDialogTemplate(t);
    ResetErrorState();
  }
  void TearDown() override {
    ResetToolkitForTesting();
    ClearDialogTemplates();
    ToolkitWindowTest::TearDown();
  }

  /// The last error code, cleared.
  static int LastError() {
    const int e = ErrorState().lastError;
    ErrorState().lastError = 0;
    return e;
  }
  static plat::Hwnd Field(int id) {
    LoadedDialog* d = CurrentDialog();
    DialogField* f = d ? FindField(*d, id) : nullptr;
    return f ? f->hwnd : plat::kNoWindow;
  }
  static plat::Hwnd DialogWindow() {
    LoadedDialog* d = CurrentDialog();
    return d ? d->hwnd : plat::kNoWindow;
  }
  static std::string Text(int id) { return plat::GetWindowText(Field(id)); }
};

}  // namespace tk::testing
