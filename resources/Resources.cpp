#include "resources/Resources.h"

namespace res {

std::string_view Find(std::string_view name) {
  for (const detail::EmbeddedFile* f = detail::kFiles; f->name; ++f) {
    if (name == f->name) return {reinterpret_cast<const char*>(f->data), f->size};
  }
  return {};
}

std::vector<std::string_view> Names() {
  std::vector<std::string_view> out;
  for (const detail::EmbeddedFile* f = detail::kFiles; f->name; ++f) out.emplace_back(f->name);
  return out;
}

}  // namespace res
