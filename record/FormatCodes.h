#pragma once
// The codes that file-type detection gives a trace file, kept in every
// record (IFORMAT) and in the trace file.
#include <cstdint>
#include <string_view>

namespace vel {

/// What file-type detection returns for a trace file.
enum FileFormatCode : std::int32_t {
  kFormatCannotOpen = -1,
  kFormatUnknown = 0,
  kFormatAbem = 1,
  kFormatBison1 = 2,
  kFormatBison2 = 3,
  kFormatEgg985 = 4,   // EG&G, 985-byte header
  kFormatEgg1197 = 5,  // EG&G, 1197-byte header
  kFormatEggGeometrics2401 = 6,
  kFormatOyo = 7,
  kFormatScintrexS2 = 8,
  kFormatSeg2 = 9,
  kFormatSegy = 10,
  kFormatMultiplexedTf = 11,
  kFormatDolang = 12,
  kFormatFpx = 13,
  kFormatSuspens = 14,
  kFormatRx2 = 15,
  kFormatAnt = 16,
  kFormatDcf = 17,
};

/// The format's name for messages and test output ("SEG-2", "unknown", ...).
std::string_view ToString(FileFormatCode code);

}  // namespace vel
