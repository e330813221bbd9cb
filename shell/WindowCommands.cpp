#include "shell/WindowCommands.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cctype>
#include <cstdio>

#include "display/TracePlot.h"
#include "display/WaveletPlot.h"
#include "platform/FixedText.h"
#include "platform/system/File.h"
#include "shell/ChildWindows.h"
#include "shell/DialogHelpers.h"
#include "shell/ExportCommands.h"
#include "shell/ResultFiles.h"
#include "shell/Velloran.h"
#include "support/PenPlot.h"
#include "support/UserMessages.h"
#include "toolkit/core/Conversion.h"
#include "toolkit/core/FileSelect.h"
#include "toolkit/core/Help.h"
#include "toolkit/core/OsServices.h"
#include "toolkit/core/WindowUnits.h"
#include "toolkit/core/Windows.h"
#include "toolkit/dialogs/Dialogs.h"
#include "toolkit/graphics/Graphics.h"
#include "toolkit/hardcopy/HardcopyDialogs.h"
#include "toolkit/hardcopy/HardcopySwitch.h"

namespace vel {
namespace {

constexpr std::size_t kNameChars = 256;
// Save dialog, the chosen folder kept, the filter's extension on a bare name.
constexpr int kSaveFlags = tk::kSelectSave | tk::kSelectKeepFolder | tk::kSelectDefaultExtension;
constexpr std::string_view kRefractionFileTitle = "ASCII Refraction Parameters File";
constexpr std::string_view kWaveletFileTitle = "ASCII Single Trace Data File";

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s;
}

}  // namespace

std::string RefractionResultLine(const ShotRecord& REC, const RefractionResult& r) {
  std::string line(REC.CRECNAME.View());
  for (const float v : {r.v1, r.v2, r.intercept, r.depth}) line += tk::FormatRealField(v, "(F15.7)");
  return line;
}

std::string WaveletFileText(std::span<const float> W, std::int32_t N, float T0, float DT) {
  std::string text;
  const std::size_t n = std::min(W.size(), static_cast<std::size_t>(std::max(N, 0)));
  float t = T0;
  for (std::size_t k = 0; k < n; ++k) {
    t = t + DT;
    text += tk::FormatRealField(t, "(1PE13.5)") + tk::FormatRealField(W[k], "(1PE13.5)") + "\r\n";
  }
  return text;
}

std::filesystem::path HelpFilePath(const std::filesystem::path& program) {
  // The help is a web page installed beside the program under its name; the
  // desktop's browser shows it.
  std::filesystem::path help = program;
  if (program.has_extension())
    help.replace_extension(".html");
  else
    help += ".html";
  return help;
}

std::filesystem::path FindIgnoringExtensionCase(const std::filesystem::path& path) {
  std::error_code ec;
  if (std::filesystem::is_regular_file(path, ec)) return path;
  const std::filesystem::path folder =
      path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
  const std::string stem = path.stem().string();
  const std::string extension = Lower(path.extension().string());
  for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end;
       it.increment(ec)) {
    const std::filesystem::path& p = it->path();
    if (p.stem().string() == stem && Lower(p.extension().string()) == extension &&
        std::filesystem::is_regular_file(p, ec))
      return path.has_parent_path() ? p : p.filename();
  }
  return {};
}

void CloseCommand(Velloran& app) {
  const int w = app.eventWindow;
  if (w <= tk::kMainWindow) return;
  if (w == app.refractionWindow)
    CLOSEREFRACTWIND(app);
  else if (w == app.waveletWindow)
    CLOSEWAVEWIND(app);
}

void SaveRefractionCommand(Velloran& app) {
  AppendResultLine({app.refractionResultsFile, app.refractionResultsName}, app.record,
                   kRefractionFileTitle, kSaveFlags, kRefractionResultsHeader,
                   RefractionResultLine(app.record, app.refraction));
}

void CloseRefractionFileCommand(Velloran& app) { CloseRefractionResultsFile(app); }

void CloseRefractionResultsFile(Velloran& app) {
  CloseResultFile({app.refractionResultsFile, app.refractionResultsName});
}

void SaveWaveletCommand(Velloran& app) {
  std::string name = ProposedOutputName(app.record);
  name.resize(kNameChars, ' ');
  const std::string filter = std::string(kWaveletFileTitle) + "|*.TXT|";
  tk::WSelectFile(filter, kSaveFlags, name, kWaveletFileTitle);
  const std::string chosen(plat::TrimRight(name));
  if (tk::WDialogStatusQuery(4) != 1 || chosen.empty()) return;
  // The times step by the wavelet's own interval: the record's may have
  // changed since the wavelet was cut.
  const SelectedWavelet& w = app.picking.wavelet;
  const std::string text = WaveletFileText(w.samples, w.count, app.record.TDELAY, w.sampleInterval);
  // Written beside the file and put in its place whole: a failed write keeps
  // the old file and says why.
  // A plain file (or a new one) is written beside itself and put in its
  // place whole; anything else (a link, a device) is written where it is, and
  // a file the user may not write stays refused, as its opening always did.
  struct stat st {};
  const bool plain = ::lstat(chosen.c_str(), &st) != 0 || S_ISREG(st.st_mode);
  const bool readOnly = ::access(chosen.c_str(), F_OK) == 0 && ::access(chosen.c_str(), W_OK) != 0;
  int error = 0;
  bool opened = true;
  if (readOnly) {
    opened = false;
  } else if (plain) {
    const plat::ReplaceResult r = plat::ReplaceFileContents(chosen, text.data(), text.size());
    opened = r.opened;
    error = r.error;
  } else if (std::FILE* f = std::fopen(chosen.c_str(), "wb"); f == nullptr) {
    opened = false;
  } else {
    const bool written = std::fwrite(text.data(), 1, text.size(), f) == text.size() &&
                         std::fflush(f) == 0;
    if (!written) error = errno != 0 ? errno : EIO;
    if (std::fclose(f) != 0 && error == 0) error = errno;
  }
  if (!opened) {
    sup::WINMSG("Cannot open file " + chosen + "Be sure file is not Read-Only");
  } else if (error != 0) {
    sup::WINMSG("Error writing to file " + chosen + ": " + plat::SystemErrorText(error));
  }
}

void PrintCommand(Velloran& app) {
  tk::WHardcopyOptions();
  if (tk::WDialogStatusQuery(4) != 1) return;
  tk::WCursorShape(tk::kCursorHourglass);
  const int w = app.eventWindow;
  if (w == tk::kMainWindow) {
    if (app.loaded) {
      sup::PLOTXY(0.0f, 1.0f, sup::kPenStartPage, app.MainPlotAxes);
      DrawTracePlot(app.record, app.MainPlotAxes, app.options, app.tracePlot);
    }
  } else if (w > 0 && w == app.refractionWindow) {
    REFRACT(app, true);
    tk::WindowMakeCurrent(tk::kMainWindow);
  } else if (w > 0 && w == app.waveletWindow) {
    const SelectedWavelet& wv = app.picking.wavelet;
    if (wv.selected) {
      sup::PLOTXY(0.0f, 1.0f, sup::kPenStartPage, app.picking.waveletAxes);
      PLOTWAVE(wv.samples, wv.sampleInterval, wv.count, app.picking.waveletAxes);
    } else {
      sup::WINMSG("Please select wavelet first");
    }
  }
  tk::WHardcopySwitch("S");
  tk::IGrStateReset("P");
  tk::WCursorShape(tk::kCursorArrow);
}

void HelpContentsCommand(Velloran&) {
  std::string program(kNameChars, ' ');
  tk::IOsCommandArg(0, program);
  const std::filesystem::path help = HelpFilePath(std::string(plat::TrimRight(program)));
  const std::filesystem::path found = FindIgnoringExtensionCase(help);
  if (found.empty()) {
    sup::WINMSG("HELP FILE NOT FOUND:\r\n" + help.string());
    return;
  }
  tk::WHelpFile(found.string());
}

void AboutCommand(Velloran&) {
  tk::WDialogLoad(kAboutDialog);
  ShowModalCentred();
}

}  // namespace vel
