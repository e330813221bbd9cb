// ASCII tables of a 240-trace by 4000-sample record: the export (time column
// and label row, blank- and comma-separated) and the import of that table
// with its column layout, both through real files.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <filesystem>
#include <random>
#include <string>

#include "formats/AsciiIn.h"
#include "formats/AsciiOut.h"
#include "support/UserMessages.h"

namespace {

constexpr int kTraces = 240;
constexpr int kSamples = 4000;

vel::ShotRecord NoiseRecord() {
  vel::ShotRecord rec;
  rec.CRECNAME = "BENCH";
  rec.NTRACE = kTraces;
  rec.NSAMP = kSamples;
  rec.SAMPINT = 0.25f;
  (void)vel::RebuildTraceArrays(rec);
  std::mt19937 rng(7);
  std::normal_distribution<float> noise(0.0f, 1000.0f);
  for (float& x : rec.TRACES) x = noise(rng);
  for (int j = 0; j < kTraces; ++j) rec.GEOLOC[static_cast<std::size_t>(j)] = 2.0f * j;
  return rec;
}

std::string TablePath(int type) {
  return (std::filesystem::temp_directory_path() /
          (type == 1 ? "velloran-ascii-bench.dat" : "velloran-ascii-bench.csv"))
      .string();
}

void Quiet() {
  sup::SetUserMessageHook([](sup::UserMessageKind, std::string_view, std::string_view) {});
  sup::SetAbortPollHook([] { return false; });
}

// Writes the table of TYPE (1 blanks, 2 commas); its size in bytes.
std::uintmax_t WriteTable(const vel::ShotRecord& rec, int type) {
  vel::IASCTYPE() = type;
  vel::AsciiExportOptions options{.ILABEL = 1, .LTIMES = true, .LPOSITS = false};
  std::string name = TablePath(type);
  int error = 0;
  vel::ASCIIOUT(rec, 0, name, error, options);
  std::error_code ec;
  return error == 0 ? std::filesystem::file_size(name, ec) : 0;
}

void BM_AsciiExport(benchmark::State& state) {
  Quiet();
  const int type = static_cast<int>(state.range(0));
  const vel::ShotRecord rec = NoiseRecord();
  std::uintmax_t bytes = 0;
  for (auto _ : state) bytes = WriteTable(rec, type);
  if (bytes == 0) state.SkipWithError("export failed");
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
  state.counters["values/s"] = benchmark::Counter(
      static_cast<double>(state.iterations()) * kTraces * kSamples, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_AsciiExport)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_AsciiImport(benchmark::State& state) {
  Quiet();
  const int type = static_cast<int>(state.range(0));
  const std::uintmax_t bytes = WriteTable(NoiseRecord(), type);
  vel::AsciiColumnLayout layout;
  layout.ICOL1 = 2;
  layout.NTRIN = kTraces;
  layout.NSIN = kSamples;
  layout.TSTEP = 0.25f;
  vel::ShotRecord rec;
  for (auto _ : state) {
    int error = 0;
    vel::ReadAsciiTable(rec, TablePath(type), layout, error);
    if (error != 0 || rec.NSAMP != kSamples) state.SkipWithError("import failed");
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
  state.counters["values/s"] = benchmark::Counter(
      static_cast<double>(state.iterations()) * kTraces * kSamples, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_AsciiImport)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
