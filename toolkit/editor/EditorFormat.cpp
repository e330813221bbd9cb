// Formatting commands of the editor.
#include "toolkit/editor/EditorFormat.h"

#include <algorithm>
#include <cctype>

#include "platform/controls/RichEdit.h"

namespace tk {
namespace {

bool IsWordChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_';
}

bool HasStyle(const plat::CharFormat& f, std::uint32_t style) {
  if (style == plat::kCfmBold) return f.bold;
  if (style == plat::kCfmItalic) return f.italic;
  return f.underline;
}

}  // namespace

void EditorToggleStyle(EditorRecord& rec, std::uint32_t style) {
  const plat::Hwnd c = rec.textControl;
  const plat::RichText* t = plat::RichEditText(c);
  if (t == nullptr || !rec.formatting || rec.readOnly) return;
  const auto sel = plat::RichEditGetSel(c);
  int a = sel.first, b = sel.second;
  if (a == b) {  // the word around the caret
    const std::string& s = t->Text();
    while (a > 0 && IsWordChar(s[static_cast<std::size_t>(a) - 1])) --a;
    while (b < t->Length() && IsWordChar(s[static_cast<std::size_t>(b)])) ++b;
  }
  plat::RichEditSetSel(c, a, b);
  const auto [format, uniform] = plat::RichEditGetCharFormat(c);
  const bool on = (uniform & style) != 0 && HasStyle(format, style);
  plat::CharFormat f;
  f.bold = f.italic = f.underline = !on;
  plat::RichEditSetCharFormat(c, false, style, f);
  plat::RichEditSetSel(c, sel.first, sel.second);
}

void EditorToggleBullet(EditorRecord& rec) {
  const plat::Hwnd c = rec.textControl;
  const plat::RichText* t = plat::RichEditText(c);
  if (t == nullptr) return;
  const auto [a, b] = plat::RichEditGetSel(c);
  bool all = true;
  for (int n = t->ParagraphOf(a); n <= t->ParagraphOf(b); ++n) all = all && t->Paragraph(n).bullet;
  plat::ParaFormat p;
  p.bullet = !all;
  plat::RichEditSetParaFormat(c, plat::kPfmBullet, p);
}

void EditorSetAlignment(EditorRecord& rec, plat::ParaAlign align) {
  plat::ParaFormat p;
  p.align = align;
  plat::RichEditSetParaFormat(rec.textControl, plat::kPfmAlign, p);
}

void EditorGotoBookmark(EditorRecord& rec) {
  const int mark = rec.bookmark[static_cast<std::size_t>(rec.currentDocument)];
  if (mark < 0) return;
  plat::RichEditSetSel(rec.textControl, mark, mark);
  plat::RichEditScrollCaret(rec.textControl);
}

}  // namespace tk
