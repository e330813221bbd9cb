#pragma once
// The box first-break picker PICKBX: the trace is smoothed once (TRIFILT),
// then for a series of box lengths the sums of the smoothed trace over a box
// sliding along it are searched for the first strong peak-and-trough pair;
// the first two successive box lengths that agree on the peak give the pick,
// moved back from the peak by a number of box lengths.
//
// Arrays are counted from 1 as the picker counts; traces are spans, and a
// count beyond a span's length is taken as its length.
#include <cstdint>
#include <span>

#include "display/Pickers.h"

namespace vel {

/// Smooths X(1..N) in place: each sample becomes the weighted mean of itself
/// (weight 1) and its neighbours at distance o = 1..NH (weight 1/o), taken
/// from an untouched copy; near the ends the weights of the neighbours that
/// exist are the only ones counted.
void TRIFILT(std::span<float> X, std::int32_t N, std::int32_t NH);

/// The sizes the box picker works with, in samples, for interval DT ms and
/// a trace of NS samples: tolerance NTOL = max(2, NINT(BXTOL / DT)), the
/// threshold percentage P (BXTHRESH truncated), and the box lengths NPMIN,
/// NPMIN + NPSTEP, ... up to NPMAX = min(NS, NINT(BXPERMAX / DT)), where
/// NPSTEP = max(1, NINT((BXPERMAX - BXPERMIN) / DT / IBXSTEPS)) (IBXSTEPS
/// below 1 counting as 1).
struct BoxPickSizes {
  std::int32_t NTOL = 2;
  std::int32_t P = 0;
  std::int32_t NPMIN = 0;
  std::int32_t NPSTEP = 1;
  std::int32_t NPMAX = 0;
};
BoxPickSizes BoxSizes(const BoxPickParameters& PARS, float DT, std::int32_t NS);

/// Box picker on TR(1..NS) between ISTART and IEND, at sample interval DT ms,
/// with the box group PARS. IPICK: the pick, -1 when no two successive box
/// lengths agree (or none is tried), 0 when the work arrays cannot be had
/// ("Allocation failure in PickBx" is shown). An ISTART of 0 or less is set
/// to 1 in the caller's variable.
///
/// Outside the picker's range, nothing is read or written past its arrays:
/// box lengths below one sample, and those whose first box would end past
/// the trace, are skipped; IBXSTEPS below 1 counts as 1; IBXMAXIMA below 1
/// gives -1; a box length that accepts no peak-and-trough pair breaks the
/// agreement (the next length starts afresh); a result past NS (a negative
/// IBXCYCLES moving the pick forward) gives -1.
/// NOMEMORY, when given, takes the place of the message: it is set when the
/// work arrays cannot be had, for a caller on another thread than the user
/// interface's to tell the user afterwards.
void PICKBX(std::span<const float> TR, std::int32_t NS, std::int32_t& ISTART, std::int32_t IEND,
            float DT, std::int32_t& IPICK, const BoxPickParameters& PARS,
            bool* NOMEMORY = nullptr);

}  // namespace vel
