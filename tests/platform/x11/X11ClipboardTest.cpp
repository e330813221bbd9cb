// The clipboard between two X clients on a private Xvfb: what one program
// copies, the other pastes, and taking the clipboard tells the old owner.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/backend/Backend.h"
#include "tests/TestSupport.h"
#include "tests/XvfbSupport.h"

namespace {

using testing_support::FindProgram;
using testing_support::Xvfb;

using Pump = testing_support::EventPump;

TEST(X11Clipboard, TextCopiedInOneProgramIsPastedInAnother) {
  const std::string program = FindProgram("Xvfb");
  if (program.empty()) GTEST_SKIP() << "Xvfb is not on PATH";
  Xvfb server;
  std::string why;
  ASSERT_TRUE(server.Start(program, 24, why, "320x240", false)) << why;
  std::unique_ptr<plat::Backend> copier = plat::MakeX11Backend(server.Display());
  std::unique_ptr<plat::Backend> paster = plat::MakeX11Backend(server.Display());
  ASSERT_TRUE(copier && paster);

  EXPECT_FALSE(paster->ForeignClipboardText().has_value());  // nobody holds it yet
  EXPECT_FALSE(copier->ClipboardIsOurs());
  copier->ClaimClipboard("caf\xc3\xa9\n2");
  EXPECT_TRUE(copier->ClipboardIsOurs());
  {
    Pump answering(*copier);
    EXPECT_EQ(paster->ForeignClipboardText(), "caf\xc3\xa9\n2");
  }
  // The paster copies next: the first program learns it lost the clipboard.
  paster->ClaimClipboard("new");
  EXPECT_TRUE(paster->ClipboardIsOurs());
  for (int i = 0; i < 100 && copier->ClipboardIsOurs(); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_FALSE(copier->ClipboardIsOurs());
  {
    Pump answering(*paster);
    EXPECT_EQ(copier->ForeignClipboardText(), "new");
  }
  copier.reset();
  paster.reset();
  server.Stop();
}

}  // namespace
