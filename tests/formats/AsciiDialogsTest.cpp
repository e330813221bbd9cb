// The ASCII import and export as the user drives them: the file dialog, the
// column dialog 134 and the layout dialog 152, answered by script.
#include <gtest/gtest.h>

#include "formats/AsciiIn.h"
#include "formats/AsciiOut.h"
#include "platform/dialog/FileDialog.h"
#include "support/UserMessages.h"
#include "tests/TestSupport.h"
#include "tests/toolkit/core/WindowTestSupport.h"
#include "toolkit/core/ToolkitState.h"
#include "toolkit/dialogs/DialogManager_p.h"

namespace {

using namespace vel;

class AsciiDialogs : public tk::testing::ToolkitWindowTest {
 protected:
  void SetUp() override {
    ToolkitWindowTest::SetUp();
    start_ = std::filesystem::current_path();
    sup::SetUserMessageHook([](sup::UserMessageKind, std::string_view, std::string_view) {});
    IASCTYPE() = 1;
    ASCIILAYOUT() = {};
  }
  void TearDown() override {
    sup::SetUserMessageHook({});
    IASCTYPE() = 1;
    ASCIILAYOUT() = {};
    tk::ResetToolkitForTesting();
    ToolkitWindowTest::TearDown();
    std::filesystem::current_path(start_);  // the import keeps the chosen folder current
  }
  std::filesystem::path start_;
  testing_support::TempDir dir;
};

ShotRecord SmallRecord() {
  ShotRecord rec;
  rec.CRECNAME = "LINE1.SHOT5";
  rec.NTRACE = 3;
  rec.NSAMP = 4;
  rec.SAMPINT = 0.5f;
  EXPECT_TRUE(RebuildTraceArrays(rec));
  for (std::size_t i = 0; i < rec.TRACES.size(); ++i) rec.TRACES[i] = static_cast<float>(i) - 5.0f;
  return rec;
}

TEST_F(AsciiDialogs, ExportAsksForTheFileAndTheLayout) {
  const ShotRecord rec = SmallRecord();
  const std::string path = (dir / "out.dat").string();
  harness.Answer(std::string(plat::kFileDialogAnswer), path)
      .Answer("dialog 152", "1262=1\n1265=1\n1266=0\npress 1");
  AsciiExportOptions options{.ILABEL = 4, .LTIMES = false, .LPOSITS = true};
  std::string name;
  int error = 5;
  ASCIIOUT(rec, 0, name, error, options);
  ASSERT_EQ(error, 0);
  EXPECT_EQ(options, (AsciiExportOptions{.ILABEL = 2, .LTIMES = true, .LPOSITS = false}));
  EXPECT_EQ(name, path);
  EXPECT_EQ(testing_support::ReadFile(path).substr(0, 23), "        TIMESTRACE00001");

  // Cancel in the layout dialog writes nothing and keeps the options.
  const std::string other = (dir / "other.dat").string();
  harness.Answer(std::string(plat::kFileDialogAnswer), other).Answer("dialog 152", "press 2");
  name.clear();
  ASCIIOUT(rec, 0, name, error, options);
  EXPECT_EQ(error, -1);
  EXPECT_EQ(options, (AsciiExportOptions{.ILABEL = 2, .LTIMES = true, .LPOSITS = false}));
  EXPECT_FALSE(std::filesystem::exists(other));
}

TEST_F(AsciiDialogs, ImportAsksForTheFileAndTheColumns) {
  const auto path = dir / "table.txt";
  testing_support::WriteFile(path, "TIME A B\n0 1 2\n0 3 4\n0 5 6\n");
  harness.Answer(std::string(plat::kFileDialogAnswer), path.string())
      .Answer("dialog 134", "1194=2\n1196=2\n1106=9\n1197=1.0\n1099=0.5\npress 1");
  ShotRecord rec;
  int error = 5;
  ASCIIIN(rec, error);
  ASSERT_EQ(error, 0) << sup::LastUserMessage().text;
  EXPECT_EQ(rec.NTRACE, 2);
  EXPECT_EQ(rec.NSAMP, 3);
  EXPECT_EQ(rec.TRACES, (std::vector<float>{1, 3, 5, 2, 4, 6}));
  EXPECT_EQ(rec.SAMPINT, 0.5f);
  EXPECT_EQ(rec.TDELAY, 0.5f);
  EXPECT_EQ(rec.CRECNAME.Trimmed(), "table");
  EXPECT_EQ(ASCIILAYOUT().ICOL1, 2);  // kept for the next import

  // Cancel in the column dialog leaves the record alone.
  harness.Answer(std::string(plat::kFileDialogAnswer), path.string())
      .Answer("dialog 134", "press 2");
  ASCIIIN(rec, error);
  EXPECT_EQ(error, -1);
  EXPECT_EQ(rec.NSAMP, 3);
}

}  // namespace
