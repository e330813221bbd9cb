// A full redraw of the main window: page start, frame, labels, timing lines
// and 240 variable-area traces of 4000 samples into a 1920 x 1080 window,
// for each gain method, shown on the window (the backing surface handed to
// the backend) as an expose would be. Wall time: what the user waits for.
#include <benchmark/benchmark.h>

#include <cmath>

#include "display/TraceAxes.h"
#include "bench/SyntheticPlot.h"
#include "display/TracePlot.h"
#include "platform/testing/Harness.h"
#include "platform/window/Window.h"
#include "record/ShotRecord.h"
#include "support/PenPlot.h"
#include "toolkit/core/Windows.h"
#include "toolkit/graphics/WindowTargets.h"

namespace {

constexpr int kTraces = 240;
constexpr int kSamples = 4000;

struct MainWindow {
  plat::testing::Harness harness{{2200, 1400}};
  vel::ShotRecord rec;
  vel::TraceDisplayOptions options;
  sup::GraphAxes axes;
  MainWindow() {
    tk::WindowStyleRecord style;
    style.width = 1920;
    style.height = 1080;
    tk::GraphicsConnectWindows();  // before the main window opens, as start-up does
    tk::WindowOpen(style);
    sup::PenPlotReset();
    bench_support::MakeSyntheticPlot(rec, options, axes, kTraces, kSamples);
  }
  ~MainWindow() { tk::WindowShutdown(); }
};

void BM_FullRedraw(benchmark::State& state) {
  MainWindow w;
  w.options.IGAINMETHOD = static_cast<std::int32_t>(state.range(0));
  for (auto _ : state) {
    vel::RedrawRecord(w.rec, w.axes, w.options);
    plat::FlushDrawing();
  }
  state.SetItemsProcessed(state.iterations() * kTraces * kSamples);
}
BENCHMARK(BM_FullRedraw)->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
