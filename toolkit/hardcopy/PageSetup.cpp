// The printer's page set-up.
#include "toolkit/hardcopy/PageSetup.h"

#include <algorithm>

#include "platform/dialog/PageSetupDialog.h"
#include "platform/system/Printer.h"
#include "toolkit/core/DialogFrame.h"
#include "toolkit/hardcopy/PrinterAccess.h"

namespace tk {
namespace {

struct KeptSetup {
  bool asked = false;
  plat::PageSetupValues values;
};

KeptSetup& Kept() {
  static KeptSetup k;
  return k;
}

}  // namespace

void PageSetupReset() {
  Kept() = KeptSetup{};
}

void PageSetupDialog(int& paperWidth, int& paperHeight, int& printableWidth, int& printableHeight,
                     int& left, int& top, int& orientation, int& copies, int units, int& colours,
                     int& confirmed) {
  KeptSetup& k = Kept();
  const bool metric = units >= 2;
  if (!k.asked || k.values.metric != metric) {
    k.values = plat::PageSetupValues{};
    k.values.metric = metric;
    plat::PrinterDefaultDestination(k.values.printer);
    k.values.printers = plat::PrinterDestinations();
    if (!k.values.printer.empty()) k.values.media = plat::PrinterPageOf(k.values.printer).media;
    k.asked = true;
  }
  plat::PageSetupValues v = k.values;
  v.landscape = orientation != 0;
  v.copies = std::max(copies, 1);
  int w = 0, h = 0;
  plat::PageSetupPaper(v, w, h);
  v.left = std::max(left, 0);
  v.top = std::max(top, 0);
  v.right = std::max(w - printableWidth - left, 0);
  v.bottom = std::max(h - printableHeight - top, 0);

  confirmed = 0;
  {
    DialogFrame frame(false, "PageSetupDialog");
    if (!plat::RunPageSetupDialog(frame.Owner(), v)) return;
  }
  k.values = v;
  PrinterJobSettings& s = CurrentPrinterJob();
  s.deviceName = v.printer;
  s.driverName = "lp";
  s.portName = v.printer;
  s.paperSize = PaperCodeOfMedia(v.media);
  s.pageSetupDone = true;
  plat::PageSetupPaper(v, paperWidth, paperHeight);
  printableWidth = paperWidth - v.left - v.right;
  printableHeight = paperHeight - v.top - v.bottom;
  left = v.left;
  top = v.top;
  orientation = v.landscape ? 1 : 0;
  copies = v.copies;
  colours = v.printer.empty() ? 256 : plat::PrinterPageOf(v.printer).colours;
  confirmed = 1;
}

}  // namespace tk
