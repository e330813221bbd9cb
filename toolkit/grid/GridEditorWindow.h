#pragma once
// The stand-alone grid editor: a toolkit child window turned into an editor
// of a copy of a grid field of the current dialog, with its own menus
// (File, Edit, Search), accelerators, toolbar and row and column read-outs
// in the status bar. Its commands are carried out by the window itself and
// then reported as menu-command events with the same identifier; a change
// of the current cell is reported as a field-changed event (modeless and
// semi-modeless windows), closing as a close request.
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/Geometry.h"
#include "platform/menu/Accelerators.h"
#include "platform/menu/Menu.h"
#include "platform/window/Window.h"

namespace tk {

struct GridRecord;

/// How a grid window runs.
enum GridWindowMode : int {
  kGridWindowModal = 1,
  kGridWindowModeless = 2,
  kGridWindowSemiModeless = 3,
};

/// The bits of GridWindowOpen's flags.
enum GridWindowFlags : std::uint32_t {
  kGridWinNoToolbar = 32,
  kGridWinNoNewOpen = 256,
  kGridWinNoSaveAs = 512,
  kGridWinNoPrint = 1024,
  kGridWinRowLabels = 2048,
  kGridWinNoFind = 4096,
  kGridWinNoSave = 8192,
  kGridWinKeepBackup = 131072,
  kGridWinNoSaveHtml = 262144,
  kGridWinIgnoreLocks = 524288,
  kGridWinAppendRow = 1048576,
  kGridWinNoRows = 2097152,
  kGridWinNoMenu = 8388608,
};

/// The identifiers of the grid window's menus, accelerators and buttons.
enum GridWindowCommandId : int {
  kGwFilePopup = 32100,
  kGwNew = 32101,
  kGwOpen = 32102,
  kGwSave = 32103,
  kGwSaveAs = 32104,
  kGwPrint = 32105,
  kGwPrintSelection = 32106,
  kGwExit = 32107,
  kGwSaveHtml = 32108,
  kGwEditPopup = 32120,
  kGwCut = 32122,
  kGwCopy = 32123,
  kGwPaste = 32124,
  kGwDelete = 32125,
  kGwSelectAll = 32126,
  kGwSort = 32127,
  kGwInsertBefore = 32128,
  kGwInsertAfter = 32129,
  kGwDeleteRow = 32130,
  kGwSearchPopup = 32140,
  kGwFind = 32141,
  kGwFindNext = 32142,
  kGwGotoCell = 32144,
  kGwGotoRow = 32145,
  kGwGotoColumn = 32146,
  kGwLast = 32200,
};

/// What GridWindowOpen reports besides 0 (success). 2, 4 and 5 leave a
/// working grid window.
enum GridWindowOpenStatus : int {
  kGridOpenMainWindow = 1,
  kGridOpenMenuForModal = 2,
  kGridOpenMenuNotFound = 3,
  kGridOpenMenuInsideParent = 4,
  kGridOpenModeForced = 5,
  kGridOpenNoMemory = 6,
  kGridOpenOtherSpecial = 8,
  kGridOpenNoGridField = 11,
  kGridOpenInsideChildren = 12,
};

/// The record of one grid window.
struct GridWindowRecord {
  int kind = 4;
  plat::Hwnd window = plat::kNoWindow;  // the frame
  int windowNumber = 0;
  plat::Hwnd grid = plat::kNoWindow;  // the copied grid (JQXGRID, control 1002)
  plat::Hwnd toolbar = plat::kNoWindow;
  plat::Hwnd statusBar = plat::kNoWindow;
  plat::HMenu menuBar = plat::kNoMenu, fileMenu = plat::kNoMenu, editMenu = plat::kNoMenu,
              searchMenu = plat::kNoMenu;
  plat::HAccel accelerators = plat::kNoAccel;
  int mode = kGridWindowModeless;
  int rowLabelFlag = 0;
  int appendRowFlag = 0;
  std::string windowTitle;  // the caption at conversion
  std::string userFilter;   // the caller's file filter, "|" between its parts
  std::int32_t fileType = 1;
  std::int32_t findOptions[2] = {0, 0};  // match case, numbers
  bool modalDone = false;
  bool allowNew = true, readOnly = false, allowOpen = true, allowSave = true, allowSaveAs = true,
       allowSaveHtml = true, allowPrint = true, allowFind = true, allowRows = true,
       ignoreLocks = false, keepBackup = false;
  std::int32_t lastCell = 262145;  // column 1, row 1
  int fitWidth = -999, fitHeight = -999;
};

/// Turns the current toolkit window into a grid window holding a copy of
/// grid FIELD of the current dialog. MODE becomes kGridWindowModeless when
/// forced. FILE_TYPE -1 stands for 1; FILE_NAME, when given, is loaded as
/// CSV; FILTER is the caller's file filter (its last character separates
/// its parts).
void GridWindowOpen(int& status, int field, int& mode, int menuId, std::uint32_t flags,
                    int fileType, std::string_view fileName, std::string_view filter);
/// Runs the current window, when it is a modal grid window, until it
/// closes; clears the grid's modified flags of every grid window.
void GridWindowModalLoop();

/// The record of grid window N, of the window with frame H, or null.
GridWindowRecord* GridWindowOf(int n);
GridWindowRecord* GridWindowOfHandle(plat::Hwnd h);
/// The grid control a grid window shows (null when none).
GridRecord* GridWindowGrid(const GridWindowRecord& rec);

/// The frame procedure of a grid window.
plat::LResult GridWindowProc(plat::Hwnd h, plat::Msg m, plat::WParam w, plat::LParam l);

/// The cell area that shows every cell of G: 1 + the sum of (width - 1)
/// over the columns by (row height - 1) x rows + 1, each at most 10000.
plat::Size GridFitCellArea(const GridRecord& g);
/// The frame size that shows the whole grid of REC with its bars.
plat::Size GridWindowNeededSize(const GridWindowRecord& rec);
/// Shrinks the window to the size that shows the whole grid; a dimension
/// already smaller stays.
void GridWindowFitSize(GridWindowRecord& rec);
/// The same for the current window when it is a grid window (the grid
/// control's call after its rows or columns changed through field 0).
void GridWindowFitCurrent();
/// The frame's largest and smallest sizes: the screen's work area cut to
/// the needed size, and the widest column with one row and the bars.
void GridWindowSizeLimits(GridWindowRecord& rec, plat::Size& largest, plat::Size& smallest);

/// Which row commands a grid allows: greyed when false.
struct GridRowCommandStates {
  bool sort = true;
  bool insertBefore = true;
  bool insertAfter = true;
  bool deleteRow = true;
};
GridRowCommandStates GridWindowRowStates(const GridRecord& g, bool ignoreLocks, bool appendRow);
/// Enables and greys the menu items for the state of the grid, its editor,
/// its selection and the clipboard.
void GridWindowMenuStates(GridWindowRecord& rec);

/// Carries out command ID; true when the menu-command event is to follow.
bool GridWindowCommand(GridWindowRecord& rec, int id);

/// The close check of grid window WINDOW: when MODIFIED is 1 asks whether
/// to save; Yes saves as CSV (FILE_NAME, FILE_TYPE and FILTER as the CSV
/// save takes them, KEEP_BACKUP 1 keeps a ".bak" copy). ANSWER 1 go on, 0
/// cancel.
void GridWindowSavePrompt(int window, int modified, std::int32_t& answer, std::int32_t& fileType,
                          int keepBackup, std::string& fileName, const std::string& filter);

/// The status-bar help text and the tooltip of command ID (empty: none).
std::string GridWindowHelpText(int id);
std::string GridWindowTooltip(int id);

/// The caption: the window title, with " - [" + file name + "]" after it.
void GridWindowCaptionUpdate(GridWindowRecord& rec);

/// The grid's flags the grid window closed last kept (GridQuery field -2).
struct GridWindowClosedFlags {
  std::int32_t modified = 0;
  std::int32_t changed = 0;
};
GridWindowClosedFlags& GridWindowClosedLastFlags();
/// Keeps the flags and texts of grid window N as those of the grid window
/// closed last.
void GridWindowClosedLast(int n);

}  // namespace tk
