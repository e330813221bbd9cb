// The File commands run through the real program on a scripted screen:
// Import of public SEG-2 and SEG-Y records, Save As and Open of the program's
// trace file, and what a failed or cancelled Open leaves.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "record/RecordNaming.h"
#include "shell/FileCommands.h"
#include "shell/Import.h"
#include "shell/Velloran.h"
#include "tests/TestSupport.h"
#include "tests/shell/ProgramTestSupport.h"
#include "toolkit/core/Menus.h"

namespace {

namespace fs = std::filesystem;
using program_test::Decode;
using program_test::ExpectSameRecord;
using program_test::Imported;
using program_test::ProgramTest;
using vel::ShotRecord;

const fs::path kSeg2 = "obspy/seg2/20180307_031245000.0.seg2";
const fs::path kSegy = "segyio/small.sgy";

class FileCommandsTest : public ProgramTest {};

TEST_F(FileCommandsTest, ImportSeg2ThenSaveAsAndOpenGiveTheSameRecordOptionsAndAxes) {
  SKIP_WITHOUT_SHARED_DATA();
  const fs::path seg2 = testing_support::SharedData() / kSeg2;
  if (!fs::exists(seg2)) GTEST_SKIP() << seg2;
  // Display options of the run come from the settings file.
  vel::TraceDisplayOptions options;
  options.TRACECLIP = 3.5f;
  options.ITIMELINES = 3;
  options.LVARAREA = false;
  vel::SettingsValues values = vel::DefaultSettings(1920, 1080);
  testing_support::WriteFile(setup_.settings.files.work, "");
  vel::LASTDIR(options, values, setup_.settings);

  std::string afterImport, afterOpen;
  int saveEnabled = -1;
  Choose(seg2);
  Choose(dir_ / "a.trx");
  Choose(dir_ / "a.trx");
  Choose(dir_ / "b.trx");
  Run({[] { Post(vel::kCommandImport); },
       [&] {
         afterImport = Title();
         Post(vel::kCommandSaveAs);
       },
       [] { Post(vel::kCommandOpen); },
       [&] {
         afterOpen = Title();
         saveEnabled = tk::WMenuGetState(vel::kCommandSave, 1);
         Post(vel::kCommandSaveAs);
       }});
  EXPECT_TRUE(messages_.empty()) << messages_.front();
  const ShotRecord want = Imported(seg2);
  EXPECT_EQ(afterImport, TitleOf(vel::RecordNameOfFile(seg2.filename().string()).View()));
  EXPECT_EQ(afterOpen, TitleOf("a"));
  EXPECT_EQ(saveEnabled, 1);

  const vel::TrxContents a = Decode(dir_ / "a.trx");
  const vel::TrxContents b = Decode(dir_ / "b.trx");
  ExpectSameRecord(a.record, want);
  EXPECT_TRUE(a.record.LPICKS);  // the import marks the record as picked
  ExpectSameRecord(b.record, a.record);
  EXPECT_EQ(a.record.CRECNAME.Str(), "a");
  EXPECT_EQ(b.record.CRECNAME.Str(), "b");
  EXPECT_EQ(a.options.TRACECLIP, 3.5f);
  EXPECT_EQ(a.options.ITIMELINES, 3);
  EXPECT_FALSE(a.options.LVARAREA);
  EXPECT_EQ(b.options, a.options);
  EXPECT_EQ(sup::GraphAxesToWords(b.axes), sup::GraphAxesToWords(a.axes));
  // Both files differ in the record name only.
  std::string ta = testing_support::ReadFile(dir_ / "a.trx");
  std::string tb = testing_support::ReadFile(dir_ / "b.trx");
  ASSERT_EQ(ta.size(), tb.size());
  EXPECT_EQ(ta.substr(28 + 32), tb.substr(28 + 32));
}

TEST_F(FileCommandsTest, ImportSegyShowsTheRecordTitleAndSavesIt) {
  SKIP_WITHOUT_SHARED_DATA();
  const fs::path segy = testing_support::SharedData() / kSegy;
  if (!fs::exists(segy)) GTEST_SKIP() << segy;
  std::string title;
  Choose(segy);
  Choose(dir_ / "small.trx");
  Run({[] { Post(vel::kCommandImport); },
       [&] {
         title = Title();
         Post(vel::kCommandSaveAs);
       }});
  const ShotRecord want = Imported(segy);
  EXPECT_EQ(title, vel::RecordTitle(want));
  ExpectSameRecord(Decode(dir_ / "small.trx").record, want);
}

// The pointer over the main window shows the hourglass while the file is
// read and again while the picker runs, and the arrow after each.
TEST_F(FileCommandsTest, ImportShowsTheHourglassWhileItReadsAndPicks) {
  SKIP_WITHOUT_SHARED_DATA();
  const fs::path segy = testing_support::SharedData() / kSegy;
  if (!fs::exists(segy)) GTEST_SKIP() << segy;
  std::vector<plat::CursorShape> before, after;
  plat::CursorShape now = plat::CursorShape::Hourglass;
  const auto changes = [this] {
    const plat::NativeWindow native =
        plat::GetNativeWindow(tk::WindowFrameHandle(tk::kMainWindow));
    return harness_.Backend().Window(native)->cursorChanges;
  };
  Choose(segy);
  Run({[] {},  // the pointer comes over the main window first
       [&] {
         before = changes();
         Post(vel::kCommandImport);
       },
       [&] {
         after = changes();
         now = plat::CursorShownOver(tk::WindowClientHandle(tk::kMainWindow));
       }});
  ASSERT_GE(after.size(), before.size());
  after.erase(after.begin(), after.begin() + static_cast<std::ptrdiff_t>(before.size()));
  using plat::CursorShape;
  EXPECT_EQ(after, (std::vector<CursorShape>{CursorShape::Hourglass, CursorShape::Arrow,
                                             CursorShape::Hourglass, CursorShape::Arrow}));
  EXPECT_EQ(now, CursorShape::Arrow);
}

TEST_F(FileCommandsTest, AFailedOrCancelledOpenKeepsTheRecordTitleLoadedStateAndMenus) {
  // A record to start from, written as the program writes it.
  ShotRecord rec;
  rec.NTRACE = 3;
  rec.NSAMP = 8;
  ASSERT_TRUE(vel::RebuildTraceArrays(rec));
  rec.SAMPINT = 0.5f;
  rec.CRECNAME = "start";
  for (std::size_t i = 0; i < rec.TRACES.size(); ++i) rec.TRACES[i] = static_cast<float>(i);
  rec.IBPICK = {2, 0, 5};
  std::vector<std::byte> bytes;
  ASSERT_TRUE(vel::EncodeTraceFile(rec, {}, {}, bytes));
  const std::string good(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  testing_support::WriteFile(dir_ / "start.trx", good);
  testing_support::WriteFile(dir_ / "cut.trx", good.substr(0, good.size() - 30));
  testing_support::WriteFile(dir_ / "other.trx", "VELLTRAK" + good.substr(8));

  std::vector<std::string> titles;
  std::vector<int> saveStates;
  auto look = [&] {
    titles.push_back(Title());
    saveStates.push_back(tk::WMenuGetState(vel::kCommandSave, 1));
  };
  Choose(dir_ / "start.trx");
  Choose(dir_ / "cut.trx");
  Choose(dir_ / "other.trx");
  harness_.Answer("filedialog", "Cancel");
  Run({[] { Post(vel::kCommandOpen); },
       [&] {
         look();
         Post(vel::kCommandOpen);
       },
       [&] {
         look();
         Post(vel::kCommandOpen);
       },
       [&] {
         look();
         Post(vel::kCommandOpen);
       },
       [&] {
         look();
         fs::remove(dir_ / "start.trx");
         Post(vel::kCommandSave);  // still loaded: writes start.TRX
       }});
  ASSERT_EQ(titles.size(), 4u);
  for (std::size_t i = 0; i < titles.size(); ++i) {
    EXPECT_EQ(titles[i], TitleOf("start")) << i;
    EXPECT_EQ(saveStates[i], 1) << i;
  }
  ASSERT_EQ(messages_.size(), 2u);
  EXPECT_EQ(messages_[0].rfind("READ ERROR OR END OF FILE AT BYTE", 0), 0u) << messages_[0];
  EXPECT_EQ(messages_[1], "File is not Morvane Trace file");
  // Drawing the opened record completes the frame's derived words (pixel
  // scales); everything else is saved exactly as it was read.
  const auto withoutAxes = [](std::string file) {
    const std::size_t at = file.find("TRAXES  ");
    if (at != std::string::npos && at + vel::kTrxRecordHeaderBytes <= file.size())
      file.erase(at + vel::kTrxRecordHeaderBytes,
                 std::min(vel::kTrxAxesBytes, file.size() - at - vel::kTrxRecordHeaderBytes));
    return file;
  };
  EXPECT_EQ(withoutAxes(testing_support::ReadFile(dir_ / "start.TRX")), withoutAxes(good));
}

// A trace file whose stored frame has a time cell of a million page units
// (a frame no screen can show) opens with a fresh frame and draws at once.
TEST_F(FileCommandsTest, AStoredFrameNoScreenCanShowIsDroppedAndTheRecordDrawsQuickly) {
  ShotRecord rec;
  rec.NTRACE = 24;
  rec.NSAMP = 2000;
  ASSERT_TRUE(vel::RebuildTraceArrays(rec));
  rec.SAMPINT = 0.25f;
  rec.CRECNAME = "damaged";
  for (std::size_t i = 0; i < rec.TRACES.size(); ++i)
    rec.TRACES[i] = static_cast<float>(i % 17) - 8.0f;
  sup::GraphAxes axes;
  axes.XORIGIN = 1.0f;
  axes.YORIGIN = 7.0f;
  axes.XCELL = 1.0f;
  axes.YCELL = -1e6f;
  axes.XSTART = 0.0f;
  axes.YSTART = 0.0f;
  axes.XSTEP = 2.0f;
  axes.YSTEP = 50.0f;
  axes.XSCALE = 0.5f;
  axes.YSCALE = -2e4f;
  axes.NXDIV = 8;
  axes.NYDIV = 6;
  std::vector<std::byte> bytes;
  ASSERT_TRUE(vel::EncodeTraceFile(rec, axes, {}, bytes));
  testing_support::WriteFile(
      dir_ / "damaged.trx", std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size()));

  std::string title;
  double seconds = 0;
  std::chrono::steady_clock::time_point start;
  Choose(dir_ / "damaged.trx");
  Run({[&] {
         start = std::chrono::steady_clock::now();
         Post(vel::kCommandOpen);
       },
       [&] {
         seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
         title = Title();
       }});
  EXPECT_TRUE(messages_.empty()) << messages_.front();
  EXPECT_EQ(title, TitleOf("damaged"));
  EXPECT_LT(seconds, 1.0);
}

TEST_F(FileCommandsTest, SaveWithoutARecordAndAFailedImportChangeNothing) {
  testing_support::WriteFile(dir_ / "noise.dat", std::string(4000, 'x'));
  std::string title;
  Choose(dir_ / "noise.dat");
  harness_.Answer("filedialog", "Cancel");
  Run({[] { Post(vel::kCommandSave); }, [] { Post(vel::kCommandSaveAs); },
       [] { Post(vel::kCommandImport); }, [] { Post(vel::kCommandImport); },
       [&] { title = Title(); }});
  ASSERT_EQ(messages_.size(), 4u);
  EXPECT_EQ(messages_[0], "PLEASE LOAD TRACES FIRST");
  EXPECT_EQ(messages_[1], "PLEASE LOAD TRACES FIRST");
  EXPECT_EQ(messages_[2].rfind("UNABLE TO IDENTIFY FORMAT FOR FILE noise.dat", 0), 0u);
  EXPECT_EQ(messages_[3], "UNKNOWN OR (as yet) UNSUPPORTED FORMAT");
  EXPECT_EQ(title, vel::kMainTitle);
  EXPECT_EQ(fs::current_path(), fs::canonical(dir_.path()));  // the chosen file's folder
}

TEST_F(FileCommandsTest, ImportsThatNeedTheHeaderEditorStopWithoutChangingTheRecord) {
  testing_support::WriteFile(dir_ / "raw.bin", std::string(400, '\0'));
  std::string title;
  Choose(dir_ / "raw.bin");
  harness_.Answer("dialog 123", "1164=0\n1165=0\n1166=2\n1167=50\n1168=1\n1169=1\npress 1");
  harness_.Answer("dialog 116", "press 2");  // Cancel in the header editor
  Choose(dir_ / "raw.bin");
  harness_.Answer("dialog 123", "press 2");
  Run({[] { Post(vel::kCommandImportUserDefined); }, [] { Post(vel::kCommandImportUserDefined); },
       [&] { title = Title(); }});
  EXPECT_EQ(title, vel::kMainTitle);
  EXPECT_EQ(harness_.Backend().ScriptedAnswer("dialog 116"), std::nullopt) << "the editor came";
}

// The user-defined import: dialog 123's layout read from a raw file, then
// the header editor; its OK shows the record, a later import cancelled in
// the editor leaves that record, its title and its picture as they were.
TEST_F(FileCommandsTest, UserDefinedImportShowsTheRecordAfterTheEditorsOk) {
  // Two traces of 50 big-endian 16-bit samples behind a 10-byte file header
  // and 4-byte trace headers; trace k holds 100 k + i.
  std::string raw(10, 'H');
  for (int k = 1; k <= 2; ++k) {
    raw += "TTTT";
    for (int i = 0; i < 50; ++i) {
      const int v = 100 * k + i;
      raw.push_back(static_cast<char>(v >> 8));
      raw.push_back(static_cast<char>(v & 0xFF));
    }
  }
  testing_support::WriteFile(dir_ / "line.7.raw", raw);
  testing_support::WriteFile(dir_ / "other.raw", raw);
  const std::string layout =
      "1164=10\n1165=4\n1166=2\n1167=50\n1168=1\n1171=1\n1175=1\n1176=5.0\n1177=2.5\npress 1";
  Choose(dir_ / "line.7.raw");
  harness_.Answer("dialog 123", layout);
  harness_.Answer("dialog 116", "1099=0.5\npress 1");
  Choose(dir_ / "a.trx");
  Choose(dir_ / "other.raw");
  harness_.Answer("dialog 123", layout);
  harness_.Answer("dialog 116", "press 2");
  Choose(dir_ / "b.trx");
  std::string accepted, afterCancel;
  Run({[] { Post(vel::kCommandImportUserDefined); },
       [&] {
         accepted = Title();
         Post(vel::kCommandSaveAs);
       },
       [] { Post(vel::kCommandImportUserDefined); },
       [&] {
         afterCancel = Title();
         Post(vel::kCommandSaveAs);
       }});
  EXPECT_EQ(accepted, TitleOf("line"));
  EXPECT_EQ(afterCancel, accepted);
  for (const char* saved : {"a.trx", "b.trx"}) {
    SCOPED_TRACE(saved);
    const vel::TrxContents shown = Decode(dir_ / saved);
    ASSERT_EQ(shown.record.NTRACE, 2);
    ASSERT_EQ(shown.record.NSAMP, 50);
    EXPECT_EQ(vel::Trace(shown.record, 2)[7], 207.0f);
    EXPECT_EQ(shown.record.GEOLOC, (std::vector<float>{5.0f, 7.5f}));
    EXPECT_TRUE(shown.record.LPICKS);
  }
  EXPECT_EQ(harness_.Backend().ScriptedAnswer("dialog 116"), std::nullopt) << "the editor came";
}

// The non-compliant SEG-Y import runs the Shot Header Editor on the record
// read: its Cancel drops the import, its OK keeps it.
TEST_F(FileCommandsTest, NonCompliantSegyImportKeepsTheRecordOnlyAfterTheEditorsOk) {
  SKIP_WITHOUT_SHARED_DATA();
  fs::copy_file(testing_support::SharedData() / "segyio/small.sgy", dir_ / "small.sgy");
  std::string cancelled, accepted;
  for (const char* answer : {"press 2", "1102=77\npress 1"}) {
    Choose(dir_ / "small.sgy");
    // Text, binary and trace headers read, most significant byte first.
    harness_.Answer("dialog 125", "1179=1\n1180=1\n1182=1\n1184=1\npress 1");
    harness_.Answer("dialog 126", "press 1");
    harness_.Answer("dialog 116", answer);
  }
  Run({[] { Post(vel::kCommandImportNonCompliantSegy); }, [&] { cancelled = Title(); },
       [] { Post(vel::kCommandImportNonCompliantSegy); }, [&] { accepted = Title(); }});
  EXPECT_EQ(cancelled, vel::kMainTitle);
  EXPECT_EQ(accepted, TitleOf("small"));
  EXPECT_EQ(harness_.Backend().ScriptedAnswer("dialog 116"), std::nullopt) << "both were used";
}

TEST(RecordTitleTest, HoldsAllThirtyTwoCharacters) {
  ShotRecord r;
  r.CRECNAME = "shot12";
  EXPECT_EQ(vel::RecordTitle(r),
            "Morvane Seismic Shot Conversion [shot12" + std::string(26, ' ') + "]");
}

}  // namespace
