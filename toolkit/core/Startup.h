#pragma once
// Toolkit start-up: the home directory, the temporary file names, the
// error-reporting mode from the environment and the toolkit configuration
// file "parven.ini".
//
// Paths use "/" as the separator. The home directory comes from "PARVEN",
// else "FIDE", else the folder "/parv/" under the filesystem root; the
// temporary folder from "TEMP", else "TMP", else "/tmp/".
#include <functional>
#include <string>
#include <string_view>

namespace tk {

/// The device models named in the configuration file, kept for the hardcopy
/// drivers (which normalise them when they are selected).
struct HardcopyDeviceModels {
  int rasterPrinterModel = 0;  // key PRINTER
  int plotterModel = 0;        // key PLOTTER
  int hpgl2Device = 0;         // key HPGL2
};

/// What start-up found; lives for the process.
struct ToolkitStartState {
  bool started = false;
  std::string homeDirectory;                    // ends with "/"
  std::string strokeFontDirectory;              // key CHARDIR; ends with "/" when not empty
  std::string strokeFontFile = "standard.chr";  // key CHARSET
  std::string configFile;          // the configuration file searched for; empty when none
  std::string systemDirectory;     // "/usr/lib/": where the system's shared libraries live
  std::string temporaryDirectory;  // ends with "/"
  std::string plotFile;  // "jqx$$NN.plt" in the temporary folder; empty when all 100 exist
  std::string dumpFile;  // "jqx$$NN.dmp" likewise
  std::string hardcopyOutputFile;  // set by the hardcopy layer
  std::string screenDumpFile;      // set by the hardcopy layer
  int generalUnit = 40;            // key LFNGEN
  int plotInputUnit = 42;          // key LFNPLOTI
  HardcopyDeviceModels deviceModels;
  char pathSeparator = '/';
  char decimalSeparator = '.';    // the program runs in the "C" numeric locale
  bool versionRequested = false;  // a key beginning "VER" was read
};

/// The toolkit's version text (five characters), shown by the "VER" key.
inline constexpr std::string_view kToolkitVersion = "1.0.0";

/// The core's part of the toolkit start (WToolkitStart in
/// toolkit/hardcopy/ToolkitStart.h joins the upper sub-folders before it and
/// hands them what it read after it). Runs once per process: false when
/// start-up already ran. CONFIG_FILE, when not blank and naming an existing
/// file, is read instead of the searched configuration file.
bool StartToolkitCore(std::string_view configFile);
/// After start-up: a "VER" key read from the configuration file ends the
/// program (exit code 0) after showing the version.
void ExitWhenVersionRequested();

/// The start-up state (read-only for the rest of the toolkit).
const ToolkitStartState& ToolkitStart();


/// Called by start-up where it reads the display metrics; the window layer
/// installs it. Empty: nothing is read at start-up.
void SetStartupDisplayMetricsHook(std::function<void()> hook);

/// VALUE (its size is its declared length) := the environment variable NAME
/// (trimmed), blank-padded; blank when not set. A value longer than VALUE
/// reports 1023 under "IOsVariable" and leaves VALUE blank.
void IOsVariable(std::string_view name, std::string& value);

/// The folder for temporary files: "TEMP", else "TMP", else "/tmp", with a
/// final "/".
std::string TemporaryFolder();

/// The variable NAME as an unpadded text; empty when not set.
std::string EnvironmentValue(std::string_view name);

/// Which temporary file to claim.
enum class TemporaryKind { Plot, ScreenDump };

/// Creates the temporary plot or screen-dump file exclusively and gives its
/// path. The name chosen at start-up is tried first, then the other numbers
/// 00-99, so two running copies never share a file. Result 0; -1 when every
/// name exists or none can be created (reported under "TemporaryFileClaim").
int TemporaryFileClaim(TemporaryKind kind, std::string& path);

}  // namespace tk
