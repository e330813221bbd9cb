#pragma once
// The File menu's commands that bring a record into the program or keep it in
// the program's own trace file: Open, Save, Save As, Import, Import
// Non-Compliant SEG-Y, Import User-Defined Format and Import ASCII File, with
// the window title and the common steps after every import (ImportTail).
//
// A read that fails or is cancelled changes nothing the user can see: the
// record, its name, the current file name, the title, the loaded state and the
// menus stay as they were (the readers fill a fresh record and hand it over
// only on success).
#include <string>

#include "record/ShotRecord.h"
#include "toolkit/core/FileSelect.h"

namespace vel {

struct Velloran;

/// Command identifiers of these commands.
enum FileCommandId : int {
  kCommandOpen = 40002,
  kCommandSaveAs = 40003,
  kCommandSave = 40004,
  kCommandImport = 40005,
  kCommandImportUserDefined = 40036,
  kCommandImportNonCompliantSegy = 40037,
  kCommandImportAscii = 40049,
};

/// "Morvane Seismic Shot Conversion [" + all 32 characters of CRECNAME + "]".
std::string RecordTitle(const ShotRecord& REC);
/// Sets the main window's title to RecordTitle and keeps it, blank-padded to
/// 80 characters, as the main window's style title.
void SetRecordTitle(Velloran& app);


/// The steps after every successful import: the record counts as loaded,
/// traces without a pick are picked, the record is marked as picked, scaled
/// anew and drawn on a fresh page, and panning is greyed.
void ImportTail(Velloran& app);

/// A record read from the file BARE (its bare name) now shown: the file
/// name kept, the title set, the refraction window closed, then ImportTail.
void ShowImportedRecord(Velloran& app, const std::string& bare);

/// File dialog flags of the commands that read or write several files: an
/// open dialog for several files that asks before taking a missing one, and
/// a save dialog that asks before replacing; both keep the chosen folder
/// current and put the filter's extension on a name typed without one.
inline constexpr int kSelectInputs =
    tk::kSelectConfirm | tk::kSelectKeepFolder | tk::kSelectMultiple | tk::kSelectDefaultExtension;
inline constexpr int kSelectOutput =
    tk::kSelectSave | tk::kSelectConfirm | tk::kSelectKeepFolder | tk::kSelectDefaultExtension;

/// The handlers of the command table.
void OpenCommand(Velloran& app);                    // 40002
void SaveAsCommand(Velloran& app);                  // 40003
void SaveCommand(Velloran& app);                    // 40004
void ImportCommand(Velloran& app);                  // 40005
void ImportUserDefinedCommand(Velloran& app);       // 40036
void ImportNonCompliantSegyCommand(Velloran& app);  // 40037
void ImportAsciiCommand(Velloran& app);             // 40049

}  // namespace vel
