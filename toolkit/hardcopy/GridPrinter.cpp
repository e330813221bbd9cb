// The system printer behind grid printing.
#include "toolkit/hardcopy/GridPrinter.h"

#include <memory>
#include <string>

#include "toolkit/grid/GridPrinting.h"
#include "toolkit/hardcopy/PrinterAccess.h"

namespace tk {
namespace {

/// A printer device context seen through the grid's interface. A job that
/// was never ended hands nothing to the print system.
class GridPrinterAdapter : public GridPrinterContext {
 public:
  explicit GridPrinterAdapter(std::unique_ptr<PrinterContext> dc) : dc_(std::move(dc)) {
    // Logical (0, 0) is the printable origin.
    dc_->SetWindowOrigin({-dc_->OffsetX(), -dc_->OffsetY()});
  }
  int ResolutionX() const override { return dc_->ResolutionX(); }
  int ResolutionY() const override { return dc_->ResolutionY(); }
  int PhysicalWidth() const override { return dc_->PhysicalWidth(); }
  int PhysicalHeight() const override { return dc_->PhysicalHeight(); }
  int OffsetX() const override { return dc_->OffsetX(); }
  int OffsetY() const override { return dc_->OffsetY(); }
  void StartDoc(std::string_view name) override { dc_->StartDoc(name); }
  plat::DrawContext* StartPage() override {
    dc_->StartPage();
    return dc_->Draw();
  }
  void EndPage() override { dc_->EndPage(); }
  bool EndDoc() override { return dc_->EndDoc().error == 0; }

 private:
  std::unique_ptr<PrinterContext> dc_;
};

}  // namespace

void ConnectGridPrinting() {
  GridPrinting().printerInstalled = [] { return PrinterInstalled(); };
  GridPrinting().printerContext = [](const std::string& destination, const std::string& media,
                                     bool landscape,
                                     int copies) -> std::unique_ptr<GridPrinterContext> {
    PrinterJobSettings printer;
    printer.deviceName = destination;
    printer.driverName = "lp";
    printer.portName = destination;
    printer.namesKnown = !destination.empty();
    printer.paperSize = PaperCodeOfMedia(media);
    std::unique_ptr<PrinterContext> dc = PrinterDC(printer, landscape ? 1 : 0, copies);
    if (!dc) return nullptr;
    return std::make_unique<GridPrinterAdapter>(std::move(dc));
  };
}

}  // namespace tk
