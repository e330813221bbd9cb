#pragma once
// The window table shared by the window, procedure, event and geometry code.
#include <array>
#include <cstdint>
#include <functional>

#include "platform/window/Window.h"
#include "toolkit/core/Windows.h"

namespace tk::detail {

constexpr char kMainFrameClass[] = "PARVENDRITE";
constexpr char kChildFrameClass[] = "PARVCHILD";
constexpr char kClientClass[] = "PARVCLIENT";
constexpr char kSplitHClass[] = "PARVSPLITH";
constexpr char kSplitVClass[] = "PARVSPLITV";

struct WindowSlot {
  plat::Hwnd frame = plat::kNoWindow;  // free while none
  plat::Hwnd client = plat::kNoWindow;
  std::int32_t flags = -1;
  int menu = 0;
  int statusBarHeight = 0;
  int menuBarHeight = 0;
  std::array<int, 4> toolbarExtents{};  // heights of 1 and 4, widths of 2 and 3
  int bandTop = 0;     // a special window's own band under the menu bar (its toolbar)
  int bandBottom = 0;  // and its band above the bottom toolbar (a command line)
  std::function<void(plat::Rect top, plat::Rect bottom)> placeBands;
  int cursorShape = 0;                  // 0: the global cursor
  int parent = -1;                      // the window it lies inside or is owned by; -1 none
  bool inside = false;                  // lies inside its parent's client area
  int showState = kShowNormal;
  plat::Rect normal{};  // frame rectangle in normal state (parent client or screen pixels)
  plat::Hwnd focusBefore = plat::kNoWindow;
  int returnTo = -1;  // window number that had the focus before, -1 none
  int specialKind = 0;
  plat::Hwnd gridField = plat::kNoWindow;  // kind 4: the grid the window shows
  plat::Hwnd bitmapView = plat::kNoWindow;  // kind 2: the bitmap viewer over the client area
  std::int32_t lastGridCell = 262145;      // kind 4: its last cell (column 1, row 1)
  WindowTextStyleRecord textStyle{};
  bool captionActive = false;
};

WindowSlot& Slot(int n);
bool MainHidden();

/// The frame rectangle around client size CLIENT for window N's bars.
plat::Size FrameSizeFor(const WindowSlot& s, plat::Size client);
/// Places the bars and the client area inside frame N's rectangle.
void LayoutFrame(int n);

plat::LResult FrameWndProc(plat::Hwnd h, plat::Msg m, plat::WParam w, plat::LParam l);
plat::LResult ClientWndProc(plat::Hwnd h, plat::Msg m, plat::WParam w, plat::LParam l);
plat::LResult SplitterWndProc(plat::Hwnd h, plat::Msg m, plat::WParam w, plat::LParam l);

}  // namespace tk::detail
