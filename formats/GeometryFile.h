#pragma once
// Receiver-geometry files (".GEO"): one text line per trace, trace 1 first,
// each three fields of ten columns written F10.2 in the order easting,
// elevation, northing (not the order of the editor's grid), lines ending
// with CR LF.
//
// Reading takes the first 30 columns of a line (a shorter line reads as if
// padded with blanks): blanks inside a field are ignored, a blank field is
// 0, a field without a decimal point has two implied decimals and an
// exponent is allowed. Reading stops at the end of the file, at the first
// line that does not read, or once every receiver has its line.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace vel {

/// The receivers a geometry file is read into or written from: three arrays
/// of at least the count of receivers handled.
struct GeometrySpans {
  std::span<float> easting;
  std::span<float> northing;
  std::span<float> elevation;
};

inline constexpr std::size_t kGeometryFieldChars = 10;
inline constexpr std::size_t kGeometryLineChars = 3 * kGeometryFieldChars;

/// The file text for receivers 1 to N (N cut to the shortest array). False,
/// with BADTRACE the first receiver (from 1) whose value does not fit its
/// F10.2 field (10,000,000 and above, -1,000,000 and below, not a number),
/// when any does: such a file would end the next reading at that line.
[[nodiscard]] bool GeometryFileText(const GeometrySpans& g, std::size_t n, std::string& text,
                                    std::size_t& badTrace);

/// Reads one line (its CR and LF already removed) into EASTING, ELEVATION
/// and NORTHING; false, leaving them as they were, when it does not read
/// (a field that is no number, or a value beyond the range of a float).
[[nodiscard]] bool ReadGeometryLine(std::string_view line, float& easting, float& elevation,
                                    float& northing);

/// Reads the lines of TEXT into receivers 1 to N of G (N cut to the shortest
/// array) as the file reading does; receivers no line reached keep their
/// values. Returns the lines read.
std::size_t ReadGeometryText(std::string_view text, const GeometrySpans& g, std::size_t n);

/// Opens NAME (a name that does not exist is created empty) and reads it
/// into receivers 1 to N of G. False, after telling the user which file,
/// when the file cannot be opened, created or read.
bool ReadGeometryFile(std::string_view NAME, const GeometrySpans& g, std::size_t n);

/// Writes receivers 1 to N of G as the whole of file NAME. The file is
/// replaced in one step, keeping its permissions, so a failure keeps the old
/// file. False, after telling the user why, when a value does not fit or the
/// file cannot be written.
bool WriteGeometryFile(std::string_view NAME, const GeometrySpans& g, std::size_t n);

}  // namespace vel
