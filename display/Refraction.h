#pragma once
// The flat two-layer refraction interpretation of the first-break picks:
// the picks arranged by distance from the shot, the break between the
// direct and the refracted branch, the two layer velocities, the intercept
// time and the depth of the refractor, and the travel-time graph that shows
// them. The window that holds the graph belongs to the shell.
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "record/ShotRecord.h"
#include "support/GraphAxes.h"

namespace vel {

/// The outputs of one interpretation, kept by the shell between calls.
struct RefractionResult {
  /// Points of the direct-branch fit, the shot point included; 0 asks for a search.
  std::int32_t directCount = 0;
  float v1 = 0.0f, v2 = 0.0f;  // layer velocities, position units per second
  float intercept = 0.0f;      // intercept time of the refracted branch at distance 0, ms
  float depth = 0.0f;          // depth of the refractor below the shot, position units
};

/// The work arrays of one interpretation, index 0 the shot point at (0, 0)
/// and index k the k-th trace from the end nearest the shot, and the frame
/// they are drawn in.
struct RefractionGraph {
  std::vector<float> X;    // distance from the shot
  std::vector<float> T;    // pick time, ms
  std::vector<float> FIT;  // time on the fitted branch
  std::vector<float> RED;  // reduced time: T less the branch's slope times X
  std::int32_t points = 0; // NTRACE + 1
  sup::GraphAxes axes;
};

/// Texts of the interpretation's messages.
inline constexpr std::string_view kRefractionInteriorMessage =
    "Cannot interpret refraction profile as simple 2-layer case\r\n"
    "shot must be off either end and not interior";
inline constexpr std::string_view kRefractionDepthMessage =
    "Error interpreting refraction: V2 < V1 or negative velocity";
inline constexpr std::string_view kRefractionFewTracesMessage =
    "Cannot interpret refraction profile: at least three traces are needed";
inline constexpr std::string_view kRefractionNoFitMessage =
    "Cannot interpret refraction profile: the picks give no straight-line fit";

/// Interprets the picks of REC into GRAPH, V1, V2, DEPTH and TI, and scales
/// GRAPH's frame. NDIRECT below 1 or above NTRACE searches the split (and
/// sets V1, V2, TI); a count in 1..NTRACE redraws with V1, V2 and TI as they
/// are. The depth is recomputed every time: it is 0, after a message, unless
/// 0 < V1 < V2, both finite. A shot not strictly beyond both end traces, or
/// fewer than three traces, gives a message and false, and changes nothing.
bool InterpretRefraction(const ShotRecord& REC, std::int32_t& NDIRECT, float& V1, float& V2,
                         float& DEPTH, float& TI, RefractionGraph& graph);

/// The x axis of AXES over X(1:N); linear.
void SCALERX(sup::GraphAxes& AXES, std::span<const float> X, std::int32_t N);
/// The y axis of AXES over FIT(1:N) (not below 0), then T and RED, in at
/// most five divisions; linear.
void SCALERY(sup::GraphAxes& AXES, std::span<const float> T, std::span<const float> FIT,
             std::span<const float> RED, std::int32_t N);

/// Draws the travel-time graph into the current window or hardcopy page (the
/// caller starts the page): frame and labels, the picks as markers, the
/// fitted branches as one line, the velocities of the NL layers with the
/// depths beside them, and the reduced times in pen 3.
void PLOTTVSX(sup::GraphAxes& AXES, std::span<const float> T, std::span<const float> X,
              std::span<const float> FIT, std::span<const float> RED, std::int32_t N,
              std::span<const float> V, std::span<const float> DEPTH, std::span<const float> TI,
              std::int32_t NL);

/// PLOTTVSX of an interpreted GRAPH with the two layers of RESULT.
void PlotRefractionGraph(RefractionGraph& graph, const RefractionResult& result);

}  // namespace vel
