#pragma once
// The band-pass filter window: the input record in the main window, the
// stacked spectrum with the filter response, the filtered output and the
// filter's impulse response in three child windows, and the modeless dialog
// of the corner frequencies. The corners are typed in Hz or dragged by their
// handles on the spectrum plot; "Filter Traces" filters every trace into a
// working copy of the record, which OK copies back. Runs a nested event loop
// until OK, Cancel or the main window's close request.
#include <cstdint>
#include <functional>

#include "display/SpectrumPlot.h"
#include "display/ToolWindows.h"
#include "record/ShotRecord.h"
#include "support/GraphAxes.h"

namespace vel {

/// Resources, fields and texts of the band-pass window.
inline constexpr int kBandpassDialog = 132;
inline constexpr int kBandpassMainMenu = 30007;
inline constexpr int kBandpassTracePopup = 30005;
inline constexpr int kBandpassPlotPopup = 30006;
inline constexpr int kBandpassFirstField = 1025;  // 1025..1028 band 1, 1029..1032 band 2
inline constexpr int kBandpassFilterButton = 40040;
/// Flags of the three child windows: owned, nothing else.
inline constexpr int kBandpassChildFlags = 256;
inline constexpr std::string_view kBandpassInputTitle = "Input (Unfiltered) Data";
inline constexpr std::string_view kBandpassSpectrumTitle = "Data Spectrum & Filter Frequency Response";
inline constexpr std::string_view kBandpassOutputTitle = "Output (Filtered) Data";
inline constexpr std::string_view kBandpassImpulseTitle = "Filter Impulse Response";

/// What the band-pass window keeps beyond one run: the corners (kept
/// whatever the way out), the places of its four windows and of its dialog
/// (x and y), the zoom mode shared with the main window, the height of the
/// shell's bars (taken off the main window's remembered height), and the
/// shell's trace-plot properties dialog (IERR 0 after OK).
struct BandpassWindowContext {
  BandpassSettings corners;
  ToolPlace input{2, 14, 329, 601, 1};
  ToolPlace spectrum{342, 369, 326, 289, 1};
  ToolPlace output{677, 14, 328, 649, 1};
  ToolPlace impulse{340, 13, 323, 147, 1};
  ToolPlace dialog{343, 189, 0, 0, 1};
  bool zoom = false;
  std::int32_t barHeight = 0;
  std::function<void(TraceDisplayOptions& opts, std::int32_t& ierr, float globalMax)> properties;
};

/// Fills DST as the working copy of SRC: the record name, SAMPINT, SPAREHDR,
/// TDELAY, SPACING, GMIN, GMAX, NSAMP, NTRACE and LPICKS, and the picks,
/// receiver positions and elevations. DST holds its own copies of those
/// three arrays: they are only read while DST lives, so the copies show what
/// SRC holds. Every other field of DST is left as it was.
void COPYSR(const ShotRecord& SRC, ShotRecord& DST);

/// Runs the band-pass window on REC shown in main window MAINWIN. OPTS:
/// LVERTICAL is on while it runs and restored after; the properties command
/// may change the rest. TWOBAND: band 2 in use. IERR: -1 when the arrays
/// cannot be had or the record cannot give a spectrum (the user told, no
/// window opened); the properties dialog may set it; else unchanged. REC
/// changes only on OK: its samples, TRACEMAX, GMIN and GMAX.
void FILTER(ShotRecord& REC, TraceDisplayOptions& OPTS, bool TWOBAND, std::int32_t& IERR,
            int MAINWIN, BandpassWindowContext& CTX);

}  // namespace vel
