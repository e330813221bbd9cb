#include "toolkit/graphics/BitmapStore.h"

#include <algorithm>
#include <array>
#include <memory>
#include <vector>

#include "platform/draw/Rop.h"
#include "toolkit/core/Menus.h"
#include "toolkit/graphics/ScreenDriver.h"

namespace tk {

namespace {

// Larger bitmaps are refused as a failed creation: no caller needs more than
// 2^26 pixels (256 MiB), and a hostile size must not exhaust memory.
constexpr std::int64_t kMaxBitmapPixels = 1LL << 26;

struct Store {
  std::array<std::unique_ptr<plat::Surface>, kBitmapSlots> slots;
  plat::Rop3 rop = plat::kSrcCopy;
};

Store& S() {
  static Store s;
  return s;
}

plat::Surface* Slot(int index) {
  if (index < 0 || index >= kBitmapSlots) return nullptr;
  return S().slots[static_cast<std::size_t>(index)].get();
}

std::unique_ptr<plat::Surface> BitmapMake(int width, int height, std::int32_t colour) {
  if (width <= 0 || height <= 0 || std::int64_t{width} * height > kMaxBitmapPixels) return nullptr;
  return std::make_unique<plat::Surface>(width, height, RgbToPixel(colour & 0xFFFFFF));
}

// The slot takes FRESH; a viewer showing the old bitmap follows it.
void ReplaceSlotBitmap(int index, std::unique_ptr<plat::Surface> fresh) {
  auto& slot = S().slots[static_cast<std::size_t>(index)];
  BitmapViewerRebind(slot.get(), fresh.get());
  slot = std::move(fresh);
}

// A canvas over the slot's bitmap.
plat::Canvas BitmapCanvas(plat::Surface& s) { return plat::Canvas(s); }

}  // namespace

void BitmapStoreClear() {
  for (auto& s : S().slots) s.reset();
  S().rop = plat::kSrcCopy;
}

void BitmapSelectSurface(int index, int& status, int& width, int& height) {
  plat::Surface* s = Slot(index);
  if (!s) {
    status = 1;
    return;
  }
  width = s->Width();
  height = s->Height();
  status = 0;
}

std::optional<SurfaceBinding> BitmapSurfaceBinding(int number) {
  int status = 0, w = 0, h = 0;
  BitmapSelectSurface(number - 1, status, w, h);
  if (status != 0) return std::nullopt;
  return SurfaceBinding{Slot(number - 1), {}, {w, h}};
}

void BitmapCreate(int& slot, int width, int height, std::int32_t colour) {
  slot = 0;
  for (int i = 0; i < kBitmapSlots; ++i) {
    auto& s = S().slots[static_cast<std::size_t>(i)];
    if (s) continue;
    s = BitmapMake(width, height, colour);
    if (s) {
      slot = i + 1;
      return;
    }
  }
}

void BitmapDestroy(int index, int& status) {
  if (!Slot(index)) {
    status = kBitmapInvalid;
    return;
  }
  if (BitmapShownInViewer(Slot(index))) {
    status = kBitmapInViewer;
    return;
  }
  S().slots[static_cast<std::size_t>(index)].reset();
  status = kBitmapOk;
}

void BitmapRasterMode(int mode) {
  static constexpr std::array<plat::Rop3, 4> kModes = {plat::kSrcCopy, plat::kSrcPaint,
                                                       plat::kSrcAnd, plat::kSrcInvert};
  if (mode >= 0 && mode <= 3) S().rop = kModes[static_cast<std::size_t>(mode)];
}

void BitmapBlit(int index, int bx, int by, int x, int y, int width, int height, int direction,
                int& status) {
  plat::Surface* s = Slot(index);
  if (!s) {
    status = kBitmapInvalid;
    return;
  }
  plat::Canvas* surface = ScreenDriverCanvas();
  if (!surface || width < 0 || height < 0) {
    status = kBitmapTransfer;
    return;
  }
  if (direction != 0) {
    surface->BitBlt({x, y}, width, height, *s, {bx, by}, S().rop);
  } else {
    // The drawing surface's pixels as the canvas sees them (its origin).
    const plat::Point o = surface->Origin();
    plat::Canvas c = BitmapCanvas(*s);
    c.BitBlt({x, y}, width, height, surface->Target(), {bx + o.x, by + o.y}, S().rop);
  }
  status = kBitmapOk;
}

void BitmapGetArea(int index, int x, int y, int width, int height, int& status) {
  BitmapBlit(index, x, y, 0, 0, width, height, 0, status);
}

void BitmapLoadResource(int index, int resource, int& status) {
  plat::Surface* s = Slot(index);
  if (!s) {
    status = kBitmapInvalid;
    return;
  }
  const std::shared_ptr<plat::Surface> image = LoadBitmapResource(resource);
  if (!image) {
    status = kBitmapTransfer;
    return;
  }
  plat::Canvas(*s).BitBlt({0, 0}, s->Width(), s->Height(), *image, {0, 0}, plat::kSrcCopy);
  status = kBitmapOk;
}

void BitmapResourceSize(int resource, int& width, int& height) {
  const std::shared_ptr<plat::Surface> image = LoadBitmapResource(resource);
  width = image ? image->Width() : 0;
  height = image ? image->Height() : 0;
}

void BitmapDraw(int index, int stretch, int x, int y, int width, int height, int& status) {
  plat::Surface* s = Slot(index);
  if (!s) {
    status = kBitmapInvalid;
    return;
  }
  plat::Canvas* surface = ScreenDriverCanvas();
  if (!surface) {
    status = kBitmapTransfer;
    return;
  }
  if (stretch != 0)
    surface->StretchBlt(x, y, width, height, *s, 0, 0, s->Width(), s->Height(), S().rop);
  else
    surface->BitBlt({x, y}, width, height, *s, {0, 0}, S().rop);
  status = kBitmapOk;
}

namespace {

// The rectangle's pixel count when it lies inside S and COUNT values can
// hold it; -1 otherwise.
std::int64_t RectCells(const plat::Surface& s, int x1, int y1, int x2, int y2, std::size_t count) {
  if (x1 < 0 || y1 < 0 || x2 < x1 || y2 < y1 || x2 >= s.Width() || y2 >= s.Height()) return -1;
  const std::int64_t n = (std::int64_t{x2} - x1 + 1) * (std::int64_t{y2} - y1 + 1);
  return static_cast<std::uint64_t>(n) <= count ? n : -1;
}

}  // namespace

void BitmapPutPixels(int index, std::span<const std::int32_t> colours, int x1, int y1, int x2,
                     int y2, int& status) {
  plat::Surface* s = Slot(index);
  if (!s) {
    status = kBitmapInvalid;
    return;
  }
  if (RectCells(*s, x1, y1, x2, y2, colours.size()) < 0) {
    status = kBitmapTransfer;
    return;
  }
  const std::int64_t w = std::int64_t{x2} - x1 + 1;
  for (int y = y1; y <= y2; ++y)
    for (int x = x1; x <= x2; ++x)
      s->Set(x, y, RgbToPixel(colours[static_cast<std::size_t>(w * (y - y1) + (x - x1))] & 0xFFFFFF));
  status = kBitmapOk;
}

void BitmapGetPixels(int index, std::span<std::int32_t> colours, int x1, int y1, int x2, int y2,
                     int& status) {
  plat::Surface* s = Slot(index);
  if (!s) {
    status = kBitmapInvalid;
    return;
  }
  if (RectCells(*s, x1, y1, x2, y2, colours.size()) < 0) {
    status = kBitmapTransfer;
    return;
  }
  const std::int64_t w = std::int64_t{x2} - x1 + 1;
  for (int y = y1; y <= y2; ++y)
    for (int x = x1; x <= x2; ++x)
      colours[static_cast<std::size_t>(w * (y - y1) + (x - x1))] = PixelToRgb(s->Get(x, y));
  status = kBitmapOk;
}

void BitmapFlip(int index, int vertical, int& viewer, int& status) {
  plat::Surface* s = Slot(index);
  viewer = 0;
  if (!s) {
    status = kBitmapInvalid;
    return;
  }
  const int w = s->Width(), h = s->Height();
  if (vertical != 0) {
    for (int y = 0; y < h / 2; ++y)
      for (int x = 0; x < w; ++x) {
        const plat::Pixel a = s->Get(x, y);
        s->Set(x, y, s->Get(x, h - 1 - y));
        s->Set(x, h - 1 - y, a);
      }
  } else {
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w / 2; ++x) {
        const plat::Pixel a = s->Get(x, y);
        s->Set(x, y, s->Get(w - 1 - x, y));
        s->Set(w - 1 - x, y, a);
      }
  }
  viewer = BitmapViewerFind(index);
  status = kBitmapOk;
}

void BitmapResize(int index, int width, int height, int& viewer, int& status) {
  plat::Surface* s = Slot(index);
  viewer = 0;
  if (!s) {
    status = kBitmapInvalid;
    return;
  }
  auto fresh = BitmapMake(width, height, 0);
  if (!fresh) {
    status = kBitmapCreateFailed;
    return;
  }
  const std::int64_t ow = s->Width(), oh = s->Height();
  for (int j = 0; j < height; ++j)
    for (int i = 0; i < width; ++i)
      fresh->Set(i, j, s->Get(static_cast<int>(ow * i / width), static_cast<int>(oh * j / height)));
  ReplaceSlotBitmap(index, std::move(fresh));
  viewer = BitmapViewerFind(index);
  status = kBitmapOk;
}

void BitmapRotate(int index, int angle, int& viewer, int& status) {
  plat::Surface* s = Slot(index);
  viewer = 0;
  if (!s) {
    status = kBitmapInvalid;
    return;
  }
  if (angle != 90 && angle != 180 && angle != 270) {
    status = kBitmapOk;
    return;
  }
  const int w = s->Width(), h = s->Height();
  auto fresh = angle == 180 ? BitmapMake(w, h, 0) : BitmapMake(h, w, 0);
  if (!fresh) {
    status = kBitmapCreateFailed;
    return;
  }
  for (int j = 0; j < h; ++j)
    for (int i = 0; i < w; ++i) {
      const plat::Pixel p = s->Get(i, j);
      if (angle == 90) fresh->Set(j, w - 1 - i, p);
      else if (angle == 180) fresh->Set(w - 1 - i, h - 1 - j, p);
      else fresh->Set(h - 1 - j, i, p);
    }
  ReplaceSlotBitmap(index, std::move(fresh));
  viewer = BitmapViewerFind(index);
  status = kBitmapOk;
}

void BitmapSize(int index, int& width, int& height) {
  const plat::Surface* s = Slot(index);
  width = s ? s->Width() : 0;
  height = s ? s->Height() : 0;
}

}  // namespace tk
