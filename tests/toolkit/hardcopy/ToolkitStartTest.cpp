#include <gtest/gtest.h>

#include "tests/ScopedEnv.h"
#include "tests/TestSupport.h"
#include "toolkit/core/AbnormalExit.h"
#include "toolkit/core/Errors.h"
#include "toolkit/core/Help.h"
#include "toolkit/core/ToolkitState.h"
#include "toolkit/hardcopy/ToolkitStart.h"
#include "toolkit/grid/Grid.h"
#include "platform/testing/Harness.h"

namespace {

using testing_support::ReadFile;
using testing_support::ScopedCurrentDir;
using testing_support::ScopedEnv;
using testing_support::TempDir;
using testing_support::WriteFile;

// Every start-up test runs in an empty current folder with none of the
// toolkit's variables set and the temporary folder redirected.
class StartupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    tk::ResetToolkitForTesting();
    tk::ResetErrorState();
    tk::DebugLogForget();  // a log an earlier test opened elsewhere
    tk::SetAbnormalExitHooks(
        [this](const std::string& title, const std::string& text) { shown_ += title + "|" + text; },
        [this](int code) { exitCode_ = code; });
  }
  void TearDown() override {
    tk::SetAbnormalExitHooks(nullptr, nullptr);
    tk::ResetToolkitForTesting();
    tk::ResetErrorState();
    tk::DebugLogForget();
  }
  void Start(std::string_view file = {}) { tk::WToolkitStart(file); }
  const tk::ToolkitStartState& S() const { return tk::ToolkitStart(); }

  TempDir cwd_, home_, temp_;
  ScopedCurrentDir inCwd_{cwd_.path()};
  ScopedEnv parvinit_{"PARVINIT", std::nullopt};
  ScopedEnv parven_{"PARVEN", home_.path().string()};
  ScopedEnv fide_{"FIDE", std::nullopt};
  ScopedEnv parvdebug_{"PARVDEBUG", std::nullopt};
  ScopedEnv tempVar_{"TEMP", temp_.path().string()};
  ScopedEnv tmpVar_{"TMP", std::nullopt};
  std::string shown_;
  int exitCode_ = -100;
};

constexpr const char* kAllKeys =
    "CHARDIR= /fonts/my fonts \r\n"
    "CHARSET=roman.chr\r\n"
    "HPGL2=3\r\n"
    "PLOTTER=7\r\n"
    "PRINTER=31\r\n"
    "LFNPLOTI=41\r\n"
    "LFNGEN=42\r\n"
    "DEBUG=1\r\n";

void ExpectAllKeys(const tk::ToolkitStartState& s) {
  EXPECT_EQ(s.strokeFontDirectory, "/fonts/my fonts/");
  EXPECT_EQ(s.strokeFontFile, "roman.chr");
  EXPECT_EQ(s.deviceModels.hpgl2Device, 3);
  EXPECT_EQ(s.deviceModels.plotterModel, 7);
  EXPECT_EQ(s.deviceModels.rasterPrinterModel, 31);
  EXPECT_EQ(s.plotInputUnit, 41);
  EXPECT_EQ(s.generalUnit, 42);
  EXPECT_EQ(tk::WErrorStatusQuery(4), tk::kReportStdout);
}

TEST_F(StartupTest, DefaultsWithoutConfiguration) {
  Start();
  EXPECT_TRUE(S().started);
  EXPECT_EQ(S().homeDirectory, home_.path().string() + "/");
  EXPECT_EQ(S().strokeFontDirectory, home_.path().string() + "/charsets/");
  EXPECT_EQ(S().strokeFontFile, "standard.chr");
  EXPECT_EQ(S().configFile, "");
  EXPECT_EQ(S().generalUnit, 40);
  EXPECT_EQ(S().plotInputUnit, 42);
  EXPECT_EQ(S().deviceModels.rasterPrinterModel, 0);
  EXPECT_EQ(S().temporaryDirectory, temp_.path().string() + "/");
  EXPECT_EQ(S().plotFile, temp_.path().string() + "/jqx$$00.plt");
  EXPECT_EQ(S().dumpFile, temp_.path().string() + "/jqx$$00.dmp");
  EXPECT_EQ(tk::WErrorStatusQuery(4), tk::kReportSilent);
  EXPECT_EQ(exitCode_, -100);
  // Start-up creates no files.
  EXPECT_TRUE(std::filesystem::is_empty(temp_.path()));
}

TEST_F(StartupTest, GridClassesAreReadyBeforeAnyDialogLoads) {
  plat::testing::Harness harness;
  Start();
  EXPECT_TRUE(plat::IsClassRegistered("JQXGRID"));
  EXPECT_TRUE(plat::IsClassRegistered("JQXGRIDCLIENT"));
  EXPECT_GE(plat::ToInt(tk::GridCellChangeMessage()), 0xC000u);
}

TEST_F(StartupTest, ConfigurationFromEachSource) {
  // PARVINIT first, then the current folder, then the home folder.
  TempDir elsewhere;
  WriteFile(elsewhere / "mine.ini", kAllKeys);
  WriteFile(cwd_ / "parven.ini", "PRINTER=5\n");
  WriteFile(home_ / "parven.ini", "PRINTER=6\n");
  {
    ScopedEnv init("PARVINIT", (elsewhere / "mine.ini").string());
    Start();
    EXPECT_EQ(S().configFile, (elsewhere / "mine.ini").string());
    ExpectAllKeys(S());
  }
  tk::ResetToolkitForTesting();
  {
    ScopedEnv init("PARVINIT", (elsewhere / "missing.ini").string());
    Start();
    EXPECT_EQ(S().configFile, "parven.ini");
    EXPECT_EQ(S().deviceModels.rasterPrinterModel, 5);
  }
  tk::ResetToolkitForTesting();
  std::filesystem::remove(cwd_ / "parven.ini");
  Start();
  EXPECT_EQ(S().configFile, home_.path().string() + "/parven.ini");
  EXPECT_EQ(S().deviceModels.rasterPrinterModel, 6);
}

TEST_F(StartupTest, CallersFileWinsWhenItExists) {
  WriteFile(cwd_ / "parven.ini", "PRINTER=5\n");
  WriteFile(cwd_ / "given.ini", kAllKeys);
  Start("given.ini   ");
  ExpectAllKeys(S());
  tk::ResetToolkitForTesting();
  Start("nonexistent.ini");
  EXPECT_EQ(S().deviceModels.rasterPrinterModel, 5);
}

TEST_F(StartupTest, SecondCallReturnsAtOnce) {
  Start();
  WriteFile(cwd_ / "parven.ini", "PRINTER=5\n");
  Start();
  EXPECT_EQ(S().deviceModels.rasterPrinterModel, 0);
}

TEST_F(StartupTest, LineRules) {
  struct Case {
    const char* line;
    int printer;  // the printer model afterwards (starts at 0)
  };
  const Case cases[] = {
      {"printer=4", 4},                   // lower-case key
      {"PRINTER and more words = 4", 4},  // the first word is the key
      {"\tPRINTER\t=\t4\t", 4},           // tabs count as blanks
      {"PRINTERS=4", 0},                  // eight letters: another key
      {"PRINTE=4", 0},                    // another key
      {"PR=4", 0},                        // a key under three characters
      {"=PRINTER=4", 0},                  // "=" first
      {"PRINTER", 0},                     // no "="
      {"PRINTER=", 0},                    // blank value
      {"PRINTER=four", 0},                // not an integer
      {"PRINTER=4 five", 4},              // the first word of the value
      {"PRINTER=4.5", 0},                 // not an integer
      {"PRINTER=4\nPRINTER=9", 9},        // a later line wins
      {"PRINTER=4\nPRINTER=x", 4},        // an invalid line changes nothing
      {"UNKNOWN=4", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    tk::ResetToolkitForTesting();
    WriteFile(cwd_ / "parven.ini", c.line);
    Start();
    EXPECT_EQ(S().deviceModels.rasterPrinterModel, c.printer);
  }
}

TEST_F(StartupTest, LongLinesAreCutAt270) {
  // "=" at position 270 is ignored; a value reaching past 270 is cut.
  std::string atLimit(269, ' ');
  atLimit.replace(0, 7, "PRINTER");
  WriteFile(cwd_ / "parven.ini", atLimit + "=5\n" + "CHARSET=" + std::string(300, 'a') + "\n");
  Start();
  EXPECT_EQ(S().deviceModels.rasterPrinterModel, 0);
  EXPECT_EQ(S().strokeFontFile, std::string(270 - 8, 'a'));
}

TEST_F(StartupTest, UnitsNeverShareANumber) {
  struct Case {
    const char* text;
    int general, plotInput;
  };
  const Case cases[] = {
      {"LFNGEN=42", 40, 42},
      {"LFNPLOTI=40", 40, 42},
      {"LFNPLOTI=41\nLFNGEN=42", 42, 41},
      {"LFNGEN=50\nLFNPLOTI=50", 50, 42},
      {"LFNPLOTIS=44", 40, 44},  // nine letters: the first eight count
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    tk::ResetToolkitForTesting();
    WriteFile(cwd_ / "parven.ini", c.text);
    Start();
    EXPECT_EQ(S().generalUnit, c.general);
    EXPECT_EQ(S().plotInputUnit, c.plotInput);
  }
}

TEST_F(StartupTest, DebugLineReportsTextValuesOfLaterLines) {
  WriteFile(cwd_ / "parven.ini", "CHARDIR=/before\nDEBUG=2\nCHARDIR=/fonts\n");
  Start();
  EXPECT_EQ(S().strokeFontDirectory, "/fonts/");
  EXPECT_EQ(tk::WErrorStatusQuery(4), tk::kReportDebugLog);
  const std::string log = ReadFile(cwd_ / "debug");
  EXPECT_EQ(log, "Routine:IStringToInteger Error=  12:Invalid character detected\r\n");
}

TEST_F(StartupTest, VersionKeyEndsAfterAllLines) {
  WriteFile(cwd_ / "parven.ini", "VERSION\nversion=\nPRINTER=8\n");
  Start();
  EXPECT_EQ(S().deviceModels.rasterPrinterModel, 8);
  EXPECT_EQ(exitCode_, 0);
  EXPECT_EQ(shown_, "Parvendrite|Abnormal exit (code 0) : Parvendrite version 1.0.0");
}

TEST_F(StartupTest, ReportingModeFromTheEnvironment) {
  struct Case {
    std::optional<std::string> value;
    int mode;
  };
  const Case cases[] = {{"4", 4}, {"12", 0}, {"5", 0}, {"x", 0}, {std::nullopt, 0}, {"2", 2}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value.value_or("(unset)"));
    tk::ResetToolkitForTesting();
    tk::ResetErrorState();
    ScopedEnv debug("PARVDEBUG", c.value);
    Start();
    EXPECT_EQ(tk::WErrorStatusQuery(4), c.mode);
    EXPECT_EQ(tk::WErrorStatusQuery(1), 0);  // the 1023 of "12" is not left behind
  }
}

TEST_F(StartupTest, HomeDirectoryRule) {
  struct Case {
    std::optional<std::string> parven, fide;
    const char* home;
  };
  const Case cases[] = {
      {"/opt/parv", std::nullopt, "/opt/parv/"},
      {"/opt/parv/", "/x/fide", "/opt/parv/"},
      {std::nullopt, "/opt/tools/Fide/bin/fide.exe", "/opt/tools/Fide/bin/"},
      {std::nullopt, "/opt/tools/FIDE/bin", "/opt/tools/"},
      {std::nullopt, "/opt/tools", "/opt/tools"},
      {std::nullopt, std::nullopt, "/parv/"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.home));
    tk::ResetToolkitForTesting();
    ScopedEnv parven("PARVEN", c.parven);
    ScopedEnv fide("FIDE", c.fide);
    Start();
    EXPECT_EQ(S().homeDirectory, c.home);
    EXPECT_EQ(S().strokeFontDirectory, std::string(c.home) + "charsets/");
  }
}

TEST_F(StartupTest, TemporaryFolderFallsBackToTmp) {
  {
    ScopedEnv temp("TEMP", std::nullopt);
    ScopedEnv tmp("TMP", "/var/tmp/");
    Start();
    EXPECT_EQ(S().temporaryDirectory, "/var/tmp/");
  }
  tk::ResetToolkitForTesting();
  ScopedEnv temp("TEMP", std::nullopt);
  Start();
  EXPECT_EQ(S().temporaryDirectory, "/tmp/");
}

TEST_F(StartupTest, TemporaryNameSkipsExistingFiles) {
  WriteFile(temp_ / "jqx$$00.plt", "");
  Start();
  EXPECT_EQ(S().plotFile, (temp_ / "jqx$$01.plt").string());
  EXPECT_EQ(S().dumpFile, (temp_ / "jqx$$00.dmp").string());
}

TEST_F(StartupTest, TemporaryFilesAreClaimedExclusively) {
  Start();
  std::string first, second;
  ASSERT_EQ(tk::TemporaryFileClaim(tk::TemporaryKind::Plot, first), 0);
  EXPECT_EQ(first, (temp_ / "jqx$$00.plt").string());
  EXPECT_TRUE(std::filesystem::exists(first));
  // Another copy of the program chose the same name at its start-up.
  ASSERT_EQ(tk::TemporaryFileClaim(tk::TemporaryKind::Plot, second), 0);
  EXPECT_EQ(second, (temp_ / "jqx$$01.plt").string());
  ASSERT_EQ(tk::TemporaryFileClaim(tk::TemporaryKind::ScreenDump, second), 0);
  EXPECT_EQ(second, (temp_ / "jqx$$00.dmp").string());
}

TEST_F(StartupTest, AllHundredNamesTakenIsAnError) {
  for (int i = 0; i <= 99; ++i) {
    WriteFile(temp_ / ("jqx$$" + std::string(i < 10 ? "0" : "") + std::to_string(i) + ".plt"),
              "keep");
  }
  Start();
  EXPECT_EQ(S().plotFile, "");
  std::string path = "unchanged";
  EXPECT_EQ(tk::TemporaryFileClaim(tk::TemporaryKind::Plot, path), -1);
  EXPECT_EQ(path, "");
  EXPECT_EQ(tk::WErrorStatusQuery(1), tk::kErrOpen);
  EXPECT_EQ(tk::WErrorStatusQuery(2), EEXIST);
  EXPECT_EQ(ReadFile(temp_ / "jqx$$99.plt"), "keep");
}

TEST_F(StartupTest, VariableReader) {
  ScopedEnv v("VELLORAN_TEST_VAR", "abc");
  std::string text(5, '?');
  tk::IOsVariable(" VELLORAN_TEST_VAR  ", text);
  EXPECT_EQ(text, "abc  ");
  std::string small(2, '?');
  tk::IOsVariable("VELLORAN_TEST_VAR", small);
  EXPECT_EQ(small, "  ");
  EXPECT_EQ(tk::WErrorStatusQuery(1), 1023);
  tk::IOsVariable("VELLORAN_TEST_UNSET_VAR", text);
  EXPECT_EQ(text, "     ");
  EXPECT_EQ(tk::WErrorStatusQuery(1), 0);
}

TEST_F(StartupTest, AbnormalExitMessages) {
  EXPECT_EQ(tk::AbnormalExitMessage("  Failed to execute program  ", 2),
            "Abnormal exit (code 2) : Failed to execute program");
  EXPECT_EQ(tk::AbnormalExitMessage("x", -123), "Abnormal exit (code -123) : x");
  EXPECT_EQ(tk::AbnormalExitMessage("x", 12345), "Abnormal exit (code ****) : x");
  EXPECT_EQ(tk::AbnormalExitMessage("   ", 2), "");
  tk::AbnormalExit("", 3);
  EXPECT_EQ(exitCode_, 3);
  EXPECT_EQ(shown_, "");
}

// Without a show hook the message always reaches standard error, and also
// the message box when one can be shown (before the main window exists too).
TEST_F(StartupTest, AbnormalExitWritesStandardErrorAndShowsTheBox) {
  tk::SetAbnormalExitHooks(nullptr, [this](int code) { exitCode_ = code; });
  for (const bool boxShown : {true, false}) {
    SCOPED_TRACE(boxShown ? "box shown" : "no display");
    std::string boxed;
    tk::SetAbnormalExitBox([&](const std::string& title, const std::string& text) {
      boxed = title + "|" + text;
      return boxShown;
    });
    testing::internal::CaptureStderr();
    tk::AbnormalExit("Failed to execute program", 2);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err, "Parvendrite: Abnormal exit (code 2) : Failed to execute program\n");
    EXPECT_EQ(boxed, "Parvendrite|Abnormal exit (code 2) : Failed to execute program");
    EXPECT_EQ(exitCode_, 2);
  }
  tk::SetAbnormalExitBox(nullptr);
}

}  // namespace
