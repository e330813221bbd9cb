// The program's trace file: writing and reading a 240-trace x 4000-sample
// record (about 3.9 MB), through files and in memory, reported in MB/s of file.
#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <random>

#include "formats/TraceFile.h"
#include "support/UserMessages.h"

namespace {

constexpr int kTraces = 240;
constexpr int kSamples = 4000;

vel::ShotRecord MakeRecord() {
  vel::ShotRecord rec;
  rec.NTRACE = kTraces;
  rec.NSAMP = kSamples;
  if (!vel::RebuildTraceArrays(rec)) std::abort();
  rec.SAMPINT = 0.25f;
  rec.CRECNAME = "bench";
  std::mt19937 rng(7);
  std::normal_distribution<float> noise(0.0f, 1000.0f);
  for (float& v : rec.TRACES) v = noise(rng);
  for (int j = 0; j < kTraces; ++j) {
    const auto J = static_cast<std::size_t>(j);
    rec.GEOLOC[J] = static_cast<float>(j);
    rec.IBPICK[J] = 100 + j;
  }
  return rec;
}

std::filesystem::path BenchFile() {
  return std::filesystem::temp_directory_path() / "velloran-trx-bench.trx";
}

std::string Name() {
  std::string name = BenchFile().string();
  name.resize(256, ' ');
  return name;
}

void BM_TrxWriteFile(benchmark::State& state) {
  sup::SetUserMessageHook([](sup::UserMessageKind, std::string_view, std::string_view) {});
  const vel::ShotRecord rec = MakeRecord();
  const sup::GraphAxes axes;
  const vel::TraceDisplayOptions opts;
  for (auto _ : state) {
    std::vector<std::byte> bytes;
    int error = -1;
    if (vel::EncodeTraceFile(rec, axes, opts, bytes))
      vel::WriteTraceFileBytes(Name(), bytes, error);
    if (error != 0) state.SkipWithError("write failed");
  }
  state.SetBytesProcessed(state.iterations() *
                          static_cast<std::int64_t>(vel::TraceFileBytes(kTraces, kSamples)));
}
BENCHMARK(BM_TrxWriteFile)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_TrxReadFile(benchmark::State& state) {
  sup::SetUserMessageHook([](sup::UserMessageKind, std::string_view, std::string_view) {});
  {
    vel::ShotRecord rec = MakeRecord();
    std::vector<std::byte> bytes;
    int error = -1;
    if (vel::EncodeTraceFile(rec, {}, {}, bytes)) vel::WriteTraceFileBytes(Name(), bytes, error);
    if (error != 0) state.SkipWithError("write failed");
  }
  vel::ShotRecord rec;
  sup::GraphAxes axes;
  vel::TraceDisplayOptions opts;
  for (auto _ : state) {
    std::string name = Name();
    int error = -1;
    vel::BIOVELLN(rec, axes, opts, "RELOAD    ", name, error);
    if (error != 0) state.SkipWithError("read failed");
    benchmark::DoNotOptimize(rec.TRACES.data());
  }
  state.SetBytesProcessed(state.iterations() *
                          static_cast<std::int64_t>(vel::TraceFileBytes(kTraces, kSamples)));
  std::filesystem::remove(BenchFile());
}
BENCHMARK(BM_TrxReadFile)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_TrxEncode(benchmark::State& state) {
  const vel::ShotRecord rec = MakeRecord();
  std::vector<std::byte> bytes;
  for (auto _ : state) {
    if (!vel::EncodeTraceFile(rec, {}, {}, bytes)) state.SkipWithError("encode failed");
    benchmark::DoNotOptimize(bytes.data());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes.size()));
}
BENCHMARK(BM_TrxEncode)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_TrxDecode(benchmark::State& state) {
  std::vector<std::byte> bytes;
  if (!vel::EncodeTraceFile(MakeRecord(), {}, {}, bytes)) std::abort();
  for (auto _ : state) {
    vel::TrxContents c;
    std::vector<vel::TrxNotice> notices;
    if (!vel::DecodeTraceFile(bytes, c, notices)) state.SkipWithError("decode failed");
    benchmark::DoNotOptimize(c.record.TRACES.data());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes.size()));
}
BENCHMARK(BM_TrxDecode)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
