// Plot-file streams: names, line ends, raster rows, failures, printers.
#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "platform/dialog/MessageBox.h"
#include "platform/system/Printer.h"
#include "tests/TestSupport.h"
#include "toolkit/core/Errors.h"
#include "toolkit/graphics/Drivers.h"
#include "toolkit/hardcopy/PlotFile.h"

namespace tk::testing {
namespace {

using namespace ::testing_support;

void SetName(const std::string& name) {
  std::string text = name;
  text.resize(kDriverTextLength, ' ');
  DriverText() = text;
}

class PlotFileTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetErrorState(); }
  void TearDown() override { PlotFileClose(2); }
  TempDir dir;
};

TEST_F(PlotFileTest, TrailingBlanksAreCutAndNulFollowsTheName) {
  const std::string name = (dir / "out.plt").string();
  SetName(name + "   ");
  PlotFileOpen(2);
  EXPECT_EQ(PlotFileStatus(), 0);
  EXPECT_EQ(DriverText()[name.size()], '\0');
  PlotFileWriteLine(2, "abc", 0);
  PlotFileWriteLine(2, "abcdef", 3);
  PlotFileWrite(2, "xyz", 2);
  std::memcpy(RasterRowBuffer(), "ROW", 3);
  PlotFileWriteRaster(2, 3, 0);
  PlotFileWriteRaster(2, 3, 1);
  int handle = -1;
  PlotFileHandle(2, handle);
  EXPECT_GE(handle, 0);
  PlotFileClose(2);
  EXPECT_EQ(ReadFile(name), "\r\nabc\r\nxyROWROW\r\n");
  EXPECT_EQ(WErrorStatusQuery(1), 0);
}

TEST_F(PlotFileTest, OpenFailures) {
  for (const std::string& name : {std::string(), (dir / "missing/out.plt").string()}) {
    ResetErrorState();
    SetName(name);
    PlotFileOpen(2);
    EXPECT_EQ(PlotFileStatus(), -1) << name;
    EXPECT_EQ(WErrorStatusQuery(1), kErrOpen) << name;
  }
}

TEST_F(PlotFileTest, FailedWriteStaysReported) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP();
  SetName("/dev/full");
  PlotFileOpen(2);
  ASSERT_EQ(PlotFileStatus(), 0);
  PlotFileWrite(2, "data", 4);
  EXPECT_EQ(PlotFileStatus(), -1);
  EXPECT_EQ(WErrorStatusQuery(1), kErrReadWrite);
  EXPECT_NE(WErrorStatusQuery(2), 0);
  PlotFileWrite(2, "", 0);
  EXPECT_EQ(PlotFileStatus(), -1);
  EXPECT_EQ(WErrorStatusQuery(1), 0);
}

class PrinterTest : public PlotFileTest {
 protected:
  void SetUp() override {
    PlotFileTest::SetUp();
    std::filesystem::create_directories(dir / "bin");
    oldPath = std::getenv("PATH");
  }
  void TearDown() override {
    PlotFileClose(2);
    setenv("PATH", oldPath.c_str(), 1);
  }
  void FakeLp(const std::string& body) {
    WriteFile(dir / "bin/lp", "#!/bin/sh\n" + body);
    std::filesystem::permissions(dir / "bin/lp", std::filesystem::perms::owner_all);
    setenv("PATH", ((dir / "bin").string() + ":/usr/bin:/bin").c_str(), 1);
  }
  std::string oldPath;
};

TEST_F(PrinterTest, PrinterNamesFeedLp) {
  FakeLp("echo \"$@\" > \"" + (dir / "args").string() + "\"\ncat > \"" + (dir / "bytes").string() +
         "\"\n");
  for (const char* name : {"PRN", "lpt1:", "Lpt3"}) {
    SetName(name);
    PlotFileOpen(2);
    ASSERT_EQ(PlotFileStatus(), 0) << name;
    PlotFileWriteLine(2, "P1\x01", 3);
    PlotFileClose(2);
    EXPECT_EQ(ReadFile(dir / "bytes"), "P1\x01\r\n") << name;
    EXPECT_EQ(ReadFile(dir / "args"), "-o raw\n");
  }
}

TEST_F(PrinterTest, LpMissingOrGoneIsAnErrorNotADeath) {
  setenv("PATH", (dir / "bin").string().c_str(), 1);
  SetName("PRN");
  PlotFileOpen(2);
  EXPECT_EQ(PlotFileStatus(), -1);
  EXPECT_EQ(WErrorStatusQuery(1), kErrOpen);

  FakeLp("exit 0\n");
  SetName("prn");
  PlotFileOpen(2);
  ASSERT_EQ(PlotFileStatus(), 0);
  const std::string block(65536, 'x');
  for (int i = 0; i < 20 && PlotFileStatus() == 0; ++i)
    PlotFileWrite(2, block, static_cast<int>(block.size()));
  EXPECT_EQ(PlotFileStatus(), -1);
  EXPECT_EQ(WErrorStatusQuery(1), kErrReadWrite);
}

// The raw road to the printer is held to the same rules as a print job: lp's
// refusal is a failure, told to the user, and an lp that never returns is
// stopped at the limit.
TEST_F(PrinterTest, LpsRefusalAndSilenceAtCloseAreFailures) {
  for (const bool hang : {false, true}) {
    SCOPED_TRACE(hang);
    ResetErrorState();
    FakeLp(hang ? "cat > /dev/null\nexec sleep 600\n" : "cat > /dev/null\necho 'no such printer' >&2\nexit 2\n");
    const int limit = plat::PrintJobHandOverLimitMs();
    plat::PrintJobHandOverLimitMs() = 400;
    SetName("PRN");
    PlotFileOpen(2);
    ASSERT_EQ(PlotFileStatus(), 0);
    PlotFileWriteLine(2, "IN;", 3);
    const std::size_t boxes = plat::MessageBoxLog().size();
    const auto start = std::chrono::steady_clock::now();
    PlotFileClose(2);
    plat::PrintJobHandOverLimitMs() = limit;
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_EQ(PlotFileStatus(), -1);
    EXPECT_EQ(WErrorStatusQuery(1), kErrReadWrite);
    ASSERT_EQ(plat::MessageBoxLog().size(), boxes + 1);
    const std::string text = plat::MessageBoxLog().back().text;
    EXPECT_NE(text.find(hang ? "did not answer" : "no such printer"), std::string::npos) << text;
  }
}

// Records are held back and written in blocks; the whole of them is in the
// file once it is closed, and whoever writes through the handle comes after
// them.
TEST_F(PlotFileTest, HeldBackRecordsComeFirstAndAllAreWritten) {
  const std::string name = (dir / "out.plt").string();
  SetName(name);
  PlotFileOpen(2);
  std::string expected;
  for (int i = 0; i < 20000; ++i) {
    const std::string record = "record " + std::to_string(i);
    PlotFileWriteLine(2, record, static_cast<int>(record.size()));
    expected += record + "\r\n";
  }
  int handle = -1;
  PlotFileHandle(2, handle);
  ASSERT_GE(handle, 0);
  ASSERT_EQ(write(handle, "RAW", 3), 3);
  expected += "RAW";
  PlotFileWrite(2, "tail", 4);
  expected += "tail";
  PlotFileClose(2);
  EXPECT_EQ(ReadFile(name), expected);
  EXPECT_EQ(PlotFileStatus(), 0);
}

}  // namespace
}  // namespace tk::testing
