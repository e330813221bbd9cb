// The Process menu's four trace operations, the shell's sequence around the
// filter tools (with stand-in tools), and the F-K tool's refusal of a record
// it cannot transform.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "formats/Seg2In.h"
#include "shell/ProcessCommands.h"
#include "shell/Velloran.h"
#include "support/UserMessages.h"
#include "tests/NumpyRunner.h"
#include "tests/TestSupport.h"
#include "tests/shell/AppDialogTestSupport.h"
#include "toolkit/core/Menus.h"
#include "toolkit/core/Windows.h"
#include "toolkit/core/Windows_p.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/WindowTargets.h"
#include "display/TracePlot.h"
#include "support/PenPlot.h"

namespace {

using vel::ShotRecord;

// One trace per sample list, all the same length, at interval DT.
ShotRecord RecordOf(const std::vector<std::vector<float>>& traces, float dt) {
  ShotRecord rec;
  rec.NTRACE = static_cast<std::int32_t>(traces.size());
  rec.NSAMP = static_cast<std::int32_t>(traces.front().size());
  rec.SAMPINT = dt;
  EXPECT_TRUE(vel::RebuildTraceArrays(rec));
  for (std::size_t j = 0; j < traces.size(); ++j) {
    auto t = vel::Trace(rec, static_cast<std::int32_t>(j + 1));
    std::copy(traces[j].begin(), traces[j].end(), t.begin());
    rec.TRACEMAX[j] = 123.0f;
  }
  rec.GMIN = -5.0f;
  rec.GMAX = 7.0f;
  return rec;
}

std::vector<float> Samples(const ShotRecord& rec, int j) {
  auto t = vel::Trace(rec, j);
  return {t.begin(), t.end()};
}

void ExpectNear(const std::vector<float>& got, const std::vector<float>& want, float tol) {
  ASSERT_EQ(got.size(), want.size());
  for (std::size_t i = 0; i < got.size(); ++i) EXPECT_NEAR(got[i], want[i], tol) << "sample " << i + 1;
}

TEST(TraceOperationsTest, EdgeCases) {
  struct Case {
    const char* name;
    void (*op)(ShotRecord&);
    std::vector<float> in;
    float dt;
    std::vector<float> want;
  };
  const Case cases[] = {
      {"differentiate constant", [](ShotRecord& r) { vel::DifferentiateTraces(r); }, {3, 3, 3, 3}, 2.0f, {0, 0, 0, 0}},
      {"differentiate ramp", [](ShotRecord& r) { vel::DifferentiateTraces(r); }, {1, 2, 3, 4, 5}, 4.0f, {0, 0.25f, 0.25f, 0.25f, 0.25f}},
      {"integrate ones", vel::IntegrateTraces, {1, 1, 1, 1, 1}, 2.0f, {1, 4, 6, 8, 10}},
      {"detrend straight line", vel::DetrendTraces, {5, 7, 9, 11, 13, 15}, 0.5f, {0, 0, 0, 0, 0, 0}},
      {"detrend one sample", vel::DetrendTraces, {10}, 2.0f, {8}},
      {"remove dc constant", vel::RemoveDcTraces, {4, 4, 4}, 1.0f, {0, 0, 0}},
      {"remove dc mean", vel::RemoveDcTraces, {1, 2, 6}, 1.0f, {-2, -1, 3}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ShotRecord rec = RecordOf({c.in, c.in}, c.dt);
    c.op(rec);
    ExpectNear(Samples(rec, 1), c.want, 1e-4f);
    ExpectNear(Samples(rec, 2), c.want, 1e-4f);
    // The amplitude range and trace maxima stay as they were.
    EXPECT_EQ(rec.GMIN, -5.0f);
    EXPECT_EQ(rec.GMAX, 7.0f);
    EXPECT_EQ(rec.TRACEMAX[0], 123.0f);
  }
}

TEST(TraceOperationsTest, DifferentiateRefusesAnInvalidSampleInterval) {
  for (const float dt : {0.0f, -1.0f, NAN, INFINITY}) {
    ShotRecord rec = RecordOf({{1, 2, 3}}, dt);
    EXPECT_FALSE(vel::DifferentiateTraces(rec));
    EXPECT_EQ(Samples(rec, 1), (std::vector<float>{1, 2, 3}));
  }
}

// The operations on a public SEG-2 record against numpy on the same formulas.
TEST(TraceOperationsTest, PublicRecordAgreesWithNumpy) {
  SKIP_WITHOUT_NUMPY();
  const auto file = testing_support::SharedData() / "pyrefra" / "Rec_00001.seg2";
  if (testing_support::SharedData().empty() || !std::filesystem::exists(file))
    GTEST_SKIP() << "shared data absent";
  sup::SetUserMessageHook([](sup::UserMessageKind, std::string_view, std::string_view) {});
  ShotRecord rec;
  int ierr = 0;
  vel::SEG2IN(rec, file.string(), ierr, true);
  sup::SetUserMessageHook({});
  ASSERT_EQ(ierr, 0);
  const int j = std::min(rec.NTRACE, 5);
  const std::vector<float> x = Samples(rec, j);
  const std::vector<float> dt = {rec.SAMPINT};
  float largest = 0.0f;
  for (float v : x) largest = std::max(largest, std::abs(v));
  struct Case {
    const char* name;
    void (*op)(ShotRecord&);
    const char* numpy;
    float tolerance;
  };
  const Case cases[] = {
      {"differentiate", [](ShotRecord& r) { vel::DifferentiateTraces(r); },
       "x = INPUTS[0].astype(np.float64); dt = float(INPUTS[1][0])\n"
       "OUT = np.concatenate([[0.0], np.diff(x) / dt])",
       1e-5f * largest / rec.SAMPINT},
      {"integrate", vel::IntegrateTraces,
       "x = INPUTS[0]; dt = np.float32(INPUTS[1][0])\n"
       "s = np.cumsum(x, dtype=np.float32)\nOUT = np.concatenate([[x[0]], s[1:] * dt])",
       1e-5f * largest * static_cast<float>(x.size()) * rec.SAMPINT},
      {"detrend", vel::DetrendTraces,
       "x = INPUTS[0].astype(np.float64); dt = float(INPUTS[1][0])\n"
       "t = dt * np.arange(1, len(x) + 1)\nb, a = np.polyfit(t, x, 1)\nOUT = x - a - b * t",
       1e-4f * largest},
      {"remove dc", vel::RemoveDcTraces,
       "x = INPUTS[0].astype(np.float64)\nOUT = x - x.mean()", 1e-5f * largest},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ShotRecord copy = rec;
    c.op(copy);
    const std::vector<float> want = testing_support::RunNumpy(c.numpy, {x, dt});
    ExpectNear(Samples(copy, j), want, c.tolerance);
  }
}

TEST(TraceOperationsTest, RemoveDcOnTracesRidingOnALargeOffset) {
  // Traces at 1e6 with a signal of 15: the mean left behind must be far below
  // the signal, however long the trace.
  for (const std::size_t n : {std::size_t{4000}, std::size_t{16000}}) {
    SCOPED_TRACE(n);
    std::vector<float> a(n), b(n);
    for (std::size_t i = 0; i < n; ++i) {
      const float s = 15.0f * std::sin(0.05f * static_cast<float>(i));
      a[i] = 1e6f + s;
      b[i] = -1e6f + 0.5f + s;
    }
    ShotRecord rec = RecordOf({a, b}, 0.25f);
    vel::RemoveDcTraces(rec);
    for (int j = 1; j <= 2; ++j) {
      const std::vector<float> x = Samples(rec, j);
      double sum = 0.0, squares = 0.0;
      for (const float v : x) sum += v;
      const double mean = sum / static_cast<double>(n);
      for (const float v : x) squares += (v - mean) * (v - mean);
      const double deviation = std::sqrt(squares / static_cast<double>(n));
      EXPECT_GT(deviation, 10.0) << "trace " << j;
      EXPECT_LT(std::fabs(mean), 1e-3 * deviation) << "trace " << j;
    }
  }
}

// ---- The commands in the program ----

class ProcessCommandsTest : public app_dialog_test::AppDialogTest {
 protected:
  void SetUp() override {
    tk::GraphicsConnectWindows();
    AppDialogTest::SetUp();
    sup::PenPlotReset();
    tk::WMenu(vel::kMainMenu);
    sup::SetUserMessageHook([this](sup::UserMessageKind, std::string_view, std::string_view t) {
      messages.emplace_back(t);
    });
    app = std::make_unique<vel::Velloran>();
    app->record = RecordOf({{1, 2, 3, 4}, {2, 2, 2, 2}}, 1.0f);
    app->record.CRECNAME = "SHOT7";
    app->loaded = true;
    tk::WindowMakeCurrent(tk::kMainWindow);
    vel::ShowNewRecord(app->record, app->MainPlotAxes, app->options, app->tracePlot);
  }
  void TearDown() override {
    vel::ProcessToolSeams() = {};
    sup::SetUserMessageHook({});
    AppDialogTest::TearDown();
  }
  std::unique_ptr<vel::Velloran> app;
  std::vector<std::string> messages;
};

TEST_F(ProcessCommandsTest, TraceOperationsKeepTheFrameAndNothingLoadedDoesNothing) {
  const sup::GraphAxes frame = app->MainPlotAxes;
  vel::DispatchCommand(*app, vel::kCommandDifferentiate);
  EXPECT_EQ(Samples(app->record, 1), (std::vector<float>{0, 1, 1, 1}));
  EXPECT_EQ(app->MainPlotAxes.XSTART, frame.XSTART);
  EXPECT_EQ(app->MainPlotAxes.YSTEP, frame.YSTEP);

  app->record.SAMPINT = 0.0f;
  vel::DispatchCommand(*app, vel::kCommandDifferentiate);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].find("sample interval is not valid"), std::string::npos);

  app->loaded = false;
  vel::DispatchCommand(*app, vel::kCommandRemoveDc);
  EXPECT_EQ(Samples(app->record, 1), (std::vector<float>{0, 1, 1, 1}));
}

TEST_F(ProcessCommandsTest, FilterToolsPutTheMainWindowBack) {
  for (const bool bandpass : {true, false}) {
    SCOPED_TRACE(bandpass ? "band-pass" : "F-K");
    app->settings.LZOOM = true;
    tk::WindowMakeCurrent(tk::kMainWindow);
    vel::TakeMainPlacement(*app);
    const vel::WindowPlacement place = app->settings.mainWindow;
    const sup::GraphAxes frame = app->MainPlotAxes;
    int zoomTickDuringTool = -1;
    // A stand-in tool that takes the main window over as the filter windows do.
    auto tool = [&](ShotRecord& rec, vel::TraceDisplayOptions&, std::int32_t& status) {
      zoomTickDuringTool = tk::WMenuGetState(40017, 2);
      tk::WindowMakeCurrent(tk::kMainWindow);
      tk::WMenuWindow(30007, tk::kMainWindow);
      tk::WindowTitle("Band-pass Filter");
      tk::WindowReposition(300, 200, 40, 50);
      app->MainPlotAxes.XSTART += 17.0f;
      app->MainPlotAxes.YCELL = 0.5f;
      vel::Trace(rec, 1)[0] = 99.0f;
      // The F-K window puts the main menu back itself before it returns.
      if (!bandpass) tk::WMenuWindow(vel::kMainMenu, tk::kMainWindow);
      status = 0;
    };
    tk::WMenuSetState(40017, 2, 0);
    if (bandpass) {
      vel::ProcessToolSeams().filter = tool;
      vel::DispatchCommand(*app, vel::kCommandBandpass);
      EXPECT_EQ(zoomTickDuringTool, 1);  // step 3 ticked Zoom before the tool
    } else {
      vel::ProcessToolSeams().filterFk = tool;
      vel::DispatchCommand(*app, vel::kCommandFkFilter);
      EXPECT_EQ(zoomTickDuringTool, 0);  // no zoom tick before the F-K tool
    }
    EXPECT_EQ(tk::detail::Slot(0).menu, vel::kMainMenu);
    tk::WindowMakeCurrent(tk::kMainWindow);
    EXPECT_EQ(plat::GetWindowText(tk::WindowFrameHandle(tk::kMainWindow)),
              "Morvane Seismic Processing [SHOT7                           ]");
    EXPECT_EQ(tk::WindowQuery(1), place.width);
    EXPECT_EQ(tk::WindowQuery(5), place.x);
    EXPECT_EQ(tk::WindowQuery(6), place.y);
    EXPECT_EQ(app->MainPlotAxes.XSTART, frame.XSTART);
    EXPECT_EQ(app->MainPlotAxes.YCELL, frame.YCELL);
    EXPECT_EQ(vel::Trace(app->record, 1)[0], 99.0f);
    EXPECT_EQ(tk::WMenuGetState(40017, 2), 1);
    EXPECT_EQ(tk::WMenuGetState(40044, 1), 1);  // the menu states were set again
    vel::ProcessToolSeams() = {};
  }
}

TEST_F(ProcessCommandsTest, FkFilterRefusesARecordWithoutTraceSpacing) {
  // Both traces at position 0: no wavenumber step can be formed. The tool
  // says so before it opens anything, and the record stays as it was.
  vel::DispatchCommand(*app, vel::kCommandFkFilter);
  EXPECT_EQ(messages, std::vector<std::string>{"TRACE SPACING NOT VALID: FIRST AND LAST TRACE AT THE SAME POSITION"});
  EXPECT_EQ(Samples(app->record, 1), (std::vector<float>{1, 2, 3, 4}));
  EXPECT_EQ(tk::detail::Slot(0).menu, vel::kMainMenu);
  for (int n = 1; n <= 50; ++n) EXPECT_FALSE(tk::WindowSlotInUse(n)) << n;
}

TEST_F(ProcessCommandsTest, SpectrumReachesItsTool) {
  int spectrumCalls = 0;
  vel::ProcessToolSeams().spectrum = [&](ShotRecord&, vel::TraceDisplayOptions&, sup::GraphAxes&,
                                         std::int32_t&) { ++spectrumCalls; };
  vel::DispatchCommand(*app, vel::kCommandSpectrum);
  EXPECT_EQ(spectrumCalls, 1);
  vel::ProcessToolSeams() = {};
}

}  // namespace
