#pragma once
// Line colouring: once switched on, the editor paints the visible lines of
// its text control itself and asks a colouring hook, line by line, which
// parts of the line to paint in which colour.
#include <functional>
#include <string_view>

#include "platform/draw/Surface.h"
#include "platform/text/Font.h"
#include "toolkit/editor/EditorRecord.h"

namespace tk {

inline constexpr int kEditorColourRanges = 100;

/// The colouring hook: for window WINDOW, the selection's first and last
/// character in the line (1-based, -1 when it does not touch the line), room
/// for MAX_RANGES ranges, the line's text without its line end. It fills
/// RANGE_START, RANGE_END (1-based, inclusive, ascending, not overlapping)
/// and COLOUR (R + 256 G + 65536 B on the window background, or -1 for the
/// highlight colours) and sets COUNT.
using EditorColourHook =
    std::function<void(int window, int selFirst, int selLast, int maxRanges, int* rangeEnd,
                       int* rangeStart, int* colour, int& count, std::string_view line)>;

/// Replaces the hook (empty: the default, which returns no ranges).
void SetEditorColourHook(EditorColourHook hook);

/// Switches line colouring on for the current editor (there is no way back).
void EditorColourOn();
/// The same for REC.
void EditorColourOnFor(EditorRecord& rec);

/// Draws characters [FROM, TO) of line text LINE (LINE_START its first
/// control position) at the control's own positions, in INK on PAPER; a tab
/// inside [SEL_A, SEL_B) is filled with the highlight colour.
void EditorDrawTabbedText(const EditorRecord& rec, plat::Surface& surface, plat::Point origin,
                          plat::Rect clip, const plat::Font& font, std::string_view line, int lineStart,
                          int from, int to, plat::Pixel ink, plat::Pixel paper, bool opaque,
                          int selA, int selB, bool allSelected, int lineHeight);

}  // namespace tk
