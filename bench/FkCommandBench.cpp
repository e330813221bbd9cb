// The F-K tool's two waits as its commands run them, headless: opening
// (the record's transform and spectrum, FKSPECT) and Filter Traces
// (FKTRACES with both dips active), each with progress dialog 131 shown and
// the toolkit polled for Cancel as the tool does, on 240 x 4000 and
// 1000 x 8000 records (traces x samples). compare_peers.py holds them
// against numpy's fft2 and ifft2 of the same padded sizes in the same run.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "display/FkFilterWindow.h"
#include "display/FkTransform.h"
#include "platform/testing/Harness.h"
#include "support/PenPlot.h"
#include "toolkit/core/Windows.h"
#include "toolkit/graphics/WindowTargets.h"

namespace {

struct Tool {
  plat::testing::Harness harness{{2200, 1400}};
  int samples, traces;
  std::vector<float> record;
  vel::FkTransform transform;
  std::vector<float> spec;
  Tool(int ntrace, int nsamp) : samples(nsamp), traces(ntrace) {
    tk::WindowStyleRecord style;
    style.width = 1920;
    style.height = 1080;
    tk::GraphicsConnectWindows();
    tk::WindowOpen(style);
    sup::PenPlotReset();
    std::mt19937 rng(11);
    std::normal_distribution<float> noise(0.0f, 1000.0f);
    record.resize(static_cast<std::size_t>(samples) * static_cast<std::size_t>(traces));
    for (float& x : record) x = noise(rng);
    vel::FkSetSizes(transform, samples, traces);
    spec.assign(static_cast<std::size_t>(transform.NF) * static_cast<std::size_t>(transform.NX), 0.0f);
  }
  ~Tool() { tk::WindowShutdown(); }
  // Opening: the transform as the tool makes it, with its progress dialog.
  int Open() {
    int ierr = 0;
    const vel::FkProgressDialog progress;
    vel::FKSPECT(transform, record, spec, samples, traces, samples / 10, ierr, progress.Reporter());
    return ierr;
  }
};

void BM_FkOpen(benchmark::State& state) {
  Tool tool(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  for (auto _ : state) {
    benchmark::DoNotOptimize(tool.Open());
    benchmark::DoNotOptimize(tool.spec.data());
  }
}
BENCHMARK(BM_FkOpen)
    ->ArgNames({"traces", "samples"})
    ->Args({240, 4000})
    ->Args({1000, 8000})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_FkFilterTraces(benchmark::State& state) {
  Tool tool(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  if (tool.Open() != 0) state.SkipWithError("the transform failed");
  vel::FkFan fan;
  fan.V = {2000.0f, 2000.0f};
  std::vector<float> out(tool.record.size());
  for (auto _ : state) {
    int ierr = 0;
    const vel::FkProgressDialog progress;
    vel::FKTRACES(tool.transform, out, tool.samples, tool.traces, 0.25f, 2.0f, fan, ierr,
                  progress.Reporter());
    benchmark::DoNotOptimize(out.data());
  }
}
BENCHMARK(BM_FkFilterTraces)
    ->ArgNames({"traces", "samples"})
    ->Args({240, 4000})
    ->Args({1000, 8000})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
