// Grid printing: the two settings sets with their page set-up and options,
// and the print job that lays a block of cells out over pages.
#include "toolkit/grid/GridPrinting.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/controls/Controls.h"
#include "platform/system/Printer.h"
#include "platform/text/Font.h"
#include "toolkit/core/DialogFrame.h"
#include "toolkit/core/OsServices.h"
#include "toolkit/core/Windows.h"
#include "toolkit/graphics/ScreenDriver.h"
#include "toolkit/grid/GridAttributes.h"
#include "toolkit/grid/GridModel_p.h"

namespace tk {

namespace {

/// Units per inch of the page set-up's lengths.
int UnitsPerInch(const GridPrintSettings& s) {
  return s.pageSetup.metric ? 2540 : 1000;
}

/// The factor between hundredths of a millimetre and thousandths of an inch
/// that the page set-up's unit switch uses (not quite 2.54).
constexpr double kUnitSwitchFactor = 2.54065;

int Scaled(std::int64_t value, std::int64_t numerator, std::int64_t denominator) {
  return denominator == 0 ? 0 : static_cast<int>(value * numerator / denominator);
}

plat::Pixel PackedColour(std::int32_t packed) {
  return plat::Rgb(packed & 0xFF, (packed >> 8) & 0xFF, (packed >> 16) & 0xFF);
}

std::int32_t Packed(const std::uint8_t rgb[3]) {
  return rgb[0] + 256 * rgb[1] + 65536 * rgb[2];
}

bool BothMade() {
  return GridPrintSettingsOf(1).made && GridPrintSettingsOf(2).made;
}

}  // namespace

GridPrintSettings& GridPrintSettingsOf(int which) {
  static GridPrintSettings sets[2];
  return sets[which == 2 ? 1 : 0];
}

GridPrintHooks& GridPrinting() {
  static GridPrintHooks hooks;
  return hooks;
}

std::int32_t GridPrinterInstalled() {
  return GridPrinting().printerInstalled ? GridPrinting().printerInstalled() : 0;
}

// ---------------------------------------------------------------------------
// Page set-up and options

void GridPageSetupForget() {
  GridPrintSettingsOf(1) = GridPrintSettings{};
  GridPrintSettingsOf(2) = GridPrintSettings{};
}

void GridPageSetup() {
  if (BothMade()) return;
  // The default printer's page as the page set-up reports it without
  // showing anything: its paper, an inch of margin all round, the locale's
  // unit; and whether it prints colours.
  int measure = 2;
  LocaleMeasureSystem(measure);
  plat::PageSetupValues defaults;
  defaults.metric = measure != 1;
  int colours = 0;
  if (plat::PrinterDefaultDestination(defaults.printer)) {
    const plat::PrinterPage page = plat::PrinterPageOf(defaults.printer);
    defaults.media = page.media;
    colours = page.colours;
  }
  const int inch = defaults.metric ? 2540 : 1000;
  defaults.left = defaults.top = defaults.right = defaults.bottom = inch;
  for (int which : {1, 2}) {
    GridPrintSettings& s = GridPrintSettingsOf(which);
    s = GridPrintSettings{};
    s.pageSetup = defaults;
    plat::PageSetupPaper(s.pageSetup, s.paperWidth, s.paperHeight);
    s.textColours = s.backColours = colours != 2;
    s.made = true;
  }
}

void GridPrintPageDialog(int unit, int which) {
  GridPageSetup();
  GridPrintSettings& s = GridPrintSettingsOf(which);
  bool metric = unit >= 2;
  if (unit == -1) {
    int measure = 2;
    LocaleMeasureSystem(measure);
    metric = measure != 1;
  }
  plat::PageSetupValues& p = s.pageSetup;
  if (p.metric != metric) {
    for (int* v : {&p.left, &p.top, &p.right, &p.bottom, &s.paperWidth, &s.paperHeight})
      *v = static_cast<int>(metric ? *v * kUnitSwitchFactor : *v / kUnitSwitchFactor);
    p.metric = metric;
  }
  plat::PageSetupValues shown = p;
  shown.printers = plat::PrinterDestinations();
  {
    DialogFrame frame(false, "GridPrintPageDialog");
    if (!plat::RunPageSetupDialog(frame.Owner(), shown)) return;
  }
  p = shown;
  plat::PageSetupPaper(p, s.paperWidth, s.paperHeight);
  // The printer's physical offsets and unprintable widths, in the unit.
  if (GridPrinting().printerContext) {
    const std::unique_ptr<GridPrinterContext> dc =
        GridPrinting().printerContext(p.printer, p.media, p.landscape, p.copies);
    if (dc) {
      const int u = UnitsPerInch(s);
      const int dx = std::max(dc->ResolutionX(), 1), dy = std::max(dc->ResolutionY(), 1);
      const int printableWidth = dc->PhysicalWidth() - dc->OffsetX();
      const int printableHeight = dc->PhysicalHeight() - dc->OffsetY();
      s.minLeft = Scaled(dc->OffsetX(), u, dx);
      s.minTop = Scaled(dc->OffsetY(), u, dy);
      s.minRight = Scaled(dc->PhysicalWidth() - printableWidth - dc->OffsetX(), u, dx);
      s.minBottom = Scaled(dc->PhysicalHeight() - printableHeight - dc->OffsetY(), u, dy);
    }
  }
}

void GridPrintOptionsGet(std::int32_t& gridLines, std::int32_t& columnLines,
                         std::int32_t& repeatHeaders, std::int32_t& textColours,
                         std::int32_t& backColours, std::int32_t& scale, int which) {
  GridPageSetup();
  const GridPrintSettings& s = GridPrintSettingsOf(which);
  gridLines = s.gridLines ? 1 : 0;
  columnLines = s.columnLines ? 1 : 0;
  repeatHeaders = s.repeatHeaders ? 1 : 0;
  textColours = s.textColours ? 1 : 0;
  backColours = s.backColours ? 1 : 0;
  scale = s.scale;
}

void GridPrintOptionsSet(std::int32_t gridLines, std::int32_t columnLines,
                         std::int32_t repeatHeaders, std::int32_t textColours,
                         std::int32_t backColours, std::int32_t scale, int which) {
  GridPageSetup();
  GridPrintSettings& s = GridPrintSettingsOf(which);
  s.gridLines = gridLines == 1;
  s.columnLines = columnLines == 1;
  s.repeatHeaders = repeatHeaders == 1;
  s.textColours = textColours == 1;
  s.backColours = backColours == 1;
  s.scale = scale;
}

void GridPrintSetPage(int item, int value, int which) {
  GridPageSetup();
  GridPrintSettings& s = GridPrintSettingsOf(which);
  plat::PageSetupValues& p = s.pageSetup;
  const int converted = Scaled(value, UnitsPerInch(s), 72);
  switch (item) {
    case 1: p.right = s.paperWidth - p.left - converted; break;
    case 2: p.bottom = s.paperHeight - p.top - converted; break;
    case 3: p.left = converted; break;
    case 4: p.top = converted; break;
    case 5: {
      if (value < 1 || value > 4) return;
      const bool landscape = value == 2 || value == 4;
      if (p.landscape != landscape) {
        std::swap(s.paperWidth, s.paperHeight);
        p.landscape = landscape;
      }
      const int across = p.right - p.left, down = p.bottom - p.top;
      if ((value == 3 && down < across) || (value == 4 && across < down)) {
        p.right = p.left + down;
        p.bottom = p.top + across;
      }
      break;
    }
    default: break;
  }
}

// ---------------------------------------------------------------------------
// The print job

namespace {

constexpr std::string_view kUntitled = "Untitled Grid";
/// Check-box cells hold these codes as their printed text.
constexpr unsigned char kCheckedCode = 0xFC, kUncheckedCode = 0xFB;

struct PrintLayout {
  const GridRecord* grid = nullptr;
  const DialogField* field = nullptr;
  const GridPrintSettings* s = nullptr;
  std::shared_ptr<const plat::Font> font;
  int h = 0;          // the print font's height
  int em = 0;         // its height without internal leading: the size of a check mark
  int charWidth = 0;  // its average character width
  int pitch = 0;      // from one row to the next
  int headerHeight = 0;
  bool hasHeaders = false, hasLabels = false;
  int labelWidth = 0;
  int firstColumn = 0, lastColumn = 0, firstRow = 0, lastRow = 0;
  std::vector<int> widths;  // per printed column
};

std::string Trimmed(std::string_view text) {
  const std::size_t nul = text.find('\0');
  if (nul != std::string_view::npos) text = text.substr(0, nul);
  const std::size_t end = text.find_last_not_of(' ');
  return std::string(end == std::string_view::npos ? std::string_view{} : text.substr(0, end + 1));
}

int TextWidthOf(const PrintLayout& l, const GridColumn& c, const std::string& text) {
  if (c.type == kColumnCheckBox) return text.empty() ? 0 : l.em;
  return l.font->TextWidth(text);
}

/// The packed colour of a cell's text or background: its own in a column
/// that keeps per-row colours, else its column template's; then the grid
/// field's; -1 when none is set.
std::int32_t CellColourOf(const PrintLayout& l, const GridColumn& c, int row, bool background) {
  std::int32_t colour = -1;
  if (!c.cellColours.empty()) {
    const CellColour& cc = c.cellColours[static_cast<std::size_t>(row)];
    if (cc.flags & (background ? 2 : 1)) colour = Packed(background ? cc.background : cc.text);
  } else {
    colour = background ? c.settings.backgroundColour : c.settings.textColour;
  }
  if (colour == -1 && l.field != nullptr)
    colour = background ? l.field->rec.backgroundColour : l.field->rec.textColour;
  return colour;
}

plat::Pixel TextColourOf(const PrintLayout& l, const GridColumn& c, int row) {
  const std::int32_t colour = l.s->textColours ? CellColourOf(l, c, row, false) : -1;
  return colour == -1 ? plat::Rgb(0, 0, 0) : PackedColour(colour);
}

std::optional<plat::Pixel> BackgroundOf(const PrintLayout& l, const GridColumn& c, int row) {
  const std::int32_t colour = l.s->backColours ? CellColourOf(l, c, row, true) : -1;
  if (colour == -1) return std::nullopt;
  return PackedColour(colour);
}

void Line(plat::DrawContext& dc, int x1, int y1, int x2, int y2) {
  dc.SetPen(plat::Pen::Solid(plat::Rgb(0, 0, 0)));
  dc.MoveTo({x1, y1});
  dc.LineTo({x2, y2});
}

void Text(plat::DrawContext& dc, const PrintLayout& l, plat::Point at, std::string_view text,
          plat::Pixel colour, const plat::Rect& clip) {
  plat::TextStyle style;
  style.colour = colour;
  style.vAlign = plat::TextVAlign::Top;
  dc.SetClip(clip);
  dc.Text(*l.font, at, text, style);
  dc.SetClip(std::nullopt);
}

/// A check mark or a cross an em square, centred on the column at the text
/// line; the platform has no symbol font that holds them.
void CheckMark(plat::DrawContext& dc, const PrintLayout& l, int left, int width, int textTop,
               bool checked, plat::Pixel colour, const plat::Rect& clip) {
  const int side = l.em;
  const int x = left + (width - side) / 2, y = textTop + (l.h - side) / 2;
  const int inset = side / 8;
  dc.SetClip(clip);
  dc.SetPen(plat::Pen::Solid(colour, std::max(1, side / 10)));
  if (checked) {
    const plat::Point tick[3] = {{x + inset, y + side / 2},
                                 {x + side * 3 / 8, y + side - inset},
                                 {x + side - inset, y + inset}};
    dc.Polyline(tick);
  } else {
    dc.MoveTo({x + inset, y + inset});
    dc.LineTo({x + side - inset, y + side - inset});
    dc.MoveTo({x + side - inset, y + inset});
    dc.LineTo({x + inset, y + side - inset});
  }
  dc.SetClip(std::nullopt);
}

/// The column's cells of rows FIRST to LAST at X (WIDTH wide); rows start at ROWSTOP.
void PrintColumn(plat::DrawContext& dc, const PrintLayout& l, int column, int x, int width,
                 int first, int last, int rowsTop) {
  const GridColumn& c = l.grid->columns[static_cast<std::size_t>(column)];
  const GridPrintSettings& s = *l.s;
  unsigned align = 0;
  if (c.type != kColumnCheckBox && c.type != kColumnOption)
    align = plat::GetStyle(c.prototype) & (plat::kEsCenter | plat::kEsRight);
  for (int row = first; row <= last; ++row) {
    const int i = row - first;
    const int textTop = rowsTop + l.h / 4 + i * l.pitch;
    plat::Rect cell{x + 1, textTop, x + width + 1, textTop + l.pitch};
    if (s.gridLines) {
      cell.top -= l.h / 4;
      cell.bottom -= l.h / 4;
    } else {
      if (row == first) cell.top -= l.h / 4;
      if (row == last) cell.bottom += l.h / 4;
    }
    if (const std::optional<plat::Pixel> back = BackgroundOf(l, c, row)) {
      dc.SetPen(plat::Pen::None());
      dc.SetBrush(plat::Brush::Solid(*back));
      dc.Rectangle(cell);
    }
    const std::string text = GridCellText(*l.grid, column, row, 1);
    if (text.empty()) continue;
    const plat::Pixel colour = TextColourOf(l, c, row);
    if (c.type == kColumnCheckBox) {
      const unsigned char code = static_cast<unsigned char>(text[0]);
      if (code == kCheckedCode || code == kUncheckedCode)
        CheckMark(dc, l, x, width, textTop, code == kCheckedCode, colour, cell);
      continue;
    }
    int at = x + l.charWidth / 2;
    if (align & plat::kEsRight)
      at = x + width - l.charWidth / 2 - l.font->TextWidth(text);
    else if (align & plat::kEsCenter)
      at = x + (width - l.font->TextWidth(text)) / 2;
    Text(dc, l, {at, textTop}, text, colour, cell);
  }
}

/// Prints the pages of the layout; false when the job failed.
bool PrintPages(GridPrinterContext& ctx, const PrintLayout& l, int rowsPerPage) {
  const GridPrintSettings& s = *l.s;
  const plat::Pixel black = plat::Rgb(0, 0, 0);
  bool firstBlock = true;
  for (int blockStart = l.firstRow; blockStart <= l.lastRow;) {
    const bool headers = l.hasHeaders && (s.repeatHeaders || firstBlock);
    // Without the header row a page holds one row more.
    const int perBlock = rowsPerPage + (l.hasHeaders && !headers ? 1 : 0);
    const int blockEnd = std::min(l.lastRow, blockStart + perBlock - 1);
    const int n = blockEnd - blockStart + 1;
    const int rowsTop = s.topEdge + (headers ? l.headerHeight : 0);
    const int bottom = rowsTop + n * l.pitch + (s.gridLines ? 0 : l.h / 2);
    bool firstPage = true;
    for (int column = l.firstColumn; column <= l.lastColumn; firstPage = false) {
      plat::DrawContext* page = ctx.StartPage();
      if (page == nullptr) return false;
      plat::DrawContext& dc = *page;
      int x = s.leftEdge;
      const bool labels = l.hasLabels && (s.repeatHeaders || (firstBlock && firstPage));
      if (labels) {
        Line(dc, x, rowsTop, x, bottom);
        for (int row = blockStart; row <= blockEnd; ++row) {
          const int textTop = rowsTop + l.h / 4 + (row - blockStart) * l.pitch;
          const std::size_t r = static_cast<std::size_t>(row);
          const std::string label = r < l.grid->rowLabels.size() ? l.grid->rowLabels[r] : "";
          if (!label.empty())
            Text(dc, l, {x + l.charWidth / 2, textTop}, label, black,
               {x + 1, textTop - l.h / 4, x + l.labelWidth + 1, textTop - l.h / 4 + l.pitch});
        }
        x += l.labelWidth;
        Line(dc, x, s.topEdge, x, bottom);
      } else if (s.columnLines || !firstPage) {
        Line(dc, x, s.topEdge, x, bottom);
      }
      const int headerLeft = x;
      for (bool firstOnPage = true; column <= l.lastColumn; ++column, firstOnPage = false) {
        int width = l.widths[static_cast<std::size_t>(column - l.firstColumn)];
        if (firstOnPage) {
          width = std::max(0, std::min(width, s.rightEdge - x));
        } else if (x + width > s.rightEdge) {
          if (!s.columnLines) Line(dc, x, s.topEdge, x, bottom);
          break;
        }
        if (headers) {
          std::string caption;
          if (std::optional<plat::HeaderItem> item =
                  plat::HeaderGetItem(l.grid->columnHeader, column + 1))
            caption = item->text;
          if (!caption.empty())
            Text(dc, l, {x + (width - l.font->TextWidth(caption)) / 2, s.topEdge + l.h / 4}, caption,
               black, {x + 1, s.topEdge, x + width + 1, s.topEdge + l.headerHeight});
        }
        PrintColumn(dc, l, column, x, width, blockStart, blockEnd, rowsTop);
        x += width;
        if (s.columnLines || column == l.lastColumn) Line(dc, x, s.topEdge, x, bottom);
      }
      // The rules across the page.
      if (headers) Line(dc, s.leftEdge, s.topEdge + l.headerHeight, x, s.topEdge + l.headerHeight);
      Line(dc, headers ? headerLeft : s.leftEdge, s.topEdge, x, s.topEdge);
      if (s.gridLines) {
        for (int i = 1; i <= n; ++i)
          Line(dc, s.leftEdge, rowsTop + i * l.pitch, x, rowsTop + i * l.pitch);
      } else {
        Line(dc, s.leftEdge, bottom, x, bottom);
      }
      ctx.EndPage();
    }
    blockStart = blockEnd + 1;
    firstBlock = false;
  }
  return true;
}

}  // namespace

void GridPrint(int field, std::int32_t& printed, int firstColumn, int lastColumn, int firstRow,
               int lastRow, int which, std::string_view title) {
  printed = 0;
  const int window = CurrentWindow();
  const GridRecord* g = FindGrid(field);
  if (g == nullptr || !g->built) return;
  PrintLayout l;
  l.grid = g;
  l.field = GridField(*g);
  l.firstColumn = std::max(firstColumn, 0);
  l.lastColumn = std::min(lastColumn, g->columnCount - 1);
  l.firstRow = std::max(firstRow, 0);
  l.lastRow = std::min(lastRow, g->rowCount - 1);
  if (l.firstColumn > l.lastColumn || l.firstRow > l.lastRow) return;

  GridPageSetup();
  GridPrintSettings& s = GridPrintSettingsOf(which);
  l.s = &s;
  if (!GridPrinting().printerContext) return;
  const plat::PageSetupValues& p = s.pageSetup;
  std::unique_ptr<GridPrinterContext> ctx =
      GridPrinting().printerContext(p.printer, p.media, p.landscape, p.copies);
  if (!ctx) return;
  const int dpiX = std::max(ctx->ResolutionX(), 1), dpiY = std::max(ctx->ResolutionY(), 1);
  const int screenDpi = std::max(ScreenPixelsPerInch(), 1);

  // The print font: the screen font's character height scaled to the printer.
  std::shared_ptr<const plat::Font> screen = g->font;
  if (!screen) screen = plat::OpenFont(plat::FontSpec{});
  if (!screen) return;
  plat::FontSpec spec = screen->Spec();
  const int screenEm = screen->Metrics().height - screen->Metrics().internalLeading;
  spec.height = -std::max(1, Scaled(screenEm, static_cast<std::int64_t>(dpiY) * s.scale,
                                    static_cast<std::int64_t>(screenDpi) * 100));
  spec.width = 0;
  l.font = plat::OpenFont(spec);
  if (!l.font) return;
  l.h = std::max(1, l.font->Metrics().height);
  l.em = std::max(1, l.h - l.font->Metrics().internalLeading);
  l.charWidth = l.font->Metrics().averageCharWidth;

  // The printed area, measured from the printable origin.
  const int u = UnitsPerInch(s);
  s.leftEdge = Scaled(p.left, dpiX, u);
  s.rightEdge = Scaled(s.paperWidth - p.right, dpiX, u);
  s.topEdge = Scaled(p.top, dpiY, u);
  s.bottomEdge = Scaled(s.paperHeight - p.bottom, dpiY, u);

  std::string name;
  if (which == 2)
    name = Trimmed(GridWindowTextsOf(window).file);
  else
    name = Trimmed(title);
  if (name.empty()) name = kUntitled;

  const unsigned style = GridStyleOf(*g);
  l.hasHeaders = (style & kGridColumnHeaders) && g->columnHeader != plat::kNoWindow;
  l.hasLabels = (style & kGridRowLabels) != 0;
  l.pitch = s.gridLines ? l.h * 3 / 2 : l.h;
  l.headerHeight = l.h * 3 / 2;
  const int rowsPerPage = (s.bottomEdge - s.topEdge) / l.pitch - (l.hasHeaders ? 1 : 0);
  // Not a single row fits: nothing could ever be printed.
  if (rowsPerPage < 1) return;

  // Column widths: the screen's scaled to the printer, grown to the widest text.
  const std::int64_t widthScale = static_cast<std::int64_t>(dpiX) * s.scale;
  const std::int64_t widthDivisor = static_cast<std::int64_t>(screenDpi) * 100;
  for (int column = l.firstColumn; column <= l.lastColumn; ++column) {
    const GridColumn& c = g->columns[static_cast<std::size_t>(column)];
    int widest = 0;
    for (int row = l.firstRow; row <= l.lastRow; ++row)
      widest = std::max(widest, TextWidthOf(l, c, GridCellText(*g, column, row, 1)));
    l.widths.push_back(std::max(Scaled(c.width, widthScale, widthDivisor), widest + l.charWidth));
  }
  if (l.hasLabels) {
    int widest = 0;
    const std::size_t rows = std::min(g->rowLabels.size(), static_cast<std::size_t>(g->rowCount));
    for (std::size_t row = 0; row < rows; ++row)
      widest = std::max(widest, l.font->TextWidth(g->rowLabels[row]));
    l.labelWidth = std::max(Scaled(g->labelWidth, widthScale, widthDivisor), widest + l.charWidth);
  }

  ctx->StartDoc(name);
  if (!PrintPages(*ctx, l, rowsPerPage)) return;
  printed = ctx->EndDoc() ? 1 : 0;
}

}  // namespace tk
