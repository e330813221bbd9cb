#pragma once
// Runs a numpy script from the tests' folders as an independent reference:
// the test writes its input as little-endian binary into a temporary
// folder, the script reads it and writes its answer there, and the test
// reads the answer back. Tests skip when python3 or numpy is absent.
// RunNumpy is the short form for a few lines of Python over float32 arrays.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/TestSupport.h"

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

/// Runs BODY with numpy as np and the list INPUTS of float32 arrays (one
/// dimension each); BODY sets OUT, which comes back as float32 values.
/// Empty when Python fails.
inline std::vector<float> RunNumpy(const std::string& body,
                                   const std::vector<std::vector<float>>& inputs) {
  TempDir dir;
  std::string args;
  for (std::size_t i = 0; i < inputs.size(); ++i) {
    const auto path = dir / ("in" + std::to_string(i) + ".f32");
    std::string bytes(inputs[i].size() * sizeof(float), '\0');
    if (!inputs[i].empty()) std::memcpy(bytes.data(), inputs[i].data(), bytes.size());
    WriteFile(path, bytes);
    args += " '" + path.string() + "'";
  }
  const auto script = dir / "run.py";
  const auto out = dir / "out.f32";
  WriteFile(script,
            "import sys\nimport numpy as np\n"
            "INPUTS = [np.fromfile(p, dtype='<f4') for p in sys.argv[2:]]\n" +
                body + "\nnp.asarray(OUT, dtype='<f4').ravel().tofile(sys.argv[1])\n");
  const std::string cmd =
      "/usr/bin/python3 '" + script.string() + "' '" + out.string() + "'" + args + " >/dev/null";
  std::vector<float> result;
  if (std::system(cmd.c_str()) != 0) return result;
  const std::string raw = ReadFile(out);
  result.resize(raw.size() / sizeof(float));
  if (!result.empty()) std::memcpy(result.data(), raw.data(), result.size() * sizeof(float));
  return result;
}

}  // namespace testing_support

#define SKIP_WITHOUT_NUMPY()                                                             \
  do {                                                                                   \
    if (!testing_support::NumpyAvailable()) GTEST_SKIP() << "python3 with numpy absent"; \
  } while (0)
