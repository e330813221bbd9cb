#include "support/FileIO.h"

#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <map>

#include "platform/FixedText.h"
#include "platform/system/File.h"
#include "support/ByteOrder.h"
#include "support/UserMessages.h"
#include "toolkit/core/Errors.h"
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

// The files MAKEFIL opened, by handle: the target's name, whether the file
// is written beside it, and the system's error number of the first write
// that failed (0 none).
struct Made {
  std::string name;
  bool replacing = false;
  bool failed = false;
  int error = 0;
};
std::map<int, Made>& MadeFiles() {
  static std::map<int, Made> files;
  return files;
}

void NoteTransfer(int IH, int status) {
  if (status == 0) return;
  auto it = MadeFiles().find(IH);
  if (it == MadeFiles().end() || it->second.failed) return;
  it->second.failed = true;
  // The toolkit keeps the failing call's error number for the asking.
  it->second.error = tk::WErrorStatusQuery(2);
}

// Says why a write failed, in the system's words (a full disk is "No space
// left on device"); the writer has said which part of its file it was.
void TellFailure(const Made& m) {
  if (m.error != 0) WINMSG(m.name + ": " + plat::SystemErrorText(m.error));
}

}  // namespace


int IOPNFIL(std::string_view NAME) {
  return Open(NAME, tk::kFileReadWrite);
}
int IOPNRLY(std::string_view NAME) {
  return Open(NAME, tk::kFileRead);
}

int MAKEFIL(std::string_view NAME) {
  // A file the user may write is written beside itself and takes its place
  // when closed whole; anything else (a device, a folder, a read-only file,
  // a folder where nothing new can be made) is opened as it is, so that the
  // refusal is the system's own.
  const std::string path(plat::Trim(NAME));
  struct stat st {};
  const bool exists = !path.empty() && ::stat(path.c_str(), &st) == 0;
  if (!path.empty() && (!exists || (S_ISREG(st.st_mode) && ::access(path.c_str(), W_OK) == 0))) {
    int handle = -1;
    if (plat::FileOpenReplacing(path, handle) == 0) {
      MadeFiles()[handle] = Made{path, true, false, 0};
      return handle;
    }
  }
  const int handle = Open(NAME, tk::kFileWrite);
  if (handle >= 0) MadeFiles()[handle] = Made{path, false, false, 0};
  return handle;
}

int ICLSFIL(int IH) {
  auto it = MadeFiles().find(IH);
  if (it == MadeFiles().end()) {
    tk::IFileClose(IH);
    return 0;
  }
  const Made m = it->second;
  MadeFiles().erase(it);
  if (m.failed) {
    // The target stays as it was when it was written beside.
    TellFailure(m);
    if (m.replacing) {
      plat::FileAbandon(IH);
    } else {
      tk::IFileClose(IH);
    }
    return -1;
  }
  if (!m.replacing) {
    tk::IFileClose(IH);
    return 0;
  }
  if (const int error = plat::FileClose(IH); error != 0) {
    WINMSG("CANNOT WRITE FILE: " + m.name + ": " + plat::SystemErrorText(error));
    return -1;
  }
  return 0;
}

void ABANDONFIL(int IH) {
  auto it = MadeFiles().find(IH);
  if (it == MadeFiles().end()) {
    tk::IFileClose(IH);
    return;
  }
  const Made m = it->second;
  MadeFiles().erase(it);
  if (m.failed) TellFailure(m);
  if (m.replacing) {
    plat::FileAbandon(IH);
  } else {
    tk::IFileClose(IH);
  }
}

int IREDFIL(int IH, std::string& STR, int N) {
  int moved = 0;
  tk::IFileReadChar(IH, STR, N, moved);
  return TransferStatus(N, moved);
}

int IRITFIL(int IH, std::string_view STR, int N) {
  int moved = 0;
  tk::IFileWriteChar(IH, STR, N, moved);
  const int status = TransferStatus(N, moved);
  NoteTransfer(IH, status);
  return status;
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
  const int status = TransferStatus(N, moved);
  NoteTransfer(IH, status);
  return status;
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
