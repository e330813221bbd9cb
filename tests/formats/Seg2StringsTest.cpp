#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "formats/Seg2Strings.h"
#include "support/UserMessages.h"

namespace {

using vel::ShotRecord;

class Seg2StringsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sup::SetUserMessageHook([](sup::UserMessageKind, std::string_view, std::string_view) {});
    sup::ClearUserMessages();
    rec.NTRACE = 2;
    rec.NSAMP = 1;
    ASSERT_TRUE(vel::RebuildTraceArrays(rec));
  }
  void TearDown() override { sup::SetUserMessageHook({}); }

  int Tdb(std::string_view s, int j = 1) {
    int ierr = 99;
    vel::TDBPARSE(rec, s, j, static_cast<int>(s.size()), firstBreak, located, ierr);
    return ierr;
  }
  void Fdb(std::string_view s) {
    int ierr = 99;
    vel::FDBPARSE(s, static_cast<int>(s.size()), ierr, rec);
    EXPECT_EQ(ierr, 0);
  }

  ShotRecord rec;
  float firstBreak = 1.0e20f;
  bool located = false;
};

TEST_F(Seg2StringsTest, TraceKeywords) {
  struct Case {
    const char* text;
    std::function<bool(const ShotRecord&)> holds;
  } cases[] = {
      {"SAMPLE_INTERVAL 0.00025", [](const ShotRecord& r) { return r.SAMPINT == 0.25f; }},
      {"DELAY -0.01", [](const ShotRecord& r) { return r.TDELAY == -10.0f; }},
      {"CDP_NUMBER 12.7", [](const ShotRecord& r) { return r.ICDP[0] == 12; }},
      {"STACK 2.5", [](const ShotRecord& r) { return r.IVSTACK[0] == 3; }},
      {"POLARITY -0.5", [](const ShotRecord& r) { return r.IPOLAR[0] == 1; }},
      {"POLARITY -1", [](const ShotRecord& r) { return r.IPOLAR[0] == -1; }},
      {"END_OF_GROUP 0.9", [](const ShotRecord& r) { return r.IENDGRP[0] == 0; }},
      {"HIGH_CUT_FILTER 250 24",
       [](const ShotRecord& r) {
         return r.FHICUT[0] == 250.0f && r.FHICUTS[0] == 24.0f && r.IHICUT[0] == 250;
       }},
      {"NOTCH_FREQ 49.6", [](const ShotRecord& r) { return r.INOTCH[0] == 50; }},
      {"NOTCH_FREQUENCY 60", [](const ShotRecord& r) { return r.FNOTCH[0] == 60.0f; }},
      {"RECEIVER_STATION 1012", [](const ShotRecord& r) { return r.IRCVSTN[0] == 1012; }},
      {"RECEIVER_STATION_NUMBER 7", [](const ShotRecord& r) { return r.IRCVSTN[0] == 7; }},
      {"SOURCE_STATION_NUMBER 8", [](const ShotRecord& r) { return r.ISRCSTN[0] == 8; }},
      {"STATIC_CORRECTIONS 1 2 3",
       [](const ShotRecord& r) {
         return r.STATSRC[0] == 1 && r.STATREC[0] == 2 && r.STATTOT[0] == 3;
       }},
      {"STATIC_CORRECTION 4 5 6", [](const ShotRecord& r) { return r.STATTOT[0] == 6; }},
      {"STATIC_CORREC 7 8 9", [](const ShotRecord& r) { return r.STATSRC[0] == 7; }},
      {"LINE_ID L7", [](const ShotRecord& r) { return r.ILINEID[0] == 0; }},
      {"SHOT_SEQUENCE_NUMBER 42", [](const ShotRecord& r) { return r.ISHOT == 42; }},
      {"SHOT_SEQUENCE 43", [](const ShotRecord& r) { return r.ISHOTSEQ[0] == 43 && r.ISHOT == 0; }},
      {"AMPLITUDE_RECOVERY AGC_X", [](const ShotRecord& r) { return r.IAMPREC[0] == 3; }},
      {"AMPLITUDE_RECOVERY SPHERICAL", [](const ShotRecord& r) { return r.IAMPREC[0] == 2; }},
      {"SOURCE DYNAMITE_1KG",
       [](const ShotRecord& r) { return r.CSRCTEXT[0] == sup::FixedString<30>("DYNAMITE 1KG"); }},
      {"SOURCE", [](const ShotRecord& r) { return r.CSRCTEXT[0].UsedLength() == 0; }},
      {"DESCALING_FACTOR        2.17378e-05",
       [](const ShotRecord& r) { return r.DESCALE[0] == 2.17378e-05f; }},
      {"DATUM 1.5D2", [](const ShotRecord& r) { return r.DATUMEL[0] == 150.0f; }},
      {"SKEW 123456789012345678901234",
       [](const ShotRecord& r) { return r.TSKEW[0] == 12345678901234567890.0f; }},
      {"RECEIVER GEOPHONE", [](const ShotRecord& r) { return r.GEOLOC[0] == 0.0f; }},
      {"RECEIVERS 3", [](const ShotRecord& r) { return r.GEOLOC[0] == 0.0f; }},
      {"sample_interval 1", [](const ShotRecord& r) { return r.SAMPINT == 0.0f; }},
      {"TRACE_TYPE SEISMIC_DATA_LONG",
       [](const ShotRecord& r) {
         return !r.LRADAR && r.CTRCTYPE[0] == sup::FixedString<12>("SEISMIC_DATA");
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    rec = ShotRecord();
    SetUp();
    EXPECT_EQ(Tdb(c.text), 0);
    EXPECT_TRUE(c.holds(rec));
    EXPECT_EQ(sup::UserMessageCount(), 0);
  }
}

TEST_F(Seg2StringsTest, UnreadableValuesFailNamingTheKeyword) {
  EXPECT_EQ(Tdb("RECEIVER_STATION 1012.5"), -1);
  EXPECT_EQ(sup::LastUserMessage().text, "ERROR READING DATA: \"RECEIVER_STATION              \"");
  EXPECT_EQ(Tdb("DELAY X"), -1);
  EXPECT_EQ(sup::LastUserMessage().text.size(), 52u);
  // Values read before the bad one stay.
  EXPECT_EQ(Tdb("RECEIVER_LOCATION 10.0 X 5"), -1);
  EXPECT_EQ(rec.GEOLOC[0], 10.0f);
  EXPECT_TRUE(located);
  EXPECT_EQ(Tdb("SAMPLE_INTERVAL inf"), -1);
}

TEST_F(Seg2StringsTest, LocationsAndOffsets) {
  EXPECT_EQ(Tdb("RECEIVER_LOCATION 10.0"), 0);
  EXPECT_EQ(rec.GEOLOC[0], 10.0f);
  EXPECT_EQ(rec.GEOLOCY[0], 0.0f);
  EXPECT_EQ(Tdb("RECEIVER_LOCATION 30 0 0", 2), 0);
  EXPECT_EQ(Tdb("SOURCE_LOCATION -5 1 2", 2), 0);
  EXPECT_EQ(rec.GOFF[1], 35.0f);
  EXPECT_EQ(rec.SHOTX, -5.0f);
  EXPECT_EQ(rec.SHOTY, 1.0f);
  EXPECT_EQ(rec.SHOTLOCZ[1], 2.0f);
  EXPECT_EQ(Tdb("FIRST_BREAK 0.05"), 0);
  EXPECT_EQ(firstBreak, 0.05f);
}

TEST_F(Seg2StringsTest, RadarIntervalsStayInNanoseconds) {
  EXPECT_EQ(Tdb("SAMPLE_INTERVAL 0.0000000001"), 0);
  EXPECT_EQ(Tdb("TRACE_TYPE RADAR_DATA"), 0);
  EXPECT_TRUE(rec.LRADAR);
  EXPECT_FLOAT_EQ(rec.SAMPINT, 0.1f);
}

TEST_F(Seg2StringsTest, FileKeywords) {
  Fdb("UNITS METERS");
  EXPECT_EQ(rec.CUNITS.View(), "METE");
  EXPECT_EQ(rec.IFDBLEN[11], 6);
  Fdb("UNITS M");
  EXPECT_EQ(rec.CUNITS.View(), "M   ");
  Fdb("INSTRUMENT ABC_DEF_GHI_JKL_MN_OP");
  EXPECT_EQ(rec.CFDBVAL[5].Trimmed(), "ABC DEF GHI JKL_MN_OP");
  Fdb("JOB_ID A_B");
  EXPECT_EQ(rec.CFDBVAL[6].Trimmed(), "A B");
  Fdb("CLIENT Smith Mining Co");
  EXPECT_EQ(rec.CFDBVAL[2].Trimmed(), "Smith Mining Co");
  EXPECT_EQ(rec.IFDBLEN[2], 15);
  Fdb("COMPANY");
  EXPECT_EQ(rec.IFDBLEN[3], 0);
  Fdb("NOTE Line one Line two");
  EXPECT_EQ(rec.CNOTE.Trimmed(), " Line one Line two");
  EXPECT_EQ(rec.IFDBLEN[12], 18);
  Fdb("units m");
  EXPECT_EQ(rec.CUNITS.View(), "M   ");
  // A longer keyword that begins with a shorter one is another keyword.
  Fdb("ACQUISITION_TIME  3:12:45");
  Fdb("ACQUISITION_TIME_MICROSECONDS_UTC 1520392365000000");
  EXPECT_EQ(rec.CFDBVAL[1].Trimmed(), "3:12:45");
  EXPECT_EQ(rec.IFDBLEN[1], 7);
}

TEST(Seg2Numbers, RealAndIntegerWords) {
  struct Case {
    const char* word;
    bool ok;
    double value;
  } reals[] = {{"1", true, 1},       {"-2.5", true, -2.5},     {"+.5", true, 0.5},
               {"1.e3", true, 1000}, {"2d-3", true, 0.002},    {"1E", false, 0},
               {"", false, 0},       {".", false, 0},          {"nan", false, 0},
               {"1,5", false, 0},    {"1e999", true, HUGE_VAL}};
  for (const auto& c : reals) {
    SCOPED_TRACE(c.word);
    double v = -7;
    EXPECT_EQ(vel::ParseSeg2Real(c.word, v), c.ok);
    if (c.ok) {
      EXPECT_EQ(v, c.value);
    }
  }
  std::int32_t n = 0;
  EXPECT_TRUE(vel::ParseSeg2Integer("-1012", n));
  EXPECT_EQ(n, -1012);
  EXPECT_FALSE(vel::ParseSeg2Integer("10.0", n));
  EXPECT_FALSE(vel::ParseSeg2Integer("1e3", n));
  EXPECT_FALSE(vel::ParseSeg2Integer("99999999999", n));
}

/// Real words read the plain way: the syntax checked, the word handed to
/// from_chars. The reader's own routine takes shortcuts for short numbers and
/// must agree with this one on every word, value and failure alike.
bool ReferenceReal(std::string_view word, double& value) {
  const std::string_view s = word.substr(0, std::min<std::size_t>(word.size(), 20));
  const auto digits = [&](std::size_t& p) {
    const std::size_t start = p;
    while (p < s.size() && s[p] >= '0' && s[p] <= '9') ++p;
    return p > start;
  };
  std::size_t p = 0;
  if (p < s.size() && (s[p] == '+' || s[p] == '-')) ++p;
  const bool intDigits = digits(p);
  bool fracDigits = false;
  if (p < s.size() && s[p] == '.') {
    ++p;
    fracDigits = digits(p);
  }
  if (!intDigits && !fracDigits) return false;
  std::string text(s.substr(s[0] == '+' ? 1 : 0, p - (s[0] == '+' ? 1 : 0)));
  if (p < s.size() && (s[p] == 'E' || s[p] == 'e' || s[p] == 'D' || s[p] == 'd')) {
    std::size_t q = p + 1;
    if (q < s.size() && (s[q] == '+' || s[q] == '-')) ++q;
    if (!digits(q)) return false;
    text += 'e';
    text += s.substr(p + 1, q - p - 1);
    p = q;
  }
  if (p != s.size()) return false;
  double v = 0.0;
  const auto res = std::from_chars(text.data(), text.data() + text.size(), v);
  if (res.ec == std::errc::result_out_of_range) {
    const std::size_t e = text.find('e');
    v = e != std::string::npos && text[e + 1] == '-' ? 0.0 : HUGE_VAL;
    if (text[0] == '-') v = -v;
  } else if (res.ec != std::errc() || res.ptr != text.data() + text.size()) {
    return false;
  }
  value = v;
  return true;
}

void ExpectSameReal(const std::string& word) {
  double got = -7.0, want = -7.0;
  const bool ok = vel::ParseSeg2Real(word, got);
  ASSERT_EQ(ok, ReferenceReal(word, want)) << '"' << word << '"';
  // Bit for bit: the sign of a zero counts too.
  ASSERT_EQ(std::memcmp(&got, &want, sizeof got), 0)
      << '"' << word << "\" " << got << " != " << want;
}

TEST(Seg2Numbers, RealWordsAgreeWithThePlainReading) {
  const char* const table[] = {
      "0", "-0", "+0", "0.0", "-0.0", "-.0", "0e5", "-0e-400", "0e400", "00000000000000000000",
      "1", "-1", "+1", "1.", ".5", "+.5", "-.5", "1.e3", "1.E-3", "2d-3", "2D+3", "0.00025",
      "0.1", "0.3", "123.456", "-1234567.125", "9007199254740992", "9007199254740993",
      "9007199254740993.0", "18014398509481985", "1234567890123456789", "12345678901234567890",
      "99999999999999999999", "0.12345678901234567890", "1e22", "1e23", "1e-22", "1e-23",
      "123e-25", "4.9e-324", "2.5e-324", "1e-400", "-1e-400", "1.7976931348623157e308",
      "1.8e308", "1e999", "-1e999", "1e+99999999999999", "1e-99999999999999", "1e0000000000000005",
      "", ".", "-", "+", "+-1", "--1", "1..2", "1.2.3", "1e", "1E+", "1e-", "e5", ".e5", "-.e5",
      "1e5.0", "1 ", " 1", "1,5", "nan", "inf", "-inf", "0x10", "1f", "1e5e5", "1_000", "\t1",
      "12345678901234567890123", "1.0000000000000000000000001", "0.000000000000000000001",
  };
  for (const char* w : table) ExpectSameReal(w);

  // Random words over the characters numbers are made of, and some that end them.
  std::mt19937 rng(2026);
  const std::string alphabet = "0123456789000999.+-eEdD x";
  std::uniform_int_distribution<std::size_t> length(0, 24);
  std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
  std::uniform_int_distribution<int> digit(0, 9);
  for (int i = 0; i < 200000; ++i) {
    std::string w;
    const std::size_t n = length(rng);
    if (i % 2 == 0) {
      // Well-formed shapes: sign, digits, point, digits, exponent.
      if (n % 3 == 0) w += n % 2 ? '-' : '+';
      for (std::size_t k = 0; k < n % 11; ++k) w += static_cast<char>('0' + digit(rng));
      if (n % 4 != 1) w += '.';
      for (std::size_t k = 0; k < n % 9; ++k) w += static_cast<char>('0' + digit(rng));
      if (n % 5 < 2) {
        w += "eEdD"[n % 4];
        if (n % 7 < 3) w += n % 2 ? '-' : '+';
        for (std::size_t k = 0; k < 1 + n % 3; ++k) w += static_cast<char>('0' + digit(rng));
      }
    } else {
      for (std::size_t k = 0; k < n; ++k) w += alphabet[pick(rng)];
    }
    ExpectSameReal(w);
    if (testing::Test::HasFatalFailure()) return;
  }
}

}  // namespace
