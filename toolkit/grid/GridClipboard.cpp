// The grid and the system clipboard: the kind and size of the text there,
// copying, cutting and pasting a block of cells, and the editor's own
// clipboard commands on its text selection.
#include <algorithm>

#include "platform/controls/Controls.h"
#include "platform/dialog/MessageBox.h"
#include "platform/system/Clipboard.h"
#include "toolkit/grid/GridModel_p.h"

namespace tk {

namespace {

constexpr std::string_view kCopyFailedTitle = "Unable to Copy Data to Clipboard";
constexpr std::string_view kCopyFailedText =
    "Either the clipboard is in use by another application or there is\r"
    "insufficient memory available for the amount of data being copied";

}  // namespace

int GridClipboardKind() {
  return ClipboardTextKind(plat::ClipboardText());
}

void ClipboardBlockSize(int& rows, int& columns) {
  const std::optional<std::string> text = plat::ClipboardText();
  ClipboardTextBlockSize(text ? std::string_view(*text) : std::string_view(), rows, columns);
}

bool GridPasteTargetWritable(const GridRecord& g) {
  int rows = 1, columns = 1;
  ClipboardBlockSize(rows, columns);
  return GridPasteBlockWritable(g, rows, columns);
}

bool GridCopySelection(GridRecord& g) {
  if (g.selFirstRow == -1) return false;
  plat::ClipboardEmpty();
  if (plat::ClipboardSetText(GridSelectionText(g))) return true;
  plat::MessageBoxParams p;
  p.owner = g.window;
  p.text = std::string(kCopyFailedText);
  p.caption = std::string(kCopyFailedTitle);
  p.icon = plat::MessageBoxIcon::Stop;
  plat::MessageBox(p);
  return false;
}

void GridPasteClipboard(GridRecord& g) {
  const std::optional<std::string> text = plat::ClipboardText();
  if (!text) return;
  GridPasteText(g, *text);
}

void GridCutSelection(GridRecord& g) {
  if (GridCopySelection(g)) GridClearSelection(g);
}

void EditorClipboardCommand(GridRecord& g, plat::Hwnd edit, EditorClipCommand command) {
  const auto [from, to] = plat::EditGetSel(edit);
  const std::string text = plat::GetWindowText(edit);
  const bool selected = to > from && static_cast<std::size_t>(to) <= text.size();
  const bool writable = !(GridStyleOf(g) & kGridReadOnly) &&
                        !(plat::GetStyle(edit) & plat::kEsReadOnly);
  switch (command) {
    case EditorClipCommand::Copy:
    case EditorClipCommand::Cut:
      if (!selected) return;
      plat::ClipboardSetText(std::string_view(text).substr(static_cast<std::size_t>(from),
                                                           static_cast<std::size_t>(to - from)));
      if (command == EditorClipCommand::Cut && writable) plat::EditReplaceSel(edit, "");
      return;
    case EditorClipCommand::Clear:
      if (selected && writable) plat::EditReplaceSel(edit, "");
      return;
    case EditorClipCommand::Paste:
      if (!writable) return;
      if (std::optional<std::string> clip = plat::ClipboardText()) {
        // Within the editor's limit, as typing would be.
        const int kept = static_cast<int>(text.size()) - (to - from);
        const std::size_t room = static_cast<std::size_t>(std::max(0, plat::EditGetLimit(edit) - kept));
        if (clip->size() > room) clip->resize(room);
        plat::EditReplaceSel(edit, *clip);
      }
      return;
  }
}

}  // namespace tk
