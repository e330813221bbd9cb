// The trace plot drawn into a headless window and read back pixel by pixel:
// where traces and pulses land, variable-area fill, gains, clipping,
// thinning, and the guards against degenerate settings.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>

#include "display/PickMarks.h"
#include "formats/Seg2In.h"
#include "tests/TestSupport.h"
#include "tests/display/TracePlotTestSupport.h"

namespace vel::testing {
namespace {

TEST_F(TracePlotTest, WidePulseLandsOnTheRowsAndColumnTheFrameGives) {
  ShotRecord rec = ZeroRecord(4, 200);
  Pulse(rec, 4, 80, 100, 1.0f);  // the last trace: nothing else lies right of it
  Draw(rec);
  const float base = sup::PLOFX(4.0f, axes);
  const float deflection = HalfTraceSpacing(rec, axes, options) * options.TRACEWIDTH;
  ASSERT_GT(deflection * 100, 40);  // a deflection of many pixels

  int px = 0, rowEarly = 0, rowLate = 0, unused = 0;
  PixelOf(base + 0.5f * deflection, sup::PLOFY(80.0f, axes), px, rowEarly);
  PixelOf(base + 0.5f * deflection, sup::PLOFY(100.0f, axes), unused, rowLate);
  int lo = 0, hi = 0;
  ASSERT_TRUE(InkRows(px, lo, hi));
  EXPECT_NEAR(hi, rowEarly, 3);  // time runs down: the early edge is the upper one
  EXPECT_NEAR(lo, rowLate, 3);
  EXPECT_GE(InkInColumn(px, lo, hi), hi - lo - 1);  // filled solidly

  // The trace's own column carries the zero wiggle outside the pulse.
  int column = 0, rowQuiet = 0;
  PixelOf(base, sup::PLOFY(150.0f, axes), column, rowQuiet);
  EXPECT_GT(InkInColumn(column, rowQuiet - 20, rowQuiet + 20), 35);
  EXPECT_EQ(InkInColumn(column + 4, rowQuiet - 20, rowQuiet + 20), 0);
  // The deflection reaches where the amplitude scale puts it.
  EXPECT_NEAR(RightmostInk(column, rowLate + 2, rowEarly - 2), column + deflection * 100, 2);
  // Labels: the record name, the axis titles and the gain line.
  EXPECT_NE(std::find(texts.begin(), texts.end(), "SYNTH"), texts.end());
  EXPECT_NE(std::find(texts.begin(), texts.end(), "Travel Time (ms)"), texts.end());
  EXPECT_NE(std::find(texts.begin(), texts.end(), std::string("Trace Max").append(31, ' ')),
            texts.end());
}

TEST_F(TracePlotTest, VariableAreaFillsOnlyThePositiveLobes) {
  ShotRecord rec = ZeroRecord(4, 200);
  Pulse(rec, 2, 40, 60, 1.0f);
  Pulse(rec, 2, 120, 140, -1.0f);
  for (const bool varArea : {true, false}) {
    SCOPED_TRACE(varArea);
    options.LVARAREA = varArea;
    Draw(rec);
    const float base = sup::PLOFX(2.0f, axes);
    const float d = 0.5f * HalfTraceSpacing(rec, axes, options) * options.TRACEWIDTH;
    int right = 0, left = 0, r1 = 0, r2 = 0, r3 = 0, r4 = 0, unused = 0;
    PixelOf(base + d, sup::PLOFY(43.0f, axes), right, r1);
    PixelOf(base + d, sup::PLOFY(57.0f, axes), unused, r2);
    PixelOf(base - d, sup::PLOFY(123.0f, axes), left, r3);
    PixelOf(base - d, sup::PLOFY(137.0f, axes), unused, r4);
    const int positive = InkInColumn(right, r1, r2);
    if (varArea)
      EXPECT_GE(positive, r1 - r2 - 1);
    else
      EXPECT_EQ(positive, 0);
    EXPECT_EQ(InkInColumn(left, r3, r4), 0);
  }
}

TEST_F(TracePlotTest, ClippingLimitsTheDeflectionToTheClipWidth) {
  ShotRecord rec = ZeroRecord(4, 200);
  Pulse(rec, 4, 80, 100, 5.0f);
  options.IGAINMETHOD = 1;  // global: amplitude 5 of 1 would deflect by 10 half spacings
  rec.GMIN = -1.0f;
  rec.GMAX = 1.0f;
  struct Case {
    float clip, width, reach;  // reach in half spacings
  };
  for (const Case c : {Case{20.0f, 2.0f, 2.0f}, Case{2.0f, 2.0f, 2.0f}, Case{0.5f, 2.0f, 0.5f},
                       Case{3.0f, 1.0f, 1.0f}}) {
    SCOPED_TRACE(c.clip);
    options.TRACECLIP = c.clip;
    options.TRACEWIDTH = c.width;
    Draw(rec);
    const float half = HalfTraceSpacing(rec, axes, options);
    int column = 0, r1 = 0, r2 = 0, unused = 0;
    PixelOf(sup::PLOFX(4.0f, axes), sup::PLOFY(84.0f, axes), column, r1);
    PixelOf(0, sup::PLOFY(96.0f, axes), unused, r2);
    const float expected = std::min(column + c.reach * half * 100, static_cast<float>(surface.Width() - 1));
    EXPECT_NEAR(RightmostInk(column, r2, r1), expected, 2);
  }
}

TEST_F(TracePlotTest, AgcRaisesAWeakArrivalThatTraceGainLeavesFlat) {
  ShotRecord rec = ZeroRecord(4, 200);
  Pulse(rec, 4, 30, 50, 1.0f);
  Pulse(rec, 4, 130, 150, 0.01f);
  auto reach = [&](float t1, float t2) {
    const float base = sup::PLOFX(4.0f, axes);
    int column = 0, r1 = 0, r2 = 0, unused = 0;
    PixelOf(base, sup::PLOFY(t1, axes), column, r1);
    PixelOf(base, sup::PLOFY(t2, axes), unused, r2);
    return RightmostInk(column, r2, r1) - column;
  };
  options.IGAINMETHOD = 2;
  Draw(rec);
  const int strong = reach(33, 47);
  EXPECT_GT(strong, 100);
  EXPECT_LE(reach(133, 147), 2);

  options.IGAINMETHOD = 3;  // AGC over 30 % of the trace: both arrivals alike
  Draw(rec);
  EXPECT_NEAR(reach(133, 147), strong, 3);
  EXPECT_NEAR(reach(33, 47), strong, 3);
  EXPECT_NE(std::find(texts.begin(), texts.end(), std::string("AGC Length:  30.%").append(23, ' ')),
            texts.end());

  // Global gain scales by the record's range, or by the user's maximum.
  options.IGAINMETHOD = 1;
  rec.GMIN = -2.0f;
  rec.GMAX = 2.0f;
  Draw(rec);
  EXPECT_NEAR(reach(33, 47), strong / 2, 2);
  options.LUSERMAX = true;
  options.USERMAX = 4.0f;
  Draw(rec);
  EXPECT_NEAR(reach(33, 47), strong / 4, 2);
  EXPECT_EQ(texts.back().substr(0, 28), "User Global Max:  4.0000E+00");
}

TEST_F(TracePlotTest, AgcFollowsItsSlidingWindow) {
  // Against the rule written out plainly: output i takes the gain of the
  // window A(i - L/2) .. A(i - L/2 + L - 1), the ends that of the nearest window.
  std::mt19937 rng(7);
  std::normal_distribution<float> noise(0.0f, 1.0f);
  for (const auto& [n, l] : {std::pair{50, 10}, {51, 7}, {40, 1}, {12, 11}, {2, 1}, {300, 31}}) {
    SCOPED_TRACE(n * 100 + l);
    std::vector<float> a(static_cast<std::size_t>(n));
    for (float& v : a) v = noise(rng) * (1.0f + static_cast<float>(&v - a.data()));
    const std::vector<float> in = a;
    auto gainAt = [&](int first) {  // window from sample FIRST (1-based)
      double q = 0;
      for (int k = first; k < first + l; ++k) q += static_cast<double>(in[k - 1]) * in[k - 1];
      float r = std::sqrt(static_cast<float>(q / l));
      return 2048.0f / (r <= 0 ? 1.0f : r);
    };
    float amin = 0, amax = 0;
    AGCTRC(a, n, amin, amax, l);
    float lo = 1e30f, hi = -1e30f;
    for (int i = 1; i <= n; ++i) {
      const int lastWindow = n - l > l / 2 + 2 ? n - l - l / 2 : 1;
      const int w = i <= l / 2 + 1 ? 1 : i > n - l ? lastWindow : i - l / 2;
      const float expected = gainAt(w) * in[i - 1];
      EXPECT_NEAR(a[i - 1], expected, 1e-3f * std::fabs(expected) + 1e-3f) << i;
      lo = std::min(lo, a[i - 1]);
      hi = std::max(hi, a[i - 1]);
    }
    EXPECT_EQ(amin, lo);
    EXPECT_EQ(amax, hi);
  }
  // A constant trace comes out at the target level.
  std::vector<float> c(10, 3.0f);
  float amin = 0, amax = 0;
  AGCTRC(c, 10, amin, amax, 4);
  EXPECT_FLOAT_EQ(amin, 2048.0f);
  EXPECT_FLOAT_EQ(amax, 2048.0f);
}

// Gaining several traces at once gives each exactly the bits AGCTRC gives it
// alone: any number of traces, silent stretches (the gain kept), spikes,
// windows at their limits, values large enough to overflow the mean.
TEST(TracePlotAgc, SeveralTracesAtOnceMatchOneAtATime) {
  auto bits = [](float v) {
    std::uint32_t u;
    std::memcpy(&u, &v, sizeof u);
    return u;
  };
  std::mt19937 rng(77);
  std::normal_distribution<float> noise(0.0f, 3.0f);
  struct Case {
    int traces, n, l;
  };
  const Case cases[] = {{1, 50, 7}, {4, 50, 7}, {6, 300, 31}, {9, 120, 119},
                        {5, 40, 1}, {4, 2, 5},  {8, 1, 1},    {3, 200, 200}};
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.traces << " traces of " << c.n << ", window " << c.l);
    std::vector<std::vector<float>> in(static_cast<std::size_t>(c.traces));
    for (std::size_t k = 0; k < in.size(); ++k) {
      in[k].resize(static_cast<std::size_t>(c.n));
      for (float& v : in[k]) v = noise(rng) * static_cast<float>(k + 1);
      if (k % 3 == 1)  // a silent stretch longer than most windows
        std::fill(in[k].begin() + c.n / 4, in[k].begin() + c.n / 2 + c.n / 4, 0.0f);
      if (k % 2 == 0)  // a spike: what the window sum keeps after it passes is rounding
        in[k][static_cast<std::size_t>(c.n / 3)] = 1e8f * static_cast<float>(k + 1);
      if (k == 2) in[k][static_cast<std::size_t>(c.n / 2)] = 3e38f;
    }
    std::vector<std::vector<float>> out(in.size(), std::vector<float>(in[0].size(), -7.0f));
    std::vector<const float*> inPtr;
    std::vector<float*> outPtr;
    for (std::size_t k = 0; k < in.size(); ++k) {
      inPtr.push_back(in[k].data());
      outPtr.push_back(out[k].data());
    }
    std::vector<float> amin(in.size()), amax(in.size());
    AgcTraces(inPtr, outPtr, c.n, c.l, amin, amax);
    for (std::size_t k = 0; k < in.size(); ++k) {
      std::vector<float> alone = in[k];
      float lo = 0, hi = 0;
      AGCTRC(alone, c.n, lo, hi, c.l);
      EXPECT_EQ(bits(amin[k]), bits(lo)) << "trace " << k;
      EXPECT_EQ(bits(amax[k]), bits(hi)) << "trace " << k;
      for (std::size_t i = 0; i < alone.size(); ++i)
        ASSERT_EQ(bits(out[k][i]), bits(alone[i])) << "trace " << k << " sample " << i + 1;
    }
  }
}

TEST_F(TracePlotTest, WideRecordsAreThinnedToAbout200Traces) {
  ShotRecord rec = ZeroRecord(600, 200);
  options.TRACECLIP = options.TRACEWIDTH = 20.0f;
  Pulse(rec, 2, 20, 40, 1.0f);    // thinned away: 1, 4, 7, ... are drawn
  Pulse(rec, 4, 120, 140, 1.0f);  // drawn
  Draw(rec);
  ASSERT_NEAR(static_cast<float>(axes.NXDIV) * axes.XSTEP / 200.0f, 3.0f, 0.5f);
  auto inkPerRow = [&](float t) {
    int px = 0, row = 0;
    PixelOf(0, sup::PLOFY(t, axes), px, row);
    int n = 0;
    for (int c = 0; c < surface.Width(); ++c) n += At(c, row) == Pen(4);
    return n;
  };
  const int quiet = inkPerRow(80.0f);
  EXPECT_GT(quiet, 150);  // one baseline column per drawn trace, about 200
  EXPECT_LT(quiet, 260);
  EXPECT_EQ(inkPerRow(30.0f), quiet);
  EXPECT_GT(inkPerRow(130.0f), quiet + 5);
}

TEST_F(TracePlotTest, HorizontalDisplayPutsTimeAlongXAndTraceOneOnTop) {
  ShotRecord rec = ZeroRecord(4, 200);
  Pulse(rec, 1, 80, 100, 1.0f);
  options.LVERTICAL = false;
  Draw(rec);
  EXPECT_GT(sup::PLOFY(1.0f, axes), sup::PLOFY(4.0f, axes));
  const float base = sup::PLOFY(1.0f, axes);
  const float d = 0.5f * HalfTraceSpacing(rec, axes, options) * options.TRACEWIDTH;
  int x1 = 0, x2 = 0, row = 0;
  PixelOf(sup::PLOFX(83.0f, axes), base + d, x1, row);
  PixelOf(sup::PLOFX(97.0f, axes), base + d, x2, row);
  int n = 0;
  for (int c = x1; c <= x2; ++c) n += At(c, row) == Pen(4);
  EXPECT_GE(n, x2 - x1 - 1);
  PixelOf(sup::PLOFX(150.0f, axes), base + d, x1, row);
  EXPECT_NE(At(x1, row), Pen(4));
}

// A zoomed or panned frame that starts between traces: the trace beside
// the frame shows only the part of its lobes that reaches into the frame;
// nothing of it is drawn over the axis beside the frame, in either
// orientation. The pick of a trace lying on the frame's edge is drawn.
TEST_F(TracePlotTest, ATraceBesideAZoomedFrameDrawsNothingOutsideIt) {
  ShotRecord rec = ZeroRecord(12, 200);
  for (int j = 1; j <= 12; ++j) {
    auto t = Trace(rec, j);
    for (int i = 0; i < 200; ++i) t[static_cast<std::size_t>(i)] = std::sin(0.2f * static_cast<float>(i));
  }
  for (const bool vertical : {true, false}) {
    SCOPED_TRACE(vertical ? "vertical" : "horizontal");
    options.LVERTICAL = vertical;
    options.LVARAREA = true;
    options.TRACEWIDTH = options.TRACECLIP = 2.0f;
    SCALETRACES(rec, axes, options, false);
    // The trace axis panned so that the frame starts half a trace past
    // trace 3 and ends on a trace.
    float& start = vertical ? axes.XSTART : axes.YSTART;
    float& step = vertical ? axes.XSTEP : axes.YSTEP;
    const int divisions = vertical ? axes.NXDIV : axes.NYDIV;
    step = (vertical ? 1.0f : -1.0f) * 5.5f / static_cast<float>(divisions);
    start = vertical ? 3.5f : 9.5f;
    rec.IBPICK.assign(12, 50);
    options.LPLOTPICKS = false;
    Draw(rec, false);
    const std::vector<plat::Pixel> withoutPicks = Pixels();
    // Beside the frame, over the frame's height: no trace ink.
    const float w = static_cast<float>(axes.NXDIV) * axes.XCELL;
    const float h = static_cast<float>(axes.NYDIV) * axes.YCELL;
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    PixelOf(0, 0, x0, y0);
    PixelOf(w, h, x1, y1);
    int outside = 0;
    if (vertical) {
      for (int c = std::max(0, x0 - 40); c < x0 - 1; ++c) outside += InkInColumn(c, y0 + 2, y1 - 2);
    } else {
      for (int r = std::max(0, y0 - 40); r < y0 - 1; ++r)
        for (int c = x0 + 2; c < x1 - 2; ++c) outside += At(c, r) == Pen(4);
    }
    EXPECT_EQ(outside, 0);
    // Inside the frame the lobes of the trace beside it still show.
    int inside = 0;
    if (vertical) {
      for (int c = x0 + 2; c < x0 + 6; ++c) inside += InkInColumn(c, y0 + 2, y1 - 2);
    } else {
      for (int r = y0 + 2; r < y0 + 6; ++r)
        for (int c = x0 + 2; c < x1 - 2; ++c) inside += At(c, r) == Pen(4);
    }
    EXPECT_GT(inside, 20);
    // The pick of the trace on the far edge (trace 9 on the right, trace 4
    // on the top) is drawn.
    options.LPLOTPICKS = true;
    Draw(rec, false);
    const float edge = vertical ? w : h;
    const float along = vertical ? sup::PLOFY(50.0f, axes) : sup::PLOFX(50.0f, axes);
    int px = 0, py = 0;
    if (vertical)
      PixelOf(edge, along, px, py);
    else
      PixelOf(along, edge, px, py);
    const std::vector<plat::Pixel> withPicks = Pixels();
    int changed = 0;
    for (int r = py - 6; r <= py + 6; ++r)
      for (int c = px - 6; c <= px + 6; ++c) {
        if (c < 0 || r < 0 || c >= surface.Width() || r >= surface.Height()) continue;
        const std::size_t at = static_cast<std::size_t>(surface.Height() - 1 - r) * surface.Width() + c;
        changed += withPicks[at] != withoutPicks[at];
      }
    EXPECT_GT(changed, 6);
  }
}

TEST_F(TracePlotTest, DegenerateSettingsStillDrawAndEnd) {
  ShotRecord rec = ZeroRecord(4, 200);
  Pulse(rec, 2, 80, 100, 1.0f);
  for (const float size : {0.0f, -1.0f, std::nanf(""), 1e-9f}) {
    SCOPED_TRACE(size);
    options.PIXELSIZE = size;
    Draw(rec);  // ends
    EXPECT_GT(TraceMapping().fillStep, 0.0f);
    EXPECT_GT(CountSet(), 1000);
  }
  // TRCPLT itself with no fill step draws only its first move.
  TraceMapping().fillStep = 0.0f;
  const int before = CountSet();
  const auto t = Trace(rec, 2);
  TRCPLT(t, rec.NSAMP, rec.SAMPINT, rec.TDELAY, axes, options);
  EXPECT_EQ(CountSet(), before);

  // A stored display by positions whose positions are all equal: the
  // thinning and the trace width fall back to a spacing of 1.
  options = {};
  options.LGEOPOS = true;
  Draw(rec);
  ASSERT_TRUE(options.LGEOPOS);
  for (float& g : rec.GEOLOC) g = 20.0f;
  EXPECT_EQ(TraceSpacing(rec), 1.0f);
  Draw(rec, false);
  int column = 0, row = 0;
  PixelOf(sup::PLOFX(20.0f, axes), sup::PLOFY(150.0f, axes), column, row);
  EXPECT_GT(InkInColumn(column, row - 10, row + 10), 15);

  // A trace range beyond the record, traces that lie outside the frame.
  options = {};
  Draw(rec);
  options.IFIRSTTRACE = 2;
  options.ILASTTRACE = 99;
  Draw(rec, false);  // all traces
  EXPECT_EQ(options.ILASTTRACE, 99);  // the options stay as the caller gave them
  rec.GEOLOC.clear();
  options.LGEOPOS = true;
  Draw(rec, false);  // trace numbers stand in for the missing positions
  Draw(rec);
  EXPECT_FALSE(options.LGEOPOS);
}

// A frame scaled far beyond the window (a stored time cell of a million page
// units) costs no more than the window's pixels, in either display.
TEST_F(TracePlotTest, AFrameFarLargerThanTheWindowDrawsInBoundedTime) {
  ShotRecord rec = ZeroRecord(24, 4000);
  for (int j = 1; j <= 24; ++j) Pulse(rec, j, 1, 4000, 1.0f);
  for (const bool vertical : {true, false}) {
    SCOPED_TRACE(vertical ? "vertical" : "horizontal");
    options = {};
    options.LVERTICAL = vertical;
    options.LVARAREA = true;
    SCALETRACES(rec, axes, options, false);
    // The time axis: y in vertical display, x otherwise.
    if (vertical)
      axes.YCELL = axes.YCELL < 0 ? -1e6f : 1e6f;
    else
      axes.XCELL = 1e6f;
    const auto start = std::chrono::steady_clock::now();
    Draw(rec, false);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(seconds, 1.0);
  }
}

TEST_F(TracePlotTest, PublicSeg2RecordDrawsItsTraces) {
  SKIP_WITHOUT_SHARED_DATA();
  const auto path = testing_support::SharedData() / "pyrefra" / "Rec_00001.seg2";
  if (!std::filesystem::exists(path)) GTEST_SKIP() << "sample absent";
  ShotRecord rec;
  int ierr = 0;
  SEG2IN(rec, path.string(), ierr, false);
  ASSERT_EQ(ierr, 0);
  ASSERT_EQ(rec.NTRACE, 60);
  ShowNewRecord(rec, axes, options);
  int drawn = 0;
  for (int j = 1; j <= rec.NTRACE; ++j) {
    int c = 0, top = 0, bottom = 0, unused = 0;
    PixelOf(0.0f, static_cast<float>(axes.NYDIV) * axes.YCELL, unused, top);
    PixelOf(sup::PLOFX(static_cast<float>(j), axes), 0.0f, c, bottom);
    int ink = 0;
    for (int dc = -3; dc <= 3; ++dc) ink += InkInColumn(c + dc, bottom, top);
    drawn += ink > 100;
  }
  EXPECT_EQ(drawn, 60);
}

// Every number of the right-hand time axis is drawn whole: at the size of
// the main window's client area, each is as wide in pixels as the same
// number on the left-hand axis, none cut at the window's edge.
TEST_F(TracePlotTest, RightHandTimeLabelsAreDrawnWhole) {
  SKIP_WITHOUT_SHARED_DATA();
  const auto path = testing_support::SharedData() / "graphSEG2" / "102.dat";
  if (!std::filesystem::exists(path)) GTEST_SKIP() << "sample absent";
  ShotRecord rec;
  int ierr = 0;
  SEG2IN(rec, path.string(), ierr, false);
  ASSERT_EQ(ierr, 0);
  sup::SetPenTextOutput({});  // the text drawn, not only recorded
  for (const auto& [width, height] : {std::pair{766, 560}, std::pair{1000, 800}, std::pair{500, 380}}) {
    SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height));
    Open(width, height);
    ShowNewRecord(rec, axes, options);
    ASSERT_GE(axes.NYDIV, 2);
    const float w = static_cast<float>(axes.NXDIV) * axes.XCELL;
    const float unitsPerPixel = 10.0f / static_cast<float>(width);
    for (int j = 0; j <= axes.NYDIV; ++j) {
      SCOPED_TRACE(j);
      // The label's rows: its line, a little over its height either way.
      int unused = 0, top = 0, bottom = 0;
      const float y = static_cast<float>(j) * axes.YCELL;
      PixelOf(0.0f, y - 0.3f, unused, bottom);
      PixelOf(0.0f, y + 0.3f, unused, top);
      auto inkSpan = [&](float from, float to) {
        int c0 = 0, c1 = 0;
        PixelOf(from, y, c0, unused);
        PixelOf(to, y, c1, unused);
        c1 = std::min(c1, surface.Width() - 1);
        int first = -1, last = -1;
        for (int c = c0; c <= c1; ++c)
          if (InkInColumn(c, bottom, top, 2) > 0) {
            if (first < 0) first = c;
            last = c;
          }
        return first < 0 ? 0 : last - first + 1;
      };
      const int left = inkSpan(axes.XDRAWNMIN, -0.16f);  // the axis title lies further left
      const int right = inkSpan(w + 0.16f, w + 10.0f);
      EXPECT_GT(left, static_cast<int>(0.05f / unitsPerPixel));
      EXPECT_NEAR(right, left, 1);
    }
  }
}

}  // namespace
}  // namespace vel::testing
