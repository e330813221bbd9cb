// Messages registered by name: windows of different parts agree on a number
// without a shared header.
#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "platform/window/Window.h"

namespace plat {

namespace {
constexpr std::uint32_t kFirstNamedMessage = 0xC000;

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::toupper(static_cast<unsigned char>(x)) ==
                  std::toupper(static_cast<unsigned char>(y));
         });
}
}  // namespace

Msg RegisterWindowMessage(std::string_view name) {
  static std::vector<std::string> names;
  for (std::size_t i = 0; i < names.size(); ++i)
    if (SameName(names[i], name)) return static_cast<Msg>(kFirstNamedMessage + i);
  names.emplace_back(name);
  return static_cast<Msg>(kFirstNamedMessage + names.size() - 1);
}

}  // namespace plat
