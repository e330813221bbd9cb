// First-break picks as exclusive-or markers over the trace plot.
#include "display/PickMarks.h"

#include <algorithm>

#include "display/TracePlot.h"
#include "support/PenPlot.h"

namespace vel {
namespace {

constexpr int kPenPicks = 8;

// One trace's pass: its clip band into the mapping, then, when picks are
// shown and IPICK is a pick inside the frame, a bar across the trace of
// three strokes one fill step apart, three quarters of a spacing long.
void MarkTrace(std::int32_t ipick, std::int32_t itrace, const ShotRecord& rec,
               sup::GraphAxes& axes, const TraceDisplayOptions& o, float half,
               TracePlotMapping& map) {
  const bool vertical = o.LVERTICAL;
  const float p = TracePosition(rec, itrace, o.LGEOPOS);
  const float b = vertical ? sup::PLOFX(p, axes) : sup::PLOFY(p, axes);
  const float w = half * std::min(o.TRACEWIDTH, o.TRACECLIP);
  map.baseline = b;
  map.clipLow = b - w;
  map.clipHigh = b + w;
  const float width = static_cast<float>(axes.NXDIV) * axes.XCELL;
  const float height = static_cast<float>(axes.NYDIV) * axes.YCELL;
  const float across = vertical ? width : height;
  // A trace whose baseline lies in the frame is marked, also on the frame's
  // edge (the last trace of a zoom): the bar is cut at the frame.
  // The edge allows for the rounding of a frame that ends on a trace.
  const float slack = 1e-4f * std::max(1.0f, across);
  if (!(b >= -slack && b <= across + slack)) return;
  if (!o.LPLOTPICKS || !HasPick(ipick)) return;

  const float t = PickTime(rec, ipick);
  const float lo = std::max(b - 0.75f * half, 0.0f), hi = std::min(b + 0.75f * half, across);
  const float f = map.fillStep;
  const float along = vertical ? sup::PLOFY(t, axes) : sup::PLOFX(t, axes);
  const float alongEnd = vertical ? height : width;
  if (!(along >= 0.0f && along <= alongEnd)) return;
  auto pen = [&](float a, float c, int code) {
    if (vertical)
      sup::PLOTXY(a, c, code, axes);
    else
      sup::PLOTXY(c, a, code, axes);
  };
  pen(lo, along, sup::kPenMove);
  pen(hi, along, sup::kPenDraw);
  pen(hi, along - f, sup::kPenDraw);
  pen(lo, along - f, sup::kPenDraw);
  pen(lo, along + f, sup::kPenDraw);
  pen(hi, along + f, sup::kPenDraw);
}

std::int32_t PickOf(const ShotRecord& rec, std::int32_t j) {
  const std::size_t at = static_cast<std::size_t>(j - 1);
  return j >= 1 && at < rec.IBPICK.size() ? rec.IBPICK[at] : 0;
}

}  // namespace

void DrawPicks(const ShotRecord& REC, sup::GraphAxes& AXES, const TraceDisplayOptions& OPTS,
               TracePlotMapping& MAP) {
  sup::PLOTXY(AXES.XORIGIN, AXES.YORIGIN, -3, AXES);
  const float half = HalfTraceSpacing(REC, AXES, OPTS);
  std::int32_t first = 1, last = REC.NTRACE;
  if (!(OPTS.IFIRSTTRACE < 1 || OPTS.ILASTTRACE <= OPTS.IFIRSTTRACE)) {
    first = OPTS.IFIRSTTRACE;
    last = std::min(OPTS.ILASTTRACE, REC.NTRACE);
  }
  sup::SET_PEN(kPenPicks);
  const sup::ExclusiveOrOverlay overlay;
  for (std::int32_t j = first; j <= last; ++j)
    MarkTrace(PickOf(REC, j), j, REC, AXES, OPTS, half, MAP);
}

void PLOTPICKS(const ShotRecord& REC, sup::GraphAxes& AXES, const TraceDisplayOptions& OPTS) {
  DrawPicks(REC, AXES, OPTS, TraceMapping());
}

void DrawPick(std::int32_t IPICK, std::int32_t ITRACE, const ShotRecord& REC,
              sup::GraphAxes& AXES, const TraceDisplayOptions& OPTS, TracePlotMapping& MAP) {
  sup::SET_PEN(kPenPicks);
  MarkTrace(IPICK, ITRACE, REC, AXES, OPTS, HalfTraceSpacing(REC, AXES, OPTS), MAP);
}

void PLOTPICK(std::int32_t IPICK, std::int32_t ITRACE, const ShotRecord& REC,
              sup::GraphAxes& AXES, const TraceDisplayOptions& OPTS) {
  DrawPick(IPICK, ITRACE, REC, AXES, OPTS, TraceMapping());
}

}  // namespace vel
