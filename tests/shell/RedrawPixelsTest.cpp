// The full redraw of the main window, pixel for pixel: a hash of the window's
// client surface after RedrawRecord for a table of display options, window
// sizes and records (the benchmark's synthetic record and three public
// files). The hashes were taken from the redraw as it stood before it was
// reworked for speed; any change to them is a change users would see.
//
// VELLORAN_PRINT_REDRAW_HASHES=1 prints the hashes of every case instead of
// checking them.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "display/Pickers.h"
#include "display/TraceAxes.h"
#include "display/TracePlot.h"
#include "platform/testing/Harness.h"
#include "record/ShotRecord.h"
#include "shell/Import.h"
#include "support/PenPlot.h"
#include "tests/TestSupport.h"
#include "toolkit/core/Windows.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/WindowTargets.h"

namespace vel {
namespace {

// The benchmark's record: 240 decaying sines of 4000 samples, 2 m apart.
void SyntheticRecord(ShotRecord& rec) {
  constexpr int kTraces = 240;
  constexpr int kSamples = 4000;
  rec.NTRACE = kTraces;
  rec.NSAMP = kSamples;
  rec.SAMPINT = 0.25f;
  ASSERT_TRUE(RebuildTraceArrays(rec));
  for (int j = 1; j <= kTraces; ++j) {
    auto t = Trace(rec, j);
    for (int i = 0; i < kSamples; ++i)
      t[static_cast<std::size_t>(i)] = std::sin(0.05f * static_cast<float>(i + 13 * j)) *
                                       std::exp(-0.0004f * static_cast<float>(i));
    rec.GEOLOC[static_cast<std::size_t>(j - 1)] = 2.0f * static_cast<float>(j);
  }
  rec.GMIN = -1.0f;
  rec.GMAX = 1.0f;
}

struct RedrawCase {
  const char* name;
  const char* file;  // below the shared data folder; null: the synthetic record
  int width, height;
  int gain;       // IGAINMETHOD
  bool varArea;   // LVARAREA
  bool vertical;  // LVERTICAL
  float pixelSize;
  bool pick;  // run the automatic picker first, as every import does
  bool zoom;  // traces 100-140 only, six spacings wide: deflections cross the frame's edges
  std::uint64_t hash;
};

// FNV-1a over the pixels of the client surface.
std::uint64_t HashSurface(const plat::Surface& s) {
  std::uint64_t h = 1469598103934665603ull;
  for (plat::Pixel p : s.Pixels()) {
    for (int b = 0; b < 4; ++b) {
      h ^= (static_cast<std::uint64_t>(p) >> (8 * b)) & 0xffu;
      h *= 1099511628211ull;
    }
  }
  return h ^ (static_cast<std::uint64_t>(s.Width()) << 32) ^ static_cast<std::uint64_t>(s.Height());
}

class RedrawPixelsTest : public ::testing::TestWithParam<RedrawCase> {};

TEST_P(RedrawPixelsTest, HashUnchanged) {
  const RedrawCase& c = GetParam();
  ShotRecord rec;
  if (c.file == nullptr) {
    SyntheticRecord(rec);
  } else {
    const std::filesystem::path path = testing_support::SharedData() / c.file;
    if (!std::filesystem::exists(path)) GTEST_SKIP() << "no " << path;
    std::int32_t recordNumber = 0;
    int error = 0;
    plat::testing::Harness reading;
    IMPORT(rec, path.string(), recordNumber, error, false, false);
    ASSERT_EQ(error, 0) << c.file;
  }
  if (c.pick) AutoPickUnpicked(rec, SimplePickParameters{});

  plat::testing::Harness harness{{2200, 1400}};
  tk::WindowStyleRecord style;
  style.width = c.width;
  style.height = c.height;
  tk::GraphicsConnectWindows();
  tk::WindowOpen(style);
  sup::PenPlotReset();
  sup::GraphAxes axes;
  TraceDisplayOptions options;
  options.IGAINMETHOD = c.gain;
  options.LVARAREA = c.varArea;
  options.LVERTICAL = c.vertical;
  options.PIXELSIZE = c.pixelSize;
  SCALETRACES(rec, axes, options, false);
  if (c.zoom) {
    options.TRACEWIDTH = options.TRACECLIP = 6.0f;
    options.IFIRSTTRACE = 100;
    options.ILASTTRACE = 140;
    SCALESOMETRACES(rec, axes, options);
  }
  RedrawRecord(rec, axes, options);

  const auto binding = tk::Targets().peekWindow(tk::kMainWindow);
  ASSERT_TRUE(binding && binding->surface != nullptr);
  const std::uint64_t hash = HashSurface(*binding->surface);
  tk::WindowShutdown();
  if (std::getenv("VELLORAN_PRINT_REDRAW_HASHES") != nullptr) {
    std::printf("REDRAW %s 0x%016llxull\n", c.name, static_cast<unsigned long long>(hash));
    return;
  }
  EXPECT_EQ(hash, c.hash) << c.name;
}

// clang-format off
const RedrawCase kCases[] = {
  {"VarAreaTraceMax",     nullptr, 1920, 1080, 2, true,  true,  1.0f, false, false, 0x74954e881143e864ull},
  {"VarAreaGlobalMax",    nullptr, 1920, 1080, 1, true,  true,  1.0f, false, false, 0xf7d6283828c6fe5dull},
  {"VarAreaAgc",          nullptr, 1920, 1080, 3, true,  true,  1.0f, false, false, 0x8f57be9cc5c8f833ull},
  {"Wiggle",              nullptr, 1920, 1080, 2, false, true,  1.0f, false, false, 0x6c20e56fbaea59acull},
  {"WiggleAgc",           nullptr, 1920, 1080, 3, false, true,  1.0f, false, false, 0x9790c377fe73df59ull},
  {"Horizontal",          nullptr, 1920, 1080, 2, true,  false, 1.0f, false, false, 0xc01cc58a2f5f0addull},
  {"HorizontalWiggle",    nullptr, 1920, 1080, 2, false, false, 1.0f, false, false, 0x1de38e20b4f0859full},
  {"ThinFill",            nullptr, 1920, 1080, 2, true,  true,  4.0f, false, false, 0x94591b1226fce385ull},
  {"FineFill",            nullptr, 1920, 1080, 2, true,  true,  0.125f, false, false, 0xc5119b10bea60325ull},
  {"PickedSmall",         nullptr, 800,  600,  2, true,  true,  1.0f, true, false, 0x943c2f79a810c9d0ull},
  {"VarAreaSmall",        nullptr, 800,  600,  2, true,  true,  1.0f, false, false, 0x943c2f79a810c9d0ull},
  {"WiggleSmall",         nullptr, 800,  600,  1, false, true,  1.0f, false, false, 0xfae613c2f5aeadefull},
  {"AgcSmall",            nullptr, 800,  600,  3, true,  true,  1.0f, false, false, 0x0b18ce4ad5e49e74ull},
  {"HorizontalSmall",     nullptr, 800,  600,  2, true,  false, 1.0f, false, false, 0x51d0400293ff27fdull},
  {"ThinSmall",           nullptr, 800,  600,  2, true,  true,  4.0f, false, false, 0xb489e91c01a7f5a8ull},
  {"ZoomedWide",          nullptr, 1920, 1080, 2, true,  true,  1.0f, false, true,  0xe2697e6e82c0ada6ull},
  {"ZoomedWideHorizontal",nullptr, 1920, 1080, 3, true,  false, 1.0f, true,  true,  0x26a39daf567ebed4ull},
  {"Geode102",            "graphSEG2/102.dat",          1920, 1080, 2, true, true, 1.0f, true, false, 0x35289558cdc94e08ull},
  {"Summit1",             "pyrefra/Rec_00001.seg2",     1920, 1080, 2, true, true, 1.0f, true, false, 0x76b3010a93289d74ull},
  {"SegyShotGather",      "segyio/shot-gather.sgy",     1920, 1080, 2, true, true, 1.0f, true, false, 0xb9da0c9f7f89ad50ull},
  {"Geode102Small",       "graphSEG2/102.dat",          800,  600,  3, false, true, 1.0f, true, false, 0xde5f75bd9b5c4222ull},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Cases, RedrawPixelsTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vel
