#include "display/Refraction.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "support/GraphDraw.h"
#include "support/Numerics.h"
#include "support/PenPlot.h"
#include "support/Regres.h"
#include "support/UserMessages.h"
#include "toolkit/core/Conversion.h"
#include "toolkit/core/Rounding.h"
#include "toolkit/graphics/Text.h"

namespace vel {
namespace {

constexpr int kPenFrame = 2;
constexpr int kPenReduced = 3;
constexpr float kLabelHeight = 0.15f;
constexpr float kSearchStart = 1e30f;

struct Line {
  float a = 0.0f, b = 1.0f, r = 0.0f;
};

// Least-squares line over the COUNT points of the work arrays from FIRST.
Line Fit(const RefractionGraph& g, std::int32_t first, std::int32_t count) {
  Line l;
  const auto f = static_cast<std::size_t>(first);
  const auto n = static_cast<std::size_t>(count);
  sup::REGRES(std::span<const float>(g.X).subspan(f, n), std::span<const float>(g.T).subspan(f, n),
              count, l.a, l.b, l.r);
  return l;
}

// The depth of the refractor, or 0 after the message when the velocities
// give none: both must be finite and 0 < V1 < V2.
float Depth(float v1, float v2, float ti) {
  if (!(std::isfinite(v1) && std::isfinite(v2) && v1 > 0.0f && v2 > v1)) {
    sup::WINMSG(kRefractionDepthMessage);
    return 0.0f;
  }
  return v1 * 0.0005f * v2 * ti / std::sqrt(v2 * v2 - v1 * v1);
}

}  // namespace

bool InterpretRefraction(const ShotRecord& REC, std::int32_t& NDIRECT, float& V1, float& V2,
                         float& DEPTH, float& TI, RefractionGraph& graph) {
  const std::int32_t n = REC.NTRACE;
  if (n < 1 || REC.GEOLOC.size() < static_cast<std::size_t>(n) ||
      REC.IBPICK.size() < static_cast<std::size_t>(n)) {
    sup::WINMSG(kRefractionFewTracesMessage);
    return false;
  }
  const float g1 = REC.GEOLOC.front();
  const float gn = REC.GEOLOC[static_cast<std::size_t>(n - 1)];
  const float sx = REC.SHOTX;
  if (!((sx > g1 && sx > gn) || (sx < g1 && sx < gn))) {
    sup::WINMSG(kRefractionInteriorMessage);
    return false;
  }
  // With fewer than three traces there is no split to search, nor a
  // refracted branch of its own.
  if (n < 3) {
    sup::WINMSG(kRefractionFewTracesMessage);
    return false;
  }

  RefractionGraph g;
  const auto points = static_cast<std::size_t>(n) + 1;
  g.points = n + 1;
  g.X.assign(points, 0.0f);
  g.T.assign(points, 0.0f);
  g.FIT.assign(points, 0.0f);
  g.RED.assign(points, 0.0f);
  const bool fromFirst = std::fabs(sx - g1) <= std::fabs(sx - gn);
  for (std::int32_t k = 1; k <= n; ++k) {
    const auto j = static_cast<std::size_t>(fromFirst ? k - 1 : n - k);
    g.X[static_cast<std::size_t>(k)] = std::fabs(sx - REC.GEOLOC[j]);
    g.T[static_cast<std::size_t>(k)] =
        static_cast<float>(REC.IBPICK[j]) * REC.SAMPINT + REC.TDELAY;
  }

  std::int32_t count = NDIRECT;
  float v1 = V1, v2 = V2, ti = TI;
  if (count < 1 || count > n) {
    float best = kSearchStart;
    count = 0;
    for (std::int32_t m = 2; m <= n - 1; ++m) {
      const Line direct = Fit(g, 0, m);
      const Line refracted = Fit(g, m - 1, n - m + 2);
      const float misfit = static_cast<float>(m) * direct.r +
                           static_cast<float>(n - m + 2) * refracted.r;
      if (misfit <= best) {  // a later split wins a tie
        best = misfit;
        count = m;
        v1 = 1000.0f / direct.b;
        v2 = 1000.0f / refracted.b;
        ti = refracted.a;
      }
    }
    if (count == 0) {  // every misfit was not a number
      sup::WINMSG(kRefractionNoFitMessage);
      return false;
    }
  }
  const float depth = Depth(v1, v2, ti);

  const Line direct = Fit(g, 0, count);
  const Line refracted = Fit(g, count - 1, n - count + 2);
  for (std::int32_t k = 1; k <= n; ++k) {
    const Line& l = k + 1 < count ? direct : refracted;
    const auto i = static_cast<std::size_t>(k);
    g.FIT[i] = l.a + l.b * g.X[i];
    g.RED[i] = g.T[i] - l.b * g.X[i];
  }

  sup::GraphAxes& a = g.axes;
  SCALERX(a, g.X, g.points);
  SCALERY(a, g.T, g.FIT, g.RED, g.points);
  a.NXDIV = std::max(a.NXDIV, 1);
  a.NYDIV = std::max(a.NYDIV, 1);
  a.XCELL = 8.0f / static_cast<float>(a.NXDIV);
  a.YCELL = 6.0f / static_cast<float>(a.NYDIV);
  a.XORIGIN = 1.75f;
  a.YORIGIN = 1.25f;
  a.LBOTTOM = a.LLEFT = a.LRIGHT = true;
  sup::FINDASX(a);
  sup::FINDASY(a);

  NDIRECT = count;
  V1 = v1;
  V2 = v2;
  TI = ti;
  DEPTH = depth;
  graph = std::move(g);
  return true;
}

void SCALERX(sup::GraphAxes& AXES, std::span<const float> X, std::int32_t N) {
  float lo = kSearchStart, hi = -kSearchStart;
  sup::FINDNX(X, N, lo, hi);
  sup::LINNX(lo, hi, AXES.XSTART, AXES.XSTEP, AXES.NXDIV, AXES.NXMINOR);
  AXES.LXLOG = false;
}

void SCALERY(sup::GraphAxes& AXES, std::span<const float> T, std::span<const float> FIT,
             std::span<const float> RED, std::int32_t N) {
  float lo = kSearchStart, hi = -kSearchStart;
  sup::FINDNX(FIT, N, lo, hi);
  if (lo < 0.0f) lo = 0.0f;
  sup::FINDNX(T, N, lo, hi);
  sup::FINDNX(RED, N, lo, hi);
  sup::LINNX(lo, hi, AXES.YSTART, AXES.YSTEP, AXES.NYDIV, AXES.NYMINOR);
  const float range = static_cast<float>(AXES.NYDIV) * AXES.YSTEP;
  while (AXES.NYDIV > 5) {
    AXES.YSTEP *= 2.0f;
    AXES.NYDIV /= 2;
    if (static_cast<float>(AXES.NYDIV) * AXES.YSTEP < range) AXES.NYDIV += 1;
  }
  AXES.LYLOG = false;
}

void PLOTTVSX(sup::GraphAxes& AXES, std::span<const float> T, std::span<const float> X,
              std::span<const float> FIT, std::span<const float> RED, std::int32_t N,
              std::span<const float> V, std::span<const float> DEPTH, std::span<const float> TI,
              std::int32_t NL) {
  const float h0 = kLabelHeight;
  AXES.LTICKCAP = true;
  AXES.TICKCAP = 0.12f;
  sup::PLOTXY(AXES.XORIGIN, AXES.YORIGIN, -3, AXES);
  tk::IGrTextStyle(1);
  tk::IGrTextMode("F");
  sup::SET_PEN(kPenFrame);
  sup::GNGRID(AXES);
  sup::FINDASX(AXES);
  sup::FINDASY(AXES);

  const float width = static_cast<float>(AXES.NXDIV) * AXES.XCELL;
  const float height = static_cast<float>(AXES.NYDIV) * AXES.YCELL;
  constexpr std::string_view kTimeLabel = "Travel Time (ms)";
  constexpr std::string_view kDistanceLabel = "Distance (m)";
  const int timeLength = static_cast<int>(kTimeLabel.size());
  if (AXES.LLEFT)
    sup::CENTSY(AXES.XDRAWNMIN - 0.225f, height * 0.5f, h0, kTimeLabel, 90.0f, timeLength);
  if (AXES.LRIGHT)
    sup::CENTSY(AXES.XDRAWNMAX + 2.5f * h0, height * 0.5f, h0, kTimeLabel, 90.0f, timeLength);
  if (AXES.LBOTTOM)
    sup::CENTSY(width * 0.5f, AXES.LABELBOTTOM - 1.5f * h0, h0, kDistanceLabel, 0.0f,
                static_cast<int>(kDistanceLabel.size()));

  sup::SET_PEN(kPenFrame);
  sup::GNPLOT(X, T, N, true, AXES);
  sup::GNPLOT(X, FIT, N, false, AXES);

  const float h = 2.0f * h0;
  const float left = h;
  const float right = 0.2f * width + h;
  float y = height - 1.5f * h;
  const auto last = static_cast<std::size_t>(std::max(N, 1) - 1);
  const bool haveLast = N >= 1 && last < X.size() && last < FIT.size();
  for (std::int32_t i = 1; i <= NL && static_cast<std::size_t>(i) <= V.size(); ++i) {
    const auto k = static_cast<std::size_t>(i - 1);
    std::string text = "V" + std::to_string(i % 10) + ": " +
                       tk::FormatIntegerField(tk::NearestInt(V[k]), "(I7)");
    sup::SYMBOL(left, y, h, text, 0.0f, static_cast<int>(text.size()));
    if (i == NL) break;
    if (NL == 2 && haveLast && k < TI.size()) {
      const float bx[] = {0.0f, X[last]};
      const float by[] = {TI[k], FIT[last]};
      sup::GNPLOT(bx, by, 2, false, AXES);
    }
    if (k < DEPTH.size()) {
      text = "D" + std::to_string(i % 10) + ": " + tk::FormatRealField(DEPTH[k], "(F8.1)");
      sup::SYMBOL(right, y, h, text, 0.0f, static_cast<int>(text.size()));
    }
    y -= 1.5f * h;
  }

  y -= 1.5f * h;
  sup::SET_PEN(kPenReduced);
  const std::int32_t marker = AXES.IMARKER;
  AXES.IMARKER = 2;
  sup::GNPLOT(X, RED, N, true, AXES);
  AXES.IMARKER = marker;
  constexpr std::string_view kReduced = "Reduced: t-x/v";
  sup::SYMBOL(left, y, h, kReduced, 0.0f, static_cast<int>(kReduced.size()));
}

void PlotRefractionGraph(RefractionGraph& graph, const RefractionResult& result) {
  const float v[] = {result.v1, result.v2};
  const float depth[] = {result.depth};
  const float ti[] = {result.intercept};
  PLOTTVSX(graph.axes, graph.T, graph.X, graph.FIT, graph.RED, graph.points, v, depth, ti, 2);
}

}  // namespace vel
