#include "toolkit/core/Help.h"

#include <algorithm>

#include "platform/system/Directory.h"
#include "platform/system/Environment.h"
#include "toolkit/core/Conversion.h"
#include "toolkit/core/Errors.h"
#include "toolkit/core/OsServices.h"
#include "toolkit/core/Startup.h"
#include "toolkit/core/TextArgs_p.h"

namespace tk {
namespace {

constexpr int kErrViewer = 1030;        // "General help viewer error"
constexpr int kErrNotHelp = 1031;       // "Not a valid help file extension"
constexpr int kErrTextTooSmall = 1023;  // "Variable too small to receive text"
constexpr std::size_t kPathLength = 260;

enum class HelpKind { Close, HelpFile, WebAddress, WebPage, Document, None };

DocumentOpener& Opener() {
  static DocumentOpener opener;
  return opener;
}

int OpenDocument(const std::string& commandLine) {
  if (Opener()) return Opener()(commandLine);
  int status = 0;
  OsRunProgram(commandLine, 0, 0, 0, status);
  return status;
}

bool EndsWith(const std::string& text, std::string_view end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

HelpKind KindOf(const std::string& lower) {
  if (lower.empty()) return HelpKind::Close;
  if (EndsWith(lower, ".hlp") || EndsWith(lower, ".chm") || EndsWith(lower, ".col"))
    return HelpKind::HelpFile;
  if (lower.rfind("http://", 0) == 0) return HelpKind::WebAddress;
  if (EndsWith(lower, ".htm") || EndsWith(lower, ".html")) return HelpKind::WebPage;
  if (EndsWith(lower, ".pdf")) return HelpKind::Document;
  return HelpKind::None;
}

// The full path of NAME, or of NAME beside the program's file; empty when
// neither exists.
std::string FindHelpFile(const std::string& name) {
  std::string full(kPathLength * 4, ' ');
  IOsFullPathname(name, full);
  std::string path = detail::ArgText(full);
  if (!path.empty() && plat::IsExistingFile(path)) return path;
  if (name.front() == '/') return {};
  const std::string program = plat::ExecutablePath();
  const std::size_t slash = program.find_last_of('/');
  if (slash == std::string::npos) return {};
  path = program.substr(0, slash + 1) + name;
  return plat::IsExistingFile(path) ? path : std::string();
}

std::string Quoted(const std::string& text) {
  return "\"" + text + "\"";
}

}  // namespace

void SetDocumentOpener(DocumentOpener opener) {
  Opener() = std::move(opener);
}

void HelpFileCore(std::string_view name, int topic, std::string_view topicText, int /*mode*/) {
  std::string given = detail::ArgText(name);
  std::string lower = given;
  LowerCaseInPlace(lower);
  const HelpKind kind = KindOf(lower);
  // The help viewers are separate programs here; closing them is theirs.
  if (kind == HelpKind::Close) return;
  if (kind == HelpKind::None) {
    ReportLibraryError(kErrNotHelp, "WHelpFile");
    return;
  }
  const std::string anchor = topic > 0 ? "#" + detail::ArgText(topicText) : std::string();
  std::string target;
  if (kind == HelpKind::WebAddress) {
    // The desktop's opener finds the browser for an address itself.
    target = given + anchor;
  } else {
    if (kind == HelpKind::WebPage && lower.rfind("file://", 0) == 0) given.erase(0, 7);
    const std::string path = given.empty() ? std::string() : FindHelpFile(given);
    if (path.empty()) {
      ReportLibraryError(kErrOpen, "WHelpFile");
      return;
    }
    // A help file or document opens in the program the desktop gives its type;
    // a web page opens in the browser, where a topic is a page anchor.
    target = kind == HelpKind::WebPage ? "file://" + path + anchor : path;
  }
  if (OpenDocument("xdg-open " + Quoted(target)) <= 31) ReportLibraryError(kErrViewer, "WHelpFile");
}

void WHelpFile(std::string_view name, int topic, int mode) {
  std::string topicText;
  yyint2st(topic, topicText);
  HelpFileCore(name, topic, topicText, mode);
}

void WInfoFilename(int item, std::string& name) {
  const ToolkitStartState& state = ToolkitStart();
  std::string value;
  switch (item) {
    case 1:
      value = state.screenDumpFile;
      break;
    case 2:
      value = state.hardcopyOutputFile;
      break;
    case 3:
      value = state.strokeFontFile;
      break;
    case 5:
      value = state.strokeFontDirectory;
      break;
    case 7:
      value = state.homeDirectory;
      break;
    case 8:
      value = state.systemDirectory;
      break;
    case 10:
      value = TemporaryFolder();
      break;
    case 11: {
      const std::string folder = TemporaryFolder();
      std::uint64_t number = static_cast<std::uint64_t>(IOsSystemQuery(15));
      for (;; ++number) {
        std::string digits =
            FormatIntegerField(static_cast<std::int64_t>(number % 10000000000u), "(I10.10)");
        value = folder + "xx" + digits + ".tmp";
        if (!plat::PathExists(value)) break;
      }
      break;
    }
    default:
      break;
  }
  if (!detail::PutField(name, value)) ReportLibraryError(kErrTextTooSmall, "WInfoFilename");
}

}  // namespace tk
