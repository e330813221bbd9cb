// Image files of a 1600 x 1200 page: encoding as BMP (run-length), PCX and
// PNG, and decoding each back into packed RGB pixels; and a full trace plot
// written through the image-file driver as each file type.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/SyntheticPlot.h"
#include "toolkit/graphics/Colours.h"
#include "toolkit/hardcopy/HardcopyOptions.h"
#include "toolkit/graphics/ImageEncode.h"
#include "toolkit/graphics/ImageLoad.h"

namespace {

constexpr int kWidth = 1600;
constexpr int kHeight = 1200;

// An 8-bit or 24-bit page of traces: long runs of background with strokes.
struct BenchPage {
  tk::ImagePageGeometry g;
  std::vector<std::uint32_t> words;
  explicit BenchPage(int bits) : g(tk::ImagePageLayout(kWidth, kHeight, bits)) {
    tk::PaletteLoadDefault();
    words.assign(static_cast<std::size_t>(g.totalWords + 1), 0);
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; x += 40) {
        const int dx = (y * 7 + x) % 23;
        const std::int64_t at = y * g.wordsPerRow + (bits == 8 ? (x + dx) / 4 : x + dx);
        words[static_cast<std::size_t>(at)] = bits == 8 ? 0xDFDFDFDFu : 0x00FF8040u;
      }
  }
  tk::RasterPageView View() const {
    return {g.width, g.height, g.bitsPerPixel, g.wordsPerRow, g.wordsPerPlane, words};
  }
};

std::string Encode(const tk::RasterPageView& page, int kind) {
  return kind == 0 ? tk::BmpImageBytes(page, 2) : kind == 1 ? tk::PcxImageBytes(page)
                                                           : tk::PngImageBytes(page);
}

void BM_ImageEncode(benchmark::State& state) {
  const BenchPage page(static_cast<int>(state.range(1)));
  for (auto _ : state) benchmark::DoNotOptimize(Encode(page.View(), static_cast<int>(state.range(0))));
}
BENCHMARK(BM_ImageEncode)
    ->ArgsProduct({{0, 1, 2}, {8, 24}})
    ->ArgNames({"bmp0_pcx1_png2", "bits"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_ImageDecode(benchmark::State& state) {
  const BenchPage page(static_cast<int>(state.range(1)));
  const std::string file = Encode(page.View(), static_cast<int>(state.range(0)));
  const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(file.data()), file.size());
  std::vector<std::int32_t> px(static_cast<std::size_t>(kWidth) * kHeight);
  for (auto _ : state) benchmark::DoNotOptimize(tk::DecodeImageData(bytes, px));
}
BENCHMARK(BM_ImageDecode)
    ->ArgsProduct({{0, 1, 2}, {8, 24}})
    ->ArgNames({"bmp0_pcx1_png2", "bits"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// 240 variable-area traces of 4000 samples printed through the image-file
// driver on a 1600 x 1200 page: the raster drawing and the file written.
void BM_ImageDriverTracePlot(benchmark::State& state) {
  const int type = static_cast<int>(state.range(0));
  constexpr int kTraces = 240, kSamples = 4000;
  bench_support::PrintablePlot plot(kWidth, kHeight, kTraces, kSamples);
  tk::HardcopyDriverSelect(tk::DriverOperation::Select, tk::kDriverBitImage);
  tk::HardcopyOptionSet(1, kWidth);
  tk::HardcopyOptionSet(2, kHeight);
  tk::HardcopyOptionSet(23, static_cast<int>(state.range(1)));
  tk::HardcopyOptionSet(26, type);
  const std::string file =
      (std::filesystem::temp_directory_path() / ("velloran-bench-image." + std::to_string(type))).string();
  for (auto _ : state) plot.Print(file);
  state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(file));
  state.SetItemsProcessed(state.iterations() * kTraces * kSamples);
  std::filesystem::remove(file);
}
BENCHMARK(BM_ImageDriverTracePlot)
    ->ArgsProduct({{0, 2, 3}, {8, 24}})
    ->ArgNames({"pcx0_bmp2_png3", "bits"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
