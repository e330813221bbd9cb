// Receiver-geometry files of 10000 receivers, the most the Shot Header
// Editor's grid shows: writing the file (replaced in one step) and reading
// it back, both through real files.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <vector>

#include "formats/GeometryFile.h"
#include "support/UserMessages.h"

namespace {

constexpr std::size_t kReceivers = 10000;

struct Receivers {
  Receivers() : east(kReceivers), north(kReceivers), elev(kReceivers) {
    for (std::size_t j = 0; j < kReceivers; ++j) {
      east[j] = 2.5f * static_cast<float>(j);
      north[j] = 100.0f + 0.25f * static_cast<float>(j % 40);
      elev[j] = 350.75f - 0.5f * static_cast<float>(j % 17);
    }
  }
  vel::GeometrySpans Spans() { return {east, north, elev}; }
  std::vector<float> east, north, elev;
};

std::string GeometryPath() {
  return (std::filesystem::temp_directory_path() / "velloran-geometry-bench.GEO").string();
}

void BM_GeometryFileWrite(benchmark::State& state) {
  sup::SetUserMessageHook([](sup::UserMessageKind, std::string_view, std::string_view) {});
  Receivers r;
  const std::string name = GeometryPath();
  for (auto _ : state)
    benchmark::DoNotOptimize(vel::WriteGeometryFile(name, r.Spans(), kReceivers));
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kReceivers));
}
BENCHMARK(BM_GeometryFileWrite)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_GeometryFileRead(benchmark::State& state) {
  sup::SetUserMessageHook([](sup::UserMessageKind, std::string_view, std::string_view) {});
  Receivers r;
  const std::string name = GeometryPath();
  if (!vel::WriteGeometryFile(name, r.Spans(), kReceivers)) {
    state.SkipWithError("the geometry file could not be written");
    return;
  }
  Receivers back;
  for (auto _ : state)
    benchmark::DoNotOptimize(vel::ReadGeometryFile(name, back.Spans(), kReceivers));
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kReceivers));
  std::error_code ec;
  std::filesystem::remove(name, ec);
}
BENCHMARK(BM_GeometryFileRead)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
