#pragma once
// The dialog status words that WDialogStatusQuery reads: the dialog manager
// writes items 1, 2, 3 and 5 as dialogs are selected and modal shows end;
// message boxes and common dialogs write their answer into item 4 and set
// item 2 to 0. One set for the whole program.
#include <cstdint>

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

/// The window manager's calls: after it destroyed windows (the dialogs that
/// went with them leave the table), and at shut-down (every dialog is
/// destroyed and the dialog manager's state and the status words are 0).
void DropDestroyedDialogs();
void UnloadAllDialogs();

}  // namespace tk
