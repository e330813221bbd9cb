// Hardcopy start and end, and print spooling.
#include "toolkit/hardcopy/HardcopySwitch.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "platform/FixedText.h"
#include "platform/system/Process.h"
#include "toolkit/core/Errors.h"
#include "toolkit/core/OsServices.h"
#include "toolkit/graphics/Colours.h"
#include "toolkit/graphics/Drivers.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/hardcopy/HardcopyOptions.h"

namespace tk {
namespace {

using plat::Padded;
using plat::TrimRight;

// The name in single quotes, each quote written as '\''.
std::string ShellQuoted(std::string_view name) {
  std::string q = "'";
  for (char c : name) {
    if (c == '\'')
      q += "'\\''";
    else
      q += c;
  }
  return q + "'";
}

// Creates a fresh spool file, readable only by the user, with a unique name
// ending ".plt" in $TMPDIR (else /tmp). Result: its name, or empty.
std::string CreateSpoolFile() {
  const char* dir = std::getenv("TMPDIR");
  std::string pattern = (dir && *dir) ? dir : "/tmp";
  pattern += "/velloran-spool-XXXXXX.plt";
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  const mode_t old = umask(077);
  const int fd = mkstemps(buffer.data(), 4);
  umask(old);
  if (fd < 0) return {};
  close(fd);
  return std::string(buffer.data());
}

}  // namespace

std::string& PrintCommand() {
  static std::string command(kHardcopyNameLength, ' ');
  return command;
}

std::string& SpoolFileName() {
  static std::string name(kHardcopyNameLength, ' ');
  return name;
}

void YYPRNCMD(std::string_view command) {
  pid_t pid = -1;
  int error = plat::SpawnProgram({"/bin/sh", "-c", std::string(command)}, pid);
  if (error == 0) {
    int exitStatus = 0;
    if (plat::WaitForProgram(pid, -1, error, exitStatus, ProgramWaitIdleHook()) !=
        plat::WaitResult::Failed)
      error = 0;
    else if (error == 0)
      error = -1;
  }
  if (error != 0) {
    ErrorState().secondaryStatus = error;
    ReportLibraryError(kErrOperatingSystem, "YYPRNCMD");
  }
}

void WHardcopySwitch(std::optional<std::string_view> target,
                     std::optional<std::string_view> title) {
  DriverParameters& dp = DriverParams();
  GraphicsState& gs = Gs();
  HardcopyOutputEnd();

  if (target && target->size() == 1 && ((*target)[0] == 'S' || (*target)[0] == 's')) {
    if (!TrimRight(PrintCommand()).empty()) {
      const std::string& pending = PrintCommand();
      const std::size_t at = pending.find('@');
      const std::string spool(TrimRight(SpoolFileName()));
      std::string command = pending.substr(0, at);
      command += ShellQuoted(spool);
      if (at != std::string::npos) command += pending.substr(at + 1);
      YYPRNCMD(command);
      if (!spool.empty()) unlink(spool.c_str());
      SpoolFileName() = Padded("", kHardcopyNameLength);
    }
    PrintCommand() = Padded("", kHardcopyNameLength);
    return;
  }

  dp.P1 = -999;
  HardcopyDriverSwitch(DriverOperation::Select);
  if (dp.P1 == -999) return;

  DriverText() = Padded(HardcopyFileName(), kDriverTextLength);
  dp.P1 = 1;
  if (target && !TrimRight(*target).empty()) {
    DriverText() = Padded(*target, kDriverTextLength);
    dp.P1 = 0;
  }
  if (dp.spoolCapable != 0 && DriverText().find(" @ ") != std::string::npos) {
    // A pending spool is written again; otherwise the file is made fresh.
    if (TrimRight(PrintCommand()).empty() || TrimRight(SpoolFileName()).empty())
      SpoolFileName() = Padded(CreateSpoolFile(), kHardcopyNameLength);
    PrintCommand() = DriverText();
    DriverText() = Padded(SpoolFileName(), kDriverTextLength);
  }
  if (title) {
    HardcopyTitle() = Padded(*title, kHardcopyTitleLength);
    dp.KX[0] = 1;
  } else {
    dp.KX[0] = 0;
  }
  gs.hardcopyOn = 1;
  dp.P2 = 1;
  HardcopyDriverCall(DriverOperation::BeginPicture);
  if (gs.screenOn == 0) {
    gs.paletteSize = dp.deviceColours;
    if (HardcopyOption(2) != 0)
      gs.aspectRatio =
          static_cast<float>(HardcopyOption(1)) / static_cast<float>(HardcopyOption(2));
  }
  for (StateColour* c : {&gs.previous, &gs.current})
    if (c->number == -1) c->number = PaletteNearestColour(c->rgb);
  dp.penLastX = dp.penLastY = -9999.0f;
  for (DriverOperation op :
       {DriverOperation::LineWidth, DriverOperation::LineType, DriverOperation::LineJoin,
        DriverOperation::LineCap, DriverOperation::ClipRectangle, DriverOperation::CharacterSize,
        DriverOperation::Colour})
    HardcopyDriverCall(op);
}

}  // namespace tk
