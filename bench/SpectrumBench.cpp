// The frequency tools' hot paths, wall clock: COOL of 4096 and 8192 points,
// SPECTRUM of a 4000-sample stack, and Filter Traces (FILTRACE on every
// trace) of a 240-trace by 4000-sample record. compare_peers.py times numpy's
// FFT of the same sizes in the same run.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "display/Spectrum.h"

namespace {

std::vector<float> Noise(std::size_t n, unsigned seed) {
  std::mt19937 rng(seed);
  std::normal_distribution<float> noise(0.0f, 1000.0f);
  std::vector<float> v(n);
  for (float& x : v) x = noise(rng);
  return v;
}

// One forward transform of 2^M complex points of noise, copied in fresh
// each time (the copy is part of what numpy's fft does too).
void BM_Cool(benchmark::State& state) {
  const int m = static_cast<int>(state.range(0));
  const std::vector<float> source = Noise(std::size_t{2} << m, 3);
  std::vector<float> data(source.size());
  for (auto _ : state) {
    std::copy(source.begin(), source.end(), data.begin());
    vel::COOL(data, m, 1.0f);
    benchmark::DoNotOptimize(data.data());
  }
}
BENCHMARK(BM_Cool)->Arg(12)->Arg(13)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_SpectrumStack(benchmark::State& state) {
  const std::vector<float> stack = Noise(4000, 5);
  std::vector<float> spec(2048);
  for (auto _ : state) {
    vel::SPECTRUM(stack, spec, 4000, 400);
    benchmark::DoNotOptimize(spec.data());
  }
}
BENCHMARK(BM_SpectrumStack)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_FilterTraces(benchmark::State& state) {
  constexpr int kTraces = 240, kSamples = 4000;
  const std::vector<float> in = Noise(static_cast<std::size_t>(kTraces) * kSamples, 7);
  std::vector<float> out(in.size());
  const vel::BandpassFilter filter;  // the default corners
  for (auto _ : state) {
    for (int j = 0; j < kTraces; ++j) {
      const auto at = static_cast<std::size_t>(j) * kSamples;
      vel::FILTRACE(std::span<const float>(in).subspan(at, kSamples),
                    std::span<float>(out).subspan(at, kSamples), kSamples, 400, filter);
    }
    benchmark::DoNotOptimize(out.data());
  }
}
BENCHMARK(BM_FilterTraces)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
