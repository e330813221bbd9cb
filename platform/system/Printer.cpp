// The system printer over the print commands `lp`, `lpstat` and `lpoptions`.
#include "platform/system/Printer.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cmath>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "platform/system/Process.h"

extern char** environ;

namespace plat {
namespace {

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::string Trimmed(const std::string& s) {
  const auto b = s.find_first_not_of(" \t\r\n");
  if (b == std::string::npos) return {};
  const auto e = s.find_last_not_of(" \t\r\n");
  return s.substr(b, e - b + 1);
}

std::string TempFolder() {
  const char* t = std::getenv("TMPDIR");
  return t && *t ? t : "/tmp";
}

// The media name a print-system value stands for ("iso_a4_210x297mm", "A4",
// "na_letter_8.5x11in", ...); empty when it is none of the four.
std::string MediaName(const std::string& value) {
  const std::string v = Lower(value);
  if (v.find("legal") != std::string::npos) return "Legal";
  if (v.find("letter") != std::string::npos) return "Letter";
  if (v.find("a3") != std::string::npos) return "A3";
  if (v.find("a4") != std::string::npos) return "A4";
  return {};
}

bool GreyModel(const std::string& value) {
  const std::string v = Lower(value);
  return v.find("gray") != std::string::npos || v.find("grey") != std::string::npos ||
         v.find("monochrome") != std::string::npos || v == "black" || v == "kgray";
}

// A print server that let a query time out is not asked again for a while:
// start-up asks it several times, and each would wait the whole time limit.
constexpr auto kSilentServerPause = std::chrono::seconds(60);
std::chrono::steady_clock::time_point& SilentUntil() {
  static std::chrono::steady_clock::time_point t{};
  return t;
}

bool Query(const std::vector<std::string>& args, std::string& output) {
  output.clear();
  if (std::chrono::steady_clock::now() < SilentUntil()) return false;
  const auto start = std::chrono::steady_clock::now();
  const bool ok = RunCaptured(args, kPrinterQueryTimeoutMs, output);
  if (!ok && std::chrono::steady_clock::now() - start >=
                 std::chrono::milliseconds(kPrinterQueryTimeoutMs))
    SilentUntil() = std::chrono::steady_clock::now() + kSilentServerPause;
  return ok;
}

}  // namespace

bool RunCaptured(const std::vector<std::string>& args, int timeoutMs, std::string& output) {
  output.clear();
  if (args.empty()) return false;
  char name[] = "/velloran-query-XXXXXX";
  std::string path = TempFolder() + name;
  const int fd = mkstemp(path.data());
  if (fd < 0) return false;
  unlink(path.c_str());
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fd, 1);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  pid_t pid = -1;
  const int error = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (error != 0) {
    close(fd);
    return false;
  }
  int waitError = 0, status = 0;
  const WaitResult r = WaitForProgram(pid, timeoutMs, waitError, status);
  if (r == WaitResult::TimedOut) {
    kill(pid, SIGKILL);
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    close(fd);
    return false;
  }
  bool ok = r == WaitResult::Ended && WIFEXITED(status) && WEXITSTATUS(status) == 0;
  if (ok) {
    lseek(fd, 0, SEEK_SET);
    char buffer[4096];
    ssize_t n;
    // Answers are a few lines; a runaway one is cut at 1 MB.
    while (output.size() < (1u << 20) && (n = read(fd, buffer, sizeof buffer)) > 0)
      output.append(buffer, static_cast<std::size_t>(n));
  }
  close(fd);
  return ok;
}

PrintWaitHook& PrintCommandWaitHook() {
  static PrintWaitHook hook;
  return hook;
}

int StartPrintCommand(const std::vector<std::string>& args, int inputFd, PrintCommandRun& run) {
  run = PrintCommandRun{};
  if (args.empty()) return ENOENT;
  char name[] = "/velloran-lp-XXXXXX";
  std::string path = TempFolder() + name;
  const int fd = mkostemp(path.data(), O_CLOEXEC);
  if (fd < 0) return errno;
  unlink(path.c_str());
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (inputFd >= 0)
    posix_spawn_file_actions_adddup2(&actions, inputFd, 0);
  else
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, fd, 1);
  posix_spawn_file_actions_adddup2(&actions, fd, 2);
  pid_t pid = -1;
  const int error = SpawnProgram(args, &actions, pid);
  posix_spawn_file_actions_destroy(&actions);
  if (error != 0) {
    close(fd);
    return error;
  }
  run.pid = pid;
  run.answerFd = fd;
  return 0;
}

PrintCommandOutcome FinishPrintCommand(PrintCommandRun& run) {
  PrintCommandOutcome out;
  if (run.pid <= 0) {
    out.error = ECHILD;
    return out;
  }
  const PrintWaitHook hook = PrintCommandWaitHook();
  const auto start = std::chrono::steady_clock::now();
  const auto limit = std::chrono::milliseconds(std::max(PrintJobHandOverLimitMs(), 0));
  int status = 0;
  int sleepUs = 200;
  for (;;) {
    const pid_t got = waitpid(run.pid, &status, WNOHANG);
    if (got == run.pid) break;
    if (got < 0 && errno != EINTR) {
      out.error = errno;
      break;
    }
    if (std::chrono::steady_clock::now() - start >= limit) {
      out.timedOut = true;
      out.error = ETIMEDOUT;
    } else if (hook && hook(false)) {
      out.cancelled = true;
      out.error = ECANCELED;
    }
    if (out.error != 0) {
      kill(run.pid, SIGKILL);
      while (waitpid(run.pid, &status, 0) < 0 && errno == EINTR) {
      }
      break;
    }
    // Short sleeps first, so that a quick lp returns at once; then 50 ms.
    usleep(static_cast<useconds_t>(sleepUs));
    sleepUs = std::min(sleepUs * 2, 50000);
  }
  if (hook) hook(true);
  if (out.error == 0) {
    out.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    out.error = out.exitStatus;
  }
  if (run.answerFd >= 0) {
    lseek(run.answerFd, 0, SEEK_SET);
    char buffer[4096];
    ssize_t n;
    // The answer is a line or two; a runaway one is cut at 4 KB.
    while (out.answer.size() < 4096 && (n = read(run.answerFd, buffer, sizeof buffer)) > 0)
      out.answer.append(buffer, static_cast<std::size_t>(n));
    if (out.answer.size() > 4096) out.answer.resize(4096);
    out.answer = Trimmed(out.answer);
    close(run.answerFd);
  }
  run = PrintCommandRun{};
  return out;
}

int& PrintJobHandOverLimitMs() {
  static int limit = 60000;
  return limit;
}

void PrinterQueriesResume() {
  SilentUntil() = {};
}

bool PrintCommandPresent() {
  const char* path = std::getenv("PATH");
  if (!path) return false;
  std::stringstream folders(path);
  std::string folder;
  while (std::getline(folders, folder, ':')) {
    if (folder.empty()) folder = ".";
    const std::string candidate = folder + "/lp";
    struct stat st {};
    if (stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
        access(candidate.c_str(), X_OK) == 0)
      return true;
  }
  return false;
}

bool PrinterDefaultDestination(std::string& destination) {
  destination.clear();
  if (!PrintCommandPresent()) return false;
  for (const char* variable : {"PRINTER", "LPDEST"}) {
    const char* v = std::getenv(variable);
    if (v && !Trimmed(v).empty()) {
      destination = Trimmed(v);
      return true;
    }
  }
  std::string answer;
  if (!Query({"lpstat", "-d"}, answer)) return false;
  // "system default destination: NAME"; "no system default destination".
  const std::size_t colon = answer.find("destination:");
  if (colon == std::string::npos) return false;
  std::string rest = Trimmed(answer.substr(colon + 12));
  rest = rest.substr(0, rest.find_first_of(" \t\r\n"));
  destination = rest;
  return !destination.empty();
}

std::vector<std::string> PrinterDestinations() {
  std::vector<std::string> names;
  if (!PrintCommandPresent()) return names;
  std::string answer;
  if (!Query({"lpstat", "-e"}, answer)) return names;
  std::stringstream lines(answer);
  std::string line;
  while (std::getline(lines, line)) {
    line = Trimmed(line);
    if (!line.empty() && std::find(names.begin(), names.end(), line) == names.end())
      names.push_back(line);
  }
  return names;
}

bool MediaPixels(const std::string& media, int dpi, int& width, int& height) {
  // Sides in tenths of a millimetre (ISO) or hundredths of an inch (US).
  struct Size {
    const char* name;
    double widthInch, heightInch;
  };
  static constexpr Size kSizes[] = {{"A4", 210.0 / 25.4, 297.0 / 25.4},
                                    {"A3", 297.0 / 25.4, 420.0 / 25.4},
                                    {"Letter", 8.5, 11.0},
                                    {"Legal", 8.5, 14.0}};
  for (const Size& s : kSizes) {
    if (Lower(media) != Lower(s.name)) continue;
    width = static_cast<int>(s.widthInch * dpi + 0.5);
    height = static_cast<int>(s.heightInch * dpi + 0.5);
    return true;
  }
  return false;
}

PrinterPage PrinterPageOf(const std::string& destination) {
  PrinterPage page;
  std::string answer, listing;
  if (!destination.empty()) {
    // A print server that does not answer the first query is not asked again.
    if (Query({"lpoptions", "-p", destination}, answer))
      Query({"lpoptions", "-p", destination, "-l"}, listing);
  }
  // "name=value name='value with blanks' ..."
  std::stringstream words(answer);
  std::string word;
  while (words >> word) {
    const std::size_t eq = word.find('=');
    if (eq == std::string::npos) continue;
    const std::string key = Lower(word.substr(0, eq));
    std::string value = word.substr(eq + 1);
    value.erase(std::remove(value.begin(), value.end(), '\''), value.end());
    if ((key == "media" || key == "pagesize") && !MediaName(value).empty())
      page.media = MediaName(value);
    if ((key == "colormodel" || key == "print-color-mode") && GreyModel(value)) page.colours = 2;
  }
  // "PageSize/Media Size: Letter *A4 Legal": the starred value is the default.
  std::stringstream lines(listing);
  std::string line;
  while (std::getline(lines, line)) {
    const std::size_t colon = line.find(':');
    if (colon == std::string::npos) continue;
    const std::string key = Lower(line.substr(0, line.find('/')));
    std::stringstream values(line.substr(colon + 1));
    std::string value;
    while (values >> value) {
      if (value.empty() || value[0] != '*') continue;
      value.erase(0, 1);
      if ((key == "pagesize" || key == "media") && !MediaName(value).empty())
        page.media = MediaName(value);
      if ((key == "colormodel" || key == "print-color-mode") && GreyModel(value)) page.colours = 2;
    }
  }
  MediaPixels(page.media, page.dpiX, page.paperWidth, page.paperHeight);
  return page;
}

PrintJob::PrintJob(PrinterPage page, PrintJobSettings settings, bool landscape)
    : page_(std::move(page)), settings_(std::move(settings)), landscape_(landscape) {}

int PrintJob::PageWidth() const {
  return landscape_ ? page_.paperHeight : page_.paperWidth;
}
int PrintJob::PageHeight() const {
  return landscape_ ? page_.paperWidth : page_.paperHeight;
}

Surface& PrintJob::StartPage() {
  pages_.emplace_back(PageWidth(), PageHeight(), Rgb(255, 255, 255));
  return pages_.back();
}

Surface* PrintJob::CurrentPage() {
  return pages_.empty() ? nullptr : &pages_.back();
}

std::string PostScriptDocument(const std::vector<Surface>& pages, double widthPt,
                               double heightPt, const std::string& title) {
  std::string cleanTitle;
  for (char c : title)
    if (c >= 32 && c < 127 && c != '(' && c != ')' && c != '\\') cleanTitle += c;
  // The exact size for the page and the image; whole points, rounded up,
  // for the comments that want integers.
  char exact[64];
  std::snprintf(exact, sizeof exact, "%.3f %.3f", widthPt, heightPt);
  const std::string size = exact;
  const std::string box = std::to_string(static_cast<int>(std::ceil(widthPt))) + " " +
                          std::to_string(static_cast<int>(std::ceil(heightPt)));
  std::string ps;
  ps += "%!PS-Adobe-3.0\n";
  ps += "%%Creator: Velloran\n";
  ps += "%%Title: (" + cleanTitle + ")\n";
  ps += "%%LanguageLevel: 3\n";
  ps += "%%Pages: " + std::to_string(pages.size()) + "\n";
  ps += "%%BoundingBox: 0 0 " + box + "\n";
  ps += "%%HiResBoundingBox: 0 0 " + size + "\n";
  ps += "%%DocumentMedia: Plain " + box + " 0 () ()\n";
  ps += "%%EndComments\n";
  ps += "%%BeginSetup\n<< /PageSize [" + size + "] >> setpagedevice\n%%EndSetup\n";
  static constexpr char kHex[] = "0123456789abcdef";
  for (std::size_t n = 0; n < pages.size(); ++n) {
    const Surface& page = pages[n];
    const int w = page.Width(), h = page.Height();
    std::vector<unsigned char> rgb(static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 3);
    std::size_t k = 0;
    for (Pixel p : page.Pixels()) {
      rgb[k++] = static_cast<unsigned char>(RedOf(p));
      rgb[k++] = static_cast<unsigned char>(GreenOf(p));
      rgb[k++] = static_cast<unsigned char>(BlueOf(p));
    }
    uLongf packedSize = compressBound(static_cast<uLong>(rgb.size()));
    std::vector<unsigned char> packed(packedSize);
    if (compress2(packed.data(), &packedSize, rgb.data(), static_cast<uLong>(rgb.size()), 6) !=
        Z_OK)
      packedSize = 0;
    const std::string number = std::to_string(n + 1);
    ps += "%%Page: " + number + " " + number + "\n";
    ps += "%%PageBoundingBox: 0 0 " + box + "\n";
    ps += "gsave\n" + size + " scale\n/DeviceRGB setcolorspace\n";
    ps += "<< /ImageType 1 /Width " + std::to_string(w) + " /Height " + std::to_string(h) +
          " /BitsPerComponent 8 /Decode [0 1 0 1 0 1] /ImageMatrix [" + std::to_string(w) +
          " 0 0 -" + std::to_string(h) + " 0 " + std::to_string(h) +
          "] /DataSource currentfile /ASCIIHexDecode filter /FlateDecode filter >> image\n";
    for (uLongf i = 0; i < packedSize; ++i) {
      ps += kHex[packed[i] >> 4];
      ps += kHex[packed[i] & 15];
      if (i % 40 == 39) ps += '\n';
    }
    ps += ">\ngrestore\nshowpage\n";
  }
  ps += "%%Trailer\n%%EOF\n";
  return ps;
}

PrintJobResult PrintJob::Submit() const {
  PrintJobResult result;
  if (pages_.empty()) return result;
  const double widthPt = PageWidth() * 72.0 / std::max(page_.dpiX, 1);
  const double heightPt = PageHeight() * 72.0 / std::max(page_.dpiY, 1);
  const std::string document = PostScriptDocument(pages_, widthPt, heightPt, settings_.title);
  std::string path = TempFolder() + "/velloran-print-XXXXXX.ps";
  const int fd = mkstemps(path.data(), 3);
  if (fd < 0) {
    result.error = errno;
    return result;
  }
  std::size_t done = 0;
  while (done < document.size()) {
    const ssize_t n = write(fd, document.data() + done, document.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      result.error = n < 0 ? errno : EIO;
      break;
    }
    done += static_cast<std::size_t>(n);
  }
  if (close(fd) != 0 && result.error == 0) result.error = errno;
  if (result.error != 0) {
    result.keptFile = path;
    return result;
  }
  std::vector<std::string> args{"lp"};
  if (!settings_.destination.empty()) args.insert(args.end(), {"-d", settings_.destination});
  args.insert(args.end(), {"-n", std::to_string(std::max(settings_.copies, 1))});
  if (!settings_.title.empty()) args.insert(args.end(), {"-t", settings_.title});
  if (!settings_.media.empty()) args.insert(args.end(), {"-o", "media=" + settings_.media});
  for (const std::string& o : settings_.options) args.insert(args.end(), {"-o", o});
  args.push_back(path);
  PrintCommandRun run;
  int error = StartPrintCommand(args, -1, run);
  if (error == 0) {
    const PrintCommandOutcome outcome = FinishPrintCommand(run);
    error = outcome.error;
    result.exitStatus = outcome.exitStatus;
    result.timedOut = outcome.timedOut;
    result.cancelled = outcome.cancelled;
    result.answer = outcome.answer;
  }
  result.error = error;
  if (error != 0)
    result.keptFile = path;
  else
    unlink(path.c_str());
  return result;
}

}  // namespace plat
