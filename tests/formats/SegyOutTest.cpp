// SEG-Y files written by SEGYOUT, read back by SEGYIN and by segyio.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <filesystem>

#include "formats/IbmFloat.h"
#include "formats/SegyHeaders.h"
#include "formats/SegyIn.h"
#include "formats/SegyOut.h"
#include "support/ByteOrder.h"
#include "support/Progress.h"
#include "support/UserMessages.h"
#include "tests/TestSupport.h"
#include "tests/formats/SegyTestSupport.h"

namespace {

using namespace vel;
using segy_test::ScriptedDialogs;

// 24 data and 2 auxiliary traces of 100 samples with positions in quarter metres.
ShotRecord MakeRecord(int data = 24, int aux = 2, int ns = 100) {
  ShotRecord rec;
  rec.NTRACE = data + aux;
  rec.NSAMP = ns;
  EXPECT_TRUE(RebuildTraceArrays(rec, SegyTraceHeaders::Allocate));
  rec.NTRACE = data;
  rec.NAUX = aux;
  rec.SAMPINT = 0.125f;
  rec.TDELAY = -5.0f;
  rec.TUPHOLE = 1.5f;
  rec.ISHOT = 12;
  rec.SHOTELEV = 100.25f;
  rec.CRECNAME = "roundtrip";
  for (int j = 1; j <= data + aux; ++j) {
    const auto J = static_cast<std::size_t>(j - 1);
    rec.GEOLOC[J] = 0.25f * static_cast<float>(j);
    rec.GOFF[J] = rec.GEOLOC[J] - 1.5f;
    rec.GEOELE[J] = 99.5f;
    rec.SHOTLOCX[J] = 1.5f;
    rec.IRCVSTN[J] = j;
    float peak = 0.0f;
    for (int k = 0; k < ns; ++k) {
      const float v = static_cast<float>(j) * 37.1f * std::sin(0.3f * static_cast<float>(k + j));
      rec.TRACES[J * static_cast<std::size_t>(ns) + static_cast<std::size_t>(k)] = v;
      peak = std::max(peak, std::fabs(v));
    }
    rec.TRACEMAX[J] = peak;
  }
  return rec;
}

// The value an integer format holds for sample V of a trace of peak PEAK.
float Scaled(float v, float peak, float full) {
  return static_cast<float>(
      std::round(static_cast<double>(v) * (static_cast<double>(full) / peak)));
}

struct Written {
  int format;
  bool big;
  bool ebcdic;
};

TEST(SegyOut, EveryFormatAndByteOrderReadsBack) {
  testing_support::TempDir dir;
  const ShotRecord rec = MakeRecord();
  const ShotRecord before = rec;
  const bool segyio = segy_test::SegyioAvailable();
  // Every format and byte order the writer accepts (IBM floats big-endian only).
  for (const Written w : {Written{1, true, true}, Written{1, true, false}, Written{2, true, false},
                          Written{2, false, true}, Written{3, true, true}, Written{3, false, false},
                          Written{5, true, false}, Written{5, false, true}}) {
    SCOPED_TRACE(testing::Message()
                 << "format " << w.format << (w.big ? " big" : " little") << "-endian");
    ScriptedDialogs quiet;
    const auto path = dir / "out.sgy";
    SegyOutOptions o;
    o.format = w.format;
    o.bigEndian = w.big;
    o.ebcdic = w.ebcdic;
    int error = 1;
    SEGYOUT(rec, path.string(), o, error);
    ASSERT_EQ(error, 0);
    EXPECT_EQ(rec.NTRACE, before.NTRACE);
    EXPECT_EQ(rec.TRACES, before.TRACES);
    const std::string bytes = testing_support::ReadFile(path);
    const std::size_t block = 240 + 100 * static_cast<std::size_t>(SegyBytesPerSample(w.format));
    ASSERT_EQ(bytes.size(), 3600 + 26 * block);
    EXPECT_EQ(static_cast<unsigned char>(bytes[0]), w.ebcdic ? 0xC3 : 'C');

    if (w.format == 1) {
      const std::uint32_t word =
          sup::LoadU32(reinterpret_cast<const std::byte*>(bytes.data()) + 3600 + 240 + 4,
                       sup::ByteOrder::Big);
      EXPECT_EQ(word, IeeeToIbmBits(std::bit_cast<std::uint32_t>(rec.TRACES[1])));
    }

    ShotRecord back;
    int recno = 1;
    SEGYIN(back, path.string(), recno, error, {});
    ASSERT_EQ(error, 0);
    EXPECT_EQ(back.NTRACE, 24);
    EXPECT_EQ(back.NAUX, 2);
    EXPECT_EQ(back.NSAMP, 100);
    EXPECT_FLOAT_EQ(back.SAMPINT, 0.125f);
    EXPECT_FLOAT_EQ(back.TDELAY, -5.0f);
    EXPECT_FLOAT_EQ(back.TUPHOLE, 1.5f);
    EXPECT_FLOAT_EQ(back.SHOTELEV, 100.25f);
    EXPECT_EQ(back.ISHOT, 12);
    EXPECT_EQ(back.CSEGYTXT.View().substr(0, 11), "C 1 CLIENT ");
    EXPECT_EQ(back.CSEGYTXT.View().substr(80, 19), "C 2 LINE  ROUNDTRIP");
    std::vector<float> expected(rec.TRACES.size());
    for (int j = 0; j < 26; ++j) {
      const auto J = static_cast<std::size_t>(j);
      EXPECT_FLOAT_EQ(back.GEOLOC[J], rec.GEOLOC[J]);
      EXPECT_FLOAT_EQ(back.GOFF[J], rec.GOFF[J]);
      EXPECT_EQ(back.IRCVSTN[J], j + 1);
      for (int k = 0; k < 100; ++k) {
        const std::size_t at = J * 100 + static_cast<std::size_t>(k);
        const float v = rec.TRACES[at];
        switch (w.format) {
          case 1:
            expected[at] =
                std::bit_cast<float>(IbmToIeeeBits(IeeeToIbmBits(std::bit_cast<std::uint32_t>(v))));
            break;
          case 2:
            expected[at] = Scaled(v, rec.TRACEMAX[J], 2000000.0f);
            break;
          case 3:
            expected[at] = Scaled(v, rec.TRACEMAX[J], 32000.0f);
            break;
          default:
            expected[at] = v;
            break;
        }
        if (w.format == 1) {
          EXPECT_NEAR(back.TRACES[at], v, std::fabs(v) * 1.0e-6f);
        }
      }
    }
    EXPECT_EQ(back.TRACES, expected);

    if (!segyio) continue;
    // segyio reads the same samples. Where the program differs from the
    // standard: the offset (bytes 37-40) is written x100 with the coordinate
    // scalar -100, which the standard applies to coordinates only, so segyio's
    // raw offset is 100 x GOFF; the uphole time (bytes 95-96) is written in
    // microseconds where the standard has milliseconds.
    const auto s =
        segy_test::ReadWithSegyio(path, !w.big,
                                  {"offset", "GroupX", "SourceGroupScalar", "SourceUpholeTime",
                                   "DelayRecordingTime", "TRACE_SAMPLE_INTERVAL"});
    ASSERT_TRUE(s.ok);
    EXPECT_EQ(s.traces, 26);
    EXPECT_EQ(s.samples, 100);
    EXPECT_EQ(s.format, w.format);
    EXPECT_DOUBLE_EQ(s.dt, 0.125);
    EXPECT_EQ(s.data, expected);
    for (int j = 0; j < 26; ++j) {
      const auto J = static_cast<std::size_t>(j);
      EXPECT_EQ(s.fields.at("offset")[J], std::lround(100.0 * rec.GOFF[J]));
      EXPECT_EQ(s.fields.at("GroupX")[J], std::lround(100.0 * rec.GEOLOC[J]));
      EXPECT_EQ(s.fields.at("SourceGroupScalar")[J], -100);
      EXPECT_EQ(s.fields.at("SourceUpholeTime")[J], 1500);
      EXPECT_EQ(s.fields.at("DelayRecordingTime")[J], -5);
      EXPECT_EQ(s.fields.at("TRACE_SAMPLE_INTERVAL")[J], 125);
    }
  }
}

TEST(SegyOut, KeptHeadersAreWrittenBackAsRead) {
  SKIP_WITHOUT_SHARED_DATA();
  const auto src = testing_support::SharedData() / "segyio/small.sgy";
  ScriptedDialogs quiet;
  ShotRecord rec;
  int recno = 1;
  int error = 0;
  SEGYIN(rec, src.string(), recno, error, {});
  ASSERT_EQ(error, 0);
  ASSERT_TRUE(rec.LSEGYHDR);
  testing_support::TempDir dir;
  SegyOutOptions o;  // IBM, big-endian, EBCDIC: as the file was
  SEGYOUT(rec, (dir / "again.sgy").string(), o, error);
  ASSERT_EQ(error, 0);
  const std::string a = testing_support::ReadFile(src);
  const std::string b = testing_support::ReadFile(dir / "again.sgy");
  ASSERT_EQ(a.size(), b.size());
  // The text header goes through ASCII and back: characters the table lists
  // come back unchanged.
  std::string text = a.substr(0, 3200);
  sup::ECD2ASC(text, 3200);
  ASC2ECD(text, 3200);
  EXPECT_EQ(b.substr(0, 3200), text);
  EXPECT_EQ(b.substr(3200), a.substr(3200))
      << "binary header, trace headers and IBM samples as read";
}

// A record may count auxiliary traces it does not hold (the program's trace
// file keeps the data traces only): the file gets the traces held, and its
// binary header says how many auxiliary ones that is.
TEST(SegyOut, AuxiliaryTracesAreWrittenAsFarAsTheRecordHoldsThem) {
  testing_support::TempDir dir;
  ScriptedDialogs quiet;
  struct Case {
    const char* what;
    int heldAux;  // auxiliary columns left in TRACES
    bool keptHeaders;
    int wantAux;
  };
  for (const Case& c : {Case{"all held", 2, false, 2}, Case{"one held", 1, false, 1},
                        Case{"none held", 0, false, 0}, Case{"none held, kept headers", 0, true, 0}}) {
    SCOPED_TRACE(c.what);
    ShotRecord rec = MakeRecord(24, 2, 40);
    rec.TRACES.resize(static_cast<std::size_t>(24 + c.heldAux) * 40);
    if (c.keptHeaders) {
      rec.LSEGYHDR = true;
      rec.ISEGYBIN = BuildSegyBinaryHeader(rec, kSegyIeeeFloat, false);
      EXPECT_EQ(SegyGet(rec.ISEGYBIN, segy_bin::kAuxTraces), 2);
    }
    SegyOutOptions o;
    o.format = kSegyIeeeFloat;
    int error = 1;
    const auto path = dir / "aux.sgy";
    SEGYOUT(rec, path.string(), o, error);
    ASSERT_EQ(error, 0);
    const std::string bytes = testing_support::ReadFile(path);
    ASSERT_EQ(bytes.size(), 3600u + static_cast<std::size_t>(24 + c.heldAux) * (240u + 160u));
    EXPECT_EQ(sup::LoadU16(reinterpret_cast<const std::byte*>(bytes.data()) + 3214, sup::ByteOrder::Big),
              c.wantAux);
    EXPECT_EQ(sup::LoadU16(reinterpret_cast<const std::byte*>(bytes.data()) + 3212, sup::ByteOrder::Big),
              24);
    EXPECT_EQ(rec.NAUX, 2);  // the record is left as it was
  }
}

TEST(SegyOut, SeveralCallsMakeOneMultiRecordFile) {
  testing_support::TempDir dir;
  ScriptedDialogs quiet({2});
  const auto path = (dir / "multi.sgy").string();
  SegyOutOptions o;
  o.format = kSegyIeeeFloat;
  o.batch = true;
  int error = 1;
  SegyOutState out;
  for (int r = 1; r <= 3; ++r) {
    ShotRecord rec = MakeRecord(24, 0, 50);
    for (float& v : rec.TRACES) v += static_cast<float>(1000 * r);
    o.writeHeaders = r == 1;
    o.closeAtEnd = r == 3;
    SEGYOUT(rec, path, o, error, out);
    ASSERT_EQ(error, 0);
    EXPECT_EQ(out.Open(), r != 3);
  }
  ASSERT_EQ(testing_support::ReadFile(path).size(), 3600u + 3u * 24u * (240u + 200u));
  ShotRecord back;
  int count = 0;
  SegyInOptions co;
  co.countOnly = true;
  SEGYIN(back, path, count, error, co);
  EXPECT_EQ(count, 3);
  int recno = 1;
  SEGYIN(back, path, recno, error, {});
  ASSERT_EQ(error, 0);
  EXPECT_EQ(recno, 2);
  EXPECT_EQ(back.CRECNAME.Trimmed(), "multi-2");
  const ShotRecord second = MakeRecord(24, 0, 50);
  EXPECT_FLOAT_EQ(back.TRACES[7], second.TRACES[7] + 2000.0f);
}

TEST(SegyOut, EveryFailureSetsTheErrorFlag) {
  testing_support::TempDir dir;
  ScriptedDialogs quiet;
  const ShotRecord good = MakeRecord(3, 0, 10);
  const auto path = (dir / "x.sgy").string();
  struct Case {
    const char* what;
    float sampint;
    int nsamp;
    bool writeHeaders;
    std::string name;
    const char* message;
  };
  const Case cases[] = {
      {"interval too small", 0.0005f, 10, true, path,
       "Sample rate must be between 1 and 32,767 microseconds to fit 2-byte integer"},
      {"interval too large", 40.0f, 10, true, path,
       "Sample rate must be between 1 and 32,767 microseconds to fit 2-byte integer"},
      {"too many samples", 1.0f, 32768, true, path,
       "Number of samples must be less than 32,767 to fit 2-byte integer"},
      {"append without a file", 1.0f, 10, false, path,
       "SEGYOUT - NO SEGY OUTPUT FILE IS OPEN TO APPEND TO"},
      {"folder missing", 1.0f, 10, true, (dir / "none/x.sgy").string(),
       "SEGYOUT - ERROR OPENING SEGY OUTPUT FILE"},
      {"samples missing", 1.0f, 20, true, path, "SEGYOUT - ERROR WRITING TRACE"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ShotRecord rec = good;
    rec.SAMPINT = c.sampint;
    rec.NSAMP = c.nsamp;
    SegyOutOptions o;
    o.writeHeaders = c.writeHeaders;
    int error = 0;
    SegyOutState out;
    SEGYOUT(rec, c.name, o, error, out);
    EXPECT_EQ(error, -1);
    EXPECT_EQ(sup::LastUserMessage().text, c.message);
    EXPECT_EQ(rec.NTRACE, 3);
    EXPECT_FALSE(out.Open());
  }
  ShotRecord edge = good;
  edge.SAMPINT = 32.767f;
  int error = 1;
  SEGYOUT(edge, path, {}, error);
  EXPECT_EQ(error, 0) << "32.767 ms is accepted";

  if (geteuid() != 0) {
    ASSERT_EQ(chmod(path.c_str(), 0444), 0);
    const std::string before = testing_support::ReadFile(path);
    SEGYOUT(good, path, {}, error);
    EXPECT_EQ(error, -1);
    EXPECT_EQ(sup::LastUserMessage().text,
              "File \"" + path + "\" is Read-Only. Please change file attributes");
    EXPECT_EQ(testing_support::ReadFile(path), before);
  }
}

// IBM floats in a little-endian file would read back as IEEE floats, so the
// writer refuses them in every mode, writing nothing and keeping an open
// multi-record file open for the calls that follow.
TEST(SegyOut, LittleEndianIbmIsRefused) {
  testing_support::TempDir dir;
  ScriptedDialogs quiet;
  const ShotRecord rec = MakeRecord(3, 0, 10);
  struct Case {
    const char* what;
    bool batch;
    bool writeHeaders;
    bool closeAtEnd;
  };
  for (const Case c : {Case{"export", false, true, true}, Case{"batch", true, true, true},
                       Case{"append to a combined file", true, false, false}}) {
    SCOPED_TRACE(c.what);
    const auto path = dir / (std::string(c.what) + ".sgy");
    SegyOutState out;
    int error = 0;
    SegyOutOptions first;
    first.format = kSegyIeeeFloat;
    first.batch = true;
    first.closeAtEnd = false;
    if (!c.writeHeaders) {
      SEGYOUT(rec, path.string(), first, error, out);
      ASSERT_EQ(error, 0);
    }
    const bool existed = std::filesystem::exists(path);
    const std::string before = existed ? testing_support::ReadFile(path) : std::string();
    SegyOutOptions o;
    o.format = kSegyIbmFloat;
    o.bigEndian = false;
    o.batch = c.batch;
    o.writeHeaders = c.writeHeaders;
    o.closeAtEnd = c.closeAtEnd;
    error = 0;
    SEGYOUT(rec, path.string(), o, error, out);
    EXPECT_EQ(error, -1);
    EXPECT_EQ(sup::LastUserMessage().text, "32-bit IBM Float must be Big Endian!");
    EXPECT_EQ(std::filesystem::exists(path), existed);
    EXPECT_EQ(out.Open(), !c.writeHeaders);
    if (existed) {
      first.writeHeaders = false;
      first.closeAtEnd = true;
      SEGYOUT(rec, path.string(), first, error, out);
      EXPECT_EQ(error, 0);
      EXPECT_EQ(testing_support::ReadFile(path).size(), before.size() + 3 * (240 + 40));
    }
  }
}

TEST(SegyOut, AbortEndsWritingAndReading) {
  testing_support::TempDir dir;
  ScriptedDialogs quiet;
  const ShotRecord rec = MakeRecord(101, 0, 10);
  const auto path = (dir / "a.sgy").string();
  int error = 1;
  SEGYOUT(rec, path, {}, error);
  ASSERT_EQ(error, 0);
  EXPECT_FALSE(sup::CurrentProgress().open);

  int polls = 0;
  sup::SetAbortPollHook([&polls] { return ++polls == 5; });
  ShotRecord back;
  back.NTRACE = 9;
  int recno = 1;
  SEGYIN(back, path, recno, error, {});
  EXPECT_EQ(error, -1);
  EXPECT_EQ(sup::LastUserMessage().text, "INPUT TERMINATED BY USER");
  EXPECT_EQ(back.NTRACE, 9);
  EXPECT_FALSE(sup::CurrentProgress().open);

  polls = 0;
  SegyOutState out;
  SEGYOUT(rec, (dir / "b.sgy").string(), {}, error, out);
  EXPECT_EQ(error, -1);
  EXPECT_EQ(sup::LastUserMessage().text, "OUTPUT TERMINATED BY USER");
  EXPECT_FALSE(out.Open());
  sup::SetAbortPollHook({});
  sup::LKILL(1);
}

TEST(SegyOut, UpholeBeyondItsFieldIsClampedWithAWarning) {
  testing_support::TempDir dir;
  ScriptedDialogs quiet;
  ShotRecord rec = MakeRecord(2, 0, 10);
  rec.TUPHOLE = 40.0f;
  int error = 1;
  SEGYOUT(rec, (dir / "u.sgy").string(), {}, error);
  EXPECT_EQ(error, 0);
  EXPECT_EQ(sup::LastUserMessage().kind, sup::UserMessageKind::Warning);
  ShotRecord back;
  int recno = 1;
  SEGYIN(back, (dir / "u.sgy").string(), recno, error, {});
  EXPECT_FLOAT_EQ(back.TUPHOLE, 32.767f);
}

}  // namespace

namespace {

// SEG-Y holds the interval in whole microseconds: one warning says which
// value went into the file, once for the calls that share a state (a whole
// export, a combined file, a conversion of many files).
TEST(SegyOut, AnIntervalSegyCannotHoldIsToldOnce) {
  testing_support::TempDir dir;
  ScriptedDialogs quiet;
  SegyOutOptions o;
  o.format = kSegyIeeeFloat;
  o.batch = true;
  int error = 1;
  ShotRecord rec = MakeRecord(4, 0, 20);
  rec.SAMPINT = 0.0625f;
  SEGYOUT(rec, (dir / "a.sgy").string(), o, error);
  ASSERT_EQ(error, 0);
  EXPECT_EQ(sup::UserMessageCount(), 1);
  EXPECT_EQ(sup::LastUserMessage().kind, sup::UserMessageKind::Warning);
  EXPECT_EQ(sup::LastUserMessage().text,
            "SEG-Y holds the sample interval in whole microseconds: 62.5 microseconds is "
            "written as 63");
  const std::string bytes = testing_support::ReadFile(dir / "a.sgy");
  ASSERT_GT(bytes.size(), 3218u);
  EXPECT_EQ(sup::LoadU16(reinterpret_cast<const std::byte*>(bytes.data()) + 3216,
                         sup::ByteOrder::Big),
            63u);

  // A second export is told again; the files of one state only once.
  sup::ClearUserMessages();
  SegyOutState shared;
  for (int f = 0; f < 3; ++f) {
    SEGYOUT(rec, (dir / ("c" + std::to_string(f) + ".sgy")).string(), o, error, shared);
    ASSERT_EQ(error, 0);
  }
  EXPECT_EQ(sup::UserMessageCount(), 1);

  // An interval held exactly says nothing.
  sup::ClearUserMessages();
  rec.SAMPINT = 0.125f;
  SEGYOUT(rec, (dir / "b.sgy").string(), o, error);
  ASSERT_EQ(error, 0);
  EXPECT_EQ(sup::UserMessageCount(), 0);
}

}  // namespace

namespace {

// Integer samples are scaled from each trace's own largest magnitude, never
// from a TRACEMAX an edit left behind (which would wrap 16-bit samples).
TEST(SegyOut, IntegerSamplesScaleFromTheTracesOwnMaximum) {
  testing_support::TempDir dir;
  ScriptedDialogs quiet;
  ShotRecord rec = MakeRecord(1, 0, 4);
  rec.TRACES = {5.0f, -2.5f, 1.0f, 0.0f};
  rec.TRACEMAX[0] = 1.0f;
  SegyOutOptions o;
  o.format = kSegyInt16;
  o.batch = true;
  int error = 1;
  SEGYOUT(rec, (dir / "i.sgy").string(), o, error);
  ASSERT_EQ(error, 0);
  const std::string bytes = testing_support::ReadFile(dir / "i.sgy");
  ASSERT_GE(bytes.size(), 3600u + 240u + 8u);
  const auto* at = reinterpret_cast<const std::byte*>(bytes.data()) + 3840;
  EXPECT_EQ(static_cast<std::int16_t>(sup::LoadU16(at, sup::ByteOrder::Big)), 32000);
  EXPECT_EQ(static_cast<std::int16_t>(sup::LoadU16(at + 2, sup::ByteOrder::Big)), -16000);
}

}  // namespace
