#pragma once
// Hardcopy driver 3: Scalable Vector Graphics documents. The drawing style
// lives in group elements opened when an attribute changes; fills and texts
// open groups of their own inside them. Units are points, y from the top.
#include <string>
#include <string_view>

#include "toolkit/graphics/Drivers.h"

namespace tk {

class SvgDriver : public HardcopyDriver {
 public:
  void Select() override;
  void Output(DriverOperation op) override;
  void Draw(DriverOperation op) override;
  void Attribute(DriverOperation op) override;
  void Text(DriverOperation op) override;
};

/// The entry of driver 3.
void XXSVG(DriverOperation& op);

/// The number text of VALUE: "(F8.2)" without blanks, "12." for 12.00,
/// "12.5" for 12.50; eight asterisks when it does not fit. TEXT holds the
/// field; the number is TEXT(FIRST:LAST), positions from 1.
void YYSVGNUM(float value, std::string& text, int& first, int& last);
/// The same number as a text of its own.
std::string SvgNumber(float value);
/// An arc (34) or pie (13) as a path element.
void YYSVGPATH(DriverOperation op);

/// TEXT as element content: "&" and "<" as references, codes 161-255 as
/// three-digit references, 128-160 as the references of their Windows-1252
/// characters, controls other than tab dropped; cut before escaping so that
/// the escaped form holds at most LIMIT characters and no reference is split.
std::string SvgEscapedText(std::string_view text, std::size_t limit = 1040);

}  // namespace tk
