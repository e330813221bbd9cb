// The raw binary import from disk: 1000 traces of 10000 16-bit samples
// (20 MB) behind a 3600-byte file header and 240-byte trace headers, read
// by USERIN into a record, wall clock.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>

#include "instruments/RawImport.h"
#include "support/UserMessages.h"

namespace {

constexpr int kTraces = 1000;
constexpr int kSamples = 10000;

void BM_UserInRaw16(benchmark::State& state) {
  std::string bytes(3600, '\0');
  std::mt19937 rng(5);
  std::uniform_int_distribution<int> word(0, 65535);
  for (int j = 0; j < kTraces; ++j) {
    bytes.append(240, '\0');
    for (int i = 0; i < kSamples; ++i) {
      const int w = word(rng);
      bytes.push_back(static_cast<char>(w & 0xFF));
      bytes.push_back(static_cast<char>(w >> 8));
    }
  }
  const auto path = std::filesystem::temp_directory_path() / "velloran-raw-bench.bin";
  if (std::FILE* out = std::fopen(path.c_str(), "wb")) {
    std::fwrite(bytes.data(), 1, bytes.size(), out);
    std::fclose(out);
  }
  sup::SetUserMessageHook([](sup::UserMessageKind, std::string_view, std::string_view) {});
  for (auto _ : state) {
    vel::ShotRecord rec;
    rec.NTRACE = kTraces;
    rec.NSAMP = kSamples;
    int ierr = 0;
    vel::USERIN(rec, path.string(), ierr, 0.0f, 1.0f, 3600, 240, 1, 3, false);
    if (ierr != 0) state.SkipWithError("read failed");
    benchmark::DoNotOptimize(rec.TRACES.data());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes.size()));
  sup::SetUserMessageHook({});
  std::filesystem::remove(path);
}
BENCHMARK(BM_UserInRaw16)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
