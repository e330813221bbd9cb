#pragma once
// Choosing files and folders: the toolkit's file and folder dialogs on the
// platform's own choosers, with the selection flags below, blank-padded texts
// in and out, the current-directory rule, and the answer left in
// WDialogStatusQuery item 4 (1 the user confirmed, 0 not).
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tk {

/// File selection flags (a bit sum).
enum FileSelectFlags : std::int32_t {
  kSelectSave = 1,               // a save dialog (else open)
  kSelectConfirm = 2,            // open: ask before taking a missing file; save: before replacing
  kSelectPathNeedNotExist = 4,   // the folder of the name need not exist
  kSelectKeepFolder = 8,         // confirmed: the chosen file's folder stays the current directory
  kSelectMultiple = 16,          // several files (open dialog only)
  kSelectDefaultExtension = 32,  // the filter's extension goes on a name typed without one
  kSelectMustExist = 128,        // open: the file must exist (before kSelectConfirm)
};

/// Folder selection flags.
enum DirSelectFlags : std::int32_t {
  kDirAcceptMissing = 4,  // a folder that does not exist is taken without creating it
  kDirMakeCurrent = 8,    // the chosen folder becomes the current directory
  kDirOfferCreate = 64,   // offer to create a folder that does not exist
};

/// Chooses a file. FILTER: description and pattern pairs, each ended by the
/// separator that ends the trimmed text ("SEG-Y Seismic Files|*.SGY|");
/// patterns match without regard to case. NAME in: a proposal, possibly with
/// a folder (the dialog starts there, else in the current directory); out,
/// when confirmed: the chosen path, blank-padded to NAME's size (unchanged
/// when it does not fit: error 1004). With kSelectMultiple the answer is the
/// folder, then each chosen name, separated by NUL characters and ended by
/// two (one choice: its full path). TITLE blank: "Select File". FILTER_INDEX
/// (1-based) in: the entry shown first; out: the entry chosen. Unless
/// kSelectKeepFolder is set and the user confirmed, the current directory of
/// before the call is restored. A failing dialog is reported as 1004.
void WSelectFile(std::string_view filter, int flags, std::string& name, std::string_view title = {},
                 int* filterIndex = nullptr);

/// The work behind WSelectFile. FILTER_KIND -1: FILTER (its first LENGTH
/// characters, at most 1000) is the filter; any other value: no filter
/// (this program keeps no filters as string resources). SNAPSHOT 0 takes
/// no window snapshots.
void SelectFileCore(int filterKind, std::string_view filter, int length, int flags,
                    std::string& name, std::string_view title, int& filterIndex, int snapshot);

/// Chooses a folder. FOLDER in: where to start (blank: the current
/// directory); out, when confirmed: the chosen folder, blank-padded. TITLE
/// blank: "Select Directory".
void WSelectDir(int flags, std::string& folder, std::string_view title = {});

/// The files of a WSelectFile answer: their folder (empty when a single
/// choice has none) and each name within it, exactly as chosen (blanks and
/// any other characters kept).
struct FileSelection {
  std::string folder;
  std::vector<std::string> names;
};

/// Takes ANSWER apart: a multiple selection (the folder, then each name,
/// separated by NUL characters) gives its folder and names; a single choice
/// (one full path, trailing blanks dropped) is split at its last "/" or "\".
/// A blank answer gives no names.
FileSelection SplitFileSelection(std::string_view answer);

/// NAME in FOLDER, joined with "/" (NAME alone when FOLDER is empty).
std::string JoinFolderAndName(std::string_view folder, std::string_view name);

}  // namespace tk
