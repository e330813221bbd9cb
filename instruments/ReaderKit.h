#pragma once
// What the field-seismograph readers share: the rebuild of the per-trace
// arrays for a new trace count, the trace statistics, the signed 8-bit sample
// conversion, numeric header fields, reading the file, and the one failure
// path with its messages.
//
// Reader contract. A reader takes the fresh ShotRecord that IMPORT hands it
// (already named after the file, holding the trace spacing of the record
// shown before), the file name as given, the error flag and its option
// flag. It opens the file read-only, reads it whole, decodes it into the
// record and sets the error flag: 0 success, -1 failure or user abort.
// Messages show the name blank-padded to its 256-character field. File errors are told to the user
// in a message box; an allocation failure or an abort ends the read without one. Every count from
// the file is checked against the bytes present, in 64-bit arithmetic, before anything is
// allocated.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "record/ShotRecord.h"

namespace vel {

/// OUT(k) := byte k of BYTES as a signed 8-bit value (128..255 give -128..-1),
/// k = 1..N; N of 0 or less, or beyond either buffer, writes only what fits.
void C1TOI2(std::span<const std::byte> BYTES, std::span<std::int16_t> OUT, int N);

/// Rebuilds every per-trace array of REC for REC.NTRACE traces (TRACES with
/// REC.NSAMP rows) with the readers' initial values: numbers 0, IFXGAIN and
/// IVSTACK 1, CSRCTEXT and CTRCTYPE blank, CTRCTEXT NUL characters; NAUX 0
/// and SHOTY 0.0. ISEGYTRH is not touched. IERR := -1 (no message) when a
/// count is negative or an allocation fails; otherwise IERR is left alone.
void ALLOCTRACEARRAYS(ShotRecord& REC, int& IERR);

/// GMIN := 1.0e30, GMAX := -1.0e30, before the first trace is read.
void StartTraceStatistics(ShotRecord& REC);
/// TRACEMAX of trace J := its largest absolute counted sample (1.0e30 when
/// FINDNX counts none); GMIN and GMAX extended over the trace.
void TraceStatistics(ShotRecord& REC, std::int32_t J);

/// Receiver positions of every trace from the header's values, in double:
/// GEOLOC(j) := FIRST + (j - 1) x STEP, GOFF(j) := GEOLOC(j) - SHOTX, and
/// SHOTLOCX(j) := SHOTX.
void FillReceiverPositions(ShotRecord& REC, double first, double step);

namespace instrument {

/// A numeric header field: WIDTH characters of TEXT from 0-based OFFSET, read
/// as Iw or Fw.0. A field that does not read, or a real beyond the range of
/// a float, is 0. READOK (when given) tells whether it read.
std::int32_t IntField(std::string_view text, std::size_t offset, std::size_t width,
                      bool* readOk = nullptr);
double RealField(std::string_view text, std::size_t offset, std::size_t width);

/// A float from a double read from a file: values beyond the float range
/// become 0.0 instead of an undefined conversion.
float ToFloat(double v);

/// Turns every line feed and carriage return of TEXT into a blank (and the
/// character 3 as well when ETX is true).
void BlankLineEnds(std::string& text, bool etx = false);

/// How a decode ended; the reader turns it into the message and the flag.
enum class Outcome {
  Ok,
  ShortFile,      // "Error reading file " + name
  BadFormat,      // the format's own message (ABEM)
  NoMemory,       // no message
  Aborted,        // no message
  PartialTraces,  // the samples' end-of-file message once; the read stands
};

/// Reads the whole file named FNAME, opened read-only, into BYTES. False when
/// it does not open (OPENED false) or cannot be read whole (OPENED true).
[[nodiscard]] bool ReadWholeFile(std::string_view FNAME, std::vector<std::byte>& bytes,
                                 bool& opened);

/// FNAME as the messages show it: blank-padded to the 256-character name
/// field (a longer name is shown whole).
std::string NameField(std::string_view FNAME);

/// "Error reading file " followed by the name field.
std::string ReadErrorMessage(std::string_view FNAME);

/// The one failure path: shows MESSAGE through WINMSG (none when empty) and
/// sets IERR to -1.
void ReadFail(int& IERR, std::string_view message);

/// The failure table: ShortFile shows the read-failure message, BadFormat
/// FORMATMESSAGE, and both, NoMemory and Aborted set IERR to -1; Ok and
/// PartialTraces change nothing (the reader reports a partial read itself).
void ReportOutcome(Outcome outcome, std::string_view FNAME, int& IERR,
                   std::string_view formatMessage = {});

}  // namespace instrument
}  // namespace vel
