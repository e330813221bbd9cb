// Find and replace in the editor.
#include "toolkit/editor/EditorSearch.h"

#include <algorithm>
#include <cctype>

#include "platform/controls/RichEdit.h"
#include "platform/dialog/MessageBox.h"

namespace tk {
namespace {

/// Lines scrolled further when a match scrolled the text, so that it does
/// not stand on the window's edge.
constexpr int kExtraScrollLines = 6;
/// The longest selection compared with the text searched for.
constexpr std::size_t kMaxCompared = 1024;

bool SameText(std::string_view a, std::string_view b, bool matchCase) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
    if (matchCase ? x != y : std::tolower(x) != std::tolower(y)) return false;
  }
  return true;
}

}  // namespace

int EditorFindNext(EditorRecord& rec) {
  const plat::Hwnd c = rec.textControl;
  const auto [start, end] = plat::RichEditGetSel(c);
  unsigned flags = 0;
  if ((rec.findFlags & kFindMatchCase) != 0) flags |= plat::kFindMatchCase;
  if ((rec.findFlags & kFindWholeWord) != 0) flags |= plat::kFindWholeWord;
  const bool down = (rec.findFlags & kFindDown) != 0;
  const bool selected = start != end;
  const int found =
      down ? plat::RichEditFindText(c, start + (selected ? 1 : 0), -1, rec.findWhat, flags)
           : plat::RichEditFindText(c, std::max(end - (selected ? 1 : 0), 0), 0, rec.findWhat,
                                    flags);
  if (found < 0 || rec.findWhat.empty()) {
    plat::MessageBox({.owner = rec.window,
                      .text = "End of text reached",
                      .caption = "Find",
                      .buttons = plat::MessageBoxButtons::Ok,
                      .icon = plat::MessageBoxIcon::Information});
    return 0;
  }
  const int first = plat::RichEditGetFirstVisibleLine(c);
  plat::RichEditSetSel(c, found, found + static_cast<int>(rec.findWhat.size()));
  plat::RichEditScrollCaret(c);
  if (plat::RichEditGetFirstVisibleLine(c) != first) {
    plat::RichEditLineScroll(c, down ? kExtraScrollLines : -kExtraScrollLines, 0);
    plat::RichEditScrollCaret(c);
  }
  return 1;
}

int EditorReplaceNext(EditorRecord& rec) {
  const plat::Hwnd c = rec.textControl;
  const auto [start, end] = plat::RichEditGetSel(c);
  const std::string selected = plat::RichEditGetTextRange(
      c, start, start + static_cast<int>(std::min<std::size_t>(end - start, kMaxCompared)));
  if (start != end && SameText(selected, rec.findWhat, (rec.findFlags & kFindMatchCase) != 0)) {
    rec.protectionOn = 0;
    plat::RichEditReplaceSel(c, rec.replaceWith, true);
    rec.protectionOn = 1;
    rec.positionCache.Clear();
  }
  return EditorFindNext(rec);
}

void EditorReplaceAll(EditorRecord& rec) {
  plat::RichEditSetSel(rec.textControl, 0, 0);
  while (EditorReplaceNext(rec) == 1) {
  }
}

}  // namespace tk
