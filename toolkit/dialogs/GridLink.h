#pragma once
// What the dialog manager asks of the grid control. The grid lives in the
// layer above (toolkit/grid) and fills this link when it registers its
// window classes; until then a "[Grids]" entry and a grid's clearing do
// nothing.
#include <memory>

#include "platform/window/Messages.h"
#include "toolkit/dialogs/DialogExtras.h"
#include "toolkit/dialogs/DialogManager_p.h"

namespace tk {

struct GridLink {
  /// Builds grid field F of D from its "[Grids]" entry E.
  void (*buildFromExtras)(LoadedDialog& d, DialogField& f, const ExtrasEntry& e) = nullptr;
  /// Clears every cell of grid window GRID; EMPTYLISTS empties the option lists.
  void (*clearAllCells)(plat::Hwnd grid, int emptyLists) = nullptr;
  /// The field record of a grid's cell editor H (null when H is none), so
  /// that numeric editors filter and validate as numeric fields do.
  DialogField* (*editorField)(plat::Hwnd h) = nullptr;
  /// The message a grid sends its dialog when its current cell changes.
  plat::Msg cellChange = plat::Msg::Null;
  /// Grid window GRID's read-only style bit changed: its editor follows.
  void (*readOnlyChanged)(plat::Hwnd grid) = nullptr;
};

void SetGridLink(const GridLink& link);
const GridLink& GetGridLink();

/// Set while a grid lays out its rows: numeric validation then accepts
/// everything, so that the relayout never refuses to move the current cell.
int& GridResizing();

/// The template of dialog ID (the tests' own first), or null.
const res::DialogTemplate* FindDialogTemplate(int id);

/// Makes grid column template ID as a hidden dialog owned by OWNER, outside
/// the dialog table: every control that is not numeric gets a fresh record
/// (no range, default colours, no length, no format), the numeric ones set
/// themselves up as in any dialog, and the template's extras configure them
/// (a "[Menus]" list starts at its first option). Null when the template is
/// missing or the dialog cannot be made. The records go with the result.
std::unique_ptr<LoadedDialog> LoadColumnDialog(int id, plat::Hwnd owner);

}  // namespace tk
