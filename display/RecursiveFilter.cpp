#include "display/RecursiveFilter.h"

#include <algorithm>
#include <cmath>

#include "support/ProgramState.h"
#include "support/UserMessages.h"

namespace vel {
namespace {

constexpr float kTwoPi = 6.2831860f;
constexpr float kLeastRadius = 1.01f;
constexpr float kWideRadius = 100.0f;
// Beyond this magnitude the processor's sine and cosine give no answer.
constexpr float kLargestAngle = 9.2233720e18f;

// The radius from the cosine C and the term T, with the two messages.
float Radius(float c, float t) {
  if (t < 0.0f) {
    sup::WINMSG("BANDWIDTH TOO WIDE");
    return kWideRadius;
  }
  const float r = c + std::sqrt(t);
  if (r < kLeastRadius) {
    sup::WINMSG("BANDWIDTH TOO NARROW");
    return kLeastRadius;
  }
  return r;
}

}  // namespace

RecursiveFilterDesign& RecursiveFilterState() {
  static RecursiveFilterDesign design;
  return design;
}

namespace {
const bool kRegistered = sup::RegisterProgramReset(
    sup::ProgramLayer::Display, [] { RecursiveFilterState() = RecursiveFilterDesign{}; });
}  // namespace

void RECFIL(std::span<float> X, std::int32_t N, float DT, char TYPE, float& F0, float F1, bool FLAG) {
  RecursiveFilterDesign& s = RecursiveFilterState();
  s.g = 1.0f;
  const bool centred = TYPE == 'B' || TYPE == 'N';
  s.zr = 1.0f;
  s.zi = 0.0f;
  s.zm = 1.0f;
  if (centred) {
    const float theta = kTwoPi * F0 * DT;
    if (std::abs(theta) < kLargestAngle) {
      s.zr = std::cos(theta);
      s.zi = std::sin(theta);
    }
  } else {
    F0 = 0.0f;
  }
  const float c = std::cos(kTwoPi * F1 * DT);
  const float r = Radius(c, c * c - 1.0f + 8.0f * (1.0f - c));
  if (TYPE == 'L' || TYPE == 'B') {
    const float e = r * s.zr, i = r * s.zi, f = r * s.zm;
    const float g = (f * f - s.zm * s.zm) / (2.0f * (s.zr - e));
    s.zr = s.zm = g;
    s.zi = 0.0f;
    s.pr = e;
    s.pi = i;
    s.pm = f;
    if (TYPE == 'L') {
      const float j = (1.0f - g) * (1.0f - g) / ((1.0f - e) * (1.0f - e) + i * i);
      if (j > 0.0f) s.g = 1.0f / j;
    }
  } else {
    s.pr = r * s.zr;
    s.pi = r * s.zi;
    s.pm = r * s.zm;
  }
  RECURF(X, N, FLAG);
}

float ABSZP(float W, float B) {
  const float c = std::cos(W);
  return Radius(c, (1.0f - c) * 2.0f / B + (c * c - 1.0f));
}

void RECURF(std::span<float> X, std::int32_t N, bool FLAG) {
  const RecursiveFilterDesign& s = RecursiveFilterState();
  const auto n = static_cast<std::size_t>(std::clamp<std::int64_t>(N, 0, static_cast<std::int64_t>(X.size())));
  if (n < 2) return;
  const float a = s.zm * s.zm, b = 2.0f * s.zr, d = 2.0f * s.pr, m = 1.0f / (s.pm * s.pm);
  // Forward: the inputs two and one step back are kept, as X is overwritten.
  float x1 = X[0], x2 = X[1];
  X[0] = m * (d * x1 - x1 + a * x1 - b * x1 + x1);
  X[1] = m * (d * X[0] - X[0] + a * x2 - b * x2 + x1);
  if (n == 2) return;
  float back2 = x1, back1 = x2;
  for (std::size_t k = 2; k < n; ++k) {
    const float x = X[k];
    X[k] = m * (d * X[k - 1] - X[k - 2] + a * x - b * back1 + back2);
    back2 = back1;
    back1 = x;
  }
  if (s.g != 1.0f)
    for (std::size_t k = 0; k < n; ++k) X[k] *= s.g;
  if (!FLAG) return;
  // Backward over the forward result y, written in place as z.
  float y1 = X[n - 1], y2 = X[n - 2];  // y(k + 1) and y(k + 2) as k falls
  X[n - 1] = m * (d * y1 + a * y1 - b * y2);
  X[n - 2] = m * (d * X[n - 1] - X[n - 1] + a * y2 - b * y2 + y1);
  float ahead1 = y2, ahead2 = y1;
  for (std::size_t k = n - 2; k-- > 0;) {
    const float y = X[k];
    X[k] = m * (d * X[k + 1] - X[k + 2] + a * y - b * ahead1 + ahead2);
    ahead2 = ahead1;
    ahead1 = y;
  }
  if (s.g != 1.0f)
    for (std::size_t k = 0; k < n; ++k) X[k] *= s.g;
}

}  // namespace vel
