// The numbered window table: opening, closing, selecting, repositioning and
// querying the main window and the child windows.
#include "toolkit/core/Windows.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "platform/FixedText.h"
#include "platform/window/Window.h"
#include "toolkit/core/AbnormalExit.h"
#include "toolkit/core/Errors.h"
#include "toolkit/core/Events.h"
#include "toolkit/core/Menus.h"
#include "toolkit/core/ModalState.h"
#include "toolkit/core/WindowUnits.h"
#include "toolkit/core/Windows_p.h"

namespace tk {

namespace detail {
namespace {

struct WindowState {
  std::array<WindowSlot, kWindowSlots> slots{};
  int current = 0;
  bool mainOpen = false;
  bool mainHidden = false;
  int colours = 16;
  int displayColours = 0;  // the display's colour count read at start-up; 0 not yet read
  GraphicsLink link{};
  std::function<void()> hardcopyEnd;
  std::function<void(int n)> editorBuffersFree;
};

WindowState& State() {
  static WindowState s;
  return s;
}

}  // namespace

WindowSlot& Slot(int n) {
  return State().slots[static_cast<std::size_t>(n)];
}

bool MainHidden() {
  return State().mainHidden;
}

plat::Size FrameSizeFor(const WindowSlot& s, plat::Size client) {
  // The window manager draws borders and caption; the frame holds the bars.
  return {client.width + s.toolbarExtents[1] + s.toolbarExtents[2],
          client.height + s.menuBarHeight + s.bandTop + s.toolbarExtents[0] +
              s.toolbarExtents[3] + s.bandBottom + s.statusBarHeight};
}

void LayoutFrame(int n) {
  WindowSlot& s = Slot(n);
  if (s.frame == plat::kNoWindow || s.client == plat::kNoWindow) return;
  const plat::Rect r = plat::GetClientRect(s.frame);
  PlaceBars(n);
  plat::Rect c{r.left + s.toolbarExtents[1], r.top + s.menuBarHeight + s.bandTop + s.toolbarExtents[0],
               r.right - s.toolbarExtents[2],
               r.bottom - s.toolbarExtents[3] - s.bandBottom - s.statusBarHeight};
  if (c.right < c.left) c.right = c.left;
  if (c.bottom < c.top) c.bottom = c.top;
  if (plat::GetWindowRect(s.client) != c) plat::MoveWindow(s.client, c, true);
  if (s.placeBands) {
    const int top = r.top + s.menuBarHeight;
    const plat::Rect topBand{r.left, top, r.right, top + s.bandTop};
    const plat::Rect bottomBand{c.left, c.bottom, c.right, c.bottom + s.bandBottom};
    s.placeBands(topBand, bottomBand);
  }
}

}  // namespace detail

using detail::Slot;
using detail::State;
using detail::WindowSlot;

namespace {

constexpr std::int32_t kErrInvalidWindow = 1003;
constexpr std::int32_t kErrIconNotFound = 1015;
constexpr std::int32_t kErrParentHidden = 1016;
constexpr std::int32_t kErrParentHasDialog = 1046;
constexpr std::int32_t kErrParentSpecial = 1056;


/// A failure the program cannot go on from: show it and end with failure.
[[noreturn]] void FatalWindowError(const char* text) {
  ReportFatal("Parvendrite Window", text);
  std::exit(1);
}

bool RegisterClasses() {
  plat::UnregisterWindowClass(detail::kMainFrameClass);
  const plat::Pixel white = plat::Rgb(255, 255, 255);
  const plat::Pixel face = plat::Rgb(192, 192, 192);
  const plat::WindowClass classes[] = {
      {detail::kMainFrameClass, detail::FrameWndProc, 0, std::nullopt},
      {detail::kChildFrameClass, detail::FrameWndProc, 0, std::nullopt},
      {detail::kClientClass, detail::ClientWndProc,
       plat::kClassDblClks | plat::kClassHRedraw | plat::kClassVRedraw, white},
      {detail::kSplitHClass, detail::SplitterWndProc, 0, face},
      {detail::kSplitVClass, detail::SplitterWndProc, 0, face},
  };
  for (const plat::WindowClass& c : classes) {
    if (!plat::RegisterWindowClass(c)) return false;
  }
  return true;
}

void UnregisterClasses() {
  for (const char* name : {detail::kMainFrameClass, detail::kChildFrameClass, detail::kClientClass,
                           detail::kSplitHClass, detail::kSplitVClass})
    plat::UnregisterWindowClass(name);
}

/// Extent of the area a frame is placed in: the parent's client area for a
/// window inside a parent, else the screen.
plat::Size PlacementArea(const WindowSlot& s) {
  if (s.inside && s.parent >= 0 && WindowSlotInUse(s.parent)) return WindowClientSize(s.parent);
  return plat::ScreenSize();
}

void SelectWindow(int n) {
  State().current = n;
  SetCurrentDrawable(kDrawableWindow, WindowClientSize(n));
  TextCellToPixels();
  if (State().link.windowSelected) State().link.windowSelected(n);
}

/// Shows the frame of N in STATE, placing a maximised frame over its whole
/// placement area and keeping the normal rectangle.
void ApplyShowState(int n, int state, bool activate) {
  WindowSlot& s = Slot(n);
  switch (state) {
    case kShowHidden:
    case kShowMinimised:
      // A minimised frame leaves the screen (the window system has no icons
      // of its own) and keeps its normal placement for restoring.
      plat::ShowWindow(s.frame, plat::ShowCmd::Hide);
      plat::MoveWindow(s.frame, s.normal, false);
      break;
    case kShowMaximised: {
      const plat::Size area = PlacementArea(s);
      plat::MoveWindow(s.frame, {0, 0, area.width, area.height}, true);
      plat::ShowWindow(s.frame, activate ? plat::ShowCmd::Show : plat::ShowCmd::ShowNoActivate);
      break;
    }
    default:
      plat::MoveWindow(s.frame, s.normal, true);
      plat::ShowWindow(s.frame, activate ? plat::ShowCmd::Show : plat::ShowCmd::ShowNoActivate);
      break;
  }
  s.showState = state;
  if (n == kMainWindow) State().mainHidden = state == kShowHidden;
}

}  // namespace

// ---------------------------------------------------------------------------

void WindowOpen(const WindowStyleRecord& style, int colours) {
  if (State().mainOpen) return;
  ResetEventState();
  if (!RegisterClasses()) FatalWindowError("Failed to register class - aborting.");
  // Accelerators of windows that handle their own commands; F10 and Alt
  // with a title's letter open the menu bar.
  SetEventMessageFilter([](plat::Message& m) {
    return detail::TranslateWindowAccelerators(m) || plat::TranslateMenuKey(m);
  });

  // A hidden probe frame, as the dialog code measures combined dialogs in one.
  const plat::Hwnd probe = plat::CreateWindow(
      {.className = detail::kMainFrameClass, .style = plat::kStylePopup, .rect = {0, 0, 10, 10}});
  if (probe == plat::kNoWindow) FatalWindowError("Failed to create window - aborting.");
  plat::DestroyWindow(probe);

  const plat::Size screen = plat::ScreenSize();
  const plat::Size client{style.width >= 1 ? style.width : screen.width * 80 / 100,
                          style.height >= 1 ? style.height : screen.height * 80 / 100};
  State().colours = (colours == 32 || colours == 64 || colours == 128) ? colours : 16;

  WindowSlot& s = Slot(kMainWindow);
  s = WindowSlot{};
  s.menu = style.menu;
  if (style.flags & kWsStatusBar) s.statusBarHeight = 0;  // filled by the status-bar code
  const plat::Size frame = detail::FrameSizeFor(s, client);
  const int x = style.x >= 0 ? style.x : (screen.width - frame.width) / 2;
  const int y = style.y >= 0 ? style.y : (screen.height - frame.height) / 2;
  s.normal = {x, y, x + frame.width, y + frame.height};

  const std::string title(plat::TrimRight(style.title, plat::kBlankOrNul));
  s.frame = plat::CreateWindow({.className = detail::kMainFrameClass,
                                .title = title,
                                .style = plat::kStylePopup,
                                .rect = s.normal});
  if (s.frame != plat::kNoWindow)
    s.client = plat::CreateWindow({.className = detail::kClientClass,
                                   .style = plat::kStyleChild | plat::kStyleVisible,
                                   .rect = {0, 0, client.width, client.height},
                                   .parent = s.frame});
  if (s.frame == plat::kNoWindow || s.client == plat::kNoWindow)
    FatalWindowError("Failed to create window - aborting.");
  ShowWindowCursor(kMainWindow);
  s.flags = style.flags;
  detail::AttachBars(kMainWindow, style.menu, (style.flags & kWsStatusBar) != 0,
                     (style.flags & kWsFixedSize) == 0, {}, style.x < 0, style.y < 0);

  State().mainOpen = true;
  const int state = (style.flags & kWsHidden)      ? kShowHidden
                    : (style.flags & kWsMaximised) ? kShowMaximised
                                                   : kShowNormal;
  ApplyShowState(kMainWindow, state, true);
  plat::ValidateRect(s.client);
  ResetEventState();
  if (state != kShowHidden) plat::SetFocus(s.client);
  s.textStyle = WindowTextStyleRecord{};
  SelectWindow(kMainWindow);

  // The graphics layer starts with the main window: the display's colours,
  // the default palette and a fresh drawing state.
  if (State().displayColours == 0) ReadDisplayMetrics();
  if (State().link.mainWindowOpened) State().link.mainWindowOpened(State().displayColours);
}

void ReadDisplayMetrics() {
  State().displayColours = WDisplayQuery(3);
}

void WindowOpenChild(int& number, int flags, int x, int y, int width, int height, int menu,
                     std::array<int, 4> toolbars, int dialog, std::optional<std::string_view> title,
                     int parent) {
  (void)dialog;  // dialogs combined with windows come with the dialog manager
  number = -1;
  if (!State().mainOpen) return;
  int n = -1;
  for (int i = 1; i <= kMaxWindowNumber && n < 0; ++i)
    if (!WindowSlotInUse(i)) n = i;
  if (n < 0) return;

  const bool inside = (flags & kWsInsideParent) != 0;
  const bool owned = (flags & kWsOwned) != 0;
  if (inside || owned) {
    if (!WindowSlotInUse(parent)) {
      ReportLibraryError(kErrInvalidWindow, "WindowOpenChild");
      return;
    }
    if (inside) {
      if (!plat::IsWindowVisible(Slot(parent).frame)) {
        ReportLibraryError(kErrParentHidden, "WindowOpenChild");
        return;
      }
      if (Slot(parent).specialKind != 0) {
        ReportLibraryError(Slot(parent).specialKind == 3 ? kErrParentHasDialog : kErrParentSpecial,
                           "WindowOpenChild");
        return;
      }
      WindowMakeCurrent(parent);
    }
  }
  const int previous = State().current;

  WindowSlot s{};
  s.inside = inside;
  s.parent = (inside || owned) ? parent : -1;
  s.menu = inside ? 0 : menu;
  plat::Size client;
  int fx = 0;
  int fy = 0;
  if (inside) {
    const plat::Size pc = WindowClientSize(parent);
    client = {(width >= 1 ? width : 8000) * pc.width / 9999,
              (height >= 1 ? height : 8000) * pc.height / 9999};
    const plat::Size frame = detail::FrameSizeFor(s, client);
    fx = (x == kKeepOrCentre) ? (pc.width - frame.width) / 2 : x * (pc.width - 1) / 9999;
    fy = (y == kKeepOrCentre) ? (pc.height - frame.height) / 2 : y * (pc.height - 1) / 9999;
  } else {
    const plat::Size screen = plat::ScreenSize();
    client = {width >= 1 ? width : screen.width * 80 / 100,
              height >= 1 ? height : screen.height * 80 / 100};
    const plat::Size frame = detail::FrameSizeFor(s, client);
    fx = (x == kKeepOrCentre) ? (screen.width - frame.width) / 2 : x;
    fy = (y == kKeepOrCentre) ? (screen.height - frame.height) / 2 : y;
  }
  const plat::Size frame = detail::FrameSizeFor(s, client);
  s.normal = {fx, fy, fx + frame.width, fy + frame.height};
  s.focusBefore = plat::GetFocus();
  s.returnTo = WindowNumberFromHandle(s.focusBefore);

  const std::string text(plat::TrimRight(title.value_or(std::string_view{}), plat::kBlankOrNul));
  plat::CreateParams cp{.className = detail::kChildFrameClass,
                        .title = text,
                        .style = inside ? plat::kStyleChild : plat::kStylePopup,
                        .rect = s.normal};
  if (inside) cp.parent = Slot(parent).client;
  if (owned && !inside) cp.owner = Slot(parent).frame;
  s.flags = flags;
  Slot(n) = s;  // the frame procedure finds its slot from the first message on
  WindowSlot& slot = Slot(n);
  slot.frame = plat::CreateWindow(cp);
  if (slot.frame != plat::kNoWindow)
    slot.client = plat::CreateWindow({.className = detail::kClientClass,
                                      .style = plat::kStyleChild | plat::kStyleVisible,
                                      .rect = {0, 0, client.width, client.height},
                                      .parent = slot.frame});
  if (slot.frame == plat::kNoWindow || slot.client == plat::kNoWindow) {
    if (slot.frame != plat::kNoWindow) plat::DestroyWindow(slot.frame);
    Slot(n) = WindowSlot{};
    SelectWindow(previous);
    return;
  }
  ShowWindowCursor(n);
  detail::AttachBars(n, slot.menu, (flags & kWsStatusBar) != 0, (flags & kWsFixedSize) == 0,
                     toolbars, x == kKeepOrCentre, y == kKeepOrCentre);

  if (flags & kWsHidden) {
    slot.showState = kShowHidden;
  } else {
    ApplyShowState(n, (flags & kWsMaximised) ? kShowMaximised : kShowNormal, true);
    plat::BringToTop(slot.frame);
    plat::ValidateRect(slot.client);
    SyncFocusAndCaptions(slot.client);
  }
  number = n;
  SelectWindow(n);
}

void WindowCloseChild(int n) {
  if (n < 1 || n > kMaxWindowNumber || !WindowSlotInUse(n)) {
    ReportLibraryError(kErrInvalidWindow, "WindowCloseChild");
    return;
  }
  // N and every window inside it or owned by it, at any depth.
  std::array<bool, kWindowSlots> doomed{};
  doomed[static_cast<std::size_t>(n)] = true;
  for (bool grew = true; grew;) {
    grew = false;
    for (int i = 1; i <= kMaxWindowNumber; ++i) {
      const WindowSlot& s = Slot(i);
      if (s.frame != plat::kNoWindow && !doomed[static_cast<std::size_t>(i)] && s.parent > 0 &&
          doomed[static_cast<std::size_t>(s.parent)]) {
        doomed[static_cast<std::size_t>(i)] = true;
        grew = true;
      }
    }
  }
  const plat::Hwnd returnFocus = Slot(n).focusBefore;
  const int returnTo = Slot(n).returnTo;
  std::array<plat::Hwnd, kWindowSlots> frames{};
  for (int i = kMaxWindowNumber; i >= 1; --i) {
    if (!doomed[static_cast<std::size_t>(i)]) continue;
    if (State().link.windowClosing) State().link.windowClosing(i);
    if (State().editorBuffersFree) State().editorBuffersFree(i);
    frames[static_cast<std::size_t>(i)] = Slot(i).frame;
  }
  for (int i = 0; i <= kMaxWindowNumber; ++i) {
    WindowSlot& s = Slot(i);
    if (s.frame == plat::kNoWindow || doomed[static_cast<std::size_t>(i)]) continue;
    if (s.returnTo == n) {
      s.returnTo = returnTo;
      s.focusBefore = returnFocus;
    }
  }
  const std::int32_t flags = Slot(n).flags;
  for (int i = kMaxWindowNumber; i >= 1; --i) {
    if (!doomed[static_cast<std::size_t>(i)]) continue;
    const int held = i;
    detail::ReleaseBars(held);
    Slot(held) = WindowSlot{};
    plat::DestroyWindow(frames[static_cast<std::size_t>(i)]);
  }
  if (GetModalDialogLink().dropDestroyed) GetModalDialogLink().dropDestroyed();
  if (!WindowSlotInUse(State().current)) {
    (void)flags;
    SelectWindow(kMainWindow);
  }
  if (plat::IsWindow(returnFocus))
    plat::SetFocus(returnFocus);
  else if (WindowSlotInUse(kMainWindow) && !State().mainHidden)
    plat::SetFocus(Slot(kMainWindow).client);
}

void WindowShutdown() {
  if (State().hardcopyEnd) State().hardcopyEnd();  // hardcopy output and a pending spool end first
  if (GetModalDialogLink().unloadAll)
    GetModalDialogLink().unloadAll();
  else
    ResetDialogStatus();
  for (int i = kMaxWindowNumber; i >= 0; --i) {
    WindowSlot& s = Slot(i);
    if (s.frame == plat::kNoWindow) continue;
    if (State().link.windowClosing) State().link.windowClosing(i);
    const plat::Hwnd frame = s.frame;
    detail::ReleaseBars(i);
    s = WindowSlot{};
    if (plat::IsInitialized()) plat::DestroyWindow(frame);
  }
  if (State().editorBuffersFree) State().editorBuffersFree(-1);
  ResetEventState();
  if (plat::IsInitialized()) UnregisterClasses();
  State().mainOpen = false;
  State().mainHidden = false;
  State().current = 0;
  Slot(kMainWindow).flags = -1;
  SetCurrentDrawable(kDrawableWindow, {0, 0});
}

void WindowReposition(std::optional<int> width, std::optional<int> height, std::optional<int> x,
                      std::optional<int> y, std::optional<int> state) {
  const int n = State().current;
  if (!WindowSlotInUse(n)) return;
  WindowSlot& s = Slot(n);
  const plat::Size oldClient = WindowClientSize(n);
  plat::Size client = {s.normal.Width() - s.toolbarExtents[1] - s.toolbarExtents[2],
                       s.normal.Height() - s.toolbarExtents[0] - s.toolbarExtents[3] -
                           s.statusBarHeight - s.menuBarHeight};
  if (s.showState == kShowNormal) client = oldClient;
  int fx = s.normal.left;
  int fy = s.normal.top;
  if (s.inside) {
    const plat::Size pc = PlacementArea(s);
    if (width) client.width = *width * pc.width / 9999;
    if (height) client.height = *height * pc.height / 9999;
    if (x) fx = *x * (pc.width - 1) / 9999;
    if (y) fy = *y * (pc.height - 1) / 9999;
  } else {
    if (width && *width != kKeepOrCentre) client.width = *width;
    if (height && *height != kKeepOrCentre) client.height = *height;
    if (x && *x != kKeepOrCentre) fx = *x;
    if (y && *y != kKeepOrCentre) fy = *y;
  }
  client.width = std::max(client.width, 0);
  client.height = std::max(client.height, 0);
  const plat::Size frame = detail::FrameSizeFor(s, client);
  s.normal = {fx, fy, fx + frame.width, fy + frame.height};
  int newState = s.showState;
  if (state && *state >= kShowMinimised && *state <= kShowHidden) newState = *state;
  if (s.showState == kShowNormal && (newState == kShowNormal || newState == kShowHidden)) {
    plat::MoveWindow(s.frame, s.normal, true);
    if (newState == kShowHidden) {
      plat::ShowWindow(s.frame, plat::ShowCmd::Hide);
    } else if (state) {
      plat::ShowWindow(s.frame, plat::ShowCmd::ShowNoActivate);
    }
    s.showState = newState;
    if (n == kMainWindow && state) State().mainHidden = newState == kShowHidden;
  } else {
    ApplyShowState(n, newState, false);
  }
  const plat::Size now = WindowClientSize(n);
  SetCurrentDrawable(kDrawableWindow, now);
  TextCellToPixels();
  if (State().link.windowSurfaceResized) State().link.windowSurfaceResized(n, now);
}

void WindowMakeCurrent(int n) {
  if (!WindowSlotInUse(n)) {
    ReportLibraryError(kErrInvalidWindow, "YYWINSEL");
    return;
  }
  SelectWindow(n);
}

void WindowRaiseChild(int n) {
  const std::int32_t saved = ErrorState().lastError;
  WindowMakeCurrent(n);
  if (!WindowSlotInUse(n)) return;
  // Outermost ancestor first, the window itself last.
  std::array<int, kWindowSlots> chain{};
  std::size_t count = 0;
  for (int i = n; i >= 0 && count < chain.size(); i = Slot(i).parent) {
    chain[count++] = i;
    if (!WindowSlotInUse(Slot(i).parent) || Slot(i).parent == i) break;
  }
  while (count > 0) plat::BringToTop(Slot(chain[--count]).frame);
  plat::EnableWindow(Slot(n).frame, true);
  SyncFocusAndCaptions(Slot(n).client);
  ErrorState().lastError = saved;
}

void WindowTitle(std::optional<std::string_view> title, int icon) {
  const int n = State().current;
  if (!WindowSlotInUse(n)) return;
  if (title) plat::SetWindowText(Slot(n).frame, std::string(plat::TrimRight(*title, plat::kBlankOrNul)));
  // The program icon is the only icon there is until icon resources exist.
  if (icon != -1 && icon != 0) ReportLibraryError(kErrIconNotFound, "WindowTitle");
}

int WindowQuery(int item) {
  const int n = State().current;
  const bool open = WindowSlotInUse(n);
  const WindowSlot& s = Slot(open ? n : 0);
  auto framePos = [&](const plat::Rect& r, bool wantY) {
    if (!s.inside) return wantY ? r.top : r.left;
    const plat::Size pc = PlacementArea(s);
    return wantY ? PixelToUnit(r.top, pc.height) : PixelToUnit(r.left, pc.width);
  };
  switch (item) {
    case 1:
      return DrawableSize().width;
    case 2:
      return DrawableSize().height;
    case 3:
      return s.flags;
    case 4:
      return n;
    case 5:
    case 6: {
      if (!open) return 0;
      const plat::Rect r = s.showState == kShowNormal ? plat::GetWindowRect(s.frame) : s.normal;
      return framePos(r, item == 6);
    }
    case 7:
    case 8: {
      if (!open) return 0;
      const plat::Point p = plat::ClientToScreen(s.client, {0, 0});
      return item == 7 ? p.x : p.y;
    }
    case 9:
      return open ? s.showState : kShowHidden;
    case 10:
      return s.specialKind;
    case 11:
    case 12: {
      if (!open) return 0;
      if (s.showState == kShowNormal) {
        const plat::Size c = WindowClientSize(n);
        return item == 11 ? c.width : c.height;
      }
      return item == 11 ? s.normal.Width() - s.toolbarExtents[1] - s.toolbarExtents[2]
                        : s.normal.Height() - s.toolbarExtents[0] - s.toolbarExtents[3] -
                              s.menuBarHeight - s.statusBarHeight;
    }
    case 13:
    case 14: {
      if (!open) return 0;
      const plat::Rect r = s.showState == kShowNormal ? plat::GetWindowRect(s.frame) : s.normal;
      return framePos(r, item == 14);
    }
    default:
      return 0;
  }
}

int WDisplayQuery(int item) {
  switch (item) {
    case 1:
      return plat::ScreenSize().width;
    case 2:
      return plat::ScreenSize().height;
    case 3:
      return 1 << 24;  // true colour: bits per pixel taken at most 24
    case 4:
    case 5:
      return 1;
    default:
      return 0;
  }
}

void WindowTextStyle(const WindowTextStyleRecord& style) {
  const int n = State().current;
  if (!WindowSlotInUse(n) || style.family < 0 || style.family > 6) return;
  WindowTextStyleRecord& t = Slot(n).textStyle;
  const WindowTextStyleRecord old = t;
  t = style;
  if (style.textColour < 0 || style.textColour > 16) t.textColour = old.textColour;
  if (style.backgroundColour == 16)
    t.backgroundColour = 17;
  else if (style.backgroundColour < 0 || style.backgroundColour > 15)
    t.backgroundColour = old.backgroundColour;
  TextCellToPixels();
}

// ---------------------------------------------------------------------------

bool MainWindowOpen() {
  return State().mainOpen;
}

int CurrentWindow() {
  return State().current;
}

void SetWindowGridField(int n, plat::Hwnd grid) {
  if (!WindowSlotInUse(n)) return;
  Slot(n).gridField = grid;
  Slot(n).specialKind = grid != plat::kNoWindow ? 4 : 0;
}

void SetWindowSpecialKind(int n, int kind) {
  if (WindowSlotInUse(n)) Slot(n).specialKind = kind;
}

int WindowSpecialKind(int n) {
  return WindowSlotInUse(n) ? Slot(n).specialKind : 0;
}

bool WindowInsideParent(int n) {
  return WindowSlotInUse(n) && Slot(n).inside;
}

void SetWindowBitmapView(int n, plat::Hwnd view) {
  if (!WindowSlotInUse(n)) return;
  Slot(n).bitmapView = view;
  Slot(n).specialKind = view != plat::kNoWindow ? 2 : 0;
}

bool WindowHoldsWindows(int n) {
  for (int i = 0; i <= kMaxWindowNumber; ++i)
    if (i != n && WindowSlotInUse(i) && Slot(i).inside && Slot(i).parent == n) return true;
  return false;
}

plat::Hwnd WindowBitmapView(int n) {
  if (!WindowSlotInUse(n) || Slot(n).specialKind != 2) return plat::kNoWindow;
  return Slot(n).bitmapView;
}

plat::Hwnd CurrentWindowGridField() {
  const int n = CurrentWindow();
  if (!WindowSlotInUse(n) || Slot(n).specialKind != 4) return plat::kNoWindow;
  return Slot(n).gridField;
}

bool WindowSlotInUse(int n) {
  return n >= 0 && n <= kMaxWindowNumber && Slot(n).frame != plat::kNoWindow;
}

plat::Hwnd WindowFrameHandle(int n) {
  return WindowSlotInUse(n) ? Slot(n).frame : plat::kNoWindow;
}

plat::Hwnd WindowClientHandle(int n) {
  return WindowSlotInUse(n) ? Slot(n).client : plat::kNoWindow;
}

plat::Size WindowClientSize(int n) {
  if (!WindowSlotInUse(n)) return {};
  const plat::Rect r = plat::GetClientRect(Slot(n).client);
  return {r.Width(), r.Height()};
}

int WindowNumberFromHandle(plat::Hwnd h) {
  if (h == plat::kNoWindow) return -1;
  for (int i = 0; i <= kMaxWindowNumber; ++i) {
    const WindowSlot& s = Slot(i);
    if (s.frame == plat::kNoWindow) continue;
    if (s.frame == h || s.client == h) return i;
    if (s.specialKind == 2 && s.bitmapView == h) return i;
  }
  return -1;
}

const WindowTextStyleRecord& CurrentTextStyle() {
  return Slot(WindowSlotInUse(State().current) ? State().current : 0).textStyle;
}

std::uint32_t WindowColour(int index) {
  static constexpr std::uint32_t kColours[18] = {
      0x000000, 0xBF0000, 0xBFBF00, 0x00BF00, 0x00BFBF, 0x0000BF, 0xBF00BF, 0xBFBFBF,
      0x404040, 0xFF0000, 0xFFFF00, 0x00FF00, 0x00FFFF, 0x0000FF, 0xFF00FF, 0xFFFFFF,
      0x000000,  // the system's window-text colour
      0xFFFFFF,  // the system's window-background colour
  };
  return index >= 0 && index < 18 ? kColours[index] : 0;
}

void SetWindowBarSizes(int n, int statusBarHeight, std::array<int, 4> toolbarExtents) {
  if (!WindowSlotInUse(n)) return;
  WindowSlot& s = Slot(n);
  s.statusBarHeight = std::max(statusBarHeight, 0);
  for (int& e : toolbarExtents) e = std::max(e, 0);
  s.toolbarExtents = toolbarExtents;
  detail::LayoutFrame(n);
}

void SetWindowBands(int n, int top, int bottom,
                    std::function<void(plat::Rect top, plat::Rect bottom)> place) {
  if (!WindowSlotInUse(n)) return;
  WindowSlot& s = Slot(n);
  s.bandTop = std::max(top, 0);
  s.bandBottom = std::max(bottom, 0);
  s.placeBands = std::move(place);
  detail::LayoutFrame(n);
}

void SetHardcopyEndHook(std::function<void()> hook) {
  State().hardcopyEnd = std::move(hook);
}

void SetEditorBuffersFreeHook(std::function<void(int n)> hook) {
  State().editorBuffersFree = std::move(hook);
}

void SetGraphicsLink(GraphicsLink link) {
  State().link = std::move(link);
}

const GraphicsLink& GetGraphicsLink() {
  return State().link;
}

}  // namespace tk
