// The NMO hyperbola and refractor line over the trace plot: their times, the
// apex rule, drawing and removing in exclusive-or, hit tests, drag steps and
// the drawn pick line.
#include <gtest/gtest.h>

#include <cmath>

#include "display/Overlays.h"
#include "display/TracePlot.h"
#include "tests/display/TracePlotTestSupport.h"
#include "toolkit/core/Rounding.h"
#include "toolkit/dialogs/Dialogs.h"

namespace vel::testing {
namespace {

// A record of N zero traces 10 m apart (positions 10..10N), the shot at SX.
ShotRecord Spread(int n, float sx) {
  ShotRecord rec = ZeroRecord(n, 200);
  rec.SHOTX = sx;
  return rec;
}

TEST(OverlayGeometryTest, TimesKeepOrSquareTheOffsetSign) {
  ShotRecord rec = Spread(5, 30.0f);
  rec.T0NMO = 10.0f;
  rec.VNMO = 2000.0f;
  rec.T0REF = 10.0f;
  rec.VREF = 2000.0f;
  // Trace 1 lies 20 m before the shot: 10 ms of offset time.
  EXPECT_FLOAT_EQ(NmoTime(rec, 1), std::sqrt(100.0f + 100.0f));
  EXPECT_FLOAT_EQ(NmoTime(rec, 5), std::sqrt(100.0f + 100.0f));
  EXPECT_FLOAT_EQ(RefractorTime(rec, 1), 0.0f);
  EXPECT_FLOAT_EQ(RefractorTime(rec, 5), 20.0f);
}

TEST(OverlayGeometryTest, ApexTrace) {
  struct Case {
    int n;
    float sx;
    int held;
    int apex;
  };
  const Case cases[] = {
      {6, 200.0f, 6, 6},  // shot beyond the last geophone: the last trace is the apex
      {6, 200.0f, 1, 6},  // ... and trace 1 changes the velocity
      {6, 0.0f, 1, 1},    // shot before the first geophone
      {6, 35.0f, 1, 3},   // inside the spread: NTRACE / 2
      {7, 35.0f, 7, 3},   // integer division
      {6, 35.0f, 4, 4},   // an interior trace is its own apex
  };
  for (const Case& c : cases) {
    ShotRecord rec = Spread(c.n, c.sx);
    EXPECT_EQ(ApexTrace(rec, c.held), c.apex) << c.n << " " << c.sx << " " << c.held;
  }
}

class OverlaysTest : public TracePlotTest {
 protected:
  void SetUp() override {
    TracePlotTest::SetUp();
    rec = Spread(6, 35.0f);
    rec.T0NMO = 50.0f;
    rec.VNMO = 500.0f;
    rec.T0REF = 60.0f;
    rec.VREF = 1000.0f;
    Draw(rec);
  }
  // Window units of the data point (position, time) in vertical display.
  void UnitsOf(float pos, float t, int& mx, int& my) const {
    const float px = axes.XORIGIN + sup::PLOFX(pos, axes);
    const float py = axes.YORIGIN + sup::PLOFY(t, axes);
    mx = tk::NearestInt(px * 1000.0);
    my = 10000 - tk::NearestInt(py * 1250.0);
  }
  ShotRecord rec;
};

TEST_F(OverlaysTest, DrawingTwiceRemovesAndTheCurvePassesItsTimes) {
  const auto before = Pixels();
  // Pixels around the curve's point at traces 3 and 6, before and after.
  auto around = [&](int j) {
    int px = 0, py = 0;
    PixelOf(sup::PLOFX(static_cast<float>(j), axes), sup::PLOFY(NmoTime(rec, j), axes), px, py);
    std::vector<plat::Pixel> v;
    for (int dx = -2; dx <= 2; ++dx)
      for (int dy = -2; dy <= 2; ++dy) v.push_back(At(px + dx, py + dy));
    return v;
  };
  const auto p3 = around(3), p6 = around(6);
  PLOTNMO(rec, axes, options);
  EXPECT_NE(Pixels(), before);
  EXPECT_NE(around(3), p3);
  EXPECT_NE(around(6), p6);
  PLOTNMO(rec, axes, options);
  EXPECT_EQ(Pixels(), before);
  PLOTREF(rec, axes, options);
  EXPECT_NE(Pixels(), before);
  PLOTREF(rec, axes, options);
  EXPECT_EQ(Pixels(), before);
}

TEST_F(OverlaysTest, UnusableVelocityDrawsNothing) {
  const auto before = Pixels();
  for (const float v : {0.0f, NAN, INFINITY}) {
    rec.VNMO = v;
    rec.VREF = v;
    PLOTNMO(rec, axes, options);
    PLOTREF(rec, axes, options);
    EXPECT_EQ(Pixels(), before) << v;
    std::int32_t near = -1;
    NEARNMO(5000, 5000, rec, axes, options, 1, near);
    EXPECT_EQ(near, 0);
  }
}

TEST_F(OverlaysTest, HitsOnlyAtEndAndFlankingTraces) {
  // Shot at 35 m: traces 3 (30 m) and 4 (40 m) flank it.
  for (int j = 1; j <= 6; ++j) {
    int mx = 0, my = 0;
    UnitsOf(static_cast<float>(j), NmoTime(rec, j), mx, my);
    std::int32_t near = -1;
    NEARNMO(mx, my, rec, axes, options, j, near);
    const bool eligible = j == 1 || j == 6 || j == 3 || j == 4;
    EXPECT_EQ(near, eligible ? j : 0) << "trace " << j;
    UnitsOf(static_cast<float>(j), RefractorTime(rec, j), mx, my);
    NEARREF(mx, my, rec, axes, options, j, near);
    EXPECT_EQ(near, eligible ? j : 0) << "trace " << j;
    // Far from the curve in time: no hit.
    UnitsOf(static_cast<float>(j), NmoTime(rec, j) + 60.0f, mx, my);
    NEARNMO(mx, my, rec, axes, options, j, near);
    EXPECT_EQ(near, 0);
  }
  std::int32_t near = -1;
  NEARNMO(5000, 5000, rec, axes, options, 7, near);
  EXPECT_EQ(near, 0);
}

TEST_F(OverlaysTest, DragStepsFollowTheFormulasAndFillTheFields) {
  const auto before = Pixels();
  PLOTNMO(rec, axes, options);
  // The apex (trace 3 flanks the shot) dragged to 80 ms gives T-0.
  int mx = 0, my = 0;
  UnitsOf(3.0f, 80.0f, mx, my);
  RUBBERNMO(mx, my, rec, axes, options, 3);
  const float tm = sup::YOFPL((10000 - my) * 8.0f / 10000.0f, axes);
  const float x = 1000.0f * (30.0f - 35.0f) / 500.0f;
  EXPECT_NEAR(rec.T0NMO, std::sqrt(tm * tm - x * x), 1e-3);
  // An end dragged gives the velocity.
  UnitsOf(6.0f, 150.0f, mx, my);
  RUBBERNMO(mx, my, rec, axes, options, 6);
  const float tm2 = sup::YOFPL((10000 - my) * 8.0f / 10000.0f, axes);
  EXPECT_NEAR(rec.VNMO, 1000.0f * 25.0f / std::sqrt(tm2 * tm2 - rec.T0NMO * rec.T0NMO), 1e-2);
  // An end dragged above T-0 leaves the velocity.
  const float v = rec.VNMO;
  UnitsOf(6.0f, rec.T0NMO - 5.0f, mx, my);
  RUBBERNMO(mx, my, rec, axes, options, 6);
  EXPECT_EQ(rec.VNMO, v);
  PLOTNMO(rec, axes, options);
  EXPECT_EQ(Pixels(), before);

  // The refractor: an end dragged to exactly T-0 keeps the velocity.
  PLOTREF(rec, axes, options);
  UnitsOf(6.0f, 100.0f, mx, my);
  RUBBERREF(mx, my, rec, axes, options, 6);
  const float tr = sup::YOFPL((10000 - my) * 8.0f / 10000.0f, axes);
  EXPECT_NEAR(rec.VREF, 1000.0f * 25.0f / (tr - 60.0f), 1e-2);
  const float vref = rec.VREF;
  rec.T0REF = sup::YOFPL((10000 - my) * 8.0f / 10000.0f, axes);
  PLOTREF(rec, axes, options);  // the line of the changed T-0 is drawn over the old: redraw both
  RUBBERREF(mx, my, rec, axes, options, 6);
  EXPECT_EQ(rec.VREF, vref);
  EXPECT_TRUE(std::isfinite(rec.VREF));
}

// A record whose trace j steps up at sample 40 + 5 j.
ShotRecord Steps(int n, int nsamp) {
  ShotRecord rec = ZeroRecord(n, nsamp);
  for (int j = 1; j <= n; ++j) {
    const int at = std::min(nsamp, 40 + 5 * j);
    Pulse(rec, j, at, nsamp, 100.0f);
    rec.TRACEMAX[static_cast<std::size_t>(j - 1)] = 100.0f;
  }
  return rec;
}

TEST_F(OverlaysTest, PickLineEitherWayAndPastTheLastTrace) {
  ShotRecord a = Steps(6, 200);
  Draw(a);
  SimplePickParameters pars;
  int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  UnitsOf(1.0f, 45.0f, x1, y1);
  UnitsOf(6.0f, 70.0f, x2, y2);
  ShotRecord b = a;
  FINISHRUBBERLINE(x1, y1, x2, y2, a, axes, options, pars);
  FINISHRUBBERLINE(x2, y2, x1, y1, b, axes, options, pars);
  EXPECT_EQ(a.IBPICK, b.IBPICK);
  EXPECT_TRUE(a.LPICKS);
  for (int j = 1; j <= 6; ++j) EXPECT_GT(a.IBPICK[static_cast<std::size_t>(j - 1)], 0) << j;
  // Beyond the last trace: picks up to NTRACE.
  ShotRecord c = Steps(6, 200);
  UnitsOf(9.0f, 85.0f, x2, y2);
  FINISHRUBBERLINE(x1, y1, x2, y2, c, axes, options, pars);
  EXPECT_GT(c.IBPICK[5], 0);
  // Both ends on one trace: nothing.
  ShotRecord d = Steps(6, 200);
  UnitsOf(1.2f, 80.0f, x2, y2);
  FINISHRUBBERLINE(x1, y1, x2, y2, d, axes, options, pars);
  EXPECT_EQ(d.IBPICK, Steps(6, 200).IBPICK);
  EXPECT_FALSE(d.LPICKS);
}

TEST_F(OverlaysTest, PickLineNearTheEndStaysInsideTheTrace) {
  // A record of exactly the samples the window may read: any read past the
  // end would touch the next trace (or past the array under the sanitizer).
  ShotRecord rec6 = Steps(3, 60);
  Draw(rec6);
  SimplePickParameters pars;
  int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  for (const float t : {58.0f, 60.0f, 75.0f}) {
    ShotRecord r = rec6;
    UnitsOf(1.0f, t, x1, y1);
    UnitsOf(3.0f, t, x2, y2);
    FINISHRUBBERLINE(x1, y1, x2, y2, r, axes, options, pars);
    for (int j = 1; j <= 3; ++j) {
      const std::int32_t p = r.IBPICK[static_cast<std::size_t>(j - 1)];
      EXPECT_GE(p, 0);
      EXPECT_LE(p, r.NSAMP);
    }
  }
}

}  // namespace
}  // namespace vel::testing
