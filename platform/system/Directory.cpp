#include "platform/system/Directory.h"

#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <memory>

namespace plat {

int CurrentDirectory(std::string& path) {
  std::string buffer(PATH_MAX, '\0');
  for (;;) {
    if (getcwd(buffer.data(), buffer.size()) != nullptr) {
      path.assign(buffer.c_str());
      return 0;
    }
    if (errno != ERANGE || buffer.size() > (1u << 20)) {
      path.clear();
      return errno;
    }
    buffer.resize(buffer.size() * 2);
  }
}

int ChangeDirectory(const std::string& path) {
  return chdir(path.c_str()) == 0 ? 0 : errno;
}

bool PathExists(const std::string& path) {
  struct stat st {};
  return !path.empty() && stat(path.c_str(), &st) == 0;
}

bool IsExistingFile(const std::string& path) {
  struct stat st {};
  return !path.empty() && stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

int QueryFileDetails(const std::string& path, FileDetails& details) {
  details = FileDetails{};
  struct stat st {};
  if (path.empty()) return ENOENT;
  if (stat(path.c_str(), &st) != 0) return errno;
  details.size = static_cast<std::int64_t>(st.st_size);
  std::tm local{};
  const std::time_t written = st.st_mtime;
  if (localtime_r(&written, &local) != nullptr) {
    details.year = local.tm_year + 1900;
    details.month = local.tm_mon + 1;
    details.day = local.tm_mday;
    details.hour = local.tm_hour;
    details.minute = local.tm_min;
    details.second = local.tm_sec;
  }
  details.directory = S_ISDIR(st.st_mode);
  details.readOnly = access(path.c_str(), W_OK) != 0;
  const std::size_t slash = path.find_last_of('/');
  const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
  details.hidden = base.size() > 1 && base[0] == '.' && base != "..";
  return 0;
}

int ListDirectory(const std::string& folder, std::vector<std::string>& names) {
  names.clear();
  DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr) return errno;
  errno = 0;
  while (const dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  const int error = errno;
  closedir(dir);
  std::sort(names.begin(), names.end());
  return error;
}

bool WildcardMatch(const std::string& pattern, const std::string& name) {
  // Brackets and backslashes are ordinary characters in our names.
  std::string escaped;
  for (char c : pattern) {
    if (c == '[' || c == ']' || c == '\\') escaped += '\\';
    escaped += c;
  }
  return fnmatch(escaped.c_str(), name.c_str(), FNM_PERIOD) == 0;
}

int CopyFileReplacing(const std::string& source, const std::string& target) {
  const int in = open(source.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) return errno;
  struct stat st {};
  if (fstat(in, &st) != 0 || S_ISDIR(st.st_mode)) {
    const int error = S_ISDIR(st.st_mode) ? EISDIR : errno;
    close(in);
    return error;
  }
  const int out =
      open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, st.st_mode & 07777);
  if (out < 0) {
    const int error = errno;
    close(in);
    return error;
  }
  int error = 0;
  std::unique_ptr<char[]> buffer(new char[1 << 16]);
  for (;;) {
    const ssize_t got = read(in, buffer.get(), 1 << 16);
    if (got < 0) {
      if (errno == EINTR) continue;
      error = errno;
      break;
    }
    if (got == 0) break;
    ssize_t done = 0;
    while (done < got) {
      const ssize_t put = write(out, buffer.get() + done, static_cast<std::size_t>(got - done));
      if (put < 0) {
        if (errno == EINTR) continue;
        error = errno;
        break;
      }
      done += put;
    }
    if (error != 0) break;
  }
  if (close(out) != 0 && error == 0) error = errno;
  close(in);
  if (error != 0) unlink(target.c_str());
  return error;
}

int RenameNoReplace(const std::string& oldPath, const std::string& newPath) {
  if (renameat2(AT_FDCWD, oldPath.c_str(), AT_FDCWD, newPath.c_str(), RENAME_NOREPLACE) == 0)
    return 0;
  if (errno != EINVAL && errno != ENOSYS) return errno;
  // File systems without RENAME_NOREPLACE: a hard link refuses an existing
  // target; folders and links across devices fall back to a checked rename.
  if (link(oldPath.c_str(), newPath.c_str()) == 0) {
    if (unlink(oldPath.c_str()) == 0) return 0;
    const int error = errno;
    unlink(newPath.c_str());
    return error;
  }
  if (errno == EEXIST) return EEXIST;
  if (PathExists(newPath)) return EEXIST;
  return rename(oldPath.c_str(), newPath.c_str()) == 0 ? 0 : errno;
}

int DeleteFile(const std::string& path) {
  struct stat st {};
  if (lstat(path.c_str(), &st) != 0) return errno;
  if (S_ISDIR(st.st_mode)) return EISDIR;
  return unlink(path.c_str()) == 0 ? 0 : errno;
}

int CreateFileExclusive(const std::string& path) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0) return errno;
  close(fd);
  return 0;
}

namespace {

// Undoes the octal escapes (\040 for a blank) of /proc/self/mountinfo.
std::string UnescapeMountField(const std::string& field) {
  std::string out;
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + 3 < field.size()) {
      const std::string digits = field.substr(i + 1, 3);
      if (digits.size() == 3 &&
          std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '7'; })) {
        out += static_cast<char>(std::stoi(digits, nullptr, 8));
        i += 3;
        continue;
      }
    }
    out += field[i];
  }
  return out;
}

}  // namespace

int QueryVolume(const std::string& path, VolumeInfo& info) {
  info = VolumeInfo{};
  struct statvfs vfs {};
  const std::string target = path.empty() ? "." : path;
  if (statvfs(target.c_str(), &vfs) != 0) return errno;
  info.freeBytes = static_cast<std::uint64_t>(vfs.f_bavail) * vfs.f_frsize;
  info.fileSystemId = vfs.f_fsid;

  // The mount point is the longest mount path that prefixes the real path.
  char* real = realpath(target.c_str(), nullptr);
  if (real == nullptr) return 0;
  const std::string full = real;
  free(real);
  FILE* mounts = std::fopen("/proc/self/mountinfo", "r");
  if (mounts == nullptr) return 0;
  char* line = nullptr;
  std::size_t capacity = 0;
  std::size_t best = 0;
  while (getline(&line, &capacity, mounts) > 0) {
    // Fields: id parent major:minor root mountpoint options ... - fstype source ...
    std::vector<std::string> fields;
    const char* p = line;
    while (*p != '\0') {
      while (*p == ' ' || *p == '\n') ++p;
      const char* start = p;
      while (*p != '\0' && *p != ' ' && *p != '\n') ++p;
      if (p > start) fields.emplace_back(start, p);
    }
    if (fields.size() < 5) continue;
    const std::string mountPoint = UnescapeMountField(fields[4]);
    const bool prefixes = mountPoint == "/" || full == mountPoint ||
                          (full.compare(0, mountPoint.size(), mountPoint) == 0 &&
                           full.size() > mountPoint.size() && full[mountPoint.size()] == '/');
    if (!prefixes || mountPoint.size() < best) continue;
    const auto dash = std::find(fields.begin() + 5, fields.end(), "-");
    best = mountPoint.size();
    info.mountPoint = mountPoint;
    info.fileSystem = (dash != fields.end() && dash + 1 != fields.end()) ? *(dash + 1) : "";
  }
  std::free(line);
  std::fclose(mounts);
  return 0;
}

}  // namespace plat
