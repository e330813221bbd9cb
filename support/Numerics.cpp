#include "support/Numerics.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <utility>

namespace sup {
namespace {

std::size_t Count(std::size_t size, int n) {
  return n <= 0 ? 0 : std::min(size, static_cast<std::size_t>(n));
}

template <class T>
void Shift(std::span<T> a, int n, int k) {
  const std::size_t count = Count(a.size(), n);
  if (k == 0 || count == 0) return;
  const std::size_t places = static_cast<std::size_t>(k > 0 ? k : -static_cast<long long>(k));
  if (places >= count) return;
  const auto begin = a.begin();
  const auto end = begin + static_cast<std::ptrdiff_t>(count);
  if (k > 0) {
    std::copy_backward(begin, end - static_cast<std::ptrdiff_t>(places), end);
    std::fill(begin, begin + static_cast<std::ptrdiff_t>(places), T{});
  } else {
    std::copy(begin + static_cast<std::ptrdiff_t>(places), end, begin);
    std::fill(end - static_cast<std::ptrdiff_t>(places), end, T{});
  }
}

bool Missing(float v) {
  return v > kMissingAbove;
}

// TERPOL's last step: BEST is the node nearest to XV among X(1..N-1); the
// interval that holds XV is the one before it when XV lies in [X(i-1), X(i))
// in the pair's own direction, else the one after it.
float InterpolateNearNode(std::span<const float> X, std::span<const float> Y, std::size_t best,
                          float XV) {
  std::size_t k = best;
  if (best > 0) {
    const float lo = X[best - 1], hi = X[best];
    const bool inside = lo < hi ? (XV >= lo && XV < hi) : (XV <= lo && XV > hi);
    if (inside) k = best - 1;
  }
  const float x0 = X[k], x1 = X[k + 1], y0 = Y[k], y1 = Y[k + 1];
  if (Missing(y0) || Missing(y1)) {
    return std::fabs(XV - x1) < std::fabs(XV - x0) ? y1 : y0;
  }
  if (x1 == x0) return y0;
  return y0 + (y1 - y0) * (XV - x0) / (x1 - x0);
}

}  // namespace

void FINDNX(std::span<const float> A, int N, float& AMIN, float& AMAX) {
  const std::span<const float> values = A.first(Count(A.size(), N));
  // Four running extremes side by side in one vector register, free of
  // branches. Equal non-zero floats are the same bits, so the merged result
  // is the one a single pass finds; only the sign of a zero extreme depends
  // on the order seen, and then the single pass below decides.
  using Floats = float __attribute__((vector_size(16)));
  constexpr std::size_t kLanes = sizeof(Floats) / sizeof(float);
  const Floats seedLo = {AMIN, AMIN, AMIN, AMIN}, seedHi = {AMAX, AMAX, AMAX, AMAX};
  const Floats big = {1e15f, 1e15f, 1e15f, 1e15f}, tiny = {1e-30f, 1e-30f, 1e-30f, 1e-30f};
  const Floats zero = {};
  Floats lo = seedLo, hi = seedHi;
  const std::size_t whole = values.size() - values.size() % kLanes;
  for (std::size_t i = 0; i < whole; i += kLanes) {
    Floats v;
    std::memcpy(&v, values.data() + i, sizeof v);
    const Floats a = v < zero ? -v : v;
    const auto usable = (a <= big) & ((a >= tiny) | (v == zero));  // false for NaN
    hi = (usable & (v > hi)) ? v : hi;
    lo = (usable & (v < lo)) ? v : lo;
  }
  float mn = AMIN, mx = AMAX;
  for (std::size_t k = 0; k < kLanes; ++k) {
    if (hi[k] > mx) mx = hi[k];
    if (lo[k] < mn) mn = lo[k];
  }
  std::size_t from = whole;
  if (mx == 0.0f || mn == 0.0f) {
    mn = AMIN;
    mx = AMAX;
    from = 0;
  }
  for (const float v : values.subspan(from)) {
    const float a = std::fabs(v);
    if (std::isnan(v) || a > 1e15f || (v != 0.0f && a < 1e-30f)) continue;
    if (v > mx) mx = v;
    if (v < mn) mn = v;
  }
  AMIN = mn;
  AMAX = mx;
}

double SumInDouble(std::span<const float> A, int N) {
  double sum = 0.0;
  for (const float v : A.first(Count(A.size(), N))) sum += v;
  return sum;
}

// Both sums run in double: a float accumulator loses the small part of
// samples that ride on a large offset (traces at 1e6 carrying a signal of 15
// keep a mean off by tens after a few thousand samples).
float SUMOF(std::span<const float> A, int N) {
  return static_cast<float>(SumInDouble(A, N));
}

float AVGOF(std::span<const float> A, int N) {
  double sum = 0.0;
  int used = 0;
  for (const float v : A.first(Count(A.size(), N))) {
    if (Missing(v)) continue;
    sum += v;
    ++used;
  }
  return used == 0 ? 0.0f : static_cast<float>(sum / used);
}

float TERPOL(std::span<const float> X, std::span<const float> Y, int N, float XV) {
  const std::size_t n = std::min(Count(X.size(), N), Y.size());
  if (n < 1) return 0.0f;
  if (n == 1) return Y[0];
  const bool upwards = X[n - 1] > X[0];
  if (upwards) {
    if (XV >= X[n - 1]) return Y[n - 1];
    if (XV <= X[0]) return Y[0];
  } else {
    if (XV <= X[n - 1]) return Y[n - 1];
    if (XV >= X[0]) return Y[0];
  }
  // The node nearest to XV among X(1..N-1), skipping zero-length intervals;
  // the first wins a tie. Then the interval that holds XV: the one before the
  // node when XV lies in [X(i-1), X(i)) in the pair's own direction.
  std::size_t best = n;  // none yet
  float bestDistance = 0.0f;
  for (std::size_t i = 0; i + 1 < n; ++i) {
    if (X[i] == X[i + 1]) continue;
    const float d = std::fabs(XV - X[i]);
    if (best == n || d < bestDistance) {
      best = i;
      bestDistance = d;
    }
  }
  if (best == n) return Y[0];
  return InterpolateNearNode(X, Y, best, XV);
}

float TerpolRising(std::span<const float> X, std::span<const float> Y, int N, float XV,
                   std::size_t& NODE) {
  const std::size_t n = std::min(Count(X.size(), N), Y.size());
  if (n < 2 || !(X[n - 1] > X[0]) || std::isnan(XV)) return TERPOL(X, Y, N, XV);
  if (XV >= X[n - 1]) return Y[n - 1];
  if (XV <= X[0]) return Y[0];
  // The distances |XV - X(i)| fall and then rise along a rising table (float
  // rounding keeps that order, with possible runs of equal values), so the
  // first nearest node is found by walking down the slope from NODE: forward
  // while the next node is no farther, then back over nodes just as near.
  const std::size_t lastNode = n - 2;
  std::size_t best = std::min(NODE, lastNode);
  const auto distance = [&](std::size_t i) { return std::fabs(XV - X[i]); };
  float d = distance(best);
  while (best < lastNode) {
    const float next = distance(best + 1);
    if (next > d) break;
    ++best;
    d = next;
  }
  while (best > 0) {
    const float before = distance(best - 1);
    if (before > d) break;
    --best;
    d = before;
  }
  NODE = best;
  return InterpolateNearNode(X, Y, best, XV);
}

bool LNLYEQ(float A, float B) {
  if (std::isnan(A) || std::isnan(B)) return false;
  if (A == B) return true;
  if (A == 0.0f) return std::fabs(B) < 1e-6f;
  if (B == 0.0f) return std::fabs(A) < 1e-6f;
  if (A == -B) return false;
  return std::fabs(2.0f * (A - B) / (A + B)) <= 1e-6f;
}

bool LEQNAN(float X) {
  return std::isnan(X);
}

void ORDER5(std::span<float> A, std::span<float> B, std::span<float> C, std::span<float> D,
            std::span<float> E, int N, int M) {
  if (M <= 0) return;
  const std::array<std::span<float>, 5> all{A, B, C, D, E};
  const std::size_t moving = std::min<std::size_t>(static_cast<std::size_t>(M), all.size());
  std::size_t n = N <= 0 ? 0 : static_cast<std::size_t>(N);
  for (std::size_t j = 0; j < moving; ++j) n = std::min(n, all[j].size());
  // Bubble sort with early exit: stable, and an unordered pair (NaN) is
  // exchanged as if out of order.
  for (std::size_t pass = 1; pass < n; ++pass) {
    bool exchanged = false;
    for (std::size_t i = 0; i + pass < n; ++i) {
      if (!(A[i + 1] < A[i]) && !(std::isnan(A[i]) || std::isnan(A[i + 1]))) continue;
      for (std::size_t j = 0; j < moving; ++j) std::swap(all[j][i], all[j][i + 1]);
      exchanged = true;
    }
    if (!exchanged) break;
  }
}

void SHIFTF(std::span<float> A, int N, int K) {
  Shift(A, N, K);
}
void SHIFTI(std::span<std::int32_t> IA, int N, int K) {
  Shift(IA, N, K);
}
void SHIFTI2(std::span<std::int16_t> I2, int N, int K) {
  Shift(I2, N, K);
}

void ERASE(std::span<float> A, int N) {
  std::fill_n(A.begin(), Count(A.size(), N), 0.0f);
}

void ERASEI(std::span<std::int32_t> IA, int N) {
  std::fill_n(IA.begin(), Count(IA.size(), N), 0);
}

}  // namespace sup
