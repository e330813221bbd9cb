#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "formats/SegyHeaders.h"

namespace {

using namespace vel;

TEST(SegyHeaders, CharacterTablesAreEachOthersInverse) {
  std::string s = "Ab-9_?";
  ASC2ECD(s, 6);
  EXPECT_EQ(s, std::string("\xC1\x82\x60\xF9\x6E\x70"));
  ECD2ASCNOWINLIB(s, 6);
  EXPECT_EQ(s, "Ab-9_?");
  // Every character the ASCII table lists comes back; EBCDIC 7D reads as an
  // apostrophe, anything unlisted as a blank.
  const std::string listed =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789 "
      "[.<(+!]$*);^-/|,%_>?':#@=\"{}\\";
  std::string t = listed;
  ASC2ECD(t, static_cast<int>(t.size()));
  ECD2ASCNOWINLIB(t, static_cast<int>(t.size()));
  EXPECT_EQ(t, listed);
  std::string odd = "\x7D\x00\xFF";
  odd.resize(3);
  odd[1] = '\0';
  ECD2ASCNOWINLIB(odd, 3);
  EXPECT_EQ(odd, "'  ");
  std::string tilde = "~";
  ASC2ECD(tilde, 1);
  EXPECT_EQ(static_cast<unsigned char>(tilde[0]), 0x40);
  std::string untouched = "ab";
  ASC2ECD(untouched, 0);
  EXPECT_EQ(untouched, "ab");
}

TEST(SegyHeaders, ScalarFactors) {
  EXPECT_FLOAT_EQ(SegyScalarFactor(-100) * 25.0f, 0.25f);
  EXPECT_FLOAT_EQ(SegyScalarFactor(10) * 25.0f, 250.0f);
  EXPECT_FLOAT_EQ(SegyScalarFactor(0) * 25.0f, 25.0f);
  EXPECT_FLOAT_EQ(SegyScalarFactor(1) * 25.0f, 25.0f);
  EXPECT_FLOAT_EQ(SegyScalarFactor(-32768), 1.0f / 32768.0f);
}

TEST(SegyHeaders, TraceHeaderMapBothWays) {
  ShotRecord rec;
  rec.NTRACE = 2;
  rec.NSAMP = 10;
  rec.SAMPINT = 0.125f;
  rec.TDELAY = -5.4f;
  rec.TUPHOLE = 40.0f;  // 40000 microseconds: beyond the 16-bit field
  rec.ISHOT = 7;
  rec.SHOTELEV = 101.5f;
  ASSERT_TRUE(RebuildTraceArrays(rec, SegyTraceHeaders::Allocate));
  rec.GEOLOC = {12.125f, -12.125f};
  rec.GOFF = {0.25f, 3.0f};
  rec.IVSTACK = {40000, 2};
  rec.IYEAR = {97, 97};
  rec.CTRCTEXT[0] = "free text";
  bool clamped = false;
  SegyTraceHeader h = BuildSegyTraceHeader(rec, 1, clamped);
  EXPECT_TRUE(clamped);
  EXPECT_EQ(SegyTrcI16(h, 95), 32767);
  EXPECT_EQ(SegyTrcI32(h, 1), 1);
  EXPECT_EQ(SegyTrcI32(h, 81), 1213);
  EXPECT_EQ(SegyTrcI32(BuildSegyTraceHeader(rec, 2, clamped), 81), -1213);
  EXPECT_EQ(SegyTrcI16(h, 31), -25536) << "16-bit fields take the low 16 bits";
  EXPECT_EQ(SegyTrcI16(h, 69), -100);
  EXPECT_EQ(SegyTrcI16(h, 71), -100);
  EXPECT_EQ(SegyTrcI16(h, 109), -5);
  EXPECT_EQ(SegyTrcI16(h, 117), 125);
  EXPECT_EQ(SegyTrcI16(h, 115), 10);
  EXPECT_EQ(SegyTrcI32(h, 45), 10150);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(h.data() + 180), 9), "free text");
  rec.TUPHOLE = -1.5f;
  EXPECT_EQ(SegyTrcI16(BuildSegyTraceHeader(rec, 1, clamped), 95), -1500);
  EXPECT_FALSE(clamped);

  // Swapping twice gives the header back; bytes 181-240 are never swapped.
  SegyTraceHeader s = h;
  SwapSegyTraceHeader(s);
  EXPECT_EQ(std::to_integer<int>(s[3]), 1);
  EXPECT_EQ(std::to_integer<int>(s[180]), 'f');
  SwapSegyTraceHeader(s);
  EXPECT_EQ(s, h);

  ShotRecord back;
  back.NTRACE = 2;
  back.NSAMP = 10;
  ASSERT_TRUE(RebuildTraceArrays(back, SegyTraceHeaders::Allocate));
  ApplySegyTraceHeader(back, 1, h);
  EXPECT_FLOAT_EQ(back.GEOLOC[0], 12.13f);
  EXPECT_FLOAT_EQ(back.GOFF[0], 0.25f);
  EXPECT_FLOAT_EQ(back.SHOTELEV, 101.5f);
  EXPECT_FLOAT_EQ(back.TUPHOLE, 32.767f);
  EXPECT_EQ(back.IYEAR[0], 97);
  EXPECT_EQ(back.ISEGYTRH[0], h);
}

// Edited values go into the stored headers through each trace's own
// scalars, so that reading the headers again gives the edited values.
TEST(SegyHeaders, EditedValuesAreStoredAsTheReaderReadsThemBack) {
  struct Case {
    std::int16_t scalar;
    std::int32_t stored;  // an easting of 1300
  };
  const Case cases[] = {{-100, 130000}, {0, 1300}, {1, 1300}, {10, 130}, {-1, 1300}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.scalar);
    ShotRecord rec;
    rec.NTRACE = 2;
    rec.NSAMP = 4;
    ASSERT_TRUE(RebuildTraceArrays(rec, SegyTraceHeaders::Allocate));
    rec.LSEGYHDR = true;
    for (SegyTraceHeader& h : rec.ISEGYTRH) {
      SegyPut(h, segy_trc::kCoordinateScalar, c.scalar);
      SegyPut(h, segy_trc::kElevationScalar, c.scalar);
    }
    rec.GEOLOC = {1300.0f, 1310.0f};
    rec.GEOLOCY = {20.0f, 20.0f};
    rec.GEOELE = {100.0f, 90.0f};
    rec.GOFF = {10.0f, 20.0f};
    rec.SHOTX = 1290.0f;
    rec.SHOTELEV = 50.0f;
    rec.ISHOT = 12;
    rec.SAMPINT = 0.5f;
    rec.TUPHOLE = 2.5f;
    rec.TDELAY = -3.0f;
    EXPECT_TRUE(StoreEditedSegyHeaders(rec));
    const SegyTraceHeader& h = rec.ISEGYTRH[0];
    EXPECT_EQ(SegyTrcI32(h, 81), c.stored);
    EXPECT_EQ(SegyTrcI32(h, 17), 12);
    EXPECT_EQ(SegyBinI32(rec.ISEGYBIN, 3201), 12);
    EXPECT_EQ(SegyBinI16(rec.ISEGYBIN, 3217), 500);
    EXPECT_EQ(SegyTrcI16(h, 117), 500);
    EXPECT_EQ(SegyTrcI16(h, 95), 2500);
    EXPECT_EQ(SegyTrcI16(h, 109), -3);
    ShotRecord back = rec;
    for (int j = 1; j <= 2; ++j) ApplySegyTraceHeader(back, j, rec.ISEGYTRH[static_cast<std::size_t>(j - 1)]);
    EXPECT_EQ(back.GEOLOC, rec.GEOLOC);
    EXPECT_EQ(back.GEOLOCY, rec.GEOLOCY);
    EXPECT_EQ(back.GEOELE, rec.GEOELE);
    EXPECT_EQ(back.GOFF, rec.GOFF);
    EXPECT_EQ(back.SHOTX, rec.SHOTX);
    EXPECT_EQ(back.SHOTELEV, rec.SHOTELEV);
    EXPECT_FLOAT_EQ(back.TUPHOLE, rec.TUPHOLE);
  }
}

// Values beyond their fields are stored at the fields' ends, never wrapped.
TEST(SegyHeaders, EditedValuesBeyondTheirFieldsAreClampedAndTold) {
  ShotRecord rec;
  rec.NTRACE = 1;
  rec.NSAMP = 4;
  ASSERT_TRUE(RebuildTraceArrays(rec, SegyTraceHeaders::Allocate));
  rec.SAMPINT = 1.0f;
  rec.TUPHOLE = 40.0f;  // 40000 microseconds
  EXPECT_FALSE(StoreEditedSegyHeaders(rec));
  EXPECT_EQ(SegyTrcI16(rec.ISEGYTRH[0], 95), 32767);

  rec.TUPHOLE = 1.0f;
  SegyPut(rec.ISEGYTRH[0], segy_trc::kCoordinateScalar, -10000);
  rec.GEOLOC[0] = 1.0e6f;  // 1e10 in the field
  EXPECT_FALSE(StoreEditedSegyHeaders(rec));
  EXPECT_EQ(SegyTrcI32(rec.ISEGYTRH[0], 81), 2147483647);
  rec.GEOLOC[0] = -1.0e6f;
  EXPECT_FALSE(StoreEditedSegyHeaders(rec));
  EXPECT_EQ(SegyTrcI32(rec.ISEGYTRH[0], 81), -2147483647 - 1);
  rec.GEOLOC[0] = 1.0f;
  rec.TDELAY = 40000.0f;
  EXPECT_FALSE(StoreEditedSegyHeaders(rec));
  EXPECT_EQ(SegyTrcI16(rec.ISEGYTRH[0], 109), 32767);
  rec.TDELAY = 0.0f;
  EXPECT_TRUE(StoreEditedSegyHeaders(rec));

  // Fewer stored headers than traces: only those there are written.
  rec.NTRACE = 5;
  EXPECT_TRUE(StoreEditedSegyHeaders(rec));
}

TEST(SegyHeaders, BuiltTextHeader) {
  ShotRecord rec;
  rec.CRECNAME = "line7";
  rec.NTRACE = 24;
  rec.NSAMP = 1000;
  rec.SAMPINT = 0.25f;
  rec.CNOTE = std::string("a note in lower case ") + std::string(80, 'x');
  rec.IFDBLEN[12] = 100;
  const SegyBinaryHeader bin = BuildSegyBinaryHeader(rec, kSegyIbmFloat, false);
  const std::string t = BuildSegyTextHeader(rec, bin, 4, 0);
  ASSERT_EQ(t.size(), 3200u);
  for (int n = 1; n <= 40; ++n) {
    char label[8];
    std::snprintf(label, sizeof label, "C%2d", n);
    EXPECT_EQ(t.substr(static_cast<std::size_t>(80 * (n - 1)), 3), label);
  }
  const auto line = [&](int n) { return t.substr(static_cast<std::size_t>(80 * (n - 1)), 80); };
  EXPECT_EQ(line(2).substr(0, 15), "C 2 LINE  LINE7");
  EXPECT_EQ(line(5).substr(0, 27), "C 5 DATA TRACES/RECORD   24");
  EXPECT_EQ(line(6).substr(0, 24), "C 6 SAMPLE INTERVAL  250");
  EXPECT_EQ(line(9)[31], ' ');
  EXPECT_EQ(line(9), std::string("C 9 GAIN TYPE: FIXED     BINARY      FLOATING POINT     OTHER") +
                         std::string(19, ' '));
  EXPECT_EQ(line(24).substr(4, 20), "a note in lower case");
  EXPECT_EQ(line(24).size(), 80u);
  EXPECT_EQ(line(24).substr(68), std::string(12, ' ')) << "the note is cut to 64 characters";
  EXPECT_EQ(line(40).substr(0, 14), "C40 END EBCDIC");
  EXPECT_EQ(SegyBinI16(bin, 3213), 24);
  EXPECT_EQ(SegyBinI16(bin, 3217), 250);
  EXPECT_EQ(SegyBinI16(bin, 3219), 250);
  EXPECT_EQ(SegyBinI16(bin, 3229), 1);
  EXPECT_EQ(SegyBinI16(bin, 3255), 1);
  EXPECT_EQ(SegyBinI16(BuildSegyBinaryHeader(rec, 3, true), 3213), 1);
  const std::string fixed = BuildSegyTextHeader(rec, bin, 4, 4240);
  EXPECT_EQ(fixed.substr(80 * 22, 40), "C23 ZODARE FILE REC LENGTH:   4240 BYTES");
}

TEST(SegyHeaders, IntegerSamplesScaleFromTheSamplesAndSaturate) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  const std::vector<float> in = {0.5f, -0.25f, nan, 0.125f, -0.5f, inf};
  std::vector<std::int32_t> i32(in.size());
  ScaleToInt32(in, i32, 2000000.0f);
  EXPECT_EQ(i32, (std::vector<std::int32_t>{2000000, -1000000, 0, 500000, -2000000, 2147483647}));
  std::vector<std::int16_t> i16(in.size());
  ScaleToInt16(in, i16, 32000.0f);
  EXPECT_EQ(i16, (std::vector<std::int16_t>{32000, -16000, 0, 8000, -32000, 32767}));
  const std::vector<float> zeros(4, 0.0f);
  std::vector<std::int16_t> z(4, 9);
  ScaleToInt16(zeros, z, 32000.0f);
  EXPECT_EQ(z, std::vector<std::int16_t>(4, 0));
  // Halves away from zero.
  const std::vector<float> halves = {1.0f, 0.5f / 32000.0f * 3.0f, -0.5f / 32000.0f * 3.0f};
  ScaleToInt16(halves, std::span<std::int16_t>(i16).first(3), 32000.0f);
  EXPECT_EQ(i16[1], 2);
  EXPECT_EQ(i16[2], -2);
}

}  // namespace
