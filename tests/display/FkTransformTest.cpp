// The F-K transform: against a direct double-precision 2-D DFT, plane waves
// on their cells, the spectrum's layout and normalisation, the fan filter's
// neutral settings and its sign convention, cancel and the missing transform.
#include "display/FkTransform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <complex>
#include <numbers>
#include <random>
#include <string>
#include <vector>

#include "display/Spectrum.h"
#include "formats/Seg2In.h"
#include "formats/SegyIn.h"
#include "record/ShotRecord.h"
#include "support/PollPacer.h"
#include "support/UserMessages.h"
#include "tests/NumpyRunner.h"
#include "tests/TestSupport.h"

namespace {

using vel::FkFan;

std::vector<float> RandomRecord(int nsamp, int ntrace, unsigned seed) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<float> u(-1.0f, 1.0f);
  std::vector<float> v(static_cast<std::size_t>(nsamp) * ntrace);
  for (float& x : v) x = u(rng);
  return v;
}

class FkTransformTest : public ::testing::Test {
 protected:
  FkTransformTest() {
    sup::SetUserMessageHook([this](sup::UserMessageKind, std::string_view, std::string_view text) {
      messages.emplace_back(text);
    });
    sup::SetAbortPollHook([this] { return ++polls == cancelAtPoll; });
  }
  ~FkTransformTest() override {
    sup::SetUserMessageHook({});
    sup::SetAbortPollHook({});
  }
  // Forward transform of RECORD; the spectrum it gives.
  std::vector<float> Spect(const std::vector<float>& record, int nsamp, int ntrace, int taper,
                           int& ierr) {
    EXPECT_TRUE(vel::FkSetSizes(fk, nsamp, ntrace));
    const auto& t = fk;
    std::vector<float> spec(static_cast<std::size_t>(t.NF) * t.NX, -7.0f);
    vel::FKSPECT(fk, record, spec, nsamp, ntrace, taper, ierr);
    return spec;
  }
  vel::FkTransform fk;
  std::vector<std::string> messages;
  int polls = 0;
  int cancelAtPoll = -1;
};

TEST_F(FkTransformTest, SizesFollowTwiceTheRecord) {
  struct Case { int nsamp, ntrace, nt, nx; };
  for (const Case c : {Case{1000, 24, 2048, 64}, Case{1024, 24, 2048, 64}, Case{1, 1, 2, 2},
                       Case{4000, 240, 8192, 512}}) {
    ASSERT_TRUE(vel::FkSetSizes(fk, c.nsamp, c.ntrace));
    const auto& t = fk;
    EXPECT_EQ(t.NT, c.nt);
    EXPECT_EQ(t.NX, c.nx);
    EXPECT_EQ(t.NF, c.nt / 2);
    EXPECT_EQ(t.NK, c.nx);
    EXPECT_EQ(1 << t.MT, t.NT);
    EXPECT_EQ(1 << t.MX, t.NX);
  }
  EXPECT_FALSE(vel::FkSetSizes(fk, 0, 5));
  EXPECT_FALSE(vel::FkSetSizes(fk, 1 << 20, 1 << 12));
}

TEST_F(FkTransformTest, ForwardTransformMatchesDirectDft) {
  const int nsamp = 11, ntrace = 5;
  const auto record = RandomRecord(nsamp, ntrace, 3);
  int ierr = 0;
  const auto spec = Spect(record, nsamp, ntrace, 0, ierr);
  ASSERT_EQ(ierr, 0);
  const auto& t = fk;
  ASSERT_TRUE(t.PRESENT);
  ASSERT_EQ(t.NT, 32);
  ASSERT_EQ(t.NX, 16);
  double largest = 0.0;
  std::vector<double> power(static_cast<std::size_t>(t.NT) * t.NX);
  for (int r = 0; r < t.NT; ++r)
    for (int m = 0; m < t.NX; ++m) {
      std::complex<double> sum;
      for (int j = 0; j < ntrace; ++j)
        for (int i = 0; i < nsamp; ++i) {
          const double phase = 2.0 * std::numbers::pi * (double(i) * r / t.NT + double(j) * m / t.NX);
          sum += double(record[j * nsamp + i]) * std::polar(1.0, phase);
        }
      const std::size_t at = 2 * (static_cast<std::size_t>(m) * t.NT + r);
      EXPECT_NEAR(t.DATA[at], sum.real(), 1e-4) << r << "," << m;
      EXPECT_NEAR(t.DATA[at + 1], sum.imag(), 1e-4) << r << "," << m;
      power[m * t.NT + r] = std::norm(sum);
      if (r < t.NF) largest = std::max(largest, std::norm(sum));
    }
  // Spectrum columns: negative wavenumbers first, then 0 .. NX/2 - 1.
  for (int k = 0; k < t.NX; ++k)
    for (int r = 0; r < t.NF; ++r) {
      const int m = k < t.NX / 2 ? t.NX / 2 + k : k - t.NX / 2;
      EXPECT_NEAR(spec[k * t.NF + r], power[m * t.NT + r] / largest, 1e-5);
    }
  EXPECT_EQ(*std::max_element(spec.begin(), spec.end()), 1.0f);
}

TEST_F(FkTransformTest, PlaneWaveLandsOnItsCell) {
  // cos(2 pi (a i / NT + b j / NX)) over the whole padded array puts its
  // energy at (a, b) and (-a, -b); the record fills NSAMP = NT/2 rows only,
  // so take the record as the full block of NT/2 x NX/2 and check the peak.
  const int nsamp = 64, ntrace = 16, a = 10, b = 3;
  std::vector<float> record(nsamp * ntrace);
  for (int j = 0; j < ntrace; ++j)
    for (int i = 0; i < nsamp; ++i)
      record[j * nsamp + i] =
          float(std::cos(2.0 * std::numbers::pi * (double(a) * i / nsamp + double(b) * j / ntrace)));
  int ierr = 0;
  const auto spec = Spect(record, nsamp, ntrace, 0, ierr);
  ASSERT_EQ(ierr, 0);
  const auto& t = fk;
  // Frequency index 2a (NT = 2 NSAMP), wavenumber index 2b; the partner
  // (-2a, -2b) is not in the kept half, so the peak is at row 2a, column of
  // wavenumber 2b, that is NX/2 + 2b (0-based).
  const auto peak = std::max_element(spec.begin(), spec.end()) - spec.begin();
  EXPECT_EQ(peak % t.NF, 2 * a);
  EXPECT_EQ(peak / t.NF, t.NX / 2 + 2 * b);
  EXPECT_EQ(spec[peak], 1.0f);
}

TEST_F(FkTransformTest, NeutralFansGiveBackTheTaperedRecord) {
  const int nsamp = 50, ntrace = 7;
  const auto record = RandomRecord(nsamp, ntrace, 9);
  struct Case { const char* name; FkFan fan; int taper; };
  FkFan factorOne;
  factorOne.V = {300.0f, 800.0f};
  factorOne.W = {2.0f, 0.5f};
  factorOne.F = {1.0f, 1.0f};
  for (const Case& c : {Case{"both velocities 0", FkFan{}, 0}, Case{"factor 1", factorOne, 0},
                        Case{"tapered", FkFan{}, 5}, Case{"taper of half", FkFan{}, 25}}) {
    SCOPED_TRACE(c.name);
    int ierr = 0;
    Spect(record, nsamp, ntrace, c.taper, ierr);
    std::vector<float> out(record.size(), 99.0f);
    vel::FKTRACES(fk, out, nsamp, ntrace, 1.0f, 5.0f, c.fan, ierr);
    ASSERT_EQ(ierr, 0);
    for (int j = 0; j < ntrace; ++j) {
      std::vector<float> expect(record.begin() + j * nsamp, record.begin() + (j + 1) * nsamp);
      if (c.taper > 0 && c.taper < nsamp / 2) vel::TSMOO(expect, nsamp, c.taper);
      for (int i = 0; i < nsamp; ++i) EXPECT_NEAR(out[j * nsamp + i], expect[i], 1e-5);
    }
  }
}

// Two plane events of equal amplitude at 600 m/s, one rising to the right
// (time falls as position grows) and one falling; each dip with factor 0
// removes most of its own event and leaves the other.
TEST_F(FkTransformTest, DipsActOnTheirOwnSlope) {
  const int nsamp = 500, ntrace = 48;
  const float dt = 1.0f, dx = 5.0f, v = 600.0f;
  auto event = [&](float t0, float slope, std::vector<float>& rec) {
    for (int j = 0; j < ntrace; ++j) {
      const float tj = t0 + slope * j * dx / v * 1000.0f;  // ms
      for (int i = 0; i < nsamp; ++i) {
        const float s = (i * dt - tj) / 8.0f;
        rec[j * nsamp + i] += std::exp(-s * s) * (1.0f - 2.0f * s * s);
      }
    }
  };
  std::vector<float> rising(nsamp * ntrace), falling(nsamp * ntrace), both(nsamp * ntrace);
  event(450.0f, -1.0f, rising);
  event(50.0f, 1.0f, falling);
  for (std::size_t i = 0; i < both.size(); ++i) both[i] = rising[i] + falling[i];
  auto energyAlong = [&](const std::vector<float>& out, const std::vector<float>& model) {
    double e = 0.0;
    for (std::size_t i = 0; i < out.size(); ++i) e += double(out[i]) * model[i];
    double m = 0.0;
    for (float x : model) m += double(x) * x;
    return e / m;  // the fraction of the model event left in OUT
  };
  int ierr = 0;
  Spect(both, nsamp, ntrace, 0, ierr);
  for (int dip = 0; dip < 2; ++dip) {
    FkFan fan;
    fan.V[dip] = v;
    fan.W[dip] = 0.5f;
    fan.F[dip] = 0.0f;
    std::vector<float> out(both.size());
    vel::FKTRACES(fk, out, nsamp, ntrace, dt, dx, fan, ierr);
    ASSERT_EQ(ierr, 0);
    const double keptRising = energyAlong(out, rising), keptFalling = energyAlong(out, falling);
    SCOPED_TRACE("dip " + std::to_string(dip + 1) + ": rising kept " + std::to_string(keptRising) +
                 ", falling kept " + std::to_string(keptFalling));
    // Measured: dip 1 keeps 0.15 of the rising event and 0.95 of the
    // falling one; dip 2 the reverse.
    const double removed = dip == 0 ? keptRising : keptFalling;
    const double left = dip == 0 ? keptFalling : keptRising;
    EXPECT_LT(removed, 0.2);
    EXPECT_GT(left, 0.9);
  }
}

TEST_F(FkTransformTest, FilteringStartsFromTheKeptTransformEachTime) {
  const int nsamp = 40, ntrace = 9;
  const auto record = RandomRecord(nsamp, ntrace, 4);
  int ierr = 0;
  Spect(record, nsamp, ntrace, 0, ierr);
  const auto kept = fk.DATA;
  FkFan fan;
  fan.V = {200.0f, 400.0f};
  fan.W = {0.5f, 0.5f};
  std::vector<float> first(record.size()), second(record.size());
  vel::FKTRACES(fk, first, nsamp, ntrace, 2.0f, 3.0f, fan, ierr);
  vel::FKTRACES(fk, second, nsamp, ntrace, 2.0f, 3.0f, fan, ierr);
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(first, second);
  EXPECT_EQ(fk.DATA, kept);
  EXPECT_NE(first, record);
}

// Cancel in either pass of FKTRACES, on a transform one thread does and on
// one shared out between threads: the run stops with nothing written and the
// kept transform as it was, and the next run gives what an uncancelled one
// gives.
TEST_F(FkTransformTest, CancelLeavesTheKeptTransformAndOutput) {
  struct Case {
    const char* name;
    int nsamp, ntrace;
    std::size_t cancelInPass;  // 1 the row pass, 2 the column pass
  };
  const std::vector<std::string> bothPasses{"Wavenumber to Distance", "Frequency to Time"};
  const Case cases[] = {
      {"small, row pass", 40, 9, 1},
      {"large, row pass", 300, 40, 1},
      {"large, column pass", 300, 40, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto record = RandomRecord(c.nsamp, c.ntrace, 5);
    int ierr = 0;
    Spect(record, c.nsamp, c.ntrace, 0, ierr);
    const auto kept = fk.DATA;
    FkFan fan;
    fan.V = {200.0f, 400.0f};
    std::vector<int> percents;
    std::vector<std::string> passes;
    vel::FkProgress progress{[&](std::string_view p) { passes.emplace_back(p); },
                             [&](int pc) { percents.push_back(pc); }};
    bool cancelled = false;
    sup::SetAbortPollHook([&] { return cancelled = passes.size() == c.cancelInPass; });
    std::vector<float> out(record.size(), 42.0f);
    vel::FKTRACES(fk, out, c.nsamp, c.ntrace, 2.0f, 3.0f, fan, ierr, &progress);
    EXPECT_TRUE(cancelled);
    EXPECT_EQ(ierr, -1);
    EXPECT_EQ(passes, std::vector<std::string>(bothPasses.begin(),
                                               bothPasses.begin() + static_cast<std::ptrdiff_t>(c.cancelInPass)));
    EXPECT_TRUE(std::all_of(out.begin(), out.end(), [](float x) { return x == 42.0f; }));
    EXPECT_EQ(fk.DATA, kept);
    sup::SetAbortPollHook([] { return false; });
    ierr = 0;
    passes.clear();
    std::vector<float> again(record.size()), fresh(record.size());
    vel::FKTRACES(fk, again, c.nsamp, c.ntrace, 2.0f, 3.0f, fan, ierr, &progress);
    EXPECT_EQ(passes, bothPasses);
    Spect(record, c.nsamp, c.ntrace, 0, ierr);
    vel::FKTRACES(fk, fresh, c.nsamp, c.ntrace, 2.0f, 3.0f, fan, ierr);
    EXPECT_EQ(ierr, 0);
    EXPECT_EQ(again, fresh);
    EXPECT_EQ(percents.back(), 100);
  }
}

// On a transform that takes a good while, progress and the cancel poll come
// at most once per kPollInterval (and at least once a pass), and a Cancel
// pressed during Filter Traces stops it within a tenth of a second.
TEST_F(FkTransformTest, ProgressAndCancelArePacedByTime) {
  using Clock = std::chrono::steady_clock;
  const int nsamp = 4000, ntrace = 500;  // an 8192 x 1024 transform
  const auto record = RandomRecord(nsamp, ntrace, 12);
  int ierr = 0;
  sup::SetAbortPollHook([] { return false; });
  Spect(record, nsamp, ntrace, 0, ierr);
  ASSERT_EQ(ierr, 0);
  FkFan fan;
  fan.V = {2000.0f, 1500.0f};

  // A whole run: polls and reports spaced by the interval.
  std::vector<Clock::time_point> polls;
  sup::SetAbortPollHook([&] {
    polls.push_back(Clock::now());
    return false;
  });
  int reports = 0;
  vel::FkProgress progress{{}, [&](int) { ++reports; }};
  std::vector<float> out(record.size());
  const auto start = Clock::now();
  vel::FKTRACES(fk, out, nsamp, ntrace, 0.25f, 2.0f, fan, ierr, &progress);
  const auto took = Clock::now() - start;
  ASSERT_EQ(ierr, 0);
  ASSERT_GE(polls.size(), 1u);
  // A pass short enough to have no poll of its own polls once at its end.
  int early = 0;
  for (std::size_t i = 1; i < polls.size(); ++i) early += polls[i] - polls[i - 1] < sup::kPollInterval;
  EXPECT_LE(early, 1);
  const auto most = static_cast<std::size_t>(took / sup::kPollInterval) + 3;
  EXPECT_LE(polls.size(), most);
  EXPECT_LE(static_cast<std::size_t>(reports), polls.size() + 2);  // the passes' ends

  // Cancel pressed at the second poll, a kPollInterval into the run: the
  // run ends soon after, nothing written.
  polls.clear();
  Clock::time_point pressed{};
  sup::SetAbortPollHook([&] {
    polls.push_back(Clock::now());
    if (polls.size() < 2) return false;
    if (polls.size() == 2) pressed = Clock::now();
    return true;
  });
  std::vector<float> untouched(record.size(), 42.0f);
  ierr = 0;
  vel::FKTRACES(fk, untouched, nsamp, ntrace, 0.25f, 2.0f, fan, ierr, &progress);
  const auto answered = Clock::now();
  if (polls.size() < 2) GTEST_SKIP() << "the run ended before a second poll was due";
  EXPECT_EQ(ierr, -1);
  EXPECT_LT(answered - pressed, std::chrono::milliseconds(100));
  EXPECT_TRUE(std::all_of(untouched.begin(), untouched.end(), [](float x) { return x == 42.0f; }));
}

TEST_F(FkTransformTest, CancelledForwardTransformLeavesNoneKept) {
  const auto record = RandomRecord(20, 4, 6);
  int ierr = 0;
  polls = 0;
  cancelAtPoll = 1;
  Spect(record, 20, 4, 0, ierr);
  EXPECT_EQ(ierr, -1);
  EXPECT_FALSE(fk.PRESENT);
  std::vector<float> out(record.size());
  ierr = 0;
  vel::FKTRACES(fk, out, 20, 4, 1.0f, 1.0f, FkFan{}, ierr);
  EXPECT_EQ(ierr, -1);
  EXPECT_EQ(messages, std::vector<std::string>{"TRANSFORM DOES NOT EXIST"});
}

TEST_F(FkTransformTest, AllZeroRecordGivesAllZeroSpectrum) {
  const std::vector<float> record(30 * 6, 0.0f);
  int ierr = 0;
  const auto spec = Spect(record, 30, 6, 3, ierr);
  EXPECT_EQ(ierr, 0);
  EXPECT_TRUE(std::all_of(spec.begin(), spec.end(), [](float x) { return x == 0.0f; }));
}

TEST_F(FkTransformTest, SizesThatDoNotFitAreRefused) {
  const auto record = RandomRecord(20, 4, 7);
  ASSERT_TRUE(vel::FkSetSizes(fk, 20, 4));
  std::vector<float> spec(fk.NF * fk.NX);
  int ierr = 0;
  vel::FKSPECT(fk, record, spec, 20, 40, 0, ierr);  // more traces than NX holds
  EXPECT_EQ(ierr, -1);
  ierr = 0;
  vel::FKSPECT(fk, std::span<const float>(record).first(10), spec, 20, 4, 0, ierr);
  EXPECT_EQ(ierr, -1);
  ierr = 0;
  vel::FKSPECT(fk, record, spec, 20, 4, 0, ierr);
  EXPECT_EQ(ierr, 0);
  std::vector<float> out(10);
  vel::FKTRACES(fk, out, 20, 4, 1.0f, 1.0f, FkFan{}, ierr);
  EXPECT_EQ(ierr, -1);
  // Sizes set for a larger record after the transform was made: the kept
  // transform does not hold them, so the inverse is refused, not run past it.
  ASSERT_TRUE(vel::FkSetSizes(fk, 200, 40));
  std::vector<float> larger(200 * 40, 5.0f);
  ierr = 0;
  vel::FKTRACES(fk, larger, 200, 40, 1.0f, 1.0f, FkFan{}, ierr);
  EXPECT_EQ(ierr, -1);
  EXPECT_TRUE(std::all_of(larger.begin(), larger.end(), [](float x) { return x == 5.0f; }));
}

// The numpy reference script, loaded into the runner's body as REF.
std::string WithFkReference(const std::string& body) {
  return "import runpy\nREF = runpy.run_path('" +
         testing_support::TestScript("display/fk_reference.py").string() + "')\n" + body;
}

// Counts the values of GOT that differ from WANT by more than TOLERANCE,
// reporting the first few.
int Disagreements(const std::vector<float>& got, const std::vector<float>& want, float tolerance) {
  EXPECT_EQ(got.size(), want.size());
  int bad = 0;
  for (std::size_t i = 0; i < std::min(got.size(), want.size()); ++i)
    if (!(std::abs(got[i] - want[i]) <= tolerance) && ++bad <= 4)
      ADD_FAILURE() << "value " << i << ": " << got[i] << " against " << want[i];
  return bad;
}

// A record of noise and two dipping events, NSAMP x NTRACE.
std::vector<float> EventRecord(int nsamp, int ntrace, unsigned seed) {
  std::vector<float> rec = RandomRecord(nsamp, ntrace, seed);
  for (float& x : rec) x *= 0.2f;
  for (int j = 0; j < ntrace; ++j)
    for (int i = 0; i < nsamp; ++i) {
      const float a = (static_cast<float>(i) - 40.0f - 6.0f * static_cast<float>(j)) / 4.0f;
      const float b = (static_cast<float>(i) - 250.0f + 3.0f * static_cast<float>(j)) / 5.0f;
      rec[static_cast<std::size_t>(j * nsamp + i)] += std::exp(-a * a) + 0.7f * std::exp(-b * b);
    }
  return rec;
}

// FKSPECT of RECORD against the power of numpy's fft2 of the same tapered,
// padded array, to 1e-4 of the largest value (which is 1).
void SpectrumAgreesWithNumpy(const std::vector<float>& record, int nsamp, int ntrace, int taper) {
  vel::FkTransform fk;
  ASSERT_TRUE(vel::FkSetSizes(fk, nsamp, ntrace));
  const auto& t = fk;
  std::vector<float> spec(static_cast<std::size_t>(t.NF) * t.NX, -1.0f);
  int ierr = 0;
  vel::FKSPECT(fk, record, spec, nsamp, ntrace, taper, ierr);
  ASSERT_EQ(ierr, 0);
  EXPECT_EQ(*std::max_element(spec.begin(), spec.end()), 1.0f);
  const std::vector<float> want = testing_support::RunNumpy(
      WithFkReference("OUT = REF['spect'](INPUTS[0], " + std::to_string(nsamp) + ", " +
                      std::to_string(ntrace) + ", " + std::to_string(taper) + ")\n"),
      {record});
  ASSERT_FALSE(want.empty()) << "numpy reference failed";
  EXPECT_EQ(Disagreements(spec, want, 1e-4f), 0);
}

TEST_F(FkTransformTest, SpectrumOfASyntheticRecordAgreesWithNumpy) {
  SKIP_WITHOUT_NUMPY();
  const int nsamp = 300, ntrace = 20;
  SpectrumAgreesWithNumpy(EventRecord(nsamp, ntrace, 21), nsamp, ntrace, 30);
}

TEST_F(FkTransformTest, SpectraOfPublicRecordsAgreeWithNumpy) {
  SKIP_WITHOUT_SHARED_DATA();
  SKIP_WITHOUT_NUMPY();
  const auto root = testing_support::SharedData();
  struct File {
    const char* path;
    bool segy;
  };
  int read = 0;
  for (const File f : {File{"swprocess/wghs_1.dat", false},
                       File{"first_breaks_picking/real_gather.sgy", true}}) {
    SCOPED_TRACE(f.path);
    const auto file = root / f.path;
    if (!std::filesystem::exists(file)) continue;
    ++read;
    vel::ShotRecord rec;
    int ierr = 0;
    if (f.segy) {
      // The file holds no trace count: the prompt is answered 96.
      vel::SetSegyInDialogs({[](std::string_view, int& value) {
                               value = 96;
                               return true;
                             },
                             {}});
      int recno = 1;
      vel::SEGYIN(rec, file.string(), recno, ierr, {});
      vel::SetSegyInDialogs({});
    } else {
      vel::SEG2IN(rec, file.string(), ierr, true);
    }
    ASSERT_EQ(ierr, 0);
    ASSERT_GE(rec.NTRACE, 2);
    const std::size_t n = static_cast<std::size_t>(rec.NSAMP) * rec.NTRACE;
    const std::vector<float> record(rec.TRACES.begin(), rec.TRACES.begin() + static_cast<std::ptrdiff_t>(n));
    SpectrumAgreesWithNumpy(record, rec.NSAMP, rec.NTRACE,
                            static_cast<int>(std::lround(rec.NSAMP * 0.1f)));
  }
  if (read == 0) GTEST_SKIP() << "neither record present";
}

// FKTRACES against numpy's fft2 and ifft2 with the same fan weights applied
// to the whole transform at once, to 1e-4 of the largest output sample.
TEST_F(FkTransformTest, FilteredTracesAgreeWithNumpy) {
  SKIP_WITHOUT_NUMPY();
  const int nsamp = 300, ntrace = 20, taper = 30;
  const float dt = 0.5f, dx = 2.5f;
  const std::vector<float> record = EventRecord(nsamp, ntrace, 22);
  struct Case {
    const char* name;
    std::array<float, 2> v, w, f;
  };
  const Case cases[] = {
      {"upsloping rejected", {600.0f, 0.0f}, {0.5f, 0.25f}, {0.0f, 0.0f}},
      {"downsloping enhanced", {0.0f, 900.0f}, {0.25f, 0.3f}, {0.0f, 2.5f}},
      {"both dips", {400.0f, 1500.0f}, {0.8f, 0.2f}, {0.1f, 0.0f}},
      {"negative velocity", {-700.0f, 0.0f}, {0.5f, 0.25f}, {0.0f, 0.0f}},
      {"width above one reaches frequency 0", {500.0f, 0.0f}, {1.5f, 0.25f}, {0.0f, 0.0f}},
  };
  int ierr = 0;
  Spect(record, nsamp, ntrace, taper, ierr);
  ASSERT_EQ(ierr, 0);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FkFan fan;
    fan.V = c.v;
    fan.W = c.w;
    fan.F = c.f;
    std::vector<float> out(record.size());
    vel::FKTRACES(fk, out, nsamp, ntrace, dt, dx, fan, ierr);
    ASSERT_EQ(ierr, 0);
    auto list = [](const std::array<float, 2>& a) {
      return "(" + std::to_string(a[0]) + ", " + std::to_string(a[1]) + ")";
    };
    const std::vector<float> want = testing_support::RunNumpy(
        WithFkReference("OUT = REF['traces'](INPUTS[0], " + std::to_string(nsamp) + ", " +
                        std::to_string(ntrace) + ", " + std::to_string(taper) + ", " +
                        std::to_string(dt) + ", " + std::to_string(dx) + ", " + list(c.v) +
                        ", " + list(c.w) + ", " + list(c.f) + ")\n"),
        {record});
    ASSERT_EQ(want.size(), out.size()) << "numpy reference failed";
    float top = 0.0f;
    for (float x : want) top = std::max(top, std::abs(x));
    EXPECT_EQ(Disagreements(out, want, 1e-4f * top), 0);
    EXPECT_NE(out, record);
  }
}

}  // namespace
