#pragma once
// The dialog status words that WDialogStatusQuery reads: the dialog manager
// writes items 1, 2, 3 and 5 as dialogs are selected and modal shows end;
// message boxes and common dialogs write their answer into item 4 and set
// item 2 to 0. One set for the whole program, kept here so that the message
// boxes below the dialog manager can write them.
#include <cstdint>
#include <functional>

#include "platform/window/Messages.h"

namespace tk {

struct DialogStatusWords {
  std::int32_t closingButton = 0;  // item 1: the push button that closed the last modal show
  std::int32_t focusBefore = 0;    // item 2: the field focused when it was pressed
  std::int32_t item3 = 0;          // item 3: the current dialog's identifier, 0 for none
  std::int32_t answer = 0;         // item 4: the last message box's or common dialog's answer
  std::int32_t item5 = 0;          // item 5: the last modal dialog that closed
};

DialogStatusWords& DialogStatus();
/// All words 0.
void ResetDialogStatus();

/// What the dialog manager does for the windows and modal boxes below it;
/// it installs this when it loads its first dialog. Every member may be left
/// empty (no dialog has been loaded).
struct ModalDialogLink {
  /// The window that owns new modal boxes when a dialog is shown and active
  /// (the dialog, or the window it is combined with); kNoWindow otherwise.
  std::function<plat::Hwnd()> activeOwner;
  /// Disables every shown dialog but OWNER (and the dialog combined with it).
  std::function<void(plat::Hwnd owner)> disableDialogs;
  /// Enables the shown dialogs again; false while a semi-modeless dialog is
  /// up, when only the window given to EnableOwnerWindows is enabled.
  std::function<bool()> enableDialogs;
  /// After windows were destroyed: the dialogs that went with them leave the
  /// table.
  std::function<void()> dropDestroyed;
  /// At shut-down: every dialog is destroyed and the dialog manager's state
  /// is 0.
  std::function<void()> unloadAll;
};
void SetModalDialogLink(ModalDialogLink link);
const ModalDialogLink& GetModalDialogLink();

}  // namespace tk
