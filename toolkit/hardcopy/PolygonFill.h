#pragma once
// Polygons filled in software: ear clipping of a simple polygon into
// triangles, and the colour-gradient fill of a polygon whose vertices carry
// their own colours (operation 40), scan-converted triangle by triangle or
// handed to a driver's own gradient-triangle primitive.
#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace tk {

/// The vertex list of a gradient fill, shared by its sender, the driver and
/// PolygonFill. Every list is sized from the vertex count (Resize), so no
/// sender can write past it. Vertex i (0-based here, 1-based in triangles)
/// is (x[i], y[i]) in the driver's pixels, (realX[i], realY[i]) in device
/// units, colour[i] packed as red + 256 green + 65536 blue.
struct GradientPolygonBuffer {
  std::int32_t count = 0;
  std::vector<std::int32_t> x, y, colour;
  std::vector<float> realX, realY;
  std::vector<std::array<std::int32_t, 3>> triangles;
  std::int32_t triangleCount = 0;
  /// Sets the count to N (at least 0) and sizes every list for it, keeping
  /// the entries below N.
  void Resize(int n);
};
GradientPolygonBuffer& GradientPolygon();

/// Sets one pixel (x, y) to a packed colour.
using SetPixelRoutine = std::function<void(int x, int y, int colour)>;
/// Draws the triangles natively; sets PIXELPASS to 0 when done, non-zero
/// when the triangles must still be scan-converted.
using TriangleListRoutine = std::function<void(
    std::span<const std::int32_t> x, std::span<const std::int32_t> y,
    std::span<const std::int32_t> colour, std::span<const std::array<std::int32_t, 3>> triangles,
    int vertexCount, int triangleCount, int& pixelPass)>;

/// Cuts the polygon of N points (X, Y) into triangles by clipping ears,
/// trying every vertex as the start from the top one. Each triple (a, b, c)
/// is 1-based, b the clipped tip. When no start succeeds, reports 28 under
/// "YYPolygonDecompose" and leaves the triangles of the last attempt.
void YYPolygonDecompose(std::span<const float> X, std::span<const float> Y, int n,
                        std::vector<std::array<std::int32_t, 3>>& triangles,
                        std::int32_t& triangleCount);

/// True when P lies in the triangle (a, b, c) by the decomposition's rule.
bool PointInEar(float xp, float yp, float xa, float ya, float xb, float yb, float xc, float yc);

/// Fills the polygon of GradientPolygon() within the clip rectangle
/// (inclusive; bottom is the smaller y): coincident vertices merged, then
/// the triangles offered to TRIANGLES first in MODE 2, else scan-converted.
void PolygonFill(int mode, int clipLeft, int clipBottom, int clipRight, int clipTop,
                 const SetPixelRoutine& setPixel, const TriangleListRoutine& triangles);

/// Scan-converts triangle T (1-based vertex numbers of GradientPolygon())
/// with colours interpolated along its edges and rows.
void ShadedTriangleFill(const std::array<std::int32_t, 3>& t, int clipLeft, int clipBottom,
                        int clipRight, int clipTop, const SetPixelRoutine& setPixel);

/// Makes the decomposition the complex-polygon fill's decomposer and
/// PolygonFill the screen's software fill.
void InstallPolygonSeams();

}  // namespace tk
