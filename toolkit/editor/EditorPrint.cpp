// Printing the text of an editor.
#include "toolkit/editor/EditorPrint.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/controls/RichEdit.h"
#include "platform/dialog/MessageBox.h"
#include "platform/system/Printer.h"
#include "toolkit/core/DialogFrame.h"

namespace tk {
namespace {

constexpr int kTwipsPerInch = 1440;

plat::DrawContext*& StandIn() {
  static plat::DrawContext* context = nullptr;
  return context;
}

void PrintFailed(const EditorRecord& rec) {
  plat::MessageBox({.owner = rec.window,
                    .text = "Unable to print text",
                    .caption = "Print Error",
                    .buttons = plat::MessageBoxButtons::Ok,
                    .icon = plat::MessageBoxIcon::Exclamation});
}

/// The first time: the default printer and its paper, margins 0, nothing shown.
void FetchDefaults(EditorPageSetup& kept) {
  if (kept.fetched) return;
  kept.values = plat::PageSetupValues{};
  plat::PrinterDefaultDestination(kept.values.printer);
  kept.values.printers = plat::PrinterDestinations();
  if (!kept.values.printer.empty())
    kept.values.media = plat::PrinterPageOf(kept.values.printer).media;
  kept.fetched = true;
}

std::int64_t Scale(std::int64_t value, std::int64_t by, std::int64_t over) {
  return over > 0 ? value * by / over : 0;
}

}  // namespace

EditorPageSetup& EditorKeptPageSetup() {
  static EditorPageSetup kept;
  return kept;
}

void EditorPrintDrawStandIn(plat::DrawContext* context) {
  StandIn() = context;
}

int EditorPrint(EditorRecord& rec, bool selectionOnly) {
  EditorPageSetup& kept = EditorKeptPageSetup();
  FetchDefaults(kept);
  plat::PageSetupValues values = kept.values;
  {
    DialogFrame frame(false, "EditorPrint");
    if (!plat::RunPageSetupDialog(frame.Owner(), values)) return 0;
  }
  kept.values = values;

  // The printer's device context: none without a print system or a printer.
  if (values.printer.empty() || !plat::PrintCommandPresent()) {
    PrintFailed(rec);
    return 0;
  }
  plat::PrinterPage page = plat::PrinterPageOf(values.printer);
  // The pages have the paper chosen in the dialog.
  int mediaWidth = 0, mediaHeight = 0;
  if (plat::MediaPixels(values.media, page.dpiX, mediaWidth, mediaHeight)) {
    page.media = values.media;
    page.paperWidth = mediaWidth;
    page.paperHeight = mediaHeight;
  }
  plat::PrintJobSettings settings;
  settings.destination = values.printer;
  settings.title = rec.documentName.empty() ? "Untitled Text" : rec.documentName;
  settings.copies = std::max(values.copies, 1);
  settings.media = values.media;
  plat::PrintJob job(page, settings, values.landscape);

  // The area inside the margins, less what the printer cannot reach, in
  // twips from the printable area's corner.
  const std::int64_t units = values.metric ? 2540 : 1000;
  const int dpiX = std::max(page.dpiX, 1), dpiY = std::max(page.dpiY, 1);
  const int physicalWidth = job.PageWidth(), physicalHeight = job.PageHeight();
  const int offsetX = values.landscape ? page.offsetY : page.offsetX;
  const int offsetY = values.landscape ? page.offsetX : page.offsetY;
  const int printableWidth = physicalWidth - offsetX, printableHeight = physicalHeight - offsetY;
  const std::int64_t offLeft = Scale(offsetX, units, dpiX);
  const std::int64_t offTop = Scale(offsetY, units, dpiY);
  const std::int64_t offRight = Scale(physicalWidth - printableWidth - offsetX, units, dpiX);
  const std::int64_t offBottom = Scale(physicalHeight - printableHeight - offsetY, units, dpiY);
  int paperWidth = 0, paperHeight = 0;
  plat::PageSetupPaper(values, paperWidth, paperHeight);
  const std::int64_t left = Scale(values.left - offLeft, kTwipsPerInch, units);
  const std::int64_t top = Scale(values.top - offTop, kTwipsPerInch, units);
  const std::int64_t right = Scale(paperWidth - values.right - offRight, kTwipsPerInch, units);
  const std::int64_t bottom = Scale(paperHeight - values.bottom - offBottom, kTwipsPerInch, units);
  const plat::Rect area{static_cast<int>(Scale(left, dpiX, kTwipsPerInch)),
                        static_cast<int>(Scale(top, dpiY, kTwipsPerInch)),
                        static_cast<int>(Scale(right, dpiX, kTwipsPerInch)),
                        static_cast<int>(Scale(bottom, dpiY, kTwipsPerInch))};
  // Margins that leave no room would give page after page with nothing on.
  if (area.Empty()) {
    PrintFailed(rec);
    return 0;
  }

  const plat::Hwnd c = rec.textControl;
  int start = 0, end = plat::RichEditGetTextLength(c);
  if (selectionOnly) {
    const auto [a, b] = plat::RichEditGetSel(c);
    start = std::min(a, b);
    end = std::max(a, b);
  }
  while (start < end) {
    plat::Surface& surface = job.StartPage();
    std::unique_ptr<plat::CanvasDrawContext> canvas;
    plat::DrawContext* dc = StandIn();
    if (dc == nullptr) {
      canvas = std::make_unique<plat::CanvasDrawContext>(surface, plat::Point{offsetX, offsetY});
      dc = canvas.get();
    }
    const int stop = plat::RichEditPrintRange(c, *dc, area, dpiX, start, end);
    if (stop <= start) {  // the control placed nothing: no end to the pages
      PrintFailed(rec);
      return 0;
    }
    start = stop;
  }
  if (job.Submit().error != 0) {
    PrintFailed(rec);
    return 0;
  }
  return 1;
}

}  // namespace tk
