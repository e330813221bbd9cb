#pragma once
// Hardcopy driver 10: the system printer. One print job per hardcopy output,
// pages started by the first drawing after an end of page, pens, brushes and
// fonts made from the graphics state, drawn through a drawing context in
// printer pixels (y downwards from the margin corner).
#include <optional>
#include <span>
#include <string>

#include "platform/draw/Canvas.h"
#include "toolkit/graphics/Drivers.h"

namespace tk {

class XXWIN : public HardcopyDriver {
 public:
  void Select() override;
  void Output(DriverOperation op) override;
  void Draw(DriverOperation op) override;
  void Attribute(DriverOperation op) override;
  void Text(DriverOperation op) override;
};

/// The document name used when the hardcopy start gave no title.
inline constexpr std::string_view kDefaultDocumentName = "Parvendrite graphic";

/// The driver's line width in printer pixels and the working dash pattern
/// of line type 1-7 (empty for 0), as the job's resolution made them.
int WinPrinterLineWidth();
std::span<const int> WinPrinterDashes(int lineType);
/// The PostScript file kept when the print system refused the last job
/// (empty when it took it).
const std::string& WinPrinterKeptFile();
/// Sets the resolution that line widths and dash patterns follow until the
/// next job starts (tests of other printers).
void WinPrinterResolutionSet(int dpiX, int dpiY);
/// The image layer's target 10: the canvas of the printer's page being
/// drawn (a pending page is started first) and its clip; null without a job.
plat::Canvas* WinPrinterImageTarget(int target, std::optional<plat::Rect>& clip);
/// Forgets the driver's job and state (tests).
void WinPrinterReset();

}  // namespace tk
