// Decoding an EG&G file held in memory (96 traces of 1024 samples, 6-byte
// real header) and one Dolang data file of 4000 text lines.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "instruments/DolangIn.h"
#include "instruments/Egg.h"

namespace {

constexpr int kTraces = 96;
constexpr int kSamples = 4000;

void PutLE(std::string& s, std::uint64_t v, int bytes) {
  for (int k = 0; k < bytes; ++k) s.push_back(static_cast<char>((v >> (8 * k)) & 0xFF));
}

std::string EggFile() {
  std::string s(985, '\0');
  s.replace(288, 2, "12");
  std::string counts;
  PutLE(counts, kTraces, 2);
  PutLE(counts, 1024, 2);
  s.replace(296, 4, counts);
  s[300] = static_cast<char>(119);  // about 0.0005 s
  std::mt19937 rng(7);
  std::uniform_int_distribution<int> word(-30000, 30000);
  for (int j = 0; j < kTraces; ++j) {
    for (int i = 0; i < 1024; ++i) PutLE(s, static_cast<std::uint16_t>(word(rng)), 2);
  }
  return s;
}

void BM_EggFile(benchmark::State& state) {
  const std::string file = EggFile();
  const auto bytes = std::as_bytes(std::span(file.data(), file.size()));
  for (auto _ : state) {
    vel::ShotRecord rec;
    benchmark::DoNotOptimize(vel::DecodeEggFile(bytes, rec, 0));
    benchmark::DoNotOptimize(rec.TRACES.data());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(file.size()));
}
BENCHMARK(BM_EggFile)->UseRealTime();

void BM_DolangTrace(benchmark::State& state) {
  std::string text;
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> v(-1000.0, 1000.0);
  char buf[48];
  for (int i = 0; i < kSamples; ++i) {
    std::snprintf(buf, sizeof buf, "%20.6f\r\n", v(rng));
    text += buf;
  }
  std::vector<float> trace(kSamples);
  for (auto _ : state) {
    std::int32_t line = 0;
    benchmark::DoNotOptimize(vel::DecodeDolangTrace(text, trace, line));
    benchmark::DoNotOptimize(trace.data());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_DolangTrace)->UseRealTime();

}  // namespace
