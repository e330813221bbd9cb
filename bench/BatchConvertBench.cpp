// Batch conversion of 1000 small one-record SEG-Y files (24 traces x 1000
// IEEE float samples) to SEG-2 in one run, wall clock; reported as files
// per second.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "formats/SegyOut.h"
#include "shell/MultiFileCommands.h"
#include "support/UserMessages.h"

namespace {

namespace fs = std::filesystem;
constexpr int kFiles = 1000;
constexpr int kTraces = 24;
constexpr int kSamples = 1000;

vel::ShotRecord MakeRecord(int seed) {
  vel::ShotRecord rec;
  rec.NTRACE = kTraces;
  rec.NSAMP = kSamples;
  if (!vel::RebuildTraceArrays(rec)) std::abort();
  rec.SAMPINT = 0.25f;
  for (int j = 1; j <= kTraces; ++j) {
    rec.GEOLOC[static_cast<std::size_t>(j - 1)] = static_cast<float>(j);
    std::span<float> t = vel::Trace(rec, j);
    for (std::size_t k = 0; k < t.size(); ++k)
      t[k] = std::sin(0.01f * static_cast<float>(k * static_cast<std::size_t>(j + seed))) * 1e3f;
  }
  return rec;
}

// The inputs go to VELLORAN_BENCH_DIR/velloran-batch when that is set, and
// stay there for other readers to be timed on (bench/compare_peers.py);
// else to the temporary folder, removed afterwards.
fs::path InputFolder() {
  if (const char* dir = std::getenv("VELLORAN_BENCH_DIR"))
    return fs::path(dir) / "velloran-batch";
  return fs::temp_directory_path() / "velloran-batch-bench";
}

void BM_BatchConvertSegyToSeg2(benchmark::State& state) {
  sup::SetUserMessageHook([](sup::UserMessageKind, std::string_view, std::string_view) {});
  const fs::path in = InputFolder();
  const fs::path out = in / "out";
  fs::create_directories(out);
  tk::FileSelection chosen;
  chosen.folder = in.string();
  vel::SegyOutOptions o;
  o.format = 5;
  o.bigEndian = false;
  o.batch = true;
  for (int i = 0; i < kFiles; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "shot%04d.sgy", i + 1);
    chosen.names.emplace_back(name);
    int error = 0;
    vel::SEGYOUT(MakeRecord(i % 7), (in / name).string(), o, error);
    if (error != 0) state.SkipWithError("writing the inputs failed");
  }
  vel::ConversionOptions options;
  options.IOUTFMT = 1;  // 32-bit floats
  for (auto _ : state) {
    vel::ConvertFiles(chosen, out.string(), vel::kConvertToSeg2, options, false);
    state.PauseTiming();
    // The next run finds no outputs to ask about.
    fs::remove_all(out);
    fs::create_directories(out);
    state.ResumeTiming();
  }
  state.counters["files_per_s"] =
      benchmark::Counter(static_cast<double>(kFiles), benchmark::Counter::kIsIterationInvariantRate);
  fs::remove_all(out);
  if (std::getenv("VELLORAN_BENCH_DIR") == nullptr) fs::remove_all(in);
}
BENCHMARK(BM_BatchConvertSegyToSeg2)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
