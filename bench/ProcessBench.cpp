// The Process menu's four trace operations on a 240-trace by 4000-sample
// record, each on a fresh copy of the same noise record.
#include <benchmark/benchmark.h>

#include <random>

#include "shell/ProcessCommands.h"

namespace {

vel::ShotRecord NoiseRecord() {
  vel::ShotRecord rec;
  rec.NTRACE = 240;
  rec.NSAMP = 4000;
  rec.SAMPINT = 0.25f;
  (void)vel::RebuildTraceArrays(rec);
  std::mt19937 rng(11);
  std::normal_distribution<float> noise(0.0f, 1000.0f);
  for (float& x : rec.TRACES) x = noise(rng);
  return rec;
}

template <void (*Operation)(vel::ShotRecord&)>
void BM_TraceOperation(benchmark::State& state) {
  const vel::ShotRecord source = NoiseRecord();
  for (auto _ : state) {
    state.PauseTiming();
    vel::ShotRecord rec = source;
    state.ResumeTiming();
    Operation(rec);
    benchmark::DoNotOptimize(rec.TRACES.data());
  }
}

void Differentiate(vel::ShotRecord& rec) { (void)vel::DifferentiateTraces(rec); }

BENCHMARK(BM_TraceOperation<Differentiate>)->Name("BM_Differentiate")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_TraceOperation<vel::IntegrateTraces>)->Name("BM_Integrate")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_TraceOperation<vel::DetrendTraces>)->Name("BM_Detrend")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_TraceOperation<vel::RemoveDcTraces>)->Name("BM_RemoveDc")->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
