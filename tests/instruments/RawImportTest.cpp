// The raw binary import: layouts, sample types in both byte orders,
// positions and spacing, progress and abort, and refused layouts.
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <string>
#include <vector>

#include "instruments/RawImport.h"
#include "support/Progress.h"
#include "support/UserMessages.h"
#include "tests/instruments/InstrumentFixtures.h"
#include "tests/instruments/ReaderTestBase.h"

namespace {

using vel::ShotRecord;

// One sample of FORMAT holding V, in the byte order asked for.
std::string Sample(int format, std::int64_t v, bool msb) {
  std::string s;
  const int width = vel::UserSampleBytes(format);
  const std::uint64_t bits =
      format == 1 ? std::bit_cast<std::uint32_t>(static_cast<float>(v)) : static_cast<std::uint64_t>(v);
  for (int k = 0; k < width; ++k) {
    const int shift = 8 * (msb ? width - 1 - k : k);
    s.push_back(static_cast<char>((bits >> shift) & 0xFF));
  }
  return s;
}

struct Layout {
  int h = 0, t = 0, f = 1, format = 3, ntrace = 4, nsamp = 5;
  bool msb = false;
};

// A file of LAYOUT whose trace k (1-based, counting skipped traces) holds
// samples 100 k + i, headers filled with 0x7F.
std::string RawFile(const Layout& l, int cut = 0) {
  std::string s(static_cast<std::size_t>(l.h), '\x7F');
  for (int k = 1; k < l.f + l.ntrace; ++k) {
    s.append(static_cast<std::size_t>(l.t), '\x7F');
    for (int i = 0; i < l.nsamp; ++i)
      s += Sample(l.format, l.format == 4 ? (k * 10 + i) % 128 : 100 * k + i, l.msb);
  }
  s.resize(s.size() - static_cast<std::size_t>(cut));
  return s;
}

class RawImportTest : public ReaderTest {
 protected:
  ShotRecord Read(const Layout& l, const std::string& bytes, int& ierr, float first = 0.0f,
                  float step = 1.0f, float spacing = 0.0f) {
    Write("raw.bin", bytes);
    ShotRecord rec = Loaded();
    rec.SPACING = spacing;
    rec.NTRACE = l.ntrace;
    rec.NSAMP = l.nsamp;
    ierr = 99;
    vel::USERIN(rec, "raw.bin", ierr, first, step, l.h, l.t, l.f, l.format, l.msb);
    return rec;
  }
};

TEST_F(RawImportTest, LayoutsAndSampleTypes) {
  std::vector<Layout> layouts = {
      {.h = 0, .t = 0, .f = 1, .format = 1},  {.h = 0, .t = 0, .f = 1, .format = 2, .msb = true},
      {.h = 3600, .t = 240, .f = 1, .format = 3}, {.h = 5, .t = 8, .f = 3, .format = 3, .nsamp = 500},
      {.h = 1, .t = 3, .f = 2, .format = 4},  {.h = 7, .t = 1, .f = 4, .format = 1, .msb = true},
      {.h = 0, .t = 2, .f = 2, .format = 2},  {.h = 2, .t = 0, .f = 1, .format = 3, .msb = true},
  };
  for (const Layout& l : layouts) {
    SCOPED_TRACE(testing::Message() << "H " << l.h << " T " << l.t << " F " << l.f << " format "
                                    << l.format << (l.msb ? " MSB" : " LSB"));
    int ierr = 0;
    const ShotRecord rec = Read(l, RawFile(l), ierr);
    ASSERT_EQ(ierr, 0) << sup::LastUserMessage().text;
    ASSERT_EQ(rec.NTRACE, l.ntrace);
    for (int k = 1; k <= l.ntrace; ++k) {
      const int fileTrace = l.f + k - 1;
      for (int i = 0; i < l.nsamp; i += 7) {
        const int want = l.format == 4 ? (fileTrace * 10 + i) % 128 : 100 * fileTrace + i;
        ASSERT_EQ(vel::Trace(rec, k)[static_cast<std::size_t>(i)], static_cast<float>(want))
            << "trace " << k << " sample " << i;
      }
    }
    EXPECT_EQ(rec.CRECNAME.Trimmed(), "HELD");  // the command names the record
    EXPECT_FLOAT_EQ(rec.SAMPINT, 0.125f);       // kept
  }
}

TEST_F(RawImportTest, BytesOfEachSampleType) {
  struct Case {
    int format;
    bool msb;
    std::string bytes;
    float value;
  };
  const Case cases[] = {
      {3, false, std::string("\x01\x00", 2), 1.0f},
      {3, true, std::string("\x01\x00", 2), 256.0f},
      {3, false, "\xFF\xFF", -1.0f},
      {3, true, "\xFF\xFF", -1.0f},
      {4, false, "\xFF", -1.0f},
      {4, true, "\xFF", -1.0f},
      {4, true, "\x7F", 127.0f},
      {2, false, std::string("\x01\x00\x00\x00", 4), 1.0f},
      {2, true, std::string("\x00\x00\x00\x01", 4), 1.0f},
      {1, false, std::string("\x00\x00\x80\x3F", 4), 1.0f},
      {1, true, std::string("\x3F\x80\x00\x00", 4), 1.0f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "format " << c.format << (c.msb ? " MSB" : " LSB"));
    const Layout l{.format = c.format, .ntrace = 1, .nsamp = 1, .msb = c.msb};
    int ierr = 0;
    const ShotRecord rec = Read(l, c.bytes, ierr);
    ASSERT_EQ(ierr, 0) << sup::LastUserMessage().text;
    EXPECT_EQ(vel::Trace(rec, 1)[0], c.value);
  }
}

TEST_F(RawImportTest, PositionsAndSpacing) {
  struct Case {
    const char* what;
    int ntrace;
    float first, step, spacingBefore;
    std::vector<float> positions;
    float spacing;
  };
  const Case cases[] = {
      {"first and step", 4, 10.0f, 2.5f, 0.0f, {10.0f, 12.5f, 15.0f, 17.5f}, 2.5f},
      {"step 0 renumbers", 3, 7.0f, 0.0f, 0.0f, {1.0f, 2.0f, 3.0f}, 1.0f},
      {"falling", 3, 10.0f, -2.0f, -1.0f, {10.0f, 8.0f, 6.0f}, 2.0f},
      {"one trace", 1, 42.0f, 3.0f, 0.0f, {1.0f}, 1.0f},
      {"one trace, negative spacing stays", 1, 42.0f, 3.0f, -3.0f, {42.0f}, -3.0f},
      {"positive spacing kept", 3, 1.0f, 4.0f, 9.0f, {1.0f, 5.0f, 9.0f}, 9.0f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const Layout l{.ntrace = c.ntrace, .nsamp = 2};
    int ierr = 0;
    const ShotRecord rec = Read(l, RawFile(l), ierr, c.first, c.step, c.spacingBefore);
    ASSERT_EQ(ierr, 0);
    EXPECT_EQ(rec.GEOLOC, c.positions);
    EXPECT_FLOAT_EQ(rec.SPACING, c.spacing);
    EXPECT_EQ(rec.GEOELE, std::vector<float>(static_cast<std::size_t>(c.ntrace), 0.0f));
  }
  // The extremes are the new record's alone.
  const Layout l{.ntrace = 2, .nsamp = 3};
  int ierr = 0;
  const ShotRecord rec = Read(l, RawFile(l), ierr);
  EXPECT_FLOAT_EQ(rec.GMIN, 100.0f);
  EXPECT_FLOAT_EQ(rec.GMAX, 202.0f);
  EXPECT_FLOAT_EQ(rec.TRACEMAX[1], 202.0f);
}

TEST_F(RawImportTest, ProgressAbove100TracesAndCancel) {
  std::vector<int> bars;
  bool opened = false;
  sup::SetProgressHook({.open = [&](std::string_view) { opened = true; },
                        .set = [&](int p) { bars.push_back(p); },
                        .close = {}});
  int polls = 0;
  sup::SetAbortPollHook([&] {
    ++polls;
    return false;
  });
  int ierr = 0;
  (void)Read({.ntrace = 100, .nsamp = 2}, RawFile({.ntrace = 100, .nsamp = 2}), ierr);
  EXPECT_EQ(ierr, 0);
  EXPECT_FALSE(opened);
  EXPECT_EQ(polls, 100);
  (void)Read({.ntrace = 101, .nsamp = 2}, RawFile({.ntrace = 101, .nsamp = 2}), ierr);
  EXPECT_EQ(ierr, 0);
  EXPECT_TRUE(opened);
  ASSERT_EQ(bars.size(), 101u);
  EXPECT_EQ(bars.front(), 1);  // while the first trace is read
  EXPECT_EQ(bars.back(), 100);  // as the last one starts
  sup::SetProgressHook({});

  sup::SetAbortPollHook([&] { return true; });
  const ShotRecord rec = Read({.ntrace = 3, .nsamp = 2}, RawFile({.ntrace = 3, .nsamp = 2}), ierr);
  EXPECT_EQ(ierr, -1);
  EXPECT_EQ(sup::LastUserMessage().text, "INPUT TERMINATED BY USER");
}

TEST_F(RawImportTest, RefusedLayoutsAndShortFiles) {
  struct Case {
    const char* what;
    Layout layout;
    int cut;
    const char* message;
  };
  const Case cases[] = {
      {"no traces", {.ntrace = -999}, 0, "INVALID NUMBER OF TRACES TO READ: -999"},
      {"no samples", {.nsamp = 0}, 0, "INVALID NUMBER OF SAMPLES IN EACH TRACE: 0"},
      {"first trace 0", {.f = 0}, 0, "INVALID FIRST TRACE TO READ: 0"},
      {"negative header", {.h = -1}, 0, "INVALID NUMBER OF FILE HEADER BYTES: -1"},
      {"negative trace header", {.t = -4}, 0, "INVALID NUMBER OF TRACE HEADER BYTES: -4"},
      {"16-bit one byte short", {.format = 3}, 1, "ERROR READING TRACE"},
      {"8-bit one byte short", {.format = 4}, 1, "ERROR READING TRACE"},
      {"32-bit one byte short", {.format = 2}, 1,
       "END OF FILE HAS BEEN REACHED WHILE READING TRACES"},
      {"float one byte short", {.format = 1}, 1,
       "END OF FILE HAS BEEN REACHED WHILE READING TRACES"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const Layout fileLayout{.format = c.layout.format};
    int ierr = 0;
    std::string bytes = RawFile(fileLayout, c.cut);
    const ShotRecord rec = Read(c.layout, bytes, ierr);
    EXPECT_EQ(ierr, -1);
    EXPECT_EQ(sup::LastUserMessage().text, c.message);
  }
  // Skips far beyond a small file, with the 32-bit products that overflowed.
  const Layout huge[] = {
      {.h = 2147483647, .format = 3},
      {.t = 2147483647, .format = 3},
      {.f = 2147483647, .format = 3, .nsamp = 2147483647 / 4},
      {.t = 2000000000, .f = 2000000000, .format = 2, .ntrace = 2000000000, .nsamp = 2000000000},
  };
  for (const Layout& l : huge) {
    int ierr = 0;
    (void)Read(l, RawFile({.format = 3}), ierr);
    EXPECT_EQ(ierr, -1);
    EXPECT_NE(sup::LastUserMessage().text.find("TRAC"), std::string::npos);
  }
  int ierr = 0;
  ShotRecord rec = Loaded();
  vel::USERIN(rec, "missing.bin", ierr, 0, 1, 0, 0, 1, 3, false);
  EXPECT_EQ(ierr, -1);
  EXPECT_EQ(sup::LastUserMessage().text, "ERROR OPENING INPUT FILE");
}

}  // namespace
