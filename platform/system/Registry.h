#pragma once
// A small registry of named values kept in a text file,
// registry.ini in the user's configuration folder (UserConfigFolder()). Keys are
// paths such as "HKEY_CURRENT_USER\Software\Velloran"; each holds values by
// name (empty name: the key's default value) with a type number and bytes.
//
// The file is read on every query and rewritten whole (through a temporary
// file and a rename) on every change, so values written by one run are read
// by the next and a crash never leaves a half-written file.
//
// File layout, one entry per line:
//   [HKEY_CURRENT_USER\Software\Velloran]
//   Name=1:text of the value
// Bytes outside printable ASCII, and "\", "=", "[" and "]", are written \xHH.
#include <string>

namespace plat {

/// The registry file's path (empty when there is no configuration folder).
std::string RegistryFilePath();

/// Reads value NAME of KEY. Result: 0 found; ENOENT when the key is missing
/// (KEY_MISSING true) or the value is missing (KEY_MISSING false); another
/// error number when the file cannot be read.
[[nodiscard]] int RegistryRead(const std::string& key, const std::string& name, int& type,
                               std::string& data, bool& keyMissing);

/// Creates KEY when missing and writes value NAME. Result: 0 or the error
/// number of the failing file operation.
[[nodiscard]] int RegistryWrite(const std::string& key, const std::string& name, int type,
                                const std::string& data);

}  // namespace plat
