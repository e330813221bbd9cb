// The command records of the HP-GL drivers: blank collapsing, the lead-in
// blank, labels and raw records, and the annotation records.
#include <gtest/gtest.h>

#include <functional>

#include "tests/toolkit/hardcopy/HpglTestSupport.h"
#include "toolkit/hardcopy/HpglRecords.h"

namespace tk::testing {
namespace {

class HpglRecordsTest : public GraphicsTest {
 protected:
  /// What WRITE puts into a fresh stream 2, with RecordLeadIn LEAD_IN,
  /// option 18 NOTES and plotter units equal to device units.
  std::string Written(int leadIn, int notes, const std::function<void()>& write) {
    DriverText() = (dir.path() / "records.plt").string();
    DriverText().resize(kDriverTextLength, ' ');
    PlotFileOpen(2);
    EXPECT_EQ(PlotFileStatus(), 0);
    DriverParameters& dp = DriverParams();
    dp.recordLeadIn = leadIn;
    dp.factorX = dp.factorY = 1.0f;
    HardcopyOptionStore(18, notes);
    write();
    PlotFileClose(2);
    return ::testing_support::ReadFile(dir.path() / "records.plt");
  }
  ::testing_support::TempDir dir;
};

TEST_F(HpglRecordsTest, RecordsAsWritten) {
  struct Case {
    const char* name;
    int leadIn;
    int notes;
    std::function<void()> write;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {"point in plotter units", 2, 1, [] { YYHPXY("PU", 120, 3400); }, "PU120 3400\r\n"},
      {"lead-in blank", 1, 1, [] { YYHPXY("PU", 120, 3400); }, " PU120 3400\r\n"},
      {"lead-in blank of a label", 1, 1, [] { YYHPLB("A\4", 2); }, " LBA\4\r\n"},
      {"label without lead-in", 2, 1, [] { YYHPLB("A\4", 2); }, "LBA\4\r\n"},
      {"label keeps its blanks", 2, 1, [] { YYHPLB("A  B   C\4", 9); }, "LBA  B   C\4\r\n"},
      {"raw record keeps its blanks", 1, 1, [] { YYHPRAW("PE7  ab", 7); }, " PE7  ab\r\n"},
      {"single inner blank kept", 2, 1, [] { YYHPCMD("PU;SP0 ;PG;", 11); }, "PU;SP0 ;PG;\r\n"},
      {"blanks after the copied part collapse", 2, 1, [] { YYHPCMD("PU;SP  5", 8); },
       "PU;SP 5\r\n"},
      {"leading blanks after the mnemonic vanish", 2, 1, [] { YYHPCMD("SP   3   ", 9); },
       "SP3\r\n"},
      {"mnemonic alone", 2, 1,
       [] {
         CommandRecordSet("LT");
         CommandRecordPut(3, "    ");
         YYHPREC();
       },
       "LT\r\n"},
      {"length cuts the text", 2, 1, [] { YYHPCMD("PM2;FP", 3); }, "PM2\r\n"},
      {"negative length writes the bare line", 2, 1, [] { YYHPCMD("PU", -4); }, "\r\n"},
      {"header records", 2, 1,
       [] {
         WriteInitialisation(false, {400, 0, 10900, 7480});
       },
       "IN; IP 400 0 10900 7480\r\nRO0; IP 400 0 10900 7480\r\n"},
      {"rotated header", 2, 1,
       [] {
         WriteInitialisation(true, {1, 2, 3, 4});
       },
       "IN; IP 1 2 3 4\r\nRO90; IP 1 2 3 4\r\n"},
      {"white colour annotation", 2, 1, [] { YYHPNOTE(1, true, 16777215, 0, 0); },
       "SC-1 16777215 0 32760 ;SC0 32760 0 32760\r\n"},
      {"file description", 2, 1, [] { YYHPNOTE(2, false, 9, 0, 0); }, "SC-2 9 0 32760\r\n"},
      {"device description, two-digit kind", 2, 1, [] { YYHPNOTE(13, false, 7, 0, 0); },
       "SC-13 7 0 32760\r\n"},
      {"fill annotation", 2, 1, [] { YYHPNOTE(6, false, 4, 2, 13); }, "SC-6 4 2 32773\r\n"},
      {"end of a fill", 2, 1, [] { YYHPNOTE(11, true, -1, 0, 0); },
       "SC-11 -1 0 32760 ;SC0 32760 0 32760\r\n"},
      {"vertex", 2, 1, [] { YYHPVTX(120, 3400); }, "SC-9 120 3400 0\r\n"},
      {"real vertex", 2, 1, [] { YYHPVTXR(1.5f, -0.25f); }, "SC-9 1.5000 -0.2500 0\r\n"},
      {"no annotation with option 18 zero", 2, 0,
       [] {
         YYHPNOTE(1, true, 0, 0, 0);
         YYHPVTX(1, 2);
         YYHPVTXR(1, 2);
       },
       ""},
      {"plotter units truncate toward zero", 2, 1,
       [] {
         DriverParams().factorX = 2.5f;
         DriverParams().factorY = 2.5f;
         YYHPXY("PD", 1.3f, -1.3f);
       },
       "PD3 -3\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Written(c.leadIn, c.notes, c.write), c.expected);
  }
}

TEST(HpglCollapse, CopiesTheMnemonicAsItStands) {
  EXPECT_EQ(CollapseBlanks(" X  1", 5), " X1");
  EXPECT_EQ(CollapseBlanks("IN; IP    400      0", 20), "IN; IP 400 0");
  EXPECT_EQ(CollapseBlanks("RO  0; IP", 9), "RO0; IP");
  EXPECT_EQ(CollapseBlanks("P", 1), "P");
  EXPECT_EQ(CollapseBlanks("PU", 10), "PU");
}

}  // namespace
}  // namespace tk::testing
