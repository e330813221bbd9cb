#pragma once
// Logical values as they are kept in records and files: 32 bits, true written
// as -1 and false as 0; a stored value counts as true when its lowest bit is set.
#include <cstdint>

namespace sup {

constexpr std::int32_t ToLogical32(bool value) {
  return value ? -1 : 0;
}
constexpr bool FromLogical32(std::int32_t value) {
  return (value & 1) != 0;
}

}  // namespace sup
