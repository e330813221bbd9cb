// Window units, the current drawable's extent, geometry queries, cursor
// shapes and caption bookkeeping.
#include "toolkit/core/WindowUnits.h"

#include <cstdint>
#include <iterator>

#include "platform/window/Window.h"
#include "toolkit/core/Errors.h"
#include "toolkit/core/Windows.h"
#include "toolkit/core/Windows_p.h"

namespace tk {

namespace {

struct GeometryState {
  DrawableKind kind = kDrawableWindow;
  plat::Size size{};
  plat::Size textCell{};
  int globalCursor = kCursorArrow;
};

GeometryState& Geo() {
  static GeometryState s;
  return s;
}

constexpr std::int32_t kErrNoCursor = 1097;

/// The platform cursor of a toolkit shape. The program has no cursor
/// resources of its own: any other number shows the arrow.
plat::CursorShape PlatformCursor(int shape) {
  static constexpr plat::CursorShape kShapes[] = {
      plat::CursorShape::Arrow,    plat::CursorShape::Hourglass, plat::CursorShape::ArrowHourglass,
      plat::CursorShape::Cross,    plat::CursorShape::IBeam,     plat::CursorShape::No,
      plat::CursorShape::SizeAll,  plat::CursorShape::SizeNS,    plat::CursorShape::SizeWE,
      plat::CursorShape::SizeNESW, plat::CursorShape::SizeNWSE,  plat::CursorShape::UpArrow,
  };
  if (shape < 0 || shape >= static_cast<int>(std::size(kShapes))) return plat::CursorShape::Arrow;
  return kShapes[shape];
}

void ShowAllWindowCursors() {
  for (int n = 0; n <= kMaxWindowNumber; ++n) ShowWindowCursor(n);
}

}  // namespace

int PixelToUnit(int p, int extent) {
  if (extent < 2) return 0;
  return static_cast<int>((static_cast<double>(p) + 0.5) * 9999.0 / static_cast<double>(extent));
}

int UnitToPixel(int u, int extent) {
  return static_cast<int>(static_cast<std::int64_t>(u) * (extent - 1) / 9999);
}

void PixelToRelative(int px, int py, int& ux, int& uy) {
  ux = PixelToUnit(px, Geo().size.width);
  uy = PixelToUnit(py, Geo().size.height);
}

void RelativeToPixel(int ux, int uy, int& px, int& py) {
  px = UnitToPixel(ux, Geo().size.width);
  py = UnitToPixel(uy, Geo().size.height);
}

DrawableKind CurrentDrawableKind() {
  return Geo().kind;
}

plat::Size DrawableSize() {
  return Geo().size;
}

void SetCurrentDrawable(DrawableKind kind, plat::Size size) {
  Geo().kind = kind;
  Geo().size = size;
}

plat::Size TextCellPixels() {
  return Geo().textCell;
}

void TextCellToPixels() {
  const WindowTextStyleRecord& t = CurrentTextStyle();
  int px = 0;
  int py = 0;
  RelativeToPixel(t.charWidth, t.charHeight, px, py);
  Geo().textCell = {px, py};
}

void WCursorShape(int shape, int mode) {
  if (shape < 0) return;
  if (mode == 1) {
    if (Geo().kind != kDrawableWindow && Geo().kind != kDrawableField) {
      ReportLibraryError(kErrNoCursor, "WCursorShape");
      return;
    }
    // A dialog field's own cursor is kept by the dialog manager.
    if (Geo().kind == kDrawableWindow && WindowSlotInUse(CurrentWindow())) {
      detail::Slot(CurrentWindow()).cursorShape = shape;
      ShowWindowCursor(CurrentWindow());
    }
    return;
  }
  if (mode != 2)
    for (int n = 0; n <= kMaxWindowNumber; ++n) detail::Slot(n).cursorShape = 0;
  Geo().globalCursor = shape;
  ShowAllWindowCursors();
}

void ShowWindowCursor(int n) {
  if (!WindowSlotInUse(n)) return;
  const plat::Hwnd client = detail::Slot(n).client;
  if (client != plat::kNoWindow)
    plat::SetWindowCursor(client, PlatformCursor(EffectiveCursorShape(n)));
}

int GlobalCursorShape() {
  return Geo().globalCursor;
}

int WindowCursorShape(int n) {
  return WindowSlotInUse(n) ? detail::Slot(n).cursorShape : 0;
}

int EffectiveCursorShape(int n) {
  const int own = WindowCursorShape(n);
  return own != 0 ? own : Geo().globalCursor;
}

void SyncFocusAndCaptions(plat::Hwnd h) {
  const int owner = WindowNumberFromHandle(h);
  if (owner >= 0 && plat::GetFocus() != detail::Slot(owner).client)
    plat::SetFocus(detail::Slot(owner).client);
  for (int n = 1; n <= kMaxWindowNumber; ++n) {
    detail::WindowSlot& s = detail::Slot(n);
    if (s.frame == plat::kNoWindow) continue;
    s.captionActive = h != plat::kNoWindow && (s.frame == h || plat::IsChild(s.frame, h));
  }
}

bool CaptionActive(int n) {
  return WindowSlotInUse(n) && detail::Slot(n).captionActive;
}

void WindowGeometryQuery(int item, int& a, int& b, int& inside, int& parent) {
  a = b = inside = parent = 0;
  const int n = CurrentWindow();
  if ((item != 0 && item != 1) || !WindowSlotInUse(n)) return;  // dialogs: the dialog manager
  const detail::WindowSlot& s = detail::Slot(n);
  const plat::Rect r = s.showState == kShowNormal ? plat::GetWindowRect(s.frame) : s.normal;
  if (item == 0) {
    a = r.left;
    b = r.top;
  } else {
    a = r.Width();
    b = r.Height();
  }
  if (s.inside) {
    inside = 1;
    parent = s.parent;
  }
}

void ClientOriginOnScreen(int n, int& x, int& y) {
  plat::Hwnd client = WindowClientHandle(n);
  if (n == -1) {
    const int focus = WindowNumberFromHandle(plat::GetFocus());
    int top = focus >= 0 ? focus : kMainWindow;
    while (WindowSlotInUse(top) && detail::Slot(top).inside && detail::Slot(top).parent >= 0)
      top = detail::Slot(top).parent;
    client = WindowClientHandle(top);
  }
  const plat::Point p = plat::ClientToScreen(client, {0, 0});
  x = p.x;
  y = p.y;
}

}  // namespace tk
