// Invalid areas, paint contexts and presenting drawn areas on the screen.
//
// An invalid area is kept as one rectangle (the bounding box of everything
// invalidated); repainting a little more than needed is cheaper than keeping
// exact regions.
#include "platform/window/Window.h"
#include "platform/window/System_p.h"

namespace plat {
namespace detail {
namespace {

/// A minus B, where the result must stay one rectangle: B is taken off only
/// when it covers A whole or a full-width or full-height strip at one side.
Rect Subtract(const Rect& a, const Rect& b) {
  const Rect i = a.Intersect(b);
  if (i.Empty()) return a;
  if (i == a) return {};
  Rect r = a;
  if (i.left == a.left && i.right == a.right) {
    if (i.top == a.top)
      r.top = i.bottom;
    else if (i.bottom == a.bottom)
      r.bottom = i.top;
  } else if (i.top == a.top && i.bottom == a.bottom) {
    if (i.left == a.left)
      r.left = i.right;
    else if (i.right == a.right)
      r.right = i.left;
  }
  return r;
}

/// Queues client area R of W (already clipped to what shows) for presenting.
void QueuePresent(Win* w, const Rect& r) {
  if (r.Empty()) return;
  Win* top = TopOf(w);
  if (top == nullptr) return;
  const Point o = OriginInTop(w);
  top->toPresent = top->toPresent.Union(r.Offset(o.x, o.y));
}

}  // namespace

void Invalidate(Win* w, Rect r, bool erase) {
  r = r.Intersect(w->Client());
  if (r.Empty()) return;
  w->invalid = w->invalid.Union(r);
  w->erase = w->erase || erase;
  for (Hwnd k : w->children) {
    Win* c = Find(k);
    if (c == nullptr || !c->shown) continue;
    const Rect cr = r.Intersect(c->rect);
    if (!cr.Empty()) Invalidate(c, cr.Offset(-c->rect.left, -c->rect.top), erase);
  }
}

}  // namespace detail

using namespace detail;

void InvalidateRect(Hwnd h, std::optional<Rect> rect, bool erase) {
  if (Win* w = Find(h)) Invalidate(w, rect.value_or(w->Client()), erase);
}

void ValidateRect(Hwnd h, std::optional<Rect> rect) {
  Win* w = Find(h);
  if (w == nullptr) return;
  w->invalid = rect ? Subtract(w->invalid, *rect) : Rect{};
  if (w->invalid.Empty()) w->erase = false;
}

Rect GetUpdateRect(Hwnd h) {
  const Win* w = Find(h);
  return w ? w->invalid : Rect{};
}

void UpdateWindow(Hwnd h) {
  const Win* w = Find(h);
  if (w != nullptr && !w->invalid.Empty() && IsWindowVisible(h))
    DispatchMessage(MakeMessage(h, Msg::Paint, 0, 0));
}

namespace {
// The window whose painting goes into a surface of the caller's (PaintInto).
Hwnd redirectWindow = kNoWindow;
Surface* redirectSurface = nullptr;

PaintContext RedirectedContext(Win* w) {
  PaintContext ctx;
  ctx.surface = redirectSurface;
  ctx.clip = ctx.invalid = w->Client();
  return ctx;
}
}  // namespace

PaintContext BeginPaint(Hwnd h) {
  Win* w = Find(h);
  if (w == nullptr) return {};
  if (h == redirectWindow) return RedirectedContext(w);
  w->painted = true;
  PaintContext ctx;
  ctx.surface = &TopOf(w)->surface;
  ctx.origin = OriginInTop(w);
  ctx.invalid = w->invalid;
  ctx.clip = VisibleClient(w).Intersect(w->invalid);
  const bool erase = w->erase;
  w->invalid = {};
  w->erase = false;
  if (erase && !ctx.clip.Empty()) {
    ctx.erase = SendMessage(h, Msg::EraseBackground, 0, reinterpret_cast<LParam>(&ctx)) != 0;
    if (Find(h) == nullptr) return {};
  }
  return ctx;
}

void EndPaint(Hwnd h, const PaintContext& ctx) {
  if (h == redirectWindow) return;
  if (Win* w = Find(h)) QueuePresent(w, ctx.clip.Intersect(VisibleClient(w)));
}

PaintContext GetDrawContext(Hwnd h) {
  Win* w = Find(h);
  if (w == nullptr) return {};
  if (h == redirectWindow) return RedirectedContext(w);
  PaintContext ctx;
  ctx.surface = &TopOf(w)->surface;
  ctx.origin = OriginInTop(w);
  ctx.clip = VisibleClient(w);
  return ctx;
}

void MarkDrawn(Hwnd h, std::optional<Rect> area) {
  if (Win* w = Find(h)) QueuePresent(w, area.value_or(w->Client()).Intersect(VisibleClient(w)));
}

void FlushDrawing() {
  System* s = Sys();
  if (s == nullptr) return;
  for (Hwnd t : s->tops) {
    Win* w = Find(t);
    if (w == nullptr || w->toPresent.Empty()) continue;
    const Rect r = w->toPresent.Intersect(w->surface.Bounds());
    w->toPresent = {};
    if (w->shown && !r.Empty()) s->backend->Present(w->native, w->surface, r);
  }
}

Surface* GetSurface(Hwnd h) {
  Win* t = TopOf(Find(h));
  return t ? &t->surface : nullptr;
}

bool PaintInto(Hwnd h, Surface& target) {
  Win* w = Find(h);
  if (w == nullptr || redirectWindow != kNoWindow) return false;
  const Rect c = w->Client();
  target.Resize(c.Width(), c.Height());
  redirectWindow = h;
  redirectSurface = &target;
  SendMessage(h, Msg::Paint);
  redirectWindow = kNoWindow;
  redirectSurface = nullptr;
  return true;
}

void ScrollWindowContents(Hwnd h, int dx, int dy) {
  Win* w = Find(h);
  if (w == nullptr || (dx == 0 && dy == 0)) return;
  // Children move along without repainting: their pixels go with the blit.
  for (Hwnd child : GetChildren(h)) MoveWindow(child, GetWindowRect(child).Offset(dx, dy), false);
  w = Find(h);
  if (w == nullptr) return;
  const Rect client = w->Client();
  const Rect visible = VisibleClient(w);
  Surface& surface = TopOf(w)->surface;
  const Point o = OriginInTop(w);
  const Rect target = visible.Intersect(visible.Offset(dx, dy));
  if (!target.Empty()) {
    // Rows in the order that never reads a row already written.
    const int width = target.Width();
    std::vector<Pixel> row(static_cast<std::size_t>(width));
    for (int k = 0; k < target.Height(); ++k) {
      const int y = dy > 0 ? target.bottom - 1 - k : target.top + k;
      const int sy = y - dy + o.y, ty = y + o.y;
      if (sy < 0 || ty < 0 || sy >= surface.Height() || ty >= surface.Height()) continue;
      for (int x = 0; x < width; ++x) row[static_cast<std::size_t>(x)] = surface.Get(target.left + x - dx + o.x, sy);
      for (int x = 0; x < width; ++x) surface.Set(target.left + x + o.x, ty, row[static_cast<std::size_t>(x)]);
    }
    QueuePresent(w, target);
  }
  // What the move uncovered is painted again.
  if (dy > 0) InvalidateRect(h, Rect{client.left, client.top, client.right, client.top + dy}, true);
  if (dy < 0) InvalidateRect(h, Rect{client.left, client.bottom + dy, client.right, client.bottom}, true);
  if (dx > 0) InvalidateRect(h, Rect{client.left, client.top, client.left + dx, client.bottom}, true);
  if (dx < 0) InvalidateRect(h, Rect{client.right + dx, client.top, client.right, client.bottom}, true);
}

}  // namespace plat
