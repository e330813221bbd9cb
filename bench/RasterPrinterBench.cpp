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
  bench_support::PrintablePlot plot(1920, 1080, kTraces, kSamples);
  tk::RasterPrinterModelSet(tk::kRasterModelDefault);  // LaserJet III/4L, landscape
  tk::HardcopyDriverSelect(tk::DriverOperation::Select, tk::kDriverRasterPrinter);
  tk::HardcopyOptionSet(13, 1);  // 300 dots per inch
  for (auto _ : state) plot.Print(OutputName());
  state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(OutputName()));
  state.SetItemsProcessed(state.iterations() * kTraces * kSamples);
  std::filesystem::remove(OutputName());
}
BENCHMARK(BM_PclTracePlot)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
