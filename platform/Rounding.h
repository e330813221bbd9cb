#pragma once
// Rounding of real values to whole numbers with every input defined:
// halves go away from zero, NaN gives 0, and values beyond the target range
// (infinities included) saturate to its nearest end. No call ever performs an
// undefined floating-to-integer conversion. Every layer rounds through these.
#include <cmath>
#include <concepts>
#include <cstdint>
#include <limits>

namespace plat {

namespace detail {

/// R (already whole, or NaN) into INT with the rules above.
template <std::signed_integral Int>
[[nodiscard]] bool WholeToInt(double r, Int& out) {
  if (std::isnan(r)) {
    out = 0;
    return false;
  }
  // The lowest value, -2^(bits-1), is exact in a double; so is its negation.
  constexpr double kLowest = static_cast<double>(std::numeric_limits<Int>::min());
  if (r >= -kLowest) {
    out = std::numeric_limits<Int>::max();
    return false;
  }
  if (r < kLowest) {
    out = std::numeric_limits<Int>::min();
    return false;
  }
  out = static_cast<Int>(r);
  return true;
}

}  // namespace detail

/// Nearest 32-bit integer, halves away from zero (2.5 -> 3, -2.5 -> -3).
/// Returns false when X is NaN (OUT = 0) or out of range (OUT saturated).
[[nodiscard]] inline bool NearestIntChecked(double x, std::int32_t& out) {
  return detail::WholeToInt(std::round(x), out);  // std::round: halves away from zero, exact
}

/// Nearest 32-bit integer with the rules above (NaN 0, saturating).
inline std::int32_t NearestInt(double x) {
  std::int32_t out;
  (void)NearestIntChecked(x, out);
  return out;
}

/// Nearest 64-bit integer with the same rules.
inline std::int64_t NearestInt64(double x) {
  std::int64_t out;
  (void)detail::WholeToInt(std::round(x), out);
  return out;
}

/// Truncation toward zero into 32 bits. Returns false when X is NaN (OUT = 0)
/// or out of range (OUT saturated).
[[nodiscard]] inline bool TruncateIntChecked(double x, std::int32_t& out) {
  return detail::WholeToInt(std::trunc(x), out);
}

/// Truncation toward zero into 32 bits with the rules above (NaN 0, saturating).
inline std::int32_t TruncateInt(double x) {
  std::int32_t out;
  (void)TruncateIntChecked(x, out);
  return out;
}

}  // namespace plat
