// WINMSG and WINWRN reach the user through the toolkit's message box.
#include <gtest/gtest.h>

#include "platform/dialog/MessageBox.h"
#include "platform/testing/Harness.h"
#include "support/UserMessages.h"

namespace {

TEST(UserMessagesBox, InformationAndWarningShowOneOkBoxWithTheLibraryTitle) {
  plat::testing::Harness harness;
  sup::SetUserMessageHook({});  // the default: the toolkit's box
  plat::ClearMessageBoxLog();
  sup::WINMSG("PLEASE LOAD TRACES FIRST");
  sup::WINWRN("ERROR READING FILE");
  const auto& log = plat::MessageBoxLog();
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[0].caption, "Morvane Library Message");
  EXPECT_EQ(log[0].text, "PLEASE LOAD TRACES FIRST");
  EXPECT_EQ(log[0].buttons, plat::MessageBoxButtons::Ok);
  EXPECT_EQ(log[0].icon, plat::MessageBoxIcon::Information);
  EXPECT_EQ(log[1].icon, plat::MessageBoxIcon::Exclamation);
  EXPECT_EQ(sup::LastUserMessage().text, "ERROR READING FILE");
}

}  // namespace
