// The F-K spectrum plot: the frame on the page, the colour scale in the
// palette (against a transcription of the toolkit's HLS rule and against
// Python's colorsys), the colours of the cells, spectra without a range, and
// the velocity fan drawn and erased in exclusive-or.
#include "display/FkPlot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "tests/NumpyRunner.h"
#include "tests/display/TracePlotTestSupport.h"
#include "toolkit/graphics/Colours.h"

namespace vel::testing {
namespace {

constexpr int kNF = 16, kNX = 8, kTraces = 8;
constexpr float kDt = 1.0f, kDx = 10.0f;

// The toolkit's HLS rule written out: 32-bit lightness and saturation, the
// channel function in degrees, each channel V x 255 truncated.
std::int32_t HlsTranscribed(int h, int l, int s) {
  const float L = static_cast<float>(l) / 100.0f, S = static_cast<float>(s) / 100.0f;
  const float m1 = l < 50 ? (1.0f - S) * L : (1.0f + S) * L - S;
  const float m2 = l < 50 ? (1.0f + S) * L : (1.0f - S) * L + S;
  auto v = [&](float x) {
    x = std::fmod(x + 360.0f, 360.0f);
    float c = m1;
    if (x < 60.0f)
      c = m1 + (m2 - m1) * x / 60.0f;
    else if (x < 180.0f)
      c = m2;
    else if (x < 240.0f)
      c = m1 + (m2 - m1) * (240.0f - x) / 60.0f;
    return static_cast<std::int32_t>(c * 255.0f);
  };
  const float hf = static_cast<float>(h);
  return v(hf) + 256 * v(hf - 120.0f) + 65536 * v(hf + 120.0f);
}

class FkPlotTest : public TracePlotTest {
 protected:
  FkPlotTest() : spec(static_cast<std::size_t>(kNF * kNX), 0.5f), geoloc(kTraces) {
    for (int j = 0; j < kTraces; ++j) geoloc[static_cast<std::size_t>(j)] = 10.0f * (j + 1);
  }
  float& Cell(int r, int m) { return spec[static_cast<std::size_t>((m - 1) * kNF + (r - 1))]; }

  void ScaleAndPlot() {
    SCALE_FK(spec, kNF, kNX, kDt, geoloc, kTraces, axes);
    Replot();
  }
  void Replot() {
    sup::PLOTXY(1.0f, 0.0f, sup::kPenStartPage, axes);
    PLOTFK(spec, kNF, kNX, kDt, kDx, axes);
  }
  // The pixel at the centre of cell (R, M).
  plat::Pixel CellPixel(int r, int m) const {
    const FkPlotSteps s = FkStepsOf(kNF, kNX, kDt, kDx);
    const float f = (static_cast<float>(r) - 0.5f) * s.df;
    const float k = -(s.kNyquist + s.dk) + (static_cast<float>(m) - 0.5f) * s.dk;
    int px = 0, py = 0;
    PixelOf(sup::PLOFX(k, axes), sup::PLOFY(f, axes), px, py);
    return At(px, py);
  }
  static plat::Pixel Entry(int n) { return tk::RgbToPixel(tk::PaletteGetRgb(n)); }

  std::vector<float> spec;
  std::vector<float> geoloc;
};

TEST_F(FkPlotTest, StepsAndSpacingRefuseWhatCannotBeFormed) {
  const FkPlotSteps s = FkStepsOf(kNF, kNX, kDt, kDx);
  EXPECT_FLOAT_EQ(s.df, 1000.0f / (15.0f * 2.0f * kDt));
  EXPECT_FLOAT_EQ(s.dk, 1.0f / (7.0f * kDx));
  EXPECT_FLOAT_EQ(s.kNyquist, 0.05f);
  struct Case {
    int nf, nx;
    float dt, dx;
    bool df, dk, kn;
  };
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  for (const Case c : {Case{1, 8, 1.0f, 10.0f, false, true, true},
                       Case{16, 1, 1.0f, 10.0f, true, false, true},
                       Case{16, 8, 0.0f, 10.0f, false, true, true},
                       Case{16, 8, -1.0f, 0.0f, false, false, false},
                       Case{16, 8, nan, inf, false, false, false},
                       Case{16, 8, 1e-45f, 1e-45f, false, false, false}}) {
    SCOPED_TRACE(::testing::Message() << c.nf << " " << c.nx << " " << c.dt << " " << c.dx);
    const FkPlotSteps t = FkStepsOf(c.nf, c.nx, c.dt, c.dx);
    EXPECT_EQ(t.df > 0.0f, c.df);
    EXPECT_EQ(t.dk > 0.0f, c.dk);
    EXPECT_EQ(t.kNyquist > 0.0f, c.kn);
    EXPECT_TRUE(std::isfinite(t.df) && std::isfinite(t.dk) && std::isfinite(t.kNyquist));
  }
  EXPECT_FLOAT_EQ(FkTraceSpacing(geoloc, kTraces), 10.0f);
  EXPECT_FLOAT_EQ(FkTraceSpacing(std::vector<float>{30.0f, 20.0f, 10.0f}, 3), 10.0f);
  EXPECT_EQ(FkTraceSpacing(geoloc, 1), 0.0f);
  EXPECT_EQ(FkTraceSpacing(geoloc, kTraces + 1), 0.0f);  // more traces than positions
  EXPECT_EQ(FkTraceSpacing(std::vector<float>{5.0f, 7.0f, 5.0f}, 3), 0.0f);
  EXPECT_EQ(FkTraceSpacing(std::vector<float>{-3e38f, 3e38f}, 2), 0.0f);
}

TEST_F(FkPlotTest, UnzoomedFrameCoversBothNyquistsAndTheTopFrequency) {
  for (float& v : spec) v = 0.001f;
  Cell(1, 5) = 1.0f;
  Cell(9, 3) = 0.02f;  // the highest row with 1 % of the largest value
  Cell(14, 7) = 0.009f;
  SCALE_FK(spec, kNF, kNX, kDt, geoloc, kTraces, axes);
  EXPECT_NEAR(axes.XORIGIN, 1.3077f, 1e-4f);
  EXPECT_NEAR(axes.YORIGIN, 1.3077f, 1e-4f);
  EXPECT_NEAR(axes.XORIGIN + axes.NXDIV * axes.XCELL, 8.8077f, 1e-4f);
  EXPECT_NEAR(axes.YORIGIN + axes.NYDIV * axes.YCELL, 7.0077f, 1e-4f);
  const FkPlotSteps s = FkStepsOf(kNF, kNX, kDt, kDx);
  EXPECT_LE(axes.XSTART, -s.kNyquist);
  EXPECT_GE(axes.XSTART + axes.NXDIV * axes.XSTEP, s.kNyquist);
  EXPECT_EQ(axes.YSTART, 0.0f);
  const float top = axes.YSTART + axes.NYDIV * axes.YSTEP;
  EXPECT_GE(top, 9.0f * s.df);
  EXPECT_LT(top, 14.0f * s.df);
  EXPECT_TRUE(axes.LBOTTOM && axes.LLEFT && axes.LRIGHT);
  EXPECT_FALSE(axes.LTOP);

  Replot();
  EXPECT_FLOAT_EQ(axes.TICKCAP, 0.12f);
  EXPECT_TRUE(axes.LTICKCAP);
  EXPECT_NE(std::find(texts.begin(), texts.end(), "Frequency (Hz)"), texts.end());
  EXPECT_NE(std::find(texts.begin(), texts.end(), "Wavenumber (cycles/m)"), texts.end());
}

TEST_F(FkPlotTest, ScaleRunsFromRedToBlueInEntries16To255) {
  std::vector<std::int32_t> pens(16);
  for (int n = 0; n < 16; ++n) pens[static_cast<std::size_t>(n)] = tk::PaletteGetRgb(n);
  SCALE_FK(spec, kNF, kNX, kDt, geoloc, kTraces, axes);
  for (int n = 0; n < 240; ++n) {
    const int entry = 16 + n;
    const std::int32_t want = entry == 255 ? HlsTranscribed(0, 50, 100) : HlsTranscribed(120 + n, 50, 100);
    ASSERT_EQ(tk::PaletteGetRgb(entry), want) << "entry " << entry;
    EXPECT_EQ(FkScaleColour(entry), want) << "entry " << entry;
  }
  EXPECT_EQ(tk::PaletteGetRgb(16), 255);         // red
  EXPECT_EQ(tk::PaletteGetRgb(76), 65535);       // yellow
  EXPECT_EQ(tk::PaletteGetRgb(136), 65280);      // green
  EXPECT_EQ(tk::PaletteGetRgb(196), 16776960);   // cyan
  EXPECT_EQ(tk::PaletteGetRgb(255), 16711680);   // blue
  for (int n = 0; n < 16; ++n) EXPECT_EQ(tk::PaletteGetRgb(n), pens[static_cast<std::size_t>(n)]) << n;
}

TEST_F(FkPlotTest, ScaleAgreesWithColorsys) {
  SKIP_WITHOUT_NUMPY();
  // colorsys counts hue from red: the toolkit's hue less 120.
  const std::vector<float> rgb = testing_support::RunNumpy(
      "import colorsys\n"
      "OUT = []\n"
      "for n in range(240):\n"
      "    h = (n if n < 239 else 240) / 360.0\n"
      "    OUT.extend(c * 255.0 for c in colorsys.hls_to_rgb(h, 0.5, 1.0))\n",
      {});
  ASSERT_EQ(rgb.size(), 720u);
  SCALE_FK(spec, kNF, kNX, kDt, geoloc, kTraces, axes);
  for (int n = 0; n < 240; ++n) {
    int r = 0, g = 0, b = 0;
    tk::RgbSplit(tk::PaletteGetRgb(16 + n), r, g, b);
    const auto at = static_cast<std::size_t>(3 * n);
    EXPECT_NEAR(r, rgb[at], 1.0f) << "entry " << 16 + n;
    EXPECT_NEAR(g, rgb[at + 1], 1.0f) << "entry " << 16 + n;
    EXPECT_NEAR(b, rgb[at + 2], 1.0f) << "entry " << 16 + n;
  }
}

TEST_F(FkPlotTest, LargestCellIsRedAndLeastIsBlue) {
  for (int r = 1; r <= kNF; ++r)
    for (int m = 1; m <= kNX; ++m) Cell(r, m) = 0.3f + 0.01f * static_cast<float>(r + m);
  Cell(6, 7) = 1.0f;
  // A least value at which (largest - least) / step rounds just below 239.
  Cell(11, 3) = 0.02f;
  Cell(3, 2) = 0.66f;
  ScaleAndPlot();
  EXPECT_EQ(CellPixel(6, 7), Entry(16));
  EXPECT_EQ(CellPixel(11, 3), Entry(255));
  // (0.66 - 0.02) / ((1 - 0.02) / 239) = 156.08: level 156, entry 99.
  EXPECT_EQ(CellPixel(3, 2), Entry(99));
  // Nothing of the first column is drawn left of the frame.
  const FkPlotSteps s = FkStepsOf(kNF, kNX, kDt, kDx);
  int px = 0, py = 0;
  PixelOf(-0.03f, sup::PLOFY(5.5f * s.df, axes), px, py);
  for (int e = 16; e <= 255; ++e) ASSERT_NE(At(px, py), Entry(e)) << e;
}

TEST_F(FkPlotTest, SpectraWithoutARangeDrawInOneColour) {
  for (const float level : {0.5f, 0.0f}) {
    SCOPED_TRACE(level);
    std::fill(spec.begin(), spec.end(), level);
    ScaleAndPlot();
    for (const auto& [r, m] : {std::pair{1, 2}, std::pair{8, 4}, std::pair{16, 7}})
      EXPECT_EQ(CellPixel(r, m), Entry(255)) << r << "," << m;
  }
  // Values no level can be made of: missing ones, NaN and +infinity are
  // left out, -infinity lies below every level.
  std::fill(spec.begin(), spec.end(), 0.25f);
  Cell(4, 2) = 1.0f;
  Cell(5, 2) = std::numeric_limits<float>::quiet_NaN();
  Cell(6, 2) = std::numeric_limits<float>::infinity();
  Cell(7, 2) = 2e15f;
  Cell(8, 2) = -std::numeric_limits<float>::infinity();
  ScaleAndPlot();
  EXPECT_EQ(CellPixel(4, 2), Entry(16));
  EXPECT_EQ(CellPixel(3, 2), Entry(255));
  for (int r : {5, 6, 7}) EXPECT_EQ(CellPixel(r, 2), tk::testing::kWhitePixel) << r;
  EXPECT_EQ(CellPixel(8, 2), Entry(255));
  // A spectrum of nothing but NaN draws no cell and keeps a frame over the
  // whole frequency range.
  std::fill(spec.begin(), spec.end(), std::numeric_limits<float>::quiet_NaN());
  ScaleAndPlot();
  std::vector<plat::Pixel> scale;
  for (int e = 16; e <= 255; ++e) scale.push_back(Entry(e));
  std::sort(scale.begin(), scale.end());
  for (const plat::Pixel p : Pixels()) ASSERT_FALSE(std::binary_search(scale.begin(), scale.end(), p));
  EXPECT_EQ(axes.YSTART, 0.0f);
  EXPECT_GE(axes.YSTART + axes.NYDIV * axes.YSTEP, kNF * FkStepsOf(kNF, kNX, kDt, kDx).df);
}

TEST_F(FkPlotTest, FanDrawnTwiceLeavesThePictureAsItWas) {
  ScaleAndPlot();
  const std::vector<plat::Pixel> before = Pixels();
  int zeroX = 0, zeroY = 0;
  PixelOf(sup::PLOFX(0.0f, axes), 0.0f, zeroX, zeroY);
  const int width = surface.Width();
  auto changedColumns = [&](const std::vector<plat::Pixel>& now, int& lo, int& hi) {
    lo = width, hi = -1;
    for (std::size_t i = 0; i < now.size(); ++i)
      if (now[i] != before[i]) {
        const int x = static_cast<int>(i % static_cast<std::size_t>(width));
        lo = std::min(lo, x), hi = std::max(hi, x);
      }
  };
  for (int dip = 0; dip < 2; ++dip) {
    SCOPED_TRACE(dip + 1);
    FkFan fan;
    fan.V[static_cast<std::size_t>(dip)] = 3000.0f;
    fan.W[static_cast<std::size_t>(dip)] = 0.25f;
    PLOTVELS(fan, axes);
    int lo = 0, hi = 0;
    changedColumns(Pixels(), lo, hi);
    ASSERT_GE(hi, 0) << "no line drawn";
    // Dip 1 lies at positive wavenumbers, dip 2 at negative ones.
    if (dip == 0) {
      EXPECT_GE(lo, zeroX - 1);
      EXPECT_GT(hi, zeroX + 100);
    } else {
      EXPECT_LE(hi, zeroX + 1);
      EXPECT_LT(lo, zeroX - 100);
    }
    PLOTVELS(fan, axes);
    EXPECT_TRUE(Pixels() == before);
  }
  FkFan both;
  both.V = {2500.0f, 4000.0f};
  both.W = {0.5f, 0.0f};
  PLOTVELS(both, axes);
  EXPECT_FALSE(Pixels() == before);
  PLOTVELS(both, axes);
  EXPECT_TRUE(Pixels() == before);
  FkFan off;
  off.V = {0.0f, 0.0f};
  PLOTVELS(off, axes);
  EXPECT_TRUE(Pixels() == before);
}

TEST_F(FkPlotTest, ZoomedToPositiveWavenumbersDipTwoIsClippedAway) {
  ScaleAndPlot();
  axes.XSTART = 0.01f;
  axes.XSTEP = 0.01f;
  axes.NXDIV = 4;
  axes.XCELL = 7.5f / 4.0f;
  Replot();
  const std::vector<plat::Pixel> before = Pixels();
  FkFan fan;
  fan.V = {0.0f, 3000.0f};
  PLOTVELS(fan, axes);
  EXPECT_TRUE(Pixels() == before);
  fan.V = {3000.0f, 0.0f};
  PLOTVELS(fan, axes);
  EXPECT_FALSE(Pixels() == before);
}

}  // namespace
}  // namespace vel::testing
