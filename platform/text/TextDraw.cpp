#include "platform/text/TextDraw.h"

#include <algorithm>
#include <cmath>

namespace plat {
namespace {

// Far enough outside any surface that nothing there is drawn, and far enough
// inside the range of int that the glyph offsets added to it cannot overflow.
constexpr double kFarAway = 1 << 28;

int Floor(double v) {
  return static_cast<int>(std::floor(std::clamp(v, -kFarAway, kFarAway)));
}

Pixel Blend(Pixel under, Pixel over, int coverage) {
  const int keep = 255 - coverage;
  auto mix = [&](int a, int b) { return (b * coverage + a * keep + 127) / 255; };
  return Rgb(mix(RedOf(under), RedOf(over)), mix(GreenOf(under), GreenOf(over)),
             mix(BlueOf(under), BlueOf(over)));
}

// The frame of a run of text: the base-line start B and the unit vectors
// along the base line (ux, uy) and across it, downwards (dx, dy), in surface
// coordinates (y down).
struct Frame {
  double bx, by;
  double ux, uy;
  double dx, dy;
};

// Fills the box of points B + a * u + d * down with a in [a0, a1) and d in
// [d0, d1): every pixel whose centre lies inside. Returns the bounds touched.
Rect FillBox(Surface& s, const Rect& clip, const Frame& f, double a0, double a1, double d0,
             double d1, Pixel colour) {
  if (a1 <= a0 || d1 <= d0) return {};
  double xs[4], ys[4];
  const double as[2] = {a0, a1}, ds[2] = {d0, d1};
  for (int i = 0; i < 4; ++i) {
    xs[i] = f.bx + as[i & 1] * f.ux + ds[i >> 1] * f.dx;
    ys[i] = f.by + as[i & 1] * f.uy + ds[i >> 1] * f.dy;
  }
  Rect box{Floor(*std::min_element(xs, xs + 4)), Floor(*std::min_element(ys, ys + 4)),
           Floor(*std::max_element(xs, xs + 4)) + 1, Floor(*std::max_element(ys, ys + 4)) + 1};
  box = box.Intersect(clip);
  Rect touched{box.right, box.bottom, box.left, box.top};
  for (int y = box.top; y < box.bottom; ++y) {
    Pixel* row = s.Row(y);
    const double ry = y + 0.5 - f.by;
    for (int x = box.left; x < box.right; ++x) {
      const double rx = x + 0.5 - f.bx;
      const double a = rx * f.ux + ry * f.uy;
      const double d = rx * f.dx + ry * f.dy;
      if (a < a0 || a >= a1 || d < d0 || d >= d1) continue;
      row[x] = colour;
      touched = {std::min(touched.left, x), std::min(touched.top, y),
                 std::max(touched.right, x + 1), std::max(touched.bottom, y + 1)};
    }
  }
  return touched.Empty() ? Rect{} : touched;
}

Rect BlitGlyph(Surface& s, const Rect& clip, const GlyphImage& g, int px, int py, Pixel colour,
               bool grey) {
  const Rect where{px + g.left, py + g.top, px + g.left + g.width, py + g.top + g.height};
  const Rect box = where.Intersect(clip);
  if (box.Empty()) return {};
  for (int y = box.top; y < box.bottom; ++y) {
    const std::uint8_t* src =
        g.coverage.data() + static_cast<std::size_t>(y - where.top) * g.width - where.left;
    Pixel* row = s.Row(y);
    for (int x = box.left; x < box.right; ++x) {
      const int cov = src[x];
      if (cov == 0) continue;
      row[x] = (cov == 255 || !grey) ? colour : Blend(row[x], colour, cov);
    }
  }
  return box;
}

}  // namespace

Rect DrawText(Surface& surface, const Font& font, Point at, std::string_view text,
              const TextStyle& style, Rect clip) {
  clip = clip.Intersect(surface.Bounds());
  if (clip.Empty() || text.empty()) return {};
  const TextMetrics& m = font.Metrics();
  const int width = font.TextWidth(text);

  int along = 0;
  if (style.hAlign == TextHAlign::Centre) along = -(width / 2);
  if (style.hAlign == TextHAlign::Right) along = -width;
  int down = 0;
  if (style.vAlign == TextVAlign::Top) down = m.ascent;
  if (style.vAlign == TextVAlign::Bottom) down = -m.descent;

  const double c = font.AngleCos(), s = font.AngleSin();
  Frame f{0, 0, c, -s, s, c};
  f.bx = at.x + along * f.ux + down * f.dx;
  f.by = at.y + along * f.uy + down * f.dy;

  Rect touched{};
  if (style.opaque)
    touched = FillBox(surface, clip, f, 0, width, -m.ascent, m.descent, style.background);

  const bool grey = font.Spec().antialias;
  long long pen = 0;
  for (char ch : text) {
    const auto code = static_cast<unsigned char>(ch);
    const int px = Floor(f.bx + pen * f.ux + 0.5);
    const int py = Floor(f.by + pen * f.uy + 0.5);
    touched = touched.Union(BlitGlyph(surface, clip, font.Glyph(code), px, py, style.colour, grey));
    pen += font.Advance(code);
  }

  if (font.Spec().underline) {
    const int top = font.UnderlineOffset();
    touched = touched.Union(
        FillBox(surface, clip, f, 0, width, top, top + font.UnderlineThickness(), style.colour));
  }
  return touched;
}

}  // namespace plat
