#include "toolkit/hardcopy/PrintHandOver.h"

#include <cerrno>
#include <chrono>
#include <cstring>

#include "platform/system/Printer.h"
#include "platform/window/Window.h"
#include "toolkit/core/Events.h"
#include "toolkit/core/MessageBox.h"
#include "toolkit/core/ModalState.h"
#include "toolkit/core/Windows.h"
#include "toolkit/dialogs/Dialogs.h"

namespace tk {
namespace {

constexpr int kWaitTextField = 1020;

struct WaitState {
  bool waiting = false;
  bool captured = false;  // the windows repaint from their snapshots
  bool shown = false;     // the box is up
  std::chrono::steady_clock::time_point start;
};

WaitState& Wait() {
  static WaitState w;
  return w;
}

void EndWait() {
  WaitState& w = Wait();
  if (w.shown) {
    WDialogSelect(kPrintWaitDialog);
    if (WDialogStatusQuery(3) == kPrintWaitDialog) WDialogUnload();
  }
  if (w.captured) {
    int status = 0;
    WindowSnapshot(0, -1, status);
  }
  w = WaitState{};
}

void ShowBox() {
  WaitState& w = Wait();
  w.shown = true;
  WDialogLoad(kPrintWaitDialog);
  if (WDialogStatusQuery(3) != kPrintWaitDialog) return;
  WDialogTitle("Printing");
  WDialogPutString(kWaitTextField, "Handing the job to the printer (lp)...");
  WDialogPutProgressBar(1021, 0);
  WDialogShow(-1, -1, 0, kShowSemiModeless);
}

// One look at the windows while lp runs: paints are served (from the
// snapshots), every other event is dropped but the box's Cancel.
bool WaitStep(bool done) {
  WaitState& w = Wait();
  if (done) {
    EndWait();
    return false;
  }
  if (!WindowSlotInUse(kMainWindow)) return false;
  if (!w.waiting) {
    w.waiting = true;
    w.start = std::chrono::steady_clock::now();
    int status = 0;
    WindowSnapshot(1, -1, status);
    w.captured = true;
  }
  if (!w.shown && std::chrono::steady_clock::now() - w.start >=
                      std::chrono::milliseconds(kPrintWaitBoxDelayMs))
    ShowBox();
  // The windows repaint (from their snapshots); bounded, so that a stream
  // of paints does not hold the wait.
  plat::Message m;
  for (int i = 0; i < 64 && plat::PeekMessage(m, plat::kNoWindow, plat::Msg::Paint,
                                              plat::Msg::Paint, plat::PeekMode::Remove);
       ++i)
    plat::DispatchMessage(m);
  if (!w.shown) return false;
  // With the box up, the events are taken: its Cancel gives the job up,
  // everything else is dropped (the program answers no input meanwhile).
  bool cancel = false;
  for (int i = 0; i < 64; ++i) {
    int type = kEventNone;
    EventRecord r{};
    WEventPeek(type, r);
    if (type == kEventNone) break;
    if (type == kEventPushButton) cancel = true;
  }
  return cancel;
}

}  // namespace

std::string PrintHandOverMessage(bool timedOut, bool cancelled, int exitStatus, int error,
                                 const std::string& answer, const std::string& keptFile) {
  std::string text;
  if (cancelled) {
    text = "Printing was cancelled: the job was not handed to the printer.";
  } else if (timedOut) {
    text = "The printer did not answer within " +
           std::to_string((plat::PrintJobHandOverLimitMs() + 999) / 1000) +
           " seconds: the job was given up.";
  } else if (exitStatus != 0) {
    text = "The printer refused the job";
    text += answer.empty() ? " (lp ended with status " + std::to_string(exitStatus) + ")."
                           : ":\r" + answer;
  } else {
    text = "The job could not be handed to the printer";
    if (error != 0) text += std::string(": ") + std::strerror(error);
    text += ".";
    if (!answer.empty()) text += "\r" + answer;
  }
  if (!keptFile.empty()) text += "\rThe job is kept in " + keptFile;
  return text;
}

void PrintHandOverFailed(bool timedOut, bool cancelled, int exitStatus,
                         const std::string& answer, const std::string& keptFile, int error) {
  WMessageBox(0, 3, 1,
              PrintHandOverMessage(timedOut, cancelled, exitStatus, error, answer, keptFile),
              kPrintMessageTitle);
}

void ConnectPrintWait() {
  plat::PrintCommandWaitHook() = WaitStep;
}

}  // namespace tk
