// The program's spine: start-up, the event loop and the exit.
#include "shell/Velloran.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>
#include <span>
#include <utility>

#include "display/Pickers.h"
#include "display/TracePlot.h"
#include "formats/AsciiOut.h"
#include "platform/FixedText.h"
#include "record/RecordNaming.h"
#include "shell/ChildWindows.h"
#include "shell/ExportCommands.h"
#include "shell/MergeFiles.h"
#include "shell/MultiFileCommands.h"
#include "shell/FileCommands.h"
#include "shell/Import.h"
#include "shell/MouseInteraction.h"
#include "shell/PickCommands.h"
#include "shell/ProcessCommands.h"
#include "shell/TracePlotDialog.h"
#include "shell/WindowCommands.h"
#include "support/PenPlot.h"
#include "support/Strings.h"
#include "toolkit/core/Events.h"
#include "toolkit/core/FileSelect.h"
#include "toolkit/core/Menus.h"
#include "toolkit/core/MessageBox.h"
#include "toolkit/core/OsServices.h"
#include "toolkit/core/Windows.h"
#include "toolkit/hardcopy/ToolkitStart.h"

namespace vel {
namespace {

constexpr std::size_t kNameLength = 256;
constexpr std::size_t kKeywordLength = 30;

// The toolkit's event types, as the loop handles them.
using enum tk::EventType;


std::string CommandArgument(int n, std::size_t length) {
  std::string text(length, ' ');
  tk::IOsCommandArg(n, text);
  return std::string(plat::TrimRight(text));
}

void Exit(Velloran& app) {
  ExitProgram(app);
}

// One entry per identifier from kFirstCommand to kLastCommand.
constexpr std::size_t kCommandCount = kLastCommand - kFirstCommand + 1;

constexpr std::array<CommandHandler, kCommandCount> MakeCommandTable() {
  std::array<CommandHandler, kCommandCount> table{};
  table[kCommandExit - kFirstCommand] = Exit;
  table[kCommandProperties - kFirstCommand] = PropertiesCommand;
  const std::pair<int, CommandHandler> edits[] = {
      {kCommandEditShotHeader, EditShotHeaderCommand},
      {kCommandTruncate, TruncateCommand}, {kCommandResample, ResampleCommand},
      {kCommandRemove, RemoveCommand},     {kCommandGain, GainCommand},
      {kCommandZoom, ZoomCommand},         {kCommandUnzoom, UnzoomCommand},
      {kCommandLastzoom, LastzoomCommand}, {kCommandPanLeft, PanLeftCommand},
      {kCommandPanRight, PanRightCommand}, {kCommandPanUp, PanUpCommand},
      {kCommandPanDown, PanDownCommand},   {kCommandKillTrace, KillTraceCommand},
      {kCommandFlipTrace, FlipTraceCommand}};
  for (const auto& [id, handler] : edits) table[static_cast<std::size_t>(id - kFirstCommand)] = handler;
  table[kCommandOpen - kFirstCommand] = OpenCommand;
  table[kCommandSaveAs - kFirstCommand] = SaveAsCommand;
  table[kCommandSave - kFirstCommand] = SaveCommand;
  table[kCommandImport - kFirstCommand] = ImportCommand;
  table[kCommandImportUserDefined - kFirstCommand] = ImportUserDefinedCommand;
  table[kCommandImportNonCompliantSegy - kFirstCommand] = ImportNonCompliantSegyCommand;
  table[kCommandImportAscii - kFirstCommand] = ImportAsciiCommand;
  table[kCommandEditPickParameters - kFirstCommand] = EditPickParametersCommand;
  table[kCommandSelectWavelet - kFirstCommand] = SelectWaveletCommand;
  table[kCommandWaveletPick - kFirstCommand] = WaveletPickCommand;
  table[kCommandBoxPick - kFirstCommand] = BoxPickCommand;
  table[kCommandHatherlyPick - kFirstCommand] = HatherlyPickCommand;
  table[kCommandSimplePick - kFirstCommand] = SimplePickCommand;
  table[kCommandViewWavelet - kFirstCommand] = ViewWaveletCommand;
  table[kCommandExportSegy - kFirstCommand] = ExportSegyCommand;
  table[kCommandExportSeg2 - kFirstCommand] = ExportSeg2Command;
  table[kCommandExportPicks - kFirstCommand] = ExportPicksCommand;
  table[kCommandExportAscii - kFirstCommand] = ExportAsciiCommand;
  table[kCommandExportGrm - kFirstCommand] = ExportGrmCommand;
  table[kCommandConvertSeg2 - kFirstCommand] = ConvertSeg2Command;
  table[kCommandConvertSegy - kFirstCommand] = ConvertSegyCommand;
  table[kCommandMerge - kFirstCommand] = MergeFilesCommand;
  table[kCommandCombine - kFirstCommand] = CombineCommand;
  table[kCommandSubtract - kFirstCommand] = SubtractCommand;
  table[kCommandConcatenate - kFirstCommand] = ConcatenateCommand;
  table[kCommandWriteTraceAscii - kFirstCommand] = WriteTraceAsciiCommand;
  table[kCommandExportButton - kFirstCommand] = ExportButtonCommand;
  const std::pair<int, CommandHandler> process[] = {
      {kCommandDifferentiate, DifferentiateCommand}, {kCommandIntegrate, IntegrateCommand},
      {kCommandDetrend, DetrendCommand},             {kCommandRemoveDc, RemoveDcCommand},
      {kCommandBandpass, BandpassCommand},           {kCommandFkFilter, FkFilterCommand},
      {kCommandSpectrum, SpectrumCommand},           {kCommandRefractionFlat, RefractionFlatCommand},
      {kCommandNmoCorrection, NmoCorrectionCommand}, {kCommandRefractorOverlay, RefractorOverlayCommand}};
  for (const auto& [id, handler] : process) table[static_cast<std::size_t>(id - kFirstCommand)] = handler;
  const std::pair<int, CommandHandler> windows[] = {
      {kCommandClose, CloseCommand},
      {kCommandSaveRefraction, SaveRefractionCommand},
      {kCommandCloseRefractionFile, CloseRefractionFileCommand},
      {kCommandSaveWavelet, SaveWaveletCommand},
      {kCommandPrint, PrintCommand},
      {kCommandHelpContents, HelpContentsCommand},
      {kCommandAbout, AboutCommand}};
  for (const auto& [id, handler] : windows) table[static_cast<std::size_t>(id - kFirstCommand)] = handler;
  return table;
}

constexpr std::array<CommandHandler, kCommandCount> kCommandTable = MakeCommandTable();

void SetEach(std::span<const int> ids, int kind, int value) {
  for (const int id : ids) tk::WMenuSetState(id, kind, value);
}

// Splits NAME at its last "/" or "\": the folder (empty when none) and the
// bare name.
void SplitFolder(const std::string& name, std::string& folder, std::string& bare) {
  tk::FileSelection parts = tk::SplitFileSelection(name);
  folder = std::move(parts.folder);
  bare = parts.names.empty() ? std::string() : std::move(parts.names.front());
}

// Stops a command-line run at once, without saving the settings: the
// windows close and the loop never starts.
void EndCommandLine(Velloran& app, int status) {
  tk::WindowShutdown();
  app.running = false;
  app.exitCode = status;
}

// The command line's "ASCII" conversion: writes the whole record as a table
// to OUTPUT (blank: the file name up to its first "." with ".TXT", in the
// input's folder) and stops at once, without saving the settings. The exit
// status says whether the table was written.
void ConvertToAscii(Velloran& app, std::string output) {
  if (output.empty()) {
    output = app.fileName;
    if (const std::size_t dot = output.find('.'); dot < 253) output.resize(dot);
    output += ".TXT";
  }
  int error = 0;
  ASCIIOUT(app.record, 0, output, error, app.settings.asciiExport);
  EndCommandLine(app, error == 0 ? 0 : 1);
}

// NAME as given on the command line, a relative one taken from the folder
// the program was started in.
std::string FromStartFolder(const Velloran& app, const std::string& name) {
  if (app.startFolder.empty() || !std::filesystem::path(name).is_relative()) return name;
  return (std::filesystem::path(app.startFolder) / name).string();
}


void CommandLine(Velloran& app) {
  const std::string argument = CommandArgument(1, kNameLength);
  if (argument.empty()) return;
  std::string keyword = CommandArgument(2, kKeywordLength);
  sup::LCTOUC(keyword, static_cast<int>(keyword.size()));

  const bool converting = !keyword.empty();

  // Relative input and output names are taken from the folder the command
  // was typed in, wherever the settings have moved the current folder since.
  std::string output = CommandArgument(3, kNameLength);
  if (!output.empty()) output = FromStartFolder(app, output);

  std::string folder;
  SplitFolder(FromStartFolder(app, argument), folder, app.fileName);
  if (!folder.empty()) {
    std::error_code ec;
    std::filesystem::current_path(folder, ec);
    if (ec) {
      // Reading a file of the same name from some other folder would
      // convert the wrong record.
      tk::WMessageBox(0, 3, 1, "Cannot open the folder of the input file:\r\n" + folder,
                      "Velloran");
      app.fileName.clear();
      if (converting) EndCommandLine(app, 1);
      return;
    }
  }
  app.record.CRECNAME = RecordNameOfFile(app.fileName);

  std::int32_t recordNumber = 0;
  int error = 0;
  IMPORT(app.record, app.fileName, recordNumber, error, false, false);
  if (error != 0) {
    // The reader or the import dispatch has said why (a question nobody was
    // there to answer included); a conversion ends there.
    if (converting) EndCommandLine(app, 1);
    return;
  }
  SetRecordTitle(app);
  CLOSEREFRACTWIND(app);
  ImportTail(app);
  if (keyword.find("ASCII") != std::string::npos) {
    ConvertToAscii(app, output);
  } else if (!keyword.empty()) {
    tk::WMessageBox(0, 3, 1, "Command line not understood:\r\n" + app.fileName + "\r\n" + keyword,
                    "Velloran");
  }
}

void StartUp(Velloran& app) {
  app.menuStatesPending = true;
  tk::WToolkitStart(" ");
  sup::PenPlotReset();
  const std::int32_t flags =
      tk::kWsSystemMenu | tk::kWsMinimiseBox | tk::kWsMaximiseBox | tk::kWsStatusBar;

  app.settings = DefaultSettings(tk::WDisplayQuery(1), tk::WDisplayQuery(2));
  INIIN(app.options, app.settings, app.setup.settings);
  KeepPlacementsOnScreen(app.settings, tk::WDisplayQuery(1), tk::WDisplayQuery(2));

  const WindowPlacement& place = app.settings.mainWindow;
  tk::WindowStyleRecord style;
  style.flags = flags;
  style.x = place.x;
  style.y = place.y;
  style.width = place.width;
  style.height = place.height;
  style.menu = kMainMenu;
  style.title = std::string(kMainTitle);
  style.title.resize(80, ' ');
  tk::WindowOpen(style);
  tk::WindowTextStyleRecord text;
  text.family = 4;
  text.backgroundColour = 0;
  tk::WindowTextStyle(text);
  // A negative x or y keeps the centred place the window opened at.
  tk::WindowReposition(place.width, place.height,
                       place.x >= 0 ? std::optional<int>(place.x) : std::nullopt,
                       place.y >= 0 ? std::optional<int>(place.y) : std::nullopt, place.state);

  const int before = tk::WindowQuery(2);
  tk::WMenuToolbar(kMainToolbar);
  app.toolbarHeight = before - tk::WindowQuery(2);

  constexpr int kStatusWidths[] = {1000, 1500, 1500, 1500, 5000};
  tk::WindowStatusParts(5, kStatusWidths);

  // Kept open for the whole run, as the program has always done.
  app.debug = std::fopen(app.setup.debugFile.c_str(), "ab");

  tk::WMenu(kMainMenu);
  app.loaded = false;
  app.fileName.clear();
  tk::WMenuSetState(kExportButton, 1, 0);
  SETZOOMSTATE(app.settings.LZOOM);

  TakeMainPlacement(app);
  tk::WEventTypeSwitch(kEventMouseMove, 1);
}

}  // namespace

// Redraws window N after an expose or a resize: the main window from the
// record, the wavelet window from the selected wavelet, the refraction
// window from the stored split (which also records its place).
void RedrawWindow(Velloran& app, int n) {
  tk::WindowMakeCurrent(n);
  // The main window's page is started (cleared) whether or not a record is
  // loaded; only a loaded record is drawn on it.
  if (n == tk::kMainWindow && app.loaded) RedrawMainWithOverlays(app);
  if (n == tk::kMainWindow && !app.loaded)
    sup::PLOTXY(1.0f, 0.0f, sup::kPenStartPage, app.MainPlotAxes);
  if (n != tk::kMainWindow && n == app.waveletWindow) RedrawWaveletWindow(app);
  if (n != tk::kMainWindow && n == app.refractionWindow) REFRACT(app, false);
}

void HandleEvent(Velloran& app, int type, const tk::EventRecord& e) {
  switch (type) {
    case kEventKey:
      app.lastKey = e.value1;
      app.lastX = e.x;
      app.lastY = e.y;
      app.pointerX = e.x;
      app.pointerY = e.y;
      break;
    case kEventMenu:
      app.rubberBox = false;
      app.dragging = false;
      app.refractorDragging = false;
      DispatchCommand(app, e.value1);
      break;
    case kEventPushButton:
    case kEventButtonDown:
    case kEventButtonUp:
    case kEventMouseMove:
    case kEventFieldChanged:
      HandleInteractionEvent(app, type, e);
      break;
    case kEventExpose:
      RedrawWindow(app, e.window);
      tk::WindowMakeCurrent(tk::kMainWindow);
      TakeMainPlacement(app);
      app.rubberBox = false;
      app.dragging = false;
      app.refractorDragging = false;
      break;
    case kEventResize:
      RedrawWindow(app, e.window);
      app.rubberBox = false;
      app.dragging = false;
      app.refractorDragging = false;
      tk::WindowMakeCurrent(tk::kMainWindow);
      break;
    case kEventClose:
      if (e.window == tk::kMainWindow) {
        ExitProgram(app);
      } else if (e.window == app.waveletWindow && e.window > 0) {
        CLOSEWAVEWIND(app);
      } else if (e.window == app.refractionWindow && e.window > 0) {
        CLOSEREFRACTWIND(app);
      }
      break;
    default:
      break;
  }
}

CommandHandler CommandHandlerFor(int id) {
  if (id < kFirstCommand || id > kLastCommand) return nullptr;
  return kCommandTable[static_cast<std::size_t>(id - kFirstCommand)];
}

void DispatchCommand(Velloran& app, int id) {
  const CommandHandler handler = CommandHandlerFor(id);
  if (!handler) return;
  handler(app);
  // Commands change picks and records under the read-out (repicks, Kill
  // Trace, Remove Traces): it shows what the record holds now.
  RefreshTraceReadOut(app);
}

bool TakePlacement(WindowPlacement& place, std::int32_t toolbarHeight) {
  place.state = tk::WindowQuery(9);
  if (place.state != tk::kShowNormal) return false;
  place.x = tk::WindowQuery(5);
  place.y = tk::WindowQuery(6);
  place.width = tk::WindowQuery(1);
  place.height = tk::WindowQuery(2) + toolbarHeight;
  return true;
}

void TakeMainPlacement(Velloran& app) {
  tk::WindowMakeCurrent(tk::kMainWindow);
  TakePlacement(app.settings.mainWindow, app.toolbarHeight);
}

void ExitProgram(Velloran& app) {
  CloseResultFiles(app);
  CloseRefractionResultsFile(app);
  TakeMainPlacement(app);
  CLOSEWAVEWIND(app);
  LASTDIR(app.options, app.settings, app.setup.settings);
  tk::WindowShutdown();
  app.running = false;
  app.exitCode = 0;
}

int VELLORAN(const VelloranSetup& setup) {
  auto app = std::make_unique<Velloran>();
  app->setup = setup;
  if (app->setup.settings.currentDirectory)
    app->startFolder = app->setup.settings.currentDirectory();
  StartUp(*app);
  CommandLine(*app);
  while (app->running) {
    if (app->loaded && app->menuStatesPending) {
      SETMENUSTATES();
      app->menuStatesPending = false;
    }
    int type = 0;
    tk::EventRecord record;
    tk::WEventWait(type, record);
    if (type == 0 && !tk::MainWindowOpen()) break;  // the window system has gone
    app->eventWindow = record.window;
    HandleEvent(*app, type, record);
  }
  if (app->debug != nullptr) std::fclose(app->debug);
  return app->exitCode;
}

int VELLORAN() {
  return VELLORAN({.settings = DefaultSettingsEnvironment()});
}

// --- menu states ---

void SETMENUSTATES() {
  constexpr int kIds[] = {40016, 40027, 40045, 40052, 40053, 40061, 40063, 40046,
                          40030, 40006, 40011, 40050, 40102, 40003, 40004, 40024,
                          40051, 40060, 40025, 40044, 40047, 40059, 40056};
  SetEach(kIds, 1, 1);
}

void SETNMOMENUSTATES(const std::int32_t& state) {
  constexpr int kIds[] = {40005, 40037, 40036, 40049, 40012, 40026, 40009, 40023,
                          40027, 40045, 40052, 40053, 40061, 40063, 40030, 40006,
                          40011, 40050, 40102, 40003, 40004, 40029, 40038, 40039,
                          40040, 40044, 40051, 40060, 40047, 40059, 40025};
  SetEach(kIds, 1, state);
}

void SETPANSTATE(const std::int32_t& state) {
  constexpr int kIds[] = {40020, 40021, 40019, 40015};
  SetEach(kIds, 1, state);
}

void SETZOOMSTATE(const bool& zoom) {
  tk::WMenuSetState(40017, 2, zoom ? 1 : 0);
}

void SETFILESTATE(const std::int32_t& state) {
  constexpr int kIds[] = {40001, 40022, 40016, 40027, 40041};
  SetEach(kIds, 1, state);
  tk::WMenuSetState(40017, 2, state);
}

}  // namespace vel
