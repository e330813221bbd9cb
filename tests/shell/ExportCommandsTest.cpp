// The export commands run through the real program on a scripted screen:
// SEG-2 and SEG-Y files of the record read back, the messages without a
// record, the export button's pop-up, the GRM file built from trace files
// saved by the program, and write failures.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "display/PickFiles.h"
#include "formats/Seg2In.h"
#include "shell/ExportCommands.h"
#include "tests/TestSupport.h"
#include "tests/formats/SegyTestSupport.h"
#include "tests/shell/ProgramTestSupport.h"
#include "tests/toolkit/core/WindowTestSupport.h"
#include "toolkit/core/ToolkitState.h"

namespace {

namespace fs = std::filesystem;
using program_test::Decode;
using program_test::ProgramTest;
using vel::ShotRecord;

// A record of NTRACE traces of 16 samples at 0.5 ms, positions 2 m apart
// from 1 m, elevations 100 + j; PICKS (sample indices, 0 none) by trace.
ShotRecord FixtureRecord(std::string_view name, std::int32_t shot, std::vector<std::int32_t> picks) {
  ShotRecord r;
  r.CRECNAME = name;
  r.NTRACE = static_cast<std::int32_t>(picks.size());
  r.NSAMP = 16;
  EXPECT_TRUE(vel::RebuildTraceArrays(r));
  r.SAMPINT = 0.5f;
  r.TDELAY = -1.0f;
  r.ISHOT = shot;
  r.SHOTX = 0.5f * static_cast<float>(shot);
  r.SHOTELEV = 99.0f;
  r.SHOTDEPTH = 2.0f;
  r.SPACING = 2.0f;
  r.CUNITS = "m";
  r.LPICKS = true;
  for (std::int32_t j = 1; j <= r.NTRACE; ++j) {
    const auto i = static_cast<std::size_t>(j - 1);
    r.GEOLOC[i] = 1.0f + 2.0f * static_cast<float>(i);
    r.GEOELE[i] = 100.0f + static_cast<float>(j);
    r.IBPICK[i] = picks[i];
    std::span<float> t = vel::Trace(r, j);
    for (std::size_t k = 0; k < t.size(); ++k)
      t[k] = static_cast<float>(shot) * 0.01f + std::sin(0.7f * static_cast<float>(k + i)) * 1.5e3f;
  }
  return r;
}

void SaveTrx(const fs::path& path, const ShotRecord& rec, const vel::TraceDisplayOptions& options = {}) {
  std::vector<std::byte> bytes;
  ASSERT_TRUE(vel::EncodeTraceFile(rec, {}, options, bytes));
  testing_support::WriteFile(path, std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

std::string Lines(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& l : lines) out += l + "\r\n";
  return out;
}

std::string Quoted(const std::vector<fs::path>& paths) {
  std::string out;
  for (const fs::path& p : paths) out += (out.empty() ? "\"" : " \"") + p.string() + "\"";
  return out;
}

// The data format code of the first trace of a SEG-2 file (1 16-bit, 2 32-bit
// integer, 4 32-bit float); 0 when the file is too short.
int Seg2FirstTraceFormat(const fs::path& path) {
  const std::string b = testing_support::ReadFile(path);
  if (b.size() < 36) return 0;
  const bool little = static_cast<unsigned char>(b[0]) == 0x55;
  const auto u32 = [&](std::size_t at) {
    std::uint32_t v = 0;
    for (int k = 0; k < 4; ++k) {
      const auto byte = static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + static_cast<std::size_t>(k)]));
      v |= little ? byte << (8 * k) : byte << (8 * (3 - k));
    }
    return v;
  };
  const std::size_t at = u32(32);
  return at + 12 < b.size() ? b[at + 12] : 0;
}

class ExportCommandsTest : public ProgramTest {
 protected:
  // Opens the trace file PATH as the program's record.
  void OpenFirst(const fs::path& path) { Choose(path); }
};

TEST(ExportProposal, RecordNameBlankedFromADotAtPositionTwoOrLater) {
  struct Case {
    const char* name;
    const char* want;
  };
  for (const Case& c : std::vector<Case>{{"shot12", "shot12"},
                                         {"shot12.sg2", "shot12"},
                                         {"a.b.c", "a"},
                                         {".hidden", ".hidden"},
                                         {"..x", "..x"},
                                         {"line 4 shot.7", "line 4 shot"}}) {
    ShotRecord r;
    r.CRECNAME = c.name;
    const std::string p = vel::ProposedOutputName(r);
    EXPECT_EQ(p.size(), 256u) << c.name;
    EXPECT_EQ(std::string(plat::TrimRight(p)), c.want) << c.name;
  }
}

TEST_F(ExportCommandsTest, Seg2OfShot12ReadsBackAndTheFormatCodeIsShared) {
  const ShotRecord rec = FixtureRecord("x", 3, {4, 5, 0, 6});
  SaveTrx(dir_ / "shot12.trx", rec);
  OpenFirst(dir_ / "shot12.trx");
  Choose(dir_ / "shot12");  // the proposal, typed as it stands: the extension is added
  harness_.Answer("dialog 128", "1169=1\npress 1");
  Choose(dir_ / "ieee");
  harness_.Answer("dialog 124", "1242=1\n1174=1\npress 1");
  Choose(dir_ / "short");
  harness_.Answer("dialog 128", "press 1");
  Run({[] { Post(vel::kCommandOpen); }, [] { Post(vel::kCommandExportSeg2); },
       [] { Post(vel::kCommandExportSegy); }, [] { Post(vel::kCommandExportSeg2); }});
  EXPECT_TRUE(messages_.empty()) << messages_.front();
  ASSERT_TRUE(fs::exists(dir_ / "shot12.SG2"));
  ShotRecord back;
  int ierr = 1;
  vel::SEG2IN(back, (dir_ / "shot12.SG2").string(), ierr, false);
  ASSERT_EQ(ierr, 0);
  EXPECT_EQ(back.NTRACE, rec.NTRACE);
  EXPECT_EQ(back.NSAMP, rec.NSAMP);
  EXPECT_EQ(back.TRACES, rec.TRACES);  // 32-bit floats: exactly
  EXPECT_EQ(Seg2FirstTraceFormat(dir_ / "shot12.SG2"), 4);
  // IEEE float chosen for SEG-Y shows the SEG-2 dialog on 16-bit integers.
  EXPECT_TRUE(fs::exists(dir_ / "ieee.SGY"));
  EXPECT_EQ(Seg2FirstTraceFormat(dir_ / "short.SG2"), 1);
}

TEST_F(ExportCommandsTest, SegyReadsBackThroughSegyioInIeeeAndIbmFloat) {
  if (!segy_test::SegyioAvailable()) GTEST_SKIP() << "python3-segyio is not installed";
  const ShotRecord rec = FixtureRecord("rec", 5, {3, 4, 5});
  SaveTrx(dir_ / "rec.trx", rec);
  OpenFirst(dir_ / "rec.trx");
  Choose(dir_ / "ieee.sgy");
  harness_.Answer("dialog 124", "1242=1\n1175=1\npress 1");
  Choose(dir_ / "ibm.sgy");
  harness_.Answer("dialog 124", "1169=1\npress 1");
  Run({[] { Post(vel::kCommandOpen); }, [] { Post(vel::kCommandExportSegy); },
       [] { Post(vel::kCommandExportSegy); }});
  EXPECT_TRUE(messages_.empty()) << messages_.front();
  const segy_test::SegyioRead ieee = segy_test::ReadWithSegyio(dir_ / "ieee.sgy", false);
  ASSERT_TRUE(ieee.ok);
  EXPECT_EQ(ieee.traces, rec.NTRACE);
  EXPECT_EQ(ieee.samples, rec.NSAMP);
  EXPECT_EQ(ieee.format, 5);
  EXPECT_EQ(ieee.data, rec.TRACES);
  const segy_test::SegyioRead ibm = segy_test::ReadWithSegyio(dir_ / "ibm.sgy", false);
  ASSERT_TRUE(ibm.ok);
  EXPECT_EQ(ibm.traces, rec.NTRACE);
  EXPECT_EQ(ibm.format, 1);
  ASSERT_EQ(ibm.data.size(), rec.TRACES.size());
  for (std::size_t i = 0; i < rec.TRACES.size(); ++i)
    EXPECT_NEAR(ibm.data[i], rec.TRACES[i], std::abs(rec.TRACES[i]) * 1e-6f) << i;
}

TEST_F(ExportCommandsTest, AuxiliaryTracesNotHeldAreNotPromisedInTheSegyFile) {
  if (!segy_test::SegyioAvailable()) GTEST_SKIP() << "python3-segyio is not installed";
  // Four data traces and two auxiliary ones; the trace file keeps the data
  // traces and the auxiliary count.
  ShotRecord rec = FixtureRecord("aux", 1, {3, 4, 5, 6, 0, 0});
  rec.NTRACE = 4;
  rec.NAUX = 2;
  SaveTrx(dir_ / "aux.trx", rec);
  OpenFirst(dir_ / "aux.trx");
  Choose(dir_ / "aux.sgy");
  harness_.Answer("dialog 124", "1242=1\n1175=1\npress 1");
  Run({[] { Post(vel::kCommandOpen); }, [] { Post(vel::kCommandExportSegy); }});
  EXPECT_TRUE(messages_.empty()) << messages_.front();
  const segy_test::SegyioRead r = segy_test::ReadWithSegyio(dir_ / "aux.sgy", false);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.traces, 4);
  EXPECT_EQ(fs::file_size(dir_ / "aux.sgy"), 3600u + 4u * (240u + 16u * 4u));
  const std::string bytes = testing_support::ReadFile(dir_ / "aux.sgy");
  EXPECT_EQ(bytes[3214], 0);  // auxiliary traces per record
  EXPECT_EQ(bytes[3215], 0);
}

TEST_F(ExportCommandsTest, WithoutARecordOrPicksTheExportsSayWhy) {
  ShotRecord unpicked = FixtureRecord("u", 1, {2, 3});
  unpicked.LPICKS = false;
  SaveTrx(dir_ / "u.trx", unpicked);
  Choose(dir_ / "u.trx");
  Run({[] { Post(vel::kCommandExportSeg2); }, [] { Post(vel::kCommandExportSegy); },
       [] { Post(vel::kCommandExportPicks); }, [] { Post(vel::kCommandExportAscii); },
       [] { Post(vel::kCommandWriteTraceAscii); }, [] { Post(vel::kCommandOpen); },
       [] { Post(vel::kCommandExportPicks); }});
  EXPECT_EQ(messages_, (std::vector<std::string>{"PLEASE LOAD TRACES FIRST", "PLEASE LOAD TRACES FIRST",
                                                 "PLEASE LOAD TRACES AND PICK BREAKS FIRST",
                                                 "PLEASE PICK BREAKS FIRST"}));
}

TEST_F(ExportCommandsTest, TheExportButtonOffersThePopupWhoseEntryIsTheOrdinaryCommand) {
  // The pop-up's entries are enabled with the main menu's once a record is
  // loaded.
  ShotRecord unpicked = FixtureRecord("u", 1, {2, 3});
  unpicked.LPICKS = false;
  SaveTrx(dir_ / "u.trx", unpicked);
  Choose(dir_ / "u.trx");
  Run({[] { Post(vel::kCommandOpen); },
       [this] {
         Post(vel::kCommandExportButton);
         // A moment later the pop-up is up and the user picks an entry.
         harness_.Pause(20).PickOpenMenuItem(vel::kCommandExportPicks);
       }});
  EXPECT_EQ(messages_, std::vector<std::string>{"PLEASE PICK BREAKS FIRST"});
}

TEST_F(ExportCommandsTest, PickFileOfTheRecordWithItsNameProposed) {
  SaveTrx(dir_ / "line.trx", FixtureRecord("line", 2, {3, 0, 5}));
  OpenFirst(dir_ / "line.trx");
  harness_.Answer("dialog 129", "1187=1\n1244=1\n1251=1\n1249=1\npress 1");
  Choose(dir_ / "line");
  Run({[] { Post(vel::kCommandOpen); }, [] { Post(vel::kCommandExportPicks); }});
  EXPECT_TRUE(messages_.empty()) << messages_.front();
  EXPECT_EQ(testing_support::ReadFile(dir_ / "line.PCK"),
            Lines({"line" + std::string(28, ' '), "    1,     1.000,     0.500",
                   "    2,     3.000,      DEAD", "    3,     5.000,     1.500"}));
}

// The GRM file of three trace files, the second without any pick; C has a
// dead trace 2.
class GrmExportTest : public ExportCommandsTest {
 protected:
  void SetUp() override {
    a_ = FixtureRecord("a", 10, {3, 4, 5});
    b_ = FixtureRecord("b", 20, {0, 0, 0});
    b_.CUNITS = "ft";
    b_.SPACING = 5.0f;
    c_ = FixtureRecord("c", 30, {6, 0, 8});
    later_.TRACECLIP = 3.5f;
    SaveTrx(dir_ / "a.trx", a_);
    SaveTrx(dir_ / "b.trx", b_);
    SaveTrx(dir_ / "c.trx", c_, later_);
  }
  // Dialog 150 (IDEADOUT 1 or 2), the trace files, the GRM file.
  void Script(int dead, const std::vector<fs::path>& files, const fs::path& grm) {
    harness_.Answer("dialog 150", dead >= 2 ? "1244=1\npress 1" : "1243=1\npress 1");
    harness_.Answer("filedialog", Quoted(files));
    Choose(grm);
  }
  ShotRecord a_, b_, c_;
  vel::TraceDisplayOptions later_;
  const std::string header_ = "     line1     m        2.000";
  const std::vector<std::string> empty5_ = {"", "", "", "", ""};
  const std::vector<std::string> blockA_ = {
      " SHOT:   10 LOCATION:    5.00 ELEVATION:   99.00 DEPTH:    2.00",
      "       1.0000       0.5000     101.0000", "       3.0000       1.0000     102.0000",
      "       5.0000       1.5000     103.0000", " "};
  std::vector<std::string> BlockC(bool dead) const {
    std::vector<std::string> b = {" SHOT:   30 LOCATION:   15.00 ELEVATION:   99.00 DEPTH:    2.00",
                                  "       1.0000       2.0000     101.0000"};
    if (dead) b.push_back("       3.0000         DEAD     102.0000");
    b.push_back("       5.0000       3.0000     103.0000");
    b.push_back(" ");
    return b;
  }
  std::string File(std::vector<std::vector<std::string>> blocks, std::string header = {}) const {
    std::vector<std::string> lines{header.empty() ? header_ : header};
    lines.insert(lines.end(), empty5_.begin(), empty5_.end());
    for (const auto& b : blocks) lines.insert(lines.end(), b.begin(), b.end());
    return Lines(lines);
  }
};

TEST_F(GrmExportTest, ThreeFilesTheSecondWithoutPicksGiveTwoBlocks) {
  // A record of its own is loaded first; the export leaves it alone but
  // takes the display options of the last file read.
  SaveTrx(dir_ / "cur.trx", FixtureRecord("cur", 7, {2, 2}));
  Choose(dir_ / "cur.trx");
  Script(1, {dir_ / "a.trx", dir_ / "b.trx", dir_ / "c.trx"}, dir_ / "line1.grm");
  Choose(dir_ / "after.trx");
  std::string title;
  Run({[] { Post(vel::kCommandOpen); }, [] { Post(vel::kCommandExportGrm); },
       [&] {
         title = Title();
         Post(vel::kCommandSaveAs);
       }});
  EXPECT_TRUE(messages_.empty()) << messages_.front();
  EXPECT_EQ(testing_support::ReadFile(dir_ / "line1.grm"), File({blockA_, BlockC(false)}));
  EXPECT_EQ(title, TitleOf("cur"));
  const vel::TrxContents after = Decode(dir_ / "after.trx");
  program_test::ExpectSameRecord(after.record, FixtureRecord("cur", 7, {2, 2}));
  EXPECT_EQ(after.options.TRACECLIP, 3.5f);
}

TEST_F(GrmExportTest, OneFileWorksLikeSeveralAndDeadTracesFollowTheOption) {
  Script(2, {dir_ / "c.trx"}, dir_ / "line1.grm");
  Script(2, {dir_ / "b.trx"}, dir_ / "only b.grm");
  Run({[] { Post(vel::kCommandExportGrm); }, [] { Post(vel::kCommandExportGrm); }});
  EXPECT_TRUE(messages_.empty()) << messages_.front();
  EXPECT_EQ(testing_support::ReadFile(dir_ / "line1.grm"), File({BlockC(true)}));
  // The header comes from the first file even when it adds no block; the
  // stem stops at the name's first ".".
  EXPECT_EQ(testing_support::ReadFile(dir_ / "only b.grm"), File({}, "     only b    ft       5.000"));
}

TEST_F(GrmExportTest, CancelDuringTheFirstFileKeepsTheHeaderAndThatBlock) {
  sup::SetAbortPollHook([] { return true; });  // Cancel pressed in dialog 102
  Script(1, {dir_ / "a.trx", dir_ / "b.trx", dir_ / "c.trx"}, dir_ / "line1.grm");
  Run({[] { Post(vel::kCommandExportGrm); }});
  EXPECT_EQ(testing_support::ReadFile(dir_ / "line1.grm"), File({blockA_}));
}

TEST_F(GrmExportTest, AFileThatCannotBeReadIsSkippedAndTheHeaderComesFromTheNext) {
  testing_support::WriteFile(dir_ / "bad.trx", "VELLTRAC but nothing else");
  Script(1, {dir_ / "bad.trx", dir_ / "a.trx", dir_ / "bad.trx", dir_ / "c.trx"}, dir_ / "line1.grm");
  Run({[] { Post(vel::kCommandExportGrm); }});
  ASSERT_EQ(messages_.size(), 2u);  // the reader's, once per bad file
  EXPECT_EQ(testing_support::ReadFile(dir_ / "line1.grm"), File({blockA_, BlockC(false)}));
}

TEST_F(GrmExportTest, AGrmFileThatCannotBeWrittenIsToldAndEndsTheExport) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  // A file whose writes fail once it is open.
  fs::create_symlink("/dev/full", dir_ / "full.grm");
  Script(1, {dir_ / "a.trx", dir_ / "c.trx"}, dir_ / "full.grm");
  harness_.Answer("messagebox", "Yes");  // replace the existing file
  Script(1, {dir_ / "a.trx"}, "/proc/velloran-cannot-create.grm");
  Run({[] { Post(vel::kCommandExportGrm); }, [] { Post(vel::kCommandExportGrm); }});
  ASSERT_EQ(messages_.size(), 3u);
  EXPECT_EQ(messages_[0], "Error writing the header of GRM file: " + (dir_ / "full.grm").string());
  EXPECT_EQ(messages_[1], (dir_ / "full.grm").string() + ": No space left on device");
  const std::string cannot = "/proc/velloran-cannot-create.grm";
  EXPECT_EQ(messages_[2], "Cannot open GRM file: " + cannot + std::string(256 - cannot.size(), ' '));
}

TEST_F(ExportCommandsTest, OutputFilesThatCannotBeWrittenAreTold) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  SaveTrx(dir_ / "w.trx", FixtureRecord("w", 1, {2, 3}));
  OpenFirst(dir_ / "w.trx");
  // Files whose writes fail once they are open; replacing them is confirmed.
  for (const char* name : {"full.SG2", "full.SGY", "full.PCK"})
    fs::create_symlink("/dev/full", dir_ / name);
  Choose(dir_ / "full");
  harness_.Answer("messagebox", "Yes");
  harness_.Answer("dialog 128", "press 1");
  Choose(dir_ / "full");
  harness_.Answer("messagebox", "Yes");
  harness_.Answer("dialog 124", "press 1");
  harness_.Answer("dialog 129", "press 1");
  Choose(dir_ / "full");
  harness_.Answer("messagebox", "Yes");
  Run({[] { Post(vel::kCommandOpen); }, [] { Post(vel::kCommandExportSeg2); },
       [] { Post(vel::kCommandExportSegy); }, [] { Post(vel::kCommandExportPicks); }});
  // Each writer says what failed, then the system says why.
  const auto why = [this](const char* ext) {
    return (dir_ / "full").string() + ext + ": No space left on device";
  };
  ASSERT_EQ(messages_.size(), 6u);
  EXPECT_EQ(messages_[0].rfind("SEG2OUT - ", 0), 0u) << messages_[0];
  EXPECT_EQ(messages_[1], why(".SG2"));
  EXPECT_EQ(messages_[2].rfind("SEGYOUT - ", 0), 0u) << messages_[2];
  EXPECT_EQ(messages_[3], why(".SGY"));
  EXPECT_EQ(messages_[4], "Error writing first record in pick file");
  EXPECT_EQ(messages_[5], why(".PCK"));
}

// Write Trace as ASCII acts on a trace of the record only.
class WriteTraceTest : public tk::testing::ToolkitWindowTest {
 protected:
  void TearDown() override {
    tk::ResetToolkitForTesting();
    ToolkitWindowTest::TearDown();
    fs::current_path(before_);  // the save dialog keeps the folder chosen
  }
  fs::path before_ = fs::current_path();
  testing_support::TempDir dir;
};

TEST_F(WriteTraceTest, OnlyATraceOfTheRecordIsWritten) {
  auto app = std::make_unique<vel::Velloran>();
  app->record = FixtureRecord("t", 1, {2, 3, 4});
  app->loaded = true;
  for (const std::int32_t outside : {0, 4, -1}) {
    app->selectedTrace = outside;
    harness.Answer("filedialog", (dir / "outside.txt").string());
    vel::WriteTraceAsciiCommand(*app);
    EXPECT_FALSE(fs::exists(dir / "outside.txt")) << outside;
    harness.Backend().ScriptedAnswer("filedialog");  // the answer nobody asked for
  }
  app->selectedTrace = 2;
  harness.Answer("filedialog", (dir / "two.txt").string());
  vel::WriteTraceAsciiCommand(*app);
  const std::string text = testing_support::ReadFile(dir / "two.txt");
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 16);  // one line per sample
  // Without a record nothing happens, whatever is selected.
  app->loaded = false;
  harness.Answer("filedialog", (dir / "none.txt").string());
  vel::WriteTraceAsciiCommand(*app);
  vel::ExportAsciiCommand(*app);
  EXPECT_FALSE(fs::exists(dir / "none.txt"));
}

}  // namespace
