#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstddef>
#include <limits>

#include "instruments/ReaderKit.h"

namespace {

using vel::ShotRecord;

TEST(InstrumentFrame, C1toi2SignsEightBitSamples) {
  const std::array<std::byte, 5> in = {std::byte{0}, std::byte{1}, std::byte{127}, std::byte{128},
                                       std::byte{255}};
  std::array<std::int16_t, 6> out{9, 9, 9, 9, 9, 9};
  vel::C1TOI2(in, out, 5);
  EXPECT_EQ(out, (std::array<std::int16_t, 6>{0, 1, 127, -128, -1, 9}));
  vel::C1TOI2(in, out, 0);
  vel::C1TOI2(in, out, -3);
  vel::C1TOI2(in, out, 99);  // never past either buffer
  EXPECT_EQ(out[5], 9);
}

TEST(InstrumentFrame, TraceStatistics) {
  constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
  struct Case {
    const char* name;
    std::array<float, 4> samples;
    float tracemax;
  } cases[] = {
      {"all zero", {0, 0, 0, 0}, 0.0f},
      {"negative", {-10, -4, -2, -1}, 10.0f},
      {"mixed", {-3, 7, 0, 2}, 7.0f},
      {"all NaN", {kNaN, kNaN, kNaN, kNaN}, 1.0e30f},
      {"NaN skipped", {kNaN, -2, 1, kNaN}, 2.0f},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ShotRecord rec;
    rec.NTRACE = 1;
    rec.NSAMP = 4;
    int ierr = 0;
    vel::ALLOCTRACEARRAYS(rec, ierr);
    ASSERT_EQ(ierr, 0);
    std::copy(c.samples.begin(), c.samples.end(), rec.TRACES.begin());
    vel::StartTraceStatistics(rec);
    vel::TraceStatistics(rec, 1);
    EXPECT_EQ(rec.TRACEMAX[0], c.tracemax);
  }
}

TEST(InstrumentFrame, RecordMinimumAndMaximumOverTraces) {
  ShotRecord rec;
  rec.NTRACE = 2;
  rec.NSAMP = 2;
  int ierr = 0;
  vel::ALLOCTRACEARRAYS(rec, ierr);
  rec.TRACES = {0.0f, 0.0f, -5.0f, 3.0f};
  vel::StartTraceStatistics(rec);
  EXPECT_EQ(rec.GMIN, 1.0e30f);
  EXPECT_EQ(rec.GMAX, -1.0e30f);
  vel::TraceStatistics(rec, 1);  // an all-zero trace takes part
  EXPECT_EQ(rec.GMIN, 0.0f);
  EXPECT_EQ(rec.GMAX, 0.0f);
  vel::TraceStatistics(rec, 2);
  EXPECT_EQ(rec.GMIN, -5.0f);
  EXPECT_EQ(rec.GMAX, 3.0f);
  vel::TraceStatistics(rec, 3);  // no such trace: nothing happens
  vel::TraceStatistics(rec, 0);
}

TEST(InstrumentFrame, RebuildGivesInitialValues) {
  ShotRecord rec;
  rec.NTRACE = 48;
  rec.NSAMP = 10;
  int ierr = 0;
  vel::ALLOCTRACEARRAYS(rec, ierr);
  rec.GEOLOC.assign(48, 7.0f);
  rec.IBPICK.assign(48, 3);
  rec.NAUX = 5;
  rec.SHOTY = 2.0f;

  rec.NTRACE = 24;
  vel::ALLOCTRACEARRAYS(rec, ierr);
  ASSERT_EQ(ierr, 0);
  EXPECT_EQ(rec.TRACES.size(), 240u);
  for (std::size_t n :
       {rec.GEOLOC.size(), rec.GOFF.size(), rec.GEOELE.size(), rec.IBPICK.size(),
        rec.TRACEMAX.size(), rec.SHOTLOCX.size(), rec.CTRCTEXT.size(), rec.ITBASE.size(),
        rec.FBREJ4.size(), rec.IVSTACK.size(), rec.CSRCTEXT.size(), rec.CTRCTYPE.size()})
    EXPECT_EQ(n, 24u);
  EXPECT_EQ(rec.NAUX, 0);
  EXPECT_EQ(rec.SHOTY, 0.0f);
  for (int j = 0; j < 24; ++j) {
    EXPECT_EQ(rec.GEOLOC[j], 0.0f);
    EXPECT_EQ(rec.IBPICK[j], 0);
    EXPECT_EQ(rec.IFXGAIN[j], 1);
    EXPECT_EQ(rec.IVSTACK[j], 1);
    EXPECT_EQ(rec.ICHANNEL[j], 0);
    EXPECT_EQ(rec.CSRCTEXT[j].UsedLength(), 0u);
    EXPECT_EQ(rec.CTRCTYPE[j].UsedLength(), 0u);
    EXPECT_EQ(rec.CTRCTEXT[j].View(), std::string(60, '\0'));
  }
}

TEST(InstrumentFrame, RebuildRefusesANegativeCount) {
  ShotRecord rec;
  rec.NTRACE = -1;
  int ierr = 0;
  vel::ALLOCTRACEARRAYS(rec, ierr);
  EXPECT_EQ(ierr, -1);
}

TEST(InstrumentFrame, FieldsReadZeroWhenTheyDoNotRead) {
  bool ok = true;
  EXPECT_EQ(vel::instrument::IntField("ab12x", 2, 2), 12);
  EXPECT_EQ(vel::instrument::IntField("ab1x", 2, 2, &ok), 0);
  EXPECT_FALSE(ok);
  EXPECT_EQ(vel::instrument::IntField("ab", 5, 2, &ok), 0);  // beyond the text: blank
  EXPECT_TRUE(ok);
  EXPECT_EQ(vel::instrument::RealField(" 1e39", 0, 5), 0.0);  // no float holds it
  EXPECT_EQ(vel::instrument::RealField(" 2.5", 0, 4), 2.5);
  EXPECT_EQ(vel::instrument::ToFloat(1e300), 0.0f);
}

}  // namespace
