#include "tools/sample/SampleShot.h"

#include <cmath>
#include <cstdint>

#include "formats/Seg2Out.h"
#include "support/UserMessages.h"

namespace sample_shot {
namespace {

constexpr double kPi = 3.14159265358979323846;

/// A sharp-onset wavelet: zero before T = 0, then a decaying 60 Hz cycle.
double Wavelet(double tMs) {
  if (tMs < 0.0) return 0.0;
  return std::sin(2.0 * kPi * 0.060 * tMs) * std::exp(-tMs / 10.0);
}

/// Repeatable small noise in -1..1 (a linear congruential sequence).
class Noise {
 public:
  double Next() {
    state_ = state_ * 6364136223846793005ull + 1442695040888963407ull;
    return static_cast<double>(state_ >> 11) / static_cast<double>(1ull << 52) - 1.0;
  }

 private:
  std::uint64_t state_ = 20261210;
};

/// The head wave's intercept time (ms), or nothing when the refractor is not faster.
double InterceptTime(const Model& m) {
  const double ratio = m.upperVelocity / m.lowerVelocity;
  return 2.0 * m.depth * std::sqrt(1.0 - ratio * ratio) / m.upperVelocity * 1000.0;
}

/// Distance from the shot past which the head wave exists.
double CriticalDistance(const Model& m) {
  const double ratio = m.upperVelocity / m.lowerVelocity;
  return 2.0 * m.depth * ratio / std::sqrt(1.0 - ratio * ratio);
}

}  // namespace

double FirstArrival(const Model& m, double offset) {
  const double direct = offset / m.upperVelocity * 1000.0;
  if (m.lowerVelocity <= m.upperVelocity || offset < CriticalDistance(m)) return direct;
  return std::min(direct, offset / m.lowerVelocity * 1000.0 + InterceptTime(m));
}

void Make(vel::ShotRecord& rec, const Model& m) {
  rec = vel::ShotRecord{};
  rec.CRECNAME = "sample-shot";
  rec.NTRACE = m.traces;
  rec.NSAMP = m.samples;
  rec.SAMPINT = m.sampleInterval;
  rec.SPACING = m.spacing;
  rec.ISHOT = 1;
  rec.CUNITS = "M";
  if (!vel::RebuildTraceArrays(rec)) return;
  Noise noise;
  const bool headWave = m.lowerVelocity > m.upperVelocity;
  for (int j = 0; j < m.traces; ++j) {
    const double offset = m.spacing * (j + 1);
    rec.GEOLOC[static_cast<std::size_t>(j)] = static_cast<float>(offset);
    rec.GOFF[static_cast<std::size_t>(j)] = static_cast<float>(offset);
    const double direct = offset / m.upperVelocity * 1000.0;
    const double head = offset / m.lowerVelocity * 1000.0 + InterceptTime(m);
    const bool hasHead = headWave && offset >= CriticalDistance(m);
    // Spherical spreading for the direct wave; the head wave is weaker and
    // falls off faster.
    const double directAmp = 1000.0 / offset;
    const double headAmp = 2500.0 / (offset * offset) + 8.0;
    float* trace = rec.TRACES.data() + static_cast<std::size_t>(j) * m.samples;
    float peak = 0.0f;
    for (int i = 0; i < m.samples; ++i) {
      const double t = i * static_cast<double>(m.sampleInterval);
      double v = directAmp * Wavelet(t - direct);
      if (hasHead) v += headAmp * Wavelet(t - head);
      v += 0.1 * noise.Next();
      trace[i] = static_cast<float>(v);
      peak = std::max(peak, std::fabs(trace[i]));
    }
    rec.TRACEMAX[static_cast<std::size_t>(j)] = peak;
  }
}

bool Write(const std::string& path, std::string& why, const Model& m) {
  vel::ShotRecord rec;
  Make(rec, m);
  if (rec.NTRACE != m.traces || rec.TRACES.empty()) {
    why = "cannot hold the record in memory";
    return false;
  }
  // The writer reports its failures as messages: keep the text for WHY.
  std::string said;
  sup::SetUserMessageHook([&said](sup::UserMessageKind, std::string_view, std::string_view text) {
    said = std::string(text);
  });
  int error = 0;
  vel::SEG2OUT(rec, path, false, 1, false, 0, error);
  sup::SetUserMessageHook({});
  if (error != 0) why = said.empty() ? "cannot write " + path : said;
  return error == 0;
}

}  // namespace sample_shot
