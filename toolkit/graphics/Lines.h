#pragma once
// Lines in device units: clipping to the plot area and the line operations
// the fills and the text routines draw through.
#include <span>

namespace tk {

/// Clips the real device segment to the plot area in place; false when
/// nothing of it is visible.
[[nodiscard]] bool ClipSegment(float& x1, float& y1, float& x2, float& y2);
/// True when the device point lies inside the clip bounds (plot area plus 0.001).
bool PointInClip(float x, float y);
/// True when (PX, PY) lies inside the clip bounds and within the segment's box.
bool SegmentEdgeHit(float px, float py, float x1, float y1, float x2, float y2);
/// Line between two user-unit points; the current point stays.
void LineUserUnits(float x1, float y1, float x2, float y2);
/// Line between two real device points, clipped, to the screen and hardcopy.
void LineDevice(float x1, float y1, float x2, float y2);
/// Polyline through the first N points (at most 5000); user units when
/// DEVICE is 0 (the current point becomes the last point), else device units.
void PolylineClipped(std::span<const float> x, std::span<const float> y, int n, int device);

}  // namespace tk
