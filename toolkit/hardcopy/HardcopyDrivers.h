#pragma once
// The hardcopy drivers built so far, stood at their numbers once at the
// toolkit's start.
namespace tk {

/// Stands each built hardcopy driver (one static object each) at its number.
void StandHardcopyDrivers();

}  // namespace tk
