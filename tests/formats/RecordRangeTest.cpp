// Recomputing the record's amplitude range from its samples.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "formats/RecordRange.h"

namespace {

vel::ShotRecord RecordOf(const std::vector<std::vector<float>>& traces) {
  vel::ShotRecord rec;
  rec.NTRACE = static_cast<std::int32_t>(traces.size());
  rec.NSAMP = traces.empty() ? 0 : static_cast<std::int32_t>(traces[0].size());
  EXPECT_TRUE(vel::RebuildTraceArrays(rec));
  for (std::size_t j = 0; j < traces.size(); ++j) {
    auto col = vel::Trace(rec, static_cast<std::int32_t>(j + 1));
    std::copy(traces[j].begin(), traces[j].end(), col.begin());
  }
  return rec;
}

TEST(RecordRangeTest, NoTraces) {
  vel::ShotRecord rec;
  vel::GMINMAX(rec);
  EXPECT_EQ(rec.GMIN, 1.0e20f);
  EXPECT_EQ(rec.GMAX, -1.0e20f);
}

TEST(RecordRangeTest, PerTraceAndRecordRange) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  struct Case {
    const char* name;
    std::vector<std::vector<float>> traces;
    std::vector<float> traceMax;
    float gmin, gmax;
  };
  const Case cases[] = {
      {"all zeros", {{0.0f, 0.0f}}, {0.0f}, 0.0f, 0.0f},
      {"negative larger", {{-3.0f, 2.0f}}, {3.0f}, -3.0f, 2.0f},
      {"positive larger", {{-2.0f, 3.0f}}, {3.0f}, -2.0f, 3.0f},
      {"tiny ignored, zero counted", {{1.0e-31f, 0.0f}}, {0.0f}, 0.0f, 0.0f},
      {"tiny alone", {{1.0e-31f, -1.0e-31f}}, {1.0e30f}, 1.0e20f, -1.0e20f},
      {"unusable trace leaves the range",
       {{nan, 2.0e15f}, {-1.0f, 4.0f}},
       {1.0e30f, 4.0f},
       -1.0f,
       4.0f},
      {"several traces", {{1.0f, 2.0f}, {-5.0f, 0.5f}}, {2.0f, 5.0f}, -5.0f, 2.0f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    vel::ShotRecord rec = RecordOf(c.traces);
    vel::GMINMAX(rec);
    EXPECT_EQ(rec.TRACEMAX, c.traceMax);
    EXPECT_EQ(rec.GMIN, c.gmin);
    EXPECT_EQ(rec.GMAX, c.gmax);
  }
}

TEST(RecordRangeTest, CountsBeyondTheArraysAreSafe) {
  vel::ShotRecord rec = RecordOf({{1.0f, -2.0f}});
  rec.NTRACE = 3;  // more traces claimed than held
  vel::GMINMAX(rec);
  EXPECT_EQ(rec.TRACEMAX.size(), 1u);
  EXPECT_EQ(rec.TRACEMAX[0], 2.0f);
  EXPECT_EQ(rec.GMIN, -2.0f);
  EXPECT_EQ(rec.GMAX, 1.0f);
}

}  // namespace
