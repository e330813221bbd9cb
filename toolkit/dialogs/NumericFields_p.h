#pragma once
// Numeric edit and spin fields (INTEGEREDIT, INTEGERSPIN, REALEDIT,
// REALSPIN, DOUBLEEDIT, DOUBLESPIN): key filtering, validation when the
// focus leaves and before a push button acts, the text rewritten in its
// canonical form once accepted, and the spin arrows.
#include "platform/window/Messages.h"
#include "toolkit/dialogs/DialogManager_p.h"

namespace tk {

/// Installs the numeric behaviour on a freshly made numeric field of D (its
/// record already filled) and, for the spin classes, creates its up-down
/// control.
void SetupNumericField(LoadedDialog& d, DialogField& f);

/// The same for a numeric field made outside any dialog (a grid's cell
/// editor): its up-down control, for a spin class, goes to UPDOWNPARENT.
void SetupNumericEditor(DialogField& f, plat::Hwnd upDownParent);

/// One spin step of numeric spin field F by its up-down control's change
/// request HDR.
void StepSpinField(DialogField& f, const plat::NotifyHeader& hdr);

/// Checks FIELD's text as the focus moves to RECEIVING (FIELD itself: the
/// check before a push button acts). 1 when the text is refused (the focus
/// is then back in the field with its text selected), else 0. FORCE refuses
/// a text that is no number whatever the focus does.
int ValidateNumericField(plat::Hwnd field, plat::Hwnd receiving, int force);

/// The check of the focused field before push button BUTTON of D acts; true
/// when the click must be ignored (OK with a refused field).
bool RefusesPushButton(LoadedDialog& d, int button);

/// The change request of an up-down control of D (the spin step); true when
/// handled (the control must then keep its own position).
bool HandleSpinNotify(LoadedDialog& d, const plat::NotifyHeader& hdr);

/// The field whose refused text holds back a change of tab page: the one
/// left for a tab control, else the one let go for a push button other than
/// OK; kNoWindow when none.
plat::Hwnd PendingRefusedField();

/// Gives FIELD the focus with its whole text selected.
void FocusRefusedField(plat::Hwnd field);

/// Puts the deferred field's check in front of push button F's procedure:
/// when the button loses the focus without a click, or the mouse is released
/// outside it, the numeric field let go for it takes the focus back.
void InstallPushButtonProcedure(DialogField& f);

/// Forgets the validation state (snapshot, deferred and tab-pending fields).
void ResetNumericValidation();

}  // namespace tk
