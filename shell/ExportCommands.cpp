#include "shell/ExportCommands.h"

#include <string_view>

#include "display/PickFiles.h"
#include "formats/AsciiOut.h"
#include "formats/Seg2Out.h"
#include "formats/SegyOut.h"
#include "formats/TraceFile.h"
#include "platform/FixedText.h"
#include "platform/window/Window.h"
#include "shell/FileCommands.h"
#include "shell/FileOptions.h"
#include "shell/Velloran.h"
#include "support/FileIO.h"
#include "support/UserMessages.h"
#include "toolkit/core/FileSelect.h"
#include "toolkit/core/Menus.h"
#include "toolkit/core/Windows.h"
#include "toolkit/dialogs/Dialogs.h"

namespace vel {
namespace {

constexpr std::size_t kNameChars = 256;
constexpr std::size_t kListChars = 32767;
constexpr int kProgressFile = 1020;
constexpr int kProgressBar = 1021;

/// Asks for an output file, starting from NAME (blank-padded, in and out).
/// True when the user confirmed a name that is not blank.
bool ChooseOutput(std::string_view filter, std::string_view title, std::string& name) {
  tk::WindowMakeCurrent(tk::kMainWindow);
  tk::WSelectFile(filter, kSelectOutput, name, title);
  return tk::WDialogStatusQuery(4) == 1 && !plat::TrimRight(name).empty();
}

/// The output name of an export of the current record, asked for with the
/// proposal; empty when the user did not confirm one.
std::string ChooseRecordOutput(Velloran& app, std::string_view filter, std::string_view title) {
  std::string name = ProposedOutputName(app.record);
  if (!ChooseOutput(filter, title, name)) return {};
  app.outputName = name;
  return std::string(plat::TrimRight(name));
}

void SelectProgress(int percent, std::string_view file = {}) {
  tk::WDialogSelect(kConversionProgressDialog);
  tk::WDialogPutProgressBar(kProgressBar, percent);
  if (!file.empty()) tk::WDialogPutString(kProgressFile, file);
}

/// Writes the GRM file's header line and its five empty lines for the first
/// record read. False after telling the user of a failed write.
bool WriteGrmHeader(int ih, std::string_view stem, const ShotRecord& first,
                    std::string_view name) {
  std::string text = GrmHeaderLine(stem, first) + "\r\n";
  for (int i = 0; i < 5; ++i) text += "\r\n";
  if (sup::IRITFIL(ih, text, static_cast<int>(text.size())) == 0) return true;
  sup::WINMSG("Error writing the header of GRM file: " + std::string(name));
  return false;
}

}  // namespace

std::string ProposedOutputName(const ShotRecord& REC) {
  std::string name = plat::Padded(REC.CRECNAME.View(), kNameChars);
  if (const std::size_t dot = name.find('.'); dot != std::string::npos && dot >= 1)
    name.replace(dot, kNameChars - dot, kNameChars - dot, ' ');
  return name;
}

void ExportSeg2Command(Velloran& app) {
  if (!app.loaded) {
    sup::WINMSG("PLEASE LOAD TRACES FIRST");
    return;
  }
  const std::string name =
      ChooseRecordOutput(app, "SEG-2 Seismic Files|*.SG2|", "SEG-2 Seismic File");
  if (name.empty()) return;
  FileOptionState& o = app.fileOptions;
  int ierr = 0;
  SEG2OUTPUTDLG(o.IOUTFMT, o.LMSBFIRST, app.settings.LREMOVEDELAY, ierr);
  if (ierr != 0) return;
  // The writer tells the user of its own failures.
  SEG2OUT(app.record, name, o.LMSBFIRST, o.IOUTFMT, false, app.settings.LREMOVEDELAY ? 1 : 0,
          ierr);
}

void ExportSegyCommand(Velloran& app) {
  if (!app.loaded) {
    sup::WINMSG("PLEASE LOAD TRACES FIRST");
    return;
  }
  const std::string name =
      ChooseRecordOutput(app, "SEG-Y Seismic Files|*.SGY|", "SEG-Y Seismic File");
  if (name.empty()) return;
  FileOptionState& o = app.fileOptions;
  int ierr = 0;
  SEGYOUTPUTDLG(o.IOUTFMT, o.LMSBFIRST, o.LEBCDIC, ierr);
  if (ierr != 0) return;
  SEGYOUT(app.record, name, WholeFileSegyOptions(o), ierr);
}

SegyOutOptions ChosenSegyOptions(std::int32_t format, bool ebcdic, bool bigEndian, bool batch) {
  SegyOutOptions options;
  options.format = format;
  options.ebcdic = ebcdic;
  options.bigEndian = bigEndian;
  options.batch = batch;
  return options;
}

void ExportPicksCommand(Velloran& app) {
  if (!app.loaded || !app.record.LPICKS) {
    sup::WINMSG(app.loaded ? "PLEASE PICK BREAKS FIRST" : "PLEASE LOAD TRACES AND PICK BREAKS FIRST");
    return;
  }
  int ierr = 0;
  PICKOUTDLG(app.settings.pickExport, ierr);
  if (ierr != 0) return;
  const std::string name = ChooseRecordOutput(app, "ASCII First Break Pick Files|*.PCK|",
                                              "ASCII First Break Pick File");
  if (name.empty()) return;
  PICKOUT(app.record, name, app.settings.pickExport, ierr);
}

void ExportAsciiCommand(Velloran& app) {
  if (!app.loaded) return;
  tk::WindowMakeCurrent(tk::kMainWindow);
  app.outputName.assign(kNameChars, ' ');
  int ierr = 0;
  ASCIIOUT(app.record, 0, app.outputName, ierr, app.settings.asciiExport);
}

void WriteTraceAsciiCommand(Velloran& app) {
  // Only a trace of the record: with traces placed by number the pointer can
  // find trace 0 or NTRACE + 1, and the writer takes any number outside the
  // record as "every trace".
  if (!app.loaded || app.selectedTrace < 1 || app.selectedTrace > app.record.NTRACE) return;
  tk::WindowMakeCurrent(tk::kMainWindow);
  app.outputName.assign(kNameChars, ' ');
  int ierr = 0;
  ASCIIOUT(app.record, app.selectedTrace, app.outputName, ierr, app.settings.asciiExport);
}

void ExportButtonCommand(Velloran&) {
  // The pop-up opens where the button was clicked: at the pointer.
  tk::WindowMakeCurrent(tk::kMainWindow);
  const plat::Point at = plat::CursorPos();
  tk::WMenuFloating(kExportPopupMenu, at.x, at.y, 1);
}

void ExportGrmCommand(Velloran& app) {
  PickExportOptions& options = app.settings.pickExport;
  int ierr = 0;
  PICKEXPORTDLG(options, ierr);
  if (ierr != 0) return;

  tk::WindowMakeCurrent(tk::kMainWindow);
  std::string list(kListChars, ' ');
  tk::WSelectFile("Velloran Trace Data Files|*.TRX|", kSelectInputs, list,
                  "Velloran Trace Data Files");
  if (tk::WDialogStatusQuery(4) != 1) return;
  const tk::FileSelection chosen = tk::SplitFileSelection(list);
  if (chosen.names.empty()) return;

  std::string output = plat::Padded(tk::JoinFolderAndName(chosen.folder, ""), kNameChars);
  if (!ChooseOutput("QUORIL GRM Files|*.GRM|", "QUORIL GRM File", output)) return;
  app.outputName = output;
  const std::string grmName(plat::TrimRight(output));
  int ih = sup::MAKEFIL(grmName);
  if (ih < 0) {
    sup::WINMSG("Cannot open GRM file: " + output);
    return;
  }
  const std::string stem = GrmStem(grmName);

  tk::WDialogLoad(kConversionProgressDialog);
  SelectProgress(0);
  tk::WDialogShow(-1, -1, 0, tk::kShowSemiModeless);
  sup::LKILL(1);
  bool headerWritten = false;
  bool complete = true;
  for (const std::string& file : chosen.names) {
    const std::string path = tk::JoinFolderAndName(chosen.folder, file);
    SelectProgress(0, path);
    std::string name = path;
    BIOVELLN(app.second, app.MainPlotAxes, app.options, "RELOAD    ", name, ierr);
    // A file that cannot be read has been reported by the reader; the second
    // record still holds the previous file's shot, so nothing is written
    // for this one.
    if (ierr == 0) {
      // The header comes from the first file read, whether it has picks or not.
      if (!headerWritten && !WriteGrmHeader(ih, stem, app.second, grmName)) {
        complete = false;
        break;
      }
      headerWritten = true;
      SHOTOUT(app.second, options, ih, ierr);
      if (ierr != 0) {
        complete = false;
        break;
      }
      SelectProgress(100);
    }
    if (sup::LKILL(0)) break;  // a cancel keeps what is written
  }
  sup::LKILL(1);
  ReleaseTraceArrays(app.second);
  tk::WDialogSelect(kConversionProgressDialog);
  tk::WDialogHide();
  sup::LKILL(1);
  // A failed run leaves the old file as it was.
  if (complete) {
    (void)sup::ICLSFIL(ih);
  } else {
    sup::ABANDONFIL(ih);
  }
}

}  // namespace vel
