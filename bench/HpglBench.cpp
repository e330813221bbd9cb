// The HP-GL/2 printer driver's hot path: a 5000-point polyline written as
// polyline-encoded records, and the plotter's one record per point, both
// through the plot-file layer into a real file.
#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <string>

#include "toolkit/graphics/Drivers.h"
#include "toolkit/hardcopy/Hpgl2.h"
#include "toolkit/hardcopy/HpglRecords.h"
#include "toolkit/hardcopy/PlotFile.h"

namespace {

constexpr int kPoints = tk::kDriverMaxPoints;

// A wiggle trace's polyline across a 1000-pixel drawable.
void LoadWiggle() {
  tk::DriverParameters& dp = tk::DriverParams();
  dp.P1 = kPoints;
  for (int i = 0; i < kPoints; ++i) {
    dp.pointX[static_cast<std::size_t>(i)] = 1000.0f * static_cast<float>(i) / kPoints;
    dp.pointY[static_cast<std::size_t>(i)] =
        400.0f + 300.0f * std::sin(0.05f * static_cast<float>(i)) *
                     std::exp(-0.0004f * static_cast<float>(i));
  }
  dp.factorX = dp.factorY = 32.76f;
  dp.recordLeadIn = 2;
}

void OpenStream() {
  std::string name = (std::filesystem::temp_directory_path() / "velloran-hpgl-bench.plt").string();
  name.resize(tk::kDriverTextLength, ' ');
  tk::DriverText() = name;
  tk::PlotFileOpen(2);
}

void BM_Hpgl2EncodedPolyline(benchmark::State& state) {
  LoadWiggle();
  OpenStream();
  for (auto _ : state) tk::YYHP2PE();
  tk::PlotFileClose(2);
  state.SetItemsProcessed(state.iterations() * kPoints);
}
BENCHMARK(BM_Hpgl2EncodedPolyline)->UseRealTime()->Unit(benchmark::kMicrosecond);

void BM_HpglPenDownRecords(benchmark::State& state) {
  LoadWiggle();
  OpenStream();
  const tk::DriverParameters& dp = tk::DriverParams();
  for (auto _ : state)
    for (int i = 0; i < kPoints; ++i)
      tk::YYHPXY("PD", dp.pointX[static_cast<std::size_t>(i)],
                 dp.pointY[static_cast<std::size_t>(i)]);
  tk::PlotFileClose(2);
  state.SetItemsProcessed(state.iterations() * kPoints);
}
BENCHMARK(BM_HpglPenDownRecords)->UseRealTime()->Unit(benchmark::kMicrosecond);

}  // namespace
