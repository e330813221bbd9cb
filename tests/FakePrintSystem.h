#pragma once
// A fake print system for printer tests: `lp`, `lpstat` and `lpoptions` in a
// folder put first on the PATH. `lp` records its arguments and keeps a copy
// of every document it receives; `lpstat` names the default destination;
// `lpoptions` answers what the test says. The old PATH comes back with the
// object, and PRINTER and LPDEST are unset meanwhile.
#include <filesystem>
#include <string>

#include "platform/system/Printer.h"
#include "tests/ScopedEnv.h"
#include "tests/TestSupport.h"

namespace testing_support {

class FakePrintSystem {
 public:
  /// LP_STATUS is the exit status of `lp`.
  explicit FakePrintSystem(int lpStatus = 0, std::string destination = "office")
      : path_("PATH", (dir_ / "bin").string() + ":/usr/bin:/bin"),
        printer_("PRINTER", std::nullopt),
        lpdest_("LPDEST", std::nullopt) {
    std::filesystem::create_directories(dir_ / "bin");
    const std::string d = dir_.path().string();
    Script("lp", "n=$(ls \"" + d + "\" | grep -c '^job')\n"
                 "echo \"$@\" >> \"" + d + "/args\"\n"
                 "for last in \"$@\"; do :; done\n"
                 "cp \"$last\" \"" + d + "/job$n.ps\"\n"
                 "exit " + std::to_string(lpStatus) + "\n");
    Script("lpstat", "if [ \"$1\" = -d ]; then echo 'system default destination: " + destination +
                         "'; else echo " + destination + "; echo lab; fi\n");
    Options("");
    plat::PrinterQueriesResume();
  }
  /// What `lpoptions -p DEST` prints; `lpoptions -p DEST -l` prints LISTING.
  void Options(const std::string& options, const std::string& listing = "") {
    Script("lpoptions", "case \"$*\" in *-l*) printf '%s\\n' '" + listing +
                            "';; *) printf '%s\\n' '" + options + "';; esac\n");
  }
  /// Replaces TOOL by BODY (a shell script).
  void Script(const std::string& tool, const std::string& body) {
    WriteFile(dir_ / "bin" / tool, "#!/bin/sh\n" + body);
    std::filesystem::permissions(dir_ / "bin" / tool, std::filesystem::perms::owner_all);
  }
  /// The arguments of every `lp` run, one line each.
  std::string LpArguments() const {
    return std::filesystem::exists(dir_ / "args") ? ReadFile(dir_ / "args") : "";
  }
  /// The document of `lp` run N (0 first); empty when there was none.
  std::string Job(int n) const {
    const auto p = dir_ / ("job" + std::to_string(n) + ".ps");
    return std::filesystem::exists(p) ? ReadFile(p) : "";
  }
  std::filesystem::path JobPath(int n) const { return dir_ / ("job" + std::to_string(n) + ".ps"); }
  const std::filesystem::path& Dir() const { return dir_.path(); }

 private:
  TempDir dir_;
  ScopedEnv path_;
  ScopedEnv printer_;
  ScopedEnv lpdest_;
};

}  // namespace testing_support
