#include "support/Progress.h"

#include <algorithm>
#include <utility>

#include "support/ProgramState.h"

#include "support/PollPacer.h"
#include "toolkit/core/Windows.h"
#include "toolkit/dialogs/Dialogs.h"

namespace sup {
namespace {

struct State {
  ProgressHook hook;
  ProgressState progress;
  bool shown = false;  // dialog 127 was shown by ProgressOpen
  PollPacer bar;       // the dialog's bar, at most once per kPollInterval
};

State& Get() {
  static State state;
  return state;
}
const bool kRegistered = RegisterProgramReset(ProgramLayer::Support, [] { Get() = State{}; });

/// The progress dialog needs the program's windows; a run without them (a
/// conversion from the command line) shows none.
bool HaveWindows() {
  return tk::WindowSlotInUse(tk::kMainWindow);
}

/// Whether the current dialog has the progress bar.
bool CurrentHasBar() {
  return tk::WDialogStatusQuery(3) != 0 &&
         tk::WDialogFieldInfo(kProgressBarField, 5) == tk::kFieldProgressBar;
}

}  // namespace

void ProgressOpen(std::string_view fileName) {
  State& s = Get();
  s.progress = {true, std::string(fileName), 0};
  s.bar.Restart();
  if (s.hook.open) {
    s.hook.open(fileName);
    return;
  }
  if (!HaveWindows()) return;
  tk::WDialogLoad(kProgressDialog);
  if (tk::WDialogStatusQuery(3) != kProgressDialog) return;
  tk::WDialogPutProgressBar(kProgressBarField, 0);
  tk::WDialogShow(-1, -1, 0, tk::kShowSemiModeless);
  tk::WDialogPutString(kProgressFileField, fileName);
  s.shown = true;
}

void ProgressSet(int percent) {
  State& s = Get();
  s.progress.percent = std::clamp(percent, 0, 100);
  if (s.hook.set) {
    s.hook.set(s.progress.percent);
    return;
  }
  // Redrawing the bar for every trace of a long read would cost more than
  // the read; the end of the run is always shown.
  if (s.progress.percent < 100 && !s.bar.Due()) return;
  if (HaveWindows() && CurrentHasBar())
    tk::WDialogPutProgressBar(kProgressBarField, s.progress.percent);
}

void ProgressClose() {
  State& s = Get();
  s.progress.open = false;
  if (s.hook.close) {
    s.hook.close();
    return;
  }
  if (!s.shown) return;
  s.shown = false;
  if (!HaveWindows()) return;
  tk::WDialogSelect(kProgressDialog);
  if (tk::WDialogStatusQuery(3) == kProgressDialog) tk::WDialogHide();
}

void SetProgressHook(ProgressHook hook) {
  Get().hook = std::move(hook);
}

const ProgressState& CurrentProgress() {
  return Get().progress;
}

}  // namespace sup
