#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <thread>

#include "platform/system/Environment.h"
#include "tests/ScopedEnv.h"
#include "tests/TestSupport.h"
#include "toolkit/core/AbnormalExit.h"
#include "toolkit/core/Errors.h"
#include "toolkit/core/OsServices.h"

namespace {

using testing_support::ReadFile;
using testing_support::ScopedCurrentDir;
using testing_support::ScopedEnv;
using testing_support::TempDir;
using testing_support::WriteFile;

class OsServicesTest : public ::testing::Test {
 protected:
  void SetUp() override { tk::ResetErrorState(); }
  void TearDown() override {
    tk::SetCommandLineForTesting({});
    tk::ResetErrorState();
  }
};

std::string Padded(std::string text, std::size_t size) {
  text.resize(size, ' ');
  return text;
}

// ---------------------------------------------------------------------------
// Command line

TEST_F(OsServicesTest, CommandLineArguments) {
  tk::SetCommandLineForTesting("C:/prog.exe a \"b c\" \"\" d");
  std::string text(8, '?');
  struct Case {
    int n;
    const char* expected;
  };
  const Case cases[] = {{1, "a"}, {2, "b c"}, {3, "d"}, {4, ""}, {-1, ""}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.n);
    tk::IOsCommandArg(c.n, text);
    EXPECT_EQ(text, Padded(c.expected, 8));
  }
  EXPECT_EQ(tk::IOsSystemQuery(2), 3);
  std::string program(4096, ' ');
  tk::IOsCommandArg(0, program);
  EXPECT_EQ(program.substr(0, program.find_last_not_of(' ') + 1), plat::ExecutablePath());
}

TEST_F(OsServicesTest, CommandLineQuotesAndLength) {
  struct Case {
    std::string line;
    int count;
    const char* last;  // the last argument
  };
  const Case cases[] = {
      {"p", 0, "p"},
      {"p \"open quote runs on", 1, "open quote runs on"},
      {"p \"\"x y", 1, "y"},  // one character after a closing quote is skipped
      {"p a \"", 1, "a"},     // a quote with nothing after it
      {"p " + std::string(1030, 'z') + " q", 1, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line.substr(0, 40));
    tk::SetCommandLineForTesting(c.line);
    EXPECT_EQ(tk::IOsSystemQuery(2), c.count);
    if (c.count > 0 && *c.last != '\0') {
      std::string text(30, ' ');
      tk::IOsCommandArg(c.count, text);
      EXPECT_EQ(text, Padded(c.last, 30));
    }
  }
  std::string text(2000, ' ');
  tk::IOsCommandArg(1, text);
  EXPECT_EQ(text.find_last_not_of(' ') + 1, 1022u);  // cut at character 1024
}

// ---------------------------------------------------------------------------
// Directories and files

TEST_F(OsServicesTest, DirectoryNameAndChange) {
  TempDir dir;
  ScopedCurrentDir keep(std::filesystem::current_path());
  tk::IOsDirChange(Padded(dir.path().string(), 300));
  EXPECT_EQ(tk::WErrorStatusQuery(1), 0);
  const std::string real = std::filesystem::canonical(dir.path()).string();
  std::string name(400, '?');
  tk::IOsDirName(name);
  EXPECT_EQ(name, Padded(real, 400));
  std::string small(real.size() - 1, '?');
  tk::IOsDirName(small);
  EXPECT_EQ(small, std::string(real.size() - 1, ' '));
  EXPECT_EQ(tk::WErrorStatusQuery(1), 1023);
  tk::IOsDirChange((dir / "missing").string());
  EXPECT_EQ(tk::WErrorStatusQuery(1), tk::kErrOperatingSystem);
  EXPECT_EQ(tk::WErrorStatusQuery(3), ENOENT);
}

TEST_F(OsServicesTest, FileDetails) {
  TempDir dir;
  WriteFile(dir / "b.dat", std::string(1025, 'x'));
  WriteFile(dir / "a.dat", std::string(1024, 'x'));
  std::int64_t info[9] = {};
  tk::IOsFileDetails((dir / "b.dat").string() + "   ", info, 9);
  EXPECT_EQ(info[0], 1025);
  EXPECT_GE(info[1], 2020);
  EXPECT_EQ(info[7], tk::kAttrNormal);
  EXPECT_EQ(info[8], 2);  // kilobytes rounded up
  tk::IOsFileDetails((dir / "*.dat").string(), info, 9);
  EXPECT_EQ(info[0], 1024);  // the first match
  EXPECT_EQ(info[8], 1);
  tk::IOsFileDetails(dir.path().string(), info, 8);
  EXPECT_EQ(info[7] & tk::kAttrDirectory, tk::kAttrDirectory);
  std::int64_t one[3] = {7, 7, 7};
  tk::IOsFileDetails((dir / "missing").string(), one, 0);  // count below 1 taken as 1
  EXPECT_EQ(one[0], -1);
  EXPECT_EQ(one[1], 7);
  tk::IOsFileDetails("   ", one, 1);
  EXPECT_EQ(one[0], -1);
  EXPECT_EQ(tk::WErrorStatusQuery(1), 0);  // nothing reported
}

TEST_F(OsServicesTest, ThirtyTwoBitSizesRefuseLargeFiles) {
  TempDir dir;
  const std::string big = (dir / "big").string();
  const int fd = open(big.c_str(), O_WRONLY | O_CREAT, 0600);
  ASSERT_GE(fd, 0);
  const bool sparse = ftruncate(fd, std::int64_t{3} << 30) == 0;  // 3 GiB, no blocks written
  close(fd);
  if (!sparse) GTEST_SKIP() << "no sparse files here";
  std::int64_t wide[9] = {};
  tk::IOsFileDetails(big, wide, 9);
  EXPECT_EQ(wide[0], std::int64_t{3} << 30);
  EXPECT_EQ(tk::WErrorStatusQuery(1), 0);
  std::int32_t narrow[9] = {};
  tk::IOsFileDetails(big, narrow, 9);
  EXPECT_EQ(narrow[0], -1);
  EXPECT_EQ(narrow[8], 3 * 1024 * 1024);  // kilobytes still fit
  EXPECT_EQ(tk::WErrorStatusQuery(1), tk::kErrOperatingSystem);
  EXPECT_EQ(tk::WErrorStatusQuery(3), EOVERFLOW);
  WriteFile(dir / "small", "12345");
  tk::IOsFileDetails((dir / "small").string(), narrow, 1);
  EXPECT_EQ(narrow[0], 5);
  EXPECT_EQ(tk::WErrorStatusQuery(1), 0);
}

TEST_F(OsServicesTest, DeletePatternSkipsFolders) {
  TempDir dir;
  WriteFile(dir / "one.tmp", "");
  WriteFile(dir / "two.tmp", "");
  WriteFile(dir / "keep.txt", "");
  std::filesystem::create_directory(dir / "folder.tmp");
  tk::IOsDeleteFile((dir / "*.tmp").string());
  EXPECT_EQ(tk::WErrorStatusQuery(1), 0);
  EXPECT_FALSE(std::filesystem::exists(dir / "one.tmp"));
  EXPECT_FALSE(std::filesystem::exists(dir / "two.tmp"));
  EXPECT_TRUE(std::filesystem::exists(dir / "keep.txt"));
  EXPECT_TRUE(std::filesystem::is_directory(dir / "folder.tmp"));
  tk::IOsDeleteFile((dir / "*.tmp").string());  // no match left
  EXPECT_EQ(tk::WErrorStatusQuery(1), tk::kErrOperatingSystem);
  EXPECT_EQ(tk::WErrorStatusQuery(3), ENOENT);
  tk::IOsDeleteFile("    ");
  EXPECT_EQ(tk::WErrorStatusQuery(1), 0);
}

TEST_F(OsServicesTest, RenameNeverReplaces) {
  TempDir dir;
  WriteFile(dir / "a", "A");
  WriteFile(dir / "b", "B");
  tk::IOsRenameFile((dir / "a").string(), (dir / "b").string());
  EXPECT_EQ(tk::WErrorStatusQuery(1), tk::kErrOperatingSystem);
  EXPECT_EQ(tk::WErrorStatusQuery(3), EEXIST);
  EXPECT_EQ(ReadFile(dir / "a"), "A");
  EXPECT_EQ(ReadFile(dir / "b"), "B");
  tk::IOsRenameFile((dir / "a").string(), (dir / "c").string());
  EXPECT_EQ(ReadFile(dir / "c"), "A");
  EXPECT_FALSE(std::filesystem::exists(dir / "a"));
}

TEST_F(OsServicesTest, CopySingleAndWildCard) {
  TempDir dir;
  ScopedCurrentDir in(dir.path());
  WriteFile(dir / "a.dat", "alpha");
  WriteFile(dir / "b.dat", "beta");
  std::filesystem::create_directory(dir / "out");
  std::filesystem::create_directory(dir / "sub.dat");

  tk::IOsCopyFile("a.dat", "a.dat");
  EXPECT_EQ(tk::WErrorStatusQuery(1), 55);
  tk::IOsCopyFile("a.dat", "   ");  // a blank target is the source's own name
  EXPECT_EQ(tk::WErrorStatusQuery(1), 55);
  tk::IOsCopyFile("a.dat", "./a.dat");  // the same file by another name
  EXPECT_EQ(tk::WErrorStatusQuery(1), 55);
  EXPECT_EQ(ReadFile(dir / "a.dat"), "alpha");

  tk::IOsCopyFile("a.dat", "out/");
  EXPECT_EQ(ReadFile(dir / "out/a.dat"), "alpha");
  tk::IOsCopyFile("b.dat", "out/a.dat");  // replaces
  EXPECT_EQ(ReadFile(dir / "out/a.dat"), "beta");
  EXPECT_EQ(tk::WErrorStatusQuery(1), 0);

  std::filesystem::create_directory(dir / "all");
  tk::IOsCopyFile("*.dat", "all");  // a folder without the final "/"
  EXPECT_EQ(tk::WErrorStatusQuery(1), 0);
  EXPECT_EQ(ReadFile(dir / "all/a.dat"), "alpha");
  EXPECT_EQ(ReadFile(dir / "all/b.dat"), "beta");
  EXPECT_FALSE(std::filesystem::exists(dir / "all/sub.dat"));

  tk::IOsCopyFile("missing.dat", "out/");
  EXPECT_EQ(tk::WErrorStatusQuery(1), tk::kErrOperatingSystem);
  EXPECT_EQ(tk::WErrorStatusQuery(3), ENOENT);
}

TEST_F(OsServicesTest, SplitFolderAndName) {
  struct Case {
    const char* path;
    const char* folder;
    const char* name;
  };
  const Case cases[] = {
      {"  /data/shot.sg2", "/data/", "shot.sg2"},
      {"shot.sg2", "", "shot.sg2"},
      {"/data/sub/", "/data/sub", ""},
      {"/", "/", ""},
      {"/data/..", "/data/..", ""},
      {"C:\\data\\shot.sg2", "C:\\data\\", "shot.sg2"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    std::string path = Padded(c.path, 30), name(12, '?');
    tk::SplitFolderAndName(path, name);
    EXPECT_EQ(path, Padded(c.folder, 30));
    EXPECT_EQ(name, Padded(c.name, 12));
  }
}

TEST_F(OsServicesTest, FullPathname) {
  TempDir dir;
  ScopedCurrentDir in(dir.path());
  std::string full(300, '?');
  tk::IOsFullPathname("  sub/../help.hlp  ", full);
  EXPECT_EQ(full, Padded((std::filesystem::current_path() / "help.hlp").string(), 300));
  tk::IOsFullPathname("   ", full);
  EXPECT_EQ(full, std::string(300, ' '));
  EXPECT_EQ(tk::WErrorStatusQuery(1), tk::kErrOperatingSystem);
}

// ---------------------------------------------------------------------------
// System queries

TEST_F(OsServicesTest, SystemQueries) {
  EXPECT_EQ(tk::IOsSystemQuery(1), 6);
  EXPECT_GT(tk::IOsSystemQuery(3), 200);  // a 2.x kernel or later
  EXPECT_EQ(tk::IOsSystemQuery(4), '*');
  EXPECT_EQ(tk::IOsSystemQuery(5), '?');
  EXPECT_EQ(tk::IOsSystemQuery(6), '/');
  for (int item : {7, 10, 11, 12, 19, 68, 90, 165, 190})
    EXPECT_EQ(tk::IOsSystemQuery(item), 0) << item;
  for (int item : {8, 13, 14, 18}) EXPECT_EQ(tk::IOsSystemQuery(item), 1) << item;
  EXPECT_GE(tk::IOsSystemQuery(15), 0);
  EXPECT_EQ(tk::IOsSystemQuery(16), 4);
  EXPECT_EQ(tk::IOsSystemQuery(20), '.');
  const int freeBytes = tk::IOsSystemQuery(17);
  EXPECT_GE(freeBytes, 0);
  EXPECT_LE(freeBytes, 0x7FFB0000);
  if (tk::IOsSystemQuery(21) >= 2048) {
    EXPECT_EQ(freeBytes, 0x7FFB0000);
  }
  const int type = tk::IOsSystemQuery(67);  // "C": the current directory's file system
  EXPECT_GE(type, 1);
  EXPECT_LE(type, 5);
  {
    ScopedCurrentDir root("/");
    EXPECT_EQ(tk::IOsSystemQuery(9), 1);
  }
  TempDir dir;
  ScopedCurrentDir below(dir.path());
  EXPECT_EQ(tk::IOsSystemQuery(9), 0);
}

TEST_F(OsServicesTest, TodayAndMessages) {
  int y = 0, m = 0, d = 0;
  tk::IOsToday(y, m, d);
  EXPECT_GE(y, 2024);
  EXPECT_GE(m, 1);
  EXPECT_LE(m, 12);
  EXPECT_GE(d, 1);
  std::string text = "kept";
  tk::OsSystemMessage(0, text, 50);
  EXPECT_EQ(text, "kept");
  tk::OsSystemMessage(ENOENT, text, 9);
  EXPECT_EQ(text, "No such f");
  int system = 0;
  tk::LocaleMeasureSystem(system);
  EXPECT_EQ(system, 2);
}

// ---------------------------------------------------------------------------
// Programs

TEST_F(OsServicesTest, RunProgramStatus) {
  int status = 0;
  tk::OsRunProgram("/bin/sh -c \"exit 7\"", 1, 1, 10, status);
  EXPECT_EQ(status, 32);  // ended, whatever its exit code
  tk::OsRunProgram("true", 0, 1, -1, status);
  EXPECT_EQ(status, 32);
  tk::OsRunProgram("velloran-no-such-program-xyz", 0, 1, 5, status);
  EXPECT_EQ(status, ENOENT);
  tk::OsRunProgram("   ", 0, 1, 5, status);
  EXPECT_EQ(status, ENOENT);
  tk::OsRunProgram("true", 0, 0, 0, status);
  EXPECT_EQ(status, 32);  // started, not waited for
}

TEST_F(OsServicesTest, RunProgramTimesOut) {
  TempDir dir;
  const std::string pidFile = (dir / "pid").string();
  int status = 0;
  tk::OsRunProgram("/bin/sh -c \"echo $$ > '" + pidFile + "'; exec sleep 30\"", 0, 1, 1, status);
  EXPECT_EQ(status, -1);
  const pid_t pid = static_cast<pid_t>(std::stol(ReadFile(pidFile)));
  EXPECT_EQ(kill(pid, 0), 0);  // still running
  kill(pid, SIGKILL);
  for (int i = 0; i < 200 && kill(pid, 0) == 0; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_NE(kill(pid, 0), 0);  // ended and reaped
}

TEST_F(OsServicesTest, ExecuteEndsTheProcess) {
  std::vector<int> codes;
  std::string shown;
  int shutdowns = 0;
  tk::SetAbnormalExitHooks([&](const std::string&, const std::string& text) { shown = text; },
                           [&](int code) { codes.push_back(code); });
  tk::SetWindowShutdownHook([&] { ++shutdowns; });
  tk::IOsExecute("   ");
  EXPECT_EQ(tk::WErrorStatusQuery(1), 23);
  EXPECT_TRUE(codes.empty());
  tk::IOsExecute("velloran-no-such-program-xyz");
  tk::IOsExecute("true");
  EXPECT_EQ(codes, (std::vector<int>{2, 0}));
  EXPECT_EQ(shown, "Abnormal exit (code 2) : Failed to execute program");
  EXPECT_EQ(shutdowns, 2);
  tk::SetAbnormalExitHooks(nullptr, nullptr);
  tk::SetWindowShutdownHook(nullptr);
}

// ---------------------------------------------------------------------------
// Registry

class OsRegistryTest : public OsServicesTest {
 protected:
  TempDir config_;
  ScopedEnv xdg_{"XDG_CONFIG_HOME", config_.path().string()};
};

constexpr const char* kKey = "HKEY_CURRENT_USER\\Software\\Velloran Test";

TEST_F(OsRegistryTest, TextValuesRoundTrip) {
  tk::IOsRegistryPut(kKey, tk::kRegText, "C:/data/shots    ", "LastDir");
  EXPECT_EQ(tk::WErrorStatusQuery(1), 0);
  std::string data(20, '?');
  int type = 0, length = 0;
  tk::IOsRegistryGet("hkey_current_user\\Software\\Velloran Test", &data, "LastDir", type, length);
  EXPECT_EQ(type, tk::kRegText);
  EXPECT_EQ(length, 13);
  EXPECT_EQ(data, Padded("C:/data/shots", 20));
  tk::IOsRegistryGet(kKey, nullptr, "LastDir", type, length);
  EXPECT_EQ(type, tk::kRegText);
  EXPECT_EQ(length, 13);
  std::string small(5, '?');
  tk::IOsRegistryGet(kKey, &small, "LastDir", type, length);
  EXPECT_EQ(small, "C:/da");
  EXPECT_EQ(tk::WErrorStatusQuery(1), 1023);
  tk::IOsRegistryPut(kKey, tk::kRegText, "default value");
  tk::IOsRegistryGet(kKey, &data, "", type, length);
  EXPECT_EQ(data, Padded("default value", 20));
}

TEST_F(OsRegistryTest, MissingKeysValuesAndHives) {
  std::string data(10, '?');
  int type = 0, length = 5;
  tk::IOsRegistryGet("HKEY_CURRENT_USER\\Nothing", &data, "x", type, length);
  EXPECT_EQ(type, -1);
  EXPECT_EQ(length, 0);
  EXPECT_EQ(data, std::string(10, ' '));
  EXPECT_EQ(tk::WErrorStatusQuery(1), 0);
  tk::IOsRegistryPut(kKey, tk::kRegInteger, std::string("\x2a\0\0\0", 4), "Count");
  tk::IOsRegistryGet(kKey, &data, "Other", type, length);
  EXPECT_EQ(type, -2);
  EXPECT_EQ(length, 0);
  tk::IOsRegistryGet(kKey, &data, "Count", type, length);
  EXPECT_EQ(type, tk::kRegInteger);
  EXPECT_EQ(length, 4);
  EXPECT_EQ(data.substr(0, 4), std::string("\x2a\0\0\0", 4));
  for (const char* bad : {"HKEY_NOWHERE\\X", "HKEY_CURRENT_USER", "  "}) {
    SCOPED_TRACE(bad);
    tk::IOsRegistryGet(bad, &data, "x", type, length);
    EXPECT_EQ(type, -1);
    EXPECT_EQ(tk::WErrorStatusQuery(1), 1050);
    tk::IOsRegistryPut(bad, tk::kRegText, "x", "x");
    EXPECT_EQ(tk::WErrorStatusQuery(1), 1050);
  }
}

TEST_F(OsRegistryTest, UnwritableFolderIsReported) {
  WriteFile(config_ / "velloran", "a file where the folder should be");
  tk::IOsRegistryPut(kKey, tk::kRegText, "x", "x");
  EXPECT_EQ(tk::WErrorStatusQuery(1), tk::kErrOperatingSystem);
  EXPECT_NE(tk::WErrorStatusQuery(3), 0);
}

// Run as a second process by ValuesSurviveIntoTheNextRun.
TEST(OsRegistryChild, WritesValue) {
  if (std::getenv("VELLORAN_REGISTRY_CHILD") == nullptr)
    GTEST_SKIP() << "run by ValuesSurviveIntoTheNextRun";
  tk::IOsRegistryPut(kKey, tk::kRegText, "written by another run", "Child");
}

TEST_F(OsRegistryTest, ValuesSurviveIntoTheNextRun) {
  ScopedEnv child("VELLORAN_REGISTRY_CHILD", "1");
  // The child runs its one test whole, and writes no result over this run's.
  ScopedEnv shards("GTEST_TOTAL_SHARDS", std::nullopt), index("GTEST_SHARD_INDEX", std::nullopt),
      filter("GTEST_FILTER", std::nullopt), output("GTEST_OUTPUT", std::nullopt);
  int status = 0;
  tk::OsRunProgram("\"" + plat::ExecutablePath() + "\" --gtest_filter=OsRegistryChild.WritesValue",
                   1, 1, 60, status);
  ASSERT_EQ(status, 32);
  std::string data(30, ' ');
  int type = 0, length = 0;
  tk::IOsRegistryGet(kKey, &data, "Child", type, length);
  EXPECT_EQ(type, tk::kRegText);
  EXPECT_EQ(data, Padded("written by another run", 30));
}

}  // namespace
