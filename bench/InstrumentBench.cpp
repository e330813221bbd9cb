// Decoding whole Bison-2 files held in memory: 96 traces of 4000 samples in
// each sample format, from the first header byte to the trace statistics.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <string>

#include "instruments/Bison2.h"

namespace {

constexpr int kTraces = 96;
constexpr int kSamples = 4000;

void PutLE(std::string& s, std::uint64_t v, int bytes) {
  for (int k = 0; k < bytes; ++k) s.push_back(static_cast<char>((v >> (8 * k)) & 0xFF));
}

std::string Bison2File(char format) {
  std::string s(538, ' ');
  s.replace(117, 7, "BISON-2");
  s[145] = format;
  s.replace(218, 4, "  96");
  s.replace(238, 6, "  4000");
  s.append(48 * kTraces + 2, ' ');
  std::mt19937 rng(7);
  std::uniform_int_distribution<int> word(-30000, 30000);
  std::uniform_int_distribution<int> nibble(0, 15);
  for (int j = 0; j < kTraces; ++j) {
    for (int i = 0; i < kSamples; ++i) {
      if (format == 'L') {
        PutLE(s, static_cast<std::uint32_t>(word(rng) * 1000), 4);
      } else {
        PutLE(s, static_cast<std::uint16_t>(word(rng)), 2);
        if (format != 'W' && i % 4 == 3)
          PutLE(s, static_cast<std::uint16_t>(nibble(rng) * 0x1111), 2);
      }
    }
  }
  return s;
}

void BM_Bison2File(benchmark::State& state, char format) {
  const std::string file = Bison2File(format);
  const auto bytes = std::as_bytes(std::span(file.data(), file.size()));
  for (auto _ : state) {
    vel::ShotRecord rec;
    char f = 0;
    benchmark::DoNotOptimize(vel::DecodeBison2File(bytes, rec, f));
    benchmark::DoNotOptimize(rec.TRACES.data());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(file.size()));
}

BENCHMARK_CAPTURE(BM_Bison2File, words, 'W')->UseRealTime();
BENCHMARK_CAPTURE(BM_Bison2File, longs, 'L')->UseRealTime();
BENCHMARK_CAPTURE(BM_Bison2File, twenty_bit, 'F')->UseRealTime();

}  // namespace
