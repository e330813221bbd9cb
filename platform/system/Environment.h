#pragma once
// The process's environment: variables, its own executable, its command line,
// the user's configuration folder and the system's millisecond clock.
#include <cstdint>
#include <string>

namespace plat {

/// VALUE := the variable NAME; false (and VALUE empty) when it is not set.
bool GetEnvironment(const std::string& name, std::string& value);

/// The full path of the running program's file (empty when unknown).
std::string ExecutablePath();

/// The command line the process was started with, rebuilt from its arguments
/// as one text: arguments separated by one blank, an argument holding a blank
/// (or empty) enclosed in double quotes.
std::string ProcessCommandLine();

/// The user's configuration folder for this program: $XDG_CONFIG_HOME/velloran,
/// else $HOME/.config/velloran; empty when neither variable is set. No "/" at
/// the end. The folder is not created here.
std::string UserConfigFolder();

/// Milliseconds since the system started (monotonic).
std::uint64_t SystemUptimeMs();

}  // namespace plat
