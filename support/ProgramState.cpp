#include "support/ProgramState.h"

#include <array>
#include <vector>

namespace sup {
namespace {

constexpr std::size_t kLayers = 6;

std::array<std::vector<std::function<void()>>, kLayers>& Resets() {
  static std::array<std::vector<std::function<void()>>, kLayers> resets;
  return resets;
}

}  // namespace

bool RegisterProgramReset(ProgramLayer layer, std::function<void()> reset) {
  Resets()[static_cast<std::size_t>(layer)].push_back(std::move(reset));
  return true;
}

void ResetProgramForTesting() {
  for (std::size_t layer = kLayers; layer-- > 0;) {
    for (const std::function<void()>& reset : Resets()[layer]) reset();
  }
}

}  // namespace sup
