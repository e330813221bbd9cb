// The F-K transform's hot paths, wall clock, on a 240-trace by 4000-sample
// record (an 8192 x 512 transform): FKSPECT, and FKTRACES with both dips
// active. compare_peers.py times numpy's fft2 and ifft2 of the same padded
// array in the same run.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "display/FkTransform.h"

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
  vel::FkSetSizes(kSamples, kTraces);
  const auto& t = vel::StoredFkTransform();
  std::vector<float> spec(static_cast<std::size_t>(t.NF) * t.NX);
  for (auto _ : state) {
    int ierr = 0;
    vel::FKSPECT(record, spec, kSamples, kTraces, 400, ierr);
    benchmark::DoNotOptimize(spec.data());
  }
}
BENCHMARK(BM_FkSpect)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_FkTraces(benchmark::State& state) {
  const std::vector<float> record = Record();
  vel::FkSetSizes(kSamples, kTraces);
  const auto& t = vel::StoredFkTransform();
  std::vector<float> spec(static_cast<std::size_t>(t.NF) * t.NX);
  int ierr = 0;
  vel::FKSPECT(record, spec, kSamples, kTraces, 400, ierr);
  vel::FkFan fan;
  fan.V = {2000.0f, 2000.0f};
  std::vector<float> out(record.size());
  for (auto _ : state) {
    vel::FKTRACES(out, kSamples, kTraces, 0.25f, 2.0f, fan, ierr);
    benchmark::DoNotOptimize(out.data());
  }
}
BENCHMARK(BM_FkTraces)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
