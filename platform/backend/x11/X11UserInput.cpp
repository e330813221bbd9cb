// The user's keyboard and mouse through the XTEST extension.
// Our header first: Xlib's macros (None, Status, ...) would break it.
#include "platform/backend/x11/X11UserInput.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/cursorfont.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xfixes.h>

#include <chrono>
#include <thread>

namespace plat::xuser {
namespace {
Display* D(void* p) { return static_cast<Display*>(p); }

// A window the program destroys while it is being looked at is no fault of
// the test: such errors are ignored instead of ending the process.
int IgnoreError(Display*, XErrorEvent*) {
  return 0;
}
}  // namespace

User::User(std::string_view display) {
  const std::string name(display);
  Display* d = XOpenDisplay(name.empty() ? nullptr : name.c_str());
  display_ = d;
  if (d == nullptr) return;
  XSetErrorHandler(IgnoreError);
  int event = 0, error = 0, major = 0, minor = 0;
  xtest_ = XTestQueryExtension(d, &event, &error, &major, &minor) != 0;
  xfixes_ = XFixesQueryExtension(d, &event, &error) != 0;
}

User::~User() {
  if (display_ != nullptr) XCloseDisplay(D(display_));
}

void User::Flush() {
  XSync(D(display_), False);
  // Gives the program a moment to read the event before the next arrives,
  // as a person's fingers would.
  std::this_thread::sleep_for(std::chrono::milliseconds(15));
}

bool User::Key(std::string_view keysymName, bool press) {
  if (!Ready()) return false;
  const std::string name(keysymName);
  const KeySym sym = XStringToKeysym(name.c_str());
  if (sym == NoSymbol) return false;
  const KeyCode code = XKeysymToKeycode(D(display_), sym);
  if (code == 0) return false;
  XTestFakeKeyEvent(D(display_), code, press ? True : False, CurrentTime);
  Flush();
  return true;
}

bool User::Tap(std::string_view keysymName, const std::vector<std::string>& held) {
  for (const std::string& m : held)
    if (!Key(m, true)) return false;
  const bool ok = Key(keysymName, true) && Key(keysymName, false);
  for (auto it = held.rbegin(); it != held.rend(); ++it) Key(*it, false);
  return ok;
}

bool User::MoveTo(Point pos) {
  if (!Ready()) return false;
  XTestFakeMotionEvent(D(display_), -1, pos.x, pos.y, CurrentTime);
  Flush();
  return true;
}

bool User::Click(int button) {
  if (!Ready()) return false;
  XTestFakeButtonEvent(D(display_), static_cast<unsigned>(button), True, CurrentTime);
  Flush();
  XTestFakeButtonEvent(D(display_), static_cast<unsigned>(button), False, CurrentTime);
  Flush();
  return true;
}

bool User::Button(int button, bool press) {
  if (!Ready()) return false;
  XTestFakeButtonEvent(D(display_), static_cast<unsigned>(button), press ? True : False, CurrentTime);
  Flush();
  return true;
}

std::vector<TopWindow> User::Windows() {
  std::vector<TopWindow> out;
  if (display_ == nullptr) return out;
  Display* d = D(display_);
  Window root = 0, parent = 0;
  Window* children = nullptr;
  unsigned count = 0;
  if (XQueryTree(d, DefaultRootWindow(d), &root, &parent, &children, &count) == 0) return out;
  for (unsigned i = 0; i < count; ++i) {
    XWindowAttributes a{};
    if (XGetWindowAttributes(d, children[i], &a) == 0) continue;
    TopWindow w;
    w.id = static_cast<NativeWindow>(children[i]);
    w.mapped = a.map_state == IsViewable;
    w.overlay = a.override_redirect != 0;
    w.rect = {a.x, a.y, a.x + a.width, a.y + a.height};
    char* name = nullptr;
    if (XFetchName(d, children[i], &name) != 0 && name != nullptr) {
      w.title = name;
      XFree(name);
    }
    out.push_back(std::move(w));
  }
  if (children != nullptr) XFree(children);
  return out;
}

std::optional<PointerImage> User::Pointer() {
  if (display_ == nullptr || !xfixes_) return std::nullopt;
  XFixesCursorImage* image = XFixesGetCursorImage(D(display_));
  if (image == nullptr) return std::nullopt;
  PointerImage out;
  out.position = {image->x, image->y};
  out.hotSpot = {image->xhot, image->yhot};
  out.width = image->width;
  out.height = image->height;
  // Xlib hands the pixels over as longs, one 32-bit ARGB value in each.
  const std::size_t count = std::size_t{image->width} * image->height;
  out.argb.reserve(count);
  for (std::size_t i = 0; i < count; ++i)
    out.argb.push_back(static_cast<std::uint32_t>(image->pixels[i]));
  XFree(image);
  return out;
}

std::optional<PointerImage> User::FontCursor(std::string_view name, Point at) {
  static constexpr struct {
    std::string_view name;
    unsigned glyph;
  } kGlyphs[] = {{"left_ptr", XC_left_ptr},
                 {"watch", XC_watch},
                 {"top_right_corner", XC_top_right_corner},
                 {"bottom_right_corner", XC_bottom_right_corner}};
  unsigned glyph = 0;
  bool known = false;
  for (const auto& g : kGlyphs)
    if (g.name == name) glyph = g.glyph, known = true;
  if (!known || !Ready() || !xfixes_) return std::nullopt;
  Display* d = D(display_);
  // Above every other window, wherever it is asked to be, without a frame.
  XSetWindowAttributes a{};
  a.override_redirect = True;
  const Window w = XCreateWindow(d, DefaultRootWindow(d), at.x, at.y, 48, 48, 0, CopyFromParent,
                                 InputOutput, CopyFromParent, CWOverrideRedirect, &a);
  const Cursor cursor = XCreateFontCursor(d, glyph);
  XDefineCursor(d, w, cursor);
  XMapRaised(d, w);
  XSync(d, False);
  // The server changes the picture some time after the pointer enters the
  // window: look again until the picture is no longer the one shown before.
  const std::optional<PointerImage> before = Pointer();
  MoveTo({at.x + 24, at.y + 24});
  std::optional<PointerImage> image = Pointer();
  for (int tries = 0; tries < 200 && image && before && image->SameShape(*before); ++tries) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    image = Pointer();
  }
  XDestroyWindow(d, w);
  XFreeCursor(d, cursor);
  XSync(d, False);
  return image;
}

}  // namespace plat::xuser
