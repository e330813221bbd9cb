#pragma once
// Ending the process at once, with an optional last message.
#include <functional>
#include <string>
#include <string_view>

namespace tk {

/// Ends the process with CODE as its exit code, without closing windows or
/// saving anything. When the trimmed TEXT is not blank, the message
/// "Abnormal exit (code N) : TEXT" is shown first (on standard error, titled
/// "Parvendrite", when no message-box hook is installed).
void AbnormalExit(std::string_view text, int code);

/// The text AbnormalExit shows for TEXT and CODE; empty for a blank text.
std::string AbnormalExitMessage(std::string_view text, int code);

/// Replaces how the message is shown and how the process ends (tests; the
/// window layer's message box). Empty functions restore the defaults.
using AbnormalExitShow = std::function<void(const std::string& title, const std::string& text)>;
using ProcessExitFunction = std::function<void(int code)>;
void SetAbnormalExitHooks(AbnormalExitShow show, ProcessExitFunction exit);

/// How the message is shown when no show hook is installed: it always goes to
/// standard error, and also to the window layer's message box when a display
/// exists (SHOW returns false when it could not show it). Empty: standard
/// error only.
using AbnormalExitBox = std::function<bool(const std::string& title, const std::string& text)>;
void SetAbnormalExitBox(AbnormalExitBox show);

/// A failure the program cannot go on from, before or after its main window
/// exists: TEXT to standard error as "TITLE: TEXT", and in the message box
/// above when a display exists.
void ReportFatal(const std::string& title, const std::string& text);

}  // namespace tk
