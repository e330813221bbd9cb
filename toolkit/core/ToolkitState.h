#pragma once
// The toolkit keeps its process-wide state in one object per sub-system,
// each reached through its own accessor in the file that owns it. Every
// sub-system whose state a test must return to its start registers its reset
// here, from its own sub-folder, so that one call resets the whole toolkit
// while the core knows nothing of the sub-folders above it.
//
// The state objects, by sub-folder ("reset" marks those the one reset
// returns to their start; the others are joined to windows that shutdown
// releases, or are links between the sub-folders):
//   core      start-up record (Startup.cpp, reset), error record and debug log
//             (Errors.cpp, the record reset), event loop (Events.cpp, reset),
//             dialog status words and window snapshots (ModalState.cpp, the
//             words reset), window table (Windows.cpp), bars (Menus.cpp),
//             window units and cursors (WindowUnits.cpp), program services
//             (OsServices.cpp), help opener (Help.cpp), abnormal-exit hooks
//   graphics  driver dispatch (Drivers.cpp, reset) and driver operands,
//             graphics state, targets, hooks and metafile slots
//             (GraphicsState.cpp), palette (Colours.cpp), screen driver and
//             its fonts, polygon decomposer (Fills.cpp)
//   dialogs   dialog manager with numeric validation (reset), extra
//             templates, tree and trackbar modes (DialogLists.cpp)
//   hardcopy  device models and raster limits (ModelTables.cpp, reset),
//             printer job and printer found at start-up (PrinterAccess.cpp,
//             reset), option table (HardcopyOptions.cpp), plot files,
//             screen-dump settings
#include <functional>

namespace tk {

/// The toolkit's sub-folders, bottom to top.
enum class ToolkitLayer { Core, Graphics, Dialogs, Hardcopy };

/// Registers RESET for a sub-system of LAYER (at static initialisation of
/// the file that owns the state). Returns true, so that a file can write
/// `const bool kRegistered = RegisterToolkitReset(...)`.
bool RegisterToolkitReset(ToolkitLayer layer, std::function<void()> reset);

/// The one reset for tests: every registered sub-system returns to its
/// start, from the top sub-folder down (dialogs are destroyed before the
/// status words and the event loop below them are cleared). Hooks and links
/// that join the sub-folders are kept.
void ResetToolkitForTesting();

}  // namespace tk
