#pragma once
// The toolkit's numbered windows: the main window 0 and child windows 1-50.
// Each window is a frame (a top-level window, or a window inside its
// parent's client area) around a client area that the graphics layer draws
// into. One window is current: drawing, queries and titles apply to it.
//
// The graphics layer reaches the window table through the plain accessors at
// the end of this header (current window, client handle and size) and learns
// of size changes through GraphicsLink.
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Geometry.h"
#include "platform/window/Messages.h"

namespace tk {

/// Window numbers: 0 the main window, 1-50 child windows.
constexpr int kMainWindow = 0;
constexpr int kMaxWindowNumber = 50;
constexpr int kWindowSlots = kMaxWindowNumber + 1;

/// Stands for "keep" or "centre" where an interface says so.
constexpr int kKeepOrCentre = -999999;

/// Window style flags (bit sum).
enum WindowStyleFlag : std::int32_t {
  kWsSystemMenu = 1,
  kWsMinimiseBox = 2,
  kWsMaximiseBox = 4,
  kWsMaximised = 8,
  kWsInsideParent = 16,
  kWsStatusBar = 32,
  kWsFixedSize = 64,
  kWsHidden = 128,
  kWsOwned = 256,
  kWsTopmost = 512,
  kWsToolWindow = 65536,
};
constexpr std::int32_t kDefaultWindowFlags = 7;

/// What WindowOpen is given.
struct WindowStyleRecord {
  std::int32_t flags = kDefaultWindowFlags;
  std::int32_t x = -1;  // frame position in screen pixels; negative centres
  std::int32_t y = -1;
  std::int32_t width = 0;  // client size in pixels; 0 or less: 80 % of the screen
  std::int32_t height = 0;
  std::int32_t menu = 0;  // menu resource identifier; 0 none
  std::string title;      // up to 80 characters; trailing blanks not shown
};

/// What WindowTextStyle is given.
struct WindowTextStyleRecord {
  std::int32_t family = 0;      // 0-6
  std::int32_t charWidth = 0;   // window units; 0 the font's own
  std::int32_t charHeight = 0;  // window units; 0 the font's own
  std::int32_t bold = 0;
  std::int32_t italic = 0;
  std::int32_t opaque = 0;
  std::int32_t textColour = 0;         // 0-16
  std::int32_t backgroundColour = 15;  // 0-16
};

/// Show states (WindowQuery item 9, WindowReposition's state).
enum ShowState : std::int32_t {
  kShowMinimised = 0,
  kShowNormal = 1,
  kShowMaximised = 2,
  kShowHidden = 3
};

// ---------------------------------------------------------------------------
// Routines of the application

/// Opens the main window and makes it current. COLOURS: graphics colour
/// count 16, 32, 64 or 128 (anything else 16). A second call does nothing.
/// A failure to register the window classes or to create the window shows
/// its message and ends the program with exit status 1.
void WindowOpen(const WindowStyleRecord& style, int colours = 16);

/// Opens a child window at the first free number 1-50 and makes it current;
/// NUMBER := that number, or -1 (reported, except when all are in use).
/// For a window inside its parent (flag 16) X, Y, WIDTH and HEIGHT are window
/// units of the parent's client area, else screen pixels.
void WindowOpenChild(int& number, int flags = kDefaultWindowFlags, int x = kKeepOrCentre,
                     int y = kKeepOrCentre, int width = 0, int height = 0, int menu = 0,
                     std::array<int, 4> toolbars = {}, int dialog = 0,
                     std::optional<std::string_view> title = std::nullopt, int parent = 0);

/// Closes child window N and every window inside it or owned by it.
void WindowCloseChild(int n);

/// Ends hardcopy output ("S" to the hardcopy switch), then closes every
/// window and resets the toolkit's window state.
void WindowShutdown();

/// Moves, sizes and shows the current window; absent values keep theirs.
void WindowReposition(std::optional<int> width = std::nullopt,
                      std::optional<int> height = std::nullopt, std::optional<int> x = std::nullopt,
                      std::optional<int> y = std::nullopt, std::optional<int> state = std::nullopt);

/// Selects window N (0-50) for drawing, queries and calls.
void WindowMakeCurrent(int n);

/// Makes N current and brings it (and its ancestors) to the top with the focus.
void WindowRaiseChild(int n);

/// Sets the current window's caption (when given) and icon (-1 keep).
void WindowTitle(std::optional<std::string_view> title = std::nullopt, int icon = -1);

/// Items of the current window: 1, 2 drawable width and height; 3 style
/// flags; 4 window number; 5, 6 frame position (window units of the parent's
/// client area for a window inside a parent); 7, 8 client origin on the
/// screen; 9 show state; 10 special kind; 11, 12 client size and 13, 14 frame
/// position in normal state. 0 for other items.
int WindowQuery(int item);

/// Reads what the window layer keeps of the display (its colour count);
/// toolkit start-up calls it, and the main window's opening when it has not run.
void ReadDisplayMetrics();

/// 1 screen width, 2 screen height, 3 colour count, 4 and 5 always 1; 0 otherwise.
int WDisplayQuery(int item);

/// Sets the current window's text style.
void WindowTextStyle(const WindowTextStyleRecord& style);

// ---------------------------------------------------------------------------
// The window table, for the rest of the toolkit

/// Whether the main window is open.
bool MainWindowOpen();
/// The current window number (0 before the main window opens).
int CurrentWindow();
/// True when N is 0-50 and its slot holds a window.
bool WindowSlotInUse(int n);
/// The frame and the client area (the window drawn into) of N; kNoWindow for a free slot.
plat::Hwnd WindowFrameHandle(int n);
plat::Hwnd WindowClientHandle(int n);
/// Client size in pixels of N ({0, 0} for a free slot).
plat::Size WindowClientSize(int n);
/// The window whose frame or client area H is; -1 when none.
int WindowNumberFromHandle(plat::Hwnd h);
/// The current window's text style.
const WindowTextStyleRecord& CurrentTextStyle();
/// Makes window N a grid window (kind 4) showing grid field GRID
/// (kNoWindow ends that).
void SetWindowGridField(int n, plat::Hwnd grid);
/// Makes window N a bitmap-view window (kind 2) whose client area the
/// viewer window VIEW covers (kNoWindow ends that).
void SetWindowBitmapView(int n, plat::Hwnd view);
/// Whether a window lies inside N's client area.
bool WindowHoldsWindows(int n);
/// The viewer window of N when it is a bitmap-view window, else kNoWindow.
plat::Hwnd WindowBitmapView(int n);
/// Marks window N as special window KIND (0: a plain window again).
void SetWindowSpecialKind(int n, int kind);
/// The special kind of window N (4 a grid window), 0 for a free slot.
int WindowSpecialKind(int n);
/// Whether N lies inside its parent's client area.
bool WindowInsideParent(int n);
/// The grid field of the current window when it is a grid window, else
/// kNoWindow: what grid field 0 names.
plat::Hwnd CurrentWindowGridField();
/// Window colour table entry 0-17 as 0xRRGGBB (0 for other indices).
std::uint32_t WindowColour(int index);

/// Heights of the bars the menu code adds (0 while none exist); the frame
/// grows by them. Set by the code that makes the bars.
void SetWindowBarSizes(int n, int statusBarHeight, std::array<int, 4> toolbarExtents);
/// Reserves two bands of window N's frame for a special window's own bars:
/// TOP pixels directly under the menu bar (full width), BOTTOM pixels under
/// the client area (between the side toolbars, above the bottom toolbar).
/// After every layout PLACE is told both bands' rectangles in the frame.
void SetWindowBands(int n, int top, int bottom,
                    std::function<void(plat::Rect top, plat::Rect bottom)> place);

/// What the graphics layer tells the window code and is told by it. Every
/// member may be left empty.
struct GraphicsLink {
  /// Window N's client area has a new size (resize event of the current
  /// window, repositioning, a resize of an invisible window).
  std::function<void(int n, plat::Size client)> windowSurfaceResized;
  /// Window N became the current window.
  std::function<void(int n)> windowSelected;
  /// Window N is being closed (its client handle is still valid).
  std::function<void(int n)> windowClosing;
  /// The plot area (fractions of the drawable: x start, y start, x end,
  /// y end) and user units (x1, y1, x2, y2) events are converted with.
  std::function<void(std::array<double, 4>& area, std::array<double, 4>& units)> plotMapping;
  /// The main window has opened and is current; DISPLAY_COLOURS is the
  /// display's colour count read at start-up.
  std::function<void(int displayColours)> mainWindowOpened;
  /// Item ITEM of the bitmap viewer of window N (BitmapViewerInfo items:
  /// 4 and 5 the scroll positions, 101 and 102 the bitmap size, 103 the
  /// bitmap row at the bottom edge of the view).
  std::function<int(int n, int item)> bitmapViewerInfo;
};
void SetGraphicsLink(GraphicsLink link);

/// Called first by WindowShutdown: ends hardcopy output and a pending spool.
/// Installed by the hardcopy layer at start-up; empty: nothing to end.
void SetHardcopyEndHook(std::function<void()> hook);
/// Frees the editor document buffers of window N as it closes (-1: all of
/// them, at shutdown). Installed at start-up; empty: nothing to free.
void SetEditorBuffersFreeHook(std::function<void(int n)> hook);
const GraphicsLink& GetGraphicsLink();

}  // namespace tk
