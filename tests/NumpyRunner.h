#pragma once
// numpy (Debian python3-numpy) as an independent reference: a test hands it
// float32 arrays and a few lines of Python, and gets a float32 array back.
// Tests that use it skip when numpy is absent.
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "tests/TestSupport.h"

namespace testing_support {

inline bool NumpyAvailable() {
  static const bool ok = std::system("/usr/bin/python3 -c 'import numpy' >/dev/null 2>&1") == 0;
  return ok;
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
