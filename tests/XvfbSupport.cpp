#include "tests/XvfbSupport.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <bit>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "tests/TestSupport.h"

extern char** environ;

namespace testing_support {

namespace {
using Clock = std::chrono::steady_clock;

std::uint32_t Be32(const std::string& b, std::size_t at) {
  return (std::uint32_t{static_cast<unsigned char>(b[at])} << 24) |
         (std::uint32_t{static_cast<unsigned char>(b[at + 1])} << 16) |
         (std::uint32_t{static_cast<unsigned char>(b[at + 2])} << 8) |
         std::uint32_t{static_cast<unsigned char>(b[at + 3])};
}

/// 8 bits of the channel MASK selects from V.
int Channel(std::uint32_t v, std::uint32_t mask) {
  if (mask == 0) return 0;
  const int shift = std::countr_zero(mask);
  const int bits = std::popcount(mask);
  const std::uint32_t c = (v & mask) >> shift;
  return bits >= 8 ? static_cast<int>(c >> (bits - 8))
                   : static_cast<int>((c * 255 + ((1u << bits) - 1) / 2) / ((1u << bits) - 1));
}
}  // namespace

std::string FindProgram(std::string_view name) {
  const char* path = std::getenv("PATH");
  std::string_view dirs = path != nullptr ? path : "/usr/bin:/bin";
  while (!dirs.empty()) {
    const auto colon = dirs.find(':');
    const std::string_view dir = dirs.substr(0, colon);
    dirs = colon == std::string_view::npos ? std::string_view{} : dirs.substr(colon + 1);
    if (dir.empty()) continue;
    std::string candidate = std::string(dir) + "/" + std::string(name);
    if (access(candidate.c_str(), X_OK) == 0) return candidate;
  }
  return {};
}

bool Child::Start(const std::vector<std::string>& args, const std::vector<std::string>& env,
                  const std::string& folder, const std::string& errors) {
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  // The inherited environment with ENV's changes applied.
  std::vector<std::string> vars;
  for (char** e = environ; *e != nullptr; ++e) vars.emplace_back(*e);
  for (const std::string& change : env) {
    const std::string name = change.substr(0, change.find('='));
    std::erase_if(vars, [&](const std::string& v) { return v.compare(0, name.size() + 1, name + "=") == 0; });
    if (change.find('=') != std::string::npos) vars.push_back(change);
  }
  std::vector<char*> envp;
  for (std::string& v : vars) envp.push_back(v.data());
  envp.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  if (errors.empty())
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  else
    posix_spawn_file_actions_addopen(&actions, 2, errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (!folder.empty()) posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
  const int rc = posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) pid_ = -1;
  return pid_ > 0;
}

std::optional<int> Child::Wait(int timeoutMs) {
  const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
  while (pid_ > 0) {
    int status = 0;
    const pid_t r = waitpid(pid_, &status, WNOHANG);
    if (r == pid_ || r < 0) {
      pid_ = -1;
      return r > 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    if (Clock::now() >= end) return std::nullopt;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return -1;
}

void Child::Stop() {
  if (pid_ <= 0) return;
  kill(pid_, SIGTERM);
  if (!Wait(3000)) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }
}

bool Xvfb::Start(const std::string& program, int depth, std::string& why, std::string_view size,
                 bool endWithLastClient) {
  int fds[2];
  if (pipe(fds) != 0) {
    why = "pipe failed";
    return false;
  }
  fcntl(fds[0], F_SETFD, FD_CLOEXEC);  // the write end is inherited by Xvfb
  std::vector<std::string> args{program, "-displayfd", std::to_string(fds[1]), "-screen", "0",
                                std::string(size) + "x" + std::to_string(depth), "-nolisten", "tcp"};
  // Without -terminate the server must not reset when its last client goes:
  // a reset drops a client that is connecting at that moment.
  args.push_back(endWithLastClient ? "-terminate" : "-noreset");
  const bool started = server_.Start(args);
  close(fds[1]);
  if (!started) {
    close(fds[0]);
    why = "cannot start " + program;
    return false;
  }
  // Xvfb writes its display number once it is ready.
  std::string number;
  const auto end = Clock::now() + std::chrono::seconds(15);
  while (Clock::now() < end) {
    pollfd p{fds[0], POLLIN, 0};
    if (poll(&p, 1, 100) <= 0) continue;
    char buf[32];
    const ssize_t n = read(fds[0], buf, sizeof buf);
    if (n <= 0) break;
    number.append(buf, static_cast<std::size_t>(n));
    if (number.find('\n') != std::string::npos) break;
  }
  close(fds[0]);
  while (!number.empty() && (number.back() == '\n' || number.back() == ' ')) number.pop_back();
  if (number.empty() || number.find_first_not_of("0123456789") != std::string::npos) {
    why = "Xvfb did not report a display number";
    server_.Stop();
    return false;
  }
  display_ = ":" + number;
  return true;
}

/// Reads an XWD (X Window Dump, version 7) file of a TrueColor ZPixmap.
/// The header is 25 big-endian 32-bit fields; the pixels follow the header,
/// the window name and the colour table, in the byte order the header gives.
bool ParseXwd(const std::string& b, Screenshot& out, std::string& why) {
  enum {
    kHeaderSize,
    kVersion,
    kFormat,
    kDepth,
    kWidth,
    kHeight,
    kXOffset,
    kByteOrder,
    kBitmapUnit,
    kBitOrder,
    kBitmapPad,
    kBitsPerPixel,
    kBytesPerLine,
    kVisualClass,
    kRedMask,
    kGreenMask,
    kBlueMask,
    kBitsPerRgb,
    kColormapEntries,
    kColors,
    kFieldCount
  };
  if (b.size() < 100) return why = "XWD file shorter than its header", false;
  std::uint32_t f[kFieldCount];
  for (int i = 0; i < kFieldCount; ++i) f[i] = Be32(b, static_cast<std::size_t>(i) * 4);
  if (f[kVersion] != 7) return why = "XWD version is not 7", false;
  if (f[kFormat] != 2) return why = "XWD image is not a ZPixmap", false;
  if (f[kVisualClass] != 4 && f[kVisualClass] != 5) return why = "XWD visual not TrueColor", false;
  const std::uint32_t bpp = f[kBitsPerPixel];
  if (bpp != 16 && bpp != 24 && bpp != 32) return why = "XWD bits per pixel unsupported", false;
  const std::uint64_t width = f[kWidth], height = f[kHeight], bpl = f[kBytesPerLine];
  if (width == 0 || height == 0 || width > 32768 || height > 32768)
    return why = "XWD size out of range", false;
  if (bpl < width * bpp / 8) return why = "XWD line shorter than its pixels", false;
  const std::uint64_t data = std::uint64_t{f[kHeaderSize]} + std::uint64_t{f[kColors]} * 12;
  if (f[kHeaderSize] < 100 || data + bpl * height > b.size())
    return why = "XWD file shorter than its pixels", false;
  const bool msb = f[kByteOrder] == 1;
  const std::uint32_t bytes = bpp / 8;
  out.width = static_cast<int>(width);
  out.height = static_cast<int>(height);
  out.pixels.assign(width * height, 0);
  for (std::uint64_t y = 0; y < height; ++y) {
    for (std::uint64_t x = 0; x < width; ++x) {
      const std::size_t at = static_cast<std::size_t>(data + y * bpl + x * bytes);
      std::uint32_t v = 0;
      for (std::uint32_t i = 0; i < bytes; ++i) {
        const std::uint32_t byte = static_cast<unsigned char>(b[at + i]);
        v |= msb ? byte << (8 * (bytes - 1 - i)) : byte << (8 * i);
      }
      out.pixels[y * width + x] =
          plat::Rgb(Channel(v, f[kRedMask]), Channel(v, f[kGreenMask]), Channel(v, f[kBlueMask]));
    }
  }
  return true;
}

bool TakeScreenshot(const std::string& xwd, const std::string& display, Screenshot& out,
                    std::string& why) {
  TempDir dir;
  const std::string file = (dir.path() / "screen.xwd").string();
  Child child;
  if (!child.Start({xwd, "-root", "-display", display, "-silent", "-out", file}))
    return why = "cannot start " + xwd, false;
  if (child.Wait(10000) != 0) return why = "xwd failed", false;
  return ParseXwd(ReadFile(file), out, why);
}

}  // namespace testing_support
