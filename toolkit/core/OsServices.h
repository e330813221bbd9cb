#pragma once
// The toolkit's operating-system services: command-line arguments, the
// current directory, file details, delete/rename/copy with wild cards, system
// queries by item number, today's date, running programs, the registry, system
// error texts, the measurement system and the error beep.
//
// Text arguments are blank-padded texts (trailing blanks are trimmed before
// use); output texts are std::string whose size is the declared length. A
// failing system call stores the system's error number as the secondary
// status and reports 13 "Operating system error", which carries the system's
// own text. Paths use "/"; "\" in a name is also taken as a separator where
// names are split.
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace tk {

// ---------------------------------------------------------------------------
// Command line

/// TEXT := argument N (0: the full path of the program file); blank when N is
/// negative or there is no such argument.
void IOsCommandArg(int n, std::string& text);

/// The parser under IOsCommandArg: TEXT := argument N of the command line;
/// returns the index of the last argument seen (the argument count when N is
/// not found).
int CommandLineArgument(int n, std::string& text);

/// Replaces the command line the parsers read (tests). Only the first 1024
/// characters count. An empty text goes back to the process's own.
void SetCommandLineForTesting(std::string_view commandLine);

// ---------------------------------------------------------------------------
// Directories and files

void IOsDirChange(std::string_view directory);
/// TEXT := the current directory; blank with 1023 when it does not fit, blank
/// with 13 on system failure.
void IOsDirName(std::string& text);

/// Attribute bits of IOsFileDetails element 8.
enum FileAttribute : std::int32_t {
  kAttrReadOnly = 1,
  kAttrHidden = 2,  // the name begins with "."
  kAttrDirectory = 16,
  kAttrNormal = 128,  // none of the others
};

/// INFO(1..COUNT) (COUNT below 1 taken as 1, at most 9 and at most INFO's
/// size): 1 size in bytes (-1 when not found), 2-4 year, month, day and 5-7
/// hour, minute, second of the last write (local time), 8 attribute bits,
/// 9 size in kilobytes rounded up. A wild-card name describes its first match.
void IOsFileDetails(std::string_view name, std::span<std::int64_t> info, int count);

/// The same with 32-bit elements. A file of 2 GiB or more has no 32-bit size:
/// element 1 is then -1 and "Value too large" (EOVERFLOW) is reported as
/// error 13 under "IOsFileDetails"; the other elements are still filled.
void IOsFileDetails(std::string_view name, std::span<std::int32_t> info, int count);

/// Deletes the file, or every file matching a wild-card name (folders skipped).
void IOsDeleteFile(std::string_view name);
/// Renames or moves; an existing target is not replaced (13).
void IOsRenameFile(std::string_view oldName, std::string_view newName);
/// Copies one file or every match of a wild-card source; an existing target is
/// replaced. 55 when source and target are the same name.
void IOsCopyFile(std::string_view source, std::string_view target);

/// PATH := its folder part (keeping the final separator); NAME := the file
/// name. Both blank-padded to their own sizes.
void SplitFolderAndName(std::string& path, std::string& name);

/// FULL := the absolute path of NAME (from its first non-blank character,
/// trimmed), blank-padded; 13 under "IOsFullPathname" and blank on failure.
void IOsFullPathname(std::string_view name, std::string& full);

// ---------------------------------------------------------------------------
// System queries

/// Items as listed in OsServices.cpp. There are no drive letters here; the
/// drive items mean: item 9, 1 when the current directory is "/"; items 10
/// and 11 (floppy drives) 0; items 17 and 21, free space (statvfs) of the file
/// system holding the current directory; items 65-90, the type of that file
/// system for the letter "C" (1 removable, 2 fixed, 3 network, 4 CD-ROM, 5 RAM
/// disk), 0 for every other letter; items 165-190, for "C" the low 31 bits of
/// that file system's identifier, 0 for every other letter.
int IOsSystemQuery(int item);

void IOsToday(int& year, int& month, int& day);

/// OS_SYSTEM_MESSAGE: TEXT := the system's message for CODE, at most SIZE
/// characters; TEXT is left as it was for code 0.
void OsSystemMessage(int code, std::string& text, int size);

/// RESULT := 2 (metric): the program's locale measures in metres.
void LocaleMeasureSystem(int& result);

void BeepSwitch(int flag);
void BeepIfEnabled();
/// "ON " switches the beep on, "OFF" off (first three characters, any case);
/// anything else beeps.
void OnOffKeyword(std::string_view text);

// ---------------------------------------------------------------------------
// Programs

/// Starts COMMAND_LINE (words split at blanks, double quotes keep blanks; no
/// shell unless the command names one). HIDE has no meaning here (programs
/// get no console of their own). WAIT 0: STATUS := 32 when started, else the
/// system's error number. Otherwise waits: TIMEOUT below 0 without limit
/// (running the idle hook about every 100 ms), else up to TIMEOUT seconds;
/// STATUS := 32 when the program ended, -1 on time-out (it keeps running),
/// the system's error number when it could not start or the wait failed.
void OsRunProgram(std::string_view commandLine, int hide, int wait, int timeout, int& status);

/// Called while OsRunProgram waits without limit (the window layer repaints).
void SetProgramWaitIdleHook(void (*idle)());
/// The hook installed by SetProgramWaitIdleHook (null when none).
using ProgramWaitIdle = void (*)();
ProgramWaitIdle ProgramWaitIdleHook();

/// Closes the toolkit's windows (through the shutdown hook), starts the
/// command and ends this process with 0; "Failed to execute program" with
/// exit code 2 when it cannot start; 23 when the command is blank.
void IOsExecute(std::string_view commandLine);

/// Installed by the window layer: closes every toolkit window (WindowShutdown).
void SetWindowShutdownHook(std::function<void()> hook);

// ---------------------------------------------------------------------------
// Registry: values kept in the registry file of the user's configuration
// folder (platform/system/Registry.h). Key paths begin with a hive name:
// "HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE",
// "HKEY_USERS", "HKEY_PERFORMANCE_DATA", "HKEY_CURRENT_CONFIG",
// "HKEY_DYN_DATA" (any case), a "\" and the sub key.

/// Value types.
enum RegistryType : std::int32_t {
  kRegText = 1,
  kRegExpandText = 2,
  kRegBinary = 3,
  kRegInteger = 4,  // 32-bit, 4 bytes little-endian
};

/// Reads VALUE_NAME (empty: the key's default value) of KEY_PATH into DATA
/// (nullptr: only TYPE and LENGTH are wanted). TYPE := the value's type, -1
/// when the key is missing or the hive unknown (1050), -2 when the value cannot
/// be read (LENGTH 0). Text values are blank-padded in DATA; LENGTH counts
/// the text. 1023 when DATA is too small (the start of the value is kept).
void IOsRegistryGet(std::string_view keyPath, std::string* data, std::string_view valueName,
                    int& type, int& length);

/// Creates KEY_PATH when missing and writes the value. Text types are written
/// without trailing blanks.
void IOsRegistryPut(std::string_view keyPath, int type, std::string_view data,
                    std::string_view valueName = {});

}  // namespace tk
