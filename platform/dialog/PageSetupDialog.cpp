// The page set-up dialog.
#include "platform/dialog/PageSetupDialog.h"

#include <algorithm>
#include <cctype>
#include <charconv>

#include "platform/controls/Controls.h"
#include "platform/dialog/Dialog.h"
#include "platform/system/Printer.h"

namespace plat {
namespace {

constexpr const char* kPapers[] = {"A4", "Letter", "Legal", "A3"};

DialogControlSpec Label(int y, const char* text) {
  return {std::string(kStaticClass), -1, {8, y + 2, 60, y + 12}, text, kStyleVisible | kSsLeftNoWordWrap};
}
DialogControlSpec Field(int id, int y, unsigned more = 0) {
  return {std::string(kEditClass), id, {64, y, 120, y + 12}, "",
          kStyleVisible | kWsTabStop | kWsBorder | kEsAutoHScroll | more};
}

bool ReadNumber(Hwnd dlg, int id, int& value) {
  const std::string text = GetWindowText(DialogItem(dlg, id));
  std::size_t b = text.find_first_not_of(' ');
  if (b == std::string::npos) return false;
  int v = 0;
  const auto r = std::from_chars(text.data() + b, text.data() + text.size(), v);
  if (r.ec != std::errc() || v < 0) return false;
  value = v;
  return true;
}

}  // namespace

void PageSetupPaper(const PageSetupValues& values, int& width, int& height) {
  if (!MediaPixels(values.media, values.metric ? 2540 : 1000, width, height))
    MediaPixels("A4", values.metric ? 2540 : 1000, width, height);
  if (values.landscape) std::swap(width, height);
}

bool RunPageSetupDialog(Hwnd owner, PageSetupValues& values) {
  DialogSpec spec;
  spec.id = kPageSetupDialogId;
  spec.caption = "Page Setup";
  spec.rect = {0, 0, 190, 170};
  spec.style = kDsModalFrame;
  const char* unit = values.metric ? "(1/100 mm)" : "(1/1000 in)";
  spec.controls = {
      Label(8, "Printer:"),
      {std::string(kComboBoxClass), kPageSetupPrinter, {64, 6, 180, 80}, "",
       kStyleVisible | kWsTabStop | kCbsDropDown | kCbsAutoHScroll},
      Label(24, "Paper:"),
      {std::string(kComboBoxClass), kPageSetupPaper, {64, 22, 180, 90}, "",
       kStyleVisible | kWsTabStop | kCbsDropDown},
      {std::string(kButtonClass), kPageSetupPortrait, {64, 38, 120, 50}, "Portrait",
       kStyleVisible | kWsTabStop | kWsGroup | kBsAutoRadioButton},
      {std::string(kButtonClass), kPageSetupLandscape, {124, 38, 184, 50}, "Landscape",
       kStyleVisible | kBsAutoRadioButton},
      Label(56, (std::string("Left ") + unit).c_str()),
      Field(kPageSetupLeft, 54, kWsGroup),
      Label(72, "Top"),
      Field(kPageSetupTop, 70),
      Label(88, "Right"),
      Field(kPageSetupRight, 86),
      Label(104, "Bottom"),
      Field(kPageSetupBottom, 102),
      Label(120, "Copies"),
      Field(kPageSetupCopies, 118),
      {std::string(kButtonClass), kIdOk, {70, 146, 120, 160}, "OK",
       kStyleVisible | kWsTabStop | kWsGroup | kBsDefPushButton},
      {std::string(kButtonClass), kIdCancel, {128, 146, 178, 160}, "Cancel",
       kStyleVisible | kWsTabStop},
  };
  const Hwnd dlg = CreateDialogFromSpec(
      spec, owner, [](Hwnd d, Msg m, WParam w, LParam) -> std::optional<LResult> {
        if (m != Msg::Command) return std::nullopt;
        const int id = static_cast<int>(w & 0xFFFF);
        if (id == kIdOk || id == kIdCancel) {
          EndDialogModal(d, id);
          return 0;
        }
        return std::nullopt;
      });
  if (dlg == kNoWindow) return false;
  const Hwnd printer = DialogItem(dlg, kPageSetupPrinter);
  for (const std::string& p : values.printers) ComboBoxAddString(printer, p);
  SetWindowText(printer, values.printer);
  const Hwnd paper = DialogItem(dlg, kPageSetupPaper);
  for (const char* p : kPapers) ComboBoxAddString(paper, p);
  SetWindowText(paper, values.media);
  ButtonSetCheck(DialogItem(dlg, values.landscape ? kPageSetupLandscape : kPageSetupPortrait), 1);
  const auto put = [&](int id, int v) { SetWindowText(DialogItem(dlg, id), std::to_string(v)); };
  put(kPageSetupLeft, values.left);
  put(kPageSetupTop, values.top);
  put(kPageSetupRight, values.right);
  put(kPageSetupBottom, values.bottom);
  put(kPageSetupCopies, values.copies);

  // Centred on the owner, shown, and the printer field given the focus: the
  // modal run does not show it.
  CentreDialogOnOwner(dlg, owner);
  ShowWindow(dlg, ShowCmd::Show);
  SetFocus(printer);
  const int result = RunDialogModal(dlg);
  bool confirmed = false;
  if (result == kIdOk && IsWindow(dlg)) {
    confirmed = true;
    std::string chosen = GetWindowText(printer);
    while (!chosen.empty() && chosen.back() == ' ') chosen.pop_back();
    if (!chosen.empty()) values.printer = chosen;
    std::string media = GetWindowText(paper);
    for (char& c : media) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (const char* p : kPapers) {
      std::string name = p;
      for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      if (name == media) values.media = p;
    }
    values.landscape = ButtonGetCheck(DialogItem(dlg, kPageSetupLandscape)) != 0;
    ReadNumber(dlg, kPageSetupLeft, values.left);
    ReadNumber(dlg, kPageSetupTop, values.top);
    ReadNumber(dlg, kPageSetupRight, values.right);
    ReadNumber(dlg, kPageSetupBottom, values.bottom);
    ReadNumber(dlg, kPageSetupCopies, values.copies);
    values.copies = std::max(values.copies, 1);
  }
  if (IsWindow(dlg)) DestroyWindow(dlg);
  return confirmed;
}

}  // namespace plat
