#pragma once
// Helpers shared by every test executable.
#include <filesystem>
#include <functional>
#include <string>

namespace testing_support {

/// The folder of public sample files (../shared/data beside the repository),
/// or an empty path when it is absent; tests that need it skip then.
std::filesystem::path SharedData();

/// A fresh empty folder for one test, removed when the object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

/// Has RESET run before every test of this executable and again after it
/// (after the fixture is gone): the executables of the layers that keep
/// process-wide state register the resets of the layers they link, from a
/// file of their own test folder. Call at static initialisation; returns
/// true, so that a file can write `const bool kResets = ...`.
bool ResetAroundEveryTest(std::function<void()> reset);

/// Runs what ResetAroundEveryTest registered (the test main's listener).
void ResetBetweenTests();

/// Writes BYTES to PATH, replacing it.
void WriteFile(const std::filesystem::path& path, const std::string& bytes);
/// Reads the whole file (empty when it cannot be read).
std::string ReadFile(const std::filesystem::path& path);

}  // namespace testing_support

#define SKIP_WITHOUT_SHARED_DATA()                                                    \
  do {                                                                                \
    if (testing_support::SharedData().empty()) GTEST_SKIP() << "shared data absent"; \
  } while (0)
