// The editor's font.
#include "toolkit/editor/EditorFont.h"

#include <algorithm>

#include "platform/controls/RichEdit.h"
#include "toolkit/editor/EditorBuffers.h"
#include "toolkit/editor/EditorWindow.h"

namespace tk {

EditorFontChoice EditorFontFor(int index, int size) {
  EditorFontChoice c;
  c.points = size > 0 ? size : 12;
  switch (index) {
    case 1:  // the system's fixed font
      c.face = "Liberation Mono";
      c.family = plat::FontFamily::Modern;
      break;
    case 2:
      c.face = "Times New Roman";
      c.family = plat::FontFamily::Roman;
      break;
    case 3:
      c.face = "Arial";
      c.family = plat::FontFamily::Swiss;
      break;
    case 4:
      c.face = "Courier New";
      c.family = plat::FontFamily::Modern;
      break;
    case 7:
    case 8:
    case 9:
    case 10: {
      // "Lucida Console" at fixed sizes.
      static constexpr int kPoints[] = {10, 11, 13, 14};
      c.face = "Liberation Mono";
      c.family = plat::FontFamily::Modern;
      c.points = kPoints[index - 7];
      break;
    }
    default:  // the system font
      c.face = "Arial";
      c.family = plat::FontFamily::Swiss;
      break;
  }
  return c;
}

void EditorApplyFont(EditorRecord& rec) {
  const EditorFontChoice choice = EditorFontFor(rec.fontIndex, rec.fontSize);
  plat::FontSpec spec;
  spec.face = choice.face;
  spec.family = choice.family;
  spec.height = -std::max(1, (choice.points * 96 + 36) / 72);
  if (const auto font = plat::OpenFont(spec)) {
    rec.lineHeight = font->Metrics().height;
    rec.fontEmHeight = font->Metrics().height - font->Metrics().internalLeading;
  }
  if (rec.textControl == plat::kNoWindow) return;
  plat::CharFormat f;
  f.face = choice.face;
  f.size = choice.points * 20;
  const EditorPositionCache kept = rec.positionCache;
  const int protection = rec.protectionOn;
  rec.protectionOn = 0;
  plat::RichEditSetCharFormat(rec.textControl, true, plat::kCfmFace | plat::kCfmSize, f);
  rec.protectionOn = protection;
  rec.positionCache = kept;
}

void EditorSetFont(int index, int size, int& status) {
  EditorRecord* rec = CurrentEditor();
  if (rec == nullptr) {
    status = 1;
    return;
  }
  status = 0;
  const bool unmodified = !plat::RichEditGetModify(rec->textControl);
  if (index != -1) rec->fontIndex = index;
  if (size != -1) rec->fontSize = size;
  EditorApplyFont(*rec);
  if (!rec->formatting && unmodified) {
    plat::RichEditSetModify(rec->textControl, false);
    if (rec->starModified) EditorCaptionUpdate(*rec);
  }
}

}  // namespace tk
