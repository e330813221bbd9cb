#pragma once
// The known graph: one fixed picture drawn through the pen plotter, the graph
// axes and the real graphics core, whose every line and corner is known in
// advance. Driver tests draw it on a page and compare what their output holds
// with the expected page positions that PageOf gives for the driver's page
// set-up.
//
// The picture on the 10 x 8 plot page: a framed graph at (1.5, 1.5), 7.5
// wide and 5 high, with labelled axes (x 0..10 in 2 divisions, y 0..2 in 4)
// and ticks; a diagonal data series from its lower left to its upper right
// corner; a black solid-filled box; a red horizontal line; and a text label.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/RenderBack.h"

namespace sup::testing {

/// The drawable the known graph is drawn on: 50 pixels per page unit.
inline constexpr int kKnownGraphWidth = 500;
inline constexpr int kKnownGraphHeight = 400;

/// A position in core device units of the drawable (pixels, y up from the bottom).
struct DevicePoint {
  double x = 0, y = 0;
};
struct DeviceSegment {
  DevicePoint a, b;
  std::string what;  // for test failures
};
struct DeviceBox {
  DevicePoint lowerLeft, upperRight;
};

/// Everything the picture holds, in device units.
struct KnownGraph {
  std::vector<DeviceSegment> frame;   // bottom, right, top, left
  std::vector<DeviceSegment> ticks;   // the part of each bottom and left tick outside the frame
  DeviceSegment series;               // the diagonal
  DeviceBox filledBox;                // solid black
  DeviceSegment redLine;              // pen colour 11
  DeviceBox labelBox;                 // holds the whole label
  std::vector<DeviceBox> blank;       // areas nothing is drawn in
  std::string label;
};

/// Draws the known graph on the page that a page start (PLOTXY pen 1) has
/// begun; the drawable must be kKnownGraphWidth x kKnownGraphHeight. Leaves
/// clipping off and the pen colour 0.
void DrawKnownGraph();

/// The known graph's geometry on that drawable.
const KnownGraph& KnownGraphGeometry();

/// A driver's page set-up. A device point (X, Y) becomes the driver point
/// (trunc(factorX X), trunc(factorY Y)), or with TRUNCATE false the same
/// unrounded. Landscape turns it a quarter turn counter-clockwise, (x, y) to
/// (-y, x). Then OFFSET is added, and with Y_DOWN the page's y is
/// PAGE_HEIGHT - y (drivers whose y grows downwards).
struct PageSetup {
  double factorX = 1, factorY = 1;
  bool truncate = true;
  bool landscape = false;
  double offsetX = 0, offsetY = 0;
  bool yDown = false;
  double pageHeight = 0;
};
DevicePoint PageOf(const PageSetup& setup, DevicePoint p);
DeviceSegment PageOf(const PageSetup& setup, const DeviceSegment& s);
/// The box through both corners' page positions, corners ordered again.
DeviceBox PageOf(const PageSetup& setup, const DeviceBox& b);

/// Expects in IMAGE (rows from the top, y of the page upwards) the frame,
/// the ticks, the series and the red line within TOLERANCE pixels of their
/// places under SETUP, the blank areas blank and, WITH_LABEL, something in
/// the label's box.
inline void ExpectPicture(const velloran::testing::GreyImage& image, const PageSetup& setup,
                          int tolerance, bool withLabel = true) {
  using velloran::testing::DarkAlongSegment;
  using velloran::testing::RegionBlank;
  const KnownGraph& g = KnownGraphGeometry();
  const auto row = [&](double y) { return image.height - 1 - y; };
  auto along = [&](const DeviceSegment& device) {
    const DeviceSegment s = PageOf(setup, device);
    EXPECT_TRUE(DarkAlongSegment(image, s.a.x, row(s.a.y), s.b.x, row(s.b.y), tolerance)) << s.what;
  };
  for (const DeviceSegment& s : g.frame) along(s);
  for (const DeviceSegment& s : g.ticks) along(s);
  along(g.series);
  along(g.redLine);
  auto blank = [&](const DeviceBox& device) {
    const DeviceBox b = PageOf(setup, device);
    return RegionBlank(image, static_cast<int>(b.lowerLeft.x), static_cast<int>(row(b.lowerLeft.y)),
                       static_cast<int>(b.upperRight.x), static_cast<int>(row(b.upperRight.y)));
  };
  for (const DeviceBox& b : g.blank) EXPECT_TRUE(blank(b));
  if (withLabel) {
    EXPECT_FALSE(blank(g.labelBox)) << "the label";
  }
}

}  // namespace sup::testing
