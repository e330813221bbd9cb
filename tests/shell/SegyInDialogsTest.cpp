// The SEG-Y reader's questions through the program's own dialogs, answered
// by script: the trace-count and record prompts (dialog 136) and the Shot
// Header Editor of a non-compliant read (dialog 126).
#include <filesystem>

#include "formats/SegyIn.h"
#include "shell/PromptDialogs.h"
#include "support/UserMessages.h"
#include "tests/TestSupport.h"
#include "tests/formats/SegyTestSupport.h"
#include "tests/shell/AppDialogTestSupport.h"

namespace {

namespace fs = std::filesystem;
using app_dialog_test::AppDialogTest;

class SegyInDialogsTest : public AppDialogTest {
 protected:
  void SetUp() override {
    AppDialogTest::SetUp();
    vel::UseProgramReaderDialogs();
    sup::SetUserMessageHook([](sup::UserMessageKind, std::string_view, std::string_view) {});
    sup::ClearUserMessages();
  }
  void TearDown() override {
    sup::SetUserMessageHook({});
    AppDialogTest::TearDown();
  }
  int Read(vel::ShotRecord& rec, const fs::path& path, const vel::SegyInOptions& options = {}) {
    int recno = 1;
    int error = 99;
    vel::SEGYIN(rec, path.string(), recno, error, options, state);
    recordNumber = recno;
    return error;
  }
  int recordNumber = 0;
  vel::SegyInState state;  // what the reader remembers between the reads of a test
};

TEST_F(SegyInDialogsTest, TraceCountPromptAnsweredOrCancelled) {
  SKIP_WITHOUT_SHARED_DATA();
  const fs::path file = testing_support::SharedData() / "first_breaks_picking/real_gather.sgy";
  if (!fs::exists(file)) GTEST_SKIP() << file << " absent";

  vel::ShotRecord rec;
  rec.NTRACE = 7;
  harness.Answer("dialog 136", "press 2");
  EXPECT_EQ(Read(rec, file), -1);
  EXPECT_EQ(rec.NTRACE, 7);
  EXPECT_EQ(Text(1117), "NUMBER OF TRACES MUST BE POSITIVE:");
  EXPECT_EQ(Text(1167), "96");  // the proposal from the file size
  // Only the warning about its blank text header, not a word about the prompt.
  EXPECT_EQ(sup::UserMessageCount(), 1);
  EXPECT_EQ(sup::LastUserMessage().text, "3200 BYTE HEADER IS NEITHER ASCII OR EBCDIC.");

  harness.Answer("dialog 136", "1167=96\npress 1");
  ASSERT_EQ(Read(rec, file), 0);
  EXPECT_EQ(rec.NTRACE, 96);
  const auto s = segy_test::ReadWithSegyio(file, false);
  if (s.ok) {
    ASSERT_EQ(s.traces, 96);
    ASSERT_EQ(s.samples, rec.NSAMP);
    ASSERT_EQ(s.data.size(), rec.TRACES.size());
    EXPECT_EQ(s.data, rec.TRACES);
  }
}

TEST_F(SegyInDialogsTest, RecordPromptOffersTheSelectedRecord) {
  SKIP_WITHOUT_SHARED_DATA();
  const fs::path file = testing_support::SharedData() / "segyio/tiny.sgy";
  if (!fs::exists(file)) GTEST_SKIP() << file << " absent";
  vel::ShotRecord rec;
  harness.Answer("dialog 136", "1167=4\npress 1");
  ASSERT_EQ(Read(rec, file), 0);
  EXPECT_EQ(Text(1117), "Record sequence number to read (1:     6):");
  EXPECT_EQ(recordNumber, 4);
  EXPECT_EQ(rec.CRECNAME.Trimmed(), "tiny-4");

  // The next read offers record 4; a number beyond the count ends it quietly.
  harness.Answer("dialog 136", "press 2");
  EXPECT_EQ(Read(rec, file), -1);
  EXPECT_EQ(Text(1167), "4");
  harness.Answer("dialog 136", "1167=7\npress 1");
  EXPECT_EQ(Read(rec, file), -1);
  EXPECT_EQ(rec.CRECNAME.Trimmed(), "tiny-4");
}

TEST_F(SegyInDialogsTest, NonCompliantReadThroughTheShotHeaderEditor) {
  SKIP_WITHOUT_SHARED_DATA();
  const fs::path file = testing_support::SharedData() / "segyio/multiformats/Format5msb.sgy";
  if (!fs::exists(file)) GTEST_SKIP() << file << " absent";
  vel::SegyInOptions options;
  options.compliant = false;

  vel::ShotRecord rec;
  rec.NTRACE = 7;
  harness.Answer("dialog 136", "1167=414\npress 1");
  harness.Answer("dialog 126", "1106=75\npress 2");
  EXPECT_EQ(Read(rec, file, options), -1);
  EXPECT_EQ(rec.NTRACE, 7);
  // The binary header's IEEE code offers floating point.
  EXPECT_TRUE(Checked(1169));
  EXPECT_EQ(Text(1105), "414");

  harness.Answer("dialog 136", "1167=414\npress 1");
  harness.Answer("dialog 126", "1106=75\n1099=4\npress 1");
  ASSERT_EQ(Read(rec, file, options), 0);
  EXPECT_EQ(rec.NTRACE, 414);
  EXPECT_EQ(rec.NSAMP, 75);
  EXPECT_FALSE(rec.LSEGYHDR);
  if (!segy_test::SegyioAvailable()) return;
  const auto s = segy_test::ReadWithSegyio(file, false);
  ASSERT_TRUE(s.ok);
  ASSERT_EQ(s.data.size(), rec.TRACES.size());
  EXPECT_EQ(s.data, rec.TRACES);
}

// f3.sgy: the binary header gives 75 samples and no trace count, every trace
// header 462. The proposal counts traces of 75 samples, and accepting it as
// it stands reads the file as segyio does.
TEST_F(SegyInDialogsTest, StaleTraceSampleCountGivesWayToTheBinaryHeader) {
  SKIP_WITHOUT_SHARED_DATA();
  const fs::path file = testing_support::SharedData() / "segyio/f3.sgy";
  if (!fs::exists(file)) GTEST_SKIP() << file << " absent";
  vel::ShotRecord rec;
  harness.Answer("dialog 136", "press 1");  // OK on the proposal
  ASSERT_EQ(Read(rec, file), 0);
  // (The progress window of the 414 traces is the last dialog shown, so the
  // proposal shows in the count read, not in the prompt's fields.)
  EXPECT_EQ(sup::UserMessageCount(), 1);
  EXPECT_NE(sup::LastUserMessage().text.find(
                "All traces must have same number of samples     75 vs    462"),
            std::string::npos)
      << sup::LastUserMessage().text;
  EXPECT_EQ(rec.NTRACE, 414);
  EXPECT_EQ(rec.NSAMP, 75);
  EXPECT_FLOAT_EQ(rec.SAMPINT, 4.0f);
  if (!segy_test::SegyioAvailable()) return;
  const auto s = segy_test::ReadWithSegyio(file, false);
  ASSERT_TRUE(s.ok);
  ASSERT_EQ(s.traces, 414);
  ASSERT_EQ(s.samples, 75);
  ASSERT_EQ(s.data.size(), rec.TRACES.size());
  EXPECT_EQ(s.data, rec.TRACES);
}

}  // namespace
