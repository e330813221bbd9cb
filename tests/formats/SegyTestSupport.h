#pragma once
// Helpers of the SEG-Y and SEG-2 tests: segyio (Debian python3-segyio) as the
// independent reader, scripted answers for the reader's questions, messages.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "formats/SegyIn.h"
#include "support/UserMessages.h"
#include "tests/TestSupport.h"

namespace segy_test {

inline bool SegyioAvailable() {
  static const bool ok =
      std::system("/usr/bin/python3 -c 'import segyio, numpy' >/dev/null 2>&1") == 0;
  return ok;
}

/// What segyio reads from a file: counts, the sample interval in ms, the
/// binary format code, selected header words of every trace (by name), and
/// the samples of every trace one after another.
struct SegyioRead {
  bool ok = false;
  int traces = 0;
  int samples = 0;
  double dt = 0;
  int format = 0;
  std::map<std::string, std::vector<long>> fields;
  std::vector<float> data;
};

inline std::string Slurp(const std::filesystem::path& p) {
  return testing_support::ReadFile(p);
}

/// Runs segyio on PATH (LITTLE: little-endian file). The header words listed
/// are named after segyio's TraceField members.
inline SegyioRead ReadWithSegyio(const std::filesystem::path& path, bool little,
                                 const std::vector<std::string>& words = {}) {
  testing_support::TempDir dir;
  const auto script = dir / "read.py";
  std::string names;
  for (const auto& w : words) names += "'" + w + "',";
  testing_support::WriteFile(
      script,
      "import sys, segyio, numpy as np\n"
      "f = segyio.open(sys.argv[1], ignore_geometry=True, endian=sys.argv[2], strict=False)\n"
      "out = open(sys.argv[3], 'w')\n"
      "s = f.samples\n"
      "dt = float(s[1] - s[0]) if len(s) > 1 else 0.0\n"
      "out.write('%d %d %r %d\\n' % (f.tracecount, len(s), dt, "
      "int(f.bin[segyio.BinField.Format])))\n"
      "for n in [" +
          names +
          "]:\n"
          "    k = getattr(segyio.TraceField, n)\n"
          "    out.write(n + ' ' + ' '.join(str(int(f.header[i][k])) for i in range(f.tracecount)) "
          "+ '\\n')\n"
          "np.asarray(segyio.tools.collect(f.trace[:]), dtype='<f4').tofile(sys.argv[4])\n");
  const auto txt = dir / "out.txt";
  const auto bin = dir / "out.f32";
  const std::string cmd = "/usr/bin/python3 " + script.string() + " '" + path.string() + "' " +
                          (little ? "little" : "big") + " " + txt.string() + " " + bin.string() +
                          " >/dev/null 2>&1";
  SegyioRead r;
  if (std::system(cmd.c_str()) != 0) return r;
  std::istringstream in(Slurp(txt));
  in >> r.traces >> r.samples >> r.dt >> r.format;
  std::string name;
  while (in >> name) {
    auto& v = r.fields[name];
    for (int i = 0; i < r.traces; ++i) {
      long x = 0;
      in >> x;
      v.push_back(x);
    }
  }
  const std::string raw = Slurp(bin);
  r.data.resize(raw.size() / 4);
  std::memcpy(r.data.data(), raw.data(), r.data.size() * 4);
  r.ok = true;
  return r;
}

/// The samples of a float32 .npy file (through numpy).
inline std::vector<float> LoadNpy(const std::filesystem::path& path) {
  testing_support::TempDir dir;
  const auto bin = dir / "out.f32";
  const std::string cmd =
      "/usr/bin/python3 -c \"import numpy as np, sys; "
      "np.load(sys.argv[1]).astype('<f4').tofile(sys.argv[2])\" '" +
      path.string() + "' " + bin.string() + " >/dev/null 2>&1";
  std::vector<float> v;
  if (std::system(cmd.c_str()) != 0) return v;
  const std::string raw = Slurp(bin);
  v.resize(raw.size() / 4);
  std::memcpy(v.data(), raw.data(), v.size() * 4);
  return v;
}

/// Installs scripted answers to the reader's questions for the life of the
/// object: number prompts take ANSWERS in order (none left: Cancel); the
/// Shot Header Editor runs EDIT (empty: Cancel). Messages are kept quiet.
class ScriptedDialogs {
 public:
  explicit ScriptedDialogs(std::deque<int> answers = {},
                           std::function<bool(vel::ShotRecord&, int&, int&)> edit = {})
      : answers_(std::move(answers)) {
    sup::SetUserMessageHook([](sup::UserMessageKind, std::string_view, std::string_view) {});
    sup::ClearUserMessages();
    vel::SetSegyInDialogs(
        {[this](std::string_view prompt, int& value) {
           prompts.emplace_back(prompt);
           defaults.push_back(value);
           if (answers_.empty()) return false;
           value = answers_.front();
           answers_.pop_front();
           return true;
         },
         edit ? std::move(edit) : [](vel::ShotRecord&, int&, int&) { return false; }});
  }
  ~ScriptedDialogs() {
    vel::SetSegyInDialogs({});  // the program's dialogs again
    sup::SetUserMessageHook({});
  }
  std::vector<std::string> prompts;
  std::vector<int> defaults;

 private:
  std::deque<int> answers_;
};

}  // namespace segy_test
