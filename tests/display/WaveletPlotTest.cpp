// The wavelet window's frame and picture: the time axis starts at 0 and the
// first and last samples land where the frame puts them; a second drawing
// is the same picture; an empty wavelet draws no wavelet.
#include <gtest/gtest.h>

#include <vector>

#include "display/WaveletPlot.h"
#include "support/UserMessages.h"
#include "tests/display/TracePlotTestSupport.h"

namespace vel::testing {
namespace {

class WaveletPlotTest : public TracePlotTest {
 protected:
  void DrawWavelet(const std::vector<float>& w, float dt) {
    sup::PLOTXY(1.0f, 0.0f, sup::kPenStartPage, axes);
    PLOTWAVE(w, dt, static_cast<std::int32_t>(w.size()), axes);
  }
};

TEST_F(WaveletPlotTest, ScaledFromTimeZeroWithAmplitudeUpwards) {
  const std::vector<float> w = {0.0f, 2.0f, -5.0f, 3.0f, 1.0f, 0.5f, 0.0f, -1.0f, 0.0f};
  SCALEWAVE(w, 0.5f, 9, axes);
  EXPECT_EQ(axes.XSTART, 0.0f);  // cut at any time, the wavelet starts at 0
  EXPECT_GE(axes.XSTART + axes.XSTEP * axes.NXDIV, 4.0f);
  EXPECT_LE(axes.YSTART, -5.0f);
  EXPECT_GE(axes.YSTART + axes.YSTEP * axes.NYDIV, 3.0f);
  EXPECT_GT(axes.YCELL, 0.0f);
  EXPECT_EQ(axes.XORIGIN, 1.25f);
  EXPECT_EQ(axes.YORIGIN, 1.25f);
  EXPECT_FLOAT_EQ(axes.XCELL * axes.NXDIV, 8.0f);
  EXPECT_FLOAT_EQ(axes.YCELL * axes.NYDIV, 6.0f);
  EXPECT_TRUE(axes.LBOTTOM && axes.LLEFT && axes.LRIGHT);
}

TEST_F(WaveletPlotTest, FirstAndLastSamplesLandOnTheirPixelsAndARedrawIsTheSame) {
  std::vector<float> w(41);
  for (std::size_t k = 0; k < w.size(); ++k) w[k] = static_cast<float>((k % 7) * 10) - 20.0f;
  SCALEWAVE(w, 0.25f, 41, axes);
  DrawWavelet(w, 0.25f);
  const std::vector<plat::Pixel> first = Pixels();
  int px = 0, py = 0;
  PixelOf(sup::PLOFX(0.0f, axes), sup::PLOFY(w.front(), axes), px, py);
  EXPECT_EQ(At(px, py), Pen(4)) << px << "," << py;
  PixelOf(sup::PLOFX(40 * 0.25f, axes), sup::PLOFY(w.back(), axes), px, py);
  EXPECT_EQ(At(px, py), Pen(4)) << px << "," << py;
  EXPECT_NE(std::find(texts.begin(), texts.end(), "Travel Time (ms)"), texts.end());
  DrawWavelet(w, 0.25f);
  EXPECT_EQ(Pixels(), first);
}

TEST_F(WaveletPlotTest, NoSamplesDrawNoWaveletAndScalingSaysSo) {
  std::vector<std::string> shown;
  sup::SetUserMessageHook([&](sup::UserMessageKind, std::string_view, std::string_view t) {
    shown.emplace_back(t);
  });
  const sup::GraphAxes before = axes;
  SCALEWAVE({}, 0.25f, 0, axes);
  EXPECT_EQ(shown, std::vector<std::string>{"NO SAMPLES AVAILABLE FOR SCALING"});
  EXPECT_EQ(sup::GraphAxesToWords(axes), sup::GraphAxesToWords(before));
  // A frame from an earlier wavelet; a count beyond the samples, or none.
  const std::vector<float> w = {1.0f, -1.0f, 2.0f};
  SCALEWAVE(w, 1.0f, 3, axes);
  for (const std::int32_t n : {0, -4}) {
    DrawWavelet({}, 1.0f);
    const std::vector<plat::Pixel> empty = Pixels();
    sup::PLOTXY(1.0f, 0.0f, sup::kPenStartPage, axes);
    PLOTWAVE(std::span<const float>(), 1.0f, n, axes);
    EXPECT_EQ(Pixels(), empty);
    int count = 0;
    for (const plat::Pixel p : empty) count += p == Pen(4);
    EXPECT_EQ(count, 0);
  }
}

}  // namespace
}  // namespace vel::testing
