// Document buffers, the save prompt and the caption of editor windows.
#include "toolkit/editor/EditorBuffers.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "platform/controls/RichEdit.h"
#include "platform/dialog/MessageBox.h"
#include "toolkit/editor/EditorCommands.h"
#include "toolkit/editor/EditorFiles.h"
#include "toolkit/editor/EditorPositions.h"

namespace tk {
namespace {

/// The name texts are this long.
constexpr std::size_t kBufferNameChars = 260;

std::unique_ptr<std::vector<DocumentBuffer>>& Table() {
  static std::unique_ptr<std::vector<DocumentBuffer>> table;
  return table;
}

int Info(EditorRecord& rec, int item) {
  int value = 0;
  EditorInfoItem(rec, item, value);
  return value;
}

plat::RichStream StreamOf(const EditorRecord& rec) {
  return rec.formatting ? plat::RichStream::Rtf : plat::RichStream::Plain;
}

}  // namespace

void EditorBuffersAllocate() {
  Table() = std::make_unique<std::vector<DocumentBuffer>>(
      static_cast<std::size_t>(kEditorWindowSlots * kEditorMaxDocuments));
}

void EditorBuffersRelease() {
  Table().reset();
}

void EditorBuffersFreeWindow(int window) {
  for (int n = 1; n <= kEditorMaxDocuments; ++n)
    if (DocumentBuffer* b = EditorBuffer(window, n)) *b = DocumentBuffer{};
}

DocumentBuffer* EditorBuffer(int window, int n) {
  if (!Table() || window < 0 || window >= kEditorWindowSlots || n < 1 || n > kEditorMaxDocuments)
    return nullptr;
  return &(*Table())[static_cast<std::size_t>(window * kEditorMaxDocuments + n - 1)];
}

void EditorBufferName(int window, int n, std::string& name) {
  const std::size_t size = name.size();
  const DocumentBuffer* b = EditorBuffer(window, n);
  name = b && b->nameSet ? b->name : std::string();
  while (!name.empty() && name.back() == ' ') name.pop_back();
  if (name.size() < size) name.resize(size, ' ');
}

void EditorBufferSetName(int window, int n, std::string_view name) {
  DocumentBuffer* b = EditorBuffer(window, n);
  if (b == nullptr) return;
  b->name = std::string(name.substr(0, std::min(name.size(), kBufferNameChars)));
  b->nameSet = true;
}

int EditorBufferState(int window, int n) {
  const DocumentBuffer* b = EditorBuffer(window, n);
  return b ? b->unmodified : 0;
}

void EditorBufferSave(EditorRecord& rec, int n) {
  DocumentBuffer* b = EditorBuffer(rec.windowNumber, n);
  if (b == nullptr) return;
  b->savedText = plat::RichEditStreamOut(rec.textControl, StreamOf(rec), false);
  b->savedSize = static_cast<int>(b->savedText.size());
  b->textSet = true;
  b->textLength = Info(rec, 2);
  b->caret = Info(rec, 4);
  b->selectionEnd = Info(rec, 5);
  b->unmodified = Info(rec, 1);
  b->changedFlag = Info(rec, 3);
  b->firstVisibleLine = Info(rec, 9);
}

void EditorBufferLoad(EditorRecord& rec, int n) {
  DocumentBuffer* b = EditorBuffer(rec.windowNumber, n);
  if (b == nullptr) return;
  const plat::Hwnd c = rec.textControl;
  plat::RichEditStreamIn(c, StreamOf(rec), b->savedText, false);
  rec.positionCache.Clear();
  EditorSelect(rec, b->caret - 1, b->selectionEnd);
  plat::RichEditLineScroll(c, b->firstVisibleLine - plat::RichEditGetFirstVisibleLine(c), 0);
  plat::RichEditSetModify(c, b->unmodified == 0);
  rec.changedFlag = b->changedFlag;
  plat::RichEditEmptyUndo(c);
  b->savedText.clear();
  b->savedText.shrink_to_fit();
  b->textSet = false;
}

void EditorBufferSwitch(EditorRecord& rec, int oldDocument, int newDocument) {
  if (oldDocument == newDocument) return;
  EditorBufferSave(rec, oldDocument);
  EditorBufferLoad(rec, newDocument);
}

void EditorBufferRemove(int window, int n) {
  if (EditorBuffer(window, n) == nullptr) return;
  for (int k = n; k < kEditorMaxDocuments; ++k)
    *EditorBuffer(window, k) = std::move(*EditorBuffer(window, k + 1));
  *EditorBuffer(window, kEditorMaxDocuments) = DocumentBuffer{};
}

void EditorSelectBuffer(EditorRecord& rec, int n) {
  const int old = rec.currentDocument;
  EditorCheckViewItem(rec, old, false);
  EditorCheckViewItem(rec, n, true);
  rec.currentDocument = n;
  EditorBufferSwitch(rec, old, n);
  EditorBufferSetName(rec.windowNumber, old, rec.documentName);
  std::string name;
  EditorBufferName(rec.windowNumber, n, name);
  rec.documentName = name;
  EditorCaptionUpdate(rec);
}

int EditorSavePrompt(EditorRecord& rec) {
  const plat::Hwnd c = rec.textControl;
  if ((plat::GetStyle(c) & plat::kEsReadOnly) != 0 || !rec.allowSave || !plat::RichEditGetModify(c))
    return 1;
  const std::string question = rec.documentName.empty() || rec.promptWithoutName
                                   ? "Do you want to save changes?"
                                   : "Do you want to save changes to " + rec.documentName + "?";
  const plat::MessageBoxResult answer =
      plat::MessageBox({.owner = rec.window,
                        .text = question,
                        .caption = rec.windowTitle,
                        .buttons = plat::MessageBoxButtons::YesNoCancel,
                        .icon = plat::MessageBoxIcon::Exclamation});
  if (answer == plat::MessageBoxResult::Yes) return EditorSaveFile(rec, false);
  if (answer == plat::MessageBoxResult::No) return 1;
  return 0;
}

void EditorCaptionUpdate(EditorRecord& rec) {
  std::string caption = rec.windowTitle;
  if (!rec.documentName.empty() && !rec.promptWithoutName) {
    std::string name = rec.documentName;
    if (rec.starModified && plat::RichEditGetModify(rec.textControl)) name += " *";
    caption = caption.empty() ? name : caption + " - [" + name + "]";
  }
  plat::SetWindowText(rec.window, caption);
}

int EditorCloseCheck(EditorRecord& rec) {
  const int shown = rec.currentDocument;
  int answer = EditorSavePrompt(rec);
  for (int n = 1; answer == 1 && rec.multiDocument && n <= rec.documentCount; ++n) {
    if (n == shown || n == rec.currentDocument || EditorBufferState(rec.windowNumber, n) != 0)
      continue;
    EditorSelectBuffer(rec, n);
    answer = EditorSavePrompt(rec);
  }
  if (answer != 1 && rec.currentDocument != shown) EditorSelectBuffer(rec, shown);
  return answer;
}

}  // namespace tk
