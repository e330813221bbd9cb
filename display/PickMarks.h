#pragma once
// First-break picks as exclusive-or markers over the trace plot: drawing the
// same markers a second time removes them, so a change of picks is shown by
// erasing (PLOTPICKS), changing IBPICK, and drawing again (PLOTPICKS).
#include <cstdint>

#include "display/TracePlot.h"
#include "record/ShotRecord.h"
#include "support/GraphAxes.h"

namespace vel {

/// Markers of every trace of the displayed range (all traces when the range
/// is unset; a last trace beyond NTRACE stops at NTRACE). Uses the fill step
/// the trace plot left in MAP and rewrites its clip band and baseline for
/// each trace. Makes the frame origin the pen origin; the drawing mode and
/// colours are as they were afterwards. The options are not changed.
void DrawPicks(const ShotRecord& REC, sup::GraphAxes& AXES, const TraceDisplayOptions& OPTS,
               TracePlotMapping& MAP);
/// DrawPicks with the display module's own mapping.
void PLOTPICKS(const ShotRecord& REC, sup::GraphAxes& AXES, const TraceDisplayOptions& OPTS);

/// The marker of trace ITRACE at pick index IPICK, in the caller's drawing
/// mode and from the caller's pen origin (the frame origin).
void DrawPick(std::int32_t IPICK, std::int32_t ITRACE, const ShotRecord& REC,
              sup::GraphAxes& AXES, const TraceDisplayOptions& OPTS, TracePlotMapping& MAP);
/// DrawPick with the display module's own mapping.
void PLOTPICK(std::int32_t IPICK, std::int32_t ITRACE, const ShotRecord& REC,
              sup::GraphAxes& AXES, const TraceDisplayOptions& OPTS);

}  // namespace vel
