#include "support/Regres.h"

#include <algorithm>
#include <cmath>

namespace sup {
namespace {
int Points(std::span<const float> x, std::span<const float> y, int n) {
  if (n <= 0) return 0;
  return static_cast<int>(std::min({x.size(), y.size(), static_cast<std::size_t>(n)}));
}
}  // namespace

void REGRES(std::span<const float> X, std::span<const float> Y, int N, float& A, float& B,
            float& R) {
  A = 0.0f;
  B = 1.0f;
  R = 0.0f;
  const int n = Points(X, Y, N);
  if (n < 2) return;
  // Sums relative to the first x, for accuracy with large abscissae.
  const double x0 = X[0];
  double su = 0, sy = 0, suy = 0, suu = 0;
  for (int i = 0; i < n; ++i) {
    const double u = X[i] - x0;
    su += u;
    sy += Y[i];
    suy += u * Y[i];
    suu += u * u;
  }
  const double d = suu - su * su / n;
  if (d == 0.0) return;
  const double b = (suy - su * sy / n) / d;
  A = static_cast<float>((sy - (n * x0 + su) * b) / n);
  B = static_cast<float>(b);
  if (n > 2) R = FITCHK(X, Y, n, A, B);
}

float FITCHK(std::span<const float> X, std::span<const float> Y, int N, float A, float B) {
  const int n = Points(X, Y, N);
  if (n <= 0) return 0.0f;
  double s = 0.0;
  for (int i = 0; i < n; ++i) {
    const double r = static_cast<double>(B) * X[i] + A - Y[i];
    s += r * r;
  }
  if (std::isnan(s)) return 9999.0f;
  return static_cast<float>(std::sqrt(s / n));
}

}  // namespace sup
