// Building a grid from its "[Grids]" entry and its column template, the
// text of a cell, clearing every cell, and what a grid releases.
#include <algorithm>
#include <new>

#include "platform/controls/Controls.h"
#include "platform/dialog/Dialog.h"
#include "platform/FixedText.h"
#include "toolkit/core/Conversion.h"
#include "toolkit/core/Windows.h"
#include "toolkit/dialogs/GridLink.h"
#include "toolkit/grid/GridModel_p.h"

namespace tk {

namespace {

/// The check-box prototype's caption: blanks, so that the box stands at the
/// left of the cell with room for nothing else.
constexpr std::string_view kCheckBoxCaption = "                             ";
/// An integer cell's editor takes at most this many characters.
constexpr int kIntegerTextLength = 11;
/// Header item formats.
constexpr plat::HeaderAlign kCaptionAlign = plat::HeaderAlign::Centre;

/// The column type a template control's class gives, or -1 for a class the
/// grid has no column for.
int ColumnTypeOf(const DialogField& f) {
  const std::string& c = f.className;
  if (SameClass(c, plat::kEditClass)) return kColumnString;
  if (SameClass(c, "INTEGEREDIT") || SameClass(c, "INTEGERSPIN")) return kColumnInteger;
  if (SameClass(c, "REALEDIT") || SameClass(c, "REALSPIN")) return kColumnReal;
  if (SameClass(c, "DOUBLEEDIT") || SameClass(c, "DOUBLESPIN")) return kColumnDouble;
  if (SameClass(c, plat::kButtonClass) && (plat::GetStyle(f.hwnd) & 15) == plat::kBsAutoCheckBox)
    return kColumnCheckBox;
  if (SameClass(c, plat::kComboBoxClass)) return kColumnOption;
  return -1;
}

bool IsTextLike(int type) {
  return type >= kColumnString && type <= kColumnDouble;
}

/// Makes a row-label control: a header with one button-like item.
plat::Hwnd MakeLabelControl(GridRecord& g, int index, const plat::Rect& r) {
  plat::CreateParams p;
  p.className = plat::kHeaderClass;
  p.style = plat::kStyleChild | plat::kStyleVisible | plat::kHdsButtons;
  p.rect = r;
  p.parent = g.window;
  p.id = index;
  const plat::Hwnd h = plat::CreateWindow(p);
  if (h == plat::kNoWindow) return h;
  plat::SetControlFont(h, g.font);
  GridSubclassHeader(h);
  return h;
}

/// Allocates the storage of column C for CAPACITY rows; false when memory
/// runs out.
bool AllocateCells(GridColumn& c, int capacity) {
  try {
    const auto n = static_cast<std::size_t>(capacity);
    switch (c.type) {
      case kColumnString:
        c.texts.assign(n, std::string());
        break;
      case kColumnReal:
        c.reals.assign(n, 0.0f);
        break;
      case kColumnDouble:
        c.doubles.assign(n, 0.0);
        break;
      case kColumnOption:
        c.ints.assign(n, -1);
        break;
      default:
        c.ints.assign(n, 0);
        break;
    }
    c.cellFlags.assign(n, 0);
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

/// The prototype's style: the template control's, never visible, with a
/// border, disabled with the grid; text-like columns multi-line; a
/// read-only grid makes text columns read-only and check boxes plain;
/// option menus drop down a list with a scroll bar.
unsigned PrototypeStyle(const GridRecord& g, const DialogField& f, int type) {
  unsigned s = plat::GetStyle(f.hwnd);
  s &= ~(plat::kStyleVisible | plat::kStyleDisabled);
  s |= plat::kStyleChild | plat::kWsBorder;
  if (!plat::IsWindowEnabled(g.window)) s |= plat::kStyleDisabled;
  const bool readOnly = (GridStyleOf(g) & kGridReadOnly) != 0;
  if (IsTextLike(type)) {
    s |= plat::kEsMultiline;
    if (readOnly) s |= plat::kEsReadOnly;
  } else if (type == kColumnCheckBox && readOnly) {
    s = (s & ~plat::kBsTypeMask) | plat::kBsCheckBox;
  } else if (type == kColumnOption) {
    s = (s & ~15u) | plat::kCbsDropDownList | plat::kWsVScroll;
  }
  return s;
}

/// The option texts of combo box H, in order.
std::vector<std::string> ComboTexts(plat::Hwnd h) {
  std::vector<std::string> texts;
  const int n = plat::ComboBoxGetCount(h);
  for (int i = 0; i < n; ++i) texts.push_back(plat::ComboBoxGetText(h, i).value_or(""));
  return texts;
}

/// Builds column I from template control F of D. False when the control
/// cannot make a column or memory or a window runs out.
bool BuildColumn(GridRecord& g, LoadedDialog& d, DialogField& f, int i, int areaWidth) {
  GridColumn& c = g.columns[static_cast<std::size_t>(i)];
  const int type = ColumnTypeOf(f);
  if (type < 0) return false;
  c.type = type;
  c.className = f.className;
  // Width: the control's own, a spin field's up to its arrows' right edge.
  plat::Rect r = plat::GetWindowRect(f.hwnd);
  if (f.rec.buddy != plat::kNoWindow && plat::IsWindow(f.rec.buddy))
    r.right = plat::GetWindowRect(f.rec.buddy).right;
  c.width = std::max(1, std::min(r.Width(), areaWidth));
  if (type == kColumnString) {
    if (f.rec.maxLength <= 0) f.rec.maxLength = kDefaultCellTextLength;
    c.textLength = f.rec.maxLength;
  } else if (type == kColumnInteger) {
    f.rec.maxLength = c.textLength = kIntegerTextLength;
  } else {
    f.rec.maxLength = 0;
  }
  // An option menu's prototype reaches down over its dropped list.
  int height = g.rowHeight;
  if (type == kColumnOption) {
    const res::DialogTemplate* t = FindDialogTemplate(d.templateId);
    const auto at = static_cast<std::size_t>(&f - d.fields.data());
    if (t != nullptr && at < t->controls.size())
      height = std::max(height, plat::DialogUnitsToPixels({0, 0, 0, t->controls[at].height}).bottom);
  }
  if (!AllocateCells(c, g.rowCapacity)) return false;
  if (IsTextLike(type) && (plat::GetStyle(f.hwnd) & plat::kEsReadOnly))
    std::fill(c.cellFlags.begin(), c.cellFlags.end(), kCellLocked);

  plat::CreateParams p;
  const std::string cls = IsNumericClass(f.className) ? std::string(plat::kEditClass) : f.className;
  p.className = cls;
  p.title = type == kColumnCheckBox ? kCheckBoxCaption : std::string_view{};
  p.style = PrototypeStyle(g, f, type);
  p.rect = {0, 0, c.width, height};
  p.parent = g.cellArea;
  p.id = i + 1;
  c.prototype = plat::CreateWindow(p);
  if (c.prototype == plat::kNoWindow) return false;
  plat::SetControlFont(c.prototype, g.font);
  if (type == kColumnString) plat::EditSetLimit(c.prototype, c.textLength);
  if (type == kColumnInteger) plat::EditSetLimit(c.prototype, kIntegerTextLength);

  ControlRecord& s = c.settings;
  s = ControlRecord{};
  s.rangeLow = f.rec.rangeLow;
  s.rangeHigh = f.rec.rangeHigh;
  s.spinStep = f.rec.spinStep;
  s.spinPageStep = f.rec.spinPageStep;
  s.spinOrigin = f.rec.spinOrigin;
  s.maxLength = f.rec.maxLength;
  s.value = f.rec.value;
  s.textColour = s.backgroundColour = -1;
  s.hasValue = 0;
  s.format = f.rec.format;

  if (type == kColumnOption) {
    for (const std::string& o : ComboTexts(f.hwnd)) plat::ComboBoxAddString(c.prototype, o);
    plat::ComboBoxSetCurSel(c.prototype, plat::ComboBoxGetCurSel(f.hwnd));
  }
  if (g.columnHeader != plat::kNoWindow)
    plat::HeaderInsertItem(g.columnHeader, i + 1,
                           {plat::GetWindowText(f.hwnd), c.width - 1, kCaptionAlign});
  return true;
}

}  // namespace

GridRecord* GridOf(plat::Hwnd h) {
  return dynamic_cast<GridRecord*>(plat::GetWindowExtra(h));
}

unsigned GridStyleOf(const GridRecord& g) {
  return plat::GetStyle(g.window) & 0xFFFF;
}

GridRecord* FindGrid(int field) {
  plat::Hwnd h = plat::kNoWindow;
  if (field == 0) {
    h = CurrentWindowGridField();
  } else if (LoadedDialog* d = CurrentDialog()) {
    if (DialogField* f = FindField(*d, field); f != nullptr && SameClass(f->className, kGridClass))
      h = f->hwnd;
  }
  return h == plat::kNoWindow ? nullptr : GridOf(h);
}

DialogField* GridField(const GridRecord& g) {
  LoadedDialog* d = FindLoaded(plat::GetParent(g.window));
  return d ? FieldOfWindow(*d, g.window) : nullptr;
}

plat::Rect DialogUnitsToPixels(const plat::Font* font, const plat::Rect& du) {
  const int cx = font ? std::max(1, font->Metrics().averageCharWidth) : 6;
  const int cy = font ? std::max(1, font->Metrics().height) : 13;
  return {du.left * cx / 4, du.top * cy / 8, du.right * cx / 4, du.bottom * cy / 8};
}

void GridSetSize(GridRecord& g, int rows, int columns) {
  g.rowCount = rows;
  g.columnCount = columns;
  g.rowCapacity = rows;
  g.labelWindowCount = g.shownRows = std::min(rows, g.visibleRows + 1);
}

int GridReadLabels(GridRecord& g, int labelWidthUnits, const std::vector<std::string>& lines) {
  try {
    g.labelWindows.assign(static_cast<std::size_t>(g.labelWindowCount), plat::kNoWindow);
    g.rowLabels.assign(static_cast<std::size_t>(g.rowCapacity), std::string());
  } catch (const std::bad_alloc&) {
    return -1;
  }
  // A hostile width is kept to what a screen can show.
  constexpr int kMaxLabelUnits = 4000;
  const int units = std::clamp(labelWidthUnits, 0, kMaxLabelUnits);
  g.labelWidth = DialogUnitsToPixels(g.font.get(), {0, 0, units, 0}).right;
  for (int i = 0; i < g.labelWindowCount; ++i) {
    const int extra = i > 0 ? 1 : 0;
    const int y = g.headerHeight + i * (g.rowHeight - 1) + extra;
    const plat::Hwnd h =
        MakeLabelControl(g, i, {0, y, g.labelWidth, y + g.rowHeight - extra});
    if (h == plat::kNoWindow) return -1;
    g.labelWindows[static_cast<std::size_t>(i)] = h;
  }
  int used = 0;
  if (!(GridStyleOf(g) & kGridNoLabelLines)) {
    for (int row = 0; row < g.rowCount && static_cast<std::size_t>(row) < lines.size(); ++row) {
      std::string_view label = lines[static_cast<std::size_t>(row)];
      if (label.size() > kRowLabelLength) label = label.substr(0, kRowLabelLength);
      g.rowLabels[static_cast<std::size_t>(row)] = std::string(plat::TrimRight(label));
      ++used;
    }
  }
  for (int i = 0; i < g.labelWindowCount; ++i)
    plat::HeaderInsertItem(g.labelWindows[static_cast<std::size_t>(i)], 0,
                           {g.rowLabels[static_cast<std::size_t>(i)], g.labelWidth + 1,
                            plat::HeaderAlign::Left});
  return used;
}

int GridBuildColumns(GridRecord& g, LoadedDialog& d, const std::vector<int>* positions) {
  try {
    g.columns.assign(static_cast<std::size_t>(g.columnCount), GridColumn{});
  } catch (const std::bad_alloc&) {
    return 0;
  }
  if (g.columnHeader != plat::kNoWindow)
    plat::HeaderInsertItem(g.columnHeader, 0, {"", g.labelWidth + 1, kCaptionAlign});
  const plat::Rect client = plat::ClientInsideScrollBars(g.window);
  if (g.cellArea == plat::kNoWindow) {
    plat::CreateParams p;
    p.className = kGridClientClass;
    p.style = plat::kStyleChild | plat::kStyleVisible;
    p.rect = {g.labelWidth, g.headerHeight, std::max(g.labelWidth, client.right),
              std::max(g.headerHeight, client.bottom)};
    p.parent = g.window;
    g.cellArea = plat::CreateWindow(p);
    if (g.cellArea == plat::kNoWindow) return 0;
  }
  const int areaWidth = std::max(1, plat::GetClientRect(g.cellArea).Width());
  // The template's controls in order; up-down arrows of spin fields are not
  // among the fields, so they are passed over.
  for (int i = 0; i < g.columnCount; ++i) {
    const int at = positions ? (*positions)[static_cast<std::size_t>(i)] - 1 : i;
    if (at < 0 || static_cast<std::size_t>(at) >= d.fields.size()) return 0;
    if (!BuildColumn(g, d, d.fields[static_cast<std::size_t>(at)], i, areaWidth)) return 0;
  }
  if (plat::IsWindowEnabled(g.window)) GridCreateEditor(g);
  return 1;
}

void GridBuildFromExtras(GridRecord& g, const ExtrasEntry& e) {
  if (e.ints.size() < 3) return;
  const int columns = e.ints[0];
  const int rows = e.ints[1];
  const int dialogId = e.ints[2];
  if (g.built) {
    // A second entry for a built grid: the storage is fixed, only the rows
    // in use may change within it.
    if (rows >= 1 && rows <= g.rowCapacity) {
      g.rowCount = rows;
      GridUpdateScroll(g);
      GridRefreshRowLabels(g);
      plat::InvalidateRect(g.cellArea, std::nullopt, true);
    }
    return;
  }
  // Counts a packed cell cannot name, or none at all, build nothing.
  bool ok = columns >= 1 && columns <= kMaxGridColumns && rows >= 1 && rows <= kMaxGridRows;
  std::unique_ptr<LoadedDialog> columnDialog;
  if (ok) {
    GridSetSize(g, rows, columns);
    g.builtColumnCount = columns;
    columnDialog = LoadColumnDialog(dialogId, WindowFrameHandle(kMainWindow));
    if (GridStyleOf(g) & kGridRowLabels) {
      const int width = e.ints.size() > 3 ? e.ints[3] : 0;
      if (columnDialog && GridReadLabels(g, width, e.lines) < 0) ok = false;
    }
    ok = ok && columnDialog && GridBuildColumns(g, *columnDialog, nullptr) == 1;
  }
  if (ok) {
    GridUpdateScroll(g);
    if (columnDialog) plat::DestroyWindow(columnDialog->hwnd);
    g.built = 1;
    g.columnDialogId = dialogId;
    return;
  }
  if (columnDialog) plat::DestroyWindow(columnDialog->hwnd);
  // The field no longer exists: later calls naming it report 1006.
  plat::DestroyWindow(g.window);
}

std::vector<std::string> GridColumnOptions(const GridColumn& c) {
  return ComboTexts(c.prototype);
}

std::string GridCellText(const GridRecord& g, int column, int row, int display) {
  if (column < 0 || column >= g.columnCount || row < 0 || row >= g.rowCapacity) return {};
  const GridColumn& c = g.columns[static_cast<std::size_t>(column)];
  const auto r = static_cast<std::size_t>(row);
  const auto checkText = [display](bool checked) -> std::string {
    if (display == 1) return std::string(1, static_cast<char>(checked ? 0xFC : 0xFB));
    return checked ? "Yes" : "No";
  };
  if (GridEditorServes(g, column, row)) {
    switch (c.type) {
      case kColumnCheckBox:
        return checkText(plat::ButtonGetCheck(g.editor) == plat::kChecked);
      case kColumnOption: {
        const int sel = plat::ComboBoxGetCurSel(g.editor);
        return sel < 0 ? std::string() : plat::ComboBoxGetText(g.editor, sel).value_or("");
      }
      default: {
        std::string t = plat::GetWindowText(g.editor);
        const std::size_t limit = c.type == kColumnString    ? static_cast<std::size_t>(c.textLength)
                                  : c.type == kColumnInteger ? std::size_t{11}
                                                             : kNumberTextLength;
        if (t.size() > limit) t.resize(limit);
        return t;
      }
    }
  }
  const bool present = (c.cellFlags[r] & kCellPresent) != 0;
  std::string text;
  switch (c.type) {
    case kColumnString:
      return c.texts[r];
    case kColumnInteger:
      if (present) yyint2st(c.ints[r], text);
      return text;
    case kColumnReal:
    case kColumnDouble: {
      if (!present) return text;
      const std::string_view format = c.settings.format ? std::string_view(*c.settings.format)
                                                        : kDefaultGridFormat;
      if (c.type == kColumnReal)
        yyrea2st(c.reals[r], text, format);
      else
        yydbl2st(c.doubles[r], text, format);
      if (text.size() > kNumberTextLength) text.resize(kNumberTextLength);
      return text;
    }
    case kColumnCheckBox:
      return checkText(c.ints[r] != 0);
    case kColumnOption: {
      // An index outside the list (a put beyond it) shows as no option.
      const int index = c.ints[r];
      if (index < 0 || index >= plat::ComboBoxGetCount(c.prototype)) return text;
      return plat::ComboBoxGetText(c.prototype, index).value_or("");
    }
    default:
      return text;
  }
}

void GridClearAllCells(GridRecord& g, int emptyLists) {
  GridDeselect(g);
  if (g.editor != plat::kNoWindow) {
    const int type = g.columns[static_cast<std::size_t>(g.currentColumn)].type;
    if (type == kColumnCheckBox) {
      plat::ButtonSetCheck(g.editor, plat::kUnchecked);
    } else if (type == kColumnOption) {
      if (emptyLists)
        plat::ComboBoxResetContent(g.editor);
      else
        plat::ComboBoxSetCurSel(g.editor, 0);
    } else {
      plat::SetWindowText(g.editor, "");
      plat::EditSetModify(g.editor, false);
      g.editorField.rec.value = 0.0;
      g.editorField.rec.hasValue = 0;
    }
  }
  for (GridColumn& c : g.columns) {
    if (emptyLists && c.type == kColumnOption) plat::ComboBoxResetContent(c.prototype);
    for (std::string& t : c.texts) t.clear();
    std::fill(c.reals.begin(), c.reals.end(), 0.0f);
    std::fill(c.doubles.begin(), c.doubles.end(), 0.0);
    std::fill(c.ints.begin(), c.ints.end(), c.type == kColumnOption ? -1 : 0);
    for (std::uint8_t& f : c.cellFlags) f &= static_cast<std::uint8_t>(~(kCellPresent | kCellEntered));
  }
  if (g.cellArea != plat::kNoWindow) {
    plat::InvalidateRect(g.cellArea, std::nullopt, false);
    plat::UpdateWindow(g.cellArea);
  }
}

void GridRelease(GridRecord& g) {
  GridDestroyEditor(g);
  g.columns.clear();
  g.rowLabels.clear();
  g.labelWindows.clear();
}

}  // namespace tk
