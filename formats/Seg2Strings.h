#pragma once
// SEG-2 descriptor strings: the file descriptor strings (once per file) and
// the trace descriptor strings (once per trace), each a keyword followed by
// its values. FDBPARSE and TDBPARSE fill the shot record from one string; the
// SEG-2 reader cuts the strings out of the file, and the SEG-2 writer writes
// strings these parsers read back, so the keyword tables in Seg2Strings.cpp
// are the one reference for keywords, the order of values and their units.
//
// A string as the parsers see it: N characters, blanks as separators, no
// terminator, unprintable characters already blanked. The first word is the
// keyword and must equal a keyword of the table exactly (case-sensitive);
// the long spellings published by the SEG-2 standard and written by other
// programs (NOTCH_FREQUENCY, RECEIVER_STATION_NUMBER, SOURCE_STATION_NUMBER,
// STATIC_CORRECTIONS, and this program's own STATIC_CORRECTION) are listed
// as aliases of the short keywords. Matching whole words means a longer
// keyword, such as ACQUISITION_TIME_MICROSECONDS_UTC, never overwrites the
// field of a shorter one (ACQUISITION_TIME).
#include <cstdint>
#include <string_view>

#include "record/ShotRecord.h"

namespace vel {

/// The string and line terminators of the SEG-2 file being read or written
/// (file descriptor block bytes 8-13). The reader fills all six and then uses
/// only the string terminator size; the writer sets its own before writing.
struct Seg2Terminators {
  std::int32_t stringTerminatorSize = 1;
  std::int32_t lineTerminatorSize = 1;
  char stringTerminator[2] = {'\0', '\0'};
  char lineTerminator[2] = {'\n', '\0'};
};

/// The terminators shared by the SEG-2 reader and writer (one per program run).
Seg2Terminators& SEG2TERMINATORS();

/// Interprets STR(1:N), one file descriptor string, into REC (IFDBLEN,
/// CFDBVAL, CUNITS, CNOTE). Unknown or malformed strings change nothing.
/// IERR: always 0.
void FDBPARSE(std::string_view STR, int N, int& IERR, ShotRecord& REC);

/// Interprets STR(1:N), one descriptor string of trace J (1..NTRACE, arrays
/// already sized), into REC. FBREAK receives a FIRST_BREAK value in seconds
/// and is otherwise left alone; LOCFLAG is set by RECEIVER_LOCATION and never
/// cleared here. IERR: 0, or -1 when a value could not be read (the user has
/// been told: "ERROR READING DATA: " and the keyword in double quotes).
void TDBPARSE(ShotRecord& REC, std::string_view STR, int J, int N, float& FBREAK, bool& LOCFLAG,
              int& IERR);

/// Reads a real value word the way descriptor strings hold them: the first 20
/// characters, optional sign, digits, optional point, optional exponent (E or
/// D, either case). False when the word is not such a number.
[[nodiscard]] bool ParseSeg2Real(std::string_view word, double& value);
/// The same for a whole number: a point or exponent makes it unreadable.
[[nodiscard]] bool ParseSeg2Integer(std::string_view word, std::int32_t& value);

}  // namespace vel
