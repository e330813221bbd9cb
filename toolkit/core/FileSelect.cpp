// File and folder selection: see FileSelect.h.
#include "toolkit/core/FileSelect.h"

#include <algorithm>

#include "platform/dialog/FileDialog.h"
#include "platform/system/Directory.h"
#include "platform/window/Window.h"
#include "toolkit/core/Errors.h"
#include "toolkit/core/ModalState.h"
#include "toolkit/core/TextArgs_p.h"

namespace tk {
namespace {

constexpr int kErrCommonDialog = 1004;
constexpr std::size_t kMaxFilter = 1000;

/// What every chooser does around the platform dialog: snapshots of the
/// toolkit windows, the other windows disabled, the focus given back, and
/// the current directory of before restored unless KEEP says otherwise.
class DialogFrame {
 public:
  DialogFrame(bool snapshot, std::string_view routine) : snapshot_(snapshot) {
    if (snapshot_) {
      int status = 0;
      WindowSnapshot(1, -1, status);
      if (status != 0) ReportLibraryError(status, routine);
    }
    if (plat::CurrentDirectory(cwd_) != 0) cwd_.clear();
    owner_ = CurrentOwnerWindow();
    focus_ = plat::GetFocus();
    DisableOwnerWindows(owner_, true);
  }
  ~DialogFrame() {
    EnableOwnerWindows(owner_, true);
    if (focus_ != plat::kNoWindow && plat::IsWindow(focus_) &&
        (focus_ == owner_ || plat::IsChild(owner_, focus_)))
      plat::SetFocus(focus_);
    if (!keep_ && !cwd_.empty()) (void)plat::ChangeDirectory(cwd_);
    if (snapshot_) {
      int status = 0;
      WindowSnapshot(0, -1, status);
    }
    DialogStatus().focusBefore = 0;
  }
  DialogFrame(const DialogFrame&) = delete;
  DialogFrame& operator=(const DialogFrame&) = delete;

  plat::Hwnd Owner() const { return owner_; }
  /// The current directory stays as the dialog left it.
  void Keep() { keep_ = true; }

 private:
  bool snapshot_;
  bool keep_ = false;
  std::string cwd_;
  plat::Hwnd owner_ = plat::kNoWindow;
  plat::Hwnd focus_ = plat::kNoWindow;
};

std::string JoinPath(const std::string& folder, const std::string& name) {
  return folder == "/" ? "/" + name : folder + "/" + name;
}

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
    answer = JoinPath(r.folder, r.names.front());
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

}  // namespace tk
