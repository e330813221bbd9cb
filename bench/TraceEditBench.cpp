// Resampling a whole record of 240 traces of 4000 samples (0.25 ms) to twice
// and to half the samples, each trace interpolated in one pass over its
// time table.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>

#include "display/TraceEdit.h"
#include "record/ShotRecord.h"

namespace {

constexpr std::int32_t kTraces = 240;
constexpr std::int32_t kSamples = 4000;

const vel::ShotRecord& SourceRecord() {
  static const vel::ShotRecord rec = [] {
    vel::ShotRecord r;
    r.NTRACE = kTraces;
    r.NSAMP = kSamples;
    r.SAMPINT = 0.25f;
    if (!vel::RebuildTraceArrays(r)) return r;
    std::mt19937 rng(5);
    std::normal_distribution<float> noise(0.0f, 100.0f);
    for (float& v : r.TRACES) v = noise(rng);
    for (std::int32_t j = 0; j < kTraces; ++j) r.IBPICK[static_cast<std::size_t>(j)] = 100 + j;
    return r;
  }();
  return rec;
}

void BM_ResampleRecord(benchmark::State& state) {
  const auto newCount = static_cast<std::int32_t>(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    vel::ShotRecord rec = SourceRecord();
    state.ResumeTiming();
    const vel::ResampleStatus status = vel::ResampleColumns(rec, newCount);
    benchmark::DoNotOptimize(status);
    benchmark::DoNotOptimize(rec.TRACES.data());
  }
  state.SetItemsProcessed(state.iterations() * kTraces);
}
BENCHMARK(BM_ResampleRecord)
    ->ArgName("samples")
    ->Arg(8000)
    ->Arg(2000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
