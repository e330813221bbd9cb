// Plot-file output streams.
#include "toolkit/hardcopy/PlotFile.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <string>

#include "platform/system/Printer.h"
#include "toolkit/core/Errors.h"
#include "toolkit/graphics/Drivers.h"
#include "toolkit/hardcopy/PrintHandOver.h"

namespace tk {
namespace {

constexpr std::string_view kRoutine = "YYPROU";

// Files and the print system's pipe get their bytes in blocks of this size:
// one system call per record made the drivers' time.
constexpr std::size_t kBlockBytes = 64 * 1024;

struct Stream {
  int fd = -1;
  plat::PrintCommandRun printer;  // the `lp` child feeding a printer name
  bool socket = false;
  bool buffered = false;  // a plain file or the pipe to lp; devices get each write at once
  std::string pending;    // bytes not yet written
};

struct PlotFiles {
  std::array<Stream, 2> streams;
  std::int32_t lastCount = 0;
  std::int32_t lastStatus = 0;
  std::int32_t status = 0;
};

PlotFiles& Files() {
  static PlotFiles f;
  return f;
}

Stream* StreamAt(int stream) {
  if (stream < 1 || stream > 2) return nullptr;
  return &Files().streams[static_cast<std::size_t>(stream - 1)];
}

void Report(int code) {
  ReportFileError(code, Files().lastStatus, kRoutine);
  Files().status = -1;
}

std::string Upper(std::string_view s) {
  std::string u(s);
  for (char& c : u) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (!u.empty() && u.back() == ':') u.pop_back();
  return u;
}

// Starts `lp -o raw` reading from one end of a socket pair (so that a write
// after lp has gone fails with EPIPE under MSG_NOSIGNAL instead of raising
// SIGPIPE). Result: 0 or the system's error number.
int OpenPrinter(Stream& s) {
  int pair[2];
  if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair) != 0) return errno;
  shutdown(pair[0], SHUT_WR);
  shutdown(pair[1], SHUT_RD);
  const int error = plat::StartPrintCommand({"lp", "-o", "raw"}, pair[0], s.printer);
  close(pair[0]);
  if (error != 0) {
    close(pair[1]);
    return error;
  }
  s.fd = pair[1];
  s.socket = true;
  s.buffered = true;
  return 0;
}

// Writes N bytes straight to the stream's handle. Result: bytes written;
// ERROR receives the system's error number when fewer went.
std::size_t WriteThrough(const Stream& s, const char* bytes, std::size_t want, int& error) {
  std::size_t done = 0;
  error = 0;
  while (done < want) {
    const ssize_t r = s.socket ? send(s.fd, bytes + done, want - done, MSG_NOSIGNAL)
                               : write(s.fd, bytes + done, want - done);
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) {
      error = r < 0 ? errno : EIO;
      break;
    }
    done += static_cast<std::size_t>(r);
  }
  return done;
}

// Writes what the stream holds back; a failure is reported as the failed
// write it stands for (error 2).
void Flush(Stream& s) {
  if (s.pending.empty() || s.fd < 0) {
    s.pending.clear();
    return;
  }
  PlotFiles& f = Files();
  int error = 0;
  const std::size_t done = WriteThrough(s, s.pending.data(), s.pending.size(), error);
  const bool shortWrite = done != s.pending.size();
  s.pending.clear();
  if (shortWrite) {
    f.lastStatus = error != 0 ? error : EIO;
    Report(kErrReadWrite);
  }
}

void WriteBytes(int stream, const char* bytes, int n) {
  PlotFiles& f = Files();
  Stream* s = StreamAt(stream);
  const std::size_t want = static_cast<std::size_t>(std::max(n, 0));
  if (s != nullptr && s->fd >= 0 && s->buffered) {
    if (s->pending.size() + want > kBlockBytes) Flush(*s);
    f.lastCount = static_cast<std::int32_t>(want);
    f.lastStatus = 0;
    if (want >= kBlockBytes) {
      int error = 0;
      const std::size_t done = WriteThrough(*s, bytes, want, error);
      f.lastCount = static_cast<std::int32_t>(done);
      if (done != want) {
        f.lastStatus = error != 0 ? error : EIO;
        Report(kErrReadWrite);
      }
    } else {
      s->pending.append(bytes, want);
    }
    return;
  }
  std::size_t done = 0;
  int error = 0;
  if (s == nullptr || s->fd < 0)
    error = EBADF;
  else
    done = WriteThrough(*s, bytes, want, error);
  f.lastCount = static_cast<std::int32_t>(done);
  f.lastStatus = error;
  if (done != want) {
    if (f.lastStatus == 0) f.lastStatus = EIO;
    Report(kErrReadWrite);
  }
}

}  // namespace

std::int32_t& PlotFileStatus() {
  return Files().status;
}

void PlotFileOpen(int stream) {
  PlotFiles& f = Files();
  Stream* s = StreamAt(stream);
  std::string& text = DriverText();
  const std::size_t end = text.find_last_not_of(std::string_view(" \0", 2));
  if (s == nullptr || end == std::string::npos) {
    f.lastStatus = 0;
    Report(kErrOpen);
    return;
  }
  // The name ends with a NUL right after its last non-blank character.
  text.resize(std::max<std::size_t>(text.size(), end + 2), ' ');
  text[end + 1] = '\0';
  const std::string name = text.substr(0, end + 1);
  f.status = 0;
  if (s->fd >= 0) PlotFileClose(stream);
  const std::string device = Upper(name);
  int error = 0;
  if (device == "PRN" || device == "LPT1" || device == "LPT2" || device == "LPT3") {
    error = OpenPrinter(*s);
  } else {
    std::string path = name;
    if (device == "AUX") path = "/dev/ttyS0";
    if (device.size() == 4 && device.starts_with("COM") && device[3] >= '1' && device[3] <= '3')
      path = std::string("/dev/ttyS") + static_cast<char>(device[3] - 1);
    s->fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (s->fd < 0) error = errno;
    s->socket = false;
    struct stat st {};
    s->buffered = s->fd >= 0 && fstat(s->fd, &st) == 0 && S_ISREG(st.st_mode);
    s->pending.clear();
    if (s->buffered) s->pending.reserve(kBlockBytes);
  }
  f.lastStatus = error;
  if (error != 0) Report(kErrOpen);
}

void PlotFileWrite(int stream, std::string_view bytes, int n) {
  n = std::clamp(n, 0, static_cast<int>(bytes.size()));
  WriteBytes(stream, bytes.data(), n);
}

void PlotFileWriteLine(int stream, std::string_view text, int n) {
  n = std::clamp(n, 0, static_cast<int>(text.size()));
  Stream* s = StreamAt(stream);
  if (s != nullptr && s->fd >= 0 && s->buffered &&
      s->pending.size() + static_cast<std::size_t>(n) + 2 <= kBlockBytes) {
    // The common case, a record that fits what is held: no copy of its own.
    s->pending.append(text.data(), static_cast<std::size_t>(n));
    s->pending.append("\r\n", 2);
    Files().lastCount = n + 2;
    Files().lastStatus = 0;
    return;
  }
  std::string line(text.substr(0, static_cast<std::size_t>(n)));
  line += "\r\n";
  WriteBytes(stream, line.data(), static_cast<int>(line.size()));
}

void PlotFileWriteRaster(int stream, int n, int flags) {
  n = std::clamp(n, 0, kRasterRowBytes);
  WriteBytes(stream, reinterpret_cast<const char*>(RasterRowBuffer()), n);
  if (flags & 1) WriteBytes(stream, "\r\n", 2);
}

void PlotFileClose(int stream) {
  Stream* s = StreamAt(stream);
  if (s == nullptr || s->fd < 0) return;
  // What is held back is written first; its failure is the failed write it
  // stands for.
  Flush(*s);
  close(s->fd);
  if (s->printer.pid > 0) {
    // The printer's lp has the whole job now: it gets the time limit of every
    // hand-over, and a refusal is no success.
    const plat::PrintCommandOutcome outcome = plat::FinishPrintCommand(s->printer);
    if (outcome.error != 0) {
      Files().lastStatus = outcome.error;
      Report(kErrReadWrite);
      PrintHandOverFailed(outcome.timedOut, outcome.cancelled, outcome.exitStatus,
                          outcome.answer, {});
    }
  }
  *s = Stream{};
}

void PlotFileHandle(int stream, int& handle) {
  Stream* s = StreamAt(stream);
  // Whoever writes through the handle comes after what is held back.
  if (s != nullptr && s->fd >= 0) Flush(*s);
  handle = s ? s->fd : -1;
}

}  // namespace tk
