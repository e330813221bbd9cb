#pragma once
// Binary files by handle: open in one of three access modes, read and write
// counted runs of bytes at the current position, move the position, close.
// No buffering and no byte-order handling here. Every failure is reported
// through the error reporter under the routine's own name as a file error
// carrying the system's error number.
//
// Positions and counts are signed 32-bit. Offsets are handled in 64 bits
// underneath, so a position beyond 2 GiB - 1 is refused with a clear error
// rather than returned wrongly.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>

namespace tk {

using IFileHandle = std::int32_t;

/// Element types a byte buffer may be viewed as: plain values other than bytes.
template <class T>
concept PlainValue = std::is_trivially_copyable_v<T> && !std::is_same_v<T, std::byte>;

/// Access modes.
enum IFileMode : std::int32_t {
  kFileRead = 0,       // existing file, read; others may read and write it
  kFileWrite = 1,      // created or emptied, write; others may only read it
  kFileReadWrite = 2,  // existing file, read and write; others may only read it
};

/// Seek origins.
enum IFileOrigin : std::int32_t { kFromStart = 0, kFromCurrent = 1, kFromEnd = 2 };

/// Opens the file NAME (leading and trailing blanks ignored) in MODE.
/// HANDLE := the handle, or -1 with error 1 reported.
void IFileOpen(std::string_view name, int mode, IFileHandle& handle);

/// Reads up to COUNT bytes at the current position into BUFFER.
/// MOVED := bytes read (short or 0 at the end of file, which is no error), or
/// -1 with error 2 reported when the system call failed or COUNT exceeds the
/// buffer. A COUNT of 0 or less moves nothing.
void IFileRead(IFileHandle handle, std::span<std::byte> buffer, int count, int& moved);

/// Writes COUNT bytes from BUFFER at the current position; MOVED as above.
void IFileWrite(IFileHandle handle, std::span<const std::byte> buffer, int count, int& moved);

/// Any array of plain values as the buffer.
template <PlainValue T>
void IFileRead(IFileHandle handle, std::span<T> buffer, int count, int& moved) {
  IFileRead(handle, std::as_writable_bytes(buffer), count, moved);
}
template <PlainValue T>
void IFileWrite(IFileHandle handle, std::span<const T> buffer, int count, int& moved) {
  IFileWrite(handle, std::as_bytes(buffer), count, moved);
}
template <PlainValue T>
void IFileWrite(IFileHandle handle, std::span<T> buffer, int count, int& moved) {
  IFileWrite(handle, std::as_bytes(buffer), count, moved);
}

/// The same on a character string: COUNT bytes at most TEXT's length.
void IFileReadChar(IFileHandle handle, std::string& text, int count, int& moved);
void IFileWriteChar(IFileHandle handle, std::string_view text, int count, int& moved);

/// Moves the position OFFSET bytes from ORIGIN (0 start, 1 current, 2 end);
/// OFFSET := the new absolute position, or -1 with error 2 reported. An origin
/// outside 0-2 changes nothing and reports nothing.
void IFileSeek(IFileHandle handle, int& offset, int origin);

/// Closes the file; a handle of -1 or a closed handle is ignored.
void IFileClose(IFileHandle handle);

}  // namespace tk
