// The flat two-layer interpretation's break search (every split fitted
// twice) on noisy two-layer picks of 48, 240 and 1000 traces.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>

#include "display/Refraction.h"
#include "support/UserMessages.h"

namespace {

vel::ShotRecord PickedRecord(int traces) {
  vel::ShotRecord rec;
  rec.NTRACE = traces;
  rec.NSAMP = 8;
  rec.SAMPINT = 0.25f;
  rec.SHOTX = -2.0f;
  (void)vel::RebuildTraceArrays(rec);
  std::mt19937 rng(5);
  std::uniform_int_distribution<int> noise(-2, 2);
  for (int j = 0; j < traces; ++j) {
    const float x = 2.0f + 2.0f * static_cast<float>(j);
    rec.GEOLOC[static_cast<std::size_t>(j)] = x - 2.0f;
    const float t = std::min(1000.0f * x / 600.0f, 1000.0f * x / 2400.0f + 15.0f);
    rec.IBPICK[static_cast<std::size_t>(j)] = static_cast<int>(t / rec.SAMPINT) + noise(rng);
  }
  return rec;
}

void BM_RefractionSearch(benchmark::State& state) {
  const vel::ShotRecord rec = PickedRecord(static_cast<int>(state.range(0)));
  sup::SetUserMessageHook([](sup::UserMessageKind, std::string_view, std::string_view) {});
  vel::RefractionResult r;
  vel::RefractionGraph g;
  for (auto _ : state) {
    r.directCount = 0;
    benchmark::DoNotOptimize(
        vel::InterpretRefraction(rec, r.directCount, r.v1, r.v2, r.depth, r.intercept, g));
  }
  sup::SetUserMessageHook({});
}

BENCHMARK(BM_RefractionSearch)->Arg(48)->Arg(240)->Arg(1000)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace
