// Column and cell attributes of the grid: colours, alignment, captions,
// ranges, spin steps, locking and text length; the rebuilding of a grid's
// columns; the texts of grid windows; and the line output of grid files.
#include "toolkit/grid/GridAttributes.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <cerrno>
#include <new>

#include "platform/controls/Controls.h"
#include "platform/system/File.h"
#include "toolkit/core/Windows.h"
#include "toolkit/dialogs/DialogManager_p.h"
#include "toolkit/dialogs/Dialogs.h"
#include "toolkit/dialogs/GridLink.h"
#include "toolkit/grid/GridEditorWindow.h"
#include "toolkit/grid/GridModel_p.h"
#include "toolkit/grid/GridValues_p.h"

namespace tk {

namespace {

constexpr int kNoGrid = -1;
constexpr int kOutside = -2;
constexpr int kNoStorage = -3;
/// The up-down control of a spin column counts within these bounds.
constexpr double kSpinLimit = 31073.0;

/// The grid of FIELD with COLUMN (and ROW below ROWS when ROWS > 0) checked.
GridRecord* AttributeGrid(int& field, int column, int row = 0, bool checkRow = false) {
  GridRecord* g = FindGrid(field);
  if (g == nullptr) {
    field = kNoGrid;
    return nullptr;
  }
  if (column < 0 || column >= g->columnCount || (checkRow && (row < 0 || row >= g->rowCount))) {
    field = kOutside;
    return nullptr;
  }
  return g;
}

GridColumn& ColumnAt(GridRecord& g, int column) {
  return g.columns[static_cast<std::size_t>(column)];
}

/// A packed colour as set by a red, green, blue triple: red 256 the default
/// (-1), red -1 leaves it, else the low bytes of each.
void ApplyColour(std::int32_t& colour, std::int32_t r, std::int32_t g, std::int32_t b) {
  if (r == 256)
    colour = -1;
  else if (r != -1)
    colour = (r & 0xFF) + 256 * (g & 0xFF) + 65536 * (b & 0xFF);
}

void Unpack(std::int32_t colour, std::int32_t& r, std::int32_t& g, std::int32_t& b) {
  if (colour == -1) {
    r = g = b = -1;
    return;
  }
  r = colour & 0xFF;
  g = (colour >> 8) & 0xFF;
  b = (colour >> 16) & 0xFF;
}

void StoreBytes(std::uint8_t (&bytes)[3], std::int32_t colour) {
  bytes[0] = static_cast<std::uint8_t>(colour & 0xFF);
  bytes[1] = static_cast<std::uint8_t>((colour >> 8) & 0xFF);
  bytes[2] = static_cast<std::uint8_t>((colour >> 16) & 0xFF);
}

/// One colour of a cell entry: red 256 clears BIT, -1 leaves it, else sets
/// it with the low bytes.
void ApplyEntry(CellColour& e, std::uint8_t bit, std::uint8_t (&bytes)[3], std::int32_t r,
                std::int32_t g, std::int32_t b) {
  if (r == 256) {
    e.flags = static_cast<std::uint8_t>(e.flags & ~bit);
  } else if (r != -1) {
    e.flags |= bit;
    bytes[0] = static_cast<std::uint8_t>(r & 0xFF);
    bytes[1] = static_cast<std::uint8_t>(g & 0xFF);
    bytes[2] = static_cast<std::uint8_t>(b & 0xFF);
  }
}

bool IsClassOf(const GridColumn& c, std::string_view cls) {
  return SameClass(c.className, cls);
}

/// The settings records a column change applies to: the prototype's, and
/// the editor's when it serves a cell of the column.
template <typename Fn>
void ForColumnRecords(GridRecord& g, int column, Fn fn) {
  fn(ColumnAt(g, column).settings);
  if (g.editor != plat::kNoWindow && g.currentColumn == column) fn(g.editorField.rec);
}

std::map<int, GridWindowTexts>& WindowTexts() {
  static std::map<int, GridWindowTexts> texts;
  return texts;
}

void CopyCut(const std::string& from, std::string& to, std::size_t size) {
  to = from.substr(0, size == 0 ? 0 : std::min(from.size(), size - 1));
}

}  // namespace

// ---------------------------------------------------------------------------
// Colours

void GridCellColours(int& field, int column, int row, std::int32_t& textRed,
                     std::int32_t& textGreen, std::int32_t& textBlue, std::int32_t& backRed,
                     std::int32_t& backGreen, std::int32_t& backBlue) {
  textRed = textGreen = textBlue = backRed = backGreen = backBlue = -1;
  GridRecord* g = FindGrid(field);
  if (g == nullptr) {
    field = kNoGrid;
    return;
  }
  if (column < 0 || column >= g->columnCount || row < 0 || row >= g->rowCapacity) return;
  const GridColumn& c = ColumnAt(*g, column);
  std::int32_t text = -1, back = -1;
  if (!c.cellColours.empty()) {
    const CellColour& e = c.cellColours[static_cast<std::size_t>(row)];
    if (e.flags & 1) text = e.text[0] + 256 * e.text[1] + 65536 * e.text[2];
    if (e.flags & 2) back = e.background[0] + 256 * e.background[1] + 65536 * e.background[2];
  } else {
    const DialogField* f = GridField(*g);
    text = c.settings.textColour != -1 ? c.settings.textColour : f ? f->rec.textColour : -1;
    back = c.settings.backgroundColour != -1 ? c.settings.backgroundColour
           : f                               ? f->rec.backgroundColour
                                             : -1;
  }
  Unpack(text, textRed, textGreen, textBlue);
  Unpack(back, backRed, backGreen, backBlue);
}

void GridSetCellColours(int& field, int column, int row, std::int32_t textRed,
                        std::int32_t textGreen, std::int32_t textBlue, std::int32_t backRed,
                        std::int32_t backGreen, std::int32_t backBlue) {
  GridRecord* g = AttributeGrid(field, column, row, true);
  if (g == nullptr) return;
  GridColumn& c = ColumnAt(*g, column);
  if (c.cellColours.empty()) {
    try {
      c.cellColours.assign(static_cast<std::size_t>(g->rowCapacity), CellColour{});
    } catch (const std::bad_alloc&) {
      field = kNoStorage;
      return;
    }
    for (CellColour& e : c.cellColours) {
      if (c.settings.textColour != -1) {
        e.flags |= 1;
        StoreBytes(e.text, c.settings.textColour);
      }
      if (c.settings.backgroundColour != -1) {
        e.flags |= 2;
        StoreBytes(e.background, c.settings.backgroundColour);
      }
    }
  }
  CellColour& e = c.cellColours[static_cast<std::size_t>(row)];
  ApplyEntry(e, 1, e.text, textRed, textGreen, textBlue);
  ApplyEntry(e, 2, e.background, backRed, backGreen, backBlue);
  if (GridEditorServes(*g, column, row)) {
    ApplyColour(g->editorField.rec.textColour, textRed, textGreen, textBlue);
    ApplyColour(g->editorField.rec.backgroundColour, backRed, backGreen, backBlue);
    plat::InvalidateRect(g->editor, std::nullopt, true);
  }
  GridInvalidateCell(*g, column, row, 1);
}

void GridSetColumnColours(int& field, int column, std::int32_t textRed, std::int32_t textGreen,
                          std::int32_t textBlue, std::int32_t backRed, std::int32_t backGreen,
                          std::int32_t backBlue) {
  GridRecord* g = AttributeGrid(field, column);
  if (g == nullptr) return;
  GridColumn& c = ColumnAt(*g, column);
  std::vector<CellColour>().swap(c.cellColours);
  ForColumnRecords(*g, column, [&](ControlRecord& rec) {
    ApplyColour(rec.textColour, textRed, textGreen, textBlue);
    ApplyColour(rec.backgroundColour, backRed, backGreen, backBlue);
  });
  if (g->editor != plat::kNoWindow && g->currentColumn == column)
    plat::InvalidateRect(g->editor, std::nullopt, true);
  GridRepaintColumn(*g, column);
}

// ---------------------------------------------------------------------------
// Headers, alignment and captions

void GridHeaderLayout(int& field, std::int32_t& hasHeaders, std::int32_t& labelWidth) {
  hasHeaders = labelWidth = 0;
  GridRecord* g = FindGrid(field);
  if (g == nullptr) {
    field = kNoGrid;
    return;
  }
  hasHeaders = g->columnHeader != plat::kNoWindow ? 1 : 0;
  labelWidth = !g->labelWindows.empty() ? g->labelWidth : 0;
}

void GridColumnAlignment(int& field, int column, std::int32_t& alignment) {
  alignment = 0;
  GridRecord* g = AttributeGrid(field, column);
  if (g == nullptr) return;
  const GridColumn& c = ColumnAt(*g, column);
  if (c.type == kColumnCheckBox) {
    alignment = 1;
  } else if (c.type != kColumnOption) {
    const unsigned style = plat::GetStyle(c.prototype);
    alignment = (style & plat::kEsRight) ? 2 : (style & plat::kEsCenter) ? 1 : 0;
  }
}

void GridSetColumnCaption(int& field, int column, std::string_view text) {
  GridRecord* g = FindGrid(field);
  if (g == nullptr) {
    field = kNoGrid;
    return;
  }
  if (g->columnHeader == plat::kNoWindow) return;
  if (std::optional<plat::HeaderItem> item = plat::HeaderGetItem(g->columnHeader, column)) {
    item->text = std::string(text);
    plat::HeaderSetItem(g->columnHeader, column, *item);
    plat::InvalidateRect(g->columnHeader, std::nullopt, true);
  }
}

void GridColumnCaption(int& field, int column, std::string& text, std::size_t size) {
  text.clear();
  GridRecord* g = FindGrid(field);
  if (g == nullptr) {
    field = kNoGrid;
    return;
  }
  if (g->columnHeader == plat::kNoWindow) return;
  if (std::optional<plat::HeaderItem> item = plat::HeaderGetItem(g->columnHeader, column))
    CopyCut(item->text, text, size);
}

// ---------------------------------------------------------------------------
// Ranges and spin steps

void GridSetColumnRange(int& field, int column, double lower, double upper) {
  GridRecord* g = AttributeGrid(field, column);
  if (g == nullptr) return;
  const auto limit = [](double v) {
    if (std::isnan(v)) return 0;
    return static_cast<int>(std::lround(std::clamp(v, -kSpinLimit, kSpinLimit)));
  };
  ForColumnRecords(*g, column, [&](ControlRecord& rec) {
    rec.rangeLow = lower;
    rec.rangeHigh = upper;
    if (rec.buddy != plat::kNoWindow) plat::UpDownSetRange(rec.buddy, limit(lower), limit(upper));
  });
}

namespace {

/// The column of FIELD when its prototype is of class CLS.
GridRecord* SpinGrid(int& field, int column, std::string_view cls) {
  GridRecord* g = AttributeGrid(field, column);
  if (g != nullptr && !IsClassOf(ColumnAt(*g, column), cls)) {
    field = kOutside;
    return nullptr;
  }
  return g;
}

}  // namespace

void GridSetIntegerSpin(int& field, int column, std::int32_t step, std::int32_t pageStep,
                        std::int32_t origin) {
  GridRecord* g = SpinGrid(field, column, "INTEGERSPIN");
  if (g == nullptr) return;
  ForColumnRecords(*g, column, [&](ControlRecord& rec) {
    rec.spinStep = step;
    rec.spinPageStep = pageStep == 0 ? step : pageStep;
    rec.spinOrigin = origin;
  });
}

void GridSetRealSpin(int& field, int column, float step, float pageStep) {
  GridRecord* g = SpinGrid(field, column, "REALSPIN");
  if (g == nullptr) return;
  ForColumnRecords(*g, column, [&](ControlRecord& rec) {
    rec.spinStep = step;
    rec.spinPageStep = pageStep;
  });
}

void GridSetDoubleSpin(int& field, int column, double step, double pageStep) {
  GridRecord* g = SpinGrid(field, column, "DOUBLESPIN");
  if (g == nullptr) return;
  ForColumnRecords(*g, column, [&](ControlRecord& rec) {
    rec.spinStep = step;
    rec.spinPageStep = pageStep;
  });
}

// ---------------------------------------------------------------------------
// Locking and text length

void GridLockCell(int& field, int column, int row, int state) {
  GridRecord* g = AttributeGrid(field, column, row, true);
  if (g == nullptr) return;
  GridColumn& c = ColumnAt(*g, column);
  std::uint8_t& flags = c.cellFlags[static_cast<std::size_t>(row)];
  if (state == 1)
    flags = static_cast<std::uint8_t>(flags & ~kCellLocked);
  else
    flags |= kCellLocked;
  if (GridEditorServes(*g, column, row))
    GridEditorSetLocked(g->editor, c.type, state != 1, true);
  else
    GridInvalidateCell(*g, column, row, 1);
}

void GridColumnTextLength(int& field, int column, std::int32_t& length) {
  GridRecord* g = AttributeGrid(field, column);
  if (g == nullptr) return;
  const GridColumn& c = ColumnAt(*g, column);
  if (c.type != kColumnString) {
    field = kOutside;
    return;
  }
  length = c.textLength + 1;
}

// ---------------------------------------------------------------------------
// Rebuilding the columns

void GridRebuildColumns(int& field, int newCount, const std::vector<int>* positions) {
  GridRecord* g = FindGrid(field);
  if (g == nullptr) {
    field = kNoGrid;
    return;
  }
  // A count a packed cell cannot name, or positions too few for it, builds
  // nothing and leaves the grid as it is.
  if (newCount < 1 || newCount > kMaxGridColumns ||
      (positions != nullptr && positions->size() < static_cast<std::size_t>(newCount))) {
    field = kNoGrid;
    return;
  }
  GridDeselect(*g);
  const plat::Hwnd focus = plat::GetFocus();
  const bool hadFocus = focus != plat::kNoWindow && (focus == g->window || plat::IsChild(g->window, focus));
  g->currentColumn = g->currentRow = 0;
  if (field != 0) {
    LoadedDialog* d = CurrentDialog();
    if (d != nullptr && d->rec.currentField == plat::GetWindowId(g->window))
      d->rec.lastCell = GridPackedCell(0, 0);
  }
  GridDestroyCellEditor(*g);
  if (g->columnHeader != plat::kNoWindow)
    for (int i = plat::HeaderItemCount(g->columnHeader) - 1; i >= 0; --i)
      plat::HeaderDeleteItem(g->columnHeader, i);
  for (GridColumn& c : g->columns) {
    if (c.settings.buddy != plat::kNoWindow) plat::DestroyWindow(c.settings.buddy);
    if (c.prototype != plat::kNoWindow) plat::DestroyWindow(c.prototype);
  }
  g->columns.clear();
  std::unique_ptr<LoadedDialog> columnDialog =
      LoadColumnDialog(g->columnDialogId, WindowFrameHandle(kMainWindow));
  g->columnCount = newCount;
  g->builtColumnCount = newCount;
  g->leftColumn = 0;
  if (columnDialog && GridBuildColumns(*g, *columnDialog, positions) == 1) {
    GridUpdateScroll(*g);
    if (field == 0) GridWindowFitCurrent();
    if (hadFocus && plat::IsWindowVisible(g->window)) plat::SetFocus(g->window);
    if (g->cellArea != plat::kNoWindow) {
      plat::InvalidateRect(g->cellArea, std::nullopt, true);
      plat::UpdateWindow(g->cellArea);
    }
  } else {
    // Without columns the grid shows nothing and its cell routines find no
    // column to serve.
    g->columns.clear();
    g->columnCount = 0;
    field = kNoGrid;
  }
  if (columnDialog) plat::DestroyWindow(columnDialog->hwnd);
}

// ---------------------------------------------------------------------------
// Grid window texts

GridWindowTexts& GridWindowTextsOf(int window) {
  return WindowTexts()[window < 0 ? -1 : window];
}

void GridWindowTextsClosed(int window) {
  if (window < 0) return;
  auto& all = WindowTexts();
  auto it = all.find(window);
  all[-1] = it != all.end() ? it->second : GridWindowTexts{};
  all.erase(window);
}

void GridWindowText(int window, int item, std::string& text, std::size_t size) {
  const GridWindowTexts* t = nullptr;
  if (window == -1) {
    t = &GridWindowTextsOf(-1);
  } else {
    if (!WindowSlotInUse(window) || WindowSpecialKind(window) != 4) return;
    t = &GridWindowTextsOf(window);
  }
  switch (item) {
    case 1: CopyCut(t->search, text, std::min<std::size_t>(size, 1024)); break;
    case 2: CopyCut(t->second, text, std::min<std::size_t>(size, 1024)); break;
    case 3: CopyCut(t->file, text, std::min<std::size_t>(size, 260)); break;
    default: break;
  }
}

// ---------------------------------------------------------------------------
// Grid file lines

int& GridFileHandle() {
  static int handle = -1;
  return handle;
}

void GridFileWriteLine(std::string_view text, int length, int& status) {
  if (status != 0) return;
  const std::size_t n = std::min(text.size(), static_cast<std::size_t>(std::max(0, length)));
  std::string line(text.substr(0, n));
  line += "\r\n";
  if (GridFileHandle() < 0) {
    status = EBADF;
    return;
  }
  std::size_t moved = 0;
  status = plat::FileWrite(GridFileHandle(), line.data(), line.size(), moved);
  if (status == 0 && moved != line.size()) status = EIO;
}

}  // namespace tk
