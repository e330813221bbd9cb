// The FFT, the end taper, the normalised spectrum and the FFT band-pass:
// against a naive DFT, against numpy's FFT on the same seeded input, and on
// the cases whose answer is known exactly.
#include "display/Spectrum.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <random>
#include <string>
#include <vector>

#include "formats/Seg2In.h"
#include "record/ShotRecord.h"
#include "support/UserMessages.h"
#include "tests/NumpyRunner.h"
#include "tests/TestSupport.h"

namespace {

using vel::BandpassFilter;

std::vector<float> RandomValues(std::size_t n, unsigned seed) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<float> u(-1.0f, 1.0f);
  std::vector<float> v(n);
  for (float& x : v) x = u(rng);
  return v;
}

float LargestMagnitude(const std::vector<float>& v) {
  float top = 0.0f;
  for (float x : v) top = std::max(top, std::abs(x));
  return top;
}

// The reference script, loaded into the numpy runner's body as REF.
std::string WithReference(const std::string& body) {
  return "import runpy\nREF = runpy.run_path('" +
         testing_support::TestScript("display/spectrum_reference.py").string() + "')\n" + body;
}

TEST(SpectrumTest, NfftIsTheSmallestPowerOfTwoNotBelowN) {
  struct Case {
    std::int64_t n, nfft;
  };
  for (const Case c : {Case{1, 1}, Case{2, 2}, Case{3, 4}, Case{1000, 1024}, Case{1024, 1024},
                       Case{1025, 2048}, Case{2097152, 2097152}, Case{2097153, 4194304},
                       Case{0, 1}, Case{-5, 1}}) {
    SCOPED_TRACE(c.n);
    EXPECT_EQ(vel::NFFT(c.n), c.nfft);
  }
}

TEST(SpectrumTest, CoolAgreesWithANaiveTransformInDouble) {
  for (int m = 0; m <= 6; ++m) {
    SCOPED_TRACE(m);
    const std::size_t n = std::size_t{1} << m;
    const std::vector<float> input = RandomValues(2 * n, 11u + static_cast<unsigned>(m));
    for (const float sign : {1.0f, -1.0f}) {
      std::vector<float> data = input;
      vel::COOL(data, m, sign);
      double top = 0.0;
      std::vector<std::complex<double>> want(n);
      for (std::size_t k = 0; k < n; ++k) {
        for (std::size_t j = 0; j < n; ++j) {
          const double angle = sign * 2.0 * M_PI * static_cast<double>(j * k % n) / static_cast<double>(n);
          want[k] += std::complex<double>(input[2 * j], input[2 * j + 1]) *
                     std::complex<double>(std::cos(angle), std::sin(angle));
        }
        top = std::max(top, std::abs(want[k]));
      }
      for (std::size_t k = 0; k < n; ++k) {
        EXPECT_NEAR(data[2 * k], want[k].real(), 1e-5 * top) << "k " << k << " sign " << sign;
        EXPECT_NEAR(data[2 * k + 1], want[k].imag(), 1e-5 * top) << "k " << k << " sign " << sign;
      }
    }
  }
}

TEST(SpectrumTest, CoolAgreesWithNumpyUpTo65536Points) {
  SKIP_WITHOUT_NUMPY();
  constexpr int kLargest = 16;
  std::vector<float> all;
  std::vector<std::vector<float>> inputs;
  for (int m = 0; m <= kLargest; ++m) {
    inputs.push_back(RandomValues(std::size_t{2} << m, 100u + static_cast<unsigned>(m)));
    all.insert(all.end(), inputs.back().begin(), inputs.back().end());
  }
  // For every size: n x ifft (our sign +1), then fft (our sign -1), interleaved.
  const std::vector<float> want = testing_support::RunNumpy(
      "OUT = []\nat = 0\n"
      "for m in range(" + std::to_string(kLargest + 1) + "):\n"
      "    n = 1 << m\n"
      "    x = INPUTS[0][at:at + 2 * n].astype(np.float64)\n"
      "    at += 2 * n\n"
      "    z = x[0::2] + 1j * x[1::2]\n"
      "    for y in (np.fft.ifft(z) * n, np.fft.fft(z)):\n"
      "        OUT.append(np.column_stack([y.real, y.imag]).ravel())\n"
      "OUT = np.concatenate(OUT)\n",
      {all});
  ASSERT_EQ(want.size(), 2 * all.size());
  std::size_t at = 0;
  for (int m = 0; m <= kLargest; ++m) {
    for (const float sign : {1.0f, -1.0f}) {
      SCOPED_TRACE(testing::Message() << "M " << m << " sign " << sign);
      std::vector<float> data = inputs[static_cast<std::size_t>(m)];
      vel::COOL(data, m, sign);
      const std::vector<float> ref(want.begin() + static_cast<std::ptrdiff_t>(at),
                                   want.begin() + static_cast<std::ptrdiff_t>(at + data.size()));
      at += data.size();
      const float tolerance = 1e-5f * LargestMagnitude(ref);
      int bad = 0;
      for (std::size_t i = 0; i < data.size(); ++i)
        if (std::abs(data[i] - ref[i]) > tolerance && ++bad < 4)
          ADD_FAILURE() << "value " << i << ": " << data[i] << " against " << ref[i];
      EXPECT_EQ(bad, 0);
    }
  }
}

TEST(SpectrumTest, ForwardThenInverseGivesTheInputTimesTheLength) {
  for (const int m : {0, 1, 5, 12}) {
    SCOPED_TRACE(m);
    const std::vector<float> input = RandomValues(std::size_t{2} << m, 7);
    std::vector<float> data = input;
    vel::COOL(data, m, 1.0f);
    vel::COOL(data, m, -1.0f);
    const float scale = static_cast<float>(1 << m);
    for (std::size_t i = 0; i < data.size(); ++i)
      ASSERT_NEAR(data[i], input[i] * scale, 1e-5f * scale) << i;
  }
}

TEST(SpectrumTest, CoolLeavesAnArrayTooShortForItsExponentAlone) {
  std::vector<float> data = {1, 2, 3, 4, 5, 6};
  const std::vector<float> before = data;
  vel::COOL(data, 2, 1.0f);  // needs 8 reals
  EXPECT_EQ(data, before);
  vel::COOL(data, -1, 1.0f);
  EXPECT_EQ(data, before);
}

TEST(SpectrumTest, TaperZeroesTwoSamplesAtEachEndAndHalvesTheThird) {
  std::vector<float> x(20, 2.0f);
  vel::TSMOO(x, 20, 3);
  for (const std::size_t i : {0u, 1u, 18u, 19u}) EXPECT_FLOAT_EQ(x[i], 0.0f) << i;
  EXPECT_NEAR(x[2], 1.0f, 1e-6f);
  EXPECT_NEAR(x[17], 1.0f, 1e-6f);
  for (std::size_t i = 3; i < 17; ++i) EXPECT_EQ(x[i], 2.0f) << i;

  std::vector<float> one(5, 3.0f);
  vel::TSMOO(one, 5, 1);  // only the end samples
  EXPECT_EQ(one, (std::vector<float>{0.0f, 3.0f, 3.0f, 3.0f, 0.0f}));
}

TEST(SpectrumTest, ConstantTraceOfAPowerOfTwoGivesOneThenZeros) {
  const std::vector<float> trace(64, 5.0f);
  std::vector<float> spec(32, -1.0f);
  vel::SPECTRUM(trace, spec, 64, 0);
  EXPECT_FLOAT_EQ(spec[0], 1.0f);
  for (std::size_t k = 1; k < spec.size(); ++k) EXPECT_NEAR(spec[k], 0.0f, 1e-12f) << k;
}

TEST(SpectrumTest, TraceOfZerosGivesAZeroSpectrumNotNaN) {
  const std::vector<float> trace(100, 0.0f);
  std::vector<float> spec(64, -1.0f);
  vel::SPECTRUM(trace, spec, 100, 10);
  for (const float v : spec) EXPECT_EQ(v, 0.0f);
}

// Taper lengths that SPECTRUM and FILTRACE must not apply: 0 and N/2 or more.
TEST(SpectrumTest, NoTaperWhenNtIsZeroOrAtLeastHalfTheTrace) {
  const std::vector<float> trace = RandomValues(64, 3);
  std::vector<float> plain(32), spec(32);
  vel::SPECTRUM(trace, plain, 64, 0);
  BandpassFilter all;
  all.corners.Freq1 = all.corners.Freq2 = 0.0f;
  all.corners.Freq3 = all.corners.Freq4 = 1.0f;
  for (const int nt : {32, 40, -3}) {
    SCOPED_TRACE(nt);
    vel::SPECTRUM(trace, spec, 64, nt);
    EXPECT_EQ(spec, plain);
    std::vector<float> out(64);
    vel::FILTRACE(trace, out, 64, nt, all);
    for (std::size_t i = 0; i < out.size(); ++i) EXPECT_NEAR(out[i], trace[i], 1e-5f) << i;
  }
}

TEST(SpectrumTest, SpectrumAgreesWithNumpyForRandomTraces) {
  SKIP_WITHOUT_NUMPY();
  struct Case {
    int n, nt;
  };
  const Case cases[] = {{1000, 100}, {1024, 0}, {37, 3}, {4000, 400}, {3, 0}, {513, 256}};
  std::vector<float> params, traces;
  std::vector<std::vector<float>> mine;
  for (const Case c : cases) {
    const std::vector<float> t = RandomValues(static_cast<std::size_t>(c.n), static_cast<unsigned>(c.n));
    params.push_back(static_cast<float>(c.n));
    params.push_back(static_cast<float>(c.nt));
    traces.insert(traces.end(), t.begin(), t.end());
    std::vector<float> spec(static_cast<std::size_t>(vel::NFFT(c.n) / 2));
    vel::SPECTRUM(t, spec, c.n, c.nt);
    mine.push_back(spec);
  }
  const std::vector<float> want = testing_support::RunNumpy(WithReference(
      "OUT = []\nat = 0\n"
      "for i in range(len(INPUTS[0]) // 2):\n"
      "    n, nt = int(INPUTS[0][2 * i]), int(INPUTS[0][2 * i + 1])\n"
      "    OUT.append(REF['spectrum'](INPUTS[1][at:at + n], nt))\n"
      "    at += n\n"
      "OUT = np.concatenate(OUT)\n"),
      {params, traces});
  std::size_t at = 0;
  for (std::size_t c = 0; c < mine.size(); ++c) {
    SCOPED_TRACE(cases[c].n);
    ASSERT_GE(want.size(), at + mine[c].size());
    for (std::size_t k = 0; k < mine[c].size(); ++k)
      ASSERT_NEAR(mine[c][k], want[at + k], 1e-5f) << "k " << k;
    at += mine[c].size();
  }
  EXPECT_EQ(at, want.size());
}

TEST(SpectrumTest, SpectrumOfAPublicRecordStackAgreesWithNumpy) {
  SKIP_WITHOUT_SHARED_DATA();
  SKIP_WITHOUT_NUMPY();
  const auto file = testing_support::SharedData() / "pyrefra" / "Rec_00001.seg2";
  if (!std::filesystem::exists(file)) GTEST_SKIP() << "record absent";
  sup::SetUserMessageHook([](sup::UserMessageKind, std::string_view, std::string_view) {});
  vel::ShotRecord rec;
  int ierr = 99;
  vel::SEG2IN(rec, file.string(), ierr, true);
  sup::SetUserMessageHook({});
  ASSERT_EQ(ierr, 0);
  std::vector<float> stack(static_cast<std::size_t>(rec.NSAMP), 0.0f);
  for (std::int32_t j = 1; j <= rec.NTRACE; ++j) {
    const auto t = vel::Trace(rec, j);
    for (std::size_t i = 0; i < stack.size(); ++i) stack[i] += t[i];
  }
  const int nt = static_cast<int>(std::lround(rec.NSAMP * 0.1));
  std::vector<float> spec(static_cast<std::size_t>(vel::NFFT(rec.NSAMP) / 2));
  vel::SPECTRUM(stack, spec, rec.NSAMP, nt);
  const std::vector<float> want = testing_support::RunNumpy(
      WithReference("OUT = REF['spectrum'](INPUTS[0], " + std::to_string(nt) + ")\n"), {stack});
  ASSERT_EQ(want.size(), spec.size());
  for (std::size_t k = 0; k < spec.size(); ++k) ASSERT_NEAR(spec[k], want[k], 1e-5f) << k;
}

BandpassFilter Corners(std::array<float, 8> f, bool twoBand) {
  BandpassFilter b;
  b.corners.Freq1 = f[0];
  b.corners.Freq2 = f[1];
  b.corners.Freq3 = f[2];
  b.corners.Freq4 = f[3];
  b.corners.Freq5 = f[4];
  b.corners.Freq6 = f[5];
  b.corners.Freq7 = f[6];
  b.corners.Freq8 = f[7];
  b.twoBand = twoBand;
  return b;
}

TEST(SpectrumTest, FiltraceAgreesWithNumpyForATableOfCorners) {
  SKIP_WITHOUT_NUMPY();
  struct Case {
    const char* name;
    std::array<float, 8> f;
    bool twoBand;
  };
  const Case corners[] = {
      {"one band", {0.005f, 0.01f, 0.08f, 0.11f, 0.2f, 0.23f, 0.3f, 0.42f}, false},
      {"two bands", {0.005f, 0.01f, 0.08f, 0.11f, 0.2f, 0.23f, 0.3f, 0.42f}, true},
      {"out of order", {0.3f, 0.1f, 0.05f, 0.2f, 0.15f, 0.12f, 0.6f, 0.5f}, true},
      {"below 0 and above 1", {-0.2f, 0.05f, 0.9f, 1.7f, 0.2f, 0.3f, 0.4f, 0.5f}, false},
      {"blank fields and beyond", {-999.0f, -999.0f, 0.3f, 0.4f, 0.5f, 0.6f, 0.9f, 3.0f}, true},
      {"ramp from element 0", {0.0f, 0.0f, 0.0f, 0.3f, 0.0f, 0.4f, 0.6f, 0.8f}, true},
  };
  std::vector<float> params, traces;
  std::vector<std::vector<float>> mine;
  std::vector<std::string> names;
  for (const Case& c : corners) {
    for (const int n : {1000, 1024, 5}) {
      for (const int nt : {0, 50}) {
        const std::vector<float> t = RandomValues(static_cast<std::size_t>(n), static_cast<unsigned>(n + nt));
        params.insert(params.end(), {static_cast<float>(n), static_cast<float>(nt),
                                     c.twoBand ? 1.0f : 0.0f});
        params.insert(params.end(), c.f.begin(), c.f.end());
        traces.insert(traces.end(), t.begin(), t.end());
        std::vector<float> out(static_cast<std::size_t>(n), 99.0f);
        vel::FILTRACE(t, out, n, nt, Corners(c.f, c.twoBand));
        mine.push_back(out);
        names.push_back(std::string(c.name) + " N " + std::to_string(n) + " NT " + std::to_string(nt));
      }
    }
  }
  const std::vector<float> want = testing_support::RunNumpy(WithReference(
      "OUT = []\nat = 0\nP = INPUTS[0]\n"
      "for i in range(len(P) // 11):\n"
      "    n, nt, two = int(P[11 * i]), int(P[11 * i + 1]), P[11 * i + 2] != 0\n"
      "    OUT.append(REF['filtrace'](INPUTS[1][at:at + n], nt, P[11 * i + 3:11 * i + 11], two))\n"
      "    at += n\n"
      "OUT = np.concatenate(OUT)\n"),
      {params, traces});
  std::size_t at = 0;
  std::size_t input = 0;
  for (std::size_t c = 0; c < mine.size(); ++c) {
    SCOPED_TRACE(names[c]);
    ASSERT_GE(want.size(), at + mine[c].size());
    const std::vector<float> in(traces.begin() + static_cast<std::ptrdiff_t>(input),
                                traces.begin() + static_cast<std::ptrdiff_t>(input + mine[c].size()));
    input += mine[c].size();
    const float tolerance = 1e-5f * LargestMagnitude(in);
    for (std::size_t i = 0; i < mine[c].size(); ++i)
      ASSERT_NEAR(mine[c][i], want[at + i], tolerance) << "sample " << i;
    at += mine[c].size();
  }
  EXPECT_EQ(at, want.size());
}

TEST(SpectrumTest, FiltraceWithEveryWeightOneReturnsTheTaperedInput) {
  const BandpassFilter all = Corners({0.0f, 0.0f, 1.0f, 1.0f, 0, 0, 0, 0}, false);
  for (const int n : {1000, 1024, 1, 2}) {
    SCOPED_TRACE(n);
    const std::vector<float> in = RandomValues(static_cast<std::size_t>(n), 5);
    std::vector<float> tapered = in;
    const int nt = n / 10;
    if (nt > 0 && nt < n / 2) vel::TSMOO(tapered, n, nt);
    std::vector<float> out(static_cast<std::size_t>(n));
    vel::FILTRACE(in, out, n, nt, all);
    for (std::size_t i = 0; i < out.size(); ++i) ASSERT_NEAR(out[i], tapered[i], 1e-5f) << i;
  }
}

TEST(SpectrumTest, SineOnAStoppedElementVanishes) {
  constexpr int kN = 256;
  const BandpassFilter band = Corners({0.1f, 0.2f, 0.3f, 0.4f, 0, 0, 0, 0}, false);
  // Element 6 lies below K1 = 13; element 81 above K4 = 51.
  for (const int element : {6, 81}) {
    SCOPED_TRACE(element);
    std::vector<float> in(kN), out(kN, 99.0f);
    for (int i = 0; i < kN; ++i)
      in[static_cast<std::size_t>(i)] = std::sin(2.0f * static_cast<float>(M_PI) * static_cast<float>((element - 1) * i) / kN);
    vel::FILTRACE(in, out, kN, 0, band);
    for (const float v : out) ASSERT_NEAR(v, 0.0f, 1e-5f);
  }
}

TEST(SpectrumTest, ZeroFrequencyGoesWithARampFromElementOneAndStaysWithout) {
  constexpr int kN = 64;
  const std::vector<float> level(kN, 1.0f);
  std::vector<float> out(kN);
  vel::FILTRACE(level, out, kN, 0, Corners({0.0f, 0.2f, 1.0f, 1.0f, 0, 0, 0, 0}, false));
  for (const float v : out) ASSERT_NEAR(v, 0.0f, 1e-6f);
  vel::FILTRACE(level, out, kN, 0, Corners({0.0f, 0.01f, 1.0f, 1.0f, 0, 0, 0, 0}, false));
  for (const float v : out) ASSERT_NEAR(v, 1.0f, 1e-6f);
}

TEST(SpectrumTest, TwoBandSwitchOffIgnoresTheSecondBand) {
  const std::vector<float> in = RandomValues(300, 9);
  std::vector<float> a(300), b(300);
  vel::FILTRACE(in, a, 300, 30, Corners({0.01f, 0.02f, 0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 0.6f}, false));
  vel::FILTRACE(in, b, 300, 30, Corners({0.01f, 0.02f, 0.1f, 0.2f, 0.9f, 0.1f, 0.0f, -5.0f}, false));
  EXPECT_EQ(a, b);
}

TEST(SpectrumTest, ShortArraysLeaveTheOutputAlone) {
  const std::vector<float> in(10, 1.0f);
  std::vector<float> out(10, 7.0f), spec(8, 7.0f);
  vel::FILTRACE(in, out, 11, 0, BandpassFilter{});
  vel::FILTRACE(in, out, 0, 0, BandpassFilter{});
  EXPECT_EQ(out, std::vector<float>(10, 7.0f));
  vel::SPECTRUM(in, std::span<float>(spec).first(7), 10, 0);  // 8 values needed
  vel::SPECTRUM(in, spec, 20, 0);                              // trace too short
  EXPECT_EQ(spec, std::vector<float>(8, 7.0f));
}

}  // namespace
