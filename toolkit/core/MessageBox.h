#pragma once
// The toolkit's modal question-and-answer box.
#include <string>
#include <string_view>

namespace tk {

/// Button sets (BUTTONS): 0 OK (also any value outside 1-5), 1 OK Cancel,
/// 2 Retry Cancel, 3 Yes No, 4 Yes No Cancel, 5 Abort Retry Ignore.
/// ICON: 1 stop, 2 question, 3 exclamation, 4 information, else none.
/// DEFAULT_BUTTON in answer numbers: two-button sets 1 the first, else the
/// second; Yes No Cancel 1 Yes, 2 No, else Cancel; Abort Retry Ignore 1
/// Retry, 2 Abort, else Ignore.
/// The answer (1 OK, Yes, Retry; 0 Cancel, Ignore; 2 No, Abort) is left in
/// WDialogStatusQuery item 4 and item 2 is set to 0. A box that cannot be
/// shown reports 1004 and leaves item 4 as it was. MESSAGE and TITLE lose
/// their trailing blanks; a carriage return in MESSAGE starts a new line.
void WMessageBox(int buttons, int icon, int defaultButton, std::string_view message,
                 std::string_view title);

/// WMessageBox that also returns the answer (-1 when the box could not be shown).
int MessageBoxAnswer(int buttons, int icon, int defaultButton, std::string_view message,
                     std::string_view title);

namespace detail {
/// The error reporter's message-box delivery: the "Library Error" box;
/// Cancel ends the program with exit status 1.
void ReportToMessageBox(const std::string& report);
}  // namespace detail

}  // namespace tk
