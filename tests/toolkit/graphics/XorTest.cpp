// Exclusive-or drawing: everything drawn twice leaves the surface as it was.
#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "GraphicsTestSupport.h"

namespace tk::testing {
namespace {

class XorTest : public GraphicsTest {};

TEST_F(XorTest, FiguresDrawnTwiceLeaveTheSurfaceUnchanged) {
  Open(160, 120);
  IGrArea(0.05f, 0.05f, 0.95f, 0.95f);
  IGrUnits(0, 0, 10, 8);
  std::mt19937 rng(11);
  for (plat::Pixel& p : surface.Pixels()) p = rng() & 0xFFFFFFu;
  const plat::Surface before = surface;
  IGrDrawMode("E");
  IGrColourN(31);
  IGrColourN(95);  // halftones of red and green
  const std::vector<float> px{-1, 2, 4, 6, 11, 8, 3}, py{1, 7, 2, 9, 4, -2, 1};
  const std::vector<float> sx{1, 9, 9, 1}, sy{1, 1, 7, 7};
  struct Figure {
    const char* name;
    std::function<void()> draw;
  };
  const Figure figures[] = {
      {"lines",
       [] {
         IGrPenMoveTo(0, 0);
         IGrDrawLineTo(10, 8);
         IGrDrawLineTo(10, 0);
         IGrDrawLineTo(-3, 4);
         IGrPenMoveTo(5, 5);
         IGrDrawLineTo(5, 5);
       }},
      {"polyline", [&] { PolylineClipped(px, py, 7, 0); }},
      {"closed polyline", [&] { PolylineClipped(sx, sy, 4, 0); }},
      {"dashed",
       [&] {
         IGrLineType(4);
         PolylineClipped(px, py, 7, 0);
         IGrPenMoveTo(0, 4);
         IGrDrawLineTo(10, 4.2f);
         IGrLineType(0);
       }},
      {"wide",
       [&] {
         IGrLineWidths(3);
         PolylineClipped(px, py, 7, 0);
         IGrLineWidths(1);
       }},
      {"outline",
       [] {
         IGrFillStyle(0);
         IGrTrapezium(1, 1, 8, 6, 2, 1);
       }},
      {"hatch",
       [] {
         IGrFillStyle(1, 3, 1);
         IGrTrapezium(1, 1, 8, 6, 2, 1);
       }},
      {"cross-hatch",
       [&] {
         IGrFillStyle(2, 4, 3);
         IGrTrapezium(1, 1, 8, 2, 3, 2);
         YYPLYGON(px, py, 7, 0);
         IGrTriangle(1, 1, 9, 2, 4, 7);
       }},
      {"halftone",
       [&] {
         IGrFillStyle(3);
         IGrTrapezium(1, 1, 8, 6, 2, 1);
         YYPLYGON(px, py, 7, 0);
         IGrTriangle(1, 1, 9, 2, 4, 7);
       }},
      {"solid",
       [&] {
         IGrFillStyle(4);
         IGrTrapezium(1, 1, 8, 6, 2, 1);
         YYPLYGON(px, py, 7, 0);
         IGrTriangle(1, 1, 9, 2, 4, 7);
       }},
  };
  for (const Figure& f : figures) {
    SCOPED_TRACE(f.name);
    f.draw();
    EXPECT_NE(surface, before);
    f.draw();
    EXPECT_EQ(surface, before);
  }
}

TEST_F(XorTest, CopyModeKeepsTheEndPixel) {
  IGrUnits(0, 0, 99.99f, 79.99f);
  LineUserUnits(10, 10, 10, 10);
  EXPECT_EQ(CountSet(), 1);
  IGrDrawMode("E");
  IGrColourN(31);
  LineUserUnits(20, 10, 30, 10);
  LineUserUnits(30, 10, 40, 10);
  // Connected segments in exclusive-or leave no pixel out and none twice
  // except the one end the platform's line excludes.
  EXPECT_EQ(CountSet(), 1 + 20);
}

}  // namespace
}  // namespace tk::testing
