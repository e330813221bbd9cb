#pragma once
// OYO seismograph files. The header is text: a 1024-byte block, followed for
// the OYO-2 and OYO-3 models by a 2048-byte second block; a 256-byte prefix
// may stand in front of it. Three header layouts exist:
//   layout 0  OYO5 to OYO9: tag "OYO5".."OYO9" at bytes 94-97, channel
//             records of 36 bytes from byte 159, data from byte 1024;
//   layout 1  OYO-4: tag at bytes 14-18, data right after the first ETX;
//   layout 2  OYO-2, OYO-3: tag at bytes 2861-2865, picks from byte 874,
//             data from byte 6144.
// Samples are little-endian: signed 8-bit (OYO5, OYO7, OYO-4) or blocks of
// 128 16-bit samples, 32-bit when bytes 10-11 hold "FP" (the others).
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string_view>

#include "instruments/ReaderKit.h"
#include "record/ShotRecord.h"

namespace vel {

namespace oyo {
inline constexpr std::size_t kPrefixBytes = 256;
inline constexpr std::size_t kTextBytes = 1024;
inline constexpr std::size_t kSecondBytes = 2048;
inline constexpr std::size_t kHeaderBytes = kTextBytes + kSecondBytes;  // 3072
inline constexpr std::size_t kTagOffset = 94;                           // layout 0, 4 bytes
inline constexpr std::size_t kOyo4TagOffset = 14;                       // layout 1, "OYO-4"
inline constexpr std::size_t kOyo23TagOffset = 2861;                    // layout 2, "OYO-2"/"OYO-3"
inline constexpr std::size_t kFlagOffset = 10;      // "FP": 32-bit block samples
inline constexpr std::size_t kChannelOffset = 159;  // layout 0 channel record of trace 1
inline constexpr std::size_t kChannelBytes = 36;
inline constexpr std::int32_t kChannelTraces = 24;  // channel records inside the text block
inline constexpr std::size_t kPickOffset = 874;     // layout 2 pick of trace 1, I4
inline constexpr std::size_t kPickWidth = 4;
inline constexpr std::size_t kBlockDataStart = 1024;  // layout 0
inline constexpr std::size_t kOyo23DataStart = 6144;  // layout 2
inline constexpr std::int32_t kBlockSamples = 128;
}  // namespace oyo

enum class OyoHeaderLayout : int { Oyo5to9 = 0, Oyo4 = 1, Oyo2or3 = 2 };

/// Decodes the 3072-byte HEADER (line ends of the text block already blanks)
/// of layout LAYOUT into REC: the main header, the rebuilt per-trace arrays
/// (TRACES with NSAMP x NTRACE samples, not filled), positions, elevations,
/// stack counts, gains, date and time (layout 0) and picks (layout 2).
/// IERR := 0, or -1 (no message) when a trace count, sample count or sample
/// interval does not read as a number, a count is below 1, or an array
/// cannot be had.
void OYOCODE(ShotRecord& REC, std::string_view HEADER, OyoHeaderLayout LAYOUT, int& IERR);

/// Calls of the OYO read: ABORTED() once per recognition pass and after
/// each trace's bytes are in hand; RESETABORT() before the trace loop;
/// PROGRESS(k) before trace k is read. Any of them may be empty.
struct OyoHooks {
  std::function<bool()> aborted;
  std::function<void()> resetAbort;
  std::function<void(std::int32_t k)> progress;
};

/// Decodes a whole OYO file held in FILE into REC. NAME becomes CRECNAME for
/// layouts 1 and 2, whose headers carry none. Outcomes: ShortFile for a
/// header or trace past the end, a field that does not read or a count or
/// stride that cannot be read ("Error reading file "), BadFormat when no
/// layout tag is found, NoMemory, Aborted.
[[nodiscard]] instrument::Outcome DecodeOyoFile(std::span<const std::byte> file, ShotRecord& REC,
                                                const RecordName& NAME,
                                                const OyoHooks* hooks = nullptr);

/// Reads the OYO file FNAME into REC. LPROG (Merge reading its inputs) moves
/// the progress bar of the current dialog. IERR: 0 success, -1 failure or
/// abort (the user told of every failure but an abort).
void OYOIN(ShotRecord& REC, std::string_view FNAME, int& IERR, bool LPROG);

}  // namespace vel
