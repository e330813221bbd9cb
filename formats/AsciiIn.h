#pragma once
// ASCII and CSV trace tables in: one row per sample time, one column per
// trace. The user chooses the file and tells which columns hold the traces
// (AsciiColumnLayout); times come from the layout, positions are the trace
// numbers.
//
// Rows are text lines of any length (LF ends a line; a CR before it, tabs and
// other control characters count as blanks). Commas and double quotes count
// as blanks too, so columns are the blank-separated words of a row, from 1,
// and an empty CSV field is no column. A row is stored only when every column
// the layout needs is present and reads as a number (the first 20 characters
// of the word, as descriptor strings hold them); other rows (headers, short
// rows, text) are dropped without a message.
//
// Reads go into a fresh copy of the record's header and replace the record
// only when they succeed: a failed, abandoned or empty read leaves it as it
// was.
#include <cstdint>
#include <string>
#include <string_view>

#include "record/ShotRecord.h"

namespace vel {

/// Which columns of a table hold traces and which times the rows stand for.
/// Kept for the run (ASCIILAYOUT), not saved at exit.
struct AsciiColumnLayout {
  std::int32_t ICOL1 = 1;    // column (word number on the row) of trace 1, from 1
  std::int32_t ICOLINC = 1;  // columns from one trace to the next, 1 or more
  std::int32_t NTRIN = 0;    // traces to read, 1 or more
  std::int32_t NSIN = 0;     // samples per trace to read at most, 1 or more
  std::int32_t IROW1 = 0;    // first row to read; 0 or negative: from the first
  float TFIRST = 0.1f;       // time of the first data row, ms
  float TSTEP = 0.1f;        // time between rows, ms (the record's sample interval)
  bool operator==(const AsciiColumnLayout&) const = default;
};

/// The layout the ASCII import keeps from one import to the next.
AsciiColumnLayout& ASCIILAYOUT();

/// The ASCII file type chosen last in an ASCII file dialog: 1 flat (.DAT,
/// blanks between values), 2 comma-separated (.CSV), 3 text (.TXT, commas).
/// 1 at start; the import, the export and the spectrum save share it.
std::int32_t& IASCTYPE();

/// The ASCII file dialogs' filter and title.
inline constexpr std::string_view kAsciiFileFilter =
    "Flat ASCII Trace Data File|*.DAT|Comma-Separated Value|*.CSV|Text Files|*.TXT|";
inline constexpr std::string_view kAsciiFileTitle = "ASCII Trace Data File";

/// Empty when LAYOUT can be read with; otherwise the message that says which
/// value is out of range (columns and counts 1 or more, the last column within
/// 32 bits, times finite, the time increment above 0).
std::string CheckAsciiColumnLayout(const AsciiColumnLayout& LAYOUT);

/// Reads the table FNAME (a path, or a name in the current folder) into REC
/// with LAYOUT. Sets CRECNAME (the bare name's first 32 characters up to its
/// first "."), NTRACE := NTRIN, NSAMP := the rows stored (at most NSIN),
/// SAMPINT := TSTEP, TDELAY := TFIRST - TSTEP, SHOTY := 0, every per-trace
/// array (the SEG-Y trace headers too, which hold nothing, so LSEGYHDR goes
/// false), GEOLOC(j) := j, GEOELE := 0, the samples, TRACEMAX, GMIN and GMAX;
/// every other field keeps its value. Shows the progress display and polls
/// the abort latch after every stored row.
/// IERR: 0 read; -1 layout out of range, file not readable, no data row,
/// allocation failure or abandoned (the user has been told, except after an
/// abandon) - REC is then unchanged.
void ReadAsciiTable(ShotRecord& REC, std::string_view FNAME, const AsciiColumnLayout& LAYOUT,
                    int& IERR);

/// Shows the beginning of FNAME in dialog 134 "ASCII File Columns" with the
/// layout values and returns them as the user leaves them. IERR: 0 after OK,
/// -1 after Cancel or a failure (the user has been told).
void GTCOLSTRACE(AsciiColumnLayout& LAYOUT, std::string_view FNAME, int& IERR);

/// The ASCII import command's reader: asks for the file (its folder becomes
/// the current one), then for the column layout (GTCOLSTRACE on ASCIILAYOUT),
/// then reads it with ReadAsciiTable. IERR: 0 when a file was read; -1 when
/// the user cancelled or the read failed (REC unchanged).
void ASCIIIN(ShotRecord& REC, int& IERR);

}  // namespace vel
