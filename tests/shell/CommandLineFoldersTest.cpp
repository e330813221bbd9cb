// The command line run as a user types it: names are taken from the folder
// the command was typed in, whether or not a settings file has moved the
// program to its last folder; an input folder that cannot be entered, or a
// read that needs an answer nobody can give without a display, ends the run
// with a message saying why and status 1.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "formats/Seg2Out.h"
#include "tests/TestSupport.h"
#include "tests/XvfbSupport.h"
#include "tools/sample/SampleShot.h"

namespace {

namespace fs = std::filesystem;

struct Outcome {
  int status = -1;
  std::string errors;  // standard error
};

/// The program copied into BIN (so its settings file sits beside it there),
/// run in FOLDER with ARGS and no display.
Outcome RunIn(const fs::path& bin, const fs::path& folder, const std::vector<std::string>& args) {
  std::vector<std::string> argv = {(bin / "velloran").string()};
  argv.insert(argv.end(), args.begin(), args.end());
  const fs::path errors = bin / "stderr.txt";
  testing_support::Child child;
  Outcome out;
  if (!child.Start(argv,
                   {"DISPLAY", "VELLORAN_HEADLESS=1", "HOME=" + bin.string(), "XDG_CONFIG_HOME"},
                   folder.string(), errors.string()))
    return out;
  out.status = child.Wait(60000).value_or(-1);
  out.errors = testing_support::ReadFile(errors);
  return out;
}

/// A SEG-Y file of big-endian IEEE samples: TRACES traces of 10 samples,
/// the binary header giving PER_RECORD traces a record (0: none given).
std::string Segy(int perRecord, int traces) {
  std::string b(3200, ' ');
  std::string bin(400, '\0');
  const auto put16 = [](std::string& s, std::size_t at, int v) {
    s[at] = static_cast<char>((v >> 8) & 0xFF);
    s[at + 1] = static_cast<char>(v & 0xFF);
  };
  put16(bin, 12, perRecord);
  put16(bin, 16, 1000);  // sample interval, microseconds
  put16(bin, 20, 10);    // samples a trace
  put16(bin, 24, 5);     // IEEE floats
  put16(bin, 300, 0x0100);
  b += bin;
  for (int t = 0; t < traces; ++t) {
    std::string h(240, '\0');
    put16(h, 114, 10);
    put16(h, 116, 1000);
    b += h + std::string(40, '\0');
  }
  return b;
}

class CommandLineFolders : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    fs::create_directories(bin_);
    fs::create_directories(typed_);
    fs::create_directories(last_);
    fs::copy_file(VELLORAN_EXE, bin_ / "velloran");
    fs::permissions(bin_ / "velloran", fs::perms::owner_all);
    // A settings file that sends the program to another folder at start-up.
    if (GetParam())
      testing_support::WriteFile(bin_ / "velloran.ini",
                                 "[Directories]\r\nLastDir=" + last_.string() + "\r\n");
    std::string why;
    ASSERT_TRUE(sample_shot::Write((typed_ / "shot.sg2").string(), why)) << why;
  }

  testing_support::TempDir dir_;
  const fs::path bin_ = dir_ / "bin";
  const fs::path typed_ = dir_ / "typed";  // where the user types the command
  const fs::path last_ = dir_ / "last";    // the settings' last folder
};

TEST_P(CommandLineFolders, RelativeNamesComeFromTheFolderTheCommandWasTypedIn) {
  const Outcome run = RunIn(bin_, typed_, {"shot.sg2", "ASCII", "shot.txt"});
  EXPECT_EQ(run.status, 0) << run.errors;
  EXPECT_TRUE(fs::exists(typed_ / "shot.txt"));
  EXPECT_FALSE(fs::exists(last_ / "shot.txt"));

  // A relative name with a folder in it, from a folder beside the input's.
  fs::create_directories(dir_ / "other");
  const Outcome beside = RunIn(bin_, dir_ / "other", {"../typed/shot.sg2", "ASCII", "b.txt"});
  EXPECT_EQ(beside.status, 0) << beside.errors;
  EXPECT_TRUE(fs::exists(dir_ / "other/b.txt"));
}

TEST_P(CommandLineFolders, AnInputFolderThatCannotBeEnteredEndsTheRun) {
  // A file of the same name where the command is typed must not be read instead.
  fs::copy_file(typed_ / "shot.sg2", typed_ / "102.dat");
  const Outcome run = RunIn(bin_, typed_, {"/no/such/dir/102.dat", "ASCII", "out.txt"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.errors.find("/no/such/dir"), std::string::npos) << run.errors;
  EXPECT_FALSE(fs::exists(typed_ / "out.txt"));
}

TEST_P(CommandLineFolders, AReadThatNeedsAnAnswerSaysWhichAndEnds) {
  struct Case {
    const char* name;
    std::string file;
    const char* question;
  };
  const Case cases[] = {
      {"several records", Segy(2, 6), "Record sequence number to read"},
      {"no trace count", Segy(0, 3), "NUMBER OF TRACES MUST BE POSITIVE"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    testing_support::WriteFile(typed_ / "in.sgy", c.file);
    const Outcome run = RunIn(bin_, typed_, {"in.sgy", "ASCII", "in.txt"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.errors.find(c.question), std::string::npos) << run.errors;
    EXPECT_EQ(run.errors.find("needs a display"), std::string::npos) << run.errors;
    EXPECT_FALSE(fs::exists(typed_ / "in.txt"));
  }
}

INSTANTIATE_TEST_SUITE_P(SettingsFile, CommandLineFolders, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Present" : "Absent"; });

}  // namespace
