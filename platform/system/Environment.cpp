#include "platform/system/Environment.h"

#include <limits.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iterator>

namespace plat {

bool GetEnvironment(const std::string& name, std::string& value) {
  const char* found = name.empty() ? nullptr : std::getenv(name.c_str());
  if (found == nullptr) {
    value.clear();
    return false;
  }
  value = found;
  return true;
}

std::string ExecutablePath() {
  char buffer[PATH_MAX + 1];
  const ssize_t n = readlink("/proc/self/exe", buffer, PATH_MAX);
  if (n <= 0) return {};
  return std::string(buffer, static_cast<std::size_t>(n));
}

std::string ProcessCommandLine() {
  std::ifstream in("/proc/self/cmdline", std::ios::binary);
  const std::string raw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::string line;
  std::size_t start = 0;
  while (start < raw.size()) {
    std::size_t end = raw.find('\0', start);
    if (end == std::string::npos) end = raw.size();
    const std::string arg = raw.substr(start, end - start);
    if (!line.empty()) line += ' ';
    if (arg.empty() || arg.find(' ') != std::string::npos) {
      line += '"' + arg + '"';
    } else {
      line += arg;
    }
    start = end + 1;
  }
  return line;
}

std::string UserConfigFolder() {
  std::string base;
  if (GetEnvironment("XDG_CONFIG_HOME", base) && !base.empty() && base[0] == '/') {
    // an absolute XDG_CONFIG_HOME wins (a relative one is invalid and ignored)
  } else if (GetEnvironment("HOME", base) && !base.empty()) {
    base += "/.config";
  } else {
    return {};
  }
  while (base.size() > 1 && base.back() == '/') base.pop_back();
  return base + "/velloran";
}

std::uint64_t SystemUptimeMs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<std::uint64_t>(ts.tv_sec) * 1000u +
         static_cast<std::uint64_t>(ts.tv_nsec) / 1000000u;
}

}  // namespace plat
