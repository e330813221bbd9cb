#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "instruments/Egg.h"
#include "shell/Import.h"
#include "tests/instruments/EggDolangFixtures.h"
#include "tests/instruments/ReaderTestBase.h"

namespace {

namespace fx = instrument_fixtures;
using vel::ShotRecord;

float Six(std::initializer_list<int> b) {
  std::vector<std::byte> bytes;
  for (int v : b) bytes.push_back(static_cast<std::byte>(v));
  return vel::FPNCHAN(bytes, 6);
}

TEST(Fpnchan, SixByteRealsAndDoubles) {
  const float onePlus = std::nextafter(1.0f, 2.0f);  // 1 + 2^-23
  const float belowTwo = std::nextafter(2.0f, 0.0f);
  struct Case {
    const char* name;
    std::initializer_list<int> bytes;
    float want;
  } cases[] = {
      {"zero", {0, 0, 0, 0, 0, 0}, 0.0f},
      {"one", {129, 0, 0, 0, 0, 0}, 1.0f},
      {"minus one", {129, 0, 0, 0, 0, 0x80}, -1.0f},
      {"minus two", {130, 0, 0, 0, 0, 0x80}, -2.0f},
      {"half", {128, 0, 0, 0, 0, 0}, 0.5f},
      {"one and a half", {129, 0, 0, 0, 0, 0x40}, 1.5f},
      {"b2 0x80 rounds up", {129, 0, 0x80, 0, 0, 0}, onePlus},
      {"b2 0x7F does not", {129, 0, 0x7F, 0, 0, 0}, 1.0f},
      {"b1 never counts", {129, 0xFF, 0x7F, 0, 0, 0}, 1.0f},
      {"b1 never counts up", {129, 0xFF, 0x80, 0, 0, 0}, onePlus},
      {"no carry out of b3", {129, 0, 0x80, 0xFF, 0xFF, 0x7F}, belowTwo},
      {"largest exponent", {255, 0, 0, 0, 0, 0}, std::ldexp(1.0f, 126)},
      {"smallest normal", {3, 0, 0, 0, 0, 0}, std::numeric_limits<float>::min()},
      {"exponent byte 2 is zero", {2, 0, 0, 0, 0x12, 0x34}, 0.0f},
      {"exponent byte 0 keeps its sign", {0, 0, 0, 1, 0, 0x80}, -0.0f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const float got = Six(c.bytes);
    EXPECT_EQ(std::bit_cast<std::uint32_t>(got), std::bit_cast<std::uint32_t>(c.want))
        << got << " != " << c.want;
  }

  // Doubles: little-endian, rounded to the nearest float; beyond the float
  // range 0.0; any other byte count 0.0.
  auto dbl = [](double v) {
    const std::string s = fx::Double(v);
    return vel::FPNCHAN(std::as_bytes(std::span(s.data(), s.size())), 8);
  };
  EXPECT_EQ(dbl(0.0005), 0.0005f);
  EXPECT_EQ(dbl(1.0 + 0x1.8p-24), onePlus);  // above the half: up
  EXPECT_EQ(dbl(1.0 + 0x1p-25), 1.0f);
  EXPECT_EQ(dbl(-123.456), -123.456f);
  EXPECT_EQ(dbl(1e300), 0.0f);
  const std::string six = fx::SixByteReal(1.0f);
  EXPECT_EQ(vel::FPNCHAN(std::as_bytes(std::span(six.data(), 6)), 7), 0.0f);
  EXPECT_EQ(vel::FPNCHAN(std::as_bytes(std::span(six.data(), 5)), 6), 0.0f);
}

class EggTest : public ReaderTest {};

void ExpectEggRecord(const ShotRecord& rec, const fx::Egg& f) {
  ASSERT_EQ(rec.NTRACE, f.ntrace);
  ASSERT_EQ(rec.NSAMP, f.nsamp);
  EXPECT_EQ(rec.SAMPINT, 1000.0f * static_cast<float>(f.interval));
  EXPECT_EQ(rec.TDELAY, 1000.0f * static_cast<float>(f.delay));
  float gmin = 1e30f;
  float gmax = -1e30f;
  for (int j = 1; j <= f.ntrace; ++j) {
    const auto t = vel::Trace(rec, j);
    float peak = 0.0f;
    for (int i = 0; i < f.nsamp; ++i) {
      ASSERT_EQ(t[static_cast<std::size_t>(i)], fx::EggSample(j, i)) << j << " " << i;
      peak = std::max(peak, std::fabs(t[static_cast<std::size_t>(i)]));
      gmin = std::min(gmin, t[static_cast<std::size_t>(i)]);
      gmax = std::max(gmax, t[static_cast<std::size_t>(i)]);
    }
    EXPECT_EQ(rec.TRACEMAX[static_cast<std::size_t>(j - 1)], peak);
  }
  EXPECT_EQ(rec.GMIN, gmin);
  EXPECT_EQ(rec.GMAX, gmax);
  EXPECT_FALSE(rec.LPICKS);
  EXPECT_EQ(rec.NAUX, 0);
  EXPECT_EQ(rec.SHOTELEV, 0.0f);
}

TEST_F(EggTest, DetectionGivesTheLayouts) {
  fx::Egg zero(0, 2, 10);
  Write("zero.dat", zero.Bytes());
  fx::Egg one(1, 2, 10);
  Write("one.dat", one.Bytes());
  // The first layout's bytes 300-307 (the 6-byte interval and the delay's
  // first two bytes) must not read as a double of the second layout.
  const std::string h = zero.Header();
  double v = 0.0;
  std::memcpy(&v, h.data() + 300, 8);
  EXPECT_FALSE(v >= 1e-5 && v <= 0.01) << v;
  EXPECT_EQ(vel::ISEISFT("zero.dat"), 4);
  EXPECT_EQ(vel::ISEISFT("one.dat"), 5);
}

TEST_F(EggTest, BothLayoutsRead24TracesOf1000Samples) {
  for (int layout : {0, 1}) {
    SCOPED_TRACE(layout);
    const fx::Egg f(layout);
    const std::string bytes = f.Bytes();
    ASSERT_EQ(bytes.size(), f.HeaderBytes() + 24u * 2048u);
    Write("shot.dat", bytes);
    ShotRecord rec = Loaded();
    rec.NAUX = 3;
    int ierr = 99;
    vel::EGG(rec, "shot.dat", ierr, false, layout);
    ASSERT_EQ(ierr, 0) << sup::LastUserMessage().text;
    ExpectEggRecord(rec, f);
    // The last 24 samples of every block are not part of the trace.
    EXPECT_EQ(rec.TRACES.size(), 24u * 1000u);
    // Filters rounded halves away from zero into every trace.
    for (std::size_t j = 0; j < 24; ++j) {
      EXPECT_EQ(rec.IHICUT[j], 251);
      EXPECT_EQ(rec.ILOCUT[j], 11);
      EXPECT_EQ(rec.INOTCH[j], 50);
    }
    if (layout == 0) {
      EXPECT_EQ(rec.SHOTX, -5.0f);
      EXPECT_EQ(rec.SPACING, 3.0f);
      EXPECT_EQ(rec.GEOLOC[0], 2.0f);
      EXPECT_EQ(rec.GEOLOC[23], 2.0f + 23 * 3.0f);
      EXPECT_EQ(rec.GOFF[23], 2.0f + 23 * 3.0f + 5.0f);
    } else {
      EXPECT_EQ(rec.SHOTX, 0.0f);
      EXPECT_EQ(rec.SPACING, 0.0f);
      EXPECT_EQ(rec.GEOLOC[23], 0.0f);
      EXPECT_EQ(rec.GOFF[23], 0.0f);
    }
    EXPECT_EQ(sup::UserMessageCount(), 0);
  }
}

TEST_F(EggTest, OptionFlagStillReadsTheSamplesAndTheWholeHeader) {
  fx::Egg f(1, 3, 20);
  Write("merge.dat", f.Bytes());
  ShotRecord rec;
  int ierr = 0;
  vel::EGG(rec, "merge.dat", ierr, true, 1);
  ASSERT_EQ(ierr, 0);
  ExpectEggRecord(rec, f);
}

TEST_F(EggTest, FiltersAndPositionsOfTheHeader) {
  struct Case {
    double highCut, lowCut, notch;
    std::int16_t wantHigh, wantLow, wantNotch;
  } cases[] = {
      {-0.5, 2.49, 60.5, -1, 2, 61},
      {1e6, -1e6, 32767.4, 32767, -32768, 32767},
  };
  for (int layout : {0, 1}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(testing::Message() << layout << " " << c.highCut);
      fx::Egg f(layout, 2, 4);
      f.highCut = c.highCut;
      f.lowCut = c.lowCut;
      f.notch = c.notch;
      f.shotX = -7.5;
      f.first = -1.0;
      f.spacing = -2.0;
      Write("f.dat", f.Bytes());
      ShotRecord rec;
      int ierr = 0;
      vel::EGG(rec, "f.dat", ierr, false, layout);
      ASSERT_EQ(ierr, 0);
      EXPECT_EQ(rec.IHICUT, (std::vector<std::int16_t>{c.wantHigh, c.wantHigh}));
      EXPECT_EQ(rec.ILOCUT, (std::vector<std::int16_t>{c.wantLow, c.wantLow}));
      EXPECT_EQ(rec.INOTCH, (std::vector<std::int16_t>{c.wantNotch, c.wantNotch}));
      if (layout == 0) {
        // A negative spacing is stored positive; negative positions stay.
        EXPECT_EQ(rec.SPACING, 2.0f);
        EXPECT_EQ(rec.SHOTX, -7.5f);
        EXPECT_EQ(rec.GEOLOC, (std::vector<float>{-1.0f, -3.0f}));
        EXPECT_EQ(rec.GOFF, (std::vector<float>{6.5f, 4.5f}));
      }
    }
  }
}

TEST_F(EggTest, ReadOnlyFileIsRead) {
  fx::Egg f(0, 2, 8);
  Write("ro.dat", f.Bytes());
  std::filesystem::permissions("ro.dat", std::filesystem::perms::owner_read);
  ShotRecord rec;
  int ierr = 0;
  vel::EGG(rec, "ro.dat", ierr, false, 0);
  EXPECT_EQ(ierr, 0) << sup::LastUserMessage().text;
  EXPECT_EQ(rec.NTRACE, 2);
}

TEST_F(EggTest, HostileFilesLeaveTheRecordAlone) {
  auto counts = [](int layout, int ntrace, int nsamp) {
    fx::Egg f(layout, 2, 8);
    f.ntrace = ntrace;
    f.nsamp = nsamp;
    std::string s = f.Header();
    s.append(2u * 2048u, '\0');
    return s;
  };
  struct Case {
    const char* name;
    std::string bytes;
  } cases[] = {
      {"header 984 of 985", fx::Egg(0, 2, 8).Bytes().substr(0, 984)},
      {"header 1196 of 1197", fx::Egg(1, 2, 8).Bytes().substr(0, 1196)},
      {"no traces", counts(0, 0, 8)},
      {"negative traces", counts(1, -3, 8)},
      {"no samples", counts(0, 2, 0)},
      {"negative samples", counts(1, 2, -1)},
      {"1025 samples", counts(0, 2, 1025)},
      {"block cut short", fx::Egg(0, 3, 8).Bytes().substr(0, 985 + 2 * 2048 + 2047)},
      {"last block missing", fx::Egg(1, 3, 8).Bytes().substr(0, 1197 + 2 * 2048)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Write("bad.dat", c.bytes);
    ShotRecord rec = Loaded();
    const ShotRecord before = rec;
    std::int32_t recno = 0;
    int ierr = 0;
    sup::ClearUserMessages();
    vel::IMPORT(rec, "bad.dat", recno, ierr, false, false);
    EXPECT_EQ(ierr, -1);
    EXPECT_EQ(sup::LastUserMessage().text, ReadError("bad.dat"));
    EXPECT_EQ(sup::UserMessageCount(), 1);
    EXPECT_EQ(rec.TRACES, before.TRACES);
    EXPECT_EQ(rec.CRECNAME, before.CRECNAME);
    EXPECT_EQ(rec.NTRACE, before.NTRACE);
  }
}

TEST_F(EggTest, MissingFile) {
  ShotRecord rec;
  int ierr = 0;
  vel::EGG(rec, "absent.dat", ierr, false, 0);
  EXPECT_EQ(ierr, -1);
  EXPECT_EQ(sup::LastUserMessage().text, "Error opening file " + Padded256("absent.dat"));
}

TEST_F(EggTest, ImportReadsBothCodes) {
  for (int layout : {0, 1}) {
    SCOPED_TRACE(layout);
    const fx::Egg f(layout, 4, 100);
    Write("line9.dat", f.Bytes());
    ShotRecord rec = Loaded();
    rec.SPACING = 8.0f;
    std::int32_t recno = 0;
    int ierr = 0;
    vel::IMPORT(rec, "line9.dat", recno, ierr, false, false);
    ASSERT_EQ(ierr, 0) << sup::LastUserMessage().text;
    EXPECT_EQ(rec.IFORMAT, 4 + layout);
    EXPECT_EQ(rec.CRECNAME, vel::RecordName("line9"));
    ExpectEggRecord(rec, f);
  }
}

}  // namespace
