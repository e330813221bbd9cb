#pragma once
// Test helpers that change process-wide state for one scope: an environment
// variable and the current directory. Each test runs in its own process under
// ctest, and the old values come back when the object goes.
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

namespace testing_support {

class ScopedEnv {
 public:
  /// Sets NAME to VALUE, or unsets it when VALUE is empty.
  ScopedEnv(std::string name, std::optional<std::string> value) : name_(std::move(name)) {
    if (const char* old = std::getenv(name_.c_str())) old_ = old;
    if (value) {
      setenv(name_.c_str(), value->c_str(), 1);
    } else {
      unsetenv(name_.c_str());
    }
  }
  ~ScopedEnv() {
    if (old_) {
      setenv(name_.c_str(), old_->c_str(), 1);
    } else {
      unsetenv(name_.c_str());
    }
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  std::string name_;
  std::optional<std::string> old_;
};

class ScopedCurrentDir {
 public:
  explicit ScopedCurrentDir(const std::filesystem::path& dir)
      : old_(std::filesystem::current_path()) {
    std::filesystem::current_path(dir);
  }
  ~ScopedCurrentDir() {
    std::error_code ec;
    std::filesystem::current_path(old_, ec);
  }
  ScopedCurrentDir(const ScopedCurrentDir&) = delete;
  ScopedCurrentDir& operator=(const ScopedCurrentDir&) = delete;

 private:
  std::filesystem::path old_;
};

}  // namespace testing_support
