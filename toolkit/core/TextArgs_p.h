#pragma once
// Blank-padded text arguments of the system-service routines.
#include <string>
#include <string_view>

#include "platform/FixedText.h"

namespace tk::detail {

/// The argument as the system gets it: up to a NUL, from the first non-blank
/// character, trailing blanks removed.
inline std::string ArgText(std::string_view text) {
  const std::size_t nul = text.find('\0');
  if (nul != std::string_view::npos) text = text.substr(0, nul);
  return std::string(plat::Trim(text));
}

/// FIELD := VALUE blank-padded to FIELD's size; false (FIELD blank) when it
/// does not fit.
inline bool PutField(std::string& field, std::string_view value) {
  const std::size_t size = field.size();
  if (value.size() > size) {
    field.assign(size, ' ');
    return false;
  }
  field.assign(value);
  field.resize(size, ' ');
  return true;
}

}  // namespace tk::detail
