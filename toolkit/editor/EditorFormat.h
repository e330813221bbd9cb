#pragma once
// The editor's formatting commands: bold, italic and underline, bullets and
// alignment, on the selection of a formatting editor.
#include <cstdint>

#include "platform/controls/RichText.h"
#include "toolkit/editor/EditorRecord.h"

namespace tk {

/// Removes STYLE (kCfmBold, kCfmItalic or kCfmUnderline) when the selection
/// has it throughout, else sets it; an empty selection acts on its word.
void EditorToggleStyle(EditorRecord& rec, std::uint32_t style);
/// The Font command: the font dialog over the selection's format (a part
/// that is mixed starts unchosen); OK gives the selection, or with none the
/// word at the caret, the chosen face, style and size, and the effects and
/// colour. False when cancelled or the editor has no formatting.
bool EditorChooseFont(EditorRecord& rec);
/// The text control's pixels per inch, for font heights.
inline constexpr int kEditorPixelsPerInch = 96;
/// Removes the bullets when every selected paragraph has them, else sets
/// them on all.
void EditorToggleBullet(EditorRecord& rec);
void EditorSetAlignment(EditorRecord& rec, plat::ParaAlign align);
/// Goto Bookmark: the caret to the current document's bookmark, when set.
void EditorGotoBookmark(EditorRecord& rec);

}  // namespace tk
