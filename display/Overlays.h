#pragma once
// The NMO hyperbola and the refractor line laid over the trace plot in
// exclusive-or (drawing one again removes it), their hit tests and drag
// steps, and the drawn pick line that turns a line across the traces into
// first-break picks.
#include <cstdint>

#include "display/Pickers.h"
#include "record/ShotRecord.h"
#include "support/GraphAxes.h"

namespace vel {

/// Fields of the NMO (138) and refractor (143) dialogs.
inline constexpr int kNmoDialog = 138;
inline constexpr int kRefractorDialog = 143;
inline constexpr int kOverlayT0Field = 1204;
inline constexpr int kOverlayVField = 1205;
inline constexpr int kNmoDepthField = 1206;

/// Curve time (ms) at trace J (1..NTRACE): SQRT(T0NMO^2 + (1000 offset / VNMO)^2).
float NmoTime(const ShotRecord& REC, std::int32_t J);
/// Line time (ms) at trace J: T0REF + 1000 offset / VREF, the offset signed.
float RefractorTime(const ShotRecord& REC, std::int32_t J);
/// The apex trace of a drag held at trace J: J itself when interior,
/// NTRACE / 2 for a shot inside the spread, else the end nearer the shot.
std::int32_t ApexTrace(const ShotRecord& REC, std::int32_t J);

/// Draws (or removes) the hyperbola, pen 6, width 10 on the screen; nothing
/// for a velocity of 0 or not finite.
void PLOTNMO(const ShotRecord& REC, sup::GraphAxes& AXES, const TraceDisplayOptions& OPTS);
/// Draws (or removes) the refractor line, pen 5, width 2 on the screen;
/// nothing for a velocity of 0 or not finite.
void PLOTREF(const ShotRecord& REC, sup::GraphAxes& AXES, const TraceDisplayOptions& OPTS);

/// Hit test of window position (MX, MY) against the curve or line at trace
/// ITRACE: INEAR := ITRACE when within 0.1 plot units along the time axis
/// and the trace is an end trace or flanks the shot, else 0.
void NEARNMO(std::int32_t MX, std::int32_t MY, const ShotRecord& REC, sup::GraphAxes& AXES,
             const TraceDisplayOptions& OPTS, std::int32_t ITRACE, std::int32_t& INEAR);
void NEARREF(std::int32_t MX, std::int32_t MY, const ShotRecord& REC, sup::GraphAxes& AXES,
             const TraceDisplayOptions& OPTS, std::int32_t ITRACE, std::int32_t& INEAR);

/// One drag step with the curve or line held at trace ITRACE: erases it,
/// changes T-0 (apex) or the velocity (an end) from the pointer time, puts
/// the values into the dialog's fields and draws it again. The velocity
/// changes only where the formula gives a finite, non-zero value.
void RUBBERNMO(std::int32_t MX, std::int32_t MY, ShotRecord& REC, sup::GraphAxes& AXES,
               const TraceDisplayOptions& OPTS, std::int32_t ITRACE);
void RUBBERREF(std::int32_t MX, std::int32_t MY, ShotRecord& REC, sup::GraphAxes& AXES,
               const TraceDisplayOptions& OPTS, std::int32_t ITRACE);

/// Picks along the line from (MX1, MY1) to (MX2, MY2): the simple picker in
/// a window of up to 12 pulse lengths around the line's time on every trace
/// between the two ends, the window kept inside the trace (a trace with less
/// than one pulse length left is skipped). Sets LPICKS. No mouse path draws
/// such a line yet.
void FINISHRUBBERLINE(std::int32_t MX1, std::int32_t MY1, std::int32_t MX2, std::int32_t MY2,
                      ShotRecord& REC, sup::GraphAxes& AXES, const TraceDisplayOptions& OPTS,
                      const SimplePickParameters& PARS);

}  // namespace vel
