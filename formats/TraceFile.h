#pragma once
// The program's own binary trace file (".TRX"): the record, its picks, the
// trace-display options and the main plot's axes, so that work on a record can
// be taken up again.
//
// Layout (every number little-endian; reals IEEE single, logicals 32-bit -1/0,
// texts blank-padded ASCII without terminator):
//
//   0   8  magic "VELLTRAC"
//   8      records, each a 20-byte header and its payload; the last is "ENDFILE "
//
//   Record header:
//     0  8  tag, blank-padded
//     8  4  version: 1
//    12  4  index: the trace number of a "TRACES  " record, else 0
//    16  4  payload length in bytes
//
//   Records in the order they are written (n traces of m samples):
//     "MAINHEAD"  124        the main header (WriteMainHeader)
//     "GEOLOC  " "GEOLOCY " "SHOTLOCX" "SHOTLOCY" "GEOELE  " "GOFF    "
//     "TRACEMAX"  4 n        reals
//     "IBPICK  "  4 n        int32
//     "IHICUT  " "ILOCUT  " "INOTCH  " "IYEAR   " "IDAY    " "IHOUR   "
//     "IMINUTE " "ISECOND " "ITBASE  "  2 n  int16
//     "TRACES  "  4 m        the samples of trace j (index j), j = 1..n
//     "TRPARMS "  40         the first ten display options
//     "TRAXES  "  144        the first 36 words of the main plot's axes
//     "IVSTACK " "IFXGAIN "  4 n  int32
//     "ENDFILE "  0
//
//   A file of n traces of m samples holds 776 + 78 n + 4 n m bytes.
//
// Reading takes the records in any order after the main header, skips records
// of another version (with a message) and records it does not know (with a
// warning), and stops at "ENDFILE ". Every value is checked before use: a
// negative or oversized payload length, trace and sample counts that the bytes
// present cannot hold, a trace index outside the record, a per-trace record
// before any main header, a sample interval that is not a finite number of 0
// or more, and an auxiliary-trace count outside the record end the read as a
// damaged file. Display options outside their ranges keep their current
// values field by field; stored axes that cannot frame a plot (a non-finite
// word, a zero cell, absurd division counts or marker) are not taken as a
// whole. Picks outside 1..NSAMP are read as no pick. A payload longer than its
// target is read as far as the target reaches and the rest is passed over.
//
// A read fills a fresh record, options and axes and hands them over only when
// the file was read up to its "ENDFILE " record, so a failed or cancelled read
// leaves the caller's record (and its name), options and axes as they were.
// A write goes to a temporary file in the target's folder that replaces the
// target only once it is complete, keeping the target's permissions.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "record/ShotRecord.h"
#include "support/GraphAxes.h"
#include "support/UserMessages.h"

namespace vel {

/// The first eight bytes of every trace file.
inline constexpr std::string_view kTrxMagic = "VELLTRAC";
/// Bytes of a record header, of the stored options and of the stored axes.
inline constexpr std::size_t kTrxRecordHeaderBytes = 20;
inline constexpr std::size_t kTrxOptionsBytes = 40;
inline constexpr std::size_t kTrxAxesWords = 36;
inline constexpr std::size_t kTrxAxesBytes = 4 * kTrxAxesWords;

/// The four things BIOVELLN does.
enum class TrxMode {
  Open,    // the user chooses a file, which is read
  Save,    // written as CRECNAME + ".TRX" in the current folder, without asking
  SaveAs,  // the user chooses the name, the record is written
  Reload,  // the named file is read without asking
};

/// The mode a 10-character mode text selects: "OPEN", "Open" or "O" Open;
/// "SAVE", "Save" or "S" Save; only "RELOAD" Reload; anything else Save As.
TrxMode TrxModeOf(std::string_view MODE);

/// Writes REC, OPTS and AXES to, or reads them from, a trace file.
/// MODE: as TrxModeOf. NAME (256 characters, in/out): Reload reads the file
/// it names; Save sets it to CRECNAME + ".TRX"; Open and Save As set it to the
/// bare name the user chose (the chosen folder becomes the current folder).
/// Save As renames the record after the chosen file once the file is written.
/// IERR: 0 when the file was read up to its end record or written completely,
/// -1 otherwise (cancelled, blank name, any failure; the user has been told).
void BIOVELLN(ShotRecord& REC, sup::GraphAxes& AXES, TraceDisplayOptions& OPTS,
              std::string_view MODE, std::string& NAME, int& IERR);

// ---- The pure layer: encoding and decoding over bytes ----

/// Bytes of the trace file of NTRACE traces of NSAMP samples (counts below 0
/// count as 0).
std::uint64_t TraceFileBytes(std::int64_t NTRACE, std::int64_t NSAMP);

/// The whole file for REC, OPTS and AXES. Per-trace arrays shorter than the
/// record's trace count are written with zeros beyond their end. False when
/// the file would not fit in memory or exceed 2 GiB - 1.
[[nodiscard]] bool EncodeTraceFile(const ShotRecord& REC, const sup::GraphAxes& AXES,
                                   const TraceDisplayOptions& OPTS, std::vector<std::byte>& out);

/// What a read leaves: the record, options and axes it filled, on success.
struct TrxContents {
  ShotRecord record;
  sup::GraphAxes axes;
  TraceDisplayOptions options;
};

/// A message the read has for the user, in the order it arose.
struct TrxNotice {
  sup::UserMessageKind kind = sup::UserMessageKind::Information;
  std::string text;
};

/// Decodes a whole trace file into IO, which holds the values a file may
/// leave unset (a fresh record, the current options and axes). True when the
/// file was read up to its end record; the notices then hold the messages of
/// skipped records. False after a failure, whose message is the last notice;
/// IO is then partly filled and is to be dropped.
[[nodiscard]] bool DecodeTraceFile(std::span<const std::byte> file, TrxContents& io,
                                   std::vector<TrxNotice>& notices);

/// Writes the bytes to the file NAME through a temporary file in its folder,
/// replacing NAME only when everything was written. IERR 0, or -1 after the
/// message ("CANNOT OPEN FILE: ..." for a target the user may not write or a
/// folder where nothing can be created, "WRITE ERROR AT BYTE ..." otherwise).
void WriteTraceFileBytes(std::string_view NAME, std::span<const std::byte> bytes, int& IERR);

/// Reads the file NAME whole into BYTES (opened read-only). False after the
/// message "CANNOT OPEN FILE: ...".
[[nodiscard]] bool ReadTraceFileBytes(std::string_view NAME, std::vector<std::byte>& bytes);

}  // namespace vel
