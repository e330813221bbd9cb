#pragma once
// Bison-1 seismograph files: a 441-byte text header, then one 975-byte block
// per trace of signed 8-bit samples.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "instruments/ReaderKit.h"
#include "record/ShotRecord.h"

namespace vel {

// Header text, 0-based byte offsets, with the edit descriptor of each field.
namespace bison1 {
inline constexpr std::size_t kHeaderBytes = 441;
inline constexpr std::size_t kBlockBytes = 975;        // per trace, whatever NSAMP
inline constexpr std::size_t kShotOffset = 0;          // I3 shot number
inline constexpr std::size_t kMagicOffset = 28;        // "BISON-1"
inline constexpr std::size_t kTraceCountOffset = 36;   // I2 traces
inline constexpr std::size_t kSampleCountOffset = 39;  // I3 samples per trace
inline constexpr std::size_t kIntervalOffset = 43;     // F3.0 sample interval, ms
inline constexpr std::size_t kShotXOffset = 64;        // F4.0 shot position
inline constexpr std::size_t kFirstOffset = 72;        // F4.0 first receiver
inline constexpr std::size_t kSecondOffset = 91;       // F4.0 second receiver
}  // namespace bison1

/// Decodes the 441-character header TEXT (line ends already blanks) into REC
/// and rebuilds its arrays. IERR := -1 (no message) when the trace or sample
/// count is below 1 or an allocation fails; otherwise IERR is left alone.
void BISNCODE(std::string_view TEXT, ShotRecord& REC, int& IERR);

/// Decodes a whole Bison-1 file held in FILE into REC.
[[nodiscard]] instrument::Outcome DecodeBisonFile(std::span<const std::byte> file, ShotRecord& REC);

/// Reads the Bison-1 file FNAME into REC. LOPT (the merge command) changes
/// nothing: the samples are always read. IERR: 0 success, -1 failure.
void BISON(ShotRecord& REC, std::string_view FNAME, int& IERR, bool LOPT);

}  // namespace vel
