#pragma once
// Commands that arrive from the menus and toolbars of the refraction and
// wavelet windows or act on whichever window sent them: Close, the
// refraction results file (Save to File, Close File), the wavelet file,
// Print; and the Help menu's Contents and About.
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

#include "display/Refraction.h"
#include "record/ShotRecord.h"

namespace vel {

struct Velloran;

inline constexpr int kCommandClose = 40101;
inline constexpr int kCommandSaveRefraction = 40058;
inline constexpr int kCommandCloseRefractionFile = 40057;
inline constexpr int kCommandSaveWavelet = 40068;
inline constexpr int kCommandPrint = 40046;
inline constexpr int kCommandHelpContents = 40103;
inline constexpr int kCommandAbout = 40042;
inline constexpr int kAboutDialog = 114;

/// The refraction results file's header: 92 characters.
inline constexpr std::string_view kRefractionResultsHeader =
    "Record Name                         Velocity 1     Velocity 2     InterceptTime   Depth     ";

/// One line of the refraction results file (no line end): all 32 characters
/// of CRECNAME, then V1, V2, the intercept time and the depth in F15.7.
std::string RefractionResultLine(const ShotRecord& REC, const RefractionResult& result);

/// The lines of the wavelet file (CR LF each): for k = 1..N the time T0 + k
/// DT (advanced by addition) and sample k, both in 1PE13.5.
std::string WaveletFileText(std::span<const float> W, std::int32_t N, float T0, float DT);

/// Where the help file of the program at PROGRAM is looked for: the same
/// path with the file's extension, if any, replaced by ".html", or ".html"
/// appended; the folders stay as they are. The build copies the program's
/// help there (velloran.html beside velloran).
std::filesystem::path HelpFilePath(const std::filesystem::path& program);
/// The existing file that stands for PATH when its extension is compared
/// without regard to case (PATH itself first); empty when there is none.
std::filesystem::path FindIgnoringExtensionCase(const std::filesystem::path& path);

/// The command handlers.
void CloseCommand(Velloran& app);
void SaveRefractionCommand(Velloran& app);
void CloseRefractionFileCommand(Velloran& app);
void SaveWaveletCommand(Velloran& app);
void PrintCommand(Velloran& app);
void HelpContentsCommand(Velloran& app);
void AboutCommand(Velloran& app);

/// Closes the refraction results file when it is open.
void CloseRefractionResultsFile(Velloran& app);

}  // namespace vel
