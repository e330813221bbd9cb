#include "toolkit/core/Files.h"

#include <cerrno>
#include <cstdint>
#include <limits>

#include "platform/FixedText.h"
#include "platform/system/File.h"
#include "toolkit/core/Errors.h"

namespace tk {
namespace {

constexpr std::int64_t kLargestPosition = std::numeric_limits<std::int32_t>::max();

/// A transfer that must not go past its buffer: the count is refused as a
/// whole rather than cut, so the caller sees the failure.
bool CountFits(int count, std::size_t capacity) {
  return static_cast<std::uint64_t>(count) <= capacity;
}

/// One read or write of COUNT bytes through the platform call MOVE, which
/// answers an error number and sets what it moved; MOVED is -1 on failure.
template <typename Byte, typename Move>
void TransferBytes(IFileHandle handle, Byte* data, std::size_t capacity, int count, int& moved,
                   const char* routine, Move move) {
  moved = 0;
  if (count <= 0) return;
  if (!CountFits(count, capacity)) {
    moved = -1;
    ReportFileError(kErrReadWrite, 0, routine);
    return;
  }
  std::size_t done = 0;
  if (const int err = move(handle, data, static_cast<std::size_t>(count), done)) {
    moved = -1;
    ReportFileError(kErrReadWrite, err, routine);
    return;
  }
  moved = static_cast<int>(done);
}

void ReadBytes(IFileHandle handle, std::byte* data, std::size_t capacity, int count, int& moved,
               const char* routine) {
  TransferBytes(handle, data, capacity, count, moved, routine,
                [](IFileHandle h, std::byte* d, std::size_t n, std::size_t& done) {
                  return plat::FileRead(h, d, n, done);
                });
}

void WriteBytes(IFileHandle handle, const std::byte* data, std::size_t capacity, int count,
                int& moved, const char* routine) {
  TransferBytes(handle, data, capacity, count, moved, routine,
                [](IFileHandle h, const std::byte* d, std::size_t n, std::size_t& done) {
                  return plat::FileWrite(h, d, n, done);
                });
}

}  // namespace

void IFileOpen(std::string_view name, int mode, IFileHandle& handle) {
  handle = -1;
  const std::string path(plat::Trim(name));
  if (mode < kFileRead || mode > kFileReadWrite || path.empty()) {
    ReportFileError(kErrOpen, 0, "IFileOpen");
    return;
  }
  const plat::FileAccess access = mode == kFileRead    ? plat::FileAccess::Read
                                  : mode == kFileWrite ? plat::FileAccess::WriteCreate
                                                       : plat::FileAccess::ReadWrite;
  int fd = -1;
  if (const int err = plat::FileOpen(path, access, fd)) {
    ReportFileError(kErrOpen, err, "IFileOpen");
    return;
  }
  handle = fd;
}

void IFileRead(IFileHandle handle, std::span<std::byte> buffer, int count, int& moved) {
  ReadBytes(handle, buffer.data(), buffer.size(), count, moved, "IFileRead");
}

void IFileWrite(IFileHandle handle, std::span<const std::byte> buffer, int count, int& moved) {
  WriteBytes(handle, buffer.data(), buffer.size(), count, moved, "IFileWrite");
}

void IFileReadChar(IFileHandle handle, std::string& text, int count, int& moved) {
  ReadBytes(handle, reinterpret_cast<std::byte*>(text.data()), text.size(), count, moved,
            "IFileReadChar");
}

void IFileWriteChar(IFileHandle handle, std::string_view text, int count, int& moved) {
  WriteBytes(handle, reinterpret_cast<const std::byte*>(text.data()), text.size(), count, moved,
             "IFileWriteChar");
}

void IFileSeek(IFileHandle handle, int& offset, int origin) {
  if (origin < kFromStart || origin > kFromEnd) return;
  // The target is worked out in 64 bits first, so that a position the 32-bit
  // offset cannot hold is refused before the file is touched.
  std::int64_t base = 0;
  int err = 0;
  if (origin == kFromCurrent) {
    err = plat::FileSeek(handle, 0, plat::SeekOrigin::Current, base);
  } else if (origin == kFromEnd) {
    err = plat::FileSize(handle, base);
  }
  const std::int64_t target = base + offset;
  if (err == 0 && target < 0) err = EINVAL;
  if (err == 0 && target > kLargestPosition) err = EFBIG;
  std::int64_t position = 0;
  if (err == 0) err = plat::FileSeek(handle, target, plat::SeekOrigin::Start, position);
  if (err != 0) {
    offset = -1;
    ReportFileError(kErrReadWrite, err, "IFileSeek");
    return;
  }
  offset = static_cast<int>(position);
}

void IFileClose(IFileHandle handle) {
  (void)plat::FileClose(handle);
}

}  // namespace tk
