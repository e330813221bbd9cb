// Dialog status words, owner windows and snapshots: see ModalState.h.
#include "toolkit/core/ModalState.h"

#include <algorithm>
#include <array>

#include "platform/window/Window.h"
#include "toolkit/core/ToolkitState.h"
#include "toolkit/core/Windows.h"

namespace tk {

namespace {

struct Snapshot {
  plat::Hwnd client = plat::kNoWindow;
  int count = 0;
  plat::Surface pixels;
};

struct ModalState {
  std::array<Snapshot, kWindowSlots> snapshots{};
  DialogStatusWords status{};
  ModalDialogLink dialogs;
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
  return State().status;
}

void ResetDialogStatus() {
  State().status = DialogStatusWords{};
}

void SetModalDialogLink(ModalDialogLink link) {
  State().dialogs = std::move(link);
}

const ModalDialogLink& GetModalDialogLink() {
  return State().dialogs;
}

plat::Hwnd CurrentOwnerWindow() {
  const ModalDialogLink& link = State().dialogs;
  if (link.activeOwner) {
    if (const plat::Hwnd dialog = link.activeOwner(); dialog != plat::kNoWindow) return dialog;
  }
  // The active toolkit window, else the main window's frame.
  const plat::Hwnd a = plat::GetActiveWindow();
  if (a != plat::kNoWindow && WindowNumberFromHandle(a) >= 0) return a;
  return WindowFrameHandle(kMainWindow);
}

void DisableOwnerWindows(plat::Hwnd owner, bool withWindows) {
  if (State().dialogs.disableDialogs) State().dialogs.disableDialogs(owner);
  if (!withWindows) return;
  for (int n = 0; n <= kMaxWindowNumber; ++n) {
    const plat::Hwnd frame = WindowFrameHandle(n);
    if (frame != plat::kNoWindow && frame != owner && plat::IsWindowVisible(frame))
      plat::EnableWindow(frame, false);
  }
}

void EnableOwnerWindows(plat::Hwnd window, bool withWindows) {
  if (State().dialogs.enableDialogs && !State().dialogs.enableDialogs()) {
    if (window != plat::kNoWindow) plat::EnableWindow(window, true);
    return;
  }
  if (!withWindows) return;
  for (int n = 0; n <= kMaxWindowNumber; ++n) {
    const plat::Hwnd frame = WindowFrameHandle(n);
    if (frame != plat::kNoWindow && plat::IsWindowVisible(frame)) plat::EnableWindow(frame, true);
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

namespace {
// Part of the one reset for tests.
[[maybe_unused]] const bool kResetRegistered = RegisterToolkitReset(ToolkitLayer::Core, ResetDialogStatus);
}  // namespace

}  // namespace tk
