#include "toolkit/hardcopy/TextFileOutput.h"

#include <algorithm>

#include "toolkit/graphics/Colours.h"
#include "toolkit/graphics/Drivers.h"
#include "toolkit/graphics/GraphicsState.h"

namespace tk {

FixedField::FixedField(std::string_view format) {
  if (!ParseEditDescriptor(format, d_)) d_ = EditDescriptor{'F', 10, 2, -1, 0};
}

std::string FixedField::operator()(double value) const {
  std::string field;
  if (!FormatReal(value, d_, field)) field.assign(static_cast<std::size_t>(d_.width), '*');
  return field;
}

std::string FixedField::Integer(long long value) const {
  std::string field;
  if (!FormatInteger(value, d_, field)) field.assign(static_cast<std::size_t>(d_.width), '*');
  return field;
}

std::string SqueezeBlanks(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  bool blank = true;  // drops leading blanks
  for (char c : text) {
    if (c == ' ') {
      if (!blank) out.push_back(' ');
      blank = true;
    } else {
      out.push_back(c);
      blank = false;
    }
  }
  if (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

std::string_view TrimBlanks(std::string_view text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(' ');
  return text.substr(first, last - first + 1);
}

void DescribeTextFileDriver(int number, std::string_view capabilities, std::string_view defaultName) {
  DriverParameters& dp = DriverParams();
  dp.gradientFill[1] = 0;
  dp.textAngles[1] = 360;
  dp.platformLevel[1] = 2;
  dp.trueColour[1] = 1;
  dp.deviceStringText = 1;
  dp.deviceUnderline = 0;
  dp.capabilities[1] = std::string(capabilities);
  std::string name(defaultName);
  name.resize(kHardcopyNameLength, ' ');
  HardcopyFileName() = name;
  dp.driverNumber = number;
}

float DrawableWidth() {
  return std::max(1.0f, static_cast<float>(Gs().width));
}

float DrawableHeight() {
  return std::max(1.0f, static_cast<float>(Gs().height));
}

void StateColourRgb(bool foreground, int& r, int& g, int& b) {
  const GraphicsState& gs = Gs();
  const StateColour& c = foreground ? gs.current : gs.previous;
  const bool numbered = gs.colourMode == 1 && c.number >= 0 && c.number <= 255;
  RgbSplit(numbered ? PaletteGetRgb(c.number) : c.rgb, r, g, b);
}

}  // namespace tk
