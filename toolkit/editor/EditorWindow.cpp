// The text editor window: conversion of a toolkit child window, layout,
// close request and destruction.
#include "toolkit/editor/EditorWindow.h"

#include <array>
#include <cctype>
#include <filesystem>
#include <memory>
#include <string>

#include "platform/controls/RichEdit.h"
#include "toolkit/core/Events.h"
#include "toolkit/core/Menus.h"
#include "toolkit/core/ModalState.h"
#include "toolkit/core/Windows.h"
#include "toolkit/editor/EditorBuffers.h"
#include "toolkit/editor/EditorCommandLine.h"
#include "toolkit/editor/EditorCommands.h"
#include "toolkit/editor/EditorFiles.h"
#include "toolkit/editor/EditorFont.h"
#include "toolkit/editor/EditorPositions.h"

namespace tk {
namespace {

struct EditorSlot {
  std::unique_ptr<EditorRecord> record;
  plat::WindowProc previousProc = nullptr;
  plat::Hwnd client = plat::kNoWindow;  // the client area, whose procedure the editor wraps
  plat::WindowProc previousClientProc = nullptr;
};

/// The values a modal editor leaves behind when it closes.
struct LastModal {
  std::array<int, 13> items{};  // EditorInfo items 1-12
  std::string findWhat, replaceWith, documentName;
};
LastModal& LastModalEditor() {
  static LastModal last;
  return last;
}

/// Semi-modeless editors open.
int g_semiModeless = 0;

std::array<EditorSlot, kEditorWindowSlots>& Editors() {
  static std::array<EditorSlot, kEditorWindowSlots> editors;
  return editors;
}

void OpenFurtherDocument(EditorRecord& rec, int& status, int fileType, std::string_view fileName) {
  const std::string name = EditorFullPath(fileName);
  const bool pristine = EditorPristine(rec);
  if (rec.multiDocument && !pristine) {
    EditorBufferSetName(rec.windowNumber, rec.currentDocument, rec.documentName);
    if (const int n = EditorFindDocument(rec, name); n > 0) {
      EditorSelectBuffer(rec, n);
      return;
    }
    if (rec.documentCount >= kEditorMaxDocuments) {
      status = kEditorOpenNoDocument;
      return;
    }
    EditorCheckViewItem(rec, rec.currentDocument, false);
    EditorBufferSave(rec, rec.currentDocument);
    rec.documentCount += 1;
    rec.currentDocument = rec.documentCount;
    const std::size_t d = static_cast<std::size_t>(rec.currentDocument);
    rec.openFile[d] = 0;
    rec.bookmark[d] = -1;
    rec.bookmarkLength[d] = 0;
    rec.documentName = name;
    // A further document starts empty, as New makes one.
    const int saved = rec.protectionOn;
    rec.protectionOn = 0;
    if (name.empty() || EditorLoadFile(rec, true) == 0) {
      EditorClearText(rec);
      plat::RichEditEmptyUndo(rec.textControl);
      plat::RichEditSetModify(rec.textControl, false);
      rec.changedFlag = 0;
    }
    rec.protectionOn = saved;
    EditorBufferSetName(rec.windowNumber, rec.currentDocument, rec.documentName);
    EditorSetViewItem(rec, rec.currentDocument, rec.documentName, true);
  } else {
    rec.documentName = name;
    if (!name.empty()) {
      EditorReleaseFile(rec, rec.currentDocument);
      if (EditorLoadFile(rec, true) == 0)
        rec.documentName.clear();
      else if (rec.multiDocument)
        EditorSetViewItem(rec, 1, name, true);
    }
    EditorBufferSetName(rec.windowNumber, rec.currentDocument, rec.documentName);
  }
  rec.fileType[static_cast<std::size_t>(rec.currentDocument)] = fileType == -1 ? 1 : fileType;
  EditorCaptionUpdate(rec);
}

unsigned TextControlStyle(const EditorRecord& rec, std::uint32_t flags) {
  unsigned style = plat::kStyleChild | plat::kStyleVisible | plat::kEsMultiline |
                   plat::kWsVScroll | plat::kEsNoHideSel | plat::kWsBorder;
  if (rec.readOnly) style |= plat::kEsReadOnly;
  if ((flags & kEditorWrap) == 0) style |= plat::kWsHScroll | plat::kEsAutoHScroll;
  return style;
}

// The read-outs: line and column, Caps Lock, Num Lock, insert mode. Every
// toolkit window has a caption, which shows the document name, so the bar
// has four parts, the last reaching the right edge.
void SetUpStatusBar(EditorRecord& rec) {
  if (rec.statusBar == plat::kNoWindow) return;
  static constexpr int kEdges[] = {130, 170, 210, -1};
  plat::StatusBarSetParts(rec.statusBar, kEdges);
  plat::StatusBarSetText(rec.statusBar, 0, "Line:1   Col:1");
  // The platform keeps no lock-key state: Caps Lock and Num Lock start off.
  plat::StatusBarSetText(rec.statusBar, 1, "");
  plat::StatusBarSetText(rec.statusBar, 2, "");
  plat::StatusBarSetText(rec.statusBar, 3, "\tINS");
}

}  // namespace

bool EditorPristine(const EditorRecord& rec) {
  return rec.documentCount == 1 && rec.documentName.empty() && rec.openFile[1] == 0 &&
         EditorControlLength(rec) == 0 && !plat::RichEditGetModify(rec.textControl);
}

int EditorFindDocument(const EditorRecord& rec, const std::string& name) {
  if (name.empty()) return 0;
  const auto same = [](std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
      if (std::tolower(static_cast<unsigned char>(a[i])) !=
          std::tolower(static_cast<unsigned char>(b[i])))
        return false;
    return true;
  };
  for (int n = 1; n <= rec.documentCount; ++n) {
    const DocumentBuffer* b = EditorBuffer(rec.windowNumber, n);
    const std::string& held = n == rec.currentDocument ? rec.documentName
                              : b != nullptr            ? b->name
                                                        : std::string();
    if (same(held, name)) return n;
  }
  return 0;
}

EditorRecord* EditorOfWindow(int n) {
  if (n < 0 || n >= kEditorWindowSlots) return nullptr;
  return Editors()[static_cast<std::size_t>(n)].record.get();
}

EditorRecord* EditorOfHandle(plat::Hwnd h) {
  if (h == plat::kNoWindow) return nullptr;
  for (EditorSlot& e : Editors())
    if (e.record && e.record->window == h) return e.record.get();
  return nullptr;
}

EditorRecord* CurrentEditor() {
  const int n = CurrentWindow();
  return WindowSlotInUse(n) ? EditorOfWindow(n) : nullptr;
}

void EditorLayout(EditorRecord& rec) {
  if (rec.textControl == plat::kNoWindow) return;
  const plat::Hwnd client = WindowClientHandle(rec.windowNumber);
  if (client == plat::kNoWindow) return;
  const plat::Rect r = plat::GetClientRect(client);
  plat::MoveWindow(rec.textControl, r, true);
}

namespace {

/// The editor's toolbar in the band the frame keeps for it.
void PlaceBands(int n, plat::Rect top, plat::Rect bottom) {
  EditorRecord* rec = EditorOfWindow(n);
  if (rec == nullptr) return;
  if (rec->toolbar != plat::kNoWindow) plat::MoveWindow(rec->toolbar, top);
  EditorPlaceCommandLine(*rec, bottom);
}

/// The text control's notifications reach the client area: the editor
/// answers those of its control and leaves the rest to the client's own
/// procedure.
plat::LResult EditorClientProc(plat::Hwnd h, plat::Msg m, plat::WParam w, plat::LParam l) {
  const int n = WindowNumberFromHandle(h);
  EditorRecord* rec = EditorOfWindow(n);
  EditorSlot* slot = n >= 0 && n < kEditorWindowSlots ? &Editors()[static_cast<std::size_t>(n)]
                                                      : nullptr;
  const plat::WindowProc previous = slot != nullptr ? slot->previousClientProc : nullptr;
  const auto chain = [&] {
    return previous != nullptr ? previous(h, m, w, l) : plat::DefWindowProc(h, m, w, l);
  };
  if (rec == nullptr || rec->textControl == plat::kNoWindow) return chain();
  if (m == plat::Msg::Command && plat::LowWord(w) == 1002) {
    if (plat::HighWord(w) == plat::kEnChange) EditorTextChanged(*rec);
    // The child that got the focus gets it back with the window.
    if (plat::HighWord(w) == plat::kEnSetFocus) rec->focusChild = rec->textControl;
    return 0;
  }
  if (m == plat::Msg::Notify && w == 1002) {
    const auto* hdr = reinterpret_cast<const plat::NotifyHeader*>(l);
    switch (hdr->code) {
      case plat::kEnSelChange:
        if (plat::IsWindowVisible(rec->textControl)) {
          EditorUpdateEditButtons(*rec);
          EditorUpdateFormatButtons(*rec);
          EditorShowPosition(*rec);
        }
        return 0;
      case plat::kEnMsgFilter: {
        const auto* f = reinterpret_cast<const plat::MsgFilterNotify*>(l);
        if (f->msg == plat::Msg::RButtonUp) {
          EditorContextMenu(*rec, plat::ClientToScreen(rec->textControl, plat::LParamToPoint(f->lParam)));
          return 1;
        }
        return EditorTextKey(*rec, f->msg, f->wParam) ? 1 : 0;
      }
      case plat::kEnProtected:
        // Only the editor itself changes protected text.
        return rec->protectionOn != 0 ? 1 : 0;
      default:
        return 0;
    }
  }
  return chain();
}

std::uint32_t EventMask(const EditorRecord& rec) {
  // Key events always: the editor's paste keys bring only text into an
  // editor without formatting, with or without a status bar.
  (void)rec;
  return plat::kEnmChange | plat::kEnmSelChange | plat::kEnmMouseEvents | plat::kEnmScroll |
         plat::kEnmProtected | plat::kEnmKeyEvents;
}

/// The caller's filter with its separator (its last character) made "|".
std::string CallerFilter(std::string_view filter) {
  std::string f(filter.substr(0, 1001));
  if (f.empty()) return f;
  const char separator = filter.back();
  for (char& c : f)
    if (c == separator) c = '|';
  return f;
}

void KeepLastModal(EditorRecord& rec) {
  LastModal& last = LastModalEditor();
  for (int item : {1, 2, 3, 4, 5, 6, 7, 9, 11, 12}) {
    int value = 0;
    EditorInfoItem(rec, item, value);
    last.items[static_cast<std::size_t>(item)] = value;
  }
  last.findWhat = rec.findWhat;
  last.replaceWith = rec.replaceWith;
  last.documentName = rec.documentName;
}

}  // namespace

void EditorPlaceBars(EditorRecord& rec) {
  const int n = rec.windowNumber;
  const int toolbarHeight =
      rec.toolbar != plat::kNoWindow ? plat::ToolbarButtonSize(rec.toolbar).height : 0;
  SetWindowBands(n, toolbarHeight, rec.commandLine != plat::kNoWindow ? rec.commandLineHeight : 0,
                 [n](plat::Rect top, plat::Rect bottom) { PlaceBands(n, top, bottom); });
  EditorLayout(rec);
}

bool EditorLastModalItem(int item, int& value) {
  if (item == 10) {
    value = 0;
    return true;
  }
  if (item < 1 || item > 12 || item == 8) return false;
  value = LastModalEditor().items[static_cast<std::size_t>(item)];
  return true;
}

void EditorLastModalText(int item, std::string& text) {
  const LastModal& last = LastModalEditor();
  const std::string* from = item == 1   ? &last.findWhat
                            : item == 2 ? &last.replaceWith
                            : item == 3 ? &last.documentName
                                        : nullptr;
  if (from == nullptr) return;
  const std::size_t room = text.size();
  text = from->substr(0, room);
  text.resize(room, ' ');
}

void EditorContextMenu(EditorRecord& rec, plat::Point screen) {
  if (rec.editMenu == plat::kNoMenu) return;
  EditorMenuStates(rec);
  const int id = plat::TrackPopupMenu(rec.editMenu, screen, rec.window);
  if (id != 0) plat::SendMessage(rec.window, plat::Msg::Command, plat::MakeWParam(id, 0), 0);
}

void EditorOpen(int& status, EditorMode& mode, int menuId, std::uint32_t flags, int fontIndex,
                int fontSize, int fileType, std::string_view fileName, std::string_view filter) {
  status = 0;
  const int n = CurrentWindow();
  if (n == 0 || !WindowSlotInUse(n) || n >= kEditorWindowSlots) {
    status = kEditorOpenMainWindow;
    return;
  }
  const int kind = WindowQuery(10);
  if (kind == 1) {
    if (EditorRecord* rec = EditorOfWindow(n)) OpenFurtherDocument(*rec, status, fileType, fileName);
    return;
  }
  if (kind != 0) {
    status = kEditorOpenOtherSpecial;
    return;
  }
  if (WindowHoldsWindows(n)) {
    status = kEditorOpenInsideChildren;
    return;
  }
  const bool inside = WindowInsideParent(n);
  if (inside) {
    // No window can be a pane of a split window: an inside child never gets menus.
    if (mode != EditorMode::Modeless) {
      mode = EditorMode::Modeless;
      status = kEditorOpenModeForced;
    } else if ((flags & kEditorNoMenu) == 0) {
      status = kEditorOpenMenuInsideParent;
    }
  }
  if (mode == EditorMode::Modal && menuId != 0) status = kEditorOpenMenuForModal;

  EditorSlot& slot = Editors()[static_cast<std::size_t>(n)];
  slot.record = std::make_unique<EditorRecord>();
  EditorRecord& rec = *slot.record;
  rec.window = WindowFrameHandle(n);
  rec.windowNumber = n;
  rec.mode = mode;
  EditorDecodeFlags(rec, flags);
  rec.wantToolbar = (flags & kEditorNoToolbar) == 0;
  rec.userFilter = CallerFilter(filter);
  rec.fileType[1] = fileType == -1 ? 1 : fileType;
  rec.fontIndex = fontIndex;
  rec.fontSize = fontSize;
  SetWindowSpecialKind(n, 1);

  plat::ShowWindow(rec.window, plat::ShowCmd::Hide);
  if (mode == EditorMode::Modal)
    RemoveWindowToolbars(n);
  else
    for (int p = 1; p <= 4; ++p)
      rec.windowToolbars[static_cast<std::size_t>(p - 1)] = WindowToolbarHandle(n, p);
  int barStatus = 0;
  EditorBuildBars(rec, menuId, (flags & kEditorNoMenu) == 0 && !inside, barStatus);
  if (barStatus != 0 && status == 0) status = barStatus;
  rec.statusBar = WindowStatusBarHandle(n);
  SetUpStatusBar(rec);
  const plat::Hwnd client = WindowClientHandle(n);
  rec.textControl = plat::CreateWindow({.className = plat::kRichEditClass,
                                        .style = TextControlStyle(rec, flags),
                                        .rect = plat::GetClientRect(client),
                                        .parent = client,
                                        .id = 1002});
  if (rec.textControl != plat::kNoWindow) {
    plat::RichEditSetLimit(rec.textControl, rec.textLimit);
    plat::RichEditSetEventMask(rec.textControl, EventMask(rec));
  }
  EditorApplyFont(rec);
  rec.focusChild = rec.textControl;
  if ((flags & (kEditorCommandLine | kEditorHistory)) != 0) {
    if (mode == EditorMode::Modal)
      status = kEditorOpenCommandLineModal;
    else
      EditorMakeCommandLine(rec, (flags & kEditorHistory) != 0);
  }
  EditorPlaceBars(rec);

  slot.previousProc = plat::SetWindowProc(rec.window, EditorWndProc);
  slot.client = client;
  slot.previousClientProc = plat::SetWindowProc(client, EditorClientProc);
  rec.windowTitle = plat::GetWindowText(rec.window);
  rec.documentName = EditorFullPath(fileName);
  if (!rec.documentName.empty() && rec.textControl != plat::kNoWindow &&
      EditorLoadFile(rec, (flags & kEditorQuietMissingFile) != 0) == 0)
    rec.documentName.clear();
  EditorBufferSetName(n, 1, rec.documentName);
  EditorSetViewItem(rec, 1, rec.documentName, true);
  EditorCaptionUpdate(rec);

  if (rec.textControl != plat::kNoWindow) plat::RichEditSetModify(rec.textControl, false);
  if (rec.focusChild != plat::kNoWindow) plat::SetFocus(rec.focusChild);
  rec.changedFlag = 0;
  EditorUpdateFormatButtons(rec);
  if (mode == EditorMode::SemiModeless) ++g_semiModeless;
  plat::EnableWindow(rec.window, true);
  plat::ShowWindow(rec.window, plat::ShowCmd::Show);
  if (rec.focusChild != plat::kNoWindow) plat::SetFocus(rec.focusChild);
  if (mode != EditorMode::Modeless) DisableOwnerWindows(rec.window, true);
  if (mode != EditorMode::Modal) return;

  // A modal editor runs until it closes; its keys go through its own table.
  const plat::HAccel keys = rec.accelerators;
  const plat::Hwnd frame = rec.window;
  plat::Message msg;
  while (EditorOfWindow(n) == &rec && !rec.modalDone && plat::GetMessage(msg)) {
    if (plat::TranslateAccelerator(frame, keys, msg)) continue;
    plat::DispatchMessage(msg);
  }
  if (EditorOfWindow(n) == &rec) {
    KeepLastModal(rec);
    EnableOwnerWindows(frame, true);
    WindowCloseChild(n);
  }
}

plat::LResult EditorWndProc(plat::Hwnd h, plat::Msg m, plat::WParam w, plat::LParam l) {
  EditorRecord* rec = EditorOfHandle(h);
  if (rec == nullptr) return plat::DefWindowProc(h, m, w, l);
  EditorSlot& slot = Editors()[static_cast<std::size_t>(rec->windowNumber)];
  const plat::WindowProc previous = slot.previousProc;
  const auto chain = [&] {
    return previous != nullptr ? previous(h, m, w, l) : plat::DefWindowProc(h, m, w, l);
  };
  static const plat::Msg findMessage = plat::RegisterWindowMessage(plat::kFindReplaceMessage);
  if (m == findMessage) {
    if (l != 0) EditorFindReport(*rec, *reinterpret_cast<const plat::FindReplace*>(l));
    return 0;
  }
  switch (m) {
    case plat::Msg::Size: {
      const plat::LResult r = chain();
      if (w != plat::kSizeMinimized) EditorLayout(*rec);
      return r;
    }
    case plat::Msg::SetFocus:
      if (rec->focusChild != plat::kNoWindow) plat::SetFocus(rec->focusChild);
      return 0;
    case plat::Msg::Command: {
      const int id = plat::LowWord(w);
      const int code = plat::HighWord(w);
      if (id == 1004 && (code == plat::kEnSetFocus || code == plat::kCbnSetFocus) &&
          rec->commandEdit != plat::kNoWindow)
        rec->focusChild = rec->commandEdit;
      if (code != 0 && code != 1) return chain();
      if (id >= kEdNew && id <= kEdViewLast) {
        if (EditorCommand(*rec, id) && EditorOfHandle(h) != nullptr)
          StoreEvent(kEventMenu, 0, plat::MakeWParam(id, 0), 0, h);
        return 0;
      }
      return chain();
    }
    case plat::Msg::EnterMenuLoop:
      EditorMenuStates(*rec);
      return chain();
    case plat::Msg::Notify: {
      auto* hdr = reinterpret_cast<plat::NotifyHeader*>(l);
      if (hdr != nullptr && hdr->code == plat::kTtnGetDispInfo && rec->toolbar != plat::kNoWindow &&
          plat::ToolbarHasButton(rec->toolbar, hdr->id)) {
        if (std::string tip = EditorTooltip(hdr->id); !tip.empty()) {
          reinterpret_cast<plat::TooltipTextNotify*>(hdr)->text = tip;
          return 0;
        }
      }
      return chain();
    }
    case plat::Msg::Close:
      if (EditorCloseCheck(*rec) == 0) return 0;
      if (rec->mode == EditorMode::Modal) {
        rec->modalDone = true;
        return 0;
      }
      // The application decides: the close request event, and the window stays.
      return chain();
    case plat::Msg::Destroy: {
      const int n = rec->windowNumber;
      EditorCloseFindDialog(*rec);
      for (int d = 1; d <= rec->documentCount; ++d) EditorReleaseFile(*rec, d);
      if (rec->mode == EditorMode::SemiModeless) {
        g_semiModeless = std::max(0, g_semiModeless - 1);
        EnableOwnerWindows(h, true);
      }
      if (rec->mode == EditorMode::Modal && !rec->modalDone) KeepLastModal(*rec);
      plat::SetWindowProc(h, previous);
      if (slot.client != plat::kNoWindow && plat::IsWindow(slot.client))
        plat::SetWindowProc(slot.client, slot.previousClientProc);
      SetWindowBands(n, 0, 0, {});
      SetWindowSpecialKind(n, 0);
      slot.record.reset();
      slot.previousProc = nullptr;
      slot.previousClientProc = nullptr;
      slot.client = plat::kNoWindow;
      return previous != nullptr ? previous(h, m, w, l) : plat::DefWindowProc(h, m, w, l);
    }
    default:
      return chain();
  }
}

}  // namespace tk
