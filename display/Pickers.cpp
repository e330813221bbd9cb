#include "display/Pickers.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <new>
#include <stdexcept>
#include <utility>
#include <vector>

#include "support/Allocation.h"
#include "support/Numerics.h"
#include "toolkit/core/Rounding.h"

namespace vel {
namespace {

// The number of elements to use: N, but never more than the span holds nor
// so many that an index a little past it overflows 32 bits; 0 for N below 1.
template <typename T>
std::int32_t Usable(std::span<T> a, std::int32_t n) {
  if (n < 1) return 0;
  constexpr std::size_t kMost = std::numeric_limits<std::int32_t>::max() - 1024;
  const std::size_t cap = std::min(a.size(), kMost);
  return static_cast<std::int32_t>(std::min<std::size_t>(static_cast<std::size_t>(n), cap));
}

// The Hatherly picker's work arrays, each indexed 1..NS as the algorithm
// counts (element 0 unused).
struct HatherlyWork {
  std::vector<float> store;
  float* W = nullptr;  // the trace, then the running means M
  float* A = nullptr;  // smoothed trace less its mean
  float* D = nullptr;  // first differences of A
  float* B = nullptr;  // running deviation of A
  float* E = nullptr;  // running deviation of D

  // Candidate I passes tests b, c and d, which do not depend on the noise
  // level: worked out once for every pass.
  std::vector<std::uint8_t> shape;

  [[nodiscard]] bool Allocate(std::int32_t ns) {
    const std::size_t stride = static_cast<std::size_t>(ns) + 1;
    if (!sup::TryAllocation([&] {
          store.assign(5 * stride, 0.0f);
          shape.assign(stride, 0);
        }))
      return false;
    W = store.data();
    A = W + stride;
    D = A + stride;
    B = D + stride;
    E = B + stride;
    return true;
  }
};

// Tests b, c and d of the Hatherly picker for the candidates I - 2,
// I = FIRST..LAST (FIRST at least 3).
void HatherlyShapes(HatherlyWork& w, std::int32_t first, std::int32_t last) {
  const float* D = w.D;
  const float* B = w.B;
  const float* E = w.E;
  for (std::int32_t i = first; i <= last; ++i) {
    const std::int32_t c = i - 2;
    // b. Deviation of the amplitude rising.
    const bool b = (B[c] < B[c + 1]) & (B[c + 1] < B[i]);
    // c. Differences of one sign (0 counts as positive).
    const bool d0 = D[c] >= 0.0f;
    const bool sameSign = (d0 == (D[c + 1] >= 0.0f)) & (d0 == (D[i] >= 0.0f));
    // d. Deviation of the differences rising.
    const bool e = (E[c] < E[c + 1]) & (E[c + 1] < E[i]);
    w.shape[static_cast<std::size_t>(i)] = b & sameSign & e;
  }
}

// Tests a to h of the Hatherly picker for the candidate I - 2 at noise N,
// with b, c and d taken from HatherlyShapes (all of them are pure, so their
// order does not change the outcome).
bool HatherlyAccepts(const HatherlyWork& w, std::int32_t ns, std::int32_t i, float n,
                     std::int32_t istart, std::int32_t iend) {
  if (!w.shape[static_cast<std::size_t>(i)]) return false;
  const float* A = w.A;
  const std::int32_t c = i - 2;
  // a. Three samples above the noise.
  if (!(std::fabs(A[c]) > n && std::fabs(A[c + 1]) > n && std::fabs(A[i]) > n)) return false;
  // e. Rise to the peak in the candidate's direction.
  const float s = A[c] >= 0.0f ? 1.0f : -1.0f;
  const float vs = std::fabs(A[c]);
  float vmax = vs;
  std::int32_t imax = 0;
  const std::int32_t riseEnd = static_cast<std::int32_t>(std::min<std::int64_t>(ns, i + 98LL));
  for (std::int32_t k = i - 1; k <= riseEnd; ++k) {
    const float v = s * A[k];
    if (v >= vmax) {
      vmax = v;
      imax = k;
    } else if (v < vmax - n / 4.0f) {
      break;
    }
  }
  const float r = vmax - vs;
  if (!(r > n) || imax == 0) return false;
  // f. Swing back after the peak.
  const float p0 = A[imax];
  float x = p0;
  float t = n;
  const std::int32_t swingEnd = static_cast<std::int32_t>(std::min<std::int64_t>(ns, imax + 101LL));
  if (p0 > 0.0f) {
    for (std::int32_t m = imax + 1; m <= swingEnd; ++m) {
      const float a = A[m];
      if (a < x) {
        t = std::max(t, x - a);
        x = a;
      } else if (a > x + t) {
        break;
      }
    }
  } else if (p0 < 0.0f) {
    for (std::int32_t m = imax + 1; m <= swingEnd; ++m) {
      const float a = A[m];
      if (a > x) {
        t = std::max(t, a - x);
        x = a;
      } else if (a < x - t) {
        break;
      }
    }
  }
  const float ar = std::fabs(r);
  if (!(std::fabs(x) > ar && std::fabs(x) > 2.0f * n && std::fabs(x - p0) > 2.5f * ar)) {
    return false;
  }
  // g. Signal after the candidate well above the running mean there.
  const std::int32_t after = std::min(ns, i + 25);
  if (after < i + 1) return false;
  double sum = 0.0;
  for (std::int32_t m = i + 1; m <= after; ++m) sum += std::fabs(A[m]);
  const float mean = static_cast<float>(sum / (after - i));
  const float m0 = w.W[c];
  if (!(mean >= m0 && mean >= 2.5f * m0)) return false;
  // h. Inside the asked range.
  return istart <= c && c <= iend;
}

}  // namespace

std::int32_t SimplePulseSamples(float SVPULSE, float SAMPINT) {
  if (!(SAMPINT > 0.0f)) return 3;
  return std::max<std::int32_t>(3, tk::NearestInt(SVPULSE / SAMPINT));
}

void PICKSV(std::span<const float> TR, std::int32_t NS, float TRMAX, std::int32_t& IPICK,
            float FINC, float FSPIKE, std::int32_t NP) {
  IPICK = 0;
  if (NP < 1) return;
  const std::int64_t ns = Usable(TR, NS);
  const std::int64_t np = NP;
  const std::int64_t last = ns - 2 * np;
  if (last < 1) return;
  const float t1 = TRMAX * FINC + 1.5f;
  const float t2 = TRMAX * FSPIKE + 1.5f;
  // One forward pass. The window starting at i passes downwards when the
  // NP + 1 steps i..i+NP all lie below T1 and the NP + 1 samples
  // i+NP-1..i+2NP-1 all lie below -T2, that is when the run of such steps
  // ending at step i+NP and the run of such samples ending at sample
  // a = i+2NP-1 are both longer than NP (upwards alike). The step runs are
  // kept NP - 1 places behind the sample runs, so both are at hand when the
  // window's last sample is reached. (Step s is TR(s+1) - TR(s).)
  const float* x = TR.data();  // x[n - 1] is TR(n)
  std::int64_t downSamples = 0, upSamples = 0, downSteps = 0, upSteps = 0;
  for (std::int64_t a = 1; a <= ns - 1; ++a) {
    const float v = x[a - 1];
    downSamples = v < -t2 ? downSamples + 1 : 0;
    upSamples = v > t2 ? upSamples + 1 : 0;
    const std::int64_t s = a - np + 1;
    if (s < 1) continue;
    const float step = x[s] - x[s - 1];
    downSteps = step < t1 ? downSteps + 1 : 0;
    upSteps = step > -t1 ? upSteps + 1 : 0;
    if (a < 2 * np) continue;
    const bool down = downSamples > np && downSteps > np;
    const bool up = upSamples > np && upSteps > np;
    if (down || up) {
      IPICK = static_cast<std::int32_t>(a - 2 * np + 1);
      return;
    }
  }
}

void PICKHLY(std::span<const float> TR, std::int32_t NS, float& NOISE, std::int32_t& IPICK,
             std::int32_t ISTART, std::int32_t IEND) {
  IPICK = 0;
  const std::int32_t ns = Usable(TR, NS);
  // The first twelve samples are cleared: a shorter trace holds no signal.
  if (ns <= 12) return;
  if (!(NOISE >= 0.0f)) return;
  const std::int32_t istart = std::max<std::int32_t>(ISTART, 1);
  const std::int32_t iend = std::min(IEND, ns);
  if (istart > iend) return;

  HatherlyWork w;
  if (!w.Allocate(ns)) return;
  float* W = w.W;
  float* A = w.A;
  float* D = w.D;
  float* B = w.B;
  float* E = w.E;

  // 1. Copy, with the first twelve samples cleared.
  std::copy_n(TR.data(), ns, W + 1);
  std::fill_n(W + 1, 12, 0.0f);
  // 2. 1-3-1 smoothing, then the mean removed.
  A[1] = 0.0f;
  A[2] = 0.0f;
  A[ns - 1] = W[ns - 1];
  A[ns] = W[ns];
  for (std::int32_t i = 3; i <= ns - 2; ++i) A[i] = (W[i - 1] + 3.0f * W[i] + W[i + 1]) / 5.0f;
  const float mean = sup::AVGOF(std::span<const float>(A + 1, static_cast<std::size_t>(ns)), ns);
  for (std::int32_t i = 1; i <= ns; ++i) A[i] -= mean;

  // 3. Running mean M (kept in W), deviation B of A and deviation E of its
  //    differences. The start sums take samples 2..6; the loop adds 4, 5 and
  //    6 once more. The running sums are kept in double: the deviations are
  //    differences of large sums, which float accumulators lose on long
  //    traces.
  double sa = 0.0;
  double sa2 = 0.0;
  double sd = 0.0;
  double sd2 = 0.0;
  for (std::int32_t i = 2; i <= 6; ++i) {
    D[i] = A[i] - A[i - 1];
    sa += std::fabs(A[i]);
    sa2 += A[i] * A[i];
    sd += std::fabs(D[i]);
    sd2 += D[i] * D[i];
  }
  for (std::int32_t j = 4; j <= iend - 10; ++j) {
    const double k = j - 2;
    const double m = sa / k;
    W[j] = static_cast<float>(m);
    B[j] = static_cast<float>(std::sqrt(std::fabs((sa2 - k * (m * m)) / (k - 1.0)) + 1e-20));
    const double md = sd / k;
    E[j] = static_cast<float>(std::sqrt(std::fabs((sd2 - k * (md * md)) / (k - 1.0)) + 1e-20));
    sa += std::fabs(A[j]);
    sa2 += A[j] * A[j];
    D[j] = A[j] - A[j - 1];
    sd += std::fabs(D[j]);
    sd2 += D[j] * D[j];
  }

  // The shapes are worked out a block ahead of pass 1, which often ends early,
  // and for the rest of the range before pass 2.
  constexpr std::int32_t kShapeBlock = 256;
  std::int32_t shaped = 2;  // shapes known for 3..shaped
  const auto shapeUpTo = [&](std::int32_t i) {
    if (i <= shaped) return;
    const std::int32_t last = std::min(iend, std::max(i, shaped + kShapeBlock));
    HatherlyShapes(w, shaped + 1, last);
    shaped = last;
  };

  // 4. Pass 1 raises the noise level to the running mean; passes 2-4 halve it.
  float n = NOISE;
  for (std::int32_t i = 6; i <= iend - 10; ++i) {
    n = std::max(n, W[i]);
    shapeUpTo(i);
    if (HatherlyAccepts(w, ns, i, n, istart, iend)) {
      IPICK = i - 2;
      NOISE = n;
      return;
    }
  }
  shapeUpTo(iend);
  for (int pass = 2; pass <= 4; ++pass) {
    n /= 2.0f;
    for (std::int32_t i = istart + 2; i <= iend; ++i) {
      if (HatherlyAccepts(w, ns, i, n, istart, iend)) {
        IPICK = i - 2;
        NOISE = n;
        return;
      }
    }
  }
  NOISE = n / 2.0f;
}

void AutoPickUnpicked(ShotRecord& REC, const SimplePickParameters& PARS) {
  const std::int32_t np = SimplePulseSamples(PARS.SVPULSE, REC.SAMPINT);
  const std::size_t traces = std::min(
      {static_cast<std::size_t>(std::max(REC.NTRACE, 0)), REC.IBPICK.size(), REC.TRACEMAX.size()});
  for (std::size_t j = 1; j <= traces; ++j) {
    std::int32_t& pick = REC.IBPICK[j - 1];
    if (HasPick(pick)) continue;
    const std::span<const float> trace = Trace(std::as_const(REC), static_cast<std::int32_t>(j));
    if (trace.empty()) continue;
    PICKSV(trace, static_cast<std::int32_t>(trace.size()), std::fabs(REC.TRACEMAX[j - 1]), pick,
           PARS.SVMININC, PARS.SVSPIKE, np);
  }
  REC.LPICKS = true;
}

void MWA(std::span<float> OUT, std::span<const float> IN, std::int32_t N) {
  const std::int32_t n = std::min(Usable(OUT, N), Usable(IN, N));
  for (std::int32_t i = 1; i <= n; ++i) {
    OUT[i - 1] = (i >= 3 && i <= n - 2) ? (IN[i - 2] + 3.0f * IN[i - 1] + IN[i]) / 5.0f : IN[i - 1];
  }
}

void HILBERT(std::span<float> OUT, std::span<const float> IN, std::int32_t N, std::int32_t M) {
  const std::int32_t n = std::min(Usable(OUT, N), Usable(IN, N));
  const std::int64_t m = std::max<std::int32_t>(M, 0);
  for (std::int64_t i = 1; i <= n; ++i) {
    float sum = 0.0f;
    for (std::int64_t k = 1; k <= m; ++k) {
      const std::int64_t b = 2 * k - 1;
      if (i + b >= n && i - b < 1) break;  // both ends out of reach from here on
      const float fb = static_cast<float>(b);
      if (i + b < n) sum += IN[i + b - 1] / fb;
      if (i - b >= 1) sum -= IN[i - b - 1] / fb;
    }
    OUT[i - 1] = sum;
  }
}

void IFREQ(std::span<float> OUT, std::span<const float> X, std::span<const float> H,
           std::int32_t N) {
  const std::int32_t n = std::min({Usable(OUT, N), Usable(X, N), Usable(H, N)});
  if (n < 3) {
    std::fill_n(OUT.begin(), n, 0.0f);
    return;
  }
  // 0-based: element i is sample i + 1.
  for (std::int32_t i = 1; i <= n - 2; ++i) {
    const float den = H[i] * H[i] + X[i] * X[i];
    const float num = X[i] * (H[i + 1] - H[i - 1]) / 2.0f - H[i] * (X[i + 1] - X[i - 1]) / 2.0f;
    OUT[i] = den != 0.0f ? num / den : 0.0f;
  }
  OUT[0] = OUT[1];
  OUT[n - 1] = OUT[n - 2];
}

void PICKIF(std::span<const float> TR, std::int32_t NS, std::int32_t& IPICK) {
  (void)TR;
  (void)NS;
  (void)IPICK;
}

}  // namespace vel
