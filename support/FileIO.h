#pragma once
// Binary file helpers: open with a fixed access mode per routine, transfer
// counted runs of bytes with a uniform status, position, close.
//
// Transfer status (every read and write): requested bytes minus bytes moved.
// 0 the whole transfer happened; 1..N short (N: nothing moved, end of file on
// a read); N + 1 the system call failed (the toolkit reported it). Callers
// treat any non-zero status as failure. A count of 0 or less moves nothing
// and gives 0. A count larger than the buffer is refused (status N + 1).
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>

#include "toolkit/core/Files.h"

namespace sup {

/// Opens an existing file for reading and writing; handle, or -1.
[[nodiscard]] int IOPNFIL(std::string_view NAME);
/// Opens an existing file read-only; others may still read and write it.
[[nodiscard]] int IOPNRLY(std::string_view NAME);
/// Creates a file for writing. The bytes go to a fresh file beside NAME that
/// takes NAME's place (keeping its permissions) when ICLSFIL closes it after
/// every write succeeded; until then an existing NAME stays as it was.
[[nodiscard]] int MAKEFIL(std::string_view NAME);
/// Closes the file: 0, or -1 when a file from MAKEFIL could not take its
/// target's place (a write to it failed, which its writer reports, or the
/// replacing step failed, reported here with the system's text); the target
/// then stays as it was and nothing is left beside it.
int ICLSFIL(int IH);
/// Closes a file from MAKEFIL without replacing anything (a cancelled or
/// failed write): the target stays as it was. Other files are closed.
void ABANDONFIL(int IH);

/// Reads N bytes into the character buffer STR.
[[nodiscard]] int IREDFIL(int IH, std::string& STR, int N);
/// Writes N bytes from the character buffer STR.
[[nodiscard]] int IRITFIL(int IH, std::string_view STR, int N);

/// Reads N bytes into BUF.
[[nodiscard]] int JREDFIL(int IH, std::span<std::byte> BUF, int N);
/// Writes N bytes from BUF.
[[nodiscard]] int JRITFIL(int IH, std::span<const std::byte> BUF, int N);

/// Reads BUF.size() bytes at byte offset POS, leaving the file's position as
/// it was and telling the user nothing, so that several threads may read one
/// file at once: true only when every byte was read. A caller that wants the
/// failure reported reads the same bytes again with JREDFIL.
[[nodiscard]] bool ReadBytesAt(int IH, std::span<std::byte> BUF, std::int64_t POS);

/// The same for arrays of any plain type (REAL arrays, integers, 2-byte words).
template <tk::PlainValue T>
[[nodiscard]] int JREDFIL(int IH, std::span<T> BUF, int N) {
  return JREDFIL(IH, std::as_writable_bytes(BUF), N);
}
template <tk::PlainValue T>
[[nodiscard]] int JRITFIL(int IH, std::span<const T> BUF, int N) {
  return JRITFIL(IH, std::as_bytes(BUF), N);
}
template <tk::PlainValue T>
[[nodiscard]] int JRITFIL(int IH, std::span<T> BUF, int N) {
  return JRITFIL(IH, std::as_bytes(BUF), N);
}

/// Moves to byte offset IPOS from the start: 0, or -1 when the seek failed.
[[nodiscard]] int ISETFIL(int IH, int IPOS);
/// Moves N bytes from the current position (N may be negative); IPOS := the
/// new absolute offset, or -1. Result 0, or -1 when the seek failed.
[[nodiscard]] int IADVFIL(int IH, int N, int& IPOS);

/// Writes the trace-file record header: the first 8 characters of TAG (blank
/// padded), then I1, I2, I3 as little-endian 32-bit integers, 20 bytes.
/// Result: 0, or the status of the first write that was short (8 minus the
/// tag bytes written, or the status of the integer that failed).
[[nodiscard]] int IRITHEAD(int IH, std::string_view TAG, std::int32_t I1, std::int32_t I2,
                           std::int32_t I3);

}  // namespace sup
