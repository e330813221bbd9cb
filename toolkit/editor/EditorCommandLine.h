#pragma once
// The editor's command line: a single-line edit, or a drop-down combo box
// that keeps up to 100 earlier entries, along the bottom of the text with a
// prompt at its left. Enter raises the command-line event for the window.
#include <string>
#include <string_view>

#include "toolkit/editor/EditorRecord.h"

namespace tk {

inline constexpr int kEditorHistoryEntries = 100;

/// Makes the command line (HISTORY: the combo box) of REC.
void EditorMakeCommandLine(EditorRecord& rec, bool history);
/// Places the prompt and the command line in the band RECT.
void EditorPlaceCommandLine(EditorRecord& rec, plat::Rect band);

/// The procedure of the command line's edit part.
plat::LResult EditorCommandLineProc(plat::Hwnd h, plat::Msg m, plat::WParam w, plat::LParam l);

/// Number of history entries (0 without a history).
int EditorHistoryCount(const EditorRecord& rec);

// The programming interface on the current window. Statuses: 0 done, 1 the
// window is no editor, 2 no command line (or no history).
void EditorSetPrompt(int& status, std::string_view text);
void EditorSetCommandLine(int& status, std::string_view text, int caret);
void EditorHasHistory(int& status);
void EditorClearHistory(int& status);
void EditorAddHistory(int index, std::string_view text);
/// Copies entry INDEX into TEXT, cut to TEXT's length (blank-padded).
void EditorGetHistory(int index, std::string& text);
/// Copies the command line into TEXT: status 0, 2 when it holds LENGTH
/// characters or more (the copy holds LENGTH - 1), 3 no command line, 1 no
/// editor.
void EditorGetCommandLine(int& status, std::string& text, int length);

}  // namespace tk
