#include "formats/RecordRange.h"

#include <cmath>
#include <utility>

#include "support/Numerics.h"

namespace vel {

void GMINMAX(ShotRecord& REC) {
  REC.GMIN = 1.0e20f;
  REC.GMAX = -1.0e20f;
  for (std::int32_t j = 1; j <= REC.NTRACE; ++j) {
    float tmin = 1.0e30f, tmax = -1.0e30f;
    const auto samples = Trace(std::as_const(REC), j);
    sup::FINDNX(samples, static_cast<int>(samples.size()), tmin, tmax);
    float traceMax = std::fabs(tmin);
    if (tmax > traceMax) traceMax = tmax;
    if (static_cast<std::size_t>(j) <= REC.TRACEMAX.size()) REC.TRACEMAX[j - 1] = traceMax;
    if (tmin < REC.GMIN) REC.GMIN = tmin;
    if (tmax > REC.GMAX) REC.GMAX = tmax;
  }
}

}  // namespace vel
