#include "toolkit/core/ToolkitState.h"

#include <array>
#include <vector>

namespace tk {
namespace {

constexpr std::size_t kLayers = 4;

std::array<std::vector<std::function<void()>>, kLayers>& Resets() {
  static std::array<std::vector<std::function<void()>>, kLayers> resets;
  return resets;
}

}  // namespace

bool RegisterToolkitReset(ToolkitLayer layer, std::function<void()> reset) {
  Resets()[static_cast<std::size_t>(layer)].push_back(std::move(reset));
  return true;
}

void ResetToolkitForTesting() {
  for (std::size_t layer = kLayers; layer-- > 0;) {
    for (const std::function<void()>& reset : Resets()[layer]) reset();
  }
}

}  // namespace tk
