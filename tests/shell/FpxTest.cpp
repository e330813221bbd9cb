// FPX reader: 512-byte records built by the shared fixture.
#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <string>

#include "instruments/FpxIn.h"
#include "shell/Import.h"
#include "support/UserMessages.h"
#include "tests/instruments/InstrumentFixtures.h"
#include "tests/instruments/OyoFpxSuspensFixtures.h"
#include "tests/instruments/ReaderTestBase.h"
#include "tests/instruments/SeededDamage.h"

namespace {

using instrument_fixtures::FpxFile;

class FpxTest : public ReaderTest {
 protected:
  static std::string Message(std::string_view name) {
    return "Error reading trace (FPIXIN): " + Padded256(name);
  }
};

TEST_F(FpxTest, ReadsHeaderGeometryPicksAndSamples) {
  Write("line.FPX", FpxFile{.nsamp = 500, .ntrace = 3}.Bytes());
  EXPECT_EQ(vel::ISEISFT("line.FPX"), vel::kFormatFpx);
  vel::ShotRecord rec = Loaded();
  int ierr = 1;
  vel::FPIXIN(rec, "line.FPX", ierr);
  ASSERT_EQ(ierr, 0) << sup::LastUserMessage().text;
  EXPECT_EQ(rec.CRECNAME.Str(), "line");
  EXPECT_EQ(rec.NSAMP, 500);
  EXPECT_EQ(rec.NTRACE, 3);
  EXPECT_EQ(rec.ISHOT, 33);
  EXPECT_FLOAT_EQ(rec.SAMPINT, 0.5f);
  EXPECT_FLOAT_EQ(rec.SHOTX, 100.0f);
  EXPECT_FLOAT_EQ(rec.SHOTDEPTH, 1.5f);
  EXPECT_FLOAT_EQ(rec.SHOTELEV, 250.0f);
  EXPECT_FLOAT_EQ(rec.SPACING, 2.5f);
  EXPECT_FLOAT_EQ(rec.TUPHOLE, 3.0f);
  EXPECT_FLOAT_EQ(rec.TDELAY, -4.0f);
  EXPECT_TRUE(rec.LPICKS);
  EXPECT_EQ(rec.GEOLOC, (std::vector<float>{10.0f, 20.0f, 30.0f}));
  EXPECT_EQ(rec.GEOELE, (std::vector<float>{201.0f, 202.0f, 203.0f}));
  EXPECT_EQ(rec.GOFF, (std::vector<float>{-85.0f, -80.0f, -75.0f}));
  // Trace 2's pick is -5 (sign-extended), stored as it stands.
  EXPECT_EQ(rec.IBPICK, (std::vector<std::int32_t>{101, -5, 103}));
  EXPECT_EQ(rec.ISRCSTN, (std::vector<std::int32_t>{33, 33, 33}));
  EXPECT_EQ(rec.IVSTACK, (std::vector<std::int32_t>{1, 1, 1}));
  EXPECT_EQ(rec.NAUX, 0);
  // Only the first 500 samples of each four records.
  for (int j = 1; j <= 3; ++j)
    for (int i = 0; i < 500; ++i)
      ASSERT_EQ(vel::Trace(rec, j)[static_cast<std::size_t>(i)], FpxFile::Sample(j, i));
  EXPECT_FLOAT_EQ(rec.GMAX, 900.0f);
  EXPECT_FLOAT_EQ(rec.GMIN, 300.0f - 499 * 7);
  EXPECT_FLOAT_EQ(rec.TRACEMAX[0], 3193.0f);  // all-large negative tail
}

TEST_F(FpxTest, PicksFlagSpacingAndNegativeTraces) {
  FpxFile f{.nsamp = 10, .ntrace = 2, .picks = false, .spacing = -7.5f};
  std::string bytes = f.Bytes();
  // Trace 1 all negative: -1 .. -10.
  for (int i = 0; i < 10; ++i)
    FpxFile::Put16(bytes, 512 * 11 + 2 * static_cast<std::size_t>(i), -1 - i);
  Write("neg.fpx", bytes);
  vel::ShotRecord rec;
  rec.LPICKS = true;
  int ierr = 1;
  vel::FPIXIN(rec, "neg.fpx", ierr);
  ASSERT_EQ(ierr, 0);
  EXPECT_FALSE(rec.LPICKS);
  EXPECT_EQ(rec.IBPICK, (std::vector<std::int32_t>{0, 0}));
  EXPECT_FLOAT_EQ(rec.SPACING, 7.5f);
  EXPECT_FLOAT_EQ(rec.TRACEMAX[0], 10.0f);
}

TEST_F(FpxTest, TwoTracesFillNineteenRecords) {
  std::string bytes = FpxFile{.ntrace = 2}.Bytes();
  ASSERT_EQ(bytes.size(), 9728u);
  Write("two.fpx", bytes);
  vel::ShotRecord rec;
  int ierr = 1;
  vel::FPIXIN(rec, "two.fpx", ierr);
  EXPECT_EQ(ierr, 0);
  bytes.resize(18 * 512);
  Write("cut.fpx", bytes);
  vel::FPIXIN(rec, "cut.fpx", ierr);
  EXPECT_EQ(ierr, -1);
  EXPECT_EQ(sup::LastUserMessage().text, Message("cut.fpx"));
}

TEST_F(FpxTest, HostileFilesLeaveTheRecordAlone) {
  struct Case {
    const char* what;
    FpxFile file;
  };
  const Case cases[] = {{"no traces", {.ntrace = 0}},
                        {"129 traces", {.ntrace = 129}},
                        {"no samples", {.nsamp = 0}},
                        {"1025 samples", {.nsamp = 1025}},
                        {"negative samples", {.nsamp = -3}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Write("h.fpx", c.file.Bytes());
    vel::ShotRecord rec = Loaded();
    const vel::ShotRecord before = rec;
    std::int32_t irec = 1;
    int ierr = 0;
    vel::IMPORT(rec, "h.fpx", irec, ierr, false, false);
    EXPECT_EQ(ierr, -1);
    EXPECT_EQ(sup::LastUserMessage().text, Message("h.fpx"));
    EXPECT_EQ(rec.NTRACE, before.NTRACE);
    EXPECT_EQ(rec.TRACES, before.TRACES);
    EXPECT_EQ(rec.CRECNAME.View(), before.CRECNAME.View());
  }
  int ierr = 0;
  vel::ShotRecord rec;
  vel::FPIXIN(rec, "missing.fpx", ierr);
  EXPECT_EQ(ierr, -1);
  EXPECT_EQ(sup::LastUserMessage().text, "Cannot open file: " + Padded256("missing.fpx"));
}

TEST_F(FpxTest, ImportReadsFpxAsCodeThirteen) {
  Write("ok.FPX", FpxFile{.nsamp = 8, .ntrace = 1}.Bytes());
  vel::ShotRecord rec = Loaded();
  std::int32_t irec = 1;
  int ierr = 0;
  vel::IMPORT(rec, "ok.FPX", irec, ierr, false, false);
  ASSERT_EQ(ierr, 0) << sup::LastUserMessage().text;
  EXPECT_EQ(rec.IFORMAT, vel::kFormatFpx);
  EXPECT_EQ(rec.NSAMP, 8);
}

}  // namespace

namespace {

TEST(FpxDamage, SeededDamageThroughTheFuzzEntry) {
  instrument_fixtures::RunSeededDamage(
      {FpxFile{.nsamp = 16, .ntrace = 2}.Bytes(), FpxFile{.nsamp = 1024, .ntrace = 1}.Bytes()},
      5632, 1500, 13);
}

}  // namespace
