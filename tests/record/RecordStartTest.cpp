// Naming a record after its file, and the fresh record a read starts from.
#include <gtest/gtest.h>

#include <string>

#include "record/FreshRecord.h"
#include "record/RecordNaming.h"

namespace {

using vel::ReadStart;
using vel::RecordName;
using vel::ShotRecord;

TEST(RecordNaming, BareNameFirst32CharactersCutAtTheFirstDot) {
  struct Case {
    std::string file;
    std::string name;
  };
  const Case cases[] = {
      {"shot.sg2", "shot"},
      {"dir/sub/shot.sg2", "shot"},
      {"C:\\data\\A.B.SGY   ", "A"},  // first dot, backslash folders, padding
      {"data.d/LINE7", "LINE7"},      // a dot in a folder does not count
      {"/a.b/c\\.HIDDEN", ""},        // a leading dot blanks the whole name
      {"plain", "plain"},
      {"d/ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789.txt", "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345"},
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZ012345.6", "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345"},
      {"", ""},
      {"   ", ""},
      {"dir/", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    EXPECT_EQ(vel::RecordNameOfFile(c.file), RecordName(c.name));
  }
}

ShotRecord Held() {
  ShotRecord held;
  held.CRECNAME = "HELD";
  held.SPACING = 2.5f;
  held.SAMPINT = 0.25f;
  held.T0NMO = 33.0f;
  held.VNMO = 1800.0f;
  held.T0REF = 44.0f;
  held.VREF = 3100.0f;
  held.LRADAR = true;
  held.LSEGYHDR = true;
  held.ISEGYBIN[3] = std::byte{7};
  held.CNOTE = "note";
  held.NTRACE = 2;
  held.NSAMP = 3;
  EXPECT_TRUE(vel::RebuildTraceArrays(held, vel::SegyTraceHeaders::Allocate));
  held.TRACES[4] = 9.0f;
  return held;
}

TEST(FreshRecord, TakesOverWhatItsStartSaysAndLeavesTheHeldRecord) {
  ShotRecord held = Held();
  const ShotRecord defaults;

  const ShotRecord spacing = vel::FreshRecord(held, ReadStart::Spacing);
  EXPECT_EQ(spacing.SPACING, 2.5f);
  // The NMO and refractor values are the user's, set by no reader: they
  // survive every read.
  EXPECT_EQ(spacing.T0NMO, 33.0f);
  EXPECT_EQ(spacing.VNMO, 1800.0f);
  EXPECT_EQ(spacing.T0REF, 44.0f);
  EXPECT_EQ(spacing.VREF, 3100.0f);
  EXPECT_EQ(spacing.CRECNAME, defaults.CRECNAME);
  EXPECT_EQ(spacing.SAMPINT, 0.0f);
  EXPECT_FALSE(spacing.LSEGYHDR);

  const ShotRecord scalars = vel::FreshRecord(held, ReadStart::Scalars);
  EXPECT_EQ(scalars.CRECNAME, RecordName("HELD"));
  EXPECT_EQ(scalars.T0NMO, 33.0f);
  EXPECT_TRUE(scalars.LRADAR);
  EXPECT_TRUE(scalars.LSEGYHDR);
  EXPECT_EQ(scalars.ISEGYBIN[3], std::byte{7});
  EXPECT_EQ(scalars.CNOTE.Trimmed(), "note");
  EXPECT_EQ(scalars.NTRACE, 2);
  EXPECT_TRUE(scalars.TRACES.empty());
  EXPECT_TRUE(scalars.ISEGYTRH.empty());

  const ShotRecord header = vel::FreshRecord(held, ReadStart::MainHeader);
  EXPECT_EQ(header.CRECNAME, RecordName("HELD"));
  EXPECT_EQ(header.SAMPINT, 0.25f);
  EXPECT_TRUE(header.LRADAR);
  EXPECT_FALSE(header.LSEGYHDR);
  EXPECT_EQ(header.ISEGYBIN[3], std::byte{0});
  EXPECT_EQ(header.CNOTE.UsedLength(), 0u);
  EXPECT_TRUE(header.TRACES.empty());

  // The held record keeps its arrays and values whatever was taken.
  EXPECT_EQ(held.TRACES.size(), 6u);
  EXPECT_EQ(held.TRACES[4], 9.0f);
  EXPECT_EQ(held.ISEGYTRH.size(), 2u);
  EXPECT_EQ(held.CRECNAME, RecordName("HELD"));
}

TEST(FreshRecord, CommitsOnlyWhenTheReadSucceeds) {
  for (const bool ok : {false, true}) {
    SCOPED_TRACE(ok);
    ShotRecord rec = Held();
    const bool answer = vel::ReadThenCommit(rec, ReadStart::Spacing, [&](ShotRecord& fresh) {
      fresh.CRECNAME = "NEW";
      fresh.NTRACE = 1;
      return ok;
    });
    EXPECT_EQ(answer, ok);
    EXPECT_EQ(rec.CRECNAME, RecordName(ok ? "NEW" : "HELD"));
    EXPECT_EQ(rec.TRACES.size(), ok ? 0u : 6u);
    EXPECT_EQ(rec.SPACING, 2.5f);
  }
}

}  // namespace
