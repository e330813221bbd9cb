// The flat two-layer refraction interpretation: the split, velocities,
// intercept and depth on exact two-layer picks for every shot side and
// position order, on noisy picks and on a public record's hand picks
// against a numpy transcription; the refusals; the depth check; the graph's
// axes and text block.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "display/Refraction.h"
#include "formats/Seg2In.h"
#include "support/Progress.h"
#include "support/Regres.h"
#include "support/UserMessages.h"
#include "tests/NumpyRunner.h"
#include "tests/display/TracePlotTestSupport.h"

namespace vel::testing {
namespace {

namespace fs = std::filesystem;

// A record of N traces 0.5 ms apart whose pick of trace j is TIMES[j - 1] ms
// (whole samples), at POSITIONS, with the shot at SX.
ShotRecord PickRecord(const std::vector<float>& positions, const std::vector<float>& times,
                      float sx, float tdelay = 0.0f) {
  ShotRecord rec;
  rec.CRECNAME = "REFR";
  rec.NTRACE = static_cast<std::int32_t>(positions.size());
  rec.NSAMP = 400;
  rec.SAMPINT = 0.5f;
  rec.TDELAY = tdelay;
  rec.SHOTX = sx;
  EXPECT_TRUE(RebuildTraceArrays(rec));
  for (std::size_t j = 0; j < positions.size(); ++j) {
    rec.GEOLOC[j] = positions[j];
    rec.IBPICK[j] = static_cast<std::int32_t>(std::lround((times[j] - tdelay) / rec.SAMPINT));
  }
  return rec;
}

// Two-layer travel time at distance X: 1000 x / V1 up to the crossover,
// 1000 x / V2 + TI beyond.
float TwoLayerTime(float x, float v1, float v2, float ti) {
  return std::min(1000.0f * x / v1, 1000.0f * x / v2 + ti);
}

// What the numpy transcription of the break search gives for the work
// arrays X and T (point 0 the shot): split, V1, V2, TI, depth, and the best
// and second-best misfits.
struct Reference {
  int split = 0;
  double v1 = 0, v2 = 0, ti = 0, depth = 0, best = 0, second = 0;
};

Reference NumpyReference(const std::vector<float>& x, const std::vector<float>& t) {
  const std::string body = R"(
X = INPUTS[0].astype(np.float64)
T = INPUTS[1].astype(np.float64)
n = len(X) - 1
def fit(x, t):
    b, a = np.polyfit(x, t, 1)
    r = np.sqrt(np.mean((a + b * x - t) ** 2)) if len(x) > 2 else 0.0
    return a, b, r
best, second, res = 1e30, 1e30, None
for m in range(2, n):
    a1, b1, r1 = fit(X[:m], T[:m])
    a2, b2, r2 = fit(X[m - 1:], T[m - 1:])
    misfit = m * r1 + (n - m + 2) * r2
    if misfit <= best:
        second, best = best, misfit
        res = (m, 1000.0 / b1, 1000.0 / b2, a2)
    elif misfit < second:
        second = misfit
m, v1, v2, ti = res
depth = ti * v1 * v2 / (2.0 * np.sqrt(v2 * v2 - v1 * v1)) / 1000.0
OUT = np.array([m, v1, v2, ti, depth, best, second])
)";
  const std::vector<float> out = testing_support::RunNumpy(body, {x, t});
  Reference r;
  if (out.size() != 7) return r;
  r.split = static_cast<int>(out[0]);
  r.v1 = out[1];
  r.v2 = out[2];
  r.ti = out[3];
  r.depth = out[4];
  r.best = out[5];
  r.second = out[6];
  return r;
}

void ExpectRelative(double got, double want, double tolerance, const char* what) {
  EXPECT_LE(std::fabs(got - want), tolerance * std::fabs(want)) << what << ": " << got << " vs " << want;
}

class RefractionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sup::SetUserMessageHook([this](sup::UserMessageKind, std::string_view, std::string_view t) {
      messages.emplace_back(t);
    });
  }
  void TearDown() override { sup::SetUserMessageHook({}); }

  // Interprets REC with a search; the result and graph land in the members.
  bool Interpret(const ShotRecord& rec, std::int32_t count = 0) {
    result.directCount = count;
    return InterpretRefraction(rec, result.directCount, result.v1, result.v2, result.depth,
                               result.intercept, graph);
  }
  void ExpectLikeNumpy(const Reference& ref) {
    ASSERT_GT(ref.split, 0) << "numpy reference failed";
    // The two best splits lie clearly apart, so rounding cannot swap them.
    ASSERT_GT(ref.second - ref.best, 0.01 * ref.second);
    EXPECT_EQ(result.directCount, ref.split);
    ExpectRelative(result.v1, ref.v1, 1e-4, "V1");
    ExpectRelative(result.v2, ref.v2, 1e-4, "V2");
    ExpectRelative(result.intercept, ref.ti, 1e-4, "TI");
    ExpectRelative(result.depth, ref.depth, 1e-4, "depth");
  }

  RefractionResult result;
  RefractionGraph graph;
  std::vector<std::string> messages;
};

TEST_F(RefractionTest, ExactTwoLayerPicksFromEitherEndInEitherOrder) {
  // Twelve geophones 5 m apart; direct wave 500 m/s, refracted 2000 m/s with
  // an intercept of 30 ms: the branches cross at 20 m, the fourth geophone
  // from the shot, so the split is 5 (the shot point counts).
  constexpr int n = 12;
  constexpr float v1 = 500.0f, v2 = 2000.0f, ti = 30.0f;
  struct Case {
    const char* name;
    float sx;
    float (*position)(int j);  // of trace j = 1..n
  };
  const Case cases[] = {
      {"ascending, shot below trace 1", 0.0f, [](int j) { return 5.0f * j; }},
      {"ascending, shot above trace N", 60.0f, [](int j) { return 5.0f * (j - 1); }},
      {"descending, shot above trace 1", 65.0f, [](int j) { return 65.0f - 5.0f * j; }},
      {"descending, shot below trace N", 0.0f, [](int j) { return 5.0f * (n - j + 1); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<float> pos, times;
    for (int j = 1; j <= n; ++j) {
      pos.push_back(c.position(j));
      times.push_back(TwoLayerTime(std::fabs(c.sx - pos.back()), v1, v2, ti));
    }
    ASSERT_TRUE(Interpret(PickRecord(pos, times, c.sx)));
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(result.directCount, 5);
    EXPECT_NEAR(result.v1, v1, 1e-3f);
    EXPECT_NEAR(result.v2, v2, 1e-2f);
    EXPECT_NEAR(result.intercept, ti, 1e-4f);
    const double depth = ti / 1000.0 * v1 * v2 / (2.0 * std::sqrt(double(v2) * v2 - double(v1) * v1));
    EXPECT_NEAR(result.depth, depth, 1e-4 * depth);
    // The points run outwards from the shot point at (0, 0).
    ASSERT_EQ(graph.points, n + 1);
    for (int k = 0; k <= n; ++k) {
      EXPECT_EQ(graph.X[static_cast<std::size_t>(k)], 5.0f * k) << k;
      EXPECT_EQ(graph.T[static_cast<std::size_t>(k)], TwoLayerTime(5.0f * k, v1, v2, ti)) << k;
    }
    // Points k with k + 1 < 5 lie on the direct branch (reduced time 0);
    // the crossover trace and beyond on the refracted one (reduced time TI).
    for (int k = 1; k <= n; ++k) {
      const auto i = static_cast<std::size_t>(k);
      EXPECT_NEAR(graph.FIT[i], graph.T[i], 1e-3f) << k;
      EXPECT_NEAR(graph.RED[i], k + 1 < 5 ? 0.0f : ti, 1e-3f) << k;
    }
  }
}

TEST_F(RefractionTest, ATieGoesToTheLaterSplit) {
  // Picks on one line through the shot point: every split fits exactly.
  std::vector<float> pos, times;
  for (int j = 1; j <= 6; ++j) {
    pos.push_back(4.0f * j);
    times.push_back(2.0f * j);
  }
  const ShotRecord rec = PickRecord(pos, times, 0.0f);
  // Each fit the search makes is exact, so every misfit is 0.
  std::vector<float> x = {0}, t = {0};
  for (int j = 1; j <= 6; ++j) {
    x.push_back(pos[static_cast<std::size_t>(j - 1)]);
    t.push_back(times[static_cast<std::size_t>(j - 1)]);
  }
  for (int m = 2; m <= 5; ++m) {
    float a = 0, b = 0, r1 = 1, r2 = 1;
    sup::REGRES(x, t, m, a, b, r1);
    sup::REGRES(std::span<const float>(x).subspan(static_cast<std::size_t>(m - 1)),
                std::span<const float>(t).subspan(static_cast<std::size_t>(m - 1)), 6 - m + 2, a, b, r2);
    ASSERT_EQ(r1, 0.0f) << m;
    ASSERT_EQ(r2, 0.0f) << m;
  }
  ASSERT_TRUE(Interpret(rec));
  EXPECT_EQ(result.directCount, 5);
}

TEST_F(RefractionTest, NoisyPicksAgreeWithNumpy) {
  if (!testing_support::NumpyAvailable()) GTEST_SKIP() << "numpy absent";
  struct Case {
    unsigned seed;
    int n;
    float spacing, offset, v1, v2, ti, tdelay;
  };
  const Case cases[] = {
      {7, 24, 3.0f, 1.5f, 400.0f, 1800.0f, 18.0f, 0.0f},
      {11, 48, 2.0f, 4.0f, 650.0f, 3200.0f, 25.0f, -2.0f},
      {23, 16, 5.0f, 10.0f, 300.0f, 1200.0f, 40.0f, 5.0f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.seed);
    std::mt19937 rng(c.seed);
    std::uniform_int_distribution<int> noise(-3, 3);
    std::vector<float> pos, times;
    std::vector<float> x = {0}, t = {0};
    for (int j = 1; j <= c.n; ++j) {
      const float d = c.offset + c.spacing * static_cast<float>(j - 1);
      pos.push_back(d);
      const float exact = TwoLayerTime(d, c.v1, c.v2, c.ti);
      // Whole samples of 0.5 ms, moved by up to three samples.
      const float time = std::round((exact - c.tdelay) * 2.0f) * 0.5f + c.tdelay + 0.5f * noise(rng);
      times.push_back(time);
      x.push_back(d);
      t.push_back(time);
    }
    ASSERT_TRUE(Interpret(PickRecord(pos, times, 0.0f, c.tdelay)));
    ASSERT_EQ(graph.T, t);
    ExpectLikeNumpy(NumpyReference(x, t));
  }
}

TEST_F(RefractionTest, PublicRecordWithItsHandPicksAgreesWithNumpy) {
  SKIP_WITHOUT_SHARED_DATA();
  if (!testing_support::NumpyAvailable()) GTEST_SKIP() << "numpy absent";
  const fs::path file = testing_support::SharedData() / "graphSEG2/102.dat";
  const fs::path picks = testing_support::SharedData() / "graphSEG2/102.txt";
  if (!fs::exists(file) || !fs::exists(picks)) GTEST_SKIP() << file << " absent";
  sup::SetProgressHook({{}, [](int) {}, {}});
  ShotRecord rec;
  int ierr = 99;
  SEG2IN(rec, file.string(), ierr, true);
  sup::SetProgressHook({});
  ASSERT_EQ(ierr, 0);
  messages.clear();
  std::ifstream in(picks);
  std::string line;
  std::int32_t j = 0;
  while (std::getline(in, line) && j < rec.NTRACE) {
    std::istringstream fields(line);
    double first = 0, ms = 0;
    ASSERT_TRUE(fields >> first >> ms) << line;
    rec.IBPICK[static_cast<std::size_t>(j++)] =
        static_cast<std::int32_t>(std::lround((ms - rec.TDELAY) / rec.SAMPINT));
  }
  ASSERT_EQ(j, rec.NTRACE);
  ASSERT_TRUE(Interpret(rec)) << (messages.empty() ? "" : messages.front());
  // The shot lies off the end of the spread at trace 1.
  EXPECT_EQ(graph.X[1], std::fabs(rec.SHOTX - rec.GEOLOC.front()));
  ExpectLikeNumpy(NumpyReference(graph.X, graph.T));
}

TEST_F(RefractionTest, RefusalsChangeNothing) {
  struct Case {
    const char* name;
    std::vector<float> positions;
    float sx;
    std::string_view message;
  };
  const Case cases[] = {
      {"shot at the first geophone", {0, 5, 10, 15}, 0.0f, kRefractionInteriorMessage},
      {"shot at the last geophone", {0, 5, 10, 15}, 15.0f, kRefractionInteriorMessage},
      {"shot inside the spread", {0, 5, 10, 15}, 7.0f, kRefractionInteriorMessage},
      {"two traces", {5, 10}, 0.0f, kRefractionFewTracesMessage},
      {"one trace", {5}, 0.0f, kRefractionFewTracesMessage},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    messages.clear();
    const std::vector<float> times(c.positions.size(), 10.0f);
    result = {3, 1.0f, 2.0f, 3.0f, 4.0f};
    graph.points = 99;
    EXPECT_FALSE(Interpret(PickRecord(c.positions, times, c.sx), 0));
    EXPECT_EQ(messages, (std::vector<std::string>{std::string(c.message)}));
    EXPECT_EQ(result.directCount, 0);  // as the caller asked
    EXPECT_EQ(result.v1, 1.0f);
    EXPECT_EQ(result.v2, 2.0f);
    EXPECT_EQ(result.intercept, 3.0f);
    EXPECT_EQ(result.depth, 4.0f);
    EXPECT_EQ(graph.points, 99);
  }
}

TEST_F(RefractionTest, ARedrawKeepsTheVelocitiesAndChecksTheDepthAgain) {
  std::vector<float> pos, times;
  for (int j = 1; j <= 8; ++j) {
    pos.push_back(5.0f * j);
    times.push_back(TwoLayerTime(5.0f * j, 500.0f, 2000.0f, 30.0f));
  }
  const ShotRecord rec = PickRecord(pos, times, 0.0f);
  struct Case {
    const char* name;
    float v1, v2;
    bool depthOk;
  };
  const float inf = INFINITY;
  const Case cases[] = {
      {"faster lower layer", 500.0f, 2000.0f, true},
      {"slower lower layer", 2000.0f, 500.0f, false},
      {"equal velocities", 800.0f, 800.0f, false},
      {"negative upper velocity", -500.0f, 2000.0f, false},
      {"both negative", -2000.0f, -500.0f, false},
      {"infinite lower velocity", 500.0f, inf, false},
      {"not a number", NAN, 2000.0f, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    messages.clear();
    result = {4, c.v1, c.v2, 30.0f, -7.0f};
    ASSERT_TRUE(InterpretRefraction(rec, result.directCount, result.v1, result.v2, result.depth,
                                    result.intercept, graph));
    EXPECT_EQ(result.directCount, 4);
    EXPECT_TRUE(result.v1 == c.v1 || (std::isnan(c.v1) && std::isnan(result.v1)));
    EXPECT_EQ(result.v2, c.v2);
    EXPECT_EQ(result.intercept, 30.0f);
    if (c.depthOk) {
      EXPECT_TRUE(messages.empty());
      EXPECT_NEAR(result.depth, 0.03 * 500 * 2000 / (2 * std::sqrt(2000.0 * 2000 - 500 * 500)), 1e-4);
    } else {
      EXPECT_EQ(messages, (std::vector<std::string>{std::string(kRefractionDepthMessage)}));
      EXPECT_EQ(result.depth, 0.0f);
    }
  }
  // A count beyond the traces asks for a search again.
  result = {9, 0, 0, 0, 0};
  ASSERT_TRUE(InterpretRefraction(rec, result.directCount, result.v1, result.v2, result.depth,
                                  result.intercept, graph));
  EXPECT_EQ(result.directCount, 5);
}

TEST(RefractionScaleTest, TimeAxisStartsAtZeroAfterTheFitOnlyAndHasAtMostFiveDivisions) {
  struct Case {
    const char* name;
    std::vector<float> fit, t, red;
    float lowest;  // the axis must reach down to here
    bool fromZero;
  };
  const Case cases[] = {
      {"negative fitted times are raised to 0", {-3, 10, 20}, {0, 12, 19}, {0, 1, 2}, 0.0f, true},
      {"negative reduced times lower it again", {0, 10, 20}, {0, 12, 19}, {0, -6, 2}, -6.0f, false},
      {"a long range", {0, 100, 250}, {0, 110, 240}, {0, 20, 40}, 0.0f, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    sup::GraphAxes a;
    SCALERY(a, c.t, c.fit, c.red, 3);
    EXPECT_LE(a.YSTART, c.lowest);
    if (c.fromZero) {
      EXPECT_EQ(a.YSTART, 0.0f);
    }
    float high = -1e30f;
    for (const auto* v : {&c.fit, &c.t, &c.red})
      for (const float y : *v) high = std::max(high, y);
    EXPECT_GE(a.YSTART + a.YSTEP * static_cast<float>(a.NYDIV), high);
    EXPECT_LE(a.NYDIV, 5);
    EXPECT_FALSE(a.LYLOG);
  }
  sup::GraphAxes a;
  a.LXLOG = true;
  const std::vector<float> x = {0, 5, 10, 57};
  SCALERX(a, x, 4);
  EXPECT_LE(a.XSTART, 0.0f);
  EXPECT_GE(a.XSTART + a.XSTEP * static_cast<float>(a.NXDIV), 57.0f);
  EXPECT_FALSE(a.LXLOG);
}

class RefractionPlotTest : public TracePlotTest {};

TEST_F(RefractionPlotTest, TextBlockShowsVelocitiesAndDepthInTheirColumns) {
  struct Text {
    float x, y;
    std::string text;
  };
  std::vector<Text> drawn;
  sup::SetPenTextOutput({{}, {}, {}, [&](float x, float y, std::string_view t) {
                           drawn.push_back({x, y, std::string(t)});
                         }});
  std::vector<float> pos, times;
  for (int j = 1; j <= 10; ++j) {
    pos.push_back(5.0f * j);
    times.push_back(TwoLayerTime(5.0f * j, 500.0f, 2000.0f, 30.0f));
  }
  RefractionResult r;
  RefractionGraph g;
  ASSERT_TRUE(InterpretRefraction(PickRecord(pos, times, 0.0f), r.directCount, r.v1, r.v2, r.depth,
                                  r.intercept, g));
  sup::PLOTXY(1.0f, 0.0f, sup::kPenStartPage, g.axes);
  PlotRefractionGraph(g, r);
  const auto find = [&](std::string_view start) -> const Text* {
    for (const Text& t : drawn)
      if (t.text.rfind(start, 0) == 0) return &t;
    return nullptr;
  };
  const Text* v1 = find("V1:");
  const Text* v2 = find("V2:");
  const Text* d1 = find("D1:");
  const Text* reduced = find("Reduced: t-x/v");
  ASSERT_TRUE(v1 != nullptr && v2 != nullptr && d1 != nullptr && reduced != nullptr);
  EXPECT_EQ(v1->text, "V1:     500");
  EXPECT_EQ(v2->text, "V2:    2000");
  EXPECT_EQ(d1->text, "D1:      7.7");
  EXPECT_EQ(find("D2:"), nullptr);
  EXPECT_TRUE(find("Travel Time (ms)") != nullptr);
  EXPECT_TRUE(find("Distance (m)") != nullptr);
  // V1 and D1 share a row; V2 and the legend follow one and two rows lower,
  // in the left column; D1 lies in the right column.
  EXPECT_FLOAT_EQ(v1->y, d1->y);
  EXPECT_EQ(v1->x, v2->x);
  EXPECT_EQ(v1->x, reduced->x);
  EXPECT_GT(d1->x, v1->x);
  EXPECT_NEAR(v1->y - v2->y, 0.45f, 1e-4f);
  EXPECT_NEAR(v2->y - reduced->y, 0.45f, 1e-4f);
  // The frame's marker is kept.
  EXPECT_EQ(g.axes.IMARKER, 0);
}

}  // namespace
}  // namespace vel::testing
