#pragma once
// Dialog fields as drawing targets of the graphics layer, and the geometry
// and focus bookkeeping of fields.
#include <cstdint>
#include <string_view>

#include "platform/Geometry.h"
#include "platform/window/Messages.h"

namespace tk {

/// Makes FIELD of the current dialog (0: the dialog's client area) the
/// graphics layer's drawing surface; WIDTH and HEIGHT receive its client
/// size in pixels. Returns FIELD, or -1 when the field is missing or cannot
/// be drawn into (nothing changes then). From then on the field raises
/// expose, resize and (a static field) mouse events of its own.
int SelectDialogFieldTarget(int field, int& width, int& height);

/// The field's client area (MODE 1) or whole window (other modes) in pixels
/// of the current dialog's client area. Returns FIELD, or -1 when missing.
int FieldRectangle(int field, int& left, int& top, int& width, int& height, int mode);

/// 1 when FIELD's window (stretched to the right edge of its buddy) lies
/// wholly inside R (its parent's client coordinates), 2 partly, 0 outside.
int FieldPlacement(plat::Hwnd field, const plat::Rect& r);

/// Whether DIALOG or one of its fields (or the shown page of a tab field,
/// recursively) has been a drawing target.
bool DialogHasGraphicsField(plat::Hwnd dialog);

/// Records FIELD as the focused field of the dialog holding window H and of
/// each dialog enclosing it while the inner one is a child window.
void RecordFocusField(plat::Hwnd h, int field);

/// Pixels that 4 horizontal and 8 vertical dialog units make.
void DialogUnitPixels(int& x, int& y);

}  // namespace tk
