#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <cstring>
#include <bit>
#include <cstdio>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "formats/Seg2In.h"
#include "support/ByteOrder.h"
#include "support/Progress.h"
#include "support/UserMessages.h"
#include "tests/TestSupport.h"
#include "tests/formats/Seg2Fixtures.h"

namespace {

using namespace seg2_fixtures;
using testing_support::TempDir;
using vel::ShotRecord;

/// The reader's failure text: message padded to 80, then the trace counter.
std::string Seg2Msg(std::string_view text, int trace) {
  std::string s(text);
  s.resize(80, ' ');
  char tail[32];
  std::snprintf(tail, sizeof tail, "    TRACE:%5d", trace);
  return s + tail;
}

class Seg2InTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sup::SetUserMessageHook([](sup::UserMessageKind, std::string_view, std::string_view) {});
    sup::ClearUserMessages();
    sup::SetAbortPollHook({});
    sup::SetProgressHook({});
  }
  void TearDown() override {
    sup::SetUserMessageHook({});
    sup::SetAbortPollHook({});
    sup::SetProgressHook({});
  }

  /// Writes BYTES to a file and reads it into REC.
  int Read(const std::string& bytes, ShotRecord& rec, bool batch = false) {
    const auto path = dir_ / "t.sg2";
    testing_support::WriteFile(path, bytes);
    int ierr = 99;
    vel::SEG2IN(rec, path.string(), ierr, batch);
    return ierr;
  }

  TempDir dir_;
};

Trace FloatTrace(const std::vector<float>& v, std::vector<std::string> strings = {},
                 bool msb = false) {
  Trace t;
  t.format = 4;
  t.sampleCount = static_cast<std::int32_t>(v.size());
  t.data = Floats(v, msb);
  t.strings = std::move(strings);
  return t;
}

File SimpleFile(int traces, int samples) {
  File f;
  f.strings = {"UNITS METERS"};
  for (int j = 0; j < traces; ++j) {
    std::vector<float> v(static_cast<std::size_t>(samples));
    for (int i = 0; i < samples; ++i)
      v[static_cast<std::size_t>(i)] = static_cast<float>(j * 100 + i);
    f.traces.push_back(FloatTrace(v, {"SAMPLE_INTERVAL 0.00025"}));
  }
  return f;
}

/// SimpleFile in the standard big-endian layout: mark 3A 55, every binary
/// header field and every sample MSB first.
File BigSimpleFile(int traces, int samples) {
  File f = SimpleFile(traces, samples);
  f.msbFirst = true;
  f.bigHeaders = true;
  for (int j = 0; j < traces; ++j) {
    std::vector<float> v(static_cast<std::size_t>(samples));
    for (int i = 0; i < samples; ++i)
      v[static_cast<std::size_t>(i)] = static_cast<float>(j * 100 + i);
    f.traces[static_cast<std::size_t>(j)].data = Floats(v, true);
  }
  return f;
}

// ---------------------------------------------------------------------------
// Sample formats, both byte orders.

TEST_F(Seg2InTest, EverySampleFormatInBothByteOrders) {
  const std::vector<std::int32_t> values = {0, 1, -1, 32767, -32768, 1234, -4321};
  const std::vector<std::int32_t> wide = {0, 1, -1, 2147483647, -2147483647 - 1, 70000, -123456};
  const std::vector<float> reals = {0.0f, 1.5f, -2.25f, 3.0e10f, -1.0e-10f, 7.0f, -0.5f};
  for (const bool msb : {false, true}) {
    for (const int format : {1, 2, 4}) {
      SCOPED_TRACE(testing::Message() << "format " << format << (msb ? " MSB" : " LSB"));
      Trace t;
      t.format = format;
      t.sampleCount = 7;
      std::vector<float> expect;
      if (format == 1) {
        std::vector<std::int16_t> v(values.begin(), values.end());
        t.data = Int16s(v, msb);
        expect.assign(values.begin(), values.end());
      } else if (format == 2) {
        t.data = Int32s(wide, msb);
        for (auto x : wide) expect.push_back(static_cast<float>(x));
      } else {
        t.data = Floats(reals, msb);
        expect = reals;
      }
      t.strings = {"SAMPLE_INTERVAL 0.001"};
      File f;
      f.msbFirst = msb;
      f.traces = {t, t};
      ShotRecord rec;
      ASSERT_EQ(Read(Build(f), rec), 0) << sup::LastUserMessage().text;
      ASSERT_EQ(rec.NTRACE, 2);
      ASSERT_EQ(rec.NSAMP, 7);
      EXPECT_FLOAT_EQ(rec.SAMPINT, 1.0f);
      for (int j = 1; j <= 2; ++j) {
        const auto col = vel::Trace(rec, j);
        for (std::size_t i = 0; i < expect.size(); ++i) EXPECT_EQ(col[i], expect[i]) << i;
      }
      const float lo = *std::min_element(expect.begin(), expect.end());
      const float hi = *std::max_element(expect.begin(), expect.end());
      EXPECT_EQ(rec.GMIN, lo);
      EXPECT_EQ(rec.GMAX, hi);
      EXPECT_EQ(rec.TRACEMAX[0], std::max(std::fabs(lo), hi));
    }
  }
}

TEST_F(Seg2InTest, LargeRecordsOfMixedFormatsReadSampleForSample) {
  // Megabytes of samples: the file is read, and its traces decoded, in parts
  // side by side. Every trace must land in its own column with its own range,
  // whatever part it fell in, the formats changing from trace to trace.
  constexpr int kTraces = 300;
  constexpr int kSamples = 3001;  // not a multiple of the vector width
  for (const bool msb : {false, true}) {
    SCOPED_TRACE(msb ? "MSB" : "LSB");
    File f;
    f.msbFirst = msb;
    std::vector<std::vector<float>> expect;
    for (int j = 0; j < kTraces; ++j) {
      Trace t;
      t.format = (j % 3 == 0) ? 1 : (j % 3 == 1) ? 2 : 4;
      t.sampleCount = kSamples;
      t.strings = {"SAMPLE_INTERVAL 0.001", "RECEIVER_LOCATION " + std::to_string(j)};
      std::vector<float> v(kSamples);
      std::vector<std::int16_t> s16(kSamples);
      std::vector<std::int32_t> s32(kSamples);
      for (int i = 0; i < kSamples; ++i) {
        const int x = ((i * 7 + j * 13) % 2001 - 1000) * (j + 1);
        s16[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(x % 30000);
        s32[static_cast<std::size_t>(i)] = x * 1000;
        v[static_cast<std::size_t>(i)] = static_cast<float>(x) * 0.25f;
      }
      if (t.format == 1) {
        t.data = Int16s(s16, msb);
        v.assign(s16.begin(), s16.end());
      } else if (t.format == 2) {
        t.data = Int32s(s32, msb);
        for (int i = 0; i < kSamples; ++i)
          v[static_cast<std::size_t>(i)] = static_cast<float>(s32[static_cast<std::size_t>(i)]);
      } else {
        t.data = Floats(v, msb);
      }
      f.traces.push_back(t);
      expect.push_back(v);
    }
    ShotRecord rec;
    ASSERT_EQ(Read(Build(f), rec), 0) << sup::LastUserMessage().text;
    ASSERT_EQ(rec.NTRACE, kTraces);
    ASSERT_EQ(rec.NSAMP, kSamples);
    float gmin = 1e30f, gmax = -1e30f;
    for (int j = 1; j <= kTraces; ++j) {
      const std::vector<float>& v = expect[static_cast<std::size_t>(j - 1)];
      const auto col = vel::Trace(rec, j);
      ASSERT_TRUE(std::equal(col.begin(), col.end(), v.begin(), v.end())) << "trace " << j;
      const float lo = *std::min_element(v.begin(), v.end());
      const float hi = *std::max_element(v.begin(), v.end());
      EXPECT_EQ(rec.TRACEMAX[static_cast<std::size_t>(j - 1)], std::max(std::fabs(lo), hi)) << j;
      EXPECT_EQ(rec.GEOLOC[static_cast<std::size_t>(j - 1)], static_cast<float>(j - 1)) << j;
      gmin = std::min(gmin, lo);
      gmax = std::max(gmax, hi);
    }
    EXPECT_EQ(rec.GMIN, gmin);
    EXPECT_EQ(rec.GMAX, gmax);
  }
}

/// The value of one packed sample as the SEG-2 standard defines it.
float Packed(int e, std::int16_t m) {
  return static_cast<float>(static_cast<std::int64_t>(m < 0 ? m + 1 : m) << e);
}

TEST_F(Seg2InTest, PackedSamplesUseUnsignedExponentsAndOnesComplement) {
  // Exponents 8-15 (the nibbles a signed reading would take as negative) and
  // mantissas of both signs, in counts that do not fill the last group.
  const int e1[4] = {8, 9, 10, 11}, e2[4] = {12, 13, 14, 15}, e3[4] = {0, 1, 2, 3};
  const std::int16_t m1[4] = {1, -1, -2, 32767}, m2[4] = {-32768, 100, -100, 3},
                     m3[4] = {-5, 6, 7, -8};
  const std::string groups = Packed20Group(e1, m1) + Packed20Group(e2, m2) + Packed20Group(e3, m3);
  std::vector<float> all;
  for (int k = 0; k < 4; ++k) all.push_back(Packed(e1[k], m1[k]));
  for (int k = 0; k < 4; ++k) all.push_back(Packed(e2[k], m2[k]));
  for (int k = 0; k < 4; ++k) all.push_back(Packed(e3[k], m3[k]));
  EXPECT_EQ(all[1], 0.0f);                 // -1 is negative zero in one's complement
  EXPECT_EQ(all[4], -32767.0f * 4096.0f);  // e = 12
  for (const int ns : {1, 5, 6, 7, 12}) {
    SCOPED_TRACE(ns);
    Trace t;
    t.format = 3;
    t.sampleCount = ns;
    // Exactly the groups the samples need, nothing after (an unpadded last trace).
    t.data = groups.substr(0, static_cast<std::size_t>((ns + 3) / 4 * 10));
    File f;
    f.traces = {t};
    ShotRecord rec;
    ASSERT_EQ(Read(Build(f), rec), 0) << sup::LastUserMessage().text;
    ASSERT_EQ(rec.NSAMP, ns);
    const auto col = vel::Trace(rec, 1);
    for (int i = 0; i < ns; ++i)
      EXPECT_EQ(col[static_cast<std::size_t>(i)], all[static_cast<std::size_t>(i)]) << i;
  }
}

TEST_F(Seg2InTest, DataBytesPerFormat) {
  EXPECT_EQ(vel::Seg2DataBytes(1, 7), 14);
  EXPECT_EQ(vel::Seg2DataBytes(2, 7), 28);
  EXPECT_EQ(vel::Seg2DataBytes(4, 7), 28);
  EXPECT_EQ(vel::Seg2DataBytes(3, 6), 20);
  EXPECT_EQ(vel::Seg2DataBytes(3, 500), 1250);
  EXPECT_EQ(vel::Seg2DataBytes(3, 0), 0);
  EXPECT_EQ(vel::Seg2DataBytes(5, 7), -1);
  EXPECT_EQ(vel::Seg2DataBytes(1, -1), -1);
  // Decoding never reads past the bytes given.
  std::vector<std::byte> buf(19);
  std::vector<float> out(6);
  float lo = 0, hi = 0;
  EXPECT_FALSE(vel::DecodeSeg2Samples(buf, 3, 6, false, out, lo, hi));
}

TEST_F(Seg2InTest, NanSamplesAreKeptButLeaveTheRangeAlone) {
  File f;
  f.traces = {FloatTrace({1.0f, std::nanf(""), -3.0f})};
  ShotRecord rec;
  ASSERT_EQ(Read(Build(f), rec), 0);
  EXPECT_TRUE(std::isnan(vel::Trace(rec, 1)[1]));
  EXPECT_EQ(rec.GMIN, -3.0f);
  EXPECT_EQ(rec.GMAX, 1.0f);
  EXPECT_EQ(rec.TRACEMAX[0], 3.0f);
}

// ---------------------------------------------------------------------------
// Layout variants no public file has.

TEST_F(Seg2InTest, TwoByteTerminatorsAndLargePointerBlock) {
  File f = SimpleFile(3, 5);
  f.terminatorSize = 2;
  f.terminator[0] = '\0';
  f.terminator[1] = ' ';
  f.pointerBytes = 4 * 3 + 40;  // more room than the traces need
  ShotRecord rec;
  ASSERT_EQ(Read(Build(f), rec), 0) << sup::LastUserMessage().text;
  EXPECT_EQ(rec.NTRACE, 3);
  EXPECT_FLOAT_EQ(rec.SAMPINT, 0.25f);
  EXPECT_EQ(rec.CUNITS.View(), "METE");
  EXPECT_EQ(rec.IFDBLEN[11], 6);
  EXPECT_EQ(vel::SEG2TERMINATORS().stringTerminatorSize, 2);
  EXPECT_EQ(vel::Trace(rec, 3)[4], 204.0f);
}

TEST_F(Seg2InTest, OverlongStringsAreSkippedAfterAMessage) {
  File f = SimpleFile(2, 3);
  f.strings = {"NOTE " + std::string(5000, 'x'), "UNITS FEET"};
  f.traces[1].strings.insert(f.traces[1].strings.begin(), "NOTE " + std::string(4100, 'y'));
  std::vector<std::string> seen;
  sup::SetUserMessageHook([&](sup::UserMessageKind, std::string_view, std::string_view text) {
    seen.emplace_back(text);
  });
  ShotRecord rec;
  ASSERT_EQ(Read(Build(f), rec), 0);
  EXPECT_EQ(seen, (std::vector<std::string>{
                      "File Descriptor Block String longer than 4096 characters",
                      "Trace Descriptor Block String longer than 4096 characters"}));
  EXPECT_EQ(rec.CUNITS.View(), "FEET");
  EXPECT_EQ(rec.CNOTE.UsedLength(), 0u);
  EXPECT_FLOAT_EQ(rec.SAMPINT, 0.25f);
}

TEST_F(Seg2InTest, ZeroTracesReadSuccessfully) {
  File f;
  ShotRecord rec;
  rec.NSAMP = 17;
  ASSERT_EQ(Read(Build(f), rec), 0);
  EXPECT_EQ(rec.NTRACE, 0);
  EXPECT_EQ(rec.NSAMP, 17);
  EXPECT_EQ(rec.SPACING, 1.0f);
}

TEST_F(Seg2InTest, GeometryDefaults) {
  {  // no receiver positions: by trace number, spacing 1 whatever was held
    File f = SimpleFile(4, 2);
    ShotRecord rec;
    rec.SPACING = 5.0f;
    ASSERT_EQ(Read(Build(f), rec), 0);
    EXPECT_EQ(rec.GEOLOC, (std::vector<float>{1, 2, 3, 4}));
    EXPECT_EQ(rec.SPACING, 1.0f);
  }
  for (const float held : {0.0f, 3.0f}) {
    SCOPED_TRACE(held);
    File f;
    for (int j = 0; j < 24; ++j) {
      const float x = j == 23 ? 46.0f : static_cast<float>(j);
      f.traces.push_back(FloatTrace({1.0f}, {"RECEIVER_LOCATION " + std::to_string(x) + " 0 0"}));
    }
    ShotRecord rec;
    rec.SPACING = held;
    ASSERT_EQ(Read(Build(f), rec), 0);
    EXPECT_EQ(rec.SPACING, held == 0.0f ? 2.0f : held);
  }
}

TEST_F(Seg2InTest, FirstBreaksBecomePicksOnlyInsideTheTrace) {
  struct Case {
    const char* interval;
    const char* firstBreak;
    std::int32_t pick;
  } cases[] = {
      {"SAMPLE_INTERVAL 0.00025", "FIRST_BREAK 0.05", 200},
      {"SAMPLE_INTERVAL 0.00025", "FIRST_BREAK_(SECONDS) 0.00025", 1},
      {"SAMPLE_INTERVAL 0.00025", "FIRST_BREAK 0.0", 0},   // index 0: before the first sample
      {"SAMPLE_INTERVAL 0.00025", "FIRST_BREAK 10.0", 0},  // past the last sample
      {"SAMPLE_INTERVAL 0", "FIRST_BREAK 0.05", 0},        // no interval
      {"SAMPLE_INTERVAL 0.00025", "FIXED_GAIN 0", 0},      // no first break
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.firstBreak);
    File f;
    f.traces = {FloatTrace(std::vector<float>(400, 0.0f), {c.interval, c.firstBreak})};
    ShotRecord rec;
    ASSERT_EQ(Read(Build(f), rec), 0);
    EXPECT_EQ(rec.IBPICK[0], c.pick);
  }
}

// ---------------------------------------------------------------------------
// Damaged and hostile files: the exact message, error flag -1, and the
// record exactly as it was.

struct Hostile {
  const char* name;
  std::string bytes;
  std::string message;  // the last message shown
};

std::vector<Hostile> HostileCases() {
  std::vector<Hostile> c;
  const std::string good = Build(SimpleFile(2, 4));
  c.push_back({"short header", good.substr(0, 20),
               Seg2Msg("SEG2IN - ERROR READING SEG2 FILE DESCRIP BLOCK", 0)});
  {
    std::string b = good;
    b[0] = 'X';
    c.push_back({"not SEG-2", b, Seg2Msg("SEG2IN - ERROR, INPUT FILE IS NOT IN SEG2 FORMAT", 0)});
  }
  {
    File f = SimpleFile(2, 4);
    f.traceCount = -3;
    c.push_back({"negative trace count", Build(f),
                 Seg2Msg("SEG2IN - ERROR READING SEG2 TRACE POINTER BLOCK", 0)});
  }
  {
    File f = SimpleFile(2, 4);
    f.traceCount = 32767;  // far more traces than pointers
    c.push_back({"hostile trace count", Build(f),
                 Seg2Msg("SEG2IN - ERROR READING SEG2 TRACE POINTER BLOCK", 0)});
  }
  {
    File f = SimpleFile(2, 4);
    f.pointerBytes = 60000;  // pointer block past the end of the file
    f.traceCount = 2;
    c.push_back({"pointer block past end", Build(f).substr(0, 100),
                 Seg2Msg("SEG2IN - ERROR READING SEG2 TRACE POINTER BLOCK", 0)});
  }
  {
    std::string b = good;
    Put32(b, 36, 0x7FFFFFF0u);
    c.push_back(
        {"pointer past end", b, Seg2Msg("SEG2IN - ERROR SETTING TO BEGINNING OF TRACE BLOCK", 2)});
  }
  {
    std::string b = good;
    Put32(b, 32, 0xFFFFFFF0u);
    c.push_back(
        {"negative pointer", b, Seg2Msg("SEG2IN - ERROR SETTING TO BEGINNING OF TRACE BLOCK", 1)});
  }
  {
    std::string b = good;
    Put32(b, 36, static_cast<std::uint32_t>(b.size() - 10));
    c.push_back(
        {"trace header cut", b, Seg2Msg("SEG2IN - ERROR READING SEG2 TRACE DESCRIP BLOCK", 2)});
  }
  {
    File f = SimpleFile(2, 4);
    f.traces[1].id0 = 0x44;
    f.traces[1].id1 = 0x22;
    c.push_back({"trace id", Build(f), Seg2Msg("SEG2IN - ERROR, TRACE HEADER BLOCK NOT FOUND", 2)});
  }
  {
    File f = SimpleFile(2, 4);
    f.traces[0].format = 5;
    c.push_back(
        {"format 5", Build(f), Seg2Msg("SEG2IN - ERROR, UNSUPPORTED TRACE FORMAT: \x05", 1)});
  }
  {
    File f = SimpleFile(2, 4);
    for (auto& t : f.traces) t.sampleCount = 0x7FFFFFFF;
    c.push_back(
        {"hostile sample count", Build(f), Seg2Msg("SEG2IN - ERROR READING SEG2 TRACE DATA", 1)});
  }
  {
    File f = SimpleFile(2, 4);
    for (auto& t : f.traces) t.sampleCount = -4;
    c.push_back(
        {"negative sample count", Build(f), Seg2Msg("SEG2IN - ERROR READING SEG2 TRACE DATA", 1)});
  }
  c.push_back({"truncated data", good.substr(0, good.size() - 3),
               Seg2Msg("SEG2IN - ERROR READING SEG2 TRACE DATA", 2)});
  {
    File f = SimpleFile(2, 4);
    f.traces[1].sampleCount = 3;
    c.push_back({"unequal traces", Build(f), "All traces in file must be of equal length"});
  }
  {
    File f = SimpleFile(2, 4);
    f.traces[1].strings.push_back("RECEIVER_STATION 1012.5");
    c.push_back({"unreadable value", Build(f),
                 Seg2Msg("SEG2IN - ERROR PARSING TRACE DESCRIPTOR BLOCK", 2)});
  }
  {
    File f;
    f.msbFirst = true;
    Trace t;
    t.format = 3;
    t.sampleCount = 4;
    t.data = std::string(10, '\0');
    f.traces = {t};
    c.push_back({"swapped packed", Build(f), Seg2Msg("SEG2IN - ERROR READING SEG2 TRACE DATA", 1)});
  }
  {
    File f = SimpleFile(2, 4);
    f.strings = {"CLIENT X"};
    std::string b = Build(f);
    Put16(b, 40, 0x7000);  // the first file string runs past the end
    c.push_back(
        {"file string past end", b, Seg2Msg("SEG2IN - ERROR READING SEG2 FILE BLOCK STRING", 0)});
  }
  {
    File f = SimpleFile(2, 4);
    f.traces[0].blockBytes = -32000;
    c.push_back({"data pointer before start", Build(f),
                 Seg2Msg("SEG2IN - ERROR SETTING TRACE DATA BLOCK POINTER", 1)});
  }
  {
    const std::string b = Build(SimpleFile(1, 4));
    c.push_back({"trace string cut", b.substr(0, b.find("SAMPLE_INTERVAL") + 5),
                 Seg2Msg("SEG2IN - ERROR READING SEG2 TRACE HEADER", 1)});
  }
  // Big-endian headers: damage after the header order is settled fails as
  // in a little-endian file; headers that fit neither order are read LSB
  // first and fail as they always have.
  const std::string big = Build(BigSimpleFile(2, 4));
  {
    std::string b = big;
    Put32(b, 36, 0x7FFFFFF0u, true);
    c.push_back({"big-endian pointer past end", b,
                 Seg2Msg("SEG2IN - ERROR SETTING TO BEGINNING OF TRACE BLOCK", 2)});
  }
  {
    File f = BigSimpleFile(2, 4);
    f.traces[1].id0 = 0x44;  // written 22 44: the little-endian id
    f.traces[1].id1 = 0x22;
    c.push_back({"big-endian second trace id", Build(f),
                 Seg2Msg("SEG2IN - ERROR, TRACE HEADER BLOCK NOT FOUND", 2)});
  }
  {
    File f = BigSimpleFile(2, 4);
    f.traces[0].id0 = 0x44;  // neither order fits: read LSB first, M = 0x0800
    f.traces[0].id1 = 0x22;
    c.push_back({"big-endian first trace id", Build(f),
                 Seg2Msg("SEG2IN - ERROR READING SEG2 TRACE POINTER BLOCK", 0)});
  }
  {
    std::string b = big;
    b[0] = 0x55;  // mark 55 3A: headers are LSB first, whatever they hold
    b[1] = 0x3A;
    c.push_back({"big-endian headers marked 55 3A", b,
                 Seg2Msg("SEG2IN - ERROR READING SEG2 TRACE POINTER BLOCK", 0)});
  }
  {
    File f = BigSimpleFile(2, 4);
    f.traceCount = 3;  // more traces than pointers: neither order fits
    c.push_back({"big-endian hostile trace count", Build(f),
                 Seg2Msg("SEG2IN - ERROR READING SEG2 TRACE POINTER BLOCK", 0)});
  }
  {
    const std::string& b = big;
    c.push_back({"big-endian data cut", b.substr(0, b.size() - 1),
                 Seg2Msg("SEG2IN - ERROR READING SEG2 TRACE DATA", 2)});
  }
  {
    std::string b = big;
    Put16(b, b.find("SAMPLE_INTERVAL") - 2, 0x7000, true);  // runs past the end
    c.push_back({"big-endian trace string past end", b,
                 Seg2Msg("SEG2IN - ERROR READING SEG2 TRACE HEADER", 1)});
  }
  {
    std::string b = big;
    Put16(b, 40, 0x7000, true);  // the first file string runs past the end
    c.push_back({"big-endian file string past end", b,
                 Seg2Msg("SEG2IN - ERROR READING SEG2 FILE BLOCK STRING", 0)});
  }
  return c;
}

ShotRecord Sentinel() {
  ShotRecord r;
  r.CRECNAME = "HELD";
  r.NTRACE = 1;
  r.NSAMP = 3;
  r.SAMPINT = 0.5f;
  r.SPACING = 7.0f;
  r.IFORMAT = 10;
  r.LRADAR = true;
  r.CUNITS = "FEET";
  r.CFDBVAL[0] = "HELD DATE";
  if (!vel::RebuildTraceArrays(r)) std::abort();
  r.TRACES = {1, 2, 3};
  r.IBPICK = {2};
  return r;
}

void ExpectSameRecord(const ShotRecord& a, const ShotRecord& b) {
  EXPECT_EQ(a.CRECNAME, b.CRECNAME);
  EXPECT_EQ(a.NTRACE, b.NTRACE);
  EXPECT_EQ(a.NSAMP, b.NSAMP);
  EXPECT_EQ(a.SAMPINT, b.SAMPINT);
  EXPECT_EQ(a.SPACING, b.SPACING);
  EXPECT_EQ(a.IFORMAT, b.IFORMAT);
  EXPECT_EQ(a.LRADAR, b.LRADAR);
  EXPECT_EQ(a.GMIN, b.GMIN);
  EXPECT_EQ(a.GMAX, b.GMAX);
  EXPECT_EQ(a.CUNITS, b.CUNITS);
  EXPECT_EQ(a.CFDBVAL, b.CFDBVAL);
  EXPECT_EQ(a.IFDBLEN, b.IFDBLEN);
  EXPECT_EQ(a.TRACES, b.TRACES);
  EXPECT_EQ(a.IBPICK, b.IBPICK);
  EXPECT_EQ(a.GEOLOC, b.GEOLOC);
}

TEST_F(Seg2InTest, DamagedFilesFailWithTheirMessageAndLeaveTheRecord) {
  for (const Hostile& h : HostileCases()) {
    SCOPED_TRACE(h.name);
    ShotRecord rec = Sentinel();
    sup::ClearUserMessages();
    EXPECT_EQ(Read(h.bytes, rec), -1);
    EXPECT_EQ(sup::LastUserMessage().text, h.message);
    ExpectSameRecord(rec, Sentinel());
  }
}

TEST_F(Seg2InTest, RandomDamageNeverBreaksTheReader) {
  // Seeded byte damage and cuts of a small valid file: every outcome is a
  // clean success or a clean failure that leaves the record alone.
  File f = SimpleFile(3, 5);
  f.traces[1].strings.push_back("RECEIVER_LOCATION 4 5 6");
  f.traces[2] = FloatTrace({1, 2, 3, 4, 5}, {"FIRST_BREAK 0.001", "SAMPLE_INTERVAL 0.0005"});
  File big = f;
  big.msbFirst = true;
  big.bigHeaders = true;
  const std::string files[] = {Build(f), Build(big)};
  std::mt19937 rng(1234);
  for (int round = 0; round < 800; ++round) {
    std::string b = files[round % 2];
    const int edits = 1 + static_cast<int>(rng() % 4);
    for (int e = 0; e < edits; ++e) b[rng() % b.size()] = static_cast<char>(rng());
    if (rng() % 4 == 0) b.resize(rng() % b.size());
    ShotRecord rec = Sentinel();
    const int ierr = Read(b, rec);
    ASSERT_TRUE(ierr == 0 || ierr == -1);
    if (ierr == 0) {
      ASSERT_EQ(rec.TRACES.size(), static_cast<std::size_t>(rec.NSAMP) * rec.NTRACE);
    } else {
      ExpectSameRecord(rec, Sentinel());
    }
  }
}

TEST_F(Seg2InTest, ShortDataShowsTheTraceWarningFirst) {
  const std::string good = Build(SimpleFile(2, 4));
  std::vector<std::string> seen;
  sup::SetUserMessageHook([&](sup::UserMessageKind, std::string_view, std::string_view text) {
    seen.emplace_back(text);
  });
  ShotRecord rec;
  EXPECT_EQ(Read(good.substr(0, good.size() - 1), rec), -1);
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0], "ERROR READING TRACES FROM SEG2 FILE, TRACE:    2");
  seen.clear();
  File f;
  f.msbFirst = true;
  Trace t;
  t.format = 3;
  t.sampleCount = 4;
  t.data = std::string(10, '\0');
  f.traces = {t};
  EXPECT_EQ(Read(Build(f), rec), -1);
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0], "BYTE SWAP ILLEGAL FOR FORMATS 3 AND 5");
}

// A file cut short is blamed on the first trace that is really short, both
// when the size check before anything is allocated refuses it and when the
// trace's own data block is found short.
TEST_F(Seg2InTest, ACutFileNamesTheFirstShortTrace) {
  const File f = SimpleFile(4, 100);
  const std::string whole = Build(f);
  // The trace pointers (little-endian, after the 32-byte file descriptor):
  // each trace's blocks end where the next trace begins, the last at the end.
  const auto pointer = [&](int k) {
    std::uint32_t v = 0;
    for (int b = 3; b >= 0; --b)
      v = v << 8 | static_cast<unsigned char>(whole[static_cast<std::size_t>(32 + 4 * k + b)]);
    return static_cast<std::size_t>(v);
  };
  const std::size_t second = pointer(1), third = pointer(2);
  struct Case {
    std::size_t size;
    int trace;
  };
  const Case cases[] = {
      {second - 1, 1},        // trace 1 one byte short
      {second + 10, 2},       // trace 1 whole, trace 2 cut in its descriptor
      {third - 1, 2},         // trace 2 one byte short
      {whole.size() - 1, 4},  // only the last one byte short
  };
  std::vector<std::string> seen;
  sup::SetUserMessageHook([&](sup::UserMessageKind, std::string_view, std::string_view text) {
    seen.emplace_back(text);
  });
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "cut to " << c.size << " bytes");
    seen.clear();
    ShotRecord rec;
    EXPECT_EQ(Read(whole.substr(0, c.size), rec), -1);
    ASSERT_FALSE(seen.empty());
    char tail[16];
    std::snprintf(tail, sizeof tail, "%5d", c.trace);
    EXPECT_EQ(seen.back().substr(seen.back().size() - 5), tail) << seen.back();
  }
}

// Float traces of no samples read without touching any sample memory.
TEST_F(Seg2InTest, FloatTracesOfNoSamples) {
  for (const bool msb : {false, true}) {
    File f;
    f.msbFirst = msb;
    f.traces = {FloatTrace({}, {}, msb), FloatTrace({}, {}, msb)};
    ShotRecord rec;
    ASSERT_EQ(Read(Build(f), rec), 0) << sup::LastUserMessage().text;
    EXPECT_EQ(rec.NTRACE, 2);
    EXPECT_EQ(rec.NSAMP, 0);
    EXPECT_TRUE(rec.TRACES.empty());
  }
}

TEST_F(Seg2InTest, MissingFile) {
  ShotRecord rec = Sentinel();
  int ierr = 0;
  vel::SEG2IN(rec, (dir_ / "absent.sg2").string(), ierr, false);
  EXPECT_EQ(ierr, -1);
  EXPECT_EQ(sup::LastUserMessage().text, Seg2Msg("SEG2IN - ERROR OPENING SEG2 FILE", 0));
  ExpectSameRecord(rec, Sentinel());
}

// ---------------------------------------------------------------------------
// Progress and abort.

TEST_F(Seg2InTest, ProgressDialogAboveHundredTracesAndInBatch) {
  struct Case {
    int traces;
    bool batch;
    int opens;
    int sets;
  } cases[] = {{100, false, 0, 0}, {101, false, 1, 101}, {3, true, 0, 3}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.traces << (c.batch ? " batch" : ""));
    int opens = 0, sets = 0, closes = 0, last = -1;
    sup::SetProgressHook(
        {[&](std::string_view) { ++opens; }, [&](int p) { ++sets, last = p; }, [&] { ++closes; }});
    ShotRecord rec;
    ASSERT_EQ(Read(Build(SimpleFile(c.traces, 2)), rec, c.batch), 0);
    EXPECT_EQ(opens, c.opens);
    EXPECT_EQ(closes, c.opens);
    EXPECT_EQ(sets, c.sets);
    if (c.sets > 0) {
      EXPECT_EQ(last, 100);
    }
  }
}

TEST_F(Seg2InTest, CancelStopsBeforeTheNextTrace) {
  int polls = 0;
  sup::SetAbortPollHook([&] { return ++polls == 3; });  // Cancel seen while trace 3 is next
  ShotRecord rec = Sentinel();
  EXPECT_EQ(Read(Build(SimpleFile(5, 2)), rec), -1);
  EXPECT_EQ(sup::LastUserMessage().text,
            Seg2Msg("SEG2IN - ERROR SETTING TO BEGINNING OF TRACE BLOCK", 3));
  ExpectSameRecord(rec, Sentinel());
}

// ---------------------------------------------------------------------------
// Public files.

struct PublicFile {
  const char* path;
  int traces, samples;
  float interval, delay;
};

constexpr PublicFile kPublicFiles[] = {
    {"obspy/seg2/20130107_103041000.CET.3c.cont.0.seg2", 3, 2000, 1.0f, 0.0f},
    {"obspy/seg2/20180307_031245000.0.seg2", 1, 2048, 0.125f, -10.0f},
    {"pyrefra/Rec_00001.seg2", 60, 4096, 0.25f, 200.0f},
    {"pyrefra/Rec_00002.seg2", 60, 4096, 0.25f, 200.0f},
    {"pyrefra/Rec_00011.seg2", 60, 4096, 0.25f, 200.0f},
    {"graphSEG2/102.dat", 24, 4000, 0.125f, 0.0f},
    {"graphSEG2/206.dat", 24, 8000, 0.0625f, 0.0f},
    {"refrapy/field_example_01_2001.dat", 24, 16000, 0.125f, 0.0f},
    {"refrapy/field_example_02_1.dat", 24, 4000, 0.25f, 0.0f},
    {"swprocess/wghs_1.dat", 24, 12000, 0.125f, -500.0f},
    {"swprocess/wghs_6.dat", 24, 1500, 1.0f, -500.0f},
};

TEST_F(Seg2InTest, PublicFilesRead) {
  SKIP_WITHOUT_SHARED_DATA();
  for (const PublicFile& p : kPublicFiles) {
    SCOPED_TRACE(p.path);
    ShotRecord rec;
    int ierr = 99;
    vel::SEG2IN(rec, (testing_support::SharedData() / p.path).string(), ierr, false);
    ASSERT_EQ(ierr, 0) << sup::LastUserMessage().text;
    EXPECT_EQ(rec.NTRACE, p.traces);
    EXPECT_EQ(rec.NSAMP, p.samples);
    EXPECT_FLOAT_EQ(rec.SAMPINT, p.interval);
    EXPECT_FLOAT_EQ(rec.TDELAY, p.delay);
    EXPECT_LT(rec.GMIN, rec.GMAX);
  }
}

/// The numbers of a gzip-compressed text table, row by row.
std::vector<double> ReadGzTable(const std::filesystem::path& path) {
  std::vector<double> values;
  gzFile f = gzopen(path.string().c_str(), "rb");
  if (f == nullptr) return values;
  std::string text;
  char buf[4096];
  int n;
  while ((n = gzread(f, buf, sizeof buf)) > 0) text.append(buf, static_cast<std::size_t>(n));
  gzclose(f);
  std::istringstream in(text);
  double v;
  while (in >> v) values.push_back(v);
  return values;
}

TEST_F(Seg2InTest, ObspyPackedFileMatchesItsReference) {
  SKIP_WITHOUT_SHARED_DATA();
  const auto dir = testing_support::SharedData() / "obspy/seg2";
  ShotRecord rec;
  int ierr = 99;
  vel::SEG2IN(rec, (dir / "20180307_031245000.0.seg2").string(), ierr, false);
  ASSERT_EQ(ierr, 0) << sup::LastUserMessage().text;
  const std::vector<double> ref = ReadGzTable(dir / "20180307_031245000.0.DAT.gz");
  ASSERT_EQ(ref.size(), 2048u);
  EXPECT_FLOAT_EQ(rec.DESCALE[0], 0.001199f);
  const double descale = 0.001199;  // the file's DESCALING_FACTOR text
  const auto col = vel::Trace(rec, 1);
  int negatives = 0;
  for (std::size_t i = 0; i < ref.size(); ++i) {
    // Every decoded sample is a whole number: it must equal the reference's
    // sample exactly, and so reproduce the reference value.
    EXPECT_EQ(static_cast<double>(col[i]), std::round(ref[i] / descale)) << i;
    EXPECT_NEAR(col[i] * descale, ref[i], 1e-12 * std::max(1.0, std::fabs(ref[i]))) << i;
    negatives += col[i] < 0;
  }
  EXPECT_GT(negatives, 1000);
}

TEST_F(Seg2InTest, ObspyIntegerFileMatchesItsReference) {
  SKIP_WITHOUT_SHARED_DATA();
  const auto dir = testing_support::SharedData() / "obspy/seg2";
  ShotRecord rec;
  int ierr = 99;
  vel::SEG2IN(rec, (dir / "20130107_103041000.CET.3c.cont.0.seg2").string(), ierr, false);
  ASSERT_EQ(ierr, 0) << sup::LastUserMessage().text;
  const std::vector<double> ref = ReadGzTable(dir / "20130107_103041000.CET.3c.cont.0.DAT.gz");
  ASSERT_EQ(ref.size(), 3u * 2000u);
  // The exact time text survives the longer keyword that follows it.
  EXPECT_EQ(rec.CFDBVAL[1].Trimmed().substr(0, 2), "10");
  for (int j = 1; j <= 3; ++j) {
    const auto col = vel::Trace(rec, j);
    // The file's DESCALING_FACTOR texts, in double; the record holds them as reals.
    const double descale[] = {2.17378e-05, 2.19941e-05, 2.14815e-05};
    const std::size_t jj = static_cast<std::size_t>(j - 1);
    EXPECT_EQ(rec.DESCALE[jj], static_cast<float>(descale[jj]));
    const double scale = descale[jj] * 1000.0;
    // The table holds 8 decimals of a single-precision product, itself off by
    // up to about 1e-7 of full scale (1 here), so that is the tolerance.
    for (std::size_t i = 0; i < 2000; ++i) {
      const double expect = ref[i * 3 + jj];
      EXPECT_NEAR(col[i] * scale, expect, 1e-7 * std::max(std::fabs(expect), 1.0))
          << "trace " << j << " sample " << i;
    }
  }
}

TEST_F(Seg2InTest, BigEndianHeadersReadLikeLittleEndianHeaders) {
  // A file marked 3A 55 reads the same whether its binary headers are LSB
  // first (this program's older files) or MSB first (the standard layout).
  const std::vector<std::int16_t> shorts = {0, 1, -1, 32767, -32768, 1234, -4321};
  const std::vector<std::int32_t> wide = {0, 1, -1, 2147483647, -2147483647 - 1, 70000, -123456};
  const std::vector<float> reals = {0.0f, 1.5f, -2.25f, 3.0e10f, -1.0e-10f, 7.0f, -0.5f};
  for (const int format : {1, 2, 4}) {
    SCOPED_TRACE(format);
    File f;
    f.msbFirst = true;
    f.strings = {"UNITS FEET", "NOTE two traces"};
    for (int j = 0; j < 2; ++j) {
      Trace t;
      t.format = format;
      t.sampleCount = 7;
      t.data = format == 1   ? Int16s(shorts, true)
               : format == 2 ? Int32s(wide, true)
                             : Floats(reals, true);
      t.strings = {"SAMPLE_INTERVAL 0.001", "RECEIVER_LOCATION " + std::to_string(10 + j),
                   "FIRST_BREAK 0.002"};
      f.traces.push_back(t);
    }
    ShotRecord little;
    ASSERT_EQ(Read(Build(f), little), 0) << sup::LastUserMessage().text;
    f.bigHeaders = true;
    ShotRecord big;
    ASSERT_EQ(Read(Build(f), big), 0) << sup::LastUserMessage().text;
    ASSERT_EQ(big.NTRACE, 2);
    ASSERT_EQ(big.NSAMP, 7);
    ExpectSameRecord(big, little);
    EXPECT_EQ(big.IBPICK[1], 2);
    EXPECT_EQ(big.GEOLOC[1], 11.0f);
    EXPECT_EQ(big.TRACEMAX, little.TRACEMAX);
    EXPECT_EQ(vel::Trace(big, 2)[3], format == 1   ? 32767.0f
                                     : format == 2 ? 2147483647.0f
                                                   : 3.0e10f);
  }
}

// IEEE samples: the range the decoder finds is the one of a plain loop that
// meets the samples in order (signed zeros included), in both byte orders,
// for blocks short and long (the decoder keeps several ranges side by side
// over 32 samples at a time) and a range carried over from earlier samples.
TEST(Seg2Decode, FloatRangeMeetsTheSamplesInOrder) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const std::vector<float> pool = {0.0f, -0.0f, 0.0f, -0.0f, 3.5f, -2.0f, nan, 1.0e20f, -7.0f};
  const float starts[][2] = {{1.0e30f, -1.0e30f}, {-1.0f, 2.0f}, {0.0f, -0.0f}};
  std::mt19937 rng(5);
  for (const bool swap : {false, true}) {
    for (int trial = 0; trial < 900; ++trial) {
      const std::int32_t n = trial % 45 + (trial / 300) * 50;
      std::vector<float> v(static_cast<std::size_t>(n));
      // Mostly zeros of both signs, so that the marks are often a zero.
      for (float& x : v) x = pool[rng() % (trial % 2 == 0 ? 4 : pool.size())];
      std::vector<std::byte> buf(4 * v.size());
      for (std::size_t k = 0; k < v.size(); ++k)
        sup::StoreU32(buf.data() + 4 * k, std::bit_cast<std::uint32_t>(v[k]),
                      swap ? sup::ByteOrder::Big : sup::ByteOrder::Little);
      const auto& start = starts[static_cast<std::size_t>(trial % 3)];
      float lo = start[0], hi = start[1], rlo = lo, rhi = hi;
      for (const float x : v) {
        if (x > rhi) rhi = x;
        if (x < rlo) rlo = x;
      }
      std::vector<float> out(v.size());
      ASSERT_TRUE(vel::DecodeSeg2Samples(buf, 4, n, swap, out, lo, hi));
      EXPECT_TRUE(v.empty() || std::memcmp(out.data(), v.data(), 4 * v.size()) == 0);
      EXPECT_EQ(std::bit_cast<std::uint32_t>(lo), std::bit_cast<std::uint32_t>(rlo)) << trial;
      EXPECT_EQ(std::bit_cast<std::uint32_t>(hi), std::bit_cast<std::uint32_t>(rhi)) << trial;
    }
  }
}

}  // namespace
