#include "display/WaveletPicker.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "toolkit/core/Rounding.h"

namespace vel {
namespace {

std::int32_t UsableCount(std::size_t size, std::int32_t n) {
  if (n < 1) return 0;
  const std::size_t cap = std::min<std::size_t>(size, std::numeric_limits<std::int32_t>::max() / 4);
  return static_cast<std::int32_t>(std::min<std::size_t>(static_cast<std::size_t>(n), cap));
}

// The three correlation values one pulse apart around position K and the
// measures PICKWV takes of them.
struct Pattern {
  float o;   // |Q - A - B|: the centre against its two side lobes
  float t;   // |A| + |Q| + |B|
  float ab;  // |A - B|: side lobe imbalance
  float ot;  // |O - T|

  // XC counted from 0: XC(k) is xc[k - 1].
  Pattern(const float* xc, std::int32_t k, std::int32_t np) {
    const float q = xc[k - 1];
    const float b = xc[k - np - 1];
    const float a = xc[k + np - 1];
    o = std::fabs(q - a - b);
    t = std::fabs(a) + std::fabs(q) + std::fabs(b);
    ab = std::fabs(a - b);
    ot = std::fabs(o - t);
  }
};

}  // namespace

std::int32_t WaveletPulseSamples(std::int32_t COUNT) {
  return std::max(3, static_cast<std::int32_t>((static_cast<std::int64_t>(COUNT) + 3) / 4));
}

void CROSSCOR(std::span<float> OUT, std::span<const float> TR, std::int32_t NS,
              std::span<const float> WAV, std::int32_t M) {
  const std::int32_t ns = std::min(UsableCount(OUT.size(), NS), UsableCount(TR.size(), NS));
  const std::int32_t outs = UsableCount(OUT.size(), NS);
  std::fill(OUT.begin(), OUT.begin() + outs, 0.0f);
  const std::int32_t m = UsableCount(WAV.size(), M);
  if (m < 1 || m != M || m >= ns) return;
  const std::int32_t count = ns - m;
  // Wavelet sample by wavelet sample over all positions: each sum is built
  // in the order k = 1..M, as the definition writes it.
  float* out = OUT.data();
  for (std::int32_t k = 0; k < m; ++k) {
    const float w = WAV[static_cast<std::size_t>(k)];
    const float* tr = TR.data() + k;
    for (std::int32_t i = 0; i < count; ++i) out[i] += tr[i] * w;
  }
  const float fm = static_cast<float>(m);
  for (std::int32_t i = 0; i < count; ++i) out[i] /= fm;
}

void PICKWV(std::span<const float> XC, std::int32_t NS, float AMAX, std::int32_t& IPICK,
            float GROWTH, float MINFRAC, float SIDE, std::int32_t NP) {
  IPICK = 0;
  const std::int32_t ns = UsableCount(XC.size(), NS);
  if (NP < 1 || static_cast<std::int64_t>(NP) * 7 >= ns) return;
  const std::int32_t np = NP;
  const float* xc = XC.data();
  constexpr float kTiny = 1e-10f;
  float h = AMAX * MINFRAC;
  for (std::int32_t k = np + 1; k <= ns - 6 * np; ++k) {
    const Pattern pt(xc, k, np);
    const float u = (pt.o + pt.t) / 2.0f + kTiny;
    const float r1 = pt.ab / u;
    const float r2 = pt.ot / u;
    if (pt.o > h && pt.t > h && r1 <= SIDE && r2 <= SIDE) {
      IPICK = k;
      h = GROWTH * std::min(pt.o, pt.t);
    }
  }
  if (IPICK == 0) return;
  // Move to the best-balanced position within one pulse width.
  const std::int32_t from = std::max(IPICK - np, np + 1);
  const std::int32_t to = std::min(IPICK + np, ns - np);
  float best = 0.0f;
  for (std::int32_t i = from; i <= to; ++i) {
    const Pattern pt(xc, i, np);
    const float v = (pt.t + pt.o) / 2.0f - pt.ab - pt.ot;
    if (v > best) {
      best = v;
      IPICK = i;
    }
  }
}

void REFINEP(std::span<const float> TR, std::int32_t NS, std::int32_t& IPICK) {
  const std::int32_t ns = UsableCount(TR.size(), NS);
  if (IPICK < 1 || IPICK > ns) return;
  // TR(i) is TR[i - 1].
  const auto tr = [&](std::int32_t i) { return TR[static_cast<std::size_t>(i - 1)]; };
  std::vector<float> sorted;
  for (std::int32_t pass = 0; pass < kRefinePasses; ++pass) {
    const std::int32_t p = IPICK;
    std::int32_t nw = p < kRefineHalfWindow ? p - 1
                      : p + kRefineHalfWindow + 5 > ns ? ns - p - 5
                                                       : kRefineHalfWindow;
    nw = std::min(nw, ns - p);  // the window ends at the last sample
    if (nw < 0) return;
    const std::int32_t m = p + nw;
    sorted.assign(TR.begin(), TR.begin() + m);
    std::sort(sorted.begin(), sorted.end());
    const std::int32_t k = tk::NearestInt(static_cast<float>(m) * kRefineTrimFraction);
    const std::int32_t kept = m - 2 * k;
    if (kept < 1) return;
    double sum = 0.0, squares = 0.0;  // in double: the window may sit on a large offset
    for (std::int32_t i = k + 1; i <= m - k; ++i) {
      const double v = sorted[static_cast<std::size_t>(i - 1)];
      sum += v;
      squares += v * v;
    }
    const float mean = static_cast<float>(sum / kept);
    const float r = static_cast<float>(std::sqrt(squares / kept));
    const float band = 2.0f * r;
    std::int32_t pick = p;
    for (std::int32_t c = p - nw; c <= p + nw; ++c) {
      const float w = tr(c) - mean;
      if (std::fabs(w) < r) continue;
      if (c + kRefineRun - 1 > ns) break;  // the run would pass the last sample
      const bool positive = w > 0.0f;
      bool run = true;
      for (std::int32_t i = c; i < c + kRefineRun && run; ++i) {
        const float wi = tr(i) - mean;
        run = positive ? wi > band : wi < -band;
      }
      if (run) {
        pick = c;
        break;
      }
    }
    if (pick == p) return;
    IPICK = pick;
  }
}

}  // namespace vel
