// Formatting commands of the editor.
#include "toolkit/editor/EditorFormat.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <utility>

#include "platform/controls/Controls.h"
#include "platform/controls/RichEdit.h"
#include "platform/dialog/FontDialog.h"
#include "toolkit/core/DialogFrame.h"

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

/// Selects the selection and, when it is empty, the word around the caret;
/// answers the selection as it was.
std::pair<int, int> SelectWithWord(const plat::RichText& t, plat::Hwnd c) {
  const auto sel = plat::RichEditGetSel(c);
  int a = sel.first, b = sel.second;
  if (a == b) {  // the word around the caret
    const std::string& s = t.Text();
    while (a > 0 && IsWordChar(s[static_cast<std::size_t>(a) - 1])) --a;
    while (b < t.Length() && IsWordChar(s[static_cast<std::size_t>(b)])) ++b;
  }
  plat::RichEditSetSel(c, a, b);
  return sel;
}

std::int32_t PackedRgb(plat::Pixel p) {
  return plat::RedOf(p) + 256 * plat::GreenOf(p) + 65536 * plat::BlueOf(p);
}

}  // namespace

void EditorToggleStyle(EditorRecord& rec, std::uint32_t style) {
  const plat::Hwnd c = rec.textControl;
  const plat::RichText* t = plat::RichEditText(c);
  if (t == nullptr || !rec.formatting || rec.readOnly) return;
  const auto sel = SelectWithWord(*t, c);
  const auto [format, uniform] = plat::RichEditGetCharFormat(c);
  const bool on = (uniform & style) != 0 && HasStyle(format, style);
  plat::CharFormat f;
  f.bold = f.italic = f.underline = !on;
  plat::RichEditSetCharFormat(c, false, style, f);
  plat::RichEditSetSel(c, sel.first, sel.second);
}

bool EditorChooseFont(EditorRecord& rec) {
  const plat::Hwnd c = rec.textControl;
  const plat::RichText* t = plat::RichEditText(c);
  if (t == nullptr || !rec.formatting || rec.readOnly) return false;
  const auto [format, uniformParts] = plat::RichEditGetCharFormat(c);
  const std::uint32_t uniform = uniformParts;  // a lambda may not capture a structured binding
  const auto has = [uniform](std::uint32_t part) { return (uniform & part) != 0; };
  plat::ChooseFontValues v;
  v.flags = plat::kCfScreenFonts | plat::kCfTrueTypeOnly | plat::kCfEffects | plat::kCfForceFontExist;
  if (!has(plat::kCfmBold) || !has(plat::kCfmItalic)) v.flags |= plat::kCfNoStyleSel;
  if (!has(plat::kCfmFace)) v.flags |= plat::kCfNoFaceSel;
  if (!has(plat::kCfmSize)) v.flags |= plat::kCfNoSizeSel;
  v.pixelsPerInch = kEditorPixelsPerInch;
  v.font.height = -static_cast<int>(std::lround(format.size / 20.0 * v.pixelsPerInch / 72.0));
  v.font.weight = has(plat::kCfmBold) ? (format.bold ? plat::kFontWeightBold : plat::kFontWeightNormal) : 0;
  v.font.italic = has(plat::kCfmItalic) && format.italic;
  v.font.underline = has(plat::kCfmUnderline) && format.underline;
  v.strikeOut = has(plat::kCfmStrikeOut) && format.strikeOut;
  v.font.face = format.face;
  v.colour = has(plat::kCfmColour) && format.colour != plat::kAutoColour
                 ? format.colour
                 : PackedRgb(plat::kColourText);
  {
    DialogFrame frame(false, "EditorChooseFont");
    if (!plat::ChooseFontDialog(frame.Owner() != plat::kNoWindow ? frame.Owner() : rec.window, v))
      return false;
  }
  plat::CharFormat f;
  std::uint32_t mask = plat::kCfmColour | plat::kCfmStrikeOut | plat::kCfmUnderline;
  f.colour = v.colour;
  f.strikeOut = v.strikeOut;
  f.underline = v.font.underline;
  if (v.styleChosen) {
    mask |= plat::kCfmBold | plat::kCfmItalic;
    f.bold = v.font.weight >= 600;
    f.italic = v.font.italic;
  }
  if (v.faceChosen) {
    mask |= plat::kCfmFace;
    f.face = v.font.face;
  }
  if (v.sizeChosen) {
    mask |= plat::kCfmSize;
    f.size = v.pointSizeTenths * 2;
  }
  const auto sel = SelectWithWord(*t, c);
  plat::RichEditSetCharFormat(c, false, mask, f);
  plat::RichEditSetSel(c, sel.first, sel.second);
  return true;
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
