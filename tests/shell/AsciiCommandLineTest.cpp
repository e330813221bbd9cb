// The command line's "ASCII" conversion, run as the real program without a
// display: it reads the record, writes the table, and its exit status says
// whether the table was written.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "formats/AsciiIn.h"
#include "formats/Seg2In.h"
#include "formats/Seg2Out.h"
#include "support/UserMessages.h"
#include "tests/TestSupport.h"
#include "tests/XvfbSupport.h"

namespace {

using namespace vel;
namespace fs = std::filesystem;

// Runs the program headless with ARGS; its exit status (-1 when it had to be
// stopped or killed).
int RunProgram(const std::vector<std::string>& args, const fs::path& home) {
  std::vector<std::string> argv = {VELLORAN_EXE};
  argv.insert(argv.end(), args.begin(), args.end());
  testing_support::Child child;
  if (!child.Start(argv, {"DISPLAY", "VELLORAN_HEADLESS=1", "HOME=" + home.string(),
                          "XDG_CONFIG_HOME=" + (home / "config").string()}))
    return -1;
  const std::optional<int> status = child.Wait(60000);
  return status.value_or(-1);
}

class QuietMessages {
 public:
  QuietMessages() {
    sup::SetUserMessageHook([](sup::UserMessageKind, std::string_view, std::string_view) {});
  }
  ~QuietMessages() { sup::SetUserMessageHook({}); }
};

// A small SEG-2 record written by the program's own writer.
fs::path MakeSeg2(const fs::path& dir) {
  ShotRecord rec;
  rec.NTRACE = 6;
  rec.NSAMP = 50;
  rec.SAMPINT = 0.5f;
  EXPECT_TRUE(RebuildTraceArrays(rec));
  for (std::size_t i = 0; i < rec.TRACES.size(); ++i)
    rec.TRACES[i] = 1000.0f * std::sin(0.37f * static_cast<float>(i));
  for (std::size_t j = 0; j < 6; ++j) rec.GEOLOC[j] = 2.0f * static_cast<float>(j);
  const fs::path path = dir / "shot.sg2";
  int error = 0;
  SEG2OUT(rec, path.string(), false, 1, false, 0, error);
  EXPECT_EQ(error, 0);
  return path;
}

// Reads the table the conversion wrote (a label row, then the samples) and
// compares it with the SEG-2 record.
void ExpectTableOf(const fs::path& seg2, const fs::path& table) {
  ShotRecord want;
  int error = 0;
  SEG2IN(want, seg2.string(), error, false);
  ASSERT_EQ(error, 0);
  const std::string text = testing_support::ReadFile(table);
  ASSERT_FALSE(text.empty());
  EXPECT_EQ(text.substr(0, 10), "TRACE    1");  // labels as they are, no settings file
  AsciiColumnLayout layout;
  layout.NTRIN = want.NTRACE;
  layout.NSIN = want.NSAMP;
  layout.TSTEP = want.SAMPINT;
  ShotRecord got;
  ReadAsciiTable(got, table.string(), layout, error);
  ASSERT_EQ(error, 0);
  ASSERT_EQ(got.NSAMP, want.NSAMP);
  ASSERT_EQ(got.TRACES.size(), want.TRACES.size());
  for (std::size_t i = 0; i < got.TRACES.size(); ++i)
    ASSERT_NEAR(got.TRACES[i], want.TRACES[i], 5e-6 * std::fabs(want.TRACES[i])) << i;
}

TEST(AsciiCommandLine, ConvertsATestMadeSeg2) {
  QuietMessages quiet;
  testing_support::TempDir dir;
  const fs::path seg2 = MakeSeg2(dir.path());
  const fs::path out = dir / "rec.txt";
  EXPECT_EQ(RunProgram({seg2.string(), "ASCII", out.string()}, dir.path()), 0);
  ExpectTableOf(seg2, out);

  // Lower case keyword, no output name: the input's name with ".TXT", beside it.
  EXPECT_EQ(RunProgram({seg2.string(), "toascii"}, dir.path()), 0);
  ExpectTableOf(seg2, dir / "shot.TXT");
}

TEST(AsciiCommandLine, ConvertsAPublicSeg2) {
  SKIP_WITHOUT_SHARED_DATA();
  const fs::path seg2 = testing_support::SharedData() / "pyrefra/Rec_00001.seg2";
  if (!fs::exists(seg2)) GTEST_SKIP() << seg2 << " absent";
  QuietMessages quiet;
  testing_support::TempDir dir;
  const fs::path out = dir / "rec.txt";
  EXPECT_EQ(RunProgram({seg2.string(), "ASCII", out.string()}, dir.path()), 0);
  ExpectTableOf(seg2, out);
}

TEST(AsciiCommandLine, FailuresEndWithANonZeroStatus) {
  QuietMessages quiet;
  testing_support::TempDir dir;
  const fs::path seg2 = MakeSeg2(dir.path());
  testing_support::WriteFile(dir / "junk.sg2", "not a shot record at all");
  struct Case {
    const char* name;
    std::vector<std::string> args;
  };
  const Case cases[] = {
      {"input missing", {(dir / "none.sg2").string(), "ASCII", (dir / "a.txt").string()}},
      {"input unreadable", {(dir / "junk.sg2").string(), "ASCII", (dir / "b.txt").string()}},
      {"output folder missing", {seg2.string(), "ASCII", (dir / "no/c.txt").string()}},
      {"output a folder", {seg2.string(), "ASCII", dir.path().string()}},
      {"output device full", {seg2.string(), "ASCII", "/dev/full"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const int status = RunProgram(c.args, dir.path());
    EXPECT_GT(status, 0);
  }
  EXPECT_FALSE(fs::exists(dir / "a.txt"));
  EXPECT_FALSE(fs::exists(dir / "b.txt"));
}

}  // namespace
