#pragma once
// Helpers shared by the drivers that write text files (PostScript, SVG,
// DXF): numbers written through an edit
// descriptor parsed once, blank tidying, and the colour of the state's
// foreground and background.
#include <string>
#include <string_view>

#include "toolkit/core/Conversion.h"

namespace tk {

/// One edit descriptor, parsed once, that writes many numbers: "(F9.2)"
/// gives exactly nine characters, asterisks when the value does not fit.
class FixedField {
 public:
  explicit FixedField(std::string_view format);
  std::string operator()(double value) const;
  std::string Integer(long long value) const;

 private:
  EditDescriptor d_;
};

/// TEXT with every run of blanks made one blank and the ends trimmed.
std::string SqueezeBlanks(std::string_view text);
/// TEXT without leading and trailing blanks.
std::string_view TrimBlanks(std::string_view text);

/// The part of a full select the text-file drivers share: no gradient fill,
/// every text angle, platform level 2, true colour, whole strings, no
/// device underline; CAPABILITIES for the hardcopy, DEFAULT_NAME (blank
/// padded) as HardcopyFileName, and NUMBER as DriverNumber.
void DescribeTextFileDriver(int number, std::string_view capabilities, std::string_view defaultName);

/// The drawable's width and height in pixels for the factors (at least 1).
float DrawableWidth();
float DrawableHeight();

/// Red, green and blue 0-255 of the state's current (FOREGROUND true) or
/// previous colour: the palette entry of its number in palette mode, its
/// packed RGB value otherwise or when it has no number.
void StateColourRgb(bool foreground, int& r, int& g, int& b);

}  // namespace tk
