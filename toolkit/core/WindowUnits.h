#pragma once
// Window units (0-9999 across a client area), the current drawable's extent,
// geometry queries, cursor shapes and caption bookkeeping.
#include <cstdint>

#include "platform/Geometry.h"
#include "platform/window/Messages.h"

namespace tk {

/// Unit of pixel P across an extent of E pixels: trunc((P + 0.5) x 9999 / E),
/// 0 when E is below 2.
int PixelToUnit(int p, int extent);
/// Pixel of unit U across an extent of E pixels: U x (E - 1) / 9999.
int UnitToPixel(int u, int extent);

/// The same with the current drawable's extent (W x H).
void PixelToRelative(int px, int py, int& ux, int& uy);
void RelativeToPixel(int ux, int uy, int& px, int& py);

/// What the current drawable is (the graphics layer changes it when it draws
/// into a bitmap, a metafile or a dialog field).
enum DrawableKind : std::int32_t {
  kDrawableWindow = 1,
  kDrawableBitmap = 2,
  kDrawableField = 3,
  kDrawableMetafile = 4,
};
/// The current drawable's kind and size (W, H).
DrawableKind CurrentDrawableKind();
plat::Size DrawableSize();
void SetCurrentDrawable(DrawableKind kind, plat::Size size);

/// The text cell of the current window's text style in pixels.
plat::Size TextCellPixels();
/// Recomputes the text cell in pixels from its window-unit size.
void TextCellToPixels();

/// Cursor shapes: 0 arrow, 1 hourglass, 2 arrow with hourglass, 3 cross-hair,
/// 4 I-beam, 5 no-entry, 6 move, 7 north-south, 8 west-east, 9 north-east/
/// south-west, 10 north-west/south-east, 11 up arrow; other values a cursor
/// resource of the program.
enum CursorShape : std::int32_t {
  kCursorArrow = 0,
  kCursorHourglass = 1,
  kCursorArrowHourglass = 2,
  kCursorCross = 3,
  kCursorIBeam = 4,
  kCursorNo = 5,
  kCursorMove = 6,
  kCursorSizeNS = 7,
  kCursorSizeWE = 8,
  kCursorSizeNESW = 9,
  kCursorSizeNWSE = 10,
  kCursorUpArrow = 11,
};
/// Mode 0 every window's own cursor cleared and the global one set; 1 the
/// current drawable's own; 2 the global one only.
void WCursorShape(int shape, int mode = 0);
/// The global shape, and window N's own shape (0: uses the global one).
int GlobalCursorShape();
int WindowCursorShape(int n);
/// The shape shown over window N's client area.
int EffectiveCursorShape(int n);
/// Has window N's client area show the shape EffectiveCursorShape gives.
void ShowWindowCursor(int n);

/// Gives H (a toolkit frame or client) the focus and marks exactly the
/// captions of the child windows that contain it active; null: all inactive.
void SyncFocusAndCaptions(plat::Hwnd h);
/// The toolkit frame on which a left button was pressed in the title bar or
/// border, from the press to its release; no window otherwise.
plat::Hwnd& FramePressWindow();
/// Whether child window N's caption is drawn active.
bool CaptionActive(int n);

/// Item 0 position, 1 size of the current window's frame (a minimised or
/// maximised frame reports its normal placement). INSIDE 1 and PARENT the
/// parent's number for a window inside a parent, else 0 and 0.
void WindowGeometryQuery(int item, int& a, int& b, int& inside, int& parent);
/// Screen position of window N's client origin; -1: the focus window's
/// outermost top-level window.
void ClientOriginOnScreen(int n, int& x, int& y);

}  // namespace tk
