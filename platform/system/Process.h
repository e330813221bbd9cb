#pragma once
// Running other programs with posix_spawn. A command line is split into words
// at blanks; a word in double quotes keeps its blanks. No shell is involved
// unless the command names one (the command interpreter is /bin/sh).
#include <spawn.h>
#include <sys/types.h>

#include <string>
#include <string_view>
#include <vector>

namespace plat {

/// The words of COMMAND_LINE: blank-separated; a double quote starts a part
/// that runs to the next double quote, blanks included (the quotes are
/// dropped; "" gives an empty word).
std::vector<std::string> SplitCommandWords(const std::string& commandLine);

/// Starts ARGS[0] (searched in PATH when it holds no "/") with ARGS. PID
/// receives the child's id. Result: 0 or the system's error number, including
/// the error of a program that cannot be executed.
[[nodiscard]] int SpawnProgram(const std::vector<std::string>& args, pid_t& pid);

/// As SpawnProgram, with ACTIONS (may be null) applied to the child's files
/// first. Every child starts with default signal handling and an empty mask,
/// whatever ours are.
[[nodiscard]] int SpawnProgram(const std::vector<std::string>& args,
                               const posix_spawn_file_actions_t* actions, pid_t& pid);

/// Outcome of a wait for a child.
enum class WaitResult { Ended, TimedOut, Failed };

/// Waits for PID up to TIMEOUT_MS milliseconds (negative: without limit),
/// calling IDLE (when given) about every 100 ms while it waits. ERROR receives
/// the system's error number on failure; EXIT_STATUS the raw wait status.
WaitResult WaitForProgram(pid_t pid, int timeoutMs, int& error, int& exitStatus,
                          void (*idle)() = nullptr);

/// Reaps PID in the background, so a program started without waiting never
/// lingers as a zombie.
void ReapInBackground(pid_t pid);

/// The executable file NAME in a folder of PATH (an empty entry is the
/// current folder), else the first executable of FALLBACKS; empty when none.
std::string FindProgramOnPath(std::string_view name, const std::vector<std::string>& fallbacks = {});

/// Runs ARGS (as SpawnProgram) with INPUT as its standard input and waits
/// for it to end. Result: 0 or the system's error number; EXIT_STATUS the
/// raw wait status.
[[nodiscard]] int RunProgramWithInput(const std::vector<std::string>& args, std::string_view input,
                                      int& exitStatus);

}  // namespace plat
