// SUSPENS reader: 1024-byte text header and 16-bit traces, from the shared fixtures.
#include <gtest/gtest.h>

#include <string>

#include "instruments/SuspensIn.h"
#include "shell/Import.h"
#include "record/MergeIntervals.h"
#include "support/UserMessages.h"
#include "tests/instruments/InstrumentFixtures.h"
#include "tests/instruments/OyoFpxSuspensFixtures.h"
#include "tests/instruments/ReaderTestBase.h"
#include "tests/instruments/SeededDamage.h"

namespace {

using instrument_fixtures::SuspensFile;

using instrument_fixtures::Num;
using instrument_fixtures::Put;
using instrument_fixtures::PutLE;

class SuspensTest : public ReaderTest {
 protected:
  vel::ShotRecord Read(const SuspensFile& f, int& ierr, std::size_t cut = 0) {
    std::string bytes = f.Bytes();
    bytes.resize(bytes.size() - cut);
    Write("log.dat", bytes);
    vel::ShotRecord rec = Loaded();
    vel::SUSPENSIN(rec, "log.dat", ierr, intervals_);
    return rec;
  }
  vel::MergeIntervals intervals_{9.0f, 9.0f};
};

TEST_F(SuspensTest, CodesTracesAndSamples) {
  for (char code : {'0', '1', '2'}) {
    SCOPED_TRACE(code);
    const SuspensFile f{.code = code, .nsamp = 1000};
    EXPECT_EQ(f.Bytes().size(), code == '0' ? 13024u : 1024u + 2000u * f.Traces());
    int ierr = 1;
    const vel::ShotRecord rec = Read(f, ierr);
    ASSERT_EQ(ierr, 0) << sup::LastUserMessage().text;
    EXPECT_EQ(vel::ISEISFT("log.dat"), vel::kFormatSuspens);
    EXPECT_EQ(rec.NTRACE, f.Traces());
    EXPECT_EQ(rec.NSAMP, 1000);
    EXPECT_EQ(rec.ISHOT, 7);
    EXPECT_FLOAT_EQ(rec.SAMPINT, 0.05f);
    EXPECT_FLOAT_EQ(rec.TDELAY, code == '0' ? 0.02f : 0.0f);
    EXPECT_FLOAT_EQ(intervals_.SAMPINTH, 0.05f);
    EXPECT_FLOAT_EQ(intervals_.SAMPINTV, 0.1f);
    EXPECT_EQ(rec.CRECNAME.Str(), "HELD");  // the caller names the record
    EXPECT_FLOAT_EQ(rec.SPACING, -4.0f);    // left as it was
    EXPECT_EQ(rec.IVSTACK[0], 0);           // the plain rebuild
    for (int j = 1; j <= f.Traces(); ++j)
      for (int i = 0; i < 1000; i += 37)
        ASSERT_EQ(vel::Trace(rec, j)[static_cast<std::size_t>(i)], SuspensFile::Sample(j, i));
    EXPECT_FLOAT_EQ(rec.GMAX, 11.0f * f.Traces());
    EXPECT_FLOAT_EQ(rec.GMIN, 11.0f - 999.0f);
  }
}

TEST_F(SuspensTest, HeaderFields) {
  struct Case {
    const char *shot, *first;
    int ishot;
    float sampint;
  };
  for (const Case& c : {Case{"ABC", "050", 1, 0.05f}, Case{"   ", " 50", 0, 0.05f},
                        Case{" -2", "  1", -2, 0.001f}}) {
    SCOPED_TRACE(c.shot);
    int ierr = 1;
    const vel::ShotRecord rec = Read({.nsamp = 4, .shot = c.shot, .first = c.first}, ierr);
    ASSERT_EQ(ierr, 0);
    EXPECT_EQ(rec.ISHOT, c.ishot);
    EXPECT_FLOAT_EQ(rec.SAMPINT, c.sampint);
  }
  // The delay counts for code "0" only, whatever bytes 94-95 hold otherwise.
  int ierr = 1;
  EXPECT_FLOAT_EQ(Read({.code = '1', .nsamp = 4, .delay = "xx"}, ierr).TDELAY, 0.0f);
  EXPECT_EQ(ierr, 0);
}

TEST_F(SuspensTest, SampleBytes) {
  std::string bytes = SuspensFile{.code = '2', .nsamp = 2}.Bytes();
  bytes.replace(1024, 4, std::string("\x01\x80\xff\x7f", 4));
  Write("s.dat", bytes);
  vel::ShotRecord rec;
  int ierr = 1;
  vel::SUSPENSIN(rec, "s.dat", ierr, intervals_);
  ASSERT_EQ(ierr, 0);
  EXPECT_EQ(vel::Trace(rec, 1)[0], -32767.0f);
  EXPECT_EQ(vel::Trace(rec, 1)[1], 32767.0f);
  EXPECT_FLOAT_EQ(rec.TRACEMAX[0], 32767.0f);
}

TEST_F(SuspensTest, HostileFilesLeaveRecordAndIntervalsAlone) {
  const std::string name = "\"" + Padded256("h.dat") + "\"";
  std::string shortHeader = SuspensFile{}.Bytes();
  shortHeader.resize(1023);
  std::string cut = SuspensFile{}.Bytes();
  cut.pop_back();
  struct Case {
    const char* what;
    std::string bytes;
    std::string message;
  };
  const Case cases[] = {
      {"header under 1024 bytes", shortHeader, "Cannot read \"SUSPENS\" header from file: " + name},
      {"code 3", SuspensFile{.code = '3', .nsamp = 4}.Bytes(),
       "Invalid code for measurement items (byte 113): \"3\""},
      {"no samples", SuspensFile{.nsamp = 0}.Bytes(), "ERROR READING DATA"},
      {"-100 samples", SuspensFile{.count = "-100"}.Bytes(), "ERROR READING DATA"},
      {"count not a number", SuspensFile{.count = "1x00"}.Bytes(), "ERROR READING DATA"},
      {"interval not a number", SuspensFile{.nsamp = 4, .second = "1.0"}.Bytes(),
       "ERROR READING DATA"},
      {"delay not a number", SuspensFile{.nsamp = 4, .delay = "2x"}.Bytes(), "ERROR READING DATA"},
      {"13023 bytes", cut, "Cannot read traces from \"SUSPENS\" file"},
  };
  vel::ShellMergeIntervals() = {3.0f, 4.0f};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Write("h.dat", c.bytes);
    vel::ShotRecord rec = Loaded();
    rec.ISHOT = 55;
    const vel::ShotRecord before = rec;
    std::int32_t irec = 1;
    int ierr = 0;
    vel::IMPORT(rec, "h.dat", irec, ierr, false, false);
    EXPECT_EQ(ierr, -1);
    EXPECT_EQ(sup::LastUserMessage().text, c.message);
    EXPECT_EQ(rec.ISHOT, before.ISHOT);
    EXPECT_EQ(rec.NTRACE, before.NTRACE);
    EXPECT_EQ(rec.TRACES, before.TRACES);
    EXPECT_EQ(vel::ShellMergeIntervals().SAMPINTH, 3.0f);
    EXPECT_EQ(vel::ShellMergeIntervals().SAMPINTV, 4.0f);
  }
  vel::ShotRecord rec;
  int ierr = 0;
  vel::SUSPENSIN(rec, "none.dat", ierr, intervals_);
  EXPECT_EQ(ierr, -1);
  EXPECT_EQ(sup::LastUserMessage().text, "Cannot open file: \"" + Padded256("none.dat") + "\"");
}

TEST_F(SuspensTest, AbortBeforeDecoding) {
  sup::SetAbortPollHook([] { return true; });
  sup::ClearUserMessages();
  int ierr = 1;
  (void)Read({.nsamp = 4}, ierr);
  sup::SetAbortPollHook({});
  (void)sup::LKILL(1);
  EXPECT_EQ(ierr, -1);
  EXPECT_EQ(sup::UserMessageCount(), 0);
  EXPECT_EQ(intervals_.SAMPINTH, 9.0f);
}

TEST_F(SuspensTest, ImportReadsSuspensAsCodeFourteenIntoTheShellIntervals) {
  Write("ok.dat", SuspensFile{.code = '2', .nsamp = 8, .second = "250"}.Bytes());
  vel::ShotRecord rec = Loaded();
  std::int32_t irec = 1;
  int ierr = 0;
  vel::IMPORT(rec, "ok.dat", irec, ierr, false, false);
  ASSERT_EQ(ierr, 0) << sup::LastUserMessage().text;
  EXPECT_EQ(rec.IFORMAT, vel::kFormatSuspens);
  EXPECT_FLOAT_EQ(vel::ShellMergeIntervals().SAMPINTH, 0.05f);
  EXPECT_FLOAT_EQ(vel::ShellMergeIntervals().SAMPINTV, 0.25f);
  EXPECT_FLOAT_EQ(rec.SPACING, -4.0f);  // carried over from the record held
}

}  // namespace

namespace {

TEST(SuspensDamage, SeededDamageThroughTheFuzzEntry) {
  instrument_fixtures::RunSeededDamage(
      {SuspensFile{.nsamp = 8}.Bytes(), SuspensFile{.code = '2', .nsamp = 3}.Bytes()}, 1100, 1500,
      14);
}

}  // namespace
