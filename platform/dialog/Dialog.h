#pragma once
// Dialog windows built from a template in dialog units: a dialog window of
// class kDialogClass with its controls as children in template (tab) order,
// keyboard navigation (Tab and Shift+Tab between tab stops, arrow keys within
// a group, Enter for the default button, Escape for Cancel) and modal runs.
//
// What the user does reaches the program through the dialog's handler: every
// message the dialog window receives goes to it first (Command from the
// controls, Notify, HScroll, VScroll, Activate, ...). Escape and the close
// box arrive as Command with identifier 2 (Cancel), notification 0 and no
// control; Enter presses the default push button (the first with
// kBsDefPushButton, else the one with identifier 1) by sending its Command.
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Geometry.h"
#include "platform/window/Window.h"

namespace plat {

inline constexpr std::string_view kDialogClass = "#32770";

/// Identifiers the keyboard uses.
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;

/// The keys a control asks for (its answer to Msg::GetDlgCode); the dialog
/// leaves those keys to the control.
constexpr LResult kDlgcWantArrows = 0x1;
constexpr LResult kDlgcWantTab = 0x2;
constexpr LResult kDlgcWantAllKeys = 0x4;
constexpr LResult kDlgcWantChars = 0x80;

/// Dialog style bits kept with the dialog window (low 16 bits).
inline constexpr unsigned kDsModalFrame = 0x80;  // DS_MODALFRAME

struct DialogControlSpec {
  std::string className;  // a registered window class
  int id = 0;
  Rect rect;  // dialog units, in the dialog's client area
  std::string text;
  unsigned style = 0;  // kStyleVisible, kWsTabStop, kWsGroup, class bits ...
};

struct DialogSpec {
  int id = 0;  // the template's number; scripted answers name it
  bool child = false;
  std::string caption;
  Rect rect;  // dialog units; a top-level dialog's position is on the screen
  unsigned style = 0;
  std::vector<DialogControlSpec> controls;
};

/// The dialog's own handling of a message; nullopt passes it on to the
/// default handling.
using DialogHandler = std::function<std::optional<LResult>(Hwnd dlg, Msg m, WParam w, LParam l)>;

/// Registers kDialogClass (again after each Init); false on failure.
bool RegisterDialogClass();

/// Pixels of a rectangle given in dialog units: a horizontal unit is a
/// quarter and a vertical unit an eighth of the dialog font's average
/// character cell (6 by 13 pixels).
Rect DialogUnitsToPixels(const Rect& du);

/// Creates the dialog hidden, with its controls, under PARENT (a child
/// dialog's parent, a top-level dialog's owner; may be none for a top-level
/// dialog). HANDLER may be empty. kNoWindow when the dialog or one of its
/// controls cannot be created (nothing is left behind then).
Hwnd CreateDialogFromSpec(const DialogSpec& spec, Hwnd parent, DialogHandler handler);

/// The template number the dialog was made from (0 for no dialog).
int DialogTemplateId(Hwnd dlg);
/// The controls in template order (combo boxes' own children not included).
std::vector<Hwnd> DialogControls(Hwnd dlg);
/// The control with identifier ID, or kNoWindow.
Hwnd DialogItem(Hwnd dlg, int id);
/// The dialog a control lies in (kNoWindow when none).
Hwnd DialogOf(Hwnd h);

/// Gives control H, made inside a dialog after the dialog itself, the
/// dialog's keyboard handling (Tab, Enter, Escape) in front of its present
/// procedure; nothing when H lies in no dialog.
void AttachDialogKeys(Hwnd h);

/// The default push button: the first with kBsDefPushButton, else the push
/// button with identifier 1 (kNoWindow when none).
Hwnd DialogDefaultButton(Hwnd dlg);
/// The tab stop after (or before, BACKWARD) FROM that is visible and
/// enabled, wrapping round; FROM kNoWindow starts from the ends.
Hwnd NextTabStop(Hwnd dlg, Hwnd from, bool backward);
/// The control after (before) FROM within its group, wrapping round within
/// the group, skipping hidden and disabled controls.
Hwnd NextGroupItem(Hwnd dlg, Hwnd from, bool backward);
/// Presses push button ID as a click would (sends its Command to the dialog).
void PressDialogButton(Hwnd dlg, int id);

/// Shows the dialog and runs its modal loop until EndDialogModal; returns
/// the result (-1 when the dialog went away). When the backend holds a
/// scripted answer for "dialog N" (N the template number) it is carried out
/// inside the loop: one line per step, "ID=text" sets a field's text (for a
/// check box or radio button "1" checks it and "0" clears it), "press ID"
/// presses a button. When nothing could ever answer (headless without
/// scripted input) the dialog is cancelled: Escape is pressed for the user.
int RunDialogModal(Hwnd dlg);
/// Ends the modal run of DLG; false when none runs.
bool EndDialogModal(Hwnd dlg, int result);
/// Places DLG centred on OWNER's client area (on the screen without a
/// visible owner), never off the screen's top or left.
void CentreDialogOnOwner(Hwnd dlg, Hwnd owner);
/// Carries out the scripted answer for "dialog N", if any, at the next
/// dispatch (the toolkit calls it for modeless shows).
void QueueDialogScript(Hwnd dlg);

}  // namespace plat
