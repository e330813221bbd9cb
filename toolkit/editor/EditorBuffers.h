#pragma once
// The documents an editor window keeps besides the one it shows: one buffer
// for each window number and document number, the switch between
// documents, the save prompt, the caption and the close sequence.
#include <string>

#include "toolkit/editor/EditorRecord.h"

namespace tk {

inline constexpr int kEditorWindowSlots = 51;

struct DocumentBuffer {
  int savedSize = 0;
  int textLength = 0;
  int caret = 0;         // 1-based, external
  int selectionEnd = 0;  // 1-based position of the selection's last character
  int unmodified = 0;    // the buffer state
  int changedFlag = 0;
  int firstVisibleLine = 0;
  bool nameSet = false;
  bool textSet = false;
  std::string name;
  std::string savedText;
};

/// Makes the table, every buffer empty (toolkit start-up).
void EditorBuffersAllocate();
/// Releases the table (the toolkit's shutdown).
void EditorBuffersRelease();
/// Frees the names and texts of window WINDOW's buffers (it closes).
void EditorBuffersFreeWindow(int window);
/// Buffer N of window WINDOW; null outside the table or before it is made.
DocumentBuffer* EditorBuffer(int window, int n);

/// Buffer N's name, blank-padded to NAME's length (empty when never set).
void EditorBufferName(int window, int n, std::string& name);
void EditorBufferSetName(int window, int n, std::string_view name);
int EditorBufferState(int window, int n);
void EditorBufferSave(EditorRecord& rec, int n);
void EditorBufferLoad(EditorRecord& rec, int n);
void EditorBufferSwitch(EditorRecord& rec, int oldDocument, int newDocument);
/// Drops buffer N; the later ones move down one place.
void EditorBufferRemove(int window, int n);
/// Shows document N.
void EditorSelectBuffer(EditorRecord& rec, int n);
/// Asks whether to save the modified shown document: 1 go on, 0 cancel.
int EditorSavePrompt(EditorRecord& rec);
void EditorCaptionUpdate(EditorRecord& rec);
/// The prompts before the editor closes: the shown document, then every
/// other modified one while the answers are 1. 1 when it may close; on
/// Cancel the document shown before is shown again.
int EditorCloseCheck(EditorRecord& rec);

}  // namespace tk
