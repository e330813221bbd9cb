#pragma once
// The toolkit's names for the one set of rounding helpers (platform/Rounding.h):
// halves away from zero, NaN 0, out-of-range values saturated.
#include "platform/Rounding.h"

namespace tk {

using plat::NearestInt;
using plat::NearestInt64;
using plat::NearestIntChecked;
using plat::TruncateInt;
using plat::TruncateIntChecked;

}  // namespace tk
