#pragma once
// Small pieces the application's parameter dialogs share: the modal show,
// radio groups put by value and read by position, numbers read only when the
// field holds one, and the loop of a semi-modeless dialog.
#include <cstdint>
#include <functional>
#include <span>

#include "toolkit/core/Events.h"

namespace vel {

/// Shows the current dialog modal and centred without a first focus field;
/// returns the push button that closed it (1 OK, 2 Cancel, the close box and
/// Escape).
int ShowModalCentred();

/// Checks the button of BUTTONS (one radio group, in order) for VALUE: the
/// first for 1 or less, the last for the count or more.
void PutRadioChoice(std::span<const int> buttons, std::int32_t value);
/// The 1-based position of the checked button in the group whose first
/// button is FIRST; 0 when none is checked.
std::int32_t RadioPosition(int first);

/// VALUE := the number in FIELD of the current dialog; a blank field leaves
/// VALUE as it was. The result tells whether the field held a number.
bool GetIntegerIfSet(int field, std::int32_t& value);
bool GetRealIfSet(int field, float& value);

/// Puts VALUE into integer FIELD as text, so that it shows even where the
/// field's range would refuse it (OK then refuses it until it is mended).
void PutIntegerShown(int field, std::int32_t value);

/// What a semi-modeless dialog's handler is given: push buttons (type 3) and
/// field changes (type 10) of the dialog. It returns true to close.
using SemiModelessHandler = std::function<bool(int type, const tk::EventRecord& event)>;

/// Shows the current dialog, whose identifier is DIALOG, semi-modeless and
/// centred, switches field-changed events on and hands each of the dialog's
/// push-button and field-changed events to HANDLE until it returns true;
/// every other event is dropped. Field-changed events are switched off and
/// the dialog is hidden at the end. False when the events ended before the
/// handler closed the dialog (the window system has gone, or the main
/// window was asked to close): take it as Cancel.
bool RunSemiModeless(int dialog, const SemiModelessHandler& handle);

}  // namespace vel
