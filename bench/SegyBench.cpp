// SEG-Y reading and writing of a 1000-trace x 2000-sample IBM float record
// (about 8 MB), reported in MB/s of file over wall time.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <random>

#include "formats/SegyIn.h"
#include "formats/SegyOut.h"
#include "support/UserMessages.h"

namespace {

constexpr int kTraces = 1000;
constexpr int kSamples = 2000;

vel::ShotRecord MakeRecord() {
  vel::ShotRecord rec;
  rec.NTRACE = kTraces;
  rec.NSAMP = kSamples;
  if (!vel::RebuildTraceArrays(rec)) std::abort();
  rec.SAMPINT = 0.25f;
  std::mt19937 rng(7);
  std::normal_distribution<float> noise(0.0f, 1000.0f);
  for (float& v : rec.TRACES) v = noise(rng);
  for (int j = 0; j < kTraces; ++j) rec.GEOLOC[static_cast<std::size_t>(j)] = static_cast<float>(j);
  return rec;
}

// The file goes to VELLORAN_BENCH_DIR when that is set, and stays there for
// other readers to be timed on (bench/compare_peers.py); else to the
// temporary folder, removed afterwards.
std::filesystem::path BenchFile() {
  if (const char* dir = std::getenv("VELLORAN_BENCH_DIR"))
    return std::filesystem::path(dir) / "velloran-segy-bench.sgy";
  return std::filesystem::temp_directory_path() / "velloran-segy-bench.sgy";
}
void RemoveBenchFile() {
  if (std::getenv("VELLORAN_BENCH_DIR") == nullptr) std::filesystem::remove(BenchFile());
}

void BM_SegyWriteIbm(benchmark::State& state) {
  sup::SetUserMessageHook([](sup::UserMessageKind, std::string_view, std::string_view) {});
  const vel::ShotRecord rec = MakeRecord();
  const std::string path = BenchFile().string();
  vel::SegyOutOptions o;
  o.batch = true;  // no progress dialog
  for (auto _ : state) {
    int error = 0;
    vel::SEGYOUT(rec, path, o, error);
    if (error != 0) state.SkipWithError("write failed");
  }
  state.SetBytesProcessed(state.iterations() *
                          static_cast<std::int64_t>(std::filesystem::file_size(path)));
  RemoveBenchFile();
}
BENCHMARK(BM_SegyWriteIbm)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SegyReadIbm(benchmark::State& state) {
  sup::SetUserMessageHook([](sup::UserMessageKind, std::string_view, std::string_view) {});
  const std::string path = BenchFile().string();
  {
    const vel::ShotRecord rec = MakeRecord();
    int error = 0;
    vel::SegyOutOptions o;
    o.batch = true;
    vel::SEGYOUT(rec, path, o, error);
  }
  for (auto _ : state) {
    vel::ShotRecord rec;
    int recno = 1;
    int error = 0;
    vel::SEGYIN(rec, path, recno, error, {});
    if (error != 0 || rec.NTRACE != kTraces) state.SkipWithError("read failed");
    benchmark::DoNotOptimize(rec.TRACES.data());
  }
  state.SetBytesProcessed(state.iterations() *
                          static_cast<std::int64_t>(std::filesystem::file_size(path)));
  RemoveBenchFile();
}
BENCHMARK(BM_SegyReadIbm)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
