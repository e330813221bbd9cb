// Drawing a shot record's traces through the graphics routines into a full-HD
// window: 240 traces of 4000 samples, as pen draws and as polylines, in copy
// and exclusive-or modes.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "platform/testing/Harness.h"
#include "toolkit/core/Windows.h"
#include "toolkit/graphics/Colours.h"
#include "toolkit/graphics/Graphics.h"
#include "toolkit/graphics/Lines.h"
#include "toolkit/graphics/WindowTargets.h"

namespace {

constexpr int kTraces = 240;
constexpr int kSamples = 4000;

struct Page {
  plat::testing::Harness harness{{2200, 1400}};
  std::vector<float> x, y;
  Page() {
    tk::WindowStyleRecord style;
    style.width = 1920;
    style.height = 1080;
    tk::WindowOpen(style);
    tk::GraphicsConnectWindows();
    tk::GraphicsStart();
    tk::PaletteLoadDefault();
    tk::IGrStateReset();
    tk::IGrUnits(0, 0, 10, 8);
    tk::IGrArea(0.05f, 0.05f, 0.95f, 0.95f);
    tk::IGrUnits(0, 0, 10, 8);
    x.resize(kSamples);
    y.resize(kSamples);
  }
  ~Page() { tk::WindowShutdown(); }
  // One wiggle trace at position T across the page, time running down.
  void Trace(int t) {
    const float centre = 0.2f + 9.6f * static_cast<float>(t) / kTraces;
    for (int i = 0; i < kSamples; ++i) {
      y[i] = 8.0f - 8.0f * static_cast<float>(i) / kSamples;
      x[i] = centre + 0.06f * std::sin(0.05f * static_cast<float>(i + 13 * t)) *
                          std::exp(-0.0004f * static_cast<float>(i));
    }
  }
};

void BM_TracesAsPenDraws(benchmark::State& state) {
  Page page;
  if (state.range(0)) tk::IGrDrawMode("E");
  for (auto _ : state) {
    for (int t = 0; t < kTraces; ++t) {
      page.Trace(t);
      tk::IGrPenMoveTo(page.x[0], page.y[0]);
      for (int i = 1; i < kSamples; ++i) tk::IGrDrawLineTo(page.x[i], page.y[i]);
    }
  }
  state.SetItemsProcessed(state.iterations() * kTraces * kSamples);
}
BENCHMARK(BM_TracesAsPenDraws)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_TracesAsPolylines(benchmark::State& state) {
  Page page;
  if (state.range(0)) tk::IGrDrawMode("E");
  for (auto _ : state) {
    for (int t = 0; t < kTraces; ++t) {
      page.Trace(t);
      tk::PolylineClipped(page.x, page.y, kSamples, 0);
    }
  }
  state.SetItemsProcessed(state.iterations() * kTraces * kSamples);
}
BENCHMARK(BM_TracesAsPolylines)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SolidTrapezia(benchmark::State& state) {
  Page page;
  tk::IGrFillStyle(4);
  for (auto _ : state) {
    for (int t = 0; t < kTraces; ++t) {
      const float x0 = 0.2f + 9.6f * static_cast<float>(t) / kTraces;
      for (int i = 0; i < 200; ++i)
        tk::IGrTrapezium(x0, 8.0f - 0.04f * i, x0 + 0.03f, 8.0f - 0.04f * i - 0.03f, 0.01f, 1);
    }
  }
  state.SetItemsProcessed(state.iterations() * kTraces * 200);
}
BENCHMARK(BM_SolidTrapezia)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
