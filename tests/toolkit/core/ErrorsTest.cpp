#include <gtest/gtest.h>

#include <cerrno>

#include "tests/TestSupport.h"
#include "toolkit/core/Errors.h"

namespace {

class ErrorsTest : public ::testing::Test {
 protected:
  void SetUp() override { tk::ResetErrorState(); }
  void TearDown() override {
    tk::ResetErrorState();
    tk::SetErrorDeliveryHook(nullptr);
  }
};

TEST_F(ErrorsTest, SilentModeRecordsTheCodeForOneRead) {
  tk::ReportLibraryError(1010, "WDialogGetReal");
  EXPECT_EQ(tk::WErrorStatusQuery(1), 1010);
  EXPECT_EQ(tk::WErrorStatusQuery(1), 0);
  EXPECT_EQ(tk::WErrorStatusQuery(4), tk::kReportSilent);
}

TEST_F(ErrorsTest, StatusItemsTwoAndThreeClearWhenReadFourAndFiveStay) {
  tk::ReportFileError(2, ENOENT, "IFileRead");
  tk::ErrorState().secondaryStatus = 7;
  EXPECT_EQ(tk::WErrorStatusQuery(2), ENOENT);
  EXPECT_EQ(tk::WErrorStatusQuery(2), 0);
  EXPECT_EQ(tk::WErrorStatusQuery(3), 7);
  EXPECT_EQ(tk::WErrorStatusQuery(3), 0);
  EXPECT_EQ(tk::WErrorStatusQuery(5), tk::kErrorClassFile);
  EXPECT_EQ(tk::WErrorStatusQuery(5), tk::kErrorClassFile);
  EXPECT_EQ(tk::WErrorStatusQuery(99), 0);
}

TEST_F(ErrorsTest, ReportTexts) {
  struct Case {
    const char* name;
    int code;
    int errorClass;
    int systemError;
    const char* routine;
    const char* expected;
  };
  const Case cases[] = {
      {"four-digit code", 1010, 0, 0, "WDialogGetReal",
       "Routine:WDialogGetReal Error=1010:Field value undefined"},
      {"internal routine", 1003, 0, 0, "YYWINSEL  ",
       "Internal routine:YYWINSEL Error=1003:Invalid window handle"},
      {"text-file class has no system text", 1, 1, ENOENT, "IFileOpen",
       "Routine:IFileOpen Error=   1:Error opening file or device"},
      {"file class adds the system text", 1, 2, ENOENT, "IFileOpen",
       "Routine:IFileOpen Error=   1:Error opening file or device: No such file or directory"},
      {"system error 0 leaves the colon", 1, 2, 0, "IFileOpen",
       "Routine:IFileOpen Error=   1:Error opening file or device:"},
      {"unknown code has a blank text", 77, 0, 0, "IGrThing", "Routine:IGrThing Error=  77:"},
      {"code too wide", 123456, 0, 0, "X", "Routine:X Error=****:"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    tk::ErrorState().errorClass = c.errorClass;
    tk::ErrorState().systemError = c.systemError;
    EXPECT_EQ(tk::BuildErrorReport(c.code, c.routine), c.expected);
  }
}

TEST_F(ErrorsTest, ZlibAndOperatingSystemCodesAppendTheSecondaryStatus) {
  tk::ErrorState().secondaryStatus = -3;
  EXPECT_EQ(tk::BuildErrorReport(1044, "IGrLoadImage"),
            "Routine:IGrLoadImage Error=1044:Zlib compression/decompression error: data error");
  tk::ErrorState().secondaryStatus = ENOENT;
  EXPECT_EQ(tk::BuildErrorReport(13, "IOsCopyFile"),
            "Routine:IOsCopyFile Error=  13:Operating system error: No such file or directory");
}

TEST_F(ErrorsTest, LongRoutineNamesAreCutAtTwoHundred) {
  const std::string name(250, 'N');
  const std::string report = tk::BuildErrorReport(2, name);
  EXPECT_EQ(report.size(), 200u);
}

TEST_F(ErrorsTest, StdoutModeWritesOneLineAndKeepsTheMode) {
  tk::ErrorReportModeSet(tk::kReportStdout);
  testing::internal::CaptureStdout();
  tk::ReportLibraryError(18, "IntegerToString");
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(out, " Routine:IntegerToString Error=  18:Numeric to string conversion error\n");
  EXPECT_EQ(tk::WErrorStatusQuery(4), tk::kReportStdout);
  EXPECT_EQ(tk::WErrorStatusQuery(1), 18);
}

TEST_F(ErrorsTest, ModeOutsideRangeIsIgnored) {
  tk::ErrorReportModeSet(2);
  tk::ErrorReportModeSet(5);
  tk::ErrorReportModeSet(-1);
  EXPECT_EQ(tk::WErrorStatusQuery(4), 2);
}

TEST_F(ErrorsTest, HookDeliversModesThreeAndFourSilently) {
  int seenMode = -1;
  std::string seen;
  int modeDuringDelivery = -1;
  tk::SetErrorDeliveryHook([&](int mode, const std::string& report) {
    seenMode = mode;
    seen = report;
    modeDuringDelivery = tk::ErrorState().reportMode;
    tk::ReportLibraryError(1003, "WindowSelect");  // fails while delivering
  });
  tk::ErrorReportModeSet(tk::kReportMessageBox);
  tk::ReportLibraryError(1010, "WDialogGetReal");
  EXPECT_EQ(seenMode, 4);
  EXPECT_EQ(seen, "Routine:WDialogGetReal Error=1010:Field value undefined");
  EXPECT_EQ(modeDuringDelivery, tk::kReportSilent);
  EXPECT_EQ(tk::WErrorStatusQuery(1), 1010);  // the failure while delivering did not replace it
  EXPECT_EQ(tk::WErrorStatusQuery(4), 4);
}

TEST_F(ErrorsTest, ErrorTextIsPaddedOrCut) {
  std::string text(10, 'x');
  tk::ToolkitErrorText(10, text);
  EXPECT_EQ(text, "No substri");
  text.assign(25, 'x');
  tk::ToolkitErrorText(2, text, 3);
  EXPECT_EQ(text, "need dictionary          ");
  tk::ToolkitErrorText(0, text, 2);
  EXPECT_EQ(text, std::string(25, ' '));
  tk::ToolkitErrorText(9999, text, 1);
  EXPECT_EQ(text, std::string(25, ' '));
}

TEST_F(ErrorsTest, DebugLogModeAppendsCrLfLines) {
  testing_support::TempDir dir;
  const auto previous = std::filesystem::current_path();
  std::filesystem::current_path(dir.path());
  tk::ErrorReportModeSet(tk::kReportDebugLog);
  tk::ReportLibraryError(10, "IStringToInteger");
  tk::DebugLogLine(std::string("second\0ignored", 14));
  std::filesystem::current_path(previous);
  EXPECT_EQ(testing_support::ReadFile(dir / "debug"),
            "Routine:IStringToInteger Error=  10:No substring found\r\nsecond\r\n");
}

TEST_F(ErrorsTest, QuietErrorsRestoreCodeAndMode) {
  tk::ErrorState().lastError = 4;
  tk::ErrorReportModeSet(tk::kReportStdout);
  testing::internal::CaptureStdout();
  {
    tk::QuietErrors quiet;
    EXPECT_FALSE(quiet.Failed());
    tk::ReportLibraryError(12, "Inside");
    EXPECT_TRUE(quiet.Failed());
  }
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_EQ(tk::WErrorStatusQuery(1), 4);
  EXPECT_EQ(tk::WErrorStatusQuery(4), tk::kReportStdout);
}

}  // namespace
