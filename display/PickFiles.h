#pragma once
// First-break picks out to text files: the pick file of the current record
// (PICKOUT) and the shot blocks of a GRM file for the refraction
// interpretation program QUORIL (SHOTOUT), with the two dialogs that set
// their options.
//
// A trace without a pick (IBPICK 0 or less) counts as dead: it is left out,
// or written with the dead text when the options ask for it. Lines end with
// CR LF; numbers are written through fixed-width edit descriptors, a value
// that does not fit filling its field with "*".
#include <cstdint>
#include <string>
#include <string_view>

#include "record/ShotRecord.h"
#include "support/Strings.h"

namespace vel {

/// Layout and dead-trace handling of pick and GRM files, kept in the
/// settings file.
struct PickExportOptions {
  std::int32_t IPICKOUT = 0;                 // 1 (and 0) number, 2 position, 3 number and position
  std::int32_t IDEADOUT = 0;                 // 2: traces without a pick get the dead text
  sup::FixedString<8> CDEADOUT{"    DEAD"};  // text written for a dead trace
  std::int32_t IPOSOUT = 0;                  // 1 position, else offset from the shot
  bool CSValue = false;                      // comma-separated
  bool operator==(const PickExportOptions&) const = default;
};

/// Dialog identifiers.
inline constexpr int kPickFileDialog = 129;    // "Break Pick Export Format"
inline constexpr int kDeadTraceDialog = 150;   // "Pick Export for Dead Traces"

/// The line of trace J of the pick file (without its line end); empty when
/// the trace is dead and dead traces are left out.
std::string PickFileLine(const ShotRecord& REC, std::int32_t J, const PickExportOptions& OPTIONS);

/// Writes the pick file NAME of REC: the record name (all 32 characters),
/// then one line per trace. Creates the file or replaces its contents.
/// Failures are told to the user and end the writing ("Cannot open file:",
/// "Error writing first record in pick file", "Error writing file at record
/// " with the trace number); what was written stays. IERR 0 or -1.
void PICKOUT(const ShotRecord& REC, std::string_view NAME, const PickExportOptions& OPTIONS,
             int& IERR);

/// The GRM file's header line: five blanks, STEM (8 characters), two blanks,
/// the units of REC (GrmUnits) and its trace spacing in F10.3.
std::string GrmHeaderLine(std::string_view STEM, const ShotRecord& REC);
/// CUNITS with every unprintable character blanked, "****" when then blank.
std::string GrmUnits(const ShotRecord& REC);
/// The first 8 characters of the file name of PATH (its folder removed),
/// blanked from their first "." on, padded to 8.
std::string GrmStem(std::string_view PATH);

/// The shot line of REC's GRM block.
std::string GrmShotLine(const ShotRecord& REC);
/// The line of trace J of REC's GRM block; empty when the trace is dead and
/// dead traces are left out.
std::string GrmTraceLine(const ShotRecord& REC, std::int32_t J, const PickExportOptions& OPTIONS);

/// Appends the block of REC to the GRM file open on handle IH: the shot
/// line, one line per trace and a line holding one blank. A record without
/// any pick adds nothing. A failed write is told to the user ("Error writing
/// file at record " with the trace number; 0 for the shot line, NTRACE + 1
/// for the closing line), closes the file (IH becomes -1) and gives IERR -1.
void SHOTOUT(const ShotRecord& REC, const PickExportOptions& OPTIONS, int& IH, int& IERR);

/// Dialog 129: layout, dead traces and their text, comma separation,
/// position or offset. STATUS 0 after OK (OPTIONS hold the choice), -1 after
/// Cancel (OPTIONS unchanged).
void PICKOUTDLG(PickExportOptions& OPTIONS, int& STATUS);
/// Dialog 150: dead traces and their text only; STATUS as PICKOUTDLG.
void PICKEXPORTDLG(PickExportOptions& OPTIONS, int& STATUS);

}  // namespace vel
