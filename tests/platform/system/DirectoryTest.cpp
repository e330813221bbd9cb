#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>

#include "platform/system/Directory.h"
#include "tests/TestSupport.h"

namespace {

using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;

TEST(Directory, DetailsOfFileAndFolder) {
  TempDir dir;
  WriteFile(dir / "a.txt", std::string(1500, 'x'));
  plat::FileDetails d;
  ASSERT_EQ(plat::QueryFileDetails((dir / "a.txt").string(), d), 0);
  EXPECT_EQ(d.size, 1500);
  EXPECT_FALSE(d.directory);
  EXPECT_GE(d.year, 2020);
  EXPECT_GE(d.month, 1);
  ASSERT_EQ(plat::QueryFileDetails(dir.path().string(), d), 0);
  EXPECT_TRUE(d.directory);
  EXPECT_EQ(plat::QueryFileDetails((dir / "missing").string(), d), ENOENT);
}

TEST(Directory, ListsSortedWithoutDots) {
  TempDir dir;
  WriteFile(dir / "b", "");
  WriteFile(dir / "a", "");
  std::vector<std::string> names;
  ASSERT_EQ(plat::ListDirectory(dir.path().string(), names), 0);
  EXPECT_EQ(names, (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(plat::ListDirectory((dir / "none").string(), names), ENOENT);
}

TEST(Directory, WildcardMatching) {
  struct Case {
    const char* pattern;
    const char* name;
    bool match;
  };
  const Case cases[] = {{"*.txt", "a.txt", true},   {"*.txt", "a.dat", false},
                        {"?.txt", "ab.txt", false}, {"a[1].*", "a[1].x", true},
                        {"*", ".hidden", false},    {"a\\b", "a\\b", true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.pattern) + " " + c.name);
    EXPECT_EQ(plat::WildcardMatch(c.pattern, c.name), c.match);
  }
}

TEST(Directory, CopyReplacesAndRenameRefusesToReplace) {
  TempDir dir;
  const std::string a = (dir / "a").string(), b = (dir / "b").string(), c = (dir / "c").string();
  WriteFile(a, "alpha");
  WriteFile(b, "beta-old-and-longer");
  ASSERT_EQ(plat::CopyFileReplacing(a, b), 0);
  EXPECT_EQ(ReadFile(b), "alpha");
  EXPECT_EQ(plat::RenameNoReplace(a, b), EEXIST);
  EXPECT_EQ(ReadFile(a), "alpha");
  ASSERT_EQ(plat::RenameNoReplace(a, c), 0);
  EXPECT_FALSE(plat::PathExists(a));
  EXPECT_EQ(ReadFile(c), "alpha");
  EXPECT_EQ(plat::CopyFileReplacing((dir / "none").string(), a), ENOENT);
  EXPECT_EQ(plat::CopyFileReplacing(dir.path().string(), a), EISDIR);
  EXPECT_FALSE(plat::PathExists(a));
}

TEST(Directory, DeleteSkipsFoldersAndExclusiveCreateRefusesExisting) {
  TempDir dir;
  const std::string f = (dir / "f").string();
  ASSERT_EQ(plat::CreateFileExclusive(f), 0);
  EXPECT_EQ(plat::CreateFileExclusive(f), EEXIST);
  EXPECT_EQ(plat::DeleteFile(dir.path().string()), EISDIR);
  EXPECT_EQ(plat::DeleteFile(f), 0);
  EXPECT_EQ(plat::DeleteFile(f), ENOENT);
}

TEST(Directory, VolumeOfAPath) {
  TempDir dir;
  plat::VolumeInfo volume;
  ASSERT_EQ(plat::QueryVolume(dir.path().string(), volume), 0);
  EXPECT_FALSE(volume.mountPoint.empty());
  EXPECT_EQ(volume.mountPoint.front(), '/');
  EXPECT_EQ(dir.path().string().rfind(volume.mountPoint == "/" ? "/" : volume.mountPoint + "/", 0),
            0u);
  EXPECT_FALSE(volume.fileSystem.empty());
  plat::VolumeInfo root;
  ASSERT_EQ(plat::QueryVolume("/", root), 0);
  EXPECT_EQ(root.mountPoint, "/");
  EXPECT_EQ(plat::QueryVolume((dir / "missing").string(), volume), ENOENT);
}

TEST(Directory, CurrentDirectoryRoundTrip) {
  TempDir dir;
  std::string old;
  ASSERT_EQ(plat::CurrentDirectory(old), 0);
  ASSERT_EQ(plat::ChangeDirectory(dir.path().string()), 0);
  std::string now;
  EXPECT_EQ(plat::CurrentDirectory(now), 0);
  EXPECT_EQ(now, std::filesystem::canonical(dir.path()).string());
  EXPECT_EQ(plat::ChangeDirectory(old), 0);
  EXPECT_EQ(plat::ChangeDirectory((dir / "none").string()), ENOENT);
}

}  // namespace
