#pragma once
// The editor's font: an index and a size in points chosen by the caller,
// given to the whole text of the control.
#include <string>

#include "platform/text/Font.h"
#include "toolkit/editor/EditorRecord.h"

namespace tk {

/// The face, family and size in points of font INDEX at SIZE points (0: 12).
struct EditorFontChoice {
  std::string face;
  plat::FontFamily family = plat::FontFamily::DontCare;
  int points = 12;
};
EditorFontChoice EditorFontFor(int index, int size);

/// Makes the record's font (fontIndex, fontSize), gives it to the text and
/// keeps its line height and its height less internal leading.
void EditorApplyFont(EditorRecord& rec);

/// EditorSetFont: INDEX and SIZE (-1 keeps either). An editor without
/// formatting whose text was unmodified stays unmodified. STATUS 0, 1 when
/// the current window is no editor.
void EditorSetFont(int index, int size, int& status);

}  // namespace tk
