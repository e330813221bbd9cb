// The shot record: rebuilding its arrays, the stored main header, the pick
// rule and the stored display options.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "record/ShotRecord.h"

namespace {

using vel::ShotRecord;

TEST(ShotRecordTest, LoadTimeValues) {
  const ShotRecord rec;
  EXPECT_EQ(rec.T0NMO, 10.0f);
  EXPECT_EQ(rec.VNMO, 2000.0f);
  EXPECT_EQ(rec.T0REF, 10.0f);
  EXPECT_EQ(rec.VREF, 2000.0f);
  EXPECT_EQ(rec.NTRACE, 0);
  EXPECT_EQ(rec.CRECNAME.UsedLength(), 0u);
  EXPECT_TRUE(rec.TRACES.empty());
  EXPECT_FALSE(rec.LSEGYHDR);
}

TEST(ShotRecordTest, RebuildSizesAndClearsEveryArray) {
  ShotRecord rec;
  rec.NSAMP = 3;
  rec.NTRACE = 2;
  ASSERT_TRUE(vel::RebuildTraceArrays(rec));
  rec.TRACES[5] = 7.0f;
  rec.IBPICK[1] = 4;
  rec.CSRCTEXT[0] = "HAMMER";
  rec.ITBASE[1] = 3;
  rec.FBREJ4[0] = 1.0f;

  rec.NTRACE = 4;
  ASSERT_TRUE(vel::RebuildTraceArrays(rec));
  EXPECT_EQ(rec.TRACES.size(), 12u);
  for (float v : rec.TRACES) EXPECT_EQ(v, 0.0f);
  const auto n = static_cast<std::size_t>(rec.NTRACE);
  for (const auto* a :
       {&rec.GEOLOC,   &rec.GEOELE,  &rec.GOFF,     &rec.TRACEMAX, &rec.GEOLOCY, &rec.SHOTLOCX,
        &rec.SHOTLOCY, &rec.FALIAS,  &rec.FALIASS,  &rec.DATUMEL,  &rec.DESCALE, &rec.FDBREJ1,
        &rec.FDBREJ4,  &rec.FDHICUT, &rec.FDLOCUTS, &rec.FHICUT,   &rec.FLOCUTS, &rec.FNOTCH,
        &rec.TSKEW,    &rec.STATSRC, &rec.STATTOT,  &rec.SHOTLOCZ, &rec.FBREJ1,  &rec.FBREJ4}) {
    ASSERT_EQ(a->size(), n);
    for (float v : *a) EXPECT_EQ(v, 0.0f);
  }
  for (const auto* a : {&rec.IBPICK, &rec.IAMPREC, &rec.ICDP, &rec.ICDPTRC, &rec.ICHANNEL,
                        &rec.IENDGRP, &rec.IFXGAIN, &rec.ILINEID, &rec.IPOLAR, &rec.ISHOTSEQ,
                        &rec.ISRCSTN, &rec.IRCVSTN, &rec.IVSTACK}) {
    ASSERT_EQ(a->size(), n);
    for (auto v : *a) EXPECT_EQ(v, 0);
  }
  for (const auto* a : {&rec.IHICUT, &rec.ILOCUT, &rec.INOTCH, &rec.IYEAR, &rec.IDAY, &rec.IHOUR,
                        &rec.IMINUTE, &rec.ISECOND, &rec.ITBASE}) {
    ASSERT_EQ(a->size(), n);
    for (auto v : *a) EXPECT_EQ(v, 0);
  }
  ASSERT_EQ(rec.CTRCTEXT.size(), n);
  ASSERT_EQ(rec.CSRCTEXT.size(), n);
  ASSERT_EQ(rec.CTRCTYPE.size(), n);
  for (const auto& t : rec.CSRCTEXT) EXPECT_EQ(t.UsedLength(), 0u);
  EXPECT_EQ(rec.CTRCTEXT[3].View(), std::string(60, ' '));
}

TEST(ShotRecordTest, SegyTraceHeadersRebuiltOnlyWhenAsked) {
  ShotRecord rec;
  rec.NSAMP = 1;
  rec.NTRACE = 2;
  ASSERT_TRUE(vel::RebuildTraceArrays(rec, vel::SegyTraceHeaders::Allocate));
  ASSERT_EQ(rec.ISEGYTRH.size(), 2u);
  rec.ISEGYTRH[1][0] = std::byte{9};

  // A reader without SEG-Y headers leaves the old ones as they were.
  rec.NTRACE = 5;
  ASSERT_TRUE(vel::RebuildTraceArrays(rec));
  ASSERT_EQ(rec.ISEGYTRH.size(), 2u);
  EXPECT_EQ(rec.ISEGYTRH[1][0], std::byte{9});

  ASSERT_TRUE(vel::RebuildTraceArrays(rec, vel::SegyTraceHeaders::Allocate));
  ASSERT_EQ(rec.ISEGYTRH.size(), 5u);
  EXPECT_EQ(rec.ISEGYTRH[1][0], std::byte{0});
}

TEST(ShotRecordTest, RebuildRefusesImpossibleCounts) {
  struct Case {
    std::int32_t nsamp, ntrace;
  };
  for (const Case c :
       {Case{-1, 3}, Case{3, -1},
        Case{std::numeric_limits<std::int32_t>::max(), std::numeric_limits<std::int32_t>::max()}}) {
    SCOPED_TRACE(testing::Message() << c.nsamp << " x " << c.ntrace);
    ShotRecord rec;
    rec.NSAMP = c.nsamp;
    rec.NTRACE = c.ntrace;
    EXPECT_FALSE(vel::RebuildTraceArrays(rec));
    EXPECT_TRUE(rec.TRACES.empty());
    EXPECT_TRUE(rec.FBREJ4.empty());
  }
}

TEST(ShotRecordTest, ZeroTracesIsAValidRebuild) {
  ShotRecord rec;
  rec.NSAMP = 100;
  ASSERT_TRUE(vel::RebuildTraceArrays(rec));
  EXPECT_TRUE(rec.TRACES.empty());
  EXPECT_TRUE(vel::Trace(rec, 1).empty());
}

TEST(ShotRecordTest, ReleaseEmptiesEveryArray) {
  ShotRecord rec;
  rec.NSAMP = 2;
  rec.NTRACE = 2;
  ASSERT_TRUE(vel::RebuildTraceArrays(rec, vel::SegyTraceHeaders::Allocate));
  vel::ReleaseTraceArrays(rec);
  EXPECT_TRUE(rec.TRACES.empty());
  EXPECT_TRUE(rec.ISEGYTRH.empty());
  EXPECT_TRUE(rec.IBPICK.empty());
  EXPECT_TRUE(rec.CTRCTYPE.empty());
  EXPECT_TRUE(rec.FBREJ4.empty());
  EXPECT_EQ(rec.NTRACE, 2);
}

TEST(ShotRecordTest, TraceIsOneColumnPerTrace) {
  ShotRecord rec;
  rec.NSAMP = 3;
  rec.NTRACE = 2;
  ASSERT_TRUE(vel::RebuildTraceArrays(rec));
  for (std::size_t i = 0; i < rec.TRACES.size(); ++i) rec.TRACES[i] = static_cast<float>(i);
  const auto t2 = vel::Trace(rec, 2);
  ASSERT_EQ(t2.size(), 3u);
  EXPECT_EQ(t2[0], 3.0f);
  EXPECT_EQ(t2[2], 5.0f);
  EXPECT_TRUE(vel::Trace(rec, 0).empty());
  EXPECT_TRUE(vel::Trace(rec, 3).empty());
  // A count that the arrays do not match gives nothing rather than a bad span.
  rec.NTRACE = 9;
  EXPECT_TRUE(vel::Trace(rec, 9).empty());
}

TEST(ShotRecordTest, MainHeaderLayout) {
  ShotRecord rec;
  rec.CRECNAME = "SHOT01";
  rec.SAMPINT = 0.25f;
  rec.SPAREHDR = 1.5f;
  rec.TDELAY = -2.0f;
  rec.GMAX = 8.0f;
  rec.NSAMP = 1024;
  rec.NTRACE = 24;
  rec.ISHOT = 7;
  rec.CUNITS = "M";
  rec.LPICKS = true;
  rec.SHOTY = 3.0f;
  rec.IFORMAT = 9;
  rec.NAUX = 2;
  rec.VREF = 1500.0f;
  std::vector<std::byte> bytes(vel::kMainHeaderBytes);
  ASSERT_TRUE(vel::WriteMainHeader(rec, bytes));

  const auto i32At = [&](std::size_t off) {
    std::int32_t v = 0;
    for (int k = 3; k >= 0; --k) v = (v << 8) | static_cast<std::int32_t>(bytes[off + k]);
    return v;
  };
  const auto f32At = [&](std::size_t off) {
    const std::int32_t v = i32At(off);
    float f;
    std::memcpy(&f, &v, 4);
    return f;
  };
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes.data()), 32),
            "SHOT01" + std::string(26, ' '));
  EXPECT_EQ(f32At(32), 0.25f);
  EXPECT_EQ(f32At(36), 1.5f);
  EXPECT_EQ(f32At(40), -2.0f);
  EXPECT_EQ(f32At(68), 8.0f);
  EXPECT_EQ(i32At(72), 1024);
  EXPECT_EQ(i32At(76), 24);
  EXPECT_EQ(i32At(80), 7);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes.data()) + 84, 4), "M   ");
  EXPECT_EQ(i32At(88), -1);
  EXPECT_EQ(f32At(92), 3.0f);
  EXPECT_EQ(i32At(96), 0);
  EXPECT_EQ(i32At(100), 9);
  EXPECT_EQ(f32At(104), 10.0f);
  EXPECT_EQ(f32At(108), 2000.0f);
  EXPECT_EQ(i32At(112), 2);
  EXPECT_EQ(f32At(116), 10.0f);
  EXPECT_EQ(f32At(120), 1500.0f);

  ShotRecord back;
  ASSERT_TRUE(vel::ReadMainHeader(back, bytes));
  EXPECT_EQ(back.CRECNAME, rec.CRECNAME);
  EXPECT_EQ(back.SPAREHDR, 1.5f);
  EXPECT_EQ(back.NTRACE, 24);
  EXPECT_TRUE(back.LPICKS);
  EXPECT_FALSE(back.LRADAR);
  EXPECT_EQ(back.VREF, 1500.0f);

  // Any value with the lowest bit set is true.
  bytes[96] = std::byte{1};
  ASSERT_TRUE(vel::ReadMainHeader(back, bytes));
  EXPECT_TRUE(back.LRADAR);
}

TEST(ShotRecordTest, MainHeaderShortBufferFailsAndChangesNothing) {
  ShotRecord rec;
  std::vector<std::byte> shortBuf(vel::kMainHeaderBytes - 1);
  EXPECT_FALSE(vel::WriteMainHeader(rec, shortBuf));
  rec.NTRACE = 5;
  EXPECT_FALSE(vel::ReadMainHeader(rec, shortBuf));
  EXPECT_EQ(rec.NTRACE, 5);
}

TEST(ShotRecordTest, PickRule) {
  ShotRecord rec;
  rec.SAMPINT = 0.5f;
  rec.TDELAY = -10.0f;
  EXPECT_FALSE(vel::HasPick(0));
  EXPECT_FALSE(vel::HasPick(-3));
  EXPECT_TRUE(vel::HasPick(1));
  // Index 1 lies one sample interval after the delay time.
  EXPECT_EQ(vel::PickTime(rec, 1), -9.5f);
  EXPECT_EQ(vel::PickTime(rec, 40), 10.0f);
  EXPECT_EQ(vel::PickIndex(rec, 10.0f), 40);
  // Halves round away from zero.
  EXPECT_EQ(vel::PickIndex(rec, -9.75f), 1);
  EXPECT_EQ(vel::PickIndex(rec, -10.25f), -1);
  // No sample interval or no finite time: no pick.
  rec.SAMPINT = 0.0f;
  EXPECT_EQ(vel::PickIndex(rec, 5.0f), 0);
  rec.SAMPINT = 1.0f;
  EXPECT_EQ(vel::PickIndex(rec, std::nanf("")), 0);
}

TEST(ShotRecordTest, DisplayOptionsStoredFieldByField) {
  vel::TraceDisplayOptions opts;
  EXPECT_EQ(opts.TRACECLIP, 2.0f);
  EXPECT_EQ(opts.AGCFRAC, 0.3f);
  EXPECT_EQ(opts.IGAINMETHOD, 2);
  EXPECT_TRUE(opts.LVERTICAL);
  EXPECT_FALSE(opts.LGEOPOS);
  opts.TRACECLIP = 0.01f;
  opts.LGEOPOS = true;
  opts.PIXELSIZE = 0.5f;
  opts.IFIRSTTRACE = 3;
  opts.USERMAX = 99.0f;

  std::vector<std::byte> full(vel::kTraceDisplayOptionsBytes);
  sup::ByteWriter w(full, sup::ByteOrder::Little);
  vel::WriteTraceDisplayOptions(opts, w, vel::kTraceDisplayOptionsBytes);
  ASSERT_TRUE(w.Ok());
  EXPECT_EQ(w.Offset(), 56u);
  EXPECT_EQ(full[32], std::byte{0xff});  // LGEOPOS true as -1

  std::vector<std::byte> stored(vel::kStoredDisplayOptionsBytes);
  sup::ByteWriter ws(stored, sup::ByteOrder::Little);
  vel::WriteTraceDisplayOptions(opts, ws);
  ASSERT_TRUE(ws.Ok());
  EXPECT_EQ(ws.Offset(), 40u);
  EXPECT_TRUE(std::equal(stored.begin(), stored.end(), full.begin()));

  // Reading the stored 40 bytes keeps the last four fields.
  vel::TraceDisplayOptions back;
  sup::ByteReader r(stored, sup::ByteOrder::Little);
  vel::ReadTraceDisplayOptions(back, r);
  ASSERT_TRUE(r.Ok());
  EXPECT_EQ(back.TRACECLIP, 0.01f);
  EXPECT_TRUE(back.LGEOPOS);
  EXPECT_EQ(back.PIXELSIZE, 0.5f);
  EXPECT_EQ(back.IFIRSTTRACE, 0);
  EXPECT_EQ(back.USERMAX, 0.0f);

  sup::ByteReader rf(full, sup::ByteOrder::Little);
  vel::ReadTraceDisplayOptions(back, rf, vel::kTraceDisplayOptionsBytes);
  EXPECT_EQ(back, opts);

  // A short block changes nothing.
  vel::TraceDisplayOptions untouched;
  sup::ByteReader rs{std::span<const std::byte>(stored).first(39), sup::ByteOrder::Little};
  vel::ReadTraceDisplayOptions(untouched, rs);
  EXPECT_FALSE(rs.Ok());
  EXPECT_EQ(untouched, vel::TraceDisplayOptions{});
}

}  // namespace
