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
#include "toolkit/core/Windows.h"
#include "toolkit/editor/EditorBuffers.h"
#include "toolkit/editor/EditorFiles.h"

namespace tk {
namespace {

struct EditorSlot {
  std::unique_ptr<EditorRecord> record;
  plat::WindowProc previousProc = nullptr;
};

std::array<EditorSlot, kEditorWindowSlots>& Editors() {
  static std::array<EditorSlot, kEditorWindowSlots> editors;
  return editors;
}

std::string FullPath(std::string_view name) {
  if (name.empty()) return {};
  std::error_code ec;
  const std::filesystem::path p = std::filesystem::absolute(std::string(name), ec);
  return ec ? std::string(name) : p.lexically_normal().string();
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

// The only document, empty, unmodified, without a held file or a name.
bool Pristine(const EditorRecord& rec) {
  return rec.documentCount == 1 && rec.documentName.empty() && rec.openFile[1] == 0 &&
         EditorControlLength(rec) == 0 && !plat::RichEditGetModify(rec.textControl);
}

void OpenFurtherDocument(EditorRecord& rec, int& status, int fileType, std::string_view fileName) {
  const std::string name = FullPath(fileName);
  if (rec.multiDocument && !Pristine(rec)) {
    EditorBufferSetName(rec.windowNumber, rec.currentDocument, rec.documentName);
    for (int n = 1; n <= rec.documentCount; ++n) {
      const DocumentBuffer* b = EditorBuffer(rec.windowNumber, n);
      const std::string& held = n == rec.currentDocument ? rec.documentName
                                : b != nullptr            ? b->name
                                                          : std::string();
      if (!name.empty() && SameName(held, name)) {
        EditorSelectBuffer(rec, n);
        return;
      }
    }
    if (rec.documentCount >= kEditorMaxDocuments) {
      status = kEditorOpenNoDocument;
      return;
    }
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
      plat::RichEditSetModify(rec.textControl, false);
      rec.changedFlag = 0;
    }
    rec.protectionOn = saved;
  } else {
    rec.documentName = name;
    if (!name.empty()) {
      EditorReleaseFile(rec, rec.currentDocument);
      if (EditorLoadFile(rec, true) == 0) rec.documentName.clear();
    }
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

void EditorOpen(int& status, EditorMode& mode, int menuId, std::uint32_t flags, int fontIndex,
                int fontSize, int fileType, std::string_view fileName, std::string_view filter) {
  (void)filter;
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
  if (WindowInsideParent(n)) {
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
  rec.fileType[1] = fileType == -1 ? 1 : fileType;
  rec.fontIndex = fontIndex;
  rec.fontSize = fontSize;
  SetWindowSpecialKind(n, 1);

  plat::ShowWindow(rec.window, plat::ShowCmd::Hide);
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
    plat::RichEditSetEventMask(rec.textControl, plat::kEnmChange | plat::kEnmSelChange |
                                                    plat::kEnmMouseEvents | plat::kEnmScroll |
                                                    plat::kEnmProtected);
  }
  EditorLayout(rec);

  slot.previousProc = plat::SetWindowProc(rec.window, EditorWndProc);
  rec.windowTitle = plat::GetWindowText(rec.window);
  rec.documentName = FullPath(fileName);
  if (!rec.documentName.empty() && rec.textControl != plat::kNoWindow &&
      EditorLoadFile(rec, (flags & kEditorQuietMissingFile) != 0) == 0)
    rec.documentName.clear();
  EditorCaptionUpdate(rec);

  if (rec.textControl != plat::kNoWindow) {
    plat::RichEditSetModify(rec.textControl, false);
    plat::SetFocus(rec.textControl);
  }
  rec.changedFlag = 0;
  plat::EnableWindow(rec.window, true);
  plat::ShowWindow(rec.window, plat::ShowCmd::Show);
}

plat::LResult EditorWndProc(plat::Hwnd h, plat::Msg m, plat::WParam w, plat::LParam l) {
  EditorRecord* rec = EditorOfHandle(h);
  if (rec == nullptr) return plat::DefWindowProc(h, m, w, l);
  EditorSlot& slot = Editors()[static_cast<std::size_t>(rec->windowNumber)];
  const plat::WindowProc previous = slot.previousProc;
  const auto chain = [&] {
    return previous != nullptr ? previous(h, m, w, l) : plat::DefWindowProc(h, m, w, l);
  };
  switch (m) {
    case plat::Msg::Size: {
      const plat::LResult r = chain();
      if (w != plat::kSizeMinimized) EditorLayout(*rec);
      return r;
    }
    case plat::Msg::SetFocus:
      if (rec->textControl != plat::kNoWindow) plat::SetFocus(rec->textControl);
      return 0;
    case plat::Msg::Close:
      if (EditorCloseCheck(*rec) == 0) return 0;
      // The application decides: the close request event, and the window stays.
      return chain();
    case plat::Msg::Destroy: {
      const int n = rec->windowNumber;
      for (int d = 1; d <= rec->documentCount; ++d) EditorReleaseFile(*rec, d);
      plat::SetWindowProc(h, previous);
      SetWindowSpecialKind(n, 0);
      slot.record.reset();
      slot.previousProc = nullptr;
      return previous != nullptr ? previous(h, m, w, l) : plat::DefWindowProc(h, m, w, l);
    }
    default:
      return chain();
  }
}

}  // namespace tk
