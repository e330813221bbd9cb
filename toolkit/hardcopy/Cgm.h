#pragma once
// Hardcopy driver 9: a binary Computer Graphics Metafile (ISO 8632-3)
// through plot-file stream 2, one picture per page, 16-bit integer VDC and
// direct 8-bit colour, attributes written only when they change.
#include <string>

#include "toolkit/graphics/Drivers.h"
#include "toolkit/hardcopy/CgmEncoding.h"

namespace tk {

class XXCGM : public HardcopyDriver {
 public:
  XXCGM();
  void Select() override;
  void Output(DriverOperation op) override;
  void Draw(DriverOperation op) override;
  void Attribute(DriverOperation op) override;
  void Text(DriverOperation op) override;

  /// Writes a gradient polygon's triangles (vertex numbers from 1).
  void WriteTriangles(const std::vector<CgmPictureWriter::Vertex>& vertices,
                      const std::vector<std::array<int, 3>>& list);
  /// Writes NX x NY packed RGB pixels as a cell array over the clip
  /// rectangle, each row with one write through the stream's handle; false
  /// (P2 2, P1 the system code) when a row write is short.
  bool WriteCellArray(const std::vector<std::int32_t>& pixels, int nx, int ny);

 private:
  CgmPictureWriter Writer();
  /// Opens the next picture when the last one was closed by an end of page.
  void PictureOpen();
  int Pending();

  CgmEncoder encoder_;
  CgmRemembered remembered_;
  CgmHeader header_;
  float pageAspect_ = 1;
  bool pictureOpen_ = false;
  bool output_ = false;
};

}  // namespace tk
