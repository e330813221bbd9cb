#pragma once
// Directories and file details on POSIX: the current directory, listing a
// folder, file details with 64-bit sizes, copy, rename without replacing,
// delete, wild-card matching and the file system that holds a path. Every
// call that can fail returns the system's error number (0 on success).
#include <cstdint>
#include <string>
#include <vector>

namespace plat {

/// PATH := the current directory.
[[nodiscard]] int CurrentDirectory(std::string& path);
/// Makes PATH the current directory.
[[nodiscard]] int ChangeDirectory(const std::string& path);

/// True when PATH names an existing file or folder.
bool PathExists(const std::string& path);
/// True when PATH names an existing file that is not a folder.
bool IsExistingFile(const std::string& path);

/// What the system tells about one file or folder.
struct FileDetails {
  std::int64_t size = 0;             // bytes
  int year = 0, month = 0, day = 0;  // last write, local time
  int hour = 0, minute = 0, second = 0;
  bool directory = false;
  bool readOnly = false;  // the caller may not write it
  bool hidden = false;    // the name begins with "."
};
[[nodiscard]] int QueryFileDetails(const std::string& path, FileDetails& details);

/// NAMES := the entries of FOLDER (without "." and ".."), sorted by name.
/// FOLDER blank means the current directory.
[[nodiscard]] int ListDirectory(const std::string& folder, std::vector<std::string>& names);

/// True when NAME matches PATTERN with "*" and "?" as wild cards.
bool WildcardMatch(const std::string& pattern, const std::string& name);

/// Copies SOURCE onto TARGET, replacing an existing target; the target keeps
/// the source's permission bits. A partial target is removed on failure.
[[nodiscard]] int CopyFileReplacing(const std::string& source, const std::string& target);

/// Renames or moves OLD_PATH to NEW_PATH; an existing target is never
/// replaced (EEXIST).
[[nodiscard]] int RenameNoReplace(const std::string& oldPath, const std::string& newPath);

/// Deletes a file (not a folder).
[[nodiscard]] int DeleteFile(const std::string& path);

/// Creates PATH as a new empty file; EEXIST when it exists already. The
/// creation is exclusive, so two processes never both get the same name.
[[nodiscard]] int CreateFileExclusive(const std::string& path);

/// The file system holding PATH: its mount point, its type ("ext4", "tmpfs")
/// and the bytes free for an unprivileged caller.
struct VolumeInfo {
  std::string mountPoint;
  std::string fileSystem;
  std::uint64_t freeBytes = 0;
  std::uint64_t fileSystemId = 0;  // the statvfs identifier of the file system
};
[[nodiscard]] int QueryVolume(const std::string& path, VolumeInfo& info);

}  // namespace plat
