#include <gtest/gtest.h>

#include <array>

#include "support/FileIO.h"
#include "tests/TestSupport.h"
#include "toolkit/core/Errors.h"

namespace {

using testing_support::TempDir;

class FileIOTest : public ::testing::Test {
 protected:
  void SetUp() override { tk::ResetErrorState(); }
  void TearDown() override { tk::ResetErrorState(); }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  TempDir dir_;
};

TEST_F(FileIOTest, TransferStatusCountsWhatWasNotMoved) {
  testing_support::WriteFile(dir_ / "t.bin", std::string(10, 'a'));
  const int ih = sup::IOPNRLY(Path("t.bin") + "   ");
  ASSERT_GE(ih, 0);
  std::array<std::byte, 16> buf{};
  EXPECT_EQ(sup::JREDFIL(ih, std::span<std::byte>(buf), 4), 0);
  EXPECT_EQ(sup::JREDFIL(ih, std::span<std::byte>(buf), 0), 0);
  EXPECT_EQ(sup::JREDFIL(ih, std::span<std::byte>(buf), 10), 4);   // 6 were there
  EXPECT_EQ(sup::JREDFIL(ih, std::span<std::byte>(buf), 10), 10);  // end of file
  EXPECT_EQ(tk::WErrorStatusQuery(1), 0);
  // A write through a read-only handle fails: N + 1.
  EXPECT_EQ(sup::JRITFIL(ih, std::span<const std::byte>(buf), 3), 4);
  EXPECT_EQ(tk::WErrorStatusQuery(1), tk::kErrReadWrite);
  // A count beyond the buffer is refused as a failure, never read past it.
  EXPECT_EQ(sup::JREDFIL(ih, std::span<std::byte>(buf), 17), 18);
  EXPECT_EQ(sup::ICLSFIL(ih), 0);
}

TEST_F(FileIOTest, OpenRoutinesUseTheirModes) {
  EXPECT_EQ(sup::IOPNFIL(Path("none")), -1);
  EXPECT_EQ(tk::WErrorStatusQuery(1), tk::kErrOpen);
  EXPECT_EQ(sup::IOPNRLY(Path("none")), -1);
  const int made = sup::MAKEFIL(Path("made.bin"));
  ASSERT_GE(made, 0);
  EXPECT_EQ(sup::IRITFIL(made, "HELLO", 5), 0);
  sup::ICLSFIL(made);
  const int rw = sup::IOPNFIL(Path("made.bin"));
  ASSERT_GE(rw, 0);
  std::string text(5, ' ');
  EXPECT_EQ(sup::IREDFIL(rw, text, 5), 0);
  EXPECT_EQ(text, "HELLO");
  EXPECT_EQ(sup::IREDFIL(rw, text, 6), 7);  // more than the buffer holds
  sup::ICLSFIL(rw);
}

TEST_F(FileIOTest, Positioning) {
  testing_support::WriteFile(dir_ / "p.bin", "0123456789");
  const int ih = sup::IOPNRLY(Path("p.bin"));
  int ipos = 99;
  EXPECT_EQ(sup::ISETFIL(ih, 0), 0);
  EXPECT_EQ(sup::IADVFIL(ih, 0, ipos), 0);
  EXPECT_EQ(ipos, 0);
  EXPECT_EQ(sup::ISETFIL(ih, 6), 0);
  EXPECT_EQ(sup::IADVFIL(ih, -2, ipos), 0);
  EXPECT_EQ(ipos, 4);
  std::array<char, 2> two{};
  EXPECT_EQ(sup::JREDFIL(ih, std::span<char>(two), 2), 0);
  EXPECT_EQ(two[0], '4');
  EXPECT_EQ(sup::IADVFIL(ih, -100, ipos), -1);
  EXPECT_EQ(ipos, -1);
  EXPECT_EQ(sup::ISETFIL(ih, -1), -1);
  sup::ICLSFIL(ih);
}

TEST_F(FileIOTest, RecordHeaderIsTwentyLittleEndianBytes) {
  const int ih = sup::MAKEFIL(Path("h.bin"));
  EXPECT_EQ(sup::IRITHEAD(ih, "TRX", 1, 258, -1), 0);
  EXPECT_EQ(sup::IRITHEAD(ih, "LONGERTAG", 0, 0, 0), 0);
  sup::ICLSFIL(ih);
  const std::string bytes = testing_support::ReadFile(dir_ / "h.bin");
  ASSERT_EQ(bytes.size(), 40u);
  EXPECT_EQ(bytes.substr(0, 20), std::string("TRX     \x01\0\0\0\x02\x01\0\0\xFF\xFF\xFF\xFF", 20));
  EXPECT_EQ(bytes.substr(20, 8), "LONGERTA");
}

TEST_F(FileIOTest, RecordHeaderStopsAtTheFirstFailedWrite) {
  testing_support::WriteFile(dir_ / "ro.bin", "x");
  const int ih = sup::IOPNRLY(Path("ro.bin"));
  EXPECT_EQ(sup::IRITHEAD(ih, "TAG", 1, 2, 3), 9);  // 8 + 1: the tag write failed
  sup::ICLSFIL(ih);
}

TEST_F(FileIOTest, TypedArraysRoundTrip) {
  const std::array<float, 3> out{1.5f, -2.0f, 3e-3f};
  int ih = sup::MAKEFIL(Path("f.bin"));
  EXPECT_EQ(sup::JRITFIL(ih, std::span<const float>(out), 12), 0);
  sup::ICLSFIL(ih);
  std::array<float, 3> in{};
  ih = sup::IOPNRLY(Path("f.bin"));
  EXPECT_EQ(sup::JREDFIL(ih, std::span<float>(in), 12), 0);
  sup::ICLSFIL(ih);
  EXPECT_EQ(in, out);
}

}  // namespace
