#pragma once
// The window system: window classes, windows in a parent/child tree, one
// message queue, timers, invalid regions and paint, focus, capture and modal
// loops. Single-threaded: everything runs on the thread of the event loop.
//
// Coordinates: a top-level window's rectangle is in screen pixels, a child's
// relative to its parent's client area. A window has no frame of its own
// (the window manager draws top-level frames), so its client area is its
// whole rectangle: client coordinates start at (0, 0) at its top-left pixel.
//
// Message order follows what a message-based toolkit expects:
//  - CreateWindow sends Create, then Size, then Move; a visible style then
//    shows it (ShowWindow, and for a top-level window Activate and SetFocus).
//  - MoveWindow sends Size (when the size changed), then Move (when the
//    position changed).
//  - DestroyWindow sends Destroy to the window first, then to its children
//    (depth first) while they all still exist; windows it owns go before it.
//  - Paint is generated, never queued: GetMessage and PeekMessage make one
//    only when no posted message or input is waiting, for the first visible
//    window (parents before children) whose invalid area is not empty. Timer
//    messages come after paint, when due.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Geometry.h"
#include "platform/backend/Backend.h"
#include "platform/draw/Surface.h"
#include "platform/window/Messages.h"

namespace plat {

// ---------------------------------------------------------------------------
// The one window system instance

/// Starts the window system on BACKEND, replacing any running instance
/// (whose windows are dropped without messages).
void Init(std::unique_ptr<Backend> backend);
/// Destroys every window (with Destroy messages) and drops the backend.
void Shutdown();
/// Drops the instance, its windows and its classes without any message
/// (tests, whose window procedures may refer to objects already gone).
void Discard();
bool IsInitialized();
/// The running backend, or null.
Backend* GetBackend();
/// The screen size (0 x 0 when not initialised).
Size ScreenSize();
/// The backend's clock in milliseconds.
std::uint64_t NowMs();
/// The cursor position in screen pixels, as last seen.
Point CursorPos();
void Beep();

/// Called when a blocking GetMessage would wait for input that can never
/// come (the backend cannot wait and no timer is running). GetMessage returns
/// false after the handler returns. The default handler writes "velloran:
/// this program needs a display" to standard error and exits with status 1.
/// The handler survives Init and Shutdown; an empty one restores the
/// default. Returns the previous handler.
using StarvationHandler = std::function<void()>;
StarvationHandler SetStarvationHandler(StarvationHandler handler);

// ---------------------------------------------------------------------------
// Window classes

using WindowProc = std::function<LResult(Hwnd, Msg, WParam, LParam)>;

/// Class styles.
enum : unsigned {
  kClassDblClks = 0x0001,  // double clicks become DblClk messages
  kClassHRedraw = 0x0002,  // a change of width repaints the whole window
  kClassVRedraw = 0x0004,  // a change of height repaints the whole window
};

struct WindowClass {
  std::string name{};  // compared without regard to case
  WindowProc proc{};
  unsigned style = 0;
  /// Filled by the default EraseBackground handling; none leaves the pixels.
  std::optional<Pixel> background{};
};

/// False when the name is taken or the procedure is empty.
bool RegisterWindowClass(const WindowClass& cls);
/// Existing windows of the class keep working. False when not registered.
bool UnregisterWindowClass(std::string_view name);
bool IsClassRegistered(std::string_view name);

// ---------------------------------------------------------------------------
// Windows

/// Window styles; the low 16 bits are free for a class's own styles.
enum : unsigned {
  kStyleChild = 0x40000000,     // lies inside its parent's client area
  kStylePopup = 0x80000000,     // a top-level window (the default without kStyleChild)
  kStyleVisible = 0x10000000,   // shown at creation
  kStyleDisabled = 0x08000000,  // created disabled
};

struct CreateParams {
  std::string_view className{};
  std::string_view title{};
  unsigned style = 0;
  Rect rect{};              // screen pixels, or parent client pixels for a child
  Hwnd parent = kNoWindow;  // required with kStyleChild
  Hwnd owner = kNoWindow;   // top-level windows: destroyed along with the owner
  int id = 0;               // a child's identifier (controls)
  std::intptr_t param = 0;  // free for the Create handler
};

/// Creates a window; kNoWindow when the class is unknown, the parent is
/// missing or the Create handler returned -1.
Hwnd CreateWindow(const CreateParams& params);
/// False when H is no window (or is already being destroyed).
bool DestroyWindow(Hwnd h);
bool IsWindow(Hwnd h);

/// The default handling: Close destroys the window, EraseBackground fills
/// with the class background, Paint validates, NcHitTest answers kHtClient,
/// Activate gives the focus to the window (or back to the child that had it),
/// MouseWheel goes on to the parent. Everything else gives 0.
LResult DefWindowProc(Hwnd h, Msg m, WParam w, LParam l);
/// Replaces the window's procedure; returns the old one (empty when H is no window).
WindowProc SetWindowProc(Hwnd h, WindowProc proc);

std::string GetClassName(Hwnd h);
unsigned GetStyle(Hwnd h);
/// Replaces the style bits, kStyleChild and kStylePopup excepted (they stay
/// as created); visibility and the enabled state have their own calls.
void SetStyle(Hwnd h, unsigned style);
int GetWindowId(Hwnd h);
void SetUserData(Hwnd h, std::intptr_t value);
std::intptr_t GetUserData(Hwnd h);

/// What a window class keeps with each of its windows, apart from the user
/// data that belongs to the program. Released with the window.
struct WindowExtra {
  virtual ~WindowExtra() = default;
};
/// Replaces the extra data of H (released when H is no window).
void SetWindowExtra(Hwnd h, std::unique_ptr<WindowExtra> extra);
/// The extra data of H, or null.
WindowExtra* GetWindowExtra(Hwnd h);
/// A top-level window's text is its title on the screen. The window is told
/// afterwards with a SetText message.
void SetWindowText(Hwnd h, std::string_view text);
std::string GetWindowText(Hwnd h);

enum class ShowCmd { Hide, Show, ShowNoActivate };
/// Returns whether the window was visible before.
bool ShowWindow(Hwnd h, ShowCmd cmd);
/// The window's own visibility flag.
bool IsShown(Hwnd h);
/// Shown, and so are all its ancestors.
bool IsWindowVisible(Hwnd h);

/// Moves and sizes. REPAINT invalidates what the change uncovered.
bool MoveWindow(Hwnd h, const Rect& rect, bool repaint = true);
/// Screen pixels for a top-level window, parent client pixels for a child.
Rect GetWindowRect(Hwnd h);
/// {0, 0, width, height}.
Rect GetClientRect(Hwnd h);
Point ClientToScreen(Hwnd h, Point p);
Point ScreenToClient(Hwnd h, Point p);
/// The deepest visible window under a screen point (kNoWindow when none).
Hwnd WindowFromPoint(Point screen);

/// The pointer shape shown while the pointer is over H or over a window
/// inside H without a shape of its own; nullopt: its parent's (the arrow at
/// the top). A change shows at once when the pointer is there.
void SetWindowCursor(Hwnd h, std::optional<CursorShape> shape);
std::optional<CursorShape> GetWindowCursor(Hwnd h);
/// The shape that shows while the pointer is over H.
CursorShape CursorShownOver(Hwnd h);

/// Returns whether the window was disabled before.
bool EnableWindow(Hwnd h, bool enable);
/// The window's own enabled flag.
bool IsWindowEnabled(Hwnd h);

/// Gives the keyboard focus to H (activating its top-level window) or takes
/// it away (kNoWindow). Refused for disabled windows. Returns the previous
/// focus window, or kNoWindow when refused.
Hwnd SetFocus(Hwnd h);
Hwnd GetFocus();
/// Makes top-level window H the active one (Activate messages).
Hwnd SetActiveWindow(Hwnd h);
Hwnd GetActiveWindow();

/// All mouse input goes to H until released. Returns the previous capture.
Hwnd SetCapture(Hwnd h);
void ReleaseCapture();
Hwnd GetCapture();

/// Moves H under NEWPARENT (kNoWindow: makes it top-level); its rectangle
/// numbers are kept. Returns the old parent.
Hwnd SetParent(Hwnd h, Hwnd newParent);
Hwnd GetParent(Hwnd h);
Hwnd GetOwner(Hwnd h);
/// The top-level window H lies in (H itself when top-level).
Hwnd GetTopLevel(Hwnd h);
/// True when H lies (at any depth) inside PARENT.
bool IsChild(Hwnd parent, Hwnd h);
/// Children in z-order, bottom first.
std::vector<Hwnd> GetChildren(Hwnd h);
/// Top-level windows in z-order, bottom first.
std::vector<Hwnd> GetTopLevelWindows();
/// Puts H on top of its siblings.
void BringToTop(Hwnd h);

/// A top-level window's native handle (0 for children or no window).
NativeWindow GetNativeWindow(Hwnd h);

/// One line per window (handle, class, title, rectangle, visible, enabled,
/// focus), indented by depth; for failure reports.
std::string DescribeWindows();

// ---------------------------------------------------------------------------
// Messages

/// Appends to the queue with the current time and cursor position.
bool PostMessage(Hwnd h, Msg m, WParam w = 0, LParam l = 0);
/// Calls the window's procedure now; 0 when H is no window.
LResult SendMessage(Hwnd h, Msg m, WParam w = 0, LParam l = 0);
void PostQuitMessage(int exitCode);
/// The message number registered under NAME (compared without regard to
/// case): the same number for the same name while the program runs, from
/// 0xC000 on.
Msg RegisterWindowMessage(std::string_view name);

/// Takes the next message for FILTER (kNoWindow: any; else the window and
/// its descendants) within FIRST..LAST (both Null: all), waiting when there
/// is none. Quit is taken by every read of all message numbers, whatever the
/// window filter. Returns false for Quit (exit code in wParam) and when the
/// wait starved (see SetStarvationHandler; out is then Quit with code 1).
bool GetMessage(Message& out, Hwnd filter = kNoWindow, Msg first = Msg::Null, Msg last = Msg::Null);
enum class PeekMode { Keep, Remove };
/// Like GetMessage without waiting: false when nothing is there. A generated
/// Paint is not removed by Remove (it lasts until the window is validated).
bool PeekMessage(Message& out, Hwnd filter, Msg first, Msg last, PeekMode mode);
/// Characters come from the backend already translated; kept so message
/// loops read in the usual way. Does nothing.
inline bool TranslateMessage(const Message&) {
  return false;
}
LResult DispatchMessage(const Message& m);
/// Waits until a message is there or one piece of input has been taken in
/// (which may have sent messages without queueing any). Returns false when
/// the wait starved (see SetStarvationHandler).
bool WaitMessage();
/// Time and cursor position of the last message GetMessage or PeekMessage returned.
std::uint64_t GetMessageTime();
Point GetMessagePos();

/// Virtual key (or kVkLButton/kVkRButton/kVkMButton) held down, from the
/// key events taken so far and the button and Shift/Ctrl bits of the last
/// mouse event.
bool IsKeyDown(int vk);

// ---------------------------------------------------------------------------
// Timers

/// Starts or restarts timer ID of H; a Timer message comes each INTERVALMS
/// (at least 1) when nothing else is waiting. A due timer gives one message
/// however late it is.
bool SetTimer(Hwnd h, std::uintptr_t id, std::uint32_t intervalMs);
bool KillTimer(Hwnd h, std::uintptr_t id);

// ---------------------------------------------------------------------------
// Invalid areas and painting

/// Where and how a window draws: into the backing surface of its top-level
/// window, client point (x, y) at surface pixel (origin.x + x, origin.y + y),
/// limited to CLIP (client coordinates).
struct PaintContext {
  Surface* surface = nullptr;
  Point origin;
  Rect clip;           // client coordinates; the visible part of the area to draw
  Rect invalid;        // client coordinates; the invalid area BeginPaint took
  bool erase = false;  // BeginPaint: the background was erased
};

/// Adds RECT (client coordinates; nullopt: the whole client area) to the
/// invalid area of H and of the children it covers.
void InvalidateRect(Hwnd h, std::optional<Rect> rect, bool erase);
/// Takes RECT (nullopt: everything) out of the invalid area of H.
void ValidateRect(Hwnd h, std::optional<Rect> rect = std::nullopt);
/// The invalid area of H (empty when none).
Rect GetUpdateRect(Hwnd h);
/// Sends Paint to H now when its invalid area is not empty.
void UpdateWindow(Hwnd h);
/// Validates H and gives its paint context; sends EraseBackground first when
/// the invalidation asked for erasing.
PaintContext BeginPaint(Hwnd h);
/// Queues the painted area for presenting.
void EndPaint(Hwnd h, const PaintContext& ctx);
/// A context for drawing outside Paint: the whole visible client area.
PaintContext GetDrawContext(Hwnd h);
/// Queues AREA (client coordinates; nullopt: the whole client area) of H to
/// be shown on the screen, which happens before the next wait for input.
void MarkDrawn(Hwnd h, std::optional<Rect> area = std::nullopt);
/// Shows every area queued by EndPaint and MarkDrawn now.
void FlushDrawing();
/// The backing surface of H's top-level window (null when H is no window).
Surface* GetSurface(Hwnd h);
/// Paints H, visible or not, into TARGET (resized to H's client area)
/// instead of the screen: a control's picture for use elsewhere. False when
/// H is no window or another such painting is under way.
bool PaintInto(Hwnd h, Surface& target);
/// Moves H's client pixels and its children by (DX, DY) and invalidates the
/// strip the move uncovered; the rest is not painted again.
void ScrollWindowContents(Hwnd h, int dx, int dy);

// ---------------------------------------------------------------------------
// Modal loops

/// Takes each message before it is dispatched; true when it consumed it.
using MessageHook = std::function<bool(Message&)>;
/// Runs a message loop until EndModalLoop(H, ...) is called, then returns its
/// result. Loops nest; an outer loop ended while an inner one runs returns
/// after the inner one ends. Returns -1 when H is no window, when H is
/// destroyed meanwhile, on Quit (posted again for the outer loops) or when
/// the wait starved. Disabling other windows is the caller's choice.
int RunModalLoop(Hwnd h, const MessageHook& hook = {});
/// Ends the innermost running modal loop of H; false when none runs.
bool EndModalLoop(Hwnd h, int result);
/// Number of modal loops running.
int ModalDepth();

}  // namespace plat
