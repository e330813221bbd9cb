#pragma once
// Files by handle on POSIX: open in one of three access modes, read, write,
// seek, size and close, with 64-bit offsets throughout. Every call returns the
// system's error number (0 on success), so the layers above can report the
// failing call with the system's own text.
#include <cstddef>
#include <cstdint>
#include <string>

namespace plat {

/// How a file is opened, and what other openers may do meanwhile.
/// Writers (WriteCreate, ReadWrite) hold an exclusive advisory lock, so a
/// second writer is refused while readers may still open the file; readers
/// take no lock, so a file open for reading may still be opened for writing.
enum class FileAccess {
  Read,         // existing file, read only
  WriteCreate,  // created when missing, emptied when present, write only
  ReadWrite,    // existing file, read and write
};

enum class SeekOrigin { Start, Current, End };

/// Opens PATH. On success HANDLE is the descriptor and the result is 0;
/// otherwise HANDLE is -1 and the result is the system's error number.
[[nodiscard]] int FileOpen(const std::string& path, FileAccess access, int& handle);

/// Reads up to COUNT bytes into BUFFER; MOVED receives the bytes read (short
/// only at the end of the file). Result: 0 or the error number.
[[nodiscard]] int FileRead(int handle, void* buffer, std::size_t count, std::size_t& moved);

/// Reads up to COUNT bytes at byte OFFSET into BUFFER without moving the
/// handle's position, so that several threads may read one handle at once;
/// MOVED receives the bytes read. Result: 0 or the error number.
[[nodiscard]] int FileReadAt(int handle, void* buffer, std::size_t count, std::int64_t offset,
                             std::size_t& moved);

/// Writes COUNT bytes from BUFFER; MOVED receives the bytes written.
[[nodiscard]] int FileWrite(int handle, const void* buffer, std::size_t count, std::size_t& moved);

/// Moves the position OFFSET bytes from ORIGIN; POSITION receives the new
/// absolute offset. A target before the start of the file is EINVAL.
[[nodiscard]] int FileSeek(int handle, std::int64_t offset, SeekOrigin origin,
                           std::int64_t& position);

/// The file's size in bytes.
[[nodiscard]] int FileSize(int handle, std::int64_t& size);

/// Closes the handle; a handle of -1 is ignored. A handle from
/// FileOpenReplacing puts its file in the target's place here (result 0), or,
/// when a write to it failed or the rename fails, removes it and leaves the
/// target as it was (result: the error number of the first failure).
int FileClose(int handle);

/// Opens a fresh file beside PATH for writing, which takes PATH's place (and
/// its permissions, when PATH exists) in one step when it is closed after
/// every write succeeded: a failed write, a full disk or an abandoned write
/// never leaves PATH half written, and no partial file stays behind. Result
/// and HANDLE as FileOpen.
[[nodiscard]] int FileOpenReplacing(const std::string& path, int& handle);

/// True for a handle from FileOpenReplacing that is still open.
bool IsReplacingHandle(int handle);

/// Closes a handle from FileOpenReplacing without replacing anything: its
/// file is removed and the target stays as it was. Other handles are closed.
void FileAbandon(int handle);

/// What ReplaceFileContents did: the error number of the failing call (0
/// none), whether the temporary file could be made, and the bytes that
/// reached it.
struct ReplaceResult {
  int error = 0;
  bool opened = false;
  std::size_t written = 0;
};

/// How ReplaceFileContents writes: the temporary file (empty: a fresh
/// hidden name in the target's folder), the permissions of a new target
/// (less the umask), and whether the bytes are flushed to disk before the
/// rename.
struct ReplaceOptions {
  std::string temporary;
  unsigned newMode = 0666;
  bool flush = false;
};

/// Replaces the contents of TARGET with the COUNT bytes of DATA so that
/// TARGET is never left half written: the bytes go to the temporary file,
/// which takes TARGET's permissions (when TARGET exists) and is renamed over
/// TARGET. On failure the temporary file is removed and TARGET keeps its old
/// contents.
[[nodiscard]] ReplaceResult ReplaceFileContents(const std::string& target, const void* data,
                                                std::size_t count,
                                                const ReplaceOptions& options = {});

/// The system's text for an error number; blank for 0.
std::string SystemErrorText(int error);

}  // namespace plat
