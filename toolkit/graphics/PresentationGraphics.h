#pragma once
// The presentation-graphics state kept beside the graphics state: chart axis
// ranges, z range, polar radius, axis types with their cached logarithms, a
// sub-area, and the new-plot set-up (graph type, data sets, value counts,
// options). Nothing draws from it yet; every reset of the graphics state
// restores its defaults.
#include <array>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace tk {

struct PresentationGraphicsState {
  float x1 = 0, x2 = 1, y1 = 0, y2 = 1;  // in the caller's order
  float spanX = 1, spanY = 1;
  float lowX = 0, highX = 1, lowY = 0, highY = 1;
  float z1 = 0, z2 = 1, spanZ = 1;
  float polarRadius = 1.0f;
  std::array<float, 4> subArea{0.1f, 0.1f, 0.9f, 0.9f};  // x lower, y lower, x upper, y upper
  std::int32_t logX = 0, logY = 0;                        // axis types: 1 logarithmic
  // Cached logarithms: x ends and difference, y ends and difference, polar
  // radius and that + 38.
  float logX1 = 0, logX2 = 0, logSpanX = 0, logY1 = 0, logY2 = 0, logSpanY = 0;
  float logRadius = 0, logRadiusShifted = 0;
  std::int32_t graphType = 4;
  std::int32_t dataSets = 500;
  std::array<std::int32_t, 3> counts{1, 0, 0};
  std::int32_t options = 0;
  std::int32_t twoCounts = 0;        // the two-count case of option bit 0
  std::int32_t labelChoice = 0;      // from option bits 2, 8, 4: 1, 2, 3
  float secondFactor = 0.5f;
  float countFactor = 0.25f;
  std::vector<std::array<std::uint8_t, 16>> setRecords;  // graph type 3
  std::vector<std::array<float, 2>> setValues;           // graph types 4 and 6
};

PresentationGraphicsState& Pg();

void IPgArea(float x1, float y1, float x2, float y2);
void IPgUnitsZ(float z1, float z2);
void IPgUnitsPolar(float r);
void PgSubArea(float x1, float y1, float x2, float y2);
void PgAxisTypes(std::string_view xType, std::string_view yType);
void PgNewPlotSetup(int graphType, int dataSets, std::span<const std::int32_t> counts,
                    int options = 0, int apply = 0);
void PgLogTransform();
[[nodiscard]] float SafeLog10(float v);
/// The defaults every reset of the graphics state restores.
void PgStateReset();

}  // namespace tk
