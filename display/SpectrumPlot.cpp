#include "display/SpectrumPlot.h"

#include <algorithm>
#include <cmath>
#include <string_view>
#include <vector>

#include "support/GraphDraw.h"
#include "support/Numerics.h"
#include "support/PenPlot.h"

namespace vel {
namespace {

constexpr int kPenFrame = 2;
constexpr int kPenSpectrum = 11;
constexpr int kPenResponse = 4;
constexpr float kFrameWidth = 8.0f;
constexpr float kFrameHeight = 6.0f;
constexpr float kOrigin = 1.25f;
constexpr float kLabelHeight = 0.25f;
constexpr std::string_view kAmplitudeLabel = "Amplitude";
constexpr std::string_view kFrequencyLabel = "Frequency (Hz)";
// Heights of the six handles of a band, from the low-cut start to the
// high-cut end.
constexpr std::array<float, 6> kHandleHeights = {0.01f, 0.49f, 0.99f, 0.99f, 0.49f, 0.01f};

int Usable(std::size_t have, int n) {
  return n < 1 ? 0 : static_cast<int>(std::min<std::size_t>(have, static_cast<std::size_t>(n)));
}

// Origin, cells and minor ticks of an 8 by 6 frame whose divisions are set.
void PlaceFrame(sup::GraphAxes& a) {
  a.NXDIV = std::max(a.NXDIV, 1);
  a.NYDIV = std::max(a.NYDIV, 1);
  a.XORIGIN = kOrigin;
  a.YORIGIN = kOrigin;
  a.XCELL = kFrameWidth / static_cast<float>(a.NXDIV);
  a.YCELL = kFrameHeight / static_cast<float>(a.NYDIV);
  a.NXMINOR = 5;
  a.NYMINOR = 5;
  a.LXLOG = a.LYLOG = false;
  sup::FINDASX(a);
  sup::FINDASY(a);
}

// The six handles of one band from its four corners, into H from FIRST on.
void BandHandles(SpectrumHandles& h, int first, float nyquist, float f1, float f2, float f3, float f4) {
  const std::array<float, 6> x = {f1, (f1 + f2) / 2.0f, f2, f3, (f3 + f4) / 2.0f, f4};
  for (int k = 0; k < 6; ++k) {
    h.x[static_cast<std::size_t>(first + k)] = nyquist * x[static_cast<std::size_t>(k)];
    h.y[static_cast<std::size_t>(first + k)] = kHandleHeights[static_cast<std::size_t>(k)];
  }
}

}  // namespace

void SCALE_SPEC(float DT, std::span<const float> SPEC, int M, sup::GraphAxes& AXES, BandpassState& BP) {
  const int m = Usable(SPEC.size(), M);
  float lo = 1e30f, hi = -1e30f;
  sup::FINDNX(SPEC, m, lo, hi);
  const float spacing = 1000.0f / (DT * 2.0f * static_cast<float>(m - 1));
  bool found = false;
  for (int k = m; k >= 1 && hi > 0.0f; --k) {
    if (SPEC[static_cast<std::size_t>(k - 1)] >= 0.01f * hi) {
      BP.upperFrequency = spacing * static_cast<float>(k);
      found = true;
      break;
    }
  }
  BP.nyquist = 1000.0f / (DT * 2.0f);
  // A spectrum with no value to go by (all zero) and no earlier axis shows
  // up to the Nyquist frequency.
  if ((!found && !(BP.upperFrequency > 0.0f)) || !std::isfinite(BP.upperFrequency))
    BP.upperFrequency = BP.nyquist;
  const BandpassSettings& c = BP.filter.corners;
  const float topCorner = BP.nyquist * (BP.filter.twoBand ? c.Freq8 : c.Freq4);
  if (std::isfinite(topCorner) && topCorner > BP.upperFrequency) BP.upperFrequency = topCorner;
  sup::LINNX(0.0f, 1.0f, AXES.YSTART, AXES.YSTEP, AXES.NYDIV, AXES.NYMINOR);
  sup::LINNX(0.0f, BP.upperFrequency, AXES.XSTART, AXES.XSTEP, AXES.NXDIV, AXES.NXMINOR);
  AXES.LBOTTOM = AXES.LLEFT = true;
  AXES.LRIGHT = AXES.LTOP = false;
  PlaceFrame(AXES);
}

void PLOTSPEC(std::span<const float> SPEC, int M, float DT, sup::GraphAxes& AXES, BandpassState& BP) {
  AXES.TICKCAP = 0.18f;
  AXES.LTICKCAP = true;
  sup::SET_PEN(kPenFrame);
  sup::PLOTXY(AXES.XORIGIN, AXES.YORIGIN, -3, AXES);
  sup::GNGRID(AXES);
  sup::PCLIPOFF();
  const float width = static_cast<float>(AXES.NXDIV) * AXES.XCELL;
  const float height = static_cast<float>(AXES.NYDIV) * AXES.YCELL;
  if (AXES.LLEFT) {
    const auto used = static_cast<float>(kAmplitudeLabel.size());
    const float h = std::min(kLabelHeight, std::abs(height) / (0.86f * used));
    sup::CENTSY(AXES.XDRAWNMIN - 1.2f * h, height / 2.0f, h, kAmplitudeLabel, 90.0f,
                static_cast<int>(kAmplitudeLabel.size()));
  }
  if (AXES.LBOTTOM) {
    sup::CENTSY(width / 2.0f, AXES.LABELBOTTOM - 1.3f * kLabelHeight, kLabelHeight, kFrequencyLabel,
                0.0f, static_cast<int>(kFrequencyLabel.size()));
  }
  sup::FINDASX(AXES);
  sup::FINDASY(AXES);
  const float dt = std::abs(DT);
  BP.nyquist = 1000.0f / (2.0f * dt);
  const int m = Usable(SPEC.size(), M);
  if (m >= 1) {
    std::vector<float> x(static_cast<std::size_t>(m));
    const float spacing = m > 1 ? 1000.0f / (2.0f * dt * static_cast<float>(m - 1)) : 0.0f;
    for (int k = 0; k < m; ++k) x[static_cast<std::size_t>(k)] = static_cast<float>(k) * spacing;
    sup::SET_PEN(kPenSpectrum);
    sup::PLOTXY(AXES.XORIGIN, AXES.YORIGIN, -3, AXES);
    sup::GNPLOT(x, SPEC.first(static_cast<std::size_t>(m)), m, false, AXES);
  }
  if (DT < 0.0f) return;
  sup::SET_PEN(kPenResponse);
  SpectrumHandles& h = BP.handles;
  const BandpassSettings& c = BP.filter.corners;
  BandHandles(h, 0, BP.nyquist, c.Freq1, c.Freq2, c.Freq3, c.Freq4);
  h.count = 6;
  if (BP.filter.twoBand) {
    BandHandles(h, 6, BP.nyquist, c.Freq5, c.Freq6, c.Freq7, c.Freq8);
    h.count = 12;
  }
  const auto n = static_cast<std::size_t>(h.count);
  sup::GNPLOT(std::span<const float>(h.x).first(n), std::span<const float>(h.y).first(n), h.count,
              false, AXES);
  sup::GNPLOT(std::span<const float>(h.x).first(n), std::span<const float>(h.y).first(n), h.count,
              true, AXES);
}

void WAVELET(std::span<float> SCRATCH, std::span<float> W, int N, int NT, const BandpassFilter& FILTER) {
  if (N < 2 || SCRATCH.size() < static_cast<std::size_t>(N) || W.size() < static_cast<std::size_t>(N))
    return;
  const auto n = static_cast<std::size_t>(N);
  std::fill_n(SCRATCH.begin(), n, 0.0f);
  SCRATCH[n / 2 - 1] = 1.0f;
  FILTRACE(SCRATCH, W, N, NT, FILTER);
  float lo = 1e30f, hi = -1e30f;
  sup::FINDNX(W, N, lo, hi);
  const float top = std::max(hi, -lo);
  // A filter that stops every element answers with zeros: nothing to scale.
  if (!(top > 0.0f) || !std::isfinite(top)) return;
  for (std::size_t i = 0; i < n; ++i) W[i] /= top;
  lo = 1e30f;
  hi = -1e30f;
  sup::FINDNX(W, N, lo, hi);
  if (lo < -0.5f) {
    const float scale = -0.5f / lo;
    for (std::size_t i = 0; i < n; ++i) W[i] *= scale;
  }
}

void SCALE_WAVE(std::span<const float> /*W*/, int N, sup::GraphAxes& AXES) {
  AXES.NXDIV = 1;
  const float span = static_cast<float>(std::max(N, 2) - 1);
  AXES.XSTEP = span * 0.5f;
  AXES.XSTART = span * 0.25f;
  AXES.NXMINOR = 5;
  sup::LINNX(-0.5f, 1.0f, AXES.YSTART, AXES.YSTEP, AXES.NYDIV, AXES.NYMINOR);
  AXES.LBOTTOM = AXES.LLEFT = AXES.LRIGHT = AXES.LTOP = false;
  PlaceFrame(AXES);
}

void PLOTWAVELET(std::span<const float> W, int N, sup::GraphAxes& AXES) {
  sup::SET_PEN(kPenFrame);
  sup::PLOTXY(AXES.XORIGIN, AXES.YORIGIN, -3, AXES);
  sup::GNGRID(AXES);
  sup::FINDASX(AXES);
  sup::FINDASY(AXES);
  const int n = Usable(W.size(), N);
  if (n < 1) return;
  std::vector<float> x(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) x[static_cast<std::size_t>(i)] = static_cast<float>(i);
  sup::SET_PEN(kPenResponse);
  sup::GNPLOT(x, W.first(static_cast<std::size_t>(n)), n, false, AXES);
}

}  // namespace vel
