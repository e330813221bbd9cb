#pragma once
// Rounding of real values to whole numbers with every input defined:
// halves go away from zero, NaN gives 0, and values beyond the target range
// (infinities included) saturate to its nearest end. No call ever performs an
// undefined floating-to-integer conversion.
#include <cmath>
#include <cstdint>
#include <limits>

namespace tk {

/// Nearest 32-bit integer, halves away from zero (2.5 -> 3, -2.5 -> -3).
/// Returns false when X is NaN (OUT = 0) or out of range (OUT saturated).
[[nodiscard]] inline bool NearestIntChecked(double x, std::int32_t& out) {
  if (std::isnan(x)) {
    out = 0;
    return false;
  }
  const double r = std::round(x);  // halves away from zero, exact
  if (r > 2147483647.0) {
    out = std::numeric_limits<std::int32_t>::max();
    return false;
  }
  if (r < -2147483648.0) {
    out = std::numeric_limits<std::int32_t>::min();
    return false;
  }
  out = static_cast<std::int32_t>(r);
  return true;
}

/// Nearest 32-bit integer with the rules above (NaN 0, saturating).
inline std::int32_t NearestInt(double x) {
  std::int32_t out;
  (void)NearestIntChecked(x, out);
  return out;
}

/// Truncation toward zero into 32 bits. Returns false when X is NaN (OUT = 0)
/// or out of range (OUT saturated).
[[nodiscard]] inline bool TruncateIntChecked(double x, std::int32_t& out) {
  if (std::isnan(x)) {
    out = 0;
    return false;
  }
  const double t = std::trunc(x);
  if (t > 2147483647.0) {
    out = std::numeric_limits<std::int32_t>::max();
    return false;
  }
  if (t < -2147483648.0) {
    out = std::numeric_limits<std::int32_t>::min();
    return false;
  }
  out = static_cast<std::int32_t>(t);
  return true;
}

}  // namespace tk
