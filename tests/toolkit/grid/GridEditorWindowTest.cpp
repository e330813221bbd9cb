// The stand-alone grid editor window: opening statuses, the copied grid,
// menus and keys by flags, status-bar read-outs, fitting the window to the
// grid, the save question, the modal loop, greying of the row commands,
// spin steps of the cell editors and the field-changed event.
#include <gtest/gtest.h>

#include <set>

#include "platform/controls/Controls.h"
#include "platform/dialog/MessageBox.h"
#include "platform/menu/Accelerators.h"
#include "platform/menu/Menu.h"
#include "platform/window/VirtualKeys.h"
#include "tests/toolkit/grid/FakeGridPrinter.h"
#include "tests/toolkit/grid/GridPeripheryTestSupport.h"
#include "toolkit/core/Menus.h"
#include "toolkit/core/Windows.h"
#include "toolkit/grid/GridAttributes.h"
#include "toolkit/grid/GridEditorWindow.h"
#include "toolkit/grid/GridPrinting.h"

namespace tk::testing {
namespace {

/// 990 a read-only grid with column headers on template 971.
constexpr std::string_view kReadOnlyDialog = R"(dialog 990 popup
  rect 0 0 300 200
  control JQXGRID 2400 5 5 280 150 "" WS_VISIBLE | WS_VSCROLL | 0x0A00
  extras
[Grids] 
 2400     4    6   971 
  end
end
)";

class GridEditorWindowTest : public GridPeripheryTest {
 protected:
  void SetUp() override {
    GridPeripheryTest::SetUp();
    res::ResourceSet set;
    res::ResourceError error;
    ASSERT_TRUE(res::ParseResourceText("grid-window", kReadOnlyDialog, set, error)) << error.Text();
    for (const res::DialogTemplate& t : set.dialogs) AddDialogTemplate(t);
    plat::ClearMessageBoxLog();
  }

  /// A child window with a status bar, current.
  int Child(int flags = 7 | kWsStatusBar) {
    int n = 0;
    WindowOpenChild(n, flags, 10, 10, 900, 700, 0, {}, 0, "Grid");
    return n;
  }
  /// Loads DIALOG and turns a new child window into a grid window of FIELD.
  int Open(int dialog, int field, std::uint32_t flags = 0, int mode = kGridWindowModeless) {
    WDialogLoad(dialog);
    window_ = Child();
    int status = -1;
    GridWindowOpen(status, field, mode, 0, flags, -1, {}, {});
    return status;
  }
  GridWindowRecord& Rec() {
    GridWindowRecord* r = GridWindowOf(window_);
    EXPECT_NE(r, nullptr);
    static GridWindowRecord none;
    return r ? *r : none;
  }
  GridRecord& WindowGrid() {
    GridRecord* g = GridWindowGrid(Rec());
    EXPECT_NE(g, nullptr);
    static GridRecord none;
    return g ? *g : none;
  }
  /// Every command identifier of menu M and its pop-ups.
  static std::set<int> Commands(plat::HMenu m) {
    std::set<int> ids;
    for (int k = 0; k < plat::MenuEntryCount(m); ++k) {
      const std::optional<plat::MenuEntry> e = plat::GetMenuEntry(m, k);
      if (!e) continue;
      if (e->kind == plat::MenuEntry::Kind::Popup) {
        for (int id : Commands(e->submenu)) ids.insert(id);
      } else if (e->kind != plat::MenuEntry::Kind::Separator) {
        ids.insert(e->id);
      }
    }
    return ids;
  }
  static bool Greyed(plat::HMenu m, int id) {
    const plat::MenuPlace place = plat::FindMenuEntry(m, id);
    const std::optional<plat::MenuEntry> e = plat::GetMenuEntry(place.menu, place.pos);
    EXPECT_TRUE(e.has_value()) << id;
    return e && e->greyed;
  }
  std::vector<std::string> StatusTexts() {
    std::vector<std::string> t;
    for (int i = 0; i < 4; ++i) t.push_back(plat::StatusBarGetText(Rec().statusBar, i));
    return t;
  }
  /// Posts command ID to the window; the next wait or poll carries it out.
  void Command(int id) {
    plat::PostMessage(Rec().window, plat::Msg::Command, plat::MakeWParam(id, 0), 0);
  }
  void Close() { plat::PostMessage(Rec().window, plat::Msg::Close, 0, 0); }
  /// The events waiting, as (type, value1), repaints and resizes left out.
  std::vector<std::pair<int, int>> Events() {
    std::vector<std::pair<int, int>> seen;
    int type = 0;
    EventRecord r;
    for (int i = 0; i < 50; ++i) {
      WEventPeek(type, r);
      if (type == kEventNone) break;
      if (type != kEventExpose && type != kEventResize) seen.push_back({type, r.value1});
    }
    return seen;
  }

  int window_ = -1;
};

TEST_F(GridEditorWindowTest, OpenStatuses) {
  WDialogLoad(970);
  // The main window cannot become a grid window.
  int status = -1, mode = kGridWindowModeless;
  WindowMakeCurrent(0);
  GridWindowOpen(status, 2000, mode, 0, 0, -1, {}, {});
  EXPECT_EQ(status, kGridOpenMainWindow);

  // A field that is no grid of the current dialog leaves the window as it was.
  const int n = Child();
  const std::string title = plat::GetWindowText(Frame(n));
  for (int field : {0, 2001, 3301}) {
    GridWindowOpen(status, field, mode, 0, 0, -1, {}, {});
    EXPECT_EQ(status, kGridOpenNoGridField) << field;
    EXPECT_EQ(WindowSpecialKind(n), 0);
    EXPECT_EQ(GridWindowOf(n), nullptr);
    EXPECT_EQ(WindowMenuHandle(n), plat::kNoMenu);
    EXPECT_EQ(plat::GetWindowText(Frame(n)), title);
  }

  // A grid window is already special.
  GridWindowOpen(status, 2000, mode, 0, 0, -1, {}, {});
  EXPECT_EQ(status, 0);
  EXPECT_EQ(WindowQuery(10), 4);
  GridWindowOpen(status, 2000, mode, 0, 0, -1, {}, {});
  EXPECT_EQ(status, kGridOpenOtherSpecial);

  // A window holding inside windows.
  const int outer = Child();
  int inner = 0;
  WindowOpenChild(inner, kWsInsideParent | 7, 0, 0, 2000, 2000, 0, {}, 0, "Inner", outer);
  WindowMakeCurrent(outer);
  GridWindowOpen(status, 2000, mode, 0, 0, -1, {}, {});
  EXPECT_EQ(status, kGridOpenInsideChildren);

  // Inside windows: modeless only, and without menus.
  struct Case {
    int mode;
    std::uint32_t flags;
    int status;
  };
  const Case cases[] = {
      {kGridWindowModal, kGridWinNoMenu, kGridOpenModeForced},
      {kGridWindowSemiModeless, 0, kGridOpenModeForced},
      {kGridWindowModeless, 0, kGridOpenMenuInsideParent},
      {kGridWindowModeless, kGridWinNoMenu, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode * 100 + (c.flags != 0));
    int m = 0;
    WindowOpenChild(m, kWsInsideParent | 7, 0, 0, 2000, 2000, 0, {}, 0, "Pane", inner);
    ASSERT_GT(m, 0);
    mode = c.mode;
    GridWindowOpen(status, 2000, mode, 0, c.flags, -1, {}, {});
    EXPECT_EQ(status, c.status);
    EXPECT_EQ(mode, kGridWindowModeless);
    ASSERT_NE(GridWindowOf(m), nullptr);
    EXPECT_EQ(GridWindowOf(m)->menuBar, plat::kNoMenu);
    WindowCloseChild(m);
    EXPECT_EQ(GridWindowOf(m), nullptr);
  }
}

TEST_F(GridEditorWindowTest, TheGridIsACopyOfTheDialogsGrid) {
  WDialogLoad(974);
  PutText(2200, 1, 2, "beta");
  WGridPutCellReal(2200, 2, 3, 2.5f);
  int f = 2200;
  GridLockCell(f, 0, 4, 0);
  GridSetCellColours(f, 1, 1, 255, 0, 0, -1, -1, -1);
  window_ = Child();
  int status = -1, mode = kGridWindowModeless;
  GridWindowOpen(status, 2200, mode, 0, 0, -1, {}, {});
  ASSERT_EQ(status, 0);
  GridRecord& g = WindowGrid();
  const GridRecord& s = Grid(2200);
  EXPECT_EQ(plat::GetParent(g.window), Client(window_));
  EXPECT_EQ(plat::GetWindowId(g.window), 1002);
  EXPECT_EQ(plat::GetStyle(g.window) & 0xFFFF, (plat::GetStyle(s.window) & 0xFFFF) | 0x5100u);
  EXPECT_EQ(g.columnCount, 3);
  EXPECT_EQ(g.rowCount, s.rowCount);
  EXPECT_EQ(g.rowHeight, s.rowHeight);
  EXPECT_EQ(Cell(0, 1, 2), "beta");
  EXPECT_EQ(Cell(0, 2, 3), Cell(2200, 2, 3));
  EXPECT_EQ(g.columns[0].cellFlags[4] & kCellLocked, kCellLocked);
  ASSERT_EQ(g.columns[1].cellColours.size(), s.columns[1].cellColours.size());
  EXPECT_EQ(g.columns[1].cellColours[1].text[0], 255);
  EXPECT_EQ(g.rowLabels[0], "r1");
  EXPECT_EQ(g.labelWidth, s.labelWidth);
  // Row labels are header controls of the window's grid.
  ASSERT_FALSE(g.labelWindows.empty());
  EXPECT_EQ(plat::GetClassName(g.labelWindows[0]), plat::kHeaderClass);
  EXPECT_EQ(plat::HeaderGetItem(g.labelWindows[1], 0)->text, "r2");
  // Column headers and templates.
  ASSERT_NE(g.columnHeader, plat::kNoWindow);
  EXPECT_EQ(plat::HeaderGetItem(g.columnHeader, 2)->text, "Value");
  for (std::size_t j = 0; j < g.columns.size(); ++j) {
    EXPECT_NE(g.columns[j].prototype, s.columns[j].prototype);
    EXPECT_EQ(plat::GetParent(g.columns[j].prototype), g.cellArea);
    EXPECT_EQ(plat::GetStyle(g.columns[j].prototype), plat::GetStyle(s.columns[j].prototype));
  }
  // The copy is the window's own: the dialog's grid keeps its cells.
  PutText(0, 1, 2, "gamma");
  EXPECT_EQ(Cell(0, 1, 2), "gamma");
  EXPECT_EQ(Cell(2200, 1, 2), "beta");
  EXPECT_NE(g.editor, plat::kNoWindow);
}

TEST_F(GridEditorWindowTest, OptionListsAreCopied) {
  ASSERT_EQ(Open(970, 2000), 0);
  WGridPutCellOption(0, 4, 2, 3);
  EXPECT_EQ(Cell(0, 4, 2), "Accelerometer");
  EXPECT_EQ(GridColumnOptions(WindowGrid().columns[3]),
            (std::vector<std::string>{"Geophone", "Hydrophone", "Accelerometer"}));
}

TEST_F(GridEditorWindowTest, CommandsByFlagsAndReadOnlyGrids) {
  const std::set<int> all{kGwNew,        kGwOpen,   kGwSave,       kGwSaveAs,       kGwSaveHtml,
                          kGwPrint,      kGwPrintSelection,        kGwExit,         kGwCut,
                          kGwCopy,       kGwPaste,  kGwDelete,     kGwSelectAll,    kGwSort,
                          kGwInsertBefore,          kGwInsertAfter, kGwDeleteRow,   kGwFind,
                          kGwFindNext,   kGwGotoCell, kGwGotoRow,  kGwGotoColumn};
  const auto without = [&](std::set<int> gone) {
    std::set<int> s;
    for (int id : all)
      if (!gone.contains(id)) s.insert(id);
    return s;
  };
  struct Case {
    int dialog, field;
    std::uint32_t flags;
    std::set<int> missing;
    std::size_t keys;
    int buttons;  // toolbar buttons, separators not counted
  };
  const Case cases[] = {
      {970, 2000, 0, {}, 10, 8},
      {970, 2000, kGridWinNoNewOpen | kGridWinNoPrint, {kGwNew, kGwOpen, kGwPrint, kGwPrintSelection},
       7, 5},
      {970, 2000, kGridWinNoSave, {kGwSave, kGwSaveAs, kGwSaveHtml}, 8, 7},
      {970, 2000, kGridWinNoFind | kGridWinNoRows | kGridWinNoSaveHtml,
       {kGwFind, kGwFindNext, kGwSaveHtml, kGwInsertBefore, kGwInsertAfter, kGwDeleteRow}, 5, 7},
      {990, 2400, 0,
       {kGwNew, kGwSave, kGwSaveAs, kGwSaveHtml, kGwCut, kGwPaste, kGwDelete, kGwSort,
        kGwInsertBefore, kGwInsertAfter, kGwDeleteRow},
       4, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.dialog * 100000 + c.flags);
    ASSERT_EQ(Open(c.dialog, c.field, c.flags), 0);
    EXPECT_EQ(Commands(Rec().menuBar), without(c.missing));
    EXPECT_EQ(plat::AcceleratorEntries(Rec().accelerators).size(), c.keys);
    int buttons = 0;
    for (int i = 0; i < plat::ToolbarButtonCount(Rec().toolbar); ++i)
      buttons += plat::ToolbarGetButton(Rec().toolbar, i)->command != 0;
    EXPECT_EQ(buttons, c.buttons);
    WindowCloseChild(window_);
  }

  // Ctrl+Shift+I inserts after the current row; the table is in its order.
  ASSERT_EQ(Open(970, 2000), 0);
  const std::vector<plat::Accelerator> keys = plat::AcceleratorEntries(Rec().accelerators);
  ASSERT_EQ(keys.size(), 10u);
  EXPECT_EQ(keys[0].command, kGwNew);
  EXPECT_EQ(keys[3].key, plat::kVkF1 + 11);
  EXPECT_EQ(keys[8].command, kGwInsertAfter);
  EXPECT_EQ(keys[8].key, 'I');
  EXPECT_EQ(keys[8].modifiers, plat::kAccelControl | plat::kAccelShift);
  EXPECT_EQ(keys[9].command, kGwDeleteRow);
  const plat::MenuPlace after = plat::FindMenuEntry(Rec().menuBar, kGwInsertAfter);
  EXPECT_EQ(plat::GetMenuEntry(after.menu, after.pos)->text,
            "&Insert Row After Current\tCtrl+Shift+I");
  EXPECT_EQ(GridWindowHelpText(kGwExit), "Closes the grid; prompts you to save changes");
  EXPECT_EQ(GridWindowTooltip(kGwFind), "Find");
  WindowCloseChild(window_);

  // A read-only grid closes without asking, even when its cells changed.
  ASSERT_EQ(Open(990, 2400), 0);
  WindowGrid().modified = 1;
  Events();
  Close();
  EXPECT_TRUE(plat::MessageBoxLog().empty());
  EXPECT_EQ(Events(), (std::vector<std::pair<int, int>>{{kEventClose, -1}}));
}

TEST_F(GridEditorWindowTest, StatusBarFollowsTheCurrentCell) {
  ASSERT_EQ(Open(970, 2000), 0);
  EXPECT_EQ(StatusTexts(), (std::vector<std::string>{"Row", "\t\t1", "\tColumn", "\t\t1"}));
  EXPECT_EQ(plat::StatusBarGetParts(Rec().statusBar), (std::vector<int>{30, 90, 140, -1}));
  WGridSetCell(0, 3, 4);
  EXPECT_EQ(StatusTexts(), (std::vector<std::string>{"Row", "\t\t4", "\tColumn", "\t\t3"}));
  WGridSetCell(0, 1, 10);
  EXPECT_EQ(StatusTexts(), (std::vector<std::string>{"Row", "\t\t10", "\tColumn", "\t\t1"}));
}

TEST_F(GridEditorWindowTest, TheFieldChangedEventCarriesThePreviousAndTheNewCell) {
  ASSERT_EQ(Open(970, 2000), 0);
  WEventTypeSwitch(kEventFieldChanged, 1);
  Events();
  harness.Call([] { WGridSetCell(0, 2, 3); });
  int type = 0;
  EventRecord r;
  WEventPeek(type, r);
  ASSERT_EQ(type, kEventFieldChanged);
  EXPECT_EQ(r.window, window_);
  EXPECT_EQ(r.value1, 262144 + 1);
  EXPECT_EQ(r.value2, 2 * 262144 + 3);
  EXPECT_EQ(Rec().lastCell, 2 * 262144 + 3);
  // Switched off: no event, the read-outs still follow.
  WEventTypeSwitch(kEventFieldChanged, 0);
  harness.Call([] { WGridSetCell(0, 1, 5); });
  WEventPeek(type, r);
  EXPECT_NE(type, kEventFieldChanged);
  EXPECT_EQ(StatusTexts()[1], "\t\t5");
  WEventTypeSwitch(kEventFieldChanged, 1);
}

TEST_F(GridEditorWindowTest, FitCellArea) {
  struct Case {
    std::vector<int> widths;
    int rowHeight, rows;
    plat::Size area;
  };
  const Case cases[] = {
      {{100, 100, 100}, 20, 10, {298, 191}},
      {{50}, 2, 1, {50, 2}},
      {{9000, 2000}, 20, 525, {10000, 9976}},  // widths capped
      {{10}, 2, 9998, {10, 9999}},             // a product of 9998 stays
      {{10}, 2, 9999, {10, 10000}},            // 9999 or more counts as 10000
      {{10}, 101, 262143, {10, 10000}},
  };
  for (const Case& c : cases) {
    GridRecord g;
    g.columnCount = static_cast<int>(c.widths.size());
    for (int w : c.widths) {
      g.columns.emplace_back();
      g.columns.back().width = w;
    }
    g.rowHeight = c.rowHeight;
    g.rowCount = c.rows;
    const plat::Size a = GridFitCellArea(g);
    EXPECT_EQ(a.width, c.area.width) << c.rows;
    EXPECT_EQ(a.height, c.area.height) << c.rows;
  }
}

TEST_F(GridEditorWindowTest, TheWindowOnlyShrinksToFit) {
  ASSERT_EQ(Open(970, 2000), 0);
  const plat::Size need = GridWindowNeededSize(Rec());
  const plat::Rect r = plat::GetWindowRect(Rec().window);
  // The open window was larger both ways: it now shows the grid exactly.
  EXPECT_EQ(r.Width(), need.width);
  EXPECT_EQ(r.Height(), need.height);
  const GridRecord& g = WindowGrid();
  const plat::Rect cells = plat::GetClientRect(g.cellArea);
  EXPECT_GE(cells.Width(), GridFitCellArea(g).width);
  // A dimension already smaller stays; both smaller: nothing changes.
  plat::MoveWindow(Rec().window, {r.left, r.top, r.left + 200, r.top + need.height + 50});
  GridWindowFitSize(Rec());
  EXPECT_EQ(plat::GetWindowRect(Rec().window).Width(), 200);
  EXPECT_EQ(plat::GetWindowRect(Rec().window).Height(), need.height);
  plat::MoveWindow(Rec().window, {r.left, r.top, r.left + 200, r.top + 100});
  GridWindowFitSize(Rec());
  EXPECT_EQ(plat::GetWindowRect(Rec().window).Width(), 200);
  EXPECT_EQ(plat::GetWindowRect(Rec().window).Height(), 100);
  EXPECT_EQ(Rec().fitWidth, -999);
  // The limits: the largest size is what shows the whole grid.
  plat::Size largest, smallest;
  GridWindowSizeLimits(Rec(), largest, smallest);
  EXPECT_EQ(largest.width, need.width);
  EXPECT_EQ(Rec().fitWidth, need.width);
  EXPECT_LT(smallest.height, largest.height);
  // Fewer rows shrink the window through the grid's own row count.
  plat::MoveWindow(Rec().window, r);
  WGridRows(0, 2);
  EXPECT_LT(plat::GetWindowRect(Rec().window).Height(), need.height);
  EXPECT_EQ(plat::GetWindowRect(Rec().window).Width(), need.width);
}

TEST_F(GridEditorWindowTest, TheSaveQuestion) {
  using Seen = std::vector<std::pair<int, int>>;
  ASSERT_EQ(Open(970, 2000), 0);
  // Unchanged: no question, the close request goes to the application.
  Events();
  Close();
  EXPECT_EQ(Events(), (Seen{{kEventClose, -1}}));
  EXPECT_TRUE(plat::MessageBoxLog().empty());
  // Changed and untitled: Cancel keeps the window without a request.
  WindowGrid().modified = 1;
  harness.Answer("messagebox", "Cancel");
  Close();
  EXPECT_TRUE(Events().empty());
  ASSERT_EQ(plat::MessageBoxLog().size(), 1u);
  const plat::MessageBoxRecord box = plat::MessageBoxLog()[0];
  EXPECT_EQ(box.text, "Do you want to save changes?");
  EXPECT_EQ(box.caption, "Parvendrite Grid Editor");
  EXPECT_EQ(box.buttons, plat::MessageBoxButtons::YesNoCancel);
  EXPECT_EQ(box.icon, plat::MessageBoxIcon::Exclamation);
  // No: the request follows.
  harness.Answer("messagebox", "No");
  Close();
  EXPECT_EQ(Events(), (Seen{{kEventClose, -1}}));
  // With a file name the question names it; Yes saves without asking.
  const std::string file = (dir_ / "cells.csv").string();
  GridWindowTextsOf(window_).file = file;
  plat::ClearMessageBoxLog();
  harness.Answer("messagebox", "Yes");
  Close();
  EXPECT_EQ(Events(), (Seen{{kEventClose, -1}}));
  ASSERT_EQ(plat::MessageBoxLog().size(), 1u);
  EXPECT_EQ(plat::MessageBoxLog()[0].text, "Do you want to save changes to " + file + "?");
  EXPECT_TRUE(std::filesystem::exists(file));
  EXPECT_EQ(WindowGrid().modified, 0);
  EXPECT_EQ(plat::GetWindowText(Rec().window), "Grid - [" + file + "]");
  // The helper itself, as a split window's close check asks it.
  std::int32_t answer = -1, fileType = 1;
  std::string none;
  GridWindowSavePrompt(window_, 0, answer, fileType, 0, none, "");
  EXPECT_EQ(answer, 1);
}

TEST_F(GridEditorWindowTest, SaveThenOpenAWindowOnTheFile) {
  ASSERT_EQ(Open(970, 2000), 0);
  const std::string file = (dir_ / "kept.csv").string();
  PutText(0, 1, 2, "kept");
  GridWindowTextsOf(window_).file = file;
  WindowGrid().modified = 1;
  Command(kGwSave);
  EXPECT_EQ(Events(), (std::vector<std::pair<int, int>>{{kEventMenu, kGwSave}}));
  EXPECT_EQ(WindowGrid().modified, 0);
  ASSERT_TRUE(std::filesystem::exists(file));
  // A second window given the file's name shows it loaded and names it.
  WDialogLoad(970);
  window_ = Child();
  int status = -1, mode = kGridWindowModeless;
  GridWindowOpen(status, 2000, mode, 0, 0, -1, file, {});
  ASSERT_EQ(status, 0);
  EXPECT_EQ(Cell(0, 1, 2), "kept");
  EXPECT_EQ(plat::GetWindowText(Rec().window), "Grid - [" + file + "]");
  std::string name(300, ' ');
  GridWindowText(window_, 3, name, name.size());
  EXPECT_EQ(name.substr(0, file.size()), file);
}

TEST_F(GridEditorWindowTest, AModalLoopEndsOnExitAndKeepsItsCopies) {
  ASSERT_EQ(Open(970, 2000, 0, kGridWindowModal), 0);
  const int n = window_;
  EXPECT_EQ(WindowMenuHandle(n), Rec().menuBar);
  GridWindowTextsOf(n).search = "needle";
  plat::PostMessage(Rec().window, plat::Msg::Command, plat::MakeWParam(kGwExit, 0), 0);
  // The loop clears the modified flags first; a change during the loop is kept.
  WindowGrid().modified = 1;
  PutText(0, 1, 1, "x");
  GridWindowModalLoop();
  EXPECT_FALSE(WindowSlotInUse(n));
  EXPECT_EQ(GridWindowOf(n), nullptr);
  std::string text(64, ' ');
  GridWindowText(-1, 1, text, text.size());
  EXPECT_EQ(text.substr(0, 6), "needle");
  int field = -2;
  std::int32_t unmodified = -1;
  GridQuery(field, 6, unmodified);
  EXPECT_EQ(unmodified, 1);
}

TEST_F(GridEditorWindowTest, GreyingOfTheRowCommands) {
  // Rows 0-4 in use of a capacity of 6; a lock at (column, row) or none.
  struct Case {
    int current;
    int lockedRow;  // -1 none
    bool ignoreLocks, append;
    bool sort, before, after, deleteRow;
  };
  const Case cases[] = {
      {2, -1, false, false, true, true, true, true},
      {4, -1, false, false, true, true, false, true},    // last row, no append
      {4, -1, false, true, true, true, true, true},      // last row, append
      {2, 3, false, false, false, false, false, false},  // a lock below
      {2, 2, false, false, false, false, true, false},   // a lock in the row: after stays
      {2, 1, false, false, false, true, true, true},     // a lock above
      {2, 3, true, false, true, true, true, true},       // locks ignored
      {5, -1, false, true, true, true, false, true},     // at the capacity
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.current << " " << c.lockedRow << " " << c.ignoreLocks
                                    << c.append);
    GridRecord g;
    g.columnCount = 2;
    g.rowCount = c.current == 5 ? 6 : 5;
    g.rowCapacity = 6;
    g.currentRow = c.current;
    g.columns.resize(2);
    for (GridColumn& col : g.columns) col.cellFlags.assign(6, 0);
    if (c.lockedRow >= 0) g.columns[1].cellFlags[static_cast<std::size_t>(c.lockedRow)] = kCellLocked;
    const GridRowCommandStates s = GridWindowRowStates(g, c.ignoreLocks, c.append);
    EXPECT_EQ(s.sort, c.sort);
    EXPECT_EQ(s.insertBefore, c.before);
    EXPECT_EQ(s.insertAfter, c.after);
    EXPECT_EQ(s.deleteRow, c.deleteRow);
  }
}

TEST_F(GridEditorWindowTest, MenuStatesWhenAPopupOpens) {
  ASSERT_EQ(Open(970, 2000, kGridWinAppendRow), 0);
  WGridRows(0, 5);
  WGridSetCell(0, 1, 5);
  plat::SendMessage(Rec().window, plat::Msg::EnterMenuLoop, 0, 0);
  EXPECT_TRUE(Greyed(Rec().menuBar, kGwPrintSelection));
  EXPECT_FALSE(Greyed(Rec().menuBar, kGwInsertAfter));
  EXPECT_TRUE(Greyed(Rec().menuBar, kGwFindNext));
  int f = 0;
  GridLockCell(f, 1, 4, 0);
  GridSetSelection(WindowGrid(), 0, 1, 0, 1);
  plat::SendMessage(Rec().window, plat::Msg::EnterMenuLoop, 0, 0);
  EXPECT_FALSE(Greyed(Rec().menuBar, kGwPrintSelection));
  EXPECT_FALSE(Greyed(Rec().menuBar, kGwCopy));
  EXPECT_TRUE(Greyed(Rec().menuBar, kGwSort));
  EXPECT_TRUE(Greyed(Rec().menuBar, kGwDeleteRow));
}

TEST_F(GridEditorWindowTest, RowCommandsRaiseTheirEventsAndMarkTheGrid) {
  ASSERT_EQ(Open(970, 2000, kGridWinAppendRow), 0);
  WGridRows(0, 3);
  WGridSetCell(0, 1, 3);
  PutText(0, 1, 3, "last");
  WindowGrid().modified = WindowGrid().changed = 0;
  Events();
  Command(kGwInsertAfter);
  EXPECT_EQ(Events(), (std::vector<std::pair<int, int>>{{kEventMenu, kGwInsertAfter}}));
  EXPECT_EQ(WindowGrid().rowCount, 4);
  EXPECT_EQ(WindowGrid().modified, 1);
  // A command the window does not carry out is the caller's: only its event.
  Command(33000);
  EXPECT_EQ(Events(), (std::vector<std::pair<int, int>>{{kEventMenu, 33000}}));
  // New clears the cells and the flags (unchanged: no question).
  WindowGrid().modified = 0;
  Command(kGwNew);
  EXPECT_EQ(Events(), (std::vector<std::pair<int, int>>{{kEventMenu, kGwNew}}));
  EXPECT_EQ(Cell(0, 1, 3), "");
  EXPECT_EQ(WindowGrid().changed, 0);
}

TEST_F(GridEditorWindowTest, PrintTakesAllCellsOrTheSelectedBlock) {
  ASSERT_EQ(Open(970, 2000), 0);
  FakeGridPrinter printer;
  printer.Install();
  // Columns 1 to 3, rows 2 to 4 (counted from 1): the check-box column
  // prints a cross for each of its three rows.
  GridSetSelection(WindowGrid(), 1, 3, 0, 2);
  harness.Answer("dialog 32112", "press 1");
  Command(kGwPrintSelection);
  EXPECT_EQ(Events(), (std::vector<std::pair<int, int>>{{kEventMenu, kGwPrintSelection}}));
  EXPECT_EQ(printer.Texts(), (std::vector<std::string>{"Name", "Count", "On"}));
  const auto crosses = [&printer] {
    int lines = 0;
    for (const Call& c : printer.page.calls) lines += c.what == "line" && c.clip.has_value();
    return lines / 2;
  };
  EXPECT_EQ(crosses(), 3);
  printer.page.calls.clear();
  harness.Answer("dialog 32112", "press 1");
  Command(kGwPrint);
  EXPECT_EQ(Events(), (std::vector<std::pair<int, int>>{{kEventMenu, kGwPrint}}));
  int f = 0;
  std::string caption;
  GridColumnCaption(f, 4, caption, 100);
  EXPECT_EQ(printer.Texts(), (std::vector<std::string>{"Name", "Count", "On", caption}));
  EXPECT_EQ(crosses(), WindowGrid().rowCount);
  // Cancelled: no event.
  harness.Answer("dialog 32112", "press 2");
  Command(kGwPrint);
  EXPECT_EQ(Events(), (std::vector<std::pair<int, int>>{}));
  EXPECT_EQ(printer.documents.size(), 2u);
  GridPrinting() = GridPrintHooks{};
}

TEST_F(GridEditorWindowTest, SpinStepsOfTheCellEditors) {
  ASSERT_EQ(Open(976, 2300), 0);
  int f = 0;
  GridSetColumnRange(f, 1, 0.0, 20.0);
  GridSetIntegerSpin(f, 1, 3, 7, 1);
  WGridPutCellInteger(0, 2, 1, 1);
  WGridSetCell(0, 2, 1);
  GridRecord& g = WindowGrid();
  const auto step = [&](int delta) {
    plat::UpDownNotify n;
    n.hdr.from = g.editorField.rec.buddy;
    n.hdr.id = -1;
    n.hdr.code = plat::kUdnDeltaPos;
    n.delta = delta;
    plat::SendMessage(g.cellArea, plat::Msg::Notify, static_cast<plat::WParam>(-1),
                      reinterpret_cast<plat::LParam>(&n));
    return plat::GetWindowText(g.editor);
  };
  ASSERT_NE(g.editorField.rec.buddy, plat::kNoWindow);
  // Small steps of 3 and large steps of 7, each snapped to 1 + a multiple
  // of the step taken, clamped to 0..20 (a bound is not snapped).
  EXPECT_EQ(step(1), "4");
  EXPECT_EQ(step(5), "8");
  EXPECT_EQ(step(5), "15");
  EXPECT_EQ(step(5), "20");
  EXPECT_EQ(step(-1), "16");
  EXPECT_EQ(step(-5), "8");
  EXPECT_EQ(g.changed, 1);
  // A step of 0 counts as 1 for an integer editor.
  GridSetIntegerSpin(f, 1, 0, 0, 0);
  WGridSetCell(0, 1, 1);
  WGridSetCell(0, 2, 1);
  EXPECT_EQ(step(1), "9");
  // A real editor with a step of 0 keeps its value.
  GridSetRealSpin(f, 2, 0.0f, 0.0f);
  WGridPutCellReal(0, 3, 1, 2.5f);
  WGridSetCell(0, 3, 1);
  const std::string before = plat::GetWindowText(g.editor);
  EXPECT_EQ(step(1), before);
  EXPECT_EQ(step(-5), before);
}

}  // namespace
}  // namespace tk::testing
