#pragma once
// The library's message boxes and abort poll.
//
// WINMSG and WINWRN show one text with an OK button under the title
// "Morvane Library Message" (information and exclamation icon). Until the
// message-box layer is connected they go through a settable hook, by default
// writing the title and text to standard error. The last message is kept so
// tests can assert the exact text.
//
// LKILL is the abort latch that long loops poll between traces or files: a
// call with a non-zero argument clears it and returns false; a call with zero
// takes one pending event (through the poll hook) and latches true when that
// event was a dialog push button. Nothing but a reset clears the latch.
#include <functional>
#include <string>
#include <string_view>

namespace sup {

/// Title of every library message box.
inline constexpr std::string_view kLibraryMessageTitle = "Morvane Library Message";

enum class UserMessageKind { Information, Warning };

/// Shows MSG as an information box.
void WINMSG(std::string_view MSG);
/// Shows MSG as a warning box.
void WINWRN(std::string_view MSG);

struct UserMessage {
  UserMessageKind kind = UserMessageKind::Information;
  std::string text;
};

/// The last message shown (empty text before the first), and how many have
/// been shown since the last ClearUserMessages.
const UserMessage& LastUserMessage();
int UserMessageCount();
void ClearUserMessages();

/// Delivers a message box: kind, title, text. An empty hook restores the
/// default (title and text to standard error).
using UserMessageHook =
    std::function<void(UserMessageKind kind, std::string_view title, std::string_view text)>;
void SetUserMessageHook(UserMessageHook hook);

/// The abort latch: LRESET non-zero clears it and gives false; zero polls one
/// event and gives the latch.
bool LKILL(int LRESET);

/// Takes one pending event without waiting; true when it was a push button of
/// a dialog. An empty hook restores the default (no event is ever pending).
using AbortPollHook = std::function<bool()>;
void SetAbortPollHook(AbortPollHook hook);

}  // namespace sup
