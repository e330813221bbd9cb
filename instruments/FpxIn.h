#pragma once
// .FPX trace files: fixed 512-byte records, little-endian. Record 1 is the
// binary header; records 2, 5 and 10 hold the receiver easting, elevation and
// offset of every trace as 32-bit reals; record 11 the first-break picks as
// 16-bit integers (read when the header says so); from record 12 on, four
// records of 256 16-bit samples per trace. So at most 128 traces of at most
// 1024 samples.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "instruments/ReaderKit.h"
#include "record/ShotRecord.h"

namespace vel {

namespace fpx {
inline constexpr std::size_t kRecordBytes = 512;
inline constexpr std::int32_t kMaxTraces = 128;
inline constexpr std::int32_t kMaxSamples = 1024;
inline constexpr std::size_t kEastingRecord = 2;
inline constexpr std::size_t kElevationRecord = 5;
inline constexpr std::size_t kOffsetRecord = 10;
inline constexpr std::size_t kPickRecord = 11;
inline constexpr std::size_t kFirstTraceRecord = 12;
inline constexpr std::size_t kRecordsPerTrace = 4;
// Header record offsets.
inline constexpr std::size_t kNsamp = 2, kNtrace = 4, kShot = 6, kSampint = 10, kShotX = 18,
                             kShotDepth = 24, kShotElev = 28, kSpacing = 44, kUphole = 60,
                             kDelay = 64, kPicksFlag = 72;
}  // namespace fpx

/// Decodes a whole .FPX file held in FILE into REC. ShortFile when a record
/// is missing or a count lies outside 1..128 traces or 1..1024 samples,
/// NoMemory when the arrays cannot be had. CRECNAME is left alone.
[[nodiscard]] instrument::Outcome DecodeFpxFile(std::span<const std::byte> file, ShotRecord& REC);

/// Reads the .FPX file FNAME into REC, named after the file. IERR: 0 success,
/// -1 failure (the user told, but for a failed allocation).
void FPIXIN(ShotRecord& REC, std::string_view FNAME, int& IERR);

}  // namespace vel
