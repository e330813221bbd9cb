// External positions, text access and range formatting of the editor.
#include "toolkit/editor/EditorPositions.h"

#include "toolkit/editor/EditorCommandLine.h"

#include <algorithm>

#include "platform/controls/RichEdit.h"

namespace tk {
namespace {

const std::string& ControlText(const EditorRecord& rec) {
  static const std::string empty;
  const plat::RichText* t = plat::RichEditText(rec.textControl);
  return t ? t->Text() : empty;
}

int LineEndsBefore(const EditorRecord& rec, int pos) {
  const std::string& t = ControlText(rec);
  pos = std::clamp(pos, 0, static_cast<int>(t.size()));
  return static_cast<int>(std::count(t.begin(), t.begin() + pos, '\r'));
}

/// Runs FN with the selection hidden and puts the selection back.
template <typename Fn>
void KeepingSelection(const EditorRecord& rec, Fn fn) {
  const plat::Hwnd c = rec.textControl;
  const auto sel = plat::RichEditGetSel(c);
  const int first = plat::RichEditGetFirstVisibleLine(c);
  plat::RichEditHideSelection(c, true);
  fn();
  plat::RichEditSetSel(c, sel.first, sel.second);
  plat::RichEditLineScroll(c, first - plat::RichEditGetFirstVisibleLine(c), 0);
  plat::RichEditHideSelection(c, false);
}

}  // namespace

std::pair<int, int> EditorMapPositions(EditorRecord& rec, int a, int b) {
  if (rec.rawPositions) return {a, b};
  const std::string& t = ControlText(rec);
  const int n = static_cast<int>(t.size());
  EditorPositionCache& cache = rec.positionCache;
  if (cache.Empty() || a < cache.external || b < cache.external || cache.control > n)
    cache = {0, 0};
  int ra = -1, rb = -1;
  int c = cache.control, e = cache.external;
  const int stop = std::max(a, b) + 1;
  const auto test = [&]() {
    if (ra < 0 && e == a) ra = c;
    if (rb < 0 && e == b) rb = c;
  };
  while (c <= stop && (ra < 0 || rb < 0)) {
    test();
    if (c >= n) break;
    if (t[static_cast<std::size_t>(c)] == '\r') {
      ++e;
      test();
    }
    ++c;
    ++e;
  }
  cache.control = c;
  cache.external = e;
  // Past the end: the end.
  if (ra < 0) ra = n;
  if (rb < 0) rb = n;
  return {ra, rb};
}

int EditorExternalLength(const EditorRecord& rec) {
  const std::string& t = ControlText(rec);
  return static_cast<int>(t.size()) + LineEndsBefore(rec, static_cast<int>(t.size()));
}

int EditorExternalPosition(const EditorRecord& rec, int pos) {
  return pos + LineEndsBefore(rec, pos);
}

bool EditorInfoItem(EditorRecord& rec, int item, int& value) {
  const plat::Hwnd c = rec.textControl;
  const auto sel = plat::RichEditGetSel(c);
  switch (item) {
    case 1:
      value = plat::RichEditGetModify(c) ? 0 : 1;
      return true;
    case 2:
      value = EditorExternalLength(rec);
      if (rec.rawPositions) value = value - plat::RichEditGetLineCount(c) + 1;
      return true;
    case 3:
      value = rec.changedFlag;
      return true;
    case 4:
      value = EditorExternalPosition(rec, sel.first) + 1;
      return true;
    case 5:
      value = std::min(EditorExternalPosition(rec, sel.second), EditorExternalLength(rec));
      return true;
    case 6:
      value = rec.currentDocument;
      return true;
    case 7:
      value = rec.documentCount;
      return true;
    case 8:
      value = kRichEditVersion;
      return true;
    case 9:
      value = plat::RichEditGetFirstVisibleLine(c);
      return true;
    case 11:
      value = rec.fontIndex;
      return true;
    case 12:
      value = rec.fontSize;
      return true;
    case 10:
      value = EditorHistoryCount(rec);
      return true;
    case 102:
      value = plat::RichEditGetFirstVisibleLine(c) +
              plat::GetClientRect(c).Height() / std::max(1, rec.lineHeight);
      return true;
    case 103:
      value = plat::RichEditGetLineCount(c);
      return true;
    case 104:
      value = rec.rawPositions ? 1 : 0;
      return true;
    default:
      return false;
  }
}

void EditorInfoTextItem(const EditorRecord& rec, int item, std::string& text) {
  const std::string* field = item == 1   ? &rec.findWhat
                             : item == 2 ? &rec.replaceWith
                             : item == 3 ? &rec.documentName
                                         : nullptr;
  if (field == nullptr) return;
  const std::size_t size = text.size();
  text = field->substr(0, size);
  text.resize(size, ' ');
}

void EditorGetText(const EditorRecord& rec, int& status, int length, std::string& text) {
  const std::string& t = ControlText(rec);
  if (static_cast<int>(t.size()) < length) {
    text = t;
    status = 0;
  } else {
    text = t.substr(0, static_cast<std::size_t>(std::max(length - 1, 0)));
    status = 2;
  }
}

void EditorGetTextPart(EditorRecord& rec, int start, int count, std::string& text) {
  const auto [a, b] = EditorMapPositions(rec, start, start + count - 1);
  text = plat::RichEditGetTextRange(rec.textControl, a, std::max(a, b + 1));
}

void EditorPutText(EditorRecord& rec, std::string_view text) {
  rec.protectionOn = 0;
  plat::RichEditSetSel(rec.textControl, 0, -1);
  plat::RichEditReplaceSel(rec.textControl, text, true);
  rec.protectionOn = 1;
  rec.positionCache.Clear();
}

void EditorReplaceRange(EditorRecord& rec, int start, int end, std::string_view text) {
  const plat::Hwnd c = rec.textControl;
  if (!text.empty() || start != end) plat::RichEditStopGroupTyping(c);
  const auto [a, b] = EditorMapPositions(rec, start, end);
  plat::RichEditHideSelection(c, true);
  plat::RichEditSetSel(c, a, b);
  rec.protectionOn = 0;
  plat::RichEditReplaceSel(c, text, true);
  rec.protectionOn = 1;
  plat::RichEditHideSelection(c, false);
  plat::RichEditScrollCaret(c);
  rec.positionCache.Clear();
}

void EditorSelect(EditorRecord& rec, int start, int end) {
  const auto [a, b] = EditorMapPositions(rec, start, end);
  plat::RichEditSetSel(rec.textControl, a, b);
  plat::RichEditScrollCaret(rec.textControl);
}

void EditorSetCaret(EditorRecord& rec, int position) {
  const int p = EditorMapPositions(rec, position, position).first;
  plat::RichEditSetSel(rec.textControl, p, p);
  plat::RichEditScrollCaret(rec.textControl);
}

int EditorLinePosition(EditorRecord& rec, int mode, int value) {
  if (mode == 1)
    return plat::RichEditLineFromChar(rec.textControl, EditorMapPositions(rec, value, value).first);
  const int start = plat::RichEditLineIndex(rec.textControl, value);
  return rec.rawPositions ? start : start + value;
}

void EditorFormatChars(EditorRecord& rec, int& status, int first, int last, int bold, int italic,
                       int underline, int strikeout, int size, int colour, int backColour,
                       std::string_view face) {
  if (!rec.formatting) {
    status = -2;
    return;
  }
  status = 0;
  plat::CharFormat f;
  std::uint32_t mask = 0;
  if (bold != -1) {
    mask |= plat::kCfmBold;
    f.bold = bold == 1;
  }
  if (italic != -1) {
    mask |= plat::kCfmItalic;
    f.italic = italic == 1;
  }
  if (strikeout != -1) {
    mask |= plat::kCfmStrikeOut;
    f.strikeOut = strikeout == 1;
  }
  if (underline != -1) {
    mask |= plat::kCfmUnderline;
    f.underline = underline > 0;
  }
  if (size != -1) {
    mask |= plat::kCfmSize;
    f.size = std::clamp(size, 1, 1638) * 20;
  }
  if (colour != -2) {
    mask |= plat::kCfmColour;
    f.colour = colour == -1 ? plat::kAutoColour : (colour & 0xFFFFFF);
  }
  if (backColour != -2) {
    mask |= plat::kCfmBackColour;
    f.backColour = backColour == -1 ? plat::kAutoColour : (backColour & 0xFFFFFF);
  }
  if (!face.empty()) {
    mask |= plat::kCfmFace;
    f.face = std::string(face);
  }
  const auto [a, b] = EditorMapPositions(rec, first - 1, last);
  const auto apply = [&, a = a, b = b]() {
    plat::RichEditSetSel(rec.textControl, a, b);
    plat::RichEditSetCharFormat(rec.textControl, false, mask, f);
  };
  if (rec.displaySuspended)
    apply();
  else
    KeepingSelection(rec, apply);
}

void EditorFormatParagraphs(EditorRecord& rec, int& status, int first, int last, int bullets,
                            int alignment) {
  if (!rec.formatting) {
    status = -2;
    return;
  }
  status = 0;
  plat::ParaFormat p;
  std::uint32_t mask = 0;
  if (bullets != -1) {
    mask |= plat::kPfmBullet;
    p.bullet = bullets == 1;
  }
  if (alignment != -1) {
    mask |= plat::kPfmAlign;
    p.align = alignment == 1   ? plat::ParaAlign::Centre
              : alignment == 2 ? plat::ParaAlign::Right
                               : plat::ParaAlign::Left;
  }
  const auto [a, b] = EditorMapPositions(rec, first - 1, last);
  KeepingSelection(rec, [&, a = a, b = b]() {
    plat::RichEditSetSel(rec.textControl, a, b);
    plat::RichEditSetParaFormat(rec.textControl, mask, p);
  });
}

}  // namespace tk
