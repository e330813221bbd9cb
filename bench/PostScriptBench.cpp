// The PostScript of a full trace plot: 240 variable-area traces of 4000
// samples, drawn on a hardcopy page with the PostScript driver selected and
// written to a file, as a print of the main window's picture runs. Beside it
// the plot-file layer alone writing as many records of the same size, to
// show what share of the time the one write per record takes.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "display/TraceAxes.h"
#include "bench/SyntheticPlot.h"
#include "display/TracePlot.h"
#include "platform/testing/Harness.h"
#include "record/ShotRecord.h"
#include "support/PenPlot.h"
#include "toolkit/core/Windows.h"
#include "toolkit/graphics/Drivers.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/WindowTargets.h"
#include "toolkit/hardcopy/HardcopyDrivers.h"
#include "toolkit/hardcopy/HardcopySwitch.h"
#include "toolkit/hardcopy/PlotFile.h"

namespace {

constexpr int kTraces = 240;
constexpr int kSamples = 4000;

std::string OutputName() {
  return (std::filesystem::temp_directory_path() / "velloran-bench-plot.ps").string();
}

struct PrintedPlot : bench_support::PrintablePlot {
  PrintedPlot() : PrintablePlot(1920, 1080, kTraces, kSamples) {
    tk::HardcopyDriverSelect(tk::DriverOperation::Select, tk::kDriverPostScript);
  }
  void Print() { PrintablePlot::Print(OutputName()); }
  ~PrintedPlot() { std::filesystem::remove(OutputName()); }
};

// Records and bytes of the last output.
void CountRecords(double& records, double& bytes) {
  std::ifstream in(OutputName(), std::ios::binary);
  std::string line;
  records = bytes = 0;
  while (std::getline(in, line)) {
    records += 1;
    bytes += static_cast<double>(line.size()) + 1;
  }
}

void BM_PostScriptTracePlot(benchmark::State& state) {
  PrintedPlot plot;
  for (auto _ : state) plot.Print();
  double records = 0, bytes = 0;
  CountRecords(records, bytes);
  state.counters["records"] = records;
  state.counters["bytes"] = bytes;
  state.SetItemsProcessed(state.iterations() * kTraces * kSamples);
}
BENCHMARK(BM_PostScriptTracePlot)->Unit(benchmark::kMillisecond)->UseRealTime();

// The plot-file layer alone: ARG records of 16 characters, one write each.
void BM_PlotFileWriteLines(benchmark::State& state) {
  const std::string record = "1234.56 789.01 l";
  for (auto _ : state) {
    std::string name = OutputName();
    name.resize(tk::kDriverTextLength, ' ');
    tk::DriverText() = name;
    tk::PlotFileOpen(2);
    for (int i = 0; i < state.range(0); ++i) tk::PlotFileWriteLine(2, record, static_cast<int>(record.size()));
    tk::PlotFileClose(2);
  }
  std::filesystem::remove(OutputName());
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_PlotFileWriteLines)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
