#pragma once
// Our own file and folder choosers: modal windows with the folder, a list of
// its folders and of the files the chosen filter lets through, a filter
// selection, a name field and OK / Cancel.
//
// The name field takes one name, a path relative to the folder shown, or an
// absolute path; with multiple selection several names, each in double
// quotes ("a.sgy" "b.sgy"). OK checks the entry as the flags say (asking
// with message boxes where needed) and closes the dialog only when it is
// accepted; a folder name opens that folder instead.
//
// Where nobody can answer (no window system, or the headless backend with
// nothing scripted), the dialog is cancelled. A test scripts what the user
// types into the name field and confirms with the backend's scripted answer
// of kind "filedialog" (or "folderdialog"); "Cancel" (any case) cancels and
// "Fail" makes the dialog fail as a broken system dialog would. An entry the
// dialog does not accept takes the next scripted answer; when none is left,
// the dialog is cancelled.
#include <string>
#include <string_view>
#include <vector>

#include "platform/window/Window.h"

namespace plat {

inline constexpr std::string_view kFileDialogAnswer = "filedialog";
inline constexpr std::string_view kFolderDialogAnswer = "folderdialog";
inline constexpr std::string_view kFileDialogClass = "#FileDialog";
/// The entry an open dialog adds to its caller's filters, last, unless one
/// of them already lets every file through.
inline constexpr std::string_view kAllFilesFilter = "All files (*.*)";

/// One entry of a filter: its description and its patterns ("*.SGY").
struct FileFilter {
  std::string description;
  std::vector<std::string> patterns;
};

/// Reads filter text made of description and pattern list pairs, each ended
/// by the separator, which is the last character of the (trimmed) text:
/// "SEG-Y Files|*.SGY|Text|*.TXT;*.ASC|". Patterns within a list are
/// separated by ";". A description without a pattern list is dropped.
std::vector<FileFilter> ParseFileFilters(std::string_view text);

/// True when NAME matches one of the filter's patterns, letters compared
/// without regard to case. A filter without patterns matches everything.
bool MatchesFileFilter(const FileFilter& filter, std::string_view name);

/// The extension a filter gives a name typed without one: that of its first
/// pattern of the form "*.EXT" without wild cards in EXT (empty when none).
std::string FilterDefaultExtension(const FileFilter& filter);

enum class DialogOutcome { Confirmed, Cancelled, Failed };

struct FileDialogParams {
  Hwnd owner = kNoWindow;  // disabled while the dialog is up
  std::string title;
  bool save = false;              // a save dialog (else open)
  bool confirm = false;           // open: ask before taking a missing file; save: before replacing
  bool pathNeedNotExist = false;  // else the folder of a name must exist
  bool fileMustExist = false;     // open: refuse a missing file (before `confirm`)
  bool multiSelect = false;       // open only
  bool appendExtension = false;   // the filter's extension goes on a name typed without one
  std::vector<FileFilter> filters;
  int filterIndex = 0;  // 0-based entry shown first
  std::string folder;   // where the dialog starts (blank: the current directory)
  std::string name;     // proposed in the name field
};

struct FileDialogResult {
  DialogOutcome outcome = DialogOutcome::Cancelled;
  std::string folder;              // absolute, without a final "/" (but "/")
  std::vector<std::string> names;  // the chosen file names within FOLDER
  int filterIndex = 0;             // the entry chosen
};

/// Shows the file dialog modally, centred on its owner, and returns what the
/// user chose. An open dialog offers kAllFilesFilter after the caller's
/// filters (the result's filterIndex then counts it too).
FileDialogResult FileDialog(const FileDialogParams& params);

struct FolderDialogParams {
  Hwnd owner = kNoWindow;
  std::string title;
  std::string start;           // blank: the current directory
  bool acceptMissing = false;  // a folder that does not exist is taken as it is
  bool offerCreate = false;    // offer to create a folder that does not exist
};

struct FolderDialogResult {
  DialogOutcome outcome = DialogOutcome::Cancelled;
  std::string folder;  // absolute
};

/// Shows the folder chooser modally.
FolderDialogResult FolderDialog(const FolderDialogParams& params);

/// The texts of the folder chooser's questions and refusals.
inline constexpr std::string_view kCreateFolderQuestion =
    "The specified directory does not exist.\nDo you wish to create it?";
inline constexpr std::string_view kCreateFolderCaption = "Create Directory?";
inline constexpr std::string_view kCreateFolderFailed =
    "An error occurred creating\nthe specified directory.";
inline constexpr std::string_view kMissingFolder =
    "The specified directory does not exist.\nSpecify a valid directory.";
inline constexpr std::string_view kNotAFolder =
    "The specified path is not a valid directory name.\nSpecify a valid directory.";
inline constexpr std::string_view kInvalidFolderCaption = "Invalid Directory";

}  // namespace plat
