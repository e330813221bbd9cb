// The bitmap viewer: a scrollable window of class "JQXBITMAP" that covers a
// numbered window's client area and shows one memory bitmap. Its scroll
// positions travel as event 15; mouse buttons as button events from the
// bitmap view. A modal viewer runs its own message loop until its window is
// asked to close.
#include <algorithm>
#include <array>
#include <memory>

#include "platform/controls/Controls.h"
#include "platform/draw/Canvas.h"
#include "platform/draw/Rop.h"
#include "platform/window/VirtualKeys.h"
#include "platform/window/Window.h"
#include "toolkit/core/Events.h"
#include "toolkit/core/Menus.h"
#include "toolkit/core/ToolkitState.h"
#include "toolkit/core/Windows.h"
#include "toolkit/graphics/BitmapStore.h"
#include "toolkit/graphics/GraphicsState.h"

namespace tk {

namespace {

using plat::Msg;

constexpr char kViewerClass[] = "JQXBITMAP";
constexpr int kViewerId = 1001;
// Pixels moved by an arrow key or a scroll-bar arrow; a wheel notch moves three.
constexpr int kLinePixels = 16;
constexpr int kWheelLines = 3;

enum ViewerMode { kModal = 1, kModeless = 2, kModelessCounted = 3 };
enum ViewerFlags { kViewerKeys = 1, kViewerDoubleClicks = 2 };

// The twenty integers of a viewer record, by field.
enum RecordField {
  kFieldKind = 0,
  kFieldView = 5,
  kFieldClient = 6,
  kFieldMode = 7,
  kFieldClosed = 8,
  kFieldBitmap = 9,
  kFieldWidth = 10,
  kFieldHeight = 11,
  kFieldFlags = 14,
};

struct ViewerRecord {
  std::array<std::int32_t, 20> fields{};
  int window = -1;
  plat::Hwnd frame = plat::kNoWindow;
  plat::Hwnd client = plat::kNoWindow;
  plat::Hwnd view = plat::kNoWindow;
  plat::WindowProc frameProc;  // the frame procedure the viewer replaced
  plat::Surface* bitmap = nullptr;
};

struct ViewerState {
  std::array<std::unique_ptr<ViewerRecord>, kMaxWindowNumber + 1> records;
  int counted = 0;  // open viewers of mode 3
};

ViewerState& V() {
  static ViewerState s;
  return s;
}

ViewerRecord* RecordOf(int window) {
  if (window < 0 || window > kMaxWindowNumber) return nullptr;
  ViewerRecord* r = V().records[static_cast<std::size_t>(window)].get();
  if (!r || !WindowSlotInUse(window) || WindowBitmapView(window) != r->view) return nullptr;
  return r;
}

ViewerRecord* RecordOfHandle(plat::Hwnd h) {
  for (auto& r : V().records)
    if (r && (r->view == h || r->frame == h)) return r.get();
  return nullptr;
}

plat::Surface* SlotSurface(int index) {
  const auto b = BitmapSurfaceBinding(index + 1);
  return b ? b->surface : nullptr;
}

/// The part of the view the bitmap is drawn into (inside the scroll bars).
plat::Rect Inside(const ViewerRecord& r) { return plat::ClientInsideScrollBars(r.view); }

/// Recomputes both bars' ranges and pages; a negative position keeps the bar's.
void SetScrollBars(ViewerRecord& r, int x, int y) {
  const plat::Rect in = Inside(r);
  const int w = r.fields[kFieldWidth], h = r.fields[kFieldHeight];
  const int hpos = x >= 0 ? x : plat::GetWindowScrollPos(r.view, false);
  const int vpos = y >= 0 ? y : plat::GetWindowScrollPos(r.view, true);
  plat::SetWindowScrollInfo(r.view, false, 0, std::max(0, w - 1), std::min(in.Width(), w), hpos);
  plat::SetWindowScrollInfo(r.view, true, 0, std::max(0, h - 1), std::min(in.Height(), h), vpos);
}

void ShowBitmap(ViewerRecord& r, plat::Surface* bitmap, int x, int y) {
  r.bitmap = bitmap;
  r.fields[kFieldBitmap] = 1;
  r.fields[kFieldWidth] = bitmap->Width();
  r.fields[kFieldHeight] = bitmap->Height();
  r.fields[12] = r.fields[13] = -999;
  for (int i = 15; i < 20; ++i) r.fields[static_cast<std::size_t>(i)] = 0;
  // A window larger than the bitmap (and its bars) shrinks to it.
  const plat::Size client = WindowClientSize(r.window);
  const int bar = plat::kWindowScrollBarSize;
  const int cw = std::min(client.width, r.fields[kFieldWidth] + bar);
  const int ch = std::min(client.height, r.fields[kFieldHeight] + bar);
  if (cw != client.width || ch != client.height) {
    const plat::Rect f = plat::GetWindowRect(r.frame);
    plat::MoveWindow(r.frame,
                     {f.left, f.top, f.right - (client.width - cw), f.bottom - (client.height - ch)},
                     true);
  }
  SetScrollBars(r, x, y);
  plat::InvalidateRect(r.view, std::nullopt, true);
}

/// Moves the scroll positions (clamped so a page fits); a change is redrawn
/// and delivered as event 15.
void ScrollTo(ViewerRecord& r, int hpos, int vpos) {
  const int oldH = plat::GetWindowScrollPos(r.view, false);
  const int oldV = plat::GetWindowScrollPos(r.view, true);
  plat::SetWindowScrollPos(r.view, false, hpos);
  plat::SetWindowScrollPos(r.view, true, vpos);
  const int h = plat::GetWindowScrollPos(r.view, false);
  const int v = plat::GetWindowScrollPos(r.view, true);
  if (h == oldH && v == oldV) return;
  plat::InvalidateRect(r.view, Inside(r), false);
  StoreEvent(kEventViewScrolled, 0, 0, plat::MakeLParam(h, v), r.view);
}

void ScrollBy(ViewerRecord& r, bool vertical, int delta) {
  const int h = plat::GetWindowScrollPos(r.view, false);
  const int v = plat::GetWindowScrollPos(r.view, true);
  // Kept in range here: a far target is the end, never a wrapped position.
  const auto clamp = [](long long p) { return static_cast<int>(std::clamp<long long>(p, 0, 1 << 30)); };
  if (vertical)
    ScrollTo(r, h, clamp(static_cast<long long>(v) + delta));
  else
    ScrollTo(r, clamp(static_cast<long long>(h) + delta), v);
}

void ScrollBarMessage(ViewerRecord& r, bool vertical, plat::WParam w) {
  const plat::WindowScrollInfo i = plat::GetWindowScrollInfo(r.view, vertical);
  const int page = std::max(1, i.page);
  const int h = plat::GetWindowScrollPos(r.view, false);
  const int v = plat::GetWindowScrollPos(r.view, true);
  int target = i.pos;
  switch (plat::LowWord(w)) {
    case plat::kSbLineUp: target = i.pos - kLinePixels; break;
    case plat::kSbLineDown: target = i.pos + kLinePixels; break;
    case plat::kSbPageUp: target = i.pos - page; break;
    case plat::kSbPageDown: target = i.pos + page; break;
    case plat::kSbThumbPosition:
    case plat::kSbThumbTrack: target = plat::HighWord(w); break;
    case plat::kSbTop: target = i.min; break;
    case plat::kSbBottom: target = i.max; break;
    default: return;
  }
  target = std::max(0, target);
  if (vertical)
    ScrollTo(r, h, target);
  else
    ScrollTo(r, target, v);
}

/// Page and arrow keys; false for a key the viewer leaves alone.
bool ViewerKey(ViewerRecord& r, int vk) {
  const bool ctrl = plat::IsKeyDown(plat::kVkControl);
  const int hpage = std::max(1, plat::GetWindowScrollInfo(r.view, false).page);
  const int vpage = std::max(1, plat::GetWindowScrollInfo(r.view, true).page);
  const int h = plat::GetWindowScrollPos(r.view, false);
  const int v = plat::GetWindowScrollPos(r.view, true);
  const int endH = std::max(0, r.fields[kFieldWidth] - 1);
  const int endV = std::max(0, r.fields[kFieldHeight] - 1);
  switch (vk) {
    case plat::kVkPrior: ctrl ? ScrollTo(r, h, 0) : ScrollBy(r, true, -vpage); return true;
    case plat::kVkNext: ctrl ? ScrollTo(r, h, endV) : ScrollBy(r, true, vpage); return true;
    case plat::kVkHome: ctrl ? ScrollTo(r, 0, v) : ScrollBy(r, false, -hpage); return true;
    case plat::kVkEnd: ctrl ? ScrollTo(r, endH, v) : ScrollBy(r, false, hpage); return true;
    case plat::kVkUp: ScrollBy(r, true, -kLinePixels); return true;
    case plat::kVkDown: ScrollBy(r, true, kLinePixels); return true;
    case plat::kVkLeft: ScrollBy(r, false, -kLinePixels); return true;
    case plat::kVkRight: ScrollBy(r, false, kLinePixels); return true;
    default: return false;
  }
}

void Paint(ViewerRecord& r) {
  const plat::PaintContext ctx = plat::BeginPaint(r.view);
  if (ctx.surface && r.bitmap) {
    const plat::Rect in = Inside(r);
    const int h = plat::GetWindowScrollPos(r.view, false);
    const int v = plat::GetWindowScrollPos(r.view, true);
    const int w = std::min(in.Width(), r.bitmap->Width() - h);
    const int hg = std::min(in.Height(), r.bitmap->Height() - v);
    plat::Canvas c(*ctx.surface, ctx.origin, ctx.clip);
    if (w > 0 && hg > 0) c.BitBlt({0, 0}, w, hg, *r.bitmap, {h, v}, plat::kSrcCopy);
  }
  plat::EndPaint(r.view, ctx);
}

int ButtonOf(Msg m) {
  switch (m) {
    case Msg::RButtonDown:
    case Msg::RButtonUp:
    case Msg::RButtonDblClk: return 3;
    case Msg::MButtonDown:
    case Msg::MButtonUp:
    case Msg::MButtonDblClk: return 2;
    default: return 1;
  }
}

plat::LResult ViewerProc(plat::Hwnd h, Msg m, plat::WParam w, plat::LParam l) {
  ViewerRecord* r = RecordOfHandle(h);
  if (!r || r->view != h) return plat::DefWindowProc(h, m, w, l);
  const bool modal = r->fields[kFieldMode] == kModal;
  const int flags = r->fields[kFieldFlags];
  switch (m) {
    case Msg::Paint: Paint(*r); return 0;
    case Msg::Size:
      plat::PlaceWindowScrollBars(h);
      SetScrollBars(*r, -1, -1);
      return 0;
    case Msg::HScroll:
    case Msg::VScroll:
      ScrollBarMessage(*r, m == Msg::VScroll, w);
      return 0;
    case Msg::KeyDown:
      if ((modal || (flags & kViewerKeys)) && ViewerKey(*r, static_cast<int>(w & 0xFF))) return 0;
      return plat::SendMessage(r->client, m, w, l);
    case Msg::Char:
    case Msg::KeyUp:
      return plat::SendMessage(r->client, m, w, l);
    case Msg::MouseMove: StoreEvent(kEventMouseMove, 0, w, l, h); return 0;
    case Msg::LButtonDown:
    case Msg::RButtonDown:
    case Msg::MButtonDown:
    case Msg::LButtonDblClk:
    case Msg::RButtonDblClk:
    case Msg::MButtonDblClk: {
      const bool dbl = m == Msg::LButtonDblClk || m == Msg::RButtonDblClk || m == Msg::MButtonDblClk;
      int on = 0;
      EventTypeEnabled(kEventDoubleClick, on);
      const bool asDouble = dbl && on != 0 && (modal || (flags & kViewerDoubleClicks));
      plat::SetCapture(h);
      StoreEvent(asDouble ? kEventDoubleClick : kEventButtonDown, ButtonOf(m), w, l, h);
      return 0;
    }
    case Msg::LButtonUp:
    case Msg::RButtonUp:
    case Msg::MButtonUp:
      plat::ReleaseCapture();
      StoreEvent(kEventButtonUp, ButtonOf(m), w, l, h);
      return 0;
    case Msg::MouseWheel: {
      // Turned away from the user (positive) scrolls up.
      const int notches = plat::SignedHigh(w) / 120;
      ScrollBy(*r, true, -notches * kWheelLines * kLinePixels);
      return 0;
    }
    default: return plat::DefWindowProc(h, m, w, l);
  }
}

void FreeRecord(int window) {
  auto& slot = V().records[static_cast<std::size_t>(window)];
  if (!slot) return;
  if (slot->fields[kFieldMode] == kModelessCounted) V().counted = std::max(0, V().counted - 1);
  slot.reset();
}

/// Takes the viewer off window R: the frame's own procedure back, the client
/// area shown again, the record freed.
void CloseViewer(int window) {
  ViewerRecord* r = V().records[static_cast<std::size_t>(window)].get();
  if (!r) return;
  if (plat::IsWindow(r->frame) && r->frameProc) plat::SetWindowProc(r->frame, r->frameProc);
  SetWindowBitmapView(window, plat::kNoWindow);
  const plat::Hwnd view = r->view;
  const plat::Hwnd client = r->client;
  FreeRecord(window);
  if (plat::IsWindow(view)) plat::DestroyWindow(view);
  if (plat::IsWindow(client)) plat::ShowWindow(client, plat::ShowCmd::Show);
}

plat::LResult ViewerFrameProc(plat::Hwnd h, Msg m, plat::WParam w, plat::LParam l) {
  ViewerRecord* r = RecordOfHandle(h);
  if (!r || r->frame != h) return plat::DefWindowProc(h, m, w, l);
  const plat::WindowProc own = r->frameProc;
  switch (m) {
    case Msg::Close:
      if (r->fields[kFieldMode] == kModal) {
        r->fields[kFieldClosed] = 1;
        return 0;
      }
      return own(h, m, w, l);  // event 9, as for the window itself
    case Msg::Size: {
      const plat::LResult res = own(h, m, w, l);
      if (w != plat::kSizeMinimized && plat::IsWindow(r->view))
        plat::MoveWindow(r->view, plat::GetWindowRect(r->client), true);
      return res;
    }
    case Msg::Destroy: {
      const int window = r->window;
      const plat::LResult res = own(h, m, w, l);
      FreeRecord(window);
      return res;
    }
    default: return own(h, m, w, l);
  }
}

void ResetViewers() {
  for (int i = 0; i <= kMaxWindowNumber; ++i) CloseViewer(i);
  V().counted = 0;
}

[[maybe_unused]] const bool kResetRegistered =
    RegisterToolkitReset(ToolkitLayer::Graphics, ResetViewers);

}  // namespace

void BitmapViewerOpen(int index, int x, int y, int mode, int flags, int& status) {
  status = 0;
  const int n = CurrentWindow();
  if (!WindowSlotInUse(n)) {
    status = 1;
    return;
  }
  plat::Surface* bitmap = SlotSurface(index);
  if (!bitmap) {
    status = 2;
    return;
  }
  // A bitmap that is the drawing surface cannot be shown at the same time.
  const GraphicsState& gs = Gs();
  if (gs.drawableKind == kDrawBitmap && gs.drawableNumber == index + 1) {
    status = 3;
    return;
  }
  if (ViewerRecord* r = RecordOf(n)) {
    ShowBitmap(*r, bitmap, x, y);
    plat::UpdateWindow(r->view);
    return;
  }
  if (WindowQuery(10) != 0) {
    status = 4;
    return;
  }
  const plat::Hwnd frame = WindowFrameHandle(n);
  const plat::Hwnd client = WindowClientHandle(n);
  if (WindowHoldsWindows(n)) {
    status = 9;
    return;
  }
  if ((plat::GetStyle(frame) & plat::kStyleChild) && mode != kModeless) {
    mode = kModeless;
    status = 5;
  }
  if (mode < kModal || mode > kModelessCounted) mode = kModeless;
  // Registered once per window system (a restarted one has lost it).
  if (!plat::IsClassRegistered(kViewerClass)) {
    plat::WindowClass cls;
    cls.name = kViewerClass;
    cls.proc = ViewerProc;
    cls.style = plat::kClassDblClks;
    cls.background = plat::kColourWindow;
    plat::RegisterWindowClass(cls);
  }
  auto record = std::make_unique<ViewerRecord>();
  ViewerRecord& r = *record;
  r.fields[kFieldKind] = 2;
  r.fields[kFieldView] = 1;
  r.fields[kFieldClient] = 1;
  r.fields[kFieldMode] = mode;
  r.fields[kFieldFlags] = flags;
  r.window = n;
  r.frame = frame;
  r.client = client;
  V().records[static_cast<std::size_t>(n)] = std::move(record);

  // A modal viewer takes the window for itself: menu and toolbars go.
  if (mode == kModal) RemoveMenuAndToolbars(n);

  plat::CreateParams p;
  p.className = kViewerClass;
  p.style = plat::kStyleChild | plat::kStyleVisible | plat::kWsHScroll | plat::kWsVScroll;
  p.rect = plat::GetWindowRect(client);
  p.parent = frame;
  p.id = kViewerId;
  r.view = plat::CreateWindow(p);
  if (r.view == plat::kNoWindow) {
    V().records[static_cast<std::size_t>(n)].reset();
    status = 6;
    return;
  }
  SetWindowBitmapView(n, r.view);
  plat::PlaceWindowScrollBars(r.view);
  r.frameProc = plat::SetWindowProc(frame, ViewerFrameProc);
  ShowBitmap(r, bitmap, std::max(0, x), std::max(0, y));
  const bool hadFocus = plat::GetFocus() == client;
  plat::ShowWindow(client, plat::ShowCmd::Hide);
  if (hadFocus) plat::SetFocus(r.view);
  if (mode == kModelessCounted) ++V().counted;
  if (mode != kModal) return;

  // Modal: every message goes its way until the window is asked to close.
  plat::Message msg;
  while (RecordOf(n) && RecordOf(n)->fields[kFieldClosed] == 0) {
    if (!plat::GetMessage(msg)) {
      plat::PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    plat::TranslateMessage(msg);
    plat::DispatchMessage(msg);
  }
  CloseViewer(n);
  if (WindowSlotInUse(kMainWindow)) {
    plat::SetActiveWindow(WindowFrameHandle(kMainWindow));
    plat::SetFocus(WindowClientHandle(kMainWindow));
  }
}

int BitmapViewerFind(int index) {
  const plat::Surface* s = SlotSurface(index);
  if (!s) return 0;
  for (int n = 1; n <= kMaxWindowNumber; ++n)
    if (const ViewerRecord* r = RecordOf(n); r && r->bitmap == s) return n;
  return 0;
}

bool BitmapShownInViewer(const plat::Surface* bitmap) {
  for (int n = 0; n <= kMaxWindowNumber; ++n)
    if (const ViewerRecord* r = RecordOf(n); r && r->bitmap == bitmap) return true;
  return false;
}

void BitmapViewerRebind(const plat::Surface* old, plat::Surface* fresh) {
  for (int n = 0; n <= kMaxWindowNumber; ++n)
    if (ViewerRecord* r = RecordOf(n); r && r->bitmap == old) ShowBitmap(*r, fresh, -1, -1);
}

int BitmapViewersCounted() { return V().counted; }

void BitmapViewerInfo(int window, int item, int& value) {
  value = 0;
  const ViewerRecord* r = RecordOf(window);
  if (!r) return;
  switch (item) {
    case 3:
      for (int i = 0; i < kBitmapSlots; ++i)
        if (SlotSurface(i) == r->bitmap) value = i + 1;
      return;
    case 4: value = plat::GetWindowScrollPos(r->view, false); return;
    case 5: value = plat::GetWindowScrollPos(r->view, true); return;
    case 101: value = r->fields[kFieldWidth]; return;
    case 102: value = r->fields[kFieldHeight]; return;
    case 103: {
      const plat::WindowScrollInfo hs = plat::GetWindowScrollInfo(r->view, false);
      const plat::WindowScrollInfo vs = plat::GetWindowScrollInfo(r->view, true);
      value = vs.pos + vs.page + (hs.page <= hs.max - hs.min ? plat::kWindowScrollBarSize : 0);
      return;
    }
    default: return;
  }
}

}  // namespace tk
