#pragma once
// Area fills: the fill model shared by trapezia, triangles and polygons.
#include <array>
#include <functional>
#include <span>
#include <vector>

namespace tk {

/// Cuts a simple polygon of N points into at most N - 2 triangles (1-based
/// point indices). Provided by the hardcopy subsystem; reports its own errors
/// and, when the polygon cannot be cut, returns the triangles it found.
using PolygonDecomposer = std::function<std::vector<std::array<int, 3>>(
    std::span<const float> x, std::span<const float> y, int n)>;
void SetPolygonDecomposer(PolygonDecomposer decomposer);

/// Line steps of hatch lines for one output (0 screen, 1 hardcopy).
struct HatchSteps {
  float vertical = 2;  // between horizontal lines
  float horizontal = 2;
  int verticalInt = 2;
  int horizontalInt = 2;
  float inset = 0;
  bool serpentine = false;
  float phase = 0;  // added to every line position (second halftone pass)
};
HatchSteps HatchSpacing(int output, int density);

}  // namespace tk
