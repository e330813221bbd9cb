// File > Import of every seismograph format with a reader, through the real
// program on a scripted screen: the title, the record as its reader gives it,
// the automatic picks of traces without one and the drawing; then a damaged
// file of the same format, which must leave all of that as it was.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "platform/draw/Surface.h"
#include "platform/window/Window.h"
#include "shell/FileCommands.h"
#include "record/ShotRecord.h"
#include "tests/TestSupport.h"
#include "tests/instruments/EggDolangFixtures.h"
#include "tests/instruments/FieldFileFixtures.h"
#include "tests/instruments/InstrumentFixtures.h"
#include "tests/instruments/OyoFpxSuspensFixtures.h"
#include "tests/shell/ProgramTestSupport.h"
#include "toolkit/core/Menus.h"
#include "toolkit/core/Windows.h"

namespace {

namespace fs = std::filesystem;
namespace fx = instrument_fixtures;
using program_test::Decode;
using program_test::ExpectSameRecord;
using program_test::Imported;
using program_test::ReadByImport;

/// ABEM with picks from the file on traces 1 and 3; the others are picked by
/// the import.
std::string AbemBytes() {
  fx::Abem f(24);
  f.At(501, "12 0 35");
  f.Flag(1);
  f.Flag(3);
  return f.Bytes();
}

/// EG&G of LAYOUT whose traces begin with 100 quiet samples and a 40-sample
/// arrival of one sign, so that the picker finds a first break (the
/// builder's samples alternate in sign from the start).
template <int LAYOUT>
std::string EggBytes() {
  const fx::Egg f(LAYOUT, 24, 1000);
  std::string s = f.Bytes();
  for (std::size_t j = 0; j < 24; ++j) {
    std::string start(280, '\0');
    for (std::size_t i = 100; i < 140; ++i) start[2 * i + 1] = '\x10';  // 4096
    s.replace(f.HeaderBytes() + 2048 * j, start.size(), start);
  }
  return s;
}

/// RX2 samples 20 us apart: an arrival long enough for the picker's pulse.
std::string Rx2Bytes() {
  fx::Rx2File f{.frames = 5000};
  f.sample = [](int c, int i) { return i < 100 ? static_cast<float>(i % 3 - 1) : 1000.0f * c; };
  return f.Bytes();
}

/// One format: the file the test writes, what its reader gives, and how much
/// of it the damaged copy keeps (negative: bytes cut from the end).
struct Format {
  const char* label;
  const char* file;  // the damaged copy is "CUT" + file
  std::string (*bytes)();
  std::ptrdiff_t keep;
  std::int32_t ntrace;
  std::int32_t nsamp;
  float sampint;
  int filePicks = 0;  // traces the file itself picks
};

const Format kFormats[] = {
    {"ABEM", "SHOT1.ABM", AbemBytes, -1, 24, 1000, 1.0f, 2},
    {"Bison-1", "SHOT2.BSN", [] { return fx::Bison1(24, 500).Bytes(); }, -100, 24, 500, 0.5f},
    // A Bison-2 file cut inside its traces keeps the traces read; one cut
    // inside its header is refused.
    {"Bison-2", "SHOT3.BSN", [] { return fx::Bison2('W', 24, 250).Bytes(); }, 300, 24, 250, 0.25f},
    {"EG&G 985", "SHOT4.EGG", EggBytes<0>, -100, 24, 1000, 0.5f},
    {"EG&G 1197", "SHOT5.EGG", EggBytes<1>, -100, 24, 1000, 0.5f},
    {"Dolang", "LINE4.SDT", nullptr, 0, 24, 1000, 0.5f},
    {"OYO6", "SHOT7.OYO", [] { return fx::OyoFile{.model = '6'}.Bytes(); }, -100, 3, 256, 0.25f},
    {"FPX", "SHOT8.FPX", [] { return fx::FpxFile{}.Bytes(); }, -100, 2, 1024, 0.5f, 1},
    {"SUSPENS", "SHOT9.DAT", [] { return fx::SuspensFile{}.Bytes(); }, -1, 6, 1000, 0.05f},
    {"RX2", "SHOT10.RX2", Rx2Bytes, 4000, 6, 5000, 0.02f},
    {"ANT", "SHOT11.ANT", [] { return fx::AntFile{}.Bytes(); }, 99, 12, 1000, 0.5f},
    {"DCF", "SHOT12.DCF", [] { return fx::DcfFile{}.Bytes(); }, 119, 8, 500, 0.25f},
};

void PrintTo(const Format& f, std::ostream* os) {
  *os << f.label;
}

/// Commands whose menu state the import sets.
constexpr int kWatchedCommands[] = {40003, 40004, 40016, 40027, 40030, 40015, 40019, 40020, 40021};

class InstrumentImportTest : public program_test::ProgramTest,
                             public ::testing::WithParamInterface<Format> {
 protected:
  /// Writes the good file of F and its damaged copy into the test folder.
  void WriteFixtures(const Format& f) {
    const fs::path good = dir_ / f.file;
    const fs::path cut = dir_ / (std::string("CUT") + f.file);
    if (f.bytes == nullptr) {  // Dolang: a header file and a data file a trace
      const fx::DolangHeaderText header(f.ntrace, f.nsamp);
      ASSERT_TRUE(fx::WriteDolangRecord(good.string(), header, f.ntrace, f.nsamp));
      testing_support::WriteFile(cut, header.Text(6));  // ends before the sample count
      return;
    }
    const std::string bytes = f.bytes();
    testing_support::WriteFile(good, bytes);
    const std::size_t keep = f.keep < 0 ? bytes.size() - static_cast<std::size_t>(-f.keep)
                                        : static_cast<std::size_t>(f.keep);
    testing_support::WriteFile(cut, bytes.substr(0, keep));
  }

  /// The main window's client area as the screen shows it.
  std::vector<plat::Pixel> ClientPixels() {
    plat::FlushDrawing();
    const plat::Hwnd frame = tk::WindowFrameHandle(tk::kMainWindow);
    const plat::Hwnd client = tk::WindowClientHandle(tk::kMainWindow);
    const plat::Surface* shown = harness_.Shown(frame);
    std::vector<plat::Pixel> out;
    if (shown == nullptr) return out;
    const plat::Rect r = plat::GetClientRect(client);
    const plat::Point o = plat::ScreenToClient(frame, plat::ClientToScreen(client, {0, 0}));
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) out.push_back(shown->Get(o.x + x, o.y + y));
    return out;
  }

  static std::vector<int> MenuStates() {
    std::vector<int> states;
    for (int id : kWatchedCommands) states.push_back(tk::WMenuGetState(id, 1));
    return states;
  }
};

TEST_P(InstrumentImportTest, ImportsDrawsAndSurvivesADamagedFile) {
  const Format& f = GetParam();
  ASSERT_NO_FATAL_FAILURE(WriteFixtures(f));
  const fs::path good = dir_ / f.file;
  const fs::path a = dir_ / "a.trx";
  const fs::path b = dir_ / "b.trx";

  std::vector<plat::Pixel> before, drawn, afterDamage;
  std::string title, titleBeforeDamage, titleAfterDamage;
  std::vector<int> menusBeforeDamage, menusAfterDamage;
  std::size_t messagesAfterImport = 0;
  messages_.clear();
  Choose(good);
  Choose(a);
  Choose(dir_ / (std::string("CUT") + f.file));
  Choose(b);
  Run({[&] {
         before = ClientPixels();
         Post(vel::kCommandImport);
       },
       [&] {
         title = Title();
         messagesAfterImport = messages_.size();
         Post(vel::kCommandSaveAs);
       },
       [&] {
         drawn = ClientPixels();
         titleBeforeDamage = Title();
         menusBeforeDamage = MenuStates();
         Post(vel::kCommandImport);
       },
       [&] {
         afterDamage = ClientPixels();
         titleAfterDamage = Title();
         menusAfterDamage = MenuStates();
         Post(vel::kCommandSaveAs);
       }});

  EXPECT_EQ(messagesAfterImport, 0u) << (messages_.empty() ? "" : messages_.front());
  // The reader's record, and the same with the import's picks, read by the
  // bare name from the file's folder as the command reads it (format
  // detection by name looks at the first characters only).
  fs::current_path(dir_.path());
  const vel::ShotRecord read = ReadByImport(f.file);
  const vel::ShotRecord want = Imported(f.file);
  EXPECT_EQ(read.NTRACE, f.ntrace);
  EXPECT_EQ(read.NSAMP, f.nsamp);
  EXPECT_FLOAT_EQ(read.SAMPINT, f.sampint);
  EXPECT_EQ(title, vel::RecordTitle(read));

  const vel::TrxContents shown = Decode(a);
  ExpectSameRecord(shown.record, want);
  EXPECT_TRUE(shown.record.LPICKS);
  ASSERT_EQ(shown.record.IBPICK.size(), static_cast<std::size_t>(f.ntrace));
  EXPECT_EQ(std::count_if(read.IBPICK.begin(), read.IBPICK.end(), vel::HasPick), f.filePicks);
  for (std::size_t j = 0; j < read.IBPICK.size(); ++j) {
    // A pick the file carried is kept; every other trace was picked.
    if (vel::HasPick(read.IBPICK[j])) {
      EXPECT_EQ(shown.record.IBPICK[j], read.IBPICK[j]) << "trace " << j + 1;
    } else {
      EXPECT_TRUE(vel::HasPick(shown.record.IBPICK[j])) << "trace " << j + 1;
    }
  }

  // The record was drawn.
  ASSERT_EQ(drawn.size(), before.size());
  ASSERT_FALSE(drawn.empty());
  std::size_t changed = 0;
  for (std::size_t i = 0; i < drawn.size(); ++i) changed += drawn[i] != before[i];
  EXPECT_GT(changed, 1000u);

  // The damaged file said why and changed nothing.
  EXPECT_GT(messages_.size(), messagesAfterImport);
  EXPECT_EQ(titleAfterDamage, titleBeforeDamage);
  EXPECT_EQ(menusAfterDamage, menusBeforeDamage);
  EXPECT_EQ(menusBeforeDamage[1], 1);  // Save
  EXPECT_TRUE(afterDamage == drawn);
  ExpectSameRecord(Decode(b).record, shown.record);
}

INSTANTIATE_TEST_SUITE_P(Formats, InstrumentImportTest, ::testing::ValuesIn(kFormats),
                         [](const ::testing::TestParamInfo<Format>& info) {
                           std::string name = info.param.label;
                           std::erase_if(name, [](char c) {
                             return !std::isalnum(static_cast<unsigned char>(c));
                           });
                           return name;
                         });

}  // namespace
