// The find and replace dialogs: see FindDialog.h.
#include "platform/dialog/FindDialog.h"

#include "platform/controls/Controls.h"
#include "platform/dialog/Dialog.h"

namespace plat {
namespace {

DialogControlSpec Control(std::string_view cls, int id, Rect r, std::string_view text,
                          unsigned style) {
  return {std::string(cls), id, r, std::string(text), kStyleVisible | style};
}

void ReadInto(Hwnd dlg, FindReplace& fr) {
  const auto text = [&](int id) {
    std::string t = GetWindowText(DialogItem(dlg, id));
    if (fr.maxLength > 0 && t.size() > fr.maxLength - 1) t.resize(fr.maxLength - 1);
    return t;
  };
  fr.findWhat = text(kFindItemWhat);
  if (DialogItem(dlg, kFindItemReplaceWith) != kNoWindow) fr.replaceWith = text(kFindItemReplaceWith);
  const auto checked = [&](int id) {
    const Hwnd b = DialogItem(dlg, id);
    return b != kNoWindow && ButtonGetCheck(b) != 0;
  };
  unsigned options = 0;
  if (checked(kFindItemWholeWord)) options |= kFrWholeWord;
  if (checked(kFindItemMatchCase)) options |= kFrMatchCase;
  if ((fr.flags & kFrHideUpDown) != 0 || DialogItem(dlg, kFindItemDown) == kNoWindow ||
      checked(kFindItemDown))
    options |= kFrDown;
  fr.flags = (fr.flags & kFrHideUpDown) | options;
}

void Tell(Hwnd dlg, FindReplace& fr, int button, unsigned request) {
  ReadInto(dlg, fr);
  fr.flags |= request;
  if (fr.hook) fr.hook(dlg, button);
  SendMessage(fr.owner, RegisterWindowMessage(kFindReplaceMessage), 0,
              reinterpret_cast<LParam>(&fr));
}

/// Find Next, Replace and Replace All only while there is something to find.
void EnableButtons(Hwnd dlg) {
  const bool any = !GetWindowText(DialogItem(dlg, kFindItemWhat)).empty();
  for (int id : {kFindItemFindNext, kFindItemReplaceOne, kFindItemReplaceAll})
    if (const Hwnd b = DialogItem(dlg, id); b != kNoWindow) EnableWindow(b, any);
}

Hwnd MakeDialog(FindReplace& fr, bool replace) {
  DialogSpec spec;
  spec.id = replace ? kReplaceDialogId : kFindDialogId;
  spec.caption = replace ? "Replace" : "Find";
  spec.rect = replace ? Rect{40, 40, 270, 134} : Rect{40, 40, 276, 102};
  std::vector<DialogControlSpec>& c = spec.controls;
  c.push_back(Control(kStaticClass, -1, {6, 9, 54, 19}, "Fi&nd what:", kSsLeftNoWordWrap));
  c.push_back(Control(kEditClass, kFindItemWhat, {56, 7, 176, 19}, "",
                      kWsTabStop | kWsGroup | kWsBorder | kEsAutoHScroll));
  int y = 26;
  if (replace) {
    c.push_back(Control(kStaticClass, -1, {6, 27, 54, 37}, "Re&place with:", kSsLeftNoWordWrap));
    c.push_back(Control(kEditClass, kFindItemReplaceWith, {56, 25, 176, 37}, "",
                        kWsTabStop | kWsGroup | kWsBorder | kEsAutoHScroll));
    y = 46;
  }
  c.push_back(Control(kButtonClass, kFindItemWholeWord, {6, y, 110, y + 12}, "Match &whole word only",
                      kWsTabStop | kWsGroup | kBsAutoCheckBox));
  c.push_back(Control(kButtonClass, kFindItemMatchCase, {6, y + 16, 110, y + 28}, "Match &case",
                      kWsTabStop | kBsAutoCheckBox));
  if (!replace && (fr.flags & kFrHideUpDown) == 0) {
    c.push_back(Control(kButtonClass, -1, {112, y - 4, 176, y + 28}, "Direction", kBsGroupBox));
    c.push_back(Control(kButtonClass, kFindItemUp, {118, y + 8, 144, y + 20}, "&Up",
                        kWsTabStop | kWsGroup | kBsAutoRadioButton));
    c.push_back(Control(kButtonClass, kFindItemDown, {146, y + 8, 174, y + 20}, "&Down",
                        kBsAutoRadioButton));
  }
  c.push_back(Control(kButtonClass, kFindItemFindNext, {182, 6, 232, 20}, "&Find Next",
                      kWsTabStop | kWsGroup | kBsDefPushButton));
  if (replace) {
    c.push_back(Control(kButtonClass, kFindItemReplaceOne, {182, 24, 232, 38}, "&Replace", kWsTabStop));
    c.push_back(
        Control(kButtonClass, kFindItemReplaceAll, {182, 42, 232, 56}, "Replace &All", kWsTabStop));
  }
  c.push_back(Control(kButtonClass, kFindItemCancel, {182, replace ? 60 : 24, 232, replace ? 74 : 38},
                      "Cancel", kWsTabStop));

  FindReplace* record = &fr;
  const Hwnd dlg = CreateDialogFromSpec(
      spec, fr.owner, [record](Hwnd d, Msg m, WParam w, LParam) -> std::optional<LResult> {
        if (m != Msg::Command) return std::nullopt;
        const int id = static_cast<int>(w & 0xFFFF);
        const int code = static_cast<int>((w >> 16) & 0xFFFF);
        switch (id) {
          case kFindItemWhat:
            if (code == kEnChange) EnableButtons(d);
            return std::nullopt;
          case kFindItemFindNext:
            if (!GetWindowText(DialogItem(d, kFindItemWhat)).empty())
              Tell(d, *record, id, kFrFindNext);
            return 0;
          case kFindItemReplaceOne:
            Tell(d, *record, id, kFrReplace);
            return 0;
          case kFindItemReplaceAll:
            Tell(d, *record, id, kFrReplaceAll);
            return 0;
          case kFindItemCancel:
            Tell(d, *record, id, kFrDialogTerm);
            DestroyWindow(d);
            return 0;
          default:
            return std::nullopt;
        }
      });
  if (dlg == kNoWindow) return kNoWindow;
  SetWindowText(DialogItem(dlg, kFindItemWhat), fr.findWhat);
  if (replace) SetWindowText(DialogItem(dlg, kFindItemReplaceWith), fr.replaceWith);
  ButtonSetCheck(DialogItem(dlg, kFindItemWholeWord), (fr.flags & kFrWholeWord) != 0 ? 1 : 0);
  ButtonSetCheck(DialogItem(dlg, kFindItemMatchCase), (fr.flags & kFrMatchCase) != 0 ? 1 : 0);
  if (const Hwnd down = DialogItem(dlg, kFindItemDown); down != kNoWindow) {
    ButtonSetCheck(down, (fr.flags & kFrDown) != 0 ? 1 : 0);
    ButtonSetCheck(DialogItem(dlg, kFindItemUp), (fr.flags & kFrDown) != 0 ? 0 : 1);
  }
  EnableButtons(dlg);
  ShowWindow(dlg, ShowCmd::Show);
  SetFocus(DialogItem(dlg, kFindItemWhat));
  QueueDialogScript(dlg);
  return dlg;
}

}  // namespace

Hwnd FindTextDialog(FindReplace& fr) {
  return MakeDialog(fr, false);
}

Hwnd ReplaceTextDialog(FindReplace& fr) {
  return MakeDialog(fr, true);
}

}  // namespace plat
