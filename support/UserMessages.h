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
// takes one pending event without waiting and latches true when that event
// was a dialog push button. Keys, mouse events and push buttons are consumed;
// exposes and resizes are held per window and delivered by the next
// WEventWait, so a window uncovered during a long read is still redrawn.
// Nothing but a reset clears the latch. The toolkit's poll is taken about
// once per kPollInterval at most (support/PollPacer.h), the first after a
// reset at once; in between a call gives the latch as it stands. A poll hook is asked
// at every call.
//
// The dialog-field helpers put reals (a missing value as "Unknown"), strings
// and logical check boxes into fields of the current dialog.
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
/// default, the toolkit's message box with one OK button.
using UserMessageHook =
    std::function<void(UserMessageKind kind, std::string_view title, std::string_view text)>;
void SetUserMessageHook(UserMessageHook hook);

/// The abort latch: LRESET non-zero clears it and gives false; zero polls one
/// event (the toolkit's poll when due) and gives the latch.
bool LKILL(int LRESET);

/// Takes one pending event without waiting; true when it was a push button of
/// a dialog. An empty hook restores the default, the toolkit's event poll.
using AbortPollHook = std::function<bool()>;
void SetAbortPollHook(AbortPollHook hook);

/// The default poll: one event from WEventPeek, exposes and resizes held for
/// the next wait; true for a dialog push button.
bool PollToolkitEvents();

// --- Dialog-field helpers (the current dialog) ---

/// X > 1e10 shows "Unknown"; otherwise X with a format by its magnitude.
void MVPUTREAL(int IFIELD, float X);
/// STR(1:N) into the field; one blank when N < 1.
void PUTDLGSTRING(int IFIELD, std::string_view STR, int N);
/// The check box from a logical.
void WDIALOGPUTCHECKBOXL(int IFIELD, bool L);
/// L := the check box is checked; false when it cannot be read. The result is L.
bool WDIALOGGETCHECKBOXL(int IFIELD, bool& L);

/// How the helpers reach the dialog manager's field access: by default the
/// dialog manager itself; tests may stand in for it. A value with no member
/// set restores the default.
struct DialogFieldAccess {
  std::function<void(int field, std::string_view text)> putString;
  std::function<void(int field, float value, std::string_view format)> putReal;
  std::function<void(int field, int state)> putCheckBox;
  /// False when the read failed (no current dialog, no such field).
  std::function<bool(int field, int& state)> getCheckBox;
};
void SetDialogFieldAccess(DialogFieldAccess access);

/// The edit descriptor MVPUTREAL uses for X (X not missing).
std::string_view MissingValueFormat(float X);

}  // namespace sup
