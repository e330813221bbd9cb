#pragma once
// The settings file: window places, the last folder, the zoom mode, the merge,
// pick-export and ASCII-export options, the SEG-2 delay option, the first ten
// trace-display options and the band-pass and F-K filter parameters.
//
// INIIN reads it once at start-up; LASTDIR writes it anew at exit into the
// work file and renames that over the settings file. Without a settings file
// (or a work file left by an interrupted run) the defaults hold and the exit
// creates the file.
//
// The file is named after the executable ("velloran" gives "velloran.ini",
// written as "velloran.inw"), beside it when one is there and that folder is
// writable, else in the user's configuration folder ($XDG_CONFIG_HOME/velloran,
// default ~/.config/velloran).
#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

#include "display/PickFiles.h"
#include "display/Spectrum.h"
#include "formats/AsciiOut.h"
#include "record/ShotRecord.h"
#include "support/Strings.h"

namespace vel {

/// A window's place in screen pixels: frame x and y, client width and height,
/// and the state (1 normal).
struct WindowPlacement {
  std::int32_t x = 0;
  std::int32_t y = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::int32_t state = 1;
  bool operator==(const WindowPlacement&) const = default;
};

/// F-K fan: index 0 the upsloping dip, 1 the downsloping dip.
struct FkFilterSettings {
  std::array<float, 2> Velocity{2000.0f, 2000.0f};
  std::array<float, 2> Widths{0.25f, 0.25f};
  std::array<float, 2> Enhance{0.0f, 0.0f};
  float VSmooth = 0.1f;
  bool operator==(const FkFilterSettings&) const = default;
};

/// Everything the settings file keeps besides the trace-display options.
struct SettingsValues {
  WindowPlacement filterDialog{343, 189, 0, 0, 1};              // "Dialog": x and y only
  WindowPlacement mainWindow;                                   // "Window"
  WindowPlacement refractionWindow;                             // "Ref Window"
  WindowPlacement filterSpectrumWindow{342, 369, 326, 289, 1};  // "WSpect"
  WindowPlacement filterOutputWindow{677, 14, 328, 649, 1};     // "WOutpt"
  WindowPlacement filterImpulseWindow{340, 13, 323, 147, 1};    // "WImpls"
  WindowPlacement filterInputWindow{2, 14, 329, 601, 1};        // "WInput"
  WindowPlacement nmoDialog{-1, -1, 0, 0, 1};                   // "NMO": x and y only
  WindowPlacement spectrumWindow{342, 369, 326, 289, 1};        // "WSpectrum"
  WindowPlacement waveletWindow{0, 0, 0, 0, 1};                 // "WWave"

  bool LZOOM = false;
  std::int32_t IMERGE = 1;
  PickExportOptions pickExport;
  bool LREMOVEDELAY = false;  // "Remove Delay=", kept as -1/0
  AsciiExportOptions asciiExport;
  BandpassSettings bandpass;
  FkFilterSettings fkFilter;

  bool operator==(const SettingsValues&) const = default;
};

/// The load-time values for a screen of the given size: the main window at 5 %
/// of the width from the left, centred vertically (y -1), 60 % of the screen;
/// the refraction window at the same x, 40 % of the screen.
SettingsValues DefaultSettings(std::int32_t screenWidth, std::int32_t screenHeight);

/// The settings file and its work file.
struct SettingsFiles {
  std::filesystem::path settings;  // read at start, replaced at exit
  std::filesystem::path work;      // written at exit, renamed over SETTINGS
};

/// Replaces each stored window place or size that a screen of the given size
/// cannot show by its load-time value: an x or y past the screen's edge, a
/// width or height of no pixels or larger than the screen, a state that is not
/// a state other than minimised, normal or maximised. A negative x or y stays
/// (it centres the window).
void KeepPlacementsOnScreen(SettingsValues& VALUES, std::int32_t screenWidth,
                            std::int32_t screenHeight);

/// The file names for executable EXE placed in FOLDER: the executable's file
/// name with a final ".exe" (any case) replaced by ".ini" / ".inw", otherwise
/// with those appended, so neither can be the executable itself.
SettingsFiles SettingsFilesFor(const std::filesystem::path& exe,
                               const std::filesystem::path& folder);

/// The user's configuration folder for the program: $XDG_CONFIG_HOME/velloran
/// when that variable holds an absolute path, else $HOME/.config/velloran.
std::filesystem::path UserConfigFolder();

/// The files of this run: beside the running executable when its folder is
/// writable and holds the settings (or their work file), else in the user's
/// configuration folder (created when missing).
SettingsFiles LocateSettingsFiles();

/// Where the settings live and how the current directory is asked for and
/// changed; tests replace any of them.
struct SettingsEnvironment {
  SettingsFiles files;
  /// The current directory; empty when it has no name.
  std::function<std::string()> currentDirectory;
  /// Makes FOLDER current; false when it cannot.
  std::function<bool(const std::string& folder)> changeDirectory;
};

/// The real environment: LocateSettingsFiles and the process's directory.
SettingsEnvironment DefaultSettingsEnvironment();

/// Reads the settings file (else the work file) into OPTS and VALUES and makes
/// the last folder current; then empties (creates) the work file, which lets
/// LASTDIR save at exit, also when there was no file to read. Keys missing from the file keep their values; a value
/// that cannot be read ends the reading, keeping what was read before.
void INIIN(TraceDisplayOptions& OPTS, SettingsValues& VALUES, const SettingsEnvironment& ENV);

/// Writes the settings into the work file and renames it over the settings
/// file. Nothing is saved when the work file does not exist or cannot be
/// written; the old settings file then stays as it was.
void LASTDIR(const TraceDisplayOptions& OPTS, const SettingsValues& VALUES,
             const SettingsEnvironment& ENV);

}  // namespace vel
