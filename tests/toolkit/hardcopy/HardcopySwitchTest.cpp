// Dispatch, select, option-keeping reset and the start and end of hardcopy
// output, seen through a recording driver.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "tests/TestSupport.h"
#include "tests/toolkit/hardcopy/HardcopyTestSupport.h"
#include "toolkit/core/Windows.h"
#include "toolkit/hardcopy/HardcopySwitch.h"
#include "toolkit/hardcopy/ToolkitStart.h"

namespace tk::testing {
namespace {

using namespace ::testing_support;

using O = DriverOperation;

class HardcopySwitchTest : public GraphicsTest {
 protected:
  void SetUp() override {
    GraphicsTest::SetUp();
    ConnectHardcopy();  // as start-up does: resets and shutdown end hardcopy output
    StandHardcopyDriver(10, &driver);
    HardcopySelectForReset(false);
    driver.ops.clear();
    cwd = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
  }
  void TearDown() override {
    WHardcopySwitch("S");
    std::filesystem::current_path(cwd);
    HardcopyDriverSelect(O::Select, kDefaultHardcopyDriver);
    GraphicsTest::TearDown();
  }
  RecordingDriver driver{10};
  TempDir dir;
  std::filesystem::path cwd;
};

TEST_F(HardcopySwitchTest, ProbeAnswersWithoutChangingAnything) {
  HardcopyOptionStore(1, 1234);
  DriverParams().P1 = -999;
  HardcopyDriverSwitch(O::Select);
  EXPECT_EQ(DriverParams().P1, 10);
  EXPECT_EQ(HardcopyOption(1), 1234);
  EXPECT_EQ(driver.selects, 1);
}

TEST_F(HardcopySwitchTest, NumbersWithoutDriverIgnoreEveryCode) {
  for (int n : {5, 7, 0, 13, -1}) {
    HardcopyDriverSelect(O::Select, n);
    DriverParams().P1 = -999;
    HardcopyDriverSwitch(O::Select);
    EXPECT_EQ(DriverParams().P1, -999) << n;
  }
  HardcopyDriverSelect(O::Select, 5);
  driver.ops.clear();
  WHardcopySwitch();
  EXPECT_EQ(Gs().hardcopyOn, 0);
  EXPECT_TRUE(driver.ops.empty());
  EXPECT_TRUE(driver.opened.empty());
}

TEST_F(HardcopySwitchTest, SelectWithOtherOperationChangesNothing) {
  HardcopyDriverSelect(O::Line, 3);
  EXPECT_EQ(HardcopyDispatchNumber(), 10);
  EXPECT_TRUE(driver.ops.empty());
}

TEST_F(HardcopySwitchTest, OptionKeepingResetBringsEveryOptionBack) {
  std::string name = "mine.plt";
  name.resize(kHardcopyNameLength, ' ');
  HardcopyFileName() = name;
  // Values each option's rules accept, differing from the driver's defaults.
  for (int code = 1; code <= 29; ++code) HardcopyOptionStore(code, 0);
  const std::vector<std::pair<int, int>> values{
      {1, 600}, {2, 400}, {3, 7},    {4, 9},   {5, 1},   {6, 2},    {7, 1},   {8, 3},  {9, 12},
      {10, 2},  {11, 1},  {12, 150}, {13, 1},  {15, 1},  {16, 99},  {17, 1},  {18, 1}, {19, 1},
      {20, 1},  {21, 9},  {22, 1},   {24, 0},  {25, 1},  {26, 3},   {27, 2},  {28, 1}, {29, 1},
      {101, 5}, {102, 6}, {103, 7},  {104, 8}, {105, 3}, {106, -4}, {107, 9}, {108, 2}};
  for (auto [code, value] : values) HardcopyOptionStore(code, value);
  Gs().hardcopyOn = 0;
  IGrStateReset("P");
  EXPECT_EQ(driver.ops.back(), (RecordedOp{O::Select, 0, -998}));
  for (auto [code, value] : values) EXPECT_EQ(HardcopyOption(code), value) << code;
  EXPECT_EQ(HardcopyFileName(), name);
  IGrStateReset();
  EXPECT_EQ(driver.ops.back(), (RecordedOp{O::Select, 0, 0}));
  EXPECT_EQ(HardcopyOption(1), 540);
  EXPECT_EQ(HardcopyOption(101), 80);
  EXPECT_EQ(HardcopyOption(12), 80);
}

TEST_F(HardcopySwitchTest, StartSendsItsOperationsInOrder) {
  WHardcopySwitch("out.plt", "My title");
  EXPECT_EQ(Gs().hardcopyOn, 1);
  const std::vector<O> expected{O::Select,        O::BeginPicture,  O::LineWidth,
                                O::LineType,      O::LineJoin,      O::LineCap,
                                O::ClipRectangle, O::CharacterSize, O::Colour};
  EXPECT_EQ(driver.Codes(), expected);
  EXPECT_EQ(driver.ops[0].P1, -999);
  EXPECT_EQ(driver.ops[1].P1, 0);
  EXPECT_EQ(driver.ops[1].P2, 1);
  EXPECT_EQ(DriverParams().KX[0], 1);
  EXPECT_EQ(HardcopyTitle().substr(0, 9), "My title ");
  EXPECT_EQ(DriverParams().penLastX, -9999.0f);

  driver.ops.clear();
  DriverParams().pageDirty = -1;
  WHardcopySwitch("S");
  EXPECT_EQ(driver.ops, (std::vector<RecordedOp>{{O::EndPage, 1, 32}, {O::EndOutput, 1, 32}}));
  EXPECT_EQ(ReadFile(dir / "out.plt"), "PLOT");

  driver.ops.clear();
  WHardcopySwitch("S");  // nothing started: nothing sent
  EXPECT_TRUE(driver.ops.empty());
}

TEST_F(HardcopySwitchTest, TargetsThatStartOutput) {
  struct Case {
    std::optional<std::string_view> target;
    int p1;
    std::string name;
  };
  const Case cases[] = {
      {"S1", 0, "S1"}, {"s ", 0, "s"}, {"   ", 1, "default.plt"}, {std::nullopt, 1, "default.plt"}};
  for (const Case& c : cases) {
    driver.ops.clear();
    driver.opened.clear();
    WHardcopySwitch(c.target);
    ASSERT_EQ(driver.opened.size(), 1u);
    EXPECT_EQ(driver.ops[1].P1, c.p1);
    EXPECT_EQ(driver.opened[0].substr(0, c.name.size()), c.name);
    WHardcopySwitch("S");
    EXPECT_TRUE(std::filesystem::exists(dir / c.name)) << c.name;
  }
}

TEST_F(HardcopySwitchTest, FailedOpenSendsNothingMore) {
  WHardcopySwitch((dir / "missing/out.plt").string());
  EXPECT_EQ(Gs().hardcopyOn, 0);
  EXPECT_EQ(driver.Codes(), (std::vector<O>{O::Select, O::BeginPicture}));
  EXPECT_EQ(WErrorStatusQuery(1), 1);
}

TEST_F(HardcopySwitchTest, ResizeOnlyRecomputesFactors) {
  WHardcopySwitch("r.plt");
  driver.ops.clear();
  driver.opened.clear();
  DriverParams().factorX = 0;
  GraphicsSurfaceResize(Gs().drawableKind, Gs().drawableNumber, 50, 40);
  ASSERT_FALSE(driver.ops.empty());
  EXPECT_EQ(driver.ops[0].op, O::BeginPicture);
  EXPECT_EQ(driver.ops[0].P2, -1);
  EXPECT_EQ(DriverParams().factorX, 2.0f);
  EXPECT_TRUE(driver.opened.empty());
}

TEST_F(HardcopySwitchTest, ResetAndShutdownEndOutputThroughTheSwitch) {
  WHardcopySwitch(" ");
  DriverParams().pageDirty = -1;
  driver.ops.clear();
  IGrStateReset("P");
  EXPECT_EQ(Gs().hardcopyOn, 0);
  // The reselect of the window may send a resize notice first.
  const auto end = std::find(driver.ops.begin(), driver.ops.end(), RecordedOp{O::EndPage, 1, 32});
  ASSERT_NE(end, driver.ops.end());
  ASSERT_NE(end + 1, driver.ops.end());
  EXPECT_EQ((end + 1)->op, O::EndOutput);

  WHardcopySwitch(" ");
  driver.ops.clear();
  WindowShutdown();
  EXPECT_EQ(Gs().hardcopyOn, 0);
  EXPECT_EQ(driver.Codes(), std::vector<O>{O::EndOutput});
}

TEST_F(HardcopySwitchTest, RasterRowBufferIsBothPointArrays) {
  DriverParameters& dp = DriverParams();
  EXPECT_EQ(reinterpret_cast<std::uint8_t*>(dp.pointY.data()),
            RasterRowBuffer() + kRasterRowBytes / 2);
  EXPECT_EQ(kRasterRowBytes, 40000);
}

// A print command on PATH that copies the file and its arguments aside.
class SpoolTest : public HardcopySwitchTest {
 protected:
  void SetUp() override {
    HardcopySwitchTest::SetUp();
    std::filesystem::create_directories(dir / "tmp dir");
    std::filesystem::create_directories(dir / "bin");
    const std::string script = "#!/bin/sh\nf=\"$1\"; shift\necho \"$f\" > \"" +
                               (dir / "name").string() + "\"\necho \"$@\" > \"" +
                               (dir / "args").string() + "\"\ncat \"$f\" > \"" +
                               (dir / "copy").string() + "\"\nexit ${FAKE_EXIT:-0}\n";
    WriteFile(dir / "bin/fakeprint", script);
    std::filesystem::permissions(dir / "bin/fakeprint", std::filesystem::perms::owner_all);
    oldPath = std::getenv("PATH");
    const char* t = std::getenv("TMPDIR");
    oldTmp = t ? t : "";
    setenv("PATH", ((dir / "bin").string() + ":" + oldPath).c_str(), 1);
    setenv("TMPDIR", (dir / "tmp dir").string().c_str(), 1);
  }
  void TearDown() override {
    WHardcopySwitch("S");
    setenv("PATH", oldPath.c_str(), 1);
    if (oldTmp.empty())
      unsetenv("TMPDIR");
    else
      setenv("TMPDIR", oldTmp.c_str(), 1);
    unsetenv("FAKE_EXIT");
    HardcopySwitchTest::TearDown();
  }
  std::string oldPath, oldTmp;
};

TEST_F(SpoolTest, CommandGetsTheSpoolFileAndItIsDeleted) {
  WHardcopySwitch("fakeprint @ -x");
  ASSERT_EQ(Gs().hardcopyOn, 1);
  const std::string spool(SpoolFileName().substr(0, SpoolFileName().find_last_not_of(' ') + 1));
  EXPECT_EQ(std::filesystem::path(spool).parent_path(), dir / "tmp dir");
  EXPECT_TRUE(spool.ends_with(".plt"));
  EXPECT_EQ(std::filesystem::status(spool).permissions() & std::filesystem::perms::group_read,
            std::filesystem::perms::none);
  WHardcopySwitch("S");
  EXPECT_EQ(ReadFile(dir / "copy"), "PLOT");
  EXPECT_EQ(ReadFile(dir / "name"), spool + "\n");
  EXPECT_EQ(ReadFile(dir / "args"), "-x\n");
  EXPECT_FALSE(std::filesystem::exists(spool));
  EXPECT_EQ(PrintCommand().find_first_not_of(' '), std::string::npos);
}

TEST_F(SpoolTest, FailingCommandReportsNothingAndFileGoesAllTheSame) {
  setenv("FAKE_EXIT", "3", 1);
  ResetErrorState();
  WHardcopySwitch("fakeprint @ ");
  const std::string spool(SpoolFileName().substr(0, SpoolFileName().find_last_not_of(' ') + 1));
  WHardcopySwitch("S");
  EXPECT_EQ(WErrorStatusQuery(1), 0);
  EXPECT_FALSE(std::filesystem::exists(spool));
  // A missing command makes the shell exit 127: it ran, nothing reported.
  WHardcopySwitch("no-such-command-here @ ");
  WHardcopySwitch("S");
  EXPECT_EQ(WErrorStatusQuery(1), 0);
}

TEST_F(SpoolTest, SecondSpooledStartRewritesTheSameFileWithTheNewerCommand) {
  WHardcopySwitch("nothing @ ");
  const std::string first = SpoolFileName();
  driver.body = "SECOND";
  WHardcopySwitch("fakeprint @ -y");
  EXPECT_EQ(SpoolFileName(), first);
  WHardcopySwitch("S");
  EXPECT_EQ(ReadFile(dir / "copy"), "SECOND");
  EXPECT_EQ(ReadFile(dir / "args"), "-y\n");
}

TEST_F(SpoolTest, DriverThatCannotSpoolTakesTheTargetAsName) {
  driver.spoolCapable = 0;
  HardcopySelectForReset(false);
  WHardcopySwitch("a @ b");
  WHardcopySwitch("S");
  EXPECT_TRUE(std::filesystem::exists(dir / "a @ b"));
  EXPECT_FALSE(std::filesystem::exists(dir / "copy"));
}

}  // namespace
}  // namespace tk::testing
