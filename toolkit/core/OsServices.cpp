#include "toolkit/core/OsServices.h"

#include <sys/stat.h>
#include <sys/utsname.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <ctime>
#include <filesystem>
#include <vector>

#include "platform/FixedText.h"
#include "platform/system/Directory.h"
#include "platform/system/Environment.h"
#include "platform/system/File.h"
#include "platform/system/Process.h"
#include "platform/system/Registry.h"
#include "platform/window/Window.h"
#include "toolkit/core/AbnormalExit.h"
#include "toolkit/core/Conversion.h"
#include "toolkit/core/Errors.h"
#include "toolkit/core/Startup.h"
#include "toolkit/core/TextArgs_p.h"

namespace tk {
namespace {

constexpr std::size_t kCommandLineLength = 1024;
constexpr int kErrNoProgram = 23;       // "No program name specified to IOsExecute"
constexpr int kErrSameName = 55;        // "Source and target file names same in copy command"
constexpr int kErrTextTooSmall = 1023;  // "Variable too small to receive text"
constexpr int kErrNoHive = 1050;        // "Invalid pre-defined registry key"
constexpr int kStarted = 32;            // the status of a program that started / ended

struct ServicesState {
  std::string commandLine;  // kCommandLineLength characters, blank-padded
  bool commandLineLoaded = false;
  bool beep = true;
  std::function<void()> shutdown;
  void (*idle)() = nullptr;
};

ServicesState& Services() {
  static ServicesState state;
  return state;
}

const std::string& CommandBuffer() {
  ServicesState& s = Services();
  if (!s.commandLineLoaded) {
    s.commandLine = plat::ProcessCommandLine();
    s.commandLine.resize(kCommandLineLength, ' ');
    s.commandLineLoaded = true;
  }
  return s.commandLine;
}

// Stores the system's error number and reports code 13 under ROUTINE.
void ReportSystemError(int error, std::string_view routine) {
  ErrorState().secondaryStatus = error;
  ReportLibraryError(kErrOperatingSystem, routine);
}

bool HasWildCards(const std::string& name) {
  return name.find_first_of("*?") != std::string::npos;
}

// Position just after the folder part of NAME ("/" or "\" ends it); 0 when none.
std::size_t FolderLength(const std::string& name) {
  const std::size_t sep = name.find_last_of("/\\");
  return sep == std::string::npos ? 0 : sep + 1;
}

// The paths matching a wild-card NAME, in name order. Folders are left out
// unless WITH_FOLDERS.
int ExpandWildCards(const std::string& name, bool withFolders, std::vector<std::string>& matches) {
  matches.clear();
  const std::size_t folderLength = FolderLength(name);
  const std::string folder = name.substr(0, folderLength);
  const std::string pattern = name.substr(folderLength);
  std::vector<std::string> entries;
  if (const int error = plat::ListDirectory(folder, entries); error != 0) return error;
  for (const std::string& entry : entries) {
    if (!plat::WildcardMatch(pattern, entry)) continue;
    const std::string path = folder + entry;
    plat::FileDetails details;
    if (plat::QueryFileDetails(path, details) != 0) continue;
    if (details.directory && !withFolders) continue;
    matches.push_back(path);
  }
  return 0;
}

// True when A and B name the same existing file, whatever their texts.
bool SameFile(const std::string& a, const std::string& b) {
  struct stat sa {
  }, sb{};
  return stat(a.c_str(), &sa) == 0 && stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
         sa.st_ino == sb.st_ino;
}

int CopyOne(const std::string& source, const std::string& target) {
  if (SameFile(source, target)) return EINVAL;  // copying onto itself would empty it
  return plat::CopyFileReplacing(source, target);
}

// The type of the file system holding the current directory, as a drive type.
int DriveTypeOf(const std::string& fileSystem) {
  static constexpr std::string_view kNetwork[] = {"nfs",   "nfs4",       "cifs", "smb3",
                                                  "smbfs", "fuse.sshfs", "9p"};
  static constexpr std::string_view kOptical[] = {"iso9660", "udf"};
  static constexpr std::string_view kRam[] = {"tmpfs", "ramfs"};
  auto in = [&](auto& list) {
    return std::find(std::begin(list), std::end(list), fileSystem) != std::end(list);
  };
  if (in(kNetwork)) return 3;
  if (in(kOptical)) return 4;
  if (in(kRam)) return 5;
  return 2;
}

std::uint64_t CurrentFreeBytes() {
  plat::VolumeInfo volume;
  return plat::QueryVolume(".", volume) == 0 ? volume.freeBytes : 0;
}

std::string CanonicalHive(std::string_view keyPath, std::string& subKey, bool& ok) {
  static constexpr std::string_view kHives[] = {
      "HKEY_CLASSES_ROOT",     "HKEY_CURRENT_USER",   "HKEY_LOCAL_MACHINE", "HKEY_USERS",
      "HKEY_PERFORMANCE_DATA", "HKEY_CURRENT_CONFIG", "HKEY_DYN_DATA"};
  ok = false;
  const std::string path = detail::ArgText(keyPath);
  const std::size_t slash = path.find('\\');
  if (slash == std::string::npos) return {};
  std::string hive = path.substr(0, slash);
  UpperCaseInPlace(hive);
  if (hive.size() > 22) return {};
  subKey = path.substr(slash + 1);
  for (std::string_view known : kHives) {
    if (hive == known) {
      ok = true;
      return hive;
    }
  }
  return {};
}

}  // namespace

// ---------------------------------------------------------------------------
// Command line

void SetCommandLineForTesting(std::string_view commandLine) {
  ServicesState& s = Services();
  if (commandLine.empty()) {
    s.commandLineLoaded = false;
    return;
  }
  s.commandLine = plat::Padded(commandLine, kCommandLineLength);
  s.commandLineLoaded = true;
}

int CommandLineArgument(int n, std::string& text) {
  const std::string& buffer = CommandBuffer();
  const std::size_t size = buffer.size();
  int counter = -1;
  std::string argument;
  std::size_t i = 0;
  while (i < size && counter != n) {
    while (i < size && buffer[i] == ' ') ++i;
    if (i >= size) break;
    if (buffer[i] != '"') {
      const std::size_t end = std::min(buffer.find(' ', i), size);
      argument = buffer.substr(i, end - i);
      ++counter;
      i = end;
      continue;
    }
    const std::size_t close = buffer.find('"', i + 1);
    const std::size_t end = close == std::string::npos ? size : close;
    const std::string inside = buffer.substr(i + 1, end - i - 1);
    const bool empty =
        close == std::string::npos ? detail::ArgText(inside).empty() : inside.empty();
    if (!empty) {
      argument = close == std::string::npos ? detail::ArgText(inside) : inside;
      ++counter;
    }
    i = close == std::string::npos ? size : close + 2;
  }
  if (counter == n && n >= 0) {
    if (n == 0) argument = plat::ExecutablePath();
    plat::PadInto(text, argument);
  }
  return counter;
}

void IOsCommandArg(int n, std::string& text) {
  const std::size_t length = text.size();
  if (n < 0 || CommandLineArgument(n, text) != n) text.assign(length, ' ');
}

// ---------------------------------------------------------------------------
// Directories and files

void IOsDirChange(std::string_view directory) {
  if (const int error = plat::ChangeDirectory(detail::ArgText(directory)); error != 0) {
    ReportSystemError(error, "IOsDirChange");
  }
}

void IOsDirName(std::string& text) {
  std::string current;
  if (const int error = plat::CurrentDirectory(current); error != 0) {
    text.assign(text.size(), ' ');
    ReportSystemError(error, "IOsDirName");
    return;
  }
  if (!detail::PutField(text, current)) ReportLibraryError(kErrTextTooSmall, "IOsDirName");
}

void IOsFileDetails(std::string_view name, std::span<std::int64_t> info, int count) {
  count = std::clamp(count, 1, 9);
  count = std::min<int>(count, static_cast<int>(info.size()));
  if (count < 1) return;
  info[0] = -1;
  std::string path = detail::ArgText(name);
  if (path.empty()) return;
  if (HasWildCards(path)) {
    std::vector<std::string> matches;
    if (ExpandWildCards(path, true, matches) != 0 || matches.empty()) return;
    path = matches.front();
  }
  plat::FileDetails d;
  if (plat::QueryFileDetails(path, d) != 0) return;
  std::int32_t attributes = 0;
  if (d.readOnly) attributes |= kAttrReadOnly;
  if (d.hidden) attributes |= kAttrHidden;
  if (d.directory) attributes |= kAttrDirectory;
  if (attributes == 0) attributes = kAttrNormal;
  const std::int64_t values[9] = {d.size,   d.year,     d.month,
                                  d.day,    d.hour,     d.minute,
                                  d.second, attributes, (d.size + 1023) / 1024};
  std::copy_n(values, count, info.begin());
}

void IOsFileDetails(std::string_view name, std::span<std::int32_t> info, int count) {
  std::int64_t wide[9] = {};
  count = std::min<int>(std::clamp(count, 1, 9), static_cast<int>(info.size()));
  if (count < 1) return;
  IOsFileDetails(name, std::span<std::int64_t>(wide, 9), count);
  bool tooLarge = false;
  for (int i = 0; i < count; ++i) {
    if (wide[i] > INT32_MAX) {
      tooLarge = true;
      info[static_cast<std::size_t>(i)] = -1;
    } else {
      info[static_cast<std::size_t>(i)] = static_cast<std::int32_t>(wide[i]);
    }
  }
  if (tooLarge) ReportSystemError(EOVERFLOW, "IOsFileDetails");
}

void IOsDeleteFile(std::string_view name) {
  const std::string path = detail::ArgText(name);
  if (path.empty()) return;
  if (!HasWildCards(path)) {
    if (const int error = plat::DeleteFile(path); error != 0)
      ReportSystemError(error, "IOsDeleteFile");
    return;
  }
  std::vector<std::string> matches;
  int firstError = ExpandWildCards(path, false, matches);
  if (firstError == 0 && matches.empty()) firstError = ENOENT;
  for (const std::string& match : matches) {
    const int error = plat::DeleteFile(match);
    if (error != 0 && firstError == 0) firstError = error;
  }
  if (firstError != 0) ReportSystemError(firstError, "IOsDeleteFile");
}

void IOsRenameFile(std::string_view oldName, std::string_view newName) {
  const std::string from = detail::ArgText(oldName);
  const std::string to = detail::ArgText(newName);
  if (from.empty() || to.empty()) return;
  if (const int error = plat::RenameNoReplace(from, to); error != 0)
    ReportSystemError(error, "IOsRenameFile");
}

void IOsCopyFile(std::string_view source, std::string_view target) {
  const std::string from = detail::ArgText(source);
  std::string to = detail::ArgText(target);
  if (from.empty()) return;
  if (HasWildCards(from)) {
    if (to.empty() || to.back() != '/') to += '/';
    std::vector<std::string> matches;
    int error = ExpandWildCards(from, false, matches);
    if (error == 0 && matches.empty()) error = ENOENT;
    for (const std::string& match : matches) {
      if ((error = CopyOne(match, to + match.substr(FolderLength(match)))) != 0) break;
    }
    if (error != 0) ReportSystemError(error, "IOsCopyFile");
    return;
  }
  if (to.empty() || to.back() == '/') to += from.substr(FolderLength(from));
  if (to == from || SameFile(from, to)) {
    ReportLibraryError(kErrSameName, "IOsCopyFile");
    return;
  }
  if (const int error = CopyOne(from, to); error != 0) ReportSystemError(error, "IOsCopyFile");
}

void SplitFolderAndName(std::string& path, std::string& name) {
  const std::size_t pathSize = path.size();
  const std::size_t nameSize = name.size();
  std::string used = detail::ArgText(path);
  path = used;
  path.resize(pathSize, ' ');
  name.assign(nameSize, ' ');
  const std::size_t length = used.size();
  if (length >= 2 && used.compare(length - 2, 2, "..") == 0) return;
  const std::size_t sep = used.find_last_of("/\\");
  if (sep == std::string::npos) {
    detail::PutField(name, used);
    path.assign(pathSize, ' ');
    return;
  }
  if (sep + 1 < length) {
    detail::PutField(name, used.substr(sep + 1));
    path.replace(sep + 1, pathSize - sep - 1, pathSize - sep - 1, ' ');
    return;
  }
  // Ends with a separator: drop it unless it is the only one (the root).
  if (sep > 0 && used.find_last_of("/\\", sep - 1) != std::string::npos) path[sep] = ' ';
}

void IOsFullPathname(std::string_view name, std::string& full) {
  const std::string given = detail::ArgText(name);
  std::error_code ec;
  std::filesystem::path absolute;
  if (given.empty()) {
    ec = std::make_error_code(std::errc::no_such_file_or_directory);
  } else {
    absolute = std::filesystem::absolute(given, ec).lexically_normal();
  }
  if (ec) {
    full.assign(full.size(), ' ');
    ReportSystemError(ec.value(), "IOsFullPathname");
    return;
  }
  if (!detail::PutField(full, absolute.string()))
    ReportLibraryError(kErrTextTooSmall, "IOsFullPathname");
}

// ---------------------------------------------------------------------------
// System queries
//
//   1  6                        10, 11  0 (no floppy drives)
//   2  arguments after the program name
//   3  kernel version, 100 x major + minor
//   4, 5, 6  "*", "?" and the path separator "/"
//   7, 12, 19  0                8, 13, 14, 18  1
//   9  1 when the current directory is "/"
//   15  milliseconds since the system started, 31 bits
//   16  4: a multi-user system with protected processes
//   17  free bytes of the current directory's file system, at most 7FFB0000h
//   20  the decimal separator read at start-up
//   21  free megabytes of the current directory's file system
//   65-90  drive type; 165-190 volume identifier (see the header)

int IOsSystemQuery(int item) {
  switch (item) {
    case 1:
      return 6;
    case 2: {
      std::string ignored;
      return CommandLineArgument(INT_MAX, ignored);
    }
    case 3: {
      utsname names{};
      if (uname(&names) != 0) return 0;
      int major = 0, minor = 0;
      std::sscanf(names.release, "%d.%d", &major, &minor);
      return 100 * major + minor;
    }
    case 4:
      return '*';
    case 5:
      return '?';
    case 6:
      return '/';
    case 7:
    case 12:
    case 19:
      return 0;
    case 8:
    case 13:
    case 14:
    case 18:
      return 1;
    case 9: {
      std::string current;
      return plat::CurrentDirectory(current) == 0 && current == "/" ? 1 : 0;
    }
    case 10:
    case 11:
      return 0;
    case 15:
      return static_cast<int>(plat::SystemUptimeMs() & 0x7FFFFFFFu);
    case 16:
      return 4;
    case 17: {
      const std::uint64_t free = CurrentFreeBytes();
      return free >= (std::uint64_t{1} << 31) ? 0x7FFB0000 : static_cast<int>(free);
    }
    case 20: {
      const char separator = ToolkitStart().started ? ToolkitStart().decimalSeparator : '.';
      return static_cast<unsigned char>(separator);
    }
    case 21:
      return static_cast<int>(std::min<std::uint64_t>(CurrentFreeBytes() / 1048576u, INT32_MAX));
    default:
      break;
  }
  if ((item >= 65 && item <= 90) || (item >= 165 && item <= 190)) {
    const int letter = item <= 90 ? item : item - 100;  // the letter's character code
    plat::VolumeInfo volume;
    if (letter != 'C' || plat::QueryVolume(".", volume) != 0) return 0;
    return item <= 90 ? DriveTypeOf(volume.fileSystem)
                      : static_cast<int>(volume.fileSystemId & 0x7FFFFFFFu);
  }
  return 0;
}

void IOsToday(int& year, int& month, int& day) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  year = local.tm_year + 1900;
  month = local.tm_mon + 1;
  day = local.tm_mday;
}

void OsSystemMessage(int code, std::string& text, int size) {
  if (code == 0 || size <= 0) return;
  const std::string message = plat::SystemErrorText(code);
  text = message.substr(0, std::min<std::size_t>(message.size(), static_cast<std::size_t>(size)));
}

void LocaleMeasureSystem(int& result) {
  result = 2;
}

void BeepSwitch(int flag) {
  Services().beep = flag != 0;
}

void BeepIfEnabled() {
  if (Services().beep) plat::Beep();
}

void OnOffKeyword(std::string_view text) {
  std::string word = plat::Padded(text, 3);
  UpperCaseInPlace(word);
  if (word == "ON ") {
    BeepSwitch(1);
  } else if (word == "OFF") {
    BeepSwitch(0);
  } else {
    BeepIfEnabled();
  }
}

// ---------------------------------------------------------------------------
// Programs

void SetProgramWaitIdleHook(void (*idle)()) {
  Services().idle = idle;
}

ProgramWaitIdle ProgramWaitIdleHook() {
  return Services().idle;
}

void SetWindowShutdownHook(std::function<void()> hook) {
  Services().shutdown = std::move(hook);
}

void OsRunProgram(std::string_view commandLine, int /*hide*/, int wait, int timeout, int& status) {
  const std::vector<std::string> words = plat::SplitCommandWords(detail::ArgText(commandLine));
  pid_t pid = -1;
  if (const int error = plat::SpawnProgram(words, pid); error != 0) {
    status = error;
    return;
  }
  if (wait == 0) {
    plat::ReapInBackground(pid);
    status = kStarted;
    return;
  }
  const int timeoutMs = timeout < 0 ? -1 : (timeout > INT_MAX / 1000 ? INT_MAX : timeout * 1000);
  int error = 0, exitStatus = 0;
  switch (plat::WaitForProgram(pid, timeoutMs, error, exitStatus,
                               timeout < 0 ? Services().idle : nullptr)) {
    case plat::WaitResult::Ended:
      status = kStarted;
      break;
    case plat::WaitResult::TimedOut:
      plat::ReapInBackground(pid);  // it keeps running; no zombie when it ends
      status = -1;
      break;
    case plat::WaitResult::Failed:
      status = error;
      break;
  }
}

void IOsExecute(std::string_view commandLine) {
  const std::string command = detail::ArgText(commandLine);
  if (command.empty()) {
    ReportLibraryError(kErrNoProgram, "IOsExecute");
    return;
  }
  if (Services().shutdown) Services().shutdown();
  pid_t pid = -1;
  if (plat::SpawnProgram(plat::SplitCommandWords(command), pid) != 0) {
    AbnormalExit("Failed to execute program", 2);
    return;
  }
  AbnormalExit("", 0);
}

// ---------------------------------------------------------------------------
// Registry

void IOsRegistryGet(std::string_view keyPath, std::string* data, std::string_view valueName,
                    int& type, int& length) {
  length = 0;
  if (data != nullptr) data->assign(data->size(), ' ');
  std::string subKey;
  bool ok = false;
  const std::string hive = CanonicalHive(keyPath, subKey, ok);
  if (!ok) {
    type = -1;
    ReportLibraryError(kErrNoHive, "IOsRegistryGet");
    return;
  }
  std::string value;
  bool keyMissing = true;
  const int error =
      plat::RegistryRead(hive + "\\" + subKey, detail::ArgText(valueName), type, value, keyMissing);
  if (error != 0) {
    type = keyMissing ? -1 : -2;
    if (error != ENOENT) ReportSystemError(error, "IOsRegistryGet");
    return;
  }
  if (type == kRegText || type == kRegExpandText) {
    const std::size_t nul = value.find('\0');
    if (nul != std::string::npos) value.resize(nul);
  }
  length = static_cast<int>(std::min<std::size_t>(value.size(), INT_MAX));
  if (data == nullptr) return;
  const std::size_t room = data->size();
  data->replace(0, std::min(room, value.size()), value, 0, std::min(room, value.size()));
  if (value.size() > room) ReportLibraryError(kErrTextTooSmall, "IOsRegistryGet");
}

void IOsRegistryPut(std::string_view keyPath, int type, std::string_view data,
                    std::string_view valueName) {
  std::string subKey;
  bool ok = false;
  const std::string hive = CanonicalHive(keyPath, subKey, ok);
  if (!ok) {
    ReportLibraryError(kErrNoHive, "IOsRegistryPut");
    return;
  }
  std::string value(data);
  if (type == kRegText || type == kRegExpandText) {
    const std::size_t nul = value.find('\0');
    if (nul != std::string::npos) value.resize(nul);
    value.resize(plat::TrimRight(value).size());
  }
  if (const int error =
          plat::RegistryWrite(hive + "\\" + subKey, detail::ArgText(valueName), type, value);
      error != 0) {
    ReportSystemError(error, "IOsRegistryPut");
  }
}

}  // namespace tk
