#pragma once
// One picker run over every trace of a record, as the Pick menu's commands
// and "Repick Now" run it.
#include <cstdint>

#include "display/Pickers.h"
#include "record/ShotRecord.h"

namespace vel {

/// Runs the picker of METHOD (simple, Hatherly, box or wavelet) over traces
/// 1..NTRACE and stores every result in IBPICK, 0 and -1 included, so a
/// trace without a new pick loses the one it had. The simple and wavelet
/// pickers take their pulse width from STATE.pulseSamples; the wavelet picker
/// correlates each trace with STATE.wavelet into STATE.correlation, which
/// must hold NSAMP values. A group whose refine flag is set refines every
/// result above 0 with REFINEP (the Hatherly picker's never). Traces whose
/// samples or per-trace values the record does not hold are left alone;
/// another METHOD does nothing. Draws nothing and does not set LPICKS.
void PickTraces(ShotRecord& REC, PickingState& STATE, std::int32_t METHOD);

}  // namespace vel
