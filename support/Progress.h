#pragma once
// The progress display of long reads and writes: dialog 127 with the file name
// in field 1020, the bar 1021 and a Cancel button. A reader opens it for more
// than 100 traces, sets the bar from 0 to 100 percent and closes it; in batch
// mode it only sets the bar of whatever dialog is current. Cancel reaches the
// loop through LKILL. The dialog's bar is redrawn at most once per
// kPollInterval (support/PollPacer.h), and always at 100 percent; a hook
// takes every call.
//
// A hook, when set, takes the calls instead of the dialog (tests and callers
// with a display of their own); the last state is kept for tests. Without the
// program's main window no dialog is shown.
#include <functional>
#include <string>
#include <string_view>

namespace sup {

inline constexpr int kProgressDialog = 127;
inline constexpr int kProgressFileField = 1020;
inline constexpr int kProgressBarField = 1021;

/// Shows the progress dialog for FILENAME with the bar at 0.
void ProgressOpen(std::string_view fileName);
/// Sets the bar of the current dialog to PERCENT (clamped to 0..100).
void ProgressSet(int percent);
/// Hides the progress dialog.
void ProgressClose();

struct ProgressHook {
  std::function<void(std::string_view fileName)> open;
  std::function<void(int percent)> set;
  std::function<void()> close;
};
/// Replaces the hook; a default-constructed one restores "do nothing".
void SetProgressHook(ProgressHook hook);

struct ProgressState {
  bool open = false;
  std::string fileName;
  int percent = 0;
};
/// What the calls so far have asked for.
const ProgressState& CurrentProgress();

}  // namespace sup
