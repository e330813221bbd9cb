#pragma once
// The File menu's commands over several trace files: batch conversion of
// many files to SEG-2 or SEG-Y files, one output per record (CONVERT), and
// Combine, which writes every record of the chosen files into one
// multi-record SEG-Y file.
//
// Both take the chosen folder and names from the multiple-selection helper,
// join paths with "/", and read with the import dispatch into records of
// their own (the conversion record, the shell's second record), whose
// per-trace arrays they release when they end. The current record, the
// window and the loaded state are not touched, apart from closing the
// refraction window.
//
// Concatenate reads every record of a multi-record SEG-Y file as one record
// and shows it like an import. Subtract reads a second file of the same structure into the second record
// and subtracts its samples from the current record's, trace by trace.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "shell/FileOptions.h"
#include "toolkit/core/FileSelect.h"

namespace vel {

struct Velloran;

/// Command identifiers of these commands.
enum MultiFileCommandId : int {
  kCommandConvertSeg2 = 40009,
  kCommandConvertSegy = 40023,
  kCommandCombine = 40026,
  kCommandConcatenate = 40054,
  kCommandSubtract = 40056,
};

/// CONVERT's targets.
enum ConversionMode : int {
  kConvertToSegy = 1,
  kConvertToSeg2 = 2,
};

// --- shared by the commands over several files (Merge among them) ---

/// Asks for several trace files (the import's filter without the RX2, ANT
/// and DCF patterns) under TITLE: the folder and the names chosen, or no
/// names when the user did not confirm.
tk::FileSelection ChooseInputs(std::string_view title);

/// True when PATH names a file (not a folder).
bool FileExists(const std::string& path);

/// The chosen files as full paths, in order. False after telling the user of
/// one that does not exist ("File not found: ", the path, and ABORTED on the
/// next line). An abort ends the counting with the files found so far.
bool ExistingInputs(const tk::FileSelection& chosen, std::string_view aborted,
                    std::vector<std::string>& paths);

/// The output file name (without folder) of record R of an input file named
/// NAME (without folder) holding N records: NAME cut before its first ".",
/// then R in 1, 2, 4 or 5 digits with leading zeros when N is 2-9, 10-99,
/// 100-9999 or larger, then ".SGY" (MODE 1) or ".SG2".
std::string ConversionOutputName(std::string_view name, std::int32_t r, std::int32_t n, int mode);

/// The detail line of Combine's mismatch message (trailing blanks cut).
std::string CombineMismatchDetail(std::int32_t refSamples, std::int32_t samples,
                                  std::int32_t refTraces, std::int32_t traces, float refInterval,
                                  float interval);

/// The conversion of CHOSEN (folder and names, as the multiple-selection
/// helper gives them) into OUTPUTFOLDER: every record to one file, asking
/// before replacing one. Progress goes to dialog 102 when the caller shows
/// it. The conversion record's arrays are released at the end.
void ConvertFiles(const tk::FileSelection& chosen, std::string_view outputFolder, int mode,
                  const ConversionOptions& options, bool removeDelay);

/// Converts the files the user chooses, every record to one output file in
/// the chosen folder; MODE 1 SEG-Y, 2 SEG-2.
void CONVERT(Velloran& app, int mode);

/// The handlers of the command table.
void ConvertSeg2Command(Velloran& app);  // 40009
void ConvertSegyCommand(Velloran& app);  // 40023
void CombineCommand(Velloran& app);      // 40026
void ConcatenateCommand(Velloran& app);  // 40054
void SubtractCommand(Velloran& app);     // 40056

}  // namespace vel
