#pragma once
// Runs a numpy script from the tests' folders as an independent reference:
// the test writes its input as little-endian binary into a temporary
// folder, the script reads it and writes its answer there, and the test
// reads the answer back. Tests skip when python3 or numpy is absent.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace testing_support {

/// True when /usr/bin/python3 can import numpy (asked once).
inline bool NumpyAvailable() {
  static const bool available =
      std::system("/usr/bin/python3 -c 'import numpy' >/dev/null 2>&1") == 0;
  return available;
}

/// A script below the tests' folder of the source tree, e.g.
/// "display/pickers_reference.py".
inline std::filesystem::path TestScript(const std::string& relative) {
  return std::filesystem::path(VELLORAN_SOURCE_DIR) / "tests" / relative;
}

/// Runs python3 SCRIPT with ARGS (each quoted); true when it exits with 0.
inline bool RunPythonScript(const std::filesystem::path& script,
                            const std::vector<std::string>& args) {
  std::string cmd = "/usr/bin/python3 '" + script.string() + "'";
  for (const std::string& a : args) cmd += " '" + a + "'";
  return std::system(cmd.c_str()) == 0;
}

/// Appends the bytes of VALUES (host order, which is little-endian here).
template <typename T>
void AppendBinary(std::string& out, const std::vector<T>& values) {
  const std::size_t at = out.size();
  out.resize(at + values.size() * sizeof(T));
  if (!values.empty()) std::memcpy(out.data() + at, values.data(), values.size() * sizeof(T));
}

/// Reads COUNT values of T from BYTES at OFFSET (advanced); fewer when the
/// bytes end first.
template <typename T>
std::vector<T> TakeBinary(const std::string& bytes, std::size_t& offset, std::size_t count) {
  const std::size_t have = offset < bytes.size() ? (bytes.size() - offset) / sizeof(T) : 0;
  std::vector<T> v(std::min(count, have));
  if (!v.empty()) std::memcpy(v.data(), bytes.data() + offset, v.size() * sizeof(T));
  offset += v.size() * sizeof(T);
  return v;
}

}  // namespace testing_support

#define SKIP_WITHOUT_NUMPY()                                                             \
  do {                                                                                   \
    if (!testing_support::NumpyAvailable()) GTEST_SKIP() << "python3 with numpy absent"; \
  } while (0)
