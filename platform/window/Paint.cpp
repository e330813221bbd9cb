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

PaintContext BeginPaint(Hwnd h) {
  Win* w = Find(h);
  if (w == nullptr) return {};
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
  if (Win* w = Find(h)) QueuePresent(w, ctx.clip.Intersect(VisibleClient(w)));
}

PaintContext GetDrawContext(Hwnd h) {
  Win* w = Find(h);
  if (w == nullptr) return {};
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

}  // namespace plat
