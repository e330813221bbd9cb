#pragma once
// Bison-2 seismograph files: a 538-byte text header, a second header part of
// E x NTRACE + 2 bytes (E 42 or 48), then the traces one after the other in
// 16-bit, 32-bit or 20-bit gain-ranged samples, all little-endian.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "instruments/ReaderKit.h"
#include "record/ShotRecord.h"
#include "support/ByteReader.h"

namespace vel {

// First header part, 0-based byte offsets, with the edit descriptor of each.
namespace bison2 {
inline constexpr std::size_t kHeaderBytes = 538;
inline constexpr std::size_t kMagicOffset = 117;        // "BISON-2"
inline constexpr std::size_t kShotOffset = 130;         // I4 shot number
inline constexpr std::size_t kFormatOffset = 145;       // "W" 16-bit, "L" 32-bit, else 20-bit
inline constexpr std::size_t kEntryCodeOffset = 148;    // "7": 42-byte entries, else 48
inline constexpr std::size_t kTraceCountOffset = 218;   // I4 traces
inline constexpr std::size_t kSampleCountOffset = 238;  // I6 samples per trace
inline constexpr std::size_t kIntervalOffset = 246;     // F4.0 sample interval, ms
inline constexpr std::size_t kDelayOffset = 252;        // F4.0 delay, ms
inline constexpr std::size_t kShotXOffset = 292;        // F4.0 shot position
inline constexpr std::size_t kFirstOffset = 374;        // F3.0 first receiver
inline constexpr std::size_t kSecondOffset = 456;       // F3.0 second receiver
inline constexpr std::size_t kShortEntryBytes = 42;
inline constexpr std::size_t kLongEntryBytes = 48;
inline constexpr std::size_t kSecondPartExtra = 2;  // E x NTRACE + 2
inline constexpr std::size_t kGroupBytes = 10;      // 20-bit: four samples
}  // namespace bison2

/// Decodes the first header part TEXT (line ends already blanks) into REC,
/// hands back the format character and rebuilds the arrays. IERR := -1 (no
/// message) when a count is below 1 or an allocation fails.
void BISN2COD(ShotRecord& REC, char& FORMAT, std::string_view TEXT, int& IERR);

/// Bytes one trace takes in format FORMAT with NSAMP samples (64-bit).
std::int64_t Bison2TraceBytes(char FORMAT, std::int32_t NSAMP);

/// The sample readers: take the next NBYTES bytes of R (one trace) and store
/// its first samples into TRACE, which the caller has set to 0.0. A trace the
/// data ends inside keeps every whole sample present. False when the trace
/// was cut short.
[[nodiscard]] bool BSNWORD(std::span<float> TRACE, sup::ByteReader& R, std::int64_t NBYTES);
[[nodiscard]] bool BSNLONG(std::span<float> TRACE, sup::ByteReader& R, std::int64_t NBYTES);
[[nodiscard]] bool BSNFLOT(std::span<float> TRACE, sup::ByteReader& R, std::int64_t NBYTES);

/// One 20-bit group: mantissas in bytes 0-7, exponents in the word of bytes
/// 8-9 (e1 in bits 12-15 ... e4 in bits 0-3); sample k = mk / 2^ek.
void DecodeBison2Group(std::span<const std::byte, bison2::kGroupBytes> group, float (&out)[4]);

/// Decodes a whole Bison-2 file held in FILE into REC. A file that ends
/// inside the traces gives PartialTraces with NTRACE cut to the traces held
/// at least in part; FORMAT tells which end-of-file message belongs to it.
[[nodiscard]] instrument::Outcome DecodeBison2File(std::span<const std::byte> file, ShotRecord& REC,
                                                   char& FORMAT);

/// Reads the Bison-2 file FNAME into REC. LOPT has no effect. IERR: 0
/// success (a file cut inside the traces included, after one message), -1
/// failure.
void BISON2(ShotRecord& REC, std::string_view FNAME, int& IERR, bool LOPT);

}  // namespace vel
