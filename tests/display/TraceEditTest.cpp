// Resampling, removal of traces and trimming of samples, on the record in
// memory: against TERPOL and numpy, the worked examples, and the auxiliary
// traces that sit behind the data traces.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <unistd.h>

#include "display/TraceEdit.h"
#include "formats/Seg2In.h"
#include "support/Numerics.h"
#include "support/Progress.h"
#include "support/UserMessages.h"
#include "tests/NumpyRunner.h"
#include "tests/TestSupport.h"

namespace {

namespace fs = std::filesystem;
using vel::ShotRecord;

// NTRACE data traces and NAUX auxiliary traces of NSAMP samples; sample i of
// column j is 1000 j + i, every per-trace value tells its column.
ShotRecord NumberedRecord(int ntrace, int nsamp, int naux = 0) {
  ShotRecord rec;
  rec.NTRACE = ntrace + naux;
  rec.NSAMP = nsamp;
  rec.SAMPINT = 1.0f;
  EXPECT_TRUE(vel::RebuildTraceArrays(rec, vel::SegyTraceHeaders::Allocate));
  for (int j = 1; j <= ntrace + naux; ++j) {
    const auto c = static_cast<std::size_t>(j - 1);
    auto t = vel::Trace(rec, j);
    for (int i = 1; i <= nsamp; ++i) t[static_cast<std::size_t>(i - 1)] = 1000.0f * j + i;
    rec.GEOLOC[c] = 10.0f * j;
    rec.ICHANNEL[c] = j;
    rec.IBPICK[c] = j;
    rec.CTRCTYPE[c] = "T" + std::to_string(j);
    rec.ISEGYTRH[c][0] = static_cast<std::byte>(j);
  }
  rec.NTRACE = ntrace;
  rec.NAUX = naux;
  return rec;
}

// The column numbers (1000s of the first sample) of every held column.
std::vector<int> Columns(const ShotRecord& rec) {
  std::vector<int> out;
  const auto ns = static_cast<std::size_t>(rec.NSAMP);
  for (int c = 0; c < vel::HeldColumns(rec); ++c)
    out.push_back(static_cast<int>(rec.TRACES[static_cast<std::size_t>(c) * ns] / 1000.0f));
  return out;
}

// ---- Resampling ----

TEST(TraceEditTest, ResampleTraceEqualsTerpolBitForBit) {
  std::mt19937 rng(7);
  std::uniform_real_distribution<float> value(-1000.0f, 1000.0f);
  struct Shape {
    int oldCount, newCount;
    float interval;
  };
  const Shape shapes[] = {{2, 7, 1.0f},       {5, 5, 0.125f},    {100, 200, 0.25f},
                          {1000, 500, 0.25f}, {997, 4001, 0.3f}, {4000, 2000, 0.0625f},
                          {300, 299, 2.0f},   {17, 1000, 1e-3f}};
  for (const Shape& s : shapes) {
    SCOPED_TRACE(testing::Message() << s.oldCount << " -> " << s.newCount);
    std::vector<float> x(static_cast<std::size_t>(s.oldCount)), y(x.size());
    for (std::size_t i = 0; i < x.size(); ++i) {
      x[i] = static_cast<float>(i + 1) * s.interval;
      y[i] = value(rng);
    }
    y[y.size() / 2] = 2e10f;  // a missing value: the nearer end is taken
    const float dt = static_cast<float>(s.oldCount) * s.interval / static_cast<float>(s.newCount);
    std::vector<float> out(static_cast<std::size_t>(s.newCount));
    vel::ResampleTrace(x, y, s.oldCount, dt, out);
    float t = 0.0f;
    for (std::size_t k = 0; k < out.size(); ++k) {
      t += dt;
      const float want = sup::TERPOL(x, y, s.oldCount, t);
      ASSERT_EQ(std::memcmp(&out[k], &want, sizeof(float)), 0) << "k " << k << " t " << t;
    }
  }
  // A table that does not rise (a record without a sample interval) takes
  // TERPOL's own search.
  const std::vector<float> flat(5, 0.0f), y{1, 2, 3, 4, 5};
  std::vector<float> out(3);
  vel::ResampleTrace(flat, y, 5, 0.0f, out);
  for (const float v : out) EXPECT_EQ(v, sup::TERPOL(flat, y, 5, 0.0f));
}

TEST(TraceEditTest, ResampleWorkedExamples) {
  // 1000 samples at 0.25 ms to 500: 0.5 ms, new sample k at old time 0.5 k.
  ShotRecord rec = NumberedRecord(3, 1000);
  rec.SAMPINT = 0.25f;
  rec.IBPICK = {400, 0, 3};
  ASSERT_EQ(vel::ResampleColumns(rec, 500), vel::ResampleStatus::Done);
  EXPECT_EQ(rec.NSAMP, 500);
  EXPECT_EQ(rec.SAMPINT, 0.5f);
  EXPECT_EQ(rec.TRACES.size(), 1500u);
  EXPECT_EQ(rec.IBPICK, (std::vector<std::int32_t>{200, 0, 2}));  // 1.5 rounds away from 0
  for (int k : {1, 2, 250, 500}) EXPECT_FLOAT_EQ(vel::Trace(rec, 2)[k - 1], 2000.0f + 2 * k) << k;

  // Upsampling 100 to 200: the first new time lies before the first old one
  // and takes the first old value.
  ShotRecord up = NumberedRecord(1, 100);
  ASSERT_EQ(vel::ResampleColumns(up, 200), vel::ResampleStatus::Done);
  EXPECT_EQ(up.SAMPINT, 0.5f);
  EXPECT_EQ(up.TRACES[0], 1001.0f);
  EXPECT_EQ(up.TRACES[1], 1001.0f);
  EXPECT_FLOAT_EQ(up.TRACES[2], 1001.5f);
  EXPECT_EQ(up.TRACES[199], 1100.0f);
}

TEST(TraceEditTest, ResampleCarriesTheAuxiliaryColumnsAndReportsProgress) {
  ShotRecord rec = NumberedRecord(4, 10, 2);
  std::vector<int> percents;
  ASSERT_EQ(vel::ResampleColumns(rec, 20, [&](int p) { percents.push_back(p); }),
            vel::ResampleStatus::Done);
  EXPECT_EQ(rec.TRACES.size(), 6u * 20u);
  EXPECT_EQ(vel::HeldColumns(rec), 6);
  EXPECT_EQ(Columns(rec), (std::vector<int>{1, 2, 3, 4, 5, 6}));
  EXPECT_FLOAT_EQ(rec.TRACES[5 * 20 + 19], 6010.0f);
  EXPECT_EQ(percents, (std::vector<int>{25, 50, 75, 100, 100, 100}));
}

// Address space limited to what the process holds now plus 256 MiB, for the
// life of the object, so that a large allocation fails at once whatever the
// system's overcommit policy.
class AddressSpaceLimit {
 public:
  AddressSpaceLimit() {
    getrlimit(RLIMIT_AS, &saved_);
    long pages = 0;
    if (std::FILE* f = std::fopen("/proc/self/statm", "r")) {
      if (std::fscanf(f, "%ld", &pages) != 1) pages = 0;
      std::fclose(f);
    }
    rlimit limit = saved_;
    limit.rlim_cur = static_cast<rlim_t>(pages) * static_cast<rlim_t>(sysconf(_SC_PAGESIZE)) +
                     (rlim_t{256} << 20);
    active_ = pages > 0 && setrlimit(RLIMIT_AS, &limit) == 0;
  }
  ~AddressSpaceLimit() {
    if (active_) setrlimit(RLIMIT_AS, &saved_);
  }
  bool Active() const { return active_; }

 private:
  rlimit saved_{};
  bool active_ = false;
};

TEST(TraceEditTest, ResampleThatCannotBeHeldChangesNothing) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the address sanitizer needs the whole address space";
#endif
  ShotRecord rec = NumberedRecord(4, 10);
  const ShotRecord before = rec;
  {
    const AddressSpaceLimit limit;
    if (!limit.Active()) GTEST_SKIP() << "cannot limit the address space";
    // 4 x 2^31 samples: 32 GiB, counted in 64 bits.
    EXPECT_EQ(vel::ResampleColumns(rec, 2147483647), vel::ResampleStatus::NoTraceMemory);
  }
  EXPECT_EQ(rec.TRACES, before.TRACES);
  EXPECT_EQ(rec.NSAMP, 10);
  EXPECT_EQ(rec.SAMPINT, 1.0f);
  EXPECT_EQ(rec.IBPICK, before.IBPICK);
}

// numpy.interp over the old times i x SAMPINT at the new times accumulated
// in float32, within 1e-6 of each trace's largest absolute sample.
void ExpectLikeNumpy(const ShotRecord& original, std::int32_t newCount) {
  ShotRecord rec = original;
  ASSERT_EQ(vel::ResampleColumns(rec, newCount), vel::ResampleStatus::Done);
  const auto ns = static_cast<std::size_t>(original.NSAMP);
  const auto ntr = static_cast<std::size_t>(original.NTRACE);
  std::vector<float> oldTimes(ns), newTimes(static_cast<std::size_t>(newCount));
  for (std::size_t i = 0; i < ns; ++i) oldTimes[i] = static_cast<float>(i + 1) * original.SAMPINT;
  float t = 0.0f;
  for (float& v : newTimes) v = t += rec.SAMPINT;
  const std::vector<float> data(original.TRACES.begin(),
                                original.TRACES.begin() + static_cast<std::ptrdiff_t>(ns * ntr));
  const std::vector<float> want = testing_support::RunNumpy(
      "y = INPUTS[0].astype(np.float64).reshape(-1, len(INPUTS[1]))\n"
      "x = INPUTS[1].astype(np.float64)\n"
      "t = INPUTS[2].astype(np.float64)\n"
      "OUT = np.concatenate([np.interp(t, x, row) for row in y])",
      {data, oldTimes, newTimes});
  ASSERT_EQ(want.size(), ntr * newTimes.size());
  for (std::size_t j = 0; j < ntr; ++j) {
    float largest = 0.0f;
    for (std::size_t i = 0; i < ns; ++i)
      largest = std::max(largest, std::fabs(original.TRACES[j * ns + i]));
    const float tolerance = 1e-6f * largest;
    for (std::size_t k = 0; k < newTimes.size(); ++k) {
      const std::size_t at = j * newTimes.size() + k;
      ASSERT_NEAR(rec.TRACES[at], want[at], tolerance) << "trace " << j + 1 << " sample " << k + 1;
    }
  }
}

TEST(TraceEditTest, ResampleAgreesWithNumpyOnSyntheticRecords) {
  if (!testing_support::NumpyAvailable()) GTEST_SKIP() << "numpy absent";
  std::mt19937 rng(11);
  std::normal_distribution<float> noise(0.0f, 300.0f);
  struct Case {
    int ntrace, nsamp;
    float interval;
    int newCount;
  };
  const Case cases[] = {{3, 1000, 0.25f, 500}, {5, 97, 0.125f, 400}, {2, 4000, 0.0625f, 1237},
                        {1, 6, 2.0f, 5}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.nsamp << " -> " << c.newCount);
    ShotRecord rec = NumberedRecord(c.ntrace, c.nsamp);
    rec.SAMPINT = c.interval;
    for (float& v : rec.TRACES) v = noise(rng);
    ExpectLikeNumpy(rec, c.newCount);
  }
}

TEST(TraceEditTest, ResampleAgreesWithNumpyOnAPublicSeg2Record) {
  SKIP_WITHOUT_SHARED_DATA();
  if (!testing_support::NumpyAvailable()) GTEST_SKIP() << "numpy absent";
  const fs::path file = testing_support::SharedData() / "graphSEG2/102.dat";
  if (!fs::exists(file)) GTEST_SKIP() << file << " absent";
  sup::SetUserMessageHook([](sup::UserMessageKind, std::string_view, std::string_view) {});
  sup::SetProgressHook({{}, [](int) {}, {}});
  ShotRecord rec;
  int ierr = 99;
  vel::SEG2IN(rec, file.string(), ierr, true);
  sup::SetProgressHook({});
  sup::SetUserMessageHook({});
  ASSERT_EQ(ierr, 0);
  for (const std::int32_t n : {rec.NSAMP / 2, rec.NSAMP * 2 + 3}) {
    SCOPED_TRACE(n);
    ExpectLikeNumpy(rec, n);
  }
}

// ---- Removal ----

TEST(TraceEditTest, RemoveWorkedExamples) {
  struct Case {
    const char* name;
    std::int32_t first, last, number, increment;
    vel::RemoveStatus status;
    std::vector<int> kept;
    std::int32_t lastAfter;
  };
  const auto range = [](int from, int to, std::vector<int> except = {}) {
    std::vector<int> v;
    for (int j = from; j <= to; ++j)
      if (std::find(except.begin(), except.end(), j) == except.end()) v.push_back(j);
    return v;
  };
  const Case cases[] = {
      {"two groups of two", 3, 10, 2, 4, vel::RemoveStatus::Removed, range(1, 20, {3, 4, 7, 8}),
       10},
      {"second group reaches past last", 3, 8, 2, 5, vel::RemoveStatus::Removed,
       range(1, 20, {3, 4, 8, 9}), 8},
      {"from 5 to the end", 5, 20, 1, 1, vel::RemoveStatus::CutOff, range(1, 4), 20},
      {"last beyond the record is clamped", 18, 99, 1, 1, vel::RemoveStatus::Removed,
       range(1, 17), 20},
      {"a range of one", 7, 7, 1, 1, vel::RemoveStatus::Removed, range(1, 20, {7}), 7},
      {"groups stop at the end", 19, 30, 2, 2, vel::RemoveStatus::Removed, range(1, 18), 20},
      {"increment 0", 3, 10, 1, 0, vel::RemoveStatus::Unchanged, range(1, 20), 10},
      {"last before first", 5, 4, 1, 1, vel::RemoveStatus::Unchanged, range(1, 20), 4},
      {"everything", 1, 20, 3, 3, vel::RemoveStatus::NoneLeft, range(1, 20), 20},
      {"everything by the short path", 1, 20, 1, 1, vel::RemoveStatus::NoneLeft, range(1, 20),
       20},
      // Bounds in 64 bits: the group count and the group ends do not wrap.
      {"huge increment", 2, 20, 2147483647, 2147483647, vel::RemoveStatus::Removed,
       range(1, 1), 20},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ShotRecord rec = NumberedRecord(20, 4);
    std::int32_t last = c.last;
    EXPECT_EQ(vel::RemoveTraces(rec, c.first, last, c.number, c.increment), c.status);
    EXPECT_EQ(last, c.lastAfter);
    EXPECT_EQ(rec.NTRACE, static_cast<std::int32_t>(c.kept.size()));
    EXPECT_EQ(Columns(rec), c.kept);
    for (std::size_t p = 0; p < c.kept.size(); ++p) {
      const int j = c.kept[p];
      EXPECT_EQ(rec.GEOLOC[p], 10.0f * j);
      EXPECT_EQ(rec.ICHANNEL[p], j);
      EXPECT_EQ(rec.IBPICK[p], j);
      EXPECT_EQ(rec.CTRCTYPE[p].Trimmed(), "T" + std::to_string(j));
    }
  }
}

TEST(TraceEditTest, RemoveMovesTheAuxiliaryColumnsBehindTheKeptTraces) {
  for (const bool shortPath : {false, true}) {
    SCOPED_TRACE(shortPath ? "short path" : "groups");
    ShotRecord rec = NumberedRecord(6, 3, 2);
    rec.LSEGYHDR = true;
    std::int32_t last = shortPath ? 6 : 4;
    const auto status = vel::RemoveTraces(rec, 3, last, 2, shortPath ? 1 : 2);
    EXPECT_EQ(status, shortPath ? vel::RemoveStatus::CutOff : vel::RemoveStatus::Removed);
    const std::vector<int> want =
        shortPath ? std::vector<int>{1, 2, 7, 8} : std::vector<int>{1, 2, 5, 6, 7, 8};
    EXPECT_EQ(rec.NTRACE, static_cast<std::int32_t>(want.size()) - 2);
    EXPECT_EQ(Columns(rec), want);
    for (std::size_t p = 0; p < want.size(); ++p) {
      EXPECT_EQ(rec.ICHANNEL[p], want[p]);
      EXPECT_EQ(static_cast<int>(rec.ISEGYTRH[p][0]), want[p]);
    }
  }
  // Without SEG-Y headers the trace headers stay where they were.
  ShotRecord rec = NumberedRecord(6, 3);
  std::int32_t last = 2;
  EXPECT_EQ(vel::RemoveTraces(rec, 1, last, 1, 1), vel::RemoveStatus::Removed);
  EXPECT_EQ(static_cast<int>(rec.ISEGYTRH[0][0]), 1);
  EXPECT_EQ(rec.ICHANNEL[0], 3);
}

// ---- Trimming ----

TEST(TraceEditTest, TrimRepacksEveryColumnToTheNewStride) {
  struct Case {
    const char* name;
    std::int32_t skip, count;
    std::vector<std::int32_t> picks;  // after, of picks 1, 3, 5, 7, 9, 10 (aux 0)
  };
  const Case cases[] = {
      {"end", 0, 6, {1, 3, 5, 0, 0, 0, 0}},
      {"beginning", 4, 6, {-3, -1, 1, 3, 5, 6, -4}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ShotRecord rec = NumberedRecord(6, 10, 1);
    rec.IBPICK = {1, 3, 5, 7, 9, 10, 0};
    const std::size_t size = rec.TRACES.size();
    vel::TrimSamples(rec, c.skip, c.count);
    EXPECT_EQ(rec.NSAMP, c.count);
    EXPECT_EQ(rec.TRACES.size(), size);
    EXPECT_EQ(rec.IBPICK, c.picks);
    for (int j = 1; j <= 7; ++j) {
      const std::size_t base = static_cast<std::size_t>(j - 1) * static_cast<std::size_t>(c.count);
      for (int i = 1; i <= c.count; ++i)
        EXPECT_EQ(rec.TRACES[base + static_cast<std::size_t>(i - 1)], 1000.0f * j + c.skip + i);
    }
    for (std::size_t k = 7u * static_cast<std::size_t>(c.count); k < size; ++k)
      EXPECT_EQ(rec.TRACES[k], 0.0f);
  }
}

}  // namespace
