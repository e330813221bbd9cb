// The F-K filter window driven on a headless screen as a user drives it: the
// records it refuses, the fan typed and dragged (line pick, cursor, drag
// rules), zoom boxes, the status-bar read-outs, the pop-up menus and Print.
#include "display/FkFilterWindow.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "display/FkPlot.h"
#include "platform/controls/Controls.h"
#include "platform/menu/Menu.h"
#include "platform/window/VirtualKeys.h"
#include "support/GraphAxes.h"
#include "support/PenPlot.h"
#include "support/Strings.h"
#include "support/UserMessages.h"
#include "tests/display/ToolWindowTestSupport.h"
#include "tests/toolkit/hardcopy/HardcopyTestSupport.h"
#include "toolkit/core/Conversion.h"
#include "toolkit/core/Menus.h"
#include "toolkit/core/Rounding.h"
#include "toolkit/core/WindowUnits.h"
#include "toolkit/core/Windows.h"
#include "toolkit/core/Windows_p.h"
#include "toolkit/dialogs/Dialogs.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/hardcopy/HardcopyDialogs.h"

namespace {

using vel::FkFan;
using vel::FkFilterWindowContext;
using vel::ShotRecord;

// 24 traces of 256 samples at 1 ms, 5 m apart: a 40 Hz wavelet rising to
// the right at 600 m/s and one falling at 600 m/s; picks on every trace.
ShotRecord TwoDips(int ntrace = 24) {
  ShotRecord rec;
  rec.CRECNAME = "DIPS";
  rec.NTRACE = ntrace;
  rec.NSAMP = 256;
  rec.SAMPINT = 1.0f;
  rec.SPACING = 5.0f;
  EXPECT_TRUE(vel::RebuildTraceArrays(rec));
  rec.GMIN = 1e30f;
  rec.GMAX = -1e30f;
  for (int j = 1; j <= ntrace; ++j) {
    const auto i = static_cast<std::size_t>(j - 1);
    const float x = 5.0f * static_cast<float>(j);
    rec.GEOLOC[i] = x;
    auto t = vel::Trace(rec, j);
    for (std::size_t k = 0; k < t.size(); ++k) {
      const float ms = static_cast<float>(k);
      const float up = ms - (200.0f - 1000.0f * x / 600.0f);
      const float down = ms - (20.0f + 1000.0f * x / 600.0f);
      t[k] = std::exp(-up * up / 20.0f) * std::cos(0.25f * up) + std::exp(-down * down / 20.0f) * std::cos(0.25f * down);
      rec.GMIN = std::min(rec.GMIN, t[k]);
      rec.GMAX = std::max(rec.GMAX, t[k]);
    }
    rec.IBPICK[i] = 10 + j;
    rec.TRACEMAX[i] = 7.25f + static_cast<float>(j);  // not the samples' maxima: must survive
  }
  rec.LPICKS = true;
  return rec;
}

class FkFilterWindowTest : public tool_window_test::ToolWindowTest {
 protected:
  void SetUp() override {
    ToolWindowTest::SetUp();
    // The transform's cancel poll would take the script's next step.
    sup::SetAbortPollHook([] { return false; });
  }
  void TearDown() override {
    sup::SetAbortPollHook({});
    ToolWindowTest::TearDown();
  }

  void Run(ShotRecord& rec) {
    ierr = 0;
    vel::FILTERFK(rec, options, ierr, tk::kMainWindow, ctx);
  }

  // The spectrum frame the tool draws, made as the tool makes it.
  void FrameOf(const ShotRecord& rec) {
    vel::FkTransform fk;
    ASSERT_TRUE(vel::FkSetSizes(fk, rec.NSAMP, rec.NTRACE));
    const vel::FkTransform& t = fk;
    std::vector<float> spec(static_cast<std::size_t>(t.NF) * static_cast<std::size_t>(t.NX));
    int status = 0;
    vel::FKSPECT(fk, rec.TRACES, spec, rec.NSAMP, rec.NTRACE, tk::NearestInt(rec.NSAMP * ctx.smoothing), status);
    ASSERT_EQ(status, 0);
    vel::SCALE_FK(spec, t.NF, t.NX, rec.SAMPINT, rec.GEOLOC, rec.NTRACE, frame);
  }

  static int ChildTitled(std::string_view title) {
    for (int n = 1; n <= 50; ++n)
      if (tk::WindowSlotInUse(n) && plat::GetWindowText(tk::WindowFrameHandle(n)) == title) return n;
    return 0;
  }
  static float FieldValue(int id) {
    float v = 0.0f;
    tk::WDialogSelect(vel::kFkDialog);
    tk::WDialogGetReal(id, v);
    return v;
  }
  // The spectrum window's client pixel of wavenumber K and frequency F.
  plat::Point SpectrumPixel(int window, float k, float f) const {
    tk::WindowMakeCurrent(window);
    const float px = frame.XORIGIN + sup::PLOFX(k, frame);
    const float py = frame.YORIGIN + sup::PLOFY(f, frame);
    const int w = tk::WindowQuery(1), h = tk::WindowQuery(2);
    return {static_cast<int>(px / 10.0f * static_cast<float>(w)),
            static_cast<int>((8.0f - py) / 8.0f * static_cast<float>(h))};
  }
  // A frequency well inside the frame.
  float MidFrequency() const {
    return frame.YSTART + 0.5f * static_cast<float>(frame.NYDIV) * frame.YSTEP;
  }
  // Presses button ID of the fan dialog (the progress dialog may be the
  // current one after a transform).
  static void PressButton(int id) {
    tk::WDialogSelect(vel::kFkDialog);
    plat::ButtonClick(Field(id));
  }
  static std::string Part(int n) { return plat::StatusBarGetText(tk::WindowStatusBarHandle(0), n - 1); }
  // Ends a step, so that the tool's loop takes what the step queued.
  void Settle() { harness.MouseMove(Client(0), {1, 1}); }

  FkFilterWindowContext ctx;
  vel::TraceDisplayOptions options;
  std::int32_t ierr = 0;
  sup::GraphAxes frame;
};

TEST_F(FkFilterWindowTest, RecordsWithoutAnFkSpectrumAreRefusedBeforeAnyWindow) {
  struct Case {
    const char* name;
    void (*spoil)(ShotRecord&);
    const char* message;
  };
  const Case cases[] = {
      {"one trace", [](ShotRecord& r) { r.NTRACE = 1; }, "AT LEAST 2 TRACES ARE NEEDED FOR AN F-K SPECTRUM"},
      {"equal end positions", [](ShotRecord& r) { r.GEOLOC.back() = r.GEOLOC.front(); },
       "TRACE SPACING NOT VALID: FIRST AND LAST TRACE AT THE SAME POSITION"},
      {"no positions", [](ShotRecord& r) { r.GEOLOC.clear(); },
       "TRACE SPACING NOT VALID: FIRST AND LAST TRACE AT THE SAME POSITION"},
      {"zero interval", [](ShotRecord& r) { r.SAMPINT = 0.0f; }, "SAMPLE INTERVAL NOT VALID: NO F-K SPECTRUM CAN BE COMPUTED"},
      {"negative interval", [](ShotRecord& r) { r.SAMPINT = -1.0f; }, "SAMPLE INTERVAL NOT VALID: NO F-K SPECTRUM CAN BE COMPUTED"},
      {"NaN interval", [](ShotRecord& r) { r.SAMPINT = NAN; }, "SAMPLE INTERVAL NOT VALID: NO F-K SPECTRUM CAN BE COMPUTED"},
      {"infinite interval", [](ShotRecord& r) { r.SAMPINT = INFINITY; }, "SAMPLE INTERVAL NOT VALID: NO F-K SPECTRUM CAN BE COMPUTED"},
      {"one sample", [](ShotRecord& r) { r.NSAMP = 1; }, "AT LEAST 2 SAMPLES ARE NEEDED FOR AN F-K SPECTRUM"},
      {"no samples held", [](ShotRecord& r) { r.TRACES.resize(10); }, "PLEASE LOAD TRACES FIRST"},
  };
  tk::WindowMakeCurrent(tk::kMainWindow);
  tk::WindowTitle("Velloran test");
  options.LVERTICAL = false;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ShotRecord rec = TwoDips();
    c.spoil(rec);
    const ShotRecord before = rec;
    messages.clear();
    Run(rec);  // nothing scripted: a window would wait and fail the test
    EXPECT_EQ(ierr, -1);
    EXPECT_EQ(messages, std::vector<std::string>{c.message});
    EXPECT_EQ(rec.TRACES, before.TRACES);
    EXPECT_FALSE(options.LVERTICAL);
    EXPECT_EQ(tk::detail::Slot(0).menu, 30001);
    EXPECT_EQ(plat::GetWindowText(tk::WindowFrameHandle(tk::kMainWindow)), "Velloran test");
    for (int n = 1; n <= 50; ++n) EXPECT_FALSE(tk::WindowSlotInUse(n)) << n;
  }
}

TEST(FkFanLinesTest, NearestLineWithinATenthOfItsVelocity) {
  const FkFan fan{{2000.0f, 1000.0f}, {0.25f, 0.5f}, {0.0f, 0.0f}};
  struct Case {
    float k, f;
    int dip, line;
  };
  const Case cases[] = {
      {0.1f, 200.0f, 1, 0},    // 2000 on the upsloping side
      {0.1f, 250.0f, 1, 1},    // its upper line
      {0.1f, 150.0f, 1, -1},   // its lower line
      {-0.1f, 100.0f, 2, 0},   // 1000 on the downsloping side
      {-0.1f, 150.0f, 2, 1},   // its upper line
      {-0.1f, 52.0f, 2, -1},   // its lower line, 500
      {0.1f, 100.0f, 0, 0},    // 1000 at positive wavenumbers: no upsloping line near
      {-0.1f, 200.0f, 0, 0},   // 2000 at negative wavenumbers: 1500 is a quarter off
      {0.0f, 100.0f, 0, 0},    // the zero-wavenumber column
      {0.0f, 0.0f, 0, 0},      // the origin
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.k << " " << c.f);
    int dip = -1, line = -7;
    vel::FkNearestLine(fan, c.k, c.f, dip, line);
    EXPECT_EQ(dip, c.dip);
    EXPECT_EQ(line, c.line);
  }
  // A dip switched off has no lines.
  const FkFan off{{0.0f, 1000.0f}, {0.25f, 0.5f}, {0.0f, 0.0f}};
  int dip = 0, line = 0;
  vel::FkNearestLine(off, 0.1f, 0.0f, dip, line);
  EXPECT_EQ(dip, 0);
}

TEST(FkFanLinesTest, DragStepsFollowTheirRules) {
  const FkFan start{{2000.0f, 1000.0f}, {0.25f, 0.5f}, {0.5f, 2.0f}};
  struct Case {
    const char* name;
    int dip, line;
    float k, f;
    bool moved;
    FkFan want;
  };
  const Case cases[] = {
      {"velocity line", 1, 0, 0.1f, 240.0f, true, {{2400.0f, 1000.0f}, {0.25f, 0.5f}, {0.5f, 2.0f}}},
      {"velocity from either side", 2, 0, -0.1f, 120.0f, true, {{2000.0f, 1200.0f}, {0.25f, 0.5f}, {0.5f, 2.0f}}},
      {"upper line out", 1, 1, 0.1f, 300.0f, true, {{2000.0f, 1000.0f}, {0.5f, 0.5f}, {0.5f, 2.0f}}},
      {"upper line below its velocity", 1, 1, 0.1f, 180.0f, true, start},
      {"lower line in", 2, -1, -0.1f, 80.0f, true, {{2000.0f, 1000.0f}, {0.25f, 0.2f}, {0.5f, 2.0f}}},
      {"lower line above its velocity", 2, -1, -0.1f, 110.0f, true, start},
      {"zero-wavenumber column", 1, 0, 0.0f, 100.0f, false, start},
      {"the origin", 1, -1, 0.0f, 0.0f, false, start},
      {"no line hovered", 0, 0, 0.1f, 100.0f, false, start},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FkFan fan = start;
    EXPECT_EQ(vel::FkDragLine(fan, c.dip, c.line, c.k, c.f), c.moved);
    for (std::size_t d = 0; d < 2; ++d) {
      EXPECT_FLOAT_EQ(fan.V[d], c.want.V[d]);
      EXPECT_FLOAT_EQ(fan.W[d], c.want.W[d]);
      EXPECT_EQ(fan.F[d], c.want.F[d]);
    }
  }
}

TEST_F(FkFilterWindowTest, ZeroVelocityFieldSwitchesTheDipOffAndKeepsItsWidth) {
  ShotRecord rec = TwoDips();
  harness.Pause(10).Call([] {
    plat::SetFocus(Field(1140));
    plat::SetWindowText(Field(1140), "");
  });
  harness.Type("0").Key(plat::kVkTab, '\t');
  Settle();
  std::vector<plat::Pixel> spectrumAfter;
  LookLater([&] { spectrumAfter = Shown(ChildTitled(vel::kFkSpectrumTitle)); });
  harness.Pause(10).Call([] { PressButton(2); });
  Settle();
  Run(rec);
  EXPECT_EQ(ctx.fan.V[0], 0.0f);
  EXPECT_EQ(ctx.fan.W[0], 0.25f);
  EXPECT_EQ(ctx.fan.V[1], 2000.0f);
  EXPECT_TRUE(std::isfinite(ctx.fan.W[0]));
  EXPECT_FALSE(spectrumAfter.empty());
}

TEST_F(FkFilterWindowTest, HoverShowsTheSizingCursorsAndADragSetsTheFanAndTheFields) {
  ShotRecord rec = TwoDips();
  FrameOf(rec);
  const float f0 = MidFrequency();
  int spectrum = 0;
  std::vector<int> cursors;
  std::vector<float> fields;
  plat::Hwnd client = plat::kNoWindow;
  LookLater([&] {
    spectrum = ChildTitled(vel::kFkSpectrumTitle);
    ASSERT_GT(spectrum, 0);
    client = tk::WindowClientHandle(spectrum);
  });
  // Over each dip's velocity line, then over nothing.
  harness.Pause(10).Call([&] {
    harness.MouseMove(client, SpectrumPixel(spectrum, f0 / 2000.0f, f0));
    harness.Call([&] { cursors.push_back(tk::GlobalCursorShape()); });
    harness.MouseMove(client, SpectrumPixel(spectrum, -f0 / 2000.0f, f0));
    harness.Call([&] { cursors.push_back(tk::GlobalCursorShape()); });
    harness.MouseMove(client, SpectrumPixel(spectrum, f0 / 800.0f, f0));
    harness.Call([&] { cursors.push_back(tk::GlobalCursorShape()); });
    // Dip 1's velocity line dragged to 2400 with the right button.
    const plat::Point on = SpectrumPixel(spectrum, f0 / 2000.0f, f0);
    const plat::Point to = SpectrumPixel(spectrum, f0 / 2400.0f, f0);
    harness.MouseMove(client, on).Press(client, on, plat::MouseButton::Right).MouseMove(client, to);
    harness.Call([&] {
      for (int f = 1140; f <= 1145; ++f) fields.push_back(FieldValue(f));
    });
    harness.Release(client, to, plat::MouseButton::Right);
    // The pop-up that the right button's release opens is left.
    harness.Pause(10).Key(plat::kVkEscape);
    Settle();
    harness.Call([] { PressButton(2); });
    Settle();
  });
  Settle();
  Run(rec);
  EXPECT_EQ(cursors, (std::vector<int>{tk::kCursorSizeNWSE, tk::kCursorSizeNESW, tk::kCursorArrow}));
  EXPECT_NEAR(ctx.fan.V[0], 2400.0f, 60.0f);
  EXPECT_EQ(ctx.fan.W[0], 0.25f);
  EXPECT_EQ(ctx.fan.V[1], 2000.0f);
  ASSERT_EQ(fields.size(), 6u);
  EXPECT_FLOAT_EQ(fields[0], ctx.fan.V[0]);
  EXPECT_NEAR(fields[1], 0.25f * ctx.fan.V[0], 0.05f);
  EXPECT_EQ(fields[3], 2000.0f);
  EXPECT_EQ(fields[4], 500.0f);
}

TEST_F(FkFilterWindowTest, AnUpperLineDraggedBelowItsVelocityKeepsTheWidth) {
  ShotRecord rec = TwoDips();
  FrameOf(rec);
  const float f0 = MidFrequency();
  int spectrum = 0;
  float widthBetween = 0.0f;
  harness.Pause(10).Call([&] {
    spectrum = ChildTitled(vel::kFkSpectrumTitle);
    const plat::Hwnd c = tk::WindowClientHandle(spectrum);
    const plat::Point upper = SpectrumPixel(spectrum, f0 / 2500.0f, f0);
    const plat::Point below = SpectrumPixel(spectrum, f0 / 1800.0f, f0);
    const plat::Point out = SpectrumPixel(spectrum, f0 / 3000.0f, f0);
    harness.MouseMove(c, upper).Press(c, upper).MouseMove(c, below);
    harness.Call([&] { widthBetween = FieldValue(1141); });
    harness.MouseMove(c, out).Release(c, out);
    harness.Call([] { PressButton(2); });
    Settle();
  });
  Settle();
  Run(rec);
  EXPECT_FLOAT_EQ(widthBetween, 500.0f);
  EXPECT_NEAR(ctx.fan.W[0], 0.5f, 0.03f);
  EXPECT_EQ(ctx.fan.V[0], 2000.0f);
}

TEST_F(FkFilterWindowTest, ZoomBoxInTheVerticalInputZoomsTheOutputToo) {
  ShotRecord rec = TwoDips();
  ctx.zoom = true;
  options.LVERTICAL = false;
  bool verticalInside = false;
  std::vector<plat::Pixel> before, after;
  int output = 0;
  LookLater([&] {
    output = ChildTitled(vel::kFkOutputTitle);
    before = Shown(output);
    verticalInside = options.LVERTICAL;
  });
  harness.Pause(10).Call([&] {
    harness.Press(Client(0), {80, 120}).Pause(400).MouseMove(Client(0), {140, 220}).MouseMove(Client(0), {200, 320})
        .Release(Client(0), {200, 320});
    harness.Pause(10).Call([&] {
      after = Shown(output);
      PressButton(2);
    });
    Settle();
  });
  Settle();
  Run(rec);
  ASSERT_FALSE(before.empty());
  EXPECT_NE(after, before);
  // A record shown horizontally is shown vertically in the tool and comes
  // back horizontal.
  EXPECT_TRUE(verticalInside);
  EXPECT_FALSE(options.LVERTICAL);
}

TEST_F(FkFilterWindowTest, ReadOutsShowTheInputRecordOverEitherTraceWindow) {
  ShotRecord rec = TwoDips();
  const ShotRecord input = rec;
  std::vector<std::vector<std::string>> seen;
  const auto look = [&] {
    std::vector<std::string> parts;
    for (int n = 1; n <= 5; ++n) parts.push_back(Part(n));
    seen.push_back(parts);
  };
  // Filtered first, so that the output's samples differ from the input's.
  ClickLater(vel::kFkFilterButton);
  // Time for the filter to run before the mouse moves on.
  harness.Pause(300).Call([&] {
    const int output = ChildTitled(vel::kFkOutputTitle);
    ASSERT_GT(output, 0);
    const plat::Hwnd c = tk::WindowClientHandle(output);
    harness.MouseMove(c, {150, 250}).Call(look);
    harness.MouseMove(Client(0), {150, 260}).Call(look);
    harness.MouseMove(Client(0), {3, 3}).Call(look);  // beside the frame
    harness.Call([] { PressButton(2); });
    Settle();
  });
  Settle();
  Run(rec);
  ASSERT_EQ(seen.size(), 3u);
  for (std::size_t k = 0; k < 2; ++k) {
    SCOPED_TRACE(k);
    const std::vector<std::string>& p = seen[k];
    ASSERT_EQ(p[0].rfind("Trace:", 0), 0u) << p[0];
    ASSERT_EQ(p[2].rfind("Sample:", 0), 0u) << p[2];
    const int j = std::stoi(p[0].substr(6));
    const int i = std::stoi(p[2].substr(7));
    ASSERT_GE(j, 1);
    ASSERT_GE(i, 1);
    std::string value;
    int shown = 0;
    sup::FMTFN(value, vel::Trace(input, j)[static_cast<std::size_t>(i - 1)], shown);
    value.resize(12, ' ');
    EXPECT_EQ(p[3], "Value: " + value);
    EXPECT_EQ(p[1].rfind("Time (ms):", 0), 0u);
    EXPECT_EQ(p[4], "First Break:" + tk::FormatRealField(vel::PickTime(input, 10 + j), "(F8.2)"));
  }
  EXPECT_EQ(seen[2], std::vector<std::string>(5, "No Trace"));
}

TEST_F(FkFilterWindowTest, RightClicksOpenTheirPopupsAndPrintDrawsThatWindowsPicture) {
  tool_window_test::RecordedPrinter printer;
  ShotRecord rec = TwoDips();
  std::vector<int> entries;
  std::vector<plat::Pixel> before, after;
  int spectrum = 0;
  const auto count = [&] {
    const std::vector<plat::HMenu> open = plat::OpenMenus();
    entries.push_back(open.empty() ? 0 : plat::MenuEntryCount(open.front()));
  };
  harness.Pause(10).Call([&] {
    const int output = ChildTitled(vel::kFkOutputTitle);
    spectrum = ChildTitled(vel::kFkSpectrumTitle);
    before = Shown(spectrum);
    const plat::Hwnd o = tk::WindowClientHandle(output);
    const plat::Hwnd s = tk::WindowClientHandle(spectrum);
    // A short right click over the output: pop-up 30005, left with Escape.
    harness.Click(o, {100, 100}, plat::MouseButton::Right);
    harness.Pause(10).Call(count).Key(plat::kVkEscape);
    Settle();
    // Over the spectrum: pop-up 30006, whose Print prints the spectrum.
    harness.Answer("dialog " + std::to_string(tk::kHardcopyDeviceDialog), "press 1");
    harness.Click(s, {40, 40}, plat::MouseButton::Right);
    harness.Pause(10).Call(count).PickOpenMenuItem(vel::kToolPrint);
    Settle();
    harness.Pause(10).Call([&] {
      after = Shown(spectrum);
      PressButton(2);
    });
    Settle();
  });
  Settle();
  Run(rec);
  EXPECT_EQ(entries, (std::vector<int>{5, 3}));
  EXPECT_EQ(printer.Pages(), 1);
  EXPECT_GT(printer.Fills(), 100);  // the spectrum's cells
  EXPECT_EQ(printer.Ends(), 1);
  EXPECT_EQ(tk::Gs().hardcopyOn, 0);
  EXPECT_NE(tk::Gs().screenOn, 0);
  ASSERT_FALSE(before.empty());
  EXPECT_EQ(after, before);  // the same picture drawn again on the screen
}

TEST_F(FkFilterWindowTest, ShortLeftClickOnTheSpectrumRewritesTheFields) {
  ShotRecord rec = TwoDips();
  ctx.fan = {{1500.0f, 2500.0f}, {0.2f, 0.4f}, {0.5f, 3.0f}};
  ctx.smoothing = 0.05f;
  std::vector<std::string> texts;
  harness.Pause(10).Call([&] {
    const int spectrum = ChildTitled(vel::kFkSpectrumTitle);
    // Fields overwritten behind the tool's back (no field-changed event
    // reaches it for a program's own writes).
    tk::WDialogSelect(vel::kFkDialog);
    for (int f = 1139; f <= 1145; ++f) tk::WDialogPutString(f, "9");
    harness.Click(tk::WindowClientHandle(spectrum), {20, 20});
    harness.Call([&] {
      for (int f = 1139; f <= 1145; ++f) texts.push_back(Text(f));
      PressButton(2);
    });
    Settle();
  });
  Settle();
  Run(rec);
  std::vector<std::string> want;
  for (const float v : {0.05f, 1500.0f, 300.0f, 0.5f, 2500.0f, 1000.0f, 3.0f}) {
    tk::WDialogSelect(vel::kFkDialog);
    sup::MVPUTREAL(1139, v);
    want.push_back(Text(1139));
  }
  EXPECT_EQ(texts, want);
}

// OK keeps the maxima of the auxiliary traces behind the data traces.
TEST_F(FkFilterWindowTest, OkKeepsTheAuxiliaryTracesMaxima) {
  ShotRecord rec = TwoDips();
  const std::size_t all = static_cast<std::size_t>(rec.NTRACE);
  rec.NTRACE -= 2;
  rec.NAUX = 2;
  rec.TRACEMAX[all - 2] = 77.0f;
  rec.TRACEMAX[all - 1] = 88.0f;
  harness.Pause(10).Call([&] { PressButton(1); });
  Settle();
  Run(rec);
  EXPECT_EQ(ierr, 0);
  ASSERT_EQ(rec.TRACEMAX.size(), all);
  EXPECT_EQ(rec.TRACEMAX[all - 2], 77.0f);
  EXPECT_EQ(rec.TRACEMAX[all - 1], 88.0f);
}

TEST_F(FkFilterWindowTest, CancelledTransformsLeaveEverythingAsItWas) {
  // Cancelled while the tool opens: nothing opens, nothing changes.
  ShotRecord rec = TwoDips();
  const ShotRecord input = rec;
  sup::SetAbortPollHook([] { return true; });
  options.LVERTICAL = false;
  Run(rec);
  EXPECT_EQ(ierr, -1);
  EXPECT_FALSE(options.LVERTICAL);
  EXPECT_EQ(tk::detail::Slot(0).menu, 30001);
  for (int n = 1; n <= 50; ++n) EXPECT_FALSE(tk::WindowSlotInUse(n)) << n;
  tk::WDialogSelect(vel::kFkProgressDialog);
  EXPECT_FALSE(plat::IsWindowVisible(tk::CurrentDialog()->hwnd));

  // Filter Traces cancelled: the working record stays, and OK accepts it.
  bool cancel = false;
  sup::SetAbortPollHook([&cancel] { return cancel; });
  harness.Pause(10).Call([&] {
    cancel = true;
    PressButton(vel::kFkFilterButton);
    Settle();
    harness.Pause(10).Call([&] {
      cancel = false;
      PressButton(1);
    });
    Settle();
  });
  Settle();
  Run(rec);
  EXPECT_EQ(ierr, -1);
  EXPECT_EQ(rec.TRACES, input.TRACES);
  EXPECT_EQ(rec.TRACEMAX, input.TRACEMAX);
  EXPECT_EQ(rec.GMIN, input.GMIN);
  EXPECT_EQ(rec.GMAX, input.GMAX);
}

TEST_F(FkFilterWindowTest, PropertiesFromTheTracePopupRescaleAndRedraw) {
  ShotRecord rec = TwoDips();
  int calls = 0;
  float maxGiven = 0.0f;
  ctx.properties = [&](vel::TraceDisplayOptions& o, std::int32_t& e, float globalMax) {
    ++calls;
    maxGiven = globalMax;
    o.LVERTICAL = false;  // traces across: the frame is made anew
    o.TRACECLIP = 2.5f;
    e = 0;
  };
  std::vector<plat::Pixel> before, after;
  harness.Pause(10).Call([&] {
    const int output = ChildTitled(vel::kFkOutputTitle);
    before = Shown(output);
    harness.Click(tk::WindowClientHandle(output), {100, 100}, plat::MouseButton::Right);
    harness.Pause(10).PickOpenMenuItem(vel::kToolProperties);
    Settle();
    harness.Pause(10).Call([&, output] {
      after = Shown(output);
      PressButton(2);
    });
    Settle();
  });
  Settle();
  Run(rec);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(maxGiven, std::max(std::abs(rec.GMIN), rec.GMAX));
  EXPECT_EQ(ierr, 0);
  ASSERT_FALSE(before.empty());
  EXPECT_NE(after, before);
  EXPECT_EQ(options.TRACECLIP, 2.5f);  // kept
  EXPECT_TRUE(options.LVERTICAL);      // the flag the tool found is put back
}

}  // namespace
