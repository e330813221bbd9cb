#pragma once
// EG&G seismograph files: a binary header of 985 bytes (layout 0, reals as
// 6-byte reals) or 1197 bytes (layout 1, reals as little-endian doubles),
// then one 2048-byte block per trace of 1024 little-endian signed 16-bit
// samples, of which the first NSAMP are the trace. Both layouts carry "12"
// at bytes 288-289.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "instruments/ReaderKit.h"
#include "record/ShotRecord.h"

namespace vel {

// Header layout, 0-based byte offsets, little-endian.
namespace egg {
inline constexpr std::size_t kHeaderBytes[2] = {985, 1197};  // by layout
inline constexpr std::size_t kBlockBytes = 2048;             // one trace block
inline constexpr std::int32_t kBlockSamples = 1024;          // 16-bit samples a block holds
inline constexpr std::size_t kTraceCountOffset = 296;        // int16 traces
inline constexpr std::size_t kSampleCountOffset = 298;       // int16 samples per trace
inline constexpr std::size_t kIntervalOffset = 300;          // sample interval, seconds
// Layout 0 (6-byte reals) and layout 1 (doubles), by layout.
inline constexpr std::size_t kRealBytes[2] = {6, 8};
inline constexpr std::size_t kDelayOffset[2] = {306, 308};    // delay, seconds
inline constexpr std::size_t kHighCutOffset[2] = {312, 316};  // high-cut frequency
inline constexpr std::size_t kLowCutOffset[2] = {318, 324};   // low-cut frequency
inline constexpr std::size_t kNotchOffset[2] = {324, 332};    // notch frequency
// Layout 0 only; layout 1 keeps no positions this reader knows of.
inline constexpr std::size_t kShotXOffset = 330;    // shot position
inline constexpr std::size_t kFirstOffset = 349;    // receiver of trace 1
inline constexpr std::size_t kSpacingOffset = 355;  // signed receiver spacing
}  // namespace egg

/// The 32-bit real held in the N bytes at the start of BYTES: N = 6 a 6-byte
/// real (exponent byte biased by 129, then a 39-bit fraction least
/// significant byte first whose top byte carries the sign in bit 7), N = 8 a
/// little-endian double rounded to float (a double beyond the float range
/// gives 0.0). A 6-byte real keeps the top 23 fraction bits and rounds by
/// adding 1 to its lowest fraction byte when the next byte is 128 or more and
/// the lowest byte is below 255, without carry; a non-zero one whose exponent
/// byte is 0, 1 or 2 gives 0.0 with its sign. Any other N, or fewer than N
/// bytes, gives 0.0.
float FPNCHAN(std::span<const std::byte> BYTES, int N);

/// Decode the 985-byte (EGG86COD) and 1197-byte (EGG87COD) header HEADER
/// into REC and rebuild its per-trace arrays: counts, sample interval and
/// delay in ms, filters of every trace, shot and receiver positions (layout
/// 0; layout 1 sets them 0.0). IERR := -1 (no message) when HEADER is short,
/// the trace count is below 1, the sample count lies outside 1..1024, or an
/// allocation fails; otherwise IERR is left alone.
void EGG86COD(std::span<const std::byte> HEADER, ShotRecord& REC, int& IERR);
void EGG87COD(std::span<const std::byte> HEADER, ShotRecord& REC, int& IERR);

/// Decodes a whole EG&G file of header layout LAYOUT (0 or 1) held in FILE
/// into REC. ShortFile for a short header, counts out of range or blocks
/// missing (checked before anything is allocated).
[[nodiscard]] instrument::Outcome DecodeEggFile(std::span<const std::byte> file, ShotRecord& REC,
                                                int LAYOUT);

/// Reads the EG&G file FNAME (opened read-only) of header layout LAYOUT (0:
/// 985 bytes, 1: 1197 bytes) into REC. LOPT (the merge command) changes
/// nothing: the whole header and the samples are always read.
/// IERR: 0 success, -1 failure ("Error opening file " or "Error reading
/// file " followed by the name field).
void EGG(ShotRecord& REC, std::string_view FNAME, int& IERR, bool LOPT, int LAYOUT);

}  // namespace vel
