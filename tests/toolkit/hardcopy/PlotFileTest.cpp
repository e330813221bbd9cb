// Plot-file streams: names, line ends, raster rows, failures, printers.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>

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

}  // namespace
}  // namespace tk::testing
