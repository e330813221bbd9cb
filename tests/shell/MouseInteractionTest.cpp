// Mouse interaction on the main window and the two overlay dialogs, driven
// with event records as the loop hands them over: read-outs, the message-time
// rules, zoom boxes, click picks, the wavelet cut and the NMO and refractor
// tools with their result files.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "display/Overlays.h"
#include "display/TracePlot.h"
#include "platform/controls/Controls.h"
#include "shell/EditCommands.h"
#include "shell/MouseInteraction.h"
#include "shell/FileCommands.h"
#include "shell/PickCommands.h"
#include "shell/TracePlotDialog.h"
#include "shell/Velloran.h"
#include "support/PenPlot.h"
#include "support/UserMessages.h"
#include "tests/NumpyRunner.h"
#include "tests/TestSupport.h"
#include "tests/shell/AppDialogTestSupport.h"
#include "toolkit/core/Conversion.h"
#include "toolkit/core/Menus.h"
#include "toolkit/core/Rounding.h"
#include "toolkit/core/Windows.h"
#include "toolkit/dialogs/Dialogs.h"
#include "toolkit/graphics/WindowTargets.h"

namespace {

using vel::ShotRecord;
using enum tk::EventType;

// Four traces of 20 samples at 1 ms, 10 m apart; trace j holds VALUES[j-1]
// in every sample; picks 5, 0, 8, 0.
ShotRecord Record(const std::vector<float>& values) {
  ShotRecord rec;
  rec.CRECNAME = "SHOT3";
  rec.NTRACE = static_cast<std::int32_t>(values.size());
  rec.NSAMP = 20;
  rec.SAMPINT = 1.0f;
  rec.SPACING = 10.0f;
  EXPECT_TRUE(vel::RebuildTraceArrays(rec));
  for (std::size_t j = 0; j < values.size(); ++j) {
    for (float& v : vel::Trace(rec, static_cast<std::int32_t>(j + 1))) v = values[j];
    rec.GEOLOC[j] = 10.0f * static_cast<float>(j + 1);
    rec.TRACEMAX[j] = std::abs(values[j]);
    rec.IBPICK[j] = j == 0 ? 5 : j == 2 ? 8 : 0;
  }
  rec.GMIN = -1.0f;
  rec.GMAX = 2e6f;
  return rec;
}

class MouseInteractionTest : public app_dialog_test::AppDialogTest {
 protected:
  void SetUp() override {
    tk::GraphicsConnectWindows();
    tk::WindowStyleRecord style;
    style.flags = tk::kWsSystemMenu | tk::kWsStatusBar;
    style.width = 800;
    style.height = 600;
    style.menu = vel::kMainMenu;
    style.title = "Velloran test";
    tk::WindowOpen(style);
    constexpr int kWidths[] = {1000, 1500, 1500, 1500, 5000};
    tk::WindowStatusParts(5, kWidths);
    tk::WMenu(vel::kMainMenu);
    sup::PenPlotReset();
    sup::SetUserMessageHook([this](sup::UserMessageKind, std::string_view, std::string_view t) {
      messages.emplace_back(t);
    });
    app = std::make_unique<vel::Velloran>();
    app->record = Record({2e6f, 1500.0f, 2.5f, 0.005f});
    app->loaded = true;
    tk::WindowMakeCurrent(tk::kMainWindow);
    vel::ShowNewRecord(app->record, app->MainPlotAxes, app->options, app->tracePlot);
  }
  void TearDown() override {
    vel::CloseResultFiles(*app);
    sup::SetUserMessageHook({});
    AppDialogTest::TearDown();
  }

  // Window units of (trace position, time) in the main frame.
  void UnitsOf(float pos, float t, int& x, int& y) const {
    const sup::GraphAxes& a = app->MainPlotAxes;
    x = tk::NearestInt((a.XORIGIN + sup::PLOFX(pos, a)) * 1000.0);
    y = 10000 - tk::NearestInt((a.YORIGIN + sup::PLOFY(t, a)) * 1250.0);
  }
  void Send(int type, int x, int y, int time, int button = 1, int window = tk::kMainWindow) {
    tk::EventRecord e;
    e.window = window;
    e.value1 = button;
    e.x = x;
    e.y = y;
    e.time = time;
    vel::HandleInteractionEvent(*app, type, e);
  }
  void MoveTo(float pos, float t, int time = 0) {
    int x = 0, y = 0;
    UnitsOf(pos, t, x, y);
    Send(kEventMouseMove, x, y, time, 0);
  }
  static std::string Part(int n) {
    return plat::StatusBarGetText(tk::WindowStatusBarHandle(0), n - 1);
  }
  static std::vector<plat::Pixel> ClientPixels() {
    const auto binding = tk::Targets().peekWindow(tk::kMainWindow);
    if (!binding || binding->surface == nullptr) return {};
    const auto p = binding->surface->Pixels();
    return {p.begin(), p.end()};
  }

  std::vector<plat::CursorShape> CursorChanges() {
    const plat::NativeWindow native =
        plat::GetNativeWindow(tk::WindowFrameHandle(tk::kMainWindow));
    return harness.Backend().Window(native)->cursorChanges;
  }

  std::unique_ptr<vel::Velloran> app;
  std::vector<std::string> messages;
};

TEST_F(MouseInteractionTest, ReadOutsInEachMagnitudeAndNoTraceOverBlankSpace) {
  struct Case {
    int trace;
    float value;
    const char* valueText;
    const char* pick;
  };
  const Case cases[] = {
      {1, 2e6f, "Value:  2.00000E+06", "First Break:    5.00"},
      {2, 1500.0f, "Value:   1500.", "No Pick"},
      {3, 2.5f, "Value:   2.500", "First Break:    8.00"},
      {4, 0.005f, "Value: 0.005000", "No Pick"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.trace);
    MoveTo(static_cast<float>(c.trace), 6.0f);
    EXPECT_EQ(Part(1), "Trace:" + tk::FormatIntegerField(c.trace, "(I5)"));
    EXPECT_EQ(Part(2), "Time (ms):     6.00");
    EXPECT_EQ(Part(3), "Sample:      6");
    EXPECT_EQ(Part(4), c.pick);
    EXPECT_EQ(Part(5), c.valueText);
  }
  // A value below 0.001 goes back to the exponent form.
  vel::Trace(app->record, 4)[9] = 0.0001f;
  MoveTo(4.0f, 10.0f);
  EXPECT_EQ(Part(5), "Value:  1.00000E-04");
  // Same trace again: trace and pick parts are not rewritten.
  tk::WindowStatusText(1, "kept");
  tk::WindowStatusText(4, "kept");
  MoveTo(4.0f, 12.0f);
  EXPECT_EQ(Part(1), "kept");
  EXPECT_EQ(Part(4), "kept");
  EXPECT_EQ(Part(2), "Time (ms):    12.00");
  // Beside the traces, and a time past the last sample: "No Trace" everywhere.
  for (const auto& [pos, t] : {std::pair{7.0f, 6.0f}, std::pair{2.0f, 40.0f}}) {
    MoveTo(pos, t);
    for (int part = 1; part <= 5; ++part) EXPECT_EQ(Part(part), "No Trace") << part;
  }
}

TEST_F(MouseInteractionTest, ReadOutFollowsPickChangesAndANewRecord) {
  int x = 0, y = 0;
  // A click on the trace under the pointer shows its new pick at once.
  MoveTo(2.0f, 9.0f, 0);
  ASSERT_EQ(Part(4), "No Pick");
  UnitsOf(2.0f, 9.0f, x, y);
  Send(kEventButtonDown, x, y, 100);
  Send(kEventButtonUp, x, y, 150);
  ASSERT_EQ(app->record.IBPICK[1], 9);
  EXPECT_EQ(Part(4), "First Break:    9.00");
  // Kill Trace on the trace shown clears its pick in the read-out.
  MoveTo(1.0f, 6.0f, 170);
  ASSERT_EQ(Part(4), "First Break:    5.00");
  vel::DispatchCommand(*app, vel::kCommandKillTrace);
  ASSERT_EQ(app->record.IBPICK[0], 0);
  EXPECT_EQ(Part(4), "No Pick");
  // A pick changed behind the read-out (a repick) shows with the next move
  // over the same trace.
  MoveTo(2.0f, 9.0f, 180);
  app->record.IBPICK[1] = 12;
  MoveTo(2.0f, 10.0f, 200);
  EXPECT_EQ(Part(4), "First Break:   12.00");
  // A new record: nothing of the last one's read-out stays.
  MoveTo(4.0f, 6.0f, 300);
  ASSERT_EQ(Part(1), "Trace:    4");
  app->record = Record({1.0f, 2.0f});
  vel::ImportTail(*app);
  for (int part = 1; part <= 5; ++part) EXPECT_EQ(Part(part), "") << part;
  MoveTo(2.0f, 6.0f, 400);
  EXPECT_EQ(Part(1), "Trace:    2");
}

TEST_F(MouseInteractionTest, MessageTimesTellClicksFromDrags) {
  int x = 0, y = 0;
  UnitsOf(2.0f, 9.0f, x, y);
  app->settings.LZOOM = true;
  MoveTo(2.0f, 9.0f);
  // A 400 ms press sets no pick.
  Send(kEventButtonDown, x, y, 1000);
  Send(kEventButtonUp, x, y, 1400);
  EXPECT_EQ(app->record.IBPICK[1], 0);
  // Moves at 250 ms and at exactly 300 ms draw no box; a release at exactly
  // 300 ms is no click either.
  Send(kEventButtonDown, x, y, 2000);
  Send(kEventMouseMove, x + 300, y + 300, 2250, 0);
  EXPECT_FALSE(app->rubberBox);
  Send(kEventMouseMove, x + 300, y + 300, 2300, 0);
  EXPECT_FALSE(app->rubberBox);
  Send(kEventButtonUp, x, y, 2300);
  EXPECT_EQ(app->record.IBPICK[1], 0);
  // A quick click sets the pick of the formula, at the pointer of the last move.
  MoveTo(2.0f, 9.0f, 2900);
  Send(kEventButtonDown, x, y, 3000);
  Send(kEventButtonUp, x, y, 3100);
  EXPECT_EQ(app->record.IBPICK[1], 9);
  EXPECT_TRUE(app->record.LPICKS);
}

TEST_F(MouseInteractionTest, ClickPickLimits) {
  int x = 0, y = 0;
  // Past the last sample: not stored.
  UnitsOf(2.0f, 25.0f, x, y);
  Send(kEventMouseMove, x, y, 0, 0);
  Send(kEventButtonDown, x, y, 10);
  Send(kEventButtonUp, x, y, 20);
  EXPECT_EQ(app->record.IBPICK[1], 0);
  // Beyond the traces (NINT gives NTRACE + 1): nothing.
  UnitsOf(5.0f, 6.0f, x, y);
  Send(kEventMouseMove, x, y, 30, 0);
  Send(kEventButtonDown, x, y, 40);
  Send(kEventButtonUp, x, y, 50);
  EXPECT_EQ(app->record.IBPICK, (std::vector<std::int32_t>{5, 0, 8, 0}));
}

TEST_F(MouseInteractionTest, ClickPickWithPositionsNeedsOneSpacing) {
  app->options.LGEOPOS = true;
  vel::ShowNewRecord(app->record, app->MainPlotAxes, app->options, app->tracePlot);
  int x = 0, y = 0;
  for (const auto& [pos, want] : {std::pair{23.0f, 7}, std::pair{51.0f, 0}}) {
    app->record.IBPICK[3] = 0;
    app->record.IBPICK[1] = 0;
    UnitsOf(pos, 7.0f, x, y);
    Send(kEventMouseMove, x, y, 0, 0);
    Send(kEventButtonDown, x, y, 10);
    Send(kEventButtonUp, x, y, 20);
    EXPECT_EQ(app->record.IBPICK[pos < 30 ? 1 : 3], want) << pos;
  }
}

TEST_F(MouseInteractionTest, ZoomBoxes) {
  app->settings.LZOOM = true;
  const sup::GraphAxes before = app->MainPlotAxes;
  int x = 0, y = 0;
  UnitsOf(1.0f, 2.0f, x, y);
  // 20 units across: nothing.
  Send(kEventButtonDown, x, y, 0);
  Send(kEventMouseMove, x + 20, y + 300, 400, 0);
  EXPECT_TRUE(app->rubberBox);
  Send(kEventButtonUp, x + 20, y + 300, 500);
  EXPECT_FALSE(app->rubberBox);
  EXPECT_EQ(app->MainPlotAxes.XSTART, before.XSTART);
  EXPECT_EQ(app->MainPlotAxes.YSTART, before.YSTART);
  // 21 by 21: zooms, the previous frame kept, pans on, x step at least 1.
  Send(kEventButtonDown, x, y, 1000);
  Send(kEventMouseMove, x + 21, y + 21, 1400, 0);
  Send(kEventButtonUp, x + 21, y + 21, 1500);
  EXPECT_EQ(app->previousFrame.XSTART, before.XSTART);
  EXPECT_EQ(app->previousFrame.YSTEP, before.YSTEP);
  EXPECT_NE(app->MainPlotAxes.YSTEP, before.YSTEP);
  EXPECT_GE(app->MainPlotAxes.XSTEP, 1.0f);
  EXPECT_EQ(tk::WMenuGetState(vel::kCommandPanLeft, 1), 1);
  // On the refraction window: its message, the frame unchanged.
  int child = 0;
  tk::WindowOpenChild(child);
  app->refractionWindow = child;
  const sup::GraphAxes zoomed = app->MainPlotAxes;
  Send(kEventButtonDown, x, y, 2000, 1, child);
  Send(kEventMouseMove, x + 400, y + 400, 2400, 0, child);
  Send(kEventButtonUp, x + 400, y + 400, 2500, 1, child);
  EXPECT_EQ(messages, (std::vector<std::string>{
                          "Zoom not available on refraction interpretation display"}));
  EXPECT_EQ(app->MainPlotAxes.YSTEP, zoomed.YSTEP);
}

TEST(WholeXStepsTest, DoublesSmallStepsAndStopsForStepsThatAreNotPositive) {
  sup::GraphAxes a;
  a.XSTART = 1.5f;
  a.XSTEP = 0.25f;
  a.NXDIV = 8;
  a.XCELL = 1.0f;
  vel::WholeXSteps(a);
  EXPECT_EQ(a.XSTART, 1.0f);
  EXPECT_EQ(a.XSTEP, 1.0f);
  EXPECT_EQ(a.NXDIV, 2);  // 8 -> 4 -> 2 divisions, still reaching the old end 3
  EXPECT_FLOAT_EQ(a.XCELL * static_cast<float>(a.NXDIV), 8.0f);
  // A start that leaves the old end uncovered gets one more division.
  sup::GraphAxes c;
  c.XSTART = 0.9f;
  c.XSTEP = 0.5f;
  c.NXDIV = 5;
  c.XCELL = 1.0f;
  vel::WholeXSteps(c);  // start 0, old end 2.5; step 1, 2 divisions end at 2: one more
  EXPECT_EQ(c.XSTART, 0.0f);
  EXPECT_EQ(c.XSTEP, 1.0f);
  EXPECT_EQ(c.NXDIV, 3);
  for (const float step : {0.0f, -0.5f, NAN}) {
    sup::GraphAxes b;
    b.XSTART = 1.5f;
    b.XSTEP = step;
    b.NXDIV = 4;
    b.XCELL = 2.0f;
    vel::WholeXSteps(b);  // ends at once
    EXPECT_EQ(b.XSTART, 1.5f);
    EXPECT_EQ(b.NXDIV, 4);
    EXPECT_EQ(b.XCELL, 2.0f);
  }
}

TEST(WaveletShapeTest, AgreesWithNumpyForEveryOptionAndRefusesWhatCannotBeCut) {
  const std::vector<float> cut = {0.5f, 2.0f, -1.25f, 3.0f, 0.75f, -0.5f, 1.5f};
  SKIP_WITHOUT_NUMPY();
  for (const bool taper : {false, true}) {
    for (const bool normalise : {false, true}) {
      std::vector<float> got;
      std::string why;
      ASSERT_TRUE(vel::ShapeWavelet(cut, taper, normalise, got, why));
      const std::string body = std::string("w = INPUTS[0].astype(np.float64)\n") +
                               (taper ? "w = w * np.cos(np.arange(len(w)) * (np.pi / 2) / (len(w) - 1))\n" : "") +
                               (normalise ? "w = w / INPUTS[0].astype(np.float64).sum()\n" : "") + "OUT = w";
      const std::vector<float> want = testing_support::RunNumpy(body, {cut});
      ASSERT_EQ(got.size(), want.size());
      for (std::size_t i = 0; i < got.size(); ++i) EXPECT_NEAR(got[i], want[i], 1e-5) << taper << normalise << i;
    }
  }
  std::vector<float> out;
  std::string why;
  EXPECT_FALSE(vel::ShapeWavelet({}, false, false, out, why));
  EXPECT_FALSE(vel::ShapeWavelet(std::vector<float>{2.0f}, true, false, out, why));
  EXPECT_TRUE(vel::ShapeWavelet(std::vector<float>{2.0f}, false, false, out, why));
  EXPECT_FALSE(vel::ShapeWavelet(std::vector<float>{1.0f, -1.0f}, false, true, out, why));
  EXPECT_FALSE(vel::ShapeWavelet(std::vector<float>{1e38f, 1e38f, 1e38f, 1e38f}, false, true, out, why));
}

TEST_F(MouseInteractionTest, NmoToolOpensSavesAndClosesLeavingThePictureAsItWas) {
  namespace fs = std::filesystem;
  testing_support::TempDir dir;
  const auto before = ClientPixels();
  vel::DispatchCommand(*app, vel::kCommandNmoCorrection);
  EXPECT_TRUE(app->nmoOpen);
  EXPECT_NE(ClientPixels(), before);
  EXPECT_EQ(tk::WMenuGetState(vel::kCommandNmoCorrection, 2), 1);
  for (const int id : {40005, 40029, 40051, 40060, 40025})
    EXPECT_EQ(tk::WMenuGetState(id, 1), 0) << id;
  tk::WDialogSelect(vel::kNmoDialog);
  float t0 = 0, v = 0, depth = 0;
  tk::WDialogGetReal(vel::kOverlayT0Field, t0);
  tk::WDialogGetReal(vel::kOverlayVField, v);
  tk::WDialogGetReal(vel::kNmoDepthField, depth);
  EXPECT_EQ(t0, 10.0f);
  EXPECT_EQ(v, 2000.0f);
  EXPECT_EQ(depth, 10.0f);

  // Save to File twice: header and two lines in one file.
  const fs::path file = dir / "nmo.txt";
  harness.Answer("filedialog", file.string());
  Send(kEventPushButton, 0, 0, 0, 1229);
  Send(kEventPushButton, 0, 0, 0, 1229);
  std::fflush(app->nmoFile);
  std::string text = testing_support::ReadFile(file);
  const std::string header = "Record Name                         Time-Depth      Velocity       Depth     ";
  ASSERT_EQ(header.size(), 77u);
  const std::string line = std::string("SHOT3") + std::string(27, ' ') + "     10.0000000   2000.0000000     10.0000000\r\n";
  EXPECT_EQ(text, header + "\r\n" + line + line);
  // Close File, then Save to File asks again: a new file gets a header.
  Send(kEventPushButton, 0, 0, 0, 1228);
  EXPECT_EQ(app->nmoFile, nullptr);
  const fs::path second = dir / "second.txt";
  harness.Answer("filedialog", second.string());
  Send(kEventPushButton, 0, 0, 0, 1229);
  std::fflush(app->nmoFile);
  EXPECT_EQ(testing_support::ReadFile(second), header + "\r\n" + line);

  // A typed velocity moves the curve; a blank or zero one keeps the pair.
  tk::WDialogSelect(vel::kNmoDialog);
  tk::WDialogPutReal(vel::kOverlayVField, 0.0f);
  Send(kEventFieldChanged, 0, 0, 0, 0);
  EXPECT_EQ(app->record.VNMO, 2000.0f);
  tk::WDialogSelect(vel::kNmoDialog);
  tk::WDialogPutReal(vel::kOverlayVField, 3000.0f);
  Send(kEventFieldChanged, 0, 0, 0, 0);
  EXPECT_EQ(app->record.VNMO, 3000.0f);
  // The old curve is gone and the one shown is that of the new pair: drawing
  // the new curve once more leaves the plain picture.
  tk::WindowMakeCurrent(tk::kMainWindow);
  vel::PLOTNMO(app->record, app->MainPlotAxes, app->options);
  EXPECT_EQ(ClientPixels(), before);
  vel::PLOTNMO(app->record, app->MainPlotAxes, app->options);

  // Close: reads back, remembers the place, erases the curve, enables again.
  Send(kEventPushButton, 0, 0, 0, 1);
  EXPECT_FALSE(app->nmoOpen);
  EXPECT_EQ(tk::WMenuGetState(vel::kCommandNmoCorrection, 2), 0);
  EXPECT_EQ(tk::WMenuGetState(40029, 1), 1);
  EXPECT_EQ(ClientPixels(), before);
}

TEST_F(MouseInteractionTest, RefractorCloseFileLetsTheNextSaveAskAgain) {
  namespace fs = std::filesystem;
  testing_support::TempDir dir;
  vel::DispatchCommand(*app, vel::kCommandRefractorOverlay);
  EXPECT_TRUE(app->refractorOpen);
  harness.Answer("filedialog", (dir / "a.txt").string());
  Send(kEventPushButton, 0, 0, 0, 1230);
  Send(kEventPushButton, 0, 0, 0, 1231);
  EXPECT_EQ(app->refractionFile, nullptr);
  harness.Answer("filedialog", (dir / "b.txt").string());
  Send(kEventPushButton, 0, 0, 0, 1230);
  std::fflush(app->refractionFile);
  const std::string header = "Record Name                         Time-Depth      Velocity       ";
  ASSERT_EQ(header.size(), 67u);
  const std::string line = std::string("SHOT3") + std::string(27, ' ') + "     10.0000000   2000.0000000\r\n";
  EXPECT_EQ(testing_support::ReadFile(dir / "a.txt"), header + "\r\n" + line);
  EXPECT_EQ(testing_support::ReadFile(dir / "b.txt"), header + "\r\n" + line);
  Send(kEventPushButton, 0, 0, 0, 1);
  EXPECT_FALSE(app->refractorOpen);
}

TEST_F(MouseInteractionTest, WaveletCutAcrossOneTrace) {
  // Trace 3 carries a ramp so that the cut samples are told apart.
  auto t3 = vel::Trace(app->record, 3);
  for (std::size_t i = 0; i < t3.size(); ++i) t3[i] = 1.0f + static_cast<float>(i);
  app->settings.LZOOM = true;
  vel::SelectWaveletCommand(*app);
  EXPECT_EQ(tk::WMenuGetState(vel::kCommandSelectWavelet, 2), 1);
  int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  UnitsOf(2.8f, 4.0f, x1, y1);
  UnitsOf(3.2f, 9.0f, x2, y2);
  Send(kEventButtonDown, x1, y1, 0);
  Send(kEventMouseMove, x2, y2, 500, 0);
  EXPECT_TRUE(app->rubberBox);
  // Dialog 149 with the taper and normalising on, then OK.
  harness.Pause(10).Call([] {
    plat::ButtonSetCheck(Field(1252), 1);
    plat::ButtonSetCheck(Field(1253), 1);
    plat::ButtonClick(Field(1));
  });
  harness.MouseMove(Client(0), {1, 1});
  Send(kEventButtonUp, x2, y2, 600);
  const vel::SelectedWavelet& w = app->picking.wavelet;
  ASSERT_TRUE(w.selected);
  ASSERT_EQ(w.count, 6);  // samples 4..9
  std::vector<float> want;
  std::string why;
  ASSERT_TRUE(vel::ShapeWavelet(std::vector<float>{4, 5, 6, 7, 8, 9}, true, true, want, why));
  EXPECT_EQ(w.samples, want);
  EXPECT_EQ(w.sampleInterval, 1.0f);
  EXPECT_GT(app->waveletWindow, 0);
  tk::WindowMakeCurrent(tk::kMainWindow);
  EXPECT_EQ(tk::WMenuGetState(vel::kCommandWaveletPick, 1), 1);
  EXPECT_EQ(tk::WMenuGetState(vel::kCommandViewWavelet, 1), 1);
  EXPECT_EQ(tk::WMenuGetState(vel::kCommandSelectWavelet, 2), 0);
  EXPECT_TRUE(app->settings.LZOOM);
  EXPECT_FALSE(app->picking.waveletSelection);
}

TEST_F(MouseInteractionTest, DraggingTheNmoCurveShowsTheSizingCursorAndSetsTheValues) {
  app->record.SHOTX = 100.0f;  // beyond the last geophone: trace 4 is the apex
  vel::DispatchCommand(*app, vel::kCommandNmoCorrection);
  // The pointer over the main window, where its cursor shows.
  harness.MouseMove(Client(0), {400, 300});
  harness.DispatchPending();
  int x = 0, y = 0;
  UnitsOf(4.0f, vel::NmoTime(app->record, 4), x, y);
  Send(kEventMouseMove, x, y, 0, 0);
  EXPECT_EQ(app->nearTrace, 4);
  ASSERT_FALSE(CursorChanges().empty());
  EXPECT_EQ(CursorChanges().back(), plat::CursorShape::SizeNS);
  Send(kEventButtonDown, x, y, 100);
  EXPECT_TRUE(app->dragging);
  int x2 = 0, y2 = 0;
  UnitsOf(4.0f, 60.0f, x2, y2);
  Send(kEventMouseMove, x2, y2, 500, 0);
  const float tm = sup::YOFPL((10000 - y2) * 8.0f / 10000.0f, app->MainPlotAxes);
  const float off = 1000.0f * (40.0f - 100.0f) / 2000.0f;
  EXPECT_NEAR(app->record.T0NMO, std::sqrt(tm * tm - off * off), 1e-3);
  tk::WDialogSelect(vel::kNmoDialog);
  float field = 0.0f;
  tk::WDialogGetReal(vel::kOverlayT0Field, field);
  EXPECT_NEAR(field, app->record.T0NMO, 1e-3);
  Send(kEventButtonUp, x2, y2, 600);
  EXPECT_FALSE(app->dragging);
  // Away from the curve: the arrow again.
  UnitsOf(4.0f, 2.0f, x, y);
  Send(kEventMouseMove, x, y, 700, 0);
  EXPECT_EQ(app->nearTrace, 0);
  EXPECT_EQ(CursorChanges().back(), plat::CursorShape::Arrow);
  Send(kEventPushButton, 0, 0, 0, 1);
}

TEST_F(MouseInteractionTest, AQuickRightClickOnATraceOpensThePopupAndDeliversItsCommand) {
  int x = 0, y = 0;
  UnitsOf(2.0f, 6.0f, x, y);
  Send(kEventMouseMove, x, y, 0, 0);
  // A long right press does nothing.
  Send(kEventButtonDown, x, y, 100, 3);
  Send(kEventButtonUp, x, y, 500, 3);
  // A quick one opens pop-up 30002; the user picks Flip Trace.
  harness.Pause(10).PickOpenMenuItem(vel::kCommandFlipTrace);
  Send(kEventButtonDown, x, y, 1000, 3);
  Send(kEventButtonUp, x, y, 1100, 3);
  const auto [type, e] = Wait();
  EXPECT_EQ(type, kEventMenu);
  EXPECT_EQ(e.value1, vel::kCommandFlipTrace);
  EXPECT_EQ(app->selectedTrace, 2);
}

TEST_F(MouseInteractionTest, AQuickRightClickBesideTheTracesOpensTheTracePlottingDialog) {
  int x = 0, y = 0;
  UnitsOf(7.0f, 6.0f, x, y);
  Send(kEventMouseMove, x, y, 0, 0);
  // The user sets the trace width in dialog 101 and presses OK.
  harness.Answer("dialog 101", "1015=4\npress 1");
  Send(kEventButtonDown, x, y, 1000, 3);
  Send(kEventButtonUp, x, y, 1100, 3);
  EXPECT_FLOAT_EQ(app->options.TRACEWIDTH, 4.0f);
}

// With the NMO or refractor dialog open, Properties draws the picture again
// with its curve: one curve after OK (a field change then moves it, Close
// leaves the plain picture), and nothing changed after Cancel, from the
// menu or from a quick right click beside the traces.
TEST_F(MouseInteractionTest, PropertiesKeepsTheOpenOverlayInStep) {
  struct Overlay {
    const char* name;
    int command;
    int dialog;
  };
  for (const Overlay o : {Overlay{"NMO", vel::kCommandNmoCorrection, vel::kNmoDialog},
                          Overlay{"refractor", vel::kCommandRefractorOverlay, vel::kRefractorDialog}}) {
    SCOPED_TRACE(o.name);
    const auto plain = ClientPixels();
    vel::DispatchCommand(*app, o.command);
    const auto withCurve = ClientPixels();
    ASSERT_NE(withCurve, plain);
    // The rows the curve takes: the status bar's read-outs lie below them.
    std::size_t lastRow = 0;
    const std::size_t width = static_cast<std::size_t>(
        tk::Targets().peekWindow(tk::kMainWindow)->surface->Width());
    for (std::size_t i = 0; i < plain.size(); ++i)
      if (plain[i] != withCurve[i]) lastRow = std::max(lastRow, i / width);
    const auto picture = [&](const std::vector<plat::Pixel>& p) {
      return std::vector<plat::Pixel>(p.begin(), p.begin() + static_cast<std::ptrdiff_t>((lastRow + 1) * width));
    };
    // View > Properties, OK: the same picture with one curve.
    harness.Answer("dialog 101", "press 1");
    vel::DispatchCommand(*app, vel::kCommandProperties);
    EXPECT_EQ(picture(ClientPixels()), picture(withCurve));
    // Cancel from the menu and from a right click beside the traces: nothing drawn.
    harness.Answer("dialog 101", "press 2");
    vel::DispatchCommand(*app, vel::kCommandProperties);
    EXPECT_EQ(picture(ClientPixels()), picture(withCurve));
    int x = 0, y = 0;
    UnitsOf(7.0f, 6.0f, x, y);
    Send(kEventMouseMove, x, y, 0, 0);
    harness.Answer("dialog 101", "press 2");
    Send(kEventButtonDown, x, y, 1000, 3);
    Send(kEventButtonUp, x, y, 1100, 3);
    EXPECT_EQ(picture(ClientPixels()), picture(withCurve));
    // The same right click with OK: still one curve.
    harness.Answer("dialog 101", "press 1");
    Send(kEventButtonDown, x, y, 2000, 3);
    Send(kEventButtonUp, x, y, 2100, 3);
    EXPECT_EQ(picture(ClientPixels()), picture(withCurve));
    // A field change moves the one curve: drawing the new one again leaves
    // the plain picture.
    tk::WDialogSelect(o.dialog);
    tk::WDialogPutReal(vel::kOverlayVField, 3000.0f);
    Send(kEventFieldChanged, 0, 0, 0, 0);
    tk::WindowMakeCurrent(tk::kMainWindow);
    if (o.command == vel::kCommandNmoCorrection)
      vel::PLOTNMO(app->record, app->MainPlotAxes, app->options);
    else
      vel::PLOTREF(app->record, app->MainPlotAxes, app->options);
    EXPECT_EQ(picture(ClientPixels()), picture(plain));
    if (o.command == vel::kCommandNmoCorrection)
      vel::PLOTNMO(app->record, app->MainPlotAxes, app->options);
    else
      vel::PLOTREF(app->record, app->MainPlotAxes, app->options);
    // Close: no curve left.
    Send(kEventPushButton, 0, 0, 0, 1);
    EXPECT_EQ(picture(ClientPixels()), picture(plain));
    app->record.VNMO = app->record.VREF = 2000.0f;
  }
}

TEST_F(MouseInteractionTest, AFailedResultWriteIsReportedAndTheFileClosed) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  // A result file that takes no bytes: a link to the full device.
  testing_support::TempDir dir;
  const auto full = dir / "full.txt";
  std::filesystem::create_symlink("/dev/full", full);
  vel::DispatchCommand(*app, vel::kCommandNmoCorrection);
  harness.Answer("filedialog", full.string());
  Send(kEventPushButton, 0, 0, 0, 1229);
  EXPECT_EQ(messages, (std::vector<std::string>{"Error writing to file " + full.string() +
                                      ": No space left on device"}));
  EXPECT_EQ(app->nmoFile, nullptr);
  Send(kEventPushButton, 0, 0, 0, 1);
}

}  // namespace
