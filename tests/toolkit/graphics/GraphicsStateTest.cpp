// Graphics state: plot area, units, transforms, targets and queries.
#include <gtest/gtest.h>

#include "GraphicsTestSupport.h"
#include "toolkit/graphics/GraphicsState.h"

namespace tk::testing {
namespace {

class GraphicsStateTest : public GraphicsTest {};

TEST_F(GraphicsStateTest, WholeAreaOfA640By480Window) {
  Open(640, 480);
  const GraphicsState& gs = Gs();
  EXPECT_FLOAT_EQ(gs.areaX1, 639.99f);
  EXPECT_FLOAT_EQ(gs.areaY1, 479.99f);
  EXPECT_EQ(gs.clipPixX0, 0);
  EXPECT_EQ(gs.clipPixX1, 639);
  EXPECT_EQ(gs.clipPixY1, 479);
  EXPECT_EQ(gs.clipPixWidth, 640);
  EXPECT_EQ(gs.clipPixHeight, 480);
  EXPECT_FLOAT_EQ(gs.clipX0, -0.001f);
  EXPECT_FLOAT_EQ(gs.clipX1, 639.991f);
  EXPECT_EQ(IGrStateQuery(32), 133);
  EXPECT_EQ(IGrStateQuery(43), kDrawWindow);
  EXPECT_EQ(IGrStateQuery(44), 0);
}

TEST_F(GraphicsStateTest, InvalidAreaAxisFallsBackAlone) {
  IGrArea(0.2f, 0.5f, 0.2f, 0.9f);
  EXPECT_EQ(WErrorStatusQuery(1), 44);
  const GraphicsState& gs = Gs();
  EXPECT_FLOAT_EQ(gs.areaFracX0, 0);
  EXPECT_FLOAT_EQ(gs.areaFracX1, 1);
  EXPECT_FLOAT_EQ(gs.areaFracY0, 0.5f);
  EXPECT_FLOAT_EQ(gs.areaFracY1, 0.9f);
}

TEST_F(GraphicsStateTest, InvalidUnitsAxisFallsBackAlone) {
  IGrUnits(5, 0, 5, 8);
  EXPECT_EQ(WErrorStatusQuery(1), 16);
  EXPECT_FLOAT_EQ(Gs().userX0, 0);
  EXPECT_FLOAT_EQ(Gs().userX1, 1);
  EXPECT_FLOAT_EQ(Gs().userY1, 8);
}

TEST_F(GraphicsStateTest, PixelsAndUnits) {
  Open(100, 100);
  IGrUnits(0, 0, 10, 10);
  float ux, uy;
  IGrPixelToUnits(0, 0, ux, uy);
  EXPECT_NEAR(ux, 0.05f, 1e-3);
  EXPECT_NEAR(uy, 0.05f, 1e-3);
  IGrUnits(0, 0, 99.99f, 99.99f);  // one unit a pixel
  int px, py;
  IGrUserToPixel(-0.2f, 3.7f, px, py);
  EXPECT_EQ(px, -1);
  EXPECT_EQ(py, 3);
  IGrUserToPixel(-0.0005f, 0, px, py);
  EXPECT_EQ(px, 0);
}

TEST_F(GraphicsStateTest, ZeroHeightHasAspectOne) {
  GraphicsSurfaceResize(kDrawWindow, 0, 50, 0);
  EXPECT_FLOAT_EQ(Gs().aspectRatio, 1.0f);
}

TEST_F(GraphicsStateTest, ResizeKeepsFractionsAndUnits) {
  IGrArea(0.5f, 0, 1, 1);
  IGrUnits(0, 0, 10, 8);
  WindowSurfaceResized(0, 200, 80);
  float dx, dy;
  UserToDevice(0, 0, dx, dy);
  EXPECT_NEAR(dx, 99.995f, 1e-3);
  WindowSurfaceResized(3, 10, 10);  // not the current window
  EXPECT_EQ(Gs().width, 200);
}

TEST_F(GraphicsStateTest, BadTargetsFallBackToTheWindow) {
  IGrSelect(1, 60);
  EXPECT_EQ(WErrorStatusQuery(1), 1019);
  EXPECT_EQ(IGrStateQuery(43), kDrawWindow);
  EXPECT_EQ(IGrStateQuery(44), 0);
  IGrSelect(2, 3);  // no bitmap store
  EXPECT_EQ(WErrorStatusQuery(1), 1019);
  IGrSelect(4, 25);
  EXPECT_EQ(WErrorStatusQuery(1), 1019);
  EXPECT_EQ(Gs().width, 100);
}

TEST_F(GraphicsStateTest, UnknownKindOnlyReselects) {
  IGrArea(0.5f, 0.5f, 1, 1);
  IGrSelect(7, 1);
  EXPECT_EQ(WErrorStatusQuery(1), 0);
  EXPECT_EQ(IGrStateQuery(43), kDrawWindow);
  EXPECT_EQ(IGrStateQuery(44), 0);
  EXPECT_FLOAT_EQ(Gs().areaFracX0, 0.5f);
}

TEST_F(GraphicsStateTest, QueriesAndOptions) {
  EXPECT_EQ(IGrStateQuery(0), 0);
  EXPECT_EQ(IGrStateQuery(50), 0);
  EXPECT_EQ(IGrStateQuery(1), 1);
  EXPECT_EQ(IGrStateQuery(20), 0);
  EXPECT_EQ(IGrStateQuery(24), 0);
  EXPECT_EQ(IGrStateQuery(29), 1);
  EXPECT_EQ(IGrStateQuery(33), 5);
  EXPECT_EQ(IGrStateQuery(34), 0);
  EXPECT_EQ(IGrStateQuery(35), 223);
  EXPECT_EQ(IGrStateQuery(38), 8);
  EXPECT_EQ(IGrStateQuery(40), 360);
  EXPECT_EQ(IGrStateQuery(42), 1);
  EXPECT_EQ(IGrStateQuery(39), 8);
  EXPECT_TRUE(OptionLetterTest("hp", 'P'));
  EXPECT_FALSE(OptionLetterTest("H", 'P'));
}

TEST_F(GraphicsStateTest, HardcopyOnlyResetSilencesTheScreen) {
  IGrStateReset("h");
  EXPECT_EQ(Gs().screenOn, 0);
  IGrUnits(0, 0, 10, 8);
  IGrPenMoveTo(0, 0);
  IGrDrawLineTo(10, 8);
  EXPECT_EQ(CountSet(), 0);
  IGrStateReset();
  EXPECT_EQ(Gs().screenOn, 1);
}

TEST_F(GraphicsStateTest, MetafileSlots) {
  WMetafileDestroy(0);
  EXPECT_EQ(WErrorStatusQuery(1), 1060);
  WMetafileDestroy(3);
  EXPECT_EQ(WErrorStatusQuery(1), 1060);
  MetafileSlotAt(3) = {6, 1, 40, 30, 0, 0, "abc"};
  std::vector<DriverOperation> ops;
  RegisterMemoryRecorder([&](DriverOperation& op) { ops.push_back(op); });
  IGrSelect(4, 3);
  EXPECT_EQ(Gs().width, 40);
  EXPECT_EQ(Gs().memoryRecorderOn, 1);
  // The plot area applied to the new drawable refreshes the text angle and size.
  const std::vector<DriverOperation> expected{
      DriverOperation::ClipRectangle, DriverOperation::TextAngle,
      DriverOperation::CharacterSize, DriverOperation::Select,   DriverOperation::BeginPicture,
      DriverOperation::LineWidth,     DriverOperation::LineType, DriverOperation::PaletteReload,
      DriverOperation::ClipRectangle};
  EXPECT_EQ(ops, expected);
  IGrSelect(1);
  EXPECT_EQ(Gs().memoryRecorderOn, 0);
  WMetafileDestroy(3);
  EXPECT_EQ(WErrorStatusQuery(1), 0);
  EXPECT_EQ(MetafileSlotAt(3).kind, 0);
  EXPECT_TRUE(MetafileSlotAt(3).cgm.empty());
}

TEST_F(GraphicsStateTest, SaverRestoresAttributes) {
  IGrColourN(31);
  {
    GraphicsStateSaver keep;
    IGrDrawMode("E");
    IGrLineType(3);
    IGrColourN(95);
    IGrFillStyle(4);
  }
  EXPECT_EQ(Gs().plotMode, kPlotCopy);
  EXPECT_EQ(Gs().lineType, 0);
  EXPECT_EQ(Gs().current.number, 31);
  EXPECT_EQ(Gs().previous.number, 223);
  EXPECT_EQ(Gs().fillStyle, 0);
}

}  // namespace
}  // namespace tk::testing
