#include "toolkit/core/Startup.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/backend/Backend.h"
#include "platform/dialog/MessageBox.h"
#include "platform/system/Directory.h"
#include "platform/window/Window.h"
#include "platform/system/Environment.h"
#include "toolkit/core/AbnormalExit.h"
#include "toolkit/core/Conversion.h"
#include "toolkit/core/Errors.h"
#include "toolkit/core/MessageBox.h"
#include "toolkit/core/OsServices.h"
#include "toolkit/core/TextArgs_p.h"
#include "toolkit/core/ToolkitState.h"
#include "toolkit/core/Windows.h"

namespace tk {
namespace {

constexpr std::size_t kConfigLineLength = 270;
constexpr std::size_t kPathLength = 260;

ToolkitStartState& State() {
  static ToolkitStartState state;
  return state;
}

// Forgets that start-up ran, so the next start starts afresh.
void ResetToolkitStart() {
  State() = ToolkitStartState{};
}

// Part of the one reset for tests.
[[maybe_unused]] const bool kResetRegistered = RegisterToolkitReset(ToolkitLayer::Core, ResetToolkitStart);

std::function<void()>& DisplayMetricsHook() {
  static std::function<void()> hook;
  return hook;
}

// An environment value read into a path-sized text, as start-up reads them.
std::string PathVariable(std::string_view name) {
  std::string value(kPathLength, ' ');
  IOsVariable(name, value);
  return detail::ArgText(value);
}

std::string WithSlash(std::string path) {
  if (!path.empty() && path.back() != '/') path += '/';
  return path;
}

std::string Upper(std::string text) {
  UpperCaseInPlace(text);
  return text;
}

std::string HomeDirectory() {
  if (std::string parven = PathVariable("PARVEN"); !parven.empty()) return WithSlash(parven);
  if (std::string fide = PathVariable("FIDE"); !fide.empty()) {
    // Up to the last occurrence of the variable's own name, in any case.
    const std::size_t at = Upper(fide).rfind("FIDE");
    return at == std::string::npos ? fide : fide.substr(0, at);
  }
  return "/parv/";  // the toolkit's folder under the filesystem root
}

std::string TemporaryName(const std::string& folder, int number, std::string_view extension) {
  return folder + "jqx$$" + FormatIntegerField(number, "(I2.2)") + std::string(extension);
}

// The first of the 100 names that does not exist; empty when all exist.
std::string FirstFreeTemporaryName(const std::string& folder, std::string_view extension) {
  for (int number = 0; number <= 99; ++number) {
    std::string name = TemporaryName(folder, number, extension);
    if (!plat::PathExists(name)) return name;
  }
  return {};
}

// The numeric value of a configuration line; false when it is not an integer.
bool ReadConfigInteger(std::string_view value, int& result) {
  ErrorState().lastError = 0;
  std::int32_t number = 0;
  IStringToInteger(value, number);
  if (ErrorState().lastError != 0) return false;
  result = number;
  return true;
}

void ApplyConfigLine(std::string line, ToolkitStartState& state) {
  if (line.size() > kConfigLineLength) line.resize(kConfigLineLength);
  for (char& c : line) {
    if (c == '\t') c = ' ';
  }
  const std::size_t eq = line.find('=');
  if (eq == std::string::npos || eq == 0 || eq + 1 == kConfigLineLength) return;
  int first = 0, last = 0;
  NextWordBounds(std::string_view(line).substr(0, eq), first, last);
  if (first == 0) return;
  std::string key = Upper(
      line.substr(static_cast<std::size_t>(first - 1), static_cast<std::size_t>(last - first + 1)));
  if (key.size() < 3) return;
  if (key.size() > 8) key.resize(8);
  if (key.compare(0, 3, "VER") == 0) state.versionRequested = true;
  const std::string value = detail::ArgText(std::string_view(line).substr(eq + 1));
  if (value.empty()) return;

  // Every line is read as a number first, whatever its key: with reporting on,
  // a text value is reported as not being one.
  int number = 0;
  const bool numeric = ReadConfigInteger(value, number);
  if (key == "CHARDIR") {
    state.strokeFontDirectory = value;
  } else if (key == "CHARSET") {
    state.strokeFontFile = value;
  } else if (!numeric) {
    return;
  } else if (key == "DEBUG") {
    ErrorReportModeSet(number);
  } else if (key == "HPGL2") {
    state.deviceModels.hpgl2Device = number;
  } else if (key == "LFNGEN") {
    if (number != state.plotInputUnit) state.generalUnit = number;
  } else if (key == "LFNPLOTI") {
    if (number != state.generalUnit) state.plotInputUnit = number;
  } else if (key == "PLOTTER") {
    state.deviceModels.plotterModel = number;
  } else if (key == "PRINTER") {
    state.deviceModels.rasterPrinterModel = number;
  }
}

// Reads the configuration file line by line; a line that cannot be read ends it.
void ReadConfigFile(const std::string& path, ToolkitStartState& state) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return;
  char* buffer = nullptr;
  std::size_t capacity = 0;
  ssize_t got = 0;
  while ((got = getline(&buffer, &capacity, file)) > 0) {
    std::string line(buffer, static_cast<std::size_t>(got));
    if (!line.empty() && line.back() == '\n') line.pop_back();
    if (!line.empty() && line.back() == '\r') line.pop_back();
    ApplyConfigLine(std::move(line), state);
  }
  std::free(buffer);
  std::fclose(file);
}

// Joins the core's parts before any window opens: shutdown of every window
// for the program services, the display metrics for start-up and the message
// box for abnormal exits.
void ConnectLayers() {
  SetWindowShutdownHook(WindowShutdown);
  SetStartupDisplayMetricsHook(ReadDisplayMetrics);
  SetAbnormalExitBox([](const std::string& title, const std::string& text) {
    if (MainWindowOpen()) return MessageBoxAnswer(0, 1, 1, text, title) >= 0;
    // Before the main window exists (started from a desktop, the user would
    // otherwise see nothing): the window system's own box, when there is a
    // screen to show it on. Without one, standard error has said it.
    const plat::Backend* backend = plat::GetBackend();
    if (backend == nullptr || backend->Name() == "headless") return false;
    return plat::MessageBox({.text = text, .caption = title, .icon = plat::MessageBoxIcon::Stop}) !=
           plat::MessageBoxResult::Failed;
  });
}

}  // namespace

void IOsVariable(std::string_view name, std::string& value) {
  std::string found;
  plat::GetEnvironment(detail::ArgText(name), found);
  if (!detail::PutField(value, found)) ReportLibraryError(1023, "IOsVariable");
}

std::string EnvironmentValue(std::string_view name) {
  std::string found;
  plat::GetEnvironment(detail::ArgText(name), found);
  return found;
}

std::string TemporaryFolder() {
  std::string folder = PathVariable("TEMP");
  if (folder.empty()) folder = PathVariable("TMP");
  if (folder.empty()) folder = "/tmp";
  return WithSlash(folder);
}

const ToolkitStartState& ToolkitStart() {
  return State();
}


void SetStartupDisplayMetricsHook(std::function<void()> hook) {
  DisplayMetricsHook() = std::move(hook);
}

bool StartToolkitCore(std::string_view configFile) {
  ToolkitStartState& state = State();
  if (state.started) return false;
  state = ToolkitStartState{};
  state.started = true;

  ConnectLayers();
  if (DisplayMetricsHook()) DisplayMetricsHook()();

  state.homeDirectory = HomeDirectory();
  ResetErrorState();
  BeepSwitch(1);
  state.strokeFontDirectory = detail::ArgText(state.homeDirectory).empty()
                                  ? std::string()
                                  : state.homeDirectory + "charsets";

  if (std::string named = PathVariable("PARVINIT"); plat::IsExistingFile(named)) {
    state.configFile = named;
  } else if (plat::IsExistingFile("parven.ini")) {
    state.configFile = "parven.ini";
  } else if (plat::IsExistingFile(state.homeDirectory + "parven.ini")) {
    state.configFile = state.homeDirectory + "parven.ini";
  }

  state.temporaryDirectory = TemporaryFolder();
  state.plotFile = FirstFreeTemporaryName(state.temporaryDirectory, ".plt");
  state.dumpFile = FirstFreeTemporaryName(state.temporaryDirectory, ".dmp");

  state.systemDirectory = "/usr/lib/";

  // The reporting mode: a single digit in "PARVDEBUG".
  std::string debug(1, ' ');
  IOsVariable("PARVDEBUG", debug);
  if (debug[0] >= '0' && debug[0] <= '9') ErrorReportModeSet(debug[0] - '0');
  ErrorState().lastError = 0;

  std::string ignored(1, ' ');
  CommandLineArgument(0, ignored);  // copies the command line

  const std::string given = detail::ArgText(configFile);
  if (plat::IsExistingFile(given)) {
    ReadConfigFile(given, state);
  } else if (!state.configFile.empty()) {
    ReadConfigFile(state.configFile, state);
  }
  if (!state.strokeFontDirectory.empty())
    state.strokeFontDirectory = WithSlash(state.strokeFontDirectory);
  return true;
}

void ExitWhenVersionRequested() {
  if (State().versionRequested) {
    AbnormalExit("Parvendrite version " + detail::ArgText(kToolkitVersion), 0);
  }
}

int TemporaryFileClaim(TemporaryKind kind, std::string& path) {
  const ToolkitStartState& state = State();
  const std::string_view extension = kind == TemporaryKind::Plot ? ".plt" : ".dmp";
  const std::string& chosen = kind == TemporaryKind::Plot ? state.plotFile : state.dumpFile;
  const std::string folder = state.temporaryDirectory.empty() ? "/tmp/" : state.temporaryDirectory;
  int error = EEXIST;
  if (!chosen.empty()) {
    error = plat::CreateFileExclusive(chosen);
    if (error == 0) {
      path = chosen;
      return 0;
    }
  }
  for (int number = 0; number <= 99 && (error == EEXIST || error == 0); ++number) {
    const std::string name = TemporaryName(folder, number, extension);
    if (name == chosen) continue;
    error = plat::CreateFileExclusive(name);
    if (error == 0) {
      path = name;
      return 0;
    }
  }
  path.clear();
  ReportFileError(kErrOpen, error, "TemporaryFileClaim");
  return -1;
}

}  // namespace tk
