#include <gtest/gtest.h>

#include <cerrno>

#include "platform/system/File.h"
#include "tests/TestSupport.h"

namespace {

using plat::FileAccess;
using testing_support::TempDir;

TEST(PlatformFile, WriteThenReadBackWithShortReadAtEnd) {
  TempDir dir;
  const std::string path = (dir / "a.bin").string();
  int h = -1;
  ASSERT_EQ(plat::FileOpen(path, FileAccess::WriteCreate, h), 0);
  std::size_t moved = 0;
  ASSERT_EQ(plat::FileWrite(h, "0123456789", 10, moved), 0);
  EXPECT_EQ(moved, 10u);
  EXPECT_EQ(plat::FileClose(h), 0);

  ASSERT_EQ(plat::FileOpen(path, FileAccess::Read, h), 0);
  char buf[16] = {};
  ASSERT_EQ(plat::FileRead(h, buf, 16, moved), 0);
  EXPECT_EQ(moved, 10u);
  EXPECT_EQ(std::string(buf, 10), "0123456789");
  ASSERT_EQ(plat::FileRead(h, buf, 16, moved), 0);
  EXPECT_EQ(moved, 0u);
  std::int64_t pos = -1, size = -1;
  ASSERT_EQ(plat::FileSeek(h, -3, plat::SeekOrigin::End, pos), 0);
  EXPECT_EQ(pos, 7);
  ASSERT_EQ(plat::FileSize(h, size), 0);
  EXPECT_EQ(size, 10);
  EXPECT_NE(plat::FileSeek(h, -30, plat::SeekOrigin::Current, pos), 0);
  plat::FileClose(h);
}

TEST(PlatformFile, OpenFailuresGiveTheSystemError) {
  TempDir dir;
  int h = 0;
  EXPECT_EQ(plat::FileOpen((dir / "missing").string(), FileAccess::Read, h), ENOENT);
  EXPECT_EQ(h, -1);
  EXPECT_EQ(plat::FileOpen((dir / "missing").string(), FileAccess::ReadWrite, h), ENOENT);
  EXPECT_EQ(plat::FileOpen(dir.path().string(), FileAccess::Read, h), EISDIR);
  EXPECT_EQ(plat::SystemErrorText(ENOENT), "No such file or directory");
  EXPECT_EQ(plat::SystemErrorText(0), "");
}

TEST(PlatformFile, SecondWriterIsRefusedReadersAreNot) {
  TempDir dir;
  const std::string path = (dir / "shared.bin").string();
  testing_support::WriteFile(path, "keep");
  int writer = -1, second = -1, reader = -1;
  ASSERT_EQ(plat::FileOpen(path, FileAccess::ReadWrite, writer), 0);
  EXPECT_EQ(plat::FileOpen(path, FileAccess::WriteCreate, second), EBUSY);
  EXPECT_EQ(testing_support::ReadFile(path), "keep");  // the refused open emptied nothing
  EXPECT_EQ(plat::FileOpen(path, FileAccess::Read, reader), 0);
  plat::FileClose(reader);
  plat::FileClose(writer);
  ASSERT_EQ(plat::FileOpen(path, FileAccess::WriteCreate, second), 0);
  EXPECT_EQ(testing_support::ReadFile(path), "");
  plat::FileClose(second);
}

}  // namespace
