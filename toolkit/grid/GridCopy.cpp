// Copying one grid into another, field by field: what a grid window needs
// to show a dialog's grid in a window of its own.
#include <algorithm>
#include <new>

#include "platform/controls/Controls.h"
#include "toolkit/grid/GridModel_p.h"

namespace tk {

namespace {

/// A copy of column S's prototype inside T's cell area: same class, style,
/// size, text limit and option list.
plat::Hwnd CopyPrototype(GridRecord& t, const GridColumn& s, int index) {
  if (s.prototype == plat::kNoWindow) return plat::kNoWindow;
  const std::string cls = plat::GetClassName(s.prototype);
  const std::string title = plat::GetWindowText(s.prototype);
  const plat::Rect r = plat::GetWindowRect(s.prototype);
  plat::CreateParams p;
  p.className = cls;
  p.title = title;
  p.style = plat::GetStyle(s.prototype) & ~plat::kStyleVisible;
  p.rect = {0, 0, r.Width(), r.Height()};
  p.parent = t.cellArea;
  p.id = index + 1;
  const plat::Hwnd h = plat::CreateWindow(p);
  if (h == plat::kNoWindow) return h;
  plat::SetControlFont(h, t.font);
  if (s.type == kColumnString || s.type == kColumnInteger)
    plat::EditSetLimit(h, plat::EditGetLimit(s.prototype));
  if (s.type == kColumnOption) {
    for (const std::string& o : GridColumnOptions(s)) plat::ComboBoxAddString(h, o);
    plat::ComboBoxSetCurSel(h, plat::ComboBoxGetCurSel(s.prototype));
  }
  return h;
}

}  // namespace

bool GridCopyFrom(GridRecord& t, const GridRecord& s) {
  t.columnCount = s.columnCount;
  t.maxLeftColumn = s.maxLeftColumn;
  t.rowCapacity = s.rowCapacity;
  t.builtColumnCount = s.builtColumnCount;
  t.rowCount = s.rowCount;
  t.currentColumn = s.currentColumn;
  t.currentRow = s.currentRow;
  t.leftColumn = 0;
  t.topRow = 0;
  t.labelWidth = (GridStyleOf(t) & kGridRowLabels) ? s.labelWidth : 0;
  t.columnDialogId = s.columnDialogId;
  t.modified = s.modified;
  t.changed = s.changed;
  // The row-label controls are made as the cell area gets its height.
  t.labelWindows.clear();
  t.labelWindowCount = t.shownRows = 0;
  try {
    t.rowLabels = s.rowLabels;
    t.columns.assign(s.columns.size(), GridColumn{});
    for (std::size_t j = 0; j < s.columns.size(); ++j) {
      const GridColumn& from = s.columns[j];
      GridColumn& to = t.columns[j];
      to.width = from.width;
      to.type = from.type;
      to.textLength = from.textLength;
      to.className = from.className;
      to.texts = from.texts;
      to.ints = from.ints;
      to.reals = from.reals;
      to.doubles = from.doubles;
      to.cellFlags = from.cellFlags;
      to.cellColours = from.cellColours;
      to.settings = from.settings;
      to.settings.buddy = plat::kNoWindow;
    }
  } catch (const std::bad_alloc&) {
    t.columns.clear();
    t.columnCount = 0;
    return false;
  }
  if (t.rowCapacity > 0 && t.rowLabels.size() < static_cast<std::size_t>(t.rowCapacity))
    t.rowLabels.resize(static_cast<std::size_t>(t.rowCapacity));

  if (t.columnHeader != plat::kNoWindow && s.columnHeader != plat::kNoWindow) {
    for (int i = plat::HeaderItemCount(t.columnHeader) - 1; i >= 0; --i)
      plat::HeaderDeleteItem(t.columnHeader, i);
    const int n = plat::HeaderItemCount(s.columnHeader);
    for (int i = 0; i < n; ++i)
      if (std::optional<plat::HeaderItem> item = plat::HeaderGetItem(s.columnHeader, i)) {
        if (i == 0) item->width = t.labelWidth + 1;
        plat::HeaderInsertItem(t.columnHeader, i, *item);
      }
  }
  const plat::Rect client = plat::ClientInsideScrollBars(t.window);
  plat::CreateParams p;
  p.className = kGridClientClass;
  p.style = plat::kStyleChild | plat::kStyleVisible;
  p.rect = {t.labelWidth, t.headerHeight, std::max(t.labelWidth, client.right),
            std::max(t.headerHeight, client.bottom)};
  p.parent = t.window;
  t.cellArea = plat::CreateWindow(p);
  if (t.cellArea == plat::kNoWindow) return false;
  for (std::size_t j = 0; j < t.columns.size(); ++j) {
    t.columns[j].prototype = CopyPrototype(t, s.columns[j], static_cast<int>(j));
    if (t.columns[j].prototype == plat::kNoWindow) return false;
  }
  t.built = 1;
  return true;
}

}  // namespace tk
