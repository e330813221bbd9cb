#pragma once
// The editor's programming interface over its record: external positions
// (a line end counts two characters) mapped to the control's (a line end
// counts one) through a cache, reading and replacing text, selecting,
// formatting ranges and the state queries.
#include <string>
#include <string_view>
#include <utility>

#include "toolkit/editor/EditorRecord.h"

namespace tk {

/// Maps external positions A and B to control positions. A position past
/// the end maps to the end. The cache keeps where the walk stopped.
std::pair<int, int> EditorMapPositions(EditorRecord& rec, int a, int b);

/// The text length in external positions (the window text's length).
int EditorExternalLength(const EditorRecord& rec);
/// Control position POS as an external position.
int EditorExternalPosition(const EditorRecord& rec, int pos);

/// EditorInfo's items for a live editor; false leaves VALUE unchanged.
bool EditorInfoItem(EditorRecord& rec, int item, int& value);

/// EditorInfoText: item 1 findWhat, 2 replaceWith, 3 documentName, copied
/// into TEXT up to its length (blank-padded); other items leave it as it is.
void EditorInfoTextItem(const EditorRecord& rec, int item, std::string& text);

/// Copies the text from control position 0: all of it (status 0) when it is
/// shorter than LENGTH, else its first LENGTH - 1 characters (status 2).
void EditorGetText(const EditorRecord& rec, int& status, int length, std::string& text);
/// The text between external positions START and START + COUNT - 1.
void EditorGetTextPart(EditorRecord& rec, int start, int count, std::string& text);
/// Replaces the whole text.
void EditorPutText(EditorRecord& rec, std::string_view text);
/// Replaces external [START, END) by TEXT as one undoable step.
void EditorReplaceRange(EditorRecord& rec, int start, int end, std::string_view text);
/// Selects external START..END and scrolls the caret into view.
void EditorSelect(EditorRecord& rec, int start, int end);
void EditorSetCaret(EditorRecord& rec, int position);

/// Mode 1: the line holding external position VALUE; else the first
/// position of line VALUE (external unless positions are raw).
int EditorLinePosition(EditorRecord& rec, int mode, int value);

/// Formats characters FIRST..LAST (1-based, external). Status 0, -2
/// without formatting.
void EditorFormatChars(EditorRecord& rec, int& status, int first, int last, int bold, int italic,
                       int underline, int strikeout, int size, int colour, int backColour,
                       std::string_view face);
/// Bullets (-1 unchanged, 0 off, 1 on) and alignment (-1 unchanged, 0 left,
/// 1 centre, 2 right) for paragraphs FIRST..LAST.
void EditorFormatParagraphs(EditorRecord& rec, int& status, int first, int last, int bullets,
                            int alignment);

}  // namespace tk
