// The screen image on the system printer.
#include "toolkit/hardcopy/ScreenPrint.h"

#include "platform/FixedText.h"
#include "platform/draw/Canvas.h"
#include "toolkit/core/Errors.h"
#include "toolkit/graphics/Drivers.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/hardcopy/ModelTables.h"
#include "toolkit/hardcopy/PrinterAccess.h"

namespace tk {
namespace {

constexpr std::string_view kRoutine = "YYGAPI";
constexpr int kErrImageTransfer = 64;  // "Bit image transfer failed in IGrPrintImage"

void ReportNoPrinter() {
  ErrorState().systemError = 0;
  ErrorState().errorClass = kErrorClassNone;
  ReportLibraryError(kErrOpen, kRoutine);
}

}  // namespace

void PrintScreenImage(plat::Canvas* canvas) {
  const ScreenDumpSettings& d = CurrentScreenDump();
  if (d.windowsPrinterAvailable == 0) {
    ReportNoPrinter();
    return;
  }
  const std::string name(plat::TrimRight(DriverText().substr(0, kDriverTextLength)));
  int error = 0;
  PrinterStartDoc(d.options[1], d.options[2], d.options[3], d.options[4], error, d.options[5],
                  d.options[8], name);
  if (error != 0) {
    PrinterEndDoc();
    ReportNoPrinter();
    return;
  }
  const GraphicsState& gs = Gs();
  int dumpError = 1;
  if (canvas) {
    const plat::Point o = canvas->Origin();
    PrinterDumpScreen(canvas->Target(), o.x + gs.clipPixX0, o.y + gs.maxY - gs.clipPixY1,
                      o.x + gs.clipPixX1, o.y + gs.maxY - gs.clipPixY0, dumpError);
  }
  if (dumpError != 0) ReportLibraryError(kErrImageTransfer, kRoutine);
  const plat::PrintJobResult result = PrinterEndDoc();
  if (result.error != 0) {
    ErrorState().secondaryStatus = result.exitStatus != 0 ? result.exitStatus : result.error;
    ReportLibraryError(kErrOperatingSystem, std::string(kRoutine) + " " + result.keptFile);
  }
}

}  // namespace tk
