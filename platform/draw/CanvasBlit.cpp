// Block transfers: pattern blits, bit blits and stretched blits.
#include <algorithm>
#include <cstdlib>

#include "platform/draw/Canvas.h"
#include "platform/draw/Raster_p.h"

namespace plat {

namespace {

// The brush pattern's colour at surface pixel (x, y).
Pixel PatternAt(const Canvas::Paint& p, int x, int y) {
  if (!p.pattern) return p.fg;
  const unsigned bits = p.bits[static_cast<unsigned>(y - p.oy) & 7u];
  return (bits & (0x80u >> (static_cast<unsigned>(x - p.ox) & 7u))) ? p.fg : p.bg;
}

}  // namespace

void Canvas::PatBlt(const Rect& r, Rop3 rop) {
  const Paint pat = BrushPaint(brush_);
  const Rect d = ToSurface(r);
  for (const Rect& c : clipRects_) {
    const Rect s = d.Intersect(c);
    for (int y = s.top; y < s.bottom; ++y) {
      Pixel* row = surface_->Row(y);
      for (int x = s.left; x < s.right; ++x)
        row[x] = ApplyRop3(rop, PatternAt(pat, x, y), 0, row[x]);
    }
  }
}

void Canvas::BitBlt(Point dest, int width, int height, const Surface& source, Point src, Rop3 rop) {
  if (width <= 0 || height <= 0) return;
  // Keep to the part of the block whose source pixels exist (64-bit, so no
  // position or size can overflow).
  auto clampInt = [](long long v) {
    return static_cast<int>(std::clamp(v, -(1LL << 30), 1LL << 30));
  };
  const Rect srcRect =
      Rect{clampInt(src.x), clampInt(src.y), clampInt(static_cast<long long>(src.x) + width),
           clampInt(static_cast<long long>(src.y) + height)}
          .Intersect(source.Bounds());
  if (srcRect.Empty()) return;
  const long long shiftX = static_cast<long long>(dest.x) + origin_.x - src.x;
  const long long shiftY = static_cast<long long>(dest.y) + origin_.y - src.y;
  if (std::llabs(shiftX) > (1LL << 30) || std::llabs(shiftY) > (1LL << 30))
    return;  // lands off any surface
  const int ddx = static_cast<int>(shiftX), ddy = static_cast<int>(shiftY);
  const Rect destRect = srcRect.Offset(ddx, ddy);
  // Reading from our own surface: take a copy of the block first, so an
  // overlapping destination does not feed back into the source.
  Surface copy;
  const Surface* from = &source;
  int fx = 0, fy = 0;  // source position of destination pixel (0, 0)
  if (&source == surface_ && Rop3UsesSource(rop)) {
    copy.Resize(srcRect.Width(), srcRect.Height(), 0);
    for (int y = 0; y < srcRect.Height(); ++y)
      std::copy_n(source.Row(srcRect.top + y) + srcRect.left, srcRect.Width(), copy.Row(y));
    from = &copy;
    fx = -destRect.left;
    fy = -destRect.top;
  } else {
    fx = -ddx;
    fy = -ddy;
  }
  const Paint pat = BrushPaint(brush_);
  const bool plainCopy = rop == kSrcCopy;
  for (const Rect& c : clipRects_) {
    const Rect s = destRect.Intersect(c);
    for (int y = s.top; y < s.bottom; ++y) {
      Pixel* row = surface_->Row(y);
      const Pixel* in = from->Row(y + fy) + fx;
      if (plainCopy) {
        for (int x = s.left; x < s.right; ++x) row[x] = in[x] & 0x00FFFFFFu;
        continue;
      }
      for (int x = s.left; x < s.right; ++x)
        row[x] = ApplyRop3(rop, PatternAt(pat, x, y), in[x], row[x]);
    }
  }
}

// Nearest-neighbour scaling. A rectangle with a negative width runs leftwards
// from its x (it covers x + width + 1 .. x); likewise for heights. Pixels
// mapping outside the source are left alone.
template <typename Sample>
void Canvas::Stretch(int dx, int dy, int dw, int dh, int srcW, int srcH, int sx, int sy, int sw,
                     int sh, Rop3 rop, Sample sample) {
  if (dw == 0 || dh == 0 || sw == 0 || sh == 0) return;
  const long long adw = std::llabs(static_cast<long long>(dw)),
                  adh = std::llabs(static_cast<long long>(dh));
  const long long asw = std::llabs(static_cast<long long>(sw)),
                  ash = std::llabs(static_cast<long long>(sh));
  const int stepDx = dw < 0 ? -1 : 1, stepDy = dh < 0 ? -1 : 1;
  const int stepSx = sw < 0 ? -1 : 1, stepSy = sh < 0 ? -1 : 1;
  const long long ox = static_cast<long long>(dx) + origin_.x,
                  oy = static_cast<long long>(dy) + origin_.y;
  const long long l = dw < 0 ? ox + dw + 1 : ox, t = dh < 0 ? oy + dh + 1 : oy;
  const Rect area = Rect{static_cast<int>(std::clamp(l, -(1LL << 30), 1LL << 30)),
                         static_cast<int>(std::clamp(t, -(1LL << 30), 1LL << 30)),
                         static_cast<int>(std::clamp(l + adw, -(1LL << 30), 1LL << 30)),
                         static_cast<int>(std::clamp(t + adh, -(1LL << 30), 1LL << 30))};
  const Paint pat = BrushPaint(brush_);
  for (const Rect& c : clipRects_) {
    const Rect s = area.Intersect(c);
    for (int y = s.top; y < s.bottom; ++y) {
      const long long i = stepDy > 0 ? y - oy : oy - y;  // step along the destination
      const long long srcY =
          sy +
          stepSy * static_cast<long long>((static_cast<__int128>(2 * i + 1) * ash) / (2 * adh));
      if (srcY < 0 || srcY >= srcH) continue;
      Pixel* row = surface_->Row(y);
      for (int x = s.left; x < s.right; ++x) {
        const long long j = stepDx > 0 ? x - ox : ox - x;
        const long long srcX =
            sx +
            stepSx * static_cast<long long>((static_cast<__int128>(2 * j + 1) * asw) / (2 * adw));
        if (srcX < 0 || srcX >= srcW) continue;
        const Pixel in = sample(static_cast<int>(srcX), static_cast<int>(srcY));
        row[x] = rop == kSrcCopy ? in : ApplyRop3(rop, PatternAt(pat, x, y), in, row[x]);
      }
    }
  }
}

void Canvas::StretchBlt(int dx, int dy, int dw, int dh, const Surface& source, int sx, int sy,
                        int sw, int sh, Rop3 rop) {
  Surface copy;
  const Surface* from = &source;
  if (&source == surface_) {
    copy = source;
    from = &copy;
  }
  Stretch(dx, dy, dw, dh, from->Width(), from->Height(), sx, sy, sw, sh, rop,
          [from](int x, int y) { return from->Row(y)[x] & 0x00FFFFFFu; });
}

void Canvas::StretchBlt(int dx, int dy, int dw, int dh, const IndexedBitmap& source, int sx, int sy,
                        int sw, int sh, Rop3 rop) {
  if (!source.Valid()) return;
  Stretch(dx, dy, dw, dh, source.width, source.height, sx, sy, sw, sh, rop, [&](int x, int y) {
    const std::size_t k = static_cast<std::size_t>(y) * static_cast<std::size_t>(source.width) +
                          static_cast<std::size_t>(x);
    return Resolve(source.palette[source.indices[k]]);
  });
}

}  // namespace plat
