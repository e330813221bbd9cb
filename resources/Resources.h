#pragma once
// Resource files embedded into the program at build time.
#include <cstddef>
#include <span>
#include <string_view>
#include <vector>

namespace res {

namespace detail {
struct EmbeddedFile {
  const char* name;
  const unsigned char* data;
  std::size_t size;
};
extern const EmbeddedFile kFiles[];  // ends with a null name
}  // namespace detail

/// The bytes of the embedded file NAME (a path relative to resources/data),
/// or an empty view when there is none.
std::string_view Find(std::string_view name);

/// Every embedded file's name, in sorted order.
std::vector<std::string_view> Names();

}  // namespace res
