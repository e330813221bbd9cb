// The one place that chooses a backend.
#include <cstdlib>

#include "platform/backend/Backend.h"

namespace plat {

std::unique_ptr<Backend> MakeDefaultBackend() {
  const char* headless = std::getenv("VELLORAN_HEADLESS");
  const char* display = std::getenv("DISPLAY");
  if ((headless == nullptr || *headless == '\0' || *headless == '0') && display != nullptr &&
      *display != '\0') {
    if (auto x11 = MakeX11Backend()) return x11;
  }
  return MakeHeadlessBackend();
}

}  // namespace plat
