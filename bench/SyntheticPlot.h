#pragma once
// The synthetic record the drawing and printing benchmarks plot: decaying
// sine traces 2 m apart at 0.25 ms, scaled for the window that is open.
#include <cmath>
#include <cstddef>

#include "display/TraceAxes.h"
#include "record/ShotRecord.h"
#include "support/PenPlot.h"

namespace bench_support {

inline void MakeSyntheticPlot(vel::ShotRecord& rec, vel::TraceDisplayOptions& options,
                              sup::GraphAxes& axes, int traces, int samples) {
  rec.NTRACE = traces;
  rec.NSAMP = samples;
  rec.SAMPINT = 0.25f;
  (void)vel::RebuildTraceArrays(rec);
  for (int j = 1; j <= traces; ++j) {
    auto t = vel::Trace(rec, j);
    for (int i = 0; i < samples; ++i)
      t[static_cast<std::size_t>(i)] = std::sin(0.05f * static_cast<float>(i + 13 * j)) *
                                       std::exp(-0.0004f * static_cast<float>(i));
    rec.GEOLOC[static_cast<std::size_t>(j - 1)] = 2.0f * static_cast<float>(j);
  }
  rec.GMIN = -1.0f;
  rec.GMAX = 1.0f;
  vel::SCALETRACES(rec, axes, options, false);
}

}  // namespace bench_support
