#pragma once
// A 1000 x 800 headless window (100 pixels per page unit) with the pen
// plotter on a fresh page, and small synthetic records for the trace plot.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "display/TracePlot.h"
#include "display/TraceAxes.h"
#include "record/ShotRecord.h"
#include "support/GraphDraw.h"
#include "support/PenPlot.h"
#include "support/UserMessages.h"
#include "tests/toolkit/graphics/GraphicsTestSupport.h"
#include "toolkit/graphics/Colours.h"
#include "toolkit/graphics/ScreenDriver.h"

namespace vel::testing {

/// NTRACE traces of NSAMP zero samples, 1 ms apart, at positions 10 m apart.
inline ShotRecord ZeroRecord(int ntrace, int nsamp) {
  ShotRecord rec;
  rec.CRECNAME = "SYNTH";
  rec.NTRACE = ntrace;
  rec.NSAMP = nsamp;
  rec.SAMPINT = 1.0f;
  EXPECT_TRUE(RebuildTraceArrays(rec));
  for (int j = 1; j <= ntrace; ++j) rec.GEOLOC[static_cast<std::size_t>(j - 1)] = 10.0f * j;
  return rec;
}

/// Sets samples FROM..TO (1-based) of trace J to V.
inline void Pulse(ShotRecord& rec, int j, int from, int to, float v) {
  auto t = Trace(rec, j);
  for (int i = from; i <= to; ++i) t[static_cast<std::size_t>(i - 1)] = v;
}

class TracePlotTest : public tk::testing::GraphicsTest {
 protected:
  void SetUp() override {
    Open(1000, 800);
    sup::PenPlotReset();
    sup::PCLIPOFF();
    sup::SetPenTextOutput({{}, {}, {}, [this](float, float, std::string_view t) {
                             texts.emplace_back(t);
                           }});
    sup::SetUserMessageHook([](sup::UserMessageKind, std::string_view, std::string_view) {});
    sup::ClearUserMessages();
    TraceMapping() = {};
  }
  void TearDown() override {
    sup::SetPenTextOutput({});
    sup::SetUserMessageHook({});
    sup::PCLIPOFF();
    GraphicsTest::TearDown();
  }

  /// Page start and the whole plot, the frame chosen first when SCALE is set.
  void Draw(const ShotRecord& rec, bool scale = true) {
    if (scale) SCALETRACES(rec, axes, options, false);
    RedrawRecord(rec, axes, options);
  }

  /// The device pixel of the page point (X, Y) relative to the frame origin.
  void PixelOf(float x, float y, int& px, int& py) const {
    tk::IGrUserToPixel(axes.XORIGIN + x, axes.YORIGIN + y, px, py);
  }
  /// Colour of pen N on the screen.
  static plat::Pixel Pen(int n) { return tk::RgbToPixel(tk::PaletteGetRgb(n)); }
  /// Pixels of pen N in column PX between rows ROW1..ROW2 (from the bottom).
  int InkInColumn(int px, int row1, int row2, int pen = 4) const {
    int n = 0;
    for (int r = std::min(row1, row2); r <= std::max(row1, row2); ++r) n += At(px, r) == Pen(pen);
    return n;
  }
  /// Rows (from the bottom) of pen N in column PX, lowest and highest; false when none.
  bool InkRows(int px, int& lo, int& hi, int pen = 4) const {
    lo = surface.Height();
    hi = -1;
    for (int r = 0; r < surface.Height(); ++r)
      if (At(px, r) == Pen(pen)) lo = std::min(lo, r), hi = std::max(hi, r);
    return hi >= 0;
  }
  /// The farthest column right of PX with pen N ink in rows ROW1..ROW2.
  int RightmostInk(int px, int row1, int row2, int pen = 4) const {
    int last = -1;
    for (int c = px; c < surface.Width(); ++c)
      if (InkInColumn(c, row1, row2, pen) > 0) last = c;
    return last;
  }
  std::vector<plat::Pixel> Pixels() const {
    const auto p = surface.Pixels();
    return {p.begin(), p.end()};
  }

  sup::GraphAxes axes;
  TraceDisplayOptions options;
  std::vector<std::string> texts;
};

}  // namespace vel::testing
