#include "support/UserMessages.h"

#include <cstdio>
#include <utility>

namespace sup {
namespace {

void WriteToStandardError(UserMessageKind, std::string_view title, std::string_view text) {
  std::fprintf(stderr, "%.*s: %.*s\n", static_cast<int>(title.size()), title.data(),
               static_cast<int>(text.size()), text.data());
}

struct MessageState {
  UserMessageHook hook = WriteToStandardError;
  UserMessage last;
  int count = 0;
};

MessageState& Messages() {
  static MessageState state;
  return state;
}

struct AbortState {
  AbortPollHook poll;
  bool latch = false;
};

AbortState& Abort() {
  static AbortState state;
  return state;
}

void Show(UserMessageKind kind, std::string_view text) {
  MessageState& m = Messages();
  m.last.kind = kind;
  m.last.text.assign(text);
  ++m.count;
  // Copy the hook so that a hook replacing itself while it runs is safe.
  const UserMessageHook hook = m.hook;
  hook(kind, kLibraryMessageTitle, text);
}

}  // namespace

void WINMSG(std::string_view MSG) {
  Show(UserMessageKind::Information, MSG);
}
void WINWRN(std::string_view MSG) {
  Show(UserMessageKind::Warning, MSG);
}

const UserMessage& LastUserMessage() {
  return Messages().last;
}
int UserMessageCount() {
  return Messages().count;
}
void ClearUserMessages() {
  Messages().last = UserMessage{};
  Messages().count = 0;
}

void SetUserMessageHook(UserMessageHook hook) {
  Messages().hook = hook ? std::move(hook) : UserMessageHook(WriteToStandardError);
}

bool LKILL(int LRESET) {
  AbortState& a = Abort();
  if (LRESET != 0) {
    a.latch = false;
    return false;
  }
  if (a.poll && a.poll()) a.latch = true;
  return a.latch;
}

void SetAbortPollHook(AbortPollHook hook) {
  Abort().poll = std::move(hook);
}

}  // namespace sup
