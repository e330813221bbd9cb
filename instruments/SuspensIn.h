#pragma once
// SUSPENS logging files: a 1024-byte text header of fixed-column numbers,
// then 2, 4 or 6 traces of NSAMP little-endian 16-bit samples back to back.
//   bytes 2-4     shot number (I3)
//   bytes 5-11    "SUSPENS"
//   bytes 88-90   sample interval of traces 1, 2, 4, 5 in microseconds (I3)
//   bytes 91-93   sample interval of traces 3, 6 in microseconds (I3)
//   bytes 94-95   delay in microseconds (I2), for measurement code "0" only
//   bytes 109-112 samples per trace (I4)
//   byte 113      measurement-items code: "0" 6 traces, "1" 4, "2" 2
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "record/MergeIntervals.h"
#include "record/ShotRecord.h"

namespace vel {

namespace suspens {
inline constexpr std::size_t kHeaderBytes = 1024;
inline constexpr std::size_t kCodeOffset = 113;
}  // namespace suspens

/// How a SUSPENS decode ended; Message gives the user's text.
enum class SuspensOutcome { Ok, ShortHeader, BadNumber, BadCode, ShortTraces, NoMemory, Aborted };

/// The message of OUTCOME for the file FNAME ("" for Ok and Aborted). CODE
/// is byte 113 for BadCode.
std::string SuspensMessage(SuspensOutcome outcome, std::string_view FNAME, char code);

/// Decodes a whole SUSPENS file held in FILE into REC (its name and every
/// main-header field the file does not give stay) and, on success only, its
/// intervals into INTERVALS. ABORTED (may be empty) is polled once before the
/// header is decoded. CODE receives byte 113.
[[nodiscard]] SuspensOutcome DecodeSuspensFile(std::span<const std::byte> file, ShotRecord& REC,
                                               MergeIntervals& intervals, char& code,
                                               bool (*aborted)() = nullptr);

/// Reads the SUSPENS file FNAME into REC; on success the file's intervals go
/// to INTERVALS (the shell's SAMPINTH and SAMPINTV). IERR: 0 success, -1
/// failure or abort.
void SUSPENSIN(ShotRecord& REC, std::string_view FNAME, int& IERR, MergeIntervals& intervals);

}  // namespace vel
