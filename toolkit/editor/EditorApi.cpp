// The editor's programming interface on the current toolkit window.
#include "toolkit/editor/EditorApi.h"

#include <algorithm>

#include "platform/controls/RichEdit.h"
#include "toolkit/editor/EditorBuffers.h"
#include "toolkit/editor/EditorCommands.h"
#include "toolkit/editor/EditorFiles.h"
#include "toolkit/editor/EditorPositions.h"
#include "toolkit/editor/EditorWindow.h"

namespace tk {
namespace {

plat::RichStream StreamOf(const EditorRecord& rec) {
  return rec.formatting ? plat::RichStream::Rtf : plat::RichStream::Plain;
}

/// What a suspended display keeps, for the whole process.
struct Suspended {
  int firstLine = 0;
  std::pair<int, int> selection{0, 0};
};
Suspended g_suspended;

}  // namespace

void EditorInfo(int window, int item, int& value) {
  if (window == -1) {
    EditorLastModalItem(item, value);
    return;
  }
  if (item == 8) {
    value = kRichEditVersion;
    return;
  }
  if (EditorRecord* rec = EditorOfWindow(window)) EditorInfoItem(*rec, item, value);
}

void EditorInfoText(int window, int item, std::string& text) {
  if (window == -1) {
    EditorLastModalText(item, text);
    return;
  }
  if (const EditorRecord* rec = EditorOfWindow(window)) EditorInfoTextItem(*rec, item, text);
}

void EditorTextSize(int& size, int& status) {
  const EditorRecord* rec = CurrentEditor();
  if (rec == nullptr) {
    status = 1;
    return;
  }
  status = 0;
  size = static_cast<int>(plat::RichEditStreamOut(rec->textControl, StreamOf(*rec), false).size());
}

void EditorGetContents(std::string& buffer) {
  if (const EditorRecord* rec = CurrentEditor())
    buffer = plat::RichEditStreamOut(rec->textControl, StreamOf(*rec), false);
}

void EditorPutContents(int size, const std::string& buffer) {
  EditorRecord* rec = CurrentEditor();
  if (rec == nullptr) return;
  const std::size_t n = std::min(buffer.size(), static_cast<std::size_t>(std::max(size, 0)));
  const int protection = rec->protectionOn;
  rec->protectionOn = 0;
  plat::RichEditStreamIn(rec->textControl, StreamOf(*rec), std::string_view(buffer).substr(0, n),
                         false);
  rec->protectionOn = protection;
  rec->positionCache.Clear();
}

void EditorSwitchDocument(int n, int& status) {
  EditorRecord* rec = CurrentEditor();
  if (rec == nullptr) {
    status = 1;
    return;
  }
  if (!rec->multiDocument || n < 1 || n > rec->documentCount) {
    status = 2;
    return;
  }
  status = 0;
  if (n != rec->currentDocument) EditorSelectBuffer(*rec, n);
}

void EditorSuspendDisplay(int on) {
  EditorRecord* rec = CurrentEditor();
  if (rec == nullptr) return;
  const plat::Hwnd c = rec->textControl;
  if (on == 0) {
    g_suspended.firstLine = plat::RichEditGetFirstVisibleLine(c);
    g_suspended.selection = plat::RichEditGetSel(c);
    plat::ShowWindow(c, plat::ShowCmd::Hide);
    rec->displaySuspended = true;
    return;
  }
  plat::RichEditSetSel(c, g_suspended.selection.first, g_suspended.selection.second);
  plat::RichEditLineScroll(c, g_suspended.firstLine - plat::RichEditGetFirstVisibleLine(c), 0);
  plat::ShowWindow(c, plat::ShowCmd::Show);
  rec->displaySuspended = false;
}

void EditorSetModified(int unmodified, int changed) {
  EditorRecord* rec = CurrentEditor();
  if (rec == nullptr) return;
  rec->changedFlag = changed;
  plat::RichEditSetModify(rec->textControl, unmodified == 0);
  if (rec->starModified) EditorCaptionUpdate(*rec);
}

void EditorClearUndo() {
  EditorRecord* rec = CurrentEditor();
  if (rec == nullptr) return;
  plat::RichEditEmptyUndo(rec->textControl);
  EditorUpdateEditButtons(*rec);
}

void EditorScrollToLine(int line) {
  if (const EditorRecord* rec = CurrentEditor()) {
    const plat::Hwnd c = rec->textControl;
    plat::RichEditLineScroll(c, std::max(line, 0) - plat::RichEditGetFirstVisibleLine(c), 0);
  }
}

void EditorRepaint(int window) {
  if (const EditorRecord* rec = EditorOfWindow(window))
    plat::InvalidateRect(rec->textControl, std::nullopt, true);
}

void EditorSetBackup(int flag) {
  if (EditorRecord* rec = CurrentEditor()) rec->keepBackup = flag == 1;
}

void EditorSave(int saveAs) {
  if (EditorRecord* rec = CurrentEditor()) EditorSaveFile(*rec, saveAs != 0);
}

}  // namespace tk
