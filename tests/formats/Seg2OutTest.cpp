// SEG-2 files written by SEG2OUT: layout, descriptor strings, samples, and
// the files read back by SEG2IN.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <map>
#include <sstream>

#include <sys/resource.h>

#include "formats/Seg2In.h"
#include "formats/Seg2Out.h"
#include "support/ByteOrder.h"
#include "support/Progress.h"
#include "support/UserMessages.h"
#include "tests/TestSupport.h"
#include "tests/formats/SegyTestSupport.h"

namespace {

using namespace vel;

ShotRecord MakeRecord(int n, int ns = 20) {
  ShotRecord rec;
  rec.NTRACE = n;
  rec.NSAMP = ns;
  EXPECT_TRUE(RebuildTraceArrays(rec));
  rec.SAMPINT = 0.25f;
  for (int j = 1; j <= n; ++j) {
    const auto J = static_cast<std::size_t>(j - 1);
    rec.ICHANNEL[J] = j;
    rec.GEOLOC[J] = 0.25f * static_cast<float>(j);
    float peak = 0.0f;
    for (int k = 0; k < ns; ++k) {
      const float v = static_cast<float>(j) * 3.7f * std::cos(0.7f * static_cast<float>(k * j));
      rec.TRACES[J * static_cast<std::size_t>(ns) + static_cast<std::size_t>(k)] = v;
      peak = std::max(peak, std::fabs(v));
    }
    rec.TRACEMAX[J] = peak;
  }
  return rec;
}

ShotRecord& Lvalue(ShotRecord&& r) {
  return r;
}

struct TraceBlock {
  std::size_t at = 0;
  std::uint16_t blockBytes = 0;
  std::uint32_t samples = 0;
  int code = 0;
  std::vector<std::string> strings;
};

// Walks the written file the way the layout describes it.
struct Parsed {
  std::string bytes;
  sup::ByteOrder order = sup::ByteOrder::Little;
  std::vector<std::string> fileStrings;
  std::vector<TraceBlock> traces;

  std::uint16_t U16(std::size_t at) const {
    return sup::LoadU16(reinterpret_cast<const std::byte*>(bytes.data()) + at, order);
  }
  std::uint32_t U32(std::size_t at) const {
    return sup::LoadU32(reinterpret_cast<const std::byte*>(bytes.data()) + at, order);
  }
  std::vector<std::string> Strings(std::size_t& at) const {
    std::vector<std::string> out;
    for (;;) {
      const std::uint16_t count = U16(at);
      if (count == 0) break;
      EXPECT_EQ(bytes[at + count - 1], '\x11');
      out.push_back(bytes.substr(at + 2, count - 3u));
      at += count;
    }
    return out;
  }
  std::string Find(const std::vector<std::string>& list, const std::string& key) const {
    for (const auto& s : list) {
      if (s.rfind(key + " ", 0) == 0) return s;
    }
    return {};
  }
};

Parsed Parse(const std::filesystem::path& p, bool big) {
  Parsed r;
  r.bytes = testing_support::ReadFile(p);
  r.order = big ? sup::ByteOrder::Big : sup::ByteOrder::Little;
  const std::size_t n = r.U16(6);
  std::size_t at = 32 + r.U16(4);
  r.fileStrings = r.Strings(at);
  for (std::size_t j = 0; j < n; ++j) {
    TraceBlock t;
    t.at = r.U32(32 + 4 * j);
    EXPECT_EQ(r.U16(t.at), 0x4422);
    t.blockBytes = r.U16(t.at + 2);
    t.samples = r.U32(t.at + 8);
    t.code = static_cast<unsigned char>(r.bytes[t.at + 12]);
    std::size_t s = t.at + 32;
    t.strings = r.Strings(s);
    r.traces.push_back(t);
  }
  return r;
}

TEST(Seg2Out, LayoutOfALittleEndianSixteenBitFile) {
  testing_support::TempDir dir;
  segy_test::ScriptedDialogs quiet;
  ShotRecord rec = MakeRecord(5);
  rec.ICHANNEL[4] = 0;
  const auto p = dir / "a.sg2";
  int error = 1;
  SEG2OUT(rec, p.string(), false, 3, false, 0, error);
  ASSERT_EQ(error, 0);
  const Parsed f = Parse(p, false);
  const unsigned char head[] = {0x55, 0x3A, 0x01, 0x00, 0x14, 0x00, 0x05,
                                0x00, 0x01, 0x11, 0x00, 0x02, 0x0D, 0x0A};
  ASSERT_GE(f.bytes.size(), sizeof head);
  EXPECT_EQ(std::memcmp(f.bytes.data(), head, sizeof head), 0);
  EXPECT_EQ(f.Find(f.fileStrings, "TRACE_SORT"), "TRACE_SORT AS_ACQUIRED");
  ASSERT_EQ(f.traces.size(), 5u);
  for (std::size_t j = 0; j < 5; ++j) {
    const TraceBlock& t = f.traces[j];
    EXPECT_EQ(t.at % 4, 0u);
    EXPECT_EQ((t.at + t.blockBytes) % 4, 0u);
    EXPECT_EQ(t.samples, 20u);
    EXPECT_EQ(t.code, 1);
    const std::string si = f.Find(t.strings, "SAMPLE_INTERVAL");
    EXPECT_EQ(si.substr(16, 10), " 0.0002500");
    // Samples: the trace peak becomes 32000.
    std::int16_t peak = 0;
    for (std::size_t k = 0; k < 20; ++k) {
      peak = std::max<std::int16_t>(
          peak, static_cast<std::int16_t>(
                    std::abs(static_cast<std::int16_t>(f.U16(t.at + t.blockBytes + 2 * k)))));
    }
    EXPECT_EQ(peak, 32000);
  }
  EXPECT_EQ(f.Find(f.traces[4].strings, "CHANNEL_NUMBER"), "CHANNEL_NUMBER      5");
  EXPECT_EQ(f.Find(f.traces[0].strings, "DELAY"), "DELAY  0.0000000");
  EXPECT_EQ(f.Find(f.traces[0].strings, "RECEIVER_LOCATION"),
            "RECEIVER_LOCATION       0.25    0.00000        0.0")
      << "a quarter-metre position keeps its digits";
  EXPECT_EQ(f.Find(f.traces[0].strings, "TRACE_TYPE"), "TRACE_TYPE SEISMIC_DATA");
}

TEST(Seg2Out, BigEndianDelayRemovalAndExactValues) {
  testing_support::TempDir dir;
  segy_test::ScriptedDialogs quiet;
  ShotRecord rec = MakeRecord(3);
  rec.TDELAY = 0.5f;  // two samples
  rec.DESCALE[0] = 2.17378e-05f;
  rec.IBPICK[1] = -1;
  const auto p = dir / "b.sg2";
  int error = 1;
  SEG2OUT(rec, p.string(), true, 1, false, 1, error);
  ASSERT_EQ(error, 0);
  const Parsed f = Parse(p, true);
  EXPECT_EQ(static_cast<unsigned char>(f.bytes[0]), 0x3A);
  EXPECT_EQ(static_cast<unsigned char>(f.bytes[1]), 0x55);
  EXPECT_EQ(static_cast<unsigned char>(f.bytes[2]), 0x00);
  EXPECT_EQ(static_cast<unsigned char>(f.bytes[3]), 0x01);
  ASSERT_EQ(f.traces.size(), 3u);
  EXPECT_EQ(static_cast<unsigned char>(f.bytes[f.traces[0].at]), 0x44);
  EXPECT_EQ(f.traces[0].code, 4);
  EXPECT_EQ(f.Find(f.traces[0].strings, "DELAY").substr(6, 10), "   0.00000");
  const std::string d = f.Find(f.traces[0].strings, "DESCALING_FACTOR");
  EXPECT_EQ(std::strtof(d.substr(17).c_str(), nullptr), 2.17378e-05f) << d;
  EXPECT_LE(d.size() - 17, 20u);
  EXPECT_EQ(f.Find(f.traces[1].strings, "TRACE_TYPE"), "TRACE_TYPE SEISMIC_DATA")
      << "a trace without a pick is data like any other";
  for (std::size_t j = 0; j < 3; ++j) {
    const std::size_t data = f.traces[j].at + f.traces[j].blockBytes;
    EXPECT_EQ(f.U32(data), 0u);
    EXPECT_EQ(f.U32(data + 4), 0u);
    EXPECT_EQ(std::bit_cast<float>(f.U32(data + 8)), rec.TRACES[j * 20])
        << "shifted by two samples";
  }
  EXPECT_FLOAT_EQ(rec.TRACES[0], MakeRecord(3).TRACES[0]) << "the record's samples are not changed";
}

TEST(Seg2Out, FailuresAndProgress) {
  testing_support::TempDir dir;
  segy_test::ScriptedDialogs quiet;
  int error = 0;
  ShotRecord big = MakeRecord(1, 2);
  big.NTRACE = 16384;
  SEG2OUT(big, (dir / "x.sg2").string(), false, 1, false, 0, error);
  EXPECT_EQ(error, -1);
  EXPECT_FALSE(std::filesystem::exists(dir / "x.sg2"));
  SEG2OUT(Lvalue(MakeRecord(2)), (dir / "none/x.sg2").string(), false, 1, false, 0, error);
  EXPECT_EQ(error, -1);
  EXPECT_EQ(sup::LastUserMessage().text.rfind("SEG2OUT - ERROR OPENING SEG2 OUTPUT FILE: ", 0), 0u);
  ShotRecord huge = MakeRecord(2);
  huge.STATTOT[0] = 5000.0f;  // does not fit F10.7
  SEG2OUT(huge, (dir / "y.sg2").string(), false, 1, false, 0, error);
  EXPECT_EQ(error, -1);
  EXPECT_EQ(sup::LastUserMessage().text, "SEG2OUT - ERROR FORMATTING NUMBER");

  int opened = 0;
  sup::SetProgressHook({[&opened](std::string_view) { ++opened; }, {}, {}});
  SEG2OUT(Lvalue(MakeRecord(100, 4)), (dir / "p.sg2").string(), false, 1, false, 0, error);
  EXPECT_EQ(opened, 0);
  SEG2OUT(Lvalue(MakeRecord(101, 4)), (dir / "p.sg2").string(), false, 1, false, 0, error);
  EXPECT_EQ(opened, 1);
  SEG2OUT(Lvalue(MakeRecord(101, 4)), (dir / "p.sg2").string(), false, 1, true, 0, error);
  EXPECT_EQ(opened, 1) << "batch: the caller's dialog";
  sup::SetAbortPollHook([] { return true; });
  SEG2OUT(Lvalue(MakeRecord(3, 4)), (dir / "p.sg2").string(), false, 1, false, 0, error);
  EXPECT_EQ(error, -1);
  EXPECT_EQ(sup::LastUserMessage().text, "OUTPUT TERMINATED BY USER");
  sup::SetAbortPollHook({});
  sup::LKILL(1);
  sup::SetProgressHook({});
}

TEST(Seg2Out, ReadBackBySeg2In) {
  testing_support::TempDir dir;
  segy_test::ScriptedDialogs quiet;
  const ShotRecord rec = MakeRecord(6);
  // Both byte orders: a big-endian file has every binary field MSB first.
  // Floats come back exactly, integers as the per-trace scaled values.
  for (const bool big : {false, true})
    for (const int format : {1, 2, 3}) {
      SCOPED_TRACE(testing::Message() << "format " << format << (big ? " big" : " little"));
      const auto p = dir / "r.sg2";
      int error = 1;
      ShotRecord out = rec;
      SEG2OUT(out, p.string(), big, format, false, 0, error);
      ASSERT_EQ(error, 0);
      ShotRecord back;
      SEG2IN(back, p.string(), error, false);
      ASSERT_EQ(error, 0) << sup::LastUserMessage().text;
      ASSERT_EQ(back.NTRACE, 6);
      ASSERT_EQ(back.NSAMP, 20);
      EXPECT_FLOAT_EQ(back.SAMPINT, 0.25f);
      for (std::size_t j = 0; j < 6; ++j) {
        EXPECT_EQ(back.GEOLOC[j], rec.GEOLOC[j]);
        const double full = format == 2 ? 2000000.0 : 32000.0;
        for (std::size_t k = 0; k < 20; ++k) {
          const float v = rec.TRACES[j * 20 + k];
          const float expected =
              format == 1 ? v : static_cast<float>(std::round(v * (full / rec.TRACEMAX[j])));
          EXPECT_EQ(back.TRACES[j * 20 + k], expected);
        }
      }
    }
}

// A SEG-2 decoder of our own, apart from the program's reader: the file and
// trace descriptor strings and the samples of every trace, as text.
constexpr const char* kDecoder = R"(import struct, sys
b = open(sys.argv[1], 'rb').read()
e = '<' if b[0:2] == b'\x55\x3a' else '>'
rev, m, n = struct.unpack(e + 'HHH', b[2:8])
ptrs = struct.unpack(e + '%dI' % n, b[32:32 + 4 * n])
def strings(at):
    out = []
    while True:
        c = struct.unpack(e + 'H', b[at:at + 2])[0]
        if c == 0:
            return out
        out.append(b[at + 2:at + c].split(b'\x00')[0].split(b'\x11')[0].decode('ascii'))
        at += c
o = open(sys.argv[2], 'w')
for s in strings(32 + m):
    o.write('F ' + s + '\n')
for p in ptrs:
    ident, size, nbytes, ns, code = struct.unpack(e + 'HHIIB', b[p:p + 13])
    assert ident == 0x4422 and p % 4 == 0
    for s in strings(p + 32):
        o.write('T ' + s + '\n')
    fmt = {1: 'h', 2: 'i', 4: 'f'}[code]
    vals = struct.unpack(e + '%d%s' % (ns, fmt), b[p + size:p + size + nbytes])
    o.write('S ' + ' '.join(repr(float(v)) for v in vals) + '\n')
)";

struct Decoded {
  bool ok = false;
  std::vector<std::string> fileStrings;
  std::vector<std::string> traceStrings;
  std::vector<std::string> samples;  // one line per trace
};

Decoded DecodeIndependently(const std::filesystem::path& file) {
  testing_support::TempDir dir;
  testing_support::WriteFile(dir / "seg2.py", kDecoder);
  const std::string cmd = "/usr/bin/python3 " + (dir / "seg2.py").string() + " '" +
                          file.string() + "' " + (dir / "out.txt").string() + " 2>/dev/null";
  Decoded d;
  if (std::system(cmd.c_str()) != 0) return d;
  std::istringstream in(testing_support::ReadFile(dir / "out.txt"));
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("F ", 0) == 0) d.fileStrings.push_back(line.substr(2));
    if (line.rfind("T ", 0) == 0) d.traceStrings.push_back(line.substr(2));
    if (line.rfind("S ", 0) == 0) d.samples.push_back(line.substr(2));
  }
  d.ok = true;
  return d;
}

// 102.dat (UNITS METER in its file, held as "METE") exported with the picks
// the box picker leaves where it finds no break (-1) and Kill Trace's 0:
// every trace goes out as seismic data, the units as the standard's word,
// and the samples as they came in.
TEST(Seg2Out, ExportOf102KeepsEveryTraceAndTheUnitsWord) {
  SKIP_WITHOUT_SHARED_DATA();
  const auto input = testing_support::SharedData() / "graphSEG2/102.dat";
  if (!std::filesystem::exists(input)) GTEST_SKIP() << input << " absent";
  if (std::system("/usr/bin/python3 -c 'import struct' >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "python3 absent";
  testing_support::TempDir dir;
  segy_test::ScriptedDialogs quiet;
  ShotRecord rec;
  int error = 1;
  SEG2IN(rec, input.string(), error, false);
  ASSERT_EQ(error, 0);
  ASSERT_EQ(rec.NTRACE, 24);
  for (std::size_t j = 0; j < 24; ++j) rec.IBPICK[j] = j % 3 == 0 ? -1 : j % 3 == 1 ? 0 : 200;
  const auto out = dir / "102.sg2";
  SEG2OUT(rec, out.string(), false, 1, false, 0, error);
  ASSERT_EQ(error, 0);

  const Decoded d = DecodeIndependently(out);
  ASSERT_TRUE(d.ok);
  EXPECT_NE(std::find(d.fileStrings.begin(), d.fileStrings.end(), "UNITS METERS"),
            d.fileStrings.end());
  int types = 0;
  for (const std::string& s : d.traceStrings) {
    if (s.rfind("TRACE_TYPE", 0) != 0) continue;
    ++types;
    EXPECT_EQ(s, "TRACE_TYPE SEISMIC_DATA");
  }
  EXPECT_EQ(types, 24);
  const Decoded original = DecodeIndependently(input);
  ASSERT_TRUE(original.ok);
  EXPECT_EQ(d.samples, original.samples) << "32-bit floats go out as read";
}

// The units the record holds in 4 characters, as they go out.
TEST(Seg2Out, UnitsGoOutAsTheStandardsWords) {
  testing_support::TempDir dir;
  segy_test::ScriptedDialogs quiet;
  const struct {
    const char* held;
    const char* written;  // "" none
  } cases[] = {{"METE", "UNITS METERS"}, {"mete", "UNITS METERS"}, {"FEET", "UNITS FEET"},
               {"INCH", "UNITS INCHES"}, {"CENT", "UNITS CENTIMETERS"}, {"NONE", "UNITS NONE"},
               {"KM", "UNITS KM"},       {"    ", ""}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.held);
    ShotRecord rec = MakeRecord(2);
    rec.CUNITS = c.held;
    const auto p = dir / "u.sg2";
    int error = 1;
    SEG2OUT(rec, p.string(), false, 1, false, 0, error);
    ASSERT_EQ(error, 0);
    const Parsed f = Parse(p, false);
    EXPECT_EQ(f.Find(f.fileStrings, "UNITS"), c.written);
    EXPECT_EQ(rec.CUNITS.View(), sup::FixedString<4>(c.held).View()) << "the record keeps its own";
  }
}

// A record the writer cannot find memory for is refused with its message
// and the program goes on.
TEST(Seg2Out, NoMemoryForTheWorkBuffersIsReported) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the address sanitizer reserves more than the limit";
#else
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
  GTEST_SKIP() << "the address sanitizer reserves more than the limit";
#endif
#endif
  testing_support::TempDir dir;
  segy_test::ScriptedDialogs quiet;
  ShotRecord rec = MakeRecord(2);
  rec.NSAMP = 1 << 30;  // 4 GiB of floats for one trace's work buffer
  rlimit old{};
  ASSERT_EQ(getrlimit(RLIMIT_AS, &old), 0);
  rlimit low = old;
  low.rlim_cur = std::min<rlim_t>(old.rlim_max, rlim_t{2} << 30);
  ASSERT_EQ(setrlimit(RLIMIT_AS, &low), 0);
  int error = 0;
  SEG2OUT(rec, (dir / "m.sg2").string(), false, 1, false, 0, error);
  setrlimit(RLIMIT_AS, &old);
  EXPECT_EQ(error, -1);
  EXPECT_EQ(sup::LastUserMessage().text, "CANNOT ALLOCATE CREC IN SEG2OUT");
#endif
}

}  // namespace

namespace {

// Integer samples are scaled from each trace's own largest magnitude: a
// TRACEMAX left behind by an edit (here 1.0 for samples up to 5.0) would
// scale them beyond 16 bits and wrap them into noise of the other sign.
TEST(Seg2Out, IntegerSamplesScaleFromTheTracesOwnMaximum) {
  testing_support::TempDir dir;
  segy_test::ScriptedDialogs quiet;
  ShotRecord rec = MakeRecord(1, 4);
  rec.TRACES = {5.0f, -2.5f, 1.0f, 0.0f};
  rec.TRACEMAX[0] = 1.0f;
  for (const int format : {2, 3}) {
    SCOPED_TRACE(format);
    const auto p = dir / "i.sg2";
    int error = 1;
    SEG2OUT(rec, p.string(), false, format, false, 0, error);
    ASSERT_EQ(error, 0);
    const Parsed f = Parse(p, false);
    ASSERT_EQ(f.traces.size(), 1u);
    const std::size_t data = f.traces[0].at + f.traces[0].blockBytes;
    if (format == 3) {
      EXPECT_EQ(static_cast<std::int16_t>(f.U16(data)), 32000);
      EXPECT_EQ(static_cast<std::int16_t>(f.U16(data + 2)), -16000);
      EXPECT_EQ(static_cast<std::int16_t>(f.U16(data + 4)), 6400);
    } else {
      EXPECT_EQ(static_cast<std::int32_t>(f.U32(data)), 2000000);
      EXPECT_EQ(static_cast<std::int32_t>(f.U32(data + 4)), -1000000);
    }
  }
}

}  // namespace
