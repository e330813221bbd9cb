#include "display/Spectrum.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

#include "support/Allocation.h"
#include "support/UserMessages.h"
#include "toolkit/core/Rounding.h"

namespace vel {
namespace {

constexpr std::string_view kNoTempArrays = "CANNOT ALLOCATE TEMP ARRAYS IN SPECTRUM";
// 2 pi and pi as the single-precision constants the transform and the taper use.
constexpr float kTwoPi = 6.2831855f;
constexpr float kPi = 3.1415930f;
constexpr int kMostExponent = 30;

// The work arrays of SPECTRUM and FILTRACE: the tapered copy of the trace and
// the complex array. Kept from call to call (one set per thread); every call
// sets every element it reads, so the results are those of fresh arrays.
struct TransformWork {
  std::vector<float> trace;
  std::vector<float> data;
};

TransformWork& Work() {
  thread_local TransformWork work;
  return work;
}

// Sizes the work arrays for N samples and a transform of 2^M points; false
// (the user told) when memory runs out.
bool SizeWork(TransformWork& w, int n, int m) {
  const std::size_t reals = std::size_t{2} << m;
  if (sup::TryAllocation([&] {
        w.trace.resize(static_cast<std::size_t>(n));
        w.data.resize(reals);
      }))
    return true;
  std::vector<float>().swap(w.trace);
  std::vector<float>().swap(w.data);
  sup::WINMSG(kNoTempArrays);
  return false;
}

// Steps 1 to 4 shared by SPECTRUM and FILTRACE: the tapered copy of IN(1..N),
// zero-padded into the complex array and transformed forward.
void ForwardTransform(std::span<const float> in, int n, int nt, int m, TransformWork& w) {
  std::copy_n(in.begin(), n, w.trace.begin());
  if (nt > 0 && nt < n / 2) TSMOO(w.trace, n, nt);
  std::fill(w.data.begin(), w.data.end(), 0.0f);
  for (int i = 0; i < n; ++i) w.data[2 * static_cast<std::size_t>(i)] = w.trace[static_cast<std::size_t>(i)];
  COOL(w.data, m, 1.0f);
}

// Multiplies element E (1-based) and, for 2 <= E <= H, its partner
// NFFT + 2 - E by WEIGHT, each product rounded to 32 bits.
void Weigh(std::vector<float>& data, std::int64_t nfft, std::int64_t h, std::int64_t e,
           double weight) {
  const auto scale = [&](std::int64_t element) {
    const auto at = static_cast<std::size_t>(2 * (element - 1));
    data[at] = static_cast<float>(static_cast<double>(data[at]) * weight);
    data[at + 1] = static_cast<float>(static_cast<double>(data[at + 1]) * weight);
  };
  scale(e);
  if (e >= 2 && e <= h) scale(nfft + 2 - e);
}

// The trapezoid weights of FILTRACE over elements 1..H + 1, steps 3 to 7 in
// their order, so corners out of order multiply.
void ApplyBandpass(std::vector<float>& data, std::int64_t nfft, const BandpassFilter& f) {
  const std::int64_t h = nfft / 2;
  const BandpassSettings& c = f.corners;
  const std::int64_t k1 = CornerIndex(c.Freq1, nfft), k2 = CornerIndex(c.Freq2, nfft);
  const std::int64_t k3 = CornerIndex(c.Freq3, nfft), k4 = CornerIndex(c.Freq4, nfft);
  const auto zero = [&](std::int64_t from, std::int64_t to) {
    for (std::int64_t e = std::max<std::int64_t>(from, 1); e <= to; ++e) Weigh(data, nfft, h, e, 0.0);
  };
  // A rising ramp: 0 at FROM, 1 at TO; a falling one: 1 at FROM, 0 at TO.
  // A ramp that starts at element 0 starts at element 1 with its weight there.
  const auto rise = [&](std::int64_t from, std::int64_t to) {
    for (std::int64_t e = std::max<std::int64_t>(from, 1); e <= to; ++e)
      Weigh(data, nfft, h, e, static_cast<double>(e - from) / static_cast<double>(to - from));
  };
  const auto fall = [&](std::int64_t from, std::int64_t to) {
    for (std::int64_t e = std::max<std::int64_t>(from, 1); e <= to; ++e)
      Weigh(data, nfft, h, e, 1.0 - static_cast<double>(e - from) / static_cast<double>(to - from));
  };
  if (k1 >= 1) zero(1, k1);
  const std::int64_t l = k1 >= 1 ? k1 : 1;
  if (k2 > l) rise(l, k2);
  if (k3 < k4) fall(k3, k4);
  std::int64_t last = k4;
  if (f.twoBand) {
    const std::int64_t k5 = CornerIndex(c.Freq5, nfft), k6 = CornerIndex(c.Freq6, nfft);
    const std::int64_t k7 = CornerIndex(c.Freq7, nfft), k8 = CornerIndex(c.Freq8, nfft);
    if (k4 < k5) zero(k4 + 1, k5);
    const std::int64_t s = k4 <= k5 ? k5 : k4 + 1;
    if (k6 > s) rise(s, k6);
    if (k7 < k8) fall(k7, k8);
    last = k8;
  }
  if (last < h) zero(last + 1, h + 1);
}

}  // namespace

int NfftExponent(std::int64_t N) {
  int m = 0;
  while (m < 62 && (std::int64_t{1} << m) < N) ++m;
  return m;
}

std::int64_t NFFT(std::int64_t N) { return std::int64_t{1} << NfftExponent(N); }

std::int64_t CornerIndex(float F, std::int64_t NFFT) {
  const float f = F >= 0.0f ? std::min(F, 1.0f) : 0.0f;  // NaN fails the test too
  return tk::NearestInt64(static_cast<double>(f * static_cast<float>(NFFT) / 2.0f));
}

namespace {

// Bit-reversal reordering of the N / 2 complex pairs of D (1-based reals).
void BitReverse(float* d, std::size_t n) {
  std::size_t j = 1;
  for (std::size_t i = 1; i < n; i += 2) {
    if (j > i) {
      std::swap(d[j], d[i]);
      std::swap(d[j + 1], d[i + 1]);
    }
    std::size_t k = n / 2;
    while (k >= 2 && j > k) {
      j -= k;
      k /= 2;
    }
    j += k;
  }
}

// The rotation step of the stage whose butterflies span MMAX reals.
struct StageStep {
  float wpr;
  double wpi;
};

StageStep StepOf(std::size_t mmax, float sign) {
  const float theta = sign * kTwoPi / static_cast<float>(mmax);
  const double half = std::sin(0.5 * static_cast<double>(theta));
  return {static_cast<float>(-2.0 * half * half), std::sin(static_cast<double>(theta))};
}

// The next rotation of the recurrence.
void Advance(double& wr, double& wi, const StageStep& s) {
  const double old = wr;
  wr = wr * s.wpr - wi * s.wpi + wr;
  wi = wi * s.wpr + old * s.wpi + wi;
}

// One butterfly of the stage spanning MMAX reals at element I (1-based reals)
// with the rotation (CR, CI), carried in double precision.
inline void Butterfly(float* d, std::size_t mmax, std::size_t i, double cr, double ci) {
  const std::size_t k = i + mmax;
  const double tr = cr * d[k] - ci * d[k + 1];
  const double ti = cr * d[k + 1] + ci * d[k];
  const double xr = d[i], xi = d[i + 1];
  d[k] = static_cast<float>(xr - tr);
  d[k + 1] = static_cast<float>(xi - ti);
  d[i] = static_cast<float>(xr + tr);
  d[i + 1] = static_cast<float>(xi + ti);
}

// The stage spanning MMAX reals with its MMAX / 2 rotations WR, WI, block by
// block over memory in order; each butterfly takes the same rotation as in
// the recurrence's own loop order.
void TabledStage(float* d, std::size_t n, std::size_t mmax, const double* wr, const double* wi) {
  const std::size_t istep = 2 * mmax;
  const std::size_t count = mmax / 2;
  for (std::size_t block = 1; block <= n; block += istep)
    for (std::size_t q = 0; q < count; ++q) Butterfly(d, mmax, block + 2 * q, wr[q], wi[q]);
}

}  // namespace

bool MakeCoolRotations(CoolRotations& ROTATIONS, int M, float SIGN) {
  ROTATIONS.M = -1;
  if (M < 0 || M > kMostExponent) return false;
  const std::size_t n = std::size_t{2} << M;
  // Stage s (mmax = 2^s reals) takes mmax / 2 rotations from offset mmax / 2 - 1.
  const std::size_t total = std::max<std::size_t>(n / 2, 1);
  if (!sup::TryAllocation([&] {
        ROTATIONS.wr.resize(total);
        ROTATIONS.wi.resize(total);
      })) {
    std::vector<double>().swap(ROTATIONS.wr);
    std::vector<double>().swap(ROTATIONS.wi);
    return false;
  }
  for (std::size_t mmax = 2; mmax < n; mmax *= 2) {
    const StageStep step = StepOf(mmax, SIGN);
    double wr = 1.0, wi = 0.0;
    const std::size_t at = mmax / 2 - 1;
    for (std::size_t q = 0; q < mmax / 2; ++q) {
      ROTATIONS.wr[at + q] = wr;
      ROTATIONS.wi[at + q] = wi;
      Advance(wr, wi, step);
    }
  }
  ROTATIONS.M = M;
  ROTATIONS.SIGN = SIGN;
  return true;
}

void COOL(std::span<float> DATA, const CoolRotations& ROTATIONS) {
  if (ROTATIONS.M < 0) return;
  const std::size_t n = std::size_t{2} << ROTATIONS.M;
  if (DATA.size() < n) return;
  float* d = DATA.data() - 1;  // 1-based as the algorithm counts
  BitReverse(d, n);
  for (std::size_t mmax = 2; mmax < n; mmax *= 2)
    TabledStage(d, n, mmax, ROTATIONS.wr.data() + (mmax / 2 - 1),
                ROTATIONS.wi.data() + (mmax / 2 - 1));
}

void COOL(std::span<float> DATA, int M, float SIGN) {
  if (M < 0 || M > kMostExponent) return;
  const std::size_t n = std::size_t{2} << M;
  if (DATA.size() < n) return;
  // The rotations of the last two lengths each sign was asked for are kept
  // (one set per thread) up to 2^14 points, so trace after trace of one
  // length makes them once.
  constexpr int kMostKept = 14;
  if (M <= kMostKept) {
    thread_local CoolRotations kept[2][2];
    CoolRotations* pair = kept[SIGN < 0.0f ? 1 : 0];
    CoolRotations* r = pair[0].M == M && pair[0].SIGN == SIGN   ? &pair[0]
                       : pair[1].M == M && pair[1].SIGN == SIGN ? &pair[1]
                                                                 : nullptr;
    if (!r) {
      std::swap(pair[0], pair[1]);
      r = MakeCoolRotations(pair[0], M, SIGN) ? &pair[0] : nullptr;
    }
    if (r) {
      COOL(DATA, *r);
      return;
    }
  }
  CoolRotations once;
  if (MakeCoolRotations(once, M, SIGN)) {
    COOL(DATA, once);
    return;
  }
  // No memory for the table: the recurrence in its own loop order.
  float* d = DATA.data() - 1;
  BitReverse(d, n);
  for (std::size_t mmax = 2; mmax < n; mmax *= 2) {
    const std::size_t istep = 2 * mmax;
    const StageStep step = StepOf(mmax, SIGN);
    double wr = 1.0, wi = 0.0;
    for (std::size_t m = 1; m < mmax; m += 2) {
      for (std::size_t i = m; i <= n; i += istep) Butterfly(d, mmax, i, wr, wi);
      Advance(wr, wi, step);
    }
  }
}

void TSMOO(std::span<float> X, int N, int NT) {
  const int n = std::min<int>(N, static_cast<int>(std::min<std::size_t>(X.size(), 1u << 30)));
  if (n < 1) return;
  X[0] = 0.0f;
  X[static_cast<std::size_t>(n - 1)] = 0.0f;
  const float d = kPi / static_cast<float>(NT - 1);
  for (int j = 1; j <= NT - 1; ++j) {
    const float w = 0.5f * (1.0f + std::cos(static_cast<float>(NT - j) * d));
    if (j < n) X[static_cast<std::size_t>(j)] *= w;         // X(1 + j)
    if (n - 1 - j >= 0) X[static_cast<std::size_t>(n - 1 - j)] *= w;  // X(N - j)
  }
}

void SPECTRUM(std::span<const float> TRACE, std::span<float> SPEC, int N, int NT) {
  if (N < 1 || TRACE.size() < static_cast<std::size_t>(N)) return;
  const int m = NfftExponent(N);
  const std::int64_t nfft = std::int64_t{1} << m;
  const auto half = static_cast<std::size_t>(nfft / 2);
  if (m > kMostExponent || SPEC.size() < half) return;
  TransformWork& w = Work();
  if (!SizeWork(w, N, m)) return;
  ForwardTransform(TRACE, N, NT, m, w);
  float largest = 0.0f;
  for (std::size_t k = 0; k < half; ++k) {
    const float re = w.data[2 * k], im = w.data[2 * k + 1];
    SPEC[k] = re * re + im * im;
    largest = std::max(largest, SPEC[k]);
  }
  // A trace of zeros has no largest value to divide by: its spectrum stays 0.
  if (largest > 0.0f)
    for (std::size_t k = 0; k < half; ++k) SPEC[k] /= largest;
}

void FILTRACE(std::span<const float> IN, std::span<float> OUT, int N, int NT,
              const BandpassFilter& FILTER) {
  if (N < 1 || IN.size() < static_cast<std::size_t>(N) || OUT.size() < static_cast<std::size_t>(N))
    return;
  const int m = NfftExponent(N);
  if (m > kMostExponent) return;
  const std::int64_t nfft = std::int64_t{1} << m;
  TransformWork& w = Work();
  if (!SizeWork(w, N, m)) return;
  ForwardTransform(IN, N, NT, m, w);
  ApplyBandpass(w.data, nfft, FILTER);
  COOL(w.data, m, -1.0f);
  const auto length = static_cast<float>(nfft);
  for (int i = 0; i < N; ++i)
    OUT[static_cast<std::size_t>(i)] = w.data[2 * static_cast<std::size_t>(i)] / length;
}

}  // namespace vel
