// Headless backend (not yet written).
#include "platform/backend/Backend.h"

namespace plat {
std::unique_ptr<Backend> MakeHeadlessBackend() { return nullptr; }
}  // namespace plat
