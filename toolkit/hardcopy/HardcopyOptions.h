#pragma once
// The hardcopy options: one table of integers every hardcopy driver reads
// (page size and position, orientation, colour handling, line style and the
// drivers' own choices), the rules by which they are set, and the select of a
// driver that keeps them.
#include <cstdint>
#include <string>
#include <string_view>

namespace tk {

/// Option codes 1-29 and 101-108; other codes name no option.
inline constexpr int kHardcopyOptionCount = 29;
inline constexpr int kHardcopyStoredFirst = 101;
inline constexpr int kHardcopyStoredLast = 108;

/// True for 1-29 and 101-108.
bool HardcopyOptionCodeValid(int code);
/// The value of option CODE (0 for a code that names no option).
std::int32_t HardcopyOption(int code);
/// Stores VALUE as option CODE without any rule (drivers setting their
/// defaults at select; the resets).
void HardcopyOptionStore(int code, std::int32_t value);

/// Sets option CODE under its acceptance rules; an unacceptable value or code
/// leaves everything as it was, and nothing is reported.
void HardcopyOptionSet(int code, int value);

/// The extension options 22 (PostScript) and 26 (image type) give a name:
/// ".eps"/".ps" and ".bmp"/".png"/".pcx"; empty for other codes.
std::string_view HardcopyOptionExtension(int code, int value);
/// Replaces the extension of NAME by EXTENSION: it starts at the last "."
/// when that lies after the last directory separator ("/" or "\"),
/// otherwise right after the last non-blank character. NAME keeps its size
/// (blank-padded). False, with NAME unchanged, when it is blank or the new
/// name would not fit.
bool ReplaceNameExtension(std::string& name, std::string_view extension);

/// Select-time values of options 6-11, 17 and 101-108; others unchanged.
void HardcopyOptionsReset();

/// Limits of the current raster printer model, set by the model tables:
/// the number of print qualities (option 13) and the option-24 limit.
struct RasterModelLimits {
  std::int32_t qualities = 1;
  std::int32_t option24Limit = 0;
};
RasterModelLimits& CurrentRasterModelLimits();

/// Operation 1 with the options kept: saves options 1-29, 101-108 and
/// HardcopyFileName, selects with P2 = -998 after zeroing 1-29, restores the
/// name and re-applies the options through HardcopyOptionSet (1-29, then
/// 101-108). With KEEP false: options 1-29 zeroed, select with P2 = 0.
void HardcopySelectForReset(bool keep);

}  // namespace tk
