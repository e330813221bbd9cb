#pragma once
// Starting and ending hardcopy output, and handing a spooled output file to
// a print command.
#include <optional>
#include <string>
#include <string_view>

namespace tk {

/// Ends any current output. Then, unless TARGET is exactly "S" or "s",
/// starts output: a non-blank TARGET names the file or device, or (with " @ ")
/// a print command that receives the spool file at "S"; a blank or absent
/// TARGET takes the driver's default name. TITLE, when given, becomes
/// HardcopyTitle.
void WHardcopySwitch(std::optional<std::string_view> target = std::nullopt,
                     std::optional<std::string_view> title = std::nullopt);

/// Runs COMMAND through /bin/sh -c and waits for it, repainting meanwhile.
/// Error 13 under "YYPRNCMD" when it cannot be started or the wait fails.
void YYPRNCMD(std::string_view command);

/// The pending print command (blank when nothing is spooled) and the spool
/// file's name (blank until the first spooled start).
std::string& PrintCommand();
std::string& SpoolFileName();

}  // namespace tk
