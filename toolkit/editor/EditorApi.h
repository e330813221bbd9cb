#pragma once
// The operations through which an application drives the text editor of the
// current toolkit window (or of the window it names): state queries, the
// whole text as a stream, switching documents, suspending the display and
// the modified state. A window that is no editor changes nothing.
#include <string>

namespace tk {

/// EditorInfo item ITEM of editor WINDOW (-1: the last modal editor that
/// closed); VALUE is left as it is for items that do not exist.
void EditorInfo(int window, int item, int& value);
/// Item 1 findWhat, 2 replaceWith, 3 the document name, copied into TEXT up
/// to its length; other items leave TEXT as it is.
void EditorInfoText(int window, int item, std::string& text);

/// The bytes of the text's stream (rich text in a formatting editor, else
/// plain text); STATUS 1 when the current window is no editor.
void EditorTextSize(int& size, int& status);
/// The stream itself, and the stream back in, replacing the text.
void EditorGetContents(std::string& buffer);
void EditorPutContents(int size, const std::string& buffer);

/// Shows document N of an editor with several documents: STATUS 0, 2 when
/// it has one document or N is out of range, 1 when no editor.
void EditorSwitchDocument(int n, int& status);

/// ON 0 hides the text and keeps its first visible line and selection;
/// anything else shows it again as it was.
void EditorSuspendDisplay(int on);
/// The control marked unmodified (UNMODIFIED not 0) or modified, and the
/// changed flag set to CHANGED.
void EditorSetModified(int unmodified, int changed);
void EditorClearUndo();
void EditorScrollToLine(int line);
void EditorRepaint(int window);
void EditorSetBackup(int flag);
void EditorSave(int saveAs);

}  // namespace tk
