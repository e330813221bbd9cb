// Pick Menu commands over a whole record: PickAllTraces, as the simple,
// Hatherly, box and wavelet (40-sample wavelet) commands run it, on 240
// traces of 4000 samples and 1000 traces of 8000 samples at 0.25 ms with a Ricker first arrival moving out across the
// record, into a 1920 x 1080 main window (the picks shown are erased and
// drawn again). Wall time: what the user waits for.
#include <benchmark/benchmark.h>

#include <memory>
#include <random>

#include "display/TraceAxes.h"
#include "display/TracePlot.h"
#include "display/WaveletPicker.h"
#include "formats/RecordRange.h"
#include "platform/testing/Harness.h"
#include "shell/PickCommands.h"
#include "shell/Velloran.h"
#include "support/PenPlot.h"
#include "tests/display/SyntheticTraces.h"
#include "toolkit/core/Windows.h"
#include "toolkit/graphics/WindowTargets.h"

namespace {

constexpr float kDtMs = 0.25f;

struct Program {
  plat::testing::Harness harness{{2200, 1400}};
  std::unique_ptr<vel::Velloran> app = std::make_unique<vel::Velloran>();
  Program(int traces, std::int32_t samples) {
    const int kTraces = traces;
    const std::int32_t kSamples = samples;
    tk::WindowStyleRecord style;
    style.width = 1920;
    style.height = 1080;
    tk::GraphicsConnectWindows();
    tk::WindowOpen(style);
    sup::PenPlotReset();
    vel::ShotRecord& rec = app->record;
    rec.NTRACE = kTraces;
    rec.NSAMP = kSamples;
    rec.SAMPINT = kDtMs;
    (void)vel::RebuildTraceArrays(rec);
    std::mt19937 rng(7);
    picker_fixtures::Arrival arrival;
    arrival.frequencyHz = 60.0;
    for (int j = 1; j <= kTraces; ++j) {
      const std::vector<float> t =
          picker_fixtures::NoiseThenRicker(rng, kSamples, kDtMs, 80 + (j - 1) * 6 % (kSamples / 2), arrival);
      std::copy(t.begin(), t.end(), vel::Trace(rec, j).begin());
      rec.TRACEMAX[static_cast<std::size_t>(j - 1)] = picker_fixtures::AbsMax(t);
      rec.GEOLOC[static_cast<std::size_t>(j - 1)] = 2.0f * static_cast<float>(j);
    }
    vel::GMINMAX(rec);
    app->loaded = true;
    vel::SCALETRACES(rec, app->MainPlotAxes, app->options, false);
    vel::RedrawRecord(rec, app->MainPlotAxes, app->options);
    // The wavelet: 40 samples centred on the first trace's arrival peak.
    vel::SelectedWavelet& w = app->picking.wavelet;
    const auto first = vel::Trace(std::as_const(rec), 1);
    const auto peak = static_cast<std::ptrdiff_t>(
        80 + picker_fixtures::RickerHalfWidthMs(arrival.frequencyHz) / kDtMs);
    w.samples.assign(first.begin() + peak - 20, first.begin() + peak + 20);
    w.count = 40;
    w.sampleInterval = kDtMs;
    w.selected = true;
    app->picking.pulseSamples = vel::WaveletPulseSamples(w.count);
    app->picking.correlation.assign(kSamples, 0.0f);
  }
  ~Program() { tk::WindowShutdown(); }
};

void BM_PickAllTraces(benchmark::State& state) {
  const auto method = static_cast<std::int32_t>(state.range(0));
  const auto kTraces = static_cast<int>(state.range(1));
  Program p(kTraces, kTraces <= 240 ? 4000 : 8000);
  if (method == vel::kPickSimple)  // as the simple pick command sets it
    p.app->picking.pulseSamples = vel::SimplePulseSamples(p.app->picking.parameters.simple.SVPULSE, kDtMs);
  std::int64_t picked = 0;
  for (auto _ : state) {
    vel::PickAllTraces(*p.app, method);
    plat::FlushDrawing();
    for (const std::int32_t pick : p.app->record.IBPICK) picked += pick > 0;
  }
  state.counters["picked"] = static_cast<double>(picked) / static_cast<double>(state.iterations());
  state.SetItemsProcessed(state.iterations() * kTraces);
}
BENCHMARK(BM_PickAllTraces)
    ->ArgNames({"method", "traces"})
    ->ArgsProduct({{vel::kPickSimple, vel::kPickHatherly, vel::kPickBox, vel::kPickWavelet},
                   {240, 1000}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
