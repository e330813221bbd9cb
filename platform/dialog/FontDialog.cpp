// The font dialog.
#include "platform/dialog/FontDialog.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "platform/controls/Controls.h"
#include "platform/dialog/Dialog.h"
#include "platform/dialog/MessageBox.h"

namespace plat {
namespace {

constexpr int kSizes[] = {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72};
constexpr double kLargestSize = 1638;

DialogControlSpec Label(Rect r, const char* text) {
  return {std::string(kStaticClass), -1, r, text, kStyleVisible | kSsLeftNoWordWrap};
}

std::string Trimmed(std::string s) {
  while (!s.empty() && s.back() == ' ') s.pop_back();
  const std::size_t b = s.find_first_not_of(' ');
  return b == std::string::npos ? std::string() : s.substr(b);
}

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

std::string SizeText(int tenths) {
  return tenths % 10 == 0 ? std::to_string(tenths / 10)
                          : std::to_string(tenths / 10) + "." + std::to_string(tenths % 10);
}

/// A size typed or picked: tenths of a point; 0 when blank, -1 when it is
/// no number in range.
int ReadSize(const std::string& text) {
  const std::string t = Trimmed(text);
  if (t.empty()) return 0;
  char* end = nullptr;
  const double v = std::strtod(t.c_str(), &end);
  if (end == t.c_str() || *end != '\0' || !std::isfinite(v) || v < 1 || v > kLargestSize) return -1;
  return static_cast<int>(std::lround(v * 10));
}

void Refuse(Hwnd dlg, int field, const char* text) {
  MessageBox({.owner = dlg,
              .text = text,
              .caption = "Font",
              .buttons = MessageBoxButtons::Ok,
              .icon = MessageBoxIcon::Exclamation});
  if (IsWindow(dlg)) SetFocus(DialogItem(dlg, field));
}

/// Checks the fields and copies them into V; false (the user told) when one
/// cannot be taken.
bool Take(Hwnd dlg, ChooseFontValues& v, const std::vector<std::string>& faces) {
  const std::string face = Trimmed(GetWindowText(DialogItem(dlg, kFontDialogFace)));
  std::string known;
  for (const std::string& f : faces)
    if (SameName(f, face)) known = f;
  if (!face.empty() && known.empty() && (v.flags & kCfForceFontExist) != 0) {
    Refuse(dlg, kFontDialogFace,
           "There is no font with that name.\nChoose a font from the list of fonts.");
    return false;
  }
  const int tenths = ReadSize(GetWindowText(DialogItem(dlg, kFontDialogSize)));
  if (tenths < 0) {
    Refuse(dlg, kFontDialogSize, "Size must be between 1 and 1638 points.");
    return false;
  }
  v.faceChosen = !face.empty();
  if (v.faceChosen) v.font.face = known.empty() ? face : known;
  v.sizeChosen = tenths > 0;
  if (v.sizeChosen) {
    v.pointSizeTenths = tenths;
    v.font.height = -static_cast<int>(std::lround(tenths * v.pixelsPerInch / 720.0));
  }
  const int style = ComboBoxGetCurSel(DialogItem(dlg, kFontDialogStyle));
  v.styleChosen = style >= 0;
  if (v.styleChosen) {
    v.font.weight = style >= 2 ? kFontWeightBold : kFontWeightNormal;
    v.font.italic = style % 2 == 1;
  }
  if ((v.flags & kCfEffects) != 0) {
    v.strikeOut = ButtonGetCheck(DialogItem(dlg, kFontDialogStrikeOut)) != 0;
    v.font.underline = ButtonGetCheck(DialogItem(dlg, kFontDialogUnderline)) != 0;
    const Hwnd colours = DialogItem(dlg, kFontDialogColour);
    const int c = ComboBoxGetCurSel(colours);
    if (c >= 0) v.colour = static_cast<std::int32_t>(ComboBoxGetItemData(colours, c));
  }
  return true;
}

}  // namespace

bool ChooseFontDialog(Hwnd owner, ChooseFontValues& values) {
  const bool effects = (values.flags & kCfEffects) != 0;
  DialogSpec spec;
  spec.id = kFontDialogId;
  spec.caption = "Font";
  spec.rect = {0, 0, 264, effects ? 150 : 110};
  spec.style = kDsModalFrame;
  spec.controls = {
      Label({8, 8, 100, 18}, "&Font:"),
      {std::string(kComboBoxClass), kFontDialogFace, {8, 18, 104, 100}, "",
       kStyleVisible | kWsTabStop | kWsGroup | kCbsDropDown | kCbsAutoHScroll},
      Label({112, 8, 180, 18}, "Font st&yle:"),
      {std::string(kComboBoxClass), kFontDialogStyle, {112, 18, 180, 80}, "",
       kStyleVisible | kWsTabStop | kWsGroup | kCbsDropDownList},
      Label({188, 8, 256, 18}, "&Size:"),
      {std::string(kComboBoxClass), kFontDialogSize, {188, 18, 256, 100}, "",
       kStyleVisible | kWsTabStop | kWsGroup | kCbsDropDown},
  };
  if (effects) {
    spec.controls.push_back({std::string(kButtonClass), -1, {8, 40, 150, 110}, "Effects",
                             kStyleVisible | kBsGroupBox});
    spec.controls.push_back({std::string(kButtonClass), kFontDialogStrikeOut, {16, 54, 100, 66},
                             "Stri&keout", kStyleVisible | kWsTabStop | kWsGroup | kBsAutoCheckBox});
    spec.controls.push_back({std::string(kButtonClass), kFontDialogUnderline, {16, 68, 100, 80},
                             "&Underline", kStyleVisible | kWsTabStop | kBsAutoCheckBox});
    spec.controls.push_back(Label({16, 84, 60, 94}, "&Colour:"));
    spec.controls.push_back({std::string(kComboBoxClass), kFontDialogColour, {60, 82, 140, 160},
                             "", kStyleVisible | kWsTabStop | kWsGroup | kCbsDropDownList});
  }
  const int buttonsY = effects ? 126 : 86;
  spec.controls.push_back({std::string(kButtonClass), kIdOk, {148, buttonsY, 198, buttonsY + 14},
                           "OK", kStyleVisible | kWsTabStop | kWsGroup | kBsDefPushButton});
  spec.controls.push_back({std::string(kButtonClass), kIdCancel,
                           {206, buttonsY, 256, buttonsY + 14}, "Cancel",
                           kStyleVisible | kWsTabStop});

  const std::vector<std::string> faces = FontFaceNames((values.flags & kCfTrueTypeOnly) != 0);
  ChooseFontValues result = values;
  const Hwnd dlg = CreateDialogFromSpec(
      spec, owner,
      [&result, &faces](Hwnd d, Msg m, WParam w, LParam) -> std::optional<LResult> {
        if (m != Msg::Command) return std::nullopt;
        const int id = static_cast<int>(w & 0xFFFF);
        if (id == kIdOk) {
          if (Take(d, result, faces)) EndDialogModal(d, kIdOk);
          return 0;
        }
        if (id == kIdCancel) {
          EndDialogModal(d, kIdCancel);
          return 0;
        }
        return std::nullopt;
      });
  if (dlg == kNoWindow) return false;

  const Hwnd face = DialogItem(dlg, kFontDialogFace);
  for (const std::string& f : faces) ComboBoxAddString(face, f);
  if ((values.flags & kCfNoFaceSel) == 0) {
    const int i = ComboBoxFindStringExact(face, -1, values.font.face);
    if (i >= 0)
      ComboBoxSetCurSel(face, i);
    else
      SetWindowText(face, values.font.face);
  }
  const Hwnd style = DialogItem(dlg, kFontDialogStyle);
  for (const char* s : kFontStyleNames) ComboBoxAddString(style, s);
  if ((values.flags & kCfNoStyleSel) == 0)
    ComboBoxSetCurSel(style, (values.font.weight >= 600 ? 2 : 0) + (values.font.italic ? 1 : 0));
  const Hwnd size = DialogItem(dlg, kFontDialogSize);
  for (int s : kSizes) ComboBoxAddString(size, std::to_string(s));
  if ((values.flags & kCfNoSizeSel) == 0 && values.font.height != 0 && values.pixelsPerInch > 0) {
    const int tenths = static_cast<int>(
        std::lround(std::abs(values.font.height) * 720.0 / values.pixelsPerInch));
    const int i = ComboBoxFindStringExact(size, -1, SizeText(tenths));
    if (i >= 0)
      ComboBoxSetCurSel(size, i);
    else
      SetWindowText(size, SizeText(tenths));
  }
  if (effects) {
    ButtonSetCheck(DialogItem(dlg, kFontDialogStrikeOut), values.strikeOut ? 1 : 0);
    ButtonSetCheck(DialogItem(dlg, kFontDialogUnderline), values.font.underline ? 1 : 0);
    const Hwnd colours = DialogItem(dlg, kFontDialogColour);
    int chosen = -1;
    for (const FontDialogColour& c : kFontDialogColours) {
      const int i = ComboBoxAddString(colours, c.name);
      ComboBoxSetItemData(colours, i, c.rgb);
      if (c.rgb == values.colour) chosen = i;
    }
    if (chosen < 0) {  // a colour of its own keeps a place in the list
      chosen = ComboBoxAddString(colours, "Custom");
      ComboBoxSetItemData(colours, chosen, values.colour);
    }
    ComboBoxSetCurSel(colours, chosen);
  }

  CentreDialogOnOwner(dlg, owner);
  ShowWindow(dlg, ShowCmd::Show);
  SetFocus(face);
  const int answer = RunDialogModal(dlg);
  if (IsWindow(dlg)) DestroyWindow(dlg);
  if (answer != kIdOk) return false;
  values = result;
  return true;
}

}  // namespace plat
