// The button that closed a modal dialog, whatever field had the focus.
#include <gtest/gtest.h>

#include "tests/toolkit/dialogs/DialogTestSupport.h"

namespace tk::testing {
namespace {

TEST_F(DialogTest, ModalShowNamesItsClosingButtonWhateverHadTheFocus) {
  res::ResourceSet set;
  res::ResourceError error;
  ASSERT_TRUE(res::ParseResourceText("focus-first", R"(dialog 990 popup
  rect 0 0 160 60
  control COMBOBOX 1002 8 8 80 60 "" CBS_DROPDOWNLIST | WS_VSCROLL | WS_VISIBLE | WS_TABSTOP
  control EDIT 1003 8 24 80 12 "" WS_VISIBLE | WS_TABSTOP | WS_BORDER
  control BUTTON 1 100 8 50 14 "OK" BS_DEFPUSHBUTTON | WS_VISIBLE | WS_TABSTOP
  control BUTTON 2 100 26 50 14 "Cancel" WS_VISIBLE | WS_TABSTOP
end
)",
                                      set, error))
      << error.Text();
  AddDialogTemplate(set.dialogs[0]);
  for (const auto& [script, button] : {std::pair{"press 1", 1}, {"press 2", 2}, {"1003=x\npress 1", 1}}) {
    SCOPED_TRACE(script);
    WDialogLoad(990);
    harness.Answer("dialog 990", script);
    WDialogShow(-1, -1, 0, kShowModal);
    EXPECT_EQ(WDialogStatusQuery(1), button);
    WDialogUnload();
  }
}

}  // namespace
}  // namespace tk::testing
