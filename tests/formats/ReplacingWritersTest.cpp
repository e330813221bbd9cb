// Every writer of a user's file replaces it in one step: a write that fails
// part way (a full disk, a size limit) leaves the old file byte for byte and
// nothing beside it, and the user is told what happened.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "formats/AsciiOut.h"
#include "formats/Seg2Out.h"
#include "formats/SegyOut.h"
#include "formats/TraceFile.h"
#include "support/UserMessages.h"
#include "tests/TestSupport.h"

namespace vel {
namespace {

namespace fs = std::filesystem;
using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;

/// Files of this process may grow to BYTES only while the object lives: a
/// write past it fails as on a full disk (the signal it raises is ignored).
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &before_);
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    ::sigaction(SIGXFSZ, &ignore, &signalBefore_);
    rlimit limit = before_;
    limit.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &before_);
    ::sigaction(SIGXFSZ, &signalBefore_, nullptr);
  }

 private:
  rlimit before_{};
  struct sigaction signalBefore_ {};
};

ShotRecord Record(int traces, int samples) {
  ShotRecord rec;
  rec.CRECNAME = "FULL";
  rec.NTRACE = traces;
  rec.NSAMP = samples;
  rec.SAMPINT = 0.5f;
  EXPECT_TRUE(RebuildTraceArrays(rec));
  for (std::size_t i = 0; i < rec.TRACES.size(); ++i)
    rec.TRACES[i] = static_cast<float>(i % 101) - 50.0f;
  return rec;
}

struct Writer {
  const char* name;
  std::function<int(ShotRecord&, const std::string&)> write;  // IERR
};

std::vector<Writer> Writers() {
  return {
      {"SEG-2",
       [](ShotRecord& rec, const std::string& p) {
         int error = 0;
         SEG2OUT(rec, p, false, 3, false, 0, error);
         return error;
       }},
      {"SEG-Y",
       [](ShotRecord& rec, const std::string& p) {
         int error = 0;
         SegyOutOptions o;
         o.format = 5;
         SEGYOUT(rec, p, o, error);
         return error;
       }},
      {"ASCII",
       [](ShotRecord& rec, const std::string& p) {
         int error = 0;
         std::string name = p;
         AsciiExportOptions options{.ILABEL = 2, .LTIMES = true, .LPOSITS = true};
         ASCIIOUT(rec, 0, name, error, options);
         return error;
       }},
      {"trace file",
       [](ShotRecord& rec, const std::string& p) {
         std::vector<std::byte> bytes;
         EXPECT_TRUE(EncodeTraceFile(rec, {}, {}, bytes));
         int error = 0;
         WriteTraceFileBytes(p, bytes, error);
         return error;
       }},
  };
}

class ReplacingWritersTest : public ::testing::Test {
 protected:
  ReplacingWritersTest() {
    sup::SetUserMessageHook([this](sup::UserMessageKind, std::string_view, std::string_view t) {
      shown.emplace_back(t);
    });
  }
  ~ReplacingWritersTest() override { sup::SetUserMessageHook({}); }

  std::vector<std::string> Entries() const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir.path())) names.push_back(e.path().filename());
    return names;
  }

  TempDir dir;
  std::vector<std::string> shown;
};

TEST_F(ReplacingWritersTest, AWriteReplacesTheOldFileAndKeepsItsPermissions) {
  for (const Writer& w : Writers()) {
    SCOPED_TRACE(w.name);
    const fs::path p = dir / "out.dat";
    WriteFile(p, "old contents");
    ASSERT_EQ(::chmod(p.c_str(), 0640), 0);
    ShotRecord rec = Record(3, 50);
    EXPECT_EQ(w.write(rec, p.string()), 0);
    EXPECT_NE(ReadFile(p), "old contents");
    struct stat st {};
    ASSERT_EQ(::stat(p.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(Entries(), std::vector<std::string>{"out.dat"});
    fs::remove(p);
  }
}

TEST_F(ReplacingWritersTest, AWriteThatFailsPartWayKeepsTheOldFileAndLeavesNothingBeside) {
  for (const Writer& w : Writers()) {
    SCOPED_TRACE(w.name);
    const fs::path p = dir / "out.dat";
    const std::string old = "the file as it was\r\n";
    WriteFile(p, old);
    ShotRecord rec = Record(12, 400);  // far more than the limit lets through
    shown.clear();
    int error = 0;
    {
      const FileSizeLimit limit(1000);
      error = w.write(rec, p.string());
    }
    EXPECT_NE(error, 0);
    EXPECT_FALSE(shown.empty());
    EXPECT_EQ(ReadFile(p), old);
    EXPECT_EQ(Entries(), std::vector<std::string>{"out.dat"});
    // A new file that cannot be written whole is not made at all.
    fs::remove(p);
    {
      const FileSizeLimit limit(1000);
      error = w.write(rec, p.string());
    }
    EXPECT_NE(error, 0);
    EXPECT_TRUE(Entries().empty());
  }
}

// Through a link to a device that is always full: the user reads the
// system's own words, after the writer's.
TEST_F(ReplacingWritersTest, AFullDiskIsCalledAFullDisk) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  std::vector<Writer> writers = Writers();
  writers.pop_back();  // the trace file replaces the link itself: below
  for (const Writer& w : writers) {
    SCOPED_TRACE(w.name);
    const fs::path p = dir / "full.dat";
    fs::create_symlink("/dev/full", p);
    ShotRecord rec = Record(3, 50);
    shown.clear();
    EXPECT_NE(w.write(rec, p.string()), 0);
    std::string all;
    for (const std::string& s : shown) all += s + "\n";
    EXPECT_NE(all.find(p.string() + ": No space left on device"), std::string::npos) << all;
    fs::remove(p);
  }
  // The trace file's own message names the system's reason, not a status of 0.
  const fs::path p = dir / "limited.trx";
  ShotRecord rec = Record(12, 400);
  shown.clear();
  {
    const FileSizeLimit limit(1000);
    EXPECT_NE(Writers().back().write(rec, p.string()), 0);
  }
  ASSERT_FALSE(shown.empty());
  EXPECT_EQ(shown.back().rfind("WRITE ERROR AT BYTE ", 0), 0u) << shown.back();
  EXPECT_NE(shown.back().find("File too large"), std::string::npos) << shown.back();
  EXPECT_EQ(shown.back().find("Be sure"), std::string::npos) << shown.back();
}

}  // namespace
}  // namespace vel
