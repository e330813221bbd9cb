// Bit blits and stretched blits, and clip regions made of rectangles.
#include <gtest/gtest.h>

#include <random>

#include "platform/draw/Canvas.h"
#include "platform/draw/Region.h"

namespace plat {
namespace {

Surface Counting(int w, int h) {
  Surface s(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) s.Set(x, y, static_cast<Pixel>(y * 100 + x));
  return s;
}

TEST(Blit, CopiesWithinOneSurfaceWhenTheBlocksOverlap) {
  for (int shift : {1, -1}) {
    SCOPED_TRACE(shift);
    Surface s = Counting(10, 2);
    Canvas c(s);
    c.BitBlt({std::max(shift, 0), 0}, 9, 2, s, {std::max(-shift, 0), 0}, kSrcCopy);
    for (int x = 0; x < 10; ++x) {
      const int from = x - shift;
      const Pixel want = (from < 0 || from > 9) ? static_cast<Pixel>(x) : static_cast<Pixel>(from);
      EXPECT_EQ(s.Get(x, 0), want) << x;
    }
  }
}

TEST(Blit, TakesOnlySourcePixelsThatExist) {
  const Surface src = Counting(4, 4);
  Surface dst(10, 10, 0xFFFFFF);
  Canvas c(dst, {1, 1});
  c.BitBlt({0, 0}, 6, 6, src, {-2, -1}, kSrcCopy);
  // Source (-2..3, -1..4) lands at surface (1..6, 1..6); only source 0..3 exists.
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x) {
      const int sx = x - 1 - 2, sy = y - 1 - 1;
      const bool from =
          x >= 1 && y >= 1 && x < 7 && y < 7 && sx >= 0 && sy >= 0 && sx < 4 && sy < 4;
      ASSERT_EQ(dst.Get(x, y), from ? src.Get(sx, sy) : 0xFFFFFFu) << x << "," << y;
    }
}

TEST(Blit, StretchesPaletteBitmapsAndMirrors) {
  IndexedBitmap bmp;
  bmp.width = 2;
  bmp.height = 2;
  bmp.indices = {0, 1, 2, 3};
  bmp.palette[0] = 0xFF0000;
  bmp.palette[1] = 0x00FF00;
  bmp.palette[2] = 0x0000FF;
  bmp.palette[3] = 0xFFFFFF;
  struct Case {
    const char* name;
    int dx, dy, dw, dh;
    bool mirrorX, mirrorY;
  };
  const Case cases[] = {{"upright", 0, 0, 4, 4, false, false},
                        {"mirrored left to right", 3, 0, -4, 4, true, false},
                        {"upside down", 0, 3, 4, -4, false, true}};
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    Surface s(6, 6, 0x123456);
    Canvas c(s);
    c.StretchBlt(k.dx, k.dy, k.dw, k.dh, bmp, 0, 0, 2, 2, kSrcCopy);
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 4; ++x) {
        const int bx = (k.mirrorX ? 3 - x : x) / 2, by = (k.mirrorY ? 3 - y : y) / 2;
        ASSERT_EQ(s.Get(x, y), bmp.palette[static_cast<std::size_t>(by * 2 + bx)]) << x << "," << y;
      }
    EXPECT_EQ(s.Get(4, 0), 0x123456u);
    EXPECT_EQ(s.Get(0, 4), 0x123456u);
  }
  // A bitmap whose index array does not match its size draws nothing.
  IndexedBitmap broken = bmp;
  broken.indices.pop_back();
  Surface s(6, 6, 0x123456);
  Canvas c(s);
  c.StretchBlt(0, 0, 4, 4, broken, 0, 0, 2, 2, kSrcCopy);
  EXPECT_TRUE(s == Surface(6, 6, 0x123456));
}

TEST(Blit, StretchShrinksByNearestPixelAndAppliesTheOperation) {
  const Surface src = Counting(4, 4);
  Surface s(2, 2, 0xFFFFFF);
  Canvas c(s);
  c.StretchBlt(0, 0, 2, 2, src, 0, 0, 4, 4, kSrcAnd);
  EXPECT_EQ(s.Get(0, 0), src.Get(1, 1));
  EXPECT_EQ(s.Get(1, 1), src.Get(3, 3));
  EXPECT_EQ(s.Get(1, 0), src.Get(3, 1));
}

TEST(Region, KeepsOverlappingRectanglesAsDisjointBands) {
  std::mt19937 rng(5);
  std::uniform_int_distribution<int> v(0, 30);
  for (int round = 0; round < 50; ++round) {
    Region r;
    std::vector<Rect> added;
    for (int k = 0; k < 5; ++k) {
      const int x0 = v(rng), y0 = v(rng);
      const Rect rect{x0, y0, x0 + v(rng) / 2, y0 + v(rng) / 2};
      r.Add(rect);
      added.push_back(rect);
    }
    const Rect cut{5, 3, 25, 27};
    Region cutRegion = r;
    cutRegion.Intersect(cut);
    for (int y = 0; y < 50; ++y)
      for (int x = 0; x < 50; ++x) {
        bool in = false;
        for (const Rect& a : added) in |= a.Contains({x, y});
        int covering = 0;
        for (const Rect& a : r.Rects()) covering += a.Contains({x, y});
        ASSERT_EQ(covering, in ? 1 : 0);
        ASSERT_EQ(r.Contains({x, y}), in);
        ASSERT_EQ(cutRegion.Contains({x, y}), in && cut.Contains({x, y}));
      }
  }
}

}  // namespace
}  // namespace plat
