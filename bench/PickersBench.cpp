// The simple and Hatherly pickers over a whole record of 240 traces of 4000
// samples (0.25 ms): noise with a Ricker first arrival moving out across the
// record, or noise alone, where every picker scans the whole trace.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <vector>

#include "display/Pickers.h"
#include "tests/display/SyntheticTraces.h"

namespace {

constexpr int kTraces = 240;
constexpr std::int32_t kSamples = 4000;
constexpr double kDtMs = 0.25;

struct Record {
  std::vector<std::vector<float>> traces;
  std::vector<float> maxima;
};

const Record& MakeRecord(bool arrivals) {
  static Record withArrivals, noiseOnly;
  Record& rec = arrivals ? withArrivals : noiseOnly;
  if (!rec.traces.empty()) return rec;
  std::mt19937 rng(99);
  picker_fixtures::Arrival arrival;
  arrival.frequencyHz = 60.0;
  arrival.noiseFraction = 0.01;
  std::normal_distribution<float> noise(0.0f, 10.0f);
  for (int j = 0; j < kTraces; ++j) {
    // Onsets from 20 ms at the near trace to about 380 ms at the far one.
    const std::int32_t onset = 80 + j * 6;
    std::vector<float> trace(kSamples);
    if (arrivals) {
      trace = picker_fixtures::NoiseThenRicker(rng, kSamples, kDtMs, onset, arrival);
    } else {
      for (float& v : trace) v = noise(rng);
    }
    rec.maxima.push_back(picker_fixtures::AbsMax(trace));
    rec.traces.push_back(std::move(trace));
  }
  return rec;
}

void BM_PicksvRecord(benchmark::State& state) {
  const Record& rec = MakeRecord(state.range(0) != 0);
  const vel::SimplePickParameters pars;
  const std::int32_t np = vel::SimplePulseSamples(pars.SVPULSE, static_cast<float>(kDtMs));
  std::int64_t picked = 0;
  for (auto _ : state) {
    for (int j = 0; j < kTraces; ++j) {
      std::int32_t pick = 0;
      vel::PICKSV(rec.traces[j], kSamples, rec.maxima[j], pick, pars.SVMININC, pars.SVSPIKE, np);
      picked += pick > 0;
      benchmark::DoNotOptimize(pick);
    }
  }
  state.counters["picked"] = static_cast<double>(picked) / static_cast<double>(state.iterations());
  state.SetItemsProcessed(state.iterations() * kTraces);
}
BENCHMARK(BM_PicksvRecord)->ArgName("arrivals")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

void BM_PickhlyRecord(benchmark::State& state) {
  const Record& rec = MakeRecord(state.range(0) != 0);
  const vel::HatherlyPickParameters pars;
  std::int64_t picked = 0;
  for (auto _ : state) {
    for (int j = 0; j < kTraces; ++j) {
      float noise = rec.maxima[j] * pars.HLYNOISE;
      std::int32_t pick = 0;
      vel::PICKHLY(rec.traces[j], kSamples, noise, pick, 1, kSamples);
      picked += pick > 0;
      benchmark::DoNotOptimize(pick);
    }
  }
  state.counters["picked"] = static_cast<double>(picked) / static_cast<double>(state.iterations());
  state.SetItemsProcessed(state.iterations() * kTraces);
}
BENCHMARK(BM_PickhlyRecord)->ArgName("arrivals")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

}  // namespace
