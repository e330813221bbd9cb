#pragma once
// The frame every common dialog of the toolkit runs in (file and folder
// selection, the printer's page set-up).
#include <string>
#include <string_view>

#include "platform/system/Directory.h"
#include "platform/window/Window.h"
#include "toolkit/core/DialogStatus.h"
#include "toolkit/core/Errors.h"
#include "toolkit/core/ModalState.h"

namespace tk {

/// What every chooser does around the platform dialog: snapshots of the
/// toolkit windows, the other windows disabled, the focus given back, and
/// the current directory of before restored unless KEEP says otherwise.
class DialogFrame {
 public:
  DialogFrame(bool snapshot, std::string_view routine) : snapshot_(snapshot) {
    if (snapshot_) {
      int status = 0;
      WindowSnapshot(1, -1, status);
      if (status != 0) ReportLibraryError(status, routine);
    }
    if (plat::CurrentDirectory(cwd_) != 0) cwd_.clear();
    owner_ = CurrentOwnerWindow();
    focus_ = plat::GetFocus();
    DisableOwnerWindows(owner_, true);
  }
  ~DialogFrame() {
    EnableOwnerWindows(owner_, true);
    if (focus_ != plat::kNoWindow && plat::IsWindow(focus_) &&
        (focus_ == owner_ || plat::IsChild(owner_, focus_)))
      plat::SetFocus(focus_);
    if (!keep_ && !cwd_.empty()) (void)plat::ChangeDirectory(cwd_);
    if (snapshot_) {
      int status = 0;
      WindowSnapshot(0, -1, status);
    }
    DialogStatus().focusBefore = 0;
  }
  DialogFrame(const DialogFrame&) = delete;
  DialogFrame& operator=(const DialogFrame&) = delete;

  plat::Hwnd Owner() const { return owner_; }
  /// The current directory stays as the dialog left it.
  void Keep() { keep_ = true; }

 private:
  bool snapshot_;
  bool keep_ = false;
  std::string cwd_;
  plat::Hwnd owner_ = plat::kNoWindow;
  plat::Hwnd focus_ = plat::kNoWindow;
};

}  // namespace tk
