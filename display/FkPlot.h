#pragma once
// The F-K power spectrum on the page: SCALE_FK sets the frame from the
// spectrum and the record and loads the 240-level colour scale into palette
// entries 16-255; PLOTFK draws the cells, the frame, the zero-wavenumber line
// and the captions; COLOR_FILL fills the cells; PLOTVELS draws the velocity
// fan in exclusive-or, so that a second call takes it away again.
//
// The frame has wavenumber (cycles per distance unit) across, from -Nyquist
// on the left, and frequency (Hz) upwards. The spectrum is the NF x NX power
// array of FKSPECT, stored column by column. The caller starts the page
// (screen or hardcopy) before drawing.
#include <cstdint>
#include <span>

#include "display/FkTransform.h"
#include "support/GraphAxes.h"

namespace vel {

/// The spectrum window's frame and the copy Lastzoom goes back to.
struct FkPlotFrame {
  sup::GraphAxes axes;   // the frame SCALE_FK sets and the zoom commands change
  sup::GraphAxes saved;  // the frame before the last zoom or unzoom
  /// Keeps the frame as the copy, before a zoom or unzoom changes it.
  void Save() { saved = axes; }
  /// Back to the kept copy (the copy stays).
  void Restore() { axes = saved; }
};

/// First and last palette entries of the colour scale; the lowest power is
/// drawn in the last, the highest in the first.
inline constexpr int kFkFirstColour = 16;
inline constexpr int kFkLastColour = 255;
/// Pens of the plot: the frame, labels, captions and zero line; the fan.
inline constexpr int kFkPenFrame = 2;
inline constexpr int kFkPenFan = 15;
/// The captions of the frequency and wavenumber axes.
inline constexpr char kFkFrequencyCaption[] = "Frequency (Hz)";
inline constexpr char kFkWavenumberCaption[] = "Wavenumber (cycles/m)";

/// The plot's steps for NF spectrum rows and NX columns at sample interval DT
/// (ms) and trace spacing DX: a cell's height in Hz, 1000 / ((NF - 1) 2 DT),
/// its width in cycles per distance unit, 1 / ((NX - 1) DX), and the Nyquist
/// wavenumber 1 / (2 DX). Any step that cannot be formed (NF < 2, NX < 2,
/// DT or DX not positive and finite) is 0.
struct FkPlotSteps {
  float df = 0.0f;
  float dk = 0.0f;
  float kNyquist = 0.0f;
};
FkPlotSteps FkStepsOf(int NF, int NX, float DT, float DX);

/// The trace spacing |GEOLOC(NTRACE) - GEOLOC(1)| / (NTRACE - 1); 0 when
/// there are fewer than two traces or positions, or when it is not finite.
float FkTraceSpacing(std::span<const float> GEOLOC, int NTRACE);

/// The colour of each HLS hue step of the scale: entry 16 + n is hue 120 + n
/// (n = 0 .. 239) at lightness 50 and saturation 100, then entry 255 once
/// more hue 0. The packed RGB that palette entry ENTRY (16-255) receives.
std::int32_t FkScaleColour(int ENTRY);

/// Sets AXES for the spectrum SPEC (NF x NX): frequency from 0 to a tidy end
/// at or above the highest frequency where any column reaches 1 % of the
/// largest value, wavenumber from -Nyquist to +Nyquist; the frame 7.5 by 5.7
/// with its origin about (1.3077, 1.3077); bottom, left and right axes
/// labelled. Then loads the colour scale into palette entries 16-255.
void SCALE_FK(std::span<const float> SPEC, int NF, int NX, float DT, std::span<const float> GEOLOC,
              int NTRACE, sup::GraphAxes& AXES);

/// Draws SPEC (NF x NX) in AXES into the current window: the cells, the frame
/// with ticks and labels in pen 2, the zero-wavenumber line and the captions.
/// DX is the trace spacing. Leaves clipping on to the frame for PLOTVELS.
void PLOTFK(std::span<const float> SPEC, int NF, int NX, float DT, float DX, sup::GraphAxes& AXES);

/// Fills one solid rectangle per cell of SPEC (leading dimension LD, NROWS x
/// NCOLS): cell (r, m) spans X0 + (m - 1) CELLW .. X0 + m CELLW across and
/// Y0 + (r - 1) CELLH .. Y0 + r CELLH up, relative to the frame origin. The
/// least value gets entry 255, the largest 16; cells outside the frame's
/// width are skipped, the rest cut to it at the left and right.
void COLOR_FILL(std::span<const float> SPEC, int LD, int NROWS, int NCOLS, float CELLW, float CELLH,
                float X0, float Y0, const sup::GraphAxes& AXES);

/// Draws the fan of FAN in pen 15, exclusive-or: for each dip with a velocity
/// other than 0 the velocity line and the lines V (1 + w) and V (1 - w) from
/// the origin to the right edge (dip 0, upsloping) or the left edge (dip 1),
/// clipped to the frame window PLOTFK set. A second call erases them.
void PLOTVELS(const FkFan& FAN, sup::GraphAxes& AXES);

}  // namespace vel
