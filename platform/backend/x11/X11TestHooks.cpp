// Synthetic X events for tests of the X11 backend, sent from a connection of
// their own as a window manager, keyboard or mouse would deliver them.
// Our header first: Xlib's macros (None, Expose, ...) would break it.
#include "platform/backend/x11/X11TestHooks.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <memory>
#include <string>

namespace plat::x11test {
namespace {

struct CloseDisplay {
  void operator()(Display* d) const { XCloseDisplay(d); }
};
using Connection = std::unique_ptr<Display, CloseDisplay>;

Connection Open(std::string_view display) {
  const std::string name(display);
  return Connection(XOpenDisplay(name.empty() ? nullptr : name.c_str()));
}

unsigned StateOf(unsigned modifiers) {
  unsigned s = 0;
  if (modifiers & kShift) s |= ShiftMask;
  if (modifiers & kControl) s |= ControlMask;
  if (modifiers & kAlt) s |= Mod1Mask;
  return s;
}

/// Fills the pointer fields every input event shares; the root position
/// follows the window's position on the screen.
template <typename Ev>
void FillPointer(Display* d, Window w, Point pos, unsigned state, Ev& e) {
  const Window root = DefaultRootWindow(d);
  Window child = 0;
  int rx = pos.x, ry = pos.y;
  XTranslateCoordinates(d, w, root, pos.x, pos.y, &rx, &ry, &child);
  e.display = d;
  e.window = w;
  e.root = root;
  e.subwindow = 0;
  e.time = CurrentTime;
  e.x = pos.x;
  e.y = pos.y;
  e.x_root = rx;
  e.y_root = ry;
  e.state = state;
  e.same_screen = True;
}

bool Send(Display* d, Window w, XEvent& ev) {
  const Status ok = XSendEvent(d, w, False, NoEventMask, &ev);
  XSync(d, False);
  return ok != 0;
}

}  // namespace

bool SendDeleteRequest(std::string_view display, NativeWindow w) {
  Connection d = Open(display);
  if (!d) return false;
  XEvent ev{};
  ev.xclient.type = ClientMessage;
  ev.xclient.window = w;
  ev.xclient.message_type = XInternAtom(d.get(), "WM_PROTOCOLS", False);
  ev.xclient.format = 32;
  ev.xclient.data.l[0] = static_cast<long>(XInternAtom(d.get(), "WM_DELETE_WINDOW", False));
  ev.xclient.data.l[1] = CurrentTime;
  return Send(d.get(), w, ev);
}

bool SendKey(std::string_view display, NativeWindow w, std::string_view keysymName, bool press,
             unsigned modifiers) {
  Connection d = Open(display);
  if (!d) return false;
  const KeySym ks = XStringToKeysym(std::string(keysymName).c_str());
  if (ks == NoSymbol) return false;
  const KeyCode code = XKeysymToKeycode(d.get(), ks);
  if (code == 0) return false;
  XEvent ev{};
  ev.xkey.type = press ? KeyPress : KeyRelease;
  FillPointer(d.get(), w, {0, 0}, StateOf(modifiers), ev.xkey);
  ev.xkey.keycode = code;
  return Send(d.get(), w, ev);
}

bool SendButton(std::string_view display, NativeWindow w, int xButton, Point pos, bool press,
                unsigned modifiers) {
  Connection d = Open(display);
  if (!d || xButton < 1 || xButton > 5) return false;
  unsigned state = StateOf(modifiers);
  if (!press) state |= Button1Mask << (xButton - 1);
  XEvent ev{};
  ev.xbutton.type = press ? ButtonPress : ButtonRelease;
  FillPointer(d.get(), w, pos, state, ev.xbutton);
  ev.xbutton.button = static_cast<unsigned>(xButton);
  return Send(d.get(), w, ev);
}

bool SendMotion(std::string_view display, NativeWindow w, Point pos, unsigned modifiers) {
  Connection d = Open(display);
  if (!d) return false;
  XEvent ev{};
  ev.xmotion.type = MotionNotify;
  FillPointer(d.get(), w, pos, StateOf(modifiers), ev.xmotion);
  ev.xmotion.is_hint = NotifyNormal;
  return Send(d.get(), w, ev);
}

bool SetInputFocus(std::string_view display, NativeWindow w) {
  Connection d = Open(display);
  if (!d) return false;
  XSetInputFocus(d.get(), w, RevertToPointerRoot, CurrentTime);
  XSync(d.get(), False);
  return true;
}

NativeWindow FindWindowByTitle(std::string_view display, std::string_view title) {
  Connection d = Open(display);
  if (!d) return 0;
  Window root = 0, parent = 0;
  Window* children = nullptr;
  unsigned count = 0;
  NativeWindow found = 0;
  if (XQueryTree(d.get(), DefaultRootWindow(d.get()), &root, &parent, &children, &count) == 0)
    return 0;
  for (unsigned i = 0; i < count && found == 0; ++i) {
    char* name = nullptr;
    if (XFetchName(d.get(), children[i], &name) != 0 && name != nullptr) {
      if (title == name) found = static_cast<NativeWindow>(children[i]);
      XFree(name);
    }
  }
  if (children != nullptr) XFree(children);
  return found;
}

Rect WindowScreenRect(std::string_view display, NativeWindow w) {
  Connection d = Open(display);
  if (!d) return {};
  XWindowAttributes attributes{};
  if (XGetWindowAttributes(d.get(), static_cast<Window>(w), &attributes) == 0) return {};
  int x = 0, y = 0;
  Window child = 0;
  if (!XTranslateCoordinates(d.get(), static_cast<Window>(w), DefaultRootWindow(d.get()), 0, 0, &x,
                             &y, &child))
    return {};
  return {x, y, x + attributes.width, y + attributes.height};
}

}  // namespace plat::x11test
