#pragma once
// The File menu's export commands: the current record as a SEG-2, SEG-Y,
// pick or ASCII file, one trace as an ASCII file, and the picks of stored
// trace files as one GRM file for the refraction interpretation program
// QUORIL; and the toolbar's export button, which offers them in a pop-up.
//
// The exports of the current record leave it unchanged. The GRM export reads
// every chosen trace file into the program's second record (the current one
// is left alone); each read also takes the file's display options and main
// frame, which the next redraw of the main window uses.
#include <string>

#include "formats/SegyOut.h"
#include "record/ShotRecord.h"
#include "shell/FileOptions.h"

namespace vel {

struct Velloran;

/// Command identifiers of these commands.
enum ExportCommandId : int {
  kCommandExportSegy = 40006,
  kCommandExportSeg2 = 40011,
  kCommandExportPicks = 40030,
  kCommandExportAscii = 40050,
  kCommandExportGrm = 40055,
  kCommandWriteTraceAscii = 40064,
  kCommandExportButton = 40102,
};

/// The export button's pop-up menu.
inline constexpr int kExportPopupMenu = 30003;
/// The progress dialog of runs over several files: file name in 1020, bar
/// 1021, Cancel.
inline constexpr int kConversionProgressDialog = 102;

/// The writer's options for the sample FORMAT, text code and byte order
/// chosen in the SEG-Y output dialog; the rest as for one whole file. BATCH:
/// progress goes to the caller's dialog instead of the writer's own.
SegyOutOptions ChosenSegyOptions(std::int32_t format, bool ebcdic, bool bigEndian, bool batch);

/// The writer's options for one record written as a whole SEG-Y file with
/// the file commands' choices O: its own progress dialog for large records.
inline SegyOutOptions WholeFileSegyOptions(const FileOptionState& o) {
  return ChosenSegyOptions(o.IOUTFMT, o.LEBCDIC, o.LMSBFIRST, false);
}

/// The output name proposed for REC: CRECNAME, blank-padded to 256
/// characters, blanked from its first "." when that stands at position 2 or
/// later.
std::string ProposedOutputName(const ShotRecord& REC);

/// The handlers of the command table.
void ExportSegyCommand(Velloran& app);        // 40006
void ExportSeg2Command(Velloran& app);        // 40011
void ExportPicksCommand(Velloran& app);       // 40030
void ExportAsciiCommand(Velloran& app);       // 40050
void ExportGrmCommand(Velloran& app);         // 40055
void WriteTraceAsciiCommand(Velloran& app);   // 40064
void ExportButtonCommand(Velloran& app);      // 40102

}  // namespace vel
