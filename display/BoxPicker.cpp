#include "display/BoxPicker.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "support/Allocation.h"
#include "support/Numerics.h"
#include "support/UserMessages.h"
#include "toolkit/core/Rounding.h"

namespace vel {
namespace {

constexpr float kNone = -1e20f;
constexpr std::string_view kBoxNoMemory = "Allocation failure in PickBx";

std::int32_t UsableCount(std::size_t size, std::int32_t n) {
  if (n < 1) return 0;
  const std::size_t cap = std::min<std::size_t>(size, std::numeric_limits<std::int32_t>::max() / 2);
  return static_cast<std::int32_t>(std::min<std::size_t>(static_cast<std::size_t>(n), cap));
}

// The values one call shares between the box-length loop and its scans.
// Arrays are indexed as the picker counts, from 1 (element 0 unused).
struct BoxScan {
  std::vector<float> work;    // the smoothed trace
  std::vector<float> boxs;    // box values of the current box length
  std::vector<float> maxamp;  // accepted peaks: value ...
  std::vector<std::int32_t> maxpos;  // ... and position, in order
  std::int32_t ns = 0;
  std::int32_t is = 1, ie = 1;  // sample range
  float thr = 0.0f;             // peak threshold of the current box length
  float avg = 0.0f;             // mean box value
  std::int32_t nf = 0;          // entries in the lists

  // Next peak after K: BOXS(m) >= BOXS(m-1), above THR and above BOXS(m+1).
  bool FMAX(std::int32_t& k) const {
    if (k > ie - 2) return false;
    for (std::int32_t m = k + 1; m <= ie - 1; ++m) {
      if (boxs[m] >= boxs[m - 1] && boxs[m] > thr && boxs[m] > boxs[m + 1]) {
        k = m;
        return true;
      }
    }
    k = ie - 1;
    return false;
  }

  // Next trough after K, below -THR.
  bool FMIN(std::int32_t& k) const {
    if (k > ie - 2) return false;
    for (std::int32_t m = k + 1; m <= ie - 1; ++m) {
      if (boxs[m] <= boxs[m - 1] && boxs[m] < -thr && boxs[m] < boxs[m + 1]) {
        k = m;
        return true;
      }
    }
    k = ie - 1;
    return false;
  }

  // Peak-and-trough pairs of box length NP, at most NMAX, into the lists;
  // a trough deeper than two thirds of its peak's height above it rejects
  // the pair.
  void FINDMAX(std::int32_t np, std::int32_t nmax) {
    std::int32_t k = np + is;
    nf = 0;
    const float twoThirds = 2.0f / 3.0f;
    while (k < ie && nf < nmax) {
      if (!FMAX(k)) break;
      const std::int32_t im = k;
      if (!FMIN(k)) break;
      if (boxs[k] > twoThirds * boxs[im]) continue;
      ++nf;
      maxamp[nf] = boxs[im];
      maxpos[nf] = im;
    }
  }

  // Does the first strong peak of this box length agree with the previous
  // length's candidate? IPOS is the current candidate (-1 when none).
  bool TESTMAX(std::int32_t& ipos, std::int32_t& lastpos, float& lastamp, std::int32_t ntol,
               bool useavg, float pctavg) const {
    if (nf < 1) {
      // No pair accepted: nothing to agree with on the next length either.
      ipos = -1;
      lastpos = 0;
      lastamp = kNone;
      return false;
    }
    const float thr2 =
        useavg ? sup::AVGOF(std::span<const float>(maxamp).subspan(1), nf) * pctavg / 100.0f : avg;
    const std::int32_t h = ntol / 2;
    for (std::int32_t m = 1; m <= nf; ++m) {
      if (!(maxamp[m] > thr2)) continue;
      if (lastpos - h <= maxpos[m] && maxpos[m] <= lastpos + h && maxamp[m] <= lastamp) {
        ipos = maxpos[m];
        return true;
      }
      ipos = maxpos[m];
      lastpos = maxpos[m];
      lastamp = maxamp[m];
      return false;
    }
    ipos = -1;
    lastpos = maxpos[1];
    lastamp = maxamp[1];
    return false;
  }
};

}  // namespace

void TRIFILT(std::span<float> X, std::int32_t N, std::int32_t NH) {
  const std::int32_t n = UsableCount(X.size(), N);
  if (n < 1) return;
  const std::vector<float> t(X.begin(), X.begin() + n);
  const std::int32_t nh = std::clamp(NH, 0, n);
  // Near the ends, where the weights are renormalised, one sample at a time.
  const auto edge = [&](std::int32_t j) {
    float sum = t[j - 1];
    float weight = 1.0f;
    for (std::int32_t o = 1; o <= nh; ++o) {
      const float fo = static_cast<float>(o);
      if (j + o <= n) {
        sum += t[j + o - 1] / fo;
        weight += 1.0f / fo;
      }
      if (j - o >= 1) {
        sum += t[j - o - 1] / fo;
        weight += 1.0f / fo;
      }
    }
    X[j - 1] = sum / weight;
  };
  // Inside, every sample has all its neighbours: the weight is one number,
  // and the terms are added distance by distance over all samples at once,
  // each sample's sum in the same order as at the ends.
  const std::int32_t first = nh + 1, last = n - nh;
  if (first > last) {
    for (std::int32_t j = 1; j <= n; ++j) edge(j);
    return;
  }
  for (std::int32_t j = 1; j < first; ++j) edge(j);
  float weight = 1.0f;
  for (std::int32_t o = 1; o <= nh; ++o) {
    const float fo = static_cast<float>(o);
    weight += 1.0f / fo;
    weight += 1.0f / fo;
  }
  const std::size_t count = static_cast<std::size_t>(last - first + 1);
  float* out = X.data() + (first - 1);
  const float* centre = t.data() + (first - 1);
  std::copy_n(centre, count, out);
  for (std::int32_t o = 1; o <= nh; ++o) {
    const float fo = static_cast<float>(o);
    const float* right = centre + o;
    const float* left = centre - o;
    for (std::size_t i = 0; i < count; ++i) {
      out[i] += right[i] / fo;
      out[i] += left[i] / fo;
    }
  }
  for (std::size_t i = 0; i < count; ++i) out[i] /= weight;
  for (std::int32_t j = last + 1; j <= n; ++j) edge(j);
}

BoxPickSizes BoxSizes(const BoxPickParameters& PARS, float DT, std::int32_t NS) {
  BoxPickSizes z;
  z.NTOL = std::max(2, tk::NearestInt(PARS.BXTOL / DT));
  z.P = tk::TruncateInt(PARS.BXTHRESH);
  z.NPMIN = tk::NearestInt(PARS.BXPERMIN / DT);
  const std::int32_t steps = std::max(PARS.IBXSTEPS, 1);
  z.NPSTEP = std::max(
      1, tk::NearestInt(((PARS.BXPERMAX - PARS.BXPERMIN) / DT) / static_cast<float>(steps)));
  z.NPMAX = std::min(NS, tk::NearestInt(PARS.BXPERMAX / DT));
  return z;
}

void PICKBX(std::span<const float> TR, std::int32_t NS, std::int32_t& ISTART, std::int32_t IEND,
            float DT, std::int32_t& IPICK, const BoxPickParameters& PARS, bool* NOMEMORY) {
  IPICK = 0;
  if (ISTART <= 0) ISTART = 1;
  const std::int32_t ns = UsableCount(TR.size(), NS);
  // Never more list entries than peaks a trace can hold.
  const std::int32_t nmax = std::min(PARS.IBXMAXIMA, ns);
  BoxScan s;
  if (!sup::TryAllocation([&] {
        s.work.assign(static_cast<std::size_t>(ns) + 1, 0.0f);
        s.boxs.assign(static_cast<std::size_t>(ns) + 2, 0.0f);
        s.maxamp.assign(static_cast<std::size_t>(std::max(nmax, 1)) + 1, kNone);
        s.maxpos.assign(static_cast<std::size_t>(std::max(nmax, 1)) + 1, 0);
      })) {
    if (NOMEMORY)
      *NOMEMORY = true;
    else
      sup::WINMSG(kBoxNoMemory);
    return;
  }
  if (ns < 1 || nmax < 1) {
    IPICK = -1;
    return;
  }
  s.ns = ns;
  std::copy(TR.begin(), TR.begin() + ns, s.work.begin() + 1);
  TRIFILT(std::span<float>(s.work).subspan(1), ns, 7);
  float* work = s.work.data();
  float* boxs = s.boxs.data();

  const BoxPickSizes sizes = BoxSizes(PARS, DT, ns);
  const std::int32_t ntol = sizes.NTOL;
  const std::int32_t p = sizes.P;
  const std::int32_t npstep = sizes.NPSTEP;
  const std::int32_t npmax = sizes.NPMAX;
  s.is = ISTART;
  s.ie = std::min(IEND, ns);

  std::int32_t ipos = 0, lastpos = 0;
  float lastamp = kNone;
  bool found = false;
  std::int64_t np = sizes.NPMIN;
  if (np < 1) np += (1 - np + npstep - 1) / npstep * static_cast<std::int64_t>(npstep);
  std::int32_t npFound = 0;
  for (; np <= npmax && !found; np += npstep) {
    const std::int32_t n32 = static_cast<std::int32_t>(np);
    if (static_cast<std::int64_t>(s.is) + n32 - 1 > ns) break;  // the first box would end past the trace
    const std::int32_t j0 = s.is + n32 - 1;
    std::fill(boxs + 1, boxs + ns + 1, 0.0f);
    float first = 0.0f;
    for (std::int32_t i = s.is; i <= j0; ++i) first += work[i];
    boxs[j0] = first;
    // The box slides one sample at a time: one subtraction, one addition.
    float bmax = kNone;
    const std::int32_t slides = std::min(s.ie - s.is, ns - 1 - j0);
    for (std::int32_t n = 1; n <= slides; ++n) {
      const float v = boxs[j0 + n - 1] - work[s.is + n - 1] + work[j0 + n];
      boxs[j0 + n] = v;
      bmax = std::max(bmax, v);
    }
    double sum = 0.0;
    for (std::int32_t i = j0; i <= std::min(j0 + n32, ns); ++i) sum += boxs[i];
    float avg = static_cast<float>(sum / n32);
    if (PARS.LBXPOWER) {
      bmax = kNone;
      for (std::int32_t m = j0; m <= s.ie - s.is; ++m) {
        const float v = boxs[m] - avg;
        boxs[m] = v >= 0.0f ? v * v : -(v * v);
        bmax = std::max(bmax, boxs[m]);
      }
      avg = 0.0f;
    }
    s.avg = avg;
    s.thr = avg + (bmax - avg) * static_cast<float>(p) / 100.0f;
    s.FINDMAX(n32, nmax);
    found = s.TESTMAX(ipos, lastpos, lastamp, ntol, PARS.LBXAVERAGE, PARS.BXAVGPCT);
    if (found) npFound = n32;
  }
  if (!found) {
    IPICK = -1;
    return;
  }
  const std::int64_t pick =
      ipos - (static_cast<std::int64_t>(PARS.IBXCYCLES) + 1) * static_cast<std::int64_t>(npFound);
  IPICK = pick > ns ? -1
                    : static_cast<std::int32_t>(
                          std::max<std::int64_t>(pick, std::numeric_limits<std::int32_t>::min()));
}

}  // namespace vel
