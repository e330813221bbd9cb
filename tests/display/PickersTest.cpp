// The simple and Hatherly first-break pickers, the step that picks the
// unpicked traces after an import, the picking parameters at start-up and
// the signal routines of the picking module.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>
#include <random>
#include <vector>

#include "display/Pickers.h"
#include "tests/display/SyntheticTraces.h"

namespace {

using picker_fixtures::AbsMax;
using picker_fixtures::Arrival;
using picker_fixtures::NoiseThenRicker;

// 0 up to sample STEP - 1, LEVEL from sample STEP on.
std::vector<float> StepTrace(int ns, int step, float level) {
  std::vector<float> t(static_cast<std::size_t>(ns), 0.0f);
  for (int i = step; i <= ns; ++i) t[static_cast<std::size_t>(i - 1)] = level;
  return t;
}

std::int32_t SimplePick(const std::vector<float>& tr, std::int32_t ns, float trmax, std::int32_t np,
                        float finc = 0.043f, float fspike = 0.033f) {
  std::int32_t pick = -7;
  vel::PICKSV(tr, ns, trmax, pick, finc, fspike, np);
  return pick;
}

// The simple picker as its rule reads, window by window, for comparison.
std::int32_t SimplePickByRule(const std::vector<float>& tr, int ns, float trmax, float finc,
                              float fspike, int np) {
  const float t1 = trmax * finc + 1.5f;
  const float t2 = trmax * fspike + 1.5f;
  const auto TR = [&](int i) { return tr[static_cast<std::size_t>(i - 1)]; };
  for (int i = 1; i <= ns - 2 * np; ++i) {
    bool down = true;
    for (int k = 0; k <= np; ++k) {
      down = down && TR(i + k + 1) - TR(i + k) < t1 && TR(i + np - 1 + k) < -t2;
    }
    if (down) return i;
    bool up = true;
    for (int k = 0; k <= np; ++k) {
      up = up && TR(i + k + 1) - TR(i + k) > -t1 && TR(i + np - 1 + k) > t2;
    }
    if (up) return i;
  }
  return 0;
}

TEST(PickParametersTest, StartUpValues) {
  const vel::PickingState s;
  EXPECT_EQ(s.method, vel::kPickNone);
  const vel::PickParameters& p = s.parameters;
  EXPECT_FLOAT_EQ(p.simple.SVMININC, 0.043f);
  EXPECT_FLOAT_EQ(p.simple.SVSPIKE, 0.033f);
  EXPECT_FLOAT_EQ(p.simple.SVPULSE, 3.0f);
  EXPECT_FALSE(p.simple.LSVREFINE);
  EXPECT_FLOAT_EQ(p.hatherly.HLYNOISE, 0.0191f);
  EXPECT_FLOAT_EQ(p.box.BXPERMIN, 7.0f);
  EXPECT_FLOAT_EQ(p.box.BXPERMAX, 15.0f);
  EXPECT_FLOAT_EQ(p.box.BXTOL, 5.0f);
  EXPECT_FLOAT_EQ(p.box.BXTHRESH, 5.0f);
  EXPECT_FLOAT_EQ(p.box.BXAVGPCT, 30.0f);
  EXPECT_EQ(p.box.IBXMAXIMA, 10);
  EXPECT_EQ(p.box.IBXSTEPS, 10);
  EXPECT_EQ(p.box.IBXCYCLES, 1);
  EXPECT_TRUE(p.box.LBXPOWER);
  EXPECT_TRUE(p.box.LBXAVERAGE);
  EXPECT_FALSE(p.box.LBXREFINE);
  EXPECT_FLOAT_EQ(p.wavelet.WVGROWTH, 4.0f);
  EXPECT_FLOAT_EQ(p.wavelet.WVMINAMP, 0.1f);
  EXPECT_FLOAT_EQ(p.wavelet.WVSIDE, 0.05f);
  EXPECT_FALSE(p.wavelet.LWVREFINE);
}

TEST(PickParametersTest, PulseSamples) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  struct Case {
    float pulse, sampint;
    std::int32_t expected;
  } const cases[] = {
      {3.0f, 1.0f, 3},    {3.0f, 0.25f, 12},
      {3.0f, 0.125f, 24}, {4.5f, 1.0f, 5},
      {-4.5f, 1.0f, 3},   {3.0f, 2.0f, 3},  // at least 3, halves away
      {3.0f, 0.0f, 3},    {3.0f, -0.5f, 3},
      {3.0f, nan, 3},  // no usable interval
      {nan, 1.0f, 3},     {3.0f, 1e-37f, std::numeric_limits<std::int32_t>::max()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.pulse << " ms at " << c.sampint << " ms");
    EXPECT_EQ(vel::SimplePulseSamples(c.pulse, c.sampint), c.expected);
  }
}

TEST(SimplePickerTest, StepIsPickedNpMinusOneSamplesBeforeThreshold) {
  // T1 = 1.93, T2 = 1.83: the first window whose samples 3..6 lie beyond
  // -T2 starts two samples before the step, in either direction.
  EXPECT_EQ(SimplePick(StepTrace(40, 20, -10.0f), 40, 10.0f, 3), 18);
  EXPECT_EQ(SimplePick(StepTrace(40, 20, 10.0f), 40, 10.0f, 3), 18);
  // A wider pulse moves the window start further back.
  EXPECT_EQ(SimplePick(StepTrace(40, 20, -10.0f), 40, 10.0f, 5), 16);
  // A count beyond the samples given is taken as their number.
  EXPECT_EQ(SimplePick(StepTrace(40, 20, -10.0f), 100000, 10.0f, 3), 18);
}

TEST(SimplePickerTest, NoPick) {
  struct Case {
    const char* name;
    std::vector<float> trace;
    std::int32_t ns, np;
  } const cases[] = {
      {"zeros", std::vector<float>(40, 0.0f), 40, 3},
      {"below the threshold", StepTrace(40, 20, -1.8f), 40, 3},
      {"NS = 2 NP", StepTrace(6, 1, -10.0f), 6, 3},
      {"NS < 2 NP", StepTrace(5, 1, -10.0f), 5, 3},
      {"NS 0", StepTrace(40, 20, -10.0f), 0, 3},
      {"NS negative", StepTrace(40, 20, -10.0f), -5, 3},
      {"empty trace", {}, 40, 3},
      {"NP 0", StepTrace(40, 20, -10.0f), 40, 0},
      {"NP negative", StepTrace(40, 20, -10.0f), 40, -2},
      {"NP huge", StepTrace(40, 20, -10.0f), 40, std::numeric_limits<std::int32_t>::max()},
      {"NaN samples", std::vector<float>(40, std::numeric_limits<float>::quiet_NaN()), 40, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(SimplePick(c.trace, c.ns, 10.0f, c.np), 0);
  }
}

TEST(SimplePickerTest, AgreesWithTheRuleOnRandomTraces) {
  // Integer random walks with plateaus and jumps, so that windows pass and
  // fail at every offset; thresholds and widths vary.
  std::mt19937 rng(11);
  std::uniform_int_distribution<int> move(-6, 6);
  std::uniform_int_distribution<int> width(1, 8);
  std::uniform_int_distribution<int> length(1, 200);
  std::uniform_real_distribution<float> fraction(-0.02f, 0.2f);
  for (int round = 0; round < 3000; ++round) {
    const int ns = length(rng);
    std::vector<float> tr(static_cast<std::size_t>(ns));
    float v = 0.0f;
    for (float& x : tr) {
      const int m = move(rng);
      if (m == 6)
        v += 25.0f;
      else if (m == -6)
        v -= 25.0f;
      else if (std::abs(m) > 2)
        v += static_cast<float>(m);
      x = v;
    }
    const float trmax = AbsMax(tr);
    const int np = width(rng);
    const float finc = fraction(rng);
    const float fspike = fraction(rng);
    SCOPED_TRACE(testing::Message() << "round " << round << " ns " << ns << " np " << np);
    EXPECT_EQ(SimplePick(tr, ns, trmax, np, finc, fspike),
              SimplePickByRule(tr, ns, trmax, finc, fspike, np));
  }
}

// Onset of a Ricker arrival in noise, 0.5 ms sampling, 1000 samples: each
// picker's pick lies within its stated tolerance of the onset, for either
// polarity and two frequencies, over 40 seeded traces.
TEST(PickersOnSyntheticArrivals, PicksNearTheOnset) {
  // Tolerances in samples around the onset (first sample at 1 % of the peak).
  // The simple picker starts its window NP - 1 samples before the amplitude
  // passes 3.3 % of the maximum; the Hatherly picker waits for the running
  // deviation to rise, a few samples into the first lobe.
  constexpr int kSimpleEarly = 4, kSimpleLate = 4;
  constexpr int kHatherlyEarly = 2, kHatherlyLate = 10;
  constexpr double kDt = 0.5;
  constexpr std::int32_t kNs = 1000;
  std::mt19937 rng(2026);
  std::uniform_int_distribution<int> onsetAt(150, 750);
  for (int seed = 0; seed < 40; ++seed) {
    Arrival arrival;
    arrival.peak = seed % 2 == 0 ? 1000.0 : -1000.0;
    arrival.frequencyHz = seed % 4 < 2 ? 40.0 : 80.0;
    arrival.noiseFraction = 0.01;
    const int onset = onsetAt(rng);
    const std::vector<float> tr = NoiseThenRicker(rng, kNs, kDt, onset, arrival);
    const float trmax = AbsMax(tr);
    SCOPED_TRACE(testing::Message() << "trace " << seed << " onset " << onset << " "
                                    << arrival.frequencyHz << " Hz peak " << arrival.peak);

    const std::int32_t sv =
        SimplePick(tr, kNs, trmax, vel::SimplePulseSamples(3.0f, static_cast<float>(kDt)));
    EXPECT_GE(sv, onset - kSimpleEarly);
    EXPECT_LE(sv, onset + kSimpleLate);

    float noise = trmax * 0.0191f;
    std::int32_t hly = -7;
    vel::PICKHLY(tr, kNs, noise, hly, 1, kNs);
    EXPECT_GE(hly, onset - kHatherlyEarly);
    EXPECT_LE(hly, onset + kHatherlyLate);
  }
}

TEST(HatherlyPickerTest, ZerosGiveNoPickAndHalveTheNoiseFourTimes) {
  const std::vector<float> zeros(500, 0.0f);
  float noise = 1.0f;
  std::int32_t pick = -7;
  vel::PICKHLY(zeros, 500, noise, pick, 1, 500);
  EXPECT_EQ(pick, 0);
  EXPECT_FLOAT_EQ(noise, 1.0f / 16.0f);  // halved before passes 2, 3, 4 and once after
}

TEST(HatherlyPickerTest, OutOfReachGivesNoPickAndKeepsTheNoise) {
  std::mt19937 rng(5);
  const std::vector<float> tr = NoiseThenRicker(rng, 400, 0.5, 100, Arrival{});
  const float nan = std::numeric_limits<float>::quiet_NaN();
  struct Case {
    const char* name;
    std::int32_t ns;
    float noise;
    std::int32_t istart, iend;
  } const cases[] = {
      {"no samples", 0, 19.0f, 1, 400},
      {"negative count", -3, 19.0f, 1, 400},
      {"five samples", 5, 19.0f, 1, 400},
      {"twelve samples, all cleared", 12, 19.0f, 1, 12},
      {"negative noise", 400, -1.0f, 1, 400},
      {"NaN noise", 400, nan, 1, 400},
      {"start after end", 400, 19.0f, 300, 200},
      {"end before the first sample", 400, 19.0f, -10, 0},
      {"start past the trace", 400, 19.0f, 401, 800},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    float noise = c.noise;
    std::int32_t pick = -7;
    vel::PICKHLY(tr, c.ns, noise, pick, c.istart, c.iend);
    EXPECT_EQ(pick, 0);
    if (std::isnan(c.noise)) {
      EXPECT_TRUE(std::isnan(noise));
    } else {
      EXPECT_EQ(noise, c.noise);
    }
  }
}

TEST(HatherlyPickerTest, PicksStayInsideTheRange) {
  // Arrivals anywhere, ranges anywhere (also partly outside the trace):
  // a pick is 0 or inside both the range and the trace.
  std::mt19937 rng(17);
  std::uniform_int_distribution<int> lengthOf(13, 600);
  std::uniform_int_distribution<int> anywhere(-50, 700);
  int picked = 0;
  for (int round = 0; round < 400; ++round) {
    const int ns = lengthOf(rng);
    const int onset = std::uniform_int_distribution<int>(1, ns)(rng);
    Arrival arrival;
    arrival.frequencyHz = round % 2 == 0 ? 40.0 : 120.0;
    arrival.noiseFraction = 0.02;
    const std::vector<float> tr = NoiseThenRicker(rng, ns, 0.5, onset, arrival);
    const int istart = anywhere(rng);
    const int iend = round % 3 == 0 ? ns : anywhere(rng);
    float noise = AbsMax(tr) * 0.0191f;
    std::int32_t pick = -7;
    vel::PICKHLY(tr, ns, noise, pick, istart, iend);
    SCOPED_TRACE(testing::Message()
                 << "round " << round << " ns " << ns << " range " << istart << ".." << iend);
    if (pick == 0) continue;
    ++picked;
    EXPECT_GE(pick, std::max(istart, 1));
    EXPECT_LE(pick, std::min(iend, ns));
  }
  EXPECT_GT(picked, 50);  // the ranges were not all empty
}

TEST(HatherlyPickerTest, LateStartSkipsAnEarlierArrival) {
  std::mt19937 rng(23);
  const std::vector<float> tr = NoiseThenRicker(rng, 1000, 0.5, 300, Arrival{});
  float noise = AbsMax(tr) * 0.0191f;
  std::int32_t pick = -7;
  vel::PICKHLY(tr, 1000, noise, pick, 1, 1000);
  EXPECT_NEAR(pick, 305, 8);
  noise = AbsMax(tr) * 0.0191f;
  vel::PICKHLY(tr, 1000, noise, pick, 400, 1000);
  EXPECT_TRUE(pick == 0 || pick >= 400) << pick;
}

// ---- After an import ----

vel::ShotRecord StepRecord(float sampint) {
  vel::ShotRecord rec;
  rec.NSAMP = 40;
  rec.NTRACE = 4;
  rec.SAMPINT = sampint;
  EXPECT_TRUE(vel::RebuildTraceArrays(rec));
  for (std::int32_t j = 1; j <= 3; ++j) {
    const std::vector<float> step = StepTrace(40, 20, j == 2 ? 10.0f : -10.0f);
    std::copy(step.begin(), step.end(), vel::Trace(rec, j).begin());
    rec.TRACEMAX[static_cast<std::size_t>(j - 1)] = j == 3 ? -10.0f : 10.0f;  // sign ignored
  }
  rec.IBPICK = {5, 0, -1, 3};  // traces 1 and 4 came with picks; 4 is all zeros
  return rec;
}

TEST(AutoPickUnpickedTest, PicksOnlyTracesWithoutPick) {
  vel::ShotRecord rec = StepRecord(1.0f);  // 3 ms pulse = 3 samples
  vel::AutoPickUnpicked(rec, vel::SimplePickParameters{});
  EXPECT_EQ(rec.IBPICK, (std::vector<std::int32_t>{5, 18, 18, 3}));
  EXPECT_TRUE(rec.LPICKS);
}

TEST(AutoPickUnpickedTest, UsesTheGivenParameters) {
  vel::ShotRecord rec = StepRecord(0.5f);
  vel::SimplePickParameters pars;
  pars.SVPULSE = 2.5f;  // 5 samples
  vel::AutoPickUnpicked(rec, pars);
  EXPECT_EQ(rec.IBPICK, (std::vector<std::int32_t>{5, 16, 16, 3}));
  pars.SVSPIKE = 1.0f;  // threshold above every sample: nothing found
  rec.IBPICK = {0, 0, 0, 0};
  vel::AutoPickUnpicked(rec, pars);
  EXPECT_EQ(rec.IBPICK, (std::vector<std::int32_t>{0, 0, 0, 0}));
}

TEST(AutoPickUnpickedTest, ZeroSampleIntervalUsesTheShortestPulse) {
  vel::ShotRecord rec = StepRecord(0.0f);
  vel::AutoPickUnpicked(rec, vel::SimplePickParameters{});
  EXPECT_EQ(rec.IBPICK, (std::vector<std::int32_t>{5, 18, 18, 3}));
}

TEST(AutoPickUnpickedTest, ArraysShorterThanTheTraceCount) {
  vel::ShotRecord rec = StepRecord(1.0f);
  rec.NTRACE = 9;  // more than the arrays hold
  rec.TRACEMAX.resize(3);
  vel::AutoPickUnpicked(rec, vel::SimplePickParameters{});
  EXPECT_EQ(rec.IBPICK, (std::vector<std::int32_t>{5, 18, 18, 3}));
  EXPECT_TRUE(rec.LPICKS);

  vel::ShotRecord empty;
  vel::AutoPickUnpicked(empty, vel::SimplePickParameters{});
  EXPECT_TRUE(empty.LPICKS);
}

// ---- Signal routines ----

TEST(SignalRoutinesTest, SmoothingKeepsTheEnds) {
  const std::vector<float> in = {5, 0, 0, 10, 0, 0, 7};
  std::vector<float> out(7, -1.0f);
  vel::MWA(out, in, 7);
  EXPECT_EQ(out, (std::vector<float>{5, 0, 2, 6, 2, 0, 7}));
  std::vector<float> few(3, -1.0f);
  vel::MWA(few, in, 3);
  EXPECT_EQ(few, (std::vector<float>{5, 0, 0}));
  vel::MWA(few, in, 50);  // bounded by the shorter array
  EXPECT_EQ(few, (std::vector<float>{5, 0, 0}));
}

TEST(SignalRoutinesTest, HilbertOfAnImpulse) {
  std::vector<float> in(11, 0.0f);
  in[5] = 1.0f;  // sample 6
  std::vector<float> out(11, -1.0f);
  vel::HILBERT(out, in, 11, 2);
  const std::vector<float> expected = {0, 0, 1.0f / 3, 0, 1, 0, -1, 0, -1.0f / 3, 0, 0};
  for (std::size_t i = 0; i < out.size(); ++i) EXPECT_FLOAT_EQ(out[i], expected[i]) << i;
  // The last sample never enters as a later term (i + b must stay below N).
  std::fill(in.begin(), in.end(), 0.0f);
  in[10] = 1.0f;
  vel::HILBERT(out, in, 11, 3);
  EXPECT_FLOAT_EQ(out[9], 0.0f);
  EXPECT_FLOAT_EQ(out[7], 0.0f);
}

TEST(SignalRoutinesTest, InstantaneousFrequencyOfAPhasor) {
  constexpr int n = 64;
  const double w = 0.3;  // radians per sample
  std::vector<float> x(n), h(n), out(n);
  for (int i = 0; i < n; ++i) {
    x[static_cast<std::size_t>(i)] = static_cast<float>(std::cos(w * i));
    h[static_cast<std::size_t>(i)] = static_cast<float>(std::sin(w * i));
  }
  vel::IFREQ(out, x, h, n);
  for (const float f : out) EXPECT_NEAR(f, std::sin(w), 1e-5);

  std::fill(x.begin(), x.end(), 0.0f);
  std::fill(h.begin(), h.end(), 0.0f);
  vel::IFREQ(out, x, h, n);
  for (const float f : out) EXPECT_EQ(f, 0.0f);

  std::vector<float> two = {9, 9};
  vel::IFREQ(two, x, h, 2);
  EXPECT_EQ(two, (std::vector<float>{0, 0}));
}

TEST(SignalRoutinesTest, PickIfLeavesThePick) {
  std::int32_t pick = 42;
  vel::PICKIF(StepTrace(40, 20, 10.0f), 40, pick);
  EXPECT_EQ(pick, 42);
}

}  // namespace
