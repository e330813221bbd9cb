#include "support/FieldReader.h"

#include <array>
#include <charconv>
#include <cmath>
#include <system_error>

namespace sup {
namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

/// The field without its blanks; false when that does not fit (a field with
/// more characters than any number we read is not a number).
struct Packed {
  std::array<char, 128> chars{};
  std::size_t size = 0;
};

bool Pack(std::string_view field, Packed& out) {
  out.size = 0;
  for (char c : field) {
    if (c == ' ') continue;
    if (out.size == out.chars.size()) return false;
    out.chars[out.size++] = c;
  }
  return true;
}

}  // namespace

bool ReadIntField(std::string_view field, std::int32_t& value) {
  value = 0;
  Packed p;
  if (!Pack(field, p)) return false;
  if (p.size == 0) return true;
  std::size_t i = 0;
  bool negative = false;
  if (p.chars[0] == '+' || p.chars[0] == '-') {
    negative = p.chars[0] == '-';
    ++i;
  }
  if (i == p.size) return false;
  std::int64_t magnitude = 0;
  for (; i < p.size; ++i) {
    if (!IsDigit(p.chars[i])) return false;
    magnitude = magnitude * 10 + (p.chars[i] - '0');
    if (magnitude > 2147483648LL) return false;
  }
  const std::int64_t v = negative ? -magnitude : magnitude;
  if (v > 2147483647LL) return false;
  value = static_cast<std::int32_t>(v);
  return true;
}

bool ReadRealField(std::string_view field, int decimals, double& value) {
  value = 0.0;
  Packed p;
  if (!Pack(field, p)) return false;
  if (p.size == 0) return true;

  // Mantissa: [sign] digits [. digits], at least one digit.
  std::size_t i = 0;
  bool negative = false;
  if (p.chars[i] == '+' || p.chars[i] == '-') {
    negative = p.chars[i] == '-';
    ++i;
  }
  // The number as from_chars wants it: digits, a point, "e", the exponent.
  std::array<char, 160> text{};
  std::size_t n = 0;
  int digits = 0;
  bool point = false;
  for (; i < p.size; ++i) {
    const char c = p.chars[i];
    if (IsDigit(c)) {
      text[n++] = c;
      ++digits;
    } else if (c == '.' && !point) {
      text[n++] = c;
      point = true;
    } else {
      break;
    }
  }
  if (digits == 0) return false;

  // Exponent: E or D with an optional sign, or a lone sign, then digits.
  std::int64_t exponent = 0;
  if (i < p.size) {
    const char c = p.chars[i];
    if (c == 'E' || c == 'e' || c == 'D' || c == 'd') ++i;
    bool expNegative = false;
    if (i < p.size && (p.chars[i] == '+' || p.chars[i] == '-')) {
      expNegative = p.chars[i] == '-';
      ++i;
    }
    if (i == p.size) return false;
    for (; i < p.size; ++i) {
      if (!IsDigit(p.chars[i])) return false;
      if (exponent < 100000) exponent = exponent * 10 + (p.chars[i] - '0');
    }
    if (expNegative) exponent = -exponent;
  }
  if (!point) exponent -= decimals;

  text[n++] = 'e';
  const auto [end, ec] = std::to_chars(text.data() + n, text.data() + text.size(), exponent);
  if (ec != std::errc()) return false;
  n = static_cast<std::size_t>(end - text.data());

  double v = 0.0;
  const auto res = std::from_chars(text.data(), text.data() + n, v);
  if (res.ec == std::errc::result_out_of_range) {
    if (exponent > 0) return false;  // too large for a double
    v = 0.0;                         // too small: underflows to 0
  } else if (res.ec != std::errc() || res.ptr != text.data() + n) {
    return false;
  }
  value = negative ? -v : v;
  return true;
}

}  // namespace sup
