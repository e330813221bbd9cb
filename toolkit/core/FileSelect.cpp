// File and folder selection: see FileSelect.h.
#include "toolkit/core/FileSelect.h"

#include <algorithm>

#include "platform/dialog/FileDialog.h"
#include "platform/system/Directory.h"
#include "platform/window/Window.h"
#include "toolkit/core/DialogFrame.h"
#include "toolkit/core/Errors.h"
#include "toolkit/core/ModalState.h"
#include "toolkit/core/TextArgs_p.h"

namespace tk {
namespace {

constexpr int kErrCommonDialog = 1004;
constexpr std::size_t kMaxFilter = 1000;



}  // namespace

void SelectFileCore(int filterKind, std::string_view filter, int length, int flags,
                    std::string& name, std::string_view title, int& filterIndex, int snapshot) {
  constexpr std::string_view routine = "WSelectFile";
  DialogFrame frame(snapshot != 0, routine);

  plat::FileDialogParams p;
  p.owner = frame.Owner();
  const std::string givenTitle = detail::ArgText(title);
  p.title = givenTitle.empty() ? "Select File" : givenTitle;
  p.save = (flags & kSelectSave) != 0;
  p.confirm = (flags & kSelectConfirm) != 0;
  p.pathNeedNotExist = (flags & kSelectPathNeedNotExist) != 0;
  p.multiSelect = !p.save && (flags & kSelectMultiple) != 0;
  p.appendExtension = (flags & kSelectDefaultExtension) != 0;
  p.fileMustExist = !p.save && (flags & kSelectMustExist) != 0;
  if (filterKind == -1) {
    const std::size_t used =
        std::min({filter.size(), kMaxFilter, static_cast<std::size_t>(std::max(length, 0))});
    p.filters = plat::ParseFileFilters(filter.substr(0, used));
  }
  p.filterIndex = filterIndex >= 1 ? filterIndex - 1 : 0;

  // The proposal: its folder is where the dialog starts, its name is offered.
  const std::string proposal = detail::ArgText(name);
  const std::size_t sep = proposal.find_last_of("/\\");
  if (sep != std::string::npos) {
    p.folder = sep == 0 ? "/" : proposal.substr(0, sep);
    p.name = proposal.substr(sep + 1);
  } else {
    p.name = proposal;
  }

  const plat::FileDialogResult r = plat::FileDialog(p);
  if (r.outcome != plat::DialogOutcome::Confirmed) {
    DialogStatus().answer = 0;
    if (r.outcome == plat::DialogOutcome::Failed) ReportLibraryError(kErrCommonDialog, routine);
    return;
  }

  std::string answer;
  if (p.multiSelect && r.names.size() > 1) {
    answer = r.folder;
    for (const std::string& n : r.names) answer += '\0' + n;
    answer += std::string(2, '\0');
  } else {
    answer = JoinFolderAndName(r.folder, r.names.front());
  }
  const std::string before = name;
  if (!detail::PutField(name, answer)) {
    // The caller's variable cannot hold the choice: nothing is chosen.
    name = before;
    DialogStatus().answer = 0;
    ReportLibraryError(kErrCommonDialog, routine);
    return;
  }
  DialogStatus().answer = 1;
  filterIndex = r.filterIndex + 1;
  if ((flags & kSelectKeepFolder) != 0 && plat::ChangeDirectory(r.folder) == 0) frame.Keep();
}

void WSelectFile(std::string_view filter, int flags, std::string& name, std::string_view title,
                 int* filterIndex) {
  int index = filterIndex != nullptr ? *filterIndex : 1;
  SelectFileCore(-1, filter, static_cast<int>(filter.size()), flags, name, title, index, 1);
  if (filterIndex != nullptr) *filterIndex = index;
}

void WSelectDir(int flags, std::string& folder, std::string_view title) {
  DialogFrame frame(true, "WSelectDir");
  plat::FolderDialogParams p;
  p.owner = frame.Owner();
  const std::string givenTitle = detail::ArgText(title);
  p.title = givenTitle.empty() ? "Select Directory" : givenTitle;
  p.start = detail::ArgText(folder);
  p.acceptMissing = (flags & kDirAcceptMissing) != 0;
  p.offerCreate = (flags & kDirOfferCreate) != 0;

  const plat::FolderDialogResult r = plat::FolderDialog(p);
  if (r.outcome != plat::DialogOutcome::Confirmed) {
    DialogStatus().answer = 0;
    if (r.outcome == plat::DialogOutcome::Failed)
      ReportLibraryError(kErrCommonDialog, "WSelectDir");
    return;
  }
  const std::string before = folder;
  if (!detail::PutField(folder, r.folder)) {
    folder = before;
    DialogStatus().answer = 0;
    ReportLibraryError(kErrCommonDialog, "WSelectDir");
    return;
  }
  DialogStatus().answer = 1;
  // A folder taken without creating it cannot become current; the old one stays.
  if ((flags & kDirMakeCurrent) != 0 && plat::ChangeDirectory(r.folder) == 0) frame.Keep();
}

FileSelection SplitFileSelection(std::string_view answer) {
  FileSelection out;
  if (const std::size_t nul = answer.find('\0'); nul != std::string_view::npos) {
    // Folder, names, each ended by a NUL; a second NUL in a row ends the list.
    out.folder = std::string(answer.substr(0, nul));
    std::size_t at = nul + 1;
    while (at < answer.size() && answer[at] != '\0') {
      std::size_t end = answer.find('\0', at);
      if (end == std::string_view::npos) end = answer.size();
      out.names.emplace_back(answer.substr(at, end - at));
      at = end + 1;
    }
    return out;
  }
  const std::size_t used = answer.find_last_not_of(' ');
  if (used == std::string_view::npos) return out;
  const std::string_view path = answer.substr(0, used + 1);
  const std::size_t sep = path.find_last_of("/\\");
  if (sep == std::string_view::npos) {
    out.names.emplace_back(path);
    return out;
  }
  out.folder = std::string(path.substr(0, sep == 0 ? 1 : sep));
  if (sep + 1 < path.size()) out.names.emplace_back(path.substr(sep + 1));
  return out;
}

std::string JoinFolderAndName(std::string_view folder, std::string_view name) {
  if (folder.empty()) return std::string(name);
  std::string path(folder);
  if (path.back() != '/' && path.back() != '\\') path += '/';
  return path + std::string(name);
}

}  // namespace tk
