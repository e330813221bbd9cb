#include "support/Vectorised.h"

namespace sup {

bool HasWideVectors() {
  static const bool wide = __builtin_cpu_supports("avx2");
  return wide;
}

}  // namespace sup
