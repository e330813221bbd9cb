// Pick files and GRM shot blocks written byte for byte, their failures, and
// the two option dialogs.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "display/PickFiles.h"
#include "support/FileIO.h"
#include "support/UserMessages.h"
#include "tests/TestSupport.h"
#include "tests/toolkit/core/WindowTestSupport.h"
#include "toolkit/core/ToolkitState.h"
#include "toolkit/dialogs/Dialogs.h"

namespace {

namespace fs = std::filesystem;
using vel::PickExportOptions;
using vel::ShotRecord;

// Three traces: trace 1 picked at 3 ms, trace 2 without a pick, trace 3
// picked at 1,000,000.5 ms (too wide for F10.3).
ShotRecord SmallRecord() {
  ShotRecord r;
  r.CRECNAME = "pickrec";
  r.NTRACE = 3;
  r.NSAMP = 10;
  EXPECT_TRUE(vel::RebuildTraceArrays(r));
  r.SAMPINT = 0.25f;
  r.TDELAY = 0.5f;
  r.SHOTX = 7.25f;
  r.SHOTELEV = 100.5f;
  r.SHOTDEPTH = 1.5f;
  r.ISHOT = 12;
  r.GEOLOC = {0.0f, 2.5f, 5.0f};
  r.GEOELE = {10.0f, 11.0f, 12.5f};
  r.IBPICK = {10, 0, 4000000};
  return r;
}

PickExportOptions Options(int layout, int dead, bool csv, int position,
                          std::string_view text = "    DEAD") {
  PickExportOptions o;
  o.IPICKOUT = layout;
  o.IDEADOUT = dead;
  o.CSValue = csv;
  o.IPOSOUT = position;
  o.CDEADOUT = text;
  return o;
}

std::string Lines(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& l : lines) out += l + "\r\n";
  return out;
}

class PickFilesTest : public ::testing::Test {
 protected:
  PickFilesTest() {
    sup::SetUserMessageHook([this](sup::UserMessageKind, std::string_view, std::string_view text) {
      messages.emplace_back(text);
    });
  }
  ~PickFilesTest() override { sup::SetUserMessageHook({}); }
  testing_support::TempDir dir;
  std::vector<std::string> messages;
};

const std::string kNameLine = "pickrec" + std::string(25, ' ');

TEST_F(PickFilesTest, PickFileEveryLayoutByteForByte) {
  struct Case {
    const char* what;
    PickExportOptions options;
    std::vector<std::string> lines;  // after the name line
  };
  const std::vector<Case> cases = {
      {"number and time, dead left out", Options(1, 1, false, 1),
       {"    1     3.000", "    3**********"}},
      {"layout 0 acts as 1; CSV; dead written", Options(0, 2, true, 1),
       {"    1,     3.000", "    2,      DEAD", "    3,**********"}},
      {"position and time; dead 0 leaves out", Options(2, 0, false, 1),
       {"     0.000     3.000", "     5.000**********"}},
      {"position 0 writes offsets from the shot", Options(2, 2, true, 0),
       {"     7.250,     3.000", "     4.750,      DEAD", "     2.250,**********"}},
      {"number, offset and time, own dead text", Options(3, 2, false, 2, "NOPICK"),
       {"    1     7.250     3.000", "    2     4.750  NOPICK  ", "    3     2.250**********"}},
      {"layout above 3 acts as 3", Options(7, 1, true, 1),
       {"    1,     0.000,     3.000", "    3,     5.000,**********"}},
  };
  const ShotRecord rec = SmallRecord();
  for (const Case& c : cases) {
    const fs::path out = dir / "out.pck";
    int ierr = 1;
    vel::PICKOUT(rec, out.string(), c.options, ierr);
    EXPECT_EQ(ierr, 0) << c.what;
    std::vector<std::string> all{kNameLine};
    all.insert(all.end(), c.lines.begin(), c.lines.end());
    EXPECT_EQ(testing_support::ReadFile(out), Lines(all)) << c.what;
  }
  EXPECT_TRUE(messages.empty());
}

TEST_F(PickFilesTest, PickLinesOfTheDocumentedExamples) {
  ShotRecord r;
  r.NTRACE = 12;
  r.NSAMP = 200;
  ASSERT_TRUE(vel::RebuildTraceArrays(r));
  r.SAMPINT = 0.25f;
  r.GEOLOC[11] = 10.5f;
  r.IBPICK[11] = 93;  // 23.25 ms
  const std::string dead7 = vel::PickFileLine(r, 7, Options(1, 2, false, 1));
  EXPECT_EQ(dead7, "    7      DEAD");
  EXPECT_EQ(dead7.size(), 15u);
  EXPECT_EQ(vel::PickFileLine(r, 12, Options(3, 1, true, 1)), "   12,    10.500,    23.250");
  EXPECT_EQ(vel::PickFileLine(r, 7, Options(1, 1, false, 1)), "");
}

TEST_F(PickFilesTest, PickFileOfARecordWithoutPicksHoldsTheNameLineOnly) {
  ShotRecord r = SmallRecord();
  r.IBPICK = {0, -3, 0};
  int ierr = 1;
  vel::PICKOUT(r, (dir / "none.pck").string(), Options(1, 1, false, 1), ierr);
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(testing_support::ReadFile(dir / "none.pck"), kNameLine + "\r\n");
  // Per-trace arrays shorter than the record count their missing traces as dead.
  r.IBPICK = {10};
  vel::PICKOUT(r, (dir / "short.pck").string(), Options(1, 2, false, 1), ierr);
  EXPECT_EQ(testing_support::ReadFile(dir / "short.pck"),
            Lines({kNameLine, "    1     3.000", "    2      DEAD", "    3      DEAD"}));
}

TEST_F(PickFilesTest, PickFileFailuresAreToldAndEndTheWriting) {
  const ShotRecord rec = SmallRecord();
  int ierr = 0;
  const std::string missing = (dir / "no" / "such" / "x.pck").string();
  vel::PICKOUT(rec, missing, Options(1, 1, false, 1), ierr);
  EXPECT_EQ(ierr, -1);
  ASSERT_FALSE(messages.empty());
  EXPECT_EQ(messages.back(), "Cannot open file:" + missing + std::string(256 - missing.size(), ' '));
  if (fs::exists("/dev/full")) {
    messages.clear();
    vel::PICKOUT(rec, "/dev/full", Options(1, 1, false, 1), ierr);
    EXPECT_EQ(ierr, -1);
    EXPECT_EQ(messages, (std::vector<std::string>{"Error writing first record in pick file",
                                                  "/dev/full: No space left on device"}));
  }
}

TEST_F(PickFilesTest, GrmHeaderStemAndUnits) {
  struct StemCase {
    const char* path;
    const char* stem;
  };
  for (const StemCase& c : std::vector<StemCase>{{"/a/b/line1.grm", "line1   "},
                                                  {"C:\\x\\longname12.GRM", "longname"},
                                                  {"/a/.hidden.grm", "        "},
                                                  {"/a/abc.def.grm", "abc     "},
                                                  {"/a b/my shot.grm", "my shot "},
                                                  {"abcdefgh.grm", "abcdefgh"},
                                                  {"abcdefghij", "abcdefgh"}})
    EXPECT_EQ(vel::GrmStem(c.path), c.stem) << c.path;

  struct UnitCase {
    std::string units;
    const char* want;
  };
  ShotRecord r;
  for (const UnitCase& c : std::vector<UnitCase>{{"m", "m   "},
                                                 {"FEET", "FEET"},
                                                 {std::string("\x01\x02\x7f "), "****"},
                                                 {"", "****"},
                                                 {"f\tt", "f t "},
                                                 {std::string("\xb5m"), " m  "}}) {
    r.CUNITS = c.units;
    EXPECT_EQ(vel::GrmUnits(r), c.want) << c.units;
  }
  r.CUNITS = "m";
  r.SPACING = 2.5f;
  EXPECT_EQ(vel::GrmHeaderLine("line1   ", r), "     line1     m        2.500");
}

TEST_F(PickFilesTest, ShotBlocksByteForByte) {
  const ShotRecord rec = SmallRecord();
  const std::string shot = " SHOT:   12 LOCATION:    7.25 ELEVATION:  100.50 DEPTH:    1.50";
  const std::string t1 = "       0.0000       3.0000      10.0000";
  const std::string t3 = "       5.0000 1000000.5000      12.5000";
  const std::string dead = "       2.5000         DEAD      11.0000";
  struct Case {
    PickExportOptions options;
    std::string want;
  };
  for (const Case& c : std::vector<Case>{{Options(1, 1, false, 1), Lines({shot, t1, t3, " "})},
                                         {Options(3, 2, true, 0), Lines({shot, t1, dead, t3, " "})}}) {
    const fs::path out = dir / "shots.grm";
    int ih = sup::MAKEFIL(out.string());
    ASSERT_GE(ih, 0);
    int ierr = 1;
    vel::SHOTOUT(rec, c.options, ih, ierr);
    EXPECT_EQ(ierr, 0);
    EXPECT_GE(ih, 0);
    sup::ICLSFIL(ih);
    EXPECT_EQ(testing_support::ReadFile(out), c.want);
  }
  // A record without any pick adds nothing, dead traces or not.
  ShotRecord none = rec;
  none.IBPICK = {0, 0, -1};
  const fs::path out = dir / "none.grm";
  int ih = sup::MAKEFIL(out.string());
  int ierr = 1;
  vel::SHOTOUT(none, Options(1, 2, false, 1), ih, ierr);
  EXPECT_EQ(ierr, 0);
  sup::ICLSFIL(ih);
  EXPECT_EQ(testing_support::ReadFile(out), "");
  EXPECT_TRUE(messages.empty());
}

TEST_F(PickFilesTest, AFailedShotLineIsToldClosesTheFileAndGivesTheErrorFlag) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  int ih = sup::MAKEFIL("/dev/full");
  ASSERT_GE(ih, 0);
  int ierr = 0;
  vel::SHOTOUT(SmallRecord(), Options(1, 1, false, 1), ih, ierr);
  EXPECT_EQ(ierr, -1);
  EXPECT_EQ(ih, -1);
  EXPECT_EQ(messages, (std::vector<std::string>{"Error writing file at record     0",
                                                "/dev/full: No space left on device"}));
  // A file already closed is a failure too, without writing anywhere.
  messages.clear();
  vel::SHOTOUT(SmallRecord(), Options(1, 1, false, 1), ih, ierr);
  EXPECT_EQ(ierr, -1);
  EXPECT_EQ(messages.size(), 1u);
}

class PickDialogsTest : public tk::testing::ToolkitWindowTest {
 protected:
  void TearDown() override {
    tk::ResetToolkitForTesting();
    ToolkitWindowTest::TearDown();
  }
};

TEST_F(PickDialogsTest, PickFileDialogShowsTheOptionsAndTakesThemOnOkOnly) {
  PickExportOptions o;  // as without a settings file
  int status = 1;
  harness.Answer("dialog 129", "press 1");
  vel::PICKOUTDLG(o, status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(o.IPICKOUT, 1);
  EXPECT_EQ(o.IDEADOUT, 1);
  EXPECT_EQ(o.IPOSOUT, 1);  // 0 before: offsets; after OK a position choice
  EXPECT_FALSE(o.CSValue);
  EXPECT_EQ(o.CDEADOUT.Str(), "    DEAD");

  harness.Answer("dialog 129", "1187=1\n1244=1\n1245=NONE\n1251=1\n1250=1\npress 1");
  vel::PICKOUTDLG(o, status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(o.IPICKOUT, 3);
  EXPECT_EQ(o.IDEADOUT, 2);
  EXPECT_EQ(o.IPOSOUT, 2);
  EXPECT_TRUE(o.CSValue);
  EXPECT_EQ(std::string(o.CDEADOUT.View()), "NONE    ");

  // Shown again with those values; Cancel changes nothing.
  const PickExportOptions before = o;
  harness.Answer("dialog 129", "1185=1\n1243=1\n1251=0\n1249=1\npress 2");
  vel::PICKOUTDLG(o, status);
  EXPECT_EQ(status, -1);
  EXPECT_EQ(o, before);
  tk::WDialogSelect(vel::kPickFileDialog);
  std::int32_t position = 0;
  tk::WDialogGetRadioButton(1185, position);
  EXPECT_EQ(position, 1);  // what the script clicked before Cancel
}

TEST_F(PickDialogsTest, DeadTraceDialogEditsTheDeadTracesOnly) {
  PickExportOptions o;
  o.IPICKOUT = 2;
  o.IPOSOUT = 1;
  int status = 1;
  harness.Answer("dialog 150", "1244=1\n1245=XX\npress 1");
  vel::PICKEXPORTDLG(o, status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(o.IDEADOUT, 2);
  EXPECT_EQ(std::string(o.CDEADOUT.View()), "XX      ");
  EXPECT_EQ(o.IPICKOUT, 2);
  EXPECT_EQ(o.IPOSOUT, 1);

  harness.Answer("dialog 150", "1243=1\npress 2");
  vel::PICKEXPORTDLG(o, status);
  EXPECT_EQ(status, -1);
  EXPECT_EQ(o.IDEADOUT, 2);
  // A text longer than eight characters keeps its first eight.
  harness.Answer("dialog 150", "1245=ABCDEFGHIJ\npress 1");
  vel::PICKEXPORTDLG(o, status);
  EXPECT_EQ(std::string(o.CDEADOUT.View()), "ABCDEFGH");
}

}  // namespace
