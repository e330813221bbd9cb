// The editor's command line and its history.
#include "toolkit/editor/EditorCommandLine.h"

#include <algorithm>
#include <map>

#include "platform/controls/Controls.h"
#include "platform/controls/RichEdit.h"
#include "platform/text/Font.h"
#include "platform/window/VirtualKeys.h"
#include "toolkit/core/Events.h"
#include "toolkit/editor/EditorBuffers.h"
#include "toolkit/editor/EditorCommands.h"
#include "toolkit/editor/EditorFont.h"
#include "toolkit/editor/EditorWindow.h"

namespace tk {
namespace {

constexpr int kCommandLineId = 1004;
constexpr int kPromptId = 1005;

/// The procedures the command lines' edit parts had.
std::map<plat::Hwnd, plat::WindowProc>& EditProcs() {
  static std::map<plat::Hwnd, plat::WindowProc> procs;
  return procs;
}

EditorRecord* EditorOfCommandEdit(plat::Hwnd h) {
  for (int n = 0; n < kEditorWindowSlots; ++n)
    if (EditorRecord* rec = EditorOfWindow(n); rec != nullptr && rec->commandEdit == h) return rec;
  return nullptr;
}

bool HasHistory(const EditorRecord& rec) {
  return rec.commandLine != plat::kNoWindow && rec.commandLine != rec.commandEdit;
}

/// Width of TEXT in the editor's font.
int TextWidth(const EditorRecord& rec, std::string_view text) {
  const EditorFontChoice choice = EditorFontFor(rec.fontIndex, rec.fontSize);
  plat::FontSpec spec;
  spec.face = choice.face;
  spec.family = choice.family;
  spec.height = -std::max(1, (choice.points * 96 + 36) / 72);
  const auto font = plat::OpenFont(spec);
  return font != nullptr ? font->TextWidth(text) : static_cast<int>(text.size()) * 8;
}

/// Enter: the event, then the entry goes to the top of the history.
void Enter(EditorRecord& rec) {
  StoreEvent(kEventToolbarEnter, 0, 0, 0, rec.window);
  if (!HasHistory(rec)) return;
  const plat::Hwnd box = rec.commandLine;
  const std::string text = plat::GetWindowText(rec.commandEdit);
  if (text.find_first_not_of(' ') == std::string::npos) return;
  const auto first = plat::ComboBoxGetText(box, 0);
  if (!first || *first != text) {
    if (plat::ComboBoxGetCount(box) >= kEditorHistoryEntries)
      plat::ComboBoxDeleteString(box, kEditorHistoryEntries - 1);
    plat::ComboBoxInsertString(box, 0, text);
  }
  plat::ComboBoxSetCurSel(box, 0);
}

/// Up and Down through the history while its list is closed.
void Step(EditorRecord& rec, bool up) {
  const plat::Hwnd box = rec.commandLine;
  const int count = plat::ComboBoxGetCount(box);
  if (count == 0) return;
  int sel = plat::ComboBoxGetCurSel(box);
  if (sel < 0 || sel >= count) {
    const std::string typed = plat::GetWindowText(rec.commandEdit);
    sel = std::max(plat::ComboBoxFindString(box, -1, typed), 0);
  } else {
    sel = up ? std::max(sel - 1, 0) : std::min(sel + 1, count);
  }
  plat::ComboBoxSetCurSel(box, sel < count ? sel : -1);
  if (sel >= count) plat::SetWindowText(rec.commandEdit, "");
}

}  // namespace

void EditorMakeCommandLine(EditorRecord& rec, bool history) {
  rec.commandLineHeight = rec.lineHeight + 2 + 4;
  const plat::Hwnd frame = rec.window;
  rec.promptFrame = plat::CreateWindow({.className = plat::kStaticClass,
                                        .style = plat::kStyleChild | plat::kStyleVisible,
                                        .rect = {0, 0, 0, rec.commandLineHeight},
                                        .parent = frame,
                                        .id = kPromptId});
  if (rec.promptFrame != plat::kNoWindow)
    rec.promptText = plat::CreateWindow({.className = plat::kStaticClass,
                                         .style = plat::kStyleChild | plat::kStyleVisible |
                                                  plat::kSsCenter | plat::kSsNoPrefix,
                                         .rect = {0, 2, 0, rec.commandLineHeight},
                                         .parent = rec.promptFrame,
                                         .id = kPromptId});
  if (history) {
    rec.commandLine = plat::CreateWindow(
        {.className = plat::kComboBoxClass,
         .style = plat::kStyleChild | plat::kStyleVisible | plat::kWsTabStop | plat::kCbsDropDown |
                  plat::kCbsAutoHScroll | plat::kWsVScroll,
         .rect = {0, 0, 100, rec.commandLineHeight * 11},
         .parent = frame,
         .id = kCommandLineId});
    rec.commandEdit = plat::ComboBoxGetEdit(rec.commandLine);
    if (rec.commandLine != plat::kNoWindow)
      rec.commandLineHeight =
          std::max(rec.commandLineHeight, plat::GetWindowRect(rec.commandLine).Height());
  } else {
    rec.commandLine = plat::CreateWindow(
        {.className = plat::kEditClass,
         .style = plat::kStyleChild | plat::kStyleVisible | plat::kWsTabStop | plat::kWsBorder |
                  plat::kEsAutoHScroll,
         .rect = {0, 0, 100, rec.commandLineHeight},
         .parent = frame,
         .id = kCommandLineId});
    rec.commandEdit = rec.commandLine;
  }
  if (rec.commandEdit != plat::kNoWindow)
    EditProcs()[rec.commandEdit] = plat::SetWindowProc(rec.commandEdit, EditorCommandLineProc);
  rec.focusChild = rec.commandEdit != plat::kNoWindow ? rec.commandEdit : rec.textControl;
}

void EditorPlaceCommandLine(EditorRecord& rec, plat::Rect band) {
  if (rec.commandLine == plat::kNoWindow) return;
  const int w = std::min(rec.promptWidth, band.Width());
  if (rec.promptFrame != plat::kNoWindow) {
    plat::MoveWindow(rec.promptFrame, {band.left, band.top, band.left + w, band.bottom});
    plat::MoveWindow(rec.promptText, {0, 2, w, band.Height()});
  }
  // A combo box keeps the height it was made with for its list.
  plat::MoveWindow(rec.commandLine, {band.left + w, band.top, band.right, band.bottom});
}

int EditorHistoryCount(const EditorRecord& rec) {
  return HasHistory(rec) ? plat::ComboBoxGetCount(rec.commandLine) : 0;
}

plat::LResult EditorCommandLineProc(plat::Hwnd h, plat::Msg m, plat::WParam w, plat::LParam l) {
  const auto it = EditProcs().find(h);
  const plat::WindowProc previous = it != EditProcs().end() ? it->second : nullptr;
  const auto chain = [&] {
    return previous != nullptr ? previous(h, m, w, l) : plat::DefWindowProc(h, m, w, l);
  };
  if (m == plat::Msg::Destroy) {
    const plat::LResult r = chain();
    EditProcs().erase(h);
    return r;
  }
  EditorRecord* rec = EditorOfCommandEdit(h);
  if (rec == nullptr) return chain();
  const bool dropped = HasHistory(*rec) && plat::ComboBoxGetDroppedState(rec->commandLine);
  if (m == plat::Msg::Char && (w == '\r' || w == 0x1B) && !dropped) return 0;
  if (m != plat::Msg::KeyDown) return chain();
  const bool ctrl = plat::IsKeyDown(plat::kVkControl);
  switch (static_cast<int>(w)) {
    case plat::kVkCapital:
    case plat::kVkNumLock:
      EditorTextKey(*rec, m, w);
      return chain();
    case plat::kVkPrior:
    case plat::kVkNext:
      plat::RichEditScroll(rec->textControl,
                           w == plat::kVkPrior ? plat::kSbPageUp : plat::kSbPageDown);
      return 0;
    case plat::kVkUp:
    case plat::kVkDown:
      if (!HasHistory(*rec)) {
        plat::RichEditScroll(rec->textControl,
                             w == plat::kVkUp ? plat::kSbLineUp : plat::kSbLineDown);
        return 0;
      }
      if (dropped) return chain();
      Step(*rec, w == plat::kVkUp);
      return 0;
    case 'A':
      if (!ctrl) return chain();
      plat::EditSetSel(h, 0, -1);
      return 0;
    case plat::kVkEscape:
      if (dropped) return chain();
      plat::SetWindowText(h, "");
      return 0;
    case plat::kVkReturn:
      if (dropped) return chain();
      Enter(*rec);
      return 0;
    default:
      return chain();
  }
}

// ---------------------------------------------------------------------------

void EditorSetPrompt(int& status, std::string_view text) {
  EditorRecord* rec = CurrentEditor();
  if (rec == nullptr) {
    status = 1;
    return;
  }
  if (rec->commandLine == plat::kNoWindow) {
    status = 2;
    return;
  }
  status = 0;
  rec->promptWidth = text.empty() ? 0 : TextWidth(*rec, text) + 4;
  if (rec->promptText != plat::kNoWindow) plat::SetWindowText(rec->promptText, text);
  EditorPlaceBars(*rec);
}

void EditorSetCommandLine(int& status, std::string_view text, int caret) {
  EditorRecord* rec = CurrentEditor();
  if (rec == nullptr) {
    status = 1;
    return;
  }
  if (rec->commandLine == plat::kNoWindow) {
    status = 2;
    return;
  }
  status = 0;
  if (HasHistory(*rec)) plat::ComboBoxSetCurSel(rec->commandLine, -1);
  plat::SetWindowText(rec->commandEdit, text);
  const int at = std::clamp(caret, 0, static_cast<int>(text.size()));
  plat::EditSetSel(rec->commandEdit, at, at);
}

void EditorHasHistory(int& status) {
  const EditorRecord* rec = CurrentEditor();
  status = rec == nullptr ? 1 : HasHistory(*rec) ? 0 : 2;
}

void EditorClearHistory(int& status) {
  EditorRecord* rec = CurrentEditor();
  EditorHasHistory(status);
  if (status == 0) plat::ComboBoxResetContent(rec->commandLine);
}

void EditorAddHistory(int index, std::string_view text) {
  EditorRecord* rec = CurrentEditor();
  if (rec == nullptr || !HasHistory(*rec)) return;
  const int count = plat::ComboBoxGetCount(rec->commandLine);
  plat::ComboBoxInsertString(rec->commandLine, std::clamp(index, 0, count), text);
}

void EditorGetHistory(int index, std::string& text) {
  const EditorRecord* rec = CurrentEditor();
  if (rec == nullptr || !HasHistory(*rec)) return;
  const auto entry = plat::ComboBoxGetText(rec->commandLine, index);
  if (!entry) return;
  const std::size_t room = text.size();
  text = entry->substr(0, room);
  text.resize(room, ' ');
}

void EditorGetCommandLine(int& status, std::string& text, int length) {
  const EditorRecord* rec = CurrentEditor();
  if (rec == nullptr) {
    status = 1;
    return;
  }
  if (rec->commandLine == plat::kNoWindow) {
    status = 3;
    return;
  }
  text = plat::GetWindowText(rec->commandEdit);
  status = 0;
  if (length >= 1 && static_cast<int>(text.size()) >= length) {
    text.resize(static_cast<std::size_t>(length - 1));
    status = 2;
  }
}

}  // namespace tk
