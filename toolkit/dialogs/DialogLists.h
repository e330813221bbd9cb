#pragma once
// Option lists, tab pages, progress bars, trackbars and tree views of dialog
// fields: the operations behind the application's list, tab and progress
// calls (declared in Dialogs.h), and those the dialog-extras loader and the
// dialog procedure use on these fields.
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/window/Messages.h"
#include "toolkit/dialogs/DialogManager_p.h"

namespace tk {

/// Error codes of these fields.
enum ListErrorCode : std::int32_t {
  kErrBadOption = 1011,      // "Option number out of range or invalid item ID"
  kErrBadTab = 1012,         // "Invalid tab number specified"
  kErrProgressRange = 1013,  // "Invalid range specified for progress bar"
  kErrTrackbarRange = 1029,  // "Invalid range specified for trackbar"
  kErrTreeIdExists = 1048,   // "Item identifier already exists in treeview field"
  kErrTreeNotBranch = 1049,  // "Treeview item is not a branch"
};

/// What the item operations answer besides 0 (done).
enum FieldOpResult : int {
  kOpMissing = -1,    // no such field, or not of the kind the operation serves
  kOpNotFound = -2,   // no such item (tree), image or selection
  kOpNotBranch = -3,  // the tree item has no children; or its identifier exists already
};

/// The list kind of an option field: 1 single-selection list, 2 drop-down
/// list, 3 combo with typed text, 4 multi-selection list, 0 none.
int ListKindOf(const DialogField& f);

/// Empties a field by its kind and resets its value; false when the field is
/// of a kind that cannot be cleared.
bool ClearFieldContents(DialogField& f);

// --- Multi-selection lists (field of the current dialog) ---
int ListItemSelected(int field, int item);  // 1 selected, 0 not, -1 missing
int ListCount(int field);                   // -1 missing
int ListSelectItem(int field, int item, int state);
int ListSelectRange(int field, int first, int last, int state);

// --- Tab fields ---
/// Adds a tab captioned CAPTION whose page is dialog PAGEID: the page is
/// loaded hidden as a child of the dialog (its template must be a child
/// dialog), placed on the tab field's display area and shown when its tab
/// is the selected one. For the "[Tabs]" section of the dialog extras; the
/// dialog D stays the current one. False when the page cannot be loaded.
bool TabFieldAddPage(LoadedDialog& d, DialogField& tab, int pageId, std::string_view caption);
/// Shows the page of tab INDEX and hides the others (SelectTabPage).
void TabFieldShowPage(LoadedDialog& d, DialogField& tab, int index);
/// The disabled mark of tab INDEX (no caller in the program sets it).
void TabFieldSetDisabled(DialogField& tab, int index, bool disabled);
/// The page dialogs of every tab field of D (for unloading them with D).
std::vector<int> TabPagesOf(LoadedDialog& d);

// --- Progress bars and trackbars ---
int ProgressRange(int field, int minimum, int maximum);
int TrackbarPosition(int field, int position, int selStart, int selEnd, int selMode);
int TrackbarRange(int field, int minimum, int maximum, int ticFrequency);
int TrackbarSteps(int field, int lineSize, int pageSize);
int TrackbarQuery(int field, int& position, int& selStart, int& selEnd);
/// What TrackbarQuery reports as selection start and end of a trackbar
/// without a selection (0 from start-up).
void SetTrackbarNoSelectionValue(int value);

// --- Tree views (items known by their 32-bit identifiers) ---
int TreeItemSelected(int field, std::int32_t& identifier, std::string* caption = nullptr);
int TreeSelectItem(int field, std::int32_t identifier);
int TreeDeleteItem(int field, std::int32_t identifier);
/// POSITION 1 before RELATIVE, 3 as its last child, anything else after it.
int TreeInsertItem(int field, std::int32_t relative, int position, std::int32_t identifier,
                   std::string_view caption);
int TreeBranchState(int field, std::int32_t identifier, int& state);
int TreeExpandItem(int field, std::int32_t identifier, int action);
int TreeRenameItem(int field, std::int32_t identifier, std::string_view caption);
void TreeUniqueIdentifiers(int on);

/// Puts the toolkit's trackbar procedure in front of a trackbar field's own
/// (the selection keys of a selection-range trackbar); done at set-up.
void InstallListFieldProcedure(DialogField& f);

/// The dialog procedure's part for these fields: notifications of tab
/// controls and tree views, and trackbar moves. Nullopt when not handled.
std::optional<plat::LResult> ListFieldMessage(LoadedDialog& d, plat::Msg m, plat::WParam w,
                                              plat::LParam l);

}  // namespace tk
