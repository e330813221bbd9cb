#pragma once
// Handing a finished job to the print system (`lp`): the box shown while lp
// runs, with Cancel, and the message that tells the user when lp refused the
// job, did not answer in time or was cancelled. The printer driver's job and
// the raw output behind the printer names ("PRN", "LPT1"-"LPT3") both end
// here.
#include <string>

namespace tk {

/// Dialog shown while lp runs: its text field, bar and Cancel button.
inline constexpr int kPrintWaitDialog = 127;
inline constexpr std::string_view kPrintMessageTitle = "Print";
/// How long lp may run before the box with Cancel comes up, in milliseconds.
inline constexpr int kPrintWaitBoxDelayMs = 1000;

/// The text telling the user that a hand-over failed: TIMED_OUT, CANCELLED,
/// else lp ended with EXIT_STATUS (or could not run: ERROR) and said ANSWER;
/// KEPT_FILE, when not empty, is where the document stays.
std::string PrintHandOverMessage(bool timedOut, bool cancelled, int exitStatus, int error,
                                 const std::string& answer, const std::string& keptFile);

/// Shows that text in a message box (exclamation, OK) titled "Print".
void PrintHandOverFailed(bool timedOut, bool cancelled, int exitStatus,
                         const std::string& answer, const std::string& keptFile,
                         int error = 0);

/// Installs the wait of every print command: while lp runs the toolkit
/// windows repaint from their pictures, input goes nowhere, and after a
/// moment the box with Cancel shows; Cancel gives the job up.
void ConnectPrintWait();

}  // namespace tk
