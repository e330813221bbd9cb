#pragma once
// The toolkit's start as the program calls it: the sub-folders are joined
// through the hooks the lower ones offer, then the core starts up and the
// device models it read go to the hardcopy drivers.
#include <string_view>

#include "toolkit/core/Startup.h"

namespace tk {

/// Starts the toolkit once per process; a second call returns at once.
/// CONFIG_FILE, when not blank and naming an existing file, is read instead of
/// the searched configuration file. A "VER" key ends the program (exit code 0)
/// after showing the version, once every other line has been applied.
void WToolkitStart(std::string_view configFile = {});

/// Installs the hardcopy layer's hooks below it: ending hardcopy output when
/// the windows shut down, its part of a reset of the graphics state, and the
/// built hardcopy drivers at their numbers.
void ConnectHardcopy();

}  // namespace tk
