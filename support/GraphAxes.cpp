#include "support/GraphAxes.h"

#include <algorithm>
#include <bit>
#include <cmath>

#include "support/Logical.h"

namespace sup {
namespace {

/// trunc(V) as an int, with values beyond any float exponent held at +-60 and
/// NaN as 0, so that no conversion is undefined.
int TruncExponent(double v) {
  if (std::isnan(v)) return 0;
  return static_cast<int>(std::trunc(std::clamp(v, -60.0, 60.0)));
}

/// One axis of the record, by reference, so FINDASX/FINDASY and the other
/// per-axis routines share one body.
struct AxisRef {
  float& origin;
  float& cell;
  float& start;
  float& step;
  float& offset;
  float& scale;
  float& clipMin;
  float& clipMax;
  std::int32_t& ndiv;
  std::int32_t& nminor;
  bool& log;
};

AxisRef XAxis(GraphAxes& a) {
  return {a.XORIGIN,  a.XCELL,    a.XSTART, a.XSTEP,   a.XOFFSET, a.XSCALE,
          a.XCLIPMIN, a.XCLIPMAX, a.NXDIV,  a.NXMINOR, a.LXLOG};
}
AxisRef YAxis(GraphAxes& a) {
  return {a.YORIGIN,  a.YCELL,    a.YSTART, a.YSTEP,   a.YOFFSET, a.YSCALE,
          a.YCLIPMIN, a.YCLIPMAX, a.NYDIV,  a.NYMINOR, a.LYLOG};
}
AxisRef XAxis(const GraphAxes& a) {
  return XAxis(const_cast<GraphAxes&>(a));
}
AxisRef YAxis(const GraphAxes& a) {
  return YAxis(const_cast<GraphAxes&>(a));
}

void FindScale(AxisRef ax, bool isX) {
  if (ax.log) {
    ax.scale = 1.0f;
    ax.offset = -static_cast<float>(ax.nminor) * ax.cell;
  } else {
    ax.scale = ax.cell / ax.step;
    ax.offset = -ax.start * ax.scale;
  }
  const float length = static_cast<float>(ax.ndiv) * ax.cell;
  ax.clipMin = -0.001f;
  ax.clipMax = length + 0.001f;
  if (ax.cell < 0) {
    if (isX) {
      ax.clipMin = length + 0.001f - 0.102f;
      ax.clipMax = -0.051f;
    } else {
      ax.clipMin = length + 0.001f;
      ax.clipMax = -0.001f;
    }
  }
}

float PlotOf(float v, AxisRef ax) {
  if (std::isnan(v)) return 0.0f;
  if (!ax.log) return ax.scale * v + ax.offset;
  const float l = std::log10(std::fabs(v) + 1e-20f);
  if (ax.scale > 0) return l * ax.cell * ax.scale + ax.offset;
  return l * ax.cell + ax.offset;
}

float ValueOf(float p, AxisRef ax) {
  const float q = p - ax.offset - ax.origin;
  if (!ax.log) return q / ax.scale;
  if (ax.scale > 0) return std::pow(10.0f, q / ax.cell / ax.scale);
  return std::pow(10.0f, q / ax.cell);
}

bool InRange(float v, AxisRef ax) {
  if (ax.log) {
    const double lo = std::pow(10.0, ax.nminor);
    const double hi = std::pow(10.0, ax.nminor + ax.ndiv);
    return lo <= v && v <= hi;
  }
  const float end = ax.start + static_cast<float>(ax.ndiv) * ax.step;
  if (ax.step > 0) return ax.start <= v && v <= end;
  return end <= v && v <= ax.start;
}

/// One axis of ZOOMBOX: the new range V1..V2 (ordered), length kept by the caller.
void ZoomAxis(AxisRef ax, float v1, float v2) {
  if (ax.log) {
    int ie2 = 0;
    int ie1 = 0;
    LOGNX(v1, v2, ie1, ie2);
    ax.nminor = ie1;
    ax.ndiv = std::max(ie2 - ie1, 1);
    return;
  }
  const bool reversed = ax.step < 0;
  int ndiv = 0;
  int nminor = 0;
  LINNX(v1, v2, ax.start, ax.step, ndiv, nminor);
  ax.ndiv = std::max(ndiv, 1);
  ax.nminor = nminor;
  if (reversed) {
    ax.start = ax.start + static_cast<float>(ax.ndiv) * ax.step;
    ax.step = -std::fabs(ax.step);
  }
}

}  // namespace

float PageXOfMouse(int MX) {
  return static_cast<float>(MX) * 10.0f / 10000.0f;
}
float PageYOfMouse(int MY) {
  return static_cast<float>(10000 - MY) * 8.0f / 10000.0f;
}

std::array<std::uint32_t, kGraphAxesWords> GraphAxesToWords(const GraphAxes& a) {
  const float reals[20] = {a.XORIGIN,     a.YORIGIN,  a.XCELL,    a.YCELL,     a.XSTART,
                           a.YSTART,      a.XSTEP,    a.YSTEP,    a.XOFFSET,   a.YOFFSET,
                           a.XSCALE,      a.YSCALE,   a.TICKCAP,  a.XDRAWNMIN, a.XDRAWNMAX,
                           a.LABELBOTTOM, a.XCLIPMIN, a.XCLIPMAX, a.YCLIPMIN,  a.YCLIPMAX};
  const std::int32_t ints[7] = {a.NXDIV,   a.NYDIV,   a.NXMINOR, a.NYMINOR,
                                a.IMARKER, a.ISPARE1, a.ISPARE2};
  const bool logicals[10] = {a.LXLOG, a.LYLOG,   a.LTICKCAP, a.LMARKALT, a.LNOBREAK,
                             a.LTHIN, a.LBOTTOM, a.LLEFT,    a.LRIGHT,   a.LTOP};
  std::array<std::uint32_t, kGraphAxesWords> w{};
  int k = 0;
  for (float r : reals) w[k++] = std::bit_cast<std::uint32_t>(r);
  for (std::int32_t i : ints) w[k++] = static_cast<std::uint32_t>(i);
  for (bool l : logicals) w[k++] = static_cast<std::uint32_t>(ToLogical32(l));
  return w;
}

GraphAxes GraphAxesFromWords(std::span<const std::uint32_t, kGraphAxesWords> w) {
  GraphAxes a;
  float* reals[20] = {&a.XORIGIN,     &a.YORIGIN,  &a.XCELL,    &a.YCELL,     &a.XSTART,
                      &a.YSTART,      &a.XSTEP,    &a.YSTEP,    &a.XOFFSET,   &a.YOFFSET,
                      &a.XSCALE,      &a.YSCALE,   &a.TICKCAP,  &a.XDRAWNMIN, &a.XDRAWNMAX,
                      &a.LABELBOTTOM, &a.XCLIPMIN, &a.XCLIPMAX, &a.YCLIPMIN,  &a.YCLIPMAX};
  std::int32_t* ints[7] = {&a.NXDIV,   &a.NYDIV,   &a.NXMINOR, &a.NYMINOR,
                           &a.IMARKER, &a.ISPARE1, &a.ISPARE2};
  bool* logicals[10] = {&a.LXLOG, &a.LYLOG,   &a.LTICKCAP, &a.LMARKALT, &a.LNOBREAK,
                        &a.LTHIN, &a.LBOTTOM, &a.LLEFT,    &a.LRIGHT,   &a.LTOP};
  int k = 0;
  for (float* r : reals) *r = std::bit_cast<float>(w[k++]);
  for (std::int32_t* i : ints) *i = static_cast<std::int32_t>(w[k++]);
  for (bool* l : logicals) *l = FromLogical32(static_cast<std::int32_t>(w[k++]));
  return a;
}

void FINDASX(GraphAxes& AXES) {
  FindScale(XAxis(AXES), true);
}
void FINDASY(GraphAxes& AXES) {
  FindScale(YAxis(AXES), false);
}

float PLOFX(float X, const GraphAxes& AXES) {
  return PlotOf(X, XAxis(AXES));
}
float PLOFY(float Y, const GraphAxes& AXES) {
  return PlotOf(Y, YAxis(AXES));
}
float XOFPL(float P, const GraphAxes& AXES) {
  return ValueOf(P, XAxis(AXES));
}
float YOFPL(float P, const GraphAxes& AXES) {
  return ValueOf(P, YAxis(AXES));
}

// Computed in double so that START + step always moves past START for any
// float range; the search for the first START jumps instead of stepping, so
// every loop below runs a bounded number of times.
void LINNX(float A, float B, float& START, float& STEP, int& NDIV, int& NMINOR) {
  double a = A;
  double b = B;
  double s = 1.0;
  double d = 0;
  for (;;) {
    d = b - a;
    if (d == 0) {
      d = 20;
      // Beyond about 1e17 a step of 10 is lost; widen by a share of the value then.
      const double widen = a - 10 == a ? std::fabs(a) * 1e-6 : 10.0;
      a -= widen;
      b += widen;
    } else if (!(d > 0) || !std::isfinite(a) || !std::isfinite(b)) {
      d = 1;
      a = 0;
      b = 1;
    }
    if (d >= 100) break;
    a *= 10;
    b *= 10;
    s *= 0.1;
  }
  const double e = std::pow(10.0, std::trunc(std::log10(d)));
  const double o = std::trunc(d / e + 1.1);
  double t = o;
  if (t < 4) t *= 2;
  if (t < 4) t *= 2;
  double step = o * e / t;
  double start = a < 0 ? -2 * o * e : 0;
  if (start + step <= a) start += std::floor((a - start) / step) * step;
  for (;;) {
    while (start + step <= a) start += step;
    if (!(start > a)) break;
    while (start > a) start -= step;
  }
  int n = 1;
  double v = start + step;
  while (v < b) {
    ++n;
    v += step;
  }
  if (n < 5) {
    const double h = step / 2;
    if (v - b < h) {
      if (h <= a - start) {
        step = h;
        start += h;
        n = 2 * n - 1;
      }
    } else {
      step = h;
      if (h <= a - start) {
        n = 2 * n - 2;
        start += h;
      } else {
        n = 2 * n - 1;
      }
    }
  }
  while (a - start > step) {
    start += step;
    --n;
  }
  while (start + n * step - b > step) --n;
  while (n > 5) {
    n = (n + 1) / 2;
    step *= 2;
  }
  STEP = static_cast<float>(s * step);
  START = static_cast<float>(s * start);
  NDIV = n;
  NMINOR = 5;
}

void LOGNX(float A, float B, int& IE1, int& IE2) {
  const double a = std::fabs(static_cast<double>(A)) + 1e-20;
  const double b = std::fabs(static_cast<double>(B)) + 1e-20;
  IE1 = a >= 1 ? TruncExponent(std::log10(a)) : TruncExponent(std::log10(a) - 1);
  IE2 = b < 1 ? TruncExponent(std::log10(b)) : TruncExponent(std::log10(b) + 1);
  if (IE2 <= IE1) IE2 = IE1 + 1;
}

void GETNX(std::span<const float> A, int N, float& AMIN, float& AMAX) {
  const std::size_t n = std::min(A.size(), static_cast<std::size_t>(std::max(N, 0)));
  for (std::size_t i = 0; i < n; ++i) {
    const float v = std::fabs(A[i]);
    if (!(v > 1e-15f && v < 1e15f)) continue;  // NaN fails both
    AMIN = std::min(AMIN, v);
    AMAX = std::max(AMAX, v);
  }
}

bool LINGRAPH(float X, float Y, const GraphAxes& AXES) {
  return InRange(X, XAxis(AXES)) && InRange(Y, YAxis(AXES));
}

void LINEBACK(int MX1, int MY1, int MX2, int MY2, float& X1, float& Y1, float& X2, float& Y2,
              const GraphAxes& AXES) {
  X1 = XOFPL(PageXOfMouse(MX1), AXES);
  Y1 = YOFPL(PageYOfMouse(MY1), AXES);
  X2 = XOFPL(PageXOfMouse(MX2), AXES);
  Y2 = YOFPL(PageYOfMouse(MY2), AXES);
}

void ZOOMBOX(int MX1, int MY1, int MX2, int MY2, GraphAxes& AXES) {
  const float width = static_cast<float>(AXES.NXDIV) * AXES.XCELL;
  const float height = static_cast<float>(AXES.NYDIV) * AXES.YCELL;
  float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  LINEBACK(MX1, MY1, MX2, MY2, x1, y1, x2, y2, AXES);
  if (x2 < x1) std::swap(x1, x2);
  if (y2 < y1) std::swap(y1, y2);
  ZoomAxis(XAxis(AXES), x1, x2);
  ZoomAxis(YAxis(AXES), y1, y2);
  AXES.XCELL = width / static_cast<float>(AXES.NXDIV);
  AXES.YCELL = height / static_cast<float>(AXES.NYDIV);
  FINDASX(AXES);
  FINDASY(AXES);
}

}  // namespace sup
