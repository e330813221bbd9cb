#pragma once
// The synthetic record the drawing and printing benchmarks plot: decaying
// sine traces 2 m apart at 0.25 ms, scaled for the window that is open.
#include <cmath>
#include <cstddef>
#include <string>

#include "display/TraceAxes.h"
#include "display/TracePlot.h"
#include "platform/testing/Harness.h"
#include "record/ShotRecord.h"
#include "support/PenPlot.h"
#include "toolkit/core/Windows.h"
#include "toolkit/graphics/Drivers.h"
#include "toolkit/graphics/WindowTargets.h"
#include "toolkit/hardcopy/HardcopyDrivers.h"
#include "toolkit/hardcopy/HardcopySwitch.h"

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

/// The synthetic plot on a main window of WIDTH x HEIGHT, with every
/// hardcopy driver stood, printed as a print of the window's picture runs.
struct PrintablePlot {
  plat::testing::Harness harness{{2200, 1400}};
  vel::ShotRecord rec;
  vel::TraceDisplayOptions options;
  sup::GraphAxes axes;
  PrintablePlot(int width, int height, int traces, int samples) {
    tk::WindowStyleRecord style;
    style.width = width;
    style.height = height;
    tk::GraphicsConnectWindows();
    tk::WindowOpen(style);
    sup::PenPlotReset();
    options.IGAINMETHOD = 1;
    MakeSyntheticPlot(rec, options, axes, traces, samples);
    tk::StandHardcopyDrivers();
  }
  ~PrintablePlot() {
    tk::HardcopyDriverSelect(tk::DriverOperation::Select, tk::kDefaultHardcopyDriver);
    tk::WindowShutdown();
  }
  /// One page of the selected driver to FILE.
  void Print(const std::string& file) {
    std::string name = file;
    name.resize(tk::kHardcopyNameLength, ' ');
    tk::HardcopyFileName() = name;
    sup::PLOTXY(1.0f, 1.0f, sup::kPenStartPage, axes);
    vel::PLOTTRACES(rec, axes, options);
    tk::WHardcopySwitch("S");
  }
};

}  // namespace bench_support
