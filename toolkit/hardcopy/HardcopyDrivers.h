#pragma once
// The hardcopy drivers this toolkit carries, stood at their numbers once at
// the toolkit's start.

namespace tk {

/// Stands every built hardcopy driver (one object each, kept for the
/// process) at its dispatch number.
void StandHardcopyDrivers();

}  // namespace tk
