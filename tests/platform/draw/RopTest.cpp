// Raster operations: every binary operation and the common ternary ones,
// against their logical definitions, directly and through the canvas.
#include <gtest/gtest.h>

#include <functional>

#include "platform/draw/Canvas.h"
#include "platform/draw/Rop.h"

namespace plat {
namespace {

struct Rop2Case {
  Rop2 rop;
  const char* name;
  std::function<Pixel(Pixel, Pixel)> f;  // (pen, destination)
};

const Rop2Case kRop2[] = {
    {Rop2::Black, "Black", [](Pixel, Pixel) { return 0u; }},
    {Rop2::NotMergePen, "NotMergePen", [](Pixel p, Pixel d) { return ~(p | d); }},
    {Rop2::MaskNotPen, "MaskNotPen", [](Pixel p, Pixel d) { return ~p & d; }},
    {Rop2::NotCopyPen, "NotCopyPen", [](Pixel p, Pixel) { return ~p; }},
    {Rop2::MaskPenNot, "MaskPenNot", [](Pixel p, Pixel d) { return p & ~d; }},
    {Rop2::Not, "Not", [](Pixel, Pixel d) { return ~d; }},
    {Rop2::XorPen, "XorPen", [](Pixel p, Pixel d) { return p ^ d; }},
    {Rop2::NotMaskPen, "NotMaskPen", [](Pixel p, Pixel d) { return ~(p & d); }},
    {Rop2::MaskPen, "MaskPen", [](Pixel p, Pixel d) { return p & d; }},
    {Rop2::NotXorPen, "NotXorPen", [](Pixel p, Pixel d) { return ~(p ^ d); }},
    {Rop2::Nop, "Nop", [](Pixel, Pixel d) { return d; }},
    {Rop2::MergeNotPen, "MergeNotPen", [](Pixel p, Pixel d) { return ~p | d; }},
    {Rop2::CopyPen, "CopyPen", [](Pixel p, Pixel) { return p; }},
    {Rop2::MergePenNot, "MergePenNot", [](Pixel p, Pixel d) { return p | ~d; }},
    {Rop2::MergePen, "MergePen", [](Pixel p, Pixel d) { return p | d; }},
    {Rop2::White, "White", [](Pixel, Pixel) { return 0xFFFFFFFFu; }},
};

const std::pair<Pixel, Pixel> kPairs[] = {
    {0x000000, 0x000000}, {0xFFFFFF, 0x000000}, {0x000000, 0xFFFFFF}, {0xFFFFFF, 0xFFFFFF},
    {0x123456, 0xABCDEF}, {0xF0F0F0, 0x0FF00F}, {0x808080, 0x7F7F7F}, {0xC3A5E1, 0x5A3C96},
};

TEST(Rop2, AllSixteenActBitByBitOnPixelsAndThroughTheCanvas) {
  for (const Rop2Case& c : kRop2) {
    SCOPED_TRACE(c.name);
    for (const auto& [pen, dst] : kPairs) {
      const Pixel want = c.f(pen, dst) & 0xFFFFFF;
      EXPECT_EQ(ApplyRop2(c.rop, pen, dst), want);
      // A one-pixel line and a filled shape both go through the operation.
      Surface s(3, 3, dst);
      Canvas canvas(s);
      canvas.SetRop2(c.rop);
      canvas.SetPen(Pen::Solid(pen));
      canvas.MoveTo({0, 0});
      canvas.LineTo({1, 0});
      canvas.SetPen(Pen::None());
      canvas.SetBrush(Brush::Solid(pen));
      canvas.Rectangle({0, 1, 2, 3});
      EXPECT_EQ(s.Get(0, 0), want);
      EXPECT_EQ(s.Get(0, 1), want);
      EXPECT_EQ(s.Get(1, 0), dst);  // the line's last pixel is left out
      EXPECT_EQ(s.Get(1, 1), dst);  // null pen: one pixel smaller
    }
  }
}

struct Rop3Case {
  Rop3 rop;
  const char* name;
  std::function<Pixel(Pixel, Pixel, Pixel)> f;  // (pattern, source, destination)
};

const Rop3Case kRop3[] = {
    {kSrcCopy, "SRCCOPY", [](Pixel, Pixel s, Pixel) { return s; }},
    {kSrcPaint, "SRCPAINT", [](Pixel, Pixel s, Pixel d) { return s | d; }},
    {kSrcAnd, "SRCAND", [](Pixel, Pixel s, Pixel d) { return s & d; }},
    {kSrcInvert, "SRCINVERT", [](Pixel, Pixel s, Pixel d) { return s ^ d; }},
    {kSrcErase, "SRCERASE", [](Pixel, Pixel s, Pixel d) { return s & ~d; }},
    {kNotSrcCopy, "NOTSRCCOPY", [](Pixel, Pixel s, Pixel) { return ~s; }},
    {kNotSrcErase, "NOTSRCERASE", [](Pixel, Pixel s, Pixel d) { return ~(s | d); }},
    {kMergeCopy, "MERGECOPY", [](Pixel p, Pixel s, Pixel) { return p & s; }},
    {kMergePaint, "MERGEPAINT", [](Pixel, Pixel s, Pixel d) { return ~s | d; }},
    {kPatCopy, "PATCOPY", [](Pixel p, Pixel, Pixel) { return p; }},
    {kPatPaint, "PATPAINT", [](Pixel p, Pixel s, Pixel d) { return p | ~s | d; }},
    {kPatInvert, "PATINVERT", [](Pixel p, Pixel, Pixel d) { return p ^ d; }},
    {kDstInvert, "DSTINVERT", [](Pixel, Pixel, Pixel d) { return ~d; }},
    {kBlackness, "BLACKNESS", [](Pixel, Pixel, Pixel) { return 0u; }},
    {kWhiteness, "WHITENESS", [](Pixel, Pixel, Pixel) { return 0xFFFFFFu; }},
};

TEST(Rop3, BlitsCombinePatternSourceAndDestination) {
  const Pixel pattern = 0x3C5AA5;
  for (const Rop3Case& c : kRop3) {
    SCOPED_TRACE(c.name);
    for (const auto& [src, dst] : kPairs) {
      const Pixel want = c.f(pattern, src, dst) & 0xFFFFFF;
      EXPECT_EQ(ApplyRop3(c.rop, pattern, src, dst), want);
      Surface source(2, 1, src), target(2, 1, dst);
      Canvas canvas(target);
      canvas.SetBrush(Brush::Solid(pattern));
      canvas.BitBlt({1, 0}, 5, 5, source, {0, 0}, c.rop);
      EXPECT_EQ(target.Get(0, 0), dst);
      EXPECT_EQ(target.Get(1, 0), want);
    }
  }
}

TEST(Rop3, KnowsWhichOperandsAreUsed) {
  EXPECT_TRUE(Rop3UsesSource(kSrcCopy));
  EXPECT_FALSE(Rop3UsesSource(kPatCopy));
  EXPECT_FALSE(Rop3UsesSource(kDstInvert));
  EXPECT_TRUE(Rop3UsesPattern(kPatInvert));
  EXPECT_FALSE(Rop3UsesPattern(kSrcAnd));
}

}  // namespace
}  // namespace plat
