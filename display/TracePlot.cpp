// The main trace display: frame, labels, timing lines and the traces.
#include "display/TracePlot.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cmath>
#include <string>
#include <vector>

#include "display/PickMarks.h"
#include "display/TraceAxes.h"
#include "support/GraphDraw.h"
#include "support/Numerics.h"
#include "support/PenPlot.h"
#include "support/ProgramState.h"
#include "toolkit/core/Conversion.h"
#include "toolkit/core/Rounding.h"
#include "toolkit/graphics/Graphics.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vel {
namespace {

// Pen colours of the display.
constexpr int kPenFrameInterior = 15;
constexpr int kPenFrame = 2;
constexpr int kPenMinorLines = 13;
constexpr int kPenTraces = 4;

// At most this many fill steps per pixel, whatever PIXELSIZE asks for.
constexpr float kSmallestPixelSize = 0.125f;

// Sample time in ms of sample I (from 1).
float SampleTime(const ShotRecord& rec, std::int32_t i) {
  return static_cast<float>(i) * rec.SAMPINT + rec.TDELAY;
}

// Plot position along the time axis of time T.
float TimePlot(float t, const sup::GraphAxes& a, bool vertical) {
  return vertical ? sup::PLOFY(t, a) : sup::PLOFX(t, a);
}

// The samples I1..I2 whose plot positions lie on the frame's time axis
// (0..extent; in vertical display time runs down from EXTENT to 0). False
// when none does.
bool VisibleSamples(const ShotRecord& rec, const sup::GraphAxes& a, bool vertical, float extent,
                    std::int32_t& i1, std::int32_t& i2) {
  const std::int32_t n = rec.NSAMP;
  auto beforeStart = [&](std::int32_t i) {
    const float p = TimePlot(SampleTime(rec, i), a, vertical);
    return vertical ? p > extent : p < 0.0f;
  };
  auto afterEnd = [&](std::int32_t i) {
    const float p = TimePlot(SampleTime(rec, i), a, vertical);
    return vertical ? p < 0.0f : p > extent;
  };
  i1 = 1;
  i2 = n;
  if (beforeStart(i1)) {
    while (i1 <= n && beforeStart(i1)) ++i1;
    if (i1 > n) return false;
  }
  if (afterEnd(i2)) {
    while (i2 >= 1 && afterEnd(i2)) --i2;
    if (i2 < 1) return false;
  }
  return i1 <= i2;
}

// "Global Max: ...", "Trace Max", "AGC Length: ...%" or "No Gain Method".
std::string GainLine(const ShotRecord& rec, const TraceDisplayOptions& o) {
  switch (o.IGAINMETHOD) {
    case 1:
      if (o.LUSERMAX) return "User Global Max: " + tk::FormatRealField(o.USERMAX, "(1PE11.4)");
      return "Global Max: " +
             tk::FormatRealField(std::max(std::fabs(rec.GMIN), rec.GMAX), "(1PE11.4)");
    case 2:
      return "Trace Max";
    case 3:
      return "AGC Length: " + tk::FormatRealField(o.AGCFRAC * 100.0f, "(F4.0)") + "%";
    default:
      return "No Gain Method";
  }
}

void Labels(const ShotRecord& rec, const sup::GraphAxes& a, const TraceDisplayOptions& o, float w,
            float h) {
  const std::string_view traceAxis = o.LGEOPOS ? "Distance (m)" : "Trace Number";
  const std::string_view timeAxis = "Travel Time (ms)";
  if (a.LLEFT) {
    const std::string_view text = o.LVERTICAL ? timeAxis : traceAxis;
    const int n = static_cast<int>(text.size());
    const float height = std::min(0.25f, h / (0.86f * static_cast<float>(n)));
    sup::CENTSY(a.XDRAWNMIN - 1.5f * height, 0.5f * static_cast<float>(a.NYDIV) * std::fabs(a.YCELL),
                height, text, 90.0f, n);
  }
  if (a.LBOTTOM) {
    const std::string_view name = rec.CRECNAME.Trimmed();
    sup::CENTSY(w / 2.0f, h + 0.2375f, 0.375f, name, 0.0f, static_cast<int>(name.size()));
    const std::string_view text = o.LVERTICAL ? traceAxis : timeAxis;
    sup::CENTSY(w / 2.0f, a.LABELBOTTOM - 0.375f, 0.25f, text, 0.0f, static_cast<int>(text.size()));
    std::string gain = GainLine(rec, o);
    gain.resize(40, ' ');
    sup::SYMBOL(0.9f - a.XORIGIN, 0.25f - a.YORIGIN, 0.3f, gain, 0.0f, 40);
  }
}

// Lines across the frame along the time axis: dashed at the minor
// divisions (ITIMELINES 3), solid at the major ones (2 and 3). 1 draws none.
void TimingLines(sup::GraphAxes& a, const TraceDisplayOptions& o, float w, float h) {
  sup::SET_PEN(kPenFrame);
  sup::PCLIP(0.0f, w, 0.0f, h);
  if (o.ITIMELINES != 2 && o.ITIMELINES != 3) return;
  const bool vertical = o.LVERTICAL;
  const int n = vertical ? a.NYDIV : a.NXDIV;
  const int m = vertical ? a.NYMINOR : a.NXMINOR;
  const float cell = vertical ? a.YCELL : a.XCELL;
  auto across = [&](float at, float xs[2], float ys[2]) {
    if (vertical) {
      xs[0] = 0, xs[1] = w, ys[0] = ys[1] = at;
    } else {
      ys[0] = 0, ys[1] = h, xs[0] = xs[1] = at;
    }
  };
  for (int k = 1; k <= n; ++k) {
    if (o.ITIMELINES == 3 && m > 2) {
      sup::SET_PEN(kPenMinorLines);
      for (int i = 1; i < m; ++i) {
        float xs[2], ys[2];
        across((static_cast<float>(k - 1) + static_cast<float>(i) / static_cast<float>(m)) * cell,
               xs, ys);
        sup::DS_PLOTPL(xs, ys, 2, 0.03f, 0.09f, a);
      }
      sup::SET_PEN(kPenFrame);
    }
    if (k < n) {
      float xs[2], ys[2];
      across(static_cast<float>(k) * cell, xs, ys);
      sup::PLOTXY(xs[0], ys[0], sup::kPenMove, a);
      sup::PLOTXY(xs[1], ys[1], sup::kPenDraw, a);
    }
  }
}

// One screen pixel along the time axis in plot units, times PIXELSIZE.
float FillStep(const TraceDisplayOptions& o) {
  float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  tk::IGrPixelToUnits(500, 500, x1, y1);
  tk::IGrPixelToUnits(501, 501, x2, y2);
  const float pixel = o.LVERTICAL ? std::fabs(y2 - y1) : std::fabs(x2 - x1);
  float size = o.PIXELSIZE;
  if (!(size > 0.0f) || !std::isfinite(size)) size = 1.0f;
  return pixel * std::max(size, kSmallestPixelSize);
}

// Automatic gain of K traces of N samples at once, window L (1 <= L <=
// max(N - 1, 1), N >= 1): OUT = gain * IN, with each trace's range of the
// result in AMIN, AMAX. The running window sum is a chain of dependent
// additions; K independent traces side by side keep the processor busy while
// each waits, and every trace gets exactly the arithmetic it would alone.
template <std::size_t K>
void AgcLanes(const std::array<const float*, K>& IN, const std::array<float*, K>& OUT, int N, int L,
              std::array<float, K>& AMIN, std::array<float, K>& AMAX) {
  // Everything a lane carries is held in locals (registers once the lane
  // loops are unrolled): the output stores cannot then touch it.
  const std::array<const float*, K> in = IN;
  const std::array<float*, K> out = OUT;
  std::array<double, K> q{};
  std::array<float, K> g{}, lo, hi;
  lo.fill(1e30f);
  hi.fill(-1e30f);
  auto at = [&](std::size_t k, int i) { return static_cast<double>(in[k][i - 1]); };
  auto gainOf = [](double sum, int l, float previous, bool keep) {
    if (keep) return previous;
    float r = std::sqrt(static_cast<float>(sum / l));
    if (r <= 0.0f) r = 1.0f;
    return 2048.0f / r;
  };
  auto emit = [&](int i) {
#pragma GCC unroll 8
    for (std::size_t k = 0; k < K; ++k) {
      const float v = g[k] * in[k][i - 1];
      out[k][i - 1] = v;
      lo[k] = std::min(lo[k], v);
      hi[k] = std::max(hi[k], v);
    }
  };
  for (int i = 1; i <= L; ++i) {
#pragma GCC unroll 8
    for (std::size_t k = 0; k < K; ++k) q[k] += at(k, i) * at(k, i);
  }
  for (std::size_t k = 0; k < K; ++k) g[k] = gainOf(q[k], L, 0.0f, false);
  const int half = L / 2;
  for (int i = 1; i <= std::min(half + 1, N); ++i) emit(i);
  int rest = N - L;
  if (N - L > half + 2) {
    for (int i = half + 2; i <= N - L; ++i) {
#pragma GCC unroll 8
      for (std::size_t k = 0; k < K; ++k) {
        const double add = at(k, i - half + L - 1), drop = at(k, i - half - 1);
        q[k] = q[k] + add * add - drop * drop;
        g[k] = gainOf(q[k], L, g[k], !(q[k] > 0));
      }
      emit(i);
    }
    rest = N - L + 1;
  }
  for (int i = std::max(rest, 1); i <= N; ++i) emit(i);
  AMIN = lo;
  AMAX = hi;
}

#if defined(__SSE2__)
// AgcLanes<4> in vector registers: the same operations on each trace in the
// same order, each correctly rounded, so the results are the same bits.
template <>
void AgcLanes<4>(const std::array<const float*, 4>& in, const std::array<float*, 4>& out, int N,
                 int L, std::array<float, 4>& AMIN, std::array<float, 4>& AMAX) {
  using Doubles = double __attribute__((vector_size(32)));
  using Floats = float __attribute__((vector_size(16)));
  using Mask = std::int32_t __attribute__((vector_size(16)));
  auto at = [&](int i) {
    const std::size_t j = static_cast<std::size_t>(i - 1);
    return Floats{in[0][j], in[1][j], in[2][j], in[3][j]};
  };
  const Floats one = {1.0f, 1.0f, 1.0f, 1.0f}, level = {2048.0f, 2048.0f, 2048.0f, 2048.0f};
  const Floats zero = {};
  const Doubles length = {static_cast<double>(L), static_cast<double>(L), static_cast<double>(L),
                          static_cast<double>(L)};
  auto gainOf = [&](const Doubles& q) {
    const Floats mean = __builtin_convertvector(q / length, Floats);
    Floats r = _mm_sqrt_ps(mean);  // NaN where q is not positive: not used
    r = r <= zero ? one : r;
    return level / r;
  };
  Doubles q = {};
  Floats g, lo = {1e30f, 1e30f, 1e30f, 1e30f}, hi = {-1e30f, -1e30f, -1e30f, -1e30f};
  auto emit = [&](int i) {
    const Floats v = g * at(i);
    const std::size_t j = static_cast<std::size_t>(i - 1);
    for (std::size_t k = 0; k < 4; ++k) out[k][j] = v[k];
    lo = v < lo ? v : lo;  // std::min(lo, v)
    hi = hi < v ? v : hi;  // std::max(hi, v)
  };
  for (int i = 1; i <= L; ++i) {
    const Doubles a = __builtin_convertvector(at(i), Doubles);
    q += a * a;
  }
  g = gainOf(q);
  const int half = L / 2;
  for (int i = 1; i <= std::min(half + 1, N); ++i) emit(i);
  int rest = N - L;
  if (N - L > half + 2) {
    for (int i = half + 2; i <= N - L; ++i) {
      const Doubles add = __builtin_convertvector(at(i - half + L - 1), Doubles);
      const Doubles drop = __builtin_convertvector(at(i - half - 1), Doubles);
      q = q + add * add - drop * drop;
      const Mask positive = __builtin_convertvector(q > Doubles{}, Mask);
      g = positive ? gainOf(q) : g;
      emit(i);
    }
    rest = N - L + 1;
  }
  for (int i = std::max(rest, 1); i <= N; ++i) emit(i);
  for (std::size_t k = 0; k < 4; ++k) {
    AMIN[k] = lo[k];
    AMAX[k] = hi[k];
  }
}
#endif

}  // namespace

TracePlotState& ModuleTracePlot() {
  static TracePlotState state;
  return state;
}

namespace {
const bool kRegistered = sup::RegisterProgramReset(sup::ProgramLayer::Display,
                                                   [] { ModuleTracePlot() = TracePlotState{}; });
}  // namespace

TracePlotMapping& TraceMapping() {
  return ModuleTracePlot().mapping;
}

float TraceSpacing(const ShotRecord& REC) {
  if (REC.NTRACE < 2 || REC.GEOLOC.size() < static_cast<std::size_t>(REC.NTRACE)) return 1.0f;
  const float s = std::fabs(REC.GEOLOC[static_cast<std::size_t>(REC.NTRACE) - 1] - REC.GEOLOC[0]) /
                  static_cast<float>(REC.NTRACE - 1);
  return s > 0.0f && std::isfinite(s) ? s : 1.0f;
}

float TracePosition(const ShotRecord& REC, std::int32_t J, bool GEOPOS) {
  if (GEOPOS && J >= 1 && static_cast<std::size_t>(J) <= REC.GEOLOC.size())
    return REC.GEOLOC[static_cast<std::size_t>(J) - 1];
  return static_cast<float>(J);
}

float HalfTraceSpacing(const ShotRecord& REC, const sup::GraphAxes& AXES,
                       const TraceDisplayOptions& OPTS) {
  const float s = OPTS.LGEOPOS ? TraceSpacing(REC) : 1.0f;
  return OPTS.LVERTICAL ? AXES.XSCALE * s * 0.5f : std::fabs(AXES.YSCALE * s * 0.5f);
}

void PLOTTRACES(const ShotRecord& REC, sup::GraphAxes& AXES, const TraceDisplayOptions& OPTS) {
  DrawTracePlot(REC, AXES, OPTS, ModuleTracePlot());
}

void DrawTracePlot(const ShotRecord& REC, sup::GraphAxes& AXES, const TraceDisplayOptions& OPTS,
                   TracePlotState& STATE) {
  AXES.TICKCAP = 0.15f;
  AXES.LTICKCAP = true;
  sup::XOR_OFF();
  const bool vertical = OPTS.LVERTICAL;

  sup::PLOTXY(AXES.XORIGIN, AXES.YORIGIN, -3, AXES);
  const float w = static_cast<float>(AXES.NXDIV) * AXES.XCELL;
  const float h = static_cast<float>(AXES.NYDIV) * AXES.YCELL;
  {
    float x1 = 0, y1 = 0, x2 = w, y2 = h, width = 0;
    sup::GNFILL(x1, y1, x2, y2, width, kPenFrameInterior, AXES);
  }
  sup::SET_PEN(kPenFrame);
  sup::GNGRID(AXES);
  Labels(REC, AXES, OPTS, w, h);
  TimingLines(AXES, OPTS, w, h);
  sup::FINDASX(AXES);
  sup::FINDASY(AXES);

  TracePlotMapping& map = STATE.mapping;
  map.fillStep = FillStep(OPTS);
  const float half = HalfTraceSpacing(REC, AXES, OPTS);
  const float s = OPTS.LGEOPOS ? TraceSpacing(REC) : 1.0f;

  float gmin = REC.GMIN, gmax = REC.GMAX;
  if (OPTS.LUSERMAX) {
    gmax = OPTS.USERMAX;
    gmin = -OPTS.USERMAX;
  }

  std::int32_t first = OPTS.IFIRSTTRACE, last = OPTS.ILASTTRACE;
  if (REC.NTRACE < last || first < 1 || last <= first) {
    first = 1;
    last = REC.NTRACE;
  }
  const float range = vertical ? static_cast<float>(AXES.NXDIV) * AXES.XSTEP
                               : static_cast<float>(AXES.NYDIV) * AXES.YSTEP;
  const std::int32_t inc = std::max(tk::NearestInt(std::fabs(range) / (200.0f * s)), 1);

  // The visible samples depend on the time axis alone: found once.
  std::int32_t i1 = 1, i2 = 0;
  const bool anyVisible =
      REC.NSAMP >= 1 && VisibleSamples(REC, AXES, vertical, vertical ? h : w, i1, i2);

  const float clipWidth = std::min(OPTS.TRACECLIP, OPTS.TRACEWIDTH);

  // Traces are taken in blocks: their gains are found together (the
  // automatic gain of a block side by side), then each is drawn in order.
  struct Pending {
    float p;
    std::span<const float> samples;
    float gmin, gmax;
  };
  constexpr std::size_t kBlock = 4;
  std::array<Pending, kBlock> block;
  std::size_t pending = 0;
  const std::size_t nsamp = static_cast<std::size_t>(std::max(REC.NSAMP, 0));
  std::vector<float> gained;
  if (OPTS.IGAINMETHOD == 3) gained.resize(kBlock * nsamp);
  std::int32_t agcLength = 1;
  if (REC.NSAMP >= 2) {
    agcLength = std::max(tk::NearestInt(static_cast<float>(REC.NSAMP) * OPTS.AGCFRAC), 1);
    if (agcLength >= REC.NSAMP) agcLength = REC.NSAMP - 1;
  }

  auto gainBlock = [&]() {
    std::array<std::size_t, kBlock> agc{};
    std::size_t nagc = 0;
    for (std::size_t b = 0; b < pending; ++b) {
      Pending& d = block[b];
      d.gmin = 1e30f;
      d.gmax = -1e30f;
      sup::FINDNX(d.samples, REC.NSAMP, d.gmin, d.gmax);
      if (OPTS.IGAINMETHOD == 3 && d.gmin < d.gmax && REC.NSAMP >= 2) agc[nagc++] = b;
    }
    std::array<const float*, kBlock> in{};
    std::array<float*, kBlock> out{};
    std::array<float, kBlock> amin{}, amax{};
    for (std::size_t a = 0; a < nagc; ++a) {
      in[a] = block[agc[a]].samples.data();
      out[a] = gained.data() + a * nsamp;
    }
    AgcTraces(std::span(in).first(nagc), std::span(out).first(nagc), REC.NSAMP, agcLength,
              std::span(amin).first(nagc), std::span(amax).first(nagc));
    for (std::size_t a = 0; a < nagc; ++a) {
      Pending& d = block[agc[a]];
      d.samples = std::span<const float>(out[a], nsamp);
      d.gmin = amin[a];
      d.gmax = amax[a];
    }
  };

  auto draw = [&](const Pending& d) {
    if (OPTS.IGAINMETHOD > 1) {
      gmin = d.gmin;
      gmax = d.gmax;
    }
    const float p = d.p;
    map.baseline = vertical ? sup::PLOFX(p, AXES) : sup::PLOFY(p, AXES);
    map.timeStart = TimePlot(SampleTime(REC, i1), AXES, vertical);
    map.timeEnd = TimePlot(SampleTime(REC, i2), AXES, vertical);
    const float cw = static_cast<float>(inc) * half * clipWidth;
    map.clipLow = map.baseline - cw;
    map.clipHigh = map.baseline + cw;
    // The band stays inside the frame across the traces, in either
    // orientation: a trace beside the frame shows only what reaches into it.
    map.clipLow = std::max(map.clipLow, 0.0f);
    map.clipHigh = std::min(map.clipHigh, vertical ? w : h);
    if (map.clipLow >= map.clipHigh) return;
    if (gmax <= gmin) gmax = 10.0f;  // stays for the rest of the call in global gain
    float amax = std::fabs(gmin) > gmax ? std::fabs(gmin) : std::fabs(gmax);
    if (!(amax > 0.0f) || !std::isfinite(amax)) amax = 10.0f;
    map.amplitudeScale = half / amax * OPTS.TRACEWIDTH;

    sup::SET_PEN(kPenTraces);
    DrawTrace(d.samples.subspan(static_cast<std::size_t>(i1 - 1)), i2 - i1 + 1, AXES, OPTS, STATE);
  };

  auto flush = [&]() {
    if (OPTS.IGAINMETHOD > 1) gainBlock();
    for (std::size_t b = 0; b < pending; ++b) draw(block[b]);
    pending = 0;
  };

  for (std::int64_t jj = first; anyVisible && jj <= last; jj += inc) {
    const std::int32_t j = static_cast<std::int32_t>(jj);
    const float p = TracePosition(REC, j, OPTS.LGEOPOS);
    if (vertical) {
      if (!(AXES.XSTART - AXES.XSTEP <= p &&
            p <= AXES.XSTART + static_cast<float>(AXES.NXDIV + 1) * AXES.XSTEP))
        continue;
    } else if (!(AXES.YSTART + static_cast<float>(AXES.NYDIV + 1) * AXES.YSTEP <= p &&
                 p <= AXES.YSTART - AXES.YSTEP)) {
      continue;
    }
    const std::span<const float> samples = Trace(REC, j);
    if (samples.size() < nsamp) continue;
    block[pending++] = Pending{p, samples.first(nsamp), 0.0f, 0.0f};
    if (pending == kBlock) flush();
  }
  flush();

  if (OPTS.LPLOTPICKS) DrawPicks(REC, AXES, OPTS, STATE.mapping);
}

void TRCPLT(std::span<const float> S, int N, float DT, float DELAY, sup::GraphAxes& AXES,
            const TraceDisplayOptions& OPTS) {
  (void)DT;
  (void)DELAY;
  DrawTrace(S, N, AXES, OPTS, ModuleTracePlot());
}

void DrawTrace(std::span<const float> S, int N, sup::GraphAxes& AXES,
               const TraceDisplayOptions& OPTS, TracePlotState& STATE) {
  const TracePlotMapping& m = STATE.mapping;
  bool& fillToggle = STATE.fillToggle;
  const bool vertical = OPTS.LVERTICAL;
  const bool varArea = OPTS.LVARAREA;
  const float base = m.baseline;
  // The first point is a move; every later one is a draw, gathered into one
  // path for the pen plotter.
  thread_local std::vector<float> pathX, pathY;
  pathX.clear();
  pathY.clear();
  auto pen = [&](float a, float t, int code) {
    const float x = vertical ? a : t, y = vertical ? t : a;
    if (code == sup::kPenMove) {
      sup::PLOTXY(x, y, code, AXES);
    } else {
      pathX.push_back(x);
      pathY.push_back(y);
    }
  };
  pen(base, m.timeStart, sup::kPenMove);

  N = static_cast<int>(std::min<std::size_t>(static_cast<std::size_t>(std::max(N, 0)), S.size()));
  const float m0 = m.timeStart, m2 = m.timeEnd;
  const float f = m.fillStep;
  if (N < 2 || !(f > 0.0f) || !std::isfinite(f) || m2 == m0 || !std::isfinite(m2 - m0)) return;

  // Time runs down the page in vertical display, to the right otherwise.
  const float step = vertical ? -f : f;
  const double perPlot = static_cast<double>(N - 1) / (static_cast<double>(m2) - m0);
  // Never more steps than the span holds, however the arithmetic rounds.
  const double steps = std::floor(std::fabs((static_cast<double>(m2) - m0) / f)) + 2.0;
  const std::int64_t maxSteps = steps < 1e9 ? static_cast<std::int64_t>(steps) : 1000000000;
  const float* samples = S.data();
  const float scale = m.amplitudeScale, lo = m.clipLow, hi = m.clipHigh;
  // Lobes are filled towards the baseline as far as the clip band reaches:
  // the baseline of a trace beside the frame lies outside it, and a fill to
  // it would cover the axis.
  const float fillBase = std::min(std::max(base, lo), hi);

  // Only the steps inside the drawing's units (the page, on screen and on
  // paper alike), and one either side, are taken: however the frame is
  // scaled, the work is bounded by what can be drawn.
  std::int64_t firstStep = 0, endStep = maxSteps;
  {
    const tk::GraphicsState& gs = tk::Gs();
    const sup::PenPlotState& ps = sup::PenState();
    const double factor = vertical ? ps.factorY : ps.factorX;
    const double origin = vertical ? ps.originY : ps.originX;
    const double u0 = vertical ? gs.userY0 : gs.userX0, u1 = vertical ? gs.userY1 : gs.userX1;
    if (factor != 0.0 && std::isfinite(factor) && std::isfinite(u0) && std::isfinite(u1)) {
      const double p0 = u0 / factor - origin, p1 = u1 / factor - origin;
      double ia = (std::min(p0, p1) - m0) / step, ib = (std::max(p0, p1) - m0) / step;
      if (ia > ib) std::swap(ia, ib);
      if (std::isfinite(ia) && std::isfinite(ib)) {
        if (ib < -1.0 || ia > static_cast<double>(maxSteps)) {
          endStep = 0;
        } else {
          const double most = static_cast<double>(maxSteps);
          firstStep = static_cast<std::int64_t>(std::floor(std::clamp(ia - 1.0, 0.0, most)));
          endStep = static_cast<std::int64_t>(std::ceil(std::clamp(ib + 2.0, 0.0, most)));
        }
      }
    }
  }

  bool firstPoint = true;
  bool previousPlain = true;
  float a = base;
  for (std::int64_t i = firstStep; i < endStep; ++i) {
    const float t = m0 + static_cast<float>(i) * step;
    const double u = (static_cast<double>(t) - m0) * perPlot + 0.5;
    const std::int64_t k = static_cast<std::int64_t>(u) + 1;  // truncation, as INT
    if (k >= 1 && k <= N) a = std::clamp(scale * samples[k - 1] + base, lo, hi);
    const int lead = firstPoint ? sup::kPenMove : sup::kPenDraw;
    if (!varArea || !(a > fillBase)) {
      pen(a, t, lead);
      previousPlain = true;
    } else {
      if (previousPlain || !fillToggle) {
        pen(a, t, lead);
        pen(fillBase, t, sup::kPenDraw);
      } else {
        pen(fillBase, t, lead);
        pen(a, t, sup::kPenDraw);
      }
      fillToggle = previousPlain ? true : !fillToggle;
      previousPlain = false;
    }
    firstPoint = false;
    const float next = t + step;
    const bool passed = vertical ? next < m2 : next > m2;
    if (passed || k < 1 || k >= N) break;
  }
  sup::PlotPath(pathX, pathY, AXES);
}

void AGCTRC(std::span<float> A, int N, float& AMIN, float& AMAX, int L) {
  AMIN = 1e30f;
  AMAX = -1e30f;
  N = static_cast<int>(std::min<std::size_t>(static_cast<std::size_t>(std::max(N, 0)), A.size()));
  if (N < 1) return;
  L = std::clamp(L, 1, std::max(N - 1, 1));

  // The window reads samples already replaced: keep the originals aside.
  thread_local std::vector<float> original;
  original.assign(A.begin(), A.begin() + N);
  std::array<float, 1> amin{}, amax{};
  AgcLanes<1>({original.data()}, {A.data()}, N, L, amin, amax);
  AMIN = amin[0];
  AMAX = amax[0];
}

void AgcTraces(std::span<const float* const> IN, std::span<float* const> OUT, int N, int L,
               std::span<float> AMIN, std::span<float> AMAX) {
  const std::size_t count = std::min({IN.size(), OUT.size(), AMIN.size(), AMAX.size()});
  if (N < 1) {
    for (std::size_t k = 0; k < count; ++k) AMIN[k] = 1e30f, AMAX[k] = -1e30f;
    return;
  }
  L = std::clamp(L, 1, std::max(N - 1, 1));
  std::size_t k = 0;
  for (; k + 4 <= count; k += 4) {
    std::array<float, 4> lo, hi;
    AgcLanes<4>({IN[k], IN[k + 1], IN[k + 2], IN[k + 3]},
                {OUT[k], OUT[k + 1], OUT[k + 2], OUT[k + 3]}, N, L, lo, hi);
    std::copy(lo.begin(), lo.end(), AMIN.begin() + static_cast<std::ptrdiff_t>(k));
    std::copy(hi.begin(), hi.end(), AMAX.begin() + static_cast<std::ptrdiff_t>(k));
  }
  for (; k < count; ++k) {
    std::array<float, 1> lo, hi;
    AgcLanes<1>({IN[k]}, {OUT[k]}, N, L, lo, hi);
    AMIN[k] = lo[0];
    AMAX[k] = hi[0];
  }
}

void RedrawRecord(const ShotRecord& REC, sup::GraphAxes& AXES, TraceDisplayOptions& OPTS,
                  TracePlotState& STATE) {
  sup::PLOTXY(1.0f, 0.0f, sup::kPenStartPage, AXES);
  DrawTracePlot(REC, AXES, OPTS, STATE);
}

void ShowNewRecord(const ShotRecord& REC, sup::GraphAxes& AXES, TraceDisplayOptions& OPTS,
                   TracePlotState& STATE) {
  SCALETRACES(REC, AXES, OPTS, false);
  RedrawRecord(REC, AXES, OPTS, STATE);
}

void RedrawRecord(const ShotRecord& REC, sup::GraphAxes& AXES, TraceDisplayOptions& OPTS) {
  RedrawRecord(REC, AXES, OPTS, ModuleTracePlot());
}

void ShowNewRecord(const ShotRecord& REC, sup::GraphAxes& AXES, TraceDisplayOptions& OPTS) {
  ShowNewRecord(REC, AXES, OPTS, ModuleTracePlot());
}

}  // namespace vel
