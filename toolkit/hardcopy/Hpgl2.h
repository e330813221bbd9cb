#pragma once
// Hardcopy driver 12: HP-GL/2 for page printers, framed by the PCL escapes
// that enter HP-GL/2, eject each page and return to PCL (plain HP-GL/2 on
// device 4). Colour devices get pens defined on first use with the
// palette's colour; monochrome devices get black and white pens with 8 x 4
// dither patterns. Polylines and polygons are written polyline-encoded.
#include <array>
#include <cstdint>
#include <string>

#include "toolkit/graphics/Drivers.h"
#include "toolkit/hardcopy/HpglRecords.h"

namespace tk {

/// "PC" of pen N with R, G, B after the colour-mode rule of option 6.
void YYHP2PC(int n, int r, int g, int b);
/// The two records of the 8 x 4 raster pattern of W (a cell is "1" where its
/// bit is clear); the "RF" header is the caller's.
void YYHP2RF(std::int32_t w);
/// The polyline PointX, PointY (P1 points) as "PE7" records of relative
/// moves, each closed with ";" once it passes 246 characters.
void YYHP2PE();

/// Device 1's replacements for the character codes 161-255.
extern const std::array<std::uint8_t, 95> kHpgl2CharacterTable;

class XXHPGL2 : public HardcopyDriver {
 public:
  void Select() override;
  void Output(DriverOperation op) override;
  void Draw(DriverOperation op) override;
  void Attribute(DriverOperation op) override;
  void Text(DriverOperation op) override;

 private:
  int Device() const;
  bool ColourDevice() const;
  void SelectPen(const std::string& pen);
  void Colour();
  void Fill(DriverOperation op);
  void MonochromeFill();
  void Label();
  static void Comment(std::string_view text);
  /// The hatch comment of an arc or pie, right after its first pen-up.
  static void ArcComment();
  /// The hatch comment of an ellipse the core fills.
  static void EllipseComment();

  std::string pen_ = "   ";
  std::string savedPen_ = "   ";
  std::array<bool, 256> defined_{};
  int fillType_ = -1;
  std::int64_t patternColour_ = -1;
  std::array<std::int64_t, 2> halftonePair_{-1, -1};
  bool sizeChanged_ = true;
  int kindCache_ = -1, styleCache_ = -1, fontCache_ = 0, originCache_ = -1;
  char terminator_ = '\4';
  float k_ = 1.5f;
  char letter_ = 'S';
  ScalingPoints points_;
  std::array<std::string, 8> lineTypes_{"    ", "1 .3", "2 2 ", "4 3 ",
                                        "7 2 ", "5 3 ", "3 1 ", "6 3 "};
};

}  // namespace tk
