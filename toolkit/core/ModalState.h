#pragma once
// What modal boxes and dialogs share: the dialog status words that
// WDialogStatusQuery reads, the owner of new modal boxes, the disabling of
// the other toolkit windows while one is up, and the snapshots the windows
// under a box are repainted from. The dialog manager extends these with its
// dialogs (the current dialog's position, modeless dialogs as owners).
#include <cstdint>

#include "platform/window/Messages.h"
#include "toolkit/core/DialogStatus.h"

namespace tk {

/// The window that owns new modal boxes: the active dialog when one is
/// shown, else the active toolkit window, else the main window's frame.
plat::Hwnd CurrentOwnerWindow();
/// Before a modal box: disables every shown dialog but OWNER and, with
/// WITHWINDOWS, every visible toolkit window but OWNER. EnableOwnerWindows
/// enables them again (only WINDOW while a semi-modeless dialog is up).
void DisableOwnerWindows(plat::Hwnd owner, bool withWindows);
void EnableOwnerWindows(plat::Hwnd window, bool withWindows);

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
