#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <cerrno>

#include "tests/TestSupport.h"
#include "toolkit/core/Errors.h"
#include "toolkit/core/Files.h"

namespace {

using testing_support::TempDir;

class FilesTest : public ::testing::Test {
 protected:
  void SetUp() override { tk::ResetErrorState(); }
  void TearDown() override { tk::ResetErrorState(); }

  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  TempDir dir_;
};

TEST_F(FilesTest, OpenFailuresReportErrorOneWithTheSystemText) {
  struct Case {
    const char* name;
    std::string file;
    int mode;
    int systemError;
  };
  const Case cases[] = {
      {"missing in mode 0", Path("missing"), tk::kFileRead, ENOENT},
      {"missing in mode 2", Path("missing"), tk::kFileReadWrite, ENOENT},
      {"blank name", "     ", tk::kFileRead, 0},
      {"mode out of range", Path("missing"), 3, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    tk::IFileHandle h = 5;
    tk::IFileOpen(c.file, c.mode, h);
    EXPECT_EQ(h, -1);
    EXPECT_EQ(tk::WErrorStatusQuery(1), tk::kErrOpen);
    EXPECT_EQ(tk::WErrorStatusQuery(2), c.systemError);
    EXPECT_EQ(tk::WErrorStatusQuery(5), tk::kErrorClassFile);
  }
  tk::ErrorState().systemError = 0;
  EXPECT_EQ(tk::BuildErrorReport(1, "IFileOpen"),
            "Routine:IFileOpen Error=   1:Error opening file or device:");
}

TEST_F(FilesTest, NameWithBlanksAroundOpensTheFileBetweenThem) {
  testing_support::WriteFile(dir_ / "x.bin", "abc");
  tk::IFileHandle h = -1;
  tk::IFileOpen("  " + Path("x.bin") + "   ", tk::kFileRead, h);
  ASSERT_GE(h, 0);
  tk::IFileClose(h);
}

TEST_F(FilesTest, ModeOneCreatesAndEmpties) {
  testing_support::WriteFile(dir_ / "old.bin", "old content");
  tk::IFileHandle h = -1;
  tk::IFileOpen(Path("old.bin"), tk::kFileWrite, h);
  ASSERT_GE(h, 0);
  tk::IFileClose(h);
  EXPECT_EQ(testing_support::ReadFile(dir_ / "old.bin"), "");
  tk::IFileOpen(Path("new.bin"), tk::kFileWrite, h);
  ASSERT_GE(h, 0);
  tk::IFileClose(h);
  EXPECT_TRUE(std::filesystem::exists(dir_ / "new.bin"));
  EXPECT_EQ(tk::WErrorStatusQuery(1), 0);
}

TEST_F(FilesTest, SharingBetweenOpeners) {
  testing_support::WriteFile(dir_ / "s.bin", "data");
  tk::IFileHandle writer = -1, reader = -1, second = -1;
  tk::IFileOpen(Path("s.bin"), tk::kFileReadWrite, writer);
  ASSERT_GE(writer, 0);
  tk::IFileOpen(Path("s.bin"), tk::kFileRead, reader);
  EXPECT_GE(reader, 0);
  tk::IFileOpen(Path("s.bin"), tk::kFileWrite, second);
  EXPECT_EQ(second, -1);
  tk::IFileOpen(Path("s.bin"), tk::kFileReadWrite, second);
  EXPECT_EQ(second, -1);
  tk::IFileClose(writer);
  // A file open for reading can still be opened for writing.
  tk::IFileOpen(Path("s.bin"), tk::kFileReadWrite, second);
  EXPECT_GE(second, 0);
  tk::IFileClose(second);
  tk::IFileClose(reader);
}

TEST_F(FilesTest, ReadsAtTheEndAreShortWithoutError) {
  testing_support::WriteFile(dir_ / "r.bin", std::string(40, 'z'));
  tk::IFileHandle h = -1;
  tk::IFileOpen(Path("r.bin"), tk::kFileRead, h);
  std::array<std::byte, 100> buf{};
  int moved = 0;
  tk::IFileRead(h, std::span<std::byte>(buf), 100, moved);
  EXPECT_EQ(moved, 40);
  tk::IFileRead(h, std::span<std::byte>(buf), 100, moved);
  EXPECT_EQ(moved, 0);
  tk::IFileRead(h, std::span<std::byte>(buf), 0, moved);
  EXPECT_EQ(moved, 0);
  EXPECT_EQ(tk::WErrorStatusQuery(1), 0);
  tk::IFileClose(h);
}

TEST_F(FilesTest, ReadThroughAWriteHandleFailsWithErrorTwo) {
  tk::IFileHandle h = -1;
  tk::IFileOpen(Path("w.bin"), tk::kFileWrite, h);
  std::array<std::int32_t, 4> buf{};
  int moved = 0;
  tk::IFileRead(h, std::span<std::int32_t>(buf), 16, moved);
  EXPECT_EQ(moved, -1);
  EXPECT_EQ(tk::WErrorStatusQuery(1), tk::kErrReadWrite);
  EXPECT_EQ(tk::WErrorStatusQuery(2), EBADF);
  tk::IFileClose(h);
}

TEST_F(FilesTest, CountsLargerThanTheBufferAreRefused) {
  testing_support::WriteFile(dir_ / "c.bin", std::string(64, 'q'));
  tk::IFileHandle h = -1;
  tk::IFileOpen(Path("c.bin"), tk::kFileReadWrite, h);
  ASSERT_GE(h, 0);
  std::string text(8, ' ');
  int moved = 0;
  tk::IFileReadChar(h, text, 9, moved);
  EXPECT_EQ(moved, -1);
  EXPECT_EQ(text, std::string(8, ' '));
  EXPECT_EQ(tk::WErrorStatusQuery(1), tk::kErrReadWrite);
  tk::IFileWriteChar(h, "abc", 4, moved);
  EXPECT_EQ(moved, -1);
  EXPECT_EQ(tk::WErrorStatusQuery(1), tk::kErrReadWrite);
  std::array<float, 2> floats{};
  tk::IFileRead(h, std::span<float>(floats), 9, moved);
  EXPECT_EQ(moved, -1);
  int pos = 0;
  tk::IFileSeek(h, pos, tk::kFromCurrent);
  EXPECT_EQ(pos, 0);  // nothing moved
  tk::IFileReadChar(h, text, 8, moved);
  EXPECT_EQ(moved, 8);
  EXPECT_EQ(text, "qqqqqqqq");
  tk::IFileClose(h);
}

TEST_F(FilesTest, WriteSeekAndReadBack) {
  tk::IFileHandle h = -1;
  tk::IFileOpen(Path("rw.bin"), tk::kFileWrite, h);
  int moved = 0;
  tk::IFileWriteChar(h, "HELLO WORLD", 11, moved);
  EXPECT_EQ(moved, 11);
  const std::array<std::int16_t, 2> words{1, -2};
  tk::IFileWrite(h, std::span<const std::int16_t>(words), 4, moved);
  EXPECT_EQ(moved, 4);
  tk::IFileClose(h);

  tk::IFileOpen(Path("rw.bin"), tk::kFileRead, h);
  int offset = 0;
  tk::IFileSeek(h, offset, tk::kFromEnd);
  EXPECT_EQ(offset, 15);
  offset = 6;
  tk::IFileSeek(h, offset, tk::kFromStart);
  EXPECT_EQ(offset, 6);
  std::string text(5, ' ');
  tk::IFileReadChar(h, text, 5, moved);
  EXPECT_EQ(text, "WORLD");
  offset = -5;
  tk::IFileSeek(h, offset, tk::kFromCurrent);
  EXPECT_EQ(offset, 6);
  offset = 3;
  tk::IFileSeek(h, offset, 3);  // unknown origin: nothing changes, nothing reported
  EXPECT_EQ(offset, 3);
  EXPECT_EQ(tk::WErrorStatusQuery(1), 0);
  offset = -100;
  tk::IFileSeek(h, offset, tk::kFromCurrent);
  EXPECT_EQ(offset, -1);
  EXPECT_EQ(tk::WErrorStatusQuery(1), tk::kErrReadWrite);
  tk::IFileClose(h);
}

TEST_F(FilesTest, FileBeyondTheThirtyTwoBitRangeGivesAClearError) {
  const std::string path = Path("big.bin");
  const int fd = ::open(path.c_str(), O_CREAT | O_WRONLY, 0644);
  ASSERT_GE(fd, 0);
  if (::ftruncate(fd, (std::int64_t{3} << 30)) != 0) {
    ::close(fd);
    GTEST_SKIP() << "no sparse file of 3 GiB here";
  }
  ::close(fd);
  tk::IFileHandle h = -1;
  tk::IFileOpen(path, tk::kFileRead, h);
  ASSERT_GE(h, 0);
  int offset = 0;
  tk::IFileSeek(h, offset, tk::kFromEnd);
  EXPECT_EQ(offset, -1);
  EXPECT_EQ(tk::WErrorStatusQuery(1), tk::kErrReadWrite);
  EXPECT_EQ(tk::WErrorStatusQuery(2), EFBIG);
  offset = -(1 << 30);
  tk::IFileSeek(h, offset, tk::kFromEnd);  // 2 GiB: one past the largest position
  EXPECT_EQ(offset, -1);
  offset = 2147483647;
  tk::IFileSeek(h, offset, tk::kFromStart);
  EXPECT_EQ(offset, 2147483647);
  tk::IFileClose(h);
}

TEST_F(FilesTest, CloseIgnoresBadHandles) {
  tk::IFileClose(-1);
  EXPECT_EQ(tk::WErrorStatusQuery(1), 0);
}

}  // namespace
