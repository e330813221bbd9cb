// The F-K transform's hot paths, wall clock, on a 240-trace by 4000-sample
// record (an 8192 x 512 transform): FKSPECT, FKTRACES with both dips active,
// and a full redraw of its spectrum window (cells, frame and fan) into a
// 1920 x 1080 window. compare_peers.py times numpy's fft2 and ifft2 of the
// same padded array in the same run.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "display/FkPlot.h"
#include "display/FkTransform.h"
#include "platform/testing/Harness.h"
#include "platform/window/Window.h"
#include "support/PenPlot.h"
#include "toolkit/core/Windows.h"
#include "toolkit/graphics/WindowTargets.h"

namespace {

constexpr int kSamples = 4000, kTraces = 240;

std::vector<float> Record() {
  std::mt19937 rng(11);
  std::normal_distribution<float> noise(0.0f, 1000.0f);
  std::vector<float> v(static_cast<std::size_t>(kSamples) * kTraces);
  for (float& x : v) x = noise(rng);
  return v;
}

void BM_FkSpect(benchmark::State& state) {
  const std::vector<float> record = Record();
  vel::FkTransform fk;
  vel::FkSetSizes(fk, kSamples, kTraces);
  const auto& t = fk;
  std::vector<float> spec(static_cast<std::size_t>(t.NF) * t.NX);
  for (auto _ : state) {
    int ierr = 0;
    vel::FKSPECT(fk, record, spec, kSamples, kTraces, 400, ierr);
    benchmark::DoNotOptimize(spec.data());
  }
}
BENCHMARK(BM_FkSpect)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_FkTraces(benchmark::State& state) {
  const std::vector<float> record = Record();
  vel::FkTransform fk;
  vel::FkSetSizes(fk, kSamples, kTraces);
  const auto& t = fk;
  std::vector<float> spec(static_cast<std::size_t>(t.NF) * t.NX);
  int ierr = 0;
  vel::FKSPECT(fk, record, spec, kSamples, kTraces, 400, ierr);
  vel::FkFan fan;
  fan.V = {2000.0f, 2000.0f};
  std::vector<float> out(record.size());
  for (auto _ : state) {
    vel::FKTRACES(fk, out, kSamples, kTraces, 0.25f, 2.0f, fan, ierr);
    benchmark::DoNotOptimize(out.data());
  }
}
BENCHMARK(BM_FkTraces)->Unit(benchmark::kMillisecond)->UseRealTime();

// The spectrum of noise reaches 1 % of its largest value in every row, so
// the frame covers all 4096 x 512 cells: the most a redraw fills.
void BM_FkSpectrumRedraw(benchmark::State& state) {
  plat::testing::Harness harness{{2200, 1400}};
  tk::WindowStyleRecord style;
  style.width = 1920;
  style.height = 1080;
  tk::GraphicsConnectWindows();
  tk::WindowOpen(style);
  sup::PenPlotReset();
  const std::vector<float> record = Record();
  vel::FkTransform fk;
  vel::FkSetSizes(fk, kSamples, kTraces);
  const auto& t = fk;
  std::vector<float> spec(static_cast<std::size_t>(t.NF) * t.NX);
  int ierr = 0;
  vel::FKSPECT(fk, record, spec, kSamples, kTraces, 400, ierr);
  constexpr float kDt = 0.25f, kDx = 2.0f;
  std::vector<float> geoloc(kTraces);
  for (int j = 0; j < kTraces; ++j) geoloc[static_cast<std::size_t>(j)] = kDx * static_cast<float>(j + 1);
  sup::GraphAxes axes;
  vel::SCALE_FK(spec, t.NF, t.NX, kDt, geoloc, kTraces, axes);
  vel::FkFan fan;
  fan.V = {2000.0f, 2000.0f};
  for (auto _ : state) {
    sup::PLOTXY(1.0f, 0.0f, sup::kPenStartPage, axes);
    vel::PLOTFK(spec, t.NF, t.NX, kDt, kDx, axes);
    vel::PLOTVELS(fan, axes);
    plat::FlushDrawing();
  }
  state.SetItemsProcessed(state.iterations() * t.NF * t.NX);
  tk::WindowShutdown();
}
BENCHMARK(BM_FkSpectrumRedraw)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
