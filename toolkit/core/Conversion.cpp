#include "toolkit/core/Conversion.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <iterator>
#include <limits>
#include <system_error>

#include "platform/FixedText.h"
#include "toolkit/core/Errors.h"
#include "toolkit/core/Rounding.h"

namespace tk {
namespace {

constexpr std::string_view kFailureStars = "**********";
constexpr int kLargestField = 1000;  // wider fields are taken as malformed

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

std::string_view UpToNul(std::string_view text) {
  return text.substr(0, text.find('\0'));
}

using plat::TrimRight;

/// Text of a quiet form: up to the NUL when there is one, else trimmed.
std::string_view QuietText(std::string_view text) {
  const auto nul = text.find('\0');
  return nul != std::string_view::npos ? text.substr(0, nul) : TrimRight(text);
}

/// Reads an unsigned count; false when there is no digit or it is too large.
bool ReadCount(std::string_view s, std::size_t& pos, int& out) {
  const std::size_t start = pos;
  long long v = 0;
  while (pos < s.size() && IsDigit(s[pos])) {
    v = v * 10 + (s[pos] - '0');
    if (v > kLargestField) return false;
    ++pos;
  }
  out = static_cast<int>(v);
  return pos > start;
}

std::string Stars(int width) {
  return std::string(static_cast<std::size_t>(width), '*');
}

/// Right-justifies BODY in WIDTH, or stars when it does not fit.
std::string RightJustify(const std::string& body, int width) {
  if (static_cast<int>(body.size()) > width) return Stars(width);
  return std::string(static_cast<std::size_t>(width) - body.size(), ' ') + body;
}

/// Infinity and NaN as Fortran writes them, or stars.
std::string NonFinite(double value, int width) {
  if (std::isnan(value)) return RightJustify("NaN", width);
  const bool negative = value < 0;
  std::string word = (width >= 8 + (negative ? 1 : 0)) ? "Infinity" : "Inf";
  if (negative) word.insert(0, 1, '-');
  return RightJustify(word, width);
}

/// Significant digits of |VALUE| rounded to COUNT digits, and the decimal
/// exponent X with |VALUE| ~= D.DDD x 10^X.
void SignificantDigits(double value, int count, std::string& digits, int& exponent) {
  std::array<char, 64 + kLargestField> buf;
  const auto res = std::to_chars(buf.data(), buf.data() + buf.size(), std::fabs(value),
                                 std::chars_format::scientific, count - 1);
  const std::string_view text(buf.data(), static_cast<std::size_t>(res.ptr - buf.data()));
  const auto e = text.find('e');
  digits.clear();
  for (char c : text.substr(0, e)) {
    if (IsDigit(c)) digits += c;
  }
  exponent = 0;
  const std::string_view ex = text.substr(e + 1);
  const bool neg = !ex.empty() && ex[0] == '-';
  const std::string_view mag = (!ex.empty() && (ex[0] == '-' || ex[0] == '+')) ? ex.substr(1) : ex;
  (void)std::from_chars(mag.data(), mag.data() + mag.size(), exponent);
  if (neg) exponent = -exponent;
}

// 10 to the power N: a table for the field widths (the plot-file drivers
// format millions of numbers), pow beyond it.
double PowerOfTen(int n) {
  static constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                       1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                       1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
  if (n >= 0 && n < static_cast<int>(std::size(kPowers))) return kPowers[n];
  return std::pow(10.0, n);
}

std::string FormatFixed(double value, int width, int decimals, int scale) {
  if (!std::isfinite(value)) return NonFinite(value, width);
  const double scaled = scale == 0 ? value : value * std::pow(10.0, scale);
  // A value with more integer digits than the field can hold is stars; this
  // also keeps the digit buffer small.
  if (std::fabs(scaled) >= PowerOfTen(width)) return Stars(width);
  std::array<char, 64 + 2 * kLargestField> buf;
  const auto res = std::to_chars(buf.data(), buf.data() + buf.size(), std::fabs(scaled),
                                 std::chars_format::fixed, decimals);
  std::string body(buf.data(), res.ptr);
  if (decimals == 0) body += '.';
  const bool allZero = body.find_first_not_of("0.") == std::string::npos;
  const bool negative = std::signbit(scaled) && !allZero;
  // The zero before the point is dropped when the field is too tight for it.
  if (body.size() > 1 && body[0] == '0' && body[1] == '.' &&
      static_cast<int>(body.size()) + (negative ? 1 : 0) > width) {
    body.erase(0, 1);
  }
  if (negative) body.insert(0, 1, '-');
  return RightJustify(body, width);
}

std::string FormatExponentForm(double value, int width, int decimals, int exponentDigits, int scale,
                               bool& ok) {
  ok = true;
  if (scale <= -decimals || scale > decimals + 1) {
    ok = false;
    return {};
  }
  if (!std::isfinite(value)) return NonFinite(value, width);
  const int significant = scale > 0 ? decimals + 1 : decimals + scale;
  std::string digits;
  int x = 0;
  if (value == 0.0) {
    digits.assign(static_cast<std::size_t>(significant), '0');
    x = scale - 1;  // printed exponent 0
  } else {
    SignificantDigits(value, significant, digits, x);
  }
  const int printed = x + 1 - scale;
  std::string mantissa;
  if (scale > 0) {
    mantissa = digits.substr(0, static_cast<std::size_t>(scale)) + "." +
               digits.substr(static_cast<std::size_t>(scale));
  } else {
    mantissa = "0." + std::string(static_cast<std::size_t>(-scale), '0') + digits;
  }
  const int magnitude = std::abs(printed);
  const std::string magText = std::to_string(magnitude);
  std::string exponent;
  const char sign = printed < 0 ? '-' : '+';
  if (exponentDigits >= 0) {
    if (static_cast<int>(magText.size()) > exponentDigits) return Stars(width);
    exponent = std::string("E") + sign +
               std::string(static_cast<std::size_t>(exponentDigits) - magText.size(), '0') +
               magText;
  } else if (magnitude <= 99) {
    exponent = std::string("E") + sign + (magnitude < 10 ? "0" : "") + magText;
  } else if (magnitude <= 999) {
    exponent = std::string(1, sign) + magText;  // three digits drop the letter
  } else {
    return Stars(width);
  }
  const bool negative = std::signbit(value) && value != 0.0;
  std::string body = mantissa + exponent;
  if (scale <= 0 && static_cast<int>(body.size()) + (negative ? 1 : 0) > width) body.erase(0, 1);
  if (negative) body.insert(0, 1, '-');
  return RightJustify(body, width);
}

std::string FormatGeneral(double value, const EditDescriptor& d, bool& ok) {
  ok = true;
  const int e = d.exponentDigits >= 0 ? d.exponentDigits : 2;
  const int trailing = e + 2;
  if (!std::isfinite(value)) return NonFinite(value, d.width);
  int p = 0;  // decimal exponent of the rounded value in 0.DDD form
  if (value != 0.0) {
    if (d.digits < 1) {
      ok = false;
      return {};
    }
    std::string digits;
    int x = 0;
    SignificantDigits(value, d.digits, digits, x);
    p = x + 1;
  } else {
    p = 1;  // zero: fixed point with d-1 decimals
  }
  if (p >= 0 && p <= d.digits && d.width > trailing) {
    const std::string fixed = FormatFixed(value, d.width - trailing, d.digits - p, 0);
    if (fixed.find('*') != std::string::npos) return Stars(d.width);
    return fixed + std::string(static_cast<std::size_t>(trailing), ' ');
  }
  return FormatExponentForm(value, d.width, d.digits, d.exponentDigits, d.scale, ok);
}

// --- Readers ---------------------------------------------------------------

/// 0-based bounds of the first blank-delimited word; false when none.
bool WordBounds(std::string_view text, std::size_t& first, std::size_t& last) {
  first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return false;
  const auto blank = text.find(' ', first);
  last = (blank == std::string_view::npos ? text.size() : blank) - 1;
  return true;
}

int ParseIntegerText(std::string_view text, std::int32_t& value) {
  value = 0;
  std::size_t first = 0, last = 0;
  if (!WordBounds(text, first, last)) return kErrNoSubstring;
  const std::string_view word = text.substr(first, last - first + 1);
  bool negative = false;
  std::size_t start = 0;
  if (word[0] == '+' || word[0] == '-') {
    negative = word[0] == '-';
    start = 1;
  }
  for (std::size_t i = start; i < word.size(); ++i) {
    if (!IsDigit(word[i])) return kErrInvalidCharacter;
  }
  const std::string_view digits = word.substr(start);
  if (digits.size() > 10 || (digits.size() == 10 && digits[0] > '2')) return kErrNumberTooLarge;
  std::int64_t sum = 0;
  for (char c : digits) {
    sum = sum * 10 + (c - '0');
    if (sum > std::numeric_limits<std::int32_t>::max()) return kErrNumberTooLarge;
  }
  value = static_cast<std::int32_t>(negative ? -sum : sum);
  return 0;
}

struct RealParse {
  double asDouble = 0.0;
  float asFloat = 0.0f;
};

/// Checks one part (mantissa or exponent) character by character.
int ValidatePart(std::string_view text, std::size_t begin, std::size_t end, bool mantissa,
                 std::size_t firstPoint) {
  for (std::size_t i = begin; i < end; ++i) {
    const char c = text[i];
    if (i == begin && (c == '+' || c == '-')) continue;
    if (IsDigit(c)) continue;
    if (c == '.') {
      if (!mantissa) return kErrInvalidCharacter;
      if (i == firstPoint) continue;
      return kErrTwoDecimalPoints;
    }
    return kErrInvalidCharacter;
  }
  return 0;
}

int ParseRealText(std::string_view text, bool single, RealParse& out) {
  out = RealParse{};
  std::size_t f = 0, l = 0;
  if (!WordBounds(text, f, l)) return kErrNoSubstring;
  const int limit = single ? 38 : 308;

  // Where the exponent starts: the first exponent letter anywhere in the
  // text, else a sign three places before the end of the word.
  std::size_t p = std::string_view::npos;
  bool signOnly = false;
  for (char letter : std::string_view(single ? "Ee" : "EeDd")) {
    p = text.find(letter);
    if (p != std::string_view::npos) break;
  }
  // The sign is taken where it stands, three places before the end of the
  // word, not only where it first occurs: a negative value with a three-digit
  // exponent ("-2.5-105", as Ew.d writes it) has its first "-" in front.
  if (p == std::string_view::npos && l >= f + 4 && (text[l - 3] == '+' || text[l - 3] == '-')) {
    p = l - 3;
    signOnly = true;
  }
  const std::size_t mantEnd = p == std::string_view::npos ? l + 1 : p;
  std::size_t expBegin = l + 1, expEnd = l + 1;
  if (p != std::string_view::npos) {
    expBegin = signOnly ? p : p + 1;
    expEnd = std::max(expBegin, l + 1);
  }
  const std::size_t firstPoint = text.find('.');
  if (int code = ValidatePart(text, f, mantEnd, true, firstPoint)) return code;
  if (int code = ValidatePart(text, expBegin, expEnd, false, firstPoint)) return code;

  // Mantissa digits.
  bool negative = false;
  std::string digits;
  int intDigits = 0, fracDigits = 0;
  bool afterPoint = false;
  for (std::size_t i = f; i < mantEnd; ++i) {
    const char c = text[i];
    if (c == '-' || c == '+') {
      negative = c == '-';
    } else if (c == '.') {
      afterPoint = true;
    } else {
      digits += c;
      (afterPoint ? fracDigits : intDigits)++;
    }
  }
  if (intDigits > limit + 1) return kErrNumberTooLarge;

  // Exponent value, saturated far beyond any limit.
  bool expNegative = false;
  long long exponent = 0;
  for (std::size_t i = expBegin; i < expEnd; ++i) {
    const char c = text[i];
    if (c == '-' || c == '+') {
      expNegative = c == '-';
    } else {
      exponent = std::min<long long>(exponent * 10 + (c - '0'), 1'000'000);
    }
  }
  if (expNegative) exponent = -exponent;

  const auto firstSig = digits.find_first_not_of('0');
  if (firstSig == std::string::npos) return 0;  // zero, whatever the exponent

  // s = integer part of (log10 |mantissa| - 1), from the leading digits and
  // the place of the first significant one.
  const int q = intDigits - 1 - static_cast<int>(firstSig);
  double lead = 0.0;
  for (std::size_t i = firstSig; i < digits.size() && i < firstSig + 17; ++i) {
    lead = lead * 10.0 + (digits[i] - '0');
  }
  const std::size_t leadCount = std::min<std::size_t>(digits.size() - firstSig, 17);
  const double log10m = q + std::log10(lead) - static_cast<double>(leadCount - 1);
  const long long s = static_cast<long long>(std::trunc(log10m - 1.0));
  if (exponent + s > limit) return kErrNumberTooLarge;

  // The value itself, correctly rounded from the decimal digits.
  const std::string number = digits + "e" + std::to_string(exponent - fracDigits);
  double d = 0.0;
  const auto rd = std::from_chars(number.data(), number.data() + number.size(), d);
  if (rd.ec == std::errc::result_out_of_range) {
    if (exponent + s > 0) return kErrNumberTooLarge;
    d = 0.0;  // below the smallest value
  }
  if (std::isinf(d)) return kErrNumberTooLarge;
  if (single) {
    if (d > static_cast<double>(std::numeric_limits<float>::max())) return kErrNumberTooLarge;
    float fl = 0.0f;
    const auto rf = std::from_chars(number.data(), number.data() + number.size(), fl);
    if (rf.ec != std::errc()) fl = 0.0f;
    out.asFloat = negative ? -fl : fl;
  }
  out.asDouble = negative ? -d : d;
  return 0;
}

// --- Writers ---------------------------------------------------------------

void WriteFailure(std::string& text, const char* routine) {
  std::fill(text.begin(), text.end(), ' ');
  std::copy_n(kFailureStars.begin(), std::min(text.size(), kFailureStars.size()), text.begin());
  ReportLibraryError(kErrNumberToString, routine);
}

/// The writers' common body: FORMAT_FIELD fills the field for a descriptor.
template <class FormatField>
void WriteField(std::string& text, std::string_view format, const char* routine,
                FormatField formatField) {
  EditDescriptor d;
  std::string field;
  if (!ParseEditDescriptor(format, d) || d.width > static_cast<int>(text.size()) ||
      !formatField(d, field)) {
    WriteFailure(text, routine);
    return;
  }
  std::fill(text.begin(), text.end(), ' ');
  std::copy(field.begin(), field.end(), text.begin());
  if (format.find('*') == std::string_view::npos && field.find('*') != std::string::npos) {
    WriteFailure(text, routine);
  }
}

template <class FormatField>
void WriteLeftJustified(std::string& text, std::string_view format, const char* routine,
                        FormatField formatField) {
  EditDescriptor d;
  std::string field;
  if (!ParseEditDescriptor(format, d) || !formatField(d, field)) {
    text.assign(kFailureStars);
    ReportLibraryError(kErrNumberToString, routine);
    return;
  }
  text = plat::Trim(field);
}

}  // namespace

// --- The formatter -----------------------------------------------------------

bool ParseEditDescriptor(std::string_view format, EditDescriptor& out) {
  out = EditDescriptor{};
  const auto first = format.find_first_not_of(' ');
  const auto last = format.find_last_not_of(' ');
  if (first == std::string_view::npos || format[first] != '(' || format[last] != ')') return false;
  std::string s;
  for (char c : format.substr(first + 1, last - first - 1)) {
    if (c != ' ') s += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  }
  std::size_t pos = 0;
  // Optional scale factor kP (with an optional comma after it), or the count of nX.
  const std::size_t save = pos;
  bool negativeScale = false;
  if (pos < s.size() && (s[pos] == '-' || s[pos] == '+')) negativeScale = s[pos++] == '-';
  int count = 0;
  if (ReadCount(s, pos, count) && pos < s.size() && s[pos] == 'P') {
    out.scale = negativeScale ? -count : count;
    ++pos;
    if (pos < s.size() && s[pos] == ',') ++pos;
  } else if (!negativeScale && pos > save && pos < s.size() && s[pos] == 'X' &&
             pos + 1 == s.size()) {
    out.kind = 'X';
    out.width = count;
    return count > 0;
  } else {
    pos = save;
  }
  if (pos >= s.size()) return false;
  out.kind = s[pos++];
  if (std::string_view("IFEGLA").find(out.kind) == std::string_view::npos) return false;
  if (out.kind == 'A' && pos == s.size()) return out.scale == 0;
  if (!ReadCount(s, pos, out.width) || out.width < 1) return false;
  if (pos < s.size() && s[pos] == '.') {
    ++pos;
    if (!ReadCount(s, pos, out.digits)) return false;
  }
  if (pos < s.size() && s[pos] == 'E' && (out.kind == 'E' || out.kind == 'G')) {
    ++pos;
    if (!ReadCount(s, pos, out.exponentDigits) || out.exponentDigits < 1) return false;
  }
  if (pos != s.size()) return false;
  const bool needsDigits = out.kind == 'F' || out.kind == 'E' || out.kind == 'G';
  if (needsDigits && out.digits < 0) return false;
  if ((out.kind == 'L' || out.kind == 'A') && out.digits >= 0) return false;
  if (out.scale != 0 && !needsDigits) return false;
  if (out.kind == 'I' && out.digits > out.width) return false;
  if (out.digits > kLargestField) return false;
  return true;
}

bool FormatInteger(std::int64_t value, const EditDescriptor& d, std::string& field) {
  if (d.kind != 'I' && d.kind != 'G') return false;
  const int minimum = d.kind == 'I' ? d.digits : -1;
  const std::uint64_t magnitude =
      value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
  std::string body;
  if (!(minimum == 0 && value == 0)) {
    body = std::to_string(magnitude);
    if (minimum > static_cast<int>(body.size())) {
      body.insert(0, static_cast<std::size_t>(minimum) - body.size(), '0');
    }
    if (value < 0) body.insert(0, 1, '-');
  }
  field = RightJustify(body, d.width);
  return true;
}

bool FormatReal(double value, const EditDescriptor& d, std::string& field) {
  bool ok = true;
  switch (d.kind) {
    case 'F':
      field = FormatFixed(value, d.width, d.digits, d.scale);
      return true;
    case 'E':
      field = FormatExponentForm(value, d.width, d.digits, d.exponentDigits, d.scale, ok);
      return ok;
    case 'G':
      field = FormatGeneral(value, d, ok);
      return ok;
    default:
      return false;
  }
}

bool FormatLogical(bool value, const EditDescriptor& d, std::string& field) {
  if (d.kind != 'L') return false;
  field = std::string(static_cast<std::size_t>(d.width) - 1, ' ') + (value ? 'T' : 'F');
  return true;
}

bool FormatText(std::string_view value, const EditDescriptor& d, std::string& field) {
  if (d.kind == 'X') {
    field.assign(static_cast<std::size_t>(d.width), ' ');
    return true;
  }
  if (d.kind != 'A') return false;
  if (d.width == 0 || static_cast<int>(value.size()) >= d.width) {
    field = std::string(value.substr(0, d.width == 0 ? value.size() : d.width));
  } else {
    field = std::string(static_cast<std::size_t>(d.width) - value.size(), ' ') + std::string(value);
  }
  return true;
}

std::string FormatRealField(double value, std::string_view format) {
  EditDescriptor d;
  std::string field;
  if (!ParseEditDescriptor(format, d) || !FormatReal(value, d, field)) return {};
  return field;
}

std::string FormatIntegerField(std::int64_t value, std::string_view format) {
  EditDescriptor d;
  std::string field;
  if (!ParseEditDescriptor(format, d) || !FormatInteger(value, d, field)) return {};
  return field;
}

// --- Writers -------------------------------------------------------------------

void IntegerToString(std::int32_t value, std::string& text, std::string_view format) {
  WriteField(text, format, "IntegerToString",
             [&](const EditDescriptor& d, std::string& f) { return FormatInteger(value, d, f); });
}

void IRealToString(float value, std::string& text, std::string_view format) {
  WriteField(text, format, "IRealToString",
             [&](const EditDescriptor& d, std::string& f) { return FormatReal(value, d, f); });
}

void IDoubleToString(double value, std::string& text, std::string_view format) {
  WriteField(text, format, "IDoubleToString",
             [&](const EditDescriptor& d, std::string& f) { return FormatReal(value, d, f); });
}

void yyrea2st(float value, std::string& text, std::string_view format) {
  WriteLeftJustified(text, format, "yyrea2st", [&](const EditDescriptor& d, std::string& f) {
    return FormatReal(value, d, f);
  });
}

void yydbl2st(double value, std::string& text, std::string_view format) {
  WriteLeftJustified(text, format, "yydbl2st", [&](const EditDescriptor& d, std::string& f) {
    return FormatReal(value, d, f);
  });
}

void yyint2st(std::int32_t value, std::string& text) {
  std::string field(11, ' ');
  IntegerToString(value, field, "(I11)");
  text = plat::Trim(field);
}

// --- Readers ---------------------------------------------------------------------

void IStringToInteger(std::string_view text, std::int32_t& value) {
  if (const int code = ParseIntegerText(text, value)) {
    value = 0;
    ReportLibraryError(code, "IStringToInteger");
  }
}

void IStringToReal(std::string_view text, float& value) {
  RealParse r;
  const int code = ParseRealText(text, true, r);
  value = code == 0 ? r.asFloat : 0.0f;
  if (code) ReportLibraryError(code, "IStringToReal");
}

void IStringToReal(std::string_view text, double& value) {
  RealParse r;
  const int code = ParseRealText(text, false, r);
  value = code == 0 ? r.asDouble : 0.0;
  if (code) ReportLibraryError(code, "IStringToReal");
}

void ParseDoubleQuiet(double& value, std::string_view text) {
  QuietErrors quiet;
  IStringToReal(QuietText(text), value);
}

void ParseDoubleChecked(double& value, int& valid, std::string_view text) {
  QuietErrors quiet;
  IStringToReal(QuietText(text), value);
  valid = quiet.Failed() ? 0 : 1;
}

void ParseRealQuiet(float& value, std::string_view text) {
  QuietErrors quiet;
  IStringToReal(QuietText(text), value);
}

void ParseIntegerQuiet(std::int32_t& value, std::string_view text) {
  QuietErrors quiet;
  float real = 0.0f;
  IStringToReal(QuietText(text), real);
  if (!TruncateIntChecked(real, value)) value = 0;
}

void NormaliseIntegerText(std::string& text) {
  QuietErrors quiet;
  double real = 0.0;
  IStringToReal(QuietText(text), real);
  std::int32_t value = 0;
  if (!TruncateIntChecked(real, value)) value = 0;
  std::string field(11, ' ');
  IntegerToString(value, field, "(I11)");
  text = plat::Trim(field);
}

void NormaliseRealText(std::string& text, std::string_view format) {
  QuietErrors quiet;
  float value = 0.0f;
  IStringToReal(QuietText(text), value);
  std::string field(kLargestField, ' ');
  IRealToString(value, field, format);
  text = plat::Trim(field);
}

void NormaliseDoubleText(std::string& text, std::string_view format) {
  QuietErrors quiet;
  double value = 0.0;
  IStringToReal(QuietText(text), value);
  std::string field(kLargestField, ' ');
  IDoubleToString(value, field, format);
  text = plat::Trim(field);
}

// --- Text helpers ----------------------------------------------------------------

void JustifyString(std::string& text, std::string_view mode) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string::npos) return;
  const auto last = text.find_last_not_of(' ');
  const std::size_t used = last - first + 1;
  if (used == text.size()) return;
  std::size_t left = 0;
  if (mode.find_first_of("Ll") != std::string_view::npos) {
    left = 0;
  } else if (mode.find_first_of("Rr") != std::string_view::npos) {
    left = text.size() - used;
  } else {
    left = (text.size() - used) / 2;
  }
  const std::string part = text.substr(first, used);
  std::fill(text.begin(), text.end(), ' ');
  std::copy(part.begin(), part.end(), text.begin() + static_cast<std::ptrdiff_t>(left));
}

int FirstNonBlank(std::string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != ' ' && text[i] != '\0') return static_cast<int>(i) + 1;
  }
  return 0;
}

void NextWordBounds(std::string_view text, int& first, int& last) {
  std::size_t f = 0, l = 0;
  if (!WordBounds(text, f, l)) {
    first = last = 0;
    return;
  }
  first = static_cast<int>(f) + 1;
  last = static_cast<int>(l) + 1;
}

void UpperCaseInPlace(std::string& text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
}

void LowerCaseInPlace(std::string& text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
}

int UnsignedCharCode(char character) {
  return static_cast<unsigned char>(character);
}

std::int32_t ParseDecimalInteger(std::string_view text) {
  text = UpToNul(text);
  std::size_t pos = 0;
  const bool negative = !text.empty() && text[0] == '-';
  if (negative) pos = 1;
  // Accumulated in 64 bits and stopped as soon as it leaves the 32-bit range,
  // so no digit string can overflow.
  constexpr std::int64_t kLimit = std::int64_t{1} << 31;
  std::int64_t sum = 0;
  for (; pos < text.size() && IsDigit(text[pos]); ++pos) {
    sum = sum * 10 + (text[pos] - '0');
    if (sum > kLimit) break;
  }
  if (sum > (negative ? kLimit : kLimit - 1)) {
    ReportLibraryError(kErrNumberTooLarge, "ParseDecimalInteger");
    return 0;
  }
  return static_cast<std::int32_t>(negative ? -sum : sum);
}

int CStringTrimmedLength(std::string_view text) {
  return static_cast<int>(TrimRight(UpToNul(text)).size());
}

int CStringWordLength(std::string_view text) {
  const std::string_view s = UpToNul(text);
  const auto blank = s.find(' ');
  return static_cast<int>(blank == std::string_view::npos ? s.size() : blank);
}

void CStringToField(std::string_view text, std::string& field, int length) {
  const std::string_view s = UpToNul(text);
  field.assign(static_cast<std::size_t>(std::max(length, 0)), ' ');
  std::copy_n(s.begin(), std::min(s.size(), field.size()), field.begin());
}

}  // namespace tk
