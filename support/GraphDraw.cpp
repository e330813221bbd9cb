#include "support/GraphDraw.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "platform/FixedText.h"
#include "support/Numerics.h"
#include "support/PenPlot.h"
#include "support/ProgramState.h"
#include "support/Strings.h"
#include "toolkit/core/Conversion.h"
#include "toolkit/graphics/Graphics.h"

namespace sup {
namespace {

struct ClipState {
  float xmin = 0, xmax = 0, ymin = 0, ymax = 0;
  bool on = false;
  bool noWindow = false;
  float lastX = 0, lastY = 0;
  bool lastInside = false;
};

ClipState& Clip() {
  static ClipState c;
  return c;
}
const bool kRegistered = RegisterProgramReset(ProgramLayer::Support, [] { Clip() = ClipState{}; });

/// The shortest dash or gap DS_PLOTPL uses, so that its loop has a bound.
constexpr float kShortestDash = 1e-4f;

void Move(float x, float y, GraphAxes& a) {
  PLOTXY(x, y, kPenMove, a);
}
void Draw(float x, float y, GraphAxes& a) {
  PLOTXY(x, y, kPenDraw, a);
}
void Line(float x1, float y1, float x2, float y2, GraphAxes& a) {
  Move(x1, y1, a);
  Draw(x2, y2, a);
}

float Sign(float v) {
  return v < 0 ? -1.0f : 1.0f;
}

/// An axis label: MAKNUM with D decimals (below 0 as 0), trailing zeros and
/// then a trailing point removed. N receives the length.
std::string AxisLabel(float value, int d, int& n) {
  std::string label;
  n = std::max(d, 0);
  MAKNUM(value, label, 20, n);
  while (!label.empty() && label.back() == '0' && label.find('.') != std::string::npos)
    label.pop_back();
  if (!label.empty() && label.back() == '.') label.pop_back();
  n = static_cast<int>(label.size());
  return label;
}

/// Value and decimals of label J of a linear or geometric axis; MILLI set
/// when the value is shown in thousandths.
float LinearLabelValue(float start, float step, int j, bool geometric, bool horizontal, int& d,
                       bool& milli) {
  double v = geometric ? start * std::pow(static_cast<double>(step), j)
                       : static_cast<double>(start) + j * static_cast<double>(step);
  // Sums such as -0.3 + 3 * 0.1 leave a rounding remainder where 0 is meant.
  if (!geometric && std::fabs(v) < 1e-5 * std::fabs(static_cast<double>(step))) v = 0;
  const float value = static_cast<float>(v);
  d = JSIG(value);
  if (!geometric && start != 0 && std::fabs(step / start) < 100) ++d;
  milli = horizontal && value != 0 && !LNLYEQ(value, 0.0f) && std::fabs(value) < 0.01f;
  return milli ? value * 1000.0f : value;
}

/// Text of the plain decade label 10^e, -3 <= e <= 3.
std::string DecadeLabel(int e, int& n) {
  const float v = static_cast<float>(std::pow(10.0, e));
  n = e < 0 ? -e : JSIG(v);
  std::string s;
  MAKNUM(v, s, 20, n);
  return s;
}

bool Inside(float x, float y, float xmin, float xmax, float ymin, float ymax) {
  return xmin <= x && x <= xmax && ymin <= y && y <= ymax;
}

/// One limit of CLIPLN on coordinate U (V the other): LOWER keeps U >= LIM,
/// else U <= LIM. False when the segment lies wholly beyond it.
bool Clip2(float& u1, float& v1, float& u2, float& v2, float lim, bool lower) {
  // Against a lower limit a segment wholly below it goes; against an upper
  // limit one lying wholly at or above it.
  if (lower ? (u1 < lim && u2 < lim) : (u1 >= lim && u2 >= lim)) return false;
  const bool out1 = lower ? u1 < lim : u1 > lim;
  const bool out2 = lower ? u2 < lim : u2 > lim;
  if (out1 != out2) {
    const float v = v1 + (lim - u1) / (u2 - u1) * (v2 - v1);
    if (out1) {
      u1 = lim;
      v1 = v;
    } else {
      u2 = lim;
      v2 = v;
    }
  }
  return true;
}

}  // namespace

int JSIG(float V) {
  const float a = std::fabs(V);
  if (V == 0 || std::trunc(a + 0.00001f) == a) return -1;
  if (a >= 100) return 0;
  if (a >= 10) return 1;
  if (a >= 1) return 2;
  return 3;
}

void MAKNUM(float V, std::string& STR, int NW, int& NDEC) {
  if (NDEC > 9) NDEC = 9;
  const bool noPoint = NDEC < 0;
  const int d = std::max(NDEC, 0);
  const std::string format = "(F48." + std::to_string(d) + ")";
  const std::string field = "  " + tk::FormatRealField(V, format);
  int pos = 1;
  std::string word(static_cast<std::size_t>(std::max(NW, 0)), ' ');
  NXTWRD(field, static_cast<int>(field.size()), pos, word, NW);
  int used = static_cast<int>(plat::TrimRight(word).size());
  if (noPoint && used > 0) --used;
  STR = word.substr(0, static_cast<std::size_t>(used));
  NDEC = used;
}

void NUMBER(float X, float Y, float H, float V, float ANG, int NDEC) {
  std::string s;
  int n = NDEC;
  MAKNUM(V, s, 20, n);
  SYMBOL(X, Y, H, s, ANG, n);
}

void LNHAX(float X0, float Y0, float T, float START, float STEP, float CELL, float H, int NMINOR,
           int NDIV, GraphAxes& AXES) {
  AXES.LABELBOTTOM = 1e30f;
  const bool geometric = NMINOR <= 0;
  int every = 1;
  float longest = 0;
  for (int pass = 1; pass <= 2; ++pass) {
    for (int j = 0; j <= NDIV; ++j) {
      const float x = X0 + static_cast<float>(j) * CELL;
      Line(x, Y0, x, Y0 - T, AXES);
      int d = 0;
      bool milli = false;
      const float value = LinearLabelValue(START, STEP, j, geometric, true, d, milli);
      int n = 0;
      std::string label = AxisLabel(value, d, n);
      if (milli) {
        label += 'm';
        ++n;
      }
      const float lx = x - static_cast<float>(n) * 0.43f * H;
      const float ly = Y0 - T - 2.7f * H;
      AXES.LABELBOTTOM = std::min(AXES.LABELBOTTOM, ly);
      if (pass == 1) {
        longest = std::max(longest, static_cast<float>(n) * 1.5f * H);
        continue;
      }
      bool shown = j % every == 0;
      if (geometric && NDIV > 9 && j % 2 != 0) shown = false;
      if (shown) SYMBOL(lx, ly, 1.5f * H, label, 0, n);
      if (NMINOR >= 1 && j < NDIV) {
        for (int k = 1; k <= NMINOR; ++k) {
          const float xm = x + CELL * static_cast<float>(k) / static_cast<float>(NMINOR);
          Line(xm, Y0, xm, Y0 - T / 2, AXES);
        }
      }
    }
    if (pass == 1) {
      if (longest > CELL && CELL > 0) every = static_cast<int>(longest / CELL) + 1;
      if (geometric && NDIV > 9) every = std::max(every, 2);
    }
  }
}

void LNVAX(float X0, float Y0, float T, float START, float STEP, float CELL, float H, int NMINOR,
           int NDIV, GraphAxes& AXES) {
  const bool geometric = NMINOR <= 0;
  for (int j = 0; j <= NDIV; ++j) {
    const float y = Y0 + static_cast<float>(j) * CELL;
    Line(X0, y, X0 - T, y, AXES);
    int d = 0;
    bool milli = false;
    const float value = LinearLabelValue(START, STEP, j, geometric, false, d, milli);
    float ly = y;
    if (j == 0) ly += 0.75f * H * Sign(CELL);
    if (j == NDIV) ly -= 0.75f * H * Sign(CELL);
    int n = 0;
    const std::string label = AxisLabel(value, d, n);
    if (T > 0) {
      const float x = X0 - T - 0.1f * H;
      SYMBOR(x, ly, 1.5f * H, label, 0, n);
      AXES.XDRAWNMIN = std::min(AXES.XDRAWNMIN, x - 0.6f * H * static_cast<float>(n) - 0.5f * H);
    } else {
      const float x = X0 - T + 0.1f * H;
      SYMBOL(x, ly - 0.75f * H, 1.5f * H, label, 0, n);
      AXES.XDRAWNMAX = std::max(AXES.XDRAWNMAX, x + 0.6f * H * static_cast<float>(n) + 0.5f * H);
    }
    if (NMINOR >= 1 && j < NDIV) {
      for (int k = 1; k <= NMINOR; ++k) {
        const float ym = y + CELL * static_cast<float>(k) / static_cast<float>(NMINOR);
        Line(X0, ym, X0 - T / 2, ym, AXES);
      }
    }
  }
}

void LGHAX(float Y0, float T, int E0, int NDIV, float CELL, float H, GraphAxes& AXES) {
  AXES.LABELBOTTOM = 1e30f;
  for (int j = 0; j <= NDIV; ++j) {
    const int e = E0 + j;
    const float x = static_cast<float>(j) * CELL;
    Line(x, Y0, x, Y0 - T, AXES);
    if (j < NDIV) {
      for (int k = 2; k <= 9; ++k) {
        const float xm = x + std::log10(static_cast<float>(k)) * CELL;
        Line(xm, Y0, xm, Y0 - T / 2, AXES);
      }
    }
    if (e >= -3 && e <= 3) {
      int n = 0;
      const std::string label = DecadeLabel(e, n);
      float lx = x;
      if (j == 0) lx += 0.43f * H * static_cast<float>(n);
      if (j == NDIV) lx -= 0.43f * H * static_cast<float>(n);
      const float ly = Y0 - T / 2 - 3.9f * H;
      CENTSY(lx, ly, 1.3f * H, label, 0, n);
      AXES.LABELBOTTOM = std::min(AXES.LABELBOTTOM, ly);
    } else {
      float ex = x;
      if (j == 0) ex += 3.1f * H;
      if (j == NDIV) ex -= 0.6f * H;
      const float ey = Y0 - T / 2 - 2 * H;
      NUMBER(ex, ey, H, static_cast<float>(e), 0, -1);
      SYMBOL(ex - 2 * H, ey - 2.1f * H, 1.5f * H, "10", 0, 2);
      AXES.LABELBOTTOM = std::min(AXES.LABELBOTTOM, ey - 2.1f * H);
    }
  }
}

void LGVAX(float X0, float T, int E0, int NDIV, float CELL, float H, GraphAxes& AXES) {
  for (int j = 0; j <= NDIV; ++j) {
    const int e = E0 + j;
    const float y = static_cast<float>(j) * CELL;
    Line(X0, y, X0 - T, y, AXES);
    if (j < NDIV) {
      for (int k = 2; k <= 9; ++k) {
        const float ym = y + std::log10(static_cast<float>(k)) * CELL;
        Line(X0, ym, X0 - T / 2, ym, AXES);
      }
    }
    if (e >= -3 && e <= 3) {
      int n = 0;
      const std::string label = DecadeLabel(e, n);
      float ly = y;
      if (j == 0) ly += 0.9375f * H * Sign(CELL);
      if (j == NDIV) ly -= 0.9375f * H * Sign(CELL);
      if (T > 0)
        SYMBOR(X0 - T - 0.1f * H, ly, 1.3f * H, label, 0, n);
      else
        SYMBOL(X0 - T + H, ly, 1.3f * H, label, 0, n);
    } else {
      float ex = T > 0 ? X0 - T - H : X0 - T + 1.5f * H;
      if (e < 0 || e >= 10) ex -= 0.25f * H;
      float ey = y;
      if (j == 0) ey += 1.1f * H * Sign(CELL);
      if (j == NDIV) ey -= 0.47f * H * Sign(CELL);
      NUMBER(ex, ey, 0.75f * H, static_cast<float>(e), 0, -1);
      SYMBOL(ex - 0.9f * H, ey - 1.1f * H, H, "10", 0, 2);
    }
  }
}

void GNGRID(GraphAxes& AXES) {
  const bool outerOnly = AXES.NYDIV < 0;
  const bool hlines = AXES.NXDIV > 0;
  AXES.NXDIV = std::abs(AXES.NXDIV);
  AXES.NYDIV = std::abs(AXES.NYDIV);
  const int nx = AXES.NXDIV;
  const int ny = AXES.NYDIV;
  const float W = static_cast<float>(nx) * std::fabs(AXES.XCELL);
  const float H = static_cast<float>(ny) * std::fabs(AXES.YCELL);
  const bool thin = (W <= 12 && H <= 7) || AXES.LTHIN;
  const float x0 = AXES.XCELL < 0 ? static_cast<float>(nx) * AXES.XCELL : 0.0f;
  const float y0 = AXES.YCELL < 0 ? static_cast<float>(ny) * AXES.YCELL : 0.0f;

  float t = 0.035f * std::sqrt(W * H);
  if (AXES.LTICKCAP && t > AXES.TICKCAP) t = AXES.TICKCAP;
  if ((AXES.LBOTTOM || AXES.LTOP) && t > std::fabs(0.2f * AXES.XCELL))
    t = std::fabs(0.2f * AXES.XCELL);
  if (t > std::fabs(0.2f * AXES.YCELL)) t = std::fabs(0.2f * AXES.YCELL);
  if (t < 0.1f) t = 0.12f;
  const float h = t;

  for (int i = 1; i <= nx + 1; ++i) {
    const float x = x0 + static_cast<float>(i - 1) * std::fabs(AXES.XCELL);
    float ya = y0 + H - t, yb = y0 + H;  // inner: a tick hanging from the top edge
    if (i == 1) ya = y0;
    if (i == nx + 1) {
      ya = y0 + H;
      yb = y0;
    }
    Line(x, ya, x, yb, AXES);
    if (!thin) Line(x + 0.01f, ya, x + 0.01f, yb, AXES);
    AXES.XDRAWNMIN = std::min(AXES.XDRAWNMIN, x);
    AXES.XDRAWNMAX = std::max(AXES.XDRAWNMAX, x);
  }
  if (hlines) {
    for (int j = 1; j <= ny + 1; ++j) {
      const bool edge = j == 1 || j == ny + 1;
      if (outerOnly && !edge) continue;
      const float y = y0 + static_cast<float>(j - 1) * std::fabs(AXES.YCELL);
      float xa = x0 + W - t, xb = x0 + W;  // inner: a tick at the right edge
      if (j == 1) xa = x0;
      if (j == ny + 1) {
        xa = x0 + W;
        xb = x0;
      }
      Line(xa, y, xb, y, AXES);
      if (!thin) Line(xa, y + 0.01f, xb, y + 0.01f, AXES);
    }
  }
  if (AXES.LBOTTOM) {
    if (AXES.XSTEP != 0)
      LNHAX(0, y0, t, AXES.XSTART, AXES.XSTEP, AXES.XCELL, h, AXES.NXMINOR, nx, AXES);
    else
      LGHAX(y0, t, AXES.NXMINOR, nx, AXES.XCELL, h, AXES);
  }
  const float left = AXES.XCELL <= 0 ? static_cast<float>(nx) * AXES.XCELL : 0.0f;
  const float right = AXES.XCELL <= 0 ? 0.0f : static_cast<float>(nx) * AXES.XCELL;
  auto vertical = [&](float x, float tick) {
    if (AXES.YSTEP != 0)
      LNVAX(x, 0, tick, AXES.YSTART, AXES.YSTEP, AXES.YCELL, h, AXES.NYMINOR, ny, AXES);
    else
      LGVAX(x, tick, AXES.NYMINOR, ny, AXES.YCELL, h, AXES);
  };
  if (AXES.LLEFT) {
    vertical(left, t);
    if (outerOnly) vertical(right, -t);
  }
  if (AXES.LRIGHT) vertical(right, -t);
}

void BOX(float X, float Y, float W, float H, bool ALT, GraphAxes& AXES) {
  auto square = [&] {
    Move(X - W, Y - H, AXES);
    Draw(X + W, Y - H, AXES);
    Draw(X + W, Y + H, AXES);
    Draw(X - W, Y + H, AXES);
    Draw(X - W, Y - H, AXES);
  };
  auto diamond = [&] {
    Move(X - W, Y, AXES);
    Draw(X, Y - H, AXES);
    Draw(X + W, Y, AXES);
    Draw(X, Y + H, AXES);
    Draw(X - W, Y, AXES);
  };
  auto plus = [&] {
    Line(X - W, Y, X + W, Y, AXES);
    Line(X, Y - H, X, Y + H, AXES);
  };
  auto cross = [&] {
    Line(X - W, Y + H, X + W, Y - H, AXES);
    Line(X - W, Y - H, X + W, Y + H, AXES);
  };
  auto triangle = [&](float ax, float ay, float bx, float by, float cx, float cy) {
    Move(ax, ay, AXES);
    Draw(bx, by, AXES);
    Draw(cx, cy, AXES);
    Draw(ax, ay, AXES);
  };
  switch (AXES.IMARKER) {
    case 1:
      square();
      break;
    case 2:
      diamond();
      break;
    case 3:
      plus();
      break;
    case 4:
      cross();
      break;
    case 5:
      square();
      cross();
      break;
    case 6:
      diamond();
      square();
      break;
    case 7:
      plus();
      diamond();
      break;
    case 8:
      cross();
      plus();
      break;
    case 9:
      triangle(X - W, Y - H, X + W, Y - H, X, Y + H);
      break;
    case 10:
      triangle(X - W, Y + 2 * H, X + W, Y + 2 * H, X, Y);
      break;
    case 11:
      triangle(X - 2 * W, Y + H, X, Y, X - 2 * W, Y - H);
      break;
    default:
      if (ALT)
        diamond();
      else
        square();
      break;
  }
  Move(X, Y, AXES);
}

void GNPLOT(std::span<const float> X, std::span<const float> Y, int N, bool LSYMB,
            GraphAxes& AXES) {
  const int n =
      static_cast<int>(std::min({X.size(), Y.size(), static_cast<std::size_t>(std::max(N, 0))}));
  const float area = std::fabs((AXES.XCLIPMAX - AXES.XCLIPMIN) * (AXES.YCLIPMAX - AXES.YCLIPMIN));
  const float s = std::min(std::sqrt(area + 1e-30f) * 0.01f, 0.03f);
  PCLIP(AXES.XCLIPMIN, AXES.XCLIPMAX, AXES.YCLIPMIN, AXES.YCLIPMAX);
  int pen = kPenMove;
  const auto i0 = [&](int i) { return X[static_cast<std::size_t>(i)]; };
  for (int i = 0; i < n; ++i) {
    const float x = X[static_cast<std::size_t>(i)];
    const float y = Y[static_cast<std::size_t>(i)];
    if (IsMissing(x) || IsMissing(y)) {
      pen = kPenMove;
      continue;
    }
    const float px = PLOFX(x, AXES);
    const float py = PLOFY(y, AXES);
    if (!LSYMB) {
      PLOTCP(px, py, pen, AXES);
      pen = kPenDraw;
    } else if (!(py < 0.99f * AXES.YCLIPMIN || 0.99f * py > AXES.YCLIPMAX ||
                 px < 0.99f * AXES.XCLIPMIN || 0.99f * px > AXES.XCLIPMAX)) {
      BOX(px, py, s, s, (y < 0 && AXES.LYLOG) || AXES.LMARKALT, AXES);
    }
    if (!AXES.LNOBREAK && i > 0 && i < n - 1) {
      const bool leftwards = i0(n - 1) < i0(0);
      const bool rightwards = i0(n - 1) > i0(0);
      if (leftwards && x < i0(i - 1) && x < i0(i + 1)) pen = kPenMove;
      if (rightwards && x > i0(i - 1) && x > i0(i + 1)) pen = kPenMove;
      if (x == i0(i + 1)) pen = kPenMove;
    }
  }
}

void PCLIP(float XMIN, float XMAX, float YMIN, float YMAX) {
  ClipState& c = Clip();
  c.xmin = XMIN;
  c.xmax = XMAX;
  c.ymin = YMIN;
  c.ymax = YMAX;
  c.on = true;
  c.noWindow = false;
}

void PCLIPOFF() {
  Clip().on = false;
  Clip().noWindow = true;
}

bool PClipOn() {
  return Clip().on;
}

void CLIPLN(float& X1, float& Y1, float& X2, float& Y2, float XMIN, float XMAX, float YMIN,
            float YMAX, bool& L) {
  float x1 = X1, y1 = Y1, x2 = X2, y2 = Y2;
  L = Clip2(x1, y1, x2, y2, XMIN, true) && Clip2(x1, y1, x2, y2, XMAX, false) &&
      Clip2(y1, x1, y2, x2, YMIN, true) && Clip2(y1, x1, y2, x2, YMAX, false);
  if (!L) return;
  X1 = x1;
  Y1 = y1;
  X2 = x2;
  Y2 = y2;
}

void PLOTCP(float X, float Y, int IPEN, GraphAxes& AXES) {
  ClipState& c = Clip();
  if (c.on && (IPEN == kPenDraw || IPEN == kPenMove)) {
    const bool inside = Inside(X, Y, c.xmin, c.xmax, c.ymin, c.ymax);
    if (IPEN == kPenMove) {
      if (inside) Move(X, Y, AXES);
    } else if (inside && c.lastInside) {
      Draw(X, Y, AXES);
    } else {
      float x1 = c.lastX, y1 = c.lastY, x2 = X, y2 = Y;
      bool part = false;
      CLIPLN(x1, y1, x2, y2, c.xmin, c.xmax, c.ymin, c.ymax, part);
      if (part) {
        if (!c.lastInside) Move(x1, y1, AXES);
        Draw(x2, y2, AXES);
      }
    }
    c.lastX = X;
    c.lastY = Y;
    c.lastInside = inside;
    return;
  }
  if (IPEN == kPenStartPage) c.on = false;
  if (IPEN == kPenDraw || IPEN == kPenMove) {
    c.lastX = X;
    c.lastY = Y;
    c.lastInside = true;
  }
  PLOTXY(X, Y, IPEN, AXES);
}

void DS_PLOTPL(std::span<const float> X, std::span<const float> Y, int N, float DASH, float GAP,
               GraphAxes& AXES) {
  const ClipState& c = Clip();
  const int n =
      static_cast<int>(std::min({X.size(), Y.size(), static_cast<std::size_t>(std::max(N, 0))}));
  if (n < 1) return;
  bool window = !c.noWindow;
  float xmin = AXES.XCLIPMIN, xmax = AXES.XCLIPMAX, ymin = AXES.YCLIPMIN, ymax = AXES.YCLIPMAX;
  if (window && c.on) {
    xmin = c.xmin;
    xmax = c.xmax;
    ymin = c.ymin;
    ymax = c.ymax;
  }
  // A dash or gap of no length would never advance along the line.
  const float dash = std::isnan(DASH) ? kShortestDash : std::max(DASH, kShortestDash);
  const float gap = std::isnan(GAP) ? kShortestDash : std::max(GAP, kShortestDash);
  auto draw = [&](float x, float y) {
    if (window && !Inside(x, y, xmin, xmax, ymin, ymax))
      Move(x, y, AXES);
    else
      Draw(x, y, AXES);
  };
  bool inDash = false;  // a gap of no length: the first dash starts at the first point
  float remDash = 0, remGap = 0;
  float px = X[0], py = Y[0];
  for (int i = 1; i < n; ++i) {
    const float qx = X[static_cast<std::size_t>(i)], qy = Y[static_cast<std::size_t>(i)];
    const float dx = qx - px, dy = qy - py;
    float len = std::sqrt(dx * dx + dy * dy + 1e-30f);
    // Two equal points, or no number, end the dashed line.
    if (std::isnan(dx) || std::isnan(dy) || (dx == 0 && dy == 0) || len <= 1e-20f ||
        !std::isfinite(len))
      return;
    const float ux = dx / len, uy = dy / len;
    float x = px, y = py;
    while (len > 0) {
      if (inDash) {
        if (len < remDash) {
          x = qx;
          y = qy;
          remDash -= len;
          len = 0;
          draw(x, y);
        } else {
          Move(x, y, AXES);
          x += ux * remDash;
          y += uy * remDash;
          len -= remDash;
          draw(x, y);
          inDash = false;
          remGap = gap;
        }
      } else if (len < remGap) {
        x = qx;
        y = qy;
        remGap -= len;
        len = 0;
      } else {
        x += ux * remGap;
        y += uy * remGap;
        len -= remGap;
        Move(x, y, AXES);
        inDash = true;
        remDash = dash;
      }
    }
    px = qx;
    py = qy;
  }
}

void GNFILL(float& X1, float& Y1, float& X2, float& Y2, float& W, int ICOL, GraphAxes& AXES) {
  if (AXES.XCLIPMAX > AXES.XCLIPMIN) {
    X1 = std::max(X1, AXES.XCLIPMIN);
    X2 = std::min(X2, AXES.XCLIPMAX);
    if (LNLYEQ(X1, X2)) return;
  }
  if (AXES.YCLIPMAX > AXES.YCLIPMIN) {
    Y1 = std::max(Y1, AXES.YCLIPMIN);
    Y2 = std::min(Y2, AXES.YCLIPMAX);
    if (LNLYEQ(Y1, Y2)) return;
  }
  W = X2 - X1;
  tk::IGrFillStyle(tk::kFillSolid, 1, 1);
  FILL_RECT(X1, Y1, X2, Y2, W, ICOL);
}

void GN_MOVE(float X, float Y, GraphAxes& AXES) {
  PLOTXY(PLOFX(X, AXES), PLOFY(Y, AXES), kPenMove, AXES);
}

void GN_DRAW(float X, float Y, GraphAxes& AXES) {
  PLOTXY(PLOFX(X, AXES), PLOFY(Y, AXES), kPenDraw, AXES);
}

}  // namespace sup
