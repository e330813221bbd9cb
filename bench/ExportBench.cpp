// Export SEG-2 and Export SEG-Y of a 1000-trace x 8000-sample record as the
// commands run them (the writer's own progress window, the dialogs' first
// choices: SEG-2 32-bit floats least significant byte first; SEG-Y IBM
// floats, and IEEE floats for a like-for-like size), wall clock, reported in
// MB/s of file written.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <random>

#include "formats/Seg2Out.h"
#include "formats/SegyOut.h"
#include "support/UserMessages.h"

namespace {

constexpr int kTraces = 1000;
constexpr int kSamples = 8000;

const vel::ShotRecord& Record() {
  static const vel::ShotRecord rec = [] {
    vel::ShotRecord r;
    r.NTRACE = kTraces;
    r.NSAMP = kSamples;
    if (!vel::RebuildTraceArrays(r)) std::abort();
    r.SAMPINT = 0.125f;
    std::mt19937 rng(11);
    std::normal_distribution<float> noise(0.0f, 1000.0f);
    for (float& v : r.TRACES) v = noise(rng);
    for (int j = 0; j < kTraces; ++j) {
      const auto J = static_cast<std::size_t>(j);
      r.GEOLOC[J] = static_cast<float>(j);
      r.ICHANNEL[J] = j + 1;
      float peak = 0.0f;
      for (const float v : vel::Trace(r, j + 1)) peak = std::max(peak, std::fabs(v));
      r.TRACEMAX[J] = peak;
      r.IBPICK[J] = j % 3 == 0 ? -1 : 100 + j;
    }
    return r;
  }();
  return rec;
}

std::filesystem::path BenchFile(const char* name) {
  return std::filesystem::temp_directory_path() / name;
}

void BM_ExportSeg2(benchmark::State& state) {
  sup::SetUserMessageHook([](sup::UserMessageKind, std::string_view, std::string_view) {});
  vel::ShotRecord rec = Record();
  const std::string path = BenchFile("velloran-export-bench.sg2").string();
  const int format = static_cast<int>(state.range(0));
  for (auto _ : state) {
    int error = 0;
    vel::SEG2OUT(rec, path, false, format, false, 0, error);
    if (error != 0) state.SkipWithError("write failed");
  }
  state.SetBytesProcessed(state.iterations() *
                          static_cast<std::int64_t>(std::filesystem::file_size(path)));
  std::filesystem::remove(path);
  sup::SetUserMessageHook({});
}
BENCHMARK(BM_ExportSeg2)->Arg(1)->Arg(3)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ExportSegy(benchmark::State& state) {
  sup::SetUserMessageHook([](sup::UserMessageKind, std::string_view, std::string_view) {});
  const vel::ShotRecord& rec = Record();
  const std::string path = BenchFile("velloran-export-bench.sgy").string();
  vel::SegyOutOptions o;
  o.format = static_cast<int>(state.range(0));
  o.ebcdic = true;
  o.bigEndian = true;
  o.batch = false;
  for (auto _ : state) {
    int error = 0;
    vel::SEGYOUT(rec, path, o, error);
    if (error != 0) state.SkipWithError("write failed");
  }
  state.SetBytesProcessed(state.iterations() *
                          static_cast<std::int64_t>(std::filesystem::file_size(path)));
  std::filesystem::remove(path);
  sup::SetUserMessageHook({});
}
BENCHMARK(BM_ExportSegy)->Arg(1)->Arg(5)->Arg(3)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
