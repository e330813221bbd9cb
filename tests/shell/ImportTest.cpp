#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <filesystem>
#include <string>

#include "record/RecordNaming.h"
#include "shell/Import.h"
#include "support/UserMessages.h"
#include "tests/TestSupport.h"
#include "tests/formats/Seg2Fixtures.h"

namespace {

using testing_support::TempDir;
using vel::ShotRecord;

std::string Padded256(std::string_view name) {
  std::string s(name);
  s.resize(256, ' ');
  return s;
}

/// Runs each test inside its own folder, so that bare names work as the
/// Import command passes them.
class ImportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sup::SetUserMessageHook([](sup::UserMessageKind, std::string_view, std::string_view) {});
    sup::ClearUserMessages();
    previous_ = std::filesystem::current_path();
    std::filesystem::current_path(dir_.path());
  }
  void TearDown() override {
    std::filesystem::current_path(previous_);
    sup::SetUserMessageHook({});
  }
  static void Write(const std::string& name, const std::string& bytes) {
    testing_support::WriteFile(name, bytes);
  }

  TempDir dir_;
  std::filesystem::path previous_;
};

/// BYTES placed at 1-based position P of a blank 3200-byte block.
std::string At(std::size_t p, std::string_view bytes, std::size_t size = 3200) {
  std::string s(size, ' ');
  s.replace(p - 1, bytes.size(), bytes);
  return s;
}

std::string EggFile(double interval) {
  std::string s = At(289, "12");
  char raw[8];
  std::memcpy(raw, &interval, 8);  // little-endian machine
  s.replace(300, 8, raw, 8);
  return s;
}

TEST_F(ImportTest, DetectionRulesInOrder) {
  struct Case {
    const char* file;
    std::string bytes;
    std::int32_t code;
  } cases[] = {
      {"a.dat", "C 1 CLIENT", 10},
      {"b.dat", "C01", 10},
      {"c.dat", ":U", 9},
      {"d.dat", std::string("U:") + std::string(40, '\0'), 9},
      {"e.dat", "ABEM", 1},
      {"f.dat", At(29, "BISON-1"), 2},
      {"g.dat", At(30, "BISON-1"), 0},
      {"h.dat", At(5, "BISON-1") + "", 0},
      {"i.dat", At(118, "BISON-2"), 3},
      {"j.dat", EggFile(0.002), 5},
      {"k.dat", EggFile(0.0), 4},
      {"l.dat", EggFile(0.5), 4},
      {"m.dat", "GE", 6},
      {"n.dat", At(3000, "OYO"), 7},
      {"o.dat", At(80, "Scintrex-1"), 8},
      {"p.TF", "xyz", 11},
      {"q.fpx", std::string("\0\x14", 2) + "xyz", 13},
      {"r.FPX", "xyz", 0},
      {"s.dat", At(6, "SUSPENS"), 14},
      {"t.dat", At(2000, "EMGS_RXII"), 15},
      {"u.dat", "HV:", 16},
      {"v.dat", "GTMH", 17},
      {"w.SDT", "xyz", 12},
      {"abcdefghijklmnop.SDT", "xyz", 0},
      {"x.dat", "\xC3\x40\xF1", 10},  // "C 1" in EBCDIC
      {"y.sgy", "xyz", 10},
      {"z.dat", "nothing", 0},
  };
  std::string h = At(5, "BISON-1");
  h.replace(28, 7, "BISON-1");
  cases[7].bytes = h;  // once before byte 29 and once at it
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    Write(c.file, c.bytes);
    sup::ClearUserMessages();
    EXPECT_EQ(vel::ISEISFT(c.file), c.code);
    if (c.code == 0) {
      EXPECT_EQ(sup::LastUserMessage().text,
                "UNABLE TO IDENTIFY FORMAT FOR FILE " + Padded256(c.file));
    } else {
      EXPECT_EQ(sup::UserMessageCount(), 0);
    }
    std::filesystem::remove(c.file);
  }
}

TEST_F(ImportTest, FileThatCannotBeOpened) {
  EXPECT_EQ(vel::ISEISFT("absent.sg2"), -1);
  EXPECT_EQ(sup::LastUserMessage().text, "UNABLE TO OPEN FILE: " + Padded256("absent.sg2"));
  ShotRecord rec;
  rec.IFORMAT = 4;
  std::int32_t recno = 0;
  int ierr = 0;
  vel::IMPORT(rec, "absent.sg2", recno, ierr, false, false);
  EXPECT_EQ(ierr, -1);
  EXPECT_EQ(rec.IFORMAT, 4);
  EXPECT_EQ(vel::LastDetectedFormat(), -1);
}

ShotRecord Held() {
  ShotRecord r;
  r.CRECNAME = "HELD";
  r.NTRACE = 1;
  r.NSAMP = 2;
  r.IFORMAT = 10;
  r.SPACING = 3.0f;
  r.LRADAR = true;
  r.LSEGYHDR = true;
  r.T0NMO = 25.0f;
  r.VNMO = 1500.0f;
  r.T0REF = 12.0f;
  r.VREF = 4200.0f;
  if (!vel::RebuildTraceArrays(r, vel::SegyTraceHeaders::Allocate)) std::abort();
  r.TRACES = {5, 6};
  return r;
}

void ExpectHeld(const ShotRecord& r) {
  EXPECT_EQ(r.CRECNAME, vel::RecordName("HELD"));
  EXPECT_EQ(r.IFORMAT, 10);
  EXPECT_EQ(r.NTRACE, 1);
  EXPECT_EQ(r.TRACES, (std::vector<float>{5, 6}));
  EXPECT_TRUE(r.LRADAR);
  EXPECT_TRUE(r.LSEGYHDR);
  EXPECT_EQ(r.ISEGYTRH.size(), 1u);
}

std::string Seg2WithReceivers() {
  seg2_fixtures::File f;
  for (int j = 0; j < 3; ++j) {
    seg2_fixtures::Trace t;
    t.format = 4;
    t.sampleCount = 2;
    t.data = seg2_fixtures::Floats({1.0f, -2.0f}, false);
    t.strings = {"SAMPLE_INTERVAL 0.0005", "RECEIVER_LOCATION " + std::to_string(j * 5) + " 0 0"};
    f.traces.push_back(t);
  }
  return seg2_fixtures::Build(f);
}

TEST_F(ImportTest, Seg2IntoAFreshRecord) {
  Write("shot12.sg2", Seg2WithReceivers());
  ShotRecord rec = Held();
  std::int32_t recno = 0;
  int ierr = 99;
  vel::IMPORT(rec, "shot12.sg2", recno, ierr, false, false);
  ASSERT_EQ(ierr, 0) << sup::LastUserMessage().text;
  EXPECT_EQ(rec.IFORMAT, 9);
  EXPECT_EQ(rec.CRECNAME, vel::RecordName("shot12"));
  EXPECT_EQ(rec.NTRACE, 3);
  EXPECT_EQ(rec.SAMPINT, 0.5f);
  // The fresh record: the held spacing carried over (the file has receiver
  // positions), and neither the radar flag nor the SEG-Y trace headers of
  // the record held before. The user's NMO and refractor values, which no
  // reader sets, survive the import.
  EXPECT_EQ(rec.SPACING, 3.0f);
  EXPECT_FALSE(rec.LRADAR);
  EXPECT_FALSE(rec.LSEGYHDR);
  EXPECT_TRUE(rec.ISEGYTRH.empty());
  EXPECT_EQ(rec.T0NMO, 25.0f);
  EXPECT_EQ(rec.VNMO, 1500.0f);
  EXPECT_EQ(rec.T0REF, 12.0f);
  EXPECT_EQ(rec.VREF, 4200.0f);
  EXPECT_EQ(vel::LastDetectedFormat(), 9);
}

TEST_F(ImportTest, TheRecordIsNamedUpToTheFirstDotOfTheBareName) {
  Write("line7.shot2.sg2", Seg2WithReceivers());
  ShotRecord rec = Held();
  std::int32_t recno = 0;
  int ierr = 99;
  vel::IMPORT(rec, "line7.shot2.sg2", recno, ierr, false, false);
  ASSERT_EQ(ierr, 0) << sup::LastUserMessage().text;
  EXPECT_EQ(rec.CRECNAME, vel::RecordName("line7"));
}

TEST_F(ImportTest, FailedRefusedAndUnavailableReadsLeaveTheRecord) {
  std::string broken = Seg2WithReceivers();
  broken.resize(broken.size() - 2);
  struct Case {
    const char* file;
    std::string bytes;
    std::string message;
    std::int32_t format;  // IFORMAT afterwards
  } cases[] = {
      {"broken.sg2", broken, "", 10},  // the reader's own message
      {"g.dat", "GE", "EG&G Geometrics 2401 FORMAT NOT YET SUPPORTED", 6},
      {"s.dat", At(80, "Scintrex-1"), "SCINTREX S-2 Echo FORMAT NOT YET SUPPORTED", 8},
      {"m.TF", "x", "multiplexed .TF format FORMAT NOT YET SUPPORTED", 11},
      {"n.dat", "nothing", "UNKNOWN OR (as yet) UNSUPPORTED FORMAT", 10},
      {"o.dat", "OYO", "", 10},  // the OYO reader: too short
      {"y.sgy", "x", "ERROR READING MAIN SEGY HEADER BLOCK", 10},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    Write(c.file, c.bytes);
    ShotRecord rec = Held();
    std::int32_t recno = 0;
    int ierr = 99;
    vel::IMPORT(rec, c.file, recno, ierr, false, false);
    EXPECT_EQ(ierr, -1);
    if (!c.message.empty()) {
      EXPECT_EQ(sup::LastUserMessage().text, c.message);
    }
    // A refused format marks the record with its code and leaves its data; a
    // reader that fails leaves the record wholly as it was.
    EXPECT_EQ(rec.IFORMAT, c.format);
    rec.IFORMAT = 10;
    ExpectHeld(rec);
  }
}

TEST_F(ImportTest, RecordCountOfFilesOtherThanSegy) {
  Write("shot.sg2", Seg2WithReceivers());
  ShotRecord rec = Held();
  int ierr = 99;
  std::int32_t count = 0;
  vel::INRECORDS(rec, "shot.sg2", ierr, count);
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(count, 1);
  EXPECT_EQ(vel::LastDetectedFormat(), 9);
  ExpectHeld(rec);  // nothing read
  vel::INRECORDS(rec, "absent", ierr, count);
  EXPECT_EQ(ierr, -1);
}

TEST(ImportNames, RecordNameOfAFile) {
  EXPECT_EQ(vel::RecordNameOfFile("dir/sub/shot.sg2"), vel::RecordName("shot"));
  EXPECT_EQ(vel::RecordNameOfFile("C:\\data\\A.B.SGY   "), vel::RecordName("A"));
  EXPECT_EQ(vel::RecordNameOfFile("plain"), vel::RecordName("plain"));
  EXPECT_EQ(vel::ToString(vel::kFormatSeg2), "SEG-2");
}

}  // namespace
