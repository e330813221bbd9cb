#pragma once
// The raster page seen from the tests: a page set up directly (no output
// opened), operations sent with their operands, and the page dumped as a
// PBM (1 bit) or PPM (deeper pages) that tests/RenderBack.h reads back.
#include <string>

#include "tests/RenderBack.h"
#include "tests/toolkit/graphics/GraphicsTestSupport.h"
#include "toolkit/graphics/Colours.h"
#include "toolkit/hardcopy/RasterPage.h"

namespace tk::testing {

/// The RGB a page pixel stands for: ink black on a 1-bit page, the 3-bit
/// components of a planar page (complemented for colour kind "C"), the
/// 16-colour table at 4 bits (the colour number the image writers read back
/// from the planes), the palette at 8 bits, the word itself at 24 bits.
inline int RasterPixelRgb(const RasterPage& page, int x, int y) {
  switch (page.bitsPerPixel) {
    case 1:
      return page.Get(x, y) ? 0 : 0xFFFFFF;
    case 3: {
      int v = 0;
      for (int p = 0; p < 3; ++p) v |= static_cast<int>(page.Get(x, y, p)) << p;
      if (page.colourKind == 2) v = 7 - v;
      return (v & 1 ? 0xFF : 0) + (v & 2 ? 0xFF00 : 0) + (v & 4 ? 0xFF0000 : 0);
    }
    case 4: {
      // Read back as the image writers do: a colour number from the planes.
      const int n = static_cast<int>(4 * page.Get(x, y, 0) + 2 * page.Get(x, y, 1) +
                                     page.Get(x, y, 2) + 8 * page.Get(x, y, 3));
      return PaletteSlot16(n);
    }
    case 8: {
      int r = 0, g = 0, b = 0;
      ColourToRgb(static_cast<int>(page.Get(x, y)), r, g, b);
      return r + 256 * g + 65536 * b;
    }
    default:
      return static_cast<int>(page.Get(x, y) & 0xFFFFFF);
  }
}

/// The page as a raw PBM (1 bit) or PPM, rows from the top.
inline std::string RasterPageNetpbm(const RasterPage& page) {
  const int w = page.width, h = page.height;
  std::string out = (page.bitsPerPixel == 1 ? "P4\n" : "P6\n") + std::to_string(w) + " " +
                    std::to_string(h) + (page.bitsPerPixel == 1 ? "\n" : "\n255\n");
  for (int row = 0; row < h; ++row) {
    const int y = h - 1 - row;
    if (page.bitsPerPixel == 1) {
      for (int x0 = 0; x0 < w; x0 += 8) {
        int byte = 0;
        for (int e = 0; e < 8; ++e)
          if (x0 + e < w && page.Get(x0 + e, y)) byte |= 0x80 >> e;
        out.push_back(static_cast<char>(byte));
      }
    } else {
      for (int x = 0; x < w; ++x) {
        const int rgb = RasterPixelRgb(page, x, y);
        out.push_back(static_cast<char>(rgb & 0xFF));
        out.push_back(static_cast<char>((rgb >> 8) & 0xFF));
        out.push_back(static_cast<char>((rgb >> 16) & 0xFF));
      }
    }
  }
  return out;
}

inline velloran::testing::GreyImage RasterPageImage(const RasterPage& page) {
  velloran::testing::GreyImage image;
  EXPECT_TRUE(velloran::testing::DecodeNetpbm(RasterPageNetpbm(page), image));
  return image;
}

/// A fresh page of BITS per pixel and W x H pixels on the fixture's
/// drawable, clipped to the whole page, factors from the drawable's size.
inline RasterPage& SetUpRasterPage(int bits, int w, int h, float resX = 300, float resY = 300,
                                   int planes = 1) {
  RasterPage& page = CurrentRasterPage();
  page = RasterPage{};
  page.bitsPerPixel = bits;
  page.width = w;
  page.height = h;
  page.planes = planes;
  page.resolutionX = resX;
  page.resolutionY = resY;
  page.background = bits == 24 ? 0xFFFFFFFFu : 0u;
  EXPECT_TRUE(page.Allocate());
  page.usableWords = page.totalWords;
  DriverParams().P2 = 0;
  RasterDriver(DriverOperation::BeginPicture);
  RasterDitherTables();
  page.clipX0 = 0, page.clipY0 = 0, page.clipX1 = w - 1, page.clipY1 = h - 1;
  RasterDriver(DriverOperation::Clear);
  return page;
}

}  // namespace tk::testing
