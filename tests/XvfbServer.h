#pragma once
// A private Xvfb for tests that need a real X server: started on a display
// it picks itself (-displayfd, so parallel tests never collide) and ended
// with the object.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

extern char** environ;

namespace testing_support {

inline std::string FindProgram(std::string_view name) {
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

/// A child process with its output sent to /dev/null; KEEP_FD stays open in it.
class Child {
 public:
  Child() = default;
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;
  ~Child() { Stop(); }

  bool Start(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const int rc = posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) pid_ = -1;
    return pid_ > 0;
  }

  /// The exit status, or nothing when the child still runs after TIMEOUT_MS.
  std::optional<int> Wait(int timeoutMs) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (pid_ > 0) {
      int status = 0;
      const pid_t r = waitpid(pid_, &status, WNOHANG);
      if (r == pid_ || r < 0) {
        pid_ = -1;
        return r > 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      }
      if (std::chrono::steady_clock::now() >= end) return std::nullopt;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return -1;
  }

  void Stop() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    if (!Wait(3000)) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
      pid_ = -1;
    }
  }

 private:
  pid_t pid_ = -1;
};

/// A private Xvfb with one 800x600 screen, ended with the object.
class Xvfb {
 public:
  /// Starts the server and waits until it accepts connections; on failure
  /// WHY says what went wrong.
  bool Start(const std::string& program, int depth, std::string& why) {
    int fds[2];
    if (pipe(fds) != 0) {
      why = "pipe failed";
      return false;
    }
    fcntl(fds[0], F_SETFD, FD_CLOEXEC);  // the write end is inherited by Xvfb
    const bool started =
        server_.Start({program, "-displayfd", std::to_string(fds[1]), "-screen", "0",
                       "800x600x" + std::to_string(depth), "-nolisten", "tcp", "-terminate"});
    close(fds[1]);
    if (!started) {
      close(fds[0]);
      why = "cannot start " + program;
      return false;
    }
    // Xvfb writes its display number once it is ready.
    std::string number;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    while (std::chrono::steady_clock::now() < end) {
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

  const std::string& Display() const { return display_; }
  void Stop() { server_.Stop(); }

 private:
  Child server_;
  std::string display_;
};

}  // namespace testing_support
