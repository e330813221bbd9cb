#pragma once
// What modal boxes and dialogs share: the dialog status words that
// WDialogStatusQuery reads, the owner of new modal boxes, the disabling of
// the other toolkit windows while one is up, and the snapshots the windows
// under a box are repainted from. The dialog manager extends these with its
// dialogs (the current dialog's position, modeless dialogs as owners).
#include <cstdint>

#include "platform/window/Messages.h"

namespace tk {

/// The dialog status words.
struct DialogStatusWords {
  std::int32_t closingButton = 0;  // item 1: the push button that closed the last modal dialog
  std::int32_t focusBefore = 0;    // item 2: the field that had the focus before it
  std::int32_t item3 = 0;
  std::int32_t answer = 0;  // item 4: the last message box's or common dialog's answer
  std::int32_t item5 = 0;
};
DialogStatusWords& DialogStatus();
/// All words 0 (toolkit shut-down).
void ResetDialogStatus();

/// Items 1-5 the dialog status words; 6 and 7 the current dialog's position
/// (0 while no dialog is current); 0 for other items.
int WDialogStatusQuery(int item);

/// The window that owns new modal boxes: the main window's frame (none
/// before it opens).
plat::Hwnd CurrentOwnerWindow();
/// Before a modal box: with ALL set, disables every shown toolkit window but
/// OWNER. EnableOwnerWindows enables what DisableOwnerWindows disabled.
void DisableOwnerWindows(plat::Hwnd owner, bool all);
void EnableOwnerWindows(plat::Hwnd owner, bool all);

/// MODE 1 captures the client area of every shown toolkit window but EXCEPT
/// (-1: none) once (nested calls count); while captured the window repaints
/// from the capture and makes no expose event. MODE 0 counts down and, at
/// zero, paints the capture back once and drops it. STATUS := 0.
void WindowSnapshot(int mode, int except, int& status);

namespace detail {
/// The client procedure's paint of window N from its capture; false when none.
bool PaintFromSnapshot(int n);
}  // namespace detail

}  // namespace tk
