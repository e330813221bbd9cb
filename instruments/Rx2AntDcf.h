#pragma once
// Three field-instrument formats on one frame (every binary number
// little-endian):
//   RX2  a 4096-byte text header holding "EMGS_RXII" and perhaps a channel
//        list (a line "CI: item item ..."; six channels without one), then
//        frames of one IEEE 32-bit real per channel, one frame a sample time;
//        sample interval 0.02 ms.
//   ANT  a 100-byte text header beginning "HV:" with the sample interval in
//        seconds at bytes 59-64 (F6.3), then trace records of a 7-byte
//        header and 1000 signed 16-bit samples (2007 bytes).
//   DCF  an 8-byte file header beginning "GTMH", then trace records all as
//        long as the first: a 112-byte header (record length L at offset 4,
//        the sample interval in ms as a 64-bit real at 24) and (L - 112) / 8
//        samples as IEEE 64-bit reals.
// A partial frame or record at the end of a file is neither counted nor read.
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "record/ShotRecord.h"

namespace vel {

namespace rx2 {
inline constexpr std::size_t kHeaderBytes = 4096;
inline constexpr std::int32_t kDefaultChannels = 6;
}  // namespace rx2
namespace ant {
inline constexpr std::size_t kHeaderBytes = 100;
inline constexpr std::size_t kTraceHeaderBytes = 7;
inline constexpr std::int32_t kSamples = 1000;
inline constexpr std::size_t kRecordBytes = kTraceHeaderBytes + 2 * kSamples;
}  // namespace ant
namespace dcf {
inline constexpr std::size_t kFileHeaderBytes = 8;
inline constexpr std::size_t kTraceHeaderBytes = 112;
}  // namespace dcf

/// The channel count of an RX2 text header (its first 4096 bytes, or fewer):
/// the items of the last line that starts "CI:", 6 when there is none.
std::int32_t Rx2ChannelCount(std::string_view header);

/// How a decode of these formats ended. Each has its message (below).
enum class FieldFileOutcome {
  Ok,
  ShortHeader,   // RX2 "Error reading 4096 byte header", ANT "... 100 ...", DCF "... 8 ..."
  ShortTraceHeader,  // DCF "Error reading 112 byte header" (also a record length it cannot use)
  BadInterval,   // ANT "Error reading sample interval"
  NoChannels,    // RX2 "CI:" with nothing after it: "Error reading 4096 byte header"
  NoData,        // no whole frame (RX2: "Error reading data") or record (ANT: "Error reading current header")
  NoMemory,      // "Error allocating data arrays"
  Aborted,       // "INPUT TERMINATED BY USER"
};

/// What a decode reports on its way: UNITS units (frames or traces) in all.
struct FieldFileHooks {
  std::function<void(std::int32_t units)> start;           // counts known, before the arrays
  std::function<void(std::int32_t i, std::int32_t units)> beforeUnit;
  std::function<bool()> aborted;                            // polled before every unit
};

/// Decoders over the whole file: REC's per-trace arrays are rebuilt and
/// filled, the counts, interval, delay 0, shot 0, no auxiliary traces, the
/// acquisition date cleared and the amplitudes set; every other main-header
/// field is kept. HOOKS may be null.
[[nodiscard]] FieldFileOutcome DecodeRx2File(std::span<const std::byte> file, ShotRecord& REC,
                                             const FieldFileHooks* hooks = nullptr);
[[nodiscard]] FieldFileOutcome DecodeAntFile(std::span<const std::byte> file, ShotRecord& REC,
                                             const FieldFileHooks* hooks = nullptr);
[[nodiscard]] FieldFileOutcome DecodeDcfFile(std::span<const std::byte> file, ShotRecord& REC,
                                             const FieldFileHooks* hooks = nullptr);

/// The readers IMPORT calls for codes 15, 16 and 17: the record named after
/// the file, IERR -1 (after the message) on failure or abort, else left as
/// passed. The progress dialog shows above 100000 samples (RX2, DCF) or 100
/// traces (ANT).
void RX2IN(ShotRecord& REC, std::string_view FNAME, int& IERR);
void ANTIN(ShotRecord& REC, std::string_view FNAME, int& IERR);
void DCFIN(ShotRecord& REC, std::string_view FNAME, int& IERR);

}  // namespace vel
