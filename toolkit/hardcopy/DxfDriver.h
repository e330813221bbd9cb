#pragma once
// Hardcopy driver 8: ASCII drawing-exchange files. A header with the
// drawing's extents and limits, tables of line types, one text style and nine
// layers, then one entities section that takes every line, polyline, solid,
// circle, arc, point and text of the job; units are inches, y upward.
#include <string>
#include <string_view>

#include "toolkit/graphics/Drivers.h"

namespace tk {

class DxfDriver : public HardcopyDriver {
 public:
  void Select() override;
  void Output(DriverOperation op) override;
  void Draw(DriverOperation op) override;
  void Attribute(DriverOperation op) override;
  void Text(DriverOperation op) override;
};

/// The entry of driver 8.
void XXDXF(DriverOperation& op);

// The group writers: every group code and every value is a record of its own.
/// TEXT without its trailing blanks, at least one character.
void YYDXFREC(std::string_view text);
/// CODE and VALUE as they stand, two records.
void YYDXFPAIR(std::string_view code, std::string_view value);
/// TEXT, then VALUE written "(I3)" without leading blanks.
void YYDXFINT(std::string_view text, int value);
/// CODE, then VALUE written "(F15.6)" without leading blanks and without the
/// zeros ending its fraction ("2.", "10.5", "-0.25").
void YYDXFREAL(std::string_view code, float value);
/// X times FactorX under X_CODE, Y times FactorY under Y_CODE.
void YYDXFXY(std::string_view xCode, std::string_view yCode, float x, float y);
/// Starts an entity NAME on layer 1 in the current colour number.
void YYDXFENT(std::string_view name);

/// The value text YYDXFREAL writes.
std::string DxfReal(float value);
/// The DXF colour number nearest to a packed RGB value (red + 256 green +
/// 65536 blue): the first exact match, else the lowest of the nearest.
int DxfNearestColour(int rgb);
/// The colour number the following entities carry (0 before the first
/// colour operation of the run).
int DxfColourNumber();

}  // namespace tk
