// The SEG-2 reader over a whole file: 240 traces of 4000 float samples read
// from disk into a record, and the sample decoders alone per format.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "formats/Seg2In.h"
#include "support/UserMessages.h"
#include "tests/formats/Seg2Fixtures.h"

namespace {

constexpr int kTraces = 240;
constexpr int kSamples = 4000;

std::vector<float> Noise(std::size_t n) {
  std::mt19937 rng(7);
  std::normal_distribution<float> noise(0.0f, 1000.0f);
  std::vector<float> v(n);
  for (float& x : v) x = noise(rng);
  return v;
}

std::string FloatFile() {
  seg2_fixtures::File f;
  f.strings = {"ACQUISITION_DATE 10/DEC/2026", "UNITS METERS", "NOTE benchmark record"};
  const std::vector<float> v = Noise(kSamples);
  for (int j = 0; j < kTraces; ++j) {
    seg2_fixtures::Trace t;
    t.format = 4;
    t.sampleCount = kSamples;
    t.data = seg2_fixtures::Floats(v, false);
    t.strings = {"SAMPLE_INTERVAL 0.00025",
                 "DELAY 0.0",
                 "RECEIVER_LOCATION " + std::to_string(j) + " 0 0",
                 "SOURCE_LOCATION -1 0 0",
                 "DESCALING_FACTOR 1.0",
                 "STACK 4"};
    f.traces.push_back(t);
  }
  return seg2_fixtures::Build(f);
}

void BM_Seg2InFloatFile(benchmark::State& state) {
  const std::string bytes = FloatFile();
  // In VELLORAN_BENCH_DIR, when set, the file stays for other readers to be
  // timed on (bench/compare_peers.py).
  const char* keepIn = std::getenv("VELLORAN_BENCH_DIR");
  const auto path = (keepIn != nullptr ? std::filesystem::path(keepIn)
                                       : std::filesystem::temp_directory_path()) /
                    "velloran-seg2-bench.sg2";
  if (std::FILE* out = std::fopen(path.c_str(), "wb")) {
    std::fwrite(bytes.data(), 1, bytes.size(), out);
    std::fclose(out);
  }
  sup::SetUserMessageHook([](sup::UserMessageKind, std::string_view, std::string_view) {});
  vel::ShotRecord rec;
  for (auto _ : state) {
    int ierr = 0;
    vel::SEG2IN(rec, path.string(), ierr, true);
    if (ierr != 0) state.SkipWithError("read failed");
    benchmark::DoNotOptimize(rec.TRACES.data());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes.size()));
  sup::SetUserMessageHook({});
  if (keepIn == nullptr) std::filesystem::remove(path);
}
BENCHMARK(BM_Seg2InFloatFile)->Unit(benchmark::kMillisecond)->UseRealTime();

/// Decoding one block of samples of the given format and byte order.
void BM_Seg2Decode(benchmark::State& state) {
  const int format = static_cast<int>(state.range(0));
  const bool swap = state.range(1) != 0;
  const std::int32_t ns = kTraces * kSamples;
  std::vector<std::byte> block(static_cast<std::size_t>(vel::Seg2DataBytes(format, ns)));
  std::mt19937 rng(3);
  for (auto& b : block) b = static_cast<std::byte>(rng());
  std::vector<float> out(static_cast<std::size_t>(ns));
  for (auto _ : state) {
    float lo = 1e30f, hi = -1e30f;
    if (!vel::DecodeSeg2Samples(block, format, ns, swap, out, lo, hi))
      state.SkipWithError("decode");
    benchmark::DoNotOptimize(out.data());
    benchmark::DoNotOptimize(lo);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(block.size()));
}
BENCHMARK(BM_Seg2Decode)
    ->ArgNames({"format", "swap"})
    ->Args({1, 0})
    ->Args({1, 1})
    ->Args({2, 0})
    ->Args({3, 0})
    ->Args({4, 0})
    ->Args({4, 1})
    ->UseRealTime();

}  // namespace
