#pragma once
// The two-dimensional frequency-wavenumber transform of a shot record: FKSPECT
// takes the traces into the F-K plane, keeps the transform and gives its
// normalised power for display; FKTRACES weights a copy of the kept transform
// with the velocity fan and brings it back to traces. Every 1-D transform is
// COOL, every taper TSMOO.
//
// Layout. The transform is NT rows (frequency) by NX columns (wavenumber) of
// interleaved 32-bit complex values, stored column by column. Row r (1-based)
// holds frequency index r - 1 for r <= NT/2 and -(NT - r + 1) above; column m
// holds wavenumber index m - 1 for m <= NX/2 and m - 1 - NX above.
#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string_view>
#include <vector>

#include "support/Allocation.h"

namespace vel {

/// A kept transform with its sizes, owned by the F-K tool that made it. NT
/// and NX are set by FkSetSizes before FKSPECT; FKSPECT fills DATA and sets
/// PRESENT.
struct FkTransform {
  int NT = 0, MT = 0;  // time length, a power of two, and its exponent
  int NX = 0, MX = 0;  // distance length and its exponent
  int NF = 0;          // spectrum rows, NT / 2
  int NK = 0;          // spectrum columns, NX
  std::vector<float, sup::UnsetAllocator<float>> DATA;  // 2 * NT * NX reals, column by column
  bool PRESENT = false;
};

/// Sets T's sizes for NSAMP samples and NTRACE traces: NT the
/// smallest power of two not below 2 x NSAMP, NX not below 2 x NTRACE.
/// Sizes whose transform would exceed 2^30 complex values are refused (false,
/// sizes unchanged).
bool FkSetSizes(FkTransform& T, int NSAMP, int NTRACE);

/// The velocity fan: index 0 the upsloping dip, 1 the downsloping dip. A
/// velocity V in distance units per second, a width W as a fraction of V and
/// a factor F on the line v = V (0 rejects, 1 leaves unchanged).
struct FkFan {
  std::array<float, 2> V{0.0f, 0.0f};
  std::array<float, 2> W{0.25f, 0.25f};
  std::array<float, 2> F{0.0f, 0.0f};
};

/// What the operations report while they run: the name of the pass when it
/// starts, the percentage done, and 100 at its end. The passes are shared
/// out between threads; the calling thread reports and polls for Cancel
/// through LKILL between its own steps, at most once per kPollInterval
/// (support/PollPacer.h) and at least once a pass, whether or not a
/// reporter is given; the other threads never wait for it.
struct FkProgress {
  std::function<void(std::string_view pass)> pass;
  std::function<void(int percent)> step;
};

/// Forward transform of TRACES (NSAMP x NTRACE, one column per trace) into
/// T, whose sizes are set, each trace tapered with TSMOO when 0 < NTAPER < NSAMP / 2;
/// SPEC (NF x NX, column by column) receives the power with the column halves
/// swapped (negative wavenumbers first) divided by its largest value (all zero
/// when the record is all zero). IERR := -1 on bad sizes, allocation failure
/// or cancel; otherwise unchanged. A cancelled run leaves no transform kept.
void FKSPECT(FkTransform& T, std::span<const float> TRACES, std::span<float> SPEC, int NSAMP,
             int NTRACE, int NTAPER, int& IERR, const FkProgress* PROGRESS = nullptr);

/// Weights a copy of the kept transform T with FAN, using the steps
/// 1000 / ((NT - 1) 2 DT) Hz and 1 / ((NX - 1) 2 DX) cycles per distance unit,
/// and transforms it back; TRACES (NSAMP x NTRACE) receives the scaled real
/// parts. The kept transform is never changed. IERR := -1 when no transform is
/// kept, the sizes do not fit it, memory runs out or the user cancels (TRACES
/// then untouched).
void FKTRACES(const FkTransform& T, std::span<float> TRACES, int NSAMP, int NTRACE, float DT,
              float DX, const FkFan& FAN, int& IERR, const FkProgress* PROGRESS = nullptr);

}  // namespace vel
