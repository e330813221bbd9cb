// Every hardcopy driver writing the full trace plot (240 variable-area traces
// of 4000 samples, the main window's picture at 1920 x 1080), and the whole
// Print job of that picture handed to a stand-in `lp` that keeps the file.
#include <benchmark/benchmark.h>

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "bench/SyntheticPlot.h"
#include "platform/system/Printer.h"
#include "toolkit/hardcopy/HardcopyOptions.h"
#include "toolkit/hardcopy/PrinterAccess.h"

namespace {

constexpr int kTraces = 240;
constexpr int kSamples = 4000;

std::filesystem::path Folder() {
  const char* dir = std::getenv("VELLORAN_BENCH_DIR");
  return dir && *dir ? std::filesystem::path(dir) : std::filesystem::temp_directory_path();
}

std::string OutputName(const char* extension) {
  return (Folder() / (std::string("velloran-bench-driver.") + extension)).string();
}

// ARGS: driver number, and the option that picks its variant (option 22 for
// PostScript, 27 for the metafile, 26 for images), its value.
struct DriverCase {
  int driver, option, value;
  const char* extension;
};

void RunDriver(benchmark::State& state, const DriverCase& c) {
  bench_support::PrintablePlot plot(1920, 1080, kTraces, kSamples);
  tk::HardcopyDriverSelect(tk::DriverOperation::Select, c.driver);
  if (c.option > 0) tk::HardcopyOptionSet(c.option, c.value);
  const std::string out = OutputName(c.extension);
  for (auto _ : state) plot.Print(out);
  std::error_code ec;
  state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(out, ec));
  state.SetItemsProcessed(state.iterations() * kTraces * kSamples);
  std::filesystem::remove(out, ec);
}

#define VELLORAN_DRIVER_BENCH(name, driver, option, value, ext)                      \
  void BM_TracePlot##name(benchmark::State& state) {                                  \
    RunDriver(state, {driver, option, value, ext});                                   \
  }                                                                                   \
  BENCHMARK(BM_TracePlot##name)->Unit(benchmark::kMillisecond)->UseRealTime();

VELLORAN_DRIVER_BENCH(PostScript, tk::kDriverPostScript, 22, 0, "ps")
VELLORAN_DRIVER_BENCH(Eps, tk::kDriverPostScript, 22, 1, "eps")
VELLORAN_DRIVER_BENCH(Svg, tk::kDriverSvg, 0, 0, "svg")
VELLORAN_DRIVER_BENCH(Hpgl, tk::kDriverHpgl, 0, 0, "plt")
VELLORAN_DRIVER_BENCH(Hpgl2, tk::kDriverHpgl2, 0, 0, "plt")
VELLORAN_DRIVER_BENCH(Cgm, tk::kDriverCgm, 0, 0, "cgm")
VELLORAN_DRIVER_BENCH(Wmf, tk::kDriverWindowsMetafile, 27, 1, "wmf")
VELLORAN_DRIVER_BENCH(Emf, tk::kDriverWindowsMetafile, 27, 2, "emf")
VELLORAN_DRIVER_BENCH(Dxf, tk::kDriverDxf, 0, 0, "dxf")
VELLORAN_DRIVER_BENCH(Png, tk::kDriverBitImage, 26, 3, "png")

// The whole Print job: the picture drawn on the printer's pages, the job's
// document written and handed to `lp` (a stand-in that keeps a copy), from
// the start of the page to lp's return.
void BM_PrintJobTracePlot(benchmark::State& state) {
  const std::filesystem::path bin = Folder() / "velloran-bench-lp";
  std::filesystem::create_directories(bin);
  const std::filesystem::path kept = Folder() / "velloran-bench-job.ps";
  {
    std::ofstream lp(bin / "lp");
    lp << "#!/bin/sh\nfor last in \"$@\"; do :; done\ncp \"$last\" \"" << kept.string()
       << "\"\n";
  }
  chmod((bin / "lp").c_str(), 0755);
  const std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
  setenv("PATH", (bin.string() + ":" + oldPath).c_str(), 1);
  setenv("PRINTER", "bench", 1);
  plat::PrinterQueriesResume();
  {
    bench_support::PrintablePlot plot(1920, 1080, kTraces, kSamples);
    tk::HardcopyDriverSelect(tk::DriverOperation::Select, tk::kDriverWindowsPrinter);
    for (auto _ : state) plot.Print("");
    std::error_code ec;
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(kept, ec));
  }
  setenv("PATH", oldPath.c_str(), 1);
  unsetenv("PRINTER");
  std::error_code ec;
  std::filesystem::remove_all(bin, ec);
  std::filesystem::remove(kept, ec);
}
BENCHMARK(BM_PrintJobTracePlot)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
