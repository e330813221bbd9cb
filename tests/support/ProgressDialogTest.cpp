// The progress dialog of long reads and writes: dialog 127 with its bar, and
// a Cancel that the abort poll sees.
#include <gtest/gtest.h>

#include <thread>

#include "../toolkit/core/WindowTestSupport.h"
#include "platform/controls/Controls.h"
#include "support/PollPacer.h"
#include "support/Progress.h"
#include "support/UserMessages.h"
#include "toolkit/core/Errors.h"
#include "toolkit/core/ToolkitState.h"
#include "toolkit/dialogs/DialogManager_p.h"

namespace sup {
namespace {

class ProgressDialogTest : public tk::testing::ToolkitWindowTest {
 protected:
  void SetUp() override {
    ToolkitWindowTest::SetUp();
    SetProgressHook({});
    SetAbortPollHook({});
    tk::ResetErrorState();
  }
  void TearDown() override {
    LKILL(1);
    tk::ResetToolkitForTesting();
    ToolkitWindowTest::TearDown();
  }
  static tk::LoadedDialog* Progress() {
    tk::WDialogSelect(kProgressDialog);
    return tk::CurrentDialog();
  }
  static plat::Hwnd Field(int id) {
    tk::LoadedDialog* d = Progress();
    tk::DialogField* f = d ? tk::FindField(*d, id) : nullptr;
    return f ? f->hwnd : plat::kNoWindow;
  }
};

TEST_F(ProgressDialogTest, OpenSetAndCloseShowTheDialog) {
  ProgressOpen("LINE1.SG2");
  tk::LoadedDialog* d = Progress();
  ASSERT_NE(d, nullptr);
  EXPECT_TRUE(plat::IsWindowVisible(d->hwnd));
  EXPECT_EQ(plat::GetWindowText(d->hwnd), "Trace File Input/Output progress");
  EXPECT_EQ(plat::GetWindowText(Field(kProgressFileField)), "LINE1.SG2");
  EXPECT_EQ(plat::ProgressGetPos(Field(kProgressBarField)), 0);
  ProgressSet(42);
  EXPECT_EQ(plat::ProgressGetPos(Field(kProgressBarField)), 42);
  ProgressClose();
  EXPECT_FALSE(plat::IsWindowVisible(Progress()->hwnd));
  EXPECT_TRUE(plat::IsWindowEnabled(Frame(0)));  // the main window takes input again
  EXPECT_EQ(tk::ErrorState().lastError, 0);
}

TEST_F(ProgressDialogTest, ScriptedCancelAbortsTheLoop) {
  ProgressOpen("BIG.SGY");
  ASSERT_FALSE(LKILL(1));
  const plat::Hwnd cancel = Field(2);
  ASSERT_NE(cancel, plat::kNoWindow);
  int stoppedAt = 0;
  for (int j = 1; j <= 100; ++j) {
    // The bar and the poll are taken at most once per kPollInterval: a
    // Cancel pressed is seen by the first poll after that.
    if (j == 30) {
      harness.Click(cancel, {5, 5});
      std::this_thread::sleep_for(kPollInterval);
    }
    ProgressSet(j);
    if (LKILL(0)) {
      stoppedAt = j;
      break;
    }
  }
  EXPECT_EQ(stoppedAt, 30);
  EXPECT_EQ(plat::ProgressGetPos(Field(kProgressBarField)), stoppedAt);
  ProgressClose();
  EXPECT_FALSE(LKILL(1));
}

}  // namespace
}  // namespace sup
