#pragma once
// Edits of the record's samples in place: a new sample count by linear
// interpolation, removal of traces, and trimming of every trace to a window
// of its samples. Each works on every column TRACES holds for the record:
// the NTRACE data traces and the NAUX auxiliary traces that the SEG-Y reader
// leaves behind them, so that a writer of NTRACE + NAUX columns still finds
// the auxiliary traces where it expects them.
//
// No dialogs and no SEG-Y header words here: the shell asks the user and
// keeps the headers in step.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>

#include "record/ShotRecord.h"

namespace vel {

/// How many columns of NSAMP samples REC holds: NTRACE plus the auxiliary
/// traces behind them, as far as TRACES has room for them.
std::int32_t HeldColumns(const ShotRecord& REC);

/// OUT(k), k = 1..size, := the samples Y(1:N) at the times X(1:N)
/// interpolated linearly (TERPOL) at t(k) = t(k-1) + DT, t(0) = 0, the time
/// accumulated in 32-bit reals. One pass over the table; the results equal
/// TERPOL's bit for bit.
void ResampleTrace(std::span<const float> X, std::span<const float> Y, int N, float DT,
                   std::span<float> OUT);

enum class ResampleStatus {
  Done,
  NoTableMemory,  // the old times could not be held
  NoTraceMemory,  // the new sample array could not be had
};

/// Resamples every held column of REC to NEWCOUNT samples over the same
/// length of time: new interval DT' = NSAMP x SAMPINT / NEWCOUNT (32-bit), new
/// sample k at the accumulated time k x DT' over the old times i x SAMPINT.
/// Picks become NINT(IBPICK x NEWCOUNT / NSAMP). NSAMP := NEWCOUNT and
/// SAMPINT := DT'; TRACES is reallocated for the held columns. PROGRESS, when
/// set, gets NINT(100 j / NTRACE) after column j. On a status other than Done
/// the record is as it was. The caller has checked NEWCOUNT (at least 5,
/// other than NSAMP).
ResampleStatus ResampleColumns(ShotRecord& REC, std::int32_t NEWCOUNT,
                               const std::function<void(int percent)>& PROGRESS = {});

enum class RemoveStatus {
  Unchanged,  // increment not positive, or LAST < FIRST
  CutOff,     // the short path: every trace from FIRST on is gone
  Removed,    // the groups were removed
  NoneLeft,   // nothing would remain: the record is unchanged
};

/// Removes NUMBER traces out of every INCREMENT, starting at FIRST, in
/// (LAST - FIRST + INCREMENT) / INCREMENT groups; the last group may reach
/// beyond LAST but not beyond NTRACE. When LAST is NTRACE and INCREMENT is 1
/// or less the traces from FIRST on are cut off; otherwise LAST is clamped
/// to NTRACE and stored back. The kept traces move down in order with every
/// per-trace array (ISEGYTRH when LSEGYHDR), and the auxiliary columns move
/// down behind them. Group bounds are computed in 64 bits.
RemoveStatus RemoveTraces(ShotRecord& REC, std::int32_t FIRST, std::int32_t& LAST,
                          std::int32_t NUMBER, std::int32_t INCREMENT);

/// Keeps samples SKIP+1 .. SKIP+COUNT of every held column, repacked to the
/// stride COUNT (TRACES keeps its size; the freed tail is zeroed), and sets
/// NSAMP := COUNT. Every pick is lowered by SKIP; with SKIP 0 a pick after
/// COUNT becomes 0. The caller has checked 0 <= SKIP and 1 <= COUNT and
/// SKIP + COUNT <= NSAMP.
void TrimSamples(ShotRecord& REC, std::int32_t SKIP, std::int32_t COUNT);

}  // namespace vel
