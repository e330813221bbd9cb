// A full trace plot printed on a PCL laser printer: 240 variable-area traces
// of 4000 samples painted into a 300-dots-per-inch landscape raster page and
// written as compressed PCL rows, as a print of the main window's picture
// runs.
#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <string>

#include "display/TraceAxes.h"
#include "bench/SyntheticPlot.h"
#include "display/TracePlot.h"
#include "platform/testing/Harness.h"
#include "record/ShotRecord.h"
#include "support/PenPlot.h"
#include "toolkit/core/Windows.h"
#include "toolkit/graphics/Drivers.h"
#include "toolkit/graphics/WindowTargets.h"
#include "toolkit/hardcopy/HardcopyDrivers.h"
#include "toolkit/hardcopy/HardcopyOptions.h"
#include "toolkit/hardcopy/HardcopySwitch.h"
#include "toolkit/hardcopy/ModelTables.h"

namespace {

constexpr int kTraces = 240;
constexpr int kSamples = 4000;

std::string OutputName() {
  return (std::filesystem::temp_directory_path() / "velloran-bench-plot.prn").string();
}

void BM_PclTracePlot(benchmark::State& state) {
  plat::testing::Harness harness{{2200, 1400}};
  tk::WindowStyleRecord style;
  style.width = 1920;
  style.height = 1080;
  tk::GraphicsConnectWindows();
  tk::WindowOpen(style);
  sup::PenPlotReset();
  vel::ShotRecord rec;
  vel::TraceDisplayOptions options;
  options.IGAINMETHOD = 1;
  sup::GraphAxes axes;
  bench_support::MakeSyntheticPlot(rec, options, axes, kTraces, kSamples);
  tk::StandHardcopyDrivers();
  tk::RasterPrinterModelSet(tk::kRasterModelDefault);  // LaserJet III/4L, landscape
  tk::HardcopyDriverSelect(tk::DriverOperation::Select, tk::kDriverRasterPrinter);
  tk::HardcopyOptionSet(13, 1);  // 300 dots per inch
  for (auto _ : state) {
    std::string name = OutputName();
    name.resize(tk::kHardcopyNameLength, ' ');
    tk::HardcopyFileName() = name;
    sup::PLOTXY(1.0f, 1.0f, sup::kPenStartPage, axes);
    vel::PLOTTRACES(rec, axes, options);
    tk::WHardcopySwitch("S");
  }
  state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(OutputName()));
  state.SetItemsProcessed(state.iterations() * kTraces * kSamples);
  tk::HardcopyDriverSelect(tk::DriverOperation::Select, tk::kDefaultHardcopyDriver);
  tk::WindowShutdown();
  std::filesystem::remove(OutputName());
}
BENCHMARK(BM_PclTracePlot)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
