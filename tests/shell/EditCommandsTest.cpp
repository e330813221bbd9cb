// The Edit and View commands on the record in memory and the main window:
// truncation, resampling, removal, gain, Properties, zoom and pans, and
// killing or flipping a trace.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "display/TracePlot.h"
#include "formats/SegyHeaders.h"
#include "formats/SegyIn.h"
#include "formats/SegyOut.h"
#include "shell/EditCommands.h"
#include "shell/TracePlotDialog.h"
#include "shell/Velloran.h"
#include "support/UserMessages.h"
#include "tests/TestSupport.h"
#include "tests/formats/SegyTestSupport.h"
#include "tests/shell/AppDialogTestSupport.h"
#include "toolkit/core/Menus.h"
#include "toolkit/core/Windows.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/WindowTargets.h"
#include "support/PenPlot.h"

namespace {

using app_dialog_test::AppDialogTest;
using vel::ShotRecord;

constexpr int kPans[] = {vel::kCommandPanLeft, vel::kCommandPanRight, vel::kCommandPanUp,
                         vel::kCommandPanDown};
constexpr std::string_view kNotShorter =
    "New number of samples must be less than old number of samples";

// NTRACE traces of NSAMP samples: sample i of trace j is 100 j + i; picks
// as given, positions 10 m apart.
ShotRecord SmallRecord(int ntrace, int nsamp, std::vector<std::int32_t> picks) {
  ShotRecord rec;
  rec.NTRACE = ntrace;
  rec.NSAMP = nsamp;
  rec.SAMPINT = 1.0f;
  EXPECT_TRUE(vel::RebuildTraceArrays(rec));
  for (int j = 1; j <= ntrace; ++j) {
    auto t = vel::Trace(rec, j);
    for (int i = 1; i <= nsamp; ++i) t[static_cast<std::size_t>(i - 1)] = 100.0f * j + i;
    rec.GEOLOC[static_cast<std::size_t>(j - 1)] = 10.0f * j;
    rec.TRACEMAX[static_cast<std::size_t>(j - 1)] = 100.0f * j + nsamp;
  }
  rec.IBPICK = std::move(picks);
  rec.GMIN = 101.0f;
  rec.GMAX = 100.0f * ntrace + nsamp;
  return rec;
}

struct FrameView {
  float xstart, ystart, xstep, ystep, xcell, ycell;
  std::int32_t nxdiv, nydiv;
  bool operator==(const FrameView&) const = default;
};
FrameView View(const sup::GraphAxes& a) {
  return {a.XSTART, a.YSTART, a.XSTEP, a.YSTEP, a.XCELL, a.YCELL, a.NXDIV, a.NYDIV};
}

class EditCommandsTest : public AppDialogTest {
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
    app->record = SmallRecord(4, 10, {3, 8, 0, 10});
    app->loaded = true;
  }
  void TearDown() override {
    sup::SetUserMessageHook({});
    AppDialogTest::TearDown();
  }

  void Dispatch(int id) { vel::DispatchCommand(*app, id); }
  static bool PansEnabled() {
    int enabled = 0;
    for (const int id : kPans) enabled += tk::WMenuGetState(id, 1);
    EXPECT_TRUE(enabled == 0 || enabled == 4) << enabled;
    return enabled == 4;
  }
  /// The record drawn in a fresh frame, the pans enabled as a zoom box leaves them.
  void ShowZoomable() {
    tk::WindowMakeCurrent(tk::kMainWindow);
    vel::ShowNewRecord(app->record, app->MainPlotAxes, app->options, app->tracePlot);
    vel::SETPANSTATE(1);
  }
  /// What the main window's drawing surface holds.
  static std::vector<plat::Pixel> ClientPixels() {
    const auto binding = tk::Targets().peekWindow(tk::kMainWindow);
    EXPECT_TRUE(binding && binding->surface != nullptr);
    if (!binding || binding->surface == nullptr) return {};
    const auto p = binding->surface->Pixels();
    return {p.begin(), p.end()};
  }

  std::unique_ptr<vel::Velloran> app;
  std::vector<std::string> messages;
};

// ---- Truncate ----

TEST_F(EditCommandsTest, TruncateModes) {
  struct Case {
    const char* name;
    const char* script;
    std::int32_t nsamp;                 // afterwards
    int firstSample;                    // the old sample that becomes sample 1
    std::vector<std::int32_t> picks;    // afterwards
    bool refused;
  };
  const Case cases[] = {
      {"trim the end", "1254=1\n1255=6\npress 1", 6, 1, {3, 0, 0, 0}, false},
      {"trim the beginning", "1256=1\n1257=6\npress 1", 6, 5, {-1, 4, -4, 6}, false},
      // Sample 8 of trace 2 (its pick) becomes sample 2.
      {"keep before a pick", "1258=1\n1259=2\n1260=2\npress 1", 4, 7, {-3, 2, -6, 4}, false},
      {"the current count", "1254=1\n1255=10\npress 1", 10, 1, {3, 8, 0, 10}, true},
      {"a blank length", "1254=1\n1255=\npress 1", 10, 1, {3, 8, 0, 10}, true},
      {"a trace without a pick", "1258=1\n1259=2\n1260=3\npress 1", 10, 1, {3, 8, 0, 10}, true},
      {"a trace beyond the record", "1258=1\n1259=2\n1260=99\npress 1", 10, 1, {3, 8, 0, 10},
       true},
      {"a blank count before the pick", "1258=1\n1259=\n1260=2\npress 1", 10, 1,
       {3, 8, 0, 10}, true},
      {"nothing before the pick left out", "1258=1\n1259=9\n1260=2\npress 1", 10, 1,
       {3, 8, 0, 10}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    app->record = SmallRecord(4, 10, {3, 8, 0, 10});
    app->truncation = {};
    messages.clear();
    vel::SETPANSTATE(1);
    harness.Answer("dialog 151", c.script);
    Dispatch(vel::kCommandTruncate);
    const ShotRecord& rec = app->record;
    EXPECT_EQ(rec.NSAMP, c.nsamp);
    EXPECT_EQ(rec.IBPICK, c.picks);
    EXPECT_EQ(rec.TRACES.size(), 40u) << "the array keeps its size";
    for (int j = 1; j <= 4; ++j) {
      const auto t = vel::Trace(rec, j);
      ASSERT_EQ(t.size(), static_cast<std::size_t>(c.nsamp));
      for (int i = 1; i <= c.nsamp; ++i)
        EXPECT_EQ(t[static_cast<std::size_t>(i - 1)], 100.0f * j + c.firstSample + i - 1)
            << j << " " << i;
    }
    EXPECT_EQ(messages, c.refused ? std::vector<std::string>{std::string(kNotShorter)}
                                  : std::vector<std::string>{});
    EXPECT_FALSE(PansEnabled()) << "redrawn in a new frame";
    EXPECT_EQ(rec.TDELAY, 0.0f);
    EXPECT_EQ(rec.GMAX, 410.0f);
  }
}

TEST_F(EditCommandsTest, TruncateDialogKeepsItsValuesAndCancelChangesNothing) {
  app->selectedTrace = 3;
  vel::SETPANSTATE(1);
  harness.Answer("dialog 151", "1256=1\n1257=4\npress 2");
  Dispatch(vel::kCommandTruncate);
  EXPECT_EQ(app->record.NSAMP, 10);
  EXPECT_TRUE(PansEnabled()) << "Cancel does not redraw";
  harness.Answer("dialog 151", "press 2");
  Dispatch(vel::kCommandTruncate);
  // Values out of range came in as the sample count and trace 1.
  EXPECT_EQ(Text(1255), "10");
  EXPECT_EQ(Text(1257), "10");
  EXPECT_EQ(Text(1260), "3");
  EXPECT_TRUE(Checked(1254));
  EXPECT_TRUE(Enabled(1255));
  EXPECT_FALSE(Enabled(1257));
  EXPECT_FALSE(Enabled(1259));
  EXPECT_EQ(app->truncation.startLength, 10);

  // OK keeps the choice and the typed pick trace for the next time.
  app->selectedTrace = 77;
  harness.Answer("dialog 151", "1258=1\n1259=1\n1260=4\npress 1");
  Dispatch(vel::kCommandTruncate);
  EXPECT_EQ(app->record.NSAMP, 1);  // pick 10 of trace 4, one sample before it
  EXPECT_EQ(app->selectedTrace, 4);
  EXPECT_EQ(app->truncation.mode, 3);
  harness.Answer("dialog 151", "press 2");
  Dispatch(vel::kCommandTruncate);
  EXPECT_TRUE(Checked(1258));
  EXPECT_TRUE(Enabled(1259));
  EXPECT_TRUE(Enabled(1260));
  EXPECT_FALSE(Enabled(1255));
}

TEST_F(EditCommandsTest, TruncateChoiceEnablesItsFields) {
  const auto expectEnabled = [](std::vector<int> on) {
    for (const int f : {1255, 1257, 1259, 1260})
      EXPECT_EQ(Enabled(f), std::find(on.begin(), on.end(), f) != on.end()) << f;
  };
  LookLater([&] { expectEnabled({1255}); });
  ClickLater(1258);
  LookLater([&] { expectEnabled({1259, 1260}); });
  ClickLater(1256);
  LookLater([&] { expectEnabled({1257}); });
  ClickLater(1254);
  LookLater([&] { expectEnabled({1255}); });
  ClickLater(2);
  std::int32_t mode = 1, end = 5, start = 5, before = 0, trace = 1, error = 7;
  vel::TRUNCATEDLG(mode, end, start, before, trace, error);
  EXPECT_EQ(error, -1);
  EXPECT_EQ(mode, 1);
}

TEST_F(EditCommandsTest, NothingLoadedAsksForARecord) {
  app->loaded = false;
  for (const int id : {vel::kCommandTruncate, vel::kCommandResample, vel::kCommandRemove}) {
    messages.clear();
    Dispatch(id);
    EXPECT_EQ(messages, std::vector<std::string>{"PLEASE LOAD TRACES FIRST"}) << id;
  }
  EXPECT_EQ(app->record.NSAMP, 10);
}

// A SEG-Y record keeps the binary and trace headers' sample counts in step,
// and is written so that segyio reads what the record holds.
TEST_F(EditCommandsTest, TruncatedSegyRecordKeepsItsHeadersInStep) {
  SKIP_WITHOUT_SHARED_DATA();
  const auto src = testing_support::SharedData() / "segyio/small.sgy";
  struct Case {
    const char* script;
    bool trimsEnd;
  };
  const Case cases[] = {{"1254=1\n1255=40\npress 1", true},
                        {"1256=1\n1257=30\npress 1", false},
                        {"1258=1\n1259=5\n1260=2\npress 1", false}};
  for (const auto& [script, trimsEnd] : cases) {
    SCOPED_TRACE(script);
    ShotRecord rec;
    int recno = 1;
    int error = 0;
    vel::SEGYIN(rec, src.string(), recno, error, {});
    ASSERT_EQ(error, 0);
    ASSERT_TRUE(rec.LSEGYHDR);
    rec.IBPICK[1] = 20;
    const ShotRecord before = rec;
    app->record = rec;
    harness.Answer("dialog 151", script);
    Dispatch(vel::kCommandTruncate);
    const ShotRecord& cut = app->record;
    ASSERT_LT(cut.NSAMP, before.NSAMP);
    EXPECT_EQ(vel::SegyGet(cut.ISEGYBIN, vel::segy_bin::kSamples), cut.NSAMP);
    for (const auto& h : cut.ISEGYTRH) EXPECT_EQ(vel::SegyGet(h, vel::segy_trc::kSamples), cut.NSAMP);

    testing_support::TempDir dir;
    vel::SegyOutOptions o;
    o.format = vel::kSegyIeeeFloat;
    vel::SEGYOUT(cut, (dir / "cut.sgy").string(), o, error);
    ASSERT_EQ(error, 0);
    if (!segy_test::SegyioAvailable()) continue;
    const segy_test::SegyioRead r = segy_test::ReadWithSegyio(dir / "cut.sgy", false);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.traces, cut.NTRACE);
    EXPECT_EQ(r.samples, cut.NSAMP);
    const std::vector<float> held(
        cut.TRACES.begin(),
        cut.TRACES.begin() + static_cast<std::ptrdiff_t>(cut.NSAMP) * cut.NTRACE);
    EXPECT_EQ(r.data, held);
    // The last samples of every trace are the old last samples (modes 2
    // and 3) or the old first ones (mode 1).
    const std::size_t skip = trimsEnd ? 0u : static_cast<std::size_t>(before.NSAMP - cut.NSAMP);
    EXPECT_EQ(r.data[0], before.TRACES[skip]);
  }
}

// ---- Gain and Properties ----

TEST_F(EditCommandsTest, GainScalesSamplesMaximaAndExtremesWithoutARedraw) {
  vel::SETPANSTATE(1);
  const ShotRecord before = app->record;
  harness.Answer("dialog 148", "1062=2\npress 1");
  Dispatch(vel::kCommandGain);
  const ShotRecord& rec = app->record;
  for (std::size_t k = 0; k < rec.TRACES.size(); ++k)
    EXPECT_EQ(rec.TRACES[k], 2.0f * before.TRACES[k]);
  for (std::size_t j = 0; j < 4; ++j) EXPECT_EQ(rec.TRACEMAX[j], 2.0f * before.TRACEMAX[j]);
  EXPECT_EQ(rec.GMIN, 202.0f);
  EXPECT_EQ(rec.GMAX, 820.0f);
  EXPECT_EQ(app->gainMultiplier, 2.0f);
  EXPECT_TRUE(PansEnabled());

  // Cancel changes nothing; the field offers the last multiplier.
  harness.Answer("dialog 148", "1062=5\npress 2");
  Dispatch(vel::kCommandGain);
  EXPECT_EQ(rec.GMAX, 820.0f);
  EXPECT_EQ(app->gainMultiplier, 2.0f);
  harness.Answer("dialog 148", "press 2");
  Dispatch(vel::kCommandGain);
  EXPECT_EQ(std::stof(Text(1062)), 2.0f);
}

TEST_F(EditCommandsTest, GainFirstProposesTheMultiplierThatChangesNothing) {
  // Enter on the first Gain Traces of a run keeps the record as it is.
  const ShotRecord before = app->record;
  harness.Answer("dialog 148", "press 1");
  Dispatch(vel::kCommandGain);
  EXPECT_EQ(std::stof(Text(1062)), 1.0f);
  EXPECT_EQ(app->record.TRACES, before.TRACES);
  EXPECT_EQ(app->record.TRACEMAX, before.TRACEMAX);
  EXPECT_EQ(app->record.GMIN, before.GMIN);
  EXPECT_EQ(app->record.GMAX, before.GMAX);
}

TEST_F(EditCommandsTest, PropertiesAfterANegativeGainRecomputesTheExtremes) {
  harness.Answer("dialog 148", "1062=-1\npress 1");
  Dispatch(vel::kCommandGain);
  ASSERT_GT(app->record.GMIN, app->record.GMAX);
  EXPECT_EQ(app->record.TRACEMAX[0], -110.0f);
  harness.Answer("dialog 101", "press 1");
  Dispatch(vel::kCommandProperties);
  EXPECT_EQ(app->record.GMIN, -410.0f);
  EXPECT_EQ(app->record.GMAX, -101.0f);
  EXPECT_EQ(app->record.TRACEMAX[0], 110.0f);
}

TEST_F(EditCommandsTest, PropertiesRescalesForAClipOnlyWithTracesAtPositions) {
  struct Case {
    const char* name;
    bool atPositions;
    const char* script;
    bool rescaled;
  };
  const Case cases[] = {
      {"clip, traces by number", false, "1016=5\npress 1", false},
      {"clip, traces at positions", true, "1016=5\npress 1", true},
      {"nothing changed at positions", true, "press 1", false},
      {"placement changed", false, "1024=1\npress 1", true},
      {"orientation changed", false, "1001=0\npress 1", true},
      {"a trace range", false, "1222=1\n1223=2\n1224=3\npress 1", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    app->options = {};
    app->options.LGEOPOS = c.atPositions;
    ShowZoomable();
    app->MainPlotAxes.XSTART += 1000.0f;  // a frame no rescale would choose
    const FrameView zoomed = View(app->MainPlotAxes);
    harness.Answer("dialog 101", c.script);
    Dispatch(vel::kCommandProperties);
    EXPECT_EQ(View(app->MainPlotAxes) != zoomed, c.rescaled);
    EXPECT_EQ(PansEnabled(), !c.rescaled);
  }
}

// ---- Zoom, Unzoom, Lastzoom and the pans ----

TEST_F(EditCommandsTest, PansMoveTheFrameByAWholeFrameAndBack) {
  ShowZoomable();
  const sup::GraphAxes start = app->MainPlotAxes;
  Dispatch(vel::kCommandPanRight);
  EXPECT_FLOAT_EQ(app->MainPlotAxes.XSTART, start.XSTART + start.NXDIV * start.XSTEP);
  Dispatch(vel::kCommandPanLeft);
  EXPECT_FLOAT_EQ(app->MainPlotAxes.XSTART, start.XSTART);
  Dispatch(vel::kCommandPanUp);
  EXPECT_FLOAT_EQ(app->MainPlotAxes.YSTART, start.YSTART + start.NYDIV * start.YSTEP);
  Dispatch(vel::kCommandPanDown);
  EXPECT_FLOAT_EQ(app->MainPlotAxes.YSTART, start.YSTART);
  FrameView back = View(app->MainPlotAxes);
  back.xstart = start.XSTART;
  back.ystart = start.YSTART;
  EXPECT_EQ(back, View(start));
  EXPECT_TRUE(PansEnabled());
}

TEST_F(EditCommandsTest, UnzoomThenLastzoomReturnsToTheZoomedView) {
  ShowZoomable();
  app->MainPlotAxes.YSTART += 3.0f;  // as a zoom box leaves it
  app->MainPlotAxes.YSTEP /= 2.0f;
  const FrameView zoomed = View(app->MainPlotAxes);
  tk::WindowMakeCurrent(tk::kMainWindow);
  vel::RedrawRecord(app->record, app->MainPlotAxes, app->options, app->tracePlot);
  const std::vector<plat::Pixel> zoomedPixels = ClientPixels();

  Dispatch(vel::kCommandUnzoom);
  EXPECT_NE(View(app->MainPlotAxes), zoomed);
  EXPECT_EQ(View(app->previousFrame), zoomed);
  EXPECT_FALSE(PansEnabled());

  for (int twice = 0; twice < 2; ++twice) {
    Dispatch(vel::kCommandLastzoom);
    EXPECT_EQ(View(app->MainPlotAxes), zoomed);
    EXPECT_EQ(View(app->previousFrame), zoomed);
    EXPECT_EQ(ClientPixels(), zoomedPixels);
    EXPECT_FALSE(PansEnabled()) << "Lastzoom leaves the pans alone";
  }
}

TEST_F(EditCommandsTest, ZoomTogglesTheModeAndItsTick) {
  EXPECT_FALSE(app->settings.LZOOM);
  Dispatch(vel::kCommandZoom);
  EXPECT_TRUE(app->settings.LZOOM);
  EXPECT_EQ(tk::WMenuGetState(vel::kCommandZoom, 2), 1);
  Dispatch(vel::kCommandZoom);
  EXPECT_FALSE(app->settings.LZOOM);
  EXPECT_EQ(tk::WMenuGetState(vel::kCommandZoom, 2), 0);
}

TEST_F(EditCommandsTest, RecordEditsGreyThePans) {
  struct Case {
    const char* name;
    int command;
    const char* dialog;
    const char* script;
  };
  const Case cases[] = {
      {"Unzoom", vel::kCommandUnzoom, nullptr, nullptr},
      {"Resample", vel::kCommandResample, "dialog 136", "1167=20\npress 1"},
      {"Resample cancelled", vel::kCommandResample, "dialog 136", "press 2"},
      {"Remove", vel::kCommandRemove, "dialog 146", "1236=2\n1235=2\npress 1"},
      {"Truncate", vel::kCommandTruncate, "dialog 151", "1254=1\n1255=5\npress 1"},
      {"Properties", vel::kCommandProperties, "dialog 101", "1001=0\npress 1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ShowZoomable();
    if (c.dialog != nullptr) harness.Answer(c.dialog, c.script);
    Dispatch(c.command);
    EXPECT_FALSE(PansEnabled());
  }
}

// ---- Kill and Flip ----

TEST_F(EditCommandsTest, KillTraceLeavesWhatAFreshRedrawShows) {
  app->record = SmallRecord(4, 10, {3, 8, 5, 6});
  ShowZoomable();
  const std::vector<plat::Pixel> withPick = ClientPixels();
  app->selectedTrace = 2;
  Dispatch(vel::kCommandKillTrace);
  EXPECT_EQ(app->record.IBPICK, (std::vector<std::int32_t>{3, 0, 5, 6}));
  const std::vector<plat::Pixel> killed = ClientPixels();
  EXPECT_NE(killed, withPick) << "the pick was on the screen";
  tk::WindowMakeCurrent(tk::kMainWindow);
  vel::RedrawRecord(app->record, app->MainPlotAxes, app->options, app->tracePlot);
  EXPECT_EQ(ClientPixels(), killed);

  // A selected trace outside the record changes nothing.
  for (const std::int32_t outside : {0, 5, -1}) {
    app->selectedTrace = outside;
    Dispatch(vel::kCommandKillTrace);
    Dispatch(vel::kCommandFlipTrace);
  }
  EXPECT_EQ(app->record.IBPICK, (std::vector<std::int32_t>{3, 0, 5, 6}));
  EXPECT_EQ(app->record.TRACES, SmallRecord(4, 10, {}).TRACES);
}

TEST_F(EditCommandsTest, FlipTraceNegatesOneColumn) {
  const ShotRecord before = app->record;
  app->selectedTrace = 3;
  Dispatch(vel::kCommandFlipTrace);
  for (int j = 1; j <= 4; ++j)
    for (std::size_t i = 0; i < 10; ++i)
      EXPECT_EQ(vel::Trace(app->record, j)[i], (j == 3 ? -1.0f : 1.0f) * vel::Trace(before, j)[i]);
  EXPECT_EQ(app->record.GMAX, before.GMAX);
  EXPECT_EQ(app->record.TRACEMAX, before.TRACEMAX);
}

// ---- Resample and Remove through their dialogs ----

TEST_F(EditCommandsTest, ResampleAsksForTheCountAndKeepsIt) {
  app->record = SmallRecord(2, 1000, {400, 0});
  app->record.SAMPINT = 0.25f;
  struct Case {
    const char* script;
    std::int32_t nsamp;
    float interval;
  };
  const Case cases[] = {{"1167=4\npress 1", 1000, 0.25f},     // below 5
                        {"1167=1000\npress 1", 1000, 0.25f},  // the current count
                        {"1167=500\npress 2", 1000, 0.25f},   // Cancel
                        {"1167=500\npress 1", 500, 0.5f}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.script);
    harness.Answer("dialog 136", c.script);
    Dispatch(vel::kCommandResample);
    EXPECT_EQ(app->record.NSAMP, c.nsamp);
    EXPECT_EQ(app->record.SAMPINT, c.interval);
  }
  EXPECT_EQ(app->record.IBPICK[0], 200);
  EXPECT_EQ(app->traceEdit.newSampleCount, 500);
  harness.Answer("dialog 136", "press 2");
  Dispatch(vel::kCommandResample);
  EXPECT_EQ(Text(1167), "500");
  EXPECT_TRUE(messages.empty());
}

TEST_F(EditCommandsTest, ResampledSegyRecordUpdatesItsHeaderWords) {
  ShotRecord& rec = app->record;
  rec.LSEGYHDR = true;
  rec.ISEGYTRH.assign(4, {});
  harness.Answer("dialog 136", "1167=40\npress 1");
  Dispatch(vel::kCommandResample);
  ASSERT_EQ(rec.NSAMP, 40);
  EXPECT_EQ(rec.SAMPINT, 0.25f);
  EXPECT_EQ(vel::SegyBinI16(rec.ISEGYBIN, 3217), 250);
  EXPECT_EQ(vel::SegyBinI16(rec.ISEGYBIN, 3221), 40);
  for (const auto& h : rec.ISEGYTRH) {
    EXPECT_EQ(vel::SegyTrcI16(h, 115), 40);
    EXPECT_EQ(vel::SegyTrcI16(h, 117), 250);
  }
}

TEST_F(EditCommandsTest, RemoveRefusesMoreThanTheIncrementAndAsksAgain) {
  app->record = SmallRecord(20, 3, std::vector<std::int32_t>(20, 1));
  // The stored number 0 lies outside the field's range: it shows as 1.
  harness.Answer("dialog 146", "1236=3\n1235=10\n1240=3\n1234=2\npress 1");
  harness.Answer("dialog 146", "1240=2\n1234=4\npress 1");
  Dispatch(vel::kCommandRemove);
  EXPECT_EQ(messages,
            std::vector<std::string>{"Number to remove must be less than or equal to trace increment"});
  EXPECT_EQ(app->record.NTRACE, 16);
  EXPECT_EQ(vel::Trace(app->record, 3)[0], 501.0f);
  EXPECT_EQ(vel::Trace(app->record, 5)[0], 901.0f);

  // The values are offered again; Cancel after a refusal cancels.
  messages.clear();
  harness.Answer("dialog 146", "1240=5\npress 1");
  harness.Answer("dialog 146", "press 2");
  Dispatch(vel::kCommandRemove);
  EXPECT_EQ(messages.size(), 1u);
  EXPECT_EQ(Text(1236), "3");
  EXPECT_EQ(Text(1235), "10");
  EXPECT_EQ(app->record.NTRACE, 16);

  // Nothing left: the message, and the record as it was.
  messages.clear();
  harness.Answer("dialog 146", "1236=1\n1235=16\n1240=1\n1234=1\npress 1");
  Dispatch(vel::kCommandRemove);
  EXPECT_EQ(messages, std::vector<std::string>{"There are no traces left!"});
  EXPECT_EQ(app->record.NTRACE, 16);
}

TEST_F(EditCommandsTest, FreshDialogsShowTheStartingValues) {
  harness.Answer("dialog 146", "press 2");
  Dispatch(vel::kCommandRemove);
  EXPECT_EQ(Text(1236), "1");
  EXPECT_EQ(Text(1235), "12");
  EXPECT_EQ(Text(1240), "1");
  EXPECT_EQ(Text(1234), "1");
  harness.Answer("dialog 136", "1167=30\npress 2");
  Dispatch(vel::kCommandResample);
  harness.Answer("dialog 136", "press 2");
  Dispatch(vel::kCommandResample);
  EXPECT_EQ(Text(1167), "10");
  EXPECT_EQ(app->traceEdit.newSampleCount, 0) << "Cancel keeps nothing";
}

// ---- Auxiliary traces through the SEG-Y writer and reader ----

// 6 data and 2 auxiliary traces written by SEGYOUT and read back by SEGYIN:
// a record as the reader leaves it, with its headers kept.
ShotRecord ReadBackWithAux(const testing_support::TempDir& dir, const ShotRecord& written) {
  int error = 1;
  vel::SegyOutOptions o;
  o.format = vel::kSegyIeeeFloat;
  const auto path = dir / "aux.sgy";
  vel::SEGYOUT(written, path.string(), o, error);
  EXPECT_EQ(error, 0);
  ShotRecord back;
  int recno = 1;
  vel::SEGYIN(back, path.string(), recno, error, {});
  EXPECT_EQ(error, 0);
  return back;
}

ShotRecord RecordWithAux() {
  ShotRecord rec = SmallRecord(8, 12, std::vector<std::int32_t>(8, 4));
  rec.NTRACE = 6;
  rec.NAUX = 2;
  rec.SAMPINT = 0.5f;
  return rec;
}

TEST_F(EditCommandsTest, AuxiliaryTracesSurviveResampleAndRemove) {
  segy_test::ScriptedDialogs quiet;
  sup::SetUserMessageHook([this](sup::UserMessageKind, std::string_view, std::string_view t) {
    messages.emplace_back(t);
  });
  struct Case {
    const char* name;
    int command;
    const char* dialog;
    const char* script;
    std::int32_t ntrace, nsamp;
    std::vector<int> columns;  // old column of each trace written
  };
  const Case cases[] = {
      {"resample", vel::kCommandResample, "dialog 136", "1167=24\npress 1", 6, 24,
       {1, 2, 3, 4, 5, 6, 7, 8}},
      {"remove a range", vel::kCommandRemove, "dialog 146",
       "1236=2\n1235=3\n1240=1\n1234=1\npress 1", 4, 12, {1, 4, 5, 6, 7, 8}},
      {"cut off the end", vel::kCommandRemove, "dialog 146",
       "1236=5\n1235=6\n1240=1\n1234=1\npress 1", 4, 12, {1, 2, 3, 4, 7, 8}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    testing_support::TempDir dir;
    app->record = ReadBackWithAux(dir, RecordWithAux());
    ASSERT_EQ(app->record.NTRACE, 6);
    ASSERT_EQ(app->record.NAUX, 2);
    ASSERT_TRUE(app->record.LSEGYHDR);
    app->traceEdit = {};
    messages.clear();
    harness.Answer(c.dialog, c.script);
    Dispatch(c.command);
    ASSERT_EQ(app->record.NTRACE, c.ntrace);
    const ShotRecord edited = app->record;
    testing_support::TempDir out;
    const ShotRecord back = ReadBackWithAux(out, edited);
    EXPECT_EQ(messages, std::vector<std::string>{});
    EXPECT_EQ(back.NTRACE, c.ntrace);
    EXPECT_EQ(back.NAUX, 2);
    EXPECT_EQ(back.NSAMP, c.nsamp);
    const auto n = static_cast<std::size_t>(c.nsamp) * c.columns.size();
    ASSERT_GE(back.TRACES.size(), n);
    EXPECT_TRUE(std::equal(back.TRACES.begin(), back.TRACES.begin() + static_cast<std::ptrdiff_t>(n),
                           edited.TRACES.begin()));
    for (std::size_t p = 0; p < c.columns.size(); ++p)
      EXPECT_EQ(back.TRACES[p * static_cast<std::size_t>(c.nsamp)], 100.0f * c.columns[p] + 1)
          << "column " << p + 1;
  }
}

}  // namespace
