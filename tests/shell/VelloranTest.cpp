// The program's start-up, loop and exit, run on a scripted screen.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/controls/Controls.h"
#include "platform/testing/Harness.h"
#include "shell/Velloran.h"
#include "tests/TestSupport.h"
#include "toolkit/core/Menus.h"
#include "toolkit/core/OsServices.h"
#include "toolkit/core/Startup.h"
#include "toolkit/core/ToolkitState.h"
#include "toolkit/core/Windows.h"

namespace {

namespace fs = std::filesystem;

class VelloranTest : public ::testing::Test {
 protected:
  VelloranTest() {
    tk::ResetToolkitForTesting();
    tk::SetCommandLineForTesting("velloran");  // no file named
    setup_.settings.files = vel::SettingsFilesFor("velloran", dir_.path());
    setup_.settings.currentDirectory = [this] { return dir_.path().string(); };
    setup_.settings.changeDirectory = [](const std::string&) { return true; };
    setup_.debugFile = dir_ / "velloran.dbg";
  }
  ~VelloranTest() override {
    tk::SetCommandLineForTesting("");
    tk::ResetToolkitForTesting();
  }

  // What the main window shows while the program runs.
  struct Seen {
    int x = 0, width = 0, clientHeight = 0, state = 0;
    std::size_t statusParts = 0;
    int exportEnabled = -1;
    bool open = false;
  };

  // Runs the program; once it waits for input, records what the window
  // shows, sends an unknown command, moves the window when asked, then Exit.
  int Run(Seen& seen, std::optional<plat::Point> moveTo = std::nullopt, bool closeBox = false) {
    harness_.Call([&, moveTo] {
      seen.open = tk::MainWindowOpen();
      tk::WindowMakeCurrent(tk::kMainWindow);
      seen.x = tk::WindowQuery(5);
      seen.width = tk::WindowQuery(1);
      seen.clientHeight = tk::WindowQuery(2);
      seen.state = tk::WindowQuery(9);
      seen.statusParts = plat::StatusBarGetParts(tk::WindowStatusBarHandle(0)).size();
      seen.exportEnabled = tk::WMenuGetState(vel::kExportButton, 1);
      const plat::Hwnd frame = tk::WindowFrameHandle(tk::kMainWindow);
      plat::PostMessage(frame, plat::Msg::Command, 40001);  // a pop-up: no handler
      plat::PostMessage(frame, plat::Msg::Command, 12345);  // outside the table
      if (moveTo) harness_.MoveTo(frame, *moveTo);
      if (closeBox) {
        harness_.Close(frame);
      } else {
        harness_.Call([this] {
          plat::PostMessage(tk::WindowFrameHandle(tk::kMainWindow), plat::Msg::Command,
                            vel::kCommandExit);
        });
      }
    });
    return vel::VELLORAN(setup_);
  }

  testing_support::TempDir dir_;
  plat::testing::Harness harness_{{1920, 1080}};
  vel::VelloranSetup setup_;
};

TEST_F(VelloranTest, AFirstRunHoldsTheDefaultsAndItsExitLeavesSettingsTheNextRunReads) {
  // The settings folder does not exist yet either.
  setup_.settings.files = vel::SettingsFilesFor("velloran", dir_ / "config" / "velloran");
  Seen seen;
  EXPECT_EQ(Run(seen, plat::Point{210, 130}), 0);
  ASSERT_TRUE(seen.open);
  EXPECT_EQ(seen.x, 96);  // 5 % of 1920
  EXPECT_EQ(seen.width, 1152);
  EXPECT_LT(seen.clientHeight, 648);  // 60 % of 1080, less the toolbar
  EXPECT_GT(seen.clientHeight, 500);
  EXPECT_EQ(seen.statusParts, 5u);
  EXPECT_EQ(seen.exportEnabled, 0);
  EXPECT_FALSE(tk::MainWindowOpen());
  EXPECT_TRUE(fs::exists(setup_.debugFile));
  ASSERT_TRUE(fs::exists(setup_.settings.files.settings));
  EXPECT_FALSE(fs::exists(setup_.settings.files.work));

  // The second run opens the window where the first left it.
  Seen second;
  EXPECT_EQ(Run(second), 0);
  EXPECT_EQ(second.x, 210);
  EXPECT_EQ(second.width, 1152);
}

// A stored place no screen shows, and a size no memory holds, give the
// default place: the program starts, reads and draws a record, and exits.
TEST_F(VelloranTest, WindowPlacesOffTheScreenAreReplacedByTheDefault) {
  struct Case {
    const char* line;
  } cases[] = {{"Window W=99999999"}, {"Window H=99999999"}, {"Window H=    0"},
               {"Window H=   -1"},    {"Window X=99999999"}, {"Window State=    3"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    vel::SettingsValues values = vel::DefaultSettings(1920, 1080);
    values.mainWindow = {100, 100, 900, 600, 1};
    testing_support::WriteFile(setup_.settings.files.work, "");
    vel::LASTDIR({}, values, setup_.settings);
    std::string text = testing_support::ReadFile(setup_.settings.files.settings);
    const std::string key = std::string(c.line).substr(0, std::string(c.line).find('=') + 1);
    const std::size_t at = text.find(key);
    ASSERT_NE(at, std::string::npos);
    text.replace(at, text.find("\r\n", at) - at, c.line);
    testing_support::WriteFile(setup_.settings.files.settings, text);
    Seen seen;
    EXPECT_EQ(Run(seen), 0);
    ASSERT_TRUE(seen.open);
    EXPECT_GT(seen.width, 0);
    EXPECT_LE(seen.width, 1920);
    EXPECT_GT(seen.clientHeight, 0);
    EXPECT_LE(seen.clientHeight, 1080);
    EXPECT_EQ(seen.state, 1);
  }
}

TEST_F(VelloranTest, SettingsAreWrittenAtExitAndReadBackByTheNextRun) {
  // Seed the settings: an empty work file lets LASTDIR write them.
  vel::TraceDisplayOptions options;
  options.TRACECLIP = 0.25f;
  options.TRACEWIDTH = 0.01f;
  vel::SettingsValues values = vel::DefaultSettings(1920, 1080);
  values.mainWindow = {200, 100, 800, 500, 1};
  values.bandpass.Freq1 = 0.007f;
  values.LZOOM = true;
  testing_support::WriteFile(setup_.settings.files.work, "");
  vel::LASTDIR(options, values, setup_.settings);
  ASSERT_TRUE(fs::exists(setup_.settings.files.settings));

  Seen seen;
  EXPECT_EQ(Run(seen, plat::Point{300, 150}), 0);
  EXPECT_EQ(seen.x, 200);
  EXPECT_EQ(seen.width, 800);
  EXPECT_LT(seen.clientHeight, 500);

  // The file now holds what the run read, with the place the window was moved to.
  vel::TraceDisplayOptions readOptions;
  vel::SettingsValues read = vel::DefaultSettings(1920, 1080);
  vel::INIIN(readOptions, read, setup_.settings);
  EXPECT_FLOAT_EQ(readOptions.TRACECLIP, 0.25f);
  EXPECT_FLOAT_EQ(readOptions.TRACEWIDTH, 0.01f);
  EXPECT_FLOAT_EQ(read.bandpass.Freq1, 0.007f);
  EXPECT_TRUE(read.LZOOM);
  EXPECT_EQ(read.mainWindow.x, 300);
  EXPECT_EQ(read.mainWindow.y, 150);
  EXPECT_EQ(read.mainWindow.width, 800);
  EXPECT_EQ(read.mainWindow.height, 500);  // client height plus the toolbar
  EXPECT_EQ(read.mainWindow.state, 1);
}

TEST_F(VelloranTest, ClosingTheMainWindowSavesAsExitDoes) {
  testing_support::WriteFile(setup_.settings.files.settings, "");
  Seen seen;
  EXPECT_EQ(Run(seen, plat::Point{250, 120}, true), 0);
  EXPECT_FALSE(tk::MainWindowOpen());
  vel::TraceDisplayOptions options;
  vel::SettingsValues read = vel::DefaultSettings(1920, 1080);
  vel::INIIN(options, read, setup_.settings);
  EXPECT_EQ(read.mainWindow.x, 250);
  EXPECT_EQ(read.mainWindow.y, 120);
  EXPECT_EQ(read.mainWindow.width, 1152);
  EXPECT_EQ(read.mainWindow.height, 648);
}

TEST_F(VelloranTest, CommandLineFolderBecomesCurrentAndAFailedConversionEndsTheRun) {
  const fs::path before = fs::current_path();
  fs::create_directories(dir_ / "shots");
  for (const std::string name : {"shots/missing.sg2", "shots\\missing.sg2"}) {
    SCOPED_TRACE(name);
    fs::current_path(before);  // the settings' folder, not where the command was typed
    tk::ResetToolkitForTesting();
    tk::SetCommandLineForTesting("velloran " + name + " ascii");
    harness_.Answer("messagebox", "OK");  // the failed import's message
    Seen seen;
    EXPECT_EQ(Run(seen), 1);  // the conversion could not run
    EXPECT_EQ(fs::current_path(), fs::canonical(dir_ / "shots"));
  }
  fs::current_path(before);
}

TEST(CommandTableTest, EveryCommandOfTheMenusHasAHandlerAndTheRestNone) {
  EXPECT_NE(vel::CommandHandlerFor(vel::kCommandExit), nullptr);
  for (const int id : {40002, 40005, 40017, 40046, 40068, 40101, 40102, 40103})
    EXPECT_NE(vel::CommandHandlerFor(id), nullptr) << id;
  for (const int id : {0, 40001, 40016, 40022, 40024, 40027, 40041, 40062, 40065, 40066, 40067,
                       40100, 40104, 40121, 1230, -5})
    EXPECT_EQ(vel::CommandHandlerFor(id), nullptr) << id;
}

}  // namespace
