#pragma once
// The amplitude range of a shot record, recomputed from its samples.
#include "record/ShotRecord.h"

namespace vel {

/// Sets TRACEMAX(j) of every trace to its largest absolute usable sample and
/// GMIN/GMAX to the smallest and largest usable sample of the record. Usable:
/// not NaN, magnitude at most 1e15, and not a non-zero value below 1e-30 in
/// magnitude. A trace without usable samples gets TRACEMAX 1e30 and leaves
/// GMIN/GMAX alone; a record without traces ends with GMIN 1e20, GMAX -1e20.
/// Traces that the arrays do not hold count as traces without usable samples.
void GMINMAX(ShotRecord& REC);

}  // namespace vel
