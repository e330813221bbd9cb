// Choosing the trace display's frame.
#include <gtest/gtest.h>

#include "display/TraceAxes.h"
#include "display/TracePlot.h"
#include "support/UserMessages.h"
#include "tests/display/TracePlotTestSupport.h"

namespace vel::testing {
namespace {

class TraceAxesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sup::SetUserMessageHook([](sup::UserMessageKind, std::string_view, std::string_view) {});
    sup::ClearUserMessages();
  }
  void TearDown() override { sup::SetUserMessageHook({}); }
  sup::GraphAxes axes;
  TraceDisplayOptions options;
};

TEST_F(TraceAxesTest, TraceNumberAxisHalvesToAtMostTwelveDivisions) {
  struct Case {
    int ntrace;
    float clip, width;
    float start, step;
    int ndiv;
  };
  const Case cases[] = {
      {48, 2.0f, 2.0f, 0.0f, 8.0f, 7},  // 50 -> 25 -> 13 -> 7
      {4, 2.0f, 2.0f, 0.0f, 1.0f, 6},
      {10, 2.0f, 2.0f, 0.0f, 1.0f, 12},
      {11, 2.0f, 2.0f, 0.0f, 2.0f, 7},  // 13 -> 6, end 12 below 13 -> 7
      {1, 2.0f, 2.0f, 0.0f, 1.0f, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.ntrace);
    ShotRecord rec = ZeroRecord(c.ntrace, 100);
    options.TRACECLIP = c.clip;
    options.TRACEWIDTH = c.width;
    options.IFIRSTTRACE = 3;
    options.ILASTTRACE = 9;
    SCALETRACES(rec, axes, options, false);
    EXPECT_FLOAT_EQ(axes.XSTART, c.start);
    EXPECT_FLOAT_EQ(axes.XSTEP, c.step);
    EXPECT_EQ(axes.NXDIV, c.ndiv);
    EXPECT_EQ(options.IFIRSTTRACE, 0);
    EXPECT_EQ(options.ILASTTRACE, 0);
    // Time runs down from the bottom edge's largest value; an 8 by 6 frame.
    EXPECT_LT(axes.YSTEP, 0.0f);
    EXPECT_FLOAT_EQ(sup::PLOFY(axes.YSTART, axes), 0.0f);
    EXPECT_GE(axes.YSTART, 100.0f);
    EXPECT_FLOAT_EQ(static_cast<float>(axes.NXDIV) * axes.XCELL, 8.0f);
    EXPECT_FLOAT_EQ(static_cast<float>(axes.NYDIV) * axes.YCELL, 6.0f);
    EXPECT_FLOAT_EQ(axes.XORIGIN, 1.25f);
    EXPECT_FLOAT_EQ(axes.YORIGIN, 1.25f);
    EXPECT_TRUE(axes.LBOTTOM && axes.LLEFT && axes.LRIGHT);
  }
}

TEST_F(TraceAxesTest, PositionsPicksAndOrientation) {
  ShotRecord rec = ZeroRecord(5, 100);  // positions 10..50
  options.LGEOPOS = true;
  options.LVERTICAL = false;
  SCALETRACES(rec, axes, options, false);
  ASSERT_TRUE(options.LGEOPOS);
  EXPECT_LE(axes.YSTART + static_cast<float>(axes.NYDIV) * axes.YSTEP, 10.0f - 10.0f);
  EXPECT_GE(axes.YSTART, 50.0f + 10.0f);
  EXPECT_GT(sup::PLOFY(10.0f, axes), sup::PLOFY(50.0f, axes));  // trace 1 at the top
  EXPECT_FLOAT_EQ(axes.XSTART, 0.0f);                             // time along x

  // With picks the time axis covers the pick times only.
  rec.LPICKS = true;
  rec.IBPICK = {20, 30, 40, 50, 60};
  rec.TDELAY = 100.0f;
  SCALETRACES(rec, axes, options, true);
  EXPECT_GE(axes.XSTART, 100.0f);
  EXPECT_LE(axes.XSTART + static_cast<float>(axes.NXDIV) * axes.XSTEP, 200.0f);

  // Positions without spread fall back to trace numbers, with a word only
  // when positions had been chosen.
  for (float& g : rec.GEOLOC) g = 7.0f;
  SCALETRACES(rec, axes, options, false);
  EXPECT_FALSE(options.LGEOPOS);
  EXPECT_EQ(sup::LastUserMessage().text,
            "Trace positions are not valid. View properties changed to plot by trace number.");
  sup::ClearUserMessages();
  SCALETRACES(rec, axes, options, false);
  EXPECT_EQ(sup::UserMessageCount(), 0);
}

TEST_F(TraceAxesTest, EmptyRecordsAreReportedAndLeaveTheFrame) {
  ShotRecord rec = ZeroRecord(3, 10);
  SCALETRACES(rec, axes, options, false);
  const sup::GraphAxes before = axes;
  rec.NSAMP = 0;
  SCALETRACES(rec, axes, options, false);
  EXPECT_EQ(sup::LastUserMessage().text, "NO SAMPLES AVAILABLE FOR SCALING");
  rec.NTRACE = 0;
  SCALETRACES(rec, axes, options, false);
  EXPECT_EQ(sup::LastUserMessage().text, "NO TRACES AVAILABLE FOR SCALING");
  EXPECT_EQ(sup::GraphAxesToWords(axes), sup::GraphAxesToWords(before));
}

TEST_F(TraceAxesTest, SomeTracesRescalesTheTraceAxisWithinTheRecord) {
  ShotRecord rec = ZeroRecord(6, 100);  // positions 10..60
  SCALETRACES(rec, axes, options, false);
  const float time0 = axes.YSTART, timeStep = axes.YSTEP;

  options.IFIRSTTRACE = 2;
  options.ILASTTRACE = 4;
  SCALESOMETRACES(rec, axes, options);
  EXPECT_FLOAT_EQ(axes.XSTART, 1.0f);
  EXPECT_EQ(axes.NXDIV, 5);  // 4 - 2 + 2 + 1, no cap
  EXPECT_FLOAT_EQ(static_cast<float>(axes.NXDIV) * axes.XCELL, 8.0f);
  EXPECT_EQ(axes.YSTART, time0);
  EXPECT_EQ(axes.YSTEP, timeStep);

  // Positions, with the last trace beyond the record: cut to it.
  options.LGEOPOS = true;
  options.IFIRSTTRACE = 3;
  options.ILASTTRACE = 500;
  SCALESOMETRACES(rec, axes, options);
  EXPECT_EQ(options.ILASTTRACE, 6);
  EXPECT_LE(axes.XSTART, 30.0f);
  EXPECT_GE(axes.XSTART + static_cast<float>(axes.NXDIV) * axes.XSTEP, 60.0f);

  // Horizontal display: the trace axis runs downwards, trace 1 on top.
  options.LGEOPOS = false;
  options.LVERTICAL = false;
  SCALETRACES(rec, axes, options, false);
  options.IFIRSTTRACE = 2;
  options.ILASTTRACE = 5;
  SCALESOMETRACES(rec, axes, options);
  sup::FINDASY(axes);
  EXPECT_GT(sup::PLOFY(2.0f, axes), sup::PLOFY(5.0f, axes));
  EXPECT_FLOAT_EQ(static_cast<float>(axes.NYDIV) * axes.YCELL, 6.0f);

  // A range the record does not hold: all traces, frame unchanged.
  const sup::GraphAxes before = axes;
  options.IFIRSTTRACE = 6;
  options.ILASTTRACE = 9;
  SCALESOMETRACES(rec, axes, options);
  EXPECT_EQ(options.IFIRSTTRACE, 0);
  EXPECT_EQ(options.ILASTTRACE, 0);
  EXPECT_EQ(sup::GraphAxesToWords(axes), sup::GraphAxesToWords(before));
}

TEST_F(TraceAxesTest, TickIntervalForTraceNumbers) {
  float start = -1, step = -1;
  int ndiv = 0, nminor = 0;
  LINNXT(3.0f, 48.0f, start, step, ndiv, nminor);
  EXPECT_EQ(step, 5.0f);
  EXPECT_EQ(start, 5.0f);  // NINT(0.6) * 5
  EXPECT_EQ(ndiv, 43);
  EXPECT_EQ(nminor, 5);
  start = -1, step = -1;
  LINNXT(1.0f, 12.0f, start, step, ndiv, nminor);
  EXPECT_EQ(ndiv, 1);
  EXPECT_EQ(start, -1.0f);
  EXPECT_EQ(step, -1.0f);
}

}  // namespace
}  // namespace vel::testing
