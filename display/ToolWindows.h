#pragma once
// What the tools with windows of their own (the band-pass, spectrum and F-K
// windows) share: the remembered places of their windows, the opening and
// closing of a child window at such a place, the rubber-box zoom of a frame,
// the print of one picture, and the refusal of a record no spectrum can be
// made of.
#include <cstdint>
#include <functional>
#include <string_view>

#include "record/ShotRecord.h"
#include "support/GraphAxes.h"
#include "toolkit/core/Events.h"

namespace vel {

/// A window's remembered place in screen pixels: x, y, client width and
/// height, and the state (1 normal).
struct ToolPlace {
  std::int32_t x = 0, y = 0, width = 0, height = 0, state = 1;
  bool operator==(const ToolPlace&) const = default;
};

/// Command identifiers the tool windows answer.
inline constexpr int kToolSaveToFile = 40004;
inline constexpr int kToolProperties = 40010;
inline constexpr int kToolZoom = 40017;
inline constexpr int kToolUnzoom = 40018;
inline constexpr int kToolPrint = 40046;
inline constexpr int kToolLastzoom = 40048;
inline constexpr int kToolClose = 40101;
/// A press held longer than this (ms) is a drag.
inline constexpr std::int32_t kToolDragMilliseconds = 300;

/// The panes of a filter tool: the input traces in the main window and the
/// tool's child windows.
enum class ToolPane { Input, Spectrum, Output, Impulse, None };

/// The window numbers of a tool's panes. A child window the tool has not
/// opened, or the user has closed, has the number 0, which is also the main
/// window's: it is no pane, so nothing meant for it reaches the main window.
struct ToolPaneWindows {
  int main = 0, spectrum = 0, output = 0, impulse = 0;
  /// The window of pane P; -1 for no pane.
  int WindowOf(ToolPane p) const;
  /// The input is always shown; a child pane while its window is open.
  bool Shown(ToolPane p) const;
  /// The pane of window N.
  ToolPane PaneOf(int n) const;
};

/// Hands each event the toolkit's wait delivers to HANDLE for as long as
/// RUNNING holds: the nested loop of a tool window.
void RunToolLoop(const bool& running, const std::function<void(int type, const tk::EventRecord& e)>& handle);

/// The last mouse press in a tool window: its message time, position in
/// window units, button (0 none held) and window; and the pointer's last
/// place while a rubber box is drawn.
struct ToolPress {
  std::int32_t time = 0, x = 0, y = 0, button = 0, window = -1;
  std::int32_t pointerX = 0, pointerY = 0;
  /// Records the press E and switches the button-up and mouse-move events on.
  void Take(const tk::EventRecord& e);
  /// The left button is held and was pressed more than 300 ms before E.
  bool Dragging(const tk::EventRecord& e) const;
};

/// Opens a child window with FLAGS and MENU at PLACE, puts it at PLACE in
/// PLACE's state and gives it TITLE. The window's number, or 0 when none
/// could be opened (the toolkit has said why).
int OpenToolWindow(int flags, int menu, const ToolPlace& place, std::string_view title);

/// Takes the current window's state into PLACE and, when it is normal, its
/// x, y, width and height plus HEIGHTEXTRA.
void TakeToolPlace(ToolPlace& place, std::int32_t heightExtra);

/// Takes child window NUMBER's place into PLACE (height as the client's) and
/// closes it; NUMBER becomes 0. A window the user closed already (0) keeps
/// its place and is not closed again.
void CloseToolWindow(int& number, ToolPlace& place);

/// Starts a page for DRAW: the screen (the window cleared) or, with HARDCOPY,
/// a hardcopy page; then DRAW.
void DrawToolPicture(bool hardcopy, sup::GraphAxes& axes, const std::function<void()>& draw);

/// Print: the hardcopy options; when the user says OK, DRAW once onto a
/// hardcopy page, the output ended, the graphics state reset for the screen
/// ("P"), and DRAW again on the screen. BEFOREPRINT and AFTERPRINT run around
/// the hardcopy drawing and before the screen drawing (line widths).
void PrintToolPicture(sup::GraphAxes& axes, const std::function<void()>& draw,
                      const std::function<void()>& beforePrint = {},
                      const std::function<void()>& afterPrint = {});

/// A rubber-box release that zooms: the box measures more than 19 window
/// units in both directions.
bool ZoomBoxLargeEnough(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2);

/// The trace axis of a zoomed trace frame never steps by less than one
/// trace: the step doubles (the divisions halve) over the same width until it
/// reaches one; the scales follow.
void WholeTraceSteps(sup::GraphAxes& axes);

/// The status-bar read-outs of the mouse at window units (X, Y) over a trace
/// window drawn in the frame TRACES: trace, time, sample, value (from REC)
/// and pick in parts 1-5 of main window MAINWIN, or "No Trace" in all five
/// outside the record. The trace and pick parts change only when the trace
/// differs from LASTTRACE, which then becomes it (0 outside). VALUELABEL
/// comes before the value's 12 characters.
void TraceReadout(const ShotRecord& rec, const TraceDisplayOptions& opts, const sup::GraphAxes& traces,
                  std::int32_t x, std::int32_t y, int mainWindow, std::int32_t& lastTrace,
                  std::string_view valueLabel);

/// Refuses, with a message, a record no spectrum can be made of: a sample
/// interval that is not a positive finite number, or fewer than 3 samples
/// (fewer than two spectrum values). True when the record will do.
bool SpectrumRecordUsable(float sampleInterval, std::int64_t samples);

}  // namespace vel
