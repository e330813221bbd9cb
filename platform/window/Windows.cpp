// The window system's instance, classes and window tree: creation and
// destruction, geometry, visibility, enabled state, focus, activation and
// capture.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "platform/window/Window.h"
#include "platform/window/System_p.h"

namespace plat {
namespace detail {
namespace {

std::unique_ptr<System> g_system;

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

void DefaultStarvation() {
  std::fputs("velloran: this program needs a display\n", stderr);
  std::exit(1);
}

StarvationHandler& Starvation() {
  static StarvationHandler handler = DefaultStarvation;
  return handler;
}

const WindowClass* FindClass(std::string_view name) {
  for (const WindowClass& c : Sys()->classes)
    if (SameName(c.name, name)) return &c;
  return nullptr;
}

Pixel Background(const Win& w) {
  return w.background.value_or(Rgb(255, 255, 255));
}

// Sizes a top-level window's backing surface to its rectangle. A size that
// cannot be held leaves the surface as it was (the window shows what fits in
// it, or nothing) and is reported, never ending the program.
void SizeSurface(Win& w) {
  if (w.surface.Resize(w.rect.Width(), w.rect.Height(), Background(w))) return;
  std::fprintf(stderr, "Not enough memory to draw a window of %d x %d pixels\n", w.rect.Width(),
               w.rect.Height());
}

std::vector<Hwnd>& Siblings(Win* w) {
  if (w->parent != kNoWindow)
    if (Win* p = Find(w->parent)) return p->children;
  return Sys()->tops;
}

void Detach(Win* w) {
  std::erase(Siblings(w), w->handle);
}

void SendDestroyTree(Hwnd h) {
  SendMessage(h, Msg::Destroy);
  Win* w = Find(h);
  if (w == nullptr) return;
  const std::vector<Hwnd> kids = w->children;
  for (Hwnd k : kids) SendDestroyTree(k);
}

void MarkDestroying(Win* w) {
  w->destroying = true;
  for (Hwnd k : w->children)
    if (Win* c = Find(k)) MarkDestroying(c);
}

/// Forgets H and everything inside it, without messages.
void RemoveTree(Hwnd h) {
  System* s = Sys();
  Win* w = Find(h);
  if (w == nullptr) return;
  const std::vector<Hwnd> kids = w->children;
  for (Hwnd k : kids) RemoveTree(k);
  Detach(w);
  std::erase_if(s->queue, [h](const Message& m) { return m.hwnd == h; });
  std::erase_if(s->timers, [h](const Timer& t) { return t.hwnd == h; });
  for (ModalFrame* f : s->modal)
    if (f->hwnd == h && !f->ended) f->ended = true;  // result stays -1
  if (s->focus == h) s->focus = kNoWindow;
  if (s->active == h) s->active = kNoWindow;
  if (s->capture == h) s->capture = kNoWindow;
  if (s->click.target == h) s->click.valid = false;
  if (w->native != 0) s->backend->DestroyWindow(w->native);
  s->wins.erase(h);
}

void Describe(std::ostringstream& out, Hwnd h, int depth) {
  const Win* w = Find(h);
  if (w == nullptr) return;
  const System* s = Sys();
  out << std::string(static_cast<std::size_t>(depth) * 2, ' ') << '#' << w->handle << ' '
      << w->className << " \"" << w->text << "\" (" << w->rect.left << ',' << w->rect.top << ")-("
      << w->rect.right << ',' << w->rect.bottom << ") " << (w->shown ? "shown" : "hidden")
      << (w->enabled ? "" : " disabled") << (s->focus == h ? " focus" : "")
      << (s->active == h ? " active" : "") << (s->capture == h ? " capture" : "") << '\n';
  for (Hwnd k : w->children) Describe(out, k, depth + 1);
}

}  // namespace

System* Sys() {
  return g_system.get();
}

Win* Find(Hwnd h) {
  if (!g_system || h == kNoWindow) return nullptr;
  auto it = g_system->wins.find(h);
  return it == g_system->wins.end() ? nullptr : it->second.get();
}

Win* TopOf(Win* w) {
  while (w != nullptr && w->parent != kNoWindow) w = Find(w->parent);
  return w;
}

bool Inside(Hwnd ancestor, Hwnd h) {
  const Win* w = Find(h);
  while (w != nullptr && w->parent != kNoWindow) {
    if (w->parent == ancestor) return true;
    w = Find(w->parent);
  }
  return false;
}

Point OriginInTop(const Win* w) {
  Point o;
  while (w != nullptr && w->parent != kNoWindow) {
    o.x += w->rect.left;
    o.y += w->rect.top;
    w = Find(w->parent);
  }
  return o;
}

Rect VisibleClient(const Win* w) {
  Rect clip = w->Client();
  Point offset;  // the current ancestor's client origin in W's client coordinates
  for (const Win* cur = w; cur != nullptr; cur = Find(cur->parent)) {
    if (!cur->shown) return {};
    if (cur != w) clip = clip.Intersect(cur->Client().Offset(offset.x, offset.y));
    offset.x -= cur->rect.left;
    offset.y -= cur->rect.top;
    if (cur->parent == kNoWindow) break;
  }
  return clip;
}

Win* DeepestAt(Win* top, Point p, bool enabledOnly) {
  Win* w = top;
  for (bool deeper = true; deeper;) {
    deeper = false;
    for (auto it = w->children.rbegin(); it != w->children.rend(); ++it) {
      Win* c = Find(*it);
      if (c == nullptr || !c->shown || !c->rect.Contains(p)) continue;
      if (enabledOnly && !c->enabled) break;
      p = {p.x - c->rect.left, p.y - c->rect.top};
      w = c;
      deeper = true;
      break;
    }
  }
  return w;
}

bool Reshape(Hwnd h, Rect r, bool repaint, bool fromBackend) {
  Win* w = Find(h);
  if (w == nullptr) return false;
  r.right = std::max(r.right, r.left);
  r.bottom = std::max(r.bottom, r.top);
  const Rect old = w->rect;
  if (old == r) return true;
  w->rect = r;
  const bool wider = old.Width() != r.Width(), taller = old.Height() != r.Height();
  const bool sized = wider || taller;
  const bool moved = old.left != r.left || old.top != r.top;
  w->invalid = w->invalid.Intersect(w->Client());
  if (w->parent == kNoWindow) {
    if (!fromBackend) Sys()->backend->MoveWindow(w->native, r);
    if (sized) SizeSurface(*w);
  }
  if (repaint) {
    if (w->parent != kNoWindow) {
      if (Win* p = Find(w->parent); p != nullptr && w->shown) {
        Invalidate(p, old, true);
        Invalidate(p, r, true);
      }
    } else if (((w->classStyle & kClassHRedraw) && wider) ||
               ((w->classStyle & kClassVRedraw) && taller)) {
      Invalidate(w, w->Client(), true);
    } else {
      Invalidate(w, {old.Width(), 0, r.Width(), r.Height()}, true);
      Invalidate(w, {0, old.Height(), r.Width(), r.Height()}, true);
    }
  }
  if (sized) SendMessage(h, Msg::Size, kSizeRestored, MakeLParam(r.Width(), r.Height()));
  if (moved && Find(h) != nullptr) SendMessage(h, Msg::Move, 0, MakeLParam(r.left, r.top));
  return true;
}

Message MakeMessage(Hwnd h, Msg m, WParam w, LParam l) {
  System* s = Sys();
  return {h, m, w, l, s->backend->NowMs(), s->backend->CursorPos()};
}

}  // namespace detail

using namespace detail;

// --- instance -------------------------------------------------------------

void Init(std::unique_ptr<Backend> backend) {
  g_system.reset();
  if (backend) g_system = std::make_unique<System>(std::move(backend));
}

void Shutdown() {
  if (!g_system) return;
  const std::vector<Hwnd> tops = g_system->tops;
  for (auto it = tops.rbegin(); it != tops.rend(); ++it) DestroyWindow(*it);
  g_system.reset();
}

void Discard() {
  g_system.reset();
}
bool IsInitialized() {
  return g_system != nullptr;
}
Backend* GetBackend() {
  return g_system ? g_system->backend.get() : nullptr;
}
Size ScreenSize() {
  return g_system ? g_system->backend->ScreenSize() : Size{};
}
std::uint64_t NowMs() {
  return g_system ? g_system->backend->NowMs() : 0;
}
Point CursorPos() {
  return g_system ? g_system->backend->CursorPos() : Point{};
}
void Beep() {
  if (g_system) g_system->backend->Beep();
}

StarvationHandler SetStarvationHandler(StarvationHandler handler) {
  StarvationHandler old = std::move(Starvation());
  Starvation() = handler ? std::move(handler) : StarvationHandler(DefaultStarvation);
  return old;
}

namespace detail {
void Starve() {
  const StarvationHandler handler = Starvation();  // it may replace itself
  handler();
}
}  // namespace detail

// --- classes --------------------------------------------------------------

bool RegisterWindowClass(const WindowClass& cls) {
  if (!g_system || !cls.proc || cls.name.empty() || FindClass(cls.name) != nullptr) return false;
  g_system->classes.push_back(cls);
  return true;
}

bool UnregisterWindowClass(std::string_view name) {
  if (!g_system) return false;
  return std::erase_if(g_system->classes,
                       [name](const WindowClass& c) { return SameName(c.name, name); }) > 0;
}

bool IsClassRegistered(std::string_view name) {
  return g_system && FindClass(name) != nullptr;
}

// --- creation and destruction -----------------------------------------------

Hwnd CreateWindow(const CreateParams& p) {
  if (!g_system) return kNoWindow;
  const WindowClass* cls = FindClass(p.className);
  if (cls == nullptr) return kNoWindow;
  const bool child = (p.style & kStyleChild) != 0;
  Win* parent = nullptr;
  Hwnd owner = kNoWindow;
  if (child) {
    parent = Find(p.parent);
    if (parent == nullptr || parent->destroying) return kNoWindow;
  } else if (p.owner != kNoWindow) {
    Win* o = TopOf(Find(p.owner));
    if (o == nullptr || o->destroying) return kNoWindow;
    owner = o->handle;
  }
  auto w = std::make_unique<Win>();
  const Hwnd h = g_system->nextHandle++;
  w->handle = h;
  w->className = cls->name;
  w->proc = std::make_shared<const WindowProc>(cls->proc);
  w->classStyle = cls->style;
  w->background = cls->background;
  w->text = std::string(p.title);
  w->style = (p.style & ~(kStyleVisible | kStyleDisabled)) | (child ? 0u : kStylePopup);
  w->rect = {p.rect.left, p.rect.top, std::max(p.rect.right, p.rect.left),
             std::max(p.rect.bottom, p.rect.top)};
  w->parent = child ? parent->handle : kNoWindow;
  w->owner = owner;
  w->id = p.id;
  w->enabled = (p.style & kStyleDisabled) == 0;
  if (child) {
    parent->children.push_back(h);
  } else {
    w->native = g_system->backend->CreateWindow(w->rect, w->text);
    SizeSurface(*w);
    g_system->tops.push_back(h);
  }
  const Rect r = w->rect;
  g_system->wins.emplace(h, std::move(w));

  if (SendMessage(h, Msg::Create, 0, reinterpret_cast<LParam>(&p)) == -1) {
    DestroyWindow(h);
    return kNoWindow;
  }
  if (Find(h) == nullptr) return kNoWindow;
  SendMessage(h, Msg::Size, kSizeRestored, MakeLParam(r.Width(), r.Height()));
  if (Find(h) == nullptr) return kNoWindow;
  SendMessage(h, Msg::Move, 0, MakeLParam(r.left, r.top));
  if (Find(h) != nullptr && (p.style & kStyleVisible) != 0) ShowWindow(h, ShowCmd::Show);
  return Find(h) != nullptr ? h : kNoWindow;
}

bool DestroyWindow(Hwnd h) {
  Win* w = Find(h);
  if (w == nullptr || w->destroying) return false;
  System* s = g_system.get();
  if (w->parent == kNoWindow) {
    std::vector<Hwnd> owned;
    for (Hwnd t : s->tops)
      if (const Win* o = Find(t); o != nullptr && o->owner == h) owned.push_back(t);
    for (auto it = owned.rbegin(); it != owned.rend(); ++it) DestroyWindow(*it);
    w = Find(h);
    if (w == nullptr || w->destroying) return false;
  }
  MarkDestroying(w);
  if (w->shown) {
    if (w->parent == kNoWindow) {
      s->backend->ShowWindow(w->native, false);
    } else if (Win* p = Find(w->parent)) {
      Invalidate(p, w->rect, true);
    }
  }
  if (InTree(h, s->capture)) ReleaseCapture();
  if (w->parent == kNoWindow && s->active == h) {
    const Win* o = Find(w->owner);
    SetActiveWindow(o != nullptr && o->shown && o->enabled ? o->handle : kNoWindow);
  }
  if (InTree(h, s->focus)) {
    const Win* p = Find(GetParent(h));
    SetFocus(p != nullptr && p->enabled && !p->destroying ? p->handle : kNoWindow);
    if (InTree(h, s->focus)) SetFocus(kNoWindow);
  }
  SendDestroyTree(h);
  RemoveTree(h);
  return true;
}

bool IsWindow(Hwnd h) {
  return Find(h) != nullptr;
}

LResult DefWindowProc(Hwnd h, Msg m, WParam w, LParam l) {
  switch (m) {
    case Msg::Close:
      DestroyWindow(h);
      return 0;
    case Msg::EraseBackground: {
      const Win* win = Find(h);
      auto* ctx = reinterpret_cast<PaintContext*>(l);
      if (win == nullptr || ctx == nullptr || ctx->surface == nullptr || !win->background) return 0;
      const Rect r =
          ctx->clip.Offset(ctx->origin.x, ctx->origin.y).Intersect(ctx->surface->Bounds());
      for (int y = r.top; y < r.bottom; ++y)
        std::fill_n(ctx->surface->Row(y) + r.left, r.Width(), *win->background);
      return 1;
    }
    case Msg::Paint: {
      const PaintContext ctx = BeginPaint(h);
      EndPaint(h, ctx);
      return 0;
    }
    case Msg::NcHitTest:
      return kHtClient;
    case Msg::Activate:
      if (w != kInactive) {
        const Win* win = Find(h);
        if (win != nullptr && !InTree(h, g_system->focus)) {
          const Win* last = Find(win->lastFocus);
          SetFocus(last != nullptr && Inside(h, last->handle) && last->enabled ? last->handle : h);
        }
      }
      return 0;
    case Msg::MouseWheel:
      if (const Win* win = Find(h); win != nullptr && win->parent != kNoWindow)
        return SendMessage(win->parent, m, w, l);
      return 0;
    default:
      return 0;
  }
}

WindowProc SetWindowProc(Hwnd h, WindowProc proc) {
  Win* w = Find(h);
  if (w == nullptr || !proc) return {};
  WindowProc old = *w->proc;
  w->proc = std::make_shared<const WindowProc>(std::move(proc));
  return old;
}

LResult SendMessage(Hwnd h, Msg m, WParam w, LParam l) {
  const Win* win = Find(h);
  if (win == nullptr) return 0;
  const std::shared_ptr<const WindowProc> proc = win->proc;  // the window may go meanwhile
  return (*proc)(h, m, w, l);
}

// --- attributes -----------------------------------------------------------

std::string GetClassName(Hwnd h) {
  const Win* w = Find(h);
  return w ? w->className : std::string();
}

unsigned GetStyle(Hwnd h) {
  const Win* w = Find(h);
  if (w == nullptr) return 0;
  return w->style | (w->shown ? kStyleVisible : 0u) | (w->enabled ? 0u : kStyleDisabled);
}

int GetWindowId(Hwnd h) {
  const Win* w = Find(h);
  return w ? w->id : 0;
}

void SetStyle(Hwnd h, unsigned style) {
  Win* w = Find(h);
  if (w == nullptr) return;
  const unsigned fixed = kStyleChild | kStylePopup;
  w->style = (w->style & fixed) | (style & ~(fixed | kStyleVisible | kStyleDisabled));
}

void SetWindowExtra(Hwnd h, std::unique_ptr<WindowExtra> extra) {
  if (Win* w = Find(h)) w->extra = std::move(extra);
}

WindowExtra* GetWindowExtra(Hwnd h) {
  Win* w = Find(h);
  return w ? w->extra.get() : nullptr;
}

void SetUserData(Hwnd h, std::intptr_t value) {
  if (Win* w = Find(h)) w->user = value;
}

std::intptr_t GetUserData(Hwnd h) {
  const Win* w = Find(h);
  return w ? w->user : 0;
}

void SetWindowText(Hwnd h, std::string_view text) {
  Win* w = Find(h);
  if (w == nullptr) return;
  w->text = std::string(text);
  if (w->parent == kNoWindow) g_system->backend->SetTitle(w->native, w->text);
  SendMessage(h, Msg::SetText);
}

std::string GetWindowText(Hwnd h) {
  const Win* w = Find(h);
  return w ? w->text : std::string();
}

// --- visibility and geometry ----------------------------------------------

bool ShowWindow(Hwnd h, ShowCmd cmd) {
  Win* w = Find(h);
  if (w == nullptr) return false;
  const bool was = w->shown;
  const bool show = cmd != ShowCmd::Hide;
  if (was != show) {
    SendMessage(h, Msg::ShowWindow, show ? 1 : 0);
    w = Find(h);
    if (w == nullptr) return was;
    w->shown = show;
    if (w->parent == kNoWindow) g_system->backend->ShowWindow(w->native, show);
    if (show) {
      Invalidate(w, w->Client(), true);
    } else {
      if (Win* p = Find(w->parent)) Invalidate(p, w->rect, true);
      if (InTree(h, g_system->capture)) ReleaseCapture();
      if (w->parent == kNoWindow && g_system->active == h) {
        const Win* o = Find(w->owner);
        SetActiveWindow(o != nullptr && o->shown && o->enabled ? o->handle : kNoWindow);
      }
      if (InTree(h, g_system->focus)) {
        const Win* p = Find(GetParent(h));
        SetFocus(p != nullptr && p->enabled ? p->handle : kNoWindow);
        if (InTree(h, g_system->focus)) SetFocus(kNoWindow);
      }
    }
  }
  w = Find(h);
  if (w != nullptr && cmd == ShowCmd::Show && w->parent == kNoWindow && w->enabled &&
      g_system->active != h)
    SetActiveWindow(h);
  return was;
}

bool IsShown(Hwnd h) {
  const Win* w = Find(h);
  return w != nullptr && w->shown;
}

bool IsWindowVisible(Hwnd h) {
  for (const Win* w = Find(h); w != nullptr; w = Find(w->parent)) {
    if (!w->shown) return false;
    if (w->parent == kNoWindow) return true;
  }
  return false;
}

bool MoveWindow(Hwnd h, const Rect& rect, bool repaint) {
  return Reshape(h, rect, repaint, false);
}

Rect GetWindowRect(Hwnd h) {
  const Win* w = Find(h);
  return w ? w->rect : Rect{};
}

Rect GetClientRect(Hwnd h) {
  const Win* w = Find(h);
  return w ? w->Client() : Rect{};
}

Point ClientToScreen(Hwnd h, Point p) {
  for (const Win* w = Find(h); w != nullptr; w = Find(w->parent)) {
    p.x += w->rect.left;
    p.y += w->rect.top;
  }
  return p;
}

Point ScreenToClient(Hwnd h, Point p) {
  const Point o = ClientToScreen(h, {});
  return {p.x - o.x, p.y - o.y};
}

Hwnd WindowFromPoint(Point screen) {
  if (!g_system) return kNoWindow;
  for (auto it = g_system->tops.rbegin(); it != g_system->tops.rend(); ++it) {
    Win* t = Find(*it);
    if (t == nullptr || !t->shown || !t->rect.Contains(screen)) continue;
    return DeepestAt(t, {screen.x - t->rect.left, screen.y - t->rect.top}, false)->handle;
  }
  return kNoWindow;
}

// --- input state ------------------------------------------------------------

bool EnableWindow(Hwnd h, bool enable) {
  Win* w = Find(h);
  if (w == nullptr) return false;
  const bool wasDisabled = !w->enabled;
  if (w->enabled == enable) return wasDisabled;
  w->enabled = enable;
  if (!enable) {
    if (InTree(h, g_system->focus)) SetFocus(kNoWindow);
    if (InTree(h, g_system->capture)) ReleaseCapture();
  }
  SendMessage(h, Msg::Enable, enable ? 1 : 0);
  return wasDisabled;
}

bool IsWindowEnabled(Hwnd h) {
  const Win* w = Find(h);
  return w != nullptr && w->enabled;
}

// The deepest focus and activation changes may go inside one another.
constexpr int kMaxFocusNesting = 16;

// Counts one focus or activation change for as long as it runs.
class FocusChange {
 public:
  FocusChange() { ++g_system->focusNesting; }
  ~FocusChange() {
    if (g_system) --g_system->focusNesting;
  }
  FocusChange(const FocusChange&) = delete;
  FocusChange& operator=(const FocusChange&) = delete;
  static bool Refused() { return g_system->focusNesting >= kMaxFocusNesting; }
};

Hwnd SetFocus(Hwnd h) {
  if (!g_system) return kNoWindow;
  if (FocusChange::Refused()) return kNoWindow;
  const FocusChange change;
  if (h != kNoWindow) {
    Win* w = Find(h);
    if (w == nullptr || !w->enabled || w->destroying) return kNoWindow;
    const Hwnd top = TopOf(w)->handle;
    if (g_system->active != top) {
      SetActiveWindow(top);
      if (Find(h) == nullptr) return kNoWindow;
    }
  }
  const Hwnd old = g_system->focus;
  if (old == h) return old;
  g_system->focus = h;
  if (Find(old) != nullptr) SendMessage(old, Msg::KillFocus, h);
  if (h != kNoWindow && g_system && g_system->focus == h) SendMessage(h, Msg::SetFocus, old);
  return old;
}

Hwnd GetFocus() {
  return g_system ? g_system->focus : kNoWindow;
}

Hwnd SetActiveWindow(Hwnd h) {
  if (!g_system) return kNoWindow;
  if (FocusChange::Refused()) return kNoWindow;
  const FocusChange change;
  if (h != kNoWindow) {
    Win* t = TopOf(Find(h));
    if (t == nullptr || t->destroying) return kNoWindow;
    h = t->handle;
  }
  const Hwnd old = g_system->active;
  if (old == h) return old;
  g_system->active = h;
  if (Win* o = Find(old)) {
    if (InTree(old, g_system->focus)) o->lastFocus = g_system->focus;
    SendMessage(old, Msg::Activate, kInactive, static_cast<LParam>(h));
  }
  if (h != kNoWindow && Find(h) != nullptr && g_system->active == h)
    SendMessage(h, Msg::Activate, kActive, static_cast<LParam>(old));
  else if (h == kNoWindow && g_system->focus != kNoWindow)
    SetFocus(kNoWindow);
  return old;
}

Hwnd GetActiveWindow() {
  return g_system ? g_system->active : kNoWindow;
}

Hwnd SetCapture(Hwnd h) {
  if (!g_system || (h != kNoWindow && Find(h) == nullptr)) return kNoWindow;
  const Hwnd old = g_system->capture;
  if (old == h) return old;
  g_system->capture = h;
  if (Find(old) != nullptr) SendMessage(old, Msg::CaptureChanged, 0, static_cast<LParam>(h));
  return old;
}

void ReleaseCapture() {
  if (!g_system || g_system->capture == kNoWindow) return;
  const Hwnd old = g_system->capture;
  g_system->capture = kNoWindow;
  if (Find(old) != nullptr) SendMessage(old, Msg::CaptureChanged, 0, 0);
}

Hwnd GetCapture() {
  return g_system ? g_system->capture : kNoWindow;
}

bool IsKeyDown(int vk) {
  return g_system && vk >= 0 && vk < 256 && g_system->keys[static_cast<std::size_t>(vk)];
}

// --- tree -----------------------------------------------------------------

Hwnd SetParent(Hwnd h, Hwnd newParent) {
  Win* w = Find(h);
  if (w == nullptr || w->destroying) return kNoWindow;
  const Hwnd old = w->parent;
  if (newParent == old) return old;
  Win* p = Find(newParent);
  if (newParent != kNoWindow && (p == nullptr || p->destroying || InTree(h, newParent)))
    return kNoWindow;
  if (Win* op = Find(old); op != nullptr && w->shown) Invalidate(op, w->rect, true);
  Detach(w);
  if (p != nullptr) {
    p->children.push_back(h);
    if (old == kNoWindow) {
      g_system->backend->DestroyWindow(w->native);
      w->native = 0;
      w->surface = Surface();
      w->toPresent = {};
      w->owner = kNoWindow;
      if (g_system->active == h) g_system->active = kNoWindow;
    }
    w->style = (w->style & ~kStylePopup) | kStyleChild;
  } else {
    g_system->tops.push_back(h);
    w->native = g_system->backend->CreateWindow(w->rect, w->text);
    SizeSurface(*w);
    if (w->shown) g_system->backend->ShowWindow(w->native, true);
    w->style = (w->style & ~kStyleChild) | kStylePopup;
  }
  w->parent = newParent;
  if (w->shown) Invalidate(w, w->Client(), true);
  return old;
}

Hwnd GetParent(Hwnd h) {
  const Win* w = Find(h);
  return w ? w->parent : kNoWindow;
}

Hwnd GetOwner(Hwnd h) {
  const Win* w = Find(h);
  return w ? w->owner : kNoWindow;
}

Hwnd GetTopLevel(Hwnd h) {
  const Win* t = TopOf(Find(h));
  return t ? t->handle : kNoWindow;
}

bool IsChild(Hwnd parent, Hwnd h) {
  return parent != kNoWindow && Inside(parent, h);
}

std::vector<Hwnd> GetChildren(Hwnd h) {
  const Win* w = Find(h);
  return w ? w->children : std::vector<Hwnd>{};
}

std::vector<Hwnd> GetTopLevelWindows() {
  return g_system ? g_system->tops : std::vector<Hwnd>{};
}

void BringToTop(Hwnd h) {
  Win* w = Find(h);
  if (w == nullptr) return;
  std::vector<Hwnd>& sib = Siblings(w);
  std::erase(sib, h);
  sib.push_back(h);
  if (w->parent != kNoWindow && w->shown) Invalidate(w, w->Client(), true);
}

NativeWindow GetNativeWindow(Hwnd h) {
  const Win* w = Find(h);
  return w ? w->native : 0;
}

std::string DescribeWindows() {
  if (!g_system) return "(no window system)\n";
  std::ostringstream out;
  for (Hwnd t : g_system->tops) Describe(out, t, 0);
  out << "queued messages: " << g_system->queue.size() << ", timers: " << g_system->timers.size()
      << ", modal loops: " << g_system->modal.size() << '\n';
  return out.str();
}

}  // namespace plat
