// Memory bitmaps: slots, selection as the drawing surface, blits in the four
// raster modes, pixels, flip, resize and rotation.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "tests/toolkit/graphics/GraphicsTestSupport.h"
#include "toolkit/core/Menus.h"
#include "toolkit/graphics/BitmapStore.h"
#include "toolkit/graphics/GraphicsState.h"

namespace tk::testing {
namespace {

class BitmapStoreTest : public GraphicsTest {
 protected:
  void SetUp() override {
    GraphicsTest::SetUp();
    BitmapStoreClear();
    GraphicsTargets t = Targets();
    t.selectBitmap = BitmapSurfaceBinding;
    SetGraphicsTargets(t);
  }
  void TearDown() override {
    BitmapStoreClear();
    GraphicsTest::TearDown();
  }
  static std::vector<std::int32_t> Pixels(int index, int w, int h) {
    std::vector<std::int32_t> px(static_cast<std::size_t>(w * h));
    int status = -1;
    BitmapGetPixels(index, px, 0, 0, w - 1, h - 1, status);
    EXPECT_EQ(status, 0);
    return px;
  }
};

TEST_F(BitmapStoreTest, SlotsAndSelection) {
  int status = -1, w = 0, h = 0;
  BitmapSelectSurface(0, status, w, h);
  EXPECT_EQ(status, 1);
  // Kind 2 without a bitmap falls back to the window.
  IGrSelect(kDrawBitmap, 1);
  EXPECT_EQ(Gs().drawableKind, kDrawWindow);

  for (int i = 1; i <= kBitmapSlots; ++i) {
    int slot = -1;
    BitmapCreate(slot, 4 + i, 3, 0x0000FF);
    EXPECT_EQ(slot, i);
  }
  int slot = -1;
  BitmapCreate(slot, 4, 4, 0);
  EXPECT_EQ(slot, 0);
  BitmapDestroy(4, status);
  EXPECT_EQ(status, 0);
  BitmapDestroy(4, status);
  EXPECT_EQ(status, 1021);
  BitmapCreate(slot, 0, 4, 0);  // a size that cannot be made takes no slot
  EXPECT_EQ(slot, 0);
  BitmapCreate(slot, 7, 2, 0x00FF00);
  EXPECT_EQ(slot, 5);
  BitmapSize(4, w, h);
  EXPECT_EQ(w, 7);
  BitmapSize(25, w, h);
  EXPECT_EQ(w, 0);
  EXPECT_EQ(Pixels(4, 7, 2), std::vector<std::int32_t>(14, 0x00FF00));

  // Selected as the drawing surface, the bitmap takes the drawing.
  ResetErrorState();
  IGrSelect(kDrawBitmap, 5);
  EXPECT_EQ(Gs().drawableKind, kDrawBitmap);
  EXPECT_EQ(WErrorStatusQuery(1), 0);
  DriverOperation clear = DriverOperation::Clear;
  YYGAPI(clear);
  EXPECT_EQ(Pixels(4, 7, 2), std::vector<std::int32_t>(14, PaletteGetRgb(0)));
  IGrSelect(kDrawWindow, 0);

  int value = 9;
  BitmapViewerInfo(1, 101, value);
  EXPECT_EQ(value, 0);
}

TEST_F(BitmapStoreTest, BitmapResources) {
  // The main toolbar's button strip is a bitmap resource of the program.
  const std::shared_ptr<plat::Surface> strip = LoadBitmapResource(30102);
  ASSERT_TRUE(strip);
  int w = -1, h = -1;
  BitmapResourceSize(30102, w, h);
  EXPECT_EQ(w, strip->Width());
  EXPECT_EQ(h, strip->Height());
  BitmapResourceSize(4242, w, h);
  EXPECT_EQ(w, 0);
  EXPECT_EQ(h, 0);

  // A slot smaller than the resource takes its top-left corner; a larger one
  // keeps its own pixels beyond it.
  int slot = 0, status = -1;
  BitmapCreate(slot, 20, strip->Height() + 2, 0x123456);
  ASSERT_EQ(slot, 1);
  BitmapLoadResource(0, 30102, status);
  EXPECT_EQ(status, 0);
  const std::vector<std::int32_t> px = Pixels(0, 20, strip->Height() + 2);
  for (int y = 0; y < strip->Height(); ++y)
    for (int x = 0; x < 20; ++x)
      ASSERT_EQ(RgbToPixel(px[static_cast<std::size_t>(y * 20 + x)]), strip->Get(x, y)) << x << "," << y;
  EXPECT_EQ(px.back(), 0x123456);

  BitmapLoadResource(0, 4242, status);
  EXPECT_EQ(status, 1066);
  BitmapLoadResource(3, 30102, status);
  EXPECT_EQ(status, 1021);
}

TEST_F(BitmapStoreTest, BlitsInTheFourRasterModes) {
  int slot = 0, status = -1;
  BitmapCreate(slot, 2, 1, 0);
  const std::vector<std::int32_t> src{0x0F0F0F, 0xF0F0F0};
  BitmapPutPixels(0, src, 0, 0, 1, 0, status);
  ASSERT_EQ(status, 0);
  const std::vector<std::pair<int, std::vector<std::int32_t>>> modes = {
      {0, {0x0F0F0F, 0xF0F0F0}},   // copy
      {1, {0x3F3F3F, 0xF3F3F3}},   // or with 0x333333
      {2, {0x030303, 0x303030}},   // and
      {3, {0x3C3C3C, 0xC3C3C3}},   // exclusive-or
  };
  for (const auto& [mode, want] : modes) {
    surface.Fill(plat::Rgb(0x33, 0x33, 0x33));
    BitmapRasterMode(mode);
    BitmapDraw(0, 0, 10, 5, 2, 1, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(PixelToRgb(surface.Get(10, 5)), want[0]) << mode;
    EXPECT_EQ(PixelToRgb(surface.Get(11, 5)), want[1]) << mode;
  }
  BitmapRasterMode(0);
  // Surface to bitmap and back, and a stretched draw.
  surface.Set(20, 30, plat::Rgb(1, 2, 3));
  BitmapGetArea(0, 20, 30, 1, 1, status);
  EXPECT_EQ(Pixels(0, 2, 1)[0], 0x030201);
  BitmapBlit(0, 0, 0, 40, 40, 2, 1, 1, status);
  EXPECT_EQ(PixelToRgb(surface.Get(40, 40)), 0x030201);
  BitmapDraw(0, 1, 50, 50, 4, 2, status);
  EXPECT_EQ(PixelToRgb(surface.Get(51, 51)), 0x030201);
  EXPECT_EQ(PixelToRgb(surface.Get(52, 50)), 0xF0F0F0);
  BitmapDraw(3, 1, 50, 50, 4, 2, status);
  EXPECT_EQ(status, 1021);
  // A rectangle beyond the bitmap or the caller's array is refused.
  std::vector<std::int32_t> one(1);
  BitmapGetPixels(0, one, 0, 0, 1, 0, status);
  EXPECT_EQ(status, 1066);
  BitmapPutPixels(0, src, 1, 0, 2, 0, status);
  EXPECT_EQ(status, 1066);
}

TEST_F(BitmapStoreTest, FlipResizeRotate) {
  int slot = 0, status = -1, viewer = -1;
  BitmapCreate(slot, 3, 2, 0);
  const std::vector<std::int32_t> px{1, 2, 3, 4, 5, 6};
  BitmapPutPixels(0, px, 0, 0, 2, 1, status);
  BitmapFlip(0, 0, viewer, status);
  EXPECT_EQ(Pixels(0, 3, 2), (std::vector<std::int32_t>{3, 2, 1, 6, 5, 4}));
  EXPECT_EQ(viewer, 0);
  BitmapFlip(0, 1, viewer, status);
  EXPECT_EQ(Pixels(0, 3, 2), (std::vector<std::int32_t>{6, 5, 4, 3, 2, 1}));
  BitmapFlip(0, 1, viewer, status);
  BitmapFlip(0, 0, viewer, status);

  BitmapRotate(0, 90, viewer, status);
  int w = 0, h = 0;
  BitmapSize(0, w, h);
  EXPECT_EQ(std::make_pair(w, h), std::make_pair(2, 3));
  // Old (i, j) goes to (j, width - 1 - i): old (0, 0) is now (0, 2).
  EXPECT_EQ(Pixels(0, 2, 3), (std::vector<std::int32_t>{3, 6, 2, 5, 1, 4}));
  BitmapRotate(0, 270, viewer, status);
  EXPECT_EQ(Pixels(0, 3, 2), px);
  BitmapRotate(0, 180, viewer, status);
  EXPECT_EQ(Pixels(0, 3, 2), (std::vector<std::int32_t>{6, 5, 4, 3, 2, 1}));
  BitmapRotate(0, 45, viewer, status);
  BitmapSize(0, w, h);
  EXPECT_EQ(w, 3);

  BitmapResize(0, 6, 4, viewer, status);
  EXPECT_EQ(status, 0);
  const auto big = Pixels(0, 6, 4);
  EXPECT_EQ(big[0], 6);
  EXPECT_EQ(big[1], 6);
  EXPECT_EQ(big[2], 5);
  EXPECT_EQ(big[6 * 3 + 5], 1);
  BitmapResize(0, 0, 4, viewer, status);
  EXPECT_EQ(status, 1020);
  BitmapSize(0, w, h);
  EXPECT_EQ(w, 6);
  BitmapRotate(7, 90, viewer, status);
  EXPECT_EQ(status, 1021);
}

}  // namespace
}  // namespace tk::testing
