#pragma once
// Synthetic first-arrival traces for the picker tests and benchmarks:
// Gaussian noise, then a Ricker wavelet whose onset (the first sample at
// which the noiseless wavelet reaches 1 % of its peak) is a known sample.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <random>
#include <vector>

namespace picker_fixtures {

struct Arrival {
  double peak = 1000.0;         // signed peak amplitude of the wavelet
  double frequencyHz = 40.0;    // dominant frequency
  double noiseFraction = 0.01;  // noise standard deviation, fraction of |peak|
};

/// Half-width in ms of a Ricker wavelet of frequency F: beyond it the wavelet
/// stays below 1 % of its peak.
inline double RickerHalfWidthMs(double frequencyHz) {
  const double pf = std::numbers::pi * frequencyHz / 1000.0;  // per ms
  double half = 0.0;
  for (double t = 0.0; t < 1000.0 / frequencyHz; t += 0.001) {
    const double a = pf * pf * t * t;
    if (std::fabs((1.0 - 2.0 * a) * std::exp(-a)) >= 0.01) half = t;
  }
  return half;
}

/// NS samples at DT ms: noise from RNG throughout and a Ricker wavelet whose
/// onset is sample ONSET (counted from 1).
inline std::vector<float> NoiseThenRicker(std::mt19937& rng, std::int32_t ns, double dtMs,
                                          std::int32_t onset, const Arrival& arrival) {
  std::normal_distribution<double> noise(0.0, std::fabs(arrival.peak) * arrival.noiseFraction);
  const double pf = std::numbers::pi * arrival.frequencyHz / 1000.0;
  const double centre = onset * dtMs + RickerHalfWidthMs(arrival.frequencyHz);
  std::vector<float> trace(static_cast<std::size_t>(ns));
  for (std::int32_t i = 1; i <= ns; ++i) {
    const double t = i * dtMs - centre;
    const double a = pf * pf * t * t;
    trace[static_cast<std::size_t>(i - 1)] =
        static_cast<float>(arrival.peak * (1.0 - 2.0 * a) * std::exp(-a) + noise(rng));
  }
  return trace;
}

/// Largest absolute sample.
inline float AbsMax(const std::vector<float>& trace) {
  float m = 0.0f;
  for (const float v : trace) m = std::max(m, std::fabs(v));
  return m;
}

}  // namespace picker_fixtures
