#pragma once
// The spectrum window: the normalised amplitude spectrum of the section of
// the record the main trace plot shows (the sum of its visible traces over
// its visible times), in a child window of its own with zoom, unzoom, print
// and Save to File, run in a nested event loop until the window closes.
#include <cstdint>
#include <string>

#include "display/SpectrumPlot.h"
#include "display/ToolWindows.h"
#include "record/ShotRecord.h"
#include "support/GraphAxes.h"

namespace vel {

/// Resources of the spectrum window.
inline constexpr int kSpectrumMenu = 30008;
inline constexpr int kSpectrumToolbar = 30103;
/// Its window flags: system menu, minimise and maximise boxes, status bar.
inline constexpr int kSpectrumWindowFlags = 39;
inline constexpr std::string_view kSpectrumTitle = "Morvane Limited Spectrum: ";
inline constexpr std::string_view kSpectrumFileFilter =
    "Flat ASCII Spectrum File|*.DAT|Comma-Separated Value|*.CSV|Text Files|*.TXT|";

/// What the spectrum window keeps beyond one opening: its place, the zoom
/// mode (shared with the main window), the height of the shell's bars (added
/// to the remembered height), the file type last chosen for Save to File, and
/// the band-pass corners (whose top corner the spectrum axis reaches to).
struct SpectrumWindowContext {
  ToolPlace place{342, 369, 326, 289, 1};
  bool zoom = false;
  std::int32_t barHeight = 0;
  int fileType = 1;
  BandpassFilter filter;
};

/// The samples S1..S2 and traces FIRST..LAST the main frame AXES shows.
struct VisibleSection {
  std::int32_t s1 = 1, s2 = 0, first = 1, last = 0;
};
/// The section of REC that AXES shows (time along y with LVERTICAL, the
/// traces by position with LGEOPOS), limited to the record.
VisibleSection SectionOfFrame(const ShotRecord& REC, const TraceDisplayOptions& OPTS,
                              const sup::GraphAxes& AXES);

/// Writes SPEC(1..M) as the spectrum file FILE: one CR LF line per value,
/// the frequency (k - 1) 1000 / |(M - 1) 2 DT| and the value, each as
/// 1PE11.5, separated by a comma and two blanks. False when the file cannot
/// be opened or written (nothing said).
[[nodiscard]] bool WriteSpectrumFile(const std::string& FILE, std::span<const float> SPEC, int M, float DT,
                                     std::string* WHY = nullptr);

/// Runs the spectrum window over the section of REC that AXES shows. IERR:
/// -1 when the arrays cannot be had, the record cannot give a spectrum or the
/// section holds no trace (the user told, no window opened), or a spectrum
/// file could not be written; 0 after a saved spectrum; else unchanged.
void TRACESPECTRUM(const ShotRecord& REC, const TraceDisplayOptions& OPTS, const sup::GraphAxes& AXES,
                   std::int32_t& IERR, SpectrumWindowContext& CTX);

}  // namespace vel
