#pragma once
// Message identifiers, message parameters and the packing helpers of the
// window system. The identifiers keep the numeric order a message-based
// toolkit expects, so ranges such as "all key messages" or "all mouse
// messages" are contiguous.
#include <cstdint>
#include <string>

#include "platform/Geometry.h"

namespace plat {

/// A window handle; 0 is no window. Handles are never reused, so a handle
/// kept after its window was destroyed is simply no window any more.
using Hwnd = std::uint32_t;
constexpr Hwnd kNoWindow = 0;

using WParam = std::uintptr_t;
using LParam = std::intptr_t;
using LResult = std::intptr_t;

enum class Msg : std::uint32_t {
  Null = 0x0000,
  Create = 0x0001,     // lParam: const CreateParams*; return -1 to refuse the window
  Destroy = 0x0002,    // sent to the window first, then to its children
  Move = 0x0003,       // lParam: new client origin (screen, or parent client for a child)
  Size = 0x0005,       // wParam: kSize*; lParam: new client width and height
  Activate = 0x0006,   // wParam: kActive/kInactive; lParam: the other window
  SetFocus = 0x0007,   // wParam: the window that lost the focus
  KillFocus = 0x0008,  // wParam: the window that gets the focus
  Enable = 0x000A,     // wParam: 1 enabled, 0 disabled
  SetText = 0x000C,    // sent by SetWindowText after the text changed
  Paint = 0x000F,
  Close = 0x0010,
  Quit = 0x0012,             // wParam: exit code
  EraseBackground = 0x0014,  // lParam: PaintContext*; return non-zero when erased
  ShowWindow = 0x0018,       // wParam: 1 shown, 0 hidden
  Help = 0x0053,             // F1 in a dialog, to the dialog: lParam the control with the focus
  Notify = 0x004E,           // wParam: control id; lParam: NotifyHeader*
  NcHitTest = 0x0084,        // lParam: screen position; returns a kHt* code
  GetDlgCode = 0x0087,       // wParam: the key; returns the kDlgc* keys a control wants
  NcLButtonDown = 0x00A1,    // Nc buttons: wParam kHt* code, lParam screen position
  NcLButtonUp = 0x00A2,
  NcLButtonDblClk = 0x00A3,
  NcRButtonDown = 0x00A4,
  NcRButtonUp = 0x00A5,
  NcMButtonDown = 0x00A7,
  NcMButtonUp = 0x00A8,
  KeyDown = 0x0100,  // keys: wParam virtual key; lParam repeat count 1, bit 29 Alt, bit 31 up
  KeyUp = 0x0101,
  Char = 0x0102,        // wParam: character (Latin-1)
  SysKeyDown = 0x0104,  // a key with Alt held
  SysKeyUp = 0x0105,
  SysChar = 0x0106,
  Command = 0x0111,  // wParam: id (low word) and notification (high word); lParam: control
  Timer = 0x0113,    // wParam: timer id
  HScroll = 0x0114,  // to the parent: wParam scroll code (low word), position (high word); lParam:
                     // control
  VScroll = 0x0115,
  MenuSelect = 0x011F,  // to a menu's owner: wParam the entry's identifier; lParam const
                        // MenuSelection* (0: none)
  // Sent by a control to its parent before it paints its text: lParam the
  // control's ControlColours (platform/controls/Controls.h), which the parent
  // may change; it returns non-zero when it did.
  CtlColourEdit = 0x0133,
  CtlColourListBox = 0x0134,
  CtlColourButton = 0x0135,
  CtlColourStatic = 0x0138,
  MouseMove = 0x0200,   // mouse: wParam kMk* bits; lParam client position
  LButtonDown = 0x0201,
  LButtonUp = 0x0202,
  LButtonDblClk = 0x0203,
  RButtonDown = 0x0204,
  RButtonUp = 0x0205,
  RButtonDblClk = 0x0206,
  MButtonDown = 0x0207,
  MButtonUp = 0x0208,
  MButtonDblClk = 0x0209,
  MouseWheel = 0x020A,     // wParam: kMk* bits (low word), delta (high word, signed); lParam screen
  EnterMenuLoop = 0x0211,  // to a menu's owner: wParam 1 for a pop-up menu, 0 for the menu bar
  ExitMenuLoop = 0x0212,   // wParam as EnterMenuLoop
  CaptureChanged = 0x0215,  // lParam: the window that now has the capture (or 0)
  User = 0x0400,            // first message number free for programs
};

constexpr Msg kKeyFirst = Msg::KeyDown;
constexpr Msg kKeyLast = Msg::SysChar;
constexpr Msg kMouseFirst = Msg::MouseMove;
constexpr Msg kMouseLast = Msg::MouseWheel;

constexpr std::uint32_t ToInt(Msg m) {
  return static_cast<std::uint32_t>(m);
}
/// The program's own message N (User + N).
constexpr Msg UserMessage(std::uint32_t n) {
  return static_cast<Msg>(ToInt(Msg::User) + n);
}

/// The message's name ("Paint", "User+3"), for test output and dumps.
std::string ToString(Msg m);

/// Size message wParam.
enum : WParam { kSizeRestored = 0, kSizeMinimized = 1, kSizeMaximized = 2 };
/// Activate message wParam.
enum : WParam { kInactive = 0, kActive = 1, kClickActive = 2 };

/// Non-client hit-test codes (NcHitTest result).
enum : LResult {
  kHtError = -2,
  kHtTransparent = -1,
  kHtNowhere = 0,
  kHtClient = 1,
  kHtCaption = 2,
  kHtSysMenu = 3,
  kHtMinButton = 8,
  kHtMaxButton = 9,
  kHtBorder = 18,
  kHtClose = 20,
};

/// What a Notify message's lParam points at.
struct NotifyHeader {
  Hwnd from = kNoWindow;
  int id = 0;
  int code = 0;
};

/// Two 16-bit halves in one parameter, as mouse and size messages carry them.
constexpr LParam MakeLParam(int low, int high) {
  return static_cast<LParam>(static_cast<std::uint32_t>(low & 0xFFFF) |
                             (static_cast<std::uint32_t>(high & 0xFFFF) << 16));
}
constexpr WParam MakeWParam(int low, int high) {
  return static_cast<WParam>(static_cast<std::uint32_t>(MakeLParam(low, high)));
}
constexpr int LowWord(std::uintptr_t v) {
  return static_cast<int>(v & 0xFFFF);
}
constexpr int HighWord(std::uintptr_t v) {
  return static_cast<int>((v >> 16) & 0xFFFF);
}
/// The halves read as signed 16-bit values (positions left of or above a window).
constexpr int SignedLow(std::uintptr_t v) {
  return static_cast<std::int16_t>(v & 0xFFFF);
}
constexpr int SignedHigh(std::uintptr_t v) {
  return static_cast<std::int16_t>((v >> 16) & 0xFFFF);
}
constexpr LParam PointToLParam(Point p) {
  return MakeLParam(p.x, p.y);
}
constexpr Point LParamToPoint(LParam l) {
  return {SignedLow(static_cast<std::uintptr_t>(l)), SignedHigh(static_cast<std::uintptr_t>(l))};
}

/// One queued or generated message, with the time it was posted (the
/// backend's clock, ms) and the cursor's screen position at that moment.
struct Message {
  Hwnd hwnd = kNoWindow;
  Msg msg = Msg::Null;
  WParam wParam = 0;
  LParam lParam = 0;
  std::uint64_t time = 0;
  Point pt;
};

}  // namespace plat
