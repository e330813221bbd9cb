#pragma once
// The Shot Header Editor for non-compliant SEG-Y input (dialog 126): the
// user confirms or corrects the header values, counts, first record and
// sample format before the traces are read.
#include <cstdint>

#include "record/ShotRecord.h"

namespace vel {

inline constexpr int kShortHeaderDialog = 126;

/// Shows REC's header values, FIRSTTRACE and TRACEFORMAT in dialog 126
/// (semi-modeless) and, on OK, stores the edited values back. TRACEFORMAT
/// in: a SEG-Y sample format code (1 or 5 floating point, 2 32-bit integer,
/// 3 16-bit integer; 0 or less floating point, above 5 16-bit integer); out
/// on OK: 1 floating point, 2 32-bit integer, 3 16-bit integer. IERR: 0 OK,
/// -1 Cancel (nothing changed).
void SHORTHEADEDIT(ShotRecord& REC, std::int32_t& FIRSTTRACE, std::int32_t& TRACEFORMAT,
                   std::int32_t& IERR);

}  // namespace vel
