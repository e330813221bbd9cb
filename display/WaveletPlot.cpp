#include "display/WaveletPlot.h"

#include <algorithm>
#include <string_view>

#include "support/GraphDraw.h"
#include "support/Numerics.h"
#include "support/PenPlot.h"
#include "support/UserMessages.h"

namespace vel {
namespace {

constexpr int kPenFrameInterior = 15;
constexpr int kPenFrame = 2;
constexpr int kPenWavelet = 4;

std::int32_t UsableSamples(std::span<const float> w, std::int32_t n) {
  return n < 1 ? 0 : static_cast<std::int32_t>(std::min<std::size_t>(w.size(), static_cast<std::size_t>(n)));
}

}  // namespace

void SCALEWAVE(std::span<const float> W, float DT, std::int32_t N, sup::GraphAxes& AXES) {
  const std::int32_t n = UsableSamples(W, N);
  if (n < 1) {
    sup::WINMSG("NO SAMPLES AVAILABLE FOR SCALING");
    return;
  }
  AXES.LXLOG = false;
  AXES.LYLOG = false;
  sup::LINNX(0.0f, static_cast<float>(n - 1) * DT, AXES.XSTART, AXES.XSTEP, AXES.NXDIV,
             AXES.NXMINOR);
  float amin = 1e30f, amax = -1e30f;
  sup::FINDNX(W, n, amin, amax);
  sup::LINNX(amin, amax, AXES.YSTART, AXES.YSTEP, AXES.NYDIV, AXES.NYMINOR);
  AXES.NXDIV = std::max(AXES.NXDIV, 1);
  AXES.NYDIV = std::max(AXES.NYDIV, 1);
  AXES.XORIGIN = 1.25f;
  AXES.YORIGIN = 1.25f;
  AXES.XCELL = 8.0f / static_cast<float>(AXES.NXDIV);
  AXES.YCELL = 6.0f / static_cast<float>(AXES.NYDIV);
  AXES.LBOTTOM = AXES.LLEFT = AXES.LRIGHT = true;
  sup::FINDASX(AXES);
  sup::FINDASY(AXES);
}

void PLOTWAVE(std::span<const float> W, float DT, std::int32_t N, sup::GraphAxes& AXES) {
  AXES.TICKCAP = 0.08f;
  AXES.LTICKCAP = true;
  sup::PLOTXY(AXES.XORIGIN, AXES.YORIGIN, -3, AXES);
  sup::XOR_OFF();
  const float w = static_cast<float>(AXES.NXDIV) * AXES.XCELL;
  const float h = static_cast<float>(AXES.NYDIV) * AXES.YCELL;
  {
    float x1 = 0, y1 = 0, x2 = w, y2 = h, width = 0;
    sup::GNFILL(x1, y1, x2, y2, width, kPenFrameInterior, AXES);
  }
  sup::SET_PEN(kPenFrame);
  sup::GNGRID(AXES);
  sup::PCLIP(0.0f, w, 0.0f, h);
  if (AXES.LBOTTOM) {
    constexpr std::string_view kLabel = "Travel Time (ms)";
    sup::CENTSY(w / 2.0f, AXES.LABELBOTTOM - 0.225f, 0.15f, kLabel, 0.0f,
                static_cast<int>(kLabel.size()));
  }
  sup::FINDASX(AXES);
  sup::FINDASY(AXES);
  sup::SET_PEN(kPenWavelet);
  const std::int32_t n = UsableSamples(W, N);
  if (n < 1) return;
  sup::GN_MOVE(0.0f, W[0], AXES);
  float t = 0.0f;
  for (std::int32_t k = 2; k <= n; ++k) {
    t = t + DT;
    sup::GN_DRAW(t, W[static_cast<std::size_t>(k - 1)], AXES);
  }
}

}  // namespace vel
