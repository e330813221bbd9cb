#include "support/UserMessages.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <utility>

#include "platform/FixedText.h"
#include "support/ProgramState.h"

#include "support/PollPacer.h"
#include "toolkit/core/Errors.h"
#include "toolkit/core/Events.h"
#include "toolkit/core/MessageBox.h"
#include "toolkit/dialogs/Dialogs.h"
#include "toolkit/core/Windows.h"

namespace sup {
namespace {

// One OK button; the information icon for WINMSG, the exclamation for WINWRN.
// Without a display and a script the box itself writes to standard error.
void ShowMessageBox(UserMessageKind kind, std::string_view title, std::string_view text) {
  tk::WMessageBox(0, kind == UserMessageKind::Warning ? 3 : 4, 1, text, title);
}

struct MessageState {
  UserMessageHook hook = ShowMessageBox;
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
  // The toolkit's poll, a little more often than kPollInterval at most, so
  // that a loop pacing its own polls by kPollInterval finds it due each time.
  PollPacer pacer{kPollInterval * 4 / 5};
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
  Messages().hook = hook ? std::move(hook) : UserMessageHook(ShowMessageBox);
}

bool LKILL(int LRESET) {
  AbortState& a = Abort();
  if (LRESET != 0) {
    a.latch = false;
    a.pacer.Restart();
    return false;
  }
  // A hook is asked every time; the toolkit's own poll, a round trip to the
  // display, only about once per kPollInterval: a loop polling once a trace
  // would otherwise spend most of its time there.
  if (!a.poll && !a.pacer.Due()) return a.latch;
  const bool button = a.poll ? a.poll() : PollToolkitEvents();
  if (button) a.latch = true;
  return a.latch;
}

namespace {

/// Puts an expose or resize back among the held events of its window, as the
/// client procedure does for one that arrives while nobody waits.
void HoldAgain(int type, const tk::EventRecord& r) {
  if (!tk::WindowSlotInUse(r.window)) return;
  const plat::Hwnd h = tk::WindowClientHandle(r.window);
  if (type == tk::kEventResize) {
    tk::StoreEvent(tk::kEventResize, 0, plat::kSizeRestored, plat::MakeLParam(r.value1, r.value2),
                   h);
    tk::DeferEvent(h, plat::Msg::Size);
  } else {
    tk::StoreEvent(tk::kEventExpose, 0, 0, 0, h);
    tk::DeferEvent(h, plat::Msg::Paint);
  }
}

}  // namespace

bool PollToolkitEvents() {
  // Held exposes and resizes come out of a poll first; take them aside until
  // a real event (or none) turns up, then hold them again. The bound keeps a
  // stream of paints from holding the poll.
  struct Held {
    int type = 0;
    tk::EventRecord record{};
  };
  int type = tk::kEventNone;
  tk::EventRecord r{};
  // Most polls find no held event first: answered without the tables below,
  // as long reads poll once a trace.
  tk::WEventPeek(type, r);
  if (type != tk::kEventExpose && type != tk::kEventResize) return type == tk::kEventPushButton;
  std::array<Held, tk::kWindowSlots> resizes{}, exposes{};
  constexpr int kMostPeeks = 2 * tk::kWindowSlots + 8;
  for (int peeks = 0; peeks < kMostPeeks; ++peeks) {
    if (peeks > 0) tk::WEventPeek(type, r);
    if (type != tk::kEventExpose && type != tk::kEventResize) break;
    if (r.window >= 0 && r.window <= tk::kMaxWindowNumber) {
      auto& slot =
          (type == tk::kEventResize ? resizes : exposes)[static_cast<std::size_t>(r.window)];
      slot = Held{type, r};
    }
    type = tk::kEventNone;
  }
  for (const Held& e : resizes)
    if (e.type != 0) HoldAgain(e.type, e.record);
  for (const Held& e : exposes)
    if (e.type != 0) HoldAgain(e.type, e.record);
  return type == tk::kEventPushButton;
}

void SetAbortPollHook(AbortPollHook hook) {
  Abort().poll = std::move(hook);
}

namespace {

/// The dialog manager's own field access on the current dialog.
DialogFieldAccess ToolkitFieldAccess() {
  DialogFieldAccess a;
  a.putString = [](int field, std::string_view text) { tk::WDialogPutString(field, text); };
  a.putReal = [](int field, float value, std::string_view format) {
    tk::WDialogPutReal(field, value, format);
  };
  a.putCheckBox = [](int field, int state) { tk::WDialogPutCheckBox(field, state); };
  a.getCheckBox = [](int field, int& state) {
    (void)tk::WErrorStatusQuery(1);  // reading clears the last code
    std::int32_t s = 0;
    tk::WDialogGetCheckBox(field, s);
    if (tk::WErrorStatusQuery(1) != 0) return false;
    state = s;
    return true;
  };
  return a;
}

DialogFieldAccess& Fields() {
  static DialogFieldAccess access = ToolkitFieldAccess();
  return access;
}

const bool kRegistered = RegisterProgramReset(ProgramLayer::Support, [] {
  Messages() = MessageState{};
  Abort() = AbortState{};
  Fields() = ToolkitFieldAccess();
});

}  // namespace

void SetDialogFieldAccess(DialogFieldAccess access) {
  Fields() = access.putString || access.putReal || access.putCheckBox || access.getCheckBox
                 ? std::move(access)
                 : ToolkitFieldAccess();
}

std::string_view MissingValueFormat(float X) {
  const float a = std::fabs(X);
  if (a >= 10000) return "(F8.0)";
  if (a >= 1000) return "(F8.1)";
  if (a >= 100) return "(F8.2)";
  if (a >= 10) return "(F8.3)";
  if (a >= 1) return "(F8.4)";
  if (a >= 0.1f) return "(F8.5)";
  return "(1PE8.1)";
}

void MVPUTREAL(int IFIELD, float X) {
  const DialogFieldAccess& f = Fields();
  if (X > 1e10f) {
    if (f.putString) f.putString(IFIELD, "Unknown");
    return;
  }
  if (f.putReal) f.putReal(IFIELD, X, MissingValueFormat(X));
}

void PUTDLGSTRING(int IFIELD, std::string_view STR, int N) {
  const DialogFieldAccess& f = Fields();
  if (!f.putString) return;
  if (N < 1) {
    f.putString(IFIELD, " ");
    return;
  }
  const std::string text = plat::Padded(STR, static_cast<std::size_t>(N));  // STR(1:N), blank-padded
  f.putString(IFIELD, text);
}

void WDIALOGPUTCHECKBOXL(int IFIELD, bool L) {
  if (Fields().putCheckBox) Fields().putCheckBox(IFIELD, L ? 1 : 0);
}

// A failed read gives false, never the state of an earlier call.
bool WDIALOGGETCHECKBOXL(int IFIELD, bool& L) {
  int state = 0;
  const bool ok = Fields().getCheckBox && Fields().getCheckBox(IFIELD, state);
  L = ok && state > 0;
  return L;
}

}  // namespace sup
