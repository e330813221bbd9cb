#pragma once
// Applying a dialog's extras text to the dialog just made from its template.
#include <cstdint>

#include "resources/ResourceFormat.h"
#include "toolkit/dialogs/DialogExtras.h"
#include "toolkit/dialogs/DialogManager_p.h"

namespace tk {

/// Applies the extras of template T to D. SLOT is D's slot in the dialog
/// table, or -1 for a dialog outside it (a "[Menus]" list then starts with
/// its first option selected). Lines that cannot be read, fields that do not
/// exist or are of another kind, pages that cannot be loaded and fonts that
/// cannot be made are passed over. A tab item's data is its page dialog's
/// identifier; the pages are loaded hidden and take the slots after D.
void ReadDialogExtras(LoadedDialog& d, const res::DialogTemplate& t, int slot);

/// Both bounds into F's record (no range while low > high).
void StoreFieldRange(DialogField& f, double low, double high);

/// WHICH 1 the text colour, 2 the background: R = 256 the default (-1), R =
/// -1 leaves it, else R + 256 G + 65536 B from the low 8 bits of each.
void SetFieldColour(DialogField& f, int which, std::int32_t r, std::int32_t g, std::int32_t b);

/// Records each field's margins and resize bits for a dialog whose
/// STRETCHFIELD grows with it; ATTACH makes fields aligned with its right
/// (bottom) edge move or stretch along. Adds the size grip.
void ComputeResizeLayout(LoadedDialog& d, int stretchField, int attach);

/// Moves and sizes the fields of D after a resize, as its layout says.
void ApplyResizeLayout(LoadedDialog& d);

/// Loads dialog ID hidden under IDENTIFIER (OWNER as for WDialogLoad); the
/// new slot, or -1 (table full), -2 (no template), -3 (creation failed).
/// Does not change the current dialog when it fails; reports nothing.
int LoadDialogHidden(int id, int identifier, int owner);

}  // namespace tk
