#pragma once
// The frame of the main trace display: time along one axis, trace numbers or
// receiver positions along the other, 8 by 6 plot units on the plot page,
// with the y axis always running downwards.
#include "record/ShotRecord.h"
#include "support/GraphAxes.h"

namespace vel {

/// Chooses both axes of AXES for every trace of REC. With USEPICKS and picks
/// in the record the time axis covers the pick times only. Always clears the
/// trace range of OPTS; clears LGEOPOS when the positions have no spread
/// (telling the user when positions had been chosen). A record without
/// traces or samples is reported and leaves AXES unchanged.
void SCALETRACES(const ShotRecord& REC, sup::GraphAxes& AXES, TraceDisplayOptions& OPTS,
                 bool USEPICKS);

/// Re-chooses only the trace axis of AXES for IFIRSTTRACE..ILASTTRACE of
/// OPTS, keeping the frame's size. A range reaching beyond the record is cut
/// to 1..NTRACE and stored back; a range that holds fewer than two traces
/// then becomes 0, 0 (all traces) and AXES stays as it was.
void SCALESOMETRACES(const ShotRecord& REC, sup::GraphAxes& AXES, TraceDisplayOptions& OPTS);

/// Tick interval for a trace-number axis A..B: steps of NINT(B / 10) when
/// that is above 1, else one division with START and STEP unchanged.
void LINNXT(float A, float B, float& START, float& STEP, int& NDIV, int& NMINOR);

}  // namespace vel
