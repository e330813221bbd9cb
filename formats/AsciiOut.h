#pragma once
// ASCII and CSV trace tables out: one row per sample, one column per trace,
// optionally a row of column labels, a row of receiver positions and a
// leading column of times; or one trace as a two-column table of times and
// samples.
//
// Every number is written as the edit descriptor 1PE13.5 writes it (13
// columns, right-justified, "1.25000E+01"); at most 1000 values go on one
// line and a longer row goes on over further lines (a comma-separated
// continuation line begins with its comma). Lines end with CR LF.
#include <cstdint>
#include <string>

#include "record/ShotRecord.h"

namespace vel {

/// Characters of one number in the table.
inline constexpr int kAsciiValueWidth = 13;
/// Values on one line at most.
inline constexpr int kAsciiValuesPerLine = 1000;
/// Traces a table holds at most.
inline constexpr std::int32_t kAsciiMaxTraces = 1000;

/// ASCII export layout options.
struct AsciiExportOptions {
  std::int32_t ILABEL = 0;
  bool LTIMES = false;
  bool LPOSITS = false;
  bool operator==(const AsciiExportOptions&) const = default;
};

/// Writes VALUE as 1PE13.5 into OUT[0..12] (exactly 13 characters, the same
/// text as tk::FormatRealField(VALUE, "(1PE13.5)")). Returns OUT + 13.
char* PutAsciiValue(char* out, float VALUE);

/// The label of trace J (1..9999) for label style ILABEL: 1 no blanks
/// ("TRACE1"), 2 zero filled ("TRACE00001"), 3 the blanks between TRACE and
/// the number halved, rounded up, padded to 10 ("TRACE  1"), anything else
/// "TRACE" and J right-justified in 5 ("TRACE    1").
std::string AsciiTraceLabel(std::int32_t J, std::int32_t ILABEL);

/// Writes REC as a table. ITRACE in 1..NTRACE writes that trace alone (time
/// and sample, blank-separated, no label or position row); anything else
/// writes every trace with OPTIONS (ILABEL 4 no label row, LTIMES the time
/// column, LPOSITS the position row), blank-separated when IASCTYPE() is 1,
/// comma-separated otherwise. Times start at TDELAY, SAMPINT added before
/// each row in single precision.
/// FNAME: the output file; blank to ask the user with the save dialog (which
/// proposes CRECNAME up to its first "." and stores the chosen type in
/// IASCTYPE, and for all traces then ASCIIOUTPUTDLG on OPTIONS); FNAME then
/// holds the chosen name. Given a name, no dialog of any kind is shown.
/// IERR: 0 written, or the user left the file dialog; -1 more than 1000
/// traces, ASCIIOUTPUTDLG cancelled, the file could not be created or a write
/// failed (the user has been told, except after a Cancel).
void ASCIIOUT(const ShotRecord& REC, std::int32_t ITRACE, std::string& FNAME, int& IERR,
              AsciiExportOptions& OPTIONS);

/// Dialog 152 "ASCII File Creation Parameters" on OPTIONS: IERR 0 after OK
/// (OPTIONS hold the choice), -1 after Cancel (OPTIONS unchanged).
void ASCIIOUTPUTDLG(AsciiExportOptions& OPTIONS, int& IERR);

}  // namespace vel
