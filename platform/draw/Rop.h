#pragma once
// Raster operations. A binary raster operation (ROP2) combines the pen or
// brush colour P with the destination D; a ternary one (ROP3) combines the
// brush pattern P, a source bitmap S and the destination D. Both act on the
// 24 colour bits one by one, through their truth tables.
#include <cstdint>

#include "platform/draw/Surface.h"

namespace plat {

/// The sixteen binary raster operations with their customary numbers. The
/// number minus one is the truth table: bit (2 * P + D) gives the result.
enum class Rop2 : int {
  Black = 1,
  NotMergePen = 2,
  MaskNotPen = 3,
  NotCopyPen = 4,
  MaskPenNot = 5,
  Not = 6,
  XorPen = 7,
  NotMaskPen = 8,
  MaskPen = 9,
  NotXorPen = 10,
  Nop = 11,
  MergeNotPen = 12,
  CopyPen = 13,
  MergePenNot = 14,
  MergePen = 15,
  White = 16,
};

/// Applies ROP to pen colour PEN over destination DST, bit by bit.
constexpr Pixel ApplyRop2(Rop2 rop, Pixel pen, Pixel dst) {
  const unsigned table = static_cast<unsigned>(static_cast<int>(rop) - 1) & 15u;
  Pixel r = 0;
  if (table & 1u) r |= ~pen & ~dst;
  if (table & 2u) r |= ~pen & dst;
  if (table & 4u) r |= pen & ~dst;
  if (table & 8u) r |= pen & dst;
  return r & 0x00FFFFFFu;
}

/// Ternary raster operation codes; bits 16-23 hold the truth table indexed by
/// 4 * P + 2 * S + D.
using Rop3 = std::uint32_t;
inline constexpr Rop3 kSrcCopy = 0x00CC0020;
inline constexpr Rop3 kSrcPaint = 0x00EE0086;
inline constexpr Rop3 kSrcAnd = 0x008800C6;
inline constexpr Rop3 kSrcInvert = 0x00660046;
inline constexpr Rop3 kSrcErase = 0x00440328;
inline constexpr Rop3 kNotSrcCopy = 0x00330008;
inline constexpr Rop3 kNotSrcErase = 0x001100A6;
inline constexpr Rop3 kMergeCopy = 0x00C000CA;
inline constexpr Rop3 kMergePaint = 0x00BB0226;
inline constexpr Rop3 kPatCopy = 0x00F00021;
inline constexpr Rop3 kPatPaint = 0x00FB0A09;
inline constexpr Rop3 kPatInvert = 0x005A0049;
inline constexpr Rop3 kDstInvert = 0x00550009;
inline constexpr Rop3 kBlackness = 0x00000042;
inline constexpr Rop3 kWhiteness = 0x00FF0062;

/// Applies ROP to pattern PAT, source SRC and destination DST, bit by bit.
constexpr Pixel ApplyRop3(Rop3 rop, Pixel pat, Pixel src, Pixel dst) {
  const unsigned table = (rop >> 16) & 0xFFu;
  Pixel r = 0;
  for (unsigned i = 0; i < 8; ++i) {
    if (!(table & (1u << i))) continue;
    r |= ((i & 4u) ? pat : ~pat) & ((i & 2u) ? src : ~src) & ((i & 1u) ? dst : ~dst);
  }
  return r & 0x00FFFFFFu;
}

/// True when ROP reads the source bitmap, the pattern, the destination.
constexpr bool Rop3UsesSource(Rop3 rop) {
  const unsigned t = (rop >> 16) & 0xFFu;
  return ((t >> 2) & 0x33u) != (t & 0x33u);
}
constexpr bool Rop3UsesPattern(Rop3 rop) {
  const unsigned t = (rop >> 16) & 0xFFu;
  return ((t >> 4) & 0x0Fu) != (t & 0x0Fu);
}

}  // namespace plat
