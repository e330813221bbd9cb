#pragma once
// Dolang seismograph records: a text header file (named with ".SDT", ".ADT",
// ".CDT", ".RDT" or ".DDT") and one text data file per trace, named from the
// header's name with the "DT" of that mark replaced by the two-digit trace
// number (LINE4.SDT: LINE4.S01, LINE4.S02, ...). Every value stands on a line
// of its own; lines end at LF, a CR before it dropped.
//
// Header lines: 1-4 text, 5 traces (I10), 6 shot number (I10), 7 an integer
// (I10), 8 record length in ms (a real in 20 characters), 9 samples per
// trace (I10), 10 a real, 11 text, 12 receiver spacing (a real). A data file
// holds one sample a line, a real in the line's first 20 characters.
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "record/ShotRecord.h"

namespace vel {

namespace dolang {
inline constexpr std::int32_t kHeaderLines = 12;
inline constexpr std::int32_t kTraceCountLine = 5;
inline constexpr std::int32_t kShotLine = 6;
inline constexpr std::int32_t kRecordLengthLine = 8;
inline constexpr std::int32_t kSampleCountLine = 9;
inline constexpr std::int32_t kSpacingLine = 12;
inline constexpr std::size_t kIntWidth = 10;    // I10
inline constexpr std::size_t kRealWidth = 20;   // a real in 20 characters
inline constexpr std::int32_t kMaxTraces = 99;  // two-digit data file numbers
/// Names in the messages are blank-padded to this width.
inline constexpr std::size_t kMessageNameChars = 25;
/// Characters of the header file's own name that make the file names.
inline constexpr std::size_t kNameChars = 25;
}  // namespace dolang

/// The values of a Dolang header.
struct DolangHeader {
  std::int32_t ntrace = 0;
  std::int32_t ishot = 0;
  std::int32_t recordLength = 0;  // line 8 rounded, halves away from zero
  std::int32_t nsamp = 0;
  float spacing = 0.0f;  // line 12
};

/// How a header decode ended.
enum class DolangHeaderStatus {
  Ok,
  BadLine,     // LINE cannot be read: missing, not a number, or out of range
  NoDataFile,  // the first data file does not open (checked at line 9)
  ShortDataFile,  // NSAMP is more than the first data file can hold
};

/// Decodes the header TEXT. FIRSTDATABYTES gives the size in bytes of the
/// first data file (negative when it does not open); it is asked once, at
/// line 9, and NSAMP above it is refused there, since every sample takes a
/// line of at least one byte. LINE := the line the decode stopped at.
/// Refused: the trace count outside 1..99 (line 5), a record length whose
/// nearest whole number does not fit 32 bits (line 8), a sample count below 1
/// (line 9), a real beyond the float range on its line.
[[nodiscard]] DolangHeaderStatus DecodeDolangHeader(
    std::string_view text, const std::function<std::int64_t()>& firstDataBytes, DolangHeader& out,
    std::int32_t& line);

/// Reads the TRACE.size() samples of the data file TEXT into TRACE. False
/// when a line is missing or not a number within the float range; LINE := the
/// line read last (the failing one).
[[nodiscard]] bool DecodeDolangTrace(std::string_view text, std::span<float> trace,
                                     std::int32_t& line);

/// The header file's name as the reader uses it: its folder and the first
/// 25 characters of its own name.
std::string DolangHeaderFileName(std::string_view header);

/// OUT := the data file name of trace J (1..99) of the header file HEADER
/// (its folder kept): the first 25 characters of the file's own name with
/// every "DT" in them replaced by J in two digits (no "DT": the header's
/// name). False when J is out of range.
[[nodiscard]] bool DolangDataFileName(std::string_view header, std::int32_t J, std::string& out);

/// Reads the Dolang record whose header file is FNAME (relative names from
/// the current folder) into REC: NTRACE, ISHOT, NSAMP, SAMPINT = NINT(record
/// length) / NSAMP, TDELAY 0, receivers at s, s + s, ... when the spacing s
/// of line 12 is above 0 (SPACING left as it was), GOFF = GEOLOC - SHOTX, ISRCSTN and
/// IRCVSTN the shot number, SHOTLOCX = SHOTX, the samples of every trace with
/// the trace statistics. Polls the abort latch after each trace.
/// IERR: 0 success; -1 after "CANNOT OPEN FILE " or "CANNOT READ FILE "
/// + name + ";AT LINE " + line (I5), or without a message after an abort or a
/// failed allocation.
void DOLANGIN(ShotRecord& REC, std::string_view FNAME, int& IERR);

}  // namespace vel
