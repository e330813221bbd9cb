#pragma once
// First-break picks as exclusive-or markers over the trace plot: drawing the
// same markers a second time removes them, so a change of picks is shown by
// erasing (PLOTPICKS), changing IBPICK, and drawing again (PLOTPICKS).
#include <cstdint>

#include "record/ShotRecord.h"
#include "support/GraphAxes.h"

namespace vel {

/// Markers of every trace of the displayed range (all traces when the range
/// is unset; ILASTTRACE is lowered to NTRACE and stored when it is larger).
/// Uses the fill step the last PLOTTRACES left in the mapping. Makes the
/// frame origin the pen origin and restores the exclusive-or state.
void PLOTPICKS(const ShotRecord& REC, sup::GraphAxes& AXES, TraceDisplayOptions& OPTS);

/// The marker of trace ITRACE at pick index IPICK, in the caller's drawing
/// mode and from the caller's pen origin (the frame origin).
void PLOTPICK(std::int32_t IPICK, std::int32_t ITRACE, const ShotRecord& REC,
              sup::GraphAxes& AXES, const TraceDisplayOptions& OPTS);

}  // namespace vel
