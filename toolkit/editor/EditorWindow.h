#pragma once
// The text editor window: turning a toolkit child window into an editor,
// its layout, close request and destruction, and finding the editor record
// of a window.
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/window/Window.h"
#include "toolkit/editor/EditorRecord.h"

namespace tk {

/// What EditorOpen reports besides 0 (success). 2-5 and 7 leave a working
/// editor.
enum EditorOpenStatus : int {
  kEditorOpenMainWindow = 1,
  kEditorOpenMenuForModal = 2,
  kEditorOpenMenuNotFound = 3,
  kEditorOpenMenuInsideParent = 4,
  kEditorOpenModeForced = 5,
  kEditorOpenNoMemory = 6,
  kEditorOpenCommandLineModal = 7,
  kEditorOpenOtherSpecial = 8,
  kEditorOpenInsideChildren = 11,
  kEditorOpenNoDocument = 12,
};

/// Turns the current toolkit window into an editor, or opens a further
/// document in it when it is one. MODE is set to Modeless when forced.
/// FILE_TYPE -1 stands for 1; an empty FILE_NAME is an untitled document.
void EditorOpen(int& status, EditorMode& mode, int menuId, std::uint32_t flags, int fontIndex,
                int fontSize, int fileType, std::string_view fileName, std::string_view filter);

/// The editor record of toolkit window N, of the window with frame H, and of
/// the current window; null when it is no editor.
EditorRecord* EditorOfWindow(int n);
EditorRecord* EditorOfHandle(plat::Hwnd h);
EditorRecord* CurrentEditor();

/// The window procedure an editor's frame gets.
plat::LResult EditorWndProc(plat::Hwnd h, plat::Msg m, plat::WParam w, plat::LParam l);

/// Places the text control over the window's client area.
void EditorLayout(EditorRecord& rec);
/// Lays the window out again: the toolbar band, the command line, the text.
void EditorPlaceBars(EditorRecord& rec);

/// The only document, empty, unmodified, with no file held and no name.
bool EditorPristine(const EditorRecord& rec);
/// The number of the open document named NAME (letter case ignored); 0 none.
int EditorFindDocument(const EditorRecord& rec, const std::string& name);
/// The Edit menu as a pop-up at SCREEN; a chosen item is carried out.
void EditorContextMenu(EditorRecord& rec, plat::Point screen);

/// EditorInfo and EditorInfoText of the last modal editor that closed;
/// false for items it does not keep.
bool EditorLastModalItem(int item, int& value);
void EditorLastModalText(int item, std::string& text);

}  // namespace tk
