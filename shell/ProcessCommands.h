#pragma once
// The Process menu: the four trace operations the shell does itself on every
// trace (differentiate, integrate, remove a linear trend, remove the mean),
// the shell's side of the band-pass, F-K and spectrum tools (reached through
// ProcessTools, where tests put stand-ins), the flat-layer refraction
// interpretation, and the opening of the NMO and refractor overlays.
#include <cstdint>
#include <functional>

#include "record/ShotRecord.h"
#include "support/GraphAxes.h"

namespace vel {

struct Velloran;

inline constexpr int kCommandDifferentiate = 40029;
inline constexpr int kCommandIntegrate = 40038;
inline constexpr int kCommandDetrend = 40039;
inline constexpr int kCommandRemoveDc = 40040;
inline constexpr int kCommandBandpass = 40044;
inline constexpr int kCommandFkFilter = 40047;
inline constexpr int kCommandSpectrum = 40059;
inline constexpr int kCommandRefractionFlat = 40025;

/// Differentiates every trace: x(i) := (x(i) - x(i-1)) / SAMPINT from the
/// last sample down on the old values, x(1) := 0. False (nothing changed)
/// when SAMPINT is not a positive finite number.
bool DifferentiateTraces(ShotRecord& REC);
/// Integrates every trace: a running float sum from x(1), x(i) := sum x dt
/// for i >= 2; x(1) keeps its value.
void IntegrateTraces(ShotRecord& REC);
/// Removes from every trace its least-squares line over the times dt, 2 dt,
/// ... (built by adding dt).
void DetrendTraces(ShotRecord& REC);
/// Removes from every trace its mean.
void RemoveDcTraces(ShotRecord& REC);

/// The tools with windows of their own, reached through one seam each: a
/// tool set here (tests put stand-ins) runs instead of the program's own,
/// which runs when none is set.
struct ProcessTools {
  /// The band-pass filter window on the main window (FILTER, mode 0).
  std::function<void(ShotRecord&, TraceDisplayOptions&, std::int32_t& status)> filter;
  /// The F-K filter window (FILTERFK).
  std::function<void(ShotRecord&, TraceDisplayOptions&, std::int32_t& status)> filterFk;
  /// The spectrum window (TRACESPECTRUM).
  std::function<void(ShotRecord&, TraceDisplayOptions&, sup::GraphAxes&, std::int32_t& status)>
      spectrum;
};
/// The tools the program uses; tests put stand-ins here.
ProcessTools& ProcessToolSeams();

/// The main window's title after a filter tool: "Morvane Seismic Processing ["
/// + all 32 characters of CRECNAME + "]".
std::string ProcessingTitle(const ShotRecord& REC);

/// The command handlers.
void DifferentiateCommand(Velloran& app);
void IntegrateCommand(Velloran& app);
void DetrendCommand(Velloran& app);
void RemoveDcCommand(Velloran& app);
void BandpassCommand(Velloran& app);
void FkFilterCommand(Velloran& app);
void SpectrumCommand(Velloran& app);
void RefractionFlatCommand(Velloran& app);

}  // namespace vel
