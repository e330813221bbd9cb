#pragma once
// Hardcopy driver 4: dot-matrix, ink-jet and laser printers fed with raster
// graphics in Epson ESC/P (8 and 24 pins), IBM Proprinter X24, Epson ESC/P2
// and HP PCL. The picture is painted into the software raster page; at each
// end of page the page is turned into the printer's rows and bands.
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/graphics/Drivers.h"

namespace tk {

/// The fixed byte sequences of one printed page and the page as printed.
struct PrinterCommandBlock {
  std::string pageStart;
  std::string rowHeader;
  std::array<std::string, 2> planeHeaders;  // PCL planes 1 and 2
  std::string lineAdvance;
  std::array<std::string, 4> colourSelections;
  std::array<std::string, 2> passSpacings;
  std::string endOfPage;
  std::int32_t printedWidth = 0, printedHeight = 0;
  std::int32_t passes = 1;
  std::int32_t planesInUse = 1;
  std::int32_t compression = 0;
  std::int32_t leadingBlankBytes = 0;
  std::int32_t currentPlane = 0;
};
PrinterCommandBlock& CurrentPrinterCommands();

/// Whether printed pixel (x, y) is inked in the current plane.
using RasterPixelTest = std::function<bool(int x, int y)>;

/// Builds the command block for a page printed as H rows of W pixels.
void RasterPrinterCommands(int w, int h);
/// Writes the page to STREAM: page start, rows or bands, end of page.
void YYDUMP(int stream, const RasterPixelTest& test);
/// The pixel test that fits the printer class, the page depth and option 5.
RasterPixelTest ChooseRasterPixelTest();

/// Compresses the first N bytes of the row buffer by option-24 method 1
/// (run-length) or 2 (PackBits); N becomes the compressed length and the
/// count of header K (0 row header, 1 and 2 plane headers) is rewritten.
void PclRowCompress(int& n, int k);
/// Run-length compresses the first N bytes of the row buffer when that is
/// shorter, setting the compression byte of the ESC/P2 row header.
void EscP2RowCompress(int& n, std::vector<std::uint8_t>& scratch);
/// Writes the count of an ESC/P row of N data bytes into the row header.
void DotRowLength(int& n);

/// The encodings themselves, on byte strings.
std::string PclRunLength(std::string_view row);
std::string PackBits(std::string_view row);
std::string EscP2RunLength(std::string_view row);

class XXRAST : public HardcopyDriver {
 public:
  void Select() override;
  void Output(DriverOperation op) override;
  void Draw(DriverOperation op) override;
  void Attribute(DriverOperation op) override;
  void Text(DriverOperation op) override;

 private:
  void Begin();
};

}  // namespace tk
