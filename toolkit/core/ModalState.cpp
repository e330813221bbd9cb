// Dialog status words, owner windows and snapshots: see ModalState.h.
#include "toolkit/core/ModalState.h"

#include <algorithm>
#include <array>
#include <utility>

#include "platform/window/Window.h"
#include "toolkit/core/Windows.h"

namespace tk {

namespace {

struct Snapshot {
  plat::Hwnd client = plat::kNoWindow;
  int count = 0;
  plat::Surface pixels;
};

struct ModalState {
  DialogStatusWords words;
  std::array<Snapshot, kWindowSlots> snapshots{};
  std::array<bool, kWindowSlots> disabledByUs{};
};

ModalState& State() {
  static ModalState s;
  return s;
}

/// Copies the client area of H between its top-level surface and PIXELS.
void CopyClient(plat::Hwnd h, plat::Surface& pixels, bool capture) {
  plat::Surface* surface = plat::GetSurface(h);
  if (surface == nullptr) return;
  const plat::PaintContext ctx = plat::GetDrawContext(h);
  const plat::Rect c = plat::GetClientRect(h);
  if (capture) pixels.Resize(c.Width(), c.Height());
  for (int y = 0; y < std::min(c.Height(), pixels.Height()); ++y) {
    for (int x = 0; x < std::min(c.Width(), pixels.Width()); ++x) {
      const int sx = ctx.origin.x + x;
      const int sy = ctx.origin.y + y;
      if (!surface->Inside(sx, sy)) continue;
      if (capture)
        pixels.Set(x, y, surface->Get(sx, sy));
      else if (ctx.clip.Contains({x, y}))
        surface->Set(sx, sy, pixels.Get(x, y));
    }
  }
}

}  // namespace

DialogStatusWords& DialogStatus() {
  return State().words;
}

void ResetDialogStatus() {
  State().words = DialogStatusWords{};
}

int WDialogStatusQuery(int item) {
  const DialogStatusWords& w = State().words;
  switch (item) {
    case 1:
      return w.closingButton;
    case 2:
      return w.focusBefore;
    case 3:
      return w.item3;
    case 4:
      return w.answer;
    case 5:
      return w.item5;
    default:
      return 0;
  }
}

plat::Hwnd CurrentOwnerWindow() {
  return WindowFrameHandle(kMainWindow);
}

void DisableOwnerWindows(plat::Hwnd owner, bool all) {
  if (!all) return;
  for (int n = 0; n <= kMaxWindowNumber; ++n) {
    const plat::Hwnd frame = WindowFrameHandle(n);
    bool& mark = State().disabledByUs[static_cast<std::size_t>(n)];
    mark = false;
    if (frame == plat::kNoWindow || frame == owner || plat::GetParent(frame) != plat::kNoWindow)
      continue;
    if (plat::IsWindowVisible(frame) && plat::IsWindowEnabled(frame)) {
      plat::EnableWindow(frame, false);
      mark = true;
    }
  }
}

void EnableOwnerWindows(plat::Hwnd owner, bool all) {
  (void)owner;
  if (!all) return;
  for (int n = 0; n <= kMaxWindowNumber; ++n) {
    bool& mark = State().disabledByUs[static_cast<std::size_t>(n)];
    if (mark && WindowSlotInUse(n)) plat::EnableWindow(WindowFrameHandle(n), true);
    mark = false;
  }
}

void WindowSnapshot(int mode, int except, int& status) {
  status = 0;
  for (int n = 0; n <= kMaxWindowNumber; ++n) {
    Snapshot& s = State().snapshots[static_cast<std::size_t>(n)];
    const plat::Hwnd client = WindowClientHandle(n);
    if (s.client != client) s = Snapshot{};  // the slot holds another window now
    if (mode == 1) {
      if (n == except || client == plat::kNoWindow || !plat::IsWindowVisible(client)) continue;
      if (s.count++ == 0) {
        s.client = client;
        CopyClient(client, s.pixels, true);
      }
    } else if (s.count > 0 && --s.count == 0) {
      if (plat::IsWindow(s.client)) {
        CopyClient(s.client, s.pixels, false);
        plat::ValidateRect(s.client);
        plat::MarkDrawn(s.client);
      }
      s = Snapshot{};
    }
  }
}

namespace detail {

bool PaintFromSnapshot(int n) {
  if (n < 0 || n > kMaxWindowNumber) return false;
  Snapshot& s = State().snapshots[static_cast<std::size_t>(n)];
  if (s.count == 0 || s.client != WindowClientHandle(n)) return false;
  const plat::PaintContext ctx = plat::BeginPaint(s.client);
  plat::EndPaint(s.client, ctx);
  CopyClient(s.client, s.pixels, false);
  plat::MarkDrawn(s.client);
  return true;
}

}  // namespace detail

}  // namespace tk
