// Axis labels as a redraw draws them: 200 numeric labels through the text
// routines into a full-HD window, as device text in fixed pitch and in
// measured proportional spacing, and in the standard stroke font.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "platform/testing/Harness.h"
#include "toolkit/core/Windows.h"
#include "toolkit/graphics/Colours.h"
#include "toolkit/graphics/Graphics.h"
#include "toolkit/graphics/Text.h"
#include "toolkit/graphics/WindowTargets.h"

namespace {

constexpr int kLabels = 200;

struct LabelPage {
  plat::testing::Harness harness{{2200, 1400}};
  std::vector<std::string> labels;
  LabelPage() {
    tk::WindowStyleRecord style;
    style.width = 1920;
    style.height = 1080;
    tk::WindowOpen(style);
    tk::GraphicsConnectWindows();
    tk::GraphicsStart();
    tk::PaletteLoadDefault();
    tk::IGrStateReset();
    tk::IGrArea(0.05f, 0.05f, 0.95f, 0.95f);
    tk::IGrUnits(0, 0, 10, 8);
    for (int i = 0; i < kLabels; ++i) labels.push_back(std::to_string(i * 25) + ".0");
  }
  ~LabelPage() { tk::WindowShutdown(); }
  void Draw() {
    for (int i = 0; i < kLabels; ++i)
      tk::WGrTextDraw(0.2f + 9.6f * static_cast<float>(i) / kLabels, 0.3f + (i % 2) * 0.4f,
                      labels[static_cast<std::size_t>(i)]);
  }
};

void Labels(benchmark::State& state, int kind) {
  LabelPage page;
  if (kind == 0) tk::IGrTextMode("F");
  if (kind == 1) tk::IGrTextMode("H");
  if (kind == 2) tk::WGrTextFont(1);
  for (auto _ : state) page.Draw();
  state.SetItemsProcessed(state.iterations() * kLabels);
}

BENCHMARK_CAPTURE(Labels, DeviceFixedPitch, 0)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK_CAPTURE(Labels, DeviceMeasured, 1)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK_CAPTURE(Labels, StrokeStandard, 2)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace
