#pragma once
// The one front door for foreign trace files: ISEISFT tells a file's format
// from its first 3200 bytes and its name, IMPORT reads it with the matching
// reader, INRECORDS counts the records of a file (only SEG-Y files hold
// several). Detection and dispatch share one table (kImportFormats in
// Import.cpp), in the order the tests are applied; a format whose reader is
// not built yet tells the user so.
//
// Reads go into a fresh record that replaces the caller's only when the read
// succeeds: a failed, refused or cancelled import leaves the record, its
// name and its format code exactly as they were. The fresh record starts from
// the defaults with the caller's trace spacing (a SEG-2 file without receiver
// positions keeps it) and is named after the file; the SEG-Y trace headers
// and the radar flag of the record held before are not carried over.
//
// The shell's part of an import (file dialog, hourglass cursor, window title,
// picking and drawing afterwards) sits with the commands that call IMPORT.
#include <cstdint>
#include <string>
#include <string_view>

#include "formats/SegyIn.h"
#include "record/FormatCodes.h"
#include "record/ShotRecord.h"

namespace vel {

/// Options that IMPORT hands to the readers.
struct ImportArguments {
  std::int32_t& IRECNO;  // SEG-Y record number, in and out
  int& IERR;             // 0 success, -1 failure (the user has been told)
  bool LFIRST;           // Merge reads its inputs (progress bar of its dialog)
  bool LSECOND;          // read the one selected SEG-Y record (Combine, batch)
};

/// A reader as the dispatch calls it.
using ImportReader = void (*)(ShotRecord& REC, std::string_view FNAME, ImportArguments& args);
/// SEG-Y record counting as INRECORDS calls it, over the file it has open:
/// NRECORDS in/out, IERR out.
using RecordCounter = void (*)(ShotRecord& REC, const SegyInFile& FILE, std::string_view FNAME,
                               std::int32_t& NRECORDS, int& IERR);

/// Returns the FileFormatCode of the file FNAME (the name as the caller has
/// it: bare, relative to the current folder, or with its folder). -1 after
/// "UNABLE TO OPEN FILE: " + name; 0 after "UNABLE TO IDENTIFY FORMAT FOR
/// FILE " + name (the name blank-padded to 256 characters).
std::int32_t ISEISFT(std::string_view FNAME);

/// Reads the file FNAME into REC with the reader of its format.
/// IRECNO: SEG-Y record number, in and out. IERR: 0 success, -1 failure.
/// LFIRST: Merge reads its inputs (goes to the readers of codes 1-5, 7, 9, 10).
/// LSECOND: read the selected SEG-Y record (SEG-Y only).
/// On success REC is the file's record with IFORMAT set to the code; on any
/// failure REC is untouched.
void IMPORT(ShotRecord& REC, std::string_view FNAME, std::int32_t& IRECNO, int& IERR, bool LFIRST,
            bool LSECOND);

/// Number of records of FNAME in NRECORDS (1 for everything but a SEG-Y file
/// of several). A SEG-Y file of one record is read into REC as IMPORT would.
/// IERR: 0, or -1 when the file cannot be opened or that read fails.
void INRECORDS(ShotRecord& REC, std::string_view FNAME, int& IERR, std::int32_t& NRECORDS);

/// What the SEG-Y reader remembers for the program's run (the record last
/// selected, the last text header's character set, the last binary header).
SegyInState& SegyReaderState();

/// The code that IMPORT or INRECORDS detected last (Merge reads it).
std::int32_t LastDetectedFormat();

}  // namespace vel
