// The spectrum and impulse-response plots: the spectrum axis, the corner
// handles of the band-pass response, the impulse response's scaling and its
// agreement with the numpy band-pass of a spike.
#include "display/SpectrumPlot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/NumpyRunner.h"
#include "tests/display/TracePlotTestSupport.h"

namespace vel::testing {
namespace {

class SpectrumPlotTest : public TracePlotTest {
 protected:
  BandpassState bp;
};

TEST_F(SpectrumPlotTest, AxisEndsAtTheLastValueAboveOnePercentOrTheTopCorner) {
  std::vector<float> spec(512, 0.001f);
  for (std::size_t k = 0; k < 50; ++k) spec[k] = 1.0f - static_cast<float>(k) * 0.01f;
  bp.filter.corners.Freq4 = 0.05f;  // 25 Hz at a 1 ms interval: below the spectrum
  SCALE_SPEC(1.0f, spec, 512, axes, bp);
  EXPECT_FLOAT_EQ(bp.upperFrequency, 50.0f * 500.0f / 511.0f);
  EXPECT_FLOAT_EQ(bp.nyquist, 500.0f);
  EXPECT_EQ(axes.XSTART, 0.0f);
  EXPECT_GE(axes.XSTART + axes.XSTEP * axes.NXDIV, bp.upperFrequency);
  EXPECT_EQ(axes.YSTART, 0.0f);
  EXPECT_GE(axes.YSTART + axes.YSTEP * axes.NYDIV, 1.0f);
  EXPECT_FLOAT_EQ(axes.XCELL * axes.NXDIV, 8.0f);
  EXPECT_FLOAT_EQ(axes.YCELL * axes.NYDIV, 6.0f);
  EXPECT_TRUE(axes.LBOTTOM && axes.LLEFT);
  EXPECT_FALSE(axes.LRIGHT);

  bp.filter.corners.Freq4 = 0.11f;  // 55 Hz: the corner widens the axis
  SCALE_SPEC(1.0f, spec, 512, axes, bp);
  EXPECT_FLOAT_EQ(bp.upperFrequency, 55.0f);
  bp.filter.twoBand = true;  // then band 2's top corner counts
  SCALE_SPEC(1.0f, spec, 512, axes, bp);
  EXPECT_FLOAT_EQ(bp.upperFrequency, 210.0f);
}

TEST_F(SpectrumPlotTest, ZeroSpectrumKeepsAnAxis) {
  const std::vector<float> zeros(64, 0.0f);
  SCALE_SPEC(2.0f, zeros, 64, axes, bp);
  EXPECT_FLOAT_EQ(bp.upperFrequency, 250.0f);
  EXPECT_GT(axes.XSTEP, 0.0f);
}

TEST_F(SpectrumPlotTest, ResponseRunsThroughSixHandlesAndNegativeIntervalDrawsNone) {
  std::vector<float> spec(512);
  for (std::size_t k = 0; k < spec.size(); ++k) spec[k] = 1.0f / (1.0f + static_cast<float>(k));
  SCALE_SPEC(1.0f, spec, 512, axes, bp);
  sup::PLOTXY(1.0f, 0.0f, sup::kPenStartPage, axes);
  PLOTSPEC(spec, 512, 1.0f, axes, bp);
  ASSERT_EQ(bp.handles.count, 6);
  const std::array<float, 6> wantX = {2.5f, 3.75f, 5.0f, 40.0f, 47.5f, 55.0f};
  const std::array<float, 6> wantY = {0.01f, 0.49f, 0.99f, 0.99f, 0.49f, 0.01f};
  for (std::size_t k = 0; k < 6; ++k) {
    EXPECT_FLOAT_EQ(bp.handles.x[k], wantX[k]) << k;
    EXPECT_FLOAT_EQ(bp.handles.y[k], wantY[k]) << k;
  }
  int px = 0, py = 0;
  PixelOf(sup::PLOFX(20.0f, axes), sup::PLOFY(0.99f, axes), px, py);  // on the plateau
  EXPECT_GT(InkInColumn(px, py - 1, py + 1, 4), 0);
  EXPECT_NE(std::find(texts.begin(), texts.end(), "Frequency (Hz)"), texts.end());
  EXPECT_NE(std::find(texts.begin(), texts.end(), "Amplitude"), texts.end());

  // The spectrum window's call: no response, and the table stays as it was.
  bp.filter.corners.Freq1 = 0.3f;
  sup::PLOTXY(1.0f, 0.0f, sup::kPenStartPage, axes);
  PLOTSPEC(spec, 512, -1.0f, axes, bp);
  EXPECT_FLOAT_EQ(bp.handles.x[0], 2.5f);
  EXPECT_EQ(InkInColumn(px, py - 1, py + 1, 4), 0);
}

TEST_F(SpectrumPlotTest, LastValueLandsOnTheNyquistFrequency) {
  std::vector<float> spec(512, 1.0f);
  SCALE_SPEC(1.0f, spec, 512, axes, bp);
  sup::PLOTXY(1.0f, 0.0f, sup::kPenStartPage, axes);
  PLOTSPEC(spec, 512, -1.0f, axes, bp);
  int px = 0, py = 0;
  PixelOf(sup::PLOFX(500.0f, axes), sup::PLOFY(1.0f, axes), px, py);
  EXPECT_GT(InkInColumn(px, py - 1, py + 1, 11), 0);
}

TEST_F(SpectrumPlotTest, DeepTroughIsBroughtToMinusAHalf) {
  // A narrow band rings: its normalised response dips well below -0.5.
  BandpassFilter f;
  f.corners.Freq1 = 0.1f;
  f.corners.Freq2 = 0.12f;
  f.corners.Freq3 = 0.2f;
  f.corners.Freq4 = 0.22f;
  constexpr int kN = 200;
  std::vector<float> scratch(kN), w(kN), plain(kN), spike(kN, 0.0f);
  spike[kN / 2 - 1] = 1.0f;
  FILTRACE(spike, plain, kN, 0, f);
  const float top = std::max(*std::max_element(plain.begin(), plain.end()),
                             -*std::min_element(plain.begin(), plain.end()));
  for (float& v : plain) v /= top;
  const float trough = *std::min_element(plain.begin(), plain.end());
  ASSERT_LT(trough, -0.5f);
  WAVELET(scratch, w, kN, 0, f);
  for (std::size_t i = 0; i < w.size(); ++i) ASSERT_NEAR(w[i], plain[i] * (-0.5f / trough), 1e-6f) << i;
  EXPECT_FLOAT_EQ(*std::min_element(w.begin(), w.end()), -0.5f);
  EXPECT_EQ(scratch[kN / 2 - 1], 1.0f);  // the spike is left in the scratch array
}

TEST_F(SpectrumPlotTest, StoppedEverywhereGivesZerosNotNaN) {
  BandpassFilter none;
  // The low stop covers the lower half, the high stop the rest.
  none.corners.Freq1 = none.corners.Freq2 = none.corners.Freq3 = none.corners.Freq4 = 0.5f;
  std::vector<float> scratch(64), w(64, 5.0f);
  WAVELET(scratch, w, 64, 6, none);
  for (const float v : w) ASSERT_EQ(v, 0.0f);
}

TEST_F(SpectrumPlotTest, OneBandResponseMatchesTheNumpyFilterOfTheSpike) {
  SKIP_WITHOUT_NUMPY();
  BandpassFilter f;  // the default corners
  constexpr int kN = 500;
  constexpr int kNt = 50;
  std::vector<float> scratch(kN), w(kN);
  WAVELET(scratch, w, kN, kNt, f);
  std::vector<float> spike(kN, 0.0f);
  spike[kN / 2 - 1] = 1.0f;
  const BandpassSettings& c = f.corners;
  const std::vector<float> want = testing_support::RunNumpy(
      "import runpy\nREF = runpy.run_path('" +
          testing_support::TestScript("display/spectrum_reference.py").string() +
          "')\n"
          "w = REF['filtrace'](INPUTS[0], " + std::to_string(kNt) + ", INPUTS[1], False)\n"
          "w = w / max(w.max(), -w.min())\n"
          "OUT = w * (-0.5 / w.min()) if w.min() < -0.5 else w\n",
      {spike, {c.Freq1, c.Freq2, c.Freq3, c.Freq4, c.Freq5, c.Freq6, c.Freq7, c.Freq8}});
  ASSERT_EQ(want.size(), w.size());
  for (std::size_t i = 0; i < w.size(); ++i) ASSERT_NEAR(w[i], want[i], 1e-5f) << i;
}

TEST_F(SpectrumPlotTest, ImpulseFrameCoversTheCentralHalf) {
  const std::vector<float> w(101, 0.0f);
  SCALE_WAVE(w, 101, axes);
  EXPECT_EQ(axes.NXDIV, 1);
  EXPECT_FLOAT_EQ(axes.XSTART, 25.0f);
  EXPECT_FLOAT_EQ(axes.XSTEP, 50.0f);
  EXPECT_LE(axes.YSTART, -0.5f);
  EXPECT_GE(axes.YSTART + axes.YSTEP * axes.NYDIV, 1.0f);
  EXPECT_FALSE(axes.LBOTTOM || axes.LLEFT || axes.LRIGHT);
  std::vector<float> spike(101, 0.0f);
  spike[50] = 1.0f;
  sup::PLOTXY(1.0f, 0.0f, sup::kPenStartPage, axes);
  PLOTWAVELET(spike, 101, axes);
  int px = 0, py = 0;
  PixelOf(sup::PLOFX(49.5f, axes), sup::PLOFY(0.5f, axes), px, py);  // rising flank
  EXPECT_GT(InkInColumn(px - 1, py, py, 4) + InkInColumn(px, py, py, 4) + InkInColumn(px + 1, py, py, 4), 0);
}

}  // namespace
}  // namespace vel::testing
