// Drawing and measuring many short labels, as an axis or a trace header row does.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "platform/text/TextDraw.h"

namespace {

std::vector<std::string> Labels(int n) {
  std::vector<std::string> labels;
  labels.reserve(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) labels.push_back("Tr " + std::to_string(i * 7 % 1000) + " ms");
  return labels;
}

void DrawLabels(benchmark::State& state, int angle) {
  const auto labels = Labels(10000);
  auto font = plat::OpenFont({.face = "Arial", .height = -12, .angle = angle});
  plat::Surface surface(1024, 768);
  const plat::TextStyle style{.colour = plat::Rgb(0, 0, 0),
                              .hAlign = plat::TextHAlign::Centre,
                              .vAlign = plat::TextVAlign::Baseline};
  for (auto _ : state) {
    for (std::size_t i = 0; i < labels.size(); ++i) {
      const plat::Point at{static_cast<int>(40 + (i * 37) % 940),
                           static_cast<int>(30 + (i * 13) % 700)};
      benchmark::DoNotOptimize(
          plat::DrawText(surface, *font, at, labels[i], style, surface.Bounds()));
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(labels.size()));
}

void BM_DrawTenThousandLabels(benchmark::State& state) {
  DrawLabels(state, 0);
}
void BM_DrawTenThousandLabelsRotated(benchmark::State& state) {
  DrawLabels(state, 900);
}

void BM_MeasureTenThousandLabels(benchmark::State& state) {
  const auto labels = Labels(10000);
  auto font = plat::OpenFont({.face = "Arial", .height = -12});
  for (auto _ : state) {
    long long total = 0;
    for (const auto& s : labels) total += font->TextWidth(s);
    benchmark::DoNotOptimize(total);
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(labels.size()));
}

void BM_OpenCachedFont(benchmark::State& state) {
  const plat::FontSpec spec{.face = "Times New Roman", .height = -14};
  benchmark::DoNotOptimize(plat::OpenFont(spec));
  for (auto _ : state) benchmark::DoNotOptimize(plat::OpenFont(spec));
}

void BM_MakeFontAndMeasureAlphabet(benchmark::State& state) {
  int h = 10;
  for (auto _ : state) {
    // Cycle through more sizes than the cache holds, so each font is made anew.
    h = h >= 10 + 2 * static_cast<int>(plat::kFontCacheCapacity) ? 10 : h + 1;
    auto font = plat::OpenFont({.face = "Courier New", .height = -h});
    benchmark::DoNotOptimize(
        font->TextWidth("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  }
}

}  // namespace

BENCHMARK(BM_DrawTenThousandLabels)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DrawTenThousandLabelsRotated)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_MeasureTenThousandLabels)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_OpenCachedFont)->UseRealTime();
BENCHMARK(BM_MakeFontAndMeasureAlphabet)->Unit(benchmark::kMicrosecond)->UseRealTime();
