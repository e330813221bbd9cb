#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cmath>
#include <string>
#include <vector>

#include "instruments/Abem.h"
#include "shell/Import.h"
#include "support/Progress.h"
#include "support/UserMessages.h"
#include "tests/instruments/InstrumentFixtures.h"
#include "tests/instruments/ReaderTestBase.h"

namespace {

using instrument_fixtures::Abem;
using instrument_fixtures::AbemSample;
using vel::ShotRecord;

std::span<const std::byte> Span(const std::string& s) {
  return std::as_bytes(std::span(s.data(), s.size()));
}

/// Decodes FILE into a fresh record holding the spacing SPACING.
ShotRecord Decode(const std::string& file,
                  vel::instrument::Outcome expect = vel::instrument::Outcome::Ok,
                  float spacing = 0.0f) {
  ShotRecord rec;
  rec.SPACING = spacing;
  EXPECT_EQ(vel::DecodeAbemFile(Span(file), rec), expect);
  return rec;
}

TEST(Abem, IntervalCodes) {
  const float expected[] = {0.024f, 0.048f, 0.1f, 0.2f, 0.5f, 1.0f, 2.0f, 5.0f};
  for (int code = 0; code < 8; ++code) {
    SCOPED_TRACE(code);
    Abem f(2);
    f.At(93, std::to_string(code));
    ShotRecord rec;
    int ierr = 0;
    vel::ABEMCODE(rec, f.header.substr(0, 622), ierr);
    EXPECT_EQ(ierr, 0);
    EXPECT_FLOAT_EQ(rec.SAMPINT, expected[code]);
    EXPECT_EQ(rec.NSAMP, 1000);
    EXPECT_EQ(rec.NTRACE, 2);
  }
}

TEST(Abem, PositionsFollowTheFirstAndLastReceiver) {
  for (auto [first, last] : {std::pair{"  10.0", "  56.0"}, std::pair{"  56.0", "  10.0"}}) {
    SCOPED_TRACE(first);
    Abem f(24);
    f.At(47, first);
    f.At(55, last);
    const ShotRecord rec = Decode(f.Bytes());
    EXPECT_FLOAT_EQ(rec.SPACING, 2.0f);
    const float x1 = rec.GEOLOC[0];
    const float step = (rec.GEOLOC[23] - x1) / 23.0f;
    EXPECT_FLOAT_EQ(std::fabs(step), 2.0f);
    for (int j = 0; j < 24; ++j) {
      EXPECT_FLOAT_EQ(rec.GEOLOC[j], x1 + step * static_cast<float>(j));
      EXPECT_FLOAT_EQ(rec.GOFF[j], rec.GEOLOC[j] - 5.0f);
      EXPECT_EQ(rec.SHOTLOCX[j], 5.0f);
      EXPECT_EQ(rec.GEOELE[j], 0.0f);
    }
  }
}

TEST(Abem, OneTraceTakesTheLastPositionAndKeepsTheSpacing) {
  Abem f(1);
  const ShotRecord rec = Decode(f.Bytes(), vel::instrument::Outcome::Ok, -3.0f);
  ASSERT_EQ(rec.GEOLOC.size(), 1u);
  EXPECT_EQ(rec.GEOLOC[0], 56.0f);
  EXPECT_EQ(rec.SPACING, 3.0f);
}

TEST(Abem, HeaderFields) {
  Abem f(3);
  f.At(16, "99912 ");  // 3X skips "999"; I3 reads "12 "
  f.At(39, "  -7.5");
  const ShotRecord rec = Decode(f.Bytes());
  EXPECT_EQ(rec.ISHOT, 12);
  EXPECT_EQ(rec.SHOTX, -7.5f);
  EXPECT_EQ(rec.TDELAY, 0.0f);
}

TEST(Abem, PickWordsAreConsumedForEveryTrace) {
  struct Case {
    std::vector<int> flags;
    std::vector<int> picks;
  } cases[] = {
      {{1, 3}, {12, 0, 35}},
      {{2, 3}, {0, 0, 35}},
      {{}, {0, 0, 0}},
  };
  for (const auto& c : cases) {
    Abem f(3);
    f.At(501, "12 0 35");
    for (int k : c.flags) f.Flag(k);
    const ShotRecord rec = Decode(f.Bytes());
    EXPECT_EQ(rec.IBPICK, c.picks);
  }
  Abem f(3);  // words are cut to three characters; no word left reads 0
  f.At(501, "  1234    56");
  f.Flag(1);
  f.Flag(2);
  f.Flag(3);
  EXPECT_EQ(Decode(f.Bytes()).IBPICK, (std::vector<int>{123, 56, 0}));
}

TEST(Abem, MoreThan24TracesArePickedOnlyOnTheFirst24) {
  Abem f(30);
  std::string words;
  for (int k = 1; k <= 30; ++k) {
    f.Flag(k);  // flags 25-30 fall on other header characters
    if (k <= 24) words += std::to_string(k) + " ";
  }
  f.At(501, words);
  const ShotRecord rec = Decode(f.Bytes());
  ASSERT_EQ(rec.NTRACE, 30);
  for (int k = 1; k <= 30; ++k) EXPECT_EQ(rec.IBPICK[k - 1], k <= 24 ? k : 0) << k;
  EXPECT_EQ(vel::Trace(rec, 30)[0], AbemSample(30, 0));
}

TEST(Abem, SamplesAndStatistics) {
  Abem f(2);
  std::string file = f.Bytes();
  // Trace 1, samples 1 and 2: 32767 and -32768; sample 1001 onwards unused.
  const char extremes[] = {'\xFF', '\x7F', '\x00', '\x80'};
  file.replace(2048, 4, extremes, 4);
  file.replace(2048 + 2000, 2, "\xFF\x7F", 2);
  const ShotRecord rec = Decode(file);
  const auto t1 = vel::Trace(rec, 1);
  EXPECT_EQ(t1[0], 32767.0f);
  EXPECT_EQ(t1[1], -32768.0f);
  EXPECT_EQ(t1[999], AbemSample(1, 999));
  EXPECT_EQ(rec.TRACEMAX[0], 32768.0f);
  EXPECT_EQ(rec.GMIN, -32768.0f);
  EXPECT_EQ(rec.GMAX, 32767.0f);
  const auto t2 = vel::Trace(rec, 2);
  for (int i = 0; i < 1000; ++i) ASSERT_EQ(t2[i], AbemSample(2, i)) << i;
}

TEST(Abem, LineEndsBecomeBlanksBeforeFieldsAreRead) {
  Abem f(2);
  f.At(47, "\r\n10.0");
  EXPECT_EQ(Decode(f.Bytes()).GEOLOC[0], 10.0f);
}

class AbemReader : public ReaderTest {};

TEST_F(AbemReader, ReadsAFileThroughImport) {
  Write("shot.abm", Abem(24).Bytes());
  EXPECT_EQ(vel::ISEISFT("shot.abm"), vel::kFormatAbem);
  ShotRecord rec = Loaded();
  std::int32_t recno = 0;
  int ierr = 99;
  vel::IMPORT(rec, "shot.abm", recno, ierr, false, false);
  ASSERT_EQ(ierr, 0);
  EXPECT_EQ(rec.NTRACE, 24);
  EXPECT_EQ(rec.IFORMAT, vel::kFormatAbem);
  EXPECT_EQ(rec.CRECNAME.Trimmed(), "shot");
  EXPECT_EQ(vel::Trace(rec, 24)[999], AbemSample(24, 999));
  EXPECT_EQ(sup::UserMessageCount(), 0);
}

TEST_F(AbemReader, ProgressIsSetBeforeEachTraceAndTheAbortPollAfterItsBlock) {
  Write("shot.abm", Abem(24).Bytes());
  std::vector<std::string> events;
  sup::SetProgressHook(
      {.open = {}, .set = [&](int p) { events.push_back("P" + std::to_string(p)); }, .close = {}});
  sup::SetAbortPollHook([&] {
    events.push_back("A");
    return false;
  });
  ShotRecord rec;
  int ierr = 99;
  vel::ABEMIN(rec, "shot.abm", ierr, true);
  sup::SetProgressHook({});
  EXPECT_EQ(ierr, 0);
  std::vector<std::string> expected;
  for (int k = 1; k <= 24; ++k) {
    expected.push_back("P" + std::to_string(static_cast<int>(std::lround(100.0 * k / 24))));
    expected.push_back("A");
  }
  EXPECT_EQ(events, expected);
  EXPECT_EQ(events[4], "P13");  // 12.5 rounds up
}

TEST_F(AbemReader, WithoutTheOptionFlagNoBarMoves) {
  Write("shot.abm", Abem(3).Bytes());
  int sets = 0;
  sup::SetProgressHook({.open = {}, .set = [&](int) { ++sets; }, .close = {}});
  ShotRecord rec;
  int ierr = 99;
  vel::ABEMIN(rec, "shot.abm", ierr, false);
  sup::SetProgressHook({});
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(sets, 0);
}

TEST_F(AbemReader, APushButtonAbortsTheRead) {
  Write("shot.abm", Abem(24).Bytes());
  int polls = 0;
  sup::SetAbortPollHook([&] { return ++polls == 3; });
  ShotRecord rec = Loaded();
  const ShotRecord before = rec;
  std::int32_t recno = 0;
  int ierr = 0;
  vel::IMPORT(rec, "shot.abm", recno, ierr, false, false);
  EXPECT_EQ(ierr, -1);
  EXPECT_EQ(polls, 3);
  EXPECT_EQ(sup::UserMessageCount(), 0);
  EXPECT_EQ(rec.TRACES, before.TRACES);
  EXPECT_EQ(rec.CRECNAME, before.CRECNAME);
}

std::string Cut(std::string s, std::size_t n) {
  s.resize(n);
  return s;
}
std::string WithField(std::size_t pos, std::string_view text, int traces = 24) {
  Abem f(traces);
  f.At(pos, text);
  return f.Bytes();
}

TEST_F(AbemReader, HostileFilesAreRefusedAndLeaveTheRecord) {
  const std::string readErr = ReadError("bad.abm");
  const std::string formatErr = "ERROR! File " + Padded256("bad.abm") + " not in ABEM format.";
  const struct {
    const char* name;
    std::string bytes;
    std::string message;
  } cases[] = {
      {"header under 622", Cut(Abem(24).Bytes(), 621), readErr},
      {"header under 2048", Cut(Abem(24).Bytes(), 2047), readErr},
      {"one byte short of trace 24", Cut(Abem(24).Bytes(), 2048 * 25 - 1), readErr},
      {"wrong magic", WithField(1, "ABEX"), formatErr},
      {"lower-case magic", WithField(1, "abem"), formatErr},
      {"no traces", WithField(621, " 0"), formatErr},
      {"negative traces", WithField(621, "-5"), formatErr},
      {"blank trace count", WithField(621, "  "), formatErr},
      {"interval code 8", WithField(93, "8"), formatErr},
      {"interval code 9", WithField(93, "9"), formatErr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Write("bad.abm", c.bytes);
    sup::ClearUserMessages();
    ShotRecord fresh;
    int ierr = 0;
    vel::ABEMIN(fresh, "bad.abm", ierr, false);
    EXPECT_EQ(ierr, -1);
    EXPECT_EQ(sup::LastUserMessage().text, c.message);
    EXPECT_EQ(sup::UserMessageCount(), 1);
    if (vel::ISEISFT("bad.abm") != vel::kFormatAbem) continue;
    sup::ClearUserMessages();
    ShotRecord rec = Loaded();
    const ShotRecord before = rec;
    std::int32_t recno = 0;
    vel::IMPORT(rec, "bad.abm", recno, ierr, false, false);
    EXPECT_EQ(ierr, -1);
    EXPECT_EQ(sup::LastUserMessage().text, c.message);
    EXPECT_EQ(rec.TRACES, before.TRACES);
    EXPECT_EQ(rec.CRECNAME, before.CRECNAME);
    EXPECT_EQ(rec.NTRACE, before.NTRACE);
  }
}

TEST_F(AbemReader, MissingFileIsAReadFailure) {
  ShotRecord rec;
  int ierr = 0;
  vel::ABEMIN(rec, "none.abm", ierr, false);
  EXPECT_EQ(ierr, -1);
  EXPECT_EQ(sup::LastUserMessage().text, ReadError("none.abm"));
}

/// Marks PATH immutable (or clears the mark): no one, the superuser included,
/// may then open it for writing. False where the file system or the process
/// does not allow it.
bool SetImmutable(const char* path, bool on) {
  const int fd = open(path, O_RDONLY);
  if (fd < 0) return false;
  int flags = 0;
  bool ok = ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
  if (ok) {
    flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
    ok = ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
  }
  close(fd);
  return ok;
}

TEST_F(AbemReader, ReadOnlyFilesImport) {
  // All three readers open their file read-only: a file without write
  // permission (or one no one may write, where permissions do not bind the
  // superuser) imports.
  Write("ro.abm", Abem(2).Bytes());
  Write("ro.b1", instrument_fixtures::Bison1(2, 10).Bytes());
  Write("ro.b2", instrument_fixtures::Bison2('W', 2, 10).Bytes());
  const char* names[] = {"ro.abm", "ro.b1", "ro.b2"};
  bool immutable = false;
  for (const char* n : names) {
    std::filesystem::permissions(n, std::filesystem::perms::owner_read);
    if (geteuid() == 0) immutable = SetImmutable(n, true);
  }
  if (geteuid() == 0 && !immutable) GTEST_SKIP() << "no way to make a file unwritable here";
  for (const char* n : names) {
    SCOPED_TRACE(n);
    ShotRecord rec = Loaded();
    std::int32_t recno = 0;
    int ierr = 99;
    vel::IMPORT(rec, n, recno, ierr, false, false);
    EXPECT_EQ(ierr, 0);
    EXPECT_EQ(rec.NTRACE, 2);
  }
  if (immutable) {
    for (const char* n : names) EXPECT_TRUE(SetImmutable(n, false));
  }
}

}  // namespace
