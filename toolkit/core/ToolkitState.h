#pragma once
// The toolkit keeps its process-wide state in one object per sub-system
// (the start-up record, the error record, the event loop, the dialog status
// words, the driver dispatch, the dialog manager, the device models, ...),
// each reached through its own accessor. Every sub-system whose state a test
// must return to its start registers its reset here, from its own
// sub-folder, so that one call resets the whole toolkit while the core knows
// nothing of the sub-folders above it.
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
