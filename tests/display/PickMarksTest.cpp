// Pick markers: exclusive-or bars across the traces that a second drawing
// removes, placed at the pick time.
#include <gtest/gtest.h>

#include "display/PickMarks.h"
#include "tests/display/TracePlotTestSupport.h"

namespace vel::testing {
namespace {

class PickMarksTest : public TracePlotTest {
 protected:
  void SetUp() override {
    TracePlotTest::SetUp();
    rec = ZeroRecord(4, 200);
    rec.LPICKS = true;
  }
  // The pixel half a spacing right of trace J's baseline at time T.
  plat::Pixel BesideTrace(int j, float t, int rowShift = 0) {
    int px = 0, py = 0;
    PixelOf(sup::PLOFX(static_cast<float>(j), axes) + 0.5f * HalfTraceSpacing(rec, axes, options),
            sup::PLOFY(t, axes), px, py);
    return At(px, py + rowShift);
  }
  ShotRecord rec;
};

TEST_F(PickMarksTest, MarkersDrawnTwiceVanishAndMoveWithThePick) {
  rec.IBPICK = {0, 90, 50, -1};
  options.LPLOTPICKS = false;
  Draw(rec);
  const std::vector<plat::Pixel> clean = Pixels();
  options.LPLOTPICKS = true;

  PLOTPICKS(rec, axes, options);
  EXPECT_NE(BesideTrace(2, 90.0f), tk::testing::kWhitePixel);
  EXPECT_NE(BesideTrace(3, 50.0f), tk::testing::kWhitePixel);
  EXPECT_EQ(BesideTrace(2, 90.0f, 6), tk::testing::kWhitePixel);  // three pixels thick
  EXPECT_EQ(BesideTrace(1, 90.0f), tk::testing::kWhitePixel);      // no pick there
  PLOTPICKS(rec, axes, options);
  EXPECT_EQ(Pixels(), clean);

  // Erase, change, draw: the marker moves.
  PLOTPICKS(rec, axes, options);
  PLOTPICKS(rec, axes, options);
  rec.IBPICK[1] = 120;
  PLOTPICKS(rec, axes, options);
  EXPECT_EQ(BesideTrace(2, 90.0f), tk::testing::kWhitePixel);
  EXPECT_NE(BesideTrace(2, 120.0f), tk::testing::kWhitePixel);
  EXPECT_FALSE(sup::PenState().exclusiveOr);  // the drawing mode is restored

  // The full redraw draws them too, once.
  Draw(rec, false);
  EXPECT_NE(BesideTrace(2, 120.0f), tk::testing::kWhitePixel);
  PLOTPICKS(rec, axes, options);
  EXPECT_EQ(Pixels(), clean);

  // One trace's marker in the caller's exclusive-or mode.
  sup::XOR_ON();
  PLOTPICK(70, 1, rec, axes, options);
  EXPECT_NE(BesideTrace(1, 70.0f), tk::testing::kWhitePixel);
  PLOTPICK(70, 1, rec, axes, options);
  sup::XOR_OFF();
  EXPECT_EQ(Pixels(), clean);
}

TEST_F(PickMarksTest, RangeIsCutToTheRecordAndThePicksOutsideAreSkipped) {
  rec.IBPICK = {0, 90, 500, 40};  // 500 ms lies below the frame
  options.LPLOTPICKS = false;
  Draw(rec);
  const std::vector<plat::Pixel> clean = Pixels();
  options.LPLOTPICKS = true;
  options.IFIRSTTRACE = 3;
  options.ILASTTRACE = 40;
  const TraceDisplayOptions asGiven = options;
  PLOTPICKS(rec, axes, options);
  EXPECT_EQ(options.ILASTTRACE, asGiven.ILASTTRACE);  // the options are the caller's
  EXPECT_EQ(BesideTrace(2, 90.0f), tk::testing::kWhitePixel);  // before the range
  EXPECT_NE(BesideTrace(4, 40.0f), tk::testing::kWhitePixel);
  PLOTPICKS(rec, axes, options);
  EXPECT_EQ(Pixels(), clean);
  // Picks hidden: nothing drawn, the clip band still taken.
  options.LPLOTPICKS = false;
  PLOTPICKS(rec, axes, options);
  EXPECT_EQ(Pixels(), clean);
  EXPECT_FLOAT_EQ(TraceMapping().baseline, sup::PLOFX(4.0f, axes));
}

TEST_F(PickMarksTest, CallersMappingAndDrawingModeAreKeptApart) {
  rec.IBPICK = {0, 90, 60, 40};
  Draw(rec);
  const TracePlotMapping module = TraceMapping();
  TracePlotMapping own = module;
  const std::vector<plat::Pixel> drawn = Pixels();
  // Each starting mode of the pen comes back after the markers.
  for (const bool exclusiveOr : {false, true}) {
    if (exclusiveOr) sup::XOR_ON(); else sup::XOR_OFF();
    const int mode = tk::Gs().plotMode;
    DrawPicks(rec, axes, options, own);  // erases the markers
    EXPECT_EQ(sup::PenState().exclusiveOr, exclusiveOr);
    EXPECT_EQ(tk::Gs().plotMode, mode);
    DrawPicks(rec, axes, options, own);  // and draws them again
  }
  sup::XOR_OFF();
  EXPECT_EQ(Pixels(), drawn);
  EXPECT_FLOAT_EQ(own.baseline, sup::PLOFX(4.0f, axes));
  EXPECT_FLOAT_EQ(TraceMapping().baseline, module.baseline);
}

}  // namespace
}  // namespace vel::testing
