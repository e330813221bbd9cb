#pragma once
// ABEM seismograph files: a 2048-byte header block whose first 622 bytes are
// text, then one 2048-byte block per trace of 1024 little-endian 16-bit
// samples, of which the first 1000 are the trace.
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string_view>

#include "instruments/ReaderKit.h"
#include "record/ShotRecord.h"

namespace vel {

// Header text, 1-based character positions (fields are read as Fortran
// edit descriptors; line ends have become blanks).
namespace abem {
inline constexpr std::size_t kTextBytes = 622;      // positions 1-622
inline constexpr std::size_t kHeaderBytes = 2048;   // the whole header block
inline constexpr std::size_t kBlockBytes = 2048;    // one trace block
inline constexpr std::int32_t kSamples = 1000;      // samples used of a block
inline constexpr std::string_view kMagic = "ABEM";  // positions 1-4, exact
inline constexpr std::size_t kShotPos = 19;         // 16-21 as 3X,I3: shot number
inline constexpr std::size_t kShotWidth = 3;
inline constexpr std::size_t kShotXPos = 39;  // 39-44 F6.0 shot position
inline constexpr std::size_t kFirstPos = 47;  // 47-52 F6.0 first receiver
inline constexpr std::size_t kLastPos = 55;   // 55-60 F6.0 last receiver
inline constexpr std::size_t kPositionWidth = 6;
inline constexpr std::size_t kIntervalPos = 93;   // I1 sample-interval code
inline constexpr std::size_t kPickFlagPos = 217;  // + 7(k-1): "1" trace k has a pick
inline constexpr std::size_t kPickFlagStep = 7;
inline constexpr std::size_t kPickWordsPos = 501;  // 501-620 pick words, one a trace
inline constexpr std::size_t kPickWordsWidth = 120;
inline constexpr std::size_t kPickWordChars = 3;    // each word cut to I3
inline constexpr std::size_t kTraceCountPos = 621;  // 621-622 I2 traces
inline constexpr int kMaxPickTraces = 24;           // traces the header has room for
/// Sample interval in microseconds for codes 0-7.
inline constexpr std::array<int, 8> kIntervalMicros = {24, 48, 100, 200, 500, 1000, 2000, 5000};
}  // namespace abem

/// The values of an ABEM header text.
struct AbemHeader {
  std::int32_t ntrace = 0;
  std::int32_t ishot = 0;
  std::int32_t intervalCode = 0;
  double shotx = 0.0;
  double first = 0.0;  // positions 47-52
  double last = 0.0;   // positions 55-60
  /// Pick of traces 1-24: the word of the trace when its flag is "1", else 0.
  std::array<std::int32_t, abem::kMaxPickTraces> picks{};
};

/// Decodes the 622-character header TEXT (line ends already blanks). False
/// when the text is not an ABEM header this reader can take: wrong magic, a
/// trace count below 1 or an interval code above 7.
[[nodiscard]] bool DecodeAbemHeader(std::string_view text, AbemHeader& out);

/// Decodes the header TEXT into REC and rebuilds its per-trace arrays for
/// NTRACE traces of 1000 samples. IERR := -1 when the header cannot be taken
/// or an allocation fails (no message); otherwise IERR is left alone.
void ABEMCODE(ShotRecord& REC, std::string_view TEXT, int& IERR);

/// Per-trace calls of the ABEM sample loop: PROGRESS(k) before trace k is
/// taken, ABORTED() after its block is in hand and before it is converted.
struct AbemTraceHooks {
  std::function<void(std::int32_t k)> progress;
  std::function<bool()> aborted;
};

/// Decodes a whole ABEM file held in FILE into REC; HOOKS may be null.
[[nodiscard]] instrument::Outcome DecodeAbemFile(std::span<const std::byte> file, ShotRecord& REC,
                                                 const AbemTraceHooks* hooks = nullptr);

/// Reads the ABEM file FNAME into REC. LOPT (the merge command) moves the
/// progress bar of the current dialog. IERR: 0 success, -1 failure or abort.
void ABEMIN(ShotRecord& REC, std::string_view FNAME, int& IERR, bool LOPT);

}  // namespace vel
