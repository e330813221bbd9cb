// Choosing the frame of the main trace display.
#include "display/TraceAxes.h"

#include <algorithm>
#include <cmath>

#include "display/TracePlot.h"
#include "support/Numerics.h"
#include "support/UserMessages.h"
#include "toolkit/core/Rounding.h"

namespace vel {
namespace {

std::int32_t Truncated(double v) {
  std::int32_t out = 0;
  (void)tk::TruncateIntChecked(v, out);
  return out;
}

// The y axis runs downwards: its start is the value at the bottom edge.
void ReverseY(sup::GraphAxes& a) {
  a.YSTART = a.YSTART + static_cast<float>(a.NYDIV) * a.YSTEP;
  a.YSTEP = -a.YSTEP;
}

// The trace axis of a trace-number display over NTRACE traces: unit steps
// from half a trace width before trace 1, doubled until at most 12
// divisions remain, with one more division whenever the halving would cut
// off the last trace's clip band.
void TraceNumberAxis(std::int32_t ntrace, const TraceDisplayOptions& o, float& start, float& step,
                     int& ndiv, int& nminor) {
  const float w = std::min(o.TRACECLIP, o.TRACEWIDTH);
  step = 1.0f;
  start = 1.0f - w / 2.0f;
  nminor = 1;
  std::int64_t n = static_cast<std::int64_t>(tk::NearestInt(w)) + ntrace;
  const std::int64_t bound = static_cast<std::int64_t>(ntrace) + tk::NearestInt(o.TRACECLIP);
  while (n > 12) {
    step *= 2.0f;
    n /= 2;
    if (Truncated(start + static_cast<double>(n) * step) < bound) ++n;
  }
  ndiv = static_cast<int>(std::max<std::int64_t>(n, 1));
}

}  // namespace

void SCALETRACES(const ShotRecord& REC, sup::GraphAxes& AXES, TraceDisplayOptions& OPTS,
                 bool USEPICKS) {
  if (REC.NTRACE < 1) {
    sup::WINMSG("NO TRACES AVAILABLE FOR SCALING");
    return;
  }
  if (REC.NSAMP < 1) {
    sup::WINMSG("NO SAMPLES AVAILABLE FOR SCALING");
    return;
  }
  AXES.LXLOG = AXES.LYLOG = false;
  OPTS.IFIRSTTRACE = 0;
  OPTS.ILASTTRACE = 0;

  // Time range of the traces, or of the picks.
  float tmin = 1e30f, tmax = -1e30f;
  const bool byPicks = USEPICKS && REC.LPICKS;
  const float traceEnd = static_cast<float>(REC.NSAMP) * REC.SAMPINT + REC.TDELAY;
  for (std::int32_t j = 1; j <= REC.NTRACE; ++j) {
    float lo = REC.TDELAY, hi = traceEnd;
    if (byPicks) {
      const std::size_t at = static_cast<std::size_t>(j - 1);
      const std::int32_t pick = at < REC.IBPICK.size() ? REC.IBPICK[at] : 0;
      lo = hi = HasPick(pick) ? PickTime(REC, pick) : REC.TDELAY;
    }
    tmin = std::min(tmin, lo);
    tmax = std::max(tmax, hi);
  }

  // Position range, half a trace width wider on each side.
  float gmin = 1e30f, gmax = -1e30f;
  const int held = static_cast<int>(std::min<std::size_t>(REC.GEOLOC.size(),
                                                          static_cast<std::size_t>(REC.NTRACE)));
  sup::FINDNX(REC.GEOLOC, held, gmin, gmax);
  float s = 1.0f;
  if (REC.NTRACE >= 2) s = std::fabs(gmax - gmin) / static_cast<float>(REC.NTRACE - 1);
  if (gmin > gmax || held < REC.NTRACE || !(s > 0.0f) || !std::isfinite(s)) {
    if (OPTS.LGEOPOS)
      sup::WINMSG(
          "Trace positions are not valid. View properties changed to plot by trace number.");
    OPTS.LGEOPOS = false;
    s = 1.0f;
  }
  gmin -= s * 0.5f * OPTS.TRACEWIDTH;
  gmax += s * 0.5f * OPTS.TRACEWIDTH;

  float tStart = 0, tStep = 0, pStart = 0, pStep = 0;
  int tDiv = 0, tMinor = 0, pDiv = 0, pMinor = 0;
  sup::LINNX(tmin, tmax, tStart, tStep, tDiv, tMinor);
  if (OPTS.LGEOPOS)
    sup::LINNX(gmin, gmax, pStart, pStep, pDiv, pMinor);
  else
    TraceNumberAxis(REC.NTRACE, OPTS, pStart, pStep, pDiv, pMinor);
  tDiv = std::max(tDiv, 1);
  pDiv = std::max(pDiv, 1);

  if (OPTS.LVERTICAL) {
    AXES.XSTART = pStart, AXES.XSTEP = pStep, AXES.NXDIV = pDiv, AXES.NXMINOR = pMinor;
    AXES.YSTART = tStart, AXES.YSTEP = tStep, AXES.NYDIV = tDiv, AXES.NYMINOR = tMinor;
  } else {
    AXES.XSTART = tStart, AXES.XSTEP = tStep, AXES.NXDIV = tDiv, AXES.NXMINOR = tMinor;
    AXES.YSTART = pStart, AXES.YSTEP = pStep, AXES.NYDIV = pDiv, AXES.NYMINOR = pMinor;
  }
  ReverseY(AXES);

  // The frame sits half a unit further left than the page's margins would
  // centre it, so that the numbers of the right-hand axis (four digits at
  // the tick height) end inside the page's width of 10 instead of being cut
  // at its edge; its size is unchanged.
  AXES.XORIGIN = 1.25f;
  AXES.YORIGIN = 1.25f;
  AXES.XCELL = 8.0f / static_cast<float>(AXES.NXDIV);
  AXES.YCELL = 6.0f / static_cast<float>(AXES.NYDIV);
  AXES.LBOTTOM = AXES.LLEFT = AXES.LRIGHT = true;
  sup::FINDASX(AXES);
  sup::FINDASY(AXES);
}

void SCALESOMETRACES(const ShotRecord& REC, sup::GraphAxes& AXES, TraceDisplayOptions& OPTS) {
  // The dialog does not bound the range by the record: cut it here, so that
  // the frame, the traces drawn and the picks all follow the same range.
  const std::int32_t first = std::max<std::int32_t>(OPTS.IFIRSTTRACE, 1);
  const std::int32_t last = std::min(OPTS.ILASTTRACE, REC.NTRACE);
  if (first >= last) {
    OPTS.IFIRSTTRACE = 0;
    OPTS.ILASTTRACE = 0;
    return;
  }
  OPTS.IFIRSTTRACE = first;
  OPTS.ILASTTRACE = last;

  const bool vertical = OPTS.LVERTICAL;
  float extent = vertical ? static_cast<float>(AXES.NXDIV) * AXES.XCELL
                          : static_cast<float>(AXES.NYDIV) * AXES.YCELL;
  if (!(extent > 0.0f) || !std::isfinite(extent)) extent = vertical ? 8.0f : 6.0f;

  float start = 0, step = 0;
  int ndiv = 0, nminor = 0;
  if (OPTS.LGEOPOS) {
    const float p1 = TracePosition(REC, first, true), p2 = TracePosition(REC, last, true);
    sup::LINNX(std::min(p1, p2), std::max(p1, p2), start, step, ndiv, nminor);
  } else {
    const float w = std::min(OPTS.TRACECLIP, OPTS.TRACEWIDTH);
    step = 1.0f;
    ndiv = last - first + tk::NearestInt(w) + 1;
    start = static_cast<float>(first) - w / 2.0f;
    nminor = 1;
  }
  ndiv = std::max(ndiv, 1);
  const float cell = extent / static_cast<float>(ndiv);
  if (vertical) {
    AXES.XSTART = start, AXES.XSTEP = step, AXES.NXDIV = ndiv, AXES.NXMINOR = nminor;
    AXES.XCELL = cell;
  } else {
    AXES.YSTART = start, AXES.YSTEP = step, AXES.NYDIV = ndiv, AXES.NYMINOR = nminor;
    AXES.YCELL = cell;
    ReverseY(AXES);
  }
}

void LINNXT(float A, float B, float& START, float& STEP, int& NDIV, int& NMINOR) {
  const std::int32_t k = tk::NearestInt(B / 10.0f);
  NMINOR = 5;
  if (k > 1) {
    STEP = static_cast<float>(k);
    START = static_cast<float>(tk::NearestInt(A / static_cast<float>(k)) * k);
    NDIV = Truncated(static_cast<double>(B) - START + 0.9999);
  } else {
    NDIV = 1;
  }
}

}  // namespace vel
