// The Windows metafile of a full trace plot: 240 variable-area traces of
// 4000 samples drawn on a hardcopy page with the metafile driver selected,
// as a placeable Windows metafile and as an enhanced metafile written to a
// file; beside them our player drawing that enhanced metafile back onto a
// page of its reference size.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "bench/SyntheticPlot.h"
#include "display/TraceAxes.h"
#include "display/TracePlot.h"
#include "platform/draw/DrawContext.h"
#include "platform/testing/Harness.h"
#include "record/ShotRecord.h"
#include "support/PenPlot.h"
#include "toolkit/core/Windows.h"
#include "toolkit/graphics/Drivers.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/WindowTargets.h"
#include "toolkit/hardcopy/HardcopyDrivers.h"
#include "toolkit/hardcopy/HardcopyOptions.h"
#include "toolkit/hardcopy/HardcopySwitch.h"
#include "toolkit/hardcopy/MetafilePlayer.h"

namespace {

constexpr int kTraces = 240;
constexpr int kSamples = 4000;

std::string OutputName() {
  return (std::filesystem::temp_directory_path() / "velloran-bench-plot.wmf").string();
}

struct MetafilePlot : bench_support::PrintablePlot {
  explicit MetafilePlot(int type) : PrintablePlot(1920, 1080, kTraces, kSamples) {
    tk::HardcopyDriverSelect(tk::DriverOperation::Select, tk::kDriverWindowsMetafile);
    tk::HardcopyOptionSet(27, type);
  }
  void Print() { PrintablePlot::Print(OutputName()); }
  ~MetafilePlot() { std::filesystem::remove(OutputName()); }
};

std::vector<std::uint8_t> Output() {
  std::ifstream in(OutputName(), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// ARG: option 27, 1 placeable Windows metafile, 2 enhanced metafile.
void BM_MetafileTracePlot(benchmark::State& state) {
  MetafilePlot plot(static_cast<int>(state.range(0)));
  for (auto _ : state) plot.Print();
  state.counters["bytes"] = static_cast<double>(Output().size());
  state.SetItemsProcessed(state.iterations() * kTraces * kSamples);
}
BENCHMARK(BM_MetafileTracePlot)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_MetafilePlayTracePlot(benchmark::State& state) {
  std::vector<std::uint8_t> bytes;
  {
    MetafilePlot plot(2);
    plot.Print();
    bytes = Output();
  }
  plat::Surface page(1008, 720);
  bool played = false;
  for (auto _ : state) {
    page.Fill(plat::Rgb(255, 255, 255));
    plat::CanvasDrawContext ctx(page, {});
    played = tk::PlayEnhancedMetafile(bytes, ctx, {0, 0, 1008, 720});
    benchmark::DoNotOptimize(played);
  }
  if (!played) state.SkipWithError("the metafile did not play");
  state.counters["bytes"] = static_cast<double>(bytes.size());
}
BENCHMARK(BM_MetafilePlayTracePlot)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
