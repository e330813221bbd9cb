// The toolkit's message box: see MessageBox.h.
#include "toolkit/core/MessageBox.h"

#include "platform/dialog/MessageBox.h"
#include "platform/window/Window.h"
#include "toolkit/core/AbnormalExit.h"
#include "toolkit/core/Errors.h"
#include "toolkit/core/ModalState.h"

namespace tk {

namespace {

constexpr int kErrCommonDialog = 1004;

std::string Prepared(std::string_view text) {
  text = text.substr(0, text.find('\0'));
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return std::string(text);
}

plat::MessageBoxButtons ButtonSet(int buttons) {
  switch (buttons) {
    case 1:
      return plat::MessageBoxButtons::OkCancel;
    case 2:
      return plat::MessageBoxButtons::RetryCancel;
    case 3:
      return plat::MessageBoxButtons::YesNo;
    case 4:
      return plat::MessageBoxButtons::YesNoCancel;
    case 5:
      return plat::MessageBoxButtons::AbortRetryIgnore;
    default:
      return plat::MessageBoxButtons::Ok;
  }
}

/// The default answer as a 0-based position in the row.
int DefaultPosition(int buttons, int wanted) {
  switch (buttons) {
    case 1:
    case 2:
    case 3:
      return wanted == 1 ? 0 : 1;
    case 4:
      return wanted == 1 ? 0 : wanted == 2 ? 1 : 2;
    case 5:
      return wanted == 1 ? 1 : wanted == 2 ? 0 : 2;
    default:
      return 0;
  }
}

plat::MessageBoxIcon IconOf(int icon) {
  switch (icon) {
    case 1:
      return plat::MessageBoxIcon::Stop;
    case 2:
      return plat::MessageBoxIcon::Question;
    case 3:
      return plat::MessageBoxIcon::Exclamation;
    case 4:
      return plat::MessageBoxIcon::Information;
    default:
      return plat::MessageBoxIcon::None;
  }
}

int AnswerOf(plat::MessageBoxResult r) {
  switch (r) {
    case plat::MessageBoxResult::Ok:
    case plat::MessageBoxResult::Yes:
    case plat::MessageBoxResult::Retry:
      return 1;
    case plat::MessageBoxResult::Cancel:
    case plat::MessageBoxResult::Ignore:
      return 0;
    case plat::MessageBoxResult::No:
    case plat::MessageBoxResult::Abort:
      return 2;
    case plat::MessageBoxResult::Failed:
      break;
  }
  return -1;
}

}  // namespace

int MessageBoxAnswer(int buttons, int icon, int defaultButton, std::string_view message,
                     std::string_view title) {
  const int position = DefaultPosition(buttons, defaultButton);
  int status = 0;
  WindowSnapshot(1, -1, status);

  int answer = -1;
  {
    const plat::Hwnd owner = CurrentOwnerWindow();
    const plat::Hwnd focus = plat::GetFocus();
    DisableOwnerWindows(owner, true);
    const plat::MessageBoxResult r = plat::MessageBox({.owner = owner,
                                                       .text = Prepared(message),
                                                       .caption = Prepared(title),
                                                       .buttons = ButtonSet(buttons),
                                                       .icon = IconOf(icon),
                                                       .defaultButton = position});
    EnableOwnerWindows(owner, true);
    if (focus != plat::kNoWindow && plat::IsWindow(focus) &&
        (focus == owner || plat::IsChild(owner, focus)))
      plat::SetFocus(focus);
    answer = AnswerOf(r);
  }

  WindowSnapshot(0, -1, status);
  DialogStatus().focusBefore = 0;
  if (answer == -1)
    ReportLibraryError(kErrCommonDialog, "WMessageBox");
  else
    DialogStatus().answer = answer;
  return answer;
}

void WMessageBox(int buttons, int icon, int defaultButton, std::string_view message,
                 std::string_view title) {
  (void)MessageBoxAnswer(buttons, icon, defaultButton, message, title);
}

namespace detail {

void ReportToMessageBox(const std::string& report) {
  // "Routine:NAME Error=CODE:MESSAGE" shown as three lines.
  std::string text = report;
  if (const auto at = report.find(" Error="); at != std::string::npos) {
    const std::string code = report.substr(at + 7, 4);
    const std::string rest = at + 12 <= report.size() ? report.substr(at + 12) : std::string();
    text = report.substr(0, at) + "\rError=" + code + "\r" + rest;
  }
  // The answer of this box decides, never a status word an earlier dialog
  // left; a box that could not be shown lets the program go on.
  if (MessageBoxAnswer(1, 3, 1, text, "Library Error") == 0) AbnormalExit("", 1);
}

}  // namespace detail

}  // namespace tk
