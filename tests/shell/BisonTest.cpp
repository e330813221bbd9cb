#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "instruments/Bison.h"
#include "instruments/Bison2.h"
#include "shell/Import.h"
#include "support/UserMessages.h"
#include "tests/instruments/InstrumentFixtures.h"
#include "tests/instruments/ReaderTestBase.h"

namespace {

using instrument_fixtures::Bison1;
using instrument_fixtures::Bison1Sample;
using instrument_fixtures::Bison2;
using instrument_fixtures::Bison2Sample;
using instrument_fixtures::Put;
using vel::ShotRecord;
using vel::instrument::Outcome;

std::span<const std::byte> Span(const std::string& s) {
  return std::as_bytes(std::span(s.data(), s.size()));
}

ShotRecord Decode1(const std::string& file, Outcome expect = Outcome::Ok) {
  ShotRecord rec;
  EXPECT_EQ(vel::DecodeBisonFile(Span(file), rec), expect);
  return rec;
}

ShotRecord Decode2(const std::string& file, Outcome expect = Outcome::Ok) {
  ShotRecord rec;
  char format = 0;
  EXPECT_EQ(vel::DecodeBison2File(Span(file), rec, format), expect);
  return rec;
}

// ---- Bison-1

TEST(Bison1, HeaderAndSamples) {
  const ShotRecord rec = Decode1(Bison1(24, 500).Bytes());
  EXPECT_EQ(rec.ISHOT, 12);
  EXPECT_EQ(rec.NTRACE, 24);
  EXPECT_EQ(rec.NSAMP, 500);
  EXPECT_EQ(rec.SAMPINT, 0.5f);
  EXPECT_EQ(rec.SHOTX, -4.0f);
  EXPECT_EQ(rec.TDELAY, 0.0f);
  EXPECT_FALSE(rec.LPICKS);
  EXPECT_EQ(rec.SHOTELEV, 0.0f);
  // Every block is 975 bytes whatever NSAMP: trace 2 starts at byte 1416.
  for (int j : {1, 2, 24}) {
    const auto t = vel::Trace(rec, j);
    for (int i = 0; i < 500; ++i) ASSERT_EQ(t[i], Bison1Sample(j, i)) << j << " " << i;
    EXPECT_EQ(rec.SHOTLOCX[j - 1], -4.0f);
  }
}

TEST(Bison1, SamplesBeyondTheBlockAreZero) {
  const ShotRecord rec = Decode1(Bison1(2, 990).Bytes());
  const auto t = vel::Trace(rec, 2);
  EXPECT_EQ(t[974], Bison1Sample(2, 974));
  for (int i = 975; i < 990; ++i) EXPECT_EQ(t[i], 0.0f);
}

TEST(Bison1, SignedBytes) {
  std::string file = Bison1(1, 3).Bytes();
  file.replace(441, 3, "\xFF\x80\x7F", 3);
  const ShotRecord rec = Decode1(file);
  EXPECT_EQ(std::vector<float>(rec.TRACES.begin(), rec.TRACES.end()),
            (std::vector<float>{-1.0f, -128.0f, 127.0f}));
  EXPECT_EQ(rec.TRACEMAX[0], 128.0f);
}

TEST(Bison1, SampleIntervalField) {
  for (auto [text, value] : {std::pair{"0.5", 0.5f}, {"  2", 2.0f}, {"   ", 0.0f}, {" .5", 0.5f}}) {
    SCOPED_TRACE(text);
    Bison1 f(1, 3);
    Put(f.header, 43, text);
    EXPECT_EQ(Decode1(f.Bytes()).SAMPINT, value);
  }
}

TEST(Bison1, PositionsKeepTheSignsOfTheOffsets) {
  Bison1 f(4, 3);
  Put(f.header, 64, "17.5");
  const ShotRecord rec = Decode1(f.Bytes());
  EXPECT_EQ(rec.SPACING, 5.0f);
  EXPECT_EQ(rec.GEOLOC, (std::vector<float>{20.0f, 15.0f, 10.0f, 5.0f}));
  EXPECT_EQ(rec.GOFF, (std::vector<float>{2.5f, -2.5f, -7.5f, -12.5f}));
}

TEST(Bison1, OneTraceWritesOnlyItsOwnPosition) {
  const ShotRecord rec = Decode1(Bison1(1, 3).Bytes());
  EXPECT_EQ(rec.GEOLOC, (std::vector<float>{20.0f}));
}

// ---- Bison-2

TEST(Bison2, WordsWith48ByteEntries) {
  const Bison2 f('W', 24, 250);
  ASSERT_EQ(f.DataOffset(), 1692u);
  const ShotRecord rec = Decode2(f.Bytes());
  EXPECT_EQ(rec.ISHOT, 33);
  EXPECT_EQ(rec.NTRACE, 24);
  EXPECT_EQ(rec.NSAMP, 250);
  EXPECT_EQ(rec.SAMPINT, 0.25f);
  EXPECT_EQ(rec.TDELAY, 10.0f);
  EXPECT_EQ(rec.SHOTX, 2.0f);
  EXPECT_FALSE(rec.LPICKS);
  for (int j : {1, 2, 24}) {
    const auto t = vel::Trace(rec, j);
    for (int i = 0; i < 250; ++i) ASSERT_EQ(t[i], Bison2Sample(j, i)) << j << " " << i;
  }
  EXPECT_EQ(rec.GMAX, Bison2Sample(24, 0));
}

TEST(Bison2, SampleFormats) {
  struct Case {
    char format;
    int nsamp;
    bool shortEntries;
    float scale;
  } cases[] = {
      {'L', 1000, false, 70000.0f},
      {'F', 9, false, 1.0f},   // 20-bit: three groups, samples 10-12 unused
      {'w', 250, true, 1.0f},  // lower case: 20-bit
      {'W', 7, true, 1.0f},    // "7" at 148: 42-byte entries
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.format);
    const Bison2 f(c.format, 3, c.nsamp, c.shortEntries);
    const ShotRecord rec = Decode2(f.Bytes());
    ASSERT_EQ(rec.NSAMP, c.nsamp);
    for (int j = 1; j <= 3; ++j) {
      const auto t = vel::Trace(rec, j);
      for (int i = 0; i < c.nsamp; ++i)
        ASSERT_EQ(t[i], static_cast<float>(Bison2Sample(j, i)) * c.scale) << j << " " << i;
    }
  }
  EXPECT_EQ(vel::Bison2TraceBytes('F', 9), 30);
  EXPECT_EQ(vel::Bison2TraceBytes('L', 1000), 4000);
  EXPECT_EQ(vel::Bison2TraceBytes('W', 250), 500);
  EXPECT_EQ(Bison2('W', 24, 1, true).DataOffset(), 540u + 1008u);
}

TEST(Bison2, LineEndsInsideCountFieldsAreBlanks) {
  Bison2 f('W', 3, 4);
  Put(f.header, 218, "\r  3");
  Put(f.header, 238, "\n\x03   4");
  const ShotRecord rec = Decode2(f.Bytes());
  EXPECT_EQ(rec.NTRACE, 3);
  EXPECT_EQ(rec.NSAMP, 4);
}

TEST(Bison2, TwentyBitGroup) {
  const std::array<unsigned char, 10> raw = {0x00, 0x01, 0x00, 0x01, 0x00,
                                             0x01, 0x00, 0x01, 0x21, 0xF1};
  float s[4];
  vel::DecodeBison2Group(std::as_bytes(std::span(raw)), s);
  EXPECT_EQ(s[0], 512.0f);
  EXPECT_EQ(s[1], 128.0f);
  EXPECT_EQ(s[2], 64.0f);
  EXPECT_EQ(s[3], 128.0f);
  const std::array<unsigned char, 10> neg = {0xFF, 0xFF, 0x00, 0x80, 0x07,
                                             0x00, 0x01, 0x00, 0x80, 0x37};
  vel::DecodeBison2Group(std::as_bytes(std::span(neg)), s);
  EXPECT_EQ(s[0], -1.0f / 8.0f);     // e1 = 3
  EXPECT_EQ(s[1], -32768.0f / 128);  // e2 = 7
  EXPECT_EQ(s[2], 7.0f * 256);       // e3 = -8
  EXPECT_EQ(s[3], 1.0f);             // e4 = 0
}

TEST(Bison2, SpacingIsRoundedAwayFromZero) {
  for (auto [first, second] : {std::pair{"  0", "2.6"}, {"  0", "2.5"}, {"2.5", "  0"}}) {
    SCOPED_TRACE(std::string(first) + "/" + second);
    Bison2 f('W', 3, 2);
    Put(f.header, 374, first);
    Put(f.header, 456, second);
    const ShotRecord rec = Decode2(f.Bytes());
    EXPECT_EQ(rec.SPACING, 3.0f);
    // Positions and offsets use the unrounded values.
    const double a = std::stod(first), b = std::stod(second);
    EXPECT_FLOAT_EQ(rec.GEOLOC[2], static_cast<float>(a + 2 * (b - a)));
    EXPECT_FLOAT_EQ(rec.GOFF[1], static_cast<float>(b - 2.0));
  }
}

// ---- Files: detection, import, failures

class BisonReader : public ReaderTest {};

TEST_F(BisonReader, DetectedAndImported) {
  Write("b1.dat", Bison1(24, 500).Bytes());
  Write("b2.dat", Bison2('W', 24, 250).Bytes());
  EXPECT_EQ(vel::ISEISFT("b1.dat"), vel::kFormatBison1);
  EXPECT_EQ(vel::ISEISFT("b2.dat"), vel::kFormatBison2);
  for (auto [name, code] :
       {std::pair{"b1.dat", vel::kFormatBison1}, {"b2.dat", vel::kFormatBison2}}) {
    SCOPED_TRACE(name);
    ShotRecord rec = Loaded();
    std::int32_t recno = 0;
    int ierr = 99;
    vel::IMPORT(rec, name, recno, ierr, true, false);  // the option flag changes nothing
    ASSERT_EQ(ierr, 0);
    EXPECT_EQ(rec.NTRACE, 24);
    EXPECT_EQ(rec.IFORMAT, code);
    EXPECT_NE(vel::Trace(rec, 24)[3], 0.0f);
  }
  EXPECT_EQ(sup::UserMessageCount(), 0);
}

TEST_F(BisonReader, Bison2StartsWithTheErrorFlagClear) {
  Write("b2.dat", Bison2('W', 2, 4).Bytes());
  ShotRecord rec;
  int ierr = -1;
  vel::BISON2(rec, "b2.dat", ierr, false);
  EXPECT_EQ(ierr, 0);
}

TEST_F(BisonReader, Bison2CutInsideTheTracesKeepsWhatItHolds) {
  struct Case {
    char format;
    std::size_t keepTraces;  // whole traces kept
    std::size_t extraBytes;  // bytes of the next trace
    int ntrace;
    std::string message;
    sup::UserMessageKind kind;
  } cases[] = {
      {'W', 10, 0, 10, "END OF FILE HAS BEEN REACHED WHILE READING TRACES",
       sup::UserMessageKind::Information},
      {'W', 10, 101, 11, "END OF FILE HAS BEEN REACHED WHILE READING TRACES",
       sup::UserMessageKind::Information},
      {'L', 10, 9, 11, "END OF FILE WHILE READING TRACES", sup::UserMessageKind::Warning},
      {'X', 3, 25, 4, "END OF FILE WHILE READING TRACES", sup::UserMessageKind::Warning},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(1, c.format) + std::to_string(c.extraBytes));
    sup::ClearUserMessages();
    const Bison2 f(c.format, 24, 100);
    std::string file = f.Bytes();
    file.resize(f.DataOffset() + f.TraceBytes() * c.keepTraces + c.extraBytes);
    Write("cut.dat", file);
    ShotRecord rec = Loaded();
    std::int32_t recno = 0;
    int ierr = 99;
    vel::IMPORT(rec, "cut.dat", recno, ierr, false, false);
    EXPECT_EQ(ierr, 0);
    ASSERT_EQ(rec.NTRACE, c.ntrace);
    EXPECT_EQ(rec.TRACES.size(), static_cast<std::size_t>(100 * c.ntrace));
    EXPECT_EQ(sup::UserMessageCount(), 1);
    EXPECT_EQ(sup::LastUserMessage().text, c.message);
    EXPECT_EQ(sup::LastUserMessage().kind, c.kind);
    if (c.extraBytes > 0) {
      // Whole samples present stay; the rest of the trace is 0.0.
      const std::size_t unit = c.format == 'W' ? 2 : c.format == 'L' ? 4 : 10;
      const std::size_t kept = c.extraBytes / unit * (c.format == 'X' ? 4 : 1);
      const auto t = vel::Trace(rec, c.ntrace);
      for (std::size_t i = 0; i < 100; ++i) {
        const float expect = i < kept
                                 ? static_cast<float>(Bison2Sample(c.ntrace, static_cast<int>(i))) *
                                       (c.format == 'L' ? 70000.0f : 1.0f)
                                 : 0.0f;
        ASSERT_EQ(t[i], expect) << i;
      }
    }
  }
}

struct HostileCase {
  const char* name;
  std::string bytes;
  std::string message;  // the file name is appended padded when it ends in "file "
};

std::string Cut(std::string s, std::size_t n) {
  s.resize(n);
  return s;
}
template <class F>
std::string With(F f, std::size_t offset, std::string_view text) {
  Put(f.header, offset, text);
  return f.Bytes();
}

TEST_F(BisonReader, HostileFilesAreRefusedAndLeaveTheRecord) {
  const std::string readErr = "Error reading file ";
  const Bison2 big('W', 9999, 999999);
  std::string noSamples = big.header;
  noSamples.append(48 * 9999 + 2, ' ');
  const HostileCase cases[] = {
      {"b1 short header", Cut(Bison1(2, 10).Bytes(), 440), readErr},
      {"b1 no traces", With(Bison1(2, 10), 36, " 0"), readErr},
      {"b1 negative traces", With(Bison1(2, 10), 36, "-1"), readErr},
      {"b1 no samples", With(Bison1(2, 10), 39, "  0"), readErr},
      {"b1 block cut", Cut(Bison1(2, 10).Bytes(), 441 + 975 * 2 - 1), readErr},
      {"b2 short first part", Cut(Bison2('W', 2, 4).Bytes(), 537), readErr},
      {"b2 short second part", Cut(Bison2('W', 2, 4).Bytes(), 538 + 48 * 2 + 1), readErr},
      {"b2 count blank and 0", With(Bison2('W', 2, 4), 218, "   0"), readErr},
      {"b2 count -5", With(Bison2('W', 2, 4), 218, "  -5"), readErr},
      {"b2 count blank", With(Bison2('W', 2, 4), 218, "    "), readErr},
      {"b2 count not a number", With(Bison2('W', 2, 4), 218, " 2x "), readErr},
      {"b2 no samples", With(Bison2('W', 2, 4), 238, "     0"), readErr},
      {"b2 huge counts, no sample", noSamples, readErr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    sup::ClearUserMessages();
    Write("bad.dat", c.bytes);
    ShotRecord rec = Loaded();
    const ShotRecord before = rec;
    std::int32_t recno = 0;
    int ierr = 99;
    vel::IMPORT(rec, "bad.dat", recno, ierr, false, false);
    EXPECT_EQ(ierr, -1);
    EXPECT_EQ(sup::LastUserMessage().text, c.message + Padded256("bad.dat"));
    EXPECT_EQ(sup::UserMessageCount(), 1);
    EXPECT_EQ(rec.TRACES, before.TRACES);
    EXPECT_EQ(rec.CRECNAME, before.CRECNAME);
    EXPECT_EQ(rec.NTRACE, before.NTRACE);
  }
}

TEST_F(BisonReader, MissingFiles) {
  ShotRecord rec;
  int ierr = 0;
  vel::BISON(rec, "none.dat", ierr, false);
  EXPECT_EQ(ierr, -1);
  EXPECT_EQ(sup::LastUserMessage().text, "Error opening file " + Padded256("none.dat"));
  ierr = 0;
  vel::BISON2(rec, "none.dat", ierr, false);
  EXPECT_EQ(ierr, -1);
  EXPECT_EQ(sup::LastUserMessage().text, "Error open/close file " + Padded256("none.dat"));
}

}  // namespace
