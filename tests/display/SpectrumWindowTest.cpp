// The spectrum window on a headless screen: the section of the main plot it
// takes, Save to File from its own menu and from the main window's, failures
// to write, the refusals, and the place it keeps.
#include "display/SpectrumWindow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "platform/window/Window.h"
#include "support/PenPlot.h"
#include "support/UserMessages.h"
#include "tests/ScopedEnv.h"
#include "tests/TestSupport.h"
#include "tests/display/ToolWindowTestSupport.h"
#include "toolkit/core/Windows.h"
#include "toolkit/graphics/WindowTargets.h"
#include "toolkit/hardcopy/HardcopyDialogs.h"
#include "toolkit/hardcopy/HardcopyOptions.h"

namespace {

using vel::ShotRecord;

// NTRACE traces of NSAMP samples at 1 ms: a 50 Hz sine on every trace.
ShotRecord Record(int ntrace = 4, int nsamp = 1000, float dt = 1.0f) {
  ShotRecord rec;
  rec.CRECNAME = "SPEC.SG2";
  rec.NTRACE = ntrace;
  rec.NSAMP = nsamp;
  rec.SAMPINT = dt;
  EXPECT_TRUE(vel::RebuildTraceArrays(rec));
  for (int j = 1; j <= ntrace; ++j) {
    auto t = vel::Trace(rec, j);
    for (std::size_t k = 0; k < t.size(); ++k)
      t[k] = std::sin(6.2831853f * 50.0f * static_cast<float>(k) * 0.001f) * static_cast<float>(j);
    rec.GEOLOC[static_cast<std::size_t>(j - 1)] = 10.0f * static_cast<float>(j);
  }
  return rec;
}

// The main frame of a vertical display: traces 1..4 across, 200..400 ms down.
sup::GraphAxes ZoomedFrame() {
  sup::GraphAxes a;
  a.XSTART = 1.0f;
  a.XSTEP = 1.0f;
  a.NXDIV = 3;
  a.YSTART = 400.0f;
  a.YSTEP = -50.0f;
  a.NYDIV = 4;
  return a;
}

class SpectrumWindowTest : public tool_window_test::ToolWindowTest {
 protected:

  // A menu command as the main window's menu sends it, a moment later.
  void CommandLater(int id, int window = tk::kMainWindow) {
    harness.Pause(10).Call([id, window] {
      plat::PostMessage(tk::WindowFrameHandle(window), plat::Msg::Command, id);
    });
    harness.MouseMove(Client(0), {1, 1});
  }
  void Run(const ShotRecord& rec, const sup::GraphAxes& frame) {
    vel::TRACESPECTRUM(rec, options, frame, ierr, ctx);
  }

  vel::SpectrumWindowContext ctx;
  vel::TraceDisplayOptions options;
  std::int32_t ierr = 5;
};

TEST(SpectrumSection, ZoomedMainPlotGivesTheSamplesAndTraces) {
  const ShotRecord rec = Record();
  vel::TraceDisplayOptions opts;
  const vel::VisibleSection s = vel::SectionOfFrame(rec, opts, ZoomedFrame());
  EXPECT_EQ(s.s1, 200);
  EXPECT_EQ(s.s2, 400);
  EXPECT_EQ(s.first, 1);
  EXPECT_EQ(s.last, 4);
  EXPECT_EQ(vel::NFFT(s.s2 - s.s1 + 1), 256);

  // A frame starting before the first sample starts at sample 1; traces by
  // position take those inside the range.
  sup::GraphAxes early = ZoomedFrame();
  early.YSTART = 100.0f;  // -100 .. 100 ms
  opts.LGEOPOS = true;
  early.XSTART = 15.0f;  // 15 .. 45 m: traces 2..4
  early.XSTEP = 10.0f;
  const vel::VisibleSection e = vel::SectionOfFrame(rec, opts, early);
  EXPECT_EQ(e.s1, 1);
  EXPECT_EQ(e.s2, 100);
  EXPECT_EQ(e.first, 2);
  EXPECT_EQ(e.last, 4);
}

TEST_F(SpectrumWindowTest, SaveToFileWritesTheSpectrumFromEitherMenu) {
  const ShotRecord rec = Record();
  // The save keeps the chosen folder as the current one; the next test
  // starts where this one did.
  const testing_support::ScopedCurrentDir back(std::filesystem::current_path());
  testing_support::TempDir dir;
  const std::vector<std::string> names = {"a.DAT", "b.CSV", "c.TXT"};
  for (const std::string& n : names) harness.Answer("filedialog", (dir / n).string());
  int window = 0;
  std::string title;
  harness.Pause(10).Call([&] {
    for (int n = 1; n <= 50 && window == 0; ++n)
      if (tk::WindowSlotInUse(n)) window = n;
    title = plat::GetWindowText(tk::WindowFrameHandle(window));
  });
  harness.MouseMove(Client(0), {1, 1});
  CommandLater(vel::kToolSaveToFile);  // the main window's File menu
  harness.Pause(10).Call([&] {
    plat::PostMessage(tk::WindowFrameHandle(window), plat::Msg::Command, vel::kToolSaveToFile);
  });
  harness.MouseMove(Client(0), {1, 1});
  CommandLater(vel::kToolSaveToFile);
  CommandLater(vel::kToolClose);
  Run(rec, ZoomedFrame());
  EXPECT_EQ(title, "Morvane Limited Spectrum: SPEC.SG2");
  EXPECT_EQ(ierr, 0);
  EXPECT_TRUE(messages.empty());

  // The spectrum of the stack of samples 200..400, tapered over 20 samples.
  std::vector<float> stack(201, 0.0f), spec(128);
  for (int j = 1; j <= 4; ++j)
    for (std::size_t i = 0; i < 201; ++i) stack[i] += vel::Trace(rec, j)[199 + i];
  vel::SPECTRUM(stack, spec, 201, 20);
  const std::string text = testing_support::ReadFile(dir / "a.DAT");
  std::vector<std::string> lines;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t end = text.find("\r\n", at);
    ASSERT_NE(end, std::string::npos);
    lines.push_back(text.substr(at, end - at));
    at = end + 2;
  }
  ASSERT_EQ(lines.size(), 128u);
  EXPECT_EQ(lines.front().substr(0, 11), "0.00000E+00");
  EXPECT_EQ(lines.back().substr(0, 11), "5.00000E+02");
  for (std::size_t k = 0; k < 128; ++k) {
    ASSERT_EQ(lines[k].size(), 25u) << k;
    EXPECT_EQ(lines[k].substr(11, 3), ",  ");
    EXPECT_NEAR(std::stof(lines[k].substr(14)), spec[k], 1e-5f * std::max(1.0f, spec[k])) << k;
  }
  for (const std::string& n : {names[1], names[2]}) EXPECT_EQ(testing_support::ReadFile(dir / n), text) << n;
}

// Print draws the spectrum on the page with the thick hardcopy line, keeps
// the user's hardcopy options through the reset after it, and draws the
// spectrum on the screen again.
TEST_F(SpectrumWindowTest, PrintDrawsThickLinesKeepsTheOptionsAndRedrawsTheScreen) {
  tool_window_test::RecordedPrinter printer;
  constexpr int kOption = 21;  // the recording driver's select sets it to 4
  tk::HardcopyOptionStore(kOption, 9);
  const ShotRecord rec = Record();
  int window = 0;
  std::vector<plat::Pixel> before, after;
  harness.Pause(10).Call([&] {
    for (int n = 1; n <= 50 && window == 0; ++n)
      if (tk::WindowSlotInUse(n)) window = n;
    before = Shown(window);
  });
  harness.Answer("dialog " + std::to_string(tk::kHardcopyDeviceDialog), "press 1");
  harness.Pause(10).Call([&] {
    plat::PostMessage(tk::WindowFrameHandle(window), plat::Msg::Command, vel::kToolPrint);
  });
  harness.MouseMove(Client(0), {1, 1});
  harness.Pause(10).Call([&] { after = Shown(window); });
  CommandLater(vel::kToolClose);
  Run(rec, ZoomedFrame());
  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(printer.Pages(), 1);
  EXPECT_EQ(printer.Ends(), 1);
  ASSERT_FALSE(printer.drawnWidths.empty());
  EXPECT_EQ(std::count(printer.drawnWidths.begin(), printer.drawnWidths.end(), 15), std::ssize(printer.drawnWidths));
  EXPECT_EQ(tk::HardcopyOption(kOption), 9);
  EXPECT_EQ(tk::Gs().hardcopyOn, 0);
  ASSERT_FALSE(before.empty());
  EXPECT_EQ(after, before);
}

TEST_F(SpectrumWindowTest, FileThatCannotBeWrittenIsReportedAndTheWindowStays) {
  const ShotRecord rec = Record();
  // The process file system takes no new files, whoever asks.
  const std::string bad = "/proc/spectrum.dat";
  harness.Answer("filedialog", bad);
  CommandLater(vel::kToolSaveToFile);
  bool stillOpen = false;
  harness.Pause(10).Call([&] {
    for (int n = 1; n <= 50; ++n) stillOpen = stillOpen || tk::WindowSlotInUse(n);
  });
  CommandLater(vel::kToolClose);
  Run(rec, ZoomedFrame());
  EXPECT_EQ(ierr, -1);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], "CANNOT WRITE SPECTRUM FILE " + bad + ": No such file or directory");
  EXPECT_TRUE(stillOpen);
}

TEST_F(SpectrumWindowTest, ClosingWhileMaximisedKeepsThePlaceAndRecordsTheState) {
  const ShotRecord rec = Record();
  ctx.place = {300, 200, 320, 280, 1};
  harness.Pause(10).Call([] {
    for (int n = 1; n <= 50; ++n)
      if (tk::WindowSlotInUse(n)) {
        tk::WindowMakeCurrent(n);
        tk::WindowReposition(std::nullopt, std::nullopt, std::nullopt, std::nullopt, tk::kShowMaximised);
      }
  });
  harness.MouseMove(Client(0), {1, 1});
  CommandLater(vel::kToolClose);
  Run(rec, ZoomedFrame());
  EXPECT_EQ(ctx.place, (vel::ToolPlace{300, 200, 320, 280, tk::kShowMaximised}));
  for (int n = 1; n <= 50; ++n) EXPECT_FALSE(tk::WindowSlotInUse(n)) << n;
}

TEST_F(SpectrumWindowTest, RecordsAndSectionsWithoutASpectrumAreRefused) {
  struct Case {
    const char* name;
    ShotRecord rec;
    sup::GraphAxes frame;
    const char* message;
  };
  sup::GraphAxes twoSamples = ZoomedFrame();
  twoSamples.YSTART = 201.0f;  // 200 .. 201 ms
  twoSamples.YSTEP = -0.25f;
  sup::GraphAxes noTrace = ZoomedFrame();
  noTrace.XSTART = 7.0f;  // traces 7 .. 10 of a record of 4
  std::vector<Case> cases = {
      {"no sample interval", Record(4, 1000, 0.0f), ZoomedFrame(),
       "SAMPLE INTERVAL NOT VALID: NO SPECTRUM CAN BE COMPUTED"},
      {"NaN interval", Record(4, 1000, NAN), ZoomedFrame(),
       "SAMPLE INTERVAL NOT VALID: NO SPECTRUM CAN BE COMPUTED"},
      {"two samples in the record", Record(4, 2), ZoomedFrame(), "AT LEAST 3 SAMPLES ARE NEEDED FOR A SPECTRUM"},
      {"two samples shown", Record(), twoSamples, "AT LEAST 3 SAMPLES ARE NEEDED FOR A SPECTRUM"},
      {"no trace shown", Record(), noTrace, "NO TRACE IN THE SECTION SHOWN: NO SPECTRUM"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    messages.clear();
    ierr = 0;
    Run(c.rec, c.frame);  // nothing scripted: a window would wait and fail the test
    EXPECT_EQ(ierr, -1);
    EXPECT_EQ(messages, std::vector<std::string>{c.message});
  }
}

}  // namespace
