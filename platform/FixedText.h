#pragma once
// The one set of helpers for fixed-length, blank-padded texts: trimming,
// padding to a length and 1-based searching. Every layer uses these; the
// support library's upper-case routines are written over them.
//
// A blank is the space character unless a call names its own set (a field
// read back from a control may end in NULs; a typed name may hold tabs).
#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>

namespace plat {

/// The blank of fixed-length texts.
inline constexpr std::string_view kBlank = " ";
/// Blanks and the NULs a C-style buffer leaves after its text.
inline constexpr std::string_view kBlankOrNul{" \0", 2};

/// TEXT without its trailing BLANKS.
constexpr std::string_view TrimRight(std::string_view text, std::string_view blanks = kBlank) {
  const std::size_t last = text.find_last_not_of(blanks);
  return last == std::string_view::npos ? std::string_view() : text.substr(0, last + 1);
}

/// TEXT without its leading BLANKS.
constexpr std::string_view TrimLeft(std::string_view text, std::string_view blanks = kBlank) {
  const std::size_t first = text.find_first_not_of(blanks);
  return first == std::string_view::npos ? std::string_view() : text.substr(first);
}

/// TEXT without its leading and trailing BLANKS.
constexpr std::string_view Trim(std::string_view text, std::string_view blanks = kBlank) {
  return TrimRight(TrimLeft(text, blanks), blanks);
}

/// TEXT cut or blank-padded to exactly LENGTH characters.
inline std::string Padded(std::string_view text, std::size_t length) {
  std::string s(text.substr(0, std::min(text.size(), length)));
  s.resize(length, ' ');
  return s;
}

/// FIELD := TEXT cut or blank-padded to the size FIELD already has.
inline void PadInto(std::string& field, std::string_view text) { field = Padded(text, field.size()); }

/// 1-based position of the first PATTERN lying wholly inside TEXT; 0 when
/// there is none or PATTERN is empty.
constexpr std::size_t Find1(std::string_view text, std::string_view pattern) {
  if (pattern.empty() || pattern.size() > text.size()) return 0;
  const std::size_t pos = text.find(pattern);
  return pos == std::string_view::npos ? 0 : pos + 1;
}

}  // namespace plat
