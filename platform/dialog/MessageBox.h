#pragma once
// The message box: a text, a caption, a row of buttons and an optional icon,
// shown modally over its owner until the user presses a button.
//
// Keys: Enter presses the focused button (at first the default one),
// Escape presses Cancel (or OK when it is alone), Left, Right, Up, Down and
// Tab move the focus between the buttons, and a button's first letter
// presses it. Closing the box counts as Escape.
//
// Where nobody can answer (no window system, or the headless backend with
// nothing scripted), the
// box writes its caption and text to standard error and answers with its
// default button. A test scripts the answer with the backend's scripted
// answer of kind "messagebox": a button name ("OK", "Cancel", "Yes", "No",
// "Retry", "Abort", "Ignore", any case), "Enter" (the default button) or
// "Escape". Every box shown is recorded for tests to read back.
#include <string>
#include <string_view>
#include <vector>

#include "platform/window/Window.h"

namespace plat {

enum class MessageBoxButtons { Ok, OkCancel, RetryCancel, YesNo, YesNoCancel, AbortRetryIgnore };
enum class MessageBoxIcon { None, Stop, Question, Exclamation, Information };
/// The button pressed (the standard answer numbers); Failed when the box could not be shown.
enum class MessageBoxResult {
  Failed = 0,
  Ok = 1,
  Cancel = 2,
  Abort = 3,
  Retry = 4,
  Ignore = 5,
  Yes = 6,
  No = 7
};

struct MessageBoxParams {
  Hwnd owner = kNoWindow;  // disabled while the box is up; the box is centred on it
  std::string text;        // "\r", "\n" or "\r\n" start a new line
  std::string caption;
  MessageBoxButtons buttons = MessageBoxButtons::Ok;
  MessageBoxIcon icon = MessageBoxIcon::None;
  int defaultButton = 0;  // 0-based position in the row (out of range: the first)
};

/// Shows the box and returns the button pressed.
MessageBoxResult MessageBox(const MessageBoxParams& params);

/// The window class of the box.
inline constexpr std::string_view kMessageBoxClass = "#MessageBox";

/// What was shown and answered.
struct MessageBoxRecord {
  std::string caption;
  std::string text;
  MessageBoxButtons buttons = MessageBoxButtons::Ok;
  MessageBoxIcon icon = MessageBoxIcon::None;
  int defaultButton = 0;
  MessageBoxResult answer = MessageBoxResult::Failed;
};
/// Every box shown since the last clear, oldest first.
const std::vector<MessageBoxRecord>& MessageBoxLog();
void ClearMessageBoxLog();

/// The buttons of a set, left to right.
std::vector<MessageBoxResult> MessageBoxButtonRow(MessageBoxButtons buttons);
/// The name shown on a button ("OK", "Cancel", ...).
std::string_view MessageBoxButtonName(MessageBoxResult button);

}  // namespace plat
