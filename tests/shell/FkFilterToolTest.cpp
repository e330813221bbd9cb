// The F-K filter window run from the Process menu of the real program on a
// loaded record: its windows and dialog, OK, Filter Traces, Cancel and a
// closed output window, the main window given back, and what the settings
// file keeps of the run.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "display/FkFilterWindow.h"
#include "formats/TraceFile.h"
#include "platform/controls/Controls.h"
#include "platform/dialog/Dialog.h"
#include "platform/window/VirtualKeys.h"
#include "shell/ProcessCommands.h"
#include "shell/Settings.h"
#include "tests/shell/ProgramTestSupport.h"
#include "toolkit/core/Menus.h"
#include "toolkit/core/Rounding.h"
#include "toolkit/core/Windows_p.h"
#include "toolkit/dialogs/DialogManager_p.h"
#include "toolkit/dialogs/Dialogs.h"

namespace {

using program_test::ProgramTest;

// 16 traces of 200 samples at 1 ms, 4 m apart, with a dipping wavelet; the
// per-trace maxima are not the samples' own, so that a copy shows.
vel::ShotRecord DipRecord() {
  vel::ShotRecord r;
  r.CRECNAME = "FKREC";
  r.NTRACE = 16;
  r.NSAMP = 200;
  r.SAMPINT = 1.0f;
  r.SPACING = 4.0f;
  EXPECT_TRUE(vel::RebuildTraceArrays(r));
  r.GMIN = -1.5f;
  r.GMAX = 1.25f;
  for (std::int32_t j = 1; j <= r.NTRACE; ++j) {
    const auto i = static_cast<std::size_t>(j - 1);
    r.GEOLOC[i] = 4.0f * static_cast<float>(j);
    r.TRACEMAX[i] = 3.0f + static_cast<float>(j);
    r.IBPICK[i] = 5 + j;
    auto t = vel::Trace(r, j);
    for (std::size_t k = 0; k < t.size(); ++k) {
      const float d = static_cast<float>(k) - 30.0f - 6.0f * static_cast<float>(j);
      t[k] = std::exp(-d * d / 30.0f) * std::cos(0.3f * d) + 0.01f * static_cast<float>(j);
    }
  }
  r.LPICKS = true;
  return r;
}

plat::Hwnd DialogField(int id) {
  tk::WDialogSelect(vel::kFkDialog);
  tk::LoadedDialog* d = tk::CurrentDialog();
  return d != nullptr ? plat::DialogItem(d->hwnd, id) : plat::kNoWindow;
}
void Press(int id) { plat::ButtonClick(DialogField(id)); }
float FieldValue(int id) {
  float v = 0.0f;
  tk::WDialogSelect(vel::kFkDialog);
  tk::WDialogGetReal(id, v);
  return v;
}

int ChildTitled(std::string_view title) {
  for (int n = 1; n <= 50; ++n)
    if (tk::WindowSlotInUse(n) && plat::GetWindowText(tk::WindowFrameHandle(n)) == title) return n;
  return 0;
}

vel::ToolPlace PlaceOf(int n) {
  tk::WindowMakeCurrent(n);
  return {tk::WindowQuery(5), tk::WindowQuery(6), tk::WindowQuery(1), tk::WindowQuery(2), tk::WindowQuery(9)};
}

class FkFilterToolTest : public ProgramTest {
 protected:
  // The record as a trace file shown horizontally, and settings that the
  // exit writes.
  void SetUp() override {
    values_ = vel::DefaultSettings(1920, 1080);
    testing_support::WriteFile(setup_.settings.files.work, "");
    vel::LASTDIR(vel::TraceDisplayOptions{}, values_, setup_.settings);
    vel::TraceDisplayOptions horizontal;
    horizontal.LVERTICAL = false;
    std::vector<std::byte> bytes;
    ASSERT_TRUE(vel::EncodeTraceFile(input_, {}, horizontal, bytes));
    testing_support::WriteFile(dir_ / "fk.trx", std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    Choose(dir_ / "fk.trx");
  }

  // Saves what the program holds to after.trx and reads it back.
  vel::TrxContents Saved() { return program_test::Decode(dir_ / "after.trx"); }

  vel::ShotRecord input_ = DipRecord();
  vel::SettingsValues values_;
};

TEST_F(FkFilterToolTest, OpensItsWindowsAndOkRightAwayLeavesTheRecordAsItWas) {
  Choose(dir_ / "after.trx");
  struct Seen {
    std::string title;
    int menu = 0;
    vel::ToolPlace output, spectrum;
    std::vector<float> fields;
    bool dialogShown = false;
  } seen;
  std::string backTitle;
  int backMenu = 0, zoomTick = -1;
  Run({[] { Post(vel::kCommandOpen); },
       [] { Post(vel::kCommandFkFilter); },
       [&] {
         seen.title = Title();
         seen.menu = tk::detail::Slot(0).menu;
         seen.output = PlaceOf(ChildTitled(vel::kFkOutputTitle));
         seen.spectrum = PlaceOf(ChildTitled(vel::kFkSpectrumTitle));
         for (const int f : {1140, 1141, 1142, 1143, 1144, 1145, 1139}) seen.fields.push_back(FieldValue(f));
         seen.dialogShown = plat::IsWindowVisible(tk::CurrentDialog()->hwnd);
         Post(vel::kToolZoom);
       },
       [] { Press(1); },
       [&] {
         backTitle = Title();
         backMenu = tk::detail::Slot(0).menu;
         tk::WindowMakeCurrent(tk::kMainWindow);
         zoomTick = tk::WMenuGetState(40017, 2);
         Post(vel::kCommandSaveAs);
       }});
  EXPECT_TRUE(messages_.empty()) << messages_.front();
  EXPECT_EQ(seen.title, "Input (Unfiltered) Data");
  EXPECT_EQ(seen.menu, vel::kFkToolMenu);
  const auto place = [](const vel::WindowPlacement& p) { return vel::ToolPlace{p.x, p.y, p.width, p.height, p.state}; };
  EXPECT_EQ(seen.output, place(values_.filterOutputWindow));
  EXPECT_EQ(seen.spectrum, place(values_.filterSpectrumWindow));
  EXPECT_EQ(seen.fields, (std::vector<float>{2000.0f, 500.0f, 0.0f, 2000.0f, 500.0f, 0.0f, 0.1f}));
  EXPECT_TRUE(seen.dialogShown);
  EXPECT_EQ(backTitle, "Morvane Seismic Processing [FKREC                           ]");
  EXPECT_EQ(backMenu, vel::kMainMenu);
  EXPECT_EQ(zoomTick, 1);  // Zoom was switched on inside the tool
  EXPECT_EQ(ChildTitled(vel::kFkOutputTitle), 0);
  EXPECT_EQ(ChildTitled(vel::kFkSpectrumTitle), 0);

  const vel::TrxContents after = Saved();
  EXPECT_EQ(after.record.TRACES, input_.TRACES);
  EXPECT_EQ(after.record.TRACEMAX, input_.TRACEMAX);
  EXPECT_EQ(after.record.GMIN, input_.GMIN);
  EXPECT_EQ(after.record.GMAX, input_.GMAX);
  EXPECT_EQ(after.record.IBPICK, input_.IBPICK);
  EXPECT_FALSE(after.options.LVERTICAL);  // horizontal again after the tool
}

TEST_F(FkFilterToolTest, OkAfterFilterTracesCopiesTheFilteredOutput) {
  Choose(dir_ / "after.trx");
  Run({[] { Post(vel::kCommandOpen); },
       [] { Post(vel::kCommandFkFilter); },
       [] { Press(vel::kFkFilterButton); },
       [] { Press(1); },
       [] { Post(vel::kCommandSaveAs); }});
  EXPECT_TRUE(messages_.empty()) << messages_.front();

  // The same transform and fan, run here.
  vel::FkTransform fk;
  ASSERT_TRUE(vel::FkSetSizes(fk, input_.NSAMP, input_.NTRACE));
  const vel::FkTransform& t = fk;
  std::vector<float> spec(static_cast<std::size_t>(t.NF) * static_cast<std::size_t>(t.NX));
  std::vector<float> want(input_.TRACES.size());
  int status = 0;
  vel::FKSPECT(fk, input_.TRACES, spec, input_.NSAMP, input_.NTRACE, 20, status);
  const vel::FkFan fan{{2000.0f, 2000.0f}, {0.25f, 0.25f}, {0.0f, 0.0f}};
  vel::FKTRACES(fk, want, input_.NSAMP, input_.NTRACE, input_.SAMPINT, 4.0f, fan, status);
  ASSERT_EQ(status, 0);

  const vel::TrxContents after = Saved();
  EXPECT_EQ(after.record.TRACES, want);
  EXPECT_NE(after.record.TRACES, input_.TRACES);
  float gmin = 1e30f, gmax = -1e30f;
  for (std::int32_t j = 1; j <= input_.NTRACE; ++j) {
    const auto s = vel::Trace(std::as_const(after.record), j);
    const auto [lo, hi] = std::minmax_element(s.begin(), s.end());
    EXPECT_EQ(after.record.TRACEMAX[static_cast<std::size_t>(j - 1)], std::max(std::abs(*lo), *hi)) << j;
    gmin = std::min(gmin, *lo);
    gmax = std::max(gmax, *hi);
  }
  EXPECT_EQ(after.record.GMIN, gmin);
  EXPECT_EQ(after.record.GMAX, gmax);
  EXPECT_EQ(after.record.IBPICK, input_.IBPICK);
  EXPECT_EQ(after.record.GEOLOC, input_.GEOLOC);
}

TEST_F(FkFilterToolTest, CancelKeepsTheRecordButTheEditedFanIsSaved) {
  Choose(dir_ / "after.trx");
  Run({[] { Post(vel::kCommandOpen); },
       [] { Post(vel::kCommandFkFilter); },
       [&] { harness_.Click(DialogField(1140), {3, 3}); },
       [&] {
         plat::SetWindowText(DialogField(1140), "");
         harness_.Type("1500").Key(plat::kVkTab, '\t');
       },
       [] { Press(vel::kFkFilterButton); },
       [] { Press(2); },
       [] { Post(vel::kCommandSaveAs); }});
  EXPECT_TRUE(messages_.empty()) << messages_.front();
  const vel::TrxContents after = Saved();
  EXPECT_EQ(after.record.TRACES, input_.TRACES);
  EXPECT_EQ(after.record.TRACEMAX, input_.TRACEMAX);

  vel::TraceDisplayOptions options;
  vel::SettingsValues read = vel::DefaultSettings(1920, 1080);
  vel::INIIN(options, read, setup_.settings);
  EXPECT_FLOAT_EQ(read.fkFilter.Velocity[0], 1500.0f);
  // The width field still showed 500: read back over the new velocity.
  EXPECT_NEAR(read.fkFilter.Widths[0], 500.0f / 1500.0f, 1e-5f);
  EXPECT_FLOAT_EQ(read.fkFilter.Velocity[1], 2000.0f);
  EXPECT_FLOAT_EQ(read.fkFilter.Widths[1], 0.25f);
}

TEST_F(FkFilterToolTest, ClosingTheOutputWindowLeavesTheToolRunning) {
  Choose(dir_ / "after.trx");
  bool outputGone = false, spectrumThere = false;
  Run({[] { Post(vel::kCommandOpen); },
       [] { Post(vel::kCommandFkFilter); },
       [&] { harness_.Close(tk::WindowFrameHandle(ChildTitled(vel::kFkOutputTitle))); },
       [&] {
         outputGone = ChildTitled(vel::kFkOutputTitle) == 0;
         spectrumThere = ChildTitled(vel::kFkSpectrumTitle) > 0;
         Press(vel::kFkFilterButton);
       },
       [] { Press(1); },
       [] { Post(vel::kCommandSaveAs); }});
  EXPECT_TRUE(messages_.empty()) << messages_.front();
  EXPECT_TRUE(outputGone);
  EXPECT_TRUE(spectrumThere);
  // OK still took the filtered traces.
  EXPECT_NE(Saved().record.TRACES, input_.TRACES);
}

}  // namespace
