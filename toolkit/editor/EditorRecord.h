#pragma once
// The record a text editor window keeps: its controls, menus, flags, and
// per document the file type, held file, bookmark and its length.
#include <array>
#include <cstdint>
#include <string>

#include "platform/dialog/FindDialog.h"
#include "platform/menu/Accelerators.h"
#include "platform/menu/Menu.h"
#include "platform/window/Window.h"

namespace tk {

/// The control's text limit: 100 MiB less 100 characters.
inline constexpr int kEditorTextLimit = 104857500;
inline constexpr int kEditorMaxDocuments = 20;
/// The generation of rich-text control the editor works with.
inline constexpr int kRichEditVersion = 3;

/// How the editor runs.
enum class EditorMode : int { Modal = 1, Modeless = 2, SemiModeless = 3 };

/// The bits of EditorOpen's flags.
enum EditorFlags : std::uint32_t {
  kEditorWrap = 1,
  kEditorViewer = 4,
  kEditorCommandLine = 8,
  kEditorHistory = 16,
  kEditorNoToolbar = 32,
  kEditorFormatting = 64,
  kEditorStarModified = 128,
  kEditorNoNewOpen = 256,
  kEditorNoSaveAs = 512,
  kEditorNoPrint = 1024,
  kEditorNoSave = 8192,
  kEditorMultiDocument = 16384,
  kEditorNoClose = 32768,
  kEditorRawPositions = 65536,
  kEditorKeepBackup = 131072,
  kEditorPromptWithoutName = 4194304,
  kEditorNoMenu = 8388608,
  kEditorQuietMissingFile = 16777216,
  kEditorPrintByApplication = 67108864,
};

/// The find dialog's options.
enum EditorFindFlags : std::uint32_t {
  kFindDown = 1,
  kFindWholeWord = 2,
  kFindMatchCase = 4,
};

/// A pair of positions at which a mapping stopped: in the control (a line
/// end one character) and outside it (a line end two). (-1, -1): empty.
struct EditorPositionCache {
  int control = -1;
  int external = -1;
  bool Empty() const { return control < 0; }
  void Clear() { control = external = -1; }
};

struct EditorRecord {
  int kind = 1;
  plat::Hwnd window = plat::kNoWindow;
  int windowNumber = 0;  // the toolkit's number of the window
  // The window's own toolbars (top, left, right, bottom) as they were when
  // it became an editor; a modal editor takes them away.
  std::array<plat::Hwnd, 4> windowToolbars{plat::kNoWindow, plat::kNoWindow, plat::kNoWindow,
                                           plat::kNoWindow};
  plat::Hwnd textControl = plat::kNoWindow;
  plat::Hwnd toolbar = plat::kNoWindow;
  plat::Hwnd statusBar = plat::kNoWindow;
  plat::Hwnd findDialog = plat::kNoWindow;  // the open find or replace dialog
  plat::Hwnd commandLine = plat::kNoWindow;  // an edit, or a combo box with the history
  plat::Hwnd commandEdit = plat::kNoWindow;  // its edit part
  plat::Hwnd promptFrame = plat::kNoWindow, promptText = plat::kNoWindow;
  plat::Hwnd focusChild = plat::kNoWindow;  // what gets the focus with the window
  int commandLineHeight = 0;
  int promptWidth = 0;
  plat::FindReplace findRecord;             // what the find dialogs show and report
  plat::HMenu menuBar = plat::kNoMenu, fileMenu = plat::kNoMenu, editMenu = plat::kNoMenu,
              searchMenu = plat::kNoMenu, formatMenu = plat::kNoMenu, viewMenu = plat::kNoMenu;
  plat::HAccel accelerators = plat::kNoAccel;
  plat::HAccel userAccelerators = plat::kNoAccel;  // the caller's, from its menu's number
  EditorMode mode = EditorMode::Modeless;
  int textLimit = kEditorTextLimit;
  int changedFlag = 0;
  int protectionOn = 1;
  std::array<int, kEditorMaxDocuments + 1> fileType{};  // [1..20]
  int currentDocument = 1;
  int documentCount = 1;
  std::string documentName;  // empty: untitled
  std::string windowTitle;   // the caption as it was when the window became an editor
  std::string findWhat, replaceWith;
  std::string userFilter;  // the caller's file-dialog filter, "|" between its parts
  bool wantToolbar = true;
  std::uint32_t findFlags = 1;  // the find dialog's options: EditorFindFlags
  int insertMode = 1;
  bool modalDone = false;
  // The decoded flags.
  bool allowClose = false;  // the Close item: several documents and not refused
  bool allowNew = true, readOnly = false, allowOpen = true, allowSave = true, allowSaveAs = true,
       allowPrint = true, formatting = false, multiDocument = false, promptWithoutName = false,
       quietMissingFile = false, printByApplication = false, colouring = false,
       displaySuspended = false, rawPositions = false, keepBackup = false, starModified = false;
  int fontIndex = 0, fontSize = 0;
  int lineHeight = 16, fontEmHeight = 13;  // of the editor's font, in pixels
  std::array<int, kEditorMaxDocuments + 1> openFile{};  // [1..20]: held descriptor + 1, 0 none
  EditorPositionCache positionCache;
  std::array<int, kEditorMaxDocuments + 1> bookmark{};        // [1..20], -1 none
  std::array<int, kEditorMaxDocuments + 1> bookmarkLength{};  // [1..20]

  EditorRecord() { bookmark.fill(-1); }
};

/// Sets the record's switches from EditorOpen's flags.
void EditorDecodeFlags(EditorRecord& rec, std::uint32_t flags);

}  // namespace tk
