// Pointer shapes: each window may name one; the window under the pointer
// shows its own or its nearest ancestor's, and the top-level window's native
// window is told whenever that changes.
#include "platform/window/System_p.h"
#include "platform/window/Window.h"

namespace plat {

namespace detail {

void PointerOver(Hwnd h) {
  System* s = Sys();
  Win* w = Find(h);
  if (s == nullptr || w == nullptr) return;
  s->pointer = h;
  Win* top = TopOf(w);
  if (top == nullptr || top->native == 0) return;
  const CursorShape shape = CursorShownOver(h);
  if (top->shownCursor == shape) return;
  top->shownCursor = shape;
  s->backend->SetCursor(top->native, shape);
}

}  // namespace detail

using namespace detail;

void SetWindowCursor(Hwnd h, std::optional<CursorShape> shape) {
  Win* w = Find(h);
  if (w == nullptr) return;
  w->cursor = shape;
  if (InTree(h, Sys()->pointer)) PointerOver(Sys()->pointer);
}

std::optional<CursorShape> GetWindowCursor(Hwnd h) {
  const Win* w = Find(h);
  return w != nullptr ? w->cursor : std::nullopt;
}

CursorShape CursorShownOver(Hwnd h) {
  for (const Win* w = Find(h); w != nullptr; w = Find(w->parent))
    if (w->cursor) return *w->cursor;
  return CursorShape::Arrow;
}

}  // namespace plat
