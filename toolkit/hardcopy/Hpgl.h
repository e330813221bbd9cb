#pragma once
// Hardcopy driver 1: an HP-GL command file for a pen plotter of the current
// plotter model. Colours become pens, lines pen moves, text labels; filled
// shapes are filled by the plotter where its class can and option 25 allows,
// otherwise by the graphics core with strokes at the pen width, framed by
// annotation records that describe the shape to a later reader of the file.
#include <array>
#include <cstdint>
#include <string>

#include "toolkit/graphics/Drivers.h"
#include "toolkit/hardcopy/HpglRecords.h"

namespace tk {

/// The capability strings of the plotter classes 1-4 ("UEFH").
extern const std::array<std::string_view, 5> kPlotterCapabilities;

class XXHPGL : public HardcopyDriver {
 public:
  void Select() override;
  void Output(DriverOperation op) override;
  void Draw(DriverOperation op) override;
  void Attribute(DriverOperation op) override;
  void Text(DriverOperation op) override;

 private:
  void PageStart();
  void Fill(DriverOperation op);
  void Colour();
  void Label();
  /// Whether the class fills operation OP itself.
  bool ClassFills(int op) const;

  double u_ = 1016.0 / 72.0;  // plotter units per point
  int class_ = 1;
  char pen_ = ' ';
  bool parked_ = false;
  char terminator_ = '\4';
  float fillThickness_ = -1.0f;
  bool native_ = false;
  bool sizeChanged_ = true;
  int slantFont_ = 0, slantStyle_ = -1;
  ScalingPoints points_;
  std::array<std::string, 8> lineTypes_{"    ", "1 .3", "2 2 ", "4 3 ",
                                        "6 2 ", "5 3 ", "3 1 ", "6 4 "};
};

}  // namespace tk
