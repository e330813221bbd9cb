#pragma once
// The toolkit's error reporter: one error record for the process, the report
// line every failing toolkit routine produces, and the debug log.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace tk {

/// Where reports go.
enum ErrorReportMode : std::int32_t {
  kReportSilent = 0,      // record only (the start-up value)
  kReportStdout = 1,      // one line on standard output
  kReportDebugLog = 2,    // one line in the debug log file
  kReportStatusBar = 3,   // status-bar part 1 of the main window
  kReportMessageBox = 4,  // a message box that lets the user end the program
};

/// Error classes recorded by the failing routine before it reports.
enum ErrorClass : std::int32_t {
  kErrorClassNone = 0,
  kErrorClassTextFile = 1,
  kErrorClassFile = 2,
};

/// Codes used by the routines built so far (the full table lives in Errors.cpp).
enum ToolkitErrorCode : std::int32_t {
  kErrOpen = 1,               // "Error opening file or device"
  kErrReadWrite = 2,          // "Error reading/writing file or device"
  kErrNumberTooLarge = 4,     // "Number too large in string to numeric conversion"
  kErrNoSubstring = 10,       // "No substring found"
  kErrTwoDecimalPoints = 11,  // "More than one decimal point in number"
  kErrInvalidCharacter = 12,  // "Invalid character detected"
  kErrOperatingSystem = 13,   // "Operating system error"
  kErrNumberToString = 18,    // "Numeric to string conversion error"
  kErrZlib = 1044,            // "Zlib compression/decompression error"
};

/// The one error record of the process; all fields 0 after start-up.
struct ToolkitErrorState {
  std::int32_t lastError = 0;        // code of the most recent report
  std::int32_t systemError = 0;      // system error of the last failed file operation
  std::int32_t secondaryStatus = 0;  // system error of the last failed OS service / zlib status
  std::int32_t reportMode = kReportSilent;
  std::int32_t errorClass = kErrorClassNone;
};

/// The process's error record.
ToolkitErrorState& ErrorState();

/// Zeroes the error record (toolkit start-up; tests).
void ResetErrorState();

/// Records CODE and delivers the report of ROUTINE (blank-padded; only the
/// trimmed part is shown) according to the reporting mode.
void ReportLibraryError(int code, std::string_view routine);

/// Stores SYSTEM_ERROR, sets the file error class and reports CODE: the one
/// path by which byte-stream and system file operations report.
void ReportFileError(int code, int systemError, std::string_view routine);

/// Sets the reporting mode; a value outside 0-4 is ignored.
void ErrorReportModeSet(int mode);

/// Item 1 last error code, 2 system error, 3 secondary status (items 1-3 are
/// cleared by being read), 4 reporting mode, 5 error class; 0 for other items.
int WErrorStatusQuery(int item);

/// Writes the text for VALUE into TEXT, blank-padded or cut to TEXT's length:
/// kind 1 the toolkit error table, 2 the system's message for a system error
/// (blank for 0), 3 the compression library's status table.
void ToolkitErrorText(int value, std::string& text, int kind = 1);

/// The untruncated, unpadded text of ToolkitErrorText.
std::string ToolkitErrorMessage(int value, int kind = 1);

/// The report line for CODE from ROUTINE, as delivered (trimmed, at most 200
/// characters), built from the current error record.
std::string BuildErrorReport(int code, std::string_view routine);

/// Appends TEXT and CR LF to the debug log, creating it on first use in the
/// current directory as "debug", "debug.txt" or "debug.dat".
void DebugLogLine(std::string_view text);
/// Closes the debug log so that the next line creates it again in the then
/// current directory. For tests, which run many starts in one process.
void DebugLogForget();

/// Replaces the delivery of modes 3 (status-bar part 1 of the main window)
/// and 4 (the "Library Error" message box; Cancel there ends the program
/// with exit status 1); an empty hook restores them.
using ErrorDeliveryHook = std::function<void(int mode, const std::string& report)>;
void SetErrorDeliveryHook(ErrorDeliveryHook hook);

/// Saves the last error code and the reporting mode, silences both for the
/// object's lifetime and restores them afterwards (the quiet parsers).
class QuietErrors {
 public:
  QuietErrors();
  ~QuietErrors();
  QuietErrors(const QuietErrors&) = delete;
  QuietErrors& operator=(const QuietErrors&) = delete;
  /// True when something failed since the object was made.
  bool Failed() const;

 private:
  std::int32_t savedCode_;
  std::int32_t savedMode_;
};

}  // namespace tk
