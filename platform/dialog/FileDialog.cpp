// The file and folder choosers: see FileDialog.h.
#include "platform/dialog/FileDialog.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <memory>
#include <optional>

#include "platform/FixedText.h"
#include "platform/backend/Backend.h"
#include "platform/controls/Controls_p.h"
#include "platform/dialog/MessageBox.h"
#include "platform/system/Directory.h"
#include "platform/window/VirtualKeys.h"

namespace plat {
namespace {

namespace fs = std::filesystem;

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

bool SameNoCase(std::string_view a, std::string_view b) {
  return Lower(a) == Lower(b);
}

// What counts as blank around a typed name.
constexpr std::string_view kTypedBlanks = " \t";

std::string CurrentFolder() {
  std::error_code ec;
  fs::path cwd = fs::current_path(ec);
  return ec || cwd.empty() ? fs::path("/").string() : cwd.string();
}

/// TEXT made absolute against BASE and tidied ("a/../b" is "b"); no final "/".
std::string Resolve(const std::string& base, const std::string& text) {
  fs::path p = text.empty() || text[0] != '/' ? fs::path(base) / text : fs::path(text);
  std::string s = p.lexically_normal().string();
  while (s.size() > 1 && s.back() == '/') s.pop_back();
  return s.empty() ? "/" : s;
}

std::string FolderOf(const std::string& path) {
  const std::size_t sep = path.rfind('/');
  if (sep == std::string::npos || sep == 0) return "/";
  return path.substr(0, sep);
}

std::string NameOf(const std::string& path) {
  const std::size_t sep = path.rfind('/');
  return sep == std::string::npos ? path : path.substr(sep + 1);
}

bool IsFolder(const std::string& path) {
  std::error_code ec;
  return fs::is_directory(path, ec);
}

/// The names typed in the name field: one name, or with MULTI each quoted
/// name ("a" "b"); an unquoted entry is one name.
std::vector<std::string> SplitNames(std::string_view text, bool multi) {
  const std::string t(Trim(text, kTypedBlanks));
  if (!multi || t.empty() || t[0] != '"') {
    if (t.empty()) return {};
    std::string one = t;
    if (one.size() >= 2 && one.front() == '"' && one.back() == '"')
      one = one.substr(1, one.size() - 2);
    return {one};
  }
  std::vector<std::string> names;
  std::size_t i = 0;
  while (i < t.size()) {
    const std::size_t open = t.find('"', i);
    if (open == std::string::npos) break;
    const std::size_t close = t.find('"', open + 1);
    if (close == std::string::npos) {
      names.push_back(t.substr(open + 1));
      break;
    }
    if (close > open + 1) names.push_back(t.substr(open + 1, close - open - 1));
    i = close + 1;
  }
  return names;
}

bool Ask(Hwnd owner, const std::string& caption, std::string text, MessageBoxButtons buttons,
         MessageBoxIcon icon, int defaultButton = 0) {
  MessageBoxParams mb;
  mb.owner = owner;
  mb.caption = caption;
  mb.text = std::move(text);
  mb.buttons = buttons;
  mb.icon = icon;
  mb.defaultButton = defaultButton;
  const MessageBoxResult r = MessageBox(mb);
  return r == MessageBoxResult::Yes || r == MessageBoxResult::Ok;
}

// ---------------------------------------------------------------------------
// What the user's entry means: the checks behind OK, shared by the window and
// by scripted answers.

enum class Step { Accepted, Refused, Navigated };

struct FileChooser {
  explicit FileChooser(const FileDialogParams& p) : params(p) {}
  const FileDialogParams& params;
  Hwnd box = kNoWindow;  // the dialog window (owner of its questions)
  std::string folder;
  int filterIndex = 0;
  FileDialogResult result;

  std::string Caption() const {
    if (!params.title.empty()) return params.title;
    return params.save ? "Save As" : "Open";
  }
  const FileFilter* Filter() const {
    if (filterIndex < 0 || filterIndex >= static_cast<int>(params.filters.size())) return nullptr;
    return &params.filters[static_cast<std::size_t>(filterIndex)];
  }
  Hwnd Owner() const { return box != kNoWindow ? box : params.owner; }

  /// The full path for one typed name, with the filter's extension added
  /// where asked.
  std::string FullName(const std::string& typed) const {
    std::string path = Resolve(folder, typed);
    std::string name = NameOf(path);
    bool appended = false;
    if (params.appendExtension && name.find('.') == std::string::npos && Filter() != nullptr) {
      const std::string ext = FilterDefaultExtension(*Filter());
      if (!ext.empty()) path += "." + ext;
      appended = !ext.empty();
    }
    // The filters' extensions are written in capitals but files on disk may
    // have them in small letters: a name the user did not spell out in full
    // (or any name to open) finds the existing file of that name in any case.
    if ((!params.save || appended) && !PathExists(path)) {
      std::vector<std::string> entries;
      const std::string lower = Lower(NameOf(path));
      if (ListDirectory(FolderOf(path), entries) == 0) {
        for (const std::string& e : entries)
          if (Lower(e) == lower) return Resolve(FolderOf(path), e);
      }
    }
    return path;
  }

  /// Checks one full path; false when it is refused.
  bool CheckFile(const std::string& path) {
    const std::string caption = Caption();
    const std::string parent = FolderOf(path);
    if (!params.pathNeedNotExist && !IsFolder(parent)) {
      Ask(Owner(), caption, path + "\nPath does not exist.\nCheck the path and try again.",
          MessageBoxButtons::Ok, MessageBoxIcon::Exclamation);
      return false;
    }
    const bool exists = IsExistingFile(path);
    if (params.save) {
      if (params.confirm && exists)
        return Ask(Owner(), caption, path + " already exists.\nDo you want to replace it?",
                   MessageBoxButtons::YesNo, MessageBoxIcon::Exclamation, 1);
      return true;
    }
    if (exists) return true;
    if (params.fileMustExist) {
      Ask(Owner(), caption, path + "\nFile not found.\nCheck the file name and try again.",
          MessageBoxButtons::Ok, MessageBoxIcon::Exclamation);
      return false;
    }
    if (params.confirm)
      return Ask(Owner(), caption, path + "\nThis file does not exist.\nDo you want to create it?",
                 MessageBoxButtons::YesNo, MessageBoxIcon::Question);
    return true;
  }

  Step Enter(std::string_view text) {
    const bool multi = params.multiSelect && !params.save;
    const std::vector<std::string> typed = SplitNames(text, multi);
    if (typed.empty()) return Step::Refused;
    if (typed.size() == 1) {
      const std::string target = Resolve(folder, typed[0]);
      if (IsFolder(target)) {
        folder = target;
        return Step::Navigated;
      }
    }
    std::vector<std::string> paths;
    for (const std::string& t : typed) {
      const std::string path = FullName(t);
      if (IsFolder(path)) return Step::Refused;
      if (!paths.empty() && FolderOf(path) != FolderOf(paths.front())) {
        Ask(Owner(), Caption(), "All the files chosen must lie in one folder.",
            MessageBoxButtons::Ok, MessageBoxIcon::Exclamation);
        return Step::Refused;
      }
      paths.push_back(path);
    }
    for (const std::string& p : paths)
      if (!CheckFile(p)) return Step::Refused;
    result.outcome = DialogOutcome::Confirmed;
    result.folder = FolderOf(paths.front());
    result.names.clear();
    for (const std::string& p : paths) result.names.push_back(NameOf(p));
    result.filterIndex = filterIndex;
    return Step::Accepted;
  }
};

struct FolderChooser {
  explicit FolderChooser(const FolderDialogParams& p) : params(p) {}
  const FolderDialogParams& params;
  Hwnd box = kNoWindow;
  std::string folder;  // the folder shown
  FolderDialogResult result;

  Hwnd Owner() const { return box != kNoWindow ? box : params.owner; }

  Step Enter(std::string_view text) {
    const std::string t(Trim(text, kTypedBlanks));
    if (t.empty()) return Step::Refused;
    const std::string path = Resolve(folder, t);
    const MessageBoxButtons ok = MessageBoxButtons::Ok;
    const MessageBoxIcon warn = MessageBoxIcon::Exclamation;
    if (!PathExists(path)) {
      if (params.offerCreate) {
        if (!Ask(Owner(), std::string(kCreateFolderCaption), std::string(kCreateFolderQuestion),
                 MessageBoxButtons::YesNo, MessageBoxIcon::Question))
          return Step::Refused;
        std::error_code ec;
        if (!fs::create_directories(path, ec) || ec) {
          Ask(Owner(), "Error", std::string(kCreateFolderFailed), ok, warn);
          return Step::Refused;
        }
      } else if (!params.acceptMissing) {
        Ask(Owner(), std::string(kInvalidFolderCaption), std::string(kMissingFolder), ok, warn);
        return Step::Refused;
      }
    } else if (!IsFolder(path)) {
      Ask(Owner(), std::string(kInvalidFolderCaption), std::string(kNotAFolder), ok, warn);
      return Step::Refused;
    }
    result.outcome = DialogOutcome::Confirmed;
    result.folder = path;
    return Step::Accepted;
  }
};

/// Feeds scripted answers to CHOOSER until one is accepted or cancels; false
/// when nothing is scripted at all (the window then decides). Running out of
/// answers cancels.
template <class Chooser>
bool RunScripted(Chooser& chooser, std::string_view kind, Backend* backend, bool& failed) {
  failed = false;
  bool any = false;
  while (auto answer = backend->ScriptedAnswer(kind)) {
    any = true;
    if (SameNoCase(Trim(*answer, kTypedBlanks), "Cancel")) return true;
    if (SameNoCase(Trim(*answer, kTypedBlanks), "Fail")) {
      failed = true;
      return true;
    }
    if (chooser.Enter(*answer) == Step::Accepted) return true;
  }
  return any;
}

// ---------------------------------------------------------------------------
// The window

enum : int {
  kIdOk = 1,
  kIdCancel = 2,
  kIdFolder = 100,
  kIdList = 101,
  kIdName = 102,
  kIdFilter = 103,
};

constexpr int kWidth = 440;
constexpr int kHeight = 330;

struct DialogState : WindowExtra {
  FileChooser* file = nullptr;  // one of these two
  FolderChooser* chooser = nullptr;
  Hwnd folderEdit = kNoWindow, list = kNoWindow, nameEdit = kNoWindow, filter = kNoWindow;
  /// Enter or Escape whose key went to the dropped "Files of type" list: its
  /// character is the list's too, not the dialog's.
  std::uint32_t listKey = 0;
  std::vector<std::string> folders;  // list entries, folders first
  std::vector<std::string> files;
};

DialogState* State(Hwnd h) {
  return dynamic_cast<DialogState*>(GetWindowExtra(h));
}

std::string& Folder(DialogState& s) {
  return s.file != nullptr ? s.file->folder : s.chooser->folder;
}

void Fill(DialogState& s) {
  s.folders.clear();
  s.files.clear();
  const std::string& folder = Folder(s);
  std::vector<std::string> names;
  if (ListDirectory(folder, names) == 0) {
    const FileFilter* f = s.file != nullptr ? s.file->Filter() : nullptr;
    for (const std::string& n : names) {
      if (!n.empty() && n[0] == '.') continue;
      const std::string full = Resolve(folder, n);
      if (IsFolder(full)) {
        s.folders.push_back(n);
      } else if (s.file != nullptr && (f == nullptr || MatchesFileFilter(*f, n))) {
        s.files.push_back(n);
      }
    }
  }
  SetWindowText(s.folderEdit, folder);
  ListBoxResetContent(s.list);
  if (folder != "/") ListBoxAddString(s.list, "../");
  for (const std::string& d : s.folders) ListBoxAddString(s.list, d + "/");
  for (const std::string& f : s.files) ListBoxAddString(s.list, f);
  if (s.chooser != nullptr) SetWindowText(s.nameEdit, folder);
}

/// The list entry INDEX as a name within the folder ("../" for the parent).
std::string Entry(DialogState& s, int index) {
  return ListBoxGetText(s.list, index).value_or("");
}

void SelectionToName(DialogState& s) {
  std::vector<int> sel;
  if (s.file != nullptr && s.file->params.multiSelect && !s.file->params.save) {
    sel = ListBoxGetSelItems(s.list);
  } else if (const int i = ListBoxGetCurSel(s.list); i >= 0) {
    sel.push_back(i);
  }
  std::vector<std::string> chosen;
  for (int i : sel) {
    const std::string e = Entry(s, i);
    if (!e.empty() && e.back() == '/') {
      if (s.chooser != nullptr) chosen.push_back(Resolve(Folder(s), e));
      continue;
    }
    chosen.push_back(e);
  }
  if (chosen.empty()) return;
  if (chosen.size() == 1) {
    SetWindowText(s.nameEdit, chosen[0]);
    return;
  }
  std::string text;
  for (const std::string& c : chosen) text += (text.empty() ? "\"" : " \"") + c + "\"";
  SetWindowText(s.nameEdit, text);
}

void Ok(Hwnd h, DialogState& s) {
  if (GetFocus() == s.folderEdit) {
    const std::string target = Resolve(Folder(s), std::string(Trim(GetWindowText(s.folderEdit), kTypedBlanks)));
    if (IsFolder(target)) Folder(s) = target;
    Fill(s);
    return;
  }
  const std::string text = GetWindowText(s.nameEdit);
  const Step step = s.file != nullptr ? s.file->Enter(text) : s.chooser->Enter(text);
  if (step == Step::Accepted) {
    EndModalLoop(h, kIdOk);
  } else if (step == Step::Navigated) {
    SetWindowText(s.nameEdit, "");
    Fill(s);
  }
}

LResult DialogProc(Hwnd h, Msg m, WParam w, LParam l) {
  DialogState* s = State(h);
  switch (m) {
    case Msg::Command: {
      if (s == nullptr) return 0;
      const int id = LowWord(w);
      const int code = HighWord(w);
      if (id == kIdOk && code == kBnClicked) {
        Ok(h, *s);
      } else if (id == kIdCancel && code == kBnClicked) {
        EndModalLoop(h, kIdCancel);
      } else if (id == kIdList && code == kLbnSelChange) {
        SelectionToName(*s);
      } else if (id == kIdList && code == kLbnDblClk) {
        const std::string e = Entry(*s, ListBoxGetCurSel(s->list));
        if (!e.empty() && e.back() == '/') {
          Folder(*s) = Resolve(Folder(*s), e);
          if (s->file != nullptr) SetWindowText(s->nameEdit, "");
          Fill(*s);
        } else if (!e.empty()) {
          SetFocus(s->nameEdit);
          Ok(h, *s);
        }
      } else if (id == kIdFilter && code == kCbnSelChange && s->file != nullptr) {
        s->file->filterIndex = ComboBoxGetCurSel(s->filter);
        Fill(*s);
      }
      return 0;
    }
    case Msg::Close:
      EndModalLoop(h, kIdCancel);
      return 0;
    default:
      return DefWindowProc(h, m, w, l);
  }
}

/// Enter and Escape anywhere in the dialog (the list and edits would keep them).
/// They act on their character, which comes after the key went down, so
/// nothing of the keystroke but its release is left to reach the window that
/// gets the focus when the dialog closes (a progress box's Cancel would take it).
bool DialogKey(Hwnd box, const Message& m) {
  DialogState* s = State(box);
  if (s == nullptr || (m.hwnd != box && !IsChild(box, m.hwnd))) return false;
  if (m.msg == Msg::KeyDown) {
    const int vk = static_cast<int>(m.wParam);
    if (vk != kVkReturn && vk != kVkEscape) return false;
    // While the type list is dropped, Enter takes its entry and Escape
    // closes it: the list keeps the keystroke, the dialog stays.
    if (s->filter != kNoWindow && ComboBoxGetDroppedState(s->filter)) {
      s->listKey = vk == kVkReturn ? '\r' : 0x1B;
      return false;
    }
    s->listKey = 0;
    return true;
  }
  if (m.msg != Msg::Char) return false;
  if (s->listKey != 0 && m.wParam == s->listKey) {
    s->listKey = 0;
    return true;
  }
  if (m.wParam == '\r') {
    if (m.hwnd == s->list) {
      const std::string e = Entry(*s, ListBoxGetCurSel(s->list));
      if (!e.empty() && e.back() == '/') {
        Folder(*s) = Resolve(Folder(*s), e);
        Fill(*s);
        return true;
      }
    }
    Ok(box, *s);
    return true;
  }
  if (m.wParam == 0x1B) {
    EndModalLoop(box, kIdCancel);
    return true;
  }
  return false;
}

Hwnd Control(Hwnd parent, std::string_view cls, std::string_view text, unsigned style, Rect r,
             int id) {
  CreateParams p;
  p.className = cls;
  p.title = text;
  p.style = kStyleChild | kStyleVisible | style;
  p.rect = r;
  p.parent = parent;
  p.id = id;
  return CreateWindow(p);
}

/// Builds and runs the window; false when it could not be made.
bool RunWindow(Hwnd owner, const std::string& title, FileChooser* file, FolderChooser* chooser,
               const std::string& name) {
  if (!IsClassRegistered(kFileDialogClass) &&
      !RegisterWindowClass({std::string(kFileDialogClass), DialogProc, 0, kColourFace}))
    return false;
  if (!IsClassRegistered(kButtonClass) && !RegisterControls()) return false;
  const Size screen = ScreenSize();
  CreateParams cp;
  cp.className = kFileDialogClass;
  cp.title = title;
  cp.style = kStylePopup;
  cp.owner = owner == kNoWindow ? kNoWindow : GetTopLevel(owner);
  // Centred on the owner window (on the screen without one), kept on the
  // screen.
  const Rect over = cp.owner != kNoWindow && IsWindowVisible(cp.owner)
                        ? GetWindowRect(cp.owner)
                        : Rect{0, 0, screen.width, screen.height};
  const int x = std::clamp((over.left + over.right - kWidth) / 2, 0,
                           std::max(0, screen.width - kWidth));
  const int y = std::clamp((over.top + over.bottom - kHeight) / 2, 0,
                           std::max(0, screen.height - kHeight));
  cp.rect = {x, y, x + kWidth, y + kHeight};
  const Hwnd box = CreateWindow(cp);
  if (box == kNoWindow) return false;
  auto state = std::make_unique<DialogState>();
  DialogState& s = *state;
  s.file = file;
  s.chooser = chooser;
  SetWindowExtra(box, std::move(state));
  if (file != nullptr) file->box = box;
  if (chooser != nullptr) chooser->box = box;

  const bool multi = file != nullptr && file->params.multiSelect && !file->params.save;
  Control(box, kStaticClass, "Folder:", kSsLeftNoWordWrap, {10, 12, 80, 28}, -1);
  s.folderEdit = Control(box, kEditClass, "", kWsTabStop | kWsBorder | kEsAutoHScroll,
                         {85, 10, 430, 32}, kIdFolder);
  s.list = Control(box, kListBoxClass, "",
                   kWsTabStop | kWsBorder | kWsVScroll | kLbsNotify | kLbsHasStrings |
                       (multi ? kLbsExtendedSel : 0u),
                   {10, 40, 430, 220}, kIdList);
  Control(box, kStaticClass, chooser != nullptr ? "Folder name:" : "File name:", kSsLeftNoWordWrap,
          {10, 234, 100, 250}, -1);
  s.nameEdit = Control(box, kEditClass, name, kWsTabStop | kWsBorder | kEsAutoHScroll,
                       {105, 230, 340, 252}, kIdName);
  if (file != nullptr) {
    Control(box, kStaticClass, "Files of type:", kSsLeftNoWordWrap, {10, 266, 100, 282}, -1);
    s.filter = Control(box, kComboBoxClass, "", kWsTabStop | kCbsDropDownList | kWsVScroll,
                       {105, 262, 340, 380}, kIdFilter);
    for (const FileFilter& f : file->params.filters) ComboBoxAddString(s.filter, f.description);
    ComboBoxSetCurSel(s.filter, file->filterIndex);
  }
  Control(box, kButtonClass, "OK", kWsTabStop | kBsDefPushButton, {350, 230, 430, 253}, kIdOk);
  Control(box, kButtonClass, "Cancel", kWsTabStop, {350, 262, 430, 285}, kIdCancel);
  Fill(s);
  SetWindowText(s.nameEdit, name);

  const Hwnd top = cp.owner;
  const bool ownerWasEnabled = top != kNoWindow && IsWindowEnabled(top);
  if (ownerWasEnabled) EnableWindow(top, false);
  ShowWindow(box, ShowCmd::Show);
  SetFocus(s.nameEdit);
  const int result = RunModalLoop(box, [box](Message& m) { return DialogKey(box, m); });
  if (ownerWasEnabled) EnableWindow(top, true);
  DestroyWindow(box);
  if (top != kNoWindow && IsWindow(top)) SetActiveWindow(top);
  if (file != nullptr) file->box = kNoWindow;
  if (chooser != nullptr) chooser->box = kNoWindow;
  return result == kIdOk || result == kIdCancel;
}

}  // namespace

std::vector<FileFilter> ParseFileFilters(std::string_view text) {
  const std::string t(Trim(text, kTypedBlanks));
  std::vector<FileFilter> filters;
  if (t.empty()) return filters;
  const char sep = t.back();
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (std::size_t i = 0; i < t.size(); ++i) {
    if (t[i] == sep) {
      parts.push_back(t.substr(start, i - start));
      start = i + 1;
    }
  }
  for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
    FileFilter f;
    f.description = parts[i];
    std::string_view list = parts[i + 1];
    while (!list.empty()) {
      const std::size_t semi = list.find(';');
      const std::string p(Trim(list.substr(0, semi), kTypedBlanks));
      if (!p.empty()) f.patterns.push_back(p);
      if (semi == std::string_view::npos) break;
      list.remove_prefix(semi + 1);
    }
    filters.push_back(std::move(f));
  }
  return filters;
}

bool MatchesFileFilter(const FileFilter& filter, std::string_view name) {
  if (filter.patterns.empty()) return true;
  const std::string lower = Lower(name);
  for (const std::string& p : filter.patterns) {
    // "*.*" means every file, with or without an extension.
    if (p == "*.*" || p == "*") return true;
    if (WildcardMatch(Lower(p), lower)) return true;
  }
  return false;
}

std::string FilterDefaultExtension(const FileFilter& filter) {
  for (const std::string& p : filter.patterns) {
    if (p.size() > 2 && p.compare(0, 2, "*.") == 0 && p.find_first_of("*?", 2) == std::string::npos)
      return p.substr(2);
  }
  return {};
}

FileDialogResult FileDialog(const FileDialogParams& given) {
  // An open dialog can always show every file of the folder: names whose
  // spelling the caller's patterns did not foresee (".seg2" beside "*.SG2")
  // stay within reach.
  FileDialogParams params = given;
  const bool allFiles = std::any_of(params.filters.begin(), params.filters.end(), [](const FileFilter& f) {
    return std::any_of(f.patterns.begin(), f.patterns.end(),
                       [](const std::string& p) { return p == "*.*" || p == "*"; });
  });
  if (!params.save && !params.filters.empty() && !allFiles)
    params.filters.push_back({std::string(kAllFilesFilter), {"*.*"}});
  FileChooser chooser(params);
  const std::string cwd = CurrentFolder();
  chooser.folder = Resolve(cwd, std::string(Trim(params.folder, kTypedBlanks).empty()
                                                 ? "."
                                                 : Trim(params.folder, kTypedBlanks)));
  if (!IsFolder(chooser.folder)) chooser.folder = cwd;
  chooser.filterIndex =
      params.filterIndex >= 0 && params.filterIndex < static_cast<int>(params.filters.size())
          ? params.filterIndex
          : 0;
  chooser.result.filterIndex = chooser.filterIndex;
  Backend* backend = GetBackend();
  if (backend == nullptr) return chooser.result;
  bool failed = false;
  if (RunScripted(chooser, kFileDialogAnswer, backend, failed)) {
    if (failed) chooser.result.outcome = DialogOutcome::Failed;
    return chooser.result;
  }
  if (!backend->CanWait()) return chooser.result;
  if (!RunWindow(params.owner, chooser.Caption(), &chooser, nullptr, params.name))
    chooser.result.outcome = DialogOutcome::Failed;
  return chooser.result;
}

FolderDialogResult FolderDialog(const FolderDialogParams& params) {
  FolderChooser chooser(params);
  const std::string cwd = CurrentFolder();
  chooser.folder = Resolve(cwd, std::string(Trim(params.start, kTypedBlanks).empty()
                                                 ? "."
                                                 : Trim(params.start, kTypedBlanks)));
  Backend* backend = GetBackend();
  if (backend == nullptr) return chooser.result;
  bool failed = false;
  if (RunScripted(chooser, kFolderDialogAnswer, backend, failed)) {
    if (failed) chooser.result.outcome = DialogOutcome::Failed;
    return chooser.result;
  }
  if (!backend->CanWait()) return chooser.result;
  // The browser shows an existing folder; the field keeps the start as given.
  const std::string start = chooser.folder;
  while (!IsFolder(chooser.folder) && chooser.folder != "/")
    chooser.folder = FolderOf(chooser.folder);
  const std::string title = params.title.empty() ? "Select Directory" : params.title;
  if (!RunWindow(params.owner, title, nullptr, &chooser, start))
    chooser.result.outcome = DialogOutcome::Failed;
  return chooser.result;
}

}  // namespace plat
