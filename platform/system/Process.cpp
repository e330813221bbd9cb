#include "platform/system/Process.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
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
  const int error = posix_spawnp(&pid, argv[0], nullptr, &attr, argv.data(), environ);
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

}  // namespace plat
