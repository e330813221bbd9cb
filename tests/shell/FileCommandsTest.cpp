// The File commands run through the real program on a scripted screen:
// Import of public SEG-2 and SEG-Y records, Save As and Open of the program's
// trace file, and what a failed or cancelled Open leaves.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <vector>

#include "display/Pickers.h"
#include "formats/TraceFile.h"
#include "platform/testing/Harness.h"
#include "platform/window/Window.h"
#include "shell/FileCommands.h"
#include "shell/Import.h"
#include "shell/Velloran.h"
#include "support/UserMessages.h"
#include "tests/TestSupport.h"
#include "toolkit/core/Menus.h"
#include "toolkit/core/OsServices.h"
#include "toolkit/core/Startup.h"
#include "toolkit/core/Windows.h"

namespace {

namespace fs = std::filesystem;
using vel::ShotRecord;

const fs::path kSeg2 = "obspy/seg2/20180307_031245000.0.seg2";
const fs::path kSegy = "segyio/small.sgy";

class FileCommandsTest : public ::testing::Test {
 protected:
  FileCommandsTest() : before_(fs::current_path()) {
    tk::ResetToolkitStart();
    tk::SetCommandLineForTesting("velloran");
    setup_.settings.files = vel::SettingsFilesFor("velloran", dir_.path());
    setup_.settings.currentDirectory = [this] { return dir_.path().string(); };
    setup_.settings.changeDirectory = [](const std::string&) { return true; };
    setup_.debugFile = dir_ / "velloran.dbg";
    sup::SetUserMessageHook([this](sup::UserMessageKind, std::string_view, std::string_view text) {
      messages_.emplace_back(text);
    });
    // The readers' abort poll would take the script's next step while a
    // command still runs; nothing here aborts a read.
    sup::SetAbortPollHook([] { return false; });
  }
  ~FileCommandsTest() override {
    sup::SetUserMessageHook({});
    sup::SetAbortPollHook({});
    tk::SetCommandLineForTesting("");
    tk::ResetToolkitStart();
    fs::current_path(before_);
  }

  /// Runs the program: each step once the previous one has been handled
  /// (a step usually posts one command), then Exit.
  void Run(std::vector<std::function<void()>> steps) {
    steps_ = std::move(steps);
    steps_.push_back([] { Post(vel::kCommandExit); });
    harness_.Call([this] { StepFrom(0); });
    EXPECT_EQ(vel::VELLORAN(setup_), 0);
  }
  void StepFrom(std::size_t i) {
    if (i >= steps_.size()) return;
    steps_[i]();
    // An input event ends the script's turn, so the loop handles the command
    // posted before the next step runs.
    harness_.MouseMove(tk::WindowClientHandle(tk::kMainWindow), {5, 5});
    if (i + 1 < steps_.size()) harness_.Call([this, i] { StepFrom(i + 1); });
  }
  std::vector<std::function<void()>> steps_;

  static void Post(int command) {
    plat::PostMessage(tk::WindowFrameHandle(tk::kMainWindow), plat::Msg::Command, command);
  }
  static std::string Title() { return plat::GetWindowText(tk::WindowFrameHandle(tk::kMainWindow)); }
  static std::string TitleOf(std::string_view name) {
    ShotRecord r;
    r.CRECNAME = name;
    return vel::RecordTitle(r);
  }
  /// Answers the next file dialog with PATH.
  void Choose(const fs::path& path) { harness_.Answer("filedialog", path.string()); }

  fs::path before_;
  testing_support::TempDir dir_;
  plat::testing::Harness harness_{{1920, 1080}};
  vel::VelloranSetup setup_;
  std::vector<std::string> messages_;
};

/// The record, options and axes of a trace file.
vel::TrxContents Decode(const fs::path& p) {
  const std::string text = testing_support::ReadFile(p);
  std::vector<std::byte> bytes(text.size());
  std::memcpy(bytes.data(), text.data(), text.size());
  vel::TrxContents c;
  std::vector<vel::TrxNotice> notices;
  EXPECT_TRUE(vel::DecodeTraceFile(bytes, c, notices)) << p;
  return c;
}

/// REC as IMPORT reads PATH, with the picks the import adds.
ShotRecord Imported(const fs::path& path) {
  ShotRecord rec;
  std::int32_t n = 0;
  int ierr = 0;
  vel::IMPORT(rec, path.string(), n, ierr, false, false);
  EXPECT_EQ(ierr, 0);
  vel::AutoPickUnpicked(rec, vel::PickParameters{}.simple);
  return rec;
}

void ExpectSameRecord(const ShotRecord& a, const ShotRecord& b) {
  EXPECT_EQ(a.NTRACE, b.NTRACE);
  EXPECT_EQ(a.NSAMP, b.NSAMP);
  EXPECT_EQ(a.SAMPINT, b.SAMPINT);
  EXPECT_EQ(a.TDELAY, b.TDELAY);
  EXPECT_EQ(a.TRACES, b.TRACES);
  EXPECT_EQ(a.IBPICK, b.IBPICK);
  EXPECT_EQ(a.GEOLOC, b.GEOLOC);
  EXPECT_EQ(a.TRACEMAX, b.TRACEMAX);
}

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
  EXPECT_EQ(afterImport, TitleOf(vel::RecordNameOf(seg2.filename().string()).View()));
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
  harness_.Answer("messagebox", "OK");  // the user-defined reader is not there yet
  Choose(dir_ / "raw.bin");
  harness_.Answer("dialog 123", "press 2");
  Run({[] { Post(vel::kCommandImportUserDefined); }, [] { Post(vel::kCommandImportUserDefined); },
       [&] { title = Title(); }});
  EXPECT_EQ(title, vel::kMainTitle);
  EXPECT_EQ(harness_.Backend().ScriptedAnswer("messagebox"), std::nullopt);
}

TEST(RecordTitleTest, HoldsAllThirtyTwoCharacters) {
  ShotRecord r;
  r.CRECNAME = "shot12";
  EXPECT_EQ(vel::RecordTitle(r),
            "Morvane Seismic Shot Conversion [shot12" + std::string(26, ' ') + "]");
}

}  // namespace
