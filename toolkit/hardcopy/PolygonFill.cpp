#include "toolkit/hardcopy/PolygonFill.h"

#include <algorithm>
#include <cmath>

#include "toolkit/core/Errors.h"
#include "toolkit/graphics/Drivers.h"
#include "toolkit/graphics/Fills.h"
#include "toolkit/graphics/ScreenDriver.h"

namespace tk {

void GradientPolygonBuffer::Resize(int n) {
  count = std::max(n, 0);
  const auto size = static_cast<std::size_t>(count);
  x.resize(size, 0);
  y.resize(size, 0);
  colour.resize(size, 0);
  realX.resize(size, 0.0f);
  realY.resize(size, 0.0f);
  triangles.resize(size > 2 ? size - 2 : 0, {0, 0, 0});
  triangleCount = 0;
}

GradientPolygonBuffer& GradientPolygon() {
  static GradientPolygonBuffer buffer;
  return buffer;
}

namespace {

constexpr int kBordersCross = 28;
constexpr double kBoxWiden = 1.1920929E-07;

float WidenLow(float v) { return static_cast<float>(v - std::fabs(static_cast<double>(v)) * kBoxWiden); }
float WidenHigh(float v) { return static_cast<float>(v + std::fabs(static_cast<double>(v)) * kBoxWiden); }

/// The side of P relative to the edge from V towards U: true when the cross
/// product is negative, zero counting as not negative.
bool SideOf(double xp, double yp, double xv, double yv, double xu, double yu) {
  return (xp - xv) * yu - (yp - yv) * xu < (xp - xv) * yv - (yp - yv) * xv;
}

bool Within(double v, double a, double b) { return std::min(a, b) <= v && v <= std::max(a, b); }

}  // namespace

bool PointInEar(float xp, float yp, float xa, float ya, float xb, float yb, float xc, float yc) {
  const float x0 = WidenLow(std::min({xa, xb, xc})), x1 = WidenHigh(std::max({xa, xb, xc}));
  const float y0 = WidenLow(std::min({ya, yb, yc})), y1 = WidenHigh(std::max({ya, yb, yc}));
  if (!(x0 < xp && xp < x1 && y0 < yp && yp < y1)) return false;
  // An edge parallel to an axis that runs through P decides alone.
  struct Edge {
    bool onX;  // the edge's x equals P's x (else its y equals P's y)
    float u1, v1, u2, v2;
  };
  const Edge edges[] = {{true, xa, ya, xb, yb}, {false, xa, ya, xb, yb}, {true, xb, yb, xc, yc},
                        {false, xb, yb, xc, yc}, {true, xa, ya, xc, yc}, {false, xa, ya, xc, yc}};
  for (const Edge& e : edges) {
    if (e.onX && e.u1 == e.u2 && e.u1 == xp) {
      if (Within(yp, e.v1, e.v2)) return true;
      break;
    }
    if (!e.onX && e.v1 == e.v2 && e.v1 == yp) {
      if (Within(xp, e.u1, e.u2)) return true;
      break;
    }
  }
  const double px[] = {xa, xb, xc}, py[] = {ya, yb, yc};
  for (int v = 0; v < 3; ++v) {
    const int u = (v + 1) % 3, w = (v + 2) % 3;
    if (SideOf(xp, yp, px[v], py[v], px[u], py[u]) == SideOf(xp, yp, px[v], py[v], px[w], py[w]))
      return false;
  }
  return true;
}

void YYPolygonDecompose(std::span<const float> X, std::span<const float> Y, int n,
                        std::vector<std::array<std::int32_t, 3>>& triangles,
                        std::int32_t& triangleCount) {
  triangleCount = 0;
  triangles.clear();
  n = std::min({n, static_cast<int>(X.size()), static_cast<int>(Y.size())});
  if (n < 3) return;
  // 1-based views of the points, as the triangles name them.
  const auto x = [&](int i) { return static_cast<double>(X[i - 1]); };
  const auto y = [&](int i) { return static_cast<double>(Y[i - 1]); };
  const auto next = [n](int i) { return i == n ? 1 : i + 1; };
  const auto prev = [n](int i) { return i == 1 ? n : i - 1; };
  const auto same = [&](int i, int j) { return X[i - 1] == X[j - 1] && Y[i - 1] == Y[j - 1]; };
  constexpr int kRemoved = -2, kReflex = -1;
  std::vector<int> state(static_cast<std::size_t>(n) + 1);

  int top = 1;
  for (int i = 2; i <= n; ++i)
    if (Y[i - 1] > Y[top - 1]) top = i;
  int s = top;
  bool lastTry = false;
  for (;;) {
    std::fill(state.begin(), state.end(), 0);
    triangles.clear();
    triangleCount = 0;
    int succ = 0, looked = 0;
    for (int k = s; looked < n - 2;) {
      k = next(k);
      ++looked;
      if (!same(k, s)) {
        succ = k;
        break;
      }
    }
    if (succ == 0) return;
    int pred = 0;
    for (int k = s, m = 0; m < n - 1 - looked; ++m) {
      k = prev(k);
      if (!same(k, s)) {
        pred = k;
        break;
      }
    }
    if (pred == 0) return;
    const bool clockwise =
        (y(s) - y(pred)) * (x(succ) - x(s)) > (x(s) - x(pred)) * (y(succ) - y(s));

    int a = s, b = succ, remaining = n, tries = n;
    bool complete = false;
    for (;;) {
      int c = next(b);
      for (int skips = 0;; ++skips) {
        if (c == a) break;
        bool skip = state[c] == kRemoved;
        if (!skip && same(c, b)) {
          state[c] = kRemoved;
          skip = true;
        }
        if (!skip || skips >= n - 2) break;
        c = next(c);
      }
      if (c == a) {
        complete = true;
        break;
      }
      bool ear = false;
      if (state[b] > 0 && state[state[b]] == kRemoved) state[b] = 0;
      if (state[b] == 0) {
        const bool turnsClockwise =
            (y(b) - y(a)) * (x(c) - x(b)) > (x(b) - x(a)) * (y(c) - y(b));
        if (turnsClockwise != clockwise) {
          state[b] = kReflex;
        } else {
          ear = true;
          for (int k = next(c); k != a; k = next(k)) {
            if (PointInEar(X[k - 1], Y[k - 1], X[a - 1], Y[a - 1], X[b - 1], Y[b - 1], X[c - 1],
                           Y[c - 1])) {
              state[b] = k;
              ear = false;
              break;
            }
          }
        }
      }
      if (ear) {
        triangles.push_back({a, b, c});
        ++triangleCount;
        state[b] = kRemoved;
        state[a] = 0;
        state[c] = 0;
        if (--remaining == 0) {
          complete = true;
          break;
        }
        b = c;
        tries = n;
      } else {
        a = b;
        b = c;
        if (--tries == 0) break;
      }
    }
    if (complete) return;
    if (lastTry) {
      ReportLibraryError(kBordersCross, "YYPolygonDecompose");
      return;
    }
    s = next(s);
    if (s == top) lastTry = true;
  }
}

namespace {

struct Rgb {
  int r, g, b;
};
Rgb Split(std::int32_t c) { return {c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF}; }
std::int32_t Pack(int r, int g, int b) { return r + 256 * g + 65536 * b; }

/// Removes vertex I (0-based) from every list of the buffer.
void DropVertex(GradientPolygonBuffer& buf, int i) {
  const auto erase = [i](auto& v) { v.erase(v.begin() + i); };
  erase(buf.x);
  erase(buf.y);
  erase(buf.colour);
  erase(buf.realX);
  erase(buf.realY);
  --buf.count;
}

}  // namespace

void PolygonFill(int mode, int clipLeft, int clipBottom, int clipRight, int clipTop,
                 const SetPixelRoutine& setPixel, const TriangleListRoutine& triangleList) {
  GradientPolygonBuffer& buf = GradientPolygon();
  buf.triangleCount = 0;
  // Runs of coincident consecutive vertices become their last member with
  // the run's mean colour.
  int runLength = 1;
  Rgb sum{};
  int i = 0;
  while (i < buf.count - 1) {
    if (buf.x[i] == buf.x[i + 1] && buf.y[i] == buf.y[i + 1]) {
      if (buf.count == 3) return;
      if (runLength == 1) sum = Split(buf.colour[i]);
      const Rgb c = Split(buf.colour[i + 1]);
      sum = {sum.r + c.r, sum.g + c.g, sum.b + c.b};
      ++runLength;
      DropVertex(buf, i);
      continue;
    }
    if (runLength > 1) buf.colour[i] = Pack(sum.r / runLength, sum.g / runLength, sum.b / runLength);
    runLength = 1;
    ++i;
  }
  if (runLength > 1 && i < buf.count)
    buf.colour[i] = Pack(sum.r / runLength, sum.g / runLength, sum.b / runLength);
  if (buf.count < 3) return;
  const int last = buf.count - 1;
  if (buf.x[0] == buf.x[last] && buf.y[0] == buf.y[last]) {
    if (buf.count == 3) return;
    const Rgb c1 = Split(buf.colour[0]), cn = Split(buf.colour[last]);
    buf.colour[0] = Pack((c1.r + cn.r) / 2, (c1.g + cn.g) / 2, (c1.b + cn.b) / 2);
    DropVertex(buf, last);
  }
  if (buf.count == 3) {
    buf.triangles.assign(1, {1, 2, 3});
    buf.triangleCount = 1;
  } else {
    YYPolygonDecompose(buf.realX, buf.realY, buf.count, buf.triangles, buf.triangleCount);
    if (buf.triangleCount == 0) return;
  }
  const std::span<const std::array<std::int32_t, 3>> list(buf.triangles.data(),
                                                          static_cast<std::size_t>(buf.triangleCount));
  if (mode == 2 && triangleList) {
    int pixelPass = 1;
    triangleList(buf.x, buf.y, buf.colour, list, buf.count, buf.triangleCount, pixelPass);
    if (pixelPass == 0) return;
  }
  if (!setPixel) return;
  for (const auto& t : list) ShadedTriangleFill(t, clipLeft, clipBottom, clipRight, clipTop, setPixel);
}

void ShadedTriangleFill(const std::array<std::int32_t, 3>& t, int clipLeft, int clipBottom,
                        int clipRight, int clipTop, const SetPixelRoutine& setPixel) {
  const GradientPolygonBuffer& buf = GradientPolygon();
  for (int v : t)
    if (v < 1 || v > buf.count) return;
  const int px[3] = {buf.x[t[0] - 1], buf.x[t[1] - 1], buf.x[t[2] - 1]};
  const int py[3] = {buf.y[t[0] - 1], buf.y[t[1] - 1], buf.y[t[2] - 1]};
  int ymin = std::min({py[0], py[1], py[2]}), ymax = std::max({py[0], py[1], py[2]});
  if (ymin > clipTop || ymax < clipBottom) return;
  ymin = std::max(ymin, clipBottom);
  ymax = std::min(ymax, clipTop);
  struct Colour {
    float r, g, b;
  };
  Colour pc[3];
  for (int k = 0; k < 3; ++k) {
    const Rgb c = Split(buf.colour[t[k] - 1]);
    pc[k] = {c.r / 255.0f, c.g / 255.0f, c.b / 255.0f};
  }
  constexpr int kEdges[3][2] = {{2, 0}, {0, 1}, {1, 2}};
  for (int y = ymin; y <= ymax; ++y) {
    int left = clipRight + 1, right = clipLeft - 1;
    Colour cl{}, cr{};
    for (const auto& e : kEdges) {
      const int p = e[0], q = e[1];
      if (py[p] == py[q]) continue;
      if (y < std::min(py[p], py[q]) || y > std::max(py[p], py[q])) continue;
      const float tt = static_cast<float>(y - py[p]) / static_cast<float>(py[q] - py[p]);
      const int x = static_cast<int>(px[p] * (1 - tt) + px[q] * tt + 0.5f);
      const Colour c{(1 - tt) * pc[p].r + tt * pc[q].r, (1 - tt) * pc[p].g + tt * pc[q].g,
                     (1 - tt) * pc[p].b + tt * pc[q].b};
      if (x < left) left = x, cl = c;
      if (x > right) right = x, cr = c;
    }
    if (left > clipRight || right < clipLeft) continue;
    Colour step{0, 0, 0};
    if (left < right) {
      const float span = static_cast<float>(right - left);
      step = {(cr.r - cl.r) / span, (cr.g - cl.g) / span, (cr.b - cl.b) / span};
    }
    const int x0 = std::max(left, clipLeft), x1 = std::min(right, clipRight);
    const float lead = static_cast<float>(x0 - left);
    Colour c{cl.r + step.r * lead, cl.g + step.g * lead, cl.b + step.b * lead};
    for (int x = x0; x <= x1; ++x) {
      setPixel(x, y,
               Pack(static_cast<int>(c.r * 255.99f), static_cast<int>(c.g * 255.99f),
                    static_cast<int>(c.b * 255.99f)));
      c = {c.r + step.r, c.g + step.g, c.b + step.b};
    }
  }
}

void InstallPolygonSeams() {
  SetPolygonDecomposer([](std::span<const float> x, std::span<const float> y, int n) {
    std::vector<std::array<std::int32_t, 3>> triangles;
    std::int32_t count = 0;
    YYPolygonDecompose(x, y, n, triangles, count);
    return std::vector<std::array<int, 3>>(triangles.begin(), triangles.begin() + count);
  });
  ScreenSeams().softwareFill = [](std::span<const int> xs, std::span<const int> ys, plat::Rect clip,
                                  int gradient, const ScreenDriverSeams::SetPixelFn& setPixel,
                                  const ScreenDriverSeams::GradientFn& gradientTriangles) {
    GradientPolygonBuffer& buf = GradientPolygon();
    const DriverParameters& dp = DriverParams();
    const int n = static_cast<int>(std::min(xs.size(), ys.size()));
    buf.Resize(n);  // the sender's colours stay
    for (int i = 0; i < n; ++i) {
      buf.x[i] = xs[i];
      buf.y[i] = ys[i];
      buf.realX[i] = dp.pointX[i];
      buf.realY[i] = dp.pointY[i];
    }
    const TriangleListRoutine list = [&gradientTriangles](
                                         std::span<const std::int32_t> x,
                                         std::span<const std::int32_t> y,
                                         std::span<const std::int32_t> colour,
                                         std::span<const std::array<std::int32_t, 3>> triangles, int,
                                         int, int& pixelPass) {
      pixelPass = gradientTriangles ? gradientTriangles(x, y, colour, triangles) : 1;
    };
    PolygonFill(gradient, clip.left, std::min(clip.top, clip.bottom), clip.right,
                std::max(clip.top, clip.bottom), setPixel, list);
  };
}

}  // namespace tk
