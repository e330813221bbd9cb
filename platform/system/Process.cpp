#include "platform/system/Process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <unistd.h>
#include <sys/wait.h>
#include <time.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <sstream>
#include <thread>

extern char** environ;

namespace plat {

std::vector<std::string> SplitCommandWords(const std::string& commandLine) {
  std::vector<std::string> words;
  std::size_t i = 0;
  const std::size_t n = commandLine.size();
  while (i < n) {
    while (i < n && (commandLine[i] == ' ' || commandLine[i] == '\t')) ++i;
    if (i >= n) break;
    std::string word;
    while (i < n && commandLine[i] != ' ' && commandLine[i] != '\t') {
      if (commandLine[i] == '"') {
        const std::size_t close = commandLine.find('"', i + 1);
        const std::size_t end = close == std::string::npos ? n : close;
        word.append(commandLine, i + 1, end - i - 1);
        i = close == std::string::npos ? n : close + 1;
      } else {
        word += commandLine[i++];
      }
    }
    words.push_back(std::move(word));
  }
  return words;
}

int SpawnProgram(const std::vector<std::string>& args, pid_t& pid) {
  return SpawnProgram(args, nullptr, pid);
}

int SpawnProgram(const std::vector<std::string>& args, const posix_spawn_file_actions_t* actions,
                 pid_t& pid) {
  pid = -1;
  if (args.empty() || args[0].empty()) return ENOENT;
  std::vector<char*> argv;
  argv.reserve(args.size() + 1);
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  // The child gets default signal handling and mask, whatever ours are.
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  sigset_t none, all;
  sigemptyset(&none);
  sigfillset(&all);
  posix_spawnattr_setsigmask(&attr, &none);
  posix_spawnattr_setsigdefault(&attr, &all);
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
  const int error = posix_spawnp(&pid, argv[0], actions, &attr, argv.data(), environ);
  posix_spawnattr_destroy(&attr);
  if (error != 0) pid = -1;
  return error;
}

WaitResult WaitForProgram(pid_t pid, int timeoutMs, int& error, int& exitStatus, void (*idle)()) {
  error = 0;
  exitStatus = 0;
  const auto start = std::chrono::steady_clock::now();
  int sleepMs = 1;
  for (;;) {
    int status = 0;
    const pid_t got = waitpid(pid, &status, WNOHANG);
    if (got == pid) {
      exitStatus = status;
      return WaitResult::Ended;
    }
    if (got < 0) {
      if (errno == EINTR) continue;
      error = errno;
      return WaitResult::Failed;
    }
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
                             std::chrono::steady_clock::now() - start)
                             .count();
    if (timeoutMs >= 0 && elapsed >= timeoutMs) return WaitResult::TimedOut;
    if (idle != nullptr) idle();
    // Short sleeps first, so quick programs return quickly; then 100 ms steps.
    int step = sleepMs;
    if (timeoutMs >= 0) step = std::min<long long>(step, timeoutMs - elapsed);
    std::this_thread::sleep_for(std::chrono::milliseconds(std::max(step, 1)));
    sleepMs = std::min(sleepMs * 2, 100);
  }
}

void ReapInBackground(pid_t pid) {
  if (pid <= 0) return;
  std::thread([pid] {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
  }).detach();
}

namespace {

bool IsExecutableFile(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(path.c_str(), X_OK) == 0;
}

}  // namespace

std::string FindProgramOnPath(std::string_view name, const std::vector<std::string>& fallbacks) {
  if (name.empty() || name.find('/') != std::string_view::npos) return {};
  if (const char* path = std::getenv("PATH")) {
    std::stringstream folders(path);
    std::string folder;
    while (std::getline(folders, folder, ':')) {
      if (folder.empty()) folder = ".";
      const std::string candidate = folder + "/" + std::string(name);
      if (IsExecutableFile(candidate)) return candidate;
    }
  }
  for (const std::string& f : fallbacks)
    if (IsExecutableFile(f)) return f;
  return {};
}

int RunProgramWithInput(const std::vector<std::string>& args, std::string_view input,
                        int& exitStatus) {
  exitStatus = 0;
  if (args.empty() || args[0].empty()) return ENOENT;
  // The input goes through a file, not a pipe: a program that stops reading
  // early then costs nothing, and no broken-pipe signal reaches us.
  std::string folder = "/tmp";
  if (const char* t = std::getenv("TMPDIR"); t != nullptr && *t != '\0') folder = t;
  std::string name = folder + "/velloran-input-XXXXXX";
  const int fd = mkstemp(name.data());
  if (fd < 0) return errno;
  std::size_t done = 0;
  while (done < input.size()) {
    const ssize_t n = write(fd, input.data() + done, input.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      const int error = errno;
      close(fd);
      unlink(name.c_str());
      return error;
    }
    done += static_cast<std::size_t>(n);
  }
  close(fd);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, name.c_str(), O_RDONLY, 0);
  pid_t pid = -1;
  int error = SpawnProgram(args, &actions, pid);
  posix_spawn_file_actions_destroy(&actions);
  if (error == 0) {
    int waitError = 0;
    if (WaitForProgram(pid, -1, waitError, exitStatus) != WaitResult::Ended) error = waitError;
  }
  unlink(name.c_str());
  return error;
}

}  // namespace plat
