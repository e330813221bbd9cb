#pragma once
// The trace-plotting dialog (dialog 101 "Trace Plotting Parameters") and the
// Properties command that opens it.
#include <cstdint>

#include "record/ShotRecord.h"

namespace vel {

struct Velloran;

inline constexpr int kTracePlotDialog = 101;
inline constexpr int kCommandProperties = 40010;

/// Edits OPTS in dialog 101. GLOBALMAX is what the global-maximum field
/// shows while OPTS.LUSERMAX is off. IERR: 0 OK, -1 Cancel (OPTS unchanged).
void TRACEPLOTDLG(TraceDisplayOptions& OPTS, std::int32_t& IERR, float GLOBALMAX);

/// The larger of |GMIN| and GMAX: what the dialog offers as the global maximum.
float ShownGlobalMaximum(const ShotRecord& REC);

/// The Properties command (40010): the dialog on the main window's display
/// options; after OK the record's amplitude range is recomputed when it is
/// not known (GMIN >= GMAX).
void PropertiesCommand(Velloran& app);

}  // namespace vel
