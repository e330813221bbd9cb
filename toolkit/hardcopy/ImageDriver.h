#pragma once
// Hardcopy driver 6: the picture painted into the software raster page and
// written at each end of page as an image file, PCX (the default), BMP
// (plain or run-length) or PNG, at 1, 4, 8 or 24 bits per pixel.
#include <string>

#include "toolkit/graphics/Drivers.h"
#include "toolkit/graphics/ImageEncode.h"

namespace tk {

struct RasterPage;

/// The raster page as the image writers read it.
[[nodiscard]] RasterPageView ImagePageView(const RasterPage& page);

class XXIMAG : public HardcopyDriver {
 public:
  void Select() override;
  void Output(DriverOperation op) override;
  void Draw(DriverOperation op) override;
  void Attribute(DriverOperation op) override;
  void Text(DriverOperation op) override;

 private:
  void Begin();
  void EndPage();
  void EndOutput();
  /// Opens the file of page N of the picture on stream 2 (pages after the
  /// first go to their own files); false when it cannot be opened.
  bool OpenPageFile(int n);
  /// Patches the run-length BMP of page N when one was written without error.
  void PatchPage(int n) const;

  std::string outputName_;
  int pagesWritten_ = 0;
  int pageType_ = 0;
};

}  // namespace tk
