#pragma once
// The main trace display: the frame with its labels and timing lines, every
// visible trace as a wiggle with optional variable-area fill under global,
// per-trace or automatic gain, and the picks on top. Drawing goes through the
// pen plotter in plot units relative to the frame origin.
#include <cstdint>
#include <span>

#include "record/ShotRecord.h"
#include "support/GraphAxes.h"

namespace vel {

/// Where the trace being drawn lies, in plot units relative to the frame
/// origin. PLOTTRACES sets all seven for each trace it draws; PLOTPICKS and
/// PLOTPICK rewrite clipLow, clipHigh and baseline for each trace they visit.
struct TracePlotMapping {
  float timeStart = 0;       // plot position of the first visible sample
  float clipLow = 0;         // smallest deflection position across the trace axis
  float timeEnd = 0;         // plot position of the last visible sample
  float clipHigh = 0;        // largest deflection position
  float baseline = 0;        // position of the trace across the trace axis
  float amplitudeScale = 0;  // plot units per unit of amplitude
  float fillStep = 0;        // step between wiggle vertices: one pixel times PIXELSIZE
};
/// What a trace plot leaves for the overlays drawn over it: the mapping of
/// the trace last visited, and the fill direction of the variable-area
/// zigzag, which carries from one trace and one plot to the next.
struct TracePlotState {
  TracePlotMapping mapping;
  bool fillToggle = false;
};
/// The display module's own state, which PLOTTRACES, TRCPLT, PLOTPICKS and
/// PLOTPICK use; callers that keep their own pass it to the routines below.
TracePlotState& ModuleTracePlot();
/// The mapping of the module's own state.
TracePlotMapping& TraceMapping();

/// Draws the frame, labels, timing lines and every visible trace of REC in
/// AXES, then the picks when LPLOTPICKS is set, leaving the mapping in STATE.
/// Expects AXES set up by SCALETRACES (or restored, or zoomed) and a page
/// already started. Neither the record nor the options are changed.
/// A PIXELSIZE that is not a positive number draws with 1 (one pixel); below
/// 1/8 it draws with 1/8.
void DrawTracePlot(const ShotRecord& REC, sup::GraphAxes& AXES, const TraceDisplayOptions& OPTS,
                   TracePlotState& STATE);
/// DrawTracePlot with the module's own state.
void PLOTTRACES(const ShotRecord& REC, sup::GraphAxes& AXES, const TraceDisplayOptions& OPTS);

/// One trace: the N samples S as a wiggle stepped at the fill step along the
/// time axis from timeStart to timeEnd of the mapping, each step taking the
/// nearest sample, with the positive lobes filled when LVARAREA is set. DT
/// and DELAY are not used: the mapping gives all the geometry. Fewer than two
/// samples, or a fill step that is not positive, draw only the first move.
/// The lines go to the pen plotter in one path per trace.
void DrawTrace(std::span<const float> S, int N, sup::GraphAxes& AXES,
               const TraceDisplayOptions& OPTS, TracePlotState& STATE);
/// DrawTrace with the module's own state.
void TRCPLT(std::span<const float> S, int N, float DT, float DELAY, sup::GraphAxes& AXES,
            const TraceDisplayOptions& OPTS);

/// Automatic gain control to the level 2048 over a sliding window of L
/// samples (1 <= L < N; other lengths are brought into that range) on A(1:N)
/// in place; AMIN and AMAX receive the smallest and largest output.
void AGCTRC(std::span<float> A, int N, float& AMIN, float& AMAX, int L);
/// AGCTRC of several traces at once, each result bit for bit what AGCTRC
/// gives it: OUT[k](1:N) receives trace IN[k](1:N) gained (IN and OUT apart),
/// AMIN[k] and AMAX[k] its range. Faster than one trace after another.
void AgcTraces(std::span<const float* const> IN, std::span<float* const> OUT, int N, int L,
               std::span<float> AMIN, std::span<float> AMAX);

// ---- Trace geometry shared by the trace plot and the overlays ----

/// Mean receiver spacing |GEOLOC(NTRACE) - GEOLOC(1)| / (NTRACE - 1); 1 when
/// there are fewer than two traces or the positions give no usable spacing
/// (all equal, missing or not finite).
float TraceSpacing(const ShotRecord& REC);
/// Where trace J lies along the trace axis: GEOLOC(J) with GEOPOS, else J
/// (also when the record holds no position for J).
float TracePosition(const ShotRecord& REC, std::int32_t J, bool GEOPOS);
/// Half a trace spacing in plot units across the trace axis of AXES.
float HalfTraceSpacing(const ShotRecord& REC, const sup::GraphAxes& AXES,
                       const TraceDisplayOptions& OPTS);

// ---- Whole pictures of the main window ----

/// Starts a screen page in the current window (cleared to the background)
/// and draws REC in AXES as they are: what an expose, a resize or a change of
/// the display options needs.
void RedrawRecord(const ShotRecord& REC, sup::GraphAxes& AXES, TraceDisplayOptions& OPTS);
/// After an import: chooses the frame for the whole record (SCALETRACES over
/// the full traces), then RedrawRecord.
void ShowNewRecord(const ShotRecord& REC, sup::GraphAxes& AXES, TraceDisplayOptions& OPTS);
/// The two above leaving the mapping in the caller's STATE (the main window
/// keeps its own) instead of the module's.
void RedrawRecord(const ShotRecord& REC, sup::GraphAxes& AXES, TraceDisplayOptions& OPTS,
                  TracePlotState& STATE);
void ShowNewRecord(const ShotRecord& REC, sup::GraphAxes& AXES, TraceDisplayOptions& OPTS,
                   TracePlotState& STATE);

}  // namespace vel
