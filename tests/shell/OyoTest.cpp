// OYO reader: every model built by the shared fixture, the header decoding
// table, progress, abort and the hostile-file table through IMPORT.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "instruments/Oyo.h"
#include "shell/Import.h"
#include "support/Progress.h"
#include "support/UserMessages.h"
#include "tests/instruments/InstrumentFixtures.h"
#include "tests/instruments/OyoFpxSuspensFixtures.h"
#include "tests/instruments/ReaderTestBase.h"
#include "tests/instruments/SeededDamage.h"

namespace {

using instrument_fixtures::OyoFile;

using instrument_fixtures::Num;
using instrument_fixtures::Put;
using instrument_fixtures::PutLE;

class OyoTest : public ReaderTest {
 protected:
  static vel::ShotRecord Read(const std::string& name, int& ierr, bool progress = false) {
    vel::ShotRecord rec;
    vel::OYOIN(rec, name, ierr, progress);
    return rec;
  }
  static void ExpectSamples(const OyoFile& f, const vel::ShotRecord& rec) {
    ASSERT_EQ(rec.NTRACE, f.ntrace);
    ASSERT_EQ(rec.NSAMP, f.nsamp);
    const int fromFile = static_cast<int>(f.BytesPerTrace()) / f.Width();
    for (int j = 1; j <= f.ntrace; ++j) {
      const auto trace = vel::Trace(rec, j);
      for (int i = 0; i < f.nsamp; ++i) {
        const float want = i < fromFile ? static_cast<float>(f.Sample(j, i)) : 0.0f;
        ASSERT_EQ(trace[static_cast<std::size_t>(i)], want) << "trace " << j << " sample " << i;
      }
    }
  }
};

TEST_F(OyoTest, EveryModelWithAndWithoutPrefix) {
  struct Case {
    const char* what;
    char model;
    int nsamp;
    bool fp;
  };
  const Case cases[] = {
      {"OYO6 16-bit blocks, 300 samples", '6', 300, false},
      {"OYO6 1024 samples: 2048 bytes a trace", '6', 1024, false},
      {"OYO6 FP: 32-bit, 4096 bytes a trace", '6', 1024, true},
      {"OYO8", '8', 256, false},
      {"OYO9 FP", '9', 384, true},
      {"OYO5 256 samples, stride 512", '5', 256, false},
      {"OYO7 1000 samples, stride 1024", '7', 1000, false},
      {"OYO7 with FP stays 8-bit", '7', 1000, true},
      {"OYO-4 with ETX", '4', 512, false},
      {"OYO-2 data at 6144", '2', 256, false},
      {"OYO-3 data at 6144", '3', 640, true},
  };
  for (const Case& c : cases) {
    for (bool prefix : {false, true}) {
      SCOPED_TRACE(std::string(c.what) + (prefix ? " behind a prefix" : ""));
      OyoFile f{.model = c.model, .ntrace = 6, .nsamp = c.nsamp, .fp = c.fp, .prefix = prefix};
      Write("shot.dat", f.Bytes());
      EXPECT_EQ(vel::ISEISFT("shot.dat"), vel::kFormatOyo);
      int ierr = 1;
      const vel::ShotRecord rec = Read("shot.dat", ierr);
      ASSERT_EQ(ierr, 0) << sup::LastUserMessage().text;
      ExpectSamples(f, rec);
      EXPECT_EQ(rec.TRACEMAX.size(), 6u);
      // The file is exactly as long as its last trace: one byte less fails.
      std::string cut = f.Bytes();
      cut.pop_back();
      Write("cut.dat", cut);
      (void)Read("cut.dat", ierr);
      EXPECT_EQ(ierr, -1);
      EXPECT_EQ(sup::LastUserMessage().text, ReadError("cut.dat"));
    }
  }
}

TEST_F(OyoTest, HeaderValuesOfEachLayout) {
  int ierr = 1;
  Write("a.dat", OyoFile{.model = '6', .ntrace = 3}.Bytes());
  vel::ShotRecord r0 = Read("a.dat", ierr);
  ASSERT_EQ(ierr, 0);
  EXPECT_EQ(r0.CRECNAME.View(), "LINE-A SHOT1" + std::string(20, ' '));
  EXPECT_EQ(r0.ISHOT, 17);
  EXPECT_FLOAT_EQ(r0.SAMPINT, 0.25f);
  EXPECT_FLOAT_EQ(r0.TDELAY, 5.0f);
  EXPECT_FLOAT_EQ(r0.SHOTX, -10.0f);
  EXPECT_FLOAT_EQ(r0.SHOTY, 20.0f);
  EXPECT_FLOAT_EQ(r0.SHOTELEV, 100.0f);
  EXPECT_EQ(std::string(r0.CNOTE.View().substr(0, 12)), "Fixture note");
  EXPECT_EQ(r0.IFDBLEN[12], 12);
  EXPECT_EQ(std::string(r0.CFDBVAL[0].View().substr(0, 10)), "05/03/2001");
  EXPECT_EQ(r0.IFDBLEN[0], 10);
  EXPECT_EQ(r0.IYEAR[2], 2001);
  EXPECT_EQ(r0.IDAY[2], 64);
  EXPECT_EQ(r0.IHOUR[0], 10);
  EXPECT_EQ(r0.IMINUTE[0], 20);
  EXPECT_EQ(r0.ISECOND[0], 30);
  EXPECT_EQ(r0.IHICUT[1], 250);
  EXPECT_FLOAT_EQ(r0.FHICUT[1], 250.0f);
  EXPECT_FLOAT_EQ(r0.GEOLOC[1], 10.0f);
  EXPECT_FLOAT_EQ(r0.GEOELE[1], 20.5f);
  EXPECT_EQ(r0.IVSTACK[1], 3);
  EXPECT_EQ(r0.IFXGAIN[1], 12);
  EXPECT_FLOAT_EQ(r0.SPACING, 5.0f);
  EXPECT_FLOAT_EQ(r0.GOFF[0], std::sqrt(15.0f * 15.0f + 400.0f));
  EXPECT_EQ(r0.ISRCSTN[0], 17);
  EXPECT_FLOAT_EQ(r0.SHOTLOCY[2], 20.0f);
  EXPECT_FALSE(r0.LPICKS);

  for (char model : {'4', '2'}) {
    SCOPED_TRACE(model);
    Write("b.dat", OyoFile{.model = model, .ntrace = 2, .nsamp = 256}.Bytes());
    vel::ShotRecord r = Read("b.dat", ierr);
    ASSERT_EQ(ierr, 0);
    EXPECT_EQ(r.CRECNAME.View().substr(0, 2), "b ");  // from the file name
    EXPECT_FLOAT_EQ(r.SPACING, 1.0f);
    EXPECT_EQ(r.ISHOT, model == '4' ? 9 : 42);
    EXPECT_FLOAT_EQ(r.SAMPINT, model == '4' ? 0.5f : 1.0f);
    EXPECT_FLOAT_EQ(r.TDELAY, model == '4' ? 12.5f : 2.0f);
    EXPECT_EQ(r.IVSTACK[1], 1);
    EXPECT_EQ(r.IYEAR[1], 0);
  }
}

TEST_F(OyoTest, Oyo4WithoutEtxReadsFromTheHeaderStart) {
  for (bool prefix : {false, true}) {
    OyoFile f{.model = '4', .ntrace = 2, .nsamp = 256, .prefix = prefix, .etx = -1};
    const std::string bytes = f.Bytes();
    Write("n.dat", bytes);
    int ierr = 1;
    const vel::ShotRecord rec = Read("n.dat", ierr);
    ASSERT_EQ(ierr, 0) << prefix << sup::LastUserMessage().text;
    for (int j = 1; j <= 2; ++j)
      for (std::size_t i = 0; i < 256; ++i)
        ASSERT_EQ(vel::Trace(rec, j)[i],
                  static_cast<float>(static_cast<std::int8_t>(
                      bytes[f.HeaderStart() + 256 * static_cast<std::size_t>(j - 1) + i])));
  }
}

/// A layout-0 header for OYOCODE with the given date and two channel records.
std::string DecodeHeader(std::string_view date, std::string_view ch1, std::string_view ch2) {
  std::string h = OyoFile{.model = '6', .ntrace = 2}.Header();
  Put(h, 18, date);
  Put(h, 131, "     0.0     0.0");
  Put(h, 159, ch1);
  Put(h, 195, ch2);
  h.resize(3072, ' ');
  return h;
}

TEST_F(OyoTest, DateAndGeometryTable) {
  struct Case {
    const char* date;  // month, day, year
    int year, day;
    const char* text;
  };
  const Case dates[] = {{"01 199", 1999, 1, "01/01/1999"},
                        {"01 105", 2005, 1, "01/01/2005"},
                        {"01 170", 1970, 1, "01/01/1970"},
                        {"1231 0", 2000, 365, "31/12/2000"},
                        {"03 5 1", 2001, 64, "05/03/2001"}};
  for (const Case& c : dates) {
    SCOPED_TRACE(c.date);
    vel::ShotRecord rec;
    int ierr = 1;
    vel::OYOCODE(rec, DecodeHeader(c.date, "", ""), vel::OyoHeaderLayout::Oyo5to9, ierr);
    ASSERT_EQ(ierr, 0);
    EXPECT_EQ(rec.IYEAR[0], c.year);
    EXPECT_EQ(rec.IDAY[0], c.day);
    EXPECT_EQ(std::string(rec.CFDBVAL[0].View().substr(0, 10)), c.text);
    EXPECT_EQ(rec.IFDBLEN[0], 10);
  }
  struct Geo {
    const char *ch1, *ch2;
    float spacing, goff1;
  };
  const Geo geos[] = {{"     0.0      0.0", "     3.0      4.0", 5.0f, 1.0e-10f},
                      {"     7.0      0.0", "     7.0      0.0", 1.0e-10f, 7.0f}};
  for (const Geo& g : geos) {
    vel::ShotRecord rec;
    int ierr = 1;
    vel::OYOCODE(rec, DecodeHeader("", g.ch1, g.ch2), vel::OyoHeaderLayout::Oyo5to9, ierr);
    ASSERT_EQ(ierr, 0);
    EXPECT_FLOAT_EQ(rec.SPACING, g.spacing);
    EXPECT_FLOAT_EQ(rec.GOFF[0], g.goff1);
  }
  // Intervals: a written point is taken as written, a whole number as such.
  for (auto [field, want] : {std::pair{"  0.25", 0.25f}, std::pair{"   250", 250.0f}}) {
    std::string h = DecodeHeader("", "", "");
    Put(h, 107, field);
    vel::ShotRecord rec;
    int ierr = 1;
    vel::OYOCODE(rec, h, vel::OyoHeaderLayout::Oyo5to9, ierr);
    EXPECT_FLOAT_EQ(rec.SAMPINT, want);
  }
}

TEST_F(OyoTest, Layout2Picks) {
  struct Case {
    const char* fields;
    std::vector<int> picks;
    bool lpicks;
  };
  const Case cases[] = {
      {"  12    ab12  40", {12, 0, 0, 0}, true},
      {"                ", {0, 0, 0, 0}, false},
      {" 257  -1   0    ", {257, -1, 0, 0}, true},  // stored as they stand
      {"  -1   0        ", {-1, 0, 0, 0}, false},  // none above 0: no picks
      {"   5 256        ", {5, 256, 0, 0}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fields);
    std::string h = OyoFile{.model = '2', .ntrace = 4, .nsamp = 256}.Header();
    Put(h, 874, c.fields);
    vel::ShotRecord rec;
    rec.LPICKS = true;
    int ierr = 1;
    vel::OYOCODE(rec, h, vel::OyoHeaderLayout::Oyo2or3, ierr);
    ASSERT_EQ(ierr, 0);
    EXPECT_EQ(rec.IBPICK, c.picks);
    EXPECT_EQ(rec.LPICKS, c.lpicks);
  }
}

TEST_F(OyoTest, LayoutZeroWith99Traces) {
  Write("big.dat", OyoFile{.model = '6', .ntrace = 99, .nsamp = 128}.Bytes());
  int ierr = 1;
  const vel::ShotRecord rec = Read("big.dat", ierr);
  ASSERT_EQ(ierr, 0);
  EXPECT_FLOAT_EQ(rec.GEOLOC[23], 120.0f);
  for (std::size_t j = 24; j < 99; ++j) {
    ASSERT_EQ(rec.GEOLOC[j], 0.0f);
    ASSERT_EQ(rec.GEOELE[j], 0.0f);
    ASSERT_EQ(rec.IVSTACK[j], 1);
    ASSERT_EQ(rec.IFXGAIN[j], 1);
    ASSERT_FLOAT_EQ(rec.GOFF[j], std::sqrt(100.0f + 400.0f));
  }
}

TEST_F(OyoTest, TagsThatAreNotLayoutZero) {
  for (const char* tag : {"OYO4", "OYOA", "OYO:"}) {
    SCOPED_TRACE(tag);
    std::string bytes = OyoFile{.model = '6'}.Bytes();
    Put(bytes, 94, tag);
    bytes.resize(4000, '\0');
    Write("t.dat", bytes);
    int ierr = 1;
    (void)Read("t.dat", ierr);
    EXPECT_EQ(ierr, -1);
    EXPECT_EQ(sup::LastUserMessage().text,
              "ERROR! File " + Padded256("t.dat") + " not in OYO format.");
  }
  // A 2000-byte file without either text-block tag fails on the second block.
  std::string small(2000, ' ');
  Put(small, 300, "OYO");
  Write("s.dat", small);
  int ierr = 1;
  (void)Read("s.dat", ierr);
  EXPECT_EQ(ierr, -1);
  EXPECT_EQ(sup::LastUserMessage().text, ReadError("s.dat"));
}

TEST_F(OyoTest, ProgressOnlyWithTheFlag) {
  std::vector<int> seen;
  sup::SetProgressHook({.open = {}, .set = [&](int p) { seen.push_back(p); }, .close = {}});
  Write("p.dat", OyoFile{.model = '6', .ntrace = 3}.Bytes());
  int ierr = 1;
  (void)Read("p.dat", ierr, false);
  EXPECT_TRUE(seen.empty());
  (void)Read("p.dat", ierr, true);
  sup::SetProgressHook({});
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(seen, (std::vector<int>{33, 67, 100}));
}

TEST_F(OyoTest, AbortEndsTheReadWithoutMessage) {
  Write("x.dat", OyoFile{.model = '6', .ntrace = 3}.Bytes());
  // A button waiting when the read starts, or pressed during the trace loop.
  for (int pressAt : {1, 3}) {
    int polls = 0;
    sup::SetAbortPollHook([&] { return ++polls == pressAt; });
    sup::ClearUserMessages();
    int ierr = 1;
    (void)Read("x.dat", ierr);
    EXPECT_EQ(ierr, -1);
    EXPECT_EQ(sup::UserMessageCount(), 0);
  }
  sup::SetAbortPollHook({});
  (void)sup::LKILL(1);
}

// 8-bit strides shorter than a trace: each trace is read from where its
// stride puts it, sharing bytes with the next one.
TEST_F(OyoTest, EightBitStridesShorterThanATraceAreRead) {
  struct Case {
    char model;
    int nsamp;
    std::size_t stride;
  };
  for (const Case c : {Case{'4', 1000, 768}, Case{'4', 100, 0}, Case{'5', 600, 512},
                       Case{'7', 1100, 1024}, Case{'5', 767, 512}}) {
    SCOPED_TRACE(testing::Message() << "OYO" << c.model << " " << c.nsamp);
    const OyoFile f{.model = c.model, .ntrace = 3, .nsamp = c.nsamp};
    ASSERT_EQ(f.Stride(), c.stride);
    const std::string bytes = f.Bytes();
    Write("s.dat", bytes);
    int ierr = 1;
    const vel::ShotRecord rec = Read("s.dat", ierr);
    ASSERT_EQ(ierr, 0) << sup::LastUserMessage().text;
    ASSERT_EQ(rec.NTRACE, 3);
    ASSERT_EQ(rec.NSAMP, c.nsamp);
    for (int j = 1; j <= 3; ++j) {
      const auto trace = vel::Trace(rec, j);
      for (int i = 0; i < c.nsamp; ++i) {
        const std::size_t at =
            f.DataStart() + c.stride * static_cast<std::size_t>(j - 1) + static_cast<std::size_t>(i);
        ASSERT_EQ(trace[static_cast<std::size_t>(i)],
                  static_cast<float>(static_cast<std::int8_t>(bytes[at])))
            << j << "/" << i;
      }
    }
  }
}


TEST_F(OyoTest, HostileFilesLeaveTheRecordAlone) {
  const auto file = [](OyoFile f) { return f.Bytes(); };
  std::string noTag(5000, ' ');
  Put(noTag, 700, "OYO");
  std::string shortHeader = file({.model = '6'});
  shortHeader.resize(900);
  std::string zeroTraces = file({.model = '6', .ntrace = 1});
  Put(zeroTraces, 99, " 0");
  std::string zeroSamples = file({.model = '6', .ntrace = 1});
  Put(zeroSamples, 102, "   0");
  std::string noNumber = file({.model = '6', .ntrace = 1});
  Put(noNumber, 107, "  x.25");
  std::string cut = file({.model = '6'});
  cut.resize(cut.size() - 100);
  // 1100 samples of OYO5 step 1024 bytes: the second trace passes the end
  // of a file written for 1024.
  OyoFile wide{.model = '5', .ntrace = 2, .nsamp = 1024};
  std::string overlap5 = wide.Bytes();
  Put(overlap5, 102, "1100");
  struct Case {
    const char* what;
    std::string bytes;
    bool notOyo;
  };
  const Case cases[] = {{"no tag in either pass", noTag, true},
                        {"shorter than the header", shortHeader, false},
                        {"no traces", zeroTraces, false},
                        {"no samples", zeroSamples, false},
                        {"interval not a number", noNumber, false},
                        {"last trace cut short", cut, false},
                        {"OYO5 trace beyond the end", overlap5, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Write("h.dat", c.bytes);
    vel::ShotRecord rec = Loaded();
    rec.IFORMAT = vel::kFormatSeg2;
    const vel::ShotRecord before = rec;
    std::int32_t irec = 1;
    int ierr = 0;
    vel::IMPORT(rec, "h.dat", irec, ierr, false, false);
    EXPECT_EQ(ierr, -1);
    EXPECT_EQ(sup::LastUserMessage().text,
              c.notOyo ? "ERROR! File " + Padded256("h.dat") + " not in OYO format."
                       : ReadError("h.dat"));
    EXPECT_EQ(rec.CRECNAME.View(), before.CRECNAME.View());
    EXPECT_EQ(rec.TRACES, before.TRACES);
    EXPECT_EQ(rec.IFORMAT, before.IFORMAT);
  }
}

TEST_F(OyoTest, OneTraceAndMissingFile) {
  Write("one.dat", OyoFile{.model = '6', .ntrace = 1, .nsamp = 128}.Bytes());
  int ierr = 1;
  EXPECT_FLOAT_EQ(Read("one.dat", ierr).SPACING, 1.0f);
  EXPECT_EQ(ierr, 0);
  (void)Read("gone.dat", ierr);
  EXPECT_EQ(ierr, -1);
  EXPECT_EQ(sup::LastUserMessage().text, "Error opening file " + Padded256("gone.dat"));
}

TEST_F(OyoTest, ImportReadsOyoAsCodeSeven) {
  Write("ok.dat", OyoFile{.model = '6', .ntrace = 2}.Bytes());
  vel::ShotRecord rec = Loaded();
  std::int32_t irec = 1;
  int ierr = 0;
  vel::IMPORT(rec, "ok.dat", irec, ierr, false, false);
  ASSERT_EQ(ierr, 0) << sup::LastUserMessage().text;
  EXPECT_EQ(rec.IFORMAT, vel::kFormatOyo);
  EXPECT_EQ(rec.NTRACE, 2);
  EXPECT_EQ(rec.CRECNAME.View().substr(0, 12), "LINE-A SHOT1");
}

}  // namespace

namespace {

TEST(OyoDamage, SeededDamageThroughTheFuzzEntry) {
  std::vector<std::string> seeds;
  for (char model : {'6', '5', '4', '2'})
    for (bool prefix : {false, true})
      seeds.push_back(OyoFile{.model = model, .ntrace = 2, .nsamp = 256, .prefix = prefix}.Bytes());
  instrument_fixtures::RunSeededDamage(seeds, 3400, 1500, 7);
}

}  // namespace
