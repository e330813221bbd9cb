// The box and wavelet pickers and the pick refinement: table cases on small
// synthetic traces for their rules and edges, and seeded records compared
// index for index with a float32 numpy transcription of the same steps.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "display/BoxPicker.h"
#include "display/PickAll.h"
#include "display/WaveletPicker.h"
#include "support/Numerics.h"
#include "tests/NumpyRunner.h"
#include "tests/TestSupport.h"
#include "tests/display/SyntheticTraces.h"

namespace {

using vel::BoxPickParameters;

// Trace of NS zeros with VALUE at samples FROM..TO (counted from 1).
std::vector<float> Block(std::int32_t ns, std::int32_t from, std::int32_t to, float value,
                         std::vector<float> trace = {}) {
  if (trace.empty()) trace.assign(static_cast<std::size_t>(ns), 0.0f);
  for (std::int32_t i = from; i <= to; ++i) trace[static_cast<std::size_t>(i - 1)] = value;
  return trace;
}

TEST(TrifiltTest, WeightsOneOverDistanceRenormalisedAtTheEnds) {
  // From an untouched copy: the second sample sees the first as it was.
  std::vector<float> x = {3.0f, 0.0f, 0.0f, 0.0f};
  vel::TRIFILT(x, 4, 2);
  EXPECT_FLOAT_EQ(x[0], 3.0f / (1.0f + 1.0f + 0.5f));         // right neighbours only
  EXPECT_FLOAT_EQ(x[1], 3.0f / (1.0f + 1.0f + 1.0f + 0.5f));  // one left, two right
  EXPECT_FLOAT_EQ(x[2], 1.5f / (1.0f + 1.0f + 1.0f + 0.5f));  // no second right
  EXPECT_FLOAT_EQ(x[3], 0.0f);
  std::vector<float> flat(20, 7.0f);
  vel::TRIFILT(flat, 20, 7);
  for (const float v : flat) EXPECT_NEAR(v, 7.0f, 1e-5f);  // a constant stays constant
}

TEST(BoxPickerTest, SizesOfTheInitialGroup) {
  const vel::BoxPickSizes z = vel::BoxSizes(BoxPickParameters{}, 0.25f, 4000);
  EXPECT_EQ(z.NTOL, 20);
  EXPECT_EQ(z.P, 5);
  EXPECT_EQ(z.NPMIN, 28);
  EXPECT_EQ(z.NPSTEP, 3);
  EXPECT_EQ(z.NPMAX, 60);
  std::vector<std::int32_t> lengths;
  for (std::int32_t np = z.NPMIN; np <= z.NPMAX; np += z.NPSTEP) lengths.push_back(np);
  EXPECT_EQ(lengths, (std::vector<std::int32_t>{28, 31, 34, 37, 40, 43, 46, 49, 52, 55, 58}));
  // A short trace caps the longest box; steps below 1 count as 1.
  BoxPickParameters p;
  p.IBXSTEPS = 0;
  const vel::BoxPickSizes s = vel::BoxSizes(p, 0.25f, 40);
  EXPECT_EQ(s.NPMAX, 40);
  EXPECT_EQ(s.NPSTEP, 32);
}

// A positive block and, well after it, a negative one: the box sums of the
// first two lengths (28 and 31 at 0.25 ms) reach the same plateau, summed in
// the same order, and the plateau ends 3 samples apart.
std::vector<float> Doublet(std::int32_t ns) {
  return Block(ns, 300, 309, -100.0f, Block(ns, 200, 209, 100.0f));
}

TEST(BoxPickerTest, EqualPeaksOfSuccessiveLengthsAgree) {
  const std::vector<float> tr = Doublet(500);
  std::int32_t start = 5, pick = 99;
  vel::PICKBX(tr, 500, start, 500, 0.25f, pick, BoxPickParameters{});
  // The smoothed block starts at 193; the plateau of length 31 ends at
  // 193 + 30 = 223, moved back (1 + 1) x 31.
  EXPECT_EQ(pick, 223 - 2 * 31);
}

TEST(BoxPickerTest, EdgeCasesTable) {
  struct Case {
    const char* name;
    void (*change)(BoxPickParameters&);
    std::int32_t ns;
    std::int32_t expected;
  };
  const Case cases[] = {
      {"shortest longer than longest", [](BoxPickParameters& p) { p.BXPERMIN = 20.0f; }, 500, -1},
      {"shortest past the trace", [](BoxPickParameters& p) { p.BXPERMIN = 200.0f; }, 500, -1},
      {"no maxima kept", [](BoxPickParameters& p) { p.IBXMAXIMA = 0; }, 500, -1},
      {"blank maxima field", [](BoxPickParameters& p) { p.IBXMAXIMA = -999; }, 500, -1},
      // One step: lengths 28 and 60 only, whose peaks lie too far apart.
      {"blank steps field counts as one", [](BoxPickParameters& p) { p.IBXSTEPS = -999; }, 500,
       -1},
      {"one step", [](BoxPickParameters& p) { p.IBXSTEPS = 1; }, 500, -1},
      {"blank shortest length: lengths below one sample skipped",
       [](BoxPickParameters& p) { p.BXPERMIN = -999.0f; }, 500, -1},
      {"cycles forward past the trace", [](BoxPickParameters& p) { p.IBXCYCLES = -999; }, 500,
       -1},
      {"no cycles", [](BoxPickParameters& p) { p.IBXCYCLES = 0; }, 500, 223 - 31},
      {"longest box as long as the trace", [](BoxPickParameters& p) { p.BXPERMAX = 1000.0f; },
       500, -1},
  };
  const std::vector<float> tr = Doublet(500);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    BoxPickParameters p;
    c.change(p);
    std::int32_t start = 5, pick = 99;
    vel::PICKBX(tr, c.ns, start, c.ns, 0.25f, pick, p);
    EXPECT_EQ(pick, c.expected);
  }
}

TEST(BoxPickerTest, StartOfZeroIsSetToOneInTheCallersVariable) {
  const std::vector<float> tr = Doublet(500);
  std::int32_t start = 0, pick = 0;
  vel::PICKBX(tr, 500, start, 500, 0.25f, pick, BoxPickParameters{});
  EXPECT_EQ(start, 1);
  std::int32_t negative = -7;
  vel::PICKBX(tr, 500, negative, 500, 0.25f, pick, BoxPickParameters{});
  EXPECT_EQ(negative, 1);
}

TEST(BoxPickerTest, QuietTraceAndEmptyTraceGiveNoPick) {
  std::int32_t start = 5, pick = 99;
  vel::PICKBX(std::vector<float>(400, 0.0f), 400, start, 400, 0.25f, pick, BoxPickParameters{});
  EXPECT_EQ(pick, -1);
  vel::PICKBX({}, 0, start, 0, 0.25f, pick, BoxPickParameters{});
  EXPECT_EQ(pick, -1);
  // A count beyond the samples given is taken as their number.
  vel::PICKBX(std::vector<float>(10, 1.0f), 1000, start, 1000, 0.25f, pick, BoxPickParameters{});
  EXPECT_EQ(pick, -1);
}

TEST(WaveletPickerTest, PulseWidthsTable) {
  const struct {
    std::int32_t count, np;
  } cases[] = {{10, 3}, {20, 5}, {2, 3}, {17, 5}, {8, 3}, {40, 10}, {0, 3}, {-5, 3}};
  for (const auto& c : cases) EXPECT_EQ(vel::WaveletPulseSamples(c.count), c.np) << c.count;
}

TEST(WaveletPickerTest, CrosscorIsTheMeanOfProductsWithAZeroTail) {
  const std::vector<float> tr = {1, 2, 3, 4, 5, 6};
  const std::vector<float> w = {1, -1, 2};
  std::vector<float> out(6, 99.0f);
  vel::CROSSCOR(out, tr, 6, w, 3);
  EXPECT_EQ(out, (std::vector<float>{5.0f / 3, 7.0f / 3, 3.0f, 0, 0, 0}));
}

TEST(WaveletPickerTest, CrosscorWithAWaveletLongerThanTheTraceWritesOnlyZerosInside) {
  // The wavelet was cut from an earlier, longer record.
  std::vector<float> buffer(12, 99.0f);
  const std::span<float> out(buffer.data() + 3, 5);
  const std::vector<float> tr(5, 1.0f);
  const std::vector<float> w(8, 1.0f);
  vel::CROSSCOR(out, tr, 5, w, 8);
  for (std::size_t i = 0; i < buffer.size(); ++i)
    EXPECT_EQ(buffer[i], (i >= 3 && i < 8) ? 0.0f : 99.0f) << i;
  std::int32_t pick = 5;
  vel::PICKWV(out, 5, 0.0f, pick, 4.0f, 0.1f, 0.05f, 3);
  EXPECT_EQ(pick, 0);
}

// A balanced pattern one pulse apart: -1, 2, -1 (x SCALE) at K - NP, K, K + NP.
std::vector<float> Balanced(std::int32_t ns, std::int32_t k, std::int32_t np, float scale) {
  std::vector<float> xc(static_cast<std::size_t>(ns), 0.0f);
  xc[static_cast<std::size_t>(k - np - 1)] = -scale;
  xc[static_cast<std::size_t>(k - 1)] = 2.0f * scale;
  xc[static_cast<std::size_t>(k + np - 1)] = -scale;
  return xc;
}

TEST(WaveletPickerTest, PickwvTable) {
  struct Case {
    const char* name;
    std::vector<float> xc;
    float amax;
    std::int32_t np;
    std::int32_t expected;
  };
  std::vector<float> twoEvents = Balanced(200, 50, 3, 1.0f);
  const std::vector<float> later = Balanced(200, 120, 3, 3.0f);  // below 4 x the first
  for (std::size_t i = 0; i < later.size(); ++i) twoEvents[i] += later[i];
  std::vector<float> growing = Balanced(200, 50, 3, 1.0f);
  const std::vector<float> strong = Balanced(200, 120, 3, 5.0f);  // above 4 x the first
  for (std::size_t i = 0; i < strong.size(); ++i) growing[i] += strong[i];
  std::vector<float> lopsided = Balanced(200, 50, 3, 1.0f);
  lopsided[53 - 1] = -0.5f;
  const Case cases[] = {
      {"balanced pattern accepted", Balanced(100, 40, 3, 1.0f), 2.0f, 3, 40},
      {"too weak for the least amplitude", Balanced(100, 40, 3, 1.0f), 100.0f, 3, 0},
      {"trace of 7 NP samples", Balanced(21, 8, 3, 1.0f), 2.0f, 3, 0},
      {"later event not grown enough", twoEvents, 6.0f, 3, 50},
      {"later event grown enough", growing, 10.0f, 3, 120},
      {"unbalanced side lobes", lopsided, 2.0f, 3, 0},
      {"all zero", std::vector<float>(100, 0.0f), 0.0f, 3, 0},
      {"no pulse width", Balanced(100, 40, 3, 1.0f), 2.0f, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::int32_t pick = 99;
    vel::PICKWV(c.xc, static_cast<std::int32_t>(c.xc.size()), c.amax, pick, 4.0f, 0.1f, 0.05f,
                c.np);
    EXPECT_EQ(pick, c.expected);
  }
}

TEST(RefinepTest, NoiseOnlyWindowLeavesThePick) {
  std::mt19937 rng(5);
  std::normal_distribution<float> noise(0.0f, 1.0f);
  std::vector<float> tr(400);
  for (float& v : tr) v = noise(rng);
  std::int32_t pick = 200;
  vel::REFINEP(tr, 400, pick);
  EXPECT_EQ(pick, 200);
}

TEST(RefinepTest, MovesBackToAnEarlierRunAndStartsTheNextPassThere) {
  // Small noise, then a step from sample 150 on: a pick at 152 has the step
  // within its window (from 102), and the first 16-sample run beyond twice
  // the level of the trimmed window starts where the step does; the next
  // pass, from 150, stays there.
  std::mt19937 rng(9);
  std::normal_distribution<float> noise(0.0f, 1.0f);
  std::vector<float> tr(600);
  for (float& v : tr) v = noise(rng);
  for (std::size_t i = 149; i < tr.size(); ++i) tr[i] += 100.0f;
  std::int32_t pick = 152;
  vel::REFINEP(tr, 600, pick);
  EXPECT_EQ(pick, 150);
}

TEST(RefinepTest, StaysInsideTheTrace) {
  // Signal to the very end: a pick near the end may not move to a run that
  // would pass the last sample, and a pick outside the trace is left alone.
  std::vector<float> tr(60, 0.0f);
  for (std::size_t i = 50; i < 60; ++i) tr[i] = 100.0f;
  const struct {
    std::int32_t pick, expected;
  } cases[] = {{58, 58}, {60, 60}, {45, 45}, {61, 61}, {0, 0}, {-3, -3}};
  for (const auto& c : cases) {
    std::int32_t pick = c.pick;
    vel::REFINEP(tr, 60, pick);
    EXPECT_EQ(pick, c.expected) << c.pick;
  }
  // A pick past half of a short trace: the window is shortened to end at the
  // last sample (its half width 29 would reach 59).
  std::vector<float> shortTrace(40, 0.0f);
  for (std::size_t i = 10; i < 40; ++i) shortTrace[i] = 50.0f;
  std::int32_t pick = 30;
  vel::REFINEP(std::span<const float>(shortTrace), 40, pick);
  EXPECT_EQ(pick, 30);
}

// ---- against the numpy transcription ----

struct SyntheticCase {
  double dtMs;
  double peak;
  std::int32_t ns;
  std::int32_t cycles;
  std::uint32_t seed;
};

TEST(PickersAgainstNumpyTest, BoxWaveletAndRefinementIndicesAgree) {
  SKIP_WITHOUT_NUMPY();
  const SyntheticCase cases[] = {
      {0.25, 1000.0, 1200, 1, 1},  {0.5, -30.0, 1000, 1, 2},   {1.0, 5.0e4, 600, 0, 3},
      {2.0, 250.0, 400, 2, 4},     {0.125, -7.0e5, 2000, 1, 5},
  };
  testing_support::TempDir dir;
  int boxPicked = 0, wavePicked = 0;
  for (const SyntheticCase& c : cases) {
    SCOPED_TRACE("dt " + std::to_string(c.dtMs) + " peak " + std::to_string(c.peak));
    std::mt19937 rng(c.seed);
    constexpr std::int32_t kTraces = 8;
    picker_fixtures::Arrival arrival;
    arrival.peak = c.peak;
    arrival.frequencyHz = c.dtMs <= 0.5 ? 60.0 : 25.0;
    std::vector<std::vector<float>> traces;
    std::vector<std::int32_t> onsets;
    for (std::int32_t j = 0; j < kTraces; ++j) {
      arrival.noiseFraction = 0.002 + 0.01 * j;
      const std::int32_t onset = c.ns / 8 + j * c.ns / 20;
      onsets.push_back(onset);
      traces.push_back(picker_fixtures::NoiseThenRicker(rng, c.ns, c.dtMs, onset, arrival));
    }
    // The wavelet: 40 samples cut around the first trace's arrival.
    const std::int32_t m = 40;
    std::vector<float> wavelet(traces[0].begin() + onsets[0] - 5,
                               traces[0].begin() + onsets[0] - 5 + m);

    std::vector<std::int32_t> box(kTraces), wv(kTraces), refined(kTraces), starts(kTraces);
    std::vector<std::vector<float>> corr(kTraces);
    BoxPickParameters bp;
    bp.IBXCYCLES = c.cycles;
    const vel::WaveletPickParameters wp;
    const float dt = static_cast<float>(c.dtMs);
    for (std::int32_t j = 0; j < kTraces; ++j) {
      const std::vector<float>& tr = traces[static_cast<std::size_t>(j)];
      std::int32_t start = 5;
      vel::PICKBX(tr, c.ns, start, c.ns, dt, box[j], bp);
      corr[j].assign(static_cast<std::size_t>(c.ns), 0.0f);
      vel::CROSSCOR(corr[j], tr, c.ns, wavelet, m);
      float lo = 1e30f, hi = -1e30f;
      sup::FINDNX(corr[j], c.ns, lo, hi);
      const float amax = std::fabs(lo) > hi ? std::fabs(lo) : std::fabs(hi);
      vel::PICKWV(corr[j], c.ns, amax, wv[j], wp.WVGROWTH, wp.WVMINAMP, wp.WVSIDE,
                  vel::WaveletPulseSamples(m));
      // Refinement from a pick some way after the onset.
      starts[j] = onsets[j] + 20 + 7 * j;
      refined[j] = starts[j];
      vel::REFINEP(tr, c.ns, refined[j]);
    }

    std::string input;
    testing_support::AppendBinary(input, std::vector<std::int32_t>{kTraces, c.ns, m, c.cycles});
    testing_support::AppendBinary(input, std::vector<float>{dt});
    for (const auto& tr : traces) testing_support::AppendBinary(input, tr);
    testing_support::AppendBinary(input, wavelet);
    testing_support::AppendBinary(input, starts);
    testing_support::WriteFile(dir / "case.bin", input);
    ASSERT_TRUE(testing_support::RunPythonScript(
        testing_support::TestScript("display/pickers_reference.py"),
        {(dir / "case.bin").string(), (dir / "out.bin").string()}));
    const std::string output = testing_support::ReadFile(dir / "out.bin");
    std::size_t at = 0;
    const auto refBox = testing_support::TakeBinary<std::int32_t>(output, at, kTraces);
    const auto refWv = testing_support::TakeBinary<std::int32_t>(output, at, kTraces);
    const auto refRefined = testing_support::TakeBinary<std::int32_t>(output, at, kTraces);
    const auto refCorr =
        testing_support::TakeBinary<float>(output, at, static_cast<std::size_t>(kTraces) * c.ns);
    ASSERT_EQ(refCorr.size(), static_cast<std::size_t>(kTraces) * c.ns);
    for (std::int32_t j = 0; j < kTraces; ++j) {
      SCOPED_TRACE("trace " + std::to_string(j + 1) + ", onset " + std::to_string(onsets[j]));
      EXPECT_EQ(box[j], refBox[j]) << "box pick: program " << box[j] << ", numpy " << refBox[j];
      EXPECT_EQ(wv[j], refWv[j]) << "wavelet pick: program " << wv[j] << ", numpy " << refWv[j];
      EXPECT_EQ(refined[j], refRefined[j])
          << "refined from " << starts[j] << ": program " << refined[j] << ", numpy "
          << refRefined[j];
      float scale = 0.0f;
      for (std::int32_t i = 0; i < c.ns; ++i) scale = std::max(scale, std::fabs(refCorr[j * c.ns + i]));
      for (std::int32_t i = 0; i < c.ns; ++i) {
        const float want = refCorr[static_cast<std::size_t>(j * c.ns + i)];
        ASSERT_NEAR(corr[j][static_cast<std::size_t>(i)], want, 1e-5f * scale + 1e-30f)
            << "correlation sample " << i + 1;
      }
      boxPicked += box[j] > 0;
      wavePicked += wv[j] > 0;
    }
  }
  // Each picker finds picks on a good share of the traces (the others,
  // where it finds none, agree as well).
  EXPECT_GE(boxPicked, 12);
  EXPECT_GE(wavePicked, 12);
}

}  // namespace
