#pragma once
// The program's spine: start-up, the one event loop with its dispatch on the
// event type and the command identifier, and the exit that saves the
// settings. Also the routines that set the main window's menu states.
#include <array>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

#include "display/Pickers.h"
#include "display/Refraction.h"
#include "display/TracePlot.h"
#include "shell/EditCommands.h"
#include "shell/FileOptions.h"
#include "shell/Settings.h"
#include "record/ShotRecord.h"
#include "support/GraphAxes.h"
#include "toolkit/core/Events.h"

namespace vel {

/// The main window's title.
inline constexpr std::string_view kMainTitle = "Morvane Limited Seismic Shot Conversion";

/// Resources of the main window.
inline constexpr int kMainMenu = 30001;
inline constexpr int kMainToolbar = 30102;
inline constexpr int kExportButton = 40102;

/// Command identifiers the table covers.
inline constexpr int kFirstCommand = 40002;
inline constexpr int kLastCommand = 40103;
inline constexpr int kCommandExit = 40007;

/// What a run is given: where the settings live and the debug file's path.
struct VelloranSetup {
  SettingsEnvironment settings;
  std::filesystem::path debugFile = "velloran.dbg";
};

/// Everything the program keeps for the whole run.
struct Velloran {
  ShotRecord record;
  /// The second record: each trace file the GRM export reads back, each
  /// record Combine reads; its per-trace arrays are released when the
  /// command ends.
  ShotRecord second;
  /// The trace the last click or right click on the display found; 0 none.
  std::int32_t selectedTrace = 0;
  TraceDisplayOptions options;
  SettingsValues settings;
  PickingState picking;  // picker choice and parameters, start-up values, never stored
  VelloranSetup setup;
  /// The frame of the main trace display.
  sup::GraphAxes MainPlotAxes;
  /// What the main trace display's last drawing left for the picks drawn
  /// over it (the tool windows keep theirs apart).
  TracePlotState tracePlot;

  bool loaded = false;
  bool menuStatesPending = true;
  std::int32_t toolbarHeight = 0;
  std::string fileName;               // the current input file, without folder
  /// The folder the program was started in, before the settings move to
  /// their last folder: relative names on the command line are taken from it.
  std::string startFolder;
  std::string outputName;             // an output file being built
  std::string title;                  // the main window's title, 80 characters
  std::int32_t shotNavigation = 0;    // passed to the Shot Header Editor
  FileOptionState fileOptions;        // the file commands' choices, kept for the run
  ConversionOptions conversion;       // the batch conversion's choices, kept for the run
  /// Combine wants the same trace count in every record.
  bool disallowVariableTraces = false;
  std::int32_t refractionWindow = 0;  // 0 or less when closed
  /// The last flat-layer refraction interpretation.
  RefractionResult refraction;
  /// The refraction results file, kept open for appending between saves.
  std::FILE* refractionResultsFile = nullptr;
  std::string refractionResultsName;
  std::int32_t waveletWindow = 0;     // 0 or less when closed
  std::int32_t eventWindow = 0;       // window of the last event

  // Edit and view state, kept for the run only.
  /// The main frame before the last zoom box or Unzoom (Lastzoom's view).
  sup::GraphAxes previousFrame;
  float gainMultiplier = 1.0f;     // the last multiplier entered; 1 changes nothing
  TruncationValues truncation;     // the truncation dialog's values
  TraceEditValues traceEdit;       // what Resample and Remove offer next
  int spectrumFileType = 1;        // the spectrum save dialog's file type

  // Mouse interaction state kept by the loop.
  bool rubberBox = false;  // a rubber box is on the screen
  bool dragging = false;   // the NMO curve is being dragged
  bool refractorDragging = false;
  bool nmoOpen = false;        // the NMO Correction dialog is shown
  bool refractorOpen = false;  // the Refractor Parameters dialog is shown
  std::int32_t pressedButton = 0;  // 1 left, 3 right; 0 after a button-up
  std::int32_t pressTime = 0;      // message time (ms) of the last button-down
  std::int32_t pressX = 0, pressY = 0;
  std::int32_t releaseX = 0, releaseY = 0;
  std::int32_t pointerX = 0, pointerY = 0;
  std::int32_t nearTrace = 0;    // trace where the pointer lies on the curve or line
  float traceDistance = 0.0f;    // from the pointer to the selected trace
  float pointerTime = 0.0f;      // ms under the pointer
  float pointerPosition = 0.0f;  // trace position under the pointer
  std::int32_t lastTraceShown = 0;
  std::int32_t lastPickShown = 0;  // the pick of that trace as the read-out shows it
  /// The NMO and refraction result files open for appending.
  std::FILE* nmoFile = nullptr;
  std::FILE* refractionFile = nullptr;
  std::string nmoFileName, refractionFileName;
  std::int32_t lastKey = 0;
  std::int32_t lastX = 0;
  std::int32_t lastY = 0;

  bool running = true;
  int exitCode = 0;
  std::FILE* debug = nullptr;
};

/// Runs the program on an initialised window system: start-up, the command
/// line, the loop until Exit or the main window's close request. Returns the
/// exit code (0).
int VELLORAN(const VelloranSetup& setup);
/// VELLORAN with the real settings environment.
int VELLORAN();

/// A command handler.
using CommandHandler = void (*)(Velloran& app);

/// The handler for command ID; nullptr for identifiers without one (ignored).
CommandHandler CommandHandlerFor(int id);

/// Handles one event of the loop: keys, menu commands, the mouse and dialog
/// events, expose and resize (the window's picture drawn again) and close
/// requests; other types are ignored.
void HandleEvent(Velloran& app, int type, const tk::EventRecord& e);

/// Draws window N again after an expose or a resize: the main window from
/// the record, the wavelet window from the selected wavelet, the refraction
/// window from the stored split (which also records its place).
void RedrawWindow(Velloran& app, int n);

/// Dispatches menu command ID; unknown identifiers are ignored.
void DispatchCommand(Velloran& app, int id);

/// Takes the main window's place into the main placement when it is in
/// normal state (the height includes the toolbar).
void TakeMainPlacement(Velloran& app);

/// Takes the current window's place into PLACE: its state, and when that is
/// normal its x, y, width and height (plus TOOLBARHEIGHT). True when normal.
bool TakePlacement(WindowPlacement& place, std::int32_t toolbarHeight);

/// The exit sequence: placement, settings, toolkit shutdown.
void ExitProgram(Velloran& app);

// --- menu states of the main window ---

/// Enables everything that needs a loaded record (not panning nor View Wavelet).
void SETMENUSTATES();
/// Sets the commands that would change the record while the NMO or refractor
/// dialog is open: 1 enables, 0 greys.
void SETNMOMENUSTATES(const std::int32_t& state);
/// Enables (1) or greys (0) the four pan commands.
void SETPANSTATE(const std::int32_t& state);
/// Ticks the Zoom command when ZOOM is true.
void SETZOOMSTATE(const bool& zoom);
/// Sets the main menu's pop-ups and the Zoom tick to STATE.
void SETFILESTATE(const std::int32_t& state);

}  // namespace vel
