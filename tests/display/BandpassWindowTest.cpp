// The band-pass filter window driven on a headless screen as a user drives
// it: its windows and dialog at their places, the corners in Hz, Filter
// Traces, OK and Cancel, typed corners, the handle drag, the working copy,
// closed child windows and what the run keeps.
#include "display/BandpassWindow.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "display/TracePlot.h"
#include "platform/controls/Controls.h"
#include "platform/window/VirtualKeys.h"
#include "support/GraphAxes.h"
#include "support/PenPlot.h"
#include "support/UserMessages.h"
#include "tests/display/ToolWindowTestSupport.h"
#include "toolkit/core/Menus.h"
#include "toolkit/core/Windows.h"
#include "toolkit/core/Windows_p.h"
#include "toolkit/dialogs/Dialogs.h"
#include "toolkit/graphics/WindowTargets.h"
#include "toolkit/hardcopy/HardcopyDialogs.h"

namespace {

using vel::BandpassWindowContext;
using vel::ShotRecord;

// NTRACE traces of 400 samples at 2 ms (Nyquist 250 Hz): a 10 Hz and a
// 100 Hz sine of different sizes per trace, picks on every other trace.
ShotRecord SineRecord(int ntrace = 5) {
  ShotRecord rec;
  rec.CRECNAME = "BANDS";
  rec.NTRACE = ntrace;
  rec.NSAMP = 400;
  rec.SAMPINT = 2.0f;
  rec.SPACING = 5.0f;
  EXPECT_TRUE(vel::RebuildTraceArrays(rec));
  rec.GMIN = 1e30f;
  rec.GMAX = -1e30f;
  for (int j = 1; j <= ntrace; ++j) {
    const auto i = static_cast<std::size_t>(j - 1);
    auto t = vel::Trace(rec, j);
    for (std::size_t k = 0; k < t.size(); ++k) {
      const float s = static_cast<float>(k) * 0.002f;
      t[k] = static_cast<float>(j) * std::sin(6.2831853f * 10.0f * s) + 0.5f * std::sin(6.2831853f * 100.0f * s);
      rec.GMIN = std::min(rec.GMIN, t[k]);
      rec.GMAX = std::max(rec.GMAX, t[k]);
    }
    rec.GEOLOC[i] = 5.0f * static_cast<float>(j);
    rec.IBPICK[i] = j % 2 == 1 ? 20 * j : 0;
    rec.TRACEMAX[i] = 1234.5f + static_cast<float>(j);  // not the samples' maxima: must survive
  }
  rec.LPICKS = true;
  return rec;
}

class BandpassWindowTest : public tool_window_test::ToolWindowTest {
 protected:

  void Run(ShotRecord& rec, bool twoBand = false) {
    ierr = 0;
    vel::FILTER(rec, options, twoBand, ierr, tk::kMainWindow, ctx);
  }

  // The open child window whose title is TITLE; 0 when none.
  static int ChildTitled(std::string_view title) {
    for (int n = 1; n <= 50; ++n)
      if (tk::WindowSlotInUse(n) && plat::GetWindowText(tk::WindowFrameHandle(n)) == title) return n;
    return 0;
  }
  static float FieldValue(int id) {
    float v = 0.0f;
    tk::WDialogSelect(vel::kBandpassDialog);
    tk::WDialogGetReal(id, v);
    return v;
  }
  // Types TEXT into field ID; the change reaches the tool as a field event.
  void TypeLater(int id, std::string text) {
    harness.Pause(10).Call([id] {
      plat::SetFocus(Field(id));
      plat::SetWindowText(Field(id), "");
    });
    harness.Type(text).Key(plat::kVkTab, '\t');
    harness.MouseMove(Client(0), {1, 1});
  }
  // The mouse over the spectrum window at data point (HZ, LEVEL), as a
  // point of its client area in pixels.
  plat::Point SpectrumPoint(int window, float hz, float level) const {
    tk::WindowMakeCurrent(window);
    const float px = spectrumAxes.XORIGIN + sup::PLOFX(hz, spectrumAxes);
    const float py = spectrumAxes.YORIGIN + sup::PLOFY(level, spectrumAxes);
    const int w = tk::WindowQuery(1), h = tk::WindowQuery(2);
    return {static_cast<int>(px / 10.0f * static_cast<float>(w)),
            static_cast<int>((8.0f - py) / 8.0f * static_cast<float>(h))};
  }

  BandpassWindowContext ctx;
  vel::TraceDisplayOptions options;
  std::int32_t ierr = 0;
  sup::GraphAxes spectrumAxes;
};

TEST_F(BandpassWindowTest, WindowsAndDialogOpenAtTheirPlacesWithTheCornersInHz) {
  ShotRecord rec = SineRecord();
  options.LVERTICAL = false;
  struct Seen {
    std::string mainTitle;
    std::vector<std::pair<std::string, vel::ToolPlace>> children;
    std::vector<float> fields;
    bool band2Shown = true;
    int dialogX = 0, dialogY = 0;
    bool vertical = false;
    int menu = 0;
  } seen;
  LookLater([&] {
    tk::WindowMakeCurrent(tk::kMainWindow);
    seen.mainTitle = plat::GetWindowText(tk::WindowFrameHandle(tk::kMainWindow));
    seen.menu = tk::detail::Slot(0).menu;
    for (const std::string_view t : {vel::kBandpassSpectrumTitle, vel::kBandpassOutputTitle,
                                     vel::kBandpassImpulseTitle}) {
      const int n = ChildTitled(t);
      vel::ToolPlace p;
      if (n > 0) {
        tk::WindowMakeCurrent(n);
        p = {tk::WindowQuery(5), tk::WindowQuery(6), tk::WindowQuery(1), tk::WindowQuery(2), tk::WindowQuery(9)};
      }
      seen.children.emplace_back(std::string(t), p);
    }
    for (int f = 1025; f <= 1028; ++f) seen.fields.push_back(FieldValue(f));
    seen.band2Shown = plat::IsWindowVisible(Field(1029));
    seen.dialogX = tk::WDialogStatusQuery(6);
    seen.dialogY = tk::WDialogStatusQuery(7);
    seen.vertical = options.LVERTICAL;
  });
  ClickLater(2);
  Run(rec);
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(seen.mainTitle, "Input (Unfiltered) Data");
  EXPECT_EQ(seen.menu, vel::kBandpassMainMenu);
  const vel::ToolPlace want[] = {ctx.spectrum, ctx.output, ctx.impulse};
  ASSERT_EQ(seen.children.size(), 3u);
  for (std::size_t k = 0; k < 3; ++k) {
    SCOPED_TRACE(seen.children[k].first);
    EXPECT_EQ(seen.children[k].second, want[k]);
  }
  EXPECT_EQ(ctx.spectrum, (vel::ToolPlace{342, 369, 326, 289, 1}));
  EXPECT_EQ(seen.fields, (std::vector<float>{1.25f, 2.5f, 20.0f, 27.5f}));
  EXPECT_FALSE(seen.band2Shown);
  EXPECT_EQ(seen.dialogX, 343);
  EXPECT_EQ(seen.dialogY, 189);
  EXPECT_TRUE(seen.vertical);      // forced on while the tool runs
  EXPECT_FALSE(options.LVERTICAL);  // and given back
  // Every child window is closed again.
  for (int n = 1; n <= 50; ++n) EXPECT_FALSE(tk::WindowSlotInUse(n)) << n;
}

TEST_F(BandpassWindowTest, FilterTracesThenOkCopiesTheFilteredRecord) {
  ShotRecord rec = SineRecord();
  const ShotRecord input = rec;
  ClickLater(vel::kBandpassFilterButton);
  ClickLater(1);
  Run(rec);
  const int nt = 40;  // NINT(400 x 0.1)
  vel::BandpassFilter f;
  f.corners = ctx.corners;
  float gmin = 1e30f, gmax = -1e30f;
  for (int j = 1; j <= rec.NTRACE; ++j) {
    SCOPED_TRACE(j);
    std::vector<float> want(400);
    vel::FILTRACE(vel::Trace(input, j), want, 400, nt, f);
    const auto got = vel::Trace(rec, j);
    ASSERT_TRUE(std::equal(got.begin(), got.end(), want.begin()));
    const auto [lo, hi] = std::minmax_element(want.begin(), want.end());
    EXPECT_EQ(rec.TRACEMAX[static_cast<std::size_t>(j - 1)], std::max(std::abs(*lo), std::abs(*hi)));
    gmin = std::min(gmin, *lo);
    gmax = std::max(gmax, *hi);
  }
  EXPECT_EQ(rec.GMIN, gmin);
  EXPECT_EQ(rec.GMAX, gmax);
  // The 100 Hz sine lies in the high stop: what is left is the 10 Hz one.
  const auto t = vel::Trace(rec, 1);
  for (std::size_t k = 100; k < 300; ++k)
    ASSERT_NEAR(t[k], std::sin(6.2831853f * 10.0f * static_cast<float>(k) * 0.002f), 0.05f) << k;
  EXPECT_EQ(rec.IBPICK, input.IBPICK);
  EXPECT_EQ(rec.GEOLOC, input.GEOLOC);
}

TEST_F(BandpassWindowTest, OkWithoutFilteringLeavesTheRecordAsItWas) {
  ShotRecord rec = SineRecord();
  const ShotRecord input = rec;
  ClickLater(1);
  Run(rec);
  EXPECT_EQ(rec.TRACES, input.TRACES);
  EXPECT_EQ(rec.TRACEMAX, input.TRACEMAX);
  EXPECT_EQ(rec.GMIN, input.GMIN);
  EXPECT_EQ(rec.GMAX, input.GMAX);
}

// The auxiliary traces behind the data traces are not filtered, and their
// maxima survive OK.
TEST_F(BandpassWindowTest, OkKeepsTheAuxiliaryTracesMaxima) {
  ShotRecord rec = SineRecord();
  const std::size_t all = static_cast<std::size_t>(rec.NTRACE);
  rec.NTRACE -= 2;
  rec.NAUX = 2;
  rec.TRACEMAX[all - 2] = 77.0f;
  rec.TRACEMAX[all - 1] = 88.0f;
  const ShotRecord input = rec;
  ClickLater(vel::kBandpassFilterButton);
  ClickLater(1);
  Run(rec);
  ASSERT_EQ(rec.TRACEMAX.size(), all);
  EXPECT_EQ(rec.TRACEMAX[all - 2], 77.0f);
  EXPECT_EQ(rec.TRACEMAX[all - 1], 88.0f);
  EXPECT_NE(rec.TRACEMAX[0], input.TRACEMAX[0]) << "the data traces were filtered";
  for (const int j : {rec.NTRACE + 1, rec.NTRACE + 2}) {
    const auto got = vel::Trace(std::as_const(rec), j);
    const auto was = vel::Trace(input, j);
    EXPECT_TRUE(std::equal(got.begin(), got.end(), was.begin())) << j;
  }
}

TEST_F(BandpassWindowTest, CancelAfterFilteringKeepsTheRecordButTheTypedCorners) {
  ShotRecord rec = SineRecord();
  const ShotRecord input = rec;
  TypeLater(1027, "30");
  TypeLater(1028, "40");
  ClickLater(vel::kBandpassFilterButton);
  ClickLater(2);
  Run(rec);
  EXPECT_EQ(rec.TRACES, input.TRACES);
  EXPECT_EQ(rec.TRACEMAX, input.TRACEMAX);
  EXPECT_FLOAT_EQ(ctx.corners.Freq3, 30.0f / 250.0f);
  EXPECT_FLOAT_EQ(ctx.corners.Freq4, 40.0f / 250.0f);
  EXPECT_FLOAT_EQ(ctx.corners.Freq1, 0.005f);
}

TEST_F(BandpassWindowTest, TypedCornerRedrawsTheResponseButNotTheOutput) {
  ShotRecord rec = SineRecord();
  std::vector<plat::Pixel> outputBefore, outputAfter, responseBefore, responseAfter;
  const auto grab = [this](std::string_view title, std::vector<plat::Pixel>& into) {
    const int n = ChildTitled(title);
    ASSERT_GT(n, 0);
    into = Shown(n);
    ASSERT_FALSE(into.empty());
  };
  LookLater([&] {
    grab(vel::kBandpassOutputTitle, outputBefore);
    grab(vel::kBandpassSpectrumTitle, responseBefore);
  });
  TypeLater(1028, "100");
  LookLater([&] {
    grab(vel::kBandpassOutputTitle, outputAfter);
    grab(vel::kBandpassSpectrumTitle, responseAfter);
  });
  ClickLater(2);
  Run(rec);
  ASSERT_FALSE(outputBefore.empty());
  EXPECT_EQ(outputAfter, outputBefore);
  EXPECT_NE(responseAfter, responseBefore);
}

TEST_F(BandpassWindowTest, DraggingHandleTwoMovesBothLowCutCornersUpToTheirLimits) {
  ShotRecord rec = SineRecord();
  // The spectrum frame the tool shows: the stack's spectrum scaled alike.
  std::vector<float> stack(400, 0.0f), spec(256);
  for (int j = 1; j <= rec.NTRACE; ++j)
    for (std::size_t k = 0; k < 400; ++k) stack[k] += vel::Trace(rec, j)[k];
  vel::SPECTRUM(stack, spec, 400, 40);
  vel::BandpassState bp;
  vel::SCALE_SPEC(2.0f, spec, 256, spectrumAxes, bp);
  int spectrum = 0;
  plat::Point handle2, right, farRight, left;
  LookLater([&] {
    spectrum = ChildTitled(vel::kBandpassSpectrumTitle);
    handle2 = SpectrumPoint(spectrum, 250.0f * 0.0075f, 0.49f);
    right = SpectrumPoint(spectrum, 3.0f, 0.49f);
    farRight = SpectrumPoint(spectrum, 25.0f, 0.49f);
    left = SpectrumPoint(spectrum, 0.0f, 0.49f);
  });
  std::vector<float> fields;
  harness.Pause(10).Call([&] {
    const plat::Hwnd c = tk::WindowClientHandle(spectrum);
    harness.MouseMove(c, handle2).Press(c, handle2).MouseMove(c, right).MouseMove(c, farRight)
        .MouseMove(c, left).Release(c, left);
    harness.Call([&] {
      for (int f = 1025; f <= 1028; ++f) fields.push_back(FieldValue(f));
      plat::ButtonClick(Field(2));
    });
    harness.MouseMove(Client(0), {1, 1});
  });
  harness.MouseMove(Client(0), {1, 1});
  Run(rec);
  // One pixel of the frame is about a third of a hertz.
  const float shift = 3.0f / 250.0f - 0.0075f;
  EXPECT_NEAR(ctx.corners.Freq1, 0.005f + shift, 0.002f);
  EXPECT_NEAR(ctx.corners.Freq2, 0.01f + shift, 0.002f);
  EXPECT_NEAR(ctx.corners.Freq2 - ctx.corners.Freq1, 0.005f, 1e-6f);
  EXPECT_FLOAT_EQ(ctx.corners.Freq3, 0.08f);
  ASSERT_EQ(fields.size(), 4u);
  EXPECT_FLOAT_EQ(fields[0], 250.0f * ctx.corners.Freq1);
  EXPECT_FLOAT_EQ(fields[1], 250.0f * ctx.corners.Freq2);
}

}  // namespace

namespace {

class BandpassWindowMoreTest : public BandpassWindowTest {};

TEST_F(BandpassWindowMoreTest, ClosedOutputWindowIsLeftAloneToTheEnd) {
  ShotRecord rec = SineRecord();
  const ShotRecord input = rec;
  ctx.output = {600, 20, 300, 400, 1};
  std::vector<plat::Pixel> before, after;
  // Each step queues the next, so that they come after the close.
  harness.Pause(10).Call([&] {
    const int n = ChildTitled(vel::kBandpassOutputTitle);
    ASSERT_GT(n, 0);
    harness.Close(tk::WindowFrameHandle(n)).MouseMove(Client(0), {1, 1});
    harness.Call([&] {
      EXPECT_EQ(ChildTitled(vel::kBandpassOutputTitle), 0);
      before = MainPixels();
      plat::ButtonClick(Field(vel::kBandpassFilterButton));
      harness.MouseMove(Client(0), {1, 1}).Call([&] {
        after = MainPixels();
        plat::ButtonClick(Field(1));
      });
      harness.MouseMove(Client(0), {1, 1});
    });
  });
  harness.MouseMove(Client(0), {1, 1});
  Run(rec);
  // Nothing of the output went over the main window, and OK still took the
  // filtered traces.
  ASSERT_FALSE(before.empty());
  EXPECT_EQ(after, before);
  EXPECT_NE(rec.TRACES, input.TRACES);
  EXPECT_TRUE(tk::MainWindowOpen());
  EXPECT_EQ(ctx.output.x, 600);
  EXPECT_EQ(ctx.output.width, 300);
}

TEST_F(BandpassWindowMoreTest, ZoomingTheOutputZoomsTheInput) {
  ShotRecord rec = SineRecord(30);
  ctx.zoom = true;
  std::vector<plat::Pixel> before, after;
  LookLater([&] { before = MainPixels(); });
  harness.Pause(10).Call([this] {
    const int n = ChildTitled(vel::kBandpassOutputTitle);
    ASSERT_GT(n, 0);
    const plat::Hwnd c = tk::WindowClientHandle(n);
    harness.Press(c, {60, 100}).Pause(400).MouseMove(c, {120, 200}).MouseMove(c, {160, 300})
        .Release(c, {160, 300});
    harness.Call([this] { plat::ButtonClick(Field(2)); });
    harness.MouseMove(Client(0), {1, 1});
  });
  harness.MouseMove(Client(0), {1, 1});
  harness.Pause(10).Call([&] { after = MainPixels(); });
  Run(rec);
  ASSERT_FALSE(before.empty());
  EXPECT_NE(after, before);
}

}  // namespace

namespace {

TEST_F(BandpassWindowMoreTest, RecordsWithoutASpectrumAreRefusedBeforeAnyWindow) {
  struct Case {
    const char* name;
    ShotRecord rec;
    const char* message;
  };
  ShotRecord noInterval = SineRecord();
  noInterval.SAMPINT = 0.0f;
  ShotRecord infinite = SineRecord();
  infinite.SAMPINT = INFINITY;
  ShotRecord twoSamples = SineRecord();
  twoSamples.NSAMP = 2;
  twoSamples.TRACES.resize(2 * 5);
  ShotRecord noTraces = SineRecord();
  noTraces.NTRACE = 0;
  std::vector<Case> cases = {
      {"no sample interval", noInterval, "SAMPLE INTERVAL NOT VALID: NO SPECTRUM CAN BE COMPUTED"},
      {"infinite interval", infinite, "SAMPLE INTERVAL NOT VALID: NO SPECTRUM CAN BE COMPUTED"},
      {"two samples", twoSamples, "AT LEAST 3 SAMPLES ARE NEEDED FOR A SPECTRUM"},
      {"no traces", noTraces, "PLEASE LOAD TRACES FIRST"},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.name);
    messages.clear();
    const ShotRecord before = c.rec;
    Run(c.rec);  // nothing scripted: a window would wait and fail the test
    EXPECT_EQ(ierr, -1);
    EXPECT_EQ(messages, std::vector<std::string>{c.message});
    EXPECT_EQ(c.rec.TRACES, before.TRACES);
    for (int n = 1; n <= 50; ++n) EXPECT_FALSE(tk::WindowSlotInUse(n)) << n;
  }
}

TEST_F(BandpassWindowMoreTest, PrintFromTheSpectrumPopupPrintsTheSpectrumPlot) {
  tool_window_test::RecordedPrinter printer;
  ShotRecord rec = SineRecord();
  int spectrum = 0;
  std::vector<plat::Pixel> before, after;
  LookLater([&] {
    spectrum = ChildTitled(vel::kBandpassSpectrumTitle);
    ASSERT_GT(spectrum, 0);
    before = Shown(spectrum);
    harness.Answer("dialog " + std::to_string(tk::kHardcopyDeviceDialog), "press 1");
    harness.Click(tk::WindowClientHandle(spectrum), {40, 40}, plat::MouseButton::Right);
    harness.Pause(10).PickOpenMenuItem(vel::kToolPrint);
    harness.MouseMove(Client(0), {1, 1}).Pause(10).Call([&] {
      after = Shown(spectrum);
      tk::WDialogSelect(vel::kBandpassDialog);  // the print dialog was the last one
      plat::ButtonClick(Field(2));
    });
    harness.MouseMove(Client(0), {1, 1});
  });
  harness.MouseMove(Client(0), {1, 1});
  Run(rec);
  EXPECT_EQ(printer.Pages(), 1);
  EXPECT_EQ(printer.Ends(), 1);
  EXPECT_GT(printer.drawnWidths.size(), 10u);  // frame, axes, spectrum and response
  EXPECT_EQ(tk::Gs().hardcopyOn, 0);
  ASSERT_FALSE(before.empty());
  EXPECT_EQ(after, before);  // the screen shows the plot again
}

}  // namespace
