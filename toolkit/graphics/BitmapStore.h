#pragma once
// Memory bitmaps: twenty slots of surfaces that can be drawn into like a
// window (drawable kind 2), copied to and from the drawing surface, read and
// written pixel by pixel, flipped, rotated and resized. Routines take the
// slot index 0-19 (slot number - 1), except creation, which returns the slot
// number. Statuses are returned, never reported.
#include <cstdint>
#include <optional>
#include <span>

#include "toolkit/graphics/GraphicsState.h"

namespace tk {

inline constexpr int kBitmapSlots = 20;

enum BitmapStatus : std::int32_t {
  kBitmapOk = 0,
  kBitmapCreateFailed = 1020,
  kBitmapInvalid = 1021,
  kBitmapInViewer = 1036,
  kBitmapTransfer = 1066,
};

/// Makes the slot's bitmap the drawing surface: STATUS 1 (nothing changed)
/// for an index outside 0-19 or a free slot, else 0 with its size.
void BitmapSelectSurface(int index, int& status, int& width, int& height);
/// The binding of slot NUMBER (1-20) as the graphics layer selects it.
std::optional<SurfaceBinding> BitmapSurfaceBinding(int number);

/// SLOT := the first slot filled with a WIDTH x HEIGHT bitmap of COLOUR
/// (packed RGB), numbered 1-20, or 0 when none could be.
void BitmapCreate(int& slot, int width, int height, std::int32_t colour);
void BitmapDestroy(int index, int& status);
/// 0 source copy, 1 source paint (or), 2 source and, 3 source invert; others ignored.
void BitmapRasterMode(int mode);
void BitmapGetArea(int index, int x, int y, int width, int height, int& status);
/// DIRECTION nonzero: the bitmap's area at (BX, BY) to the surface at (X, Y);
/// zero: the surface's area at (BX, BY) into the bitmap at (X, Y).
void BitmapBlit(int index, int bx, int by, int x, int y, int width, int height, int direction,
                int& status);
void BitmapDraw(int index, int stretch, int x, int y, int width, int height, int& status);
/// COLOURS[(x2 - x1 + 1) (y - y1) + (x - x1)] for each pixel of the rectangle;
/// a rectangle outside the bitmap or larger than COLOURS is refused (1066).
void BitmapPutPixels(int index, std::span<const std::int32_t> colours, int x1, int y1, int x2,
                     int y2, int& status);
void BitmapGetPixels(int index, std::span<std::int32_t> colours, int x1, int y1, int x2, int y2,
                     int& status);
void BitmapFlip(int index, int vertical, int& viewer, int& status);
void BitmapResize(int index, int width, int height, int& viewer, int& status);
/// ANGLE 90, 180 or 270 (others change nothing).
void BitmapRotate(int index, int angle, int& viewer, int& status);
void BitmapSize(int index, int& width, int& height);
/// Copies bitmap resource RESOURCE into the slot's bitmap at (0, 0), as much
/// of it as the slot holds, source copy: 1066 when there is no such resource.
void BitmapLoadResource(int index, int resource, int& status);
/// The size of bitmap resource RESOURCE; 0, 0 when there is none.
void BitmapResourceSize(int resource, int& width, int& height);
/// The first window 1-50 whose bitmap viewer shows the slot's bitmap, else 0.
[[nodiscard]] int BitmapViewerFind(int index);
/// Item 3 slot shown, 4 and 5 scroll positions, 101 and 102 the bitmap size,
/// 103 the bottom of the view; 0 unless WINDOW is a bitmap viewer.
void BitmapViewerInfo(int window, int item, int& value);

/// Shows slot INDEX's bitmap in a viewer over the current window's client
/// area, scrolled to (X, Y) (negative: 0; for a window already a viewer,
/// negative keeps the position). MODE 1 modal (returns when the window is
/// asked to close, the viewer taken off again), 2 modeless, 3 modeless and
/// counted; FLAGS 1 the viewer handles page and arrow keys, 2 it reports
/// double clicks. STATUS 0; 1 no current window; 2 a free slot; 3 the bitmap
/// is the drawing surface; 4 the window is of another special kind; 5 a
/// window inside another made modeless; 6 the viewer could not be made;
/// 9 the window holds windows of its own.
void BitmapViewerOpen(int index, int x, int y, int mode, int flags, int& status);
/// Viewers of mode 3 open now.
int BitmapViewersCounted();
/// Whether a viewer of any window (0-50) shows BITMAP.
bool BitmapShownInViewer(const plat::Surface* bitmap);
/// A viewer showing OLD shows FRESH instead (a slot's bitmap replaced by a
/// resize or rotation), its scroll positions kept where they still fit.
void BitmapViewerRebind(const plat::Surface* old, plat::Surface* fresh);

/// Frees every slot (tests; the toolkit's shutdown).
void BitmapStoreClear();

}  // namespace tk
