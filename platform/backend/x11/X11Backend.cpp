// X11 backend (not yet written): no display can be opened.
#include "platform/backend/Backend.h"

namespace plat {
std::unique_ptr<Backend> MakeX11Backend(std::string_view) { return nullptr; }
}  // namespace plat
