// SEG-Y reader details on files the tests make.
#include <gtest/gtest.h>

#include <cstring>

#include "formats/SegyHeaders.h"
#include "formats/SegyIn.h"
#include "formats/SegyOut.h"
#include "support/ByteOrder.h"
#include "support/FileIO.h"
#include "tests/TestSupport.h"
#include "tests/formats/SegyTestSupport.h"

namespace {

using namespace vel;

TEST(SegyIn, AcquisitionDate) {
  struct Case {
    int year, day;
    const char* text;
  };
  const Case cases[] = {
      {1996, 60, "29/02/1996"},  {1997, 60, "01/03/1997"}, {97, 365, "31/12/1997"},
      {1997, 100, "10/04/1997"}, {5, 64, "05/03/2005"},    {96, 366, "31/12/1996"},
      {2001, 31, "31/01/2001"},  {2001, 32, "01/02/2001"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(SegyAcquisitionDate(c.year, c.day), c.text) << c.year << " " << c.day;
}

ShotRecord Small(int traces, int ns) {
  ShotRecord rec;
  rec.NTRACE = traces;
  rec.NSAMP = ns;
  EXPECT_TRUE(RebuildTraceArrays(rec, SegyTraceHeaders::Allocate));
  rec.SAMPINT = 1.0f;
  for (std::size_t k = 0; k < rec.TRACES.size(); ++k)
    rec.TRACES[k] = static_cast<float>(k % 97) - 40.0f;
  for (int j = 0; j < traces; ++j) {
    rec.GEOLOC[static_cast<std::size_t>(j)] = 10.0f + 2.0f * static_cast<float>(j);
    rec.TRACEMAX[static_cast<std::size_t>(j)] = 56.0f;
    rec.IYEAR[static_cast<std::size_t>(j)] = 97;
    rec.IDAY[static_cast<std::size_t>(j)] = 100;
    rec.CTRCTEXT[static_cast<std::size_t>(j)] = "TEXT OF TRACE";
  }
  return rec;
}

TEST(SegyIn, BigEndianHeadersKeepTheUnswappedRanges) {
  testing_support::TempDir dir;
  segy_test::ScriptedDialogs quiet;
  ShotRecord rec = Small(24, 30);
  SegyOutOptions o;
  o.format = kSegyIeeeFloat;
  int error = 1;
  const auto path = (dir / "be.sgy").string();
  SEGYOUT(rec, path, o, error);
  ASSERT_EQ(error, 0);
  ShotRecord back;
  int recno = 1;
  SEGYIN(back, path, recno, error, {});
  ASSERT_EQ(error, 0);
  EXPECT_EQ(back.TRACES, rec.TRACES);
  EXPECT_EQ(SegyTrcI32(back.ISEGYTRH[3], 1), 4) << "swapped into the machine's order";
  EXPECT_EQ(std::memcmp(back.ISEGYTRH[3].data() + 180, "TEXT OF TRACE", 13), 0);
  EXPECT_EQ(back.CFDBVAL[0].Trimmed(), "10/04/1997");
  EXPECT_EQ(back.IFDBLEN[0], 10);
  EXPECT_FLOAT_EQ(back.SPACING, 2.0f);
  EXPECT_EQ(SegyBinI16(back.ISEGYBIN, 3225), kSegyIeeeFloat);
}

TEST(SegyIn, ClosingStepsOnSpacingAndAuxiliaryTraces) {
  testing_support::TempDir dir;
  segy_test::ScriptedDialogs quiet;
  ShotRecord rec = Small(26, 10);
  rec.NTRACE = 24;
  rec.NAUX = 2;
  for (float& g : rec.GEOLOC) g = 0.0f;
  int error = 1;
  const auto path = (dir / "aux.sgy").string();
  SEGYOUT(rec, path, {}, error);
  ASSERT_EQ(error, 0);
  ShotRecord back;
  int recno = 1;
  SEGYIN(back, path, recno, error, {});
  ASSERT_EQ(error, 0);
  EXPECT_EQ(back.NTRACE, 24);
  EXPECT_EQ(back.NAUX, 2);
  EXPECT_FLOAT_EQ(back.SPACING, 1.0f);
  EXPECT_FLOAT_EQ(back.GEOLOC[23], 24.0f);
}

TEST(SegyIn, ATraceOfAnotherSampleCountEndsTheRead) {
  testing_support::TempDir dir;
  segy_test::ScriptedDialogs quiet;
  int error = 1;
  const auto path = dir / "mixed.sgy";
  SEGYOUT(Small(12, 40), path.string(), {}, error);
  ASSERT_EQ(error, 0);
  // Trace 5 says 39 samples.
  std::string bytes = testing_support::ReadFile(path);
  const std::size_t at = 3600 + 4 * (240 + 160) + 114;
  sup::StoreU16(reinterpret_cast<std::byte*>(bytes.data()) + at, 39, sup::ByteOrder::Big);
  testing_support::WriteFile(path, bytes);
  ShotRecord back;
  int recno = 1;
  SEGYIN(back, path.string(), recno, error, {});
  EXPECT_EQ(error, 0);
  EXPECT_EQ(back.NTRACE, 4);
  EXPECT_NE(sup::LastUserMessage().text.find(
                "All traces must have same number of samples     40 vs     39"),
            std::string::npos);
  EXPECT_EQ(SegyBinI16(back.ISEGYBIN, 3213), 4);
}

// A record large enough to be read by several threads: identical to the
// record written; and a bad trace header in the last part stops the read
// there, the later columns left empty and the range of the traces kept.
TEST(SegyIn, LargeRecordsReadInPartsKeepTheOrderOfTraces) {
  testing_support::TempDir dir;
  segy_test::ScriptedDialogs quiet;
  ShotRecord rec = Small(600, 3000);
  for (std::size_t k = 0; k < rec.TRACES.size(); ++k)
    rec.TRACES[k] = static_cast<float>((k * 7919) % 20011) - 10000.0f;
  rec.TRACES[599 * 3000 + 5] = 50000.0f;  // the largest sample, in a trace after the bad one
  int error = 1;
  const auto path = dir / "large.sgy";
  SEGYOUT(rec, path.string(), {}, error);
  ASSERT_EQ(error, 0);
  ShotRecord back;
  int recno = 1;
  SEGYIN(back, path.string(), recno, error, {});
  ASSERT_EQ(error, 0);
  ASSERT_EQ(back.NTRACE, 600);
  ASSERT_EQ(back.TRACES.size(), rec.TRACES.size());
  EXPECT_EQ(std::memcmp(back.TRACES.data(), rec.TRACES.data(), rec.TRACES.size() * 4), 0);
  EXPECT_EQ(back.GMAX, 50000.0f);

  // Trace 550 says 2999 samples.
  std::string bytes = testing_support::ReadFile(path);
  const std::size_t at = 3600 + 549 * (240 + 4 * 3000) + 114;
  sup::StoreU16(reinterpret_cast<std::byte*>(bytes.data()) + at, 2999, sup::ByteOrder::Big);
  testing_support::WriteFile(path, bytes);
  ShotRecord cut;
  SEGYIN(cut, path.string(), recno, error, {});
  ASSERT_EQ(error, 0);
  EXPECT_EQ(cut.NTRACE, 549);
  ASSERT_EQ(cut.TRACES.size(), rec.TRACES.size());
  EXPECT_EQ(std::memcmp(cut.TRACES.data(), rec.TRACES.data(), 549 * 3000 * 4), 0);
  for (std::size_t k = 549 * 3000; k < cut.TRACES.size(); ++k)
    ASSERT_EQ(cut.TRACES[k], 0.0f) << "sample " << k;
  EXPECT_EQ(cut.GMAX, 10010.0f);
  EXPECT_EQ(cut.GMIN, -10000.0f);
}

TEST(SegyIn, SelectedRecordBeyondTheFileAndJoin) {
  testing_support::TempDir dir;
  segy_test::ScriptedDialogs quiet;
  const auto path = (dir / "three.sgy").string();
  SegyOutOptions o;
  o.format = kSegyIeeeFloat;
  int error = 1;
  SegyOutState out;
  for (int r = 1; r <= 3; ++r) {
    ShotRecord rec = Small(24, 20);
    o.writeHeaders = r == 1;
    o.closeAtEnd = r == 3;
    SEGYOUT(rec, path, o, error, out);
  }
  ShotRecord back;
  back.NTRACE = 3;
  int recno = 4;
  SegyInOptions sel;
  sel.selectRecord = true;
  SEGYIN(back, path, recno, error, sel);
  EXPECT_EQ(error, -1);
  EXPECT_EQ(sup::LastUserMessage().text, "SELECTED RECORD GREATER THAN NUMBER OF RECORDS");
  EXPECT_EQ(back.NTRACE, 3);
  recno = 2;
  SegyInOptions join;
  join.joinAll = true;
  SEGYIN(back, path, recno, error, join);
  ASSERT_EQ(error, 0);
  EXPECT_EQ(back.NTRACE, 72);
  EXPECT_EQ(recno, 1);
  EXPECT_EQ(SegyBinI16(back.ISEGYBIN, 3213), 72);
  EXPECT_EQ(back.CRECNAME.Trimmed(), "three-1");
}

// A file the caller has opened and begun to read gives the record the read
// by name gives, whatever part of it the caller's bytes hold: none, part of
// the headers, the headers and part of a trace, or the whole file; a small
// file of three records and one larger than a first read.
TEST(SegyIn, AnOpenFileReadsTheSameWhateverItsFirstBytesHold) {
  testing_support::TempDir dir;
  segy_test::ScriptedDialogs quiet;
  for (const int traces : {24, 40}) {
    const int ns = traces == 24 ? 20 : 2000;  // 3 x 2.6 KB, or 3 x 330 KB
    SCOPED_TRACE(testing::Message() << traces << " traces of " << ns << " samples");
    const auto path = (dir / ("f" + std::to_string(traces) + ".sgy")).string();
    SegyOutOptions o;
    o.format = kSegyIbmFloat;
    int error = 1;
    SegyOutState out;
    for (int r = 1; r <= 3; ++r) {
      ShotRecord rec = Small(traces, ns);
      for (float& v : rec.TRACES) v *= static_cast<float>(r);
      o.writeHeaders = r == 1;
      o.closeAtEnd = r == 3;
      SEGYOUT(rec, path, o, error, out);
      ASSERT_EQ(error, 0);
    }
    SegyInOptions sel;
    sel.selectRecord = true;
    ShotRecord byName;
    int recno = 2;
    SEGYIN(byName, path, recno, error, sel);
    ASSERT_EQ(error, 0);
    ASSERT_EQ(byName.NTRACE, traces);

    const std::string bytes = testing_support::ReadFile(path);
    const std::size_t block = 240 + 4 * static_cast<std::size_t>(ns);
    for (const std::size_t given :
         {std::size_t{0}, std::size_t{100}, std::size_t{3600}, std::size_t{3840},
          3600 + traces * block + 1000, 3600 + 2 * traces * block, bytes.size()}) {
      SCOPED_TRACE(testing::Message() << given << " bytes given");
      const int ih = sup::IOPNRLY(path);
      ASSERT_GE(ih, 0);
      SegyInFile file;
      file.handle = ih;
      file.size = static_cast<std::int64_t>(bytes.size());
      file.head = std::as_bytes(std::span<const char>(bytes.data(), std::min(given, bytes.size())));
      ShotRecord back;
      int number = 2;
      SegyInState state;
      SEGYIN(back, file, path, number, error, sel, state);
      sup::ICLSFIL(ih);
      ASSERT_EQ(error, 0);
      EXPECT_EQ(number, 2);
      EXPECT_EQ(back.NTRACE, byName.NTRACE);
      EXPECT_EQ(back.CRECNAME.Trimmed(), byName.CRECNAME.Trimmed());
      EXPECT_EQ(back.CSEGYTXT.View(), byName.CSEGYTXT.View());
      ASSERT_EQ(back.TRACES.size(), byName.TRACES.size());
      EXPECT_EQ(std::memcmp(back.TRACES.data(), byName.TRACES.data(), back.TRACES.size() * 4), 0);
      EXPECT_EQ(back.TRACEMAX, byName.TRACEMAX);
      EXPECT_EQ(back.GMIN, byName.GMIN);
      EXPECT_EQ(back.GMAX, byName.GMAX);
      EXPECT_EQ(back.GEOLOC, byName.GEOLOC);
    }
  }
  EXPECT_EQ(SegyInLeadBytes(0), 0u);
  EXPECT_EQ(SegyInLeadBytes(5000), 5000u);
  EXPECT_EQ(SegyInLeadBytes(100 << 20), 3840u);
}

}  // namespace

namespace {

// A non-compliant file without the text header: its records are counted
// over the bytes behind the headers it has (taking 3600 bytes off a file
// that holds only the 400 of its binary header would find fewer records,
// or none, and read the wrong one).
TEST(SegyIn, NonCompliantRecordsAreCountedBehindTheHeadersPresent) {
  testing_support::TempDir dir;
  int error = 1;
  const auto path = dir / "two.sgy";
  SegyOutOptions o;
  o.format = kSegyIeeeFloat;
  o.batch = true;
  o.closeAtEnd = false;
  SegyOutState out;
  ShotRecord first = Small(2, 10);
  ShotRecord second = Small(2, 10);
  for (float& v : second.TRACES) v += 1000.0f;
  SEGYOUT(first, path.string(), o, error, out);
  ASSERT_EQ(error, 0);
  o.writeHeaders = false;
  o.closeAtEnd = true;
  SEGYOUT(second, path.string(), o, error, out);
  ASSERT_EQ(error, 0);
  // Without its text header: 400 + 2 records of 2 traces of 280 bytes.
  const std::string bytes = testing_support::ReadFile(path);
  testing_support::WriteFile(path, bytes.substr(3200));

  SegyInOptions nc;
  nc.compliant = false;
  nc.readTextHeader = false;
  int offered = 0;
  segy_test::ScriptedDialogs dialogs({}, [&offered](ShotRecord& R, int& record, int& format) {
    offered = record;
    R.NTRACE = 2;
    record = 2;
    format = 1;  // "32-bit Floating Point": IEEE, as the binary header says
    return true;
  });
  ShotRecord back;
  int recno = 1;
  SEGYIN(back, path.string(), recno, error, nc);
  ASSERT_EQ(error, 0) << sup::LastUserMessage().text;
  EXPECT_EQ(offered, 1);
  EXPECT_EQ(recno, 2);
  // Two records found: the name carries the selected record's number (it is
  // made before the editor names the record read).
  EXPECT_EQ(back.CRECNAME.Trimmed(), "two-1");
  ASSERT_EQ(back.NTRACE, 2);
  EXPECT_EQ(back.TRACES, second.TRACES);
}

}  // namespace
