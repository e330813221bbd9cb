#include "platform/system/File.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <map>
#include <mutex>

namespace plat {

int FileOpen(const std::string& path, FileAccess access, int& handle) {
  handle = -1;
  if (path.empty() || path.find('\0') != std::string::npos) return ENOENT;
  int flags = O_CLOEXEC;
  switch (access) {
    case FileAccess::Read:
      flags |= O_RDONLY;
      break;
    case FileAccess::WriteCreate:
      flags |= O_WRONLY | O_CREAT;
      break;
    case FileAccess::ReadWrite:
      flags |= O_RDWR;
      break;
  }
  int fd;
  do {
    fd = ::open(path.c_str(), flags, 0666);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return errno;
  struct stat st {};
  if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
    ::close(fd);
    return EISDIR;
  }
  if (access != FileAccess::Read) {
    // A second writer is refused while the first holds the file; the file is
    // emptied only once the lock is ours, so a refused open changes nothing.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      const int err = (errno == EWOULDBLOCK) ? EBUSY : errno;
      ::close(fd);
      return err;
    }
    if (access == FileAccess::WriteCreate && S_ISREG(st.st_mode) && ::ftruncate(fd, 0) != 0) {
      const int err = errno;
      ::close(fd);
      return err;
    }
  }
  handle = fd;
  return 0;
}

namespace {

// Reads until COUNT bytes are in, the file ends or a call fails (not counting
// interruptions). READ_SOME(dst, n, done) reads at most n bytes into dst,
// DONE bytes into the whole read.
template <typename ReadSome>
int ReadFully(void* buffer, std::size_t count, std::size_t& moved, ReadSome readSome) {
  moved = 0;
  auto* dst = static_cast<unsigned char*>(buffer);
  while (moved < count) {
    const ssize_t n = readSome(dst + moved, count - moved, moved);
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (n == 0) break;  // end of file
    moved += static_cast<std::size_t>(n);
  }
  return 0;
}

}  // namespace

int FileRead(int handle, void* buffer, std::size_t count, std::size_t& moved) {
  return ReadFully(buffer, count, moved, [handle](unsigned char* dst, std::size_t n, std::size_t) {
    return ::read(handle, dst, n);
  });
}

int FileReadAt(int handle, void* buffer, std::size_t count, std::int64_t offset,
               std::size_t& moved) {
  moved = 0;
  if (offset < 0) return EINVAL;
  return ReadFully(buffer, count, moved,
                   [handle, offset](unsigned char* dst, std::size_t n, std::size_t done) {
                     return ::pread(handle, dst, n,
                                    static_cast<off_t>(offset + static_cast<std::int64_t>(done)));
                   });
}

namespace {

// A file written beside its target, to take the target's place when closed.
struct Replacing {
  std::string target;
  std::string temporary;
  int error = 0;  // the first failed write, or 0
};

std::mutex& ReplacingLock() {
  static std::mutex m;
  return m;
}
std::map<int, Replacing>& ReplacingFiles() {
  static std::map<int, Replacing> files;
  return files;
}

void NoteWriteFailure(int handle, int error) {
  const std::lock_guard<std::mutex> hold(ReplacingLock());
  auto it = ReplacingFiles().find(handle);
  if (it != ReplacingFiles().end() && it->second.error == 0) it->second.error = error;
}

std::string FreshNameBeside(const std::string& target);
int FileWriteAll(int handle, const void* buffer, std::size_t count, std::size_t& moved);

}  // namespace

int FileWrite(int handle, const void* buffer, std::size_t count, std::size_t& moved) {
  const int error = FileWriteAll(handle, buffer, count, moved);
  if (error != 0) NoteWriteFailure(handle, error);
  return error;
}

namespace {

int FileWriteAll(int handle, const void* buffer, std::size_t count, std::size_t& moved) {
  moved = 0;
  const auto* src = static_cast<const unsigned char*>(buffer);
  while (moved < count) {
    const ssize_t n = ::write(handle, src + moved, count - moved);
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (n == 0) return EIO;
    moved += static_cast<std::size_t>(n);
  }
  return 0;
}

}  // namespace

int FileSeek(int handle, std::int64_t offset, SeekOrigin origin, std::int64_t& position) {
  int whence = SEEK_SET;
  if (origin == SeekOrigin::Current) whence = SEEK_CUR;
  if (origin == SeekOrigin::End) whence = SEEK_END;
  const off_t result = ::lseek(handle, static_cast<off_t>(offset), whence);
  if (result < 0) return errno;
  position = static_cast<std::int64_t>(result);
  return 0;
}

int FileSize(int handle, std::int64_t& size) {
  struct stat st {};
  if (::fstat(handle, &st) != 0) return errno;
  size = static_cast<std::int64_t>(st.st_size);
  return 0;
}

int FileClose(int handle) {
  if (handle < 0) return 0;
  Replacing r;
  bool replacing = false;
  {
    const std::lock_guard<std::mutex> hold(ReplacingLock());
    auto it = ReplacingFiles().find(handle);
    if (it != ReplacingFiles().end()) {
      r = std::move(it->second);
      ReplacingFiles().erase(it);
      replacing = true;
    }
  }
  if (!replacing) return ::close(handle) == 0 ? 0 : errno;
  int error = r.error;
  // The replaced file keeps its permissions.
  struct stat held {};
  if (error == 0 && ::stat(r.target.c_str(), &held) == 0 && S_ISREG(held.st_mode) &&
      ::fchmod(handle, held.st_mode & 07777) != 0)
    error = errno;
  if (::close(handle) != 0 && error == 0) error = errno;
  if (error == 0 && ::rename(r.temporary.c_str(), r.target.c_str()) != 0) error = errno;
  if (error != 0) ::unlink(r.temporary.c_str());
  return error;
}

int FileOpenReplacing(const std::string& path, int& handle) {
  handle = -1;
  if (path.empty() || path.find('\0') != std::string::npos) return ENOENT;
  const std::string work = FreshNameBeside(path);
  int fd;
  do {
    fd = ::open(work.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return errno;
  {
    const std::lock_guard<std::mutex> hold(ReplacingLock());
    ReplacingFiles()[fd] = Replacing{path, work, 0};
  }
  handle = fd;
  return 0;
}

bool IsReplacingHandle(int handle) {
  const std::lock_guard<std::mutex> hold(ReplacingLock());
  return ReplacingFiles().count(handle) != 0;
}

void FileAbandon(int handle) {
  NoteWriteFailure(handle, ECANCELED);
  (void)FileClose(handle);
}

namespace {

/// A name in TARGET's folder that no file holds yet.
std::string FreshNameBeside(const std::string& target) {
  static std::atomic<unsigned> counter{0};
  const std::size_t slash = target.find_last_of('/');
  const std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
  for (;;) {
    std::string t = folder + "." + name + "." + std::to_string(::getpid()) + "." +
                    std::to_string(counter.fetch_add(1)) + ".tmp";
    struct stat st {};
    if (::lstat(t.c_str(), &st) != 0 && errno == ENOENT) return t;
  }
}

}  // namespace

ReplaceResult ReplaceFileContents(const std::string& target, const void* data, std::size_t count,
                                  const ReplaceOptions& options) {
  ReplaceResult r;
  if (target.empty() || target.find('\0') != std::string::npos) {
    r.error = ENOENT;
    return r;
  }
  const bool fresh = options.temporary.empty();
  const std::string work = fresh ? FreshNameBeside(target) : options.temporary;
  int fd;
  do {
    fd = ::open(work.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | (fresh ? O_EXCL : 0),
                static_cast<mode_t>(options.newMode & 07777));
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) {
    r.error = errno;
    return r;
  }
  r.opened = true;
  int error = 0;
  std::size_t& written = r.written;
  const auto* bytes = static_cast<const unsigned char*>(data);
  while (written < count) {
    const ssize_t put = ::write(fd, bytes + written, count - written);
    if (put < 0) {
      if (errno == EINTR) continue;
      error = errno;
      break;
    }
    written += static_cast<std::size_t>(put);
  }
  // The replaced file keeps its permissions.
  struct stat held {};
  if (error == 0 && ::stat(target.c_str(), &held) == 0 && S_ISREG(held.st_mode) &&
      ::fchmod(fd, held.st_mode & 07777) != 0)
    error = errno;
  if (error == 0 && options.flush && ::fsync(fd) != 0) error = errno;
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && ::rename(work.c_str(), target.c_str()) != 0) error = errno;
  if (error != 0) ::unlink(work.c_str());
  r.error = error;
  return r;
}

std::string SystemErrorText(int error) {
  if (error == 0) return {};
  char buf[256];
  // The GNU strerror_r may return a static string rather than fill BUF.
  const char* text = ::strerror_r(error, buf, sizeof buf);
  return text ? std::string(text) : std::string();
}

}  // namespace plat
