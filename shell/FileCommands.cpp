#include "shell/FileCommands.h"

#include <string_view>

#include "display/Pickers.h"
#include "display/TracePlot.h"
#include "formats/AsciiIn.h"
#include "formats/SegyIn.h"
#include "formats/TraceFile.h"
#include "instruments/RawImport.h"
#include "platform/FixedText.h"
#include "record/FreshRecord.h"
#include "record/RecordNaming.h"
#include "shell/ChildWindows.h"
#include "shell/HeaderEditor.h"
#include "shell/Import.h"
#include "shell/MouseInteraction.h"
#include "shell/PromptDialogs.h"
#include "shell/Velloran.h"
#include "support/PenPlot.h"
#include "support/UserMessages.h"
#include "toolkit/core/FileSelect.h"
#include "toolkit/core/WindowUnits.h"
#include "toolkit/core/Windows.h"
#include "toolkit/dialogs/Dialogs.h"

namespace vel {
namespace {

constexpr std::size_t kNameChars = 256;
constexpr std::size_t kTitleChars = 80;
constexpr int kSelectOpen = 42;  // confirm a missing name, keep the folder, default extension

/// What an import command is asked about in its file dialog.
struct ImportChoice {
  std::string_view filter;
  std::string_view title;
};

constexpr ImportChoice kImportAny{
    "Seismic Trace Data "
    "Files|*.DAT;*.ABM;*.BSN;*.EGG;*.ORG;*.OYO;*.SG2;*SGY;*.FPX;*.?DT;*.RX2;*.ANT;*.DCF|",
    "Seismic Trace Data File"};
constexpr ImportChoice kImportNonCompliantSegy{"Non-Compliant SEG-Y Trace Data Files|*.SGY|",
                                               "Non-Compliant SEG-Y  Trace Data File"};
constexpr ImportChoice kImportUserDefined{"User Defined Trace Data Files|",
                                          "User Defined Trace Data File"};

/// Asks for the file of an import. The bare name (folder removed at its last
/// "/" or "\"; the folder is now the current directory) when the user
/// confirmed a name, else empty.
std::string ChooseImportFile(const ImportChoice& choice) {
  tk::WindowMakeCurrent(tk::kMainWindow);
  std::string name(kNameChars, ' ');
  tk::WSelectFile(choice.filter, kSelectOpen, name, choice.title);
  if (tk::WDialogStatusQuery(4) != 1) return {};
  tk::FileSelection chosen = tk::SplitFileSelection(name);
  return chosen.names.empty() ? std::string() : std::move(chosen.names.front());
}

// The record on a fresh page of the main window: after an import scaled anew
// for the whole record, after an open in the frame the file brought along.
enum class DrawAfter { Import, Open };
void DrawRecord(Velloran& app, DrawAfter after) {
  tk::WindowMakeCurrent(tk::kMainWindow);
  ClearReadOut(app);  // the last record's trace, time and pick mean nothing now
  if (after == DrawAfter::Import)
    ShowNewRecord(app.record, app.MainPlotAxes, app.options, app.tracePlot);
  else
    RedrawRecord(app.record, app.MainPlotAxes, app.options, app.tracePlot);
}

}  // namespace

std::string RecordTitle(const ShotRecord& REC) {
  return "Morvane Seismic Shot Conversion [" + std::string(REC.CRECNAME.View()) + "]";
}

void SetRecordTitle(Velloran& app) {
  const std::string title = RecordTitle(app.record);
  app.title = title;
  app.title.resize(kTitleChars, ' ');
  tk::WindowTitle(title);
}

void ImportTail(Velloran& app) {
  app.loaded = true;
  // Traces without a pick get one from the simple picker; the record is
  // marked as picked.
  tk::WCursorShape(tk::kCursorHourglass);
  AutoPickUnpicked(app.record, app.picking.parameters.simple);
  tk::WCursorShape(tk::kCursorArrow);
  DrawRecord(app, DrawAfter::Import);
  SETPANSTATE(0);
}

void OpenCommand(Velloran& app) {
  tk::WindowMakeCurrent(tk::kMainWindow);
  std::string name(kNameChars, ' ');
  int ierr = -1;
  BIOVELLN(app.record, app.MainPlotAxes, app.options, "OPEN      ", name, ierr);
  // A cancelled or failed open leaves everything as it was, the loaded state
  // included: the record shown is still the one that Save would write.
  if (ierr != 0) return;
  app.fileName = plat::TrimRight(name);
  app.loaded = true;
  CLOSEREFRACTWIND(app);
  SetRecordTitle(app);
  DrawRecord(app, DrawAfter::Open);
}

namespace {

void SaveWith(Velloran& app, std::string_view mode) {
  if (!app.loaded) {
    sup::WINMSG("PLEASE LOAD TRACES FIRST");
    return;
  }
  std::string name(kNameChars, ' ');
  int ierr = -1;
  BIOVELLN(app.record, app.MainPlotAxes, app.options, mode, name, ierr);
  if (ierr == 0) app.fileName = plat::TrimRight(name);
}

}  // namespace

void SaveCommand(Velloran& app) {
  SaveWith(app, "SAVE      ");
}

void SaveAsCommand(Velloran& app) {
  SaveWith(app, "SAVEAS    ");
}

void ShowImportedRecord(Velloran& app, const std::string& bare) {
  app.fileName = bare;
  SetRecordTitle(app);
  CLOSEREFRACTWIND(app);
  ImportTail(app);
}

void ImportCommand(Velloran& app) {
  const std::string bare = ChooseImportFile(kImportAny);
  if (bare.empty()) return;
  std::int32_t recordNumber = 0;
  int ierr = 0;
  // The record is replaced, and so named after the file, only when the read
  // succeeds.
  IMPORT(app.record, bare, recordNumber, ierr, false, false);
  if (ierr != 0) return;
  ShowImportedRecord(app, bare);
}

void ImportNonCompliantSegyCommand(Velloran& app) {
  const std::string bare = ChooseImportFile(kImportNonCompliantSegy);
  if (bare.empty()) return;
  FileOptionState& o = app.fileOptions;
  int ierr = 0;
  SEGYINPUTDLG(o.LREADTEXT, o.LREADBIN, o.LUSETRHDR, o.LINMSB, ierr);
  if (ierr != 0) return;
  // The reader proposes the header held so far, with the user-defined
  // import's counts, and keeps those values where the file has none.
  const bool read = ReadThenCommit(app.record, ReadStart::MainHeader, [&](ShotRecord& fresh) {
    fresh.CRECNAME = RecordNameOfFile(bare);
    fresh.NSAMP = o.NSAMPREAD;
    fresh.NTRACE = o.NTRREAD;
    SegyInOptions options;
    options.countOnly = false;
    options.selectRecord = false;
    options.compliant = false;
    options.readTextHeader = o.LREADTEXT;
    options.readBinaryHeader = o.LREADBIN;
    options.bigEndian = o.LINMSB;
    options.useTraceHeaders = o.LUSETRHDR;
    options.joinAll = false;
    int recordNumber = 0;
    UseProgramReaderDialogs();
    SEGYIN(fresh, bare, recordNumber, ierr, options, SegyReaderState());
    if (ierr != 0) return false;
    HEADEDITDLG(fresh, true, 0, app.shotNavigation, ierr);
    if (ierr != 0) return false;
    fresh.IFORMAT = kFormatSegy;
    return true;
  });
  if (!read) return;
  ShowImportedRecord(app, bare);
}

void ImportUserDefinedCommand(Velloran& app) {
  const std::string bare = ChooseImportFile(kImportUserDefined);
  if (bare.empty()) return;
  FileOptionState& o = app.fileOptions;
  int ierr = 0;
  USERIMPORTDLG(o.POSFIRST, o.POSINCR, o.IHDRBYTES, o.ITRHBYTES, o.NTRREAD, o.NSAMPREAD, o.ITRSTART,
                o.IUSERFMT, o.LMSBFIRST, ierr);
  if (ierr != 0) return;
  const bool read = ReadThenCommit(app.record, ReadStart::MainHeader, [&](ShotRecord& fresh) {
    fresh.CRECNAME = RecordNameOfFile(bare);
    fresh.NSAMP = o.NSAMPREAD;
    fresh.NTRACE = o.NTRREAD;
    USERIN(fresh, bare, ierr, o.POSFIRST, o.POSINCR, o.IHDRBYTES, o.ITRHBYTES, o.ITRSTART,
           o.IUSERFMT, o.LMSBFIRST);
    if (ierr != 0) return false;
    HEADEDITDLG(fresh, true, 0, app.shotNavigation, ierr);
    return ierr == 0;
  });
  if (!read) return;
  ShowImportedRecord(app, bare);
}

void ImportAsciiCommand(Velloran& app) {
  tk::WindowMakeCurrent(tk::kMainWindow);
  int ierr = -1;
  ASCIIIN(app.record, ierr);
  if (ierr != 0) return;  // cancelled, or the import has told the user why
  CLOSEREFRACTWIND(app);
  // The header editor's answer is not looked at: its Cancel keeps the import.
  int edit = 0;
  HEADEDITDLG(app.record, true, 0, app.shotNavigation, edit);
  ImportTail(app);  // the title is left as it was
}

}  // namespace vel
