// The two-pole recursive filters: the forward recursion against scipy's
// lfilter started from the same first two samples, and the design's edges.
#include "display/RecursiveFilter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "support/UserMessages.h"
#include "tests/NumpyRunner.h"

namespace {

bool ScipyAvailable() {
  static const bool available =
      std::system("/usr/bin/python3 -c 'import scipy.signal' >/dev/null 2>&1") == 0;
  return available;
}

// Collects the messages shown while it lives.
struct Messages {
  std::vector<std::string> texts;
  Messages() {
    sup::SetUserMessageHook([this](sup::UserMessageKind, std::string_view, std::string_view text) {
      texts.emplace_back(text);
    });
  }
  ~Messages() { sup::SetUserMessageHook({}); }
};

std::vector<float> Noise(std::size_t n, unsigned seed) {
  std::mt19937 rng(seed);
  std::normal_distribution<float> g(0.0f, 1.0f);
  std::vector<float> v(n);
  for (float& x : v) x = g(rng);
  return v;
}

TEST(RecursiveFilterTest, ForwardPassAgreesWithScipyLfilter) {
  if (!ScipyAvailable()) GTEST_SKIP() << "python3 with scipy absent";
  Messages quiet;
  struct Case {
    char type;
    float f0, f1;
  };
  // Frequencies in Hz with a 1 ms interval in seconds.
  const Case cases[] = {{'L', 0, 20}, {'H', 0, 30}, {'B', 50, 10}, {'N', 60, 5}, {'X', 0, 80},
                        {'L', 0, 150}};
  constexpr std::size_t kN = 500;
  std::vector<float> params, inputs;
  std::vector<std::vector<float>> outputs;
  for (const Case& c : cases) {
    const std::vector<float> in = Noise(kN, static_cast<unsigned>(c.f1));
    std::vector<float> out = in;
    float f0 = c.f0;
    vel::RECFIL(out, kN, 0.001f, c.type, f0, c.f1, false);
    const vel::RecursiveFilterDesign& d = vel::RecursiveFilterState();
    params.insert(params.end(), {d.zm * d.zm, -2.0f * d.zr, 1.0f, d.pm * d.pm, -2.0f * d.pr, 1.0f,
                                 out[0] / d.g, out[1] / d.g, d.g});
    inputs.insert(inputs.end(), in.begin(), in.end());
    outputs.push_back(out);
  }
  // The first two outputs (before the gain) start lfilter through lfiltic.
  const std::vector<float> want = testing_support::RunNumpy(
      "import scipy.signal as ss\nOUT = []\n"
      "P = INPUTS[0].astype(np.float64)\nX = INPUTS[1].astype(np.float64)\n"
      "n = " + std::to_string(kN) + "\n"
      "for i in range(len(P) // 9):\n"
      "    p, x = P[9 * i:9 * i + 9], X[n * i:n * i + n]\n"
      "    b, a = p[0:3] / p[3], p[3:6] / p[3]  # lfiltic takes a(1) as 1\n"
      "    zi = ss.lfiltic(b, a, y=[p[7], p[6]], x=[x[1], x[0]])\n"
      "    OUT.append(ss.lfilter(b, a, x[2:], zi=zi)[0] * p[8])\n"
      "OUT = np.concatenate(OUT)\n",
      {params, inputs});
  ASSERT_EQ(want.size(), outputs.size() * (kN - 2));
  for (std::size_t c = 0; c < outputs.size(); ++c) {
    SCOPED_TRACE(testing::Message() << cases[c].type << " " << cases[c].f0 << " " << cases[c].f1);
    const std::vector<float>& out = outputs[c];
    float top = 0.0f;
    for (float v : out) top = std::max(top, std::abs(v));
    for (std::size_t k = 2; k < kN; ++k)
      ASSERT_NEAR(out[k], want[c * (kN - 2) + k - 2], 1e-4f * top) << k;
  }
}

TEST(RecursiveFilterTest, ZeroCutOffIsTooNarrowAndTakesTheLeastRadius) {
  Messages seen;
  std::vector<float> x(10, 1.0f);
  float f0 = 5.0f;
  vel::RECFIL(x, 10, 0.001f, 'H', f0, 0.0f, false);
  EXPECT_EQ(seen.texts, std::vector<std::string>{"BANDWIDTH TOO NARROW"});
  EXPECT_FLOAT_EQ(vel::RecursiveFilterState().pm, 1.01f);
  EXPECT_EQ(f0, 0.0f);  // set for high- and low-pass
}

TEST(RecursiveFilterTest, AbszpTellsTooWideAndTooNarrow) {
  Messages seen;
  EXPECT_FLOAT_EQ(vel::ABSZP(1.5707964f, 4.0f), 100.0f);
  EXPECT_FLOAT_EQ(vel::ABSZP(0.0f, 4.0f), 1.01f);
  const float r = vel::ABSZP(0.5f, 0.1f);
  const float c = std::cos(0.5f);
  EXPECT_FLOAT_EQ(r, std::sqrt((1.0f - c) * 20.0f + c * c - 1.0f) + c);
  EXPECT_EQ(seen.texts, (std::vector<std::string>{"BANDWIDTH TOO WIDE", "BANDWIDTH TOO NARROW"}));
}

TEST(RecursiveFilterTest, OneAndTwoSamples) {
  Messages quiet;
  std::vector<float> one = {3.0f};
  float f0 = 0;
  vel::RECFIL(one, 1, 0.001f, 'L', f0, 20.0f, true);
  EXPECT_EQ(one[0], 3.0f);

  // Two samples: the two start formulas, without the gain or a backward pass.
  std::vector<float> two = {2.0f, -1.0f};
  vel::RECFIL(two, 2, 0.001f, 'L', f0, 20.0f, true);
  const vel::RecursiveFilterDesign& s = vel::RecursiveFilterState();
  ASSERT_NE(s.g, 1.0f);
  const float a = s.zm * s.zm, b = 2 * s.zr, d = 2 * s.pr, m = 1 / (s.pm * s.pm);
  const float y1 = m * (d * 2.0f - 2.0f + a * 2.0f - b * 2.0f + 2.0f);
  EXPECT_FLOAT_EQ(two[0], y1);
  EXPECT_FLOAT_EQ(two[1], m * (d * y1 - y1 + a * -1.0f - b * -1.0f + 2.0f));
}

TEST(RecursiveFilterTest, LowPassOfAConstantSettlesToTheConstant) {
  Messages quiet;
  for (const bool backward : {false, true}) {
    SCOPED_TRACE(backward);
    std::vector<float> x(4000, 2.5f);
    float f0 = 0;
    vel::RECFIL(x, 4000, 0.001f, 'L', f0, 25.0f, backward);
    for (std::size_t k = 1500; k < 2500; ++k) ASSERT_NEAR(x[k], 2.5f, 1e-3f) << k;
  }
}

}  // namespace
