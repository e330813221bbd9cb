// The X11 backend. Each top-level window is an X window on the root; its
// backing surface is shown with XPutImage, and X events become InputEvents
// (one translation function per kind of X event).
//
// What the window system gets from here:
// - Mouse positions in window pixels, keyState after the event (a press
//   includes its button, a release no longer does). Buttons 4 and 5 are one
//   Wheel of +120 or -120 each. Double clicks are not detected here.
// - KeyDown/KeyUp for keys with a virtual-key code, then a Char with the
//   Latin-1 character the key types (Control+letter types 1..26, Delete and
//   Control+Space type nothing). Held keys repeat as KeyDowns only.
// - Resize and Move whenever the X server reports a new size or screen
//   position, including after MoveWindow; Expose for each damaged rectangle.
// - Close when a window manager sends WM_DELETE_WINDOW; the window stays
//   until DestroyWindow.
//
// Only the files of this folder include Xlib: its macros (None, Bool, Status,
// Expose, KeyPress, ...) must not meet the rest of the program. Here our
// headers come first, and the names of ours that those macros would replace
// (Expose, FocusIn, FocusOut) get other names before Xlib is included.
#include "platform/backend/Backend.h"
#include "platform/backend/x11/X11TestHooks.h"
#include "platform/system/Clipboard.h"
#include "platform/window/VirtualKeys.h"

namespace plat {
namespace {
constexpr InputEvent::Kind kExposeEvent = InputEvent::Kind::Expose;
constexpr InputEvent::Kind kFocusInEvent = InputEvent::Kind::FocusIn;
constexpr InputEvent::Kind kFocusOutEvent = InputEvent::Kind::FocusOut;
using PointerShape = CursorShape;  // Xlib defines CursorShape as a macro
}  // namespace
}  // namespace plat

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/cursorfont.h>
#include <X11/keysym.h>
#include <poll.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

namespace plat {
namespace {

struct KeyName {
  KeySym keysym;
  int vk;
};

constexpr KeyName kKeys[] = {
    {XK_BackSpace, kVkBack},
    {XK_Tab, kVkTab},
    {XK_ISO_Left_Tab, kVkTab},
    {XK_Clear, kVkClear},
    {XK_Return, kVkReturn},
    {XK_KP_Enter, kVkReturn},
    {XK_Shift_L, kVkShift},
    {XK_Shift_R, kVkShift},
    {XK_Control_L, kVkControl},
    {XK_Control_R, kVkControl},
    {XK_Alt_L, kVkMenu},
    {XK_Alt_R, kVkMenu},
    {XK_Meta_L, kVkMenu},
    {XK_Meta_R, kVkMenu},
    {XK_ISO_Level3_Shift, kVkMenu},
    {XK_Pause, kVkPause},
    {XK_Caps_Lock, kVkCapital},
    {XK_Escape, kVkEscape},
    {XK_space, kVkSpace},
    {XK_KP_Space, kVkSpace},
    {XK_Prior, kVkPrior},
    {XK_KP_Prior, kVkPrior},
    {XK_Next, kVkNext},
    {XK_KP_Next, kVkNext},
    {XK_End, kVkEnd},
    {XK_KP_End, kVkEnd},
    {XK_Home, kVkHome},
    {XK_KP_Home, kVkHome},
    {XK_Left, kVkLeft},
    {XK_KP_Left, kVkLeft},
    {XK_Up, kVkUp},
    {XK_KP_Up, kVkUp},
    {XK_Right, kVkRight},
    {XK_KP_Right, kVkRight},
    {XK_Down, kVkDown},
    {XK_KP_Down, kVkDown},
    {XK_KP_Begin, kVkClear},
    {XK_Select, kVkSelect},
    {XK_Execute, kVkExecute},
    {XK_Print, kVkSnapshot},
    {XK_Insert, kVkInsert},
    {XK_KP_Insert, kVkInsert},
    {XK_Delete, kVkDelete},
    {XK_KP_Delete, kVkDelete},
    {XK_Help, kVkHelp},
    {XK_Super_L, kVkLWin},
    {XK_Super_R, kVkRWin},
    {XK_Menu, kVkApps},
    {XK_KP_Multiply, kVkMultiply},
    {XK_KP_Add, kVkAdd},
    {XK_KP_Separator, kVkSeparator},
    {XK_KP_Subtract, kVkSubtract},
    {XK_KP_Decimal, kVkDecimal},
    {XK_KP_Divide, kVkDivide},
    {XK_Num_Lock, kVkNumLock},
    {XK_Scroll_Lock, kVkScroll},
    {XK_semicolon, kVkOem1},
    {XK_equal, kVkOemPlus},
    {XK_comma, kVkOemComma},
    {XK_minus, kVkOemMinus},
    {XK_period, kVkOemPeriod},
    {XK_slash, kVkOem2},
    {XK_grave, kVkOem3},
    {XK_bracketleft, kVkOem4},
    {XK_backslash, kVkOem5},
    {XK_bracketright, kVkOem6},
    {XK_apostrophe, kVkOem7},
};

/// The virtual-key code of KS, 0 for keys that have none.
int VirtualKeyOf(KeySym ks) {
  if (ks >= XK_a && ks <= XK_z) return 'A' + static_cast<int>(ks - XK_a);
  if (ks >= XK_A && ks <= XK_Z) return 'A' + static_cast<int>(ks - XK_A);
  if (ks >= XK_0 && ks <= XK_9) return '0' + static_cast<int>(ks - XK_0);
  if (ks >= XK_KP_0 && ks <= XK_KP_9) return kVkNumpad0 + static_cast<int>(ks - XK_KP_0);
  if (ks >= XK_F1 && ks <= XK_F24) return kVkF1 + static_cast<int>(ks - XK_F1);
  for (const KeyName& k : kKeys)
    if (k.keysym == ks) return k.vk;
  return 0;
}

/// kMk* bits of an X state mask (the buttons and modifiers held).
unsigned KeyStateOf(unsigned state) {
  unsigned s = 0;
  if (state & Button1Mask) s |= kMkLButton;
  if (state & Button2Mask) s |= kMkMButton;
  if (state & Button3Mask) s |= kMkRButton;
  if (state & ShiftMask) s |= kMkShift;
  if (state & ControlMask) s |= kMkControl;
  return s;
}

/// X sizes and positions are 16-bit in the protocol: keep them in range.
Rect ClampToProtocol(const Rect& area) {
  auto clampPos = [](int v) { return std::clamp(v, -32768, 32767); };
  const int left = clampPos(area.left), top = clampPos(area.top);
  return {left, top, left + std::clamp(area.Width(), 1, 32767),
          top + std::clamp(area.Height(), 1, 32767)};
}

/// Window titles arrive in Latin-1, the program's text encoding; _NET_WM_NAME wants UTF-8.
std::string Latin1ToUtf8(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (char c : s) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x80) {
      out += c;
    } else {
      out += static_cast<char>(0xC0 | (u >> 6));
      out += static_cast<char>(0x80 | (u & 0x3F));
    }
  }
  return out;
}

// Protocol errors come asynchronously; the usual ones are races with windows
// that are already gone. Xlib's default handler would end the program.
int OnXError(Display* dpy, XErrorEvent* e) {
  if (e->error_code == BadWindow || e->error_code == BadDrawable) return 0;
  char text[128] = {};
  XGetErrorText(dpy, e->error_code, text, sizeof text);
  std::fprintf(stderr, "velloran: X error: %s (request %d.%d)\n", text, e->request_code,
               e->minor_code);
  return 0;
}

/// How a surface pixel becomes a pixel of the X visual: one lookup table per
/// colour channel, ORed together, stored in the server's byte order.
class PixelFormat {
 public:
  bool Init(const Visual* visual, int depth, int bitsPerPixel, bool msbFirst) {
    if (bitsPerPixel != 16 && bitsPerPixel != 24 && bitsPerPixel != 32) return false;
    bytesPerPixel_ = bitsPerPixel / 8;
    msbFirst_ = msbFirst;
    const unsigned long masks[3] = {visual->red_mask, visual->green_mask, visual->blue_mask};
    std::array<std::uint32_t, 256>* tables[3] = {&red_, &green_, &blue_};
    for (int c = 0; c < 3; ++c) {
      const auto mask = static_cast<std::uint32_t>(masks[c]);
      if (mask == 0) return false;
      const int shift = std::countr_zero(mask);
      const int bits = std::popcount(mask);
      if (bits > 16 || (mask >> shift) != (1u << bits) - 1) return false;
      for (unsigned v = 0; v < 256; ++v) {
        // Widen or narrow 8 bits to BITS, repeating the high bits when widening.
        const std::uint32_t scaled =
            bits >= 8 ? ((v << (bits - 8)) | (v >> (16 - bits))) : (v >> (8 - bits));
        (*tables[c])[v] = (scaled << shift) & mask;
      }
    }
    // Bits of the depth that no channel uses (alpha of a 32-bit visual): opaque.
    const std::uint32_t depthMask = depth >= 32 ? 0xFFFFFFFFu : ((1u << depth) - 1);
    extra_ = depthMask & ~static_cast<std::uint32_t>(masks[0] | masks[1] | masks[2]);
    const bool hostMsb = std::endian::native == std::endian::big;
    identity_ = bytesPerPixel_ == 4 && msbFirst_ == hostMsb && extra_ == 0 &&
                masks[0] == 0xFF0000 && masks[1] == 0x00FF00 && masks[2] == 0x0000FF;
    return true;
  }

  int BitsPerPixel() const { return bytesPerPixel_ * 8; }

  void ConvertRow(const Pixel* src, int count, char* dst) const {
    if (identity_) {
      std::memcpy(dst, src, static_cast<std::size_t>(count) * 4);
      return;
    }
    auto* out = reinterpret_cast<unsigned char*>(dst);
    for (int i = 0; i < count; ++i, out += bytesPerPixel_) {
      const Pixel p = src[i];
      const std::uint32_t v = red_[RedOf(p)] | green_[GreenOf(p)] | blue_[BlueOf(p)] | extra_;
      for (int b = 0; b < bytesPerPixel_; ++b) {
        const int byte = msbFirst_ ? bytesPerPixel_ - 1 - b : b;
        out[b] = static_cast<unsigned char>(v >> (8 * byte));
      }
    }
  }

 private:
  std::array<std::uint32_t, 256> red_{}, green_{}, blue_{};
  std::uint32_t extra_ = 0;
  int bytesPerPixel_ = 4;
  bool msbFirst_ = false;
  bool identity_ = false;
};

constexpr int kConnectPatienceMs = 4000;  // how long a refused connection is retried

constexpr long kEventMask = ExposureMask | StructureNotifyMask | KeyPressMask | KeyReleaseMask |
                            ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                            FocusChangeMask;

// A server that is still starting, or busy accepting other clients, refuses
// a connection now and then (the listening socket exists before the server
// takes clients, and its queue of connections can be full); a start right
// after the server's must not take that for the absence of a display. The
// connection is tried again with growing pauses for a few seconds.
Display* ConnectPatiently(const std::string& name) {
  using Clock = std::chrono::steady_clock;
  const auto giveUp = Clock::now() + std::chrono::milliseconds(kConnectPatienceMs);
  int pauseMs = 25;
  for (;;) {
    if (Display* dpy = XOpenDisplay(name.empty() ? nullptr : name.c_str())) return dpy;
    if (Clock::now() >= giveUp) return nullptr;
    std::this_thread::sleep_for(std::chrono::milliseconds(pauseMs));
    pauseMs = std::min(pauseMs * 2, 400);
  }
}

class X11Backend final : public Backend {
 public:
  /// Pixels sent to the server by Present so far.
  std::uint64_t PixelsSent() const { return pixelsSent_; }

  static std::unique_ptr<X11Backend> Open(std::string_view displayName) {
    static const bool handlerSet = (XSetErrorHandler(OnXError), true);
    (void)handlerSet;
    const std::string name(displayName);
    Display* dpy = ConnectPatiently(name);
    if (dpy == nullptr) {
      const char* shown = name.empty() ? std::getenv("DISPLAY") : name.c_str();
      std::fprintf(stderr, "velloran: cannot open display %s\n", shown ? shown : "");
      return nullptr;
    }
    std::unique_ptr<X11Backend> b(new X11Backend(dpy));
    if (!b->ChooseVisual()) return nullptr;
    return b;
  }

  ~X11Backend() override {
    for (Cursor c : cursors_)
      if (c != 0) XFreeCursor(dpy_, c);
    for (auto& [id, win] : windows_) {
      XFreeGC(dpy_, win.gc);
      XDestroyWindow(dpy_, win.xid);
    }
    if (clipWindow_ != 0) XDestroyWindow(dpy_, clipWindow_);
    if (ownColormap_) XFreeColormap(dpy_, colormap_);
    XCloseDisplay(dpy_);
  }

  std::string_view Name() const override { return "x11"; }

  Size ScreenSize() const override {
    return {DisplayWidth(dpy_, screen_), DisplayHeight(dpy_, screen_)};
  }

  NativeWindow CreateWindow(const Rect& requested, std::string_view title) override {
    const Rect area = ClampToProtocol(requested);
    const Size size{area.Width(), area.Height()};
    XSetWindowAttributes a{};
    a.background_pixmap = None;  // the backing surface paints everything
    a.border_pixel = 0;
    a.colormap = colormap_;
    a.bit_gravity = NorthWestGravity;
    a.event_mask = kEventMask;
    const Window xid =
        XCreateWindow(dpy_, root_, area.left, area.top, static_cast<unsigned>(size.width),
                      static_cast<unsigned>(size.height), 0, depth_, InputOutput, visual_,
                      CWBackPixmap | CWBorderPixel | CWColormap | CWBitGravity | CWEventMask, &a);
    if (xid == 0) return 0;
    Atom protocols[] = {atoms_[kWmDeleteWindow]};
    XSetWMProtocols(dpy_, xid, protocols, 1);
    if (XWMHints* wm = XAllocWMHints()) {
      wm->flags = InputHint | StateHint;
      wm->input = True;
      wm->initial_state = NormalState;
      XSetWMHints(dpy_, xid, wm);
      XFree(wm);
    }
    char resName[] = "velloran", resClass[] = "Velloran";
    XClassHint cls{resName, resClass};
    XSetClassHint(dpy_, xid, &cls);
    SetPositionHints(xid, {area.left, area.top}, size);
    const auto id = static_cast<NativeWindow>(xid);
    windows_[id] = Win{xid, XCreateGC(dpy_, xid, 0, nullptr), {area.left, area.top}, size};
    SetTitle(id, title);
    XFlush(dpy_);
    return id;
  }

  void DestroyWindow(NativeWindow w) override {
    auto it = windows_.find(w);
    if (it == windows_.end()) return;
    XFreeGC(dpy_, it->second.gc);
    XDestroyWindow(dpy_, it->second.xid);
    windows_.erase(it);
    std::erase_if(queue_, [w](const InputEvent& e) { return e.window == w; });
    XFlush(dpy_);
  }

  void ShowWindow(NativeWindow w, bool visible) override {
    const Win* win = Find(w);
    if (win == nullptr) return;
    if (visible)
      XMapRaised(dpy_, win->xid);
    else
      XWithdrawWindow(dpy_, win->xid, screen_);  // tells a window manager too
    XFlush(dpy_);
  }

  void MoveWindow(NativeWindow w, const Rect& requested) override {
    const Win* win = Find(w);
    if (win == nullptr) return;
    const Rect area = ClampToProtocol(requested);
    const Size size{area.Width(), area.Height()};
    SetPositionHints(win->xid, {area.left, area.top}, size);
    XMoveResizeWindow(dpy_, win->xid, area.left, area.top, static_cast<unsigned>(size.width),
                      static_cast<unsigned>(size.height));
    XFlush(dpy_);
  }

  void SetOverlay(NativeWindow w) override {
    const Win* win = Find(w);
    if (win == nullptr) return;
    XSetWindowAttributes a{};
    a.override_redirect = True;
    XChangeWindowAttributes(dpy_, win->xid, CWOverrideRedirect, &a);
    XFlush(dpy_);
  }

  void SetCursor(NativeWindow w, PointerShape shape) override {
    const Win* win = Find(w);
    if (win == nullptr) return;
    const auto index = static_cast<std::size_t>(shape);
    if (index >= cursors_.size()) return;
    if (cursors_[index] == 0) cursors_[index] = XCreateFontCursor(dpy_, FontGlyph(shape));
    XDefineCursor(dpy_, win->xid, cursors_[index]);
    XFlush(dpy_);
  }

  void SetTitle(NativeWindow w, std::string_view title) override {
    const Win* win = Find(w);
    if (win == nullptr) return;
    const std::string utf8 = Latin1ToUtf8(title);
    XChangeProperty(dpy_, win->xid, XA_WM_NAME, XA_STRING, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(title.data()),
                    static_cast<int>(title.size()));
    XChangeProperty(dpy_, win->xid, atoms_[kNetWmName], atoms_[kUtf8String], 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(utf8.data()),
                    static_cast<int>(utf8.size()));
    XFlush(dpy_);
  }

  void Present(NativeWindow w, const Surface& surface, const Rect& area) override {
    auto it = windows_.find(w);
    if (it == windows_.end()) return;
    Win* win = &it->second;
    const Rect full = area.Intersect(surface.Bounds());
    if (full.Empty()) return;
    const Rect r = ChangedPart(*win, surface, full);
    if (r.Empty()) return;
    pixelsSent_ += static_cast<std::uint64_t>(r.Width()) * static_cast<std::uint64_t>(r.Height());
    const int width = r.Width(), height = r.Height();
    const int bytesPerLine = (width * format_.BitsPerPixel() + 31) / 32 * 4;
    image_.resize(static_cast<std::size_t>(bytesPerLine) * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y)
      format_.ConvertRow(surface.Row(r.top + y) + r.left, width,
                         image_.data() + static_cast<std::ptrdiff_t>(y) * bytesPerLine);
    XImage* img =
        XCreateImage(dpy_, visual_, static_cast<unsigned>(depth_), ZPixmap, 0, image_.data(),
                     static_cast<unsigned>(width), static_cast<unsigned>(height), 32, bytesPerLine);
    if (img == nullptr) return;
    XPutImage(dpy_, win->xid, win->gc, img, 0, 0, r.left, r.top, static_cast<unsigned>(width),
              static_cast<unsigned>(height));
    img->data = nullptr;  // the buffer is ours
    XDestroyImage(img);
    XFlush(dpy_);
  }

  void ClaimClipboard(const std::string& utf8) override {
    clipText_ = utf8;
    const Window owner = ClipWindow();
    XSetSelectionOwner(dpy_, atoms_[kClipboard], owner, CurrentTime);
    clipOwned_ = XGetSelectionOwner(dpy_, atoms_[kClipboard]) == owner;
    XFlush(dpy_);
  }

  bool ClipboardIsOurs() override {
    TakePendingEvents();  // a SelectionClear may be waiting
    return clipOwned_;
  }

  std::optional<std::string> ForeignClipboardText() override {
    if (XGetSelectionOwner(dpy_, atoms_[kClipboard]) == 0) return std::nullopt;
    if (std::optional<std::string> text = ConvertClipboard(atoms_[kUtf8String])) return text;
    // Older programs offer Latin-1 only.
    std::optional<std::string> latin1 = ConvertClipboard(XA_STRING);
    if (!latin1) return std::nullopt;
    return ClipTextToUtf8(*latin1);
  }

  bool NextEvent(InputEvent& out, int timeoutMs) override {
    const auto start = std::chrono::steady_clock::now();
    for (;;) {
      while (queue_.empty() && XPending(dpy_) > 0) {
        XEvent ev;
        XNextEvent(dpy_, &ev);
        Translate(ev);
      }
      if (!queue_.empty()) {
        out = queue_.front();
        queue_.pop_front();
        return true;
      }
      int wait = -1;
      if (timeoutMs >= 0) {
        const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
                                 std::chrono::steady_clock::now() - start)
                                 .count();
        if (elapsed >= timeoutMs) return false;
        wait = timeoutMs - static_cast<int>(elapsed);
      }
      pollfd p{ConnectionNumber(dpy_), POLLIN, 0};
      if (poll(&p, 1, wait) < 0 && errno != EINTR) return false;
    }
  }

  bool CanWait() const override { return true; }

  std::uint64_t NowMs() override {
    return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                          std::chrono::steady_clock::now().time_since_epoch())
                                          .count());
  }

  Point CursorPos() const override { return cursor_; }

  void Beep() override {
    XBell(dpy_, 0);
    XFlush(dpy_);
  }

  void Sync() { XSync(dpy_, False); }

 private:
  struct Win {
    Window xid;
    GC gc;
    Point pos;  // as the X server last confirmed it
    Size size;
    // The pixels last sent (sentWidth wide), and where the server has lost
    // them since (exposed): a present sends only what differs from the one
    // and everything inside the other.
    std::vector<Pixel> sent = {};
    int sentWidth = 0, sentHeight = 0;
    Rect stale = {};
  };

  /// The part of AREA (inside SURFACE) to send to WIN: the bounding box of the
  /// pixels that differ from those last sent, joined with what the server lost.
  /// Records AREA's pixels as sent.
  static Rect ChangedPart(Win& win, const Surface& surface, const Rect& area) {
    if (win.sentWidth != surface.Width() || win.sentHeight != surface.Height()) {
      win.sentWidth = surface.Width();
      win.sentHeight = surface.Height();
      win.sent.assign(
          static_cast<std::size_t>(win.sentWidth) * static_cast<std::size_t>(win.sentHeight), 0);
      win.stale = surface.Bounds();
    }
    Rect changed = win.stale.Intersect(area);
    const int width = area.Width();
    for (int y = area.top; y < area.bottom; ++y) {
      const Pixel* now = surface.Row(y) + area.left;
      Pixel* was = win.sent.data() + static_cast<std::ptrdiff_t>(y) * win.sentWidth + area.left;
      if (std::memcmp(now, was, static_cast<std::size_t>(width) * sizeof(Pixel)) == 0) continue;
      int a = 0, b = width;
      while (now[a] == was[a]) ++a;
      while (now[b - 1] == was[b - 1]) --b;
      std::copy(now + a, now + b, was + a);
      changed = changed.Union({area.left + a, y, area.left + b, y + 1});
    }
    if (area.Intersect(win.stale) == win.stale) win.stale = {};
    return changed;
  }
  enum {
    kWmProtocols,
    kWmDeleteWindow,
    kNetWmName,
    kUtf8String,
    kClipboard,
    kTargets,
    kText,
    kClipProperty,
    kAtomCount
  };

  explicit X11Backend(Display* dpy)
      : dpy_(dpy), screen_(DefaultScreen(dpy)), root_(RootWindow(dpy, screen_)) {
    char* names[kAtomCount] = {
        const_cast<char*>("WM_PROTOCOLS"), const_cast<char*>("WM_DELETE_WINDOW"),
        const_cast<char*>("_NET_WM_NAME"), const_cast<char*>("UTF8_STRING"),
        const_cast<char*>("CLIPBOARD"),    const_cast<char*>("TARGETS"),
        const_cast<char*>("TEXT"),         const_cast<char*>("VELLORAN_CLIPBOARD")};
    XInternAtoms(dpy_, names, kAtomCount, False, atoms_);
    // Held keys repeat as presses only, without a release between them.
    XkbSetDetectableAutoRepeat(dpy_, True, nullptr);
    Window rootRet = 0, childRet = 0;
    int wx = 0, wy = 0;
    unsigned mask = 0;
    XQueryPointer(dpy_, root_, &rootRet, &childRet, &cursor_.x, &cursor_.y, &wx, &wy, &mask);
  }

  /// Picks the default visual when it is TrueColor, else a 24-bit TrueColor
  /// one; refuses displays that have neither.
  bool ChooseVisual() {
    Visual* visual = DefaultVisual(dpy_, screen_);
    int depth = DefaultDepth(dpy_, screen_);
    if (visual->c_class != TrueColor || depth < 15) {
      XVisualInfo info{};
      if (XMatchVisualInfo(dpy_, screen_, 24, TrueColor, &info) == 0) {
        std::fprintf(stderr,
                     "velloran: the X display offers no TrueColor visual of 15 bits or more; "
                     "it cannot be used\n");
        return false;
      }
      visual = info.visual;
      depth = info.depth;
      colormap_ = XCreateColormap(dpy_, root_, visual, AllocNone);
      ownColormap_ = true;
    } else {
      colormap_ = DefaultColormap(dpy_, screen_);
    }
    int bitsPerPixel = 0, count = 0;
    if (XPixmapFormatValues* formats = XListPixmapFormats(dpy_, &count)) {
      for (int i = 0; i < count; ++i)
        if (formats[i].depth == depth) bitsPerPixel = formats[i].bits_per_pixel;
      XFree(formats);
    }
    if (!format_.Init(visual, depth, bitsPerPixel, ImageByteOrder(dpy_) == MSBFirst)) {
      std::fprintf(stderr,
                   "velloran: the X display's pixel format (depth %d, %d bits per pixel) is not "
                   "supported\n",
                   depth, bitsPerPixel);
      return false;
    }
    visual_ = visual;
    depth_ = depth;
    return true;
  }

  const Win* Find(NativeWindow w) const {
    auto it = windows_.find(w);
    return it == windows_.end() ? nullptr : &it->second;
  }

  /// Asks a window manager to keep the position and size we give.
  void SetPositionHints(Window xid, Point pos, Size size) {
    XSizeHints* hints = XAllocSizeHints();
    if (hints == nullptr) return;
    hints->flags = USPosition | USSize | PPosition | PSize | PWinGravity;
    hints->x = pos.x;
    hints->y = pos.y;
    hints->width = size.width;
    hints->height = size.height;
    hints->win_gravity = StaticGravity;
    XSetWMNormalHints(dpy_, xid, hints);
    XFree(hints);
  }

  InputEvent MouseEvent(NativeWindow w, int x, int y, int xRoot, int yRoot, unsigned state) {
    cursor_ = {xRoot, yRoot};
    InputEvent e;
    e.window = w;
    e.pos = {x, y};
    e.keyState = KeyStateOf(state);
    e.alt = (state & Mod1Mask) != 0;
    return e;
  }

  void Translate(XEvent& ev) {
    if (clipWindow_ != 0 && ev.xany.window == clipWindow_) {
      if (ev.type == SelectionRequest) AnswerSelectionRequest(ev.xselectionrequest);
      if (ev.type == SelectionClear && ev.xselectionclear.selection == atoms_[kClipboard])
        clipOwned_ = false;
      return;
    }
    auto it = windows_.find(static_cast<NativeWindow>(ev.xany.window));
    if (it == windows_.end()) return;
    Win& win = it->second;
    const NativeWindow id = it->first;
    switch (ev.type) {
      case MotionNotify:
        OnMotion(id, ev.xmotion);
        break;
      case ButtonPress:
        OnButton(id, ev.xbutton, true);
        break;
      case ButtonRelease:
        OnButton(id, ev.xbutton, false);
        break;
      case KeyPress:
        OnKey(id, ev.xkey, true);
        break;
      case KeyRelease:
        OnKey(id, ev.xkey, false);
        break;
      case Expose:
        OnExpose(id, win, ev.xexpose);
        break;
      case ConfigureNotify:
        OnConfigure(id, win, ev.xconfigure);
        break;
      case ClientMessage:
        OnClientMessage(id, ev.xclient);
        break;
      case FocusIn:
        OnFocus(id, ev.xfocus, true);
        break;
      case FocusOut:
        OnFocus(id, ev.xfocus, false);
        break;
      default:
        break;
    }
  }

  void TakePendingEvents() {
    while (XPending(dpy_) > 0) {
      XEvent ev;
      XNextEvent(dpy_, &ev);
      Translate(ev);
    }
  }

  // The unmapped window that owns the clipboard selection and receives the
  // text of other programs' clipboards.
  Window ClipWindow() {
    if (clipWindow_ == 0) clipWindow_ = XCreateSimpleWindow(dpy_, root_, 0, 0, 1, 1, 0, 0, 0);
    return clipWindow_;
  }

  void AnswerSelectionRequest(const XSelectionRequestEvent& r) {
    XSelectionEvent n{};
    n.type = SelectionNotify;
    n.display = dpy_;
    n.requestor = r.requestor;
    n.selection = r.selection;
    n.target = r.target;
    n.time = r.time;
    n.property = 0;
    // Very old clients name no property: the target stands for it.
    const Atom property = r.property != 0 ? r.property : r.target;
    if (r.selection == atoms_[kClipboard] && clipOwned_) {
      if (r.target == atoms_[kTargets]) {
        const Atom targets[] = {atoms_[kTargets], atoms_[kUtf8String], XA_STRING, atoms_[kText]};
        XChangeProperty(dpy_, r.requestor, property, XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(targets), 4);
        n.property = property;
      } else if (!clipText_.empty() &&
                 (r.target == atoms_[kUtf8String] || r.target == atoms_[kText])) {
        XChangeProperty(dpy_, r.requestor, property, atoms_[kUtf8String], 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(clipText_.data()),
                        static_cast<int>(clipText_.size()));
        n.property = property;
      } else if (!clipText_.empty() && r.target == XA_STRING) {
        const std::string latin1 = Latin1Of(clipText_);
        XChangeProperty(dpy_, r.requestor, property, XA_STRING, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(latin1.data()),
                        static_cast<int>(latin1.size()));
        n.property = property;
      }
    }
    XEvent reply{};
    reply.xselection = n;
    XSendEvent(dpy_, r.requestor, False, 0, &reply);
    XFlush(dpy_);
  }

  // UTF-8 to Latin-1 with "\n" line ends; characters beyond it become "?".
  static std::string Latin1Of(const std::string& utf8) {
    std::string out = Utf8ToClipText(utf8);
    std::size_t kept = 0;
    for (std::size_t i = 0; i < out.size(); ++i)
      if (!(out[i] == '\r' && i + 1 < out.size() && out[i + 1] == '\n')) out[kept++] = out[i];
    out.resize(kept);
    return out;
  }

  // Asks the clipboard's owner for its contents as TARGET and waits up to a
  // second for them; other events that come meanwhile are queued as usual.
  std::optional<std::string> ConvertClipboard(Atom target) {
    const Window me = ClipWindow();
    XDeleteProperty(dpy_, me, atoms_[kClipProperty]);
    XConvertSelection(dpy_, atoms_[kClipboard], target, atoms_[kClipProperty], me, CurrentTime);
    XFlush(dpy_);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    for (;;) {
      while (XPending(dpy_) > 0) {
        XEvent ev;
        XNextEvent(dpy_, &ev);
        if (ev.type == SelectionNotify && ev.xselection.requestor == me) {
          if (ev.xselection.property == 0) return std::nullopt;
          return TakeClipProperty(target);
        }
        Translate(ev);
      }
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                            deadline - std::chrono::steady_clock::now())
                            .count();
      if (left <= 0) return std::nullopt;
      pollfd p{ConnectionNumber(dpy_), POLLIN, 0};
      if (poll(&p, 1, static_cast<int>(left)) < 0 && errno != EINTR) return std::nullopt;
    }
  }

  // The converted text left on our window. Transfers in pieces (INCR) are
  // not taken: clipboard text of that size is refused rather than cut.
  std::optional<std::string> TakeClipProperty(Atom expected) {
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    constexpr long kMaxLongs = 16L * 1024 * 1024 / 4;
    if (XGetWindowProperty(dpy_, clipWindow_, atoms_[kClipProperty], 0, kMaxLongs, True,
                           AnyPropertyType, &type, &format, &count, &after, &data) != Success)
      return std::nullopt;
    std::optional<std::string> text;
    if (data != nullptr && type == expected && format == 8 && after == 0)
      text.emplace(reinterpret_cast<const char*>(data), count);
    if (data != nullptr) XFree(data);
    return text;
  }

  void OnMotion(NativeWindow id, const XMotionEvent& m) {
    // A later motion of the same window already queued makes this one stale.
    if (XEventsQueued(dpy_, QueuedAlready) > 0) {
      XEvent next;
      XPeekEvent(dpy_, &next);
      if (next.type == MotionNotify && next.xmotion.window == m.window) return;
    }
    InputEvent e = MouseEvent(id, m.x, m.y, m.x_root, m.y_root, m.state);
    e.kind = InputEvent::Kind::MouseMove;
    queue_.push_back(e);
  }

  void OnButton(NativeWindow id, const XButtonEvent& b, bool down) {
    InputEvent e = MouseEvent(id, b.x, b.y, b.x_root, b.y_root, b.state);
    if (b.button == Button4 || b.button == Button5) {
      if (!down) return;  // a wheel step is one press and release
      e.kind = InputEvent::Kind::Wheel;
      e.wheelDelta = b.button == Button4 ? 120 : -120;
      queue_.push_back(e);
      return;
    }
    unsigned bit = 0;
    switch (b.button) {
      case Button1:
        e.button = MouseButton::Left;
        bit = kMkLButton;
        break;
      case Button2:
        e.button = MouseButton::Middle;
        bit = kMkMButton;
        break;
      case Button3:
        e.button = MouseButton::Right;
        bit = kMkRButton;
        break;
      default:
        return;  // horizontal wheel, extra buttons
    }
    // X reports the state before the event; the program expects it after.
    e.kind = down ? InputEvent::Kind::ButtonDown : InputEvent::Kind::ButtonUp;
    e.keyState = down ? (e.keyState | bit) : (e.keyState & ~bit);
    queue_.push_back(e);
  }

  void OnKey(NativeWindow id, XKeyEvent& k, bool down) {
    char text[8] = {};
    KeySym typed = NoSymbol;
    const int length = XLookupString(&k, text, sizeof text, &typed, nullptr);
    // The key's own symbol, whatever the modifiers; keypad keys follow Num Lock.
    KeySym ks = XLookupKeysym(&k, 0);
    if (ks == NoSymbol || IsKeypadKey(typed)) ks = typed;
    InputEvent e;
    e.window = id;
    e.keyState = KeyStateOf(k.state);
    e.alt = (k.state & Mod1Mask) != 0;
    e.virtualKey = VirtualKeyOf(ks);
    if (e.virtualKey != 0) {
      e.kind = down ? InputEvent::Kind::KeyDown : InputEvent::Kind::KeyUp;
      queue_.push_back(e);
    }
    // Delete types DEL under X; it is an editing key, not a character.
    // Control with Space or 2 types NUL, which no text wants.
    if (down && length == 1 && text[0] != '\0' && e.virtualKey != kVkDelete) {
      e.kind = InputEvent::Kind::Char;
      e.virtualKey = 0;
      e.character = static_cast<unsigned char>(text[0]);
      queue_.push_back(e);
    }
  }

  void OnExpose(NativeWindow id, Win& win, const XExposeEvent& x) {
    InputEvent e;
    e.kind = kExposeEvent;
    e.window = id;
    e.rect = {x.x, x.y, x.x + x.width, x.y + x.height};
    win.stale = win.stale.Union(e.rect);
    queue_.push_back(e);
  }

  void OnConfigure(NativeWindow id, Win& win, const XConfigureEvent& c) {
    const Size size{c.width, c.height};
    Point pos{c.x, c.y};
    if (!c.send_event) {
      // A real event gives the position in the parent, a window manager's
      // frame when there is one; ask where that is on the screen.
      Window child = 0;
      XTranslateCoordinates(dpy_, c.window, root_, 0, 0, &pos.x, &pos.y, &child);
    }
    InputEvent e;
    e.window = id;
    if (size != win.size) {
      win.size = size;
      e.kind = InputEvent::Kind::Resize;
      e.size = size;
      queue_.push_back(e);
    }
    if (pos != win.pos) {
      win.pos = pos;
      e.kind = InputEvent::Kind::Move;
      e.pos = pos;
      queue_.push_back(e);
    }
  }

  void OnClientMessage(NativeWindow id, const XClientMessageEvent& m) {
    if (m.message_type != atoms_[kWmProtocols] || m.format != 32 ||
        static_cast<Atom>(m.data.l[0]) != atoms_[kWmDeleteWindow])
      return;
    InputEvent e;
    e.kind = InputEvent::Kind::Close;
    e.window = id;
    queue_.push_back(e);
  }

  void OnFocus(NativeWindow id, const XFocusChangeEvent& f, bool in) {
    // Keyboard grabs (window-manager shortcuts) and pointer-root focus are
    // not real changes of the window that holds the keyboard.
    if (f.mode == NotifyGrab || f.mode == NotifyUngrab || f.detail == NotifyPointer) return;
    InputEvent e;
    e.kind = in ? kFocusInEvent : kFocusOutEvent;
    e.window = id;
    queue_.push_back(e);
  }

  Display* dpy_;
  int screen_;
  Window root_;
  Visual* visual_ = nullptr;
  int depth_ = 0;
  Colormap colormap_ = 0;
  bool ownColormap_ = false;
  Atom atoms_[kAtomCount] = {};
  Window clipWindow_ = 0;   // owns the CLIPBOARD selection; made on first use
  bool clipOwned_ = false;  // we hold CLIPBOARD (until a SelectionClear)
  std::string clipText_;    // what we hand out for it, UTF-8
  PixelFormat format_;
  std::unordered_map<NativeWindow, Win> windows_;
  std::deque<InputEvent> queue_;
  std::vector<char> image_;  // Present's conversion buffer, kept to avoid reallocating
  Point cursor_;
  std::uint64_t pixelsSent_ = 0;  // by Present, for tests
  // The server's cursors, made on first use, one per PointerShape.
  std::array<Cursor, static_cast<std::size_t>(PointerShape::Hand) + 1> cursors_{};

  /// The glyph of the X cursor font that stands for SHAPE. The font has no
  /// diagonal double arrows: the corner cursors stand in for them.
  static unsigned FontGlyph(PointerShape shape) {
    switch (shape) {
      case PointerShape::Arrow: return XC_left_ptr;
      case PointerShape::Hourglass: return XC_watch;
      case PointerShape::ArrowHourglass: return XC_watch;
      case PointerShape::Cross: return XC_crosshair;
      case PointerShape::IBeam: return XC_xterm;
      case PointerShape::No: return XC_X_cursor;
      case PointerShape::SizeAll: return XC_fleur;
      case PointerShape::SizeNS: return XC_sb_v_double_arrow;
      case PointerShape::SizeWE: return XC_sb_h_double_arrow;
      case PointerShape::SizeNESW: return XC_top_right_corner;
      case PointerShape::SizeNWSE: return XC_bottom_right_corner;
      case PointerShape::UpArrow: return XC_sb_up_arrow;
      case PointerShape::Hand: return XC_hand2;
    }
    return XC_left_ptr;
  }
};

}  // namespace

std::unique_ptr<Backend> MakeX11Backend(std::string_view displayName) {
  return X11Backend::Open(displayName);
}

namespace x11test {
std::uint64_t PixelsSent(Backend& backend) {
  auto* x11 = dynamic_cast<X11Backend*>(&backend);
  return x11 == nullptr ? 0 : x11->PixelsSent();
}

bool Sync(Backend& backend) {
  auto* x11 = dynamic_cast<X11Backend*>(&backend);
  if (x11 == nullptr) return false;
  x11->Sync();
  return true;
}
}  // namespace x11test

}  // namespace plat
