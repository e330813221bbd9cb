#pragma once
// Mouse interaction on the trace display and the two modeless overlay
// dialogs: status-bar read-outs, rubber and zoom boxes, click picks, the
// trace pop-up, the wavelet cut, dragging the NMO curve and refractor line,
// the dialogs' buttons and live fields, and their result files.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "support/GraphAxes.h"
#include "toolkit/core/Events.h"

namespace vel {

struct Velloran;

inline constexpr int kCommandNmoCorrection = 40051;
inline constexpr int kCommandRefractorOverlay = 40060;
inline constexpr int kTracePopupMenu = 30002;
/// Message times a drag must exceed and a click stay under.
inline constexpr std::int32_t kDragMilliseconds = 300;

/// Handles event types 3 (push button), 4 (button down), 5 (button up),
/// 6 (move) and 10 (field changed).
void HandleInteractionEvent(Velloran& app, int type, const tk::EventRecord& e);

/// Shows the pick of the trace in the status bar's read-out again when it has
/// changed (a click, a repick, Kill Trace); a trace the record no longer has
/// clears the read-out.
void RefreshTraceReadOut(Velloran& app);
/// Empties the five read-out parts of the status bar: a new record has
/// nothing under the pointer until it moves.
void ClearReadOut(Velloran& app);

/// Draws (or removes) the NMO curve and refractor line whose dialogs are open.
void DrawOpenOverlays(Velloran& app);
/// The main window's page and traces in the main frame as it is, with the
/// overlays whose dialogs are open.
void RedrawMainWithOverlays(Velloran& app);

/// The wavelet cut out of SAMPLES: normalised by their sum and/or cosine
/// tapered from 1 at the first to 0 at the last sample. False, with WHY,
/// when the samples cannot give a wavelet: none, a taper over one sample, or
/// a normalising sum of 0 or not finite.
bool ShapeWavelet(std::span<const float> samples, bool taper, bool normalise,
                  std::vector<float>& out, std::string& why);

/// The x-step loop after a zoom box: whole starts and doubled steps until a
/// step of at least 1, the divisions filling the frame's former x length. A
/// step that is not positive and finite leaves the frame as it is.
void WholeXSteps(sup::GraphAxes& AXES);

/// The NMO Correction (40051) and Refraction Interpretation (40060) commands.
void NmoCorrectionCommand(Velloran& app);
void RefractorOverlayCommand(Velloran& app);

/// Closes the NMO and refraction result files that are open.
void CloseResultFiles(Velloran& app);

}  // namespace vel
