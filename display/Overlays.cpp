#include "display/Overlays.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "support/GraphDraw.h"
#include "support/PenPlot.h"
#include "support/UserMessages.h"
#include "toolkit/core/Rounding.h"
#include "toolkit/core/Windows.h"
#include "toolkit/dialogs/Dialogs.h"
#include "toolkit/graphics/Graphics.h"

namespace vel {
namespace {

constexpr int kNmoPen = 6;
constexpr int kRefractorPen = 5;
constexpr int kNmoScreenWidth = 10;
constexpr int kRefractorScreenWidth = 2;
constexpr float kNearDistance = 0.1f;

float Offset(const ShotRecord& REC, std::int32_t j) {
  return REC.GEOLOC[static_cast<std::size_t>(j - 1)] - REC.SHOTX;
}

bool UsableVelocity(float v) { return v != 0.0f && std::isfinite(v); }

bool HasTraces(const ShotRecord& REC) {
  return REC.NTRACE >= 1 && REC.GEOLOC.size() >= static_cast<std::size_t>(REC.NTRACE);
}

float PlottedPosition(const ShotRecord& REC, const TraceDisplayOptions& OPTS, std::int32_t j) {
  return OPTS.LGEOPOS ? REC.GEOLOC[static_cast<std::size_t>(j - 1)] : static_cast<float>(j);
}

void MoveToOrigin(sup::GraphAxes& AXES) { sup::PLOTXY(AXES.XORIGIN, AXES.YORIGIN, -3, AXES); }

// Page position of window units: x across 10, y upwards over 8.
using sup::PageXOfWindow;
using sup::PageYOfWindow;

// Time under the pointer in the main frame.
float PointerTime(std::int32_t MX, std::int32_t MY, const sup::GraphAxes& AXES,
                  const TraceDisplayOptions& OPTS) {
  return OPTS.LVERTICAL ? sup::YOFPL(PageYOfWindow(MY), AXES) : sup::XOFPL(PageXOfWindow(MX), AXES);
}

// The curve or line of TIME over every trace, in exclusive-or with its pen
// and screen width; the end traces marked.
void PlotOverlay(const ShotRecord& REC, sup::GraphAxes& AXES, const TraceDisplayOptions& OPTS,
                 float (*time)(const ShotRecord&, std::int32_t), int pen, int screenWidth) {
  if (!HasTraces(REC)) return;
  const auto n = static_cast<std::size_t>(REC.NTRACE);
  std::vector<float> t(n), p(n);
  for (std::int32_t j = 1; j <= REC.NTRACE; ++j) {
    t[static_cast<std::size_t>(j - 1)] = time(REC, j);
    p[static_cast<std::size_t>(j - 1)] = PlottedPosition(REC, OPTS, j);
  }
  MoveToOrigin(AXES);
  tk::IGrLineWidths(screenWidth, 1);
  sup::XOR_SAVE();
  sup::XOR_ON();
  sup::SET_PEN(pen);
  const int count = REC.NTRACE;
  const std::span<const float> first1(&p[0], 1), firstT(&t[0], 1);
  const std::span<const float> lastP(&p[n - 1], 1), lastT(&t[n - 1], 1);
  if (OPTS.LVERTICAL) {
    sup::GNPLOT(p, t, count, false, AXES);
    sup::SET_PEN(0);
    sup::GNPLOT(first1, firstT, 1, true, AXES);
    sup::GNPLOT(lastP, lastT, 1, true, AXES);
  } else {
    sup::GNPLOT(t, p, count, false, AXES);
    sup::GNPLOT(firstT, first1, 1, true, AXES);
    sup::GNPLOT(lastT, lastP, 1, true, AXES);
  }
  tk::IGrLineWidths(1, 1);
  sup::XOR_RESTORE();
}

void Near(std::int32_t MX, std::int32_t MY, const ShotRecord& REC, sup::GraphAxes& AXES,
          const TraceDisplayOptions& OPTS, std::int32_t ITRACE, std::int32_t& INEAR,
          float (*time)(const ShotRecord&, std::int32_t)) {
  INEAR = 0;
  const std::int32_t j = ITRACE;
  if (!HasTraces(REC) || j < 1 || j > REC.NTRACE) return;
  if (j > 1 && j < REC.NTRACE) {
    const float g = REC.GEOLOC[static_cast<std::size_t>(j - 1)];
    const float before = REC.GEOLOC[static_cast<std::size_t>(j - 2)];
    const float after = REC.GEOLOC[static_cast<std::size_t>(j)];
    const float sx = REC.SHOTX;
    if (!((g > sx && sx > before) || (g < sx && sx < after))) return;
  }
  const float t = time(REC, j);
  MoveToOrigin(AXES);
  const float d = OPTS.LVERTICAL ? std::abs((PageYOfWindow(MY) - AXES.YORIGIN) - sup::PLOFY(t, AXES))
                                 : std::abs((PageXOfWindow(MX) - AXES.XORIGIN) - sup::PLOFX(t, AXES));
  if (d < kNearDistance) INEAR = j;
}

}  // namespace

float NmoTime(const ShotRecord& REC, std::int32_t J) {
  const float x = 1000.0f * Offset(REC, J) / REC.VNMO;
  return std::sqrt(REC.T0NMO * REC.T0NMO + x * x);
}

float RefractorTime(const ShotRecord& REC, std::int32_t J) {
  return REC.T0REF + 1000.0f * Offset(REC, J) / REC.VREF;
}

std::int32_t ApexTrace(const ShotRecord& REC, std::int32_t J) {
  const std::int32_t n = REC.NTRACE;
  if (J > 1 && J < n) return J;
  const float g1 = REC.GEOLOC[0];
  const float gn = REC.GEOLOC[static_cast<std::size_t>(n - 1)];
  const float sx = REC.SHOTX;
  if ((sx > g1 && sx < gn) || (sx < g1 && sx > gn)) return n / 2;
  return sx > gn ? n : 1;
}

void PLOTNMO(const ShotRecord& REC, sup::GraphAxes& AXES, const TraceDisplayOptions& OPTS) {
  if (!UsableVelocity(REC.VNMO)) return;
  PlotOverlay(REC, AXES, OPTS, NmoTime, kNmoPen, kNmoScreenWidth);
}

void PLOTREF(const ShotRecord& REC, sup::GraphAxes& AXES, const TraceDisplayOptions& OPTS) {
  if (!UsableVelocity(REC.VREF)) return;
  PlotOverlay(REC, AXES, OPTS, RefractorTime, kRefractorPen, kRefractorScreenWidth);
}

void NEARNMO(std::int32_t MX, std::int32_t MY, const ShotRecord& REC, sup::GraphAxes& AXES,
             const TraceDisplayOptions& OPTS, std::int32_t ITRACE, std::int32_t& INEAR) {
  INEAR = 0;
  if (!UsableVelocity(REC.VNMO)) return;
  Near(MX, MY, REC, AXES, OPTS, ITRACE, INEAR, NmoTime);
}

void NEARREF(std::int32_t MX, std::int32_t MY, const ShotRecord& REC, sup::GraphAxes& AXES,
             const TraceDisplayOptions& OPTS, std::int32_t ITRACE, std::int32_t& INEAR) {
  INEAR = 0;
  if (!UsableVelocity(REC.VREF)) return;
  Near(MX, MY, REC, AXES, OPTS, ITRACE, INEAR, RefractorTime);
}

void RUBBERNMO(std::int32_t MX, std::int32_t MY, ShotRecord& REC, sup::GraphAxes& AXES,
               const TraceDisplayOptions& OPTS, std::int32_t ITRACE) {
  if (!HasTraces(REC) || ITRACE < 1 || ITRACE > REC.NTRACE) return;
  const float tm = PointerTime(MX, MY, AXES, OPTS);
  tk::WindowMakeCurrent(tk::kMainWindow);
  MoveToOrigin(AXES);
  PLOTNMO(REC, AXES, OPTS);
  tk::WDialogSelect(kNmoDialog);
  const std::int32_t k = ApexTrace(REC, ITRACE);
  if (ITRACE == k) {
    const float x = 1000.0f * Offset(REC, k) / REC.VNMO;
    const float q = tm * tm - x * x;
    if (q > 0.0f) REC.T0NMO = std::sqrt(q);
    sup::MVPUTREAL(kOverlayT0Field, REC.T0NMO);
  } else if (tm > REC.T0NMO) {
    const float dx = Offset(REC, ITRACE);
    const float spread = tm * tm - REC.T0NMO * REC.T0NMO;
    // Only a later time than T-0 at the end gives a real velocity.
    if (dx * dx > 0.0f && spread > 0.0f) {
      const float v = 1000.0f * std::sqrt(dx * dx / spread);
      if (UsableVelocity(v)) REC.VNMO = v;
    }
    sup::MVPUTREAL(kOverlayVField, REC.VNMO);
  }
  sup::MVPUTREAL(kNmoDepthField, REC.VNMO * REC.T0NMO / 2000.0f);
  PLOTNMO(REC, AXES, OPTS);
}

void RUBBERREF(std::int32_t MX, std::int32_t MY, ShotRecord& REC, sup::GraphAxes& AXES,
               const TraceDisplayOptions& OPTS, std::int32_t ITRACE) {
  if (!HasTraces(REC) || ITRACE < 1 || ITRACE > REC.NTRACE) return;
  const float tm = PointerTime(MX, MY, AXES, OPTS);
  tk::WindowMakeCurrent(tk::kMainWindow);
  MoveToOrigin(AXES);
  PLOTREF(REC, AXES, OPTS);
  tk::WDialogSelect(kRefractorDialog);
  const std::int32_t k = ApexTrace(REC, ITRACE);
  if (ITRACE == k) {
    const float t0 = tm - 1000.0f * Offset(REC, k) / REC.VREF;
    if (std::isfinite(t0)) REC.T0REF = t0;
    sup::MVPUTREAL(kOverlayT0Field, REC.T0REF);
  } else {
    // An end dragged to exactly T-0 gives no velocity; the line keeps it.
    const float v = 1000.0f * Offset(REC, ITRACE) / (tm - REC.T0REF);
    if (tm != REC.T0REF && UsableVelocity(v)) REC.VREF = v;
    sup::MVPUTREAL(kOverlayVField, REC.VREF);
  }
  PLOTREF(REC, AXES, OPTS);
}

void FINISHRUBBERLINE(std::int32_t MX1, std::int32_t MY1, std::int32_t MX2, std::int32_t MY2,
                      ShotRecord& REC, sup::GraphAxes& AXES, const TraceDisplayOptions& OPTS,
                      const SimplePickParameters& PARS) {
  if (!HasTraces(REC) || REC.NSAMP < 1 || !(REC.SAMPINT > 0.0f)) return;
  auto toData = [&](std::int32_t mx, std::int32_t my, float& pos, float& t) {
    if (OPTS.LVERTICAL) {
      pos = sup::XOFPL(PageXOfWindow(mx), AXES);
      t = sup::YOFPL(PageYOfWindow(my), AXES);
    } else {
      t = sup::XOFPL(PageXOfWindow(mx), AXES);
      pos = sup::YOFPL(PageYOfWindow(my), AXES);
    }
  };
  auto traceAt = [&](float pos) {
    std::int32_t j = 1;
    if (OPTS.LGEOPOS) {
      float best = std::abs(REC.GEOLOC[0] - pos);
      for (std::int32_t i = 2; i <= REC.NTRACE; ++i) {
        const float d = std::abs(REC.GEOLOC[static_cast<std::size_t>(i - 1)] - pos);
        if (d < best) best = d, j = i;
      }
    } else {
      j = tk::NearestInt(pos);
    }
    return std::clamp(j, 1, REC.NTRACE);
  };
  float pos1 = 0, t1 = 0, pos2 = 0, t2 = 0;
  toData(MX1, MY1, pos1, t1);
  toData(MX2, MY2, pos2, t2);
  const std::int32_t j1 = traceAt(pos1), j2 = traceAt(pos2);
  if (j1 == j2 || pos1 == pos2) return;
  const std::int32_t lo = std::min(j1, j2), hi = std::max(j1, j2);
  tk::WindowMakeCurrent(tk::kMainWindow);
  MoveToOrigin(AXES);
  const std::int32_t np = SimplePulseSamples(PARS.SVPULSE, REC.SAMPINT);
  for (std::int32_t j = lo; j <= hi; ++j) {
    const float t = t1 + (t2 - t1) * (PlottedPosition(REC, OPTS, j) - pos1) / (pos2 - pos1);
    const std::int32_t i = tk::NearestInt((t - REC.TDELAY) / REC.SAMPINT);
    const std::int64_t i0 = std::max<std::int64_t>(1, static_cast<std::int64_t>(i) - 6LL * np);
    // The window of 12 pulse lengths, shortened to the samples the trace has.
    const std::int64_t length = std::min<std::int64_t>(12LL * np, REC.NSAMP - i0 + 1);
    if (length < np) continue;
    const std::span<const float> trace = Trace(REC, j);
    const std::span<const float> window =
        trace.subspan(static_cast<std::size_t>(i0 - 1), static_cast<std::size_t>(length));
    std::int32_t r = 0;
    PICKSV(window, static_cast<std::int32_t>(length),
           std::abs(REC.TRACEMAX[static_cast<std::size_t>(j - 1)]) / 3.0f, r, PARS.SVMININC,
           PARS.SVSPIKE, np);
    if (r > 0) REC.IBPICK[static_cast<std::size_t>(j - 1)] = static_cast<std::int32_t>(i0) + r - 1;
  }
  REC.LPICKS = true;
}

}  // namespace vel
