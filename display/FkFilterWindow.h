#pragma once
// The F-K filter window: the input record in the main window, the filtered
// output in a child window, the record's F-K power spectrum with the velocity
// fan in another, and the modeless dialog of the fan. The fan is typed into
// the dialog or dragged on the spectrum; "Filter Traces" weights the record's
// transform with the fan into a working copy of the record, which OK copies
// back. Runs a nested event loop until OK, Cancel or the main window's close
// request.
#include <cstdint>
#include <functional>
#include <string_view>

#include "display/FkTransform.h"
#include "display/ToolWindows.h"
#include "record/ShotRecord.h"

namespace vel {

/// Resources, fields and texts of the F-K window.
inline constexpr int kFkDialog = 133;
inline constexpr int kFkProgressDialog = 131;
inline constexpr int kFkPassField = 1146;
inline constexpr int kFkProgressBar = 1147;
inline constexpr int kFkSmoothingField = 1139;
/// Velocity, width and factor of the upsloping dip; the downsloping dip's
/// follow at 1143.
inline constexpr int kFkFirstDipField = 1140;
inline constexpr int kFkFilterButton = 40040;
inline constexpr int kFkToolMenu = 30007;
inline constexpr int kFkTracePopup = 30005;
inline constexpr int kFkSpectrumPopup = 30006;
/// The program's own main menu, given back to the main window at the end.
inline constexpr int kFkProgramMenu = 30001;
inline constexpr std::string_view kFkInputTitle = "Input (Unfiltered) Data";
inline constexpr std::string_view kFkOutputTitle = "Output (Filtered) Data";
inline constexpr std::string_view kFkSpectrumTitle = "Data Spectrum & Filter Frequency Response";
/// Width of the pass name in the progress dialog.
inline constexpr std::size_t kFkPassWidth = 22;

/// What the F-K window keeps beyond one run: the fan (changed by every edit
/// and drag, whatever the way out) and the end taper, the places of its three
/// windows and of its dialog (x and y), the zoom mode shared with the main
/// window, the height of the shell's bars (taken off the main window's
/// remembered height), and the shell's trace-plot properties dialog (IERR 0
/// after OK).
struct FkFilterWindowContext {
  FkFan fan{{2000.0f, 2000.0f}, {0.25f, 0.25f}, {0.0f, 0.0f}};
  float smoothing = 0.1f;
  ToolPlace input{2, 14, 329, 601, 1};
  ToolPlace spectrum{342, 369, 326, 289, 1};
  ToolPlace output{677, 14, 328, 649, 1};
  ToolPlace dialog{343, 189, 0, 0, 1};
  bool zoom = false;
  std::int32_t barHeight = 0;
  std::function<void(TraceDisplayOptions& opts, std::int32_t& ierr, float globalMax)> properties;
};

/// Refuses, with a message, a record no F-K spectrum can be made of: fewer
/// than 2 traces, traces without positions or with the first and last at the
/// same place, a sample interval that is not a positive finite number, or
/// fewer than 2 samples. True when the record will do.
bool FkRecordUsable(const ShotRecord& REC);

/// The fan line of FAN nearest the velocity F / K of the point (K, F) of the
/// spectrum frame (wavenumber, frequency), within a tenth of that velocity:
/// DIP 1 upsloping (its lines at positive wavenumbers), 2 downsloping, 0
/// none; LINE 0 the velocity line, +1 the line V (1 + w), -1 V (1 - w). Of
/// equal distances the first found wins; a dip of velocity 0 has no lines.
void FkNearestLine(const FkFan& FAN, float K, float F, int& DIP, int& LINE);

/// One step of a drag of line LINE of dip DIP to the point (K, F): the
/// velocity line takes v = abs(F / K) as its velocity; the line V (1 + w)
/// sets the width to v / V - 1 only while v > V, the line V (1 - w) to
/// 1 - v / V only while v < V. False, FAN unchanged, when v is not finite
/// (the zero-wavenumber column) or DIP names no dip.
bool FkDragLine(FkFan& FAN, int DIP, int LINE, float K, float F);

/// Shows progress dialog 131 while it lives (pass name and bar) and hands
/// FKSPECT and FKTRACES the reporter that drives it.
class FkProgressDialog {
 public:
  FkProgressDialog();
  ~FkProgressDialog();
  FkProgressDialog(const FkProgressDialog&) = delete;
  FkProgressDialog& operator=(const FkProgressDialog&) = delete;
  const FkProgress* Reporter() const { return &progress_; }

 private:
  FkProgress progress_;
};

/// Runs the F-K window on REC shown in main window MAINWIN. OPTS: LVERTICAL
/// is on while it runs and restored after; the properties command may change
/// the rest. IERR: 0 at the start; -1 when the record is refused, the arrays
/// cannot be had or the transform is cancelled (the user told, no window or
/// menu changed), or when the last Filter Traces or properties dialog failed
/// or was cancelled. REC changes only on OK: its samples, TRACEMAX, GMIN and
/// GMAX.
void FILTERFK(ShotRecord& REC, TraceDisplayOptions& OPTS, std::int32_t& IERR, int MAINWIN,
              FkFilterWindowContext& CTX);

}  // namespace vel
