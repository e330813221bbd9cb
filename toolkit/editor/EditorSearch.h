#pragma once
// Find, replace and replace all over the editor's current document, with
// the options of the record's find dialog.
#include "toolkit/editor/EditorRecord.h"

namespace tk {

/// Finds findWhat after the selection (before it when searching up) and
/// selects it. 1 found; 0 after telling the user "End of text reached".
int EditorFindNext(EditorRecord& rec);
/// Replaces a selection equal to findWhat by replaceWith (the caret after
/// the new text), then finds the next; the result of that find.
int EditorReplaceNext(EditorRecord& rec);
/// Replaces from the start until nothing more is found.
void EditorReplaceAll(EditorRecord& rec);

}  // namespace tk
