// The program's trace file: round trips, sizes, hostile and truncated files,
// what a failed read leaves, and how a save replaces the file.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "formats/TraceFile.h"
#include "support/ByteOrder.h"
#include "support/UserMessages.h"
#include "tests/TestSupport.h"

namespace {

using namespace vel;
namespace fs = std::filesystem;

// Records every message box the code under test shows.
class TraceFileTest : public ::testing::Test {
 protected:
  TraceFileTest() {
    sup::SetUserMessageHook(
        [this](sup::UserMessageKind kind, std::string_view, std::string_view text) {
          shown_.push_back({kind, std::string(text)});
        });
  }
  ~TraceFileTest() override { sup::SetUserMessageHook({}); }

  std::vector<TrxNotice> shown_;
  testing_support::TempDir dir_;
};

sup::GraphAxes SomeAxes(float shift = 0.0f) {
  sup::GraphAxes a;
  a.XORIGIN = 1.0f + shift;
  a.YORIGIN = 7.5f;
  a.XCELL = 1.5f;
  a.YCELL = -0.75f;
  a.XSTART = 0.5f;
  a.YSTART = -2.0f;
  a.XSTEP = 2.0f;
  a.YSTEP = 10.0f;
  a.XOFFSET = 0.25f;
  a.YOFFSET = 7.0f;
  a.XSCALE = 0.75f;
  a.YSCALE = -0.075f;
  a.TICKCAP = 0.1f;
  a.XCLIPMIN = -0.1f;
  a.XCLIPMAX = 8.0f;
  a.YCLIPMIN = -6.0f;
  a.YCLIPMAX = 0.1f;
  a.NXDIV = 5;
  a.NYDIV = 8;
  a.NXMINOR = 2;
  a.NYMINOR = 5;
  a.IMARKER = 3;
  a.ISPARE1 = 17;
  a.LXLOG = false;
  a.LTICKCAP = true;
  a.LBOTTOM = true;
  a.LLEFT = true;
  a.LTOP = true;  // the one word the file does not keep
  return a;
}

TraceDisplayOptions SomeOptions() {
  TraceDisplayOptions o;
  o.TRACECLIP = 3.5f;
  o.TRACEWIDTH = 1.25f;
  o.AGCFRAC = 0.45f;
  o.IGAINMETHOD = 3;
  o.ITIMELINES = 1;
  o.LVERTICAL = false;
  o.LVARAREA = false;
  o.LPLOTPICKS = true;
  o.LGEOPOS = true;
  o.PIXELSIZE = 0.5f;
  o.IFIRSTTRACE = 4;  // the last four fields are not kept
  o.ILASTTRACE = 9;
  o.LUSERMAX = true;
  o.USERMAX = 77.0f;
  return o;
}

// A record with every stored field set from a seeded generator.
ShotRecord RandomRecord(std::mt19937& rng, int ntr, int ns) {
  std::uniform_real_distribution<float> u(-1000.0f, 1000.0f);
  std::uniform_int_distribution<int> i16(-32768, 32767);
  ShotRecord rec;
  rec.NTRACE = ntr;
  rec.NSAMP = ns;
  EXPECT_TRUE(RebuildTraceArrays(rec, SegyTraceHeaders::Allocate));
  rec.CRECNAME = "shot12";
  rec.SAMPINT = 0.25f;
  rec.SPAREHDR = 3.0f;
  rec.TDELAY = -10.0f;
  rec.TUPHOLE = 1.5f;
  rec.SHOTX = 12.5f;
  rec.SHOTDEPTH = 2.0f;
  rec.SHOTELEV = 101.0f;
  rec.SPACING = 2.5f;
  rec.GMIN = -900.0f;
  rec.GMAX = 950.0f;
  rec.ISHOT = 1234;
  rec.CUNITS = "FEET";
  rec.LPICKS = true;
  rec.SHOTY = -44.0f;
  rec.LRADAR = true;
  rec.IFORMAT = 9;
  rec.T0NMO = 12.0f;
  rec.VNMO = 1800.0f;
  rec.NAUX = ntr > 0 ? 1 : 0;
  rec.T0REF = 3.0f;
  rec.VREF = 3500.0f;
  rec.LSEGYHDR = true;
  for (float& v : rec.TRACES) v = u(rng);
  for (auto* a : {&rec.GEOLOC, &rec.GEOLOCY, &rec.SHOTLOCX, &rec.SHOTLOCY, &rec.GEOELE, &rec.GOFF,
                  &rec.TRACEMAX, &rec.FALIAS, &rec.STATTOT})
    for (float& v : *a) v = u(rng);
  for (std::size_t j = 0; j < rec.IBPICK.size(); ++j)
    rec.IBPICK[j] = static_cast<std::int32_t>(j % 3 == 0 || ns == 0 ? 0 : 1 + (j * 7) % ns);
  for (auto* a : {&rec.IHICUT, &rec.ILOCUT, &rec.INOTCH, &rec.IYEAR, &rec.IDAY, &rec.IHOUR,
                  &rec.IMINUTE, &rec.ISECOND, &rec.ITBASE})
    for (auto& v : *a) v = static_cast<std::int16_t>(i16(rng));
  for (std::size_t j = 0; j < rec.IVSTACK.size(); ++j) {
    rec.IVSTACK[j] = static_cast<std::int32_t>(j + 2);
    rec.IFXGAIN[j] = static_cast<std::int32_t>(24 - j);
    rec.ICDP[j] = 5;  // not kept
  }
  for (auto& t : rec.CSRCTEXT) t = "not kept";
  return rec;
}

std::vector<std::byte> Encode(const ShotRecord& rec, const sup::GraphAxes& axes = SomeAxes(),
                              const TraceDisplayOptions& opts = SomeOptions()) {
  std::vector<std::byte> bytes;
  EXPECT_TRUE(EncodeTraceFile(rec, axes, opts, bytes));
  return bytes;
}

void Save(const fs::path& p, const std::vector<std::byte>& bytes) {
  testing_support::WriteFile(
      p, std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

// Reads P as the GRM export does (Reload).
int Reload(const fs::path& p, ShotRecord& rec, sup::GraphAxes& axes, TraceDisplayOptions& opts) {
  std::string name = p.string();
  name.resize(256, ' ');
  int ierr = 99;
  BIOVELLN(rec, axes, opts, "RELOAD    ", name, ierr);
  return ierr;
}

void ExpectSameStoredContent(const ShotRecord& a, const ShotRecord& b) {
  std::array<std::byte, kMainHeaderBytes> ha{}, hb{};
  ASSERT_TRUE(WriteMainHeader(a, ha));
  ASSERT_TRUE(WriteMainHeader(b, hb));
  EXPECT_EQ(ha, hb);
  EXPECT_EQ(a.TRACES, b.TRACES);
  EXPECT_EQ(a.GEOLOC, b.GEOLOC);
  EXPECT_EQ(a.GEOLOCY, b.GEOLOCY);
  EXPECT_EQ(a.SHOTLOCX, b.SHOTLOCX);
  EXPECT_EQ(a.SHOTLOCY, b.SHOTLOCY);
  EXPECT_EQ(a.GEOELE, b.GEOELE);
  EXPECT_EQ(a.GOFF, b.GOFF);
  EXPECT_EQ(a.TRACEMAX, b.TRACEMAX);
  EXPECT_EQ(a.IBPICK, b.IBPICK);
  for (auto m : {&ShotRecord::IHICUT, &ShotRecord::ILOCUT, &ShotRecord::INOTCH, &ShotRecord::IYEAR,
                 &ShotRecord::IDAY, &ShotRecord::IHOUR, &ShotRecord::IMINUTE, &ShotRecord::ISECOND,
                 &ShotRecord::ITBASE})
    EXPECT_EQ(a.*m, b.*m);
  EXPECT_EQ(a.IVSTACK, b.IVSTACK);
  EXPECT_EQ(a.IFXGAIN, b.IFXGAIN);
}

TEST_F(TraceFileTest, RoundTripKeepsHeaderArraysSamplesOptionsAndAxes) {
  std::mt19937 rng(16);
  struct Shape {
    int ntr, ns;
  };
  for (const Shape s : {Shape{0, 0}, Shape{1, 1}, Shape{3, 7}, Shape{48, 1000}, Shape{5, 0}}) {
    SCOPED_TRACE(std::to_string(s.ntr) + "x" + std::to_string(s.ns));
    const ShotRecord rec = RandomRecord(rng, s.ntr, s.ns);
    const std::vector<std::byte> bytes = Encode(rec);
    EXPECT_EQ(bytes.size(), TraceFileBytes(s.ntr, s.ns));
    EXPECT_EQ(bytes.size(),
              776u + 78u * static_cast<unsigned>(s.ntr) + 4u * static_cast<unsigned>(s.ntr * s.ns));
    const fs::path p = dir_ / "rt.trx";
    Save(p, bytes);

    ShotRecord read;
    read.CRECNAME = "before";
    sup::GraphAxes axes;
    TraceDisplayOptions opts;
    ASSERT_EQ(Reload(p, read, axes, opts), 0);
    EXPECT_TRUE(shown_.empty());
    ExpectSameStoredContent(rec, read);
    EXPECT_EQ(read.CRECNAME.Str(), "shot12");
    EXPECT_FALSE(read.LSEGYHDR);
    // Arrays the file does not keep come back zero or blank.
    EXPECT_EQ(read.FALIAS, std::vector<float>(static_cast<std::size_t>(s.ntr), 0.0f));
    EXPECT_EQ(read.ICDP, std::vector<std::int32_t>(static_cast<std::size_t>(s.ntr), 0));
    for (const auto& t : read.CSRCTEXT) EXPECT_EQ(t.UsedLength(), 0u);
    EXPECT_TRUE(read.ISEGYTRH.empty());

    TraceDisplayOptions want = SomeOptions();
    want.IFIRSTTRACE = 0;
    want.ILASTTRACE = 0;
    want.LUSERMAX = false;
    want.USERMAX = 0.0f;
    EXPECT_EQ(opts, want);
    auto wantAxes = sup::GraphAxesToWords(SomeAxes());
    wantAxes[36] = 0;  // LTOP is not kept
    EXPECT_EQ(sup::GraphAxesToWords(axes), wantAxes);
  }
}

TEST_F(TraceFileTest, KnownSizes) {
  EXPECT_EQ(TraceFileBytes(0, 0), 776u);
  EXPECT_EQ(TraceFileBytes(48, 1000), 196520u);
  EXPECT_EQ(TraceFileBytes(-3, 10), 776u);
}

TEST(TrxModeTest, ModeTexts) {
  struct Case {
    std::string_view text;
    TrxMode mode;
  };
  for (const Case c : {Case{"OPEN      ", TrxMode::Open}, Case{"Open      ", TrxMode::Open},
                       Case{"O         ", TrxMode::Open}, Case{"SAVE      ", TrxMode::Save},
                       Case{"Save      ", TrxMode::Save}, Case{"S         ", TrxMode::Save},
                       Case{"RELOAD    ", TrxMode::Reload}, Case{"Reload    ", TrxMode::SaveAs},
                       Case{"SAVEAS    ", TrxMode::SaveAs}, Case{"whatever  ", TrxMode::SaveAs}}) {
    EXPECT_EQ(TrxModeOf(c.text), c.mode) << c.text;
  }
}

// ---------------------------------------------------------------------------
// Files taken apart into records and put together again.

struct RawRecord {
  std::string tag;
  std::int32_t version = 1;
  std::int32_t index = 0;
  std::int32_t length = 0;  // as written in the header
  std::vector<std::byte> payload;
};

std::vector<RawRecord> Split(const std::vector<std::byte>& file) {
  std::vector<RawRecord> out;
  std::size_t at = 8;
  while (at + 20 <= file.size()) {
    RawRecord r;
    r.tag.assign(reinterpret_cast<const char*>(file.data() + at), 8);
    r.version =
        static_cast<std::int32_t>(sup::LoadU32(file.data() + at + 8, sup::ByteOrder::Little));
    r.index =
        static_cast<std::int32_t>(sup::LoadU32(file.data() + at + 12, sup::ByteOrder::Little));
    r.length =
        static_cast<std::int32_t>(sup::LoadU32(file.data() + at + 16, sup::ByteOrder::Little));
    at += 20;
    r.payload.assign(
        file.begin() + static_cast<std::ptrdiff_t>(at),
        file.begin() + static_cast<std::ptrdiff_t>(at + static_cast<std::size_t>(r.length)));
    at += static_cast<std::size_t>(r.length);
    out.push_back(std::move(r));
  }
  return out;
}

std::vector<std::byte> Join(const std::vector<RawRecord>& records,
                            std::string_view magic = "VELLTRAC") {
  std::vector<std::byte> out;
  for (char c : magic) out.push_back(static_cast<std::byte>(c));
  for (const RawRecord& r : records) {
    std::array<std::byte, 20> h{};
    std::string tag = r.tag;
    tag.resize(8, ' ');
    std::memcpy(h.data(), tag.data(), 8);
    sup::StoreU32(h.data() + 8, static_cast<std::uint32_t>(r.version), sup::ByteOrder::Little);
    sup::StoreU32(h.data() + 12, static_cast<std::uint32_t>(r.index), sup::ByteOrder::Little);
    sup::StoreU32(h.data() + 16, static_cast<std::uint32_t>(r.length), sup::ByteOrder::Little);
    out.insert(out.end(), h.begin(), h.end());
    out.insert(out.end(), r.payload.begin(), r.payload.end());
  }
  return out;
}

RawRecord* Find(std::vector<RawRecord>& recs, std::string_view tag, std::int32_t index = 0) {
  for (RawRecord& r : recs)
    if (r.tag == tag && (index == 0 || r.index == index)) return &r;
  return nullptr;
}

void SetI32(std::vector<std::byte>& payload, std::size_t at, std::int32_t v) {
  sup::StoreU32(payload.data() + at, static_cast<std::uint32_t>(v), sup::ByteOrder::Little);
}
void SetF32(std::vector<std::byte>& payload, std::size_t at, float v) {
  sup::StoreU32(payload.data() + at, std::bit_cast<std::uint32_t>(v), sup::ByteOrder::Little);
}

std::vector<RawRecord> SmallRecords() {
  std::mt19937 rng(7);
  return Split(Encode(RandomRecord(rng, 3, 10)));
}

void Erase(std::vector<RawRecord>& recs, std::string_view tag) {
  std::erase_if(recs, [&](const RawRecord& r) { return r.tag == tag; });
}

std::string At(std::uint64_t offset) {
  std::string s = std::to_string(offset);
  return std::string(8 - s.size(), ' ') + s;
}

TEST_F(TraceFileTest, HostileFilesFailWithTheirMessageAndLeaveEverythingAsItWas) {
  const std::vector<std::byte> good = Join(SmallRecords());
  const std::size_t goodSize = good.size();
  // Offset of the main header's payload, of the first array's and of trace 2's.
  const std::size_t mainAt = 8 + 20;
  const std::size_t arrayAt = mainAt + 124 + 20;

  struct Case {
    std::string name;
    std::vector<std::byte> file;
    std::string message;
  };
  std::vector<Case> cases;
  auto edited = [&](auto edit) {
    std::vector<RawRecord> recs = SmallRecords();
    edit(recs);
    return Join(recs);
  };
  cases.push_back({"fewer than 8 bytes",
                   {good.begin(), good.begin() + 4},
                   "READ ERROR OR END OF FILE AT BYTE " + At(4) + " WHILE READING         "});
  cases.push_back({"magic only",
                   {good.begin(), good.begin() + 8},
                   "READ ERROR OR END OF FILE AT BYTE " + At(8) + " WHILE READING         "});
  cases.push_back(
      {"wrong magic", Join(SmallRecords(), "VELLTRAK"), "File is not Morvane Trace file"});
  {
    // Cut inside the samples of trace 2.
    std::vector<RawRecord> recs = SmallRecords();
    std::vector<std::byte> f = Join(recs);
    std::size_t cut = 8;
    for (const RawRecord& r : recs) {
      cut += 20;
      if (r.tag == "TRACES  " && r.index == 2) {
        cut += 6;
        break;
      }
      cut += r.payload.size();
    }
    f.resize(cut);
    cases.push_back({"cut inside a trace", f,
                     "READ ERROR OR END OF FILE AT BYTE " + At(cut) + " WHILE READING TRACES  "});
  }
  cases.push_back(
      {"no end record",
       {good.begin(), good.end() - 20},
       "READ ERROR OR END OF FILE AT BYTE " + At(goodSize - 20) + " WHILE READING IFXGAIN "});
  cases.push_back({"negative payload length",
                   edited([](auto& r) { Find(r, "GEOLOC  ")->length = -4; }),
                   "INVALID DATA AT BYTE " + At(arrayAt) + " WHILE READING GEOLOC  "});
  cases.push_back(
      {"payload length beyond the file",
       edited([](auto& r) { Find(r, "GEOLOC  ")->length = 0x7fffffff; }),
       "READ ERROR OR END OF FILE AT BYTE " + At(goodSize) + " WHILE READING GEOLOC  "});
  for (const std::int32_t ntr : {-1, 100, 1000000000}) {
    cases.push_back({"trace count " + std::to_string(ntr),
                     edited([ntr](auto& r) { SetI32(Find(r, "MAINHEAD")->payload, 76, ntr); }),
                     "INVALID DATA AT BYTE " + At(mainAt) + " WHILE READING MAINHEAD"});
  }
  for (const std::int32_t ns : {-5, 0x20000000}) {
    cases.push_back({"sample count " + std::to_string(ns),
                     edited([ns](auto& r) { SetI32(Find(r, "MAINHEAD")->payload, 72, ns); }),
                     "INVALID DATA AT BYTE " + At(mainAt) + " WHILE READING MAINHEAD"});
  }
  for (const float dt : {std::nanf(""), -1.0f, 0.0f, INFINITY}) {
    cases.push_back({"sample interval " + std::to_string(dt),
                     edited([dt](auto& r) { SetF32(Find(r, "MAINHEAD")->payload, 32, dt); }),
                     "INVALID DATA AT BYTE " + At(mainAt) + " WHILE READING MAINHEAD"});
  }
  for (const std::int32_t naux : {-1, 4}) {
    cases.push_back({"auxiliary count " + std::to_string(naux),
                     edited([naux](auto& r) { SetI32(Find(r, "MAINHEAD")->payload, 112, naux); }),
                     "INVALID DATA AT BYTE " + At(mainAt) + " WHILE READING MAINHEAD"});
  }
  for (const std::int32_t index : {0, 4, -2}) {
    std::vector<RawRecord> recs = SmallRecords();
    std::size_t at = 8;
    for (RawRecord& r : recs) {
      at += 20;
      if (r.tag == "TRACES  " && r.index == 3) {
        r.index = index;
        break;
      }
      at += r.payload.size();
    }
    cases.push_back({"trace index " + std::to_string(index), Join(recs),
                     "INVALID DATA AT BYTE " + At(at) + " WHILE READING TRACES  "});
  }
  {
    std::vector<RawRecord> recs = SmallRecords();
    std::swap(recs[0], recs[1]);  // GEOLOC before MAINHEAD
    cases.push_back({"array before the main header", Join(recs),
                     "INVALID DATA AT BYTE " + At(mainAt) + " WHILE READING GEOLOC  "});
  }
  {
    std::vector<RawRecord> recs = SmallRecords();
    recs[0].version = 2;  // the main header is skipped; the arrays have no record
    cases.push_back({"array after a skipped main header", Join(recs),
                     "INVALID DATA AT BYTE " + At(arrayAt) + " WHILE READING GEOLOC  "});
  }
  cases.push_back({"end record without a main header", Join({RawRecord{"ENDFILE ", 1, 0, 0, {}}}),
                   "INVALID DATA AT BYTE " + At(28) + " WHILE READING ENDFILE "});

  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    shown_.clear();
    const fs::path p = dir_ / "bad.trx";
    Save(p, c.file);
    ShotRecord rec;
    rec.NTRACE = 2;
    rec.NSAMP = 3;
    ASSERT_TRUE(RebuildTraceArrays(rec));
    rec.CRECNAME = "current";
    rec.TRACES[4] = 42.0f;
    rec.IBPICK[1] = 2;
    const ShotRecord before = rec;
    sup::GraphAxes axes = SomeAxes(2.0f);
    TraceDisplayOptions opts;
    EXPECT_EQ(Reload(p, rec, axes, opts), -1);
    ASSERT_FALSE(shown_.empty());
    EXPECT_EQ(shown_.back().text, c.message);
    EXPECT_EQ(shown_.back().kind, sup::UserMessageKind::Information);
    ExpectSameStoredContent(rec, before);
    EXPECT_EQ(rec.CRECNAME.Str(), "current");
    EXPECT_EQ(sup::GraphAxesToWords(axes), sup::GraphAxesToWords(SomeAxes(2.0f)));
    EXPECT_EQ(opts, TraceDisplayOptions{});
  }
}

TEST_F(TraceFileTest, SeededDamageNeverReadsOutsideAndAlwaysSaysWhy) {
  std::mt19937 rng(2026);
  const std::vector<std::byte> good = Join(SmallRecords());
  std::uniform_int_distribution<std::size_t> pos(0, good.size() - 1);
  std::uniform_int_distribution<int> byte(0, 255);
  for (int round = 0; round < 2000; ++round) {
    std::vector<std::byte> f = good;
    const int flips = 1 + round % 4;
    for (int k = 0; k < flips; ++k) f[pos(rng)] = static_cast<std::byte>(byte(rng));
    if (round % 3 == 0) f.resize(pos(rng));
    TrxContents c;
    std::vector<TrxNotice> notices;
    const bool ok = DecodeTraceFile(f, c, notices);
    if (!ok) {
      ASSERT_FALSE(notices.empty()) << round;
      continue;
    }
    // What a successful read hands over is consistent with its counts.
    const auto ntr = static_cast<std::size_t>(c.record.NTRACE);
    EXPECT_EQ(c.record.TRACES.size(), ntr * static_cast<std::size_t>(c.record.NSAMP)) << round;
    EXPECT_EQ(c.record.IBPICK.size(), ntr) << round;
    for (std::int32_t pick : c.record.IBPICK) EXPECT_LE(pick, c.record.NSAMP) << round;
  }
}

TEST_F(TraceFileTest, MissingAndUnreadableFiles) {
  ShotRecord rec;
  sup::GraphAxes axes;
  TraceDisplayOptions opts;
  EXPECT_EQ(Reload(dir_ / "none.trx", rec, axes, opts), -1);
  ASSERT_EQ(shown_.size(), 1u);
  std::string name = (dir_ / "none.trx").string();
  name.resize(256, ' ');
  EXPECT_EQ(shown_[0].text, "CANNOT FIND FILE: " + name);

  std::string blank(256, ' ');
  int ierr = 0;
  BIOVELLN(rec, axes, opts, "RELOAD    ", blank, ierr);
  EXPECT_EQ(ierr, -1);
  EXPECT_EQ(shown_.size(), 1u);  // a blank name says nothing
}

TEST_F(TraceFileTest, ReadOnlyFilesCanBeOpened) {
  std::mt19937 rng(3);
  const ShotRecord rec = RandomRecord(rng, 4, 20);
  const fs::path p = dir_ / "ro.trx";
  Save(p, Encode(rec));
  ASSERT_EQ(::chmod(p.c_str(), 0444), 0);
  ShotRecord read;
  sup::GraphAxes axes;
  TraceDisplayOptions opts;
  EXPECT_EQ(Reload(p, read, axes, opts), 0);
  ExpectSameStoredContent(rec, read);
}

TEST_F(TraceFileTest, TolerantReading) {
  ShotRecord read;
  sup::GraphAxes axes = SomeAxes(1.0f);
  TraceDisplayOptions opts;
  const fs::path p = dir_ / "t.trx";
  auto load = [&](const std::vector<RawRecord>& recs) {
    shown_.clear();
    Save(p, Join(recs));
    read = ShotRecord{};
    axes = SomeAxes(1.0f);
    opts = TraceDisplayOptions{};
    return Reload(p, read, axes, opts);
  };
  std::mt19937 rng(7);
  const ShotRecord rec = RandomRecord(rng, 3, 10);

  {
    SCOPED_TRACE("unknown record in the middle");
    std::vector<RawRecord> recs = SmallRecords();
    RawRecord odd{
        std::string("XY\x01ZY   ", 8), 1, 0, 3, {std::byte{1}, std::byte{2}, std::byte{3}}};
    recs.insert(recs.begin() + 2, odd);
    ASSERT_EQ(load(recs), 0);
    ASSERT_EQ(shown_.size(), 1u);
    EXPECT_EQ(shown_[0].kind, sup::UserMessageKind::Warning);
    EXPECT_EQ(shown_[0].text, "DON'T KNOW HOW TO READ XY ZY   . LAST SUCCESSFUL READ WAS GEOLOC  ");
    ExpectSameStoredContent(rec, read);
  }
  {
    SCOPED_TRACE("newer version of a trace and of the end record");
    std::vector<RawRecord> recs = SmallRecords();
    Find(recs, "TRACES  ", 2)->version = 2;
    recs.back().version = 2;
    ASSERT_EQ(load(recs), 0);
    ASSERT_EQ(shown_.size(), 1u);
    EXPECT_EQ(shown_[0].text, "SKIPPING NEW VERSION: TRACES  ");
    for (float v : Trace(read, 2)) EXPECT_EQ(v, 0.0f);
    EXPECT_TRUE(std::equal(Trace(read, 3).begin(), Trace(read, 3).end(), Trace(rec, 3).begin()));
  }
  {
    SCOPED_TRACE("records in another order, some left out");
    std::vector<RawRecord> recs = SmallRecords();
    Erase(recs, "SHOTLOCX");
    Erase(recs, "IVSTACK ");
    Erase(recs, "IFXGAIN ");
    std::reverse(recs.begin() + 1, recs.end() - 1);
    ASSERT_EQ(load(recs), 0);
    EXPECT_TRUE(shown_.empty());
    EXPECT_EQ(read.TRACES, rec.TRACES);
    EXPECT_EQ(read.SHOTLOCX, std::vector<float>(3, rec.SHOTX));
    EXPECT_EQ(read.IVSTACK, std::vector<std::int32_t>(3, 1));
    EXPECT_EQ(read.IFXGAIN, std::vector<std::int32_t>(3, 1));
  }
  {
    SCOPED_TRACE("a second main header rebuilds the arrays");
    std::vector<RawRecord> recs = SmallRecords();
    recs.insert(recs.end() - 1, *Find(recs, "MAINHEAD"));
    ASSERT_EQ(load(recs), 0);
    EXPECT_EQ(read.TRACES, std::vector<float>(30, 0.0f));
  }
  {
    SCOPED_TRACE("short and long payloads");
    std::vector<RawRecord> recs = SmallRecords();
    RawRecord* geoloc = Find(recs, "GEOLOC  ");
    geoloc->payload.resize(4);  // one element of three
    geoloc->length = 4;
    RawRecord* t1 = Find(recs, "TRACES  ", 1);
    t1->payload.resize(t1->payload.size() + 12, std::byte{0x7f});  // three more samples
    t1->length += 12;
    ASSERT_EQ(load(recs), 0);
    EXPECT_EQ(read.GEOLOC[0], rec.GEOLOC[0]);
    EXPECT_EQ(read.GEOLOC[1], 0.0f);
    EXPECT_EQ(read.TRACES, rec.TRACES);
    EXPECT_EQ(read.GEOLOCY, rec.GEOLOCY);
  }
  {
    SCOPED_TRACE("picks past the last sample read as none");
    std::vector<RawRecord> recs = SmallRecords();
    RawRecord* picks = Find(recs, "IBPICK  ");
    SetI32(picks->payload, 0, 11);
    SetI32(picks->payload, 4, -3);
    SetI32(picks->payload, 8, 10);
    ASSERT_EQ(load(recs), 0);
    EXPECT_EQ(read.IBPICK, (std::vector<std::int32_t>{0, -3, 10}));
  }
  {
    SCOPED_TRACE("display options out of range keep the current values");
    std::vector<RawRecord> recs = SmallRecords();
    std::vector<std::byte>& o = Find(recs, "TRPARMS ")->payload;
    SetF32(o, 0, std::nanf(""));  // clip
    SetF32(o, 4, 500.0f);         // width
    SetF32(o, 8, 0.5f);           // AGC fraction: kept
    SetI32(o, 12, 7);             // gain method
    SetI32(o, 16, 3);             // time lines: kept
    SetF32(o, 36, 0.0f);          // pixel size
    ASSERT_EQ(load(recs), 0);
    TraceDisplayOptions want = SomeOptions();
    want.TRACECLIP = 2.0f;
    want.TRACEWIDTH = 2.0f;
    want.AGCFRAC = 0.5f;
    want.IGAINMETHOD = 2;
    want.ITIMELINES = 3;
    want.PIXELSIZE = 1.0f;
    want.IFIRSTTRACE = 0;
    want.ILASTTRACE = 0;
    want.LUSERMAX = false;
    want.USERMAX = 0.0f;
    EXPECT_EQ(opts, want);
  }
  for (const auto& [word, value] : std::vector<std::pair<int, std::uint32_t>>{
           {2, 0u},                                      // zero x cell
           {0, std::bit_cast<std::uint32_t>(INFINITY)},  // infinite origin
           {20, 5000000u},                               // absurd divisions
           {24, 99u}}) {                                 // no such marker
    SCOPED_TRACE("unusable axes word " + std::to_string(word));
    std::vector<RawRecord> recs = SmallRecords();
    sup::StoreU32(Find(recs, "TRAXES  ")->payload.data() + 4 * word, value, sup::ByteOrder::Little);
    ASSERT_EQ(load(recs), 0);
    EXPECT_EQ(sup::GraphAxesToWords(axes), sup::GraphAxesToWords(SomeAxes(1.0f)));
  }
  {
    SCOPED_TRACE("short main header fills from its start");
    std::vector<RawRecord> small = SmallRecords();
    std::vector<RawRecord> recs;
    RawRecord main = *Find(small, "MAINHEAD");
    main.payload.resize(84);  // through ISHOT
    main.length = 84;
    std::vector<std::byte> trace(40, std::byte{0});
    recs.push_back(main);
    for (int j = 1; j <= 3; ++j) recs.push_back({"TRACES  ", 1, j, 40, trace});
    recs.push_back({"ENDFILE ", 1, 0, 0, {}});
    ASSERT_EQ(load(recs), 0);
    EXPECT_EQ(read.ISHOT, rec.ISHOT);
    EXPECT_EQ(read.NTRACE, 3);
    EXPECT_EQ(read.VNMO, 2000.0f);  // beyond the payload: as a fresh record
    EXPECT_TRUE(read.CUNITS == sup::FixedString<4>());
  }
}

// ---------------------------------------------------------------------------
// Writing

class CurrentFolder {
 public:
  explicit CurrentFolder(const fs::path& p) : before_(fs::current_path()) { fs::current_path(p); }
  ~CurrentFolder() { fs::current_path(before_); }

 private:
  fs::path before_;
};

TEST_F(TraceFileTest, SaveWritesTheRecordNameWithTrxInTheCurrentFolder) {
  CurrentFolder here(dir_.path());
  std::mt19937 rng(5);
  ShotRecord rec = RandomRecord(rng, 2, 5);
  rec.CRECNAME = "line4";
  sup::GraphAxes axes = SomeAxes();
  TraceDisplayOptions opts = SomeOptions();
  std::string name(256, ' ');
  int ierr = 99;
  BIOVELLN(rec, axes, opts, "SAVE      ", name, ierr);
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(name.substr(0, 10), "line4.TRX ");
  EXPECT_EQ(name.size(), 256u);
  EXPECT_TRUE(shown_.empty());
  EXPECT_EQ(fs::file_size(dir_ / "line4.TRX"), TraceFileBytes(2, 5));
  // Only the file itself is left: no temporary beside it.
  int entries = 0;
  for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir_.path())) ++entries;
  EXPECT_EQ(entries, 1);

  rec.CRECNAME = "";
  BIOVELLN(rec, axes, opts, "S         ", name, ierr);
  EXPECT_EQ(ierr, 0);
  EXPECT_TRUE(fs::exists(dir_ / ".TRX"));
}

TEST_F(TraceFileTest, SaveWritesTheFileOfTheSameNameInAnotherCase) {
  CurrentFolder here(dir_.path());
  std::mt19937 rng(6);
  ShotRecord rec = RandomRecord(rng, 2, 5);
  rec.CRECNAME = "rec102";
  sup::GraphAxes axes = SomeAxes();
  TraceDisplayOptions opts = SomeOptions();
  testing_support::WriteFile(dir_ / "rec102.trx", "opened from here");
  testing_support::WriteFile(dir_ / "other.TRX", "not this one");
  std::string name(256, ' ');
  int ierr = 99;
  BIOVELLN(rec, axes, opts, "SAVE      ", name, ierr);
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(plat::TrimRight(name), "rec102.trx");
  EXPECT_EQ(fs::file_size(dir_ / "rec102.trx"), TraceFileBytes(2, 5));
  EXPECT_FALSE(fs::exists(dir_ / "rec102.TRX"));
  EXPECT_EQ(testing_support::ReadFile(dir_ / "other.TRX"), "not this one");
  int entries = 0;
  for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir_.path())) ++entries;
  EXPECT_EQ(entries, 2);
}

TEST_F(TraceFileTest, ReplacingKeepsPermissionsAndARefusedOrFailedSaveKeepsTheOldFile) {
  const fs::path p = dir_ / "keep.trx";
  testing_support::WriteFile(p, "old contents");
  ASSERT_EQ(::chmod(p.c_str(), 0640), 0);
  const std::vector<std::byte> bytes(100, std::byte{0x41});
  int ierr = 99;
  WriteTraceFileBytes(p.string(), bytes, ierr);
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(testing_support::ReadFile(p), std::string(100, 'A'));
  struct stat st {};
  ASSERT_EQ(::stat(p.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);

  // A read-only target is refused and stays as it was.
  ASSERT_EQ(::chmod(p.c_str(), 0444), 0);
  WriteTraceFileBytes(p.string(), std::vector<std::byte>(5, std::byte{0x42}), ierr);
  EXPECT_EQ(ierr, -1);
  ASSERT_FALSE(shown_.empty());
  EXPECT_EQ(shown_.back().text,
            "CANNOT OPEN FILE: " + p.string() + " Be sure existing file is not read-only");
  EXPECT_EQ(testing_support::ReadFile(p), std::string(100, 'A'));

  // A folder that does not exist: nothing can be created.
  const fs::path missing = dir_ / "no" / "such.trx";
  WriteTraceFileBytes(missing.string(), bytes, ierr);
  EXPECT_EQ(ierr, -1);
  EXPECT_EQ(shown_.back().text,
            "CANNOT OPEN FILE: " + missing.string() + " Be sure existing file is not read-only");
  EXPECT_FALSE(fs::exists(missing));
}

TEST_F(TraceFileTest, AFailedWriteKeepsTheOldFileAndLeavesNoTemporary) {
  // The finished temporary cannot take the place of the target: a folder of
  // the same name that is not empty.
  const fs::path p = dir_ / "target.trx";
  fs::create_directories(p / "inside");
  int ierr = 99;
  WriteTraceFileBytes(p.string(), std::vector<std::byte>(10, std::byte{1}), ierr);
  EXPECT_EQ(ierr, -1);
  EXPECT_EQ(shown_.back().text, "WRITE ERROR AT BYTE       10: Is a directory");
  EXPECT_TRUE(fs::is_directory(p / "inside"));
  int entries = 0;
  for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir_.path())) ++entries;
  EXPECT_EQ(entries, 1);
}

}  // namespace
