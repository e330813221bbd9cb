// The band-pass filter window run from the Process menu of the real program
// on a loaded record: the main window taken over and given back, and what
// the settings file keeps of the run at exit.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "display/BandpassWindow.h"
#include "formats/TraceFile.h"
#include "platform/controls/Controls.h"
#include "platform/dialog/Dialog.h"
#include "platform/window/VirtualKeys.h"
#include "shell/ProcessCommands.h"
#include "shell/Settings.h"
#include "tests/shell/ProgramTestSupport.h"
#include "toolkit/core/Windows_p.h"
#include "toolkit/dialogs/DialogManager_p.h"

namespace {

using program_test::ProgramTest;
namespace fs = std::filesystem;

// Six traces of 300 samples at 2 ms (Nyquist 250 Hz).
vel::ShotRecord SineRecord() {
  vel::ShotRecord r;
  r.CRECNAME = "BANDS";
  r.NTRACE = 6;
  r.NSAMP = 300;
  r.SAMPINT = 2.0f;
  r.SPACING = 2.0f;
  EXPECT_TRUE(vel::RebuildTraceArrays(r));
  for (std::int32_t j = 1; j <= r.NTRACE; ++j) {
    r.GEOLOC[static_cast<std::size_t>(j - 1)] = 2.0f * static_cast<float>(j);
    auto t = vel::Trace(r, j);
    for (std::size_t k = 0; k < t.size(); ++k) t[k] = std::sin(0.3f * static_cast<float>(k + j));
  }
  return r;
}

plat::Hwnd DialogField(int id) {
  tk::LoadedDialog* d = tk::CurrentDialog();
  return d != nullptr ? plat::DialogItem(d->hwnd, id) : plat::kNoWindow;
}

int ChildTitled(std::string_view title) {
  for (int n = 1; n <= 50; ++n)
    if (tk::WindowSlotInUse(n) && plat::GetWindowText(tk::WindowFrameHandle(n)) == title) return n;
  return 0;
}

class FrequencyToolsTest : public ProgramTest {};

TEST_F(FrequencyToolsTest, BandpassGivesTheMainWindowBackAndTheSettingsKeepTheRun) {
  // Seed the settings: an empty work file lets the exit write them.
  vel::SettingsValues values = vel::DefaultSettings(1920, 1080);
  testing_support::WriteFile(setup_.settings.files.work, "");
  vel::LASTDIR(vel::TraceDisplayOptions{}, values, setup_.settings);

  std::vector<std::byte> bytes;
  ASSERT_TRUE(vel::EncodeTraceFile(SineRecord(), {}, vel::TraceDisplayOptions{}, bytes));
  testing_support::WriteFile(dir_ / "bands.trx",
                             std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  Choose(dir_ / "bands.trx");
  std::string toolTitle, backTitle;
  int toolMenu = 0, backMenu = 0;
  bool outputOpen = false;
  Run({[] { Post(vel::kCommandOpen); },
       [] { Post(vel::kCommandBandpass); },
       [&] {
         toolTitle = Title();
         toolMenu = tk::detail::Slot(0).menu;
         const int output = ChildTitled(vel::kBandpassOutputTitle);
         outputOpen = output > 0;
         tk::WindowMakeCurrent(output);
         tk::WindowReposition(310, 420, 640, 30, 1);
       },
       [&] { harness_.Click(DialogField(1028), {3, 3}); },
       [&] {
         plat::SetWindowText(DialogField(1028), "");
         harness_.Type("40").Key(plat::kVkTab, '\t');
       },
       [] { plat::ButtonClick(DialogField(vel::kBandpassFilterButton)); },
       [] { plat::ButtonClick(DialogField(2)); },
       [&] {
         backTitle = Title();
         backMenu = tk::detail::Slot(0).menu;
       }});
  EXPECT_EQ(toolTitle, "Input (Unfiltered) Data");
  EXPECT_EQ(toolMenu, vel::kBandpassMainMenu);
  EXPECT_TRUE(outputOpen);
  EXPECT_EQ(backTitle, "Morvane Seismic Processing [BANDS                           ]");
  EXPECT_EQ(backMenu, vel::kMainMenu);

  vel::TraceDisplayOptions options;
  vel::SettingsValues read = vel::DefaultSettings(1920, 1080);
  vel::INIIN(options, read, setup_.settings);
  EXPECT_FLOAT_EQ(read.bandpass.Freq4, 40.0f / 250.0f);
  EXPECT_FLOAT_EQ(read.bandpass.Freq3, 0.08f);
  EXPECT_EQ(read.filterOutputWindow.x, 640);
  EXPECT_EQ(read.filterOutputWindow.y, 30);
  EXPECT_EQ(read.filterOutputWindow.width, 310);
  EXPECT_EQ(read.filterOutputWindow.height, 420);
  EXPECT_EQ(read.filterSpectrumWindow, values.filterSpectrumWindow);
  EXPECT_EQ(read.filterImpulseWindow, values.filterImpulseWindow);
  EXPECT_EQ(read.filterInputWindow.x, values.filterInputWindow.x);
  EXPECT_EQ(read.filterInputWindow.width, values.filterInputWindow.width);
}

// Closing the band-pass tool's window while its dialog is up ends the tool,
// and Exit the program: no window hands the focus back and forth for ever.
TEST_F(FrequencyToolsTest, ClosingTheBandpassToolWhileItsDialogIsUpEndsIt) {
  std::vector<std::byte> bytes;
  ASSERT_TRUE(vel::EncodeTraceFile(SineRecord(), {}, vel::TraceDisplayOptions{}, bytes));
  testing_support::WriteFile(dir_ / "bands.trx",
                             std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  Choose(dir_ / "bands.trx");
  bool dialogUp = false;
  Run({[] { Post(vel::kCommandOpen); },
       [] { Post(vel::kCommandBandpass); },
       [&] {
         dialogUp = DialogField(vel::kBandpassFilterButton) != plat::kNoWindow;
         harness_.Close(tk::WindowFrameHandle(tk::kMainWindow));
       }});
  EXPECT_TRUE(dialogUp);
  EXPECT_FALSE(tk::MainWindowOpen());
}

}  // namespace
