#include "support/FileIO.h"

#include <array>

#include "platform/FixedText.h"
#include "platform/system/File.h"
#include "support/ByteOrder.h"
#include "toolkit/core/Files.h"

namespace sup {
namespace {

int Open(std::string_view name, int mode) {
  tk::IFileHandle handle = -1;
  tk::IFileOpen(name, mode, handle);
  return handle;
}

/// Requested minus moved, where a failed call (moved -1) gives N + 1.
int TransferStatus(int requested, int moved) {
  if (requested <= 0) return 0;
  return requested - moved;
}

int Seek(int handle, int offset, int origin) {
  tk::IFileSeek(handle, offset, origin);
  return offset <= 0 ? offset : 0;
}

}  // namespace

int IOPNFIL(std::string_view NAME) {
  return Open(NAME, tk::kFileReadWrite);
}
int IOPNRLY(std::string_view NAME) {
  return Open(NAME, tk::kFileRead);
}
int MAKEFIL(std::string_view NAME) {
  return Open(NAME, tk::kFileWrite);
}

int ICLSFIL(int IH) {
  tk::IFileClose(IH);
  return 0;
}

int IREDFIL(int IH, std::string& STR, int N) {
  int moved = 0;
  tk::IFileReadChar(IH, STR, N, moved);
  return TransferStatus(N, moved);
}

int IRITFIL(int IH, std::string_view STR, int N) {
  int moved = 0;
  tk::IFileWriteChar(IH, STR, N, moved);
  return TransferStatus(N, moved);
}

int JREDFIL(int IH, std::span<std::byte> BUF, int N) {
  int moved = 0;
  tk::IFileRead(IH, BUF, N, moved);
  return TransferStatus(N, moved);
}

bool ReadBytesAt(int IH, std::span<std::byte> BUF, std::int64_t POS) {
  std::size_t moved = 0;
  return plat::FileReadAt(IH, BUF.data(), BUF.size(), POS, moved) == 0 && moved == BUF.size();
}

int JRITFIL(int IH, std::span<const std::byte> BUF, int N) {
  int moved = 0;
  tk::IFileWrite(IH, BUF, N, moved);
  return TransferStatus(N, moved);
}

int ISETFIL(int IH, int IPOS) {
  return Seek(IH, IPOS, tk::kFromStart);
}

int IADVFIL(int IH, int N, int& IPOS) {
  IPOS = N;
  tk::IFileSeek(IH, IPOS, tk::kFromCurrent);
  return IPOS < 0 ? -1 : 0;
}

int IRITHEAD(int IH, std::string_view TAG, std::int32_t I1, std::int32_t I2, std::int32_t I3) {
  std::string tag = plat::Padded(TAG, 8);
  if (const int status = IRITFIL(IH, tag, 8)) return status;
  for (const std::int32_t value : {I1, I2, I3}) {
    std::array<std::byte, 4> bytes;
    StoreU32(bytes.data(), static_cast<std::uint32_t>(value), ByteOrder::Little);
    if (const int status = JRITFIL(IH, std::span<const std::byte>(bytes), 4)) return status;
  }
  return 0;
}

}  // namespace sup
