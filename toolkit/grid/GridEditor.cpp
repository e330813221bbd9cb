// The current cell and its in-place editor: a real control of the current
// column's class, made from the column's prototype and laid over the cell,
// which takes the keyboard. Moving the current cell validates, stores and
// destroys the old editor and makes a new one; the dialog holding the grid
// learns of a move through GM_CELLCHANGE (the packed cell in lParam).
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "platform/controls/Controls.h"
#include "platform/dialog/Dialog.h"
#include "platform/draw/Canvas.h"
#include "platform/text/TextDraw.h"
#include "platform/window/VirtualKeys.h"
#include "toolkit/core/Conversion.h"
#include "toolkit/core/OsServices.h"
#include "toolkit/core/ToolkitState.h"
#include "toolkit/core/WindowUnits.h"
#include "toolkit/dialogs/GridLink.h"
#include "toolkit/dialogs/NumericFields_p.h"
#include "toolkit/grid/Grid.h"
#include "toolkit/grid/GridModel_p.h"

namespace tk {

namespace {

/// A spin editor's arrows take this many pixels of the column's width.
constexpr int kSpinArrowWidth = 12;
/// Numbers are read from at most this many characters of an editor.
constexpr std::size_t kEditorReadLength = 50;

struct EditorState {
  int pressColumn = -1;
  int pressRow = -1;
  int forwardingClick = 0;
  int focusFromOutside = 0;
  int selectionRepaintOnFocus = 1;
  int loading = 0;  // the editor's text is being set from its cell
};

EditorState& Es() {
  static EditorState s;
  return s;
}

bool IsTextLikeType(int type) {
  return type >= kColumnString && type <= kColumnDouble;
}

GridColumn& CurrentColumn(GridRecord& g) {
  return g.columns[static_cast<std::size_t>(g.currentColumn)];
}

/// The grid whose cell editor is H.
GridRecord* GridOfEditor(plat::Hwnd h) {
  GridRecord* g = GridOf(plat::GetParent(plat::GetParent(h)));
  return g != nullptr && g->editor == h ? g : nullptr;
}

bool FocusInside(const GridRecord& g) {
  const plat::Hwnd f = plat::GetFocus();
  return f != plat::kNoWindow && (f == g.window || plat::IsChild(g.window, f));
}

bool ReadOnlyGrid(const GridRecord& g) {
  return (GridStyleOf(g) & kGridReadOnly) != 0;
}

bool CurrentLocked(GridRecord& g) {
  return (CurrentColumn(g).cellFlags[static_cast<std::size_t>(g.currentRow)] & kCellLocked) != 0;
}

void SendCellChange(GridRecord& g) {
  const plat::Msg m = GridCellChangeMessage();
  const plat::Hwnd dlg = plat::GetParent(g.window);
  if (m == plat::Msg::Null || dlg == plat::kNoWindow) return;
  plat::SendMessage(dlg, m, static_cast<plat::WParam>(plat::GetWindowId(g.window)),
                    GridPackedCell(g.currentColumn, g.currentRow));
}

void SelectAllText(plat::Hwnd h) {
  plat::EditSetSel(h, 0, -1);
  plat::EditScrollCaret(h);
}

/// Where the caret stands in an edit editor (its character index).
int CaretIndex(plat::Hwnd h) {
  return plat::EditGetSel(h).second;
}

// ---------------------------------------------------------------------------
// Keys

/// Moves the current cell with the focus, Shift extending when EXTEND.
void MoveTo(GridRecord& g, int column, int row, bool extend) {
  GridSetCurrentCell(g, column, row, true, extend);
}

void KeyVertical(GridRecord& g, int step, bool shift) {
  const int row = g.currentRow + step;
  if (row < 0 || row >= g.rowCount) {
    BeepIfEnabled();
    return;
  }
  MoveTo(g, g.currentColumn, row, shift);
}

/// One column right (or left) in the row; past the row's end, with the wrap
/// style, to the next (previous) row; else a beep.
void StepColumn(GridRecord& g, bool right, bool extend) {
  const int last = g.columnCount - 1;
  const bool wrap = (GridStyleOf(g) & kGridWrapRows) != 0;
  if (right) {
    if (g.currentColumn < last)
      MoveTo(g, g.currentColumn + 1, g.currentRow, extend);
    else if (wrap && g.currentRow + 1 < g.rowCount)
      MoveTo(g, 0, g.currentRow + 1, extend);
    else
      BeepIfEnabled();
  } else {
    if (g.currentColumn > 0)
      MoveTo(g, g.currentColumn - 1, g.currentRow, extend);
    else if (wrap && g.currentRow > 0)
      MoveTo(g, last, g.currentRow - 1, extend);
    else
      BeepIfEnabled();
  }
}

void KeyHorizontal(GridRecord& g, bool right, bool shift, bool ctrl) {
  if (ctrl)
    GridScrollExtend(g, plat::Msg::HScroll, right ? plat::kSbPageDown : plat::kSbPageUp, shift);
  else
    StepColumn(g, right, shift);
}

/// The editor's keys; true when the key was used (not passed on).
bool EditorKey(GridRecord& g, plat::Hwnd h, int vk) {
  const unsigned style = GridStyleOf(g);
  const int type = CurrentColumn(g).type;
  const bool shift = plat::IsKeyDown(plat::kVkShift);
  const bool ctrl = plat::IsKeyDown(plat::kVkControl);
  const bool dropped = type == kColumnOption && plat::ComboBoxGetDroppedState(h);
  const bool boxOrMenu = type == kColumnCheckBox || type == kColumnOption;
  switch (vk) {
    case plat::kVkTab:
      if (style & kGridTabMoves) {
        StepColumn(g, !shift, false);
        return true;
      }
      if (boxOrMenu) {
        const plat::Hwnd dlg = plat::GetParent(g.window);
        const plat::Hwnd next = plat::NextTabStop(dlg, g.window, shift);
        if (next != plat::kNoWindow) plat::SetFocus(next);
        return true;
      }
      return false;
    case plat::kVkReturn:
      if (!(style & kGridEnterMovesDown) || dropped) return false;
      KeyVertical(g, 1, false);
      return true;
    case plat::kVkDown:
    case plat::kVkUp:
      if (dropped) return false;
      KeyVertical(g, vk == plat::kVkDown ? 1 : -1, shift);
      return true;
    case plat::kVkPrior:
      if (dropped) return false;
      if (ctrl)
        MoveTo(g, g.currentColumn, 0, shift);
      else
        GridScrollExtend(g, plat::Msg::VScroll, plat::kSbPageUp, shift);
      return true;
    case plat::kVkNext:
      if (dropped) return false;
      if (ctrl)
        MoveTo(g, g.currentColumn, g.rowCount - 1, shift);
      else if (g.visibleRows < g.rowCount)
        GridScrollExtend(g, plat::Msg::VScroll, plat::kSbPageDown, shift);
      return true;
    case plat::kVkHome:
    case plat::kVkEnd:
      if (!ctrl) return false;
      MoveTo(g, vk == plat::kVkHome ? 0 : g.columnCount - 1, g.currentRow, shift);
      return true;
    case plat::kVkLeft:
      if (!boxOrMenu && g.anchorRow == -1 && CaretIndex(h) > 0) return false;
      KeyHorizontal(g, false, shift, ctrl);
      return true;
    case plat::kVkRight:
      if (!boxOrMenu &&
          CaretIndex(h) < static_cast<int>(plat::GetWindowText(h).size()))
        return false;
      KeyHorizontal(g, true, shift, ctrl);
      return true;
    case plat::kVkEscape:
      if (!boxOrMenu) return false;
      plat::SendMessage(plat::GetParent(g.window), plat::Msg::Close, 0, 0);
      return true;
    case plat::kVkInsert:
      if (!shift || GridClipboardKind() != 2) return false;
      if (GridPasteTargetWritable(g)) GridPasteClipboard(g);
      return true;
    case plat::kVkDelete:
      if (g.selFirstRow == -1) return false;
      if (GridSelectionWritable(g)) {
        if (shift)
          GridCutSelection(g);
        else
          GridClearSelection(g);
      }
      return true;
    default:
      return false;
  }
}

/// A single value goes through the clipboard as the edit editor's text
/// selection; false (passed on) for other editors.
bool TextClipboard(GridRecord& g, plat::Hwnd h, EditorClipCommand command) {
  if (!IsTextLikeType(CurrentColumn(g).type)) return false;
  EditorClipboardCommand(g, h, command);
  return true;
}

/// The editor's characters; true when the character was used.
bool EditorChar(GridRecord& g, plat::Hwnd h, std::uint32_t ch) {
  const int type = CurrentColumn(g).type;
  switch (ch) {
    case 1:  // Ctrl+A
      if (!IsTextLikeType(type)) return false;
      SelectAllText(h);
      return true;
    case '\t':
    case '\r':
    case '\n':
      return true;
    case 3:  // Ctrl+C
      if (g.selFirstRow == -1) return TextClipboard(g, h, EditorClipCommand::Copy);
      GridCopySelection(g);
      return true;
    case 0x16:  // Ctrl+V
      if (GridClipboardKind() != 2) return TextClipboard(g, h, EditorClipCommand::Paste);
      if (GridPasteTargetWritable(g)) GridPasteClipboard(g);
      return true;
    case 0x18:  // Ctrl+X
      if (g.selFirstRow == -1) return TextClipboard(g, h, EditorClipCommand::Cut);
      if (GridSelectionWritable(g)) GridCutSelection(g);
      return true;
    default:
      return false;
  }
}

// ---------------------------------------------------------------------------
// Focus

bool FromInside(const GridRecord& g, plat::Hwnd previous) {
  return previous != plat::kNoWindow && (previous == g.window || plat::IsChild(g.window, previous));
}

/// A left button was just pressed on the frame (title bar or border) of a
/// toolkit window that holds the grid.
bool FramePressAround(const GridRecord& g) {
  const plat::Hwnd frame = FramePressWindow();
  return frame != plat::kNoWindow && plat::IsChild(frame, g.window);
}

void EditorGainsFocus(GridRecord& g, plat::Hwnd previous) {
  EditorState& s = Es();
  const bool inside = FromInside(g, previous);
  if (inside && FramePressAround(g)) {
    // The frame press moved the focus about: no selection repaint.
    FramePressWindow() = plat::kNoWindow;
  } else if (inside) {
    if (s.selectionRepaintOnFocus)
      GridRepaintSelection(g);
    else
      s.selectionRepaintOnFocus = 1;
    s.focusFromOutside = 0;
  } else {
    s.focusFromOutside = 1;
  }
  if (!(s.forwardingClick && inside)) SendCellChange(g);
}

void EditorLosesFocus(GridRecord& g, plat::Hwnd next) {
  EditorState& s = Es();
  if (FramePressAround(g)) return;
  s.selectionRepaintOnFocus = next != g.window && !plat::IsChild(g.window, next) ? 1 : 0;
  if (s.selectionRepaintOnFocus) GridRepaintSelection(g);
}

// ---------------------------------------------------------------------------
// Painting a selected current cell

/// The editor paints itself in the selected look while the focus is in the
/// grid and the current cell lies in the selected block.
bool SelectedLook(const GridRecord& g) {
  return FocusInside(g) && GridCellInSelection(g, g.currentColumn, g.currentRow);
}

/// A check box's own picture with its button-face pixels in the highlight
/// colour. False when it could not be made (the box then paints itself).
bool PaintSelectedCheckBox(plat::Hwnd h) {
  static bool takingPicture = false;
  if (takingPicture) return false;
  plat::Surface picture, result, scratch;
  takingPicture = true;
  const bool made = plat::PaintInto(h, picture);
  takingPicture = false;
  if (!made) return false;
  MakeHighlightBitmap(picture, result, scratch);
  plat::PaintContext ctx = plat::BeginPaint(h);
  if (ctx.surface != nullptr) {
    plat::Canvas cv(*ctx.surface, ctx.origin, ctx.clip);
    cv.BitBlt({0, 0}, result.Width(), result.Height(), result, {0, 0}, plat::kSrcCopy);
  }
  plat::EndPaint(h, ctx);
  return true;
}

/// A read-only edit: its text in highlight text on highlight, placed as the
/// edit places it, and a one-pixel frame along its client edges.
void PaintSelectedReadOnlyEdit(const GridRecord& g, plat::Hwnd h) {
  plat::PaintContext ctx = plat::BeginPaint(h);
  if (ctx.surface != nullptr) {
    plat::Canvas cv(*ctx.surface, ctx.origin, ctx.clip);
    const plat::Rect client = plat::GetClientRect(h);
    cv.FillRect(client, plat::Brush::Solid(plat::kColourSelection));
    const std::string text = plat::GetWindowText(h);
    if (g.font != nullptr && !text.empty()) {
      constexpr int kMargin = 3;
      const int width = g.font->TextExtent(text).width;
      const unsigned align = plat::GetStyle(h) & (plat::kEsCenter | plat::kEsRight);
      int x = client.left + kMargin;
      if (align & plat::kEsRight)
        x = client.right - kMargin - width;
      else if (align & plat::kEsCenter)
        x = client.left + (client.Width() - width) / 2;
      const int y = client.top + (client.Height() - g.font->Metrics().height) / 2;
      plat::TextStyle style;
      style.colour = plat::kColourSelectionText;
      const plat::Rect clip = client.Intersect(ctx.clip).Offset(ctx.origin.x, ctx.origin.y);
      plat::DrawText(*ctx.surface, *g.font, {x + ctx.origin.x, y + ctx.origin.y}, text, style, clip);
    }
    cv.SetPen(plat::Pen::Solid(plat::kColourText));
    cv.MoveTo({client.left, client.top});
    cv.LineTo({client.right - 1, client.top});
    cv.LineTo({client.right - 1, client.bottom - 1});
    cv.LineTo({client.left, client.bottom - 1});
    cv.LineTo({client.left, client.top});
  }
  plat::EndPaint(h, ctx);
}

/// True when the editor was painted in the selected look here.
bool PaintEditor(GridRecord& g, plat::Hwnd h) {
  if (!SelectedLook(g)) return false;
  const int type = CurrentColumn(g).type;
  if (type == kColumnCheckBox) return PaintSelectedCheckBox(h);
  if (IsTextLikeType(type) && (plat::GetStyle(h) & plat::kEsReadOnly)) {
    PaintSelectedReadOnlyEdit(g, h);
    return true;
  }
  return false;
}

plat::LResult CellEditorProc(const plat::WindowProc& base, plat::Hwnd h, plat::Msg m,
                             plat::WParam w, plat::LParam l) {
  auto pass = [&] { return base ? base(h, m, w, l) : plat::DefWindowProc(h, m, w, l); };
  GridRecord* gp = GridOfEditor(h);
  if (gp == nullptr) return pass();
  GridRecord& g = *gp;
  switch (m) {
    case plat::Msg::GetDlgCode: {
      const unsigned style = GridStyleOf(g);
      if (style & kGridEnterMovesDown) return plat::kDlgcWantAllKeys;
      return plat::kDlgcWantArrows | plat::kDlgcWantChars |
             ((style & kGridTabMoves) ? plat::kDlgcWantTab : 0);
    }
    case plat::Msg::KeyDown:
      if (EditorKey(g, h, static_cast<int>(w))) return 0;
      return pass();
    case plat::Msg::Char:
      if (EditorChar(g, h, static_cast<std::uint32_t>(w))) return 0;
      return pass();
    case plat::Msg::SetFocus: {
      EditorGainsFocus(g, static_cast<plat::Hwnd>(w));
      if (GridOfEditor(h) == nullptr) return 0;
      const plat::LResult r = pass();
      plat::UpdateWindow(h);
      return r;
    }
    case plat::Msg::KillFocus:
      EditorLosesFocus(g, static_cast<plat::Hwnd>(w));
      return pass();
    case plat::Msg::MouseWheel:
      return plat::SendMessage(g.window, m, w, l);
    case plat::Msg::LButtonDown:
      // Shift+click on the current cell: the block between it and itself
      // is no block.
      if ((w & plat::kMkShift) && !Es().forwardingClick) GridDeselect(g);
      return pass();
    case plat::Msg::RButtonUp:
      if (g.selFirstRow == -1) plat::SetFocus(h);
      if (GridOfEditor(h) == &g)
        GridOpenContextMenu(g, h, plat::ClientToScreen(h, plat::LParamToPoint(l)));
      return 0;
    case plat::Msg::MouseMove: {
      const plat::LResult r = pass();
      if ((w & plat::kMkLButton) && GridOfEditor(h) == &g)
        GridDragSelect(g, plat::ScreenToClient(g.cellArea,
                                               plat::ClientToScreen(h, plat::LParamToPoint(l))));
      return r;
    }
    case plat::Msg::NcHitTest:
      if (g.displayOnly) return plat::kHtTransparent;
      return pass();
    case plat::Msg::Paint:
      if (PaintEditor(g, h)) return 0;
      return pass();
    case plat::Msg::SetText: {
      const plat::LResult r = pass();
      plat::UpdateWindow(h);
      return r;
    }
    default:
      return pass();
  }
}

DialogField* EditorFieldOf(plat::Hwnd h) {
  GridRecord* g = GridOfEditor(h);
  return g ? &g->editorField : nullptr;
}

/// The editor text of a number cell.
std::string NumberText(const GridColumn& c, int row) {
  std::string text;
  const auto r = static_cast<std::size_t>(row);
  const std::string format = c.settings.format ? *c.settings.format : std::string(kDefaultGridFormat);
  if (c.type == kColumnInteger) {
    text.assign(kNumberTextLength, ' ');
    yyint2st(c.ints[r], text);
  } else if (c.type == kColumnReal) {
    text.assign(kNumberTextLength, ' ');
    yyrea2st(c.reals[r], text, format);
  } else {
    text.assign(kNumberTextLength, ' ');
    yydbl2st(c.doubles[r], text, format);
  }
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

}  // namespace

// ---------------------------------------------------------------------------
// The editor's life

std::int32_t GridPackedCell(int column, int row) {
  return (column + 1) * 262144 + row + 1;
}

void GridSetEditorText(GridRecord& g, std::string_view text) {
  if (g.editor == plat::kNoWindow) return;
  EditorState& s = Es();
  ++s.loading;
  plat::SetWindowText(g.editor, text);
  --s.loading;
}

void GridReadOnlyChanged(GridRecord& g) {
  if (g.editor != plat::kNoWindow && g.currentColumn >= 0 && g.currentColumn < g.columnCount) {
    const GridColumn& c = CurrentColumn(g);
    const bool locked = g.currentRow >= 0 && static_cast<std::size_t>(g.currentRow) < c.cellFlags.size() &&
                        (c.cellFlags[static_cast<std::size_t>(g.currentRow)] & kCellLocked) != 0;
    GridEditorSetLocked(g.editor, c.type, ReadOnlyGrid(g) || locked, true);
  }
  if (g.cellArea != plat::kNoWindow) plat::InvalidateRect(g.cellArea, std::nullopt, true);
}

void GridEditorSetLocked(plat::Hwnd editor, int type, bool locked, bool now) {
  if (editor == plat::kNoWindow) return;
  GridRecord* g = GridOfEditor(editor);
  if (!locked && g != nullptr && ReadOnlyGrid(*g)) return;
  if (IsTextLikeType(type)) {
    plat::EditSetReadOnly(editor, locked);
    const plat::Hwnd buddy = g != nullptr ? g->editorField.rec.buddy : plat::kNoWindow;
    if (buddy != plat::kNoWindow) plat::EnableWindow(buddy, !locked);
    if (now) {
      plat::UpdateWindow(editor);
      if (buddy != plat::kNoWindow) plat::UpdateWindow(buddy);
    }
  } else if (type == kColumnCheckBox) {
    const unsigned style = plat::GetStyle(editor);
    plat::ButtonSetStyle(editor, (style & ~plat::kBsTypeMask) |
                                     (locked ? plat::kBsCheckBox : plat::kBsAutoCheckBox));
  }
}

void GridLoadCellEditor(GridRecord& g) {
  if (g.editor == plat::kNoWindow) return;
  GridColumn& c = CurrentColumn(g);
  const auto row = static_cast<std::size_t>(g.currentRow);
  ControlRecord& rec = g.editorField.rec;
  if (!c.cellColours.empty()) {
    const CellColour& cc = c.cellColours[row];
    rec.textColour = (cc.flags & 1) ? cc.text[0] + 256 * cc.text[1] + 65536 * cc.text[2] : -1;
    rec.backgroundColour =
        (cc.flags & 2) ? cc.background[0] + 256 * cc.background[1] + 65536 * cc.background[2] : -1;
  }
  const bool present = (c.cellFlags[row] & kCellPresent) != 0;
  switch (c.type) {
    case kColumnString:
      GridSetEditorText(g, c.texts[row]);
      break;
    case kColumnInteger:
    case kColumnReal:
    case kColumnDouble:
      GridSetEditorText(g, present ? NumberText(c, g.currentRow) : std::string());
      rec.value = !present                     ? 0.0
                  : c.type == kColumnInteger ? c.ints[row]
                  : c.type == kColumnReal    ? static_cast<double>(c.reals[row])
                                             : c.doubles[row];
      break;
    case kColumnCheckBox:
      GridSetEditorText(g, std::string(31, ' '));
      plat::ButtonSetCheck(g.editor, c.ints[row] != 0 ? plat::kChecked : plat::kUnchecked);
      break;
    case kColumnOption:
      plat::ComboBoxResetContent(g.editor);
      for (const std::string& o : GridColumnOptions(c)) plat::ComboBoxAddString(g.editor, o);
      plat::ComboBoxSetCurSel(g.editor, c.ints[row]);
      break;
    default:
      break;
  }
  if (IsTextLikeType(c.type)) plat::EditSetModify(g.editor, false);
  rec.hasValue = (c.cellFlags[row] & kCellEntered) ? 1 : 0;
  GridEditorSetLocked(g.editor, c.type, (c.cellFlags[row] & kCellLocked) != 0, false);
  plat::InvalidateRect(g.editor, std::nullopt, true);
}

void GridSaveCellEditor(GridRecord& g) {
  if (g.editor == plat::kNoWindow || g.columns.empty()) return;
  GridColumn& c = CurrentColumn(g);
  const auto row = static_cast<std::size_t>(g.currentRow);
  const ControlRecord& rec = g.editorField.rec;
  switch (c.type) {
    case kColumnString: {
      std::string text = plat::GetWindowText(g.editor);
      if (c.textLength > 0 && text.size() > static_cast<std::size_t>(c.textLength))
        text.resize(static_cast<std::size_t>(c.textLength));
      c.texts[row] = text;
      return;
    }
    case kColumnCheckBox:
      c.ints[row] = plat::ButtonGetCheck(g.editor) == plat::kChecked ? 1 : 0;
      return;
    case kColumnOption:
      c.ints[row] = plat::ComboBoxGetCurSel(g.editor);
      return;
    default:
      break;
  }
  std::string text = plat::GetWindowText(g.editor);
  if (text.size() > kEditorReadLength) text.resize(kEditorReadLength);
  const bool edited = plat::EditGetModify(g.editor);
  if (c.type == kColumnInteger) {
    // Read in double precision, so that every 32-bit integer comes back
    // exactly, then truncated toward zero; a number outside the 32-bit
    // range (only when stored unvalidated) gives 0.
    double d = rec.value;
    if (edited) ParseDoubleQuiet(d, text);
    const double t = std::trunc(d);
    const bool fits = t >= std::numeric_limits<std::int32_t>::min() &&
                      t <= std::numeric_limits<std::int32_t>::max();
    c.ints[row] = fits ? static_cast<std::int32_t>(t) : 0;
  } else if (c.type == kColumnReal) {
    float v = static_cast<float>(rec.value);
    if (edited) ParseRealQuiet(v, text);
    c.reals[row] = v;
  } else {
    double v = rec.value;
    if (edited) ParseDoubleQuiet(v, text);
    c.doubles[row] = v;
  }
  if (FirstNonBlank(text) > 0)
    c.cellFlags[row] |= kCellPresent | kCellEntered;
  else
    c.cellFlags[row] &= static_cast<std::uint8_t>(~kCellPresent);
}

void GridCreateCellEditor(GridRecord& g) {
  if (g.editor != plat::kNoWindow || g.columnCount <= 0 || g.rowCount <= 0 ||
      g.cellArea == plat::kNoWindow || !plat::IsWindowEnabled(g.window))
    return;
  GridColumn& c = CurrentColumn(g);
  int x = 0;
  for (int j = g.leftColumn; j < g.currentColumn; ++j)
    x += g.columns[static_cast<std::size_t>(j)].width - 1;
  for (int j = g.currentColumn; j < g.leftColumn; ++j)
    x -= g.columns[static_cast<std::size_t>(j)].width - 1;
  const int y = (g.currentRow - g.topRow) * (g.rowHeight - 1);
  int width = c.width;
  int height = g.rowHeight;
  const bool spin = IsNumericClass(c.className) && c.className.size() >= 4 &&
                    SameClass(std::string_view(c.className).substr(c.className.size() - 4), "SPIN");
  if (spin) width = std::max(1, width - kSpinArrowWidth);
  if (c.type == kColumnOption) height = std::max(height, plat::GetWindowRect(c.prototype).Height());
  plat::CreateParams p;
  // The numeric classes are edits whose behaviour the toolkit adds.
  const std::string cls = IsNumericClass(c.className) ? std::string(plat::kEditClass) : c.className;
  p.className = cls;
  unsigned style = (plat::GetStyle(c.prototype) | plat::kStyleVisible | plat::kWsBorder) &
                   ~plat::kStyleDisabled;
  if (ReadOnlyGrid(g) && IsTextLikeType(c.type)) style |= plat::kEsReadOnly;
  if (c.type == kColumnOption) style |= plat::kWsVScroll;
  p.style = style;
  p.rect = {x, y, x + width, y + height};
  p.parent = g.cellArea;
  p.id = -1;
  // The title is a view: the text it shows must outlive the call.
  const std::string title = c.type == kColumnCheckBox ? std::string(31, ' ') : std::string();
  p.title = title;
  const plat::Hwnd h = plat::CreateWindow(p);
  if (h == plat::kNoWindow) return;
  g.editor = h;
  g.editorField = DialogField{};
  g.editorField.hwnd = h;
  g.editorField.className = c.className;
  g.editorField.id = -1;
  g.editorField.rec = c.settings;
  g.editorField.rec.buddy = plat::kNoWindow;
  plat::SetControlFont(h, g.font);
  if (c.type == kColumnString) plat::EditSetLimit(h, c.textLength);
  if (c.type == kColumnInteger) plat::EditSetLimit(h, 11);
  if (IsNumericClass(c.className)) SetupNumericEditor(g.editorField, g.cellArea);
  GridLoadCellEditor(g);
  auto own = std::make_shared<plat::WindowProc>();
  *own = plat::SetWindowProc(h, [own](plat::Hwnd hw, plat::Msg m, plat::WParam w, plat::LParam l) {
    const plat::WindowProc previous = *own;
    return CellEditorProc(previous, hw, m, w, l);
  });
  plat::AttachDialogKeys(h);
}

void GridDestroyCellEditor(GridRecord& g) {
  if (g.editor == plat::kNoWindow) return;
  GridSaveCellEditor(g);
  const plat::Hwnd h = g.editor;
  const plat::Hwnd buddy = g.editorField.rec.buddy;
  // Hidden first: a numeric editor that goes counts as left, not refused.
  plat::ShowWindow(h, plat::ShowCmd::Hide);
  g.editor = plat::kNoWindow;
  if (buddy != plat::kNoWindow) plat::DestroyWindow(buddy);
  plat::DestroyWindow(h);
  g.editorField = DialogField{};
}

void GridSetCurrentCell(GridRecord& g, int column, int row, bool takeFocus, bool extend) {
  EditorState& s = Es();
  if (g.columnCount <= 0 || g.rowCount <= 0) return;
  column = std::clamp(column, 0, g.columnCount - 1);
  row = std::clamp(row, 0, g.rowCount - 1);
  const bool same = column == g.currentColumn && row == g.currentRow;
  if (same && g.editor != plat::kNoWindow && !s.focusFromOutside) return;
  if (!same && GridEditorRefusesMove(g)) return;
  const int oldColumn = g.currentColumn, oldRow = g.currentRow;
  const int anchorColumn = g.anchorColumn, anchorRow = g.anchorRow;
  GridDestroyCellEditor(g);
  g.currentColumn = column;
  g.currentRow = row;
  GridCreateCellEditor(g);
  if (takeFocus)
    plat::SetFocus(g.window);
  else if (FocusInside(g))
    SendCellChange(g);
  if (extend && !(anchorRow != -1 && anchorColumn == column && anchorRow == row)) {
    if (anchorRow == -1) {
      GridSelectBlock(g, oldColumn, oldRow, column, row);
      g.anchorColumn = oldColumn;
      g.anchorRow = oldRow;
    } else {
      GridSelectBlock(g, anchorColumn, anchorRow, column, row);
      g.anchorColumn = anchorColumn;
      g.anchorRow = anchorRow;
    }
  } else {
    GridDeselect(g);
  }
}

void GridScrollExtend(GridRecord& g, plat::Msg message, int code, bool extend) {
  const int column = g.currentColumn, row = g.currentRow;
  const int anchorColumn = g.anchorColumn, anchorRow = g.anchorRow;
  plat::SendMessage(g.window, message, plat::MakeWParam(code, 0), 0);
  if (!extend) return;
  if (anchorRow == -1) {
    GridSelectBlock(g, column, row, g.currentColumn, g.currentRow);
    g.anchorColumn = column;
    g.anchorRow = row;
  } else if (anchorColumn == g.currentColumn && anchorRow == g.currentRow) {
    GridDeselect(g);
  } else {
    GridSelectBlock(g, anchorColumn, anchorRow, g.currentColumn, g.currentRow);
    g.anchorColumn = anchorColumn;
    g.anchorRow = anchorRow;
  }
}

void GridTakeFocus(GridRecord& g, plat::Hwnd previous) {
  if (!g.built) return;
  if (g.rowCount > 0 && g.columnCount > 0) {
    if (g.currentRow < g.topRow)
      GridScrollRows(g, g.currentRow - g.topRow);
    else if (g.currentRow - g.topRow >= g.visibleRows && g.visibleRows > 0)
      GridScrollRows(g, g.currentRow - g.visibleRows + 1 - g.topRow);
  }
  if (g.currentColumn < g.leftColumn) {
    GridScrollColumns(g, g.currentColumn - g.leftColumn);
  } else if (g.currentColumn > g.rightColumn) {
    const int width = GridCellAreaWidth(g);
    int first = g.currentColumn, total = 1;
    for (int j = g.currentColumn; j >= 0; --j) {
      total += g.columns[static_cast<std::size_t>(j)].width - 1;
      if (total > width) break;
      first = j;
    }
    GridScrollColumns(g, first - g.leftColumn);
  }
  if (g.editor == plat::kNoWindow) return;
  plat::SetFocus(g.editor);
  if (g.editor != plat::kNoWindow && IsTextLikeType(CurrentColumn(g).type) &&
      previous == g.cellArea)
    SelectAllText(g.editor);
}

void GridCellAreaButton(GridRecord& g, plat::Msg m, plat::WParam w, plat::Point p) {
  EditorState& s = Es();
  const bool right = m == plat::Msg::RButtonDown;
  if (right && g.selFirstRow != -1) return;
  const int step = g.rowHeight - 1;
  if (step <= 0 || p.y < 0 || p.x < 0) return;
  const int row = g.topRow + p.y / step;
  const int lastRow = std::min(g.rowCount - 1, g.topRow + g.shownRows - 1);
  if (row > lastRow) return;
  int column = -1;
  for (int j = g.leftColumn; j <= g.rightColumn + 1 && j < g.columnCount; ++j) {
    const int x0 = GridColumnLine(g, j);
    if (p.x >= x0 && p.x < x0 + g.columns[static_cast<std::size_t>(j)].width - 1) {
      column = j;
      break;
    }
  }
  if (column < 0) return;
  if (!right && (w & plat::kMkShift)) {
    if (column == g.currentColumn && row == g.currentRow)
      GridDeselect(g);
    else
      GridSelectBlock(g, g.currentColumn, g.currentRow, column, row);
    return;
  }
  const bool entering = g.editor == plat::kNoWindow || column != g.currentColumn || row != g.currentRow;
  GridSetCurrentCell(g, column, row, false, false);
  bool typeOver = false;
  if (g.editor != plat::kNoWindow && g.currentColumn == column && g.currentRow == row) {
    const plat::Point at = plat::ScreenToClient(g.editor, plat::ClientToScreen(g.cellArea, p));
    s.forwardingClick = 1;
    plat::SendMessage(g.editor, m, w, plat::PointToLParam(at));
    s.forwardingClick = 0;
    // A text cell entered by a left click takes the focus as from the cell
    // area, which selects its whole text: what is typed next replaces the
    // value instead of joining it at the caret. The editor lets go of the
    // press, so that a shaking hand does not shrink the selection again.
    typeOver = !right && entering && g.editor != plat::kNoWindow &&
               IsTextLikeType(CurrentColumn(g).type) && plat::GetFocus() == g.editor;
    if (typeOver && plat::GetCapture() == g.editor) plat::ReleaseCapture();
  }
  if (column > g.rightColumn) {
    const int width = GridCellAreaWidth(g);
    int first = column;
    int total = 1;
    for (int j = column; j >= 0; --j) {
      total += g.columns[static_cast<std::size_t>(j)].width - 1;
      if (total > width) break;
      first = j;
    }
    GridScrollColumns(g, first - g.leftColumn);
    s.pressColumn = column + 1;
  } else {
    s.pressColumn = column;
  }
  if (row - g.topRow >= g.visibleRows) {
    GridScrollRows(g, 1);
    s.pressRow = row + 1;
  } else {
    s.pressRow = row;
  }
  if (typeOver && g.editor != plat::kNoWindow && plat::GetFocus() == g.editor)
    GridTakeFocus(g, g.cellArea);
}

void GridDragSelect(GridRecord& g, plat::Point p) {
  EditorState& s = Es();
  const int step = g.rowHeight - 1;
  if (step <= 0 || g.columnCount <= 0 || g.rowCount <= 0) return;
  // Left of or above the visible cells counts as the first visible column
  // or row; beyond the last drawn column or row changes nothing.
  const int row = p.y < 0 ? g.topRow : g.topRow + p.y / step;
  if (row > std::min(g.rowCount - 1, g.topRow + g.shownRows - 1)) return;
  int column = -1;
  if (p.x < 0) {
    column = g.leftColumn;
  } else {
    for (int j = g.leftColumn; j <= g.rightColumn + 1 && j < g.columnCount; ++j)
      if (p.x < GridColumnLine(g, j) + g.columns[static_cast<std::size_t>(j)].width - 1) {
        column = j;
        break;
      }
  }
  if (column < 0) return;
  if (s.pressColumn != -1) {
    if (column == s.pressColumn && row == s.pressRow) return;
    s.pressColumn = s.pressRow = -1;
  }
  if (column == g.currentColumn && row == g.currentRow)
    GridDeselect(g);
  else
    GridSelectBlock(g, g.currentColumn, g.currentRow, column, row);
}

void GridEditorCommand(GridRecord& g, int code) {
  if (g.editor == plat::kNoWindow) return;
  const int type = CurrentColumn(g).type;
  if (type == kColumnOption && code == plat::kCbnDropDown) {
    g.droppedList = g.editor;
    return;
  }
  if (type == kColumnOption && code == plat::kCbnCloseUp) {
    g.droppedList = plat::kNoWindow;
    return;
  }
  if (IsTextLikeType(type) && code == plat::kEnChange) {
    if (Es().loading) return;
    g.modified = g.changed = 1;
    GridDeselect(g);
    const DialogField* f = GridField(g);
    if (f != nullptr && f->rec.reportEveryChange) SendCellChange(g);
    return;
  }
  const bool click = (type == kColumnCheckBox && code == plat::kBnClicked) ||
                     (type == kColumnOption && code == plat::kCbnSelChange);
  if (!click) return;
  g.modified = g.changed = 1;
  if (!ReadOnlyGrid(g) && !CurrentLocked(g)) {
    SendCellChange(g);
    GridDeselect(g);
  } else if (type == kColumnOption) {
    plat::ComboBoxSetCurSel(g.editor,
                            CurrentColumn(g).ints[static_cast<std::size_t>(g.currentRow)]);
  }
}

bool GridEditorSpinNotify(GridRecord& g, const plat::NotifyHeader& hdr) {
  if (g.editor == plat::kNoWindow || hdr.from != g.editorField.rec.buddy ||
      hdr.code != plat::kUdnDeltaPos)
    return false;
  StepSpinField(g.editorField, hdr);
  // The arrows keep their own position, so no scroll follows the step:
  // the step is the arrows' scroll.
  GridEditorSpinScroll(g, plat::kSbThumbPosition);
  return true;
}

void GridEditorSpinScroll(GridRecord& g, int code) {
  if (code == plat::kSbEndScroll) return;
  const LoadedDialog* d = FindLoaded(plat::GetParent(g.window));
  if (d == nullptr || !IsInModal(*d)) SendCellChange(g);
  g.modified = g.changed = 1;
  GridDeselect(g);
}

bool GridEditorRefusesMove(GridRecord& g) {
  if (g.editor == plat::kNoWindow || ValidateNumericField(g.editor, g.editor, 1) == 0)
    return false;
  // The validation keeps the focus and selects the text; the refused move
  // itself is told by the error beep.
  BeepIfEnabled();
  return true;
}

DialogField* GridEditorField(plat::Hwnd h) {
  return EditorFieldOf(h);
}

void ResetGridEditing() {
  Es() = EditorState{};
}

}  // namespace tk
