#pragma once
// A fake print system for printer tests: `lp`, `lpstat` and `lpoptions` in a
// folder put first on the PATH. `lp` records its arguments and keeps a copy
// of every document it receives; `lpstat` names the default destination;
// `lpoptions` answers what the test says. Any tool can be made to hang
// instead; the old PATH comes back with the object, which also ends whatever
// hanging tool is still running, and PRINTER and LPDEST are unset meanwhile.
// A job can be rendered back with ghostscript.
#include <signal.h>
#include <sys/types.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "platform/system/Printer.h"
#include "tests/RenderBack.h"
#include "tests/ScopedEnv.h"
#include "tests/TestSupport.h"

namespace testing_support {

/// True when ghostscript is on the PATH.
inline bool GhostscriptPresent() { return std::system("command -v gs > /dev/null 2>&1") == 0; }

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
  ~FakePrintSystem() {
    // A hanging tool the program did not cut off would outlive the test and
    // keep its runner waiting.
    for (const pid_t pid : HungRunning())
      if (kill(pid, SIGKILL) == 0) waitpid(pid, nullptr, 0);  // ECHILD when not ours
  }
  FakePrintSystem(const FakePrintSystem&) = delete;
  FakePrintSystem& operator=(const FakePrintSystem&) = delete;
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
  /// Makes TOOL never answer, like a print system whose server is gone.
  void Hang(const std::string& tool) {
    Script(tool, "echo $$ >> \"" + dir_.path().string() + "/hung\"\nexec sleep 600\n");
  }
  /// Every start of a tool made to hang, by process id, in order.
  std::vector<pid_t> HungStarts() const {
    std::vector<pid_t> pids;
    const auto hung = dir_ / "hung";
    if (!std::filesystem::exists(hung)) return pids;
    std::istringstream lines(ReadFile(hung));
    for (pid_t pid; lines >> pid;) pids.push_back(pid);
    return pids;
  }
  /// Those still hanging.
  std::vector<pid_t> HungRunning() const {
    std::vector<pid_t> running;
    for (const pid_t pid : HungStarts())
      if (pid > 0 && ReadFile("/proc/" + std::to_string(pid) + "/cmdline").rfind("sleep", 0) == 0)
        running.push_back(pid);
    return running;
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
  /// Renders the first page of job N with ghostscript at DPI into IMAGE
  /// (grey levels). False when gs fails or leaves no readable page.
  bool RenderJob(int n, int dpi, velloran::testing::GreyImage& image) const {
    const std::string pgm = (dir_ / ("page" + std::to_string(n) + ".pgm")).string();
    const std::string command = "gs -q -dSAFER -dBATCH -dNOPAUSE -dFirstPage=1 -dLastPage=1 "
                                "-sDEVICE=pgmraw -r" + std::to_string(dpi) + " -sOutputFile='" +
                                pgm + "' '" + JobPath(n).string() + "' > /dev/null 2>&1";
    return std::system(command.c_str()) == 0 && velloran::testing::ReadNetpbmFile(pgm, image);
  }

 private:
  TempDir dir_;
  ScopedEnv path_;
  ScopedEnv printer_;
  ScopedEnv lpdest_;
};

}  // namespace testing_support
